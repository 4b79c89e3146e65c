// Rotate, Reflect, Enlarge and Stretch driven with the mouse: the items chosen, OK pressed,
// and the centre or line placed by a click whose release applies the transform at once, as
// one undo step; the protected shapes and texts Stretch and Reflect leave alone, and a
// document that refuses part-way.
#include "document/undo.h"
#include "drawtools_fixture.h"
#include "editor/tickelements.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "support/filestatus.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

constexpr int kMessageShapesProtected = 69;
constexpr int kJournalFullQuestion = 276;

QString TransformStrings(int id) {
  if (id == kMessageShapesProtected) {
    return QStringLiteral("Warning:\nShapes are protected so that\nthey cannot be stretched.");
  }
  return {};
}

class TransformToolTest : public DrawToolTest {
 protected:
  void SetUp() override {
    DrawToolTest::SetUp();
    ResetValuesBarParameters();
    InstallEditorPromptParts();
    SetStringTable(&TransformStrings);
  }
  void TearDown() override {
    SetStringTable(nullptr);
    SetPromptHandlers(nullptr);
    SetObjectListFactory(nullptr);
    g_journalAllocationLimit = kJournalLimit;
    CZephDoc::SetItemListLimitForTest(kItemListLimit);
    DrawToolTest::TearDown();
    ResetValuesBarParameters();
  }

  // The tool with its count and whether the originals stay; new objects never.
  void UseTransform(int tool, int actions, int keepOriginals) {
    Use(tool);
    g_actionCount = static_cast<std::uint16_t>(actions);
    g_keepOriginals = keepOriginals;
    g_makeNewObject = 0;
  }
  void PressOk() { GetPromptHandlers().OnPromptOK(*m_window); }
  // The line from device point a to b, in the colour, optionally in a shape's group.
  CDrawItem* AddLine(QPoint a, QPoint b, int group = 0) {
    const DrawingPoint p = At(a);
    const DrawingPoint q = At(b);
    DrawItemPtr line = MakeLine(p.x, p.y, q.x, q.y);
    line->SetGroupNumber(group);
    CDrawItem* raw = line.get();
    Add(std::move(line));
    return raw;
  }
  QString LastMessage() const {
    return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
  }
  // The window after the tool's repaint: no overlay of the placing is left.
  void ExpectPlacingGone() {
    m_window->UpdateWindow();
    EXPECT_EQ(m_window->GetMarkCount(), 0);
    EXPECT_EQ(m_window->GetGuidePosition(), -1);
    ExpectCleanScreen();
  }
  // The gesture ended with the choice: nothing dormant, nothing chosen, the group closed.
  void ExpectChoiceEnded() {
    EXPECT_EQ(m_window->GetClickStep(), 0);
    EXPECT_EQ(m_window->IsSelectionShown(), 0);
    EXPECT_EQ(m_window->GetChosenCount(), 0);
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      EXPECT_EQ(m_doc.GetItem(i)->IsSelected(), 0) << "item " << i;
    }
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  }
};

// Centre K and the line from K 40 pixels to the right.
constexpr QPoint kCentre{60, 100};
constexpr QPoint kLineEnd{100, 100};

TEST_F(TransformToolTest, RotateThreeActionsAtTheReleaseKeepingOrNotKeepingTheOriginals) {
  const int s = Scale();
  const struct {
    int keep;
    // The far end of every line afterwards, in pixels from K (drawing y grows upwards).
    std::vector<QPoint> ends;
  } cases[] = {
      // The original stays; each action turns the previous copy a further quarter.
      {1, {{40, 0}, {0, 40}, {-40, 0}, {0, -40}}},
      // Three quarter turns of the line itself.
      {0, {{0, -40}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keep);
    m_doc.ClearDrawing();
    CDrawItem* line = AddLine(kCentre, kLineEnd);
    const DrawingPoint k = At(kCentre);
    UseTransform(kToolRotate, 3, c.keep);
    g_rotateAngle = std::numbers::pi / 2.0;
    g_rotateAngleSet = 1;
    Click({80, 100});
    EXPECT_EQ(m_window->GetChosenCount(), 1);
    EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
              QStringLiteral("EnableOKButton 1"));
    PressOk();
    EXPECT_EQ(m_window->GetClickStep(), 3);
    m_view.calls.clear();
    // The press and release on K, and no further mouse event: the release itself rotates.
    Click(kCentre);
    EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).first(),
              QStringLiteral("EnableOKButton 0"));
    EXPECT_EQ(m_view.Calls(QStringLiteral("ShowPointValues")).last(),
              QStringLiteral("ShowPointValues %1 %2 0").arg(k.x).arg(k.y));
    ASSERT_EQ(m_doc.GetItemCount(), static_cast<int>(c.ends.size()));
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      const CDrawItem* item = m_doc.GetItem(i);
      EXPECT_EQ(Distance(StartOf(item), k), 0.0) << i;
      EXPECT_NEAR(EndOf(item).x - k.x, c.ends[static_cast<std::size_t>(i)].x() * s, 1.0) << i;
      EXPECT_NEAR(EndOf(item).y - k.y, c.ends[static_cast<std::size_t>(i)].y() * s, 1.0) << i;
    }
    if (c.keep != 0) {
      EXPECT_EQ(m_doc.GetItem(0), line) << "the original itself stays";
    }
    ExpectChoiceEnded();
    EXPECT_TRUE(m_view.calls.contains(QStringLiteral("ShowObjectList 1")));
    EXPECT_TRUE(m_view.calls.contains(QStringLiteral("SetAction 49 0")));
    EXPECT_EQ(m_window->GetPromptId(), 162);
    ExpectPlacingGone();
    // One Undo takes back all three actions.
    UndoOnce();
    ASSERT_EQ(m_doc.GetItemCount(), 1);
    EXPECT_EQ(Distance(StartOf(m_doc.GetItem(0)), k), 0.0);
    EXPECT_EQ(Distance(EndOf(m_doc.GetItem(0)), At(kLineEnd)), 0.0);
  }
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(TransformToolTest, ReflectNeverChoosesTextsAndShowsOnlyTheCoordinateThatMatters) {
  const struct {
    int direction;  // 0 a vertical mirror line, 1 a horizontal one
    int readout;    // 1 x only, 2 y only
  } cases[] = {{0, 1}, {1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.direction);
    m_doc.ClearDrawing();
    AddLine({40, 110}, {80, 90});
    DrawItemPtr made = CreateItem(kItemText);
    const DrawingPoint textAt = At({100, 60});
    made->SetPosition(textAt.x, textAt.y);
    ASSERT_EQ(made->SetText(QStringLiteral("abc")), 1);
    CDrawItem* text = made.get();
    Add(std::move(made));
    const DrawingPoint a = StartOf(m_doc.GetItem(0));
    const DrawingPoint b = EndOf(m_doc.GetItem(0));

    UseTransform(kToolReflect, 1, 0);
    g_reflectDirection = static_cast<std::uint8_t>(c.direction);
    // A click on the text takes the nearest item that is not a text; a band over both takes
    // the line alone.
    Click({102, 58});
    EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 0);
    EXPECT_EQ(text->IsSelected(), 1);
    Drag({20, 20}, {180, 130});
    EXPECT_EQ(text->IsSelected(), 1);
    EXPECT_EQ(m_window->GetChosenCount(), 1);
    PressOk();
    EXPECT_EQ(m_window->GetPromptId(), 167);

    // Placing the line: the line follows the mouse, with a mark on the point.
    const QPoint mirror{140, 40};
    const DrawingPoint p = At(mirror);
    m_view.calls.clear();
    QTest::mouseMove(m_window.get(), mirror);
    EXPECT_EQ(
        m_view.Calls(QStringLiteral("ShowPointValues")),
        QStringList{QStringLiteral("ShowPointValues %1 %2 %3").arg(p.x).arg(p.y).arg(c.readout)});
    EXPECT_EQ(m_window->GetGuidePosition(), c.direction == 0 ? mirror.x() : mirror.y());
    EXPECT_EQ(m_window->GetMarkCount(), 1);
    EXPECT_NE(c.direction == 0 ? Pixel(mirror.x(), 5) : Pixel(5, mirror.y()), Background());

    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, mirror);
    const CDrawItem* line = m_doc.GetItem(0);
    const DrawingPoint a2 = StartOf(line);
    const DrawingPoint b2 = EndOf(line);
    if (c.direction == 0) {
      EXPECT_EQ(a2.x, 2 * p.x - a.x);
      EXPECT_EQ(b2.x, 2 * p.x - b.x);
      EXPECT_EQ(a2.y, a.y);
      EXPECT_EQ(b2.y, b.y);
    } else {
      EXPECT_EQ(a2.y, 2 * p.y - a.y);
      EXPECT_EQ(b2.y, 2 * p.y - b.y);
      EXPECT_EQ(a2.x, a.x);
      EXPECT_EQ(b2.x, b.x);
    }
    int x = 0;
    int y = 0;
    text->GetPosition(x, y);
    EXPECT_EQ(x, textAt.x);
    EXPECT_EQ(y, textAt.y);
    ExpectChoiceEnded();
    EXPECT_EQ(m_window->GetPromptId(), 166);
    ExpectPlacingGone();
  }
}

TEST_F(TransformToolTest, StretchWarnsOnceAboutShapesAndStretchesOnlyThePlainLine) {
  const int s = Scale();
  CDrawItem* side1 = AddLine({40, 60}, {80, 60}, 3);
  CDrawItem* side2 = AddLine({80, 60}, {80, 30}, 3);
  AddLine({40, 100}, {80, 100});
  UseTransform(kToolStretch, 1, 0);
  g_stretchDirection = 1;  // along x
  g_stretchFactor = 2.0;
  g_stretchFactorSet = 1;

  Click({60, 61});
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(LastMessage(), TransformStrings(kMessageShapesProtected));
  EXPECT_EQ(m_window->IsSelectionShown(), 0);
  Click({81, 45});
  // A band around the shape alone chooses nothing of it.
  Drag({30, 20}, {90, 70});
  EXPECT_EQ(m_presenter.shown().size(), 1u) << "the warning is given once";
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
            QStringLiteral("EnableOKButton 0"));

  // A band over everything takes the plain line; the stretch leaves the shape alone.
  Drag({30, 20}, {120, 120});
  EXPECT_EQ(m_window->GetChosenCount(), 1);
  const DrawingPoint shapeEnds[] = {StartOf(side1), EndOf(side1), StartOf(side2), EndOf(side2)};
  PressOk();
  const QPoint fixed{50, 10};
  m_view.calls.clear();
  Click(fixed);
  EXPECT_EQ(m_view.Calls(QStringLiteral("ShowPointValues")).last(),
            QStringLiteral("ShowPointValues %1 %2 1").arg(At(fixed).x).arg(At(fixed).y));
  const CDrawItem* plain = m_doc.GetItem(2);
  // x distances from the fixed line double: 10 and 30 pixels become 20 and 60.
  EXPECT_EQ(StartOf(plain).x - At(fixed).x, -20 * s);
  EXPECT_EQ(EndOf(plain).x - At(fixed).x, 60 * s);
  EXPECT_EQ(StartOf(plain).y, At({40, 100}).y);
  const DrawingPoint shapeAfter[] = {StartOf(side1), EndOf(side1), StartOf(side2), EndOf(side2)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Distance(shapeAfter[i], shapeEnds[i]), 0.0) << i;
  EXPECT_EQ(m_window->GetPromptId(), 168);
  ExpectChoiceEnded();
  ExpectPlacingGone();
}

TEST_F(TransformToolTest, EnlargeByTwoDoublesDistancesFromThePointAndOneUndoRestores) {
  const int s = Scale();
  AddLine({60, 100}, {100, 80});
  DrawItemPtr circle = CreateItem(kItemCircle);
  const DrawingPoint c0 = At({120, 60});
  circle->SetCentre(c0.x, c0.y);
  circle->SetRadius(10 * s);
  circle->SetColour(static_cast<int>(kRed));
  Add(std::move(circle));
  const DrawingPoint a = StartOf(m_doc.GetItem(0));
  const DrawingPoint b = EndOf(m_doc.GetItem(0));

  UseTransform(kToolEnlarge, 1, 0);
  g_enlargeFactor = 2.0;
  g_enlargeFactorSet = 1;
  Drag({30, 30}, {150, 120});
  EXPECT_EQ(m_window->GetChosenCount(), 2);
  PressOk();
  EXPECT_EQ(m_window->GetPromptId(), 165);
  const QPoint centre{40, 120};
  const DrawingPoint p = At(centre);
  Click(centre);

  const auto doubled = [&p](const DrawingPoint& q) {
    return DrawingPoint{2 * q.x - p.x, 2 * q.y - p.y};
  };
  EXPECT_EQ(Distance(StartOf(m_doc.GetItem(0)), doubled(a)), 0.0);
  EXPECT_EQ(Distance(EndOf(m_doc.GetItem(0)), doubled(b)), 0.0);
  DrawingPoint centreAfter;
  m_doc.GetItem(1)->GetCentre(centreAfter.x, centreAfter.y);
  EXPECT_LE(Distance(centreAfter, doubled(c0)), 1.0);
  EXPECT_NEAR(m_doc.GetItem(1)->GetRadius(), 20 * s, 1);
  EXPECT_EQ(m_window->GetPromptId(), 164);
  ExpectChoiceEnded();
  ExpectPlacingGone();

  UndoOnce();
  EXPECT_EQ(Distance(StartOf(m_doc.GetItem(0)), a), 0.0);
  EXPECT_EQ(Distance(EndOf(m_doc.GetItem(0)), b), 0.0);
  m_doc.GetItem(1)->GetCentre(centreAfter.x, centreAfter.y);
  EXPECT_EQ(Distance(centreAfter, c0), 0.0);
  EXPECT_EQ(m_doc.GetItem(1)->GetRadius(), 10 * s);
}

TEST_F(TransformToolTest, CancellingWhileTheLineIsPlacedTakesItAndTheMarkOff) {
  AddLine(kCentre, kLineEnd);
  const DrawingPoint a = StartOf(m_doc.GetItem(0));
  UseTransform(kToolReflect, 1, 0);
  Click({80, 100});
  PressOk();
  QTest::mouseMove(m_window.get(), {140, 40});
  ASSERT_NE(m_window->GetGuidePosition(), -1);
  m_window->CancelOperation();
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(Distance(StartOf(m_doc.GetItem(0)), a), 0.0);
  ExpectPlacingGone();
}

TEST_F(TransformToolTest, ADocumentRefusingPartWayShowsMessage224AndEndsTheChoiceCleanly) {
  const struct {
    const char* name;
    bool journalRefuses;  // otherwise the item list is full after the first copy
    int itemsAfter;       // beside the fillers
  } cases[] = {
      // The user declines to go on without undo: everything the actions did is taken back.
      {"journal refused", true, 1},
      // The first action's copy is kept, and one Undo takes it back.
      {"list full", false, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    m_doc.ClearDrawing();
    m_presenter.Clear();
    CZephDoc::SetItemListLimitForTest(kItemListLimit);
    g_journalAllocationLimit = kJournalLimit;
    CDrawItem* line = AddLine(kCentre, kLineEnd);
    int fillers = 0;
    if (!c.journalRefuses) {
      // Far away lines fill the list to one short of what it can hold.
      m_doc.EnableUndo(0);
      while (m_doc.GetItemCount() < static_cast<int>(kItemListFirstCapacity) - 1) {
        Add(MakeLine(400000, 400000, 401000, 401000));
        ++fillers;
      }
      m_doc.EnableUndo(1);
      CZephDoc::SetItemListLimitForTest(kItemListFirstCapacity);
    }
    UseTransform(kToolRotate, 3, 1);
    g_rotateAngle = std::numbers::pi / 2.0;
    g_rotateAngleSet = 1;
    Click({80, 100});
    ASSERT_EQ(m_window->GetChosenCount(), 1);
    PressOk();
    if (c.journalRefuses) {
      m_doc.FreeJournalRecords(0);
      const_cast<CUndoJournal&>(m_doc.GetJournal()).capacity = 0;
      g_journalAllocationLimit = 0;
      m_presenter.QueueAnswer(kIdNo);
    }
    Click(kCentre);
    ASSERT_FALSE(m_presenter.shown().empty());
    if (c.journalRefuses) {
      EXPECT_EQ(m_presenter.shown().front().text, LoadProgramString(kJournalFullQuestion));
    }
    EXPECT_EQ(LastMessage(), LoadProgramString(kIdsNotEnoughMemory));
    EXPECT_EQ(m_doc.GetItemCount() - fillers, c.itemsAfter);
    EXPECT_EQ(m_doc.GetItem(0), line);
    EXPECT_EQ(Distance(EndOf(line), At(kLineEnd)), 0.0) << "the original stays where it was";
    // The original made dormant by the refused action is chosen no longer and not dormant.
    ExpectChoiceEnded();
    EXPECT_EQ(m_window->GetPromptId(), 162);
    ExpectPlacingGone();
    if (!c.journalRefuses) {
      const CDrawItem* copy = m_doc.GetItem(m_doc.GetItemCount() - 1);
      EXPECT_NEAR(EndOf(copy).y - At(kCentre).y, 40.0 * Scale(), 1.0);
      UndoOnce();
      EXPECT_EQ(m_doc.GetItemCount() - fillers, 1);
    }
  }
}

}  // namespace
}  // namespace zeph::testing
