#pragma once
// What growing a dialog to a larger font needs of the dialog window: its font's metrics, its
// rectangles and its controls. The user interface wraps its dialogs in this; tests use fakes.
#include "platform/drawcontext.h"

namespace zeph {

enum class DialogChildKind : std::uint8_t {
  kOther,
  kComboBox,         // a drop-down list: its rectangle includes the list when dropped down
  kRealSizePicture,  // a picture shown at its own size, which does not grow with the font
};

class IDialogWindow {
 public:
  virtual ~IDialogWindow() = default;
  // Metrics of the dialog's current font, and of font, as the dialog's screen shows them.
  virtual TextMetrics GetOwnFontMetrics() const = 0;
  virtual TextMetrics GetFontMetrics(const DcFont& font) const = 0;
  // The whole window in screen pixels, frame included (right and bottom outside).
  virtual DcRect GetWindowRect() const = 0;
  // The size inside the frame.
  virtual DcSize GetClientSize() const = 0;
  // Places the window's frame at rect.
  virtual void MoveWindow(const DcRect& rect, bool repaint) = 0;
  virtual void SetFont(const DcFont& font, bool redraw) = 0;

  // The controls, in the dialog's child order.
  virtual int GetChildCount() const = 0;
  virtual DialogChildKind GetChildKind(int index) const = 0;
  // In the dialog's client coordinates (right and bottom outside); for a combo box the
  // rectangle with its list dropped down.
  virtual DcRect GetChildRect(int index) const = 0;
  virtual void SetChildFont(int index, const DcFont& font) = 0;
  // Places the control at rect (client coordinates; a combo box's list included).
  virtual void MoveChild(int index, const DcRect& rect) = 0;
};

}  // namespace zeph
