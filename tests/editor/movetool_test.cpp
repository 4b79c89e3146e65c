// The Move tool driven with the mouse: an item grabbed away from its handles follows the
// cursor, one grabbed at a handle hunts, a fixed move direction holds the move to it, drags
// after one OK add up, a point moves with what meets there or splits away from it, a line end
// is dragged out along the line, and every drag is one undo step. Move items and Move points
// choose first and are confirmed or restarted through the prompt buttons' handlers.
#include <cmath>
#include <numbers>

#include "controls/input.h"
#include "drawtools_fixture.h"
#include "editor/tickelements.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"

namespace zeph::testing {
namespace {

class MoveToolTest : public DrawToolTest {
 protected:
  void SetUp() override {
    DrawToolTest::SetUp();
    ResetValuesBarParameters();
    InstallEditorPromptParts();
  }
  void TearDown() override {
    SetPromptHandlers(nullptr);
    SetObjectListFactory(nullptr);
    DrawToolTest::TearDown();
    ResetValuesBarParameters();
  }

  // Points in pixels from the drawing's origin.
  DrawingPoint P(int x, int y) const { return {x * Scale(), y * Scale()}; }
  QPoint Px(int x, int y) const { return DeviceOf(P(x, y)); }
  CDrawItem* AddLine(int x1, int y1, int x2, int y2, int group = 0) {
    DrawItemPtr line = MakeLine(x1 * Scale(), y1 * Scale(), x2 * Scale(), y2 * Scale());
    line->SetGroupNumber(group);
    CDrawItem* added = line.get();
    Add(std::move(line));
    return added;
  }
  void ExpectEnds(const CDrawItem* line, DrawingPoint start, DrawingPoint end,
                  const std::string& what) {
    EXPECT_EQ(StartOf(line).x, start.x) << what;
    EXPECT_EQ(StartOf(line).y, start.y) << what;
    EXPECT_EQ(EndOf(line).x, end.x) << what;
    EXPECT_EQ(EndOf(line).y, end.y) << what;
  }
  void ExpectGestureClosed(const std::string& what) {
    EXPECT_EQ(m_window->GetClickStep(), 0) << what;
    EXPECT_EQ(m_doc.GetJournal().groupState, 0) << what << ": the undo group is closed";
  }
  // Presses at from and holds the button down at to.
  void PressAndHold(QPoint from, QPoint to) {
    QTest::mouseMove(m_window.get(), from);
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_window.get(), to);
  }
  void Ok() { GetPromptHandlers().OnPromptOK(*m_window); }
  void Restart() { GetPromptHandlers().OnPromptRestart(*m_window); }
  // A rubber band dragged from one corner to the other, as the choosing tools see it.
  void Band(QPoint from, QPoint to, unsigned flags = 0) {
    m_window->OnMouseMove(0, from);
    m_window->OnLButtonDown(kMkLButton | flags, from);
    m_window->OnMouseMove(kMkLButton | flags, to);
    m_window->OnLButtonUp(flags, to);
  }
};

TEST_F(MoveToolTest, AnItemGrabbedAwayFromItsHandlesFollowsTheCursorExactly) {
  // Another line's end lies right where the cursor stops: it is not hunted, whatever the
  // snap mode, because nothing was grabbed that could snap.
  for (const int snap : {kSnapNone, kSnapHunt}) {
    SCOPED_TRACE(snap);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 50, 100, 50);
    AddLine(54, 21, 90, 0);
    g_snapMode = snap;
    Use(kToolMove, kMoveItem);
    Repaint();
    Drag(Px(50, 50), Px(53, 20));
    ExpectEnds(line, P(3, 20), P(103, 20), "moved");
    ExpectGestureClosed("moved");
    EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 0);
    EXPECT_EQ(m_window->GetGripCount(), 0);
    EXPECT_EQ(m_window->GetPromptId(), 171);
    ExpectCleanScreen();
    UndoOnce();
    ExpectEnds(line, P(0, 50), P(100, 50), "one undo");
  }
}

TEST_F(MoveToolTest, AnItemOfAShapeTakesTheWholeShapeAlong) {
  CDrawItem* side1 = AddLine(0, 0, 40, 0, 9);
  CDrawItem* side2 = AddLine(40, 0, 40, 30, 9);
  CDrawItem* loose = AddLine(0, 60, 80, 60);
  g_snapMode = kSnapHunt;
  Use(kToolMove, kMoveItem);
  Drag(Px(20, 0), Px(30, 20));
  ExpectEnds(side1, P(10, 20), P(50, 20), "shape");
  ExpectEnds(side2, P(50, 20), P(50, 50), "shape");
  ExpectEnds(loose, P(0, 60), P(80, 60), "loose line");
  ExpectGestureClosed("shape");
  ExpectCleanScreen();
  UndoOnce();
  ExpectEnds(side2, P(40, 0), P(40, 30), "one undo");
}

TEST_F(MoveToolTest, AnItemGrabbedAtAHandleSnapsThatHandle) {
  const struct {
    const char* name;
    int snap;
    QPoint to;
    DrawingPoint end;  // where the grabbed end lands
  } cases[] = {
      // Hunting reaches 10 pixels: the end lands on the other line's end.
      {"hunt", kSnapHunt, Px(62, 12), P(60, 10)},
      // Without snapping the join distance of 4 pixels still catches a nearby end...
      {"join", kSnapNone, Px(62, 12), P(60, 10)},
      // ...but not a farther one: the grabbed end goes to the cursor itself.
      {"beyond the join distance", kSnapNone, Px(63, 12), P(63, 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 50, 100, 50);
    AddLine(30, 0, 60, 10);
    g_snapMode = c.snap;
    Use(kToolMove, kMoveItem);
    Repaint();
    // Grabbed 2 pixels away from the right end; the moving line's own ends never attract it.
    Drag(Px(98, 52), c.to);
    const DrawingPoint moved{c.end.x - P(100, 0).x, c.end.y - P(0, 50).y};
    ExpectEnds(line, {moved.x, P(0, 50).y + moved.y}, c.end, c.name);
    ExpectGestureClosed(c.name);
    ExpectCleanScreen();
  }
}

TEST_F(MoveToolTest, AFixedMoveAngleHoldsTheMoveToItsDirection) {
  const double pi = std::numbers::pi;
  const struct {
    const char* name;
    double angle;
    QPoint to;
    DrawingPoint move;
    double readoutAngle;
  } cases[] = {
      {"left of the start goes left", 0.0, Px(20, 70), P(-30, 0), pi},
      {"right of the start goes right", 0.0, Px(80, 30), P(30, 0), 0.0},
      {"upright", pi / 2, Px(10, 90), P(0, 40), pi / 2},
      {"upright, downwards", pi / 2, Px(90, 20), P(0, -30), 3 * pi / 2},
  };
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 50, 100, 50);
    g_snapMode = kSnapNone;
    g_moveAngle = c.angle;
    g_moveAngleSet = 1;
    Use(kToolMove, kMoveItem);
    Repaint();
    Drag(Px(50, 50), c.to);
    // The projection is cut to whole drawing units, which may lose one of them.
    const DrawingPoint moved{StartOf(line).x, StartOf(line).y - P(0, 50).y};
    EXPECT_NEAR(moved.x, c.move.x, 1) << c.name;
    EXPECT_NEAR(moved.y, c.move.y, 1) << c.name;
    ExpectEnds(line, StartOf(line), {P(100, 0).x + moved.x, P(0, 50).y + moved.y}, c.name);
    EXPECT_EQ(g_readoutMove.x, moved.x) << c.name;
    EXPECT_EQ(g_readoutMove.y, moved.y) << c.name;
    EXPECT_NEAR(g_readoutAngle, c.readoutAngle, 1e-9) << c.name;
    EXPECT_NEAR(g_readoutLength, std::hypot(c.move.x, c.move.y), 1.0) << c.name;
    ExpectGestureClosed(c.name);
  }
}

TEST_F(MoveToolTest, MoveItemsDragsAfterOneOkAddUpAndEachIsOneUndoStep) {
  CDrawItem* moved = AddLine(40, 50, 100, 50);
  CDrawItem* still = AddLine(40, 90, 100, 90);
  g_snapMode = kSnapNone;
  g_moveAngle = 0.0;
  g_moveAngleSet = 1;
  Use(kToolMove, kMoveItems);
  EXPECT_EQ(m_window->GetActionId(), 50);
  Click(Px(70, 50));
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
            QStringLiteral("EnableOKButton 1"));
  Ok();
  ASSERT_EQ(g_moveDragging, 1);
  ASSERT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetGripCount(), 2);

  // The first drag, from the left grip: only its horizontal part counts.
  Drag(Px(41, 51), Px(20, 60));
  ExpectEnds(moved, P(20, 50), P(80, 50), "first drag");
  EXPECT_EQ(m_window->GetMoveOffset().x, P(-20, 0).x);
  ExpectGestureClosed("first drag");
  // The second drag goes on from the total so far: the read-out shows the whole move.
  Drag(Px(20, 50), Px(10, 40));
  ExpectEnds(moved, P(10, 50), P(70, 50), "second drag");
  EXPECT_EQ(g_readoutMove.x, P(-30, 0).x);
  EXPECT_EQ(g_readoutMove.y, 0);
  EXPECT_NEAR(g_readoutLength, P(30, 0).x, 1.0);
  ExpectEnds(still, P(40, 90), P(100, 90), "not chosen");
  // The items stay chosen with their grips where they now are.
  EXPECT_EQ(m_window->GetPickCount(), 1);
  ASSERT_EQ(m_window->GetGripCount(), 2);
  EXPECT_EQ(m_window->GetGrip(0).x, P(10, 0).x);
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 0);
  ExpectCleanScreen();

  m_window->Undo(1);
  ExpectEnds(moved, P(20, 50), P(80, 50), "one undo takes back the second drag");
  EXPECT_EQ(m_window->GetGripCount(), 2) << "the grips follow the items back";
  m_window->Undo(1);
  ExpectEnds(moved, P(40, 50), P(100, 50), "two undos take back both");
}

// Undo and redo of a drag leave the items elsewhere than the read-out's total: the total
// starts afresh and the prompt is shown again.
TEST_F(MoveToolTest, UndoAndRedoStartTheMoveReadOutAfresh) {
  CDrawItem* moved = AddLine(40, 50, 100, 50);
  g_snapMode = kSnapNone;
  g_moveAngle = 0.0;
  g_moveAngleSet = 1;
  Use(kToolMove, kMoveItems);
  Click(Px(70, 50));
  Ok();
  ASSERT_EQ(g_moveDragging, 1);
  for (const bool redo : {false, true}) {
    SCOPED_TRACE(redo ? "redo" : "undo");
    // Each drag takes the items by their nearest grip, the line's left end.
    Drag(Px(40, 50), Px(20, 50));
    ASSERT_EQ(m_window->GetMoveOffset().x, P(-20, 0).x);
    m_view.calls.clear();
    m_window->Undo(1);
    if (redo) m_window->Redo();
    EXPECT_EQ(m_window->GetMoveOffset().x, 0);
    EXPECT_EQ(m_window->GetMoveOffset().y, 0);
    EXPECT_FALSE(m_view.Calls(QStringLiteral("SetPromptText")).isEmpty());
    // The next drag reads its own move only.
    const int startX = StartOf(moved).x;
    Drag(DeviceOf({startX, P(0, 50).y}), DeviceOf({startX + P(10, 0).x, P(0, 50).y}));
    EXPECT_EQ(g_readoutMove.x, P(10, 0).x);
    EXPECT_EQ(StartOf(moved).x, startX + P(10, 0).x);
    m_window->Undo(1);
  }
}

TEST_F(MoveToolTest, MoveAPointTakesEverythingThatMeetsThereSplitAPointOnlyOne) {
  const struct {
    const char* name;
    int subMode;
    DrawingPoint otherStart;
  } cases[] = {
      {"move a point", kMovePoint, P(70, 80)},
      {"split a point", kSplitPoint, P(50, 50)},
  };
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    CDrawItem* first = AddLine(0, 50, 50, 50);
    CDrawItem* second = AddLine(50, 50, 50, 0);
    g_snapMode = kSnapHunt;
    Use(kToolMove, c.subMode);
    Repaint();
    // Nearer to the first line than to the second.
    Drag(Px(48, 51), Px(70, 80));
    ExpectEnds(first, P(0, 50), P(70, 80), c.name);
    ExpectEnds(second, c.otherStart, P(50, 0), c.name);
    ExpectGestureClosed(c.name);
    EXPECT_EQ(m_window->GetPickCount(), 0) << c.name;
    EXPECT_EQ(m_window->GetGripCount(), 0) << c.name;
    EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 0) << c.name;
    ExpectCleanScreen();
    UndoOnce();
    ExpectEnds(first, P(0, 50), P(50, 50), c.name);
    ExpectEnds(second, P(50, 50), P(50, 0), c.name);
  }
}

TEST_F(MoveToolTest, MoveAPointOnAShapeMovesTheWholeShape) {
  // Two lines of one shape and a loose line meeting the shape at a corner.
  CDrawItem* side1 = AddLine(0, 0, 40, 0, 9);
  CDrawItem* side2 = AddLine(40, 0, 40, 30, 9);
  CDrawItem* loose = AddLine(0, 0, 0, 60);
  g_snapMode = kSnapNone;
  Use(kToolMove, kMovePoint);
  Drag(Px(40, 30), Px(50, 40));
  ExpectEnds(side1, P(10, 10), P(50, 10), "shape");
  ExpectEnds(side2, P(50, 10), P(50, 40), "shape");
  // Only what meets at the grabbed point goes along, not what meets the shape elsewhere.
  ExpectEnds(loose, P(0, 0), P(0, 60), "loose line");
  ExpectGestureClosed("shape");
}

TEST_F(MoveToolTest, DragOutALineKeepsItsDirectionAndGivesTheMoveAngleBack) {
  const struct {
    const char* name;
    QPoint to;
    double length;  // in pixels
    int angleSet;
  } cases[] = {
      {"lengthened", Px(80, 40), 50.0 + 38.0, 0},
      {"shortened", Px(20, 10), 50.0 - 28.0, 0},
      {"a fixed move angle does not count", Px(80, 40), 50.0 + 38.0, 1},
  };
  const double s = Scale();
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 0, 40, 30);
    g_snapMode = kSnapHunt;
    g_moveAngle = 1.0;
    g_moveAngleSet = c.angleSet;
    Use(kToolMove, kDragOutLine);
    Repaint();
    Drag(Px(40, 30), c.to);
    const DrawingPoint end = EndOf(line);
    ExpectEnds(line, P(0, 0), end, c.name);
    EXPECT_NEAR(std::hypot(end.x, end.y) / s, c.length, 0.01) << c.name;
    // Still on the line's own direction (3, 4 triangle): within the truncation of one move.
    EXPECT_LE(std::abs(3.0 * end.x - 4.0 * end.y), 5.0 * 2) << c.name;
    EXPECT_EQ(g_moveAngle, 1.0) << c.name;
    EXPECT_EQ(g_moveAngleSet, c.angleSet) << c.name;
    ExpectGestureClosed(c.name);
    ExpectCleanScreen();
  }
}

TEST_F(MoveToolTest, AGestureCutShortLeavesTheDrawingAndTheMoveAngleAsTheyWere) {
  for (const int subMode : {kMoveItem, kMovePoint, kDragOutLine, kSplitPoint}) {
    SCOPED_TRACE(subMode);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 0, 40, 30);
    g_moveAngle = 0.5;
    g_moveAngleSet = 0;
    g_snapMode = kSnapNone;
    const int steps = m_doc.GetJournal().undoCount;
    Use(kToolMove, subMode);
    Repaint();
    PressAndHold(Px(39, 29), Px(70, 60));
    ASSERT_NE(EndOf(line).x, P(40, 0).x) << "the drag has moved something";
    m_window->CancelOperation();
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, Px(70, 60));
    ExpectEnds(line, P(0, 0), P(40, 30), "cut short");
    EXPECT_EQ(g_moveAngle, 0.5);
    EXPECT_EQ(m_doc.GetJournal().undoCount, steps) << "no undo step is left behind";
    ExpectGestureClosed("cut short");
    EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 0);
    ExpectCleanScreen();
  }
}

TEST_F(MoveToolTest, ChosenItemsOrPointsStayChosenWhenADragIsCutShort) {
  for (const int subMode : {kMoveItems, kMovePoints}) {
    SCOPED_TRACE(subMode);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 0, 40, 30);
    g_snapMode = kSnapNone;
    Use(kToolMove, subMode);
    Click(Px(39, 29));
    Ok();
    ASSERT_EQ(g_moveDragging, 1);
    const int grips = m_window->GetGripCount();
    Repaint();
    PressAndHold(Px(39, 29), Px(70, 60));
    ASSERT_EQ(EndOf(line).x, P(70, 0).x) << "the drag has moved the end";
    m_window->CancelOperation();
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, Px(70, 60));
    ExpectEnds(line, P(0, 0), P(40, 30), "cut short");
    ExpectGestureClosed("cut short");
    EXPECT_EQ(m_window->GetGripCount(), grips);
    ExpectCleanScreen();
    // The next drag moves them as before.
    Drag(Px(39, 29), Px(50, 40));
    EXPECT_EQ(EndOf(line).x, P(50, 0).x);
    EXPECT_EQ(EndOf(line).y, P(0, 40).y);
  }
}

TEST_F(MoveToolTest, ARepaintMidDragShowsTheMovingItemsAsTheDragDoes) {
  for (const int subMode :
       {kMoveItem, kMoveItems, kMovePoint, kMovePoints, kDragOutLine, kSplitPoint}) {
    SCOPED_TRACE(subMode);
    m_doc.ClearDrawing();
    AddLine(0, 0, 40, 30);
    // Exclusive-or over the paper looks like the line itself; where the moving line crosses
    // this one it does not.
    AddLine(50, -10, 50, 80);
    g_snapMode = kSnapNone;
    Use(kToolMove, subMode);
    if (subMode == kMoveItems || subMode == kMovePoints) {
      Click(Px(39, 29));
      Ok();
    }
    Repaint();
    PressAndHold(Px(39, 29), Px(60, 40));
    const QImage shown = m_window->BackBuffer().copy();
    Repaint();
    EXPECT_EQ(m_window->BackBuffer(), shown) << "the moving items are still in exclusive-or";
    // The next step of the drag leaves no trace where the items were, nor does the release.
    QTest::mouseMove(m_window.get(), Px(70, 45));
    const QImage moved = m_window->BackBuffer().copy();
    Repaint();
    EXPECT_EQ(m_window->BackBuffer(), moved) << "a trace of the repainted items";
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, Px(70, 45));
    ExpectGestureClosed("released");
    ExpectCleanScreen();
  }
}

TEST_F(MoveToolTest, LeavingTheWindowWhileDraggingLeavesNoTrace) {
  for (const int subMode :
       {kMoveItem, kMoveItems, kMovePoint, kMovePoints, kDragOutLine, kSplitPoint}) {
    SCOPED_TRACE(subMode);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 0, 40, 30);
    AddLine(0, 60, 80, 60);
    g_snapMode = kSnapNone;
    Use(kToolMove, subMode);
    if (subMode == kMoveItems || subMode == kMovePoints) {
      Click(Px(39, 29));
      Ok();
    }
    Repaint();
    m_window->OnMouseMove(0, Px(39, 29));
    m_window->OnLButtonDown(kMkLButton, Px(39, 29));
    m_window->OnMouseMove(kMkLButton, Px(60, 40));
    m_window->OnMouseMove(kMkLButton, QPoint(kWidth + 30, 40));
    m_window->OnMouseMove(kMkLButton, Px(80, 45));
    m_window->OnLButtonUp(0, Px(80, 45));
    EXPECT_GT(EndOf(line).x, P(60, 0).x) << "the end went on after coming back";
    ExpectGestureClosed("back inside");
    ExpectCleanScreen();
  }
}

TEST_F(MoveToolTest, MovePointsChosenByBandAndClickMoveAfterOk) {
  CDrawItem* first = AddLine(0, 50, 60, 50);
  CDrawItem* second = AddLine(60, 50, 60, 0);
  CDrawItem* third = AddLine(0, 90, 60, 90);
  g_snapMode = kSnapNone;
  Use(kToolMove, kMovePoints);
  EXPECT_EQ(m_window->GetActionId(), 54);
  // A band round the corner takes both ends that meet there.
  Band(Px(50, 60), Px(70, 40));
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 2);
  EXPECT_EQ(m_window->GetGripCount(), 1);
  // A click at the far end of the third line takes it too; a second click lets it go again.
  Click(Px(61, 91));
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 3);
  Click(Px(61, 91));
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 2);
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
            QStringLiteral("EnableOKButton 1"));
  Click(Px(61, 91));
  // Shift with a band lets the corner go.
  Band(Px(50, 60), Px(70, 40), kMkShift);
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 1);
  Band(Px(50, 60), Px(70, 40));
  ASSERT_EQ(m_doc.GetSelectedPoints().GetCount(), 3);

  Ok();
  ASSERT_EQ(g_moveDragging, 1);
  EXPECT_EQ(m_window->GetPickCount(), 3);
  // From the corner, the nearest chosen point; a second drag goes on from there.
  Drag(Px(58, 48), Px(70, 40));
  Drag(Px(70, 40), Px(75, 45));
  ExpectEnds(first, P(0, 50), P(75, 45), "first");
  ExpectEnds(second, P(75, 45), P(60, 0), "second");
  ExpectEnds(third, P(0, 90), P(75, 85), "third");
  EXPECT_EQ(g_readoutMove.x, P(15, 0).x) << "the read-out shows the total since OK";
  EXPECT_EQ(g_readoutMove.y, P(0, -5).y);
  ExpectGestureClosed("dragged");
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 3) << "the points stay chosen";
  ExpectCleanScreen();

  m_window->Undo(1);
  ExpectEnds(first, P(0, 50), P(70, 40), "one undo");
  ExpectEnds(third, P(0, 90), P(70, 80), "one undo");
  EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 3);
  m_window->Undo(1);
  ExpectEnds(first, P(0, 50), P(60, 50), "two undos");
  ExpectEnds(second, P(60, 50), P(60, 0), "two undos");
}

TEST_F(MoveToolTest, RestartDropsWhatWasChosen) {
  const struct {
    const char* name;
    int subMode;
  } cases[] = {{"items", kMoveItems}, {"points", kMovePoints}};
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(0, 50, 60, 50);
    g_snapMode = kSnapNone;
    Use(kToolMove, c.subMode);
    Click(Px(1, 51));
    Ok();
    ASSERT_EQ(g_moveDragging, 1) << c.name;
    m_view.calls.clear();
    Restart();
    EXPECT_EQ(g_moveDragging, 0) << c.name;
    EXPECT_EQ(m_window->GetPickCount(), 0) << c.name;
    EXPECT_EQ(m_window->GetGripCount(), 0) << c.name;
    EXPECT_EQ(m_doc.GetSelectedPoints().GetCount(), 0) << c.name;
    EXPECT_TRUE(m_view.calls.contains(
        QStringLiteral("SetAction %1 0").arg(c.subMode == kMoveItems ? 50 : 54)))
        << c.name;
    // A drag now chooses again instead of moving.
    Drag(Px(1, 51), Px(30, 20));
    ExpectEnds(line, P(0, 50), P(60, 50), c.name);
    ExpectGestureClosed(c.name);
  }
}

TEST_F(MoveToolTest, MoveItemsPressWithNothingPickedIsAGlitch) {
  AddLine(0, 50, 60, 50);
  Use(kToolMove, kMoveItems);
  g_moveDragging = 1;
  Drag(Px(1, 51), Px(30, 20));
  ExpectGlitch(2467, 1);
  ExpectGestureClosed("nothing picked");
}

}  // namespace
}  // namespace zeph::testing
