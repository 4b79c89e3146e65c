#pragma once
// The circular kinds: CArcItem (type 1), an arc running counter-clockwise (y upwards) from its
// start point to its end point through its included angle, and CCircleItem (type 2), a whole
// circle with an integer centre and radius. Both are drawn in pen widths 1..9 and take part
// in picking, snapping, the fill search, breaking and transformations; breaking a circle
// gives arcs.
//
// An arc is stored by its two end points and its included angle; its centre and radius are
// derived (Recalculate) and kept as doubles. The setters of the ends and the angle store only:
// whoever changes them follows with Recalculate (or SetAngleFromCentre then Recalculate).
// A valid arc has distinct ends, an included angle strictly between 0 and 2 pi (and not
// within 1e-5 of either) and a radius of at most 1e8; a valid circle a radius of 1..1e8.
//
// The geometric queries record nothing; wrong handles, ends, directions and senses are
// glitches (arc 1701-1714, circle 1741-1749) with neutral answers. The intersections of the
// two kinds are in arcintersect.cpp.
#include <cstdint>

#include "items/drawitem.h"

// The largest radius of a valid arc or circle, in drawing units.
inline constexpr double kMaxArcRadius = 1e8;

class CArcItem final : public CDrawItem {
 public:
  CArcItem();

  // ---- Geometry (handle 0 the start, handle 1 the end) ----
  void GetCircle(double& cx, double& cy, double& radius) const override;
  // Radius and centre from the ends and the included angle: the centre lies to the left of
  // the chord from start to end for angles below pi. Ends that coincide, or an angle whose
  // half has no positive sine (0, 2 pi, or outside them), give radius 0 with the centre at the
  // start.
  void Recalculate() override;
  // SetAngle with the angle from the start counter-clockwise to the end about (cx, cy).
  void SetAngleFromCentre(double cx, double cy) override;
  void RecalculateAngle() override;
  double GetAngle() const override { return m_angle; }
  void GetStart(int& x, int& y) const override;
  void GetEnd(int& x, int& y) const override;
  std::uint8_t GetPenWidth() const override { return m_penWidth; }

  // ---- Setters (undo kinds: angle 4, start 6, end 25, pen width 38, move 41) ----
  // The comparison with the stored angle is exact; nothing is recomputed.
  void SetAngle(double angle) override;
  void SetStart(int x, int y) override;
  void SetEnd(int x, int y) override;
  void SetHandle(int handle, int x, int y) override;
  void SetPenWidth(int width) override;
  void MoveBy(int dx, int dy) override;
  // The handle moves through SetHandle, then the arc is recalculated.
  void MoveHandle(int handle, int dx, int dy) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  int GetHandleCount() const override { return 2; }
  // Exchanges the ends and nothing else (no undo, nothing recomputed).
  void Reverse() override;
  void CopyFrom(const CDrawItem* other) override;
  // Reflections, and stretches by a negative factor, reverse the arc so that it still runs
  // counter-clockwise; the included angle is kept and the centre follows the new ends.
  void Transform(const CTransform& transform) override;

  // ---- Queries ----
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  double GetParameterAt(int x, int y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 0; }
  int GetEndAt(int x, int y, std::int16_t tolerance) const override;
  int GetTurnAt(int x, int y, int direction) const override;
  int GetDirectionAt(int x, int y, int sense) const override;
  int GetDirectionCode(int ax, int ay, int bx, int by) const override;
  int GetEndDirection(int end) const override;
  double GetTravel(int toX, int toY, int fromX, int fromY, int sense) const override;
  // From g_cursorPoint / the point: to the circle where the point's direction from the centre
  // lies within the arc, else to the nearer end.
  double GetPickDistance(const CViewMapping* mapping) const override;
  double GetDistanceTo(int x, int y) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectWith(CDrawItem* other) override;
  int IntersectScanLine(int y) const override;
  int IsEndReachedGoing(int x, int y, int direction) const override;
  int IsValid() const override;
  int IsVerticalAt(int x, int y) const override;
  // Against another arc or a circle on (nearly) the same circle: 1 the same, 2 other within
  // this, 3 this within other, -2 overlapping at both ends, -1 at one end, 0 apart (or not on
  // the same circle, or another kind). Arcs are compared round the circle, so one that passes
  // angle 0 overlaps one just past 0 like any other.
  int Compare(const CDrawItem* other) const override;
  DrawItemPtr CreatePiece(int index) const override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  void PublishProperties() const override;
  void PublishInformation() const override;

  // ---- Temporary end moves of the fill search (no undo) ----
  // Removes from this arc the stretches that other (an arc on the same circle) covers.
  void TrimOverlap(CDrawItem* other) override;
  // Stretches this arc over other (an arc on the same circle that overlaps one of its ends).
  void MergeOverlap(CDrawItem* other) override;
  void CommitEndMoves() override { m_moved.flags = 0; }
  // Puts back the ends and the included angle as they were before the first move.
  void RestoreEnds() override;
  // Moves end 0 or 1 to (x, y), remembering it (and the included angle) before the first
  // move; the included angle then follows the ends about the unchanged centre.
  void MoveEndTemporarily(int end, int x, int y);
  std::int16_t GetTemporaryMoveFlags() const { return m_moved.flags; }

 private:
  // The angle of a point about the stored centre, in [0, 2 pi).
  double AngleAbout(double x, double y) const;

  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  double m_angle = 0.0;
  double m_radius = 0.0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  std::uint8_t m_penWidth = 0;
  TemporaryEnds m_moved;
  double m_savedAngle = 0.0;
};

class CCircleItem final : public CDrawItem {
 public:
  CCircleItem();

  // ---- Geometry (handle 0 the centre) ----
  void GetCentre(int& x, int& y) const override;
  int GetRadius() const override { return m_radius; }
  std::uint8_t GetPenWidth() const override { return m_penWidth; }

  // ---- Setters (undo kinds: centre 9, radius 32, pen width 38, move 41) ----
  void SetCentre(int x, int y) override;
  void SetRadius(int radius) override;
  void SetHandle(int handle, int x, int y) override;
  void SetPenWidth(int width) override;
  void MoveBy(int dx, int dy) override;
  void MoveHandle(int handle, int dx, int dy) override { MoveHandleShared(handle, dx, dy); }
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  int GetHandleCount() const override { return 1; }
  void CopyFrom(const CDrawItem* other) override;
  // The centre follows the transformation; only an enlargement changes the radius (by the
  // size of its factor).
  void Transform(const CTransform& transform) override;

  // ---- Queries ----
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  double GetParameterAt(int x, int y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 1; }
  int GetEndAt(int, int, std::int16_t) const override { return -1; }
  int IsEndReachedGoing(int, int, int) const override { return 0; }
  int GetTurnAt(int x, int y, int direction) const override;
  int GetDirectionAt(int x, int y, int sense) const override;
  double GetTravel(int toX, int toY, int fromX, int fromY, int sense) const override;
  // Within half the radius of the centre the distance to the centre (the middle picks the
  // circle), else to the circle.
  double GetPickDistance(const CViewMapping* mapping) const override;
  double GetDistanceTo(int x, int y) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectWith(CDrawItem* other) override;
  int IntersectScanLine(int y) const override;
  // The edge counts as inside.
  int ContainsPoint(int x, int y) const override;
  int IsValid() const override;
  int IsVerticalAt(int, int y) const override { return y == m_centreY ? 1 : 0; }
  // Another circle: 1 when exactly the same. An arc: its own answer against this circle,
  // with "this within other" turned round (2).
  int Compare(const CDrawItem* other) const override;
  // The arc from split point index counter-clockwise to split point index + 1.
  DrawItemPtr CreatePiece(int index) const override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  void PublishProperties() const override;
  void PublishInformation() const override;

 private:
  std::int32_t m_centreX = 0;
  std::int32_t m_centreY = 0;
  std::int32_t m_radius = 0;
  std::uint8_t m_penWidth = 0;
};
