#include "items/bezieritem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "items/bezier_test_support.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/lineitem.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

using curvetest::CCurveTestDocument;
using curvetest::DenseSamples;
using curvetest::DistanceToPolyline;
using curvetest::MakeCurve;
using curvetest::PointD;

class BezierItemTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ResetLogState();
    ResetIntersectionState();
    ResetItemGlobals();
    ResetBezierValueFields();
    ResetViewGlobals();
    ResetGeometryGlobals();
  }
  static void ExpectGlitch(int code, int n) {
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, n);
  }
};

// An arch from (0, 0) to (100000, 0), running right, highest (45000) at t = 0.5.
std::unique_ptr<CBezierItem> Arch() { return MakeCurve(0, 0, 0, 60000, 100000, 60000, 100000, 0); }
// The same arch drawn from right to left.
std::unique_ptr<CBezierItem> LeftArch() {
  return MakeCurve(100000, 0, 100000, 60000, 0, 60000, 0, 0);
}
// An S-shaped curve rising from (0, 0) to (100000, 100000).
std::unique_ptr<CBezierItem> SCurve() {
  return MakeCurve(0, 0, 60000, 0, 40000, 100000, 100000, 100000);
}
// A flat curve along y = 5000.
std::unique_ptr<CBezierItem> Flat() {
  return MakeCurve(0, 5000, 30000, 5000, 70000, 5000, 100000, 5000);
}

double PolylineLength(const std::vector<PointD>& line) {
  double length = 0.0;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    length += std::hypot(line[i + 1].x - line[i].x, line[i + 1].y - line[i].y);
  }
  return length;
}

// The largest distance of the piece's points from the reference curve.
double Deviation(const CDrawItem& piece, const std::vector<PointD>& reference) {
  double worst = 0.0;
  for (const PointD& p : DenseSamples(piece, 200)) {
    worst = std::max(worst, DistanceToPolyline(reference, p.x, p.y));
  }
  return worst;
}

void FillSplitList(const std::vector<std::pair<int, int>>& points, const CDrawItem& item) {
  g_splitCount = 0;
  ASSERT_EQ(ReserveSplitList(static_cast<int>(points.size())), 1);
  for (const auto& [x, y] : points) {
    g_splitX[g_splitCount] = x;
    g_splitY[g_splitCount] = y;
    g_splitParam[g_splitCount] = item.GetParameterAt(x, y);
    ++g_splitCount;
  }
}

// ---- Bézier arithmetic ----

TEST_F(BezierItemTest, PowerFormAndBernsteinFormAgree) {
  const BezierAxis p = {3.0, -70000.5, 250000.25, 12.0};
  const std::array<double, 4> c = BezierPowerForm(p);
  for (double t : {0.0, 0.13, 0.5, 0.77, 1.0, 1.2}) {
    const double power = ((c[3] * t + c[2]) * t + c[1]) * t + c[0];
    EXPECT_NEAR(BezierValue(p, t), power, 1e-6) << t;
    const double h = 1e-6;
    EXPECT_NEAR(BezierSlope(p, t), (BezierValue(p, t + h) - BezierValue(p, t - h)) / (2 * h), 1.0)
        << t;
  }
  EXPECT_EQ(BezierValue(p, 0.0), 3.0);
  EXPECT_EQ(BezierValue(p, 1.0), 12.0);
}

TEST_F(BezierItemTest, SampleCountsAreCappedAndNeverNegative) {
  EXPECT_EQ(BezierSampleCount(320000.0, 2000.0), 160);
  EXPECT_EQ(BezierSampleCount(1999.0, 2000.0), 0);
  EXPECT_EQ(BezierSampleCount(1e300, 1000.0), kMaxBezierSamples);
  EXPECT_EQ(BezierSampleCount(std::numeric_limits<double>::infinity(), 1000.0), 0);
  EXPECT_EQ(BezierSampleCount(std::numeric_limits<double>::quiet_NaN(), 1000.0), 0);
  EXPECT_EQ(BezierSampleCount(-5000.0, 1000.0), 0);
}

// ---- Parameter search ----

TEST_F(BezierItemTest, FindParameterRecoversTheParameterOfPointsOnTheCurve) {
  const std::unique_ptr<CBezierItem> curves[] = {Arch(), SCurve(), LeftArch()};
  for (const auto& curve : curves) {
    EXPECT_EQ(curve->FindParameter(curve->GetXAt(0.0), curve->GetYAt(0.0)), 0.0);
    EXPECT_EQ(curve->FindParameter(curve->GetXAt(1.0), curve->GetYAt(1.0)), 1.0);
    for (double t : {0.05, 0.2, 0.35, 0.62, 0.8, 0.97}) {
      const double x = curve->GetXAt(t);
      const double y = curve->GetYAt(t);
      EXPECT_NEAR(curve->FindParameter(x, y), t, 1e-9) << t;
      // A rounded point of the curve: the parameter of the nearest curve point at its height.
      EXPECT_NEAR(curve->GetParameterAt(RoundToInt(x), RoundToInt(y)), t, 1e-4) << t;
    }
  }
  // Above the arch there is no point at that height.
  EXPECT_EQ(Arch()->FindParameter(50000, 46000), -1.0);
}

TEST_F(BezierItemTest, PointsOfAFlatCurveGetTheirTrueParameter) {
  // Exactly flat, and flat up to the noise that turning it over twice leaves in its control
  // points, and bent by less than a unit.
  auto exact = Flat();
  auto turned = Flat();
  CTransform half;
  half.SetRotation(180.0, 50000, 5000);
  turned->Transform(half);
  turned->Transform(half);
  auto bent = MakeCurve(0, 5000, 30000, 5000.7, 70000, 5000.7, 100000, 5000);
  for (CBezierItem* curve : {exact.get(), turned.get(), bent.get()}) {
    for (double t : {0.1, 0.5, 0.9}) {
      const int x = RoundToInt(curve->GetXAt(t));
      const int y = RoundToInt(curve->GetYAt(t));
      EXPECT_NEAR(curve->FindParameter(x, y), t, 1e-4) << t;
    }
    // Far above the flat curve nothing is found.
    EXPECT_EQ(curve->FindParameter(50000, 9000), -1.0);
  }
}

TEST_F(BezierItemTest, APointRoundedBeyondTheTopIsStillFound) {
  // The top of this arch is at y = 44999.6: its nearest whole point (50000, 45000) lies above
  // it, as a crossing found there and rounded would.
  auto arch = MakeCurve(0, 0, 0, 44999.6 / 0.75, 100000, 44999.6 / 0.75, 100000, 0);
  EXPECT_NEAR(arch->FindParameter(50000, 45000), 0.5, 1e-3);
  EXPECT_GT(arch->GetTravel(50000, 45000, 0, 0, kDirectionAlongCurve), 0.0);
  FillSplitList({{0, 0}, {50000, 45000}, {100000, 0}}, *arch);
  for (int i = 0; i < 2; ++i) {
    DrawItemPtr piece = arch->CreatePiece(i);
    ASSERT_NE(piece, nullptr);
    EXPECT_LT(Deviation(*piece, DenseSamples(*arch, 4000)), 500.0) << i;
  }
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(arch->FindParameter(50000, 45001), -1.0);
}

// ---- Pieces ----

TEST_F(BezierItemTest, BreakingAFlatCurveGivesFlatPiecesAlongIt) {
  auto flat = Flat();
  FillSplitList({{0, 5000}, {50000, 5000}, {100000, 5000}}, *flat);
  const std::vector<PointD> reference = DenseSamples(*flat, 2000);
  for (int i = 0; i < 2; ++i) {
    DrawItemPtr piece = flat->CreatePiece(i);
    ASSERT_NE(piece, nullptr);
    for (int k = 0; k < 2; ++k) {
      double cx = 0.0;
      double cy = 0.0;
      piece->GetControlPoint(k, cx, cy);
      EXPECT_NEAR(cy, 5000.0, 1e-6) << i << " " << k;
      EXPECT_GE(cx, i * 50000.0) << i << " " << k;
      EXPECT_LE(cx, i * 50000.0 + 50000.0) << i << " " << k;
    }
    EXPECT_LT(Deviation(*piece, reference), 1.0);
    // The fine refit used by Break keeps it flat too.
    flat->FitToCurve(piece.get(), 0);
    EXPECT_LT(Deviation(*piece, reference), 1.0);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BezierItemTest, PiecesFollowTheCurveTheyWereCutFrom) {
  struct Case {
    const char* name;
    std::unique_ptr<CBezierItem> curve;
    std::vector<double> cuts;
  };
  Case cases[] = {{"arch", Arch(), {0.0, 0.3, 0.72, 1.0}},
                  {"s-curve", SCurve(), {0.0, 0.15, 0.5, 1.0}},
                  {"left arch", LeftArch(), {0.0, 0.45, 1.0}}};
  for (Case& c : cases) {
    std::vector<std::pair<int, int>> points;
    for (double t : c.cuts) {
      points.emplace_back(RoundToInt(c.curve->GetXAt(t)), RoundToInt(c.curve->GetYAt(t)));
    }
    FillSplitList(points, *c.curve);
    const std::vector<PointD> reference = DenseSamples(*c.curve, 4000);
    for (int i = 0; i + 1 < g_splitCount; ++i) {
      DrawItemPtr piece = c.curve->CreatePiece(i);
      ASSERT_NE(piece, nullptr);
      int sx = 0;
      int sy = 0;
      piece->GetStart(sx, sy);
      EXPECT_EQ(sx, points[i].first) << c.name;
      EXPECT_EQ(sy, points[i].second) << c.name;
      const double chord = std::hypot(points[i + 1].first - points[i].first,
                                      points[i + 1].second - points[i].second);
      // The coarse pieces offered while breaking, then the fine refit of Break.
      EXPECT_LT(Deviation(*piece, reference), chord * 0.02) << c.name << " " << i;
      c.curve->FitToCurve(piece.get(), 0);
      EXPECT_LT(Deviation(*piece, reference), chord * 0.005) << c.name << " " << i;
    }
    EXPECT_EQ(c.curve->CreatePiece(-1), nullptr);
    EXPECT_EQ(c.curve->CreatePiece(g_splitCount - 1), nullptr);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BezierItemTest, CreatePieceBuildsWithRecordingSwitchedOff) {
  CCurveTestDocument document;
  auto arch = Arch();
  arch->SetColour(0xFF);
  arch->SetDocument(&document);
  FillSplitList({{0, 0}, {50000, 45000}}, *arch);
  DrawItemPtr piece = arch->CreatePiece(0);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->GetDocument(), nullptr);
  EXPECT_EQ(piece->GetColour(), 0xFF);
  ASSERT_EQ(document.enableUndoCalls.size(), 2u);
  EXPECT_EQ(document.enableUndoCalls[0], 0);
  EXPECT_EQ(document.enableUndoCalls[1], 1);
  EXPECT_EQ(document.undoOn, 1);
}

TEST_F(BezierItemTest, FitToAPieceOffTheCurveLeavesItsControlPoints) {
  auto arch = Arch();
  auto piece = MakeCurve(0, 0, 11, 12, 13, 14, 50000, 46000);  // end above the arch
  arch->FitToCurve(piece.get(), 1);
  ExpectGlitch(1723, 2);
  EXPECT_EQ(g_firstGlitchValueCount, 2);
  double x = 0.0;
  double y = 0.0;
  piece->GetControlPoint(0, x, y);
  EXPECT_EQ(x, 11.0);
  EXPECT_EQ(y, 12.0);
  ResetLogState();
  auto offStart = MakeCurve(50000, 46000, 11, 12, 13, 14, 0, 0);
  arch->FitToCurve(offStart.get(), 1);
  ExpectGlitch(1723, 1);
}

TEST_F(BezierItemTest, AVeryShortPieceGetsTheArmsOfTheExactPiece) {
  // Too short for any candidate of the search to be measured.
  auto arch = Arch();
  const int x0 = RoundToInt(arch->GetXAt(0.30));
  const int y0 = RoundToInt(arch->GetYAt(0.30));
  const int x1 = RoundToInt(arch->GetXAt(0.301));
  const int y1 = RoundToInt(arch->GetYAt(0.301));
  FillSplitList({{x0, y0}, {x1, y1}}, *arch);
  DrawItemPtr piece = arch->CreatePiece(0);
  ASSERT_NE(piece, nullptr);
  std::vector<PointD> stretch;
  for (int i = 0; i <= 1000; ++i) {
    const double t = 0.299 + 0.003 * i / 1000;
    stretch.push_back({arch->GetXAt(t), arch->GetYAt(t)});
  }
  EXPECT_LT(Deviation(*piece, stretch), 2.0);
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Directions ----

TEST_F(BezierItemTest, CurveWayFollowsTheWayTheCurveRuns) {
  // Drawn cases: where the curve runs right and up, moving right or up goes along it; where
  // it runs left (the arch drawn from right to left), moving left goes along it.
  struct Case {
    const char* name;
    std::unique_ptr<CBezierItem> curve;
    double t;
    int up, down, left, right;
  };
  constexpr int kAlong = kDirectionAlongCurve;
  constexpr int kAgainst = kDirectionAgainstCurve;
  Case cases[] = {
      {"arch rising", Arch(), 0.25, kAlong, kAgainst, kAgainst, kAlong},
      {"arch falling", Arch(), 0.75, kAgainst, kAlong, kAgainst, kAlong},
      {"left arch rising", LeftArch(), 0.25, kAlong, kAgainst, kAlong, kAgainst},
      {"left arch falling", LeftArch(), 0.75, kAgainst, kAlong, kAlong, kAgainst},
      {"s-curve", SCurve(), 0.5, kAlong, kAgainst, kAgainst, kAlong},
  };
  for (const Case& c : cases) {
    const int x = RoundToInt(c.curve->GetXAt(c.t));
    const int y = RoundToInt(c.curve->GetYAt(c.t));
    EXPECT_EQ(c.curve->GetCurveWayAt(x, y, kDirectionUp), c.up) << c.name;
    EXPECT_EQ(c.curve->GetCurveWayAt(x, y, kDirectionDown), c.down) << c.name;
    EXPECT_EQ(c.curve->GetCurveWayAt(x, y, kDirectionLeft), c.left) << c.name;
    EXPECT_EQ(c.curve->GetCurveWayAt(x, y, kDirectionRight), c.right) << c.name;
  }
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(Arch()->GetCurveWayAt(0, 0, kDirectionClockwise), 0);
  ExpectGlitch(1721, 1);
}

TEST_F(BezierItemTest, DirectionsLeavingPointsAndEnds) {
  auto arch = Arch();
  const int x = RoundToInt(arch->GetXAt(0.25));
  const int y = RoundToInt(arch->GetYAt(0.25));
  EXPECT_EQ(arch->GetDirectionAt(x, y, kDirectionAlongCurve), kDirectionUp);
  EXPECT_EQ(arch->GetDirectionAt(x, y, kDirectionAgainstCurve), kDirectionDown);
  // Both ends of the arch are left upwards.
  EXPECT_EQ(arch->GetEndDirection(0), kDirectionUp);
  EXPECT_EQ(arch->GetEndDirection(1), kDirectionUp);
  // On a level stretch the direction is left or right, by the way the curve runs.
  EXPECT_EQ(Flat()->GetDirectionAt(50000, 5000, kDirectionAlongCurve), kDirectionRight);
  EXPECT_EQ(Flat()->GetDirectionAt(50000, 5000, kDirectionAgainstCurve), kDirectionLeft);
  auto leftFlat = MakeCurve(100000, 5000, 70000, 5000, 30000, 5000, 0, 5000);
  EXPECT_EQ(leftFlat->GetDirectionAt(50000, 5000, kDirectionAlongCurve), kDirectionLeft);
  EXPECT_EQ(g_glitchCount, 0);

  EXPECT_EQ(arch->GetDirectionAt(x, y, kDirectionClockwise), kDirectionDown);
  ExpectGlitch(1731, 1);
  ResetLogState();
  EXPECT_EQ(arch->GetEndDirection(2), 0);
  ExpectGlitch(1736, 1);
}

TEST_F(BezierItemTest, EndsReachedGoingEitherWay) {
  auto arch = Arch();
  struct Case {
    int x, y, direction, expected;
  };
  const Case cases[] = {
      {0, 0, kDirectionAgainstCurve, 1},
      {0, 0, kDirectionAlongCurve, 0},
      {100000, 0, kDirectionAlongCurve, 1},
      {100000, 0, kDirectionAgainstCurve, 0},
      {0, 0, kDirectionDown, 1},       // going down at the start leaves the curve backwards
      {100000, 0, kDirectionDown, 1},  // the arch arrives at its end going down
      {100000, 0, kDirectionUp, 0},
      {50000, 45000, kDirectionAlongCurve, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(arch->IsEndReachedGoing(c.x, c.y, c.direction), c.expected)
        << c.x << " " << c.direction;
  }
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(arch->IsEndReachedGoing(0, 0, kDirectionClockwise), 0);
  ExpectGlitch(1721, 1);  // the curve way of a rotational sense, then the end test's own
  EXPECT_EQ(g_glitchCount, 2);
}

TEST_F(BezierItemTest, TangentsAndVerticalPoints) {
  auto arch = Arch();
  CSlope slope;
  arch->GetTangentAt(slope, 0, 0);
  EXPECT_EQ(slope.IsVertical(), 1);
  EXPECT_EQ(arch->IsVerticalAt(0, 0), 1);
  EXPECT_EQ(arch->IsVerticalAt(100000, 0), 1);
  EXPECT_EQ(SCurve()->IsVerticalAt(0, 0), 0);
  // An arm of length 0 still gives the direction in which the curve leaves the end.
  auto noArm = MakeCurve(0, 0, 0, 0, 50000, 50000, 100000, 0);
  double dx = 0.0;
  double dy = 0.0;
  noArm->GetDerivativeAt(0, 0, dx, dy);
  EXPECT_GT(dx, 0.0);
  EXPECT_NEAR(dx, dy, 1e-9);
  noArm->GetTangentAt(slope, 0, 0);
  EXPECT_EQ(slope.GetState(), kSlopeValid);
}

// ---- Travel, picking, box ----

TEST_F(BezierItemTest, TravelAlongTheCurve) {
  auto arch = Arch();
  const std::vector<PointD> dense = DenseSamples(*arch, 100000);
  const double whole = PolylineLength(dense);
  EXPECT_NEAR(arch->GetTravel(100000, 0, 0, 0, kDirectionAlongCurve), whole, whole * 1e-3);
  EXPECT_NEAR(arch->GetTravel(0, 0, 100000, 0, kDirectionAgainstCurve), whole, whole * 1e-3);
  EXPECT_EQ(arch->GetTravel(0, 0, 100000, 0, kDirectionAlongCurve), -1.0);
  EXPECT_EQ(arch->GetTravel(100000, 0, 0, 0, kDirectionAgainstCurve), -1.0);
  const int qx = RoundToInt(arch->GetXAt(0.25));
  const int qy = RoundToInt(arch->GetYAt(0.25));
  const double quarter =
      PolylineLength(DenseSamples(*MakeCurve(0, 0, 0, 15000, 6250, 26250, 15625, 33750), 100000));
  EXPECT_NEAR(arch->GetTravel(qx, qy, 0, 0, kDirectionAlongCurve), quarter, 5.0);
  // A point that is not on the curve has no place along it.
  EXPECT_EQ(arch->GetTravel(50000, 90000, 0, 0, kDirectionAlongCurve), -1.0);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(arch->GetTravel(0, 0, 100000, 0, kDirectionUp), -1.0);
  ExpectGlitch(1725, 1);
}

TEST_F(BezierItemTest, PickDistanceAgainstDenseSampling) {
  auto arch = Arch();
  const std::vector<PointD> dense = DenseSamples(*arch, 20000);
  struct Case {
    int x, y;
  };
  // On the curve, at an end, inside and outside the arch, far off.
  const Case cases[] = {{37000, 43350}, {0, 0}, {50000, 20000}, {50000, 60000}, {-40000, 300000}};
  // Samples every 4 mm of control polygon: at most half that spacing along the curve away.
  const double slack = 2000.0;
  for (const Case& c : cases) {
    g_cursorPoint = {c.x, c.y};
    const double exact = DistanceToPolyline(dense, c.x, c.y);
    const double pick = arch->GetPickDistance(nullptr);
    EXPECT_GE(pick, exact - 1.0) << c.x << " " << c.y;
    EXPECT_LE(pick, exact + slack) << c.x << " " << c.y;
  }
  g_cursorPoint = {0, 0};
  EXPECT_EQ(arch->GetPickDistance(nullptr), 0.0);
}

TEST_F(BezierItemTest, BoundingBoxFromSamplesIsKeptUntilTheGeometryChanges) {
  auto arch = Arch();
  arch->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, 0);
  EXPECT_EQ(g_itemBounds.minY, 0);
  EXPECT_EQ(g_itemBounds.maxX, 100000);
  EXPECT_EQ(g_itemBounds.maxY, 45000);
  arch->SetControlPoint(1, 100000, 120000);
  arch->CalcBoundingBox(nullptr);
  EXPECT_GT(g_itemBounds.maxY, 45000);
  arch->MoveBy(1000, -2000);
  arch->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, 1000);
  EXPECT_EQ(g_itemBounds.minY, -2000);
  // A control polygon under 2 mm: the box of the ends only.
  auto small = MakeCurve(0, 0, 0, 300, 500, 300, 500, 0);
  small->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.maxY, 0);
  EXPECT_EQ(g_itemBounds.maxX, 500);
}

TEST_F(BezierItemTest, ScanLineCrossingsAgainstDenseSampling) {
  auto s = SCurve();
  auto arch = Arch();
  const std::vector<PointD> dense = DenseSamples(*arch, 200000);
  // Where the dense polyline crosses y.
  const auto crossings = [&dense](double y) {
    std::vector<double> xs;
    for (std::size_t i = 0; i + 1 < dense.size(); ++i) {
      const double a = dense[i].y - y;
      const double b = dense[i + 1].y - y;
      if ((a < 0) != (b < 0))
        xs.push_back(dense[i].x + (dense[i + 1].x - dense[i].x) * a / (a - b));
    }
    return xs;
  };
  for (int y : {1000, 20000, 44000}) {
    const std::vector<double> expected = crossings(y);
    const int count = arch->IntersectScanLine(y);
    ASSERT_EQ(count, static_cast<int>(expected.size())) << y;
    std::vector<int> found(g_intersectX.begin(), g_intersectX.begin() + count);
    std::sort(found.begin(), found.end());
    for (int i = 0; i < count; ++i) EXPECT_NEAR(found[i], expected[i], 1.0) << y;
  }
  EXPECT_EQ(arch->IntersectScanLine(46000), 0);
  // Touching the top: every crossing is the top point.
  const int touching = arch->IntersectScanLine(45000);
  EXPECT_GE(touching, 1);
  for (int i = 0; i < touching; ++i) EXPECT_EQ(g_intersectX[i], 50000);
  // The ends count.
  ASSERT_EQ(s->IntersectScanLine(0), 1);
  EXPECT_EQ(g_intersectX[0], 0);
}

// ---- Validity ----

TEST_F(BezierItemTest, ALoopIsFoundAndExchangingTheControlPointsUndoesIt) {
  auto loop = MakeCurve(0, 0, 150000, 100000, -50000, 100000, 100000, 0);
  int x = 0;
  int y = 0;
  ASSERT_EQ(loop->FindSelfIntersection(x, y), 1);
  // The two parameters of the double point are (1 -+ sqrt(3/7)) / 2.
  const double s = (1 - std::sqrt(3.0 / 7.0)) / 2;
  EXPECT_NEAR(loop->GetXAt(s), loop->GetXAt(1 - s), 1e-6);
  EXPECT_NEAR(loop->GetYAt(s), loop->GetYAt(1 - s), 1e-6);
  EXPECT_NEAR(x, loop->GetXAt(s), 1.0);
  EXPECT_NEAR(y, loop->GetYAt(s), 1.0);
  EXPECT_EQ(loop->IsValid(), 0);
  loop->Normalise();
  double c1x = 0.0;
  double c1y = 0.0;
  loop->GetControlPoint(0, c1x, c1y);
  EXPECT_EQ(c1x, -50000.0);
  EXPECT_EQ(loop->IsValid(), 1);
  EXPECT_EQ(loop->FindSelfIntersection(x, y), 0);

  // A closed curve: its start is reported.
  auto closed = MakeCurve(500, 700, 30000, 40000, -30000, 40000, 500, 700);
  ASSERT_EQ(closed->FindSelfIntersection(x, y), 1);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 700);
  EXPECT_EQ(closed->IsValid(), 0);
  closed->Normalise();
  closed->GetControlPoint(0, c1x, c1y);
  EXPECT_EQ(c1x, -30000.0);

  EXPECT_EQ(Arch()->FindSelfIntersection(x, y), 0);
  EXPECT_EQ(SCurve()->FindSelfIntersection(x, y), 0);
}

TEST_F(BezierItemTest, ValidityChecksEndsAndControlPoints) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    int sx, sy;
    double c1x, c1y;
    int expected;
  };
  const Case cases[] = {
      {"arch", 0, 0, 0, 60000, 1},
      {"start beyond x", 50000001, 0, 0, 60000, 0},
      {"start beyond y", 0, -30000001, 0, 60000, 0},
      {"control NaN", 0, 0, nan, 60000, 0},
      {"control infinite", 0, 0, 0, inf, 0},
      {"control beyond x", 0, 0, -50000001, 60000, 0},
      {"control beyond y", 0, 0, 0, 30000000.5, 0},
      {"control at the limit", 0, 0, -50000000, 30000000, 1},
  };
  for (const Case& c : cases) {
    auto curve = MakeCurve(c.sx, c.sy, c.c1x, c.c1y, 100000, 60000, 100000, 0);
    EXPECT_EQ(curve->IsValid(), c.expected) << c.name;
  }
}

TEST_F(BezierItemTest, FarOffControlPointsCannotMakeSamplingRunForEver) {
  // As a damaged file could hold them: finite but absurd, and infinite.
  for (double far : {1e300, std::numeric_limits<double>::infinity()}) {
    auto curve = MakeCurve(0, 0, far, far, -far, far, 1000, 0);
    const auto start = std::chrono::steady_clock::now();
    g_cursorPoint = {10, 10};
    curve->GetPickDistance(nullptr);
    curve->CalcBoundingBox(nullptr);
    curve->GetTravel(1000, 0, 0, 0, kDirectionAlongCurve);
    curvetest::CTestCircle circle(0, 0, 500);
    curve->IntersectWith(&circle);
    auto other = MakeCurve(0, 0, far, -far, far, far, 1000, 0);
    curve->IntersectWith(other.get());
    FillSplitList({{0, 0}, {1000, 0}}, *curve);
    curve->CreatePiece(0);
    EXPECT_EQ(curve->IsValid(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << far;
  }
}

// ---- Setters ----

TEST_F(BezierItemTest, SettersFollowTheSetterConvention) {
  CCurveTestDocument document;
  auto curve = Arch();
  curve->SetDocument(&document);
  struct Case {
    const char* name;
    std::function<void(CBezierItem&)> change;
    UndoKind kind;
    bool geometric;
  };
  const Case cases[] = {
      {"start", [](CBezierItem& c) { c.SetStart(10, 20); }, UndoKind::kStart, true},
      {"end", [](CBezierItem& c) { c.SetEnd(90000, 20); }, UndoKind::kEnd, true},
      {"control 0", [](CBezierItem& c) { c.SetControlPoint(0, 5.5, 6.5); },
       UndoKind::kControlPoint0, true},
      {"control 1", [](CBezierItem& c) { c.SetControlPoint(1, 7.5, 8.5); },
       UndoKind::kControlPoint1, true},
      {"handle 1", [](CBezierItem& c) { c.SetHandle(1, 90001, 21); }, UndoKind::kEnd, true},
      {"pen", [](CBezierItem& c) { c.SetPenWidth(4); }, UndoKind::kPenWidth, false},
  };
  for (const Case& c : cases) {
    document.records.clear();
    document.drops.clear();
    document.changedCount = 0;
    c.change(*curve);
    ASSERT_EQ(document.records.size(), 1u) << c.name;
    EXPECT_EQ(document.records[0].kind, c.kind) << c.name;
    EXPECT_EQ(document.changedCount, 1) << c.name;
    EXPECT_EQ(document.drops.size(), c.geometric ? 1u : 0u) << c.name;
    // The same value again: nothing at all.
    c.change(*curve);
    EXPECT_EQ(document.records.size(), 1u) << c.name;
  }
  // A refused change changes nothing.
  document.recordAnswer = kUndoRefused;
  document.drops.clear();
  curve->SetControlPoint(0, 1.0, 2.0);
  curve->MoveBy(5, 5);
  double x = 0.0;
  double y = 0.0;
  curve->GetControlPoint(0, x, y);
  EXPECT_EQ(x, 5.5);
  EXPECT_EQ(y, 6.5);
  EXPECT_EQ(curve->GetHandleX(0), 10);
  EXPECT_TRUE(document.drops.empty());
  // A move records its offset and moves all four points.
  document.recordAnswer = 1;
  document.records.clear();
  curve->MoveBy(100, -200);
  ASSERT_EQ(document.records.size(), 1u);
  EXPECT_EQ(document.records[0].kind, UndoKind::kMove);
  EXPECT_EQ(document.records[0].dx, 100);
  EXPECT_EQ(document.records[0].dy, -200);
  curve->GetControlPoint(1, x, y);
  EXPECT_EQ(x, 107.5);
  EXPECT_EQ(y, -191.5);
  EXPECT_EQ(curve->GetHandleX(0), 110);
  EXPECT_EQ(curve->GetHandleY(1), -179);
  curve->MoveHandle(0, 1, 1);
  EXPECT_EQ(curve->GetHandleY(0), -179);
}

TEST_F(BezierItemTest, ArmLengthAndAngle) {
  auto curve = MakeCurve(1000, 2000, 1000, 2000, 5000, 5000, 9000, 2000);
  curve->SetControlLength(0, 0.0);
  curve->SetControlLength(0, -5.0);
  double x = 0.0;
  double y = 0.0;
  curve->GetControlPoint(0, x, y);
  EXPECT_EQ(x, 1000.0);
  EXPECT_EQ(y, 2000.0);
  // An arm of length 0 is pointed straight up.
  curve->SetControlLength(0, 3000.0);
  curve->GetControlPoint(0, x, y);
  EXPECT_NEAR(x, 1000.0, 1e-9);
  EXPECT_NEAR(y, 5000.0, 1e-9);
  // Arm 1 is (-4000, 3000): a longer arm keeps its direction.
  curve->SetControlLength(1, 10000.0);
  curve->GetControlPoint(1, x, y);
  EXPECT_NEAR(x, 9000.0 - 8000.0, 1e-6);
  EXPECT_NEAR(y, 2000.0 + 6000.0, 1e-6);
  // Turned straight down, the length is kept.
  curve->SetControlAngle(1, 3 * g_halfPi);
  curve->GetControlPoint(1, x, y);
  EXPECT_NEAR(x, 9000.0, 1e-6);
  EXPECT_NEAR(y, 2000.0 - 10000.0, 1e-6);
  // A downward vertical arm keeps pointing down.
  curve->SetControlLength(1, 500.0);
  curve->GetControlPoint(1, x, y);
  EXPECT_NEAR(y, 1500.0, 1e-6);
  curve->SetControlAngle(1, std::numeric_limits<double>::quiet_NaN());
  curve->GetControlPoint(1, x, y);
  EXPECT_NEAR(y, 1500.0, 1e-6);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BezierItemTest, WrongIndicesAreGlitches) {
  auto curve = Arch();
  struct Case {
    const char* name;
    std::function<void()> call;
    int code;
  };
  double x = 1.0;
  double y = 2.0;
  const Case cases[] = {
      {"GetControlPoint", [&] { curve->GetControlPoint(2, x, y); }, 1726},
      {"SetControlPoint", [&] { curve->SetControlPoint(-1, 3.0, 4.0); }, 1734},
      {"SetHandle", [&] { curve->SetHandle(2, 3, 4); }, 1735},
      {"GetHandleX", [&] { EXPECT_EQ(curve->GetHandleX(2), 0); }, 1737},
      {"GetHandleY", [&] { EXPECT_EQ(curve->GetHandleY(-1), 0); }, 1738},
  };
  for (const Case& c : cases) {
    ResetLogState();
    c.call();
    ExpectGlitch(c.code, 1);
  }
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(y, 2.0);
  EXPECT_EQ(curve->Compare(Arch().get()), 1);
}

// ---- Transforms, comparison, copying ----

TEST_F(BezierItemTest, TransformsRoundTrip) {
  struct Step {
    const char* name;
    std::function<void(CTransform&)> there;
    std::function<void(CTransform&)> back;
    int repeat;
  };
  const Step steps[] = {
      {"rotation", [](CTransform& t) { t.SetRotation(90.0, 1234, -5678); },
       [](CTransform& t) { t.SetRotation(90.0, 1234, -5678); }, 2},
      {"reflection x", [](CTransform& t) { t.SetReflection(1, 7000); },
       [](CTransform& t) { t.SetReflection(1, 7000); }, 1},
      {"reflection y", [](CTransform& t) { t.SetReflection(0, -300); },
       [](CTransform& t) { t.SetReflection(0, -300); }, 1},
      {"enlargement", [](CTransform& t) { t.SetEnlargement(2.0, 100, 200); },
       [](CTransform& t) { t.SetEnlargement(0.5, 100, 200); }, 1},
      {"stretch", [](CTransform& t) { t.SetStretch(1, 4.0, 3000); },
       [](CTransform& t) { t.SetStretch(1, 0.25, 3000); }, 1},
  };
  for (const Step& step : steps) {
    CCurveTestDocument document;
    auto curve = MakeCurve(1000, 2000, 60000.25, -3000.5, 40000.75, 90000.125, 100000, 100000);
    auto original = MakeCurve(1000, 2000, 60000.25, -3000.5, 40000.75, 90000.125, 100000, 100000);
    curve->SetDocument(&document);
    curve->CalcBoundingBox(nullptr);
    CTransform there;
    CTransform back;
    step.there(there);
    step.back(back);
    for (int i = 0; i < step.repeat; ++i) curve->Transform(there);
    EXPECT_EQ(curve->Compare(original.get()), 0) << step.name;
    for (int i = 0; i < step.repeat; ++i) curve->Transform(back);
    EXPECT_EQ(curve->Compare(original.get()), 1) << step.name;
    EXPECT_TRUE(document.records.empty()) << step.name;  // the document records transforms
    EXPECT_EQ(document.drops.size(), 2u * step.repeat) << step.name;
  }
  // The box follows a transform.
  auto arch = Arch();
  arch->CalcBoundingBox(nullptr);
  CTransform flip;
  flip.SetReflection(0, 0);
  arch->Transform(flip);
  arch->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minY, -45000);
  EXPECT_EQ(g_itemBounds.maxY, 0);
}

TEST_F(BezierItemTest, CompareCopyAndFactory) {
  auto arch = Arch();
  EXPECT_EQ(arch->Compare(LeftArch().get()), 1);  // the same curve drawn the other way
  EXPECT_EQ(arch->Compare(arch.get()), 1);
  auto bent = MakeCurve(0, 0, 0, 60000, 100000, 60001, 100000, 0);
  EXPECT_EQ(arch->Compare(bent.get()), 0);
  CLineItem line;
  line.SetStart(0, 0);
  line.SetEnd(100000, 0);
  EXPECT_EQ(arch->Compare(&line), 0);

  DrawItemPtr made = CreateItem(kItemBezier);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetType(), kItemBezier);
  EXPECT_EQ(made->GetHandleCount(), 2);
  EXPECT_EQ(made->CanBound(), 1);
  EXPECT_EQ(made->IsClosed(), 0);
  arch->SetColour(0x00FF00);
  arch->SetPenWidth(5);
  made->CopyFrom(arch.get());
  EXPECT_EQ(made->Compare(arch.get()), 1);
  EXPECT_EQ(made->GetColour(), 0x00FF00);
  EXPECT_EQ(made->GetPenWidth(), 5);
}

TEST_F(BezierItemTest, ValuesBarFields) {
  // Arm 0 points straight down; arm 1 is (-3000, 4000).
  auto curve = MakeCurve(1000, 2000, 1000, -3000, 2000, 6000, 5000, 2000);
  curve->SetColour(0x123456);
  curve->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 3);
  EXPECT_EQ(g_valueFieldIds[0], kFieldColourObject);
  EXPECT_EQ(g_valueFieldIds[1], kFieldControl0);
  EXPECT_EQ(g_valueFieldIds[2], kFieldControl1);
  EXPECT_EQ(g_valueColour, 0x123456);
  EXPECT_DOUBLE_EQ(g_valueControlLength0, 5000.0);
  EXPECT_DOUBLE_EQ(g_valueControlAngle0, 3 * g_halfPi);  // straight down
  EXPECT_DOUBLE_EQ(g_valueControlLength1, 5000.0);
  EXPECT_DOUBLE_EQ(g_valueControlAngle1, AngleOf(4000.0, -3000.0));
  curve->SetControlPoint(0, 1000, 2000);  // an empty arm counts as pointing up
  curve->PublishProperties();
  EXPECT_DOUBLE_EQ(g_valueControlAngle0, g_halfPi);
  curve->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], kFieldStart);
  EXPECT_EQ(g_valueFieldIds[1], kFieldEnd);
  EXPECT_EQ(g_valueStartX, 1000);
  EXPECT_EQ(g_valueEndX, 5000);
}

// ---- Drawing ----

TEST_F(BezierItemTest, DrawsOneBezierThroughTheMappedPoints) {
  auto arch = MakeCurve(0, 0, 0, 60000, 100000, 60000.6, 100000, 0);
  arch->SetColour(0x0000FF);
  arch->SetPenWidth(3);
  CViewMapping mapping;
  mapping.originX = 0;
  mapping.originY = 50000;
  mapping.scaleX = 1000;
  mapping.scaleY = 1000;
  zeph::CRecordingContext dc;
  arch->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const zeph::DcCall* bezier = nullptr;
  for (const zeph::DcCall& call : dc.calls()) {
    if (call.op == zeph::DcOp::kPolyBezier) bezier = &call;
  }
  ASSERT_NE(bezier, nullptr);
  ASSERT_EQ(bezier->points.size(), 4u);
  const zeph::DcPoint expected[] = {{0, 50}, {0, -10}, {100, -10}, {100, 50}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bezier->points[i], expected[i]) << i;
  EXPECT_EQ(bezier->pen.width, 3);
  EXPECT_EQ(bezier->pen.colour, 0x0000FFu);
  EXPECT_EQ(bezier->rasterOp, zeph::RasterOp::kCopy);
  EXPECT_EQ(dc.GetPen(), zeph::DcPen());  // the pen is put back

  dc.Clear();
  arch->Draw(&dc, &mapping, kDrawXor, 0);
  for (const zeph::DcCall& call : dc.calls()) {
    if (call.op == zeph::DcOp::kPolyBezier) {
      EXPECT_EQ(call.rasterOp, zeph::RasterOp::kXor);
    }
  }
  EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy);
}

}  // namespace
