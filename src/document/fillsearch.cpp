// The fill search: from one clicked point to the fill of the closed region around it, with
// the closed outlines inside it as holes, found from the drawing's curve items alone.
//
// Duplicates and overlaps are settled first, for the search only: an item that repeats or
// lies within another is left out, and collinear pieces that overlap are joined by moving an
// end of one of them for a while. Then the nearest crossing of an item to the left of the
// point starts a walk round an outline (trace.cpp); the first outline that holds the point
// is the fill's boundary. Every item gets its own ends back before the search returns,
// whatever happened, so the drawing is exactly as it was; the search records no undo step.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "document/document.h"
#include "document/fillsearch.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/usedsegments.h"
#include "platform/desktop.h"
#include "support/log.h"
#include "support/registry.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogFill = 1223;
constexpr int kMessageNoBoundary = 368;
constexpr int kMessageCannotFill = 369;

// Used codes of the search (see usedsegments.h).
constexpr int kCodeHidden = -1;
constexpr int kCodeCannotBound = -2;
constexpr int kCodeDuplicate = -3;
constexpr int kCodeAccepted = 1;
constexpr int kCodeFailedHole = 2;
constexpr int kCodeRejected = 20;

// How far beyond its box an item's crossings may be reported (the intersection routines
// accept points a unit or two past an end).
constexpr int kBoxMargin = 16;

// Gives every item its code for this search (left out, or available), and settles the
// duplicates and overlaps among the available ones. The boxes of the items as they are for
// the search go to `boxes`, the items left available to `grid`; true when some end was
// moved.
bool SettleDuplicates(CZephDoc& doc, std::vector<ItemBox>& boxes, CBoxGrid& grid) {
  const int count = doc.GetItemCount();
  boxes.assign(static_cast<std::size_t>(count), ItemBox());
  bool extentSet = false;
  ItemBox extent;
  for (int i = 0; i < count; ++i) {
    CDrawItem* item = doc.GetItem(i);
    if (item->IsHidden() != 0 || item->CanBound() == 0) continue;
    item->CommitEndMoves();
    const ItemBox box = GetItemBox(item);
    boxes[static_cast<std::size_t>(i)] = box;
    if (!extentSet) {
      extent = box;
      extentSet = true;
    } else {
      extent.minX = std::min(extent.minX, box.minX);
      extent.minY = std::min(extent.minY, box.minY);
      extent.maxX = std::max(extent.maxX, box.maxX);
      extent.maxY = std::max(extent.maxY, box.maxY);
    }
  }

  grid = CBoxGrid(extent, count);
  std::vector<int> neighbours;
  bool moved = false;
  for (int i = 0; i < count; ++i) {
    CDrawItem* item = doc.GetItem(i);
    if (item->IsHidden() != 0) {
      item->MarkAllUsed(kCodeHidden);
      continue;
    }
    if (item->CanBound() == 0) {
      item->MarkAllUsed(kCodeCannotBound);
      continue;
    }
    item->MarkAllUsed(0);
    ItemBox& box = boxes[static_cast<std::size_t>(i)];
    bool again = true;
    bool done = false;
    while (again && !done) {
      again = false;
      // Only earlier items are in the grid, and only those whose boxes meet can compare
      // as anything but unrelated; they come in list order, as a plain pass would take them.
      grid.Query(box, neighbours);
      for (const int j : neighbours) {
        CDrawItem* other = doc.GetItem(j);
        if (other->GetUsedState() != 0) continue;
        const auto relation = static_cast<std::int16_t>(item->Compare(other));
        switch (relation) {
          case 0:
            continue;
          case 1:
          case 2:
            other->MarkAllUsed(kCodeDuplicate);
            done = true;
            break;
          case 3:
            item->MarkAllUsed(kCodeDuplicate);
            done = true;
            break;
          case -1:
            moved = true;
            item->MergeOverlap(other);
            other->MarkAllUsed(kCodeDuplicate);
            box = GetItemBox(item);
            again = true;
            break;
          case -2:
            moved = true;
            item->TrimOverlap(other);
            box = GetItemBox(item);
            continue;
          default:
            SetGlitchValue(relation);
            SetGlitchValue(count);
            SetGlitchValue(j);
            ReportGlitch(kLogFill, 1);
            continue;
        }
        break;
      }
    }
    if (item->GetUsedState() == 0) grid.Insert(i, box);
  }
  return moved;
}

// The nearest crossing strictly left of (x, y) of an available item: its index, or -1.
int FindStartLeft(CZephDoc& doc, int x, int y, int& startX) {
  int best = -1;
  int bestX = 0;
  const int count = doc.GetItemCount();
  const bool useBoxes = g_searchBoxes.IsFor(&doc, count);
  int i = 0;
  int k = 0;
  try {
    for (i = 0; i < count; ++i) {
      if (useBoxes) {
        const ItemBox& box = g_searchBoxes.boxes[static_cast<std::size_t>(i)];
        if (y < box.minY || y > box.maxY || x < box.minX) continue;
      }
      CDrawItem* item = doc.GetItem(i);
      if (item->GetUsedState() != 0) continue;
      const int n = item->IntersectScanLine(y);
      for (k = 0; k < n; ++k) {
        const int cx = g_intersectX[static_cast<std::size_t>(k)];
        if (cx < x && (best < 0 || cx > bestX)) {
          best = i;
          bestX = cx;
        }
      }
    }
  } catch (const std::exception& e) {
    // The scan ends here, with the best crossing found so far.
    SetGlitchMessage(QString::fromUtf8(e.what()));
    SetGlitchValue(GetExceptionKind(e));
    SetGlitchValue(i);
    SetGlitchValue(doc.GetItem(i)->GetType());
    SetGlitchValue(k);
    ReportGlitch(kLogFill, 2);
  }
  startX = bestX;
  return best;
}

// The available item whose rightmost point lies furthest right inside the outer boundary and
// outside every hole found so far: its index, or -1.
int FindHoleStart(CZephDoc& doc, const CBoundaryLoop& outer, const CDrawItem& fill, int& startX,
                  int& startY) {
  ItemBox outerBox;
  outer.GetBoundingBox(outerBox.minX, outerBox.minY, outerBox.maxX, outerBox.maxY);
  const int count = doc.GetItemCount();
  const bool useBoxes = g_searchBoxes.IsFor(&doc, count);
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (useBoxes && !outerBox.Meets(g_searchBoxes.boxes[static_cast<std::size_t>(i)])) continue;
    CDrawItem* item = doc.GetItem(i);
    try {
      const int state = item->GetUsedState();
      if (state != 0 && state <= 50) continue;
      int rx = 0;
      int ry = 0;
      item->GetRightmostPoint(rx, ry);
      if (outer.ContainsPoint(rx, ry, 0) == 0 || fill.IsInHole(rx, ry) != 0) continue;
      if (best < 0 || rx > startX) {
        best = i;
        startX = rx;
        startY = ry;
      }
    } catch (const std::exception& e) {
      SetGlitchValue(GetExceptionKind(e));
      SetGlitchValue(i);
      SetGlitchValue(item->GetType());
      ReportGlitch(kLogFill, 5);
    }
  }
  return best;
}

// Puts back what the search changed for its duration: every item's own ends, the boxes and
// the cursor. Runs once, at the latest when the search is left.
class CSearchScope {
 public:
  explicit CSearchScope(CZephDoc& doc)
      : m_doc(doc), m_cursor(zeph::GetDesktop().SetCursor(zeph::CursorShape::kWait)) {}
  ~CSearchScope() { Finish(); }
  CSearchScope(const CSearchScope&) = delete;
  CSearchScope& operator=(const CSearchScope&) = delete;

  void Finish() {
    if (m_finished) return;
    m_finished = true;
    // Every item, whatever code it ended with: an item merged with another and later left
    // out would otherwise keep its moved end.
    const int count = m_doc.GetItemCount();
    for (int i = 0; i < count; ++i) m_doc.GetItem(i)->RestoreEnds();
    g_searchBoxes = SearchBoxes();
    zeph::GetDesktop().SetCursor(m_cursor);
  }

 private:
  CZephDoc& m_doc;
  zeph::CursorShape m_cursor;
  bool m_finished = false;
};

}  // namespace

CBoxGrid::CBoxGrid(const ItemBox& extent, int itemCount) : m_extent(extent) {
  m_size = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(itemCount))), 1, 512);
  const std::int64_t width = static_cast<std::int64_t>(extent.maxX) - extent.minX + 1;
  const std::int64_t height = static_cast<std::int64_t>(extent.maxY) - extent.minY + 1;
  m_cellWidth = std::max<std::int64_t>(1, (width + m_size - 1) / m_size);
  m_cellHeight = std::max<std::int64_t>(1, (height + m_size - 1) / m_size);
  m_cells.resize(static_cast<std::size_t>(m_size) * static_cast<std::size_t>(m_size));
}

void CBoxGrid::Insert(int index, const ItemBox& box) {
  int c0 = 0;
  int r0 = 0;
  int c1 = 0;
  int r1 = 0;
  Cells(box, c0, r0, c1, r1);
  // An item across much of the drawing is met by nearly every query: kept apart.
  if (static_cast<std::int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > 4 * m_size) {
    m_large.push_back(index);
    return;
  }
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) m_cells[Slot(c, r)].push_back(index);
  }
}

void CBoxGrid::Query(const ItemBox& box, std::vector<int>& out) const {
  out.assign(m_large.begin(), m_large.end());
  if (m_cells.empty()) return;
  int c0 = 0;
  int r0 = 0;
  int c1 = 0;
  int r1 = 0;
  Cells(box, c0, r0, c1, r1);
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const std::vector<int>& cell = m_cells[Slot(c, r)];
      out.insert(out.end(), cell.begin(), cell.end());
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

int CBoxGrid::Column(std::int64_t x) const {
  return static_cast<int>(std::clamp<std::int64_t>((x - m_extent.minX) / m_cellWidth, 0, m_size - 1));
}

int CBoxGrid::Row(std::int64_t y) const {
  return static_cast<int>(std::clamp<std::int64_t>((y - m_extent.minY) / m_cellHeight, 0, m_size - 1));
}

void CBoxGrid::Cells(const ItemBox& box, int& c0, int& r0, int& c1, int& r1) const {
  c0 = Column(box.minX);
  c1 = Column(box.maxX);
  r0 = Row(box.minY);
  r1 = Row(box.maxY);
}

SearchBoxes g_searchBoxes;

ItemBox GetItemBox(const CDrawItem* item) {
  item->CalcBoundingBox(nullptr);
  const auto widen = [](std::int32_t v, int by) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(v) + by, INT32_MIN, INT32_MAX));
  };
  return {widen(g_itemBounds.minX, -kBoxMargin), widen(g_itemBounds.minY, -kBoxMargin),
          widen(g_itemBounds.maxX, kBoxMargin), widen(g_itemBounds.maxY, kBoxMargin)};
}

void CZephDoc::RenumberUsedMarks(int code) {
  const int from = m_fillSearch.traceCode;
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) GetItem(i)->RenumberUsed(from, code);
}

void CZephDoc::ClearUsedMarksFrom(int code) {
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) GetItem(i)->ClearUsedFrom(code);
}

DrawItemPtr CZephDoc::FillAreaAtPoint(int x, int y) {
  LogScope trace(kLogFill);
  LogNumber(x);
  LogNumber(y);
  FillSearchState& state = m_fillSearch;
  CSearchScope scope(*this);
  state.x = x;
  state.y = y;
  state.outerLoop = nullptr;
  state.holeSearch = 0;

  DrawItemPtr fill;
  bool internalFailure = false;
  bool gaveUp = false;
  const auto fail = [&]() {
    fill.reset();
    state.outerLoop = nullptr;
    state.holeSearch = 0;
    scope.Finish();
    ShowWarning(internalFailure && !gaveUp ? kMessageCannotFill : kMessageNoBoundary);
    return trace.Return(DrawItemPtr(), kLogInvalid);
  };
  const auto outOfMemory = [&]() {
    fill.reset();
    state.outerLoop = nullptr;
    state.holeSearch = 0;
    scope.Finish();
    ShowOutOfMemory();
    return trace.Return(DrawItemPtr(), kLogMemory);
  };

  try {
    std::vector<ItemBox> boxes;
    CBoxGrid grid;
    SettleDuplicates(*this, boxes, grid);
    g_searchBoxes.document = this;
    g_searchBoxes.boxes = std::move(boxes);
    g_searchBoxes.grid = std::move(grid);

    trace.Step(5);
    fill = CreateItem(kItemFill);
    if (!fill) return outOfMemory();

    // Each rejected start leaves an item or a piece of one marked, so the starts run out;
    // the bound only makes sure of it.
    const int count = GetItemCount();
    bool found = false;
    for (int attempt = 0; attempt <= count && !found; ++attempt) {
      trace.Step(10);
      int startX = 0;
      const int start = FindStartLeft(*this, x, y, startX);
      trace.Step(14);
      if (start < 0) break;
      CDrawItem* startItem = GetItem(start);
      std::unique_ptr<CBoundaryLoop> loop = TraceBoundary(startItem, startX, y);
      if (!loop) {
        trace.Step(15);
        if (WasPathNodeLimitReached()) {
          gaveUp = true;
          break;
        }
        if (state.traceFailure < 0) internalFailure = true;
        ClearUsedMarksFrom(-1);
        startItem->MarkAllUsed(kCodeRejected);
        continue;
      }
      if (loop->ContainsPoint(x, y, 0) != 0) {
        trace.Step(17);
        RenumberUsedMarks(kCodeAccepted);
        fill->AttachBoundary(std::move(loop));
        state.outerLoop = fill->GetBoundary();
        found = true;
        break;
      }
      loop.reset();
      RenumberUsedMarks(kCodeRejected);
    }
    if (!found || state.outerLoop == nullptr) return fail();

    // Rejected outlines may still be holes.
    for (int i = 0; i < count; ++i) GetItem(i)->ClearUsedCode(kCodeRejected);
    state.holeSearch = 1;

    for (int attempt = 0;; ++attempt) {
      trace.Step(20);
      if (attempt > count) {
        gaveUp = true;
        return fail();
      }
      int startX = 0;
      int startY = 0;
      const int start = FindHoleStart(*this, *state.outerLoop, *fill, startX, startY);
      if (start < 0) break;
      trace.Step(25);
      CDrawItem* startItem = GetItem(start);
      std::unique_ptr<CBoundaryLoop> hole = TraceBoundary(startItem, startX, startY);
      if (hole) {
        trace.Step(26);
        RenumberUsedMarks(kCodeAccepted);
        fill->AddHole(std::move(hole));
        if (hole) return outOfMemory();
      } else {
        trace.Step(27);
        if (WasPathNodeLimitReached()) {
          gaveUp = true;
          return fail();
        }
        ClearUsedMarksFrom(-1);
        startItem->MarkAllUsed(kCodeFailedHole);
      }
    }
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }

  trace.Step(30);
  scope.Finish();
  return trace.Return(std::move(fill));
}
