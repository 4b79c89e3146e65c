// Rotate, Reflect, Enlarge and Stretch: the pupil chooses items, presses OK, and the next
// click gives the centre of the rotation or scale, or the mirror or fixed line. The transform
// is then applied to the chosen items as many times as the values bar says, optionally
// keeping the originals, and the whole application is one undo step.
#include <numbers>
#include <optional>

#include "document/document.h"
#include "document/undostep.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/valuesbarparams.h"
#include "items/geometry.h"
#include "items/transform.h"
#include "support/log.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogClickTransform = 2480;

// The prompts that ask for the next choice once a transform is done.

// Which read-out of the snap point the view shows.
constexpr int kShowBoth = 0;
constexpr int kShowXOnly = 1;
constexpr int kShowYOnly = 2;

// Steps of the gesture after the choosing release: moving to the centre or line (3), pressed
// (4), released (5), applying (6).
constexpr int kStepPlace = 3;
constexpr int kStepPressed = 4;
constexpr int kStepReleased = 5;
constexpr int kStepApply = 6;

// Whether the mirror line of Reflect, or the fixed line of Stretch, runs up and down.
bool IsGuideVertical() {
  if (g_currentTool == kToolReflect) return g_reflectDirection == 0;
  return g_stretchDirection == 1;
}

}  // namespace

void CEditDrawing::ClickTransform() {
  LogScope trace(kLogClickTransform);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  LogNumber(m_clickStep);
  SetSnapDistance();
  // Reflect and Stretch place a line rather than a point.
  const bool guided = g_currentTool == kToolReflect || g_currentTool == kToolStretch;

  if (m_clickStep < 2) {
    // Pressed for choosing: the rubber band follows the mouse by itself.
    trace.Exit();
    return;
  }
  if (m_clickStep == 2) {
    ChooseAtRelease();
    EnableOkForChoice();
    m_clickStep = 0;
    trace.Exit();
    return;
  }
  if (m_clickStep == kStepPlace) {
    GetOwnerView().EnableOKButton(0);
    if (guided) SetGuideVertical(IsGuideVertical() ? 1 : 0);
    // Only hidden while shown, so that the window still knows to bring them back.
    if (AreCrossHairsShown() != 0) HideCrossHairs();
  }
  if (m_clickStep == kStepPlace || m_clickStep == kStepPressed) {
    ClearMarks();
    SnapPoint(g_snapMode);
    ToggleSnapMark();
    if (guided) {
      MoveGuideLine(1);
      // Only the coordinate that places the line matters.
      ShowSnapPointValues(IsGuideVertical() ? kShowXOnly : kShowYOnly);
    } else {
      ShowSnapPointValues(kShowBoth);
    }
    trace.Exit();
    return;
  }
  if (m_clickStep == kStepReleased) {
    if (guided) MoveGuideLine(0);
    ClearMarks();
    m_clickStep = kStepApply;
  }
  // The release applies the transform at once: waiting for another mouse event would leave
  // it undone when none comes.
  if (m_clickStep == kStepApply) ApplyTransform();
  trace.Exit();
}

void CEditDrawing::ApplyTransform() {
  CZephDoc* document = GetDocument();
  const DrawingPoint p = g_snapPoint;
  CTransform transform;
  int prompt = 0;
  switch (g_currentTool) {
    case kToolRotate:
      transform.SetRotation(g_rotateAngle * 180.0 / std::numbers::pi, p.x, p.y);
      prompt = kPromptChooseRotate;
      break;
    case kToolEnlarge:
      transform.SetEnlargement(g_enlargeFactor, p.x, p.y);
      prompt = kPromptChooseScale;
      break;
    case kToolReflect:
      // Horizontal: the mirror is the line y = P.y; vertical: x = P.x.
      if (g_reflectDirection == 1) {
        transform.SetReflection(0, p.y);
      } else {
        transform.SetReflection(1, p.x);
      }
      prompt = kPromptChooseReflect;
      break;
    case kToolStretch:
      // Horizontal: x distances from the line x = P.x grow; vertical: y distances from y = P.y.
      if (g_stretchDirection == 1) {
        transform.SetStretch(1, g_stretchFactor, p.x);
      } else {
        transform.SetStretch(0, g_stretchFactor, p.y);
      }
      prompt = kPromptChooseStretch;
      break;
    default:
      SetGlitchValue(g_currentTool);
      ReportGlitch(kLogClickTransform, 1);
      m_clickStep = 0;
      return;
  }

  // Nothing chosen (the choice was emptied from the object list meanwhile): the document
  // would read every item as chosen, so nothing is transformed.
  std::optional<CUndoStep> step;
  bool failed = false;
  bool named = false;
  if (CountVisibleChosen() > 0) {
    const int which = g_keepOriginals != 0 ? kTransformChosenKeepOriginals : kTransformChosen;
    named = g_makeNewObject != 0 && g_keepOriginals != 0;
    document->PrepareCopyNumbers(named ? g_actionCount : 0);
    if (g_currentTool == kToolRotate || g_currentTool == kToolEnlarge) {
      if (AreCrossHairsShown() != 0) HideCrossHairs();
    }
    step.emplace(document);
    for (int i = 0; i < g_actionCount; ++i) {
      if (document->TransformItems(transform, which, i) == 0) {
        failed = true;
        break;
      }
    }
  }

  if (failed) {
    // The group closes first: when the user declined to go on without undo, closing takes
    // back what the actions did, and the choice then ends over the items as they are again.
    step.reset();
    ShowWarning(kIdsNotEnoughMemory);
    EndChoosing();
    RestoreCrossHairs();
  } else {
    EndChoosing();
    RestoreCrossHairs();
    if (named) document->NameCopiedObjects(1);
    step.reset();
  }
  GetOwnerView().ShowObjectList(1);
  GetOwnerView().SetAction(m_actionId, 0);
  SetPrompt(prompt);
  m_clickStep = 0;
  Invalidate();
}
