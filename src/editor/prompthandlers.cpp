// The editor's handlers of the prompt area's buttons: OK for the tools that work on chosen
// items, Yes, No and Cancel of the Break offer, Restart of Move and Copy, and the fill order
// buttons of Modify. Each acts only for its own tools; pressed for another tool it reports a
// glitch and changes nothing.
#include <QString>
#include <cmath>
#include <new>
#include <numbers>

#include "document/dochost.h"
#include "document/document.h"
#include "document/undostep.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editordialogs.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/tickelements.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "items/drawitem.h"
#include "items/intersect.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace {

// The value questions and their help topics.
constexpr int kIdsAskRotateAngle = 512;
constexpr int kIdsAskScaleFactor = 513;
constexpr int kIdsAskStretchFactor = 514;
constexpr int kHelpRotationAngle = 51;
constexpr int kHelpScaleFactor = 52;
constexpr int kHelpStretchFactor = 53;

constexpr int kObjectTransfer = 2;
constexpr int kObjectDelete = 4;
constexpr int kClickStepSecondPoint = 3;

int BackgroundMode() { return static_cast<int>(g_backgroundColour & zeph::kColourMask); }

bool IsChosen(const CDrawItem& item) { return item.IsInvisible() == 0 && item.IsSelected() == 0; }

int CountChosen(CZephDoc& document) {
  int count = 0;
  for (int i = 0; i < document.GetItemCount(); ++i) {
    if (IsChosen(*document.GetItem(i))) ++count;
  }
  return count;
}

// Takes every chosen item off the screen and out of the drawing, last first, in one undo step;
// a removal the journal refuses ends the walk.
void RemoveChosen(CEditDrawing& drawing, CZephDoc& document, bool eraseTexts) {
  for (int i = document.GetItemCount() - 1; i >= 0; --i) {
    CDrawItem* item = document.GetItem(i);
    if (!IsChosen(*item)) continue;
    if (eraseTexts && item->GetType() == kItemText) {
      zeph::CBufferedWnd::CClientDC dc(drawing);
      item->EraseTextBox(&dc.get(), &drawing.GetMapping());
    } else {
      drawing.DrawItem(item, BackgroundMode());
    }
    if (document.RemoveItemAt(i) == 0) break;
  }
}

class CPromptHandlers : public IPromptHandlers {
 public:
  void OnPromptOK(CEditDrawing& drawing) override;
  void OnPromptYes(CEditDrawing& drawing) override { AnswerBreak(drawing, 0, 2415); }
  void OnPromptNo(CEditDrawing& drawing) override { AnswerBreak(drawing, 1, 2412); }
  void OnPromptCancel(CEditDrawing& drawing) override { drawing.OnPromptCancel(); }
  void OnPromptRestart(CEditDrawing& drawing) override;
  void OnPromptBringToFront(CEditDrawing& drawing) override { Reorder(drawing, 1); }
  void OnPromptSendToBack(CEditDrawing& drawing) override { Reorder(drawing, 0); }

 private:
  static void OkDelete(CEditDrawing& drawing, CZephDoc& document);
  static void OkMove(CEditDrawing& drawing, CZephDoc& document);
  static void OkCopy(CEditDrawing& drawing, CZephDoc& document);
  static void OkTransform(CEditDrawing& drawing);
  static void OkObjectDelete(CEditDrawing& drawing, CZephDoc& document);
  static void OkObjectTransfer(CEditDrawing& drawing, CZephDoc& document);
  static void OkRemoveProtection(CEditDrawing& drawing, CZephDoc& document);
  static void AnswerBreak(CEditDrawing& drawing, int keep, int logCode);
  static int Reorder(CEditDrawing& drawing, int toFront);
  // Drops the pick list and the choosing display, and leaves the prompt without buttons.
  static void EndPicking(CEditDrawing& drawing);
};

void CPromptHandlers::OnPromptOK(CEditDrawing& drawing) {
  LogScope trace(2413);
  // A refused value keeps its editor open: nothing else happens.
  IOwnerView& view = drawing.GetOwnerView();
  if (auto* editing = dynamic_cast<CEditingView*>(&view); editing != nullptr) {
    if (editing->CloseValueEditorResult() == 0) {
      trace.Exit(kLogHandled);
      return;
    }
  } else {
    view.CloseValueEditor();
  }
  CZephDoc* document = drawing.GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  switch (g_currentTool) {
    case kToolDelete: OkDelete(drawing, *document); break;
    case kToolMove: OkMove(drawing, *document); break;
    case kToolCopy: OkCopy(drawing, *document); break;
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch: OkTransform(drawing); break;
    case kToolObject:
      if (g_objectSubMode == kObjectDelete) {
        OkObjectDelete(drawing, *document);
      } else if (g_objectSubMode == kObjectTransfer) {
        OkObjectTransfer(drawing, *document);
      } else {
        SetGlitchValue(g_objectSubMode);
        ReportGlitch(2413, 10);
      }
      break;
    case kToolModify: OkRemoveProtection(drawing, *document); break;
    default:
      SetGlitchValue(g_currentTool);
      ReportGlitch(2413, 10);
      trace.Exit(kLogInvalid);
      return;
  }
  trace.Exit();
}

void CPromptHandlers::OkDelete(CEditDrawing& drawing, CZephDoc& document) {
  drawing.StopTimer(kTimerFlashChosen);
  drawing.HideCrossHairs();
  {
    const CUndoStep step(document);
    RemoveChosen(drawing, document, true);
  }
  drawing.EndChoosing();
  drawing.RestoreCrossHairs();
  IOwnerView& view = drawing.GetOwnerView();
  view.EnableOKButton(0);
  view.UpdateObjectListTicks();
}

void CPromptHandlers::OkMove(CEditDrawing& drawing, CZephDoc& document) {
  IOwnerView& view = drawing.GetOwnerView();
  if (g_toolSubMode == kMovePoints) {
    g_moveDragging = 1;
    drawing.ResetMoveOffset();
    drawing.PickItemsOfPoints();
    view.RemovePromptButtons();
    view.SetRestartCaption(kActionSelectNewPoints);
    drawing.SetPrompt(kPromptMoveGrips);
    return;
  }
  if (g_toolSubMode != kMoveItems) {
    SetGlitchValue(g_toolSubMode);
    ReportGlitch(2413, 10);
    return;
  }
  const int count = CountChosen(document);
  if (count == 0) {
    // Nothing to move: the choosing goes on.
    view.EnableOKButton(0);
    return;
  }
  g_moveDragging = 1;
  drawing.HideCrossHairs();
  drawing.ShowGripsOfActive();
  if (count != drawing.GetChosenCount()) {
    SetGlitchMessage(QStringLiteral("%1 %2").arg(count).arg(drawing.GetChosenCount()));
    ReportGlitch(2413, 1);
  }
  drawing.ClearPickList();
  try {
    for (int i = 0; i < document.GetItemCount(); ++i) {
      CDrawItem* item = document.GetItem(i);
      if (IsChosen(*item)) drawing.AddPicked(item);
    }
  } catch (const std::bad_alloc&) {
    drawing.ClearPickList();
    g_moveDragging = 0;
    ReportGlitch(2413, 1);
    ShowWarning(kIdsNotEnoughMemory);
    drawing.RestoreCrossHairs();
    return;
  }
  view.ShowObjectList(0);
  drawing.SetAllSelected(0);
  drawing.SetSelectionShown(0);
  view.RemovePromptButtons();
  view.SetRestartCaption(kActionSelectNewItems);
  drawing.SetPrompt(kPromptMoveGrips);
  drawing.RestoreCrossHairs();
  drawing.ResetMoveOffset();
}

void CPromptHandlers::OkCopy(CEditDrawing& drawing, CZephDoc& document) {
  IOwnerView& view = drawing.GetOwnerView();
  if (g_copyAngleSet != 0 && g_copyDistanceSet != 0) {
    drawing.RepeatCopy();
    g_copyPlacing = 0;
    drawing.EndChoosing();
    view.RefreshObjectList();
    view.EnableOKButton(0);
    drawing.SetPrompt(drawing.GetPromptId());
    return;
  }
  const int count = CountChosen(document);
  if (count != drawing.GetChosenCount()) {
    SetGlitchMessage(QStringLiteral("%1 %2").arg(count).arg(drawing.GetChosenCount()));
    ReportGlitch(2413, 2);
  }
  if (count == 0) {
    view.EnableOKButton(0);
    return;
  }
  g_copyPlacing = 1;
  drawing.ShowGripsOfActive();
  drawing.ClearCopyList();
  try {
    for (int i = 0; i < document.GetItemCount(); ++i) {
      CDrawItem* item = document.GetItem(i);
      if (IsChosen(*item)) drawing.AddToCopyList(item);
    }
  } catch (const std::bad_alloc&) {
    drawing.ClearCopyList();
    g_copyPlacing = 0;
    ReportGlitch(2413, 1);
    ShowWarning(kIdsNotEnoughMemory);
    return;
  }
  view.RemovePromptButtons();
  view.SetRestartCaption(kActionSelectNewItems);
  drawing.SetPrompt(kPromptCopyGrips);
  view.ShowObjectList(0);
  drawing.SetAllSelected(0);
  drawing.SetSelectionShown(0);
  drawing.Invalidate();
}

void CPromptHandlers::OkTransform(CEditDrawing& drawing) {
  int prompt = kPromptMirrorLine;
  if (g_currentTool != kToolReflect) {
    double* fixed = &g_rotateAngle;
    std::int32_t* set = &g_rotateAngleSet;
    int question = kIdsAskRotateAngle;
    int help = kHelpRotationAngle;
    prompt = kPromptRotateCentre;
    if (g_currentTool == kToolEnlarge) {
      fixed = &g_enlargeFactor;
      set = &g_enlargeFactorSet;
      question = kIdsAskScaleFactor;
      help = kHelpScaleFactor;
      prompt = kPromptScalePoint;
    } else if (g_currentTool == kToolStretch) {
      fixed = &g_stretchFactor;
      set = &g_stretchFactorSet;
      question = kIdsAskStretchFactor;
      help = kHelpStretchFactor;
      prompt = kPromptStretchLine;
    }
    if (*set == 0) {
      double value = -1.0;  // an empty box
      if (GetEditorDialogs().ChooseValue(value, question, help) != 0) {
        // An empty box sets nothing, as Cancel does; a factor must be above 0.
        const bool valid = g_currentTool == kToolRotate ? value != -1.0 && std::isfinite(value)
                                                        : value > 0.0 && std::isfinite(value);
        if (valid) {
          *fixed = g_currentTool == kToolRotate ? value * std::numbers::pi / 180.0 : value;
          *set = 1;
        }
      }
    }
  }
  // With or without a fixed value, the second point of the transform is chosen next.
  drawing.SetClickStep(kClickStepSecondPoint);
  drawing.GetOwnerView().RemovePromptButtons();
  drawing.SetPrompt(prompt);
}

void CPromptHandlers::OkObjectDelete(CEditDrawing& drawing, CZephDoc& document) {
  {
    const CUndoStep step(document);
    document.DeleteTickedObjectNames();
    drawing.HideCrossHairs();
    RemoveChosen(drawing, document, false);
  }
  drawing.EndChoosing();
  IOwnerView& view = drawing.GetOwnerView();
  view.RefreshObjectList();
  view.EnableOKButton(0);
  drawing.RestoreCrossHairs();
}

void CPromptHandlers::OkObjectTransfer(CEditDrawing& drawing, CZephDoc& document) {
  if (g_objectChosen == 0) {
    std::int16_t number = g_currentObject;
    if (GetEditorDialogs().ChooseObject(&document, number) != 0 && number >= 0) {
      g_currentObject = number;
      g_objectChosen = 1;
    }
    if (g_objectChosen == 0) return;
  }
  {
    const CUndoStep step(document);
    for (int i = 0; i < document.GetItemCount(); ++i) {
      CDrawItem* item = document.GetItem(i);
      if (!IsChosen(*item)) continue;
      item->SetObjectNumber(g_currentObject);
      item->Select();
      drawing.DrawItem(item, kDrawHighlight);
    }
  }
  drawing.EndChoosing();
  g_objectChosen = 0;
  IOwnerView& view = drawing.GetOwnerView();
  view.DrawFieldValues();
  view.EnableOKButton(0);
  view.RefreshObjectList();
}

void CPromptHandlers::OkRemoveProtection(CEditDrawing& drawing, CZephDoc& document) {
  const int count = drawing.GetPickCount();
  if (count < 1) {
    SetGlitchValue(count);
    ReportGlitch(2413, 4);
    return;
  }
  const int group = drawing.GetPicked(0)->GetGroupNumber();
  if (group == 0) {
    ReportGlitch(2413, 5);
    return;
  }
  for (int i = 1; i < count; ++i) {
    const int other = drawing.GetPicked(i)->GetGroupNumber();
    if (other != group) {
      SetGlitchMessage(QStringLiteral("%1 %2 %3").arg(i).arg(group).arg(other));
      ReportGlitch(2413, 6);
      return;
    }
  }
  {
    const CUndoStep step(document);
    for (int i = 0; i < count; ++i) drawing.GetPicked(i)->SetGroupNumber(0);
  }
  EndPicking(drawing);
}

void CPromptHandlers::EndPicking(CEditDrawing& drawing) {
  drawing.ClearPickList();
  drawing.SetAllSelected(0);
  drawing.SetSelectionShown(0);
  drawing.GetOwnerView().RemovePromptButtons();
  drawing.SetPrompt(drawing.GetPromptId());
}

void CPromptHandlers::AnswerBreak(CEditDrawing& drawing, int keep, int logCode) {
  LogScope trace(logCode);
  if (g_currentTool != kToolBreak) {
    SetGlitchValue(g_currentTool);
    ReportGlitch(logCode, 1);
    trace.Exit(kLogInvalid);
    return;
  }
  const int index = drawing.GetBreakPieceIndex();
  CDrawItem* broken = drawing.GetBreakItem();
  if (index < 0 || broken == nullptr) {
    trace.Exit(kLogHandled);
    return;
  }
  const auto at = static_cast<std::size_t>(index);
  CDrawItem* piece = at < g_splitPieces.size() ? g_splitPieces[at] : nullptr;
  if (at < g_splitKeep.size()) g_splitKeep[at] = static_cast<std::uint8_t>(keep);
  // The piece stays on the screen as it was answered, whatever the flashing showed.
  if (keep == 0 && drawing.GetBreakFlashPhase() != 0) drawing.DrawItem(piece, BackgroundMode());
  if (keep != 0 && drawing.GetBreakFlashPhase() == 0) drawing.DrawItem(piece, kDrawOwnColour);
  const int next = index + 1;
  if (next < g_splitCount - 1) {
    drawing.SetBreakOffer(broken, next);
    drawing.SetBreakFlashPhase(1);
    trace.Exit();
    return;
  }
  // The last piece was answered: the item is rebuilt from the kept pieces.
  drawing.StopTimer(kTimerFlashBreak);
  drawing.SetBreakOffer(nullptr, -1);
  drawing.GetOwnerView().RemovePromptButtons();
  drawing.SetPrompt(drawing.GetPromptId());
  ShowWaitCursor();
  if (CZephDoc* document = drawing.GetDocument(); document != nullptr) {
    document->KeepItemSections(broken);
  }
  HideWaitCursor();
  drawing.ShowCursorFeedback();
  trace.Exit();
}

void CPromptHandlers::OnPromptRestart(CEditDrawing& drawing) {
  LogScope trace(2414);
  if (g_currentTool == kToolMove &&
      (g_toolSubMode == kMoveItems || g_toolSubMode == kMovePoints)) {
    drawing.SetTool(kToolMove, g_toolSubMode);
  } else if (g_currentTool == kToolCopy) {
    drawing.SetTool(kToolCopy, -1);
  }
  trace.Exit();
}

int CPromptHandlers::Reorder(CEditDrawing& drawing, int toFront) {
  const int code = toFront != 0 ? 2411 : 2409;
  LogScope trace(code);
  if (g_currentTool != kToolModify) {
    SetGlitchValue(g_currentTool);
    ReportGlitch(code, 1);
    return trace.Return(0, kLogInvalid);
  }
  if (drawing.GetPickCount() != 1) {
    SetGlitchValue(drawing.GetPickCount());
    ReportGlitch(code, 1);
    return trace.Return(0, kLogInvalid);
  }
  const CDrawItem* fill = drawing.GetPicked(0);
  if (fill->GetType() != kItemFill) {
    SetGlitchValue(fill->GetType());
    ReportGlitch(code, 1);
    return trace.Return(0, kLogInvalid);
  }
  CZephDoc* document = drawing.GetDocument();
  const int result =
      document == nullptr ? 0 : toFront != 0 ? document->BringToFront(fill) : document->SendToBack(fill);
  EndPicking(drawing);
  return trace.Return(result);
}

CPromptHandlers g_promptHandlersInstance;
CTickElementsFactory g_tickElementsFactory;

}  // namespace

void InstallEditorPromptParts() {
  SetObjectListFactory(&g_tickElementsFactory);
  SetPromptHandlers(&g_promptHandlersInstance);
}
