#pragma once
// The desktop around the program's windows: the mouse cursor shown over them, the clipboard's
// picture and the key messages as the program reads them. The user interface installs the Qt
// desktop at start-up; until then, and in tests, a stand-in keeps everything in memory.
#include <cstdint>
#include <vector>

#include "platform/drawcontext.h"

namespace zeph {

enum class CursorShape : std::uint8_t {
  kOwn,    // each window's own cursor: nothing imposed
  kArrow,  // the plain arrow
  kWait,   // the busy (hourglass) cursor
};

// A key message as the program reads it: the message kind and the virtual-key code.
struct KeyMessage {
  unsigned message = 0;
  int virtualKey = 0;
  friend bool operator==(const KeyMessage&, const KeyMessage&) = default;
};

inline constexpr unsigned kMsgKeyDown = 0x100;
inline constexpr unsigned kMsgKeyUp = 0x101;
inline constexpr unsigned kMsgChar = 0x102;

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVkF7 = 0x76;

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // Shows shape over every window of the program and answers the shape it replaced.
  virtual CursorShape SetCursor(CursorShape shape) = 0;
  // The size in pixels of the picture that the clipboard holds; false when it holds none or
  // cannot be read.
  virtual bool GetClipboardPictureSize(DcSize& size) = 0;
  // The clipboard's picture as a device-independent bitmap: a BITMAPINFOHEADER (little-endian)
  // followed by the colour masks or table it announces and the pixel rows, exactly as the
  // clipboard holds it (the header is the sender's and is not checked here). False when the
  // clipboard holds no picture or it cannot be read.
  virtual bool GetClipboardBitmap(std::vector<std::uint8_t>& block) {
    block.clear();
    return false;
  }
};

// The desktop in use; the stand-in until the user interface installs its own.
IDesktop& GetDesktop();
// Installs a desktop (not owned); null restores the stand-in.
void SetDesktop(IDesktop* desktop);

// Headless desktop: remembers the cursor, and holds a clipboard picture only when told to.
class CStandInDesktop final : public IDesktop {
 public:
  CursorShape SetCursor(CursorShape shape) override;
  bool GetClipboardPictureSize(DcSize& size) override;
  bool GetClipboardBitmap(std::vector<std::uint8_t>& block) override;

  CursorShape cursor() const { return m_cursor; }
  int cursorChanges() const { return m_cursorChanges; }
  // Puts a picture of size on the clipboard, or (present false) empties it.
  void SetClipboardPicture(bool present, DcSize size = {});
  // Puts a device-independent bitmap on the clipboard (an empty block: none).
  void SetClipboardBitmap(std::vector<std::uint8_t> block);
  void Reset();

 private:
  CursorShape m_cursor = CursorShape::kOwn;
  int m_cursorChanges = 0;
  bool m_clipboardHasPicture = false;
  DcSize m_clipboardSize;
  std::vector<std::uint8_t> m_clipboardBitmap;
};

// The built-in stand-in, for tests that look at what it was given.
CStandInDesktop& StandInDesktop();

}  // namespace zeph
