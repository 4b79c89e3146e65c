#include "editor/drawingscrollarea.h"

#include <QScrollBar>

#include "editor/drawingwindow.h"

CDrawingScrollArea::CDrawingScrollArea(CDrawingWindow* window, QWidget* parent)
    : QAbstractScrollArea(parent), m_window(window) {
  setFrameShape(QFrame::NoFrame);
  setViewport(window);
  // The editor decides when the bars are needed; they keep their place so that the drawing
  // area's size does not jump while scrolling.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool CDrawingScrollArea::viewportEvent(QEvent*) {
  // Every event goes on to the drawing window's own handlers.
  return false;
}

void CDrawingScrollArea::scrollContentsBy(int, int) {}
