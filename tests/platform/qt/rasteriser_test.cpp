// The rasterisers behind the back-buffer context, on their own.
#include "platform/qt/rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace zeph::raster {
namespace {

using Pixels = std::set<std::pair<std::int64_t, std::int64_t>>;  // (y, x)

Pixels ToPixels(const SpanSet& set) {
  Pixels pixels;
  for (const Span& s : set.spans()) {
    for (std::int32_t x = s.x0; x < s.x1; ++x) pixels.insert({s.y, x});
  }
  return pixels;
}

bool Connected(const Pixels& pixels) {
  if (pixels.empty()) return true;
  Pixels seen{*pixels.begin()};
  std::vector<std::pair<std::int64_t, std::int64_t>> todo{*pixels.begin()};
  while (!todo.empty()) {
    const auto [y, x] = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const std::pair<std::int64_t, std::int64_t> q{y + dy, x + dx};
        if (pixels.count(q) != 0 && seen.insert(q).second) todo.push_back(q);
      }
    }
  }
  return seen.size() == pixels.size();
}

TEST(RasterSpanSet, NormaliseMergesAndSubtractCuts) {
  SpanSet set({0, 0, 100, 100});
  set.AddRun(5, 10, 20);
  set.AddPixel(3, 1);
  set.AddRun(5, 15, 30);  // overlaps
  set.AddRun(5, 30, 32);  // touches
  set.AddRun(5, 40, 45);
  set.AddPixel(4, 1);
  set.AddPixel(3, 1);       // twice
  set.AddRun(7, -50, 500);  // clipped
  set.AddRun(200, 0, 10);   // outside
  set.AddRun(8, 9, 9);      // empty
  set.Normalise();
  EXPECT_EQ(set.spans(), (std::vector<Span>{{1, 3, 5}, {5, 10, 32}, {5, 40, 45}, {7, 0, 100}}));
  EXPECT_EQ(set.PixelCount(), 2 + 22 + 5 + 100);
  EXPECT_TRUE(set.Contains(31, 5));
  EXPECT_FALSE(set.Contains(32, 5));
  EXPECT_FALSE(set.Contains(3, 2));

  SpanSet holes({0, 0, 100, 100});
  holes.AddRun(5, 0, 12);
  holes.AddRun(5, 14, 16);
  holes.AddRun(5, 31, 41);
  holes.AddRun(6, 0, 100);
  holes.AddRun(7, 50, 60);
  holes.Normalise();
  set.Subtract(holes);
  EXPECT_EQ(set.spans(),
            (std::vector<Span>{
                {1, 3, 5}, {5, 12, 14}, {5, 16, 31}, {5, 41, 45}, {7, 0, 50}, {7, 60, 100}}));
}

TEST(RasterSweep, TakesTheDirectionsCounterClockwiseOnThePage) {
  // Device y grows downwards: (0, -1) is up the page.
  struct Case {
    double sx, sy, ex, ey, x, y;
    bool inside;
  };
  const Case cases[] = {
      {1, 0, 0, -1, 1, -1, true},  // right to up: the upper right quarter
      {1, 0, 0, -1, 1, 1, false},  // not the lower right
      {1, 0, 0, -1, 1, 0, true},   // both rays belong to it
      {1, 0, 0, -1, 0, -5, true},
      {0, -1, 1, 0, 1, -1, false},  // up to right: the other three quarters
      {0, -1, 1, 0, -1, 1, true},
      {-1, 1, -1, 2, -1, 1.5, true},  // a thin sweep
      {-1, 1, -1, 2, 1, 0, false},
      {-1, 2, -1, 1, 1, 0, true},  // its complement
      {3, 4, 6, 8, 1, 0, true},    // equal rays: every direction
  };
  for (const Case& c : cases) {
    const Sweep sweep(c.sx, c.sy, c.ex, c.ey);
    EXPECT_EQ(sweep.Contains(c.x, c.y), c.inside)
        << c.sx << "," << c.sy << " " << c.ex << "," << c.ey << " at " << c.x << "," << c.y;
  }
  EXPECT_TRUE(Sweep().IsFull());
  EXPECT_TRUE(Sweep(3, 4, 6, 8).IsFull());
}

// Far beyond 32 bits, the visible pixels are still those nearest the exact line.
TEST(RasterLine, FarOffEndsKeepTheExactPixels) {
  const std::int64_t x0 = -300000000000, y0 = -7, x1 = 500000000000, y1 = 93;
  SpanSet set({0, 0, 1000, 100});
  AddThinLine(set, x0, y0, x1, y1);
  const Pixels pixels = ToPixels(set);
  EXPECT_EQ(pixels.size(), 1000u);
  for (const auto& [y, x] : pixels) {
    const long double exact =
        y0 + static_cast<long double>(y1 - y0) * (x - x0) / static_cast<long double>(x1 - x0);
    EXPECT_LE(std::fabs(static_cast<long double>(y) - exact), 0.5L) << x;
  }
}

TEST(RasterEllipse, OutlinesOfEveryShapeAreClosedAndThin) {
  const std::pair<int, int> sizes[] = {{200, 3}, {3, 200}, {500, 2},  {2, 500},  {301, 4},
                                       {90, 91}, {91, 90}, {400, 25}, {17, 250}, {5, 6}};
  for (const auto& [w, h] : sizes) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    SpanSet set({-10, -10, 1000, 1000});
    AddEllipseOutline(set, 0, 0, w, h);
    set.Normalise();
    const Pixels pixels = ToPixels(set);
    EXPECT_TRUE(Connected(pixels));
    // Every row and every column of the box is met.
    for (int y = 0; y < h; ++y) {
      int inRow = 0;
      for (const auto& [py, px] : pixels) inRow += py == y ? 1 : 0;
      EXPECT_GE(inRow, 1) << y;
    }
    for (int x = 0; x < w; ++x) {
      int inColumn = 0;
      for (const auto& [py, px] : pixels) inColumn += px == x ? 1 : 0;
      EXPECT_GE(inColumn, 1) << x;
    }
    // Thin: hardly more pixels than the perimeter is long.
    const double a = w / 2.0, b = h / 2.0;
    const double perimeter = M_PI * (3 * (a + b) - std::sqrt((3 * a + b) * (a + 3 * b)));
    EXPECT_LE(static_cast<double>(pixels.size()), perimeter * 1.1 + 8);
  }
}

// The pen along one segment as the general stroker builds it: the segment's rectangle filled
// by the non-zero rule, and a disc at each end for a round pen.
SpanSet SegmentByParts(const Clip& clip, PointF a, PointF b, double width, bool round) {
  SpanSet set(clip);
  const double half = width / 2;
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const PointF n{-(b.y - a.y) / length * half, (b.x - a.x) / length * half};
  const std::vector<std::vector<PointF>> quad{{{a.x + n.x, a.y + n.y},
                                               {b.x + n.x, b.y + n.y},
                                               {b.x - n.x, b.y - n.y},
                                               {a.x - n.x, a.y - n.y}}};
  FillContours(set, quad, false);
  if (round) {
    AddDisc(set, a, half);
    AddDisc(set, b, half);
  }
  set.Normalise();
  return set;
}

TEST(RasterStroke, OneSegmentGivesThePixelsOfItsParts) {
  std::mt19937_64 random(39);
  auto pick = [&](std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(hi - lo + 1));
  };
  // Ends near the clip, on pixel centres or anywhere, sometimes far off or nearly together.
  auto coordinate = [&]() -> double {
    switch (pick(0, 9)) {
      case 0:
        return static_cast<double>(pick(-3000000000, 3000000000)) + 0.5;
      case 1:
        return static_cast<double>(pick(-40000, 40000)) / 64;
      default:
        return static_cast<double>(pick(-30, 230)) + 0.5;
    }
  };
  for (int i = 0; i < 10000; ++i) {
    const Clip clip = pick(0, 3) == 0
                          ? Clip{pick(-5, 120), pick(-5, 90), pick(0, 200), pick(0, 150)}
                          : Clip{0, 0, 200, 150};
    const PointF a{coordinate(), coordinate()};
    PointF b{coordinate(), coordinate()};
    if (pick(0, 9) == 0)
      b = {a.x + static_cast<double>(pick(-2, 2)), a.y + static_cast<double>(pick(-2, 2))};
    if (a.x == b.x && a.y == b.y) continue;
    const double width =
        pick(0, 5) == 0 ? static_cast<double>(pick(2, 60)) : static_cast<double>(pick(4, 12)) / 4;
    const bool round = pick(0, 2) != 0;
    const SpanSet expected = SegmentByParts(clip, a, b, width, round);
    std::vector<Span> runs;
    StrokeSegment(clip, a, b, width, round, [&](std::int64_t y, std::int64_t x0, std::int64_t x1) {
      runs.push_back({static_cast<std::int32_t>(y), static_cast<std::int32_t>(x0),
                      static_cast<std::int32_t>(x1)});
    });
    ASSERT_EQ(runs, expected.spans())
        << i << ": (" << a.x << ", " << a.y << ") to (" << b.x << ", " << b.y << "), width "
        << width << (round ? " round" : " flat");
    // And through the general stroker.
    SpanSet stroked(clip);
    const PointF ends[] = {a, b};
    StrokePolyline(stroked, ends, width, round, false);
    stroked.Normalise();
    ASSERT_EQ(stroked.spans(), expected.spans()) << i;
  }
}

TEST(RasterEllipse, TracedOutlinesGiveEachPixelOnceAndTheOutlinesPixels) {
  std::mt19937_64 random(105);
  auto pick = [&](std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(hi - lo + 1));
  };
  for (int i = 0; i < 3000; ++i) {
    const std::int64_t w = pick(0, 4) == 0 ? pick(1, 4) : pick(1, pick(0, 9) == 0 ? 5000 : 300);
    const std::int64_t h = pick(0, 2) == 0 ? w : pick(1, 300);
    const std::int64_t left = pick(-w, 200);
    const std::int64_t top = pick(-h, 150);
    const Clip clip = pick(0, 2) == 0
                          ? Clip{pick(-5, 120), pick(-5, 90), pick(0, 200), pick(0, 150)}
                          : Clip{0, 0, 200, 150};
    const Sweep sweep =
        pick(0, 1) == 0
            ? Sweep()
            : Sweep(static_cast<double>(pick(-99, 99)), static_cast<double>(pick(-99, 99)),
                    static_cast<double>(pick(-99, 99)), static_cast<double>(pick(-99, 99)));
    std::multiset<std::pair<std::int64_t, std::int64_t>> traced;
    TraceEllipseOutline(clip, left, top, left + w, top + h, sweep,
                        [&](std::int64_t x, std::int64_t y) {
                          traced.insert({y, x});
                        });
    SpanSet outline(clip);
    AddEllipseOutline(outline, left, top, left + w, top + h, sweep);
    outline.Normalise();
    const Pixels pixels = ToPixels(outline);
    ASSERT_EQ(traced.size(), pixels.size()) << i << ": " << w << "x" << h;  // none twice
    ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), traced.begin())) << i;
  }
}

}  // namespace
}  // namespace zeph::raster
