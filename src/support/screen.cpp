#include "support/screen.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/textfile.h"
#include "support/textutil.h"
#include "support/uiutil.h"

using zeph::BkMode;
using zeph::CDrawContext;
using zeph::ColourRef;
using zeph::DcBrush;
using zeph::DcPen;
using zeph::DcRect;
using zeph::TextAlign;

namespace {

constexpr std::array<RgbTriple, kColourTableSize> kDefaultColours = {{
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0},
    {128, 0, 128},   {128, 128, 0},   {128, 128, 128}, {192, 192, 192}, {0, 0, 255},
    {0, 255, 0},     {0, 255, 255},   {255, 0, 0},     {255, 0, 255},   {255, 255, 0},
    {255, 255, 255}, {255, 160, 160}, {255, 160, 0},   {196, 224, 255}, {128, 255, 224},
    {251, 251, 240}, {240, 196, 255}, {196, 255, 240}, {210, 232, 255}, {232, 232, 232},
    {255, 224, 224}, {240, 240, 0},   {251, 251, 224}, {225, 208, 4},   {0, 128, 255},
    {63, 215, 170},  {255, 210, 170}, {80, 110, 210},  {0, 128, 90},    {255, 112, 112},
    {0, 255, 170},   {151, 151, 255}, {253, 250, 235}, {245, 249, 255}, {212, 216, 219},
    {192, 0, 192},   {255, 255, 215}, {25, 160, 121},  {127, 255, 63},  {185, 255, 255},
}};

// On a palette screen without the program's palette the pastel entries take the plain
// colour (by entry) that such a screen can show; the rest keep their own.
constexpr std::array<int, kColourTableSize> kPlainEntries = {
    0,  1,  2,  3,  4,  5,  6,  7, 8,  9, 10, 11, 12, 13, 14, 15, 12, 14, 11, 11, 14, 13, 10,
    11, 24, 25, 14, 14, 14, 11, 3, 14, 9, 2,  12, 2,  9,  14, 15, 39, 40, 14, 2,  10, 11,
};

constexpr ColourRef TableColour(const RgbTriple& rgb) {
  return zeph::kPaletteColourFlag | zeph::MakeColour(rgb.red, rgb.green, rgb.blue);
}

constexpr std::array<ColourRef, kColourTableSize> FullColourTable() {
  std::array<ColourRef, kColourTableSize> table{};
  for (int i = 0; i < kColourTableSize; ++i) {
    table[static_cast<std::size_t>(i)] = TableColour(kDefaultColours[static_cast<std::size_t>(i)]);
  }
  return table;
}

constexpr std::array<ColourRef, kColourTableSize> kFullColourTable = FullColourTable();

// Highlight and fill-highlight entries for the option DormantColour 1..6; any other value
// takes silver.
struct HighlightEntries {
  int highlight;
  int fill;
};
constexpr HighlightEntries kDormantColours[] = {
    {8, 24}, {34, 25}, {28, 20}, {30, 44}, {35, 22}, {17, 31}, {40, 21},
};

int NoPaletteRealised(CDrawContext&, const CLogicalPalette&) { return 0; }

PaletteRealiser g_paletteRealiser = NoPaletteRealised;

DcPen SolidPen(ColourRef colour, int width) { return {zeph::PenStyle::kSolid, width, colour}; }

TextAlign ToTextAlign(int alignment) {
  switch (alignment) {
    case kAlignCentre:
      return TextAlign::kCentre;
    case kAlignRight:
      return TextAlign::kRight;
    default:
      return TextAlign::kLeft;
  }
}

// The first length characters, or the whole text when length is negative or too large.
QStringView LeadingText(QStringView text, int length) {
  return length >= 0 && length < text.size() ? text.first(length) : text;
}

}  // namespace

const std::array<RgbTriple, kColourTableSize> g_defaultColours = kDefaultColours;
std::array<ColourRef, kColourTableSize> g_colourTable = kFullColourTable;
ColourRef g_foregroundColour = kFullColourTable[kUiBlack];
ColourRef g_backgroundColour = kFullColourTable[kUiWhite];
ColourRef g_highlightColour = kFullColourTable[8];
ColourRef g_highlightFillColour = kFullColourTable[24];
std::int16_t g_displayColourMode = kDisplayNotSetUp;
std::unique_ptr<CLogicalPalette> g_palette;
std::int32_t g_screenWidth = 0;
std::int32_t g_screenHeight = 0;
std::int32_t g_screenDpiX = zeph::kFallbackScreenDpi;
std::int32_t g_screenDpiY = zeph::kFallbackScreenDpi;
std::int32_t g_displaySetUpDone = 0;

ColourRef UiColour(int index) {
  if (index < 0 || index >= kColourTableSize) index = kUiBlack;
  return g_colourTable[static_cast<std::size_t>(index)];
}

// ---- Outlines, fills and lines ----

void DrawBoxOutline(CDrawContext& dc, int left, int top, int right, int bottom, ColourRef colour,
                    int width) {
  const DcPen previous = dc.SelectPen(SolidPen(colour, width));
  dc.MoveTo(left, top);
  dc.LineTo(left, bottom);
  dc.LineTo(right, bottom);
  dc.LineTo(right, top);
  dc.LineTo(left, top);
  dc.SelectPen(previous);
}

void DrawBoxOutlineUi(CDrawContext& dc, int left, int top, int right, int bottom, int index,
                      int width) {
  DrawBoxOutline(dc, left, top, right, bottom, UiColour(index), width);
}

void DrawRectOutline(CDrawContext& dc, const UiRect& rect, ColourRef colour, int width) {
  DrawBoxOutline(dc, rect.left, rect.top, rect.right, rect.bottom, colour, width);
}

void DrawRectOutlineUi(CDrawContext& dc, const UiRect& rect, int index, int width) {
  DrawRectOutline(dc, rect, UiColour(index), width);
}

void FillBox(CDrawContext& dc, int left, int top, int right, int bottom, ColourRef colour) {
  dc.FillRect({left, top, right + 1, bottom + 1}, colour);
}

void FillBoxUi(CDrawContext& dc, int left, int top, int right, int bottom, int index) {
  FillBox(dc, left, top, right, bottom, UiColour(index));
}

void FillRectColour(CDrawContext& dc, const UiRect& rect, ColourRef colour) {
  FillBox(dc, rect.left, rect.top, rect.right, rect.bottom, colour);
}

void FillRectUi(CDrawContext& dc, const UiRect& rect, int index) {
  FillRectColour(dc, rect, UiColour(index));
}

void FillBoxInside(CDrawContext& dc, int left, int top, int right, int bottom, ColourRef colour) {
  dc.FillRect({left + 1, top + 1, right, bottom}, colour);
}

void FillBoxInsideUi(CDrawContext& dc, int left, int top, int right, int bottom, int index) {
  FillBoxInside(dc, left, top, right, bottom, UiColour(index));
}

void FillRectInside(CDrawContext& dc, const UiRect& rect, ColourRef colour) {
  FillBoxInside(dc, rect.left, rect.top, rect.right, rect.bottom, colour);
}

void DrawFramedRect(CDrawContext& dc, const UiRect& rect, ColourRef frame, ColourRef fill) {
  UiRect inside = rect;
  DeflateRectByOne(inside);
  FillRectColour(dc, inside, fill);
  DrawRectOutline(dc, rect, frame, 1);
}

void DrawFramedRectUi(CDrawContext& dc, const UiRect& rect, int frameIndex, int fillIndex) {
  DrawFramedRect(dc, rect, UiColour(frameIndex), UiColour(fillIndex));
}

void DrawFramedBoxUi(CDrawContext& dc, int left, int top, int right, int bottom, int frameIndex,
                     int fillIndex) {
  FillBoxInsideUi(dc, left, top, right, bottom, fillIndex);
  DrawBoxOutlineUi(dc, left, top, right, bottom, frameIndex, 1);
}

void LineToWithEnd(CDrawContext& dc, int x, int y, ColourRef colour, int width) {
  const DcPen previous = dc.SelectPen(SolidPen(colour, width));
  dc.LineTo(x, y);
  dc.SetPixel(x, y, colour);
  dc.SelectPen(previous);
}

void LineToWithEndUi(CDrawContext& dc, int x, int y, int index, int width) {
  LineToWithEnd(dc, x, y, UiColour(index), width);
}

void DrawHorizontalLine(CDrawContext& dc, int x1, int x2, int y, ColourRef colour) {
  dc.MoveTo(x1, y);
  LineToWithEnd(dc, x2, y, colour, 1);
}

void DrawHorizontalLineUi(CDrawContext& dc, int x1, int x2, int y, int index) {
  DrawHorizontalLine(dc, x1, x2, y, UiColour(index));
}

void DrawVerticalLine(CDrawContext& dc, int x, int y1, int y2, ColourRef colour) {
  dc.MoveTo(x, y1);
  LineToWithEnd(dc, x, y2, colour, 1);
}

void DrawVerticalLineUi(CDrawContext& dc, int x, int y1, int y2, int index) {
  DrawVerticalLine(dc, x, y1, y2, UiColour(index));
}

void FillPolygon(CDrawContext& dc, std::span<const zeph::DcPoint> points, ColourRef colour) {
  const DcBrush previousBrush = dc.SelectBrush({zeph::BrushStyle::kSolid, colour});
  const DcPen previousPen = dc.SelectPen(SolidPen(colour, 1));
  dc.Polygon(points);
  dc.SelectPen(previousPen);
  dc.SelectBrush(previousBrush);
}

void FillVerticalGradient(CDrawContext& dc, int left, int top, int right, int bottom,
                          ColourRef topColour, ColourRef bottomColour) {
  const double rows = static_cast<double>(bottom) - top + 1.0;
  for (int row = top; row <= bottom; ++row) {
    const double f = (static_cast<double>(row) - top) / rows;
    DrawHorizontalLine(dc, left, right, row, BlendColours(bottomColour, topColour, f));
    if (row == bottom) break;  // bottom may be the largest int
  }
}

// ---- Rectangles and clipping ----

void DeflateRectByOne(UiRect& rect) { DeflateRectBy(rect, 1, 1); }

void DeflateRectBy(UiRect& rect, int dx, int dy) {
  rect.left += dx;
  rect.top += dy;
  rect.right -= dx;
  rect.bottom -= dy;
}

void ExtendRectRightBottom(UiRect& rect) {
  ++rect.right;
  ++rect.bottom;
}

int IsValidClipRect(const UiRect& rect) {
  const std::int64_t width = static_cast<std::int64_t>(rect.right) - rect.left;
  const std::int64_t height = static_cast<std::int64_t>(rect.bottom) - rect.top;
  return width >= 0 && width <= kShortRangeMax && height >= 0 && height <= kShortRangeMax ? 1 : 0;
}

void ClipToRect(CDrawContext& dc, const UiRect& rect) {
  if (IsValidClipRect(rect) == 0) {
    SetGlitchValue(rect.left);
    SetGlitchValue(rect.top);
    SetGlitchValue(rect.right);
    SetGlitchValue(rect.bottom);
    ReportGlitch(20102, 1);
    return;
  }
  // The context takes logical coordinates and turns them into the device's itself, also
  // for print preview.
  UiRect exclusive = rect;
  ExtendRectRightBottom(exclusive);
  dc.SetClipRect({exclusive.left, exclusive.top, exclusive.right, exclusive.bottom});
}

void ClipToBox(CDrawContext& dc, int left, int top, int right, int bottom) {
  ClipToRect(dc, {left, top, right, bottom});
}

void CentreWindow(IPlacedWindow& window, double fraction) {
  if (!(fraction >= 0.0 && fraction <= 1.0)) fraction = 0.5;
  const zeph::DcSize screen = window.GetScreenSize();
  const DcRect rect = window.GetWindowRect();
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = (screen.cx - width) / 2;
  const int top = RoundToInt(static_cast<double>(screen.cy - height) * fraction);
  window.MoveWindow(left, top, width, height, true);
}

void Draw3dArrowButton(CDrawContext& dc, const UiRect& rect, int arrow, int pressed) {
  const int l = rect.left;
  const int t = rect.top;
  const int r = rect.right;
  const int b = rect.bottom;
  const DcPen previous = dc.SelectPen(SolidPen(UiColour(pressed ? kUiGrey : kUiWhite), 1));
  dc.MoveTo(l, b);
  dc.LineTo(l, t);
  dc.LineTo(r, t);
  dc.SelectPen(SolidPen(UiColour(pressed ? kUiWhite : kUiGrey), 1));
  dc.LineTo(r, b);
  dc.LineTo(l, b);
  UiRect inner = rect;
  DeflateRectByOne(inner);
  FillRectUi(dc, inner, kUiSilver);

  const int k = std::min(inner.right - inner.left, inner.bottom - inner.top) / 3;
  int cx = (inner.left + inner.right + 1) / 2;
  int cy = (inner.top + inner.bottom + 1) / 2;
  if (pressed) {
    ++cx;
    ++cy;
  }
  dc.SelectPen(SolidPen(UiColour(kUiBlack), 1));
  // Rows or columns of the triangle from its base to its point, each one shorter at both
  // ends; the point's line is empty, as LineTo leaves out its end.
  switch (arrow) {
    case kArrowLeft:
    case kArrowRight: {
      const int step = arrow == kArrowLeft ? -1 : 1;
      int x = arrow == kArrowLeft ? cx + k / 2 - 1 : cx - k / 2;
      for (int n = k; n >= 0; --n, x += step) {
        dc.MoveTo(x, cy - n);
        dc.LineTo(x, cy + n);
      }
      break;
    }
    case kArrowUp:
    case kArrowDown: {
      const int step = arrow == kArrowUp ? -1 : 1;
      int y = arrow == kArrowUp ? cy + k / 2 : cy - k / 2;
      for (int n = k; n >= 0; --n, y += step) {
        dc.MoveTo(cx - n, y);
        dc.LineTo(cx + n, y);
      }
      break;
    }
    default:
      break;
  }
  dc.SelectPen(previous);
}

void DrawTickMark(CDrawContext& dc, int left, int top, int right, int bottom, int margin,
                  int thickness) {
  const int w = right - left - 2 * margin;
  const int h = bottom + 1 - top - 2 * margin - thickness;
  const int u = std::min(w, h) / 3;
  const int x0 = left + margin + (w - 3 * u) / 2;
  int y0 = top + margin + (h - 3 * u) / 2;
  for (int i = 0; i < thickness; ++i, ++y0) {
    dc.MoveTo(x0, y0 + 2 * u);
    LineToWithEndUi(dc, x0 + u, y0 + 3 * u, kUiBlue, 1);
    LineToWithEndUi(dc, x0 + 3 * u, y0, kUiBlue, 1);
  }
}

// ---- Text ----

void SetTransparentBk(CDrawContext& dc) { dc.SetBkMode(BkMode::kTransparent); }

void SetOpaqueBkColour(CDrawContext& dc, ColourRef colour) {
  dc.SetBkMode(BkMode::kOpaque);
  dc.SetBkColour(colour);
}

void SetOpaqueBkColourUi(CDrawContext& dc, int index) { SetOpaqueBkColour(dc, UiColour(index)); }

void SetTextColour(CDrawContext& dc, ColourRef colour) { dc.SetTextColour(colour); }

void SetTextColourUi(CDrawContext& dc, int index) { dc.SetTextColour(UiColour(index)); }

int GetLineHeight(const CDrawContext& dc) {
  const zeph::TextMetrics tm = dc.GetTextMetrics();
  return tm.height + tm.externalLeading;
}

int GetTextWidth(const CDrawContext& dc, QStringView text, int length, int italicAllowance) {
  int width = dc.GetTextExtent(LeadingText(text, length > 0 ? length : -1)).cx;
  // An italic font leans past its advance; leave room for the last character's overhang.
  if (italicAllowance != 0 && dc.GetTextMetrics().italic) {
    width += dc.GetTextExtent(u" ").cx * 3 / 4;
  }
  return width;
}

int GetCaptionTextWidth(const CDrawContext& dc, const QString& text) {
  QString caption;
  RemoveMnemonic(text, caption);
  return GetTextWidth(dc, caption, -1, 1);
}

int GetWidestLineWidth(const CDrawContext& dc, QStringView text) {
  int widest = 0;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    if (end > start) {
      widest = std::max(widest, GetTextWidth(dc, text.sliced(start, end - start), -1, 1));
    }
    start = end + 1;
  }
  return widest;
}

int FitTextToWidth(const CDrawContext& dc, QStringView text, int width, int mode, int length,
                   int italic) {
  if (width <= 0) return 0;
  int n = static_cast<int>(std::min<qsizetype>(text.size(), kIntRangeMax));
  if (length >= 0 && length < n) n = length;
  // No characters to count: nothing can be the nearer count (a count of 0 measures the whole
  // text).
  if (n == 0) return 0;
  int d = GetTextWidth(dc, text, n, italic);
  if (width >= d) return n;
  // Interpolating search between a fitting count lo (width e) and a too wide one hi (width d).
  int lo = 0;
  int e = 0;
  int hi = n;
  while (lo + 1 < hi) {
    const std::int64_t numerator =
        static_cast<std::int64_t>(hi) * (width - e) + static_cast<std::int64_t>(d - width) * lo;
    int guess = DivideRoundedShort(ClampInt64ToInt(numerator), d - e);
    // Always strictly between lo and hi, so that the search ends.
    guess = std::clamp(guess, lo + 1, hi - 1);
    const int g = GetTextWidth(dc, text, guess, italic);
    if (g < width) {
      lo = guess;
      e = g;
    } else if (g == width) {
      return guess;
    } else {
      hi = guess;
      d = g;
    }
  }
  if (mode == 1 && d - width < width - e) return lo + 1;
  return lo;
}

void DrawTextAt(CDrawContext& dc, int x, int y, QStringView text, int alignment, int length) {
  const TextAlign previous = dc.SetTextAlign(ToTextAlign(alignment));
  dc.TextOut(x, y, LeadingText(text, length));
  dc.SetTextAlign(previous);
}

void DrawTextInBox(CDrawContext& dc, int left, int top, QStringView text, int right,
                   int alignment) {
  const DcRect clip{left, top, right + 1, top + GetLineHeight(dc)};
  int x = left;
  TextAlign align = TextAlign::kLeft;
  if ((alignment == kAlignCentre || alignment == kAlignRight) &&
      GetTextWidth(dc, text, -1, 1) < right - left) {
    align = ToTextAlign(alignment);
    x = alignment == kAlignCentre ? (left + right) / 2 : right;
  }
  const TextAlign previous = dc.SetTextAlign(align);
  dc.TextOutClipped(x, top, clip, text);
  dc.SetTextAlign(previous);
}

void DrawTextLine(CDrawContext& dc, int left, int top, QStringView text, int right) {
  if (dc.GetBkMode() == BkMode::kOpaque) {
    FillBox(dc, left, top, right, top + GetLineHeight(dc) - 1, dc.GetBkColour());
  }
  DrawTextInBox(dc, left, top, text, right, kAlignLeft);
}

void DrawNumberInBox(CDrawContext& dc, int left, int top, double value, int right, int alignment) {
  QString text;
  FormatDouble(value, text, 21);
  DrawTextInBox(dc, left, top, text, right, alignment);
}

void DrawNumberAt(CDrawContext& dc, int x, int y, double value, int alignment) {
  QString text;
  FormatDouble(value, text, 21);
  DrawTextAt(dc, x, y, text, alignment, -1);
}

// ---- Display and colours ----

void SetUpDisplay(CDrawContext& dc) {
  if (g_displaySetUpDone != 0) return;
  g_displaySetUpDone = 1;
  LogScope trace(20108);
  // The context never reports a resolution of 0.
  const zeph::DeviceCaps caps = dc.GetDeviceCaps();
  g_screenWidth = caps.width;
  g_screenHeight = caps.height;
  g_screenDpiX = caps.dpiX;
  g_screenDpiY = caps.dpiY;

  constexpr ColourRef kProbe = 0x0080FF00;
  if (dc.GetNearestColour(kProbe) == kProbe) {
    g_displayColourMode = kDisplayExactColours;
  } else {
    g_displayColourMode = kDisplayPaletteWithout;
    try {
      IColourSchemePalette& schemes = GetColourSchemePalette();
      auto palette = std::make_unique<CLogicalPalette>();
      palette->version = 0x300;
      palette->entries.resize(static_cast<std::size_t>(
          kColourTableSize + std::clamp(schemes.GetSchemePaletteEntryCount(), 0, 256)));
      for (int i = 0; i < kColourTableSize; ++i) {
        const RgbTriple& rgb = kDefaultColours[static_cast<std::size_t>(i)];
        palette->entries[static_cast<std::size_t>(i)] = {rgb.red, rgb.green, rgb.blue, 0};
      }
      schemes.AddSchemeColoursToPalette(*palette, kColourTableSize);
      // Too few entries realised to show the table: the plain colours serve better.
      if (g_paletteRealiser(dc, *palette) >= kColourTableSize - 1) {
        g_palette = std::move(palette);
        g_displayColourMode = kDisplayPaletteRealised;
      }
    } catch (const std::bad_alloc&) {
      g_palette.reset();
    }
  }
  SetUpUiColours();
  trace.Exit();
}

void SetUpUiColours() {
  for (std::size_t i = 0; i < kColourTableSize; ++i) {
    const std::size_t from = g_displayColourMode == kDisplayPaletteWithout
                                 ? static_cast<std::size_t>(kPlainEntries[i])
                                 : i;
    g_colourTable[i] = TableColour(kDefaultColours[from]);
  }
  g_backgroundColour = g_colourTable[kUiWhite];
  g_foregroundColour = g_colourTable[kUiBlack];
}

void ApplyDormantColour() {
  const int option = GetOptionShort(kOptionDormantColour);
  const int count = static_cast<int>(std::size(kDormantColours));
  const HighlightEntries& entries = kDormantColours[option > 0 && option < count ? option : 0];
  g_highlightColour = UiColour(entries.highlight);
  g_highlightFillColour = UiColour(entries.fill);
}

void SetPaletteRealiser(PaletteRealiser realiser) {
  g_paletteRealiser = realiser != nullptr ? realiser : NoPaletteRealised;
}

void InstallScreenLogHooks() {
  LogHooks& hooks = GetLogHooks();
  hooks.displayColourMode = [] { return static_cast<int>(g_displayColourMode); };
  hooks.screenWidth = [] { return static_cast<int>(g_screenWidth); };
  hooks.screenHeight = [] { return static_cast<int>(g_screenHeight); };
}

void ResetScreenState() {
  g_colourTable = kFullColourTable;
  g_foregroundColour = kFullColourTable[kUiBlack];
  g_backgroundColour = kFullColourTable[kUiWhite];
  g_highlightColour = kFullColourTable[8];
  g_highlightFillColour = kFullColourTable[24];
  g_displayColourMode = kDisplayNotSetUp;
  g_palette.reset();
  g_screenWidth = 0;
  g_screenHeight = 0;
  g_screenDpiX = zeph::kFallbackScreenDpi;
  g_screenDpiY = zeph::kFallbackScreenDpi;
  g_displaySetUpDone = 0;
  g_paletteRealiser = NoPaletteRealised;
}

// ---- Saved screen area ----

CSavedScreenArea::CSavedScreenArea() = default;
CSavedScreenArea::CSavedScreenArea(int saveGlitch, int restoreGlitch)
    : m_saveGlitch(saveGlitch), m_restoreGlitch(restoreGlitch) {}
CSavedScreenArea::~CSavedScreenArea() = default;

int CSavedScreenArea::Save(CDrawContext& dc, const DcRect& rect) {
  m_saved = 0;
  m_left = rect.left;
  m_top = rect.top;
  const int width = ClampInt64ToInt(static_cast<std::int64_t>(rect.right) - rect.left);
  const int height = ClampInt64ToInt(static_cast<std::int64_t>(rect.bottom) - rect.top);
  // The bitmap is kept only for an area of its own size: a larger one would put back pixels
  // outside the area, which may have been drawn since.
  if (m_bitmap && (m_width != width || m_height != height)) Release();
  if (!m_bitmap) {
    try {
      m_bitmap = dc.CreateSavedBits(width, height);
    } catch (const std::bad_alloc&) {
      ReportGlitch(m_saveGlitch, 2);
      return 0;
    }
    if (!m_bitmap) {
      ReportGlitch(m_saveGlitch, 3);
      return 0;
    }
    m_width = width;
    m_height = height;
  }
  if (!dc.SaveBits(*m_bitmap, m_left, m_top)) {
    ReportGlitch(m_saveGlitch, 4);
    return 0;
  }
  m_saved = 1;
  return 1;
}

int CSavedScreenArea::Restore(CDrawContext& dc) {
  if (m_saved == 0) {
    ReportGlitch(m_restoreGlitch, 1);
    return 0;
  }
  if (!m_bitmap) {
    ReportGlitch(m_restoreGlitch, 2);
    return 0;
  }
  if (!dc.RestoreBits(*m_bitmap, m_left, m_top)) {
    ReportGlitch(m_restoreGlitch, 4);
    return 0;
  }
  m_saved = 0;
  return 1;
}

void CSavedScreenArea::Release() {
  m_saved = 0;
  m_bitmap.reset();
  m_width = 0;
  m_height = 0;
}
