// The Curve tool: start, end, then the control point at the start and the control point at
// the end, each control point shown by its control line while it is placed.
#include <cmath>
#include <numbers>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// Length and angle of the control point from its end of the curve, into the read-outs.
void ReadControl(const DrawingPoint& from) {
  const double dx = static_cast<double>(g_cursorPoint.x) - from.x;
  const double dy = static_cast<double>(g_cursorPoint.y) - from.y;
  if (dx == 0.0) {
    g_readoutAngle = dy >= 0.0 ? std::numbers::pi / 2.0 : 3.0 * std::numbers::pi / 2.0;
  } else {
    g_readoutAngle = AngleOf(dy, dx);
  }
  g_readoutLength = Hypot(dx, dy);
}

}  // namespace

void CEditDrawing::ClickCurve() {
  LogScope trace(2436);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  DrawingToolGesture& gesture = m_toolGesture;
  if (m_clickStep == 0) {
    if (!BeginConstruction(kItemBezier, kPromptCurveStart)) {
      trace.Exit(kLogMemory);
      return;
    }
    gesture.controlLine = -1;
  }
  CDrawItem* curve = ConstructionOfKind(kItemBezier, 2436);
  if (curve == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  RemoveRubberBand();
  IOwnerView& view = GetOwnerView();
  DrawingPoint& start = gesture.first;
  DrawingPoint& end = gesture.second;
  const int step = m_clickStep;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(g_snapMode);
    start = g_snapPoint;
    curve->SetStart(start.x, start.y);
    ToggleSnapMark();
    if (step == 2) {
      m_clickStep = 3;
      ShowPromptText(kPromptPressDown);
      document->SelectPointsAt(start.x, start.y);
    }
    ShowSnapPointValues(0);
  } else if (step <= 5) {
    if (GetMarkCount() == 2) ToggleSnapMark();
    SnapPoint(g_snapMode);
    end = g_snapPoint;
    curve->SetEnd(end.x, end.y);
    if (GetMarkCount() == 0) DrawMark(start.x, start.y, nullptr, 1);
    ToggleSnapMark();
    if (step == 5) {
      if (start == end) {
        // Start and end together make no curve: the gesture ends without one.
        DropConstruction();
        trace.Exit(kLogHandled, 1);
        return;
      }
      m_clickStep = 6;
      SetPrompt(kPromptPressDown);
      gesture.controlLine = -1;
    }
    if (step == 4) ShowPromptText(kPromptCurveEnd);
    ShowSnapPointValues(0);
  } else {
    // The control points lie exactly at the cursor, whatever the snapping.
    const int end0 = step <= 8 ? 0 : 1;
    if (gesture.controlLine < end0) {
      // The lines before this one show again when they were taken off the screen (the mouse
      // left the drawing): every line up to the index is on the screen.
      for (int line = gesture.controlLine + 1; line < end0; ++line) ToggleControlLine(line);
      gesture.controlLine = end0;
    } else {
      ToggleControlLine(end0);
    }
    g_snapPoint = g_cursorPoint;
    curve->SetControlPoint(end0, g_cursorPoint.x, g_cursorPoint.y);
    ToggleControlLine(end0);
    ReadControl(end0 == 0 ? start : end);
    if (end0 == 0) {
      // Only the control line shows while the first control point is placed.
      if (step == 8) {
        m_clickStep = 9;
        ShowPromptText(kPromptPressDown);
      }
      if (step == 7) ShowPromptText(kPromptControlStart);
    } else {
      if (curve->IsValid() != 0) DrawRubberBand();
      if (step == 10) ShowPromptText(kPromptControlEnd);
    }
    view.ShowCurveValues();
  }
  if (m_clickStep > 10) {
    EraseControlLines();
    ClearMarks();
    FinishConstruction();
    SetPrompt(0);
  }
  trace.Exit();
}

void CEditDrawing::EraseControlLines() {
  if (m_toolGesture.controlLine >= 0) ToggleControlLine(0);
  if (m_toolGesture.controlLine >= 1) ToggleControlLine(1);
  m_toolGesture.controlLine = -1;
}
