#pragma once
// Ellipse maths shared by the ellipse and elliptic-arc items, their drawing and the elliptic
// boundary edges: the stretch of an ellipse along one axis, the implicit form that the
// intersections solve against, the angle-range tests of arcs, the quartic-based intersections
// of an ellipse with a circle or another ellipse, and the eight circular arcs that stand for a
// rotated ellipse on a plotter.
//
// An ellipse here is a centre, two semi-axes a and b and a rotation: the direction of the a
// axis in radians counter-clockwise from +x (drawing y upwards).
#include <array>
#include <cstdint>

class CDrawItem;

// ---- Stretch ----

// Replaces (a, b, rotation) by the ellipse stretched about its centre by factor along x
// (alongY 0) or along y (alongY non-zero). An ellipse whose a axis lies exactly on an axis
// keeps its axes and only the one along the stretch grows; otherwise a becomes the larger
// semi-axis and the rotation its direction in [0, pi). The semi-axes come out non-negative and
// never NaN: a negative factor mirrors the ellipse as well (the rotation follows the mirror),
// a factor of 0 flattens it to a segment (b = 0), and a flat input is stretched as a segment.
// A factor that is not finite changes nothing.
void StretchEllipse(double& a, double& b, double& rotation, double factor, int alongY);

// ---- Implicit form ----

// P X^2 + 2 Q X Y + R Y^2 = S for (X, Y) relative to the centre, from the axis vectors
// U = ([a cos], [a sin]) and V = (-[b sin], [b cos]) whose components are rounded to whole
// numbers: P = U.y^2 + V.y^2, Q = -(U.x U.y + V.x V.y), R = U.x^2 + V.x^2, S = a^2 b^2
// (a and b themselves unrounded).
struct EllipseForm {
  double p = 0.0;
  double q = 0.0;
  double r = 0.0;
  double s = 0.0;
};
EllipseForm MakeEllipseForm(double a, double b, double rotation);
// |P X^2 + 2 Q X Y + R Y^2 - S|.
double EllipseResidual(const EllipseForm& form, double x, double y);

// ---- Angle ranges of arcs ----
// An arc covers the polar angles from its start angle counter-clockwise to its end angle
// (through 0 when the end is below the start); both tests widen it by 0.0001 at both ends.

// A candidate below the widened start is taken one turn further.
int IsAngleInArcStartShift(double angle, double startAngle, double endAngle);
// For an arc through 0 a candidate below the end angle is taken one turn further; for any
// other arc the candidate is used as it is.
int IsAngleInArcEndShift(double angle, double startAngle, double endAngle);

// ---- Intersections (results in g_intersectX / g_intersectY / g_intersectFlags) ----

// One ellipse in drawing coordinates (doubles, so that elliptic arcs fit too).
struct EllipseShape {
  double cx = 0.0;
  double cy = 0.0;
  double a = 0.0;
  double b = 0.0;
  double rotation = 0.0;
};

inline constexpr int kArcRangeStartShift = 0;
inline constexpr int kArcRangeEndShift = 1;

// A test that a found point lies on an arc: the point's polar angle about the arc's centre
// against the angles of the arc's start and end about it.
struct ArcRangeTest {
  int form = kArcRangeStartShift;
  bool exactPoint = true;  // the unrounded point; otherwise the stored (truncated) one
  double cx = 0.0;
  double cy = 0.0;
  double startAngle = 0.0;
  double endAngle = 0.0;
};

// How the intersection routines read the items: an ellipse (its integer centre and
// semi-axes), an elliptic arc (its exact centre and radii), and the range test of an arc
// (about its circle's centre) or of an elliptic arc (about its exact centre) in the form given.
EllipseShape ShapeOfEllipse(const CDrawItem& item);
EllipseShape ShapeOfEllipseArc(const CDrawItem& item);
ArcRangeTest ArcRangeOf(const CDrawItem& item, int form, bool exactPoint);
// Whether the point (taken as it is, whatever exactPoint says) passes the test.
bool IsInArcRange(const ArcRangeTest& test, double x, double y);

// What a pair routine checks its points against, and what it reports when the result arrays
// cannot be made large enough (SetGlitchValue(root count), ReportGlitch(code, number)).
struct ConicIntersectRules {
  std::array<ArcRangeTest, 2> tests{};
  int testCount = 0;
  int glitchCode = 0;
  int glitchNumber = 0;
};

// Each real root of the quartic gives two candidate points, of which at most one is kept: the
// first when it lies on the ellipse (residual within S / 200000) and is new, else the second.
// A kept point outside a range test gives way to the other candidate when that one is on the
// ellipse, new and in range; otherwise the root gives nothing.
//
// The ellipse with the circle of centre (ox, oy) and the radius given; 0..4 points, truncated
// toward zero, flags 0.
int IntersectEllipseCircle(const EllipseShape& ellipse, double ox, double oy, double radius,
                           const ConicIntersectRules& rules);
// Two ellipses (first the receiving item's); 0..4 points, truncated toward zero, flags 0.
int IntersectEllipseEllipse(const EllipseShape& first, const EllipseShape& second,
                            const ConicIntersectRules& rules);

// ---- Eight-arc outline ----

// One circular arc of the outline, in the ellipse's own frame (centre at the origin, a along
// +x), run counter-clockwise from start to end.
struct OutlineArc {
  double cx = 0.0;
  double cy = 0.0;
  double radius = 0.0;
  double startX = 0.0;
  double startY = 0.0;
  double endX = 0.0;
  double endY = 0.0;
};

// The eight arcs in drawing order: upper left joint, left, lower left joint, bottom, lower
// right joint, right, upper right joint, top. Each ends where the next begins. Semi-axes of
// 0 or less give eight empty arcs at the origin.
std::array<OutlineArc, 8> MakeEllipseOutlineArcs(double a, double b);
