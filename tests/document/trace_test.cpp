// The boundary tracer on its own: start directions and dead ends, lone circles, the order of
// the continuations from a junction, backtracking, hole outlines and the bound on a walk.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/doc_fixture.h"
#include "document/document.h"
#include "document/fillsearch.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/floodedge.h"
#include "items/usedsegments.h"
#include "support/log.h"

namespace {

class TraceTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetLogState();
  }
  void TearDown() override {
    SetPathNodeLimitForTest(0);
    DocumentTest::TearDown();
  }

  // Every item available, as the fill search leaves them before its first walk.
  static void Prepare(CZephDoc& doc, int fillX, int fillY) {
    for (int i = 0; i < doc.GetItemCount(); ++i) doc.GetItem(i)->MarkAllUsed(0);
    CZephDoc::FillSearchState& state = doc.GetFillSearchState();
    state.x = fillX;
    state.y = fillY;
    state.holeSearch = 0;
    state.outerLoop = nullptr;
  }

  static void AddSquare(CZephDoc& doc, int x0, int y0, int x1, int y1) {
    Add(doc, MakeLine(x0, y0, x1, y0));
    Add(doc, MakeLine(x1, y0, x1, y1));
    Add(doc, MakeLine(x1, y1, x0, y1));
    Add(doc, MakeLine(x0, y1, x0, y0));
  }

  // Node 0 of a walk along item from (x, y) in direction.
  static void StartNode(CDrawItem* item, int direction, int x, int y) {
    g_pathNodeCount = 0;
    ASSERT_EQ(ReservePathNodes(), 1);
    g_pathNodes[0] = CPathNode();
    g_pathNodes[0].SetItem(item);
    g_pathNodes[0].SetDirection(direction);
    g_pathNodes[0].SetPoint(x, y);
    g_pathNodeCount = 1;
  }

  struct Child {
    CDrawItem* item;
    int x;
    int y;
    int side;
    int direction;
    bool operator==(const Child&) const = default;
  };
  static std::vector<Child> Children(int first, int count) {
    std::vector<Child> out;
    for (int i = first; i < first + count; ++i) {
      const CPathNode& n = g_pathNodes[static_cast<std::size_t>(i)];
      int x = 0;
      int y = 0;
      n.GetPoint(x, y);
      out.push_back({n.GetItem(), x, y, n.GetSide(), n.GetDirection()});
    }
    return out;
  }
};

TEST_F(TraceTest, ACircleNothingCrossesIsAnOutlineOfOneEdge) {
  for (const int holes : {0, 1}) {
    CZephDoc doc;
    CDrawItem* circle = Add(doc, MakeCircle(5000, 5000, 2000));
    Prepare(doc, 5000, 5000);
    doc.GetFillSearchState().holeSearch = holes;
    std::unique_ptr<CBoundaryLoop> loop = doc.TraceBoundary(circle, 3000, 5000);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(doc.GetFillSearchState().traceFailure, 0);
    ASSERT_EQ(loop->GetCount(), 1);
    EXPECT_EQ(loop->GetEdge(0)->GetKind(), kEdgeArc);
    EXPECT_EQ(loop->GetEdge(0)->GetStartX(), 7000);
    EXPECT_EQ(loop->GetEdge(0)->GetStartY(), 5000);
    // Counter-clockwise round an outer boundary, clockwise round a hole.
    EXPECT_EQ(loop->GetSense(), holes);
    EXPECT_EQ(circle->GetUsedState(), 101);
    EXPECT_EQ(doc.GetFillSearchState().traceCode, 101);
  }
}

TEST_F(TraceTest, ACircleCrossedByALineIsWalkedThroughItsJunctions) {
  CZephDoc doc;
  CDrawItem* circle = Add(doc, MakeCircle(0, 0, 5000));
  Add(doc, MakeLine(-8000, 0, 8000, 0));
  Prepare(doc, 0, 2000);
  std::unique_ptr<CBoundaryLoop> loop = doc.TraceBoundary(circle, -4583, 2000);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->GetCount(), 2);
  EXPECT_TRUE(loop->ContainsPoint(0, 2000, 0));
  EXPECT_FALSE(loop->ContainsPoint(0, -2000, 0));
}

TEST_F(TraceTest, AFreeEndWithNothingOnTheLineFailsWithoutASecondAttempt) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 0, 1000));
  Add(doc, MakeLine(5000, 0, 5000, 1000));
  Prepare(doc, 100, 500);
  EXPECT_EQ(doc.TraceBoundary(line, 0, 0), nullptr);  // down from the lower end: a free end
  EXPECT_EQ(doc.GetFillSearchState().traceFailure, 1);
  EXPECT_TRUE(presenter.shown().empty());
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(TraceTest, ADeadEndBranchIsAbandonedAndItsMarksCleared) {
  CZephDoc doc;
  AddSquare(doc, 0, 0, 10000, 10000);
  CDrawItem* spur = Add(doc, MakeLine(0, 5000, 4000, 5000));
  Prepare(doc, 6000, 8000);
  std::unique_ptr<CBoundaryLoop> loop = doc.TraceBoundary(doc.GetItem(3), 0, 8000);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->GetCount(), 4);
  EXPECT_EQ(spur->GetUsedState(), 0);
  // The first junction tried (the spur) failed, so the walk went on from node 0 again: its
  // first edge still has the first edge code, not the lead-in's.
  EXPECT_EQ(loop->GetFirstCode(), 101);
  EXPECT_EQ(doc.GetFillSearchState().traceCode, 101);
  doc.RenumberUsedMarks(1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(doc.GetItem(i)->GetUsedState(), 1) << i;
  EXPECT_EQ(spur->GetUsedState(), 0);
}

TEST_F(TraceTest, SideZeroContinuationsComeFirstNearestFirstThenSideOneFarthestFirst) {
  CZephDoc doc;
  CDrawItem* wall = Add(doc, MakeLine(0, 10000, 0, 0));
  CDrawItem* far = Add(doc, MakeLine(-1000, 2000, 1000, 2000));
  CDrawItem* near = Add(doc, MakeLine(-1000, 6000, 1000, 6000));
  Prepare(doc, 500, 8000);
  StartNode(wall, kDirectionDown, 0, 9000);
  const int first = doc.ExpandPathNode(0);
  ASSERT_EQ(first, 1);
  EXPECT_EQ(g_pathNodes[0].GetAlternativeCount(), 4);
  const std::vector<Child> expected = {{near, 0, 6000, 0, kDirectionRight},
                                       {far, 0, 2000, 0, kDirectionRight},
                                       {far, 0, 2000, 1, kDirectionLeft},
                                       {near, 0, 6000, 1, kDirectionLeft}};
  EXPECT_EQ(Children(first, 4), expected);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(g_pathNodes[static_cast<std::size_t>(i)].GetParent(), 0);
  EXPECT_EQ(g_pathNodes[0].NextAlternative(), 2);
}

TEST_F(TraceTest, AtOneJunctionTheTangentsOrderTheContinuations) {
  // Two lines leave the junction ahead on the same side: the one turning more sharply towards
  // the region is tried first.
  CZephDoc doc;
  CDrawItem* wall = Add(doc, MakeLine(0, 10000, 0, 0));
  CDrawItem* flat = Add(doc, MakeLine(0, 5000, 4000, 5000));
  CDrawItem* steep = Add(doc, MakeLine(0, 5000, 2000, 9000));
  CDrawItem* down = Add(doc, MakeLine(0, 5000, 2000, 1000));
  Prepare(doc, 500, 8000);
  StartNode(wall, kDirectionDown, 0, 9000);
  const int first = doc.ExpandPathNode(0);
  ASSERT_GT(first, 0);
  const std::vector<Child> children = Children(first, g_pathNodes[0].GetAlternativeCount());
  // Every continuation leaves from an end on the region's side, all at the same travel: the
  // sharpest turn towards the region first.
  const std::vector<Child> expected = {{steep, 0, 5000, 0, kDirectionUp},
                                       {flat, 0, 5000, 0, kDirectionRight},
                                       {down, 0, 5000, 0, kDirectionDown}};
  EXPECT_EQ(children, expected);
}

TEST_F(TraceTest, ATouchingPointGivesOneContinuationEachWay) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(-5000, 2000, 5000, 2000));
  CDrawItem* circle = Add(doc, MakeCircle(0, 0, 2000));
  Prepare(doc, 0, 5000);
  StartNode(line, kDirectionRight, -4000, 2000);
  const int first = doc.ExpandPathNode(0);
  ASSERT_GT(first, 0);
  const std::vector<Child> children = Children(first, g_pathNodes[0].GetAlternativeCount());
  ASSERT_EQ(children.size(), 2u);
  for (const Child& c : children) {
    EXPECT_EQ(c.item, circle);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 2000);
  }
  EXPECT_NE(children[0].direction, children[1].direction);
  EXPECT_TRUE(children[0].direction == kDirectionClockwise ||
              children[0].direction == kDirectionCounterClockwise);
}

TEST_F(TraceTest, WhileHolesAreSearchedOnlyJunctionsInsideOrOnTheOuterLoopCount) {
  CZephDoc doc;
  AddSquare(doc, 0, 0, 10000, 10000);
  CDrawItem* post = Add(doc, MakeLine(5000, 2000, 5000, 15000));
  CDrawItem* outside = Add(doc, MakeLine(4000, 12000, 6000, 12000));
  CDrawItem* inside = Add(doc, MakeLine(4000, 7000, 6000, 7000));
  Prepare(doc, 2000, 5000);
  std::unique_ptr<CBoundaryLoop> outer = doc.TraceBoundary(doc.GetItem(3), 0, 5000);
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->GetCount(), 4);
  doc.RenumberUsedMarks(1);

  CZephDoc::FillSearchState& state = doc.GetFillSearchState();
  StartNode(post, kDirectionUp, 5000, 3000);
  int first = doc.ExpandPathNode(0);
  ASSERT_GT(first, 0);
  EXPECT_EQ(g_pathNodes[0].GetAlternativeCount(), 4);  // both lines, both ways

  state.outerLoop = outer.get();
  state.holeSearch = 1;
  StartNode(post, kDirectionUp, 5000, 3000);
  first = doc.ExpandPathNode(0);
  ASSERT_GT(first, 0);
  for (const Child& c : Children(first, g_pathNodes[0].GetAlternativeCount())) {
    EXPECT_EQ(c.item, inside);
  }
  EXPECT_EQ(g_pathNodes[0].GetAlternativeCount(), 2);
  (void)outside;
  state.outerLoop = nullptr;
}

TEST_F(TraceTest, MoveTraceStartMeasuresEveryCandidateFromTheGivenPoint) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 10000, 0));
  Add(doc, MakeLine(1000, -500, 1000, 500));
  Add(doc, MakeLine(6000, -500, 6000, 500));
  Add(doc, MakeLine(2000, -500, 2000, 500));
  Prepare(doc, 0, 0);
  int x = 10000;
  int y = 0;
  EXPECT_FALSE(doc.MoveTraceStart(line, x, y));
  EXPECT_EQ(x, 6000);
  EXPECT_EQ(y, 0);

  // A crossing at the point itself is a junction there.
  Add(doc, MakeLine(10000, -500, 10000, 500))->MarkAllUsed(0);
  x = 10000;
  y = 0;
  EXPECT_TRUE(doc.MoveTraceStart(line, x, y));
  EXPECT_EQ(x, 6000);

  // Nothing else crosses: the other end.
  CZephDoc lonely;
  CDrawItem* alone = Add(lonely, MakeLine(0, 0, 10000, 0));
  Prepare(lonely, 0, 0);
  x = 0;
  y = 0;
  EXPECT_FALSE(lonely.MoveTraceStart(alone, x, y));
  EXPECT_EQ(x, 10000);
  x = 10000;
  EXPECT_FALSE(lonely.MoveTraceStart(alone, x, y));
  EXPECT_EQ(x, 0);
}

TEST_F(TraceTest, AStartAtAnEndWithAJunctionWalksFromTheNearestCrossing) {
  // The left side's lower end is a corner: going down from it leaves the line, so the walk
  // starts from the nearest crossing up the side instead and comes down to the corner.
  CZephDoc doc;
  AddSquare(doc, 0, 0, 10000, 10000);
  Prepare(doc, 5000, 5000);
  std::unique_ptr<CBoundaryLoop> loop = doc.TraceBoundary(doc.GetItem(3), 0, 0);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->GetCount(), 4);
  EXPECT_TRUE(loop->ContainsPoint(5000, 5000, 0));
}

TEST_F(TraceTest, AHoleOutlineRunsClockwise) {
  CZephDoc doc;
  AddSquare(doc, 0, 0, 10000, 10000);
  AddSquare(doc, 6000, 4000, 8000, 6000);
  Prepare(doc, 3000, 5000);
  std::unique_ptr<CBoundaryLoop> outer = doc.TraceBoundary(doc.GetItem(3), 0, 5000);
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->GetSense(), 0);
  doc.RenumberUsedMarks(1);
  doc.GetFillSearchState().outerLoop = outer.get();
  doc.GetFillSearchState().holeSearch = 1;
  for (int start = 4; start < 8; ++start) {
    CDrawItem* item = doc.GetItem(start);
    int x = 0;
    int y = 0;
    item->GetRightmostPoint(x, y);
    std::unique_ptr<CBoundaryLoop> hole = doc.TraceBoundary(item, x, y);
    ASSERT_NE(hole, nullptr) << start;
    EXPECT_EQ(hole->GetSense(), 1) << start;
    EXPECT_EQ(hole->GetCount(), 4) << start;
    doc.ClearUsedMarksFrom(-1);
  }
  doc.GetFillSearchState().outerLoop = nullptr;
}

TEST_F(TraceTest, AWalkStopsQuietlyAtItsBound) {
  CZephDoc doc;
  AddSquare(doc, 0, 0, 10000, 10000);
  Prepare(doc, 5000, 5000);
  SetPathNodeLimitForTest(2);
  EXPECT_EQ(doc.TraceBoundary(doc.GetItem(3), 0, 5000), nullptr);
  EXPECT_EQ(doc.GetFillSearchState().traceFailure, 2);
  EXPECT_TRUE(WasPathNodeLimitReached());
  EXPECT_LE(g_pathNodeCount, 2);
  EXPECT_TRUE(presenter.shown().empty());
  SetPathNodeLimitForTest(0);
  doc.ClearUsedMarksFrom(-1);
  EXPECT_NE(doc.TraceBoundary(doc.GetItem(3), 0, 5000), nullptr);
  EXPECT_FALSE(WasPathNodeLimitReached());
}

TEST_F(TraceTest, ExpandingANodeThatDoesNotExistIsAGlitch) {
  CZephDoc doc;
  g_pathNodeCount = 0;
  EXPECT_EQ(doc.ExpandPathNode(0), -1);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 1275);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

}  // namespace
