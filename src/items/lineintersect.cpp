// Where a line meets any other item: the line handles every pair it takes part in. With
// beyondEnds the question is where the line, extended past its ends, would meet the other
// item (the document's Extend); then only points off the segment count.
//
// The other item is read only through its virtual operations, so each kind answers here as
// soon as it overrides the getters its routine reads.
#include <array>
#include <cmath>
#include <cstdlib>

#include "items/ellipsegeom.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/lineitem.h"
#include "items/solvers.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr int kGlitchCapacity = 1884;
constexpr int kLogCurveCapacity = 1727;
constexpr double kDiscriminantAllowance = -1e-7;
constexpr double kCurveParameterSnap = 1e-7;

// The line being intersected: its ends and direction d = end - start.
struct Segment {
  int x1;
  int y1;
  int x2;
  int y2;
  double dx;
  double dy;
  // |dx| + |dy|: lets a point lie between 1 and 1.41 units past an end.
  double Tolerance() const { return std::abs(dx) + std::abs(dy); }
  bool IsVertical() const { return x1 == x2; }
  bool IsEnd(int x, int y) const { return (x == x1 && y == y1) || (x == x2 && y == y2); }
};

bool OnSegment(const Segment& s, double px, double py, double tolerance) {
  return (px - s.x1) * s.dx + (py - s.y1) * s.dy >= -tolerance &&
         (px - s.x2) * s.dx + (py - s.y2) * s.dy <= tolerance;
}

// On the segment when beyondEnds is false, off it when true. A point that is not finite is
// never accepted, whichever question is asked.
bool Accepted(const Segment& s, double px, double py, bool beyondEnds, double tolerance) {
  if (!std::isfinite(px) || !std::isfinite(py)) return false;
  return OnSegment(s, px, py, tolerance) != beyondEnds;
}

// The acceptance tolerance of every pair but the arc: none past the ends for Extend.
double AcceptTolerance(const Segment& s, bool beyondEnds) {
  return beyondEnds ? 0.0 : s.Tolerance();
}

bool MakeRoom(int capacity, int glitchNumber) {
  if (EnsureIntersectionCapacity(capacity)) return true;
  ReportGlitch(kGlitchCapacity, glitchNumber);
  return false;
}

// ---- Line with line (capacity 1) ----
int WithLine(const Segment& s, const CDrawItem& other, bool beyondEnds) {
  if (!MakeRoom(1, 8990)) return 0;
  CFoundPoints results(1);
  int ox1 = 0;
  int oy1 = 0;
  int ox2 = 0;
  int oy2 = 0;
  other.GetStart(ox1, oy1);
  other.GetEnd(ox2, oy2);
  if (!beyondEnds) {
    // A shared end is the answer, even for collinear lines that overlap.
    const int ends[4][2] = {{ox1, oy1}, {ox1, oy1}, {ox2, oy2}, {ox2, oy2}};
    const int mine[4][2] = {{s.x1, s.y1}, {s.x2, s.y2}, {s.x1, s.y1}, {s.x2, s.y2}};
    for (int i = 0; i < 4; ++i) {
      if (ends[i][0] == mine[i][0] && ends[i][1] == mine[i][1]) {
        results.Add(mine[i][0], mine[i][1], 0);
        return 1;
      }
    }
  }
  const double ex = static_cast<double>(ox2) - ox1;
  const double ey = static_cast<double>(oy2) - oy1;
  const double det = ex * s.dy - s.dx * ey;
  if (det == 0.0) return 0;  // parallel or collinear
  const double u = static_cast<double>(oy1) * ex - static_cast<double>(ox1) * ey;
  const double w = static_cast<double>(s.y1) * s.dx - static_cast<double>(s.x1) * s.dy;
  const double x = (u * s.dx - w * ex) / det;
  const double y = (u * s.dy - w * ey) / det;
  if (!Accepted(s, x, y, beyondEnds, AcceptTolerance(s, beyondEnds))) return 0;
  const Segment o{ox1, oy1, ox2, oy2, ex, ey};
  if (!OnSegment(o, x, y, o.Tolerance() / 2)) return 0;
  results.Add(RoundToInt(x), RoundToInt(y), 0);
  return 1;
}

// The roots of the line with the circle (cx, cy, r), + root first; D is the discriminant of
// the quadratic the roots come from. Both are written whether or not D is negative.
struct CircleRoots {
  double discriminant = 0.0;
  double x[2] = {0.0, 0.0};
  double y[2] = {0.0, 0.0};
};

double Square(double v) { return v * v; }

CircleRoots SolveWithCircle(const Segment& s, double cx, double cy, double r,
                            double discriminantAllowance) {
  CircleRoots roots;
  if (s.IsVertical()) {
    const double c = Square(cy) + Square(s.x1 - cx) - Square(r);
    double d = 4 * Square(cy) - 4 * c;
    if (d < 0 && d >= discriminantAllowance) d = 0;
    roots.discriminant = d;
    const double root = std::sqrt(std::max(d, 0.0));
    roots.x[0] = roots.x[1] = s.x1;
    roots.y[0] = (2 * cy + root) / 2;
    roots.y[1] = (2 * cy - root) / 2;
    return roots;
  }
  const double m = s.dy / s.dx;
  const double k = s.y1 - m * s.x1;
  const double a = Square(m) + 1;
  const double b = 2 * (m * k - m * cy - cx);
  const double c = Square(cx) + Square(k) - 2 * cy * k + Square(cy) - Square(r);
  double d = Square(b) - 4 * a * c;
  if (d < 0 && d >= discriminantAllowance) d = 0;
  roots.discriminant = d;
  const double root = std::sqrt(std::max(d, 0.0));
  roots.x[0] = (-b + root) / (2 * a);
  roots.x[1] = (-b - root) / (2 * a);
  roots.y[0] = m * roots.x[0] + k;
  roots.y[1] = m * roots.x[1] + k;
  return roots;
}

// ---- Line with circular arc (capacity 2) ----
int WithArc(const Segment& s, const CDrawItem& arc, bool beyondEnds) {
  if (!MakeRoom(2, 8991)) return 0;
  CFoundPoints results(2);
  int asx = 0;
  int asy = 0;
  int aex = 0;
  int aey = 0;
  arc.GetStart(asx, asy);
  arc.GetEnd(aex, aey);
  if (!beyondEnds) {
    if (s.IsEnd(asx, asy)) results.Add(asx, asy, 0);
    if (s.IsEnd(aex, aey)) results.Add(aex, aey, 0);
    if (results.Count() == 2) return 2;
  }
  double cx = 0.0;
  double cy = 0.0;
  double r = 0.0;
  arc.GetCircle(cx, cy, r);
  const CircleRoots roots = SolveWithCircle(s, cx, cy, r, 0.0);
  if (!(roots.discriminant >= 0)) return results.Count();
  const double startAngle = AngleOf(asy - cy, asx - cx);
  const double endAngle = AngleOf(aey - cy, aex - cx);
  for (int i = 0; i < 2 && !results.IsFull(); ++i) {
    if (!std::isfinite(roots.x[i]) || !std::isfinite(roots.y[i])) continue;
    const int x = RoundToInt(roots.x[i]);
    const int y = RoundToInt(roots.y[i]);
    if (results.Count() == 1 && std::llabs(static_cast<std::int64_t>(x) - results.X(0)) +
                                        std::llabs(static_cast<std::int64_t>(y) - results.Y(0)) <=
                                    2) {
      continue;
    }
    // The arc keeps its widened tolerance past the line's ends even for Extend.
    if (!Accepted(s, x, y, beyondEnds, s.Tolerance())) continue;
    if (!IsAngleInArcStartShift(AngleOf(roots.y[i] - cy, roots.x[i] - cx), startAngle, endAngle))
      continue;
    results.Add(x, y, 0);
  }
  return results.Count();
}

// ---- Line with circle (capacity 2) ----
int WithCircle(const Segment& s, const CDrawItem& circle, bool beyondEnds) {
  if (!MakeRoom(2, 8992)) return 0;
  CFoundPoints results(2);
  int cx = 0;
  int cy = 0;
  circle.GetCentre(cx, cy);
  const int r = circle.GetRadius();
  const CircleRoots roots = SolveWithCircle(s, cx, cy, r, kDiscriminantAllowance);
  if (!(roots.discriminant >= 0)) return 0;
  const int rootCount = std::sqrt(roots.discriminant) == 0.0 ? 1 : 2;
  const int flag = rootCount == 1 ? 1 : 0;  // the line touches the circle
  for (int i = 0; i < rootCount; ++i) {
    if (!Accepted(s, roots.x[i], roots.y[i], beyondEnds, AcceptTolerance(s, beyondEnds))) {
      continue;
    }
    results.Add(RoundToInt(roots.x[i]), RoundToInt(roots.y[i]), flag);
  }
  return results.Count();
}

// ---- Line with ellipse and elliptic arc (capacity 2) ----
// The ellipse about (cx, cy) with semi-axes a, b turned by rotation, as
// P X^2 + 2 Q X Y + R Y^2 = S about its centre, and its roots with the line.
struct EllipseRoots {
  int count = 0;  // 0, 1 (touching) or 2
  double x[2] = {0.0, 0.0};
  double y[2] = {0.0, 0.0};
};

EllipseRoots SolveWithEllipse(const Segment& s, double cx, double cy, double a, double b,
                              double rotation) {
  const double c = std::cos(rotation);
  const double sn = std::sin(rotation);
  const double a1 = RoundToWhole(a * c);
  const double a2 = RoundToWhole(a * sn);
  const double b1 = -RoundToWhole(b * sn);
  const double b2 = RoundToWhole(b * c);
  const double p = Square(a2) + Square(b2);
  const double q = -(a1 * a2 + b1 * b2);
  const double r = Square(a1) + Square(b1);
  const double sq = Square(a) * Square(b);

  EllipseRoots roots;
  double qa = 0.0;
  double qb = 0.0;
  double qc = 0.0;
  double m = 0.0;
  double k = 0.0;
  double fixedX = 0.0;
  if (s.IsVertical()) {
    fixedX = s.x1 - cx;
    qa = r;
    qb = 2 * q * fixedX;
    qc = p * Square(fixedX) - sq;
  } else {
    m = s.dy / s.dx;
    k = (s.y1 - cy) - m * (s.x1 - cx);
    qa = p + 2 * q * m + r * Square(m);
    qb = 2 * q * k + 2 * r * m * k;
    qc = r * Square(k) - sq;
  }
  double d = Square(qb) - 4 * qa * qc;
  if (d < 0 && d >= kDiscriminantAllowance) d = 0;
  if (!(d >= 0)) return roots;
  const double root = std::sqrt(d);
  roots.count = root == 0.0 ? 1 : 2;
  for (int i = 0; i < roots.count; ++i) {
    const double v = (-qb + (i == 0 ? root : -root)) / (2 * qa);
    if (s.IsVertical()) {
      roots.x[i] = s.x1;
      roots.y[i] = v + cy;
    } else {
      roots.x[i] = v + cx;
      roots.y[i] = m * v + k + cy;
    }
  }
  return roots;
}

// Touching (one root) only where the point is not one of the line's own ends.
int EllipseFlag(const Segment& s, const EllipseRoots& roots, int x, int y) {
  return (roots.count == 1 && !s.IsEnd(x, y)) ? 1 : 0;
}

int WithEllipse(const Segment& s, const CDrawItem& ellipse, bool beyondEnds) {
  if (!MakeRoom(2, 8993)) return 0;
  CFoundPoints results(2);
  const EllipseShape e = ShapeOfEllipse(ellipse);
  const EllipseRoots roots = SolveWithEllipse(s, e.cx, e.cy, e.a, e.b, e.rotation);
  for (int i = 0; i < roots.count; ++i) {
    if (!Accepted(s, roots.x[i], roots.y[i], beyondEnds, AcceptTolerance(s, beyondEnds))) {
      continue;
    }
    const int x = RoundToInt(roots.x[i]);
    const int y = RoundToInt(roots.y[i]);
    results.Add(x, y, EllipseFlag(s, roots, x, y));
  }
  return results.Count();
}

int WithEllipseArc(const Segment& s, const CDrawItem& arc, bool beyondEnds) {
  if (!MakeRoom(2, 8993)) return 0;
  CFoundPoints results(2);
  const EllipseShape e = ShapeOfEllipseArc(arc);
  const ArcRangeTest range = ArcRangeOf(arc, kArcRangeStartShift, true);
  const EllipseRoots roots = SolveWithEllipse(s, e.cx, e.cy, e.a, e.b, e.rotation);
  for (int i = 0; i < roots.count; ++i) {
    if (!Accepted(s, roots.x[i], roots.y[i], beyondEnds, AcceptTolerance(s, beyondEnds))) {
      continue;
    }
    if (!IsInArcRange(range, roots.x[i], roots.y[i])) continue;
    const int x = RoundToInt(roots.x[i]);
    const int y = RoundToInt(roots.y[i]);
    results.Add(x, y, EllipseFlag(s, roots, x, y));
  }
  return results.Count();
}

// ---- Line with curve (capacity 3) ----
int WithCurve(const Segment& s, const CDrawItem& curve, bool beyondEnds) {
  if (!EnsureIntersectionCapacity(3)) {
    LogAction(kLogCurveCapacity, 1, kLogMinorFailure);
    return 0;
  }
  CFoundPoints results(3);
  int p0x = 0;
  int p0y = 0;
  int p3x = 0;
  int p3y = 0;
  double p1x = 0.0;
  double p1y = 0.0;
  double p2x = 0.0;
  double p2y = 0.0;
  curve.GetStart(p0x, p0y);
  curve.GetEnd(p3x, p3y);
  curve.GetControlPoint(0, p1x, p1y);
  curve.GetControlPoint(1, p2x, p2y);
  if (!beyondEnds) {
    if ((s.x1 == p0x && s.y1 == p0y) || (s.x1 == p3x && s.y1 == p3y)) results.Add(s.x1, s.y1, 0);
    if ((s.x2 == p0x && s.y2 == p0y) || (s.x2 == p3x && s.y2 == p3y)) results.Add(s.x2, s.y2, 0);
  }
  // Per axis c3 t^3 + c2 t^2 + c1 t + c0.
  const auto cubic = [](double q0, double q1, double q2, double q3) {
    return std::array<double, 4>{q0, 3 * q1 - 3 * q0, 3 * q2 - 6 * q1 + 3 * q0,
                                 q3 - 3 * q2 + 3 * q1 - q0};
  };
  const std::array<double, 4> cx = cubic(p0x, p1x, p2x, p3x);
  const std::array<double, 4> cy = cubic(p0y, p1y, p2y, p3y);
  std::array<double, 4> poly{};
  if (s.IsVertical()) {
    poly = cx;
    poly[0] = static_cast<double>(p0x) - s.x1;
  } else {
    const double m = s.dy / s.dx;
    for (int i = 1; i < 4; ++i) poly[i] = cy[i] - m * cx[i];
    poly[0] = (p0y - m * p0x) - (s.y2 - m * s.x2);
  }
  std::array<double, 3> roots{};
  const int rootCount = SolveCubic(poly.data(), roots.data());
  const double tolerance = AcceptTolerance(s, beyondEnds);
  for (int i = 0; i < rootCount && !results.IsFull(); ++i) {
    double t = roots[i];
    if (t >= -kCurveParameterSnap && t <= 0) t = 0;
    if (t >= 1 && t <= 1 + kCurveParameterSnap) t = 1;
    if (!(t >= 0 && t <= 1)) continue;
    const double px = curve.GetXAt(t);
    const double py = curve.GetYAt(t);
    if (!std::isfinite(px) || !std::isfinite(py)) continue;
    const int x = RoundToInt(px);
    const int y = RoundToInt(py);
    if (!Accepted(s, x, y, beyondEnds, tolerance)) continue;
    if (results.HasNear(x, y, 1)) continue;
    results.Add(x, y, 0);
  }
  return results.Count();
}

// Fills, dimensions and texts cross nothing.
int WithNothing(const Segment&, const CDrawItem&, bool) { return 0; }

using LineRoutine = int (*)(const Segment&, const CDrawItem&, bool);

// By the other item's type code.
constexpr std::array<LineRoutine, kItemTypeCount> kLineRoutines = {
    &WithLine,        // 0 line
    &WithArc,         // 1 arc
    &WithCircle,      // 2 circle
    &WithNothing,     // 3 fill
    &WithNothing,     // 4 dimension
    &WithEllipse,     // 5 ellipse
    &WithNothing,     // 6 text
    &WithCurve,       // 7 curve
    &WithEllipseArc,  // 8 elliptic arc
};

}  // namespace

int CLineItem::IntersectLineWith(CDrawItem* other, bool beyondEnds) {
  if (other == nullptr) return 0;
  const int type = other->GetType();
  if (type < 0 || type >= kItemTypeCount) return 0;
  Segment s{m_startX,
            m_startY,
            m_endX,
            m_endY,
            static_cast<double>(m_endX) - m_startX,
            static_cast<double>(m_endY) - m_startY};
  return kLineRoutines[type](s, *other, beyondEnds);
}
