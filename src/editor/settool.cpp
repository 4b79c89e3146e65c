// Choosing a tool: what the old tool leaves is tidied, the new tool starts in its first state
// and the editing view shows its caption, prompt and object list.
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/valuefields.h"
#include "support/log.h"
#include "support/options.h"

void CEditDrawing::SetPrompt(int stringId) {
  m_promptId = stringId;
  GetOwnerView().SetPromptText(stringId);
  GetOwnerView().ResetValuesBarScroll();
}

void CEditDrawing::ShowPromptText(int stringId) { GetOwnerView().SetPromptText(stringId); }

void CEditDrawing::ArmTransformTool(int countIndex) {
  if (g_transformOptionsRead == 0) {
    g_keepOriginals = GetOptionFlag(kOptionTransformKeepOriginal);
    g_makeNewObject = GetOptionFlag(kOptionTransformNewObject);
    g_transformOptionsRead = 1;
  }
  const int remembered =
      countIndex >= 0 ? g_toolActionCounts[static_cast<std::size_t>(countIndex)] : 0;
  g_actionCount = static_cast<std::uint16_t>(remembered > 0 ? remembered : 1);
}

int CEditDrawing::SetTool(int tool, int subMode) {
  LogScope trace(2425);
  LogNumber(tool);
  LogNumber(subMode);
  // Line continues a chain and cannot start without a New line click.
  const int wanted = tool == kToolLine && g_lineStartSet == 0 ? kToolNewLine : tool;
  if (wanted < 0 || wanted >= kToolCount || IsToolAvailable(wanted) == 0) {
    // Hunt and Grid only switch the snap mode; tools still to come are not offered.
    return trace.Return(0, kLogHandled, 1);
  }
  const int oldTool = g_currentTool;
  const int oldState = g_toolState;
  if (oldTool == kToolLine && g_lineStartSet != 0) ToggleLineStartMark(nullptr);
  if (oldTool == kToolMove || oldTool == kToolCopy) ClearGrips();
  if (oldTool == kToolDelete) StopTimer(kTimerFlashChosen);
  if ((oldState == kStateCurveHandles || oldState == kStateControlPointDrag) &&
      GetPickCount() > 0) {
    DrawCurveHandles(2, nullptr);
  }
  if (oldTool == kToolModify && m_textState == kTextEditing && wanted == kToolValues) {
    // The text stays picked for Values, with its caret no longer blinking.
    m_textState = kTextKept;
    StopTimer(kTimerCaret);
  } else if (oldTool == kToolValues && m_textState == kTextKept && wanted != kToolModify) {
    // Leaving Values ends the edit kept for it, committed like any other.
    m_textState = kTextEditing;
  }
  CancelOperation();
  GetOwnerView().RemovePromptButtons();
  CZephDoc* document = GetDocument();
  if (oldState == kStateObjectHide && document != nullptr) {
    // Leaving the hide choice commits it.
    for (int i = 0; i < document->GetItemCount(); ++i) {
      CDrawItem* item = document->GetItem(i);
      if (item->IsSelected() != 0) item->SetHidden();
    }
  }
  if (wanted == kToolLine) ToggleLineStartMark(nullptr);
  if (wanted == kToolOrigin && oldTool == kToolOrigin) g_readoutOrigin = {};
  // Points chosen for a point operation are never carried into the next tool, nor into a
  // restarted choice.
  if (document != nullptr && document->GetSelectedPoints().GetCount() != 0) {
    ClearGrips();
    document->GetSelectedPoints().RemoveAll();
  }

  g_currentTool = wanted;
  g_currentSubMode = subMode;
  m_actionId = 0;
  m_cursorReadout = 1;
  bool retainPicks = false;
  bool showObjectList = false;
  int prompt = 0;
  int actionEnabled = 0;
  bool showOrderButtons = false;

  switch (wanted) {
    case kToolArc:
      g_toolState = kStateIdle;
      m_clickStep = 0;
      break;
    case kToolShape:
      g_toolState = kStateIdle;
      g_shapeSubMode = subMode;
      break;
    case kToolCorner:
      g_toolState = kStateIdle;
      g_cornerSubMode = subMode;
      break;
    case kToolMove:
      g_toolState = subMode == 1 ? kStateChoosing : kStateIdle;
      m_clickStep = 0;
      g_toolSubMode = subMode;
      g_moveDragging = 0;
      m_actionId = subMode == 1 ? kActionMoveItems : subMode == 3 ? kActionMovePoints : 0;
      prompt = subMode == 1   ? kPromptChooseMove
               : subMode == 0 ? kPromptMoveItem
               : subMode == 3 ? kPromptChoosePoints
                              : 0;
      showObjectList = subMode == 1;
      break;
    case kToolCopy:
      g_toolState = kStateChoosing;
      m_clickStep = 0;
      g_copyPlacing = 0;
      if (g_copyOptionRead == 0) {
        g_makeNewObject = GetOptionFlag(kOptionCopyNewObject);
        g_copyOptionRead = 1;
      }
      g_actionCount =
          static_cast<std::uint16_t>(g_toolActionCounts[0] > 0 ? g_toolActionCounts[0] : 1);
      m_actionId = kActionCopy;
      prompt = kPromptChooseCopy;
      showObjectList = true;
      break;
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch: {
      g_toolState = kStateChoosing;
      m_clickStep = 0;
      static constexpr int kCountIndex[] = {1, -1, 2, 3};
      static constexpr int kAction[] = {kActionRotate, kActionReflect, kActionScale,
                                        kActionStretch};
      static constexpr int kPrompt[] = {kPromptChooseRotate, kPromptChooseReflect,
                                        kPromptChooseScale, kPromptChooseStretch};
      const int k = wanted - kToolRotate;
      ArmTransformTool(kCountIndex[k]);
      if (wanted == kToolStretch) g_stretchWarningArmed = 1;
      m_actionId = kAction[k];
      prompt = kPrompt[k];
      showObjectList = true;
      break;
    }
    case kToolObject:
      g_toolState = subMode == 3                   ? kStateObjectHide
                    : subMode == 0 || subMode == 1 ? kStateObjectIdentify
                    : subMode == 2                 ? kStateChoosing
                    : subMode == 4                 ? kStateObjectDelete
                                                   : kStateIdle;
      m_clickStep = 0;
      g_objectSubMode = subMode;
      g_objectChosen = 0;
      g_recolourCount = 0;
      if (subMode == 3) g_showHiddenObjects = 0;
      if (subMode == 1) m_cursorReadout = 0;
      m_actionId = subMode == 2 ? kActionTransfer : subMode == 4 ? kActionDeleteObjects : 0;
      prompt = subMode == 3   ? kPromptChooseHide
               : subMode == 0 ? kPromptIdentify
               : subMode == 1 ? kPromptName
               : subMode == 2 ? kPromptChooseTransfer
               : subMode == 4 ? kPromptChooseDeleteObjects
                              : 0;
      showObjectList = true;
      break;
    case kToolDelete:
      g_toolState = kStateChoosing;
      m_clickStep = 0;
      m_actionId = kActionDelete;
      showObjectList = true;
      break;
    case kToolModify:
      g_toolState = kStateModifyWaiting;
      m_clickStep = 0;
      if (oldTool == kToolValues) {
        retainPicks = true;
        if (GetPickCount() == 1) {
          CDrawItem* item = GetPicked(0);
          item->PublishProperties();
          if (item->GetType() == kItemBezier) g_toolState = kStateCurveHandles;
          if (item->GetType() == kItemDimension) g_toolState = kStateDimensionPicked;
          if (item->GetType() == kItemFill) showOrderButtons = true;
          if (item->GetType() == kItemText) {
            ShowPromptText(kPromptTypeText);
            // A text kept open for Values goes on from what was typed and where.
            if (m_textState != kTextKept) item->BeginEdit(-1);
            m_textState = kTextEditing;
            setFocus();
            StartTimer(kTimerCaret, 0);
          }
        } else if (GetPickCount() > 1 && GetPicked(0)->GetGroupNumber() != 0) {
          g_valueFieldCount = 1;
          m_actionId = kActionRemoveProtection;
          actionEnabled = 1;
        }
      }
      break;
    case kToolValues:
      g_toolState = kStateValues;
      m_clickStep = 0;
      if (oldTool == kToolModify) {
        retainPicks = true;
        if (GetPickCount() == 1) {
          GetPicked(0)->PublishInformation();
        } else if (GetPickCount() > 1 && document != nullptr) {
          document->PublishShapeValues(GetPicked(0)->GetGroupNumber());
        }
      }
      break;
    case kToolColour:
      g_toolState = kStateChoosing;
      m_clickStep = 0;
      g_recolourCount = 0;
      prompt = kPromptChooseRecolour;
      showObjectList = true;
      break;
    default:
      g_toolState = kStateIdle;
      break;
  }

  m_chosenCount = 0;
  if (!retainPicks) {
    m_pickList.clear();
    if (g_toolState == kStateObjectHide || oldState == kStateObjectHide) {
      RefreshHiddenObjects(1);
    } else if (GetSelectionShown() != 0) {
      EndChoosing();
    }
  }
  GetOwnerView().SetAction(m_actionId, actionEnabled);
  SetPrompt(prompt);
  if (showOrderButtons && document != nullptr) {
    GetOwnerView().ShowOrderButtons(document->IsFrontmostFill(GetPicked(0)),
                                    document->IsBackmostFill(GetPicked(0)));
  }
  GetOwnerView().ShowObjectList(showObjectList ? 1 : 0);
  return trace.Return(1);
}
