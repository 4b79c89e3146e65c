// The spatial index: it answers exactly the items whose boxes meet a view, in list order,
// through every kind of change of the drawing, undo and redo included; and picking through it
// answers what measuring every item answers.
#include "document/spatialindex.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "document/wholedrawing.h"
#include "items/geometry.h"
#include "items/viewmapping.h"

namespace {

using Box = CSpatialIndex::Box;

bool Meets(const Box& a, const Box& b) {
  return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

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

  // A line, circle, curve or arc somewhere in (0, 0) .. (100000, 100000).
  DrawItemPtr RandomItem() {
    const int x = Uniform(0, 100000);
    const int y = Uniform(0, 100000);
    switch (Uniform(0, 3)) {
      case 0:
        return MakeLine(x, y, x + Uniform(-3000, 3000), y + Uniform(-3000, 3000));
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

  // What the index must answer for box: the unboxed items and those whose boxes meet it, in
  // list order.
  static std::vector<const CDrawItem*> Expected(const CZephDoc& doc, const Box& box) {
    std::vector<const CDrawItem*> items;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      const CDrawItem* item = doc.GetItem(i);
      if (!CSpatialIndex::IsBoxed(*item) || Meets(CSpatialIndex::BoxOf(*item), box)) {
        items.push_back(item);
      }
    }
    return items;
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
      index.Collect(view, doc.GetItemListForTest(), found);
      EXPECT_EQ(found, Expected(doc, view)) << view.minX << ", " << view.minY;
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
    // Now and then the drawing changes between clicks.
    if (round % 40 == 0) doc.GetItem(Uniform(0, doc.GetItemCount() - 1))->MoveBy(100, 100);
  }
  EXPECT_EQ(picks, 1600);
}

}  // namespace
