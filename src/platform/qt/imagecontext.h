#pragma once
// The drawing context of the screen: pixels of a QImage back buffer, which the drawing window
// shows. Lines, shapes and pixels are set by our own rasterisers so that the pixel rules of
// the interface hold exactly; text is drawn by QPainter without antialiasing.
#include "platform/drawcontext.h"
#include "platform/qt/rasteriser.h"

#include <QFont>
#include <vector>

class QImage;

namespace zeph {

class CImageContext final : public CDrawContext {
 public:
  // Draws on image, which must outlive the context; an image of another format is converted
  // to 32-bit RGB first.
  explicit CImageContext(QImage& image);

  // What the device reports; by default the image's size at 96 dots per inch.
  void SetDeviceCaps(const DeviceCaps& caps) { m_caps = caps; }

  bool IsPrinting() const override { return false; }
  DcRect GetClipBox() const override;
  void SetClipRect(const DcRect& rect) override;
  void ResetClip() override;

  void LineTo(int x, int y) override;
  void SetPixel(int x, int y, ColourRef colour) override;
  void SetPixels(std::span<const DcPoint> points, ColourRef colour) override;
  void DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  bool Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
           int endY) override;
  void PolyBezier(const std::array<DcPoint, 4>& points) override;
  void Polygon(std::span<const DcPoint> points) override;
  void FillRect(const DcRect& rect, ColourRef colour) override;

  TextMetrics GetTextMetrics() const override;
  DcSize GetTextExtent(QStringView text) const override;
  void TextOut(int x, int y, QStringView text) override;
  void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) override;

  std::unique_ptr<CSavedBits> CreateSavedBits(int width, int height) override;
  bool SaveBits(CSavedBits& bits, int left, int top) override;
  bool RestoreBits(const CSavedBits& bits, int left, int top) override;

 protected:
  DeviceCaps QueryDeviceCaps() const override { return m_caps; }

 private:
  DcRect DeviceClip() const;
  // The image's pixels for writing, with its row length and the device clip. Asking the
  // image for its size and clip on every line would cost more than a short line's pixels,
  // so they are kept while the pixels stay where they were and as large.
  struct Surface {
    std::uint32_t* bits = nullptr;  // null: nothing can be drawn
    std::ptrdiff_t stride = 0;      // in pixels
    raster::Clip clip;              // device coordinates, inside the image
  };
  const Surface& PixelsForWriting();
  // The one-pixel outline of the box's ellipse, in the sweep's directions.
  void SetOutline(const raster::Clip& clip, std::int64_t left, std::int64_t top, std::int64_t right,
                  std::int64_t bottom, const raster::Sweep& sweep, ColourRef colour);
  const QFont& CurrentQtFont() const;
  void DrawText(int x, int y, const DcRect* clip, QStringView text);

  QImage& m_image;
  DeviceCaps m_caps;
  bool m_clipped = false;
  DcRect m_clip;  // device coordinates
  Surface m_surface;
  qsizetype m_surfaceBytes = -1;  // the image's size when m_surface was taken; -1: not taken
  mutable DcFont m_qtFontFor;
  mutable QFont m_qtFont;
  mutable bool m_qtFontValid = false;
  // Storage reused by every call, so that drawing allocates nothing once it has grown.
  raster::SpanSet m_pixels{raster::Clip{}};
  raster::SpanSet m_inside{raster::Clip{}};
  std::vector<raster::PointF> m_points;
};

// The primary screen's size, resolution and colour depth, for contexts that stand for it.
DeviceCaps ScreenDeviceCaps();

}  // namespace zeph
