#include "document/spatialindex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "items/geometry.h"

namespace {

// Cells per filed item at most, and a curve's length over the cell's side on average: the
// grid's memory against the items a query meets.
constexpr double kCellsPerItem = 2.0;
constexpr double kPiecesPerCurve = 12.0;
// What a curve's reach beyond its own box starts from, in drawing units.
constexpr double kBoxSlack = 8.0;

// The pending list is folded into the grid once it holds more than this many records.
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

CSpatialIndex::Box CSpatialIndex::CurveBoxOf(const CDrawItem& item) {
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
  return box;
}

double CSpatialIndex::MarginOf(const Box& curveBox) {
  const double size = std::max(curveBox.maxX - curveBox.minX, curveBox.maxY - curveBox.minY);
  return kBoxSlack + 2e-3 * size;
}

CSpatialIndex::Box CSpatialIndex::BoxOf(const CDrawItem& item) {
  const Box box = CurveBoxOf(item);
  const double margin = MarginOf(box);
  return {box.minX - margin, box.minY - margin, box.maxX + margin, box.maxY + margin};
}

bool CSpatialIndex::Answers(const CDrawItem& item, const Box& curveBox, const Box& box) {
  const double margin = MarginOf(curveBox);
  const Box wide{curveBox.minX - margin, curveBox.minY - margin, curveBox.maxX + margin,
                 curveBox.maxY + margin};
  if (!Meets(wide, box)) return false;
  // A box within the query's holds a curve within it.
  if (box.minX <= wide.minX && wide.maxX <= box.maxX && box.minY <= wide.minY &&
      wide.maxY <= box.maxY) {
    return true;
  }
  return CurveMeetsRect(item, box.minX, box.minY, box.maxX, box.maxY, margin);
}

void CSpatialIndex::KnowBox(std::uint32_t id) {
  Record& record = m_records[id];
  const Box b = CurveBoxOf(*record.item);
  // Rounded outward, so that the small box holds the curve's.
  const auto down = [](double v) {
    auto f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -INFINITY) : f;
  };
  const auto up = [](double v) {
    auto f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, INFINITY) : f;
  };
  if (m_boxes.size() <= id) m_boxes.resize(m_records.size());
  m_boxes[id] = {down(b.minX), down(b.minY), up(b.maxX), up(b.maxY)};
  record.boxKnown = true;
  record.shape = Shape::kOther;
  if (record.item->GetType() == kItemLine) {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    record.item->GetStart(x1, y1);
    record.item->GetEnd(x2, y2);
    const bool rising = (static_cast<double>(x2) - x1) * (static_cast<double>(y2) - y1) >= 0.0;
    record.shape = rising ? Shape::kRising : Shape::kFalling;
  } else if (record.item->GetType() == kItemCircle) {
    record.shape = Shape::kCircle;
  }
  m_widestPen = std::max<int>(m_widestPen, record.item->GetPenWidth());
}

CSpatialIndex::Box CSpatialIndex::CurveBox(std::uint32_t id) const {
  const SmallBox& b = m_boxes[id];
  return {b.minX, b.minY, b.maxX, b.maxY};
}

double CSpatialIndex::DistanceTo(const Box& b, double x, double y) {
  const double dx = x < b.minX ? b.minX - x : (x > b.maxX ? x - b.maxX : 0.0);
  const double dy = y < b.minY ? b.minY - y : (y > b.maxY ? y - b.maxY : 0.0);
  return std::hypot(dx, dy);
}

double CSpatialIndex::SlackOf(std::uint32_t id) const {
  const SmallBox& b = m_boxes[id];
  return 1.0 +
         2e-7 * (std::fabs(b.minX) + std::fabs(b.maxX) + std::fabs(b.minY) + std::fabs(b.maxY));
}

bool CSpatialIndex::AnswersRecord(std::uint32_t id, const Box& box) const {
  const Record& record = m_records[id];
  if (record.shape == Shape::kOther) return Answers(*record.item, CurveBox(id), box);
  const Box cb = CurveBox(id);
  const double margin = MarginOf(cb);
  const Box wide{cb.minX - margin, cb.minY - margin, cb.maxX + margin, cb.maxY + margin};
  if (!Meets(wide, box)) return false;
  const double reach = margin + SlackOf(id);
  if (record.shape == Shape::kCircle) {
    const double r = (cb.maxX - cb.minX) / 2.0;
    return CircleMeetsRect(cb.minX + r, (cb.minY + cb.maxY) / 2.0, r, box.minX, box.minY, box.maxX,
                           box.maxY, reach);
  }
  const bool rising = record.shape == Shape::kRising;
  return SegmentMeetsRect(cb.minX, rising ? cb.minY : cb.maxY, cb.maxX, rising ? cb.maxY : cb.minY,
                          box.minX, box.minY, box.maxX, box.maxY, reach);
}

double CSpatialIndex::Nearest(std::uint32_t id, double x, double y) const {
  const Record& record = m_records[id];
  if (record.shape == Shape::kOther) return 0.0;
  const SmallBox& b = m_boxes[id];
  const double slack = SlackOf(id);
  if (record.shape == Shape::kCircle) {
    const double r = (static_cast<double>(b.maxX) - b.minX) / 2.0;
    const double cx = b.minX + r;
    const double cy = (static_cast<double>(b.minY) + b.maxY) / 2.0;
    const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    // Near its middle a circle is picked by its centre.
    return std::min(d, std::fabs(d - r)) - slack;
  }
  const double x1 = b.minX;
  const double x2 = b.maxX;
  const double y1 = record.shape == Shape::kRising ? b.minY : b.maxY;
  const double y2 = record.shape == Shape::kRising ? b.maxY : b.minY;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double squared = dx * dx + dy * dy;
  const double along = (x - x1) * dx + (y - y1) * dy;
  double d2 = 0.0;
  if (squared == 0.0 || along <= 0.0) {
    d2 = (x - x1) * (x - x1) + (y - y1) * (y - y1);
  } else if (along >= squared) {
    d2 = (x - x2) * (x - x2) + (y - y2) * (y - y2);
  } else {
    const double cross = dx * (y - y1) - dy * (x - x1);
    d2 = cross * cross / squared;
  }
  return std::sqrt(d2) - slack;
}

double CSpatialIndex::CellDistance(int column, int row, double x, double y) const {
  // A border cell holds what lies beyond the grid too.
  const double size = m_grid.cellSize;
  const double minX = column == 0 ? -INFINITY : m_grid.originX + size * column;
  const double maxX =
      column == m_grid.columns - 1 ? INFINITY : m_grid.originX + size * (column + 1);
  const double minY = row == 0 ? -INFINITY : m_grid.originY + size * row;
  const double maxY = row == m_grid.rows - 1 ? INFINITY : m_grid.originY + size * (row + 1);
  return DistanceTo({minX, minY, maxX, maxY}, x, y);
}

void CSpatialIndex::NewQuery() {
  if (m_stamp.size() < m_records.size()) m_stamp.resize(m_records.size(), 0);
  if (++m_stampNow == 0) {
    std::fill(m_stamp.begin(), m_stamp.end(), 0);
    m_stampNow = 1;
  }
}

void CSpatialIndex::Clear() {
  m_records.clear();
  m_boxes.clear();
  m_ids.clear();
  m_pending.clear();
  m_unboxed.clear();
  m_grid = CellGridShape();
  m_gridBuilt = false;
  m_cellStart.clear();
  m_cellIds.clear();
  m_stamp.clear();
  m_stampNow = 0;
  m_widestMargin = 0.0;
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
    if (record.place == Place::kPending && !record.boxKnown) KnowBox(id);
  }
  if (m_pending.size() > PendingLimit(m_ids.size()) || m_gone > GoneLimit(m_ids.size())) {
    Rebuild();
  }
}

void CSpatialIndex::Rebuild() {
  // The records still held, renumbered; every boxed one goes into the grid.
  std::vector<Record> kept;
  std::vector<SmallBox> keptBoxes;
  kept.reserve(m_ids.size());
  keptBoxes.reserve(m_ids.size());
  std::vector<std::uint32_t> filed;
  m_unboxed.clear();
  m_pending.clear();
  m_widestPen = 1;
  m_widestMargin = 0.0;
  double total = 0.0;
  for (std::uint32_t old = 0; old < m_records.size(); ++old) {
    Record& record = m_records[old];
    if (record.place == Place::kGone) continue;
    const auto id = static_cast<std::uint32_t>(kept.size());
    m_ids[record.item] = id;
    if (record.place == Place::kUnboxed) {
      m_unboxed.push_back(id);
      keptBoxes.emplace_back();
    } else {
      if (!record.boxKnown) KnowBox(old);
      m_widestPen = std::max<int>(m_widestPen, record.item->GetPenWidth());
      record.place = Place::kTree;
      keptBoxes.push_back(m_boxes[old]);
      const Box b = CurveBox(old);
      if (filed.empty()) {
        m_gridBox = b;
      } else {
        m_gridBox = {std::min(m_gridBox.minX, b.minX), std::min(m_gridBox.minY, b.minY),
                     std::max(m_gridBox.maxX, b.maxX), std::max(m_gridBox.maxY, b.maxY)};
      }
      total += (b.maxX - b.minX) + (b.maxY - b.minY);
      m_widestMargin = std::max(m_widestMargin, MarginOf(b));
      filed.push_back(id);
    }
    kept.push_back(record);
  }
  m_records = std::move(kept);
  m_boxes = std::move(keptBoxes);
  m_gone = 0;
  m_stamp.assign(m_records.size(), 0);
  m_stampNow = 0;
  m_cellStart.clear();
  m_cellIds.clear();
  m_gridBuilt = !filed.empty();
  if (!m_gridBuilt) return;

  // Cells about twice as many as the items, of a side that a curve of average length crosses
  // a dozen times at most.
  const double n = static_cast<double>(filed.size());
  const double width = m_gridBox.maxX - m_gridBox.minX;
  const double height = m_gridBox.maxY - m_gridBox.minY;
  const double side = std::max(
      {std::sqrt(width * height / (kCellsPerItem * n)), total / (kPiecesPerCurve * n), 1.0});
  m_grid = CellGridShape::Over(m_gridBox.minX, m_gridBox.minY, m_gridBox.maxX, m_gridBox.maxY, side,
                               kCellsPerItem * n + 16.0);

  // Each record's cells, then a counting sort by cell.
  std::vector<std::uint32_t> cellOf;
  std::vector<std::uint32_t> idOf;
  std::vector<std::uint32_t> cells;
  for (const std::uint32_t id : filed) {
    const Record& record = m_records[id];
    const Box b = CurveBox(id);
    const double margin = MarginOf(b);
    cells.clear();
    if (!AddCurveCells(*record.item, m_grid, margin, true, cells)) {
      AddRectCells(b.minX - margin, b.minY - margin, b.maxX + margin, b.maxY + margin, m_grid,
                   cells);
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    for (const std::uint32_t c : cells) {
      cellOf.push_back(c);
      idOf.push_back(id);
    }
  }
  std::vector<std::uint32_t> next;
  GatherByCell(cellOf, idOf, m_grid.CellCount(), m_cellStart, m_cellIds, next);
  m_cellIds.shrink_to_fit();
}

void CSpatialIndex::Collect(const Box& box, std::span<const DrawItemPtr> list,
                            std::vector<const CDrawItem*>& out) {
  Refresh(list);
  out.clear();
  m_found.clear();
  for (std::uint32_t id : m_unboxed) {
    if (m_records[id].place == Place::kUnboxed) m_found.push_back({m_records[id].rank, id});
  }
  for (std::uint32_t id : m_pending) {
    const Record& r = m_records[id];
    if (r.place == Place::kPending && AnswersRecord(id, box)) m_found.push_back({r.rank, id});
  }
  if (m_gridBuilt && Meets(m_gridBox, box)) {
    NewQuery();
    const int c0 = m_grid.ColumnOf(box.minX);
    const int c1 = m_grid.ColumnOf(box.maxX);
    const int r0 = m_grid.RowOf(box.minY);
    const int r1 = m_grid.RowOf(box.maxY);
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) {
        const std::uint32_t cell = m_grid.CellOf(c, r);
        for (std::uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
          const std::uint32_t id = m_cellIds[k];
          if (!FirstSight(id)) continue;
          const Record& rec = m_records[id];
          if (rec.place == Place::kTree && AnswersRecord(id, box)) {
            m_found.push_back({rec.rank, id});
          }
        }
      }
    }
  }
  std::sort(m_found.begin(), m_found.end());
  out.reserve(m_found.size());
  for (const auto& found : m_found) out.push_back(m_records[found.second].item);
}
