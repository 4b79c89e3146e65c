#include "items/ellipseitem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "items/fakedocument.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/item_fixture.h"
#include "items/lineitem.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// ---- Stand-ins for the other kinds, answering only what the ellipse routines ask ----

class TestCircle final : public CDrawItem {
 public:
  TestCircle(int cx, int cy, int radius) : CDrawItem(kItemCircle), m_x(cx), m_y(cy), m_r(radius) {}
  void GetCentre(int& x, int& y) const override {
    x = m_x;
    y = m_y;
  }
  int GetRadius() const override { return m_r; }
  std::uint8_t GetPenWidth() const override { return 3; }

 private:
  int m_x, m_y, m_r;
};

// A circular arc from angle `from` counter-clockwise to angle `to` (radians) of a circle.
class TestArc final : public CDrawItem {
 public:
  TestArc(double cx, double cy, double radius, double from, double to)
      : CDrawItem(kItemArc), m_cx(cx), m_cy(cy), m_r(radius) {
    m_sx = RoundToInt(cx + radius * std::cos(from));
    m_sy = RoundToInt(cy + radius * std::sin(from));
    m_ex = RoundToInt(cx + radius * std::cos(to));
    m_ey = RoundToInt(cy + radius * std::sin(to));
  }
  void GetCircle(double& cx, double& cy, double& radius) const override {
    cx = m_cx;
    cy = m_cy;
    radius = m_r;
  }
  void GetStart(int& x, int& y) const override {
    x = m_sx;
    y = m_sy;
  }
  void GetEnd(int& x, int& y) const override {
    x = m_ex;
    y = m_ey;
  }
  std::uint8_t GetPenWidth() const override { return 2; }

 private:
  double m_cx, m_cy, m_r;
  int m_sx = 0, m_sy = 0, m_ex = 0, m_ey = 0;
};

class TestText final : public CDrawItem {
 public:
  TestText() : CDrawItem(kItemText) {}
};

std::unique_ptr<CEllipseItem> MakeEllipse(int cx, int cy, int a, int b, double rotation) {
  auto e = std::make_unique<CEllipseItem>();
  e->SetCentre(cx, cy);
  e->SetSemiAxes(a, b);
  e->SetRotation(rotation);
  e->SetPenWidth(1);
  return e;
}

// The point of the ellipse at parametric angle phi, rounded.
std::pair<int, int> PointAt(double cx, double cy, double a, double b, double rotation, double phi) {
  const double x = a * std::cos(phi), y = b * std::sin(phi);
  return {RoundToInt(cx + x * std::cos(rotation) - y * std::sin(rotation)),
          RoundToInt(cy + x * std::sin(rotation) + y * std::cos(rotation))};
}

// An elliptic arc from parametric angle `from` to `to` (radians, counter-clockwise).
std::unique_ptr<CEllipseArcItem> MakeArc(double cx, double cy, double a, double b, double rotation,
                                         double from, double to) {
  auto arc = std::make_unique<CEllipseArcItem>();
  arc->SetCentreExact(cx, cy);
  arc->SetRadii(a, b);
  arc->SetRotation(rotation);
  const auto [sx, sy] = PointAt(cx, cy, a, b, rotation, from);
  const auto [ex, ey] = PointAt(cx, cy, a, b, rotation, to);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  arc->SetPenWidth(1);
  return arc;
}

// 1 on the ellipse.
double EllipseValue(double cx, double cy, double a, double b, double th, double x, double y) {
  const double dx = x - cx, dy = y - cy;
  const double u = dx * std::cos(th) + dy * std::sin(th);
  const double v = -dx * std::sin(th) + dy * std::cos(th);
  return u * u / (a * a) + v * v / (b * b);
}

std::vector<std::pair<int, int>> Results(int count) {
  std::vector<std::pair<int, int>> points;
  for (int i = 0; i < count; ++i) {
    points.emplace_back(g_intersectX[static_cast<std::size_t>(i)],
                        g_intersectY[static_cast<std::size_t>(i)]);
  }
  return points;
}

class EllipseItemTest : public ItemFixture {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetIntersectionState();
    ResetGeometryGlobals();
    ResetViewGlobals();
    ResetItemGlobals();
    ResetEllipseValueFields();
  }
};

// ---- A round ellipse behaves as a circle ----

TEST_F(EllipseItemTest, RoundEllipseAnswersAsACircle) {
  const auto e = MakeEllipse(0, 0, 1000, 1000, 0.0);
  // Travel is the radius times the swept angle, either way round.
  EXPECT_EQ(e->GetTravel(0, 1000, 1000, 0, kDirectionCounterClockwise), 1571.0);
  EXPECT_EQ(e->GetTravel(0, 1000, 1000, 0, kDirectionClockwise), 4712.0);
  EXPECT_EQ(e->GetTravel(1000, 0, 1000, 0, kDirectionCounterClockwise), 0.0);

  struct Point {
    int x, y;
  };
  const Point points[] = {{707, 707}, {-707, 707}, {-707, -707}, {707, -707},
                          {1000, 10}, {-300, 954}, {500, -866}};
  for (const Point& p : points) {
    CSlope slope;
    e->GetTangentAt(slope, p.x, p.y);
    EXPECT_EQ(slope == CSlope(-p.x, p.y), 1) << p.x << " " << p.y;  // across the radius
    const double c = AngleOf(p.y, p.x);
    const int up = (kPi / 2 <= c && c < 3 * kPi / 2) ? 4 : 5;
    const int down = (c <= kPi / 2 || c > 3 * kPi / 2) ? 4 : 5;
    const int left = c >= kPi ? 4 : 5;
    const int right = c <= kPi ? 4 : 5;
    EXPECT_EQ(e->GetTurnAt(p.x, p.y, kDirectionUp), up) << p.x << " " << p.y;
    EXPECT_EQ(e->GetTurnAt(p.x, p.y, kDirectionDown), down) << p.x << " " << p.y;
    EXPECT_EQ(e->GetTurnAt(p.x, p.y, kDirectionLeft), left) << p.x << " " << p.y;
    EXPECT_EQ(e->GetTurnAt(p.x, p.y, kDirectionRight), right) << p.x << " " << p.y;
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(EllipseItemTest, WrongDirectionsSensesAndHandlesAreGlitches) {
  const auto e = MakeEllipse(0, 0, 1000, 500, 0.3);
  const auto arc = MakeArc(0, 0, 1000, 500, 0.3, 0.2, 2.0);
  struct Case {
    const char* name;
    std::function<double()> call;
    int code;
    double neutral;
  };
  const Case cases[] = {
      {"ellipse turn", [&] { return e->GetTurnAt(1000, 0, 6); }, 1801, 5},
      {"ellipse travel", [&] { return e->GetTravel(0, 0, 1, 1, 3); }, 1802, -1.0},
      {"ellipse direction", [&] { return e->GetDirectionAt(0, 500, 2); }, 1806, 2},
      {"ellipse handle x", [&] { return e->GetHandleX(1); }, 1808, 0},
      {"ellipse handle y", [&] { return e->GetHandleY(-1); }, 1809, 0},
      {"arc turn", [&] { return arc->GetTurnAt(1000, 0, 9); }, 1822, 5},
      {"arc travel", [&] { return arc->GetTravel(0, 0, 1, 1, 0); }, 1824, -1.0},
      {"arc direction", [&] { return arc->GetDirectionAt(0, 500, 7); }, 1829, 7},
      {"arc end direction", [&] { return arc->GetEndDirection(2); }, 1831, 0},
      {"arc handle x", [&] { return arc->GetHandleX(2); }, 1832, 0},
      {"arc handle y", [&] { return arc->GetHandleY(2); }, 1833, 0},
  };
  for (const Case& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.call(), c.neutral) << c.name;
    ExpectGlitch(c.code, 1);
  }
  ResetLogState();
  e->SetHandle(1, 5, 5);
  ExpectGlitch(1807, 1);
  int x = 0, y = 0;
  e->GetCentre(x, y);
  EXPECT_EQ(x, 0);
}

// ---- Elliptic-arc queries ----

TEST_F(EllipseItemTest, ParameterTravelAndEndsOfAnEllipticArc) {
  // The upper half of an ellipse 2000 x 1000: from (2000, 0) to (-2000, 0).
  const auto arc = MakeArc(0, 0, 2000, 1000, 0.0, 0.0, kPi);
  EXPECT_EQ(arc->GetParameterAt(2000, 0), 0.0);
  EXPECT_EQ(arc->GetParameterAt(-2000, 0), 1.0);
  // Only the angle counts: a point on the end's ray, nearer the centre, is at the end too.
  EXPECT_EQ(arc->GetParameterAt(-500, 0), 1.0);
  EXPECT_DOUBLE_EQ(arc->GetParameterAt(0, 1000), 0.5);
  EXPECT_GT(arc->GetParameterAt(0, -1000), 1.0);  // outside the arc

  // Points given in counter-clockwise order: ahead in sense 5, not in sense 4.
  const auto [px, py] = PointAt(0, 0, 2000, 1000, 0, 1.0);
  EXPECT_EQ(arc->GetTravel(px, py, 2000, 0, kDirectionCounterClockwise),
            RoundToInt(1500.0 * AngleOf(py, px)));
  EXPECT_EQ(arc->GetTravel(px, py, 2000, 0, kDirectionClockwise), -1.0);
  EXPECT_EQ(arc->GetTravel(2000, 0, px, py, kDirectionClockwise),
            RoundToInt(1500.0 * AngleOf(py, px)));
  EXPECT_EQ(arc->GetTravel(0, -1000, 2000, 0, kDirectionCounterClockwise), -1.0);

  // An arc through angle 0: from the bottom round the right to the top.
  const auto wrap = MakeArc(0, 0, 2000, 1000, 0.0, 3 * kPi / 2, kPi / 2 + 2 * kPi);
  EXPECT_EQ(wrap->GetTravel(0, 1000, 0, -1000, kDirectionCounterClockwise),
            RoundToInt(1500.0 * kPi));
  EXPECT_EQ(wrap->GetTravel(0, 1000, 0, -1000, kDirectionClockwise), -1.0);
  EXPECT_EQ(wrap->GetTravel(-2000, 0, 0, -1000, kDirectionCounterClockwise), -1.0);

  // Ends: the start is reached going clockwise, the end counter-clockwise.
  EXPECT_EQ(arc->IsEndReachedGoing(2000, 0, kDirectionClockwise), 1);
  EXPECT_EQ(arc->IsEndReachedGoing(2000, 0, kDirectionCounterClockwise), 0);
  EXPECT_EQ(arc->IsEndReachedGoing(-2000, 0, kDirectionCounterClockwise), 1);
  EXPECT_EQ(arc->IsEndReachedGoing(-2000, 0, kDirectionDown), 1);  // down the left end
  EXPECT_EQ(arc->IsEndReachedGoing(0, 1000, kDirectionClockwise), 0);
  // Leaving the start counter-clockwise goes up; leaving the end clockwise goes up too.
  EXPECT_EQ(arc->GetEndDirection(0), kDirectionUp);
  EXPECT_EQ(arc->GetEndDirection(1), kDirectionUp);
  EXPECT_EQ(arc->GetDirectionAt(0, 1000, kDirectionClockwise), kDirectionRight);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(EllipseItemTest, RightmostPointOfAnEllipticArc) {
  struct Case {
    const char* name;
    double from, to;
    std::pair<int, int> want;
  };
  const Case cases[] = {
      {"through the rightmost point", -0.5 + 2 * kPi, 0.5 + 2 * kPi, {2000, 0}},
      {"the start lies further right", 0.3, 2.0, PointAt(0, 0, 2000, 1000, 0, 0.3)},
      {"the end lies further right", 3.5, 5.5, PointAt(0, 0, 2000, 1000, 0, 5.5)},
  };
  for (const Case& c : cases) {
    const auto arc = MakeArc(0, 0, 2000, 1000, 0.0, c.from, c.to);
    int x = 0, y = 0;
    arc->GetRightmostPoint(x, y);
    EXPECT_EQ(std::make_pair(x, y), c.want) << c.name;
  }
  // The left half, its ends above each other: equal x gives the end.
  const auto left = MakeArc(0, 0, 2000, 1000, 0.0, kPi / 2, 3 * kPi / 2);
  int x = 0, y = 0;
  left->GetRightmostPoint(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, -1000));

  const auto e = MakeEllipse(100, 100, 2000, 1000, kPi / 2);
  e->GetRightmostPoint(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(1100, 100));
}

TEST_F(EllipseItemTest, ScanLinesBoxesAndInsideTests) {
  const auto e = MakeEllipse(0, 0, 2000, 1000, 0.0);
  // A horizontal line tangent at the top crosses once.
  EXPECT_EQ(e->IntersectScanLine(1000), 1);
  EXPECT_EQ(g_intersectX[0], 0);
  ASSERT_EQ(e->IntersectScanLine(0), 2);
  EXPECT_EQ(Results(2).size(), 2u);
  EXPECT_EQ(g_intersectX[0], -2000);
  EXPECT_EQ(g_intersectX[1], 2000);
  EXPECT_EQ(e->IntersectScanLine(1001), 0);

  // The upper half only: the line below the centre misses it.
  const auto arc = MakeArc(0, 0, 2000, 1000, 0.0, 0.0, kPi);
  EXPECT_EQ(arc->IntersectScanLine(-500), 0);
  EXPECT_EQ(arc->IntersectScanLine(500), 2);

  EXPECT_EQ(e->ContainsPoint(0, 0), 1);
  EXPECT_EQ(e->ContainsPoint(2000, 0), 1);  // the edge counts
  EXPECT_EQ(e->ContainsPoint(1500, 900), 0);

  e->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, -2000);
  EXPECT_EQ(g_itemBounds.maxX, 2000);
  EXPECT_EQ(g_itemBounds.minY, -1000);
  EXPECT_EQ(g_itemBounds.maxY, 1000);
  // A rotated ellipse's box holds every point of it.
  const auto turned = MakeEllipse(500, -300, 3000, 1200, 0.7);
  turned->CalcBoundingBox(nullptr);
  for (int i = 0; i < 360; ++i) {
    const auto [x, y] = PointAt(500, -300, 3000, 1200, 0.7, i * kPi / 180);
    EXPECT_GE(x, g_itemBounds.minX);
    EXPECT_LE(x, g_itemBounds.maxX);
    EXPECT_GE(y, g_itemBounds.minY);
    EXPECT_LE(y, g_itemBounds.maxY);
  }
  // The upper half's box stops at its ends below and at the top above.
  arc->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minY, 0);
  EXPECT_EQ(g_itemBounds.maxY, 1000);
  EXPECT_EQ(g_itemBounds.minX, -2000);
  EXPECT_EQ(g_itemBounds.maxX, 2000);

  EXPECT_EQ(e->IsVerticalAt(2000, 0), 1);
  EXPECT_EQ(e->IsVerticalAt(0, 1000), 0);
}

TEST_F(EllipseItemTest, PickingMeasuresFromTheCurveOrTheCentre) {
  const auto e = MakeEllipse(0, 0, 2000, 1000, 0.0);
  g_cursorPoint = {300, 0};  // nearer the centre than half the radius that way
  EXPECT_EQ(e->GetPickDistance(nullptr), 300.0);
  g_cursorPoint = {1800, 0};
  EXPECT_NEAR(e->GetPickDistance(nullptr), 200.0, 1e-9);
  EXPECT_NEAR(e->GetDistanceTo(0, 1300), 300.0, 1e-9);

  const auto arc = MakeArc(0, 0, 2000, 1000, 0.0, 0.0, kPi);
  g_cursorPoint = {0, 1100};
  EXPECT_NEAR(arc->GetPickDistance(nullptr), 100.0, 1e-9);
  g_cursorPoint = {2000, -300};  // off the arc: the nearer end
  EXPECT_NEAR(arc->GetPickDistance(nullptr), 300.0, 1e-9);
}

// ---- Comparing, trimming and merging elliptic arcs ----

// The point of the ellipse 20000 x 10000 (rotation 0.3, centre (100, -200)) at polar angle
// alpha about its centre.
constexpr double kCx = 100, kCy = -200, kA = 20000, kB = 10000, kTh = 0.3;

std::pair<int, int> PolarPoint(double alpha) {
  const double phi = alpha - kTh;
  const double rho = kA * kB / std::hypot(kB * std::cos(phi), kA * std::sin(phi));
  return {RoundToInt(kCx + rho * std::cos(alpha)), RoundToInt(kCy + rho * std::sin(alpha))};
}

// An elliptic arc of that ellipse between two polar angles.
std::unique_ptr<CEllipseArcItem> PolarArc(double from, double to) {
  auto arc = std::make_unique<CEllipseArcItem>();
  arc->SetCentreExact(kCx, kCy);
  arc->SetRadii(kA, kB);
  arc->SetRotation(kTh);
  const auto [sx, sy] = PolarPoint(from);
  const auto [ex, ey] = PolarPoint(to);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  return arc;
}

TEST_F(EllipseItemTest, CompareEllipticArcsModuloAFullTurn) {
  struct Case {
    const char* name;
    double from1, to1, from2, to2;
    int want, wantReversed;
  };
  const Case cases[] = {
      {"within", 0.5, 2.0, 1.0, 1.5, 2, 3},
      {"the same arc", 0.5, 2.0, 0.5, 2.0, 1, 1},
      {"overlap at one end", 0.0 + 0.01, kPi / 2, kPi / 4, 3 * kPi / 4, -1, -1},
      {"overlap at both ends", 0.01, 3 * kPi / 2, kPi, kPi / 2, -2, -2},
      {"apart", 0.5, 1.0, 2.0, 3.0, 0, 0},
      // An arc through angle 0 and one just after it overlap at one end.
      {"one end across angle 0", 0.2, 1.0, 6.0, 0.5, -1, -1},
      {"within across angle 0", 0.1, 0.3, 6.0, 0.5, 3, 2},
      {"apart across angle 0", 0.6, 1.0, 6.0, 0.5, 0, 0},
  };
  for (const Case& c : cases) {
    const auto first = PolarArc(c.from1, c.to1);
    const auto second = PolarArc(c.from2, c.to2);
    EXPECT_EQ(first->Compare(second.get()), c.want) << c.name;
    EXPECT_EQ(second->Compare(first.get()), c.wantReversed) << c.name;
  }
  // Another ellipse or another kind is never the same curve.
  const auto arc = PolarArc(0.5, 2.0);
  auto other = PolarArc(0.5, 2.0);
  other->SetRadii(kA, kB + 1);
  EXPECT_EQ(arc->Compare(other.get()), 0);
  const auto e = MakeEllipse(100, -200, 20000, 10000, kTh);
  EXPECT_EQ(arc->Compare(e.get()), 0);

  EXPECT_EQ(e->Compare(MakeEllipse(100, -200, 20000, 10000, kTh).get()), 1);
  EXPECT_EQ(e->Compare(MakeEllipse(100, -200, 10000, 20000, kTh + kPi / 2).get()), 0);
  EXPECT_EQ(e->Compare(MakeEllipse(100, -200, 20000, 10000, kTh + kPi).get()), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(EllipseItemTest, MergeAndTrimMoveEndsForAWhile) {
  CFakeDocument doc;
  // Merging an arc with one that runs into it across angle 0: this one now starts where the
  // other starts.
  auto arc = PolarArc(0.2, 1.0);
  arc->SetDocument(&doc);
  const auto other = PolarArc(6.0, 0.5);
  const auto [sx, sy] = PolarPoint(0.2);
  const auto [ox, oy] = PolarPoint(6.0);
  arc->MergeOverlap(other.get());
  EXPECT_EQ(arc->GetHandleX(0), ox);
  EXPECT_EQ(arc->GetHandleY(0), oy);
  EXPECT_EQ(doc.DropsOf(*arc), 1);
  EXPECT_TRUE(doc.records.empty());  // temporary: no undo
  arc->RestoreEnds();
  EXPECT_EQ(arc->GetHandleX(0), sx);
  EXPECT_EQ(arc->GetHandleY(0), sy);

  // Each overlapping at both ends: trimmed to the stretch between the other's ends.
  const auto wide = PolarArc(1.0, 5.0);
  const auto around = PolarArc(4.0, 2.0);
  wide->TrimOverlap(around.get());
  EXPECT_EQ(std::make_pair(wide->GetHandleX(0), wide->GetHandleY(0)), PolarPoint(2.0));
  EXPECT_EQ(std::make_pair(wide->GetHandleX(1), wide->GetHandleY(1)), PolarPoint(4.0));

  // A second move of an end keeps the position saved first.
  wide->MoveEndTemporarily(0, 7, 8);
  wide->RestoreEnds();
  EXPECT_EQ(std::make_pair(wide->GetHandleX(0), wide->GetHandleY(0)), PolarPoint(1.0));
  EXPECT_EQ(std::make_pair(wide->GetHandleX(1), wide->GetHandleY(1)), PolarPoint(5.0));
  // Kept moves stay.
  wide->MoveEndTemporarily(1, 9, 9);
  wide->CommitEndMoves();
  wide->RestoreEnds();
  EXPECT_EQ(wide->GetHandleX(1), 9);

  EXPECT_EQ(g_glitchCount, 0);
  PolarArc(0.5, 1.0)->MergeOverlap(PolarArc(2.0, 3.0).get());
  ExpectGlitch(1823, 2);
  ResetLogState();
  const auto e = MakeEllipse(0, 0, 5, 5, 0);
  PolarArc(0.5, 1.0)->MergeOverlap(e.get());
  ExpectGlitch(1823, 1);
  ResetLogState();
  PolarArc(0.5, 1.0)->TrimOverlap(e.get());
  ExpectGlitch(1821, 1);
  arc->SetDocument(nullptr);
}

// ---- Setters, validity, undo ----

TEST_F(EllipseItemTest, SettersRecordUndoAndDropCachedAnswers) {
  CFakeDocument doc;
  const auto arc = MakeArc(0, 0, 2000, 1000, 0.2, 0.1, 1.0);
  arc->SetPenWidth(5);
  arc->SetDocument(&doc);
  arc->SetPenWidth(0);
  EXPECT_EQ(arc->GetPenWidth(), 1);
  arc->SetPenWidth(12);
  EXPECT_EQ(arc->GetPenWidth(), 9);
  EXPECT_EQ(doc.DropsOf(*arc), 0);  // not geometry
  arc->SetRadii(-3000, 1500);
  double a = 0, b = 0;
  arc->GetRadii(a, b);
  EXPECT_EQ(a, 3000);  // a semi-axis has no sign
  EXPECT_EQ(b, 1500);
  arc->SetRadii(3000, 1500);  // unchanged: nothing recorded
  arc->SetCentreExact(1.5, 2.5);
  arc->SetRotation(0.7);
  arc->MoveBy(10, -10);
  const std::vector<UndoKind> kinds = {UndoKind::kPenWidth, UndoKind::kPenWidth,
                                       UndoKind::kRadii,    UndoKind::kCentreExact,
                                       UndoKind::kRotation, UndoKind::kMove};
  ASSERT_EQ(doc.records.size(), kinds.size());
  for (std::size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(doc.records[i].kind, kinds[i]) << i;
  EXPECT_EQ(doc.DropsOf(*arc), 4);
  double cx = 0, cy = 0;
  arc->GetCentreExact(cx, cy);
  EXPECT_EQ(cx, 11.5);
  EXPECT_EQ(cy, -7.5);

  // A refused change changes nothing.
  doc.recordAnswer = kUndoRefused;
  arc->SetRotation(1.0);
  EXPECT_EQ(arc->GetRotation(), 0.7);

  doc.recordAnswer = 1;
  const auto e = MakeEllipse(0, 0, 100, 50, 0);
  e->SetDocument(&doc);
  doc.ClearLog();
  e->SetSemiAxes(-200, 100);
  int sa = 0, sb = 0;
  e->GetSemiAxes(sa, sb);
  EXPECT_EQ(std::make_pair(sa, sb), std::make_pair(200, 100));
  e->MoveHandle(0, 5, 6);
  e->MoveBy(1, 1);
  ASSERT_EQ(doc.records.size(), 3u);
  EXPECT_EQ(doc.records[0].kind, UndoKind::kSemiAxes);
  EXPECT_EQ(doc.records[1].kind, UndoKind::kCentre);
  EXPECT_EQ(doc.records[2].kind, UndoKind::kMove);
  EXPECT_EQ(e->GetHandleX(0), 6);
  EXPECT_EQ(e->GetHandleY(0), 7);
  e->SetDocument(nullptr);
  arc->SetDocument(nullptr);
}

TEST_F(EllipseItemTest, ValidityRefusesDegenerateAndHugeShapes) {
  struct Case {
    const char* name;
    int cx, cy, a, b;
    double rotation;
    int want;
  };
  const Case ellipses[] = {
      {"ordinary", 0, 0, 1000, 500, 0.3, 1},
      {"flat", 0, 0, 1000, 0, 0.3, 0},
      {"centre beyond the limits", 50000001, 0, 1000, 500, 0, 0},
      {"semi-axis too large", 0, 0, 100000001, 500, 0, 0},
      {"largest semi-axis", 0, 0, 100000000, 500, 0, 1},
      {"rotation not a number", 0, 0, 1000, 500, std::nan(""), 0},
  };
  for (const Case& c : ellipses) {
    EXPECT_EQ(MakeEllipse(c.cx, c.cy, c.a, c.b, c.rotation)->IsValid(), c.want) << c.name;
  }
  struct ArcCase {
    const char* name;
    double cx, a, b, rotation;
    int endX;
    int want;
  };
  const double nan = std::nan("");
  const ArcCase arcs[] = {
      {"ordinary", 0, 1000, 500, 0.3, 1000, 1},
      {"radius not a number", 0, nan, 500, 0.3, 1000, 0},
      {"infinite radius", 0, INFINITY, 500, 0.3, 1000, 0},
      {"zero radius", 0, 1000, 0, 0.3, 1000, 0},
      {"centre not a number", nan, 1000, 500, 0.3, 1000, 0},
      {"centre beyond the limits", 6e7, 1000, 500, 0.3, 1000, 0},
      {"end beyond the limits", 0, 1000, 500, 0.3, 50000001, 0},
      {"rotation infinite", 0, 1000, 500, INFINITY, 1000, 0},
  };
  for (const ArcCase& c : arcs) {
    auto arc = std::make_unique<CEllipseArcItem>();
    arc->SetCentreExact(c.cx, 0);
    arc->SetRadii(c.a, c.b);
    arc->SetRotation(c.rotation);
    arc->SetStart(0, 500);
    arc->SetEnd(c.endX, 0);
    EXPECT_EQ(arc->IsValid(), c.want) << c.name;
  }
}

// A document that keeps the snapshot of an elliptic arc's whole geometry, as the real one
// does for undo kind 29, and undoes or redoes by exchanging it with recording off.
class SnapshotDocument final : public IItemDocument {
 public:
  CFakeDocument fake;
  std::vector<std::pair<std::unique_ptr<CEllipseArcUndoState>, CDrawItem*>> snapshots;

  std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) override {
    const std::int16_t answer = fake.RecordItemChange(kind, item);
    if (answer == 1 && kind == UndoKind::kEllipseArcGeometry) {
      auto state = std::make_unique<CEllipseArcUndoState>();
      if (state->Capture(item) == 0) return 0;
      snapshots.emplace_back(std::move(state), item);
    }
    return answer;
  }
  // Undo and redo alike: the snapshot and the item change places.
  int Exchange() {
    const int was = EnableUndo(0);
    int result = 1;
    for (auto& [state, item] : snapshots) result &= state->Swap(item);
    EnableUndo(was);
    return result;
  }
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) override {
    return fake.RecordItemMove(kind, item, dx, dy);
  }
  int EnableUndo(int on) override { return fake.EnableUndo(on); }
  void MarkChanged() override { fake.MarkChanged(); }
  void DropCachedIntersections(const CDrawItem* item) override {
    fake.DropCachedIntersections(item);
  }
  int FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) override {
    return fake.FindCachedIntersections(a, b);
  }
  void CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) override {
    fake.CacheIntersections(count, a, b);
  }
  int MapGroupNumber(int group) override { return fake.MapGroupNumber(group); }
  int GetFillOrder(const CDrawItem* f, int& p, int& c) const override {
    return fake.GetFillOrder(f, p, c);
  }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return 0.0; }
  double GetAutomaticPrintScale() const override { return 1.0; }
  double GetRealWorldScale() const override { return 1.0; }
};

struct ArcGeometry {
  int sx, sy, ex, ey;
  double cx, cy, a, b, rotation;
  friend bool operator==(const ArcGeometry&, const ArcGeometry&) = default;
};

ArcGeometry GeometryOf(const CDrawItem& arc) {
  ArcGeometry g{};
  arc.GetStart(g.sx, g.sy);
  arc.GetEnd(g.ex, g.ey);
  arc.GetCentreExact(g.cx, g.cy);
  arc.GetRadii(g.a, g.b);
  g.rotation = arc.GetRotation();
  return g;
}

TEST_F(EllipseItemTest, MovingAHandleIsUndoneAsOneWholeGeometry) {
  SnapshotDocument doc;
  const auto arc = MakeArc(1000, 500, 4000, 2000, 0.4, 0.3, 2.2);
  arc->SetDocument(&doc);
  const ArcGeometry before = GeometryOf(*arc);

  // Drag the end: the start stays, the end lands where it was put, the ellipse turns and
  // grows with it so both ends still lie on it.
  const int endX = before.ex + 700;
  const int endY = before.ey - 1300;
  arc->MoveHandle(1, 700, -1300);
  const ArcGeometry after = GeometryOf(*arc);
  EXPECT_EQ(std::make_pair(after.sx, after.sy), std::make_pair(before.sx, before.sy));
  EXPECT_EQ(std::make_pair(after.ex, after.ey), std::make_pair(endX, endY));
  EXPECT_NE(after.rotation, before.rotation);
  EXPECT_NEAR(
      EllipseValue(after.cx, after.cy, after.a, after.b, after.rotation, after.sx, after.sy), 1.0,
      1e-3);
  EXPECT_NEAR(
      EllipseValue(after.cx, after.cy, after.a, after.b, after.rotation, after.ex, after.ey), 1.0,
      1e-3);
  ASSERT_EQ(doc.fake.records.size(), 1u);
  EXPECT_EQ(doc.fake.records[0].kind, UndoKind::kEllipseArcGeometry);
  ASSERT_EQ(doc.snapshots.size(), 1u);

  // Undo brings back every field exactly; redo the moved geometry; with recording off.
  doc.fake.ClearLog();
  ASSERT_EQ(doc.Exchange(), 1);
  EXPECT_EQ(GeometryOf(*arc), before);
  ASSERT_EQ(doc.Exchange(), 1);
  EXPECT_EQ(GeometryOf(*arc), after);
  EXPECT_EQ(doc.fake.undoOn, 1);
  EXPECT_EQ(doc.fake.enableUndoCalls, (std::vector<int>{0, 1, 0, 1}));

  // A refused record leaves the arc alone; a zero move records nothing.
  doc.fake.ClearLog();
  doc.fake.recordAnswer = kUndoRefused;
  arc->MoveHandle(0, 50, 50);
  EXPECT_EQ(GeometryOf(*arc), after);
  doc.fake.recordAnswer = 1;
  arc->MoveHandle(0, 0, 0);
  EXPECT_EQ(doc.fake.records.size(), 1u);
  arc->SetDocument(nullptr);
}

TEST_F(EllipseItemTest, SnapshotRefusesOtherKindsAndUncapturedStates) {
  CEllipseArcUndoState state;
  const auto arc = MakeArc(0, 0, 2000, 1000, 0.0, 0.0, 1.0);
  const ArcGeometry before = GeometryOf(*arc);
  EXPECT_EQ(state.Swap(arc.get()), 0);
  EXPECT_EQ(g_logCodes[0], 1922);
  EXPECT_EQ(g_logValues[0], 5002);
  EXPECT_EQ(GeometryOf(*arc), before);

  ResetLogState();
  const auto e = MakeEllipse(0, 0, 5, 5, 0);
  EXPECT_EQ(state.Capture(e.get()), 0);
  EXPECT_EQ(state.IsValid(), 0);
  EXPECT_EQ(g_logCodes[0], 1921);
  EXPECT_EQ(g_logValues[0], 5001);
  EXPECT_EQ(g_logCodes[1], 0);  // the kind as a number record
  EXPECT_EQ(g_logValues[1], kItemEllipse);
  EXPECT_EQ(g_glitchCount, 0);

  ResetLogState();
  ASSERT_EQ(state.Capture(arc.get()), 1);
  EXPECT_EQ(state.Swap(e.get()), 0);
  EXPECT_EQ(g_logCodes[0], 1922);
  EXPECT_EQ(g_logValues[0], 5001);
  // Two swaps in a row leave the arc as it was.
  EXPECT_EQ(state.Swap(arc.get()), 1);
  EXPECT_EQ(state.Swap(arc.get()), 1);
  EXPECT_EQ(GeometryOf(*arc), before);
}

// ---- Pieces, copies, values bar ----

TEST_F(EllipseItemTest, PiecesAreEllipticArcsOnTheSameEllipse) {
  ASSERT_EQ(ReserveSplitList(3), 1);
  const int xs[] = {3000, 0, -3000};
  const int ys[] = {0, 1000, 0};
  for (int i = 0; i < 3; ++i) {
    g_splitX[static_cast<std::size_t>(i)] = xs[i];
    g_splitY[static_cast<std::size_t>(i)] = ys[i];
  }
  g_splitCount = 3;
  CFakeDocument doc;
  const auto e = MakeEllipse(0, 0, 3000, 1000, 0.0);
  e->SetColour(0x123456);
  e->SetPenWidth(4);
  e->SetDocument(&doc);
  DrawItemPtr piece = e->CreatePiece(1);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->GetType(), kItemEllipseArc);
  EXPECT_EQ(piece->GetDocument(), nullptr);
  EXPECT_EQ(GeometryOf(*piece), (ArcGeometry{0, 1000, -3000, 0, 0, 0, 3000, 1000, 0.0}));
  EXPECT_EQ(piece->GetPenWidth(), 4);
  EXPECT_EQ(piece->GetColour(), 0x123456);
  EXPECT_EQ(doc.enableUndoCalls, (std::vector<int>{0, 1}));  // off while building, then back
  EXPECT_EQ(e->CreatePiece(2), nullptr);
  EXPECT_EQ(e->CreatePiece(-1), nullptr);

  const auto arc = MakeArc(5.5, 0, 3000, 1000, 0.25, 0.0, 3.0);
  piece = arc->CreatePiece(0);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(GeometryOf(*piece), (ArcGeometry{3000, 0, 0, 1000, 5.5, 0, 3000, 1000, 0.25}));
  e->SetDocument(nullptr);
}

TEST_F(EllipseItemTest, CopiesAndConversions) {
  const auto e = MakeEllipse(10, 20, 300, 100, 0.5);
  e->SetColour(77);
  e->SetGroupNumber(9);
  e->SetPenWidth(5);
  CEllipseItem copy;
  copy.CopyFrom(e.get());
  int x = 0, y = 0, a = 0, b = 0;
  copy.GetCentre(x, y);
  copy.GetSemiAxes(a, b);
  EXPECT_EQ(
      std::vector<int>({x, y, a, b, copy.GetPenWidth(), copy.GetColour(), copy.GetGroupNumber()}),
      std::vector<int>({10, 20, 300, 100, 5, 77, 9}));
  EXPECT_EQ(copy.GetRotation(), 0.5);

  TestCircle circle(5, 6, 700);
  circle.SetColour(44);
  circle.SetGroupNumber(3);
  circle.Select();
  circle.SetHidden();
  CEllipseItem round;
  round.SetFromCircle(&circle);
  round.GetCentre(x, y);
  round.GetSemiAxes(a, b);
  EXPECT_EQ(std::vector<int>({x, y, a, b, round.GetPenWidth(), round.GetColour(),
                              round.GetGroupNumber(), round.GetState()}),
            std::vector<int>({5, 6, 700, 700, 3, 44, 0, kStateSelected | kStateHidden}));

  TestArc quarter(0, 0, 1000, 0, kPi / 2);
  quarter.SetColour(45);
  CEllipseArcItem fromArc;
  fromArc.SetFromArc(&quarter);
  EXPECT_EQ(GeometryOf(fromArc), (ArcGeometry{1000, 0, 0, 1000, 0, 0, 1000, 1000, 0.0}));
  EXPECT_EQ(fromArc.GetPenWidth(), 2);
  EXPECT_EQ(fromArc.GetColour(), 45);
}

TEST_F(EllipseItemTest, ValuesBarFields) {
  const auto e = MakeEllipse(10, 20, 300, 100, 0.5);
  e->SetColour(7);
  e->PublishProperties();
  EXPECT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], 23);
  EXPECT_EQ(g_valueFieldIds[1], 29);
  EXPECT_EQ(g_valueColour, 7);
  EXPECT_EQ(g_valueRotation, 0.5);
  e->PublishInformation();
  EXPECT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], 60);
  EXPECT_EQ(g_valueFieldIds[1], 61);
  EXPECT_EQ(std::vector<int>({g_valueCentreX, g_valueCentreY, g_valueRadiusA, g_valueRadiusB}),
            std::vector<int>({10, 20, 300, 100}));

  const auto arc = MakeArc(10.5, -20.5, 300.4, 99.5, 0.5, 0, 1);
  arc->PublishProperties();
  EXPECT_EQ(g_valueFieldCount, 1);
  arc->PublishInformation();
  EXPECT_EQ(std::vector<int>({g_valueCentreX, g_valueCentreY, g_valueRadiusA, g_valueRadiusB}),
            std::vector<int>({11, -21, 300, 100}));
}

// ---- Transformations ----

struct TransformCase {
  const char* name;
  CTransform transform;
};

std::vector<TransformCase> TransformCases() {
  std::vector<TransformCase> cases(9);
  cases[0] = {"rotate 90 degrees", {}};
  cases[0].transform.SetRotation(90, 500, -300);
  cases[1] = {"rotate 37 degrees", {}};
  cases[1].transform.SetRotation(37, 0, 0);
  cases[2] = {"mirror in a vertical line", {}};
  cases[2].transform.SetReflection(1, 700);
  cases[3] = {"mirror in a horizontal line", {}};
  cases[3].transform.SetReflection(0, -400);
  cases[4] = {"enlarge by 2.5", {}};
  cases[4].transform.SetEnlargement(2.5, 100, 100);
  cases[5] = {"enlarge by -2", {}};
  cases[5].transform.SetEnlargement(-2, 100, 100);
  cases[6] = {"stretch along x", {}};
  cases[6].transform.SetStretch(1, 1.8, 200);
  cases[7] = {"stretch along y", {}};
  cases[7].transform.SetStretch(0, 0.6, -100);
  cases[8] = {"stretch along x by -1.5", {}};
  cases[8].transform.SetStretch(1, -1.5, 0);
  return cases;
}

TEST_F(EllipseItemTest, TransformedEllipsesCarryEveryPointAlong) {
  const double cx = 1500, cy = -2500, a = 30000, b = 12000, th = 0.4;
  for (const TransformCase& c : TransformCases()) {
    const auto e = MakeEllipse(1500, -2500, 30000, 12000, th);
    e->Transform(c.transform);
    int ncx = 0, ncy = 0, na = 0, nb = 0;
    e->GetCentre(ncx, ncy);
    e->GetSemiAxes(na, nb);
    ASSERT_GT(na, 0) << c.name;
    ASSERT_GT(nb, 0) << c.name;
    EXPECT_EQ(e->IsValid(), 1) << c.name;
    for (int i = 0; i < 12; ++i) {
      const double phi = i * kPi / 6;
      const double x = cx + a * std::cos(phi) * std::cos(th) - b * std::sin(phi) * std::sin(th);
      const double y = cy + a * std::cos(phi) * std::sin(th) + b * std::sin(phi) * std::cos(th);
      const double tx = c.transform.TransformXExact(x, y);
      const double ty = c.transform.TransformYExact(x, y);
      EXPECT_NEAR(EllipseValue(ncx, ncy, na, nb, e->GetRotation(), tx, ty), 1.0, 2e-4)
          << c.name << " point " << i;
    }
  }
}

TEST_F(EllipseItemTest, TransformedEllipticArcsKeepTheirPieceCounterClockwise) {
  for (const TransformCase& c : TransformCases()) {
    const auto arc = MakeArc(1500, -2500, 30000, 12000, 0.4, 0.3, 2.0);
    // A point in the middle of the arc, carried along, must stay inside it.
    const auto [mx, my] = PointAt(1500, -2500, 30000, 12000, 0.4, 1.15);
    arc->Transform(c.transform);
    const ArcGeometry g = GeometryOf(*arc);
    EXPECT_GT(g.a, 0) << c.name;
    EXPECT_GT(g.b, 0) << c.name;
    for (const auto& [x, y] : {std::make_pair(g.sx, g.sy), std::make_pair(g.ex, g.ey)}) {
      EXPECT_NEAR(EllipseValue(g.cx, g.cy, g.a, g.b, g.rotation, x, y), 1.0, 2e-4) << c.name;
    }
    const double tx = c.transform.TransformXExact(mx, my);
    const double ty = c.transform.TransformYExact(mx, my);
    EXPECT_TRUE(arc->IsAngleInArc(AngleOf(ty - g.cy, tx - g.cx))) << c.name;
  }
}

TEST_F(EllipseItemTest, TransformRoundTrips) {
  struct Step {
    const char* name;
    std::function<void(CTransform&, CTransform&)> setUp;
  };
  const Step steps[] = {
      {"rotate and back",
       [](CTransform& t, CTransform& back) {
         t.SetRotation(90, 0, 0);
         back.SetRotation(-90, 0, 0);
       }},
      {"mirror twice",
       [](CTransform& t, CTransform& back) {
         t.SetReflection(1, 500);
         back.SetReflection(1, 500);
       }},
      {"enlarge by -2 and by -0.5",
       [](CTransform& t, CTransform& back) {
         t.SetEnlargement(-2, 300, 300);
         back.SetEnlargement(-0.5, 300, 300);
       }},
      {"stretch and back",
       [](CTransform& t, CTransform& back) {
         t.SetStretch(0, 3, 0);
         back.SetStretch(0, 1.0 / 3, 0);
       }},
  };
  for (const Step& s : steps) {
    CTransform t, back;
    s.setUp(t, back);
    const auto e = MakeEllipse(1000, 2000, 30000, 10000, 0.4);
    e->Transform(t);
    e->Transform(back);
    int x = 0, y = 0, a = 0, b = 0;
    e->GetCentre(x, y);
    e->GetSemiAxes(a, b);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(1000, 2000)) << s.name;
    EXPECT_NEAR(a, 30000, 1) << s.name;
    EXPECT_NEAR(b, 10000, 1) << s.name;
    EXPECT_NEAR(e->GetRotation(), 0.4, 1e-4) << s.name;

    const auto arc = MakeArc(1000.5, 2000, 30000, 10000, 0.4, 0.3, 2.0);
    const ArcGeometry before = GeometryOf(*arc);
    arc->Transform(t);
    arc->Transform(back);
    const ArcGeometry g = GeometryOf(*arc);
    EXPECT_EQ(std::make_pair(g.sx, g.sy), std::make_pair(before.sx, before.sy)) << s.name;
    EXPECT_EQ(std::make_pair(g.ex, g.ey), std::make_pair(before.ex, before.ey)) << s.name;
    EXPECT_NEAR(g.cx, before.cx, 1e-6) << s.name;
    EXPECT_NEAR(g.a, before.a, 1e-6) << s.name;
    EXPECT_NEAR(g.b, before.b, 1e-6) << s.name;
    EXPECT_NEAR(g.rotation, before.rotation, 1e-9) << s.name;
  }
  // A round ellipse keeps its rotation when turned; a mirror exchanges an arc's ends.
  const auto round = MakeEllipse(0, 0, 1000, 1000, 0.25);
  CTransform turn;
  turn.SetRotation(30, 0, 0);
  round->Transform(turn);
  EXPECT_EQ(round->GetRotation(), 0.25);
  const auto quarter = MakeArc(0, 0, 1000, 1000, 0.0, 0.0, kPi / 2);
  CTransform mirror;
  mirror.SetReflection(1, 0);
  quarter->Transform(mirror);
  EXPECT_EQ(GeometryOf(*quarter), (ArcGeometry{0, 1000, -1000, 0, 0, 0, 1000, 1000, 0.0}));
}

TEST_F(EllipseItemTest, TransformDropsCachedAnswersWithoutUndo) {
  CFakeDocument doc;
  const auto e = MakeEllipse(0, 0, 100, 50, 0.3);
  e->SetDocument(&doc);
  CTransform t;
  t.SetEnlargement(2, 0, 0);
  e->Transform(t);
  EXPECT_TRUE(doc.records.empty());
  EXPECT_EQ(doc.changedCount, 0);
  EXPECT_EQ(doc.DropsOf(*e), 1);
  e->SetDocument(nullptr);
}

// ---- Intersections through the items ----

TEST_F(EllipseItemTest, EllipseWithCirclesArcsLinesAndEllipses) {
  const auto e = MakeEllipse(0, 0, 10000, 5000, 0.0);
  struct Case {
    const char* name;
    std::unique_ptr<CDrawItem> other;
    int want;
  };
  std::vector<Case> cases;
  cases.push_back(
      {"circle through all four quadrants", std::make_unique<TestCircle>(0, 0, 7000), 4});
  cases.push_back({"circle touching top and bottom", std::make_unique<TestCircle>(0, 0, 5000), 2});
  cases.push_back({"circle around it", std::make_unique<TestCircle>(0, 0, 12000), 0});
  cases.push_back({"upper half circle", std::make_unique<TestArc>(0, 0, 7000, 0, kPi), 2});
  cases.push_back({"arc through angle 0", std::make_unique<TestArc>(0, 0, 7000, 5.5, 0.8), 2});
  auto line = std::make_unique<CLineItem>();
  line->SetStart(-20000, 1000);
  line->SetEnd(20000, 1000);
  cases.push_back({"line across", std::move(line), 2});
  cases.push_back({"crossed ellipse", MakeEllipse(0, 0, 10000, 5000, kPi / 2), 4});
  cases.push_back({"quarter of a crossed ellipse",
                   MakeArc(0, 0, 10000, 5000, kPi / 2, -kPi / 2 + 0.01, 0.01), 1});
  for (Case& c : cases) {
    const int count = e->IntersectWith(c.other.get());
    EXPECT_EQ(count, c.want) << c.name;
    for (const auto& [x, y] : Results(count)) {
      EXPECT_NEAR(EllipseValue(0, 0, 10000, 5000, 0, x, y), 1.0, 1e-3) << c.name;
      EXPECT_EQ(g_intersectFlags[0], 0) << c.name;
    }
    // The elliptic arc hands an ellipse on: the same points from either side.
    if (c.other->GetType() == kItemEllipseArc) {
      const auto points = Results(count);
      EXPECT_EQ(Results(c.other->IntersectWith(e.get())), points) << c.name;
    }
  }
  EXPECT_EQ(g_glitchCount, 0);
  TestText text;
  EXPECT_EQ(e->IntersectWith(&text), 0);
  ExpectGlitch(1804, 9001);
  EXPECT_EQ(g_firstGlitchValues[0], kItemText);
}

TEST_F(EllipseItemTest, EllipticArcIntersectionsStopAtItsEnds) {
  // The crossing of the ellipse 10000 x 5000 with the circle of radius 7000 in the first
  // quadrant lies at the polar angle atan2(sqrt(1.7e7), sqrt(3.2e7)).
  const double crossing = std::atan2(std::sqrt(1.7e7), std::sqrt(3.2e7));
  const auto polarArc = [](double from, double to) {
    auto arc = std::make_unique<CEllipseArcItem>();
    arc->SetCentreExact(0, 0);
    arc->SetRadii(10000, 5000);
    arc->SetRotation(0);
    for (int end = 0; end < 2; ++end) {
      const double alpha = end == 0 ? from : to;
      const double rho = 5e7 / std::hypot(5000 * std::cos(alpha), 10000 * std::sin(alpha));
      arc->SetHandle(end, RoundToInt(rho * std::cos(alpha)), RoundToInt(rho * std::sin(alpha)));
    }
    return arc;
  };
  TestCircle circle(0, 0, 7000);
  struct Case {
    const char* name;
    double from, to;
    int want;
  };
  const Case cases[] = {
      {"ends well before the crossing", 0.1, crossing - 0.01, 0},
      {"ends just past it", 0.1, crossing + 0.01, 1},
      {"the upper half", 0.0, kPi, 2},
      {"through angle 0, the right-hand crossings", kPi + 1, kPi - 1, 2},
      {"through angle 0, ends short of them", -0.2 + 2 * kPi, 0.2, 0},
      {"through angle 0, three quadrants", 3.5, 1.0, 3},
  };
  for (const Case& c : cases) {
    const auto arc = polarArc(c.from, c.to);
    const int count = arc->IntersectWith(&circle);
    EXPECT_EQ(count, c.want) << c.name;
    for (const auto& [x, y] : Results(count)) {
      EXPECT_TRUE(arc->IsAngleInArc(AngleOf(y, x)) || count == 0) << c.name;
    }
  }
  // Elliptic arc with elliptic arc: only the crossings on both.
  const auto upper = polarArc(0.0, kPi);
  const auto crossedRight = MakeArc(0, 0, 10000, 5000, kPi / 2, kPi, 2 * kPi);
  const int count = upper->IntersectWith(crossedRight.get());
  ASSERT_EQ(count, 1);
  EXPECT_GT(g_intersectX[0], 0);
  EXPECT_GT(g_intersectY[0], 0);
  // With an arc: both ranges count.
  TestArc leftHalf(0, 0, 7000, kPi / 2, 3 * kPi / 2);
  EXPECT_EQ(upper->IntersectWith(&leftHalf), 1);
  EXPECT_LT(g_intersectX[0], 0);
  EXPECT_GT(g_intersectY[0], 0);

  TestText text;
  EXPECT_EQ(upper->IntersectWith(&text), 0);
  ExpectGlitch(1826, 9001);
}

}  // namespace
