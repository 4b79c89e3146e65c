// Boundary edges along ellipses and cubic curves: closed-form scan-line and segment
// crossings, extents and vertical directions.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "items/bezieritem.h"
#include "items/ellipsegeom.h"
#include "items/floodedge.h"
#include "items/floodedge_detail.h"
#include "items/geometry.h"
#include "items/solvers.h"
#include "items/transform.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/textfile.h"

using namespace flood_detail;

namespace {

constexpr int kGlitchEllipseEndDirection = 3138;
constexpr int kGlitchCurveEndDirection = 3133;
constexpr int kGlitchCurveGetControlPoint = 3135;
constexpr int kGlitchCurveSetControlPoint = 3137;

// How far outside [0, 1] a root of a curve equation may fall and still be taken as the
// curve's end: the solvers' rounding, not a real tolerance of 1e-14 relative to zero.
constexpr double kParameterSnap = 1e-7;
// The slack of the edge's own parameter range.
constexpr double kRangeSlack = 1e-7;
// How far into the edge its vertical direction at an end is probed. On the end's own level the
// roots that near the end belong to the vertex, which that direction accounts for.
constexpr double kDirectionProbe = 1e-5;
// How close a root of a scan line lies to a turning point of the curve when the line touches
// the curve there (a double root is found to about the square root of the precision).
constexpr double kTangentSlack = 1e-6;
// A junction off a curve's highest or lowest point by rounding is taken as on the curve when
// it lies this close in the other coordinate.
constexpr double kPointOnCurve = 1.0;

bool IsDirection(std::int16_t direction) {
  return direction == kEdgeClockwise || direction == kEdgeCounterClockwise;
}

void MarkIllegalValue() {
  if (g_fileStatus == kFileOk) g_fileStatus = kFileIllegalValue;
}

// c[0] + c[1] t + c[2] t^2 + c[3] t^3.
double Polynomial(const double* c, double t) { return ((c[3] * t + c[2]) * t + c[1]) * t + c[0]; }
double Derivative(const double* c, double t) { return (3.0 * c[3] * t + 2.0 * c[2]) * t + c[1]; }

// The real roots of a cubic whose coefficients come from drawing coordinates. A leading
// coefficient that is only rounding noise against the others would make the closed form divide
// by it, so the degree drops relative to the coefficients' size; each root is then refined by
// Newton steps that must bring the polynomial closer to zero.
int SolveCurveCubic(const double* c, double* roots) {
  double scaled[4] = {c[0], c[1], c[2], c[3]};
  const double size =
      std::max({std::fabs(c[0]), std::fabs(c[1]), std::fabs(c[2]), std::fabs(c[3])});
  if (!std::isfinite(size) || size == 0.0) return 0;
  for (double& v : scaled) v /= size;
  if (std::fabs(scaled[3]) < 1e-12) scaled[3] = 0.0;
  if (scaled[3] == 0.0 && std::fabs(scaled[2]) < 1e-12) scaled[2] = 0.0;
  int n = SolveCubic(scaled, roots);
  for (int i = 0; i < n; ++i) {
    double t = roots[i];
    double f = Polynomial(scaled, t);
    for (int step = 0; step < 4 && f != 0.0; ++step) {
      const double slope = Derivative(scaled, t);
      if (slope == 0.0 || !std::isfinite(slope)) break;
      const double next = t - f / slope;
      const double g = Polynomial(scaled, next);
      if (!(std::fabs(g) < std::fabs(f))) break;
      t = next;
      f = g;
    }
    roots[i] = t;
  }
  return n;
}

// The parameters where a coordinate with polynomial coefficients c turns: roots of its
// derivative, the degree dropping relative to the coefficients' size. roots holds 2.
int TurningPoints(const double* c, double* roots) {
  double d[3] = {c[1], 2.0 * c[2], 3.0 * c[3]};
  const double size = std::max({std::fabs(d[0]), std::fabs(d[1]), std::fabs(d[2])});
  if (!std::isfinite(size) || size == 0.0) return 0;
  for (double& v : d) v /= size;
  if (std::fabs(d[2]) < 1e-12) d[2] = 0.0;
  return SolveQuadratic(d, roots);
}

// The ellipse about its centre as A X^2 + 2 B X Y + C Y^2 = M.
struct Conic {
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
  double m = 0.0;
};

Conic MakeConic(double rx, double ry, double rotation, bool roundProducts) {
  const double cs = std::cos(rotation);
  const double sn = std::sin(rotation);
  double rxc = rx * cs, rxs = rx * sn, rys = ry * sn, ryc = ry * cs;
  if (roundProducts) {
    rxc = RoundToWhole(rxc);
    rxs = RoundToWhole(rxs);
    rys = RoundToWhole(rys);
    ryc = RoundToWhole(ryc);
  }
  Conic q;
  q.a = rxs * rxs + ryc * ryc;
  q.b = rys * ryc - rxs * rxc;
  q.c = rxc * rxc + rys * rys;
  q.m = rx * rx * ry * ry;
  return q;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Elliptic edges

int CEllipseEdge::GetEndDirection(std::int16_t end) const {
  if (end != 0 && end != 1) {
    SetGlitchValue(end);
    ReportGlitch(kGlitchEllipseEndDirection, 1);
    return 0;
  }
  const double cs = std::cos(m_rotation);
  const double sn = std::sin(m_rotation);
  const double h = m_radiusX * m_radiusX * sn * sn + m_radiusY * m_radiusY * cs * cs;
  const double k = (m_radiusY * m_radiusY - m_radiusX * m_radiusX) * sn * cs;
  // The highest point of the ellipse, and the lowest half a turn on.
  const double top = h > 0.0 ? AngleOf(std::sqrt(h), -k / std::sqrt(h)) : g_halfPi;
  const double bottom = top + kPi;
  const int px = end == 0 ? GetStartX() : GetEndX();
  const int py = end == 0 ? GetStartY() : GetEndY();
  // An end on the rounded highest or lowest level is that extreme, as the extents judge it,
  // even where rounding has put it a little past the true one.
  const EdgeExtentCache& extent = Extent(1);
  if (py == extent.maximum) return kEndGoesDown;
  if (py == extent.minimum) return kEndGoesUp;
  const double v = PolarAngle(px, py, m_centreX, m_centreY);
  if (v == top) return kEndGoesDown;
  if (v == bottom || v + g_twoPi == bottom) return kEndGoesUp;
  // The half-turn from the top counter-clockwise to the bottom may run through 0.
  const bool leftHalf = (top < v && v < bottom) || (top < v + g_twoPi && v + g_twoPi < bottom);
  const bool counterClockwise = m_direction == kEdgeCounterClockwise;
  const bool down = end == 0 ? (leftHalf == counterClockwise) : (leftHalf != counterClockwise);
  return down ? kEndGoesDown : kEndGoesUp;
}

void CEllipseEdge::CopyFrom(const CFloodEdge* other) {
  if (other == nullptr) return;
  CopyEnds(other);
  if (other->GetKind() == kEdgeEllipse) {
    m_direction = other->GetEllipseCentre(m_centreX, m_centreY);
    other->GetEllipseShape(m_radiusX, m_radiusY, m_rotation);
    m_xExtent = {};
    m_yExtent = {};
  }
}

void CEllipseEdge::SetFromArc(const CFloodEdge* arcEdge) {
  if (arcEdge == nullptr) return;
  CopyEnds(arcEdge);
  double radius = 0.0;
  m_direction = arcEdge->GetArc(m_centreX, m_centreY, radius);
  m_radiusX = radius;
  m_radiusY = radius;
  m_rotation = 0.0;
  m_xExtent = {};
  m_yExtent = {};
}

std::int16_t CEllipseEdge::GetEllipseCentre(double& cx, double& cy) const {
  cx = m_centreX;
  cy = m_centreY;
  return m_direction;
}

void CEllipseEdge::GetEllipseShape(double& rx, double& ry, double& rotation) const {
  rx = m_radiusX;
  ry = m_radiusY;
  rotation = m_rotation;
}

std::int16_t CEllipseEdge::IntersectScanLine(int y, EdgeScanHits& xs) const {
  const Conic q = MakeConic(m_radiusX, m_radiusY, m_rotation, false);
  if (!(q.a > 0.0)) return 0;  // flat along x: no single crossing
  const double yy = static_cast<double>(y) - m_centreY;
  const double qb = 2.0 * q.b * yy;
  const double qc = q.c * yy * yy - q.m;
  const double disc = qb * qb - 4.0 * q.a * qc;
  if (!(disc >= 0.0)) return 0;
  const double root = std::sqrt(disc);
  const double smaller = (-qb - root) / (2.0 * q.a);
  const double larger = (-qb + root) / (2.0 * q.a);
  if (IsClosed() != 0) {
    xs[0] = RoundToInt(smaller + m_centreX);
    if (disc == 0.0) return 1;
    xs[1] = RoundToInt(larger + m_centreX);
    return 2;
  }
  const bool ccw = m_direction == kEdgeCounterClockwise;
  const double as = PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY);
  const double ae = PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY);
  const double a0 = ccw ? as : ae;
  const double a1 = ccw ? ae : as;
  const bool onEndLevel = y == GetStartY() || y == GetEndY();
  // Beyond an end the edge's own sweep is widened only on that end's level: on any other
  // line a widened sweep reaches past the vertex by several units on a large ellipse and meets
  // the line where the neighbouring edge already does.
  const double widen = onEndLevel ? 1e-4 : 0.0;
  // On the rounded highest or lowest level an end lying there is the extreme itself (as the
  // extents and the vertical directions take it): a root away from the ends is the rounding
  // of a cap thinner than a unit, not a crossing.
  const EdgeExtentCache& extent = Extent(1);
  const bool endsOnly = onEndLevel && (y == extent.maximum || y == extent.minimum);
  // snapped: 1 when the root was taken as the start, 2 as the end, 0 otherwise.
  auto judge = [&](double rootX, bool startFirst, int& out, int& snapped) {
    const int candidate = RoundToInt(rootX + m_centreX);
    for (int k = 0; k < 2; ++k) {
      const bool start = (k == 0) == startFirst;
      const int ex = start ? GetStartX() : GetEndX();
      const int ey = start ? GetStartY() : GetEndY();
      if (y == ey && std::llabs(static_cast<long long>(ex) - candidate) <= 2) {
        out = ex;
        snapped = start ? 1 : 2;
        return true;
      }
    }
    snapped = 0;
    if (!endsOnly && IsInSweep(AngleOf(yy, rootX), a0, a1, widen)) {
      out = candidate;
      return true;
    }
    return false;
  };
  int n = 0;
  int x = 0;
  int firstSnap = 0, secondSnap = 0;
  if (judge(smaller, true, x, firstSnap)) {
    xs[n++] = x;
    if (disc == 0.0) return 1;
  }
  // Both roots of a scan line just through the edge's top or bottom can lie near one end: the
  // end is one crossing, not two.
  if (judge(larger, false, x, secondSnap) && (secondSnap == 0 || secondSnap != firstSnap)) {
    xs[n++] = x;
    if (n == 2 && xs[1] < xs[0]) std::swap(xs[0], xs[1]);
  }
  return static_cast<std::int16_t>(n);
}

std::int16_t CEllipseEdge::IntersectSegment(int x1, int y1, int x2, int y2) const {
  // The products of the semi-axes and the rotation's sine and cosine are taken in whole units,
  // as the ellipse items intersect, so that a fill's hatch meets the outline the item draws.
  const Conic q = MakeConic(m_radiusX, m_radiusY, m_rotation, true);
  // The line as P + s D about the centre: Q(D) s^2 + 2 B(P, D) s + Q(P) - M = 0.
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double px = static_cast<double>(x1) - m_centreX;
  const double py = static_cast<double>(y1) - m_centreY;
  const double qa = q.a * dx * dx + 2.0 * q.b * dx * dy + q.c * dy * dy;
  if (qa == 0.0 || !std::isfinite(qa)) return 0;
  const double qb = 2.0 * (q.a * px * dx + q.b * (px * dy + py * dx) + q.c * py * dy);
  const double qc = q.a * px * px + 2.0 * q.b * px * py + q.c * py * py - q.m;
  const double disc = qb * qb - 4.0 * qa * qc;
  if (!(disc >= 0.0)) return 0;
  const double root = std::sqrt(disc);
  const bool whole = IsClosed() != 0;
  const bool ccw = m_direction == kEdgeCounterClockwise;
  const double as = PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY);
  const double ae = PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY);
  const double largest = std::max(m_radiusX, m_radiusY);
  const double widen = largest > 10000.0 ? 1.0 / largest : 1e-4;
  int n = 0;
  for (const double s : {(-qb - root) / (2.0 * qa), (-qb + root) / (2.0 * qa)}) {
    const double ex = static_cast<double>(x1) + s * dx;
    const double ey = static_cast<double>(y1) + s * dy;
    if (!((ey - y1) * dy + (ex - x1) * dx >= 0.0)) continue;
    if (!((ey - y2) * dy + (ex - x2) * dx <= 0.0)) continue;
    // Widened for the rounding of the ends (so that a hatch line through a vertex is not lost
    // by both edges that meet there), but by no more than a unit along the ellipse.
    if (!whole &&
        !IsInSweep(PolarAngle(ex, ey, m_centreX, m_centreY), ccw ? as : ae, ccw ? ae : as, widen)) {
      continue;
    }
    StoreEdgeHit(n++, RoundToInt(ex), RoundToInt(ey));
  }
  return static_cast<std::int16_t>(n);
}

const EdgeExtentCache& CEllipseEdge::Extent(int axis) const {
  EdgeExtentCache& cache = axis == 0 ? m_xExtent : m_yExtent;
  if (cache.valid != 0) return cache;
  const double cs = std::cos(m_rotation);
  const double sn = std::sin(m_rotation);
  const double rx2 = m_radiusX * m_radiusX;
  const double ry2 = m_radiusY * m_radiusY;
  const double k = (ry2 - rx2) * sn * cs;
  double h = 0.0;
  double maxAngle = 0.0;  // the polar angle of the point of maximum coordinate
  if (axis == 0) {
    h = std::sqrt(rx2 * cs * cs + ry2 * sn * sn);
    maxAngle = h > 0.0 ? AngleOf(-k / h, h) : 0.0;
  } else {
    h = std::sqrt(rx2 * sn * sn + ry2 * cs * cs);
    maxAngle = h > 0.0 ? AngleOf(h, -k / h) : g_halfPi;
  }
  const double centre = axis == 0 ? m_centreX : m_centreY;
  cache.minimum = RoundToInt(centre - h);
  cache.maximum = RoundToInt(centre + h);
  const double minAngle = maxAngle + kPi;
  auto place = [&](int x, int y) {
    EndPlace p;
    const int coordinate = axis == 0 ? x : y;
    p.atMax = coordinate == cache.maximum;
    p.atMin = !p.atMax && coordinate == cache.minimum;
    if (!p.atMax && !p.atMin) {
      const double v = PolarAngle(x, y, m_centreX, m_centreY);
      p.first =
          (maxAngle < v && v < minAngle) || (maxAngle < v + g_twoPi && v + g_twoPi < minAngle);
      p.second = !p.first;
    }
    return p;
  };
  cache.flags = ExtentFlags(place(GetStartX(), GetStartY()), place(GetEndX(), GetEndY()),
                            axis == 0 ? GetStartX() : GetStartY(),
                            axis == 0 ? GetEndX() : GetEndY(), m_direction, IsClosed() != 0);
  cache.valid = 1;
  return cache;
}

std::int16_t CEllipseEdge::GetXExtent(int& minX, int& maxX) const {
  const EdgeExtentCache& cache = Extent(0);
  minX = cache.minimum;
  maxX = cache.maximum;
  return cache.flags;
}

std::int16_t CEllipseEdge::GetYExtent(int& minY, int& maxY) const {
  const EdgeExtentCache& cache = Extent(1);
  minY = cache.minimum;
  maxY = cache.maximum;
  return cache.flags;
}

int CEllipseEdge::LocatePoint(int x, int y) const {
  if (IsEnd(x, y)) return 2;
  const double phi = PolarAngle(x, y, m_centreX, m_centreY);
  if (IsClosed() == 0) {
    const bool ccw = m_direction == kEdgeCounterClockwise;
    const double as = PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY);
    const double ae = PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY);
    if (!IsInSweep(phi, ccw ? as : ae, ccw ? ae : as, 0.0)) return 0;
  }
  // The ellipse's radius in the point's direction: rx ry / sqrt(ry^2 cos^2 + rx^2 sin^2).
  const double cs = std::cos(phi - m_rotation);
  const double sn = std::sin(phi - m_rotation);
  const double denominator =
      std::sqrt(m_radiusY * m_radiusY * cs * cs + m_radiusX * m_radiusX * sn * sn);
  const double radius = denominator > 0.0 ? m_radiusX * m_radiusY / denominator : 0.0;
  const double distance = std::hypot(x - m_centreX, y - m_centreY);
  return std::fabs(distance - radius) < 0.5 ? 1 : 0;
}

void CEllipseEdge::MoveBy(int dx, int dy) {
  SetStart(AddClamped(GetStartX(), dx), AddClamped(GetStartY(), dy));
  SetEnd(AddClamped(GetEndX(), dx), AddClamped(GetEndY(), dy));
  m_centreX += dx;
  m_centreY += dy;
  m_xExtent.minimum = AddClamped(m_xExtent.minimum, dx);
  m_xExtent.maximum = AddClamped(m_xExtent.maximum, dx);
  m_yExtent.minimum = AddClamped(m_yExtent.minimum, dy);
  m_yExtent.maximum = AddClamped(m_yExtent.maximum, dy);
}

int CEllipseEdge::Read(CTextFileReader& reader) {
  m_xExtent = {};
  m_yExtent = {};
  if (ReadEnds(reader) == 0) return 0;
  for (double* field : {&m_centreX, &m_centreY, &m_radiusX, &m_radiusY, &m_rotation}) {
    if (ReadDoubleField(reader, *field) == 0) return 0;
  }
  std::int16_t direction = 0;
  if (reader.ReadShort(direction) == 0) return 0;
  if (!IsDirection(direction) || m_radiusX < 0.0 || m_radiusY < 0.0) {
    MarkIllegalValue();
    return 0;
  }
  m_direction = direction;
  return 1;
}

void CEllipseEdge::Reverse() {
  CFloodEdge::Reverse();
  m_direction = static_cast<std::int16_t>(1 - m_direction);
}

void CEllipseEdge::Write(CTextFileWriter& writer) const {
  WriteEnds(writer);
  writer.WriteDouble(m_centreX);
  writer.WriteDouble(m_centreY);
  writer.WriteDouble(m_radiusX);
  writer.WriteDouble(m_radiusY);
  writer.WriteDouble(m_rotation);
  writer.WriteShort(m_direction);
}

void CEllipseEdge::Transform(const CTransform& transform) {
  TransformEnds(transform);
  const double cx = transform.TransformXExact(m_centreX, m_centreY);
  const double cy = transform.TransformYExact(m_centreX, m_centreY);
  m_centreX = cx;
  m_centreY = cy;
  const double parameter = transform.GetParameter();
  switch (transform.GetKind()) {
    case kTransformReflection:
      if (m_radiusX != m_radiusY && m_rotation != 0.0) m_rotation = NormaliseAngle(-m_rotation, 1);
      m_direction = static_cast<std::int16_t>(1 - m_direction);
      break;
    case kTransformRotation:
      if (m_radiusX != m_radiusY) m_rotation = NormaliseAngle(m_rotation + parameter, 1);
      break;
    case kTransformEnlargement:
      // A negative factor turns the ellipse half round; its radii stay lengths.
      m_radiusX = RoundToInt(m_radiusX * std::fabs(parameter));
      m_radiusY = RoundToInt(m_radiusY * std::fabs(parameter));
      break;
    case kTransformStretch:
      StretchEllipse(m_radiusX, m_radiusY, m_rotation, parameter,
                     transform.GetDirectionFlag() != 0 ? 0 : 1);
      m_radiusX = RoundToInt(m_radiusX);
      m_radiusY = RoundToInt(m_radiusY);
      if (parameter < 0.0) m_direction = static_cast<std::int16_t>(1 - m_direction);
      break;
    default:
      break;
  }
  m_xExtent = {};
  m_yExtent = {};
}

// ---------------------------------------------------------------------------------------------
// Cubic-curve edges

void CBezierEdge::Coefficients(int axis, double* c) const {
  const std::array<double, 4> power = BezierPowerForm(Axis(axis));
  std::copy(power.begin(), power.end(), c);
}

// The curve's own evaluation, shared with the curve item.
double CBezierEdge::EvaluateX(double t) const { return BezierValue(Axis(0), t); }

double CBezierEdge::EvaluateY(double t) const { return BezierValue(Axis(1), t); }

std::array<double, 4> CBezierEdge::Axis(int axis) const {
  return axis == 0 ? std::array<double, 4>{double(m_curveStartX), m_control0X, m_control1X,
                                              double(m_curveEndX)}
                   : std::array<double, 4>{double(m_curveStartY), m_control0Y, m_control1Y,
                                              double(m_curveEndY)};
}

double CBezierEdge::ParameterOfPoint(double x, double y) const {
  const int rx = RoundToInt(x);
  const int ry = RoundToInt(y);
  if (rx == m_curveStartX && ry == m_curveStartY) return 0.0;
  if (rx == m_curveEndX && ry == m_curveEndY) return 1.0;
  // The roots in [0, 1] of the equation in y, and of the one in x, whose curve point lies
  // nearest the point; the first found wins a tie. Where the curve runs nearly level the root
  // in y can lie far along it (a junction rounded by half a unit in y), and a junction rounded
  // past the curve's highest or lowest point has no root in y at all: the root in x finds it.
  double found = -1.0;
  double distance = 0.0;
  bool rootInY = false;
  for (const int axis : {1, 0}) {
    double c[4];
    Coefficients(axis, c);
    c[0] -= axis == 1 ? y : x;
    double roots[3];
    const int n = SolveCurveCubic(c, roots);
    for (int i = 0; i < n; ++i) {
      double t = roots[i];
      if (std::fabs(t) <= kParameterSnap) t = 0.0;
      if (std::fabs(t - 1.0) <= kParameterSnap) t = 1.0;
      if (t < 0.0 || t > 1.0) continue;
      if (axis == 1) rootInY = true;
      const double d = std::hypot(EvaluateX(t) - x, EvaluateY(t) - y);
      if (found < 0.0 || d < distance) {
        found = t;
        distance = d;
      }
    }
  }
  if (found >= 0.0 && (rootInY || distance <= kPointOnCurve)) return found;
  return -1.0;
}

void CBezierEdge::EnsureParameterRange() const {
  if (m_t0 < 0.0) m_t0 = ParameterOfPoint(GetStartX(), GetStartY());
  if (m_t1 < 0.0) m_t1 = ParameterOfPoint(GetEndX(), GetEndY());
}

bool CBezierEdge::HasParameterRange() const {
  EnsureParameterRange();
  return m_t0 >= 0.0 && m_t1 >= 0.0;
}

int CBezierEdge::GetEndDirection(std::int16_t end) const {
  if (end != 0 && end != 1) {
    SetGlitchValue(end);
    ReportGlitch(kGlitchCurveEndDirection, 1);
    return 0;
  }
  if (!HasParameterRange()) {
    // Without the curve's parameters only the chord is known; level counts as down.
    const int from = end == 0 ? GetStartY() : GetEndY();
    const int to = end == 0 ? GetEndY() : GetStartY();
    return to > from ? kEndGoesUp : kEndGoesDown;
  }
  const double t = end == 0 ? m_t0 : m_t1;
  const double other = end == 0 ? m_t1 : m_t0;
  const double inward = other < t ? t - kDirectionProbe : t + kDirectionProbe;
  // Against the end's own (rounded) level: the side of that level the curve leaves to is the
  // side its crossings of the level are counted from.
  const int level = end == 0 ? GetStartY() : GetEndY();
  return level >= EvaluateY(inward) ? kEndGoesDown : kEndGoesUp;
}

void CBezierEdge::CopyFrom(const CFloodEdge* other) {
  if (other == nullptr) return;
  CopyEnds(other);
  if (other->GetKind() == kEdgeBezier) {
    other->GetCurveStart(m_curveStartX, m_curveStartY);
    other->GetCurveEnd(m_curveEndX, m_curveEndY);
    other->GetControlPoint(0, m_control0X, m_control0Y);
    other->GetControlPoint(1, m_control1X, m_control1Y);
  }
  m_t0 = -1.0;
  m_t1 = -1.0;
}

void CBezierEdge::GetCurveStart(int& x, int& y) const {
  x = m_curveStartX;
  y = m_curveStartY;
}

void CBezierEdge::GetCurveEnd(int& x, int& y) const {
  x = m_curveEndX;
  y = m_curveEndY;
}

void CBezierEdge::GetControlPoint(std::int16_t i, double& x, double& y) const {
  if (i != 0 && i != 1) {
    SetGlitchValue(i);
    ReportGlitch(kGlitchCurveGetControlPoint, 1);
    return;
  }
  x = i == 0 ? m_control0X : m_control1X;
  y = i == 0 ? m_control0Y : m_control1Y;
}

void CBezierEdge::SetControlPoint(std::int16_t i, double x, double y) {
  if (i != 0 && i != 1) {
    SetGlitchValue(i);
    ReportGlitch(kGlitchCurveSetControlPoint, 1);
    return;
  }
  (i == 0 ? m_control0X : m_control1X) = x;
  (i == 0 ? m_control0Y : m_control1Y) = y;
  m_t0 = -1.0;
  m_t1 = -1.0;
}

std::int16_t CBezierEdge::IntersectScanLine(int y, EdgeScanHits& xs) const {
  int n = 0;
  auto insert = [&](int x) {
    int i = n;
    while (i > 0 && xs[static_cast<std::size_t>(i - 1)] > x) {
      xs[static_cast<std::size_t>(i)] = xs[static_cast<std::size_t>(i - 1)];
      --i;
    }
    xs[static_cast<std::size_t>(i)] = x;
    ++n;
  };
  if (y == GetStartY()) insert(GetStartX());
  if (y == GetEndY()) insert(GetEndX());
  double c[4];
  Coefficients(1, c);
  c[0] -= y;
  double roots[3];
  const int count = SolveCurveCubic(c, roots);
  if (count == 0 || !HasParameterRange()) return static_cast<std::int16_t>(n);
  const double lo = std::min(m_t0, m_t1) - kRangeSlack;
  const double hi = std::max(m_t0, m_t1) + kRangeSlack;
  double turns[2];
  const int turnCount = TurningPoints(c, turns);
  for (int i = 0; i < count && n < kEdgeScanCapacity; ++i) {
    const double t = roots[i];
    if (t < lo || t > hi) continue;
    // On an end's level the roots between the end and the point where its direction is
    // probed belong to the end, counted above however flat the curve is there (their x may
    // lie far from the rounded end's). Any other root is a crossing of its own, even one that
    // rounds to the end's x: where the curve rises a fraction over the level and falls back,
    // the vertex and that crossing are two.
    if (y == GetStartY() && std::fabs(t - m_t0) <= kDirectionProbe) continue;
    if (y == GetEndY() && std::fabs(t - m_t1) <= kDirectionProbe) continue;
    const int x = RoundToInt(EvaluateX(t));
    insert(x);
    // A single root at a turning point is the line touching the curve's top or bottom: in
    // and out at once. (The line a fraction above a rounded top meets the curve nowhere
    // there, so only the curve itself can tell a touch from a crossing elsewhere.)
    bool alone = true;
    for (int j = 0; j < count; ++j) {
      if (j != i && std::fabs(roots[j] - t) <= kTangentSlack) alone = false;
    }
    bool turning = false;
    for (int j = 0; j < turnCount; ++j) {
      if (std::fabs(turns[j] - t) <= kTangentSlack) turning = true;
    }
    if (alone && turning && n < kEdgeScanCapacity) insert(x);
  }
  return static_cast<std::int16_t>(n);
}

std::int16_t CBezierEdge::IntersectSegment(int x1, int y1, int x2, int y2) const {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double length = std::hypot(dx, dy);
  if (length == 0.0 || !HasParameterRange()) return 0;
  // The whole curve against the infinite line: dx (y(t) - y1) - dy (x(t) - x1) = 0.
  double cx[4];
  double cy[4];
  Coefficients(0, cx);
  Coefficients(1, cy);
  double c[4];
  for (int i = 0; i < 4; ++i) c[i] = dx * cy[i] - dy * cx[i];
  c[0] -= dx * y1 - dy * x1;
  double roots[3];
  const int count = SolveCurveCubic(c, roots);
  const double lo = std::min(m_t0, m_t1) - kRangeSlack;
  const double hi = std::max(m_t0, m_t1) + kRangeSlack;
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const double t = roots[i];
    if (t < lo || t > hi) continue;
    const double px = EvaluateX(t);
    const double py = EvaluateY(t);
    // Within the segment, give or take a unit of rounding.
    if ((px - x1) * dx + (py - y1) * dy < -length) continue;
    if ((px - x2) * dx + (py - y2) * dy > length) continue;
    const int hx = RoundToInt(px);
    const int hy = RoundToInt(py);
    bool repeated = false;
    for (int j = 0; j < n; ++j) {
      if (std::llabs(static_cast<long long>(g_edgeHitX[static_cast<std::size_t>(j)]) - hx) <= 1 &&
          std::llabs(static_cast<long long>(g_edgeHitY[static_cast<std::size_t>(j)]) - hy) <= 1) {
        repeated = true;
      }
    }
    if (repeated) continue;
    StoreEdgeHit(n++, hx, hy);
  }
  return static_cast<std::int16_t>(n);
}

std::int16_t CBezierEdge::Extent(int axis, bool inward, int& minimum, int& maximum) const {
  double c[4];
  Coefficients(axis, c);
  double roots[2];
  const int count = TurningPoints(c, roots);
  if (count == 0 || !HasParameterRange()) return 0;
  const double lo = std::min(m_t0, m_t1);
  const double hi = std::max(m_t0, m_t1);
  const double middle = 0.5 * (m_t0 + m_t1);
  std::int16_t flags = 0;
  for (int i = 0; i < count; ++i) {
    const double t = roots[i];
    const bool kept = inward ? (lo + kRangeSlack <= t && t <= hi - kRangeSlack)
                             : (lo - kRangeSlack <= t && t <= hi + kRangeSlack);
    if (!kept) continue;
    const double value = Polynomial(c, t);
    const double beside = Polynomial(c, t < middle ? t + 0.001 : t - 0.001);
    if (beside < value) {
      flags |= kExtentPassesMax;
      maximum = RoundToInt(value);
    } else {
      flags |= kExtentPassesMin;
      minimum = RoundToInt(value);
    }
  }
  return flags;
}

std::int16_t CBezierEdge::GetXExtent(int& minX, int& maxX) const {
  return Extent(0, false, minX, maxX);
}

std::int16_t CBezierEdge::GetYExtent(int& minY, int& maxY) const {
  return Extent(1, true, minY, maxY);
}

int CBezierEdge::LocatePoint(int x, int y) const {
  if (IsEnd(x, y)) return 2;
  EdgeScanHits xs{};
  const int n = IntersectScanLine(y, xs);
  for (int i = 0; i < n; ++i) {
    if (std::llabs(static_cast<long long>(xs[static_cast<std::size_t>(i)]) - x) <= 1) return 1;
  }
  return 0;
}

void CBezierEdge::MoveBy(int dx, int dy) {
  SetStart(AddClamped(GetStartX(), dx), AddClamped(GetStartY(), dy));
  SetEnd(AddClamped(GetEndX(), dx), AddClamped(GetEndY(), dy));
  m_curveStartX = AddClamped(m_curveStartX, dx);
  m_curveStartY = AddClamped(m_curveStartY, dy);
  m_curveEndX = AddClamped(m_curveEndX, dx);
  m_curveEndY = AddClamped(m_curveEndY, dy);
  m_control0X += dx;
  m_control0Y += dy;
  m_control1X += dx;
  m_control1Y += dy;
}

int CBezierEdge::Read(CTextFileReader& reader) {
  m_t0 = -1.0;
  m_t1 = -1.0;
  if (ReadEnds(reader) == 0) return 0;
  for (std::int32_t* field : {&m_curveStartX, &m_curveStartY, &m_curveEndX, &m_curveEndY}) {
    int value = 0;
    if (reader.ReadInt(value) == 0) return 0;
    *field = value;
  }
  for (double* field : {&m_control0X, &m_control0Y, &m_control1X, &m_control1Y}) {
    if (ReadDoubleField(reader, *field) == 0) return 0;
  }
  return 1;
}

void CBezierEdge::Reverse() {
  CFloodEdge::Reverse();
  std::swap(m_curveStartX, m_curveEndX);
  std::swap(m_curveStartY, m_curveEndY);
  std::swap(m_control0X, m_control1X);
  std::swap(m_control0Y, m_control1Y);
  // The reversed curve runs t -> 1 - t, so the edge's parameters turn round with it.
  const double t0 = m_t0;
  m_t0 = m_t1 < 0.0 ? -1.0 : 1.0 - m_t1;
  m_t1 = t0 < 0.0 ? -1.0 : 1.0 - t0;
}

void CBezierEdge::Write(CTextFileWriter& writer) const {
  WriteEnds(writer);
  writer.WriteInt(m_curveStartX);
  writer.WriteInt(m_curveStartY);
  writer.WriteInt(m_curveEndX);
  writer.WriteInt(m_curveEndY);
  writer.WriteDouble(m_control0X);
  writer.WriteDouble(m_control0Y);
  writer.WriteDouble(m_control1X);
  writer.WriteDouble(m_control1Y);
}

void CBezierEdge::Transform(const CTransform& transform) {
  TransformEnds(transform);
  const int sx = transform.TransformX(m_curveStartX, m_curveStartY);
  const int sy = transform.TransformY(m_curveStartX, m_curveStartY);
  const int ex = transform.TransformX(m_curveEndX, m_curveEndY);
  const int ey = transform.TransformY(m_curveEndX, m_curveEndY);
  SetCurveStart(sx, sy);
  SetCurveEnd(ex, ey);
  const double c0x = transform.TransformXExact(m_control0X, m_control0Y);
  const double c0y = transform.TransformYExact(m_control0X, m_control0Y);
  const double c1x = transform.TransformXExact(m_control1X, m_control1Y);
  const double c1y = transform.TransformYExact(m_control1X, m_control1Y);
  m_control0X = c0x;
  m_control0Y = c0y;
  m_control1X = c1x;
  m_control1Y = c1y;
  m_t0 = -1.0;
  m_t1 = -1.0;
}
