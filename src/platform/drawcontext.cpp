#include "platform/drawcontext.h"

#include <cstring>

namespace zeph {

CDrawContext::CDrawContext() : m_font(SystemFont()) {}

DeviceCaps CDrawContext::GetDeviceCaps() const {
  DeviceCaps caps = QueryDeviceCaps();
  // Styled lines and font heights divide by the resolution: never report 0.
  const int fallback = IsPrinting() ? kFallbackPrinterDpi : kFallbackScreenDpi;
  if (caps.dpiX <= 0) caps.dpiX = fallback;
  if (caps.dpiY <= 0) caps.dpiY = fallback;
  return caps;
}

ColourRef CDrawContext::GetNearestColour(ColourRef colour) const {
  colour &= kColourMask;
  if (QueryDeviceCaps().colourBits > 1) return colour;
  const int grey = (30 * RedOf(colour) + 59 * GreenOf(colour) + 11 * BlueOf(colour)) / 100;
  return grey >= 128 ? kColourMask : 0;
}

DcPoint CDrawContext::SetWindowOrigin(DcPoint origin) {
  const DcPoint previous = m_origin;
  m_origin = origin;
  return previous;
}

DcPoint CDrawContext::OffsetWindowOrigin(int dx, int dy) {
  return SetWindowOrigin({m_origin.x + dx, m_origin.y + dy});
}

RasterOp CDrawContext::SetRasterOp(RasterOp op) {
  const RasterOp previous = m_rasterOp;
  m_rasterOp = op;
  return previous;
}

DcPen CDrawContext::SelectPen(const DcPen& pen) {
  // Copied whole: a field-by-field copy leaves the style byte to be read back with its
  // neighbours, which stalls every item's drawing on a store.
  DcPen previous;
  std::memcpy(static_cast<void*>(&previous), &m_pen, sizeof previous);
  m_pen = pen;
  return previous;
}

DcBrush CDrawContext::SelectBrush(const DcBrush& brush) {
  const DcBrush previous = m_brush;
  m_brush = brush;
  return previous;
}

DcFont CDrawContext::SelectFont(const DcFont& font) {
  DcFont previous = m_font;
  m_font = font;
  return previous;
}

ColourRef CDrawContext::SetTextColour(ColourRef colour) {
  const ColourRef previous = m_textColour;
  m_textColour = colour;
  return previous;
}

ColourRef CDrawContext::SetBkColour(ColourRef colour) {
  const ColourRef previous = m_bkColour;
  m_bkColour = colour;
  return previous;
}

BkMode CDrawContext::SetBkMode(BkMode mode) {
  const BkMode previous = m_bkMode;
  m_bkMode = mode;
  return previous;
}

TextAlign CDrawContext::SetTextAlign(TextAlign align) {
  const TextAlign previous = m_textAlign;
  m_textAlign = align;
  return previous;
}

DcPoint CDrawContext::MoveTo(int x, int y) {
  const DcPoint previous = m_position;
  m_position = {x, y};
  return previous;
}

void CDrawContext::SetPixels(std::span<const DcPoint> points, ColourRef colour) {
  for (const DcPoint& p : points) SetPixel(p.x, p.y, colour);
}

void CDrawContext::DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2) {
  const DcPen previous = SelectPen(pen);
  if (x1 != x2 || y1 != y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  SetPixel(x2, y2, pen.colour);
  SelectPen(previous);
}

DcFont SystemFont() {
  DcFont font;
  font.face = QStringLiteral("DejaVu Sans");
  font.height = 16;
  return font;
}

QString ResolveFontFace(const QString& face) {
  const QString trimmed = face.trimmed();
  struct Mapping {
    const char* asked;
    const char* installed;
  };
  static constexpr Mapping kMappings[] = {
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
  };
  for (const Mapping& m : kMappings) {
    if (trimmed.compare(QLatin1String(m.asked), Qt::CaseInsensitive) == 0) {
      return QString::fromLatin1(m.installed);
    }
  }
  static constexpr const char* kKept[] = {
      "Liberation Sans", "Liberation Serif", "Liberation Mono",
      "DejaVu Sans",     "DejaVu Serif",     "DejaVu Sans Mono",
  };
  for (const char* kept : kKept) {
    if (trimmed.compare(QLatin1String(kept), Qt::CaseInsensitive) == 0) {
      return QString::fromLatin1(kept);
    }
  }
  return QStringLiteral("DejaVu Sans");
}

}  // namespace zeph
