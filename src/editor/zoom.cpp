// Zooming the editing view's drawing, and the repeated scrolling of the palette and the values
// bar by their arrows.
#include <QCursor>

#include "controls/controls.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "support/log.h"
#include "support/numbers.h"

using zeph::DcRect;

ZoomTarget ComputeZoomOut(const CViewMapping& mapping) {
  const int level = mapping.GetZoomLevel();
  if (level < 2) return {level, mapping.originX, mapping.originY};
  const std::int64_t scale = ZoomScaleOfLevel(level - 1);
  const std::int64_t x =
      mapping.originX - (scale - mapping.scaleX) * std::int64_t{mapping.windowWidth} / 2;
  const std::int64_t y =
      mapping.originY + (scale - mapping.scaleY) * std::int64_t{mapping.windowHeight} / 2;
  return {level - 1, ClampInt64ToInt(x), ClampInt64ToInt(y)};
}

ZoomTarget ComputeZoomToBox(const CViewMapping& mapping, const DcRect& box) {
  const int level = mapping.GetZoomLevel();
  if (level >= kZoomLevelCount) return {level, mapping.originX, mapping.originY};
  const std::int64_t scale = ZoomScaleOfLevel(level + 1);
  // The drawing point under the box's bottom-left corner comes to lie under the anchor.
  const std::int64_t x = std::int64_t{mapping.originX} + std::int64_t{box.left} * mapping.scaleX -
                         std::int64_t{mapping.anchorX} * scale;
  const std::int64_t y = std::int64_t{mapping.originY} +
                         (std::int64_t{mapping.anchorY} - box.bottom) * mapping.scaleY -
                         std::int64_t{mapping.anchorY} * (mapping.scaleY - scale);
  return {level + 1, ClampInt64ToInt(x), ClampInt64ToInt(y)};
}

bool ComputeFit(int minX, int minY, int maxX, int maxY, int width, int height,
                ZoomTarget& target) {
  if (width <= 0 || height <= 0) return false;
  const std::int64_t w = std::int64_t{maxX} - minX + 1;
  const std::int64_t h = std::int64_t{maxY} - minY + 1;
  const std::int64_t need = std::max(w / width, h / height);
  int level = 1;
  while (level < kZoomLevelCount && need < ZoomScaleOfLevel(level + 1)) ++level;
  const std::int64_t scale = ZoomScaleOfLevel(level);
  target.level = level;
  target.originX = ClampInt64ToInt(minX - (width * scale - w) / 2);
  target.originY = ClampInt64ToInt(maxY + (height * scale - h) / 2);
  return true;
}

void CEditingView::ApplyZoom(int level, int originX, int originY) {
  CViewMapping& mapping = m_drawing->GetMapping();
  const int scale = ZoomScaleOfLevel(level);
  mapping.SetZoomLevel(level);
  mapping.scaleX = scale;
  mapping.scaleY = scale;
  mapping.originX = originX;
  mapping.originY = originY;
  mapping.AlignOrigin();
  UpdateScrollRanges(1);
  m_drawing->Invalidate();
  update();
}

void CEditingView::UpdateScrollRanges(int refreshExtents) {
  m_drawing->UpdateScrollRanges(refreshExtents);
}

bool CEditingView::OnUpdateViewZoomIn() const {
  return m_drawing->GetMapping().GetZoomLevel() < kZoomLevelCount;
}

bool CEditingView::OnUpdateViewZoomOut() const {
  return m_drawing->GetMapping().GetZoomLevel() > 1;
}

bool CEditingView::OnUpdateViewFit() const {
  return m_document != nullptr && m_document->GetItemCount() > 0;
}

void CEditingView::OnViewZoomIn() {
  const CViewMapping& mapping = m_drawing->GetMapping();
  const int level = mapping.GetZoomLevel();
  if (level >= kZoomLevelCount) return;
  LogScope trace(2819);
  m_drawing->CancelOperation();
  const int next = ZoomScaleOfLevel(level + 1);
  m_zoomBoxWidth = DivideRoundedShort(mapping.windowWidth * next, mapping.scaleX);
  m_zoomBoxHeight = DivideRoundedShort(mapping.windowHeight * next, mapping.scaleY);
  m_zoomBoxMode = 1;
  m_zoomBoxDrawn = 0;
  m_pickColourMode = 0;
  g_mouseCaptured = 1;
  m_holdsCapture = 1;
  m_drawing->setCursor(Qt::ArrowCursor);
  trace.Exit();
}

void CEditingView::DrawZoomBoxFrame() {
  const QPoint offset = m_drawing->mapTo(this, QPoint(0, 0));
  const DcRect box{m_zoomBox.left - offset.x(), m_zoomBox.top - offset.y(),
                   m_zoomBox.right - offset.x(), m_zoomBox.bottom - offset.y()};
  zeph::CBufferedWnd::CClientDC dc(*m_drawing);
  zeph::DrawFocusRect(dc.get(), box);
}

void CEditingView::MoveZoomBox(int x, int y) {
  if (m_zoomBoxDrawn != 0) {
    DrawZoomBoxFrame();
  } else {
    m_zoomBoxDrawn = 1;
  }
  m_zoomBox = {x - m_zoomBoxWidth / 2, y - m_zoomBoxHeight / 2,
               x + m_zoomBoxWidth - m_zoomBoxWidth / 2, y + m_zoomBoxHeight - m_zoomBoxHeight / 2};
  if (m_zoomBoxMode == 1) DrawZoomBoxFrame();
}

void CEditingView::EndZoomBox() {
  if (m_zoomBoxMode == 0) return;
  m_zoomBoxMode = 0;
  if (m_zoomBoxDrawn != 0) DrawZoomBoxFrame();
  m_zoomBoxDrawn = 0;
}

void CEditingView::ZoomToBox() {
  LogScope trace(2838);
  const ZoomTarget target = ComputeZoomToBox(m_drawing->GetMapping(), m_zoomBox);
  if (target.level != m_drawing->GetMapping().GetZoomLevel()) {
    ApplyZoom(target.level, target.originX, target.originY);
  }
  trace.Exit();
}

void CEditingView::OnViewZoomOut() {
  if (m_drawing->GetMapping().GetZoomLevel() < 2) return;
  LogScope trace(2820);
  m_drawing->CancelOperation();
  const ZoomTarget target = ComputeZoomOut(m_drawing->GetMapping());
  ApplyZoom(target.level, target.originX, target.originY);
  trace.Exit();
}

void CEditingView::OnViewFit() {
  if (m_document == nullptr) return;
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  if (m_document->GetExtents(&m_drawing->GetMapping(), minX, minY, maxX, maxY, 1) == 0) return;
  const CViewMapping& mapping = m_drawing->GetMapping();
  ZoomTarget target;
  if (!ComputeFit(minX, minY, maxX, maxY, mapping.windowWidth, mapping.windowHeight, target)) {
    return;
  }
  ApplyZoom(target.level, target.originX, target.originY);
}

void CEditingView::OnViewRedraw() {
  m_drawing->Invalidate();
  m_drawing->UpdateWindow();
  UpdateView();
}

// ---- Arrows of the palette and the values bar ----

void CEditingView::ScrollPalette() {
  constexpr int kForward = kArrowForwardShown | kArrowForwardPressed;
  constexpr int kBack = kArrowBackShown | kArrowBackPressed;
  if ((m_paletteFlags & kForward) == kForward) {
    ++m_firstTool;
  } else if ((m_paletteFlags & kBack) == kBack) {
    if (m_firstTool > 0) --m_firstTool;
  } else {
    return;
  }
  UpdateView();
}

void CEditingView::ScrollValuesBar() {
  constexpr int kForward = kArrowForwardShown | kArrowForwardPressed;
  constexpr int kBack = kArrowBackShown | kArrowBackPressed;
  if ((m_valuesBarFlags & kForward) == kForward) {
    ++m_firstField;
  } else if ((m_valuesBarFlags & kBack) == kBack) {
    if (m_firstField > 0) --m_firstField;
  } else {
    return;
  }
  RedrawValuesBar(1);
}

void CEditingView::StartAutoScroll() {
  if (m_timers[0] == 0) m_timers[0] = SetTimer(kViewTimerAutoScroll, kAutoScrollInterval);
  m_autoScrollDelay = kAutoScrollDelayTicks;
  ScrollPalette();
  ScrollValuesBar();
}

void CEditingView::OnAutoScrollTimer() {
  if (m_autoScrollDelay > 0) {
    --m_autoScrollDelay;
    return;
  }
  constexpr int kPressed = kArrowForwardPressed | kArrowBackPressed;
  bool stop = false;
  if (m_paletteFlags == 0) {
    ScrollValuesBar();
    stop = (m_valuesBarFlags & kPressed) == 0;
  } else {
    ScrollPalette();
    stop = (m_paletteFlags & kPressed) == 0;
  }
  if (stop) {
    KillTimer(kViewTimerAutoScroll);
    m_timers[0] = 0;
  }
}
