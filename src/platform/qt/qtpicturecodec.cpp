#include "platform/qt/qtpicturecodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>

#include "platform/qt/imagecontext.h"
#include "platform/qt/qtfont.h"

namespace zeph {
namespace {

QRect ToQRect(const DcRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

class CQtBitmap final : public CPictureBitmap {
 public:
  explicit CQtBitmap(QImage image);
  int Width() const override { return m_image.width(); }
  int Height() const override { return m_image.height(); }
  bool DrawTo(CDrawContext& dc, int x, int y) const override;
  const QImage& image() const { return m_image; }

 private:
  void DrawAsRuns(CDrawContext& dc, int x, int y) const;

  QImage m_image;  // Format_RGB32
  // The pixels as a back buffer keeps saved pixels, which every back buffer puts back with
  // one copy; null when they could not be made.
  std::unique_ptr<CSavedBits> m_bits;
};

CQtBitmap::CQtBitmap(QImage image) : m_image(std::move(image)) {
  QImage shared = m_image;  // the context only reads it: no copy is made
  CImageContext source(shared);
  m_bits = source.CreateSavedBits(m_image.width(), m_image.height());
  if (m_bits != nullptr && !source.SaveBits(*m_bits, 0, 0)) m_bits.reset();
}

bool CQtBitmap::DrawTo(CDrawContext& dc, int x, int y) const {
  if (m_bits != nullptr && dc.RestoreBits(*m_bits, x, y)) return true;
  DrawAsRuns(dc, x, y);
  return true;
}

// For contexts that take no back buffer's pixels (printers): the visible part goes over as
// runs of equal pixels along each row.
void CQtBitmap::DrawAsRuns(CDrawContext& dc, int x, int y) const {
  const DcRect clip = dc.GetClipBox();
  const int left = std::max(x, clip.left);
  const int right = std::min<qint64>(qint64(x) + m_image.width(), clip.right);
  const int top = std::max(y, clip.top);
  const int bottom = std::min<qint64>(qint64(y) + m_image.height(), clip.bottom);
  for (int row = top; row < bottom; ++row) {
    const auto* pixels = reinterpret_cast<const QRgb*>(m_image.constScanLine(row - y));
    int start = left;
    while (start < right) {
      const QRgb colour = pixels[start - x] & 0x00FFFFFFu;
      int end = start + 1;
      while (end < right && (pixels[end - x] & 0x00FFFFFFu) == colour) ++end;
      dc.FillRect({start, row, end, row + 1},
                  MakeColour(qRed(colour), qGreen(colour), qBlue(colour)));
      start = end;
    }
  }
}

// An opaque image of size filled with background, for drawing a picture onto.
QImage Canvas(int width, int height, ColourRef background) {
  QImage canvas(width, height, QImage::Format_RGB32);
  if (!canvas.isNull()) canvas.fill(ToQColor(background));
  return canvas;
}

class CRasterPicture final : public CPictureSource {
 public:
  explicit CRasterPicture(QImage image) : m_image(std::move(image)) {}
  int Width() const override { return m_image.width(); }
  int Height() const override { return m_image.height(); }
  bool IsVector() const override { return false; }
  std::unique_ptr<CPictureBitmap> Render(const DcRect& band, int width, int height,
                                         ColourRef background) const override {
    if (width <= 0 || height <= 0) return nullptr;
    const QRect source = ToQRect(band).intersected(m_image.rect());
    if (source.isEmpty()) return nullptr;
    QImage canvas = Canvas(width, height, background);
    if (canvas.isNull()) return nullptr;
    QImage part = source == m_image.rect() ? m_image : m_image.copy(source);
    if (part.size() != QSize(width, height)) {
      part = part.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (part.isNull()) return nullptr;
    QPainter painter(&canvas);
    painter.drawImage(0, 0, part);
    painter.end();
    return std::make_unique<CQtBitmap>(std::move(canvas));
  }

 private:
  QImage m_image;
};

// A vector picture keeps its document and is drawn anew for every size asked for.
class CVectorPicture final : public CPictureSource {
 public:
  CVectorPicture(QByteArray data, QByteArray format, QSize size)
      : m_data(std::move(data)), m_format(std::move(format)), m_size(size) {}
  int Width() const override { return m_size.width(); }
  int Height() const override { return m_size.height(); }
  bool IsVector() const override { return true; }
  std::unique_ptr<CPictureBitmap> Render(const DcRect& band, int width, int height,
                                         ColourRef background) const override {
    if (width <= 0 || height <= 0) return nullptr;
    const QRect source = ToQRect(band);
    if (source.isEmpty()) return nullptr;
    QByteArray data = m_data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly)) return nullptr;
    QImageReader reader(&buffer, m_format);
    reader.setClipRect(source);
    reader.setScaledSize(QSize(width, height));
    reader.setBackgroundColor(ToQColor(background));
    const QImage drawn = reader.read();
    if (drawn.isNull()) return nullptr;
    QImage canvas = Canvas(width, height, background);
    if (canvas.isNull()) return nullptr;
    QPainter painter(&canvas);
    painter.drawImage(0, 0, drawn);
    painter.end();
    return std::make_unique<CQtBitmap>(std::move(canvas));
  }

 private:
  QByteArray m_data;
  QByteArray m_format;
  QSize m_size;
};

int StatusOf(QImageReader::ImageReaderError error) {
  switch (error) {
    case QImageReader::FileNotFoundError:
      return kPictureFileNotFound;
    case QImageReader::UnsupportedFormatError:
      return kPictureUnknownFormat;
    default:
      return kPictureGenericError;
  }
}

std::unique_ptr<CPictureSource> Decode(QByteArray data, const QByteArray& formatHint, int& status) {
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) {
    status = kPictureGenericError;
    return nullptr;
  }
  // The content decides; a name's extension counts only for formats without a signature.
  QByteArray format = QImageReader::imageFormat(&buffer);
  if (format.isEmpty() && !formatHint.isEmpty() &&
      QImageReader::supportedImageFormats().contains(formatHint)) {
    format = formatHint;
  }
  if (format.isEmpty()) {
    status = kPictureUnknownFormat;
    return nullptr;
  }
  buffer.seek(0);
  QImageReader reader(&buffer, format);
  if (format == "svg" || format == "svgz") {
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
      status = kPictureGenericError;
      return nullptr;
    }
    buffer.close();
    status = kPictureOk;
    return std::make_unique<CVectorPicture>(std::move(data), format, size);
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    status = StatusOf(reader.error());
    return nullptr;
  }
  if (image.format() != QImage::Format_ARGB32_Premultiplied) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
      status = kPictureOutOfMemory;
      return nullptr;
    }
  }
  status = kPictureOk;
  return std::make_unique<CRasterPicture>(std::move(image));
}

}  // namespace

CQtPictureCodec::CQtPictureCodec() { QImageReader::setAllocationLimit(kPictureAllocationLimitMb); }

std::unique_ptr<CPictureSource> CQtPictureCodec::LoadFile(const QString& path, int& status) {
  QFile file(path);
  if (!file.exists()) {
    status = kPictureFileNotFound;
    return nullptr;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    status = kPictureGenericError;
    return nullptr;
  }
  QByteArray data = file.readAll();
  file.close();
  return Decode(std::move(data), QFileInfo(path).suffix().toLower().toLatin1(), status);
}

std::unique_ptr<CPictureSource> CQtPictureCodec::LoadBytes(QByteArrayView bytes, int& status) {
  if (bytes.isEmpty()) {
    status = kPictureUnknownFormat;
    return nullptr;
  }
  return Decode(bytes.toByteArray(), QByteArray(), status);
}

const QImage* PictureBitmapImage(const CPictureBitmap& bitmap) {
  const auto* qt = dynamic_cast<const CQtBitmap*>(&bitmap);
  return qt != nullptr ? &qt->image() : nullptr;
}

}  // namespace zeph
