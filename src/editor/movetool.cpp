// The Move tool moves items or points. Move an item, Move a point, Drag out a line and Split a
// point are single press-drag-release gestures; Move items and Move points first choose, and
// after the prompt's OK every drag moves the chosen items or points on. Each drag is one undo
// step. While the button is held the moving items are shown in exclusive-or; the values bar's
// fixed move direction, when set, holds the move to that direction.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/valuesbarparams.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

// How near (in pixels) a handle of the grabbed item must be to become its grip.
constexpr int kGripReach = 20;

// The move of v projected on the fixed direction: along it, or against it when the cursor
// went the other way. The read-outs show it.
DrawingPoint ConstrainedMove(double vx, double vy, double direction) {
  const double a = vx == 0.0 && vy == 0.0 ? 0.0 : AngleOf(vy, vx);
  double length = Hypot(vx, vy) * std::cos(a - direction);
  double angle = direction;
  if (length < 0.0) {
    length = -length;
    angle += std::numbers::pi;
  }
  const DrawingPoint move{TruncateToInt(std::cos(angle) * length),
                          TruncateToInt(std::sin(angle) * length)};
  g_readoutLength = length;
  g_readoutAngle = angle;
  g_readoutMove = move;
  return move;
}

// The hunting mode of a move: no snapping means hunting unless a direction is fixed.
int MoveMode(int mode) { return mode == kSnapNone && g_moveAngleSet == 0 ? kSnapHunt : mode; }

}  // namespace

// ---- Shared by the sub-modes ----

void CEditDrawing::SnapMove(int mode, const DrawingPoint& from, const DrawingPoint& offset,
                            int cursorOnly) {
  if (mode == kSnapNone) {
    const double vx = static_cast<double>(offset.x) + g_cursorPoint.x - from.x;
    const double vy = static_cast<double>(offset.y) + g_cursorPoint.y - from.y;
    const DrawingPoint move = ConstrainedMove(vx, vy, g_moveAngle);
    g_snapPoint = {from.x + move.x - offset.x, from.y + move.y - offset.y};
  } else {
    if (mode == kSnapHunt && cursorOnly != 0) {
      g_snapPoint = g_cursorPoint;
    } else {
      SnapPoint(mode);
    }
    const int mx = offset.x + g_snapPoint.x - from.x;
    const int my = offset.y + g_snapPoint.y - from.y;
    g_readoutMove = {mx, my};
    g_readoutAngle = mx == 0 && my == 0 ? 0.0 : AngleOf(my, mx);
    g_readoutLength = VectorLength(mx, my);
  }
  GetOwnerView().ShowMoveValues();
}

void CEditDrawing::ListPickedHandles() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  CItemRefList handles;
  for (const CDrawItem* item : m_pickList) {
    const int index = document->FindItem(item);
    if (index < 0) continue;
    const int count = ReachableHandles(*item);
    for (int h = 0; h < count; ++h) handles.Add(CItemRef(index, static_cast<std::int16_t>(h)));
  }
  document->SetSelectedPoints(handles);
}

void CEditDrawing::WipePicked() {
  CCrossHairsHidden hidden(*this);
  const int background = static_cast<int>(g_backgroundColour & zeph::kColourMask);
  for (const CDrawItem* item : m_pickList) DrawItem(item, background);
}

std::vector<const CDrawItem*> CEditDrawing::PickedInDragOrder(int removing) const {
  std::vector<const CDrawItem*> order(m_pickList.begin(), m_pickList.end());
  if (g_toolSubMode != kMoveItems) return order;
  const auto isText = [](const CDrawItem* item) { return item->GetType() == kItemText; };
  if (removing != 0) {
    const auto texts = std::stable_partition(order.begin(), order.end(),
                                             [&](const CDrawItem* item) { return !isText(item); });
    std::reverse(texts, order.end());
  } else {
    std::stable_partition(order.begin(), order.end(), isText);
  }
  return order;
}

void CEditDrawing::DrawPickedXor(int removing) {
  for (const CDrawItem* item : PickedInDragOrder(removing)) DrawItem(item, kDrawXor);
}

void CEditDrawing::DrawPickedInPlace() {
  CCrossHairsHidden hidden(*this);
  for (const CDrawItem* item : m_pickList) DrawItem(item, kDrawOwnColour);
  DrawItemsFrom(0, 0);
}

void CEditDrawing::RestoreMoveAngle() {
  if (m_moveAngleBorrowed == 0) return;
  g_moveAngle = m_savedMoveAngle;
  m_moveAngleBorrowed = 0;
}

void CEditDrawing::AbandonMove() {
  RollBackGesture();
  RestoreMoveAngle();
  CZephDoc* document = GetDocument();
  const bool dragging = g_moveDragging != 0;
  if (g_toolSubMode == kMoveItems && dragging) {
    // The items stay chosen, where they were before the drag, ready for the next one.
    if (document != nullptr) document->GetSelectedPoints().RemoveAll();
    ClearGrips();
    DrawPickedInPlace();
    ShowGripsOfList(m_pickList);
    return;
  }
  if (g_toolSubMode == kMovePoints) {
    // The chosen points stay chosen.
    if (dragging) DrawPickedInPlace();
    if (document != nullptr) SyncGripsToPoints(document->GetSelectedPoints());
    return;
  }
  if (g_toolSubMode != kMoveItems) {
    if (!m_pickList.empty()) DrawPickedInPlace();
    if (document != nullptr) document->GetSelectedPoints().RemoveAll();
    ClearGrips();
    m_pickList.clear();
  }
}

// ---- Move an item ----

void CEditDrawing::ClickMoveItem() {
  LogScope trace(2466);
  CZephDoc* document = GestureDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 0) {
    // What the last gesture moved is not moved again when this press finds nothing.
    m_pickList.clear();
    CDrawItem* item = document->FindNearestItem(&GetMapping(), kPickAnyItem, nullptr, 0.0);
    if (item == nullptr) {
      trace.Exit();
      return;
    }
    if (AddToPickList(item) == 0) {
      DropPickForMemory();
      trace.Exit(kLogMemory);
      return;
    }
    GetOwnerView().RemovePromptButtons();
    m_clickStep = 1;
    ShowPromptText(0);
    // The handle grabbed, when the press was near one, is what snaps.
    const double reach = static_cast<double>(kGripReach) * GetMapping().scaleX;
    int best = -1;
    int bestDistance = 0;
    for (int h = 0; h < item->GetHandleCount(); ++h) {
      const int distance = GetCursorDistance(item->GetHandleX(h), item->GetHandleY(h));
      if (distance < reach && (best < 0 || distance < bestDistance)) {
        best = h;
        bestDistance = distance;
      }
    }
    ClearGrips();
    WipePicked();
    m_moveGripShown = best >= 0 ? 1 : 0;
    if (best >= 0) {
      m_moveRef = {item->GetHandleX(best), item->GetHandleY(best)};
      SetOnlyGrip(m_moveRef.x, m_moveRef.y);
    } else {
      m_moveRef = g_cursorPoint;
    }
    ListPickedHandles();
    m_feedbackDrawn = 0;
    m_moveLast = m_moveRef;
    document->SetUndoGroup(1);
    trace.Exit();
    return;
  }
  if (m_pickList.empty()) {
    if (m_clickStep >= 2) m_clickStep = 0;
    trace.Exit();
    return;
  }
  if (m_clickStep == 1) {
    const int mode = MoveMode(m_moveGripShown != 0 ? g_snapMode : kSnapNone);
    SnapMove(mode, m_moveRef, {}, m_moveGripShown == 0 ? 1 : 0);
    const int dx = g_snapPoint.x - m_moveLast.x;
    const int dy = g_snapPoint.y - m_moveLast.y;
    if (m_feedbackDrawn == 0 || dx != 0 || dy != 0) {
      CCrossHairsHidden hidden(*this);
      ClearGrips();
      if (m_feedbackDrawn != 0) DrawPickedXor(1);
      for (CDrawItem* item : m_pickList) item->MoveBy(dx, dy);
      DrawPickedXor(0);
      m_moveLast = g_snapPoint;
      if (m_moveGripShown != 0) SetOnlyGrip(m_moveLast.x, m_moveLast.y);
      m_feedbackDrawn = 1;
    }
    trace.Exit();
    return;
  }
  // The release.
  {
    CCrossHairsHidden hidden(*this);
    ClearGrips();
    if (m_feedbackDrawn != 0) DrawPickedXor(1);
    m_feedbackDrawn = 0;
    DrawPickedInPlace();
  }
  document->GetSelectedPoints().RemoveAll();
  document->SetUndoGroup(0);
  m_pickList.clear();
  m_clickStep = 0;
  SetPrompt(kPromptMoveItem);
  trace.Exit();
}

// ---- Move items ----

void CEditDrawing::ClickMoveItems() {
  LogScope trace(2467);
  CZephDoc* document = GestureDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  if (g_moveDragging == 0) {
    if (m_clickStep == 0) m_feedbackDrawn = 0;
    if (m_clickStep >= 2) {
      ChooseAtRelease();
      GetOwnerView().EnableOKButton(GetChosenCount() != 0 ? 1 : 0);
      m_clickStep = 0;
    }
    trace.Exit();
    return;
  }
  if (m_clickStep == 0) {
    if (m_pickList.empty()) {
      ReportGlitch(2467, 1);
      trace.Exit(kLogInvalid);
      return;
    }
    int x = 0;
    int y = 0;
    m_moveRef = FindNearestGrip(x, y) != 0 ? DrawingPoint{x, y} : g_cursorPoint;
    m_moveLast = m_moveRef;
    m_feedbackDrawn = 0;
  }
  if (m_pickList.empty()) {
    if (m_clickStep >= 2) m_clickStep = 0;
    trace.Exit();
    return;
  }
  CCrossHairsHidden hidden(*this);
  // While the drag runs the grips are on the screen together with the moving items.
  const auto toggleGrips = [this]() {
    CClientDC dc(*this);
    DrawGrips(*dc);
  };
  if (m_clickStep == 0) {
    toggleGrips();
    WipePicked();
    ListPickedHandles();
    document->SetUndoGroup(1);
  }
  if (m_feedbackDrawn != 0 && m_clickStep <= 1) {
    toggleGrips();
    DrawPickedXor(1);
    m_feedbackDrawn = 0;
  }
  if (m_clickStep <= 1) {
    SnapMove(MoveMode(g_snapMode), m_moveRef, m_moveOffset, 0);
    const int dx = g_snapPoint.x - m_moveLast.x;
    const int dy = g_snapPoint.y - m_moveLast.y;
    for (CDrawItem* item : m_pickList) item->MoveBy(dx, dy);
    DrawPickedXor(0);
    MoveGrips(dx, dy);
    toggleGrips();
    m_moveLast = g_snapPoint;
    m_feedbackDrawn = 1;
    trace.Exit();
    return;
  }
  // The release: the items stay chosen, with their grips, for the next drag.
  if (m_feedbackDrawn != 0) DrawPickedXor(1);
  m_feedbackDrawn = 0;
  ClearGrips();
  DrawPickedInPlace();
  ShowGripsOfList(m_pickList);
  document->GetSelectedPoints().RemoveAll();
  document->SetUndoGroup(0);
  m_moveOffset = g_readoutMove;
  m_clickStep = 0;
  trace.Exit();
}

// ---- Move points ----

void CEditDrawing::ClickMovePoints() {
  LogScope trace(2468);
  CZephDoc* document = GestureDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  CItemRefList& points = document->GetSelectedPoints();
  if (g_moveDragging == 0) {
    if (m_clickStep == 0) m_feedbackDrawn = 0;
    if (m_clickStep >= 2) {
      if (IsRubberBandVisible() != 0) {
        document->SelectPointsInRect(points, &GetMapping(), GetRubberBandRect(),
                                     IsShiftAtRelease());
        SetRubberBandVisible(0);
      } else {
        const CItemRef nearest = document->FindNearestPoint(&GetMapping(), kPointAnyItem, 0);
        if (nearest.IsInvalid() == 0) document->TogglePointAt(points, nearest);
      }
      // Hunting walks the list in order.
      document->SortSelectedPoints();
      SyncGripsToPoints(points);
      GetOwnerView().EnableOKButton(points.GetCount() != 0 ? 1 : 0);
      m_clickStep = 0;
    }
    trace.Exit();
    return;
  }
  if (m_clickStep == 0) {
    document->SetUndoGroup(1);
    ClearGrips();
    const CItemRef nearest = document->GetNearestListedPoint(points);
    m_moveRef = nearest.IsInvalid() == 0
                    ? DrawingPoint{document->GetRefX(nearest), document->GetRefY(nearest)}
                    : g_cursorPoint;
    m_moveLast = m_moveRef;
    m_feedbackDrawn = 0;
    if (PickItemsOfPoints() == 0) {
      DropPickForMemory();
      trace.Exit(kLogMemory);
      return;
    }
    WipePicked();
    // The moving points never hunt onto themselves.
    document->SetSelectedPoints(points);
    m_clickStep = 1;
  }
  CCrossHairsHidden hidden(*this);
  if (m_feedbackDrawn != 0) {
    DrawPickedXor(1);
    m_feedbackDrawn = 0;
  }
  SnapMove(MoveMode(g_snapMode), m_moveRef, m_moveOffset, 0);
  DragPointsToSnap(points);
  if (m_clickStep <= 1) {
    DrawPickedXor(0);
    m_feedbackDrawn = 1;
    trace.Exit();
    return;
  }
  // The release: the points stay chosen, with their grips, for the next drag.
  DrawPickedInPlace();
  SyncGripsToPoints(points);
  ShowPromptText(0);
  m_clickStep = 0;
  m_moveOffset = g_readoutMove;
  document->SetUndoGroup(0);
  trace.Exit();
}

// ---- Move a point, Drag out a line, Split a point ----

void CEditDrawing::ClickMovePoint() {
  LogScope trace(2469);
  CZephDoc* document = GestureDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  const int subMode = g_toolSubMode;
  CItemRefList& points = document->GetSelectedPoints();
  if (m_clickStep == 0) {
    m_feedbackDrawn = 0;
    document->SetUndoGroup(1);
    int filter = kPointAnyItem;
    int ungroupedOnly = 0;
    if (subMode == kSplitPoint) {
      filter = kPointNoTextsOrDimensions;
      ungroupedOnly = 1;
    } else if (subMode == kDragOutLine) {
      filter = kPointLinesOnly;
      ungroupedOnly = 1;
    } else if (subMode != kMovePoint) {
      SetGlitchValue(subMode);
      ReportGlitch(2469, 1);
      document->SetUndoGroup(0);
      trace.Exit(kLogInvalid);
      return;
    }
    const CItemRef handle = document->FindNearestPoint(&GetMapping(), filter, ungroupedOnly);
    ClearGrips();
    points.RemoveAll();
    m_clickStep = 1;
    if (handle.IsInvalid() != 0) {
      m_pickList.clear();
      trace.Exit();
      return;
    }
    if (subMode == kMovePoint) {
      // Everything that meets there goes along, and shapes stay whole.
      document->AddCoincidentPoints(points, handle);
      document->ExpandToGroups(points);
    } else {
      points.Add(handle);
    }
    m_moveRef = {document->GetRefX(handle), document->GetRefY(handle)};
    m_moveLast = m_moveRef;
    if (PickItemsOfPoints() == 0) {
      points.RemoveAll();
      DropPickForMemory();
      trace.Exit(kLogMemory);
      return;
    }
    WipePicked();
    document->SetSelectedPoints(points);
    if (subMode == kDragOutLine) {
      const CDrawItem* line = document->GetRefItem(handle);
      int sx = 0;
      int sy = 0;
      int ex = 0;
      int ey = 0;
      line->GetStart(sx, sy);
      line->GetEnd(ex, ey);
      const double dx = static_cast<double>(ex) - sx;
      const double dy = static_cast<double>(ey) - sy;
      RestoreMoveAngle();
      m_savedMoveAngle = g_moveAngle;
      m_moveAngleBorrowed = 1;
      g_moveAngle = NormaliseAngle(dx == 0.0 && dy == 0.0 ? 0.0 : AngleOf(dy, dx), 1);
    }
    GetOwnerView().ResetValuesBarScroll();
  }
  if (m_pickList.empty()) {
    if (m_clickStep >= 2) {
      document->SetUndoGroup(0);
      m_clickStep = 0;
    }
    trace.Exit();
    return;
  }
  CCrossHairsHidden hidden(*this);
  if (m_feedbackDrawn != 0) {
    ClearGrips();
    DrawPickedXor(1);
    m_feedbackDrawn = 0;
  }
  // Drag out a line keeps to the line's own direction, whatever the values bar fixes.
  const int mode = subMode == kDragOutLine ? kSnapNone : MoveMode(g_snapMode);
  SnapMove(mode, m_moveRef, {}, 0);
  DragPointsToSnap(points);
  if (m_clickStep <= 1) {
    DrawPickedXor(0);
    SetOnlyGrip(m_moveLast.x, m_moveLast.y);
    m_feedbackDrawn = 1;
    trace.Exit();
    return;
  }
  // The release.
  DrawPickedInPlace();
  points.RemoveAll();
  ClearGrips();
  m_pickList.clear();
  RestoreMoveAngle();
  ShowPromptText(0);
  m_clickStep = 0;
  document->SetUndoGroup(0);
  trace.Exit();
}
