// The Dimension tool: the first click picks the nearest line, at any distance, the second
// places the dimension line at an offset from it. The dimension joins the measured line's
// object and takes its style from the values bar, its units and decimals from the options.
#include <algorithm>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/dimensionitem.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"

namespace {}  // namespace

void CEditDrawing::ClickDimension() {
  LogScope trace(2441);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  DrawingToolGesture& gesture = m_toolGesture;
  if (m_clickStep == 0) {
    m_feedbackDrawn = 0;
    DrawItemPtr dimension = CreateToolItem(kItemDimension);
    if (!dimension) {
      trace.Exit(kLogMemory);
      return;
    }
    dimension->SetArrowSize(g_dimensionArrowSize);
    dimension->SetExtensionGap(g_dimensionExtensionGap);
    dimension->SetExtension(g_dimensionExtension);
    dimension->SetFont(g_dimensionFont);
    dimension->SetDimensionType(g_dimensionType);
    dimension->SetColour(g_drawingColour);
    dimension->SetLineEnds(g_dimensionLineEnds);
    dimension->SetTextAngleMode(g_dimensionTextAngle);
    dimension->SetTextPosition(g_dimensionTextPosition);
    dimension->SetUnits(static_cast<std::uint8_t>(GetOptionShort(kOptionDisplayUnits) & 0xFF));
    dimension->SetDecimals(static_cast<std::uint8_t>(GetOptionShort(kOptionDecimalPlaces) & 0xFF));
    m_construction = std::move(dimension);
    m_clickStep = 1;
    SetPrompt(kPromptDimensionLine);
  }
  CDrawItem* dimension = ConstructionOfKind(kItemDimension, 2441);
  if (dimension == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  const int step = m_clickStep;
  if (step == 2) {
    const CDrawItem* line = document->FindNearestItem(&GetMapping(), kPickLines, nullptr, 0.0);
    if (line == nullptr) {
      // Nothing to measure: the gesture ends quietly.
      m_construction.reset();
      m_clickStep = 0;
      SetPrompt(0);
    } else {
      dimension->SetObjectNumber(line->GetObjectNumber());
      DrawingPoint p1;
      DrawingPoint p2;
      line->GetStart(p1.x, p1.y);
      line->GetEnd(p2.x, p2.y);
      if (p2.x < p1.x || (p2.x == p1.x && p2.y < p1.y)) std::swap(p1, p2);
      dimension->SetStart(p1.x, p1.y);
      dimension->SetEnd(p2.x, p2.y);
      GetDimensionOffsetLine(g_dimensionType, p1, p2, gesture.a, gesture.b, gesture.c);
      m_clickStep = 3;
      ShowPromptText(kPromptPressDown);
    }
  } else if (step > 2) {
    RemoveRubberBand();
    dimension->SetOffset(
        RoundToInt(gesture.a * g_cursorPoint.x + gesture.b * g_cursorPoint.y + gesture.c));
    if (step == 5) {
      FinishConstruction();
      SetPrompt(0);
    } else {
      DrawRubberBand();
      if (step == 4) ShowPromptText(kPromptPlaceDimension);
    }
  }
  GetOwnerView().ShowCursorPoint();
  trace.Exit();
}
