#pragma once
// The one thing the program tests stand in for: the person at the keyboard. Windows the
// program opens modally (its message boxes and dialogs, through its own presenter and dialog
// runner) are answered by the person with their own buttons and fields, in the order the test
// expects them; every box seen is kept with its words, so a box or a button without words is
// caught wherever it appears.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

class QAbstractButton;

namespace zeph::testing {

class CPerson : public QObject {
 public:
  using Answer = std::function<void(QWidget& window)>;
  struct Seen {
    QString kind;  // the window's class
    QString title;
    QString text;  // a message box's text
    QStringList buttons;
  };

  CPerson();
  ~CPerson() override;

  // The next modal window the program opens is answered so; what names it for messages.
  void Expect(const QString& what, Answer answer);
  // Modal windows expected and not yet seen.
  int Waiting() const { return static_cast<int>(m_answers.size()); }
  const std::vector<Seen>& SeenWindows() const { return m_seen; }
  const Seen* LastSeen() const { return m_seen.empty() ? nullptr : &m_seen.back(); }
  // Forgets the windows seen (not the answers waiting).
  void ClearSeen() { m_seen.clear(); }
  // Drops the answers waiting, so that a step that went wrong leaves none to the next.
  void ForgetAnswers() { m_answers.clear(); }

  // ---- What a person does in a window ----
  // Clicks the button whose caption is text ('&' ignored); fails the test without one.
  static void Press(QWidget& window, const QString& text);
  // Clicks into the window's index-th line edit (in the order of the tab chain), selects what
  // it holds and types text over it.
  static void TypeInto(QWidget& window, int index, const QString& text);
  // The window's buttons' captions, '&' kept.
  static QStringList ButtonTexts(const QWidget& window);
  static QAbstractButton* FindButton(const QWidget& window, const QString& text);

 private:
  void Look();

  QTimer m_timer;
  std::deque<std::pair<QString, Answer>> m_answers;
  std::vector<QPointer<QWidget>> m_handled;
  std::vector<Seen> m_seen;
  bool m_busy = false;
};

// Clicks with the left button at point p of widget w, as the mouse does: through the window
// system, so the window's own routing, grabs and modality decide who hears it.
void ClickAt(QWidget* w, QPoint p);
void PressAt(QWidget* w, QPoint p);
void MoveTo(QWidget* w, QPoint p);
void ReleaseAt(QWidget* w, QPoint p);
// A key pressed and released, and text typed, on the widget that has the focus.
void KeyOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void TypeOnFocus(const QString& text);
// Lets the program's queued work and paints run.
void Settle(int milliseconds = 0);

}  // namespace zeph::testing
