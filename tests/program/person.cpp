#include "program/person.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>

namespace zeph::testing {
namespace {

QString Plain(QString text) { return text.remove(u'&'); }

// The widget a key goes to. A window that has just closed hands the focus back to the one
// below it through the window manager, so a person's next key waits for that.
QWidget* FocusOrActive() {
  (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
  if (QWidget* focus = QApplication::focusWidget()) return focus;
  return QApplication::activeWindow();
}

}  // namespace

CPerson::CPerson() {
  m_timer.setInterval(40);
  connect(&m_timer, &QTimer::timeout, this, &CPerson::Look);
  m_timer.start();
}

CPerson::~CPerson() { m_timer.stop(); }

void CPerson::Expect(const QString& what, Answer answer) {
  m_answers.emplace_back(what, std::move(answer));
}

void CPerson::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  if (modal->windowHandle() == nullptr || !modal->windowHandle()->isExposed()) return;
  for (const QPointer<QWidget>& done : m_handled) {
    if (done == modal) return;
  }
  m_handled.emplace_back(modal);
  Seen seen;
  seen.kind = QString::fromLatin1(modal->metaObject()->className());
  seen.title = modal->windowTitle();
  if (auto* box = qobject_cast<QMessageBox*>(modal)) seen.text = box->text();
  seen.buttons = ButtonTexts(*modal);
  m_seen.push_back(seen);
  if (m_answers.empty()) {
    ADD_FAILURE() << "an unexpected " << seen.kind.toStdString() << " \""
                  << seen.title.toStdString() << "\": " << seen.text.toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      QAbstractButton* escape = box->escapeButton();
      if (escape == nullptr && !box->buttons().isEmpty()) escape = box->buttons().front();
      if (escape != nullptr) escape->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    }
    return;
  }
  // Answered from a timer of its own: a window the answer opens in turn is then seen by the
  // next look, which a timer still running its own slot would never give.
  auto next = std::move(m_answers.front());
  m_answers.pop_front();
  QPointer<QWidget> window(modal);
  QTimer::singleShot(0, this, [window, next = std::move(next)] {
    if (window.isNull()) return;
    SCOPED_TRACE("answering " + next.first.toStdString());
    next.second(*window);
  });
}

QStringList CPerson::ButtonTexts(const QWidget& window) {
  // Push buttons carry words; tool buttons (a file dialog's) may show only their icons.
  QStringList texts;
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->isVisible()) texts << button->text();
  }
  return texts;
}

QAbstractButton* CPerson::FindButton(const QWidget& window, const QString& text) {
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->isVisible() && Plain(button->text()) == Plain(text)) return button;
  }
  return nullptr;
}

void CPerson::Press(QWidget& window, const QString& text) {
  QAbstractButton* button = FindButton(window, text);
  if (button == nullptr) {
    ADD_FAILURE() << "no button \"" << text.toStdString() << "\" in \""
                  << window.windowTitle().toStdString() << "\"; there are: "
                  << ButtonTexts(window).join(QStringLiteral(", ")).toStdString();
    return;
  }
  ClickAt(button, button->rect().center());
}

void CPerson::TypeInto(QWidget& window, int index, const QString& text) {
  QList<QLineEdit*> edits;
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
    if (edit->isVisible() && edit->isEnabled()) edits << edit;
  }
  if (index >= edits.size()) {
    ADD_FAILURE() << "no field " << index << " in \"" << window.windowTitle().toStdString() << "\"";
    return;
  }
  QLineEdit* edit = edits[index];
  ClickAt(edit, edit->rect().center());
  if (QApplication::focusWidget() != edit) edit->setFocus(Qt::MouseFocusReason);
  KeyOnFocus(Qt::Key_A, Qt::ControlModifier);
  TypeOnFocus(text);
}

void MoveTo(QWidget* w, QPoint p) {
  QWidget* top = w->window();
  QTest::mouseMove(top->windowHandle(), w->mapTo(top, p));
}

void PressAt(QWidget* w, QPoint p) {
  QWidget* top = w->window();
  QTest::mousePress(top->windowHandle(), Qt::LeftButton, {}, w->mapTo(top, p));
}

void ReleaseAt(QWidget* w, QPoint p) {
  QWidget* top = w->window();
  QTest::mouseRelease(top->windowHandle(), Qt::LeftButton, {}, w->mapTo(top, p));
}

void ClickAt(QWidget* w, QPoint p) {
  MoveTo(w, p);
  PressAt(w, p);
  ReleaseAt(w, p);
}

void KeyOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* focus = FocusOrActive();
  if (focus == nullptr) {
    ADD_FAILURE() << "no window has the focus for key " << key;
    return;
  }
  QTest::keyClick(focus, key, modifiers);
}

void TypeOnFocus(const QString& text) {
  for (const QChar c : text) {
    QWidget* focus = FocusOrActive();
    if (focus == nullptr) {
      ADD_FAILURE() << "no window has the focus for typing";
      return;
    }
    QTest::keyClick(focus, c.toLatin1());
  }
}

void Settle(int milliseconds) {
  QApplication::processEvents();
  QApplication::sendPostedEvents();
  QTest::qWait(std::max(milliseconds, 1));
}

}  // namespace zeph::testing
