#pragma once
// A spatial index over the items of one drawing, so that a view showing a small part of a
// large drawing draws (and a click picks) among the items near it instead of all of them.
//
// The document keeps it in step: every item it lists is added, every item it unlists is
// removed, an item whose geometry changes is touched (through the same call that drops its
// cached intersections, which uses nothing of the item but its address), and a change of the
// list's order is reported. The index itself never reads an item except while answering a
// query, when every item it holds is listed and whole.
//
// Items are filed in the cells of a grid that their curves cross (itemcells.h), so that a
// long line or a large circle is met only where it runs, not wherever its box reaches; a
// circle or an ellipse is filed by its centre too, where a click picks it. Boxes, in drawing
// units from the item's own CalcBoundingBox widened a little so that rounding and pen widths
// never leave a drawn pixel or a picked point outside, are kept for a first test. The kinds
// whose box depends on the view (texts, dimensions) and fills are not filed: every query
// answers them. Items are answered in list order, so painting stays in list order.
//
// The grid is built all at once; items added or changed since go to a short list that every
// query also looks at, and the grid is rebuilt when that list grows.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/itemcells.h"
#include "items/drawitem.h"

class CSpatialIndex {
 public:
  struct Box {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
  };

  CSpatialIndex() = default;
  CSpatialIndex(const CSpatialIndex&) = delete;
  CSpatialIndex& operator=(const CSpatialIndex&) = delete;

  // ---- Kept in step by the document ----
  void Clear();
  // Room for count more items.
  void Reserve(std::size_t count);
  void Add(const CDrawItem* item);
  void Remove(const CDrawItem* item);
  // The item's geometry changed; only its address is used (it may be half destroyed).
  void Touch(const CDrawItem* item);
  // The item was added at the end of the list (its place follows every other item's).
  void Appended(const CDrawItem* item);
  // Items changed places in the list.
  void OrderChanged() { m_orderKnown = false; }

  // ---- Queries (list: the document's item list, which the index must match) ----
  // Items whose curves come within their margin of box, and every unboxed item, in list
  // order, into out (emptied).
  void Collect(const Box& box, std::span<const DrawItemPtr> list,
               std::vector<const CDrawItem*>& out);

  // Visits the items that may lie within bound of (x, y), roughly nearest first (unboxed
  // items first, at distance 0). visit(item, distance) gets a distance the item is not nearer
  // than and answers the bound from then on, which may only shrink; items further away than
  // the bound are not visited.
  template <typename Visit>
  void VisitNearest(double x, double y, std::span<const DrawItemPtr> list, double bound,
                    Visit&& visit);

  // The item's place in list order, comparable between items of the last query.
  std::int64_t RankOf(const CDrawItem* item) const;

  // The widest pen of the boxed items, in pixels (never less than 1).
  int GetWidestPen() const { return m_widestPen; }

  // For tests: the number of items held.
  int GetCount() const { return static_cast<int>(m_ids.size()); }

  // Whether the item's box is kept (its kind's box does not depend on the view).
  static bool IsBoxed(const CDrawItem& item);
  // The box of the item's curve, as its own CalcBoundingBox gives it (a curve's with its
  // control points, which hold the whole curve).
  static Box CurveBoxOf(const CDrawItem& item);
  // How far beyond its curve the index lets an item with that curve box reach: rounded
  // centres, the small angle allowances of picking, and the box's rounding in the index.
  static double MarginOf(const Box& curveBox);
  // The curve box widened by the margin: what a drawn pixel or a picked point never leaves.
  static Box BoxOf(const CDrawItem& item);
  // Whether a query for box answers the item: its curve, widened by its margin, meets box.
  static bool Answers(const CDrawItem& item, const Box& curveBox, const Box& box);

 private:
  enum class Place : std::uint8_t { kTree, kPending, kUnboxed, kGone };
  // What the curve box tells of the curve: a line along one of its diagonals, a whole
  // circle, or nothing more.
  enum class Shape : std::uint8_t { kOther, kRising, kFalling, kCircle };
  struct Record {
    const CDrawItem* item = nullptr;
    std::int64_t rank = -1;
    Place place = Place::kPending;
    bool boxKnown = false;
    Shape shape = Shape::kOther;
  };
  // A curve box in floats, rounded outward, kept apart from the records so that a query's
  // first tests read little memory.
  struct SmallBox {
    float minX = 0;
    float minY = 0;
    float maxX = 0;
    float maxY = 0;
  };

  void Refresh(std::span<const DrawItemPtr> list);
  void RefreshRanks(std::span<const DrawItemPtr> list);
  void Rebuild();
  void KnowBox(std::uint32_t id);
  Box CurveBox(std::uint32_t id) const;
  static bool Meets(const Box& a, const Box& b) {
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
  }
  static double DistanceTo(const Box& b, double x, double y);
  double CellDistance(int column, int row, double x, double y) const;
  // A distance from (x, y) that the item's pick distance is not below, from what the index
  // keeps alone; a few units short, so that equally near items are never told apart by it.
  double Nearest(std::uint32_t id, double x, double y) const;
  // Answers for a filed or pending record, from what the index keeps where that tells.
  bool AnswersRecord(std::uint32_t id, const Box& box) const;
  // The rounding of a record's small box, and a unit more.
  double SlackOf(std::uint32_t id) const;
  // Marks the record seen in this query; false when it was already.
  bool FirstSight(std::uint32_t id) {
    if (m_stamp[id] == m_stampNow) return false;
    m_stamp[id] = m_stampNow;
    return true;
  }
  void NewQuery();

  std::vector<Record> m_records;
  std::vector<SmallBox> m_boxes;  // by record, once known
  std::unordered_map<const CDrawItem*, std::uint32_t> m_ids;
  std::vector<std::uint32_t> m_pending;  // records added or changed since the grid was built
  std::vector<std::uint32_t> m_unboxed;
  CellGridShape m_grid;  // over the records filed when it was built
  bool m_gridBuilt = false;
  Box m_gridBox;                           // the curve boxes of the records filed, together
  double m_widestMargin = 0.0;             // of the records filed
  std::vector<std::uint32_t> m_cellStart;  // records of cell c: m_cellIds[start[c]..start[c+1])
  std::vector<std::uint32_t> m_cellIds;
  std::vector<std::uint32_t> m_stamp;  // by record: the query that last saw it
  std::uint32_t m_stampNow = 0;
  std::vector<std::pair<std::int64_t, std::uint32_t>> m_found;  // rank, record
  std::size_t m_gone = 0;        // records removed since the last rebuild
  std::int64_t m_lastRank = -1;  // the rank of the last item of the list
  std::size_t m_unranked = 0;    // records added whose place is not known yet
  int m_widestPen = 1;
  bool m_orderKnown = true;
};

template <typename Visit>
void CSpatialIndex::VisitNearest(double x, double y, std::span<const DrawItemPtr> list,
                                 double bound, Visit&& visit) {
  Refresh(list);
  for (std::uint32_t id : m_unboxed) {
    const Record& r = m_records[id];
    if (r.place == Place::kUnboxed) bound = visit(r.item, 0.0);
  }
  for (std::uint32_t id : m_pending) {
    const Record& r = m_records[id];
    if (r.place != Place::kPending) continue;
    const Box b = CurveBox(id);
    const double d = DistanceTo(b, x, y) - MarginOf(b);
    if (d <= bound) bound = visit(r.item, std::max(d, 0.0));
  }
  if (!m_gridBuilt) return;
  NewQuery();
  // Rings of cells round the point's cell, nearest first, while cells beyond the rings done
  // may still hold an item within the bound (an item reaches its margin beyond its cells).
  const int c0 = m_grid.ColumnOf(x);
  const int r0 = m_grid.RowOf(y);
  const double size = m_grid.cellSize;
  const auto visitCell = [&](int c, int r) {
    const double d = CellDistance(c, r, x, y) - m_widestMargin;
    if (d > bound) return;
    const std::uint32_t cell = m_grid.CellOf(c, r);
    for (std::uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
      const std::uint32_t id = m_cellIds[k];
      if (!FirstSight(id)) continue;
      const Record& rec = m_records[id];
      if (rec.place != Place::kTree) continue;
      const double nearest = std::max(d, Nearest(id, x, y));
      if (nearest > bound) continue;
      bound = visit(rec.item, std::max(nearest, 0.0));
    }
  };
  for (int ring = 0;; ++ring) {
    const int left = c0 - ring, right = c0 + ring, bottom = r0 - ring, top = r0 + ring;
    const int c1 = std::max(left, 0), c2 = std::min(right, m_grid.columns - 1);
    const int r1 = std::max(bottom, 0), r2 = std::min(top, m_grid.rows - 1);
    for (int c = c1; c <= c2; ++c) {
      if (bottom >= 0) visitCell(c, bottom);
      if (top != bottom && top < m_grid.rows) visitCell(c, top);
    }
    for (int r = std::max(r1, bottom + 1); r <= std::min(r2, top - 1); ++r) {
      if (left >= 0) visitCell(left, r);
      if (right != left && right < m_grid.columns) visitCell(right, r);
    }
    // Cells beyond this ring lie past one of its sides.
    double beyond = INFINITY;
    if (left > 0) beyond = std::min(beyond, x - (m_grid.originX + size * left));
    if (right < m_grid.columns - 1) {
      beyond = std::min(beyond, m_grid.originX + size * (right + 1) - x);
    }
    if (bottom > 0) beyond = std::min(beyond, y - (m_grid.originY + size * bottom));
    if (top < m_grid.rows - 1) beyond = std::min(beyond, m_grid.originY + size * (top + 1) - y);
    if (beyond == INFINITY || beyond - m_widestMargin > bound) break;
  }
}
