// Ellipses and elliptic arcs, upright and turned, at two zoom levels, drawn into a PNG under
// the build folder for a person to look at, and measured: ink lies on the curves, arcs stop
// at their ends, a zoom level twice as fine draws twice as long an outline.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <memory>

#include "items/ellipseitem.h"
#include "items/render/render_support.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// One shape of the sheet: an ellipse, or an elliptic arc between two parametric angles.
struct Shape {
  const char* name;
  int cx, cy;  // drawing units (micrometres)
  int a, b;
  double rotation;
  bool arc;
  double from, to;
  int penWidth;
  zeph::ColourRef colour;
};

// 3 x 2 cells of 55 mm; y runs upwards, so the rows go down from y = 0.
const Shape kShapes[] = {
    {"upright", 27500, -27500, 24000, 10000, 0.0, false, 0, 0, 1, zeph::MakeColour(0, 0, 0)},
    {"turned", 82500, -27500, 24000, 10000, 0.5, false, 0, 0, 2, zeph::MakeColour(200, 0, 0)},
    {"standing", 137500, -27500, 24000, 10000, g_halfPi, false, 0, 0, 1,
     zeph::MakeColour(0, 130, 0)},
    {"steep", 27500, -82500, 24000, 10000, 2.2, false, 0, 0, 3, zeph::MakeColour(0, 0, 200)},
    {"turned arc", 82500, -82500, 24000, 10000, 0.7, true, 0.3, 4.0, 1,
     zeph::MakeColour(150, 0, 150)},
    {"upright arc through 0", 137500, -82500, 24000, 10000, 0.0, true, 5.5, 2.0, 2,
     zeph::MakeColour(0, 130, 130)},
};

std::unique_ptr<CDrawItem> MakeShape(const Shape& s) {
  if (!s.arc) {
    auto e = std::make_unique<CEllipseItem>();
    e->SetCentre(s.cx, s.cy);
    e->SetSemiAxes(s.a, s.b);
    e->SetRotation(s.rotation);
    e->SetPenWidth(s.penWidth);
    e->SetColour(static_cast<int>(s.colour));
    return e;
  }
  auto arc = std::make_unique<CEllipseArcItem>();
  arc->SetCentreExact(s.cx, s.cy);
  arc->SetRadii(s.a, s.b);
  arc->SetRotation(s.rotation);
  for (int end = 0; end < 2; ++end) {
    const double phi = end == 0 ? s.from : s.to;
    const double x = s.a * std::cos(phi), y = s.b * std::sin(phi);
    arc->SetHandle(end, RoundToInt(s.cx + x * std::cos(s.rotation) - y * std::sin(s.rotation)),
                   RoundToInt(s.cy + x * std::sin(s.rotation) + y * std::cos(s.rotation)));
  }
  arc->SetPenWidth(s.penWidth);
  arc->SetColour(static_cast<int>(s.colour));
  return arc;
}

// The device pixel of the shape's point at parametric angle phi.
QPoint DevicePoint(const CViewMapping& mapping, const Shape& s, double phi) {
  const double x = s.a * std::cos(phi), y = s.b * std::sin(phi);
  return {mapping.DrawingToDeviceXReal(s.cx + x * std::cos(s.rotation) - y * std::sin(s.rotation)),
          mapping.DrawingToDeviceYReal(s.cy + x * std::sin(s.rotation) + y * std::cos(s.rotation))};
}

TEST(EllipseRender, EllipsesAndEllipticArcsAtTwoZoomLevels) {
  ResetLogState();
  QImage image(590, 250, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  // Level 7 is 1000 units per pixel, level 8 500: the same sheet twice as large.
  const Panel panels[] = {{7, 10, 10}, {8, 240, 10}};
  for (const Panel& panel : panels) {
    const CViewMapping mapping = MappingOf(panel);
    for (const Shape& s : kShapes) MakeShape(s)->Draw(&dc, &mapping, kDrawOwnColour, 0);
    // Rubber-band feedback drawn twice leaves nothing behind.
    const auto feedback =
        MakeShape({"feedback", 82500, -55000, 50000, 20000, 0.3, false, 0, 0, 1, 0});
    feedback->Draw(&dc, &mapping, kDrawXor, 0);
    feedback->Draw(&dc, &mapping, kDrawXor, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("ellipses_two_zooms.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();

  for (const Panel& panel : panels) {
    const CViewMapping mapping = MappingOf(panel);
    for (const Shape& s : kShapes) {
      // Ink all along the drawn piece, none at the centre; arcs leave their gap empty.
      const double span = s.arc ? std::fmod(s.to - s.from + g_twoPi, g_twoPi) : g_twoPi;
      for (int i = 0; i <= 16; ++i) {
        const double phi = s.from + span * i / 16;
        EXPECT_TRUE(InkNear(image, DevicePoint(mapping, s, phi), 1))
            << s.name << " level " << panel.zoomLevel << " step " << i;
      }
      if (s.arc) {
        const double gap = s.to + (g_twoPi - span) / 2;
        EXPECT_FALSE(InkNear(image, DevicePoint(mapping, s, gap), 2))
            << s.name << " level " << panel.zoomLevel;
      }
      const QPoint centre(mapping.DrawingToDeviceX(s.cx), mapping.DrawingToDeviceY(s.cy));
      EXPECT_FALSE(InkNear(image, centre, 3)) << s.name << " level " << panel.zoomLevel;
    }
  }
  // The outline is twice as long at the finer level (thin pens only, so width does not count).
  const CViewMapping coarse = MappingOf(panels[0]);
  const CViewMapping fine = MappingOf(panels[1]);
  for (const Shape& s : {kShapes[0], kShapes[2]}) {
    const int r7 = 26;  // 24 mm at 1000 units per pixel, and a little
    const QRect box7(coarse.DrawingToDeviceX(s.cx) - r7, coarse.DrawingToDeviceY(s.cy) - r7,
                     2 * r7 + 1, 2 * r7 + 1);
    const QRect box8(fine.DrawingToDeviceX(s.cx) - 2 * r7, fine.DrawingToDeviceY(s.cy) - 2 * r7,
                     4 * r7 + 1, 4 * r7 + 1);
    const double ratio = static_cast<double>(InkIn(image, box8)) / InkIn(image, box7);
    EXPECT_GT(ratio, 1.7) << s.name;
    EXPECT_LT(ratio, 2.3) << s.name;
  }
  // The feedback ellipse crossed nothing else: its whole band is white again.
  EXPECT_EQ(
      InkIn(image, QRect(coarse.DrawingToDeviceX(60000), coarse.DrawingToDeviceY(-52000), 40, 6)),
      0);
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
