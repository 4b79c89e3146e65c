#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "items/arcitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/lineitem.h"
#include "support/constants.h"
#include "support/log.h"

namespace {

using Point = std::pair<int, int>;
using Points = std::vector<Point>;

std::unique_ptr<CCircleItem> Circle(int cx, int cy, int r) {
  auto circle = std::make_unique<CCircleItem>();
  circle->SetCentre(cx, cy);
  circle->SetRadius(r);
  return circle;
}

// The arc from start counter-clockwise to end about (cx, cy).
std::unique_ptr<CArcItem> Arc(Point start, Point end, double cx, double cy) {
  auto arc = std::make_unique<CArcItem>();
  arc->SetStart(start.first, start.second);
  arc->SetEnd(end.first, end.second);
  arc->SetAngleFromCentre(cx, cy);
  arc->Recalculate();
  return arc;
}

std::unique_ptr<CLineItem> Line(Point a, Point b) {
  auto line = std::make_unique<CLineItem>();
  line->SetStart(a.first, a.second);
  line->SetEnd(b.first, b.second);
  line->SetLineStyle(1);
  return line;
}

Points Found(int count) {
  Points points;
  for (int i = 0; i < count; ++i) points.push_back({g_intersectX[i], g_intersectY[i]});
  return points;
}

Points Meet(CDrawItem& a, CDrawItem& b) { return Found(a.IntersectWith(&b)); }

// A kind that crosses nothing.
class CFakeFill final : public CDrawItem {
 public:
  CFakeFill() : CDrawItem(kItemFill) {}
};

class ArcIntersectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetIntersectionState();
  }
  void TearDown() override {
    ResetLogState();
    ResetIntersectionState();
  }
};

TEST_F(ArcIntersectTest, CircleWithCircle) {
  const struct {
    const char* name;
    int cx, cy, r, ox, oy, q;
    Points points;
  } cases[] = {
      {"two points", 0, 0, 1000, 1000, 1000, 1000, {{1000, 0}, {0, 1000}}},
      {"two points, centres level", 0, 0, 500, 600, 0, 500, {{300, 400}, {300, -400}}},
      {"touching outside: the point twice", 0, 0, 500, 800, 0, 300, {{500, 0}, {500, 0}}},
      {"touching inside", 0, 0, 1000, 0, 400, 600, {{0, 1000}, {0, 1000}}},
      {"apart", 0, 0, 100, 500, 500, 100, {}},
      {"one inside the other", 0, 0, 1000, 10, 20, 100, {}},
      {"concentric", 7, 7, 100, 7, 7, 200, {}},
      {"the same circle", 7, 7, 100, 7, 7, 100, {}},
      // Truncated toward zero, far from the origin.
      {"far off",
       40000000,
       -20000000,
       5000,
       40006000,
       -20000000,
       5000,
       {{40003000, -19996000}, {40003000, -20004000}}},
  };
  for (const auto& c : cases) {
    auto a = Circle(c.cx, c.cy, c.r);
    auto b = Circle(c.ox, c.oy, c.q);
    EXPECT_EQ(Meet(*a, *b), c.points) << c.name;
  }
}

TEST_F(ArcIntersectTest, ArcWithArc) {
  // Two halves of one circle share both ends and nothing else.
  auto upper = Arc({1000, 0}, {-1000, 0}, 0, 0);
  auto lower = Arc({-1000, 0}, {1000, 0}, 0, 0);
  EXPECT_EQ(Meet(*upper, *lower), (Points{{1000, 0}, {-1000, 0}}));

  // Circles touching from outside with their centres level: the one point, provided both
  // arcs cover it.
  auto left = Arc({0, -500}, {0, 500}, 0, 0);         // right half of r 500 about 0
  auto right = Arc({800, 300}, {800, -300}, 800, 0);  // left half of r 300 about 800
  EXPECT_EQ(Meet(*left, *right), (Points{{500, 0}}));
  EXPECT_EQ(Meet(*right, *left), (Points{{500, 0}}));
  auto rightUpper = Arc({1100, 0}, {800, 300}, 800, 0);  // does not reach (500, 0)
  EXPECT_EQ(Meet(*left, *rightUpper), Points{});

  // Concentric arcs meet only at shared ends.
  auto inner = Arc({500, 0}, {0, 500}, 0, 0);
  auto outer = Arc({1000, 0}, {0, 1000}, 0, 0);
  EXPECT_EQ(Meet(*inner, *outer), Points{});

  // Crossing arcs: rounded half away from zero.
  auto a = Arc({1000, 0}, {-1000, 0}, 0, 0);            // upper half, r 1000
  auto b = Arc({1200, 1400}, {1200, -600}, 1200, 400);  // left half of r 1000 about (1200, 400)
  const Points crossing = Meet(*a, *b);
  ASSERT_EQ(crossing.size(), 1U);
  EXPECT_NEAR(std::hypot(crossing[0].first, crossing[0].second), 1000, 1.0);
  EXPECT_NEAR(std::hypot(crossing[0].first - 1200, crossing[0].second - 400), 1000, 1.0);

  // A shared end and a crossing elsewhere; a computed point next to the shared end is that
  // end again.
  auto c = Arc({1000, 0}, {-1000, 0}, 0, 0);
  auto d = Arc({-1000, 0}, {1000, 0}, 0, 1000);  // r about 1414 about (0, 1000): lower arc
  const Points shared = Meet(*c, *d);
  EXPECT_EQ(shared, (Points{{1000, 0}, {-1000, 0}}));
}

TEST_F(ArcIntersectTest, ArcRangeAtTheEnds) {
  // Small circles centred on the end (0, 1000000) of two arcs cross their circle 0.00005 and
  // 0.0003 radian either side of the end.
  auto quarter = Arc({1000000, 0}, {0, 1000000}, 0, 0);   // 0 to 90 degrees
  auto through = Arc({0, -1000000}, {0, 1000000}, 0, 0);  // 270 round through 0 to 90
  auto near = Circle(0, 1000000, 50);
  auto far = Circle(0, 1000000, 300);
  // An arc that does not pass angle 0 takes a root up to 0.0001 radian beyond its end.
  EXPECT_EQ(Meet(*quarter, *near).size(), 2U);
  EXPECT_EQ(Meet(*quarter, *far).size(), 1U);
  // One that does drops a root just beyond its end, and keeps the one just before it.
  const Points kept = Meet(*through, *near);
  ASSERT_EQ(kept.size(), 1U);
  EXPECT_GT(kept[0].first, 0);
  EXPECT_EQ(Meet(*through, *far).size(), 1U);
}

TEST_F(ArcIntersectTest, ArcWithCircleTruncates) {
  auto arc = Arc({0, -1000}, {0, 1000}, 0, 0);  // right half
  auto circle = Circle(1000, 100, 1000);
  // The crossings (586.03, -810.29) and (413.97, 910.29), truncated toward zero, the root of
  // the larger x first.
  EXPECT_EQ(Meet(*arc, *circle), (Points{{586, -810}, {413, 910}}));
  // The circle routine passes an arc on to the arc.
  EXPECT_EQ(Meet(*circle, *arc), (Points{{586, -810}, {413, 910}}));
  auto left = Arc({0, 1000}, {0, -1000}, 0, 0);  // left half: neither point
  EXPECT_EQ(Meet(*left, *circle), Points{});
  // A circle touching the arc's circle from outside, centres level: the one point (the arc's
  // derived centre lies a hair off the origin, and truncation may take a unit off).
  auto touching = Circle(1500, 0, 500);
  const Points touch = Meet(*arc, *touching);
  ASSERT_EQ(touch.size(), 1U);
  EXPECT_NEAR(touch[0].first, 1000, 1);
  EXPECT_EQ(touch[0].second, 0);
  auto beyond = Circle(1501, 0, 500);
  EXPECT_EQ(Meet(*arc, *beyond), Points{});
}

TEST_F(ArcIntersectTest, LinesNearTangency) {
  // A horizontal line across the top of the quarter arc's circle and just below it.
  auto arc = Arc({0, -1000}, {0, 1000}, 0, 0);
  const struct {
    const char* name;
    Point a, b;
    Points points;
  } cases[] = {
      {"through", {-2000, 600}, {2000, 600}, {{800, 600}}},
      {"touching at the top", {-2000, 1000}, {2000, 1000}, {{0, 1000}}},  // the arc's end
      {"just above", {-2000, 1001}, {2000, 1001}, {}},
      {"nearly touching", {999, -2000}, {999, 2000}, {{999, 45}, {999, -45}}},
  };
  for (const auto& c : cases) {
    auto line = Line(c.a, c.b);
    // The line handles the pair whichever item is asked.
    EXPECT_EQ(Meet(*arc, *line), c.points) << c.name;
    EXPECT_EQ(Meet(*line, *arc), c.points) << c.name;
  }
  // A circle touched by a line: one point, flagged as touching.
  auto circle = Circle(0, 0, 1000);
  auto tangent = Line({-2000, 1000}, {2000, 1000});
  ASSERT_EQ(circle->IntersectWith(tangent.get()), 1);
  EXPECT_EQ(Found(1), (Points{{0, 1000}}));
  EXPECT_EQ(g_intersectFlags[0], 1);
}

TEST_F(ArcIntersectTest, KindsThatCrossNothingAreGlitches) {
  CFakeFill fill;
  auto arc = Arc({1000, 0}, {0, 1000}, 0, 0);
  EXPECT_EQ(arc->IntersectWith(&fill), 0);
  EXPECT_EQ(g_firstGlitchCode, 1705);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  ResetLogState();
  auto circle = Circle(0, 0, 10);
  EXPECT_EQ(circle->IntersectWith(&fill), 0);
  EXPECT_EQ(g_firstGlitchCode, 1743);
  EXPECT_EQ(g_firstGlitchNumber, 9001);
}

TEST_F(ArcIntersectTest, BreakingACircleAtItsCrossings) {
  auto circle = Circle(0, 0, 1000);
  auto other = Circle(1000, 0, 1000);
  g_splitCount = 0;
  ASSERT_EQ(circle->AddSplitPoints(other.get()), 1);
  ASSERT_EQ(g_splitCount, 2);
  EXPECT_NEAR(g_splitParam[0], 1.0 / 6, 1e-3);  // (500, 866) at 60 degrees
  EXPECT_NEAR(g_splitParam[1], 5.0 / 6, 1e-3);
  DrawItemPtr piece = circle->CreatePiece(0);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->IsValid(), 1);
  EXPECT_NEAR(piece->GetAngle(), 4 * kPi / 3, 1e-3);
}

}  // namespace
