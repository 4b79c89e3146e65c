#include "controls/viewcontrols.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/qt/qtfont.h"
#include "support/log.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace zeph {

void TrackKeyModifiers(const QKeyEvent& event) {
  SetModifierKey(kVkShift, (event.modifiers() & Qt::ShiftModifier) != 0);
  SetModifierKey(kVkControl, (event.modifiers() & Qt::ControlModifier) != 0);
}

QFont QtFontOf(const DcFont& font, const QWidget* widget) { return MakeQtFont(font, widget); }

namespace {

bool IsTabKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

QRect ToQRect(const DcRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

// ---- CViewButton ----

CViewButton::CViewButton(QWidget* parent) : QPushButton(parent), CControl(kPushButton) {
  setAutoDefault(false);
}

bool CViewButton::Create(const DcRect& rect, QWidget* parent, int id) {
  if (parent == nullptr) return false;
  m_id = id;
  setParent(parent);
  setGeometry(ToQRect(rect));
  SetWindow(this);
  SetCaptionText(LoadProgramString(id));
  show();
  return true;
}

void CViewButton::SetCaption(int stringId) { SetCaptionText(LoadProgramString(stringId)); }

void CViewButton::SetCaptionText(const QString& text) {
  setText(text);
  // The text's '&' must not become a Qt shortcut: the control group answers mnemonics.
  setShortcut(QKeySequence());
  SetMnemonicFromCaption(text);
}

void CViewButton::SetFont(const DcFont* font, bool redraw) {
  if (font != nullptr) setFont(QtFontOf(*font, this));
  if (redraw) update();
}

bool CViewButton::OnChar(int character) {
  if (HandleGroupKey(character) != 0) return true;
  if (character == kCharEnter || MatchesMnemonic(character) != 0) {
    SendCommand();
    return true;
  }
  if (character == kCharTab) {
    emit controlKey(m_id, kCharTab);
    return true;
  }
  return false;
}

bool CViewButton::OnSysChar(int character) {
  return GetGroup() != nullptr && GetGroup()->HandleMnemonic(character) != 0;
}

void CViewButton::OnKeyDown(int key) { SetModifierKey(key, true); }
void CViewButton::OnKeyUp(int key) { SetModifierKey(key, false); }

void CViewButton::OnSetFocus() {
  SetHasFocus(1);
  if (!isCheckable()) setDefault(true);
}

void CViewButton::OnKillFocus() {
  SetHasFocus(0);
  if (isEnabled() && isVisible() && !isCheckable()) setDefault(false);
}

void CViewButton::SendGroupKey(int code) { emit groupKey(m_id, code); }

// As a click: Qt's button sends clicked to whoever listens for the command.
void CViewButton::SendCommand() { click(); }

bool CViewButton::IsCheckedStyle() const { return isCheckable() && autoExclusive(); }
bool CViewButton::IsChecked() const { return isChecked(); }

bool CViewButton::event(QEvent* event) {
  if (IsTabKey(event)) {
    HandleKeyPress(*static_cast<QKeyEvent*>(event));
    return true;
  }
  return QPushButton::event(event);
}

void CViewButton::HandleKeyPress(QKeyEvent& event) {
  TrackKeyModifiers(event);
  const KeyInput input = TranslateKey(event);
  if (input.virtualKey != 0) OnKeyDown(input.virtualKey);
  bool handled = false;
  if (input.character >= 0)
    handled = input.system ? OnSysChar(input.character) : OnChar(input.character);
  if (!handled && event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab) {
    QPushButton::keyPressEvent(&event);
  }
  // What the default handling leaves stays with the button, never its view.
  event.accept();
}

void CViewButton::keyPressEvent(QKeyEvent* event) { HandleKeyPress(*event); }

void CViewButton::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) {
    const KeyInput input = TranslateKey(*event);
    if (input.virtualKey != 0) OnKeyUp(input.virtualKey);
  }
  QPushButton::keyReleaseEvent(event);
  event->accept();
}

void CViewButton::focusInEvent(QFocusEvent* event) {
  QPushButton::focusInEvent(event);
  OnSetFocus();
}

void CViewButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  OnKillFocus();
}

// ---- CViewList ----

CViewList::CViewList(QWidget* parent) : QListWidget(parent), CControl(kList) {
  viewport()->setCursor(Qt::ArrowCursor);
}

bool CViewList::Create(const DcRect& rect, QWidget* parent, int id) {
  if (parent == nullptr) return false;
  m_id = id;
  setParent(parent);
  setGeometry(ToQRect(rect));
  SetWindow(this);
  SetLabel(id);
  PlaceLabel();
  // A hand-over list shows itself when it gets the focus.
  setVisible(m_handOver == 0);
  return true;
}

void CViewList::SetFont(const DcFont* font, bool redraw) {
  CControl::SetFont(font, redraw);
  if (font != nullptr) setFont(QtFontOf(*font, this));
  PlaceLabel();
}

bool CViewList::OnChar(int character) {
  if (HandleGroupKey(character) != 0) return true;
  if (character == kCharTab || character == kCharEnter || character == kCharEscape ||
      character == ' ') {
    emit controlKey(m_id, character);
    return true;
  }
  return false;  // the list's own type-ahead
}

bool CViewList::OnSysChar(int character) {
  return GetGroup() != nullptr && GetGroup()->HandleMnemonic(character) != 0;
}

void CViewList::OnSetFocus() { SetFocusState(1); }

void CViewList::OnKillFocus() {
  SetFocusState(0);
  if (m_handOver != 0) hide();
}

void CViewList::OnLButtonUp() {
  if (m_handOver == 0) return;
  if (GetGroup() != nullptr) {
    emit groupKey(m_id, kGroupKeyListClick);
    GetGroup()->MoveFocusFrom(this, 1);
  } else {
    emit controlKey(m_id, kCharEnter);
  }
}

void CViewList::SendGroupKey(int code) { emit groupKey(m_id, code); }

bool CViewList::event(QEvent* event) {
  if (IsTabKey(event)) {
    HandleKeyPress(*static_cast<QKeyEvent*>(event));
    return true;
  }
  const bool result = QListWidget::event(event);
  if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && x() >= 0 && y() >= 0) {
    PlaceLabel();  // the caption follows the list
  }
  return result;
}

void CViewList::HandleKeyPress(QKeyEvent& event) {
  TrackKeyModifiers(event);
  const KeyInput input = TranslateKey(event);
  bool handled = false;
  if (input.character >= 0)
    handled = input.system ? OnSysChar(input.character) : OnChar(input.character);
  if (!handled && event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab) {
    QListWidget::keyPressEvent(&event);
  }
  event.accept();
}

void CViewList::keyPressEvent(QKeyEvent* event) { HandleKeyPress(*event); }

void CViewList::focusInEvent(QFocusEvent* event) {
  if (m_handOver != 0) show();
  QListWidget::focusInEvent(event);
  OnSetFocus();
}

void CViewList::focusOutEvent(QFocusEvent* event) {
  QListWidget::focusOutEvent(event);
  OnKillFocus();
}

void CViewList::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) OnLButtonUp();
}

void CViewList::showEvent(QShowEvent* event) {
  QListWidget::showEvent(event);
  if (m_handOver != 0) raise();
}

}  // namespace zeph
