// References to the handles of the document's items: reading and moving the point a reference
// names, iterating over every shown handle, the selected points with their ways of choosing
// (by point, by rectangle, by clicking, by line ends, whole groups following) and the corner
// list.
#include <algorithm>
#include <cstdint>
#include <new>

#include "document/document.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/log.h"

namespace {

constexpr int kGlitchNearestCorner = 1205;
constexpr int kGlitchLineEndAt = 1224;
constexpr int kGlitchMoveRefPoint = 1241;
constexpr int kGlitchSetRefPoint = 1273;
constexpr int kGlitchRefX = 1281;
constexpr int kGlitchRefY = 1282;

// The point a reference names, through GetRefX and GetRefY (which report a bad reference);
// false for a reference to no item.
bool ReadRefPoint(const CZephDoc& doc, const CItemRef& ref, int& x, int& y) {
  if (doc.GetRefItem(ref) == nullptr) {
    x = doc.GetRefX(ref);
    y = 0;
    return false;
  }
  x = doc.GetRefX(ref);
  y = doc.GetRefY(ref);
  return true;
}

// Calls visit(item index, handle index, x, y) for every handle of every shown item (fills
// left out unless withFills), items in list order, handles in order.
template <typename Visit>
void ForEachShownHandle(const CZephDoc& doc, bool withFills, Visit&& visit) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    if (item == nullptr || item->IsInvisible() != 0) continue;
    if (!withFills && item->GetType() == kItemFill) continue;
    const int handles = ReachableHandles(*item);
    for (int h = 0; h < handles; ++h) {
      visit(i, h, item->GetHandleX(h), item->GetHandleY(h));
    }
  }
}

CItemRef MakeRef(int item, int handle) {
  return CItemRef(static_cast<std::int32_t>(item), static_cast<std::int16_t>(handle));
}

}  // namespace

// ---- References ----

CDrawItem* CZephDoc::GetRefItem(const CItemRef& ref) const {
  const int index = ref.GetItem();
  if (index < 0 || index >= GetItemCount()) return nullptr;
  return m_items[static_cast<std::size_t>(index)].get();
}

int CZephDoc::IsRefToItem(const CDrawItem* item, const CItemRef& ref) const {
  return item != nullptr && GetRefItem(ref) == item ? 1 : 0;
}

int CZephDoc::GetRefX(const CItemRef& ref) const {
  const CDrawItem* item = GetRefItem(ref);
  if (item == nullptr) {
    SetGlitchValue(ref.GetItem());
    SetGlitchValue(ref.GetPoint());
    ReportGlitch(kGlitchRefX, 1);
    return 0;
  }
  return item->GetHandleX(ref.GetPoint());
}

int CZephDoc::GetRefY(const CItemRef& ref) const {
  const CDrawItem* item = GetRefItem(ref);
  if (item == nullptr) {
    SetGlitchValue(ref.GetItem());
    SetGlitchValue(ref.GetPoint());
    ReportGlitch(kGlitchRefY, 1);
    return 0;
  }
  return item->GetHandleY(ref.GetPoint());
}

void CZephDoc::MoveRefPoint(const CItemRef& ref, int dx, int dy) {
  CDrawItem* item = GetRefItem(ref);
  if (item == nullptr) {
    SetGlitchValue(ref.GetItem());
    SetGlitchValue(ref.GetPoint());
    ReportGlitch(kGlitchMoveRefPoint, 1);
    return;
  }
  item->MoveHandle(ref.GetPoint(), dx, dy);
}

void CZephDoc::SetRefPoint(const CItemRef& ref, int x, int y) {
  CDrawItem* item = GetRefItem(ref);
  if (item == nullptr) {
    SetGlitchValue(ref.GetItem());
    ReportGlitch(kGlitchSetRefPoint, 1);
    return;
  }
  item->SetHandle(ref.GetPoint(), x, y);
}

// ---- Point iteration ----

CItemRef CZephDoc::FirstPoint() const {
  CItemRef ref(0, 0);
  SkipInvisibleItems(ref);
  return ref;
}

void CZephDoc::NextPoint(CItemRef& ref) const {
  const CDrawItem* item = GetRefItem(ref);
  if (item == nullptr) return;
  if (ref.GetPoint() + 1 < ReachableHandles(*item)) {
    ref.SetPoint(static_cast<std::int16_t>(ref.GetPoint() + 1));
    return;
  }
  ref = MakeRef(ref.GetItem() + 1, 0);
  SkipInvisibleItems(ref);
}

int CZephDoc::IsPastLastPoint(const CItemRef& ref) const {
  // An empty reference ends an iteration too, so that no loop over it runs for ever.
  return ref.IsInvalid() != 0 || ref.GetItem() >= GetItemCount() ? 1 : 0;
}

void CZephDoc::SkipInvisibleItems(CItemRef& ref) const {
  int index = ref.GetItem();
  if (index < 0) return;
  while (index < GetItemCount()) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(index)].get();
    if (item != nullptr && item->IsInvisible() == 0) break;
    ++index;
  }
  if (index != ref.GetItem()) ref = MakeRef(index, 0);
}

int CZephDoc::IsPointVisible(const CViewMapping* mapping, int x, int y) const {
  if (mapping == nullptr) return 0;
  const int deviceX = mapping->DrawingToDeviceX(x);
  const int deviceY = mapping->DrawingToDeviceY(y);
  return deviceX >= 0 && deviceX < m_windowWidth && deviceY >= 0 && deviceY < m_windowHeight ? 1
                                                                                             : 0;
}

CItemRef CZephDoc::FindLineEndAt(const CItemRef& ref) const {
  int x = 0;
  int y = 0;
  if (ReadRefPoint(*this, ref, x, y)) {
    for (int i = 0; i < GetItemCount(); ++i) {
      const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
      if (i == ref.GetItem() || item == nullptr || item->GetType() != kItemLine ||
          item->IsInvisible() != 0) {
        continue;
      }
      int ex = 0;
      int ey = 0;
      item->GetStart(ex, ey);
      if (ex == x && ey == y) return MakeRef(i, 0);
      item->GetEnd(ex, ey);
      if (ex == x && ey == y) return MakeRef(i, 1);
    }
  }
  ReportGlitch(kGlitchLineEndAt, 1);
  return CItemRef(0, 0);
}

CItemRef CZephDoc::GetNearestListedPoint(const CItemRefList& list) const {
  CItemRef nearest;
  int best = 0;
  for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
    const CItemRef ref = list.GetAt(i);
    if (ref.IsInvalid() != 0) continue;  // an entry emptied and not yet compacted
    const int distance = GetCursorDistance(GetRefX(ref), GetRefY(ref));
    if (nearest.IsInvalid() != 0 || distance < best) {
      nearest = ref;
      best = distance;
    }
  }
  return nearest;
}

// ---- The selected points ----

void CZephDoc::SelectPointsAt(int x, int y) {
  ForEachShownHandle(*this, true, [&](int i, int h, int hx, int hy) {
    const CItemRef ref = MakeRef(i, h);
    if (hx == x && hy == y && m_selectedPoints.Contains(ref) == 0) m_selectedPoints.Add(ref);
  });
  m_selectedPoints.Sort();
}

void CZephDoc::SelectLinesAtPoint(int x, int y) {
  m_selectedPoints.RemoveAll();
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
    if (item == nullptr || item->GetType() != kItemLine || item->IsInvisible() != 0) continue;
    int sx = 0;
    int sy = 0;
    int ex = 0;
    int ey = 0;
    item->GetStart(sx, sy);
    item->GetEnd(ex, ey);
    if ((sx == x && sy == y) || (ex == x && ey == y)) {
      AddCoincidentPoints(m_selectedPoints, MakeRef(i, 0));
      AddCoincidentPoints(m_selectedPoints, MakeRef(i, 1));
    }
  }
  m_selectedPoints.Sort();
}

void CZephDoc::SetSelectedPoints(const CItemRefList& list) {
  if (&list != &m_selectedPoints) {
    m_selectedPoints.RemoveAll();
    // Every entry is taken: the list grows as far as it must.
    for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
      const CItemRef ref = list.GetAt(i);
      if (ref.IsInvalid() == 0) m_selectedPoints.Add(ref);
    }
  }
  m_selectedPoints.Sort();
}

void CZephDoc::SortSelectedPoints() { m_selectedPoints.Sort(); }

// ---- Operations on any list ----

void CZephDoc::AddCoincidentPoints(CItemRefList& list, const CItemRef& ref) const {
  int x = 0;
  int y = 0;
  if (!ReadRefPoint(*this, ref, x, y)) return;
  ForEachShownHandle(*this, false, [&](int i, int h, int hx, int hy) {
    const CItemRef found = MakeRef(i, h);
    if (hx == x && hy == y && list.Contains(found) == 0) list.Add(found);
  });
}

void CZephDoc::AddGroupPoints(CItemRefList& list, int group) const {
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
    if (item == nullptr || item->IsInvisible() != 0 || item->GetType() == kItemFill ||
        item->GetGroupNumber() != group) {
      continue;
    }
    const int handles = ReachableHandles(*item);
    for (int h = 0; h < handles; ++h) {
      const CItemRef ref = MakeRef(i, h);
      if (list.Contains(ref) == 0) list.Add(ref);
    }
  }
}

void CZephDoc::RemoveGroupPoints(CItemRefList& list, int group) const {
  for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
    const CDrawItem* item = GetRefItem(list.GetAt(i));
    if (item != nullptr && list.GetAt(i).IsInvalid() == 0 && item->GetGroupNumber() == group) {
      list.Invalidate(i);
    }
  }
}

int CZephDoc::ExpandToGroups(CItemRefList& list) const {
  const std::uint16_t count = list.GetCount();
  for (std::uint16_t i = 0; i < count; ++i) {
    // A copy: adding may move the list's entries.
    const CItemRef ref = list.GetAt(i);
    const CDrawItem* item = ref.IsInvalid() != 0 ? nullptr : GetRefItem(ref);
    if (item != nullptr && item->GetGroupNumber() != 0) {
      AddGroupPoints(list, item->GetGroupNumber());
    }
  }
  return count;
}

void CZephDoc::SelectPointsInRect(CItemRefList& list, const CViewMapping* mapping,
                                  const zeph::DcRect& rect, int remove) const {
  if (mapping == nullptr) return;
  // Device y grows downwards, drawing y upwards.
  const int x1 = mapping->DeviceToDrawingX(rect.left);
  const int x2 = mapping->DeviceToDrawingX(rect.right);
  const int y1 = mapping->DeviceToDrawingY(rect.bottom, 0);
  const int y2 = mapping->DeviceToDrawingY(rect.top, 0);
  const auto inside = [&](int x, int y) { return x1 <= x && x <= x2 && y1 <= y && y <= y2; };

  if (remove == 0) {
    ForEachShownHandle(*this, false, [&](int i, int h, int hx, int hy) {
      const CItemRef ref = MakeRef(i, h);
      if (!inside(hx, hy) || list.Contains(ref) != 0) return;
      list.Add(ref);
      const int group = m_items[static_cast<std::size_t>(i)]->GetGroupNumber();
      if (group != 0) AddGroupPoints(list, group);
    });
    return;
  }
  const std::uint16_t count = list.GetCount();
  for (std::uint16_t i = 0; i < count; ++i) {
    const CItemRef ref = list.GetAt(i);
    const CDrawItem* item = ref.IsInvalid() != 0 ? nullptr : GetRefItem(ref);
    if (item == nullptr || !inside(GetRefX(ref), GetRefY(ref))) continue;
    list.Invalidate(i);
    if (item->GetGroupNumber() != 0) RemoveGroupPoints(list, item->GetGroupNumber());
  }
  list.Compact();
}

void CZephDoc::TogglePointAt(CItemRefList& list, const CItemRef& ref) const {
  int x = 0;
  int y = 0;
  if (!ReadRefPoint(*this, ref, x, y)) return;

  if (list.Contains(ref) != 0) {
    for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
      const CItemRef entry = list.GetAt(i);
      const CDrawItem* item = entry.IsInvalid() != 0 ? nullptr : GetRefItem(entry);
      if (item == nullptr || GetRefX(entry) != x || GetRefY(entry) != y) continue;
      list.Invalidate(i);
      if (item->GetGroupNumber() != 0) RemoveGroupPoints(list, item->GetGroupNumber());
    }
    list.Compact();
    return;
  }
  ForEachShownHandle(*this, false, [&](int i, int h, int hx, int hy) {
    const CItemRef found = MakeRef(i, h);
    if (hx != x || hy != y || list.Contains(found) != 0) return;
    list.Add(found);
    const int group = m_items[static_cast<std::size_t>(i)]->GetGroupNumber();
    if (group != 0) AddGroupPoints(list, group);
  });
}

// ---- Corners ----

int CZephDoc::AddCorner(const CItemRef& ref) {
  if (static_cast<std::size_t>(m_cornerCount) >= m_corners.size()) {
    if (m_corners.size() >= static_cast<std::size_t>(kCornerListLimit)) return 0;
    try {
      m_corners.resize(m_corners.size() + kCornerListStep);  // new entries are empty
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  m_corners[static_cast<std::size_t>(m_cornerCount)] = ref;
  ++m_cornerCount;
  return 1;
}

CItemRef CZephDoc::GetNearestCorner() const {
  if (m_cornerCount <= 0) {
    ReportGlitch(kGlitchNearestCorner, 1);
    return CItemRef();
  }
  CItemRef nearest = m_corners[0];
  int best = GetCursorDistance(GetRefX(nearest), GetRefY(nearest));
  for (int i = 1; i < m_cornerCount; ++i) {
    const CItemRef& corner = m_corners[static_cast<std::size_t>(i)];
    const int distance = GetCursorDistance(GetRefX(corner), GetRefY(corner));
    if (distance < best) {
      nearest = corner;
      best = distance;
    }
  }
  return nearest;
}
