// Where arcs and circles meet each other: the pairs arc with arc, arc with circle and circle
// with circle. Every other pair involving an arc or a circle is handled by the other item's
// routine, to which the call is passed on.
//
// Both routines reduce the pair to two circles and intersect them through their radical line;
// the arc routine then keeps only the points that lie on the arcs. The arithmetic is done
// relative to the receiving item's centre, so that far-off centres keep their precision.
#include <cmath>
#include <cstdlib>

#include "items/arcitem.h"
#include "items/ellipsegeom.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr int kGlitchArcIntersect = 1705;
constexpr int kGlitchCircleIntersect = 1743;
constexpr int kNumberOtherKind = 1;
constexpr int kNumberCircleOtherKind = 9001;
// A computed point this close (along the axes) to the one shared end found is that end.
constexpr std::int64_t kNeighbourDistance = 2;

// The points where two circles meet, in the routine's order.
struct CirclePoints {
  int count = 0;
  double x[2] = {0.0, 0.0};
  double y[2] = {0.0, 0.0};
  void Add(double px, double py) {
    if (count < 2 && std::isfinite(px) && std::isfinite(py)) {
      x[count] = px;
      y[count] = py;
      ++count;
    }
  }
};

// How a routine treats the special cases of the two-circle solution.
enum class CircleRules {
  kArc,     // nearly-zero tests, circles too far apart or touching with centres level
  kCircle,  // exact zero tests; both roots always kept
};

// The circles (cx, cy, r) (the receiving item's) and (ox, oy, q).
CirclePoints MeetCircles(double cx, double cy, double r, double ox, double oy, double q,
                         CircleRules rules) {
  CirclePoints points;
  const double dx = ox - cx;
  const double dy = oy - cy;
  const bool arc = rules == CircleRules::kArc;
  const bool level = arc ? IsNearlyZero(dy) != 0 : dy == 0.0;
  if (level) {
    const bool concentric = arc ? IsNearlyZero(dx) != 0 : dx == 0.0;
    if (concentric) return points;
    if (arc) {
      // Touching from outside, within the routine's nearly-zero allowance: the centres of
      // arcs are derived and seldom land exactly.
      const double gap = std::abs(dx) - (r + q);
      if (IsNearlyZero(gap)) {
        points.Add(dx > 0 ? cx + r : ox + q, cy);
        return points;
      }
      if (gap > 0.0) return points;
    }
    const double a = arc ? ((r * r - q * q) / dx + dx) / 2 : (dx * dx + r * r - q * q) / (2 * dx);
    const double h2 = r * r - a * a;
    if (!(h2 >= 0.0)) return points;
    const double h = std::sqrt(h2);
    points.Add(cx + a, cy + h);
    points.Add(cx + a, cy - h);
    return points;
  }
  // The radical line dx x + dy y = K (relative to (cx, cy)); y = (K - dx x) / dy put into the
  // first circle x^2 + y^2 = r^2.
  const double k = (r * r - q * q + dx * dx + dy * dy) / 2;
  const double w = -k / dy;
  const double qa = dx * dx / (dy * dy) + 1;
  const double qb = 2 * (dx * w / dy);
  const double qc = w * w - r * r;
  const double d = qb * qb - 4 * qa * qc;
  if (!(d >= 0.0)) return points;
  const double root = std::sqrt(d);
  const int roots = (arc && d == 0.0) ? 1 : 2;
  for (int i = 0; i < roots; ++i) {
    const double x = (-qb + (i == 0 ? root : -root)) / (2 * qa);
    points.Add(cx + x, cy + (k - dx * x) / dy);
  }
  return points;
}

// Whether the point lies on the arc with that centre and those ends (by its direction).
bool OnArc(double px, double py, double cx, double cy, int sx, int sy, int ex, int ey) {
  return IsAngleInArcEndShift(AngleOf(py - cy, px - cx), AngleOf(sy - cy, sx - cx),
                              AngleOf(ey - cy, ex - cx));
}

bool IsForwardedKind(int type) {
  return type == kItemLine || type == kItemBezier || type == kItemEllipse ||
         type == kItemEllipseArc;
}

}  // namespace

int CArcItem::IntersectWith(CDrawItem* other) {
  const int type = other != nullptr ? other->GetType() : -1;
  if (IsForwardedKind(type)) return other->IntersectWith(this);
  if (type != kItemArc && type != kItemCircle) {
    SetGlitchValue(type);
    ReportGlitch(kGlitchArcIntersect, kNumberOtherKind);
    return 0;
  }
  if (!EnsureIntersectionCapacity(2)) {
    LogAction(kGlitchArcIntersect, 1, kLogMinorFailure);
    return 0;
  }
  int count = 0;
  auto store = [&count](int x, int y) {
    g_intersectX[count] = x;
    g_intersectY[count] = y;
    g_intersectFlags[count] = 0;
    ++count;
  };

  if (type == kItemCircle) {
    int ox = 0;
    int oy = 0;
    other->GetCentre(ox, oy);
    const CirclePoints points =
        MeetCircles(m_centreX, m_centreY, m_radius, ox, oy, other->GetRadius(), CircleRules::kArc);
    for (int i = 0; i < points.count && count < 2; ++i) {
      if (!OnArc(points.x[i], points.y[i], m_centreX, m_centreY, m_startX, m_startY, m_endX,
                 m_endY)) {
        continue;
      }
      store(TruncateToInt(points.x[i]), TruncateToInt(points.y[i]));
    }
    return count;
  }

  // Two arcs: shared ends first, compared exactly.
  int osx = 0;
  int osy = 0;
  int oex = 0;
  int oey = 0;
  other->GetStart(osx, osy);
  other->GetEnd(oex, oey);
  const auto shares = [&](int x, int y) {
    return (osx == x && osy == y) || (oex == x && oey == y);
  };
  if (shares(m_startX, m_startY)) store(m_startX, m_startY);
  if (shares(m_endX, m_endY)) store(m_endX, m_endY);
  if (count == 2) return 2;

  double ocx = 0.0;
  double ocy = 0.0;
  double radius = 0.0;
  other->GetCircle(ocx, ocy, radius);
  const CirclePoints points =
      MeetCircles(m_centreX, m_centreY, m_radius, ocx, ocy, radius, CircleRules::kArc);
  for (int i = 0; i < points.count && count < 2; ++i) {
    const double px = points.x[i];
    const double py = points.y[i];
    if (!OnArc(px, py, m_centreX, m_centreY, m_startX, m_startY, m_endX, m_endY)) continue;
    if (!OnArc(px, py, ocx, ocy, osx, osy, oex, oey)) continue;
    const int x = RoundToInt(px);
    const int y = RoundToInt(py);
    if (count == 1 && std::llabs(static_cast<std::int64_t>(x) - g_intersectX[0]) +
                              std::llabs(static_cast<std::int64_t>(y) - g_intersectY[0]) <=
                          kNeighbourDistance) {
      continue;  // the shared end again
    }
    store(x, y);
  }
  return count;
}

int CCircleItem::IntersectWith(CDrawItem* other) {
  const int type = other != nullptr ? other->GetType() : -1;
  if (IsForwardedKind(type) || type == kItemArc) return other->IntersectWith(this);
  if (type != kItemCircle) {
    SetGlitchValue(type);
    ReportGlitch(kGlitchCircleIntersect, kNumberCircleOtherKind);
    return 0;
  }
  int ox = 0;
  int oy = 0;
  other->GetCentre(ox, oy);
  const CirclePoints points =
      MeetCircles(m_centreX, m_centreY, m_radius, ox, oy, other->GetRadius(), CircleRules::kCircle);
  if (points.count == 0) return 0;
  if (!EnsureIntersectionCapacity(2)) return 0;
  // Both roots, even when they coincide: circles that touch give the point twice.
  for (int i = 0; i < 2; ++i) {
    const int j = points.count == 2 ? i : 0;
    g_intersectX[i] = TruncateToInt(points.x[j]);
    g_intersectY[i] = TruncateToInt(points.y[j]);
    g_intersectFlags[i] = 0;
  }
  return 2;
}
