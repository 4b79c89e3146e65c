#include "controls/input.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace zeph {
namespace {

QPointer<QWidget> g_captureWindow;

int KeypadKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kVkNumpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk:
      return kVkMultiply;
    case Qt::Key_Plus:
      return kVkAdd;
    case Qt::Key_Minus:
      return kVkSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return kVkDecimal;
    case Qt::Key_Slash:
      return kVkDivide;
    default:
      return 0;
  }
}

}  // namespace

unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= kMkLButton;
  if (buttons & Qt::RightButton) flags |= kMkRButton;
  if (buttons & Qt::MiddleButton) flags |= kMkMButton;
  if (modifiers & Qt::ShiftModifier) flags |= kMkShift;
  if (modifiers & Qt::ControlModifier) flags |= kMkControl;
  return flags;
}

unsigned MouseFlagsOf(const QMouseEvent& event) {
  return MouseFlags(event.buttons(), event.modifiers());
}

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    const int keypad = KeypadKey(qtKey);
    if (keypad != 0) return keypad;
  }
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;  // the same codes
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kVkF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkReturn;
    case Qt::Key_Shift:
      return kVkShift;
    case Qt::Key_Control:
      return kVkControl;
    case Qt::Key_Alt:
      return kVkMenu;
    case Qt::Key_Pause:
      return kVkPause;
    case Qt::Key_CapsLock:
      return kVkCapital;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_PageUp:
      return kVkPrior;
    case Qt::Key_PageDown:
      return kVkNext;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Delete:
      return kVkDelete;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return kVkOemSemicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return kVkOemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return kVkOemComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return kVkOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return kVkOemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return kVkOemSlash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return kVkOemBackquote;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return kVkOemOpenBracket;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return kVkOemBackslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return kVkOemCloseBracket;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return kVkOemQuote;
    default:
      return 0;
  }
}

KeyInput TranslateKey(const QKeyEvent& event) {
  KeyInput input;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  input.virtualKey = VirtualKeyOf(event.key(), modifiers);
  input.autoRepeat = event.isAutoRepeat();
  if (input.autoRepeat) input.flags |= kKeyWasDown;
  if (event.type() != QEvent::KeyPress) return input;

  const bool alt = (modifiers & Qt::AltModifier) != 0;
  const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      input.character = kCharEnter;
      break;
    case Qt::Key_Backspace:
      input.character = kCharBackspace;
      break;
    case Qt::Key_Escape:
      input.character = kCharEscape;
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      input.character = kCharTab;
      break;
    case Qt::Key_Delete:  // Qt's text is 127, which the program reads as a line break
      return input;
    default:
      if (ctrl && !alt && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
        input.character = event.key() - Qt::Key_A + 1;
      } else {
        const QString text = event.text();
        if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) {
          input.character = text.at(0).unicode();
        } else if (alt && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
          // Alt+letter often comes without text: the letter as typed without Shift.
          input.character = (modifiers & Qt::ShiftModifier) ? event.key() : event.key() + 32;
        } else if (alt && event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9) {
          input.character = event.key();
        }
      }
      break;
  }
  input.system = alt && !ctrl && input.character >= 0;
  return input;
}

QWidget* GetCapture() { return g_captureWindow.data(); }

QWidget* SetCapture(QWidget* window) {
  QWidget* previous = g_captureWindow.data();
  g_captureWindow = window;
  if (window != nullptr) window->setMouseTracking(true);
  return previous;
}

void ReleaseCapture() { g_captureWindow = nullptr; }

QPoint PointOutside(const QWidget& window) {
  const QPoint point = window.mapFromGlobal(QCursor::pos());
  if (!window.rect().contains(point)) return point;
  return {-1, -1};  // the cursor is not known (as off screen): any point outside will do
}

}  // namespace zeph
