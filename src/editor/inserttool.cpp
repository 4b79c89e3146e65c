// The Insert tool places the selected symbol: while the button is held the symbol's own items
// follow the snap point in exclusive-or; the release adds copies of them to the drawing as one
// undo step and puts the symbol's items back where they are stored.
#include "document/document.h"
#include "document/undostep.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/geometry.h"
#include "support/log.h"

namespace {

// Adds a copy of the symbol's item to the drawing: 1 when added. Its group comes from the
// drawing's remapping: the symbol's own numbers mean nothing in the drawing, and a copy made
// by the symbol document would keep them, so that two insertions would share one group.
int AddSymbolCopy(CZephDoc& document, const CDrawItem& item) {
  DrawItemPtr copy = document.CopyItem(&item);
  if (!copy) return 0;
  copy->SetGroupNumber(document.MapGroupNumber(item.GetGroupNumber()));
  return document.AddItem(copy) == 1 ? 1 : 0;
}

}  // namespace

void CEditDrawing::RestoreSymbolPlace() {
  const DrawingPoint moved = m_symbolDisplacement;
  m_symbolDisplacement = {};
  if (g_symbolDoc == nullptr || (moved.x == 0 && moved.y == 0)) return;
  for (int i = 0; i < g_symbolDoc->GetItemCount(); ++i) {
    g_symbolDoc->GetItem(i)->MoveBy(-moved.x, -moved.y);
  }
}

void CEditDrawing::ClickInsert() {
  LogScope trace(2461);
  CZephDoc* document = GetDocument();
  if (document == nullptr || g_symbolDoc == nullptr) {
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  // Taken off the screen where it was drawn, before a press after a lost release puts the
  // symbol back in its place.
  if (m_feedbackDrawn != 0) {
    CCrossHairsHidden hidden(*this);
    ClearGrips();
    // From the last to the first, the reverse of their drawing.
    for (int i = g_symbolDoc->GetItemCount() - 1; i >= 0; --i) {
      DrawItem(g_symbolDoc->GetItem(i), kDrawXor);
    }
    m_feedbackDrawn = 0;
  }
  if (m_clickStep == 0) {
    // A drag that never reached its release left the symbol moved: it starts from its own
    // place again.
    RestoreSymbolPlace();
    m_clickStep = 1;
    SetPrompt(kPromptInsert);
  }
  if (m_clickStep <= 1) {
    SnapPoint(g_snapMode);
    ShowSnapPointValues(0);
    const int dx = g_snapPoint.x - m_symbolDisplacement.x;
    const int dy = g_snapPoint.y - m_symbolDisplacement.y;
    CCrossHairsHidden hidden(*this);
    for (int i = 0; i < g_symbolDoc->GetItemCount(); ++i) {
      CDrawItem* item = g_symbolDoc->GetItem(i);
      item->MoveBy(dx, dy);
      DrawItem(item, kDrawXor);
    }
    m_symbolDisplacement = g_snapPoint;
    SetOnlyGrip(m_symbolDisplacement.x, m_symbolDisplacement.y);
    m_feedbackDrawn = 1;
    trace.Exit();
    return;
  }
  // The release: one undo step, each group of the symbol a fresh group of the drawing.
  CUndoStep step(document);
  {
    CCrossHairsHidden hidden(*this);
    document->SetGroupRemapping(1);
    int failed = 0;
    for (int i = 0; i < g_symbolDoc->GetItemCount() && failed == 0; ++i) {
      CDrawItem* item = g_symbolDoc->GetItem(i);
      item->SetObjectNumber(g_currentObject);
      if (AddSymbolCopy(*document, *item) == 1) {
        // The copy stands where the symbol's item stands now and looks the same.
        DrawItem(item, kDrawOwnColour);
      } else {
        failed = 1;
      }
    }
    document->SetGroupRemapping(0);
    RestoreSymbolPlace();
  }
  m_clickStep = 0;
  SetPrompt(0);
  step.Close();
  trace.Exit();
}
