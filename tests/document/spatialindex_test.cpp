// The spatial index: it answers exactly the items whose curves reach a view, in list order,
// through every kind of change of the drawing, undo and redo included; and picking through it
// answers what measuring every item answers, ties included.
#include "document/spatialindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "document/itemcells.h"
#include "document/wholedrawing.h"
#include "items/geometry.h"
#include "items/viewmapping.h"

namespace {

using Box = CSpatialIndex::Box;

class SpatialIndexTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetViewGlobals();
    ResetGeometryGlobals();
  }
  void TearDown() override {
    ResetViewGlobals();
    ResetGeometryGlobals();
    DocumentTest::TearDown();
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

  // A line (some across the whole drawing), circle (some large), curve or arc somewhere in
  // (0, 0) .. (100000, 100000).
  DrawItemPtr RandomItem() {
    const int x = Uniform(0, 100000);
    const int y = Uniform(0, 100000);
    switch (Uniform(0, 5)) {
      case 0:
        return MakeLine(x, y, x + Uniform(-3000, 3000), y + Uniform(-3000, 3000));
      case 4:
        return MakeLine(x, y, Uniform(0, 100000), Uniform(0, 100000));
      case 5:
        return MakeCircle(x, y, Uniform(10, 40000));
      case 1:
        return MakeCircle(x, y, Uniform(10, 2000));
      case 2: {
        // An arch bulging far beyond its ends.
        const int length = Uniform(500, 3000);
        const int bulge = Uniform(-8000, 8000);
        DrawItemPtr curve = CreateItem(kItemBezier);
        curve->SetStart(x, y);
        curve->SetEnd(x + length, y + Uniform(-500, 500));
        curve->SetControlPoint(0, x + length / 3.0, y + bulge);
        curve->SetControlPoint(1, x + 2 * length / 3.0, y + bulge);
        return curve;
      }
      default: {
        const int r = Uniform(100, 2000);
        return MakeArc(x + r, y, x, y + r, 1.5707963267948966);
      }
    }
  }

  // The index answers every unboxed item and every item whose curve comes within its margin
  // of the box, in list order; any other it answers comes within a few units more.
  static void ExpectAnswers(const CZephDoc& doc, const Box& box,
                            const std::vector<const CDrawItem*>& found) {
    std::size_t next = 0;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      const CDrawItem* item = doc.GetItem(i);
      const bool answered = next < found.size() && found[next] == item;
      if (answered) ++next;
      if (!CSpatialIndex::IsBoxed(*item)) {
        EXPECT_TRUE(answered) << "unboxed item " << i;
        continue;
      }
      const CSpatialIndex::Box curve = CSpatialIndex::CurveBoxOf(*item);
      if (CSpatialIndex::Answers(*item, curve, box)) {
        EXPECT_TRUE(answered) << "item " << i << " of type " << item->GetType();
      } else if (answered) {
        EXPECT_TRUE(CurveMeetsRect(*item, box.minX, box.minY, box.maxX, box.maxY,
                                   CSpatialIndex::MarginOf(curve) + 16.0))
            << "far item " << i << " of type " << item->GetType();
      }
    }
    EXPECT_EQ(next, found.size()) << "items answered out of list order or twice";
  }

  // The index agrees with the list for a spread of views, the whole drawing included.
  void ExpectInStep(CZephDoc& doc, const char* after) {
    SCOPED_TRACE(after);
    CSpatialIndex& index = doc.GetSpatialIndexForTest();
    EXPECT_EQ(index.GetCount(), doc.GetItemCount());
    std::vector<const CDrawItem*> found;
    std::vector<Box> views = {{-1e9, -1e9, 1e9, 1e9}};
    for (int i = 0; i < 12; ++i) {
      const double x = Uniform(0, 100000);
      const double y = Uniform(0, 100000);
      const double size = Uniform(100, 30000);
      views.push_back({x, y, x + size, y + size});
    }
    for (const Box& view : views) {
      SCOPED_TRACE(testing::Message() << view.minX << ", " << view.minY);
      index.Collect(view, doc.GetItemListForTest(), found);
      ExpectAnswers(doc, view, found);
    }
  }

  std::mt19937 random{2026};
};

TEST_F(SpatialIndexTest, StaysInStepThroughEditsUndoAndRedo) {
  CZephDoc doc;
  for (int i = 0; i < 400; ++i) Add(doc, RandomItem());
  ExpectInStep(doc, "adding");

  // Moves and reshapes, each its own step.
  for (int i = 0; i < 60; ++i) {
    CDrawItem* item = doc.GetItem(Uniform(0, doc.GetItemCount() - 1));
    if (item->GetType() == kItemCircle && i % 2 == 0) {
      item->SetRadius(Uniform(10, 5000));
    } else {
      item->MoveBy(Uniform(-20000, 20000), Uniform(-20000, 20000));
    }
  }
  ExpectInStep(doc, "moving");

  for (int i = 0; i < 40; ++i) doc.RemoveItemAt(Uniform(0, doc.GetItemCount() - 1));
  ExpectInStep(doc, "removing");

  // Fills go in front of the list and change places there.
  CDrawItem* back = Add(doc, MakeFill(1000, 1000, 5000));
  CDrawItem* front = Add(doc, MakeFill(50000, 50000, 5000));
  doc.SendToBack(front);
  ExpectInStep(doc, "reordering fills");
  doc.BringToFront(back);
  ExpectInStep(doc, "bringing a fill to the front");

  DrawItemPtr replacement = MakeLine(0, 0, 99000, 99000);
  ASSERT_EQ(doc.ReplaceItemAt(10, replacement), 1);
  ExpectInStep(doc, "replacing");

  for (int i = 0; i < 50; ++i) doc.Undo(nullptr, nullptr, 1);
  ExpectInStep(doc, "undoing");
  for (int i = 0; i < 30; ++i) doc.Redo(nullptr, nullptr);
  ExpectInStep(doc, "redoing");

  // A grouped step that moves many items at once, undone and redone.
  doc.SetUndoGroup(1);
  for (int i = 0; i < doc.GetItemCount(); i += 3) doc.GetItem(i)->MoveBy(777, -555);
  doc.SetUndoGroup(0);
  ExpectInStep(doc, "a grouped move");
  doc.Undo(nullptr, nullptr, 1);
  ExpectInStep(doc, "undoing the grouped move");
  doc.Redo(nullptr, nullptr);
  ExpectInStep(doc, "redoing the grouped move");

  doc.ClearDrawing();
  ExpectInStep(doc, "clearing");
  Add(doc, RandomItem());
  ExpectInStep(doc, "adding after clearing");
}

TEST_F(SpatialIndexTest, PickingAnswersWhatMeasuringEveryItemAnswers) {
  CZephDoc doc;
  std::vector<DrawingPoint> spots;
  for (int i = 0; i < 600; ++i) {
    CDrawItem* item = Add(doc, RandomItem());
    int x = 0;
    int y = 0;
    item->GetStart(x, y);
    spots.push_back({x, y});
    // Copies on top of one another: equal distances, where the order decides.
    if (i % 50 == 0) {
      for (int k = 0; k < 3; ++k) doc.AddCopyOfItem(item);
    }
    if (i % 37 == 0) item->SetInvisible();
  }
  Add(doc, MakeFill(20000, 20000, 30000));
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = 100;
  mapping.originY = 100000;

  int picks = 0;
  for (int round = 0; round < 400; ++round) {
    // Points anywhere, on item starts (ties), and far outside the drawing.
    if (round % 3 == 0) {
      g_cursorPoint = spots[static_cast<std::size_t>(Uniform(0, 599))];
    } else if (round % 7 == 0) {
      g_cursorPoint = {Uniform(-5000000, 5000000), Uniform(-5000000, 5000000)};
    } else {
      g_cursorPoint = {Uniform(-1000, 101000), Uniform(-1000, 101000)};
    }
    const int filter = round % 5;
    const double maxDistance = round % 4 == 0 ? Uniform(1, 3000) : 0.0;
    // Asking again with the last answer steps through equally near items.
    const CDrawItem* previous = nullptr;
    for (int again = 0; again < 4; ++again) {
      const CDrawItem* walked = doc.FindNearestItemByWalk(&mapping, filter, previous, maxDistance);
      const CDrawItem* indexed = doc.FindNearestItem(&mapping, filter, previous, maxDistance);
      ASSERT_EQ(indexed, walked) << "round " << round << " again " << again << " at "
                                 << g_cursorPoint.x << ", " << g_cursorPoint.y;
      previous = indexed;
      ++picks;
    }
    // Now and then the drawing changes between clicks: items move, come and go, and undo
    // and redo take them back and forth.
    if (round % 40 == 0) doc.GetItem(Uniform(0, doc.GetItemCount() - 1))->MoveBy(100, 100);
    if (round % 40 == 10) doc.RemoveItemAt(Uniform(0, doc.GetItemCount() - 1));
    if (round % 40 == 20) Add(doc, RandomItem());
    if (round % 40 == 30) doc.Undo(nullptr, nullptr, 1);
    if (round % 80 == 35) doc.Redo(nullptr, nullptr);
  }
  EXPECT_EQ(picks, 1600);
}

TEST_F(SpatialIndexTest, AViewMeetsOnlyTheCurvesThatCrossIt) {
  CZephDoc doc;
  // A long diagonal and a large circle whose boxes hold the view, a small circle inside the
  // large one and a line through the view; enough items for the index to be used.
  CDrawItem* diagonal = Add(doc, MakeLine(0, 0, 100000, 100000));
  CDrawItem* ring = Add(doc, MakeCircle(30000, 70000, 40000));
  CDrawItem* inner = Add(doc, MakeCircle(20000, 80000, 500));
  CDrawItem* through = Add(doc, MakeLine(19000, 70000, 21000, 90000));
  for (int i = 0; i < 200; ++i) Add(doc, MakeLine(i * 10, 0, i * 10 + 5, 5));
  const Box view{19000, 79000, 21000, 81000};
  std::vector<const CDrawItem*> found;
  doc.GetSpatialIndexForTest().Collect(view, doc.GetItemListForTest(), found);
  ExpectAnswers(doc, view, found);
  const auto answered = [&](const CDrawItem* item) {
    return std::find(found.begin(), found.end(), item) != found.end();
  };
  EXPECT_FALSE(answered(diagonal));
  EXPECT_FALSE(answered(ring));
  EXPECT_TRUE(answered(inner));
  EXPECT_TRUE(answered(through));
  // A click at the large circle's middle still picks it: the middle picks a circle.
  g_cursorPoint = {30000, 70010};
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = 100;
  EXPECT_EQ(doc.FindNearestItem(&mapping, 0, nullptr, 0.0), ring);
  EXPECT_EQ(doc.FindNearestItemByWalk(&mapping, 0, nullptr, 0.0), ring);
}

}  // namespace
