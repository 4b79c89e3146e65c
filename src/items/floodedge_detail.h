#pragma once
// Small helpers shared by the boundary-edge kinds (floodedge.cpp, floodedge_curved.cpp); not
// for use elsewhere.
#include <cstdint>

class CTextFileReader;

namespace flood_detail {

// The polar angle of (x, y) about (cx, cy), in [0, 2 pi).
double PolarAngle(double x, double y, double cx, double cy);

// Whether the angle lies in the counter-clockwise sweep from a0 to a1 (both in [0, 2 pi)),
// widened by widen at both ends; a sweep with a1 < a0 runs through 0.
bool IsInSweep(double angle, double a0, double a1, double widen);

// a + b clamped to the int range (coordinates moved far never wrap round).
int AddClamped(int a, int b);

// Where an end of a curved edge lies with respect to the whole curve's two extreme points
// along one axis. "First" is the open half-turn from the maximum point counter-clockwise to
// the minimum point (moving counter-clockwise there, the coordinate falls); "second" the
// other open half-turn. An end at an extreme is in neither half.
struct EndPlace {
  bool first = false;
  bool second = false;
  bool atMin = false;
  bool atMax = false;
};

// The extent flag word of a curved edge from the places of its ends, their coordinates along
// the axis, its direction (1 counter-clockwise) and whether it is the whole curve.
std::int16_t ExtentFlags(const EndPlace& start, const EndPlace& end, double startCoordinate,
                         double endCoordinate, int direction, bool whole);

// Stores one rounded point in the edge-hit arrays; an index beyond them is ignored.
void StoreEdgeHit(int index, int x, int y);

// One double line into the field; the field keeps its value when the line cannot be read.
int ReadDoubleField(CTextFileReader& reader, double& field);

}  // namespace flood_detail
