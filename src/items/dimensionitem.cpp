#include "items/dimensionitem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "items/geometry.h"
#include "items/itemservices.h"
#include "items/measure.h"
#include "items/rotatedtext.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"

CFontSpec g_valueDimensionFont;
std::int32_t g_valueDimensionType = 0;
std::int32_t g_valueLineEnds = 0;
std::int32_t g_valueTextAngleMode = 0;
std::int32_t g_valueTextPosition = 0;
std::int32_t g_valueUnits = 0;
std::int32_t g_valueDecimals = 0;
std::int32_t g_valueArrowSize = 0;
std::int32_t g_valueExtension = 0;

namespace {

constexpr int kGlitchNoDocument = 1761;
constexpr int kGlitchSetHandle = 1762;
constexpr int kGlitchHandleX = 1763;
constexpr int kGlitchHandleY = 1764;

// The value text holds at most this many characters.
constexpr int kValueTextCapacity = 20;

constexpr double kQuarterPi = kPi / 4;

int Add(std::int64_t a, std::int64_t b) { return ClampInt64ToInt(a + b); }

struct Point {
  int x = 0;
  int y = 0;
};

Point Offset(Point p, std::int64_t dx, std::int64_t dy) { return {Add(p.x, dx), Add(p.y, dy)}; }

// Draws straight pieces of the dimension through the view mapping.
class CPieceDrawer {
 public:
  CPieceDrawer(zeph::CDrawContext& dc, const CViewMapping& mapping, bool printing)
      : m_dc(dc), m_mapping(mapping), m_printer(printing ? &dc : nullptr) {}

  void MoveTo(Point p) { m_dc.MoveTo(X(p), Y(p)); }
  void LineTo(Point p) { m_dc.LineTo(X(p), Y(p)); }
  void Line(Point a, Point b) {
    MoveTo(a);
    LineTo(b);
  }

 private:
  int X(Point p) const { return m_mapping.DrawingToDeviceX(p.x, m_printer); }
  int Y(Point p) const { return m_mapping.DrawingToDeviceY(p.y, m_printer); }

  zeph::CDrawContext& m_dc;
  const CViewMapping& m_mapping;
  const zeph::CDrawContext* m_printer;
};

// The geometry of the drawn pieces, shared by drawing and the bounding box.
struct Pieces {
  Point p1;
  Point p2;
  Point extensionStart[2];
  Point extensionEnd[2];
  Point dash[2][2];
  Point arrow[2][3];  // stroke end, tip, stroke end
};

}  // namespace

void ResetDimensionValueFields() {
  g_valueDimensionFont = CFontSpec();
  g_valueDimensionType = 0;
  g_valueLineEnds = 0;
  g_valueTextAngleMode = 0;
  g_valueTextPosition = 0;
  g_valueUnits = 0;
  g_valueDecimals = 0;
  g_valueArrowSize = 0;
  g_valueExtension = 0;
}

CDimensionItem::CDimensionItem() : CDrawItem(kItemDimension) {}

// ---- Points ----

void CDimensionItem::GetStart(int& x, int& y) const {
  x = m_startX;
  y = m_startY;
}

void CDimensionItem::GetEnd(int& x, int& y) const {
  x = m_endX;
  y = m_endY;
}

void CDimensionItem::SetStart(int x, int y) {
  if (x == m_startX && y == m_startY) return;
  if (!BeginChange(UndoKind::kStart)) return;
  m_startX = x;
  m_startY = y;
}

void CDimensionItem::SetEnd(int x, int y) {
  if (x == m_endX && y == m_endY) return;
  if (!BeginChange(UndoKind::kEnd)) return;
  m_endX = x;
  m_endY = y;
}

int CDimensionItem::GetHandleX(int handle) const {
  return HandleCoordinate(handle, handle, {m_startX, m_endX}, kGlitchHandleX);
}

int CDimensionItem::GetHandleY(int handle) const {
  return HandleCoordinate(handle, handle, {m_startY, m_endY}, kGlitchHandleY);
}

void CDimensionItem::SetHandle(int handle, int x, int y) {
  SetEndHandle(handle, handle, x, y, kGlitchSetHandle);
}

void CDimensionItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_startX = Add(m_startX, dx);
  m_startY = Add(m_startY, dy);
  m_endX = Add(m_endX, dx);
  m_endY = Add(m_endY, dy);
}

// ---- Settings ----

void CDimensionItem::SetDimensionType(std::uint8_t type) {
  UpdateField(m_type, type, UndoKind::kDimensionType, false);
}

void CDimensionItem::SetDecimals(std::uint8_t decimals) {
  UpdateField(m_decimals, decimals, UndoKind::kDecimals, false);
}

void CDimensionItem::SetArrowSize(int size) {
  UpdateField(m_arrowSize, size, UndoKind::kArrowSize, false);
}

void CDimensionItem::SetLineEnds(std::uint8_t ends) {
  UpdateField(m_lineEnds, ends, UndoKind::kLineEnds, false);
}

void CDimensionItem::SetExtension(int extension) {
  UpdateField(m_extension, extension, UndoKind::kExtension, false);
}

void CDimensionItem::SetExtensionGap(int gap) {
  UpdateField(m_extensionGap, gap, UndoKind::kExtensionGap, false);
}

void CDimensionItem::SetOffset(int offset) {
  UpdateField(m_offset, offset, UndoKind::kOffset, false);
}

void CDimensionItem::SetTextAngleMode(std::uint8_t mode) {
  UpdateField(m_textAngleMode, mode, UndoKind::kTextAngleMode, false);
}

void CDimensionItem::SetTextPosition(std::uint8_t position) {
  UpdateField(m_textPosition, position, UndoKind::kTextPosition, false);
}

void CDimensionItem::SetUnits(std::uint8_t units) {
  UpdateField(m_units, units, UndoKind::kUnits, false);
}

void CDimensionItem::SetFont(const CFontSpec& font) {
  if (m_font.IsEqual(font) != 0) return;
  if (!BeginChange(UndoKind::kFont)) return;
  m_font.CopyFrom(font);
}

void CDimensionItem::SetFontSize(int widthPercent) {
  const auto percent = static_cast<std::int16_t>(widthPercent & 0xFFFF);
  if (m_font.GetWidthPercent() == percent) return;
  if (!BeginChange(UndoKind::kFont)) return;
  m_font.SetWidthPercent(percent);
}

void CDimensionItem::ChooseTextPosition(int choice) {
  const std::int64_t dx = static_cast<std::int64_t>(m_endX) - m_startX;
  const std::int64_t dy = static_cast<std::int64_t>(m_endY) - m_startY;
  // For codes 3 and 4 the old files named the side by the direction of the measured points.
  const auto bySlope = [this, dx, dy](std::uint8_t axisAligned, std::uint8_t agreeing) {
    std::uint8_t p = axisAligned;
    if (dx != 0 && dy != 0) {
      p = ((dx <= 0) == (dy <= 0)) ? agreeing : static_cast<std::uint8_t>(3 - agreeing);
    }
    const auto q = static_cast<std::uint8_t>(3 - p);
    return m_offset < 0 ? q : p;
  };
  std::uint8_t position = kTextInLine;
  switch (choice) {
    case 1:
      position = m_offset <= 0 ? kTextInside : kTextOutside;
      break;
    case 2:
      position = m_offset <= 0 ? kTextOutside : kTextInside;
      break;
    case 3:
      position = bySlope(kTextOutside, kTextOutside);
      break;
    case 4:
      position = bySlope(kTextInside, kTextInside);
      break;
    default:
      break;
  }
  SetTextPosition(position);
}

void CDimensionItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemDimension) return;
  other->GetStart(m_startX, m_startY);
  other->GetEnd(m_endX, m_endY);
  m_offset = other->GetOffset();
  m_arrowSize = other->GetArrowSize();
  m_lineEnds = other->GetLineEnds();
  m_extensionGap = other->GetExtensionGap();
  m_extension = other->GetExtension();
  const CFontSpec* font = other->GetFont();
  if (font != nullptr) m_font.CopyFrom(*font);
  m_type = other->GetDimensionType();
  m_textAngleMode = other->GetTextAngleMode();
  m_textPosition = other->GetTextPosition();
  m_units = other->GetUnits();
  m_decimals = other->GetDecimals();
}

int CDimensionItem::IsValid() const {
  if (!IsValidX(m_startX) || !IsValidY(m_startY) || !IsValidX(m_endX) || !IsValidY(m_endY)) {
    return 0;
  }
  return (m_type <= kDimensionVertical && m_lineEnds <= kLineEndsNone &&
          m_textAngleMode <= kTextAngleHorizontal && m_textPosition <= kTextInside &&
          m_units <= kUnitsPreference)
             ? 1
             : 0;
}

void CDimensionItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_startX, m_startY);
  transform.TransformPoint(m_endX, m_endY);
}

// ---- Layout ----

void CDimensionItem::NormalisePoints() const {
  int fx = m_startX;
  int fy = m_startY;
  int sx = m_endX;
  int sy = m_endY;
  if (sx < fx || (sx == fx && sy < fy)) {
    std::swap(fx, sx);
    std::swap(fy, sy);
  }
  std::fill(std::begin(m_extras), std::end(m_extras), 0);
  if (m_type == kDimensionHorizontal && fx != sx) {
    const int top = std::max(fy, sy);
    if (fy < top) {
      m_extras[1] = ClampInt64ToInt(static_cast<std::int64_t>(fy) - top);
      fy = top;
    } else if (sy < top) {
      m_extras[3] = ClampInt64ToInt(static_cast<std::int64_t>(sy) - top);
      sy = top;
    }
  } else if (m_type == kDimensionVertical && fy != sy) {
    m_extras[0] = ClampInt64ToInt(static_cast<std::int64_t>(fx) - sx);
    fx = sx;
  }
  m_first[0] = fx;
  m_first[1] = fy;
  m_second[0] = sx;
  m_second[1] = sy;
  m_textAngle = m_textAngleMode == kTextAngleHorizontal ? 0.0 : MeasuredAngle();
}

double CDimensionItem::MeasuredAngle() const {
  return std::atan2(static_cast<double>(m_second[1]) - m_first[1],
                    static_cast<double>(m_second[0]) - m_first[0]);
}

void CDimensionItem::Layout(const CViewMapping* mapping) const {
  m_textGap = 0;
  const double spanX = static_cast<double>(m_second[0]) - m_first[0];
  const double spanY = static_cast<double>(m_second[1]) - m_first[1];
  double scale = 1.0;
  if (GetDocument() == nullptr) {
    ReportGlitch(kGlitchNoDocument, 1);
  } else {
    scale = GetDocument()->GetRealWorldScale();
  }
  FormatMeasurement(Hypot(spanX, spanY) * 1e-4 * scale, m_valueText, kValueTextCapacity,
                    static_cast<std::int16_t>(m_decimals), static_cast<std::int16_t>(m_units));

  m_textHeight = 0;
  m_textWidth = 0;
  if (mapping != nullptr) {
    const CBorrowedMeasuringContext borrowed;
    if (zeph::CDrawContext* dc = borrowed.Get()) {
      const std::int16_t measuring =
          RaiseMeasuringHeight(RoundToShort(GetMeasuringHeight(m_font.GetSize(), *mapping)));
      const CMeasuringFont font(*dc, m_font, measuring, 0);
      const double f = GetMeasuringFactor(*mapping);
      m_textHeight = TruncateToInt(GetLineHeight(*dc) * f * mapping->GetScaleY());
      m_textWidth =
          TruncateToInt(::GetTextWidth(*dc, m_valueText, -1, 1) * f * mapping->GetScaleX());
    }
  }
  const std::int64_t h = m_textHeight;
  const std::int64_t w = m_textWidth;

  const double a = MeasuredAngle();
  const double c = std::cos(a);
  const double s = std::sin(a);
  const std::int64_t h5 = h / 5;
  const std::int64_t h3 = h / 3;
  const std::int64_t h2 = h / 2;
  const double widthWithMargins = static_cast<double>(w + 2 * h3);
  const double heightWithMargins = static_cast<double>(h + 2 * h5);
  const double offset = m_offset;

  std::int64_t dx = 0;
  std::int64_t dy = 0;
  if (m_textAngleMode != kTextAngleHorizontal) {
    const double along = static_cast<double>((-w) / 2);
    std::uint8_t position = m_textPosition;
    // Beyond a negative offset the sides swap: Outside stays away from the measured points.
    if (m_offset < 0 && position == kTextOutside) {
      position = kTextInside;
    } else if (m_offset < 0 && position == kTextInside) {
      position = kTextOutside;
    }
    double across = 0.0;
    if (position == kTextOutside) {
      across = offset + static_cast<double>(h + h5);
    } else if (position == kTextInside) {
      across = offset - static_cast<double>(h5);
    } else {
      across = offset + static_cast<double>(h2);
      m_textGap = RoundToInt(widthWithMargins);
    }
    dx = RoundToInt(along * c - across * s);
    dy = RoundToInt(along * s + across * c);
  } else {
    dx = RoundToInt(-s * offset);
    dy = RoundToInt(offset * c);
    const double absSpanY = std::fabs(spanY);
    const bool steep = (spanX - static_cast<double>(w)) <= (absSpanY - static_cast<double>(h));
    // How far the text must keep from the middle of the line to clear it beside it (ga) or
    // above and below it (gb). A line that is exactly horizontal or vertical would need an
    // endless clearance; there the line's own half length is what the text has to clear.
    const double t = std::fabs(std::tan(a));
    const std::int64_t ga =
        spanY == 0.0 ? static_cast<std::int64_t>(spanX / 2) : RoundToInt(h / t / 2);
    const std::int64_t gb =
        spanX == 0.0 ? static_cast<std::int64_t>(absSpanY / 2) : RoundToInt(w * t / 2);

    int layoutCase = 0;
    const bool positive = m_offset > 0;
    if (m_textPosition == kTextOutside) {
      if (a < -kQuarterPi) {
        layoutCase = positive ? 4 : 3;
      } else if (a < kQuarterPi) {
        layoutCase = positive ? 1 : 2;
      } else {
        layoutCase = positive ? 3 : 4;
      }
    } else if (m_textPosition == kTextInside) {
      if (a < -kQuarterPi) {
        layoutCase = positive ? 3 : 4;
      } else if (a < kQuarterPi) {
        layoutCase = positive ? 2 : 1;
      } else {
        layoutCase = positive ? 4 : 3;
      }
    }
    // The anchor is the text's top-left corner: text over the line has its top a whole line
    // height higher than its bottom, which clears the line by gb and a fifth of H; text
    // under the line has its top clear of it by as much.
    const std::int64_t left = w + ga + h3;   // moves the text's right edge left of the line
    const std::int64_t right = ga + h3;      // moves its left edge right of the line
    const std::int64_t above = gb + h + h5;  // raises it over the line
    const std::int64_t below = gb + h5;      // lowers it under the line
    switch (layoutCase) {
      case 1:
        if (steep) {
          dx += a > 0 ? -left : right;
          dy += h2;
        } else {
          dx -= w / 2;
          dy += above;
        }
        break;
      case 2:
        if (steep) {
          dx += a > 0 ? right : -left;
          dy += h2;
        } else {
          dx -= w / 2;
          dy -= below;
        }
        break;
      case 3:
        if (steep) {
          dx -= left;
          dy += h2;
        } else {
          dx -= w / 2;
          dy += a > 0 ? above : -below;
        }
        break;
      case 4:
        if (steep) {
          dx += right;
          dy += h2;
        } else {
          dx -= w / 2;
          dy += a > 0 ? -below : above;
        }
        break;
      default: {
        dx -= w / 2;
        dy += h2;
        const double phi = std::fabs(a);
        const double beta = std::atan2(heightWithMargins, widthWithMargins);
        m_textGap = beta >= phi ? RoundToInt(widthWithMargins / std::fabs(c))
                                : RoundToInt(heightWithMargins / std::fabs(s));
        break;
      }
    }
  }
  const std::int64_t midX = (static_cast<std::int64_t>(m_first[0]) + m_second[0]) / 2;
  const std::int64_t midY = (static_cast<std::int64_t>(m_first[1]) + m_second[1]) / 2;
  m_anchor[0] = Add(midX, dx);
  m_anchor[1] = Add(midY, dy);
}

void CDimensionItem::GetFirstPoint(int& x, int& y) const {
  x = m_first[0];
  y = m_first[1];
}

void CDimensionItem::GetSecondPoint(int& x, int& y) const {
  x = m_second[0];
  y = m_second[1];
}

void CDimensionItem::GetExtensionExtras(int extras[4]) const {
  std::copy(std::begin(m_extras), std::end(m_extras), extras);
}

void CDimensionItem::GetTextAnchor(int& x, int& y) const {
  x = m_anchor[0];
  y = m_anchor[1];
}

void CDimensionItem::GetDimensionLine(int& x1, int& y1, int& x2, int& y2) const {
  const double a = MeasuredAngle();
  const std::int64_t moveX = -static_cast<std::int64_t>(RoundToInt(m_offset * std::sin(a)));
  const std::int64_t moveY = RoundToInt(m_offset * std::cos(a));
  x1 = Add(m_first[0], moveX);
  y1 = Add(m_first[1], moveY);
  x2 = Add(m_second[0], moveX);
  y2 = Add(m_second[1], moveY);
}

namespace {

// The pieces of a dimension whose points have been normalised.
Pieces ComputePieces(const CDimensionItem& item, double a, const int extras[4]) {
  Pieces pieces;
  item.GetDimensionLine(pieces.p1.x, pieces.p1.y, pieces.p2.x, pieces.p2.y);
  const double c = std::cos(a);
  const double s = std::sin(a);
  const Point ends[2] = {pieces.p1, pieces.p2};

  std::int64_t g = std::llabs(static_cast<std::int64_t>(item.GetOffset())) - item.GetExtensionGap();
  std::int64_t e = item.GetExtension();
  if (item.GetOffset() < 0) {
    g = -g;
    e = -e;
  }
  const std::int64_t startX = RoundToInt(static_cast<double>(g) * s);
  const std::int64_t startY = -static_cast<std::int64_t>(RoundToInt(static_cast<double>(g) * c));
  const std::int64_t endX = -static_cast<std::int64_t>(RoundToInt(static_cast<double>(e) * s));
  const std::int64_t endY = RoundToInt(static_cast<double>(e) * c);

  const double arrow = item.GetArrowSize();
  const std::int64_t dashX = -static_cast<std::int64_t>(RoundToInt(arrow * s));
  const std::int64_t dashY = RoundToInt(arrow * c);
  const double phi = a + kQuarterPi;
  const std::int64_t ax = RoundToInt(arrow * std::cos(phi));
  const std::int64_t ay = RoundToInt(arrow * std::sin(phi));

  for (int i = 0; i < 2; ++i) {
    const Point p = ends[i];
    pieces.extensionStart[i] = Offset(p, extras[2 * i] + startX, extras[2 * i + 1] + startY);
    pieces.extensionEnd[i] = Offset(p, endX, endY);
    pieces.dash[i][0] = Offset(p, dashX, dashY);
    pieces.dash[i][1] = Offset(p, -dashX, -dashY);
    // Two strokes at 45 degrees to the line, the tip at the end, pointing outwards.
    const std::int64_t sign = i == 0 ? 1 : -1;
    pieces.arrow[i][0] = Offset(p, sign * ax, sign * ay);
    pieces.arrow[i][1] = p;
    pieces.arrow[i][2] = Offset(p, sign * ay, -sign * ax);
  }
  return pieces;
}

bool HasExtensionLines(std::uint8_t ends) {
  return ends == kLineEndsNormal || ends == kLineEndsLines;
}

bool HasArrowheads(std::uint8_t ends) { return ends == kLineEndsNormal || ends == kLineEndsArrows; }

}  // namespace

// ---- Drawing and measuring ----

void CDimensionItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                          int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const bool printing = dc->IsPrinting();
  const int printerFactors = (printing && thin == 0) ? 1 : 0;
  NormalisePoints();

  int breakLength = 0;
  const bool rubberBand = colourMode == kDrawXor;
  const zeph::RasterOp previousOp =
      rubberBand ? dc->SetRasterOp(zeph::RasterOp::kXor) : dc->GetRasterOp();
  if (!rubberBand) {
    Layout(mapping);
    DrawRotatedText(*this, dc, mapping, m_anchor[0], m_anchor[1], m_valueText, m_textAngle, m_font,
                    colourMode, thin);
    breakLength = m_textGap;
  }

  if (printing && IsColourPrinter(dc, 1) == 0) colourMode = static_cast<int>(g_colourTable[0]);
  zeph::DcPen pen;
  pen.style = zeph::PenStyle::kSolid;
  pen.width = GetDevicePenWidth(1, printerFactors);
  pen.colour = static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, GetColour()));
  const zeph::DcPen previousPen = dc->SelectPen(pen);

  const Pieces pieces = ComputePieces(*this, MeasuredAngle(), m_extras);
  CPieceDrawer drawer(*dc, *mapping, printing);

  const double lineX = static_cast<double>(pieces.p2.x) - pieces.p1.x;
  const double lineY = static_cast<double>(pieces.p2.y) - pieces.p1.y;
  const double length = Hypot(lineX, lineY);
  if (length != 0.0 && breakLength != 0) {
    // A break longer than the line makes u negative: the pieces then reach past the ends.
    const double u = (1.0 - breakLength / length) / 2.0;
    const Point a = {RoundToInt(pieces.p1.x + u * lineX), RoundToInt(pieces.p1.y + u * lineY)};
    const Point b = {RoundToInt(pieces.p1.x + (1.0 - u) * lineX),
                     RoundToInt(pieces.p1.y + (1.0 - u) * lineY)};
    drawer.Line(pieces.p1, a);
    drawer.Line(b, pieces.p2);
  } else {
    drawer.Line(pieces.p1, pieces.p2);
  }

  for (int i = 0; i < 2; ++i) {
    if (HasExtensionLines(m_lineEnds))
      drawer.Line(pieces.extensionStart[i], pieces.extensionEnd[i]);
    if (m_lineEnds == kLineEndsDashes) drawer.Line(pieces.dash[i][0], pieces.dash[i][1]);
    if (HasArrowheads(m_lineEnds)) {
      drawer.MoveTo(pieces.arrow[i][0]);
      drawer.LineTo(pieces.arrow[i][1]);
      drawer.LineTo(pieces.arrow[i][2]);
    }
  }

  dc->SelectPen(previousPen);
  if (rubberBand) dc->SetRasterOp(previousOp);
}

double CDimensionItem::GetPickDistance(const CViewMapping*) const {
  NormalisePoints();
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  GetDimensionLine(x1, y1, x2, y2);
  const double vx = static_cast<double>(x2) - x1;
  const double vy = static_cast<double>(y2) - y1;
  const double dx = static_cast<double>(g_cursorPoint.x) - x1;
  const double dy = static_cast<double>(g_cursorPoint.y) - y1;
  const double ex = static_cast<double>(g_cursorPoint.x) - x2;
  const double ey = static_cast<double>(g_cursorPoint.y) - y2;
  if (ex * vx + ey * vy > 0) return Hypot(ex, ey);
  if ((vx == 0 && vy == 0) || dx * vx + dy * vy < 0) return Hypot(dx, dy);
  return std::fabs(vx * dy - vy * dx) / Hypot(vx, vy);
}

void CDimensionItem::CalcBoundingBox(const CViewMapping* mapping) const {
  NormalisePoints();
  const double a = MeasuredAngle();
  const double c = std::cos(a);
  const double s = std::sin(a);
  Layout(mapping);
  const Point anchor = {m_anchor[0], m_anchor[1]};
  g_itemBounds = {anchor.x, anchor.y, anchor.x, anchor.y};
  const auto extend = [](Point p) { ExtendItemBounds(p.x, p.y); };

  const double h = m_textHeight;
  const double w = m_textWidth;
  if (m_textAngleMode == kTextAngleHorizontal) {
    extend(Offset(anchor, RoundToInt(w), -static_cast<std::int64_t>(RoundToInt(h))));
  } else {
    const std::int64_t downX = RoundToInt(h * s);
    const std::int64_t downY = -static_cast<std::int64_t>(RoundToInt(h * c));
    const std::int64_t alongX = RoundToInt(w * c);
    const std::int64_t alongY = RoundToInt(w * s);
    extend(Offset(anchor, downX, downY));
    extend(Offset(anchor, alongX, alongY));
    extend(Offset(anchor, downX + alongX, downY + alongY));
  }

  const Pieces pieces = ComputePieces(*this, a, m_extras);
  extend(pieces.p1);
  extend(pieces.p2);
  for (int i = 0; i < 2; ++i) {
    // The dash ends as they are drawn.
    if (m_lineEnds == kLineEndsDashes) {
      extend(pieces.dash[i][0]);
      extend(pieces.dash[i][1]);
    }
    if (HasExtensionLines(m_lineEnds)) {
      extend(pieces.extensionStart[i]);
      extend(pieces.extensionEnd[i]);
    }
    if (HasArrowheads(m_lineEnds)) {
      extend(pieces.arrow[i][0]);
      extend(pieces.arrow[i][2]);
    }
  }
}

// ---- Values bar ----

void CDimensionItem::PublishProperties() const {
  PublishFieldIds({kFieldDimensionColourFont, kFieldDimensionTypeEnds, kFieldDimensionText,
                   kFieldDimensionUnits, kFieldDimensionSizes});
  g_valueColour = GetColour();
  g_valueDimensionFont = m_font;
  g_valueDimensionType = m_type;
  g_valueLineEnds = m_lineEnds;
  g_valueTextAngleMode = m_textAngleMode;
  g_valueTextPosition = m_textPosition;
  g_valueUnits = m_units;
  g_valueDecimals = m_decimals;
  g_valueArrowSize = m_arrowSize;
  g_valueExtension = m_extension;
}

void CDimensionItem::PublishInformation() const {
  PublishFieldIds({kFieldStart, kFieldEnd});
  g_valueStartX = m_startX;
  g_valueStartY = m_startY;
  g_valueEndX = m_endX;
  g_valueEndY = m_endY;
}
