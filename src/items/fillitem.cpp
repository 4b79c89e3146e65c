#include "items/fillitem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "items/boundaryloop.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/screen.h"

std::int16_t g_valueFillStyle = 0;
std::int16_t g_valueHatchIndex = 0;
double g_valueHatchAngle = 0.0;
double g_valueHatchScale = 0.0;
std::int32_t g_valueEdgeCount = 0;
std::int32_t g_valueHoleCount = 0;
QString g_valuePlottingOrder;

void ResetFillValueFields() {
  g_valueFillStyle = 0;
  g_valueHatchIndex = 0;
  g_valueHatchAngle = 0.0;
  g_valueHatchScale = 0.0;
  g_valueEdgeCount = 0;
  g_valueHoleCount = 0;
  g_valuePlottingOrder.clear();
}

namespace {

constexpr int kLogAddHole = 1842;
constexpr int kGlitchCopy = 1843;
constexpr int kLogPickDistance = 1844;
constexpr int kLogDraw = 1845;
constexpr int kGlitchGetHole = 1846;
constexpr int kGlitchBoundingBox = 1847;
constexpr int kGlitchFillStyle = 1849;
constexpr int kGlitchSetHandle = 1850;
constexpr int kLogSetHatch = 1851;
constexpr int kLogSetHatchAngle = 1852;
constexpr int kLogSetHatchSpacing = 1853;
constexpr int kGlitchHandleX = 1854;
constexpr int kGlitchHandleY = 1855;
constexpr int kGlitchSegmentSpans = 4101;
constexpr int kGlitchScanSpans = 4102;

constexpr int kFirstHoleCapacity = 20;
// After this many holes that did not fit their rows in one painting, a further misfit also
// gives up the remaining holes of its row.
constexpr int kHoleFailureLimit = 10;
// Hatch segments are clipped to the outer loop's box widened by this much, so they still
// cross the boundary there rather than end on it.
constexpr double kHatchClipMargin = 2.0;

int ClampedSum(std::int64_t a, std::int64_t b) { return ClampInt64ToInt(a + b); }

// Whether region span [a, b] lies wholly before hole span [h0, h1]. A hole that starts where
// the region span ends cuts nothing of it, unless the hole is that single point.
template <typename T>
bool SpanEndsBefore(T b, T h0, T h1) {
  return b < h0 || (b == h0 && h1 != h0);
}

// Clips the segment (x0, y0)-(x1, y1) to the box; false when nothing of it is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double minX, double minY,
                 double maxX, double maxY) {
  double t0 = 0.0;
  double t1 = 1.0;
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - minX, maxX - x0, y0 - minY, maxY - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, r);
    } else {
      t1 = std::min(t1, r);
    }
    if (t0 > t1) return false;
  }
  const double sx = x0 + t0 * dx;
  const double sy = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = sx;
  y0 = sy;
  return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
}

// The largest point of the lattice origin + k * step at or below value (smallest at or above
// for up).
double LatticeBelow(double value, double origin, double step) {
  double v = origin + std::floor((value - origin) / step) * step;
  // Rounding may leave it a step too high; one or two corrections at most.
  for (int i = 0; i < 2 && v > value; ++i) v -= step;
  return v;
}

double LatticeAbove(double value, double origin, double step) {
  double v = origin + std::ceil((value - origin) / step) * step;
  for (int i = 0; i < 2 && v < value; ++i) v += step;
  return v;
}

enum class HatchClass { kHorizontal, kVertical, kRising, kFalling };

}  // namespace

// ---- Life ----

CFillItem::CFillItem() : CDrawItem(kItemFill) {}

CFillItem::~CFillItem() = default;

void CFillItem::AddHole(std::unique_ptr<CBoundaryLoop>&& hole) {
  LogScope trace(kLogAddHole);
  if (!hole) {
    trace.Exit(kLogInvalid, 2);
    return;
  }
  if (static_cast<std::int64_t>(m_holes.size()) >= m_holeCapacity) {
    trace.Step(1);
    LogNumber(m_holeCapacity);
    const std::int64_t wanted =
        m_holeCapacity <= 0 ? kFirstHoleCapacity : 2 * static_cast<std::int64_t>(m_holeCapacity);
    if (wanted > std::numeric_limits<std::int32_t>::max()) {
      trace.Exit(kLogMemory, 1);
      return;
    }
    try {
      m_holes.reserve(static_cast<std::size_t>(wanted));
    } catch (const std::bad_alloc&) {
      trace.Exit(kLogMemory, 1);
      return;
    } catch (const std::length_error&) {
      trace.Exit(kLogMemory, 1);
      return;
    }
    m_holeCapacity = static_cast<std::int32_t>(wanted);
  }
  m_holes.push_back(std::move(hole));  // room was reserved: no allocation here
  trace.Exit();
}

void CFillItem::CopyFrom(const CDrawItem* other) {
  if (other == this) return;
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemFill) return;
  const auto* source = static_cast<const CFillItem*>(other);
  m_outer.reset();
  m_holes.clear();
  if (source->m_outer) {
    std::unique_ptr<CBoundaryLoop> outer = source->m_outer->Clone();
    if (!outer) {
      ReportGlitch(kGlitchCopy, 8990);
      return;
    }
    m_outer = std::move(outer);
  }
  for (const auto& hole : source->m_holes) {
    std::unique_ptr<CBoundaryLoop> copy = hole->Clone();
    if (!copy) {
      ReportGlitch(kGlitchCopy, 8991);
      return;
    }
    AddHole(std::move(copy));
  }
  m_fillStyle = source->m_fillStyle;
  m_hatch.reset();
  if (source->m_hatch) {
    try {
      auto pattern = std::make_unique<CHatchPattern>();
      pattern->CopyFrom(*source->m_hatch);  // reports its own failures; what was copied stays
      m_hatch = std::move(pattern);
    } catch (const std::bad_alloc&) {
      ReportGlitch(kGlitchCopy, 8991);
    }
  }
}

// ---- Queries ----

double CFillItem::GetPickDistance(const CViewMapping* mapping) const {
  if (!m_outer) {
    LogAction(kLogPickDistance, 1, kLogMinorFailure);
    return kFarAway;
  }
  const int x = g_cursorPoint.x;
  const int y = g_cursorPoint.y;
  if (IsInHole(x, y) != 0) return kFarAway;
  if (m_outer->ContainsPoint(x, y, 0) == 0) return kFarAway;
  const double unitsPerPixel = mapping != nullptr ? static_cast<double>(mapping->scaleX) : 1.0;
  return unitsPerPixel * GetOptionShort(kOptionClickFillDistance);
}

CBoundaryLoop* CFillItem::GetHole(int i) const {
  if (i < 0 || i >= GetHoleCount()) {
    SetGlitchValue(i);
    SetGlitchValue(GetHoleCount());
    ReportGlitch(kGlitchGetHole, 1);
    return nullptr;
  }
  return m_holes[static_cast<std::size_t>(i)].get();
}

void CFillItem::CalcBoundingBox(const CViewMapping*) const {
  if (!m_outer) {
    ReportGlitch(kGlitchBoundingBox, 1);
    return;
  }
  ItemBounds box = g_itemBounds;
  if (m_outer->GetBoundingBox(box.minX, box.minY, box.maxX, box.maxY) != 0) g_itemBounds = box;
}

int CFillItem::IsHatched() const { return (m_hatch && m_hatch->GetLineCount() > 0) ? 1 : 0; }

int CFillItem::IsInHole(int x, int y) const {
  for (const auto& hole : m_holes) {
    if (hole->ContainsPoint(x, y, 1) != 0) return 1;
  }
  return 0;
}

int CFillItem::IsValid() const {
  if (!m_outer) return 0;
  if (m_fillStyle < kFillSolid || m_fillStyle > kFillBlend) return 0;
  return m_outer->IsValid() != 0 ? 1 : 0;
}

int CFillItem::GetHandleCount() const {
  if (!m_outer) return 0;
  std::int64_t count = m_outer->GetCount();
  for (const auto& hole : m_holes) count += hole->GetCount();
  return ClampInt64ToInt(count);
}

CBoundaryLoop* CFillItem::LoopOfHandle(int handle, int& vertex) const {
  vertex = handle;
  // A negative handle goes to the outer loop, which refuses it.
  if (vertex < m_outer->GetCount()) return m_outer.get();
  vertex -= m_outer->GetCount();
  for (const auto& hole : m_holes) {
    if (vertex < hole->GetCount()) return hole.get();
    vertex -= hole->GetCount();
  }
  return nullptr;
}

int CFillItem::GetHandleCoordinate(int handle, bool wantY) const {
  const int glitch = wantY ? kGlitchHandleY : kGlitchHandleX;
  if (!m_outer) {
    ReportGlitch(glitch, 1);
    return 0;
  }
  int vertex = 0;
  const CBoundaryLoop* loop = LoopOfHandle(handle, vertex);
  int x = 0;
  int y = 0;
  if (loop != nullptr && loop->GetVertex(vertex, x, y) != 0) return wantY ? y : x;
  SetGlitchValue(vertex);
  SetGlitchValue(loop != nullptr ? loop->GetCount() : GetHoleCount());
  ReportGlitch(glitch, loop == nullptr ? 4 : (loop == m_outer.get() ? 2 : 3));
  return 0;
}

int CFillItem::GetHandleX(int handle) const { return GetHandleCoordinate(handle, false); }

int CFillItem::GetHandleY(int handle) const { return GetHandleCoordinate(handle, true); }

// ---- Changes ----

void CFillItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  if (m_outer) m_outer->MoveBy(dx, dy);
  for (const auto& hole : m_holes) hole->MoveBy(dx, dy);
}

void CFillItem::SetHandle(int handle, int x, int y) {
  if (!m_outer) {
    ReportGlitch(kGlitchSetHandle, 1);
    return;
  }
  int vertex = handle;
  CBoundaryLoop* loop = handle < 0 ? nullptr : LoopOfHandle(handle, vertex);
  if (loop == nullptr) {
    SetGlitchValue(handle);
    SetGlitchValue(vertex);
    SetGlitchValue(GetHoleCount());
    ReportGlitch(kGlitchSetHandle, 2);
    return;
  }
  loop->SetVertex(vertex, x, y);
}

void CFillItem::Transform(const CTransform& transform) {
  if (m_outer) m_outer->Transform(transform);
  for (const auto& hole : m_holes) hole->Transform(transform);
  if (m_fillStyle == kFillHatch && m_hatch) m_hatch->Transform(transform);
}

void CFillItem::AttachBoundary(std::unique_ptr<CBoundaryLoop>&& loop) { m_outer = std::move(loop); }

void CFillItem::AttachHatchPattern(std::unique_ptr<CHatchPattern>&& pattern) {
  m_hatch = std::move(pattern);
}

std::unique_ptr<CHatchPattern> CFillItem::DetachHatchPattern() { return std::move(m_hatch); }

void CFillItem::SetFillStyle(int style) {
  if (style < kFillSolid || style >= kFillStyleCount) {
    SetGlitchValue(style);
    ReportGlitch(kGlitchFillStyle, 0);
    style = kFillSolid;
  }
  UpdateField(m_fillStyle, static_cast<std::int32_t>(style), UndoKind::kFillStyle, false);
}

int CFillItem::ReplacePattern(std::unique_ptr<CHatchPattern> pattern) {
  IItemDocument* document = GetDocument();
  if (document != nullptr) {
    const std::int16_t answer = document->RecordItemChange(UndoKind::kHatchPattern, this);
    if (answer == kUndoRefused) return 0;
    document->MarkChanged();
    // The journal has kept the pattern it read through GetHatchPattern: it is its own now.
    if (answer == 1) static_cast<void>(m_hatch.release());
  }
  m_hatch = std::move(pattern);
  return 1;
}

int CFillItem::SetHatch(int definition, double angle, double scale) {
  LogScope trace(kLogSetHatch);
  std::unique_ptr<CHatchPattern> pattern;
  try {
    pattern = std::make_unique<CHatchPattern>();
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 1);
  }
  // Build refuses an index out of range and an angle or scale that would make the lines
  // degenerate.
  if (pattern->Build(definition, angle, scale) == 0) return trace.Return(0, kLogInvalid, 1);
  if (ReplacePattern(std::move(pattern)) == 0) return trace.Return(0, kLogMemory, 2);
  return trace.Return(1);
}

int CFillItem::ReplaceTransformedPattern(const CTransform& transform, int logCode) {
  std::unique_ptr<CHatchPattern> pattern;
  try {
    pattern = std::make_unique<CHatchPattern>();
  } catch (const std::bad_alloc&) {
    LogAction(logCode, 1, kLogMemory);
    return 0;
  }
  if (pattern->CopyFrom(*m_hatch) == 0) {
    LogAction(logCode, 1, kLogMemory);
    return 0;
  }
  // A family that the change would leave degenerate refuses it; then nothing changes.
  if (pattern->Transform(transform) == 0) {
    LogAction(logCode, 1, kLogInvalid);
    return 0;
  }
  if (ReplacePattern(std::move(pattern)) == 0) {
    LogAction(logCode, 2, kLogMemory);
    return 0;
  }
  LogAction(logCode, 0, kLogOk);
  return 1;
}

int CFillItem::SetHatchAngle(double angle) {
  LogAction(kLogSetHatchAngle, 0, kLogProgress);
  if (!m_hatch || !std::isfinite(angle)) {
    LogAction(kLogSetHatchAngle, 1, kLogInvalid);
    return 0;
  }
  const double turn = angle - m_hatch->GetAngle();
  if (IsNearlyZero(turn) != 0) {
    LogAction(kLogSetHatchAngle, 1, kLogOk);
    return 1;
  }
  CTransform rotation;
  rotation.SetRotation(turn * g_degreesPerRadian, 0, 0);
  return ReplaceTransformedPattern(rotation, kLogSetHatchAngle);
}

int CFillItem::SetHatchSpacing(double scale) {
  LogAction(kLogSetHatchSpacing, 0, kLogProgress);
  // A scale of 0 would collapse the lines onto each other; the pattern's own scale is 0 when
  // its definition is unknown.
  const double current = m_hatch ? m_hatch->GetScale() : 0.0;
  const double ratio = scale / current;
  if (!m_hatch || !std::isfinite(scale) || scale <= 0.0 || !std::isfinite(ratio) || ratio <= 0.0) {
    LogAction(kLogSetHatchSpacing, 1, kLogInvalid);
    return 0;
  }
  if (IsNearlyZero(ratio - 1.0) != 0) {
    LogAction(kLogSetHatchSpacing, 1, kLogOk);
    return 1;
  }
  CTransform enlargement;
  enlargement.SetEnlargement(ratio, 0, 0);
  return ReplaceTransformedPattern(enlargement, kLogSetHatchSpacing);
}

// ---- Values bar ----

void CFillItem::PublishProperties() const {
  if (m_fillStyle == kFillHatch) {
    PublishFieldIds({kFieldColourObject, kFieldFillType, kFieldHatch, kFieldHatchAngleScale});
  } else {
    PublishFieldIds({kFieldColourObject, kFieldFillType});
  }
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueFillStyle = static_cast<std::int16_t>(m_fillStyle);
  if (m_fillStyle == kFillHatch && m_hatch) {
    g_valueHatchIndex = FindHatchDefinition(m_hatch->GetNumber());
    g_valueHatchAngle = m_hatch->GetAngle();
    g_valueHatchScale = m_hatch->GetScale();
  }
}

void CFillItem::PublishInformation() const {
  PublishFieldIds({kFieldFillEdges, kFieldPlottingOrder});
  g_valueEdgeCount = m_outer ? m_outer->GetCount() : 0;
  g_valueHoleCount = GetHoleCount();
  g_valuePlottingOrder.clear();
  const IItemDocument* document = GetDocument();
  int position = 0;
  int count = 0;
  if (document != nullptr && document->GetFillOrder(this, position, count) != 0) {
    AppendInt(g_valuePlottingOrder, position);
    g_valuePlottingOrder += QStringLiteral(" of ");
    AppendInt(g_valuePlottingOrder, count);
  }
}

// ---- Painting ----

void CFillItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                     int thin) const {
  if (!m_outer || dc == nullptr || mapping == nullptr) return;
  LogScope trace(kLogDraw);

  // Room for every crossing the loops can give on one line: the outer loop's together with
  // the hole spans cut out of them, and the largest hole's alone (a segment's two ends at
  // least).
  if (m_outer->GetCount() == 0) {
    trace.Exit(kLogOk, 1);
    return;
  }
  std::int64_t all = m_outer->GetMaxCrossings();
  std::int64_t largestHole = 0;
  for (const auto& hole : m_holes) {
    all += hole->GetMaxCrossings();
    largestHole = std::max<std::int64_t>(largestHole, hole->GetMaxCrossings());
  }
  all = std::max<std::int64_t>(all, 2);
  largestHole = std::max<std::int64_t>(largestHole, 2);
  std::vector<int> spans;
  std::vector<int> holeSpans;
  try {
    spans.resize(static_cast<std::size_t>(all));
  } catch (const std::exception&) {
    trace.Exit(kLogMemory, 1);
    return;
  }
  try {
    holeSpans.resize(static_cast<std::size_t>(largestHole));
  } catch (const std::exception&) {
    trace.Exit(kLogMemory, 2);
    return;
  }

  const bool printing = dc->IsPrinting();
  bool greyPrinting = false;
  zeph::ColourRef colour = 0;
  if (!printing) {
    colour = colourMode == kDrawHighlight
                 ? g_highlightFillColour
                 : static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, GetColour()));
  } else if (IsColourPrinter(dc, 1) != 0) {
    colour = static_cast<zeph::ColourRef>(GetColour());
  } else {
    colour = ColourToGrey(static_cast<zeph::ColourRef>(GetColour()));
    greyPrinting = true;
  }

  const zeph::RasterOp oldOp =
      colourMode == kDrawXor ? dc->SetRasterOp(zeph::RasterOp::kXor) : dc->GetRasterOp();
  zeph::DcPen pen;
  pen.style = zeph::PenStyle::kSolid;
  pen.width = m_fillStyle == kFillSolid ? 1 : GetDevicePenWidth(1, (printing && thin == 0) ? 1 : 0);
  pen.colour = colour;
  const zeph::DcPen oldPen = dc->SelectPen(pen);

  switch (m_fillStyle) {
    case kFillSolid:
      trace.Step(10);
      DrawSolid(*dc, *mapping, colour, greyPrinting, spans, holeSpans);
      break;
    case kFillHatch: {
      trace.Step(20);
      std::vector<int> ys;
      std::vector<int> holeYs;
      bool ready = true;
      try {
        ys.resize(spans.size());
      } catch (const std::exception&) {
        trace.Step(3, kLogMemory);
        ready = false;
      }
      if (ready) {
        try {
          holeYs.resize(holeSpans.size());
        } catch (const std::exception&) {
          trace.Step(4, kLogMemory);
          ready = false;
        }
      }
      if (ready) DrawHatch(*dc, *mapping, colour, spans, holeSpans, ys, holeYs);
      break;
    }
    default:
      SetGlitchValue(m_fillStyle);
      ReportGlitch(kLogDraw, 9001);
      break;
  }

  dc->SelectPen(oldPen);
  if (colourMode == kDrawXor) dc->SetRasterOp(oldOp);
  trace.Exit();
}

void CFillItem::DrawSolid(zeph::CDrawContext& dc, const CViewMapping& mapping,
                          zeph::ColourRef colour, bool greyPrinting, std::vector<int>& spans,
                          std::vector<int>& holeSpans) const {
  const bool printing = dc.IsPrinting();
  const zeph::CDrawContext* printer = printing ? &dc : nullptr;
  int lo = 0;
  int hi = 0;
  m_outer->GetYRange(lo, hi);
  int r0 = mapping.DrawingToDeviceY(lo, printer);
  int r1 = mapping.DrawingToDeviceY(hi, printer);
  if (r0 > r1) std::swap(r0, r1);
  // The outermost two rows stay unpainted. Rows outside the clip box cannot show, so they
  // are not scanned: at a high zoom a large fill would otherwise cost millions of rows.
  const zeph::DcRect clip = dc.GetClipBox();
  if (clip.IsEmpty()) return;
  const std::int64_t first = std::max<std::int64_t>(static_cast<std::int64_t>(r0) + 1, clip.top);
  const std::int64_t last =
      std::min<std::int64_t>(static_cast<std::int64_t>(r1) - 1, clip.bottom - 1);

  int failures = 0;
  for (std::int64_t row = first; row <= last; ++row) {
    const int r = static_cast<int>(row);
    const int y = mapping.DeviceToDrawingY(r, printing ? 1 : 0);
    int n = m_outer->GetScanCrossings(y, spans.data(), 0);
    if (n == 0) {
      LogAction(kLogDraw, 1, kLogInvalid);
      LogNumber(y);
      continue;
    }
    if (n == 1) {
      LogAction(kLogDraw, 2, kLogInvalid);
      LogNumber(spans[0]);
      LogNumber(y);
      continue;
    }
    for (const auto& hole : m_holes) {
      const int k = hole->GetScanCrossings(y, holeSpans.data(), 1);
      if (k <= 0) continue;
      const int added = SubtractScanSpans(n, spans, k, holeSpans);
      if (added < 0) {
        ++failures;
        if (failures >= kHoleFailureLimit) break;
        continue;
      }
      if (added != k) {
        LogAction(kLogDraw, 1, kLogHandled);
        LogNumber(added);
        LogNumber(k);
      }
      n += added;
    }
    for (int j = 0; j + 1 < n; j += 2) {
      const int c0 = mapping.DrawingToDeviceX(spans[static_cast<std::size_t>(j)], printer);
      const int c1 = mapping.DrawingToDeviceX(spans[static_cast<std::size_t>(j) + 1], printer);
      if (greyPrinting) {
        dc.FillRect({c0, r, ClampedSum(c1, 1), ClampedSum(r, 1)}, colour);
        continue;
      }
      // A line leaves out its last pixel, which the pixel then supplies.
      if (c0 < c1) {
        dc.MoveTo(c0, r);
        dc.LineTo(c1, r);
      }
      if (c0 <= c1) dc.SetPixel(c1, r, colour);
    }
  }
}

void CFillItem::DrawHatch(zeph::CDrawContext& dc, const CViewMapping& mapping,
                          zeph::ColourRef colour, std::vector<int>& xs, std::vector<int>& holeXs,
                          std::vector<int>& ys, std::vector<int>& holeYs) const {
  if (!m_hatch) return;
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  if (m_outer->GetBoundingBox(minX, minY, maxX, maxY) == 0) return;
  const double boxMinX = static_cast<double>(minX) - kHatchClipMargin;
  const double boxMinY = static_cast<double>(minY) - kHatchClipMargin;
  const double boxMaxX = static_cast<double>(maxX) + kHatchClipMargin;
  const double boxMaxY = static_cast<double>(maxY) + kHatchClipMargin;

  const int familyCount = m_hatch->GetLineCount();
  for (int i = 0; i < familyCount; ++i) {
    const CHatchLine* family = m_hatch->GetLine(i);
    // Patterns are checked wherever they are made; this keeps the steps below positive even
    // for one that slipped through.
    if (family == nullptr || family->IsValid() == 0) continue;

    double a = NormaliseAngle(family->GetAngle(), 0);
    if (a >= kPi) a -= kPi;
    HatchClass kind = HatchClass::kRising;
    if (IsNearlyZero(a) != 0 || IsNearlyZero(a - kPi) != 0) {
      kind = HatchClass::kHorizontal;
      a = 0.0;
    } else if (IsNearlyZero(a - g_halfPi) != 0) {
      kind = HatchClass::kVertical;
      a = g_halfPi;
    } else if (a > g_halfPi) {
      kind = HatchClass::kFalling;
    }

    // Distances between neighbouring lines along x and along y.
    const double d = family->GetSpacing();
    double dx = 0.0;
    double dy = 0.0;
    if (kind == HatchClass::kHorizontal) {
      dy = d;
    } else if (kind == HatchClass::kVertical) {
      dx = d;
    } else {
      dx = d / std::sin(a);
      dy = std::fabs(d / std::cos(a));
    }
    const double ox = family->GetOriginX();
    const double oy = family->GetOriginY();
    const double t = std::tan(a);

    // The first line and how many follow it across the box.
    double x0 = minX;
    double y0 = minY;
    double lines = 0.0;
    switch (kind) {
      case HatchClass::kHorizontal:
        y0 = LatticeAbove(maxY, oy, dy);
        lines = std::floor((y0 - minY) / dy) + 1.0;
        break;
      case HatchClass::kVertical:
        x0 = LatticeBelow(minX, ox, dx);
        lines = std::floor((maxX - x0) / dx) + 1.0;
        break;
      case HatchClass::kRising:
        x0 = LatticeBelow(minX, ox, dx);
        y0 = LatticeAbove(maxY, oy, dy);
        lines = std::floor((y0 + (maxX - x0) * t - minY) / dy) + 1.0;
        break;
      case HatchClass::kFalling:
        x0 = LatticeBelow(minX, ox, dx);
        y0 = LatticeBelow(minY, oy, dy);
        lines = std::floor((maxY - y0 - (maxX - x0) * t) / dy) + 1.0;
        break;
    }
    if (!std::isfinite(lines) || !std::isfinite(x0) || !std::isfinite(y0) ||
        lines > kMaxHatchLinesPerFamily) {
      LogAction(kLogDraw, 5, kLogInvalid);
      LogNumber(i);
      continue;
    }
    const int lineCount = lines < 1.0 ? 1 : static_cast<int>(lines);

    for (int m = 0; m < lineCount; ++m) {
      double sx = x0;
      double sy = y0;
      double ex = 0.0;
      double ey = 0.0;
      switch (kind) {
        case HatchClass::kHorizontal:
          sy = y0 - m * dy;
          ex = maxX;
          ey = sy;
          break;
        case HatchClass::kVertical:
          sx = x0 + m * dx;
          sy = minY;
          ex = sx;
          ey = maxY;
          break;
        case HatchClass::kRising:
          sy = y0 - m * dy;
          ex = sx + (maxY - sy) / t;
          ey = maxY;
          break;
        case HatchClass::kFalling:
          sy = y0 + m * dy;
          ex = sx + (minY - sy) / t;
          ey = minY;
          break;
      }
      // Only the part over the box can meet the boundary; clipping also keeps lines of a
      // far-off origin or a shallow angle inside the coordinate range.
      if (!ClipSegment(sx, sy, ex, ey, boxMinX, boxMinY, boxMaxX, boxMaxY)) continue;
      xs[0] = RoundToInt(sx);
      ys[0] = RoundToInt(sy);
      xs[1] = RoundToInt(ex);
      ys[1] = RoundToInt(ey);
      const int s0x = xs[0];
      const int s0y = ys[0];
      const int s1x = xs[1];
      const int s1y = ys[1];
      int n = m_outer->IntersectSegment(xs.data(), ys.data());
      if (n <= 1) continue;
      for (const auto& hole : m_holes) {
        holeXs[0] = s0x;
        holeYs[0] = s0y;
        holeXs[1] = s1x;
        holeYs[1] = s1y;
        const int k = hole->IntersectSegment(holeXs.data(), holeYs.data());
        if (k <= 0) continue;
        const int added = SubtractSegmentSpans(n, xs, ys, k, holeXs, holeYs);
        if (added != k) LogAction(kLogDraw, 3, kLogInvalid);
        n += added;
      }
      for (int j = 0; j + 1 < n; j += 2) {
        const auto p = static_cast<std::size_t>(j);
        DrawHatchLine(*family, dc, mapping, xs[p], ys[p], xs[p + 1], ys[p + 1], colour);
      }
    }
  }
}

// ---- Spans ----

int SubtractScanSpans(int n, std::span<int> spans, int k, std::span<const int> holeSpans) {
  if (k == 0) return 0;
  if (n < 2 || n % 2 != 0 || static_cast<std::size_t>(n) > spans.size()) {
    SetGlitchValue(n);
    ReportGlitch(kGlitchScanSpans, 1);
    return 0;
  }
  if (k < 0 || k % 2 != 0 || static_cast<std::size_t>(k) > holeSpans.size()) {
    SetGlitchValue(k);
    ReportGlitch(kGlitchScanSpans, 2);
    return 0;
  }
  // First the walk without changing anything, so that a misfit leaves the spans as they were.
  int added = 0;
  {
    int i = 0;
    int a = spans[0];
    int b = spans[1];
    for (int j = 0; i < n && j < k;) {
      const int h0 = holeSpans[static_cast<std::size_t>(j)];
      const int h1 = holeSpans[static_cast<std::size_t>(j) + 1];
      if (h0 == h1) {
        j += 2;
        continue;
      }
      if (SpanEndsBefore(b, h0, h1)) {
        i += 2;
        if (i < n) {
          a = spans[static_cast<std::size_t>(i)];
          b = spans[static_cast<std::size_t>(i) + 1];
        }
        continue;
      }
      if (h0 < a) {
        SetGlitchValue(i + added);
        SetGlitchValue(a);
        SetGlitchValue(j);
        SetGlitchValue(h0);
        ReportGlitch(kGlitchScanSpans, 3);
        return -1;
      }
      if (h1 > b) {
        SetGlitchValue(i + added + 1);
        SetGlitchValue(b);
        SetGlitchValue(j + 1);
        SetGlitchValue(h1);
        ReportGlitch(kGlitchScanSpans, 4);
        return -1;
      }
      added += 2;
      a = h1;
      j += 2;
    }
  }
  if (static_cast<std::size_t>(n) + static_cast<std::size_t>(added) > spans.size()) {
    SetGlitchValue(n);
    SetGlitchValue(added);
    ReportGlitch(kGlitchScanSpans, 5);
    return -1;
  }
  // Then the cuts: [a, b] becomes [a, h0] [h1, b], and the walk goes on with [h1, b].
  int end = n;
  for (int p = 0, j = 0; p < end && j < k;) {
    const int b = spans[static_cast<std::size_t>(p) + 1];
    const int h0 = holeSpans[static_cast<std::size_t>(j)];
    const int h1 = holeSpans[static_cast<std::size_t>(j) + 1];
    if (h0 == h1) {
      j += 2;
      continue;
    }
    if (SpanEndsBefore(b, h0, h1)) {
      p += 2;
      continue;
    }
    const auto at = spans.begin() + p + 1;
    std::copy_backward(at, spans.begin() + end, spans.begin() + end + 2);
    spans[static_cast<std::size_t>(p) + 1] = h0;
    spans[static_cast<std::size_t>(p) + 2] = h1;
    end += 2;
    p += 2;
    j += 2;
  }
  return added;
}

int SubtractSegmentSpans(int n, std::span<int> xs, std::span<int> ys, int k,
                         std::span<const int> holeXs, std::span<const int> holeYs) {
  if (n < 2 || n % 2 != 0 || static_cast<std::size_t>(n) > std::min(xs.size(), ys.size())) {
    SetGlitchValue(n);
    ReportGlitch(kGlitchSegmentSpans, 1);
    return 0;
  }
  if (k < 0 || k % 2 != 0 || static_cast<std::size_t>(k) > std::min(holeXs.size(), holeYs.size())) {
    SetGlitchValue(k);
    ReportGlitch(kGlitchSegmentSpans, 2);
    return 0;
  }
  // A vertical segment is ordered by y.
  const bool byY = xs[0] == xs[static_cast<std::size_t>(n) - 1];
  const std::span<int> keys = byY ? ys : xs;
  const std::span<const int> holeKeys = byY ? holeYs : holeXs;
  const int glitchBase = byY ? 5 : 3;
  const std::size_t room = std::min(xs.size(), ys.size());

  int added = 0;
  int end = n;
  for (int p = 0, j = 0; p < end && j < k;) {
    const auto pi = static_cast<std::size_t>(p);
    const auto ji = static_cast<std::size_t>(j);
    const int a = keys[pi];
    const int b = keys[pi + 1];
    const int h0 = holeKeys[ji];
    const int h1 = holeKeys[ji + 1];
    if (SpanEndsBefore(b, h0, h1)) {
      p += 2;
      continue;
    }
    if (h0 < a) {
      SetGlitchValue(p);
      SetGlitchValue(a);
      SetGlitchValue(j);
      SetGlitchValue(h0);
      ReportGlitch(kGlitchSegmentSpans, glitchBase);
      return added;
    }
    if (h1 > b) {
      SetGlitchValue(p + 1);
      SetGlitchValue(b);
      SetGlitchValue(j + 1);
      SetGlitchValue(h1);
      ReportGlitch(kGlitchSegmentSpans, glitchBase + 1);
      return added;
    }
    if (static_cast<std::size_t>(end) + 2 > room) {
      SetGlitchValue(end);
      ReportGlitch(kGlitchSegmentSpans, 7);
      return added;
    }
    std::copy_backward(xs.begin() + p + 1, xs.begin() + end, xs.begin() + end + 2);
    std::copy_backward(ys.begin() + p + 1, ys.begin() + end, ys.begin() + end + 2);
    xs[pi + 1] = holeXs[ji];
    ys[pi + 1] = holeYs[ji];
    xs[pi + 2] = holeXs[ji + 1];
    ys[pi + 2] = holeYs[ji + 1];
    end += 2;
    added += 2;
    p += 2;
    j += 2;
  }
  return added;
}

zeph::ColourRef ColourToGrey(zeph::ColourRef colour) {
  const int g =
      (30 * zeph::RedOf(colour) + 59 * zeph::GreenOf(colour) + 11 * zeph::BlueOf(colour)) / 100;
  return zeph::kPaletteColourFlag | zeph::MakeColour(g, g, g);
}
