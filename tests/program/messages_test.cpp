// The tools' warnings and the values bar's refusals as a person meets them: each box shows the
// program's own words for its message (the fixture checks every box and button seen), and
// the prompt area's buttons carry their captions.
#include <QMessageBox>

#include "controls/edits.h"
#include "program/program_fixture.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

class MessagesTest : public ProgramTest {
 protected:
  // The next box shows message id in the program's words; OK closes it.
  void ExpectWarning(int id) {
    const QString words =
        LoadProgramString(id).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_FALSE(words.isEmpty()) << id;
    ExpectMessage(QStringLiteral("message %1").arg(id), QStringLiteral("OK"), words);
  }
  // A value typed into a field of the values bar and refused with message id: the box is
  // answered and the edit box stays open, then Escape closes it.
  void TypeRefused(int fieldId, int line, const QString& text, int id) {
    ClickField(fieldId, line);
    ExpectWarning(id);
    TypeValue(text);
    if (m_person.Waiting() != 0) {
      ADD_FAILURE() << "no message for " << text.toStdString();
      m_person.ForgetAnswers();
    }
    EXPECT_TRUE(View().GetValueEdit()->isVisible())
        << "the edit box closed on " << text.toStdString();
    KeyOnFocus(Qt::Key_Escape);
    Settle();
  }
};

TEST_F(MessagesTest, TheToolsWarningsHaveTheirWords) {
  StartProgram();
  CreateDrawing();

  // Corner with no corner at all.
  PickTool(kToolCorner, 0);
  ExpectWarning(64);
  Click({400, 400});
  EXPECT_EQ(m_person.Waiting(), 0);

  // Two short lines meeting, and a fixed fillet radius and chamfer length too large for them.
  PickTool(kToolNewLine);
  Click({100, 300});
  Click({150, 300});
  Click({150, 250});
  PickTool(kToolCorner, 0);
  ClickField(6);
  TypeValue(QStringLiteral("500"));
  ExpectWarning(65);
  Click({150, 300});
  EXPECT_EQ(m_person.Waiting(), 0);
  PickTool(kToolCorner, 1);
  ClickField(7);
  TypeValue(QStringLiteral("500"));
  ExpectWarning(66);
  Click({150, 300});
  EXPECT_EQ(m_person.Waiting(), 0);

  // A shape cannot be stretched nor broken.
  DrawRectangle({300, 100}, {400, 200});
  PickTool(kToolStretch);
  ExpectWarning(69);
  Click({350, 100});
  EXPECT_EQ(m_person.Waiting(), 0);
  PickTool(kToolBreak);
  ExpectWarning(70);
  Click({350, 100});
  EXPECT_EQ(m_person.Waiting(), 0);

  // A line that meets nothing when extended.
  DrawLine({600, 400}, {700, 400});
  PickTool(kToolExtend);
  ExpectWarning(72);
  Click({698, 400});
  EXPECT_EQ(m_person.Waiting(), 0);

  // A fill where nothing closes the point in.
  PickTool(kToolFill);
  ExpectWarning(368);
  Click({900, 500});
  EXPECT_EQ(m_person.Waiting(), 0);
}

TEST_F(MessagesTest, RefusedValuesHaveTheirWordsAndKeepTheEditBoxOpen) {
  StartProgram();
  CreateDrawing();
  PickTool(kToolNewLine);
  TypeRefused(2, 0, QStringLiteral("long"), 20);
  TypeRefused(2, 1, QStringLiteral("steep"), 21);
  // A length larger than any drawing can hold is no length either.
  TypeRefused(2, 0, QStringLiteral("99999999999999999999"), 20);
  PickTool(kToolCircle);
  TypeRefused(4, 0, QStringLiteral("wide"), 32);
  TypeRefused(4, 0, QStringLiteral("99999999999999999999"), 32);
}

TEST_F(MessagesTest, ThePromptButtonsHaveTheirCaptions) {
  StartProgram();
  CreateDrawing();
  DrawLine({100, 100}, {300, 100});
  DrawRectangle({100, 200}, {300, 300});
  PickTool(kToolFill);
  Click({200, 250});

  // Copy: the OK button names the action, then Restart asks for new items.
  PickTool(kToolCopy);
  Click({200, 100});
  ASSERT_NE(View().GetPromptButton(kIdPromptOK), nullptr);
  EXPECT_EQ(View().GetPromptButton(kIdPromptOK)->text(), LoadProgramString(48));
  PressPromptButton(kIdPromptOK);
  ASSERT_NE(View().GetPromptButton(kIdPromptRestart), nullptr);
  EXPECT_EQ(View().GetPromptButton(kIdPromptRestart)->text(), LoadProgramString(57));

  // Modify on a fill: the order buttons.
  PickTool(kToolModify);
  Click({200, 250});
  for (const int id : {kIdPromptBringToFront, kIdPromptSendToBack}) {
    ASSERT_NE(View().GetPromptButton(id), nullptr) << id;
    EXPECT_EQ(View().GetPromptButton(id)->text(), LoadProgramString(id));
    EXPECT_FALSE(LoadProgramString(id).isEmpty()) << id;
  }
}

}  // namespace
}  // namespace zeph::testing
