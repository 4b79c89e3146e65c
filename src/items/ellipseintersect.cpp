// Where ellipses and elliptic arcs meet circles, arcs, ellipses and each other. Every pair is
// reduced to a quartic; each real root is turned back into a point, checked against both
// curves with a residual tolerance and, for arcs, against the arc's angle range.
#include <cmath>

#include "items/ellipsegeom.h"
#include "items/ellipseitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/solvers.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// The residual tolerance is S / 200000: it scales with a^2 b^2.
constexpr double kResidualDivisor = 200000.0;
// A double root comes out of the quartic a little off, which can put a touching point just
// outside the other curve; a shortfall this small (relative to the square of the radius) is
// taken as touching rather than dropping the point.
constexpr double kTouchingSlack = 1e-7;

// One candidate point of a root: relative to the receiving ellipse's centre (in the frame
// its form is written in) for the residual, and in drawing coordinates.
struct Candidate {
  double localX = 0.0;
  double localY = 0.0;
  double x = 0.0;
  double y = 0.0;
};

bool PassesRangeTests(const ConicIntersectRules& rules, const Candidate& point, int storedX,
                      int storedY) {
  for (int i = 0; i < rules.testCount; ++i) {
    const ArcRangeTest& test = rules.tests[static_cast<std::size_t>(i)];
    const double px = test.exactPoint ? point.x : storedX;
    const double py = test.exactPoint ? point.y : storedY;
    if (!IsInArcRange(test, px, py)) return false;
  }
  return true;
}

bool IsStored(int count, int x, int y) {
  for (int i = 0; i < count; ++i) {
    if (g_intersectX[static_cast<std::size_t>(i)] == x &&
        g_intersectY[static_cast<std::size_t>(i)] == y) {
      return true;
    }
  }
  return false;
}

// Picks one of a root's two candidates and stores it; answers the new count. The first
// candidate wins when it lies on the ellipse and is new; a first candidate already stored
// (the second copy of a double root) gives way to the second one. When the chosen point lies
// outside an arc's range, the other candidate still counts if it is on the ellipse, new and
// in range: both candidates of a root are real crossings (a circle around the ellipse's
// centre meets it above and below at the same x), and an arc may hold only the second.
int TakeRoot(const EllipseForm& form, double tolerance, const Candidate& first,
             const Candidate& second, const ConicIntersectRules& rules, int count) {
  const bool firstOn = EllipseResidual(form, first.localX, first.localY) <= tolerance;
  const bool secondOn = EllipseResidual(form, second.localX, second.localY) <= tolerance;
  const int firstX = TruncateToInt(first.x);
  const int firstY = TruncateToInt(first.y);
  const int secondX = TruncateToInt(second.x);
  const int secondY = TruncateToInt(second.y);
  const Candidate* chosen = nullptr;
  if (firstOn && !IsStored(count, firstX, firstY)) {
    chosen = &first;
  } else if (secondOn) {
    chosen = &second;
  }
  if (chosen == nullptr) return count;
  int x = chosen == &first ? firstX : secondX;
  int y = chosen == &first ? firstY : secondY;
  if (!PassesRangeTests(rules, *chosen, x, y)) {
    if (chosen != &first || !secondOn || IsStored(count, secondX, secondY) ||
        !PassesRangeTests(rules, second, secondX, secondY)) {
      return count;
    }
    x = secondX;
    y = secondY;
  }
  g_intersectX[static_cast<std::size_t>(count)] = x;
  g_intersectY[static_cast<std::size_t>(count)] = y;
  g_intersectFlags[static_cast<std::size_t>(count)] = 0;
  return count + 1;
}

// sqrt of a square-root argument, a tiny shortfall counting as 0; -1 for no point.
double RootOfGap(double gap, double scale) {
  if (gap >= 0.0) return std::sqrt(gap);
  return gap >= -kTouchingSlack * scale ? 0.0 : -1.0;
}

bool HasSize(const EllipseShape& e) {
  return std::isfinite(e.cx) && std::isfinite(e.cy) && std::isfinite(e.rotation) &&
         std::isfinite(e.a) && std::isfinite(e.b) && e.a != 0.0 && e.b != 0.0;
}

bool MakeRoom(int count, const ConicIntersectRules& rules) {
  if (EnsureIntersectionCapacity(count) != 0) return true;
  SetGlitchValue(count);
  ReportGlitch(rules.glitchCode, rules.glitchNumber);
  return false;
}

}  // namespace

int IntersectEllipseCircle(const EllipseShape& ellipse, double ox, double oy, double radius,
                           const ConicIntersectRules& rules) {
  if (!HasSize(ellipse) || !std::isfinite(ox) || !std::isfinite(oy) || !std::isfinite(radius)) {
    return 0;
  }
  const EllipseForm form = MakeEllipseForm(ellipse.a, ellipse.b, ellipse.rotation);
  const double p = form.p;
  const double q = form.q;
  const double r = form.r;
  const double s = form.s;
  const double h = ox - ellipse.cx;  // the circle's centre relative to the ellipse's
  const double k = oy - ellipse.cy;
  const double q2 = radius * radius;
  const double d = r - p;
  const double e1 = h * h + k * k - q2;
  const double e2 = h * h - k * k - q2;

  double c[5];
  c[0] = (r * e2 + s) * (r * e2 + s) + 4.0 * r * r * k * k * (h * h - q2);
  c[1] = 4.0 * (q * r * k - r * r * h) * e1 - 4.0 * s * (q * k + r * h);
  c[2] = 2.0 * d * s + 4.0 * r * r * h * h + (2.0 * r * r + 4.0 * q * q) * e1 - 2.0 * p * r * e2 -
         8.0 * q * r * h * k;
  c[3] = -4.0 * d * (q * k + r * h) + 8.0 * q * r * k - 8.0 * q * q * h;
  c[4] = 4.0 * q * q + d * d;
  double roots[4];
  const int n = SolveQuartic(c, roots);
  if (n <= 0) return 0;
  if (!MakeRoom(n, rules)) return 0;

  const double tolerance = s / kResidualDivisor;
  int count = 0;
  for (int i = 0; i < n; ++i) {
    const double x = roots[i];  // relative to the ellipse's centre
    const double across = x + ellipse.cx - ox;
    const double rise = RootOfGap(q2 - across * across, q2);
    if (rise < 0.0) continue;
    const double upperY = oy + rise - ellipse.cy;
    const double lowerY = oy - rise - ellipse.cy;
    const Candidate upper{x, upperY, x + ellipse.cx, upperY + ellipse.cy};
    const Candidate lower{x, lowerY, x + ellipse.cx, lowerY + ellipse.cy};
    count = TakeRoot(form, tolerance, upper, lower, rules, count);
  }
  return count;
}

int IntersectEllipseEllipse(const EllipseShape& receiving, const EllipseShape& other,
                            const ConicIntersectRules& rules) {
  if (!HasSize(receiving) || !HasSize(other)) return 0;
  // The second ellipse gives the frame; the first is turned relative to it.
  EllipseShape first = receiving;
  EllipseShape second = other;
  if (IsNearlyZero(first.rotation) != 0 || first.rotation < second.rotation) {
    SwapDoubles(first.rotation, second.rotation);
    SwapDoubles(first.cx, second.cx);
    SwapDoubles(first.cy, second.cy);
    SwapDoubles(first.a, second.a);
    SwapDoubles(first.b, second.b);
  }
  const double relative = first.rotation - second.rotation;
  const double cs = std::cos(second.rotation);
  const double sn = std::sin(second.rotation);
  const double ex = first.cx - second.cx;
  const double ey = first.cy - second.cy;
  const double u = ex * cs + ey * sn;
  const double v = -ex * sn + ey * cs;
  const EllipseForm form = MakeEllipseForm(first.a, first.b, relative);
  const double p = form.p;
  const double q = form.q;
  const double r = form.r;
  const double s = form.s;

  // In this frame the second ellipse is x^2 = a2 - rho y^2.
  const double a2 = second.a * second.a;
  const double rho = a2 / (second.b * second.b);
  const double t = r * v * v + 2.0 * q * u * v + p * u * u - s;
  const double g = r * v + q * u;
  const double h = p * u + q * v;

  double c[5];
  c[0] = p * p * a2 * a2 + 2.0 * p * t * a2 + t * t - 4.0 * a2 * h * h;
  c[1] = -4.0 * p * g * a2 - 4.0 * g * t + 8.0 * q * h * a2;
  c[2] = -2.0 * p * p * rho * a2 - 2.0 * p * rho * t + 2.0 * p * r * a2 + 2.0 * r * t +
         4.0 * g * g + 4.0 * h * h * rho - 4.0 * q * q * a2;
  c[3] = 4.0 * p * g * rho - 4.0 * r * g - 8.0 * q * h * rho;
  c[4] = p * p * rho * rho - 2.0 * p * r * rho + r * r + 4.0 * q * q * rho;
  double roots[4];
  const int n = SolveQuartic(c, roots);
  if (n <= 0) return 0;
  if (!MakeRoom(n, rules)) return 0;

  const double tolerance = s / kResidualDivisor;
  int count = 0;
  for (int i = 0; i < n; ++i) {
    const double y = roots[i];
    const double half = RootOfGap(a2 - rho * y * y, a2);
    if (half < 0.0) continue;
    Candidate candidates[2];
    for (int j = 0; j < 2; ++j) {
      const double x = j == 0 ? half : -half;
      candidates[j] = {x - u, y - v, x * cs - y * sn + second.cx, x * sn + y * cs + second.cy};
    }
    count = TakeRoot(form, tolerance, candidates[0], candidates[1], rules, count);
  }
  return count;
}

// ---- The items' routines ----

namespace {

constexpr int kGlitchEllipseIntersect = 1804;
constexpr int kGlitchEllipseArcIntersect = 1826;
constexpr int kNumberCircle = 8990;
constexpr int kNumberArc = 8991;
constexpr int kNumberEllipse = 8992;
constexpr int kNumberWrongKind = 9001;

ConicIntersectRules RulesOf(int glitchCode, int glitchNumber) {
  ConicIntersectRules rules;
  rules.glitchCode = glitchCode;
  rules.glitchNumber = glitchNumber;
  return rules;
}

void AddTest(ConicIntersectRules& rules, const ArcRangeTest& test) {
  rules.tests[static_cast<std::size_t>(rules.testCount++)] = test;
}

int IntersectWithCircleOf(const EllipseShape& shape, const CDrawItem& circle,
                          const ConicIntersectRules& rules) {
  int ox = 0;
  int oy = 0;
  circle.GetCentre(ox, oy);
  return IntersectEllipseCircle(shape, ox, oy, circle.GetRadius(), rules);
}

int IntersectWithArcCircle(const EllipseShape& shape, const CDrawItem& arc,
                           const ConicIntersectRules& rules) {
  double ox = 0.0;
  double oy = 0.0;
  double radius = 0.0;
  arc.GetCircle(ox, oy, radius);
  return IntersectEllipseCircle(shape, ox, oy, radius, rules);
}

}  // namespace

EllipseShape ShapeOfEllipse(const CDrawItem& item) {
  int cx = 0;
  int cy = 0;
  int a = 0;
  int b = 0;
  item.GetCentre(cx, cy);
  item.GetSemiAxes(a, b);
  return {static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(a),
          static_cast<double>(b), item.GetRotation()};
}

EllipseShape ShapeOfEllipseArc(const CDrawItem& item) {
  EllipseShape shape;
  item.GetCentreExact(shape.cx, shape.cy);
  item.GetRadii(shape.a, shape.b);
  shape.rotation = item.GetRotation();
  return shape;
}

ArcRangeTest ArcRangeOf(const CDrawItem& item, int form, bool exactPoint) {
  ArcRangeTest test;
  test.form = form;
  test.exactPoint = exactPoint;
  if (item.GetType() == kItemArc) {
    double radius = 0.0;
    item.GetCircle(test.cx, test.cy, radius);
  } else {
    item.GetCentreExact(test.cx, test.cy);
  }
  int x = 0;
  int y = 0;
  item.GetStart(x, y);
  test.startAngle = AngleOf(y - test.cy, x - test.cx);
  item.GetEnd(x, y);
  test.endAngle = AngleOf(y - test.cy, x - test.cx);
  return test;
}

bool IsInArcRange(const ArcRangeTest& test, double x, double y) {
  const double angle = AngleOf(y - test.cy, x - test.cx);
  const int inside = test.form == kArcRangeEndShift
                         ? IsAngleInArcEndShift(angle, test.startAngle, test.endAngle)
                         : IsAngleInArcStartShift(angle, test.startAngle, test.endAngle);
  return inside != 0;
}

int CEllipseItem::IntersectWith(CDrawItem* other) {
  if (other == nullptr) return 0;
  const EllipseShape shape = ShapeOfEllipse(*this);
  switch (other->GetType()) {
    case kItemLine:
    case kItemBezier:
      return other->IntersectWith(this);
    case kItemCircle:
      return IntersectWithCircleOf(shape, *other, RulesOf(kGlitchEllipseIntersect, kNumberCircle));
    case kItemArc: {
      ConicIntersectRules rules = RulesOf(kGlitchEllipseIntersect, kNumberArc);
      AddTest(rules, ArcRangeOf(*other, kArcRangeEndShift, false));
      return IntersectWithArcCircle(shape, *other, rules);
    }
    case kItemEllipse:
      return IntersectEllipseEllipse(shape, ShapeOfEllipse(*other),
                                     RulesOf(kGlitchEllipseIntersect, kNumberEllipse));
    case kItemEllipseArc: {
      ConicIntersectRules rules = RulesOf(kGlitchEllipseIntersect, kNumberEllipse);
      AddTest(rules, ArcRangeOf(*other, kArcRangeStartShift, true));
      return IntersectEllipseEllipse(shape, ShapeOfEllipseArc(*other), rules);
    }
    default:
      SetGlitchValue(other->GetType());
      ReportGlitch(kGlitchEllipseIntersect, kNumberWrongKind);
      return 0;
  }
}

int CEllipseArcItem::IntersectWith(CDrawItem* other) {
  if (other == nullptr) return 0;
  const EllipseShape shape = ShapeOfEllipseArc(*this);
  switch (other->GetType()) {
    case kItemLine:
    case kItemBezier:
    case kItemEllipse:
      return other->IntersectWith(this);
    case kItemCircle: {
      ConicIntersectRules rules = RulesOf(kGlitchEllipseArcIntersect, kNumberCircle);
      AddTest(rules, ArcRangeOf(*this, kArcRangeStartShift, true));
      return IntersectWithCircleOf(shape, *other, rules);
    }
    case kItemArc: {
      ConicIntersectRules rules = RulesOf(kGlitchEllipseArcIntersect, kNumberArc);
      AddTest(rules, ArcRangeOf(*other, kArcRangeEndShift, false));
      AddTest(rules, ArcRangeOf(*this, kArcRangeStartShift, false));
      return IntersectWithArcCircle(shape, *other, rules);
    }
    case kItemEllipseArc: {
      ConicIntersectRules rules = RulesOf(kGlitchEllipseArcIntersect, kNumberEllipse);
      AddTest(rules, ArcRangeOf(*other, kArcRangeEndShift, true));
      AddTest(rules, ArcRangeOf(*this, kArcRangeStartShift, true));
      return IntersectEllipseEllipse(shape, ShapeOfEllipseArc(*other), rules);
    }
    default:
      SetGlitchValue(other->GetType());
      ReportGlitch(kGlitchEllipseArcIntersect, kNumberWrongKind);
      return 0;
  }
}
