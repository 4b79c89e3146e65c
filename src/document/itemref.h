#pragma once
// References to the defining points of a drawing's items, and growable lists of them.
//
// A reference names one handle of one item by position: the item's index in the document's
// item list and the handle's index as the item numbers its handles. It stays meaningful only
// while the item list is not reordered. The point operations of the editor (moving points,
// stretching, extending, corners) and the document's selected points work on these lists.
#include <cstdint>
#include <vector>

class CItemRef {
 public:
  static constexpr std::int32_t kNoItem = -1;
  static constexpr std::int16_t kNoPoint = 32767;

  // The empty reference.
  constexpr CItemRef() = default;
  constexpr CItemRef(std::int32_t item, std::int16_t point) : m_item(item), m_point(point) {}

  static constexpr CItemRef Invalid() { return CItemRef(); }

  // 1 when the reference names no item or no handle.
  constexpr int IsInvalid() const { return m_item == kNoItem || m_point == kNoPoint ? 1 : 0; }

  constexpr std::int32_t GetItem() const { return m_item; }
  constexpr std::int16_t GetPoint() const { return m_point; }
  constexpr void SetPoint(std::int16_t point) { m_point = point; }

  // 1 when both indexes are equal.
  constexpr int Equals(const CItemRef& other) const {
    return m_item == other.m_item && m_point == other.m_point ? 1 : 0;
  }
  // 1 when this comes after other: a later item, or a later handle of the same item.
  constexpr int IsAfter(const CItemRef& other) const {
    if (m_item != other.m_item) return m_item > other.m_item ? 1 : 0;
    return m_point > other.m_point ? 1 : 0;
  }

 private:
  std::int32_t m_item = kNoItem;
  std::int16_t m_point = kNoPoint;
};

// The empty reference (no item, no handle).
constexpr CItemRef InvalidItemRef() { return CItemRef(); }

// A list of references of at most 65535 entries. Capacity starts at 0 and grows to 128 at the
// first addition, then doubles, and from 32768 takes the last step to 65535. A full list of
// 65535 entries, or one whose growth cannot be allocated, silently takes no more entries.
class CItemRefList {
 public:
  static constexpr std::uint16_t kFirstCapacity = 128;
  static constexpr std::uint16_t kCapacityLimit = 65535;

  CItemRefList() = default;

  std::uint16_t GetCount() const { return m_count; }
  std::uint16_t GetCapacity() const { return static_cast<std::uint16_t>(m_entries.size()); }

  // Count 0; the storage stays for the next entries.
  void RemoveAll();

  // The entry at index. An index at or beyond the count gives an empty reference kept for
  // that purpose by each of the two operations and made empty again at every such call, so
  // that a caller writing through it never changes the list or sees an earlier write.
  const CItemRef& GetAt(std::uint16_t index) const;
  CItemRef& ElementAt(std::uint16_t index);

  // Appends ref, growing a full list first. An invalid reference is a glitch (1301, n 1) and
  // is not added; a list that cannot grow takes nothing, without telling the caller.
  void Add(const CItemRef& ref);
  // 1 when an equal entry is listed.
  int Contains(const CItemRef& ref) const;
  // The next capacity step (see the class comment); new entries start empty. A list already
  // at the limit, or a failed allocation, leaves the list as it was (logged as lack of memory).
  void Grow();
  // Makes the entry at index empty; nothing for an index at or beyond the count.
  void Invalidate(std::uint16_t index);
  // Removes the empty and invalid entries, keeping the order of the others; the new count.
  std::uint16_t Compact();
  // Ascending by item index, then handle index.
  void Sort();

  // While set, every growth fails as if no memory could be had. For tests.
  static void SetGrowFailureForTests(bool fail);

 private:
  std::vector<CItemRef> m_entries;  // capacity entries; those at count and beyond are empty
  std::uint16_t m_count = 0;
};

class CDrawItem;
// The handles of the item a reference can name: its 16-bit handle index stops below the
// empty one, so an item with more handles (a large fill) shows only the first 32767.
int ReachableHandles(const CDrawItem& item);
