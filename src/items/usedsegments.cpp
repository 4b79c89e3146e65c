#include "items/usedsegments.h"

#include <algorithm>
#include <new>
#include <utility>

#include "items/drawitem.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"

std::vector<CPathNode> g_pathNodes;
int g_pathNodeCount = 0;
int g_pathNodeCapacity = 0;

namespace {

constexpr int kFirstRecordCapacity = 10;
constexpr int kRecordCapacityLimit = 10000;  // a full list beyond this refuses (10240 at most)
constexpr int kFirstNodeCapacity = 1000;

constexpr int kGlitchMarkFailed = 3120;
constexpr int kGlitchBadSide = 3150;
constexpr int kGlitchTurn = 1788;
constexpr int kGlitchReverseDirection = 4112;
constexpr int kLogReservePathNodes = 4110;

// Log codes of the item operations that find no list.
constexpr int kLogMarkAllUsed = 1789;
constexpr int kLogMarkUsed = 1791;
constexpr int kLogClearUsedFrom = 1782;
constexpr int kLogClearUsedCode = 1783;  // also RenumberUsed
constexpr int kLogGetUsedState = 1785;
constexpr int kLogGetUsedCodeAt = 1786;
constexpr int kLogGetUsedCodeOver = 1787;
constexpr int kLogIsMarkedUsed = 1792;

void OrderEnds(int& x1, int& y1, int& x2, int& y2) {
  if (x2 < x1 || (x2 == x1 && y2 < y1)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
}

// The smaller of a running minimum of non-zero codes (0: none yet) and code.
int SmallerCode(int best, int code) { return (best == 0 || code < best) ? code : best; }

}  // namespace

// ---- CUsedSegment ----

void CUsedSegment::Set(int x1, int y1, int x2, int y2, int code) {
  OrderEnds(x1, y1, x2, y2);
  m_x1 = x1;
  m_y1 = y1;
  m_x2 = x2;
  m_y2 = y2;
  m_code = code;
}

// ---- CUsedSegmentList ----

int CUsedSegmentList::Mark(int x1, int y1, int x2, int y2, int code) {
  if (m_wholeCode != 0 && m_wholeCode < kUsedCodeTraceFirst) return 1;
  if (code < kUsedCodeTraceFirst && CoversWholeItem(x1, y1, x2, y2)) {
    MarkWhole(code);
    return 1;
  }
  if (GetCount() == m_capacity) {
    if (m_capacity > kRecordCapacityLimit) {
      ReportGlitch(kGlitchMarkFailed, 9001);
      return 0;
    }
    const int capacity = m_capacity == 0 ? kFirstRecordCapacity : 2 * m_capacity;
    try {
      m_records.reserve(static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
      ReportGlitch(kGlitchMarkFailed, 8995);
      return 0;
    }
    m_capacity = capacity;
  }
  CUsedSegment record;
  record.Set(x1, y1, x2, y2, code);
  m_records.push_back(record);  // room was made above
  return 1;
}

void CUsedSegmentList::MarkWhole(int code) {
  m_wholeCode = code;
  m_records.clear();
}

int CUsedSegmentList::CoversWholeItem(int x1, int y1, int x2, int y2) const {
  if (m_owner == nullptr) return 0;
  const int type = m_owner->GetType();
  if (type == kItemCircle || type == kItemEllipse) return 0;
  int sx = 0;
  int sy = 0;
  int ex = 0;
  int ey = 0;
  m_owner->GetStart(sx, sy);
  m_owner->GetEnd(ex, ey);
  const bool forward = x1 == sx && y1 == sy && x2 == ex && y2 == ey;
  const bool backward = x1 == ex && y1 == ey && x2 == sx && y2 == sy;
  return (forward || backward) ? 1 : 0;
}

void CUsedSegmentList::ClearCode(int code) {
  if (m_wholeCode != 0) {
    if (m_wholeCode == code) m_wholeCode = 0;
    return;
  }
  for (CUsedSegment& record : m_records) {
    if (record.m_code == code) record.m_code = 0;
  }
  Compact();
}

void CUsedSegmentList::ClearFrom(int code) {
  if (m_wholeCode != 0) {
    if (m_wholeCode >= kUsedCodeTraceFirst) m_wholeCode = 0;
    return;
  }
  const int first = std::max(code, kUsedCodeTraceFirst);
  for (CUsedSegment& record : m_records) {
    if (record.m_code >= first) record.m_code = 0;
  }
  Compact();
}

void CUsedSegmentList::Renumber(int from, int to) {
  if (m_wholeCode != 0) {
    if (m_wholeCode >= from) {
      m_wholeCode = to;
    } else if (m_wholeCode >= kUsedCodeTraceFirst) {
      m_wholeCode = 0;
    }
    return;
  }
  for (CUsedSegment& record : m_records) {
    if (record.m_code >= from) {
      record.m_code = to;
    } else if (record.m_code >= kUsedCodeTraceFirst) {
      record.m_code = 0;
    }
  }
  for (const CUsedSegment& record : m_records) {
    if (record.m_code != 0 && CoversWholeItem(record.m_x1, record.m_y1, record.m_x2, record.m_y2)) {
      MarkWhole(record.m_code);
      return;
    }
  }
  Compact();
}

int CUsedSegmentList::GetCodeAt(int x, int y) const {
  if (m_wholeCode != 0) return m_wholeCode;
  int best = 0;
  for (const CUsedSegment& r : m_records) {
    if (r.m_code == 0) continue;
    const bool inside = r.m_x1 == r.m_x2 ? (r.m_y1 < y && y < r.m_y2) : (r.m_x1 < x && x < r.m_x2);
    if (inside) best = SmallerCode(best, r.m_code);
  }
  return best;
}

int CUsedSegmentList::GetCodeOver(int x1, int y1, int x2, int y2) const {
  if (m_wholeCode != 0) return m_wholeCode;
  OrderEnds(x1, y1, x2, y2);
  int best = 0;
  for (const CUsedSegment& r : m_records) {
    if (r.m_code == 0) continue;
    const bool overlaps = x1 == x2 ? (r.m_y1 < y2 && y1 < r.m_y2) : (r.m_x1 < x2 && x1 < r.m_x2);
    if (overlaps) best = SmallerCode(best, r.m_code);
  }
  return best;
}

int CUsedSegmentList::GetState() const {
  if (m_wholeCode != 0) return m_wholeCode;
  for (const CUsedSegment& r : m_records) {
    if (r.m_code != 0) return kUsedStatePiecesOnly;
  }
  return 0;
}

int CUsedSegmentList::HasLastingMark() const {
  if (m_wholeCode != 0) return m_wholeCode < kUsedCodeTraceFirst ? 1 : 0;
  for (const CUsedSegment& r : m_records) {
    if (r.m_code != 0 && r.m_code < kUsedCodeTraceFirst) return 1;
  }
  return 0;
}

void CUsedSegmentList::SkipPieces(int& x, int& y) const {
  if (m_wholeCode != 0) return;
  // A sound chain needs at most one pass per record; pieces of a curve that mix vertical and
  // other chords could send the point round in a circle, so the passes are bounded.
  const std::size_t passLimit = m_records.size() + 1;
  for (std::size_t pass = 0; pass < passLimit; ++pass) {
    bool moved = false;
    for (const CUsedSegment& r : m_records) {
      if (r.m_code == 0) continue;
      const bool on = r.m_x1 == r.m_x2 ? (r.m_y1 < y && y <= r.m_y2) : (r.m_x1 < x && x <= r.m_x2);
      if (on) {
        x = r.m_x1;
        y = r.m_y1;
        moved = true;
      }
    }
    if (!moved) return;
  }
}

void CUsedSegmentList::Compact() {
  std::erase_if(m_records, [](const CUsedSegment& r) { return r.m_code == 0; });
}

// ---- CPathNode ----

void CPathNode::SetSide(int side) {
  if (side != 0 && side != 1) {
    SetGlitchValue(side);
    ReportGlitch(kGlitchBadSide, 1);
    side = 0;
  }
  m_side = static_cast<std::int16_t>(side);
}

void CPathNode::Swap(CPathNode& other) {
  std::swap(m_item, other.m_item);
  std::swap(m_direction, other.m_direction);
  std::swap(m_x, other.m_x);
  std::swap(m_y, other.m_y);
  std::swap(m_travel, other.m_travel);
  std::swap(m_tangent, other.m_tangent);
  std::swap(m_side, other.m_side);
  std::swap(m_parent, other.m_parent);
  std::swap(m_firstAlternative, other.m_firstAlternative);
  std::swap(m_alternativeCount, other.m_alternativeCount);
  std::swap(m_currentAlternative, other.m_currentAlternative);
}

int CPathNode::NextAlternative() {
  const int next = m_currentAlternative + 1;
  if (next >= m_alternativeCount) return -1;
  m_currentAlternative = next;
  return m_firstAlternative + next;
}

int ReservePathNodes() {
  if (g_pathNodeCount < g_pathNodeCapacity) return 1;
  LogAction(kLogReservePathNodes, 0, kLogProgress);
  const std::int64_t wanted = g_pathNodeCapacity == 0
                                  ? kFirstNodeCapacity
                                  : 2 * static_cast<std::int64_t>(g_pathNodeCapacity);
  const int capacity = static_cast<int>(std::min<std::int64_t>(wanted, kIntRangeMax));
  bool made = false;
  if (capacity > g_pathNodeCapacity) {
    try {
      std::vector<CPathNode> nodes(static_cast<std::size_t>(capacity));
      std::copy(g_pathNodes.begin(), g_pathNodes.begin() + g_pathNodeCount, nodes.begin());
      g_pathNodes.swap(nodes);
      made = true;
    } catch (const std::bad_alloc&) {
    }
  }
  if (!made) {
    LogAction(kLogReservePathNodes, 1, kLogMemory);
    LogNumber(capacity);
    return 0;
  }
  g_pathNodeCapacity = capacity;
  LogAction(kLogReservePathNodes, 0, kLogOk);
  return 1;
}

void FreePathNodes() {
  std::vector<CPathNode>().swap(g_pathNodes);
  g_pathNodeCount = 0;
  g_pathNodeCapacity = 0;
}

int ReverseDirectionCode(int code) {
  if (code < 0 || code > 7) {
    SetGlitchValue(code);
    ReportGlitch(kGlitchReverseDirection, 1);
    return code;
  }
  return code ^ 1;
}

// ---- The item's marks ----

int CDrawItem::MarkUsed(int x1, int y1, int x2, int y2, int code) {
  if (!m_usedSegments) {
    try {
      m_usedSegments = std::make_unique<CUsedSegmentList>(this);
    } catch (const std::bad_alloc&) {
      LogAction(kLogMarkUsed, 1, kLogMinorFailure);
      return 0;
    }
  }
  return m_usedSegments->Mark(x1, y1, x2, y2, code);
}

void CDrawItem::MarkAllUsed(int code) {
  if (!m_usedSegments) {
    try {
      m_usedSegments = std::make_unique<CUsedSegmentList>(this);
    } catch (const std::bad_alloc&) {
      LogAction(kLogMarkAllUsed, 1, kLogMinorFailure);
      return;
    }
  }
  m_usedSegments->MarkWhole(code);
}

void CDrawItem::ClearUsedCode(int code) {
  if (!m_usedSegments) {
    LogAction(kLogClearUsedCode, 1, kLogMinorFailure);
    return;
  }
  m_usedSegments->ClearCode(code);
}

void CDrawItem::ClearUsedFrom(int code) {
  if (!m_usedSegments) {
    LogAction(kLogClearUsedFrom, 1, kLogMinorFailure);
    return;
  }
  m_usedSegments->ClearFrom(code);
}

void CDrawItem::RenumberUsed(int from, int to) {
  if (!m_usedSegments) {
    LogAction(kLogClearUsedCode, 1, kLogMinorFailure);
    return;
  }
  m_usedSegments->Renumber(from, to);
}

int CDrawItem::GetUsedCodeAt(int x, int y) const {
  if (!m_usedSegments) {
    LogAction(kLogGetUsedCodeAt, 1, kLogMinorFailure);
    return -1;
  }
  return m_usedSegments->GetCodeAt(x, y);
}

int CDrawItem::GetUsedCodeOver(int x1, int y1, int x2, int y2) const {
  if (!m_usedSegments) {
    LogAction(kLogGetUsedCodeOver, 1, kLogMinorFailure);
    return -1;
  }
  return m_usedSegments->GetCodeOver(x1, y1, x2, y2);
}

int CDrawItem::GetUsedState() const {
  if (!m_usedSegments) {
    LogAction(kLogGetUsedState, 1, kLogMinorFailure);
    return -1;
  }
  return m_usedSegments->GetState();
}

int CDrawItem::IsMarkedUsed() const {
  if (!m_usedSegments) {
    LogAction(kLogIsMarkedUsed, 1, kLogMinorFailure);
    return 0;
  }
  return m_usedSegments->HasLastingMark();
}

void CDrawItem::SkipUsedPieces(int& x, int& y) const {
  if (m_usedSegments) m_usedSegments->SkipPieces(x, y);
}

// ---- Junctions ----

namespace {

// The answer for B's direction c and A's leaving direction e, both up or down: by whether they
// agree and by the classes of B's tangent P and A's tangent Q.
int TurnBySlopes(const CSlope& p, const CSlope& q, bool same) {
  const int agree = same ? 1 : -1;  // the answer in the "c = e" column; the other is opposite
  if (p.IsVertical()) {
    if (q.IsPositive()) return -agree;
    if (q.IsNegative()) return agree;
    return -1;  // horizontal: right either way
  }
  if (p.IsPositive()) {
    if (q.IsVertical() || q.IsNegative()) return agree;
    return (q > p) ? agree : -agree;
  }
  // P negative or horizontal.
  if (q.IsVertical() || q.IsPositive()) return -agree;
  return (q < p) ? -agree : agree;
}

}  // namespace

int CDrawItem::CompareTurnAt(CDrawItem* other, int x, int y, int direction) {
  const int end = GetEndAt(x, y, 2);
  if (end < 0 || other == nullptr) return 0;
  CSlope p;
  other->GetTangentAt(p, x, y);
  if (!IsLinearDirection(direction)) direction = other->GetDirectionAt(x, y, direction);
  CSlope q;
  GetTangentAt(q, x, y);
  if (q.IsVertical() && p.IsVertical()) return 1;
  const int leaving = GetEndDirection(end);
  switch (direction) {
    case kDirectionLeft:
      return (leaving == kDirectionDown || leaving == kDirectionLeft) ? 1 : -1;
    case kDirectionRight:
      return (leaving == kDirectionUp || leaving == kDirectionRight) ? 1 : -1;
    case kDirectionUp:
    case kDirectionDown:
      if (leaving == kDirectionLeft) return direction == kDirectionUp ? 1 : -1;
      if (leaving == kDirectionRight) return direction == kDirectionUp ? -1 : 1;
      if (leaving == kDirectionUp || leaving == kDirectionDown) {
        return TurnBySlopes(p, q, leaving == direction);
      }
      SetGlitchValue(leaving);
      ReportGlitch(kGlitchTurn, direction == kDirectionUp ? 1 : 2);
      return 0;
    default:
      SetGlitchValue(direction);
      ReportGlitch(kGlitchTurn, 5);
      return 0;
  }
}
