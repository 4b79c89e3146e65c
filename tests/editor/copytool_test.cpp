// The Copy tool on the editing view: items chosen and taken up with the prompt's OK, rows of
// copies dragged out and placed as one undo step each, the fixed copy angle and distance, new
// objects named after the copied ones, a document that refuses part-way, and the copies being
// dragged never left behind by a lost release, a cancel, a tool change or a closed window.
#include <QTest>
#include <cmath>
#include <numbers>

#include "controls/input.h"
#include "controls/viewcontrols.h"
#include "editor/prompts.h"
#include "editor/tickelements.h"
#include "editor/viewparts.h"
#include "editor_fixture.h"
#include "support/strings.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

// 1 mm is 1000 drawing units; at zoom level 8 a pixel is 500 units, so 10 mm is 20 pixels.
constexpr int kTenMillimetres = 10000;
constexpr int kIdsActionCopyTool = 48;


// An item of a kind the program cannot make.
class CUnmakeableItem final : public CDrawItem {
 public:
  CUnmakeableItem() : CDrawItem(99) {}
};

class CopyToolTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    InstallEditorPromptParts();
    SetOptionShort(kOptionJoinDistance, 4);
    SetOptionShort(kOptionHuntDistance, 10);
    g_appActive = 1;
    SetZoom(8, 20, Drawing().height() - 20);
  }
  void TearDown() override {
    CZephDoc::SetItemListLimitForTest(kItemListLimit);
    m_view.reset();
    SetObjectListFactory(nullptr);
    SetPromptHandlers(nullptr);
    ViewTest::TearDown();
  }

  // The drawing point under a device pixel of the drawing window.
  DrawingPoint At(QPoint p) const {
    return {Mapping().DeviceToDrawingX(p.x()), Mapping().DeviceToDrawingY(p.y(), 0)};
  }
  // A red line between two device pixels, of the object.
  CDrawItem* AddLine(QPoint from, QPoint to, int object = 0) {
    const DrawingPoint a = At(from);
    const DrawingPoint b = At(to);
    DrawItemPtr line = MakeLine(a.x, a.y, b.x, b.y);
    line->SetObjectNumber(static_cast<std::int16_t>(object));
    CDrawItem* raw = line.get();
    EXPECT_EQ(m_doc.AddItem(line), 1);
    return raw;
  }
  static DrawingPoint StartOf(const CDrawItem* item) {
    DrawingPoint p;
    item->GetStart(p.x, p.y);
    return p;
  }

  void Click(QPoint p) {
    QTest::mouseMove(&Drawing(), p);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, p);
  }
  void Press(QPoint from, QPoint to) {
    QTest::mouseMove(&Drawing(), from);
    QTest::mousePress(&Drawing(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&Drawing(), to);
  }
  void Drag(QPoint from, QPoint to) {
    Press(from, to);
    QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, to);
  }
  void PushButton(int id) {
    CViewButton* button = m_view->GetPromptButton(id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // The Copy tool with the items under the points chosen and taken up with OK.
  void TakeUp(std::initializer_list<QPoint> points, int copies) {
    m_view->SelectTool(kToolCopy, -1);
    ASSERT_EQ(g_currentTool, kToolCopy);
    for (const QPoint& p : points) Click(p);
    g_actionCount = static_cast<std::uint16_t>(copies);
    PushButton(kIdPromptOK);
    ASSERT_EQ(g_copyPlacing, 1);
  }
  void ExpectCleanScreen() {
    const QImage shown = Drawing().BackBuffer().copy();
    Drawing().Invalidate();
    Drawing().UpdateWindow();
    EXPECT_EQ(Drawing().BackBuffer(), shown) << "feedback left on the screen";
  }
  QString LastMessage() const {
    return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
  }
  // The start points of the items from index first on, less the point p.
  std::vector<DrawingPoint> OffsetsFrom(int first, DrawingPoint p) const {
    std::vector<DrawingPoint> offsets;
    for (int i = first; i < m_doc.GetItemCount(); ++i) {
      const DrawingPoint s = StartOf(m_doc.GetItem(i));
      offsets.push_back({s.x - p.x, s.y - p.y});
    }
    return offsets;
  }
};

using Offsets = std::vector<DrawingPoint>;

TEST_F(CopyToolTest, RowsOfCopiesLandAtEachMultipleOfTheDragAndUndoTakesOneRowBack) {
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  TakeUp({{80, 100}}, 3);
  EXPECT_EQ(m_view->GetPromptButton(kIdPromptRestart)->text(), ViewTestStrings(kIdsSelectNewItems));
  EXPECT_EQ(Drawing().GetPromptId(), kPromptCopyGrips);
  const int grips = Drawing().GetGripCount();
  EXPECT_EQ(grips, 2);

  // Pressed beside the start's grip: the copies are dragged by that grip.
  Drag({62, 101}, {80, 100});
  ASSERT_EQ(m_doc.GetItemCount(), 4);
  EXPECT_EQ(OffsetsFrom(1, start),
            (Offsets{{kTenMillimetres, 0}, {2 * kTenMillimetres, 0}, {3 * kTenMillimetres, 0}}));
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  EXPECT_EQ(Drawing().GetPickCount(), 0);
  EXPECT_EQ(Drawing().GetClickStep(), 0);
  EXPECT_EQ(Drawing().GetGripCount(), grips) << "the chosen item's grips stay";
  ExpectCleanScreen();

  // The same item again, another way: a second row.
  g_actionCount = 2;
  Drag({60, 100}, {60, 60});
  ASSERT_EQ(m_doc.GetItemCount(), 6);
  EXPECT_EQ(OffsetsFrom(4, start), (Offsets{{0, 2 * kTenMillimetres}, {0, 4 * kTenMillimetres}}));

  Drawing().Undo(1);
  ASSERT_EQ(m_doc.GetItemCount(), 4) << "one undo takes back one row";
  EXPECT_EQ(OffsetsFrom(1, start).back().x, 3 * kTenMillimetres);
  EXPECT_EQ(g_copyPlacing, 1);
  EXPECT_EQ(Drawing().GetGripCount(), grips);
  Drawing().Undo(1);
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  ExpectCleanScreen();
}

TEST_F(CopyToolTest, FixedAngleOrDistanceConstrainsTheDragAndTheAngleWins) {
  const double pi = std::numbers::pi;
  const struct {
    const char* name;
    int angleSet;
    double angle;
    int distanceSet;
    QPoint to;  // pressed at the line's start (60, 100)
    DrawingPoint move;
  } cases[] = {
      // 20 pixels right and 10 up: projected onto the horizontal.
      {"angle", 1, 0.0, 0, {80, 90}, {kTenMillimetres, 0}},
      // Projected onto upwards from below: the move turns round.
      {"angle behind", 1, pi / 2, 0, {70, 120}, {0, -kTenMillimetres}},
      // The distance in the cursor's direction, straight up.
      {"distance", 0, 0.0, 1, {60, 80}, {0, 4000}},
      // Both: the projection onto the angle, the distance unused.
      {"both", 1, 0.0, 1, {80, 90}, {kTenMillimetres, 0}},
  };
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  g_snapMode = kSnapNone;
  TakeUp({{80, 100}}, 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Set once the items are taken up: with both set OK would copy at once.
    g_copyAngleSet = c.angleSet;
    g_copyAngle = c.angle;
    g_copyDistanceSet = c.distanceSet;
    g_copyDistance = 4000;
    const int before = m_doc.GetItemCount();
    Drag({60, 100}, c.to);
    ASSERT_EQ(m_doc.GetItemCount(), before + 2);
    EXPECT_EQ(OffsetsFrom(before, start), (Offsets{c.move, {2 * c.move.x, 2 * c.move.y}}));
    EXPECT_EQ(g_readoutMove, c.move);
  }
}

TEST_F(CopyToolTest, CopiesDraggedFarOutAndBackLandExactly) {
  // Zoomed far out, 100 copies dragged 340 pixels would lie billions of units away.
  SetZoom(1, 20, Drawing().height() - 20);
  const int s = Mapping().scaleX;
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  g_snapMode = kSnapNone;
  TakeUp({{80, 100}}, 100);
  g_copyAngleSet = 1;
  g_copyAngle = 0.0;
  Press({60, 100}, {400, 100});
  QTest::mouseMove(&Drawing(), {62, 100});
  QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {62, 100});
  ASSERT_EQ(m_doc.GetItemCount(), 101);
  const Offsets offsets = OffsetsFrom(1, start);
  for (int k = 0; k < 100; ++k) {
    EXPECT_EQ(offsets[static_cast<std::size_t>(k)], (DrawingPoint{(k + 1) * 2 * s, 0})) << k;
  }
}

TEST_F(CopyToolTest, NewObjectsAreNamedAfterTheCopiedObjects) {
  ASSERT_EQ(m_doc.SetObjectName(3, QStringLiteral("Box")), 1);
  AddLine({60, 100}, {100, 100}, 3);
  AddLine({60, 140}, {100, 140}, 5);  // unnamed
  m_view->SelectTool(kToolCopy, -1);
  g_makeNewObject = 1;
  TakeUp({{80, 100}, {80, 140}}, 2);
  Drag({60, 100}, {60, 80});
  ASSERT_EQ(m_doc.GetItemCount(), 6);
  std::vector<int> numbers;
  for (int i = 2; i < 6; ++i) numbers.push_back(m_doc.GetItem(i)->GetObjectNumber());
  for (int n : numbers) {
    EXPECT_NE(n, 3);
    EXPECT_NE(n, 5);
    EXPECT_EQ(m_doc.IsObjectListed(n), 1) << n;
  }
  EXPECT_NE(numbers[0], numbers[1]) << "each copy an object of its own";
  EXPECT_EQ(m_doc.GetObjectName(numbers[0], -1), QStringLiteral("Box 2"));
  EXPECT_EQ(m_doc.GetObjectName(numbers[1], -1), QStringLiteral("Box 3"));
  EXPECT_EQ(m_doc.GetObjectName(numbers[2], -1), QString());
  EXPECT_EQ(m_doc.GetCopyRows(), 0) << "the copy numbers are used up";
}

TEST_F(CopyToolTest, DocumentRefusingPartWayKeepsTheEarlierCopiesInOneUndoStep) {
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  // Filler far off the window, so that the list is two items short of its limit.
  for (int i = m_doc.GetItemCount(); i < static_cast<int>(kItemListFirstCapacity) - 2; ++i) {
    DrawItemPtr filler = MakeLine(-4000000, i * 100, -3990000, i * 100);
    ASSERT_EQ(m_doc.AddItem(filler), 1);
  }
  CZephDoc::SetItemListLimitForTest(kItemListFirstCapacity);
  const int before = m_doc.GetItemCount();
  TakeUp({{80, 100}}, 3);
  Drag({60, 100}, {80, 100});
  ASSERT_EQ(m_doc.GetItemCount(), before + 2);
  EXPECT_EQ(OffsetsFrom(before, start), (Offsets{{kTenMillimetres, 0}, {2 * kTenMillimetres, 0}}));
  EXPECT_EQ(LastMessage(), LoadProgramString(kIdsNotEnoughMemory));
  EXPECT_EQ(Drawing().GetPickCount(), 0);
  Drawing().Undo(1);
  EXPECT_EQ(m_doc.GetItemCount(), before);
  ExpectCleanScreen();
}

TEST_F(CopyToolTest, CopiesOfALostReleaseNeverReachTheDrawing) {
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  TakeUp({{80, 100}}, 3);
  Press({60, 100}, {70, 100});
  ASSERT_EQ(Drawing().GetPickCount(), 3);
  // Uncovered while they are dragged: the copies are painted with the rest.
  Drawing().Invalidate();
  Drawing().UpdateWindow();
  QTest::mouseMove(&Drawing(), {75, 100});
  // The release went elsewhere; the next press starts a new row.
  Drawing().OnLButtonDown(kMkLButton, {60, 100});
  EXPECT_EQ(Drawing().GetPickCount(), 3) << "the new row only";
  Drawing().OnMouseMove(kMkLButton, {60, 80});
  Drawing().OnLButtonUp(0, {60, 80});
  ASSERT_EQ(m_doc.GetItemCount(), 4);
  EXPECT_EQ(OffsetsFrom(1, start),
            (Offsets{{0, kTenMillimetres}, {0, 2 * kTenMillimetres}, {0, 3 * kTenMillimetres}}));
  ExpectCleanScreen();
}

TEST_F(CopyToolTest, CancelToolChangeOrClosedWindowDropsTheCopiesBeingDragged) {
  for (const char* ending : {"cancel", "tool change", "closed window"}) {
    SCOPED_TRACE(ending);
    m_doc.ClearDrawing();
    AddLine({60, 100}, {100, 100});
    TakeUp({{80, 100}}, 4);
    Press({60, 100}, {90, 70});
    ASSERT_EQ(Drawing().GetPickCount(), 4);
    const std::string name = ending;
    if (name == "cancel") {
      m_view->CancelOperation();
    } else if (name == "tool change") {
      m_view->SelectTool(kToolNewLine, -1);
    } else {
      m_view.reset();  // the copies go with the window; the sanitizer sees any leak
      break;
    }
    QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {90, 70});
    EXPECT_EQ(Drawing().GetPickCount(), 0);
    EXPECT_EQ(Drawing().GetClickStep(), 0);
    EXPECT_EQ(m_doc.GetItemCount(), 1);
    ExpectCleanScreen();
  }
}

TEST_F(CopyToolTest, CopiesThatCannotBeMadeAreDroppedWithMessage224) {
  AddLine({60, 100}, {100, 100});
  CUnmakeableItem odd;
  TakeUp({{80, 100}}, 2);
  Drawing().AddToCopyList(&odd);
  Drag({60, 100}, {80, 100});
  ExpectGlitch(2051, 1);  // the factory's own report of the unknown kind
  EXPECT_EQ(LastMessage(), LoadProgramString(kIdsNotEnoughMemory));
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(Drawing().GetPickCount(), 0);
  EXPECT_EQ(Drawing().GetClickStep(), 0);
  EXPECT_EQ(m_doc.MapGroupNumber(7), 7) << "group remapping is off again";
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  ExpectCleanScreen();
}

TEST_F(CopyToolTest, OkTakesTheChoiceUpAndRestartChoosesAgain) {
  AddLine({60, 100}, {100, 100});
  AddLine({60, 140}, {100, 140});
  m_view->SelectTool(kToolCopy, -1);
  CViewButton* ok = m_view->GetPromptButton(kIdPromptOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), LoadProgramString(kIdsActionCopyTool));
  EXPECT_FALSE(ok->isEnabled());
  Click({80, 100});
  EXPECT_TRUE(m_view->GetPromptButton(kIdPromptOK)->isEnabled());
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 1) << "the other line dormant";
  PushButton(kIdPromptOK);
  EXPECT_EQ(g_copyPlacing, 1);
  EXPECT_EQ(Drawing().GetCopyCount(), 1);
  EXPECT_EQ(Drawing().IsSelectionShown(), 0);
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 0);
  EXPECT_EQ(m_view->GetPromptButton(kIdPromptOK), nullptr);

  PushButton(kIdPromptRestart);
  EXPECT_EQ(g_copyPlacing, 0);
  EXPECT_EQ(Drawing().GetGripCount(), 0);
  ASSERT_NE(m_view->GetPromptButton(kIdPromptOK), nullptr);
  EXPECT_FALSE(m_view->GetPromptButton(kIdPromptOK)->isEnabled());

  // With the angle and the distance both fixed OK copies at once, and choosing goes on.
  Click({80, 140});
  g_copyAngleSet = 1;
  g_copyAngle = 0.0;
  g_copyDistanceSet = 1;
  g_copyDistance = kTenMillimetres;
  g_actionCount = 2;
  PushButton(kIdPromptOK);
  EXPECT_EQ(g_copyPlacing, 0);
  ASSERT_EQ(m_doc.GetItemCount(), 4);
  EXPECT_EQ(OffsetsFrom(2, StartOf(m_doc.GetItem(1))),
            (Offsets{{kTenMillimetres, 0}, {2 * kTenMillimetres, 0}}));
  EXPECT_EQ(Drawing().GetClickStep(), 0);
}

TEST_F(CopyToolTest, LeavingTheWindowMidDragKeepsTheChosenItemsGrips) {
  const CDrawItem* line = AddLine({60, 100}, {100, 100});
  const DrawingPoint start = StartOf(line);
  TakeUp({{80, 100}}, 1);
  ASSERT_EQ(Drawing().GetGripCount(), 2);
  Press({60, 100}, {80, 120});
  // Out of the window with the button held: the copies and their grip go, the chosen line's
  // grips stay, and the screen is what a repaint shows.
  Drawing().OnMouseMove(kMkLButton, {Drawing().width() + 10, 50});
  EXPECT_EQ(Drawing().GetGripCount(), 2);
  ExpectCleanScreen();
  // Back in, the drag goes on and the release places the copy; the grips are still there.
  QTest::mouseMove(&Drawing(), {85, 125});
  QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {85, 125});
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  const DrawingPoint to = At({85, 125});
  EXPECT_EQ(OffsetsFrom(1, start), (Offsets{{to.x - start.x, to.y - start.y}}));
  EXPECT_EQ(Drawing().GetGripCount(), 2);
  ExpectCleanScreen();
}

}  // namespace
}  // namespace zeph::testing
