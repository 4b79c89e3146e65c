// Corner finding: the ends where exactly two lines meet at an angle, by the table lookup and by
// the lookup over the item list, within the window, and the limits on the drawing's size.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "items/viewmapping.h"
#include "platform/desktop.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace {

using Corner = std::pair<int, int>;  // line index, end (0 start, 1 end)

DrawItemPtr MakeCurve(int sx, int sy, int ex, int ey) {
  DrawItemPtr curve = CreateItem(kItemBezier);
  curve->SetStart(sx, sy);
  curve->SetEnd(ex, ey);
  curve->SetControlPoint(0, sx + 100.0, sy + 500.0);
  curve->SetControlPoint(1, ex - 100.0, ey + 500.0);
  return curve;
}

DrawItemPtr Grouped(DrawItemPtr item, int group) {
  item->SetGroupNumber(group);
  return item;
}

DrawItemPtr Invisible(DrawItemPtr item) {
  item->SetInvisible();
  return item;
}

class CornersTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    // The window shows x and y from -10000 to 10000 at 10 units a pixel.
    m_mapping.originX = -10000;
    m_mapping.originY = 10000;
    m_mapping.scaleX = 10;
    m_mapping.scaleY = 10;
    zeph::StandInDesktop().Reset();
  }
  void TearDown() override {
    CZephDoc::SetCornerTablesFailForTest(false);
    g_savedCursor.reset();
    zeph::StandInDesktop().Reset();
    DocumentTest::TearDown();
  }

  std::unique_ptr<CZephDoc> Drawing(std::vector<DrawItemPtr> items) {
    auto doc = std::make_unique<CZephDoc>();
    doc->SetWindowSize(2000, 2000);
    doc->EnableUndo(0);
    for (DrawItemPtr& item : items) {
      CDrawItem* raw = item.get();
      EXPECT_EQ(doc->AddItem(item), 1) << "item " << raw->GetType();
    }
    return doc;
  }

  static std::vector<Corner> Corners(const CZephDoc& doc) {
    std::vector<Corner> corners;
    for (int i = 0; i < doc.GetCornerCount(); ++i) {
      corners.emplace_back(doc.GetCornerAt(i).GetItem(), doc.GetCornerAt(i).GetPoint());
    }
    return corners;
  }

  // Both lookups on the drawing: the answer and the corners they agree on.
  std::pair<int, std::vector<Corner>> FindBothWays(CZephDoc& doc, const std::string& name) {
    CZephDoc::SetCornerTablesFailForTest(false);
    const int withTables = doc.FindCorners(&m_mapping, 1);
    const std::vector<Corner> tableCorners = Corners(doc);
    CZephDoc::SetCornerTablesFailForTest(true);
    const int withList = doc.FindCorners(&m_mapping, 1);
    CZephDoc::SetCornerTablesFailForTest(false);
    EXPECT_EQ(withTables, withList) << name;
    EXPECT_EQ(tableCorners, Corners(doc)) << name;
    return {withTables, tableCorners};
  }

  CViewMapping m_mapping;
};

template <typename... T>
std::vector<DrawItemPtr> List(T&&... items) {
  std::vector<DrawItemPtr> list;
  (list.push_back(std::forward<T>(items)), ...);
  return list;
}

TEST_F(CornersTest, CornersOfSmallDrawingsAgreeForBothLookups) {
  struct Case {
    std::string name;
    std::vector<DrawItemPtr> items;
    std::vector<Corner> corners;
  };
  std::vector<Case> cases;
  cases.push_back({"right angle",
                   List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000)),
                   {{0, 1}, {1, 0}}});
  cases.push_back({"rectangle",
                   List(MakeLine(0, 0, 2000, 0), MakeLine(2000, 0, 2000, 1000),
                        MakeLine(2000, 1000, 0, 1000), MakeLine(0, 1000, 0, 0)),
                   {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}}});
  cases.push_back({"lines meeting end to end, either way round",
                   List(MakeLine(1000, 0, 0, 0), MakeLine(1000, 1000, 1000, 0)),
                   {{0, 0}, {1, 1}}});
  cases.push_back(
      {"three lines at a point",
       List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000), MakeLine(1000, 0, 2000, -500)),
       {}});
  cases.push_back(
      {"an arc ending at the corner",
       List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000), MakeArc(1000, 0, 3000, 0, kPi)),
       {}});
  cases.push_back(
      {"an arc ending at the corner before the lines",
       List(MakeArc(3000, 0, 1000, 0, kPi), MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000)),
       {}});
  cases.push_back(
      {"a curve ending at the corner does not count",
       List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000), MakeCurve(1000, 0, 3000, 0)),
       {{0, 1}, {1, 0}}});
  cases.push_back(
      {"a circle through the corner does not count",
       List(MakeLine(0, 0, 1000, 0), MakeCircle(0, 0, 1000), MakeLine(1000, 0, 1000, 1000)),
       {{0, 1}, {2, 0}}});
  cases.push_back(
      {"collinear lines", List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 2000, 0)), {}});
  cases.push_back({"collinear slanting lines",
                   List(MakeLine(0, 0, 1000, 700), MakeLine(3000, 2100, 1000, 700)),
                   {}});
  cases.push_back(
      {"lines folding back", List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 500, 0)), {}});
  // Directions either side of the half turn differ by nearly a whole turn.
  cases.push_back({"lines folding back across the half turn",
                   List(MakeLine(200000, 1, 0, 0), MakeLine(0, 0, 200000, 0)),
                   {}});
  cases.push_back({"lines folding back across no turn",
                   List(MakeLine(-200000, 1, 0, 0), MakeLine(0, 0, -200000, 0)),
                   {}});
  cases.push_back({"a grouped line",
                   List(MakeLine(0, 0, 1000, 0), Grouped(MakeLine(1000, 0, 1000, 1000), 5)),
                   {}});
  cases.push_back({"a hidden line",
                   List(MakeLine(0, 0, 1000, 0), Invisible(MakeLine(1000, 0, 1000, 1000))),
                   {}});
  cases.push_back({"a grouped arc at the corner",
                   List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000),
                        Grouped(MakeArc(1000, 0, 3000, 0, kPi), 2)),
                   {{0, 1}, {1, 0}}});
  cases.push_back({"a corner outside the window",
                   List(MakeLine(20000, 0, 30000, 0), MakeLine(20000, 0, 20000, 5000)),
                   {}});
  cases.push_back({"a corner inside, the far ends outside",
                   List(MakeLine(-50000, 0, 0, 0), MakeLine(0, 0, 0, -70000)),
                   {{0, 1}, {1, 0}}});
  cases.push_back({"on the window's right edge (outside) and left edge (inside)",
                   List(MakeLine(10000, 0, 10000, 500), MakeLine(10000, 0, 9000, 0),
                        MakeLine(-10000, 0, -10000, 500), MakeLine(-10000, 0, -9000, 0)),
                   {{2, 0}, {3, 0}}});
  for (Case& c : cases) {
    auto doc = Drawing(std::move(c.items));
    const auto [answer, corners] = FindBothWays(*doc, c.name);
    EXPECT_EQ(answer, c.corners.empty() ? -1 : 1) << c.name;
    EXPECT_EQ(corners, c.corners) << c.name;
  }
}

TEST_F(CornersTest, ARandomDrawingGivesTheSameCornersByBothLookups) {
  // Lines between the points of a coarse lattice meet at shared ends in every way: two, three
  // or more at a point, straight on, folded back, with arcs among them.
  std::vector<DrawItemPtr> items;
  unsigned seed = 12345;
  const auto next = [&seed](int n) {
    seed = seed * 1103515245U + 12345U;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
  };
  for (int i = 0; i < 90; ++i) {
    const int x1 = (next(7) - 3) * 3000;
    const int y1 = (next(7) - 3) * 3000;
    const int x2 = (next(7) - 3) * 3000;
    const int y2 = (next(7) - 3) * 3000;
    if (x1 == x2 && y1 == y2) continue;
    if (next(8) == 0) {
      items.push_back(MakeArc(x1, y1, x2, y2, 1.0));
    } else {
      items.push_back(MakeLine(x1, y1, x2, y2));
    }
  }
  auto doc = Drawing(std::move(items));
  const auto [answer, corners] = FindBothWays(*doc, "random");
  EXPECT_EQ(answer, corners.empty() ? -1 : 1);
  // Every corner is a line end where exactly one other line ends and no arc does.
  for (const auto& [index, end] : corners) {
    const CDrawItem* line = doc->GetItem(index);
    ASSERT_EQ(line->GetType(), kItemLine);
    const int px = line->GetHandleX(end);
    const int py = line->GetHandleY(end);
    int lines = 0;
    int arcs = 0;
    for (int k = 0; k < doc->GetItemCount(); ++k) {
      const CDrawItem* other = doc->GetItem(k);
      if (k == index) continue;
      for (int h = 0; h < 2; ++h) {
        if (other->GetHandleX(h) != px || other->GetHandleY(h) != py) continue;
        (other->GetType() == kItemArc ? arcs : lines) += 1;
        break;
      }
    }
    EXPECT_EQ(lines, 1) << index << "/" << end;
    EXPECT_EQ(arcs, 0) << index << "/" << end;
  }
}

TEST_F(CornersTest, TheSizeOfTheDrawingLimitsEachSearch) {
  // Lines with both ends outside the window are counted but give no corner; one right angle
  // inside gives two corners whenever a search is made.
  const auto drawing = [this](int lines, int others) {
    std::vector<DrawItemPtr> items;
    items.push_back(MakeLine(0, 0, 1000, 0));
    items.push_back(MakeLine(1000, 0, 1000, 1000));
    for (int i = 2; i < lines; ++i) items.push_back(MakeLine(50000, i * 10, 60000, i * 10));
    for (int i = 0; i < others; ++i) items.push_back(MakeCircle(50000, i * 10, 100));
    return Drawing(std::move(items));
  };
  struct Case {
    int lines;
    int others;
    int quick;
    int interactive;
  };
  for (const Case& c : {Case{100, 0, 1, 1}, Case{101, 0, 0, 1}, Case{100, 400, 1, 1},
                        Case{100, 401, 0, 1}, Case{8000, 0, 0, 1}, Case{8001, 0, 0, -2}}) {
    auto doc = drawing(c.lines, c.others);
    EXPECT_EQ(doc->FindCorners(&m_mapping, 0), c.quick) << c.lines << " + " << c.others;
    EXPECT_EQ(doc->GetCornerCount(), c.quick == 1 ? 2 : 0) << c.lines << " + " << c.others;
    EXPECT_EQ(doc->FindCorners(&m_mapping, 1), c.interactive) << c.lines << " + " << c.others;
    EXPECT_EQ(doc->GetCornerCount(), c.interactive == 1 ? 2 : 0) << c.lines << " + " << c.others;
  }
  // Arcs count towards the limit as well.
  std::vector<DrawItemPtr> items;
  items.push_back(MakeLine(0, 0, 1000, 0));
  items.push_back(MakeLine(1000, 0, 1000, 1000));
  for (int i = 0; i < 99; ++i) items.push_back(MakeArc(50000, i * 10, 60000, i * 10, 1.0));
  auto doc = Drawing(std::move(items));
  EXPECT_EQ(doc->FindCorners(&m_mapping, 0), 0);
  EXPECT_EQ(doc->FindCorners(&m_mapping, 1), 1);
}

TEST_F(CornersTest, FewerThanTwoItemsOrLinesFindNothingAndEmptyTheList) {
  auto doc = Drawing(List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000)));
  ASSERT_EQ(doc->FindCorners(&m_mapping, 0), 1);
  ASSERT_EQ(doc->GetCornerCount(), 2);
  doc->RemoveItemAt(1);
  EXPECT_EQ(doc->FindCorners(&m_mapping, 1), -1);
  EXPECT_EQ(doc->GetCornerCount(), 0);
  auto texts = Drawing(List(MakeLine(0, 0, 1000, 0), MakeCircle(1000, 0, 10)));
  EXPECT_EQ(texts->FindCorners(&m_mapping, 1), -1);
  CZephDoc::SetCornerTablesFailForTest(true);
  EXPECT_EQ(texts->FindCorners(&m_mapping, 1), -1);
  EXPECT_EQ(zeph::StandInDesktop().cursor(), zeph::CursorShape::kOwn);
}

TEST_F(CornersTest, EveryWayOutOfAnInteractiveSearchPutsTheCursorBack) {
  const auto rightAngle = [] {
    return List(MakeLine(0, 0, 1000, 0), MakeLine(1000, 0, 1000, 1000));
  };
  std::vector<std::unique_ptr<CZephDoc>> docs;
  docs.push_back(Drawing(rightAngle()));                                        // found
  docs.push_back(Drawing(List(MakeLine(0, 0, 1000, 0), MakeCircle(0, 0, 5))));  // one line
  std::vector<DrawItemPtr> many;
  for (int i = 0; i < 8001; ++i) many.push_back(MakeLine(50000, i, 60000, i));
  docs.push_back(Drawing(std::move(many)));  // too many
  const std::vector<int> answers = {1, -1, -2};
  for (std::size_t i = 0; i < docs.size(); ++i) {
    for (bool tables : {true, false}) {
      CZephDoc::SetCornerTablesFailForTest(!tables);
      const int changes = zeph::StandInDesktop().cursorChanges();
      EXPECT_EQ(docs[i]->FindCorners(&m_mapping, 1), answers[i]) << i;
      EXPECT_EQ(zeph::StandInDesktop().cursorChanges(), changes + 2) << i;
      EXPECT_EQ(zeph::StandInDesktop().cursor(), zeph::CursorShape::kOwn) << i;
      EXPECT_FALSE(g_savedCursor.has_value()) << i;
    }
  }
  // The quick search leaves the cursor alone.
  const int changes = zeph::StandInDesktop().cursorChanges();
  EXPECT_EQ(docs[0]->FindCorners(&m_mapping, 0), 1);
  EXPECT_EQ(docs[2]->FindCorners(&m_mapping, 0), 0);
  EXPECT_EQ(zeph::StandInDesktop().cursorChanges(), changes);
  // A wait cursor the caller shows stays up.
  ShowWaitCursor();
  EXPECT_EQ(docs[0]->FindCorners(&m_mapping, 1), 1);
  EXPECT_EQ(zeph::StandInDesktop().cursor(), zeph::CursorShape::kWait);
  HideWaitCursor();
  EXPECT_EQ(zeph::StandInDesktop().cursor(), zeph::CursorShape::kOwn);
}

TEST_F(CornersTest, AFullCornerListDropsTheRest) {
  // 2100 right angles in the window give 4200 corners; the list holds 4096.
  std::vector<DrawItemPtr> items;
  for (int i = 0; i < 2100; ++i) {
    const int x = -9000 + (i % 60) * 300;
    const int y = -9000 + (i / 60) * 500;
    items.push_back(MakeLine(x, y, x + 200, y));
    items.push_back(MakeLine(x + 200, y, x + 200, y + 300));
  }
  auto doc = Drawing(std::move(items));
  EXPECT_EQ(doc->FindCorners(&m_mapping, 1), 1);
  EXPECT_EQ(doc->GetCornerCount(), kCornerListLimit);
  EXPECT_EQ(doc->GetCornerCapacity(), kCornerListLimit);
  // In list order, the start of a line before its end.
  for (int i = 0; i < kCornerListLimit; ++i) {
    EXPECT_EQ(doc->GetCornerAt(i).GetItem(), i) << i;
    EXPECT_EQ(doc->GetCornerAt(i).GetPoint(), 1 - i % 2) << i;
  }
}

}  // namespace
