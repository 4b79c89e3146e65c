#include "platform/presenter.h"

namespace zeph {
namespace {
ScriptedPresenter& BuiltInPresenter() {
  static ScriptedPresenter presenter;
  return presenter;
}
IPresenter* g_presenter = nullptr;
}  // namespace

IPresenter& GetPresenter() { return g_presenter != nullptr ? *g_presenter : BuiltInPresenter(); }

void SetPresenter(IPresenter* presenter) { g_presenter = presenter; }

int FirstButtonOf(unsigned style) {
  const unsigned buttons = style & kMbButtonMask;
  return (buttons == kMbYesNo || buttons == kMbYesNoCancel) ? kIdYes : kIdOk;
}

int ScriptedPresenter::ShowMessageBox(const QString& text, const QString& caption,
                                      unsigned style) {
  int answer = FirstButtonOf(style);
  if (!m_answers.empty()) {
    answer = m_answers.front();
    m_answers.pop_front();
  }
  m_shown.push_back({text, caption, style, answer});
  return answer;
}

}  // namespace zeph
