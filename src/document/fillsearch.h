#pragma once
// What the fill search and the boundary tracer share besides the document's members: the
// bounds on the work, and the index of the items of the search in progress.
//
// The tracer's walk is a depth-first search that may come back to the same junctions along
// different paths, so on a dense drawing it could run for ever; the store therefore takes at
// most a bounded number of junctions per walk. A walk that reaches the bound fails as when
// the store runs out (trace failure code 2): the search rejects that start and goes on. The
// whole search is bounded too, far beyond any drawing's need, and when it stops there it says
// that it could not fill, never that there is no boundary.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/itemcells.h"

class CBoundaryLoop;
class CDrawItem;
class CLoopScanIndex;
class CZephDoc;

// Junctions one walk may keep: far more than a walk round a region of a 10,000-item drawing
// needs (a room of the benchmark takes a few dozen).
inline constexpr int kPathNodeLimit = 256000;
// Work one search may do, in junctions met and candidates examined: minutes of work, which
// no drawing of the tests or benchmarks comes near.
inline constexpr std::int64_t kSearchWorkLimit = 4000000000LL;

// The bound in force (kPathNodeLimit unless a test lowered it).
int GetPathNodeLimit();
// For tests: another bound (0 or less restores kPathNodeLimit).
void SetPathNodeLimitForTest(int limit);
// Whether the last walk stopped at the bound.
bool WasPathNodeLimitReached();
// For tests: another bound on the work of a whole search (0 or less restores the limit), and
// the work the last search did.
void SetSearchWorkLimitForTest(std::int64_t limit);
std::int64_t GetLastSearchWorkForTest();

// For tests and benchmarks: the plain search, every pass walking the whole item list, to
// check the indexed search against (false restores the indexed search).
void SetPlainFillSearchForTest(bool plain);

// The items of a fill search, filed in the cells of a grid their curves cross (with a margin
// wider than the intersection routines' tolerance), so that each pass meets an item's
// neighbours instead of every item, and always in list order. Built once the items' codes
// are given; an item whose ends the settling of duplicates moves is kept apart as "moved"
// and offered to every query, since its cells no longer tell where it is.
class CSearchIndex {
 public:
  // What a shape other than a line compares by: its size and place, and how far apart two
  // shapes that may compare have them.
  struct ShapeOf {
    double size = 0.0;
    double x = 0.0;
    double y = 0.0;
    double tolerance = 0.0;
  };

  // Files every item that may bound a region (not hidden, of a kind that bounds).
  void Build(const CZephDoc& doc);
  void Clear();
  bool IsFor(const CZephDoc* doc, int itemCount) const {
    return m_doc == doc && doc != nullptr && m_itemCount == itemCount;
  }

  // The items filed in the cells that a point within the margin of the item's curve may lie in,
  // and the moved items; ascending, each once, the item itself left in.
  void Neighbours(const CDrawItem& item, std::vector<int>& out);
  // The earlier items (below `index`) that may compare as anything but unrelated with the
  // item at `index`: those of a kind it compares with whose curves come near enough to its
  // own for the comparison's tolerance, and the moved items; ascending.
  // `changed`: its ends have moved since it was filed.
  void CompareCandidates(int index, bool changed, std::vector<int>& out);
  // The items filed in the cells of the row through y up to x's column; ascending.
  void RowUpTo(int x, int y, std::vector<int>& out);
  // The items filed in the cells the rectangle meets; ascending.
  void InRect(double minX, double minY, double maxX, double maxY, std::vector<int>& out);

  // Item `index`'s ends moved while duplicates were settled.
  void NoteMoved(int index);

 private:
  struct Filed {
    double minX = 0.0;  // the item's box
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    double margin = 0.0;    // how far beyond its curve the item's cells reach
    double angle = 0.0;     // lines: direction in [0, pi)
    std::uint16_t cls = 0;  // its comparison class
  };
  // The cells of the item's curve with the margin (of its box, for a small item), into m_cells.
  void CellsOf(const CDrawItem& item, double minX, double minY, double maxX, double maxY,
               double margin);
  // The lines, by direction and then by the offset of their carriers from the middle of the
  // drawing: the candidates of a comparison of lines without looking along them.
  struct Carrier {
    double offset;
    int index;
    bool operator<(const Carrier& other) const {
      return offset < other.offset || (offset == other.offset && index < other.index);
    }
  };
  void BuildCarriers(const CZephDoc& doc);
  // Keeps of the lines in `out` the moved ones and those with both ends within reach of the
  // carrier through (x, y) in direction (dx, dy) of the given length.
  void KeepNearCarrier(double x, double y, double dx, double dy, double length, double reach,
                       std::vector<int>& out) const;
  double Offset(double x, double y, double angle) const;
  // The earlier lines within spread of the direction whose carriers come within reach of the
  // one through (x, y), with the moved items, ascending; false (and nothing) when there are
  // more than a few.
  bool NearCarrier(double x, double y, double angle, double spread, double reach, int below,
                   std::vector<int>& out);

  // The other kinds that bound, by kind, size step, place step across and place along: the
  // candidates of their comparisons, found by halving.
  struct ShapeKey {
    int kind;
    std::int64_t size;
    std::int64_t x;
    double y;
    int index;
    bool operator<(const ShapeKey& other) const {
      if (kind != other.kind) return kind < other.kind;
      if (size != other.size) return size < other.size;
      if (x != other.x) return x < other.x;
      if (y != other.y) return y < other.y;
      return index < other.index;
    }
  };
  void BuildShapes(const CZephDoc& doc);
  // The earlier shapes of the kind within the shape's tolerance, with the moved items.
  void SameShapes(int below, int kind, const ShapeOf& shape, std::vector<int>& out);

  // Classes of entries: lines by direction, then the kinds that compare among themselves.
  struct ClassRange {
    std::uint32_t first;
    std::uint32_t last;
  };
  // The entries of the cells in the ranges of classes, below the index given, with the moved
  // items; ascending, each once.
  void Collect(const std::vector<std::uint32_t>& cells, const ClassRange* ranges, int rangeCount,
               int below, std::vector<int>& out);
  void AddMoved(int below, std::vector<int>& out);
  // The items in `out` (each once) with the moved items not among them, ascending.
  void AddMovedOnce(int below, std::vector<int>& out);
  void SortAscending(std::vector<int>& out);

  const CZephDoc* m_doc = nullptr;
  int m_itemCount = 0;
  CellGridShape m_grid;
  double m_margin = 0.0;
  double m_extentDiagonal = 0.0;
  double m_centreX = 0.0;
  double m_centreY = 0.0;
  std::vector<std::uint32_t> m_carrierStart;  // lines of bucket b: [start[b], start[b+1])
  std::vector<Carrier> m_carriers;
  // The ends of each carrier's line, in the same order, apart so that halving stays compact.
  struct Ends {
    double x1, y1, x2, y2;
  };
  std::vector<Ends> m_carrierEnds;
  std::vector<ShapeKey> m_shapes;
  double m_shortestLine = 0.0;
  std::vector<std::uint32_t> m_cellStart;  // CSR: entries of cell c are [start[c], start[c+1])
  std::vector<std::uint32_t> m_entries;    // class << 24 | index, ascending within a cell
  std::vector<Filed> m_filed;              // by item index
  std::vector<std::uint8_t> m_isMoved;
  std::vector<int> m_moved;
  std::vector<int> m_always;  // kinds the index does not know: offered to every query
  std::vector<std::uint32_t> m_stamp;
  std::uint32_t m_stampNow = 0;
  // Scratch, kept with its storage between searches.
  std::vector<std::uint32_t> m_cells;
  std::vector<int> m_filedList;
  std::vector<int> m_byClass;
  std::vector<std::uint32_t> m_cellOf;
  std::vector<std::uint32_t> m_entryOf;
  std::vector<std::uint32_t> m_fillAt;
  std::vector<std::uint64_t> m_bits;
};

// The walk marks (codes 100 and up) of the search in progress, item by item in the order they
// were made, so that taking marks back and renumbering them touch only the items marked.
class CWalkMarks {
 public:
  void Note(CDrawItem* item, int index, int code) { m_marks.push_back({code, index, item}); }
  // Items marked with codes from `code` on, latest first, as f(item, index); they leave the
  // record.
  template <typename F>
  void TakeFrom(int code, F&& f) {
    while (!m_marks.empty() && m_marks.back().code >= code) {
      const Mark mark = m_marks.back();
      m_marks.pop_back();
      f(mark.item, mark.index);
    }
  }
  void Clear() { m_marks.clear(); }

 private:
  struct Mark {
    int code;
    int index;
    CDrawItem* item;
  };
  std::vector<Mark> m_marks;
};

// The state the fill search shares with the tracer while it runs: the index (unused in the
// plain search), the walk marks, the outer loop's scan index, the items the walks touched and
// the work done. Empty at any other time.
struct FillSearchScratch {
  CSearchIndex index;
  bool active = false;   // a fill search runs
  bool indexed = false;  // ... through the index
  CWalkMarks marks;
  const CLoopScanIndex* outer = nullptr;
  std::vector<int> touched;  // items whose marks the walks changed, for the hole search
  std::int64_t work = 0;
  std::int64_t workLimit = kSearchWorkLimit;
  std::int64_t lastWork = 0;  // of the last search, for tests

  bool IsIndexedFor(const CZephDoc* doc, int itemCount) const {
    return active && indexed && index.IsFor(doc, itemCount);
  }
  // Back to no search, keeping the storage and the bound.
  void Reset() {
    lastWork = work;
    index.Clear();
    active = false;
    indexed = false;
    marks.Clear();
    outer = nullptr;
    touched.clear();
    work = 0;
  }
  // Counts work; false once the search has done more than it may. The plain search, kept
  // to check the indexed one against, is not bounded.
  bool Spend(std::int64_t units) {
    work += units;
    return !IsOverWorked();
  }
  bool IsOverWorked() const { return indexed && work > workLimit; }
};
extern FillSearchScratch g_fillSearch;
