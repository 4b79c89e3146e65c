#include "items/intersect.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "support/log.h"
#include "support/numbers.h"

std::vector<std::int32_t> g_intersectX;
std::vector<std::int32_t> g_intersectY;
std::vector<std::int32_t> g_intersectFlags;
int g_intersectCapacity = 0;

int g_splitCount = 0;
int g_splitCapacity = 0;
std::vector<std::int32_t> g_splitX;
std::vector<std::int32_t> g_splitY;
std::vector<double> g_splitParam;
std::vector<std::uint8_t> g_splitKeep;
std::vector<CDrawItem*> g_splitPieces;

bool CFoundPoints::Add(int x, int y, int flag) {
  if (IsFull()) return false;
  g_intersectX[m_count] = x;
  g_intersectY[m_count] = y;
  g_intersectFlags[m_count] = flag;
  ++m_count;
  return true;
}

bool CFoundPoints::HasNear(int x, int y, int distance) const {
  for (int i = 0; i < m_count; ++i) {
    if (std::llabs(static_cast<std::int64_t>(x) - X(i)) <= distance &&
        std::llabs(static_cast<std::int64_t>(y) - Y(i)) <= distance) {
      return true;
    }
  }
  return false;
}

namespace {

constexpr int kFirstIntersectCapacity = 10;
constexpr int kFirstSplitCapacity = 1000;
constexpr int kFirstCacheCapacity = 1024;
constexpr int kCodeCacheIntersections = 1279;

template <typename T>
void Release(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

// Doubles a capacity, or starts it, and makes it at least wanted; 0 when that cannot be
// held in an int.
int GrownCapacity(int old, int first, std::int64_t wanted) {
  std::int64_t grown = old == 0 ? first : 2 * static_cast<std::int64_t>(old);
  grown = std::max(grown, wanted);
  return grown > kIntRangeMax ? 0 : static_cast<int>(grown);
}

// Copies old into a new array of capacity elements (the rest zero).
template <typename T>
std::vector<T> Regrown(const std::vector<T>& old, int capacity) {
  std::vector<T> grown(static_cast<std::size_t>(capacity));
  std::copy(old.begin(), old.begin() + std::min<std::ptrdiff_t>(old.size(), capacity),
            grown.begin());
  return grown;
}

}  // namespace

int EnsureIntersectionCapacity(int n) {
  if (g_intersectCapacity >= n) return 1;
  const int capacity = GrownCapacity(g_intersectCapacity, kFirstIntersectCapacity, n);
  // The old results are not kept: every caller writes its points afresh.
  FreeIntersectionArrays();
  if (capacity == 0) return 0;
  try {
    g_intersectX.resize(static_cast<std::size_t>(capacity));
    g_intersectY.resize(static_cast<std::size_t>(capacity));
    g_intersectFlags.resize(static_cast<std::size_t>(capacity));
  } catch (const std::bad_alloc&) {
    FreeIntersectionArrays();
    return 0;
  }
  g_intersectCapacity = capacity;
  return 1;
}

void FreeIntersectionArrays() {
  Release(g_intersectX);
  Release(g_intersectY);
  Release(g_intersectFlags);
  g_intersectCapacity = 0;
}

int ReserveSplitList(int n) {
  const std::int64_t wanted = static_cast<std::int64_t>(g_splitCount) + n;
  if (wanted <= g_splitCapacity) return 1;
  const int capacity = GrownCapacity(g_splitCapacity, kFirstSplitCapacity, wanted);
  if (capacity == 0) return 0;
  try {
    auto x = Regrown(g_splitX, capacity);
    auto y = Regrown(g_splitY, capacity);
    auto param = Regrown(g_splitParam, capacity);
    auto keep = Regrown(g_splitKeep, capacity);
    auto pieces = Regrown(g_splitPieces, capacity);
    g_splitX.swap(x);
    g_splitY.swap(y);
    g_splitParam.swap(param);
    g_splitKeep.swap(keep);
    g_splitPieces.swap(pieces);
  } catch (const std::bad_alloc&) {
    return 0;  // the old list stays as it was
  }
  g_splitCapacity = capacity;
  return 1;
}

void FreeSplitList() {
  Release(g_splitX);
  Release(g_splitY);
  Release(g_splitParam);
  Release(g_splitKeep);
  Release(g_splitPieces);
  g_splitCapacity = 0;
  g_splitCount = 0;
}

void ResetIntersectionState() {
  FreeIntersectionArrays();
  FreeSplitList();
}

int CIntersectionCache::Store(int count, ItemSerial a, ItemSerial b) {
  count = std::max(count, 0);
  // More points than the result arrays hold cannot have come from them.
  if (count > g_intersectCapacity) return 0;
  std::vector<std::int32_t> x;
  std::vector<std::int32_t> y;
  try {
    x.assign(g_intersectX.begin(), g_intersectX.begin() + count);
    y.assign(g_intersectY.begin(), g_intersectY.begin() + count);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  m_x.swap(x);
  m_y.swap(y);
  m_itemA = a;
  m_itemB = b;
  m_count = count;
  return 1;
}

int CIntersectionCache::CopyOut() const {
  const int count = std::max(m_count, 0);
  if (!EnsureIntersectionCapacity(count)) return 0;
  std::copy(m_x.begin(), m_x.begin() + count, g_intersectX.begin());
  std::copy(m_y.begin(), m_y.begin() + count, g_intersectY.begin());
  return count;
}

int CIntersectionCache::Involves(ItemSerial item) const {
  return (item != 0 && (item == m_itemA || item == m_itemB)) ? 1 : 0;
}

int CIntersectionCache::Matches(ItemSerial a, ItemSerial b) const {
  if (a == 0 || b == 0 || m_count < 0) return 0;
  return ((a == m_itemA && b == m_itemB) || (a == m_itemB && b == m_itemA)) ? 1 : 0;
}

int CIntersectionCacheList::Find(ItemSerial a, ItemSerial b) const {
  for (const CIntersectionCache& entry : m_entries) {
    if (entry.Matches(a, b)) return entry.CopyOut();
  }
  return -1;
}

void CIntersectionCacheList::Add(int count, ItemSerial a, ItemSerial b) {
  if (a == 0 || b == 0) return;
  if (m_entries.size() == m_entries.capacity()) {
    const int old = static_cast<int>(m_entries.capacity());
    const int wanted = old == 0 ? kFirstCacheCapacity : 2 * old;
    LogAction(kCodeCacheIntersections, 1, kLogProgress);
    try {
      m_entries.reserve(static_cast<std::size_t>(wanted));
    } catch (const std::exception&) {
      LogAction(kCodeCacheIntersections, 1, kLogMemory);
      LogNumber(wanted);
      LogNumber(old);
      return;
    }
    LogAction(kCodeCacheIntersections, 1, kLogOk);
  }
  CIntersectionCache entry;
  if (!entry.Store(count, a, b)) {
    LogAction(kCodeCacheIntersections, 1, kLogMinorFailure);
    return;
  }
  m_entries.push_back(std::move(entry));  // room was made above
}

void CIntersectionCacheList::Drop(ItemSerial item) {
  std::erase_if(m_entries, [item](const CIntersectionCache& e) { return e.Involves(item) != 0; });
}

void CIntersectionCacheList::Clear() { m_entries.clear(); }
