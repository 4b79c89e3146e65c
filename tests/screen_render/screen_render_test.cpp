// The screen helpers on the real back buffer: exact pixels where the helpers promise them, and
// a picture of boxes, frames, buttons and fitted texts for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>
#include <set>
#include <utility>

#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/screen.h"

namespace {

using zeph::CImageContext;
using zeph::ColourRef;
using zeph::DcFont;

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;
constexpr QRgb kBlackPixel = 0xFF000000u;
constexpr QRgb kRedPixel = 0xFFFF0000u;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsNot(const QImage& image, QRgb background) {
  PixelSet pixels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) pixels.insert({x, y});
    }
  }
  return pixels;
}

PixelSet BoxPixels(int left, int top, int right, int bottom, bool outlineOnly) {
  PixelSet pixels;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      if (!outlineOnly || x == left || x == right || y == top || y == bottom) {
        pixels.insert({x, y});
      }
    }
  }
  return pixels;
}

struct Canvas {
  explicit Canvas(int width, int height)
      : image(width, height, QImage::Format_RGB32), dc((image.fill(kWhitePixel), image)) {}
  QImage image;
  CImageContext dc;
};

class ScreenRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetScreenState();
    ResetSharedFonts();
  }
  void TearDown() override {
    ResetScreenState();
    ResetSharedFonts();
  }
};

TEST_F(ScreenRenderTest, BoxesAndLinesCoverExactlyTheirPixels) {
  struct Case {
    const char* name;
    void (*draw)(zeph::CDrawContext&);
    PixelSet pixels;
  };
  const Case cases[] = {
      {"one-pixel box", [](zeph::CDrawContext& dc) { FillBox(dc, 3, 4, 3, 4, 0); },
       BoxPixels(3, 4, 3, 4, false)},
      {"box with its edges", [](zeph::CDrawContext& dc) { FillBox(dc, 3, 4, 9, 7, 0); },
       BoxPixels(3, 4, 9, 7, false)},
      {"inside of a 3 x 3 box",
       [](zeph::CDrawContext& dc) { FillBoxInside(dc, 10, 10, 12, 12, 0); },
       BoxPixels(11, 11, 11, 11, false)},
      {"outline", [](zeph::CDrawContext& dc) { DrawBoxOutline(dc, 20, 5, 25, 9, 0, 1); },
       BoxPixels(20, 5, 25, 9, true)},
      {"framed rect",
       [](zeph::CDrawContext& dc) {
         DrawFramedRect(dc, {2, 2, 12, 8}, 0, 0);
       },
       BoxPixels(2, 2, 12, 8, false)},
      {"one-pixel line", [](zeph::CDrawContext& dc) { DrawHorizontalLine(dc, 5, 5, 7, 0); },
       BoxPixels(5, 7, 5, 7, false)},
      {"vertical line with its end",
       [](zeph::CDrawContext& dc) { DrawVerticalLine(dc, 40, 2, 8, 0); },
       BoxPixels(40, 2, 40, 8, false)},
  };
  for (const Case& c : cases) {
    Canvas canvas(60, 40);
    c.draw(canvas.dc);
    EXPECT_EQ(PixelsNot(canvas.image, kWhitePixel), c.pixels) << c.name;
  }
}

TEST_F(ScreenRenderTest, ExclusiveOrLinesDrawnTwiceLeaveNothing) {
  Canvas canvas(40, 20);
  canvas.dc.SetRasterOp(zeph::RasterOp::kXor);
  for (int i = 0; i < 2; ++i) {
    DrawHorizontalLine(canvas.dc, 2, 30, 5, 0x00FFFFFF);
    DrawVerticalLine(canvas.dc, 10, 1, 15, 0x00FFFFFF);
    if (i == 0) {
      EXPECT_EQ(PixelsNot(canvas.image, kWhitePixel).size(), 29u + 15u - 2u);  // one crossing
    }
  }
  EXPECT_TRUE(PixelsNot(canvas.image, kWhitePixel).empty());
}

TEST_F(ScreenRenderTest, SavedAreaPutsBackOnlyTheRectSaved) {
  Canvas canvas(80, 60);
  std::uint32_t state = 7;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      state = state * 1664525u + 1013904223u;
      canvas.image.setPixel(x, y, 0xFF000000u | (state >> 8));
    }
  }
  const QImage original = canvas.image.copy();
  CSavedScreenArea area;
  ASSERT_EQ(area.Save(canvas.dc, {20, 20, 70, 55}), 1);
  ASSERT_EQ(area.Restore(canvas.dc), 1);
  // A smaller area after a larger one, then everything painted over.
  ASSERT_EQ(area.Save(canvas.dc, {5, 5, 15, 10}), 1);
  FillBox(canvas.dc, 0, 0, 79, 59, zeph::MakeColour(255, 0, 0));
  ASSERT_EQ(area.Restore(canvas.dc), 1);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const bool inside = x >= 5 && x < 15 && y >= 5 && y < 10;
      ASSERT_EQ(canvas.image.pixel(x, y), inside ? original.pixel(x, y) : kRedPixel)
          << x << ", " << y;
    }
  }
}

TEST_F(ScreenRenderTest, WidthPercentNarrowsTheRealFont) {
  Canvas canvas(40, 20);
  CFontSpec spec;
  spec.Set(QStringLiteral("Arial"), 20, false, false);
  DcFont normal;
  ASSERT_EQ(spec.CreateFont(&normal, &canvas.dc, 100, 0), 1);
  spec.SetWidthPercent(50);
  DcFont narrow;
  ASSERT_EQ(spec.CreateFont(&narrow, &canvas.dc, 100, 0), 1);
  canvas.dc.SelectFont(normal);
  const int normalAverage = canvas.dc.GetTextMetrics().averageCharWidth;
  const int normalWidth = canvas.dc.GetTextExtent(u"Narrow text").cx;
  EXPECT_EQ(narrow.averageWidth, normalAverage / 2);  // a half goes down
  canvas.dc.SelectFont(narrow);
  EXPECT_NEAR(canvas.dc.GetTextExtent(u"Narrow text").cx, normalWidth / 2, normalWidth / 8 + 2);
}

TEST_F(ScreenRenderTest, WritesAPictureOfTheHelpers) {
  Canvas canvas(760, 400);
  CImageContext& dc = canvas.dc;
  SetUpDisplay(dc);
  ASSERT_EQ(g_displayColourMode, kDisplayExactColours);
  ApplyDormantColour();
  SetTransparentBk(dc);
  dc.SelectFont(GetBoldFont());
  const int line = GetLineHeight(dc);

  // The colour table: three rows of 15 framed swatches, entry 0 at the top left.
  DrawTextAt(dc, 10, 8, u"Colour table", kAlignLeft, -1);
  for (int i = 0; i < kColourTableSize; ++i) {
    const int left = 10 + (i % 15) * 22;
    const int top = 10 + line + (i / 15) * 22;
    DrawFramedBoxUi(dc, left, top, left + 19, top + 19, kUiBlack, i);
  }
  FillBox(dc, 350, 10 + line, 369, 29 + line, g_highlightColour);
  FillBox(dc, 372, 10 + line, 391, 29 + line, g_highlightFillColour);
  DrawTextAt(dc, 396, 14 + line, u"highlights", kAlignLeft, -1);

  // Boxes, frames, lines, a polygon and a gradient.
  int y = 100;
  DrawBoxOutlineUi(dc, 10, y, 50, y + 30, kUiBlack, 1);
  DrawBoxOutlineUi(dc, 60, y, 100, y + 30, kUiBlue, 3);
  DrawFramedRectUi(dc, {110, y, 150, y + 30}, kUiRed, 25);
  FillBoxUi(dc, 160, y, 200, y + 30, 18);
  FillBoxInsideUi(dc, 160, y, 200, y + 30, 32);
  for (int i = 0; i < 5; ++i) {
    DrawHorizontalLineUi(dc, 210, 250, y + 2 + 6 * i, i);
    DrawVerticalLineUi(dc, 256 + 6 * i, y, y + 30, 9 + i);
  }
  const zeph::DcPoint triangle[] = {{300, y + 30}, {320, y}, {340, y + 30}};
  FillPolygon(dc, triangle, UiColour(42));
  FillVerticalGradient(dc, 350, y, 450, y + 30, UiColour(9), UiColour(15));
  FillVerticalGradient(dc, 460, y, 540, y + 30, UiColour(28), UiColour(2));

  // Arrow buttons, raised and pressed, on a light panel so that their white edges show, and
  // tick marks of growing thickness.
  y = 150;
  FillBoxUi(dc, 4, y - 6, 203, y + 25, 24);
  for (int arrow = 0; arrow < 4; ++arrow) {
    for (int pressed = 0; pressed < 2; ++pressed) {
      const int left = 10 + (arrow * 2 + pressed) * 24;
      Draw3dArrowButton(dc, {left, y, left + 19, y + 19}, arrow, pressed);
    }
  }
  for (int thickness = 1; thickness <= 3; ++thickness) {
    const int left = 220 + (thickness - 1) * 36;
    DrawFramedBoxUi(dc, left, y - 5, left + 29, y + 24, kUiGrey, kUiWhite);
    DrawTickMark(dc, left, y - 5, left + 29, y + 24, 4, thickness);
  }

  // One line of text in a box (marked by its outline one pixel outside): left, centred,
  // right, and a text too wide for the box, which is clipped and drawn from the left.
  y = 190;
  const char16_t* const words[] = {u"Left", u"Centre", u"Right", u"Far too wide for the box"};
  for (int i = 0; i < 4; ++i) {
    const int left = 10 + i * 130;
    const int right = left + 110;
    DrawBoxOutlineUi(dc, left - 1, y - 1, right + 1, y + line, kUiSilver, 1);
    SetTextColourUi(dc, i == 3 ? kUiRed : kUiBlack);
    DrawTextInBox(dc, left, y, words[i], right, i < 3 ? i : kAlignRight);
  }
  SetTextColourUi(dc, kUiBlack);
  SetOpaqueBkColourUi(dc, 41);
  DrawTextLine(dc, 10, y + line + 6, u"An opaque line fills its box", 300);
  SetTransparentBk(dc);
  DrawNumberInBox(dc, 320, y + line + 6, 3.14159, 420, kAlignRight);

  // Fitted texts: the characters that fit a width (blue mark), rounded down and to the nearer.
  y = 250;
  const QString sample = QStringLiteral("Fitting a long sentence into a narrow space");
  for (int i = 0; i < 3; ++i) {
    const int width = 90 + 70 * i;
    const int top = y + i * (2 * line + 4);
    const int down = FitTextToWidth(dc, sample, width, 0, -1, 1);
    const int nearer = FitTextToWidth(dc, sample, width, 1, -1, 1);
    EXPECT_LE(GetTextWidth(dc, sample, down, 1), width);
    EXPECT_GT(GetTextWidth(dc, sample, down + 1, 1), width);
    EXPECT_TRUE(nearer == down || nearer == down + 1);
    DrawVerticalLineUi(dc, 10 + width, top - 2, top + 2 * line, kUiBlue);
    DrawTextAt(dc, 10, top, sample, kAlignLeft, down);
    SetTextColourUi(dc, 4);
    DrawTextAt(dc, 10, top + line, sample, kAlignLeft, nearer);
    SetTextColourUi(dc, kUiBlack);
  }

  // Font descriptions, each drawn in its own font.
  struct Face {
    const char* face;
    std::int16_t size;
    bool bold;
    bool italic;
    std::int16_t width;
  };
  const Face faces[] = {
      {"Arial", 10, false, false, 100},         {"Times New Roman", 12, true, false, 100},
      {"Courier New", 10, false, true, 100},    {"Arial", 10, false, false, 60},
      {"Times New Roman", 14, true, true, 130},
  };
  int top = 250;
  for (const Face& f : faces) {
    CFontSpec spec;
    spec.Set(QString::fromLatin1(f.face), f.size, f.bold, f.italic);
    spec.SetWidthPercent(f.width);
    DcFont font;
    ASSERT_EQ(spec.CreateFont(&font, &dc, 100, 0), 1);
    QString text;
    spec.GetDescription(text);
    if (f.width != 100) text += QStringLiteral(" at ") + QString::number(f.width) + u'%';
    dc.SelectFont(font);
    DrawTextAt(dc, 290, top, text, kAlignLeft, -1);
    top += GetLineHeight(dc) + 2;
  }

  const QString folder = QStringLiteral(ZEPH_RENDER_DIR);
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_TRUE(canvas.image.save(folder + QStringLiteral("/screen_helpers.png")));
  EXPECT_GT(PixelsNot(canvas.image, kWhitePixel).size(), 5000u);
  // Entry 12 of the table shows as pure red in its swatch.
  EXPECT_EQ(canvas.image.pixel(10 + 12 * 22 + 10, 10 + line + 10), kRedPixel);
  EXPECT_EQ(canvas.image.pixel(10 + 10, 10 + line + 10), kBlackPixel);
}

}  // namespace
