// Text on the back buffer. Expected places and sizes come from the context's own measures,
// never from numbers of the machine's fonts.
#include "pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zeph {
namespace {

using testing::BoundsOf;
using testing::Canvas;
using testing::kBlack;
using testing::kWhite;
using testing::Pixel;
using testing::PixelSet;
using testing::PixelsNot;
using testing::PixelsOf;

constexpr QRgb kRed = 0xFFFF0000u;

DcFont Font(const char* face, int height, int escapement = 0) {
  DcFont font;
  font.face = QString::fromLatin1(face);
  font.height = height;
  font.escapement = escapement;
  return font;
}

TEST(ImageContextText, MetricsAndExtentsAgree) {
  Canvas canvas;
  for (const char* face : {"Arial", "Times New Roman", "Courier New", "Verdana"}) {
    SCOPED_TRACE(face);
    canvas.dc.SelectFont(Font(face, 20));
    const TextMetrics tm = canvas.dc.GetTextMetrics();
    EXPECT_EQ(tm.height, tm.ascent + tm.descent);
    EXPECT_GT(tm.ascent, 0);
    EXPECT_GE(tm.height, 20);
    EXPECT_EQ(tm.internalLeading, tm.height - 20);
    EXPECT_GE(tm.externalLeading, 0);
    EXPECT_GT(tm.averageCharWidth, 0);
    EXPECT_GE(tm.maxCharWidth, tm.averageCharWidth);
    EXPECT_FALSE(tm.italic);
    EXPECT_EQ(canvas.dc.GetTextExtent(u""), (DcSize{0, tm.height}));
    EXPECT_GT(canvas.dc.GetTextExtent(u"ab").cx, canvas.dc.GetTextExtent(u"a").cx);
    EXPECT_EQ(canvas.dc.GetTextExtent(u"ab").cy, tm.height);
  }
  DcFont italic = Font("Arial", 20);
  italic.italic = true;
  canvas.dc.SelectFont(italic);
  EXPECT_TRUE(canvas.dc.GetTextMetrics().italic);
}

TEST(ImageContextText, FacesResolveToTheirStandIns) {
  Canvas canvas;
  canvas.dc.SelectFont(Font("Arial", 18));
  const DcSize arial = canvas.dc.GetTextExtent(u"Sample text");
  canvas.dc.SelectFont(Font("Liberation Sans", 18));
  EXPECT_EQ(canvas.dc.GetTextExtent(u"Sample text"), arial);
  canvas.dc.SelectFont(Font("Courier New", 18));  // fixed pitch
  EXPECT_EQ(canvas.dc.GetTextExtent(u"iiii").cx, canvas.dc.GetTextExtent(u"WWWW").cx);
  canvas.dc.SelectFont(Font("Arial", 18));
  EXPECT_LT(canvas.dc.GetTextExtent(u"iiii").cx, canvas.dc.GetTextExtent(u"WWWW").cx);
}

TEST(ImageContextText, AverageWidthStretchesTheFont) {
  Canvas canvas;
  DcFont font = Font("Arial", 20);
  canvas.dc.SelectFont(font);
  const int normalAverage = canvas.dc.GetTextMetrics().averageCharWidth;
  const int normal = canvas.dc.GetTextExtent(u"Stretched text").cx;
  font.averageWidth = 2 * normalAverage;
  canvas.dc.SelectFont(font);
  EXPECT_NEAR(canvas.dc.GetTextMetrics().averageCharWidth, 2 * normalAverage, 2);
  EXPECT_NEAR(canvas.dc.GetTextExtent(u"Stretched text").cx, 2 * normal, normal / 10 + 2);
  font.averageWidth = (normalAverage + 1) / 2;
  canvas.dc.SelectFont(font);
  EXPECT_NEAR(canvas.dc.GetTextExtent(u"Stretched text").cx, normal / 2, normal / 10 + 2);
}

// The opaque background is exactly the text's box: top-aligned at the anchor, placed by the
// alignment.
TEST(ImageContextText, OpaqueBoxFollowsAlignment) {
  struct Case {
    TextAlign align;
    int shiftTimesTwo;  // the box's left edge from the anchor, in halves of its width
  };
  for (const Case& c :
       {Case{TextAlign::kLeft, 0}, Case{TextAlign::kCentre, -1}, Case{TextAlign::kRight, -2}}) {
    Canvas canvas(300, 120);
    canvas.dc.SelectFont(Font("Arial", 20));
    canvas.dc.SetBkColour(MakeColour(255, 0, 0));
    canvas.dc.SetTextAlign(c.align);
    canvas.dc.TextOut(150, 40, u"Hello");
    const DcSize size = canvas.dc.GetTextExtent(u"Hello");
    const PixelSet pixels = PixelsNot(canvas.image);
    const int left = c.shiftTimesTwo == 0    ? 150
                     : c.shiftTimesTwo == -1 ? 150 - size.cx / 2
                                             : 150 - size.cx;
    const testing::Bounds b = BoundsOf(pixels);
    EXPECT_EQ(b.left, left);
    EXPECT_EQ(b.right, left + size.cx - 1);
    EXPECT_EQ(b.top, 40);
    EXPECT_EQ(b.bottom, 40 + size.cy - 1);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(size.cx * size.cy));
    EXPECT_FALSE(PixelsOf(canvas.image, kBlack).empty());  // the text in its colour
  }
}

TEST(ImageContextText, TransparentTextLeavesTheBackgroundAndWipesOffExactly) {
  for (int escapement : {0, 300, 900}) {
    SCOPED_TRACE(escapement);
    Canvas canvas(300, 200);
    canvas.dc.SelectFont(Font("Times New Roman", 22, escapement));
    canvas.dc.SetBkMode(BkMode::kTransparent);
    canvas.dc.SetBkColour(MakeColour(255, 0, 0));
    canvas.dc.SetTextColour(MakeColour(0, 0, 255));
    canvas.dc.TextOut(100, 150, u"Wipe me off");
    const PixelSet ink = PixelsNot(canvas.image);
    EXPECT_FALSE(ink.empty());
    EXPECT_TRUE(PixelsOf(canvas.image, kRed).empty());
    EXPECT_EQ(PixelsOf(canvas.image, 0xFF0000FFu), ink);  // no antialiased shades
    // Drawing it again in the background colour leaves nothing behind.
    canvas.dc.SetTextColour(0x00FFFFFF);
    canvas.dc.TextOut(100, 150, u"Wipe me off");
    EXPECT_TRUE(PixelsNot(canvas.image).empty());
  }
}

// Turned text turns about its anchor: the box keeps its corner there.
TEST(ImageContextText, TurnedTextTurnsAboutItsAnchor) {
  for (int escapement : {900, 1800, 2700, 300, -450, 3600}) {
    SCOPED_TRACE(escapement);
    Canvas canvas(300, 300);
    canvas.dc.SelectFont(Font("Arial", 20, escapement));
    canvas.dc.SetBkColour(MakeColour(255, 0, 0));
    const DcPoint anchor{150, 150};
    canvas.dc.TextOut(anchor.x, anchor.y, u"Turned");
    const DcSize size = canvas.dc.GetTextExtent(u"Turned");
    const double angle = escapement / 10.0 * std::numbers::pi / 180;
    // Along the base line (counter-clockwise on the page) and down the text.
    const double ux = std::cos(angle), uy = -std::sin(angle);
    const double vx = std::sin(angle), vy = std::cos(angle);
    const PixelSet pixels = PixelsNot(canvas.image);
    double minAlong = 1e9, maxAlong = -1e9, minDown = 1e9, maxDown = -1e9;
    for (const Pixel& p : pixels) {
      const double dx = p.x + 0.5 - anchor.x, dy = p.y + 0.5 - anchor.y;
      const double along = dx * ux + dy * uy, down = dx * vx + dy * vy;
      minAlong = std::min(minAlong, along);
      maxAlong = std::max(maxAlong, along);
      minDown = std::min(minDown, down);
      maxDown = std::max(maxDown, down);
    }
    EXPECT_NEAR(minAlong, 0, 1.5);
    EXPECT_NEAR(maxAlong, size.cx, 1.5);
    EXPECT_NEAR(minDown, 0, 1.5);
    EXPECT_NEAR(maxDown, size.cy, 1.5);
    EXPECT_NEAR(static_cast<double>(pixels.size()), double(size.cx) * size.cy,
                2.0 * (size.cx + size.cy));
  }
  // A quarter turn exactly: the box stands right of the anchor and above it.
  Canvas canvas(300, 300);
  canvas.dc.SelectFont(Font("Arial", 20, 900));
  canvas.dc.SetBkColour(MakeColour(255, 0, 0));
  canvas.dc.TextOut(150, 150, u"Up");
  const DcSize size = canvas.dc.GetTextExtent(u"Up");
  const testing::Bounds b = BoundsOf(PixelsNot(canvas.image));
  EXPECT_EQ(b.left, 150);
  EXPECT_EQ(b.right, 150 + size.cy - 1);
  EXPECT_EQ(b.bottom, 149);
  EXPECT_EQ(b.top, 150 - size.cx);
}

TEST(ImageContextText, ClippedTextStaysInsideItsClip) {
  Canvas canvas(300, 120);
  canvas.dc.SelectFont(Font("Arial", 30));
  canvas.dc.SetBkColour(MakeColour(255, 0, 0));
  canvas.dc.TextOutClipped(20, 20, {40, 25, 90, 45}, u"Clipped text");
  const PixelSet pixels = PixelsNot(canvas.image);
  EXPECT_EQ(pixels.size(), 50u * 20);  // the opaque box fills the whole clip
  const testing::Bounds b = BoundsOf(pixels);
  EXPECT_EQ(b.left, 40);
  EXPECT_EQ(b.right, 89);
  EXPECT_EQ(b.top, 25);
  EXPECT_EQ(b.bottom, 44);
  // The context's clip applies as well.
  Canvas both(300, 120);
  both.dc.SelectFont(Font("Arial", 30));
  both.dc.SetClipRect({0, 0, 60, 120});
  both.dc.TextOutClipped(20, 20, {40, 25, 90, 45}, u"Clipped text");
  EXPECT_EQ(BoundsOf(PixelsNot(both.image)).right, 59);
}

TEST(ImageContextText, TextIgnoresTheRasterOpAndFollowsTheOrigin) {
  Canvas xored(300, 120);
  xored.dc.SelectFont(Font("Arial", 20));
  xored.dc.SetRasterOp(RasterOp::kXor);
  xored.dc.SetWindowOrigin({-10, -20});
  xored.dc.TextOut(20, 10, u"Twice");
  xored.dc.TextOut(20, 10, u"Twice");
  Canvas plain(300, 120);
  plain.dc.SelectFont(Font("Arial", 20));
  plain.dc.TextOut(30, 30, u"Twice");
  EXPECT_EQ(xored.image, plain.image);
  EXPECT_FALSE(PixelsNot(plain.image).empty());
}

}  // namespace
}  // namespace zeph
