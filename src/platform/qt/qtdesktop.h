#pragma once
// The desktop over Qt: the application-wide override cursor, the system clipboard, and Qt's
// key events read as the program's key messages.
#include "platform/desktop.h"

class QEvent;
class QImage;

namespace zeph {

class CQtDesktop final : public IDesktop {
 public:
  CQtDesktop() = default;
  CQtDesktop(const CQtDesktop&) = delete;
  CQtDesktop& operator=(const CQtDesktop&) = delete;
  // Takes back a cursor it still imposes.
  ~CQtDesktop() override;

  CursorShape SetCursor(CursorShape shape) override;
  bool GetClipboardPictureSize(DcSize& size) override;
  // The clipboard's image as a bottom-up bitmap of 32 bits per pixel when it has an alpha
  // channel, else of 24.
  bool GetClipboardBitmap(std::vector<std::uint8_t>& block) override;

 private:
  CursorShape m_shape = CursorShape::kOwn;
  bool m_overriding = false;  // an override cursor of ours is on Qt's stack
};

// A key press or release as a key message, for the keys the program reads by code (Shift,
// Ctrl, the arrow keys Left and Right, Delete and F7). False for other events and keys, and
// for the releases Qt sends between auto-repeated presses (a held key stays down).
bool TranslateKeyEvent(const QEvent& event, KeyMessage& message);

// The image as a device-independent bitmap (see IDesktop::GetClipboardBitmap); false for a
// null image.
bool ImageToDeviceIndependentBitmap(const QImage& image, std::vector<std::uint8_t>& block);

}  // namespace zeph
