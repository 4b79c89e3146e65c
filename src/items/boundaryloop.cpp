#include "items/boundaryloop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "items/drawitem.h"
#include "items/itemdocument.h"
#include "items/transform.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/textfile.h"

namespace {

constexpr int kGlitchTravel = 3101;
constexpr int kGlitchClone = 3103;
constexpr int kLogArcToEllipse = 3104;
constexpr int kGlitchOddScanCrossings = 3105;
constexpr int kLogOddSegmentCrossings = 3107;
constexpr int kGlitchBoundingBox = 3108;
constexpr int kGlitchYRange = 3110;
constexpr int kGlitchSense = 3111;
constexpr int kLogContainsPoint = 3113;
constexpr int kGlitchExtremeVertex = 3114;
constexpr int kGlitchRemoveLast = 3115;
constexpr int kGlitchSetVertex = 3116;

// Crossings one edge can have with one scan line or segment: a straight edge gives one, or
// two where it lies along the segment, and a horizontal one on the scan line adds a span of
// two; a circle or ellipse two; a cubic three roots besides its ends.
int MaxCrossingsOf(const CFloodEdge& edge) {
  switch (edge.GetKind()) {
    case kEdgeArc:
    case kEdgeEllipse:
      return 2;
    case kEdgeBezier:
      return 5;
    default:
      return 3;
  }
}

// Removes n values at position i of a list of count values.
void EraseValues(int* values, int& count, int i, int n) {
  std::copy(values + i + n, values + count, values + i);
  count -= n;
}

// Inserts two values at position i (the caller has checked the room).
void InsertPair(int* values, int& count, int i, int a, int b) {
  std::copy_backward(values + i, values + count, values + count + 2);
  values[i] = a;
  values[i + 1] = b;
  count += 2;
}

// Floor and ceiling of a box edge, always outward (the rounding helpers round toward or away
// from zero, which would cut into a circle left of or below the origin).
int FloorToInt(double v) { return v >= 0.0 ? TruncateToInt(v) : CeilToInt(v); }
int CeilingToInt(double v) { return v >= 0.0 ? CeilToInt(v) : TruncateToInt(v); }

// The cross product a x b of two vectors.
double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// The signed sweep from angle a to angle b in the edge's direction (counter-clockwise
// positive); a whole turn for a closed edge.
double SignedSweep(double a, double b, int direction, bool whole) {
  if (whole) return direction == kEdgeCounterClockwise ? g_twoPi : -g_twoPi;
  double sweep = b - a;
  if (direction == kEdgeCounterClockwise) {
    if (sweep <= 0.0) sweep += g_twoPi;
  } else if (sweep >= 0.0) {
    sweep -= g_twoPi;
  }
  return sweep;
}

// Twice the signed area the edge sweeps about the origin (the integral of x dy - y dx along
// it), from its start to the next edge's start.
double SweptArea(const CFloodEdge& edge, const CFloodEdge* next, const double* origin) {
  const double sx = edge.GetStartX() - origin[0];
  const double sy = edge.GetStartY() - origin[1];
  const double ex = next->GetStartX() - origin[0];
  const double ey = next->GetStartY() - origin[1];
  const bool whole = sx == ex && sy == ey;
  const double chord = Cross(sx, sy, ex, ey);
  switch (edge.GetKind()) {
    case kEdgeArc:
    case kEdgeEllipse: {
      // About the centre C the edge sweeps C x (E - S) plus rx ry times its turn in the
      // ellipse's own parameter.
      double cx = 0.0, cy = 0.0, rx = 0.0, ry = 0.0, rotation = 0.0;
      int direction = kEdgeCounterClockwise;
      if (edge.GetKind() == kEdgeArc) {
        direction = edge.GetArc(cx, cy, rx);
        ry = rx;
      } else {
        direction = edge.GetEllipseCentre(cx, cy);
        edge.GetEllipseShape(rx, ry, rotation);
      }
      if (!(rx > 0.0 && ry > 0.0)) return chord;
      cx -= origin[0];
      cy -= origin[1];
      const double c = std::cos(rotation), s = std::sin(rotation);
      auto parameter = [&](double px, double py) {
        const double dx = px - cx, dy = py - cy;
        return std::atan2((-dx * s + dy * c) / ry, (dx * c + dy * s) / rx);
      };
      const double turn = SignedSweep(parameter(sx, sy), parameter(ex, ey), direction, whole);
      const double area = Cross(cx, cy, ex - sx, ey - sy) + rx * ry * turn;
      return std::isfinite(area) ? area : chord;
    }
    case kEdgeBezier: {
      const auto& curve = static_cast<const CBezierEdge&>(edge);
      curve.EnsureParameterRange();
      const double t0 = curve.GetStartParameter(), t1 = curve.GetEndParameter();
      if (t0 < 0.0 || t1 < 0.0) return chord;
      int p0x = 0, p0y = 0, p3x = 0, p3y = 0;
      double p1x = 0.0, p1y = 0.0, p2x = 0.0, p2y = 0.0;
      curve.GetCurveStart(p0x, p0y);
      curve.GetCurveEnd(p3x, p3y);
      curve.GetControlPoint(0, p1x, p1y);
      curve.GetControlPoint(1, p2x, p2y);
      auto derivative = [](double a, double b, double c, double d, double t) {
        const double u = 1.0 - t;
        return 3.0 * ((b - a) * u * u + 2.0 * (c - b) * t * u + (d - c) * t * t);
      };
      // x y' - y x' is a polynomial of degree 4 in t: three Gauss points integrate it exactly.
      const double nodes[3] = {-std::sqrt(0.6), 0.0, std::sqrt(0.6)};
      const double weights[3] = {5.0 / 9.0, 8.0 / 9.0, 5.0 / 9.0};
      const double half = 0.5 * (t1 - t0), middle = 0.5 * (t1 + t0);
      double area = 0.0;
      for (int k = 0; k < 3; ++k) {
        const double t = middle + half * nodes[k];
        const double x = curve.EvaluateX(t) - origin[0];
        const double y = curve.EvaluateY(t) - origin[1];
        const double dx = derivative(p0x, p1x, p2x, p3x, t);
        const double dy = derivative(p0y, p1y, p2y, p3y, t);
        area += weights[k] * (x * dy - y * dx);
      }
      area *= half;
      // The curve's own ends and the edge's may differ by rounding: close the gaps straight.
      const double ax = curve.EvaluateX(t0) - origin[0], ay = curve.EvaluateY(t0) - origin[1];
      const double bx = curve.EvaluateX(t1) - origin[0], by = curve.EvaluateY(t1) - origin[1];
      area += Cross(sx, sy, ax, ay) + Cross(bx, by, ex, ey);
      return std::isfinite(area) ? area : chord;
    }
    default:
      return chord;
  }
}

void SetFileStatusOnce(int status) {
  if (g_fileStatus == kFileOk) g_fileStatus = status;
}

}  // namespace

CBoundaryLoop::~CBoundaryLoop() = default;

const CFloodEdge* CBoundaryLoop::GetEdge(int i) const {
  if (i < 0 || i >= m_count) return nullptr;
  return EdgeAt(i);
}

int CBoundaryLoop::Reserve(int n) {
  if (n <= 0) n = 1;
  const std::int64_t needed = static_cast<std::int64_t>(m_count) + n;
  if (needed < m_capacity) return 1;
  const std::int64_t grown = m_capacity <= 0 ? 50 : 2 * static_cast<std::int64_t>(m_capacity);
  const std::int64_t capacity = std::max(grown, needed + 10);
  if (capacity > kIntRangeMax) return 0;
  try {
    std::vector<std::unique_ptr<CFloodEdge>> edges(static_cast<std::size_t>(capacity));
    std::move(m_edges.begin(), m_edges.begin() + m_count, edges.begin());
    m_edges.swap(edges);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  m_capacity = static_cast<std::int32_t>(capacity);
  return 1;
}

int CBoundaryLoop::Append(std::unique_ptr<CFloodEdge>&& edge) {
  if (!edge || Reserve(1) == 0) return 0;
  m_edges[static_cast<std::size_t>(m_count)] = std::move(edge);
  ++m_count;
  return 1;
}

int CBoundaryLoop::AddEdge(int x, int y, const CDrawItem* item, int travel, int code) {
  if (item == nullptr || Reserve(1) == 0) return 0;
  std::unique_ptr<CFloodEdge> edge;
  int travelGlitch = 0;  // the glitch's number for a curved kind, 0 for the others
  try {
    switch (item->GetType()) {
      case kItemLine:
        edge = std::make_unique<CLineEdge>();
        break;
      case kItemArc:
      case kItemCircle: {
        auto arc = std::make_unique<CArcEdge>();
        if (item->GetType() == kItemArc) {
          double cx = 0.0, cy = 0.0, radius = 0.0;
          item->GetCircle(cx, cy, radius);
          arc->SetArcCentre(cx, cy);
          arc->SetRadius(radius);
          travelGlitch = 1;
        } else {
          int cx = 0, cy = 0;
          item->GetCentre(cx, cy);
          arc->SetArcCentre(cx, cy);
          arc->SetRadius(item->GetRadius());
          travelGlitch = 2;
        }
        edge = std::move(arc);
        break;
      }
      case kItemEllipse:
      case kItemEllipseArc: {
        auto ellipse = std::make_unique<CEllipseEdge>();
        if (item->GetType() == kItemEllipse) {
          int cx = 0, cy = 0, a = 0, b = 0;
          item->GetCentre(cx, cy);
          item->GetSemiAxes(a, b);
          ellipse->SetEllipseCentre(cx, cy);
          ellipse->SetRadii(a, b);
        } else {
          double cx = 0.0, cy = 0.0, a = 0.0, b = 0.0;
          item->GetCentreExact(cx, cy);
          item->GetRadii(a, b);
          ellipse->SetEllipseCentre(cx, cy);
          ellipse->SetRadii(a, b);
        }
        ellipse->SetRotation(item->GetRotation());
        travelGlitch = 3;
        edge = std::move(ellipse);
        break;
      }
      case kItemBezier: {
        auto curve = std::make_unique<CBezierEdge>();
        int x0 = 0, y0 = 0, x3 = 0, y3 = 0;
        item->GetStart(x0, y0);
        item->GetEnd(x3, y3);
        curve->SetCurveStart(x0, y0);
        curve->SetCurveEnd(x3, y3);
        for (std::int16_t i = 0; i < 2; ++i) {
          double cx = 0.0, cy = 0.0;
          item->GetControlPoint(i, cx, cy);
          curve->SetControlPoint(i, cx, cy);
        }
        edge = std::move(curve);
        break;
      }
      default:
        return 0;
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (travelGlitch != 0) {
    std::int16_t direction = kEdgeCounterClockwise;
    if (travel == kDirectionClockwise) {
      direction = kEdgeClockwise;
    } else if (travel != kDirectionCounterClockwise) {
      SetGlitchValue(travel);
      ReportGlitch(kGlitchTravel, travelGlitch);
    }
    if (edge->GetKind() == kEdgeArc) {
      static_cast<CArcEdge*>(edge.get())->SetDirection(direction);
    } else {
      static_cast<CEllipseEdge*>(edge.get())->SetDirection(direction);
    }
  }
  edge->SetStart(x, y);
  edge->SetCode(code);
  return Append(std::move(edge));
}

void CBoundaryLoop::JoinEnds() {
  for (int i = 0; i < m_count; ++i) {
    EdgeAt(Previous(i))->SetEnd(EdgeAt(i)->GetStartX(), EdgeAt(i)->GetStartY());
  }
}

int CBoundaryLoop::RemoveLast() {
  if (m_count < 1) {
    SetGlitchValue(m_count);
    ReportGlitch(kGlitchRemoveLast, 1);
    return kLoopEmptyCode;
  }
  --m_count;
  m_edges[static_cast<std::size_t>(m_count)].reset();
  return m_count > 0 ? EdgeAt(m_count - 1)->GetCode() : kLoopEmptyCode;
}

void CBoundaryLoop::RemoveAll() {
  for (int i = 0; i < m_count; ++i) m_edges[static_cast<std::size_t>(i)].reset();
  m_count = 0;
}

void CBoundaryLoop::EraseEdges(int first, int n) {
  if (n <= 0) return;
  std::move(m_edges.begin() + first + n, m_edges.begin() + m_count, m_edges.begin() + first);
  for (int i = m_count - n; i < m_count; ++i) m_edges[static_cast<std::size_t>(i)].reset();
  m_count -= n;
}

void CBoundaryLoop::Reverse() {
  std::reverse(m_edges.begin(), m_edges.begin() + m_count);
  for (int i = 0; i < m_count; ++i) EdgeAt(i)->Reverse();
}

int CBoundaryLoop::GetFirstCode() const { return m_count > 0 ? EdgeAt(0)->GetCode() : 0; }

int CBoundaryLoop::IsValid() const {
  if (m_count > 2) return 1;
  if (m_count == 2) {
    return EdgeAt(0)->GetKind() != kEdgeLine || EdgeAt(1)->GetKind() != kEdgeLine ? 1 : 0;
  }
  if (m_count == 1) {
    const CFloodEdge* edge = EdgeAt(0);
    const int kind = edge->GetKind();
    return (kind == kEdgeArc || kind == kEdgeEllipse) && edge->IsClosed() != 0 ? 1 : 0;
  }
  return 0;
}

int CBoundaryLoop::GetMaxCrossings() const {
  std::int64_t total = 0;
  for (int i = 0; i < m_count; ++i) total += MaxCrossingsOf(*EdgeAt(i));
  return static_cast<int>(std::min<std::int64_t>(total, kIntRangeMax));
}

int CBoundaryLoop::IsExtremeVertex(int i) const {
  if (i < 0 || i >= m_count) {
    SetGlitchValue(i);
    SetGlitchValue(m_count);
    ReportGlitch(kGlitchExtremeVertex, 1);
    return 0;
  }
  if (IsValid() == 0) {
    SetGlitchValue(m_count);
    ReportGlitch(kGlitchExtremeVertex, 2);
    return 0;
  }
  // Level edges (horizontal lines) are passed over on both sides.
  int next = i;
  int leaving = EdgeAt(next)->GetEndDirection(0);
  for (int step = 1; leaving == kEndIsLevel && step < m_count; ++step) {
    next = Next(next);
    leaving = EdgeAt(next)->GetEndDirection(0);
  }
  int previous = Previous(i);
  int arriving = EdgeAt(previous)->GetEndDirection(1);
  for (int step = 1; arriving == kEndIsLevel && step < m_count; ++step) {
    previous = Previous(previous);
    arriving = EdgeAt(previous)->GetEndDirection(1);
  }
  if (leaving == kEndIsLevel || arriving == kEndIsLevel) return 0;  // a flat loop
  return leaving == arriving ? 1 : 0;
}

void CBoundaryLoop::GetEdgeScanRange(int i, int& low, int& high) const {
  const CFloodEdge* edge = EdgeAt(i);
  const int s = edge->GetStartY();
  const int t = EdgeAt(Next(i))->GetStartY();
  int lo = 0, hi = 0;
  const std::int16_t flags = edge->GetYExtent(lo, hi);
  low = std::min(s, t);
  high = std::max(s, t);
  if ((flags & kExtentPassesMin) != 0) low = std::min(low, lo);
  if ((flags & kExtentPassesMax) != 0) high = std::max(high, hi);
}

int CBoundaryLoop::GetScanCrossings(int y, int* xs, int inclusive) const {
  if (IsValid() == 0) return 0;
  return ScanCrossings(y, xs, inclusive, nullptr, m_count, GetMaxCrossings());
}

int CBoundaryLoop::ScanCrossings(int y, int* xs, int inclusive, const int* edges, int edgeCount,
                                 int capacity) const {
  // An edge left out must be one whose span of y misses the line: it would add nothing.
  const auto edgeAt = [&](int k) { return edges != nullptr ? edges[k] : k; };
  int n = 0;
  bool horizontal = false;
  auto insert = [&](int x) {
    if (n >= capacity) return;
    int i = 0;
    while (i < n && xs[i] < x) ++i;
    std::copy_backward(xs + i, xs + n, xs + n + 1);
    xs[i] = x;
    ++n;
  };
  for (int e = 0; e < edgeCount; ++e) {
    const int i = edgeAt(e);
    const CFloodEdge* edge = EdgeAt(i);
    const int s = edge->GetStartY();
    const int t = EdgeAt(Next(i))->GetStartY();
    if (y == s && y == t && edge->GetKind() == kEdgeLine) {
      horizontal = true;
      continue;
    }
    // Edges whose y range misses the line are passed before any computation.
    int lo = 0, hi = 0;
    const std::int16_t flags = edge->GetYExtent(lo, hi);
    bool touch = false;
    if ((flags & kExtentPassesMin) != 0) {
      if (y < lo && y < s && y < t) continue;
      if (y == lo) touch = true;
    } else if (y < s && y < t) {
      continue;
    }
    if ((flags & kExtentPassesMax) != 0) {
      if (y > hi && y > s && y > t) continue;
      if (y == hi) touch = true;
    } else if (y > s && y > t) {
      continue;
    }
    EdgeScanHits local{};
    int k = edge->IntersectScanLine(y, local);
    if (k <= 0) continue;
    k = std::min(k, kEdgeScanCapacity);
    if (y == s && edge->IsClosed() == 0) {
      // The start vertex lies on the line. Where the boundary passes through it, the previous
      // edge has already given it as its end; where it turns back, it counts twice.
      if (IsExtremeVertex(i) == 0) {
        int* vertex = std::find(local.data(), local.data() + k, edge->GetStartX());
        if (vertex != local.data() + k) {
          std::copy(vertex + 1, local.data() + k, vertex);
          --k;
        } else if (k > 1) {
          --k;
        }
      }
    } else if (k == 1 &&
               (edge->IsClosed() != 0 || (touch && y != t && edge->GetKind() != kEdgeBezier))) {
      // A tangent at the extreme: in and out at once (a whole circle or ellipse met once is
      // touched, wherever it starts). On the level of an open edge's end the one crossing is
      // that end, which the vertex counts once or twice as the boundary turns there; an
      // extreme a rounding away from the end is the same place. A curve reports its own
      // touches: its one crossing on the level of its rounded top may lie elsewhere.
      local[1] = local[0];
      k = 2;
    }
    for (int j = 0; j < k; ++j) insert(local[static_cast<std::size_t>(j)]);
  }

  if (n % 2 != 0) {
    SetGlitchValue(n);
    SetGlitchValue(y);
    ReportGlitch(kGlitchOddScanCrossings, 1);
    for (int j = 0; j + 1 < n; ++j) {
      if (xs[j] == xs[j + 1]) {
        EraseValues(xs, n, j + 1, 1);
        break;
      }
    }
  }

  if (horizontal && n >= 2 && n % 2 == 0) {
    // The horizontal edges on the line, taken from left to right: a run of them that meets a
    // span only at its far end is then joined on piece by piece, whatever the loop's order.
    auto horizontalAt = [&](int i, int& f0, int& f1) {
      const CFloodEdge* edge = EdgeAt(i);
      const CFloodEdge* next = EdgeAt(Next(i));
      if (edge->GetKind() != kEdgeLine || edge->GetStartY() != y || next->GetStartY() != y) {
        return false;
      }
      f0 = std::min(edge->GetStartX(), next->GetStartX());
      f1 = std::max(edge->GetStartX(), next->GetStartX());
      return f0 != f1;
    };
    int lastF0 = 0, lastIndex = -1;
    for (int pass = 0; pass < edgeCount; ++pass) {
      int chosen = -1, f0 = 0, f1 = 0;
      for (int e = 0; e < edgeCount; ++e) {
        const int i = edgeAt(e);
        int a = 0, b = 0;
        if (!horizontalAt(i, a, b)) continue;
        const bool after = lastIndex < 0 || a > lastF0 || (a == lastF0 && i > lastIndex);
        if (after && (chosen < 0 || a < f0)) {
          chosen = i;
          f0 = a;
          f1 = b;
        }
      }
      if (chosen < 0) break;
      lastF0 = f0;
      lastIndex = chosen;
      if (inclusive != 0) {
        // The edge belongs to the region: gaps between spans along it close...
        for (bool closed = true; closed;) {
          closed = false;
          for (int k = 1; k + 1 < n; k += 2) {
            if (f0 <= xs[k] && xs[k + 1] <= f1) {
              EraseValues(xs, n, k, 2);
              closed = true;
              break;
            }
          }
        }
        // ...and the span it touches widens to hold it; beyond every span it is one.
        int s = 0;
        while (s < n && xs[s + 1] < f0) s += 2;
        if (s >= n) {
          if (n + 2 <= capacity) InsertPair(xs, n, n, f0, f1);
          continue;
        }
        if (xs[s] <= f1) {
          if (f0 < xs[s]) xs[s] = f0;
          if (f1 >= xs[s + 1]) xs[s + 1] = f1;
        } else if (n + 2 <= capacity) {
          InsertPair(xs, n, s, f0, f1);
        }
      } else {
        // The edge is boundary, not interior: spans along it go...
        for (bool removed = true; removed;) {
          removed = false;
          for (int k = 0; k + 1 < n; k += 2) {
            if (f0 <= xs[k] && xs[k + 1] <= f1) {
              EraseValues(xs, n, k, 2);
              removed = true;
              break;
            }
          }
        }
        // ...and the part of a span over it is cut away.
        int s = 0;
        while (s < n && xs[s + 1] < f0) s += 2;
        if (s >= n || xs[s] >= f1) continue;
        if (xs[s + 1] <= f1) {
          xs[s + 1] = f0;
          if (s + 2 < n && xs[s + 2] < f1) xs[s + 2] = f1;
        } else if (xs[s] >= f0) {
          xs[s] = f1;
        } else if (n + 2 <= capacity) {
          InsertPair(xs, n, s + 1, f0, f1);
        }
      }
    }
  }

  if (n % 2 != 0) {
    SetGlitchValue(n);
    SetGlitchValue(y);
    SetGlitchValue(inclusive);
    ReportGlitch(kGlitchOddScanCrossings, 2);
  }
  return n;
}

int CBoundaryLoop::ContainsPoint(int x, int y, int inclusive) const {
  if (m_count == 0) return 0;
  std::vector<int> xs;
  try {
    xs.resize(static_cast<std::size_t>(GetMaxCrossings()));
  } catch (const std::bad_alloc&) {
    LogAction(kLogContainsPoint, 1, kLogMinorFailure);
    return 0;
  }
  const int n = GetScanCrossings(y, xs.data(), inclusive);
  return IsInSpans(xs.data(), n, x, inclusive);
}

int CBoundaryLoop::IsInSpans(const int* xs, int n, int x, int inclusive) {
  for (int k = 0; k + 1 < n; k += 2) {
    const int a = xs[k];
    const int b = xs[k + 1];
    if (inclusive != 0 ? (a <= x && x <= b) : (a < x && x < b)) return 1;
  }
  return 0;
}

CLoopScanIndex::CLoopScanIndex(const CBoundaryLoop& loop) : m_loop(loop) {
  const int count = loop.GetCount();
  m_valid = loop.IsValid() != 0;
  if (!m_valid || count == 0) return;
  m_capacity = loop.GetMaxCrossings();
  std::vector<int> low(static_cast<std::size_t>(count));
  std::vector<int> high(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    loop.GetEdgeScanRange(i, low[static_cast<std::size_t>(i)], high[static_cast<std::size_t>(i)]);
  }
  m_minY = *std::min_element(low.begin(), low.end());
  m_maxY = *std::max_element(high.begin(), high.end());
  // Crossings lie on the edges, a rounding beyond their extents at most.
  m_minX = INT32_MAX;
  m_maxX = INT32_MIN;
  for (int i = 0; i < count; ++i) {
    const CFloodEdge* edge = loop.EdgeAt(i);
    int lo = 0, hi = 0;
    const std::int16_t flags = edge->GetXExtent(lo, hi);
    int a = std::min(edge->GetStartX(), loop.EdgeAt(loop.Next(i))->GetStartX());
    int b = std::max(edge->GetStartX(), loop.EdgeAt(loop.Next(i))->GetStartX());
    if ((flags & kExtentPassesMin) != 0) a = std::min(a, lo);
    if ((flags & kExtentPassesMax) != 0) b = std::max(b, hi);
    m_minX = std::min(m_minX, a);
    m_maxX = std::max(m_maxX, b);
  }
  constexpr int kSlack = 4;
  m_minX = m_minX > INT32_MIN + kSlack ? m_minX - kSlack : INT32_MIN;
  m_maxX = m_maxX < INT32_MAX - kSlack ? m_maxX + kSlack : INT32_MAX;
  m_bands = std::max(1, std::min(count, 4096));
  m_bandHeight = std::max(1.0, (static_cast<double>(m_maxY) - m_minY + 1.0) / m_bands);
  // Each band lists, in loop order, the edges whose span of y meets it.
  std::vector<int> counts(static_cast<std::size_t>(m_bands) + 1, 0);
  for (int i = 0; i < count; ++i) {
    for (int b = BandOf(low[static_cast<std::size_t>(i)]);
         b <= BandOf(high[static_cast<std::size_t>(i)]); ++b) {
      ++counts[static_cast<std::size_t>(b) + 1];
    }
  }
  for (int b = 0; b < m_bands; ++b)
    counts[static_cast<std::size_t>(b) + 1] += counts[static_cast<std::size_t>(b)];
  m_bandStart = counts;
  m_bandEdges.resize(static_cast<std::size_t>(counts.back()));
  for (int i = 0; i < count; ++i) {
    for (int b = BandOf(low[static_cast<std::size_t>(i)]);
         b <= BandOf(high[static_cast<std::size_t>(i)]); ++b) {
      m_bandEdges[static_cast<std::size_t>(counts[static_cast<std::size_t>(b)]++)] = i;
    }
  }
  m_xs.resize(static_cast<std::size_t>(std::max(m_capacity, 1)));
}

int CLoopScanIndex::BandOf(int y) const {
  const double b = std::floor((static_cast<double>(y) - m_minY) / m_bandHeight);
  return static_cast<int>(std::clamp(b, 0.0, static_cast<double>(m_bands - 1)));
}

int CLoopScanIndex::ContainsPoint(int x, int y, int inclusive) const {
  if (!m_valid || y < m_minY || y > m_maxY) return 0;
  const int b = BandOf(y);
  const int first = m_bandStart[static_cast<std::size_t>(b)];
  const int n =
      m_loop.ScanCrossings(y, m_xs.data(), inclusive, m_bandEdges.data() + first,
                           m_bandStart[static_cast<std::size_t>(b) + 1] - first, m_capacity);
  return CBoundaryLoop::IsInSpans(m_xs.data(), n, x, inclusive);
}

int CBoundaryLoop::IntersectSegment(int* xs, int* ys) const {
  if (IsValid() == 0) return 0;
  const int capacity = GetMaxCrossings();
  const int x1 = xs[0], y1 = ys[0], x2 = xs[1], y2 = ys[1];
  int n = 0;
  for (int i = 0; i < m_count; ++i) {
    const CFloodEdge* edge = EdgeAt(i);
    const int k = edge->IntersectSegment(x1, y1, x2, y2);
    // Read the shared hit arrays before the next edge overwrites them.
    for (int j = 0; j < k && n < capacity; ++j) {
      int hx = 0, hy = 0;
      if (edge->GetEdgeHit(j, hx, hy) == 0) break;
      int p = 0;
      while (p < n && (xs[p] < hx || (xs[p] == hx && ys[p] <= hy))) ++p;
      std::copy_backward(xs + p, xs + n, xs + n + 1);
      std::copy_backward(ys + p, ys + n, ys + n + 1);
      xs[p] = hx;
      ys[p] = hy;
      ++n;
    }
  }
  auto close = [&](int a, int b) {
    return std::llabs(static_cast<long long>(xs[a]) - xs[b]) +
               std::llabs(static_cast<long long>(ys[a]) - ys[b]) <
           3;
  };
  auto erase = [&](int i, int count) {
    int m = n;
    EraseValues(xs, m, i, count);
    EraseValues(ys, n, i, count);
  };
  // Three hits close together (a segment through a vertex where a third edge begins) are one.
  for (int i = 0; i < n - 2;) {
    if (close(i, i + 1) && close(i + 1, i + 2)) {
      xs[i] = xs[i + 1];
      ys[i] = ys[i + 1];
      erase(i + 1, 2);
    } else {
      ++i;
    }
  }
  // Two hits close together: the segment passes through a vertex (one crossing) when one side
  // of the pair is inside and the other outside, and only touches it when both are outside.
  int removed = 0;
  auto outsideBetween = [&](int a, int b) {
    const int mx = static_cast<int>((static_cast<std::int64_t>(xs[a]) + xs[b]) / 2);
    const int my = static_cast<int>((static_cast<std::int64_t>(ys[a]) + ys[b]) / 2);
    return ContainsPoint(mx, my, 0) == 0;
  };
  for (int i = 0; i < n - 1;) {
    if (!close(i, i + 1)) {
      ++i;
      continue;
    }
    const bool before = i == 0 || outsideBetween(i - 1, i);
    const bool after = i + 1 == n - 1 || outsideBetween(i + 1, i + 2);
    const int outside = (before ? 1 : 0) + (after ? 1 : 0);
    if (outside == 1) {
      erase(i + 1, 1);
      ++removed;
      ++i;
    } else if (outside == 2) {
      erase(i, 2);
      removed += 2;
    } else {
      ++i;
    }
  }
  if (n % 2 != 0) {
    LogAction(kLogOddSegmentCrossings, 1, kLogMinorFailure);
    LogNumber(n);
    LogNumber(removed);
    LogNumber(xs[0]);
    LogNumber(ys[0]);
    return 0;
  }
  return n;
}

int CBoundaryLoop::GetSense() const {
  auto fail = [](int m) {
    ReportGlitch(kGlitchSense, m);
    return 0;
  };
  if (m_count == 0) return fail(1);
  if (m_count == 1) {
    if (EdgeAt(0)->IsClosed() != 0) return EdgeAt(0)->GetSense();
    return fail(2);
  }
  // The sign of the area the boundary encloses. Judging by the extreme vertices alone and the
  // chords between them misjudges loops whose curved edges bulge past their ends, so every
  // edge contributes what it really sweeps.
  const double origin[2] = {static_cast<double>(EdgeAt(0)->GetStartX()),
                            static_cast<double>(EdgeAt(0)->GetStartY())};
  double area = 0.0;
  for (int i = 0; i < m_count; ++i) area += SweptArea(*EdgeAt(i), EdgeAt(Next(i)), origin);
  if (area > 0.0) return 0;
  if (area < 0.0) return 1;
  return fail(m_count == 2 ? 3 : 6);
}

int CBoundaryLoop::CloseAtPoint(int& x, int& y) {
  if (m_count == 0) return 0;
  int found = -1;
  for (int i = m_count - 1; i >= 0; --i) {
    if (EdgeAt(i)->GetStartX() == x && EdgeAt(i)->GetStartY() == y) {
      found = i;
      break;
    }
  }
  if (found < 0) return 0;
  EraseEdges(0, found);  // the lead-in before the loop proper
  if (m_count > 2 && EdgeAt(0)->GetKind() == EdgeAt(m_count - 1)->GetKind()) {
    CFloodEdge* first = EdgeAt(0);
    first->SetEnd(EdgeAt(1)->GetStartX(), EdgeAt(1)->GetStartY());
    const CFloodEdge* last = EdgeAt(m_count - 1);
    if (first->LocatePoint(last->GetStartX(), last->GetStartY()) == 1) {
      // The last edge already covers the beginning of the first.
      EraseEdges(0, 1);
      x = EdgeAt(0)->GetStartX();
      y = EdgeAt(0)->GetStartY();
    }
  }
  return 1;
}

int CBoundaryLoop::GetBoundingBox(int& minX, int& minY, int& maxX, int& maxY) const {
  if (m_count == 0) {
    ReportGlitch(kGlitchBoundingBox, 1);
    return 0;
  }
  if (m_count == 1 && EdgeAt(0)->IsClosed() != 0) {
    const CFloodEdge* edge = EdgeAt(0);
    double cx = 0.0, cy = 0.0, halfWidth = 0.0, halfHeight = 0.0;
    if (edge->GetKind() == kEdgeArc) {
      double radius = 0.0;
      edge->GetArc(cx, cy, radius);
      halfWidth = halfHeight = std::fabs(radius);
    } else if (edge->GetKind() == kEdgeEllipse) {
      double rx = 0.0, ry = 0.0, rotation = 0.0;
      edge->GetEllipseCentre(cx, cy);
      edge->GetEllipseShape(rx, ry, rotation);
      const double c = std::cos(rotation), s = std::sin(rotation);
      halfWidth = std::sqrt(rx * rx * c * c + ry * ry * s * s);
      halfHeight = std::sqrt(rx * rx * s * s + ry * ry * c * c);
    } else {
      ReportGlitch(kGlitchBoundingBox, 2);
      return 0;
    }
    minX = FloorToInt(cx - halfWidth);
    maxX = CeilingToInt(cx + halfWidth);
    minY = FloorToInt(cy - halfHeight);
    maxY = CeilingToInt(cy + halfHeight);
    return 1;
  }
  minX = maxX = EdgeAt(0)->GetStartX();
  minY = maxY = EdgeAt(0)->GetStartY();
  for (int i = 0; i < m_count; ++i) {
    const CFloodEdge* edge = EdgeAt(i);
    minX = std::min(minX, edge->GetStartX());
    maxX = std::max(maxX, edge->GetStartX());
    minY = std::min(minY, edge->GetStartY());
    maxY = std::max(maxY, edge->GetStartY());
    int lo = 0, hi = 0;
    std::int16_t flags = edge->GetXExtent(lo, hi);
    if ((flags & kExtentPassesMin) != 0) minX = std::min(minX, lo);
    if ((flags & kExtentPassesMax) != 0) maxX = std::max(maxX, hi);
    flags = edge->GetYExtent(lo, hi);
    if ((flags & kExtentPassesMin) != 0) minY = std::min(minY, lo);
    if ((flags & kExtentPassesMax) != 0) maxY = std::max(maxY, hi);
  }
  return 1;
}

void CBoundaryLoop::GetYRange(int& minY, int& maxY) const {
  if (m_count == 0) {
    ReportGlitch(kGlitchYRange, 1);
    minY = maxY = 0;
    return;
  }
  minY = maxY = EdgeAt(0)->GetStartY();
  for (int i = 0; i < m_count; ++i) {
    const CFloodEdge* edge = EdgeAt(i);
    int lo = 0, hi = 0;
    const std::int16_t flags = edge->GetYExtent(lo, hi);
    // The start's y stands in for an extreme the edge does not pass.
    if ((flags & kExtentPassesMin) == 0) lo = edge->GetStartY();
    if ((flags & kExtentPassesMax) == 0) hi = edge->GetStartY();
    minY = std::min({minY, edge->GetStartY(), lo});
    maxY = std::max({maxY, edge->GetStartY(), hi});
  }
}

std::unique_ptr<CBoundaryLoop> CBoundaryLoop::Clone() const {
  std::unique_ptr<CBoundaryLoop> copy;
  try {
    copy = std::make_unique<CBoundaryLoop>();
  } catch (const std::bad_alloc&) {
    ReportGlitch(kGlitchClone, 8990);
    return nullptr;
  }
  if (copy->Reserve(m_count) == 0) {
    ReportGlitch(kGlitchClone, 8991);
    return nullptr;
  }
  for (int i = 0; i < m_count; ++i) {
    const CFloodEdge* source = EdgeAt(i);
    const int kind = source->GetKind();
    if (kind < 0 || kind >= kEdgeKindCount) {
      SetGlitchValue(kind);
      ReportGlitch(kGlitchClone, 1);
      continue;
    }
    std::unique_ptr<CFloodEdge> edge = CreateFloodEdge(kind);
    if (!edge) {
      SetGlitchValue(i);
      ReportGlitch(kGlitchClone, 8992);
      continue;
    }
    edge->CopyFrom(source);
    if (copy->Append(std::move(edge)) == 0) {
      SetGlitchValue(i);
      ReportGlitch(kGlitchClone, 8993);
    }
  }
  return copy;
}

void CBoundaryLoop::MoveBy(int dx, int dy) {
  for (int i = 0; i < m_count; ++i) EdgeAt(i)->MoveBy(dx, dy);
}

void CBoundaryLoop::Transform(const CTransform& transform) {
  for (int i = 0; i < m_count; ++i) {
    CFloodEdge* edge = EdgeAt(i);
    if (edge->GetKind() == kEdgeArc && transform.GetKind() == kTransformStretch) {
      // A stretched circle is an ellipse.
      std::unique_ptr<CFloodEdge> ellipse = CreateFloodEdge(kEdgeEllipse);
      if (!ellipse) {
        LogAction(kLogArcToEllipse, 1, kLogMinorFailure);
      } else {
        ellipse->SetFromArc(edge);
        ellipse->SetCode(edge->GetCode());
        m_edges[static_cast<std::size_t>(i)] = std::move(ellipse);
        edge = EdgeAt(i);
      }
    }
    edge->Transform(transform);
  }
}

void CBoundaryLoop::SetVertex(int i, int x, int y) {
  if (i < 0 || i >= m_count) {
    SetGlitchValue(i);
    SetGlitchValue(m_count);
    ReportGlitch(kGlitchSetVertex, 1);
    return;
  }
  EdgeAt(i)->SetStart(x, y);
  EdgeAt(Previous(i))->SetEnd(x, y);
}

int CBoundaryLoop::GetVertex(int i, int& x, int& y) const {
  if (i < 0 || i >= m_count) return 0;
  x = EdgeAt(i)->GetStartX();
  y = EdgeAt(i)->GetStartY();
  return 1;
}

int CBoundaryLoop::Read(CTextFileReader& reader) {
  int count = 0;
  if (reader.ReadInt(count) == 0) return 0;
  if (count < 0) {
    SetFileStatusOnce(kFileIllegalValue);
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    int kind = 0;
    if (ReadEdgeKind(reader, kind) == 0) {
      // A number outside 0..3; a line that is no number or missing has set the status.
      SetFileStatusOnce(kFileIllegalValue);
      return 0;
    }
    std::unique_ptr<CFloodEdge> edge = CreateFloodEdge(kind);
    if (!edge) {
      SetFileStatusOnce(kFileNoMemory);
      return 0;
    }
    // A record cut short is not kept half read.
    if (edge->Read(reader) == 0) return 0;
    if (Append(std::move(edge)) == 0) {
      SetFileStatusOnce(kFileNoMemory);
      return 0;
    }
  }
  return 1;
}

void CBoundaryLoop::Write(CTextFileWriter& writer) const {
  writer.WriteInt(m_count);
  for (int i = 0; i < m_count; ++i) {
    WriteEdgeKind(writer, EdgeAt(i)->GetKind());
    EdgeAt(i)->Write(writer);
  }
}
