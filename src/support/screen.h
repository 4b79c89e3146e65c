#pragma once
// The screen: the program's table of 45 colours, the ink, background and highlight colours,
// the screen's size and resolution, and the small drawing helpers every window paints with.
//
// Boxes are four coordinates that are all inside the shape (inclusive); UiRect is the same as
// one value. Lines drawn by these helpers include their end pixel. Helpers whose names end in
// Ui take an index into g_colourTable instead of a colour. Each helper that needs a pen or a
// brush selects its own and puts the context's previous one back.
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/drawcontext.h"
#include "support/controlservices.h"
#include "support/uirect.h"

inline constexpr int kColourTableSize = 45;

// Colour-table entries the program names.
inline constexpr int kUiBlack = 0;
inline constexpr int kUiGrey = 7;
inline constexpr int kUiSilver = 8;
inline constexpr int kUiBlue = 9;
inline constexpr int kUiRed = 12;
inline constexpr int kUiWhite = 15;

// g_displayColourMode values.
inline constexpr std::int16_t kDisplayNotSetUp = -1;
inline constexpr std::int16_t kDisplayPaletteWithout = 0;  // palette screen, palette not ours
inline constexpr std::int16_t kDisplayPaletteRealised = 1;
inline constexpr std::int16_t kDisplayExactColours = 2;

struct RgbTriple {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// The 45 colours as red, green, blue.
extern const std::array<RgbTriple, kColourTableSize> g_defaultColours;
// The colours as palette-relative colour values (kPaletteColourFlag with red, green, blue),
// built by SetUpUiColours. Until then they hold what it builds on a screen that shows every
// colour exactly.
extern std::array<zeph::ColourRef, kColourTableSize> g_colourTable;
extern zeph::ColourRef g_foregroundColour;     // entry 0, the ink of controls and texts
extern zeph::ColourRef g_backgroundColour;     // entry 15, under drawings and controls, XOR base
extern zeph::ColourRef g_highlightColour;      // selected items (ApplyDormantColour)
extern zeph::ColourRef g_highlightFillColour;  // selected fills
extern std::int16_t g_displayColourMode;       // kDisplay..., kDisplayNotSetUp before set-up
// The program's logical palette when a palette screen realised it (mode 1); otherwise null.
extern std::unique_ptr<CLogicalPalette> g_palette;
extern std::int32_t g_screenWidth;  // pixels; 0 before set-up
extern std::int32_t g_screenHeight;
extern std::int32_t g_screenDpiX;  // pixels per inch; 96 until set-up
extern std::int32_t g_screenDpiY;
extern std::int32_t g_displaySetUpDone;

// The colour of entry index; an index outside the table gives entry 0.
zeph::ColourRef UiColour(int index);

// ---- Outlines, fills and lines ----
void DrawBoxOutline(zeph::CDrawContext& dc, int left, int top, int right, int bottom,
                    zeph::ColourRef colour, int width);
void DrawBoxOutlineUi(zeph::CDrawContext& dc, int left, int top, int right, int bottom, int index,
                      int width);
void DrawRectOutline(zeph::CDrawContext& dc, const UiRect& rect, zeph::ColourRef colour, int width);
void DrawRectOutlineUi(zeph::CDrawContext& dc, const UiRect& rect, int index, int width);
// The box including its right and bottom edge.
void FillBox(zeph::CDrawContext& dc, int left, int top, int right, int bottom,
             zeph::ColourRef colour);
void FillBoxUi(zeph::CDrawContext& dc, int left, int top, int right, int bottom, int index);
void FillRectColour(zeph::CDrawContext& dc, const UiRect& rect, zeph::ColourRef colour);
void FillRectUi(zeph::CDrawContext& dc, const UiRect& rect, int index);
// The inside of the box's outline: (left + 1, top + 1) to (right - 1, bottom - 1).
void FillBoxInside(zeph::CDrawContext& dc, int left, int top, int right, int bottom,
                   zeph::ColourRef colour);
void FillBoxInsideUi(zeph::CDrawContext& dc, int left, int top, int right, int bottom, int index);
void FillRectInside(zeph::CDrawContext& dc, const UiRect& rect, zeph::ColourRef colour);
// The rect one pixel in filled, then its outline in the frame colour.
void DrawFramedRect(zeph::CDrawContext& dc, const UiRect& rect, zeph::ColourRef frame,
                    zeph::ColourRef fill);
void DrawFramedRectUi(zeph::CDrawContext& dc, const UiRect& rect, int frameIndex, int fillIndex);
void DrawFramedBoxUi(zeph::CDrawContext& dc, int left, int top, int right, int bottom,
                     int frameIndex, int fillIndex);
// A line from the current position to (x, y), (x, y) included.
void LineToWithEnd(zeph::CDrawContext& dc, int x, int y, zeph::ColourRef colour, int width);
void LineToWithEndUi(zeph::CDrawContext& dc, int x, int y, int index, int width);
void DrawHorizontalLine(zeph::CDrawContext& dc, int x1, int x2, int y, zeph::ColourRef colour);
void DrawHorizontalLineUi(zeph::CDrawContext& dc, int x1, int x2, int y, int index);
void DrawVerticalLine(zeph::CDrawContext& dc, int x, int y1, int y2, zeph::ColourRef colour);
void DrawVerticalLineUi(zeph::CDrawContext& dc, int x, int y1, int y2, int index);
// The polygon filled and outlined in one colour.
void FillPolygon(zeph::CDrawContext& dc, std::span<const zeph::DcPoint> points,
                 zeph::ColourRef colour);
// One row at a time from topColour at the top towards bottomColour.
void FillVerticalGradient(zeph::CDrawContext& dc, int left, int top, int right, int bottom,
                          zeph::ColourRef topColour, zeph::ColourRef bottomColour);

// ---- Rectangles and clipping ----
void DeflateRectByOne(UiRect& rect);
void DeflateRectBy(UiRect& rect, int dx, int dy);
// Right and bottom one further: an inclusive rect as one that leaves them out.
void ExtendRectRightBottom(UiRect& rect);
// Right not left of left, bottom not above top, neither side longer than 32767.
int IsValidClipRect(const UiRect& rect);
// Limits drawing to the rect (logical, inclusive). An invalid rect is a glitch (20102) and
// the clip stays as it was.
void ClipToRect(zeph::CDrawContext& dc, const UiRect& rect);
void ClipToBox(zeph::CDrawContext& dc, int left, int top, int right, int bottom);

// What CentreWindow needs of a top-level window; the user-interface layers implement it.
class IPlacedWindow {
 public:
  virtual ~IPlacedWindow() = default;
  // The window's rectangle in screen pixels (right and bottom outside).
  virtual zeph::DcRect GetWindowRect() const = 0;
  // The size of the screen the window is on.
  virtual zeph::DcSize GetScreenSize() const = 0;
  virtual void MoveWindow(int left, int top, int width, int height, bool repaint) = 0;
};
// Centres the window across the screen and places it at fraction of the free height (a
// fraction outside 0..1 counts as 0.5).
void CentreWindow(IPlacedWindow& window, double fraction);

inline constexpr int kArrowLeft = 0;
inline constexpr int kArrowRight = 1;
inline constexpr int kArrowUp = 2;
inline constexpr int kArrowDown = 3;
// A raised (or pressed) grey button with a black arrow.
void Draw3dArrowButton(zeph::CDrawContext& dc, const UiRect& rect, int arrow, int pressed);
// A blue tick of the given thickness, margin pixels inside the box.
void DrawTickMark(zeph::CDrawContext& dc, int left, int top, int right, int bottom, int margin,
                  int thickness);

// ---- Text, in the context's selected font ----
void SetTransparentBk(zeph::CDrawContext& dc);
void SetOpaqueBkColour(zeph::CDrawContext& dc, zeph::ColourRef colour);
void SetOpaqueBkColourUi(zeph::CDrawContext& dc, int index);
void SetTextColour(zeph::CDrawContext& dc, zeph::ColourRef colour);
void SetTextColourUi(zeph::CDrawContext& dc, int index);
// Height plus external leading of the selected font.
int GetLineHeight(const zeph::CDrawContext& dc);
// Width of the first length characters (the whole text when length <= 0 or longer than the
// text). With italicAllowance, an italic font adds three quarters of a blank for its overhang.
int GetTextWidth(const zeph::CDrawContext& dc, QStringView text, int length, int italicAllowance);
// The width of a caption without its mnemonic '&', with the italic allowance.
int GetCaptionTextWidth(const zeph::CDrawContext& dc, const QString& text);
// The widest line of the text (lines end at CR or LF), with the italic allowance.
int GetWidestLineWidth(const zeph::CDrawContext& dc, QStringView text);
// How many leading characters (of the first length, or all when length < 0) fit into width.
// Mode 0 counts the characters that fit; mode 1 the count whose width is nearer to width
// (the lower one on a tie).
int FitTextToWidth(const zeph::CDrawContext& dc, QStringView text, int width, int mode, int length,
                   int italic);

inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignCentre = 1;
inline constexpr int kAlignRight = 2;
// The text (or its first length characters; -1 for all) with its top at y, aligned about x.
void DrawTextAt(zeph::CDrawContext& dc, int x, int y, QStringView text, int alignment, int length);
// One line of text in the box from left to right (inclusive), one line high, clipped to it.
// A text too wide for centred or right alignment is drawn from left.
void DrawTextInBox(zeph::CDrawContext& dc, int left, int top, QStringView text, int right,
                   int alignment);
// DrawTextInBox from left, after filling the line in the background colour when the
// background mode is opaque.
void DrawTextLine(zeph::CDrawContext& dc, int left, int top, QStringView text, int right);
void DrawNumberInBox(zeph::CDrawContext& dc, int left, int top, double value, int right,
                     int alignment);
void DrawNumberAt(zeph::CDrawContext& dc, int x, int y, double value, int alignment);

// ---- Display and colours ----
// Once a run, before anything is painted: screen size and resolution, the colour mode (and
// the palette on a screen that cannot show every colour), then SetUpUiColours.
void SetUpDisplay(zeph::CDrawContext& dc);
// Builds g_colourTable for g_displayColourMode and sets the ink and background colours.
void SetUpUiColours();
// The highlight colours from the option "DormantColour"; at start-up and whenever the options
// are confirmed.
void ApplyDormantColour();

// How many of a palette's entries a screen realises when the palette is selected as its
// foreground palette. Our drawing contexts draw in true colour and keep no palette, so the
// stand-in realises none; a back end for a palette screen registers its own.
using PaletteRealiser = int (*)(zeph::CDrawContext& dc, const CLogicalPalette& palette);
// Null restores the stand-in.
void SetPaletteRealiser(PaletteRealiser realiser);

// Lets the activity log describe the display (colour mode, screen size) in glitch reports.
void InstallScreenLogHooks();

// Puts every global above back as at program start. For tests.
void ResetScreenState();

// ---- Saved screen area ----
// What a small transient drawing covers, so that it can be put back exactly.
class CSavedScreenArea {
 public:
  CSavedScreenArea();
  // An area whose failures report these glitch codes instead (a text's saved area).
  CSavedScreenArea(int saveGlitch, int restoreGlitch);
  ~CSavedScreenArea();
  CSavedScreenArea(const CSavedScreenArea&) = delete;
  CSavedScreenArea& operator=(const CSavedScreenArea&) = delete;

  // Copies the pixels of rect (right and bottom outside, device pixels as the context draws
  // them). 1 when saved; a failure is a glitch (22501: 2 no memory, 3 no bitmap, 4 copy
  // failed) and 0.
  int Save(zeph::CDrawContext& dc, const zeph::DcRect& rect);
  // Puts the saved pixels back where they came from, exactly the rect saved. 1 when restored;
  // a glitch (22502: 1 nothing saved, 2 no bitmap, 4 copy failed) and 0 otherwise.
  int Restore(zeph::CDrawContext& dc);
  int IsSaved() const { return m_saved; }
  // Forgets the saved pixels and frees their storage.
  void Release();

 private:
  int m_saveGlitch = 22501;
  int m_restoreGlitch = 22502;
  std::int32_t m_saved = 0;
  std::unique_ptr<zeph::CSavedBits> m_bitmap;
  std::int32_t m_left = 0;
  std::int32_t m_top = 0;
  std::int32_t m_width = 0;  // the bitmap's size, which is the size of the area saved
  std::int32_t m_height = 0;
};
