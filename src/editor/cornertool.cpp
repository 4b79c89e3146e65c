// The Corner tool rounds (fillet) or cuts (chamfer) the corner where two ungrouped lines
// meet. The press searches the corners, the release picks the nearest one; a size fixed on
// the values bar finishes at once, otherwise a second press and release size it by the
// cursor's distance from the corner. Everything the gesture changes is one undo group.
#include <algorithm>
#include <cmath>

#include "document/document.h"
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

constexpr int kMessageNoCorners = 64;
constexpr int kMessageFilletTooLarge = 65;
constexpr int kMessageChamferTooLarge = 66;
constexpr int kMessageTooManyItems = 68;

int BackgroundColourMode() { return static_cast<int>(g_backgroundColour & zeph::kColourMask); }

DrawingPoint RefPoint(const CZephDoc& document, const CItemRef& ref) {
  return {document.GetRefX(ref), document.GetRefY(ref)};
}

bool IsSinglePoint(const CDrawItem* line) {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  line->GetStart(x1, y1);
  line->GetEnd(x2, y2);
  return x1 == x2 && y1 == y2;
}

}  // namespace

void CEditDrawing::ToggleCornerFeedback() {
  DrawItem(m_construction.get(), kDrawXor);
  DrawItem(m_corner.line1, kDrawXor);
  DrawItem(m_corner.line2, kDrawXor);
}

void CEditDrawing::PlaceCornerEnds(double q) {
  CZephDoc* document = GetDocument();
  const DrawingPoint k = m_corner.point;
  const DrawingPoint s{k.x - RoundToInt(std::cos(m_corner.a1) * q),
                       k.y - RoundToInt(std::sin(m_corner.a1) * q)};
  const DrawingPoint e{k.x + RoundToInt(std::cos(m_corner.a2) * q),
                       k.y + RoundToInt(std::sin(m_corner.a2) * q)};
  m_construction->SetStart(s.x, s.y);
  document->SetRefPoint(m_corner.end1, s.x, s.y);
  m_construction->SetEnd(e.x, e.y);
  document->SetRefPoint(m_corner.end2, e.x, e.y);
  if (m_construction->GetType() == kItemArc) {
    if (m_corner.reversed != 0) m_construction->Reverse();
    m_construction->Recalculate();
  }
}

void CEditDrawing::FailCorner(int count) {
  if (GetDocument() != nullptr) GetDocument()->SetUndoGroup(0);
  ShowWarning(count == -2 ? kMessageTooManyItems : kMessageNoCorners);
  m_clickStep = 0;
  SetPrompt(0);
}

void CEditDrawing::FinishCorner() {
  CZephDoc* document = GetDocument();
  CDrawItem* line1 = m_corner.line1;
  CDrawItem* line2 = m_corner.line2;
  DrawItemPtr item = std::move(m_construction);
  const CDrawItem* added = item.get();
  if (document->AddItem(item) == 1) {
    // A corner as large as the shorter leg leaves that line a single point: it goes, in the
    // same undo step, rather than staying as a line nobody can see or pick.
    for (CDrawItem* line : {line1, line2}) {
      if (IsSinglePoint(line)) {
        if (line == line1) line1 = nullptr;
        if (line == line2) line2 = nullptr;
        document->RemoveItem(line);
      }
    }
    // In the drawing's order, the new item last, as a repaint would show them.
    if (line1 != nullptr) DrawItem(line1, kDrawOwnColour);
    if (line2 != nullptr) DrawItem(line2, kDrawOwnColour);
    DrawItem(added, kDrawOwnColour);
  } else {
    // Refused: the lines get their corner back, within the same undo group.
    item.reset();
    document->SetRefPoint(m_corner.end1, m_corner.point.x, m_corner.point.y);
    document->SetRefPoint(m_corner.end2, m_corner.point.x, m_corner.point.y);
    DrawItem(line1, kDrawOwnColour);
    DrawItem(line2, kDrawOwnColour);
  }
  m_corner.line1 = nullptr;
  m_corner.line2 = nullptr;
  m_clickStep = 0;
  SetPrompt(0);
  document->SetUndoGroup(0);
}

void CEditDrawing::ClickCorner() {
  LogScope trace(2460);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  if (m_clickStep == 0) {
    document->SetUndoGroup(1);
    m_feedbackDrawn = 0;
    m_clickStep = 1;
    m_corner = CornerGesture{};
    m_corner.count = document->FindCorners(&GetMapping(), 0);
    if (m_corner.count < 0) {
      trace.Exit(kLogHandled);
      return;
    }
    SetPrompt(kPromptCornerChoose);
  }
  if (m_corner.count < 0) {
    // No corner: the release says so and ends the gesture.
    if (m_clickStep == 2) FailCorner(m_corner.count);
    trace.Exit(kLogHandled);
    return;
  }
  ClearMarks();
  if (m_clickStep <= 2) {
    if (m_corner.count == 0) {
      GetOwnerView().ShowCursorPoint();
    } else {
      m_corner.end1 = document->GetNearestCorner();
      m_corner.point = RefPoint(*document, m_corner.end1);
      GetOwnerView().ShowPointValues(m_corner.point.x, m_corner.point.y, 0);
      if (m_clickStep < 2) DrawMark(m_corner.point.x, m_corner.point.y, nullptr, 1);
    }
  }
  const int chamfer = g_cornerSubMode == 1 ? 1 : 0;
  if (m_clickStep == 2) {
    if (m_corner.count == 0) {
      // The quick search declined a large drawing: the full one runs now, with a word first.
      HideCrossHairs();
      ShowPromptText(kPromptCornerScanning);
      m_corner.count = document->FindCorners(&GetMapping(), 1);
      if (m_corner.count < 0) {
        RestoreCrossHairs();
        FailCorner(m_corner.count);
        trace.Exit(kLogHandled);
        return;
      }
      m_corner.end1 = document->GetNearestCorner();
      m_corner.point = RefPoint(*document, m_corner.end1);
      RestoreCrossHairs();
    }
    m_corner.end2 = document->FindLineEndAt(m_corner.end1);
    m_corner.line1 = document->GetRefItem(m_corner.end1);
    m_corner.line2 = document->GetRefItem(m_corner.end2);
    if (m_corner.line1 == nullptr || m_corner.line2 == nullptr ||
        m_corner.line1 == m_corner.line2) {
      FailCorner(-1);
      trace.Exit(kLogInvalid);
      return;
    }
    DrawItemPtr item = CreateToolItem(chamfer != 0 ? kItemLine : kItemArc);
    if (!item) {
      m_clickStep = 0;
      SetPrompt(0);
      trace.Exit(kLogMemory);
      return;
    }
    item->SetColour(m_corner.line1->GetColour());
    item->SetObjectNumber(m_corner.line1->GetObjectNumber());
    item->SetPenWidth(1);
    if (chamfer != 0) item->SetLineStyle(m_corner.line1->GetLineStyle());

    const DrawingPoint k = m_corner.point;
    DrawingPoint p1;
    m_corner.line1->GetStart(p1.x, p1.y);
    if (p1.x == k.x && p1.y == k.y) m_corner.line1->GetEnd(p1.x, p1.y);
    DrawingPoint p2;
    m_corner.line2->GetStart(p2.x, p2.y);
    if (p2.x == k.x && p2.y == k.y) m_corner.line2->GetEnd(p2.x, p2.y);
    const double d1 = Hypot(static_cast<double>(k.x) - p1.x, static_cast<double>(k.y) - p1.y);
    const double d2 = Hypot(static_cast<double>(p2.x) - k.x, static_cast<double>(p2.y) - k.y);
    m_corner.a1 = std::atan2(static_cast<double>(k.y) - p1.y, static_cast<double>(k.x) - p1.x);
    m_corner.a2 = std::atan2(static_cast<double>(p2.y) - k.y, static_cast<double>(p2.x) - k.x);
    m_corner.shorter = std::min(d1, d2);
    double f = m_corner.a1 - m_corner.a2;
    m_corner.reversed = 0;
    if (f < 0.0) {
      f = -f;
    } else {
      m_corner.reversed = 1;
    }
    if (f > 2.0 * kPi) f -= 2.0 * kPi;
    if (f > kPi) {
      f = 2.0 * kPi - f;
      m_corner.reversed = static_cast<std::int16_t>(1 - m_corner.reversed);
    }
    if (chamfer == 0) item->SetAngle(f);
    m_corner.halfAngle = (kPi - f) / 2.0;
    m_construction = std::move(item);

    const bool fixed = chamfer != 0 ? g_chamferLengthSet != 0 : g_filletRadiusSet != 0;
    if (fixed) {
      const double q = chamfer != 0 ? g_chamferLength / std::sin(m_corner.halfAngle) / 2.0
                                    : g_filletRadius / std::tan(m_corner.halfAngle);
      // A size meant to use up the shorter leg exactly may come out a hair longer.
      if (!(q <= m_corner.shorter * (1.0 + 1e-9))) {
        SetPrompt(0);
        m_construction.reset();
        ShowWarning(chamfer != 0 ? kMessageChamferTooLarge : kMessageFilletTooLarge);
        m_clickStep = 0;
        document->SetUndoGroup(0);
        trace.Exit(kLogHandled);
        return;
      }
      DrawItem(m_corner.line1, BackgroundColourMode());
      DrawItem(m_corner.line2, BackgroundColourMode());
      PlaceCornerEnds(std::min(q, m_corner.shorter));
      FinishCorner();
      trace.Exit();
      return;
    }
    m_clickStep = 3;
    DrawItem(m_corner.line1, BackgroundColourMode());
    DrawItem(m_corner.line2, BackgroundColourMode());
    SetPrompt(kPromptPressDown);
  }
  if (m_clickStep >= 3 && m_clickStep <= 5 && m_construction) {
    if (m_feedbackDrawn != 0) {
      ToggleCornerFeedback();
      m_feedbackDrawn = 0;
    }
    const DrawingPoint k = m_corner.point;
    double q = std::min(Hypot(static_cast<double>(g_cursorPoint.x) - k.x,
                              static_cast<double>(g_cursorPoint.y) - k.y),
                        m_corner.shorter);
    if (q == 0.0) q = m_corner.shorter / 50.0;
    g_readoutLength = chamfer != 0 ? 2.0 * q * std::sin(m_corner.halfAngle)
                                   : std::tan(m_corner.halfAngle) * q;
    PlaceCornerEnds(q);
    if (m_clickStep == 4) ShowPromptText(kPromptCornerSize);
    GetOwnerView().ShowLiveLength();
    if (m_clickStep < 5) {
      ToggleCornerFeedback();
      m_feedbackDrawn = 1;
    } else {
      FinishCorner();
    }
  }
  trace.Exit();
}
