#pragma once
// Boundary edges of fill regions. A fill's boundary loop (boundaryloop.h) is a cyclic list of
// edges, each a private copy of the piece of one drawing item that the fill search walked
// along between two junctions: a straight piece of a line (CLineEdge), a piece of a circle or
// circular arc (CArcEdge), of an ellipse or elliptic arc (CEllipseEdge) or of a cubic curve
// (CBezierEdge). Because the edge keeps its own geometry, a fill stays as it was drawn when
// the items around it later move or go.
//
// Edges answer what filling needs: the crossings of a horizontal scan line (solid fills and
// the point-inside test), the crossings of a straight segment (hatch lines), which way the
// boundary leaves a vertex vertically (so that a vertex on a scan line counts once or twice),
// how far the edge reaches in x and y, and whether a point lies on it.
//
// Conventions: int32 drawing units with y upwards; angles in radians counter-clockwise from
// +x; the polar angle of a point about a centre is AngleOf(y - cy, x - cx), in [0, 2 pi).
// An arc or elliptic edge whose start equals its end is the whole circle or ellipse; any other
// one covers the sweep from its start's polar angle to its end's in its direction.
//
// Every operation here is an inner geometry routine: it records nothing in the activity log
// and reports a glitch only when it is asked something it cannot answer. Single-threaded: the
// edge-hit arrays are shared by all edges.
#include <array>
#include <cstdint>
#include <memory>

class CTextFileReader;
class CTextFileWriter;
class CTransform;

// FloodEdgeType: the kind of an edge, fixed when it is made and written to the drawing file.
inline constexpr int kEdgeLine = 0;
inline constexpr int kEdgeArc = 1;
inline constexpr int kEdgeEllipse = 2;  // also made from an arc edge before a stretch
inline constexpr int kEdgeBezier = 3;
inline constexpr int kEdgeKindCount = 4;

// The extent flag word of GetXExtent / GetYExtent: the edge passes through the whole curve's
// point of minimum (maximum) coordinate strictly between its ends. The minimum and maximum
// reported are always those of the whole curve; use one only when its bit is set.
inline constexpr std::int16_t kExtentPassesMin = 1;
inline constexpr std::int16_t kExtentPassesMax = 2;

// GetEndDirection: moving from the end into the edge, y grows (up), falls (down) or stays.
inline constexpr int kEndGoesUp = 0;
inline constexpr int kEndGoesDown = 1;
inline constexpr int kEndIsLevel = 2;

// Directions of arc and elliptic edges.
inline constexpr std::int16_t kEdgeClockwise = 0;
inline constexpr std::int16_t kEdgeCounterClockwise = 1;

// The crossings of one edge with one scan line, ascending. A curve edge gives up to 5: its
// two ends on the line and three roots (a root where the line touches it counts twice, and
// a cubic touched somewhere has at most one other root).
inline constexpr int kEdgeScanCapacity = 6;
using EdgeScanHits = std::array<int, kEdgeScanCapacity>;

// The points of the last IntersectSegment of any edge, from index 0; valid until the next.
inline constexpr int kEdgeHitCapacity = 20;
extern std::array<std::int32_t, kEdgeHitCapacity> g_edgeHitX;
extern std::array<std::int32_t, kEdgeHitCapacity> g_edgeHitY;

class CFloodEdge {
 public:
  virtual ~CFloodEdge();
  CFloodEdge(const CFloodEdge&) = delete;
  CFloodEdge& operator=(const CFloodEdge&) = delete;

  int GetKind() const { return m_kind; }
  int GetStartX() const { return m_startX; }
  int GetStartY() const { return m_startY; }
  int GetEndX() const { return m_endX; }
  int GetEndY() const { return m_endY; }
  void SetStart(int x, int y) {
    m_startX = x;
    m_startY = y;
  }
  void SetEnd(int x, int y) {
    m_endX = x;
    m_endY = y;
  }
  // The used-segment code the fill search gave the piece this edge was made from.
  int GetCode() const { return m_code; }
  void SetCode(int code) { m_code = code; }
  // Entry i of the edge-hit arrays: 1, or 0 with the outputs untouched for an index outside
  // them.
  int GetEdgeHit(int i, int& x, int& y) const;

  // ---- Virtual operations, in the order of the virtual table. A kind that does not support
  // one keeps the base body: a glitch (its own number, n 1) and the neutral answer. ----

  // Centre and radius; answers the direction. Arc edges only.
  virtual std::int16_t GetArc(double& cx, double& cy, double& radius) const;
  // end 0 start, 1 end: kEndGoesUp, kEndGoesDown or kEndIsLevel (line edges only).
  virtual int GetEndDirection(std::int16_t end) const;
  // The other edge's start and end, and its geometry when it is of the same kind; the used
  // code is not copied.
  virtual void CopyFrom(const CFloodEdge* other);
  // The ellipse of an arc edge's circle (elliptic edges only).
  virtual void SetFromArc(const CFloodEdge* arcEdge);
  virtual std::int16_t GetEllipseCentre(double& cx, double& cy) const;
  virtual void GetEllipseShape(double& rx, double& ry, double& rotation) const;
  virtual void GetCurveStart(int& x, int& y) const;
  virtual void GetCurveEnd(int& x, int& y) const;
  virtual void GetControlPoint(std::int16_t i, double& x, double& y) const;
  // The crossings with the segment (x1, y1)-(x2, y2) into g_edgeHitX / g_edgeHitY; the count.
  virtual std::int16_t IntersectSegment(int x1, int y1, int x2, int y2) const;
  // The crossings with the horizontal line at y, ascending; the ends count. The count.
  virtual std::int16_t IntersectScanLine(int y, EdgeScanHits& xs) const;
  virtual std::int16_t GetXExtent(int& minX, int& maxX) const;
  virtual std::int16_t GetYExtent(int& minY, int& maxY) const;
  // 0 counter-clockwise, 1 clockwise (arc and elliptic edges).
  virtual int GetSense() const;
  virtual int IsClosed() const;
  // 0 not on the edge, 1 on it, 2 at an end.
  virtual int LocatePoint(int x, int y) const;
  virtual void MoveBy(int dx, int dy);
  // The record after the kind line; 1 when every line was read, else 0 (the reader's file
  // status says why) with the fields read so far kept.
  virtual int Read(CTextFileReader& reader);
  virtual void Reverse();
  // The record after the kind line.
  virtual void Write(CTextFileWriter& writer) const;
  virtual void SetControlPoint(std::int16_t i, double x, double y);
  virtual void Transform(const CTransform& transform);

 protected:
  explicit CFloodEdge(int kind) : m_kind(kind) {}
  // The start and end as four int32 lines.
  void WriteEnds(CTextFileWriter& writer) const;
  int ReadEnds(CTextFileReader& reader);
  void CopyEnds(const CFloodEdge* other);
  void TransformEnds(const CTransform& transform);
  bool StartEqualsEnd() const { return m_startX == m_endX && m_startY == m_endY; }
  bool IsEnd(int x, int y) const {
    return (x == m_startX && y == m_startY) || (x == m_endX && y == m_endY);
  }

 private:
  const std::int32_t m_kind;
  std::int32_t m_startX = 0;
  std::int32_t m_startY = 0;
  std::int32_t m_endX = 0;
  std::int32_t m_endY = 0;
  std::int32_t m_code = 0;
};

class CLineEdge final : public CFloodEdge {
 public:
  CLineEdge() : CFloodEdge(kEdgeLine) {}

  int GetEndDirection(std::int16_t end) const override;
  void CopyFrom(const CFloodEdge* other) override;
  std::int16_t IntersectSegment(int x1, int y1, int x2, int y2) const override;
  std::int16_t IntersectScanLine(int y, EdgeScanHits& xs) const override;
  // A straight edge has no interior extreme: 0, outputs untouched, no glitch.
  std::int16_t GetXExtent(int&, int&) const override { return 0; }
  std::int16_t GetYExtent(int&, int&) const override { return 0; }
  int LocatePoint(int x, int y) const override;
  void MoveBy(int dx, int dy) override;
  int Read(CTextFileReader& reader) override;
  void Write(CTextFileWriter& writer) const override;
  void Transform(const CTransform& transform) override;
};

class CArcEdge final : public CFloodEdge {
 public:
  CArcEdge() : CFloodEdge(kEdgeArc) {}

  void SetArcCentre(double x, double y) {
    m_centreX = x;
    m_centreY = y;
  }
  void SetRadius(double radius) { m_radius = radius; }
  void SetDirection(std::int16_t direction) { m_direction = direction; }

  std::int16_t GetArc(double& cx, double& cy, double& radius) const override;
  int GetEndDirection(std::int16_t end) const override;
  void CopyFrom(const CFloodEdge* other) override;
  std::int16_t IntersectSegment(int x1, int y1, int x2, int y2) const override;
  std::int16_t IntersectScanLine(int y, EdgeScanHits& xs) const override;
  std::int16_t GetXExtent(int& minX, int& maxX) const override;
  std::int16_t GetYExtent(int& minY, int& maxY) const override;
  int GetSense() const override { return 1 - m_direction; }
  int IsClosed() const override { return StartEqualsEnd() ? 1 : 0; }
  int LocatePoint(int x, int y) const override;
  void MoveBy(int dx, int dy) override;
  int Read(CTextFileReader& reader) override;
  void Reverse() override;
  void Write(CTextFileWriter& writer) const override;
  void Transform(const CTransform& transform) override;

 private:
  double m_radius = 0.0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  std::int16_t m_direction = kEdgeCounterClockwise;
};

// The cached extent of an elliptic edge along one axis.
struct EdgeExtentCache {
  std::int32_t valid = 0;
  std::int16_t flags = 0;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
};

class CEllipseEdge final : public CFloodEdge {
 public:
  CEllipseEdge() : CFloodEdge(kEdgeEllipse) {}

  // The setters leave the cached extents alone: they are used on new edges.
  void SetEllipseCentre(double x, double y) {
    m_centreX = x;
    m_centreY = y;
  }
  void SetRadii(double rx, double ry) {
    m_radiusX = rx;
    m_radiusY = ry;
  }
  void SetRotation(double rotation) { m_rotation = rotation; }
  void SetDirection(std::int16_t direction) { m_direction = direction; }

  int GetEndDirection(std::int16_t end) const override;
  void CopyFrom(const CFloodEdge* other) override;
  void SetFromArc(const CFloodEdge* arcEdge) override;
  std::int16_t GetEllipseCentre(double& cx, double& cy) const override;
  void GetEllipseShape(double& rx, double& ry, double& rotation) const override;
  std::int16_t IntersectSegment(int x1, int y1, int x2, int y2) const override;
  std::int16_t IntersectScanLine(int y, EdgeScanHits& xs) const override;
  std::int16_t GetXExtent(int& minX, int& maxX) const override;
  std::int16_t GetYExtent(int& minY, int& maxY) const override;
  int GetSense() const override { return 1 - m_direction; }
  int IsClosed() const override { return StartEqualsEnd() ? 1 : 0; }
  int LocatePoint(int x, int y) const override;
  void MoveBy(int dx, int dy) override;
  int Read(CTextFileReader& reader) override;
  void Reverse() override;
  void Write(CTextFileWriter& writer) const override;
  void Transform(const CTransform& transform) override;

 private:
  // Fills the cache of one axis (0 x, 1 y) when it is not valid yet.
  const EdgeExtentCache& Extent(int axis) const;

  double m_radiusX = 0.0;
  double m_radiusY = 0.0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  double m_rotation = 0.0;
  std::int16_t m_direction = kEdgeCounterClockwise;
  // Asked for on every scan line of a fill, so computed once.
  mutable EdgeExtentCache m_yExtent;
  mutable EdgeExtentCache m_xExtent;
};

class CBezierEdge final : public CFloodEdge {
 public:
  CBezierEdge() : CFloodEdge(kEdgeBezier) {}

  void SetCurveStart(int x, int y) {
    m_curveStartX = x;
    m_curveStartY = y;
  }
  void SetCurveEnd(int x, int y) {
    m_curveEndX = x;
    m_curveEndY = y;
  }
  // x(t), y(t) of the whole curve.
  double EvaluateX(double t) const;
  double EvaluateY(double t) const;
  std::array<double, 4> Axis(int axis) const;  // start, controls, end on one axis
  // The parameter in [0, 1] of the point of the whole curve nearest (x, y) among the roots of
  // its equations in y and in x; -1.0 when neither has a root in [0, 1], or only the one in x
  // and that point lies more than a unit away.
  double ParameterOfPoint(double x, double y) const;
  // Computes t0 from the start and t1 from the end where they are not known yet.
  void EnsureParameterRange() const;
  // The parameters of the edge's start and end on the whole curve; negative while unknown.
  double GetStartParameter() const { return m_t0; }
  double GetEndParameter() const { return m_t1; }

  int GetEndDirection(std::int16_t end) const override;
  void CopyFrom(const CFloodEdge* other) override;
  void GetCurveStart(int& x, int& y) const override;
  void GetCurveEnd(int& x, int& y) const override;
  void GetControlPoint(std::int16_t i, double& x, double& y) const override;
  std::int16_t IntersectSegment(int x1, int y1, int x2, int y2) const override;
  std::int16_t IntersectScanLine(int y, EdgeScanHits& xs) const override;
  std::int16_t GetXExtent(int& minX, int& maxX) const override;
  std::int16_t GetYExtent(int& minY, int& maxY) const override;
  int IsClosed() const override { return StartEqualsEnd() ? 1 : 0; }
  int LocatePoint(int x, int y) const override;
  void MoveBy(int dx, int dy) override;
  int Read(CTextFileReader& reader) override;
  void Reverse() override;
  void Write(CTextFileWriter& writer) const override;
  void SetControlPoint(std::int16_t i, double x, double y) override;
  void Transform(const CTransform& transform) override;

 private:
  // 1 when both t0 and t1 are known (computing them first where needed).
  bool HasParameterRange() const;
  // The polynomial coefficients (by power of t) of x(t) (axis 0) or y(t) (axis 1).
  void Coefficients(int axis, double* c) const;
  // The turning points' flags and values along one axis; inward trims the range ends.
  std::int16_t Extent(int axis, bool inward, int& minimum, int& maximum) const;

  std::int32_t m_curveStartX = 0;
  std::int32_t m_curveStartY = 0;
  std::int32_t m_curveEndX = 0;
  std::int32_t m_curveEndY = 0;
  double m_control0X = 0.0;
  double m_control0Y = 0.0;
  double m_control1X = 0.0;
  double m_control1Y = 0.0;
  // Negative until computed from the ends, the first time a geometric question needs them.
  mutable double m_t0 = -1.0;
  mutable double m_t1 = -1.0;
};

// A new edge of the kind (0..3) with no geometry; null for another kind or when memory runs
// out.
std::unique_ptr<CFloodEdge> CreateFloodEdge(int kind);

// Empties the edge-hit arrays. For tests.
void ResetFloodEdgeState();
