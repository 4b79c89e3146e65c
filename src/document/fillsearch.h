#pragma once
// What the fill search and the boundary tracer share besides the document's members: the
// bound on the path-node store, and the boxes of the items of the search in progress.
//
// The tracer's walk is a depth-first search that may come back to the same junctions along
// different paths, so on a dense drawing it could run for ever; the store therefore takes at
// most a bounded number of junctions per walk. A walk that reaches the bound fails quietly
// (trace failure code 2) and the fill search gives up with its ordinary message.
#include <cstddef>
#include <cstdint>
#include <vector>

class CDrawItem;
class CZephDoc;

// Junctions one walk may keep: far more than a walk round a region of a 10,000-item drawing
// needs (a room of the benchmark takes a few dozen).
inline constexpr int kPathNodeLimit = 256000;

// The bound in force (kPathNodeLimit unless a test lowered it).
int GetPathNodeLimit();
// For tests: another bound (0 or less restores kPathNodeLimit).
void SetPathNodeLimitForTest(int limit);
// Whether the last walk stopped at the bound.
bool WasPathNodeLimitReached();

// An item's box, widened by a few units: two items whose boxes do not meet have no crossing,
// so the passes skip them without asking the intersection routines.
struct ItemBox {
  std::int32_t minX = 0;
  std::int32_t minY = 0;
  std::int32_t maxX = 0;
  std::int32_t maxY = 0;
  bool Meets(const ItemBox& other) const {
    return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
  }
};
ItemBox GetItemBox(const CDrawItem* item);

// A grid over the drawing that finds the items whose boxes may meet a given box, so that the
// passes look at an item's neighbours instead of at every item of the drawing.
class CBoxGrid {
 public:
  CBoxGrid() = default;
  CBoxGrid(const ItemBox& extent, int itemCount);
  void Insert(int index, const ItemBox& box);
  // The indices inserted whose cells the box touches, ascending (list order), each once.
  void Query(const ItemBox& box, std::vector<int>& out) const;

 private:
  int Column(std::int64_t x) const;
  int Row(std::int64_t y) const;
  void Cells(const ItemBox& box, int& c0, int& r0, int& c1, int& r1) const;
  std::size_t Slot(int c, int r) const {
    return static_cast<std::size_t>(r) * static_cast<std::size_t>(m_size) +
           static_cast<std::size_t>(c);
  }

  ItemBox m_extent;
  int m_size = 1;
  std::int64_t m_cellWidth = 1;
  std::int64_t m_cellHeight = 1;
  std::vector<std::vector<int>> m_cells;
  std::vector<int> m_large;
};

// The boxes of the listed items while a fill search runs (by list index; the geometry is
// fixed once the duplicates are settled), and the grid of the items left available then.
// Empty, and so unused, at any other time.
struct SearchBoxes {
  const CZephDoc* document = nullptr;
  std::vector<ItemBox> boxes;
  CBoxGrid grid;
  bool IsFor(const CZephDoc* doc, int itemCount) const {
    return document == doc && static_cast<int>(boxes.size()) == itemCount;
  }
};
extern SearchBoxes g_searchBoxes;
