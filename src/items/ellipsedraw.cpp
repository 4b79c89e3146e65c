// How the two ellipse kinds transform themselves and draw themselves on screens, printers and
// plotters. An ellipse whose axes lie along the device's axes is drawn by the context's own
// ellipse and arc; a rotated one by the pixel rasteriser, or on a plotter as eight circular
// arcs.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "items/arcraster.h"
#include "items/ellipsegeom.h"
#include "items/ellipseitem.h"
#include "items/geometry.h"
#include "items/transform.h"
#include "items/viewmapping.h"
#include "platform/drawcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"

namespace {

constexpr int kLogEllipseArcDraw = 1825;
constexpr int kLogDrawAsArcs = 1803;

// The rotation the new geometry gets from a transformation (a and b unchanged here).
// Returns false when the transformation leaves the rotation alone.
bool TurnedRotation(const CTransform& transform, double a, double b, double& rotation) {
  switch (transform.GetKind()) {
    case kTransformReflection:
      if (a == b || rotation == 0.0) return false;
      rotation = NormaliseAngle(transform.GetDirectionFlag() != 0 ? -rotation : kPi - rotation, 1);
      return true;
    case kTransformRotation:
      if (a == b) return false;
      rotation = NormaliseAngle(rotation + transform.GetParameter(), 1);
      return true;
    default:
      return false;
  }
}

// A stretch's axis: along x when the transformation's direction flag is set.
int StretchAlongY(const CTransform& transform) { return transform.GetDirectionFlag() != 0 ? 0 : 1; }

int Offset(int v, int d) { return ClampInt64ToInt(static_cast<std::int64_t>(v) + d); }

// What every draw of the two kinds sets up and puts back.
class DrawSetup {
 public:
  DrawSetup(zeph::CDrawContext& dc, int colourMode, int itemColour, int penWidth, int thin)
      : m_dc(dc) {
    m_printing = dc.IsPrinting();
    m_printerFactors = (m_printing && thin == 0) ? 1 : 0;
    // A printer without colour prints every item in black, highlighted or not.
    if (m_printing && IsColourPrinter(&dc, 1) == 0) {
      colourMode = static_cast<int>(g_colourTable[0]);
    }
    m_colour = static_cast<zeph::ColourRef>(ResolveDrawColour(colourMode, itemColour));
    m_xor = colourMode == kDrawXor;
    if (m_xor) m_oldOp = dc.SetRasterOp(zeph::RasterOp::kXor);
    zeph::DcPen pen;
    pen.style = zeph::PenStyle::kSolid;
    pen.width = GetDevicePenWidth(penWidth, m_printerFactors);
    pen.colour = m_colour;
    m_oldPen = dc.SelectPen(pen);
    zeph::DcBrush brush;
    brush.style = zeph::BrushStyle::kNull;
    m_oldBrush = dc.SelectBrush(brush);
    m_arcPenWidth = GetDeviceArcPenWidth(penWidth, m_printerFactors);
  }
  DrawSetup(const DrawSetup&) = delete;
  DrawSetup& operator=(const DrawSetup&) = delete;
  ~DrawSetup() {
    m_dc.SelectBrush(m_oldBrush);
    m_dc.SelectPen(m_oldPen);
    if (m_xor) m_dc.SetRasterOp(m_oldOp);
  }

  bool printing() const { return m_printing; }
  const zeph::CDrawContext* printer() const { return m_printing ? &m_dc : nullptr; }
  bool printerFactors() const { return m_printerFactors != 0; }
  zeph::ColourRef colour() const { return m_colour; }
  int arcPenWidth() const { return m_arcPenWidth; }

 private:
  zeph::CDrawContext& m_dc;
  bool m_printing = false;
  int m_printerFactors = 0;
  zeph::ColourRef m_colour = 0;
  bool m_xor = false;
  zeph::RasterOp m_oldOp = zeph::RasterOp::kCopy;
  zeph::DcPen m_oldPen;
  zeph::DcBrush m_oldBrush;
  int m_arcPenWidth = 1;
};

// How a rotated ellipse comes out on the device: its half-axis vectors in device pixels, after
// non-square pixels have been allowed for (the ellipse stretched along y by sx / sy, so that
// one scale serves both axes). The y components are turned for the device.
struct DeviceAxes {
  int ux = 0;
  int uy = 0;
  int vx = 0;
  int vy = 0;
};

DeviceAxes AxesOnDevice(double a, double b, double rotation, double sx, double sy) {
  if (sx != sy && sy != 0.0) StretchEllipse(a, b, rotation, sx / sy, 1);
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  DeviceAxes axes;
  axes.ux = RoundToInt(a * c / sx);
  axes.uy = -RoundToInt(a * s / sx);
  axes.vx = RoundToInt(b * s / sx);
  axes.vy = RoundToInt(b * c / sx);
  return axes;
}

// Whether the rotation puts the axes along the device's: the context's own ellipse serves.
// swapped: the a axis is upright.
bool IsAxisAligned(double rotation, bool& swapped) {
  swapped = IsNearlyZero(rotation - g_halfPi) != 0;
  return swapped || IsNearlyZero(rotation) != 0 || IsNearlyZero(rotation - kPi) != 0;
}

// A rotated ellipse too small or too upright for its device axes to show a slant: the device
// half extents, from whichever half-axis came out upright.
void DeviceHalfExtents(const DeviceAxes& axes, int& w, int& h) {
  if (axes.ux == 0) {
    w = std::abs(axes.vx);
    h = std::abs(axes.uy);
  } else {
    w = std::abs(axes.ux);
    h = std::abs(axes.vy);
  }
}

bool MeetsClipBox(const zeph::CDrawContext& dc, int left, int top, int right, int bottom) {
  const zeph::DcRect clip = dc.GetClipBox();
  return left < clip.right && right > clip.left && top < clip.bottom && bottom > clip.top;
}

}  // namespace

// ---- Transform ----

void CEllipseItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_centreX, m_centreY);
  const double factor = transform.GetParameter();
  if (transform.GetKind() == kTransformEnlargement) {
    // A negative factor turns the ellipse a half turn about the centre, which leaves its
    // shape alone: the semi-axes scale by the magnitude.
    m_semiA = RoundToInt(std::fabs(m_semiA * factor));
    m_semiB = RoundToInt(std::fabs(m_semiB * factor));
  } else if (transform.GetKind() == kTransformStretch) {
    double a = m_semiA;
    double b = m_semiB;
    double rotation = m_rotation;
    StretchEllipse(a, b, rotation, factor, StretchAlongY(transform));
    m_semiA = RoundToInt(a);
    m_semiB = RoundToInt(b);
    m_rotation = rotation;
  } else {
    TurnedRotation(transform, m_semiA, m_semiB, m_rotation);
  }
  GeometryChanged();
}

void CEllipseArcItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_startX, m_startY);
  transform.TransformPoint(m_endX, m_endY);
  transform.TransformPointExact(m_centreX, m_centreY);
  const int kind = transform.GetKind();
  const double factor = transform.GetParameter();
  // A mirror turns counter-clockwise into clockwise: the ends change places to keep the arc.
  if (kind == kTransformReflection || (kind == kTransformStretch && factor < 0.0)) Reverse();
  if (kind == kTransformEnlargement) {
    m_radiusA = std::fabs(m_radiusA * factor);
    m_radiusB = std::fabs(m_radiusB * factor);
  } else if (kind == kTransformStretch) {
    StretchEllipse(m_radiusA, m_radiusB, m_rotation, factor, StretchAlongY(transform));
  } else {
    TurnedRotation(transform, m_radiusA, m_radiusB, m_rotation);
  }
  GeometryChanged();
}

// ---- Drawing ----

void CEllipseItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                        int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const DrawSetup setup(*dc, colourMode, GetColour(), m_penWidth, thin);
  const zeph::CDrawContext* printer = setup.printer();
  // Any stored rotation, including a turn past a half turn, comes to [0, pi) first, so an
  // upright ellipse is always seen as one and its axes are never swapped.
  const double rotation = NormaliseAngle(m_rotation, 1);
  bool swapped = false;
  if (!IsAxisAligned(rotation, swapped)) {
    const double sx = mapping->GetScaleX(printer);
    const double sy = mapping->GetScaleY(printer);
    const DeviceAxes axes = AxesOnDevice(m_semiA, m_semiB, rotation, sx, sy);
    const int cx = mapping->DrawingToDeviceX(m_centreX, printer);
    const int cy = mapping->DrawingToDeviceY(m_centreY, printer);
    if (axes.ux != 0 && axes.vx != 0) {
      if (setup.printing() && thin == 0 && dc->GetDeviceCaps().plotter) {
        DrawAsArcs(dc, mapping, thin);
        return;
      }
      CEllipsePlotter plotter;
      plotter.SetPenWidth(setup.arcPenWidth());
      plotter.Draw(*dc, cx, cy, axes.ux, axes.uy, axes.vx, axes.vy, setup.colour());
      return;
    }
    int w = 0;
    int h = 0;
    DeviceHalfExtents(axes, w, h);
    const int left = Offset(cx, -w);
    const int top = Offset(cy, -h);
    const int right = Offset(cx, w) + 1;
    const int bottom = Offset(cy, h) + 1;
    if (MeetsClipBox(*dc, left, top, right, bottom)) dc->Ellipse(left, top, right, bottom);
    return;
  }
  int w = m_semiA;
  int h = m_semiB;
  if (swapped) std::swap(w, h);
  const int left = mapping->DrawingToDeviceX(Offset(m_centreX, -w), printer);
  const int top = mapping->DrawingToDeviceY(Offset(m_centreY, h), printer);
  const int right = mapping->DrawingToDeviceX(Offset(m_centreX, w), printer) + 1;
  const int bottom = mapping->DrawingToDeviceY(Offset(m_centreY, -h), printer) + 1;
  if (MeetsClipBox(*dc, left, top, right, bottom)) dc->Ellipse(left, top, right, bottom);
}

void CEllipseItem::DrawAsArcs(zeph::CDrawContext* dc, const CViewMapping* mapping,
                              int /*thin: the caller has chosen the pen*/) const {
  if (dc == nullptr || mapping == nullptr) return;
  const LogScope trace(kLogDrawAsArcs);
  const zeph::CDrawContext* printer = dc->IsPrinting() ? dc : nullptr;
  const double sx = mapping->GetScaleX(printer);
  const double sy = mapping->GetScaleY(printer);
  const double rotation = NormaliseAngle(m_rotation, 1);
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  trace.Step(5);
  const std::array<OutlineArc, 8> arcs = MakeEllipseOutlineArcs(m_semiA, m_semiB);
  trace.Step(10);
  // Turned by the rotation and scaled to device pixels about the centre (device y down).
  const auto deviceX = [c, s, sx](double x, double y) { return RoundToInt((x * c - y * s) / sx); };
  const auto deviceY = [c, s, sy](double x, double y) { return RoundToInt(-(x * s + y * c) / sy); };
  trace.Step(15);
  const zeph::DcPoint oldOrigin =
      dc->OffsetWindowOrigin(-mapping->DrawingToDeviceX(m_centreX, printer),
                             -mapping->DrawingToDeviceY(m_centreY, printer));
  for (const OutlineArc& arc : arcs) {
    const int cx = deviceX(arc.cx, arc.cy);
    const int cy = deviceY(arc.cx, arc.cy);
    const int rx = RoundToInt(arc.radius / sx);
    const int ry = RoundToInt(arc.radius / sy);
    dc->Arc(cx - rx, cy - ry, cx + rx, cy + ry, deviceX(arc.startX, arc.startY),
            deviceY(arc.startX, arc.startY), deviceX(arc.endX, arc.endY),
            deviceY(arc.endX, arc.endY));
  }
  dc->SetWindowOrigin(oldOrigin);
  trace.Step(20);
  trace.Exit();
}

void CEllipseArcItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                           int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  const DrawSetup setup(*dc, colourMode, GetColour(), m_penWidth, thin);
  const zeph::CDrawContext* printer = setup.printer();
  const int startX = mapping->DrawingToDeviceX(m_startX, printer);
  const int startY = mapping->DrawingToDeviceY(m_startY, printer);
  const int endX = mapping->DrawingToDeviceX(m_endX, printer);
  const int endY = mapping->DrawingToDeviceY(m_endY, printer);
  const double rotation = NormaliseAngle(m_rotation, 1);
  bool swapped = false;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  if (!IsAxisAligned(rotation, swapped)) {
    const double sx = mapping->GetScaleX(printer);
    const double sy = mapping->GetScaleY(printer);
    const DeviceAxes axes = AxesOnDevice(m_radiusA, m_radiusB, rotation, sx, sy);
    const int cx = mapping->DrawingToDeviceXReal(m_centreX, printer);
    const int cy = mapping->DrawingToDeviceYReal(m_centreY, printer);
    if (axes.ux != 0 && axes.vx != 0) {
      CEllipsePlotter plotter;
      plotter.SetPenWidth(setup.arcPenWidth());
      plotter.SetArcEnds(Offset(startX, -cx), Offset(startY, -cy), Offset(endX, -cx),
                         Offset(endY, -cy));
      plotter.Draw(*dc, cx, cy, axes.ux, axes.uy, axes.vx, axes.vy, setup.colour());
      return;
    }
    int w = 0;
    int h = 0;
    DeviceHalfExtents(axes, w, h);
    left = Offset(cx, -w);
    top = Offset(cy, -h);
    right = Offset(cx, w) + 1;
    bottom = Offset(cy, h) + 1;
  } else {
    double w = m_radiusA;
    double h = m_radiusB;
    if (swapped) std::swap(w, h);
    left = mapping->DrawingToDeviceXReal(m_centreX - w, printer);
    top = mapping->DrawingToDeviceYReal(m_centreY + h, printer);
    right = mapping->DrawingToDeviceXReal(m_centreX + w, printer) + 1;
    bottom = mapping->DrawingToDeviceYReal(m_centreY - h, printer) + 1;
  }
  if (!dc->Arc(left, top, right, bottom, startX, startY, endX, endY)) {
    LogAction(kLogEllipseArcDraw, 1, kLogMinorFailure);
  }
}
