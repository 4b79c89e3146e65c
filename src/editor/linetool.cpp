// New line fixes the start of a chain; each Line gesture draws one segment from there and
// makes its end the start of the next.
#include "editor/linetool.h"

#include <cmath>
#include <numbers>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/geometry.h"
#include "items/measure.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/uiutil.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

}  // namespace

double ConstrainLineAngle(double angle, double setting) {
  if (IsValidAngleStep(setting) == 0) return setting;
  // Counted up by repeated addition, so that the multiples are those the values bar shows.
  double c = 0.0;
  while (c + setting <= angle) c += setting;
  const double b = c + setting;
  if (b < kTwoPi) return angle - c > b - angle ? b : c;
  return angle - c > kTwoPi - angle ? 0.0 : c;
}

double ProjectLineLength(double angle, double dx, double dy) {
  double folded = angle;
  if (folded > std::numbers::pi) folded -= std::numbers::pi;
  if (folded > std::numbers::pi / 2.0) folded = std::numbers::pi - folded;
  return folded <= std::numbers::pi / 4.0 ? std::fabs(dx / std::cos(angle))
                                          : std::fabs(dy / std::sin(angle));
}

void CEditDrawing::SetSnapDistance() {
  g_snapDistance = GetOptionShort(static_cast<std::int16_t>(
      g_snapMode == kSnapHunt ? kOptionHuntDistance : kOptionJoinDistance));
}

void CEditDrawing::SnapPoint(int mode) {
  if (mode == kSnapGrid) {
    SnapCursorToGrid();
  } else if (GetDocument() != nullptr) {
    GetDocument()->SnapToNearestPoint(&GetMapping());
  } else {
    g_snapPoint = g_cursorPoint;
  }
}

void CEditDrawing::ShowSnapPointValues(int mode) {
  GetOwnerView().ShowPointValues(g_snapPoint.x, g_snapPoint.y, mode);
}

void CEditDrawing::ClickNewLine() {
  LogScope trace(2430);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  if (m_clickStep == 0) {
    m_clickStep = 1;
    SetPrompt(kPromptLineStart);
  }
  ClearMarks();
  document->GetSelectedPoints().RemoveAll();
  SnapPoint(g_snapMode);
  ShowSnapPointValues(0);
  g_lineStart = g_snapPoint;
  if (m_clickStep >= 2) {
    m_clickStep = 0;
    g_lineStartSet = 1;
    GetOwnerView().SelectTool(kToolLine, -1);
    SetPrompt(0);
  } else {
    ToggleLineStartMark(nullptr);
  }
  trace.Exit();
}

void CEditDrawing::ClickLine() {
  LogScope trace(2431);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  int mode = g_snapMode;
  // Without a constraint the end hunts within the join distance even with snapping off.
  if (mode == kSnapNone && g_lineLengthSet == 0 && g_lineAngleSet == 0) mode = kSnapHunt;
  if (m_clickStep == 0) {
    DrawItemPtr line = CreateToolItem(kItemLine);
    if (!line) {
      trace.Exit(kLogMemory);
      return;
    }
    line->SetStart(g_lineStart.x, g_lineStart.y);
    line->SetEnd(g_lineStart.x, g_lineStart.y);
    line->SetColour(g_drawingColour);
    line->SetLineStyle(g_lineStyle);
    line->SetObjectNumber(g_currentObject);
    line->SetPenWidth(1);
    m_construction = std::move(line);
    document->GetSelectedPoints().RemoveAll();
    // The end may hunt neither onto the start nor onto the far ends of lines meeting there.
    if (mode == kSnapHunt) document->SelectLinesAtPoint(g_lineStart.x, g_lineStart.y);
    m_clickStep = 1;
    SetPrompt(kPromptLineEnd);
  }
  if (!m_construction) {
    SetGlitchValue(m_clickStep);
    ReportGlitch(2431, 1);
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_feedbackDrawn != 0) {
    DrawItem(m_construction.get(), kDrawXor);
    m_feedbackDrawn = 0;
  }
  if (mode != kSnapNone) {
    SnapPoint(mode);
  } else {
    const double dx = static_cast<double>(g_cursorPoint.x) - g_lineStart.x;
    const double dy = static_cast<double>(g_cursorPoint.y) - g_lineStart.y;
    double angle = dx == 0.0 && dy == 0.0 ? 0.0 : AngleOf(dy, dx);
    double length = g_lineLength;
    if (g_lineAngleSet != 0) {
      angle = ConstrainLineAngle(angle, g_lineAngle);
      if (g_lineLengthSet == 0) length = ProjectLineLength(angle, dx, dy);
    }
    const int moveX = TruncateToInt(std::cos(angle) * length);
    const int moveY = TruncateToInt(std::sin(angle) * length);
    g_snapPoint = {g_lineStart.x + moveX, g_lineStart.y + moveY};
    g_readoutMove = {moveX, moveY};
    g_readoutAngle = angle;
    g_readoutLength = length;
  }
  m_construction->SetEnd(g_snapPoint.x, g_snapPoint.y);
  if (mode != kSnapNone) {
    g_readoutMove = {g_snapPoint.x - g_lineStart.x, g_snapPoint.y - g_lineStart.y};
    g_readoutAngle = g_readoutMove.x == 0 && g_readoutMove.y == 0
                         ? 0.0
                         : AngleOf(g_readoutMove.y, g_readoutMove.x);
    g_readoutLength = VectorLength(g_readoutMove.x, g_readoutMove.y);
  }
  // The end point, the move from the start, the length and the angle.
  GetOwnerView().ShowMoveValues();
  if (m_clickStep >= 2) {
    ClearMarks();
    DrawItemPtr line = std::move(m_construction);
    const CDrawItem* added = line.get();
    if (document->AddItem(line) == 1) {
      DrawItem(added, kDrawOwnColour);
      g_lineStart = g_snapPoint;
    }
    line.reset();  // a refused line (a zero-length one) is destroyed
    m_clickStep = 0;
    ToggleLineStartMark(nullptr);
    SetPrompt(0);
  } else {
    if (GetMarkCount() == 0) ToggleLineStartMark(nullptr);
    DrawItem(m_construction.get(), kDrawXor);
    m_feedbackDrawn = 1;
  }
  trace.Exit();
}
