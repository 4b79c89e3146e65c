#include "controls/bufferedwnd.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "platform/qt/imagecontext.h"

namespace zeph {
namespace {

DcRect Union(const DcRect& a, const DcRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

DcRect Intersect(const DcRect& a, const DcRect& b) {
  const DcRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? DcRect{} : r;
}

QRect ToQRect(const DcRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

CBufferedWnd::CClientDC::CClientDC(CBufferedWnd& window)
    : m_window(window), m_dc(std::make_unique<CImageContext>(window.BackBuffer())) {}

CBufferedWnd::CClientDC::~CClientDC() { m_window.update(); }

CDrawContext& CBufferedWnd::CClientDC::operator*() { return *m_dc; }
CDrawContext* CBufferedWnd::CClientDC::operator->() { return m_dc.get(); }
CDrawContext& CBufferedWnd::CClientDC::get() { return *m_dc; }

CBufferedWnd::CBufferedWnd(QWidget* parent) : QWidget(parent) {
  // Our buffer covers every pixel: Qt need not clear the widget first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);  // moves without a button arrive, as the program expects
  setFocusPolicy(Qt::StrongFocus);
}

CBufferedWnd::~CBufferedWnd() {
  if (HasCapture()) zeph::ReleaseCapture();
}

QImage& CBufferedWnd::BackBuffer() {
  EnsureBuffer();
  return m_buffer;
}

void CBufferedWnd::EnsureBuffer() {
  const QSize size(std::max(1, width()), std::max(1, height()));
  if (m_buffer.size() == size) return;
  m_buffer = QImage(size, QImage::Format_RGB32);
  m_buffer.fill(
      QColor(RedOf(m_backgroundColour), GreenOf(m_backgroundColour), BlueOf(m_backgroundColour)));
  m_invalid = GetClientRect();
}

void CBufferedWnd::Invalidate() { InvalidateRect(GetClientRect()); }

void CBufferedWnd::InvalidateRect(const DcRect& rect) {
  const DcRect clipped = Intersect(rect, GetClientRect());
  if (clipped.IsEmpty()) return;
  m_invalid = Union(m_invalid, clipped);
  update(ToQRect(clipped));
}

void CBufferedWnd::UpdateWindow() {
  EnsureBuffer();
  PaintInvalid();
}

void CBufferedWnd::PaintInvalid() {
  if (m_invalid.IsEmpty()) return;
  const DcRect area = m_invalid;
  m_invalid = {};
  CImageContext dc(m_buffer);
  dc.SetClipRect(area);
  OnEraseBkgnd(dc);
  OnPaint(dc);
  update(ToQRect(area));
}

bool CBufferedWnd::HasCapture() const { return GetCapture() == this; }
void CBufferedWnd::SetCapture() { zeph::SetCapture(this); }
void CBufferedWnd::ReleaseCapture() {
  if (HasCapture()) zeph::ReleaseCapture();
}

void CBufferedWnd::OnPaint(CDrawContext&) {}

void CBufferedWnd::OnEraseBkgnd(CDrawContext& dc) {
  dc.FillRect(dc.GetClipBox(), m_backgroundColour);
}

void CBufferedWnd::OnSize(int, int) {}
void CBufferedWnd::OnLButtonDown(unsigned, QPoint) {}
void CBufferedWnd::OnLButtonUp(unsigned, QPoint) {}
void CBufferedWnd::OnLButtonDblClk(unsigned, QPoint) {}
void CBufferedWnd::OnRButtonDown(unsigned, QPoint) {}
void CBufferedWnd::OnRButtonUp(unsigned, QPoint) {}
void CBufferedWnd::OnMButtonDown(unsigned, QPoint) {}
void CBufferedWnd::OnMButtonUp(unsigned, QPoint) {}
void CBufferedWnd::OnMouseMove(unsigned, QPoint) {}
void CBufferedWnd::OnMouseWheel(unsigned, int, QPoint) {}
void CBufferedWnd::OnMouseHWheel(unsigned, int, QPoint) {}
void CBufferedWnd::OnKeyDown(int, int, unsigned) {}
void CBufferedWnd::OnKeyUp(int, int, unsigned) {}
void CBufferedWnd::OnChar(int, int, unsigned) {}
void CBufferedWnd::OnSysChar(int, int, unsigned) {}
void CBufferedWnd::OnSetFocus() {}
void CBufferedWnd::OnKillFocus() {}
void CBufferedWnd::OnTimer(int) {}

bool CBufferedWnd::event(QEvent* event) {
  // Tab and Shift+Tab would move Qt's focus before keyPressEvent saw them.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && TakesKey(*key)) {
      HandleKeyPress(*key);
      return true;
    }
  }
  return QWidget::event(event);
}

void CBufferedWnd::paintEvent(QPaintEvent* event) {
  EnsureBuffer();
  PaintInvalid();
  QPainter painter(this);
  painter.drawImage(event->rect(), m_buffer, event->rect());
}

void CBufferedWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  EnsureBuffer();
  OnSize(width(), height());
}

bool CBufferedWnd::Delivers(const QPoint& point) const {
  return rect().contains(point) || HasCapture();
}

void CBufferedWnd::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  const unsigned flags = MouseFlagsOf(*event);
  switch (event->button()) {
    case Qt::LeftButton:
      OnLButtonDown(flags, point);
      break;
    case Qt::RightButton:
      OnRButtonDown(flags, point);
      break;
    case Qt::MiddleButton:
      OnMButtonDown(flags, point);
      break;
    default:
      break;
  }
  event->accept();
}

void CBufferedWnd::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  event->accept();
  // A release outside the window that does not hold the capture is lost, as the program
  // expects when it dropped the capture on leaving the window.
  if (!Delivers(point)) return;
  const unsigned flags = MouseFlagsOf(*event);
  switch (event->button()) {
    case Qt::LeftButton:
      OnLButtonUp(flags, point);
      break;
    case Qt::RightButton:
      OnRButtonUp(flags, point);
      break;
    case Qt::MiddleButton:
      OnMButtonUp(flags, point);
      break;
    default:
      break;
  }
}

void CBufferedWnd::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  if (event->button() == Qt::LeftButton && m_wantsDoubleClicks) {
    OnLButtonDblClk(MouseFlagsOf(*event), event->position().toPoint());
  }
}

void CBufferedWnd::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  event->accept();
  if (!Delivers(point)) return;
  OnMouseMove(MouseFlagsOf(*event), point);
}

void CBufferedWnd::wheelEvent(QWheelEvent* event) {
  const unsigned flags = MouseFlags(event->buttons(), event->modifiers());
  const QPoint point = event->position().toPoint();
  const QPoint delta = event->angleDelta();
  if (delta.y() != 0) OnMouseWheel(flags, delta.y(), point);
  // Qt counts a turn to the left as positive.
  if (delta.x() != 0) OnMouseHWheel(flags, -delta.x(), point);
  event->accept();
}

void CBufferedWnd::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (HasCapture()) {
    OnMouseMove(MouseFlags(Qt::NoButton, QGuiApplication::keyboardModifiers()),
                PointOutside(*this));
  }
}

bool CBufferedWnd::TakesKey(const QKeyEvent& event) const {
  if (qobject_cast<const QDialog*>(window()) == nullptr) return true;  // views take them all
  const unsigned code = OnGetDlgCode();
  if (code & kDlgcWantAllKeys) return true;
  switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return (code & kDlgcWantTab) != 0;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      return false;
    default:
      return true;
  }
}

void CBufferedWnd::HandleKeyPress(QKeyEvent& event) {
  const KeyInput input = TranslateKey(event);
  if (input.virtualKey != 0) OnKeyDown(input.virtualKey, 1, input.flags);
  if (input.character >= 0) {
    if (input.system) {
      OnSysChar(input.character, 1, input.flags);
    } else {
      OnChar(input.character, 1, input.flags);
    }
  }
  // Keys left to the default handling stay here: a letter typed into a window must not
  // travel on to its parent.
  event.accept();
}

void CBufferedWnd::keyPressEvent(QKeyEvent* event) {
  if (!TakesKey(*event)) {
    event->ignore();
    return;
  }
  HandleKeyPress(*event);
}

void CBufferedWnd::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (event->isAutoRepeat()) return;  // a held key stays down until it is really released
  const KeyInput input = TranslateKey(*event);
  if (input.virtualKey != 0) OnKeyUp(input.virtualKey, 1, input.flags);
}

void CBufferedWnd::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  OnSetFocus();
}

void CBufferedWnd::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  OnKillFocus();
}

void CopyBufferToWidget(QWidget& widget, const QImage& buffer, const QRect& rect) {
  QPainter painter(&widget);
  painter.drawImage(rect, buffer, rect);
}

}  // namespace zeph
