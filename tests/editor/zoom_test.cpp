// Zooming the editing view: the arithmetic of zoom out, zoom to a box and fit as tables, the
// limits of the commands, the zoom box following the mouse, the arrows' repetition on the
// manual clock, and a drawing made with the mouse, fitted, undone and photographed.
#include <QDir>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include "editor/drawingscrollarea.h"
#include "editor/linetool.h"
#include "items/drawitem.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

CViewMapping MappingAt(int level, int originX, int originY, int width, int height, int anchorX) {
  CViewMapping m;
  m.SetZoomLevel(level);
  m.scaleX = ZoomScaleOfLevel(level);
  m.scaleY = m.scaleX;
  m.originX = originX;
  m.originY = originY;
  m.SetWindowExtent(width, height);
  m.SetClientSize(anchorX, height);
  return m;
}

TEST(ZoomArithmetic, ZoomOutKeepsTheCentre) {
  struct Case {
    int level, originX, originY, width, height;
  };
  const Case cases[] = {
      {8, 0, 150000, 400, 300},           // the start view
      {8, -1234500, 987600, 640, 480},    // anywhere
      {13, 5000, -7000, 200, 100},        // the finest level
      {2, -40000000, 20000000, 800, 600}, // to the coarsest
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    const CViewMapping before = MappingAt(c.level, c.originX, c.originY, c.width, c.height, 0);
    const ZoomTarget after = ComputeZoomOut(before);
    ASSERT_EQ(after.level, c.level - 1);
    const std::int64_t s = ZoomScaleOfLevel(after.level);
    EXPECT_EQ(after.originX + s * c.width / 2, before.originX + before.scaleX * c.width / 2);
    EXPECT_EQ(after.originY - s * c.height / 2, before.originY - before.scaleY * c.height / 2);
  }
  const CViewMapping coarsest = MappingAt(1, 10, 20, 400, 300, 0);
  const ZoomTarget same = ComputeZoomOut(coarsest);
  EXPECT_EQ(same.level, 1);
  EXPECT_EQ(same.originX, 10);
  EXPECT_EQ(same.originY, 20);
}

TEST(ZoomArithmetic, BoxBottomLeftComesToTheAnchor) {
  struct Case {
    int level, originX, originY, width, height, anchorX;
    DcRect box;
  };
  const Case cases[] = {
      {8, 0, 150000, 400, 300, 0, {100, 60, 260, 180}},
      {8, -20000, 150000, 400, 300, 0, {0, 180, 160, 300}},
      // An anchor away from the left edge, as other views have it.
      {5, 300000, -200000, 640, 480, 37, {200, 100, 456, 292}},
      {12, -999, 12345, 200, 100, 15, {-30, -10, 70, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level * 1000 + c.anchorX);
    const CViewMapping before =
        MappingAt(c.level, c.originX, c.originY, c.width, c.height, c.anchorX);
    const std::int64_t px = before.originX + std::int64_t{c.box.left} * before.scaleX;
    const std::int64_t py = before.originY - std::int64_t{c.box.bottom} * before.scaleY;
    const ZoomTarget after = ComputeZoomToBox(before, c.box);
    ASSERT_EQ(after.level, c.level + 1);
    const std::int64_t s = ZoomScaleOfLevel(after.level);
    EXPECT_EQ(after.originX + c.anchorX * s, px);
    EXPECT_EQ(after.originY - std::int64_t{c.height} * s, py);
  }
  const CViewMapping finest = MappingAt(13, 10, 20, 400, 300, 0);
  EXPECT_EQ(ComputeZoomToBox(finest, {0, 0, 10, 10}).level, 13);
}

TEST(ZoomArithmetic, FitPicksTheFinestLevelThatShowsItAllCentred) {
  struct Case {
    int minX, minY, maxX, maxY, width, height, level;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 200, 100, 13},                    // a single point
      {-500, -500, 500, 500, 200, 100, 12},          // 1001 / 100 = 10: needs 20 per pixel
      {0, 0, 99999, 49999, 200, 100, 7},             // 500 per pixel exactly: one level out
      {0, 0, 99998, 1000, 200, 100, 8},              // just under 500: level 8 shows it
      {-2000000000, -1000000000, 2000000000, 1000000000, 400, 300, 1},  // too big for level 1
      {1000, 2000, 3000000, 500000, 640, 480, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxX);
    ZoomTarget fit;
    ASSERT_TRUE(ComputeFit(c.minX, c.minY, c.maxX, c.maxY, c.width, c.height, fit));
    EXPECT_EQ(fit.level, c.level);
    const std::int64_t s = ZoomScaleOfLevel(fit.level);
    const std::int64_t w = std::int64_t{c.maxX} - c.minX + 1;
    const std::int64_t h = std::int64_t{c.maxY} - c.minY + 1;
    // Centred: the margins on both sides differ by at most one unit.
    const std::int64_t left = c.minX - std::int64_t{fit.originX};
    const std::int64_t right = fit.originX + c.width * s - (std::int64_t{c.maxX} + 1);
    EXPECT_LE(std::abs(left - right), 1);
    const std::int64_t top = fit.originY - std::int64_t{c.maxY};
    const std::int64_t bottom = (std::int64_t{c.minY} - 1) - (fit.originY - c.height * s);
    EXPECT_LE(std::abs(top - bottom), 1);
    if (fit.level > 1) {
      EXPECT_TRUE(w <= c.width * s && h <= c.height * s);
    }
  }
  ZoomTarget none;
  EXPECT_FALSE(ComputeFit(0, 0, 10, 10, 0, 100, none));
}

TEST_F(ViewTest, ZoomCommandsStopAtTheEndsOfTheTable) {
  SetZoom(13, 10, 200);
  EXPECT_FALSE(m_view->OnUpdateViewZoomIn());
  EXPECT_TRUE(m_view->OnUpdateViewZoomOut());
  m_view->OnViewZoomIn();
  EXPECT_EQ(m_view->IsZoomBoxMode(), 0);
  EXPECT_EQ(g_mouseCaptured, 0);
  SetZoom(1, 10, 200);
  EXPECT_TRUE(m_view->OnUpdateViewZoomIn());
  EXPECT_FALSE(m_view->OnUpdateViewZoomOut());
  m_view->OnViewZoomOut();
  EXPECT_EQ(Mapping().GetZoomLevel(), 1);
  EXPECT_EQ(Mapping().originX, -10 * ZoomScaleOfLevel(1));
  EXPECT_FALSE(m_view->OnUpdateViewFit());  // no items
  m_view->OnViewFit();
  EXPECT_EQ(Mapping().GetZoomLevel(), 1);
}

// The wheel over the drawing moves the scroll bars by their own steps, and the drawing with
// them as when a bar is dragged: vertically, sideways with Shift or a horizontal wheel. It
// never zooms.
TEST_F(ViewTest, TheWheelScrollsTheDrawingByTheBarsSteps) {
  CDrawingScrollArea* area = m_view->GetScrollArea();
  QScrollBar* vertical = area->verticalScrollBar();
  QScrollBar* horizontal = area->horizontalScrollBar();
  ASSERT_GT(vertical->maximum(), 20);
  ASSERT_GT(horizontal->maximum(), 20);
  vertical->setValue(vertical->maximum() / 2);
  horizontal->setValue(horizontal->maximum() / 2);
  const int level = Mapping().GetZoomLevel();
  const int notch = QApplication::wheelScrollLines() * vertical->singleStep();
  const int unit = CDrawingWindow::kScrollUnit * Mapping().scaleX;
  const auto wheel = [this](QPoint angle, Qt::KeyboardModifiers modifiers) {
    const QPointF at(50, 50);
    QWheelEvent event(at, Drawing().mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Drawing(), &event);
  };
  struct Case {
    const char* what;
    QPoint angle;
    Qt::KeyboardModifiers modifiers;
    int down;  // bar steps
    int right;
  };
  const Case cases[] = {
      {"wheel towards the user", {0, -120}, Qt::NoModifier, notch, 0},
      {"wheel away from the user", {0, 240}, Qt::NoModifier, -2 * notch, 0},
      {"Shift and the wheel towards the user", {0, -120}, Qt::ShiftModifier, 0, notch},
      {"Shift and the wheel away", {0, 120}, Qt::ShiftModifier, 0, -notch},
      {"horizontal wheel to the right", {-120, 0}, Qt::NoModifier, 0, notch},
      {"horizontal wheel to the left", {120, 0}, Qt::NoModifier, 0, -notch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int v = vertical->value();
    const int h = horizontal->value();
    const std::int32_t originX = Mapping().originX;
    const std::int32_t originY = Mapping().originY;
    wheel(c.angle, c.modifiers);
    EXPECT_EQ(vertical->value(), v + c.down);
    EXPECT_EQ(horizontal->value(), h + c.right);
    // The drawing follows the bars: down lowers the origin, right moves it on.
    EXPECT_EQ(Mapping().originY, originY - std::int64_t{c.down} * unit);
    EXPECT_EQ(Mapping().originX, originX + std::int64_t{c.right} * unit);
    EXPECT_EQ(Mapping().GetZoomLevel(), level);
  }
  // A fine wheel's turns add up to whole steps.
  const int v = vertical->value();
  wheel({0, -60}, Qt::NoModifier);
  wheel({0, -60}, Qt::NoModifier);
  EXPECT_EQ(vertical->value(), v + notch);
  // At the end of the bar the wheel goes no further.
  vertical->setValue(vertical->maximum());
  wheel({0, -120}, Qt::NoModifier);
  EXPECT_EQ(vertical->value(), vertical->maximum());
}

TEST_F(ViewTest, ZoomBoxFollowsTheMouseAndZoomsAtTheClick) {
  SetZoom(8, 0, Mapping().anchorY);
  const QImage before = Drawing().BackBuffer().copy();
  m_view->OnViewZoomIn();
  ASSERT_EQ(m_view->IsZoomBoxMode(), 1);
  EXPECT_EQ(g_mouseCaptured, 1);
  EXPECT_EQ(Mapping().GetZoomLevel(), 8);  // not yet
  const int boxWidth = (Mapping().windowWidth * 200 + 250) / 500;
  const QPoint at(200, 150);
  QTest::mouseMove(&Drawing(), at);
  const DcRect box = m_view->GetZoomBox();
  EXPECT_EQ(box.right - box.left, boxWidth);
  EXPECT_EQ((box.left + box.right) / 2, at.x());
  EXPECT_NE(Drawing().BackBuffer(), before);  // the frame is on the screen
  // Esc takes the box away without zooming.
  QTest::keyClick(&Drawing(), Qt::Key_Escape);
  EXPECT_EQ(m_view->IsZoomBoxMode(), 0);
  EXPECT_EQ(Drawing().BackBuffer(), before);
  EXPECT_EQ(Mapping().GetZoomLevel(), 8);
  QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, at);
  EXPECT_EQ(g_mouseCaptured, 0);

  // Again, this time clicking: the point under the box's bottom-left corner comes to the
  // window's bottom-left corner, up to the alignment of the origin to ten pixels.
  m_view->OnViewZoomIn();
  QTest::mouseMove(&Drawing(), at);
  const DcRect placed = m_view->GetZoomBox();
  const int px = Mapping().DeviceToDrawingX(placed.left);
  const int py = Mapping().DeviceToDrawingY(placed.bottom, 0);
  QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, at);
  EXPECT_EQ(m_view->IsZoomBoxMode(), 0);
  EXPECT_EQ(Mapping().GetZoomLevel(), 9);
  const int step = 10 * Mapping().scaleX;
  EXPECT_LE(std::abs(Mapping().DeviceToDrawingX(0) - px), step);
  EXPECT_LE(std::abs(Mapping().DeviceToDrawingY(Mapping().anchorY, 0) - py), step);
}

TEST_F(ViewTest, ArrowRepeatsAfterHalfASecondOneStepPerTick) {
  m_view->resize(kWidth, 180);
  m_view->m_paletteFlags = kArrowForwardShown | kArrowForwardPressed;
  m_view->m_firstTool = 0;
  m_view->StartAutoScroll();
  EXPECT_EQ(m_view->m_firstTool, 1);  // the press itself steps once
  m_clock.Advance(500);
  EXPECT_EQ(m_view->m_firstTool, 1);
  m_clock.Advance(100);
  EXPECT_EQ(m_view->m_firstTool, 2);
  m_clock.Advance(200);
  EXPECT_EQ(m_view->m_firstTool, 4);
  // Released: the next tick stops the timer without a step.
  m_view->m_paletteFlags = kArrowForwardShown;
  m_clock.Advance(100);
  EXPECT_EQ(m_view->m_firstTool, 4);
  EXPECT_FALSE(m_clock.IsSet(*m_view, kViewTimerAutoScroll));
}

class ViewDrawingTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    g_appActive = 1;
    SetOptionShort(kOptionJoinDistance, 4);
    SetOptionShort(kOptionHuntDistance, 10);
  }
  void Click(QPoint point) {
    QTest::mouseMove(&Drawing(), point);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, point);
  }
  int InkPixels() const {
    const QImage& image = Drawing().BackBuffer();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qRed(image.pixel(x, y)) < 60 && qGreen(image.pixel(x, y)) < 60) ++count;
      }
    }
    return count;
  }
};

TEST_F(ViewDrawingTest, TwoLinesFittedThenOneUndone) {
  m_view->SelectTool(kToolNewLine, -1);
  Click({60, 250});
  Click({110, 200});
  Click({150, 240});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  m_view->CancelOperation();
  EXPECT_TRUE(m_view->OnUpdateViewFit());

  m_view->OnViewFit();
  const int level = Mapping().GetZoomLevel();
  EXPECT_GT(level, 8);  // the lines fill much less than the start view
  Drawing().Invalidate();
  Drawing().UpdateWindow();
  // Both lines are on the screen: their ends map inside the window.
  for (int i = 0; i < 2; ++i) {
    int x = 0;
    int y = 0;
    m_doc.GetItem(i)->GetEnd(x, y);
    EXPECT_GE(Mapping().DrawingToDeviceX(x), 0);
    EXPECT_LT(Mapping().DrawingToDeviceX(x), Mapping().windowWidth);
    EXPECT_GE(Mapping().DrawingToDeviceY(y), 0);
    EXPECT_LT(Mapping().DrawingToDeviceY(y), Mapping().windowHeight);
  }
  const int both = InkPixels();
  EXPECT_GT(both, 0);

  m_view->SetAction(kIdsActionCopy, 1);
  m_view->SetPromptText(kIdsPromptGrips);
  m_view->UpdateView();
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  EXPECT_TRUE(m_view->grab().save(QStringLiteral(ZEPH_RENDER_DIR "/editing_view.png")));

  {
    QImage scratch(8, 8, QImage::Format_RGB32);
    CImageContext dc(scratch);
    m_doc.Undo(&dc, &Mapping(), 1);
  }
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  Drawing().Invalidate();
  Drawing().UpdateWindow();
  const int one = InkPixels();
  EXPECT_GT(one, 0);
  EXPECT_LT(one, both);
}

}  // namespace
}  // namespace zeph::testing
