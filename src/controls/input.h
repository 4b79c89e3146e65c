#pragma once
// Mouse and keyboard input as the program's handlers read it, translated from Qt in this one
// place: the mouse flags of a mouse message, the virtual-key code of a key, the character a
// key gives (if any), and the mouse capture, which the program keeps itself.
#include <QPoint>
#include <cstdint>

#include "platform/desktop.h"

class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace zeph {

// ---- Mouse flags (the first argument of every mouse handler) ----
inline constexpr unsigned kMkLButton = 0x01;
inline constexpr unsigned kMkRButton = 0x02;
inline constexpr unsigned kMkShift = 0x04;
inline constexpr unsigned kMkControl = 0x08;
inline constexpr unsigned kMkMButton = 0x10;

// ---- Virtual keys (besides those the desktop names) ----
inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkPause = 0x13;
inline constexpr int kVkCapital = 0x14;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkPrior = 0x21;  // Page Up
inline constexpr int kVkNext = 0x22;   // Page Down
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkInsert = 0x2D;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A, as their characters.
inline constexpr int kVkNumpad0 = 0x60;  // .. kVkNumpad0 + 9
inline constexpr int kVkMultiply = 0x6A;
inline constexpr int kVkAdd = 0x6B;
inline constexpr int kVkSubtract = 0x6D;
inline constexpr int kVkDecimal = 0x6E;
inline constexpr int kVkDivide = 0x6F;
inline constexpr int kVkF1 = 0x70;  // .. F24 at 0x87
inline constexpr int kVkF3 = 0x72;
inline constexpr int kVkF8 = 0x77;
inline constexpr int kVkF9 = 0x78;
inline constexpr int kVkF10 = 0x79;
inline constexpr int kVkOemSemicolon = 0xBA;
inline constexpr int kVkOemPlus = 0xBB;
inline constexpr int kVkOemComma = 0xBC;
inline constexpr int kVkOemMinus = 0xBD;
inline constexpr int kVkOemPeriod = 0xBE;
inline constexpr int kVkOemSlash = 0xBF;
inline constexpr int kVkOemBackquote = 0xC0;
inline constexpr int kVkOemOpenBracket = 0xDB;
inline constexpr int kVkOemBackslash = 0xDC;
inline constexpr int kVkOemCloseBracket = 0xDD;
inline constexpr int kVkOemQuote = 0xDE;

// Characters a key gives that the handlers compare.
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharTab = 9;
inline constexpr int kCharEnter = 13;
inline constexpr int kCharEscape = 27;

// The key flags' bit for a key that was already down (an auto-repeated press).
inline constexpr unsigned kKeyWasDown = 0x4000;

// What one Qt key press or release means to a handler.
struct KeyInput {
  int virtualKey = 0;   // 0: a key the program has no code for
  int character = -1;   // the character the press gives, -1 for none (and for every release)
  bool system = false;  // the character was typed with Alt: a system character
  bool autoRepeat = false;
  unsigned flags = 0;  // the handler's key flags: kKeyWasDown when auto-repeated
};

// The mouse flags for buttons held and modifiers down.
unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// The flags of a mouse event: buttons held after the event, Shift and Ctrl.
unsigned MouseFlagsOf(const QMouseEvent& event);
// The virtual-key code of a Qt key; keypad digits and operators get their keypad codes.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
// The key press or release translated. A press gives a character for printable text, Enter
// (13), Backspace (8), Esc (27), Tab and Shift+Tab (9) and Ctrl+letter (1..26); Delete gives
// none. Alt with a character makes it a system character.
KeyInput TranslateKey(const QKeyEvent& event);

// ---- Mouse capture ----
// The window that holds the capture, or null. Only one window holds it at a time. While a
// button is held, Qt delivers every move and the release to the window pressed; a window that
// does not hold the capture then takes only what happens inside it. Without a button held, a
// window that holds the capture is told by one move outside its client area when the mouse
// leaves it (mouse tracking and the leave event, never a grab of the mouse).
QWidget* GetCapture();
// Gives window the capture (and mouse tracking); answers the window that held it before.
QWidget* SetCapture(QWidget* window);
// Drops the capture, whoever holds it.
void ReleaseCapture();
// A point outside window's client area where the mouse is, for the move that tells a
// capturing window that the mouse left it.
QPoint PointOutside(const QWidget& window);

}  // namespace zeph
