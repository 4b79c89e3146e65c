// A text typed letter by letter on the keyboard and finished with Enter, typed on again after
// Modify opened it, and a misspelt text corrected in the spell-check dialog (kept as a picture).
#include <QListWidget>

#include "app/spellcheck.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

using TextTest = ProgramTest;

TEST_F(TextTest, TypedEditedAndSpellChecked) {
  StartProgram();
  if (g_dictionaryStatus != 0) GTEST_SKIP() << "no main dictionary was built (package wbritish)";
  CreateDrawing();

  PickTool(kToolText);
  Click({200, 200});
  TypeOnFocus(QStringLiteral("Hello"));
  KeyOnFocus(Qt::Key_Return);
  Settle();
  ASSERT_EQ(ItemsOfKind(kItemText).size(), 1U);
  CDrawItem* text = ItemsOfKind(kItemText)[0];
  EXPECT_EQ(text->GetText(), QStringLiteral("Hello"));

  // Modify opens the text where it was left; what is typed goes on from there.
  PickTool(kToolModify);
  Click({210, 196});
  ASSERT_EQ(Window().GetPickCount(), 1);
  ASSERT_EQ(Window().GetPicked(0), text);
  TypeOnFocus(QStringLiteral(" there"));
  KeyOnFocus(Qt::Key_Return);
  Settle();
  EXPECT_EQ(text->GetText(), QStringLiteral("Hello there"));

  // A misspelt word: the dialog offers words, and Change takes the first.
  QStringList offered;
  m_person.Expect(QStringLiteral("the spell check"), [&offered](QWidget& window) {
    auto* check = qobject_cast<CSpellCheckDialog*>(&window);
    ASSERT_NE(check, nullptr) << window.metaObject()->className();
    SaveShot(window, QStringLiteral("spell_check_dialog.png"));
    QListWidget* list = check->GetSuggestionList();
    for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
    CPerson::Press(window, QStringLiteral("&Change"));
  });
  PickTool(kToolText);
  Click({200, 320});
  TypeOnFocus(QStringLiteral("A hous"));
  KeyOnFocus(Qt::Key_Return);
  Settle();
  ASSERT_FALSE(offered.isEmpty());
  EXPECT_EQ(offered.front().toUpper(), QStringLiteral("HOUSE"));
  ASSERT_EQ(ItemsOfKind(kItemText).size(), 2U);
  EXPECT_EQ(ItemsOfKind(kItemText)[1]->GetText(), QStringLiteral("A ") + offered.front());
}

}  // namespace
}  // namespace zeph::testing
