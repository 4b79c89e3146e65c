// Pixel properties of the back-buffer context: what the program's drawing relies on.
#include "pixels.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace zeph {
namespace {

using testing::BoundsOf;
using testing::Canvas;
using testing::IsConnected;
using testing::kBlack;
using testing::kWhite;
using testing::Pixel;
using testing::PixelSet;
using testing::PixelsNot;
using testing::PixelsOf;

PixelSet LinePixels(int x0, int y0, int x1, int y1) {
  Canvas canvas;
  canvas.dc.MoveTo(x0, y0);
  canvas.dc.LineTo(x1, y1);
  return PixelsNot(canvas.image);
}

// ---- Lines ----

const Pixel kLineEnds[] = {
    {10, 0},  {10, 3},   {10, 5},   {10, 10},   {3, 10},   {5, 10},   {0, 10},    {-3, 10},
    {-5, 10}, {-10, 10}, {-10, 3},  {-10, 0},   {-10, -3}, {-10, -5}, {-10, -10}, {-3, -10},
    {0, -10}, {3, -10},  {10, -10}, {10, -3},   {1, 0},    {0, -1},   {1, 1},     {-1, 1},
    {7, 2},   {-2, 7},   {37, 11},  {-11, -37}, {2, 1},    {1, 2},
};

TEST(ImageContextLine, LeavesOutItsEndPixelWhicheverWayItRuns) {
  for (const Pixel& d : kLineEnds) {
    const Pixel a{50, 40};
    const Pixel b{a.x + d.x, a.y + d.y};
    SCOPED_TRACE(std::to_string(d.x) + "," + std::to_string(d.y));
    const PixelSet pixels = LinePixels(a.x, a.y, b.x, b.y);
    EXPECT_EQ(pixels.count(a), 1u);
    EXPECT_EQ(pixels.count(b), 0u);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(std::max(std::abs(d.x), std::abs(d.y))));
    // Joined up with its end pixel, and never further than half a pixel off the line across
    // its major axis.
    PixelSet withEnd = pixels;
    withEnd.insert(b);
    EXPECT_TRUE(IsConnected(withEnd));
    const bool xMajor = std::abs(d.x) >= std::abs(d.y);
    for (const Pixel& p : pixels) {
      if (xMajor) {
        const double y = a.y + double(d.y) * (p.x - a.x) / d.x;
        EXPECT_LE(std::abs(p.y - y), 0.5) << p.x << "," << p.y;
      } else {
        const double x = a.x + double(d.x) * (p.y - a.y) / d.y;
        EXPECT_LE(std::abs(p.x - x), 0.5) << p.x << "," << p.y;
      }
    }
    // Drawn the other way it covers the same pixels, its other end left out instead.
    PixelSet reversed = LinePixels(b.x, b.y, a.x, a.y);
    reversed.erase(b);
    reversed.insert(a);
    EXPECT_EQ(reversed, pixels);
  }
}

TEST(ImageContextLine, ZeroLengthLineDrawsNothingButMoves) {
  Canvas canvas;
  canvas.dc.SelectPen({PenStyle::kSolid, 5, 0});
  canvas.dc.MoveTo(20, 20);
  canvas.dc.LineTo(20, 20);
  canvas.dc.SelectPen({});
  canvas.dc.LineTo(20, 20);
  EXPECT_TRUE(PixelsNot(canvas.image).empty());
  EXPECT_EQ(canvas.dc.GetCurrentPosition(), (DcPoint{20, 20}));
}

// A line and LineTo's joined continuation draw each corner pixel once.
TEST(ImageContextLine, ConsecutiveLinesShareNoPixel) {
  Canvas canvas;
  canvas.dc.SetRasterOp(RasterOp::kXor);
  canvas.dc.SelectPen({PenStyle::kSolid, 1, 0x00FFFFFF});
  canvas.dc.MoveTo(10, 10);
  canvas.dc.LineTo(40, 10);
  canvas.dc.LineTo(40, 30);
  canvas.dc.LineTo(10, 30);
  canvas.dc.LineTo(10, 10);
  const PixelSet pixels = PixelsOf(canvas.image, kBlack);
  EXPECT_EQ(pixels.size(), 100u);  // the whole frame, corners included, none twice
  EXPECT_EQ(pixels, PixelsNot(canvas.image));
}

TEST(ImageContextLine, ThickGeometricPenHasFlatEndsAtTheEndPoints) {
  struct Case {
    Pixel a, b;
    int width;
  };
  const Case cases[] = {
      {{10, 20}, {30, 20}, 5}, {{30, 20}, {10, 20}, 5}, {{20, 10}, {20, 40}, 4},
      {{10, 10}, {60, 35}, 7}, {{60, 10}, {15, 50}, 6}, {{40, 60}, {41, 10}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.a.x) + "," + std::to_string(c.a.y) + " to " +
                 std::to_string(c.b.x) + "," + std::to_string(c.b.y));
    Canvas canvas;
    canvas.dc.SelectPen({PenStyle::kGeometricFlat, c.width, 0});
    canvas.dc.MoveTo(c.a.x, c.a.y);
    canvas.dc.LineTo(c.b.x, c.b.y);
    const PixelSet pixels = PixelsNot(canvas.image);
    const double length = std::hypot(c.b.x - c.a.x, c.b.y - c.a.y);
    const double ux = (c.b.x - c.a.x) / length, uy = (c.b.y - c.a.y) / length;
    double minAlong = 1e9, maxAlong = -1e9;
    for (const Pixel& p : pixels) {
      // Pixel centres against the line between the end pixels' centres.
      const double along = (p.x - c.a.x) * ux + (p.y - c.a.y) * uy;
      const double across = (p.x - c.a.x) * uy - (p.y - c.a.y) * ux;
      EXPECT_GE(along, -1e-9);
      EXPECT_LE(along, length + 1e-9);
      EXPECT_LE(std::abs(across), c.width / 2.0 + 1e-9);
      minAlong = std::min(minAlong, along);
      maxAlong = std::max(maxAlong, along);
    }
    // The ends are square and reach the end points, not beyond.
    EXPECT_LE(minAlong, 1.0);
    EXPECT_GE(maxAlong, length - 1.0);
    EXPECT_NEAR(static_cast<double>(pixels.size()), length * c.width, 2 * (length + c.width) + 2);
  }
  // The horizontal case exactly: 20 columns from the start pixel, 5 rows about the line.
  Canvas canvas;
  canvas.dc.SelectPen({PenStyle::kGeometricFlat, 5, 0});
  canvas.dc.MoveTo(10, 20);
  canvas.dc.LineTo(30, 20);
  const PixelSet pixels = PixelsNot(canvas.image);
  EXPECT_EQ(pixels.size(), 100u);
  const testing::Bounds b = BoundsOf(pixels);
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.right, 29);
  EXPECT_EQ(b.top, 18);
  EXPECT_EQ(b.bottom, 22);
}

TEST(ImageContextLine, ThickSolidPenHasRoundEnds) {
  Canvas canvas;
  canvas.dc.SelectPen({PenStyle::kSolid, 7, 0});
  canvas.dc.MoveTo(20, 20);
  canvas.dc.LineTo(60, 20);
  const testing::Bounds b = BoundsOf(PixelsNot(canvas.image));
  EXPECT_EQ(b.left, 17);  // the round end reaches half the width beyond the end point
  EXPECT_EQ(b.right, 63);
  EXPECT_EQ(b.top, 17);
  EXPECT_EQ(b.bottom, 23);
  EXPECT_EQ(canvas.image.pixel(17, 17), kWhite);  // rounded, not square
}

// The pixels nearest the exact line, halves upwards, its end added: worked out here pixel by
// pixel, then clipped to box.
PixelSet ExactLineWithEnd(int x0, int y0, int x1, int y1, DcRect box) {
  PixelSet all;
  const bool xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
  const int u0 = xMajor ? x0 : y0, u1 = xMajor ? x1 : y1;
  const int v0 = xMajor ? y0 : x0, v1 = xMajor ? y1 : x0 + (x1 - x0);
  const int s = u1 > u0 ? 1 : -1;
  for (int u = u0; u != u1; u += s) {
    const long long num = 2LL * (v1 - v0) * (u - u0) * s + std::abs(u1 - u0);
    const long long den = 2LL * std::abs(u1 - u0);
    const long long q = num >= 0 ? num / den : -((-num + den - 1) / den);
    const int v = v0 + static_cast<int>(q);
    all.insert(xMajor ? Pixel{u, v} : Pixel{v, u});
  }
  all.insert({x1, y1});
  PixelSet inside;
  for (const Pixel& p : all) {
    if (p.x >= box.left && p.x < box.right && p.y >= box.top && p.y < box.bottom) inside.insert(p);
  }
  return inside;
}

// The one-call line with its end sets what the pen, move, line and end pixel set, and the
// pixels nearest the exact line: inside, across and outside the clip, in every direction, from
// a moved window origin; the pen and the position end up as the separate calls leave them.
TEST(ImageContextLine, LineWithEndMatchesTheSeparateCallsAndTheExactPixels) {
  struct Case {
    int x0, y0, x1, y1;
  };
  const Case cases[] = {
      {12, 14, 70, 33},  {70, 33, 12, 14},  {20, 60, 31, 8},   {31, 8, 20, 60},
      {5, 5, 5, 5},      {40, 20, 41, 20},  {-30, 10, 90, 50}, {90, 50, -30, 10},
      {50, -20, 56, 95}, {56, 95, 50, -20}, {25, 12, 95, 70},  {95, 70, 25, 12},
      {10, 75, 60, 80},  {60, 80, 10, 75},  {0, 0, 200, 1},    {-500, -3, 500, 40},
  };
  const DcRect clip{15, 10, 85, 65};  // in window coordinates, origin added below
  const DcPen pen{PenStyle::kSolid, 1, MakeColour(10, 20, 30)};
  const DcPen previous{PenStyle::kGeometricFlat, 3, MakeColour(1, 2, 3)};
  for (const Case& c : cases) {
    for (const bool clipped : {false, true}) {
      SCOPED_TRACE(std::to_string(c.x0) + "," + std::to_string(c.y0) + " -> " +
                   std::to_string(c.x1) + "," + std::to_string(c.y1) + (clipped ? " clipped" : ""));
      Canvas one(100, 80);
      Canvas separate(100, 80);
      for (Canvas* canvas : {&one, &separate}) {
        canvas->dc.SetWindowOrigin({-4, 3});
        if (clipped)
          canvas->dc.SetClipRect({clip.left - 4, clip.top + 3, clip.right - 4, clip.bottom + 3});
        canvas->dc.SelectPen(previous);
        canvas->dc.MoveTo(1, 2);
      }
      const int x0 = c.x0 - 4, y0 = c.y0 + 3, x1 = c.x1 - 4, y1 = c.y1 + 3;
      one.dc.DrawLineWithEnd(pen, x0, y0, x1, y1);
      separate.dc.CDrawContext::DrawLineWithEnd(pen, x0, y0, x1, y1);
      EXPECT_EQ(one.image, separate.image);
      EXPECT_EQ(one.dc.GetPen(), previous);
      EXPECT_EQ(one.dc.GetCurrentPosition(), separate.dc.GetCurrentPosition());
      const DcRect box = clipped ? clip : DcRect{0, 0, 100, 80};
      EXPECT_EQ(PixelsNot(one.image), ExactLineWithEnd(c.x0, c.y0, c.x1, c.y1, box));
    }
  }
}

// A line whose ends both lie inside the clip takes the quick walk: the exact pixels in every
// direction and slope, either way round, up to the clip's last row and column, and in XOR mode
// each pixel once.
TEST(ImageContextLine, LinesWhollyInsideTheClipSetTheExactPixelsInEveryDirection) {
  const DcPen pen{PenStyle::kSolid, 1, MakeColour(200, 100, 50)};
  const DcRect clip{2, 3, 61, 58};
  std::vector<std::array<int, 4>> lines;
  for (int dx = -13; dx <= 13; ++dx) {
    for (int dy = -13; dy <= 13; ++dy) lines.push_back({30, 30, 30 + dx, 30 + dy});
  }
  const int l = clip.left, t = clip.top, r = clip.right - 1, b = clip.bottom - 1;
  for (const auto& corners : {std::array<int, 4>{l, t, r, b}, {r, t, l, b}, {l, b, r, t},
                              {l, t, r, t}, {r, b, r, t}, {l, t, l + 1, b}}) {
    lines.push_back(corners);
  }
  for (const auto& line : lines) {
    for (const bool reversed : {false, true}) {
      const int x0 = reversed ? line[2] : line[0], y0 = reversed ? line[3] : line[1];
      const int x1 = reversed ? line[0] : line[2], y1 = reversed ? line[1] : line[3];
      SCOPED_TRACE(std::to_string(x0) + "," + std::to_string(y0) + " -> " + std::to_string(x1) +
                   "," + std::to_string(y1));
      Canvas canvas(64, 64);
      canvas.dc.SetClipRect(clip);
      canvas.dc.DrawLineWithEnd(pen, x0, y0, x1, y1);
      EXPECT_EQ(PixelsNot(canvas.image), ExactLineWithEnd(x0, y0, x1, y1, clip));
      canvas.image.fill(kWhite);
      canvas.dc.SetRasterOp(RasterOp::kXor);
      canvas.dc.DrawLineWithEnd(pen, x0, y0, x1, y1);
      EXPECT_EQ(PixelsOf(canvas.image, kWhite ^ 0x00C86432u), ExactLineWithEnd(x0, y0, x1, y1, clip));
      canvas.dc.DrawLineWithEnd(pen, x0, y0, x1, y1);
      EXPECT_TRUE(PixelsNot(canvas.image).empty());
    }
  }
}

// The context keeps the image's size between lines: a copy taken between two lines keeps its
// pixels, and an image replaced by a smaller one is drawn within its own size.
TEST(ImageContextLine, LinesFollowTheImageWhenItIsSharedOrReplaced) {
  const DcPen pen{PenStyle::kSolid, 1, 0};
  Canvas canvas(40, 30);
  canvas.dc.DrawLineWithEnd(pen, 0, 0, 39, 0);
  const QImage copy = canvas.image;
  canvas.dc.DrawLineWithEnd(pen, 0, 5, 39, 5);
  EXPECT_EQ(PixelsNot(copy), ExactLineWithEnd(0, 0, 39, 0, {0, 0, 40, 30}));
  canvas.image = QImage(12, 8, QImage::Format_RGB32);
  canvas.image.fill(kWhite);
  canvas.dc.DrawLineWithEnd(pen, 0, 1, 39, 1);
  canvas.dc.DrawLineWithEnd(pen, 3, 0, 3, 29);
  PixelSet expected = ExactLineWithEnd(0, 1, 39, 1, {0, 0, 12, 8});
  expected.merge(ExactLineWithEnd(3, 0, 3, 29, {0, 0, 12, 8}));
  EXPECT_EQ(PixelsNot(canvas.image), expected);
}

// ---- Exclusive or ----

struct Primitive {
  const char* name;
  std::function<void(CDrawContext&)> draw;
};

std::vector<Primitive> Primitives(ColourRef colour) {
  const DcPen thin{PenStyle::kSolid, 1, colour};
  const DcPen thick{PenStyle::kSolid, 6, colour};
  const DcPen flat{PenStyle::kGeometricFlat, 5, colour};
  const DcBrush none{BrushStyle::kNull, 0};
  const DcBrush solid{BrushStyle::kSolid, colour ^ 0x00123456};
  auto line = [](DcPen pen, int x0, int y0, int x1, int y1) {
    return [=](CDrawContext& dc) {
      dc.SelectPen(pen);
      dc.MoveTo(x0, y0);
      dc.LineTo(x1, y1);
    };
  };
  auto ellipse = [](DcPen pen, DcBrush brush, DcRect box) {
    return [=](CDrawContext& dc) {
      dc.SelectPen(pen);
      dc.SelectBrush(brush);
      dc.Ellipse(box.left, box.top, box.right, box.bottom);
    };
  };
  auto polygon = [](DcPen pen, DcBrush brush) {
    return [=](CDrawContext& dc) {
      // Crosses itself: the middle of the star is outside by the alternate rule.
      const DcPoint star[] = {{60, 5}, {75, 55}, {35, 22}, {85, 22}, {45, 55}};
      dc.SelectPen(pen);
      dc.SelectBrush(brush);
      dc.Polygon(star);
    };
  };
  auto arc = [](DcPen pen) {
    return [=](CDrawContext& dc) {
      dc.SelectPen(pen);
      dc.Arc(10, 10, 91, 71, 90, 10, 10, 60);
    };
  };
  auto bezier = [](DcPen pen) {
    return [=](CDrawContext& dc) {
      dc.SelectPen(pen);
      // Loops over itself.
      dc.PolyBezier({DcPoint{10, 60}, DcPoint{110, 0}, DcPoint{0, 0}, DcPoint{100, 60}});
    };
  };
  return {
      {"thin line", line(thin, 3, 4, 97, 61)},
      {"thin steep line", line(thin, 50, 80, 44, 2)},
      {"thick solid line", line(thick, 10, 70, 90, 15)},
      {"thick flat line", line(flat, 90, 70, 15, 12)},
      {"thin line with its end", [=](CDrawContext& dc) { dc.DrawLineWithEnd(thin, 97, 3, 4, 66); }},
      {"pixels",
       [=](CDrawContext& dc) {
         for (int i = 0; i < 20; ++i) dc.SetPixel(5 + 4 * i, 7 + 3 * i, colour);
       }},
      {"ellipse", ellipse(thin, none, {5, 8, 90, 70})},
      {"filled ellipse", ellipse(thin, solid, {5, 8, 90, 70})},
      {"thick filled ellipse", ellipse(thick, solid, {15, 18, 66, 59})},
      {"small ellipses",
       [=](CDrawContext& dc) {
         dc.SelectPen(thin);
         dc.SelectBrush(solid);
         for (int s = 1; s <= 6; ++s) dc.Ellipse(10 * s, 5, 11 * s + 1, 6 + s);
       }},
      {"polygon", polygon(thin, solid)},
      {"thick polygon", polygon(flat, solid)},
      {"hollow polygon", polygon(thick, none)},
      {"arc", arc(thin)},
      {"thick arc", arc(thick)},
      {"curve", bezier(thin)},
      {"thick curve", bezier(thick)},
  };
}

TEST(ImageContextXor, DrawingTwiceRestoresThePictureBitForBit) {
  for (const Primitive& primitive : Primitives(0x00A5C3E1)) {
    SCOPED_TRACE(primitive.name);
    Canvas canvas(100, 80);
    testing::FillWithNoise(canvas.image);
    const QImage before = canvas.image.copy();
    canvas.dc.SetRasterOp(RasterOp::kXor);
    primitive.draw(canvas.dc);
    EXPECT_NE(canvas.image, before);
    primitive.draw(canvas.dc);
    EXPECT_EQ(canvas.image, before);
  }
}

// Exclusive or with (white ^ c) on white gives c wherever copying c would: every pixel of a
// call is combined exactly once, even where a shape meets itself.
TEST(ImageContextXor, EachPixelIsCombinedOnceAsCopyingWouldSetIt) {
  const ColourRef colour = MakeColour(200, 30, 90);
  for (const Primitive& primitive : Primitives(colour)) {
    SCOPED_TRACE(primitive.name);
    Canvas copied(100, 80);
    primitive.draw(copied.dc);
    Canvas xored(100, 80);
    xored.dc.SetRasterOp(RasterOp::kXor);
    for (const Primitive& p : Primitives(colour ^ 0x00FFFFFF)) {
      if (std::string(p.name) == primitive.name) p.draw(xored.dc);
    }
    // Brushes are colour ^ 0x123456: xor-ing (white ^ colour) ^ 0x123456 gives
    // colour ^ 0x123456 back, so both pictures agree pixel for pixel.
    EXPECT_EQ(xored.image, copied.image);
    EXPECT_FALSE(PixelsNot(copied.image).empty());
  }
}

TEST(ImageContextXor, FillRectAndTextAlwaysCopy) {
  Canvas canvas;
  canvas.dc.SetRasterOp(RasterOp::kXor);
  canvas.dc.FillRect({5, 5, 15, 10}, MakeColour(255, 0, 0));
  canvas.dc.FillRect({5, 5, 15, 10}, MakeColour(255, 0, 0));
  EXPECT_EQ(PixelsOf(canvas.image, 0xFFFF0000u).size(), 50u);
}

TEST(ImageContextColour, PaletteFlagIsIgnored) {
  Canvas canvas;
  canvas.dc.SetPixel(1, 1, 0x02123456);
  canvas.dc.SelectPen({PenStyle::kSolid, 1, 0x02FF0000});
  canvas.dc.MoveTo(5, 5);
  canvas.dc.LineTo(6, 5);
  canvas.dc.FillRect({8, 8, 9, 9}, 0x0200FF00);
  EXPECT_EQ(canvas.image.pixel(1, 1), 0xFF563412u);
  EXPECT_EQ(canvas.image.pixel(5, 5), 0xFF0000FFu);
  EXPECT_EQ(canvas.image.pixel(8, 8), 0xFF00FF00u);
  canvas.dc.SetRasterOp(RasterOp::kXor);
  canvas.dc.SetPixel(1, 1, 0x02000001);
  EXPECT_EQ(canvas.image.pixel(1, 1), 0xFF573412u);  // red 0x56 ^ 0x01
}

// ---- Ellipses ----

TEST(ImageContextEllipse, OutlineFitsItsBoxRightAndBottomExcluded) {
  const DcRect boxes[] = {
      {5, 5, 6, 6},   {5, 5, 7, 7},    {5, 5, 8, 8},   {5, 5, 6, 12},   {5, 5, 12, 6},
      {5, 5, 7, 14},  {5, 5, 15, 7},   {5, 5, 15, 15}, {5, 5, 16, 16},  {5, 5, 35, 17},
      {5, 5, 17, 35}, {5, 5, 106, 42}, {5, 5, 69, 68}, {60, 70, 4, 10},  // corners given reversed
  };
  for (const DcRect& box : boxes) {
    SCOPED_TRACE(std::to_string(box.left) + "," + std::to_string(box.top) + "," +
                 std::to_string(box.right) + "," + std::to_string(box.bottom));
    Canvas canvas;
    canvas.dc.SelectBrush({BrushStyle::kNull, 0});
    canvas.dc.Ellipse(box.left, box.top, box.right, box.bottom);
    const PixelSet pixels = PixelsNot(canvas.image);
    const int l = std::min(box.left, box.right), r = std::max(box.left, box.right);
    const int t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
    const testing::Bounds bounds = BoundsOf(pixels);
    EXPECT_EQ(bounds.left, l);
    EXPECT_EQ(bounds.right, r - 1);
    EXPECT_EQ(bounds.top, t);
    EXPECT_EQ(bounds.bottom, b - 1);
    EXPECT_TRUE(IsConnected(pixels));
    for (const Pixel& p : pixels) {  // symmetric about both middle lines of the box
      EXPECT_EQ(pixels.count({l + r - 1 - p.x, p.y}), 1u) << p.x << "," << p.y;
      EXPECT_EQ(pixels.count({p.x, t + b - 1 - p.y}), 1u) << p.x << "," << p.y;
    }
    // Every pixel lies near the curve through the centres of the side pixels.
    const double a = (r - l - 1) / 2.0, bb = (b - t - 1) / 2.0;
    const double cx = (l + r - 1) / 2.0, cy = (t + b - 1) / 2.0;
    if (a >= 2 && bb >= 2) {
      for (const Pixel& p : pixels) {
        const double f = std::hypot((p.x - cx) / a, (p.y - cy) / bb);
        EXPECT_NEAR(f, 1.0, 1.0 / std::min(a, bb)) << p.x << "," << p.y;
      }
    }
  }
}

TEST(ImageContextEllipse, BrushFillsInsideTheOutline) {
  const DcRect boxes[] = {
      {5, 5, 8, 8}, {5, 5, 16, 16}, {5, 5, 35, 17}, {5, 5, 106, 42}, {5, 5, 9, 40}};
  for (const DcRect& box : boxes) {
    SCOPED_TRACE(std::to_string(box.right) + "," + std::to_string(box.bottom));
    Canvas canvas;
    canvas.dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 0, 0)});
    canvas.dc.Ellipse(box.left, box.top, box.right, box.bottom);
    const PixelSet inside = PixelsOf(canvas.image, 0xFFFF0000u);
    const PixelSet outline = PixelsOf(canvas.image, kBlack);
    EXPECT_FALSE(inside.empty());
    for (const Pixel& p : inside) {  // enclosed: never next to the background
      for (const Pixel& q :
           {Pixel{p.x + 1, p.y}, Pixel{p.x - 1, p.y}, Pixel{p.x, p.y + 1}, Pixel{p.x, p.y - 1}}) {
        EXPECT_NE(canvas.image.pixel(q.x, q.y), kWhite) << q.x << "," << q.y;
      }
    }
    // Each row of the shape is one run.
    for (int y = box.top; y < box.bottom; ++y) {
      int runs = 0;
      for (int x = 0; x + 1 < canvas.image.width(); ++x) {
        if (canvas.image.pixel(x, y) == kWhite && canvas.image.pixel(x + 1, y) != kWhite) ++runs;
      }
      EXPECT_EQ(runs, 1) << y;
    }
    // The same outline as without a brush.
    Canvas hollow;
    hollow.dc.SelectBrush({BrushStyle::kNull, 0});
    hollow.dc.Ellipse(box.left, box.top, box.right, box.bottom);
    EXPECT_EQ(PixelsNot(hollow.image), outline);
  }
}

TEST(ImageContextEllipse, ThickPenIsCentredOnTheOutline) {
  Canvas canvas;
  canvas.dc.SelectBrush({BrushStyle::kNull, 0});
  canvas.dc.SelectPen({PenStyle::kSolid, 5, 0});
  canvas.dc.Ellipse(20, 20, 81, 61);
  const testing::Bounds b = BoundsOf(PixelsNot(canvas.image));
  EXPECT_EQ(b.left, 18);
  EXPECT_EQ(b.right, 82);
  EXPECT_EQ(b.top, 18);
  EXPECT_EQ(b.bottom, 62);
  EXPECT_EQ(canvas.image.pixel(50, 40), kWhite);  // the middle stays empty
  EXPECT_EQ(canvas.image.pixel(20, 40), kBlack);
  EXPECT_EQ(canvas.image.pixel(23, 40), kWhite);

  // An even width is as wide at the sides as anywhere: no lone pixel sticks out.
  Canvas even;
  even.dc.SelectBrush({BrushStyle::kNull, 0});
  even.dc.SelectPen({PenStyle::kSolid, 4, 0});
  even.dc.Ellipse(20, 10, 81, 71);
  const PixelSet pixels = PixelsNot(even.image);
  const testing::Bounds eb = BoundsOf(pixels);
  int topRow = 0, leftColumn = 0, middleRow = 0;
  for (const Pixel& p : pixels) {
    topRow += p.y == eb.top ? 1 : 0;
    leftColumn += p.x == eb.left ? 1 : 0;
    middleRow += p.y == 40 && p.x < 50 ? 1 : 0;
  }
  EXPECT_GT(topRow, 1);
  EXPECT_GT(leftColumn, 1);
  EXPECT_EQ(middleRow, 4);
}

// ---- Arcs ----

PixelSet ArcPixels(DcRect box, DcPoint start, DcPoint end, int width = 1) {
  Canvas canvas;
  canvas.dc.SelectPen({PenStyle::kSolid, width, 0});
  EXPECT_TRUE(
      canvas.dc.Arc(box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y));
  return PixelsNot(canvas.image);
}

TEST(ImageContextArc, RunsCounterClockwiseFromStartRayToEndRay) {
  const DcRect box{10, 10, 51, 51};  // centre pixel (30, 30), radius 20
  const DcPoint right{70, 30}, top{30, 0}, left{0, 30}, bottom{30, 60};
  Canvas full;
  full.dc.SelectBrush({BrushStyle::kNull, 0});
  full.dc.Ellipse(box.left, box.top, box.right, box.bottom);
  const PixelSet whole = PixelsNot(full.image);

  // From the right to the top: the upper right quarter only, both ends included.
  const PixelSet quarter = ArcPixels(box, right, top);
  EXPECT_EQ(quarter.count({50, 30}), 1u);
  EXPECT_EQ(quarter.count({30, 10}), 1u);
  for (const Pixel& p : quarter) {
    EXPECT_GE(p.x, 30);
    EXPECT_LE(p.y, 30);
    EXPECT_EQ(whole.count(p), 1u);
  }
  EXPECT_TRUE(IsConnected(quarter));
  // From the top to the right: the other three quarters.
  const PixelSet rest = ArcPixels(box, top, right);
  EXPECT_EQ(rest.count({10, 30}), 1u);
  EXPECT_EQ(rest.count({30, 50}), 1u);
  for (const Pixel& p : rest) EXPECT_FALSE(p.x > 30 && p.y < 30) << p.x << "," << p.y;
  PixelSet both = quarter;
  both.insert(rest.begin(), rest.end());
  EXPECT_EQ(both, whole);
  // Half-way round, through the left.
  const PixelSet upperHalf = ArcPixels(box, right, left);
  for (const Pixel& p : upperHalf) EXPECT_LE(p.y, 30);
  EXPECT_EQ(upperHalf.count({30, 10}), 1u);
  const PixelSet lowerHalf = ArcPixels(box, left, right);
  for (const Pixel& p : lowerHalf) EXPECT_GE(p.y, 30);
  EXPECT_EQ(lowerHalf.count({30, 50}), 1u);
  // The rays may be given by any point along them; equal rays draw the whole ellipse.
  EXPECT_EQ(ArcPixels(box, {31, 30}, {30, 29}), quarter);
  EXPECT_EQ(ArcPixels(box, bottom, bottom), whole);
}

TEST(ImageContextArc, ThickArcStaysOnItsSide) {
  const PixelSet pixels = ArcPixels({10, 10, 71, 71}, {100, 40}, {40, 0}, 5);
  for (const Pixel& p : pixels) {
    EXPECT_GE(p.x, 40 - 3);  // the round end at the top reaches half the width back
    EXPECT_LE(p.y, 40 + 3);
  }
  EXPECT_EQ(pixels.count({70, 40}), 1u);
  EXPECT_EQ(pixels.count({40, 10}), 1u);
  EXPECT_EQ(pixels.count({12, 40}), 0u);
}

TEST(ImageContextArc, EmptyBoxFails) {
  Canvas canvas;
  EXPECT_FALSE(canvas.dc.Arc(10, 10, 10, 50, 0, 0, 1, 1));
  EXPECT_FALSE(canvas.dc.Arc(10, 10, 50, 10, 0, 0, 1, 1));
  EXPECT_TRUE(PixelsNot(canvas.image).empty());
}

// ---- Polygons and curves ----

TEST(ImageContextPolygon, FillsInsideAlternateRuleAndOutlinesWithThePen) {
  Canvas canvas;
  canvas.dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 0, 0)});
  const DcPoint square[] = {{10, 10}, {30, 10}, {30, 20}, {10, 20}};
  canvas.dc.Polygon(square);
  const PixelSet outline = PixelsOf(canvas.image, kBlack);
  const PixelSet inside = PixelsOf(canvas.image, 0xFFFF0000u);
  EXPECT_EQ(outline.size(), 2u * 20 + 2u * 10);
  EXPECT_EQ(inside.size(), 19u * 9);
  const testing::Bounds b = BoundsOf(inside);
  EXPECT_EQ(b.left, 11);
  EXPECT_EQ(b.right, 29);
  EXPECT_EQ(b.top, 11);
  EXPECT_EQ(b.bottom, 19);
  // A star crossing itself leaves its middle empty.
  Canvas star;
  star.dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 0, 0)});
  const DcPoint points[] = {{60, 5}, {75, 55}, {35, 22}, {85, 22}, {45, 55}};
  star.dc.Polygon(points);
  EXPECT_EQ(star.image.pixel(60, 32), kWhite);
  EXPECT_EQ(star.image.pixel(60, 12), 0xFFFF0000u);
}

TEST(ImageContextCurve, PassesThroughItsStartAndLeavesOutItsEnd) {
  Canvas canvas;
  canvas.dc.PolyBezier({DcPoint{10, 60}, DcPoint{30, 0}, DcPoint{70, 0}, DcPoint{90, 60}});
  const PixelSet pixels = PixelsNot(canvas.image);
  EXPECT_EQ(pixels.count({10, 60}), 1u);
  EXPECT_EQ(pixels.count({90, 60}), 0u);
  PixelSet withEnd = pixels;
  withEnd.insert({90, 60});
  EXPECT_TRUE(IsConnected(withEnd));
  const testing::Bounds b = BoundsOf(pixels);
  EXPECT_EQ(b.top, 15);  // the curve's highest point is at y = 60 - 3/4 x 60
  // A straight curve keeps to its line.
  Canvas straight;
  straight.dc.PolyBezier({DcPoint{10, 10}, DcPoint{20, 15}, DcPoint{30, 20}, DcPoint{40, 25}});
  const PixelSet line = PixelsNot(straight.image);
  EXPECT_GE(line.size(), 30u);
  for (const Pixel& p : line) {
    EXPECT_LE(std::abs(p.y - (10 + (p.x - 10) / 2.0)), 1.0) << p.x << "," << p.y;
  }
}

// ---- Clip, origin, fills and saved pixels ----

TEST(ImageContextClip, NothingIsDrawnOutsideTheClip) {
  for (const Primitive& primitive : Primitives(0)) {
    SCOPED_TRACE(primitive.name);
    Canvas canvas(100, 80);
    canvas.dc.SetClipRect({30, 20, 60, 45});
    EXPECT_EQ(canvas.dc.GetClipBox(), (DcRect{30, 20, 60, 45}));
    primitive.draw(canvas.dc);
    canvas.dc.FillRect({0, 0, 100, 80}, MakeColour(0, 0, 255));
    for (const Pixel& p : PixelsNot(canvas.image)) {
      EXPECT_TRUE(p.x >= 30 && p.x < 60 && p.y >= 20 && p.y < 45) << p.x << "," << p.y;
    }
    // The clipped part is exactly what the unclipped drawing has there.
    Canvas whole(100, 80);
    primitive.draw(whole.dc);
    Canvas clipped(100, 80);
    clipped.dc.SetClipRect({30, 20, 60, 45});
    primitive.draw(clipped.dc);
    for (const Pixel& p : PixelsNot(whole.image)) {
      const bool inside = p.x >= 30 && p.x < 60 && p.y >= 20 && p.y < 45;
      EXPECT_EQ(clipped.image.pixel(p.x, p.y), inside ? whole.image.pixel(p.x, p.y) : kWhite);
    }
  }
}

TEST(ImageContextClip, ClipBoxIsTheImageClippedAndInLogicalCoordinates) {
  Canvas canvas(100, 80);
  EXPECT_EQ(canvas.dc.GetClipBox(), (DcRect{0, 0, 100, 80}));
  canvas.dc.SetClipRect({-20, 50, 40, 200});
  EXPECT_EQ(canvas.dc.GetClipBox(), (DcRect{0, 50, 40, 80}));
  canvas.dc.SetWindowOrigin({-10, 5});
  EXPECT_EQ(canvas.dc.GetClipBox(), (DcRect{-10, 55, 30, 85}));
  canvas.dc.SetClipRect({200, 200, 300, 300});
  EXPECT_TRUE(canvas.dc.GetClipBox().IsEmpty());
  canvas.dc.SetPixel(205, 205, 0);
  canvas.dc.ResetClip();
  EXPECT_EQ(canvas.dc.GetClipBox(), (DcRect{-10, 5, 90, 85}));
  EXPECT_TRUE(PixelsNot(canvas.image).empty());
}

// Far-off coordinates of a zoomed drawing cost only their visible part.
TEST(ImageContextClip, FarOffCoordinatesDrawTheirVisiblePartQuickly) {
  const auto started = std::chrono::steady_clock::now();
  Canvas canvas(100, 80);
  canvas.dc.MoveTo(-2000000000, 10);
  canvas.dc.LineTo(2000000000, 14);
  canvas.dc.MoveTo(50, -2000000000);
  canvas.dc.LineTo(50, 2000000000);
  canvas.dc.SelectBrush({BrushStyle::kNull, 0});
  canvas.dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);  // outline far outside
  canvas.dc.Ellipse(20, -2000000000, 2000000000, 2000000000);           // left side visible
  canvas.dc.SelectPen({PenStyle::kSolid, 3, 0});
  canvas.dc.Arc(20, -2000000000, 2000000000, 2000000000, 0, 0, 0, 1);
  canvas.dc.PolyBezier(
      {DcPoint{-2000000000, 70}, DcPoint{0, 70}, DcPoint{0, 70}, DcPoint{2000000000, 70}});
  const DcPoint huge[] = {{-2000000000, 60}, {2000000000, 60}, {0, 2000000000}};
  canvas.dc.Polygon(huge);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  for (int x = 0; x < 100; ++x) {  // the line runs across the whole picture, near row 12
    int hits = 0;
    for (int y = 9; y <= 15; ++y) hits += canvas.image.pixel(x, y) == kBlack ? 1 : 0;
    EXPECT_GE(hits, 1) << x;
  }
  EXPECT_EQ(canvas.image.pixel(50, 40), kBlack);
  EXPECT_EQ(canvas.image.pixel(20, 40), kBlack);  // the huge ellipse's left side at x = 20
}

TEST(ImageContextOrigin, WindowOriginMovesEverything) {
  // Logical (x, y) is device (x + 30, y + 20).
  Canvas moved;
  EXPECT_EQ(moved.dc.SetWindowOrigin({-30, -20}), (DcPoint{0, 0}));
  moved.dc.MoveTo(35, 25);
  moved.dc.LineTo(70, 40);
  moved.dc.SetPixel(31, 21, 0);
  moved.dc.Ellipse(40, 30, 60, 50);
  moved.dc.Arc(40, 30, 60, 50, 100, 40, 50, 0);
  moved.dc.FillRect({80, 60, 85, 70}, MakeColour(0, 255, 0));
  Canvas expected;
  expected.dc.MoveTo(65, 45);
  expected.dc.LineTo(100, 60);
  expected.dc.SetPixel(61, 41, 0);
  expected.dc.Ellipse(70, 50, 90, 70);
  expected.dc.Arc(70, 50, 90, 70, 130, 60, 80, 20);
  expected.dc.FillRect({110, 80, 115, 90}, MakeColour(0, 255, 0));
  EXPECT_EQ(moved.image, expected.image);
  EXPECT_EQ(moved.dc.GetCurrentPosition(), (DcPoint{70, 40}));
}

TEST(ImageContextFill, FillRectExcludesRightAndBottom) {
  Canvas canvas;
  canvas.dc.FillRect({10, 20, 13, 22}, 0);
  EXPECT_EQ(PixelsNot(canvas.image),
            (PixelSet{{10, 20}, {11, 20}, {12, 20}, {10, 21}, {11, 21}, {12, 21}}));
  canvas.dc.FillRect({40, 40, 40, 50}, 0);
  canvas.dc.FillRect({40, 40, 35, 50}, 0);
  EXPECT_EQ(PixelsNot(canvas.image).size(), 6u);
}

TEST(ImageContextSavedBits, RestoresWhatWasSaved) {
  Canvas canvas(100, 80);
  testing::FillWithNoise(canvas.image);
  const QImage before = canvas.image.copy();
  std::unique_ptr<CSavedBits> bits = canvas.dc.CreateSavedBits(30, 20);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits->Width(), 30);
  EXPECT_EQ(bits->Height(), 20);
  ASSERT_TRUE(canvas.dc.SaveBits(*bits, 10, 15));
  canvas.dc.FillRect({0, 0, 100, 80}, 0);
  ASSERT_TRUE(canvas.dc.RestoreBits(*bits, 10, 15));
  EXPECT_EQ(canvas.image.copy(10, 15, 30, 20), before.copy(10, 15, 30, 20));
  EXPECT_EQ(canvas.image.pixel(9, 15), kBlack);
  EXPECT_EQ(canvas.image.pixel(40, 15), kBlack);

  // Restoring honours the clip, and a block reaching past the picture is cut.
  canvas.dc.FillRect({0, 0, 100, 80}, 0);
  canvas.dc.SetClipRect({20, 0, 25, 80});
  ASSERT_TRUE(canvas.dc.RestoreBits(*bits, 10, 15));
  EXPECT_EQ(PixelsNot(canvas.image, kBlack).size(), 5u * 20);
  canvas.dc.ResetClip();
  std::unique_ptr<CSavedBits> edge = canvas.dc.CreateSavedBits(30, 30);
  ASSERT_NE(edge, nullptr);
  EXPECT_TRUE(canvas.dc.SaveBits(*edge, 85, 70));
  EXPECT_TRUE(canvas.dc.RestoreBits(*edge, 85, 70));
  EXPECT_EQ(canvas.dc.CreateSavedBits(0, 10), nullptr);
}

TEST(ImageContextSavedBits, BitsOfAnotherContextAreRefused) {
  class CForeignBits final : public CSavedBits {
   public:
    int Width() const override { return 1; }
    int Height() const override { return 1; }
  } foreign;
  Canvas canvas;
  EXPECT_FALSE(canvas.dc.SaveBits(foreign, 0, 0));
  EXPECT_FALSE(canvas.dc.RestoreBits(foreign, 0, 0));
}

TEST(ImageContextDevice, ReportsTheImageAsAScreen) {
  Canvas canvas(300, 200);
  const DeviceCaps caps = canvas.dc.GetDeviceCaps();
  EXPECT_FALSE(canvas.dc.IsPrinting());
  EXPECT_EQ(caps.width, 300);
  EXPECT_EQ(caps.height, 200);
  EXPECT_EQ(caps.dpiX, 96);
  EXPECT_EQ(caps.dpiY, 96);
  EXPECT_FALSE(caps.plotter);
  EXPECT_GT(caps.colourBits, 1);
  DeviceCaps odd;
  odd.dpiX = 0;
  canvas.dc.SetDeviceCaps(odd);
  EXPECT_EQ(canvas.dc.GetDeviceCaps().dpiX, kFallbackScreenDpi);
  const DeviceCaps screen = ScreenDeviceCaps();
  EXPECT_GT(screen.dpiX, 0);
  EXPECT_GT(screen.width, 0);
}

TEST(ImageContextDevice, OtherImageFormatsAreTakenAs32BitRgb) {
  QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  CImageContext dc(image);
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  dc.SetPixel(3, 3, MakeColour(0, 0, 255));
  EXPECT_EQ(image.pixel(3, 3), 0xFF0000FFu);
}

}  // namespace
}  // namespace zeph
