#pragma once
// Our own pixel rasterisers for the back-buffer context. They compute which device pixels a
// primitive covers, clipped, as sorted runs in which each pixel appears once, so that the
// caller can copy or exclusive-or each pixel exactly once. Coordinates are 64-bit so that
// far-off points of a zoomed drawing neither overflow nor cost time: work is proportional to
// the visible part.
//
// Pixel (x, y) covers [x, x + 1) x [y, y + 1); its centre is (x + 0.5, y + 0.5). Shapes given
// in continuous coordinates (PointF) cover the pixels whose centres lie inside them, a centre
// on a left or top edge counting as inside and on a right or bottom edge as outside.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace zeph::raster {

// Device rectangle, right and bottom excluded.
struct Clip {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

struct Span {
  std::int32_t y = 0;
  std::int32_t x0 = 0;  // first pixel
  std::int32_t x1 = 0;  // one past the last pixel
  friend bool operator==(const Span&, const Span&) = default;
};

struct PointF {
  double x = 0;
  double y = 0;
};

// A set of pixels inside a clip, kept as runs.
class SpanSet {
 public:
  explicit SpanSet(const Clip& clip) : m_clip(clip) {}

  // Empties the set for a new clip, keeping its storage: a context reuses one set per call.
  void Reset(const Clip& clip) {
    m_clip = clip;
    m_spans.clear();
  }
  const Clip& clip() const { return m_clip; }
  void AddPixel(std::int64_t x, std::int64_t y);
  void AddRun(std::int64_t y, std::int64_t x0, std::int64_t x1);  // [x0, x1)
  // Sorts the runs and merges overlapping and touching ones: afterwards every pixel is in
  // exactly one run.
  void Normalise();
  // Removes the pixels of other; both must be normalised, and this stays so.
  void Subtract(const SpanSet& other);
  bool Contains(std::int64_t x, std::int64_t y) const;  // normalised sets only
  std::int64_t PixelCount() const;
  const std::vector<Span>& spans() const { return m_spans; }
  bool empty() const { return m_spans.empty(); }

 private:
  Clip m_clip;
  std::vector<Span> m_spans;
};

// The pixels of the line from (x0, y0) to (x1, y1) without the end pixel; a line of length 0
// has none. Along the major axis each step has one pixel, at the minor coordinate nearest the
// exact line (halves towards +x or +y), so the pixels depend only on the two ends.
void AddThinLine(SpanSet& out, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);

// The walk of a one-pixel line along its major axis u (x or y), the minor axis v: the pixels
// run over u = lo..hi, v = v0 + q with remainder r out of d, stepping r by step.
struct ThinLineWalk {
  bool xMajor = true;
  std::int64_t lo = 0, hi = -1;  // the major range inside the clip; empty when lo > hi
  std::int64_t v0 = 0, q = 0, r = 0, d = 1, step = 0;
  bool minorInside = false;  // every v of the line lies inside the clip
};

inline ThinLineWalk StartThinLine(const Clip& c, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                                  std::int64_t y1) {
  using Int = std::int64_t;
  using Wide = __int128;
  ThinLineWalk w;
  const Int dx = x1 - x0;
  const Int dy = y1 - y0;
  if (dx == 0 && dy == 0) return w;
  w.xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Work along the major axis u with minor axis v: v(u) = v0 + dv (u - u0) / du, rounded to
  // the nearest pixel with halves upwards, which is the same from either end.
  Int u0 = x0, v0 = y0, du = dx, dv = dy, uClipLo = c.left, uClipHi = c.right;
  Int vClipLo = c.top, vClipHi = c.bottom;
  if (!w.xMajor) {
    u0 = y0;
    v0 = x0;
    du = dy;
    dv = dx;
    uClipLo = c.top;
    uClipHi = c.bottom;
    vClipLo = c.left;
    vClipHi = c.right;
  }
  const Int s = du > 0 ? 1 : -1;
  const Int adu = du * s;
  const Int u1 = u0 + du;
  // The pixels run from u0 towards u1, u1 left out.
  Int lo = du > 0 ? u0 : u1 + 1;
  Int hi = du > 0 ? u1 - 1 : u0;
  lo = std::max(lo, uClipLo);
  hi = std::min(hi, uClipHi - 1);
  if (lo > hi) return w;
  // Rounded v stays between the two ends' v, so with both inside no pixel needs a test.
  w.minorInside = std::min(v0, v0 + dv) >= vClipLo && std::max(v0, v0 + dv) < vClipHi;
  const Int d = 2 * adu;
  const Int step = 2 * dv * s;
  w.lo = lo;
  w.hi = hi;
  w.v0 = v0;
  w.d = d;
  w.step = step;
  // An unclipped start needs no division: at u0 the quotient is 0 and at u1 it is dv, both
  // with remainder adu, and the first pixel after u1 is one step on.
  if (du > 0 && lo == u0) {
    w.q = 0;
    w.r = adu;
    return w;
  }
  if (du < 0 && lo == u1 + 1) {
    w.q = dv;
    w.r = adu + step;
    if (w.r >= d) {
      ++w.q;
      w.r -= d;
    } else if (w.r < 0) {
      --w.q;
      w.r += d;
    }
    return w;
  }
  const Wide n = Wide(2) * dv * (lo - u0) * s + adu;
  Int q = 0;
  Int r = 0;
  if (n >= -(Wide(1) << 62) && n < (Wide(1) << 62)) {
    // The usual case: 64-bit division, far cheaper than 128-bit.
    const Int n64 = static_cast<Int>(n);
    q = n64 / d;
    r = n64 % d;
  } else {
    q = static_cast<Int>(n / d);
    r = static_cast<Int>(n % d);
  }
  if (r < 0) {
    --q;
    r += d;
  }
  w.q = q;
  w.r = r;
  return w;
}

// The same pixels inside clip handed to plot(x, y) one by one, each once, without storing them:
// the back buffer sets them straight away.
template <typename Plot>
void TraceThinLine(const Clip& c, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                   std::int64_t y1, Plot&& plot) {
  using Int = std::int64_t;
  ThinLineWalk w = StartThinLine(c, x0, y0, x1, y1);
  const Int vClipLo = w.xMajor ? c.top : c.left;
  const Int vClipHi = w.xMajor ? c.bottom : c.right;
  for (Int u = w.lo; u <= w.hi; ++u) {
    const Int v = w.v0 + w.q;
    if (v >= vClipLo && v < vClipHi) {
      if (w.xMajor) {
        plot(u, v);
      } else {
        plot(v, u);
      }
    }
    w.r += w.step;
    if (w.r >= w.d) {
      ++w.q;
      w.r -= w.d;
    } else if (w.r < 0) {
      --w.q;
      w.r += w.d;
    }
  }
}

// Sets count + 1 pixels from p, one step along u each and one along v whenever the remainder
// r (out of d, growing by step) runs over. A falling remainder is counted upwards from the
// other side (r' = d - 1 - r), so one loop serves both signs. Both next remainders are worked
// out and one is chosen: the minor step costs no branch (mispredicted at nearly every other
// pixel on lines of every slope) and each pixel waits for no more than an add and a select.
template <typename Set>
void WalkThinLine(std::uint32_t* p, std::int64_t count, std::int64_t r, std::int64_t d,
                  std::int64_t step, std::ptrdiff_t alongU, std::ptrdiff_t alongV, Set&& set) {
  using Int = std::int64_t;
  if (step < 0) {
    r = d - 1 - r;
    step = -step;
    alongV = -alongV;
  }
  const Int stepOver = step - d;
  for (Int n = count;; --n) {
    set(*p);
    if (n == 0) break;
    const Int stay = r + step;
    const Int over = r + stepOver;
    const Int moves = ~(over >> 63);  // all ones when the remainder runs over
    r = over >= 0 ? over : stay;
    p += alongU + (alongV & moves);
  }
}

// TraceThinLine into a buffer of 32-bit pixels, row stride in pixels: set(pixel) for each.
// A line wholly inside the clip across its minor axis (the usual case) walks a pointer.
template <typename Set>
void TraceThinLineInto(const Clip& c, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                       std::int64_t y1, std::uint32_t* bits, std::ptrdiff_t stride, Set&& set) {
  using Int = std::int64_t;
  ThinLineWalk w = StartThinLine(c, x0, y0, x1, y1);
  if (w.lo > w.hi) return;
  if (!w.minorInside) {
    TraceThinLine(c, x0, y0, x1, y1, [&](Int px, Int py) { set(bits[stride * py + px]); });
    return;
  }
  // Along u one pixel or one row; v moves by the sign of step.
  const std::ptrdiff_t alongU = w.xMajor ? 1 : stride;
  const std::ptrdiff_t alongV = w.xMajor ? stride : 1;
  const Int v = w.v0 + w.q;
  std::uint32_t* p = w.xMajor ? bits + stride * v + w.lo : bits + stride * w.lo + v;
  WalkThinLine(p, w.hi - w.lo, w.r, w.d, w.step, alongU, alongV, set);
}

// The same pixels and the end pixel, for a line whose two ends lie inside the buffer's clip
// (so every pixel does): walked from the end with the lower major coordinate, where the
// quotient is exact and the remainder half a step.
template <typename Set>
void TraceThinLineWithEndInto(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                              std::uint32_t* bits, std::ptrdiff_t stride, Set&& set) {
  using Int = std::int64_t;
  const Int dx = x1 - x0;
  const Int dy = y1 - y0;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const Int du = xMajor ? dx : dy;
  const Int dv = xMajor ? dy : dx;
  const Int adu = du < 0 ? -du : du;
  const bool forwards = du >= 0;
  const Int startX = forwards ? x0 : x1;
  const Int startY = forwards ? y0 : y1;
  std::uint32_t* p = bits + stride * startY + startX;
  const std::ptrdiff_t alongU = xMajor ? 1 : stride;
  const std::ptrdiff_t alongV = xMajor ? stride : 1;
  WalkThinLine(p, adu, adu, 2 * adu, forwards ? 2 * dv : -2 * dv, alongU, alongV, set);
}

// Fills closed contours by the alternate (even-odd) or the non-zero winding rule.
void FillContours(SpanSet& out, std::span<const std::vector<PointF>> contours, bool evenOdd);

// The pixels whose centres lie nearer than radius to centre.
void AddDisc(SpanSet& out, PointF centre, double radius);

// A pen of width wider than one pixel along the points (pixel centres). Round: round ends
// and joins; otherwise flat ends and bevel joins. Closed joins the last point to the first.
void StrokePolyline(SpanSet& out, std::span<const PointF> points, double width, bool round,
                    bool closed);

namespace detail {

// Clamps a double coordinate into a range just wider than the clip before it becomes an
// integer, so that far-off values neither overflow nor matter (NaN gives lo).
inline std::int64_t ClampToInt(double v, std::int64_t lo, std::int64_t hi) {
  if (!(v >= static_cast<double>(lo))) return lo;
  if (v > static_cast<double>(hi)) return hi;
  return static_cast<std::int64_t>(v);
}

// The first pixel of a run that starts at v, the first whose centre is not left of v, kept
// within a pixel of the clip: ClampToInt(ceil(v - 0.5), ...), with the ceiling taken only of
// a value already clamped, where truncation finds it.
inline std::int64_t RunEdge(double v, const Clip& c) {
  const double u = v - 0.5;
  const std::int64_t lo = c.left - 1;
  const std::int64_t hi = c.right + 1;
  if (!(u >= static_cast<double>(lo))) return lo;
  if (u > static_cast<double>(hi)) return hi;
  const auto t = static_cast<std::int64_t>(u);
  return static_cast<double>(t) < u ? t + 1 : t;
}

// The first row y, kept within [lo, hi], whose centre y + 0.5 is not above v (finite).
std::int64_t FirstRowFrom(double v, std::int64_t lo, std::int64_t hi);

// A disc's rows and, row by row, its run, as AddDisc finds them.
struct DiscRows {
  PointF centre;
  double radius = 0;
  std::int64_t first = 0, end = 0;  // rows [first, end)
  DiscRows(PointF at, double r, const Clip& c);
  void Run(std::int64_t y, const Clip& c, std::int64_t& x0, std::int64_t& x1) const {
    const double dy = static_cast<double>(y) + 0.5 - centre.y;
    const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    x0 = ClampToInt(std::floor(centre.x - half - 0.5) + 1, c.left - 1, c.right + 1);
    x1 = ClampToInt(std::ceil(centre.x + half - 0.5), c.left - 1, c.right + 1);
  }
};

// An edge of a filled outline, upwards, as FillContours crosses it: the rows [first, end)
// whose centres it spans.
struct FillEdge {
  double x0 = 0, y0 = 0, dx = 0, dy = 0;
  int winding = 0;
  std::int64_t first = 0, end = 0;
  double CrossingAt(double yc) const { return x0 + (yc - y0) * dx / dy; }
};

// The edges of the pen's outline along the segment, and its end discs.
struct SegmentStroke {
  FillEdge edges[4];
  int edgeCount = 0;
  std::int64_t rows[12];  // the rows where edges and discs begin or end, sorted
  int rowCount = 0;
  const DiscRows* discs[2] = {nullptr, nullptr};
  int discCount = 0;
};

void SetUpSegmentStroke(SegmentStroke& s, const Clip& c, PointF a, PointF b, double width,
                        const DiscRows* ends);

// The runs of one row from the crossings of several edges (an outline turned inside out by
// rounding), as FillContours finds them by the non-zero rule; answers how many.
int GeneralRowRuns(const SegmentStroke& s, std::int64_t y, const Clip& c, std::int64_t* x0,
                   std::int64_t* x1);

}  // namespace detail

// The pixels StrokePolyline gives for the two points a != b (not closed), handed to
// run(y, x0, x1) as they are found: rows from the top, each row's runs from the left,
// separate (neither overlapping nor touching) and inside the clip. Each pixel comes once, so
// the caller may set it straight into the picture, even by exclusive or.
template <typename Run>
void StrokeSegment(const Clip& c, PointF a, PointF b, double width, bool round, Run&& run) {
  using Int = std::int64_t;
  if (c.IsEmpty()) return;
  const double half = width / 2;
  const detail::DiscRows ends[2] = {{a, round ? half : -1, c}, {b, round ? half : -1, c}};
  detail::SegmentStroke s;
  detail::SetUpSegmentStroke(s, c, a, b, width, ends);
  for (int band = 0; band + 1 < s.rowCount; ++band) {
    const Int from = s.rows[band];
    const Int to = s.rows[band + 1];
    // What spans this band's rows: at most four edges and two discs.
    const detail::FillEdge* active[4];
    int activeCount = 0;
    for (int i = 0; i < s.edgeCount; ++i) {
      if (s.edges[i].first <= from && from < s.edges[i].end) active[activeCount++] = &s.edges[i];
    }
    const detail::DiscRows* discs[2];
    int discCount = 0;
    for (int i = 0; i < s.discCount; ++i) {
      if (s.discs[i]->first <= from && from < s.discs[i]->end) discs[discCount++] = s.discs[i];
    }
    if (activeCount == 2 && discCount == 0) {
      // The usual rows: between two edges (the order of equal crossings does not matter).
      const detail::FillEdge& e = *active[0];
      const detail::FillEdge& f = *active[1];
      for (Int y = from; y < to; ++y) {
        const double yc = static_cast<double>(y) + 0.5;
        Int lo = detail::RunEdge(e.CrossingAt(yc), c);
        Int hi = detail::RunEdge(f.CrossingAt(yc), c);
        if (hi < lo) std::swap(lo, hi);
        lo = std::max(lo, c.left);
        hi = std::min(hi, c.right);
        if (lo < hi) run(y, lo, hi);
      }
      continue;
    }
    for (Int y = from; y < to; ++y) {
      const double yc = static_cast<double>(y) + 0.5;
      Int x0[5];
      Int x1[5];
      int n = 0;
      if (activeCount == 2) {
        const double p = active[0]->CrossingAt(yc);
        const double q = active[1]->CrossingAt(yc);
        x0[0] = detail::RunEdge(p < q ? p : q, c);
        x1[0] = detail::RunEdge(p < q ? q : p, c);
        n = 1;
      } else if (activeCount > 2) {
        n = detail::GeneralRowRuns(s, y, c, x0, x1);
      }
      for (int i = 0; i < discCount; ++i) {
        discs[i]->Run(y, c, x0[n], x1[n]);
        ++n;
      }
      // Inside the clip, in order, merged where they overlap or touch.
      int kept = 0;
      for (int i = 0; i < n; ++i) {
        const Int lo = std::max(x0[i], c.left);
        const Int hi = std::min(x1[i], c.right);
        if (lo >= hi) continue;
        int at = kept++;
        while (at > 0 && x0[at - 1] > lo) {
          x0[at] = x0[at - 1];
          x1[at] = x1[at - 1];
          --at;
        }
        x0[at] = lo;
        x1[at] = hi;
      }
      Int runFrom = 0;
      Int runTo = 0;
      for (int i = 0; i < kept; ++i) {
        if (i > 0 && x0[i] <= runTo) {
          runTo = std::max(runTo, x1[i]);
          continue;
        }
        if (i > 0) run(y, runFrom, runTo);
        runFrom = x0[i];
        runTo = x1[i];
      }
      if (kept > 0) run(y, runFrom, runTo);
    }
  }
}

// The directions, counter-clockwise as seen on the page, from the ray through a start point
// to the ray through an end point; both given relative to a centre, in any common scale with
// y growing downwards. Equal directions take every direction.
class Sweep {
 public:
  Sweep() = default;  // every direction
  Sweep(double startX, double startY, double endX, double endY);
  bool Contains(double x, double y) const;
  bool IsFull() const { return m_full; }

 private:
  bool m_full = true;
  double m_start = 0;
  double m_end = 0;
};

// The outline of the ellipse inscribed in the box (right and bottom excluded), one pixel
// wide, symmetric, 8-connected and touching all four sides of the box; only the directions
// of sweep (from the box's centre) are kept. The box must not be empty.
void AddEllipseOutline(SpanSet& out, std::int64_t left, std::int64_t top, std::int64_t right,
                       std::int64_t bottom, const Sweep& sweep = Sweep());

namespace detail {

// The largest value par + 2k not above v.
inline std::int64_t LatticeFloor(double v, std::int64_t par) {
  return par + 2 * static_cast<std::int64_t>(std::floor((v - static_cast<double>(par)) / 2));
}

// The value par + 2k nearest v (halves outwards), kept within [par, max].
inline std::int64_t LatticeNearest(double v, std::int64_t par, std::int64_t max) {
  const auto k = static_cast<std::int64_t>(std::floor((v - static_cast<double>(par)) / 2 + 0.5));
  return std::clamp(par + 2 * k, par, max);
}

// Calls visit(v) for the lattice values par + 2k in [lo, hi].
template <typename Visit>
void ForLattice(std::int64_t lo, std::int64_t hi, std::int64_t par, Visit&& visit) {
  if (lo > hi) return;
  std::int64_t v = lo;
  if (((v - par) % 2 + 2) % 2 != 0) ++v;
  for (; v <= hi; v += 2) visit(v);
}

// Calls visit(v) for the lattice values of [first, last] whose mirrored pixels
// (centre2 + v) / 2 or (centre2 - v) / 2 fall inside [clipLo, clipHi).
template <typename Visit>
void ForVisibleLattice(std::int64_t first, std::int64_t last, std::int64_t par,
                       std::int64_t centre2, std::int64_t clipLo, std::int64_t clipHi,
                       Visit&& visit) {
  const std::int64_t aLo = std::max(first, 2 * clipLo - centre2);
  const std::int64_t aHi = std::min(last, 2 * (clipHi - 1) - centre2);
  const std::int64_t bLo = std::max(first, centre2 - 2 * (clipHi - 1));
  const std::int64_t bHi = std::min(last, centre2 - 2 * clipLo);
  if (aLo > aHi) {
    ForLattice(bLo, bHi, par, visit);
  } else if (bLo > bHi) {
    ForLattice(aLo, aHi, par, visit);
  } else if (aHi + 1 < bLo || bHi + 1 < aLo) {
    ForLattice(aLo, aHi, par, visit);
    ForLattice(bLo, bHi, par, visit);
  } else {
    ForLattice(std::min(aLo, bLo), std::max(aHi, bHi), par, visit);
  }
}

}  // namespace detail

// The pixels of AddEllipseOutline handed to plot(x, y), inside the clip, each once, in no
// particular order: the caller may set them straight into the picture, even by exclusive or.
// Coordinates are doubled about the box's centre (X = 2x - cx2), as in every ellipse here.
template <typename Plot>
void TraceEllipseOutline(const Clip& c, std::int64_t left, std::int64_t top, std::int64_t right,
                         std::int64_t bottom, const Sweep& sweep, Plot&& plot) {
  using Int = std::int64_t;
  const Int w = right - left - 1;
  const Int h = bottom - top - 1;
  if (w < 0 || h < 0) return;
  if (right <= c.left || left >= c.right || bottom <= c.top || top >= c.bottom) return;
  const Int cx2 = left + right - 1;
  const Int cy2 = top + bottom - 1;
  const bool full = sweep.IsFull();
  if (w == 0 || h == 0) {  // one pixel wide or high: every pixel of the box
    for (Int y = std::max(top, c.top); y < std::min(bottom, c.bottom); ++y) {
      const double dy = static_cast<double>(2 * y - cy2);
      for (Int x = std::max(left, c.left); x < std::min(right, c.right); ++x) {
        if (full || sweep.Contains(static_cast<double>(2 * x - cx2), dy)) plot(x, y);
      }
    }
    return;
  }
  // The point (X, Y) of the first quadrant and its mirror images, each pixel once.
  auto mirrored = [&](Int X, Int Y) {
    for (Int sx : {Int(1), Int(-1)}) {
      if (sx < 0 && X == 0) continue;
      const Int x = (cx2 + sx * X) / 2;
      if (x < c.left || x >= c.right) continue;
      for (Int sy : {Int(1), Int(-1)}) {
        if (sy < 0 && Y == 0) continue;
        const Int y = (cy2 + sy * Y) / 2;
        if (y < c.top || y >= c.bottom) continue;
        if (full || sweep.Contains(static_cast<double>(sx * X), static_cast<double>(sy * Y))) {
          plot(x, y);
        }
      }
    }
  };
  const double wd = static_cast<double>(w);
  const double hd = static_cast<double>(h);
  const double diagonal = std::hypot(wd, hd);
  const Int px = w % 2;
  const Int py = h % 2;
  auto rowOfColumn = [&](Int X) {
    const double t = static_cast<double>(X) / wd;
    return detail::LatticeNearest(hd * std::sqrt(std::max(0.0, 1 - t * t)), py, h);
  };
  // Where the curve is flatter than 45 degrees one pixel per column, elsewhere one per row;
  // each part runs a pixel past the 45-degree point so that the two meet, and a point both
  // parts reach is left to the columns.
  const Int xLast = std::min(w, detail::LatticeFloor(wd * wd / diagonal + 2, px));
  detail::ForVisibleLattice(px, xLast, px, cx2, c.left, c.right,
                            [&](Int X) { mirrored(X, rowOfColumn(X)); });
  const Int yLast = std::min(h, detail::LatticeFloor(hd * hd / diagonal + 2, py));
  detail::ForVisibleLattice(py, yLast, py, cy2, c.top, c.bottom, [&](Int Y) {
    const double t = static_cast<double>(Y) / hd;
    const Int X = detail::LatticeNearest(wd * std::sqrt(std::max(0.0, 1 - t * t)), px, w);
    if (X <= xLast && rowOfColumn(X) == Y) return;
    mirrored(X, Y);
  });
}
// The same outline drawn with a pen of width pixels centred on it.
void AddEllipseBand(SpanSet& out, std::int64_t left, std::int64_t top, std::int64_t right,
                    std::int64_t bottom, double width, const Sweep& sweep = Sweep());
// The pixels strictly inside the outline's curve.
void AddEllipseInside(SpanSet& out, std::int64_t left, std::int64_t top, std::int64_t right,
                      std::int64_t bottom);
// Where the ray from the box's centre through (x, y) meets the curve of the box's ellipse
// through the centres of its outline pixels, in continuous coordinates.
PointF EllipsePointTowards(std::int64_t left, std::int64_t top, std::int64_t right,
                           std::int64_t bottom, std::int64_t x, std::int64_t y);

// Points along the cubic Bézier segment from p[0] to p[3], close enough to the curve that
// a line between neighbours strays less than a quarter pixel from it.
std::vector<PointF> FlattenBezier(std::span<const PointF, 4> p);
// The same points into out (emptied first), keeping its storage.
void FlattenBezier(std::span<const PointF, 4> p, std::vector<PointF>& out);

}  // namespace zeph::raster
