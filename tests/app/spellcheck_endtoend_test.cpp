// The running program checks a typed text when the user finishes it: a misspelt word, the
// first suggestion accepted, and the text item holds the corrected text.
#include <QFile>
#include <QListWidget>
#include <QTest>

#include "app/spellcheck.h"
#include "app_fixture.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "items/itemservices.h"
#include "spell/spell.h"

namespace zeph::testing {
namespace {

// The main dictionary the build makes from the system's word list, beside the render folder.
QString BuiltDictionary() { return QStringLiteral(ZEPH_RENDER_DIR "/../../resources/ZDICT.SPE"); }

using SpellEndToEndTest = AppTest;

TEST_F(SpellEndToEndTest, TypedTextIsCorrectedWithTheFirstSuggestion) {
  if (!QFile::exists(BuiltDictionary())) GTEST_SKIP() << "no main dictionary was built";
  ASSERT_TRUE(QFile::copy(BuiltDictionary(), FilePath(QStringLiteral("ZDICT.SPE"))));
  m_glitchExpected = true;  // the views' own checks are theirs

  m_app = std::make_unique<CZephApp>();
  m_app->InitInstance(QString());
  Frame().resize(1000, 700);
  QApplication::processEvents();
  ASSERT_NE(GetTextSpellCheck(), nullptr);
  ASSERT_EQ(IsSpellCheckerReady(), 1);
  SetOptionFlag(kOptionSpellCheck, 1);

  QStringList offered;
  CScriptedDialogRunner runner([&](QDialog& dialog) {
    auto* check = dynamic_cast<CSpellCheckDialog*>(&dialog);
    if (check == nullptr) {
      dialog.reject();
      return;
    }
    QListWidget* list = check->GetSuggestionList();
    for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
    check->OnCommand(kIdcSpellChange);
  });
  SetDialogRunner(&runner);

  m_app->OnFileNew();
  auto* view = qobject_cast<CEditingView*>(m_app->GetEditingView());
  ASSERT_NE(view, nullptr);
  QApplication::processEvents();
  view->SelectTool(kToolText, 0);
  CEditDrawing* window = view->GetDrawingWindow();
  ASSERT_NE(window, nullptr);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
  QTest::keyClicks(window, QStringLiteral("A hous"));
  QTest::keyClick(window, Qt::Key_Return);
  SetDialogRunner(nullptr);

  ASSERT_FALSE(offered.isEmpty());
  CZephDoc& doc = *m_app->GetActiveDocument();
  ASSERT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(doc.GetItem(0)->GetText(), QStringLiteral("A ") + offered.front());
  EXPECT_EQ(offered.front().toUpper(), QStringLiteral("HOUSE"));
}

}  // namespace
}  // namespace zeph::testing
