#pragma once
// The curve item (type 7, "Curve" in the user interface): one cubic Bézier segment between two
// integer end points S and E, shaped by two control points C1 (the start's arm) and C2 (the
// end's arm) held as doubles:
//   B(t) = (1-t)^3 S + 3t(1-t)^2 C1 + 3t^2(1-t) C2 + t^3 E,  0 <= t <= 1.
// The curve runs from S to E; direction codes 6 (along, towards E) and 7 (against, towards S)
// refer to that way.
//
// Besides the item, this header declares the pure Bézier arithmetic (evaluation, power form,
// level crossings, control-polygon length, sample counts), which the curve boundary edge of
// the fill search shares.
//
// Every density at which a curve is sampled comes from its control-polygon length; the counts
// are capped (kMaxBezierSamples), so a curve read from a damaged file, with far-off or
// non-finite control points, cannot make any operation run for ever. Such a curve is not
// valid either: IsValid checks the control points as well as the ends.
//
// Intersections of curves with arcs, circles, ellipses, elliptic arcs and other curves are in
// bezierintersect.cpp; a line handles its own pairs with a curve (lineintersect.cpp).
#include <array>
#include <cstdint>

#include "items/drawitem.h"
#include "items/valuefields.h"

// ---- Cubic Bézier arithmetic (pure functions, no state, nothing logged) ----

// The four defining values of one axis: start, first control, second control, end.
using BezierAxis = std::array<double, 4>;

struct CubicBezier {
  BezierAxis x{};
  BezierAxis y{};
};

// No density derived from a control polygon samples a curve more often than this.
inline constexpr int kMaxBezierSamples = 20000;

// A parameter root this close beyond 0 or 1 is taken to be that end.
inline constexpr double kBezierParameterSnap = 1e-7;

// B(t) on one axis, in the Bernstein form above.
double BezierValue(const BezierAxis& p, double t);
// B'(t) on one axis: 3 A t^2 + 2 B t + C.
double BezierSlope(const BezierAxis& p, double t);
// The power form A t^3 + B t^2 + C t + D of one axis as the solvers take it, element k the
// coefficient of t^k: {D, C, B, A} = {p0, 3p1 - 3p0, 3p2 - 6p1 + 3p0, p3 - 3p2 + 3p1 - p0}.
std::array<double, 4> BezierPowerForm(const BezierAxis& p);
// The real roots t of B(t) = level on one axis, in the order SolveCubic gives them, neither
// filtered nor snapped; roots holds 3. Answers 0..3.
int SolveBezierLevel(const BezierAxis& p, double level, double* roots);
// -1e-7 <= t <= 0 gives 0 and 1 <= t <= 1 + 1e-7 gives 1; any other t is returned unchanged.
double SnapBezierParameter(double t);
// |C1 - S| + |C2 - C1| + |C2 - E| + |S - E|: the perimeter of the closed control polygon.
double BezierControlPolygonLength(const CubicBezier& curve);
// TruncateToInt(polygonLength / unitsPerSample), at most kMaxBezierSamples; 0 for a length
// that is not finite or not positive.
int BezierSampleCount(double polygonLength, double unitsPerSample);

// 1 when the segment (x1, y1)-(x2, y2) meets the segment (x3, y3)-(x4, y4), with a tolerance
// of 0.01 in the dot-product measure along each; parallel segments never meet.
int SegmentsIntersect(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4);

// ---- Values-bar fields of the curve ----

extern double g_valueControlLength0;
extern double g_valueControlAngle0;  // radians
extern double g_valueControlLength1;
extern double g_valueControlAngle1;  // radians

// Back to zero. For tests.
void ResetBezierValueFields();

class CBezierItem final : public CDrawItem {
 public:
  CBezierItem();

  // ---- Geometry ----
  double GetXAt(double t) const override;
  double GetYAt(double t) const override;
  // i 0: C1, i 1: C2; another i is a glitch and leaves the outputs alone.
  void GetControlPoint(int i, double& x, double& y) const override;
  void GetStart(int& x, int& y) const override;
  void GetEnd(int& x, int& y) const override;
  CubicBezier GetShape() const;

  // The parameter t at which the curve passes through (x, y), found on the horizontal line
  // through the point: the root of y(t) = y nearest in x. 0.0 at S, 1.0 at E, -1.0 when the
  // curve does not come within half a unit (the rounding of a point) of that height. A curve
  // that lies within one unit of a horizontal line is searched along x instead, so its own
  // points still get their true parameter.
  double FindParameter(double x, double y) const;
  // The curve's derivative at a point of it; only its direction matters. At an end whose arm
  // has length 0 the direction the curve leaves that end in.
  void GetDerivativeAt(int x, int y, double& dx, double& dy) const;
  double GetControlPolygonLength() const;

  // ---- Queries of the fill search and the editor ----
  double GetParameterAt(int x, int y) const override { return FindParameter(x, y); }
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  // Which way along the curve (6 along, 7 against) a linear direction 0..3 moves the point.
  int GetCurveWayAt(int x, int y, int direction) const override;
  // The linear direction 0..3 in which the curve leaves the point going in sense 6 or 7.
  int GetDirectionAt(int x, int y, int sense) const override;
  int GetEndDirection(int end) const override;
  int GetEndAt(int x, int y, std::int16_t tolerance) const override;
  int IsEndReachedGoing(int x, int y, int direction) const override;
  int IsVerticalAt(int x, int y) const override;
  // Length along the curve from (fromX, fromY) to (toX, toY) going in sense 6 or 7; -1.0 when
  // the to-point lies behind, or either point is not on the curve.
  double GetTravel(int toX, int toY, int fromX, int fromY, int direction) const override;
  double GetPickDistance(const CViewMapping* mapping) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectScanLine(int y) const override;
  int IntersectWith(CDrawItem* other) override;
  // The double point of a curve that crosses itself (S itself when S equals E): 1 and the
  // point, else 0.
  int FindSelfIntersection(int& x, int& y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 0; }
  // Ends and control points inside the coordinate limits (finite) and no double point.
  int IsValid() const override;
  // An invalid curve gets its control points exchanged (no undo).
  void Normalise() override;
  // The same curve, drawn either way.
  int Compare(const CDrawItem* other) const override;
  void CopyFrom(const CDrawItem* other) override;

  // ---- Pieces ----
  // The piece between split entries index and index + 1, refitted to follow this curve.
  DrawItemPtr CreatePiece(int index) const override;
  // Gives the piece (a curve whose ends lie on this one) control points along which it
  // follows this curve between its ends; coarse 0 searches more finely (Break's final pieces).
  void FitToCurve(CDrawItem* piece, int coarse) const override;

  // ---- Drawing ----
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;

  // ---- Setters (undo kinds: start 6, end 25, C1 7, C2 8, pen width 38, move 41) ----
  void SetStart(int x, int y) override;
  void SetEnd(int x, int y) override;
  // i 0: C1, i 1: C2; another i is a glitch and changes nothing.
  void SetControlPoint(int i, double x, double y) override;
  // Turns arm i to the angle (radians), keeping its length.
  void SetControlAngle(int i, double angle) override;
  // Makes arm i length long (length > 0), keeping its direction (straight up for an arm of
  // length 0).
  void SetControlLength(int i, double length) override;
  void SetHandle(int handle, int x, int y) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  int GetHandleCount() const override { return 2; }
  void MoveHandle(int handle, int dx, int dy) override { MoveHandleShared(handle, dx, dy); }
  void MoveBy(int dx, int dy) override;
  void Transform(const CTransform& transform) override;
  std::uint8_t GetPenWidth() const override { return m_penWidth; }
  void SetPenWidth(int width) override;

  void PublishProperties() const override;
  void PublishInformation() const override;

  // Fills the cached bounding box from the ends and the curve's samples.
  void ComputeBoundingBox() const;

 private:
  void GeometryEdited();

  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  double m_control1X = 0.0;
  double m_control1Y = 0.0;
  double m_control2X = 0.0;
  double m_control2Y = 0.0;
  std::uint8_t m_penWidth = 1;
  // The box is derived data, filled on first demand after each change of geometry.
  mutable std::int32_t m_boxValid = 0;
  mutable std::int32_t m_boxMinX = 0;
  mutable std::int32_t m_boxMinY = 0;
  mutable std::int32_t m_boxMaxX = 0;
  mutable std::int32_t m_boxMaxY = 0;
};
