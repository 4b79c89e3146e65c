// Drawing of ellipses and elliptic arcs into the recording context: which path draws them
// (the context's own ellipse and arc, the pixel rasteriser, eight arcs on a plotter), where,
// and that every piece of state is put back.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "items/ellipseitem.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcOp;

std::unique_ptr<CEllipseItem> MakeEllipse(int cx, int cy, int a, int b, double rotation) {
  auto e = std::make_unique<CEllipseItem>();
  e->SetCentre(cx, cy);
  e->SetSemiAxes(a, b);
  e->SetRotation(rotation);
  e->SetPenWidth(1);
  e->SetColour(0x0000FF);
  return e;
}

std::unique_ptr<CEllipseArcItem> MakeArc(double cx, double cy, double a, double b, double rotation,
                                         double from, double to) {
  auto arc = std::make_unique<CEllipseArcItem>();
  arc->SetCentreExact(cx, cy);
  arc->SetRadii(a, b);
  arc->SetRotation(rotation);
  for (int end = 0; end < 2; ++end) {
    const double phi = end == 0 ? from : to;
    const double x = a * std::cos(phi), y = b * std::sin(phi);
    arc->SetHandle(end, RoundToInt(cx + x * std::cos(rotation) - y * std::sin(rotation)),
                   RoundToInt(cy + x * std::sin(rotation) + y * std::cos(rotation)));
  }
  arc->SetPenWidth(1);
  arc->SetColour(0x00FF00);
  return arc;
}

// 10 drawing units per pixel; drawing (0, 0) at device (400, 300).
CViewMapping Mapping(int scaleX = 10, int scaleY = 10) {
  CViewMapping mapping;
  mapping.scaleX = scaleX;
  mapping.scaleY = scaleY;
  mapping.originX = -400 * scaleX;
  mapping.originY = 300 * scaleY;
  return mapping;
}

std::vector<zeph::DcCall> CallsOf(const CRecordingContext& dc, DcOp op) {
  std::vector<zeph::DcCall> found;
  for (const zeph::DcCall& call : dc.calls()) {
    if (call.op == op) found.push_back(call);
  }
  return found;
}

// The distance of a drawing point from the ellipse, along the ray from its centre.
double OffCurve(double cx, double cy, double a, double b, double th, double x, double y) {
  const double d = std::hypot(x - cx, y - cy);
  const double phi = std::atan2(y - cy, x - cx) - th;
  return std::fabs(d - a * b / std::hypot(b * std::cos(phi), a * std::sin(phi)));
}

class EllipseDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetItemGlobals();
  }
  void TearDown() override { ResetLogState(); }
};

TEST_F(EllipseDrawTest, UprightEllipsesGoThroughTheContextsEllipse) {
  struct Case {
    const char* name;
    double rotation;
    zeph::DcRect box;
  };
  // Semi-axes 2000 x 1000 about (0, 0): 200 x 100 pixels about (400, 300).
  const zeph::DcRect wide{200, 200, 601, 401};
  const zeph::DcRect tall{300, 100, 501, 501};
  const Case cases[] = {
      {"unrotated", 0.0, wide},
      {"rotation within 1e-5 of 0", 1e-6, wide},
      {"a half turn", kPi, wide},
      {"upright", g_halfPi, tall},
      {"three quarter turn", 3 * g_halfPi, tall},
      {"a quarter turn back", -g_halfPi + 1e-7, tall},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    const CViewMapping mapping = Mapping();
    MakeEllipse(0, 0, 2000, 1000, c.rotation)->Draw(&dc, &mapping, kDrawOwnColour, 0);
    const auto ellipses = CallsOf(dc, DcOp::kEllipse);
    ASSERT_EQ(ellipses.size(), 1u) << c.name;
    EXPECT_EQ(ellipses[0].rect, c.box) << c.name;
    EXPECT_EQ(ellipses[0].pen.colour, 0x0000FFu) << c.name;
    EXPECT_EQ(ellipses[0].brush.style, zeph::BrushStyle::kNull) << c.name;
    EXPECT_TRUE(CallsOf(dc, DcOp::kSetPixel).empty()) << c.name;
  }
}

TEST_F(EllipseDrawTest, StateIsPutBackAndOffScreenEllipsesAreSkipped) {
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  const zeph::DcPen pen = dc.GetPen();
  const zeph::DcBrush brush = dc.GetBrush();
  MakeEllipse(0, 0, 2000, 1000, 0.0)->Draw(&dc, &mapping, kDrawXor, 0);
  const auto ellipses = CallsOf(dc, DcOp::kEllipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(ellipses[0].rasterOp, zeph::RasterOp::kXor);
  EXPECT_EQ(ellipses[0].pen.colour, 0x0000FFu ^ g_backgroundColour);
  EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy);
  EXPECT_EQ(dc.GetPen(), pen);
  EXPECT_EQ(dc.GetBrush(), brush);

  dc.Clear();
  MakeEllipse(100000, 0, 2000, 1000, 0.0)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  EXPECT_TRUE(CallsOf(dc, DcOp::kEllipse).empty());

  // A rotated one through the rasteriser, in the colour given.
  dc.Clear();
  MakeEllipse(0, 0, 2000, 1000, 0.5)->Draw(&dc, &mapping, 0x112233, 0);
  const auto pixels = CallsOf(dc, DcOp::kSetPixel);
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(pixels[0].colour, 0x112233u);
  EXPECT_EQ(dc.GetPen(), pen);
}

TEST_F(EllipseDrawTest, RotatedEllipsesArePlottedOnTheCurve) {
  struct Case {
    const char* name;
    int scaleX, scaleY;
    double rotation;
  };
  const Case cases[] = {
      {"square pixels", 10, 10, 0.5},
      {"square pixels, steep", 10, 10, 2.0},
      // Pixels twice as tall as wide: the device ellipse is the drawing's squeezed upright.
      {"tall pixels", 10, 20, 0.5},
      {"wide pixels", 20, 10, 1.2},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    const CViewMapping mapping = Mapping(c.scaleX, c.scaleY);
    MakeEllipse(0, 0, 2000, 1000, c.rotation)->Draw(&dc, &mapping, kDrawOwnColour, 0);
    const auto pixels = CallsOf(dc, DcOp::kSetPixel);
    ASSERT_GT(pixels.size(), 100u) << c.name;
    for (const zeph::DcCall& p : pixels) {
      const double x = mapping.originX + p.points[0].x * static_cast<double>(c.scaleX);
      const double y = mapping.originY - p.points[0].y * static_cast<double>(c.scaleY);
      EXPECT_LE(OffCurve(0, 0, 2000, 1000, c.rotation, x, y), 1.5 * std::max(c.scaleX, c.scaleY))
          << c.name << " at " << p.points[0].x << ", " << p.points[0].y;
    }
  }
}

TEST_F(EllipseDrawTest, PlottersGetEightArcs) {
  CRecordingContext dc;
  zeph::DeviceCaps caps = dc.GetDeviceCaps();
  caps.plotter = true;
  caps.width = 4000;
  caps.height = 3000;
  dc.SetDeviceCaps(caps);
  dc.SetPrinting(true);
  CViewMapping mapping = Mapping();
  mapping.printScaleX = mapping.printScaleY = 5.0;
  const auto e = MakeEllipse(0, 0, 2000, 1000, 0.6);
  e->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const auto arcs = CallsOf(dc, DcOp::kArc);
  ASSERT_EQ(arcs.size(), 8u);
  EXPECT_TRUE(CallsOf(dc, DcOp::kSetPixel).empty());
  // Drawn about the device centre through the window origin, which is put back.
  const int cx = mapping.DrawingToDeviceX(0, &dc);
  const int cy = mapping.DrawingToDeviceY(0, &dc);
  for (const zeph::DcCall& arc : arcs) {
    EXPECT_EQ(arc.origin, (zeph::DcPoint{-cx, -cy}));
    // Every end lies on the device ellipse (400 x 200 pixels here, turned).
    for (const zeph::DcPoint& p : arc.points) {
      EXPECT_LE(OffCurve(0, 0, 400, 200, 0.6, p.x, -p.y), 1.0) << p.x << ", " << p.y;
    }
  }
  // Each arc starts where the one before it ended.
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    const zeph::DcPoint end = arcs[i].points[1];
    const zeph::DcPoint next = arcs[(i + 1) % arcs.size()].points[0];
    EXPECT_EQ(end, next) << i;
  }
  EXPECT_EQ(dc.GetWindowOrigin(), (zeph::DcPoint{0, 0}));
  EXPECT_EQ(g_logCodes[0], 1803);

  // Thin drawing on a plotter, and elliptic arcs, use the rasteriser.
  dc.Clear();
  e->Draw(&dc, &mapping, kDrawOwnColour, 1);
  EXPECT_TRUE(CallsOf(dc, DcOp::kArc).empty());
  EXPECT_FALSE(CallsOf(dc, DcOp::kSetPixel).empty());
}

TEST_F(EllipseDrawTest, EllipticArcsDrawBetweenTheirEnds) {
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  // The upper half of 2000 x 1000: from (200 px right) to (200 px left), counter-clockwise.
  const auto upper = MakeArc(0, 0, 2000, 1000, 0.0, 0.0, kPi);
  upper->Draw(&dc, &mapping, kDrawOwnColour, 0);
  auto arcs = CallsOf(dc, DcOp::kArc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0].rect, (zeph::DcRect{200, 200, 601, 401}));
  EXPECT_EQ(arcs[0].points, (std::vector<zeph::DcPoint>{{600, 300}, {200, 300}}));

  // Upright: the box turns with it.
  dc.Clear();
  MakeArc(0, 0, 2000, 1000, g_halfPi, 0.0, kPi)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  arcs = CallsOf(dc, DcOp::kArc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0].rect, (zeph::DcRect{300, 100, 501, 501}));

  // A failing arc is logged; the state is put back all the same.
  dc.Clear();
  dc.SetFailing(DcOp::kArc, true);
  upper->Draw(&dc, &mapping, kDrawXor, 0);
  EXPECT_EQ(g_logCodes[0], 1825);
  EXPECT_EQ(g_logValues[0], 5001);
  EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy);
  dc.SetFailing(DcOp::kArc, false);

  // Rotated: only the pixels of the piece between the ends.
  dc.Clear();
  MakeArc(0, 0, 2000, 1000, 0.5, 0.0, kPi)->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const auto pixels = CallsOf(dc, DcOp::kSetPixel);
  ASSERT_FALSE(pixels.empty());
  for (const zeph::DcCall& p : pixels) {
    // Above the a axis (direction 0.5) in drawing terms: the upper half of the turned ellipse.
    const double x = p.points[0].x - 400.0, y = 300.0 - p.points[0].y;
    EXPECT_GE(-x * std::sin(0.5) + y * std::cos(0.5), -1.5) << x << ", " << y;
  }
}

TEST_F(EllipseDrawTest, MonochromePrintersPrintBlack) {
  CRecordingContext dc;
  zeph::DeviceCaps caps = dc.GetDeviceCaps();
  caps.colourBits = 1;
  caps.width = 4000;
  caps.height = 3000;
  dc.SetDeviceCaps(caps);
  dc.SetPrinting(true);
  CViewMapping mapping = Mapping();
  mapping.printScaleX = mapping.printScaleY = 5.0;
  MakeEllipse(0, 0, 2000, 1000, 0.0)->Draw(&dc, &mapping, kDrawHighlight, 0);
  const auto ellipses = CallsOf(dc, DcOp::kEllipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(ellipses[0].pen.colour, g_colourTable[0]);
  EXPECT_EQ(ellipses[0].rect, (zeph::DcRect{400, 400, 1201, 801}));
}

}  // namespace
