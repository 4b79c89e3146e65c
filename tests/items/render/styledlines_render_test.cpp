// Lines of every style at two zoom levels, drawn into a PNG under the build folder for a
// person to look at, and measured: the dashes keep their size in pixels at any zoom.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <vector>

#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

// Lengths of the runs of non-white pixels along row y from x0 to x1 (exclusive).
std::vector<int> RunsAlongRow(const QImage& image, int y, int x0, int x1) {
  std::vector<int> runs;
  int run = 0;
  for (int x = x0; x < x1; ++x) {
    if (image.pixel(x, y) != kWhite) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  if (run > 0) runs.push_back(run);
  return runs;
}

struct Panel {
  int zoomLevel;
  int left;  // device x of the panel's drawing origin
};

TEST(StyledLinesRender, EveryStyleAtTwoZoomLevels) {
  QImage image(670, 290, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  const zeph::ColourRef colours[] = {zeph::MakeColour(0, 0, 0),     zeph::MakeColour(200, 0, 0),
                                     zeph::MakeColour(0, 120, 0),   zeph::MakeColour(0, 0, 200),
                                     zeph::MakeColour(150, 0, 150), zeph::MakeColour(0, 130, 130)};
  // Level 7 is 1000 units per pixel, level 8 500: the same drawing is twice as large.
  const Panel panels[] = {{7, 10}, {8, 250}};
  for (const Panel& panel : panels) {
    CViewMapping mapping;
    mapping.SetZoomLevel(panel.zoomLevel);
    mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(panel.zoomLevel);
    mapping.originX = -panel.left * mapping.scaleX;
    mapping.originY = 0;
    for (int style = 1; style <= 6; ++style) {
      const int y = -(20000 + (style - 1) * 20000);  // drawing y runs upwards
      const int penWidth = style == 1 ? 3 : 1;
      dc.SelectPen({zeph::PenStyle::kSolid, penWidth, colours[style - 1]});
      // A horizontal line 200 mm long and a slanted one below it.
      DrawStyledLine(dc, mapping.DrawingToDeviceX(0), mapping.DrawingToDeviceY(y),
                     mapping.DrawingToDeviceX(200000), mapping.DrawingToDeviceY(y),
                     static_cast<std::uint8_t>(style));
      DrawStyledLine(dc, mapping.DrawingToDeviceX(0), mapping.DrawingToDeviceY(y - 6000),
                     mapping.DrawingToDeviceX(200000), mapping.DrawingToDeviceY(y - 14000),
                     static_cast<std::uint8_t>(style));
    }
  }
  const QString path =
      QDir::current().absoluteFilePath(QStringLiteral("styled_lines_two_zooms.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();

  // Rows of the horizontal lines: 20, 40, ... pixels at level 7 and 40, 80, ... at level 8.
  struct Expect {
    int style;
    int dash;    // pixels drawn per period (the last pixel of each dash left out)
    int period;  // pixels; 96 dots per inch
  };
  const Expect expects[] = {{2, 8, 16}, {4, 12, 16}, {5, 1, 8}, {6, 1, 4}};
  for (const Expect& e : expects) {
    const int row7 = 20 * e.style;
    const int row8 = 40 * e.style;
    const auto runs7 = RunsAlongRow(image, row7, 10, 210);
    const auto runs8 = RunsAlongRow(image, row8, 250, 650);
    // 200 and 400 pixels long: whole periods, then the partial one.
    EXPECT_EQ(static_cast<int>(runs7.size()), (200 + e.period - 1) / e.period) << e.style;
    EXPECT_EQ(static_cast<int>(runs8.size()), (400 + e.period - 1) / e.period) << e.style;
    for (std::size_t i = 0; i + 1 < runs7.size(); ++i) EXPECT_EQ(runs7[i], e.dash) << e.style;
    for (std::size_t i = 0; i + 1 < runs8.size(); ++i) EXPECT_EQ(runs8[i], e.dash) << e.style;
  }
  // Dot/dash: a dash of 8 and a dot of 2 in every period of 16.
  const auto dotDash = RunsAlongRow(image, 60, 10, 202);
  ASSERT_EQ(dotDash.size(), 24u);
  for (std::size_t i = 0; i < dotDash.size(); ++i) EXPECT_EQ(dotDash[i], i % 2 == 0 ? 8 : 2);
  // Unbroken, three pixels wide: one run the whole length.
  EXPECT_EQ(RunsAlongRow(image, 20, 0, 240).size(), 1u);
}

}  // namespace
