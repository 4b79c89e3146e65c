// Where a line meets each kind. The other kinds are stood in for by small items that answer
// only the getters the line's routines read, so these tests hold whichever kinds are built.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "items/drawitem.h"
#include "items/intersect.h"
#include "items/lineitem.h"
#include "support/log.h"

namespace {

struct Ends {
  int x1;
  int y1;
  int x2;
  int y2;
};

std::unique_ptr<CLineItem> MakeLine(const Ends& e) {
  auto line = std::make_unique<CLineItem>();
  line->SetStart(e.x1, e.y1);
  line->SetEnd(e.x2, e.y2);
  line->SetLineStyle(1);
  return line;
}

class CStandInArc final : public CDrawItem {
 public:
  CStandInArc(Ends ends, double cx, double cy, double r)
      : CDrawItem(kItemArc), m_ends(ends), m_cx(cx), m_cy(cy), m_r(r) {}
  void GetStart(int& x, int& y) const override { x = m_ends.x1, y = m_ends.y1; }
  void GetEnd(int& x, int& y) const override { x = m_ends.x2, y = m_ends.y2; }
  void GetCircle(double& cx, double& cy, double& r) const override {
    cx = m_cx;
    cy = m_cy;
    r = m_r;
  }

 private:
  Ends m_ends;
  double m_cx, m_cy, m_r;
};

class CStandInCircle final : public CDrawItem {
 public:
  CStandInCircle(int cx, int cy, int r) : CDrawItem(kItemCircle), m_cx(cx), m_cy(cy), m_r(r) {}
  void GetCentre(int& x, int& y) const override { x = m_cx, y = m_cy; }
  int GetRadius() const override { return m_r; }

 private:
  int m_cx, m_cy, m_r;
};

class CStandInEllipse final : public CDrawItem {
 public:
  CStandInEllipse(int cx, int cy, int a, int b, double rotation)
      : CDrawItem(kItemEllipse), m_cx(cx), m_cy(cy), m_a(a), m_b(b), m_rotation(rotation) {}
  void GetCentre(int& x, int& y) const override { x = m_cx, y = m_cy; }
  void GetSemiAxes(int& a, int& b) const override { a = m_a, b = m_b; }
  double GetRotation() const override { return m_rotation; }

 private:
  int m_cx, m_cy, m_a, m_b;
  double m_rotation;
};

class CStandInEllipseArc final : public CDrawItem {
 public:
  CStandInEllipseArc(Ends ends, double cx, double cy, double rx, double ry)
      : CDrawItem(kItemEllipseArc), m_ends(ends), m_cx(cx), m_cy(cy), m_rx(rx), m_ry(ry) {}
  void GetStart(int& x, int& y) const override { x = m_ends.x1, y = m_ends.y1; }
  void GetEnd(int& x, int& y) const override { x = m_ends.x2, y = m_ends.y2; }
  void GetCentreExact(double& x, double& y) const override { x = m_cx, y = m_cy; }
  void GetRadii(double& rx, double& ry) const override { rx = m_rx, ry = m_ry; }
  double GetRotation() const override { return 0.0; }

 private:
  Ends m_ends;
  double m_cx, m_cy, m_rx, m_ry;
};

// A cubic Bezier segment from P0 to P3 with control points P1 and P2.
class CStandInCurve final : public CDrawItem {
 public:
  CStandInCurve(int x0, int y0, double x1, double y1, double x2, double y2, int x3, int y3)
      : CDrawItem(kItemBezier),
        m_x{double(x0), x1, x2, double(x3)},
        m_y{double(y0), y1, y2, double(y3)} {}
  void GetStart(int& x, int& y) const override {
    x = static_cast<int>(m_x[0]);
    y = static_cast<int>(m_y[0]);
  }
  void GetEnd(int& x, int& y) const override {
    x = static_cast<int>(m_x[3]);
    y = static_cast<int>(m_y[3]);
  }
  void GetControlPoint(int i, double& x, double& y) const override {
    x = m_x[1 + i];
    y = m_y[1 + i];
  }
  double GetXAt(double t) const override { return At(m_x, t); }
  double GetYAt(double t) const override { return At(m_y, t); }

 private:
  static double At(const double (&p)[4], double t) {
    const double u = 1 - t;
    return p[0] * u * u * u + 3 * p[1] * u * u * t + 3 * p[2] * u * t * t + p[3] * t * t * t;
  }
  double m_x[4];
  double m_y[4];
};

class CInert final : public CDrawItem {
 public:
  explicit CInert(int type) : CDrawItem(type) {}
};

struct Point {
  int x;
  int y;
  int flag;
  friend bool operator==(const Point&, const Point&) = default;
};

class LineIntersectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetIntersectionState();
  }
  void TearDown() override {
    ResetIntersectionState();
    ResetLogState();
  }

  static std::vector<Point> Meet(const Ends& line, CDrawItem& other, bool beyondEnds = false) {
    const int count = MakeLine(line)->IntersectLineWith(&other, beyondEnds);
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
      points.push_back({g_intersectX[i], g_intersectY[i], g_intersectFlags[i]});
    }
    return points;
  }
};

using Points = std::vector<Point>;

// ---- Line with line ----

TEST_F(LineIntersectTest, LineWithLine) {
  constexpr int kX = 50000000;
  constexpr int kY = 30000000;
  const struct {
    const char* name;
    Ends line;
    Ends other;
    bool beyond;
    Points expected;
  } cases[] = {
      {"crossing", {0, 0, 100, 100}, {0, 100, 100, 0}, false, {{50, 50, 0}}},
      {"crossing, rounded half away from zero",
       {0, 0, 1, 1000000},
       {1, 0, 0, 1000000},
       false,
       {{1, 500000, 0}}},
      {"an end touching the other's middle", {50, 0, 50, 100}, {0, 0, 100, 0}, false, {{50, 0, 0}}},
      {"the other's end touching this middle",
       {0, 0, 100, 0},
       {50, 100, 50, 0},
       false,
       {{50, 0, 0}}},
      {"a shared end", {0, 0, 100, 0}, {100, 0, 100, 100}, false, {{100, 0, 0}}},
      {"a shared end of collinear overlapping lines",
       {0, 0, 100, 0},
       {0, 0, 50, 0},
       false,
       {{0, 0, 0}}},
      {"collinear overlapping", {0, 0, 100, 0}, {50, 0, 150, 0}, false, {}},
      {"parallel", {0, 0, 100, 0}, {0, 10, 100, 10}, false, {}},
      {"apart", {0, 0, 100, 0}, {200, -50, 200, 50}, false, {}},
      {"past the other's end", {0, 0, 100, 100}, {0, 100, 40, 60}, false, {}},
      {"ending one unit short still meets",
       {50, -100, 50, -1},
       {0, 0, 100, 0},
       false,
       {{50, 0, 0}}},
      {"steep parallel lines", {0, -1000000, 2, 1000000}, {1, -1000000, 3, 1000000}, false, {}},
      {"steep crossing", {0, -1000000, 2, 1000000}, {2, -1000000, 0, 1000000}, false, {{1, 0, 0}}},
      {"far diagonals", {-kX, -kY, kX, kY}, {-kX, kY, kX, -kY}, false, {{0, 0, 0}}},
      {"far, off the middle",
       {-kX, -kY, kX, kY},
       {25000000, -kY, 25000000, kY},
       false,
       {{25000000, 15000000, 0}}},
      {"far corner",
       {-kX, kY - 1, kX, kY - 1},
       {-kX + 1, -kY, -kX + 1, kY},
       false,
       {{-kX + 1, kY - 1, 0}}},
      {"far, nearly parallel", {-kX, -kY, kX, kY}, {-kX, -kY + 1, kX, kY - 1}, false, {{0, 0, 0}}},
      {"far, parallel one unit apart", {-kX, -kY, kX, kY}, {-kX, -kY + 1, kX, kY + 1}, false, {}},
      // Extend: only points past this line's ends, and no shared end is looked for.
      {"beyond: the extension meets", {0, 0, 10, 0}, {100, -10, 100, 10}, true, {{100, 0, 0}}},
      {"beyond: not without extension", {0, 0, 10, 0}, {100, -10, 100, 10}, false, {}},
      {"beyond: a crossing on the segment is not wanted",
       {0, 0, 100, 100},
       {0, 100, 100, 0},
       true,
       {}},
      {"beyond: a shared end is on the segment", {0, 0, 100, 0}, {100, 0, 100, 100}, true, {}},
      {"beyond: one unit short lies past the end",
       {50, -100, 50, -1},
       {0, 0, 100, 0},
       true,
       {{50, 0, 0}}},
      {"beyond: the other line must still be met", {0, 0, 10, 0}, {100, 10, 100, 20}, true, {}},
  };
  for (const auto& c : cases) {
    auto other = MakeLine(c.other);
    EXPECT_EQ(Meet(c.line, *other, c.beyond), c.expected) << c.name;
  }
  auto line = MakeLine({0, 0, 100, 100});
  EXPECT_EQ(line->IntersectWith(MakeLine({0, 100, 100, 0}).get()), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Line with arc ----

TEST_F(LineIntersectTest, LineWithArc) {
  // A quarter circle about the origin from (1000, 0) counter-clockwise to (0, 1000).
  CStandInArc quarter({1000, 0, 0, 1000}, 0, 0, 1000);
  EXPECT_EQ(Meet({-2000, 500, 2000, 500}, quarter), (Points{{866, 500, 0}}));
  EXPECT_EQ(Meet({-2000, -500, 2000, -500}, quarter), Points{});
  EXPECT_EQ(Meet({600, -2000, 600, 2000}, quarter), (Points{{600, 800, 0}}));
  // The arc past angle 0: from (0, -1000) through (1000, 0) to (0, 1000).
  CStandInArc right({0, -1000, 0, 1000}, 0, 0, 1000);
  EXPECT_EQ(Meet({600, -2000, 600, 2000}, right), (Points{{600, 800, 0}, {600, -800, 0}}));

  // Shared ends come first; a root within Manhattan distance 2 of the one shared end is
  // skipped.
  EXPECT_EQ(Meet({1000, 0, -1000, 0}, quarter), (Points{{1000, 0, 0}}));
  EXPECT_EQ(Meet({1000, 0, 0, 1000}, quarter), (Points{{1000, 0, 0}, {0, 1000, 0}}));
  // A tangent's equal roots give one point.
  EXPECT_EQ(Meet({-2000, 1000, 2000, 1000}, quarter), (Points{{0, 1000, 0}}));
  // Extend keeps the arc's allowance past the ends.
  EXPECT_EQ(Meet({-2000, 500, -1500, 500}, quarter, true), (Points{{866, 500, 0}}));
}

TEST_F(LineIntersectTest, LineWithArcNeverWritesAThirdPoint) {
  // An arc whose stored start is not on its circle (its ends moved without a recalculation):
  // the shared end and both roots would make three.
  CStandInArc stale({-2000, 500, -1000, 300}, 0, 0, 1000);
  ASSERT_EQ(EnsureIntersectionCapacity(3), 1);
  g_intersectX[2] = 12345;
  const Points points = Meet({-2000, 500, 2000, 500}, stale);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0], (Point{-2000, 500, 0}));
  EXPECT_EQ(points[1], (Point{866, 500, 0}));
  EXPECT_EQ(g_intersectX[2], 12345);
}

// ---- Line with circle ----

TEST_F(LineIntersectTest, LineWithCircle) {
  CStandInCircle circle(0, 0, 1000);
  const struct {
    const char* name;
    Ends line;
    bool beyond;
    Points expected;
  } cases[] = {
      {"touching the top", {-2000, 1000, 2000, 1000}, false, {{0, 1000, 1}}},
      {"through, + root first", {-2000, 0, 2000, 0}, false, {{1000, 0, 0}, {-1000, 0, 0}}},
      {"touching vertically", {1000, -5, 1000, 5}, false, {{1000, 0, 1}}},
      {"through vertically", {0, -2000, 0, 2000}, false, {{0, 1000, 0}, {0, -1000, 0}}},
      {"only one crossing on the segment", {0, 0, 2000, 0}, false, {{1000, 0, 0}}},
      {"missing", {-2000, 1001, 2000, 1001}, false, {}},
      {"extended to both crossings", {-10, 0, 10, 0}, true, {{1000, 0, 0}, {-1000, 0, 0}}},
      {"extended past one end", {0, 0, 2000, 0}, true, {{-1000, 0, 0}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Meet(c.line, circle, c.beyond), c.expected) << c.name;
}

// ---- Line with ellipse and elliptic arc ----

TEST_F(LineIntersectTest, LineWithEllipse) {
  CStandInEllipse ellipse(0, 0, 2000, 1000, 0.0);
  EXPECT_EQ(Meet({-3000, 0, 3000, 0}, ellipse), (Points{{2000, 0, 0}, {-2000, 0, 0}}));
  EXPECT_EQ(Meet({0, -3000, 0, 3000}, ellipse), (Points{{0, 1000, 0}, {0, -1000, 0}}));
  EXPECT_EQ(Meet({-3000, 1000, 3000, 1000}, ellipse), (Points{{0, 1000, 1}}));
  // Tangent at the line's own end: not counted as touching.
  EXPECT_EQ(Meet({0, 1000, 3000, 1000}, ellipse), (Points{{0, 1000, 0}}));
  EXPECT_EQ(Meet({-3000, 1001, 3000, 1001}, ellipse), Points{});

  // Turned a quarter: the long axis now runs along y.
  CStandInEllipse turned(100, 100, 2000, 1000, M_PI / 2);
  EXPECT_EQ(Meet({100, -3000, 100, 3000}, turned), (Points{{100, 2100, 0}, {100, -1900, 0}}));
}

TEST_F(LineIntersectTest, LineWithEllipticArc) {
  // The upper half of the ellipse, from (2000, 0) counter-clockwise to (-2000, 0).
  CStandInEllipseArc upper({2000, 0, -2000, 0}, 0, 0, 2000, 1000);
  EXPECT_EQ(Meet({0, -3000, 0, 3000}, upper), (Points{{0, 1000, 0}}));
  EXPECT_EQ(Meet({1000, -3000, 1000, 3000}, upper), (Points{{1000, 866, 0}}));
  EXPECT_EQ(Meet({-3000, 1000, 3000, 1000}, upper), (Points{{0, 1000, 1}}));
  EXPECT_EQ(Meet({-3000, -500, 3000, -500}, upper), Points{});
}

// ---- Line with curve ----

TEST_F(LineIntersectTest, LineWithCurve) {
  // x runs evenly from 0 to 3000 while y swings across y = 0 three times.
  CStandInCurve wave(0, -1000, 1000, 3000, 2000, -3000, 3000, 1000);
  const Points three = Meet({-1000, 0, 4000, 0}, wave);
  ASSERT_EQ(three.size(), 3u);
  bool middle = false;
  for (const Point& p : three) {
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.flag, 0);
    middle = middle || p.x == 1500;
  }
  EXPECT_TRUE(middle);
  // Only the middle crossing lies on a shorter line.
  EXPECT_EQ(Meet({1000, 0, 2000, 0}, wave), (Points{{1500, 0, 0}}));
  // Sharing both ends with the curve: the ends first, then at most one more point.
  const Points shared = Meet({0, -1000, 3000, 1000}, wave);
  ASSERT_EQ(shared.size(), 3u);
  EXPECT_EQ(shared[0], (Point{0, -1000, 0}));
  EXPECT_EQ(shared[1], (Point{3000, 1000, 0}));
  EXPECT_EQ(shared[2], (Point{1500, 0, 0}));
}

// ---- Kinds that cross nothing ----

TEST_F(LineIntersectTest, FillsDimensionsAndTextsAreNeverMet) {
  for (int type : {kItemFill, kItemDimension, kItemText}) {
    CInert other(type);
    EXPECT_EQ(Meet({-100, -100, 100, 100}, other), Points{}) << type;
    EXPECT_EQ(Meet({-100, -100, 100, 100}, other, true), Points{}) << type;
  }
  EXPECT_EQ(MakeLine({0, 0, 1, 1})->IntersectWith(nullptr), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
