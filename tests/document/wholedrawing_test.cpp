// Whole-drawing operations: picking, snapping, extending, extents, transforming the chosen
// items, the hatch-sample sheet, shape values and the colours of the chosen items.
#include "document/wholedrawing.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <unordered_set>

#include "doc_fixture.h"
#include "document/document.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/textitem.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace {

DrawItemPtr MakeDimension(int x1, int y1, int x2, int y2) {
  DrawItemPtr dimension = CreateItem(kItemDimension);
  dimension->SetStart(x1, y1);
  dimension->SetEnd(x2, y2);
  return dimension;
}

// A mapping of 10 drawing units per pixel whose window shows (0, 0) .. (10000, 10000).
CViewMapping TenUnitsPerPixel() {
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = 10;
  mapping.originX = 0;
  mapping.originY = 10000;
  return mapping;
}

// Every listed item appears once in the list.
void ExpectListedOnce(const CZephDoc& doc) {
  std::set<const CDrawItem*> seen;
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    ASSERT_NE(doc.GetItem(i), nullptr) << i;
    EXPECT_TRUE(seen.insert(doc.GetItem(i)).second) << "listed twice at " << i;
  }
}

class WholeDrawingTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetWholeDrawingGlobals();
    ResetValueFields();
    doc.SetWindowSize(1000, 1000);
  }
  void TearDown() override {
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetWholeDrawingGlobals();
    DocumentTest::TearDown();
  }

  CZephDoc doc;
  CViewMapping mapping = TenUnitsPerPixel();
};

// ---- Nearest item ----

TEST_F(WholeDrawingTest, EquallyNearItemsCycleBackwardsWithThePreviousAnswer) {
  g_cursorPoint = {5000, 5000};
  CDrawItem* a = Add(doc, MakeLine(4000, 5100, 6000, 5100));
  CDrawItem* b = Add(doc, MakeLine(4000, 4900, 6000, 4900));
  CDrawItem* c = Add(doc, MakeLine(5100, 4000, 5100, 6000));
  struct Case {
    const CDrawItem* previous;
    const CDrawItem* expected;
  };
  const Case cases[] = {{nullptr, c}, {c, b}, {b, a}, {a, c}};
  for (const Case& k : cases) {
    EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, k.previous, 0.0), k.expected);
  }
  // A nearer item ends the cycle at once.
  CDrawItem* nearer = Add(doc, MakeLine(5050, 4000, 5050, 6000));
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, c, 0.0), nearer);
}

TEST_F(WholeDrawingTest, PickFiltersAdmitTheirKinds) {
  g_cursorPoint = {0, 0};
  CDrawItem* line = Add(doc, MakeLine(-1000, 100, 1000, 100));
  CDrawItem* circle = Add(doc, MakeCircle(0, 1000, 700));
  CDrawItem* fill = Add(doc, MakeFill(-50, -50, 100));
  CDrawItem* dimension = Add(doc, MakeDimension(-1000, 5000, 1000, 5000));
  struct Case {
    int filter;
    const CDrawItem* expected;
  };
  // The fill holds the cursor (20: two pixels); the line (100) is nearer than the circle
  // (300), the dimension farthest of all.
  const Case cases[] = {{kPickAnyItem, fill},
                        {kPickNoTexts, fill},
                        {kPickCurves, line},
                        {kPickDimensions, dimension},
                        {kPickLines, line}};
  for (const Case& k : cases) {
    EXPECT_EQ(doc.FindNearestItem(&mapping, k.filter, nullptr, 0.0), k.expected) << k.filter;
  }
  // Without the line, curves give the circle; invisible items are never picked.
  line->SetInvisible();
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickCurves, nullptr, 0.0), circle);
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickLines, nullptr, 0.0), nullptr);
}

TEST_F(WholeDrawingTest, MaximumDistanceLimitsOnlyWhenPositive) {
  g_cursorPoint = {0, 0};
  CDrawItem* line = Add(doc, MakeLine(-1000, 500, 1000, 500));
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, nullptr, 0.0), line);
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, nullptr, 500.0), line);
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, nullptr, 499.0), nullptr);
}

// ---- Nearest handle ----

TEST_F(WholeDrawingTest, NearestPointSkipsFillsGroupsAndHandlesOutsideTheWindow) {
  g_cursorPoint = {5000, 5000};
  Add(doc, MakeFill(4990, 4990, 20));
  CDrawItem* grouped = Add(doc, MakeLine(5010, 5000, 8000, 8000));
  grouped->SetGroupNumber(3);
  Add(doc, MakeLine(5100, 5000, 9000, 5000));
  Add(doc, MakeLine(-100, 5000, 4800, 5000));  // its start is outside the window
  // Fills never; the grouped line's start when groups count; else the plain line's start.
  EXPECT_TRUE(doc.FindNearestPoint(&mapping, kPointAnyItem, 0).Equals(CItemRef(1, 0)));
  EXPECT_TRUE(doc.FindNearestPoint(&mapping, kPointAnyItem, 1).Equals(CItemRef(2, 0)));
  doc.SetWindowSize(1, 1);
  EXPECT_NE(doc.FindNearestPoint(&mapping, kPointAnyItem, 0).IsInvalid(), 0);
}

TEST_F(WholeDrawingTest, SecondPassChoosesTheItemUnderTheCursorAmongCoincidentHandles) {
  // Two lines meet at (5000, 5000); the cursor lies just off the second one.
  Add(doc, MakeLine(5000, 5000, 9000, 5000));
  Add(doc, MakeLine(5000, 5000, 5000, 9000));
  CDrawItem* circle = Add(doc, MakeCircle(5000, 5000, 3000));
  g_cursorPoint = {5010, 5400};
  // No filter: the first handle on the point wins (the circle's centre is also a handle
  // there but comes later).
  EXPECT_TRUE(doc.FindNearestPoint(&mapping, kPointAnyItem, 0).Equals(CItemRef(0, 0)));
  // Lines only: the vertical line, which the cursor is over.
  EXPECT_TRUE(doc.FindNearestPoint(&mapping, kPointLinesOnly, 0).Equals(CItemRef(1, 0)));
  // Without texts or dimensions the circle joins the second pass, but it is farther.
  EXPECT_TRUE(doc.FindNearestPoint(&mapping, kPointNoTextsOrDimensions, 0).Equals(CItemRef(1, 0)));
  // Equal pick distances (all 0 on the point itself): the later item wins.
  g_cursorPoint = {5000, 5000};
  const CItemRef tie = doc.FindNearestPoint(&mapping, kPointNoTextsOrDimensions, 0);
  EXPECT_EQ(doc.GetRefItem(tie), circle);
}

TEST_F(WholeDrawingTest, SecondPassKeepsToTheFilter) {
  // A dimension's end lies on the line's end and the cursor is over the dimension: the point
  // handed back still belongs to an item the filter admits.
  Add(doc, MakeLine(5000, 5000, 9000, 5000));
  Add(doc, MakeDimension(5000, 5000, 5000, 9000));
  g_cursorPoint = {5000, 5300};
  const CItemRef ref = doc.FindNearestPoint(&mapping, kPointNoTextsOrDimensions, 0);
  ASSERT_EQ(ref.IsInvalid(), 0);
  EXPECT_EQ(doc.GetRefItem(ref)->GetType(), kItemLine);
}

// ---- Hunt snapping ----

TEST_F(WholeDrawingTest, HuntSnapsAtExactlyItsDistanceAndNotOnePixelBeyond) {
  g_snapDistance = 5;  // 50 drawing units at 10 per pixel
  Add(doc, MakeLine(1000, 1000, 3000, 3000));
  struct Case {
    DrawingPoint cursor;
    DrawingPoint snapped;
  };
  const Case cases[] = {
      {{1050, 1000}, {1000, 1000}},  // exactly 5 pixels
      {{1030, 1020}, {1000, 1000}},  // 5 pixels by the sum of both differences
      {{1060, 1000}, {1060, 1000}},  // one pixel beyond
      {{1031, 1020}, {1031, 1020}},  // one unit beyond
  };
  for (const Case& k : cases) {
    g_cursorPoint = k.cursor;
    doc.SnapToNearestPoint(&mapping);
    EXPECT_EQ(g_snapPoint, k.snapped) << k.cursor.x << "," << k.cursor.y;
  }
}

TEST_F(WholeDrawingTest, HuntLeavesOutSelectedPointsAndTexts) {
  g_snapDistance = 50;
  Add(doc, MakeLine(1000, 1000, 3000, 1000));  // 0
  Add(doc, MakeLine(1100, 1000, 3000, 2000));  // 1
  DrawItemPtr text = CreateItem(kItemText);
  text->SetPosition(1001, 1000);
  text->SetText(QStringLiteral("T"));
  Add(doc, std::move(text));                   // 2: a text never snaps
  Add(doc, MakeLine(1200, 1000, 3000, 3000));  // 3
  g_cursorPoint = {1000, 1000};
  doc.SnapToNearestPoint(&mapping);
  EXPECT_EQ(g_snapPoint, (DrawingPoint{1000, 1000}));

  // The handle being moved is left out, so the hunt finds the next one; a stale entry for
  // the text before it must not stop the walk.
  CItemRefList selected;
  selected.Add(CItemRef(0, 0));
  doc.SetSelectedPoints(selected);
  doc.SnapToNearestPoint(&mapping);
  EXPECT_EQ(g_snapPoint, (DrawingPoint{1100, 1000}));
  selected.Add(CItemRef(1, 0));
  selected.Add(CItemRef(2, 0));
  doc.SetSelectedPoints(selected);
  doc.SnapToNearestPoint(&mapping);
  EXPECT_EQ(g_snapPoint, (DrawingPoint{1200, 1000}));
  // The text's entry comes first in the list: the walk passes it and still leaves out the
  // handle under the cursor.
  selected.RemoveAll();
  selected.Add(CItemRef(3, 0));
  selected.Add(CItemRef(2, 0));
  doc.SetSelectedPoints(selected);
  g_cursorPoint = {1200, 1000};
  doc.SnapToNearestPoint(&mapping);
  EXPECT_EQ(g_snapPoint, (DrawingPoint{1100, 1000}));
}

// ---- Snapping to the handle nearest a segment ----

TEST_F(WholeDrawingTest, SnapToNearestHandleSeesEveryItemButTheIgnoredOnes) {
  CDrawItem* own = Add(doc, MakeLine(1000, 1300, 5000, 5000));
  own->SetObjectNumber(kObjectNumberConversion);  // a drawing's own object 19999
  CDrawItem* temporary = Add(doc, MakeLine(1000, 1100, 9000, 9000));
  int x = 0;
  int y = 1000;
  // The segment runs from (0, 1000) to (2000, 1000): (1000, 1100) is 100 away, (1000, 1300)
  // 300.
  EXPECT_EQ(doc.SnapToNearestHandle(x, y, 2000, 1000), 1);
  EXPECT_EQ(x, 1000);
  EXPECT_EQ(y, 1100);
  const std::unordered_set<const CDrawItem*> ignored{temporary};
  x = 0;
  y = 1000;
  EXPECT_EQ(doc.SnapToNearestHandle(x, y, 2000, 1000, &ignored), 1);
  EXPECT_EQ(y, 1300);
  // 400 away is too far.
  own->SetStart(1000, 1400);
  x = 0;
  y = 1000;
  EXPECT_EQ(doc.SnapToNearestHandle(x, y, 2000, 1000, &ignored), 0);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 1000);
}

// ---- Extend ----

TEST_F(WholeDrawingTest, ExtendMovesTheEndToTheNextCrossingBeyondIt) {
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  Add(doc, MakeLine(1000, -500, 1000, 500));  // touches the end: distance 0, not taken
  Add(doc, MakeLine(3000, -500, 3000, 500));
  Add(doc, MakeLine(2000, -500, 2000, 500));
  Add(doc, MakeLine(-500, -500, -500, 500));  // behind the start
  EXPECT_EQ(doc.ExtendLineEnd(CItemRef(0, 1)), 1);
  int x = 0;
  int y = 0;
  line->GetEnd(x, y);
  EXPECT_EQ(x, 2000);
  EXPECT_EQ(y, 0);
  // The start goes the other way.
  EXPECT_EQ(doc.ExtendLineEnd(CItemRef(0, 0)), 1);
  line->GetStart(x, y);
  EXPECT_EQ(x, -500);
  // Hidden items do not count; nothing beyond: 0.
  doc.GetItem(4)->SetHidden();
  line->SetStart(0, 0);
  EXPECT_EQ(doc.ExtendLineEnd(CItemRef(0, 0)), 0);
  line->GetStart(x, y);
  EXPECT_EQ(x, 0);
}

TEST_F(WholeDrawingTest, ExtendRefusesWhatIsNoLineEnd) {
  Add(doc, MakeCircle(0, 0, 100));
  Add(doc, MakeLine(-500, 0, 500, 0));
  EXPECT_EQ(doc.ExtendLineEnd(CItemRef(5, 0)), 0);
  EXPECT_EQ(doc.ExtendLineEnd(CItemRef(0, 0)), 0);
  EXPECT_EQ(doc.GetJournal().undoCount, 2);  // the two adds only
}

// ---- Extents ----

TEST_F(WholeDrawingTest, ExtentsAreTheBoxWidenedByTheMargin) {
  doc.SetExtents(1, 2, 3, 4);
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  // Nothing to measure: the extents stay.
  EXPECT_EQ(doc.GetExtents(&mapping, minX, minY, maxX, maxY, 0), 0);
  EXPECT_EQ(minX, 1);
  EXPECT_EQ(maxY, 4);

  Add(doc, MakeCircle(1000, 2000, 500));
  EXPECT_EQ(doc.GetExtents(&mapping, minX, minY, maxX, maxY, 0), 1);
  EXPECT_EQ(minX, 300);
  EXPECT_EQ(minY, 1300);
  EXPECT_EQ(maxX, 1700);
  EXPECT_EQ(maxY, 2700);

  CDrawItem* far = Add(doc, MakeLine(-5000, -5000, -4000, -4000));
  far->SetInvisible();
  EXPECT_EQ(doc.ComputeExtents(&mapping, 0), 1);
  doc.GetExtents(minX, minY, maxX, maxY);
  EXPECT_EQ(minX, -5200);
  EXPECT_EQ(doc.ComputeExtents(&mapping, 1), 1);
  doc.GetExtents(minX, minY, maxX, maxY);
  EXPECT_EQ(minX, 300);
}

// ---- Transforming ----

// Marks every item dormant except the chosen ones, as the tools do.
void Choose(CZephDoc& doc, std::initializer_list<const CDrawItem*> chosen) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    CDrawItem* item = doc.GetItem(i);
    bool isChosen = false;
    for (const CDrawItem* c : chosen) isChosen = isChosen || c == item;
    item->SetSelected(isChosen ? 0 : 1);
  }
}

TEST_F(WholeDrawingTest, RotatingTwiceWithOriginalsKeptCopiesTheCopies) {
  CDrawItem* a = Add(doc, MakeLine(1000, 0, 2000, 0));
  CDrawItem* b = Add(doc, MakeLine(1000, 0, 1000, 500));
  CDrawItem* c = Add(doc, MakeCircle(3000, 0, 100));
  CDrawItem* other = Add(doc, MakeLine(0, 5000, 100, 5000));
  Choose(doc, {a, b, c});
  CTransform turn;
  turn.SetRotation(90.0, 0, 0);
  doc.SetUndoGroup(1);
  for (int action = 0; action < 2; ++action) {
    EXPECT_EQ(doc.TransformItems(turn, kTransformChosenKeepOriginals, action), 1);
  }
  doc.SetUndoGroup(0);
  ASSERT_EQ(doc.GetItemCount(), 10);
  ExpectListedOnce(doc);
  // The originals stay where they were, dormant.
  int x = 0;
  int y = 0;
  a->GetEnd(x, y);
  EXPECT_EQ(x, 2000);
  EXPECT_EQ(a->IsSelected(), 1);
  EXPECT_EQ(other->IsSelected(), 1);
  // The first copies are turned by 90 degrees and dormant; the second copies, made from them,
  // by 180 and still chosen.
  const CDrawItem* first = doc.GetItem(4);
  const CDrawItem* second = doc.GetItem(7);
  first->GetEnd(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 2000);
  EXPECT_EQ(first->IsSelected(), 1);
  second->GetEnd(x, y);
  EXPECT_EQ(x, -2000);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(second->IsSelected(), 0);
  doc.GetItem(9)->GetCentre(x, y);
  EXPECT_EQ(x, -3000);
  // One undo step takes all six copies away.
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItemCount(), 4);
}

TEST_F(WholeDrawingTest, TransformingInPlaceIsUndoneAsOneStep) {
  CDrawItem* a = Add(doc, MakeLine(1000, 0, 2000, 0));
  Add(doc, MakeFill(0, 0, 100));  // dormant, stays
  Choose(doc, {a});
  CTransform mirror;
  mirror.SetReflection(1, 0);
  doc.SetUndoGroup(1);
  EXPECT_EQ(doc.TransformItems(mirror, kTransformChosen, 0), 1);
  doc.SetUndoGroup(0);
  ASSERT_EQ(doc.GetItemCount(), 2);
  const CDrawItem* moved = doc.GetItem(1);
  int x = 0;
  int y = 0;
  moved->GetEnd(x, y);
  EXPECT_EQ(x, -2000);
  EXPECT_EQ(moved->IsSelected(), 0);
  ExpectListedOnce(doc);
  doc.Undo(nullptr, nullptr, 1);
  doc.GetItem(1)->GetEnd(x, y);
  EXPECT_EQ(x, 2000);
}

TEST_F(WholeDrawingTest, UnevenStretchTurnsCirclesIntoEllipses) {
  struct Case {
    double factor;
    int which;
    int expectedType;
  };
  const Case cases[] = {{2.0, kTransformAllItems, kItemEllipse},
                        {2.0, kTransformChosen, kItemEllipse},
                        {2.0, kTransformChosenKeepOriginals, kItemEllipse},
                        {1.0, kTransformAllItems, kItemCircle}};
  for (const Case& k : cases) {
    CZephDoc d;
    for (int recording : {1, 0}) {
      d.ClearDrawing();
      d.EnableUndo(recording);
      CDrawItem* circle = Add(d, MakeCircle(1000, 0, 500, 7));
      circle->SetGroupNumber(4);
      CTransform stretch;
      stretch.SetStretch(1, k.factor, 0);
      ASSERT_EQ(d.TransformItems(stretch, k.which, kNoCopyIndex), 1);
      const CDrawItem* result = d.GetItem(d.GetItemCount() - 1);
      ASSERT_EQ(result->GetType(), k.expectedType) << k.factor << " " << k.which;
      ExpectListedOnce(d);
      EXPECT_EQ(result->GetColour(), 7);
      EXPECT_NE(result->GetGroupNumber(), 0);
      if (k.expectedType == kItemEllipse) {
        int a = 0;
        int b = 0;
        result->GetSemiAxes(a, b);
        EXPECT_EQ(std::max(a, b), 1000);
        EXPECT_EQ(std::min(a, b), 500);
      }
    }
  }
}

TEST_F(WholeDrawingTest, AnArcThatMakesNoValidEllipticArcIsTransformedAsItself) {
  // A shallow arc whose centre lies beyond the coordinate limits: valid as an arc, never as
  // an elliptic arc.
  DrawItemPtr made = MakeArc(-1000, 0, 1000, 0, 4e-5);
  ASSERT_EQ(made->IsValid(), 1);
  DrawItemPtr converted = doc.MakeEllipseArcFromArc(made.get());
  ASSERT_TRUE(converted);
  EXPECT_EQ(converted->GetType(), kItemArc);
  EXPECT_NE(converted.get(), made.get());

  for (int which : {kTransformAllItems, kTransformChosen, kTransformChosenKeepOriginals}) {
    for (int recording : {1, 0}) {
      CZephDoc d;
      d.EnableUndo(recording);
      Add(d, MakeArc(-1000, 0, 1000, 0, 4e-5));
      Add(d, MakeLine(0, 0, 100, 100));
      CTransform stretch;
      stretch.SetStretch(0, 1.5, 0);
      EXPECT_EQ(d.TransformItems(stretch, which, kNoCopyIndex), 1);
      EXPECT_EQ(d.GetItemCount(), which == kTransformChosenKeepOriginals ? 4 : 2);
      ExpectListedOnce(d);
      EXPECT_EQ(d.GetItem(0)->GetType(), kItemArc);
      if (recording == 1 && which != kTransformChosenKeepOriginals) {
        d.Undo(nullptr, nullptr, 1);
        EXPECT_EQ(d.GetItemCount(), 2);
        ExpectListedOnce(d);
      }
    }
  }
}

TEST_F(WholeDrawingTest, CopiesTheListRefusesAreFreedWithoutRecordsAndRemappingEnds) {
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  a->SetGroupNumber(2);
  CDrawItem* b = Add(doc, MakeLine(0, 0, 0, 1000));
  b->SetGroupNumber(2);
  Choose(doc, {a, b});
  // Fill the list up to its capacity, which it cannot pass: no copy can be added.
  doc.EnableUndo(0);
  while (doc.GetItemCount() < static_cast<int>(doc.GetItemCapacity())) {
    DrawItemPtr filler = MakeLine(5000, 5000, 6000, 6000);
    filler->Select();
    ASSERT_EQ(doc.AddItem(filler), 1);
  }
  doc.EnableUndo(1);
  CZephDoc::SetItemListLimitForTest(doc.GetItemCapacity());
  const int count = doc.GetItemCount();
  const int journalRecords = static_cast<int>(doc.GetJournal().records.size());
  CTransform shift;
  shift.SetRotation(45.0, 0, 0);
  doc.SetUndoGroup(1);
  EXPECT_EQ(doc.TransformItems(shift, kTransformChosenKeepOriginals, kNoCopyIndex), 0);
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetItemCount(), count);
  EXPECT_EQ(static_cast<int>(doc.GetJournal().records.size()), journalRecords);
  ASSERT_EQ(presenter.shown().size(), 1u);  // message 224
  // Group remapping is off again.
  EXPECT_EQ(doc.MapGroupNumber(2), 2);
  ExpectListedOnce(doc);
}

TEST_F(WholeDrawingTest, ARefusedStepStopsTheTransformAndEndsRemapping) {
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  a->SetGroupNumber(9);
  Choose(doc, {a});
  doc.FreeJournalRecords(0);
  const_cast<CUndoJournal&>(doc.GetJournal()).capacity = 0;
  g_journalAllocationLimit = 0;  // no room: the journal asks, and the user says No
  presenter.QueueAnswer(zeph::kIdNo);
  CTransform turn;
  turn.SetRotation(90.0, 0, 0);
  doc.SetUndoGroup(1);
  EXPECT_EQ(doc.TransformItems(turn, kTransformChosen, kNoCopyIndex), 0);
  doc.SetUndoGroup(0);
  ASSERT_EQ(doc.GetItemCount(), 1);
  ExpectListedOnce(doc);
  EXPECT_EQ(doc.MapGroupNumber(9), 9);
}

TEST_F(WholeDrawingTest, CopiesOfTickedObjectsGetTheirCopyNumbers) {
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  a->SetObjectNumber(5);
  ASSERT_EQ(doc.SetObjectName(5, QStringLiteral("Box")), 1);
  doc.RebuildObjectList();
  doc.SetObjectTickByNumber(5, kObjectTicked);
  Choose(doc, {a});
  doc.PrepareCopyNumbers(2);
  CTransform turn;
  turn.SetRotation(90.0, 0, 0);
  ASSERT_EQ(doc.TransformItems(turn, kTransformChosenKeepOriginals, 0), 1);
  ASSERT_EQ(doc.TransformItems(turn, kTransformChosenKeepOriginals, 1), 1);
  ASSERT_EQ(doc.GetItemCount(), 3);
  const int first = doc.GetItem(1)->GetObjectNumber();
  const int second = doc.GetItem(2)->GetObjectNumber();
  EXPECT_NE(first, 5);
  EXPECT_NE(second, 5);
  EXPECT_NE(first, second);
  EXPECT_EQ(first, doc.GetCopyObjectNumber(5, 0));
  EXPECT_EQ(second, doc.GetCopyObjectNumber(5, 1));
}

// ---- Hatch samples ----

TEST_F(WholeDrawingTest, HatchSamplesLayOutOneCellPerPattern) {
  const std::int16_t savedAcross = GetOptionShort(kOptionHatchPatternAcross);
  const std::int16_t savedDown = GetOptionShort(kOptionHatchPatternDown);
  SetOptionShort(kOptionHatchPatternAcross, 3);
  SetOptionShort(kOptionHatchPatternDown, 60);
  CZephDoc sheet(DocumentRole::kAuxiliary);
  ASSERT_EQ(sheet.BuildHatchSamples(400), 1);
  SetOptionShort(kOptionHatchPatternAcross, savedAcross);
  SetOptionShort(kOptionHatchPatternDown, savedDown);

  ASSERT_EQ(sheet.GetItemCount(), kHatchDefinitionCount * 6);
  // c = (400 x 500 - 10000) / 3 - 10000 = 53333, h = 60 x c / 100 = 31999.
  const int cell = 53333;
  const int height = 31999;
  int fills = 0;
  std::set<int> numbers;
  for (int i = 0; i < sheet.GetItemCount(); ++i) {
    const CDrawItem* item = sheet.GetItem(i);
    numbers.insert(item->GetObjectNumber());
    if (item->GetType() == kItemFill) {
      const int j = fills++;
      EXPECT_EQ(item->GetObjectNumber(),
                g_hatchDefinitions[static_cast<std::size_t>(j)].GetNumber());
      EXPECT_EQ(item->GetFillStyle(), kFillHatch);
      EXPECT_EQ(item->GetHatchPattern()->GetNumber(),
                g_hatchDefinitions[static_cast<std::size_t>(j)].GetNumber());
    }
    if (item->GetType() == kItemText) {
      EXPECT_EQ(item->GetFont()->GetSize(), 18);
      EXPECT_EQ(item->GetFont()->GetFaceName(), QStringLiteral("Arial"));
    }
  }
  EXPECT_EQ(fills, kHatchDefinitionCount);
  // The fill search found each cell's inside: the first fill fills the first frame.
  sheet.GetItem(0)->CalcBoundingBox(&mapping);
  EXPECT_EQ(g_itemBounds.minX, 10000);
  EXPECT_EQ(g_itemBounds.maxX, 10000 + cell);
  EXPECT_EQ(g_itemBounds.minY, 100000 - height);
  EXPECT_EQ(g_itemBounds.maxY, 100000);
  EXPECT_EQ(sheet.GetItem(0)->GetHoleCount(), 0);
  EXPECT_EQ(static_cast<int>(numbers.size()), kHatchDefinitionCount);

  // The fourth pattern starts the second row: one cell height plus 15000 lower, at the left.
  const CDrawItem* firstTop = sheet.GetItem(kHatchDefinitionCount);  // fills lead the list
  int x = 0;
  int y = 0;
  firstTop->GetStart(x, y);
  EXPECT_EQ(x, 10000);
  EXPECT_EQ(y, 100000);
  const CDrawItem* secondRowTop = sheet.GetItem(kHatchDefinitionCount + 3 * 5);
  secondRowTop->GetStart(x, y);
  EXPECT_EQ(x, 10000);
  EXPECT_EQ(y, 100000 - height - 15000);
  const CDrawItem* secondColumnTop = sheet.GetItem(kHatchDefinitionCount + 5);
  secondColumnTop->GetStart(x, y);
  EXPECT_EQ(x, 10000 + cell + 10000);
  // The first caption sits a twelfth of a line under the cell.
  const CDrawItem* caption = sheet.GetItem(kHatchDefinitionCount + 4);
  ASSERT_EQ(caption->GetType(), kItemText);
  caption->GetPosition(x, y);
  EXPECT_EQ(x, 10000);
  EXPECT_EQ(y, 100000 - height - 15000 / 12);
  EXPECT_EQ(caption->GetText(), g_hatchDefinitions[0].GetName());
}

TEST_F(WholeDrawingTest, HatchSampleCaptionSizesFollowTheColumns) {
  const std::int16_t saved = GetOptionShort(kOptionHatchPatternAcross);
  const int sizes[] = {32, 24, 18, 14, 14};
  for (int across = 1; across <= 5; ++across) {
    SetOptionShort(kOptionHatchPatternAcross, static_cast<std::int16_t>(across));
    CZephDoc sheet(DocumentRole::kAuxiliary);
    ASSERT_EQ(sheet.BuildHatchSamples(800), 1) << across;
    const CDrawItem* caption = sheet.GetItem(kHatchDefinitionCount + 4);
    EXPECT_EQ(caption->GetFont()->GetSize(), sizes[across - 1]) << across;
  }
  // A preview so narrow that the cells have no width makes no sheet.
  SetOptionShort(kOptionHatchPatternAcross, 3);
  CZephDoc narrow(DocumentRole::kAuxiliary);
  EXPECT_EQ(narrow.BuildHatchSamples(80), 0);
  SetOptionShort(kOptionHatchPatternAcross, saved);
}

// ---- Shape values ----

TEST_F(WholeDrawingTest, ShapeValuesOfRegularShapesAndRectangles) {
  struct Case {
    std::vector<std::pair<int, int>> points;
    int field;
    int sides;
    double length;
    double width;
  };
  const Case cases[] = {
      {{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, kFieldSidesLength, 4, 1000.0, 0.0},
      {{{0, 1000}, {0, 0}, {3000, 0}, {3000, 1000}}, kFieldRectangle, 4, 3000.0, 1000.0},
      {{{0, 0}, {600, 0}, {300, 520}}, kFieldSidesLength, 3, 600.0, 0.0},
  };
  int group = 10;
  for (const Case& k : cases) {
    ++group;
    for (std::size_t i = 0; i < k.points.size(); ++i) {
      const auto& a = k.points[i];
      const auto& b = k.points[(i + 1) % k.points.size()];
      Add(doc, MakeLine(a.first, a.second, b.first, b.second))->SetGroupNumber(group);
    }
    doc.PublishShapeValues(group);
    ASSERT_EQ(g_valueFieldCount, 2);
    EXPECT_EQ(g_valueFieldIds[0], k.field);
    EXPECT_EQ(g_valueFieldIds[1], kFieldShapeRotation);
    EXPECT_EQ(g_shapeSideCount, k.sides);
    EXPECT_DOUBLE_EQ(g_shapeSideLength, k.length);
    if (k.field == kFieldRectangle) {
      EXPECT_DOUBLE_EQ(g_shapeWidth, k.width);
    }
    EXPECT_DOUBLE_EQ(g_shapeRotation, 0.0);
  }
  // A turned square reports the angle of its lowest side.
  ++group;
  Add(doc, MakeLine(0, 0, 1000, 1000))->SetGroupNumber(group);
  Add(doc, MakeLine(1000, 1000, 0, 2000))->SetGroupNumber(group);
  Add(doc, MakeLine(0, 2000, -1000, 1000))->SetGroupNumber(group);
  Add(doc, MakeLine(-1000, 1000, 0, 0))->SetGroupNumber(group);
  doc.PublishShapeValues(group);
  EXPECT_EQ(g_valueFieldIds[0], kFieldSidesLength);
  EXPECT_NEAR(g_shapeRotation, kPi / 4, 1e-12);
}

TEST_F(WholeDrawingTest, ShapeValuesOfAGroupWithoutSidesPublishNothing) {
  PublishFieldIds({kFieldStart, kFieldEnd});
  doc.PublishShapeValues(77);
  EXPECT_EQ(g_valueFieldCount, 0);
  Add(doc, MakeCircle(0, 0, 100))->SetGroupNumber(78);
  doc.PublishShapeValues(78);
  EXPECT_EQ(g_valueFieldCount, 0);
}

// ---- Colours of the chosen items ----

TEST_F(WholeDrawingTest, UsedColoursOfTheChosenItems) {
  for (int colour : {3, 5, 3, 9, 5}) Add(doc, MakeLine(0, 0, 100, colour * 10, colour));
  doc.GetItem(3)->Select();  // dormant: its colour 9 does not count
  int count = 0;
  std::array<std::int32_t, CZephDoc::kUsedColourLimit> colours{};
  EXPECT_EQ(doc.CollectUsedColours(count, colours), 1);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(colours[0], 3);
  EXPECT_EQ(colours[1], 5);
  // The same set in another order changes nothing.
  colours[0] = 5;
  colours[1] = 3;
  EXPECT_EQ(doc.CollectUsedColours(count, colours), 0);
  EXPECT_EQ(colours[0], 5);
  // At most ten colours.
  for (int colour = 20; colour < 40; ++colour) Add(doc, MakeLine(0, 0, 10, colour, colour));
  EXPECT_EQ(doc.CollectUsedColours(count, colours), 1);
  EXPECT_EQ(count, CZephDoc::kUsedColourLimit);
  EXPECT_EQ(colours[9], 27);
}

}  // namespace
