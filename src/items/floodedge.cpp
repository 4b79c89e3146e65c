// Boundary edges: the family's base operations, the straight and circular kinds, the edge-hit
// arrays and the helpers the curved kinds (floodedge_curved.cpp) share.
#include "items/floodedge.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "items/floodedge_detail.h"
#include "items/transform.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/textfile.h"

std::array<std::int32_t, kEdgeHitCapacity> g_edgeHitX{};
std::array<std::int32_t, kEdgeHitCapacity> g_edgeHitY{};

void ResetFloodEdgeState() {
  g_edgeHitX.fill(0);
  g_edgeHitY.fill(0);
}

namespace flood_detail {

double PolarAngle(double x, double y, double cx, double cy) { return AngleOf(y - cy, x - cx); }

bool IsInSweep(double angle, double a0, double a1, double widen) {
  if (a1 >= a0) return a0 - widen <= angle && angle <= a1 + widen;
  if (angle < a0 - widen) angle += g_twoPi;
  return a0 - widen <= angle && angle <= a1 + g_twoPi + widen;
}

int AddClamped(int a, int b) {
  return ClampInt64ToInt(static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b));
}

std::int16_t ExtentFlags(const EndPlace& start, const EndPlace& end, double startCoordinate,
                         double endCoordinate, int direction, bool whole) {
  if (whole) {
    // The whole curve passes both extremes, except one it starts at.
    std::int16_t flags = 0;
    if (!start.atMin) flags |= kExtentPassesMin;
    if (!start.atMax) flags |= kExtentPassesMax;
    return flags;
  }
  const bool counterClockwise = direction == kEdgeCounterClockwise;
  if ((start.first && end.second) || (start.second && end.first)) {
    // From one half to the other: exactly one extreme lies between.
    return start.first == counterClockwise ? kExtentPassesMin : kExtentPassesMax;
  }
  auto passed = [&]() {
    std::int16_t flags = 0;
    if (!start.atMin && !end.atMin) flags |= kExtentPassesMin;
    if (!start.atMax && !end.atMax) flags |= kExtentPassesMax;
    return flags;
  };
  if (!start.second && !end.second) {
    // Both in the first half (or at an extreme): counter-clockwise the coordinate falls there,
    // so an arc that goes that way and does fall stays inside the half.
    if (counterClockwise) return endCoordinate < startCoordinate ? 0 : passed();
    return startCoordinate < endCoordinate ? 0 : passed();
  }
  // Both in the second half (or at an extreme), where counter-clockwise the coordinate rises.
  if (counterClockwise) return startCoordinate < endCoordinate ? 0 : passed();
  return endCoordinate < startCoordinate ? 0 : passed();
}

int ReadDoubleField(CTextFileReader& reader, double& field) {
  double value = 0.0;
  if (reader.ReadDouble(value) == 0) return 0;
  field = value;
  return 1;
}

void StoreEdgeHit(int index, int x, int y) {
  if (index < 0 || index >= kEdgeHitCapacity) return;
  g_edgeHitX[static_cast<std::size_t>(index)] = x;
  g_edgeHitY[static_cast<std::size_t>(index)] = y;
}

}  // namespace flood_detail

using namespace flood_detail;

namespace {

// Glitch numbers of the base bodies (a kind asked for what it does not support).
constexpr int kGlitchGetArc = 10501;
constexpr int kGlitchGetEndDirection = 10502;
constexpr int kGlitchCopyFrom = 10504;
constexpr int kGlitchSetFromArc = 10505;
constexpr int kGlitchGetEllipseCentre = 10506;
constexpr int kGlitchGetControlPoint = 10507;
constexpr int kGlitchGetEllipseShape = 10508;
constexpr int kGlitchGetCurveEnd = 10509;
constexpr int kGlitchGetCurveStart = 10510;
constexpr int kGlitchIntersectSegment = 10511;
constexpr int kGlitchIntersectScanLine = 10513;
constexpr int kGlitchGetXExtent = 10514;
constexpr int kGlitchGetYExtent = 10515;
constexpr int kGlitchGetSense = 10516;
constexpr int kGlitchLocatePoint = 10517;
constexpr int kGlitchMoveBy = 10518;
constexpr int kGlitchRead = 10519;
constexpr int kGlitchWrite = 10520;
constexpr int kGlitchSetControlPoint = 10521;
constexpr int kGlitchTransform = 10522;

constexpr int kGlitchLineEndDirection = 3140;
constexpr int kGlitchArcEndDirection = 3130;

void Unsupported(int glitch) { ReportGlitch(glitch, 1); }

// Exact a d - b c of 32-bit differences (each product needs up to 66 bits).
__extension__ typedef __int128 Wide;
Wide CrossExact(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
  return static_cast<Wide>(a) * d - static_cast<Wide>(b) * c;
}

// Smaller x, or equal x and smaller y.
bool IsBefore(std::int64_t px, std::int64_t py, std::int64_t qx, std::int64_t qy) {
  return px < qx || (px == qx && py < qy);
}

// Sorts the first n values ascending (n is at most a handful).
void SortHits(EdgeScanHits& xs, int n) { std::sort(xs.begin(), xs.begin() + n); }

// A direction read from a file must be one of the two.
bool IsDirection(std::int16_t direction) {
  return direction == kEdgeClockwise || direction == kEdgeCounterClockwise;
}

void MarkIllegalValue() {
  if (g_fileStatus == kFileOk) g_fileStatus = kFileIllegalValue;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The base

CFloodEdge::~CFloodEdge() = default;

int CFloodEdge::GetEdgeHit(int i, int& x, int& y) const {
  if (i < 0 || i >= kEdgeHitCapacity) return 0;
  x = g_edgeHitX[static_cast<std::size_t>(i)];
  y = g_edgeHitY[static_cast<std::size_t>(i)];
  return 1;
}

std::int16_t CFloodEdge::GetArc(double&, double&, double&) const {
  Unsupported(kGlitchGetArc);
  return 1;
}
int CFloodEdge::GetEndDirection(std::int16_t) const {
  Unsupported(kGlitchGetEndDirection);
  return 0;
}
void CFloodEdge::CopyFrom(const CFloodEdge*) { Unsupported(kGlitchCopyFrom); }
void CFloodEdge::SetFromArc(const CFloodEdge*) { Unsupported(kGlitchSetFromArc); }
std::int16_t CFloodEdge::GetEllipseCentre(double&, double&) const {
  Unsupported(kGlitchGetEllipseCentre);
  return 1;
}
void CFloodEdge::GetEllipseShape(double&, double&, double&) const {
  Unsupported(kGlitchGetEllipseShape);
}
void CFloodEdge::GetCurveStart(int&, int&) const { Unsupported(kGlitchGetCurveStart); }
void CFloodEdge::GetCurveEnd(int&, int&) const { Unsupported(kGlitchGetCurveEnd); }
void CFloodEdge::GetControlPoint(std::int16_t, double&, double&) const {
  Unsupported(kGlitchGetControlPoint);
}
std::int16_t CFloodEdge::IntersectSegment(int, int, int, int) const {
  Unsupported(kGlitchIntersectSegment);
  return 0;
}
std::int16_t CFloodEdge::IntersectScanLine(int, EdgeScanHits&) const {
  Unsupported(kGlitchIntersectScanLine);
  return 0;
}
std::int16_t CFloodEdge::GetXExtent(int&, int&) const {
  Unsupported(kGlitchGetXExtent);
  return 0;
}
std::int16_t CFloodEdge::GetYExtent(int&, int&) const {
  Unsupported(kGlitchGetYExtent);
  return 0;
}
int CFloodEdge::GetSense() const {
  Unsupported(kGlitchGetSense);
  return 0;
}
int CFloodEdge::IsClosed() const { return 0; }
int CFloodEdge::LocatePoint(int, int) const {
  Unsupported(kGlitchLocatePoint);
  return 0;
}
void CFloodEdge::MoveBy(int, int) { Unsupported(kGlitchMoveBy); }
int CFloodEdge::Read(CTextFileReader&) {
  Unsupported(kGlitchRead);
  return 0;
}
void CFloodEdge::Reverse() {
  std::swap(m_startX, m_endX);
  std::swap(m_startY, m_endY);
}
void CFloodEdge::Write(CTextFileWriter&) const { Unsupported(kGlitchWrite); }
void CFloodEdge::SetControlPoint(std::int16_t, double, double) {
  Unsupported(kGlitchSetControlPoint);
}
void CFloodEdge::Transform(const CTransform&) { Unsupported(kGlitchTransform); }

void CFloodEdge::WriteEnds(CTextFileWriter& writer) const {
  writer.WriteInt(m_startX);
  writer.WriteInt(m_startY);
  writer.WriteInt(m_endX);
  writer.WriteInt(m_endY);
}

int CFloodEdge::ReadEnds(CTextFileReader& reader) {
  for (std::int32_t* field : {&m_startX, &m_startY, &m_endX, &m_endY}) {
    int value = 0;
    if (reader.ReadInt(value) == 0) return 0;
    *field = value;
  }
  return 1;
}

void CFloodEdge::CopyEnds(const CFloodEdge* other) {
  SetStart(other->m_startX, other->m_startY);
  SetEnd(other->m_endX, other->m_endY);
}

void CFloodEdge::TransformEnds(const CTransform& transform) {
  const int sx = transform.TransformX(m_startX, m_startY);
  const int sy = transform.TransformY(m_startX, m_startY);
  const int ex = transform.TransformX(m_endX, m_endY);
  const int ey = transform.TransformY(m_endX, m_endY);
  SetStart(sx, sy);
  SetEnd(ex, ey);
}

std::unique_ptr<CFloodEdge> CreateFloodEdge(int kind) {
  try {
    switch (kind) {
      case kEdgeLine:
        return std::make_unique<CLineEdge>();
      case kEdgeArc:
        return std::make_unique<CArcEdge>();
      case kEdgeEllipse:
        return std::make_unique<CEllipseEdge>();
      case kEdgeBezier:
        return std::make_unique<CBezierEdge>();
      default:
        return nullptr;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// ---------------------------------------------------------------------------------------------
// Straight edges

int CLineEdge::GetEndDirection(std::int16_t end) const {
  if (end != 0 && end != 1) {
    SetGlitchValue(end);
    ReportGlitch(kGlitchLineEndDirection, 1);
    return 0;
  }
  const int from = end == 0 ? GetStartY() : GetEndY();
  const int to = end == 0 ? GetEndY() : GetStartY();
  if (from < to) return kEndGoesUp;
  if (to < from) return kEndGoesDown;
  return kEndIsLevel;
}

void CLineEdge::CopyFrom(const CFloodEdge* other) {
  if (other != nullptr) CopyEnds(other);
}

std::int16_t CLineEdge::IntersectScanLine(int y, EdgeScanHits& xs) const {
  const int sy = GetStartY();
  const int ey = GetEndY();
  if (y == sy) {
    xs[0] = GetStartX();
    return 1;
  }
  if (y == ey) {
    xs[0] = GetEndX();
    return 1;
  }
  if ((y < sy && y < ey) || (y > sy && y > ey) || sy == ey) return 0;
  const double dx = static_cast<double>(GetEndX()) - GetStartX();
  const double dy = static_cast<double>(ey) - sy;
  xs[0] = ClampInt64ToInt(static_cast<std::int64_t>(GetStartX()) +
                          RoundToInt((static_cast<double>(y) - sy) * dx / dy));
  return 1;
}

std::int16_t CLineEdge::IntersectSegment(int x1, int y1, int x2, int y2) const {
  // The segment's ends in order: smaller x first, on equal x smaller y.
  std::int64_t ax = x1, ay = y1, bx = x2, by = y2;
  if (IsBefore(bx, by, ax, ay)) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  // A segment without length crosses nothing.
  if (ax == bx && ay == by) return 0;
  const std::int64_t sx = GetStartX(), sy = GetStartY(), ex = GetEndX(), ey = GetEndY();
  const std::int64_t dx = bx - ax, dy = by - ay;
  const std::int64_t edx = ex - sx, edy = ey - sy;
  const Wide m = CrossExact(dx, edx, dy, edy);  // dx * edy - edx * dy
  if (m != 0) {
    // Where the two infinite lines meet: start + u (edge vector).
    const double u = static_cast<double>(CrossExact(ax - sx, dx, ay - sy, dy)) /
                     static_cast<double>(CrossExact(edx, dx, edy, dy));
    const double px = static_cast<double>(sx) + u * static_cast<double>(edx);
    const double py = static_cast<double>(sy) + u * static_cast<double>(edy);
    auto dot = [](double qx, double qy, std::int64_t ox, std::int64_t oy, std::int64_t vx,
                  std::int64_t vy) {
      return (qx - static_cast<double>(ox)) * static_cast<double>(vx) +
             (qy - static_cast<double>(oy)) * static_cast<double>(vy);
    };
    if (dot(px, py, sx, sy, edx, edy) >= -0.1 && dot(px, py, ex, ey, edx, edy) <= 0.1 &&
        dot(px, py, ax, ay, dx, dy) >= -0.1 && dot(px, py, bx, by, dx, dy) <= 0.1) {
      StoreEdgeHit(0, RoundToInt(px), RoundToInt(py));
      return 1;
    }
    return 0;
  }
  // Parallel: apart unless the edge's start lies on the segment's line.
  if (CrossExact(sx - x1, static_cast<std::int64_t>(x2) - sx, sy - y1,
                 static_cast<std::int64_t>(y2) - sy) != 0) {
    // (sx - x1)(y2 - sy) - (x2 - sx)(sy - y1)
    return 0;
  }
  std::int64_t hx = 0, hy = 0;
  if (IsBefore(sx, sy, ax, ay)) {
    if (IsBefore(ex, ey, ax, ay)) return 0;
    hx = ax;
    hy = ay;
  } else if (IsBefore(bx, by, sx, sy)) {
    if (IsBefore(bx, by, ex, ey)) return 0;
    hx = bx;
    hy = by;
  } else {
    hx = sx;
    hy = sy;
  }
  StoreEdgeHit(0, static_cast<int>(hx), static_cast<int>(hy));
  if (IsBefore(ex, ey, ax, ay)) {
    StoreEdgeHit(1, static_cast<int>(ax), static_cast<int>(ay));
  } else if (!IsBefore(bx, by, ex, ey)) {
    StoreEdgeHit(1, static_cast<int>(ex), static_cast<int>(ey));
  } else {
    StoreEdgeHit(1, static_cast<int>(bx), static_cast<int>(by));
  }
  return 2;
}

int CLineEdge::LocatePoint(int x, int y) const {
  if (IsEnd(x, y)) return 2;
  const std::int64_t sx = GetStartX(), sy = GetStartY(), ex = GetEndX(), ey = GetEndY();
  auto strictlyBetween = [](std::int64_t v, std::int64_t a, std::int64_t b) {
    if (a == b) return v == a;
    return (a < v && v < b) || (b < v && v < a);
  };
  if (!strictlyBetween(x, sx, ex) || !strictlyBetween(y, sy, ey)) return 0;
  if (sx == ex || sy == ey) return 1;
  const double ratio = (static_cast<double>(y - sy) * static_cast<double>(ex - sx)) /
                       (static_cast<double>(x - sx) * static_cast<double>(ey - sy));
  return std::fabs(ratio - 1.0) < 1e-4 ? 1 : 0;
}

void CLineEdge::MoveBy(int dx, int dy) {
  SetStart(AddClamped(GetStartX(), dx), AddClamped(GetStartY(), dy));
  SetEnd(AddClamped(GetEndX(), dx), AddClamped(GetEndY(), dy));
}

int CLineEdge::Read(CTextFileReader& reader) { return ReadEnds(reader); }

void CLineEdge::Write(CTextFileWriter& writer) const { WriteEnds(writer); }

void CLineEdge::Transform(const CTransform& transform) { TransformEnds(transform); }

// ---------------------------------------------------------------------------------------------
// Circular edges

std::int16_t CArcEdge::GetArc(double& cx, double& cy, double& radius) const {
  cx = m_centreX;
  cy = m_centreY;
  radius = m_radius;
  return m_direction;
}

int CArcEdge::GetEndDirection(std::int16_t end) const {
  if (end != 0 && end != 1) {
    SetGlitchValue(end);
    ReportGlitch(kGlitchArcEndDirection, 1);
    return 0;
  }
  const int cx = RoundToInt(m_centreX);
  const int cy = RoundToInt(m_centreY);
  const int px = end == 0 ? GetStartX() : GetEndX();
  const int py = end == 0 ? GetStartY() : GetEndY();
  if (px == cx) return cy < py ? kEndGoesDown : kEndGoesUp;  // the top, or the bottom
  // Counter-clockwise goes down on the left half of a circle and up on the right half.
  const bool left = px < cx;
  const bool counterClockwise = m_direction == kEdgeCounterClockwise;
  const bool down = end == 0 ? (left == counterClockwise) : (left != counterClockwise);
  return down ? kEndGoesDown : kEndGoesUp;
}

void CArcEdge::CopyFrom(const CFloodEdge* other) {
  if (other == nullptr) return;
  CopyEnds(other);
  if (other->GetKind() == kEdgeArc) m_direction = other->GetArc(m_centreX, m_centreY, m_radius);
}

std::int16_t CArcEdge::IntersectScanLine(int y, EdgeScanHits& xs) const {
  const double d = static_cast<double>(y) - m_centreY;
  double w = m_radius * m_radius - d * d;
  if (w >= -1e-6 && w <= 0.0) w = 0.0;
  if (!(w >= 0.0)) return 0;  // also refuses NaN
  const double h = std::sqrt(w);
  if (IsClosed() != 0) {
    xs[0] = RoundToInt(m_centreX - h);
    if (h == 0.0) return 1;
    xs[1] = RoundToInt(m_centreX + h);
    return 2;
  }
  // The ends in counter-clockwise order.
  const bool ccw = m_direction == kEdgeCounterClockwise;
  const int e0x = ccw ? GetStartX() : GetEndX(), e0y = ccw ? GetStartY() : GetEndY();
  const int e1x = ccw ? GetEndX() : GetStartX(), e1y = ccw ? GetEndY() : GetStartY();
  const double a0 = PolarAngle(e0x, e0y, m_centreX, m_centreY);
  const double a1 = PolarAngle(e1x, e1y, m_centreX, m_centreY);
  // A candidate near an end on the line is that end exactly, so neighbouring edges agree.
  auto judge = [&](double exactX, int firstX, int firstY, int secondX, int secondY, int& out) {
    const int candidate = RoundToInt(exactX);
    if (y == firstY && std::llabs(static_cast<long long>(firstX) - candidate) <= 2) {
      out = firstX;
      return true;
    }
    if (y == secondY && std::llabs(static_cast<long long>(secondX) - candidate) <= 2) {
      out = secondX;
      return true;
    }
    if (IsInSweep(PolarAngle(exactX, y, m_centreX, m_centreY), a0, a1, 0.0)) {
      out = candidate;
      return true;
    }
    return false;
  };
  int n = 0;
  int x = 0;
  if (judge(m_centreX - h, e0x, e0y, e1x, e1y, x)) xs[n++] = x;
  if (h != 0.0 && judge(m_centreX + h, e1x, e1y, e0x, e0y, x)) {
    if (n == 0 || xs[0] != x) xs[n++] = x;
  }
  SortHits(xs, n);
  return static_cast<std::int16_t>(n);
}

std::int16_t CArcEdge::IntersectSegment(int x1, int y1, int x2, int y2) const {
  // The infinite line as x1 + s (dx, dy), solved against the circle about its centre: the
  // same points as the slope form, without its loss of precision for steep lines.
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double px = static_cast<double>(x1) - m_centreX;
  const double py = static_cast<double>(y1) - m_centreY;
  const double qa = dx * dx + dy * dy;
  if (qa == 0.0) return 0;
  const double qb = 2.0 * (px * dx + py * dy);
  const double qc = px * px + py * py - m_radius * m_radius;
  const double disc = qb * qb - 4.0 * qa * qc;
  if (!(disc >= 0.0)) return 0;
  const double root = std::sqrt(disc);
  const bool whole = IsClosed() != 0;
  const bool ccw = m_direction == kEdgeCounterClockwise;
  const double a0 = ccw ? PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY)
                        : PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY);
  const double a1 = ccw ? PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY)
                        : PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY);
  // The sweep is widened for the rounding of the ends, but by no more than a unit along the
  // circle: on a large circle a fixed angle reaches past the vertex by many units and finds a
  // second crossing where the neighbouring edge already has one.
  const double widen = m_radius > 1000.0 ? 1.0 / m_radius : 0.001;
  int n = 0;
  // A tangent gives the same point twice.
  for (const double s : {(-qb - root) / (2.0 * qa), (-qb + root) / (2.0 * qa)}) {
    const double ex = static_cast<double>(x1) + s * dx;
    const double ey = static_cast<double>(y1) + s * dy;
    const int hx = RoundToInt(ex);
    const int hy = RoundToInt(ey);
    if ((static_cast<double>(hy) - y1) * dy + (static_cast<double>(hx) - x1) * dx < 0.0) continue;
    if ((static_cast<double>(hy) - y2) * dy + (static_cast<double>(hx) - x2) * dx > 0.0) continue;
    if (!whole && !IsInSweep(PolarAngle(ex, ey, m_centreX, m_centreY), a0, a1, widen)) continue;
    StoreEdgeHit(n++, hx, hy);
  }
  return static_cast<std::int16_t>(n);
}

std::int16_t CArcEdge::GetYExtent(int& minY, int& maxY) const {
  minY = RoundToInt(m_centreY - m_radius);
  maxY = RoundToInt(m_centreY + m_radius);
  // Judged against the rounded centre: an end straight above or below it is the extreme.
  const int cx = RoundToInt(m_centreX);
  const int cy = RoundToInt(m_centreY);
  auto place = [&](int x, int y) {
    EndPlace p;
    p.first = x < cx;  // the left half, from the top counter-clockwise to the bottom
    p.second = x > cx;
    p.atMax = x == cx && y > cy;
    p.atMin = x == cx && !p.atMax;
    return p;
  };
  return ExtentFlags(place(GetStartX(), GetStartY()), place(GetEndX(), GetEndY()), GetStartY(),
                     GetEndY(), m_direction, IsClosed() != 0);
}

std::int16_t CArcEdge::GetXExtent(int& minX, int& maxX) const {
  minX = RoundToInt(m_centreX - m_radius);
  maxX = RoundToInt(m_centreX + m_radius);
  const int cx = RoundToInt(m_centreX);
  const int cy = RoundToInt(m_centreY);
  auto place = [&](int x, int y) {
    EndPlace p;
    p.first = y > cy;  // the upper half, from the rightmost point counter-clockwise
    p.second = y < cy;
    p.atMax = y == cy && x > cx;
    p.atMin = y == cy && !p.atMax;
    return p;
  };
  return ExtentFlags(place(GetStartX(), GetStartY()), place(GetEndX(), GetEndY()), GetStartX(),
                     GetEndX(), m_direction, IsClosed() != 0);
}

int CArcEdge::LocatePoint(int x, int y) const {
  if (IsEnd(x, y)) return 2;
  if (IsClosed() == 0) {
    const bool ccw = m_direction == kEdgeCounterClockwise;
    const double as = PolarAngle(GetStartX(), GetStartY(), m_centreX, m_centreY);
    const double ae = PolarAngle(GetEndX(), GetEndY(), m_centreX, m_centreY);
    const double angle = PolarAngle(x, y, m_centreX, m_centreY);
    if (!IsInSweep(angle, ccw ? as : ae, ccw ? ae : as, 0.0)) return 0;
  }
  const double distance = std::hypot(x - m_centreX, y - m_centreY);
  return std::fabs(distance - m_radius) < 0.5 ? 1 : 0;
}

void CArcEdge::MoveBy(int dx, int dy) {
  SetStart(AddClamped(GetStartX(), dx), AddClamped(GetStartY(), dy));
  SetEnd(AddClamped(GetEndX(), dx), AddClamped(GetEndY(), dy));
  m_centreX += dx;
  m_centreY += dy;
}

int CArcEdge::Read(CTextFileReader& reader) {
  if (ReadEnds(reader) == 0) return 0;
  if (ReadDoubleField(reader, m_centreX) == 0 || ReadDoubleField(reader, m_centreY) == 0 ||
      ReadDoubleField(reader, m_radius) == 0) {
    return 0;
  }
  std::int16_t direction = 0;
  if (reader.ReadShort(direction) == 0) return 0;
  // No program writes these; a damaged record is refused rather than drawn wrongly.
  if (!IsDirection(direction) || m_radius < 0.0) {
    MarkIllegalValue();
    return 0;
  }
  m_direction = direction;
  return 1;
}

void CArcEdge::Reverse() {
  CFloodEdge::Reverse();
  m_direction = static_cast<std::int16_t>(1 - m_direction);
}

void CArcEdge::Write(CTextFileWriter& writer) const {
  WriteEnds(writer);
  writer.WriteDouble(m_centreX);
  writer.WriteDouble(m_centreY);
  writer.WriteDouble(m_radius);
  writer.WriteShort(m_direction);
}

void CArcEdge::Transform(const CTransform& transform) {
  TransformEnds(transform);
  const double cx = transform.TransformXExact(m_centreX, m_centreY);
  const double cy = transform.TransformYExact(m_centreX, m_centreY);
  m_centreX = cx;
  m_centreY = cy;
  switch (transform.GetKind()) {
    case kTransformReflection:
      m_direction = static_cast<std::int16_t>(1 - m_direction);
      break;
    case kTransformEnlargement:
      m_radius *= std::fabs(transform.GetParameter());
      break;
    case kTransformStretch:
      // The radius stays: loops turn arc edges into elliptic edges before a stretch.
      if (transform.GetParameter() < 0.0) m_direction = static_cast<std::int16_t>(1 - m_direction);
      break;
    default:
      break;
  }
}
