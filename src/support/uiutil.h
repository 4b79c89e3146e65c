#pragma once
// Small services of every window and dialog: message boxes with texts from the string table,
// the wait cursor, the program-wide state of the Shift and Ctrl keys, growing a dialog to a
// larger font, colour arithmetic, scroll-bar arithmetic, the recent-file list and the main
// window's position kept in the user settings file.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "platform/desktop.h"
#include "platform/dialogwindow.h"
#include "platform/drawcontext.h"
#include "support/uirect.h"

// ---- Message boxes ----
// The string of id, with its "%1" replaced by insert when one is given, in the program's
// message box. The answers are the presenter's (kIdYes, kIdNo, kIdCancel).
int AskYesNo(int id);
int AskYesNo(int id, const QString& insert);
int AskYesNoCancel(int id);
int AskYesNoCancel(int id, const QString& insert);
// 1 unless the answer was No.
int AskYes(int id);
int AskYes(int id, const QString& insert);
void ShowInformation(int id);
void ShowInformation(int id, const QString& insert);
void ShowWarning(int id);
void ShowWarning(int id, const QString& insert);
// "There is not enough memory to carry out this command." as a warning.
void ShowOutOfMemory();

// ---- Wait cursor ----
// The cursor the wait cursor replaced; empty while none is shown.
extern std::optional<zeph::CursorShape> g_savedCursor;
// The tick count (milliseconds) when the wait cursor was shown.
extern std::uint32_t g_waitCursorTicks;
// Shows the wait cursor; calls need not be balanced with HideWaitCursor.
void ShowWaitCursor();
// Puts back the cursor the wait cursor replaced; without a wait cursor, shows the arrow.
void HideWaitCursor();

// ---- Keys ----
inline constexpr std::int32_t kKeyStateShift = 4;
inline constexpr std::int32_t kKeyStateCtrl = 8;
// kKeyStateShift and kKeyStateCtrl as last seen in a key message; other bits are 0.
extern std::int32_t g_keyState;
// Shift and Ctrl set or clear their bit; other keys change nothing.
void SetModifierKey(int virtualKey, bool down);
// The application passes every key message here before it is handled, so that g_keyState
// follows the keyboard while the program has the focus.
void TrackModifierKeys(const zeph::KeyMessage& message);

// ---- Dialogs ----
// Grows the dialog and its controls in proportion when font is larger than the dialog's own
// font, and gives them all that font; otherwise changes nothing. Callers pass GetDialogFont().
void ScaleDialogToFont(zeph::IDialogWindow& dialog, const zeph::DcFont& font);

// ---- Colours (results carry the palette flag) ----
// 0 when v is not above 0; otherwise v truncated (with the 1e-14 allowance), at most 255.
int ToColourChannel(double v);
// Each channel a * f + b * (1 - f).
zeph::ColourRef BlendColours(zeph::ColourRef a, zeph::ColourRef b, double f);
// Each channel c * (1 - f).
zeph::ColourRef DarkenColour(zeph::ColourRef c, double f);
// f limited to 0..1; each channel c + (255 - c) * f.
zeph::ColourRef LightenColour(zeph::ColourRef c, double f);
// 1 when red, green and blue are equal (the flag byte is ignored).
int SameRgb(zeph::ColourRef a, zeph::ColourRef b);

// ---- Rectangles and scroll bars ----
// Orders left and right, and top and bottom.
void NormaliseRect(UiRect& r);

// Scroll-bar codes.
inline constexpr unsigned kSbLineUp = 0;
inline constexpr unsigned kSbLineDown = 1;
inline constexpr unsigned kSbPageUp = 2;
inline constexpr unsigned kSbPageDown = 3;
inline constexpr unsigned kSbThumbPosition = 4;
inline constexpr unsigned kSbThumbTrack = 5;
inline constexpr unsigned kSbTop = 6;
inline constexpr unsigned kSbBottom = 7;
inline constexpr unsigned kSbEndScroll = 8;
// Moves pos (0..max) by a scroll-bar code: a line is lineStep, a page down is page and a page
// up is pageUpStep (page when pageUpStep < 0); the thumb codes go to thumb. 1 when pos was
// changed (codes 0 to 3 answer 1 whenever they move at all), else 0.
int ApplyScrollCode(int& pos, int max, int page, unsigned code, unsigned thumb, int pageUpStep,
                    int lineStep);

// ---- Recent files ----
// The application's recent-file list.
class IRecentFileList {
 public:
  virtual ~IRecentFileList() = default;
  virtual void Add(const QString& path) = 0;
};
// The registered list, or a stand-in that keeps the paths given (most recent last).
IRecentFileList& GetRecentFileList();
// Registers the list (not owned); null restores the stand-in.
void SetRecentFileList(IRecentFileList* list);
// The stand-in's paths, for tests.
const QStringList& StandInRecentFiles();
// Adds a full path of an existing file to the recent-file list; anything else is a glitch.
void AddToRecentFiles(const QString& path);

// ---- The main window's position ----
// The normal (restored) position of the main window: width = right - left + 1 and height =
// bottom - top + 1.
struct WindowPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};
// Filled by the main frame while it runs and by ReadWindowPosition at start-up.
extern WindowPosition g_windowPosition;
extern std::int32_t g_windowPositionValid;
// Start-up: reads "WindowPosition" of the user settings ("x,y,width,height"); valid only when
// all four are whole numbers.
void ReadWindowPosition();
// When the main window closes: writes the position when it is valid, e.g. "22,10,1200,800".
void WriteWindowPosition();

// ---- Printing ----
// The printable area of the current page in printer pixels: right = left + g_printableWidth,
// bottom = top + g_printableHeight.
void GetPrintableRect(UiRect& r);

// Puts every global above, the stand-in recent-file list and the registered list back as at
// program start. For tests.
void ResetUiUtilState();
