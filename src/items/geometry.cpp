#include "items/geometry.h"

#include <cmath>

#include "platform/drawcontext.h"

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

double Hypot(double dx, double dy) { return std::hypot(dx, dy); }
double VectorLength(int dx, int dy) { return std::hypot(double(dx), double(dy)); }
int IsValidX(int) { return 0; }
int IsValidY(int) { return 0; }
int IsValidXReal(double) { return 0; }
int IsValidYReal(double) { return 0; }
std::uint8_t IsLinearDirection(int) { return 0; }
int IsNearlyZero(double) { return 0; }
double NormaliseAngle(double, int) { return 0; }
double DistanceToLine(int, int, int, int, int, int) { return 0; }
double DistanceToSegment(int, int, int, int, int, int) { return 0; }
int GetCursorDistance(int, int) { return 0; }
void ExtendItemBounds(int, int) {}
int IsAngleInArcRange(double) { return 0; }
int GetGridSpacing() { return 10000; }
void SnapCursorToGrid() {}
void DrawStyledLine(zeph::CDrawContext&, int, int, int, int, std::uint8_t) {}
