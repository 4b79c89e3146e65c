#include "document/spatialindex.h"

#include <algorithm>
#include <cmath>

#include "items/geometry.h"

namespace {

// Records per leaf and children per node of the packed tree.
constexpr std::size_t kFanout = 16;

// The pending list is folded into the tree once it holds more than this many records.
std::size_t PendingLimit(std::size_t count) { return 64 + count / 16; }
std::size_t GoneLimit(std::size_t count) { return 1024 + count / 4; }

}  // namespace

bool CSpatialIndex::IsBoxed(const CDrawItem& item) {
  switch (item.GetType()) {
    case kItemLine:
    case kItemArc:
    case kItemCircle:
    case kItemEllipse:
    case kItemEllipseArc:
    case kItemBezier:
      return true;
    default:
      return false;  // texts and dimensions measure by the view; fills are few and large
  }
}

CSpatialIndex::Box CSpatialIndex::BoxOf(const CDrawItem& item) {
  // CalcBoundingBox answers through program-wide values that a caller may be using: kept.
  const ItemBounds savedBounds = g_itemBounds;
  const double savedStart = g_arcStartAngle;
  const double savedEnd = g_arcEndAngle;
  item.CalcBoundingBox(nullptr);
  Box box{static_cast<double>(g_itemBounds.minX), static_cast<double>(g_itemBounds.minY),
          static_cast<double>(g_itemBounds.maxX), static_cast<double>(g_itemBounds.maxY)};
  g_itemBounds = savedBounds;
  g_arcStartAngle = savedStart;
  g_arcEndAngle = savedEnd;
  if (box.maxX < box.minX) std::swap(box.minX, box.maxX);
  if (box.maxY < box.minY) std::swap(box.minY, box.maxY);
  if (item.GetType() == kItemBezier) {
    // A curve's own box is measured at sample points and may miss a bulge between them; the
    // control points hold the whole curve, however it is drawn.
    for (int i = 0; i < 2; ++i) {
      double x = 0;
      double y = 0;
      item.GetControlPoint(i, x, y);
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      box = {std::min(box.minX, x), std::min(box.minY, y), std::max(box.maxX, x),
             std::max(box.maxY, y)};
    }
  }
  // Widened for rounded centres and the small angle allowances of picking.
  const double margin = 2.0 + 1e-3 * std::max(box.maxX - box.minX, box.maxY - box.minY);
  return {box.minX - margin, box.minY - margin, box.maxX + margin, box.maxY + margin};
}

void CSpatialIndex::KnowBox(Record& record) {
  record.box = BoxOf(*record.item);
  record.boxKnown = true;
  m_widestPen = std::max<int>(m_widestPen, record.item->GetPenWidth());
}

double CSpatialIndex::DistanceTo(const Box& b, double x, double y) {
  const double dx = x < b.minX ? b.minX - x : (x > b.maxX ? x - b.maxX : 0.0);
  const double dy = y < b.minY ? b.minY - y : (y > b.maxY ? y - b.maxY : 0.0);
  return std::hypot(dx, dy);
}

void CSpatialIndex::Clear() {
  m_records.clear();
  m_ids.clear();
  m_pending.clear();
  m_unboxed.clear();
  m_nodes.clear();
  m_leafIds.clear();
  m_gone = 0;
  m_lastRank = -1;
  m_orderKnown = true;
  m_unranked = 0;
  m_widestPen = 1;
}

void CSpatialIndex::Reserve(std::size_t count) {
  m_records.reserve(m_records.size() + count);
  m_ids.reserve(m_ids.size() + count);
  m_pending.reserve(m_pending.size() + count);
}

void CSpatialIndex::Add(const CDrawItem* item) {
  if (item == nullptr) return;
  if (m_ids.count(item) != 0) {
    Touch(item);
    return;
  }
  const auto id = static_cast<std::uint32_t>(m_records.size());
  Record record;
  record.item = item;
  record.place = IsBoxed(*item) ? Place::kPending : Place::kUnboxed;
  m_records.push_back(record);
  m_ids.emplace(item, id);
  (record.place == Place::kPending ? m_pending : m_unboxed).push_back(id);
  ++m_unranked;
}

void CSpatialIndex::Remove(const CDrawItem* item) {
  const auto it = m_ids.find(item);
  if (it == m_ids.end()) return;
  Record& record = m_records[it->second];
  if (record.rank < 0 && m_unranked > 0) --m_unranked;
  record.place = Place::kGone;
  record.item = nullptr;
  m_ids.erase(it);
  ++m_gone;
}

void CSpatialIndex::Touch(const CDrawItem* item) {
  const auto it = m_ids.find(item);
  if (it == m_ids.end()) return;
  Record& record = m_records[it->second];
  if (record.place == Place::kTree) {
    record.place = Place::kPending;
    m_pending.push_back(it->second);
  }
  record.boxKnown = false;
}

void CSpatialIndex::Appended(const CDrawItem* item) {
  const auto it = m_ids.find(item);
  if (it == m_ids.end()) return;
  Record& record = m_records[it->second];
  // Only when every other item's place is known does the newcomer's follow from them.
  if (m_orderKnown && record.rank < 0 && m_unranked == 1) {
    record.rank = ++m_lastRank;
    m_unranked = 0;
  }
}

std::int64_t CSpatialIndex::RankOf(const CDrawItem* item) const {
  const auto it = m_ids.find(item);
  return it == m_ids.end() ? -1 : m_records[it->second].rank;
}

bool CSpatialIndex::HoldsBox(const CDrawItem* item, Box& box) {
  const auto it = m_ids.find(item);
  if (it == m_ids.end()) return false;
  Record& record = m_records[it->second];
  if (record.place == Place::kUnboxed) return false;
  if (!record.boxKnown) KnowBox(record);
  box = record.box;
  return true;
}

void CSpatialIndex::RefreshRanks(std::span<const DrawItemPtr> list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!list[i]) continue;
    const auto it = m_ids.find(list[i].get());
    if (it != m_ids.end()) m_records[it->second].rank = static_cast<std::int64_t>(i);
  }
  m_lastRank = static_cast<std::int64_t>(list.size()) - 1;
  m_orderKnown = true;
  m_unranked = 0;
}

void CSpatialIndex::Refresh(std::span<const DrawItemPtr> list) {
  if (!m_orderKnown || m_unranked > 0) RefreshRanks(list);
  for (std::uint32_t id : m_pending) {
    Record& record = m_records[id];
    if (record.place == Place::kPending && !record.boxKnown) KnowBox(record);
  }
  if (m_pending.size() > PendingLimit(m_ids.size()) || m_gone > GoneLimit(m_ids.size())) {
    Rebuild();
  }
}

void CSpatialIndex::Rebuild() {
  // The records still held, renumbered; every boxed one goes into the tree.
  std::vector<Record> kept;
  kept.reserve(m_ids.size());
  m_unboxed.clear();
  m_pending.clear();
  m_leafIds.clear();
  m_widestPen = 1;
  for (Record& record : m_records) {
    if (record.place == Place::kGone) continue;
    const auto id = static_cast<std::uint32_t>(kept.size());
    m_ids[record.item] = id;
    if (record.place == Place::kUnboxed) {
      m_unboxed.push_back(id);
    } else {
      if (!record.boxKnown) KnowBox(record);
      m_widestPen = std::max<int>(m_widestPen, record.item->GetPenWidth());
      record.place = Place::kTree;
      m_leafIds.push_back(id);
    }
    kept.push_back(record);
  }
  m_records = std::move(kept);
  m_gone = 0;
  m_nodes.clear();
  if (m_leafIds.empty()) return;

  // Packed by sorting: slices across x, each sorted along y, cut into leaves.
  const auto centreX = [this](std::uint32_t id) {
    return m_records[id].box.minX + m_records[id].box.maxX;
  };
  const auto centreY = [this](std::uint32_t id) {
    return m_records[id].box.minY + m_records[id].box.maxY;
  };
  std::sort(m_leafIds.begin(), m_leafIds.end(),
            [&](std::uint32_t a, std::uint32_t b) { return centreX(a) < centreX(b); });
  const std::size_t n = m_leafIds.size();
  const std::size_t leaves = (n + kFanout - 1) / kFanout;
  const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
  const std::size_t sliceSize = slices * kFanout;
  for (std::size_t s = 0; s < n; s += sliceSize) {
    const auto first = m_leafIds.begin() + static_cast<std::ptrdiff_t>(s);
    const auto last = m_leafIds.begin() + static_cast<std::ptrdiff_t>(std::min(n, s + sliceSize));
    std::sort(first, last, [&](std::uint32_t a, std::uint32_t b) { return centreY(a) < centreY(b); });
  }

  // Levels from the leaves up; a node's children are consecutive in the level below.
  std::vector<std::vector<Node>> levels(1);
  for (std::size_t i = 0; i < n; i += kFanout) {
    Node node;
    node.leaf = true;
    node.first = static_cast<std::uint32_t>(i);
    node.count = static_cast<std::uint32_t>(std::min(kFanout, n - i));
    node.box = m_records[m_leafIds[i]].box;
    for (std::uint32_t k = 1; k < node.count; ++k) {
      const Box& b = m_records[m_leafIds[i + k]].box;
      node.box = {std::min(node.box.minX, b.minX), std::min(node.box.minY, b.minY),
                  std::max(node.box.maxX, b.maxX), std::max(node.box.maxY, b.maxY)};
    }
    levels.back().push_back(node);
  }
  while (levels.back().size() > 1) {
    const std::vector<Node>& below = levels.back();
    std::vector<Node> above;
    for (std::size_t i = 0; i < below.size(); i += kFanout) {
      Node node;
      node.first = static_cast<std::uint32_t>(i);
      node.count = static_cast<std::uint32_t>(std::min(kFanout, below.size() - i));
      node.box = below[i].box;
      for (std::uint32_t k = 1; k < node.count; ++k) {
        const Box& b = below[i + k].box;
        node.box = {std::min(node.box.minX, b.minX), std::min(node.box.minY, b.minY),
                    std::max(node.box.maxX, b.maxX), std::max(node.box.maxY, b.maxY)};
      }
      above.push_back(node);
    }
    levels.push_back(std::move(above));
  }
  // Root first: each level follows the one above it.
  std::vector<std::size_t> start(levels.size());
  std::size_t at = 0;
  for (std::size_t k = levels.size(); k-- > 0;) {
    start[k] = at;
    at += levels[k].size();
  }
  m_nodes.resize(at);
  for (std::size_t k = 0; k < levels.size(); ++k) {
    for (std::size_t i = 0; i < levels[k].size(); ++i) {
      Node node = levels[k][i];
      if (k > 0) node.first += static_cast<std::uint32_t>(start[k - 1]);
      m_nodes[start[k] + i] = node;
    }
  }
}

void CSpatialIndex::Collect(const Box& box, std::span<const DrawItemPtr> list,
                            std::vector<const CDrawItem*>& out) {
  Refresh(list);
  out.clear();
  m_found.clear();
  for (std::uint32_t id : m_unboxed) {
    if (m_records[id].place == Place::kUnboxed) m_found.push_back(id);
  }
  for (std::uint32_t id : m_pending) {
    const Record& r = m_records[id];
    if (r.place == Place::kPending && Meets(r.box, box)) m_found.push_back(id);
  }
  if (!m_nodes.empty()) {
    m_stack.clear();
    m_stack.push_back(0);
    while (!m_stack.empty()) {
      const Node& node = m_nodes[m_stack.back()];
      m_stack.pop_back();
      if (!Meets(node.box, box)) continue;
      for (std::uint32_t k = 0; k < node.count; ++k) {
        if (node.leaf) {
          const std::uint32_t id = m_leafIds[node.first + k];
          const Record& r = m_records[id];
          if (r.place == Place::kTree && Meets(r.box, box)) m_found.push_back(id);
        } else {
          m_stack.push_back(node.first + k);
        }
      }
    }
  }
  std::sort(m_found.begin(), m_found.end(), [this](std::uint32_t a, std::uint32_t b) {
    return m_records[a].rank < m_records[b].rank;
  });
  out.reserve(m_found.size());
  for (std::uint32_t id : m_found) out.push_back(m_records[id].item);
}
