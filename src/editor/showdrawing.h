#pragma once
// A drawing window placed inside dialogs to show one of the auxiliary documents read-only: the
// symbol library (the user picks a symbol by clicking one of its points), the selected symbol
// (while it is reflected, rotated, enlarged or stretched) or the sheet of hatch-pattern samples
// (the user picks a pattern). The drawing is shown at half a millimetre per pixel, centred when
// it fits and scrollable in steps of 10 pixels when it does not. A double click accepts the
// pick: the dialog holding the window gets OK.
#include <cstdint>

#include "document/itemref.h"
#include "editor/drawingwindow.h"

class QScrollBar;

// Show modes.
inline constexpr int kShowNone = 0;
inline constexpr int kShowSymbolLibrary = 1;  // the library, with picking
inline constexpr int kShowSymbolReflect = 2;  // the selected symbol (2 to 5)
inline constexpr int kShowSymbolRotate = 3;
inline constexpr int kShowSymbolEnlarge = 4;
inline constexpr int kShowSymbolStretch = 5;
inline constexpr int kShowHatchSamples = 6;  // the hatch samples, with picking

// The child identifier the dialogs give the preview.
inline constexpr int kIdShowDrawing = 5001;

class CShowDrawing : public CDrawingWindow {
  Q_OBJECT

 public:
  static constexpr int kMargin = 10;

  explicit CShowDrawing(QWidget* parent = nullptr);
  ~CShowDrawing() override;

  // Shows the document of the mode (1..6) from its start: 1, or 0 for another mode.
  int SetShowMode(int mode);
  int GetShowMode() const { return m_showMode; }
  // In the hatch-samples mode the pattern (object) number of the sample last picked; else -1.
  int GetChosenHatch() const;
  // The library mode's pick: the point nearest to the click (invalid until a pick).
  const CItemRef& GetPickedPoint() const { return m_pickedPoint; }
  // Copies the picked symbol (all but its texts and dimensions) into the selected-symbol
  // document with the picked point as its origin; an empty symbol without a pick.
  void CopyPickedSymbol();

  // Fits the shown drawing into the window (centred or scrolled); run by the next paint after
  // a mode change and by every resize.
  void Fit();
  int IsFitted() const { return m_fitted; }
  int IsReady() const { return m_ready; }
  QScrollBar* GetHorizontalBar() const { return m_hBar; }
  QScrollBar* GetVerticalBar() const { return m_vBar; }

  void OnPaint(zeph::CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnLButtonDown(unsigned flags, QPoint point) override;
  void OnLButtonUp(unsigned flags, QPoint point) override;
  void OnLButtonDblClk(unsigned flags, QPoint point) override;

 private:
  void OnHorizontalScroll(int position);
  void OnVerticalScroll(int position);
  void PlaceScrollBars();
  // The pick of a click at the cursor point, in the library and the hatch-samples modes.
  void PickSymbol();
  void PickHatchSample();
  CItemRef PickNearestPoint(int& x, int& y);

  std::int32_t m_showMode = kShowNone;
  std::int16_t m_chosenSample = -1;
  std::int32_t m_clientWidth = 0;
  std::int32_t m_clientHeight = 0;
  std::int32_t m_buttonDown = 0;
  std::int32_t m_fitted = 0;
  std::int32_t m_ready = 0;
  std::int32_t m_minX = 0;
  std::int32_t m_minY = 0;
  std::int32_t m_maxX = 0;
  std::int32_t m_maxY = 0;
  std::int32_t m_margin = kMargin;
  std::int32_t m_recentre = 0;
  std::int32_t m_startAtTop = 0;  // the first fit after a mode change starts at the top
  CItemRef m_pickedPoint;

  QScrollBar* m_hBar = nullptr;
  QScrollBar* m_vBar = nullptr;
  bool m_settingBars = false;
};
