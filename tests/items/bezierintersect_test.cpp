// Intersections of curves, checked against points found independently on a dense sampling of
// the curve, and the document's cache of the answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "items/bezier_test_support.h"
#include "items/bezieritem.h"
#include "items/ellipseitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/lineitem.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

using curvetest::CCurveTestDocument;
using curvetest::CTestArc;
using curvetest::CTestCircle;
using curvetest::CTestText;
using curvetest::DenseSamples;
using curvetest::MakeCurve;
using curvetest::PointD;

class BezierIntersectTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ResetLogState();
    ResetIntersectionState();
    ResetItemGlobals();
  }
};

std::vector<PointD> Results(int count) {
  std::vector<PointD> points;
  for (int i = 0; i < count; ++i)
    points.push_back({double(g_intersectX[i]), double(g_intersectY[i])});
  return points;
}

// Where f (zero on the other item's outline) changes sign along a dense sampling of the
// curve, interpolated linearly; accept filters the points (arc ranges).
std::vector<PointD> DenseZeros(const CDrawItem& curve, const std::function<double(PointD)>& f,
                               const std::function<bool(PointD)>& accept = nullptr) {
  const std::vector<PointD> dense = DenseSamples(curve, 200000);
  std::vector<PointD> zeros;
  for (std::size_t i = 0; i + 1 < dense.size(); ++i) {
    const double a = f(dense[i]);
    const double b = f(dense[i + 1]);
    if ((a < 0) == (b < 0)) continue;
    const double u = a / (a - b);
    const PointD p{dense[i].x + u * (dense[i + 1].x - dense[i].x),
                   dense[i].y + u * (dense[i + 1].y - dense[i].y)};
    if (!accept || accept(p)) zeros.push_back(p);
  }
  return zeros;
}

// The same points, whatever the order, each within tolerance of its partner.
void ExpectSamePoints(std::vector<PointD> found, const std::vector<PointD>& expected,
                      double tolerance, const char* name) {
  ASSERT_EQ(found.size(), expected.size()) << name;
  for (const PointD& e : expected) {
    auto nearest = std::min_element(found.begin(), found.end(), [&e](PointD a, PointD b) {
      return std::hypot(a.x - e.x, a.y - e.y) < std::hypot(b.x - e.x, b.y - e.y);
    });
    EXPECT_LE(std::hypot(nearest->x - e.x, nearest->y - e.y), tolerance)
        << name << ": expected " << e.x << ", " << e.y;
    found.erase(nearest);
  }
}

// An arch from (0, 0) to (100000, 0), and a wave that crosses the x axis twice between.
std::unique_ptr<CBezierItem> Arch() { return MakeCurve(0, 0, 0, 60000, 100000, 60000, 100000, 0); }
std::unique_ptr<CBezierItem> Wave() {
  return MakeCurve(-10000, 20000, 40000, -60000, 60000, 100000, 110000, 10000);
}

double AngleAbout(PointD p, double cx, double cy) { return AngleOf(p.y - cy, p.x - cx); }

// Counter-clockwise from start to end.
bool InSweep(double angle, double start, double end) {
  const double sweep = end >= start ? end - start : end - start + g_twoPi;
  double offset = angle - start;
  if (offset < 0) offset += g_twoPi;
  return offset <= sweep;
}

// ---- Against dense sampling, kind by kind ----

TEST_F(BezierIntersectTest, CurveAndLine) {
  auto wave = Wave();
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
  };
  const Case cases[] = {{"across", -20000, 15000, 120000, 15000},
                        {"slanted", -20000, -30000, 120000, 50000},
                        {"steep", 30000, -40000, 50000, 60000},
                        {"short", 20000, 0, 25000, 5000}};
  for (const Case& c : cases) {
    CLineItem line;
    line.SetStart(c.x1, c.y1);
    line.SetEnd(c.x2, c.y2);
    const double dx = c.x2 - c.x1;
    const double dy = c.y2 - c.y1;
    const auto side = [&](PointD p) { return (p.x - c.x1) * dy - (p.y - c.y1) * dx; };
    const auto onSegment = [&](PointD p) {
      const double u = ((p.x - c.x1) * dx + (p.y - c.y1) * dy) / (dx * dx + dy * dy);
      return u >= 0 && u <= 1;
    };
    const std::vector<PointD> expected = DenseZeros(*wave, side, onSegment);
    // The curve passes a line to the line, whichever item is asked.
    ExpectSamePoints(Results(wave->IntersectWith(&line)), expected, 1.5, c.name);
    ExpectSamePoints(Results(line.IntersectWith(wave.get())), expected, 1.5, c.name);
  }
}

TEST_F(BezierIntersectTest, CurveAndCircle) {
  auto wave = Wave();
  struct Case {
    const char* name;
    int cx, cy, r;
  };
  const Case cases[] = {{"four times", 50000, 20000, 30000},
                        {"around an end", -10000, 20000, 5000},
                        {"inside", 50000, 20000, 1000},
                        {"far", 500000, 0, 1000}};
  for (const Case& c : cases) {
    CTestCircle circle(c.cx, c.cy, c.r);
    const auto f = [&c](PointD p) { return std::hypot(p.x - c.cx, p.y - c.cy) - c.r; };
    ExpectSamePoints(Results(wave->IntersectWith(&circle)), DenseZeros(*wave, f), 1.5, c.name);
    // Asked the other way round, the circle passes the pair to the curve.
    ExpectSamePoints(Results(circle.IntersectWith(wave.get())), DenseZeros(*wave, f), 1.5, c.name);
  }
}

TEST_F(BezierIntersectTest, CurveAndArc) {
  auto wave = Wave();
  struct Case {
    const char* name;
    double cx, cy, r, from, to;
  };
  const Case cases[] = {{"upper half", 50000, 20000, 30000, 0.0, kPi},
                        {"passing angle 0", 50000, 20000, 30000, 5.0, 1.2},
                        {"lower quarter", 50000, 20000, 30000, kPi, 1.5 * kPi}};
  for (const Case& c : cases) {
    CTestArc arc(c.cx, c.cy, c.r, c.from, c.to);
    const auto f = [&c](PointD p) { return std::hypot(p.x - c.cx, p.y - c.cy) - c.r; };
    const auto inArc = [&c](PointD p) { return InSweep(AngleAbout(p, c.cx, c.cy), c.from, c.to); };
    ExpectSamePoints(Results(wave->IntersectWith(&arc)), DenseZeros(*wave, f, inArc), 1.5, c.name);
  }
}

TEST_F(BezierIntersectTest, ACurveEndingOnAnArcEndRecordsThatEndOnce) {
  // The arc of the circle about (100000, 0) from (100000, 20000) to (80000, 0); the curve
  // ends at the arc's end.
  CTestArc arc(100000, 0, 20000, g_halfPi, kPi);
  auto curve = MakeCurve(0, 0, 20000, 40000, 60000, 40000, 80000, 0);
  ASSERT_EQ(curve->IntersectWith(&arc), 1);
  EXPECT_EQ(g_intersectX[0], 80000);
  EXPECT_EQ(g_intersectY[0], 0);
}

TEST_F(BezierIntersectTest, CurveAndEllipse) {
  auto wave = Wave();
  struct Case {
    const char* name;
    int cx, cy, a, b;
    double rotation;
  };
  const Case cases[] = {{"upright", 50000, 20000, 40000, 15000, 0.0},
                        {"turned", 50000, 20000, 40000, 15000, 0.6},
                        {"turned a hair", 50000, 20000, 40000, 15000, 1e-12},
                        {"small", 30000, 0, 3000, 2000, 2.0}};
  for (const Case& c : cases) {
    CEllipseItem ellipse;
    ellipse.SetCentre(c.cx, c.cy);
    ellipse.SetSemiAxes(c.a, c.b);
    ellipse.SetRotation(c.rotation);
    const auto f = [&c](PointD p) {
      const double x = p.x - c.cx;
      const double y = p.y - c.cy;
      const double u = (x * std::cos(c.rotation) + y * std::sin(c.rotation)) / c.a;
      const double v = (-x * std::sin(c.rotation) + y * std::cos(c.rotation)) / c.b;
      return u * u + v * v - 1;
    };
    ExpectSamePoints(Results(wave->IntersectWith(&ellipse)), DenseZeros(*wave, f), 1.5, c.name);
    ExpectSamePoints(Results(ellipse.IntersectWith(wave.get())), DenseZeros(*wave, f), 1.5, c.name);
  }
}

TEST_F(BezierIntersectTest, CurveAndEllipticArc) {
  auto wave = Wave();
  struct Case {
    const char* name;
    double from, to;
  };
  const double cx = 50000.5;
  const double cy = 20000.25;
  const double a = 40000;
  const double b = 15000;
  const double rotation = 0.6;
  const Case cases[] = {{"most", 0.5, 5.5}, {"passing angle 0", 4.0, 2.0}, {"a little", 0.1, 0.9}};
  for (const Case& c : cases) {
    // Ends on the ellipse at the given eccentric angles.
    const auto pointAt = [&](double e) {
      const double u = a * std::cos(e);
      const double v = b * std::sin(e);
      return PointD{cx + u * std::cos(rotation) - v * std::sin(rotation),
                    cy + u * std::sin(rotation) + v * std::cos(rotation)};
    };
    const PointD start = pointAt(c.from);
    const PointD end = pointAt(c.to);
    CEllipseArcItem arc;
    arc.SetCentreExact(cx, cy);
    arc.SetRadii(a, b);
    arc.SetRotation(rotation);
    arc.SetStart(RoundToInt(start.x), RoundToInt(start.y));
    arc.SetEnd(RoundToInt(end.x), RoundToInt(end.y));
    const auto f = [&](PointD p) {
      const double x = p.x - cx;
      const double y = p.y - cy;
      const double u = (x * std::cos(rotation) + y * std::sin(rotation)) / a;
      const double v = (-x * std::sin(rotation) + y * std::cos(rotation)) / b;
      return u * u + v * v - 1;
    };
    const double startAngle = AngleOf(RoundToInt(start.y) - cy, RoundToInt(start.x) - cx);
    const double endAngle = AngleOf(RoundToInt(end.y) - cy, RoundToInt(end.x) - cx);
    const auto inArc = [&](PointD p) {
      return InSweep(AngleAbout(p, cx, cy), startAngle, endAngle);
    };
    ExpectSamePoints(Results(wave->IntersectWith(&arc)), DenseZeros(*wave, f, inArc), 1.5, c.name);
    ExpectSamePoints(Results(arc.IntersectWith(wave.get())), DenseZeros(*wave, f, inArc), 1.5,
                     c.name);
  }
}

// The crossings of two dense polylines.
std::vector<PointD> DenseCrossings(const CDrawItem& a, const CDrawItem& b) {
  const std::vector<PointD> p = DenseSamples(a, 3000);
  const std::vector<PointD> q = DenseSamples(b, 3000);
  std::vector<PointD> crossings;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    const double minX = std::min(p[i].x, p[i + 1].x);
    const double maxX = std::max(p[i].x, p[i + 1].x);
    for (std::size_t j = 0; j + 1 < q.size(); ++j) {
      if (std::max(q[j].x, q[j + 1].x) < minX || std::min(q[j].x, q[j + 1].x) > maxX) continue;
      const double rx = p[i + 1].x - p[i].x;
      const double ry = p[i + 1].y - p[i].y;
      const double sx = q[j + 1].x - q[j].x;
      const double sy = q[j + 1].y - q[j].y;
      const double den = rx * sy - ry * sx;
      if (den == 0) continue;
      const double u = ((q[j].x - p[i].x) * sy - (q[j].y - p[i].y) * sx) / den;
      const double v = ((q[j].x - p[i].x) * ry - (q[j].y - p[i].y) * rx) / den;
      if (u >= 0 && u < 1 && v >= 0 && v < 1)
        crossings.push_back({p[i].x + u * rx, p[i].y + u * ry});
    }
  }
  return crossings;
}

TEST_F(BezierIntersectTest, CurveAndCurve) {
  struct Case {
    const char* name;
    std::unique_ptr<CBezierItem> a;
    std::unique_ptr<CBezierItem> b;
  };
  Case cases[] = {
      {"wave and arch", Wave(), Arch()},
      {"arch and flat", Arch(), MakeCurve(-5000, 30000, 30000, 30000, 70000, 30000, 105000, 30000)},
      {"nine crossings", MakeCurve(0, 0, 200000, 200000, -100000, 200000, 100000, 0),
       MakeCurve(0, 100000, 200000, -100000, -100000, -100000, 100000, 100000)},
      {"apart", Arch(), MakeCurve(0, -10000, 30000, -50000, 70000, -50000, 100000, -10000)},
  };
  for (Case& c : cases) {
    const std::vector<PointD> expected = DenseCrossings(*c.a, *c.b);
    ExpectSamePoints(Results(c.a->IntersectWith(c.b.get())), expected, 2.0, c.name);
    ExpectSamePoints(Results(c.b->IntersectWith(c.a.get())), expected, 2.0, c.name);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BezierIntersectTest, EdgeCases) {
  // A control polygon under a millimetre is never sampled, whatever it lies across.
  auto tiny = MakeCurve(0, 0, 100, 100, 200, 100, 300, 0);
  ASSERT_LT(tiny->GetControlPolygonLength(), 1000.0);
  CTestCircle through(150, 0, 100);
  EXPECT_EQ(tiny->IntersectWith(&through), 0);
  EXPECT_EQ(tiny->IntersectWith(Arch().get()), 0);

  // A circle touching the arch at its top from above, where no sample falls: nothing.
  auto arch = MakeCurve(0, 0, 0, 60500, 100000, 60500, 100000, 0);  // top (50000, 45375)
  CTestCircle touching(50000, 55375, 10000);
  EXPECT_EQ(arch->IntersectWith(&touching), 0);

  // A curve lying on itself crosses "everywhere": the first 10 are kept.
  auto same = Arch();
  EXPECT_EQ(Arch()->IntersectWith(same.get()), 10);

  // Items without an outline are glitches and meet nothing.
  CTestText text;
  EXPECT_EQ(Arch()->IntersectWith(&text), 0);
  EXPECT_EQ(g_firstGlitchCode, 1727);
  EXPECT_EQ(g_firstGlitchNumber, 10);
  EXPECT_EQ(g_firstGlitchValues[0], kItemText);
  EXPECT_EQ(Arch()->IntersectWith(nullptr), 0);
}

TEST_F(BezierIntersectTest, SegmentsIntersect) {
  struct Case {
    const char* name;
    double x1, y1, x2, y2, x3, y3, x4, y4;
    int expected;
  };
  const Case cases[] = {
      {"crossing", 0, 0, 10, 10, 0, 10, 10, 0, 1},
      {"meeting at an end", 0, 0, 10, 0, 10, 0, 20, 5, 1},
      {"T", 0, 0, 10, 0, 5, 0, 5, 10, 1},
      {"just short", 0, 0, 10, 0, 10.1, -5, 10.1, 5, 0},
      {"parallel", 0, 0, 10, 0, 0, 1, 10, 1, 0},
      {"collinear overlap", 0, 0, 10, 0, 5, 0, 15, 0, 0},
      {"boxes apart", 0, 0, 10, 10, 20, 20, 30, 5, 0},
      {"lines cross beyond", 0, 0, 10, 0, 20, -5, 21, 5, 0},
      {"not finite", 0, 0, 10, 10, 0, 10, std::nan(""), 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SegmentsIntersect(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4), c.expected)
        << c.name;
    EXPECT_EQ(SegmentsIntersect(c.x3, c.y3, c.x4, c.y4, c.x1, c.y1, c.x2, c.y2), c.expected)
        << c.name;
  }
}

// ---- The document's cache ----

// Asks the curve in the document for its crossings with other, as the cache should answer.
void CheckCachedPair(CCurveTestDocument& document, CBezierItem& wave, CDrawItem& other,
                     const std::function<void(int dy)>& moveOther, const char* name) {
  const int entries = document.cache.GetEntryCount();
  const std::vector<PointD> first = Results(wave.IntersectWith(&other));
  ASSERT_FALSE(first.empty()) << name;
  EXPECT_EQ(document.cache.GetEntryCount(), entries + 1) << name;
  // The same answer again, from either item, without a second entry.
  ExpectSamePoints(Results(wave.IntersectWith(&other)), first, 0.0, name);
  ExpectSamePoints(Results(other.IntersectWith(&wave)), first, 0.0, name);
  EXPECT_EQ(document.cache.GetEntryCount(), entries + 1) << name;

  // What the cache holds is what is answered: a planted answer shows nothing is recomputed.
  document.cache.Drop(wave.GetSerial());
  ASSERT_TRUE(EnsureIntersectionCapacity(1));
  g_intersectX[0] = 42;
  g_intersectY[0] = 43;
  document.cache.Add(1, other.GetSerial(), wave.GetSerial());
  ASSERT_EQ(wave.IntersectWith(&other), 1) << name;
  EXPECT_EQ(g_intersectX[0], 42) << name;

  // Moving either item drops the entry: the answer is computed afresh where they now meet,
  // the same as for a curve outside the document (which is never cached).
  auto loose = Wave();
  moveOther(1000);
  const std::vector<PointD> moved = Results(loose->IntersectWith(&other));
  ExpectSamePoints(Results(wave.IntersectWith(&other)), moved, 0.0, name);
  wave.MoveBy(0, 3000);
  loose->MoveBy(0, 3000);
  const std::vector<PointD> both = Results(loose->IntersectWith(&other));
  ExpectSamePoints(Results(wave.IntersectWith(&other)), both, 0.0, name);
  EXPECT_NE(both.front().y, moved.front().y) << name;
  wave.MoveBy(0, -3000);
  moveOther(-1000);
}

TEST_F(BezierIntersectTest, TheCacheAnswersUntilEitherItemChanges) {
  CCurveTestDocument document;
  auto wave = Wave();
  wave->SetDocument(&document);
  CTestCircle circle(50000, 20000, 30000);
  circle.SetDocument(&document);
  CheckCachedPair(
      document, *wave, circle, [&](int dy) { circle.MoveBy(0, dy); }, "circle");
  auto arch = Arch();
  arch->SetDocument(&document);
  CheckCachedPair(
      document, *wave, *arch, [&](int dy) { arch->MoveBy(0, dy); }, "curve");
  CEllipseItem ellipse;
  ellipse.SetCentre(50000, 20000);
  ellipse.SetSemiAxes(40000, 15000);
  ellipse.SetRotation(0.6);
  ellipse.SetDocument(&document);
  CheckCachedPair(
      document, *wave, ellipse, [&](int dy) { ellipse.MoveBy(0, dy); }, "ellipse");

  // Pairs with a line are the line's, and are not cached.
  CLineItem line;
  line.SetStart(-20000, 15000);
  line.SetEnd(120000, 15000);
  line.SetDocument(&document);
  const int entries = document.cache.GetEntryCount();
  EXPECT_GT(wave->IntersectWith(&line), 0);
  EXPECT_EQ(document.cache.GetEntryCount(), entries);

  // Items without an outline: the empty answer is kept too.
  CTestText text;
  text.SetDocument(&document);
  EXPECT_EQ(wave->IntersectWith(&text), 0);
  EXPECT_EQ(document.cache.GetEntryCount(), entries + 1);
  for (CDrawItem* item : {static_cast<CDrawItem*>(&text), static_cast<CDrawItem*>(&line),
                          static_cast<CDrawItem*>(&ellipse), static_cast<CDrawItem*>(arch.get()),
                          static_cast<CDrawItem*>(&circle), static_cast<CDrawItem*>(wave.get())}) {
    item->SetDocument(nullptr);
  }
}

TEST_F(BezierIntersectTest, AnswersOfAGoneItemAreNeverServedForANewOne) {
  CCurveTestDocument document;
  auto wave = Wave();
  wave->SetDocument(&document);
  auto circle = std::make_unique<CTestCircle>(50000, 20000, 30000);
  circle->SetDocument(&document);
  const int before = wave->IntersectWith(circle.get());
  ASSERT_GT(before, 0);
  circle.reset();
  // A new circle, perhaps at the same address, far from the curve.
  circle = std::make_unique<CTestCircle>(900000, 0, 1000);
  circle->SetDocument(&document);
  EXPECT_EQ(wave->IntersectWith(circle.get()), 0);
  circle->SetDocument(nullptr);
  wave->SetDocument(nullptr);
}

TEST_F(BezierIntersectTest, ItemsOutsideTheDocumentAreNotCached) {
  CCurveTestDocument document;
  auto wave = Wave();
  wave->SetDocument(&document);
  CTestCircle circle(50000, 20000, 30000);  // in no document
  wave->IntersectWith(&circle);
  EXPECT_EQ(document.cache.GetEntryCount(), 0);
  auto loose = Wave();
  CTestCircle inside(50000, 20000, 30000);
  inside.SetDocument(&document);
  loose->IntersectWith(&inside);
  EXPECT_EQ(document.cache.GetEntryCount(), 0);
  inside.SetDocument(nullptr);
  wave->SetDocument(nullptr);
}

}  // namespace
