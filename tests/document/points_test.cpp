// References to item handles: reading and moving them, iterating over the shown handles, the
// selected points with their ways of choosing (by point, lines at a point, rectangle, click,
// whole groups following) and the corner list.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "items/drawitem.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/log.h"

namespace {

using Refs = std::vector<std::pair<int, int>>;

Refs RefsOf(const CItemRefList& list) {
  Refs refs;
  for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
    refs.emplace_back(list.GetAt(i).GetItem(), list.GetAt(i).GetPoint());
  }
  return refs;
}

class PointsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetItemGlobals();
    ResetViewGlobals();
    m_doc = std::make_unique<CZephDoc>();
    ResetLogState();
  }
  void TearDown() override {
    m_doc.reset();
    ResetViewGlobals();
    DocumentTest::TearDown();
  }

  // Adds a line of the group; answers its index (fills stay in front of it).
  int Line(int x1, int y1, int x2, int y2, int group = 0) {
    DrawItemPtr line = MakeLine(x1, y1, x2, y2);
    line->SetGroupNumber(group);
    Add(*m_doc, std::move(line));
    return m_doc->GetItemCount() - 1;
  }
  int Circle(int cx, int cy, int radius, int group = 0) {
    DrawItemPtr circle = MakeCircle(cx, cy, radius);
    circle->SetGroupNumber(group);
    Add(*m_doc, std::move(circle));
    return m_doc->GetItemCount() - 1;
  }
  void Hide(int index) { m_doc->GetItem(index)->SetInvisible(); }

  std::unique_ptr<CZephDoc> m_doc;
};

TEST_F(PointsTest, IterationVisitsEveryHandleOfTheShownItems) {
  EXPECT_EQ(m_doc->IsPastLastPoint(m_doc->FirstPoint()), 1);  // no items

  Line(0, 0, 100, 0);
  Hide(Circle(500, 500, 50));
  Circle(900, 900, 50);
  Refs visited;
  for (CItemRef ref = m_doc->FirstPoint(); m_doc->IsPastLastPoint(ref) == 0;
       m_doc->NextPoint(ref)) {
    visited.emplace_back(ref.GetItem(), ref.GetPoint());
  }
  EXPECT_EQ(visited, Refs({{0, 0}, {0, 1}, {2, 0}}));

  // Hidden items at the start and the end.
  Hide(0);
  Hide(2);
  const CItemRef first = m_doc->FirstPoint();
  EXPECT_EQ(first.GetItem(), 3);
  EXPECT_EQ(m_doc->IsPastLastPoint(first), 1);
  CItemRef past = first;
  m_doc->NextPoint(past);
  EXPECT_TRUE(past.Equals(first));
  EXPECT_EQ(m_doc->IsPastLastPoint(CItemRef()), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PointsTest, ReferencesReadAndMoveTheirItemsHandle) {
  const int line = Line(0, 0, 100, 50);
  const CItemRef end(line, 1);
  EXPECT_EQ(m_doc->GetRefItem(end), m_doc->GetItem(line));
  EXPECT_EQ(m_doc->IsRefToItem(m_doc->GetItem(line), end), 1);
  EXPECT_EQ(m_doc->IsRefToItem(m_doc->GetItem(line), CItemRef(1, 0)), 0);
  EXPECT_EQ(m_doc->GetRefX(end), 100);
  EXPECT_EQ(m_doc->GetRefY(end), 50);

  m_doc->FreeJournalRecords(0);
  m_doc->MoveRefPoint(end, 10, -20);
  EXPECT_EQ(m_doc->GetRefX(end), 110);
  EXPECT_EQ(m_doc->GetRefY(end), 30);
  m_doc->SetRefPoint(CItemRef(line, 0), -5, 7);
  EXPECT_EQ(m_doc->GetRefX(CItemRef(line, 0)), -5);
  EXPECT_EQ(m_doc->GetJournal().undoCount, 2);
  m_doc->Undo(nullptr, nullptr, 1);
  m_doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(m_doc->GetRefX(end), 100);
  EXPECT_EQ(m_doc->GetRefX(CItemRef(line, 0)), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PointsTest, ReferencesOutsideTheListAreRefused) {
  Line(0, 0, 100, 50);
  for (const CItemRef& ref : {CItemRef(1, 0), CItemRef(-1, 0), CItemRef(), CItemRef(70000, 1)}) {
    EXPECT_EQ(m_doc->GetRefItem(ref), nullptr) << ref.GetItem();
  }
  struct Case {
    const char* name;
    std::function<void()> call;
    int glitch;
  };
  const CItemRef bad(1, 1);
  const std::vector<Case> cases = {
      {"x", [&] { EXPECT_EQ(m_doc->GetRefX(bad), 0); }, 1281},
      {"y", [&] { EXPECT_EQ(m_doc->GetRefY(bad), 0); }, 1282},
      {"move", [&] { m_doc->MoveRefPoint(bad, 5, 5); }, 1241},
      {"set", [&] { m_doc->SetRefPoint(bad, 5, 5); }, 1273},
      {"line end",
       [&] { EXPECT_TRUE(m_doc->FindLineEndAt(CItemRef(0, 0)).Equals(CItemRef(0, 0))); }, 1224},
      {"corner", [&] { EXPECT_EQ(m_doc->GetNearestCorner().IsInvalid(), 1); }, 1205},
  };
  for (const Case& c : cases) {
    ResetLogState();
    c.call();
    EXPECT_EQ(g_glitchCount, 1) << c.name;
    EXPECT_EQ(g_firstGlitchCode, c.glitch) << c.name;
    EXPECT_EQ(g_firstGlitchNumber, 1) << c.name;
  }
  int x = 0;
  int y = 0;
  m_doc->GetItem(0)->GetEnd(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
}

TEST_F(PointsTest, APointIsVisibleWhenItMapsIntoTheWindow) {
  CViewMapping mapping;
  mapping.originX = 0;
  mapping.originY = 1000;
  mapping.scaleX = 10;
  mapping.scaleY = 10;
  m_doc->SetWindowSize(100, 50);
  struct Case {
    int x;
    int y;
    int visible;
  };
  for (const Case& c : {Case{0, 1000, 1}, Case{990, 510, 1}, Case{1000, 1000, 0}, Case{0, 500, 0},
                        Case{-10, 1000, 0}, Case{0, 1010, 0}}) {
    EXPECT_EQ(m_doc->IsPointVisible(&mapping, c.x, c.y), c.visible) << c.x << ", " << c.y;
  }
  EXPECT_EQ(m_doc->IsPointVisible(nullptr, 0, 1000), 0);
}

TEST_F(PointsTest, ALineEndAtAReferencedPointIsFoundInListOrder) {
  const int a = Line(0, 0, 100, 0);
  const int b = Line(300, 300, 100, 0);  // its end lies on a's end
  const int c = Line(100, 0, 100, 100);  // its start lies on a's end
  Circle(100, 0, 40);
  EXPECT_TRUE(m_doc->FindLineEndAt(CItemRef(a, 1)).Equals(CItemRef(b, 1)));
  EXPECT_TRUE(m_doc->FindLineEndAt(CItemRef(b, 1)).Equals(CItemRef(a, 1)));
  Hide(b);
  EXPECT_TRUE(m_doc->FindLineEndAt(CItemRef(a, 1)).Equals(CItemRef(c, 0)));
  EXPECT_EQ(g_glitchCount, 0);
  // Nothing else ends at a's start.
  EXPECT_TRUE(m_doc->FindLineEndAt(CItemRef(a, 0)).Equals(CItemRef(0, 0)));
  EXPECT_EQ(g_firstGlitchCode, 1224);
}

TEST_F(PointsTest, TheNearestListedPointToTheCursorFirstOfEquals) {
  const int a = Line(0, 0, 100, 0);
  const int b = Line(50, 70, 110, 10);
  CItemRefList list;
  EXPECT_EQ(m_doc->GetNearestListedPoint(list).IsInvalid(), 1);
  list.Add(CItemRef(a, 0));
  list.Add(CItemRef(a, 1));
  list.Add(CItemRef(b, 0));
  list.Add(CItemRef(b, 1));
  list.Invalidate(0);  // emptied entries are passed over
  g_cursorPoint = {50, 10};
  // a's end, b's start and b's end are all 60 away: the first listed wins.
  EXPECT_TRUE(m_doc->GetNearestListedPoint(list).Equals(CItemRef(a, 1)));
  g_cursorPoint = {55, 65};
  EXPECT_TRUE(m_doc->GetNearestListedPoint(list).Equals(CItemRef(b, 0)));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PointsTest, SelectingPointsAtAPointTakesEveryShownHandleThereOnce) {
  Add(*m_doc, MakeFill(100, 100, 200));  // item 0: its corner (100, 100) is a handle
  const int a = Line(300, 300, 100, 100);
  const int b = Line(100, 100, 0, 0);
  Hide(Line(100, 100, 50, 50));
  Circle(100, 100, 30);
  m_doc->SelectPointsAt(100, 100);
  m_doc->SelectPointsAt(100, 100);
  EXPECT_EQ(RefsOf(m_doc->GetSelectedPoints()), Refs({{0, 0}, {a, 1}, {b, 0}, {4, 0}}));
}

TEST_F(PointsTest, SelectingLinesAtAPointTakesBothEndsOfEachLineThere) {
  const int a = Line(0, 0, 100, 0);
  const int b = Line(100, 0, 100, 100);
  const int c = Line(100, 100, 200, 200);  // meets b's far end only
  Line(500, 500, 600, 600);
  const int d = Line(200, 0, 100, 0);
  m_doc->GetSelectedPoints().Add(CItemRef(3, 0));  // replaced
  m_doc->SelectLinesAtPoint(100, 0);
  EXPECT_EQ(RefsOf(m_doc->GetSelectedPoints()),
            Refs({{a, 0}, {a, 1}, {b, 0}, {b, 1}, {c, 0}, {d, 0}, {d, 1}}));
}

TEST_F(PointsTest, SettingTheSelectedPointsCopiesEveryEntryInOrder) {
  for (int i = 0; i < 150; ++i) Line(i * 10, 0, i * 10, 100);
  CItemRefList moved;
  for (int i = 149; i >= 0; --i) {
    moved.Add(CItemRef(i, 1));
    moved.Add(CItemRef(i, 0));
  }
  m_doc->SetSelectedPoints(moved);
  const CItemRefList& selected = m_doc->GetSelectedPoints();
  ASSERT_EQ(selected.GetCount(), 300);
  for (std::uint16_t i = 0; i < 300; ++i) {
    EXPECT_TRUE(selected.GetAt(i).Equals(CItemRef(i / 2, static_cast<std::int16_t>(i % 2))));
  }
  m_doc->SetSelectedPoints(m_doc->GetSelectedPoints());  // the list itself: kept
  EXPECT_EQ(selected.GetCount(), 300);
}

TEST_F(PointsTest, CoincidentAndGroupPointsLeaveOutFillsAndHiddenItems) {
  Add(*m_doc, MakeFill(0, 0, 100));  // item 0, corner (0, 0)
  const int a = Line(0, 0, 50, 50, 7);
  const int b = Line(200, 200, 0, 0, 7);
  const int c = Line(0, 0, -50, 0);
  const int hidden = Line(0, 0, 30, 30, 7);
  Hide(hidden);
  const int d = Line(900, 900, 950, 900, 8);

  CItemRefList list;
  m_doc->AddCoincidentPoints(list, CItemRef(a, 0));
  m_doc->AddCoincidentPoints(list, CItemRef(a, 0));
  EXPECT_EQ(RefsOf(list), Refs({{a, 0}, {b, 1}, {c, 0}}));

  list.RemoveAll();
  list.Add(CItemRef(c, 1));
  list.Add(CItemRef(a, 0));
  list.Add(CItemRef(d, 1));
  EXPECT_EQ(m_doc->ExpandToGroups(list), 3);
  EXPECT_EQ(RefsOf(list), Refs({{c, 1}, {a, 0}, {d, 1}, {a, 1}, {b, 0}, {b, 1}, {d, 0}}));

  m_doc->RemoveGroupPoints(list, 7);
  EXPECT_EQ(list.Compact(), 3);
  EXPECT_EQ(RefsOf(list), Refs({{c, 1}, {d, 1}, {d, 0}}));
  EXPECT_EQ(g_glitchCount, 0);
}

class RectSelectionTest : public PointsTest {
 protected:
  void SetUp() override {
    PointsTest::SetUp();
    // 10 drawing units a pixel; the window's top-left corner at (0, 1000).
    m_mapping.originX = 0;
    m_mapping.originY = 1000;
    m_mapping.scaleX = 10;
    m_mapping.scaleY = 10;
  }
  CViewMapping m_mapping;
  const zeph::DcRect m_rect{0, 0, 10, 10};  // drawing x 0..100, y 900..1000
};

TEST_F(RectSelectionTest, APointOnTheEdgeIsInsideAndItsGroupFollows) {
  Add(*m_doc, MakeFill(20, 920, 50));         // item 0: corners inside, never taken
  const int a = Line(100, 900, 500, 500, 7);  // start on the corner of the bounds
  const int b = Line(600, 600, 700, 700, 7);
  const int c = Line(50, 950, 2000, 2000);
  Hide(Line(40, 940, 60, 960, 7));
  const int outside = Line(101, 900, 101, 1000);

  CItemRefList list;
  m_doc->SelectPointsInRect(list, &m_mapping, m_rect, 0);
  EXPECT_EQ(RefsOf(list), Refs({{a, 0}, {a, 1}, {b, 0}, {b, 1}, {c, 0}}));
  EXPECT_EQ(list.Contains(CItemRef(outside, 0)), 0);

  // Taking away by a rectangle that holds only c's start leaves the group.
  zeph::DcRect small{4, 4, 6, 6};  // x 40..60, y 940..960
  m_doc->SelectPointsInRect(list, &m_mapping, small, 1);
  EXPECT_EQ(RefsOf(list), Refs({{a, 0}, {a, 1}, {b, 0}, {b, 1}}));
  // Taking away a's start takes its whole group.
  m_doc->SelectPointsInRect(list, &m_mapping, m_rect, 1);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PointsTest, ClickingTwiceOnAPointAddsThenRemovesItsHandlesAndGroups) {
  const int a = Line(0, 0, 100, 0, 3);
  const int b = Line(0, 0, 0, 100);
  const int c = Line(500, 500, 600, 600, 3);
  const int d = Line(900, 0, 1000, 0);
  CItemRefList list;
  list.Add(CItemRef(d, 0));
  m_doc->TogglePointAt(list, CItemRef(b, 0));
  EXPECT_EQ(RefsOf(list), Refs({{d, 0}, {a, 0}, {a, 1}, {c, 0}, {c, 1}, {b, 0}}));
  m_doc->TogglePointAt(list, CItemRef(b, 0));
  EXPECT_EQ(RefsOf(list), Refs({{d, 0}}));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(PointsTest, TheCornerListGrowsIn512StepsUpTo4096) {
  Line(0, 0, 100, 0);
  std::vector<int> capacities;
  for (int i = 0; i < kCornerListLimit; ++i) {
    ASSERT_EQ(m_doc->AddCorner(CItemRef(0, static_cast<std::int16_t>(i % 2))), 1) << i;
    if (capacities.empty() || capacities.back() != m_doc->GetCornerCapacity()) {
      capacities.push_back(m_doc->GetCornerCapacity());
    }
  }
  EXPECT_EQ(capacities, std::vector<int>({512, 1024, 1536, 2048, 2560, 3072, 3584, 4096}));
  EXPECT_EQ(m_doc->AddCorner(CItemRef(0, 0)), 0);
  EXPECT_EQ(m_doc->GetCornerCount(), kCornerListLimit);
  m_doc->RemoveAllCorners();
  EXPECT_EQ(m_doc->AddCorner(CItemRef(0, 1)), 1);
  EXPECT_EQ(m_doc->GetCornerCapacity(), kCornerListLimit);
}

TEST_F(PointsTest, TheNearestCornerToTheCursorFirstOfEquals) {
  const int a = Line(0, 0, 100, 0);
  const int b = Line(100, 100, 0, 100);
  m_doc->AddCorner(CItemRef(a, 1));
  m_doc->AddCorner(CItemRef(b, 1));
  m_doc->AddCorner(CItemRef(b, 0));
  g_cursorPoint = {50, 50};  // all three are 100 away
  EXPECT_TRUE(m_doc->GetNearestCorner().Equals(CItemRef(a, 1)));
  g_cursorPoint = {90, 95};
  EXPECT_TRUE(m_doc->GetNearestCorner().Equals(CItemRef(b, 0)));
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
