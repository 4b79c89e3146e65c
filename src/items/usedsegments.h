#pragma once
// The bookkeeping of the document's fill search while it walks along the drawing's curves:
// which pieces of each item are used and by whom (CUsedSegmentList, owned by the item), the
// search tree of junction continuations (CPathNode in the shared array g_pathNodes), and the
// reversal of a direction code. The item-level forwarding operations and CompareTurnAt are
// members of CDrawItem.
//
// Codes: negative ones keep an item out of the search (-1 hidden, -2 cannot bound a region,
// -3 a duplicate); 0 no mark; 1..50 lasting marks of finished loops and failures; 51 the
// state of an item with marked pieces only; 100 and up the trace in progress, in order. The
// list itself tells only lasting codes (below 100) from those of the trace (100 and up).
#include <cstdint>
#include <vector>

#include "items/transform.h"

class CDrawItem;

inline constexpr int kUsedCodeTraceFirst = 100;  // the first code of the trace in progress
inline constexpr int kUsedStatePiecesOnly = 51;

// One marked piece; (x1, y1) is the end with the smaller x, on equal x the smaller y.
class CUsedSegment {
 public:
  void Set(int x1, int y1, int x2, int y2, int code);
  void GetStart(int& x, int& y) const {
    x = m_x1;
    y = m_y1;
  }
  void GetEnd(int& x, int& y) const {
    x = m_x2;
    y = m_y2;
  }
  int GetCode() const { return m_code; }
  void SetCode(int code) { m_code = code; }

 private:
  friend class CUsedSegmentList;
  std::int32_t m_x1 = 0;
  std::int32_t m_y1 = 0;
  std::int32_t m_x2 = 0;
  std::int32_t m_y2 = 0;
  std::int32_t m_code = 0;  // 0: void, removed at the next compaction
};

class CUsedSegmentList {
 public:
  explicit CUsedSegmentList(const CDrawItem* owner) : m_owner(owner) {}
  CUsedSegmentList(const CUsedSegmentList&) = delete;
  CUsedSegmentList& operator=(const CUsedSegmentList&) = delete;

  // Marks a piece. An item excluded or already in a finished loop ignores it (answer 1); a
  // lasting code over the whole item becomes the whole code. 0 when the records cannot grow
  // (glitch 3120: n 9001 past the limit, n 8995 out of memory).
  int Mark(int x1, int y1, int x2, int y2, int code);
  void MarkWhole(int code);
  // 1 when the two points are the owner's start and end in either order (never for circles
  // and ellipses).
  int CoversWholeItem(int x1, int y1, int x2, int y2) const;
  void ClearCode(int code);
  // Removes the marks of the trace from max(code, 100) on.
  void ClearFrom(int code);
  // Marks from `from` on become `to`, other marks of the trace are removed; pieces that then
  // cover the whole item collapse into the whole code.
  void Renumber(int from, int to);
  // The smallest code over the point (strictly inside a piece), 0 when free.
  int GetCodeAt(int x, int y) const;
  // The smallest code of a piece overlapping the query piece with positive length.
  int GetCodeOver(int x1, int y1, int x2, int y2) const;
  // The whole code, else 51 with marked pieces, else 0.
  int GetState() const;
  // 1 when a lasting mark (non-zero, below 100) is present.
  int HasLastingMark() const;
  // Moves the point back to the low end of every chain of marked pieces that covers it.
  void SkipPieces(int& x, int& y) const;
  // Drops void records, keeping the order of the others.
  void Compact();

  int GetWholeCode() const { return m_wholeCode; }
  int GetCount() const { return static_cast<int>(m_records.size()); }
  int GetCapacity() const { return m_capacity; }
  const CUsedSegment& GetRecord(int i) const { return m_records[static_cast<std::size_t>(i)]; }

 private:
  const CDrawItem* m_owner;  // not owned
  std::int32_t m_wholeCode = 0;
  std::int32_t m_capacity = 0;  // records room was made for: 10, doubling, at most 10240
  std::vector<CUsedSegment> m_records;
};

// One junction continuation considered by the boundary tracer.
class CPathNode {
 public:
  CDrawItem* GetItem() const { return m_item; }
  void SetItem(CDrawItem* item) { m_item = item; }
  int GetDirection() const { return m_direction; }
  void SetDirection(int direction) { m_direction = direction; }
  void GetPoint(int& x, int& y) const {
    x = m_x;
    y = m_y;
  }
  void SetPoint(int x, int y) {
    m_x = x;
    m_y = y;
  }
  double GetTravel() const { return m_travel; }
  void SetTravel(double travel) { m_travel = travel; }
  const CSlope& GetTangent() const { return m_tangent; }
  void SetTangent(const CSlope& tangent) { m_tangent = tangent; }
  std::int16_t GetSide() const { return m_side; }
  // 0 or 1; another value is a glitch (3150, n 1) and stores 0.
  void SetSide(int side);
  int GetUsedFlag() const { return m_usedFlag; }
  void SetUsedFlag(int flag) { m_usedFlag = flag; }
  int GetParent() const { return m_parent; }
  void SetParent(int parent) { m_parent = parent; }
  int GetFirstAlternative() const { return m_firstAlternative; }
  void SetFirstAlternative(int index) { m_firstAlternative = index; }
  int GetAlternativeCount() const { return m_alternativeCount; }
  void SetAlternativeCount(int count) { m_alternativeCount = count; }
  int GetCurrentAlternative() const { return m_currentAlternative; }
  void SetCurrentAlternative(int index) { m_currentAlternative = index; }

  // Exchanges everything but the used flags.
  void Swap(CPathNode& other);
  // The index of the next alternative to try, or -1 when none is left.
  int NextAlternative();

 private:
  CDrawItem* m_item = nullptr;  // not owned
  std::int32_t m_direction = 0;
  std::int32_t m_x = 0;
  std::int32_t m_y = 0;
  double m_travel = 0.0;
  CSlope m_tangent;
  std::int16_t m_side = 0;
  std::int32_t m_usedFlag = 0;
  std::int32_t m_parent = -1;
  std::int32_t m_firstAlternative = 0;
  std::int32_t m_alternativeCount = 0;
  std::int32_t m_currentAlternative = 0;
};

// The tracer's nodes: g_pathNodeCapacity constructed nodes, the first g_pathNodeCount in use.
extern std::vector<CPathNode> g_pathNodes;
extern int g_pathNodeCount;
extern int g_pathNodeCapacity;

// Room for one more node: 1000 the first time, then twice as many, the nodes in use copied.
// 0 when memory runs out (the old array stays).
int ReservePathNodes();
// Frees the array (at shut-down, and for tests).
void FreePathNodes();

// 0 and 1, 2 and 3, 4 and 5, 6 and 7 exchanged; another code is a glitch (4112, n 1) and
// comes back unchanged.
int ReverseDirectionCode(int code);
