#pragma once
// The start screen: the view shown when no drawing is being edited. It paints the background
// picture "Zeph.bkg" (or, without it, a coloured border) with the program's title, and offers
// four large buttons: tell me about the program, create a new drawing, load an old drawing and
// finish the program. Once a run it also sets up the colours the editor's overlays and the
// tool palette use.
#include <QImage>
#include <array>
#include <cstdint>
#include <memory>

#include "controls/controls.h"
#include "controls/frontbutton.h"
#include "editor/zephview.h"
#include "support/picture.h"

class CZephDoc;

// What the start screen's buttons ask of the application.
class IFrontViewOwner {
 public:
  virtual ~IFrontViewOwner() = default;
  // Shows the editing view for the drawing (the application's ShowEditingView).
  virtual void ShowEditingView() = 0;
  // The main window, which Finish closes through its normal close order; null when none.
  virtual QWidget* GetMainWindow() const = 0;
};

// The buttons' control ids, in their order on the screen.
inline constexpr int kIdFrontTellMe = 1504;
inline constexpr int kIdFrontCreate = 1506;
inline constexpr int kIdFrontLoad = 1505;
inline constexpr int kIdFrontFinish = 1507;
inline constexpr int kFrontButtonCount = 4;
inline constexpr int kTopicZephorinFunctions = 132;
// The start-screen picture, in the program folder.
inline constexpr const char16_t* kFrontPictureName = u"Zeph.bkg";

class CFrontView : public CZephView {
  Q_OBJECT

 public:
  explicit CFrontView(QWidget* parent = nullptr, CZephDoc* document = nullptr);
  ~CFrontView() override;

  CZephDoc* GetDocument() const override { return m_document; }
  void SetDocument(CZephDoc* document) { m_document = document; }
  // Not owned; null: the buttons that need the application do nothing.
  void SetOwner(IFrontViewOwner* owner) { m_owner = owner; }

  // Once a run, after the frame exists: the display, the overlay and the button colours.
  void SetUpColours();
  // Start-up has finished: painting may begin. 1.
  int EnablePainting();
  // Each time the start screen is about to be shown: lays out and repaints.
  void PrepareToShow();
  // Before the start screen is hidden: the buttons go and the picture is released.
  void Deactivate();
  void LayOut();
  // A new client size.
  void OnSize(int width, int height);
  void OnDraw(zeph::CDrawContext& dc) override;

  // The buttons and the help command.
  void OnTellMe();
  void OnCreateDrawing();
  void OnLoadDrawing();
  void OnFinish();
  void OnHelp();

  // ---- State, for the application and tests ----
  int IsReady() const { return m_ready; }
  int IsPictureShown() const { return m_showPicture; }
  int GetButtonCount() const { return m_buttonCount; }
  // Button i (0..3) while the buttons exist; null otherwise.
  zeph::CFrontButton* GetButton(int index) const;
  int GetLeftBand() const { return m_leftBand; }
  int GetRightBand() const { return m_rightBand; }
  int GetTopBand() const { return m_topBand; }
  const zeph::DcFont* GetButtonFont() const { return m_buttonFont.get(); }
  const CImage& GetPicture() const { return m_picture; }
  // What the view last painted (its client area).
  const QImage& BackBuffer() const { return m_buffer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void RemoveButtons();
  void OnButton(int id);

  CZephDoc* m_document = nullptr;
  IFrontViewOwner* m_owner = nullptr;
  std::int32_t m_ready = 0;
  std::int32_t m_lastWidth = 0;
  std::int32_t m_lastHeight = 0;
  std::int32_t m_showPicture = 0;
  CImage m_picture;
  std::int16_t m_buttonCount = 0;
  zeph::CControlGroup m_group;
  std::array<std::unique_ptr<zeph::CFrontButton>, kFrontButtonCount> m_buttons;
  std::unique_ptr<zeph::DcFont> m_buttonFont;
  std::unique_ptr<zeph::DcFont> m_titleFont1;
  std::unique_ptr<zeph::DcFont> m_titleFont2;
  std::int32_t m_leftBand = 0;
  std::int32_t m_rightBand = 0;
  std::int32_t m_topBand = 0;
  QImage m_buffer;
};

// The once-a-run flag of the colour set-up back to clear. For tests.
void ResetFrontViewColours();
