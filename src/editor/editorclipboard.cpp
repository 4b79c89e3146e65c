// Edit > Copy of the visible drawing as a picture, and the editor's side of Edit > Undo and
// Edit > Redo: the tool's screen state is put aside before the document replays a journal
// step and rebuilt after it.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <new>
#include <vector>

#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace {

constexpr int kCopyMargin = 5;
constexpr std::size_t kPointGripMinimum = 200;

}  // namespace

void CEditDrawing::CopyToClipboard() {
  LogScope trace(2417);
  CZephDoc* document = GetDocument();
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  if (document == nullptr || document->ComputeExtents(&GetMapping(), 1) == 0) {
    trace.Exit(7000);
    return;
  }
  document->GetExtents(minX, minY, maxX, maxY);
  const CViewMapping& mapping = GetMapping();
  const zeph::DcRect client = GetClientRect();
  const int left = std::max(mapping.DrawingToDeviceX(minX) - kCopyMargin, client.left);
  const int top = std::max(mapping.DrawingToDeviceY(maxY) - kCopyMargin, client.top);
  const int right = std::min(mapping.DrawingToDeviceX(maxX) + kCopyMargin, client.right);
  const int bottom = std::min(mapping.DrawingToDeviceY(minY) + kCopyMargin, client.bottom);
  // Wholly outside the window: nothing to copy, as for an empty drawing.
  if (right <= left || bottom <= top) {
    trace.Exit(7000);
    return;
  }

  // The copy shows the items only: the cross-hairs, the line-start mark, marks, grips, the
  // grid and the selection's highlight stay off until the picture is taken.
  CCrossHairsHidden crossHairs(*this);
  const bool lineStart = g_currentTool == kToolLine && g_lineStartSet != 0;
  if (lineStart) ToggleLineStartMark(nullptr);
  std::vector<DrawingPoint> marks;
  for (int i = GetMarkCount() - 1; i >= 0; --i) {
    marks.push_back(GetMark(i));
    ToggleMark(marks.back().x, marks.back().y);
  }
  std::vector<DrawingPoint> grips;
  for (int i = GetGripCount() - 1; i >= 0; --i) {
    grips.push_back(GetGrip(i));
    ToggleGrip(grips.back().x, grips.back().y);
  }
  const int selectionShown = GetSelectionShown();
  const int gridMode = GetGridMode();
  SetGridMode(kGridHidden);
  SetSelectionShown(0);
  Invalidate();
  UpdateWindow();

  const QImage picture = BackBuffer().copy(left, top, right - left, bottom - top);
  int result = 0;
  QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                              ? QGuiApplication::clipboard()
                              : nullptr;
  if (clipboard == nullptr) {
    ShowWarning(272);
  } else if (picture.isNull()) {
    ShowWarning(224);
  } else {
    clipboard->setImage(picture);
    result = 1;
  }

  for (auto it = marks.rbegin(); it != marks.rend(); ++it) ToggleMark(it->x, it->y);
  for (auto it = grips.rbegin(); it != grips.rend(); ++it) ToggleGrip(it->x, it->y);
  SetSelectionShown(selectionShown);
  SetGridMode(gridMode);
  Invalidate();
  UpdateWindow();
  if (lineStart) ToggleLineStartMark(nullptr);
  if (result == 0) {
    trace.Exit(7000);
    return;
  }
  ShowStatusMessage(259, 1);
  trace.Exit();
}

void CEditDrawing::Undo(int keepForRedo) {
  LogScope trace(2481);
  UndoOrRedo(0, keepForRedo);
  trace.Exit();
}

void CEditDrawing::Redo() {
  LogScope trace(2422);
  UndoOrRedo(1, 1);
  trace.Exit();
}

void CEditDrawing::UndoOrRedo(int redo, int keepForRedo) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  CClientDC dc(*this);
  const int tool = g_currentTool;
  // Before the step.
  if (tool == kToolLine) {
    if (g_lineStartSet != 0) ToggleLineStartMark(&dc.get());
  } else if (tool == kToolModify || tool == kToolValues) {
    if (g_toolState == kStateCurveHandles) {
      DrawCurveHandles(2, &dc.get());
    } else if (m_textState == kTextEditing && GetPickCount() == 1) {
      // The typing is abandoned: the text keeps what it held before the edit began.
      StopTimer(kTimerCaret);
      CDrawItem* text = GetPicked(0);
      text->EndEdit(&dc.get(), &GetMapping());
      EndText(-1);
      DrawItem(text, kDrawOwnColour);
    }
    SetPrompt(m_promptId);
  } else if (tool == kToolMove) {
    if (redo != 0 && g_toolSubMode != 3) {
      ClearGrips();
      if (g_toolSubMode == 0 || g_toolSubMode == 1) document->GetSelectedPoints().RemoveAll();
      SetPrompt(m_promptId);
    }
    if (g_toolSubMode == 3) RecordPointItems();
  } else if (tool == kToolCopy && g_copyPlacing != 0) {
    // The grips are shown again afterwards; items the step wipes off must not cut into them.
    ClearGrips();
  }

  if (redo != 0) {
    document->Redo(&dc.get(), &GetMapping());
  } else {
    document->Undo(&dc.get(), &GetMapping(), keepForRedo);
  }

  if (tool == kToolMove && g_toolSubMode != 0 && g_toolSubMode != 1) {
    ResyncMovePoints();
  } else {
    ResyncChoice();
  }

  if (tool == kToolLine) {
    if (g_lineStartSet != 0) ToggleLineStartMark(&dc.get());
  } else if (g_toolState == kStateCurveHandles) {
    DrawCurveHandles(0, &dc.get());
  } else if (tool == kToolCopy && g_copyPlacing != 0) {
    ShowGripsOfList(m_copyList);
  } else if (tool == kToolMove && g_toolSubMode == 1 && g_moveDragging != 0) {
    ShowGripsOfList(m_pickList);
  }
}

void CEditDrawing::RecordPointItems() {
  LogScope trace(2423);
  m_pointGripItems.clear();
  m_pointGripHandles.clear();
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit();
    return;
  }
  const CItemRefList& points = document->GetSelectedPoints();
  try {
    const std::size_t wanted = std::max<std::size_t>(points.GetCount(), kPointGripMinimum);
    m_pointGripItems.reserve(wanted);
    m_pointGripHandles.reserve(wanted);
  } catch (const std::bad_alloc&) {
    LogNumber(points.GetCount());
    trace.Exit(kLogMemory);
    return;
  }
  for (std::uint16_t i = 0; i < points.GetCount(); ++i) {
    const CItemRef& ref = points.GetAt(i);
    CDrawItem* item = document->GetItem(ref.GetItem());
    if (item == nullptr) continue;
    m_pointGripItems.push_back(item);
    m_pointGripHandles.push_back(static_cast<std::uint16_t>(ref.GetPoint()));
  }
  trace.Exit();
}

void CEditDrawing::ResyncMovePoints() {
  CZephDoc* document = GetDocument();
  if (g_currentTool != kToolMove || g_toolSubMode != 3 || document == nullptr) return;
  // The items keep their identity across the step, their places in the list may not.
  CItemRefList points;
  for (std::size_t i = 0; i < m_pointGripItems.size(); ++i) {
    const int index = document->FindItem(m_pointGripItems[i]);
    if (index < 0) continue;
    points.Add(CItemRef(index, static_cast<std::int16_t>(m_pointGripHandles[i])));
  }
  document->SetSelectedPoints(points);
  SyncGripsToPoints(document->GetSelectedPoints());
  if (g_moveDragging != 0) {
    PickItemsOfPoints();
    ResetMoveOffset();
    SetPrompt(m_promptId);
  }
}
