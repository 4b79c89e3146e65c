#pragma once
// Keyboard support and captions of the controls hosted in views, where no dialog gives them
// Tab order or mnemonics: the control part every such control carries (CControl), the caption
// window beside it (CLabel) and the group of a view's controls (CControlGroup), which gives
// Tab and Enter order with wrap-around, mnemonic keys (with or without Alt) and first focus.
// Mnemonics are the group's alone: captions never become Qt shortcuts.
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "controls/bufferedwnd.h"
#include "platform/drawcontext.h"

class QWidget;

namespace zeph {

class CControlGroup;
class CLabel;

// Codes the controls send their parent with a group key (groupKey signals).
inline constexpr int kGroupKeyEnter = 3;
inline constexpr int kGroupKeyTab = 4;
inline constexpr int kGroupKeyListClick = 5;

// Caption positions.
inline constexpr int kCaptionLeftTop = 0;
inline constexpr int kCaptionLeftCentre = 1;
inline constexpr int kCaptionLeftBottom = 2;
inline constexpr int kCaptionAbove = 3;

class CControl {
 public:
  enum Kind : std::int32_t { kPushButton = 0, kList = 2 };

  explicit CControl(std::int32_t kind);
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  void SetWindow(QWidget* window) { m_window = window; }
  QWidget* GetWindow() const { return m_window; }
  std::int32_t GetKind() const { return m_kind; }
  CControlGroup* GetGroup() const { return m_group; }
  void SetGroup(CControlGroup* group) { m_group = group; }
  void SetHasFocus(std::int32_t flag) { m_hasFocus = flag; }
  std::int32_t HasFocus() const { return m_hasFocus; }
  // Esc also counts as this control's mnemonic (a view's cancelling button).
  void SetEscapeButton() { m_answersEscape = 1; }
  char16_t GetMnemonic() const { return m_mnemonic; }
  CLabel* GetLabel() const;
  void SetCaptionPosition(std::int32_t position) { m_captionPosition = position; }

  // The upper-cased character after the first '&', 0 when none.
  void SetMnemonicFromCaption(const QString& text);
  int MatchesMnemonic(int character) const;
  // Keeps the font (null: none), gives it to the label, forgets the measured caption.
  void SetFont(const DcFont* font, bool redraw);
  const DcFont* GetFont() const { return m_font ? &*m_font : nullptr; }
  // The caption: the string-table text of id in a label beside the control; 0 removes it.
  void SetLabel(int captionId);
  // Places the label by the control; after every move or resize of the control.
  void PlaceLabel();
  int GetCaptionWidth();
  int GetCaptionHeight() const { return m_captionHeight; }
  // 1 when the window is enabled and visible.
  int IsUsable() const;
  void SetFocusState(std::int32_t flag);
  // Toggles the focus mark: the label's dotted frame, or the control's own mark.
  void DrawFocus(CDrawContext* dc);
  // Tab, Enter or a mnemonic for the group; 1 when the group used the key.
  int HandleGroupKey(int character);
  void DestroyLabel();

  virtual void OnFocusMark(CDrawContext* dc);
  virtual void OnMnemonic(int flag);

  // ---- What the derived control does for its group ----
  // The parent hears of a group key (kGroupKey...).
  virtual void SendGroupKey(int code) = 0;
  // A press, as a click on the button.
  virtual void SendCommand() {}
  // Radio-like buttons are Tab stops only while checked.
  virtual bool IsCheckedStyle() const { return false; }
  virtual bool IsChecked() const { return false; }

 private:
  CControlGroup* m_group = nullptr;
  std::int32_t m_kind;
  QWidget* m_window = nullptr;
  char16_t m_mnemonic = 0;
  std::int32_t m_answersEscape = 0;
  std::int32_t m_hasFocus = 0;
  std::optional<DcFont> m_font;
  QPointer<CLabel> m_label;
  std::int32_t m_captionId = 0;
  std::int32_t m_captionPosition = kCaptionLeftCentre;
  std::int32_t m_captionWidth = 0;
  std::int32_t m_captionHeight = 0;
};

// A control's caption: one line, centred, the mnemonic underlined, the focus mark around it
// while the control has the focus.
class CLabel : public CBufferedWnd {
  Q_OBJECT

 public:
  CLabel();
  // Makes the label a visible child of parent with the caption.
  bool Create(const QString& caption, QWidget* parent);
  void SetFont(const DcFont* font, bool redraw);
  void SetOwner(CControl* owner) { m_owner = owner; }
  CControl* GetOwner() const { return m_owner; }
  const QString& GetCaption() const { return m_caption; }
  void SetColours(int textIndex, int backgroundIndex, bool transparent);

  void OnPaint(CDrawContext& dc) override;
  void OnEraseBkgnd(CDrawContext& dc) override;
  // The dotted focus frame over the whole label, in XOR so that a second call removes it.
  void DrawFocusMark(CDrawContext& dc);

 private:
  QString m_caption;
  std::optional<DcFont> m_font;
  std::int32_t m_textColour = 0;  // indexes of g_colourTable
  std::int32_t m_backgroundColour = 0;
  std::int32_t m_transparent = 1;
  CControl* m_owner = nullptr;
};

// The dotted focus frame inside rect (right and bottom outside), in XOR.
void DrawFocusRect(CDrawContext& dc, const DcRect& rect);
// The caption as shown: without its mnemonic '&' ("&&" shows one '&'); mnemonicAt gets the
// index of the mnemonic character in the result, -1 when none.
QString StripMnemonic(const QString& caption, int* mnemonicAt = nullptr);

class CControlGroup {
 public:
  static constexpr int kMaxControls = 30;

  CControlGroup() = default;
  CControlGroup(const CControlGroup&) = delete;
  CControlGroup& operator=(const CControlGroup&) = delete;

  void Clear() { m_count = 0; }
  // Ignored once 30 controls are held.
  void AddControl(CControl* control, std::int32_t canTakeFocus);
  int HandleMnemonic(int character);
  // Moves the focus from the control at index to the next one that can take it.
  int MoveFocus(int index, int forward);
  int MoveFocusFrom(CControl* control, int forward);
  // Gives the focus to the first usable control from index on.
  void SetFocusFrom(int index);
  void SetWrap(std::int32_t wrap) { m_wrap = wrap; }
  int GetCount() const { return m_count; }
  CControl* GetControl(int index) const;

 private:
  std::int16_t m_count = 0;
  std::array<CControl*, kMaxControls> m_controls{};
  std::array<std::int32_t, kMaxControls> m_canTakeFocus{};
  std::int32_t m_wrap = 1;
};

}  // namespace zeph
