#include "items/arcraster.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

#include "support/log.h"

// Both rasterisers choose each pixel by the sign of the ellipse's equation at the midpoint
// between two candidate pixels, evaluated exactly in 128-bit integers (coordinates doubled so
// that the midpoints are whole numbers). Every pixel is computed directly from its column or
// row, never carried from the previous step, so the trace can start anywhere: only the
// columns and rows that can reach the clip box are visited.

namespace {

__extension__ typedef __int128 Int128;

using zeph::DcPoint;
using zeph::DcRect;

struct Interval {
  std::int64_t lo;
  std::int64_t hi;
};

// A few intervals, kept without allocating.
class CIntervals {
 public:
  void Add(const Interval& part) {
    if (m_count < kCapacity) m_parts[m_count++] = part;
  }
  const Interval* begin() const { return m_parts; }
  const Interval* end() const { return m_parts + m_count; }

 private:
  static constexpr int kCapacity = 4;
  Interval m_parts[kCapacity] = {};
  int m_count = 0;
};

// The parts of the two intervals that lie within [lo, hi], in order, overlaps merged.
CIntervals ClipIntervals(Interval first, Interval second, std::int64_t lo, std::int64_t hi) {
  Interval parts[2] = {first, second};
  for (Interval& part : parts) {
    part.lo = std::max(part.lo, lo);
    part.hi = std::min(part.hi, hi);
  }
  if (parts[1].lo < parts[0].lo) std::swap(parts[0], parts[1]);
  CIntervals out;
  Interval merged{0, -1};
  bool open = false;
  for (const Interval& part : parts) {
    if (part.lo > part.hi) continue;
    if (open && part.lo <= merged.hi + 1) {
      merged.hi = std::max(merged.hi, part.hi);
    } else {
      if (open) out.Add(merged);
      merged = part;
      open = true;
    }
  }
  if (open) out.Add(merged);
  return out;
}

// Storage the sinks share from call to call (the plotters are not re-entrant), so that a
// curve allocates nothing once it has grown.
struct SinkStorage {
  std::vector<DcPoint> pixels;
  std::vector<std::uint64_t> seen;  // one bit per pixel of the sink's box
};

SinkStorage& TheSinkStorage() {
  thread_local SinkStorage storage;
  return storage;
}

// The pixels of one call, kept only inside the clip box and set once each at the end. A bit
// per pixel of the curve's box (inside the clip) says whether it was set already, so the
// pixels need no sorting; a box too large for that falls back to sorting them.
class CPixelSink {
 public:
  // box: the pixels the curve can reach (pen included), right and bottom included.
  CPixelSink(const DcRect& clip, int penWidth, std::int64_t left, std::int64_t top,
             std::int64_t right, std::int64_t bottom)
      : m_clip(clip), m_penWidth(penWidth), m_store(TheSinkStorage()) {
    m_store.pixels.clear();
    m_left = std::max<std::int64_t>(left, clip.left);
    m_top = std::max<std::int64_t>(top, clip.top);
    const std::int64_t r = std::min<std::int64_t>(right + 1, clip.right);
    const std::int64_t b = std::min<std::int64_t>(bottom + 1, clip.bottom);
    m_width = std::max<std::int64_t>(r - m_left, 0);
    m_height = std::max<std::int64_t>(b - m_top, 0);
    if (m_width * m_height > kMaxMarkedPixels) {
      m_width = 0;
      m_height = 0;
    }
    const auto words = static_cast<std::size_t>((m_width * m_height + 63) / 64);
    if (m_store.seen.size() < words) m_store.seen.resize(words, 0);
  }
  CPixelSink(const CPixelSink&) = delete;
  CPixelSink& operator=(const CPixelSink&) = delete;
  ~CPixelSink() {
    // The marks go, whichever way the call ends.
    if (!m_marked) return;
    for (const DcPoint& p : m_store.pixels) {
      const std::int64_t x = p.x - m_left;
      const std::int64_t y = p.y - m_top;
      if (x >= 0 && x < m_width && y >= 0 && y < m_height) {
        const auto bit = static_cast<std::size_t>(y * m_width + x);
        m_store.seen[bit / 64] &= ~(std::uint64_t(1) << (bit % 64));
      }
    }
  }

  // A pixel the caller knows to be new: no mark is needed inside the box.
  void PlotNew(std::int64_t x, std::int64_t y) {
    if (x < m_clip.left || x >= m_clip.right || y < m_clip.top || y >= m_clip.bottom) return;
    const std::int64_t bx = x - m_left;
    const std::int64_t by = y - m_top;
    if (!(bx >= 0 && bx < m_width && by >= 0 && by < m_height)) m_unmarked = true;
    m_store.pixels.push_back(DcPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
  }

  void Plot(std::int64_t x, std::int64_t y) {
    if (x < m_clip.left || x >= m_clip.right || y < m_clip.top || y >= m_clip.bottom) return;
    const std::int64_t bx = x - m_left;
    const std::int64_t by = y - m_top;
    if (bx >= 0 && bx < m_width && by >= 0 && by < m_height) {
      const auto bit = static_cast<std::size_t>(by * m_width + bx);
      std::uint64_t& word = m_store.seen[bit / 64];
      const std::uint64_t mask = std::uint64_t(1) << (bit % 64);
      if ((word & mask) != 0) return;
      word |= mask;
      m_marked = true;
    } else {
      m_unmarked = true;
    }
    m_store.pixels.push_back(DcPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
  }

  // The pixel, or with a thick pen the run of pen-width pixels from half the width before it,
  // across the curve.
  void Run(std::int64_t x, std::int64_t y, bool vertical) {
    if (m_penWidth <= 1) {
      Plot(x, y);
      return;
    }
    const std::int64_t first = (vertical ? y : x) - m_penWidth / 2;
    std::int64_t from = first;
    std::int64_t to = first + m_penWidth - 1;
    if (vertical) {
      if (x < m_clip.left || x >= m_clip.right) return;
      from = std::max<std::int64_t>(from, m_clip.top);
      to = std::min<std::int64_t>(to, m_clip.bottom - 1);
      for (std::int64_t k = from; k <= to; ++k) Plot(x, k);
    } else {
      if (y < m_clip.top || y >= m_clip.bottom) return;
      from = std::max<std::int64_t>(from, m_clip.left);
      to = std::min<std::int64_t>(to, m_clip.right - 1);
      for (std::int64_t k = from; k <= to; ++k) Plot(k, y);
    }
  }

  void Flush(zeph::CDrawContext& dc, zeph::ColourRef colour) {
    std::vector<DcPoint>& pixels = m_store.pixels;
    if (m_unmarked) {
      // Pixels outside the marked box may repeat: sorted, each kept once.
      std::sort(pixels.begin(), pixels.end(), [](const DcPoint& p, const DcPoint& q) {
        return p.y != q.y ? p.y < q.y : p.x < q.x;
      });
      pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    }
    dc.SetPixels(pixels, colour);
  }

 private:
  // Above this many pixels in the box (a curve far larger than any window) the marks would
  // cost more than sorting.
  static constexpr std::int64_t kMaxMarkedPixels = std::int64_t(1) << 24;

  DcRect m_clip;
  int m_penWidth;
  SinkStorage& m_store;
  std::int64_t m_left = 0;
  std::int64_t m_top = 0;
  std::int64_t m_width = 0;
  std::int64_t m_height = 0;
  bool m_unmarked = false;
  bool m_marked = false;  // some pixel has its mark set
};

int ClampPenWidth(int width) { return std::clamp(width, 1, kPlotterMaxPenWidth); }

// A guess at a whole number from a double, kept where the exact searches stay cheap.
std::int64_t GuessOf(long double value, std::int64_t lo, std::int64_t hi) {
  if (!(value > static_cast<long double>(lo))) return lo;
  if (!(value < static_cast<long double>(hi))) return hi;
  return static_cast<std::int64_t>(std::floor(value + 0.5L));
}

std::int64_t GuessOf(double value, std::int64_t lo, std::int64_t hi) {
  if (!(value > static_cast<double>(lo))) return lo;
  if (!(value < static_cast<double>(hi))) return hi;
  return static_cast<std::int64_t>(std::floor(value + 0.5));
}

// Most values fit 64 bits, whose conversion is one instruction.
double ToDouble(Int128 v) {
  constexpr Int128 kLimit = Int128(1) << 62;
  return v > -kLimit && v < kLimit ? static_cast<double>(static_cast<std::int64_t>(v))
                                   : static_cast<double>(v);
}

// ---- The axis-aligned ellipse b^2 x^2 + a^2 y^2 = a^2 b^2, traced from (0, b) to (a, 0) ----
//
// First region (the curve flatter than 45 degrees): one pixel per column, the row chosen by
// the midpoint between it and the row below. Second region: one pixel per row, the column
// chosen by the midpoint between it and the next column. The regions meet at the column where
// the curve's slope reaches 1, moved on by a column or two where that is needed to keep the
// pixels connected; a very flat ellipse keeps the first region to its tip, and a very thin one
// starts the second region at once.
class CAxisTrace {
 public:
  CAxisTrace(std::int64_t a, std::int64_t b)
      : m_a(a), m_b(b), m_a2(Int128(a) * a), m_b2(Int128(b) * b) {
    m_lastColumn = FindLastColumn();
    m_secondCount = RowAt(m_lastColumn);
  }

  std::int64_t GetLastColumn() const { return m_lastColumn; }
  // Points of the first region: columns 0..last column.
  std::int64_t GetFirstCount() const { return m_lastColumn + 1; }
  // Points of the second region: rows (row of the last column - 1) down to 0.
  std::int64_t GetSecondCount() const { return m_secondCount; }
  std::int64_t GetLength() const { return GetFirstCount() + m_secondCount; }
  std::int64_t GetSecondTopRow() const { return m_secondCount - 1; }

  // The row of column x in the first region: the least n >= 0 whose midpoint (x, n + 1/2)
  // lies outside the ellipse (a midpoint on it keeps the higher row).
  std::int64_t RowAt(std::int64_t x) const { return RowFrom(x, Guess(m_a, m_b, x)); }
  // The same searched from n >= 0, for example from a neighbouring column's row.
  std::int64_t RowFrom(std::int64_t x, std::int64_t n) const {
    return LeastBeyond(m_a, m_b, x, n, false);
  }

  // The column of row y in the second region: the least m >= 0 whose midpoint (m + 1/2, y)
  // is not inside the ellipse (a midpoint on it keeps the smaller column).
  std::int64_t ColumnAt(std::int64_t y) const { return ColumnFrom(y, Guess(m_b, m_a, y)); }
  std::int64_t ColumnFrom(std::int64_t y, std::int64_t m) const {
    return LeastBeyond(m_b, m_a, y, m, true);
  }

  // The trace point of an index: first region by column, second region by falling row.
  void PointAt(std::int64_t index, std::int64_t& x, std::int64_t& y, bool& firstRegion) const {
    firstRegion = index <= m_lastColumn;
    if (firstRegion) {
      x = index;
      y = RowAt(index);
    } else {
      y = GetSecondTopRow() - (index - GetFirstCount());
      x = ColumnAt(y);
    }
  }
  // The same for the point after the one at index - 1, (x, y) on entry, in the same region.
  void NextPoint(std::int64_t index, std::int64_t& x, std::int64_t& y, bool& firstRegion) const {
    if (index <= m_lastColumn || !firstRegion) {
      if (firstRegion) {
        x = index;
        y = RowFrom(index, y);
      } else {
        y = GetSecondTopRow() - (index - GetFirstCount());
        x = ColumnFrom(y, x);
      }
      return;
    }
    PointAt(index, x, y, firstRegion);
  }

  // The index of the first trace point at which a point with absolute offsets (X, Y) counts
  // as reached: in the first region when x > X, or x = X and y <= Y; in the second when
  // y < Y, or y = Y and x >= X. The length when it is never reached.
  std::int64_t ReachIndex(std::int64_t X, std::int64_t Y) const {
    if (X <= m_lastColumn) {
      if (RowAt(X) <= Y) return X;
      if (X + 1 <= m_lastColumn) return X + 1;
    }
    if (m_secondCount == 0) return GetLength();
    const std::int64_t top = GetSecondTopRow();
    if (Y > top) return GetFirstCount();
    if (ColumnAt(Y) >= X) return GetFirstCount() + (top - Y);
    if (Y >= 1) return GetFirstCount() + (top - Y) + 1;
    return GetLength();
  }

 private:
  // The last column of the first region.
  std::int64_t FindLastColumn() const {
    // The largest x with x^2 (a^2 + b^2) <= a^4: where the slope of the curve reaches 1.
    const Int128 sum = m_a2 + m_b2;
    const Int128 limit = m_a2 * m_a2;
    std::int64_t x = 0;
    if (sum > 0) {
      const double guess = ToDouble(m_a2) / std::sqrt(ToDouble(m_a2 + m_b2));
      x = GuessOf(guess, 0, m_a);
      while (x > 0 && Int128(x) * x * sum > limit) --x;
      while (x < m_a && Int128(x + 1) * (x + 1) * sum <= limit) ++x;
    }
    // Moved on while the second region would not join on: its first pixel more than one column
    // away, or its first two pixels apart. Either needs the slope near 1, so this ends within
    // a column or two; a row of 0 means the first region must reach the tip.
    for (int guard = 0; guard < 64 && x < m_a; ++guard) {
      const std::int64_t n = RowAt(x);
      if (n >= 1) {
        const std::int64_t first = ColumnAt(n - 1);
        const bool joined = first <= x + 1 && (n < 2 || ColumnAt(n - 2) - first <= 1);
        if (joined) break;
      }
      ++x;
    }
    return x;
  }

  // Where the curve crosses the line at c along the axis whose radius is along: the other
  // radius times sqrt(1 - (c / along)^2), as a whole number that starts the exact search.
  // Doubles serve, at a fraction of the cost of the extended type.
  static std::int64_t Guess(std::int64_t along, std::int64_t across, std::int64_t c) {
    if (along == 0) return across;
    const double ratio = static_cast<double>(c) / static_cast<double>(along);
    const double guess =
        static_cast<double>(across) * std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
    return GuessOf(guess, 0, across);
  }

  // The least k >= 0 whose midpoint k + 1/2 across the axis, at c along it, lies beyond the
  // curve c^2 / along^2 + k^2 / across^2 = 1 (on it when onCurve counts as beyond), searched
  // from k. Being beyond grows with k, so the answer is found from any start, and from a
  // neighbour's answer in a step or two.
  std::int64_t LeastBeyond(std::int64_t along, std::int64_t across, std::int64_t c, std::int64_t k,
                           bool onCurve) const {
    if (along == 0) return across;
    if (m_small && c < kSmall) return LeastBeyondIn<std::int64_t>(along, across, c, k, onCurve);
    return LeastBeyondIn<Int128>(along, across, c, k, onCurve);
  }
  // The same in integers of type I, wide enough for the terms.
  template <typename I>
  static std::int64_t LeastBeyondIn(std::int64_t along, std::int64_t across, std::int64_t c,
                                    std::int64_t k, bool onCurve) {
    const I along2 = I(along) * along;
    const I across2 = I(across) * across;
    const I term = across2 * (I(4) * c * c) - I(4) * along2 * across2;
    auto beyond = [&](std::int64_t j) {
      const I odd = I(2) * j + 1;
      const I value = term + along2 * odd * odd;
      return onCurve ? value >= 0 : value > 0;
    };
    while (k > 0 && beyond(k - 1)) --k;
    while (!beyond(k)) ++k;
    return k;
  }

  // Radii, and a column or row, below this keep every term of the searches below 2^56, so
  // that 64-bit integers hold them exactly.
  static constexpr std::int64_t kSmall = 8192;

  std::int64_t m_a;
  std::int64_t m_b;
  Int128 m_a2;
  Int128 m_b2;
  bool m_small = m_a < kSmall && m_b < kSmall;
  std::int64_t m_lastColumn = 0;
  std::int64_t m_secondCount = 0;
};

// A marker switching a quadrant on or off at a point of the trace.
struct MarkerEvent {
  std::int64_t index;
  bool on;
  int quadrant;
};

// ---- A general centred ellipse A x^2 + 2 B x y + C y^2 = F (device offsets, y downwards) ----

// The nearest whole number to the smaller (or larger) root of P t^2 + 2 R t + S, P > 0; a root
// half-way between two numbers gives the larger. Without real roots: the nearest to the
// vertex.

// The search for NearestRoot from n, in integers of type I; nullopt when I would be too
// narrow for the values met (I of 64 bits: P < 2^26, |R| < 2^40, |S| < 2^54 and |n| < 2^14 keep
// every value below 2^58).
template <typename I>
std::optional<std::int64_t> NearestRootFrom(I P, I R, I S, bool larger, std::int64_t n) {
  // 4 q(T / 2) for odd T, the value at a midpoint.
  auto q4 = [&](I T) { return P * T * T + I(4) * R * T + I(4) * S; };
  // T / 2 <= -R / P: the midpoint lies at or before the vertex.
  auto beforeVertex = [&](I T) { return T * P <= -I(2) * R; };
  // n - 1/2 <= root and root < n + 1/2: each holds for every n on one side of the answer, so
  // the answer is found from any start.
  auto lowOk = [&](std::int64_t k) {
    const I T = I(2) * k - 1;
    return larger ? (beforeVertex(T) || q4(T) <= 0) : (beforeVertex(T) && q4(T) >= 0);
  };
  auto highOk = [&](std::int64_t k) {
    const I T = I(2) * k + 1;
    return larger ? (!beforeVertex(T) && q4(T) > 0) : (!beforeVertex(T) || q4(T) < 0);
  };
  constexpr bool kNarrow = sizeof(I) == sizeof(std::int64_t);
  constexpr std::int64_t kNarrowReach = std::int64_t(1) << 14;
  auto tooFar = [&](std::int64_t k) {
    return kNarrow && (k <= -kNarrowReach || k >= kNarrowReach);
  };
  if (tooFar(n)) return std::nullopt;
  while (!lowOk(n)) {
    if (tooFar(--n)) return std::nullopt;
  }
  while (!highOk(n)) {
    if (tooFar(++n)) return std::nullopt;
  }
  return n;
}

// NearestRoot searched from start, in 64 bits where the values allow.
std::int64_t NearestRootFrom(Int128 P, Int128 R, Int128 S, bool larger, std::int64_t start) {
  if (P < (Int128(1) << 26) && R > -(Int128(1) << 40) && R < (Int128(1) << 40) &&
      S > -(Int128(1) << 54) && S < (Int128(1) << 54)) {
    const std::optional<std::int64_t> n =
        NearestRootFrom<std::int64_t>(static_cast<std::int64_t>(P), static_cast<std::int64_t>(R),
                                      static_cast<std::int64_t>(S), larger, start);
    if (n.has_value()) return *n;
  }
  return *NearestRootFrom<Int128>(P, R, S, larger, start);
}

std::int64_t NearestRoot(Int128 P, Int128 R, Int128 S, bool larger) {
  // The guess only starts the exact search, so doubles serve: they stray from the root by far
  // less than a pixel, and cost a fraction of the extended type's arithmetic and conversions.
  const double p = ToDouble(P);
  const double r = ToDouble(R);
  const double disc = r * r - p * ToDouble(S);
  const double root = std::sqrt(std::max(0.0, disc));
  const double guess = (-r + (larger ? root : -root)) / p;
  constexpr std::int64_t kReach = std::int64_t(1) << 40;
  return NearestRootFrom(P, R, S, larger, GuessOf(guess, -kReach, kReach));
}

class CConic {
 public:
  CConic(std::int64_t ux, std::int64_t uy, std::int64_t vx, std::int64_t vy)
      : m_a(Int128(uy) * uy + Int128(vy) * vy),
        m_b(-(Int128(ux) * uy + Int128(vx) * vy)),
        m_c(Int128(ux) * ux + Int128(vx) * vx) {
    const Int128 cross = Int128(ux) * vy - Int128(uy) * vx;
    m_f = cross * cross;
  }

  bool IsDegenerate() const { return m_f == 0; }
  // Half extents: the ellipse reaches sqrt(C) along x and sqrt(A) along y.
  long double ExtentX() const { return std::sqrt(static_cast<long double>(m_c)); }
  long double ExtentY() const { return std::sqrt(static_cast<long double>(m_a)); }

  // The row of the upper side (smaller y) at column x.
  std::int64_t TopRowAt(std::int64_t x) const {
    return NearestRoot(m_c, m_b * x, m_a * x * x - m_f, false);
  }
  // The same searched from a neighbouring column's row.
  std::int64_t TopRowFrom(std::int64_t x, std::int64_t row) const {
    return NearestRootFrom(m_c, m_b * x, m_a * x * x - m_f, false, row);
  }
  // The column of the right side (larger x) at row y.
  std::int64_t RightColumnAt(std::int64_t y) const {
    return NearestRoot(m_a, m_b * y, m_c * y * y - m_f, true);
  }
  // The same searched from a neighbouring row's column.
  std::int64_t RightColumnFrom(std::int64_t y, std::int64_t column) const {
    return NearestRootFrom(m_a, m_b * y, m_c * y * y - m_f, true, column);
  }
  // The left side is the right side turned about the centre.
  std::int64_t LeftColumnAt(std::int64_t y) const { return -RightColumnAt(-y); }

  // The x of the highest point (device y smallest): A x + B y = 0 with y = -sqrt(A).
  long double TopPointX() const {
    return static_cast<long double>(m_b) / std::sqrt(static_cast<long double>(m_a));
  }
  // The y of the rightmost point: B x + C y = 0 with x = sqrt(C).
  long double RightPointY() const {
    return -static_cast<long double>(m_b) / std::sqrt(static_cast<long double>(m_c));
  }

  // The point of the ellipse on the line through the centre in direction (dx, dy) where the
  // x part of the gradient, A x + B y, has the sign wanted.
  void PointOnLine(long double dx, long double dy, bool gradientXPositive, long double& px,
                   long double& py) const {
    const long double a = static_cast<long double>(m_a);
    const long double b = static_cast<long double>(m_b);
    const long double c = static_cast<long double>(m_c);
    const long double q = a * dx * dx + 2.0L * b * dx * dy + c * dy * dy;
    const long double t = q > 0.0L ? std::sqrt(static_cast<long double>(m_f) / q) : 0.0L;
    px = t * dx;
    py = t * dy;
    if ((a * px + b * py > 0.0L) != gradientXPositive) {
      px = -px;
      py = -py;
    }
  }

  // The two points where the curve turns through 45 degrees on its upper side: the right one
  // (gradient x = -gradient y > 0) and the left one (gradient x = gradient y < 0).
  void UpperDiagonalPoints(long double& rightX, long double& leftX) const {
    long double y = 0.0L;
    PointOnLine(static_cast<long double>(m_b + m_c), -static_cast<long double>(m_a + m_b), true,
                rightX, y);
    PointOnLine(static_cast<long double>(m_c - m_b), static_cast<long double>(m_a - m_b), false,
                leftX, y);
  }

 private:
  Int128 m_a;
  Int128 m_b;
  Int128 m_c;
  Int128 m_f;
};

bool OutsideLimits(std::int64_t centre, std::int64_t size) {
  return centre < -kPlotterCentreLimit || centre > kPlotterCentreLimit ||
         size <= -kPlotterRadiusLimit || size >= kPlotterRadiusLimit;
}

// Whether the box around the centre with the given half sizes (a pen's width added) misses
// the clip box.
bool BoxMissesClip(const DcRect& clip, std::int64_t cx, std::int64_t cy, std::int64_t halfX,
                   std::int64_t halfY, int penWidth) {
  const std::int64_t margin = penWidth + 1;
  return cx + halfX + margin < clip.left || cx - halfX - margin >= clip.right ||
         cy + halfY + margin < clip.top || cy - halfY - margin >= clip.bottom;
}

Int128 Cross(Int128 ax, Int128 ay, Int128 bx, Int128 by) { return ax * by - ay * bx; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// CArcPlotter

void CArcPlotter::SetPenWidth(int width) { m_penWidth = ClampPenWidth(width); }

int CArcPlotter::ClassifyQuadrant(std::int64_t dx, std::int64_t dy, bool& onAxis) {
  onAxis = dx == 0 || dy == 0;
  if (dx > 0) return dy >= 0 ? kQuadrantLowerRight : kQuadrantUpperRight;
  if (dx < 0) return dy <= 0 ? kQuadrantUpperLeft : kQuadrantLowerLeft;
  if (dy > 0) return kQuadrantLowerLeft;
  if (dy < 0) return kQuadrantUpperRight;
  ReportGlitch(kGlitchArcQuadrant, 1);
  return kQuadrantUpperRight;
}

int CArcPlotter::SetMarker(int which) {
  bool onAxis = false;
  if (which == kMarkerStart) {
    const int q = ClassifyQuadrant(m_startOffsetX, m_startOffsetY, onAxis);
    m_startMarker = static_cast<std::int16_t>(onAxis ? 0 : q + 1);
    return q;
  }
  if (which == kMarkerEnd) {
    const int q = ClassifyQuadrant(m_endOffsetX, m_endOffsetY, onAxis);
    m_endMarker = static_cast<std::int16_t>(onAxis ? 0 : -(q + 1));
    return q;
  }
  SetGlitchValue(which);
  ReportGlitch(kGlitchArcMarkerSelector, 1);
  return 0;
}

void CArcPlotter::SetUpMarkers() {
  // The trace runs each quadrant from the vertical axis to the horizontal one, which in
  // quadrants 1 and 3 is against the arc's sense: there the start turns drawing off and the
  // end turns it on.
  const int qs = SetMarker(kMarkerStart);
  const int qe = SetMarker(kMarkerEnd);
  for (bool& on : m_quadrantOn) on = false;
  if (m_startOffsetX == m_endOffsetX && m_startOffsetY == m_endOffsetY) {
    // Start and end at one point, on an axis or not: the one pixel there.
    m_startMarker = static_cast<std::int16_t>(qs + 1);
    m_endMarker = static_cast<std::int16_t>(-(qs + 1));
    return;
  }
  if (qs == qe) {
    const std::int64_t sx = m_startOffsetX;
    const std::int64_t sy = m_startOffsetY;
    const std::int64_t ex = m_endOffsetX;
    const std::int64_t ey = m_endOffsetY;
    bool almostAll = false;
    switch (qs) {
      case kQuadrantLowerRight:
        almostAll = ex < sx || (ex == sx && sy < ey);
        break;
      case kQuadrantUpperRight:
        almostAll = sx < ex || (ex == sx && sy < ey);
        break;
      case kQuadrantUpperLeft:
        almostAll = sx < ex || (ex == sx && ey < sy);
        break;
      default:
        almostAll = ex < sx || (ex == sx && ey < sy);
        break;
    }
    if (almostAll) {
      for (bool& on : m_quadrantOn) on = true;
    }
    if (qs == kQuadrantUpperRight || qs == kQuadrantLowerLeft) {
      m_startMarker = static_cast<std::int16_t>(-m_startMarker);
      m_endMarker = static_cast<std::int16_t>(-m_endMarker);
      if (m_endMarker == 0) m_quadrantOn[qs] = true;
      // A start on the axis (the top or bottom point, where the trace of this quadrant
      // begins) leaves the quadrant off until the end is reached.
      if (m_startMarker == 0) m_quadrantOn[qs] = false;
    }
    return;
  }
  for (int q = (qs + 1) % 4;; q = (q + 1) % 4) {
    m_quadrantOn[q] = true;
    if (q == qe) break;
  }
  if (qs == kQuadrantUpperRight) {
    m_quadrantOn[qs] = true;
    m_startMarker = -2;
  } else if (qs == kQuadrantLowerLeft) {
    m_quadrantOn[qs] = true;
    m_startMarker = -4;
  }
  if (qe == kQuadrantUpperRight) {
    m_quadrantOn[qe] = false;
    m_endMarker = 2;
  } else if (qe == kQuadrantLowerLeft) {
    m_quadrantOn[qe] = false;
    m_endMarker = 4;
  }
}

void CArcPlotter::Draw(zeph::CDrawContext& dc, int cx, int cy, int rx, int ry, int startX,
                       int startY, int endX, int endY, zeph::ColourRef colour) {
  if (OutsideLimits(cx, 0) || OutsideLimits(cy, 0)) {
    LogNumber(cx);
    LogNumber(cy);
    LogAction(kArcPlotterLogCode, 1, kLogInvalid);
    return;
  }
  if (rx < 0 || ry < 0 || rx >= kPlotterRadiusLimit || ry >= kPlotterRadiusLimit) {
    LogNumber(rx);
    LogNumber(ry);
    LogAction(kArcPlotterLogCode, 2, kLogInvalid);
    return;
  }
  m_startOffsetX = std::int64_t(startX) - cx;
  m_startOffsetY = std::int64_t(startY) - cy;
  m_endOffsetX = std::int64_t(endX) - cx;
  m_endOffsetY = std::int64_t(endY) - cy;
  // An end at the centre has no direction (a tiny arc seen from far away): nothing to draw.
  if ((m_startOffsetX == 0 && m_startOffsetY == 0) || (m_endOffsetX == 0 && m_endOffsetY == 0)) {
    LogAction(kArcPlotterLogCode, 3, kLogInvalid);
    return;
  }
  SetUpMarkers();

  // An outline wholly outside the visible area is not traced at all (not a failure).
  const DcRect clip = dc.GetClipBox();
  if (clip.IsEmpty() || BoxMissesClip(clip, cx, cy, rx, ry, m_penWidth)) return;

  try {
    const CAxisTrace trace(rx, ry);
    const std::int64_t length = trace.GetLength();

    MarkerEvent events[2] = {};
    std::size_t eventCount = 0;
    auto addEvent = [&](std::int16_t marker, std::int64_t offsetX, std::int64_t offsetY) {
      if (marker == 0) return;
      const std::int64_t index =
          trace.ReachIndex(offsetX < 0 ? -offsetX : offsetX, offsetY < 0 ? -offsetY : offsetY);
      if (index >= length) return;
      events[eventCount++] = MarkerEvent{index, marker > 0, (marker > 0 ? marker : -marker) - 1};
    };
    addEvent(m_startMarker, m_startOffsetX, m_startOffsetY);
    addEvent(m_endMarker, m_endOffsetX, m_endOffsetY);
    std::stable_sort(events, events + eventCount, [](const MarkerEvent& p, const MarkerEvent& q) {
      return p.index != q.index ? p.index < q.index : (p.on && !q.on);
    });

    // Indices whose pixels can reach the clip box: first-region columns where x or -x is a
    // visible column, second-region rows where y or -y is a visible row.
    CIntervals visible =
        ClipIntervals({std::int64_t(clip.left) - cx, std::int64_t(clip.right) - 1 - cx},
                      {std::int64_t(cx) - clip.right + 1, std::int64_t(cx) - clip.left}, 0,
                      trace.GetLastColumn());
    if (trace.GetSecondCount() > 0) {
      const std::int64_t top = trace.GetSecondTopRow();
      const std::int64_t base = trace.GetFirstCount();
      for (const Interval& rows : ClipIntervals(
               {std::int64_t(clip.top) - cy, std::int64_t(clip.bottom) - 1 - cy},
               {std::int64_t(cy) - clip.bottom + 1, std::int64_t(cy) - clip.top}, 0, top)) {
        visible.Add({base + (top - rows.hi), base + (top - rows.lo)});
      }
    }

    const std::int64_t reach = m_penWidth + 1;
    CPixelSink sink(clip, m_penWidth, std::int64_t(cx) - rx - reach, std::int64_t(cy) - ry - reach,
                    std::int64_t(cx) + rx + reach, std::int64_t(cy) + ry + reach);
    std::size_t next = 0;
    for (const Interval& span : visible) {
      std::int64_t x = 0;
      std::int64_t y = 0;
      bool firstRegion = true;
      for (std::int64_t i = span.lo; i <= span.hi; ++i) {
        // Markers passed unseen, then those that switch on here, take effect before the
        // pixels; those that switch off here, after them.
        while (next < eventCount &&
               (events[next].index < i || (events[next].index == i && events[next].on))) {
          m_quadrantOn[events[next].quadrant] = events[next].on;
          ++next;
        }
        if (i == span.lo) {
          trace.PointAt(i, x, y, firstRegion);
        } else {
          trace.NextPoint(i, x, y, firstRegion);
        }
        if (m_penWidth <= 1) {
          // Distinct trace points give distinct pixels: only a point on an axis gives one
          // pixel to two quadrants, and it is set for the first of them.
          bool set[4] = {false, false, false, false};
          for (int q = 0; q < 4; ++q) {
            if (!m_quadrantOn[q]) continue;
            const int mirrorX = q ^ 3;  // the quadrant across the vertical axis
            const int mirrorY = q ^ 1;  // across the horizontal axis
            if ((x == 0 && set[mirrorX]) || (y == 0 && set[mirrorY]) ||
                (x == 0 && y == 0 && (set[0] || set[1] || set[2] || set[3]))) {
              continue;
            }
            set[q] = true;
            sink.PlotNew(q == 0 || q == 1 ? cx + x : cx - x, q == 0 || q == 3 ? cy + y : cy - y);
          }
        } else {
          const bool vertical = firstRegion;
          if (m_quadrantOn[kQuadrantLowerRight]) sink.Run(cx + x, cy + y, vertical);
          if (m_quadrantOn[kQuadrantUpperRight]) sink.Run(cx + x, cy - y, vertical);
          if (m_quadrantOn[kQuadrantUpperLeft]) sink.Run(cx - x, cy - y, vertical);
          if (m_quadrantOn[kQuadrantLowerLeft]) sink.Run(cx - x, cy + y, vertical);
        }
        while (next < eventCount && events[next].index == i && !events[next].on) {
          m_quadrantOn[events[next].quadrant] = false;
          ++next;
        }
      }
    }
    sink.Flush(dc, colour);
  } catch (const std::bad_alloc&) {
    LogAction(kArcPlotterLogCode, 7, kLogMemory);
  }
}

// ---------------------------------------------------------------------------------------------
// CEllipsePlotter

void CEllipsePlotter::SetPenWidth(int width) { m_penWidth = ClampPenWidth(width); }

void CEllipsePlotter::SetArcEnds(int startX, int startY, int endX, int endY) {
  m_arcMode = 1;
  m_startX = startX;
  m_startY = startY;
  m_endX = endX;
  m_endY = endY;
}

void CEllipsePlotter::Draw(zeph::CDrawContext& dc, int cx, int cy, int ux, int uy, int vx, int vy,
                           zeph::ColourRef colour) {
  const CConic conic(ux, uy, vx, vy);
  if (conic.IsDegenerate()) {
    LogAction(kEllipsePlotterLogCode, 1, kLogFailed);
    return;
  }
  if (OutsideLimits(cx, ux) || OutsideLimits(cy, uy) || OutsideLimits(cx, vx) ||
      OutsideLimits(cy, vy)) {
    LogAction(kEllipsePlotterLogCode, 3, kLogFailed);
    return;
  }
  const bool arc = m_arcMode != 0;
  if (arc && ((m_startX == 0 && m_startY == 0) || (m_endX == 0 && m_endY == 0))) {
    LogAction(kEllipsePlotterLogCode, 4, kLogFailed);
    return;
  }
  const DcRect clip = dc.GetClipBox();
  const std::int64_t halfX = static_cast<std::int64_t>(conic.ExtentX()) + 1;
  const std::int64_t halfY = static_cast<std::int64_t>(conic.ExtentY()) + 1;
  if (clip.IsEmpty() || BoxMissesClip(clip, cx, cy, halfX, halfY, m_penWidth)) return;

  // Arc membership by direction from the centre, in the drawing's sense (y upwards).
  const Int128 sx = m_startX;
  const Int128 sy = -Int128(m_startY);
  const Int128 ex = m_endX;
  const Int128 ey = -Int128(m_endY);
  const Int128 span = Cross(sx, sy, ex, ey);
  const Int128 along = sx * ex + sy * ey;
  auto inArc = [&](std::int64_t x, std::int64_t y) {
    if (!arc) return true;
    const Int128 dx = x;
    const Int128 dy = -Int128(y);
    const Int128 fromStart = Cross(sx, sy, dx, dy);
    const Int128 toEnd = Cross(dx, dy, ex, ey);
    if (span > 0) return fromStart >= 0 && toEnd >= 0;
    if (span < 0) return fromStart >= 0 || toEnd >= 0;
    if (along > 0) return fromStart == 0 && sx * dx + sy * dy > 0;
    return fromStart >= 0;  // half a turn
  };

  try {
    // The outline in four pieces: the top (one pixel per column, between the two 45-degree
    // points of the upper side), the right side (one pixel per row), and the bottom and left
    // side, which are the top and right side turned half a turn about the centre.
    long double rightX = 0.0L;
    long double leftX = 0.0L;
    conic.UpperDiagonalPoints(rightX, leftX);
    std::int64_t topLast = static_cast<std::int64_t>(std::floor(rightX));
    std::int64_t topFirst = static_cast<std::int64_t>(std::ceil(leftX));
    // Each end of the top is moved on by a column where the side would not join on: its
    // first pixel more than one column away, or (when the side has two rows or more) its
    // first two pixels apart. The top never goes past the ellipse's extent.
    // The top always holds the column of its highest point (a tall thin ellipse may have no
    // column between its 45-degree points).
    const std::int64_t topColumn =
        GuessOf(conic.TopPointX(), -kPlotterRadiusLimit * 2LL, kPlotterRadiusLimit * 2LL);
    topFirst = std::min(topFirst, topColumn);
    topLast = std::max(topLast, topColumn);
    const std::int64_t widest = static_cast<std::int64_t>(conic.ExtentX());
    for (int guard = 0; guard < 8 && topLast < widest; ++guard) {
      const std::int64_t row = conic.TopRowAt(topLast) + 1;
      const std::int64_t first = conic.RightColumnAt(row);
      const bool twoRows = row + 1 <= -(conic.TopRowAt(topFirst) + 1);
      if (first - topLast <= 1 && (!twoRows || conic.RightColumnAt(row + 1) - first <= 1)) break;
      ++topLast;
    }
    for (int guard = 0; guard < 8 && topFirst > -widest; ++guard) {
      const std::int64_t row = conic.TopRowAt(topFirst) + 1;
      const std::int64_t first = conic.LeftColumnAt(row);
      const bool twoRows = row + 1 <= -(conic.TopRowAt(topLast) + 1);
      if (topFirst - first <= 1 && (!twoRows || first - conic.LeftColumnAt(row + 1) <= 1)) break;
      --topFirst;
    }
    // Likewise the side holds the row of its rightmost point (a flat one may have no row
    // between its 45-degree points, and would lose its tips).
    const std::int64_t rightRow =
        GuessOf(conic.RightPointY(), -kPlotterRadiusLimit * 2LL, kPlotterRadiusLimit * 2LL);
    const std::int64_t rightFirst = std::min(conic.TopRowAt(topLast) + 1, rightRow);
    const std::int64_t rightLast = std::max(-(conic.TopRowAt(topFirst) + 1), rightRow);

    const std::int64_t reach = m_penWidth + 1;
    CPixelSink sink(clip, m_penWidth, std::int64_t(cx) - halfX - reach,
                    std::int64_t(cy) - halfY - reach, std::int64_t(cx) + halfX + reach,
                    std::int64_t(cy) + halfY + reach);
    for (const Interval& columns :
         ClipIntervals({std::int64_t(clip.left) - cx, std::int64_t(clip.right) - 1 - cx},
                       {std::int64_t(cx) - clip.right + 1, std::int64_t(cx) - clip.left}, topFirst,
                       topLast)) {
      std::int64_t y = conic.TopRowAt(columns.lo);
      for (std::int64_t x = columns.lo; x <= columns.hi; ++x) {
        if (x > columns.lo) y = conic.TopRowFrom(x, y);
        if (inArc(x, y)) sink.Run(cx + x, cy + y, true);
        if (inArc(-x, -y)) sink.Run(cx - x, cy - y, true);
      }
    }
    for (const Interval& rows :
         ClipIntervals({std::int64_t(clip.top) - cy, std::int64_t(clip.bottom) - 1 - cy},
                       {std::int64_t(cy) - clip.bottom + 1, std::int64_t(cy) - clip.top},
                       rightFirst, rightLast)) {
      std::int64_t x = conic.RightColumnAt(rows.lo);
      for (std::int64_t y = rows.lo; y <= rows.hi; ++y) {
        if (y > rows.lo) x = conic.RightColumnFrom(y, x);
        if (inArc(x, y)) sink.Run(cx + x, cy + y, false);
        if (inArc(-x, -y)) sink.Run(cx - x, cy - y, false);
      }
    }
    sink.Flush(dc, colour);
  } catch (const std::bad_alloc&) {
    LogAction(kEllipsePlotterLogCode, 5, kLogMemory);
  }
}
