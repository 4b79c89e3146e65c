// Boundary tracing: walks one closed outline made of pieces of the drawing's curve items,
// turning at every junction onto the continuation that keeps closest to the region, and
// backing up to the last junction's next continuation when a branch leads nowhere.
//
// The junctions of a walk live in the shared path-node store (g_pathNodes): node 0 is the
// start, and every expansion appends the continuations of one node, best first. Each piece
// walked is marked on its item: 100 for the lead-in (the start item up to the first
// junction), then the code of the loop edge it belongs to, 101, 102, ... A piece with a mark
// below 100 belongs to a finished outline and is never walked on.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/fillsearch.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/transform.h"
#include "items/usedsegments.h"
#include "support/log.h"
#include "support/registry.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogTrace = 1271;
constexpr int kLogExpand = 1275;

// The first code of a loop's edges; 100 is the lead-in's.
constexpr int kFirstEdgeCode = kUsedCodeTraceFirst + 1;
// Two points this close on both axes are one junction.
constexpr int kJunctionTolerance = 2;

int g_pathNodeLimit = kPathNodeLimit;
bool g_pathNodeLimitReached = false;
// The list place of each path node's item, beside the shared store, so that the marks a walk
// makes are noted by item (see CWalkMarks).
std::vector<int> g_pathNodeIndex;

void SetNodeIndex(int node, int index) {
  const auto slot = static_cast<std::size_t>(node);
  if (g_pathNodeIndex.size() <= slot)
    g_pathNodeIndex.resize(std::max<std::size_t>(slot + 1, 2 * g_pathNodeIndex.size()));
  g_pathNodeIndex[slot] = index;
}
int NodeIndex(int node) {
  const auto slot = static_cast<std::size_t>(node);
  return slot < g_pathNodeIndex.size() ? g_pathNodeIndex[slot] : -1;
}

// A walk mark was made on the item of the node: noted while a fill search runs.
void NoteMark(CDrawItem* item, int node, int code) {
  if (g_fillSearch.active) g_fillSearch.marks.Note(item, NodeIndex(node), code);
}

bool IsLastingCode(int code) { return code >= 1 && code < kUsedCodeTraceFirst; }

bool IsNear(int ax, int ay, int bx, int by) {
  return std::llabs(static_cast<long long>(ax) - bx) <= kJunctionTolerance &&
         std::llabs(static_cast<long long>(ay) - by) <= kJunctionTolerance;
}

// Room for one more node, within the bound. The caller tells the two failures apart with
// g_pathNodeLimitReached (memory running out is the user's to hear of, the bound is not).
bool ReserveNode() {
  if (g_pathNodeCount >= g_pathNodeLimit) {
    g_pathNodeLimitReached = true;
    return false;
  }
  return ReservePathNodes() != 0;
}

// The way a walk leaves its start: downwards, or to the right along a horizontal line.
int StartDirection(const CDrawItem* item, int x, int y) {
  switch (item->GetType()) {
    case kItemLine:
      return item->IsHorizontal() != 0 ? kDirectionRight : kDirectionDown;
    case kItemBezier:
      return item->GetCurveWayAt(x, y, kDirectionDown);
    default:
      return item->GetTurnAt(x, y, kDirectionDown);
  }
}

double DyOf(const CSlope& slope) {
  double dy = 0.0;
  double dx = 0.0;
  slope.Get(dy, dx);
  return dy;
}

// The direction of a continuation onto `b` that leaves from one of b's ends; -1 when the
// junction is not at an end after all.
int DirectionFromEnd(const CDrawItem* b, int x, int y, CSlope& tangent) {
  const int end = b->GetEndAt(x, y, kJunctionTolerance);
  if (end != 0 && end != 1) return -1;
  int direction = 0;
  switch (b->GetType()) {
    case kItemLine: {
      int ox = 0;
      int oy = 0;
      if (end == 0) {
        b->GetEnd(ox, oy);
      } else {
        b->GetStart(ox, oy);
      }
      if (oy < y) {
        direction = kDirectionDown;
      } else if (oy > y) {
        direction = kDirectionUp;
      } else {
        direction = ox > x ? kDirectionRight : kDirectionLeft;
      }
      break;
    }
    case kItemBezier:
      direction = end == 0 ? kDirectionAlongCurve : kDirectionAgainstCurve;
      break;
    default:
      direction = end == 0 ? kDirectionCounterClockwise : kDirectionClockwise;
      break;
  }
  const int linear = b->GetType() == kItemLine ? direction : b->GetDirectionAt(x, y, direction);
  if (b->IsVerticalAt(x, y) != 0 && linear == kDirectionDown) tangent.Set(-1.0, 0.0);
  return direction;
}

// The direction of travel along b from the junction (x, y), reached along a travelling in
// direction d. s is b's side code (see ExpandPathNode), k the continuation's number.
int ContinuationDirection(const CDrawItem* a, const CDrawItem* b, int d, int x, int y, int s,
                          int k, int side, CSlope& tangent) {
  if (s != 0 && a->IsClosed() == 0 && b->IsClosed() == 0) {
    const int fromEnd = DirectionFromEnd(b, x, y, tangent);
    if (fromEnd >= 0) return fromEnd;
    SetGlitchValue(b->GetType());
    ReportGlitch(kLogExpand, 3);
  }
  CSlope c;
  a->GetTangentAt(c, x, y);
  CSlope bt;
  b->GetTangentAt(bt, x, y);
  int e = d;
  if (a->GetType() != kItemLine) e = a->GetDirectionAt(x, y, e);
  if (bt.IsHorizontal() != 0) {
    if (e == kDirectionUp) {
      e = kDirectionLeft;
    } else if (e == kDirectionDown) {
      e = kDirectionRight;
    }
  } else if (e == kDirectionLeft) {
    e = kDirectionDown;
  } else if (e == kDirectionRight) {
    e = kDirectionUp;
  } else if (e == kDirectionUp || e == kDirectionDown) {
    const bool cValid = c.GetState() >= 0;
    const double cdy = cValid ? DyOf(c) : 0.0;
    const double bdy = DyOf(bt);
    const bool up = bt.IsVerticalUp() != 0;
    const auto below = [&] { return cValid && (bt < c) != 0; };
    const bool reverse = (up && cdy < 0) || (!up && cdy > 0 && bdy > 0 && below()) ||
                         (!up && cdy <= 0 && (bdy > 0 || below()));
    if (reverse) e = ReverseDirectionCode(e);
  }
  if (side == 1) e = ReverseDirectionCode(e);
  if (s == 2 && k == 0) e = ReverseDirectionCode(e);
  if (b->IsVerticalAt(x, y) != 0 && e == kDirectionDown) tangent.Set(-1.0, 0.0);
  if (b->GetType() == kItemBezier) return b->GetCurveWayAt(x, y, e);
  if (b->GetType() != kItemLine) return b->GetTurnAt(x, y, e);
  return e;
}

// Whether continuation r must be tried before f, its neighbour before it; both leave the
// junction of one expansion of item a.
bool ComesFirst(const CDrawItem* a, const CPathNode& f, const CPathNode& r) {
  if (f.GetSide() != r.GetSide()) return f.GetSide() > r.GetSide();
  const int side = f.GetSide();
  if (r.GetTravel() != f.GetTravel()) {
    return side == 0 ? r.GetTravel() < f.GetTravel() : r.GetTravel() > f.GetTravel();
  }
  int fx = 0;
  int fy = 0;
  f.GetPoint(fx, fy);
  const CSlope& ft = f.GetTangent();
  const CSlope& rt = r.GetTangent();
  if (a->IsVerticalAt(fx, fy) != 0) {
    if (rt.IsVertical() != 0) return side == 1;
    if (ft.IsVertical() != 0) return side == 0;
    return (rt >= ft) != 0;
  }
  CSlope c;
  a->GetTangentAt(c, fx, fy);
  if (c.GetState() < 0) return false;
  if ((ft == rt) != 0 && (rt == c) != 0) return false;
  if ((ft >= c) != 0) return (rt < c) != 0 || (rt >= ft) != 0;
  return (rt < c) != 0 && (rt >= ft) != 0;
}

// Bubble sort of the continuations first..first + count - 1, as the walk has always ordered
// them (the order is not a strict one, so another sort could try them differently).
void BubbleSortContinuations(const CDrawItem* a, int first, int count) {
  int last = first + count - 1;
  bool swapped = true;
  while (swapped && last > first) {
    swapped = false;
    for (int i = first; i < last; ++i) {
      CPathNode& f = g_pathNodes[static_cast<std::size_t>(i)];
      CPathNode& r = g_pathNodes[static_cast<std::size_t>(i) + 1];
      if (ComesFirst(a, f, r)) {
        f.Swap(r);
        std::swap(g_pathNodeIndex[static_cast<std::size_t>(i)],
                  g_pathNodeIndex[static_cast<std::size_t>(i) + 1]);
        swapped = true;
      }
    }
    --last;
  }
}

// The order the bubble sort gives, found sooner where that order is plain. By side and travel
// alone the order is strict, and a bubble sort leaves such keys sorted and equal keys in
// their order; continuations with equal side and travel (one junction) are ordered by their
// tangents, which is a strict order too unless the tangents disagree with themselves. Only
// then, at such a junction, is the bubble sort itself run.
void SortContinuations(const CDrawItem* a, int first, int count) {
  if (count < 2) return;
  const auto node = [&](int k) -> CPathNode& {
    return g_pathNodes[static_cast<std::size_t>(first + k)];
  };
  // r comes before f by side and travel.
  const auto keyFirst = [&](int f, int r) {
    const CPathNode& fn = node(f);
    const CPathNode& rn = node(r);
    if (fn.GetSide() != rn.GetSide()) return fn.GetSide() > rn.GetSide();
    if (rn.GetTravel() != fn.GetTravel()) {
      return fn.GetSide() == 0 ? rn.GetTravel() < fn.GetTravel() : rn.GetTravel() > fn.GetTravel();
    }
    return false;
  };
  // Side 0 first, nearest first; side 1 after, farthest first; equal keys in their order.
  struct Key {
    int side;
    double travel;
    int k;
    bool operator<(const Key& other) const {
      if (side != other.side) return side < other.side;
      if (travel != other.travel) return side == 0 ? travel < other.travel : travel > other.travel;
      return k < other.k;
    }
  };
  std::vector<Key> keys(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    keys[static_cast<std::size_t>(k)] = {node(k).GetSide(), node(k).GetTravel(), k};
  }
  std::sort(keys.begin(), keys.end());
  std::vector<int> order(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k)
    order[static_cast<std::size_t>(k)] = keys[static_cast<std::size_t>(k)].k;
  // u must come before v at one junction.
  const auto precedes = [&](int u, int v) { return ComesFirst(a, node(v), node(u)); };
  for (std::size_t run = 0; run < order.size();) {
    std::size_t end = run + 1;
    while (end < order.size() && !keyFirst(order[run], order[end]) &&
           !keyFirst(order[end], order[run])) {
      ++end;
    }
    if (end - run > 1) {
      // The run, in its first order: a strict weak order by tangent, or the bubble sort.
      const auto at = [&](std::size_t k) { return order[run + k]; };
      const std::size_t m = end - run;
      for (std::size_t p = 0; p < m; ++p) {
        for (std::size_t q = 0; q < m; ++q) {
          if (p == q) continue;
          const bool pq = precedes(at(p), at(q));
          if (pq && precedes(at(q), at(p))) return BubbleSortContinuations(a, first, count);
          for (std::size_t t = 0; t < m; ++t) {
            if (t == p || t == q) continue;
            const bool qt = precedes(at(q), at(t));
            if (pq && qt && !precedes(at(p), at(t)))
              return BubbleSortContinuations(a, first, count);
            const bool apart = !pq && !precedes(at(q), at(p));
            const bool apart2 = !qt && !precedes(at(t), at(q));
            if (apart && apart2 && (precedes(at(p), at(t)) || precedes(at(t), at(p)))) {
              return BubbleSortContinuations(a, first, count);
            }
          }
        }
      }
      std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(run),
                       order.begin() + static_cast<std::ptrdiff_t>(end), precedes);
    }
    run = end;
  }
  // Every node in its place; the used flags of new continuations are all clear.
  std::vector<CPathNode> nodes(static_cast<std::size_t>(count));
  std::vector<int> indices(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    nodes[static_cast<std::size_t>(k)] = node(order[static_cast<std::size_t>(k)]);
    indices[static_cast<std::size_t>(k)] =
        g_pathNodeIndex[static_cast<std::size_t>(first + order[static_cast<std::size_t>(k)])];
  }
  for (int k = 0; k < count; ++k) {
    node(k) = nodes[static_cast<std::size_t>(k)];
    g_pathNodeIndex[static_cast<std::size_t>(first + k)] = indices[static_cast<std::size_t>(k)];
  }
}

CPathNode& NodeAt(int index) { return g_pathNodes[static_cast<std::size_t>(index)]; }

}  // namespace

int GetPathNodeLimit() { return g_pathNodeLimit; }
void SetPathNodeLimitForTest(int limit) { g_pathNodeLimit = limit > 0 ? limit : kPathNodeLimit; }
bool WasPathNodeLimitReached() { return g_pathNodeLimitReached; }

bool CZephDoc::MoveTraceStart(CDrawItem* item, int& x, int& y) {
  if (item == nullptr) return false;
  const int originX = x;
  const int originY = y;
  bool junction = false;
  bool found = false;
  double best = 0.0;
  int bestX = x;
  int bestY = y;
  const int count = GetItemCount();
  // During a fill search only the item's neighbours can meet it; they come in list order.
  const bool useIndex = g_fillSearch.IsIndexedFor(this, count);
  std::vector<int> neighbours;
  if (useIndex) g_fillSearch.index.Neighbours(*item, neighbours);
  const int candidates = useIndex ? static_cast<int>(neighbours.size()) : count;
  for (int c = 0; c < candidates; ++c) {
    const int i = useIndex ? neighbours[static_cast<std::size_t>(c)] : c;
    CDrawItem* other = GetItem(i);
    if (other == nullptr || other == item || other->GetUsedState() < 0) continue;
    int n = 0;
    try {
      n = item->IntersectWith(other);
    } catch (const std::exception&) {
      continue;
    }
    for (int k = 0; k < n; ++k) {
      const int px = g_intersectX[static_cast<std::size_t>(k)];
      const int py = g_intersectY[static_cast<std::size_t>(k)];
      if (IsNear(px, py, originX, originY)) {
        junction = true;
        continue;
      }
      // Every candidate is measured from the given point; the start moves once, at the end.
      const double distance =
          Hypot(static_cast<double>(px) - originX, static_cast<double>(py) - originY);
      if (!found || distance <= best) {
        found = true;
        best = distance;
        bestX = px;
        bestY = py;
      }
    }
  }
  if (found) {
    x = bestX;
    y = bestY;
  } else if (item->GetEndAt(originX, originY, 0) == 0) {
    item->GetEnd(x, y);
  } else {
    item->GetStart(x, y);
  }
  return junction;
}

int CZephDoc::ExpandPathNode(int node) {
  LogScope trace(kLogExpand);
  if (node < 0 || node >= g_pathNodeCount) {
    SetGlitchValue(node);
    SetGlitchValue(g_pathNodeCount);
    ReportGlitch(kLogExpand, 1);
    return trace.Return(-1, kLogInvalid);
  }
  CDrawItem* a = NodeAt(node).GetItem();
  if (a == nullptr) {
    SetGlitchValue(node);
    SetGlitchValue(g_pathNodeCount);
    ReportGlitch(kLogExpand, 2);
    return trace.Return(-1, kLogInvalid);
  }
  const int d = NodeAt(node).GetDirection();
  int nx = 0;
  int ny = 0;
  NodeAt(node).GetPoint(nx, ny);
  const int first = g_pathNodeCount;
  int children = 0;
  const int itemCount = GetItemCount();
  trace.Step(5);
  LogNumber(itemCount);

  const FillSearchState& state = m_fillSearch;
  const CBoundaryLoop* outer = state.holeSearch != 0 ? state.outerLoop : nullptr;
  // The outer loop's scan index gives the loop's own answers, sooner.
  const CLoopScanIndex* outerScan =
      outer != nullptr && g_fillSearch.outer != nullptr && &g_fillSearch.outer->GetLoop() == outer
          ? g_fillSearch.outer
          : nullptr;
  const bool useIndex = g_fillSearch.IsIndexedFor(this, itemCount);
  // The closed item's side of the fill point decides which way its continuations turn.
  const int aClosed = a->IsClosed();
  const int aHoldsPoint = aClosed != 0 ? a->ContainsPoint(state.x, state.y) : 0;

  // During a fill search only the neighbours of the item can meet it; they come in list
  // order, as a plain pass would take them.
  std::vector<int> neighbours;
  if (useIndex) g_fillSearch.index.Neighbours(*a, neighbours);
  const int candidates = useIndex ? static_cast<int>(neighbours.size()) : itemCount;
  if (g_fillSearch.active) g_fillSearch.Spend(candidates);
  std::vector<int> xs;
  std::vector<int> ys;
  std::vector<int> flags;
  for (int c = 0; c < candidates; ++c) {
    const int i = useIndex ? neighbours[static_cast<std::size_t>(c)] : c;
    CDrawItem* b = GetItem(i);
    if (b == nullptr || b == a) continue;
    const int used = b->GetUsedState();
    if (used != 0 && used < 50) continue;
    int n = 0;
    try {
      n = a->IntersectWith(b);
      // The checks below ask other routines that may write the shared result arrays.
      xs.assign(g_intersectX.begin(), g_intersectX.begin() + n);
      ys.assign(g_intersectY.begin(), g_intersectY.begin() + n);
      flags.assign(g_intersectFlags.begin(), g_intersectFlags.begin() + n);
    } catch (const std::exception& e) {
      SetGlitchValue(GetExceptionKind(e));
      SetGlitchValue(a->GetType());
      SetGlitchValue(i);
      SetGlitchValue(b->GetType());
      ReportGlitch(kLogExpand, 4);
      continue;
    }
    int k = 0;
    try {
      for (k = 0; k < n; ++k) {
        const int x = xs[static_cast<std::size_t>(k)];
        const int y = ys[static_cast<std::size_t>(k)];
        if (outer != nullptr && (outerScan != nullptr ? outerScan->ContainsPoint(x, y, 1)
                                                      : outer->ContainsPoint(x, y, 1)) == 0) {
          continue;
        }
        if (IsNear(x, y, nx, ny)) continue;
        if (IsLastingCode(a->GetUsedCodeOver(nx, ny, x, y))) continue;
        const double travel = a->GetTravel(x, y, nx, ny, d);
        if (!(travel >= 0.0)) continue;
        int s = 0;
        int m = 1;
        if (flags[static_cast<std::size_t>(k)] != 0) {
          // A touching point: either way along the touched item.
          if (aClosed != 0 && aHoldsPoint != 0) continue;
          s = 2;
          m = 2;
        } else if (aClosed != 0) {
          s = (aHoldsPoint != 0) == (d == kDirectionClockwise) ? -1 : 1;
        } else {
          s = b->CompareTurnAt(a, x, y, d);
          m = s != 0 ? 1 : 2;
        }
        for (int j = 0; j < m; ++j) {
          if (IsLastingCode(b->GetUsedCodeAt(x, y))) continue;
          if (!ReserveNode()) {
            if (!g_pathNodeLimitReached) ShowOutOfMemory();
            return trace.Return(-1, kLogMemory);
          }
          CSlope tangent;
          b->GetTangentAt(tangent, x, y);
          if (tangent.GetState() < 0) continue;
          const int side = s == 0 ? j : (s < 0 ? 1 : 0);
          const int direction = ContinuationDirection(a, b, d, x, y, s, j, side, tangent);
          CPathNode& child = NodeAt(g_pathNodeCount);
          child = CPathNode();
          child.SetItem(b);
          child.SetPoint(x, y);
          child.SetTravel(travel);
          child.SetTangent(tangent);
          child.SetSide(side);
          child.SetParent(node);
          child.SetDirection(direction);
          SetNodeIndex(g_pathNodeCount, i);
          ++g_pathNodeCount;
          ++children;
        }
      }
    } catch (const std::exception&) {
      SetGlitchValue(a->GetType());
      SetGlitchValue(i);
      SetGlitchValue(b->GetType());
      SetGlitchValue(k);
      ReportGlitch(kLogExpand, 5);
    }
  }

  trace.Step(10);
  LogNumber(children);
  if (g_fillSearch.active && !g_fillSearch.indexed) {
    BubbleSortContinuations(a, first, children);
  } else {
    SortContinuations(a, first, children);
  }
  trace.Step(20);
  CPathNode& expanded = NodeAt(node);
  expanded.SetFirstAlternative(children > 0 ? first : -1);
  expanded.SetAlternativeCount(children);
  expanded.SetCurrentAlternative(0);
  return trace.Return(children > 0 ? first : -1);
}

std::unique_ptr<CBoundaryLoop> CZephDoc::TraceBoundary(CDrawItem* item, int x, int y) {
  LogScope trace(kLogTrace);
  FillSearchState& state = m_fillSearch;
  g_pathNodeLimitReached = false;
  std::unique_ptr<CBoundaryLoop> loop;
  const auto fail = [&](int code, int value) {
    state.traceFailure = static_cast<std::int16_t>(code);
    loop.reset();
    trace.Exit(value);
    return std::unique_ptr<CBoundaryLoop>();
  };
  if (item == nullptr) {
    ReportGlitch(kLogTrace, 2);
    return fail(-5, kLogInvalid);
  }

  try {
    // Where node 0 starts for a direction: the given point, or, when that is an end the
    // direction leads off, somewhere the walk can go from. False when the end is free.
    const auto placeStart = [&](int direction, int& sx, int& sy) {
      sx = x;
      sy = y;
      if (item->IsEndReachedGoing(sx, sy, direction) == 0) return true;
      return MoveTraceStart(item, sx, sy);
    };
    int direction = StartDirection(item, x, y);
    bool reverseLeft = true;
    int startX = x;
    int startY = y;
    if (!placeStart(direction, startX, startY)) {
      // A free end: walk the other way from the given point, with no second attempt.
      startX = x;
      startY = y;
      direction = ReverseDirectionCode(direction);
      reverseLeft = false;
    }
    g_pathNodeCount = 0;
    if (!ReserveNode()) {
      if (!g_pathNodeLimitReached) ShowOutOfMemory();
      return fail(2, kLogMemory);
    }
    NodeAt(0) = CPathNode();
    NodeAt(0).SetItem(item);
    NodeAt(0).SetDirection(direction);
    NodeAt(0).SetPoint(startX, startY);
    const int startIndex = state.startIndex;
    SetNodeIndex(0, startIndex >= 0 && startIndex < GetItemCount() && GetItem(startIndex) == item
                        ? startIndex
                        : FindItem(item));
    g_pathNodeCount = 1;

    // The second attempt: node 0 the other way round, its continuations forgotten.
    const auto turnStartRound = [&] {
      reverseLeft = false;
      const int reversed = ReverseDirectionCode(NodeAt(0).GetDirection());
      int sx = x;
      int sy = y;
      placeStart(reversed, sx, sy);
      NodeAt(0).SetDirection(reversed);
      NodeAt(0).SetPoint(sx, sy);
      NodeAt(0).SetFirstAlternative(0);
      NodeAt(0).SetAlternativeCount(0);
      NodeAt(0).SetCurrentAlternative(0);
      g_pathNodeCount = 1;
      ClearUsedMarksFrom(-1);
      if (loop) loop->RemoveAll();
    };

    for (;;) {
      trace.Step(1);
      int current = 0;
      CDrawItem* currentItem = item;
      int cx = 0;
      int cy = 0;
      NodeAt(0).GetPoint(cx, cy);
      // The code of the edge being walked; at node 0 that of the first edge to come.
      int code = kFirstEdgeCode;
      state.traceCode = kFirstEdgeCode;
      bool fresh = true;
      int next = -1;
      bool closed = false;
      while (!closed) {
        trace.Step(2);
        if (fresh) {
          next = ExpandPathNode(current);
          // Out of junctions or out of work: as when the store runs out.
          if (g_pathNodeLimitReached || g_fillSearch.IsOverWorked()) return fail(2, kLogMemory);
        }
        if (next > 0) {
          CDrawItem* nextItem = NodeAt(next).GetItem();
          const int nextDirection = NodeAt(next).GetDirection();
          int qx = 0;
          int qy = 0;
          NodeAt(next).GetPoint(qx, qy);
          trace.Step(3);
          LogNumber(qx);
          LogNumber(qy);
          LogNumber(nextItem->GetObjectNumber());
          LogNumber(nextDirection);
          if (loop && loop->CloseAtPoint(qx, qy) != 0) {
            trace.Step(5);
            NoteMark(currentItem, current, code);
            if (currentItem->MarkUsed(cx, cy, qx, qy, code) == 0) return fail(-1, kLogInvalid);
            state.traceCode = loop->GetFirstCode();
            if (state.traceCode == 0) {
              ReportGlitch(kLogTrace, 1);
              state.traceCode = kUsedCodeTraceFirst;
            }
            closed = true;
            break;
          }
          if (!loop) loop = std::make_unique<CBoundaryLoop>();
          if (current == 0) {
            NoteMark(currentItem, current, kUsedCodeTraceFirst);
            if (currentItem->MarkUsed(cx, cy, qx, qy, kUsedCodeTraceFirst) == 0) {
              return fail(-2, kLogInvalid);
            }
          } else {
            NoteMark(currentItem, current, code);
            if (currentItem->MarkUsed(cx, cy, qx, qy, code) == 0) return fail(-3, kLogInvalid);
            ++code;
          }
          if (loop->AddEdge(qx, qy, nextItem, nextDirection, code) == 0) {
            return fail(2, kLogMemory);
          }
          current = next;
          currentItem = nextItem;
          cx = qx;
          cy = qy;
          fresh = true;
          continue;
        }

        trace.Step(10);
        if (currentItem->IsClosed() != 0 && currentItem->IsMarkedUsed() == 0) {
          // A circle or ellipse that nothing usable crosses is an outline of its own.
          if (loop) {
            loop->RemoveAll();
          } else {
            loop = std::make_unique<CBoundaryLoop>();
          }
          ClearUsedMarksFrom(-1);
          int rx = 0;
          int ry = 0;
          currentItem->GetRightmostPoint(rx, ry);
          const int sense = state.holeSearch != 0 ? kDirectionClockwise : kDirectionCounterClockwise;
          if (loop->AddEdge(rx, ry, currentItem, sense, kFirstEdgeCode) == 0) {
            return fail(2, kLogMemory);
          }
          NoteMark(currentItem, current, kFirstEdgeCode);
          currentItem->MarkAllUsed(kFirstEdgeCode);
          state.traceCode = kFirstEdgeCode;
          closed = true;
          break;
        }

        trace.Step(11);
        if (current == 0) {
          if (!reverseLeft) return fail(1, kLogOk);
          turnStartRound();
          NodeAt(0).GetPoint(cx, cy);
          code = kFirstEdgeCode;
          fresh = true;
          continue;
        }

        // Back to the junction before, taking the abandoned edge and its marks back.
        trace.Step(12);
        const int parent = NodeAt(current).GetParent();
        if (parent < 0) return fail(-4, kLogInvalid);
        current = parent;
        currentItem = NodeAt(current).GetItem();
        NodeAt(current).GetPoint(cx, cy);
        const int last = loop ? loop->RemoveLast() : kLoopEmptyCode;
        // The marks from the parent's own edge on go too: the next step marks its piece
        // again up to the junction it then takes.
        code = current == 0 ? kFirstEdgeCode : last;
        ClearUsedMarksFrom(current == 0 ? kUsedCodeTraceFirst : code);
        next = NodeAt(current).NextAlternative();
        fresh = false;
      }

      trace.Step(20);
      if (!loop) return fail(-5, kLogInvalid);
      loop->JoinEnds();
      if (state.holeSearch == 0 || loop->GetSense() == 1) {
        state.traceFailure = 0;
        trace.Exit();
        return loop;
      }
      // A hole must run clockwise; the other way round it may.
      if (!reverseLeft) return fail(-6, kLogInvalid);
      trace.Step(25);
      loop.reset();
      turnStartRound();
    }
  } catch (const std::bad_alloc&) {
    return fail(2, kLogMemory);
  }
}
