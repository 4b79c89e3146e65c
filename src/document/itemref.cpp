#include "document/itemref.h"

#include <algorithm>
#include <new>

#include "items/drawitem.h"
#include "support/log.h"

namespace {

bool g_growFailureForTests = false;

// Past the end, GetAt and ElementAt each hand out their own empty reference, made empty again
// at every such call (a caller may have written through the one ElementAt gave).
CItemRef g_emptyGetAt;
CItemRef g_emptyElementAt;

constexpr int kGlitchAddInvalid = 1301;
constexpr int kLogGrow = 1302;

}  // namespace

void CItemRefList::RemoveAll() {
  std::fill_n(m_entries.begin(), m_count, CItemRef());
  m_count = 0;
}

const CItemRef& CItemRefList::GetAt(std::uint16_t index) const {
  if (index < m_count) return m_entries[index];
  g_emptyGetAt = CItemRef();
  return g_emptyGetAt;
}

CItemRef& CItemRefList::ElementAt(std::uint16_t index) {
  if (index < m_count) return m_entries[index];
  g_emptyElementAt = CItemRef();
  return g_emptyElementAt;
}

void CItemRefList::Add(const CItemRef& ref) {
  if (ref.IsInvalid() != 0) {
    SetGlitchValue(ref.GetItem());
    SetGlitchValue(ref.GetPoint());
    ReportGlitch(kGlitchAddInvalid, 1);
    return;
  }
  if (m_count >= m_entries.size()) {
    Grow();
    if (m_count >= m_entries.size()) return;
  }
  m_entries[m_count] = ref;
  ++m_count;
}

int CItemRefList::Contains(const CItemRef& ref) const {
  for (std::uint16_t i = 0; i < m_count; ++i) {
    if (m_entries[i].Equals(ref) != 0) return 1;
  }
  return 0;
}

void CItemRefList::Grow() {
  LogScope trace(kLogGrow);
  const std::size_t capacity = m_entries.size();
  if (capacity >= kCapacityLimit) {
    trace.Exit(kLogMemory, 1);
    return;
  }
  std::size_t grown = 0;
  if (capacity == 0) {
    grown = kFirstCapacity;
  } else if (capacity >= 32768) {
    grown = kCapacityLimit;
  } else {
    grown = capacity * 2;
  }
  try {
    if (g_growFailureForTests) throw std::bad_alloc();
    m_entries.resize(grown);  // the new entries are empty references
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 2);
    return;
  }
  trace.Exit();
}

void CItemRefList::Invalidate(std::uint16_t index) {
  if (index < m_count) m_entries[index] = CItemRef();
}

std::uint16_t CItemRefList::Compact() {
  const auto begin = m_entries.begin();
  const auto kept = std::remove_if(begin, begin + m_count,
                                   [](const CItemRef& ref) { return ref.IsInvalid() != 0; });
  std::fill(kept, begin + m_count, CItemRef());
  m_count = static_cast<std::uint16_t>(kept - begin);
  return m_count;
}

void CItemRefList::Sort() {
  if (m_count < 2) return;
  // Equal references are indistinguishable, so any correct sort gives the one order.
  std::sort(m_entries.begin(), m_entries.begin() + m_count,
            [](const CItemRef& a, const CItemRef& b) { return b.IsAfter(a) != 0; });
}

void CItemRefList::SetGrowFailureForTests(bool fail) { g_growFailureForTests = fail; }

int ReachableHandles(const CDrawItem& item) {
  return std::clamp(item.GetHandleCount(), 0, static_cast<int>(CItemRef::kNoPoint));
}
