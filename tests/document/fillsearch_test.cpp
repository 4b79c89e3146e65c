// The fill search over drawings built in code: the region found from a click, its holes, the
// items it leaves out, its messages, and the drawing left exactly as it was.
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "document/doc_fixture.h"
#include "document/document.h"
#include "document/fillsearch.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/intersect.h"
#include "items/usedsegments.h"
#include "platform/desktop.h"
#include "support/log.h"
#include "support/strings.h"

namespace {

// One item of a drawing table.
struct Shape {
  enum Kind { kLine, kCircle, kArc, kCurve, kText, kDimension } kind;
  std::vector<double> v;  // line/dimension: x1 y1 x2 y2; circle: cx cy r; arc: sx sy ex ey
                          // angle; curve: sx sy c1x c1y c2x c2y ex ey; text: x y
  bool hidden = false;
};

Shape L(int x1, int y1, int x2, int y2) { return {Shape::kLine, {double(x1), double(y1), double(x2), double(y2)}}; }
Shape HiddenL(int x1, int y1, int x2, int y2) {
  Shape s = L(x1, y1, x2, y2);
  s.hidden = true;
  return s;
}
Shape C(int cx, int cy, int r) { return {Shape::kCircle, {double(cx), double(cy), double(r)}}; }
Shape A(int sx, int sy, int ex, int ey, double angle) {
  return {Shape::kArc, {double(sx), double(sy), double(ex), double(ey), angle}};
}
Shape B(int sx, int sy, double c1x, double c1y, double c2x, double c2y, int ex, int ey) {
  return {Shape::kCurve, {double(sx), double(sy), c1x, c1y, c2x, c2y, double(ex), double(ey)}};
}
Shape T(int x, int y) { return {Shape::kText, {double(x), double(y)}}; }
Shape D(int x1, int y1, int x2, int y2) {
  return {Shape::kDimension, {double(x1), double(y1), double(x2), double(y2)}};
}

// The four sides of a rectangle.
std::vector<Shape> Rect(int x0, int y0, int x1, int y1) {
  return {L(x0, y0, x1, y0), L(x1, y0, x1, y1), L(x1, y1, x0, y1), L(x0, y1, x0, y0)};
}

std::vector<Shape> Join(std::initializer_list<std::vector<Shape>> parts) {
  std::vector<Shape> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

DrawItemPtr MakeShape(const Shape& s) {
  const auto i = [&](int k) { return static_cast<int>(s.v[static_cast<std::size_t>(k)]); };
  DrawItemPtr item;
  switch (s.kind) {
    case Shape::kLine:
      item = MakeLine(i(0), i(1), i(2), i(3));
      break;
    case Shape::kCircle:
      item = MakeCircle(i(0), i(1), i(2));
      break;
    case Shape::kArc:
      item = CreateItem(kItemArc);
      item->SetStart(i(0), i(1));
      item->SetEnd(i(2), i(3));
      item->SetAngle(s.v[4]);
      item->Recalculate();
      break;
    case Shape::kCurve:
      item = CreateItem(kItemBezier);
      item->SetStart(i(0), i(1));
      item->SetEnd(i(6), i(7));
      item->SetControlPoint(0, s.v[2], s.v[3]);
      item->SetControlPoint(1, s.v[4], s.v[5]);
      break;
    case Shape::kText:
      item = CreateItem(kItemText);
      item->SetPosition(i(0), i(1));
      item->SetText(QStringLiteral("Kitchen"));
      break;
    case Shape::kDimension:
      item = CreateItem(kItemDimension);
      item->SetStart(i(0), i(1));
      item->SetEnd(i(2), i(3));
      break;
  }
  if (s.hidden) item->SetHidden();
  return item;
}

void Build(CZephDoc& doc, const std::vector<Shape>& shapes) {
  for (const Shape& s : shapes) {
    DrawItemPtr item = MakeShape(s);
    ASSERT_EQ(doc.AddItem(item), 1) << "shape of kind " << s.kind;
  }
}

// Every item's kind, handles, exact geometry and attributes, as text.
std::string Dump(const CZephDoc& doc) {
  std::string out;
  char buffer[256];
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    std::snprintf(buffer, sizeof buffer, "%d type %d colour %d object %d group %d state %d:",
                  i, item->GetType(), item->GetColour(), item->GetObjectNumber(),
                  item->GetGroupNumber(), item->GetState());
    out += buffer;
    for (int h = 0; h < item->GetHandleCount(); ++h) {
      std::snprintf(buffer, sizeof buffer, " (%d, %d)", item->GetHandleX(h), item->GetHandleY(h));
      out += buffer;
    }
    const int type = item->GetType();
    if (type == kItemLine) {
      std::snprintf(buffer, sizeof buffer, " style %d pen %d", item->GetLineStyle(),
                    item->GetPenWidth());
      out += buffer;
    } else if (type == kItemArc) {
      double cx = 0;
      double cy = 0;
      double r = 0;
      item->GetCircle(cx, cy, r);
      std::snprintf(buffer, sizeof buffer, " angle %a centre %a %a radius %a", item->GetAngle(),
                    cx, cy, r);
      out += buffer;
    } else if (type == kItemBezier) {
      for (int c = 0; c < 2; ++c) {
        double x = 0;
        double y = 0;
        item->GetControlPoint(c, x, y);
        std::snprintf(buffer, sizeof buffer, " control %a %a", x, y);
        out += buffer;
      }
    }
    out += "\n";
  }
  return out;
}

// Inside the fill's region: strictly inside its outer loop and outside its holes.
bool Covers(const CDrawItem& fill, int x, int y) {
  const CBoundaryLoop* outer = fill.GetBoundary();
  return outer != nullptr && outer->ContainsPoint(x, y, 0) != 0 && fill.IsInHole(x, y) == 0;
}

struct Box {
  int minX;
  int minY;
  int maxX;
  int maxY;
  friend bool operator==(const Box&, const Box&) = default;
};
Box BoxOf(const CBoundaryLoop* loop) {
  Box box{0, 0, 0, 0};
  if (loop != nullptr) loop->GetBoundingBox(box.minX, box.minY, box.maxX, box.maxY);
  return box;
}
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "[" << b.minX << ", " << b.minY << " .. " << b.maxX << ", " << b.maxY << "]";
}

class FillSearchTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetLogState();
  }
  void TearDown() override {
    SetPathNodeLimitForTest(0);
    DocumentTest::TearDown();
  }

  // Runs the search and checks what every search must keep: the drawing as it was, no undo
  // record, the cursor put back, at most one message.
  DrawItemPtr Fill(CZephDoc& doc, int x, int y) {
    const std::string before = Dump(doc);
    const int records = doc.GetJournal().undoCount;
    const int changed = doc.IsChanged();
    const zeph::CursorShape cursor = zeph::StandInDesktop().cursor();
    presenter.Clear();
    DrawItemPtr fill = doc.FillAreaAtPoint(x, y);
    EXPECT_EQ(Dump(doc), before) << "the drawing changed";
    EXPECT_EQ(doc.GetJournal().undoCount, records);
    EXPECT_EQ(doc.IsChanged(), changed);
    EXPECT_EQ(zeph::StandInDesktop().cursor(), cursor);
    EXPECT_LE(presenter.shown().size(), 1u);
    if (fill) {
      EXPECT_TRUE(presenter.shown().empty());
      EXPECT_EQ(fill->GetType(), kItemFill);
      EXPECT_EQ(fill->GetDocument(), nullptr);
      EXPECT_EQ(doc.GetFillSearchState().outerLoop, fill->GetBoundary());
      EXPECT_EQ(doc.GetFillSearchState().holeSearch, 1);
    } else {
      EXPECT_EQ(doc.GetFillSearchState().outerLoop, nullptr);
      EXPECT_EQ(doc.GetFillSearchState().holeSearch, 0);
    }
    return fill;
  }

  bool ShowedNoBoundary() const {
    return presenter.shown().size() == 1 &&
           presenter.shown()[0].text == LoadProgramString(368);
  }
};

// ---- Regions of drawings built in code ----

struct RegionCase {
  const char* name;
  std::vector<Shape> shapes;
  int x;
  int y;
  Box outer;
  int holes;
  std::vector<std::pair<int, int>> inside;   // points the fill must cover
  std::vector<std::pair<int, int>> outside;  // points it must not
  bool clickCovered = true;                  // false: the click lies on a hole's outline
};

TEST_F(FillSearchTest, FindsTheRegionAroundThePoint) {
  const std::vector<RegionCase> cases = {
      {"inner of two nested rectangles",
       Join({Rect(0, 0, 10000, 10000), Rect(3000, 3000, 7000, 7000)}),
       5000, 5000, {3000, 3000, 7000, 7000}, 0, {{4000, 6000}}, {{2000, 5000}, {8000, 5000}}},
      {"ring between two nested rectangles",
       Join({Rect(0, 0, 10000, 10000), Rect(3000, 3000, 7000, 7000)}),
       1500, 5000, {0, 0, 10000, 10000}, 1, {{1500, 1500}, {8500, 5000}},
       {{5000, 5000}, {11000, 5000}}},
      {"island to the right of the point becomes a hole",
       Join({Rect(0, 0, 10000, 10000), Rect(6000, 4000, 8000, 6000)}),
       3000, 5000, {0, 0, 10000, 10000}, 1, {{3000, 5000}, {9000, 5000}}, {{7000, 5000}}},
      {"a point on a square's side is not inside it",
       Join({Rect(0, 0, 10000, 10000), Rect(3000, 3000, 7000, 7000)}),
       7000, 5000, {0, 0, 10000, 10000}, 1, {{8000, 5000}}, {{5000, 5000}}, false},
      {"two identical lines count once",
       Join({Rect(0, 0, 10000, 10000), {L(0, 10000, 0, 0)}}),
       5000, 5000, {0, 0, 10000, 10000}, 0, {{100, 5000}}, {{-100, 5000}}},
      {"collinear lines overlapping in part close the side",
       {L(0, 0, 10000, 0), L(10000, 0, 10000, 10000), L(10000, 10000, 0, 10000),
        L(0, 10000, 0, 4000), L(0, 6000, 0, 0)},
       5000, 5000, {0, 0, 10000, 10000}, 0, {{100, 5000}}, {{-100, 5000}}},
      {"a chain of three overlapping lines",
       {L(0, 0, 10000, 0), L(10000, 0, 10000, 10000), L(10000, 10000, 0, 10000),
        L(0, 0, 0, 6000), L(0, 4000, 0, 10000), L(0, 0, 0, 10000)},
       5000, 5000, {0, 0, 10000, 10000}, 0, {{100, 5000}}, {{-100, 5000}}},
      {"a circle inside a square is a hole",
       Join({Rect(0, 0, 10000, 10000), {C(5000, 5000, 2000)}}),
       1000, 5000, {0, 0, 10000, 10000}, 1, {{1000, 1000}}, {{5000, 5000}}},
      {"inside a circle",
       Join({Rect(0, 0, 10000, 10000), {C(5000, 5000, 2000)}}),
       5000, 5500, {3000, 3000, 7000, 7000}, 0, {{5000, 3500}}, {{1000, 1000}}},
      {"tangent circles: only the clicked one",
       {C(3000, 3000, 2000), C(7000, 3000, 2000)},
       2500, 3500, {1000, 1000, 5000, 5000}, 0, {{4500, 3000}}, {{5500, 3000}}},
      {"a curve closes the region over a line",
       {L(0, 0, 10000, 0), B(10000, 0, 10000, 8000, 0, 8000, 0, 0)},
       5000, 2000, {0, 0, 10000, 6000}, 0, {{5000, 5500}, {1000, 1000}}, {{5000, 7000}}},
      {"an arc closes the region over a line",
       {L(-5000, 0, 5000, 0), A(5000, 0, -5000, 0, M_PI)},
       0, 2000, {-5000, 0, 5000, 5000}, 0, {{0, 4500}}, {{0, -500}}},
      {"hidden items, texts and dimensions never bound",
       Join({Rect(0, 0, 10000, 10000),
             {HiddenL(5000, 0, 5000, 10000), D(2000, 0, 2000, 10000), T(3000, 5000)}}),
       7000, 5000, {0, 0, 10000, 10000}, 0, {{1000, 5000}, {9000, 5000}}, {}},
      {"a line sticking into the room is walked round",
       Join({Rect(0, 0, 10000, 10000), {L(0, 5000, 4000, 5000)}}),
       6000, 5000, {0, 0, 10000, 10000}, 0, {{1000, 4000}, {1000, 6000}}, {}},
      {"lines crossing beyond the corners",
       {L(-1000, 0, 11000, 0), L(10000, -1000, 10000, 11000), L(11000, 10000, -1000, 10000),
        L(0, 11000, 0, -1000)},
       5000, 5000, {0, 0, 10000, 10000}, 0, {{500, 500}}, {{-500, 5000}}},
  };
  for (const RegionCase& c : cases) {
    SCOPED_TRACE(c.name);
    CZephDoc doc;
    Build(doc, c.shapes);
    DrawItemPtr fill = Fill(doc, c.x, c.y);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(Covers(*fill, c.x, c.y), c.clickCovered);
    EXPECT_TRUE(fill->GetBoundary()->ContainsPoint(c.x, c.y, 0));
    EXPECT_EQ(BoxOf(fill->GetBoundary()), c.outer);
    EXPECT_EQ(fill->GetHoleCount(), c.holes);
    for (auto [x, y] : c.inside) EXPECT_TRUE(Covers(*fill, x, y)) << x << ", " << y;
    for (auto [x, y] : c.outside) EXPECT_FALSE(Covers(*fill, x, y)) << x << ", " << y;
    EXPECT_EQ(g_glitchCount, 0);
    // The same again: nothing of the first search carries over.
    DrawItemPtr again = Fill(doc, c.x, c.y);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(BoxOf(again->GetBoundary()), c.outer);
    EXPECT_EQ(again->GetHoleCount(), c.holes);
  }
}

TEST_F(FillSearchTest, AnIslandInsideAHoleIsNoHoleOfTheFill) {
  CZephDoc doc;
  Build(doc, Join({Rect(0, 0, 10000, 10000), Rect(2000, 2000, 8000, 8000),
                   Rect(4000, 4000, 6000, 6000)}));
  DrawItemPtr fill = Fill(doc, 1000, 5000);
  ASSERT_NE(fill, nullptr);
  ASSERT_EQ(fill->GetHoleCount(), 1);
  EXPECT_EQ(BoxOf(fill->GetHole(0)), (Box{2000, 2000, 8000, 8000}));
  EXPECT_FALSE(Covers(*fill, 5000, 5000));
}

struct NoFillCase {
  const char* name;
  std::vector<Shape> shapes;
  int x;
  int y;
};

TEST_F(FillSearchTest, WithoutAClosedBoundaryTheUserIsTold) {
  const std::vector<NoFillCase> cases = {
      {"an empty drawing", {}, 0, 0},
      {"nothing to the left", Rect(0, 0, 1000, 1000), -500, 500},
      {"a crossing at the point's own x does not count", Rect(0, 0, 1000, 1000), 0, 500},
      {"an open outline", {L(0, 0, 10000, 0), L(10000, 0, 10000, 10000), L(0, 10000, 0, 0)},
       5000, 5000},
      {"an outline of hidden lines",
       {HiddenL(0, 0, 1000, 0), HiddenL(1000, 0, 1000, 1000), HiddenL(1000, 1000, 0, 1000),
        HiddenL(0, 1000, 0, 0)},
       500, 500},
      {"texts and dimensions only", {T(0, 0), D(-1000, -1000, -1000, 1000)}, 500, 0},
      {"a point on the outline of the only shape", Rect(0, 0, 1000, 1000), 1000, 500},
  };
  for (const NoFillCase& c : cases) {
    SCOPED_TRACE(c.name);
    CZephDoc doc;
    Build(doc, c.shapes);
    EXPECT_EQ(Fill(doc, c.x, c.y), nullptr);
    EXPECT_TRUE(ShowedNoBoundary());
    EXPECT_EQ(doc.GetFillSearchState().x, c.x);
    EXPECT_EQ(doc.GetFillSearchState().y, c.y);
  }
}

// ---- Temporary end moves ----

TEST_F(FillSearchTest, EveryItemGetsItsOwnEndsBackWhateverItsCode) {
  // The second side line is merged into the third for the search and then found to repeat the
  // fourth: it is left out, and must still get its own end back.
  const std::vector<std::vector<Shape>> drawings = {
      {L(0, 0, 10000, 0), L(10000, 0, 10000, 10000), L(10000, 10000, 0, 10000),
       L(0, 0, 0, 6000), L(0, 4000, 0, 10000), L(0, 0, 0, 10000)},
      {L(0, 0, 10000, 0), L(10000, 0, 10000, 10000), L(10000, 10000, 0, 10000),
       L(0, 10000, 0, 5000), L(0, 7000, 0, 2000), L(0, 3000, 0, 0), L(0, 0, 0, 10000)},
      {A(4000, 0, -4000, 0, M_PI), A(0, 4000, 0, -4000, M_PI), L(-4000, 0, 4000, 0)},
  };
  for (const auto& shapes : drawings) {
    for (const auto& [x, y] : {std::pair{5000, 5000}, std::pair{-20000, 5000}}) {
      CZephDoc doc;
      Build(doc, shapes);
      Fill(doc, x, y);  // checks the drawing is unchanged, success or failure
    }
  }
}

TEST_F(FillSearchTest, ACurveCrossingAMergedArcGivesTheSameFillBeforeAndAfter) {
  // The two arcs of one circle overlap, so the later one is stretched over the earlier for
  // the search; the curve crosses the stretch, so a crossing cached while the arc is
  // stretched would no longer lie on it afterwards.
  CZephDoc doc;
  Build(doc, {A(5000, 0, -5000, 0, M_PI), A(0, 5000, 0, -5000, M_PI), L(-5000, 0, 5000, 0),
              B(1000, -1000, 2000, 1000, 4000, 5000, 6000, 6000)});
  CDrawItem* arc = doc.GetItem(1);
  CDrawItem* curve = doc.GetItem(3);
  const int before = curve->IntersectWith(arc);
  EXPECT_EQ(before, 0);

  for (const auto& [x, y] : {std::pair{-2000, 1000}, std::pair{4000, 500}}) {
    SCOPED_TRACE(x);
    DrawItemPtr first = Fill(doc, x, y);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(curve->IntersectWith(arc), before);
    EXPECT_EQ(arc->IntersectWith(curve), before);
    DrawItemPtr second = Fill(doc, x, y);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(BoxOf(second->GetBoundary()), BoxOf(first->GetBoundary()));
    EXPECT_EQ(second->GetBoundary()->GetCount(), first->GetBoundary()->GetCount());
    EXPECT_EQ(first->GetBoundary()->GetCount(), 3);
    EXPECT_TRUE(Covers(*second, x, y));
  }
  EXPECT_EQ(curve->IntersectWith(arc), before);
}

// ---- Used marks ----

TEST_F(FillSearchTest, MarksTellWhatTheSearchMadeOfEachItem) {
  CZephDoc doc;
  Build(doc, Join({Rect(0, 0, 10000, 10000), Rect(6000, 4000, 8000, 6000),
                   {L(0, 10000, 10000, 10000), HiddenL(1, 1, 2, 2), T(5000, 5000)}}));
  DrawItemPtr fill = Fill(doc, 3000, 5000);
  ASSERT_NE(fill, nullptr);
  for (int i = 0; i < 8; ++i) {
    const int state = doc.GetItem(i)->GetUsedState();
    EXPECT_TRUE(state == 1 || state == -3) << i << ": " << state;
  }
  EXPECT_EQ(doc.GetItem(2)->GetUsedState(), -3);  // repeated by item 8
  EXPECT_EQ(doc.GetItem(8)->GetUsedState(), 1);
  EXPECT_EQ(doc.GetItem(9)->GetUsedState(), -1);
  EXPECT_EQ(doc.GetItem(10)->GetUsedState(), -2);
}

TEST_F(FillSearchTest, RenumberingAndClearingReachEveryItem) {
  CZephDoc doc;
  Build(doc, {L(0, 0, 100, 0), L(0, 10, 100, 10)});
  for (int i = 0; i < 2; ++i) doc.GetItem(i)->MarkAllUsed(0);
  doc.GetItem(0)->MarkUsed(0, 0, 50, 0, 100);
  doc.GetItem(0)->MarkUsed(50, 0, 100, 0, 101);
  doc.GetItem(1)->MarkUsed(0, 10, 40, 10, 102);
  doc.GetFillSearchState().traceCode = 101;
  doc.RenumberUsedMarks(1);
  EXPECT_EQ(doc.GetItem(0)->GetUsedCodeAt(25, 0), 0);
  EXPECT_EQ(doc.GetItem(0)->GetUsedCodeAt(75, 0), 1);
  EXPECT_EQ(doc.GetItem(1)->GetUsedCodeAt(20, 10), 1);
  doc.GetItem(1)->MarkUsed(60, 10, 80, 10, 103);
  doc.ClearUsedMarksFrom(-1);
  EXPECT_EQ(doc.GetItem(1)->GetUsedCodeAt(70, 10), 0);
  EXPECT_EQ(doc.GetItem(1)->GetUsedCodeAt(20, 10), 1);
}

// ---- Bounds ----

// A walk stopped at its bound rejects its start as one that ran out of room would; when no
// start is left the user hears that the fill could not be made (a boundary may well exist).
TEST_F(FillSearchTest, AWalkStoppedAtItsBoundEndsTheSearchWithOneMessage) {
  CZephDoc doc;
  std::vector<Shape> grid;
  for (int k = 0; k <= 10; ++k) {
    grid.push_back(L(0, k * 1000, 10000, k * 1000));
    grid.push_back(L(k * 1000, 0, k * 1000, 10000));
  }
  // Overlapping pieces, so that ends are moved for the search.
  grid.push_back(L(0, 2500, 0, 7500));
  grid.push_back(L(-500, 5000, 2000, 5000));
  Build(doc, grid);
  SetPathNodeLimitForTest(3);
  EXPECT_EQ(Fill(doc, 5500, 5500), nullptr);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(presenter.shown()[0].text, LoadProgramString(369));
  EXPECT_TRUE(WasPathNodeLimitReached());
  EXPECT_EQ(doc.GetFillSearchState().traceFailure, 2);

  SetPathNodeLimitForTest(0);
  DrawItemPtr fill = Fill(doc, 5500, 5500);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(BoxOf(fill->GetBoundary()), (Box{5000, 5000, 6000, 6000}));
  EXPECT_LE(g_pathNodeCount, GetPathNodeLimit());
}

TEST_F(FillSearchTest, TheMessageForAnInternalFailureNamesNoRealAddress) {
  const QString text = LoadProgramString(369);
  EXPECT_TRUE(text.startsWith(QStringLiteral("Sorry - Zephorin has not been able to fill")));
  EXPECT_TRUE(text.endsWith(QStringLiteral("@example.org")));
  EXPECT_EQ(LoadProgramString(368),
            QStringLiteral("Sorry - Zephorin cannot find a\nclosed boundary around the point\n"
                           "where you have chosen to fill."));
}

// ---- Random drawings ----

// A raster of a drawing: its items as walls one pixel thick, for checking a fill against the
// face of the drawing the click lies in.
class CWallRaster {
 public:
  static constexpr int kSize = 800;
  CWallRaster(int origin, int pixel) : m_origin(origin), m_pixel(pixel), m_wall(kSize * kSize, 0) {}

  void AddShape(const Shape& s) {
    const double step = m_pixel / 4.0;
    if (s.kind == Shape::kLine) {
      const double dx = s.v[2] - s.v[0];
      const double dy = s.v[3] - s.v[1];
      const int n = static_cast<int>(std::hypot(dx, dy) / step) + 1;
      for (int k = 0; k <= n; ++k) Mark(s.v[0] + dx * k / n, s.v[1] + dy * k / n);
    } else if (s.kind == Shape::kCircle || s.kind == Shape::kArc) {
      double cx = 0;
      double cy = 0;
      double r = 0;
      double a0 = 0;
      double sweep = 2 * M_PI;
      if (s.kind == Shape::kCircle) {
        cx = s.v[0];
        cy = s.v[1];
        r = s.v[2];
      } else {
        cx = s.v[5];
        cy = s.v[6];
        r = std::hypot(s.v[0] - cx, s.v[1] - cy);
        a0 = std::atan2(s.v[1] - cy, s.v[0] - cx);
        sweep = s.v[4];
      }
      const int n = static_cast<int>(r * sweep / step) + 1;
      for (int k = 0; k <= n; ++k) {
        const double a = a0 + sweep * k / n;
        Mark(cx + r * std::cos(a), cy + r * std::sin(a));
      }
    }
  }

  int Column(double x) const { return static_cast<int>(std::floor((x - m_origin) / m_pixel)); }
  int CentreOf(int index) const { return m_origin + index * m_pixel + m_pixel / 2; }
  bool IsWall(int c, int r) const { return m_wall[Slot(c, r)] != 0; }
  // No wall within two pixels.
  bool IsClear(int c, int r) const {
    for (int dr = -2; dr <= 2; ++dr) {
      for (int dc = -2; dc <= 2; ++dc) {
        const int cc = c + dc;
        const int rr = r + dr;
        if (cc >= 0 && cc < kSize && rr >= 0 && rr < kSize && IsWall(cc, rr)) return false;
      }
    }
    return true;
  }

  // The pixels reachable from (c, r) without crossing a wall; whether the border was reached.
  // Filled a run of a row at a time.
  bool Flood(int c, int r, std::vector<std::uint8_t>& reached) const {
    reached.assign(static_cast<std::size_t>(kSize) * kSize, 0);
    std::vector<std::pair<int, int>> stack = {{c, r}};
    bool border = false;
    const auto open = [&](int cc, int rr) {
      const std::size_t slot = Slot(cc, rr);
      return m_wall[slot] == 0 && reached[slot] == 0;
    };
    while (!stack.empty()) {
      const auto [sc, sr] = stack.back();
      stack.pop_back();
      if (!open(sc, sr)) continue;
      int left = sc;
      while (left > 0 && open(left - 1, sr)) --left;
      int right = sc;
      while (right < kSize - 1 && open(right + 1, sr)) ++right;
      if (left == 0 || right == kSize - 1 || sr == 0 || sr == kSize - 1) border = true;
      for (int x = left; x <= right; ++x) reached[Slot(x, sr)] = 1;
      for (const int nr : {sr - 1, sr + 1}) {
        if (nr < 0 || nr >= kSize) continue;
        bool inRun = false;
        for (int x = left; x <= right; ++x) {
          const bool o = open(x, nr);
          if (o && !inRun) stack.push_back({x, nr});
          inRun = o;
        }
      }
    }
    return border;
  }

 private:
  std::size_t Slot(int c, int r) const {
    return static_cast<std::size_t>(r) * kSize + static_cast<std::size_t>(c);
  }
  void Mark(double x, double y) {
    const int c = Column(x);
    const int r = Column(y);
    if (c >= 0 && c < kSize && r >= 0 && r < kSize) m_wall[Slot(c, r)] = 1;
  }

  int m_origin;
  int m_pixel;
  std::vector<std::uint8_t> m_wall;
};

// Whether a new circle of centre (cx, cy) and radius r would touch one of the drawing's
// circles or arcs without crossing it: two round outlines that only touch leave the walk no
// way to tell which side of the touching point it is on.
bool TouchesARoundShape(const std::vector<Shape>& shapes, int cx, int cy, int r) {
  for (const Shape& s : shapes) {
    double ox = 0;
    double oy = 0;
    double orad = 0;
    if (s.kind == Shape::kCircle) {
      ox = s.v[0];
      oy = s.v[1];
      orad = s.v[2];
    } else if (s.kind == Shape::kArc) {
      ox = s.v[5];
      oy = s.v[6];
      orad = std::hypot(s.v[0] - ox, s.v[1] - oy);
    } else {
      continue;
    }
    const double d = std::hypot(ox - cx, oy - cy);
    if (d == 0.0) continue;
    if (std::abs(d - (orad + r)) < 1.0 || std::abs(d - std::abs(orad - r)) < 1.0) return true;
  }
  return false;
}

// Lines, circles and arcs on a lattice, so that near misses are never finer than the raster:
// pieces meet exactly or stay several pixels apart. Some lines repeat others in whole or in
// part.
std::vector<Shape> RandomDrawing(std::mt19937& random, int unit) {
  std::uniform_int_distribution<int> lattice(0, 8);
  std::uniform_int_distribution<int> inner(2, 6);
  std::uniform_int_distribution<int> radius(1, 2);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> count(6, 22);
  std::vector<Shape> shapes;
  const int n = count(random);
  for (int i = 0; i < n; ++i) {
    const int k = kind(random);
    if (k <= 5) {
      int x1 = lattice(random);
      int y1 = lattice(random);
      int x2 = lattice(random);
      int y2 = lattice(random);
      if (x1 == x2 && y1 == y2) x2 = (x2 + 3) % 9;
      shapes.push_back(L(x1 * unit, y1 * unit, x2 * unit, y2 * unit));
      if (k == 0) {
        // A repeat, reversed, or a collinear piece overlapping the line's second half.
        if (random() % 2 == 0) {
          shapes.push_back(L(x2 * unit, y2 * unit, x1 * unit, y1 * unit));
        } else {
          shapes.push_back(L((x1 + x2) * unit / 2, (y1 + y2) * unit / 2, (2 * x2 - x1) * unit,
                             (2 * y2 - y1) * unit));
        }
      }
    } else if (k <= 7) {
      const int cx = inner(random) * unit;
      const int cy = inner(random) * unit;
      const int r = radius(random) * unit;
      if (!TouchesARoundShape(shapes, cx, cy, r)) shapes.push_back(C(cx, cy, r));
    } else {
      const int cx = inner(random) * unit;
      const int cy = inner(random) * unit;
      const int r = radius(random) * unit;
      if (TouchesARoundShape(shapes, cx, cy, r)) continue;
      const int quarter = static_cast<int>(random() % 4);
      const int quarters = 1 + static_cast<int>(random() % 3);
      const auto at = [&](int q) {
        const int qq = q % 4;
        return std::pair{cx + (qq == 0 ? r : qq == 2 ? -r : 0), cy + (qq == 1 ? r : qq == 3 ? -r : 0)};
      };
      const auto [sx, sy] = at(quarter);
      const auto [ex, ey] = at(quarter + quarters);
      Shape arc = A(sx, sy, ex, ey, quarters * M_PI / 2);
      arc.v.push_back(cx);
      arc.v.push_back(cy);
      shapes.push_back(arc);
    }
  }
  return shapes;
}

TEST_F(FillSearchTest, RandomDrawingsGiveTheFaceOfTheClickWhenTheyGiveAFill) {
  constexpr int kUnit = 10000;
  constexpr int kPixel = 120;
  constexpr int kOrigin = -8000;
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> place(0.05, 7.95);
  std::vector<std::uint8_t> reached;
  int fills = 0;
  int refusals = 0;
  int missed = 0;
  for (int drawing = 0; drawing < 20; ++drawing) {
    const std::vector<Shape> shapes = RandomDrawing(random, kUnit);
    CZephDoc doc;
    Build(doc, shapes);
    CWallRaster raster(kOrigin, kPixel);
    for (const Shape& s : shapes) raster.AddShape(s);
    for (int click = 0; click < 4; ++click) {
      const int c = raster.Column(place(random) * kUnit);
      const int r = raster.Column(place(random) * kUnit);
      if (!raster.IsClear(c, r)) continue;
      const int x = raster.CentreOf(c);
      const int y = raster.CentreOf(r);
      SCOPED_TRACE(testing::Message() << "drawing " << drawing << " click " << x << ", " << y);
      const bool open = raster.Flood(c, r, reached);
      DrawItemPtr fill = Fill(doc, x, y);
      if (open) {
        EXPECT_EQ(fill, nullptr);
        EXPECT_TRUE(ShowedNoBoundary());
        ++refusals;
        continue;
      }
      if (!fill) {
        // A closed face may still go unfilled: an outline tried first and rejected keeps its
        // items from being starts again (tangent circles can lead the walk off the face).
        ++missed;
        continue;
      }
      ++fills;
      EXPECT_TRUE(Covers(*fill, x, y));
      // The fill is the click's face: it covers what the click reaches, and nothing beyond
      // an item.
      int wrong = 0;
      for (int pr = 1; pr < CWallRaster::kSize - 1 && wrong < 5; pr += 8) {
        for (int pc = 1; pc < CWallRaster::kSize - 1 && wrong < 5; pc += 8) {
          if (!raster.IsClear(pc, pr)) continue;
          const bool covered = Covers(*fill, raster.CentreOf(pc), raster.CentreOf(pr));
          const bool inFace = reached[static_cast<std::size_t>(pr) * CWallRaster::kSize + pc] != 0;
          if (covered != inFace) {
            ++wrong;
            ADD_FAILURE() << "pixel " << raster.CentreOf(pc) << ", " << raster.CentreOf(pr)
                          << (covered ? " filled outside the face" : " of the face not filled");
          }
        }
      }
    }
  }
  EXPECT_GT(fills, 10);
  EXPECT_GT(refusals, 3);
  EXPECT_LT(missed, fills / 4);
}

TEST_F(FillSearchTest, ASearchOnADenseDrawingEndsWithinItsBounds) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 20000);
  CZephDoc doc;
  std::vector<Shape> shapes;
  for (int i = 0; i < 300; ++i) {
    shapes.push_back(L(coordinate(random), coordinate(random), coordinate(random),
                       coordinate(random)));
  }
  for (int i = 0; i < 20; ++i) {
    shapes.push_back(C(coordinate(random), coordinate(random), 500 + coordinate(random) / 10));
  }
  Build(doc, shapes);
  for (const auto& [x, y] : {std::pair{10001, 10003}, std::pair{3001, 17003},
                             std::pair{15001, 5003}, std::pair{-5000, 10000}}) {
    DrawItemPtr fill = Fill(doc, x, y);
    EXPECT_LE(g_pathNodeCount, GetPathNodeLimit());
    if (fill) {
      EXPECT_TRUE(Covers(*fill, x, y));
    }
  }
  // With a small bound the same searches stop early, each with its one message.
  SetPathNodeLimitForTest(50);
  for (const auto& [x, y] : {std::pair{10001, 10003}, std::pair{3001, 17003}}) {
    DrawItemPtr fill = Fill(doc, x, y);
    EXPECT_LE(g_pathNodeCount, 50);
  }
}

}  // namespace
