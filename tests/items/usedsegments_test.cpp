#include "items/usedsegments.h"

#include <gtest/gtest.h>

#include "items/drawitem.h"
#include "items/item_fixture.h"
#include "items/lineitem.h"
#include "support/log.h"

namespace {

std::unique_ptr<CLineItem> MakeLine(int x1, int y1, int x2, int y2) {
  auto line = std::make_unique<CLineItem>();
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(1);
  return line;
}

// An item with ends that are not the ends of a straight piece (as an arc's are).
class CStandInArc final : public CDrawItem {
 public:
  CStandInArc() : CDrawItem(kItemArc) {}
  void GetStart(int& x, int& y) const override { x = 0, y = 0; }
  void GetEnd(int& x, int& y) const override { x = 100, y = 100; }
};

class CStandInCircle final : public CDrawItem {
 public:
  CStandInCircle() : CDrawItem(kItemCircle) {}
};

class UsedSegmentsTest : public ItemFixture {
 protected:
  void SetUp() override {
    ResetLogState();
    FreePathNodes();
  }
  void TearDown() override {
    FreePathNodes();
    ResetLogState();
  }
};

TEST_F(UsedSegmentsTest, ALastingMarkOverTheWholeItemBecomesTheWholeCode) {
  auto line = MakeLine(0, 0, 100, 0);
  EXPECT_EQ(line->MarkUsed(20, 0, 40, 0, 100), 1);
  EXPECT_EQ(line->MarkUsed(100, 0, 0, 0, 1), 1);  // reversed ends count too
  const CUsedSegmentList* list = line->GetUsedSegmentList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetWholeCode(), 1);
  EXPECT_EQ(list->GetCount(), 0);

  auto other = MakeLine(0, 0, 100, 0);
  EXPECT_EQ(other->MarkUsed(0, 0, 100, 0, 100), 1);  // the trace's marks stay pieces
  EXPECT_EQ(other->GetUsedSegmentList()->GetWholeCode(), 0);
  EXPECT_EQ(other->GetUsedSegmentList()->GetCount(), 1);

  CStandInCircle circle;  // no ends: never covered as a whole by a piece
  circle.MarkUsed(0, 0, 0, 0, 1);
  EXPECT_EQ(circle.GetUsedSegmentList()->GetWholeCode(), 0);
}

TEST_F(UsedSegmentsTest, RecordsKeepTheirEndsInOrder) {
  auto line = MakeLine(0, 0, 100, 100);
  line->MarkUsed(50, 60, 10, 20, 100);
  line->MarkUsed(5, 9, 5, 1, 101);
  const CUsedSegmentList& list = *line->GetUsedSegmentList();
  int x = 0;
  int y = 0;
  list.GetRecord(0).GetStart(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  list.GetRecord(1).GetStart(x, y);
  EXPECT_EQ(y, 1);
  list.GetRecord(1).GetEnd(x, y);
  EXPECT_EQ(y, 9);
}

TEST_F(UsedSegmentsTest, AnExcludedItemIgnoresMarksAndAnswersItsCode) {
  auto line = MakeLine(0, 0, 100, 0);
  line->MarkAllUsed(-2);
  EXPECT_EQ(line->MarkUsed(10, 0, 20, 0, 100), 1);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCount(), 0);
  EXPECT_EQ(line->GetUsedCodeAt(15, 0), -2);
  EXPECT_EQ(line->GetUsedCodeOver(0, 0, 5, 0), -2);
  EXPECT_EQ(line->GetUsedState(), -2);
  EXPECT_EQ(line->IsMarkedUsed(), 1);
}

TEST_F(UsedSegmentsTest, CodeQueriesNeedPositiveOverlap) {
  auto line = MakeLine(0, 0, 100, 0);
  line->MarkAllUsed(0);
  EXPECT_EQ(line->GetUsedState(), 0);
  line->MarkUsed(10, 0, 30, 0, 105);
  line->MarkUsed(20, 0, 40, 0, 101);
  line->MarkUsed(60, 0, 70, 0, 20);
  EXPECT_EQ(line->GetUsedCodeAt(25, 0), 101);  // the smallest of two
  EXPECT_EQ(line->GetUsedCodeAt(15, 0), 105);
  EXPECT_EQ(line->GetUsedCodeAt(10, 0), 0);  // the end of a piece is free
  EXPECT_EQ(line->GetUsedCodeAt(50, 0), 0);
  EXPECT_EQ(line->GetUsedCodeOver(40, 0, 60, 0), 0);  // touching at points only
  EXPECT_EQ(line->GetUsedCodeOver(65, 0, 45, 0), 20);
  EXPECT_EQ(line->GetUsedCodeOver(0, 0, 100, 0), 20);
  EXPECT_EQ(line->GetUsedState(), kUsedStatePiecesOnly);
  EXPECT_EQ(line->IsMarkedUsed(), 1);

  auto vertical = MakeLine(0, 0, 0, 100);
  vertical->MarkUsed(0, 10, 0, 30, 100);
  EXPECT_EQ(vertical->GetUsedCodeAt(0, 20), 100);
  EXPECT_EQ(vertical->GetUsedCodeAt(0, 30), 0);
  EXPECT_EQ(vertical->GetUsedCodeOver(0, 29, 0, 50), 100);
  EXPECT_EQ(vertical->GetUsedCodeOver(0, 30, 0, 50), 0);
  EXPECT_EQ(vertical->IsMarkedUsed(), 0);  // only the trace's marks
}

TEST_F(UsedSegmentsTest, TheTraceRetreatsAndSettles) {
  auto line = MakeLine(0, 0, 1000, 0);
  line->MarkUsed(0, 0, 10, 0, 20);
  line->MarkUsed(10, 0, 20, 0, 100);
  line->MarkUsed(20, 0, 30, 0, 101);
  line->MarkUsed(30, 0, 40, 0, 102);
  line->ClearUsedFrom(102);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCount(), 3);
  EXPECT_EQ(line->GetUsedCodeAt(35, 0), 0);
  line->ClearUsedFrom(5);  // only the trace's marks: 20 stays
  EXPECT_EQ(line->GetUsedSegmentList()->GetCount(), 1);
  EXPECT_EQ(line->GetUsedCodeAt(5, 0), 20);

  line->MarkUsed(10, 0, 20, 0, 100);
  line->MarkUsed(20, 0, 30, 0, 101);
  line->MarkUsed(30, 0, 40, 0, 102);
  line->RenumberUsed(101, 1);
  const CUsedSegmentList& list = *line->GetUsedSegmentList();
  ASSERT_EQ(list.GetCount(), 3);  // 20 and the two renumbered marks
  EXPECT_EQ(line->GetUsedCodeAt(15, 0), 0);
  EXPECT_EQ(line->GetUsedCodeAt(25, 0), 1);
  EXPECT_EQ(line->GetUsedCodeAt(35, 0), 1);

  line->ClearUsedCode(1);
  EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(UsedSegmentsTest, RenumberingCollapsesAMarkOverTheWholeItem) {
  auto line = MakeLine(0, 0, 100, 0);
  line->MarkUsed(0, 0, 100, 0, 103);
  line->MarkUsed(0, 0, 50, 0, 104);
  line->RenumberUsed(103, 2);
  EXPECT_EQ(line->GetUsedSegmentList()->GetWholeCode(), 2);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCount(), 0);

  // Whole codes: at or above from take the new code; smaller trace codes go; lasting stay.
  const struct {
    int whole;
    int from;
    int after;
  } cases[] = {{150, 120, 7}, {110, 120, 0}, {20, 120, 20}, {-3, 120, -3}};
  for (const auto& c : cases) {
    auto l = MakeLine(0, 0, 1, 1);
    l->MarkAllUsed(c.whole);
    l->RenumberUsed(c.from, 7);
    EXPECT_EQ(l->GetUsedState(), c.after) << c.whole;
  }
  // Clearing a whole code: ClearFrom only the trace's, ClearCode only its own.
  auto l = MakeLine(0, 0, 1, 1);
  l->MarkAllUsed(100);
  l->ClearUsedFrom(500);
  EXPECT_EQ(l->GetUsedState(), 0);
  l->MarkAllUsed(20);
  l->ClearUsedFrom(0);
  l->ClearUsedCode(21);
  EXPECT_EQ(l->GetUsedState(), 20);
  l->ClearUsedCode(20);
  EXPECT_EQ(l->GetUsedState(), 0);
}

TEST_F(UsedSegmentsTest, SkippingStepsBackToTheLowEndOfAChain) {
  auto line = MakeLine(0, 0, 100, 0);
  line->MarkUsed(0, 0, 10, 0, 100);
  int x = 10;
  int y = 0;
  line->SkipUsedPieces(x, y);
  EXPECT_EQ(x, 0);
  line->SkipUsedPieces(x, y);
  EXPECT_EQ(x, 0);

  line->MarkUsed(20, 0, 30, 0, 101);
  line->MarkUsed(10, 0, 20, 0, 102);
  x = 25;
  line->SkipUsedPieces(x, y);
  EXPECT_EQ(x, 0);

  // Pieces of a curve can mix vertical chords with others and send a point round in a
  // circle; the walk still ends.
  CStandInArc arc;
  arc.MarkUsed(10, 0, 10, 10, 100);
  arc.MarkUsed(0, 5, 20, 5, 101);
  x = 15;
  y = 5;
  arc.SkipUsedPieces(x, y);
  SUCCEED();
}

TEST_F(UsedSegmentsTest, RecordsGrowToTheirLimit) {
  auto line = MakeLine(0, 0, 100000, 0);
  line->MarkUsed(0, 0, 1, 0, 100);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCapacity(), 10);
  for (int i = 1; i < 10; ++i) line->MarkUsed(i, 0, i + 1, 0, 100);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCapacity(), 10);
  line->MarkUsed(10, 0, 11, 0, 100);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCapacity(), 20);
  for (int i = 11; i < 10240; ++i) ASSERT_EQ(line->MarkUsed(i, 0, i + 1, 0, 100), 1) << i;
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(line->MarkUsed(10240, 0, 10241, 0, 100), 0);
  ExpectGlitch(3120, 9001);
  EXPECT_EQ(line->GetUsedSegmentList()->GetCount(), 10240);
}

TEST_F(UsedSegmentsTest, AnItemWithoutMarksAnswersNeutrally) {
  auto line = MakeLine(0, 0, 100, 0);
  EXPECT_EQ(line->GetUsedCodeAt(1, 0), -1);
  EXPECT_EQ(line->GetUsedCodeOver(1, 0, 2, 0), -1);
  EXPECT_EQ(line->GetUsedState(), -1);
  EXPECT_EQ(line->IsMarkedUsed(), 0);
  line->ClearUsedCode(1);
  line->ClearUsedFrom(100);
  line->RenumberUsed(100, 1);
  int x = 100;
  int y = 0;
  line->SkipUsedPieces(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(line->GetUsedSegmentList(), nullptr);
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Path nodes ----

TEST_F(UsedSegmentsTest, PathNodes) {
  CPathNode node;
  EXPECT_EQ(node.GetItem(), nullptr);
  EXPECT_EQ(node.GetParent(), -1);
  EXPECT_EQ(node.GetAlternativeCount(), 0);
  EXPECT_EQ(node.GetUsedFlag(), 0);
  EXPECT_EQ(node.GetTangent().GetState(), kSlopeUnset);
  EXPECT_EQ(node.NextAlternative(), -1);

  node.SetFirstAlternative(40);
  node.SetAlternativeCount(3);
  node.SetCurrentAlternative(0);
  EXPECT_EQ(node.NextAlternative(), 41);
  EXPECT_EQ(node.NextAlternative(), 42);
  EXPECT_EQ(node.NextAlternative(), -1);
  EXPECT_EQ(node.GetCurrentAlternative(), 2);

  node.SetSide(1);
  EXPECT_EQ(node.GetSide(), 1);
  node.SetSide(2);
  EXPECT_EQ(node.GetSide(), 0);
  ExpectGlitch(3150, 1);

  auto line = MakeLine(0, 0, 1, 1);
  CPathNode other;
  other.SetItem(line.get());
  other.SetPoint(5, 6);
  other.SetTravel(2.5);
  other.SetTangent(CSlope(1.0, 1.0));
  other.SetParent(3);
  other.SetUsedFlag(1);
  node.SetUsedFlag(0);
  node.Swap(other);
  int x = 0;
  int y = 0;
  node.GetPoint(x, y);
  EXPECT_EQ(node.GetItem(), line.get());
  EXPECT_EQ(x, 5);
  EXPECT_EQ(node.GetTravel(), 2.5);
  EXPECT_EQ(node.GetTangent().GetState(), kSlopeValid);
  EXPECT_EQ(node.GetParent(), 3);
  EXPECT_EQ(other.GetFirstAlternative(), 40);
  EXPECT_EQ(node.GetUsedFlag(), 0);  // used flags stay where they are
  EXPECT_EQ(other.GetUsedFlag(), 1);
}

TEST_F(UsedSegmentsTest, PathNodeArrayDoublesAndKeepsItsNodes) {
  EXPECT_EQ(ReservePathNodes(), 1);
  EXPECT_EQ(g_pathNodeCapacity, 1000);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(ReservePathNodes(), 1);
    g_pathNodes[g_pathNodeCount].SetParent(i);
    ++g_pathNodeCount;
  }
  EXPECT_EQ(g_pathNodeCapacity, 1000);
  EXPECT_EQ(ReservePathNodes(), 1);
  EXPECT_EQ(g_pathNodeCapacity, 2000);
  EXPECT_EQ(g_pathNodes[999].GetParent(), 999);
  EXPECT_EQ(g_pathNodes[1000].GetParent(), -1);
}

TEST_F(UsedSegmentsTest, ReversedDirectionCodes) {
  const int reversed[] = {1, 0, 3, 2, 5, 4, 7, 6};
  for (int code = 0; code < 8; ++code) EXPECT_EQ(ReverseDirectionCode(code), reversed[code]);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(ReverseDirectionCode(8), 8);
  ExpectGlitch(4112, 1);
}

// ---- Turns at junctions ----

TEST_F(UsedSegmentsTest, TurnsAtJunctions) {
  struct Case {
    const char* name;
    int bx1, by1, bx2, by2;  // the curve followed (B)
    int direction;           // B's travel at the junction (0, 0)
    int ax, ay;              // the candidate A runs from the junction to here
    int turn;
  };
  const Case cases[] = {
      {"right, then leaving up", -100, 0, 100, 0, kDirectionRight, 10, 100, 1},
      {"right, then leaving down", -100, 0, 100, 0, kDirectionRight, 10, -100, -1},
      {"left, then leaving down", -100, 0, 100, 0, kDirectionLeft, 10, -100, 1},
      {"left, then leaving up", -100, 0, 100, 0, kDirectionLeft, 10, 100, -1},
      {"up, then leaving left", 0, -100, 0, 100, kDirectionUp, -100, 0, 1},
      {"up, then leaving right", 0, -100, 0, 100, kDirectionUp, 100, 0, -1},
      {"down, then leaving left", 0, -100, 0, 100, kDirectionDown, -100, 0, -1},
      {"down, then leaving right", 0, -100, 0, 100, kDirectionDown, 100, 0, 1},
      {"up a slope, leaving steeper", -100, -100, 100, 100, kDirectionUp, 10, 100, 1},
      {"up a slope, leaving shallower", -100, -100, 100, 100, kDirectionUp, 100, 10, -1},
      {"up a slope, leaving back down", -100, -100, 100, 100, kDirectionUp, -10, -100, -1},
      {"up a vertical, leaving down-right", 0, -100, 0, 100, kDirectionUp, 100, -100, -1},
      {"down a vertical, leaving down-right", 0, -100, 0, 100, kDirectionDown, 100, -100, 1},
      {"up a falling slope, leaving steeper", 100, -100, -100, 100, kDirectionUp, -10, 100, -1},
  };
  for (const Case& c : cases) {
    auto b = MakeLine(c.bx1, c.by1, c.bx2, c.by2);
    auto a = MakeLine(0, 0, c.ax, c.ay);
    EXPECT_EQ(a->CompareTurnAt(b.get(), 0, 0, c.direction), c.turn) << c.name;
  }
  EXPECT_EQ(g_glitchCount, 0);

  auto b = MakeLine(0, -100, 0, 100);
  EXPECT_EQ(MakeLine(0, 0, 0, 50)->CompareTurnAt(b.get(), 0, 0, kDirectionRight),
            1);  // both vertical
  EXPECT_EQ(MakeLine(-5, 0, 5, 0)->CompareTurnAt(b.get(), 0, 0, kDirectionUp),
            0);  // passes through
  EXPECT_EQ(MakeLine(1, 1, 50, 9)->CompareTurnAt(b.get(), 0, 0, kDirectionUp), -1);  // within 2
  EXPECT_EQ(g_glitchCount, 0);
  // A line has no turning sense of its own to give a direction: then no answer.
  EXPECT_EQ(MakeLine(0, 0, 50, 9)->CompareTurnAt(b.get(), 0, 0, 8), 0);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(g_firstGlitchCode, 10312);
}

}  // namespace
