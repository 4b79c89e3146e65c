// The Ellipse tool: the first click gives the end of the axis with the values bar's slope,
// the second a point on the other axis. The tool takes the cursor as it is, without snapping.
#include <cmath>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {}  // namespace

void CEditDrawing::ClickEllipse() {
  LogScope trace(2435);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  DrawingToolGesture& gesture = m_toolGesture;
  if (m_clickStep == 0) {
    if (!BeginConstruction(kItemEllipse, kPromptEllipseAxis)) {
      trace.Exit(kLogMemory);
      return;
    }
    m_construction->SetRotation(g_ellipseSlope);
    const double c = std::cos(g_ellipseSlope);
    const double s = std::sin(g_ellipseSlope);
    gesture.c2 = c * c;
    gesture.cs = c * s;
    gesture.s2 = s * s;
  }
  CDrawItem* ellipse = ConstructionOfKind(kItemEllipse, 2435);
  if (ellipse == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  RemoveRubberBand();
  const int step = m_clickStep;
  DrawingPoint& axisEnd = gesture.first;
  if (step <= 2) {
    axisEnd = g_cursorPoint;
    if (step == 2) {
      m_clickStep = 3;
      SetPrompt(kPromptPressDown);
    }
  } else {
    // The centre is the foot of the perpendicular from the cursor onto the first axis.
    const double px = g_cursorPoint.x;
    const double py = g_cursorPoint.y;
    const DrawingPoint foot{
        RoundToInt(px * gesture.c2 + (py - axisEnd.y) * gesture.cs + axisEnd.x * gesture.s2),
        RoundToInt(py * gesture.s2 + (px - axisEnd.x) * gesture.cs + axisEnd.y * gesture.c2)};
    ellipse->SetCentre(foot.x, foot.y);
    ellipse->SetSemiAxes(
        RoundToInt(VectorLength(axisEnd.x - foot.x, axisEnd.y - foot.y)),
        RoundToInt(VectorLength(g_cursorPoint.x - foot.x, g_cursorPoint.y - foot.y)));
    if (step == 5) {
      FinishConstruction();  // a semi-axis of 0 is refused
      SetPrompt(0);
    } else {
      DrawRubberBand();
      if (step == 4) ShowPromptText(kPromptEllipseOtherAxis);
    }
  }
  GetOwnerView().ShowCursorPoint();
  trace.Exit();
}
