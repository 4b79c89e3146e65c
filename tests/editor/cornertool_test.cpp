// The Corner tool driven with the mouse: the corner found or the message why not, a fixed
// fillet or chamfer that cuts both lines back by the right amount, the size dragged out, and
// the whole change taken back by one Undo.
#include <array>
#include <vector>

#include "drawtools_fixture.h"
#include "editor/valuesbarparams.h"
#include "items/arcitem.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

class CornerToolTest : public DrawToolTest {
 protected:
  // Two lines meeting at a right angle at K: L1 runs 80 pixels in from the right, L2 40
  // pixels up from K.
  static constexpr QPoint kCorner{60, 100};
  static constexpr QPoint kFar1{140, 100};
  static constexpr QPoint kFar2{60, 60};

  void AddRightAngle() {
    const DrawingPoint k = At(kCorner);
    const DrawingPoint f1 = At(kFar1);
    const DrawingPoint f2 = At(kFar2);
    Add(MakeLine(f1.x, f1.y, k.x, k.y));
    Add(MakeLine(k.x, k.y, f2.x, f2.y, kBlue));
  }
  QString LastMessage() const {
    return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
  }
  // The ends of the two lines, in order, as the drawing holds them.
  std::vector<DrawingPoint> LineEnds() const {
    std::vector<DrawingPoint> ends;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      const CDrawItem* item = m_doc.GetItem(i);
      if (item->GetType() != kItemLine) continue;
      ends.push_back(StartOf(item));
      ends.push_back(EndOf(item));
    }
    return ends;
  }
  static bool Same(const std::vector<DrawingPoint>& a, const std::vector<DrawingPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    }
    return true;
  }
};

TEST_F(CornerToolTest, NoCornerToWorkOnGivesMessage64AndChangesNothing) {
  const int s = Scale();
  const struct {
    const char* name;
    std::vector<std::array<int, 4>> lines;  // in pixels from the drawing's origin
  } cases[] = {
      {"no lines", {}},
      {"one line", {{{0, 0, 50, 0}}}},
      {"apart", {{{0, 0, 50, 0}}, {{0, 20, 50, 60}}}},
      {"running straight on", {{{0, 0, 50, 0}}, {{50, 0, 100, 0}}}},
  };
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    m_presenter.Clear();
    for (const auto& l : c.lines) Add(MakeLine(l[0] * s, l[1] * s, l[2] * s, l[3] * s));
    const auto before = LineEnds();
    Use(kToolCorner, 0);
    Click({60, 100});
    ASSERT_EQ(m_presenter.shown().size(), 1u) << c.name;
    EXPECT_EQ(LastMessage(), LoadProgramString(64)) << c.name;
    EXPECT_TRUE(Same(LineEnds(), before)) << c.name;
    EXPECT_EQ(m_doc.GetItemCount(), static_cast<int>(c.lines.size())) << c.name;
    EXPECT_EQ(m_window->GetClickStep(), 0) << c.name;
    EXPECT_EQ(m_doc.GetJournal().groupState, 0) << c.name << ": the undo group is closed";
  }
}

TEST_F(CornerToolTest, FixedSizeTooLargeGivesItsMessageAndLeavesTheLines) {
  const int s = Scale();
  AddRightAngle();
  const auto before = LineEnds();
  // The shorter leg is 40 pixels: a fillet radius of 41 and a chamfer that cuts back 41 are
  // too large.
  const struct {
    int subMode;
    double size;
    int message;
  } cases[] = {{0, 41.0 * s, 65}, {1, 41.0 * s * std::sqrt(2.0), 66}};
  for (const auto& c : cases) {
    m_presenter.Clear();
    g_filletRadiusSet = c.subMode == 0 ? 1 : 0;
    g_filletRadius = c.size;
    g_chamferLengthSet = c.subMode == 1 ? 1 : 0;
    g_chamferLength = c.size;
    Use(kToolCorner, c.subMode);
    Click(kCorner);
    ASSERT_EQ(m_presenter.shown().size(), 1u) << c.subMode;
    EXPECT_EQ(LastMessage(), LoadProgramString(c.message));
    EXPECT_TRUE(Same(LineEnds(), before)) << c.subMode;
    EXPECT_EQ(m_doc.GetItemCount(), 2);
    EXPECT_EQ(m_window->GetClickStep(), 0);
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  }
}

TEST_F(CornerToolTest, FixedFilletAndChamferCutBothLinesBackAndOneUndoRestoresThem) {
  const int s = Scale();
  AddRightAngle();
  Repaint();
  const auto before = LineEnds();
  const DrawingPoint k = At(kCorner);
  const struct {
    int subMode;
    double size;
    double cut;  // how far each line is cut back from K
  } cases[] = {{0, 20.0 * s, 20.0 * s}, {1, 20.0 * s, 20.0 * s / std::sqrt(2.0)}};
  for (const auto& c : cases) {
    g_filletRadiusSet = c.subMode == 0 ? 1 : 0;
    g_filletRadius = c.size;
    g_chamferLengthSet = c.subMode == 1 ? 1 : 0;
    g_chamferLength = c.size;
    Use(kToolCorner, c.subMode);
    Click(kCorner);
    EXPECT_TRUE(m_presenter.shown().empty()) << c.subMode;
    ASSERT_EQ(m_doc.GetItemCount(), 3) << c.subMode;
    const CDrawItem* l1 = m_doc.GetItem(0);
    const CDrawItem* l2 = m_doc.GetItem(1);
    const CDrawItem* added = m_doc.GetItem(2);
    // L1 comes in from the right, L2 leaves upwards (drawing y grows upwards).
    EXPECT_NEAR(EndOf(l1).x - k.x, c.cut, 1.0) << c.subMode;
    EXPECT_EQ(EndOf(l1).y, k.y);
    EXPECT_EQ(StartOf(l2).x, k.x);
    EXPECT_NEAR(StartOf(l2).y - k.y, c.cut, 1.0) << c.subMode;
    // The new item joins the two cut ends, in L1's colour.
    const DrawingPoint ends[] = {StartOf(added), EndOf(added)};
    const DrawingPoint cutEnds[] = {EndOf(l1), StartOf(l2)};
    for (const DrawingPoint& cutEnd : cutEnds) {
      EXPECT_TRUE(Distance(ends[0], cutEnd) < 1.0 || Distance(ends[1], cutEnd) < 1.0)
          << c.subMode;
    }
    EXPECT_EQ(added->GetColour(), static_cast<int>(kRed));
    if (c.subMode == 0) {
      ASSERT_EQ(added->GetType(), kItemArc);
      double cx = 0.0;
      double cy = 0.0;
      double r = 0.0;
      added->GetCircle(cx, cy, r);
      EXPECT_NEAR(r, c.size, 2.0);
      // Tangent to both lines: the centre is r from each, inside the corner.
      EXPECT_NEAR(cx, k.x + c.size, 2.0);
      EXPECT_NEAR(cy, k.y + c.size, 2.0);
      EXPECT_NEAR(added->GetAngle(), std::numbers::pi / 2.0, 1e-6);
    } else {
      ASSERT_EQ(added->GetType(), kItemLine);
      EXPECT_NEAR(Distance(ends[0], ends[1]), c.size, 2.0);
    }
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
    ExpectCleanScreen();
    UndoOnce();
    Repaint();
    EXPECT_EQ(m_doc.GetItemCount(), 2) << c.subMode;
    EXPECT_TRUE(Same(LineEnds(), before)) << c.subMode;
  }
}

TEST_F(CornerToolTest, DraggedSizeFollowsTheCursorWithinTheShorterLeg) {
  const int s = Scale();
  AddRightAngle();
  Repaint();
  const auto before = LineEnds();
  const DrawingPoint k = At(kCorner);
  const DrawingPoint far1 = At(kFar1);
  const struct {
    QPoint release;
    int items;        // after the corner
    double cut;       // how far the longer line is cut back
  } cases[] = {
      {{80, 100}, 3, 20.0 * s},
      // On the corner: a fiftieth of the shorter leg, never nothing.
      {kCorner, 3, 40.0 * s / 50.0},
      // Beyond the shorter leg: all of it; the shorter line, now a single point, goes.
      {{140, 60}, 2, 40.0 * s},
  };
  for (const auto& c : cases) {
    Use(kToolCorner, 0);
    Click(kCorner);
    EXPECT_EQ(m_window->GetClickStep(), 3);
    EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText")).last(),
              QStringLiteral("SetPromptText 131"));
    Drag({100, 100}, c.release);
    EXPECT_EQ(m_window->GetClickStep(), 0);
    ASSERT_EQ(m_doc.GetItemCount(), c.items) << c.release.x();
    EXPECT_NEAR(EndOf(m_doc.GetItem(0)).x - k.x, c.cut, 1.0) << c.release.x();
    EXPECT_EQ(StartOf(m_doc.GetItem(0)).x, far1.x);
    EXPECT_EQ(m_doc.GetItem(c.items - 1)->GetType(), kItemArc);
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
    ExpectCleanScreen();
    UndoOnce();
    Repaint();
    EXPECT_EQ(m_doc.GetItemCount(), 2) << c.release.x();
    EXPECT_TRUE(Same(LineEnds(), before)) << c.release.x();
  }
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(CornerToolTest, CancellingTheGestureLeavesTheDrawingAndTheScreenAsBefore) {
  // Each way a gesture ends before its last release, at each point of the gesture.
  enum class Stop { kCancel, kOtherTool, kLeftWindowThenCancel, kDeactivated };
  const struct {
    const char* name;
    Stop stop;
    bool sizing;  // stopped while the size is dragged, else while the corner is chosen
    int subMode;
  } cases[] = {
      {"cancel while choosing", Stop::kCancel, false, 0},
      {"cancel while sizing a fillet", Stop::kCancel, true, 0},
      {"cancel while sizing a chamfer", Stop::kCancel, true, 1},
      {"another tool while sizing", Stop::kOtherTool, true, 0},
      {"release lost outside, then cancel", Stop::kLeftWindowThenCancel, true, 1},
      {"feedback taken away, then cancel", Stop::kDeactivated, true, 0},
  };
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    AddRightAngle();
    Repaint();
    const auto before = LineEnds();
    const int steps = m_doc.GetJournal().undoCount;
    g_filletRadiusSet = 0;
    g_chamferLengthSet = 0;
    Use(kToolCorner, c.subMode);
    if (c.sizing) {
      Click(kCorner);
      ASSERT_EQ(m_window->GetClickStep(), 3) << c.name;
      QTest::mouseMove(m_window.get(), {110, 100});
      QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {110, 100});
      QTest::mouseMove(m_window.get(), {90, 100});
      ASSERT_EQ(m_window->IsFeedbackDrawn(), 1) << c.name;
    } else {
      QTest::mouseMove(m_window.get(), kCorner);
      QTest::mousePress(m_window.get(), Qt::LeftButton, {}, kCorner);
    }
    switch (c.stop) {
      case Stop::kCancel:
        m_window->CancelOperation();
        break;
      case Stop::kOtherTool:
        Use(kToolLine);
        break;
      case Stop::kLeftWindowThenCancel:
        QTest::mouseMove(m_window.get(), {kWidth + 20, 100});
        QTest::mouseMove(m_window.get(), {80, 100});
        m_window->CancelOperation();
        break;
      case Stop::kDeactivated:
        m_window->EraseFeedback();
        QTest::mouseMove(m_window.get(), {80, 100});
        m_window->CancelOperation();
        break;
    }
    EXPECT_EQ(m_window->GetClickStep(), 0) << c.name;
    EXPECT_EQ(m_doc.GetItemCount(), 2) << c.name;
    EXPECT_TRUE(Same(LineEnds(), before)) << c.name;
    EXPECT_EQ(m_doc.GetJournal().groupState, 0) << c.name;
    EXPECT_EQ(m_doc.GetJournal().undoCount, steps) << c.name << ": no step is left to undo";
    ExpectCleanScreen();
    if (HasFailure()) return;
  }
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(CornerToolTest, AnInterruptedSizingLeavesNoTraceOnTheFinishedCorner) {
  // The size is dragged small, something takes the feedback away or paints the window, and the
  // drag goes on to a larger size: the finished corner is all the screen shows.
  enum class Break { kFeedbackTaken, kRepainted, kLeftAndBack };
  const struct {
    const char* name;
    Break interruption;
    int subMode;
  } cases[] = {
      {"feedback taken away", Break::kFeedbackTaken, 0},
      {"window repainted", Break::kRepainted, 0},
      {"window repainted, chamfer", Break::kRepainted, 1},
      {"cursor left the window and came back", Break::kLeftAndBack, 1},
  };
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    AddRightAngle();
    Repaint();
    g_filletRadiusSet = 0;
    g_chamferLengthSet = 0;
    Use(kToolCorner, c.subMode);
    Click(kCorner);
    ASSERT_EQ(m_window->GetClickStep(), 3) << c.name;
    QTest::mouseMove(m_window.get(), {70, 100});
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {70, 100});
    QTest::mouseMove(m_window.get(), {72, 100});
    switch (c.interruption) {
      case Break::kFeedbackTaken:
        m_window->EraseFeedback();
        break;
      case Break::kRepainted:
        Repaint();
        break;
      case Break::kLeftAndBack:
        QTest::mouseMove(m_window.get(), {kWidth + 20, 100});
        break;
    }
    QTest::mouseMove(m_window.get(), {85, 100});
    QTest::mouseMove(m_window.get(), {90, 100});
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, {90, 100});
    EXPECT_EQ(m_window->GetClickStep(), 0) << c.name;
    EXPECT_EQ(m_doc.GetItemCount(), 3) << c.name;
    ExpectCleanScreen();
    if (HasFailure()) return;
  }
}

TEST_F(CornerToolTest, ACornerAsLargeAsTheShorterLegRemovesThatLineInTheSameStep) {
  const int s = Scale();
  AddRightAngle();
  Repaint();
  const auto before = LineEnds();
  // The shorter line (L2, 40 pixels) is used up exactly by a radius of 40 at a right angle,
  // and by a chamfer whose cut-back is 40.
  const struct {
    int subMode;
    double size;
  } cases[] = {{0, 40.0 * s}, {1, 40.0 * s * std::sqrt(2.0)}};
  for (const auto& c : cases) {
    g_filletRadiusSet = c.subMode == 0 ? 1 : 0;
    g_filletRadius = c.size;
    g_chamferLengthSet = c.subMode == 1 ? 1 : 0;
    g_chamferLength = c.size;
    Use(kToolCorner, c.subMode);
    Click(kCorner);
    EXPECT_TRUE(m_presenter.shown().empty()) << c.subMode;
    ASSERT_EQ(m_doc.GetItemCount(), 2) << c.subMode << ": the single-point line is gone";
    EXPECT_EQ(m_doc.GetItem(0)->GetType(), kItemLine);
    EXPECT_EQ(m_doc.GetItem(1)->GetType(), c.subMode == 0 ? kItemArc : kItemLine);
    // The new item ends at the shorter line's far end.
    const DrawingPoint far2 = At(kFar2);
    const DrawingPoint ends[] = {StartOf(m_doc.GetItem(1)), EndOf(m_doc.GetItem(1))};
    EXPECT_TRUE(Distance(ends[0], far2) < 1.0 || Distance(ends[1], far2) < 1.0) << c.subMode;
    ExpectCleanScreen();
    UndoOnce();
    Repaint();
    EXPECT_EQ(m_doc.GetItemCount(), 2) << c.subMode;
    EXPECT_TRUE(Same(LineEnds(), before)) << c.subMode;
    EXPECT_EQ(m_doc.GetItem(1)->GetColour(), static_cast<int>(kBlue)) << "L2 is back";
  }
}

TEST_F(CornerToolTest, ARefusedNewItemLeavesBothLinesAsTheyWere) {
  // Two long lines meeting almost straight on at K: a fixed radius beyond the largest arc the
  // drawing takes still fits the legs, so the arc is made and then refused.
  const DrawingPoint k = At(kCorner);
  const double turn = 0.01;
  const int leg = 2000000;
  Add(MakeLine(k.x - leg, k.y, k.x, k.y));
  Add(MakeLine(k.x, k.y, k.x + static_cast<int>(leg * std::cos(turn)),
               k.y + static_cast<int>(leg * std::sin(turn)), kBlue));
  Repaint();
  const auto before = LineEnds();
  const int steps = m_doc.GetJournal().undoCount;
  g_filletRadiusSet = 1;
  g_filletRadius = 2.0 * kMaxArcRadius;
  Use(kToolCorner, 0);
  Click(kCorner);
  EXPECT_TRUE(m_presenter.shown().empty()) << "the radius fits the legs";
  EXPECT_GT(m_doc.GetJournal().undoCount, steps) << "the ends were moved, and moved back";
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_TRUE(Same(LineEnds(), before));
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  ExpectCleanScreen();
  // Undoing the step leaves the lines as they are.
  UndoOnce();
  EXPECT_TRUE(Same(LineEnds(), before));
  EXPECT_EQ(m_doc.GetJournal().undoCount, steps);
}

}  // namespace
}  // namespace zeph::testing
