// The Fill and Text tools driven with the mouse: the hatch chooser asked once, a cancelled
// choice, a fill painted under the items in front of it, and a text finished by the next.
#include "drawtools_fixture.h"
#include "items/hatch.h"

namespace zeph::testing {
namespace {

class FillTextTest : public DrawToolTest {
 protected:
  // A closed square of red lines around pixels (60..120, 40..100).
  void AddSquare() {
    const DrawingPoint a = At({60, 100});
    const DrawingPoint b = At({120, 40});
    Add(MakeLine(a.x, a.y, b.x, a.y));
    Add(MakeLine(b.x, a.y, b.x, b.y));
    Add(MakeLine(b.x, b.y, a.x, b.y));
    Add(MakeLine(a.x, b.y, a.x, a.y));
    Repaint();
  }
  int CountFills() const {
    int fills = 0;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      if (m_doc.GetItem(i)->GetType() == kItemFill) ++fills;
    }
    return fills;
  }
};

TEST_F(FillTextTest, FirstHatchedFillAsksForThePatternOnce) {
  AddSquare();
  g_fillType = kFillHatch;
  Use(kToolFill);
  Click({90, 70});
  EXPECT_EQ(m_dialogs.hatchCalls, 1);
  // The chooser answers the pattern's number; the tool keeps the definition's index.
  EXPECT_EQ(g_hatchPattern, FindHatchDefinition(3));
  ASSERT_EQ(CountFills(), 1);
  const CDrawItem* fill = m_doc.GetItem(0);
  ASSERT_NE(fill->GetHatchPattern(), nullptr);
  EXPECT_EQ(fill->GetHatchPattern()->GetNumber(), 3);
  EXPECT_EQ(m_window->GetClickStep(), 0) << "the gesture ends with the release";
  m_dialogs.hatchAnswer = 7;
  Click({80, 60});
  EXPECT_EQ(m_dialogs.hatchCalls, 1) << "later fills reuse the pattern";
  ASSERT_EQ(CountFills(), 2);
  EXPECT_EQ(m_doc.GetItem(1)->GetHatchPattern()->GetNumber(), 3);
}

// Every sample of the chooser is the hatch drawn, "Unit square dots" (number 27, whose
// definition comes before number 26's) included.
TEST_F(FillTextTest, TheHatchChosenIsTheHatchDrawn) {
  AddSquare();
  g_fillType = kFillHatch;
  Use(kToolFill);
  for (int i = 0; i < kHatchDefinitionCount; ++i) {
    const int number = g_hatchDefinitions[static_cast<std::size_t>(i)].GetNumber();
    g_hatchPattern = -1;
    m_dialogs.hatchAnswer = number;
    Click({90, 70});
    const CDrawItem* fill = m_doc.GetItem(0);
    ASSERT_EQ(fill->GetType(), kItemFill) << number;
    ASSERT_NE(fill->GetHatchPattern(), nullptr) << number;
    EXPECT_EQ(fill->GetHatchPattern()->GetNumber(), number);
    EXPECT_EQ(g_hatchPattern, i) << number;
    UndoOnce();
    ASSERT_EQ(CountFills(), 0) << number;
  }
  EXPECT_EQ(m_dialogs.hatchCalls, kHatchDefinitionCount);
  EXPECT_TRUE(m_presenter.shown().empty());
  // A number no sample has adds no fill.
  g_hatchPattern = -1;
  m_dialogs.hatchAnswer = 99;
  Click({90, 70});
  EXPECT_EQ(CountFills(), 0);
  EXPECT_EQ(g_hatchPattern, -1);
}

TEST_F(FillTextTest, CancelledHatchChoiceAddsNothing) {
  AddSquare();
  g_fillType = kFillHatch;
  m_dialogs.hatchOk = 0;
  Use(kToolFill);
  Click({90, 70});
  EXPECT_EQ(m_dialogs.hatchCalls, 1);
  EXPECT_EQ(CountFills(), 0);
  EXPECT_EQ(g_hatchPattern, -1);
  EXPECT_TRUE(m_presenter.shown().empty()) << "no message";
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // Asked again at the next fill.
  m_dialogs.hatchOk = 1;
  Click({90, 70});
  EXPECT_EQ(m_dialogs.hatchCalls, 2);
  EXPECT_EQ(CountFills(), 1);
}

TEST_F(FillTextTest, SolidFillIsPaintedUnderTheItemsInFrontAtOnce) {
  AddSquare();
  g_drawingColour = static_cast<int>(kBlue);
  Use(kToolFill);
  Click({90, 70});
  ASSERT_EQ(CountFills(), 1);
  EXPECT_EQ(m_doc.FindItem(m_doc.GetItem(0)), 0) << "fills lead the list";
  EXPECT_EQ(m_doc.GetItem(0)->GetType(), kItemFill);
  EXPECT_EQ(m_doc.GetItem(0)->GetHatchPattern()->GetNumber(), -1) << "solid: an empty pattern";
  EXPECT_EQ(Pixel(90, 70), kBlue);
  EXPECT_EQ(Pixel(90, 100), kRed) << "the square's side is drawn again over the fill";
  EXPECT_EQ(Pixel(60, 70), kRed);
  UndoOnce();
  EXPECT_EQ(CountFills(), 0) << "one undo step";
}

TEST_F(FillTextTest, TextIsTypedWhereReleasedAndTheNextTextFinishesIt) {
  Use(kToolText);
  Click({40, 60});
  EXPECT_EQ(m_window->GetTextState(), kTextTyping);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  ASSERT_NE(m_window->GetConstructionItem(), nullptr);
  int x = 0;
  int y = 0;
  m_window->GetConstructionItem()->GetPosition(x, y);
  EXPECT_EQ((DrawingPoint{x, y}), At({40, 60}));
  EXPECT_EQ(m_doc.GetItemCount(), 0) << "not in the drawing while typed";
  m_window->OnChar('H', 1, 0);
  m_window->OnChar('i', 1, 0);
  Click({100, 100});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("Hi"));
  EXPECT_EQ(m_window->GetTextState(), kTextTyping) << "the second text is being typed";
  m_window->GetConstructionItem()->GetPosition(x, y);
  EXPECT_EQ((DrawingPoint{x, y}), At({100, 100}));
  // A text left empty goes when the tool changes.
  Use(kToolCircle);
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
}

}  // namespace
}  // namespace zeph::testing
