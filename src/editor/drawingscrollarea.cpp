#include "editor/drawingscrollarea.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "editor/drawingwindow.h"

CDrawingScrollArea::CDrawingScrollArea(CDrawingWindow* window, QWidget* parent)
    : QAbstractScrollArea(parent), m_window(window) {
  setFrameShape(QFrame::NoFrame);
  setViewport(window);
  // Qt makes the area the viewport's focus proxy, which would keep the keys from the drawing
  // window while it types a text: the window's focus is its own. A click in the drawing, as
  // on the area, leaves the keys with the view around it, whose tool letters they are.
  window->setFocusProxy(nullptr);
  window->setFocusPolicy(Qt::NoFocus);
  setFocusPolicy(Qt::NoFocus);
  // The editor decides when the bars are needed; they keep their place so that the drawing
  // area's size does not jump while scrolling.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool CDrawingScrollArea::viewportEvent(QEvent*) {
  // Every event goes on to the drawing window's own handlers.
  return false;
}

void CDrawingScrollArea::scrollContentsBy(int, int) {
  // The drawing moves by its mapping's origin, painted afresh, never by moving pixels.
  m_window->OnScrollBars(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QSize CDrawingScrollArea::ViewportSizeFor(const QSize& areaSize, const QStyle* style) {
  const QStyle* used = style != nullptr ? style : QApplication::style();
  const int extent = used->pixelMetric(QStyle::PM_ScrollBarExtent);
  return {std::max(areaSize.width() - extent, 0), std::max(areaSize.height() - extent, 0)};
}
