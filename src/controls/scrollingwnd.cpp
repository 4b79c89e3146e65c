#include "controls/scrollingwnd.h"

#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "support/uiutil.h"

namespace zeph {

CScrollingWnd::CScrollingWnd(QWidget* parent) : CBufferedWnd(parent) {
  m_bar = new QScrollBar(Qt::Vertical, this);
  m_bar->setFocusPolicy(Qt::NoFocus);  // the keys stay with the window
  m_bar->setRange(0, 0);
  m_bar->hide();
  connect(m_bar, &QAbstractSlider::actionTriggered, this, &CScrollingWnd::OnBarAction);
}

int CScrollingWnd::ScrollBarWidth() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

bool CScrollingWnd::IsScrollBarShown() const { return !m_bar->isHidden(); }

DcRect CScrollingWnd::GetClientArea() const {
  const int barWidth = IsScrollBarShown() ? ScrollBarWidth() : 0;
  return {0, 0, std::max(0, width() - barWidth), height()};
}

void CScrollingWnd::SetScrollRange(int maximum, int page) {
  m_bar->setRange(0, std::max(0, maximum));
  m_bar->setPageStep(std::max(1, page));
  if (maximum > 0) {
    PlaceBar();
    m_bar->show();
  } else {
    m_bar->hide();
  }
  m_scrollPos = std::clamp(m_scrollPos, 0, std::max(0, maximum));
}

void CScrollingWnd::SetScrollPos(int position) {
  m_scrollPos = std::clamp(position, m_bar->minimum(), m_bar->maximum());
  m_bar->setSliderPosition(m_scrollPos);
  m_bar->setValue(m_scrollPos);
}

void CScrollingWnd::OnVScroll(unsigned, unsigned) {}

void CScrollingWnd::OnMouseWheel(unsigned, int delta, QPoint) {
  m_wheelRemainder += delta;
  if (m_wheelRemainder >= 120) {
    const int lines = m_wheelRemainder / 120;
    m_wheelRemainder %= 120;
    for (int i = 0; i < lines; ++i) OnVScroll(kSbLineUp, 0);
  } else if (m_wheelRemainder <= -120) {
    const int lines = -m_wheelRemainder / 120;
    m_wheelRemainder = -((-m_wheelRemainder) % 120);
    for (int i = 0; i < lines; ++i) OnVScroll(kSbLineDown, 0);
  }
}

void CScrollingWnd::OnBarAction(int action) {
  unsigned code = kSbEndScroll;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      code = kSbLineUp;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      code = kSbLineDown;
      break;
    case QAbstractSlider::SliderPageStepSub:
      code = kSbPageUp;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      code = kSbPageDown;
      break;
    case QAbstractSlider::SliderToMinimum:
      code = kSbTop;
      break;
    case QAbstractSlider::SliderToMaximum:
      code = kSbBottom;
      break;
    case QAbstractSlider::SliderMove:
      code = kSbThumbTrack;
      break;
    default:
      return;
  }
  const unsigned thumb = static_cast<unsigned>(std::max(0, m_bar->sliderPosition()));
  OnVScroll(code, thumb);
  // The window decides where the bar stands, not the bar's own step.
  m_bar->setSliderPosition(m_scrollPos);
}

void CScrollingWnd::PlaceBar() {
  const int barWidth = ScrollBarWidth();
  m_bar->setGeometry(std::max(0, width() - barWidth), 0, barWidth, height());
}

void CScrollingWnd::resizeEvent(QResizeEvent* event) {
  PlaceBar();
  CBufferedWnd::resizeEvent(event);
}

}  // namespace zeph
