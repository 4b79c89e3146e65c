// The click-step protocol of the editor window: what a tool's handler sees of presses, moves
// and releases, the tools that start a rubber band, the dispatch of tools and sub-modes,
// colour picking, the capture and the cross-hairs.
#include <QTest>
#include <vector>

#include "controls/input.h"
#include "editor/ownerview.h"
#include "editor_fixture.h"
#include "fake_tool.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

class ClickStepsTest : public FakeToolTest {
 protected:
  void SetUp() override {
    FakeToolTest::SetUp();
    g_currentTool = kToolLine;
  }
};

using Steps = std::vector<int>;

TEST_F(ClickStepsTest, PressMovesReleaseAndTheNextPress) {
  m_fake->OnLButtonDown(kMkLButton, {30, 40});
  EXPECT_EQ(m_fake->Take(), (Steps{0, 1}));
  EXPECT_EQ(g_cursorPoint, (DrawingPoint{10 * Scale(), (kHeight - 20 - 40) * Scale()}));
  m_fake->OnMouseMove(kMkLButton, {35, 40});
  m_fake->OnMouseMove(kMkLButton, {40, 45});
  EXPECT_EQ(m_fake->Take(), (Steps{1, 1}));
  m_fake->OnLButtonUp(0, {40, 45});
  EXPECT_EQ(m_fake->Take(), (Steps{2}));
  // Left released, the step still reaches the tool on moves; the next press is point 1.
  m_fake->OnMouseMove(0, {60, 45});
  EXPECT_EQ(m_fake->Take(), (Steps{2}));
  m_fake->OnLButtonDown(kMkLButton, {60, 45});
  EXPECT_EQ(m_fake->Take(), (Steps{3, 4}));
  m_fake->OnLButtonUp(0, {60, 45});
  EXPECT_EQ(m_fake->Take(), (Steps{5}));
}

TEST_F(ClickStepsTest, HandlerMovingOnAtReleaseLeadsToTheSamePoint) {
  m_fake->nextPointAtRelease = true;
  m_fake->OnLButtonDown(kMkLButton, {30, 40});
  m_fake->OnLButtonUp(0, {30, 40});
  m_fake->OnMouseMove(0, {50, 40});
  m_fake->OnLButtonDown(kMkLButton, {50, 40});
  EXPECT_EQ(m_fake->Take(), (Steps{0, 1, 2, 3, 3, 4}));
}

TEST_F(ClickStepsTest, LostReleaseStartsTheSamePointAgain) {
  m_fake->OnLButtonDown(kMkLButton, {30, 40});
  m_fake->OnMouseMove(kMkLButton, {31, 40});
  m_fake->OnLButtonDown(kMkLButton, {50, 40});
  EXPECT_EQ(m_fake->Take(), (Steps{0, 1, 1, 0, 1}));
  // A handler that ended its sequence is called next with a fresh press.
  m_fake->SetClickStep(0);
  m_fake->OnMouseMove(0, {52, 40});
  EXPECT_TRUE(m_fake->Take().empty()) << "step 0: moves do not reach the tool";
}

TEST_F(ClickStepsTest, QtMouseEventsReachTheProtocol) {
  QTest::mousePress(m_fake, Qt::LeftButton, {}, QPoint(30, 40));
  QTest::mouseRelease(m_fake, Qt::LeftButton, {}, QPoint(30, 40));
  QTest::mousePress(m_fake, Qt::LeftButton, {}, QPoint(60, 40));
  EXPECT_EQ(m_fake->Take(), (Steps{0, 1, 2, 3, 4}));
  QTest::mouseRelease(m_fake, Qt::LeftButton, {}, QPoint(60, 40));
}

TEST_F(ClickStepsTest, ClickWhilePickingAColourNeverReachesTheTool) {
  Add(MakeLine(0, 0, 100 * Scale(), 0, kBlue));
  m_view.pickingColour = 1;
  SetOptionShort(kOptionColourPickDistance, 5);
  m_fake->OnLButtonDown(kMkLButton, {50, kHeight - 22});
  m_fake->OnLButtonUp(0, {50, kHeight - 22});
  EXPECT_TRUE(m_fake->Take().empty());
  EXPECT_EQ(g_drawingColour, static_cast<int>(kBlue));
  EXPECT_EQ(m_view.Calls(QStringLiteral("EndPickColour")).size(), 1);
  EXPECT_EQ(m_view.pickingColour, 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("CloseValueEditor")).size(), 1);
}

TEST_F(ClickStepsTest, PickingFarFromAnyItemKeepsTheColourAndEndsPicking) {
  Add(MakeLine(0, 0, 100 * Scale(), 0, kBlue));
  g_drawingColour = static_cast<int>(kRed);
  m_view.pickingColour = 1;
  SetOptionShort(kOptionColourPickDistance, 5);
  m_fake->OnLButtonDown(kMkLButton, {50, 30});
  m_fake->OnLButtonUp(0, {50, 30});
  EXPECT_EQ(g_drawingColour, static_cast<int>(kRed));
  EXPECT_EQ(m_view.pickingColour, 0);
}

TEST_F(ClickStepsTest, RubberBandToolsTable) {
  struct Case {
    int tool;
    int subMode;  // Move's or Object's
    int placingOrDragging;
    int step;
    int band;
  };
  const Case cases[] = {
      {kToolLine, 0, 0, 0, 0},   {kToolMove, 0, 0, 0, 0},    {kToolMove, 1, 0, 0, 1},
      {kToolMove, 3, 0, 0, 1},   {kToolMove, 1, 1, 0, 0},    {kToolDelete, 0, 0, 0, 1},
      {kToolColour, 0, 0, 0, 1}, {kToolCopy, 0, 0, 0, 1},    {kToolCopy, 0, 1, 0, 0},
      {kToolRotate, 0, 0, 2, 1}, {kToolStretch, 0, 0, 3, 0}, {kToolObject, 2, 0, 0, 1},
      {kToolObject, 3, 0, 0, 0}, {kToolModify, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    g_currentTool = c.tool;
    g_toolSubMode = c.subMode;
    g_objectSubMode = c.subMode;
    g_moveDragging = c.placingOrDragging;
    g_copyPlacing = c.placingOrDragging;
    m_fake->SetClickStep(c.step);
    EXPECT_EQ(m_fake->IsRubberBandTool(), c.band) << c.tool << " " << c.subMode;
  }
}

TEST_F(ClickStepsTest, RubberBandFollowsTheDragAndHidesTheCrossHairs) {
  SetOptionFlag(kOptionCrossHairsCursor, 1);
  g_currentTool = kToolDelete;
  m_fake->OnMouseMove(0, {20, 20});
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 1);
  m_fake->OnLButtonDown(kMkLButton, {20, 20});
  m_fake->OnMouseMove(kMkLButton, {21, 21});
  EXPECT_EQ(m_fake->IsRubberBandVisible(), 0);
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 1);
  m_fake->OnMouseMove(kMkLButton, {60, 50});
  EXPECT_EQ(m_fake->IsRubberBandVisible(), 1);
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 0) << "the band replaces the cursor feedback";
  EXPECT_EQ(m_view.Calls(QStringLiteral("ClearCoordinateField")).size(), 1);
  m_fake->OnLButtonUp(kMkShift, {60, 50});
  EXPECT_EQ(m_fake->GetRubberBandRect(), (DcRect{20, 20, 60, 50}));
  EXPECT_EQ(m_fake->IsShiftAtRelease(), 1);
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 1);
}

TEST_F(ClickStepsTest, CrossHairsFollowTheMouseAndLeaveNothingBehind) {
  SetOptionFlag(kOptionCrossHairsCursor, 1);
  Add(MakeLine(0, 0, 100 * Scale(), 60 * Scale()));
  Repaint();
  const QImage before = m_fake->BackBuffer().copy();
  m_fake->OnMouseMove(0, {50, 50});
  EXPECT_TRUE(m_fake->HasCapture());
  EXPECT_EQ(g_mouseCaptured, 1);
  EXPECT_EQ(m_fake->cursor().shape(), Qt::BlankCursor);
  const ColourRef line = (g_overlayXorColours[9] ^ g_backgroundColour) & kColourMask;
  EXPECT_EQ(Pixel(5, 50), line);
  EXPECT_EQ(Pixel(50, 5), line);
  m_fake->OnMouseMove(0, {50, 70});  // only the horizontal line moves
  m_fake->OnMouseMove(0, {90, 70});
  EXPECT_EQ(Pixel(90, 5), line);
  EXPECT_EQ(Pixel(5, 50), Background());
  // A paint keeps them; hiding removes them exactly.
  Repaint();
  EXPECT_EQ(Pixel(90, 5), line);
  m_fake->HideCrossHairs();
  EXPECT_EQ(m_fake->BackBuffer(), before);
}

TEST_F(ClickStepsTest, LeavingForTheObjectListReleasesCaptureAndEndsTheBand) {
  g_currentTool = kToolDelete;
  m_view.objectList = QRect(150, 0, 50, 50);
  m_fake->OnMouseMove(0, {20, 20});
  m_fake->OnLButtonDown(kMkLButton, {20, 20});
  m_fake->OnMouseMove(kMkLButton, {60, 60});
  const int steps = static_cast<int>(m_fake->Take().size());
  EXPECT_EQ(steps, 3);
  ASSERT_EQ(m_fake->IsRubberBandVisible(), 1);
  m_fake->OnMouseMove(kMkLButton, {160, 10});
  EXPECT_FALSE(m_fake->HasCapture());
  EXPECT_EQ(g_mouseCaptured, 0);
  EXPECT_EQ(m_fake->IsRubberBandVisible(), 0);
  EXPECT_EQ(m_fake->GetClickStep(), 0);
  EXPECT_EQ(m_fake->IsCursorInside(), 0);
  EXPECT_TRUE(m_fake->Take().empty());
}

TEST_F(ClickStepsTest, AttachDrawingStartsAfresh) {
  EXPECT_EQ(m_fake->GetDocument(), &m_doc);
  EXPECT_EQ(m_fake->GetGridMode(), kGridByOptions);
  EXPECT_EQ(m_fake->GetOverrideColour(), -1);
  EXPECT_EQ(m_fake->GetSelectionShown(), 0);
  EXPECT_EQ(m_fake->GetMapping().windowWidth, kWidth);
  EXPECT_EQ(m_fake->GetMapping().anchorY, kHeight);
  CEditDrawing alone;
  alone.AttachDrawing();  // no view: nothing happens
  EXPECT_EQ(alone.GetDocument(), nullptr);
}

TEST_F(ClickStepsTest, CursorReadoutAtStepZero) {
  m_fake->OnMouseMove(0, {30, kHeight - 30});
  const int s = Scale();
  EXPECT_EQ(m_view.Calls(QStringLiteral("ShowPointValues")),
            QStringList{QStringLiteral("ShowPointValues %1 %2 0").arg(10 * s).arg(10 * s)});
}

// The real dispatch: every tool's handler arrives with its own work; until then a press does
// nothing, and a sub-mode out of range is reported without running anything.
using DispatchTest = EditorTest;

TEST_F(DispatchTest, ToolsWithoutHandlersAreRefusedAndPressesDoNothing) {
  EXPECT_EQ(m_window->IsToolAvailable(kToolNewLine), 1);
  EXPECT_EQ(m_window->IsToolAvailable(kToolLine), 1);
  EXPECT_EQ(m_window->IsToolAvailable(kToolHunt), 0);
  EXPECT_EQ(m_window->IsToolAvailable(kToolGrid), 0);
  int lastRefused = -1;
  for (int tool = kToolArc; tool < kToolCount; ++tool) {
    int glitchNumber = 0;
    if (CEditDrawing::ResolveClickHandler(tool, glitchNumber) != nullptr) continue;  // built
    EXPECT_EQ(m_window->IsToolAvailable(tool), 0) << tool;
    EXPECT_EQ(m_window->SetTool(tool, -1), 0) << tool;
    g_currentTool = tool;
    lastRefused = tool;
    m_window->OnLButtonDown(kMkLButton, {30, 30});
    m_window->OnLButtonUp(0, {30, 30});
  }
  EXPECT_EQ(m_window->IsToolAvailable(kToolCount), 0);
  EXPECT_EQ(m_window->IsToolAvailable(-1), 0);
  EXPECT_EQ(g_currentTool, lastRefused) << "set by the test, never by a refused SetTool";
}

TEST_F(DispatchTest, SubModesOutOfRange) {
  const struct {
    int tool;
    std::int32_t* subMode;
    int number;
  } cases[] = {{kToolShape, &g_shapeSubMode, 2},
               {kToolMove, &g_toolSubMode, 3},
               {kToolObject, &g_objectSubMode, 4}};
  for (const auto& c : cases) {
    ResetLogState();
    g_currentTool = c.tool;
    *c.subMode = 6;
    m_window->DispatchClick();
    ExpectGlitch(2450, c.number);
    EXPECT_EQ(g_firstGlitchValues[0], 6);
    *c.subMode = 0;
  }
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ClickStepsTest, ColourSwatchFollowsTheMouseWhilePicking) {
  Add(MakeLine(0, 0, 100 * Scale(), 0, kBlue));
  Repaint();
  const QImage before = m_fake->BackBuffer().copy();
  m_view.pickingColour = 1;
  SetOptionShort(kOptionColourPickDistance, 5);
  const QPoint near(50, kHeight - 22);
  m_fake->OnMouseMove(0, near);
  // The swatch, framed in the ink colour, beside the cursor.
  EXPECT_EQ(Pixel(near.x() + 15, near.y() - 20), kBlue);
  EXPECT_EQ(Pixel(near.x() + 10, near.y() - 20), g_foregroundColour & kColourMask);
  EXPECT_EQ(Pixel(near.x() + 31, near.y() - 20), Background());
  // Far from every item: the swatch goes and the window is as it was.
  m_fake->OnMouseMove(0, {50, 30});
  EXPECT_EQ(m_fake->BackBuffer(), before);
  m_fake->OnMouseMove(0, near);
  m_fake->OnLButtonDown(kMkLButton, near);
  m_fake->OnLButtonUp(0, near);
  EXPECT_EQ(m_fake->BackBuffer(), before);
  EXPECT_EQ(g_drawingColour, static_cast<int>(kBlue));
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ClickStepsTest, ResizingKeepsTheBottomEdgeOnTheSameDrawingPoint) {
  const CViewMapping& m = m_fake->GetMapping();
  const int bottomBefore = m.DeviceToDrawingY(kHeight, 0);
  m_fake->resize(kWidth + 40, kHeight + 30);
  QApplication::sendPostedEvents();
  EXPECT_EQ(m.DeviceToDrawingY(kHeight + 30, 0), bottomBefore);
  EXPECT_EQ(m.windowWidth, kWidth + 40);
  EXPECT_EQ(m.anchorY, kHeight + 30);
}

TEST_F(ClickStepsTest, TheActivatingClickTakesTheCaptureAndShowsTheCrossHairs) {
  SetOptionFlag(kOptionCrossHairsCursor, 1);
  g_justActivated = 1;
  m_fake->OnLButtonDown(kMkLButton, {40, 40});
  EXPECT_EQ(g_justActivated, 0);
  EXPECT_EQ(g_mouseCaptured, 1);
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 1);
  EXPECT_EQ(m_fake->Take(), (std::vector<int>{0, 1}));
  m_fake->OnLButtonUp(0, {40, 40});
}

TEST_F(ClickStepsTest, ASystemKeyHidesTheCrossHairsForOneMove) {
  SetOptionFlag(kOptionCrossHairsCursor, 1);
  m_fake->OnMouseMove(0, {40, 40});
  ASSERT_EQ(m_fake->AreCrossHairsShown(), 1);
  g_systemKeyDown = 1;
  m_fake->OnMouseMove(0, {45, 45});
  EXPECT_EQ(g_systemKeyDown, 0);
  EXPECT_EQ(m_fake->AreCrossHairsShown(), 0);
  EXPECT_EQ(m_fake->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ClickStepsTest, PickedColourRecoloursModifysPick) {
  Add(MakeLine(0, 0, 100 * Scale(), 0, kBlue));
  Add(MakeLine(0, 60 * Scale(), 100 * Scale(), 60 * Scale(), kRed));
  g_currentTool = kToolModify;
  m_fake->AddPicked(m_doc.GetItem(1));
  m_view.pickingColour = 1;
  SetOptionShort(kOptionColourPickDistance, 5);
  m_fake->OnLButtonDown(kMkLButton, {50, kHeight - 21});
  m_fake->OnLButtonUp(0, {50, kHeight - 21});
  EXPECT_EQ(m_doc.GetItem(1)->GetColour(), static_cast<int>(kBlue));
  EXPECT_EQ(g_drawingColour, 0) << "the next item's colour stays";
}

}  // namespace
}  // namespace zeph::testing
