// The Modify and Values tools. A release picks the item nearest to the cursor with its group;
// Modify then lets the pupil change it (values bar, text editing, a curve's control points, a
// dimension's line, a fill's order), Values only shows what it is. Each drag of a control
// point or dimension line is one undo step; a curve dragged into a shape that crosses itself
// is put back as it was.
#include <algorithm>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/dimensionitem.h"
#include "items/geometry.h"
#include "items/valuefields.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kMessageNoMemory = 224;

int BackgroundColourMode() { return static_cast<int>(g_backgroundColour & zeph::kColourMask); }

}  // namespace

void CEditDrawing::GetDimensionOffsetLine(int type, const DrawingPoint& p1, const DrawingPoint& p2,
                                          double& a, double& b, double& c) {
  const double x1 = p1.x;
  const double y1 = p1.y;
  const double x2 = p2.x;
  const double y2 = p2.y;
  switch (type) {
    case kDimensionHorizontal:  // the height above the higher end
      a = 0.0;
      b = 1.0;
      c = -std::max(y1, y2);
      break;
    case kDimensionVertical:
      b = 0.0;
      if (y2 < y1) {
        a = 1.0;
        c = -x2;
      } else {
        a = -1.0;
        c = x2;
      }
      break;
    default: {  // the signed distance from the line
      const double dx = x2 - x1;
      const double dy = y2 - y1;
      const double l = Hypot(dx, dy);
      if (l > 0.0) {
        a = -dy / l;
        b = dx / l;
        c = (x1 * dy - y1 * dx) / l;
      } else {
        a = 0.0;
        b = 1.0;
        c = -y1;
      }
      break;
    }
  }
}

void CEditDrawing::ClickModify() {
  LogScope trace(2465);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  const int step = m_clickStep;
  LogAction(2465, step, g_toolState);

  // A press on one of the picked curve's control points starts dragging it.
  if (step == 0 && g_toolState == kStateCurveHandles && GetPickCount() > 0) {
    const int grip = FindGripAtCursor();
    if (grip == 0 || grip == 1) {
      document->SetUndoGroup(1);
      g_toolState = kStateControlPointDrag;
      // The curve on the screen counts as its own rubber band.
      m_feedbackDrawn = 1;
      m_modify.controlPoint = static_cast<std::int16_t>(grip);
      m_modify.last = g_cursorPoint;
      ClearGrips();
    }
  }
  // A press on the picked dimension starts dragging its dimension line.
  if (step == 0 && g_toolState == kStateDimensionPicked && GetPickCount() > 0) {
    CDrawItem* dimension = GetPicked(0);
    if (document->FindNearestItem(&GetMapping(), kPickAnyItem, nullptr, 0.0) == dimension) {
      document->SetUndoGroup(1);
      DrawItem(dimension, BackgroundColourMode());
      m_feedbackDrawn = 0;
      g_toolState = kStateDimensionDrag;
      DrawingPoint p1;
      DrawingPoint p2;
      dimension->GetStart(p1.x, p1.y);
      dimension->GetEnd(p2.x, p2.y);
      if (p2.x < p1.x || (p2.x == p1.x && p2.y < p1.y)) std::swap(p1, p2);
      int type = dimension->GetDimensionType();
      // Measured straight along the line, such a dimension's line runs parallel to it.
      if ((type == kDimensionHorizontal && p1.x == p2.x) ||
          (type == kDimensionVertical && p1.y == p2.y)) {
        type = kDimensionParallel;
      }
      GetDimensionOffsetLine(type, p1, p2, m_modify.a, m_modify.b, m_modify.c);
      GetOwnerView().ResetValuesBarScroll();
    }
  }

  if (g_toolState == kStateControlPointDrag) {
    if (step > 0) DragControlPoint();
  } else if (g_toolState == kStateDimensionDrag) {
    DragDimensionLine();
  } else if (step >= 2) {
    PickForModify();
  }
  trace.Exit();
}

void CEditDrawing::DragControlPoint() {
  CZephDoc* document = GetDocument();
  if (GetPickCount() != 1) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2465, 1);
    return;
  }
  CDrawItem* curve = GetPicked(0);
  const int i = m_modify.controlPoint;
  {
    CClientDC dc(*this);
    DrawControlLine(i, dc.get(), *curve);
  }
  if (m_feedbackDrawn != 0) {
    DrawItem(curve, kDrawXor);
    m_feedbackDrawn = 0;
  }
  double x = 0.0;
  double y = 0.0;
  curve->GetControlPoint(i, x, y);
  curve->SetControlPoint(i, x + (static_cast<double>(g_cursorPoint.x) - m_modify.last.x),
                         y + (static_cast<double>(g_cursorPoint.y) - m_modify.last.y));
  // A curve that crosses itself is not drawn; its control line still follows the cursor.
  if (curve->IsValid() != 0) {
    DrawItem(curve, kDrawXor);
    m_feedbackDrawn = 1;
  }
  {
    CClientDC dc(*this);
    DrawControlLine(i, dc.get(), *curve);
  }
  curve->PublishProperties();
  GetOwnerView().ShowControlPointValues(i);
  m_modify.last = g_cursorPoint;
  if (m_clickStep < 2) return;

  g_toolState = kStateCurveHandles;
  m_clickStep = 0;
  // Drawn in exclusive-or over the background, the curve already shows in its own colour.
  m_feedbackDrawn = 0;
  // The control lines followed the drag; only the grips come back.
  DrawCurveHandles(1, nullptr);
  if (document != nullptr) document->SetUndoGroup(0);
  if (curve->IsValid() == 0) Undo(0);
}

void CEditDrawing::DragDimensionLine() {
  CZephDoc* document = GetDocument();
  if (GetPickCount() != 1) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2465, 2);
    return;
  }
  CDrawItem* dimension = GetPicked(0);
  if (m_clickStep > 0 && m_feedbackDrawn != 0) {
    DrawItem(dimension, kDrawXor);
    m_feedbackDrawn = 0;
  }
  dimension->SetOffset(
      RoundToInt(m_modify.a * g_cursorPoint.x + m_modify.b * g_cursorPoint.y + m_modify.c));
  if (m_clickStep >= 2) {
    DrawItem(dimension, kDrawOwnColour);
    g_toolState = kStateDimensionPicked;
    m_clickStep = 0;
    if (document != nullptr) document->SetUndoGroup(0);
    dimension->PublishProperties();
    GetOwnerView().ResetValuesBarScroll();
  } else {
    DrawItem(dimension, kDrawXor);
    m_feedbackDrawn = 1;
    GetOwnerView().ShowCursorPoint();
  }
}

void CEditDrawing::PickForModify() {
  CZephDoc* document = GetDocument();
  if (m_textState == kTextEditing) {
    if (GetPickCount() != 1) {
      SetGlitchValue(GetPickCount());
      ReportGlitch(2465, 3);
      m_clickStep = 0;
      return;
    }
    CDrawItem* text = GetPicked(0);
    const int index = text->GetCharIndexAtCursor(&GetMapping());
    if (index >= 0) {
      // A click inside the text only moves its caret.
      StopTimer(kTimerCaret);
      {
        CClientDC dc(*this);
        text->HideCaret(&dc.get(), &GetMapping());
      }
      text->SetCaret(index);
      SetPrompt(0);
      m_clickStep = 0;
      StartTimer(kTimerCaret, 0);
      return;
    }
    StopTimer(kTimerCaret);
    FinishText();
  } else if (m_textState == kTextKept) {
    // The text kept open while switching from Modify is finished before Values picks another
    // item, so that ending it later never meets an item that is not that text.
    m_textState = kTextEditing;
    FinishText();
  }

  CDrawItem* previous = GetPickCount() == 1 ? GetPicked(0) : nullptr;
  CDrawItem* item = document->FindNearestItem(&GetMapping(), kPickAnyItem, previous, 0.0);
  bool textOpened = false;
  bool orderButtons = false;
  if (item != nullptr) {
    if (g_toolState == kStateCurveHandles) DrawCurveHandles(2, nullptr);
    if (GetSelectionShown() == 0) {
      SetSelectionShown(1);
      SetAllSelected(1);
    }
    for (CDrawItem* picked : m_pickList) {
      picked->Select();
      DrawItem(picked, kDrawHighlight);
    }
    m_pickList.clear();
    GetOwnerView().RemovePromptButtons();
    if (ToggleChosen(item, 1, 1) == 0) {
      if (g_currentTool == kToolModify) g_toolState = kStateModifyWaiting;
      ShowWarning(kMessageNoMemory);
      m_clickStep = 0;
      return;
    }
    const int group = item->GetGroupNumber();
    if (g_currentTool == kToolModify) {
      g_toolState = kStateModifyWaiting;
      item->PublishProperties();
      if (group != 0) {
        // A shape keeps its lines together: only its colour and object can change.
        g_valueFieldCount = 1;
        GetOwnerView().SetAction(kActionRemoveProtection, 1);
      } else if (item->GetType() == kItemBezier) {
        g_toolState = kStateCurveHandles;
        DrawCurveHandles(0, nullptr);
      } else if (item->GetType() == kItemDimension) {
        g_toolState = kStateDimensionPicked;
      } else if (item->GetType() == kItemText) {
        item->BeginEdit(item->GetCharIndexAtCursor(&GetMapping()));
        m_textState = kTextEditing;
        setFocus();
        StartTimer(kTimerCaret, 0);
        ShowPromptText(kPromptTypeText);
        textOpened = true;
      } else if (item->GetType() == kItemFill) {
        orderButtons = true;
      }
    } else if (group != 0) {
      document->PublishShapeValues(group);
    } else {
      item->PublishInformation();
    }
  }
  if (!textOpened) SetPrompt(0);
  if (orderButtons) {
    GetOwnerView().ShowOrderButtons(document->IsFrontmostFill(item),
                                    document->IsBackmostFill(item));
  }
  m_clickStep = 0;
}

void CEditDrawing::AbandonModifyDrag() {
  if (g_toolState != kStateControlPointDrag && g_toolState != kStateDimensionDrag) return;
  const bool curve = g_toolState == kStateControlPointDrag;
  g_toolState = curve ? kStateCurveHandles : kStateDimensionPicked;
  RollBackGesture();
  if (curve && GetPickCount() > 0) DrawCurveHandles(1, nullptr);
  // The drag's exclusive-or lines may still be on the screen; a paint shows the item as the
  // drawing now holds it.
  Invalidate();
}
