#include "editor/drawingwindow.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>

#include "controls/controls.h"
#include "controls/input.h"
#include "document/document.h"
#include "document/itemref.h"
#include "editor/editorstate.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/picture.h"
#include "support/registry.h"
#include "support/screen.h"

using zeph::CDrawContext;
using zeph::DcPen;
using zeph::DcRect;
using zeph::RasterOp;

namespace {

// The option "GridDistance" as an index of the grid sizes: a value outside the table (a
// hand-edited options file) counts as the default, as it does for snapping to the grid.
int GridDistanceIndex() {
  const int index = GetOptionShort(kOptionGridDistance);
  return index >= 0 && index < kGridSizeCount ? index : kDefaultGridDistance;
}

int GridLineColourIndex(int gridColour) {
  switch (gridColour) {
    case 1:
      return 8;
    case 2:
      return 19;
    case 3:
      return 13;
    default:
      return 18;
  }
}

zeph::ColourRef GridDotColour(int gridColour) {
  switch (gridColour) {
    case 1:
      return g_colourTable[7];
    case 2:
      return g_colourTable[2];
    case 3:
      return g_colourTable[5];
    default:
      return g_colourTable[1];
  }
}

void GridLine(CDrawContext& dc, int x1, int y1, int x2, int y2, int colourIndex) {
  dc.MoveTo(x1, y1);
  LineToWithEndUi(dc, x2, y2, colourIndex, 1);
}

// A one-pixel line from (x1, y1) to (x2, y2), end pixel included, in exclusive-or.
void XorLine(CDrawContext& dc, int x1, int y1, int x2, int y2, zeph::ColourRef colour) {
  const RasterOp op = dc.SetRasterOp(RasterOp::kXor);
  const DcPen pen = dc.SelectPen(DcPen{zeph::PenStyle::kSolid, 1, colour});
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
  dc.SetPixel(x2, y2, colour);
  dc.SelectPen(pen);
  dc.SetRasterOp(op);
}

}  // namespace

CDrawingWindow::CDrawingWindow(QWidget* parent)
    : zeph::CBufferedWnd(parent), m_picture(std::make_unique<CImage>()) {
  SetBackgroundColour(g_backgroundColour);
}

CDrawingWindow::~CDrawingWindow() = default;

void CDrawingWindow::SetDocument(CZephDoc* document) {
  m_document = document;
  if (document == nullptr) return;
  const DcRect client = GetClientRect();
  if (client.left != 0 || client.top != 0) {
    SetGlitchValue(client.left);
    SetGlitchValue(client.top);
    ReportGlitch(3602, 1);
    return;
  }
  document->SetWindowSize(client.right, client.bottom);
}

void CDrawingWindow::OnEraseBkgnd(CDrawContext& dc) {
  dc.FillRect(dc.GetClipBox(), g_backgroundColour);
}

void CDrawingWindow::OnPaint(CDrawContext& dc) { PaintDrawing(dc); }

void CDrawingWindow::SetCursorPoint(int deviceX, int deviceY) {
  g_cursorPoint = {m_mapping.DeviceToDrawingX(deviceX), m_mapping.DeviceToDrawingY(deviceY, 0)};
}

// ---- Painting ----

void CDrawingWindow::PaintDrawing(CDrawContext& dc) {
  LogScope trace(3601);
  if (m_document == nullptr) {
    trace.Exit(kLogOk, 1);
    return;
  }
  int stage = 0;
  int itemIndex = -1;
  try {
    const DcRect client = GetClientRect();
    PaintPicture(dc);
    stage = 1;
    m_gridShown = DecideGrid(m_mapping) ? 1 : 0;
    if (m_gridShown != 0) DrawGrid(dc, client);
    stage = 2;
    // Only the items whose boxes reach the clip box (the document's spatial index), still in
    // list order; a failure names the item by its place in the list.
    m_document->DrawItemsInView(dc, m_mapping, [&](const CDrawItem& item) {
      if (item.IsInvisible() != 0) return;
      int colourMode = kDrawOwnColour;
      if (item.IsSelected() != 0) {
        if (m_selectionShown != 0) colourMode = kDrawHighlight;
      } else if (m_overrideColour != -1) {
        colourMode = m_overrideColour;
      }
      try {
        item.Draw(&dc, &m_mapping, colourMode, 0);
      } catch (...) {
        itemIndex = m_document->FindItem(&item);
        throw;
      }
    });
    itemIndex = -1;
    stage = 3;
    for (int i = 0; i < m_markCount; ++i) {
      const DrawingPoint& mark = m_marks[static_cast<std::size_t>(i)];
      DrawMarkAt(dc, m_mapping.DrawingToDeviceX(mark.x), m_mapping.DrawingToDeviceY(mark.y));
    }
    DrawGrips(dc);
  } catch (const std::exception& e) {
    // A failed paint leaves the window usable; the report names the stage (and the item).
    SetGlitchMessage(QString::fromLocal8Bit(e.what()));
    SetGlitchValue(GetExceptionKind(e));
    SetGlitchValue(stage);
    if (stage == 2) SetGlitchValue(itemIndex);
    ReportGlitch(3601, 3);
    trace.Exit(kLogFailed);
    return;
  }
  trace.Exit();
}

void CDrawingWindow::PaintPicture(CDrawContext& dc) {
  if (m_pictureShown == 0) return;
  const QString path = m_document->GetPicturePath();
  if (path.isEmpty()) return;
  if (m_picture->IsOk() == 0 || path != m_picturePathTried) {
    // A failed load is tried again only when the path changes, not at every paint.
    if (path != m_picturePathTried) {
      m_picturePathTried = path;
      if (path.startsWith(u'>')) {
        // A picture pasted from the clipboard lives in the drawing's picture table.
        m_picture->Release(kImageNotOpened);
        for (int row = 0; row < m_document->GetPictureCount(); ++row) {
          if (m_document->GetPictureReference(row) == path) {
            m_picture->LoadFromMemory(m_document->GetPictureData(row),
                                      static_cast<unsigned>(m_document->GetPictureSize(row)));
            break;
          }
        }
      } else {
        m_picture->LoadFromFile(path);
      }
    }
    if (m_picture->IsOk() == 0) {
      LogAction(3601, 5, m_picture->GetState());
      return;
    }
  }
  const int x = m_document->GetPictureX();
  const int y = m_document->GetPictureY();
  const double k = m_document->GetPictureScale();
  DcRect target;
  target.left = m_mapping.DrawingToDeviceX(x);
  target.bottom = m_mapping.DrawingToDeviceY(y);
  target.right = m_mapping.DrawingToDeviceX(x + RoundToInt(m_picture->GetWidth() * k));
  target.top = m_mapping.DrawingToDeviceY(y + RoundToInt(m_picture->GetHeight() * k));
  if (m_picture->Draw(&dc, target, kFitCropBottomLeft, 1) == 0) {
    LogAction(3601, 8, m_picture->GetState());
  }
}

bool CDrawingWindow::DecideGrid(const CViewMapping& mapping) {
  bool shown = false;
  switch (m_gridMode) {
    case kGridShown:
      shown = true;
      break;
    case kGridHidden:
      break;
    case kGridByOptions: {
      const int show = GetOptionShort(kOptionGridShow);
      if (show == 0) {
        shown = g_snapMode == kSnapGrid;
      } else if (show == 1) {
        shown = true;
      } else if (show != 2) {
        SetGlitchValue(show);
        ReportGlitch(3601, 1);
        SetOptionShort(kOptionGridShow, 0);
      }
      break;
    }
    default:
      SetGlitchValue(m_gridMode);
      ReportGlitch(3601, 2);
      m_gridMode = kGridByOptions;
      break;
  }
  // Closer lines than this would cover the drawing.
  if (mapping.GetZoomLevel() + GridDistanceIndex() < 9) shown = false;
  return shown;
}

void CDrawingWindow::DrawGrid(CDrawContext& dc, const DcRect& client) {
  const int left = client.left;
  const int top = client.top;
  const int right = client.right - 1;
  const int bottom = client.bottom - 1;
  const int s = m_mapping.scaleX;
  const int t = m_mapping.scaleY;
  if (s <= 0 || t <= 0) return;
  const int ox = m_mapping.originX;
  const int oy = m_mapping.originY;
  const int spacing =
      g_programConstants.gridSpacingsMm[static_cast<std::size_t>(GridDistanceIndex())] * 1000;
  const int p = DivideRoundedShort(spacing, s);
  if (p < 1) return;  // a degenerate scale would never get across the window
  const double bigS = spacing * g_sqrt3;
  const double bigP = p * g_sqrt3;
  const int leftX = m_mapping.DeviceToDrawingX(left);
  const int gx = leftX / spacing * spacing;
  const int x0 = DivideRoundedShort(gx - ox, s);
  const std::int64_t bottomY64 = static_cast<std::int64_t>(oy) - std::int64_t{bottom} * t;
  const int bottomY = static_cast<int>(std::clamp<std::int64_t>(bottomY64, INT32_MIN, INT32_MAX));
  const int gy = bottomY / spacing * spacing;
  const int y0 = DivideRoundedShort(oy - gy, t);
  const int layout = GetOptionShort(kOptionGridLayout);
  const int gridColour = GetOptionShort(kOptionGridColour);

  if (GetOptionShort(kOptionGridType) == 0) {
    const int colour = GridLineColourIndex(gridColour);
    if (layout == 0) {
      int x = x0;
      do {
        GridLine(dc, x, top, x, bottom, colour);
        x += p;
      } while (x <= right);
      int y = y0;
      do {
        GridLine(dc, left, y, right, y, colour);
        y -= p;
      } while (y >= top);
      return;
    }
    const int h = RoundToShort((bottom - top) * g_sqrt3);
    const double bottomDrawingY = static_cast<double>(bottomY64);
    const double f = ox - bottomDrawingY * g_sqrt3;
    double d = (std::floor(f / bigS) * bigS - f) / t;
    while (RoundToShort(d) + h > left) d -= bigP;
    for (int x = RoundToShort(d); x <= right; d += bigP, x = RoundToShort(d)) {
      GridLine(dc, x, bottom, x + h, top, colour);
    }
    const double g = ox + bottomDrawingY * g_sqrt3;
    d = (std::floor(g / bigS) * bigS - g) / t;
    while (RoundToShort(d) < left) d += bigP;
    for (int x = RoundToShort(d); x - h < right; d += bigP, x = RoundToShort(d)) {
      GridLine(dc, x, bottom, x - h, top, colour);
    }
    return;
  }

  const zeph::ColourRef colour = GridDotColour(gridColour);
  if (layout == 0) {
    for (int y = y0; y >= top; y -= p) {
      for (int x = x0; x <= right; x += p) dc.SetPixel(x, y, colour);
    }
    return;
  }
  const double d0 = (std::floor(ox / bigS) * bigS - ox) / s;
  for (int y = y0; y >= top; y -= p) {
    for (double d = d0;; d += bigP) {
      const int x = RoundToShort(d);
      if (x >= right) break;
      dc.SetPixel(x, y, colour);
      const int x2 = RoundToShort(d + bigP / 2.0);
      if (x2 >= right) break;
      dc.SetPixel(x2, y - p / 2, colour);
    }
  }
}

// ---- Marks ----

bool CDrawingWindow::SameDevicePoint(int x1, int y1, int x2, int y2) const {
  return m_mapping.DrawingToDeviceX(x1) == m_mapping.DrawingToDeviceX(x2) &&
         m_mapping.DrawingToDeviceY(y1) == m_mapping.DrawingToDeviceY(y2);
}

DrawingPoint CDrawingWindow::GetMark(int index) const {
  return index >= 0 && index < m_markCount ? m_marks[static_cast<std::size_t>(index)]
                                           : DrawingPoint{};
}

int CDrawingWindow::ToggleMark(int x, int y) {
  for (int i = 0; i < m_markCount; ++i) {
    const DrawingPoint& mark = m_marks[static_cast<std::size_t>(i)];
    if (SameDevicePoint(mark.x, mark.y, x, y)) {
      for (int j = i; j + 1 < m_markCount; ++j) {
        m_marks[static_cast<std::size_t>(j)] = m_marks[static_cast<std::size_t>(j + 1)];
      }
      --m_markCount;
      return 1;
    }
  }
  if (m_markCount >= kMarkLimit) return 0;
  m_marks[static_cast<std::size_t>(m_markCount++)] = {x, y};
  return 1;
}

void CDrawingWindow::DrawMarkAt(CDrawContext& dc, int u, int v) const {
  const zeph::ColourRef colour = g_colourTable[15];
  const RasterOp op = dc.SetRasterOp(RasterOp::kXor);
  const DcPen pen = dc.SelectPen(DcPen{zeph::PenStyle::kSolid, 1, colour});
  dc.MoveTo(u - 4, v - 4);
  dc.LineTo(u + 4, v + 4);
  dc.MoveTo(u - 4, v + 4);
  dc.LineTo(u + 4, v - 4);
  // The ends the lines leave out, in exclusive-or too, so that drawing again leaves nothing.
  dc.SetPixel(u + 4, v + 4, colour);
  dc.SetPixel(u + 4, v - 4, colour);
  dc.SelectPen(pen);
  dc.SetRasterOp(op);
}

void CDrawingWindow::DrawMark(int x, int y, CDrawContext* dc, int toggle) {
  if (toggle != 0 && ToggleMark(x, y) == 0) return;
  const int u = m_mapping.DrawingToDeviceX(x);
  const int v = m_mapping.DrawingToDeviceY(y);
  if (dc != nullptr) {
    DrawMarkAt(*dc, u, v);
    return;
  }
  CClientDC own(*this);
  DrawMarkAt(*own, u, v);
}

void CDrawingWindow::ClearMarks() {
  if (m_markCount > 0) {
    CClientDC dc(*this);
    for (int i = 0; i < m_markCount; ++i) {
      const DrawingPoint& mark = m_marks[static_cast<std::size_t>(i)];
      DrawMarkAt(*dc, m_mapping.DrawingToDeviceX(mark.x), m_mapping.DrawingToDeviceY(mark.y));
    }
  }
  m_markCount = 0;
}

void CDrawingWindow::ToggleSnapMark() { DrawMark(g_snapPoint.x, g_snapPoint.y, nullptr, 1); }

void CDrawingWindow::ToggleLineStartMark(CDrawContext* dc) {
  DrawMark(g_lineStart.x, g_lineStart.y, dc, 1);
}

// ---- Grips ----

DrawingPoint CDrawingWindow::GetGrip(int index) const {
  return index >= 0 && index < m_gripCount ? m_grips[static_cast<std::size_t>(index)]
                                           : DrawingPoint{};
}

int CDrawingWindow::ToggleGrip(int x, int y) {
  for (int i = 0; i < m_gripCount; ++i) {
    const DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    if (SameDevicePoint(grip.x, grip.y, x, y)) {
      for (int j = i; j + 1 < m_gripCount; ++j) {
        m_grips[static_cast<std::size_t>(j)] = m_grips[static_cast<std::size_t>(j + 1)];
        m_gripKept[static_cast<std::size_t>(j)] = m_gripKept[static_cast<std::size_t>(j + 1)];
      }
      --m_gripCount;
      return 1;
    }
  }
  if (m_gripCount >= kGripLimit) return 0;
  m_gripKept[static_cast<std::size_t>(m_gripCount)] = 0;
  m_grips[static_cast<std::size_t>(m_gripCount++)] = {x, y};
  return 1;
}

void CDrawingWindow::DrawGripAt(CDrawContext& dc, int u, int v) const {
  const zeph::ColourRef colour = g_overlayXorColours[8];
  const RasterOp op = dc.SetRasterOp(RasterOp::kXor);
  // Every pixel of the outline once, so that drawing it again removes it exactly.
  for (int x = u - 3; x <= u + 3; ++x) {
    dc.SetPixel(x, v - 3, colour);
    dc.SetPixel(x, v + 3, colour);
  }
  for (int y = v - 2; y <= v + 2; ++y) {
    dc.SetPixel(u - 3, y, colour);
    dc.SetPixel(u + 3, y, colour);
  }
  dc.SetRasterOp(op);
}

void CDrawingWindow::DrawGrip(int x, int y, CDrawContext* dc, int toggle) {
  if (toggle != 0 && ToggleGrip(x, y) == 0) return;
  const int u = m_mapping.DrawingToDeviceX(x);
  const int v = m_mapping.DrawingToDeviceY(y);
  if (dc != nullptr) {
    DrawGripAt(*dc, u, v);
    return;
  }
  CClientDC own(*this);
  DrawGripAt(*own, u, v);
}

void CDrawingWindow::DrawGrips(CDrawContext& dc) {
  for (int i = 0; i < m_gripCount; ++i) {
    const DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    DrawGripAt(dc, m_mapping.DrawingToDeviceX(grip.x), m_mapping.DrawingToDeviceY(grip.y));
  }
}

void CDrawingWindow::ClearGrips() {
  if (m_gripCount > 0) {
    CClientDC dc(*this);
    DrawGrips(*dc);
  }
  m_gripCount = 0;
}

void CDrawingWindow::SetOnlyGrip(int x, int y) {
  DrawGrip(x, y, nullptr, 0);
  m_grips[0] = {x, y};
  m_gripKept[0] = 1;
  m_gripCount = 1;
}

int CDrawingWindow::FindGrip(int deviceX, int deviceY) const {
  for (int i = 0; i < m_gripCount; ++i) {
    const DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    if (m_mapping.DrawingToDeviceX(grip.x) == deviceX &&
        m_mapping.DrawingToDeviceY(grip.y) == deviceY) {
      return i;
    }
  }
  return -1;
}

int CDrawingWindow::FindGripAtCursor() const {
  const int cu = m_mapping.DrawingToDeviceX(g_cursorPoint.x);
  const int cv = m_mapping.DrawingToDeviceY(g_cursorPoint.y);
  for (int i = 0; i < m_gripCount; ++i) {
    const DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    const int du = m_mapping.DrawingToDeviceX(grip.x) - cu;
    const int dv = m_mapping.DrawingToDeviceY(grip.y) - cv;
    if (std::abs(du) <= 5 && std::abs(dv) <= 5) return i;
  }
  return -1;
}

int CDrawingWindow::FindNearestGrip(int& x, int& y) const {
  if (m_gripCount == 0) return 0;
  int best = 0;
  int bestDistance = GetCursorDistance(m_grips[0].x, m_grips[0].y);
  for (int i = 1; i < m_gripCount; ++i) {
    const DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    const int distance = GetCursorDistance(grip.x, grip.y);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  x = m_grips[static_cast<std::size_t>(best)].x;
  y = m_grips[static_cast<std::size_t>(best)].y;
  return 1;
}

void CDrawingWindow::MoveGrips(int dx, int dy) {
  for (int i = 0; i < m_gripCount; ++i) {
    DrawingPoint& grip = m_grips[static_cast<std::size_t>(i)];
    grip.x += dx;
    grip.y += dy;
  }
}

void CDrawingWindow::AddGripIfNew(CDrawContext& dc, int x, int y) {
  if (m_gripCount >= kGripLimit) return;
  if (FindGrip(m_mapping.DrawingToDeviceX(x), m_mapping.DrawingToDeviceY(y)) >= 0) return;
  m_gripKept[static_cast<std::size_t>(m_gripCount)] = 0;
  m_grips[static_cast<std::size_t>(m_gripCount++)] = {x, y};
  DrawGripAt(dc, m_mapping.DrawingToDeviceX(x), m_mapping.DrawingToDeviceY(y));
}

void CDrawingWindow::ShowGripsOfActive() {
  LogScope trace(3603);
  if (m_document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  m_gripCount = 0;
  CClientDC dc(*this);
  const int count = m_document->GetItemCount();
  for (int i = 0; i < count && m_gripCount < kGripLimit; ++i) {
    const CDrawItem* item = m_document->GetItem(i);
    if (item == nullptr || item->IsInvisible() != 0 || item->IsSelected() != 0) continue;
    const int handles = item->GetHandleCount();
    for (int h = 0; h < handles; ++h) AddGripIfNew(*dc, item->GetHandleX(h), item->GetHandleY(h));
  }
  trace.Exit();
}

void CDrawingWindow::SyncGripsToPoints(const CItemRefList& points) {
  LogScope trace(3604);
  if (m_document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  CClientDC dc(*this);
  for (int i = 0; i < m_gripCount; ++i) m_gripKept[static_cast<std::size_t>(i)] = 0;
  for (std::uint16_t r = 0; r < points.GetCount(); ++r) {
    const CItemRef& ref = points.GetAt(r);
    const int x = m_document->GetRefX(ref);
    const int y = m_document->GetRefY(ref);
    const int found = FindGrip(m_mapping.DrawingToDeviceX(x), m_mapping.DrawingToDeviceY(y));
    if (found >= 0) {
      m_gripKept[static_cast<std::size_t>(found)] = 1;
    } else if (m_gripCount < kGripLimit) {
      AddGripIfNew(*dc, x, y);
      m_gripKept[static_cast<std::size_t>(m_gripCount - 1)] = 1;
    }
  }
  int kept = 0;
  for (int i = 0; i < m_gripCount; ++i) {
    const DrawingPoint grip = m_grips[static_cast<std::size_t>(i)];
    if (m_gripKept[static_cast<std::size_t>(i)] == 0) {
      DrawGripAt(*dc, m_mapping.DrawingToDeviceX(grip.x), m_mapping.DrawingToDeviceY(grip.y));
      continue;
    }
    m_grips[static_cast<std::size_t>(kept)] = grip;
    m_gripKept[static_cast<std::size_t>(kept)] = 1;
    ++kept;
  }
  m_gripCount = kept;
  trace.Exit();
}

// ---- Guide line ----

void CDrawingWindow::DrawGuideLine(CDrawContext& dc, int position) const {
  const DcRect client = GetClientRect();
  if (m_guideVertical != 0) {
    XorLine(dc, position, client.top, position, client.bottom - 1, g_overlayXorColours[9]);
  } else {
    XorLine(dc, client.left, position, client.right - 1, position, g_overlayXorColours[9]);
  }
}

void CDrawingWindow::MoveGuideLine(int show) {
  int position = -1;
  if (show != 0) {
    position = m_guideVertical != 0 ? m_mapping.DrawingToDeviceX(g_snapPoint.x)
                                    : m_mapping.DrawingToDeviceY(g_snapPoint.y);
  }
  if (position == m_guidePosition) return;
  CClientDC dc(*this);
  if (m_guidePosition != -1) DrawGuideLine(*dc, m_guidePosition);
  if (position != -1) DrawGuideLine(*dc, position);
  m_guidePosition = position;
}

// ---- Rubber band ----

void CDrawingWindow::DrawBand(CDrawContext& dc) const { zeph::DrawFocusRect(dc, m_bandRect); }

void CDrawingWindow::StartRubberBand(int x, int y) {
  m_bandAnchor = {x, y};
  m_bandLast = {x, y};
  m_bandRect = {x, y, x, y};
  m_bandVisible = 0;
}

void CDrawingWindow::UpdateRubberBand(unsigned flags, int x, int y) {
  if ((flags & zeph::kMkControl) != 0) {
    // With Ctrl the whole band travels with the mouse.
    m_bandAnchor.x += x - m_bandLast.x;
    m_bandAnchor.y += y - m_bandLast.y;
  }
  m_bandLast = {x, y};
  m_bandRect = {std::min(m_bandAnchor.x, x), std::min(m_bandAnchor.y, y),
                std::max(m_bandAnchor.x, x), std::max(m_bandAnchor.y, y)};
  m_bandVisible =
      (m_bandRect.right - m_bandRect.left) + (m_bandRect.bottom - m_bandRect.top) >= 4 ? 1 : 0;
}

void CDrawingWindow::TrackRubberBand(unsigned flags, int x, int y) {
  CClientDC dc(*this);
  if (m_bandVisible != 0) DrawBand(*dc);
  UpdateRubberBand(flags, x, y);
  if (m_bandVisible != 0) DrawBand(*dc);
}

void CDrawingWindow::EndRubberBand(unsigned flags, int x, int y) {
  HideRubberBand();
  UpdateRubberBand(flags, x, y);
}

void CDrawingWindow::HideRubberBand() {
  if (m_bandVisible == 0) return;
  CClientDC dc(*this);
  DrawBand(*dc);
}

// ---- Scroll bars ----

void CDrawingWindow::OnScrollBars(int horizontal, int vertical) {
  if (m_pushingScrollBars != 0) return;
  bool moved = false;
  const std::int64_t stepX = std::int64_t{kScrollUnit} * m_mapping.scaleX;
  const std::int64_t stepY = std::int64_t{kScrollUnit} * m_mapping.scaleY;
  if (horizontal != m_scrollH.position) {
    m_scrollH.position = horizontal;
    m_mapping.originX = static_cast<std::int32_t>(stepX * horizontal + m_scrollH.base);
    moved = true;
  }
  if (vertical != m_scrollV.position) {
    m_scrollV.position = vertical;
    m_mapping.originY = static_cast<std::int32_t>(m_scrollV.base - stepY * vertical);
    moved = true;
  }
  if (!moved) return;
  Invalidate();
  UpdateWindow();
}

void CDrawingWindow::OnMouseWheel(unsigned flags, int delta, QPoint) {
  ScrollByWheel((flags & zeph::kMkShift) != 0, -delta);
}

void CDrawingWindow::OnMouseHWheel(unsigned, int delta, QPoint) { ScrollByWheel(true, delta); }

void CDrawingWindow::ScrollByWheel(bool horizontal, int delta) {
  auto* area = qobject_cast<QAbstractScrollArea*>(parentWidget());
  if (area == nullptr || area->viewport() != this) return;
  QScrollBar* bar = horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
  int& rest = horizontal ? m_wheelRestH : m_wheelRestV;
  // The lines a notch scrolls, as every scroll bar of the desktop does; a finer wheel adds up.
  const std::int64_t turned = std::int64_t{rest} + std::int64_t{delta} *
                                                       QApplication::wheelScrollLines() *
                                                       bar->singleStep();
  const std::int64_t steps = turned / 120;
  rest = static_cast<int>(turned - steps * 120);
  if (steps == 0) return;
  // The bar moves and tells the area, which moves the drawing as for a drag of the bar.
  bar->setValue(static_cast<int>(
      std::clamp<std::int64_t>(bar->value() + steps, bar->minimum(), bar->maximum())));
}

void CDrawingWindow::PushScrollBars() {
  auto* area = qobject_cast<QAbstractScrollArea*>(parentWidget());
  if (area == nullptr || area->viewport() != this) return;
  m_pushingScrollBars = 1;
  const auto push = [](QScrollBar* bar, const ScrollState& state) {
    bar->setRange(0, std::max(state.maximum, 0));
    bar->setPageStep(std::max(state.page, 1));
    bar->setSingleStep(1);
    bar->setValue(state.position);
  };
  push(area->horizontalScrollBar(), m_scrollH);
  push(area->verticalScrollBar(), m_scrollV);
  m_pushingScrollBars = 0;
}
