#pragma once
// The two ellipse kinds: CEllipseItem (type 5), a whole ellipse of any size and rotation, and
// CEllipseArcItem (type 8), the piece of such an ellipse swept counter-clockwise from its
// start point to its end point; and CEllipseArcUndoState, the snapshot of an elliptic arc's
// whole geometry that the document's undo keeps for a handle move.
//
// a, b are the semi-axes and the rotation the direction of the a axis in radians
// counter-clockwise from +x. The end points of an elliptic arc are stored, not derived, and
// every operation measures them by their polar angle about the centre; they are expected to
// lie on the ellipse, but nothing enforces it.
//
// The geometric queries record nothing; wrong directions, senses, ends and handles are
// glitches with neutral answers. Transformation and drawing are in ellipsedraw.cpp, the
// intersections in ellipseintersect.cpp.
#include <cstdint>

#include "items/drawitem.h"
#include "items/valuefields.h"

// ---- Values-bar fields of the two kinds ----

extern double g_valueRotation;  // radians
extern std::int32_t g_valueRadiusA;
extern std::int32_t g_valueRadiusB;

// Back to zero. For tests.
void ResetEllipseValueFields();

// The largest semi-axis a valid ellipse may have, in drawing units.
inline constexpr double kMaxSemiAxis = 1e8;

class CEllipseItem final : public CDrawItem {
 public:
  CEllipseItem();

  // ---- Accessors ----
  void GetSemiAxes(int& a, int& b) const override;
  double GetRotation() const override { return m_rotation; }
  std::uint8_t GetPenWidth() const override { return m_penWidth; }
  void GetCentre(int& x, int& y) const override;

  // ---- Setters (undo kinds: centre 9, semi-axes 31, rotation 35, pen width 38) ----
  void SetCentre(int x, int y) override;
  // Stores the magnitudes: a semi-axis has no sign.
  void SetSemiAxes(int a, int b) override;
  void SetRotation(double rotation) override;
  void SetPenWidth(int width) override;
  void MoveBy(int dx, int dy) override;
  void MoveHandle(int handle, int dx, int dy) override;
  void SetHandle(int handle, int x, int y) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  int GetHandleCount() const override { return 1; }

  // ---- Queries ----
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  double GetParameterAt(int x, int y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 1; }
  int GetEndAt(int, int, std::int16_t) const override { return -1; }
  int IsEndReachedGoing(int, int, int) const override { return 0; }
  int GetTurnAt(int x, int y, int direction) const override;
  double GetTravel(int toX, int toY, int fromX, int fromY, int sense) const override;
  double GetPickDistance(const CViewMapping* mapping) const override;
  double GetDistanceTo(int x, int y) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectScanLine(int y) const override;
  int ContainsPoint(int x, int y) const override;
  // Centre within the limits, both semi-axes non-zero and at most kMaxSemiAxis, and a finite
  // rotation.
  int IsValid() const override;
  int IsVerticalAt(int x, int y) const override;
  int GetDirectionAt(int x, int y, int sense) const override;
  // 1 for an ellipse with the same centre and semi-axes and a nearly equal rotation.
  int Compare(const CDrawItem* other) const override;

  // ---- Construction and editing ----
  void CopyFrom(const CDrawItem* other) override;
  // The ellipse of a circle: colour, object number, centre, radius as both semi-axes,
  // rotation 0, pen width and state; not the group.
  void SetFromCircle(const CDrawItem* circle) override;
  // An elliptic arc between split points index and index + 1.
  DrawItemPtr CreatePiece(int index) const override;
  void PublishProperties() const override;
  void PublishInformation() const override;

  // ---- Transformation, drawing, intersections ----
  void Transform(const CTransform& transform) override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  int IntersectWith(CDrawItem* other) override;
  // The ellipse as eight circular arcs, for plotters.
  void DrawAsArcs(zeph::CDrawContext* dc, const CViewMapping* mapping, int thin) const;

 private:
  std::int32_t m_centreX = 0;
  std::int32_t m_centreY = 0;
  std::int32_t m_semiA = 0;
  std::int32_t m_semiB = 0;
  double m_rotation = 0.0;
  std::uint8_t m_penWidth = 1;
};

class CEllipseArcItem final : public CDrawItem {
 public:
  CEllipseArcItem();

  // ---- Accessors ----
  void GetStart(int& x, int& y) const override;
  void GetEnd(int& x, int& y) const override;
  void GetCentreExact(double& x, double& y) const override;
  void GetRadii(double& a, double& b) const override;
  double GetRotation() const override { return m_rotation; }
  std::uint8_t GetPenWidth() const override { return m_penWidth; }

  // ---- Setters (undo kinds: start 6, centre 10, end 25, radii 30, rotation 35, pen 38) ----
  void SetStart(int x, int y) override;
  void SetEnd(int x, int y) override;
  void SetCentreExact(double x, double y) override;
  // Stores the magnitudes: a semi-axis has no sign.
  void SetRadii(double a, double b) override;
  void SetRotation(double rotation) override;
  void SetPenWidth(int width) override;
  // Both ends and the centre move (kind 41).
  void MoveBy(int dx, int dy) override;
  // Turns and scales the whole arc about the other end so that the handle's end follows the
  // move; recorded as one change of the whole geometry (kind 29).
  void MoveHandle(int handle, int dx, int dy) override;
  void SetHandle(int handle, int x, int y) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  int GetHandleCount() const override { return 2; }
  // Exchanges the ends only: no undo, no changed mark.
  void Reverse() override;

  // ---- Queries ----
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  double GetParameterAt(int x, int y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 0; }
  int GetEndAt(int x, int y, std::int16_t tolerance) const override;
  int IsEndReachedGoing(int x, int y, int direction) const override;
  int GetEndDirection(int end) const override;
  int GetTurnAt(int x, int y, int direction) const override;
  double GetTravel(int toX, int toY, int fromX, int fromY, int sense) const override;
  double GetPickDistance(const CViewMapping* mapping) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectScanLine(int y) const override;
  // Both ends and the rounded centre within the limits; finite, non-zero radii of at most
  // kMaxSemiAxis; a finite rotation.
  int IsValid() const override;
  int IsVerticalAt(int x, int y) const override;
  int GetDirectionAt(int x, int y, int sense) const override;
  // 0 no overlap, 1 the same arc, 2 other within this, 3 this within other, -2 each runs
  // into the other at both ends, -1 they overlap at one end; measured modulo a full turn.
  int Compare(const CDrawItem* other) const override;

  // ---- Temporary end moves of the fill search ----
  void TrimOverlap(CDrawItem* other) override;
  void MergeOverlap(CDrawItem* other) override;
  void RestoreEnds() override;
  void CommitEndMoves() override { m_moved.flags = 0; }
  // end 0 the start, 1 the end; the first move of an end saves where it was.
  void MoveEndTemporarily(int end, int x, int y);

  // Whether a polar angle lies within the arc, 1e-7 allowed at both ends.
  bool IsAngleInArc(double angle) const;

  // ---- Construction and editing ----
  void CopyFrom(const CDrawItem* other) override;
  // The elliptic arc of a circular arc: colour, object number, circle, ends, rotation 0, pen
  // width and state; not the group.
  void SetFromArc(const CDrawItem* arc) override;
  DrawItemPtr CreatePiece(int index) const override;
  void PublishProperties() const override;
  void PublishInformation() const override;

  // ---- Transformation, drawing, intersections ----
  void Transform(const CTransform& transform) override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  int IntersectWith(CDrawItem* other) override;

 private:
  // Start and end angles about the centre.
  double StartAngle() const;
  double EndAngle() const;

  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  double m_radiusA = 0.0;
  double m_radiusB = 0.0;
  double m_rotation = 0.0;
  std::uint8_t m_penWidth = 1;
  TemporaryEnds m_moved;
};

// The whole geometry of one elliptic arc, kept by an undo record of kind 29.
class CEllipseArcUndoState {
 public:
  CEllipseArcUndoState() = default;

  // Takes the item's centre, radii, ends and rotation: 1. An item that is no elliptic arc is
  // logged (1921) and leaves the snapshot invalid: 0.
  int Capture(const CDrawItem* item);
  // Exchanges the snapshot with the item's geometry through the item's setters (so the
  // document calls it with its recording off): 1. Twice restores the first state. An item
  // that is no elliptic arc, or a snapshot never captured, is logged (1922): 0.
  int Swap(CDrawItem* item);
  int IsValid() const { return m_valid; }

 private:
  std::int32_t m_valid = 0;
  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  double m_radiusA = 0.0;
  double m_radiusB = 0.0;
  double m_rotation = 0.0;
};
