#include "editor/tickelements.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kTickUnknown = -1;
constexpr int kTickPartly = 2;
constexpr int kMinWidth = 100;
constexpr int kMaxWidth = 300;
constexpr int kScrollPage = 10;

int ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

}  // namespace

CTickElements::CTickElements(CEditingView* owner) : CBufferedWnd(owner), m_owner(owner) {
  hide();
}

CTickElements::~CTickElements() = default;

int CTickElements::Create() {
  if (m_owner == nullptr) return 0;
  setObjectName(QStringLiteral("TickElements"));
  setWindowTitle(QStringLiteral("Tick elements"));
  setGeometry(0, 0, 0, 0);
  m_scrollBar = new QScrollBar(Qt::Vertical, this);
  m_scrollBar->hide();
  QObject::connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
    if (value != m_firstRow) OnVScroll(kSbThumbPosition, static_cast<unsigned>(value));
  });
  MakeFont();
  return 1;
}

int CTickElements::MakeFont() {
  if (m_fontMade == 0) {
    CFontSpec spec;
    spec.Set(QStringLiteral("Arial"), 8, false, false);
    m_fontMade = spec.CreateFont(&m_font, nullptr, 100, 0) == 1 ? 1 : 0;
  }
  QImage probe(4, 4, QImage::Format_RGB32);
  zeph::CImageContext dc(probe);
  if (m_fontMade != 0) dc.SelectFont(m_font);
  m_rowHeight = std::max(1, dc.GetTextMetrics().height);
  return m_fontMade;
}

CZephDoc* CTickElements::GetDocument() const {
  if (m_owner == nullptr) {
    ReportGlitch(3001, 1);
    return nullptr;
  }
  CZephDoc* document = m_owner->GetDocument();
  if (document == nullptr) ReportGlitch(3001, 2);
  return document;
}

int CTickElements::Refill() {
  LogScope trace(3002);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(9000);
    return 0;
  }
  MakeFont();
  m_rowCount = document->RebuildObjectList();
  m_allShown = m_rowCount >= 2 && g_toolState != kStateObjectIdentify ? 1 : 0;
  int widest = 0;
  {
    QImage probe(4, 4, QImage::Format_RGB32);
    zeph::CImageContext dc(probe);
    if (m_fontMade != 0) dc.SelectFont(m_font);
    for (int i = 0; i < m_rowCount; ++i) {
      widest = std::max(widest, dc.GetTextExtent(document->GetObjectNameAt(i, 1)).cx);
    }
  }
  m_windowWidth = std::clamp(m_rowHeight + widest + 2 * kBoxX + 2, kMinWidth, kMaxWidth);
  m_allTick = 0;
  for (int i = 0; i < m_rowCount; ++i) document->SetObjectTick(i, 0);
  if (g_toolState == kStateObjectHide) {
    // Ticked means hidden here: the hidden items are the dormant ones.
    for (int i = 0; i < document->GetItemCount(); ++i) {
      const CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() == 0 && item->IsSelected() != 0) {
        document->SetObjectTickByNumber(item->GetObjectNumber(), 1);
      }
    }
  }
  m_hoveredRow = -1;
  m_allHovered = 0;
  if (isVisible()) {
    Invalidate();
    Place();
    Invalidate();
    SetUpScroll();
    UpdateWindow();
  } else {
    Place();
    SetUpScroll();
  }
  return 1;
}

void CTickElements::SetViewSize(int width, int height) {
  m_viewWidth = width;
  m_viewHeight = height;
  Place();
}

void CTickElements::Place() {
  if (m_owner != nullptr) {
    // The drawing area less the drawing window's scroll bars.
    const int bar = ScrollBarWidth();
    m_viewWidth = m_owner->GetPaletteLeft() - bar;
    m_viewHeight = m_owner->GetDrawingAreaHeight() - bar;
  }
  int height = m_rowCount * m_rowHeight + 2 * kTopGap + 2;
  if (m_allShown != 0) height += m_rowHeight + 2 * kTopGap;
  int width = m_windowWidth;
  const int half = (m_owner != nullptr ? m_owner->GetDrawingAreaHeight() : m_viewHeight) / 2;
  if (height > half) {
    height = std::max(half, 1);
    width += ScrollBarWidth();
  }
  int x = 0;
  int y = 0;
  if (m_corner == kTopRight || m_corner == kBottomRight) x = m_viewWidth - width;
  if (m_corner == kBottomRight || m_corner == kBottomLeft) y = m_viewHeight - height;
  setGeometry(std::max(0, x), std::max(0, y), width, height);
  raise();
}

void CTickElements::UpdateCornerBoxes() {
  // Inside the one-pixel frame, left of the scroll bar.
  const int right = ClientWidth() + 1;
  const int bottom = height() - 1;
  const int s = kTriangleSize;
  m_cornerBoxes[0] = {1, 1, 1 + s, 1 + s};
  m_cornerBoxes[1] = {right - s, 1, right, 1 + s};
  m_cornerBoxes[2] = {right - s, bottom - s, right, bottom};
  m_cornerBoxes[3] = {1, bottom - s, 1 + s, bottom};
}

int CTickElements::ClientWidth() const {
  int width = this->width() - 2;
  if (m_scrollBar != nullptr && m_scrollBar->isVisible()) width -= m_scrollBar->width();
  return width;
}

int CTickElements::RowsTop() const {
  return m_allShown != 0 ? kTopGap + m_rowHeight + 2 * kTopGap : kTopGap;
}

void CTickElements::SetUpScroll() {
  int rowsHeight = height() - 2 - kTopGap;
  if (m_allShown != 0) rowsHeight -= m_rowHeight + 2 * kTopGap;
  m_visibleRows = std::max(0, rowsHeight / std::max(1, m_rowHeight));
  m_scrollMax = std::max(0, m_rowCount - m_visibleRows);
  m_firstRow = 0;
  if (m_scrollBar == nullptr) {
    UpdateCornerBoxes();
    return;
  }
  const QSignalBlocker blocker(m_scrollBar);
  m_scrollBar->setRange(0, m_scrollMax);
  m_scrollBar->setPageStep(std::max(1, m_visibleRows));
  m_scrollBar->setValue(0);
  const int bar = ScrollBarWidth();
  m_scrollBar->setGeometry(width() - 1 - bar, 1, bar, std::max(0, height() - 2));
  m_scrollBar->setVisible(m_scrollMax > 0);
  UpdateCornerBoxes();
}

void CTickElements::OnVScroll(unsigned code, unsigned thumb) {
  if (ApplyScrollCode(m_firstRow, m_scrollMax, kScrollPage, code, thumb, -1, 1) == 0) {
    return;
  }
  if (m_scrollBar != nullptr) {
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setValue(m_firstRow);
  }
  InvalidateRect({0, m_allShown != 0 ? RowsTop() - kTopGap : 0, width(), height()});
  UpdateWindow();
}

int CTickElements::TickAt(int row) const {
  CZephDoc* document = m_owner != nullptr ? m_owner->GetDocument() : nullptr;
  if (document == nullptr) return 0;
  const int tick = document->GetObjectTick(row);
  return tick == 255 ? kTickUnknown : tick;
}

int CTickElements::UpdateTicks() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return 0;
  int changed = 0;
  for (int row = 0; row < m_rowCount; ++row) {
    if (TickAt(row) != kTickUnknown) continue;
    const int number = document->GetObjectNumberAt(row);
    int dormant = 0;
    int chosen = 0;
    for (int i = 0; i < document->GetItemCount(); ++i) {
      const CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() != 0 || item->GetObjectNumber() != number) continue;
      (item->IsSelected() != 0 ? dormant : chosen) += 1;
    }
    if (dormant + chosen == 0) continue;  // stays to be worked out
    document->SetObjectTick(row, chosen == 0 ? 0 : dormant == 0 ? 1 : kTickPartly);
    if (row >= m_firstRow && row < m_firstRow + m_visibleRows) {
      const zeph::DcRect box = BoxRect(row);
      InvalidateRect(box);
    }
    ++changed;
  }
  UpdateAllTick();
  UpdateWindow();
  return changed;
}

void CTickElements::InvalidateTick(int objectNumber) {
  if (CZephDoc* document = GetDocument(); document != nullptr) {
    document->SetObjectTickByNumber(objectNumber, 255);
  }
}

void CTickElements::SetTick(int objectNumber, int on) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const int row = document->FindObjectIndex(objectNumber);
  if (row < 0) return;
  document->SetObjectTick(row, on != 0 ? 1 : 0);
  InvalidateRect(BoxRect(row));
  if (m_allShown != 0) UpdateAllTick();
  UpdateWindow();
}

void CTickElements::UpdateAllTick() {
  int ticked = 0;
  int partly = 0;
  for (int row = 0; row < m_rowCount; ++row) {
    const int tick = TickAt(row);
    if (tick == 1) ++ticked;
    if (tick == kTickPartly) ++partly;
  }
  const std::uint8_t all = partly == 0 && ticked == m_rowCount ? 1
                           : partly == 0 && ticked == 0      ? 0
                                                             : kTickPartly;
  if (all == m_allTick) return;
  m_allTick = all;
  if (m_allShown != 0) InvalidateRect(BoxRect(-1));
}

void CTickElements::OnSize(int cx, int cy) {
  if (cy != m_lastHeight || (cx != m_lastWidth && cx > 0 && cy > 0)) {
    m_lastWidth = cx;
    m_lastHeight = cy;
    SetUpScroll();
  }
}

zeph::DcRect CTickElements::BoxRect(int row) const {
  const int top = row < 0 ? kTopGap : RowsTop() + (row - m_firstRow) * m_rowHeight;
  return {kBoxX, top, kBoxX + m_rowHeight, top + m_rowHeight};
}

QPoint CTickElements::RowPoint(int row) const {
  const zeph::DcRect box = BoxRect(row);
  return {box.right + 4, (box.top + box.bottom) / 2};
}

QPoint CTickElements::CornerPoint(int corner) const {
  const zeph::DcRect& box = m_cornerBoxes[static_cast<std::size_t>(corner & 3)];
  return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

// ---- Painting ----

void CTickElements::OnEraseBkgnd(zeph::CDrawContext& dc) {
  dc.FillRect(dc.GetClipBox(), g_colourTable[20]);
}

void CTickElements::DrawBox(zeph::CDrawContext& dc, const zeph::DcRect& box, int tick) {
  dc.FillRect(box, g_colourTable[20]);
  const zeph::DcPen old = dc.SelectPen({zeph::PenStyle::kSolid, 1, g_colourTable[7]});
  dc.MoveTo(box.left, box.top);
  dc.LineTo(box.right - 1, box.top);
  dc.LineTo(box.right - 1, box.bottom - 1);
  dc.LineTo(box.left, box.bottom - 1);
  dc.LineTo(box.left, box.top);
  dc.SelectPen(old);
  if (tick == 1) {
    DrawTickMark(dc, box.left, box.top, box.right, box.bottom, m_rowHeight / 6, 2);
  } else if (tick == kTickPartly) {
    const int x = (box.left + box.right) / 2 - 1;
    const int y = (box.top + box.bottom) / 2 - 1;
    dc.FillRect({x, y, x + 2, y + 2}, UiColour(9));
  }
}

void CTickElements::DrawAllRow(zeph::CDrawContext& dc, int highlighted) {
  const zeph::ColourRef back = highlighted != 0 ? g_colourTable[9] : g_colourTable[20];
  dc.SetTextColour(highlighted != 0 ? g_colourTable[14] : g_foregroundColour);
  dc.SetBkMode(zeph::BkMode::kOpaque);
  dc.SetBkColour(back);
  const int x = kBoxX + m_rowHeight + 2;
  dc.FillRect({x, kTopGap, ClientWidth() - kBoxX, kTopGap + m_rowHeight}, back);
  dc.TextOutClipped(x, kTopGap, {x, kTopGap, ClientWidth() - kBoxX, kTopGap + m_rowHeight},
                    u"All objects");
  DrawBox(dc, BoxRect(-1), m_allTick);
}

void CTickElements::DrawRow(zeph::CDrawContext& dc, int row, int highlighted) {
  if (row < m_firstRow || row >= m_firstRow + m_visibleRows || row >= m_rowCount) return;
  CZephDoc* document = m_owner != nullptr ? m_owner->GetDocument() : nullptr;
  if (document == nullptr) return;
  const zeph::DcRect box = BoxRect(row);
  const zeph::ColourRef back = highlighted != 0 ? g_colourTable[9] : g_colourTable[20];
  dc.SetTextColour(highlighted != 0 ? g_colourTable[14] : g_foregroundColour);
  dc.SetBkMode(zeph::BkMode::kOpaque);
  dc.SetBkColour(back);
  const int x = box.right + 2;
  const zeph::DcRect text{x, box.top, ClientWidth() - kBoxX, box.bottom};
  dc.FillRect(text, back);
  dc.TextOutClipped(x, box.top, text, document->GetObjectNameAt(row, 1));
  DrawBox(dc, box, TickAt(row));
}

void CTickElements::DrawTriangle(zeph::CDrawContext& dc, int corner, zeph::ColourRef colour) {
  const zeph::DcRect& b = m_cornerBoxes[static_cast<std::size_t>(corner)];
  const int r = b.right - 1;
  const int d = b.bottom - 1;
  std::array<zeph::DcPoint, 3> points;
  switch (corner) {
    case kTopLeft: points = {{{b.left, b.top}, {r, b.top}, {b.left, d}}}; break;
    case kTopRight: points = {{{r, b.top}, {b.left, b.top}, {r, d}}}; break;
    case kBottomRight: points = {{{r, d}, {b.left, d}, {r, b.top}}}; break;
    default: points = {{{b.left, d}, {r, d}, {b.left, b.top}}}; break;
  }
  const zeph::DcPen oldPen = dc.SelectPen({zeph::PenStyle::kSolid, 1, colour});
  const zeph::DcBrush oldBrush = dc.SelectBrush({zeph::BrushStyle::kSolid, colour});
  dc.Polygon(points);
  dc.SelectPen(oldPen);
  dc.SelectBrush(oldBrush);
}

void CTickElements::OnPaint(zeph::CDrawContext& dc) {
  if (m_fontMade != 0) dc.SelectFont(m_font);
  if (m_allShown != 0) {
    DrawAllRow(dc, m_allHovered);
    const int y = kTopGap + m_rowHeight + kTopGap;
    const zeph::DcPen old = dc.SelectPen({zeph::PenStyle::kSolid, 1, g_colourTable[7]});
    dc.MoveTo(0, y);
    dc.LineTo(ClientWidth(), y);
    dc.SelectPen(old);
  }
  for (int row = m_firstRow; row < m_rowCount && row < m_firstRow + m_visibleRows; ++row) {
    DrawRow(dc, row, row == m_hoveredRow ? 1 : 0);
  }
  const zeph::DcPen old = dc.SelectPen({zeph::PenStyle::kSolid, 1, g_colourTable[7]});
  const int right = width() - 1;
  const int bottom = height() - 1;
  dc.MoveTo(0, 0);
  dc.LineTo(right, 0);
  dc.LineTo(right, bottom);
  dc.LineTo(0, bottom);
  dc.LineTo(0, 0);
  dc.SelectPen(old);
  for (int corner = 0; corner < 4; ++corner) {
    if (corner == m_corner) continue;
    if (corner == m_hoveredCorner) {
      DrawTriangle(dc, corner, g_colourTable[9]);
    } else if (GetOptionFlag(kOptionObjectListTriangles) != 0) {
      DrawTriangle(dc, corner, g_colourTable[kTriangleColour]);
    }
  }
}

// ---- Mouse ----

void CTickElements::OnMouseMove(unsigned /*flags*/, QPoint point) {
  const bool inside = point.x() >= 0 && point.y() >= 0 && point.x() < width() && point.y() < height();
  if (!inside) {
    if (HasCapture()) ReleaseCapture();
  } else if (!HasCapture()) {
    SetCapture();
  }
  int allHovered = 0;
  int row = -1;
  int corner = -1;
  if (inside) {
    if (point.x() >= kBoxX && point.x() < ClientWidth() - kBoxX) {
      if (m_allShown != 0 && point.y() >= kTopGap && point.y() < kTopGap + m_rowHeight) {
        allHovered = 1;
      } else if (point.y() >= RowsTop()) {
        const int candidate = (point.y() - RowsTop()) / m_rowHeight + m_firstRow;
        if (candidate < m_rowCount && candidate < m_firstRow + m_visibleRows) row = candidate;
      }
    }
    if (allHovered == 0 && row < 0) {
      for (int c = 0; c < 4; ++c) {
        const zeph::DcRect& b = m_cornerBoxes[static_cast<std::size_t>(c)];
        if (c != m_corner && point.x() >= b.left && point.x() < b.right && point.y() >= b.top &&
            point.y() < b.bottom) {
          corner = c;
          break;
        }
      }
    }
  }
  if (allHovered == m_allHovered && row == m_hoveredRow && corner == m_hoveredCorner) return;
  CClientDC dc(*this);
  if (m_fontMade != 0) dc->SelectFont(m_font);
  if (row != m_hoveredRow) {
    const int old = m_hoveredRow;
    m_hoveredRow = row;
    if (old >= 0) DrawRow(*dc, old, 0);
    if (row >= 0) DrawRow(*dc, row, 1);
  }
  if (allHovered != m_allHovered) {
    m_allHovered = allHovered;
    if (m_allShown != 0) DrawAllRow(*dc, allHovered);
  }
  if (corner != m_hoveredCorner) {
    const int old = m_hoveredCorner;
    m_hoveredCorner = corner;
    // Without the triangles option a triangle shows only under the mouse.
    const zeph::ColourRef rest = GetOptionFlag(kOptionObjectListTriangles) != 0
                                     ? g_colourTable[kTriangleColour]
                                     : g_colourTable[20];
    if (old >= 0) DrawTriangle(*dc, old, rest);
    if (corner >= 0) DrawTriangle(*dc, corner, g_colourTable[9]);
  }
}

void CTickElements::TellView(int objectNumber, int ticked) {
  if (m_owner == nullptr) return;
  // In Object > Hide a tick hides the object, that is un-chooses it.
  if (g_toolState == kStateObjectHide) ticked = ticked != 0 ? 0 : 1;
  m_owner->OnObjectListTick(objectNumber, ticked);
}

void CTickElements::OnLButtonUp(unsigned flags, QPoint point) {
  CZephDoc* document = GetDocument();
  if (document != nullptr) {
    if (m_hoveredRow >= 0 && m_hoveredRow < m_rowCount) {
      const int row = m_hoveredRow;
      const int number = document->GetObjectNumberAt(row);
      if (g_toolState == kStateObjectIdentify) {
        // One object at a time.
        if (TickAt(row) != 1) {
          for (int other = 0; other < m_rowCount; ++other) {
            if (other != row && TickAt(other) == 1) {
              document->SetObjectTick(other, 0);
              InvalidateRect(BoxRect(other));
            }
          }
          document->SetObjectTick(row, 1);
          InvalidateRect(BoxRect(row));
          TellView(number, 1);
        }
      } else {
        const int ticked = TickAt(row) == 1 ? 0 : 1;
        document->SetObjectTick(row, ticked);
        InvalidateRect(BoxRect(row));
        if (m_allShown != 0) UpdateAllTick();
        TellView(number, ticked);
      }
      UpdateWindow();
    } else if (m_allHovered != 0 && m_allShown != 0) {
      m_allTick = m_allTick == 1 ? 0 : 1;
      for (int row = 0; row < m_rowCount; ++row) document->SetObjectTick(row, m_allTick);
      Invalidate();
      UpdateWindow();
      for (int row = 0; row < m_rowCount; ++row) {
        TellView(document->GetObjectNumberAt(row), m_allTick);
      }
    } else if (m_hoveredCorner >= 0) {
      hide();
      m_corner = m_hoveredCorner;
      m_hoveredCorner = -1;
      Place();
      SetUpScroll();
      show();
      Invalidate();
    }
  }
  CBufferedWnd::OnLButtonUp(flags, point);
}

// ---- Installation ----

std::unique_ptr<IObjectListWindow> CTickElementsFactory::Create(CEditingView& view,
                                                                QWidget* /*parent*/) {
  auto list = std::make_unique<CTickElements>(&view);
  if (list->Create() == 0) return nullptr;
  return list;
}
