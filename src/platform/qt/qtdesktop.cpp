#include "platform/qt/qtdesktop.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <new>

namespace zeph {
namespace {

bool HaveGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

CQtDesktop::~CQtDesktop() {
  if (m_overriding && HaveGuiApplication()) QGuiApplication::restoreOverrideCursor();
}

CursorShape CQtDesktop::SetCursor(CursorShape shape) {
  const CursorShape previous = m_shape;
  m_shape = shape;
  if (!HaveGuiApplication()) return previous;
  if (shape == CursorShape::kOwn) {
    if (m_overriding) QGuiApplication::restoreOverrideCursor();
    m_overriding = false;
    return previous;
  }
  const QCursor cursor(shape == CursorShape::kWait ? Qt::WaitCursor : Qt::ArrowCursor);
  // One entry of ours on Qt's stack at most, so that calls need not be balanced.
  if (m_overriding) {
    QGuiApplication::changeOverrideCursor(cursor);
  } else {
    QGuiApplication::setOverrideCursor(cursor);
    m_overriding = true;
  }
  return previous;
}

bool CQtDesktop::GetClipboardPictureSize(DcSize& size) {
  if (!HaveGuiApplication()) return false;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
  if (data == nullptr || !data->hasImage()) return false;
  const QImage image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull()) return false;
  size = {image.width(), image.height()};
  return true;
}

bool CQtDesktop::GetClipboardBitmap(std::vector<std::uint8_t>& block) {
  block.clear();
  if (!HaveGuiApplication()) return false;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
  if (data == nullptr || !data->hasImage()) return false;
  return ImageToDeviceIndependentBitmap(qvariant_cast<QImage>(data->imageData()), block);
}

namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value,
                     int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

}  // namespace

bool ImageToDeviceIndependentBitmap(const QImage& image, std::vector<std::uint8_t>& block) {
  block.clear();
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
  const bool alpha = image.hasAlphaChannel();
  const QImage pixels = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (pixels.isNull()) return false;
  const int bits = alpha ? 32 : 24;
  const std::size_t width = static_cast<std::size_t>(pixels.width());
  const std::size_t height = static_cast<std::size_t>(pixels.height());
  const std::size_t rowSize = (static_cast<std::size_t>(bits) * width + 31) / 32 * 4;
  constexpr std::size_t kHeaderSize = 40;
  if (rowSize * height > 0x7FFFFFFFu - kHeaderSize) return false;
  try {
    block.assign(kHeaderSize + rowSize * height, 0);
  } catch (const std::bad_alloc&) {
    block.clear();
    return false;
  }
  PutLittleEndian(block, 0, kHeaderSize, 4);
  PutLittleEndian(block, 4, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(block, 8, static_cast<std::uint32_t>(height), 4);
  PutLittleEndian(block, 12, 1, 2);  // planes
  PutLittleEndian(block, 14, static_cast<std::uint32_t>(bits), 2);
  PutLittleEndian(block, 16, 0, 4);  // uncompressed
  PutLittleEndian(block, 20, static_cast<std::uint32_t>(rowSize * height), 4);
  PutLittleEndian(block, 24, static_cast<std::uint32_t>(std::max(0, pixels.dotsPerMeterX())), 4);
  PutLittleEndian(block, 28, static_cast<std::uint32_t>(std::max(0, pixels.dotsPerMeterY())), 4);
  // Rows bottom-up, each pixel blue, green, red (and alpha).
  for (std::size_t row = 0; row < height; ++row) {
    const auto* line =
        reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(height - 1 - row)));
    std::uint8_t* out = block.data() + kHeaderSize + row * rowSize;
    for (std::size_t x = 0; x < width; ++x) {
      const QRgb pixel = line[x];
      *out++ = static_cast<std::uint8_t>(qBlue(pixel));
      *out++ = static_cast<std::uint8_t>(qGreen(pixel));
      *out++ = static_cast<std::uint8_t>(qRed(pixel));
      if (alpha) *out++ = static_cast<std::uint8_t>(qAlpha(pixel));
    }
  }
  return true;
}

bool TranslateKeyEvent(const QEvent& event, KeyMessage& message) {
  if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  if (event.type() == QEvent::KeyRelease && key.isAutoRepeat()) return false;
  int code = 0;
  switch (key.key()) {
    case Qt::Key_Shift:
      code = kVkShift;
      break;
    case Qt::Key_Control:
      code = kVkControl;
      break;
    case Qt::Key_Left:
      code = kVkLeft;
      break;
    case Qt::Key_Right:
      code = kVkRight;
      break;
    case Qt::Key_Delete:
      code = kVkDelete;
      break;
    case Qt::Key_F7:
      code = kVkF7;
      break;
    default:
      return false;
  }
  message.message = event.type() == QEvent::KeyPress ? kMsgKeyDown : kMsgKeyUp;
  message.virtualKey = code;
  return true;
}

}  // namespace zeph
