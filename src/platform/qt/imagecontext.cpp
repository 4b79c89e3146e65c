#include "platform/qt/imagecontext.h"

#include "platform/qt/qtfont.h"
#include "platform/qt/rasteriser.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace zeph {
namespace {

using raster::SpanSet;
using Int = std::int64_t;

raster::Clip ToRasterClip(const DcRect& r) { return {r.left, r.top, r.right, r.bottom}; }

DcRect Intersect(const DcRect& a, const DcRect& b) {
  DcRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? DcRect{} : r;
}

std::uint32_t ToRgb(ColourRef colour) {
  return (static_cast<std::uint32_t>(RedOf(colour)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(colour)) << 8) |
         static_cast<std::uint32_t>(BlueOf(colour));
}

// Sets every pixel of spans once: copied, or combined by exclusive or.
void Apply(QImage& image, const SpanSet& spans, ColourRef colour, RasterOp op) {
  if (spans.empty()) return;
  const std::uint32_t rgb = ToRgb(colour);
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (const raster::Span& s : spans.spans()) {
    auto* row = reinterpret_cast<std::uint32_t*>(bits + stride * s.y);
    if (op == RasterOp::kXor) {
      for (std::int32_t x = s.x0; x < s.x1; ++x) row[x] ^= rgb;
    } else {
      std::fill(row + s.x0, row + s.x1, 0xFF000000u | rgb);
    }
  }
}

// The box with its corners ordered.
void OrderBox(Int& left, Int& top, Int& right, Int& bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
}

raster::PointF PixelCentre(Int x, Int y) {
  return {static_cast<double>(x) + 0.5, static_cast<double>(y) + 0.5};
}

class CImageBits final : public CSavedBits {
 public:
  explicit CImageBits(QImage image) : m_image(std::move(image)) {}
  int Width() const override { return m_image.width(); }
  int Height() const override { return m_image.height(); }
  QImage& image() { return m_image; }
  const QImage& image() const { return m_image; }

 private:
  QImage m_image;
};

// Copies a width x height block of 32-bit pixels from (sx, sy) of from to (dx, dy) of to,
// limited to the part inside both images and inside limit (a rectangle of to).
void CopyBlock(const QImage& from, Int sx, Int sy, QImage& to, Int dx, Int dy, Int width,
               Int height, const DcRect& limit) {
  // Destination rows and columns that are inside the block, the source and the limit.
  const Int x0 = std::max({dx, dx - sx, Int(limit.left), Int(0)});
  const Int x1 = std::min({dx + width, dx - sx + from.width(), Int(limit.right), Int(to.width())});
  const Int y0 = std::max({dy, dy - sy, Int(limit.top), Int(0)});
  const Int y1 =
      std::min({dy + height, dy - sy + from.height(), Int(limit.bottom), Int(to.height())});
  if (x0 >= x1 || y0 >= y1) return;
  for (Int y = y0; y < y1; ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(from.constScanLine(int(y - dy + sy)));
    auto* dst = reinterpret_cast<std::uint32_t*>(to.scanLine(int(y)));
    std::memcpy(dst + x0, src + (x0 - dx + sx), static_cast<std::size_t>(x1 - x0) * 4);
  }
}

}  // namespace

CImageContext::CImageContext(QImage& image) : m_image(image) {
  if (m_image.format() != QImage::Format_RGB32) {
    m_image = m_image.convertToFormat(QImage::Format_RGB32);
  }
  m_caps.width = m_image.width();
  m_caps.height = m_image.height();
  m_caps.physicalWidth = m_caps.width;
  m_caps.physicalHeight = m_caps.height;
  m_caps.widthMm = static_cast<int>(std::lround(m_caps.width * 25.4 / kFallbackScreenDpi));
  m_caps.heightMm = static_cast<int>(std::lround(m_caps.height * 25.4 / kFallbackScreenDpi));
}

DcRect CImageContext::DeviceClip() const {
  const DcRect whole{0, 0, m_image.width(), m_image.height()};
  return m_clipped ? Intersect(whole, m_clip) : whole;
}

const CImageContext::Surface& CImageContext::PixelsForWriting() {
  // bits() also gives the image its own copy of shared pixels, so it is asked every time.
  auto* bits = reinterpret_cast<std::uint32_t*>(m_image.bits());
  const qsizetype bytes = m_image.sizeInBytes();
  if (bits != m_surface.bits || bytes != m_surfaceBytes) {
    m_surface.bits = bits;
    m_surface.stride = bits != nullptr ? m_image.bytesPerLine() / 4 : 0;
    m_surface.clip = bits != nullptr ? ToRasterClip(DeviceClip()) : raster::Clip{};
    m_surfaceBytes = bytes;
  }
  return m_surface;
}

DcRect CImageContext::GetClipBox() const {
  const DcRect box = DeviceClip();
  if (box.IsEmpty()) return {};
  const DcPoint o = GetWindowOrigin();
  return {box.left + o.x, box.top + o.y, box.right + o.x, box.bottom + o.y};
}

void CImageContext::SetClipRect(const DcRect& rect) {
  const DcPoint o = GetWindowOrigin();
  m_clip = {rect.left - o.x, rect.top - o.y, rect.right - o.x, rect.bottom - o.y};
  m_clipped = true;
  m_surfaceBytes = -1;
}

void CImageContext::ResetClip() {
  m_clipped = false;
  m_surfaceBytes = -1;
}

void CImageContext::LineTo(int x, int y) {
  const DcPoint from = GetCurrentPosition();
  SetCurrentPosition({x, y});
  const DcPoint o = GetWindowOrigin();
  const Int x0 = Int(from.x) - o.x, y0 = Int(from.y) - o.y;
  const Int x1 = Int(x) - o.x, y1 = Int(y) - o.y;
  if (x0 == x1 && y0 == y1) return;
  const raster::Clip clip = ToRasterClip(DeviceClip());
  if (clip.IsEmpty()) return;
  // A line whose box (the pen's reach added) misses the clip sets nothing: no rasterising.
  const Int reach = GetPen().width <= 1 ? 0 : GetPen().width / 2 + 1;
  if (std::max(x0, x1) + reach < clip.left || std::min(x0, x1) - reach >= clip.right ||
      std::max(y0, y1) + reach < clip.top || std::min(y0, y1) - reach >= clip.bottom) {
    return;
  }
  const DcPen& pen = GetPen();
  if (pen.width <= 1) {
    // One pixel per step, none twice: set straight into the buffer.
    const std::uint32_t rgb = ToRgb(pen.colour);
    auto* bits = reinterpret_cast<std::uint32_t*>(m_image.bits());
    const std::ptrdiff_t stride = m_image.bytesPerLine() / 4;
    if (GetRasterOp() == RasterOp::kXor) {
      raster::TraceThinLineInto(clip, x0, y0, x1, y1, bits, stride,
                                [rgb](std::uint32_t& pixel) { pixel ^= rgb; });
    } else {
      const std::uint32_t value = 0xFF000000u | rgb;
      raster::TraceThinLineInto(clip, x0, y0, x1, y1, bits, stride,
                                [value](std::uint32_t& pixel) { pixel = value; });
    }
    return;
  }
  // A wide pen: its runs come row by row, each pixel once, and go straight into the buffer.
  const Surface& surface = PixelsForWriting();
  if (surface.bits == nullptr) return;
  std::uint32_t* const bits = surface.bits;
  const std::ptrdiff_t stride = surface.stride;
  const std::uint32_t rgb = ToRgb(pen.colour);
  const bool round = pen.style == PenStyle::kSolid;
  if (GetRasterOp() == RasterOp::kXor) {
    raster::StrokeSegment(clip, PixelCentre(x0, y0), PixelCentre(x1, y1), pen.width, round,
                          [&](Int y, Int from, Int to) {
                            std::uint32_t* row = bits + stride * y;
                            for (Int x = from; x < to; ++x) row[x] ^= rgb;
                          });
  } else {
    const std::uint32_t value = 0xFF000000u | rgb;
    raster::StrokeSegment(clip, PixelCentre(x0, y0), PixelCentre(x1, y1), pen.width, round,
                          [&](Int y, Int from, Int to) {
                            std::uint32_t* row = bits + stride * y;
                            for (Int x = from; x < to; ++x) row[x] = value;
                          });
  }
}

void CImageContext::DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2) {
  if (pen.width > 1) {
    CDrawContext::DrawLineWithEnd(pen, x1, y1, x2, y2);
    return;
  }
  // A one-pixel line: traced as LineTo traces it, then its end pixel, with no pen selected.
  if (x1 != x2 || y1 != y2) SetCurrentPosition({x2, y2});
  const Surface& surface = PixelsForWriting();
  const raster::Clip& clip = surface.clip;
  if (clip.IsEmpty()) return;
  const DcPoint o = GetWindowOrigin();
  const Int x0 = Int(x1) - o.x, y0 = Int(y1) - o.y;
  const Int xe = Int(x2) - o.x, ye = Int(y2) - o.y;
  const std::uint32_t rgb = ToRgb(pen.colour);
  const bool xorMode = GetRasterOp() == RasterOp::kXor;
  std::uint32_t* const bits = surface.bits;
  const std::ptrdiff_t stride = surface.stride;
  if (std::min(x0, xe) >= clip.left && std::max(x0, xe) < clip.right &&
      std::min(y0, ye) >= clip.top && std::max(y0, ye) < clip.bottom) {
    // Both ends inside (the usual case): every pixel is, the end pixel included.
    if (xorMode) {
      raster::TraceThinLineWithEndInto(x0, y0, xe, ye, bits, stride,
                                       [rgb](std::uint32_t& pixel) { pixel ^= rgb; });
    } else {
      const std::uint32_t value = 0xFF000000u | rgb;
      raster::TraceThinLineWithEndInto(x0, y0, xe, ye, bits, stride,
                                       [value](std::uint32_t& pixel) { pixel = value; });
    }
    return;
  }
  const bool reaches = std::max(x0, xe) >= clip.left && std::min(x0, xe) < clip.right &&
                       std::max(y0, ye) >= clip.top && std::min(y0, ye) < clip.bottom;
  if (!reaches) return;
  if (xorMode) {
    raster::TraceThinLineInto(clip, x0, y0, xe, ye, bits, stride,
                              [rgb](std::uint32_t& pixel) { pixel ^= rgb; });
  } else {
    const std::uint32_t value = 0xFF000000u | rgb;
    raster::TraceThinLineInto(clip, x0, y0, xe, ye, bits, stride,
                              [value](std::uint32_t& pixel) { pixel = value; });
  }
  if (xe < clip.left || xe >= clip.right || ye < clip.top || ye >= clip.bottom) return;
  std::uint32_t& end = bits[stride * ye + xe];
  end = xorMode ? (end ^ rgb) : (0xFF000000u | rgb);
}

void CImageContext::SetPixel(int x, int y, ColourRef colour) {
  const DcPoint o = GetWindowOrigin();
  const Int px = Int(x) - o.x, py = Int(y) - o.y;
  const DcRect clip = DeviceClip();
  if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) return;
  auto* pixel = reinterpret_cast<std::uint32_t*>(m_image.bits() + m_image.bytesPerLine() * py) + px;
  if (GetRasterOp() == RasterOp::kXor) {
    *pixel ^= ToRgb(colour);
  } else {
    *pixel = 0xFF000000u | ToRgb(colour);
  }
}

void CImageContext::SetPixels(std::span<const DcPoint> points, ColourRef colour) {
  if (points.empty()) return;
  const DcPoint o = GetWindowOrigin();
  const DcRect clip = DeviceClip();
  const std::uint32_t rgb = ToRgb(colour);
  const bool xorMode = GetRasterOp() == RasterOp::kXor;
  uchar* bits = m_image.bits();
  const qsizetype stride = m_image.bytesPerLine();
  for (const DcPoint& p : points) {
    const Int px = Int(p.x) - o.x, py = Int(p.y) - o.y;
    if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) continue;
    auto* pixel = reinterpret_cast<std::uint32_t*>(bits + stride * py) + px;
    *pixel = xorMode ? (*pixel ^ rgb) : (0xFF000000u | rgb);
  }
}

void CImageContext::SetOutline(const raster::Clip& clip, Int left, Int top, Int right, Int bottom,
                               const raster::Sweep& sweep, ColourRef colour) {
  // Each pixel comes once: set straight into the buffer, in the order traced.
  const Surface& surface = PixelsForWriting();
  if (surface.bits == nullptr) return;
  std::uint32_t* const bits = surface.bits;
  const std::ptrdiff_t stride = surface.stride;
  const std::uint32_t rgb = ToRgb(colour);
  if (GetRasterOp() == RasterOp::kXor) {
    raster::TraceEllipseOutline(clip, left, top, right, bottom, sweep,
                                [&](Int x, Int y) { bits[stride * y + x] ^= rgb; });
  } else {
    const std::uint32_t value = 0xFF000000u | rgb;
    raster::TraceEllipseOutline(clip, left, top, right, bottom, sweep,
                                [&](Int x, Int y) { bits[stride * y + x] = value; });
  }
}

void CImageContext::Ellipse(int left, int top, int right, int bottom) {
  const DcPoint o = GetWindowOrigin();
  Int l = Int(left) - o.x, t = Int(top) - o.y, r = Int(right) - o.x, b = Int(bottom) - o.y;
  OrderBox(l, t, r, b);
  if (l == r || t == b) return;
  const raster::Clip clip = ToRasterClip(DeviceClip());
  if (clip.IsEmpty()) return;
  const DcPen& pen = GetPen();
  const Int reach = pen.width / 2 + 1;
  if (r + reach <= clip.left || l - reach >= clip.right || b + reach <= clip.top ||
      t - reach >= clip.bottom) {
    return;
  }
  const bool filled = GetBrush().style == BrushStyle::kSolid;
  if (pen.width <= 1 && !filled) {
    SetOutline(clip, l, t, r, b, raster::Sweep(), pen.colour);
    return;
  }
  SpanSet& outline = m_pixels;
  outline.Reset(clip);
  if (pen.width <= 1) {
    raster::AddEllipseOutline(outline, l, t, r, b);
  } else {
    raster::AddEllipseBand(outline, l, t, r, b, pen.width);
  }
  outline.Normalise();
  if (filled) {
    SpanSet& inside = m_inside;
    inside.Reset(clip);
    raster::AddEllipseInside(inside, l, t, r, b);
    inside.Normalise();
    inside.Subtract(outline);
    Apply(m_image, inside, GetBrush().colour, GetRasterOp());
  }
  Apply(m_image, outline, pen.colour, GetRasterOp());
}

bool CImageContext::Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
                        int endY) {
  const DcPoint o = GetWindowOrigin();
  Int l = Int(left) - o.x, t = Int(top) - o.y, r = Int(right) - o.x, b = Int(bottom) - o.y;
  OrderBox(l, t, r, b);
  if (l == r || t == b) return false;
  const Int sx = Int(startX) - o.x, sy = Int(startY) - o.y;
  const Int ex = Int(endX) - o.x, ey = Int(endY) - o.y;
  const raster::Clip clip = ToRasterClip(DeviceClip());
  if (clip.IsEmpty()) return true;
  // Directions from the centre in doubled coordinates, as the rasterisers use them.
  const Int cx2 = l + r - 1, cy2 = t + b - 1;
  const raster::Sweep sweep(double(2 * sx - cx2), double(2 * sy - cy2), double(2 * ex - cx2),
                            double(2 * ey - cy2));
  const DcPen& pen = GetPen();
  if (pen.width <= 1) {
    SetOutline(clip, l, t, r, b, sweep, pen.colour);
    return true;
  }
  SpanSet& pixels = m_pixels;
  pixels.Reset(clip);
  raster::AddEllipseBand(pixels, l, t, r, b, pen.width, sweep);
  if (pen.style == PenStyle::kSolid && !sweep.IsFull()) {
    raster::AddDisc(pixels, raster::EllipsePointTowards(l, t, r, b, sx, sy), pen.width / 2.0);
    raster::AddDisc(pixels, raster::EllipsePointTowards(l, t, r, b, ex, ey), pen.width / 2.0);
  }
  pixels.Normalise();
  Apply(m_image, pixels, pen.colour, GetRasterOp());
  return true;
}

void CImageContext::PolyBezier(const std::array<DcPoint, 4>& points) {
  const DcPoint o = GetWindowOrigin();
  const raster::Clip clip = ToRasterClip(DeviceClip());
  if (clip.IsEmpty()) return;
  const DcPen& pen = GetPen();
  const bool thin = pen.width <= 1;
  // Thin curves pass through pixel positions; wide ones are outlined about pixel centres.
  const double shift = thin ? 0.0 : 0.5;
  std::array<raster::PointF, 4> control;
  for (std::size_t i = 0; i < 4; ++i) {
    control[i] = {double(Int(points[i].x) - o.x) + shift, double(Int(points[i].y) - o.y) + shift};
  }
  std::vector<raster::PointF>& path = m_points;
  raster::FlattenBezier(control, path);
  SpanSet& pixels = m_pixels;
  pixels.Reset(clip);
  if (thin) {
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      raster::AddThinLine(pixels, std::llround(path[i].x), std::llround(path[i].y),
                          std::llround(path[i + 1].x), std::llround(path[i + 1].y));
    }
  } else {
    raster::StrokePolyline(pixels, path, pen.width, pen.style == PenStyle::kSolid, false);
  }
  pixels.Normalise();  // a curve may pass a pixel twice: set it once
  Apply(m_image, pixels, pen.colour, GetRasterOp());
}

void CImageContext::Polygon(std::span<const DcPoint> points) {
  if (points.size() < 2) return;
  const DcPoint o = GetWindowOrigin();
  const raster::Clip clip = ToRasterClip(DeviceClip());
  if (clip.IsEmpty()) return;
  std::vector<raster::PointF>& centres = m_points;
  centres.clear();
  for (const DcPoint& p : points) centres.push_back(PixelCentre(Int(p.x) - o.x, Int(p.y) - o.y));

  const DcPen& pen = GetPen();
  SpanSet& outline = m_pixels;
  outline.Reset(clip);
  if (pen.width <= 1) {
    for (std::size_t i = 0; i < points.size(); ++i) {
      const DcPoint& a = points[i];
      const DcPoint& b = points[(i + 1) % points.size()];
      raster::AddThinLine(outline, Int(a.x) - o.x, Int(a.y) - o.y, Int(b.x) - o.x, Int(b.y) - o.y);
    }
  } else {
    raster::StrokePolyline(outline, centres, pen.width, pen.style == PenStyle::kSolid, true);
  }
  outline.Normalise();
  if (GetBrush().style == BrushStyle::kSolid && points.size() > 2) {
    SpanSet& inside = m_inside;
    inside.Reset(clip);
    const std::span<const std::vector<raster::PointF>> contours(&centres, 1);
    raster::FillContours(inside, contours, true);
    inside.Normalise();
    inside.Subtract(outline);
    Apply(m_image, inside, GetBrush().colour, GetRasterOp());
  }
  Apply(m_image, outline, pen.colour, GetRasterOp());
}

void CImageContext::FillRect(const DcRect& rect, ColourRef colour) {
  const DcPoint o = GetWindowOrigin();
  SpanSet& pixels = m_pixels;
  pixels.Reset(ToRasterClip(DeviceClip()));
  const Int first = std::max(Int(rect.top) - o.y, pixels.clip().top);
  const Int end = std::min(Int(rect.bottom) - o.y, pixels.clip().bottom);
  for (Int y = first; y < end; ++y) pixels.AddRun(y, Int(rect.left) - o.x, Int(rect.right) - o.x);
  Apply(m_image, pixels, colour, RasterOp::kCopy);
}

const QFont& CImageContext::CurrentQtFont() const {
  if (!m_qtFontValid || !(m_qtFontFor == GetFont())) {
    m_qtFontFor = GetFont();
    m_qtFont = MakeQtFont(m_qtFontFor, &m_image);
    m_qtFontValid = true;
  }
  return m_qtFont;
}

TextMetrics CImageContext::GetTextMetrics() const {
  return QtTextMetrics(CurrentQtFont(), GetFont(), &m_image);
}

DcSize CImageContext::GetTextExtent(QStringView text) const {
  return QtTextExtent(CurrentQtFont(), &m_image, text);
}

void CImageContext::DrawText(int x, int y, const DcRect* clip, QStringView text) {
  if (text.isEmpty()) return;
  const DcPoint o = GetWindowOrigin();
  DcRect visible = DeviceClip();
  if (clip != nullptr) {
    visible = Intersect(visible,
                        {clip->left - o.x, clip->top - o.y, clip->right - o.x, clip->bottom - o.y});
  }
  if (visible.IsEmpty()) return;
  const QFont& qfont = CurrentQtFont();
  QPainter painter(&m_image);
  painter.setClipRect(
      QRect(visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top));
  DrawQtText(painter, *this, qfont, &m_image, x - o.x, y - o.y, text);
}

void CImageContext::TextOut(int x, int y, QStringView text) { DrawText(x, y, nullptr, text); }

void CImageContext::TextOutClipped(int x, int y, const DcRect& clip, QStringView text) {
  DrawText(x, y, &clip, text);
}

std::unique_ptr<CSavedBits> CImageContext::CreateSavedBits(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return nullptr;
  image.fill(0u);
  return std::make_unique<CImageBits>(std::move(image));
}

bool CImageContext::SaveBits(CSavedBits& bits, int left, int top) {
  auto* saved = dynamic_cast<CImageBits*>(&bits);
  if (saved == nullptr) return false;
  const DcPoint o = GetWindowOrigin();
  QImage& to = saved->image();
  CopyBlock(m_image, Int(left) - o.x, Int(top) - o.y, to, 0, 0, to.width(), to.height(),
            {0, 0, to.width(), to.height()});
  return true;
}

bool CImageContext::RestoreBits(const CSavedBits& bits, int left, int top) {
  const auto* saved = dynamic_cast<const CImageBits*>(&bits);
  if (saved == nullptr) return false;
  const DcPoint o = GetWindowOrigin();
  const QImage& from = saved->image();
  CopyBlock(from, 0, 0, m_image, Int(left) - o.x, Int(top) - o.y, from.width(), from.height(),
            DeviceClip());
  return true;
}

DeviceCaps ScreenDeviceCaps() {
  DeviceCaps caps;
  caps.width = 1024;
  caps.height = 768;
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  if (screen != nullptr) {
    caps.width = screen->size().width();
    caps.height = screen->size().height();
    caps.dpiX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
    caps.dpiY = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    caps.colourBits = screen->depth();
  }
  if (caps.dpiX <= 0) caps.dpiX = kFallbackScreenDpi;
  if (caps.dpiY <= 0) caps.dpiY = kFallbackScreenDpi;
  caps.physicalWidth = caps.width;
  caps.physicalHeight = caps.height;
  caps.widthMm = static_cast<int>(std::lround(caps.width * 25.4 / caps.dpiX));
  caps.heightMm = static_cast<int>(std::lround(caps.height * 25.4 / caps.dpiY));
  return caps;
}

}  // namespace zeph
