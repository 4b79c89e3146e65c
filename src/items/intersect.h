#pragma once
// Where intersections travel: the program-wide result arrays that every intersection routine
// fills from index 0 (valid until the next such call), the split list that Break collects its
// cut points in, and the cache of expensive answers for pairs of items.
//
// Cache entries are keyed by item serial numbers, which are never reused, not by addresses:
// a freed item's address can come back for a new item, and its entries must then not match.
#include <cstdint>
#include <vector>

class CDrawItem;

// An item's serial number: unique for the run, never reused; 0 means none.
using ItemSerial = std::uint64_t;

// ---- Intersection results (one set for the program; element i of each for point i) ----
extern std::vector<std::int32_t> g_intersectX;
extern std::vector<std::int32_t> g_intersectY;
// 1 a touching point (a double root of the line routine), 0 a crossing.
extern std::vector<std::int32_t> g_intersectFlags;
// Elements the three arrays hold; 0 while they are not allocated.
extern int g_intersectCapacity;

// 1 when the arrays hold at least n afterwards. Growing loses the contents: the new capacity
// is 10 the first time, else twice the old, and at least n. On allocation failure the arrays
// are freed, the capacity is 0 and the result 0.
int EnsureIntersectionCapacity(int n);
void FreeIntersectionArrays();

// The points one intersection routine has found so far, written to the result arrays from
// index 0, never more than the routine's capacity (room is made before the first point).
class CFoundPoints {
 public:
  explicit CFoundPoints(int capacity) : m_capacity(capacity) {}
  bool IsFull() const { return m_count >= m_capacity; }
  int Count() const { return m_count; }
  int X(int i) const { return g_intersectX[i]; }
  int Y(int i) const { return g_intersectY[i]; }
  // false, and nothing stored, once full.
  bool Add(int x, int y, int flag = 0);
  // Some stored point within distance of (x, y) on both axes.
  bool HasNear(int x, int y, int distance) const;

 private:
  int m_capacity;
  int m_count = 0;
};

// ---- Split list (the cut points of the item being broken) ----
extern int g_splitCount;
extern int g_splitCapacity;
extern std::vector<std::int32_t> g_splitX;
extern std::vector<std::int32_t> g_splitY;
extern std::vector<double> g_splitParam;       // 0.0 at the item's start, 1.0 at its end
extern std::vector<std::uint8_t> g_splitKeep;  // keep the piece that starts here
extern std::vector<CDrawItem*> g_splitPieces;  // the piece from here; not owned by the list

// Room for n more entries (count + n): 1000 the first time, else twice the old, and at least
// count + n; the entries in use are kept. 0 on allocation failure, the old list untouched.
int ReserveSplitList(int n);
void FreeSplitList();

// ---- Cache ----
// One cached answer for one pair of items: the x and y of its points, not the flags.
class CIntersectionCache {
 public:
  CIntersectionCache() = default;

  // Copies the first count points of the result arrays (a negative count is 0) and keys the
  // entry by the pair. 0 on allocation failure, the entry then unchanged.
  int Store(int count, ItemSerial a, ItemSerial b);
  // Copies the points to the result arrays from index 0 and answers their count; 0 when the
  // arrays cannot be made large enough. The flags are not written.
  int CopyOut() const;
  // 1 when the item is one of the pair. Serial 0 (none) never matches.
  int Involves(ItemSerial item) const;
  // 1 when the unordered pair is (a, b).
  int Matches(ItemSerial a, ItemSerial b) const;

  int GetCount() const { return m_count; }  // -1 in a fresh entry
  ItemSerial GetItemA() const { return m_itemA; }
  ItemSerial GetItemB() const { return m_itemB; }

 private:
  ItemSerial m_itemA = 0;
  ItemSerial m_itemB = 0;
  std::int32_t m_count = -1;
  std::vector<std::int32_t> m_x;
  std::vector<std::int32_t> m_y;
};

// A document's list of cached answers, in the order stored.
class CIntersectionCacheList {
 public:
  // For the first entry of the pair (either order): its points copied out and their count;
  // -1 when no entry matches.
  int Find(ItemSerial a, ItemSerial b) const;
  // Appends an entry for the current result arrays; room starts at 1024 entries and doubles.
  // Nothing is kept when memory runs out or either serial is 0 (an item outside a document).
  void Add(int count, ItemSerial a, ItemSerial b);
  // Drops every entry that involves the item: call when its geometry changes (a temporary
  // move of an end included) and when it is destroyed.
  void Drop(ItemSerial item);
  void Clear();
  int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
  int GetCapacity() const { return static_cast<int>(m_entries.capacity()); }

 private:
  std::vector<CIntersectionCache> m_entries;
};

// Frees the result arrays and the split list. For tests and for closing.
void ResetIntersectionState();
