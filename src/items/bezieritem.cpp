#include "items/bezieritem.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "items/geometry.h"
#include "items/intersect.h"
#include "items/solvers.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/uiutil.h"

double g_valueControlLength0 = 0.0;
double g_valueControlAngle0 = 0.0;
double g_valueControlLength1 = 0.0;
double g_valueControlAngle1 = 0.0;

void ResetBezierValueFields() {
  g_valueControlLength0 = 0.0;
  g_valueControlAngle0 = 0.0;
  g_valueControlLength1 = 0.0;
  g_valueControlAngle1 = 0.0;
}

// ---- Cubic Bézier arithmetic ----

double BezierValue(const BezierAxis& p, double t) {
  const double s = 1.0 - t;
  return s * s * s * p[0] + 3.0 * t * s * s * p[1] + 3.0 * t * t * s * p[2] + t * t * t * p[3];
}

std::array<double, 4> BezierPowerForm(const BezierAxis& p) {
  return {p[0], 3.0 * p[1] - 3.0 * p[0], 3.0 * p[2] - 6.0 * p[1] + 3.0 * p[0],
          p[3] - 3.0 * p[2] + 3.0 * p[1] - p[0]};
}

double BezierSlope(const BezierAxis& p, double t) {
  const std::array<double, 4> c = BezierPowerForm(p);
  return 3.0 * c[3] * t * t + 2.0 * c[2] * t + c[1];
}

int SolveBezierLevel(const BezierAxis& p, double level, double* roots) {
  std::array<double, 4> c = BezierPowerForm(p);
  c[0] -= level;
  return SolveCubic(c.data(), roots);
}

double SnapBezierParameter(double t) {
  if (t >= -kBezierParameterSnap && t <= 0.0) return 0.0;
  if (t >= 1.0 && t <= 1.0 + kBezierParameterSnap) return 1.0;
  return t;
}

double BezierControlPolygonLength(const CubicBezier& c) {
  return Hypot(c.x[1] - c.x[0], c.y[1] - c.y[0]) + Hypot(c.x[2] - c.x[1], c.y[2] - c.y[1]) +
         Hypot(c.x[2] - c.x[3], c.y[2] - c.y[3]) + Hypot(c.x[0] - c.x[3], c.y[0] - c.y[3]);
}

int BezierSampleCount(double polygonLength, double unitsPerSample) {
  const double n = polygonLength / unitsPerSample;
  if (!std::isfinite(n) || !(n > 0.0)) return 0;
  if (n >= kMaxBezierSamples) return kMaxBezierSamples;
  return TruncateToInt(n);
}

namespace {

constexpr int kGlitchCurveWay = 1721;
constexpr int kCodeFitToCurve = 1723;
constexpr int kGlitchTravelDirection = 1725;
constexpr int kGlitchGetControlPoint = 1726;
constexpr int kGlitchScanLine = 1728;
constexpr int kGlitchEndReached = 1730;
constexpr int kGlitchDirectionSense = 1731;
constexpr int kGlitchSetControlPoint = 1734;
constexpr int kGlitchSetHandle = 1735;
constexpr int kGlitchEndDirection = 1736;
constexpr int kGlitchHandleX = 1737;
constexpr int kGlitchHandleY = 1738;

constexpr double kWayStep = 1e-5;        // parameter step that tells which way the curve runs
constexpr double kDirectionStep = 1e-4;  // parameter step of the direction leaving a point
constexpr double kVerticalSlope = 1e-14;
// A curve whose four defining y values lie closer together than this has no height to search
// a parameter by.
constexpr double kFlatHeight = 1.0;

int Add(int a, int b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + b); }

// The angle of an arm as the values bar shows it: straight up for a vertical or empty arm.
double ArmAngle(double dx, double dy) {
  if (dx == 0.0) return dy >= 0.0 ? g_halfPi : 3.0 * g_halfPi;
  return AngleOf(dy, dx);
}

// (dx, dy) scaled to length 1; (0, 0) when it has no direction.
void MakeUnit(double& dx, double& dy) {
  const double length = Hypot(dx, dy);
  if (!(length > 0.0) || !std::isfinite(length)) {
    dx = 0.0;
    dy = 0.0;
    return;
  }
  dx /= length;
  dy /= length;
}

// ---- Refitting ----

// One candidate of the refitting search: the piece's ends, arm directions and the samples of
// the reference it must pass near.
struct FitProblem {
  double startX;
  double startY;
  double endX;
  double endY;
  double u0x;
  double u0y;
  double u1x;
  double u1y;
  int sampleCount;
  std::array<double, 7> sampleX;
  std::array<double, 7> sampleY;
  double unitsPerPoint;  // 1000 for the fine search, 2000 for the coarse one
};

CubicBezier CandidateShape(const FitProblem& f, double d0, double d1) {
  CubicBezier c;
  c.x = {f.startX, f.startX + d0 * f.u0x, f.endX + d1 * f.u1x, f.endX};
  c.y = {f.startY, f.startY + d0 * f.u0y, f.endY + d1 * f.u1y, f.endY};
  return c;
}

// The refit measures each of up to 8282 candidates against this many of its points at most:
// finer than that adds nothing to the fit of a long piece and only time.
constexpr int kMaxFitPoints = 2000;

// The sum over the samples of the distance to the nearest of the candidate's points B(j/m),
// j = 1..m-1; infinite when the candidate has no such point.
double CandidateError(const FitProblem& f, double d0, double d1) {
  const CubicBezier c = CandidateShape(f, d0, d1);
  const int m =
      std::min(BezierSampleCount(BezierControlPolygonLength(c), f.unitsPerPoint), kMaxFitPoints);
  std::array<double, 7> nearest;
  nearest.fill(DBL_MAX);
  for (int j = 1; j < m; ++j) {
    const double t = static_cast<double>(j) / m;
    const double px = BezierValue(c.x, t);
    const double py = BezierValue(c.y, t);
    for (int i = 0; i < f.sampleCount; ++i) {
      const double d = Hypot(px - f.sampleX[i], py - f.sampleY[i]);
      if (d < nearest[i]) nearest[i] = d;
    }
  }
  double error = 0.0;
  for (int i = 0; i < f.sampleCount; ++i) error += nearest[i];
  return error;
}

struct FitResult {
  bool found = false;
  double d0 = 0.0;
  double d1 = 0.0;
  double error = 0.0;
};

// One pass of the grid search: 41 values of d1 from d1Start; for each, d0 climbs from d0Start
// while the error keeps falling (at most 101 values). The smallest error over all runs wins,
// an earlier pair keeping a tie.
FitResult SearchPass(const FitProblem& f, double d0Start, double d1Start, double step) {
  constexpr int kD1Values = 41;
  constexpr int kD0Values = 101;
  FitResult best;
  double d1 = d1Start;
  for (int k = 0; k < kD1Values; ++k, d1 += step) {
    double runD0 = d0Start;
    double runError = CandidateError(f, d0Start, d1);
    double d0 = d0Start;
    for (int i = 1; i < kD0Values; ++i) {
      d0 += step;
      const double error = CandidateError(f, d0, d1);
      if (!(error < runError)) break;
      runD0 = d0;
      runError = error;
    }
    if (runError < DBL_MAX && (!best.found || runError < best.error)) {
      best.found = true;
      best.d0 = runD0;
      best.d1 = d1;
      best.error = runError;
    }
  }
  return best;
}

}  // namespace

// ---- The item ----

CBezierItem::CBezierItem() : CDrawItem(kItemBezier) {}

CubicBezier CBezierItem::GetShape() const {
  CubicBezier c;
  c.x = {static_cast<double>(m_startX), m_control1X, m_control2X, static_cast<double>(m_endX)};
  c.y = {static_cast<double>(m_startY), m_control1Y, m_control2Y, static_cast<double>(m_endY)};
  return c;
}

double CBezierItem::GetXAt(double t) const { return BezierValue(GetShape().x, t); }

double CBezierItem::GetYAt(double t) const { return BezierValue(GetShape().y, t); }

void CBezierItem::GetControlPoint(int i, double& x, double& y) const {
  switch (i) {
    case 0:
      x = m_control1X;
      y = m_control1Y;
      return;
    case 1:
      x = m_control2X;
      y = m_control2Y;
      return;
    default:
      SetGlitchValue(i);
      ReportGlitch(kGlitchGetControlPoint, 1);
  }
}

void CBezierItem::GetStart(int& x, int& y) const {
  x = m_startX;
  y = m_startY;
}

void CBezierItem::GetEnd(int& x, int& y) const {
  x = m_endX;
  y = m_endY;
}

double CBezierItem::GetControlPolygonLength() const {
  return BezierControlPolygonLength(GetShape());
}

double CBezierItem::FindParameter(double x, double y) const {
  const int rx = RoundToInt(x);
  const int ry = RoundToInt(y);
  if (rx == m_startX && ry == m_startY) return 0.0;
  if (rx == m_endX && ry == m_endY) return 1.0;
  const CubicBezier c = GetShape();
  const auto [lowY, highY] = std::minmax({c.y[0], c.y[1], c.y[2], c.y[3]});
  // A flat curve has no height to tell its points apart by (its y equation is all zeros, or
  // noise): its points are found along x instead, so they keep their true parameter.
  const bool flat =
      highY - lowY < kFlatHeight && y >= lowY - kFlatHeight && y <= highY + kFlatHeight;
  // A point rounded to whole units from the curve's highest or lowest stretch can lie up to
  // half a unit beyond it: it is looked for at the edges of its rounding before giving up.
  const double levels[3] = {flat ? x : y, y - 0.5, y + 0.5};
  const int levelCount = flat ? 1 : 3;
  double best = -1.0;
  for (int level = 0; level < levelCount && best < 0.0; ++level) {
    double roots[3];
    const int count = flat ? SolveBezierLevel(c.x, levels[level], roots)
                           : SolveBezierLevel(c.y, levels[level], roots);
    double bestDistance = 0.0;
    for (int i = 0; i < count; ++i) {
      const double t = SnapBezierParameter(roots[i]);
      if (!(t >= 0.0 && t <= 1.0)) continue;
      const double distance = flat ? Hypot(BezierValue(c.x, t) - x, BezierValue(c.y, t) - y)
                                   : std::abs(BezierValue(c.x, t) - x);
      if (!std::isfinite(distance)) continue;
      if (best < 0.0 || distance < bestDistance) {
        best = t;
        bestDistance = distance;
      }
    }
  }
  return best;
}

void CBezierItem::GetDerivativeAt(int x, int y, double& dx, double& dy) const {
  const auto firstWithDirection = [&dx, &dy](std::initializer_list<std::array<double, 2>> list) {
    for (const auto& v : list) {
      dx = v[0];
      dy = v[1];
      if (dx != 0.0 || dy != 0.0) return;
    }
  };
  const double sx = m_startX;
  const double sy = m_startY;
  const double ex = m_endX;
  const double ey = m_endY;
  // An arm of length 0 gives no direction at its end: the curve then leaves the end towards
  // the other control point (or, failing that, the other end).
  if (x == m_startX && y == m_startY) {
    firstWithDirection({{m_control1X - sx, m_control1Y - sy},
                        {m_control2X - sx, m_control2Y - sy},
                        {ex - sx, ey - sy}});
    return;
  }
  if (x == m_endX && y == m_endY) {
    firstWithDirection({{ex - m_control2X, ey - m_control2Y},
                        {ex - m_control1X, ey - m_control1Y},
                        {ex - sx, ey - sy}});
    return;
  }
  const double t = FindParameter(x, y);
  const CubicBezier c = GetShape();
  dx = BezierSlope(c.x, t);
  dy = BezierSlope(c.y, t);
}

CSlope& CBezierItem::GetTangentAt(CSlope& out, int x, int y) const {
  double dx = 0.0;
  double dy = 0.0;
  GetDerivativeAt(x, y, dx, dy);
  out.Set(dy, dx);
  return out;
}

int CBezierItem::GetCurveWayAt(int x, int y, int direction) const {
  if (direction < kDirectionUp || direction > kDirectionRight) {
    SetGlitchValue(direction);
    ReportGlitch(kGlitchCurveWay, 1);
    return 0;
  }
  const double t = FindParameter(x, y);
  // Compared with the curve's own point at t rather than the (rounded) point given, whose
  // rounding can be larger than the step.
  if (direction == kDirectionUp || direction == kDirectionDown) {
    const bool rises = GetYAt(t + kWayStep) > GetYAt(t);
    if (direction == kDirectionUp) return rises ? kDirectionAlongCurve : kDirectionAgainstCurve;
    return rises ? kDirectionAgainstCurve : kDirectionAlongCurve;
  }
  // Left and right follow the way the curve runs at the point, as up and down do.
  const bool goesRight = GetXAt(t + kWayStep) > GetXAt(t);
  if (direction == kDirectionRight) {
    return goesRight ? kDirectionAlongCurve : kDirectionAgainstCurve;
  }
  return goesRight ? kDirectionAgainstCurve : kDirectionAlongCurve;
}

int CBezierItem::GetDirectionAt(int x, int y, int sense) const {
  double step = 0.0;
  if (sense == kDirectionAlongCurve) {
    step = kDirectionStep;
  } else if (sense == kDirectionAgainstCurve) {
    step = -kDirectionStep;
  } else {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchDirectionSense, 1);
    return kDirectionDown;
  }
  const double t = FindParameter(x, y);
  const double here = GetYAt(t);
  const double ahead = GetYAt(t + step);
  const double behind = GetYAt(t - step);
  if (behind < here && here < ahead) return kDirectionUp;
  if (ahead < here && here < behind) return kDirectionDown;
  return GetXAt(t) < GetXAt(t + step) ? kDirectionRight : kDirectionLeft;
}

int CBezierItem::GetEndDirection(int end) const {
  switch (end) {
    case 0:
      return GetDirectionAt(m_startX, m_startY, kDirectionAlongCurve);
    case 1:
      return GetDirectionAt(m_endX, m_endY, kDirectionAgainstCurve);
    default:
      SetGlitchValue(end);
      ReportGlitch(kGlitchEndDirection, 1);
      return 0;
  }
}

int CBezierItem::GetEndAt(int x, int y, std::int16_t tolerance) const {
  return EndAtShared(x, y, tolerance, m_startX, m_startY, m_endX, m_endY);
}

int CBezierItem::IsEndReachedGoing(int x, int y, int direction) const {
  const int end = GetEndAt(x, y, 0);
  if (end != 0 && end != 1) return 0;
  if (direction != kDirectionAlongCurve && direction != kDirectionAgainstCurve) {
    direction = GetCurveWayAt(x, y, direction);
  }
  switch (direction) {
    case kDirectionAlongCurve:
      return end == 1 ? 1 : 0;
    case kDirectionAgainstCurve:
      return end == 0 ? 1 : 0;
    default:
      SetGlitchValue(direction);
      ReportGlitch(kGlitchEndReached, 1);
      return 0;
  }
}

int CBezierItem::IsVerticalAt(int x, int y) const {
  if (x == m_startX && y == m_startY) return m_control1X == x ? 1 : 0;
  if (x == m_endX && y == m_endY) return x == m_control2X ? 1 : 0;
  const double t = FindParameter(x, y);
  return std::abs(BezierSlope(GetShape().x, t)) < kVerticalSlope ? 1 : 0;
}

double CBezierItem::GetTravel(int toX, int toY, int fromX, int fromY, int direction) const {
  if (direction != kDirectionAlongCurve && direction != kDirectionAgainstCurve) {
    SetGlitchValue(direction);
    ReportGlitch(kGlitchTravelDirection, 1);
    return -1.0;
  }
  const double t1 = FindParameter(toX, toY);
  const double t2 = FindParameter(fromX, fromY);
  // A point off the curve has no place along it to measure from or to.
  if (t1 < 0.0 || t2 < 0.0) return -1.0;
  if (direction == kDirectionAlongCurve && t2 > t1) return -1.0;
  if (direction == kDirectionAgainstCurve && t2 < t1) return -1.0;
  const bool toFirst = t1 <= t2;
  const double ta = toFirst ? t1 : t2;
  const double tb = toFirst ? t2 : t1;
  const int n = BezierSampleCount((tb - ta) * GetControlPolygonLength(), 2000.0);
  if (n == 0) return 0.0;
  const CubicBezier c = GetShape();
  double px = toFirst ? toX : fromX;
  double py = toFirst ? toY : fromY;
  double length = 0.0;
  for (int i = 1; i <= n; ++i) {
    const double t = ta + (tb - ta) * i / n;
    const double qx = BezierValue(c.x, t);
    const double qy = BezierValue(c.y, t);
    length += Hypot(qx - px, qy - py);
    px = qx;
    py = qy;
  }
  return length;
}

double CBezierItem::GetPickDistance(const CViewMapping*) const {
  const double cx = g_cursorPoint.x;
  const double cy = g_cursorPoint.y;
  double best = std::min(Hypot(cx - m_startX, cy - m_startY), Hypot(cx - m_endX, cy - m_endY));
  const CubicBezier c = GetShape();
  const int n = BezierSampleCount(BezierControlPolygonLength(c), 4000.0);
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double d = Hypot(cx - BezierValue(c.x, t), cy - BezierValue(c.y, t));
    if (d < best) best = d;
  }
  return best;
}

void CBezierItem::GetRightmostPoint(int& x, int& y) const {
  RightmostOfEnds(m_startX, m_startY, m_endX, m_endY, x, y);
}

void CBezierItem::ComputeBoundingBox() const {
  m_boxMinX = std::min(m_startX, m_endX);
  m_boxMinY = std::min(m_startY, m_endY);
  m_boxMaxX = std::max(m_startX, m_endX);
  m_boxMaxY = std::max(m_startY, m_endY);
  const CubicBezier c = GetShape();
  const int n = BezierSampleCount(BezierControlPolygonLength(c), 2000.0);
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double x = BezierValue(c.x, t);
    const double y = BezierValue(c.y, t);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    m_boxMinX = std::min(m_boxMinX, TruncateToInt(x));
    m_boxMinY = std::min(m_boxMinY, TruncateToInt(y));
    m_boxMaxX = std::max(m_boxMaxX, CeilToInt(x));
    m_boxMaxY = std::max(m_boxMaxY, CeilToInt(y));
  }
  m_boxValid = 1;
}

void CBezierItem::CalcBoundingBox(const CViewMapping*) const {
  if (m_boxValid == 0) ComputeBoundingBox();
  g_itemBounds.minX = m_boxMinX;
  g_itemBounds.minY = m_boxMinY;
  g_itemBounds.maxX = m_boxMaxX;
  g_itemBounds.maxY = m_boxMaxY;
}

int CBezierItem::IntersectScanLine(int y) const {
  if (!EnsureIntersectionCapacity(3)) {
    ReportGlitch(kGlitchScanLine, 8990);
    return 0;
  }
  const CubicBezier c = GetShape();
  double roots[3];
  const int rootCount = SolveBezierLevel(c.y, y, roots);
  int count = 0;
  for (int i = 0; i < rootCount; ++i) {
    const double t = SnapBezierParameter(roots[i]);
    if (!(t >= 0.0 && t <= 1.0)) continue;
    const double x = BezierValue(c.x, t);
    if (!std::isfinite(x)) continue;
    g_intersectX[count++] = RoundToInt(x);
  }
  return count;
}

int CBezierItem::FindSelfIntersection(int& x, int& y) const {
  if (m_startX == m_endX && m_startY == m_endY) {
    x = m_startX;
    y = m_startY;
    return 1;
  }
  const CubicBezier c = GetShape();
  const std::array<double, 4> px = BezierPowerForm(c.x);
  const std::array<double, 4> py = BezierPowerForm(c.y);
  const double d = py[3] * px[2] - px[3] * py[2];
  if (d == 0.0 || !std::isfinite(d)) return 0;
  // h is the sum of the two parameters at which the curve passes one point twice.
  const double h = (px[3] * py[1] - py[3] * px[1]) / d;
  const std::array<double, 4>& p = px[3] != 0.0 ? px : py;
  const double l = p[3];
  const double quadratic[3] = {l * h * h + p[2] * h + p[1], -l * h, l};
  double roots[2];
  const int count = SolveQuadratic(quadratic, roots);
  if (count == 0) return 0;
  if (count == 1 && roots[0] != 0.5) return 0;
  if (count == 2 && !(roots[0] > 0.0 && roots[0] < 1.0 && roots[1] > 0.0 && roots[1] < 1.0)) {
    return 0;
  }
  x = RoundToInt(BezierValue(c.x, roots[0]));
  y = RoundToInt(BezierValue(c.y, roots[0]));
  return 1;
}

int CBezierItem::IsValid() const {
  if (!IsValidX(m_startX) || !IsValidX(m_endX)) return 0;
  if (!IsValidY(m_startY) || !IsValidY(m_endY)) return 0;
  // Control points come from files as well: NaN, infinity and far-off values are refused.
  if (!IsValidXReal(m_control1X) || !IsValidXReal(m_control2X)) return 0;
  if (!IsValidYReal(m_control1Y) || !IsValidYReal(m_control2Y)) return 0;
  int x = 0;
  int y = 0;
  return FindSelfIntersection(x, y) == 0 ? 1 : 0;
}

void CBezierItem::Normalise() {
  if (IsValid() != 0) return;
  std::swap(m_control1X, m_control2X);
  std::swap(m_control1Y, m_control2Y);
  GeometryEdited();
}

int CBezierItem::Compare(const CDrawItem* other) const {
  if (other == nullptr || other->GetType() != kItemBezier) return 0;
  int ax = 0;
  int ay = 0;
  int bx = 0;
  int by = 0;
  double c1x = 0.0;
  double c1y = 0.0;
  double c2x = 0.0;
  double c2y = 0.0;
  other->GetStart(ax, ay);
  other->GetEnd(bx, by);
  other->GetControlPoint(0, c1x, c1y);
  other->GetControlPoint(1, c2x, c2y);
  const auto near = [](double ax, double ay, double bx, double by) {
    return NearlyEqual(ax, bx) != 0 && NearlyEqual(ay, by) != 0;
  };
  const bool same = ax == m_startX && ay == m_startY && bx == m_endX && by == m_endY &&
                    near(c1x, c1y, m_control1X, m_control1Y) &&
                    near(c2x, c2y, m_control2X, m_control2Y);
  const bool reversed = ax == m_endX && ay == m_endY && bx == m_startX && by == m_startY &&
                        near(c1x, c1y, m_control2X, m_control2Y) &&
                        near(c2x, c2y, m_control1X, m_control1Y);
  return (same || reversed) ? 1 : 0;
}

void CBezierItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemBezier) return;
  other->GetStart(m_startX, m_startY);
  other->GetEnd(m_endX, m_endY);
  other->GetControlPoint(0, m_control1X, m_control1Y);
  other->GetControlPoint(1, m_control2X, m_control2Y);
  m_penWidth = other->GetPenWidth();
  GeometryEdited();
}

DrawItemPtr CBezierItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemBezier, [this, index](CDrawItem& piece) {
    const int sx = g_splitX[index];
    const int sy = g_splitY[index];
    const int ex = g_splitX[index + 1];
    const int ey = g_splitY[index + 1];
    // Straight until the fit shapes it, so a piece the fit cannot place never keeps control
    // points at the origin.
    const double dx = (static_cast<double>(ex) - sx) / 3.0;
    const double dy = (static_cast<double>(ey) - sy) / 3.0;
    piece.SetControlPoint(0, sx + dx, sy + dy);
    piece.SetControlPoint(1, ex - dx, ey - dy);
    FitToCurve(&piece, 1);
  });
}

void CBezierItem::FitToCurve(CDrawItem* piece, int coarse) const {
  if (piece == nullptr) return;
  LogScope trace(kCodeFitToCurve);
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  piece->GetStart(sx, sy);
  piece->GetEnd(ex, ey);
  const double t0 = FindParameter(sx, sy);
  if (!(t0 >= 0.0 && t0 <= 1.0)) {
    SetGlitchValue(sx);
    SetGlitchValue(sy);
    ReportGlitch(kCodeFitToCurve, 1);
    trace.Exit(kLogFailed, 1);
    return;
  }
  const double t1 = FindParameter(ex, ey);
  if (!(t1 >= 0.0 && t1 <= 1.0)) {
    SetGlitchValue(ex);
    SetGlitchValue(ey);
    ReportGlitch(kCodeFitToCurve, 2);
    trace.Exit(kLogFailed, 2);
    return;
  }

  FitProblem f{};
  f.startX = sx;
  f.startY = sy;
  f.endX = ex;
  f.endY = ey;
  GetDerivativeAt(sx, sy, f.u0x, f.u0y);
  GetDerivativeAt(ex, ey, f.u1x, f.u1y);
  MakeUnit(f.u0x, f.u0y);
  MakeUnit(f.u1x, f.u1y);
  f.u1x = -f.u1x;
  f.u1y = -f.u1y;
  // A piece that runs against the curve leaves its start backwards along it.
  if (t1 < t0) {
    f.u0x = -f.u0x;
    f.u0y = -f.u0y;
    f.u1x = -f.u1x;
    f.u1y = -f.u1y;
  }
  f.sampleCount = coarse == 0 ? 7 : 3;
  f.unitsPerPoint = coarse == 0 ? 1000.0 : 2000.0;
  const CubicBezier c = GetShape();
  const int n = f.sampleCount;
  for (int i = 0; i < n; ++i) {
    const double t = ((n - i) * t0 + (i + 1) * t1) / (n + 1);
    f.sampleX[i] = BezierValue(c.x, t);
    f.sampleY[i] = BezierValue(c.y, t);
  }
  const int k = (n + 1) / 2;
  const double reach =
      Hypot(f.sampleX[k] - sx, f.sampleY[k] - sy) + Hypot(ex - f.sampleX[k], ey - f.sampleY[k]);
  double step = reach / 40.0;
  FitResult best = SearchPass(f, reach / 10.0, reach / 10.0, step);
  trace.Step(25);
  if (coarse == 0 && best.found) {
    const double d0Start = best.d0 - 2.0 * step;
    const double d1Start = best.d1 - 2.0 * step;
    step /= 10.0;
    best = SearchPass(f, d0Start, d1Start, step);
    trace.Step(25);
  }
  double c1x = 0.0;
  double c1y = 0.0;
  double c2x = 0.0;
  double c2y = 0.0;
  if (best.found) {
    c1x = sx + best.d0 * f.u0x;
    c1y = sy + best.d0 * f.u0y;
    c2x = ex + best.d1 * f.u1x;
    c2y = ey + best.d1 * f.u1y;
  } else {
    // Too short for any candidate to be measured: the arms of the exact piece of this curve
    // between the two parameters, a third of the parameter span times the derivative.
    const double span = (t1 - t0) / 3.0;
    c1x = sx + span * BezierSlope(c.x, t0);
    c1y = sy + span * BezierSlope(c.y, t0);
    c2x = ex - span * BezierSlope(c.x, t1);
    c2y = ey - span * BezierSlope(c.y, t1);
  }
  piece->SetControlPoint(0, c1x, c1y);
  piece->SetControlPoint(1, c2x, c2y);
  trace.Exit();
}

void CBezierItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                       int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const bool printing = dc->IsPrinting();
  const int printerFactors = (printing && thin == 0) ? 1 : 0;
  // A printer without colour prints every item in black, highlighted or not.
  if (printing && IsColourPrinter(dc, 1) == 0) colourMode = static_cast<int>(g_colourTable[0]);
  const auto colour = static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, GetColour()));
  const zeph::RasterOp oldOp =
      colourMode == kDrawXor ? dc->SetRasterOp(zeph::RasterOp::kXor) : dc->GetRasterOp();
  zeph::DcPen pen;
  pen.style = zeph::PenStyle::kSolid;
  pen.width = GetDevicePenWidth(m_penWidth, printerFactors);
  pen.colour = colour;
  const zeph::DcPen oldPen = dc->SelectPen(pen);

  const zeph::CDrawContext* printer = printing ? dc : nullptr;
  const std::array<zeph::DcPoint, 4> points = {{
      {mapping->DrawingToDeviceX(m_startX, printer), mapping->DrawingToDeviceY(m_startY, printer)},
      {mapping->DrawingToDeviceX(RoundToInt(m_control1X), printer),
       mapping->DrawingToDeviceY(RoundToInt(m_control1Y), printer)},
      {mapping->DrawingToDeviceX(RoundToInt(m_control2X), printer),
       mapping->DrawingToDeviceY(RoundToInt(m_control2Y), printer)},
      {mapping->DrawingToDeviceX(m_endX, printer), mapping->DrawingToDeviceY(m_endY, printer)},
  }};
  dc->PolyBezier(points);

  dc->SelectPen(oldPen);
  if (colourMode == kDrawXor) dc->SetRasterOp(oldOp);
}

// ---- Setters ----

void CBezierItem::GeometryEdited() {
  m_boxValid = 0;
  GeometryChanged();
}

void CBezierItem::SetStart(int x, int y) {
  if (UpdatePoint(m_startX, m_startY, x, y, UndoKind::kStart) > 0) m_boxValid = 0;
}

void CBezierItem::SetEnd(int x, int y) {
  if (UpdatePoint(m_endX, m_endY, x, y, UndoKind::kEnd) > 0) m_boxValid = 0;
}

void CBezierItem::SetControlPoint(int i, double x, double y) {
  double* px = nullptr;
  double* py = nullptr;
  UndoKind kind = UndoKind::kControlPoint0;
  switch (i) {
    case 0:
      px = &m_control1X;
      py = &m_control1Y;
      break;
    case 1:
      px = &m_control2X;
      py = &m_control2Y;
      kind = UndoKind::kControlPoint1;
      break;
    default:
      SetGlitchValue(i);
      ReportGlitch(kGlitchSetControlPoint, 1);
      return;
  }
  if (*px == x && *py == y) return;
  if (!BeginChange(kind)) return;
  *px = x;
  *py = y;
  GeometryEdited();
}

void CBezierItem::SetControlAngle(int i, double angle) {
  if ((i != 0 && i != 1) || !std::isfinite(angle)) return;
  const double px = i == 0 ? m_startX : m_endX;
  const double py = i == 0 ? m_startY : m_endY;
  const double cx = i == 0 ? m_control1X : m_control2X;
  const double cy = i == 0 ? m_control1Y : m_control2Y;
  const double d = Hypot(cx - px, cy - py);
  SetControlPoint(i, px + d * std::cos(angle), py + d * std::sin(angle));
}

void CBezierItem::SetControlLength(int i, double length) {
  if ((i != 0 && i != 1) || !(length > 0.0) || !std::isfinite(length)) return;
  const double px = i == 0 ? m_startX : m_endX;
  const double py = i == 0 ? m_startY : m_endY;
  const double cx = i == 0 ? m_control1X : m_control2X;
  const double cy = i == 0 ? m_control1Y : m_control2Y;
  double angle = 0.0;
  if (cx != px) {
    angle = AngleOf(cy - py, cx - px);
  } else {
    angle = cy >= py ? g_halfPi : 3.0 * g_halfPi;
  }
  SetControlPoint(i, px + length * std::cos(angle), py + length * std::sin(angle));
}

void CBezierItem::SetHandle(int handle, int x, int y) {
  SetEndHandle(handle, handle, x, y, kGlitchSetHandle);
}

int CBezierItem::GetHandleX(int handle) const {
  return HandleCoordinate(handle, handle, {m_startX, m_endX}, kGlitchHandleX);
}

int CBezierItem::GetHandleY(int handle) const {
  return HandleCoordinate(handle, handle, {m_startY, m_endY}, kGlitchHandleY);
}

void CBezierItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_startX = Add(m_startX, dx);
  m_startY = Add(m_startY, dy);
  m_endX = Add(m_endX, dx);
  m_endY = Add(m_endY, dy);
  m_control1X += dx;
  m_control1Y += dy;
  m_control2X += dx;
  m_control2Y += dy;
  GeometryEdited();
}

void CBezierItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_startX, m_startY);
  transform.TransformPoint(m_endX, m_endY);
  transform.TransformPointExact(m_control1X, m_control1Y);
  transform.TransformPointExact(m_control2X, m_control2Y);
  GeometryEdited();
}

void CBezierItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CBezierItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldControl0, kFieldControl1});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  const double a0x = m_control1X - m_startX;
  const double a0y = m_control1Y - m_startY;
  const double a1x = m_control2X - m_endX;
  const double a1y = m_control2Y - m_endY;
  g_valueControlLength0 = Hypot(a0x, a0y);
  g_valueControlAngle0 = ArmAngle(a0x, a0y);
  g_valueControlLength1 = Hypot(a1x, a1y);
  g_valueControlAngle1 = ArmAngle(a1x, a1y);
}

void CBezierItem::PublishInformation() const {
  PublishFieldIds({kFieldStart, kFieldEnd});
  g_valueStartX = m_startX;
  g_valueStartY = m_startY;
  g_valueEndX = m_endX;
  g_valueEndY = m_endY;
}
