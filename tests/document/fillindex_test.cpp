// The fill search through its index against the plain search, in which every pass walks the
// whole item list and the continuations are bubble sorted: the same fill (outline and holes,
// edge by edge) or the same message, on drawings made to test the index's shortcuts —
// near-collinear and overlapping lines, steep lines, repeated circles and arcs, ellipses and
// curves, plans whose rooms share walls, islands, long random lines — and the bounds on the
// work of a search.
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "document/doc_fixture.h"
#include "document/document.h"
#include "document/fillsearch.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/floodedge.h"
#include "support/strings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A fill's outline and holes as text, edge by edge; "none" for no fill.
std::string FillText(const CDrawItem* fill) {
  if (fill == nullptr || fill->GetBoundary() == nullptr) return "none";
  std::string text;
  const auto add = [&](const CBoundaryLoop& loop) {
    text += "loop";
    for (int i = 0; i < loop.GetCount(); ++i) {
      const CFloodEdge* e = loop.GetEdge(i);
      text += " " + std::to_string(e->GetKind()) + ":" + std::to_string(e->GetStartX()) + "," +
              std::to_string(e->GetStartY()) + "-" + std::to_string(e->GetEndX()) + "," +
              std::to_string(e->GetEndY());
    }
    text += "\n";
  };
  add(*fill->GetBoundary());
  for (int h = 0; h < fill->GetHoleCount(); ++h) add(*fill->GetHole(h));
  return text;
}

class FillIndexTest : public DocumentTest {
 protected:
  void TearDown() override {
    SetPlainFillSearchForTest(false);
    SetSearchWorkLimitForTest(0);
    SetPathNodeLimitForTest(0);
    DocumentTest::TearDown();
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

  // The fill (or the message) of one search, as text.
  std::string Search(CZephDoc& doc, int x, int y, bool plain) {
    SetPlainFillSearchForTest(plain);
    presenter.Clear();
    DrawItemPtr fill = doc.FillAreaAtPoint(x, y);
    SetPlainFillSearchForTest(false);
    std::string text = FillText(fill.get());
    for (const auto& shown : presenter.shown()) text += " message " + shown.text.toStdString();
    return text;
  }

  // Both searches at every point; the number of points filled.
  int ExpectSameFills(CZephDoc& doc, const std::vector<std::pair<int, int>>& points) {
    int filled = 0;
    for (const auto& [x, y] : points) {
      SCOPED_TRACE(testing::Message() << "click " << x << ", " << y);
      const std::string indexed = Search(doc, x, y, false);
      const std::string plain = Search(doc, x, y, true);
      EXPECT_EQ(indexed, plain);
      if (indexed.rfind("loop", 0) == 0) ++filled;
    }
    return filled;
  }

  std::vector<std::pair<int, int>> RandomPoints(int count, int lo, int hi) {
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < count; ++i) points.emplace_back(Uniform(lo, hi) | 1, Uniform(lo, hi) | 1);
    return points;
  }

  static void Rect(CZephDoc& doc, int x0, int y0, int x1, int y1) {
    Add(doc, MakeLine(x0, y0, x1, y0));
    Add(doc, MakeLine(x1, y0, x1, y1));
    Add(doc, MakeLine(x1, y1, x0, y1));
    Add(doc, MakeLine(x0, y1, x0, y0));
  }

  std::mt19937 random{20260611};
};

TEST_F(FillIndexTest, LongRandomLinesAndCirclesGiveThePlainSearchsFills) {
  CZephDoc doc;
  for (int i = 0; i < 160; ++i) {
    if (i % 5 < 3) {
      Add(doc,
          MakeLine(Uniform(0, 400000), Uniform(0, 280000), Uniform(0, 400000), Uniform(0, 280000)));
    } else {
      Add(doc, MakeCircle(Uniform(0, 400000), Uniform(0, 280000), Uniform(500, 40000)));
    }
  }
  EXPECT_GT(ExpectSameFills(doc, RandomPoints(12, 0, 400000)), 4);
}

TEST_F(FillIndexTest, NearlyCollinearAndOverlappingLinesSettleAsInThePlainSearch) {
  CZephDoc doc;
  // A grid of rooms, whose walls the lines below cross and run along.
  for (int k = 0; k <= 5; ++k) {
    Add(doc, MakeLine(-100000, -100000 + 40000 * k, 100000, -100000 + 40000 * k));
    Add(doc, MakeLine(-100000 + 40000 * k, -100000, -100000 + 40000 * k, 100000));
  }
  for (int k = 0; k < 12; ++k) {
    // A line and, on and beside it, copies, reversed copies, overlapping and contained
    // pieces, pieces a unit or two off, short pieces and steep neighbours; some along walls.
    const int dx = Uniform(-30000, 30000);
    const int dy = k % 4 == 0 ? 0 : (k % 4 == 1 ? 1 : Uniform(-30000, 30000));
    const int x0 = Uniform(-40000, 40000) - dx / 2;
    const int y0 = (k % 4 == 0 ? -60000 + 40000 * Uniform(0, 3) : Uniform(-40000, 40000)) - dy / 2;
    const auto at = [&](double t, int off) {
      return std::pair{static_cast<int>(std::lround(x0 + dx * t)) + off,
                       static_cast<int>(std::lround(y0 + dy * t))};
    };
    Add(doc, MakeLine(x0, y0, x0 + dx, y0 + dy));
    const auto piece = [&](double a, double b, int off) {
      const auto [ax, ay] = at(a, off);
      const auto [bx, by] = at(b, off);
      if (ax != bx || ay != by) Add(doc, MakeLine(ax, ay, bx, by));
    };
    piece(1.0, 0.0, 0);
    piece(0.2, 0.6, 0);
    piece(0.5, 1.3, 0);
    piece(-0.3, 0.1, 1);
    piece(0.4, 0.41, 0);
    piece(0.7, 0.7001, 2);
    piece(0.1, 0.9, Uniform(-2, 2));
    // Steep lines: one unit across over a long way.
    const int sx = k % 3 == 0 ? -60000 + 40000 * Uniform(0, 3) : Uniform(-90000, 90000);
    const int sy = Uniform(-90000, 0);
    Add(doc, MakeLine(sx, sy, sx + 1, sy + 80000));
    Add(doc, MakeLine(sx, sy + 20000, sx + 1, sy + 60000));
    Add(doc, MakeLine(sx + 1, sy + 70000, sx + 2, sy + 90000));
  }
  EXPECT_GT(ExpectSameFills(doc, RandomPoints(14, -99000, 99000)), 4);
}

TEST_F(FillIndexTest, RepeatedCirclesArcsEllipsesAndCurvesSettleAsInThePlainSearch) {
  CZephDoc doc;
  Rect(doc, -100000, -100000, 100000, 100000);
  for (int k = 0; k < 10; ++k) {
    const int cx = Uniform(-60000, 60000);
    const int cy = Uniform(-60000, 60000);
    const int r = Uniform(2000, 30000);
    // Circles of the same centre a unit apart in radius, and arcs on them that overlap.
    Add(doc, MakeCircle(cx, cy, r));
    if (k % 2 == 0) Add(doc, MakeCircle(cx, cy, r));
    Add(doc, MakeCircle(cx, cy, r + 1));
    for (int a = 0; a < 3; ++a) {
      const double from = Uniform(0, 359) * kPi / 180;
      const double sweep = Uniform(30, 300) * kPi / 180;
      Add(doc, MakeArc(static_cast<int>(std::lround(cx + r * std::cos(from))),
                       static_cast<int>(std::lround(cy + r * std::sin(from))),
                       static_cast<int>(std::lround(cx + r * std::cos(from + sweep))),
                       static_cast<int>(std::lround(cy + r * std::sin(from + sweep))), sweep));
    }
    // Ellipses and elliptic arcs, each twice.
    for (int twice = 0; twice < 2; ++twice) {
      DrawItemPtr ellipse = CreateItem(kItemEllipse);
      ellipse->SetCentre(cx + 1000, cy - 2000);
      ellipse->SetSemiAxes(r, r / 2 + 7);
      ellipse->SetRotation(0.3 * k);
      Add(doc, std::move(ellipse));
      DrawItemPtr arc = CreateItem(kItemEllipseArc);
      arc->SetStart(cx + r, cy);
      arc->SetEnd(cx, cy + r / 3);
      arc->SetCentreExact(cx, cy);
      arc->SetRadii(r, r / 3.0);
      Add(doc, std::move(arc));
    }
    // A curve, its copy and its reverse.
    for (int copy = 0; copy < 3; ++copy) {
      DrawItemPtr curve = CreateItem(kItemBezier);
      const bool reversed = copy == 2;
      curve->SetStart(reversed ? cx + r : cx - r, cy);
      curve->SetEnd(reversed ? cx - r : cx + r, cy);
      curve->SetControlPoint(reversed ? 1 : 0, cx - r / 2.0, cy + r);
      curve->SetControlPoint(reversed ? 0 : 1, cx + r / 2.0, cy - r);
      Add(doc, std::move(curve));
    }
  }
  EXPECT_GT(ExpectSameFills(doc, RandomPoints(14, -99000, 99000)), 4);
}

TEST_F(FillIndexTest, PlansWithSharedWallsDoorsAndIslandsGiveThePlainSearchsFills) {
  CZephDoc doc;
  constexpr int kRoom = 28000;
  constexpr int u = kRoom / 28;
  std::vector<std::pair<int, int>> points;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const int x = column * kRoom;
      const int y = row * kRoom;
      // Each room with its own walls (inner walls twice), furniture, a door whose swing
      // meets the wall tangentially, and a few islands.
      if (row != 3) Rect(doc, x, y, x + kRoom, y + kRoom);
      Rect(doc, x + 4 * u, y + 4 * u, x + 12 * u, y + 10 * u);
      Add(doc, MakeCircle(x + 8 * u, y + 20 * u, 3 * u));
      Add(doc, MakeArc(x + 6 * u, y + kRoom, x, y + kRoom - 6 * u, kPi / 2));
      Add(doc, MakeLine(x, y + kRoom - 6 * u, x + 2 * u, y + kRoom - 6 * u));
      Add(doc, MakeLine(x + 27 * u, y + 18 * u, x + 27 * u, y + 26 * u));
      for (int k = 0; k < 3; ++k) Add(doc, MakeCircle(x + (15 + 4 * k) * u, y + 20 * u, u));
      points.emplace_back(x + kRoom / 2 + 3, y + kRoom * 17 / 28 + 5);
      points.emplace_back(x + 3 * u + 1, y + 2 * u + 3);
    }
  }
  EXPECT_GT(ExpectSameFills(doc, points), 8);
}

// A search that has done more work than it may stops with the message that the fill could
// not be made, never with the one that there is no boundary; so does one whose walks reach
// their bound of junctions.
TEST_F(FillIndexTest, ASearchStoppedByItsBoundsSaysItCouldNotFill) {
  CZephDoc doc;
  Rect(doc, 0, 0, 10000, 10000);
  for (int k = 1; k < 10; ++k) Add(doc, MakeLine(k * 1000, 0, k * 1000, 10000));
  ASSERT_NE(Search(doc, 5500, 5500, false).rfind("loop", 0), std::string::npos);
  const std::int64_t work = GetLastSearchWorkForTest();
  EXPECT_GT(work, 0);
  SetSearchWorkLimitForTest(work / 2);
  const std::string stopped = Search(doc, 5500, 5500, false);
  EXPECT_EQ(stopped, "none message " + LoadProgramString(369).toStdString());
  // The plain search is not bounded.
  EXPECT_EQ(Search(doc, 5500, 5500, true).rfind("loop", 0), 0u);
  SetSearchWorkLimitForTest(0);
  SetPathNodeLimitForTest(2);
  EXPECT_EQ(Search(doc, 5500, 5500, false), stopped);
  SetPathNodeLimitForTest(0);
  EXPECT_EQ(Search(doc, 5500, 5500, false).rfind("loop", 0), 0u);
  // Without a boundary the message stays that there is none.
  EXPECT_EQ(Search(doc, 50000, 5500, false),
            "none message " + LoadProgramString(368).toStdString());
}

}  // namespace
