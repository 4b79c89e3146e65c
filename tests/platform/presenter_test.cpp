#include "platform/presenter.h"

#include <gtest/gtest.h>

namespace zeph {

TEST(ScriptedPresenter, AnswersFromScriptThenFirstButton) {
  ScriptedPresenter presenter;
  SetPresenter(&presenter);
  presenter.QueueAnswer(kIdCancel);
  EXPECT_EQ(GetPresenter().ShowMessageBox(QStringLiteral("a"), QString(), kMbOkCancel), kIdCancel);
  EXPECT_EQ(GetPresenter().ShowMessageBox(QStringLiteral("b"), QString(), kMbOkCancel), kIdOk);
  EXPECT_EQ(GetPresenter().ShowMessageBox(QStringLiteral("c"), QString(), kMbYesNo), kIdYes);
  ASSERT_EQ(presenter.shown().size(), 3u);
  EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("a"));
  EXPECT_EQ(presenter.shown()[0].answer, kIdCancel);
  SetPresenter(nullptr);
  EXPECT_NE(&GetPresenter(), &presenter);
}

}  // namespace zeph
