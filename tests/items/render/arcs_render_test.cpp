// Arcs and circles, plain, turned and mirrored, at two zoom levels, with a huge circle and arc
// seen at the finest zoom, drawn into a PNG under the build folder for a person to look at,
// and measured: ink lies on the curves and at the arcs' end pixels, arcs leave their gaps
// empty, a zoom level twice as fine draws twice as long an outline, and feedback drawn twice
// leaves nothing behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <memory>

#include "items/arcitem.h"
#include "items/render/render_support.h"
#include "items/transform.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

// One shape of the sheet: a circle, or the arc from one angle counter-clockwise to another,
// then turned (degrees) about its centre, or mirrored in the vertical line through it.
struct Shape {
  const char* name;
  int cx, cy;  // drawing units (micrometres)
  int radius;
  bool arc;
  double from, to;  // degrees
  double turn;      // degrees
  bool mirror;
  int penWidth;
  zeph::ColourRef colour;
};

// 3 x 2 cells of 55 mm; y runs upwards, so the rows go down from y = 0.
const Shape kShapes[] = {
    {"circle", 27500, -27500, 24000, false, 0, 0, 0, false, 1, zeph::MakeColour(0, 0, 0)},
    {"thick circle", 82500, -27500, 15000, false, 0, 0, 0, false, 3, zeph::MakeColour(200, 0, 0)},
    {"quarter arc", 137500, -27500, 24000, true, 0, 90, 0, false, 1, zeph::MakeColour(0, 130, 0)},
    {"arc through 0", 27500, -82500, 24000, true, 300, 60, 0, false, 2,
     zeph::MakeColour(0, 0, 200)},
    {"turned arc", 82500, -82500, 24000, true, 20, 200, 37, false, 1,
     zeph::MakeColour(150, 0, 150)},
    {"mirrored arc", 137500, -82500, 24000, true, 30, 160, 0, true, 2,
     zeph::MakeColour(0, 130, 130)},
};

double Radians(double degrees) { return degrees * kPi / 180.0; }

// The angles the drawn shape covers, after turning or mirroring.
void CoveredAngles(const Shape& s, double& from, double& to) {
  from = s.from + s.turn;
  to = s.to + s.turn;
  if (s.mirror) {  // mirrored in a vertical line, and reversed to run counter-clockwise again
    from = 180.0 - s.to;
    to = 180.0 - s.from;
  }
}

std::unique_ptr<CDrawItem> MakeShape(const Shape& s) {
  if (!s.arc) {
    auto circle = std::make_unique<CCircleItem>();
    circle->SetCentre(s.cx, s.cy);
    circle->SetRadius(s.radius);
    circle->SetPenWidth(s.penWidth);
    circle->SetColour(static_cast<int>(s.colour));
    return circle;
  }
  auto arc = std::make_unique<CArcItem>();
  arc->SetStart(s.cx + RoundToInt(s.radius * std::cos(Radians(s.from))),
                s.cy + RoundToInt(s.radius * std::sin(Radians(s.from))));
  arc->SetEnd(s.cx + RoundToInt(s.radius * std::cos(Radians(s.to))),
              s.cy + RoundToInt(s.radius * std::sin(Radians(s.to))));
  arc->SetAngleFromCentre(s.cx, s.cy);
  arc->Recalculate();
  arc->SetPenWidth(s.penWidth);
  arc->SetColour(static_cast<int>(s.colour));
  CTransform transform;
  if (s.turn != 0.0) {
    transform.SetRotation(s.turn, s.cx, s.cy);
    arc->Transform(transform);
  }
  if (s.mirror) {
    transform.SetReflection(1, s.cx);
    arc->Transform(transform);
  }
  return arc;
}

// The device pixel of the shape's circle at an angle (degrees).
QPoint DevicePoint(const CViewMapping& mapping, const Shape& s, double degrees) {
  return {mapping.DrawingToDeviceXReal(s.cx + s.radius * std::cos(Radians(degrees))),
          mapping.DrawingToDeviceYReal(s.cy + s.radius * std::sin(Radians(degrees)))};
}

TEST(ArcRender, ArcsAndCirclesAtTwoZoomLevels) {
  ResetLogState();
  QImage image(790, 250, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  // Level 7 is 1000 units per pixel, level 8 500: the same sheet twice as large.
  const Panel panels[] = {{7, 10, 10}, {8, 240, 10}};
  for (const Panel& panel : panels) {
    const CViewMapping mapping = MappingOf(panel);
    for (const Shape& s : kShapes) MakeShape(s)->Draw(&dc, &mapping, kDrawOwnColour, 0);
    // Rubber-band feedback drawn twice leaves nothing behind, thick pens included.
    for (const Shape& feedback :
         {Shape{"feedback arc", 82500, -55000, 40000, true, 200, 340, 0, false, 3, 0},
          Shape{"feedback circle", 82500, -55000, 45000, false, 0, 0, 0, false, 2, 0}}) {
      const auto item = MakeShape(feedback);
      item->Draw(&dc, &mapping, kDrawXor, 0);
      item->Draw(&dc, &mapping, kDrawXor, 0);
    }
  }

  // Level 13 (10 units a pixel): a circle and an arc of 5 m radius crossing a 200-pixel
  // panel, only a sliver of them in sight.
  const QRect far(580, 20, 200, 200);
  dc.SetClipRect({far.left(), far.top(), far.right() + 1, far.bottom() + 1});
  const CViewMapping fine13 = MappingOf({13, far.left(), far.top()});
  const int bigRadius = 5000000;
  auto big = std::make_unique<CCircleItem>();
  big->SetCentre(500 - bigRadius, -1000);  // its right side 50 pixels into the panel
  big->SetRadius(bigRadius);
  big->SetPenWidth(1);
  big->Draw(&dc, &fine13, kDrawOwnColour, 0);
  auto bigArc = std::make_unique<CArcItem>();
  bigArc->SetStart(1500 + bigRadius, bigRadius - 1000);  // 90 degrees round to 270: the
  bigArc->SetEnd(1500 + bigRadius, -bigRadius - 1000);   // left half
  bigArc->SetAngleFromCentre(1500 + bigRadius, -1000);
  bigArc->Recalculate();
  bigArc->SetPenWidth(2);
  bigArc->SetColour(static_cast<int>(zeph::MakeColour(200, 0, 0)));
  bigArc->Draw(&dc, &fine13, kDrawOwnColour, 0);  // its left side, 150 pixels in
  dc.ResetClip();

  const QString path = QDir::current().absoluteFilePath(QStringLiteral("arcs_two_zooms.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();

  for (const Panel& panel : panels) {
    const CViewMapping mapping = MappingOf(panel);
    for (const Shape& s : kShapes) {
      double from = 0.0;
      double to = 360.0;
      if (s.arc) CoveredAngles(s, from, to);
      const double span = s.arc ? std::fmod(to - from + 360.0, 360.0) : 360.0;
      // Ink all along the drawn piece, none at the centre; arcs leave their gap empty.
      for (int i = 0; i <= 24; ++i) {
        EXPECT_TRUE(InkNear(image, DevicePoint(mapping, s, from + span * i / 24), 1))
            << s.name << " level " << panel.zoomLevel << " step " << i;
      }
      if (s.arc) {
        EXPECT_FALSE(InkNear(image, DevicePoint(mapping, s, to + (360.0 - span) / 2), 2))
            << s.name << " level " << panel.zoomLevel;
        // Ink at the end pixels (an end off the rasterised curve: next to it).
        const auto item = MakeShape(s);
        int x = 0, y = 0;
        for (int end = 0; end < 2; ++end) {
          end == 0 ? item->GetStart(x, y) : item->GetEnd(x, y);
          const QPoint p(mapping.DrawingToDeviceX(x), mapping.DrawingToDeviceY(y));
          EXPECT_TRUE(InkNear(image, p, 1)) << s.name << " end " << end << " " << panel.zoomLevel;
        }
      }
      const QPoint centre(mapping.DrawingToDeviceX(s.cx), mapping.DrawingToDeviceY(s.cy));
      EXPECT_FALSE(InkNear(image, centre, 3)) << s.name << " level " << panel.zoomLevel;
    }
  }
  // The outline is twice as long at the finer level (thin pens only).
  const CViewMapping coarse = MappingOf(panels[0]);
  const CViewMapping fine = MappingOf(panels[1]);
  for (const Shape& s : {kShapes[0], kShapes[2], kShapes[4]}) {
    const int r7 = 26;  // 24 mm at 1000 units per pixel, and a little
    const QRect box7(coarse.DrawingToDeviceX(s.cx) - r7, coarse.DrawingToDeviceY(s.cy) - r7,
                     2 * r7 + 1, 2 * r7 + 1);
    const QRect box8(fine.DrawingToDeviceX(s.cx) - 2 * r7, fine.DrawingToDeviceY(s.cy) - 2 * r7,
                     4 * r7 + 1, 4 * r7 + 1);
    const double ratio = static_cast<double>(InkIn(image, box8)) / InkIn(image, box7);
    EXPECT_GT(ratio, 1.7) << s.name;
    EXPECT_LT(ratio, 2.3) << s.name;
  }
  // The feedback shapes crossed nothing else: their bands are white again.
  for (const CViewMapping& mapping : {coarse, fine}) {
    const QPoint circleLeft(mapping.DrawingToDeviceX(37500), mapping.DrawingToDeviceY(-55000));
    const QPoint arcBottom(mapping.DrawingToDeviceX(82500), mapping.DrawingToDeviceY(-95000));
    EXPECT_FALSE(InkNear(image, circleLeft, 2));
    EXPECT_FALSE(InkNear(image, arcBottom, 2));
  }
  // The huge shapes: one column of ink each (two for the pen of 2), top to bottom of the
  // panel, nothing else.
  EXPECT_EQ(InkIn(image, QRect(far.left() + 50, far.top(), 1, far.height())), far.height());
  EXPECT_EQ(InkIn(image, QRect(far.left() + 149, far.top(), 2, far.height())), 2 * far.height());
  EXPECT_EQ(InkIn(image, far), 3 * far.height());
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
