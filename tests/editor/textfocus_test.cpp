// Keys typed into a text reach it as a person's keys do: through the widget that has the
// focus. The Text tool and Modify's text give the drawing window the focus, so the letters
// are the text's and not the palette's, and Enter finishes the text through its spell check;
// afterwards the letters are the palette's again.
#include <QTest>
#include <vector>

#include "editor/editingview.h"
#include "editor/toolparams.h"
#include "items/itemservices.h"
#include "items/textitem.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

// Notes every text it is asked to check and leaves it as it was.
class CNotingSpellCheck final : public ITextSpellCheck {
 public:
  int IsReady() const override { return 1; }
  int CheckText(const QString& text, int /*flag*/) override {
    checked.push_back(text);
    return kSpellTextUnchanged;
  }
  QString GetCorrectedText() const override { return {}; }
  std::vector<QString> checked;
};

class TextFocusTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    ResetTextEditState();
    ResetToolParameters();
    g_textFont.SetSize(40);  // about 21 pixels high at this zoom
    g_appActive = 1;
    SetOptionFlag(kOptionSpellCheck, 1);
    SetTextSpellCheck(&m_spelling);
    // The view measures the texts, as the program registers it.
    SetEditingView(m_view.get());
    SetZoom(8, 20, 200);
    m_view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_view.get()));
    m_view->setFocus();
  }
  void TearDown() override {
    SetEditingView(nullptr);
    SetTextSpellCheck(nullptr);
    ResetToolParameters();
    ResetTextEditState();
    ViewTest::TearDown();
  }
  static void Type(const char* keys) {
    for (const char* key = keys; *key != 0; ++key) {
      QTest::keyClick(QApplication::focusWidget(), *key);
    }
  }
  static void PressEnter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }

  CNotingSpellCheck m_spelling;
};

TEST_F(TextFocusTest, LettersAfterTheTextToolAndModifyAreTheTexts) {
  ASSERT_EQ(Drawing().SetTool(kToolText, -1), 1);
  QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, {60, 100});
  ASSERT_EQ(Drawing().GetTextState(), kTextTyping);
  EXPECT_EQ(QApplication::focusWidget(), &Drawing());
  // M, I, C and S are also tool letters (Move, Insert, Colour, Shape).
  Type("mics");
  PressEnter();
  EXPECT_EQ(g_currentTool, kToolText);
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* text = m_doc.GetItem(0);
  EXPECT_EQ(text->GetText(), QStringLiteral("mics"));
  EXPECT_EQ(m_spelling.checked, std::vector<QString>{QStringLiteral("mics")});
  EXPECT_EQ(QApplication::focusWidget(), m_view.get()) << "the keys go back to the view";

  // Modify opens the text under the cursor; the letters typed go into it.
  ASSERT_EQ(Drawing().SetTool(kToolModify, -1), 1);
  QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, {66, 110});
  ASSERT_EQ(Drawing().GetTextState(), kTextEditing);
  EXPECT_EQ(QApplication::focusWidget(), &Drawing());
  Type("x");
  PressEnter();
  EXPECT_EQ(g_currentTool, kToolModify);
  EXPECT_EQ(text->GetTextLength(), 5);
  EXPECT_TRUE(text->GetText().contains(u'x'));
  EXPECT_EQ(m_spelling.checked.size(), 2u);

  // With no text open the letters are the palette's.
  EXPECT_EQ(QApplication::focusWidget(), m_view.get());
  Type("f");
  EXPECT_EQ(g_currentTool, kToolFill);
  EXPECT_EQ(m_doc.GetItem(0)->GetTextLength(), 5);
}

// A click in the drawing leaves the keys with the view, whose tool letters they are.
TEST_F(TextFocusTest, AClickInTheDrawingLeavesTheKeysWithTheView) {
  ASSERT_EQ(Drawing().SetTool(kToolLine, -1), 1);
  QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, {60, 100});
  EXPECT_EQ(QApplication::focusWidget(), m_view.get());
  Type("f");
  EXPECT_EQ(g_currentTool, kToolFill);
}

}  // namespace
}  // namespace zeph::testing
