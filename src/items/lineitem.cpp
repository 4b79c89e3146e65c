#include "items/lineitem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "items/geometry.h"
#include "items/intersect.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/sysinfo.h"
#include "support/uiutil.h"

namespace {

constexpr int kGlitchMergeNotLine = 1882;
constexpr int kGlitchTravelDirection = 1883;
constexpr int kGlitchScanLineCapacity = 1885;
constexpr int kGlitchEndReachedDirection = 1886;
constexpr int kGlitchSetHandle = 1890;
constexpr int kGlitchEndDirection = 1891;
constexpr int kGlitchHandleX = 1892;
constexpr int kGlitchHandleY = 1893;

// Crossings this close to an end of the line are taken to be that end (old drawings).
constexpr double kSegmentSnapDistance = 400.0;

int Sum(int a, double b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + RoundToInt(b)); }

int Add(int a, int b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + b); }

}  // namespace

CLineItem::CLineItem() : CDrawItem(kItemLine) {}

CSlope& CLineItem::GetTangentAt(CSlope& out, int, int y) const {
  // At the end of a vertical line the slope points back into the line.
  if (m_startX == m_endX && y == m_endY) {
    out.Set(static_cast<double>(m_startY) - m_endY, 0.0);
  } else {
    out.Set(static_cast<double>(m_endY) - m_startY, static_cast<double>(m_endX) - m_startX);
  }
  return out;
}

double CLineItem::GetParameterAt(int x, int y) const {
  if (x == m_startX && y == m_startY) return 0.0;
  if (x == m_endX && y == m_endY) return 1.0;
  if (m_startX == m_endX && m_startY == m_endY) return -1.0;
  if (m_startX != m_endX) {
    return (static_cast<double>(x) - m_startX) / (static_cast<double>(m_endX) - m_startX);
  }
  return (static_cast<double>(y) - m_startY) / (static_cast<double>(m_endY) - m_startY);
}

int CLineItem::GetEndAt(int x, int y, std::int16_t tolerance) const {
  return EndAtShared(x, y, tolerance, m_startX, m_startY, m_endX, m_endY);
}

void CLineItem::MergeOverlap(CDrawItem* other) {
  if (other == nullptr || other->GetType() != kItemLine) {
    SetGlitchValue(other != nullptr ? other->GetType() : -1);
    ReportGlitch(kGlitchMergeNotLine, 1);
    return;
  }
  int ox[2] = {0, 0};
  int oy[2] = {0, 0};
  other->GetStart(ox[0], oy[0]);
  other->GetEnd(ox[1], oy[1]);
  const int mx[2] = {m_startX, m_endX};
  const int my[2] = {m_startY, m_endY};
  // The farthest pair of ends, an earlier pair keeping its place on a tie.
  int mine = 0;
  int theirs = 0;
  double farthest = -1.0;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      const double d =
          Hypot(static_cast<double>(ox[j]) - mx[i], static_cast<double>(oy[j]) - my[i]);
      if (d > farthest) {
        farthest = d;
        mine = i;
        theirs = j;
      }
    }
  }
  MoveEndTemporarily(1 - mine, ox[theirs], oy[theirs]);
}

void CLineItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemLine) return;
  other->GetStart(m_startX, m_startY);
  other->GetEnd(m_endX, m_endY);
  m_lineStyle = other->GetLineStyle();
  m_penWidth = other->GetPenWidth();
  GeometryChanged();
}

DrawItemPtr CLineItem::CreatePiece(int index) const {
  return MakeSplitPiece(index, kItemLine,
                        [this](CDrawItem& piece) { piece.SetLineStyle(m_lineStyle); });
}

double CLineItem::GetTravel(int toX, int toY, int fromX, int fromY, int direction) const {
  bool ahead = false;
  switch (direction) {
    case kDirectionUp:
      ahead = toY >= fromY;
      break;
    case kDirectionDown:
      ahead = toY <= fromY;
      break;
    case kDirectionLeft:
      ahead = toX <= fromX;
      break;
    case kDirectionRight:
      ahead = toX >= fromX;
      break;
    default:
      SetGlitchValue(direction);
      ReportGlitch(kGlitchTravelDirection, 1);
      return -1.0;
  }
  if (!ahead) return -1.0;
  return Hypot(static_cast<double>(toX) - fromX, static_cast<double>(toY) - fromY);
}

double CLineItem::GetPickDistance(const CViewMapping*) const {
  return DistanceToSegment(g_cursorPoint.x, g_cursorPoint.y, m_startX, m_startY, m_endX, m_endY);
}

double CLineItem::GetDistanceTo(int x, int y) const {
  return DistanceToSegment(x, y, m_startX, m_startY, m_endX, m_endY);
}

void CLineItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
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
  pen.style = g_osClass != 0 ? zeph::PenStyle::kGeometricFlat : zeph::PenStyle::kSolid;
  pen.width = GetDevicePenWidth(m_penWidth, printerFactors);
  pen.colour = colour;

  const zeph::CDrawContext* printer = printing ? dc : nullptr;
  const int x1 = mapping->DrawingToDeviceX(m_startX, printer);
  const int y1 = mapping->DrawingToDeviceY(m_startY, printer);
  const int x2 = mapping->DrawingToDeviceX(m_endX, printer);
  const int y2 = mapping->DrawingToDeviceY(m_endY, printer);
  // A drawn line leaves out its last pixel, and a one-pixel line draws nothing: the end pixel
  // is set after it. An unbroken line (the usual case) goes to the context in one call.
  if (m_lineStyle == kLineStyleUnbroken) {
    dc->DrawLineWithEnd(pen, x1, y1, x2, y2);
  } else {
    const zeph::DcPen oldPen = dc->SelectPen(pen);
    DrawStyledLine(*dc, x1, y1, x2, y2, m_lineStyle);
    if (x1 == x2 && y1 == y2) dc->SetPixel(x2, y2, colour);
    dc->SelectPen(oldPen);
  }
  if (colourMode == kDrawXor) dc->SetRasterOp(oldOp);
}

void CLineItem::ProjectPoint(int& x, int& y) const {
  const double dx = static_cast<double>(m_endX) - m_startX;
  const double dy = static_cast<double>(m_endY) - m_startY;
  if (dx == 0.0 && dy == 0.0) return;
  const double n = dx * dx + dy * dy;
  const double px = static_cast<double>(x) - m_startX;
  const double py = static_cast<double>(y) - m_startY;
  x = Sum(m_startX, (px * dx * dx + py * dx * dy) / n);
  y = Sum(m_startY, (py * dy * dy + px * dx * dy) / n);
}

void CLineItem::GetStart(int& x, int& y) const {
  x = m_startX;
  y = m_startY;
}

void CLineItem::GetEnd(int& x, int& y) const {
  x = m_endX;
  y = m_endY;
}

void CLineItem::GetRightmostPoint(int& x, int& y) const {
  RightmostOfEnds(m_startX, m_startY, m_endX, m_endY, x, y);
}

void CLineItem::CalcBoundingBox(const CViewMapping*) const {
  g_itemBounds.minX = std::min(m_startX, m_endX);
  g_itemBounds.minY = std::min(m_startY, m_endY);
  g_itemBounds.maxX = std::max(m_startX, m_endX);
  g_itemBounds.maxY = std::max(m_startY, m_endY);
}

int CLineItem::GetDirectionCode(int ax, int ay, int bx, int by) const {
  if (ay != by) return ay >= by ? kDirectionDown : kDirectionUp;
  return ax < bx ? kDirectionRight : kDirectionLeft;
}

int CLineItem::IntersectScanLine(int y) const {
  if ((y < m_startY && y < m_endY) || (y > m_startY && y > m_endY)) return 0;
  if (!EnsureIntersectionCapacity(1)) {
    ReportGlitch(kGlitchScanLineCapacity, 8990);
    return 0;
  }
  if (m_startY == m_endY) {
    g_intersectX[0] = m_startX;
  } else {
    g_intersectX[0] = Sum(m_startX, (static_cast<double>(y) - m_startY) *
                                        (static_cast<double>(m_endX) - m_startX) /
                                        (static_cast<double>(m_endY) - m_startY));
  }
  return 1;
}

int CLineItem::IntersectSegment(int x1, int y1, int x2, int y2) const {
  if (!EnsureIntersectionCapacity(1)) return 0;
  const double dx = static_cast<double>(m_endX) - m_startX;
  const double dy = static_cast<double>(m_endY) - m_startY;
  const double ex = static_cast<double>(x2) - x1;
  const double ey = static_cast<double>(y2) - y1;
  const double det = ex * dy - dx * ey;
  if (det == 0.0) return 0;
  const double c1 = static_cast<double>(y1) * ex - static_cast<double>(x1) * ey;
  const double c2 = static_cast<double>(m_startY) * dx - static_cast<double>(m_startX) * dy;
  double px = (c1 * dx - c2 * ex) / det;
  double py = (c1 * dy - c2 * ey) / det;
  if (!std::isfinite(px) || !std::isfinite(py)) return 0;
  const double tolerance = (std::abs(dx) + std::abs(dy)) / 2;
  if ((px - m_startX) * dx + (py - m_startY) * dy < -tolerance) return 0;
  if ((px - m_endX) * dx + (py - m_endY) * dy > tolerance) return 0;
  if (Hypot(px - m_startX, py - m_startY) < kSegmentSnapDistance) {
    px = m_startX;
    py = m_startY;
  } else if (Hypot(px - m_endX, py - m_endY) < kSegmentSnapDistance) {
    px = m_endX;
    py = m_endY;
  }
  g_intersectX[0] = RoundToInt(px);
  g_intersectY[0] = RoundToInt(py);
  return 1;
}

int CLineItem::IsEndReachedGoing(int x, int y, int direction) const {
  const int end = GetEndAt(x, y, 0);
  if (end != 0 && end != 1) return 0;
  const int otherX = end == 0 ? m_endX : m_startX;
  const int otherY = end == 0 ? m_endY : m_startY;
  // A line has no rotational senses: this reports the base glitch and falls through below.
  if (direction == kDirectionClockwise || direction == kDirectionCounterClockwise) {
    direction = GetDirectionAt(x, y, direction);
  }
  switch (direction) {
    case kDirectionUp:
      return y >= otherY ? 1 : 0;
    case kDirectionDown:
      return otherY >= y ? 1 : 0;
    case kDirectionLeft:
      return otherX >= x ? 1 : 0;
    case kDirectionRight:
      return x >= otherX ? 1 : 0;
    default:
      SetGlitchValue(direction);
      ReportGlitch(kGlitchEndReachedDirection, 1);
      return 0;
  }
}

int CLineItem::IsValid() const {
  if (!IsValidX(m_startX) || !IsValidX(m_endX)) return 0;
  if (!IsValidY(m_startY) || !IsValidY(m_endY)) return 0;
  if (m_startX == m_endX && m_startY == m_endY) return 0;
  return (m_lineStyle >= kLineStyleUnbroken && m_lineStyle <= kLineStyleCloseDots) ? 1 : 0;
}

void CLineItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_startX = Add(m_startX, dx);
  m_startY = Add(m_startY, dy);
  m_endX = Add(m_endX, dx);
  m_endY = Add(m_endY, dy);
  GeometryChanged();
}

int CLineItem::Compare(const CDrawItem* other) const {
  if (other == nullptr || other->GetType() != kItemLine) return 0;
  int ax = 0;
  int ay = 0;
  int bx = 0;
  int by = 0;
  other->GetStart(ax, ay);
  other->GetEnd(bx, by);
  const bool same = ax == m_startX && ay == m_startY && bx == m_endX && by == m_endY;
  const bool reversed = ax == m_endX && ay == m_endY && bx == m_startX && by == m_startY;
  if (same || reversed) return 1;
  const std::int64_t dx = static_cast<std::int64_t>(m_endX) - m_startX;
  const std::int64_t dy = static_cast<std::int64_t>(m_endY) - m_startY;
  // Coordinates inside the limits keep these differences well inside the int range.
  const auto diff = [](int a, int b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) - b); };
  const int idx = ClampInt64ToInt(dx);
  const int idy = ClampInt64ToInt(dy);
  if (!IsSameRatio(idx, diff(ay, m_startY), idy, diff(ax, m_startX))) return 0;
  if (!IsSameRatio(idx, diff(by, m_startY), idy, diff(bx, m_startX))) return 0;

  const bool vertical = m_startX == m_endX;
  const int lo = vertical ? std::min(m_startY, m_endY) : std::min(m_startX, m_endX);
  const int hi = vertical ? std::max(m_startY, m_endY) : std::max(m_startX, m_endX);
  const int a = vertical ? ay : ax;
  const int b = vertical ? by : bx;
  if (a < hi) {
    if (lo < a) return (lo <= b && b <= hi) ? 2 : -1;
    if (b <= lo) return 0;
    return b >= hi ? 3 : -1;
  }
  if (b >= hi) return 0;
  return b <= lo ? 3 : -1;
}

int IsSameRatio(int a, int b, int c, int d) {
  std::int64_t a64 = b == 0 ? 0 : a;
  std::int64_t b64 = b;
  std::int64_t c64 = d == 0 ? 0 : c;
  std::int64_t d64 = d;
  if (a64 == 0) return c64 == 0 ? 1 : 0;
  if (c64 == 0) return 0;
  if (b64 < 0) {
    a64 = -a64;
    b64 = -b64;
  }
  if (d64 < 0) {
    c64 = -c64;
    d64 = -d64;
  }
  if ((a64 < 0) != (c64 < 0)) return 0;
  if (a64 < 0) {
    a64 = -a64;
    c64 = -c64;
  }
  if (a64 / d64 != c64 / b64) return 0;
  const std::int64_t e = std::llabs(b64 * (a64 % d64) - d64 * (c64 % b64));
  const std::int64_t largest = std::max({a64, b64, c64, d64});
  return e <= largest / 2 ? 1 : 0;
}

void CLineItem::MoveEndTemporarily(int end, int x, int y) {
  if (m_moved.Move(end, x, y, m_startX, m_startY, m_endX, m_endY)) GeometryChanged();
}

void CLineItem::RestoreEnds() {
  if (m_moved.Restore(m_startX, m_startY, m_endX, m_endY)) GeometryChanged();
}

void CLineItem::SetStart(int x, int y) { UpdatePoint(m_startX, m_startY, x, y, UndoKind::kStart); }

void CLineItem::SetEnd(int x, int y) { UpdatePoint(m_endX, m_endY, x, y, UndoKind::kEnd); }

int CLineItem::SetLineStyle(std::uint8_t style) {
  if (UpdateField(m_lineStyle, style, UndoKind::kLineStyle, false) < 0) return -1;
  return style;
}

void CLineItem::SetHandle(int handle, int x, int y) {
  SetEndHandle(static_cast<std::int16_t>(handle), handle, x, y, kGlitchSetHandle);
}

void CLineItem::SetPenWidth(int width) {
  UpdateField(m_penWidth, ClampPenWidth(width), UndoKind::kPenWidth, false);
}

void CLineItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldLineStyle});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueLineStyle = m_lineStyle;
}

void CLineItem::PublishInformation() const {
  PublishFieldIds({kFieldStart, kFieldEnd, kFieldLengthAngle});
  g_valueStartX = m_startX;
  g_valueStartY = m_startY;
  g_valueEndX = m_endX;
  g_valueEndY = m_endY;
  const double dx = static_cast<double>(m_endX) - m_startX;
  const double dy = static_cast<double>(m_endY) - m_startY;
  g_valueLength = Hypot(dx, dy);
  g_valueAngle = AngleOf(dy, dx);
}

int CLineItem::GetEndDirection(int end) const {
  const auto index = static_cast<std::int16_t>(end);
  if (index != 0 && index != 1) {
    SetGlitchValue(end);
    ReportGlitch(kGlitchEndDirection, 1);
    return 0;
  }
  const int fromX = index == 0 ? m_startX : m_endX;
  const int fromY = index == 0 ? m_startY : m_endY;
  const int toX = index == 0 ? m_endX : m_startX;
  const int toY = index == 0 ? m_endY : m_startY;
  if (fromY < toY) return kDirectionUp;
  if (toY < fromY) return kDirectionDown;
  return fromX < toX ? kDirectionRight : kDirectionLeft;
}

void CLineItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_startX, m_startY);
  transform.TransformPoint(m_endX, m_endY);
  GeometryChanged();
}

int CLineItem::GetHandleX(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_startX, m_endX},
                          kGlitchHandleX);
}

int CLineItem::GetHandleY(int handle) const {
  return HandleCoordinate(static_cast<std::int16_t>(handle), handle, {m_startY, m_endY},
                          kGlitchHandleY);
}
