#pragma once
// The drawing context: everything the items, the drawing helpers, the editor and printing draw
// and measure through. It is a small layer of our own; the Qt back ends implement it over a
// QImage back buffer and over QPrinter, and tests use the recording implementation.
//
// Coordinates are logical pixels: device = logical - window origin; device y grows downwards.
// The pixel rules the program relies on:
// - LineTo leaves out its end pixel, whichever way the line runs; a line of length 0 draws
//   nothing. The pixels of a line depend only on its two ends, not on its direction.
// - Rectangles (Ellipse and Arc boxes, FillRect, clip, text clip) exclude right and bottom.
// - In XOR mode lines, outlines, polygon and ellipse fills and SetPixel combine with the pixels
//   beneath by exclusive or, each pixel once per call, so a call repeated restores the picture
//   bit for bit. FillRect and text always copy.
// - Colours are 0x00BBGGRR; the palette flag 0x02000000 (any bit above the blue byte) is
//   ignored when drawing.
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace zeph {

using ColourRef = std::uint32_t;

inline constexpr ColourRef kPaletteColourFlag = 0x02000000;
inline constexpr ColourRef kColourMask = 0x00FFFFFF;

constexpr ColourRef MakeColour(int red, int green, int blue) {
  return static_cast<ColourRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(ColourRef colour) { return static_cast<int>(colour & 0xFF); }
constexpr int GreenOf(ColourRef colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int BlueOf(ColourRef colour) { return static_cast<int>((colour >> 16) & 0xFF); }

struct DcPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const DcPoint&, const DcPoint&) = default;
};

struct DcSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const DcSize&, const DcSize&) = default;
};

// Right and bottom are outside the rectangle.
struct DcRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const DcRect&, const DcRect&) = default;
};

enum class RasterOp : std::uint8_t { kCopy, kXor };

enum class PenStyle : std::uint8_t {
  kSolid,          // round ends and joins when wider than one pixel
  kGeometricFlat,  // flat ends, bevel joins
};

// A pen of width 0 or 1 draws one-pixel lines, whatever its style.
struct DcPen {
  PenStyle style = PenStyle::kSolid;
  int width = 1;
  ColourRef colour = 0;
  friend bool operator==(const DcPen&, const DcPen&) = default;
};

enum class BrushStyle : std::uint8_t { kNull, kSolid };

struct DcBrush {
  BrushStyle style = BrushStyle::kSolid;
  ColourRef colour = 0x00FFFFFF;
  friend bool operator==(const DcBrush&, const DcBrush&) = default;
};

// A font as the program asks for it. The face is resolved when drawing (ResolveFontFace).
struct DcFont {
  QString face;
  int height = 16;       // character height in pixels, internal leading excluded; at least 1
  int averageWidth = 0;  // average character width in pixels; 0 keeps the face's own width
  int escapement = 0;    // tenths of a degree counter-clockwise; text turns about its anchor
  bool bold = false;
  bool italic = false;
  friend bool operator==(const DcFont&, const DcFont&) = default;
};

struct TextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;  // height - character height
  int externalLeading = 0;  // space the font asks for between lines
  int averageCharWidth = 0;
  int maxCharWidth = 0;
  bool italic = false;
};

enum class BkMode : std::uint8_t { kTransparent, kOpaque };

// Horizontal placement of text about its anchor; text is always top-aligned at the anchor.
enum class TextAlign : std::uint8_t { kLeft, kCentre, kRight };

struct DeviceCaps {
  int dpiX = 96;  // pixels per inch; GetDeviceCaps never reports 0
  int dpiY = 96;
  int width = 0;  // pixels: the screen, or the printable area of a page
  int height = 0;
  int widthMm = 0;  // the same in millimetres
  int heightMm = 0;
  int physicalWidth = 0;  // the whole page, in pixels (the screen size on screens)
  int physicalHeight = 0;
  int physicalOffsetX = 0;  // unprintable margin left and above the printable area, pixels
  int physicalOffsetY = 0;
  bool plotter = false;
  int colourBits = 32;  // bits per pixel; 1 for a monochrome device
};

inline constexpr int kFallbackScreenDpi = 96;
inline constexpr int kFallbackPrinterDpi = 300;

// A copy of a rectangle of a context's pixels, made by CreateSavedBits of the same context.
class CSavedBits {
 public:
  virtual ~CSavedBits() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

class CDrawContext {
 public:
  CDrawContext();
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;
  virtual ~CDrawContext() = default;

  // ---- Device ----
  virtual bool IsPrinting() const = 0;
  // The device's capabilities; a resolution of 0 or less is reported as 96 (screen) or 300
  // (printing), since styled lines and font sizes divide by it.
  DeviceCaps GetDeviceCaps() const;
  // The colour the device shows for colour: itself on colour devices, black or white on
  // monochrome ones.
  ColourRef GetNearestColour(ColourRef colour) const;

  // ---- Clip (logical coordinates) ----
  // The visible part of the device, clip applied; empty when nothing can be drawn.
  virtual DcRect GetClipBox() const = 0;
  // Replaces the clip by rect (the window origin as it stands now); an empty rect hides all.
  virtual void SetClipRect(const DcRect& rect) = 0;
  virtual void ResetClip() = 0;

  // ---- State; each setter answers the previous value so callers can restore it ----
  virtual DcPoint SetWindowOrigin(DcPoint origin);
  DcPoint OffsetWindowOrigin(int dx, int dy);
  DcPoint GetWindowOrigin() const { return m_origin; }

  virtual RasterOp SetRasterOp(RasterOp op);
  RasterOp GetRasterOp() const { return m_rasterOp; }

  virtual DcPen SelectPen(const DcPen& pen);
  virtual DcBrush SelectBrush(const DcBrush& brush);
  virtual DcFont SelectFont(const DcFont& font);
  const DcPen& GetPen() const { return m_pen; }
  const DcBrush& GetBrush() const { return m_brush; }
  const DcFont& GetFont() const { return m_font; }

  virtual ColourRef SetTextColour(ColourRef colour);
  virtual ColourRef SetBkColour(ColourRef colour);
  virtual BkMode SetBkMode(BkMode mode);
  virtual TextAlign SetTextAlign(TextAlign align);
  ColourRef GetTextColour() const { return m_textColour; }
  ColourRef GetBkColour() const { return m_bkColour; }
  BkMode GetBkMode() const { return m_bkMode; }
  TextAlign GetTextAlign() const { return m_textAlign; }

  // ---- Lines and shapes (pen, brush and raster op as selected) ----
  virtual DcPoint MoveTo(int x, int y);
  DcPoint GetCurrentPosition() const { return m_position; }
  // Draws from the current position to (x, y), leaving out (x, y), and moves there.
  virtual void LineTo(int x, int y) = 0;
  // One pixel in colour, honouring the raster op.
  virtual void SetPixel(int x, int y, ColourRef colour) = 0;
  // SetPixel for each point in turn; back buffers set them without a call each.
  virtual void SetPixels(std::span<const DcPoint> points, ColourRef colour);
  // A line with both end pixels, in pen, the pen selected before kept: the same as
  // SelectPen(pen), MoveTo(x1, y1) and LineTo(x2, y2) unless the ends are one point,
  // SetPixel(x2, y2, pen.colour), SelectPen(previous). Back buffers do it without the calls.
  virtual void DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2);
  // The ellipse inscribed in the box (right and bottom excluded): outline with the pen,
  // inside with the brush.
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  // The piece of the box's ellipse outline from the ray from its centre through the start
  // point counter-clockwise (as seen on the page) to the ray through the end point; equal rays
  // draw the whole outline. False when nothing could be drawn (an empty box).
  virtual bool Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
                   int endY) = 0;
  // One cubic Bézier segment: start, two control points, end (end pixel left out).
  virtual void PolyBezier(const std::array<DcPoint, 4>& points) = 0;
  // A closed polygon: inside (alternate rule) with the brush, outline with the pen.
  virtual void Polygon(std::span<const DcPoint> points) = 0;
  // Fills rect with colour; never combined by the raster op.
  virtual void FillRect(const DcRect& rect, ColourRef colour) = 0;

  // ---- Text (font, colours, background mode and alignment as selected) ----
  virtual TextMetrics GetTextMetrics() const = 0;
  // Width and height (TextMetrics::height) of the text in the selected font, not turned.
  virtual DcSize GetTextExtent(QStringView text) const = 0;
  virtual void TextOut(int x, int y, QStringView text) = 0;
  // As TextOut, showing only what falls inside clip.
  virtual void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) = 0;

  // ---- Saved pixels ----
  // Storage for a width x height copy of this context's pixels; null when the device keeps
  // none (printers) or memory runs out.
  virtual std::unique_ptr<CSavedBits> CreateSavedBits(int width, int height) = 0;
  // Copies the bits' whole size from (left, top) into bits.
  virtual bool SaveBits(CSavedBits& bits, int left, int top) = 0;
  // Copies the bits back with their top-left corner at (left, top); the clip applies.
  virtual bool RestoreBits(const CSavedBits& bits, int left, int top) = 0;

 protected:
  virtual DeviceCaps QueryDeviceCaps() const = 0;
  void SetCurrentPosition(DcPoint point) { m_position = point; }

 private:
  DcPoint m_origin;
  DcPoint m_position;
  RasterOp m_rasterOp = RasterOp::kCopy;
  DcPen m_pen;
  DcBrush m_brush;
  DcFont m_font;
  ColourRef m_textColour = 0;
  ColourRef m_bkColour = 0x00FFFFFF;
  BkMode m_bkMode = BkMode::kOpaque;
  TextAlign m_textAlign = TextAlign::kLeft;
};

// The font a new context has selected.
DcFont SystemFont();

// The installed face that stands for a face name: Arial, Times New Roman and Courier New
// become the metric-compatible Liberation faces, DejaVu and Liberation faces stay, anything
// else becomes DejaVu Sans. Names compare without regard to case.
QString ResolveFontFace(const QString& face);

}  // namespace zeph
