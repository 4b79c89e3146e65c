#pragma once
// A painted window with a vertical scroll bar that is shown only while there is something to
// scroll: the display text, the display list and the table. The bar narrows the client area;
// its actions arrive as scroll-bar codes at OnVScroll, and the mouse wheel turns every 120
// units of accumulated delta into one line up or down, keeping the remainder.
#include <cstdint>

#include "controls/bufferedwnd.h"

class QScrollBar;

namespace zeph {

class CScrollingWnd : public CBufferedWnd {
  Q_OBJECT

 public:
  explicit CScrollingWnd(QWidget* parent = nullptr);

  // The client area less the scroll bar while it is shown (right and bottom outside).
  DcRect GetClientArea() const;
  // Range 0..maximum with page lines to a page; the bar is shown only for a maximum above 0.
  void SetScrollRange(int maximum, int page);
  void SetScrollPos(int position);
  int GetScrollPos() const { return m_scrollPos; }
  bool IsScrollBarShown() const;
  int ScrollBarWidth() const;
  QScrollBar* ScrollBar() const { return m_bar; }

  // A scroll-bar action (kSb... codes; thumb for the thumb codes). The base does nothing.
  virtual void OnVScroll(unsigned code, unsigned thumb);
  void OnMouseWheel(unsigned flags, int delta, QPoint point) override;
  std::int32_t GetWheelRemainder() const { return m_wheelRemainder; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnBarAction(int action);
  void PlaceBar();

  QScrollBar* m_bar;
  std::int32_t m_scrollPos = 0;
  std::int32_t m_wheelRemainder = 0;
};

}  // namespace zeph
