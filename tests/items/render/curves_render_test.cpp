// Curves drawn into a real back buffer and saved as a PNG under the build folder for a person
// to look at, with the crossings the curves report marked on them: every mark must sit on the
// drawn pixels of both items, and the curves' pixels follow the curve's own points.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <memory>
#include <vector>

#include "items/bezieritem.h"
#include "items/ellipseitem.h"
#include "items/geometry.h"
#include "items/intersect.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

std::unique_ptr<CBezierItem> Curve(int sx, int sy, double c1x, double c1y, double c2x, double c2y,
                                   int ex, int ey, zeph::ColourRef colour, int pen) {
  auto curve = std::make_unique<CBezierItem>();
  curve->SetStart(sx, sy);
  curve->SetEnd(ex, ey);
  curve->SetControlPoint(0, c1x, c1y);
  curve->SetControlPoint(1, c2x, c2y);
  curve->SetColour(static_cast<int>(colour));
  curve->SetPenWidth(pen);
  return curve;
}

// A non-white pixel within reach of (x, y).
bool InkNear(const QImage& image, int x, int y, int reach) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const int px = x + dx;
      const int py = y + dy;
      if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) continue;
      if (image.pixel(px, py) != kWhite) return true;
    }
  }
  return false;
}

TEST(CurvesRender, CurvesAndTheirCrossings) {
  ResetIntersectionState();
  QImage image(800, 520, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = 250;  // drawing units per pixel
  mapping.originX = -10000;
  mapping.originY = 115000;

  const zeph::ColourRef black = zeph::MakeColour(0, 0, 0);
  const zeph::ColourRef blue = zeph::MakeColour(0, 0, 200);
  const zeph::ColourRef green = zeph::MakeColour(0, 140, 0);
  std::vector<std::unique_ptr<CBezierItem>> curves;
  curves.push_back(Curve(0, 0, 0, 60000, 100000, 60000, 100000, 0, black, 1));  // arch
  curves.push_back(Curve(-5000, 20000, 40000, -60000, 60000, 100000, 110000, 10000, blue, 2));
  curves.push_back(Curve(0, 100000, 60000, 100000, 40000, 0, 100000, 0, green, 1));  // falling S
  // An S drawn from right to left with a thick pen.
  curves.push_back(Curve(185000, 5000, 185000, 90000, 120000, 10000, 120000, 95000, black, 3));
  for (const auto& curve : curves) {
    EXPECT_EQ(curve->IsValid(), 1);
    curve->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }

  CEllipseItem ellipse;
  ellipse.SetCentre(150000, 40000);
  ellipse.SetSemiAxes(30000, 15000);
  ellipse.SetRotation(0.5);
  ellipse.SetColour(static_cast<int>(zeph::MakeColour(150, 0, 150)));
  ellipse.SetPenWidth(1);
  ellipse.Draw(&dc, &mapping, kDrawOwnColour, 0);

  // Every curve's own points lie on its drawn pixels.
  for (const auto& curve : curves) {
    for (int i = 0; i <= 40; ++i) {
      const double t = i / 40.0;
      const int x = mapping.DrawingToDeviceXReal(curve->GetXAt(t));
      const int y = mapping.DrawingToDeviceYReal(curve->GetYAt(t));
      EXPECT_TRUE(InkNear(image, x, y, 1)) << t;
    }
  }
  // Inside the arch, away from everything, nothing is drawn.
  EXPECT_EQ(image.pixel(mapping.DrawingToDeviceX(50000), mapping.DrawingToDeviceY(30000)), kWhite);

  // The crossings of every pair, marked with a small red ring: each lies on both items.
  struct Mark {
    int x;
    int y;
  };
  std::vector<Mark> marks;
  std::vector<CDrawItem*> items;
  for (const auto& curve : curves) items.push_back(curve.get());
  items.push_back(&ellipse);
  for (std::size_t a = 0; a < curves.size(); ++a) {
    for (std::size_t b = a + 1; b < items.size(); ++b) {
      const int count = curves[a]->IntersectWith(items[b]);
      for (int i = 0; i < count; ++i) {
        marks.push_back(
            {mapping.DrawingToDeviceX(g_intersectX[i]), mapping.DrawingToDeviceY(g_intersectY[i])});
      }
    }
  }
  EXPECT_EQ(marks.size(), 7u);  // five on the left, two where the S meets the ellipse
  for (const Mark& m : marks) EXPECT_TRUE(InkNear(image, m.x, m.y, 1)) << m.x << " " << m.y;
  dc.SelectPen({zeph::PenStyle::kSolid, 1, zeph::MakeColour(230, 0, 0)});
  dc.SelectBrush({zeph::BrushStyle::kNull, 0});
  for (const Mark& m : marks) dc.Ellipse(m.x - 4, m.y - 4, m.x + 5, m.y + 5);

  // Rubber banding: a curve drawn twice in XOR leaves the picture as it was.
  const QImage before = image.copy();
  auto band = Curve(-5000, 100000, 50000, -20000, 90000, 120000, 170000, 60000, blue, 1);
  band->Draw(&dc, &mapping, kDrawXor, 0);
  EXPECT_NE(image, before);
  band->Draw(&dc, &mapping, kDrawXor, 0);
  EXPECT_EQ(image, before);

  const QString path = QDir::current().absoluteFilePath(QStringLiteral("curves_and_crossings.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  ResetIntersectionState();
}

}  // namespace
