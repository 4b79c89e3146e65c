// Where a curve meets an arc, a circle, an ellipse, an elliptic arc or another curve. Unlike
// the closed forms of the other kinds this works numerically: the curve is sampled about once
// per millimetre of its control polygon; a change of sign of the other item's implicit
// equation between two samples (or, for two curves, a crossing of the two sampled polylines)
// is narrowed down by 50 halvings. Because that is costly, the answer of each pair is kept by
// the document both items belong to; any change of either item's geometry drops it.
//
// A line handles its own pairs with a curve; the other kinds pass theirs to the curve.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "items/bezieritem.h"
#include "items/ellipsegeom.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/uiutil.h"

namespace {

constexpr int kGlitchIntersect = 1727;
constexpr int kGlitchNumberArc = 1;
constexpr int kGlitchNumberCircle = 2;
constexpr int kGlitchNumberEllipse = 3;
constexpr int kGlitchNumberEllipseArc = 4;
constexpr int kGlitchNumberCurve = 5;
constexpr int kGlitchNumberNoOutline = 10;

constexpr int kMostWithConic = 6;
constexpr int kMostWithCurve = 10;
constexpr int kHalvings = 50;
constexpr double kUnitsPerSample = 1000.0;  // one sample per millimetre of control polygon
constexpr double kArcRangeWidening = 0.0001;
constexpr double kSegmentTolerance = 0.01;
// Segments of the other curve are looked at in blocks of this many, each with its box, so
// that two long curves are not compared segment by segment where they are far apart.
constexpr int kBlockSegments = 64;

// A routine's answer, and whether the document may keep it (not after a lack of memory).
struct Outcome {
  int count = 0;
  bool keep = true;
};

bool MakeRoom(int capacity, int glitchNumber) {
  if (EnsureIntersectionCapacity(capacity)) return true;
  ReportGlitch(kGlitchIntersect, glitchNumber);
  return false;
}

// The wrap-shift form of the arc range test, widened at both ends: a candidate is raised by
// 2 pi only for an arc that passes angle 0.
bool InArcRangeWrapShift(double angle, double startAngle, double endAngle) {
  const double lo = startAngle - kArcRangeWidening;
  double hi = endAngle + kArcRangeWidening;
  if (endAngle < startAngle) {
    hi += g_twoPi;
    if (angle < lo) angle += g_twoPi;
  }
  return lo <= angle && angle <= hi;
}

// ---- The sign-change search (arcs, circles, ellipses, elliptic arcs) ----

// Samples the curve at n + 1 points; wherever f crosses the level between two samples, the
// step is halved 50 times and the last midpoint is offered to keep(x, y), which stores it or
// not. Stops once more than 5 points are stored.
template <typename Function, typename Keep>
void SearchSignChanges(const CubicBezier& c, int n, Function f, double level, Keep keep,
                       const CFoundPoints& results) {
  if (n <= 0) return;
  double previous = f(BezierValue(c.x, 0.0), BezierValue(c.y, 0.0));
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double value = f(BezierValue(c.x, t), BezierValue(c.y, t));
    const bool crosses =
        (value >= level && previous <= level) || (value < level && previous >= level);
    if (crosses) {
      double lo = static_cast<double>(i - 1) / n;
      double hi = t;
      double mx = 0.0;
      double my = 0.0;
      for (int pass = 0; pass < kHalvings; ++pass) {
        const double mid = (lo + hi) / 2;
        mx = BezierValue(c.x, mid);
        my = BezierValue(c.y, mid);
        const double fm = f(mx, my);
        if (fm == level) break;
        const bool sameSide = (fm < level && previous < level) || (fm > level && previous > level);
        if (sameSide) {
          lo = mid;
        } else {
          hi = mid;
        }
      }
      keep(mx, my);
      if (results.Count() > 5) return;
    }
    previous = value;
  }
}

int SampleCountOf(const CubicBezier& c) {
  return BezierSampleCount(BezierControlPolygonLength(c), kUnitsPerSample);
}

double Square(double v) { return v * v; }

// ---- Curve with arc ----
Outcome WithArc(const CubicBezier& c, const CDrawItem& arc) {
  if (!MakeRoom(kMostWithConic, kGlitchNumberArc)) return {0, false};
  CFoundPoints results(kMostWithConic);
  int asx = 0;
  int asy = 0;
  int aex = 0;
  int aey = 0;
  arc.GetStart(asx, asy);
  arc.GetEnd(aex, aey);
  const auto isCurveEnd = [&c](int x, int y) {
    return (x == c.x[0] && y == c.y[0]) || (x == c.x[3] && y == c.y[3]);
  };
  if (isCurveEnd(asx, asy)) results.Add(asx, asy);
  if (isCurveEnd(aex, aey)) results.Add(aex, aey);
  double cx = 0.0;
  double cy = 0.0;
  double r = 0.0;
  arc.GetCircle(cx, cy, r);
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return {results.Count()};
  const double startAngle = AngleOf(asy - cy, asx - cx);
  const double endAngle = AngleOf(aey - cy, aex - cx);
  const auto f = [cx, cy, r](double x, double y) {
    return Square(x - cx) + Square(y - cy) - Square(r);
  };
  const auto keep = [&](double px, double py) {
    const int x = RoundToInt(px);
    const int y = RoundToInt(py);
    if (!InArcRangeWrapShift(AngleOf(y - cy, x - cx), startAngle, endAngle)) return;
    if (results.HasNear(x, y, 1)) return;
    results.Add(x, y);
  };
  SearchSignChanges(c, SampleCountOf(c), f, 0.0, keep, results);
  return {results.Count()};
}

// ---- Curve with circle ----
Outcome WithCircle(const CubicBezier& c, const CDrawItem& circle) {
  if (!MakeRoom(kMostWithConic, kGlitchNumberCircle)) return {0, false};
  CFoundPoints results(kMostWithConic);
  int cx = 0;
  int cy = 0;
  circle.GetCentre(cx, cy);
  const double r = circle.GetRadius();
  const auto f = [cx, cy, r](double x, double y) {
    return Square(x - cx) + Square(y - cy) - Square(r);
  };
  const auto keep = [&results](double px, double py) {
    results.Add(RoundToInt(px), RoundToInt(py));
  };
  SearchSignChanges(c, SampleCountOf(c), f, 0.0, keep, results);
  return {results.Count()};
}

// ---- Curve with ellipse and elliptic arc ----
// The ellipse's implicit equation about its centre and the level of its outline: the
// normalised form (level 1) for a rotation of exactly 0, else the quadratic form in the
// products a cos, a sin, b sin, b cos (level a^2 b^2).
struct EllipseEquation {
  double cx;
  double cy;
  double a;
  double b;
  bool upright;
  double p;  // coefficient of X^2
  double q;  // coefficient of X Y
  double r;  // coefficient of Y^2
  double level;

  double operator()(double x, double y) const {
    const double dx = x - cx;
    const double dy = y - cy;
    if (upright) return Square(dx) / Square(a) + Square(dy) / Square(b);
    return p * Square(dx) + q * dx * dy + r * Square(dy);
  }
};

// False for an ellipse without size or with values that are not finite: it meets nothing.
bool MakeEllipseEquation(double cx, double cy, double a, double b, double rotation,
                         EllipseEquation& e) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(a) || !std::isfinite(b) ||
      !std::isfinite(rotation) || a == 0.0 || b == 0.0) {
    return false;
  }
  e.cx = cx;
  e.cy = cy;
  e.a = a;
  e.b = b;
  e.upright = rotation == 0.0;
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  const double a1 = a * c;
  const double a2 = a * s;
  const double b1 = -b * s;
  const double b2 = b * c;
  e.p = Square(a2) + Square(b2);
  e.q = -2.0 * (a1 * a2 + b1 * b2);
  e.r = Square(a1) + Square(b1);
  e.level = e.upright ? 1.0 : Square(a) * Square(b);
  return true;
}

Outcome WithEllipse(const CubicBezier& c, const CDrawItem& ellipse) {
  if (!MakeRoom(kMostWithConic, kGlitchNumberEllipse)) return {0, false};
  CFoundPoints results(kMostWithConic);
  const EllipseShape shape = ShapeOfEllipse(ellipse);
  EllipseEquation e{};
  if (!MakeEllipseEquation(shape.cx, shape.cy, shape.a, shape.b, shape.rotation, e)) return {0};
  const auto keep = [&results](double px, double py) {
    results.Add(RoundToInt(px), RoundToInt(py));
  };
  SearchSignChanges(c, SampleCountOf(c), e, e.level, keep, results);
  return {results.Count()};
}

Outcome WithEllipseArc(const CubicBezier& c, const CDrawItem& arc) {
  if (!MakeRoom(kMostWithConic, kGlitchNumberEllipseArc)) return {0, false};
  CFoundPoints results(kMostWithConic);
  const EllipseShape shape = ShapeOfEllipseArc(arc);
  EllipseEquation e{};
  if (!MakeEllipseEquation(shape.cx, shape.cy, shape.a, shape.b, shape.rotation, e)) return {0};
  const ArcRangeTest range = ArcRangeOf(arc, kArcRangeStartShift, true);
  const auto keep = [&](double px, double py) {
    // The exact point is judged, before rounding.
    if (!IsInArcRange(range, px, py)) return;
    results.Add(RoundToInt(px), RoundToInt(py));
  };
  SearchSignChanges(c, SampleCountOf(c), e, e.level, keep, results);
  return {results.Count()};
}

// ---- Curve with curve ----

// Where the lines through two segments cross; false for parallel ones.
bool CrossingOfLines(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                     double y4, double& x, double& y) {
  const double d1x = x2 - x1;
  const double d1y = y2 - y1;
  const double d2x = x4 - x3;
  const double d2y = y4 - y3;
  const double den = d2x * d1y - d1x * d2y;
  if (den == 0.0) return false;
  const double m0 = y3 * d2x - x3 * d2y;
  const double o = y1 * d1x - x1 * d1y;
  y = (m0 * d1y - o * d2y) / den;
  x = (m0 * d1x - o * d2x) / den;
  return true;
}

// The other curve's samples, and the box of each block of its segments.
struct Polyline {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> blockMinX;
  std::vector<double> blockMinY;
  std::vector<double> blockMaxX;
  std::vector<double> blockMaxY;
  int segments = 0;
};

// False when memory runs out.
bool SamplePolyline(const CDrawItem& curve, int m, Polyline& line) {
  try {
    line.x.resize(static_cast<std::size_t>(m) + 1);
    line.y.resize(static_cast<std::size_t>(m) + 1);
    const int blocks = (m + kBlockSegments - 1) / kBlockSegments;
    line.blockMinX.resize(blocks);
    line.blockMinY.resize(blocks);
    line.blockMaxX.resize(blocks);
    line.blockMaxY.resize(blocks);
  } catch (const std::bad_alloc&) {
    return false;
  }
  line.segments = m;
  for (int j = 0; j <= m; ++j) {
    const double t = m == 0 ? 0.0 : static_cast<double>(j) / m;
    line.x[j] = curve.GetXAt(t);
    line.y[j] = curve.GetYAt(t);
  }
  for (std::size_t b = 0; b < line.blockMinX.size(); ++b) {
    const std::size_t first = b * kBlockSegments;
    const std::size_t last = std::min<std::size_t>(first + kBlockSegments, m);
    const auto [minX, maxX] =
        std::minmax_element(line.x.begin() + first, line.x.begin() + last + 1);
    const auto [minY, maxY] =
        std::minmax_element(line.y.begin() + first, line.y.begin() + last + 1);
    line.blockMinX[b] = *minX;
    line.blockMaxX[b] = *maxX;
    line.blockMinY[b] = *minY;
    line.blockMaxY[b] = *maxY;
  }
  return true;
}

struct Point {
  double x;
  double y;
};

int Meet(const Point& a, const Point& b, const Point& c, const Point& d) {
  return SegmentsIntersect(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y);
}

Outcome WithCurve(const CubicBezier& c, const CDrawItem& other) {
  if (!MakeRoom(kMostWithCurve, kGlitchNumberCurve)) return {0, false};
  CFoundPoints results(kMostWithCurve);
  int osx = 0;
  int osy = 0;
  int oex = 0;
  int oey = 0;
  CubicBezier o;
  other.GetStart(osx, osy);
  other.GetEnd(oex, oey);
  o.x[0] = osx;
  o.y[0] = osy;
  o.x[3] = oex;
  o.y[3] = oey;
  other.GetControlPoint(0, o.x[1], o.y[1]);
  other.GetControlPoint(1, o.x[2], o.y[2]);
  const int m = SampleCountOf(o);
  Polyline line;
  if (!SamplePolyline(other, m, line)) {
    ShowOutOfMemory();
    return {0, false};
  }
  const int n = SampleCountOf(c);
  const auto at = [&c](double t) { return Point{BezierValue(c.x, t), BezierValue(c.y, t)}; };
  const auto otherAt = [&other](double t) { return Point{other.GetXAt(t), other.GetYAt(t)}; };

  Point prev = at(0.0);
  for (int i = 1; i <= n; ++i) {
    const double ti = static_cast<double>(i) / n;
    Point cur = at(ti);
    const int blocks = static_cast<int>(line.blockMinX.size());
    for (int block = 0; block < blocks; ++block) {
      // Every segment of a block beyond the current piece's extent on one axis is rejected
      // by SegmentsIntersect anyway.
      if (line.blockMinX[block] > std::max(prev.x, cur.x) ||
          line.blockMaxX[block] < std::min(prev.x, cur.x) ||
          line.blockMinY[block] > std::max(prev.y, cur.y) ||
          line.blockMaxY[block] < std::min(prev.y, cur.y)) {
        continue;
      }
      const int lastJ = std::min((block + 1) * kBlockSegments, m);
      for (int j = block * kBlockSegments; j < lastJ; ++j) {
        Point u{line.x[j], line.y[j]};
        Point w{line.x[j + 1], line.y[j + 1]};
        if (!Meet(prev, cur, u, w)) continue;
        // Halve both pieces in turn, keeping the half that still meets the other piece.
        double ta = static_cast<double>(i - 1) / n;
        double tb = ti;
        double sa = static_cast<double>(j) / m;
        double sb = static_cast<double>(j + 1) / m;
        Point mid{};
        Point otherMid{};
        bool otherHalved = false;
        for (int pass = 0; pass < kHalvings; ++pass) {
          const double tm = (ta + tb) / 2;
          mid = at(tm);
          if (Meet(prev, mid, u, w)) {
            cur = mid;
            tb = tm;
          } else if (Meet(mid, cur, u, w)) {
            prev = mid;
            ta = tm;
          } else {
            break;
          }
          const double sm = (sa + sb) / 2;
          otherMid = otherAt(sm);
          otherHalved = true;
          if (Meet(u, otherMid, prev, cur)) {
            w = otherMid;
            sb = sm;
          } else if (Meet(otherMid, w, prev, cur)) {
            u = otherMid;
            sa = sm;
          } else {
            break;
          }
        }
        double px = 0.0;
        double py = 0.0;
        if (otherHalved) {
          px = (mid.x + otherMid.x) / 2;
          py = (mid.y + otherMid.y) / 2;
        } else if (!CrossingOfLines(prev.x, prev.y, cur.x, cur.y, u.x, u.y, w.x, w.y, px, py)) {
          // Not even one halving of the other piece: where the two pieces cross.
          px = (mid.x + (u.x + w.x) / 2) / 2;
          py = (mid.y + (u.y + w.y) / 2) / 2;
        }
        results.Add(RoundToInt(px), RoundToInt(py));
        if (results.Count() > 9) return {results.Count()};
        // The rest of this step is searched from where the halving left its start.
        cur = at(ti);
      }
    }
    prev = cur;
  }
  return {results.Count()};
}

}  // namespace

int SegmentsIntersect(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4) {
  // Per axis: the second segment wholly beyond one end of the first one's range.
  const auto apart = [](double a1, double a2, double b1, double b2) {
    const double lo = std::min(a1, a2);
    const double hi = std::max(a1, a2);
    return (b1 > hi && b2 > hi) || (b1 < lo && b2 < lo);
  };
  if (apart(x1, x2, x3, x4) || apart(y1, y2, y3, y4)) return 0;
  double x = 0.0;
  double y = 0.0;
  if (!CrossingOfLines(x1, y1, x2, y2, x3, y3, x4, y4, x, y)) return 0;
  const double d1x = x2 - x1;
  const double d1y = y2 - y1;
  const double d2x = x4 - x3;
  const double d2y = y4 - y3;
  const bool onFirst = (x - x1) * d1x + (y - y1) * d1y >= -kSegmentTolerance &&
                       (x - x2) * d1x + (y - y2) * d1y <= kSegmentTolerance;
  const bool onSecond = (x - x3) * d2x + (y - y3) * d2y >= -kSegmentTolerance &&
                        (x - x4) * d2x + (y - y4) * d2y <= kSegmentTolerance;
  return (onFirst && onSecond) ? 1 : 0;
}

int CBezierItem::IntersectWith(CDrawItem* other) {
  if (other == nullptr) return 0;
  const int type = other->GetType();
  if (type == kItemLine) return other->IntersectWith(this);
  const int cached = FindCachedIntersectionsWith(other);
  if (cached >= 0) return cached;
  const CubicBezier c = GetShape();
  Outcome outcome;
  switch (type) {
    case kItemArc:
      outcome = WithArc(c, *other);
      break;
    case kItemCircle:
      outcome = WithCircle(c, *other);
      break;
    case kItemEllipse:
      outcome = WithEllipse(c, *other);
      break;
    case kItemEllipseArc:
      outcome = WithEllipseArc(c, *other);
      break;
    case kItemBezier:
      outcome = WithCurve(c, *other);
      break;
    default:
      // Fills, dimensions and texts have no outline to cross.
      SetGlitchValue(type);
      ReportGlitch(kGlitchIntersect, kGlitchNumberNoOutline);
      break;
  }
  if (outcome.keep) CacheIntersectionsWith(outcome.count, other);
  return outcome.count;
}
