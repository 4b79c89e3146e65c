// The New line and Line tools driven with the mouse: chains of segments, one undo step each,
// hunting for nearby ends but never back onto the start, the angle steps and fixed lengths,
// and the zero-length segment the drawing refuses.
#include <QTest>
#include <numbers>

#include "editor/linetool.h"
#include "editor_fixture.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

class LineToolTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_view.document = &m_doc;
    m_view.window = m_window.get();
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    g_appActive = 1;
    SetOptionShort(kOptionJoinDistance, 4);
    SetOptionShort(kOptionHuntDistance, 10);
    ASSERT_EQ(m_window->SetTool(kToolNewLine, -1), 1);
  }

  void Click(QPoint point) {
    QTest::mouseMove(m_window.get(), point);
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, point);
  }
  // The drawing point of a device pixel.
  DrawingPoint At(QPoint point) const {
    return {m_window->GetMapping().DeviceToDrawingX(point.x()),
            m_window->GetMapping().DeviceToDrawingY(point.y(), 0)};
  }
  DrawingPoint StartOf(int index) const {
    int x = 0;
    int y = 0;
    m_doc.GetItem(index)->GetStart(x, y);
    return {x, y};
  }
  DrawingPoint EndOf(int index) const {
    int x = 0;
    int y = 0;
    m_doc.GetItem(index)->GetEnd(x, y);
    return {x, y};
  }
  void UndoOnce() {
    QImage scratch(8, 8, QImage::Format_RGB32);
    CImageContext dc(scratch);
    m_doc.Undo(&dc, &m_window->GetMapping(), 1);
  }

  CRecordingView m_view;
};

TEST_F(LineToolTest, ChainOfSegmentsOneUndoStepEach) {
  const QPoint a(30, 100);
  const QPoint b(90, 100);
  const QPoint c(90, 40);
  Click(a);
  EXPECT_EQ(g_currentTool, kToolLine);
  EXPECT_EQ(g_lineStartSet, 1);
  EXPECT_EQ(g_lineStart, At(a));
  EXPECT_EQ(m_window->GetMarkCount(), 1);
  Click(b);
  Click(c);
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_EQ(StartOf(0), At(a));
  EXPECT_EQ(EndOf(0), At(b));
  EXPECT_EQ(StartOf(1), At(b));
  EXPECT_EQ(EndOf(1), At(c));
  EXPECT_EQ(g_lineStart, At(c));
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // Both segments are on the screen in their own colour, the rubber band gone.
  EXPECT_EQ(Pixel(60, 100), kBlack);
  EXPECT_EQ(Pixel(90, 70), kBlack);
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 0);
}

TEST_F(LineToolTest, ReleasingOnTheStartAddsNothing) {
  Click({40, 60});
  const DrawingPoint start = g_lineStart;
  Click({40, 60});
  EXPECT_EQ(m_doc.GetItemCount(), 0) << "a zero-length line is refused";
  EXPECT_EQ(g_lineStart, start);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  Click({80, 60});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(StartOf(0), start);
}

TEST_F(LineToolTest, DraggingShowsARubberBandThatLeavesNothingBehind) {
  Click({40, 60});
  const QImage before = m_window->BackBuffer().copy();
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {70, 60});
  QTest::mouseMove(m_window.get(), {100, 80});
  EXPECT_EQ(m_window->IsFeedbackDrawn(), 1);
  EXPECT_NE(m_window->BackBuffer(), before);
  m_window->CancelOperation();
  // Cancelling takes the marks away with the band; the start's mark comes back at the next
  // press. Put back here, the picture is as it was.
  EXPECT_EQ(m_window->GetMarkCount(), 0);
  m_window->ToggleLineStartMark(nullptr);
  EXPECT_EQ(m_window->BackBuffer(), before);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, {100, 80});
  EXPECT_EQ(m_doc.GetItemCount(), 0);
}

TEST_F(LineToolTest, EndHuntsNearbyEndsButNeverTheStart) {
  const int s = Scale();
  // A line elsewhere whose end lies 3 pixels from where the segment is released.
  Add(MakeLine(100 * s, 50 * s, 130 * s, 50 * s));
  const QPoint far(20 + 100, kHeight - 20 - 50);
  Click({40, 60});
  Click(far + QPoint(3, 0));
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_EQ(EndOf(1), (DrawingPoint{100 * s, 50 * s})) << "within JoinDistance with snap off";
  // Released 2 pixels from its own start: no hunting back onto it.
  const DrawingPoint start = g_lineStart;
  Click(far + QPoint(0, 2));
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  EXPECT_EQ(StartOf(2), start);
  EXPECT_EQ(EndOf(2), At(far + QPoint(0, 2)));
}

TEST_F(LineToolTest, HuntDistanceWithHuntOnAndNoneWithGrid) {
  const int s = Scale();
  Add(MakeLine(100 * s, 50 * s, 130 * s, 50 * s));
  const QPoint end(20 + 100, kHeight - 20 - 50);
  g_snapMode = kSnapHunt;
  Click({40, 60});
  Click(end + QPoint(8, 0));
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_EQ(EndOf(1), (DrawingPoint{100 * s, 50 * s}));
  g_snapMode = kSnapGrid;  // 10 mm = 20 pixels at this zoom
  Click(end + QPoint(-28, 3));
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  EXPECT_EQ(EndOf(2), (DrawingPoint{80 * s, 40 * s}));
}

TEST_F(LineToolTest, AngleStepTable) {
  struct Case {
    double angle;
    double setting;
    double expected;
  };
  const Case cases[] = {
      {30, 45, 45},   // nearer the upper multiple
      {22.5, 45, 0},  // a tie keeps the lower one
      {350, 45, 0},   // past the last multiple: a full turn
      {320, 45, 315},  {100, 30, 90},
      {0, 45, 0},      {200, 5, 5},  // not a valid step: a fixed direction
      {200, 190, 190},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(ConstrainLineAngle(c.angle * kDegree, c.setting * kDegree) / kDegree, c.expected,
                1e-9)
        << c.angle << " step " << c.setting;
  }
  EXPECT_EQ(ConstrainLineAngle(45.0 * kDegree / 2.0, 45.0 * kDegree), 0.0);
}

TEST_F(LineToolTest, AngleStepProjectsTheLengthOntoTheCursorsLine) {
  const int s = Scale();
  g_lineAngle = 45 * kDegree;
  g_lineAngleSet = 1;
  Click({40, 100});
  // Cursor 40 pixels right and 10 up: about 14 degrees, drawn at 0 with the cursor's x.
  Click({80, 90});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(EndOf(0), (DrawingPoint{60 * s, StartOf(0).y}));
  // From there 20 right and 40 up: about 63 degrees, drawn at 45 up to the cursor's column.
  Click({100, 60});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  const DrawingPoint start = StartOf(1);
  EXPECT_NEAR(EndOf(1).x - start.x, 20 * s, 1);
  EXPECT_NEAR(EndOf(1).y - start.y, 20 * s, 1);
}

TEST_F(LineToolTest, FixedLengthInTheCursorsDirection) {
  const int s = Scale();
  g_lineLength = 10.0 * s;
  g_lineLengthSet = 1;
  Click({40, 100});
  Click({40 + 30, 100 - 40});  // a 3-4-5 direction
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  // Each move is truncated towards zero.
  EXPECT_NEAR(EndOf(0).x - StartOf(0).x, 6 * s, 1);
  EXPECT_NEAR(EndOf(0).y - StartOf(0).y, 8 * s, 1);
}

TEST_F(LineToolTest, ItemsTakeTheValuesBarSettings) {
  g_drawingColour = static_cast<int>(kBlue);
  g_lineStyle = kLineStyleDotDash;
  Click({40, 100});
  Click({120, 100});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetColour(), static_cast<int>(kBlue));
}

}  // namespace
}  // namespace zeph::testing
