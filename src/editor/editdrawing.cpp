#include "editor/editdrawing.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <algorithm>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/textitem.h"
#include "items/valuefields.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/uiutil.h"

using zeph::CDrawContext;
using zeph::DcPen;
using zeph::RasterOp;

namespace {

// Whether a Move drag carries items: between the press and the release, with items picked.
// Move items and Move points drag only after their OK; before it the press is choosing.
bool IsMoveDragRunning(int clickStep, bool nothingPicked) {
  if (g_currentTool != kToolMove || ClickPhaseOf(clickStep) != kPhaseHeld || nothingPicked) {
    return false;
  }
  return (g_toolSubMode != 1 && g_toolSubMode != 3) || g_moveDragging != 0;
}

}  // namespace

CEditDrawing::CEditDrawing(QWidget* parent) : CDrawingWindow(parent) {
  SetShowPicture(1);
  setMouseTracking(true);
}

CEditDrawing::~CEditDrawing() {
  // Copies being placed belong to the window until the document takes them.
  if (g_currentTool == kToolCopy && m_clickStep != 0) {
    for (CDrawItem* item : m_pickList) delete item;
  }
}

void CEditDrawing::SetOwnerView(IOwnerView* view) { m_ownerView = view; }

IOwnerView& CEditDrawing::GetOwnerView() const {
  return m_ownerView != nullptr ? *m_ownerView : GetNullOwnerView();
}

void CEditDrawing::AttachDrawing() {
  LogScope trace(2407);
  if (m_ownerView == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  CZephDoc* document = m_ownerView->GetDocument();
  SetDocument(document);
  if (document != nullptr) {
    g_realWorldScale = document->GetRealWorldScale();
    document->ChooseUnitFactor();
  }
  SetSelectionShown(g_toolState != kStateIdle ? 1 : 0);
  m_pickList.clear();
  SetGridMode(kGridByOptions);
  SetOverrideColour(-1);
  RefreshHiddenObjects(0);
  GetMapping().SetWindowExtent(m_lastWidth, m_lastHeight);
  GetMapping().SetClientSize(0, m_lastHeight);
  m_sizeHandling = 1;
  m_crossHairsShown = 0;
  m_feedbackHidden = 0;
  m_cursorReadout = 1;
  m_actionId = 0;
  trace.Exit();
}

CDrawItem* CEditDrawing::GetPicked(int index) const {
  return index >= 0 && index < GetPickCount() ? m_pickList[static_cast<std::size_t>(index)]
                                              : nullptr;
}

void CEditDrawing::SetBreakOffer(CDrawItem* item, int pieceIndex) {
  m_breakItem = item;
  m_breakPieceIndex = item != nullptr ? pieceIndex : -1;
  m_breakFlashPhase = m_breakPieceIndex >= 0 ? 1 : 0;
}

void CEditDrawing::OnPromptCancel() {
  LogScope trace(2410);
  if (g_currentTool != kToolBreak) {
    SetGlitchValue(g_currentTool);
    ReportGlitch(2410, 1);
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_breakPieceIndex >= 0 && m_breakItem != nullptr) {
    StopTimer(kTimerFlashBreak);
    HideCrossHairs();
    const int background = static_cast<int>(g_backgroundColour & zeph::kColourMask);
    const auto pieceAt = [](int i) -> CDrawItem* {
      const auto index = static_cast<std::size_t>(i);
      return index < g_splitPieces.size() ? g_splitPieces[index] : nullptr;
    };
    // Every piece kept so far is on the screen, the one just answered included.
    for (int i = 0; i < m_breakPieceIndex; ++i) {
      const auto index = static_cast<std::size_t>(i);
      if (index < g_splitKeep.size() && g_splitKeep[index] != 0) DrawItem(pieceAt(i), background);
    }
    if (m_breakFlashPhase != 0) DrawItem(pieceAt(m_breakPieceIndex), background);
    DrawItem(m_breakItem, kDrawOwnColour);
    m_breakPieceIndex = -1;
    m_breakItem = nullptr;
    m_breakFlashPhase = 0;
    GetOwnerView().RemovePromptButtons();
  }
  SetPrompt(m_promptId);
  ShowCursorFeedback();
  trace.Exit();
}

int CEditDrawing::IsBreakOffered() const {
  return g_currentTool == kToolBreak && m_breakPieceIndex >= 0 ? 1 : 0;
}

// ---- Dispatch ----

CEditDrawing::ClickHandler CEditDrawing::ResolveClickHandler(int tool, int& glitchNumber) {
  glitchNumber = 0;
  // A null answer is a tool that cannot be chosen (Hunt and Grid never become the tool).
  switch (tool) {
    case kToolNewLine:
      return &CEditDrawing::ClickNewLine;
    case kToolLine:
      return &CEditDrawing::ClickLine;
    case kToolArc:
      return g_arcPointChoice == 1 ? &CEditDrawing::ClickArcCentre
                                   : &CEditDrawing::ClickArcThreePoints;
    case kToolCircle:
      return &CEditDrawing::ClickCircle;
    case kToolEllipse:
      return &CEditDrawing::ClickEllipse;
    case kToolCurve:
      return &CEditDrawing::ClickCurve;
    case kToolFill:
      return &CEditDrawing::ClickFill;
    case kToolText:
      return &CEditDrawing::ClickText;
    case kToolShape:  // square and regular polygon from a side, rectangle from two corners
      if (g_shapeSubMode < 0 || g_shapeSubMode > 2) {
        glitchNumber = 2;
        return nullptr;
      }
      return g_shapeSubMode == 1 ? &CEditDrawing::ClickRectangle : &CEditDrawing::ClickPolygon;
    case kToolDimension:
      return &CEditDrawing::ClickDimension;
    case kToolCorner:
      return &CEditDrawing::ClickCorner;
    case kToolInsert:
      return &CEditDrawing::ClickInsert;
    case kToolBreak:
      return &CEditDrawing::ClickBreak;
    case kToolExtend:
      return &CEditDrawing::ClickExtend;
    case kToolOrigin:
      return &CEditDrawing::ClickOrigin;
    case kToolHunt:
    case kToolGrid:
      return nullptr;
    // ---- Move tool ----
    case kToolMove:
      switch (g_toolSubMode) {
        case 0:
          return &CEditDrawing::ClickMoveItem;
        case 1:
          return &CEditDrawing::ClickMoveItems;
        case 3:
          return &CEditDrawing::ClickMovePoints;
        case 2:
        case 4:
        case 5:
          return &CEditDrawing::ClickMovePoint;
        default:
          glitchNumber = 3;
          return nullptr;
      }
    // ---- Copy tool ----
    case kToolCopy:
      return &CEditDrawing::ClickCopy;
    // ---- Rotate, Reflect, Enlarge and Stretch ----
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
      return &CEditDrawing::ClickTransform;
    // ---- Object, Delete and Colour tools ----
    case kToolObject:  // Identify (0, 1), Transfer, Hide, Delete
      switch (g_objectSubMode) {
        case 0:
        case 1:
          return &CEditDrawing::ClickObjectIdentify;
        case 2:
          return &CEditDrawing::ClickObjectTransfer;
        case 3:
          return &CEditDrawing::ClickObjectHide;
        case 4:
          return &CEditDrawing::ClickObjectDelete;
        default:
          glitchNumber = 4;
          return nullptr;
      }
    case kToolDelete:
      return &CEditDrawing::ClickDelete;
    case kToolColour:
      return &CEditDrawing::ClickColour;
    // ---- Modify and Values tools ----
    case kToolModify:
    case kToolValues:
      return &CEditDrawing::ClickModify;
    default:
      return nullptr;
  }
}

int CEditDrawing::IsToolAvailable(int tool) const {
  int glitchNumber = 0;
  return ResolveClickHandler(tool, glitchNumber) != nullptr ? 1 : 0;
}

void CEditDrawing::DispatchClick() {
  LogAction(2450, 0, g_currentTool);
  int glitchNumber = 0;
  const ClickHandler handler = ResolveClickHandler(g_currentTool, glitchNumber);
  if (glitchNumber != 0) {
    SetGlitchValue(g_currentTool == kToolShape  ? g_shapeSubMode
                   : g_currentTool == kToolMove ? g_toolSubMode
                                                : g_objectSubMode);
    ReportGlitch(2450, glitchNumber);
    return;
  }
  if (handler != nullptr) (this->*handler)();
}

int CEditDrawing::IsRubberBandTool() const {
  switch (g_currentTool) {
    case kToolMove:
      return (g_toolSubMode == 1 || g_toolSubMode == 3) && g_moveDragging == 0 ? 1 : 0;
    case kToolDelete:
    case kToolColour:
      return 1;
    case kToolCopy:
      return g_copyPlacing == 0 ? 1 : 0;
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
      return m_clickStep < 3 ? 1 : 0;
    case kToolObject:
      return g_objectSubMode == 2 ? 1 : 0;
    default:
      return 0;
  }
}

// ---- Mouse ----

void CEditDrawing::TakeCapture() {
  SetCapture();
  g_mouseCaptured = 1;
}

void CEditDrawing::DropCapture() {
  ReleaseCapture();
  g_mouseCaptured = 0;
}

void CEditDrawing::OnLButtonDown(unsigned, QPoint point) {
  GetOwnerView().CloseValueEditor();
  if (GetOwnerView().IsPickingColour() != 0) return;
  if (g_justActivated != 0) {
    m_cursorInside = 1;
    m_lastCursorPoint = point;
    if (g_mouseCaptured == 0) TakeCapture();
    if (m_feedbackHidden == 0 && GetOptionFlag(kOptionCrossHairsCursor) != 0) {
      DrawCrossHairs(point.x(), point.y());
    }
    g_justActivated = 0;
  }
  SetCursorPoint(point.x(), point.y());
  if (m_clickStep == 0 && IsRubberBandTool() != 0) {
    SetRubberBandVisible(0);
    StartRubberBand(point.x(), point.y());
  }
  // A step left released moves on to the next point; a press after a lost release starts the
  // same point again.
  SetClickStep(ClickStepOf(ClickPointOf(m_clickStep + 1), kPhasePressed));
  DispatchClick();
  SetClickStep(ClickStepOf(ClickPointOf(m_clickStep), kPhaseHeld));
  DispatchClick();
}

void CEditDrawing::OnMouseMove(unsigned flags, QPoint point) {
  if (g_systemKeyDown != 0) {
    g_systemKeyDown = 0;
    HideCrossHairs();
    setCursor(Qt::ArrowCursor);
    return;
  }
  const zeph::DcRect client = GetClientRect();
  const bool inside = point.x() >= client.left && point.x() < client.right &&
                      point.y() >= client.top && point.y() < client.bottom;
  if (!inside || GetOwnerView().IsPointInObjectList(point) != 0 ||
      GetOwnerView().IsPointInFlyout(point) != 0) {
    m_cursorInside = 0;
    if (g_mouseCaptured != 0) DropCapture();
    EraseFeedback();
    HideCrossHairs();
    setCursor(Qt::ArrowCursor);
    return;
  }
  m_cursorInside = 1;
  m_lastCursorPoint = point;
  const int crossHairs = GetOptionFlag(kOptionCrossHairsCursor);
  if (g_appActive != 0) {
    if (!HasCapture()) {
      TakeCapture();
      SetToolCursor();
      if (crossHairs != 0) ShowCursorFeedback();
    } else if (m_feedbackHidden == 0 && crossHairs != 0) {
      DrawCrossHairs(point.x(), point.y());
    }
  }
  SetCursorPoint(point.x(), point.y());
  if (m_clickStep != 0) {
    if (IsRubberBandTool() != 0) {
      const int wasVisible = IsRubberBandVisible();
      TrackRubberBand(flags, point.x(), point.y());
      if (wasVisible == 0 && IsRubberBandVisible() != 0) {
        HideCursorFeedback();
        GetOwnerView().ClearCoordinateField();
      } else if (wasVisible != 0 && IsRubberBandVisible() == 0) {
        ShowCursorFeedback();
      }
    }
    DispatchClick();
    return;
  }
  if (m_cursorReadout != 0 && IsBreakOffered() == 0) {
    GetOwnerView().ShowPointValues(g_cursorPoint.x, g_cursorPoint.y, 0);
  }
  if (GetOwnerView().IsPickingColour() != 0) TrackColourSwatch(point);
}

void CEditDrawing::OnLButtonUp(unsigned flags, QPoint point) {
  if (GetOwnerView().IsPickingColour() != 0) {
    RemoveColourSwatch();
    SetCursorPoint(point.x(), point.y());
    PickColourAtCursor();
    GetOwnerView().EndPickColour();
    return;
  }
  if (m_clickStep == 0) return;
  if (IsRubberBandTool() != 0) {
    EndRubberBand(flags, point.x(), point.y());
    ShowCursorFeedback();
    m_shiftAtRelease = (flags & zeph::kMkShift) != 0 ? 1 : 0;
  }
  SetClickStep(ClickStepOf(ClickPointOf(m_clickStep), kPhaseReleased));
  DispatchClick();
}

const CDrawItem* CEditDrawing::FindColourPickItem() const {
  const CZephDoc* document = GetDocument();
  if (document == nullptr) return nullptr;
  const double distance =
      static_cast<double>(GetOptionShort(kOptionColourPickDistance)) * GetMapping().scaleX;
  return document->FindNearestItem(&GetMapping(), kPickAnyItem, nullptr, distance);
}

void CEditDrawing::RemoveColourSwatch() {
  if (!m_colourTip || m_colourTip->IsSaved() == 0) return;
  CClientDC dc(*this);
  m_colourTip->Restore(*dc);
  m_colourTip->Release();
}

void CEditDrawing::TrackColourSwatch(QPoint point) {
  RemoveColourSwatch();
  const CDrawItem* item = FindColourPickItem();
  if (item == nullptr) return;
  if (!m_colourTip) m_colourTip = std::make_unique<CSavedScreenArea>();
  const int x = point.x();
  const int y = point.y();
  CClientDC dc(*this);
  if (m_colourTip->Save(*dc, {x + 10, y - 30, x + 31, y - 9}) == 0) return;
  DrawFramedRect(*dc, UiRect{x + 10, y - 30, x + 30, y - 10}, g_foregroundColour,
                 static_cast<zeph::ColourRef>(item->GetColour()));
}

void CEditDrawing::OnRButtonUp(unsigned, QPoint point) {
  LogScope trace(2419);
  if (g_currentTool != kToolModify) {
    const int oldTool = g_currentTool;
    GetOwnerView().DrawToolButton(oldTool, 0);
    if (SetTool(kToolModify, -1) == 0) {
      GetOwnerView().DrawToolButton(oldTool, 3);
      trace.Exit(kLogHandled, 1);
      return;
    }
    GetOwnerView().DrawToolButton(kToolModify, 3);
  } else {
    CancelOperation();
    if ((g_toolState == kStateCurveHandles || g_toolState == kStateControlPointDrag) &&
        GetPickCount() > 0) {
      DrawCurveHandles(2, nullptr);
      g_toolState = kStateModifyWaiting;
    }
    for (CDrawItem* item : m_pickList) {
      item->Select();
      DrawItem(item, kDrawHighlight);
    }
    m_pickList.clear();
    GetOwnerView().RemovePromptButtons();
  }
  SetCursorPoint(point.x(), point.y());
  CZephDoc* document = GetDocument();
  CDrawItem* item = document != nullptr
                        ? document->FindNearestItem(&GetMapping(), kPickAnyItem, nullptr, 0.0)
                        : nullptr;
  if (item != nullptr) {
    if (GetSelectionShown() == 0) {
      SetSelectionShown(1);
      SetAllSelected(1);
    }
    if (ToggleChosen(item, 1, 1) == 0) {
      ShowWarning(224);
      trace.Exit(kLogMemory);
      return;
    }
    item->PublishProperties();
    const bool grouped = item->GetGroupNumber() != 0;
    if (grouped) g_valueFieldCount = 1;
    if (item->GetType() == kItemText) {
      m_pickList.assign(1, item);
      ShowPromptText(kPromptTypeText);
      item->BeginEdit(item->GetCharIndexAtCursor(&GetMapping()));
      m_textState = kTextEditing;
      setFocus();
      StartTimer(kTimerCaret, 0);
    } else if (item->GetType() == kItemBezier && !grouped) {
      g_toolState = kStateCurveHandles;
      DrawCurveHandles(0, nullptr);
    } else if (item->GetType() == kItemDimension) {
      g_toolState = kStateDimensionPicked;
    }
    if (grouped) GetOwnerView().SetAction(kActionRemoveProtection, 1);
    SetPrompt(GetPromptId());
  }
  trace.Exit();
}

void CEditDrawing::PickColourAtCursor() {
  const CDrawItem* item = FindColourPickItem();
  if (item == nullptr) return;
  // Modify and Colour recolour what they have chosen; every other tool takes the colour for
  // the next item.
  if (g_currentTool == kToolModify) {
    RecolourPicked(item->GetColour());
  } else if (g_currentTool == kToolColour) {
    RecolourChosen(item->GetColour());
  } else {
    g_drawingColour = item->GetColour();
  }
  GetOwnerView().DrawFieldValues();
}

void CEditDrawing::leaveEvent(QEvent* event) {
  CDrawingWindow::leaveEvent(event);
  if (!HasCapture() && m_cursorInside != 0) {
    m_cursorInside = 0;
    HideCrossHairs();
  }
}

// ---- Cursor feedback ----

void CEditDrawing::SetToolCursor() {
  if (GetOwnerView().IsPickingColour() != 0) {
    setCursor(GetOwnerView().GetPickColourCursor());
  } else if (GetOptionFlag(kOptionCrossHairsCursor) != 0) {
    setCursor(Qt::BlankCursor);
  } else {
    setCursor(Qt::CrossCursor);
  }
}

void CEditDrawing::DrawCrossHairs(int x, int y) {
  const zeph::DcRect client = GetClientRect();
  const zeph::ColourRef colour = g_overlayXorColours[9];
  CClientDC dc(*this);
  const RasterOp op = dc->SetRasterOp(RasterOp::kXor);
  const DcPen pen = dc->SelectPen(DcPen{zeph::PenStyle::kSolid, 1, colour});
  const auto horizontal = [&](int row) {
    dc->MoveTo(client.left, row);
    dc->LineTo(client.right, row);
  };
  const auto vertical = [&](int column) {
    dc->MoveTo(column, client.top);
    dc->LineTo(column, client.bottom);
  };
  // Only the lines that moved are drawn again.
  const bool moveRow = m_crossHairsShown == 0 || y != m_crossHairsPoint.y();
  const bool moveColumn = m_crossHairsShown == 0 || x != m_crossHairsPoint.x();
  if (m_crossHairsShown != 0) {
    if (moveRow) horizontal(m_crossHairsPoint.y());
    if (moveColumn) vertical(m_crossHairsPoint.x());
  }
  if (moveRow) horizontal(y);
  if (moveColumn) vertical(x);
  dc->SelectPen(pen);
  dc->SetRasterOp(op);
  m_crossHairsPoint = QPoint(x, y);
  m_crossHairsShown = 1;
}

void CEditDrawing::HideCrossHairs() {
  m_crossHairsWereShown = m_crossHairsShown;
  if (m_crossHairsShown == 0) return;
  const zeph::DcRect client = GetClientRect();
  CClientDC dc(*this);
  const RasterOp op = dc->SetRasterOp(RasterOp::kXor);
  const DcPen pen = dc->SelectPen(DcPen{zeph::PenStyle::kSolid, 1, g_overlayXorColours[9]});
  dc->MoveTo(client.left, m_crossHairsPoint.y());
  dc->LineTo(client.right, m_crossHairsPoint.y());
  dc->MoveTo(m_crossHairsPoint.x(), client.top);
  dc->LineTo(m_crossHairsPoint.x(), client.bottom);
  dc->SelectPen(pen);
  dc->SetRasterOp(op);
  m_crossHairsShown = 0;
}

void CEditDrawing::RestoreCrossHairs() {
  if (m_crossHairsWereShown != 0 && m_crossHairsShown == 0) {
    DrawCrossHairs(m_crossHairsPoint.x(), m_crossHairsPoint.y());
  }
}

void CEditDrawing::HideCursorFeedback() {
  HideCrossHairs();
  if (GetOwnerView().IsPickingColour() != 0 && m_cursorInside != 0) {
    setCursor(GetOwnerView().GetPickColourCursor());
  } else {
    setCursor(Qt::ArrowCursor);
  }
  m_feedbackHidden = 1;
}

void CEditDrawing::ShowCursorFeedback() {
  m_feedbackHidden = 0;
  if (m_cursorInside == 0) {
    setCursor(Qt::ArrowCursor);
    return;
  }
  if (GetOwnerView().IsPickingColour() != 0) {
    setCursor(GetOwnerView().GetPickColourCursor());
  } else if (GetOptionFlag(kOptionCrossHairsCursor) != 0) {
    setCursor(Qt::BlankCursor);
    DrawCrossHairs(m_lastCursorPoint.x(), m_lastCursorPoint.y());
  } else {
    setCursor(Qt::CrossCursor);
  }
}

void CEditDrawing::DrawItem(const CDrawItem* item, int colourMode) {
  if (item == nullptr) return;
  // Inside a caller's own hiding the cross-hairs are already off, and hiding again would lose
  // the caller's memory that they were shown.
  const bool hide = colourMode != kDrawXor && m_crossHairsShown != 0;
  if (hide) HideCrossHairs();
  {
    CClientDC dc(*this);
    item->Draw(&dc.get(), &GetMapping(), colourMode, 0);
  }
  if (hide) RestoreCrossHairs();
}

void CEditDrawing::DrawControlLine(int end, CDrawContext& dc, const CDrawItem& curve) {
  int x = 0;
  int y = 0;
  if (end == 0) {
    curve.GetStart(x, y);
  } else if (end == 1) {
    curve.GetEnd(x, y);
  } else {
    SetGlitchValue(end);
    ReportGlitch(2403, 1);
    return;
  }
  double cx = 0.0;
  double cy = 0.0;
  curve.GetControlPoint(end, cx, cy);
  const zeph::ColourRef colour = (g_backgroundColour ^ g_colourTable[12]) & zeph::kColourMask;
  const RasterOp op = dc.SetRasterOp(RasterOp::kXor);
  const DcPen pen = dc.SelectPen(DcPen{zeph::PenStyle::kSolid, 1, colour});
  const int u = GetMapping().DrawingToDeviceXReal(cx);
  const int v = GetMapping().DrawingToDeviceYReal(cy);
  dc.MoveTo(GetMapping().DrawingToDeviceX(x), GetMapping().DrawingToDeviceY(y));
  dc.LineTo(u, v);
  dc.SetPixel(u, v, colour);
  dc.SelectPen(pen);
  dc.SetRasterOp(op);
}

void CEditDrawing::DrawCurveHandles(int mode, CDrawContext* dc) {
  const CDrawItem* curve = GetPicked(0);
  if (curve == nullptr) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2421, 1);
    return;
  }
  if (curve->GetType() != kItemBezier) {
    SetGlitchValue(curve->GetType());
    ReportGlitch(2421, 2);
    return;
  }
  if (g_toolState != kStateCurveHandles && g_toolState != kStateControlPointDrag) {
    SetGlitchValue(g_toolState);
    ReportGlitch(2421, 3);
    return;
  }
  std::unique_ptr<CClientDC> own;
  if (dc == nullptr) {
    own = std::make_unique<CClientDC>(*this);
    dc = &own->get();
  }
  const auto controlGrips = [&]() {
    for (int i = 0; i < 2; ++i) {
      double cx = 0.0;
      double cy = 0.0;
      curve->GetControlPoint(i, cx, cy);
      DrawGrip(RoundToInt(cx), RoundToInt(cy), dc, 1);
    }
  };
  const auto controlLines = [&]() {
    DrawControlLine(0, *dc, *curve);
    DrawControlLine(1, *dc, *curve);
  };
  switch (mode) {
    case 0:
      ClearGrips();
      controlLines();
      controlGrips();
      break;
    case 1:
      ClearGrips();
      controlGrips();
      break;
    case 2:
      ClearGrips();
      controlLines();
      break;
    case 3:
      controlLines();
      break;
    default:
      break;
  }
}

void CEditDrawing::DrawSymbolFeedback(CDrawContext* dc) {
  if (g_symbolDoc == nullptr) return;
  std::unique_ptr<CClientDC> own;
  if (dc == nullptr) {
    own = std::make_unique<CClientDC>(*this);
    dc = &own->get();
  }
  for (int i = 0; i < g_symbolDoc->GetItemCount(); ++i) {
    g_symbolDoc->GetItem(i)->Draw(dc, &GetMapping(), kDrawXor, 0);
  }
}

void CEditDrawing::EraseFeedback() {
  if (m_clickStep == 0) return;
  switch (g_currentTool) {
    case kToolLine:
    case kToolArc:
    case kToolCircle:
    case kToolEllipse:
    case kToolCurve:
    case kToolDimension:
      ClearMarks();
      if (m_feedbackDrawn != 0) DrawItem(m_construction.get(), kDrawXor);
      if (g_currentTool == kToolCurve) EraseControlLines();
      break;
    case kToolCorner:
      // While sized, the two lines are shown only in exclusive-or with the new item.
      ClearMarks();
      if (m_feedbackDrawn != 0) ToggleCornerFeedback();
      break;
    case kToolShape:
      ClearMarks();
      if (m_feedbackDrawn != 0) {
        for (const DrawItemPtr& item : m_shapeList) DrawItem(item.get(), kDrawXor);
      }
      break;
    case kToolInsert:
      if (m_feedbackDrawn != 0) {
        ClearGrips();
        DrawSymbolFeedback(nullptr);
      }
      break;
    case kToolMove:
      // Every sub-mode shows the items it moves in exclusive-or while dragging.
      if (m_feedbackDrawn != 0) {
        ClearGrips();
        for (CDrawItem* item : m_pickList) DrawItem(item, kDrawXor);
      }
      break;
    case kToolCopy:
      // Only the copies and the grip dragging them go: the chosen items' grips stay shown.
      if (m_feedbackDrawn != 0) EraseCopyFeedback();
      break;
    case kToolOrigin:
      ClearMarks();
      break;
    case kToolRotate:
    case kToolReflect:
    case kToolEnlarge:
    case kToolStretch:
      // The centre's mark and the mirror or fixed line, while they are being placed.
      if (m_clickStep >= 3) {
        ClearMarks();
        MoveGuideLine(0);
      }
      break;
    case kToolModify:
      // The curve or dimension being dragged.
      if (m_feedbackDrawn != 0 &&
          (g_toolState == kStateControlPointDrag || g_toolState == kStateDimensionDrag)) {
        DrawItem(GetPicked(0), kDrawXor);
      }
      break;
    default:
      break;
  }
  m_feedbackDrawn = 0;
  if (IsRubberBandTool() != 0 && IsRubberBandVisible() != 0) {
    HideRubberBand();
    SetRubberBandVisible(0);
    m_clickStep = 0;
  }
}

// ---- Cancelling ----

void CEditDrawing::CancelOperation() {
  LogScope trace(2401);
  AbandonGesture();
  FinishText();
  trace.Exit();
}

void CEditDrawing::AbandonGesture() {
  if (m_clickStep == 0) return;
  HideCrossHairs();
  EraseFeedback();
  switch (g_currentTool) {
    case kToolLine:
    case kToolArc:
    case kToolCircle:
    case kToolEllipse:
    case kToolCurve:
    case kToolDimension:
      m_construction.reset();
      break;
    case kToolShape:
      m_shapeList.clear();
      break;
    case kToolCorner:
      if (m_clickStep >= 2) m_construction.reset();
      RollBackGesture();
      break;
    case kToolInsert:
      RestoreSymbolPlace();
      break;
    case kToolMove:
      AbandonMove();
      break;
    case kToolCopy:
      for (CDrawItem* item : m_pickList) delete item;
      m_pickList.clear();
      break;
    case kToolModify:
      AbandonModifyDrag();
      break;
    default:
      break;
  }
  // A group a gesture left open is closed, so that the next action is a step of its own.
  if (GetDocument() != nullptr && GetDocument()->GetJournal().groupState != 0) {
    GetDocument()->SetUndoGroup(0);
  }
  GetOwnerView().SetPromptText(0);
  m_clickStep = 0;
  RestoreCrossHairs();
}

void CEditDrawing::RollBackGesture() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  // Only what this gesture recorded is taken back: with nothing recorded the newest step is
  // the user's previous action, which cancelling must leave alone.
  const bool recorded = document->GetJournal().groupState == 2;
  document->SetUndoGroup(0);
  if (!recorded) return;
  CClientDC dc(*this);
  document->Undo(&dc.get(), &GetMapping(), 0);
}

void CEditDrawing::FinishText() {
  if (m_textState > kTextKept) {
    SetGlitchValue(m_textState);
    ReportGlitch(2402, 2);
    return;
  }
  if (m_textState == kTextNone || m_textState == kTextKept) return;
  if (m_textState == kTextEditing && GetPickCount() != 1) {
    SetGlitchValue(GetPickCount());
    ReportGlitch(2402, 1);
    return;
  }
  CDrawItem* text = GetEditedText();
  if (text != nullptr) {
    {
      CClientDC dc(*this);
      text->HideCaret(&dc.get(), &GetMapping());
    }
    text->CheckSpelling(this);
  }
  EndText(1);
}

CDrawItem* CEditDrawing::GetEditedText() const {
  if (m_textState == kTextTyping) return m_construction.get();
  if (m_textState == kTextEditing && GetPickCount() == 1) return GetPicked(0);
  return nullptr;
}

zeph::CDrawContext* CEditDrawing::GetDrawContext() {
  if (!m_textDc) m_textDc = std::make_unique<CClientDC>(*this);
  return &m_textDc->get();
}

int CEditDrawing::TextKey(unsigned key, int isVirtual) {
  LogScope trace(2404);
  StopTimer(kTimerCaret);
  CDrawItem* text = GetEditedText();
  if (text == nullptr) return trace.Return(0);
  std::int16_t outcome = kEditGoesOn;
  const int used = text->EditKey(GetDrawContext(), this, key, isVirtual, outcome);
  m_textDc.reset();
  if (used != 0) {
    if (outcome != kEditGoesOn) {
      EndText(outcome);
    } else {
      StartTimer(kTimerCaret, 0);
    }
  }
  return trace.Return(used);
}

void CEditDrawing::EndText(int commit) {
  LogScope trace(2405);
  StopTimer(kTimerCaret);
  CZephDoc* document = GetDocument();
  const int state = m_textState;
  if (state == kTextTyping) {
    DrawItemPtr text = std::move(m_construction);
    const CDrawItem* added = text.get();
    if (commit == 1 && text && text->GetTextLength() > 0 && document != nullptr &&
        document->AddItem(text) == 1) {
      DrawItem(added, kDrawOwnColour);
    }
    text.reset();  // an empty, cancelled or refused text goes
  } else if (state == kTextEditing) {
    if (commit == 1 && GetPickCount() == 1 && document != nullptr) {
      CDrawItem* text = GetPicked(0);
      if (text->GetTextLength() > 0) {
        text->Select();
        DrawItem(text, kDrawHighlight);
      } else {
        document->RemoveItem(text);
      }
    }
    m_pickList.clear();
  }
  m_textState = kTextNone;
  if (state == kTextTyping || state == kTextEditing) SetPrompt(0);
  // The keys go back to the view around the drawing (past the scroll area it sits in).
  QWidget* view = parentWidget();
  if (const auto* area = qobject_cast<QAbstractScrollArea*>(view);
      area != nullptr && area->viewport() == this) {
    view = view->parentWidget();
  }
  if (view != nullptr) view->setFocus();
  trace.Exit();
}

void CEditDrawing::OnChar(int character, int repeat, unsigned flags) {
  if (TextKey(static_cast<unsigned>(character), 0) == 0) {
    CDrawingWindow::OnChar(character, repeat, flags);
  }
}

void CEditDrawing::OnKeyDown(int key, int repeat, unsigned flags) {
  // Only the keys a text edits with reach it; Delete arrives as its own code.
  unsigned code = 0;
  switch (key) {
    case 0x25:  // Left
      code = kEditKeyLeft;
      break;
    case 0x27:  // Right
      code = kEditKeyRight;
      break;
    case 0x76:  // F7
      code = kEditKeyF7;
      break;
    case 0x2E:  // Delete
      code = kEditKeyDelete;
      break;
    default:
      break;
  }
  if (code == 0 || TextKey(code, 1) == 0) CDrawingWindow::OnKeyDown(key, repeat, flags);
}

// ---- Paint and size ----

void CEditDrawing::OnEraseBkgnd(CDrawContext& dc) {
  // Only cross-hairs on the screen are taken off and put back: hiding them again while a
  // caller keeps them hidden would lose its memory that they were shown.
  const bool hide = m_crossHairsShown != 0;
  if (hide) HideCrossHairs();
  CDrawingWindow::OnEraseBkgnd(dc);
  if (hide) RestoreCrossHairs();
}

void CEditDrawing::OnPaint(CDrawContext& dc) {
  LogScope trace(2418);
  const bool moveDrag = IsMoveDragRunning(m_clickStep, m_pickList.empty());
  const bool hideCrossHairs = m_crossHairsShown != 0;
  if (hideCrossHairs) HideCrossHairs();
  const bool breakOffered = m_breakPieceIndex >= 0 && m_breakItem != nullptr;
  // The item being broken is shown as the pieces already answered, not whole.
  const bool breakItemShown = breakOffered && m_breakItem->IsInvisible() == 0;
  if (breakItemShown) m_breakItem->SetInvisible();
  // The lines of a corner being sized are wiped off the screen and shown only in exclusive-or
  // with the new item: a repaint must leave them so.
  CDrawItem* cornerLines[2] = {nullptr, nullptr};
  if (g_currentTool == kToolCorner && m_clickStep >= 3 && m_construction) {
    for (int i = 0; i < 2; ++i) {
      CDrawItem* line = i == 0 ? m_corner.line1 : m_corner.line2;
      if (line != nullptr && line->IsInvisible() == 0) {
        line->SetInvisible();
        cornerLines[i] = line;
      }
    }
  }
  // So are the items a Move drag carries, in every sub-mode: drawn in their own colours here,
  // the next step of the drag would leave them behind.
  std::vector<CDrawItem*> moving;
  if (moveDrag) {
    for (CDrawItem* item : m_pickList) {
      if (item->IsInvisible() != 0) continue;
      item->SetInvisible();
      moving.push_back(item);
    }
  }
  PaintDrawing(dc);
  for (CDrawItem* line : cornerLines) {
    if (line != nullptr) line->ClearInvisible();
  }
  for (CDrawItem* item : moving) item->ClearInvisible();
  if (breakOffered) {
    if (breakItemShown) m_breakItem->ClearInvisible();
    // Every piece already answered "keep", the one just answered included.
    const int answered = std::min<int>(m_breakPieceIndex, static_cast<int>(g_splitPieces.size()));
    for (int i = 0; i < answered; ++i) {
      const auto index = static_cast<std::size_t>(i);
      if (index < g_splitKeep.size() && g_splitKeep[index] != 0 &&
          g_splitPieces[index] != nullptr) {
        g_splitPieces[index]->Draw(&dc, &GetMapping(), kDrawOwnColour, 0);
      }
    }
  }
  if (m_clickStep != 0 && m_feedbackDrawn != 0) {
    switch (g_currentTool) {
      case kToolLine:
      case kToolArc:
      case kToolCircle:
      case kToolEllipse:
      case kToolCurve:
      case kToolDimension:
        if (m_construction) m_construction->Draw(&dc, &GetMapping(), kDrawXor, 0);
        break;
      case kToolShape:
        for (const DrawItemPtr& item : m_shapeList) item->Draw(&dc, &GetMapping(), kDrawXor, 0);
        break;
      case kToolCorner:
        if (m_construction) {
          m_construction->Draw(&dc, &GetMapping(), kDrawXor, 0);
          if (m_corner.line1 != nullptr) m_corner.line1->Draw(&dc, &GetMapping(), kDrawXor, 0);
          if (m_corner.line2 != nullptr) m_corner.line2->Draw(&dc, &GetMapping(), kDrawXor, 0);
        }
        break;
      case kToolInsert:
        DrawSymbolFeedback(&dc);
        break;
      case kToolCopy:
        for (const CDrawItem* item : m_pickList) item->Draw(&dc, &GetMapping(), kDrawXor, 0);
        break;
      case kToolMove:
        if (moveDrag) {
          for (const CDrawItem* item : PickedInDragOrder(0)) {
            item->Draw(&dc, &GetMapping(), kDrawXor, 0);
          }
        }
        break;
      default:
        break;
    }
  }
  if (g_currentTool == kToolCurve && m_clickStep != 0 && m_construction) {
    // The curve's control lines shown so far go with the picture.
    for (int end = 0; end <= std::min(m_toolGesture.controlLine, 1); ++end) {
      DrawControlLine(end, dc, *m_construction);
    }
  }
  if (!breakOffered &&
      (g_toolState == kStateCurveHandles || g_toolState == kStateControlPointDrag) &&
      GetPickCount() > 0) {
    DrawCurveHandles(3, &dc);
  }
  if (hideCrossHairs) RestoreCrossHairs();
  trace.Exit();
}

void CEditDrawing::OnSize(int cx, int cy) {
  if (cx <= 0 || cy <= 0 || (cx == m_lastWidth && cy == m_lastHeight)) return;
  m_lastWidth = cx;
  m_lastHeight = cy;
  if (m_sizeHandling == 0) return;
  GetMapping().AdjustForHeight(cy);
  GetMapping().SetWindowExtent(cx, cy);
  GetMapping().SetClientSize(0, cy);
  UpdateScrollRanges(0);
}

void CEditDrawing::UpdateScrollRanges(int refreshExtents) {
  // Setting the bars can resize the window; that size is not a user's.
  const int sizeHandling = m_sizeHandling;
  m_sizeHandling = 0;
  CViewMapping& mapping = GetMapping();
  const std::int64_t s = std::max(mapping.scaleX, 1);
  const std::int64_t step = std::int64_t{kScrollUnit} * s;
  if (refreshExtents != 0) {
    CZephDoc* document = GetDocument();
    m_extentsValid = document != nullptr
                         ? document->GetExtents(&mapping, m_extentMinX, m_extentMinY, m_extentMaxX,
                                                m_extentMaxY, 1)
                         : 0;
  }
  const zeph::DcRect client = GetClientRect();
  std::int64_t left = client.left * s;
  std::int64_t top = client.top * s;
  std::int64_t right = client.right * s;
  std::int64_t bottom = client.bottom * s;
  if (m_extentsValid != 0) {
    left = std::min<std::int64_t>(left, m_extentMinX);
    right = std::max<std::int64_t>(right, m_extentMaxX);
    top = std::min<std::int64_t>(top, m_extentMinY);
    bottom = std::max<std::int64_t>(bottom, m_extentMaxY);
  }
  constexpr std::int64_t kLimitX = 50'000'000;
  constexpr std::int64_t kLimitY = 30'000'000;
  // A range that cannot hold one window (zoomed far out) still gives a valid bar.
  const auto clampInto = [](std::int64_t value, std::int64_t low, std::int64_t high) {
    return std::max(std::min(value, high), std::min(low, high));
  };

  ScrollState& vertical = VerticalScroll();
  const int height = client.bottom - client.top;
  std::int64_t page = std::int64_t{height / kScrollUnit} * step;
  const std::int64_t topLimit = std::min(bottom / step * step, kLimitY - page);
  const std::int64_t bottomLimit = std::max(top / step * step, page - kLimitY);
  const std::int64_t maximumY = std::max<std::int64_t>((page + topLimit - bottomLimit) / step, 0);
  const std::int64_t baseY = client.bottom * s + topLimit;
  const std::int64_t originY = clampInto(mapping.originY, baseY - maximumY * step, baseY);

  ScrollState& horizontal = HorizontalScroll();
  const int width = client.right - client.left;
  page = std::int64_t{width / kScrollUnit} * step;
  const std::int64_t rightLimit = std::min(right / step * step, kLimitX - page);
  const std::int64_t leftLimit = std::max(left / step * step, page - kLimitX);
  const std::int64_t maximumX = std::max<std::int64_t>((page + rightLimit - leftLimit) / step, 0);
  const std::int64_t baseX = leftLimit + client.left * s - page;
  const std::int64_t originX = clampInto(mapping.originX, baseX, baseX + maximumX * step);

  mapping.originX = static_cast<std::int32_t>(originX);
  mapping.originY = static_cast<std::int32_t>(originY);
  horizontal = {static_cast<std::int32_t>((originX - baseX) / step),
                static_cast<std::int32_t>(maximumX), width / kScrollUnit / 2,
                static_cast<std::int32_t>(baseX)};
  vertical = {static_cast<std::int32_t>((baseY - originY) / step),
              static_cast<std::int32_t>(maximumY), height / kScrollUnit / 2,
              static_cast<std::int32_t>(baseY)};
  PushScrollBars();
  m_sizeHandling = sizeHandling;
}
