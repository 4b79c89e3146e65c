// The tools whose whole interactive part is choosing: Object (Identify and Name take one
// object at a time, Transfer chooses items to give another object, Hide marks whole objects to
// hide, Delete chooses whole objects to remove), Delete (chooses items, which flash while the
// option asks for it) and Colour (chooses items and gathers their colours for the values bar).
// What happens to the choice is the prompt's OK.
#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "support/log.h"

namespace {

constexpr int kStepReleased = 2;

}  // namespace

void CEditDrawing::ShowChoiceIfHidden() {
  if (GetSelectionShown() != 0) return;
  SetSelectionShown(1);
  SetAllSelected(1);
}

CDrawItem* CEditDrawing::NearestItemAtRelease() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return nullptr;
  return document->FindNearestItem(&GetMapping(), kPickAnyItem, nullptr, 0.0);
}

void CEditDrawing::ClickObjectIdentify() {
  LogScope trace(2470);
  bool released = false;
  CDrawItem* item = ObjectItemAtRelease(released);
  if (item == nullptr) {
    trace.Exit(released ? kLogHandled : kLogOk);
    return;
  }
  // An item of the object already shown is chosen: nothing changes.
  if (item->IsSelected() != 0) {
    const int object = item->GetObjectNumber();
    if (g_objectChosen != 0) GetOwnerView().SelectObjectInList(g_currentObject, 0);
    ChooseObject(object, 0);
    GetOwnerView().SelectObjectInList(object, 1);
  }
  trace.Exit();
}

void CEditDrawing::ClickObjectTransfer() {
  LogScope trace(2471);
  if (m_clickStep != kStepReleased) {
    trace.Exit();
    return;
  }
  m_clickStep = 0;
  ChooseAtRelease();
  if (m_chosenCount > 0) GetOwnerView().EnableOKButton(1);
  trace.Exit();
}

void CEditDrawing::ClickObjectHide() {
  LogScope trace(2472);
  GetOwnerView().ShowCursorPoint();
  if (m_clickStep != kStepReleased) {
    trace.Exit();
    return;
  }
  m_clickStep = 0;
  CDrawItem* item = NearestItemAtRelease();
  CZephDoc* document = GetDocument();
  if (item == nullptr || document == nullptr) {
    trace.Exit(kLogHandled);
    return;
  }
  // Here the dormant bit marks the items to hide; no choice display is involved.
  const bool wasHidden = item->IsSelected() != 0;
  const std::int16_t object = item->GetObjectNumber();
  {
    const CCrossHairsHidden hidden(*this);
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* other = document->GetItem(i);
      if (other->IsInvisible() != 0 || other->GetObjectNumber() != object) continue;
      if (wasHidden) {
        other->ClearSelected();
        DrawItem(other, kDrawOwnColour);
      } else {
        other->Select();
        DrawItem(other, kDrawHighlight);
      }
    }
  }
  GetOwnerView().SelectObjectInList(object, wasHidden ? 0 : 1);
  trace.Exit();
}

void CEditDrawing::ClickObjectDelete() {
  LogScope trace(2473);
  bool released = false;
  CDrawItem* item = ObjectItemAtRelease(released);
  if (item == nullptr) {
    trace.Exit(released ? kLogHandled : kLogOk);
    return;
  }
  const int object = item->GetObjectNumber();
  const int remove = item->IsSelected() != 0 ? 0 : 1;
  ChooseObject(object, remove);
  GetOwnerView().SelectObjectInList(object, remove != 0 ? 0 : 1);
  // The tick just set counts as much as the items chosen.
  EnableOkForChoice();
  trace.Exit();
}

void CEditDrawing::ClickDelete() {
  LogScope trace(2474);
  if (m_clickStep == 0) {
    ShowPromptText(kPromptDeleteRelease);
    m_clickStep = 1;
  }
  if (m_clickStep != kStepReleased) {
    trace.Exit();
    return;
  }
  const int hadChosen = m_chosenCount;
  ChooseAtRelease();
  UpdateDeleteFlash(hadChosen);
  ShowPromptText(0);
  m_clickStep = 0;
  trace.Exit();
}

void CEditDrawing::ClickColour() {
  LogScope trace(2475);
  if (m_clickStep != kStepReleased) {
    trace.Exit();
    return;
  }
  m_clickStep = 0;
  ChooseAtRelease();
  // Before the first choice every item has its dormant bit clear: their colours are not
  // chosen ones, and a new colour must not reach them.
  CZephDoc* document = GetDocument();
  if (document != nullptr && GetSelectionShown() != 0 &&
      document->CollectUsedColours(g_recolourCount, g_recolourColours) != 0) {
    GetOwnerView().DrawFieldValues();
  }
  trace.Exit();
}
