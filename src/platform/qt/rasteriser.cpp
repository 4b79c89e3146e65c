#include "platform/qt/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zeph::raster {
namespace {

using Int = std::int64_t;

using detail::ClampToInt;
using detail::ForVisibleLattice;

// A monotone stand-in for the angle of (x, y), y upwards: 0 along +x, 1 along +y, 2 along -x,
// 3 along -y, in [0, 4). Directions that are multiples of one another give equal values.
double DiamondAngle(double x, double y) {
  if (x == 0 && y == 0) return 0;
  if (y >= 0) return x >= 0 ? y / (x + y) : 1 - x / (-x + y);
  return x < 0 ? 2 - y / (-x - y) : 3 + x / (x - y);
}

// Adds the pixels of [x0, x1) in row y that lie in the sweep's directions from the doubled
// centre (cx2, cy2).
void AddRunInSweep(SpanSet& out, Int y, Int x0, Int x1, Int cx2, Int cy2, const Sweep& sweep) {
  const Clip& c = out.clip();
  if (y < c.top || y >= c.bottom) return;
  x0 = std::max(x0, c.left);
  x1 = std::min(x1, c.right);
  const double dy = static_cast<double>(2 * y - cy2);
  for (Int x = x0; x < x1; ++x) {
    if (sweep.Contains(static_cast<double>(2 * x - cx2), dy)) out.AddPixel(x, y);
  }
}

}  // namespace

// ---- SpanSet ----

void SpanSet::AddPixel(Int x, Int y) {
  if (x < m_clip.left || x >= m_clip.right || y < m_clip.top || y >= m_clip.bottom) return;
  const auto xi = static_cast<std::int32_t>(x);
  const auto yi = static_cast<std::int32_t>(y);
  if (!m_spans.empty()) {
    Span& last = m_spans.back();
    if (last.y == yi && last.x1 == xi) {
      ++last.x1;
      return;
    }
  }
  m_spans.push_back({yi, xi, xi + 1});
}

void SpanSet::AddRun(Int y, Int x0, Int x1) {
  if (y < m_clip.top || y >= m_clip.bottom) return;
  x0 = std::max(x0, m_clip.left);
  x1 = std::min(x1, m_clip.right);
  if (x0 >= x1) return;
  const auto yi = static_cast<std::int32_t>(y);
  if (!m_spans.empty()) {
    Span& last = m_spans.back();
    if (last.y == yi && last.x0 <= x1 && x0 <= last.x1) {
      last.x0 = std::min<std::int32_t>(last.x0, static_cast<std::int32_t>(x0));
      last.x1 = std::max<std::int32_t>(last.x1, static_cast<std::int32_t>(x1));
      return;
    }
  }
  m_spans.push_back({yi, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1)});
}

void SpanSet::Normalise() {
  const auto before = [](const Span& a, const Span& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  };
  // Bands and fills come row by row, already in order: only outlines need sorting.
  if (!std::is_sorted(m_spans.begin(), m_spans.end(), before)) {
    std::sort(m_spans.begin(), m_spans.end(), before);
  }
  // Merged in place: the runs kept never overtake the runs read.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m_spans.size(); ++i) {
    const Span s = m_spans[i];
    if (kept > 0 && m_spans[kept - 1].y == s.y && s.x0 <= m_spans[kept - 1].x1) {
      m_spans[kept - 1].x1 = std::max(m_spans[kept - 1].x1, s.x1);
    } else {
      m_spans[kept++] = s;
    }
  }
  m_spans.resize(kept);
}

void SpanSet::Subtract(const SpanSet& other) {
  const std::vector<Span>& o = other.m_spans;
  // The result is built in storage kept for the next call, then exchanged with this set's.
  thread_local std::vector<Span> result;
  result.clear();
  std::size_t j = 0;
  for (const Span& s : m_spans) {
    while (j < o.size() && (o[j].y < s.y || (o[j].y == s.y && o[j].x1 <= s.x0))) ++j;
    std::int32_t x = s.x0;
    for (std::size_t k = j; k < o.size() && o[k].y == s.y && o[k].x0 < s.x1; ++k) {
      if (o[k].x0 > x) result.push_back({s.y, x, o[k].x0});
      x = std::max(x, o[k].x1);
    }
    if (x < s.x1) result.push_back({s.y, x, s.x1});
  }
  m_spans.swap(result);
}

bool SpanSet::Contains(Int x, Int y) const {
  auto it = std::upper_bound(m_spans.begin(), m_spans.end(), std::pair<Int, Int>(y, x),
                             [](const std::pair<Int, Int>& p, const Span& s) {
                               return p.first != s.y ? p.first < s.y : p.second < s.x0;
                             });
  if (it == m_spans.begin()) return false;
  --it;
  return it->y == y && x >= it->x0 && x < it->x1;
}

Int SpanSet::PixelCount() const {
  Int n = 0;
  for (const Span& s : m_spans) n += s.x1 - s.x0;
  return n;
}

// ---- Lines ----

void AddThinLine(SpanSet& out, Int x0, Int y0, Int x1, Int y1) {
  TraceThinLine(out.clip(), x0, y0, x1, y1, [&out](Int x, Int y) { out.AddPixel(x, y); });
}

// ---- Filled shapes ----

void FillContours(SpanSet& out, std::span<const std::vector<PointF>> contours, bool evenOdd) {
  struct Edge {
    double x0, y0, x1, y1;
    int winding;
  };
  // Storage kept from call to call: no allocation per shape once it has grown.
  thread_local std::vector<Edge> edges;
  edges.clear();
  double yMin = 0, yMax = 0;
  for (const std::vector<PointF>& contour : contours) {
    const std::size_t n = contour.size();
    for (std::size_t i = 0; i < n; ++i) {
      const PointF& a = contour[i];
      const PointF& b = contour[(i + 1) % n];
      if (a.y == b.y || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) ||
          !std::isfinite(b.y)) {
        continue;
      }
      if (edges.empty()) {
        yMin = std::min(a.y, b.y);
        yMax = std::max(a.y, b.y);
      }
      yMin = std::min({yMin, a.y, b.y});
      yMax = std::max({yMax, a.y, b.y});
      edges.push_back(a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1});
    }
  }
  if (edges.empty()) return;
  const Clip& c = out.clip();
  const Int rowFirst = std::max(c.top, ClampToInt(std::ceil(yMin - 0.5), c.top, c.bottom));
  const Int rowEnd = std::min(c.bottom, ClampToInt(std::ceil(yMax - 0.5), c.top, c.bottom));
  thread_local std::vector<std::pair<double, int>> crossings;
  for (Int y = rowFirst; y < rowEnd; ++y) {
    const double yc = static_cast<double>(y) + 0.5;
    crossings.clear();
    for (const Edge& e : edges) {
      if (e.y0 <= yc && yc < e.y1) {
        crossings.emplace_back(e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.winding);
      }
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += evenOdd ? 1 : crossings[i].second;
      const bool inside = evenOdd ? (winding % 2 != 0) : (winding != 0);
      if (!inside) continue;
      const Int x0 = ClampToInt(std::ceil(crossings[i].first - 0.5), c.left - 1, c.right + 1);
      const Int x1 = ClampToInt(std::ceil(crossings[i + 1].first - 0.5), c.left - 1, c.right + 1);
      out.AddRun(y, x0, x1);
    }
  }
}

void AddDisc(SpanSet& out, PointF centre, double radius) {
  const detail::DiscRows disc(centre, radius, out.clip());
  for (Int y = disc.first; y < disc.end; ++y) {
    Int x0 = 0;
    Int x1 = 0;
    disc.Run(y, out.clip(), x0, x1);
    out.AddRun(y, x0, x1);
  }
}

namespace detail {

Int FirstRowFrom(double v, Int lo, Int hi) {
  if (!(v > static_cast<double>(lo) + 0.5)) return lo;
  if (v > static_cast<double>(hi) + 0.5) return hi;
  // A guess in doubles, made exact by the test itself.
  Int y = static_cast<Int>(std::ceil(v - 0.5));
  while (static_cast<double>(y) + 0.5 < v) ++y;
  while (y > lo && static_cast<double>(y - 1) + 0.5 >= v) --y;
  return std::clamp(y, lo, hi);
}

DiscRows::DiscRows(PointF at, double r, const Clip& c) : centre(at), radius(r) {
  if (!(radius >= 0) || !std::isfinite(centre.x) || !std::isfinite(centre.y)) return;
  // Strictly inside, so that no single pixel sticks out where the circle touches a row.
  first = ClampToInt(std::floor(centre.y - radius - 0.5) + 1, c.top, c.bottom);
  end = ClampToInt(std::ceil(centre.y + radius - 0.5), c.top, c.bottom);
}

void SetUpSegmentStroke(SegmentStroke& s, const Clip& c, PointF a, PointF b, double width,
                        const DiscRows* ends) {
  // The outline StrokePolyline fills: the segment's rectangle, then the two end discs.
  const double half = width / 2;
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const PointF n{-(b.y - a.y) / length * half, (b.x - a.x) / length * half};
  const PointF quad[4] = {{a.x + n.x, a.y + n.y},
                          {b.x + n.x, b.y + n.y},
                          {b.x - n.x, b.y - n.y},
                          {a.x - n.x, a.y - n.y}};
  s.edgeCount = 0;
  s.rowCount = 0;
  s.discCount = 0;
  for (int i = 0; i < 4; ++i) {
    const PointF& p = quad[i];
    const PointF& q = quad[(i + 1) % 4];
    if (p.y == q.y || !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(q.x) ||
        !std::isfinite(q.y)) {
      continue;
    }
    const PointF& lower = p.y < q.y ? p : q;
    const PointF& upper = p.y < q.y ? q : p;
    FillEdge& e = s.edges[s.edgeCount];
    e.x0 = lower.x;
    e.y0 = lower.y;
    e.dx = upper.x - lower.x;
    e.dy = upper.y - lower.y;
    e.winding = p.y < q.y ? 1 : -1;
    e.first = FirstRowFrom(lower.y, c.top, c.bottom);
    e.end = FirstRowFrom(upper.y, c.top, c.bottom);
    if (e.first >= e.end) continue;  // no row of the clip
    ++s.edgeCount;
    s.rows[s.rowCount++] = e.first;
    s.rows[s.rowCount++] = e.end;
  }
  for (int i = 0; i < 2; ++i) {
    if (ends[i].first >= ends[i].end) continue;
    s.discs[s.discCount++] = &ends[i];
    s.rows[s.rowCount++] = ends[i].first;
    s.rows[s.rowCount++] = ends[i].end;
  }
  std::sort(s.rows, s.rows + s.rowCount);
  s.rowCount = static_cast<int>(std::unique(s.rows, s.rows + s.rowCount) - s.rows);
}

int GeneralRowRuns(const SegmentStroke& s, Int y, const Clip& c, Int* x0, Int* x1) {
  const double yc = static_cast<double>(y) + 0.5;
  std::pair<double, int> crossings[4];
  int count = 0;
  for (int i = 0; i < s.edgeCount; ++i) {
    const FillEdge& e = s.edges[i];
    if (e.first <= y && y < e.end) crossings[count++] = {e.CrossingAt(yc), e.winding};
  }
  std::sort(crossings, crossings + count);
  int runs = 0;
  int winding = 0;
  for (int i = 0; i + 1 < count; ++i) {
    winding += crossings[i].second;
    if (winding == 0) continue;
    x0[runs] = RunEdge(crossings[i].first, c);
    x1[runs] = RunEdge(crossings[i + 1].first, c);
    ++runs;
  }
  return runs;
}

}  // namespace detail

void StrokePolyline(SpanSet& out, std::span<const PointF> points, double width, bool round,
                    bool closed) {
  // Storage kept from call to call: no allocation per line once it has grown.
  thread_local std::vector<PointF> p;
  thread_local std::vector<PointF> normals;
  thread_local std::vector<std::vector<PointF>> contour(1);
  p.clear();
  for (const PointF& q : points) {
    if (p.empty() || p.back().x != q.x || p.back().y != q.y) p.push_back(q);
  }
  if (closed && p.size() > 1 && p.front().x == p.back().x && p.front().y == p.back().y) {
    p.pop_back();
  }
  const double half = width / 2;
  if (p.size() == 1) {
    if (round) AddDisc(out, p[0], half);
    return;
  }
  if (p.size() < 2) return;
  if (p.size() == 2 && !closed) {
    StrokeSegment(out.clip(), p[0], p[1], width, round,
                  [&out](Int y, Int x0, Int x1) { out.AddRun(y, x0, x1); });
    return;
  }
  const std::size_t segments = closed ? p.size() : p.size() - 1;
  normals.resize(segments);
  for (std::size_t i = 0; i < segments; ++i) {
    const PointF& a = p[i];
    const PointF& b = p[(i + 1) % p.size()];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const PointF n{-(b.y - a.y) / length * half, (b.x - a.x) / length * half};
    normals[i] = n;
    contour[0] = {{a.x + n.x, a.y + n.y},
                  {b.x + n.x, b.y + n.y},
                  {b.x - n.x, b.y - n.y},
                  {a.x - n.x, a.y - n.y}};
    FillContours(out, contour, false);
  }
  // Joins where two segments meet.
  const std::size_t firstJoin = closed ? 0 : 1;
  const std::size_t lastJoin = closed ? p.size() : p.size() - 1;
  for (std::size_t i = firstJoin; i < lastJoin; ++i) {
    const PointF& v = p[i];
    if (round) {
      AddDisc(out, v, half);
      continue;
    }
    const PointF& n0 = normals[(i + segments - 1) % segments];
    const PointF& n1 = normals[i % segments];
    contour[0] = {v, {v.x + n0.x, v.y + n0.y}, {v.x + n1.x, v.y + n1.y}};
    FillContours(out, contour, false);
    contour[0] = {v, {v.x - n0.x, v.y - n0.y}, {v.x - n1.x, v.y - n1.y}};
    FillContours(out, contour, false);
  }
  if (round && !closed) {
    AddDisc(out, p.front(), half);
    AddDisc(out, p.back(), half);
  }
}

// ---- Directions ----

Sweep::Sweep(double startX, double startY, double endX, double endY) : m_full(false) {
  m_start = DiamondAngle(startX, -startY);
  m_end = DiamondAngle(endX, -endY) - m_start;
  if (m_end < 0) m_end += 4;
  if (m_end == 0) m_full = true;
}

bool Sweep::Contains(double x, double y) const {
  if (m_full) return true;
  double a = DiamondAngle(x, -y) - m_start;
  if (a < 0) a += 4;
  return a <= m_end;
}

// ---- Ellipses ----
// The box's ellipse passes through the centres of the pixels at its four sides. Doubled
// coordinates relative to the centre keep everything integral: pixel x is X = 2x - cx2 with
// cx2 = left + right - 1, and the curve is X^2 / W^2 + Y^2 / H^2 = 1 with W = right - left - 1.

void AddEllipseOutline(SpanSet& out, Int left, Int top, Int right, Int bottom, const Sweep& sweep) {
  TraceEllipseOutline(out.clip(), left, top, right, bottom, sweep,
                      [&out](Int x, Int y) { out.AddPixel(x, y); });
}

void AddEllipseBand(SpanSet& out, Int left, Int top, Int right, Int bottom, double width,
                    const Sweep& sweep) {
  const Clip& c = out.clip();
  const Int w = right - left - 1;
  const Int h = bottom - top - 1;
  if (w < 0 || h < 0 || !(width > 0)) return;
  const Int cx2 = left + right - 1;
  const Int cy2 = top + bottom - 1;
  // In doubled units the pen reaches width on either side of the curve.
  const double ow = static_cast<double>(w) + width;
  const double oh = static_cast<double>(h) + width;
  const double iw = static_cast<double>(w) - width;
  const double ih = static_cast<double>(h) - width;
  const Int rowFirst = ClampToInt(std::floor((static_cast<double>(cy2) - oh) / 2), c.top, c.bottom);
  const Int rowLast =
      ClampToInt(std::ceil((static_cast<double>(cy2) + oh) / 2), c.top - 1, c.bottom - 1);
  if (rowFirst > rowLast) return;
  const double cx = static_cast<double>(cx2);
  // The runs of a row at a distance d = |2y - cy2| from the centre; rows above and below it
  // share them (a distance's sign changes no step), so each is worked out once.
  struct Runs {
    bool known = false;
    bool none = false;  // outside the outer curve
    bool ring = false;  // two runs, either side of the inner curve
    Int outerLo = 0, outerHi = 0, innerLo = 0, innerHi = 0;
  };
  const Int far = std::max(std::abs(2 * rowFirst - cy2), std::abs(2 * rowLast - cy2));
  const Int near = 2 * rowFirst - cy2 <= 0 && 2 * rowLast - cy2 >= 0
                       ? (cy2 % 2 + 2) % 2
                       : std::min(std::abs(2 * rowFirst - cy2), std::abs(2 * rowLast - cy2));
  thread_local std::vector<Runs> byDistance;
  byDistance.assign(static_cast<std::size_t>((far - near) / 2 + 1), Runs{});
  auto runsAt = [&](Int d) -> const Runs& {
    Runs& r = byDistance[static_cast<std::size_t>((d - near) / 2)];
    if (r.known) return r;
    r.known = true;
    const double yd = static_cast<double>(d);
    if (yd > oh) {
      r.none = true;
      return r;
    }
    const double to = yd / oh;
    const double xo = ow * std::sqrt(std::max(0.0, 1 - to * to));
    // Strictly inside the outer curve, so that no single pixel sticks out where it touches a
    // row or column; on or outside the inner one.
    r.outerLo = ClampToInt(std::floor((cx - xo) / 2) + 1, c.left - 1, c.right + 1);
    r.outerHi = ClampToInt(std::ceil((cx + xo) / 2) - 1, c.left - 1, c.right + 1);
    if (iw > 0 && ih > 0 && yd < ih) {
      const double ti = yd / ih;
      const double xi = iw * std::sqrt(std::max(0.0, 1 - ti * ti));
      r.ring = true;
      r.innerLo = ClampToInt(std::floor((cx - xi) / 2), c.left - 1, c.right + 1);
      r.innerHi = ClampToInt(std::ceil((cx + xi) / 2), c.left - 1, c.right + 1);
    }
    return r;
  };
  for (Int y = rowFirst; y <= rowLast; ++y) {
    const Runs& r = runsAt(std::abs(2 * y - cy2));
    if (r.none) continue;
    auto add = [&](Int x0, Int x1) {  // [x0, x1]
      if (x0 > x1) return;
      if (sweep.IsFull()) {
        out.AddRun(y, x0, x1 + 1);
      } else {
        AddRunInSweep(out, y, x0, x1 + 1, cx2, cy2, sweep);
      }
    };
    if (r.ring) {
      add(r.outerLo, r.innerLo);
      add(r.innerHi, r.outerHi);
    } else {
      add(r.outerLo, r.outerHi);
    }
  }
}

void AddEllipseInside(SpanSet& out, Int left, Int top, Int right, Int bottom) {
  const Clip& c = out.clip();
  const Int w = right - left - 1;
  const Int h = bottom - top - 1;
  if (w <= 0 || h <= 0) return;
  const Int cx2 = left + right - 1;
  const Int cy2 = top + bottom - 1;
  const double cx = static_cast<double>(cx2);
  for (Int y = std::max(top, c.top); y < std::min(bottom, c.bottom); ++y) {
    const Int yd = 2 * y - cy2;
    if ((yd < 0 ? -yd : yd) >= h) continue;
    const double t = static_cast<double>(yd) / static_cast<double>(h);
    const double xe = static_cast<double>(w) * std::sqrt(std::max(0.0, 1 - t * t));
    const Int x0 = ClampToInt(std::floor((cx - xe) / 2) + 1, c.left - 1, c.right + 1);
    const Int x1 = ClampToInt(std::ceil((cx + xe) / 2), c.left - 1, c.right + 1);
    out.AddRun(y, x0, x1);
  }
}

PointF EllipsePointTowards(Int left, Int top, Int right, Int bottom, Int x, Int y) {
  const double a = static_cast<double>(right - left - 1) / 2;
  const double b = static_cast<double>(bottom - top - 1) / 2;
  const double cx = static_cast<double>(left + right) / 2;
  const double cy = static_cast<double>(top + bottom) / 2;
  const double dx = static_cast<double>(x) + 0.5 - cx;
  const double dy = static_cast<double>(y) + 0.5 - cy;
  if (dx == 0 && dy == 0) return {cx + a, cy};
  if (a <= 0) return {cx, dy < 0 ? cy - b : cy + b};
  if (b <= 0) return {dx < 0 ? cx - a : cx + a, cy};
  const double t = 1 / std::sqrt(dx * dx / (a * a) + dy * dy / (b * b));
  return {cx + dx * t, cy + dy * t};
}

std::vector<PointF> FlattenBezier(std::span<const PointF, 4> p) {
  std::vector<PointF> points;
  FlattenBezier(p, points);
  return points;
}

void FlattenBezier(std::span<const PointF, 4> p, std::vector<PointF>& points) {
  const double length = std::hypot(p[1].x - p[0].x, p[1].y - p[0].y) +
                        std::hypot(p[2].x - p[1].x, p[2].y - p[1].y) +
                        std::hypot(p[3].x - p[2].x, p[3].y - p[2].y);
  // A cubic's second derivative is at most 6 x its control polygon's length; n pieces stray
  // at most that / (8 n^2) from the curve.
  const double wanted = std::ceil(std::sqrt(3 * length));
  const int n = std::isfinite(wanted) ? static_cast<int>(std::clamp(wanted, 1.0, 8192.0)) : 1;
  points.clear();
  points.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double u = 1 - t;
    const double b0 = u * u * u;
    const double b1 = 3 * u * u * t;
    const double b2 = 3 * u * t * t;
    const double b3 = t * t * t;
    points.push_back({b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x,
                      b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y});
  }
}

}  // namespace zeph::raster
