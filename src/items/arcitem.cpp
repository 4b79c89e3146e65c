#include "items/arcitem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "items/arcraster.h"
#include "items/geometry.h"
#include "items/intersect.h"
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

namespace {

constexpr int kGlitchTrimNotArc = 1701;
constexpr int kGlitchArcTurnDirection = 1702;
constexpr int kGlitchMergeNotArc = 1703;
constexpr int kGlitchArcTravelSense = 1704;
constexpr int kGlitchArcScanLine = 1706;
constexpr int kGlitchArcEndReachedDirection = 1707;
constexpr int kGlitchArcDirectionSense = 1708;
constexpr int kGlitchArcSetHandle = 1711;
constexpr int kGlitchArcEndDirection = 1712;
constexpr int kGlitchArcHandleX = 1713;
constexpr int kGlitchArcHandleY = 1714;

constexpr int kGlitchCircleTurnDirection = 1741;
constexpr int kGlitchCircleTravelSense = 1742;
constexpr int kGlitchCircleScanLine = 1744;
constexpr int kGlitchCircleDirectionSense = 1745;
constexpr int kGlitchCircleSetHandle = 1747;
constexpr int kGlitchCircleHandleX = 1748;
constexpr int kGlitchCircleHandleY = 1749;

constexpr int kNumberNoMemory = 8990;

// An included angle this close to 0 or 2 pi makes no arc.
constexpr double kAngleMargin = 1e-5;
// Widening of the arc's own angular range when travelling along it.
constexpr double kTravelWidening = 1e-4;
// How close to the top or bottom of the circle a point's direction counts as horizontal.
constexpr double kTopTolerance = 0.001;
// Centres and radii of arcs on "the same circle" differ by at most this.
constexpr double kSameCircleTolerance = 1.0;

__extension__ typedef __int128 Int128;

int Add(int a, int b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + b); }

double AngleAboutPoint(double x, double y, double cx, double cy) { return AngleOf(y - cy, x - cx); }

// Puts an arc piece on the circle it was cut from.
auto OnCircle(double cx, double cy) {
  return [cx, cy](CDrawItem& piece) {
    piece.SetAngleFromCentre(cx, cy);
    piece.Recalculate();
  };
}

// Whether the angle, or the angle one turn either way, lies in [lo, hi].
bool InAngleRange(double angle, double lo, double hi) {
  for (double candidate : {angle, angle + g_twoPi, angle - g_twoPi}) {
    if (lo <= candidate && candidate <= hi) return true;
  }
  return false;
}

// The end angles of an arc about its own centre.
void EndAnglesOf(const CDrawItem& arc, double& start, double& end) {
  double cx = 0.0;
  double cy = 0.0;
  double radius = 0.0;
  arc.GetCircle(cx, cy, radius);
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  arc.GetStart(sx, sy);
  arc.GetEnd(ex, ey);
  start = AngleAboutPoint(sx, sy, cx, cy);
  end = AngleAboutPoint(ex, ey, cx, cy);
}

// Which rotational sense moves a point at angle c of a circle in the linear direction given;
// -1 for a direction that is not linear.
int TurnAt(double c, int direction) {
  const int cw = kDirectionClockwise;
  const int ccw = kDirectionCounterClockwise;
  switch (direction) {
    case kDirectionUp:
      return (c >= g_halfPi && c < 3 * g_halfPi) ? cw : ccw;
    case kDirectionDown:
      return (c <= g_halfPi || c > 3 * g_halfPi) ? cw : ccw;
    case kDirectionLeft:
      return c >= kPi ? cw : ccw;
    case kDirectionRight:
      return c <= kPi ? cw : ccw;
    default:
      return -1;
  }
}

// The length travelled round a whole circle of the radius from angle f to angle t in the
// sense given (every point is ahead).
double CircleTravel(double radius, double t, double f, int sense) {
  double angle = 0.0;
  if (sense == kDirectionCounterClockwise) {
    if (f > t) t += g_twoPi;
    angle = t - f;
  } else {
    if (f < t) f += g_twoPi;
    angle = f - t;
  }
  return static_cast<double>(RoundToInt(radius * angle));
}

// The crossings of the horizontal line at height y with the circle, left one first; 0 when the
// line misses it.
int CircleCrossings(double cx, double cy, double radius, int y, double& left, double& right) {
  const double dy = static_cast<double>(y) - cy;
  const double q = radius * radius - dy * dy;
  if (!(q >= 0.0) || !std::isfinite(q)) return 0;
  const double h = std::sqrt(q);
  left = cx - h;
  right = cx + h;
  return 2;
}

// The drawing preamble shared by the two kinds: colour, raster operation, printer factors.
struct DrawSetup {
  bool printing = false;
  int printerFactors = 0;
  int colourMode = kDrawOwnColour;
  zeph::ColourRef colour = 0;
  zeph::RasterOp oldOp = zeph::RasterOp::kCopy;
};

DrawSetup BeginDraw(zeph::CDrawContext& dc, int colourMode, int thin, int itemColour) {
  DrawSetup setup;
  setup.printing = dc.IsPrinting();
  setup.printerFactors = (setup.printing && thin == 0) ? 1 : 0;
  // A printer without colour prints every item in black, highlighted or not.
  if (setup.printing && IsColourPrinter(&dc, 1) == 0) {
    colourMode = static_cast<int>(g_colourTable[0]);
  }
  setup.colourMode = colourMode;
  setup.colour = static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, itemColour));
  setup.oldOp = colourMode == kDrawXor ? dc.SetRasterOp(zeph::RasterOp::kXor) : dc.GetRasterOp();
  return setup;
}

void EndDraw(zeph::CDrawContext& dc, const DrawSetup& setup) {
  if (setup.colourMode == kDrawXor) dc.SetRasterOp(setup.oldOp);
}

// A device coordinate from a drawing one, the view's origin and scale given.
int ToDevice(double offset, double scale) { return RoundToInt(offset / scale); }

}  // namespace

// =============================================================================================
// CArcItem

CArcItem::CArcItem() : CDrawItem(kItemArc) {}

double CArcItem::AngleAbout(double x, double y) const {
  return AngleAboutPoint(x, y, m_centreX, m_centreY);
}

void CArcItem::GetCircle(double& cx, double& cy, double& radius) const {
  cx = m_centreX;
  cy = m_centreY;
  radius = m_radius;
}

void CArcItem::Recalculate() {
  const double dx = static_cast<double>(m_endX) - m_startX;
  const double dy = static_cast<double>(m_endY) - m_startY;
  const double halfSine = std::sin(m_angle / 2);
  // A fresh arc (angle 0), a whole turn or ends at one point have no circle: rather than an
  // infinite or undefined radius, radius 0 at the start (IsValid refuses such arcs).
  double radius = 0.0;
  if (halfSine > 0.0) radius = Hypot(dx, dy) / 2 / halfSine;
  if (!(radius > 0.0) || !std::isfinite(radius)) {
    m_radius = 0.0;
    m_centreX = m_startX;
    m_centreY = m_startY;
    return;
  }
  m_radius = radius;
  const double a = std::atan2(dy, dx) - m_angle / 2 - g_halfPi;  // the start about the centre
  m_centreX = m_startX - std::cos(a) * radius;
  m_centreY = m_startY - std::sin(a) * radius;
}

void CArcItem::SetAngleFromCentre(double cx, double cy) {
  const double s = AngleAboutPoint(m_startX, m_startY, cx, cy);
  const double e = AngleAboutPoint(m_endX, m_endY, cx, cy);
  double angle = e - s;
  if (s > e) angle += g_twoPi;
  SetAngle(angle);
}

void CArcItem::RecalculateAngle() { SetAngleFromCentre(m_centreX, m_centreY); }

void CArcItem::GetStart(int& x, int& y) const {
  x = m_startX;
  y = m_startY;
}

void CArcItem::GetEnd(int& x, int& y) const {
  x = m_endX;
  y = m_endY;
}

void CArcItem::SetAngle(double angle) { UpdateField(m_angle, angle, UndoKind::kArcAngle, true); }

void CArcItem::SetStart(int x, int y) { UpdatePoint(m_startX, m_startY, x, y, UndoKind::kStart); }

void CArcItem::SetEnd(int x, int y) { UpdatePoint(m_endX, m_endY, x, y, UndoKind::kEnd); }

void CArcItem::SetHandle(int handle, int x, int y) {
  SetEndHandle(static_cast<std::int16_t>(handle), handle, x, y, kGlitchArcSetHandle);
}

void CArcItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CArcItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_startX = Add(m_startX, dx);
  m_startY = Add(m_startY, dy);
  m_endX = Add(m_endX, dx);
  m_endY = Add(m_endY, dy);
  m_centreX += dx;
  m_centreY += dy;
  GeometryChanged();
}

void CArcItem::MoveHandle(int handle, int dx, int dy) {
  MoveHandleShared(handle, dx, dy);
  Recalculate();
}

int CArcItem::GetHandleX(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_startX, m_endX},
                          kGlitchArcHandleX);
}

int CArcItem::GetHandleY(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_startY, m_endY},
                          kGlitchArcHandleY);
}

void CArcItem::Reverse() {
  std::swap(m_startX, m_endX);
  std::swap(m_startY, m_endY);
}

void CArcItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemArc) return;
  other->GetStart(m_startX, m_startY);
  other->GetEnd(m_endX, m_endY);
  m_angle = other->GetAngle();
  m_penWidth = other->GetPenWidth();
  Recalculate();
  GeometryChanged();
}

void CArcItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_startX, m_startY);
  transform.TransformPoint(m_endX, m_endY);
  // These turn counter-clockwise into clockwise.
  const bool mirrors = transform.GetKind() == kTransformReflection ||
                       (transform.GetKind() == kTransformStretch && transform.GetParameter() < 0.0);
  if (mirrors) Reverse();
  Recalculate();
  GeometryChanged();
}

CSlope& CArcItem::GetTangentAt(CSlope& out, int x, int y) const {
  out.Set(m_centreX - x, y - m_centreY);  // perpendicular to the radius
  return out;
}

double CArcItem::GetParameterAt(int x, int y) const {
  if (x == m_startX && y == m_startY) return 0.0;
  if (x == m_endX && y == m_endY) return 1.0;
  double a = AngleAbout(x, y);
  const double s = AngleAbout(m_startX, m_startY);
  double e = AngleAbout(m_endX, m_endY);
  if (std::abs(a - s) < 1e-7) return 0.0;
  if (std::abs(a - e) < 1e-7) return 1.0;
  if (e <= s) e += g_twoPi;
  if (a < s) a += g_twoPi;
  return (a - s) / (e - s);
}

int CArcItem::GetEndAt(int x, int y, std::int16_t tolerance) const {
  return EndAtShared(x, y, tolerance, m_startX, m_startY, m_endX, m_endY);
}

int CArcItem::GetTurnAt(int x, int y, int direction) const {
  const int sense = TurnAt(AngleAbout(x, y), direction);
  if (sense >= 0) return sense;
  SetGlitchValue(direction);
  ReportGlitch(kGlitchArcTurnDirection, 1);
  return kDirectionCounterClockwise;
}

int CArcItem::GetDirectionAt(int x, int y, int sense) const {
  const double c = AngleAbout(x, y);
  const bool top = std::abs(c - g_halfPi) < kTopTolerance;
  const bool bottom = std::abs(c - 3 * g_halfPi) < kTopTolerance;
  const bool rightHalf = c <= g_halfPi || c >= 3 * g_halfPi;
  if (sense == kDirectionClockwise) {
    if (top) return kDirectionRight;
    if (bottom) return kDirectionLeft;
    return rightHalf ? kDirectionDown : kDirectionUp;
  }
  if (sense == kDirectionCounterClockwise) {
    if (top) return kDirectionLeft;
    if (bottom) return kDirectionRight;
    return rightHalf ? kDirectionUp : kDirectionDown;
  }
  SetGlitchValue(sense);
  ReportGlitch(kGlitchArcDirectionSense, 1);
  return kDirectionDown;
}

int CArcItem::GetDirectionCode(int ax, int ay, int bx, int by) const {
  double f = AngleAbout(bx, by) - AngleAbout(ax, ay);
  if (f < -kPi) f += g_twoPi;
  if (f > kPi) f -= g_twoPi;
  return f >= 0.0 ? kDirectionCounterClockwise : kDirectionClockwise;
}

int CArcItem::GetEndDirection(int end) const {
  switch (static_cast<std::int16_t>(end)) {
    case 0:
      return GetDirectionAt(m_startX, m_startY, kDirectionCounterClockwise);
    case 1:
      return GetDirectionAt(m_endX, m_endY, kDirectionClockwise);
    default:
      SetGlitchValue(end);
      ReportGlitch(kGlitchArcEndDirection, 1);
      return 0;
  }
}

double CArcItem::GetTravel(int toX, int toY, int fromX, int fromY, int sense) const {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchArcTravelSense, 1);
    return -1.0;
  }
  double t = AngleAbout(toX, toY);
  double f = AngleAbout(fromX, fromY);
  const double s = AngleAbout(m_startX, m_startY);
  const double e = AngleAbout(m_endX, m_endY);
  const double lo = s - kTravelWidening;
  const double hi = e + kTravelWidening;
  double travel = 0.0;
  if (s < e) {
    if (t < lo || t > hi || f < lo || f > hi) return -1.0;
  } else {
    // The arc passes angle 0: the gap between its end and its start is outside it.
    if ((t > hi && t < lo) || (f > hi && f < lo)) return -1.0;
    if (t <= hi) t += g_twoPi;
    if (f <= hi) f += g_twoPi;
  }
  if (sense == kDirectionCounterClockwise) {
    if (f > t) return -1.0;
    travel = t - f;
  } else {
    if (f < t) return -1.0;
    travel = f - t;
  }
  return static_cast<double>(RoundToInt(m_radius * travel));
}

double CArcItem::GetPickDistance(const CViewMapping*) const {
  return GetDistanceTo(g_cursorPoint.x, g_cursorPoint.y);
}

double CArcItem::GetDistanceTo(int x, int y) const {
  const double s = AngleAbout(m_startX, m_startY);
  const double e = AngleAbout(m_endX, m_endY);
  const double a = AngleAbout(x, y);
  const bool within = e < s ? (a >= s || a <= e) : (s <= a && a <= e);
  if (within) return std::abs(Hypot(x - m_centreX, y - m_centreY) - m_radius);
  // Outside the arc's directions the nearest point of the arc is one of its ends: the one
  // with the smaller gap round the circle, which is also the nearer one.
  const double toStart =
      Hypot(static_cast<double>(x) - m_startX, static_cast<double>(y) - m_startY);
  const double toEnd = Hypot(static_cast<double>(x) - m_endX, static_cast<double>(y) - m_endY);
  return std::min(toStart, toEnd);
}

void CArcItem::GetRightmostPoint(int& x, int& y) const {
  const double s = AngleAbout(m_startX, m_startY);
  const double e = AngleAbout(m_endX, m_endY);
  if (s > e) {
    // The arc passes angle 0 and so holds the circle's rightmost point.
    x = RoundToInt(m_centreX + m_radius);
    y = RoundToInt(m_centreY);
  } else {
    const bool start = m_startX > m_endX || (m_startX == m_endX && m_startY > m_endY);
    x = start ? m_startX : m_endX;
    y = start ? m_startY : m_endY;
  }
  SkipUsedPieces(x, y);
}

void CArcItem::CalcBoundingBox(const CViewMapping*) const {
  const int cx = RoundToInt(m_centreX);
  const int cy = RoundToInt(m_centreY);
  const int r = CeilToInt(m_radius);
  g_itemBounds = {m_startX, m_startY, m_startX, m_startY};
  ExtendItemBounds(m_endX, m_endY);
  g_arcStartAngle = AngleAboutPoint(m_startX, m_startY, cx, cy);
  g_arcEndAngle = AngleAboutPoint(m_endX, m_endY, cx, cy);
  if (g_arcEndAngle <= g_arcStartAngle) g_arcEndAngle += g_twoPi;
  if (IsAngleInArcRange(0.0)) g_itemBounds.maxX = std::max(g_itemBounds.maxX, Add(cx, r));
  if (IsAngleInArcRange(g_halfPi)) g_itemBounds.maxY = std::max(g_itemBounds.maxY, Add(cy, r));
  if (IsAngleInArcRange(kPi)) g_itemBounds.minX = std::min(g_itemBounds.minX, Add(cx, -r));
  if (IsAngleInArcRange(3 * g_halfPi)) {
    g_itemBounds.minY = std::min(g_itemBounds.minY, Add(cy, -r));
  }
}

int CArcItem::IntersectScanLine(int y) const {
  double left = 0.0;
  double right = 0.0;
  if (CircleCrossings(m_centreX, m_centreY, m_radius, y, left, right) == 0) return 0;
  if (!EnsureIntersectionCapacity(2)) {
    ReportGlitch(kGlitchArcScanLine, kNumberNoMemory);
    return 0;
  }
  const double s = AngleAbout(m_startX, m_startY);
  const double e = AngleAbout(m_endX, m_endY);
  int count = 0;
  for (double x : {left, right}) {
    const double a = AngleAbout(x, y);
    // Both ends belong to the arc, whether or not it passes angle 0.
    const bool onArc = e >= s ? (s <= a && a <= e) : (a >= s || a <= e);
    if (!onArc) continue;
    const int ix = RoundToInt(x);
    if (count == 1 && g_intersectX[0] == ix) continue;
    g_intersectX[count++] = ix;
  }
  return count;
}

int CArcItem::IsEndReachedGoing(int x, int y, int direction) const {
  const int end = GetEndAt(x, y, 0);
  if (end != 0 && end != 1) return 0;
  const int otherX = end == 0 ? m_endX : m_startX;
  const int otherY = end == 0 ? m_endY : m_startY;
  switch (direction) {
    case kDirectionUp:
      return y >= otherY ? 1 : 0;
    case kDirectionDown:
      return otherY >= y ? 1 : 0;
    case kDirectionLeft:
      return otherX >= x ? 1 : 0;
    case kDirectionRight:
      return x >= otherX ? 1 : 0;
    case kDirectionClockwise:
      return end == 0 ? 1 : 0;
    case kDirectionCounterClockwise:
      return end == 1 ? 1 : 0;
    default:
      SetGlitchValue(direction);
      ReportGlitch(kGlitchArcEndReachedDirection, 1);
      return 0;
  }
}

int CArcItem::IsValid() const {
  if (!IsValidX(m_startX) || !IsValidX(m_endX)) return 0;
  if (!IsValidY(m_startY) || !IsValidY(m_endY)) return 0;
  if (m_startX == m_endX && m_startY == m_endY) return 0;
  if (!std::isfinite(m_angle) || m_angle <= kAngleMargin || m_angle >= g_twoPi - kAngleMargin) {
    return 0;
  }
  // The radius from the chord, chord / 2 / sin(angle / 2), compared without dividing.
  const double chord =
      Hypot(static_cast<double>(m_endX) - m_startX, static_cast<double>(m_endY) - m_startY);
  return chord / 2 <= kMaxArcRadius * std::sin(m_angle / 2) ? 1 : 0;
}

int CArcItem::IsVerticalAt(int, int y) const { return y == RoundToInt(m_centreY) ? 1 : 0; }

int CArcItem::Compare(const CDrawItem* other) const {
  if (other == nullptr) return 0;
  double ocx = 0.0;
  double ocy = 0.0;
  double radius = 0.0;
  if (other->GetType() == kItemArc) {
    other->GetCircle(ocx, ocy, radius);
  } else if (other->GetType() == kItemCircle) {
    int x = 0;
    int y = 0;
    other->GetCentre(x, y);
    ocx = x;
    ocy = y;
    radius = other->GetRadius();
  } else {
    return 0;
  }
  if (!(std::abs(radius - m_radius) <= kSameCircleTolerance) ||
      !(std::abs(ocx - m_centreX) <= kSameCircleTolerance) ||
      !(std::abs(ocy - m_centreY) <= kSameCircleTolerance)) {
    return 0;
  }
  if (other->GetType() == kItemCircle) return 3;  // the circle covers this arc

  const double s = AngleAbout(m_startX, m_startY);
  double e = AngleAbout(m_endX, m_endY);
  // An end that other shares with this arc gets this arc's angle for it: measured about two
  // centres a hair apart, one point would otherwise seem to lie on either side of itself.
  const auto angleOf = [&](int x, int y) {
    if (x == m_startX && y == m_startY) return s;
    if (x == m_endX && y == m_endY) return e;
    return AngleAboutPoint(x, y, ocx, ocy);
  };
  int ox = 0;
  int oy = 0;
  other->GetStart(ox, oy);
  double os = angleOf(ox, oy);
  other->GetEnd(ox, oy);
  double oe = angleOf(ox, oy);
  if (e < s) e += g_twoPi;
  if (oe < os) oe += g_twoPi;
  // Other's range placed to start within one turn from this arc's start, so that arcs on
  // either side of angle 0 compare round the circle.
  const double length = oe - os;
  while (os < s) os += g_twoPi;
  while (os >= s + g_twoPi) os -= g_twoPi;
  oe = os + length;
  if ((NearlyEqual(s, os) && NearlyEqual(e, oe)) ||
      (NearlyEqual(s + g_twoPi, os) && NearlyEqual(e + g_twoPi, oe))) {
    return 1;
  }
  if (os <= e) {  // other starts within this arc
    if (oe <= e) return 2;
    if (os == s) return 3;
    if (oe >= s + g_twoPi) return oe <= e + g_twoPi ? -2 : 3;
    return -1;
  }
  // Other starts after this arc's end: it reaches this arc only by coming round to its start.
  if (oe < s + g_twoPi) return 0;
  return oe >= e + g_twoPi ? 3 : -1;
}

DrawItemPtr CArcItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemArc, OnCircle(m_centreX, m_centreY));
}

void CArcItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                    int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const DrawSetup setup = BeginDraw(*dc, colourMode, thin, GetColour());
  const zeph::CDrawContext* printer = setup.printing ? dc : nullptr;
  int originX = 0;
  int originY = 0;
  mapping->GetOrigin(originX, originY);
  const double scaleX = mapping->GetScaleX(printer);
  const double scaleY = mapping->GetScaleY(printer);
  const int startX = ToDevice(static_cast<double>(m_startX) - originX, scaleX);
  const int startY = ToDevice(static_cast<double>(originY) - m_startY, scaleY);
  const int endX = ToDevice(static_cast<double>(m_endX) - originX, scaleX);
  const int endY = ToDevice(static_cast<double>(originY) - m_endY, scaleY);
  const int centreX = ToDevice(m_centreX - originX, scaleX);
  const int centreY = ToDevice(originY - m_centreY, scaleY);
  int rx = ToDevice(m_radius, scaleX);
  int ry = ToDevice(m_radius, scaleY);
  // An arc ending on the axes meets its end pixels exactly.
  if (startX == centreX && endY == centreY) {
    rx = ClampInt64ToInt(std::llabs(static_cast<std::int64_t>(endX) - centreX));
    ry = ClampInt64ToInt(std::llabs(static_cast<std::int64_t>(startY) - centreY));
  } else if (endX == centreX && startY == centreY) {
    rx = ClampInt64ToInt(std::llabs(static_cast<std::int64_t>(startX) - centreX));
    ry = ClampInt64ToInt(std::llabs(static_cast<std::int64_t>(endY) - centreY));
  }
  CArcPlotter plotter;
  plotter.SetPenWidth(GetDeviceArcPenWidth(m_penWidth, setup.printerFactors));
  plotter.Draw(*dc, centreX, centreY, rx, ry, startX, startY, endX, endY, setup.colour);
  EndDraw(*dc, setup);
}

void CArcItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldArcAngle});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueArcAngle = m_angle;
}

void CArcItem::PublishInformation() const {
  PublishFieldIds({kFieldArcCentre, kFieldArcStart, kFieldArcEnd, kFieldArcRadiusLength});
  g_valueCentreX = RoundToInt(m_centreX);
  g_valueCentreY = RoundToInt(m_centreY);
  g_valueStartX = m_startX;
  g_valueStartY = m_startY;
  g_valueEndX = m_endX;
  g_valueEndY = m_endY;
  g_valueRadius = m_radius;
  g_valueLength = m_radius * m_angle;
}

void CArcItem::TrimOverlap(CDrawItem* other) {
  ArcOverlap o;
  if (!ReadArcOverlap(other, kGlitchTrimNotArc, EndAnglesOf, o)) return;
  // Both tests before any end moves.
  const bool endInside = InAngleRange(o.oe, o.s, o.e);
  const bool startInside = InAngleRange(o.os, o.s, o.e);
  if (endInside) MoveEndTemporarily(0, o.oex, o.oey);
  if (startInside) MoveEndTemporarily(1, o.osx, o.osy);
}

void CArcItem::MergeOverlap(CDrawItem* other) {
  ArcOverlap o;
  if (!ReadArcOverlap(other, kGlitchMergeNotArc, EndAnglesOf, o)) return;
  // Round the circle, so that an overlap across angle 0 is found like any other.
  if (InAngleRange(o.oe, o.s, o.e)) {
    MoveEndTemporarily(0, o.osx, o.osy);  // this arc now begins where other begins
  } else if (InAngleRange(o.os, o.s, o.e)) {
    MoveEndTemporarily(1, o.oex, o.oey);
  } else {
    ReportGlitch(kGlitchMergeNotArc, 2);
  }
}

void CArcItem::MoveEndTemporarily(int end, int x, int y) {
  if (m_moved.flags == 0) m_savedAngle = m_angle;
  m_moved.Move(end, x, y, m_startX, m_startY, m_endX, m_endY);
  // The included angle follows the ends about the unchanged centre.
  double angle = AngleAbout(m_endX, m_endY) - AngleAbout(m_startX, m_startY);
  if (angle <= 0.0) angle += g_twoPi;
  m_angle = angle;
  GeometryChanged();
}

void CArcItem::RestoreEnds() {
  if (!m_moved.Restore(m_startX, m_startY, m_endX, m_endY)) return;
  m_angle = m_savedAngle;
  GeometryChanged();
}

// =============================================================================================
// CCircleItem

CCircleItem::CCircleItem() : CDrawItem(kItemCircle) {}

void CCircleItem::GetCentre(int& x, int& y) const {
  x = m_centreX;
  y = m_centreY;
}

void CCircleItem::SetCentre(int x, int y) {
  UpdatePoint(m_centreX, m_centreY, x, y, UndoKind::kCentre);
}

void CCircleItem::SetRadius(int radius) { UpdateField(m_radius, radius, UndoKind::kRadius, true); }

void CCircleItem::SetHandle(int handle, int x, int y) {
  if (CheckHandle(static_cast<std::int16_t>(handle), 1, handle, kGlitchCircleSetHandle)) {
    SetCentre(x, y);
  }
}

void CCircleItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CCircleItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_centreX = Add(m_centreX, dx);
  m_centreY = Add(m_centreY, dy);
  GeometryChanged();
}

int CCircleItem::GetHandleX(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_centreX},
                          kGlitchCircleHandleX);
}

int CCircleItem::GetHandleY(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_centreY},
                          kGlitchCircleHandleY);
}

void CCircleItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemCircle) return;
  other->GetCentre(m_centreX, m_centreY);
  m_radius = other->GetRadius();
  m_penWidth = other->GetPenWidth();
  GeometryChanged();
}

void CCircleItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_centreX, m_centreY);
  if (transform.GetKind() == kTransformEnlargement) {
    m_radius = std::abs(RoundToInt(m_radius * transform.GetParameter()));
  }
  GeometryChanged();
}

CSlope& CCircleItem::GetTangentAt(CSlope& out, int x, int y) const {
  out.Set(static_cast<double>(m_centreX) - x, static_cast<double>(y) - m_centreY);
  return out;
}

double CCircleItem::GetParameterAt(int x, int y) const {
  return AngleAboutPoint(x, y, m_centreX, m_centreY) / g_twoPi;
}

int CCircleItem::GetTurnAt(int x, int y, int direction) const {
  const int sense = TurnAt(AngleAboutPoint(x, y, m_centreX, m_centreY), direction);
  if (sense >= 0) return sense;
  SetGlitchValue(direction);
  ReportGlitch(kGlitchCircleTurnDirection, 1);
  return kDirectionCounterClockwise;
}

int CCircleItem::GetDirectionAt(int x, int y, int sense) const {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchCircleDirectionSense, 1);
    return kDirectionDown;
  }
  const bool clockwise = sense == kDirectionClockwise;
  if (x == m_centreX) {
    const bool bottom = y <= m_centreY;
    if (clockwise) return bottom ? kDirectionLeft : kDirectionRight;
    return bottom ? kDirectionRight : kDirectionLeft;
  }
  const double c = AngleAboutPoint(x, y, m_centreX, m_centreY);
  const bool leftHalf = c > g_halfPi && c < 3 * g_halfPi;
  if (clockwise) return leftHalf ? kDirectionUp : kDirectionDown;
  return leftHalf ? kDirectionDown : kDirectionUp;
}

double CCircleItem::GetTravel(int toX, int toY, int fromX, int fromY, int sense) const {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchCircleTravelSense, 1);
    return -1.0;
  }
  return CircleTravel(m_radius, AngleAboutPoint(toX, toY, m_centreX, m_centreY),
                      AngleAboutPoint(fromX, fromY, m_centreX, m_centreY), sense);
}

double CCircleItem::GetPickDistance(const CViewMapping*) const {
  const double d = Hypot(static_cast<double>(g_cursorPoint.x) - m_centreX,
                         static_cast<double>(g_cursorPoint.y) - m_centreY);
  if (d < m_radius / 2.0) return d;  // the middle picks the circle
  return std::abs(d - m_radius);
}

double CCircleItem::GetDistanceTo(int x, int y) const {
  const double d = Hypot(static_cast<double>(x) - m_centreX, static_cast<double>(y) - m_centreY);
  return std::abs(d - m_radius);
}

void CCircleItem::GetRightmostPoint(int& x, int& y) const {
  x = Add(m_centreX, m_radius);
  y = m_centreY;
}

void CCircleItem::CalcBoundingBox(const CViewMapping*) const {
  g_itemBounds.minX = Add(m_centreX, -m_radius);
  g_itemBounds.minY = Add(m_centreY, -m_radius);
  g_itemBounds.maxX = Add(m_centreX, m_radius);
  g_itemBounds.maxY = Add(m_centreY, m_radius);
}

int CCircleItem::IntersectScanLine(int y) const {
  double left = 0.0;
  double right = 0.0;
  if (CircleCrossings(m_centreX, m_centreY, m_radius, y, left, right) == 0) return 0;
  if (!EnsureIntersectionCapacity(2)) {
    ReportGlitch(kGlitchCircleScanLine, kNumberNoMemory);
    return 0;
  }
  g_intersectX[0] = RoundToInt(left);
  const int second = RoundToInt(right);
  if (second == g_intersectX[0]) return 1;  // a tangent line counts once
  g_intersectX[1] = second;
  return 2;
}

int CCircleItem::ContainsPoint(int x, int y) const {
  const Int128 dx = static_cast<std::int64_t>(x) - m_centreX;
  const Int128 dy = static_cast<std::int64_t>(y) - m_centreY;
  const Int128 r = m_radius;
  return dx * dx + dy * dy <= r * r ? 1 : 0;
}

int CCircleItem::IsValid() const {
  if (!IsValidX(m_centreX) || !IsValidY(m_centreY)) return 0;
  // A radius of 0 or less makes no circle, and one beyond the limit would take its box past
  // the coordinate range.
  return (m_radius > 0 && m_radius <= kMaxArcRadius) ? 1 : 0;
}

int CCircleItem::Compare(const CDrawItem* other) const {
  if (other == nullptr) return 0;
  if (other->GetType() == kItemCircle) {
    int x = 0;
    int y = 0;
    other->GetCentre(x, y);
    return (x == m_centreX && y == m_centreY && other->GetRadius() == m_radius) ? 1 : 0;
  }
  if (other->GetType() == kItemArc) {
    const int answer = other->Compare(this);
    return answer == 3 ? 2 : answer;  // the arc lies within this circle
  }
  return 0;
}

DrawItemPtr CCircleItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemArc, OnCircle(m_centreX, m_centreY));
}

void CCircleItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                       int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const DrawSetup setup = BeginDraw(*dc, colourMode, thin, GetColour());
  const zeph::CDrawContext* printer = setup.printing ? dc : nullptr;
  const int left = mapping->DrawingToDeviceX(Add(m_centreX, -m_radius), printer);
  const int top = mapping->DrawingToDeviceY(Add(m_centreY, m_radius), printer);
  const int right = Add(mapping->DrawingToDeviceX(Add(m_centreX, m_radius), printer), 1);
  const int bottom = Add(mapping->DrawingToDeviceY(Add(m_centreY, -m_radius), printer), 1);

  zeph::DcPen pen;
  pen.style = zeph::PenStyle::kSolid;
  pen.width = GetDevicePenWidth(m_penWidth, setup.printerFactors);
  pen.colour = setup.colour;
  const zeph::DcPen oldPen = dc->SelectPen(pen);
  const zeph::DcBrush oldBrush = dc->SelectBrush(zeph::DcBrush{zeph::BrushStyle::kNull, 0});
  const zeph::DcRect clip = dc->GetClipBox();
  if (right >= clip.left && left <= clip.right && bottom >= clip.top && top <= clip.bottom) {
    dc->Ellipse(left, top, right, bottom);
  }
  dc->SelectBrush(oldBrush);
  dc->SelectPen(oldPen);
  EndDraw(*dc, setup);
}

void CCircleItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldCircleRadius});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueCircleRadius = m_radius;
}

void CCircleItem::PublishInformation() const {
  PublishFieldIds({kFieldCircleCentre, kFieldRadius});
  g_valueCentreX = m_centreX;
  g_valueCentreY = m_centreY;
  g_valueRadius = m_radius;
}
