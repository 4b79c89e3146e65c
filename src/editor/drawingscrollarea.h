#pragma once
// The scroll area a drawing window sits in as its viewport. The window handles its own paints,
// mouse, wheel and keys; the area only supplies the scroll bars, whose positions the editor
// sets itself (the drawing is scrolled by moving the mapping's origin, not by moving pixels).
// Neither takes the focus from a click: the window takes it only when it asks for it.
#include <QAbstractScrollArea>

class CDrawingWindow;

class CDrawingScrollArea : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Takes window (owned by the area from now on) as the viewport.
  explicit CDrawingScrollArea(CDrawingWindow* window, QWidget* parent = nullptr);

  CDrawingWindow* GetDrawingWindow() const { return m_window; }
  // The drawing window's size in an area of areaSize: less the style's scroll-bar extent in
  // both directions, since both bars are always shown. Null style: the application's.
  static QSize ViewportSizeFor(const QSize& areaSize, const QStyle* style = nullptr);

 protected:
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  CDrawingWindow* m_window;
};
