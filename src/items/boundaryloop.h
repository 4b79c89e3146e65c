#pragma once
// One closed boundary of a filled region: a cyclic list of boundary edges (floodedge.h) in
// which each edge ends where the next begins. A fill item owns one outer loop and a loop per
// hole. The document's fill search builds loops while it walks along the drawing's items: it
// adds an edge at every junction (AddEdge), takes edges back when it retreats (RemoveLast),
// closes the loop where it comes back to a junction (CloseAtPoint), completes it (JoinEnds) and
// asks for its orientation (GetSense) and whether it holds the clicked point (ContainsPoint).
//
// Scan-line crossings come back as an ascending list read in pairs [x0, x1], [x2, x3], ...:
// each pair is a span of the line inside the region. A caller's array must hold
// GetMaxCrossings() values; segment crossings need the same room for each coordinate.
//
// Inner geometry routines: nothing is recorded in the activity log except failures.
#include <cstdint>
#include <memory>
#include <vector>

#include "items/floodedge.h"

class CDrawItem;
class CTextFileReader;
class CTextFileWriter;
class CTransform;

// What RemoveLast answers when no edge is left.
inline constexpr int kLoopEmptyCode = 100;

class CBoundaryLoop {
 public:
  CBoundaryLoop() = default;
  ~CBoundaryLoop();
  CBoundaryLoop(const CBoundaryLoop&) = delete;
  CBoundaryLoop& operator=(const CBoundaryLoop&) = delete;

  int GetCount() const { return m_count; }
  int GetCapacity() const { return m_capacity; }
  // Edge i, or null outside 0..count-1.
  const CFloodEdge* GetEdge(int i) const;

  // Room for n more edges (n <= 0 counts as 1), one slot always kept free. 1, or 0 when the
  // room cannot be made (the loop unchanged).
  int Reserve(int n);
  // The edge becomes the last; 1. When no room can be made: 0, and the edge stays the
  // caller's.
  int Append(std::unique_ptr<CFloodEdge>&& edge);
  // A new edge for the item, starting at (x, y), with the used code; arcs, circles, ellipses
  // and elliptic arcs take their direction from travel (kDirectionClockwise or
  // kDirectionCounterClockwise). 0 for a kind that cannot bound a region or without memory.
  int AddEdge(int x, int y, const CDrawItem* item, int travel, int code);
  // Every edge's end becomes the next edge's start (the last edge's the first's).
  void JoinEnds();
  // Deletes the last edge; the used code of the new last edge, kLoopEmptyCode when none.
  int RemoveLast();
  // Deletes every edge; the slots stay allocated.
  void RemoveAll();
  // The edges in the opposite order, each reversed.
  void Reverse();
  // The first edge's used code; 0 for an empty loop.
  int GetFirstCode() const;
  // More than two edges; or two of which one is curved; or one whole circle or ellipse.
  int IsValid() const;
  // Whether the boundary comes to vertex i (the start of edge i) from one vertical side and
  // leaves to the same side: a local top or bottom.
  int IsExtremeVertex(int i) const;
  // The crossings of the scan line at y, ascending, into xs (room for GetMaxCrossings());
  // horizontal line edges on the line belong to the spans (inclusive 1) or are cut out of
  // them (0). The count.
  int GetScanCrossings(int y, int* xs, int inclusive) const;
  // Whether the point lies inside (inclusive: the boundary counts as inside).
  int ContainsPoint(int x, int y, int inclusive) const;
  // The crossings of the segment (xs[0], ys[0])-(xs[1], ys[1]), sorted by x then y, written
  // back into xs and ys (each with room for GetMaxCrossings()). The count; 0 when odd.
  int IntersectSegment(int* xs, int* ys) const;
  // 0 counter-clockwise, 1 clockwise.
  int GetSense() const;
  // Makes the loop begin at the last edge that starts at (x, y), deleting the lead-in. When
  // the first edge then turns out to be covered by the last, it goes too and (x, y) becomes
  // the new first edge's start. 1, or 0 when no edge starts there.
  int CloseAtPoint(int& x, int& y);
  int GetBoundingBox(int& minX, int& minY, int& maxX, int& maxY) const;
  void GetYRange(int& minY, int& maxY) const;
  // A deep copy (used codes not copied); null when memory runs out.
  std::unique_ptr<CBoundaryLoop> Clone() const;
  void MoveBy(int dx, int dy);
  // Arc edges become elliptic edges before a stretch.
  void Transform(const CTransform& transform);
  // Edge i's start and the previous edge's end.
  void SetVertex(int i, int x, int y);
  // Edge i's start; 0 when i is outside 0..count-1.
  int GetVertex(int i, int& x, int& y) const;
  // Appends the edges of a loop record; 1 when all were read. A damaged record answers 0
  // with the file status set; the edges read whole before it stay.
  int Read(CTextFileReader& reader);
  void Write(CTextFileWriter& writer) const;

  // How many crossings one scan line or one segment can have with this loop: the room a
  // caller's arrays need.
  int GetMaxCrossings() const;

 private:
  friend class CLoopScanIndex;
  // The span of y of edge i outside which a scan line meets nothing of it.
  void GetEdgeScanRange(int i, int& low, int& high) const;
  // GetScanCrossings over the edges listed (all, in order, when edges is null), which must
  // include every edge whose span of y holds y.
  int ScanCrossings(int y, int* xs, int inclusive, const int* edges, int edgeCount,
                    int capacity) const;
  static int IsInSpans(const int* xs, int n, int x, int inclusive);
  CFloodEdge* EdgeAt(int i) const { return m_edges[static_cast<std::size_t>(i)].get(); }
  int Previous(int i) const { return i == 0 ? m_count - 1 : i - 1; }
  int Next(int i) const { return i + 1 == m_count ? 0 : i + 1; }
  // Deletes edges first..first+n-1 and moves the rest up.
  void EraseEdges(int first, int n);

  std::int32_t m_count = 0;
  std::int32_t m_capacity = 0;
  std::vector<std::unique_ptr<CFloodEdge>> m_edges;  // capacity slots; past count null
};

// Answers ContainsPoint for one loop as the loop does, looking only at the edges whose span of
// y holds the point's: the same answer without walking every edge. The loop must stay as it
// is while the index is used.
class CLoopScanIndex {
 public:
  explicit CLoopScanIndex(const CBoundaryLoop& loop);
  CLoopScanIndex(const CLoopScanIndex&) = delete;
  CLoopScanIndex& operator=(const CLoopScanIndex&) = delete;
  int ContainsPoint(int x, int y, int inclusive) const;
  const CBoundaryLoop& GetLoop() const { return m_loop; }
  // A box outside which the loop holds no point, whether its boundary counts or not.
  void GetBox(int& minX, int& minY, int& maxX, int& maxY) const {
    minX = m_minX;
    minY = m_minY;
    maxX = m_maxX;
    maxY = m_maxY;
  }
  bool MayContain(int x, int y) const {
    return m_valid && m_minX <= x && x <= m_maxX && m_minY <= y && y <= m_maxY;
  }

 private:
  int BandOf(int y) const;

  const CBoundaryLoop& m_loop;
  bool m_valid = false;
  int m_capacity = 0;
  int m_minX = 0;
  int m_minY = 0;
  int m_maxX = 0;
  int m_maxY = 0;
  int m_bands = 1;
  double m_bandHeight = 1.0;
  std::vector<int> m_bandStart;
  std::vector<int> m_bandEdges;
  mutable std::vector<int> m_xs;
};
