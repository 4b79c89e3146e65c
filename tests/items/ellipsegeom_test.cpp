#include "items/ellipsegeom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "items/intersect.h"
#include "support/constants.h"
#include "support/log.h"

namespace {

class EllipseGeomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetIntersectionState();
  }
  void TearDown() override {
    ResetIntersectionState();
    ResetLogState();
  }
};

// The stretched ellipse through its axis-intercepts and the stretched end of its first axis,
// solved for the new squared semi-axes (valid for a positive factor and a rotation well away
// from the axes, where it is well conditioned).
void ReferenceStretch(double& a, double& b, double& th, double k, int alongY) {
  if (a < b) {
    std::swap(a, b);
    th = th >= g_halfPi ? th - g_halfPi : th + g_halfPi;
  }
  bool folded = false;
  if (th >= g_halfPi) {
    th = kPi - th;
    folded = true;
  }
  const double c = std::cos(th), s = std::sin(th);
  double x = a * b / std::sqrt(b * c * b * c + a * s * a * s);
  double y = a * b / std::sqrt(b * s * b * s + a * c * a * c);
  double p = a * c, q = a * s;
  if (alongY != 0) {
    y *= k;
    q *= k;
  } else {
    x *= k;
    p *= k;
  }
  const double x2 = x * x, y2 = y * y;
  const double e = x2 * y2 * p * p * q * q;
  const double cc = x2 * y2 - p * p * y2 - q * q * x2;
  const double delta =
      (4 * e * (x2 + y2)) * (4 * e * (x2 + y2)) - 4 * (4 * e - cc * cc) * 4 * e * x2 * y2;
  const double q1 = (4 * e * (x2 + y2) - std::sqrt(delta)) / (2 * (4 * e - cc * cc));
  const double q2 = (4 * e * (x2 + y2) + std::sqrt(delta)) / (2 * (4 * e - cc * cc));
  a = std::sqrt(q2);
  b = std::sqrt(q1);
  double w = -std::atan(std::sqrt((q1 * x2 - x2 * y2) / (q1 * y2 - x2 * y2)));
  if (w < 0) w += kPi;
  if (!folded) w = kPi - w;
  th = w;
}

// The points of an ellipse satisfy this (1 on the curve).
double EllipseValue(double a, double b, double th, double x, double y) {
  const double c = std::cos(th), s = std::sin(th);
  const double u = x * c + y * s;
  const double v = -x * s + y * c;
  return u * u / (a * a) + v * v / (b * b);
}

TEST_F(EllipseGeomTest, StretchAgreesWithTheClosedFormForPositiveFactors) {
  struct Case {
    double a, b, th, k;
    int alongY;
  };
  const Case cases[] = {
      {2000, 1000, kPi / 4, 2, 0}, {2000, 1000, kPi / 4, 2, 1}, {800, 3000, 0.3, 0.5, 0},
      {1500, 700, 2.5, 1.7, 1},    {1000, 999, 1.2, 3, 0},      {5000, 100, 3.0, 0.25, 1},
      {300, 900, 1.9, 1.1, 0},     {4000, 2500, 0.05, 4, 1},
  };
  for (const Case& c : cases) {
    double a = c.a, b = c.b, th = c.th;
    double ra = c.a, rb = c.b, rth = c.th;
    StretchEllipse(a, b, th, c.k, c.alongY);
    ReferenceStretch(ra, rb, rth, c.k, c.alongY);
    EXPECT_NEAR(a, ra, 1e-6 * ra) << c.a << " " << c.b << " " << c.th;
    EXPECT_NEAR(b, rb, 1e-6 * rb) << c.a << " " << c.b << " " << c.th;
    EXPECT_NEAR(std::fmod(th, kPi), std::fmod(rth, kPi), 1e-9) << c.a << " " << c.b << " " << c.th;
    EXPECT_GE(a, b);
  }
}

TEST_F(EllipseGeomTest, StretchMapsEveryPointOfTheEllipseOntoTheNewOne) {
  struct Case {
    const char* name;
    double a, b, th, k;
    int alongY;
  };
  const Case cases[] = {
      {"at 45 degrees along x", 2000, 1000, kPi / 4, 2, 0},
      {"negative factor mirrors", 2000, 1000, kPi / 6, -1, 0},
      {"negative factor along y", 3000, 1200, 1.0, -2.5, 1},
      {"nearly unrotated", 3000, 1000, 1e-12, 3, 0},
      {"nearly upright", 3000, 1000, g_halfPi + 1e-13, 0.5, 1},
      {"rotation beyond a half turn", 2500, 900, 4.0, 1.5, 0},
      {"circle at an angle", 1000, 1000, 0.7, 2, 1},
      {"shrunk", 1000, 400, 2.2, 0.01, 0},
  };
  for (const Case& c : cases) {
    double a = c.a, b = c.b, th = c.th;
    StretchEllipse(a, b, th, c.k, c.alongY);
    ASSERT_TRUE(std::isfinite(a) && std::isfinite(b) && std::isfinite(th)) << c.name;
    EXPECT_GE(a, b) << c.name;
    EXPECT_GT(b, 0) << c.name;
    EXPECT_GE(th, 0) << c.name;
    EXPECT_LT(th, kPi) << c.name;
    for (int i = 0; i < 16; ++i) {
      const double phi = i * g_twoPi / 16;
      double x = c.a * std::cos(phi) * std::cos(c.th) - c.b * std::sin(phi) * std::sin(c.th);
      double y = c.a * std::cos(phi) * std::sin(c.th) + c.b * std::sin(phi) * std::cos(c.th);
      (c.alongY != 0 ? y : x) *= c.k;
      EXPECT_NEAR(EllipseValue(a, b, th, x, y), 1.0, 1e-9) << c.name << " point " << i;
    }
  }
}

TEST_F(EllipseGeomTest, StretchOfAnAxisAlignedEllipseGrowsOneAxis) {
  struct Case {
    const char* name;
    double a, b, th, k;
    int alongY;
    double wantA, wantB;
  };
  const Case cases[] = {
      {"circle along x doubles a only", 1000, 1000, 0, 2, 0, 2000, 1000},
      {"circle along y grows b", 1000, 1000, 0, 2, 1, 1000, 2000},
      {"half turn along x", 1000, 500, kPi, 3, 0, 3000, 500},
      {"upright along x grows b", 1000, 500, g_halfPi, 3, 0, 1000, 1500},
      {"upright along y grows a", 1000, 500, g_halfPi, 3, 1, 3000, 500},
      {"three quarters along x", 1000, 500, 3 * g_halfPi, 2, 0, 1000, 1000},
      {"negative factor keeps the size positive", 1000, 500, 0, -2, 0, 2000, 500},
  };
  for (const Case& c : cases) {
    double a = c.a, b = c.b, th = c.th;
    StretchEllipse(a, b, th, c.k, c.alongY);
    EXPECT_EQ(a, c.wantA) << c.name;
    EXPECT_EQ(b, c.wantB) << c.name;
    EXPECT_EQ(th, c.th) << c.name;
  }
}

TEST_F(EllipseGeomTest, StretchNeverGivesNaN) {
  struct Case {
    const char* name;
    double a, b, th, k;
    int alongY;
    double wantA, wantB, wantTh;
  };
  const Case cases[] = {
      {"factor 0 across x leaves the height", 2000, 1000, kPi / 4, 0, 0, std::sqrt(2.5e6), 0,
       g_halfPi},
      {"factor 0 across y leaves the width", 2000, 1000, kPi / 4, 0, 1, std::sqrt(2.5e6), 0, 0},
      {"a flat ellipse is a segment", 2000, 0, kPi / 4, 2, 0, std::sqrt(1e7), 0, std::atan2(1, 2)},
      {"a point stays a point", 0, 0, 1.0, 5, 1, 0, 0, 0},
      {"an infinite factor changes nothing", 2000, 1000, 1.0, INFINITY, 0, 2000, 1000, 1.0},
  };
  for (const Case& c : cases) {
    double a = c.a, b = c.b, th = c.th;
    StretchEllipse(a, b, th, c.k, c.alongY);
    EXPECT_NEAR(a, c.wantA, 1e-9 * c.wantA + 1e-12) << c.name;
    EXPECT_NEAR(b, c.wantB, 1e-9) << c.name;
    EXPECT_NEAR(th, c.wantTh, 1e-12) << c.name;
  }
}

TEST_F(EllipseGeomTest, StretchThereAndBackRestoresTheEllipse) {
  for (double th : {0.2, 1.0, 1.6, 2.9}) {
    for (int alongY : {0, 1}) {
      double a = 3000, b = 1100, r = th;
      StretchEllipse(a, b, r, 2.5, alongY);
      StretchEllipse(a, b, r, 1 / 2.5, alongY);
      EXPECT_NEAR(a, 3000, 1e-6) << th << " " << alongY;
      EXPECT_NEAR(b, 1100, 1e-6) << th << " " << alongY;
      EXPECT_NEAR(r, th, 1e-9) << th << " " << alongY;
    }
  }
}

TEST_F(EllipseGeomTest, ArcRangeFormsDifferOnlyAtTheEdges) {
  struct Case {
    const char* name;
    double angle, start, end;
    int startShift, endShift;
  };
  const double twoPi = g_twoPi;
  const Case cases[] = {
      {"inside a plain arc", 1.0, 0.5, 1.5, 1, 1},
      {"just past the end of a plain arc", 1.50005, 0.5, 1.5, 1, 1},
      {"beyond the widening", 1.5002, 0.5, 1.5, 0, 0},
      {"through 0, after 0", 0.2, 5.0, 1.0, 1, 1},
      {"through 0, before 0", 5.5, 5.0, 1.0, 1, 1},
      {"through 0, just past the end", 1.00005, 5.0, 1.0, 1, 0},
      {"through 0, outside", 3.0, 5.0, 1.0, 0, 0},
      {"ending just below a full turn, just past 0", 0.00002, 5.0, twoPi - 0.00005, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAngleInArcStartShift(c.angle, c.start, c.end), c.startShift) << c.name;
    EXPECT_EQ(IsAngleInArcEndShift(c.angle, c.start, c.end), c.endShift) << c.name;
  }
}

std::vector<std::pair<int, int>> Points(int count) {
  std::vector<std::pair<int, int>> points;
  for (int i = 0; i < count; ++i) {
    points.emplace_back(g_intersectX[static_cast<std::size_t>(i)],
                        g_intersectY[static_cast<std::size_t>(i)]);
  }
  return points;
}

TEST_F(EllipseGeomTest, EllipseWithConcentricCircles) {
  const EllipseShape ellipse{0, 0, 10000, 5000, 0};
  const ConicIntersectRules rules;

  // Radius 7000: one point in each quadrant.
  int count = IntersectEllipseCircle(ellipse, 0, 0, 7000, rules);
  ASSERT_EQ(count, 4);
  int quadrants[4] = {0, 0, 0, 0};
  for (const auto& [x, y] : Points(count)) {
    quadrants[(x > 0 ? 0 : 1) + (y > 0 ? 0 : 2)]++;
    EXPECT_NEAR(std::hypot(x, y), 7000, 2);
    EXPECT_NEAR(EllipseValue(10000, 5000, 0, x, y), 1.0, 1e-3);
  }
  EXPECT_EQ(quadrants[0] * quadrants[1] * quadrants[2] * quadrants[3], 1);

  // Radius 5000 touches at the top and the bottom: the double root's first copy takes the
  // upper point, the second finds it stored and takes the lower one.
  count = IntersectEllipseCircle(ellipse, 0, 0, 5000, rules);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(Points(count), (std::vector<std::pair<int, int>>{{0, 5000}, {0, -5000}}));

  EXPECT_EQ(IntersectEllipseCircle(ellipse, 0, 0, 12000, rules), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(EllipseGeomTest, EllipseWithOffCentreCircleTwoPoints) {
  // A rotated ellipse and a circle around one end of its major axis cross twice.
  const double th = 0.6;
  const EllipseShape ellipse{1000, -2000, 8000, 3000, th};
  const double ox = 1000 + 8000 * std::cos(th);
  const double oy = -2000 + 8000 * std::sin(th);
  const int count = IntersectEllipseCircle(ellipse, ox, oy, 2000, ConicIntersectRules{});
  ASSERT_EQ(count, 2);
  for (const auto& [x, y] : Points(count)) {
    EXPECT_NEAR(std::hypot(x - ox, y - oy), 2000, 2);
    EXPECT_NEAR(EllipseValue(8000, 3000, th, x - 1000, y + 2000), 1.0, 1e-3);
  }
}

TEST_F(EllipseGeomTest, EllipseWithEllipse) {
  struct Case {
    const char* name;
    EllipseShape first, second;
    int want;
  };
  const Case cases[] = {
      {"crossed at right angles", {0, 0, 10000, 5000, 0}, {0, 0, 10000, 5000, g_halfPi}, 4},
      {"first unrotated swaps roles", {0, 0, 10000, 5000, 1e-6}, {0, 0, 9000, 6000, 0.3}, 4},
      {"side by side overlapping", {0, 0, 6000, 3000, 0.2}, {7000, 1000, 5000, 2000, 1.1}, 2},
      {"far apart", {0, 0, 6000, 3000, 0.2}, {40000, 1000, 5000, 2000, 1.1}, 0},
      {"one inside the other", {0, 0, 10000, 8000, 0.4}, {500, 0, 3000, 2000, 1.0}, 0},
  };
  for (const Case& c : cases) {
    const int count = IntersectEllipseEllipse(c.first, c.second, ConicIntersectRules{});
    EXPECT_EQ(count, c.want) << c.name;
    for (const auto& [x, y] : Points(count)) {
      for (const EllipseShape& e : {c.first, c.second}) {
        EXPECT_NEAR(EllipseValue(e.a, e.b, e.rotation, x - e.cx, y - e.cy), 1.0, 1e-3) << c.name;
      }
    }
  }
  // At right angles the crossings are (+-x, +-x) with x^2 (1/a^2 + 1/b^2) = 1.
  const int count = IntersectEllipseEllipse(cases[0].first, cases[0].second, {});
  ASSERT_EQ(count, 4);
  for (const auto& [x, y] : Points(count)) {
    EXPECT_NEAR(std::abs(x), std::sqrt(2e7), 1.01);
    EXPECT_NEAR(std::abs(y), std::sqrt(2e7), 1.01);
  }
}

TEST_F(EllipseGeomTest, RangeTestsKeepOnlyPointsOnTheArc) {
  // Each root of a circle about the ellipse's centre has a crossing above and one below.
  struct Case {
    const char* name;
    double start, end;
    int want;
    int sign;  // of every y found
  };
  const Case cases[] = {
      {"upper half", 0.0, kPi, 2, 1},
      // The upper candidates come first and miss the arc; the lower ones still count.
      {"lower half", kPi, 0.0, 2, -1},
      {"lower left quarter", kPi, 3 * kPi / 2, 1, -1},
      {"a sliver with no crossing", 0.1, 0.2, 0, 0},
  };
  for (const Case& c : cases) {
    ConicIntersectRules rules;
    rules.testCount = 1;
    rules.tests[0] = {kArcRangeEndShift, false, 0, 0, c.start, c.end};
    const int count = IntersectEllipseCircle({0, 0, 10000, 5000, 0}, 0, 0, 7000, rules);
    EXPECT_EQ(count, c.want) << c.name;
    for (const auto& [x, y] : Points(count)) EXPECT_EQ(y > 0 ? 1 : -1, c.sign) << c.name;
  }
}

TEST_F(EllipseGeomTest, ResultsAreTruncatedTowardZero) {
  // Crossings at (+-sqrt(2e7), +-sqrt(2e7)) = +-4472.136: truncated, never rounded up.
  const int count =
      IntersectEllipseEllipse({0, 0, 10000, 5000, 0}, {0, 0, 10000, 5000, g_halfPi}, {});
  ASSERT_EQ(count, 4);
  for (const auto& [x, y] : Points(count)) {
    EXPECT_EQ(std::abs(x), 4472);
    EXPECT_EQ(std::abs(y), 4472);
  }
}

TEST_F(EllipseGeomTest, FailedResultSpaceIsReported) {
  ConicIntersectRules rules;
  rules.glitchCode = 1804;
  rules.glitchNumber = 8990;
  // An impossible capacity cannot be forced here; a degenerate ellipse gives nothing quietly.
  EXPECT_EQ(IntersectEllipseCircle({0, 0, 0, 5000, 0}, 0, 0, 100, rules), 0);
  EXPECT_EQ(IntersectEllipseEllipse({0, 0, 100, 100, 0}, {0, 0, NAN, 5, 0}, rules), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(EllipseGeomTest, OutlineArcsJoinAndFollowTheEllipse) {
  for (const auto& [a, b] : std::vector<std::pair<double, double>>{
           {10000, 5000}, {3000, 3000}, {2000, 7000}, {50000, 1000}}) {
    const auto arcs = MakeEllipseOutlineArcs(a, b);
    for (std::size_t i = 0; i < arcs.size(); ++i) {
      const OutlineArc& arc = arcs[i];
      const OutlineArc& next = arcs[(i + 1) % arcs.size()];
      EXPECT_NEAR(arc.endX, next.startX, 1e-6 * a) << a << " " << b << " arc " << i;
      EXPECT_NEAR(arc.endY, next.startY, 1e-6 * a) << a << " " << b << " arc " << i;
      EXPECT_NEAR(std::hypot(arc.startX - arc.cx, arc.startY - arc.cy), arc.radius, 1e-6 * a);
      EXPECT_NEAR(std::hypot(arc.endX - arc.cx, arc.endY - arc.cy), arc.radius, 1e-6 * a);
      EXPECT_NEAR(EllipseValue(a, b, 0, arc.startX, arc.startY), 1.0, 1e-9);
      // Counter-clockwise and less than a half turn.
      const double cross =
          (arc.startX - arc.cx) * (arc.endY - arc.cy) - (arc.startY - arc.cy) * (arc.endX - arc.cx);
      EXPECT_GT(cross, 0) << a << " " << b << " arc " << i;
    }
    if (a == b) {
      for (const OutlineArc& arc : arcs) EXPECT_NEAR(arc.radius, a, 1e-6 * a);
    }
  }
  for (const OutlineArc& arc : MakeEllipseOutlineArcs(0, 5)) EXPECT_EQ(arc.radius, 0);
}

TEST_F(EllipseGeomTest, ImplicitFormUsesRoundedAxisVectors) {
  const EllipseForm form = MakeEllipseForm(10000, 5000, 0);
  EXPECT_EQ(form.p, 25e6);
  EXPECT_EQ(form.q, 0);
  EXPECT_EQ(form.r, 1e8);
  EXPECT_EQ(form.s, 2.5e15);
  // The tolerance used on it scales with a^2 b^2.
  EXPECT_EQ(form.s / 200000, 12.5e9);
  EXPECT_EQ(EllipseResidual(form, 10000, 0), 0);
  EXPECT_EQ(EllipseResidual(form, 0, 5000), 0);
}

}  // namespace
