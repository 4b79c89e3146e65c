#pragma once
// Free geometry and drawing helpers shared by the item kinds, the document's geometric passes
// and the editor's tools: lengths and distances in drawing units, the coordinate limits, angle
// normalisation, the shared bounding-box accumulator, snapping the cursor to the grid and
// straight lines in the six line styles.
//
// Differences and products of 32-bit coordinates are taken in doubles or 64 bits, so no
// argument can overflow them.
#include <cstdint>

#include "items/viewmapping.h"

namespace zeph {
class CDrawContext;
}

// The box of the item whose CalcBoundingBox ran last.
struct ItemBounds {
  std::int32_t minX = 0;
  std::int32_t minY = 0;
  std::int32_t maxX = 0;
  std::int32_t maxY = 0;
};
extern ItemBounds g_itemBounds;
// The angular range of the arc whose box is being computed (the end may exceed 2 pi).
extern double g_arcStartAngle;
extern double g_arcEndAngle;
// The point the grid snap (or the editor's point snap) produced.
extern DrawingPoint g_snapPoint;

// Line styles (the byte of a line item). Any other value draws unbroken.
inline constexpr std::uint8_t kLineStyleUnbroken = 1;
inline constexpr std::uint8_t kLineStyleSmallDash = 2;
inline constexpr std::uint8_t kLineStyleDotDash = 3;
inline constexpr std::uint8_t kLineStyleLargeDash = 4;
inline constexpr std::uint8_t kLineStyleDots = 5;
inline constexpr std::uint8_t kLineStyleCloseDots = 6;

// The grid sizes in millimetres that the option GridDistance indexes.
inline constexpr int kGridSizeCount = 7;
inline constexpr int kDefaultGridDistance = 3;  // 10 mm

double Hypot(double dx, double dy);
// sqrt(dx^2 + dy^2) without overflow.
double VectorLength(int dx, int dy);
// 1 when -50,000,000 <= x <= 50,000,000 / -30,000,000 <= y <= 30,000,000.
int IsValidX(int x);
int IsValidY(int y);
// The same for a double coordinate; NaN and infinity are not valid.
int IsValidXReal(double x);
int IsValidYReal(double y);
// 1 for the direction codes 0..3 (up, down, left, right).
std::uint8_t IsLinearDirection(int direction);
// 1 when |x| < 1e-5.
int IsNearlyZero(double x);
// Into [0, 2 pi); with mode 1 into [0, pi). A value that is not finite gives 0.
double NormaliseAngle(double angle, int mode);
// From P to the infinite line through the two points; to (x1, y1) when they coincide.
double DistanceToLine(int px, int py, int x1, int y1, int x2, int y2);
// From P to the segment: to the nearer end beyond either end, else perpendicular.
double DistanceToSegment(int px, int py, int x1, int y1, int x2, int y2);
// |cursor x - x| + |cursor y - y|, at most 2147483647.
int GetCursorDistance(int x, int y);
// Widens g_itemBounds to include the point.
void ExtendItemBounds(int x, int y);
// 1 when start <= angle <= end, or start <= angle + 2 pi <= end (the g_arc angles).
int IsAngleInArcRange(double angle);
// The grid spacing in drawing units from the option GridDistance (its default for a value
// outside the table).
int GetGridSpacing();
// g_snapPoint = the grid point nearest g_cursorPoint (square or isometric grid).
void SnapCursorToGrid();
// The line between two device points in a line style, dash by dash with the selected pen.
// Each dash leaves out its last pixel, as LineTo does.
void DrawStyledLine(zeph::CDrawContext& dc, int x1, int y1, int x2, int y2, std::uint8_t style);

// Back to the start values (empty box, angles 0, snap point (0, 0)). For tests.
void ResetGeometryGlobals();
