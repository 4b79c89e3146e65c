// The Ellipse and Curve tools driven with the mouse: the ellipse's centre on its sloped first
// axis, the degenerate ellipse and curve, and control points taken exactly at the cursor.
#include <QMouseEvent>

#include "controls/input.h"
#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

using EllipseCurveTest = DrawToolTest;

TEST_F(EllipseCurveTest, EllipseWithSlopeZero) {
  const int s = Scale();
  Use(kToolEllipse);
  // The first click ends the horizontal axis; the centre lies straight below the second point
  // on that axis's line, and the other semi-axis is the height between them.
  Click({130, 80});
  Click({90, 40});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* ellipse = m_doc.GetItem(0);
  ASSERT_EQ(ellipse->GetType(), kItemEllipse);
  int x = 0;
  int y = 0;
  ellipse->GetCentre(x, y);
  EXPECT_EQ((DrawingPoint{x, y}), (DrawingPoint{At({90, 40}).x, At({130, 80}).y}));
  int a = 0;
  int b = 0;
  ellipse->GetSemiAxes(a, b);
  EXPECT_EQ(a, 40 * s);
  EXPECT_EQ(b, 40 * s);
  EXPECT_EQ(ellipse->GetRotation(), 0.0);
  ExpectCleanScreen();
}

TEST_F(EllipseCurveTest, SlopedEllipseAndOneOnItsOwnAxisLine) {
  const int s = Scale();
  g_ellipseSlope = 45.0 * kDegree;
  Use(kToolEllipse);
  // The second point on the first axis's line: no second semi-axis, refused.
  Click({60, 100});
  Click({90, 70});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // Off the line: the centre is the foot of the perpendicular.
  Click({60, 100});
  Click({100, 100});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  int x = 0;
  int y = 0;
  m_doc.GetItem(0)->GetCentre(x, y);
  EXPECT_NEAR(x, At({80, 80}).x, 1);
  EXPECT_NEAR(y, At({80, 80}).y, 1);
  int a = 0;
  int b = 0;
  m_doc.GetItem(0)->GetSemiAxes(a, b);
  EXPECT_NEAR(a, 20.0 * std::sqrt(2.0) * s, 1.0);
  EXPECT_NEAR(b, 20.0 * std::sqrt(2.0) * s, 1.0);
  EXPECT_NEAR(m_doc.GetItem(0)->GetRotation(), 45.0 * kDegree, 1e-12);
}

TEST_F(EllipseCurveTest, CurveWithItsStartOnItsEndAddsNothing) {
  Use(kToolCurve);
  m_view.calls.clear();
  Click({50, 50});
  Click({50, 50});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText")).last(),
            QStringLiteral("SetPromptText 0"));
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(EllipseCurveTest, ControlPointsExactlyAtTheCursorWithGridSnapping) {
  g_snapMode = kSnapGrid;  // 10 mm: 20 pixels at this zoom
  Use(kToolCurve);
  Click({43, 88});
  Click({118, 92});
  EXPECT_EQ(m_window->GetToolGesture().controlLine, -1);
  Drag({53, 67}, {57, 63});
  EXPECT_EQ(m_window->GetToolGesture().controlLine, 0) << "the first control line is shown";
  Drag({100, 50}, {107, 61});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  const CDrawItem* curve = m_doc.GetItem(0);
  ASSERT_EQ(curve->GetType(), kItemBezier);
  EXPECT_EQ(StartOf(curve), At({40, 90})) << "ends snap to the grid";
  EXPECT_EQ(EndOf(curve), At({120, 90}));
  double cx = 0.0;
  double cy = 0.0;
  curve->GetControlPoint(0, cx, cy);
  EXPECT_EQ(cx, At({57, 63}).x);
  EXPECT_EQ(cy, At({57, 63}).y);
  curve->GetControlPoint(1, cx, cy);
  EXPECT_EQ(cx, At({107, 61}).x);
  EXPECT_EQ(cy, At({107, 61}).y);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // The control lines went with the rubber band.
  ExpectCleanScreen();
}

// A drag of a control point that leaves the drawing takes the feedback off the screen; the
// release out there is lost, and the next press goes on with that point. The curve is added
// with nothing left behind, whichever control point the mouse took out.
TEST_F(EllipseCurveTest, AControlPointDragLeavingTheDrawingLeavesNoLineBehind) {
  g_appActive = 1;
  for (const int outAt : {0, 1}) {
    SCOPED_TRACE(outAt);
    m_doc.ClearDrawing();
    Repaint();
    Use(kToolCurve);
    Click({40, 90});
    Click({120, 90});
    for (int point = 0; point < 2; ++point) {
      const QPoint from = point == 0 ? QPoint(50, 60) : QPoint(110, 60);
      const QPoint to = point == 0 ? QPoint(60, 50) : QPoint(100, 50);
      QTest::mouseMove(m_window.get(), from);
      QTest::mousePress(m_window.get(), Qt::LeftButton, {}, from);
      if (point == outAt) {
        // Out of the drawing with the button held, released there, and back in.
        const QPoint outside(kWidth + 30, 60);
        m_window->OnMouseMove(kMkLButton, outside);
        QMouseEvent release(QEvent::MouseButtonRelease, outside, m_window->mapToGlobal(outside),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &release);
        ASSERT_NE(m_window->GetClickStep() % 3, 2) << "the release outside is lost";
        QTest::mouseMove(m_window.get(), from);
        QTest::mousePress(m_window.get(), Qt::LeftButton, {}, from);
      }
      QTest::mouseMove(m_window.get(), to);
      QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, to);
    }
    ASSERT_EQ(m_doc.GetItemCount(), 1);
    EXPECT_EQ(m_window->GetClickStep(), 0);
    m_window->HideCrossHairs();
    ExpectCleanScreen();
  }
}

}  // namespace
}  // namespace zeph::testing
