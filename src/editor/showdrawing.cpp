#include "editor/showdrawing.h"

#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "controls/dialogplus.h"
#include "document/document.h"
#include "document/wholedrawing.h"
#include "items/drawitem.h"
#include "platform/presenter.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"

using zeph::CDrawContext;

namespace {

constexpr int kLogSetShowMode = 2504;
constexpr int kLogCopyPickedSymbol = 2505;
// Every mode shows the drawing at the scale the hatch sheet is laid out for.
constexpr int kPreviewZoomLevel = 8;
constexpr int kScrollPage = 10;
constexpr int kPickedSampleColour = 12;

// a / b (b > 0) rounded to the nearest, halves towards zero as DivideRounded, for the
// difference of two coordinates, which an int does not always hold (a symbol enlarged to the
// ends of the coordinate range); limited to half the int range, so that the margins and bars
// added to it stay in range.
int DivideRounded64(std::int64_t a, int b) {
  const std::int64_t magnitude = a < 0 ? -a : a;
  std::int64_t q = magnitude / b;
  if (2 * (magnitude % b) > b) ++q;
  if (a < 0) q = -q;
  return static_cast<int>(std::clamp<std::int64_t>(q, INT_MIN / 2, INT_MAX / 2));
}

// Colour of the sample captions and fills while not picked.
int PlainSampleColour() { return static_cast<int>(g_colourTable[0]); }

}  // namespace

CShowDrawing::CShowDrawing(QWidget* parent) : CDrawingWindow(parent) {
  SetShowPicture(0);
  SetWantsDoubleClicks(true);
  m_hBar = new QScrollBar(Qt::Horizontal, this);
  m_vBar = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {m_hBar, m_vBar}) {
    bar->setRange(0, 0);
    bar->setPageStep(kScrollPage);
    bar->setSingleStep(1);
    bar->hide();
  }
  connect(m_hBar, &QScrollBar::valueChanged, this, &CShowDrawing::OnHorizontalScroll);
  connect(m_vBar, &QScrollBar::valueChanged, this, &CShowDrawing::OnVerticalScroll);
}

CShowDrawing::~CShowDrawing() = default;

int CShowDrawing::SetShowMode(int mode) {
  LogScope trace(kLogSetShowMode);
  if (mode < kShowSymbolLibrary || mode > kShowHatchSamples) {
    SetGlitchValue(mode);
    ReportGlitch(kLogSetShowMode, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  // The size may not have reached OnSize yet while the dialog is being set up.
  if (width() > 0 && height() > 0) {
    m_clientWidth = width();
    m_clientHeight = height();
  }
  m_showMode = mode;
  ClearMarks();
  ClearGrips();
  MoveGuideLine(0);
  SetOverrideColour(-1);
  SetGridMode(kGridHidden);
  m_recentre = 0;

  CViewMapping& mapping = GetMapping();
  mapping.SetZoomLevel(kPreviewZoomLevel);
  mapping.scaleX = ZoomScaleOfLevel(kPreviewZoomLevel);
  mapping.scaleY = mapping.scaleX;
  mapping.SetClientSize(0, 0);
  mapping.originX = mapping.scaleX * mapping.anchorX;
  mapping.originY = mapping.scaleY * mapping.anchorY;
  mapping.SetWindowExtent(m_clientWidth, m_clientHeight);
  trace.Step(2);

  CZephDoc* document = nullptr;
  if (mode == kShowSymbolLibrary) {
    m_recentre = 1;
    document = g_symbolLibraryDoc;
    SetSelectionShown(1);
    if (document != nullptr) {
      // The whole library shows dormant until a symbol is picked.
      for (int i = 0; i < document->GetItemCount(); ++i) {
        if (CDrawItem* item = document->GetItem(i)) item->Select();
      }
    }
    m_pickedPoint = CItemRef::Invalid();
  } else if (mode == kShowHatchSamples) {
    document = g_hatchSamplesDoc;
    if (document != nullptr) {
      document->ClearDrawing();
      document->BuildHatchSamples(m_clientWidth);
    }
    m_chosenSample = -1;
    m_pickedPoint = CItemRef::Invalid();
    SetSelectionShown(0);
  } else {
    m_recentre = 1;
    document = g_symbolDoc;
    SetSelectionShown(0);
  }
  SetDocument(document);
  trace.Step(3);

  m_ready = 1;
  m_minX = m_minY = m_maxX = m_maxY = 0;
  if (document != nullptr &&
      document->GetExtents(&mapping, m_minX, m_minY, m_maxX, m_maxY, 1) == 0) {
    // Nothing to show: the document's earlier extents belong to another drawing.
    m_minX = m_minY = m_maxX = m_maxY = 0;
  }
  mapping.AdjustForHeight(m_clientHeight);
  mapping.SetClientSize(0, m_clientHeight);
  m_fitted = 0;
  m_startAtTop = 1;
  Invalidate();
  return trace.Return(1);
}

int CShowDrawing::GetChosenHatch() const {
  return m_showMode == kShowHatchSamples ? m_chosenSample : -1;
}

void CShowDrawing::Fit() {
  if (m_clientWidth <= 0 || m_clientHeight <= 0) return;
  m_ready = 0;
  m_settingBars = true;
  ScrollState& horizontal = HorizontalScroll();
  ScrollState& vertical = VerticalScroll();
  horizontal = {0, 0, kScrollPage, 0};
  vertical = {0, 0, kScrollPage, 0};

  CViewMapping& mapping = GetMapping();
  const int s = std::max(1, mapping.scaleX);
  const int t = std::max(1, mapping.scaleY);
  const int m = m_margin;
  // A new drawing starts at its top-left corner; later fits keep the view where they can.
  const int recentre = m_recentre != 0 || m_startAtTop != 0 ? 1 : 0;
  const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_hBar);
  const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_vBar);

  const int baseX = ClampInt64ToInt(static_cast<std::int64_t>(m_minX) -
                                    static_cast<std::int64_t>(m) * s);
  const int baseY = ClampInt64ToInt(static_cast<std::int64_t>(m_maxY) +
                                    static_cast<std::int64_t>(m) * t);
  int spareX = DivideRounded64(std::int64_t{m_maxX} - m_minX, s) + 2 * m - m_clientWidth;
  int spareY = DivideRounded64(std::int64_t{m_maxY} - m_minY, t) + 2 * m - m_clientHeight;

  int maxH = 0;
  int maxV = 0;
  for (int pass = 0; pass < 2; ++pass) {
    maxH = spareX <= 0 ? 0 : DivideAwayFromZero(spareX, kScrollStepPixels);
    if (maxH > 0) spareY += barHeight;
    maxV = spareY <= 0 ? 0 : DivideAwayFromZero(spareY, kScrollStepPixels);
    if (maxV <= 0 || pass == 1) break;
    // The vertical bar takes width from the window: the horizontal need is counted again.
    spareX += barWidth;
    if (maxH > 0) spareY -= barHeight;
  }
  const int visibleWidth = m_clientWidth - (maxV > 0 ? barWidth : 0);
  const int visibleHeight = m_clientHeight - (maxH > 0 ? barHeight : 0);

  int originX = mapping.originX;
  int originY = mapping.originY;
  if (maxH == 0) {
    const std::int64_t rightEdge = std::int64_t{mapping.DrawingToDeviceX(m_maxX)} + m;
    if (recentre != 0 || originX > baseX || rightEdge > visibleWidth) {
      originX = ClampInt64ToInt(static_cast<std::int64_t>(baseX) +
                                static_cast<std::int64_t>(s) * spareX / 2);
    }
    horizontal.base = originX;
  } else {
    int position = 0;
    if (recentre == 0) {
      position = DivideRounded(DivideRounded64(std::int64_t{originX} - m_minX, s) + m,
                               kScrollStepPixels);
      position = std::clamp(position, 0, maxH);
    }
    horizontal.base = baseX;
    horizontal.maximum = maxH;
    horizontal.position = position;
    originX = ClampInt64ToInt(static_cast<std::int64_t>(baseX) +
                              static_cast<std::int64_t>(s) * kScrollStepPixels * position);
  }
  if (maxV == 0) {
    const std::int64_t bottomEdge = std::int64_t{mapping.DrawingToDeviceY(m_minY)} + m;
    if (recentre != 0 || originY < baseY || bottomEdge > visibleHeight) {
      originY = ClampInt64ToInt(static_cast<std::int64_t>(baseY) -
                                static_cast<std::int64_t>(t) * spareY / 2);
    }
    vertical.base = originY;
  } else {
    int position = 0;
    if (recentre == 0) {
      position = DivideRounded(DivideRounded64(std::int64_t{m_maxY} - originY, t) + m,
                               kScrollStepPixels);
      position = std::clamp(position, 0, maxV);
    }
    vertical.base = baseY;
    vertical.maximum = maxV;
    vertical.position = position;
    originY = ClampInt64ToInt(static_cast<std::int64_t>(baseY) -
                              static_cast<std::int64_t>(t) * kScrollStepPixels * position);
  }
  mapping.originX = originX;
  mapping.originY = originY;

  m_hBar->setRange(0, horizontal.maximum);
  m_hBar->setValue(horizontal.position);
  m_vBar->setRange(0, vertical.maximum);
  m_vBar->setValue(vertical.position);
  PlaceScrollBars();
  m_settingBars = false;
  m_fitted = 1;
  m_startAtTop = 0;
  m_ready = 1;
}

void CShowDrawing::PlaceScrollBars() {
  const bool horizontal = HorizontalScroll().maximum > 0;
  const bool vertical = VerticalScroll().maximum > 0;
  const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_hBar);
  const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_vBar);
  const int w = width();
  const int h = height();
  m_hBar->setGeometry(0, h - barHeight, w - (vertical ? barWidth : 0), barHeight);
  m_vBar->setGeometry(w - barWidth, 0, barWidth, h - (horizontal ? barHeight : 0));
  m_hBar->setVisible(horizontal);
  m_vBar->setVisible(vertical);
}

void CShowDrawing::OnHorizontalScroll(int position) {
  if (m_settingBars) return;
  ScrollState& state = HorizontalScroll();
  if (state.maximum <= 0) return;
  state.position = std::clamp(position, 0, state.maximum);
  CViewMapping& mapping = GetMapping();
  mapping.originX = ClampInt64ToInt(static_cast<std::int64_t>(state.base) +
                                    static_cast<std::int64_t>(mapping.scaleX) *
                                        kScrollStepPixels * state.position);
  Invalidate();
}

void CShowDrawing::OnVerticalScroll(int position) {
  if (m_settingBars) return;
  ScrollState& state = VerticalScroll();
  if (state.maximum <= 0) return;
  state.position = std::clamp(position, 0, state.maximum);
  CViewMapping& mapping = GetMapping();
  mapping.originY = ClampInt64ToInt(static_cast<std::int64_t>(state.base) -
                                    static_cast<std::int64_t>(mapping.scaleY) *
                                        kScrollStepPixels * state.position);
  Invalidate();
}

void CShowDrawing::OnPaint(CDrawContext& dc) {
  if (m_fitted == 0) Fit();
  PaintDrawing(dc);
}

void CShowDrawing::OnSize(int cx, int cy) {
  CDrawingWindow::OnSize(cx, cy);
  if (CZephDoc* document = GetDocument()) document->SetWindowSize(cx, cy);
  if (cx <= 0 || cy <= 0) return;
  m_clientWidth = cx;
  m_clientHeight = cy;
  CViewMapping& mapping = GetMapping();
  mapping.SetWindowExtent(cx, cy);
  if (m_ready != 0) {
    mapping.AdjustForHeight(cy);
    mapping.SetClientSize(0, cy);
    Fit();
    Invalidate();
  } else {
    PlaceScrollBars();
  }
}

void CShowDrawing::OnLButtonDown(unsigned, QPoint) { m_buttonDown = 1; }

void CShowDrawing::OnLButtonUp(unsigned, QPoint point) {
  if (m_buttonDown == 0) return;
  m_buttonDown = 0;
  if (m_showMode == kShowSymbolLibrary) {
    SetCursorPoint(point.x(), point.y());
    PickSymbol();
  } else if (m_showMode == kShowHatchSamples) {
    SetCursorPoint(point.x(), point.y());
    PickHatchSample();
  }
}

void CShowDrawing::OnLButtonDblClk(unsigned flags, QPoint point) {
  CDrawingWindow::OnLButtonDblClk(flags, point);
  if (auto* dialog = qobject_cast<zeph::CDialogPlus*>(window())) dialog->OnCommand(zeph::kIdOk);
}

CItemRef CShowDrawing::PickNearestPoint(int& x, int& y) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return CItemRef::Invalid();
  if (m_pickedPoint.IsInvalid() == 0) ClearGrips();
  m_pickedPoint = document->FindNearestPoint(&GetMapping(), kPointAnyItem, 0);
  if (m_pickedPoint.IsInvalid() != 0 || document->GetRefItem(m_pickedPoint) == nullptr) {
    m_pickedPoint = CItemRef::Invalid();
    return m_pickedPoint;
  }
  x = document->GetRefX(m_pickedPoint);
  y = document->GetRefY(m_pickedPoint);
  return m_pickedPoint;
}

void CShowDrawing::PickSymbol() {
  int x = 0;
  int y = 0;
  const CItemRef picked = PickNearestPoint(x, y);
  if (picked.IsInvalid() != 0) return;
  CZephDoc* document = GetDocument();
  const int object = document->GetRefItem(picked)->GetObjectNumber();
  for (int i = 0; i < document->GetItemCount(); ++i) {
    CDrawItem* item = document->GetItem(i);
    if (item == nullptr || item->IsInvisible() != 0) continue;
    item->SetSelected(item->GetObjectNumber() == object ? 0 : 1);
  }
  Invalidate();
  DrawGrip(x, y, nullptr, 1);
}

void CShowDrawing::PickHatchSample() {
  int x = 0;
  int y = 0;
  const CItemRef picked = PickNearestPoint(x, y);
  if (picked.IsInvalid() != 0) return;
  CZephDoc* document = GetDocument();
  const int object = document->GetRefItem(picked)->GetObjectNumber();
  for (int i = 0; i < document->GetItemCount(); ++i) {
    CDrawItem* item = document->GetItem(i);
    if (item == nullptr || item->IsInvisible() != 0) continue;
    if (item->GetType() != kItemFill && item->GetType() != kItemText) continue;
    if (item->GetObjectNumber() == object) {
      item->SetColour(static_cast<int>(g_colourTable[kPickedSampleColour]));
    } else if (item->GetObjectNumber() == m_chosenSample) {
      item->SetColour(PlainSampleColour());
    }
  }
  m_chosenSample = static_cast<std::int16_t>(object);
  Invalidate();
  DrawGrip(x, y, nullptr, 1);
}

void CShowDrawing::CopyPickedSymbol() {
  LogScope trace(kLogCopyPickedSymbol);
  if (m_showMode != kShowSymbolLibrary) {
    SetGlitchValue(m_showMode);
    ReportGlitch(kLogCopyPickedSymbol, 1);
    trace.Exit(kLogInvalid, 1);
    return;
  }
  CZephDoc* library = GetDocument();
  if (g_symbolDoc == nullptr || library == nullptr) {
    trace.Exit(kLogFailed, 2);
    return;
  }
  g_symbolDoc->ClearDrawing();
  const CDrawItem* pickedItem = library->GetRefItem(m_pickedPoint);
  if (m_pickedPoint.IsInvalid() != 0 || pickedItem == nullptr) {
    trace.Exit(kLogOk, 3);
    return;
  }
  const int x = library->GetRefX(m_pickedPoint);
  const int y = library->GetRefY(m_pickedPoint);
  const int object = pickedItem->GetObjectNumber();
  // Copies take group numbers through the source's map, so the symbol's groups stay apart
  // from any the symbol document gets later.
  library->SetGroupRemapping(1);
  for (int i = 0; i < library->GetItemCount(); ++i) {
    const CDrawItem* item = library->GetItem(i);
    if (item == nullptr || item->GetObjectNumber() != object) continue;
    if (item->GetType() == kItemText || item->GetType() == kItemDimension) continue;
    if (g_symbolDoc->AddCopyOfItem(item) == 0) break;
  }
  library->SetGroupRemapping(0);
  for (int i = 0; i < g_symbolDoc->GetItemCount(); ++i) {
    CDrawItem* item = g_symbolDoc->GetItem(i);
    item->MoveBy(-x, -y);
    item->Select();
  }
  trace.Exit();
}
