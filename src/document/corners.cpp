// Finding the corners of a drawing: the ends where exactly two lines meet at an angle, offered
// by the Corner tool for filleting and chamfering.
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "document/document.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogFindCorners = 1221;
// The value logged with a refusal and with the way out.
constexpr int kLogLimitValue = 8000;

// The quick search, made when the tool is chosen, declines drawings above these sizes; no
// search takes more lines and arcs than kCornerLineLimit (both lookups are quadratic).
constexpr int kQuickItemLimit = 500;
constexpr int kQuickLineLimit = 100;
constexpr int kCornerLineLimit = 8000;

// Two directions this close (radians) run on straight or fold back: no corner.
constexpr double kStraightTolerance = 1e-5;

bool g_cornerTablesFail = false;

bool IsShownUngrouped(const CDrawItem* item) {
  return item != nullptr && item->IsInvisible() == 0 && item->GetGroupNumber() == 0;
}

// Lines and arcs are the items corners are looked up among.
bool IsCountedItem(const CDrawItem* item) {
  return IsShownUngrouped(item) && (item->GetType() == kItemLine || item->GetType() == kItemArc);
}

// Shows the wait cursor for an interactive search and puts back the cursor it found on every
// way out. A wait cursor already shown by the caller stays.
class WaitCursorGuard {
 public:
  explicit WaitCursorGuard(bool show) : m_shown(show) {
    if (!m_shown) return;
    m_wasWaiting = g_savedCursor.has_value();
    ShowWaitCursor();
  }
  ~WaitCursorGuard() {
    if (m_shown && !m_wasWaiting) HideWaitCursor();
  }
  WaitCursorGuard(const WaitCursorGuard&) = delete;
  WaitCursorGuard& operator=(const WaitCursorGuard&) = delete;

 private:
  bool m_shown = false;
  bool m_wasWaiting = false;
};

// The lines and arcs in list order as plain integers, so that each lookup is a scan of
// integers instead of a walk over the items. Freed with the object.
struct CornerTables {
  std::vector<std::int32_t> startX;
  std::vector<std::int32_t> startY;
  std::vector<std::int32_t> endX;
  std::vector<std::int32_t> endY;
  std::vector<std::int32_t> index;  // the line's list index; -1 for an arc

  bool Allocate(int n) {
    if (g_cornerTablesFail) return false;
    try {
      for (auto* table : {&startX, &startY, &endX, &endY, &index}) table->reserve(n);
    } catch (const std::bad_alloc&) {
      for (auto* table : {&startX, &startY, &endX, &endY, &index}) {
        std::vector<std::int32_t>().swap(*table);
      }
      return false;
    }
    return true;
  }
  int Count() const { return static_cast<int>(index.size()); }
};

// What meets an end P: the lines ending there (up to two) with the far end of the first.
struct EndNeighbours {
  bool arcEnds = false;
  int count = 0;
  int farX = 0;
  int farY = 0;

  // Counts one line; true when looking can stop (a second line).
  bool AddLine(int otherEndX, int otherEndY) {
    if (++count == 1) {
      farX = otherEndX;
      farY = otherEndY;
      return false;
    }
    return true;
  }
};

EndNeighbours LookUpInTables(const CornerTables& t, int line, int px, int py) {
  EndNeighbours n;
  for (int k = 0; k < t.Count(); ++k) {
    const auto ku = static_cast<std::size_t>(k);
    if (t.startX[ku] == px && t.startY[ku] == py) {
      if (t.index[ku] < 0) {
        n.arcEnds = true;
        return n;
      }
      if (t.index[ku] != line && n.AddLine(t.endX[ku], t.endY[ku])) return n;
    }
    if (t.endX[ku] == px && t.endY[ku] == py) {
      if (t.index[ku] < 0) {
        n.arcEnds = true;
        return n;
      }
      if (t.index[ku] != line && n.AddLine(t.startX[ku], t.startY[ku])) return n;
    }
  }
  return n;
}

EndNeighbours LookUpInList(const CZephDoc& doc, int line, int px, int py) {
  EndNeighbours n;
  for (int k = 0; k < doc.GetItemCount(); ++k) {
    const CDrawItem* other = doc.GetItem(k);
    if (k == line || !IsCountedItem(other)) continue;
    int sx = 0;
    int sy = 0;
    int ex = 0;
    int ey = 0;
    other->GetStart(sx, sy);
    other->GetEnd(ex, ey);
    const bool atStart = sx == px && sy == py;
    const bool atEnd = ex == px && ey == py;
    if (other->GetType() == kItemArc) {
      if (atStart || atEnd) {
        n.arcEnds = true;
        return n;
      }
      continue;
    }
    if (atStart) {
      if (n.AddLine(ex, ey)) return n;
    } else if (atEnd) {
      if (n.AddLine(sx, sy)) return n;
    }
  }
  return n;
}

// Whether two lines meeting at P, coming from Q and from O, make a corner there.
bool MeetAtAngle(int px, int py, int qx, int qy, int ox, int oy) {
  if ((px == qx && py == qy) || (px == ox && py == oy)) return false;  // a line of no length
  const double a1 = std::atan2(static_cast<double>(py) - qy, static_cast<double>(px) - qx);
  const double a2 = std::atan2(static_cast<double>(py) - oy, static_cast<double>(px) - ox);
  const double d = std::fabs(a2 - a1);
  // Two directions either side of the half turn (just above -pi and at pi) differ by nearly
  // a whole turn and are as good as equal: the lines fold back.
  return d >= kStraightTolerance && std::fabs(d - kPi) >= kStraightTolerance &&
         std::fabs(d - g_twoPi) >= kStraightTolerance;
}

}  // namespace

void CZephDoc::SetCornerTablesFailForTest(bool fail) { g_cornerTablesFail = fail; }

std::int16_t CZephDoc::FindCorners(const CViewMapping* mapping, int interactive) {
  LogScope trace(kLogFindCorners);
  m_cornerCount = 0;
  if (GetItemCount() < 2) return trace.Return(std::int16_t{-1});

  const WaitCursorGuard waitCursor(interactive != 0);
  if (interactive == 0 && GetItemCount() > kQuickItemLimit) {
    return trace.Return(std::int16_t{0}, kLogLimitValue, 1);
  }

  trace.Step(1);
  int counted = 0;
  for (const DrawItemPtr& item : m_items) {
    if (IsCountedItem(item.get())) ++counted;
  }
  if (interactive == 0 && counted > kQuickLineLimit) {
    return trace.Return(std::int16_t{0}, kLogLimitValue, 2);
  }
  if (counted > kCornerLineLimit) return trace.Return(std::int16_t{-2}, kLogLimitValue, 3);

  trace.Step(2);
  CornerTables tables;
  const bool useTables = tables.Allocate(counted);
  if (useTables) {
    for (int i = 0; i < GetItemCount(); ++i) {
      const CDrawItem* item = m_items[static_cast<std::size_t>(i)].get();
      if (!IsCountedItem(item)) continue;
      int sx = 0;
      int sy = 0;
      int ex = 0;
      int ey = 0;
      item->GetStart(sx, sy);
      item->GetEnd(ex, ey);
      tables.startX.push_back(sx);
      tables.startY.push_back(sy);
      tables.endX.push_back(ex);
      tables.endY.push_back(ey);
      tables.index.push_back(item->GetType() == kItemLine ? i : -1);
    }
    if (tables.Count() < 2) return trace.Return(std::int16_t{-1}, kLogOk, 2);
  }

  trace.Step(10);
  LogNumber(useTables ? 1 : 0);
  for (int i = 0; i < GetItemCount(); ++i) {
    const CDrawItem* line = m_items[static_cast<std::size_t>(i)].get();
    if (!IsShownUngrouped(line) || line->GetType() != kItemLine) continue;
    int ends[2][2] = {};
    line->GetStart(ends[0][0], ends[0][1]);
    line->GetEnd(ends[1][0], ends[1][1]);
    for (int end = 0; end < 2; ++end) {
      const int px = ends[end][0];
      const int py = ends[end][1];
      const int qx = ends[1 - end][0];
      const int qy = ends[1 - end][1];
      if (IsPointVisible(mapping, px, py) == 0) continue;
      const EndNeighbours n =
          useTables ? LookUpInTables(tables, i, px, py) : LookUpInList(*this, i, px, py);
      if (n.arcEnds || n.count != 1) continue;
      if (!MeetAtAngle(px, py, qx, qy, n.farX, n.farY)) continue;
      // A full list takes no more; the rest of this line is passed over.
      if (AddCorner(CItemRef(i, static_cast<std::int16_t>(end))) == 0) break;
    }
  }
  return trace.Return(static_cast<std::int16_t>(m_cornerCount > 0 ? 1 : -1));
}
