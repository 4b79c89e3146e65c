// The Arc tool through three points and from its centre, and the Circle tool, driven with the
// mouse: arcs through the points clicked on either side of their chord, the fixed radius and
// angle, and the degenerate gestures that add nothing.
#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

using ArcToolTest = DrawToolTest;

TEST_F(ArcToolTest, ThreePointArcPassesThroughItsPointsOnEitherSideOfTheChord) {
  Use(kToolArc);
  const QPoint start(40, 90);
  const QPoint end(120, 90);
  // Third points above and below the chord, near it and far from it.
  const QPoint thirds[] = {{80, 50}, {80, 130}, {50, 80}, {110, 100}, {150, 60}};
  for (const QPoint& third : thirds) {
    const int before = m_doc.GetItemCount();
    Click(start);
    Click(end);
    Click(third);
    ASSERT_EQ(m_doc.GetItemCount(), before + 1) << third.x() << "," << third.y();
    const CDrawItem* arc = m_doc.GetItem(before);
    ASSERT_EQ(arc->GetType(), kItemArc);
    double cx = 0.0;
    double cy = 0.0;
    double r = 0.0;
    arc->GetCircle(cx, cy, r);
    const DrawingPoint centre{static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))};
    for (const QPoint& p : {start, end, third}) {
      EXPECT_NEAR(Distance(centre, At(p)), r, 2.0) << third.x() << "," << third.y();
    }
    // The cursor's point lies on the arc itself, not on the rest of the circle.
    g_cursorPoint = At(third);
    EXPECT_LT(arc->GetDistanceTo(g_cursorPoint.x, g_cursorPoint.y), 2.0)
        << third.x() << "," << third.y();
    EXPECT_EQ(m_window->GetClickStep(), 0);
  }
  ExpectCleanScreen();
}

TEST_F(ArcToolTest, StartOnTheEndAddsNothing) {
  for (const int choice : {0, 1}) {
    g_arcPointChoice = static_cast<std::uint8_t>(choice);
    Use(kToolArc);
    m_view.calls.clear();
    Click({60, 60});
    Click({60, 60});
    EXPECT_EQ(m_doc.GetItemCount(), 0) << choice;
    EXPECT_EQ(m_window->GetConstructionItem(), nullptr) << choice;
    EXPECT_EQ(m_window->GetClickStep(), 0) << choice;
    EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText")).last(),
              QStringLiteral("SetPromptText 0"));
    EXPECT_EQ(m_window->GetMarkCount(), 0);
  }
  EXPECT_TRUE(m_presenter.shown().empty()) << "no message";
}

TEST_F(ArcToolTest, FixedRadiusOrAngleArcsFinishAtTheSecondRelease) {
  const int s = Scale();
  Use(kToolArc);
  g_arcRadiusSet = 1;
  g_arcRadius = 30.0 * s;
  // Pressed where the chord is 60 pixels the radius spans it (a half circle shows); released
  // where it is 80 nothing shows, and nothing is added: not the arc of another radius the
  // item was left with.
  Click({40, 90});
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {100, 90});
  EXPECT_EQ(m_window->IsFeedbackDrawn(), 1);
  QTest::mouseMove(m_window.get(), {120, 90});
  EXPECT_EQ(m_window->IsFeedbackDrawn(), 0);
  QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, {120, 90});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // A radius of 50: the minor arc, finished without a third point.
  g_arcRadius = 50.0 * s;
  Click({40, 90});
  Click({120, 90});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* arc = m_doc.GetItem(0);
  double cx = 0.0;
  double cy = 0.0;
  double r = 0.0;
  arc->GetCircle(cx, cy, r);
  EXPECT_NEAR(r, 50.0 * s, 1.0);
  EXPECT_LT(arc->GetAngle(), std::numbers::pi);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // A fixed angle instead: a quarter circle over the chord.
  g_arcRadiusSet = 0;
  g_arcAngleSet = 1;
  g_arcAngle = std::numbers::pi / 2.0;
  Click({40, 40});
  Click({120, 40});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  m_doc.GetItem(1)->GetCircle(cx, cy, r);
  EXPECT_NEAR(r, 40.0 * std::sqrt(2.0) * s, 1.0);
  EXPECT_EQ(m_doc.GetItem(1)->GetAngle(), std::numbers::pi / 2.0);
  ExpectCleanScreen();
}

TEST_F(ArcToolTest, FromTheCentre) {
  const int s = Scale();
  g_arcPointChoice = 1;
  Use(kToolArc);
  // Centre, start to its right, end direction straight up: a quarter circle.
  Click({80, 90});
  Click({120, 90});
  Click({80, 20});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* arc = m_doc.GetItem(0);
  EXPECT_NEAR(arc->GetAngle(), std::numbers::pi / 2.0, 1e-6);
  EXPECT_EQ(StartOf(arc), At({120, 90}));
  EXPECT_EQ(EndOf(arc), At({80, 50}));
  // A fixed angle finishes at the start; a fixed radius puts the start on its circle in the
  // cursor's direction even with the first arc's end 2 pixels away.
  g_arcAngleSet = 1;
  g_arcAngle = std::numbers::pi;
  Click({80, 90});
  Click({100, 90});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_NEAR(m_doc.GetItem(1)->GetAngle(), std::numbers::pi, 1e-9);
  EXPECT_EQ(EndOf(m_doc.GetItem(1)), At({60, 90}));
  g_arcAngleSet = 0;
  g_arcRadiusSet = 1;
  g_arcRadius = 42.0 * s;
  Click({80, 90});
  Click({82, 50});
  Click({40, 90});
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  const CDrawItem* fixed = m_doc.GetItem(2);
  EXPECT_NEAR(Distance(StartOf(fixed), At({80, 90})), 42.0 * s, 1.0);
  EXPECT_NEAR(Distance(EndOf(fixed), At({80, 90})), 42.0 * s, 1.0);
  EXPECT_NE(StartOf(fixed), At({80, 50}));
  ExpectCleanScreen();
}

TEST_F(ArcToolTest, Circles) {
  const int s = Scale();
  Use(kToolCircle);
  // Released on its centre: radius 0, refused.
  Click({80, 80});
  Click({80, 80});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  Click({80, 80});
  Click({110, 120});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* circle = m_doc.GetItem(0);
  int x = 0;
  int y = 0;
  circle->GetCentre(x, y);
  EXPECT_EQ((DrawingPoint{x, y}), At({80, 80}));
  EXPECT_EQ(circle->GetRadius(), 50 * s);
  // A fixed radius: one press, drag and release places it where the drag ended.
  g_circleRadiusSet = 1;
  g_circleRadius = 15.0 * s;
  Drag({140, 40}, {150, 50});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  m_doc.GetItem(1)->GetCentre(x, y);
  EXPECT_EQ((DrawingPoint{x, y}), At({150, 50}));
  EXPECT_EQ(m_doc.GetItem(1)->GetRadius(), 15 * s);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  ExpectCleanScreen();
}

}  // namespace
}  // namespace zeph::testing
