// The Shape tool driven with the mouse: a square placed in one click, the polygon's sides
// asked for first, a pentagon on the left of its first side, rectangles, and a whole shape
// taken back by one undo.
#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

class ShapeToolTest : public DrawToolTest {
 protected:
  // The document's lines as a closed chain from line 0, with one group number of their own.
  std::vector<DrawingPoint> Corners(int count) {
    std::vector<DrawingPoint> corners;
    EXPECT_EQ(m_doc.GetItemCount(), count);
    if (m_doc.GetItemCount() != count) return corners;
    const int group = m_doc.GetItem(0)->GetGroupNumber();
    EXPECT_NE(group, 0);
    for (int i = 0; i < count; ++i) {
      const CDrawItem* line = m_doc.GetItem(i);
      EXPECT_EQ(line->GetType(), kItemLine);
      EXPECT_EQ(line->GetGroupNumber(), group);
      EXPECT_EQ(line->GetLineStyle(), kLineStyleUnbroken);
      EXPECT_EQ(EndOf(line), StartOf(m_doc.GetItem((i + 1) % count))) << "line " << i;
      corners.push_back(StartOf(line));
    }
    return corners;
  }
};

TEST_F(ShapeToolTest, SquareWithSideAndRotationFixedInOneClick) {
  const int s = Scale();
  g_lineStyle = kLineStyleDots;  // shapes are unbroken whatever lines are drawn in
  g_sideLength = 30.0 * s;
  g_sideLengthSet = 1;
  g_polygonRotation = 0.0;
  g_polygonRotationSet = 1;
  Use(kToolShape, 0);
  Click({50, 100});
  const std::vector<DrawingPoint> corners = Corners(4);
  ASSERT_EQ(corners.size(), 4U);
  const DrawingPoint p = At({50, 100});
  const DrawingPoint expected[] = {
      p, {p.x + 30 * s, p.y}, {p.x + 30 * s, p.y + 30 * s}, {p.x, p.y + 30 * s}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(corners[static_cast<std::size_t>(i)].x, expected[i].x, 1) << i;
    EXPECT_NEAR(corners[static_cast<std::size_t>(i)].y, expected[i].y, 1) << i;
  }
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_window->GetShapeLineCount(), 0);
  ExpectCleanScreen();
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 0) << "one undo step for the whole shape";
}

TEST_F(ShapeToolTest, SquareWithOnlyItsSideFixedTurnsWithTheCursor) {
  const int s = Scale();
  g_sideLength = 20.0 * s;
  g_sideLengthSet = 1;
  Use(kToolShape, 0);
  Click({50, 100});
  Click({50 + 30, 100 - 40});  // a 3-4-5 direction, 50 pixels away
  const std::vector<DrawingPoint> corners = Corners(4);
  ASSERT_EQ(corners.size(), 4U);
  const DrawingPoint p = At({50, 100});
  EXPECT_EQ(corners[0], p);
  EXPECT_NEAR(corners[1].x - p.x, 12 * s, 1);
  EXPECT_NEAR(corners[1].y - p.y, 16 * s, 1);
  EXPECT_NEAR(corners[3].x - p.x, -16 * s, 1) << "on the left of the first side";
  EXPECT_NEAR(corners[3].y - p.y, 12 * s, 1);
}

TEST_F(ShapeToolTest, PolygonAsksForItsSidesBeforeDrawing) {
  Use(kToolShape, 2);
  const int groups = m_doc.GetGroupCounter();
  Drag({60, 100}, {100, 100});
  EXPECT_EQ(m_dialogs.sidesCalls, 1);
  EXPECT_EQ(g_polygonSidesSet, 0) << "cancelled: as it was";
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_doc.GetGroupCounter(), groups);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  m_dialogs.sidesOk = 1;
  Drag({60, 100}, {100, 100});
  EXPECT_EQ(m_dialogs.sidesCalls, 2);
  EXPECT_EQ(g_polygonSidesSet, 1);
  EXPECT_EQ(g_polygonSides, 5);
  EXPECT_EQ(m_doc.GetItemCount(), 0) << "the click only chose the sides";
  EXPECT_EQ(m_view.Calls(QStringLiteral("DrawFieldValues")).size(), 1);
  // A pentagon from a side pointing right lies above it.
  Click({60, 100});
  Click({100, 100});
  EXPECT_EQ(m_dialogs.sidesCalls, 2);
  const std::vector<DrawingPoint> corners = Corners(5);
  ASSERT_EQ(corners.size(), 5U);
  EXPECT_EQ(corners[0], At({60, 100}));
  EXPECT_EQ(corners[1], At({100, 100}));
  for (std::size_t i = 2; i < 5; ++i) EXPECT_GT(corners[i].y, corners[0].y) << i;
  // Every side as long as the first.
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(Distance(corners[i], corners[(i + 1) % 5]), Distance(corners[0], corners[1]), 2.0);
  }
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 0);
}

TEST_F(ShapeToolTest, Rectangles) {
  const int s = Scale();
  Use(kToolShape, 1);
  Click({40, 100});
  Click({100, 60});
  std::vector<DrawingPoint> corners = Corners(4);
  ASSERT_EQ(corners.size(), 4U);
  EXPECT_EQ(corners[0], At({40, 100}));
  EXPECT_EQ(corners[1], At({100, 100}));
  EXPECT_EQ(corners[2], At({100, 60}));
  EXPECT_EQ(corners[3], At({40, 60}));
  UndoOnce();
  Repaint();
  // A fixed length without snapping: a cursor level with the first corner changes nothing,
  // not even the release, and the next move finishes the rectangle.
  g_rectangleLength = 30.0 * s;
  g_rectangleLengthSet = 1;
  Click({40, 100});
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {60, 80});
  QTest::mouseMove(m_window.get(), {60, 100});
  QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, {60, 100});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetClickStep(), 5);
  EXPECT_EQ(m_window->IsFeedbackDrawn(), 1) << "the band stays where it was";
  QTest::mouseMove(m_window.get(), {60, 90});
  corners = Corners(4);
  ASSERT_EQ(corners.size(), 4U);
  EXPECT_EQ(corners[1], (DrawingPoint{corners[0].x + 30 * s, corners[0].y}));
  EXPECT_EQ(corners[2], (DrawingPoint{corners[0].x + 30 * s, At({60, 90}).y}));
  EXPECT_EQ(m_window->GetClickStep(), 0);
  ExpectCleanScreen();
}

}  // namespace
}  // namespace zeph::testing
