// Steps that several tools take alike: starting and checking a drawing tool's construction
// item, the start and the drag of a Move or Copy gesture, and an Object tool's release.
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace {
constexpr int kMessageNoMemory = 224;
constexpr int kStepReleased = 2;
}  // namespace

bool CEditDrawing::BeginConstruction(int type, int prompt) {
  DrawItemPtr item = CreateToolItem(type);
  if (!item) return false;
  item->SetColour(g_drawingColour);
  item->SetObjectNumber(g_currentObject);
  item->SetPenWidth(1);
  m_construction = std::move(item);
  m_feedbackDrawn = 0;
  if (GetDocument() != nullptr) GetDocument()->GetSelectedPoints().RemoveAll();
  m_clickStep = 1;
  SetPrompt(prompt);
  return true;
}

CDrawItem* CEditDrawing::ConstructionOfKind(int type, int logCode) {
  CDrawItem* item = m_construction.get();
  if (item != nullptr && item->GetType() == type) return item;
  SetGlitchValue(m_clickStep);
  ReportGlitch(logCode, 1);
  m_clickStep = 0;
  return nullptr;
}

void CEditDrawing::DropConstruction() {
  ClearMarks();
  m_construction.reset();
  m_clickStep = 0;
  SetPrompt(0);
}

CZephDoc* CEditDrawing::GestureDocument() {
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    m_clickStep = 0;
    return nullptr;
  }
  SetSnapDistance();
  return document;
}

void CEditDrawing::DropPickForMemory() {
  m_pickList.clear();
  if (GetDocument() != nullptr) GetDocument()->SetUndoGroup(0);
  ShowWarning(kMessageNoMemory);
}

void CEditDrawing::DragPointsToSnap(const CItemRefList& points) {
  CZephDoc* document = GetDocument();
  if (document == nullptr) return;
  const int dx = g_snapPoint.x - m_moveLast.x;
  const int dy = g_snapPoint.y - m_moveLast.y;
  for (std::uint16_t i = 0; i < points.GetCount(); ++i) {
    document->MoveRefPoint(points.GetAt(i), dx, dy);
  }
  for (CDrawItem* item : m_pickList) item->Normalise();
  m_moveLast = g_snapPoint;
}

CDrawItem* CEditDrawing::ObjectItemAtRelease(bool& released) {
  released = m_clickStep == kStepReleased;
  if (!released) return nullptr;
  m_clickStep = 0;
  CDrawItem* item = NearestItemAtRelease();
  if (item != nullptr) ShowChoiceIfHidden();
  return item;
}
