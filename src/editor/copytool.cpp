// The Copy tool: the release chooses items until the prompt's OK; after it every
// press-drag-release places a row of copies of the chosen items, copy k at (k + 1) times the
// dragged offset. While they are dragged the copies belong to the editor (the pick list holds
// them); the release hands them to the document as one undo step.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

#include "document/document.h"
#include "document/undostep.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogCopy = 2457;

// How far a copy may be taken from the item it copies. Far beyond the drawing's limits, so
// the document refuses such a copy, yet small enough that its coordinates stay exact while it
// is dragged out and back again.
constexpr std::int64_t kFarthestOffset = 1'000'000'000;

// Copy k's offset from its item for a drag of (dx, dy).
DrawingPoint CopyOffset(int k, std::int64_t dx, std::int64_t dy) {
  const auto limit = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp(v, -kFarthestOffset, kFarthestOffset));
  };
  return {limit((k + 1) * dx), limit((k + 1) * dy)};
}

}  // namespace

void CEditDrawing::ClickCopy() {
  LogScope trace(kLogCopy);
  CZephDoc* document = GestureDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  if (g_copyPlacing == 0) {
    if (ClickPhaseOf(m_clickStep) == kPhaseReleased) {
      ChooseAtRelease();
      EnableOkForChoice();
      m_clickStep = 0;
    }
    trace.Exit();
    return;
  }
  if (g_copyPlacing != 1) {
    SetGlitchValue(g_copyPlacing);
    ReportGlitch(kLogCopy, 2);
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  // Whatever is on the screen goes first, also what a drag that lost its release left there.
  if (m_feedbackDrawn != 0) EraseCopyFeedback();

  if (m_clickStep == 0) {
    // Copies still held here come from a drag whose release never arrived: they are dropped,
    // never placed.
    DiscardCopies();
    if (GetCopyCount() == 0) {
      ReportGlitch(kLogCopy, 1);
      trace.Exit(kLogInvalid);
      return;
    }
    if (MakeCopies() == 0) {
      trace.Exit(kLogMemory);
      return;
    }
    m_feedbackDrawn = 0;
    int x = g_cursorPoint.x;
    int y = g_cursorPoint.y;
    FindNearestGrip(x, y);
    m_copyReference = {x, y};
    m_copyLast = m_copyReference;
    m_clickStep = 1;
    trace.Exit();
    return;
  }
  if (m_pickList.empty()) {
    // Nothing to place in this gesture (the copies could not be made).
    if (ClickPhaseOf(m_clickStep) == kPhaseReleased) m_clickStep = 0;
    trace.Exit();
    return;
  }
  if (ClickPhaseOf(m_clickStep) == kPhaseReleased) {
    PlaceCopies();
    m_clickStep = 0;
    trace.Exit();
    return;
  }

  int mode = g_snapMode;
  if (mode == kSnapNone && g_copyAngleSet == 0 && g_copyDistanceSet == 0) mode = kSnapHunt;
  const DrawingPoint r = m_copyReference;
  if (mode != kSnapNone) {
    SnapPoint(mode);
    g_readoutMove = {g_snapPoint.x - r.x, g_snapPoint.y - r.y};
    g_readoutLength = VectorLength(g_readoutMove.x, g_readoutMove.y);
    g_readoutAngle = g_readoutMove.x == 0 && g_readoutMove.y == 0
                         ? 0.0
                         : AngleOf(g_readoutMove.y, g_readoutMove.x);
  } else {
    const double dx = static_cast<double>(g_cursorPoint.x) - r.x;
    const double dy = static_cast<double>(g_cursorPoint.y) - r.y;
    const double a = dx == 0.0 && dy == 0.0 ? 0.0 : AngleOf(dy, dx);
    double length = 0.0;
    double angle = a;
    // With both set the angle wins: the cursor is projected onto it.
    if (g_copyAngleSet != 0) {
      length = Hypot(dx, dy) * std::cos(a - g_copyAngle);
      angle = g_copyAngle;
      if (length < 0.0) {
        length = -length;
        angle += std::numbers::pi;
      }
    } else {
      length = g_copyDistance;
    }
    const int moveX = TruncateToInt(std::cos(angle) * length);
    const int moveY = TruncateToInt(std::sin(angle) * length);
    g_snapPoint = {ClampInt64ToInt(std::int64_t{r.x} + moveX),
                   ClampInt64ToInt(std::int64_t{r.y} + moveY)};
    g_readoutMove = {moveX, moveY};
    g_readoutLength = length;
    g_readoutAngle = NormaliseAngle(angle, 0);
  }
  GetOwnerView().ShowMoveValues();
  DragCopies(g_snapPoint);
  trace.Exit();
}

int CEditDrawing::MakeCopies() {
  CZephDoc* document = GetDocument();
  const int repeat = g_actionCount;
  const auto fail = [&]() {
    DiscardCopies();
    m_copyRepeat = 0;
    document->SetUndoGroup(0);
    ShowWarning(kIdsNotEnoughMemory);
    return 0;
  };
  try {
    m_pickList.reserve(static_cast<std::size_t>(repeat) * m_copyList.size());
  } catch (const std::bad_alloc&) {
    return fail();
  }
  m_copyRepeat = static_cast<std::uint16_t>(repeat);
  // Every shape copied gets fresh group numbers of its own, one set per copy.
  document->SetGroupRemapping(1);
  document->PrepareCopyNumbers(g_makeNewObject != 0 ? repeat : 0);
  bool failed = false;
  for (const CDrawItem* source : m_copyList) {
    for (int k = 0; k < repeat && !failed; ++k) {
      DrawItemPtr copy = CreateItem(source->GetType());
      if (!copy) {
        failed = true;
        break;
      }
      copy->CopyFrom(source);
      if (g_makeNewObject != 0) {
        copy->SetObjectNumber(
            static_cast<std::int16_t>(document->GetCopyObjectNumber(source->GetObjectNumber(), k)));
      }
      m_pickList.push_back(copy.release());  // room was made above
    }
    if (failed) break;
  }
  document->SetGroupRemapping(0);
  return failed ? fail() : 1;
}

void CEditDrawing::DiscardCopies() {
  for (CDrawItem*& copy : m_pickList) delete std::exchange(copy, nullptr);
  m_pickList.clear();
}

void CEditDrawing::EraseCopyFeedback() {
  const CCrossHairsHidden hidden(*this);
  DrawGrip(m_copyLast.x, m_copyLast.y, nullptr, 1);
  for (const CDrawItem* copy : m_pickList) DrawItem(copy, kDrawXor);
  m_feedbackDrawn = 0;
}

void CEditDrawing::DragCopies(DrawingPoint snap) {
  const int repeat = std::max<int>(m_copyRepeat, 1);
  const int expected = GetCopyCount() * repeat;
  if (GetPickCount() < expected) {
    SetGlitchValue(GetPickCount());
    SetGlitchValue(expected);
    ReportGlitch(kLogCopy, 3);
  }
  const std::int64_t fromX = std::int64_t{m_copyLast.x} - m_copyReference.x;
  const std::int64_t fromY = std::int64_t{m_copyLast.y} - m_copyReference.y;
  const std::int64_t toX = std::int64_t{snap.x} - m_copyReference.x;
  const std::int64_t toY = std::int64_t{snap.y} - m_copyReference.y;
  for (int j = 0; j < GetPickCount(); ++j) {
    CDrawItem* copy = m_pickList[static_cast<std::size_t>(j)];
    const int k = j % repeat;
    const DrawingPoint from = CopyOffset(k, fromX, fromY);
    const DrawingPoint to = CopyOffset(k, toX, toY);
    copy->MoveBy(to.x - from.x, to.y - from.y);
    DrawItem(copy, kDrawXor);
  }
  m_copyLast = snap;
  DrawGrip(m_copyLast.x, m_copyLast.y, nullptr, 1);
  m_feedbackDrawn = 1;
}

void CEditDrawing::PlaceCopies() {
  CZephDoc* document = GetDocument();
  const CCrossHairsHidden hidden(*this);
  CUndoStep step(document);
  // The copies may land on grips: the grips leave the screen while the copies are drawn.
  const auto toggleGrips = [this]() {
    CClientDC dc(*this);
    DrawGrips(*dc);
  };
  toggleGrips();
  int result = 0;
  bool refused = false;
  for (CDrawItem*& entry : m_pickList) {
    DrawItemPtr copy(std::exchange(entry, nullptr));
    // Once the document refuses further items the rest are destroyed without asking.
    if (refused) continue;
    const CDrawItem* added = copy.get();
    result = document->AddItem(copy);
    if (result == 1) {
      DrawItem(added, kDrawOwnColour);
    } else if (result < 0) {
      refused = true;
    }
  }
  m_pickList.clear();
  toggleGrips();
  if (g_makeNewObject != 0 && result == 1) document->NameCopiedObjects(1);
  if (m_copyRepeat > 1) GetOwnerView().ResetValuesBarScroll();
  m_copyRepeat = 0;
  // A user who declined to go on without undo has the whole placing taken back by the
  // document, off the screen too.
  const CUndoJournal& journal = document->GetJournal();
  const bool takenBack = journal.groupStatus == -1 && journal.groupState == 2;
  step.Close();
  if (takenBack) Invalidate();
}
