#pragma once
// The line item: a straight segment between two points in one of six line styles and nine
// pen widths. Besides drawing and editing it serves the document's geometric passes: picking,
// snapping to its ends, the fill search (which merges overlapping lines and moves their ends
// for a while), breaking at crossings, extending to the next item and converting old
// drawings. It is the one kind that intersects with every other kind (lineintersect.cpp).
#include <cstdint>

#include "items/drawitem.h"

class CLineItem final : public CDrawItem {
 public:
  CLineItem();

  // Handle 0 is the start, handle 1 the end.
  CSlope& GetTangentAt(CSlope& out, int x, int y) const override;
  double GetParameterAt(int x, int y) const override;
  int CanBound() const override { return 1; }
  int IsCurve() const override { return 1; }
  int IsClosed() const override { return 0; }
  int GetEndAt(int x, int y, std::int16_t tolerance) const override;
  void CommitEndMoves() override { m_moved.flags = 0; }
  void MergeOverlap(CDrawItem* other) override;
  void CopyFrom(const CDrawItem* other) override;
  DrawItemPtr CreatePiece(int index) const override;
  double GetTravel(int toX, int toY, int fromX, int fromY, int direction) const override;
  double GetPickDistance(const CViewMapping* mapping) const override;
  double GetDistanceTo(int x, int y) const override;
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  void ProjectPoint(int& x, int& y) const override;
  void GetStart(int& x, int& y) const override;
  void GetEnd(int& x, int& y) const override;
  void GetRightmostPoint(int& x, int& y) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  int IntersectLineWith(CDrawItem* other, bool beyondEnds) override;
  int IntersectWith(CDrawItem* other) override { return IntersectLineWith(other, false); }
  std::uint8_t GetLineStyle() const override { return m_lineStyle; }
  int GetDirectionCode(int ax, int ay, int bx, int by) const override;
  std::uint8_t GetPenWidth() const override { return m_penWidth; }
  int IntersectScanLine(int y) const override;
  int IntersectSegment(int x1, int y1, int x2, int y2) const override;
  int IsEndReachedGoing(int x, int y, int direction) const override;
  int IsHorizontal() const override { return m_startY == m_endY ? 1 : 0; }
  int IsValid() const override;
  int IsVerticalAt(int, int) const override { return m_startX == m_endX ? 1 : 0; }
  void MoveBy(int dx, int dy) override;
  void MoveHandle(int handle, int dx, int dy) override { MoveHandleShared(handle, dx, dy); }
  int GetHandleCount() const override { return 2; }
  int Compare(const CDrawItem* other) const override;
  void RestoreEnds() override;
  void SetStart(int x, int y) override;
  void SetEnd(int x, int y) override;
  // Stored without a range test (IsValid checks it); -1 when the document refuses, else the
  // style.
  int SetLineStyle(std::uint8_t style) override;
  void SetHandle(int handle, int x, int y) override;
  void SetPenWidth(int width) override;
  void PublishProperties() const override;
  void PublishInformation() const override;
  int GetEndDirection(int end) const override;
  void Transform(const CTransform& transform) override;
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;

  // Moves end 0 or 1 to (x, y) without undo, remembering where it was before its first such
  // move, for RestoreEnds; other ends do nothing.
  void MoveEndTemporarily(int end, int x, int y);
  // Bit 0: the start has been moved for a while; bit 1: the end.
  std::int16_t GetTemporaryMoveFlags() const { return m_moved.flags; }

 private:
  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  std::uint8_t m_lineStyle = 0;
  std::uint8_t m_penWidth = 0;
  TemporaryEnds m_moved;
};

// The integer test whether a / d equals c / b, with a tolerance of half the largest operand
// (products in 64 bits). Compare uses it to test that a point lies on a line's extension.
int IsSameRatio(int a, int b, int c, int d);
