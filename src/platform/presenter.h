#pragma once
// Message boxes (and later modal dialogs) go through one replaceable presenter, so that
// tests and headless runs answer them without a display.
#include <QString>
#include <deque>
#include <vector>

namespace zeph {

// Button sets and icons of a message box, combined with '|'.
enum MessageBoxStyle : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbYesNoCancel = 0x3,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbButtonMask = 0xF,
  kMbIconMask = 0xF0,
};

// The answers, with the values the program compares against.
enum MessageBoxAnswer : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

class IPresenter {
 public:
  virtual ~IPresenter() = default;
  // Shows a modal message box and answers the button chosen.
  virtual int ShowMessageBox(const QString& text, const QString& caption, unsigned style) = 0;
};

// The presenter in use; a scripted one until the user interface installs its own.
IPresenter& GetPresenter();
// Installs a presenter (not owned); null restores the built-in scripted one.
void SetPresenter(IPresenter* presenter);

// Headless presenter: answers from a script, and remembers every box it was asked to show.
class ScriptedPresenter : public IPresenter {
 public:
  struct Shown {
    QString text;
    QString caption;
    unsigned style = 0;
    int answer = 0;
  };

  int ShowMessageBox(const QString& text, const QString& caption, unsigned style) override;

  // Queues the answer for the next box; without one the box gets its first button.
  void QueueAnswer(int answer) { m_answers.push_back(answer); }
  const std::vector<Shown>& shown() const { return m_shown; }
  void Clear() {
    m_answers.clear();
    m_shown.clear();
  }

 private:
  std::deque<int> m_answers;
  std::vector<Shown> m_shown;
};

// The button a box's style offers first (OK, or Yes).
int FirstButtonOf(unsigned style);

}  // namespace zeph
