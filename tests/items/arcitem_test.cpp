#include "items/arcitem.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <utility>

#include "fakedocument.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/item_fixture.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/screen.h"

static void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

constexpr double kHalfPi = kPi / 2;

struct Ends {
  int x1;
  int y1;
  int x2;
  int y2;
  friend bool operator==(const Ends&, const Ends&) = default;
};

std::unique_ptr<CArcItem> MakeArc(const Ends& e, double angle, int pen = 1) {
  auto arc = std::make_unique<CArcItem>();
  arc->SetStart(e.x1, e.y1);
  arc->SetEnd(e.x2, e.y2);
  arc->SetAngle(angle);
  arc->SetPenWidth(pen);
  arc->Recalculate();
  return arc;
}

// The arc of the circle about (cx, cy) from one angle (degrees) counter-clockwise to another,
// its ends rounded to whole units.
std::unique_ptr<CArcItem> ArcOnCircle(int cx, int cy, double r, double fromDegrees,
                                      double toDegrees) {
  const double a = fromDegrees * kPi / 180;
  const double b = toDegrees * kPi / 180;
  auto arc = std::make_unique<CArcItem>();
  arc->SetStart(cx + static_cast<int>(std::lround(r * std::cos(a))),
                cy + static_cast<int>(std::lround(r * std::sin(a))));
  arc->SetEnd(cx + static_cast<int>(std::lround(r * std::cos(b))),
              cy + static_cast<int>(std::lround(r * std::sin(b))));
  arc->SetAngleFromCentre(cx, cy);
  arc->SetPenWidth(1);
  arc->Recalculate();
  return arc;
}

std::unique_ptr<CCircleItem> MakeCircle(int cx, int cy, int r, int pen = 1) {
  auto circle = std::make_unique<CCircleItem>();
  circle->SetCentre(cx, cy);
  circle->SetRadius(r);
  circle->SetPenWidth(pen);
  return circle;
}

Ends EndsOf(const CArcItem& arc) {
  Ends e{};
  arc.GetStart(e.x1, e.y1);
  arc.GetEnd(e.x2, e.y2);
  return e;
}

void ExpectCircle(const CArcItem& arc, double cx, double cy, double r, double tolerance,
                  const std::string& name = "") {
  double x = 0;
  double y = 0;
  double radius = 0;
  arc.GetCircle(x, y, radius);
  EXPECT_NEAR(x, cx, tolerance) << name;
  EXPECT_NEAR(y, cy, tolerance) << name;
  EXPECT_NEAR(radius, r, tolerance) << name;
}

class ArcItemTest : public ItemFixture {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetIntersectionState();
    ResetItemGlobals();
    ResetGeometryGlobals();
    ResetViewGlobals();
    ResetScreenState();
    ResetPrinterState();
  }
};

// ---- Centre, radius and validity ----

TEST_F(ArcItemTest, CentreAndRadiusFollowTheEndsAndTheAngle) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    Ends ends;
    double angle;
    double cx, cy, r;
  } cases[] = {
      {"quarter", {1000, 0, 0, 1000}, kHalfPi, 0, 0, 1000},
      {"three quarters", {1000, 0, 0, 1000}, 3 * kHalfPi, 1000, 1000, 1000},
      {"half", {1000, 0, -1000, 0}, kPi, 0, 0, 1000},
      // No circle: radius 0 at the start, never infinite or undefined.
      {"fresh arc, angle 0", {1000, 0, 0, 1000}, 0.0, 1000, 0, 0},
      {"negative angle", {1000, 0, 0, 1000}, -1.0, 1000, 0, 0},
      {"angle not a number", {1000, 0, 0, 1000}, nan, 1000, 0, 0},
      {"infinite angle", {1000, 0, 0, 1000}, inf, 1000, 0, 0},
      {"ends at one point", {500, 500, 500, 500}, kHalfPi, 500, 500, 0},
  };
  for (const auto& c : cases) {
    auto arc = MakeArc(c.ends, c.angle);
    ExpectCircle(*arc, c.cx, c.cy, c.r, 1e-6, c.name);
  }
  // A whole turn (as computed, sin(pi) is not quite 0): a huge circle, but a finite one.
  auto turn = MakeArc({1000, 0, 0, 1000}, 2 * kPi);
  double x = 0, y = 0, r = 0;
  turn->GetCircle(x, y, r);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y) && std::isfinite(r));
  EXPECT_EQ(turn->IsValid(), 0);
}

TEST_F(ArcItemTest, Validity) {
  const struct {
    const char* name;
    Ends ends;
    double angle;
    int valid;
  } cases[] = {
      {"quarter", {1000, 0, 0, 1000}, kHalfPi, 1},
      {"nearly a whole turn", {1000, 0, 1000, -1}, 2 * kPi - 1e-3, 1},
      {"start equals end", {1000, 0, 1000, 0}, kHalfPi, 0},
      {"angle 0", {1000, 0, 0, 1000}, 0.0, 0},
      {"angle within 1e-5 of 0", {1000, 0, 0, 1000}, 5e-6, 0},
      {"angle within 1e-5 of 2 pi", {1000, 0, 0, 1000}, 2 * kPi - 5e-6, 0},
      {"angle beyond 2 pi", {1000, 0, 0, 1000}, 7.0, 0},
      {"negative angle", {1000, 0, 0, 1000}, -kHalfPi, 0},
      {"angle not a number", {1000, 0, 0, 1000}, std::numeric_limits<double>::quiet_NaN(), 0},
      // A flat arc on a long chord: radius far beyond 1e8.
      {"radius too large", {-40000000, 0, 40000000, 0}, 1e-4, 0},
      {"x out of range", {50000001, 0, 0, 1000}, kHalfPi, 0},
      {"y out of range", {1000, 0, 0, -30000001}, kHalfPi, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeArc(c.ends, c.angle)->IsValid(), c.valid) << c.name;
  }
  const struct {
    const char* name;
    int cx, cy, r;
    int valid;
  } circles[] = {
      {"ordinary", 0, 0, 1000, 1},
      {"radius 1", 0, 0, 1, 1},
      {"radius 0", 0, 0, 0, 0},
      {"negative radius", 0, 0, -5, 0},
      {"largest", 50000000, 30000000, 100000000, 1},
      // Its box would pass the coordinate range.
      {"radius too large", 0, 0, 100000001, 0},
      {"largest int", 0, 0, 2147483647, 0},
      {"centre out of range", 50000001, 0, 10, 0},
  };
  for (const auto& c : circles) {
    EXPECT_EQ(MakeCircle(c.cx, c.cy, c.r)->IsValid(), c.valid) << c.name;
  }
}

TEST_F(ArcItemTest, AngleFromACentreAndParameters) {
  auto arc = MakeArc({1000, 0, 0, 1000}, 1.0);
  arc->SetAngleFromCentre(0, 0);
  EXPECT_DOUBLE_EQ(arc->GetAngle(), kHalfPi);
  arc->SetAngleFromCentre(1000, 1000);
  EXPECT_DOUBLE_EQ(arc->GetAngle(), 3 * kHalfPi);
  // Start and end in one direction from the centre: angle 0, not an arc.
  auto flat = MakeArc({1000, 0, 2000, 0}, 1.0);
  flat->SetAngleFromCentre(0, 0);
  EXPECT_EQ(flat->GetAngle(), 0.0);
  EXPECT_EQ(flat->IsValid(), 0);

  auto quarter = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  EXPECT_DOUBLE_EQ(quarter->GetParameterAt(707, 707), 0.5);
  EXPECT_EQ(quarter->GetParameterAt(2000, 0), 0.0);  // beyond the start on its ray
  EXPECT_EQ(quarter->GetParameterAt(1000, 0), 0.0);
  EXPECT_EQ(quarter->GetParameterAt(0, 1000), 1.0);
  // Through angle 0: from 270 degrees to 90.
  auto through = MakeArc({0, -1000, 0, 1000}, kPi);
  EXPECT_DOUBLE_EQ(through->GetParameterAt(1000, 0), 0.5);

  auto circle = MakeCircle(0, 0, 1000);
  EXPECT_DOUBLE_EQ(circle->GetParameterAt(0, -1000), 0.75);
}

// ---- Directions and travel ----

TEST_F(ArcItemTest, TurnsAndDirectionsRoundTheCircle) {
  auto arc = MakeArc({1000, 0, -1000, 0}, kPi);
  auto circle = MakeCircle(0, 0, 1000);
  const struct {
    int x, y;
    int up, down, left, right;  // GetTurnAt for directions 0..3
    int clockwise, counter;     // GetDirectionAt for senses 4 and 5
  } cases[] = {
      {1000, 0, 5, 4, 5, 4, kDirectionDown, kDirectionUp},      // right
      {0, 1000, 4, 4, 5, 4, kDirectionRight, kDirectionLeft},   // top
      {-1000, 0, 4, 5, 4, 4, kDirectionUp, kDirectionDown},     // left
      {0, -1000, 5, 5, 4, 5, kDirectionLeft, kDirectionRight},  // bottom
      {707, 707, 5, 4, 5, 4, kDirectionDown, kDirectionUp},     // upper right
      {-707, -707, 4, 5, 4, 5, kDirectionUp, kDirectionDown},   // lower left
  };
  for (const auto& c : cases) {
    const int turns[4] = {c.up, c.down, c.left, c.right};
    for (int d = 0; d < 4; ++d) {
      EXPECT_EQ(arc->GetTurnAt(c.x, c.y, d), turns[d]) << c.x << "," << c.y << " dir " << d;
      EXPECT_EQ(circle->GetTurnAt(c.x, c.y, d), turns[d]) << c.x << "," << c.y << " dir " << d;
    }
    EXPECT_EQ(arc->GetDirectionAt(c.x, c.y, kDirectionClockwise), c.clockwise);
    EXPECT_EQ(arc->GetDirectionAt(c.x, c.y, kDirectionCounterClockwise), c.counter);
    EXPECT_EQ(circle->GetDirectionAt(c.x, c.y, kDirectionClockwise), c.clockwise);
    EXPECT_EQ(circle->GetDirectionAt(c.x, c.y, kDirectionCounterClockwise), c.counter);
  }
  // Leaving each end along the (upper half) arc: up from the start at the right, and up from
  // the end at the left too.
  EXPECT_EQ(arc->GetEndDirection(0), kDirectionUp);
  EXPECT_EQ(arc->GetEndDirection(1), kDirectionUp);
  EXPECT_EQ(arc->GetDirectionCode(1000, 0, 0, 1000), kDirectionCounterClockwise);
  EXPECT_EQ(arc->GetDirectionCode(0, 1000, 1000, 0), kDirectionClockwise);
  // Across the half-turn jump of the angles: from 350 degrees to 10 is counter-clockwise.
  EXPECT_EQ(arc->GetDirectionCode(985, -174, 985, 174), kDirectionCounterClockwise);
}

TEST_F(ArcItemTest, WrongDirectionsSensesAndHandlesAreGlitches) {
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  auto circle = MakeCircle(0, 0, 1000);
  const struct {
    const char* name;
    std::function<double()> call;
    double answer;
    int glitch;
  } cases[] = {
      {"arc turn", [&] { return arc->GetTurnAt(1000, 0, 4); }, 5, 1702},
      {"arc travel", [&] { return arc->GetTravel(0, 1000, 1000, 0, 2); }, -1.0, 1704},
      {"arc end reached", [&] { return arc->IsEndReachedGoing(1000, 0, 6); }, 0, 1707},
      {"arc direction", [&] { return arc->GetDirectionAt(1000, 0, 3); }, 1, 1708},
      {"arc end direction", [&] { return arc->GetEndDirection(2); }, 0, 1712},
      {"arc handle x", [&] { return arc->GetHandleX(2); }, 0, 1713},
      {"arc handle y", [&] { return arc->GetHandleY(-1); }, 0, 1714},
      {"circle turn", [&] { return circle->GetTurnAt(1000, 0, 5); }, 5, 1741},
      {"circle travel", [&] { return circle->GetTravel(0, 1000, 1000, 0, 0); }, -1.0, 1742},
      {"circle direction", [&] { return circle->GetDirectionAt(1000, 0, 7); }, 1, 1745},
      {"circle handle x", [&] { return circle->GetHandleX(1); }, 0, 1748},
      {"circle handle y", [&] { return circle->GetHandleY(1); }, 0, 1749},
  };
  for (const auto& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.call(), c.answer) << c.name;
    ExpectGlitch(c.glitch, 1, c.name);
  }
  ResetLogState();
  arc->SetHandle(2, 5, 5);
  ExpectGlitch(1711, 1, "arc set handle");
  EXPECT_EQ(EndsOf(*arc), (Ends{1000, 0, 0, 1000}));
  ResetLogState();
  circle->SetHandle(1, 5, 5);
  ExpectGlitch(1747, 1, "circle set handle");
  EXPECT_EQ(circle->GetHandleX(0), 0);
}

TEST_F(ArcItemTest, TravelAlongTheArc) {
  auto quarter = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  EXPECT_EQ(quarter->GetTravel(0, 1000, 1000, 0, kDirectionCounterClockwise), 1571.0);
  EXPECT_EQ(quarter->GetTravel(0, 1000, 1000, 0, kDirectionClockwise), -1.0);
  EXPECT_EQ(quarter->GetTravel(1000, 0, 0, 1000, kDirectionClockwise), 1571.0);
  EXPECT_EQ(quarter->GetTravel(-1000, 0, 1000, 0, kDirectionCounterClockwise), -1.0);  // off it
  // Through angle 0: from 270 degrees up to 90.
  auto through = MakeArc({0, -1000, 0, 1000}, kPi);
  EXPECT_EQ(through->GetTravel(1000, 0, 0, -1000, kDirectionCounterClockwise), 1571.0);
  EXPECT_EQ(through->GetTravel(0, 1000, 707, -707, kDirectionCounterClockwise), 2356.0);
  EXPECT_EQ(through->GetTravel(0, -1000, 0, 1000, kDirectionClockwise), 3142.0);
  EXPECT_EQ(through->GetTravel(-1000, 0, 0, -1000, kDirectionCounterClockwise), -1.0);
  EXPECT_EQ(through->GetTravel(0, -1000, 1000, 0, kDirectionCounterClockwise), -1.0);  // behind

  // On a circle every point is ahead.
  auto circle = MakeCircle(0, 0, 1000);
  EXPECT_EQ(circle->GetTravel(0, 1000, 1000, 0, kDirectionCounterClockwise), 1571.0);
  EXPECT_EQ(circle->GetTravel(0, 1000, 1000, 0, kDirectionClockwise), 4712.0);
  EXPECT_EQ(circle->GetTravel(1000, 0, 0, -1000, kDirectionCounterClockwise), 1571.0);
}

TEST_F(ArcItemTest, EndsReachedGoing) {
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  const struct {
    int x, y, direction, reached;
  } cases[] = {
      {1000, 0, kDirectionDown, 1},
      {1000, 0, kDirectionUp, 0},
      {1000, 0, kDirectionRight, 1},
      {0, 1000, kDirectionUp, 1},
      {0, 1000, kDirectionLeft, 1},
      {0, 1000, kDirectionRight, 0},
      {1000, 0, kDirectionClockwise, 1},
      {0, 1000, kDirectionClockwise, 0},
      {0, 1000, kDirectionCounterClockwise, 1},
      {1000, 0, kDirectionCounterClockwise, 0},
      {707, 707, kDirectionUp, 0},  // not an end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(arc->IsEndReachedGoing(c.x, c.y, c.direction), c.reached)
        << c.x << "," << c.y << " " << c.direction;
  }
  EXPECT_EQ(MakeCircle(0, 0, 10)->IsEndReachedGoing(10, 0, kDirectionUp), 0);
}

// ---- Picking ----

TEST_F(ArcItemTest, PickingACircle) {
  auto circle = MakeCircle(0, 0, 1000);
  const struct {
    int x, y;
    double distance;
  } cases[] = {{400, 0, 400}, {600, 0, 400}, {0, -1000, 0}, {0, 1300, 300}, {0, 0, 0}};
  for (const auto& c : cases) {
    g_cursorPoint = {c.x, c.y};
    EXPECT_DOUBLE_EQ(circle->GetPickDistance(nullptr), c.distance) << c.x << "," << c.y;
    EXPECT_DOUBLE_EQ(circle->GetDistanceTo(c.x, c.y), std::abs(std::hypot(c.x, c.y) - 1000));
  }
}

// Off the arc's directions the distance is to the nearer end, on either side of angle 0.
TEST_F(ArcItemTest, PickingAnArcMeasuresToTheNearerEnd) {
  auto through = ArcOnCircle(0, 0, 1000, 300, 30);  // passes angle 0
  auto plain = ArcOnCircle(0, 0, 1000, 30, 300);    // does not
  int sx = 0, sy = 0, ex = 0, ey = 0;
  for (const CArcItem* arc : {through.get(), plain.get()}) {
    arc->GetStart(sx, sy);
    arc->GetEnd(ex, ey);
    for (double degrees : {35.0, 100.0, 200.0, 295.0, 305.0, 350.0, 0.0, 10.0, 28.0}) {
      const double t = degrees * kPi / 180;
      const int x = static_cast<int>(std::lround(1100 * std::cos(t)));
      const int y = static_cast<int>(std::lround(1100 * std::sin(t)));
      g_cursorPoint = {x, y};
      const double toStart = std::hypot(x - sx, y - sy);
      const double toEnd = std::hypot(x - ex, y - ey);
      // The true distance to the arc: along the radius where it covers the direction.
      double sAngle = std::atan2(sy, sx), eAngle = std::atan2(ey, ex), a = std::atan2(y, x);
      auto norm = [](double v) { return std::fmod(std::fmod(v, 2 * kPi) + 2 * kPi, 2 * kPi); };
      const bool within = norm(a - sAngle) <= norm(eAngle - sAngle);
      const double expected = within ? std::abs(std::hypot(x, y) - 1000) : std::min(toStart, toEnd);
      EXPECT_NEAR(arc->GetPickDistance(nullptr), expected, 0.5) << degrees;
    }
  }
}

// ---- Extent and scan lines ----

TEST_F(ArcItemTest, BoundingBoxes) {
  const struct {
    const char* name;
    std::unique_ptr<CArcItem> arc;
    ItemBounds box;
  } cases[] = {
      {"quarter", MakeArc({1000, 0, 0, 1000}, kHalfPi), {0, 0, 1000, 1000}},
      {"upper half", MakeArc({1000, 0, -1000, 0}, kPi), {-1000, 0, 1000, 1000}},
      {"three quarters through 0",
       MakeArc({-1000, 0, 0, 1000}, 3 * kHalfPi),
       {-1000, -1000, 1000, 1000}},
      {"right half through 0", MakeArc({0, -1000, 0, 1000}, kPi), {0, -1000, 1000, 1000}},
      {"small piece", MakeArc({600, 800, 0, 1000}, 0.6435011087932844), {0, 800, 600, 1000}},
  };
  for (const auto& c : cases) {
    c.arc->CalcBoundingBox(nullptr);
    EXPECT_EQ(g_itemBounds.minX, c.box.minX) << c.name;
    EXPECT_EQ(g_itemBounds.minY, c.box.minY) << c.name;
    EXPECT_EQ(g_itemBounds.maxX, c.box.maxX) << c.name;
    EXPECT_EQ(g_itemBounds.maxY, c.box.maxY) << c.name;
  }
  MakeCircle(-5, 7, 100)->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, -105);
  EXPECT_EQ(g_itemBounds.minY, -93);
  EXPECT_EQ(g_itemBounds.maxX, 95);
  EXPECT_EQ(g_itemBounds.maxY, 107);
}

TEST_F(ArcItemTest, RightmostPoints) {
  int x = 0;
  int y = 0;
  MakeArc({0, -1000, 0, 1000}, kPi)->GetRightmostPoint(x, y);  // through angle 0
  EXPECT_EQ(std::pair(x, y), std::pair(1000, 0));
  MakeArc({0, 1000, -1000, 0}, kHalfPi)->GetRightmostPoint(x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(0, 1000));  // the start, further right
  MakeArc({-1000, 0, 0, -1000}, kHalfPi)->GetRightmostPoint(x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(0, -1000));  // the end
  MakeCircle(5, 6, 100)->GetRightmostPoint(x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(105, 6));
}

TEST_F(ArcItemTest, ScanLineCrossings) {
  auto circle = MakeCircle(0, 0, 1000);
  EXPECT_EQ(circle->IntersectScanLine(1000), 1);  // at the top: one crossing
  EXPECT_EQ(g_intersectX[0], 0);
  ASSERT_EQ(circle->IntersectScanLine(600), 2);
  EXPECT_EQ(g_intersectX[0], -800);
  EXPECT_EQ(g_intersectX[1], 800);
  EXPECT_EQ(circle->IntersectScanLine(1001), 0);

  auto upper = MakeArc({1000, 0, -1000, 0}, kPi);
  EXPECT_EQ(upper->IntersectScanLine(600), 2);
  EXPECT_EQ(upper->IntersectScanLine(-600), 0);
  auto right = MakeArc({0, -1000, 0, 1000}, kPi);  // through angle 0
  ASSERT_EQ(right->IntersectScanLine(-600), 1);
  EXPECT_EQ(g_intersectX[0], 800);
  // Both ends count, on either side of angle 0.
  ASSERT_EQ(right->IntersectScanLine(1000), 1);
  EXPECT_EQ(g_intersectX[0], 0);
  ASSERT_EQ(right->IntersectScanLine(-1000), 1);
  auto quarter = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  ASSERT_EQ(quarter->IntersectScanLine(0), 1);
  EXPECT_EQ(g_intersectX[0], 1000);
}

// ---- Overlaps (fill search) ----

TEST_F(ArcItemTest, CompareOnOneCircleAcrossAngleZero) {
  const struct {
    const char* name;
    double s, e, os, oe;
    int answer;
  } cases[] = {
      {"partial at one end", 0, 90, 45, 135, -1},
      {"overlap at both ends", 0, 270, 180, 90, -2},
      {"identical", 30, 120, 30, 120, 1},
      {"other within", 10, 200, 40, 90, 2},
      {"this within", 40, 90, 10, 200, 3},
      {"apart", 10, 40, 100, 200, 0},
      {"touching counts as one end", 10, 40, 40, 90, -1},
      // Arcs on either side of angle 0 compare round the circle.
      {"across 0, partial", 350, 10, 0, 20, -1},
      {"across 0, partial from below", 0, 20, 350, 10, -1},
      {"across 0, other within", 340, 20, 350, 10, 2},
      {"across 0, this within", 350, 10, 340, 20, 3},
      {"across 0, apart", 350, 10, 20, 40, 0},
      {"across 0, both ends", 300, 100, 90, 310, -2},
      {"starting together", 20, 60, 20, 90, 3},
  };
  for (const auto& c : cases) {
    auto arc = ArcOnCircle(0, 0, 100000, c.s, c.e);
    auto other = ArcOnCircle(0, 0, 100000, c.os, c.oe);
    EXPECT_EQ(arc->Compare(other.get()), c.answer) << c.name;
  }
  auto arc = ArcOnCircle(0, 0, 100000, 10, 50);
  EXPECT_EQ(arc->Compare(ArcOnCircle(0, 0, 100003, 10, 50).get()), 0);  // another circle
  EXPECT_EQ(arc->Compare(ArcOnCircle(2, 0, 100000, 10, 50).get()), 0);
  auto circle = MakeCircle(0, 0, 100000);
  EXPECT_EQ(arc->Compare(circle.get()), 3);  // the circle covers the arc
  EXPECT_EQ(circle->Compare(arc.get()), 2);  // the arc lies within the circle
  EXPECT_EQ(circle->Compare(MakeCircle(0, 0, 100000).get()), 1);
  EXPECT_EQ(circle->Compare(MakeCircle(0, 1, 100000).get()), 0);
  EXPECT_EQ(circle->Compare(ArcOnCircle(0, 0, 200000, 10, 50).get()), 0);
}

TEST_F(ArcItemTest, MergeAndTrimComeBackExactly) {
  // Merging over an overlap at this arc's end: the end moves to other's end; back again.
  CFakeDocument doc;
  auto arc = ArcOnCircle(0, 0, 1000, 0, 90);
  auto other = ArcOnCircle(0, 0, 1000, 45, 135);
  arc->SetDocument(&doc);
  const Ends before = EndsOf(*arc);
  const double angle = arc->GetAngle();
  arc->MergeOverlap(other.get());
  int ex = 0, ey = 0;
  other->GetEnd(ex, ey);
  EXPECT_EQ(EndsOf(*arc), (Ends{before.x1, before.y1, ex, ey}));
  EXPECT_NEAR(arc->GetAngle(), 135 * kPi / 180, 1e-3);
  EXPECT_EQ(arc->GetTemporaryMoveFlags(), 2);
  EXPECT_TRUE(doc.records.empty());  // no undo for temporary moves
  arc->RestoreEnds();
  EXPECT_EQ(EndsOf(*arc), before);
  EXPECT_EQ(arc->GetAngle(), angle);
  EXPECT_EQ(arc->GetTemporaryMoveFlags(), 0);

  // Across angle 0: other (350..20) overlaps this arc's start (0..90); this arc now begins
  // where other begins.
  auto wrapped = ArcOnCircle(0, 0, 1000, 0, 90);
  auto before0 = ArcOnCircle(0, 0, 1000, 350, 20);
  wrapped->MergeOverlap(before0.get());
  int sx = 0, sy = 0;
  before0->GetStart(sx, sy);
  EXPECT_EQ(EndsOf(*wrapped).x1, sx);
  EXPECT_EQ(EndsOf(*wrapped).y1, sy);
  EXPECT_NEAR(wrapped->GetAngle(), 100 * kPi / 180, 1e-3);
  EXPECT_EQ(g_glitchCount, 0);

  // Trimming: the stretches other covers are removed (both ends here).
  auto trimmed = ArcOnCircle(0, 0, 1000, 0, 180);
  auto middle = ArcOnCircle(0, 0, 1000, 150, 30);  // through 0: covers both ends
  const Ends trimmedBefore = EndsOf(*trimmed);
  trimmed->TrimOverlap(middle.get());
  Ends m = EndsOf(*middle);
  EXPECT_EQ(EndsOf(*trimmed), (Ends{m.x2, m.y2, m.x1, m.y1}));
  EXPECT_EQ(trimmed->GetTemporaryMoveFlags(), 3);
  trimmed->CommitEndMoves();
  EXPECT_EQ(trimmed->GetTemporaryMoveFlags(), 0);
  trimmed->RestoreEnds();  // committed: nothing to put back
  EXPECT_NE(EndsOf(*trimmed), trimmedBefore);

  // Another kind, or arcs that do not overlap.
  auto circle = MakeCircle(0, 0, 1000);
  ResetLogState();
  arc->MergeOverlap(circle.get());
  ExpectGlitch(1703, 1, "merge with a circle");
  ResetLogState();
  arc->TrimOverlap(circle.get());
  ExpectGlitch(1701, 1, "trim with a circle");
  ResetLogState();
  arc->MergeOverlap(ArcOnCircle(0, 0, 1000, 180, 200).get());
  ExpectGlitch(1703, 2, "merge without overlap");
  EXPECT_EQ(EndsOf(*arc), before);
}

// ---- Breaking ----

TEST_F(ArcItemTest, PiecesLieOnTheSameCircle) {
  ASSERT_EQ(ReserveSplitList(3), 1);
  const int points[3][2] = {{1000, 0}, {0, 1000}, {-1000, 0}};
  for (int i = 0; i < 3; ++i) {
    g_splitX[i] = points[i][0];
    g_splitY[i] = points[i][1];
  }
  g_splitCount = 3;
  CFakeDocument doc;
  auto arc = MakeArc({1000, 0, -1000, 0}, kPi, 3);
  arc->SetColour(0x00FF00);
  arc->SetDocument(&doc);
  DrawItemPtr piece = arc->CreatePiece(1);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->GetType(), kItemArc);
  EXPECT_EQ(piece->GetDocument(), nullptr);
  EXPECT_EQ(EndsOf(static_cast<CArcItem&>(*piece)), (Ends{0, 1000, -1000, 0}));
  EXPECT_DOUBLE_EQ(piece->GetAngle(), kHalfPi);
  ExpectCircle(static_cast<CArcItem&>(*piece), 0, 0, 1000, 1e-9);
  EXPECT_EQ(piece->GetPenWidth(), 3);
  EXPECT_EQ(piece->GetColour(), 0x00FF00);
  EXPECT_EQ(doc.enableUndoCalls, (std::vector<int>{0, 1}));
  EXPECT_EQ(arc->CreatePiece(2), nullptr);
  EXPECT_EQ(arc->CreatePiece(-1), nullptr);

  // A circle breaks into arcs; from the last split point round to the first wraps past 0.
  g_splitX[0] = 0;
  g_splitY[0] = -1000;
  g_splitX[1] = 0;
  g_splitY[1] = 1000;
  g_splitCount = 2;
  auto circle = MakeCircle(0, 0, 1000, 2);
  DrawItemPtr half = circle->CreatePiece(0);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->GetType(), kItemArc);
  EXPECT_DOUBLE_EQ(half->GetAngle(), kPi);
  EXPECT_EQ(half->IsValid(), 1);
  ExpectCircle(static_cast<CArcItem&>(*half), 0, 0, 1000, 1e-9);
  g_cursorPoint = {1000, 0};  // the piece is the right half
  EXPECT_NEAR(half->GetPickDistance(nullptr), 0.0, 1e-9);
  EXPECT_EQ(circle->CreatePiece(1), nullptr);
}

// ---- Setters and undo ----

TEST_F(ArcItemTest, SettersFollowTheUndoConvention) {
  CFakeDocument doc;
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  arc->SetDocument(&doc);
  arc->SetAngle(kHalfPi);  // unchanged: nothing recorded
  arc->SetStart(1000, 0);
  EXPECT_TRUE(doc.records.empty());
  EXPECT_EQ(doc.changedCount, 0);

  arc->SetAngle(1.0);
  arc->SetStart(1, 2);
  arc->SetEnd(3, 4);
  arc->SetPenWidth(12);  // kept to 9
  arc->MoveBy(10, 20);
  ASSERT_EQ(doc.records.size(), 5U);
  const int kinds[] = {4, 6, 25, 38, 41};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(UndoKindNumber(doc.records[i].kind), kinds[i]);
  EXPECT_EQ(doc.records[4].dx, 10);
  EXPECT_EQ(doc.changedCount, 5);
  EXPECT_EQ(arc->GetPenWidth(), 9);
  EXPECT_EQ(EndsOf(*arc), (Ends{11, 22, 13, 24}));
  EXPECT_EQ(doc.DropsOf(*arc), 4);  // geometry only, not the pen

  // A refused change changes nothing.
  doc.recordAnswer = kUndoRefused;
  arc->SetEnd(100, 100);
  arc->SetAngle(2.0);
  arc->MoveBy(5, 5);
  EXPECT_EQ(EndsOf(*arc), (Ends{11, 22, 13, 24}));
  EXPECT_EQ(arc->GetAngle(), 1.0);

  CFakeDocument circleDoc;
  auto circle = MakeCircle(0, 0, 100);
  circle->SetDocument(&circleDoc);
  circle->SetCentre(5, 5);
  circle->SetRadius(200);
  circle->SetPenWidth(0);  // becomes 1, unchanged
  circle->SetPenWidth(3);
  circle->MoveHandle(0, 1, -1);
  ASSERT_EQ(circleDoc.records.size(), 4U);
  EXPECT_EQ(UndoKindNumber(circleDoc.records[0].kind), 9);
  EXPECT_EQ(UndoKindNumber(circleDoc.records[1].kind), 32);
  EXPECT_EQ(UndoKindNumber(circleDoc.records[2].kind), 38);
  EXPECT_EQ(UndoKindNumber(circleDoc.records[3].kind), 9);
  EXPECT_EQ(circle->GetHandleX(0), 6);
  EXPECT_EQ(circle->GetHandleY(0), 4);
}

TEST_F(ArcItemTest, MovingAHandleRecalculates) {
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  arc->MoveHandle(1, -1000, -1000);  // the end to (-1000, 0): a half circle
  double cx = 0, cy = 0, r = 0;
  arc->GetCircle(cx, cy, r);
  EXPECT_NEAR(cx, 0.0, 1e-9);
  EXPECT_NEAR(cy, -1000.0, 1e-9);  // a quarter arc from (1000, 0) to (-1000, 0)
  EXPECT_NEAR(r, std::hypot(1000, 1000), 1e-9);
  arc->MoveBy(5, -5);
  arc->GetCircle(cx, cy, r);
  EXPECT_NEAR(cx, 5.0, 1e-9);
  EXPECT_NEAR(cy, -1005.0, 1e-9);
}

TEST_F(ArcItemTest, CopiesAndTheFactory) {
  auto source = MakeArc({1000, 0, 0, 1000}, kHalfPi, 4);
  source->SetColour(0x123456);
  CFakeDocument doc;
  DrawItemPtr copy = CreateItem(kItemArc);
  ASSERT_NE(copy, nullptr);
  copy->SetDocument(&doc);
  copy->CopyFrom(source.get());
  EXPECT_EQ(EndsOf(static_cast<CArcItem&>(*copy)), (Ends{1000, 0, 0, 1000}));
  EXPECT_EQ(copy->GetAngle(), kHalfPi);
  EXPECT_EQ(copy->GetPenWidth(), 4);
  EXPECT_EQ(copy->GetColour(), 0x123456);
  ExpectCircle(static_cast<CArcItem&>(*copy), 0, 0, 1000, 1e-9);
  EXPECT_TRUE(doc.records.empty());

  DrawItemPtr circle = CreateItem(kItemCircle);
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->GetType(), kItemCircle);
  EXPECT_EQ(circle->GetDocument(), nullptr);
  circle->CopyFrom(MakeCircle(7, 8, 9, 2).get());
  int x = 0, y = 0;
  circle->GetCentre(x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(7, 8));
  EXPECT_EQ(circle->GetRadius(), 9);
  EXPECT_EQ(circle->GetPenWidth(), 2);
  circle->CopyFrom(source.get());  // another kind: base attributes only
  EXPECT_EQ(circle->GetRadius(), 9);
  EXPECT_EQ(circle->GetColour(), 0x123456);
}

// ---- Transforms ----

TEST_F(ArcItemTest, ReflectionKeepsTheArcCounterClockwise) {
  CFakeDocument doc;
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  arc->SetDocument(&doc);
  CTransform mirror;
  mirror.SetReflection(1, 0);
  arc->Transform(mirror);
  EXPECT_EQ(EndsOf(*arc), (Ends{0, 1000, -1000, 0}));
  EXPECT_EQ(arc->GetAngle(), kHalfPi);
  ExpectCircle(*arc, 0, 0, 1000, 1e-9);
  EXPECT_TRUE(doc.records.empty());
  EXPECT_EQ(doc.DropsOf(*arc), 1);

  // A stretch by a negative factor mirrors too.
  auto stretched = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  CTransform flip;
  flip.SetStretch(0, -1.0, 0);
  stretched->Transform(flip);
  EXPECT_EQ(EndsOf(*stretched), (Ends{0, -1000, 1000, 0}));
  ExpectCircle(*stretched, 0, 0, 1000, 1e-9);
  // An enlargement by a negative factor is a half turn: no reversal.
  auto turned = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  CTransform half;
  half.SetEnlargement(-1.0, 0, 0);
  turned->Transform(half);
  EXPECT_EQ(EndsOf(*turned), (Ends{-1000, 0, 0, -1000}));
  ExpectCircle(*turned, 0, 0, 1000, 1e-9);
}

TEST_F(ArcItemTest, TransformsAndTheirInverses) {
  struct Case {
    const char* name;
    void (*set)(CTransform& there, CTransform& back);
  };
  const Case cases[] = {
      {"rotation",
       [](CTransform& t, CTransform& b) {
         t.SetRotation(90.0, 300, -200);
         b.SetRotation(-90.0, 300, -200);
       }},
      {"reflection",
       [](CTransform& t, CTransform& b) {
         t.SetReflection(0, 777);
         b.SetReflection(0, 777);
       }},
      {"enlargement",
       [](CTransform& t, CTransform& b) {
         t.SetEnlargement(4.0, 10, 10);
         b.SetEnlargement(0.25, 10, 10);
       }},
      {"negative enlargement",
       [](CTransform& t, CTransform& b) {
         t.SetEnlargement(-2.0, 0, 0);
         b.SetEnlargement(-0.5, 0, 0);
       }},
  };
  for (const Case& c : cases) {
    CTransform there;
    CTransform back;
    c.set(there, back);
    // An arc through angle 0 and a circle.
    auto arc = MakeArc({600, -800, 600, 800}, 2 * std::atan2(800.0, 600.0));
    const Ends ends = EndsOf(*arc);
    double cx = 0, cy = 0, r = 0;
    arc->GetCircle(cx, cy, r);
    arc->Transform(there);
    EXPECT_EQ(arc->IsValid(), 1) << c.name;
    arc->Transform(back);
    EXPECT_EQ(EndsOf(*arc), ends) << c.name;
    ExpectCircle(*arc, cx, cy, r, 1e-6, c.name);

    auto circle = MakeCircle(-300, 400, 500);
    circle->Transform(there);
    EXPECT_GT(circle->GetRadius(), 0) << c.name;
    circle->Transform(back);
    int x = 0, y = 0;
    circle->GetCentre(x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(-300, 400)) << c.name;
    EXPECT_EQ(circle->GetRadius(), 500) << c.name;
  }
  // Only enlargements change a circle's radius, by the size of the factor.
  auto circle = MakeCircle(100, 0, 500);
  CTransform enlarge;
  enlarge.SetEnlargement(-2.0, 0, 0);
  circle->Transform(enlarge);
  EXPECT_EQ(circle->GetRadius(), 1000);
  EXPECT_EQ(circle->GetHandleX(0), -200);
  CTransform stretch;
  stretch.SetStretch(1, 3.0, 0);
  circle->Transform(stretch);
  EXPECT_EQ(circle->GetRadius(), 1000);
  EXPECT_EQ(circle->GetHandleX(0), -600);
}

// ---- Values bar ----

TEST_F(ArcItemTest, PublishesItsFields) {
  auto arc = MakeArc({1000, 0, 0, 1000}, kHalfPi);
  arc->SetColour(0x010203);
  arc->SetObjectNumber(12);
  arc->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], 23);
  EXPECT_EQ(g_valueFieldIds[1], 27);
  EXPECT_EQ(g_valueColour, 0x010203);
  EXPECT_EQ(g_valueObject, 12);
  EXPECT_EQ(g_valueArcAngle, kHalfPi);
  arc->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 4);
  EXPECT_EQ(g_valueFieldIds[0], 54);
  EXPECT_EQ(g_valueFieldIds[3], 57);
  EXPECT_EQ(g_valueCentreX, 0);
  EXPECT_EQ(g_valueStartX, 1000);
  EXPECT_EQ(g_valueEndY, 1000);
  EXPECT_NEAR(g_valueRadius, 1000.0, 1e-9);
  EXPECT_NEAR(g_valueLength, 1000.0 * kHalfPi, 1e-6);

  auto circle = MakeCircle(3, 4, 50);
  circle->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[1], 28);
  EXPECT_EQ(g_valueCircleRadius, 50);
  circle->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], 58);
  EXPECT_EQ(g_valueFieldIds[1], 59);
  EXPECT_EQ(g_valueCentreX, 3);
  EXPECT_EQ(g_valueCentreY, 4);
  EXPECT_EQ(g_valueRadius, 50.0);
}

// ---- Drawing ----

class ArcDrawTest : public ArcItemTest {
 protected:
  void SetUp() override {
    ArcItemTest::SetUp();
    mapping.originX = -50000;
    mapping.originY = 40000;
    mapping.scaleX = 100;
    mapping.scaleY = 100;
    mapping.printScaleX = 50.0;
    mapping.printScaleY = 50.0;
  }
  static std::set<std::pair<int, int>> PixelsOf(const zeph::CRecordingContext& context) {
    std::set<std::pair<int, int>> pixels;
    for (const zeph::DcCall& call : context.calls()) {
      if (call.op == zeph::DcOp::kSetPixel) pixels.insert({call.points[0].x, call.points[0].y});
    }
    return pixels;
  }
  CViewMapping mapping;
  zeph::CRecordingContext dc{1000, 800};
};

TEST_F(ArcDrawTest, ArcMeetsItsEndPixels) {
  // A quarter from (10000, 0) to (0, 10000) about (0, 0): device centre (500, 400), radius
  // 100, ends (600, 400) and (500, 300).
  auto arc = MakeArc({10000, 0, 0, 10000}, kHalfPi);
  arc->SetColour(0x0000FF);
  arc->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const auto pixels = PixelsOf(dc);
  EXPECT_TRUE(pixels.count({600, 400}) && pixels.count({500, 300}));
  for (const auto& [x, y] : pixels) {
    EXPECT_GE(x, 500);
    EXPECT_LE(y, 400);
    EXPECT_NEAR(std::hypot(x - 500, y - 400), 100.0, 0.75);
  }
  // Each colour mode: XOR is set for the drawing and put back.
  dc.Clear();
  arc->Draw(&dc, &mapping, kDrawXor, 0);
  ASSERT_GE(dc.calls().size(), 3U);
  EXPECT_EQ(dc.Lines().first(), QStringLiteral("SetRasterOp xor"));
  EXPECT_EQ(dc.Lines().last(), QStringLiteral("SetRasterOp copy"));
  EXPECT_EQ(dc.calls()[1].colour, 0x0000FFu ^ g_backgroundColour);
  EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy);
}

TEST_F(ArcDrawTest, PrintingUsesTheArcThicknessAndBlackOnMonochrome) {
  g_printerCount = 1;
  g_currentPrinter = 0;
  g_printerArcThickness[0] = 3;
  g_printerLineThickness[0] = 5;
  g_printerIsColour[0] = 0;
  zeph::CRecordingContext page(2000, 1600);
  page.SetPrinting(true);
  auto arc = MakeArc({10000, 0, 0, 10000}, kHalfPi, 2);
  arc->SetColour(0x0000FF);
  arc->Draw(&page, &mapping, kDrawHighlight, 0);
  // Print scale 50: radius 200 pixels about (1000, 800); pen 2 x 3 = 6 pixels across.
  const auto pixels = PixelsOf(page);
  EXPECT_TRUE(pixels.count({1000, 600 - 3}) && pixels.count({1000, 600 + 2}));
  EXPECT_FALSE(pixels.count({1000, 600 + 3}));
  for (const zeph::DcCall& call : page.calls()) {
    if (call.op == zeph::DcOp::kSetPixel) {
      EXPECT_EQ(call.colour, g_colourTable[0]);
    }
  }
  // Thin drawing leaves the factor out.
  page.Clear();
  arc->Draw(&page, &mapping, kDrawOwnColour, 1);
  const auto thin = PixelsOf(page);
  EXPECT_TRUE(thin.count({1000, 599}) && thin.count({1000, 600}));
  EXPECT_FALSE(thin.count({1000, 598}) || thin.count({1000, 601}));
}

TEST_F(ArcDrawTest, CircleDrawsAnEllipseWhenVisible) {
  auto circle = MakeCircle(0, 0, 10000, 2);
  circle->SetColour(0x00FF00);
  circle->Draw(&dc, &mapping, kDrawOwnColour, 0);
  EXPECT_EQ(dc.Lines(), (QList<QString>{"SelectPen solid 2 0x0000ff00", "SelectBrush null",
                                        "Ellipse 400 300 601 501", "SelectBrush solid 0x00ffffff",
                                        "SelectPen solid 1 0x00000000"}));
  // Out of sight: nothing but the pen and brush.
  dc.Clear();
  MakeCircle(1000000, 0, 10000)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  for (const QString& line : dc.Lines()) EXPECT_FALSE(line.startsWith(QStringLiteral("Ellipse")));
  // XOR feedback.
  dc.Clear();
  circle->Draw(&dc, &mapping, kDrawXor, 0);
  EXPECT_EQ(dc.Lines().first(), QStringLiteral("SetRasterOp xor"));
  EXPECT_EQ(dc.Lines().last(), QStringLiteral("SetRasterOp copy"));
}

}  // namespace
