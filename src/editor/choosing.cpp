// Choosing items: while a tool chooses, every item is shown dormant and the chosen ones in
// their own colours. A grouped item (a shape) is always chosen with its whole group.
#include <algorithm>
#include <cmath>
#include <optional>

#include "document/document.h"
#include "document/itemref.h"
#include "document/undostep.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

constexpr int kMessageShapesProtected = 69;

}  // namespace

void CEditDrawing::SetAllSelected(int flag) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const CCrossHairsHidden hidden(*this);
  for (int i = 0; i < document->GetItemCount(); ++i) {
    CDrawItem* item = document->GetItem(i);
    if (item->IsInvisible() != 0) continue;
    item->SetSelected(flag);
    DrawItem(item, flag != 0 ? kDrawHighlight : kDrawOwnColour);
  }
}

void CEditDrawing::EndChoosing() {
  SetAllSelected(0);
  SetSelectionShown(0);
  m_chosenCount = 0;
}

int CEditDrawing::ToggleChosen(CDrawItem* item, int choose, int usePickList) {
  CZephDoc* document = GetDocument();
  if (item == nullptr || document == nullptr || item->IsInvisible() != 0) return 1;
  const int group = item->GetGroupNumber();
  std::vector<CDrawItem*> members;
  if (group != 0) {
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* other = document->GetItem(i);
      if (other->IsInvisible() == 0 && other->GetGroupNumber() == group) members.push_back(other);
    }
  } else {
    members.push_back(item);
  }
  for (CDrawItem* member : members) {
    const bool dormant = member->IsSelected() != 0;
    if (choose != 0 && dormant) {
      if (usePickList != 0) {
        try {
          m_pickList.push_back(member);
        } catch (const std::bad_alloc&) {
          return 0;
        }
      } else {
        ++m_chosenCount;
      }
      member->ClearSelected();
      DrawItem(member, kDrawOwnColour);
    } else if (choose == 0 && !dormant) {
      if (usePickList != 0) {
        const auto found = std::find(m_pickList.begin(), m_pickList.end(), member);
        if (found == m_pickList.end()) {
          // The editor's lists disagree with the drawing: leave both as they are.
          if (group != 0) {
            SetGlitchValue(document->FindItem(member));
            SetGlitchValue(static_cast<int>(m_pickList.size()));
          }
          ReportGlitch(2424, group != 0 ? 2 : 1);
          continue;
        }
        m_pickList.erase(found);
      } else {
        --m_chosenCount;
      }
      member->Select();
      DrawItem(member, kDrawHighlight);
    }
  }
  return 1;
}

int CEditDrawing::AddToPickList(CDrawItem* item) {
  CZephDoc* document = GetDocument();
  if (item == nullptr || document == nullptr || item->IsInvisible() != 0) return 1;
  try {
    const int group = item->GetGroupNumber();
    if (group == 0) {
      m_pickList.push_back(item);
      return 1;
    }
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* other = document->GetItem(i);
      if (other->IsInvisible() != 0 || other->GetGroupNumber() != group) continue;
      other->ClearSelected();
      m_pickList.push_back(other);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CEditDrawing::CountVisibleChosen() const {
  const CZephDoc* document = GetDocument();
  if (document == nullptr || GetSelectionShown() == 0) return 0;
  int count = 0;
  for (int i = 0; i < document->GetItemCount(); ++i) {
    const CDrawItem* item = document->GetItem(i);
    if (item->IsInvisible() == 0 && item->IsSelected() == 0) ++count;
  }
  return count;
}

void CEditDrawing::EnableOkForChoice() {
  int enable = m_chosenCount != 0 ? 1 : 0;
  if (g_toolState == kStateObjectDelete && GetDocument() != nullptr &&
      GetDocument()->CountTickedObjects() > 0) {
    enable = 1;
  }
  GetOwnerView().EnableOKButton(enable);
}

void CEditDrawing::ChooseObject(int objectNumber, int remove) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const int hadChosen = m_chosenCount;
  const bool textsTakePart = g_currentTool != kToolReflect && g_currentTool != kToolStretch;
  const auto takesPart = [&](const CDrawItem* item) {
    if (item->IsInvisible() != 0 || item->GetObjectNumber() != objectNumber) return false;
    if (!textsTakePart && item->GetType() == kItemText) return false;
    if (g_currentTool == kToolStretch && item->GetGroupNumber() != 0) {
      if (remove == 0 && g_stretchWarningArmed != 0) {
        g_stretchWarningArmed = 0;
        ShowWarning(kMessageShapesProtected);
      }
      return false;
    }
    return true;
  };
  auto hidden = std::make_optional<CCrossHairsHidden>(*this);
  if (g_toolState == kStateObjectHide || GetSelectionShown() != 0 || remove != 0) {
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() != 0) continue;
      const bool ofObject = item->GetObjectNumber() == objectNumber;
      if (g_toolState == kStateObjectIdentify && remove == 0 && !ofObject &&
          item->IsSelected() == 0) {
        // Identify and Name hold one object at a time.
        item->Select();
        --m_chosenCount;
        DrawItem(item, kDrawHighlight);
        continue;
      }
      if (!takesPart(item)) continue;
      if (remove == 0 && item->IsSelected() != 0) {
        item->ClearSelected();
        ++m_chosenCount;
        DrawItem(item, kDrawOwnColour);
      } else if (remove != 0 && item->IsSelected() == 0) {
        item->Select();
        --m_chosenCount;
        DrawItem(item, kDrawHighlight);
      }
    }
  } else {
    m_chosenCount = 0;
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() != 0) continue;
      if (takesPart(item)) {
        item->ClearSelected();
        ++m_chosenCount;
        DrawItem(item, kDrawOwnColour);
      } else {
        item->Select();
        DrawItem(item, kDrawHighlight);
      }
    }
    SetSelectionShown(1);
  }
  m_chosenCount = std::max(m_chosenCount, 0);
  hidden.reset();
  if (g_toolState == kStateObjectIdentify) {
    if (remove == 0) {
      g_currentObject = static_cast<std::int16_t>(objectNumber);
      g_objectChosen = 1;
      GetOwnerView().DrawFieldValues();
    }
    return;
  }
  if (g_currentTool == kToolColour) {
    if (document->CollectUsedColours(g_recolourCount, g_recolourColours) != 0) {
      GetOwnerView().DrawFieldValues();
    }
    return;
  }
  if (g_currentTool == kToolDelete) {
    // Objects ticked in the list flash as clicked items do.
    UpdateDeleteFlash(hadChosen);
    return;
  }
  EnableOkForChoice();
}

void CEditDrawing::ResyncChoice() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const auto keepListed = [document](std::vector<CDrawItem*>& list) {
    std::erase_if(list, [document](CDrawItem* item) { return document->IsListed(item) == 0; });
  };
  const auto rebuildGrips = [this]() {
    ClearGrips();
    if (GetSelectionShown() != 0) ShowGripsOfActive();
  };
  bool recount = false;
  bool enableOk = false;
  bool listsTouched = true;
  switch (g_currentTool) {
    case kToolCopy:
      if (g_copyPlacing != 0) {
        // While placing, Copy counts the items it copies, not what the screen shows chosen.
        keepListed(m_copyList);
        m_chosenCount = static_cast<int>(m_copyList.size());
        rebuildGrips();
      } else {
        recount = true;
        enableOk = true;
      }
      break;
    case kToolMove:
      if (g_toolSubMode == 0 || g_toolSubMode == 1) {
        if (g_moveDragging != 0) {
          keepListed(m_pickList);
          // The step undone or redone may be a drag: the next drag's read-out starts afresh.
          ResetMoveOffset();
          SetPrompt(m_promptId);
          rebuildGrips();
        } else if (g_toolSubMode == 1) {
          recount = true;
          enableOk = true;
        } else {
          listsTouched = false;
        }
      } else {
        listsTouched = false;
      }
      break;
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
    case kToolDelete:
      recount = true;
      enableOk = true;
      break;
    case kToolObject:
      if (g_objectSubMode == 2) {
        recount = true;
        enableOk = true;
      } else {
        listsTouched = false;
      }
      break;
    default:
      if (g_toolState == kStateModifyWaiting || g_toolState == kStateCurveHandles ||
          g_toolState == kStateDimensionPicked) {
        keepListed(m_pickList);
        if (m_pickList.size() > 1) m_pickList.resize(1);
        if (g_toolState != kStateModifyWaiting && m_pickList.empty()) {
          g_toolState = kStateModifyWaiting;
          SetPrompt(m_promptId);
        }
      } else {
        listsTouched = false;
      }
      break;
  }
  if (!listsTouched) return;
  // The step may have added, removed or renamed objects.
  if (GetOwnerView().IsObjectListShown() != 0) GetOwnerView().ShowObjectList(1);
  if (!recount) return;
  m_chosenCount = CountVisibleChosen();
  if (enableOk) GetOwnerView().EnableOKButton(m_chosenCount != 0 ? 1 : 0);
}

bool CEditDrawing::ShowsChoosingDisplay() const {
  switch (g_currentTool) {
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
    case kToolDelete:
    case kToolModify:
    case kToolValues:
      return true;
    case kToolMove:
      return g_toolSubMode == 1 && g_moveDragging == 0;
    case kToolCopy:
      return g_copyPlacing == 0;
    default:
      return false;
  }
}

void CEditDrawing::DrawItemsFrom(int first, int hideCrossHairs) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const bool hide = hideCrossHairs != 0 && AreCrossHairsShown() != 0;
  if (hide) HideCrossHairs();
  const bool dormantShown = GetSelectionShown() != 0 && ShowsChoosingDisplay();
  {
    CClientDC dc(*this);
    for (int i = std::max(first, 0); i < document->GetItemCount(); ++i) {
      const CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() != 0) continue;
      const int mode = dormantShown && item->IsSelected() != 0 ? kDrawHighlight : kDrawOwnColour;
      item->Draw(&dc.get(), &GetMapping(), mode, 0);
    }
  }
  if (hide) RestoreCrossHairs();
}

void CEditDrawing::RecolourChosen(int colour) {
  CZephDoc* document = GetDocument();
  // Before the first choice no item is chosen, though none carries the dormant bit either.
  if (document == nullptr || GetSelectionShown() == 0) return;
  {
    const CUndoStep step(document);
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() != 0 || item->IsSelected() != 0) continue;
      item->SetColour(colour);
      DrawItem(item, kDrawOwnColour);
    }
  }
  EndChoosing();
  GetOwnerView().ShowObjectList(1);
  g_recolourCount = 0;
}

void CEditDrawing::RecolourPicked(int colour) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const CUndoStep step(document);
  for (CDrawItem* item : m_pickList) {
    item->SetColour(colour);
    DrawItem(item, kDrawOwnColour);
  }
}

void CEditDrawing::RepeatCopy() {
  LogScope trace(2408);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  if (g_copyDistanceSet == 0 || g_copyAngleSet == 0) {
    SetGlitchValue(g_copyDistanceSet);
    SetGlitchValue(g_copyAngleSet);
    ReportGlitch(2408, 1);
    return;
  }
  const int dx = TruncateToInt(std::cos(g_copyAngle) * g_copyDistance);
  const int dy = TruncateToInt(std::sin(g_copyAngle) * g_copyDistance);
  // The sources are taken before the first copy is added: the copies join the list (and the
  // document may move fills) while the copying goes on.
  std::vector<CDrawItem*> sources;
  try {
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() == 0 && item->IsSelected() == 0) sources.push_back(item);
    }
  } catch (const std::bad_alloc&) {
    ShowWarning(224);
    trace.Exit(kLogMemory);
    return;
  }
  if (static_cast<int>(sources.size()) != m_chosenCount) {
    SetGlitchValue(static_cast<int>(sources.size()));
    SetGlitchValue(m_chosenCount);
    ReportGlitch(2408, 1);
  }
  if (sources.empty()) return trace.Exit();
  const int repeat = g_actionCount;
  HideCrossHairs();
  CUndoStep step(document);
  document->SetGroupRemapping(1);
  document->PrepareCopyNumbers(g_makeNewObject != 0 ? repeat : 0);
  bool stopped = false;
  bool outOfMemory = false;
  for (CDrawItem* source : sources) {
    for (int j = 0; j < repeat && !stopped; ++j) {
      DrawItemPtr copy;
      try {
        copy = CreateItem(source->GetType());
      } catch (const std::bad_alloc&) {
        copy.reset();
      }
      if (!copy) {
        outOfMemory = true;
        stopped = true;
        break;
      }
      copy->Select();
      copy->CopyFrom(source);
      copy->MoveBy((j + 1) * dx, (j + 1) * dy);
      if (g_makeNewObject != 0) {
        copy->SetObjectNumber(
            static_cast<std::int16_t>(document->GetCopyObjectNumber(source->GetObjectNumber(), j)));
      }
      const CDrawItem* added = copy.get();
      const int result = document->AddItem(copy);
      if (result == 1) {
        DrawItem(added, kDrawHighlight);
      } else if (result < 0) {
        // The list is full or the user declined to go on without undo: no further copies.
        stopped = true;
      }
    }
    DrawItem(source, kDrawHighlight);
    source->Select();
    if (stopped) break;
  }
  if (g_makeNewObject != 0 && !outOfMemory) document->NameCopiedObjects(1);
  document->SetGroupRemapping(0);
  step.Close();
  RestoreCrossHairs();
  if (outOfMemory) {
    ShowWarning(224);
    trace.Exit(kLogMemory);
    return;
  }
  trace.Exit();
}

void CEditDrawing::RefreshHiddenObjects(int draw) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const CCrossHairsHidden hidden(*this);
  if (g_toolState == kStateObjectHide) {
    // Choosing what to hide: hidden items show as dormant, the others as chosen.
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      item->ClearInvisible();
      if (item->IsHidden() != 0) {
        item->ClearHidden();
        item->Select();
        if (draw != 0) DrawItem(item, kDrawHighlight);
      } else {
        item->ClearSelected();
        if (draw != 0) DrawItem(item, kDrawOwnColour);
      }
    }
    return;
  }
  const bool dormant = GetSelectionShown() != 0 && g_toolState != kStateIdle;
  g_hiddenObjectsExist = 0;
  for (int i = 0; i < document->GetItemCount(); ++i) {
    CDrawItem* item = document->GetItem(i);
    if (item->IsHidden() != 0) g_hiddenObjectsExist = 1;
    if (item->IsHidden() == 0 || g_showHiddenObjects != 0) {
      item->ClearInvisible();
      if (dormant) item->Select();
    } else if (item->IsInvisible() == 0) {
      item->SetInvisible();
      if (draw != 0) DrawItem(item, static_cast<int>(g_colourTable[15] & zeph::kColourMask));
    }
  }
  if (draw != 0) {
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() == 0) DrawItem(item, dormant ? kDrawHighlight : kDrawOwnColour);
    }
  }
}

int CEditDrawing::PickItemsOfPoints() {
  LogScope trace(2427);
  CZephDoc* document = GetDocument();
  if (document == nullptr) return trace.Return(0, kLogInvalid);
  const CItemRefList& points = document->GetSelectedPoints();
  try {
    m_pickList.clear();
    m_pickList.reserve(std::size_t{2} * points.GetCount());
    for (std::uint16_t i = 0; i < points.GetCount(); ++i) {
      CDrawItem* item = document->GetRefItem(points.GetAt(i));
      if (item == nullptr) continue;
      if (std::find(m_pickList.begin(), m_pickList.end(), item) == m_pickList.end()) {
        m_pickList.push_back(item);
      }
    }
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory);
  }
  return trace.Return(1);
}

void CEditDrawing::ShowGripsOfList(const std::vector<CDrawItem*>& items) {
  LogScope trace(2426);
  CClientDC dc(*this);
  for (const CDrawItem* item : items) {
    if (item == nullptr) continue;
    for (int h = 0; h < item->GetHandleCount(); ++h) {
      AddGripIfNew(*dc, item->GetHandleX(h), item->GetHandleY(h));
    }
  }
  trace.Exit();
}

bool CEditDrawing::MayChoose(const CDrawItem& item) const {
  const bool mirrorOrStretch = g_currentTool == kToolReflect || g_currentTool == kToolStretch;
  if (mirrorOrStretch && item.GetType() == kItemText) return false;
  return g_currentTool != kToolStretch || item.GetGroupNumber() == 0;
}

void CEditDrawing::ChooseAtRelease() {
  LogScope trace(2449);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  // The rows of the objects whose items changed, each refreshed once.
  std::vector<int> rows;
  const auto noteRow = [&rows](const CDrawItem& item) {
    const int object = item.GetObjectNumber();
    if (std::find(rows.begin(), rows.end(), object) == rows.end()) rows.push_back(object);
  };
  const auto showChoice = [this]() {
    if (GetSelectionShown() != 0) return;
    SetSelectionShown(1);
    SetAllSelected(1);
  };
  auto hidden = std::make_optional<CCrossHairsHidden>(*this);
  if (IsRubberBandVisible() != 0) {
    const zeph::DcRect band = GetRubberBandRect();
    const int remove = m_shiftAtRelease;
    // The items inside are taken first: choosing redraws and may bring in whole groups.
    std::vector<CDrawItem*> inside;
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsInvisible() == 0 && MayChoose(*item) && item->IsInRect(band, &GetMapping()) != 0) {
        inside.push_back(item);
      }
    }
    if (!inside.empty() && remove == 0) showChoice();
    if (GetSelectionShown() != 0) {
      for (CDrawItem* item : inside) {
        ToggleChosen(item, remove == 0 ? 1 : 0, 0);
        noteRow(*item);
      }
    }
    // The band was taken off the screen at the release.
    SetRubberBandVisible(0);
  } else {
    const int filter = g_currentTool == kToolReflect || g_currentTool == kToolStretch
                           ? kPickNoTexts
                           : kPickAnyItem;
    CDrawItem* item = document->FindNearestItem(&GetMapping(), filter, nullptr, 0.0);
    if (item != nullptr && !MayChoose(*item)) {
      // Shapes cannot be stretched: said once after Stretch was chosen.
      if (g_stretchWarningArmed != 0) {
        g_stretchWarningArmed = 0;
        ShowWarning(kMessageShapesProtected);
      }
      item = nullptr;
    }
    if (item != nullptr) {
      showChoice();
      ToggleChosen(item, item->IsSelected() != 0 ? 1 : 0, 0);
      noteRow(*item);
    }
  }
  m_chosenCount = std::max(m_chosenCount, 0);
  hidden.reset();
  for (const int object : rows) GetOwnerView().UpdateObjectListRow(object);
  GetOwnerView().UpdateObjectListTicks();
  trace.Exit();
}
