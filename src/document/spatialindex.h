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
// Boxes are in drawing units and come from the item's own CalcBoundingBox, widened a little
// so that rounding and pen widths never leave a drawn pixel or a picked point outside. The
// kinds whose box depends on the view (texts, dimensions) and fills are not boxed: every
// query answers them. Items are answered in list order, so painting stays in list order.
//
// The boxes live in a packed tree built all at once; items added or changed since go to a
// short list that every query also looks at, and the tree is rebuilt when that list grows.
#include <algorithm>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

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
  // Items whose boxes meet box, and every unboxed item, in list order, into out (emptied).
  void Collect(const Box& box, std::span<const DrawItemPtr> list,
               std::vector<const CDrawItem*>& out);

  // Visits the items whose boxes lie within bound of (x, y), roughly nearest first (unboxed
  // items first, at distance 0). visit(item, boxDistance) answers the bound from then on,
  // which may only shrink; items whose boxes lie further away are not visited.
  template <typename Visit>
  void VisitNearest(double x, double y, std::span<const DrawItemPtr> list, double bound,
                    Visit&& visit);

  // The item's place in list order, comparable between items of the last query.
  std::int64_t RankOf(const CDrawItem* item) const;

  // The widest pen of the boxed items, in pixels (never less than 1).
  int GetWidestPen() const { return m_widestPen; }

  // For tests: the number of items held, and whether an item is held with a box.
  int GetCount() const { return static_cast<int>(m_ids.size()); }
  bool HoldsBox(const CDrawItem* item, Box& box);

  // Whether the item's box is kept (its kind's box does not depend on the view).
  static bool IsBoxed(const CDrawItem& item);
  // The item's box, widened as the index keeps it.
  static Box BoxOf(const CDrawItem& item);

 private:
  enum class Place : std::uint8_t { kTree, kPending, kUnboxed, kGone };
  struct Record {
    const CDrawItem* item = nullptr;
    Box box;
    std::int64_t rank = -1;
    Place place = Place::kPending;
    bool boxKnown = false;
  };
  struct Node {
    Box box;
    std::uint32_t first = 0;  // children: nodes, or records for a leaf
    std::uint32_t count = 0;
    bool leaf = false;
  };
  struct Step {
    double distance;
    std::uint32_t node;
    bool operator>(const Step& other) const { return distance > other.distance; }
  };

  void Refresh(std::span<const DrawItemPtr> list);
  void RefreshRanks(std::span<const DrawItemPtr> list);
  void Rebuild();
  void KnowBox(Record& record);
  static bool Meets(const Box& a, const Box& b) {
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
  }
  static double DistanceTo(const Box& b, double x, double y);

  std::vector<Record> m_records;
  std::unordered_map<const CDrawItem*, std::uint32_t> m_ids;
  std::vector<std::uint32_t> m_pending;  // records added or changed since the tree was built
  std::vector<std::uint32_t> m_unboxed;
  std::vector<Node> m_nodes;             // root first
  std::vector<std::uint32_t> m_leafIds;  // records in tree order
  std::vector<Step> m_heap;              // storage of the nearest-first walk
  std::vector<std::uint32_t> m_stack;    // storage of the box walk
  std::vector<std::uint32_t> m_found;
  std::size_t m_gone = 0;                // records removed since the last rebuild
  std::int64_t m_lastRank = -1;          // the rank of the last item of the list
  std::size_t m_unranked = 0;            // records added whose place is not known yet
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
    const double d = DistanceTo(r.box, x, y);
    if (d <= bound) bound = visit(r.item, d);
  }
  if (m_nodes.empty()) return;
  m_heap.clear();
  m_heap.push_back({DistanceTo(m_nodes[0].box, x, y), 0});
  const auto greater = [](const Step& a, const Step& b) { return a > b; };
  while (!m_heap.empty()) {
    std::pop_heap(m_heap.begin(), m_heap.end(), greater);
    const Step step = m_heap.back();
    m_heap.pop_back();
    if (step.distance > bound) break;
    const Node& node = m_nodes[step.node];
    for (std::uint32_t k = 0; k < node.count; ++k) {
      if (node.leaf) {
        const Record& r = m_records[m_leafIds[node.first + k]];
        if (r.place != Place::kTree) continue;
        const double d = DistanceTo(r.box, x, y);
        if (d <= bound) bound = visit(r.item, d);
      } else {
        const std::uint32_t child = node.first + k;
        const double d = DistanceTo(m_nodes[child].box, x, y);
        if (d <= bound) {
          m_heap.push_back({d, child});
          std::push_heap(m_heap.begin(), m_heap.end(), greater);
        }
      }
    }
  }
}
