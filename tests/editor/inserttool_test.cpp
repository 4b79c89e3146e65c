// The Insert tool driven with the mouse: the selected symbol lands with its origin at the
// snapped release point, in the current object and with fresh groups, and the symbol itself is
// left where it is stored, also when a drag is cancelled.
#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

class InsertToolTest : public DrawToolTest {
 protected:
  void SetUp() override {
    DrawToolTest::SetUp();
    const int s = Scale();
    // A plain line and a two-line shape, stored away from the symbol's origin.
    DrawItemPtr plain = MakeLine(5 * s, 0, 25 * s, 0, kBlue);
    plain->SetObjectNumber(3);
    ASSERT_EQ(m_symbol.AddItem(plain), 1);
    for (int i = 0; i < 2; ++i) {
      DrawItemPtr side = MakeLine(0, (5 + 5 * i) * s, 20 * s, (5 + 5 * i) * s);
      side->SetGroupNumber(7);
      ASSERT_EQ(m_symbol.AddItem(side), 1);
    }
    m_stored = Ends(m_symbol);
    m_savedSymbolDoc = g_symbolDoc;
    g_symbolDoc = &m_symbol;
  }
  void TearDown() override {
    g_symbolDoc = m_savedSymbolDoc;
    DrawToolTest::TearDown();
  }

  static std::vector<DrawingPoint> Ends(const CZephDoc& doc) {
    std::vector<DrawingPoint> ends;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      ends.push_back(StartOf(doc.GetItem(i)));
      ends.push_back(EndOf(doc.GetItem(i)));
    }
    return ends;
  }
  void ExpectSymbolInPlace(const char* when) {
    const auto now = Ends(m_symbol);
    ASSERT_EQ(now.size(), m_stored.size()) << when;
    for (std::size_t i = 0; i < now.size(); ++i) {
      EXPECT_EQ(now[i].x, m_stored[i].x) << when << " " << i;
      EXPECT_EQ(now[i].y, m_stored[i].y) << when << " " << i;
    }
    EXPECT_EQ(m_window->GetSymbolDisplacement().x, 0) << when;
    EXPECT_EQ(m_window->GetSymbolDisplacement().y, 0) << when;
  }
  // The drawing's items from first on hold the symbol's, moved by offset.
  void ExpectInsertedAt(int first, const DrawingPoint& offset) {
    ASSERT_GE(m_doc.GetItemCount(), first + m_symbol.GetItemCount());
    for (int i = 0; i < m_symbol.GetItemCount(); ++i) {
      const CDrawItem* copy = m_doc.GetItem(first + i);
      const CDrawItem* stored = m_symbol.GetItem(i);
      EXPECT_EQ(StartOf(copy).x, StartOf(stored).x + offset.x) << i;
      EXPECT_EQ(StartOf(copy).y, StartOf(stored).y + offset.y) << i;
      EXPECT_EQ(EndOf(copy).x, EndOf(stored).x + offset.x) << i;
      EXPECT_EQ(copy->GetObjectNumber(), g_currentObject) << i;
    }
  }

  CZephDoc m_symbol;
  CZephDoc* m_savedSymbolDoc = nullptr;
  std::vector<DrawingPoint> m_stored;
};

TEST_F(InsertToolTest, ClicksInsertAtTheSnappedPointAndLeaveTheSymbolInPlace) {
  const int s = Scale();
  // A handle to hunt onto, in a group of the drawing's own.
  DrawItemPtr grouped = MakeLine(0, 0, 10 * s, 10 * s);
  grouped->SetGroupNumber(m_doc.NewGroupNumber());
  Add(std::move(grouped));
  const int ownGroup = m_doc.GetItem(0)->GetGroupNumber();
  g_currentObject = 2;
  Use(kToolInsert);
  // With hunting the click near (10, 10) lands on the line's end; on the grid at a grid point.
  g_snapMode = kSnapHunt;
  Click(DeviceOf({10 * s + 2 * s, 10 * s + s}));
  EXPECT_EQ(m_doc.GetItemCount(), 4);
  ExpectInsertedAt(1, {10 * s, 10 * s});
  ExpectSymbolInPlace("after the first insertion");
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_window->GetPromptId(), 0);
  // A second insertion of the same symbol.
  g_snapMode = kSnapNone;
  const QPoint second(120, 60);
  Click(second);
  ASSERT_EQ(m_doc.GetItemCount(), 7);
  ExpectInsertedAt(4, At(second));
  ExpectSymbolInPlace("after the second insertion");
  const int group1 = m_doc.GetItem(2)->GetGroupNumber();
  const int group2 = m_doc.GetItem(5)->GetGroupNumber();
  EXPECT_NE(group1, 0);
  EXPECT_EQ(m_doc.GetItem(3)->GetGroupNumber(), group1);
  EXPECT_NE(group2, 0);
  EXPECT_EQ(m_doc.GetItem(6)->GetGroupNumber(), group2);
  EXPECT_EQ(m_doc.GetItem(1)->GetGroupNumber(), 0);
  // Each insertion's group is a fresh one: not shared between the two insertions, nor with
  // the drawing's own group.
  EXPECT_NE(group1, group2);
  EXPECT_NE(group1, ownGroup);
  EXPECT_NE(group2, ownGroup);
  EXPECT_EQ(m_symbol.GetItem(1)->GetGroupNumber(), 7) << "the symbol keeps its own group";
  ExpectCleanScreen();
  // One insertion is one undo step.
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 4);
}

TEST_F(InsertToolTest, ACancelledDragLeavesTheSymbolInPlaceAndInsertsNothing) {
  Use(kToolInsert);
  QTest::mouseMove(m_window.get(), {40, 40});
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {40, 40});
  QTest::mouseMove(m_window.get(), {90, 70});
  EXPECT_NE(m_window->GetSymbolDisplacement().x, 0);
  m_window->CancelOperation();
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  ExpectSymbolInPlace("after the cancel");
  ExpectCleanScreen();
  // The next insertion is not offset by the cancelled one.
  const QPoint at(100, 50);
  Click(at);
  ExpectInsertedAt(0, At(at));
  ExpectSymbolInPlace("after the insertion");
}

TEST_F(InsertToolTest, ALostReleaseLeavesNoTraceOnTheNextInsertion) {
  // The release of a drag never arrives, inside the window or after leaving it; the next
  // press starts a fresh insertion from the symbol's stored place.
  const struct {
    const char* name;
    bool leaves;
  } cases[] = {{"inside", false}, {"after leaving the window", true}};
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    Repaint();
    Use(kToolInsert);
    QTest::mouseMove(m_window.get(), {40, 40});
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {40, 40});
    QTest::mouseMove(m_window.get(), {90, 70});
    if (c.leaves) QTest::mouseMove(m_window.get(), {kWidth + 30, 70});
    const QPoint at(100, 50);
    QTest::mouseMove(m_window.get(), at);
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, at);
    ASSERT_EQ(m_doc.GetItemCount(), m_symbol.GetItemCount()) << c.name;
    ExpectInsertedAt(0, At(at));
    ExpectSymbolInPlace(c.name);
    ExpectCleanScreen();
  }
}

}  // namespace
}  // namespace zeph::testing
