#include "platform/drawcontext.h"
#include "platform/recordingcontext.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zeph {
namespace {

using ::testing::ElementsAre;

TEST(DrawContextColours, ChannelsOfABgrValue) {
  constexpr ColourRef c = MakeColour(0x12, 0x34, 0x56);
  EXPECT_EQ(c, 0x00563412u);
  EXPECT_EQ(RedOf(c | kPaletteColourFlag), 0x12);
  EXPECT_EQ(GreenOf(c | kPaletteColourFlag), 0x34);
  EXPECT_EQ(BlueOf(c | kPaletteColourFlag), 0x56);
}

TEST(DrawContextFonts, FacesResolveToInstalledFaces) {
  struct Case {
    const char* asked;
    const char* resolved;
  };
  const Case cases[] = {
      {"Arial", "Liberation Sans"},
      {"arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"COURIER NEW", "Liberation Mono"},
      {"Liberation Serif", "Liberation Serif"},
      {"DejaVu Sans Mono", "DejaVu Sans Mono"},
      {"Verdana", "DejaVu Sans"},
      {"Segoe UI", "DejaVu Sans"},
      {"MS Sans Serif", "DejaVu Sans"},
      {"", "DejaVu Sans"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveFontFace(QString::fromLatin1(c.asked)), QString::fromLatin1(c.resolved))
        << c.asked;
  }
}

// Styled lines divide by the resolution: a device that reports none still gives one.
TEST(DrawContextDevice, ResolutionIsNeverZero) {
  CRecordingContext dc;
  DeviceCaps caps;
  caps.dpiX = 0;
  caps.dpiY = -5;
  dc.SetDeviceCaps(caps);
  EXPECT_EQ(dc.GetDeviceCaps().dpiX, kFallbackScreenDpi);
  EXPECT_EQ(dc.GetDeviceCaps().dpiY, kFallbackScreenDpi);
  dc.SetPrinting(true);
  EXPECT_EQ(dc.GetDeviceCaps().dpiX, kFallbackPrinterDpi);
  EXPECT_EQ(dc.GetDeviceCaps().dpiY, kFallbackPrinterDpi);
  caps.dpiX = 600;
  caps.dpiY = 300;
  dc.SetDeviceCaps(caps);
  EXPECT_EQ(dc.GetDeviceCaps().dpiX, 600);
  EXPECT_EQ(dc.GetDeviceCaps().dpiY, 300);
}

TEST(DrawContextDevice, NearestColourOnColourAndMonochromeDevices) {
  CRecordingContext dc;
  EXPECT_EQ(dc.GetNearestColour(0x0080FF00), 0x0080FF00u);
  EXPECT_EQ(dc.GetNearestColour(0x02123456), 0x00123456u);  // palette flag dropped
  DeviceCaps caps;
  caps.colourBits = 1;
  dc.SetDeviceCaps(caps);
  EXPECT_EQ(dc.GetNearestColour(MakeColour(255, 255, 0)), 0x00FFFFFFu);
  EXPECT_EQ(dc.GetNearestColour(MakeColour(0, 0, 255)), 0u);
}

// A new context has the defaults the program's drawing code assumes when it sets nothing.
TEST(DrawContextState, DefaultsOfANewContext) {
  CRecordingContext dc;
  EXPECT_EQ(dc.GetPen(), (DcPen{PenStyle::kSolid, 1, 0}));
  EXPECT_EQ(dc.GetBrush(), (DcBrush{BrushStyle::kSolid, 0x00FFFFFF}));
  EXPECT_EQ(dc.GetFont(), SystemFont());
  EXPECT_EQ(dc.GetRasterOp(), RasterOp::kCopy);
  EXPECT_EQ(dc.GetTextColour(), 0u);
  EXPECT_EQ(dc.GetBkColour(), 0x00FFFFFFu);
  EXPECT_EQ(dc.GetBkMode(), BkMode::kOpaque);
  EXPECT_EQ(dc.GetTextAlign(), TextAlign::kLeft);
  EXPECT_EQ(dc.GetWindowOrigin(), (DcPoint{0, 0}));
  EXPECT_FALSE(dc.IsPrinting());
}

// Every setter answers what it replaced, so that callers can put it back.
TEST(DrawContextState, SettersAnswerThePreviousValue) {
  CRecordingContext dc;
  const DcPen thick{PenStyle::kGeometricFlat, 5, 0x0000FF};
  EXPECT_EQ(dc.SelectPen(thick), (DcPen{}));
  EXPECT_EQ(dc.SelectPen(DcPen{}), thick);

  const DcBrush none{BrushStyle::kNull, 0};
  EXPECT_EQ(dc.SelectBrush(none), (DcBrush{}));
  EXPECT_EQ(dc.GetBrush(), none);

  DcFont font;
  font.face = QStringLiteral("Arial");
  font.height = 20;
  font.escapement = 900;
  EXPECT_EQ(dc.SelectFont(font), SystemFont());
  EXPECT_EQ(dc.SelectFont(SystemFont()), font);

  EXPECT_EQ(dc.SetRasterOp(RasterOp::kXor), RasterOp::kCopy);
  EXPECT_EQ(dc.SetRasterOp(RasterOp::kCopy), RasterOp::kXor);
  EXPECT_EQ(dc.SetTextColour(0x00FF0000), 0u);
  EXPECT_EQ(dc.SetBkColour(0), 0x00FFFFFFu);
  EXPECT_EQ(dc.SetBkMode(BkMode::kTransparent), BkMode::kOpaque);
  EXPECT_EQ(dc.SetTextAlign(TextAlign::kRight), TextAlign::kLeft);
  EXPECT_EQ(dc.MoveTo(3, 4), (DcPoint{0, 0}));
  EXPECT_EQ(dc.OffsetWindowOrigin(-10, -20), (DcPoint{0, 0}));
  EXPECT_EQ(dc.OffsetWindowOrigin(10, 20), (DcPoint{-10, -20}));
  EXPECT_EQ(dc.GetWindowOrigin(), (DcPoint{0, 0}));
}

TEST(RecordingContext, RecordsCallsInOrder) {
  CRecordingContext dc;
  const DcPen previous = dc.SelectPen({PenStyle::kSolid, 2, MakeColour(255, 0, 0)});
  const RasterOp op = dc.SetRasterOp(RasterOp::kXor);
  dc.MoveTo(1, 2);
  dc.LineTo(10, 20);
  dc.SetPixel(10, 20, 0x02FFFFFF);
  dc.SetRasterOp(op);
  dc.SelectPen(previous);
  dc.SelectBrush({BrushStyle::kNull, 0});
  dc.Ellipse(0, 0, 11, 7);
  EXPECT_TRUE(dc.Arc(0, 0, 11, 7, 11, 3, 5, 0));
  dc.PolyBezier({DcPoint{0, 0}, DcPoint{1, 5}, DcPoint{4, 5}, DcPoint{5, 0}});
  const DcPoint triangle[] = {{0, 0}, {4, 0}, {0, 3}};
  dc.Polygon(triangle);
  dc.FillRect({1, 2, 3, 4}, 0x00808080);
  dc.SetBkMode(BkMode::kTransparent);
  dc.SetTextAlign(TextAlign::kCentre);
  dc.TextOut(5, 6, u"abc");
  dc.TextOutClipped(5, 6, {0, 0, 8, 9}, u"d e");
  EXPECT_THAT(
      dc.Lines(),
      ElementsAre("SelectPen solid 2 0x000000ff", "SetRasterOp xor", "MoveTo 1 2", "LineTo 10 20",
                  "SetPixel 10 20 0x02ffffff", "SetRasterOp copy", "SelectPen solid 1 0x00000000",
                  "SelectBrush null", "Ellipse 0 0 11 7", "Arc 0 0 11 7 11 3 5 0",
                  "PolyBezier 0 0 1 5 4 5 5 0", "Polygon 0 0 4 0 0 3",
                  "FillRect 1 2 3 4 0x00808080", "SetBkMode transparent", "SetTextAlign centre",
                  "TextOut 5 6 \"abc\"", "TextOutClipped 5 6 0 0 8 9 \"d e\""));
  // The state in effect travels with each drawing call.
  const DcCall& line = dc.calls()[3];
  EXPECT_EQ(line.op, DcOp::kLineTo);
  EXPECT_EQ(line.rasterOp, RasterOp::kXor);
  EXPECT_EQ(line.pen.width, 2);
  EXPECT_THAT(line.points, ElementsAre(DcPoint{1, 2}, DcPoint{10, 20}));
  EXPECT_EQ(dc.GetCurrentPosition(), (DcPoint{10, 20}));
  EXPECT_EQ(dc.calls()[8].brush.style, BrushStyle::kNull);
  EXPECT_EQ(dc.calls()[15].text, QStringLiteral("abc"));
  EXPECT_EQ(dc.calls()[15].bkMode, BkMode::kTransparent);
  EXPECT_EQ(dc.calls()[15].textAlign, TextAlign::kCentre);
  dc.Clear();
  EXPECT_TRUE(dc.calls().empty());
}

TEST(RecordingContext, FontSelectionIsRecordedWithAllItsParts) {
  CRecordingContext dc;
  DcFont font;
  font.face = QStringLiteral("Times New Roman");
  font.height = 14;
  font.averageWidth = 3;
  font.escapement = -450;
  font.bold = true;
  font.italic = true;
  dc.SelectFont(font);
  EXPECT_THAT(dc.Lines(), ElementsAre("SelectFont \"Times New Roman\" 14 w3 e-450 bold italic"));
}

TEST(RecordingContext, ClipBoxFollowsClipOriginAndDevice) {
  CRecordingContext dc(200, 100);
  EXPECT_EQ(dc.GetClipBox(), (DcRect{0, 0, 200, 100}));
  dc.SetClipRect({-50, 10, 60, 500});
  EXPECT_EQ(dc.GetClipBox(), (DcRect{0, 10, 60, 100}));
  // The clip stays on the device when the origin moves; the box is given in the new frame.
  dc.SetWindowOrigin({-100, -100});
  EXPECT_EQ(dc.GetClipBox(), (DcRect{-100, -90, -40, 0}));
  dc.SetClipRect({-100, -100, -99, -99});
  EXPECT_EQ(dc.GetClipBox(), (DcRect{-100, -100, -99, -99}));
  dc.SetClipRect({5, 5, 5, 50});
  EXPECT_TRUE(dc.GetClipBox().IsEmpty());
  dc.ResetClip();
  EXPECT_EQ(dc.GetClipBox(), (DcRect{-100, -100, 100, 0}));
}

TEST(RecordingContext, FailuresCanBeInjectedForSavedBitsAndArcs) {
  CRecordingContext dc;
  std::unique_ptr<CSavedBits> bits = dc.CreateSavedBits(10, 4);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits->Width(), 10);
  EXPECT_EQ(bits->Height(), 4);
  EXPECT_TRUE(dc.SaveBits(*bits, 1, 2));
  EXPECT_TRUE(dc.RestoreBits(*bits, 1, 2));
  dc.SetFailing(DcOp::kSaveBits, true);
  dc.SetFailing(DcOp::kRestoreBits, true);
  dc.SetFailing(DcOp::kArc, true);
  EXPECT_FALSE(dc.SaveBits(*bits, 1, 2));
  EXPECT_FALSE(dc.RestoreBits(*bits, 1, 2));
  EXPECT_FALSE(dc.Arc(0, 0, 10, 10, 1, 1, 2, 2));
  dc.SetFailing(DcOp::kCreateSavedBits, true);
  EXPECT_EQ(dc.CreateSavedBits(10, 4), nullptr);
  dc.SetFailing(DcOp::kCreateSavedBits, false);
  EXPECT_NE(dc.CreateSavedBits(10, 4), nullptr);
  EXPECT_EQ(dc.CreateSavedBits(0, 4), nullptr);
  EXPECT_THAT(dc.Lines(),
              ElementsAre("CreateSavedBits 10 4", "SaveBits 10 4 1 2", "RestoreBits 10 4 1 2",
                          "SaveBits 10 4 1 2", "RestoreBits 10 4 1 2", "Arc 0 0 10 10 1 1 2 2",
                          "CreateSavedBits 10 4", "CreateSavedBits 10 4", "CreateSavedBits 0 4"));
}

TEST(RecordingContext, AnArcInAnEmptyBoxFails) {
  CRecordingContext dc;
  EXPECT_FALSE(dc.Arc(5, 5, 5, 10, 0, 0, 1, 1));
  EXPECT_TRUE(dc.Arc(5, 5, 6, 10, 0, 0, 1, 1));
}

// The fake font's metrics are fixed, so that layout can be tested exactly.
TEST(RecordingContextFakeFont, MetricsFollowTheHeight) {
  struct Case {
    int height;
    int averageWidth;
    TextMetrics expected;
  };
  const Case cases[] = {
      {16, 0, {20, 17, 3, 4, 2, 8, 12, false}}, {10, 0, {12, 10, 2, 2, 1, 5, 7, false}},
      {1, 0, {1, 1, 0, 0, 0, 1, 1, false}},     {0, 0, {1, 1, 0, 0, 0, 1, 1, false}},
      {16, 3, {20, 17, 3, 4, 2, 3, 4, false}},
  };
  for (const Case& c : cases) {
    DcFont font;
    font.height = c.height;
    font.averageWidth = c.averageWidth;
    const TextMetrics tm = FakeTextMetrics(font);
    EXPECT_EQ(tm.height, c.expected.height) << c.height;
    EXPECT_EQ(tm.ascent, c.expected.ascent) << c.height;
    EXPECT_EQ(tm.descent, c.expected.descent) << c.height;
    EXPECT_EQ(tm.internalLeading, c.expected.internalLeading) << c.height;
    EXPECT_EQ(tm.externalLeading, c.expected.externalLeading) << c.height;
    EXPECT_EQ(tm.averageCharWidth, c.expected.averageCharWidth) << c.height;
    EXPECT_EQ(tm.maxCharWidth, c.expected.maxCharWidth) << c.height;
    EXPECT_EQ(tm.ascent + tm.descent, tm.height);
  }
}

TEST(RecordingContextFakeFont, ExtentsAddCharacterWidths) {
  CRecordingContext dc;
  DcFont font;
  font.height = 16;  // average 8: narrow 4, wide 12
  font.italic = true;
  font.escapement = 900;  // turning changes no extent
  dc.SelectFont(font);
  EXPECT_EQ(dc.GetTextExtent(u""), (DcSize{0, 20}));
  EXPECT_EQ(dc.GetTextExtent(u"ab"), (DcSize{16, 20}));
  EXPECT_EQ(dc.GetTextExtent(u"il"), (DcSize{8, 20}));
  EXPECT_EQ(dc.GetTextExtent(u"Wm"), (DcSize{24, 20}));
  EXPECT_EQ(dc.GetTextExtent(u"a i W"), (DcSize{8 + 8 + 4 + 8 + 12, 20}));
  EXPECT_TRUE(dc.GetTextMetrics().italic);
  font.height = 2;  // average 1: narrow characters keep a width of 1
  dc.SelectFont(font);
  EXPECT_EQ(dc.GetTextExtent(u"ii"), (DcSize{2, 2}));
}

}  // namespace
}  // namespace zeph
