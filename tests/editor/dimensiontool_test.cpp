// The Dimension tool driven with the mouse: the nearest line at any distance, the offset line
// of each dimension type, the measured line's object, and a drawing without lines.
#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

using DimensionToolTest = DrawToolTest;

TEST_F(DimensionToolTest, MeasuresTheNearestLineInItsObject) {
  const int s = Scale();
  // A sloping line drawn from right to left, in object 7; the values bar names object 2.
  DrawItemPtr line = MakeLine(100 * s, 20 * s, 40 * s, 50 * s);
  line->SetObjectNumber(7);
  Add(std::move(line));
  g_currentObject = 2;
  struct Case {
    std::uint8_t type;
    QPoint place;
    double offset;  // expected, drawing units
  };
  // Ordered ends: (40, 50) then (100, 20); the place is pixel (90, 40) = drawing (70, 90).
  const double l = std::hypot(60.0, 30.0);
  const Case cases[] = {
      {kDimensionParallel,
       {90, 40},
       (-(-30.0) * 70 + 60.0 * 90 + (40.0 * -30 - 50.0 * 60)) / l * s},
      {kDimensionHorizontal, {90, 40}, (90.0 - 50.0) * s},  // above the higher end
      {kDimensionVertical, {90, 40}, (70.0 - 100.0) * s},   // y2 < y1: right of the second end
  };
  int added = 1;
  for (const Case& c : cases) {
    g_dimensionType = c.type;
    Use(kToolDimension);
    Click({190, 140});  // far from the line: it is still picked
    Click(c.place);
    ASSERT_EQ(m_doc.GetItemCount(), ++added) << int{c.type};
    const CDrawItem* dimension = m_doc.GetItem(added - 1);
    ASSERT_EQ(dimension->GetType(), kItemDimension);
    EXPECT_EQ(dimension->GetObjectNumber(), 7);
    EXPECT_EQ(dimension->GetDimensionType(), c.type);
    EXPECT_EQ(StartOf(dimension), (DrawingPoint{40 * s, 50 * s}));
    EXPECT_EQ(EndOf(dimension), (DrawingPoint{100 * s, 20 * s}));
    EXPECT_NEAR(dimension->GetOffset(), c.offset, 1.0) << int{c.type};
    EXPECT_EQ(dimension->GetArrowSize(), 2000);
    EXPECT_EQ(dimension->GetTextPosition(), 1);
  }
  EXPECT_EQ(m_window->GetClickStep(), 0);
  ExpectCleanScreen();
}

TEST_F(DimensionToolTest, WithoutLinesTheGestureEndsSilently) {
  const int s = Scale();
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(60 * s, 60 * s);
  circle->SetRadius(20 * s);
  Add(std::move(circle));
  Use(kToolDimension);
  m_view.calls.clear();
  Click({80, 70});
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText")).last(),
            QStringLiteral("SetPromptText 0"));
  EXPECT_TRUE(m_presenter.shown().empty());
}

}  // namespace
}  // namespace zeph::testing
