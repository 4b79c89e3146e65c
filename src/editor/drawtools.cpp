// What the drawing tools share: making the item of a first press, the rubber band, handing
// the finished item to the drawing, and the lines of a shape.
#include <algorithm>
#include <new>

#include "document/document.h"
#include "document/undostep.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace {
constexpr int kMessageNoMemory = 224;
}  // namespace

DrawItemPtr CEditDrawing::CreateToolItem(int type) {
  DrawItemPtr item;
  try {
    item = CreateItem(type);
  } catch (const std::bad_alloc&) {
    item.reset();
  }
  if (!item) {
    if (GetDocument() != nullptr) GetDocument()->SetUndoGroup(0);
    ShowWarning(kMessageNoMemory);
  }
  return item;
}

void CEditDrawing::RemoveRubberBand() {
  if (m_feedbackDrawn == 0) return;
  DrawItem(m_construction.get(), kDrawXor);
  m_feedbackDrawn = 0;
}

void CEditDrawing::DrawRubberBand() {
  if (!m_construction) return;
  DrawItem(m_construction.get(), kDrawXor);
  m_feedbackDrawn = 1;
}

void CEditDrawing::FinishConstruction() {
  RemoveRubberBand();
  DrawItemPtr item = std::move(m_construction);
  const CDrawItem* added = item.get();
  CZephDoc* document = GetDocument();
  if (item && document != nullptr && document->AddItem(item) == 1) {
    DrawItem(added, kDrawOwnColour);
  }
  item.reset();  // refused: the drawing has shown any message
  m_clickStep = 0;
}

const CDrawItem* CEditDrawing::GetShapeLine(int index) const {
  return index >= 0 && index < GetShapeLineCount()
             ? m_shapeList[static_cast<std::size_t>(index)].get()
             : nullptr;
}

int CEditDrawing::MakeShapeLines(int count) {
  CZephDoc* document = GetDocument();
  m_shapeList.clear();
  try {
    // Room for the whole shape at once, at least 100 lines, so a shape never grows the list.
    m_shapeList.reserve(static_cast<std::size_t>(std::max(count, 100)));
    const int group = document->NewGroupNumber();
    for (int i = 0; i < count; ++i) {
      DrawItemPtr line = CreateItem(kItemLine);
      if (!line) throw std::bad_alloc();
      line->SetColour(g_drawingColour);
      line->SetPenWidth(1);
      // A shape's sides are unbroken whatever style lines are drawn in.
      line->SetLineStyle(kLineStyleUnbroken);
      line->SetObjectNumber(g_currentObject);
      line->SetGroupNumber(group);
      m_shapeList.push_back(std::move(line));
    }
  } catch (const std::bad_alloc&) {
    m_shapeList.clear();
    document->SetUndoGroup(0);
    ShowWarning(kMessageNoMemory);
    return 0;
  }
  return 1;
}

void CEditDrawing::ToggleShapeFeedback() {
  for (const DrawItemPtr& line : m_shapeList) DrawItem(line.get(), kDrawXor);
  m_feedbackDrawn = m_feedbackDrawn != 0 ? 0 : 1;
}

void CEditDrawing::FinishShape() {
  CZephDoc* document = GetDocument();
  ClearMarks();
  if (m_feedbackDrawn != 0) ToggleShapeFeedback();
  {
    const CUndoStep step(document);
    for (DrawItemPtr& line : m_shapeList) {
      const CDrawItem* added = line.get();
      if (document->AddItem(line) == 1) {
        DrawItem(added, kDrawOwnColour);
      } else {
        line.reset();  // the others of the shape stay
      }
    }
  }
  m_shapeList.clear();
  m_clickStep = 0;
  SetPrompt(0);
}

void CEditDrawing::ToggleControlLine(int end) {
  if (!m_construction) return;
  CClientDC dc(*this);
  DrawControlLine(end, dc.get(), *m_construction);
}
