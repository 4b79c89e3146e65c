#include "items/arcraster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

#include "platform/recordingcontext.h"
#include "support/log.h"

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

constexpr zeph::ColourRef kInk = 0x000000FF;
constexpr int kCx = 500;
constexpr int kCy = 400;

class ArcRasterTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogState(); }
  void TearDown() override { ResetLogState(); }
};

// The pixels a context received, as offsets from (ox, oy); a pixel set twice fails the test.
PixelSet PixelsOf(const zeph::CRecordingContext& dc, int ox = kCx, int oy = kCy) {
  PixelSet pixels;
  for (const zeph::DcCall& call : dc.calls()) {
    if (call.op != zeph::DcOp::kSetPixel) continue;
    EXPECT_EQ(call.colour, kInk);
    const bool fresh = pixels.insert({call.points[0].x - ox, call.points[0].y - oy}).second;
    EXPECT_TRUE(fresh) << "pixel set twice: " << call.points[0].x << ", " << call.points[0].y;
  }
  return pixels;
}

PixelSet DrawArc(int rx, int ry, Pixel start, Pixel end, int penWidth = 1,
                 const zeph::DcRect* clip = nullptr) {
  zeph::CRecordingContext dc(1000, 800);
  if (clip != nullptr) dc.SetClipRect(*clip);
  CArcPlotter plotter;
  plotter.SetPenWidth(penWidth);
  plotter.Draw(dc, kCx, kCy, rx, ry, kCx + start.first, kCy + start.second, kCx + end.first,
               kCy + end.second, kInk);
  return PixelsOf(dc);
}

// The whole ellipse as the arc plotter draws it: the upper half and the lower half.
PixelSet WholeAxisEllipse(int rx, int ry) {
  PixelSet upper = DrawArc(rx, ry, {rx, 0}, {-rx, 0});
  const PixelSet lower = DrawArc(rx, ry, {-rx, 0}, {rx, 0});
  upper.insert(lower.begin(), lower.end());
  return upper;
}

PixelSet DrawEllipse(int ux, int uy, int vx, int vy, const Pixel* start = nullptr,
                     const Pixel* end = nullptr, int penWidth = 1,
                     const zeph::DcRect* clip = nullptr) {
  zeph::CRecordingContext dc(1000, 800);
  if (clip != nullptr) dc.SetClipRect(*clip);
  CEllipsePlotter plotter;
  plotter.SetPenWidth(penWidth);
  if (start != nullptr && end != nullptr) {
    plotter.SetArcEnds(start->first, start->second, end->first, end->second);
  }
  plotter.Draw(dc, kCx, kCy, ux, uy, vx, vy, kInk);
  return PixelsOf(dc);
}

// The ellipse through +-u and +-v (conjugate half-axes) as a function that is negative inside.
struct Conic {
  double a, b, c, f;
  Conic(double ux, double uy, double vx, double vy)
      : a(uy * uy + vy * vy),
        b(-(ux * uy + vx * vy)),
        c(ux * ux + vx * vx),
        f((ux * vy - uy * vx) * (ux * vy - uy * vx)) {}
  double operator()(double x, double y) const { return a * x * x + 2 * b * x * y + c * y * y - f; }
};

// The curve meets the pixel's vertical or horizontal half-pixel segment: the pixel lies within
// half a pixel of it along a column or a row.
bool MeetsSegment(const Conic& q, double x0, double y0, double dx, double dy) {
  // q along the segment (x0, y0) + t (dx, dy), t in [-1/2, 1/2], is a quadratic in t.
  const double lo = q(x0 - dx / 2, y0 - dy / 2);
  const double hi = q(x0 + dx / 2, y0 + dy / 2);
  const double mid = q(x0, y0);
  const double curve = (lo + hi) / 2 - mid;  // half the second derivative times 1/4
  double low = std::min(lo, hi);
  const double slope = (hi - lo);
  if (curve > 0) {
    const double t = -slope / (8 * curve);
    if (t > -0.5 && t < 0.5) low = std::min(low, q(x0 + t * dx, y0 + t * dy));
  }
  return low <= 0.0 && std::max(lo, hi) >= 0.0;
}

bool NearCurve(const Conic& q, Pixel p) {
  return MeetsSegment(q, p.first, p.second, 0, 1) || MeetsSegment(q, p.first, p.second, 1, 0);
}

bool IsConnected(const PixelSet& pixels) {
  if (pixels.empty()) return true;
  PixelSet seen{*pixels.begin()};
  std::vector<Pixel> todo{*pixels.begin()};
  while (!todo.empty()) {
    const Pixel p = todo.back();
    todo.pop_back();
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) {
        const Pixel n{p.first + dx, p.second + dy};
        if (pixels.count(n) != 0 && seen.insert(n).second) todo.push_back(n);
      }
    }
  }
  return seen.size() == pixels.size();
}

// Whether the pixels enclose the centre: the pixels not set, joined through their sides, do
// not lead from outside the outline's box to the centre. A gap in the outline lets them.
bool EnclosesCentre(const PixelSet& pixels) {
  if (pixels.count({0, 0}) != 0) return false;
  int left = 0, right = 0, top = 0, bottom = 0;
  for (const Pixel& p : pixels) {
    left = std::min(left, p.first - 1);
    right = std::max(right, p.first + 1);
    top = std::min(top, p.second - 1);
    bottom = std::max(bottom, p.second + 1);
  }
  const int width = right - left + 1;
  const int height = bottom - top + 1;
  std::vector<char> state(static_cast<std::size_t>(width) * height, 0);  // 1 set, 2 reached
  auto at = [&](int x, int y) -> char& {
    return state[static_cast<std::size_t>(y - top) * width + (x - left)];
  };
  for (const Pixel& p : pixels) at(p.first, p.second) = 1;
  std::vector<Pixel> todo{{left, top}};
  at(left, top) = 2;
  while (!todo.empty()) {
    const Pixel p = todo.back();
    todo.pop_back();
    for (const Pixel& step : {Pixel{1, 0}, Pixel{-1, 0}, Pixel{0, 1}, Pixel{0, -1}}) {
      const int x = p.first + step.first;
      const int y = p.second + step.second;
      if (x < left || x > right || y < top || y > bottom || at(x, y) != 0) continue;
      at(x, y) = 2;
      todo.push_back({x, y});
    }
  }
  return at(0, 0) == 0;
}

// A closed outline: every pixel near the curve and all connected; one wide enough to have an
// inside shuts it off from the outside, so it has no gap.
void ExpectClosedOutline(const PixelSet& pixels, const Conic& q, bool wide,
                         const std::string& name) {
  ASSERT_FALSE(pixels.empty()) << name;
  for (const Pixel& p : pixels) {
    EXPECT_TRUE(NearCurve(q, p)) << name << ": " << p.first << ", " << p.second;
  }
  EXPECT_TRUE(IsConnected(pixels)) << name;
  if (wide) {
    EXPECT_TRUE(EnclosesCentre(pixels)) << name;
  }
}

PixelSet Mirrored(const PixelSet& pixels, int sx, int sy, bool swap) {
  PixelSet out;
  for (const Pixel& p : pixels) {
    const Pixel m{sx * p.first, sy * p.second};
    out.insert(swap ? Pixel{m.second, m.first} : m);
  }
  return out;
}

PixelSet Intersection(const PixelSet& a, const PixelSet& b) {
  PixelSet out;
  for (const Pixel& p : a) {
    if (b.count(p) != 0) out.insert(p);
  }
  return out;
}

PixelSet Union(PixelSet a, const PixelSet& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// ---- CArcPlotter ----

TEST_F(ArcRasterTest, AxisEllipsesAreClosedNearAndSymmetric) {
  std::vector<std::pair<int, int>> radii;
  for (int rx = 1; rx <= 24; ++rx) {
    for (int ry = 1; ry <= 24; ++ry) radii.push_back({rx, ry});
  }
  // Very flat and very thin ones, where a plain midpoint loop leaves out the tips or sets a
  // whole column a pixel off; and large ones.
  for (auto pair : {std::pair{400, 1},
                    {400, 3},
                    {300, 17},
                    {1, 390},
                    {2, 390},
                    {15, 390},
                    {399, 398},
                    {350, 120},
                    {60, 380}}) {
    radii.push_back(pair);
  }
  for (const auto& [rx, ry] : radii) {
    const std::string name = std::to_string(rx) + " x " + std::to_string(ry);
    const PixelSet pixels = WholeAxisEllipse(rx, ry);
    ExpectClosedOutline(pixels, Conic(rx, 0, 0, ry), std::min(rx, ry) >= 2, name);
    EXPECT_EQ(Mirrored(pixels, -1, 1, false), pixels) << name;
    EXPECT_EQ(Mirrored(pixels, 1, -1, false), pixels) << name;
    EXPECT_EQ(pixels.count({rx, 0}) + pixels.count({0, ry}), 2U) << name;
    if (rx == ry) {
      EXPECT_EQ(Mirrored(pixels, 1, 1, true), pixels) << name;
    }
  }
}

TEST_F(ArcRasterTest, QuarterArcIsTheQuadrantOfTheEllipse) {
  for (const auto& [rx, ry] : {std::pair{40, 40}, {37, 12}, {9, 31}}) {
    const PixelSet whole = WholeAxisEllipse(rx, ry);
    PixelSet upperRight;
    for (const Pixel& p : whole) {
      if (p.first >= 0 && p.second <= 0) upperRight.insert(p);
    }
    // From the rightmost point to the topmost (device y downwards), end pixels included.
    EXPECT_EQ(DrawArc(rx, ry, {rx, 0}, {0, -ry}), upperRight) << rx << " x " << ry;
  }
}

// Both ways round, an arc between two pixels of the ellipse and its complement share only
// their end pixels and make up the whole ellipse, whichever quadrants the ends lie in.
TEST_F(ArcRasterTest, ArcAndComplementMakeTheWholeEllipse) {
  for (const auto& [rx, ry] : {std::pair{7, 5}, {6, 6}, {3, 9}}) {
    const PixelSet whole = WholeAxisEllipse(rx, ry);
    for (const Pixel& a : whole) {
      for (const Pixel& b : whole) {
        if (a == b) continue;
        const PixelSet forward = DrawArc(rx, ry, a, b);
        const PixelSet backward = DrawArc(rx, ry, b, a);
        const std::string name = std::to_string(rx) + " x " + std::to_string(ry) + " from " +
                                 std::to_string(a.first) + "," + std::to_string(a.second) + " to " +
                                 std::to_string(b.first) + "," + std::to_string(b.second);
        ASSERT_EQ(Union(forward, backward), whole) << name;
        ASSERT_EQ(Intersection(forward, backward), (PixelSet{a, b})) << name;
        ASSERT_TRUE(IsConnected(forward)) << name;
      }
    }
  }
}

TEST_F(ArcRasterTest, ShortArcAndTheRestInOneQuadrant) {
  // Both ends in the lower-right quadrant (device), the end counter-clockwise after the start.
  const int r = 50;
  const Pixel start{30, 40};
  const Pixel end{40, 30};
  const PixelSet shortArc = DrawArc(r, r, start, end);
  for (const Pixel& p : shortArc) {
    EXPECT_GE(p.first, 30);
    EXPECT_LE(p.first, 40);
  }
  EXPECT_TRUE(shortArc.count(start) && shortArc.count(end));
  const PixelSet rest = DrawArc(r, r, end, start);
  EXPECT_GT(rest.size(), 8 * shortArc.size());
  EXPECT_EQ(Intersection(shortArc, rest), (PixelSet{start, end}));
}

TEST_F(ArcRasterTest, ThickPenRunsAcrossTheCurve) {
  const PixelSet thin = DrawArc(60, 40, {60, 0}, {0, -40});
  const PixelSet thick = DrawArc(60, 40, {60, 0}, {0, -40}, 3);
  // Near the top (first region) every pixel becomes a vertical run y - 1 .. y + 1; near the
  // right end (second region) a horizontal run x - 1 .. x + 1.
  EXPECT_TRUE(thick.count({0, -41}) && thick.count({0, -40}) && thick.count({0, -39}));
  EXPECT_FALSE(thick.count({-1, -40}) || thick.count({0, -42}) || thick.count({0, -38}));
  EXPECT_TRUE(thick.count({59, 0}) && thick.count({60, 0}) && thick.count({61, 0}));
  EXPECT_FALSE(thick.count({60, 1}) || thick.count({62, 0}) || thick.count({58, 0}));
  // Each thin pixel's run lies wholly in the thick arc, and the thick arc has nothing else.
  PixelSet runs;
  for (const Pixel& p : thin) {
    const PixelSet vertical{{p.first, p.second - 1}, p, {p.first, p.second + 1}};
    const PixelSet horizontal{{p.first - 1, p.second}, p, {p.first + 1, p.second}};
    const bool hasVertical = Intersection(vertical, thick) == vertical;
    const bool hasHorizontal = Intersection(horizontal, thick) == horizontal;
    EXPECT_TRUE(hasVertical || hasHorizontal) << p.first << ", " << p.second;
    if (hasVertical) runs.insert(vertical.begin(), vertical.end());
    if (hasHorizontal) runs.insert(horizontal.begin(), horizontal.end());
  }
  EXPECT_EQ(runs, thick);
}

TEST_F(ArcRasterTest, ClippingKeepsExactlyTheVisiblePixels) {
  const std::vector<zeph::DcRect> clips = {
      {kCx + 10, kCy - 70, kCx + 90, kCy + 5},    // part of the right side
      {kCx - 30, kCy - 200, kCx + 30, kCy - 95},  // across the top
      {kCx - 60, kCy - 60, kCx + 60, kCy + 60},   // inside the circle: nothing
      {kCx - 150, kCy - 150, kCx + 150, kCy + 150},
  };
  for (int pen : {1, 4}) {
    const PixelSet whole = DrawArc(100, 100, {100, 0}, {0, 100}, pen);
    for (const zeph::DcRect& clip : clips) {
      const PixelSet clipped = DrawArc(100, 100, {100, 0}, {0, 100}, pen, &clip);
      PixelSet expected;
      for (const Pixel& p : whole) {
        const int x = p.first + kCx;
        const int y = p.second + kCy;
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
          expected.insert(p);
        }
      }
      EXPECT_EQ(clipped, expected) << "pen " << pen << " clip " << clip.left << "," << clip.top;
    }
  }
}

TEST_F(ArcRasterTest, HugeCircleAtHighZoomDrawsItsVisibleStretch) {
  // A circle of radius 999,999 pixels whose right side crosses the window.
  zeph::CRecordingContext dc(1000, 800);
  CArcPlotter plotter;
  const int r = 999999;
  const int cx = 500 - r;
  const int cy = 400;
  plotter.Draw(dc, cx, cy, r, r, cx + r, cy, cx, cy - r, kInk);  // upper right quarter
  const PixelSet pixels = PixelsOf(dc, cx, cy);
  ASSERT_EQ(pixels.size(), 401U);  // one per visible row, rows 0..400 above the centre line
  for (const Pixel& p : pixels) {
    const double dx = p.first;
    const double dy = p.second;
    EXPECT_LE(std::abs(std::hypot(dx, dy) - r), 0.5);
  }
  // Its box contains the whole window but the outline does not cross it: nothing.
  zeph::CRecordingContext inside(1000, 800);
  plotter.Draw(inside, 500, 400, 900000, 900000, 1400000, 400, 500, 400 - 900000, kInk);
  EXPECT_TRUE(PixelsOf(inside).empty());
}

TEST_F(ArcRasterTest, RefusalsDrawNothingAndLogTheirStep) {
  struct Case {
    const char* name;
    int cx, cy, rx, ry, sx, sy, ex, ey;
    int step;
  };
  const Case cases[] = {
      {"centre too far right", 1000000, 0, 10, 10, 1000010, 0, 1000000, -10, 1},
      {"centre too far up", 0, -1000000, 10, 10, 10, -1000000, 0, -1000010, 1},
      {"radius too large", 0, 0, 1000000, 10, 10, 0, 0, -10, 2},
      {"negative radius", 0, 0, -5, 10, 10, 0, 0, -10, 2},
      {"start at the centre", 50, 50, 10, 10, 50, 50, 50, 40, 3},
      {"end at the centre", 50, 50, 10, 10, 60, 50, 50, 50, 3},
  };
  for (const Case& c : cases) {
    ResetLogState();
    zeph::CRecordingContext dc(1000, 800);
    CArcPlotter plotter;
    plotter.Draw(dc, c.cx, c.cy, c.rx, c.ry, c.sx, c.sy, c.ex, c.ey, kInk);
    EXPECT_TRUE(dc.calls().empty()) << c.name;
    bool found = false;
    for (int i = 0; i < g_logPosition; ++i) {
      if (g_logCodes[i] == kArcPlotterLogCode && g_logValues[i] == c.step + kLogInvalid) {
        found = true;
      }
    }
    EXPECT_TRUE(found) << c.name;
    EXPECT_EQ(g_glitchCount, 0) << c.name;
  }
}

TEST_F(ArcRasterTest, QuadrantsOfOffsets) {
  struct Case {
    std::int64_t dx, dy;
    int quadrant;
    bool onAxis;
  };
  const Case cases[] = {{5, 0, 0, true},  {5, 3, 0, false},   {5, -3, 1, false}, {0, -3, 1, true},
                        {-5, 0, 2, true}, {-5, -3, 2, false}, {-5, 3, 3, false}, {0, 3, 3, true}};
  for (const Case& c : cases) {
    bool onAxis = false;
    EXPECT_EQ(CArcPlotter::ClassifyQuadrant(c.dx, c.dy, onAxis), c.quadrant) << c.dx << "," << c.dy;
    EXPECT_EQ(onAxis, c.onAxis);
  }
  bool onAxis = false;
  EXPECT_EQ(CArcPlotter::ClassifyQuadrant(0, 0, onAxis), 1);
  EXPECT_EQ(g_glitchCount, 1);
}

TEST_F(ArcRasterTest, XorDrawingTwiceRestoresEveryPixel) {
  // Each pixel is set once per call, also where quadrants meet on the axes and where the
  // runs of a thick pen overlap, so drawing twice in XOR cancels out exactly.
  for (int pen : {1, 2, 5}) {
    zeph::CRecordingContext dc(1000, 800);
    CArcPlotter plotter;
    plotter.SetPenWidth(pen);
    plotter.Draw(dc, kCx, kCy, 30, 3, kCx + 30, kCy, kCx + 29, kCy + 1, kInk);  // nearly all
    const PixelSet pixels = PixelsOf(dc);  // fails on a pixel set twice
    EXPECT_GT(pixels.size(), 100U);
  }
}

// ---- CEllipsePlotter ----

struct Axes {
  int ux, uy, vx, vy;
};

// Half-axes of rotated ellipses as an item would give them: perpendicular up to rounding.
std::vector<Axes> RotatedAxes() {
  std::vector<Axes> axes;
  for (double a : {3.0, 8.0, 40.0, 150.0}) {
    for (double b : {1.0, 2.0, 5.0, 40.0, 149.0}) {
      for (double degrees : {3.0, 17.0, 30.0, 45.0, 60.0, 89.0, 100.0, 135.0, 170.0}) {
        const double t = degrees * std::numbers::pi / 180.0;
        axes.push_back({static_cast<int>(std::lround(a * std::cos(t))),
                        -static_cast<int>(std::lround(a * std::sin(t))),
                        static_cast<int>(std::lround(b * std::sin(t))),
                        static_cast<int>(std::lround(b * std::cos(t)))});
      }
    }
  }
  // Large ones, flat and round.
  axes.push_back({338, -195, 150, 260});  // 390 x 300 turned by 30 degrees
  axes.push_back({373, -114, 1, 2});      // 390 x 2 turned by 17 degrees
  axes.push_back({-276, -276, 1, -1});    // 390 x 1.4 turned by 135 degrees
  return axes;
}

TEST_F(ArcRasterTest, RotatedEllipsesAreClosedNearAndPointSymmetric) {
  for (const Axes& ax : RotatedAxes()) {
    const std::string name = std::to_string(ax.ux) + "," + std::to_string(ax.uy) + " / " +
                             std::to_string(ax.vx) + "," + std::to_string(ax.vy);
    if (static_cast<long long>(ax.ux) * ax.vy == static_cast<long long>(ax.uy) * ax.vx) continue;
    const PixelSet pixels = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy);
    const double lu = std::hypot(ax.ux, ax.uy);
    const double lv = std::hypot(ax.vx, ax.vy);
    const double minor = std::abs(1.0 * ax.ux * ax.vy - 1.0 * ax.uy * ax.vx) / std::max(lu, lv);
    ExpectClosedOutline(pixels, Conic(ax.ux, ax.uy, ax.vx, ax.vy), minor >= 2.5, name);
    EXPECT_EQ(Mirrored(pixels, -1, -1, false), pixels) << name;
    // The ends of the half-axes are on the outline.
    EXPECT_TRUE(pixels.count({ax.ux, ax.uy}) && pixels.count({-ax.vx, -ax.vy})) << name;
  }
}

TEST_F(ArcRasterTest, NearlyUprightAxesWithAZeroComponentStillDraw) {
  // A thin ellipse turned by a hair: its first half-axis rounds to (10, 0) while the second
  // leans right. Such pairs are drawn like any other.
  const PixelSet pixels = DrawEllipse(10, 0, 10, 300);
  ExpectClosedOutline(pixels, Conic(10, 0, 10, 300), true, "leaning");
  // Axis-aligned pairs are ellipses too.
  ExpectClosedOutline(DrawEllipse(0, 25, -40, 0), Conic(0, 25, -40, 0), true, "upright");
}

TEST_F(ArcRasterTest, DegenerateHalfAxesDrawNothing) {
  const struct {
    Axes axes;
    int step;
  } cases[] = {{{0, 0, 0, 5}, 1}, {{3, 4, -6, -8}, 1}, {{1000000, 0, 0, 5}, 3}};
  for (const auto& c : cases) {
    ResetLogState();
    const PixelSet pixels = DrawEllipse(c.axes.ux, c.axes.uy, c.axes.vx, c.axes.vy);
    EXPECT_TRUE(pixels.empty());
    EXPECT_EQ(g_logCodes[0], kEllipsePlotterLogCode);
    EXPECT_EQ(g_logValues[0], c.step + kLogFailed);
  }
}

TEST_F(ArcRasterTest, EllipseArcAndComplementMakeTheWholeEllipse) {
  const Axes ax{52, -30, 10, 17};  // 60 x 20 turned by 30 degrees
  const PixelSet whole = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy);
  std::vector<Pixel> ends(whole.begin(), whole.end());
  for (std::size_t i = 0; i < ends.size(); i += 13) {
    for (std::size_t j = 3; j < ends.size(); j += 17) {
      const Pixel a = ends[i];
      const Pixel b = ends[j];
      if (a == b) continue;
      const PixelSet forward = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy, &a, &b);
      const PixelSet backward = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy, &b, &a);
      ASSERT_EQ(Union(forward, backward), whole);
      // Shared pixels lie in the directions of the ends.
      for (const Pixel& p : Intersection(forward, backward)) {
        const long long toA = 1LL * a.first * p.second - 1LL * a.second * p.first;
        const long long toB = 1LL * b.first * p.second - 1LL * b.second * p.first;
        EXPECT_TRUE(toA == 0 || toB == 0);
      }
      EXPECT_TRUE(forward.count(a) && forward.count(b));
      EXPECT_TRUE(IsConnected(forward));
    }
  }
  // Counter-clockwise as the drawing sees it: from the end of the u axis (up and to the
  // right) a quarter of the way round to the end of -v passes the topmost pixel (device y
  // smallest), not the bottom one.
  const Pixel u{ax.ux, ax.uy};
  const Pixel minusV{-ax.vx, -ax.vy};
  const PixelSet quarter = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy, &u, &minusV);
  auto byHeight = [](const Pixel& p, const Pixel& q) { return p.second < q.second; };
  const Pixel topmost = *std::min_element(whole.begin(), whole.end(), byHeight);
  const Pixel lowest = *std::max_element(whole.begin(), whole.end(), byHeight);
  EXPECT_TRUE(quarter.count(topmost));
  EXPECT_FALSE(quarter.count(lowest));
}

TEST_F(ArcRasterTest, EllipseClippingKeepsExactlyTheVisiblePixels) {
  const Axes ax{212, -212, 70, 70};  // 300 x 99 turned by 45 degrees
  for (int pen : {1, 3}) {
    const PixelSet whole = DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy, nullptr, nullptr, pen);
    for (const zeph::DcRect& clip : {zeph::DcRect{kCx + 50, kCy - 250, kCx + 260, kCy - 40},
                                     zeph::DcRect{kCx - 20, kCy - 20, kCx + 20, kCy + 20},
                                     zeph::DcRect{kCx - 230, kCy + 100, kCx + 10, kCy + 260}}) {
      const PixelSet clipped =
          DrawEllipse(ax.ux, ax.uy, ax.vx, ax.vy, nullptr, nullptr, pen, &clip);
      PixelSet expected;
      for (const Pixel& p : whole) {
        const int x = p.first + kCx;
        const int y = p.second + kCy;
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
          expected.insert(p);
        }
      }
      EXPECT_EQ(clipped, expected) << "pen " << pen;
    }
  }
}

}  // namespace
