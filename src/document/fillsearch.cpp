// The fill search: from one clicked point to the fill of the closed region around it, with
// the closed outlines inside it as holes, found from the drawing's curve items alone.
//
// Duplicates and overlaps are settled first, for the search only: an item that repeats or
// lies within another is left out, and collinear pieces that overlap are joined by moving an
// end of one of them for a while. Then the nearest crossing of an item to the left of the
// point starts a walk round an outline (trace.cpp); the first outline that holds the point
// is the fill's boundary. Every item gets its own ends back before the search returns,
// whatever happened, so the drawing is exactly as it was; the search records no undo step.
//
// Every pass takes the items in list order, as a plain walk over the list would, but meets
// only those the index (CSearchIndex) says may matter: the neighbours of an item, the items
// near the scan line, the items inside the outer boundary. The scans for a start are worked
// out once and kept in order, so that each attempt costs no walk over the drawing.
#include "document/fillsearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <queue>
#include <vector>

#include "document/document.h"
#include "document/spatialindex.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/usedsegments.h"
#include "platform/desktop.h"
#include "support/log.h"
#include "support/registry.h"
#include "support/uiutil.h"

FillSearchScratch g_fillSearch;

namespace {

constexpr int kLogFill = 1223;
constexpr int kMessageNoBoundary = 368;
constexpr int kMessageCannotFill = 369;

// Used codes of the search (see usedsegments.h).
constexpr int kCodeHidden = -1;
constexpr int kCodeCannotBound = -2;
constexpr int kCodeDuplicate = -3;
constexpr int kCodeAccepted = 1;
constexpr int kCodeFailedHole = 2;
constexpr int kCodeRejected = 20;

// How far from its curve an item's crossings may be reported: the intersection routines
// accept points a unit or two past an end, and large curves a little more.
constexpr double kCurveMargin = 16.0;
constexpr double kCurveMarginPerSize = 1e-4;

// Classes of the cells' entries: lines by direction, then the other kinds that bound, then
// the kinds the index does not know.
constexpr int kLineBuckets = 1024;
constexpr std::uint32_t kClassShapes = kLineBuckets + 1;
constexpr std::uint32_t kClassOther = kLineBuckets + 2;
// The step of sizes and places by which shapes are keyed, wider than the arcs' tolerance for
// the same circle.
constexpr double kShapeStep = 4.0;
constexpr double kSameCircleReach = 1.0 + 1e-6;
// The scratch storage a search keeps for the next one, at most.
constexpr std::size_t kKeptScratchBytes = std::size_t{48} << 20;
// Lines of about one carrier that the carriers' index hands over; with more, the cells do.
constexpr std::size_t kFewCarriers = 64;
constexpr int kClassShift = 20;  // list places take 20 bits: the list holds at most 2^20 items
static_assert(kClassOther < (1u << (32 - kClassShift)));
constexpr std::uint32_t kIndexMask = (1u << kClassShift) - 1;
constexpr double kPi = 3.14159265358979323846;
// An item whose box, with its margin, spans at most this many cells is filed by its box.
constexpr int kBoxCells = 4;

bool g_plainFillSearch = false;

// The kinds whose comparisons the index knows; any other that bounds compares with all.
enum class Kind { kLine, kArcs, kEllipse, kEllipseArc, kCurve, kOther };
Kind KindOf(int type) {
  switch (type) {
    case kItemLine:
      return Kind::kLine;
    case kItemArc:
    case kItemCircle:
      return Kind::kArcs;
    case kItemEllipse:
      return Kind::kEllipse;
    case kItemEllipseArc:
      return Kind::kEllipseArc;
    case kItemBezier:
      return Kind::kCurve;
    default:
      return Kind::kOther;
  }
}

// The step a size or place falls in.
std::int64_t ShapeStep(double value) {
  const double q = std::floor(value / kShapeStep);
  return std::isfinite(q) ? static_cast<std::int64_t>(std::clamp(q, -1e15, 1e15)) : 0;
}

// What a shape compares by: an arc's or circle's radius and centre, an ellipse's first
// semi-axis and centre, an elliptic arc's first radius and centre, a curve's first end (in
// x, then y).
CSearchIndex::ShapeOf ShapeOfItem(const CDrawItem& item) {
  CSearchIndex::ShapeOf shape;
  switch (item.GetType()) {
    case kItemCircle: {
      int x = 0, y = 0;
      item.GetCentre(x, y);
      shape = {static_cast<double>(item.GetRadius()), static_cast<double>(x),
               static_cast<double>(y), kSameCircleReach};
      break;
    }
    case kItemArc:
      item.GetCircle(shape.x, shape.y, shape.size);
      shape.tolerance = kSameCircleReach;
      break;
    case kItemEllipse: {
      int x = 0, y = 0, a = 0, b = 0;
      item.GetCentre(x, y);
      item.GetSemiAxes(a, b);
      shape = {static_cast<double>(a), static_cast<double>(x), static_cast<double>(y), 0.0};
      break;
    }
    case kItemEllipseArc: {
      double b = 0.0;
      item.GetCentreExact(shape.x, shape.y);
      item.GetRadii(shape.size, b);
      break;
    }
    case kItemBezier: {
      int sx = 0, sy = 0, ex = 0, ey = 0;
      item.GetStart(sx, sy);
      item.GetEnd(ex, ey);
      const bool startFirst = sx < ex || (sx == ex && sy <= ey);
      shape.x = startFirst ? sx : ex;
      shape.y = startFirst ? sy : ey;
      break;
    }
    default:
      break;
  }
  return shape;
}

// The item's box as the spatial index measures it (a curve's with its control points).
void BoxOf(const CDrawItem& item, double& minX, double& minY, double& maxX, double& maxY) {
  const CSpatialIndex::Box box = CSpatialIndex::CurveBoxOf(item);
  minX = box.minX, minY = box.minY, maxX = box.maxX, maxY = box.maxY;
}

double MarginOf(double minX, double minY, double maxX, double maxY) {
  return kCurveMargin + kCurveMarginPerSize * std::max(maxX - minX, maxY - minY);
}

void LineOf(const CDrawItem& item, double& x1, double& y1, double& x2, double& y2) {
  int ax = 0, ay = 0, bx = 0, by = 0;
  item.GetStart(ax, ay);
  item.GetEnd(bx, by);
  x1 = ax;
  y1 = ay;
  x2 = bx;
  y2 = by;
}

// A line's direction, in [0, pi).
double DirectionOf(double dx, double dy) {
  double a = std::atan2(dy, dx);
  if (a < 0.0) a += kPi;
  if (!(a < kPi)) a -= kPi;
  return a >= 0.0 ? a : 0.0;
}

int BucketOf(double angle) {
  const int b = static_cast<int>(std::floor(angle / kPi * kLineBuckets));
  return std::clamp(b, 0, kLineBuckets - 1);
}

}  // namespace

// ---- The index ----

void CSearchIndex::Clear() {
  // The storage stays for the next search: taking it from the system afresh every time costs
  // more than building the index. Only the storage of a very large drawing is given back.
  const auto bytes = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
  const std::size_t held =
      bytes(m_cellStart) + bytes(m_entries) + bytes(m_filed) + bytes(m_stamp) + bytes(m_cellOf) +
      bytes(m_entryOf) + bytes(m_fillAt) + bytes(m_filedList) + bytes(m_byClass) + bytes(m_shapes) +
      bytes(m_carriers) + bytes(m_carrierEnds) + bytes(m_bits) + bytes(m_isMoved);
  if (held > kKeptScratchBytes) {
    *this = CSearchIndex();
    return;
  }
  m_doc = nullptr;
  m_itemCount = 0;
  m_grid = CellGridShape();
  m_extentDiagonal = 0.0;
  m_shortestLine = 0.0;
  m_cellStart.clear();
  m_entries.clear();
  m_filed.clear();
  m_isMoved.clear();
  m_moved.clear();
  m_always.clear();
  m_filedList.clear();
  m_byClass.clear();
  m_shapes.clear();
  m_carriers.clear();
  m_carrierEnds.clear();
  m_carrierStart.clear();
  m_cellOf.clear();
  m_entryOf.clear();
}

void CSearchIndex::Build(const CZephDoc& doc) {
  Clear();
  m_doc = &doc;
  m_itemCount = doc.GetItemCount();
  const auto count = static_cast<std::size_t>(m_itemCount);
  m_filed.assign(count, Filed());
  m_isMoved.assign(count, 0);
  m_stamp.assign(count, 0);
  m_stampNow = 0;

  // The extent, the items' sizes and the lines' directions.
  std::vector<int>& filed = m_filedList;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  double total = 0.0;
  for (int i = 0; i < m_itemCount; ++i) {
    const CDrawItem* item = doc.GetItem(i);
    if (item->IsHidden() != 0 || item->CanBound() == 0) continue;
    Filed& f = m_filed[static_cast<std::size_t>(i)];
    BoxOf(*item, f.minX, f.minY, f.maxX, f.maxY);
    if (filed.empty()) {
      minX = f.minX, minY = f.minY, maxX = f.maxX, maxY = f.maxY;
    } else {
      minX = std::min(minX, f.minX), minY = std::min(minY, f.minY);
      maxX = std::max(maxX, f.maxX), maxY = std::max(maxY, f.maxY);
    }
    total += (f.maxX - f.minX) + (f.maxY - f.minY);
    f.margin = MarginOf(f.minX, f.minY, f.maxX, f.maxY);
    switch (KindOf(item->GetType())) {
      case Kind::kLine: {
        double x1, y1, x2, y2;
        LineOf(*item, x1, y1, x2, y2);
        const double length = std::hypot(x2 - x1, y2 - y1);
        f.angle = DirectionOf(x2 - x1, y2 - y1);
        f.cls = 1 + static_cast<std::uint16_t>(BucketOf(f.angle));
        if (length > 0.0 && (m_shortestLine == 0.0 || length < m_shortestLine)) {
          m_shortestLine = length;
        }
        break;
      }
      case Kind::kArcs:
      case Kind::kEllipse:
      case Kind::kEllipseArc:
      case Kind::kCurve:
        f.cls = kClassShapes;
        break;
      case Kind::kOther:
        f.cls = kClassOther;
        break;
    }
    filed.push_back(i);
  }
  if (filed.empty()) return;
  const double width = maxX - minX;
  const double height = maxY - minY;
  m_extentDiagonal = std::hypot(width, height);
  m_centreX = (minX + maxX) / 2.0;
  m_centreY = (minY + maxY) / 2.0;
  const auto n = static_cast<double>(filed.size());
  // Cells about as many as the items, and no smaller than half a curve on average: large
  // cells mean fewer of them for a long curve to cross, a comparison to look in and an
  // index to build.
  const double cell = std::max({std::sqrt(width * height / n), total / (8.0 * n), 1.0});
  const double pad = 4.0 * kCurveMargin;
  m_grid =
      CellGridShape::Over(minX - pad, minY - pad, maxX + pad, maxY + pad, cell, 2.0 * n + 16.0);

  // Every item's cells, the items taken by class and in list order within a class; the
  // entries then gathered by cell keep that order, which the queries rely on.
  std::vector<int>& byClass = m_byClass;
  byClass.resize(filed.size());
  {
    std::vector<std::uint32_t>& start = m_fillAt;
    start.assign(static_cast<std::size_t>(kClassOther) + 2, 0);
    for (const int i : filed) ++start[m_filed[static_cast<std::size_t>(i)].cls + 1u];
    for (std::uint32_t c = 0; c <= kClassOther; ++c) start[c + 1] += start[c];
    for (const int i : filed) byClass[start[m_filed[static_cast<std::size_t>(i)].cls]++] = i;
  }
  for (const int i : byClass) {
    const CDrawItem* item = doc.GetItem(i);
    const Filed& f = m_filed[static_cast<std::size_t>(i)];
    CellsOf(*item, f.minX, f.minY, f.maxX, f.maxY, f.margin);
    const std::uint32_t cls = f.cls;
    if (cls == kClassOther) m_always.push_back(i);  // (in list order: the last class)
    const std::uint32_t entry = (cls << kClassShift) | static_cast<std::uint32_t>(i);
    for (const std::uint32_t c : m_cells) {
      m_cellOf.push_back(c);
      m_entryOf.push_back(entry);
    }
  }
  const std::uint32_t cells = m_grid.CellCount();
  GatherByCell(m_cellOf, m_entryOf, cells, m_cellStart, m_entries, m_fillAt);
  BuildCarriers(doc);
  BuildShapes(doc);
}

void CSearchIndex::BuildCarriers(const CZephDoc& doc) {
  m_carrierStart.assign(static_cast<std::size_t>(kLineBuckets) + 1, 0);
  m_carriers.clear();
  for (const int i : m_filedList) {
    const Filed& f = m_filed[static_cast<std::size_t>(i)];
    if (f.cls < 1 || f.cls > kLineBuckets) continue;
    ++m_carrierStart[f.cls];
  }
  for (int b = 0; b < kLineBuckets; ++b) {
    m_carrierStart[static_cast<std::size_t>(b) + 1] += m_carrierStart[static_cast<std::size_t>(b)];
  }
  m_carriers.resize(m_carrierStart.back());
  std::vector<std::uint32_t>& next = m_fillAt;
  next.assign(m_carrierStart.begin(), m_carrierStart.end() - 1);
  for (const int i : m_filedList) {
    const Filed& f = m_filed[static_cast<std::size_t>(i)];
    if (f.cls < 1 || f.cls > kLineBuckets) continue;
    double x1, y1, x2, y2;
    LineOf(*doc.GetItem(i), x1, y1, x2, y2);
    m_carriers[next[f.cls - 1u]++] = {Offset(x1, y1, f.angle), i};
  }
  for (int b = 0; b < kLineBuckets; ++b) {
    std::sort(m_carriers.begin() + m_carrierStart[static_cast<std::size_t>(b)],
              m_carriers.begin() + m_carrierStart[static_cast<std::size_t>(b) + 1]);
  }
  m_carrierEnds.resize(m_carriers.size());
  for (std::size_t k = 0; k < m_carriers.size(); ++k) {
    Ends& ends = m_carrierEnds[k];
    LineOf(*doc.GetItem(m_carriers[k].index), ends.x1, ends.y1, ends.x2, ends.y2);
  }
}

double CSearchIndex::Offset(double x, double y, double angle) const {
  // Across the direction, from the middle of the drawing.
  return -std::sin(angle) * (x - m_centreX) + std::cos(angle) * (y - m_centreY);
}

bool CSearchIndex::NearCarrier(double x, double y, double angle, double spread, double reach,
                               int below, std::vector<int>& out) {
  // An earlier line within `spread` of the direction with both ends within `reach` of the
  // carrier through (x, y) has its own carrier's offset within reach, and the spread over the
  // distance from the middle, of this one's.
  const double offset = Offset(x, y, angle);
  const double window = reach + spread * (m_extentDiagonal / 2.0) + 1.0;
  const double width = kPi / kLineBuckets;
  const int lo = static_cast<int>(std::floor((angle - spread) / width));
  const int hi = static_cast<int>(std::floor((angle + spread) / width));
  struct Stretch {
    std::vector<Carrier>::const_iterator from, to;
  };
  constexpr int kMostBuckets = 16;
  if (hi - lo + 1 > kMostBuckets) return false;
  std::array<Stretch, kMostBuckets> stretches;
  int count = 0;
  std::size_t total = 0;
  for (int b = lo; b <= hi; ++b) {
    // Past a half turn a direction comes round reversed, its offset turned over.
    const bool turned = b < 0 || b >= kLineBuckets;
    const int bucket = ((b % kLineBuckets) + kLineBuckets) % kLineBuckets;
    const double centre = turned ? -offset : offset;
    const auto first = m_carriers.cbegin() + m_carrierStart[static_cast<std::size_t>(bucket)];
    const auto last = m_carriers.cbegin() + m_carrierStart[static_cast<std::size_t>(bucket) + 1];
    const auto from = std::lower_bound(first, last, Carrier{centre - window, INT32_MIN});
    const auto to = std::upper_bound(from, last, Carrier{centre + window, INT32_MAX});
    stretches[static_cast<std::size_t>(count++)] = {from, to};
    total += static_cast<std::size_t>(to - from);
    if (total > kFewCarriers) return false;
  }
  g_fillSearch.Spend(static_cast<std::int64_t>(total) + count);
  out.clear();
  // Of those, the lines with both ends within reach of the carrier: the comparison's premise.
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  const double bound = reach * (1.0 + 1e-9) + 1.0;
  const auto near = [&](double px, double py) {
    return std::abs(cosine * (py - y) - sine * (px - x)) <= bound;
  };
  for (int k = 0; k < count; ++k) {
    const Stretch& stretch = stretches[static_cast<std::size_t>(k)];
    for (auto it = stretch.from; it != stretch.to; ++it) {
      const Ends& ends = m_carrierEnds[static_cast<std::size_t>(it - m_carriers.cbegin())];
      if (it->index < below && near(ends.x1, ends.y1) && near(ends.x2, ends.y2)) {
        out.push_back(it->index);
      }
    }
  }
  AddMovedOnce(below, out);
  return true;
}

void CSearchIndex::BuildShapes(const CZephDoc& doc) {
  m_shapes.clear();
  for (const int i : m_filedList) {
    if (m_filed[static_cast<std::size_t>(i)].cls != kClassShapes) continue;
    const CDrawItem& item = *doc.GetItem(i);
    const ShapeOf shape = ShapeOfItem(item);
    m_shapes.push_back({static_cast<int>(KindOf(item.GetType())), ShapeStep(shape.size),
                        ShapeStep(shape.x), shape.y, i});
  }
  std::sort(m_shapes.begin(), m_shapes.end());
}

void CSearchIndex::SameShapes(int below, int kind, const ShapeOf& shape, std::vector<int>& out) {
  // Arcs and circles compare within a tolerance of radius and centre, ellipses, elliptic
  // arcs and curves only when of the same size and place.
  out.clear();
  const double t = shape.tolerance;
  for (std::int64_t size = ShapeStep(shape.size - t); size <= ShapeStep(shape.size + t); ++size) {
    for (std::int64_t x = ShapeStep(shape.x - t); x <= ShapeStep(shape.x + t); ++x) {
      const auto from = std::lower_bound(m_shapes.begin(), m_shapes.end(),
                                         ShapeKey{kind, size, x, shape.y - t, INT32_MIN});
      for (auto it = from; it != m_shapes.end() && it->kind == kind && it->size == size &&
                           it->x == x && it->y <= shape.y + t;
           ++it) {
        if (it->index < below) out.push_back(it->index);
      }
    }
  }
  g_fillSearch.Spend(static_cast<std::int64_t>(out.size()) + 4);
  AddMovedOnce(below, out);
}

void CSearchIndex::NoteMoved(int index) {
  if (index < 0 || index >= m_itemCount) return;
  if (m_isMoved[static_cast<std::size_t>(index)] != 0) return;
  m_isMoved[static_cast<std::size_t>(index)] = 1;
  m_moved.push_back(index);
}

void CSearchIndex::Collect(const std::vector<std::uint32_t>& cells, const ClassRange* ranges,
                           int rangeCount, int below, std::vector<int>& out) {
  out.clear();
  if (++m_stampNow == 0) {
    std::fill(m_stamp.begin(), m_stamp.end(), 0);
    m_stampNow = 1;
  }
  // Entries are sorted by class within a cell, so each range of classes is one stretch of
  // the cell, found by halving.
  std::int64_t examined = 0;
  if (!m_cellStart.empty()) {
    for (const std::uint32_t c : cells) {
      const auto first = m_entries.begin() + m_cellStart[c];
      const auto last = m_entries.begin() + m_cellStart[c + 1];
      for (int r = 0; r < rangeCount; ++r) {
        const bool every = ranges[r].first <= 1 && ranges[r].last >= kClassOther;
        const auto from =
            every ? first : std::lower_bound(first, last, ranges[r].first << kClassShift);
        const auto to =
            every ? last : std::lower_bound(from, last, (ranges[r].last + 1) << kClassShift);
        examined += (to - from) + 1;
        for (auto it = from; it != to; ++it) {
          const auto index = static_cast<int>(*it & kIndexMask);
          if (index >= below) continue;
          std::uint32_t& stamp = m_stamp[static_cast<std::size_t>(index)];
          if (stamp == m_stampNow) continue;
          stamp = m_stampNow;
          out.push_back(index);
        }
      }
    }
  }
  g_fillSearch.Spend(examined);
  AddMoved(below, out);
  SortAscending(out);
}

void CSearchIndex::SortAscending(std::vector<int>& out) {
  // Many at once come out in order sooner from a bit for each item of the list.
  if (out.size() < 256 || out.size() * 16 < static_cast<std::size_t>(m_itemCount)) {
    std::sort(out.begin(), out.end());
    return;
  }
  m_bits.assign((static_cast<std::size_t>(m_itemCount) + 63) / 64, 0);
  for (const int index : out) {
    m_bits[static_cast<std::size_t>(index) / 64] |= std::uint64_t{1} << (index % 64);
  }
  out.clear();
  for (std::size_t w = 0; w < m_bits.size(); ++w) {
    for (std::uint64_t word = m_bits[w]; word != 0; word &= word - 1) {
      out.push_back(static_cast<int>(w * 64 + static_cast<std::size_t>(std::countr_zero(word))));
    }
  }
}

void CSearchIndex::AddMovedOnce(int below, std::vector<int>& out) {
  if (++m_stampNow == 0) {
    std::fill(m_stamp.begin(), m_stamp.end(), 0);
    m_stampNow = 1;
  }
  for (const int index : out) m_stamp[static_cast<std::size_t>(index)] = m_stampNow;
  AddMoved(below, out);
  std::sort(out.begin(), out.end());
}

void CSearchIndex::AddMoved(int below, std::vector<int>& out) {
  for (const std::vector<int>* list : {&m_moved, &m_always}) {
    for (const int index : *list) {
      if (index >= below) continue;
      std::uint32_t& stamp = m_stamp[static_cast<std::size_t>(index)];
      if (stamp == m_stampNow) continue;
      stamp = m_stampNow;
      out.push_back(index);
    }
  }
}

void CSearchIndex::CellsOf(const CDrawItem& item, double minX, double minY, double maxX,
                           double maxY, double margin) {
  m_cells.clear();
  // An item within a few cells takes the cells of its box: no fewer, and sooner found.
  const bool small = (m_grid.ColumnOf(maxX + margin) - m_grid.ColumnOf(minX - margin) + 1) *
                         (m_grid.RowOf(maxY + margin) - m_grid.RowOf(minY - margin) + 1) <=
                     kBoxCells;
  if (small || !AddCurveCells(item, m_grid, margin, false, m_cells)) {
    AddRectCells(minX - margin, minY - margin, maxX + margin, maxY + margin, m_grid, m_cells);
  }
  // One straight piece gives its cells in order; a chain of them may repeat some.
  if (!std::is_sorted(m_cells.begin(), m_cells.end())) std::sort(m_cells.begin(), m_cells.end());
  m_cells.erase(std::unique(m_cells.begin(), m_cells.end()), m_cells.end());
}

void CSearchIndex::Neighbours(const CDrawItem& item, std::vector<int>& out) {
  double minX, minY, maxX, maxY;
  BoxOf(item, minX, minY, maxX, maxY);
  CellsOf(item, minX, minY, maxX, maxY, MarginOf(minX, minY, maxX, maxY));
  const ClassRange all{1, kClassOther};
  Collect(m_cells, &all, 1, INT32_MAX, out);
}

void CSearchIndex::CompareCandidates(int index, bool changed, std::vector<int>& out) {
  const CDrawItem& item = *m_doc->GetItem(index);
  const Kind kind = KindOf(item.GetType());
  if (kind == Kind::kOther || m_cellStart.empty()) {
    // A kind the index does not know compares with every earlier item, as the plain pass.
    out.clear();
    for (int j = 0; j < index; ++j) out.push_back(j);
    return;
  }
  // The box filed for the item, unless its ends have moved since.
  const Filed& filed = m_filed[static_cast<std::size_t>(index)];
  double minX = filed.minX, minY = filed.minY, maxX = filed.maxX, maxY = filed.maxY;
  if (changed) BoxOf(item, minX, minY, maxX, maxY);
  const double margin = MarginOf(minX, minY, maxX, maxY);
  if (kind != Kind::kLine) {
    SameShapes(index, static_cast<int>(kind), ShapeOfItem(item), out);
    return;
  }
  // Two lines compare as more than unrelated only when both ends of the earlier one lie
  // within the comparison's tolerance of the later one's carrier; the tolerance grows with
  // the ends' distance from the later line's start, never beyond the drawing's diagonal over
  // twice its length. So the earlier line comes that near the later one, at an angle that
  // the same tolerance bounds.
  double x1, y1, x2, y2;
  LineOf(item, x1, y1, x2, y2);
  const double length = std::hypot(x2 - x1, y2 - y1);
  ClassRange ranges[2] = {{1, kLineBuckets}, {1, 0}};
  int rangeCount = 1;
  double reach = m_extentDiagonal;
  if (length > 0.0) {
    reach = std::min(m_extentDiagonal, m_extentDiagonal / (2.0 * length) + 2.0);
    const double sine = m_shortestLine > 0.0 ? 2.0 * reach / m_shortestLine : 1.0;
    if (sine < 0.5) {
      const double spread = std::asin(sine) * 1.01 + 1e-6;
      const double angle = DirectionOf(x2 - x1, y2 - y1);
      // Few lines of about that carrier: those, from the carriers' index.
      if (NearCarrier(x1, y1, angle, spread, reach, index, out)) return;
      const double width = kPi / kLineBuckets;
      const int lo = static_cast<int>(std::floor((angle - spread) / width));
      const int hi = static_cast<int>(std::floor((angle + spread) / width));
      // Directions wrap round at a half turn.
      const auto line = [](int b) { return static_cast<std::uint32_t>(1 + b); };
      if (lo < 0) {
        ranges[0] = {line(0), line(hi)};
        ranges[1] = {line(lo + kLineBuckets), line(kLineBuckets - 1)};
        rangeCount = 2;
      } else if (hi >= kLineBuckets) {
        ranges[0] = {line(lo), line(kLineBuckets - 1)};
        ranges[1] = {line(0), line(hi - kLineBuckets)};
        rangeCount = 2;
      } else {
        ranges[0] = {line(lo), line(hi)};
      }
    }
  }
  CellsOf(item, minX, minY, maxX, maxY, margin + reach);
  Collect(m_cells, ranges, rangeCount, index, out);
  if (length > 0.0) KeepNearCarrier(x1, y1, x2 - x1, y2 - y1, length, reach, out);
}

void CSearchIndex::KeepNearCarrier(double x, double y, double dx, double dy, double length,
                                   double reach, std::vector<int>& out) const {
  // A short line's comparison reaches far, so its cells hold many lines of about its
  // direction; only those with both ends within reach of its carrier can compare. A line's
  // ends are corners of its box, the lower left one for a direction below a quarter turn.
  const double bound = reach * (1.0 + 1e-9) + 1.0;
  const auto near = [&](double px, double py) {
    return std::abs(dx * (py - y) - dy * (px - x)) / length <= bound;
  };
  std::size_t kept = 0;
  for (const int j : out) {
    const Filed& f = m_filed[static_cast<std::size_t>(j)];
    const bool rising = f.angle < kPi / 2.0;
    const bool keep =
        m_isMoved[static_cast<std::size_t>(j)] != 0 || f.cls < 1 || f.cls > kLineBuckets ||
        (near(f.minX, rising ? f.minY : f.maxY) && near(f.maxX, rising ? f.maxY : f.minY));
    if (keep) out[kept++] = j;
  }
  out.resize(kept);
}

void CSearchIndex::RowUpTo(int x, int y, std::vector<int>& out) {
  m_cells.clear();
  const int row = m_grid.RowOf(y);
  const int last = m_grid.ColumnOf(x);
  for (int c = 0; c <= last; ++c) m_cells.push_back(m_grid.CellOf(c, row));
  const ClassRange all{1, kClassOther};
  Collect(m_cells, &all, 1, INT32_MAX, out);
}

void CSearchIndex::InRect(double minX, double minY, double maxX, double maxY,
                          std::vector<int>& out) {
  m_cells.clear();
  AddRectCells(minX, minY, maxX, maxY, m_grid, m_cells);
  const ClassRange all{1, kClassOther};
  Collect(m_cells, &all, 1, INT32_MAX, out);
}

namespace {

// ---- Settling duplicates ----

// Gives every item its code for this search (left out, or available), and settles the
// duplicates and overlaps among the available ones: each item against the earlier available
// items in list order, from the first again after a merge. True when some end was moved.
bool SettleDuplicates(CZephDoc& doc, bool indexed) {
  const int count = doc.GetItemCount();
  for (int i = 0; i < count; ++i) {
    CDrawItem* item = doc.GetItem(i);
    if (item->IsHidden() == 0 && item->CanBound() != 0) item->CommitEndMoves();
  }
  CSearchIndex& index = g_fillSearch.index;
  if (indexed) index.Build(doc);

  std::vector<int> candidates;
  bool changed = false;  // the item in hand has grown or lost a piece
  const auto findCandidates = [&](int i) {
    if (indexed) {
      index.CompareCandidates(i, changed, candidates);
    } else {
      candidates.resize(static_cast<std::size_t>(i));
      for (int j = 0; j < i; ++j) candidates[static_cast<std::size_t>(j)] = j;
    }
  };
  bool moved = false;
  for (int i = 0; i < count; ++i) {
    CDrawItem* item = doc.GetItem(i);
    if (item->IsHidden() != 0) {
      item->MarkAllUsed(kCodeHidden);
      continue;
    }
    if (item->CanBound() == 0) {
      item->MarkAllUsed(kCodeCannotBound);
      continue;
    }
    item->MarkAllUsed(0);
    changed = false;
    findCandidates(i);
    std::size_t k = 0;
    while (k < candidates.size()) {
      const int j = candidates[k];
      CDrawItem* other = doc.GetItem(j);
      if (other->GetUsedState() != 0) {
        ++k;
        continue;
      }
      g_fillSearch.Spend(1);
      const auto relation = static_cast<std::int16_t>(item->Compare(other));
      bool done = false;
      switch (relation) {
        case 0:
          ++k;
          break;
        case 1:
        case 2:
          other->MarkAllUsed(kCodeDuplicate);
          done = true;
          break;
        case 3:
          item->MarkAllUsed(kCodeDuplicate);
          done = true;
          break;
        case -1:
          // The item grows over the other: every earlier item again, from the first.
          moved = changed = true;
          item->MergeOverlap(other);
          other->MarkAllUsed(kCodeDuplicate);
          findCandidates(i);
          k = 0;
          break;
        case -2:
          // The item loses the part the other covers: on with the items after the other.
          moved = changed = true;
          item->TrimOverlap(other);
          if (indexed) {
            findCandidates(i);
            k = static_cast<std::size_t>(std::upper_bound(candidates.begin(), candidates.end(), j) -
                                         candidates.begin());
          } else {
            ++k;
          }
          break;
        default:
          SetGlitchValue(relation);
          SetGlitchValue(count);
          SetGlitchValue(j);
          ReportGlitch(kLogFill, 1);
          ++k;
          break;
      }
      if (done) break;
    }
    if (indexed && changed && item->GetUsedState() == 0) index.NoteMoved(i);
  }
  return moved;
}

// ---- The start scan ----

// The crossings of the available items with the scan line left of the point, best first: the
// nearest to the point, then in list order, then in the item's own order. An item that is not
// available at one attempt never is again while the outer boundary is sought, so each
// attempt takes the first crossing of an item still available.
class CStartScan {
 public:
  CStartScan(CZephDoc& doc, int x, int y, bool indexed) : m_doc(doc), m_x(x), m_y(y) {
    if (!indexed) {
      m_plain = true;
      return;
    }
    std::vector<int> near;
    g_fillSearch.index.RowUpTo(x, y, near);
    try {
      for (const int i : near) {
        const CDrawItem* item = doc.GetItem(i);
        if (item->GetUsedState() != 0) continue;
        const int n = item->IntersectScanLine(y);
        for (int k = 0; k < n; ++k) {
          const int cx = g_intersectX[static_cast<std::size_t>(k)];
          if (cx < x) m_crossings.push_back({cx, i, k});
        }
      }
    } catch (const std::exception&) {
      // The plain scan reports the failure where it meets it, at every attempt.
      m_plain = true;
      return;
    }
    g_fillSearch.Spend(static_cast<std::int64_t>(near.size()));
    std::sort(m_crossings.begin(), m_crossings.end(), [](const Crossing& a, const Crossing& b) {
      if (a.x != b.x) return a.x > b.x;
      if (a.index != b.index) return a.index < b.index;
      return a.k < b.k;
    });
  }

  // The start of the next attempt: its index and crossing, or -1.
  int Next(int& startX) {
    if (m_plain) return ScanAll(startX);
    while (m_next < m_crossings.size()) {
      const Crossing& c = m_crossings[m_next];
      if (m_doc.GetItem(c.index)->GetUsedState() == 0) {
        startX = c.x;
        return c.index;
      }
      ++m_next;
    }
    return -1;
  }

 private:
  struct Crossing {
    int x;
    int index;
    int k;
  };

  int ScanAll(int& startX) {
    int best = -1;
    int bestX = 0;
    const int count = m_doc.GetItemCount();
    int i = 0;
    int k = 0;
    try {
      for (i = 0; i < count; ++i) {
        CDrawItem* item = m_doc.GetItem(i);
        if (item->GetUsedState() != 0) continue;
        const int n = item->IntersectScanLine(m_y);
        for (k = 0; k < n; ++k) {
          const int cx = g_intersectX[static_cast<std::size_t>(k)];
          if (cx < m_x && (best < 0 || cx > bestX)) {
            best = i;
            bestX = cx;
          }
        }
      }
    } catch (const std::exception& e) {
      // The scan ends here, with the best crossing found so far.
      SetGlitchMessage(QString::fromUtf8(e.what()));
      SetGlitchValue(GetExceptionKind(e));
      SetGlitchValue(i);
      SetGlitchValue(m_doc.GetItem(i)->GetType());
      SetGlitchValue(k);
      ReportGlitch(kLogFill, 2);
    }
    g_fillSearch.Spend(count);
    startX = bestX;
    return best;
  }

  CZephDoc& m_doc;
  const int m_x;
  const int m_y;
  bool m_plain = false;
  std::vector<Crossing> m_crossings;
  std::size_t m_next = 0;
};

// ---- The hole scan ----

// The holes added so far, filed by the bands of y they span, each with the box outside which
// it holds no point.
class CHoles {
 public:
  explicit CHoles(const CLoopScanIndex& outer) {
    int minX = 0, maxX = 0;
    outer.GetBox(minX, m_minY, maxX, m_maxY);
    m_bandHeight = std::max(1.0, (static_cast<double>(m_maxY) - m_minY + 1.0) / kBands);
    m_bands.resize(kBands);
  }
  void Add(const CBoundaryLoop& hole) {
    m_holes.push_back(std::make_unique<CLoopScanIndex>(hole));
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    m_holes.back()->GetBox(minX, minY, maxX, maxY);
    const auto id = static_cast<int>(m_holes.size()) - 1;
    for (int b = BandOf(minY); b <= BandOf(maxY); ++b)
      m_bands[static_cast<std::size_t>(b)].push_back(id);
  }
  // As CFillItem::IsInHole: whether a hole holds the point, its boundary included.
  bool Hold(int x, int y) const {
    for (const int id : m_bands[static_cast<std::size_t>(BandOf(y))]) {
      const CLoopScanIndex& hole = *m_holes[static_cast<std::size_t>(id)];
      if (hole.MayContain(x, y) && hole.ContainsPoint(x, y, 1) != 0) return true;
    }
    return false;
  }

 private:
  static constexpr int kBands = 256;
  int BandOf(int y) const {
    const double b = std::floor((static_cast<double>(y) - m_minY) / m_bandHeight);
    return static_cast<int>(std::clamp(b, 0.0, static_cast<double>(kBands - 1)));
  }

  int m_minY = 0;
  int m_maxY = 0;
  double m_bandHeight = 1.0;
  std::vector<std::unique_ptr<CLoopScanIndex>> m_holes;
  std::vector<std::vector<int>> m_bands;
};

// The candidates for the next hole: available items (state 0 or over 50) whose rightmost
// point lies strictly inside the outer boundary and in no hole; the one furthest right, the
// first in list order on equal x. Kept in a heap by rightmost point, each item checked when
// it comes to the top. Marks only grow while holes are sought, so an item's rightmost point
// only moves left and an item once unavailable stays so; items whose marks a walk changed
// are looked at again.
class CHoleScan {
 public:
  CHoleScan(CZephDoc& doc, const CLoopScanIndex& outer, const CHoles& holes, bool indexed)
      : m_doc(doc), m_outer(outer), m_holes(holes) {
    const int count = doc.GetItemCount();
    m_version.assign(static_cast<std::size_t>(count), 0);
    m_outerChecked.assign(static_cast<std::size_t>(count), 0);
    outer.GetBox(m_box.minX, m_box.minY, m_box.maxX, m_box.maxY);
    if (!indexed) {
      m_plain = true;
      return;
    }
    std::vector<int> inside;
    g_fillSearch.index.InRect(m_box.minX, m_box.minY, m_box.maxX, m_box.maxY, inside);
    for (const int i : inside) Look(i);
  }

  // The next hole's start item and its rightmost point, or -1.
  int Next(int& startX, int& startY) {
    if (m_plain) return ScanAll(startX, startY);
    while (!m_heap.empty()) {
      const Candidate top = m_heap.top();
      const auto slot = static_cast<std::size_t>(top.index);
      if (top.version != m_version[slot]) {
        m_heap.pop();
        continue;
      }
      if (m_outerChecked[slot] != top.version + 1) {
        g_fillSearch.Spend(1);
        if (m_outer.ContainsPoint(top.x, top.y, 0) == 0) {
          m_heap.pop();
          continue;
        }
        m_outerChecked[slot] = top.version + 1;
      }
      if (m_holes.Hold(top.x, top.y)) {
        m_heap.pop();
        continue;
      }
      startX = top.x;
      startY = top.y;
      return top.index;
    }
    return -1;
  }

  // The items whose marks changed since: their candidacy as it is now.
  void LookAgain(std::vector<int>& items) {
    if (m_plain) {
      items.clear();
      return;
    }
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    for (const int i : items) {
      if (i < 0 || i >= m_doc.GetItemCount()) continue;
      ++m_version[static_cast<std::size_t>(i)];
      Look(i);
    }
    items.clear();
  }

 private:
  struct Candidate {
    int x;
    int y;
    int index;
    std::uint32_t version;
    // The heap's top: the greatest x, then the first in list order.
    bool operator<(const Candidate& other) const {
      if (x != other.x) return x < other.x;
      return index > other.index;
    }
  };
  struct Box {
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
  };

  // Every item in list order, as the Part's scan goes.
  int ScanAll(int& startX, int& startY) {
    const int count = m_doc.GetItemCount();
    g_fillSearch.Spend(count);
    int best = -1;
    for (int i = 0; i < count; ++i) {
      int rx = 0;
      int ry = 0;
      if (!RightmostOf(i, rx, ry)) continue;
      if (m_outer.ContainsPoint(rx, ry, 0) == 0 || m_holes.Hold(rx, ry)) continue;
      if (best < 0 || rx > startX) {
        best = i;
        startX = rx;
        startY = ry;
      }
    }
    return best;
  }

  // The rightmost point of an available item (state 0 or over 50); false for another, and
  // for one that failed to answer (reported).
  bool RightmostOf(int i, int& rx, int& ry) {
    CDrawItem* item = m_doc.GetItem(i);
    try {
      const int state = item->GetUsedState();
      if (state != 0 && state <= 50) return false;
      item->GetRightmostPoint(rx, ry);
      return true;
    } catch (const std::exception& e) {
      SetGlitchValue(GetExceptionKind(e));
      SetGlitchValue(i);
      SetGlitchValue(item->GetType());
      ReportGlitch(kLogFill, 5);
      return false;
    }
  }

  void Look(int i) {
    g_fillSearch.Spend(1);
    int rx = 0;
    int ry = 0;
    if (!RightmostOf(i, rx, ry)) return;
    // Outside the outer boundary's box, never inside it.
    if (rx < m_box.minX || rx > m_box.maxX || ry < m_box.minY || ry > m_box.maxY) return;
    m_heap.push({rx, ry, i, m_version[static_cast<std::size_t>(i)]});
  }

  CZephDoc& m_doc;
  const CLoopScanIndex& m_outer;
  const CHoles& m_holes;
  bool m_plain = false;
  Box m_box;
  std::priority_queue<Candidate> m_heap;
  std::vector<std::uint32_t> m_version;
  std::vector<std::uint32_t> m_outerChecked;  // version + 1 once inside the outer boundary
};

// Puts back what the search changed for its duration: every item's own ends, the shared
// state and the cursor. Runs once, at the latest when the search is left.
class CSearchScope {
 public:
  explicit CSearchScope(CZephDoc& doc)
      : m_doc(doc), m_cursor(zeph::GetDesktop().SetCursor(zeph::CursorShape::kWait)) {
    g_fillSearch.active = true;
    g_fillSearch.indexed = !g_plainFillSearch;
    g_fillSearch.work = 0;
  }
  ~CSearchScope() { Finish(); }
  CSearchScope(const CSearchScope&) = delete;
  CSearchScope& operator=(const CSearchScope&) = delete;

  void Finish() {
    if (m_finished) return;
    m_finished = true;
    // Every item, whatever code it ended with: an item merged with another and later left
    // out would otherwise keep its moved end.
    const int count = m_doc.GetItemCount();
    for (int i = 0; i < count; ++i) m_doc.GetItem(i)->RestoreEnds();
    g_fillSearch.Reset();
    m_doc.GetFillSearchState().startIndex = -1;
    zeph::GetDesktop().SetCursor(m_cursor);
  }

 private:
  CZephDoc& m_doc;
  zeph::CursorShape m_cursor;
  bool m_finished = false;
};

}  // namespace

void SetPlainFillSearchForTest(bool plain) { g_plainFillSearch = plain; }

void SetSearchWorkLimitForTest(std::int64_t limit) {
  g_fillSearch.workLimit = limit > 0 ? limit : kSearchWorkLimit;
}

std::int64_t GetLastSearchWorkForTest() { return g_fillSearch.lastWork; }

void CZephDoc::RenumberUsedMarks(int code) {
  const int from = m_fillSearch.traceCode;
  if (g_fillSearch.active && g_fillSearch.indexed) {
    g_fillSearch.marks.TakeFrom(INT32_MIN, [&](CDrawItem* item, int index) {
      item->RenumberUsed(from, code);
      g_fillSearch.touched.push_back(index);
    });
    return;
  }
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) GetItem(i)->RenumberUsed(from, code);
  if (g_fillSearch.active) {
    g_fillSearch.marks.TakeFrom(
        INT32_MIN, [](CDrawItem*, int index) { g_fillSearch.touched.push_back(index); });
  }
}

void CZephDoc::ClearUsedMarksFrom(int code) {
  if (g_fillSearch.active && g_fillSearch.indexed) {
    // Marks below 100 are never walk marks: from 100 on, whatever code is asked for.
    g_fillSearch.marks.TakeFrom(std::max(code, kUsedCodeTraceFirst),
                                [&](CDrawItem* item, int index) {
                                  item->ClearUsedFrom(code);
                                  g_fillSearch.touched.push_back(index);
                                });
    return;
  }
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) GetItem(i)->ClearUsedFrom(code);
  if (g_fillSearch.active) {
    g_fillSearch.marks.TakeFrom(std::max(code, kUsedCodeTraceFirst), [](CDrawItem*, int index) {
      g_fillSearch.touched.push_back(index);
    });
  }
}

DrawItemPtr CZephDoc::FillAreaAtPoint(int x, int y) {
  LogScope trace(kLogFill);
  LogNumber(x);
  LogNumber(y);
  FillSearchState& state = m_fillSearch;
  CSearchScope scope(*this);
  state.x = x;
  state.y = y;
  state.outerLoop = nullptr;
  state.holeSearch = 0;

  DrawItemPtr fill;
  bool internalFailure = false;
  // A walk stopped at its bound of junctions, or a search at its bound of work, has not shown
  // that there is no boundary: the user hears that the fill could not be made instead.
  bool stoppedShort = false;
  const auto fail = [&]() {
    fill.reset();
    state.outerLoop = nullptr;
    state.holeSearch = 0;
    const bool gaveUp = stoppedShort || g_fillSearch.IsOverWorked();
    scope.Finish();
    ShowWarning(internalFailure || gaveUp ? kMessageCannotFill : kMessageNoBoundary);
    return trace.Return(DrawItemPtr(), kLogInvalid);
  };
  const auto outOfMemory = [&]() {
    fill.reset();
    state.outerLoop = nullptr;
    state.holeSearch = 0;
    scope.Finish();
    ShowOutOfMemory();
    return trace.Return(DrawItemPtr(), kLogMemory);
  };

  try {
    const bool indexed = g_fillSearch.indexed;
    SettleDuplicates(*this, indexed);

    trace.Step(5);
    fill = CreateItem(kItemFill);
    if (!fill) return outOfMemory();

    // Each rejected start leaves an item or a piece of one marked, so the starts run out.
    CStartScan starts(*this, x, y, indexed);
    bool found = false;
    while (!found) {
      trace.Step(10);
      if (g_fillSearch.IsOverWorked()) return fail();
      int startX = 0;
      const int start = starts.Next(startX);
      trace.Step(14);
      if (start < 0) break;
      CDrawItem* startItem = GetItem(start);
      state.startIndex = start;
      std::unique_ptr<CBoundaryLoop> loop = TraceBoundary(startItem, startX, y);
      if (!loop) {
        trace.Step(15);
        if (g_fillSearch.IsOverWorked()) return fail();
        if (WasPathNodeLimitReached()) stoppedShort = true;
        if (state.traceFailure < 0) internalFailure = true;
        ClearUsedMarksFrom(-1);
        startItem->MarkAllUsed(kCodeRejected);
        continue;
      }
      if (loop->ContainsPoint(x, y, 0) != 0) {
        trace.Step(17);
        RenumberUsedMarks(kCodeAccepted);
        fill->AttachBoundary(std::move(loop));
        state.outerLoop = fill->GetBoundary();
        found = true;
        break;
      }
      loop.reset();
      RenumberUsedMarks(kCodeRejected);
    }
    if (!found || state.outerLoop == nullptr) return fail();

    // Rejected outlines may still be holes.
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) GetItem(i)->ClearUsedCode(kCodeRejected);
    state.holeSearch = 1;

    const CLoopScanIndex outer(*state.outerLoop);
    g_fillSearch.outer = &outer;
    CHoles holes(outer);
    g_fillSearch.touched.clear();
    CHoleScan candidates(*this, outer, holes, indexed);
    for (;;) {
      trace.Step(20);
      if (g_fillSearch.IsOverWorked()) return fail();
      int startX = 0;
      int startY = 0;
      const int start = candidates.Next(startX, startY);
      if (start < 0) break;
      trace.Step(25);
      CDrawItem* startItem = GetItem(start);
      state.startIndex = start;
      std::unique_ptr<CBoundaryLoop> hole = TraceBoundary(startItem, startX, startY);
      if (hole) {
        trace.Step(26);
        RenumberUsedMarks(kCodeAccepted);
        holes.Add(*hole);
        fill->AddHole(std::move(hole));
        if (hole) return outOfMemory();
      } else {
        trace.Step(27);
        if (g_fillSearch.IsOverWorked()) return fail();
        ClearUsedMarksFrom(-1);
        startItem->MarkAllUsed(kCodeFailedHole);
      }
      g_fillSearch.touched.push_back(start);
      candidates.LookAgain(g_fillSearch.touched);
    }
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }

  trace.Step(30);
  scope.Finish();
  return trace.Return(std::move(fill));
}
