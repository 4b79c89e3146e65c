#include "support/screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <string>
#include <vector>

#include "platform/recordingcontext.h"
#include "support/log.h"
#include "support/options.h"

namespace {

using ::testing::ElementsAre;
using zeph::ColourRef;
using zeph::CRecordingContext;
using zeph::DcOp;

QString Q(const char* text) { return QString::fromUtf8(text); }

QList<QString> Lines(std::initializer_list<const char*> lines) {
  QList<QString> result;
  for (const char* line : lines) result.push_back(Q(line));
  return result;
}

// The fake font of the recording context at 16 pixels: average width 8, narrow letters 4,
// wide ones 12; line height 20 + 2.
zeph::DcFont FakeFont(bool italic = false) {
  zeph::DcFont font;
  font.face = Q("Arial");
  font.height = 16;
  font.italic = italic;
  return font;
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    m_dc.SelectFont(FakeFont());
    m_dc.Clear();
  }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    SetColourSchemePalette(nullptr);
  }

  void ExpectGlitch(int code, int n) {
    EXPECT_EQ(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, n);
  }

  CRecordingContext m_dc;
};

// ---- Colour table ----

TEST_F(ScreenTest, ColourTableHoldsPaletteRelativeColours) {
  ASSERT_EQ(g_defaultColours.size(), 45u);
  EXPECT_EQ(g_colourTable[0], 0x02000000u);
  EXPECT_EQ(g_colourTable[15], 0x02FFFFFFu);
  EXPECT_EQ(g_colourTable[18], 0x02FFE0C4u);  // 196, 224, 255
  EXPECT_EQ(g_colourTable[28], 0x0204D0E1u);  // 225, 208, 4
  EXPECT_EQ(g_colourTable[44], 0x02FFFFB9u);  // 185, 255, 255
  for (std::size_t i = 0; i < g_defaultColours.size(); ++i) {
    const RgbTriple& rgb = g_defaultColours[i];
    EXPECT_EQ(g_colourTable[i],
              zeph::kPaletteColourFlag | zeph::MakeColour(rgb.red, rgb.green, rgb.blue))
        << i;
  }
  EXPECT_EQ(g_foregroundColour, g_colourTable[0]);
  EXPECT_EQ(g_backgroundColour, g_colourTable[15]);
  // An index outside the table draws in entry 0 rather than reading past it.
  EXPECT_EQ(UiColour(45), g_colourTable[0]);
  EXPECT_EQ(UiColour(-1), g_colourTable[0]);
}

TEST_F(ScreenTest, PaletteScreenWithoutOurPaletteGetsPlainColours) {
  g_displayColourMode = kDisplayPaletteWithout;
  SetUpUiColours();
  // Entry -> the entry whose default colour it takes.
  const int plain[45] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                         15, 12, 14, 11, 11, 14, 13, 10, 11, 24, 25, 14, 14, 14, 11,
                         3,  14, 9,  2,  12, 2,  9,  14, 15, 39, 40, 14, 2,  10, 11};
  for (int i = 0; i < 45; ++i) {
    const RgbTriple& rgb = g_defaultColours[static_cast<std::size_t>(plain[i])];
    EXPECT_EQ(g_colourTable[static_cast<std::size_t>(i)],
              zeph::kPaletteColourFlag | zeph::MakeColour(rgb.red, rgb.green, rgb.blue))
        << i;
  }
  EXPECT_EQ(g_colourTable[16], g_colourTable[12]);

  // Back on an exact screen the pastels return.
  g_displayColourMode = kDisplayExactColours;
  SetUpUiColours();
  EXPECT_EQ(g_colourTable[16], 0x02A0A0FFu);
}

TEST_F(ScreenTest, DormantColourChoosesTheHighlightEntries) {
  struct Case {
    std::int16_t option;
    int highlight;
    int fill;
  };
  const Case cases[] = {
      {0, 8, 24},  {1, 34, 25}, {2, 28, 20}, {3, 30, 44}, {4, 35, 22},
      {5, 17, 31}, {6, 40, 21}, {7, 8, 24},  {-1, 8, 24},
  };
  for (const Case& c : cases) {
    g_optionShorts[kOptionDormantColour] = c.option;
    ApplyDormantColour();
    EXPECT_EQ(g_highlightColour, g_colourTable[static_cast<std::size_t>(c.highlight)]) << c.option;
    EXPECT_EQ(g_highlightFillColour, g_colourTable[static_cast<std::size_t>(c.fill)]) << c.option;
  }
}

// ---- Display set-up ----

class FakeSchemes final : public IColourSchemePalette {
 public:
  int GetSchemePaletteEntryCount() const override { return 4; }
  int AddSchemeColoursToPalette(CLogicalPalette& palette, int first) override {
    int i = first;
    for (; i < first + 4 && i < static_cast<int>(palette.entries.size()); ++i) {
      palette.entries[static_cast<std::size_t>(i)] = {10, 20, static_cast<std::uint8_t>(i), 0};
    }
    return i - 1;
  }
};

int g_realisedEntries = 0;
std::size_t g_paletteSizeSeen = 0;
int RealiseFake(zeph::CDrawContext&, const CLogicalPalette& palette) {
  g_paletteSizeSeen = palette.entries.size();
  return g_realisedEntries;
}

TEST_F(ScreenTest, SetUpDisplayReadsTheScreenOnce) {
  zeph::DeviceCaps caps;
  caps.width = 1920;
  caps.height = 1080;
  caps.dpiX = 120;
  caps.dpiY = 144;
  m_dc.SetDeviceCaps(caps);
  SetUpDisplay(m_dc);
  EXPECT_EQ(g_displaySetUpDone, 1);
  EXPECT_EQ(g_screenWidth, 1920);
  EXPECT_EQ(g_screenHeight, 1080);
  EXPECT_EQ(g_screenDpiX, 120);
  EXPECT_EQ(g_screenDpiY, 144);
  EXPECT_EQ(g_displayColourMode, kDisplayExactColours);
  EXPECT_EQ(g_palette, nullptr);
  EXPECT_EQ(g_colourTable[16], 0x02A0A0FFu);

  CRecordingContext other(640, 480);
  SetUpDisplay(other);
  EXPECT_EQ(g_screenWidth, 1920);
}

TEST_F(ScreenTest, SetUpDisplayNeverTakesAResolutionOfZero) {
  zeph::DeviceCaps caps;
  caps.width = 800;
  caps.height = 600;
  caps.dpiX = 0;
  caps.dpiY = -3;
  m_dc.SetDeviceCaps(caps);
  SetUpDisplay(m_dc);
  EXPECT_EQ(g_screenDpiX, 96);
  EXPECT_EQ(g_screenDpiY, 96);
}

TEST_F(ScreenTest, PaletteScreenKeepsThePaletteOnlyWhenRealised) {
  FakeSchemes schemes;
  SetColourSchemePalette(&schemes);
  SetPaletteRealiser(RealiseFake);
  zeph::DeviceCaps caps;
  caps.colourBits = 1;  // cannot show the probe colour exactly
  struct Case {
    int realised;
    std::int16_t mode;
    bool kept;
  };
  const Case cases[] = {
      {49, kDisplayPaletteRealised, true},
      {44, kDisplayPaletteRealised, true},
      {43, kDisplayPaletteWithout, false},
  };
  for (const Case& c : cases) {
    ResetScreenState();
    SetPaletteRealiser(RealiseFake);
    g_realisedEntries = c.realised;
    CRecordingContext dc;
    dc.SetDeviceCaps(caps);
    SetUpDisplay(dc);
    EXPECT_EQ(g_paletteSizeSeen, 49u) << c.realised;
    EXPECT_EQ(g_displayColourMode, c.mode) << c.realised;
    ASSERT_EQ(g_palette != nullptr, c.kept) << c.realised;
    EXPECT_EQ(g_colourTable[16] == g_colourTable[12], !c.kept) << c.realised;
    if (c.kept) {
      EXPECT_EQ(g_palette->version, 0x300);
      EXPECT_EQ(g_palette->entries[18], (PaletteEntry{196, 224, 255, 0}));
      EXPECT_EQ(g_palette->entries[45], (PaletteEntry{10, 20, 45, 0}));
      EXPECT_EQ(g_palette->entries[48], (PaletteEntry{10, 20, 48, 0}));
    }
  }

  // Our own contexts keep no palette: such a screen takes the plain colours.
  ResetScreenState();
  CRecordingContext dc;
  dc.SetDeviceCaps(caps);
  SetUpDisplay(dc);
  EXPECT_EQ(g_displayColourMode, kDisplayPaletteWithout);
  EXPECT_EQ(g_palette, nullptr);
  EXPECT_EQ(g_colourTable[16], g_colourTable[12]);
}

TEST_F(ScreenTest, LogHooksDescribeTheDisplay) {
  EXPECT_EQ(GetLogHooks().displayColourMode(), -1);
  InstallScreenLogHooks();
  EXPECT_EQ(GetLogHooks().displayColourMode(), -1);
  zeph::DeviceCaps caps;
  caps.width = 1366;
  caps.height = 768;
  m_dc.SetDeviceCaps(caps);
  SetUpDisplay(m_dc);
  EXPECT_EQ(GetLogHooks().displayColourMode(), 2);
  EXPECT_EQ(GetLogHooks().screenWidth(), 1366);
  EXPECT_EQ(GetLogHooks().screenHeight(), 768);
}

// ---- Boxes, frames and lines ----

TEST_F(ScreenTest, FillsIncludeTheBoxEdges) {
  FillBox(m_dc, 0, 0, 0, 0, 0x0000FF);
  FillBoxInside(m_dc, 0, 0, 2, 2, 0x00FF00);
  FillRectUi(m_dc, {5, 6, 7, 8}, kUiRed);
  FillRectInside(m_dc, {5, 6, 9, 9}, 0xFF0000);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "FillRect 0 0 1 1 0x000000ff",
                              "FillRect 1 1 2 2 0x0000ff00",
                              "FillRect 5 6 8 9 0x020000ff",
                              "FillRect 6 7 9 9 0x00ff0000",
                          }));
}

TEST_F(ScreenTest, OutlinesCloseTheBoxAndPutThePenBack) {
  const zeph::DcPen pen{zeph::PenStyle::kGeometricFlat, 4, 0x123456};
  m_dc.SelectPen(pen);
  m_dc.Clear();
  DrawBoxOutlineUi(m_dc, 1, 2, 10, 20, kUiBlue, 2);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "SelectPen solid 2 0x02ff0000",
                              "MoveTo 1 2",
                              "LineTo 1 20",
                              "LineTo 10 20",
                              "LineTo 10 2",
                              "LineTo 1 2",
                              "SelectPen flat 4 0x00123456",
                          }));
  EXPECT_EQ(m_dc.GetPen(), pen);
}

TEST_F(ScreenTest, FramedRectFillsInsideThenDrawsTheFrame) {
  DrawFramedRectUi(m_dc, {10, 10, 31, 31}, kUiBlack, kUiRed);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "FillRect 11 11 31 31 0x020000ff",
                              "SelectPen solid 1 0x02000000",
                              "MoveTo 10 10",
                              "LineTo 10 31",
                              "LineTo 31 31",
                              "LineTo 31 10",
                              "LineTo 10 10",
                              "SelectPen solid 1 0x00000000",
                          }));
  m_dc.Clear();
  DrawFramedBoxUi(m_dc, 10, 10, 31, 31, kUiBlack, kUiRed);
  EXPECT_EQ(m_dc.Lines().front(), Q("FillRect 11 11 31 31 0x020000ff"));
  EXPECT_EQ(m_dc.Lines().size(), 8);
}

TEST_F(ScreenTest, LinesIncludeTheirEndPixel) {
  DrawHorizontalLine(m_dc, 5, 5, 7, 0x0000FF);
  DrawVerticalLineUi(m_dc, 3, 1, 9, kUiGrey);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "MoveTo 5 7",
                              "SelectPen solid 1 0x000000ff",
                              "LineTo 5 7",
                              "SetPixel 5 7 0x000000ff",
                              "SelectPen solid 1 0x00000000",
                              "MoveTo 3 1",
                              "SelectPen solid 1 0x02808080",
                              "LineTo 3 9",
                              "SetPixel 3 9 0x02808080",
                              "SelectPen solid 1 0x00000000",
                          }));
}

TEST_F(ScreenTest, PolygonIsFilledAndOutlinedInOneColour) {
  const zeph::DcPoint points[] = {{0, 0}, {10, 0}, {5, 8}};
  FillPolygon(m_dc, points, 0x00FF00);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "SelectBrush solid 0x0000ff00",
                              "SelectPen solid 1 0x0000ff00",
                              "Polygon 0 0 10 0 5 8",
                              "SelectPen solid 1 0x00000000",
                              "SelectBrush solid 0x00ffffff",
                          }));
}

TEST_F(ScreenTest, GradientBlendsFromTopToBottomRow) {
  FillVerticalGradient(m_dc, 0, 10, 5, 13, 0x000000, 0xFFFFFF);
  std::vector<std::pair<int, ColourRef>> rows;
  for (const zeph::DcCall& call : m_dc.calls()) {
    if (call.op == DcOp::kSetPixel) rows.emplace_back(call.points[0].y, call.colour);
  }
  EXPECT_THAT(rows, ElementsAre(std::pair{10, 0x02000000u}, std::pair{11, 0x023F3F3Fu},
                                std::pair{12, 0x027F7F7Fu}, std::pair{13, 0x02BFBFBFu}));
}

TEST_F(ScreenTest, ClipTakesValidRectsOnly) {
  ClipToRect(m_dc, {10, 20, 30, 40});
  ClipToBox(m_dc, 0, 0, 32767, 0);
  EXPECT_EQ(m_dc.Lines(), Lines({"SetClipRect 10 20 31 41", "SetClipRect 0 0 32768 1"}));
  EXPECT_EQ(g_glitchCount, 0);

  const UiRect invalid[] = {{0, 0, 40000, 10},
                            {0, 0, 10, 32768},
                            {10, 0, 9, 10},
                            {0, 10, 10, 9},
                            {-2147483647, 0, 2147483647, 0}};
  for (const UiRect& rect : invalid) {
    ResetLogState();
    m_dc.Clear();
    EXPECT_EQ(IsValidClipRect(rect), 0);
    ClipToRect(m_dc, rect);
    EXPECT_TRUE(m_dc.Lines().isEmpty());
    ExpectGlitch(20102, 1);
    EXPECT_EQ(g_firstGlitchValueCount, 4);
  }
}

TEST_F(ScreenTest, RectHelpers) {
  UiRect rect{10, 20, 30, 40};
  DeflateRectByOne(rect);
  EXPECT_EQ(rect, (UiRect{11, 21, 29, 39}));
  DeflateRectBy(rect, 3, -2);
  EXPECT_EQ(rect, (UiRect{14, 19, 26, 41}));
  ExtendRectRightBottom(rect);
  EXPECT_EQ(rect, (UiRect{14, 19, 27, 42}));
}

class FakeWindow final : public IPlacedWindow {
 public:
  zeph::DcRect GetWindowRect() const override { return {300, 300, 700, 500}; }
  zeph::DcSize GetScreenSize() const override { return {1025, 768}; }
  void MoveWindow(int left, int top, int width, int height, bool repaint) override {
    moved = {left, top, left + width, top + height};
    repainted = repaint;
  }
  zeph::DcRect moved;
  bool repainted = false;
};

TEST_F(ScreenTest, CentreWindowPlacesAtAFractionOfTheFreeHeight) {
  struct Case {
    double fraction;
    int top;
  };
  // 768 - 200 = 568 free pixels; left = (1025 - 400) / 2 = 312.
  const Case cases[] = {{0.5, 284}, {0.0, 0}, {1.0, 568}, {0.25, 142}, {1.5, 284}, {-0.1, 284}};
  for (const Case& c : cases) {
    FakeWindow window;
    CentreWindow(window, c.fraction);
    EXPECT_EQ(window.moved, (zeph::DcRect{312, c.top, 712, c.top + 200})) << c.fraction;
    EXPECT_TRUE(window.repainted);
  }
}

TEST_F(ScreenTest, ArrowButtonFramesFillsAndDrawsItsTriangle) {
  Draw3dArrowButton(m_dc, {0, 0, 14, 14}, kArrowRight, 0);
  const QList<QString> lines = m_dc.Lines();
  EXPECT_EQ(lines.mid(0, 9), Lines({
                                 "SelectPen solid 1 0x02ffffff",
                                 "MoveTo 0 14",
                                 "LineTo 0 0",
                                 "LineTo 14 0",
                                 "SelectPen solid 1 0x02808080",
                                 "LineTo 14 14",
                                 "LineTo 0 14",
                                 "FillRect 1 1 14 14 0x02c0c0c0",
                                 "SelectPen solid 1 0x02000000",
                             }));
  // Inner box 1..13: k = 4, centre (7, 7); columns from x = 5 rightwards, each shorter.
  EXPECT_EQ(lines.mid(9, 4), Lines({"MoveTo 5 3", "LineTo 5 11", "MoveTo 6 4", "LineTo 6 10"}));
  EXPECT_EQ(lines.mid(17), Lines({"MoveTo 9 7", "LineTo 9 7", "SelectPen solid 1 0x00000000"}));

  struct Case {
    int arrow;
    int pressed;
    const char* firstMove;
    const char* firstLine;
  };
  const Case cases[] = {
      {kArrowLeft, 0, "MoveTo 8 3", "LineTo 8 11"},
      {kArrowUp, 0, "MoveTo 3 9", "LineTo 11 9"},
      {kArrowDown, 0, "MoveTo 3 5", "LineTo 11 5"},
      {kArrowDown, 1, "MoveTo 4 6", "LineTo 12 6"},
  };
  for (const Case& c : cases) {
    m_dc.Clear();
    Draw3dArrowButton(m_dc, {0, 0, 14, 14}, c.arrow, c.pressed);
    EXPECT_EQ(m_dc.Lines().mid(9, 2), Lines({c.firstMove, c.firstLine})) << c.arrow;
    EXPECT_EQ(m_dc.Lines()[0],
              c.pressed ? Q("SelectPen solid 1 0x02808080") : Q("SelectPen solid 1 0x02ffffff"));
  }
}

TEST_F(ScreenTest, TickMarkIsDrawnThicknessTimes) {
  DrawTickMark(m_dc, 0, 0, 15, 15, 2, 2);
  QList<QString> moves;
  for (const zeph::DcCall& call : m_dc.calls()) {
    if (call.op == DcOp::kMoveTo || call.op == DcOp::kSetPixel) moves.push_back(call.description);
  }
  // w = 11, h = 10, u = 3, first row from (3, 8) down to (6, 11) and up to (12, 2).
  EXPECT_EQ(moves, Lines({"MoveTo 3 8", "SetPixel 6 11 0x02ff0000", "SetPixel 12 2 0x02ff0000",
                          "MoveTo 3 9", "SetPixel 6 12 0x02ff0000", "SetPixel 12 3 0x02ff0000"}));
}

// ---- Text ----

TEST_F(ScreenTest, TextWidthsAllowForItalicOverhang) {
  EXPECT_EQ(GetLineHeight(m_dc), 22);
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", -1, 1), 24);
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", 0, 0), 24);
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", 2, 0), 16);
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", 10, 0), 24);
  EXPECT_EQ(GetCaptionTextWidth(m_dc, Q("&File")), 24);  // F 8, i 4, l 4, e 8
  EXPECT_EQ(GetWidestLineWidth(m_dc, u"ab\r\n\r\nabcd\nx\r"), 32);
  EXPECT_EQ(GetWidestLineWidth(m_dc, u""), 0);

  m_dc.SelectFont(FakeFont(true));
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", -1, 1), 24 + 6);  // three quarters of a blank of 8
  EXPECT_EQ(GetTextWidth(m_dc, u"abc", -1, 0), 24);
  EXPECT_EQ(GetCaptionTextWidth(m_dc, Q("&File")), 30);
  EXPECT_EQ(GetWidestLineWidth(m_dc, u"ab\nabcd"), 38);
}

TEST_F(ScreenTest, FitTextToWidthCases) {
  // "abcdefghij": 8 pixels a character.
  struct Case {
    const char* name;
    int width;
    int mode;
    int length;
    int fit;
  };
  const Case cases[] = {
      {"no width", 0, 0, -1, 0},
      {"negative width", -5, 1, -1, 0},
      {"whole text", 80, 0, -1, 10},
      {"wider than the text", 500, 1, -1, 10},
      {"between counts, down", 30, 0, -1, 3},
      {"between counts, nearer", 30, 1, -1, 4},
      {"tie gives the lower", 28, 1, -1, 3},
      {"nearer is the lower", 26, 1, -1, 3},
      {"exact width", 32, 0, -1, 4},
      {"first characters only", 100, 0, 5, 5},
      {"first characters, too wide", 20, 1, 5, 2},
      {"no characters asked for", 10, 1, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitTextToWidth(m_dc, u"abcdefghij", c.width, c.mode, c.length, 0), c.fit) << c.name;
  }
}

TEST_F(ScreenTest, FitTextToWidthAgreesWithCountingEveryPrefix) {
  const QString text = Q("Wii: mixed WIDTHS, lllmmm and more words @ the end!");
  for (bool italic : {false, true}) {
    m_dc.SelectFont(FakeFont(italic));
    const int full = GetTextWidth(m_dc, text, -1, 1);
    for (int width = 1; width <= full + 3; ++width) {
      // The widths of the prefixes grow, so the fitting count is the last prefix that fits.
      int fit = 0;
      int fitWidth = 0;
      for (int k = 1; k <= text.size(); ++k) {
        const int w = GetTextWidth(m_dc, text, k, 1);
        if (w > width) break;
        fit = k;
        fitWidth = w;
      }
      int nearer = fit;
      if (fit < text.size() && fitWidth != width) {
        const int next = GetTextWidth(m_dc, text, fit + 1, 1);
        if (next - width < width - fitWidth) nearer = fit + 1;
      }
      ASSERT_EQ(FitTextToWidth(m_dc, text, width, 0, -1, 1), fit) << width << " " << italic;
      ASSERT_EQ(FitTextToWidth(m_dc, text, width, 1, -1, 1), nearer) << width << " " << italic;
    }
  }
}

TEST_F(ScreenTest, DrawTextAtAlignsAndPutsTheAlignmentBack) {
  DrawTextAt(m_dc, 10, 20, u"abc", kAlignRight, -1);
  DrawTextAt(m_dc, 10, 20, u"abc", kAlignCentre, 2);
  DrawNumberAt(m_dc, 1, 2, 2.5, kAlignLeft);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "SetTextAlign right",
                              "TextOut 10 20 \"abc\"",
                              "SetTextAlign left",
                              "SetTextAlign centre",
                              "TextOut 10 20 \"ab\"",
                              "SetTextAlign left",
                              "SetTextAlign left",
                              "TextOut 1 2 \"2.5\"",
                              "SetTextAlign left",
                          }));
}

TEST_F(ScreenTest, DrawTextInBoxClipsToOneLine) {
  struct Case {
    const char* name;
    const char* text;
    int alignment;
    const char* align;
    const char* out;
  };
  // Box from 10 to 50 (inclusive), 40 wide; the clip is one line (22) high.
  const Case cases[] = {
      {"left", "abc", kAlignLeft, "left", "TextOutClipped 10 5 10 5 51 27 \"abc\""},
      {"centre", "abc", kAlignCentre, "centre", "TextOutClipped 30 5 10 5 51 27 \"abc\""},
      {"right", "abc", kAlignRight, "right", "TextOutClipped 50 5 10 5 51 27 \"abc\""},
      {"right, exactly the box width", "abcde", kAlignRight, "left",
       "TextOutClipped 10 5 10 5 51 27 \"abcde\""},
      {"centre, too wide", "abcdefgh", kAlignCentre, "left",
       "TextOutClipped 10 5 10 5 51 27 \"abcdefgh\""},
  };
  for (const Case& c : cases) {
    m_dc.Clear();
    DrawTextInBox(m_dc, 10, 5, Q(c.text), 50, c.alignment);
    EXPECT_EQ(m_dc.Lines(),
              Lines({(std::string("SetTextAlign ") + c.align).c_str(), c.out, "SetTextAlign left"}))
        << c.name;
  }
  m_dc.Clear();
  DrawNumberInBox(m_dc, 10, 5, -2.5, 50, kAlignRight);
  EXPECT_EQ(m_dc.Lines()[1], Q("TextOutClipped 50 5 10 5 51 27 \"-2.5\""));
}

TEST_F(ScreenTest, DrawTextLineFillsTheLineWhenOpaque) {
  SetOpaqueBkColourUi(m_dc, 18);
  SetTextColourUi(m_dc, kUiRed);
  m_dc.Clear();
  DrawTextLine(m_dc, 0, 0, u"ab", 99);
  EXPECT_EQ(m_dc.Lines(), Lines({"FillRect 0 0 100 22 0x02ffe0c4", "SetTextAlign left",
                                 "TextOutClipped 0 0 0 0 100 22 \"ab\"", "SetTextAlign left"}));
  EXPECT_EQ(m_dc.GetTextColour(), g_colourTable[kUiRed]);

  SetTransparentBk(m_dc);
  m_dc.Clear();
  DrawTextLine(m_dc, 0, 0, u"ab", 99);
  EXPECT_EQ(m_dc.Lines().size(), 3);
  EXPECT_EQ(m_dc.calls().front().op, DcOp::kSetTextAlign);
}

// ---- Saved screen area ----

TEST_F(ScreenTest, SavedAreaPutsBackExactlyTheRectSaved) {
  CSavedScreenArea area;
  EXPECT_EQ(area.IsSaved(), 0);
  ASSERT_EQ(area.Save(m_dc, {10, 20, 40, 60}), 1);
  EXPECT_EQ(area.IsSaved(), 1);
  ASSERT_EQ(area.Restore(m_dc), 1);
  EXPECT_EQ(area.IsSaved(), 0);
  // A smaller area after a larger one: only the smaller one goes back.
  ASSERT_EQ(area.Save(m_dc, {100, 100, 110, 105}), 1);
  ASSERT_EQ(area.Restore(m_dc), 1);
  // The same size again reuses the storage.
  ASSERT_EQ(area.Save(m_dc, {0, 0, 10, 5}), 1);
  ASSERT_EQ(area.Restore(m_dc), 1);
  EXPECT_EQ(m_dc.Lines(), Lines({
                              "CreateSavedBits 30 40",
                              "SaveBits 30 40 10 20",
                              "RestoreBits 30 40 10 20",
                              "CreateSavedBits 10 5",
                              "SaveBits 10 5 100 100",
                              "RestoreBits 10 5 100 100",
                              "SaveBits 10 5 0 0",
                              "RestoreBits 10 5 0 0",
                          }));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ScreenTest, SavedAreaFailures) {
  struct Case {
    const char* name;
    DcOp failing;
    bool saveFirst;
    int code;
    int n;
  };
  const Case cases[] = {
      {"no storage", DcOp::kCreateSavedBits, false, 22501, 3},
      {"copy fails", DcOp::kSaveBits, false, 22501, 4},
      {"nothing saved", DcOp::kMoveTo, false, 22502, 1},
      {"copy back fails", DcOp::kRestoreBits, true, 22502, 4},
  };
  for (const Case& c : cases) {
    ResetLogState();
    CRecordingContext dc;
    CSavedScreenArea area;
    if (c.saveFirst) {
      ASSERT_EQ(area.Save(dc, {0, 0, 5, 5}), 1) << c.name;
    }
    dc.SetFailing(c.failing, true);
    const int result = c.code == 22501 ? area.Save(dc, {0, 0, 5, 5}) : area.Restore(dc);
    EXPECT_EQ(result, 0) << c.name;
    EXPECT_EQ(g_firstGlitchCode, c.code) << c.name;
    EXPECT_EQ(g_firstGlitchNumber, c.n) << c.name;
  }

  // Released: nothing to put back.
  ResetLogState();
  CSavedScreenArea area;
  ASSERT_EQ(area.Save(m_dc, {0, 0, 5, 5}), 1);
  area.Release();
  EXPECT_EQ(area.IsSaved(), 0);
  EXPECT_EQ(area.Restore(m_dc), 0);
  ExpectGlitch(22502, 1);
}

}  // namespace
