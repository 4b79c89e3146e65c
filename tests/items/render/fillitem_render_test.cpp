// A square fill with a square hole, solid and hatched, at two zoom levels,
// painted on the Qt back buffer into a PNG under the build folder, and
// measured: the hole and the outside stay untouched, the ring is painted.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <initializer_list>
#include <memory>

#include "items/boundaryloop.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/hatch.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr int kSide = 100000;  // the square, in drawing units
constexpr int kHoleLow = 40000;
constexpr int kHoleHigh = 60000;

std::unique_ptr<CBoundaryLoop> Square(int x0, int y0, int x1, int y1) {
  auto loop = std::make_unique<CBoundaryLoop>();
  for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}) {
    std::unique_ptr<CFloodEdge> edge = CreateFloodEdge(kEdgeLine);
    edge->SetStart(x, y);
    loop->Append(std::move(edge));
  }
  loop->JoinEnds();
  return loop;
}

std::unique_ptr<CFillItem> Ring(int style, zeph::ColourRef colour) {
  auto fill = std::make_unique<CFillItem>();
  fill->AttachBoundary(Square(0, 0, kSide, kSide));
  fill->AddHole(Square(kHoleLow, kHoleLow, kHoleHigh, kHoleHigh));
  fill->SetFillStyle(style);
  fill->SetColour(static_cast<int>(colour));
  return fill;
}

// The drawing's (0, kSide) at device (left, top).
CViewMapping PanelMapping(int zoomLevel, int left, int top) {
  CViewMapping mapping;
  mapping.SetZoomLevel(zoomLevel);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(zoomLevel);
  mapping.originX = -left * mapping.scaleX;
  mapping.originY = kSide + top * mapping.scaleY;
  return mapping;
}

QRgb PixelAt(const QImage& image, const CViewMapping& mapping, int x, int y) {
  return image.pixel(mapping.DrawingToDeviceX(x), mapping.DrawingToDeviceY(y));
}

struct Panel {
  int zoomLevel;
  int left;
  int top;
};

TEST(FillItemRender, RingWithHoleSolidAndHatchedAtTwoZoomLevels) {
  ResetLogState();
  QImage image(340, 440, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  const zeph::ColourRef red = zeph::MakeColour(220, 30, 30);
  const zeph::ColourRef blue = zeph::MakeColour(20, 40, 200);
  const QRgb redPixel = qRgb(220, 30, 30);
  const QRgb bluePixel = qRgb(20, 40, 200);

  auto solid = Ring(kFillSolid, red);
  auto hatched = Ring(kFillHatch, blue);
  // "Oblique squares": two families 8000 units apart at 45 and 135 degrees.
  ASSERT_EQ(hatched->SetHatch(FindHatchDefinition(6), 0.0, 1.0), 1);

  // Level 7 is 1000 units per pixel, level 8 500: the same fill twice as large.
  const Panel solidPanels[] = {{7, 10, 10}, {8, 130, 10}};
  const Panel hatchPanels[] = {{7, 10, 230}, {8, 130, 230}};
  for (const Panel& p : solidPanels) {
    const CViewMapping mapping = PanelMapping(p.zoomLevel, p.left, p.top);
    solid->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  for (const Panel& p : hatchPanels) {
    const CViewMapping mapping = PanelMapping(p.zoomLevel, p.left, p.top);
    hatched->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
  const QString path = QDir::current().absoluteFilePath(QStringLiteral("fill_ring_two_zooms.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  EXPECT_EQ(g_glitchCount, 0);

  for (const Panel& p : solidPanels) {
    const CViewMapping mapping = PanelMapping(p.zoomLevel, p.left, p.top);
    // Inside the ring: painted.
    for (auto [x, y] : {std::pair{20000, 20000},
                        {80000, 50000},
                        {50000, 90000},
                        {10000, 70000},
                        {50000, 30000},
                        {39000, 50000},
                        {61000, 50000}}) {
      EXPECT_EQ(PixelAt(image, mapping, x, y), redPixel) << p.zoomLevel << ": " << x << ',' << y;
    }
    // In the hole and outside the square: untouched.
    for (auto [x, y] : {std::pair{50000, 50000},
                        {42000, 42000},
                        {58000, 58000},
                        {-3000, 50000},
                        {50000, 103000},
                        {103000, 103000},
                        {50000, -3000}}) {
      EXPECT_EQ(PixelAt(image, mapping, x, y), kWhite) << p.zoomLevel << ": " << x << ',' << y;
    }
  }

  for (const Panel& p : hatchPanels) {
    const CViewMapping mapping = PanelMapping(p.zoomLevel, p.left, p.top);
    const int pixelsPerSide = kSide / mapping.scaleX;
    const int holeLeft = mapping.DrawingToDeviceX(kHoleLow);
    const int holeRight = mapping.DrawingToDeviceX(kHoleHigh);
    const int holeTop = mapping.DrawingToDeviceY(kHoleHigh);
    const int holeBottom = mapping.DrawingToDeviceY(kHoleLow);
    int ring = 0;
    int ringPainted = 0;
    // Every pixel of the panel and a margin around it: nothing blue outside the
    // square or strictly inside the hole, and the ring covered as densely as
    // its lines lie.
    for (int y = p.top - 5; y <= p.top + pixelsPerSide + 5; ++y) {
      for (int x = p.left - 5; x <= p.left + pixelsPerSide + 5; ++x) {
        const QRgb pixel = image.pixel(x, y);
        ASSERT_TRUE(pixel == kWhite || pixel == bluePixel) << x << ',' << y;
        const bool outside =
            x < p.left || x > p.left + pixelsPerSide || y < p.top || y > p.top + pixelsPerSide;
        const bool inHole = x > holeLeft && x < holeRight && y > holeTop && y < holeBottom;
        if (outside || inHole) {
          EXPECT_EQ(pixel, kWhite) << p.zoomLevel << ": " << x << ',' << y;
        } else if (x > p.left && x < p.left + pixelsPerSide && y > p.top &&
                   y < p.top + pixelsPerSide &&
                   !(x >= holeLeft && x <= holeRight && y >= holeTop && y <= holeBottom)) {
          ++ring;
          if (pixel == bluePixel) ++ringPainted;
        }
      }
    }
    // Two diagonal families, each one pixel per row every 8000 * sqrt(2) units
    // along it.
    const double expected = 2.0 * mapping.scaleX / (8000.0 * std::sqrt(2.0));
    const double share = static_cast<double>(ringPainted) / ring;
    EXPECT_GT(share, expected * 0.7) << p.zoomLevel;
    EXPECT_LT(share, expected * 1.4) << p.zoomLevel;
  }
}

}  // namespace
