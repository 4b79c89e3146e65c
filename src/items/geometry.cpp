#include "items/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/drawcontext.h"
#include "support/constants.h"
#include "support/numbers.h"
#include "support/options.h"

ItemBounds g_itemBounds;
double g_arcStartAngle = 0.0;
double g_arcEndAngle = 0.0;
DrawingPoint g_snapPoint;

void ResetGeometryGlobals() {
  g_itemBounds = ItemBounds{};
  g_arcStartAngle = 0.0;
  g_arcEndAngle = 0.0;
  g_snapPoint = DrawingPoint{};
}

namespace {

double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

// A device coordinate plus an offset, kept within the int range.
int Offset(int base, double delta) {
  return ClampInt64ToInt(static_cast<std::int64_t>(base) + RoundToInt(delta));
}

// The pattern of a dashed style: its period as a fraction of 1/6 inch and the drawn part.
struct DashPattern {
  double periodDivisor;  // 1 (1/6 inch), 2 (1/12) or 4 (1/24)
  double dashFraction;
};

DashPattern PatternOf(std::uint8_t style) {
  switch (style) {
    case kLineStyleSmallDash:
      return {1.0, 0.5};
    case kLineStyleDotDash:
      return {1.0, 0.5};
    case kLineStyleLargeDash:
      return {1.0, 0.75};
    case kLineStyleDots:
      return {2.0, 0.1};
    default:  // close dots
      return {4.0, 0.2};
  }
}

}  // namespace

double Hypot(double dx, double dy) { return std::hypot(dx, dy); }

double VectorLength(int dx, int dy) {
  return std::hypot(static_cast<double>(dx), static_cast<double>(dy));
}

int IsValidX(int x) { return (x >= -kLimitX && x <= kLimitX) ? 1 : 0; }

int IsValidY(int y) { return (y >= -kLimitY && y <= kLimitY) ? 1 : 0; }

int IsValidXReal(double x) { return (x >= -kLimitX && x <= kLimitX) ? 1 : 0; }

int IsValidYReal(double y) { return (y >= -kLimitY && y <= kLimitY) ? 1 : 0; }

std::uint8_t IsLinearDirection(int direction) { return (direction >= 0 && direction <= 3) ? 1 : 0; }

int IsNearlyZero(double x) { return std::fabs(x) < 1e-5 ? 1 : 0; }

double NormaliseAngle(double angle, int mode) {
  if (!std::isfinite(angle)) return 0.0;
  if (angle < 0.0) angle = std::fmod(angle, g_twoPi) + g_twoPi;
  // A tiny negative angle can land on 2 pi itself above, so this test comes second.
  if (angle >= g_twoPi) angle = std::fmod(angle, g_twoPi);
  if (mode == 1 && angle >= kPi) angle -= kPi;
  return angle;
}

double DistanceToLine(int px, int py, int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double length = std::hypot(dx, dy);
  if (length == 0.0) return Distance(px, py, x1, y1);
  return std::fabs(dx * (static_cast<double>(py) - y1) - dy * (static_cast<double>(px) - x1)) /
         length;
}

double DistanceToSegment(int px, int py, int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double length = std::hypot(dx, dy);
  if (length == 0.0) return Distance(px, py, x2, y2);
  if ((static_cast<double>(px) - x2) * dx + (static_cast<double>(py) - y2) * dy > 0.0) {
    return Distance(px, py, x2, y2);
  }
  if ((static_cast<double>(px) - x1) * dx + (static_cast<double>(py) - y1) * dy < 0.0) {
    return Distance(px, py, x1, y1);
  }
  return std::fabs(dx * (static_cast<double>(py) - y1) - dy * (static_cast<double>(px) - x1)) /
         length;
}

int GetCursorDistance(int x, int y) {
  const std::int64_t sum = std::llabs(static_cast<std::int64_t>(g_cursorPoint.x) - x) +
                           std::llabs(static_cast<std::int64_t>(g_cursorPoint.y) - y);
  return static_cast<int>(std::min<std::int64_t>(sum, kIntRangeMax));
}

void ExtendItemBounds(int x, int y) {
  g_itemBounds.minX = std::min(g_itemBounds.minX, x);
  g_itemBounds.minY = std::min(g_itemBounds.minY, y);
  g_itemBounds.maxX = std::max(g_itemBounds.maxX, x);
  g_itemBounds.maxY = std::max(g_itemBounds.maxY, y);
}

int IsAngleInArcRange(double angle) {
  if (g_arcStartAngle <= angle && angle <= g_arcEndAngle) return 1;
  const double raised = angle + g_twoPi;
  return (g_arcStartAngle <= raised && raised <= g_arcEndAngle) ? 1 : 0;
}

int GetGridSpacing() {
  int index = GetOptionShort(kOptionGridDistance);
  // The option indexes a table of seven sizes; anything else (a hand-edited options file)
  // would read past it.
  if (index < 0 || index >= kGridSizeCount) index = kDefaultGridDistance;
  return 1000 * g_programConstants.gridSpacingsMm[static_cast<std::size_t>(index)];
}

void SnapCursorToGrid() {
  const int s = GetGridSpacing();
  const double cx = g_cursorPoint.x;
  const double cy = g_cursorPoint.y;
  // Nearest multiples, an exact half towards zero: the grid's rows and square columns are
  // counted as whole divisions.
  const int y0 = ClampInt64ToInt(static_cast<std::int64_t>(DivideRounded(g_cursorPoint.y, s)) * s);
  if (GetOptionShort(kOptionGridLayout) == 0) {
    const int x0 =
        ClampInt64ToInt(static_cast<std::int64_t>(DivideRounded(g_cursorPoint.x, s)) * s);
    g_snapPoint = {x0, y0};
    return;
  }
  // Isometric: columns w apart, every other one shifted by half a spacing in y.
  const double w = s * g_sqrt3;
  const double column = RoundToWhole(cx / w);
  const int x0 = RoundToInt(column * w);
  const int x1 = (x0 < cx) ? RoundToInt((column + 0.5) * w) : RoundToInt((column - 0.5) * w);
  const int y1 = (y0 < cy) ? ClampInt64ToInt(static_cast<std::int64_t>(y0) + s / 2)
                           : ClampInt64ToInt(static_cast<std::int64_t>(y0) - s / 2);
  const double a = std::fabs(cx - x0) + std::fabs(cy - y0);
  const double b = std::fabs(x1 - cx) + std::fabs(y1 - cy);
  g_snapPoint = (b < a) ? DrawingPoint{x1, y1} : DrawingPoint{x0, y0};
}

void DrawStyledLine(zeph::CDrawContext& dc, int x1, int y1, int x2, int y2, std::uint8_t style) {
  if (x1 == x2 && y1 == y2) return;
  if (style < kLineStyleSmallDash || style > kLineStyleCloseDots) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
    return;
  }
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  int dpi = dc.GetDeviceCaps().dpiX;
  if (dpi <= 0) dpi = dc.IsPrinting() ? zeph::kFallbackPrinterDpi : zeph::kFallbackScreenDpi;
  const DashPattern pattern = PatternOf(style);
  // Periods of 1/6 inch along the line, then the style's shorter period.
  double periods = std::hypot(dx, dy) * 6.0 / dpi;
  const double px = dx / periods / pattern.periodDivisor;
  const double py = dy / periods / pattern.periodDivisor;
  periods *= pattern.periodDivisor;
  const int k = TruncateToInt(periods);
  const int dashX = RoundToInt(px * pattern.dashFraction);
  const int dashY = RoundToInt(py * pattern.dashFraction);
  const bool dotDash = style == kLineStyleDotDash;
  const int dotStartX = RoundToInt(0.7 * px);
  const int dotStartY = RoundToInt(0.7 * py);
  const int dotEndX = RoundToInt(0.8 * px);
  const int dotEndY = RoundToInt(0.8 * py);
  for (int i = 0; i < k; ++i) {
    const int sx = Offset(x1, i * px);
    const int sy = Offset(y1, i * py);
    dc.MoveTo(sx, sy);
    dc.LineTo(Offset(sx, dashX), Offset(sy, dashY));
    if (dotDash) {
      dc.MoveTo(Offset(sx, dotStartX), Offset(sy, dotStartY));
      dc.LineTo(Offset(sx, dotEndX), Offset(sy, dotEndY));
    }
  }
  // The partial period: its dash stops at the end point.
  const int sx = Offset(x1, k * px);
  const int sy = Offset(y1, k * py);
  const int ex = Offset(sx, dashX);
  const int ey = Offset(sy, dashY);
  dc.MoveTo(sx, sy);
  dc.LineTo(x1 < x2 ? std::min(x2, ex) : std::max(x2, ex),
            y1 < y2 ? std::min(y2, ey) : std::max(y2, ey));
}
