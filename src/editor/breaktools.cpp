// Three single-click tools: Break cuts a line or curve at its crossings and offers the pieces
// one by one for keeping (the answers come through the prompt's Yes, No and Cancel), Extend
// lengthens a line from its nearest end to the next item it meets, and Origin sets the point
// the values bar measures its x and y read-outs from.
#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kMessageShapeProtected = 70;
constexpr int kMessageNothingAhead = 72;

}  // namespace

void CEditDrawing::ClickBreak() {
  LogScope trace(2462);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 0) {
    if (m_breakPieceIndex < 0) SetPrompt(kPromptBreak);
    m_clickStep = 1;
  }
  if (m_clickStep < 2) {
    trace.Exit();
    return;
  }
  m_clickStep = 0;
  // A click while the pieces are being offered waits for the answers.
  if (m_breakPieceIndex >= 0) {
    trace.Exit(kLogHandled);
    return;
  }
  CDrawItem* item = document->FindNearestItem(&GetMapping(), kPickCurves, nullptr, 0.0);
  if (item == nullptr) {
    SetPrompt(0);
    trace.Exit(kLogHandled);
    return;
  }
  if (item->GetGroupNumber() != 0) {
    ShowWarning(kMessageShapeProtected);
    trace.Exit(kLogHandled);
    return;
  }
  SetPrompt(0);
  ShowWaitCursor();
  document->SplitItemAtCrossings(item);
  HideWaitCursor();
  if (g_splitCount > 1) {
    HideCursorFeedback();
    {
      CCrossHairsHidden hidden(*this);
      DrawItem(item, static_cast<int>(g_backgroundColour & zeph::kColourMask));
    }
    SetBreakOffer(item, 0);
    SetBreakFlashPhase(1);
    StartTimer(kTimerFlashBreak, 1);
    GetOwnerView().ResetValuesBarScroll();
    GetOwnerView().ShowBreakButtons();
  }
  trace.Exit();
}

void CEditDrawing::ClickExtend() {
  LogScope trace(2463);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 0) {
    m_clickStep = 1;
    GetOwnerView().ResetValuesBarScroll();
    if (m_breakPieceIndex < 0) SetPrompt(kPromptExtend);
  }
  if (m_clickStep >= 2) {
    SetPrompt(0);
    m_clickStep = 0;
    const CItemRef end = document->FindNearestPoint(&GetMapping(), kPointLinesOnly, 1);
    if (end.IsInvalid() != 0) {
      trace.Exit(kLogHandled);
      return;
    }
    if (document->ExtendLineEnd(end) == 1) {
      HideCursorFeedback();
      DrawItem(document->GetRefItem(end), kDrawOwnColour);
    } else {
      ShowWarning(kMessageNothingAhead);
    }
  }
  GetOwnerView().ShowCursorPoint();
  trace.Exit();
}

void CEditDrawing::ClickOrigin() {
  LogScope trace(2464);
  SetSnapDistance();
  // While the origin is chosen the read-outs show drawing coordinates.
  g_readoutOrigin = {};
  if (m_clickStep == 0) {
    m_clickStep = 1;
    SetPrompt(kPromptOrigin);
  }
  ClearMarks();
  SnapPoint(g_snapMode);
  if (m_clickStep < 2) {
    ShowSnapPointValues(0);
    DrawMark(g_snapPoint.x, g_snapPoint.y, nullptr, 1);
  } else {
    g_readoutOrigin = g_snapPoint;
    g_snapPoint = g_cursorPoint;
    SetPrompt(0);
    ShowSnapPointValues(0);
    m_clickStep = 0;
  }
  trace.Exit();
}
