#include "items/ellipseitem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "items/geometry.h"
#include "items/intersect.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/uiutil.h"

double g_valueRotation = 0.0;
std::int32_t g_valueRadiusA = 0;
std::int32_t g_valueRadiusB = 0;

void ResetEllipseValueFields() {
  g_valueRotation = 0.0;
  g_valueRadiusA = 0;
  g_valueRadiusB = 0;
}

namespace {

constexpr int kGlitchEllipseTurn = 1801;
constexpr int kGlitchEllipseTravel = 1802;
constexpr int kGlitchEllipseScanLine = 1805;
constexpr int kGlitchEllipseDirection = 1806;
constexpr int kGlitchEllipseSetHandle = 1807;
constexpr int kGlitchEllipseHandleX = 1808;
constexpr int kGlitchEllipseHandleY = 1809;
constexpr int kGlitchArcTrimNotArc = 1821;
constexpr int kGlitchArcTurn = 1822;
constexpr int kGlitchArcMerge = 1823;
constexpr int kGlitchArcTravel = 1824;
constexpr int kGlitchArcScanLine = 1827;
constexpr int kGlitchArcEndReached = 1828;
constexpr int kGlitchArcDirection = 1829;
constexpr int kGlitchArcEndDirection = 1831;
constexpr int kGlitchArcHandleX = 1832;
constexpr int kGlitchArcHandleY = 1833;
constexpr int kGlitchSetHandleShared = 1711;
constexpr int kGlitchOutOfResults = 8990;
constexpr int kLogUndoCapture = 1921;
constexpr int kLogUndoSwap = 1922;

constexpr double kTravelSlack = 1e-4;
constexpr double kPickSlack = 1e-4;
constexpr double kAngleSlack = 1e-7;

// One ellipse in doubles, for the bodies both kinds share.
struct Shape {
  double cx;
  double cy;
  double a;
  double b;
  double th;
};

// How the components of the axis vectors U = (a cos, a sin), V = (-b sin, b cos) are taken.
enum class Components { kExact, kRounded, kOutward };

// The coefficients of Sy dx^2 + 2 K dx dy + Sx dy^2 = a^2 b^2.
struct Sums {
  double sx;
  double sy;
  double k;
};

Sums SumsOf(const Shape& e, Components mode) {
  double p = e.a * std::cos(e.th);
  double q = e.a * std::sin(e.th);
  double r = e.b * std::sin(e.th);
  double s = e.b * std::cos(e.th);
  if (mode == Components::kRounded) {
    p = RoundToWhole(p);
    q = RoundToWhole(q);
    r = RoundToWhole(r);
    s = RoundToWhole(s);
  } else if (mode == Components::kOutward) {
    p = CeilToWhole(p);
    q = CeilToWhole(q);
    r = CeilToWhole(r);
    s = CeilToWhole(s);
  }
  return {p * p + r * r, q * q + s * s, -(p * q - r * s)};
}

double Ratio(double n, double d) { return d != 0.0 ? n / d : 0.0; }

// Half-width W and half-height H (the square roots of Sx and Sy for exact components).
void ExtentsOf(const Shape& e, const Sums& m, double& w, double& h) {
  const double det = m.sx * m.sy - m.k * m.k;
  const double ab2 = e.a * e.a * e.b * e.b;
  if (det > 0.0) {
    w = std::sqrt(m.sx * ab2 / det);
    h = std::sqrt(m.sy * ab2 / det);
  } else {
    w = std::sqrt(m.sx);
    h = std::sqrt(m.sy);
  }
}

double PolarAngle(const Shape& e, double x, double y) { return AngleOf(y - e.cy, x - e.cx); }

void TangentAt(const Shape& e, int x, int y, CSlope& out) {
  const Sums m = SumsOf(e, Components::kRounded);
  const double dx = x - e.cx;
  const double dy = y - e.cy;
  const double gx = m.sy * dx + m.k * dy;
  const double gy = m.k * dx + m.sx * dy;
  out.Set(-gx, gy);  // across the gradient
}

// The sense (4 or 5) that moves the point in the linear direction; glitch for others.
int TurnAt(const Shape& e, int x, int y, int direction, int glitch) {
  const Sums m = SumsOf(e, Components::kExact);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const double d = AngleOf(RoundToInt(h), -RoundToInt(Ratio(m.k * h, m.sy)));
  const double c = AngleOf(-RoundToInt(Ratio(m.k * w, m.sx)), RoundToInt(w));
  const double beta = PolarAngle(e, x, y);
  bool clockwise = false;
  switch (direction) {
    case kDirectionUp:
      clockwise = d <= beta && beta < d + kPi;
      break;
    case kDirectionDown:
      clockwise = beta < d || beta >= d + kPi;
      break;
    case kDirectionLeft:
      clockwise = c < kPi ? (beta <= c || beta > c + kPi) : (c - kPi <= beta && beta < c);
      break;
    case kDirectionRight:
      clockwise = c < kPi ? (c <= beta && beta < c + kPi) : (beta <= c - kPi || beta > c);
      break;
    default:
      SetGlitchValue(direction);
      ReportGlitch(glitch, 1);
      return kDirectionCounterClockwise;
  }
  return clockwise ? kDirectionClockwise : kDirectionCounterClockwise;
}

// The travel along the curve for a swept angle: the mean semi-axis times the angle.
double TravelOf(const Shape& e, double sweep) {
  return static_cast<double>(RoundToInt((e.a + e.b) * sweep / 2.0));
}

// The radius of the ellipse in the direction of P, and the distance of P from the centre.
void RadiusToward(const Shape& e, double px, double py, double& rho, double& d) {
  d = Hypot(px - e.cx, py - e.cy);
  const double phi = std::atan2(py - e.cy, px - e.cx) - e.th;
  const double across = Hypot(e.b * std::cos(phi), e.a * std::sin(phi));
  rho = across != 0.0 ? std::fabs(e.a * e.b) / across : 0.0;
}

// Offsets X (relative to the centre) where the line y = Y crosses; 0 or 2 roots (the
// smaller first), equal for a tangent line.
int ScanLineRoots(const Shape& e, double y, double roots[2]) {
  const double c = std::cos(e.th);
  const double s = std::sin(e.th);
  const double p = RoundToWhole(e.a * c);
  const double q = RoundToWhole(e.a * s);
  const double r = RoundToWhole(e.b * s);
  const double t = RoundToWhole(e.b * c);
  const double rise = y - e.cy;
  const double qa = q * q + t * t;
  const double qb = -2.0 * (p * q - r * t) * rise;
  const double qc = (p * p + r * r) * rise * rise - e.a * e.a * e.b * e.b;
  const double disc = qb * qb - 4.0 * qa * qc;
  if (!(disc >= 0.0) || qa == 0.0) return 0;
  const double root = std::sqrt(disc);
  roots[0] = (-qb - root) / (2.0 * qa);
  roots[1] = (-qb + root) / (2.0 * qa);
  return 2;
}

int IsVertical(const Shape& e, int x, int y) {
  const Sums m = SumsOf(e, Components::kRounded);
  return RoundToInt(m.k * (x - e.cx) + m.sx * (y - e.cy)) == 0 ? 1 : 0;
}

// The direction code of travel in sense 4 or 5 at (x, y), given the top and bottom points.
int DirectionAt(const Shape& e, int x, int y, int sense, int topX, int topY, int bottomX,
                int bottomY, int glitch) {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(glitch, 1);
    return sense;
  }
  const bool clockwise = sense == kDirectionClockwise;
  const bool atTop = x == topX;
  const bool atBottom = x == bottomX;
  if (!atTop && !atBottom) {
    const double beta = PolarAngle(e, x, y);
    const double d = PolarAngle(e, topX, topY);
    const bool leftHalf = d <= beta && beta < d + kPi;
    return leftHalf == clockwise ? kDirectionUp : kDirectionDown;
  }
  bool right = false;  // sense 4 at the top goes right
  if (atTop && !atBottom) {
    right = true;
  } else if (atTop && atBottom) {
    right = static_cast<double>(topY) - y < static_cast<double>(y) - bottomY;
  }
  if (!clockwise) right = !right;
  return right ? kDirectionRight : kDirectionLeft;
}

int Add(int a, int b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + b); }

int Magnitude(int v) { return v < 0 ? ClampInt64ToInt(-static_cast<std::int64_t>(v)) : v; }

bool IsValidSemiAxis(double v) {
  return std::isfinite(v) && v != 0.0 && std::fabs(v) <= kMaxSemiAxis;
}

// Whether an angle lies in [low, high] taken modulo a full turn (low in [0, 2 pi)).
bool InSweep(double angle, double low, double high) {
  angle = NormaliseAngle(angle, 0);
  return (low <= angle && angle <= high) || (low <= angle + g_twoPi && angle + g_twoPi <= high);
}

// Copies the state bits of source (selected, undo mark, hidden, not shown).
void CopyState(CDrawItem& target, const CDrawItem& source) {
  const std::uint8_t state = source.GetState();
  target.SetSelected((state & kStateSelected) != 0 ? 1 : 0);
  (state & kStateUndoMark) != 0 ? target.SetUndoMark() : target.ClearUndoMark();
  (state & kStateHidden) != 0 ? target.SetHidden() : target.ClearHidden();
  (state & kStateInvisible) != 0 ? target.SetInvisible() : target.ClearInvisible();
}

// Puts an elliptic-arc piece on the ellipse it was cut from.
auto OnEllipse(double cx, double cy, double a, double b, double rotation) {
  return [=](CDrawItem& piece) {
    piece.SetCentreExact(cx, cy);
    piece.SetRadii(a, b);
    piece.SetRotation(rotation);
  };
}

}  // namespace

// ======================================================================================
// CEllipseItem
// ======================================================================================

CEllipseItem::CEllipseItem() : CDrawItem(kItemEllipse) {}

namespace {
Shape ShapeOf(const CEllipseItem& e) {
  int cx = 0;
  int cy = 0;
  int a = 0;
  int b = 0;
  e.GetCentre(cx, cy);
  e.GetSemiAxes(a, b);
  return {static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(a),
          static_cast<double>(b), e.GetRotation()};
}
}  // namespace

void CEllipseItem::GetSemiAxes(int& a, int& b) const {
  a = m_semiA;
  b = m_semiB;
}

void CEllipseItem::GetCentre(int& x, int& y) const {
  x = m_centreX;
  y = m_centreY;
}

void CEllipseItem::SetCentre(int x, int y) {
  UpdatePoint(m_centreX, m_centreY, x, y, UndoKind::kCentre);
}

void CEllipseItem::SetSemiAxes(int a, int b) {
  UpdatePoint(m_semiA, m_semiB, Magnitude(a), Magnitude(b), UndoKind::kSemiAxes);
}

void CEllipseItem::SetRotation(double rotation) {
  UpdateField(m_rotation, rotation, UndoKind::kRotation, true);
}

void CEllipseItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CEllipseItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_centreX = Add(m_centreX, dx);
  m_centreY = Add(m_centreY, dy);
  GeometryChanged();
}

void CEllipseItem::MoveHandle(int handle, int dx, int dy) { MoveHandleShared(handle, dx, dy); }

void CEllipseItem::SetHandle(int handle, int x, int y) {
  if (CheckHandle(handle, 1, handle, kGlitchEllipseSetHandle)) SetCentre(x, y);
}

int CEllipseItem::GetHandleX(int handle) const {
  return HandleCoordinate(handle, handle, {m_centreX}, kGlitchEllipseHandleX);
}

int CEllipseItem::GetHandleY(int handle) const {
  return HandleCoordinate(handle, handle, {m_centreY}, kGlitchEllipseHandleY);
}

CSlope& CEllipseItem::GetTangentAt(CSlope& out, int x, int y) const {
  TangentAt(ShapeOf(*this), x, y, out);
  return out;
}

double CEllipseItem::GetParameterAt(int x, int y) const {
  return AngleOf(static_cast<double>(y) - m_centreY, static_cast<double>(x) - m_centreX) / g_twoPi;
}

int CEllipseItem::GetTurnAt(int x, int y, int direction) const {
  return TurnAt(ShapeOf(*this), x, y, direction, kGlitchEllipseTurn);
}

double CEllipseItem::GetTravel(int toX, int toY, int fromX, int fromY, int sense) const {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchEllipseTravel, 1);
    return -1.0;
  }
  const Shape e = ShapeOf(*this);
  const double to = PolarAngle(e, toX, toY);
  const double from = PolarAngle(e, fromX, fromY);
  double sweep = sense == kDirectionCounterClockwise ? to - from : from - to;
  if (sweep < 0.0) sweep += g_twoPi;
  return TravelOf(e, sweep);
}

double CEllipseItem::GetPickDistance(const CViewMapping*) const {
  double rho = 0.0;
  double d = 0.0;
  RadiusToward(ShapeOf(*this), g_cursorPoint.x, g_cursorPoint.y, rho, d);
  // Near the centre the ellipse is picked by its centre.
  if (rho / 2.0 > d) return d;
  return std::fabs(d - rho);
}

double CEllipseItem::GetDistanceTo(int x, int y) const {
  double rho = 0.0;
  double d = 0.0;
  RadiusToward(ShapeOf(*this), x, y, rho, d);
  return std::fabs(d - rho);
}

void CEllipseItem::GetRightmostPoint(int& x, int& y) const {
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kExact);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  x = Add(m_centreX, RoundToInt(w));
  y = Add(m_centreY, -RoundToInt(Ratio(m.k * w, m.sx)));
}

void CEllipseItem::CalcBoundingBox(const CViewMapping*) const {
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kOutward);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const int halfW = CeilToInt(w);
  const int halfH = CeilToInt(h);
  g_itemBounds.minX = Add(m_centreX, -halfW);
  g_itemBounds.minY = Add(m_centreY, -halfH);
  g_itemBounds.maxX = Add(m_centreX, halfW);
  g_itemBounds.maxY = Add(m_centreY, halfH);
}

int CEllipseItem::IntersectScanLine(int y) const {
  double roots[2];
  if (ScanLineRoots(ShapeOf(*this), y, roots) == 0) return 0;
  if (EnsureIntersectionCapacity(2) == 0) {
    ReportGlitch(kGlitchEllipseScanLine, kGlitchOutOfResults);
    return 0;
  }
  int count = 0;
  for (const double root : roots) {
    const int x = RoundToInt(m_centreX + root);
    if (count == 1 && g_intersectX[0] == x) continue;  // a tangent line crosses once
    g_intersectX[static_cast<std::size_t>(count++)] = x;
  }
  return count;
}

int CEllipseItem::ContainsPoint(int x, int y) const {
  double roots[2];
  if (ScanLineRoots(ShapeOf(*this), y, roots) == 0) return 0;
  return m_centreX + roots[0] <= x && x <= m_centreX + roots[1] ? 1 : 0;
}

int CEllipseItem::IsValid() const {
  return IsValidX(m_centreX) != 0 && IsValidY(m_centreY) != 0 && IsValidSemiAxis(m_semiA) &&
                 IsValidSemiAxis(m_semiB) && std::isfinite(m_rotation)
             ? 1
             : 0;
}

int CEllipseItem::IsVerticalAt(int x, int y) const { return IsVertical(ShapeOf(*this), x, y); }

int CEllipseItem::GetDirectionAt(int x, int y, int sense) const {
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kExact);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const int offsetX = RoundToInt(Ratio(m.k * h, m.sy));
  const int offsetY = RoundToInt(h);
  return DirectionAt(e, x, y, sense, Add(m_centreX, -offsetX), Add(m_centreY, offsetY),
                     Add(m_centreX, offsetX), Add(m_centreY, -offsetY), kGlitchEllipseDirection);
}

int CEllipseItem::Compare(const CDrawItem* other) const {
  if (other == nullptr || other->GetType() != kItemEllipse) return 0;
  int cx = 0;
  int cy = 0;
  int a = 0;
  int b = 0;
  other->GetCentre(cx, cy);
  other->GetSemiAxes(a, b);
  return cx == m_centreX && cy == m_centreY && a == m_semiA && b == m_semiB &&
                 NearlyEqual(other->GetRotation(), m_rotation) != 0
             ? 1
             : 0;
}

void CEllipseItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != GetType()) return;
  other->GetCentre(m_centreX, m_centreY);
  other->GetSemiAxes(m_semiA, m_semiB);
  m_rotation = other->GetRotation();
  m_penWidth = other->GetPenWidth();
}

void CEllipseItem::SetFromCircle(const CDrawItem* circle) {
  if (circle == nullptr) return;
  // A new ellipse has no document yet, so these are plain stores.
  SetColour(circle->GetColour());
  SetObjectNumber(circle->GetObjectNumber());
  circle->GetCentre(m_centreX, m_centreY);
  m_semiA = Magnitude(circle->GetRadius());
  m_semiB = m_semiA;
  m_rotation = 0.0;
  m_penWidth = circle->GetPenWidth();
  CopyState(*this, *circle);
}

DrawItemPtr CEllipseItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemEllipseArc,
                        OnEllipse(m_centreX, m_centreY, m_semiA, m_semiB, m_rotation));
}

void CEllipseItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldRotation});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueRotation = m_rotation;
}

void CEllipseItem::PublishInformation() const {
  PublishFieldIds({kFieldEllipseCentre, kFieldRadii});
  g_valueCentreX = m_centreX;
  g_valueCentreY = m_centreY;
  g_valueRadiusA = m_semiA;
  g_valueRadiusB = m_semiB;
}

// ======================================================================================
// CEllipseArcItem
// ======================================================================================

CEllipseArcItem::CEllipseArcItem() : CDrawItem(kItemEllipseArc) {}

namespace {
Shape ShapeOf(const CEllipseArcItem& e) {
  double cx = 0.0;
  double cy = 0.0;
  double a = 0.0;
  double b = 0.0;
  e.GetCentreExact(cx, cy);
  e.GetRadii(a, b);
  return {cx, cy, a, b, e.GetRotation()};
}

// The start and end angles of an elliptic arc about its own centre.
void AnglesOf(const CDrawItem& arc, double& start, double& end) {
  double cx = 0.0;
  double cy = 0.0;
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  arc.GetCentreExact(cx, cy);
  arc.GetStart(sx, sy);
  arc.GetEnd(ex, ey);
  start = AngleOf(sy - cy, sx - cx);
  end = AngleOf(ey - cy, ex - cx);
}
}  // namespace

double CEllipseArcItem::StartAngle() const {
  return AngleOf(m_startY - m_centreY, m_startX - m_centreX);
}

double CEllipseArcItem::EndAngle() const { return AngleOf(m_endY - m_centreY, m_endX - m_centreX); }

void CEllipseArcItem::GetStart(int& x, int& y) const {
  x = m_startX;
  y = m_startY;
}

void CEllipseArcItem::GetEnd(int& x, int& y) const {
  x = m_endX;
  y = m_endY;
}

void CEllipseArcItem::GetCentreExact(double& x, double& y) const {
  x = m_centreX;
  y = m_centreY;
}

void CEllipseArcItem::GetRadii(double& a, double& b) const {
  a = m_radiusA;
  b = m_radiusB;
}

void CEllipseArcItem::SetStart(int x, int y) {
  UpdatePoint(m_startX, m_startY, x, y, UndoKind::kStart);
}

void CEllipseArcItem::SetEnd(int x, int y) { UpdatePoint(m_endX, m_endY, x, y, UndoKind::kEnd); }

void CEllipseArcItem::SetCentreExact(double x, double y) {
  if (x == m_centreX && y == m_centreY) return;
  if (!BeginChange(UndoKind::kCentreExact)) return;
  m_centreX = x;
  m_centreY = y;
  GeometryChanged();
}

void CEllipseArcItem::SetRadii(double a, double b) {
  a = std::fabs(a);
  b = std::fabs(b);
  if (a == m_radiusA && b == m_radiusB) return;
  if (!BeginChange(UndoKind::kRadii)) return;
  m_radiusA = a;
  m_radiusB = b;
  GeometryChanged();
}

void CEllipseArcItem::SetRotation(double rotation) {
  UpdateField(m_rotation, rotation, UndoKind::kRotation, true);
}

void CEllipseArcItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CEllipseArcItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_startX = Add(m_startX, dx);
  m_startY = Add(m_startY, dy);
  m_endX = Add(m_endX, dx);
  m_endY = Add(m_endY, dy);
  m_centreX += dx;
  m_centreY += dy;
  GeometryChanged();
}

void CEllipseArcItem::MoveHandle(int handle, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  if (!CheckHandle(handle, 2, handle, kGlitchArcHandleX)) return;
  if (!BeginChange(UndoKind::kEllipseArcGeometry)) return;
  const int fixedX = handle == 0 ? m_endX : m_startX;
  const int fixedY = handle == 0 ? m_endY : m_startY;
  const int movedX = handle == 0 ? m_startX : m_endX;
  const int movedY = handle == 0 ? m_startY : m_endY;
  const double reachX = static_cast<double>(movedX) - fixedX;
  const double reachY = static_cast<double>(movedY) - fixedY;
  const double newReachX = reachX + dx;
  const double newReachY = reachY + dy;
  // Turn and scale the whole arc about the fixed end so the moved end follows.
  CTransform turn;
  turn.SetRotation((AngleOf(newReachY, newReachX) - AngleOf(reachY, reachX)) * g_degreesPerRadian,
                   fixedX, fixedY);
  Transform(turn);
  const double reach = Hypot(reachX, reachY);
  if (reach != 0.0) {
    CTransform scale;
    scale.SetEnlargement(Hypot(newReachX, newReachY) / reach, fixedX, fixedY);
    Transform(scale);
  }
  // The two transformations round the end twice; the handle lands where it was put.
  const int targetX = Add(movedX, dx);
  const int targetY = Add(movedY, dy);
  (handle == 0 ? m_startX : m_endX) = targetX;
  (handle == 0 ? m_startY : m_endY) = targetY;
  GeometryChanged();
}

void CEllipseArcItem::SetHandle(int handle, int x, int y) {
  SetEndHandle(handle, handle, x, y, kGlitchSetHandleShared);
}

int CEllipseArcItem::GetHandleX(int handle) const {
  return HandleCoordinate(handle, handle, {m_startX, m_endX}, kGlitchArcHandleX);
}

int CEllipseArcItem::GetHandleY(int handle) const {
  return HandleCoordinate(handle, handle, {m_startY, m_endY}, kGlitchArcHandleY);
}

void CEllipseArcItem::Reverse() {
  std::swap(m_startX, m_endX);
  std::swap(m_startY, m_endY);
}

CSlope& CEllipseArcItem::GetTangentAt(CSlope& out, int x, int y) const {
  TangentAt(ShapeOf(*this), x, y, out);
  return out;
}

double CEllipseArcItem::GetParameterAt(int x, int y) const {
  if (x == m_startX && y == m_startY) return 0.0;
  if (x == m_endX && y == m_endY) return 1.0;
  double angle = AngleOf(y - m_centreY, x - m_centreX);
  const double start = StartAngle();
  double end = EndAngle();
  if (std::fabs(angle - start) < kAngleSlack) return 0.0;
  if (std::fabs(angle - end) < kAngleSlack) return 1.0;
  if (end <= start) end += g_twoPi;
  if (angle < start) angle += g_twoPi;
  return (angle - start) / (end - start);
}

int CEllipseArcItem::GetEndAt(int x, int y, std::int16_t tolerance) const {
  return EndAtShared(x, y, tolerance, m_startX, m_startY, m_endX, m_endY);
}

int CEllipseArcItem::IsEndReachedGoing(int x, int y, int direction) const {
  const int end = GetEndAt(x, y, 0);
  if (end != 0 && end != 1) return 0;
  int sense = direction;
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    sense = GetTurnAt(x, y, direction);
  }
  if (sense == kDirectionClockwise) return end == 0 ? 1 : 0;
  if (sense == kDirectionCounterClockwise) return end == 1 ? 1 : 0;
  SetGlitchValue(sense);
  ReportGlitch(kGlitchArcEndReached, 1);
  return 0;
}

int CEllipseArcItem::GetEndDirection(int end) const {
  if (end == 0) return GetDirectionAt(m_startX, m_startY, kDirectionCounterClockwise);
  if (end == 1) return GetDirectionAt(m_endX, m_endY, kDirectionClockwise);
  SetGlitchValue(end);
  ReportGlitch(kGlitchArcEndDirection, 1);
  return 0;
}

int CEllipseArcItem::GetTurnAt(int x, int y, int direction) const {
  return TurnAt(ShapeOf(*this), x, y, direction, kGlitchArcTurn);
}

double CEllipseArcItem::GetTravel(int toX, int toY, int fromX, int fromY, int sense) const {
  if (sense != kDirectionClockwise && sense != kDirectionCounterClockwise) {
    SetGlitchValue(sense);
    ReportGlitch(kGlitchArcTravel, 1);
    return -1.0;
  }
  const Shape e = ShapeOf(*this);
  double to = PolarAngle(e, toX, toY);
  double from = PolarAngle(e, fromX, fromY);
  const double start = StartAngle();
  const double end = EndAngle();
  const double low = start - kTravelSlack;
  const double high = end + kTravelSlack;
  const bool counterClockwise = sense == kDirectionCounterClockwise;
  double sweep = 0.0;
  if (start < end) {
    if (to < low || to > high || from < low || from > high) return -1.0;
    if (counterClockwise) {
      if (from > to) return -1.0;
      sweep = to - from;
    } else {
      if (from < to) return -1.0;
      sweep = from - to;
    }
  } else {
    // The arc passes angle 0.
    if ((high < to && to < low) || (high < from && from < low)) return -1.0;
    if (to <= high) to += g_twoPi;
    if (from <= high) from += g_twoPi;
    if (counterClockwise) {
      if (to < from) return -1.0;
      sweep = to - from;
    } else {
      if (to > from) return -1.0;
      sweep = from - to;
    }
  }
  return TravelOf(e, sweep);
}

double CEllipseArcItem::GetPickDistance(const CViewMapping*) const {
  const Shape e = ShapeOf(*this);
  const double px = g_cursorPoint.x;
  const double py = g_cursorPoint.y;
  double angle = AngleOf(py - e.cy, px - e.cx);
  const double start = StartAngle();
  const double end = EndAngle();
  const double low = start - kPickSlack;
  const double high = end + kPickSlack;
  bool beside = false;
  if (start <= end) {
    beside = low <= angle && angle <= high;
  } else {
    if (angle < end) angle += g_twoPi;
    beside = low <= angle && angle <= high + g_twoPi;
  }
  if (beside) {
    double rho = 0.0;
    double d = 0.0;
    RadiusToward(e, px, py, rho, d);
    return std::fabs(d - rho);
  }
  return std::min(Hypot(px - m_startX, py - m_startY), Hypot(px - m_endX, py - m_endY));
}

bool CEllipseArcItem::IsAngleInArc(double angle) const {
  const double start = StartAngle();
  const double end = EndAngle();
  const double low = start - kAngleSlack;
  const double high = end + kAngleSlack;
  if (start <= end) return low <= angle && angle <= high;
  if (angle < end) angle += g_twoPi;
  return low <= angle && angle <= high + g_twoPi;
}

void CEllipseArcItem::GetRightmostPoint(int& x, int& y) const {
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kExact);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const double offsetY = -Ratio(m.k * w, m.sx);
  if (IsAngleInArc(AngleOf(offsetY, w))) {
    x = RoundToInt(e.cx + w);
    y = RoundToInt(e.cy + offsetY);
    return;
  }
  const bool start = m_startX > m_endX;
  x = start ? m_startX : m_endX;
  y = start ? m_startY : m_endY;
}

void CEllipseArcItem::CalcBoundingBox(const CViewMapping*) const {
  g_itemBounds.minX = std::min(m_startX, m_endX);
  g_itemBounds.maxX = std::max(m_startX, m_endX);
  g_itemBounds.minY = std::min(m_startY, m_endY);
  g_itemBounds.maxY = std::max(m_startY, m_endY);
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kOutward);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const double start = StartAngle();
  double end = EndAngle();
  if (end <= start) end += g_twoPi;
  const auto covers = [start, end](double offsetY, double offsetX) {
    double angle = AngleOf(offsetY, offsetX);
    if (angle < start) angle += g_twoPi;
    return angle <= end;
  };
  const double slantW = Ratio(m.k * w, m.sx);
  const double slantH = Ratio(m.k * h, m.sy);
  if (covers(-slantW, w)) g_itemBounds.maxX = std::max(g_itemBounds.maxX, CeilToInt(e.cx + w));
  if (covers(slantW, -w)) g_itemBounds.minX = std::min(g_itemBounds.minX, TruncateToInt(e.cx - w));
  if (covers(h, -slantH)) g_itemBounds.maxY = std::max(g_itemBounds.maxY, CeilToInt(e.cy + h));
  if (covers(-h, slantH)) g_itemBounds.minY = std::min(g_itemBounds.minY, CeilToInt(e.cy - h));
}

int CEllipseArcItem::IntersectScanLine(int y) const {
  const Shape e = ShapeOf(*this);
  double roots[2];
  if (ScanLineRoots(e, y, roots) == 0) return 0;
  if (EnsureIntersectionCapacity(2) == 0) {
    ReportGlitch(kGlitchArcScanLine, kGlitchOutOfResults);
    return 0;
  }
  const double start = StartAngle();
  const double end = EndAngle();
  const double rise = y - e.cy;
  int count = 0;
  for (const double root : roots) {
    double angle = AngleOf(rise, root);
    if (start <= end) {
      if (angle < start || angle > end) continue;
    } else {
      if (angle < end) angle += g_twoPi;
      if (angle < start || angle > end + g_twoPi) continue;
    }
    const int x = RoundToInt(e.cx + root);
    if (count == 1 && g_intersectX[0] == x) continue;  // a tangent line crosses once
    g_intersectX[static_cast<std::size_t>(count++)] = x;
  }
  return count;
}

int CEllipseArcItem::IsValid() const {
  return IsValidX(m_startX) != 0 && IsValidY(m_startY) != 0 && IsValidX(m_endX) != 0 &&
                 IsValidY(m_endY) != 0 && IsValidXReal(m_centreX) != 0 &&
                 IsValidYReal(m_centreY) != 0 && IsValidSemiAxis(m_radiusA) &&
                 IsValidSemiAxis(m_radiusB) && std::isfinite(m_rotation)
             ? 1
             : 0;
}

int CEllipseArcItem::IsVerticalAt(int x, int y) const { return IsVertical(ShapeOf(*this), x, y); }

int CEllipseArcItem::GetDirectionAt(int x, int y, int sense) const {
  const Shape e = ShapeOf(*this);
  const Sums m = SumsOf(e, Components::kExact);
  double w = 0.0;
  double h = 0.0;
  ExtentsOf(e, m, w, h);
  const double slant = Ratio(m.k * h, m.sy);
  return DirectionAt(e, x, y, sense, RoundToInt(e.cx - slant), RoundToInt(e.cy + h),
                     RoundToInt(e.cx + slant), RoundToInt(e.cy - h), kGlitchArcDirection);
}

int CEllipseArcItem::Compare(const CDrawItem* other) const {
  if (other == nullptr || other->GetType() != kItemEllipseArc) return 0;
  double cx = 0.0;
  double cy = 0.0;
  double a = 0.0;
  double b = 0.0;
  other->GetCentreExact(cx, cy);
  other->GetRadii(a, b);
  if (a != m_radiusA || b != m_radiusB || cx != m_centreX || cy != m_centreY ||
      NearlyEqual(other->GetRotation(), m_rotation) == 0) {
    return 0;
  }
  const double turn = g_twoPi;
  const double s1 = StartAngle();
  double e1 = EndAngle();
  if (e1 < s1) e1 += turn;
  double s2 = 0.0;
  double e2 = 0.0;
  AnglesOf(*other, s2, e2);
  if (e2 < s2) e2 += turn;

  // The sweeps may meet one turn apart: an arc through angle 0 and one just after it.
  bool overlap = false;
  for (const double shift : {-turn, 0.0, turn}) {
    if (s2 + shift <= e1 && s1 <= e2 + shift) overlap = true;
  }
  if (!overlap) return 0;
  if (NearlyEqual(s1, s2) != 0 && NearlyEqual(e1, e2) != 0) return 1;
  if ((s2 >= s1 && e1 >= e2) || (s1 <= s2 + turn && e1 >= e2 + turn)) return 2;
  if ((s2 <= s1 && e1 <= e2) || (s2 <= s1 + turn && e2 >= e1 + turn)) return 3;
  if (s1 <= s2 && s2 <= e1 && s1 + turn <= e2 && e2 <= e1 + turn) return -2;
  if (s1 <= s2 + turn && e1 >= s2 + turn && s1 <= e2 && e1 >= e2) return -2;
  return -1;
}

void CEllipseArcItem::MoveEndTemporarily(int end, int x, int y) {
  if (m_moved.Move(end, x, y, m_startX, m_startY, m_endX, m_endY)) GeometryChanged();
}

void CEllipseArcItem::RestoreEnds() {
  if (m_moved.Restore(m_startX, m_startY, m_endX, m_endY)) GeometryChanged();
}

void CEllipseArcItem::TrimOverlap(CDrawItem* other) {
  ArcOverlap o;
  if (!ReadArcOverlap(other, kGlitchArcTrimNotArc, AnglesOf, o)) return;
  // Both tests are taken before either end moves.
  const bool trimStart = InSweep(o.oe, o.s, o.e);
  const bool trimEnd = InSweep(o.os, o.s, o.e);
  if (trimStart) MoveEndTemporarily(0, o.oex, o.oey);
  if (trimEnd) MoveEndTemporarily(1, o.osx, o.osy);
}

void CEllipseArcItem::MergeOverlap(CDrawItem* other) {
  ArcOverlap o;
  if (!ReadArcOverlap(other, kGlitchArcMerge, AnglesOf, o)) return;
  // Angles are compared modulo a full turn, so arcs that meet across angle 0 merge too.
  if (InSweep(o.oe, o.s, o.e)) {
    MoveEndTemporarily(0, o.osx, o.osy);
  } else if (InSweep(o.os, o.s, o.e)) {
    MoveEndTemporarily(1, o.oex, o.oey);
  } else {
    ReportGlitch(kGlitchArcMerge, 2);
  }
}

void CEllipseArcItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != GetType()) return;
  other->GetStart(m_startX, m_startY);
  other->GetEnd(m_endX, m_endY);
  other->GetCentreExact(m_centreX, m_centreY);
  other->GetRadii(m_radiusA, m_radiusB);
  m_rotation = other->GetRotation();
  m_penWidth = other->GetPenWidth();
}

void CEllipseArcItem::SetFromArc(const CDrawItem* arc) {
  if (arc == nullptr) return;
  // A new elliptic arc has no document yet, so these are plain stores.
  SetColour(arc->GetColour());
  SetObjectNumber(arc->GetObjectNumber());
  double radius = 0.0;
  arc->GetCircle(m_centreX, m_centreY, radius);
  m_radiusA = std::fabs(radius);
  m_radiusB = m_radiusA;
  arc->GetStart(m_startX, m_startY);
  arc->GetEnd(m_endX, m_endY);
  m_rotation = 0.0;
  m_penWidth = arc->GetPenWidth();
  CopyState(*this, *arc);
}

DrawItemPtr CEllipseArcItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemEllipseArc,
                        OnEllipse(m_centreX, m_centreY, m_radiusA, m_radiusB, m_rotation));
}

void CEllipseArcItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
}

void CEllipseArcItem::PublishInformation() const {
  PublishFieldIds({kFieldEllipseCentre, kFieldRadii});
  g_valueCentreX = RoundToInt(m_centreX);
  g_valueCentreY = RoundToInt(m_centreY);
  g_valueRadiusA = RoundToInt(m_radiusA);
  g_valueRadiusB = RoundToInt(m_radiusB);
}

// ======================================================================================
// CEllipseArcUndoState
// ======================================================================================

int CEllipseArcUndoState::Capture(const CDrawItem* item) {
  if (item == nullptr || item->GetType() != kItemEllipseArc) {
    LogAction(kLogUndoCapture, 1, kLogMinorFailure);
    LogNumber(item != nullptr ? item->GetType() : -1);
    m_valid = 0;
    return 0;
  }
  item->GetCentreExact(m_centreX, m_centreY);
  item->GetRadii(m_radiusA, m_radiusB);
  item->GetStart(m_startX, m_startY);
  item->GetEnd(m_endX, m_endY);
  m_rotation = item->GetRotation();
  m_valid = 1;
  return 1;
}

int CEllipseArcUndoState::Swap(CDrawItem* item) {
  if (item == nullptr || item->GetType() != kItemEllipseArc) {
    LogAction(kLogUndoSwap, 1, kLogMinorFailure);
    LogNumber(item != nullptr ? item->GetType() : -1);
    return 0;
  }
  if (m_valid == 0) {
    LogAction(kLogUndoSwap, 2, kLogMinorFailure);
    return 0;
  }
  double x = 0.0;
  double y = 0.0;
  item->GetCentreExact(x, y);
  item->SetCentreExact(m_centreX, m_centreY);
  m_centreX = x;
  m_centreY = y;

  item->GetRadii(x, y);
  item->SetRadii(m_radiusA, m_radiusB);
  m_radiusA = x;
  m_radiusB = y;

  int px = 0;
  int py = 0;
  item->GetStart(px, py);
  item->SetStart(m_startX, m_startY);
  m_startX = px;
  m_startY = py;

  item->GetEnd(px, py);
  item->SetEnd(m_endX, m_endY);
  m_endX = px;
  m_endY = py;

  const double rotation = item->GetRotation();
  item->SetRotation(m_rotation);
  m_rotation = rotation;
  return 1;
}
