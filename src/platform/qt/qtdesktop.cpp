#include "platform/qt/qtdesktop.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>

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
