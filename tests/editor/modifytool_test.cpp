// The Modify and Values tools driven with the mouse: equally near items taking turns, a shape
// kept whole, a curve's control point dragged (and put back when the curve would cross
// itself), a text edited at the clicked character, a dimension line dragged, a fill's order
// buttons, Values only informing, and the right button entering Modify.
#include <vector>

#include "drawtools_fixture.h"
#include "items/itemservices.h"
#include "items/textitem.h"
#include "items/valuefields.h"

namespace zeph::testing {
namespace {

// Lends texts a context to measure themselves with, as the editing view does.
class CImageMeasuringView final : public IEditingView {
 public:
  QImage image{8, 8, QImage::Format_RGB32};
  CImageContext dc{image};
  CDrawContext* BorrowMeasuringContext() override { return &dc; }
  void ReleaseMeasuringContext(CDrawContext*) override {}
};

class ModifyToolTest : public DrawToolTest {
 protected:
  void SetUp() override {
    DrawToolTest::SetUp();
    ResetTextEditState();
    SetEditingView(&m_measuring);
  }
  void TearDown() override {
    SetEditingView(nullptr);
    ResetTextEditState();
    DrawToolTest::TearDown();
  }

  CDrawItem* AddLine(QPoint from, QPoint to, int group = 0) {
    const DrawingPoint a = At(from);
    const DrawingPoint b = At(to);
    DrawItemPtr line = MakeLine(a.x, a.y, b.x, b.y);
    line->SetGroupNumber(group);
    CDrawItem* added = line.get();
    Add(std::move(line));
    return added;
  }
  // A curve from start to end with its control points at c0 and c1, all in pixels.
  CDrawItem* AddCurve(QPoint start, QPoint c0, QPoint c1, QPoint end) {
    DrawItemPtr curve = CreateItem(kItemBezier);
    const DrawingPoint s = At(start);
    const DrawingPoint e = At(end);
    curve->SetStart(s.x, s.y);
    curve->SetEnd(e.x, e.y);
    curve->SetControlPoint(0, At(c0).x, At(c0).y);
    curve->SetControlPoint(1, At(c1).x, At(c1).y);
    curve->SetColour(static_cast<int>(kBlue));
    CDrawItem* added = curve.get();
    Add(std::move(curve));
    return added;
  }
  static DrawingPoint ControlPoint(const CDrawItem* curve, int i) {
    double x = 0.0;
    double y = 0.0;
    curve->GetControlPoint(i, x, y);
    return {RoundToInt(x), RoundToInt(y)};
  }
  // A text typed with the Text tool at the pixel.
  CDrawItem* AddText(QPoint at, const char* characters) {
    g_textFont.SetSize(60);  // big enough to click between its letters
    Use(kToolText);
    Click(at);
    for (const char* c = characters; *c != 0; ++c) m_window->OnChar(*c, 1, 0);
    m_window->OnChar(kEditCharEnter, 1, 0);
    EXPECT_EQ(m_window->GetTextState(), kTextNone);
    return m_doc.GetItemCount() > 0 ? m_doc.GetItem(m_doc.GetItemCount() - 1) : nullptr;
  }
  // A pixel on the text's middle row at which the character index is wanted; (-1, -1) when
  // there is none.
  QPoint PixelOfCharacter(const CDrawItem* text, int wanted, QPoint at) {
    for (int dy = 0; dy < 40; ++dy) {
      for (int x = at.x(); x < kWidth; ++x) {
        m_window->SetCursorPoint(x, at.y() + dy);
        if (text->GetCharIndexAtCursor(&m_window->GetMapping()) == wanted) {
          return {x, at.y() + dy};
        }
      }
    }
    return {-1, -1};
  }
  int UndoCount() const { return m_doc.GetJournal().undoCount; }

  CImageMeasuringView m_measuring;
};

TEST_F(ModifyToolTest, EquallyNearItemsTakeTurnsOnRepeatedClicks) {
  CDrawItem* first = AddLine({40, 80}, {160, 80});
  CDrawItem* second = AddLine({40, 80}, {160, 80});
  Use(kToolModify);
  std::vector<const CDrawItem*> picked;
  for (int i = 0; i < 4; ++i) {
    Click({100, 78});
    ASSERT_EQ(m_window->GetPickCount(), 1);
    picked.push_back(m_window->GetPicked(0));
    EXPECT_EQ(g_toolState, 3);
  }
  EXPECT_EQ(picked, (std::vector<const CDrawItem*>{second, first, second, first}));
  EXPECT_EQ(first->IsSelected(), 0) << "the picked one is chosen";
  EXPECT_NE(second->IsSelected(), 0) << "the other is dormant again";
}

TEST_F(ModifyToolTest, ShapeLineKeepsOneFieldAndOffersRemovingTheProtection) {
  AddLine({40, 40}, {120, 40}, 5);
  AddLine({120, 40}, {120, 100}, 5);
  AddLine({120, 100}, {40, 40}, 5);
  AddLine({150, 120}, {190, 120});
  Use(kToolModify);
  m_view.calls.clear();
  Click({80, 42});
  EXPECT_EQ(m_window->GetPickCount(), 3) << "the whole shape is picked";
  EXPECT_EQ(g_valueFieldCount, 1);
  EXPECT_TRUE(m_view.calls.contains(QStringLiteral("SetAction 60 1")));
  // A plain line picked next takes the button away again.
  m_view.calls.clear();
  Click({170, 121});
  EXPECT_EQ(m_window->GetPickCount(), 1);
  EXPECT_GT(g_valueFieldCount, 1);
  EXPECT_TRUE(m_view.calls.contains(QStringLiteral("RemovePromptButtons")));
  EXPECT_FALSE(m_view.calls.contains(QStringLiteral("SetAction 60 1")));
}

TEST_F(ModifyToolTest, DraggedControlPointMovesTheCurveAsOneUndoStep) {
  CDrawItem* curve = AddCurve({40, 100}, {60, 60}, {120, 60}, {140, 100});
  Repaint();
  Use(kToolModify);
  Click({90, 72});
  ASSERT_EQ(m_window->GetPicked(0), curve);
  EXPECT_EQ(g_toolState, 4);
  EXPECT_EQ(m_window->GetGripCount(), 2) << "grips at both control points";
  const DrawingPoint before = ControlPoint(curve, 0);
  const int undoCount = UndoCount();
  m_view.calls.clear();
  Drag({61, 61}, {71, 41});
  // The values bar follows the control point being dragged.
  EXPECT_FALSE(m_view.Calls(QStringLiteral("ShowControlPointValues 0")).isEmpty());
  EXPECT_TRUE(m_view.Calls(QStringLiteral("ShowControlPointValues 1")).isEmpty());
  EXPECT_EQ(g_toolState, 4);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(ControlPoint(curve, 0),
            (DrawingPoint{before.x + 10 * Scale(), before.y + 20 * Scale()}));
  EXPECT_EQ(ControlPoint(curve, 1), At({120, 60})) << "the other control point stays";
  EXPECT_EQ(m_window->GetGripCount(), 2) << "the grips are back";
  EXPECT_EQ(m_window->GetGrip(0), ControlPoint(curve, 0));
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  ExpectCleanScreen();
  EXPECT_EQ(UndoCount(), undoCount + 1);
  m_window->Undo(1);
  EXPECT_EQ(ControlPoint(curve, 0), before);
  EXPECT_EQ(m_window->GetGrip(0), before) << "the grips follow the undo";
}

TEST_F(ModifyToolTest, CurveDraggedIntoCrossingItselfIsPutBackOnRelease) {
  CDrawItem* curve = AddCurve({40, 100}, {190, 20}, {120, 40}, {140, 100});
  ASSERT_NE(curve->IsValid(), 0);
  // The same curve with its end's control point far to the left loops over itself.
  {
    DrawItemPtr probe = CreateItem(kItemBezier);
    probe->CopyFrom(curve);
    probe->SetControlPoint(1, At({5, 20}).x, At({5, 20}).y);
    ASSERT_EQ(probe->IsValid(), 0);
  }
  Repaint();
  Use(kToolModify);
  Click({140, 58});
  ASSERT_EQ(m_window->GetPicked(0), curve);
  ASSERT_EQ(g_toolState, 4);
  const DrawingPoint before0 = ControlPoint(curve, 0);
  const DrawingPoint before1 = ControlPoint(curve, 1);
  const int undoCount = UndoCount();
  m_view.calls.clear();
  Drag({120, 40}, {5, 20});
  EXPECT_FALSE(m_view.Calls(QStringLiteral("ShowControlPointValues 1")).isEmpty())
      << "the values follow the control point while the curve is not drawn";
  EXPECT_EQ(ControlPoint(curve, 0), before0);
  EXPECT_EQ(ControlPoint(curve, 1), before1);
  EXPECT_NE(curve->IsValid(), 0);
  EXPECT_EQ(g_toolState, 4);
  EXPECT_EQ(UndoCount(), undoCount) << "nothing is left to undo";
  EXPECT_EQ(m_window->GetGripCount(), 2);
  ExpectCleanScreen();
}

TEST_F(ModifyToolTest, DragCutShortPutsTheCurveBack) {
  CDrawItem* curve = AddCurve({40, 100}, {60, 60}, {120, 60}, {140, 100});
  Repaint();
  Use(kToolModify);
  Click({90, 72});
  const DrawingPoint before = ControlPoint(curve, 0);
  const int undoCount = UndoCount();
  QTest::mouseMove(m_window.get(), {60, 60});
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {60, 60});
  QTest::mouseMove(m_window.get(), {90, 30});
  ASSERT_EQ(g_toolState, 5);
  ASSERT_NE(ControlPoint(curve, 0), before);
  m_window->CancelOperation();  // as Esc does
  EXPECT_EQ(ControlPoint(curve, 0), before);
  EXPECT_EQ(g_toolState, 4);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_window->GetGripCount(), 2);
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  EXPECT_EQ(UndoCount(), undoCount);
  m_window->UpdateWindow();
  ExpectCleanScreen();
  // The lost release changes nothing further.
  QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, {90, 30});
  EXPECT_EQ(ControlPoint(curve, 0), before);
}

TEST_F(ModifyToolTest, TextOpensAtTheClickedCharacterAndAClickOutsideEndsIt) {
  const QPoint origin{30, 50};
  CDrawItem* text = AddText(origin, "Hello");
  ASSERT_NE(text, nullptr);
  AddLine({20, 130}, {180, 130});
  const QPoint second = PixelOfCharacter(text, 1, origin);
  ASSERT_NE(second.x(), -1) << "the text is big enough to click on";
  Use(kToolModify);
  Click(second);
  ASSERT_EQ(m_window->GetTextState(), kTextEditing);
  ASSERT_EQ(m_window->GetPicked(0), text);
  EXPECT_EQ(g_textEditCaret, 1);
  EXPECT_NE(m_window->GetTimerId(kTimerCaret), 0) << "the caret blinks";
  m_window->OnChar('X', 1, 0);
  // A later click inside moves the caret; nothing else is picked.
  const QPoint fourth = PixelOfCharacter(text, 3, origin);
  ASSERT_NE(fourth.x(), -1);
  Click(fourth);
  EXPECT_EQ(m_window->GetTextState(), kTextEditing);
  EXPECT_EQ(m_window->GetPicked(0), text);
  EXPECT_EQ(g_textEditCaret, 3);
  m_window->OnChar('Y', 1, 0);
  // A click outside ends the editing, keeps what was typed, and picks the line.
  Click({100, 128});
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
  EXPECT_EQ(m_window->GetTimerId(kTimerCaret), 0);
  EXPECT_EQ(text->GetText(), QStringLiteral("HXeYllo"));
  ASSERT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetPicked(0)->GetType(), kItemLine);
}

TEST_F(ModifyToolTest, HorizontalDimensionOfAVerticalLineIsDraggedParallelToIt) {
  const int s = Scale();
  AddLine({100, 120}, {100, 40});
  DrawItemPtr made = CreateItem(kItemDimension);
  made->SetStart(At({100, 120}).x, At({100, 120}).y);
  made->SetEnd(At({100, 40}).x, At({100, 40}).y);
  made->SetDimensionType(kDimensionHorizontal);
  made->SetOffset(20 * s);
  made->SetColour(static_cast<int>(kBlue));
  auto* dimension = static_cast<CDimensionItem*>(made.get());
  Add(std::move(made));
  Repaint();
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  dimension->GetDimensionLine(x1, y1, x2, y2);
  ASSERT_EQ(x1, x2);
  const int lineX = m_window->GetMapping().DrawingToDeviceX(x1);
  Use(kToolModify);
  Click({lineX, 80});
  ASSERT_EQ(m_window->GetPicked(0), dimension);
  ASSERT_EQ(g_toolState, 6);
  const int undoCount = UndoCount();
  // Dragged left and down: the line follows the cursor's x only.
  Drag({lineX, 80}, {lineX - 25, 100});
  EXPECT_EQ(g_toolState, 6);
  dimension->GetDimensionLine(x1, y1, x2, y2);
  EXPECT_EQ(x1, x2) << "still parallel to the measured line";
  EXPECT_NEAR(x1, At({lineX - 25, 100}).x, 1);
  EXPECT_EQ(UndoCount(), undoCount + 1);
  EXPECT_EQ(m_doc.GetJournal().groupState, 0);
  ExpectCleanScreen();
}

TEST_F(ModifyToolTest, FillGetsTheOrderButtonsForItsPlace) {
  // Two squares, each filled; the later fill lies in front.
  for (const int left : {30, 110}) {
    const DrawingPoint a = At({left, 100});
    const DrawingPoint b = At({left + 50, 50});
    Add(MakeLine(a.x, a.y, b.x, a.y));
    Add(MakeLine(b.x, a.y, b.x, b.y));
    Add(MakeLine(b.x, b.y, a.x, b.y));
    Add(MakeLine(a.x, b.y, a.x, a.y));
  }
  Use(kToolFill);
  Click({55, 75});
  Click({135, 75});
  Use(kToolModify);
  const struct {
    QPoint at;
    const char* buttons;
  } cases[] = {{{55, 75}, "ShowOrderButtons 0 1"}, {{135, 75}, "ShowOrderButtons 1 0"}};
  for (const auto& c : cases) {
    m_view.calls.clear();
    Click(c.at);
    ASSERT_EQ(m_window->GetPickCount(), 1);
    EXPECT_EQ(m_window->GetPicked(0)->GetType(), kItemFill);
    const QStringList shown = m_view.Calls(QStringLiteral("ShowOrderButtons"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), QString::fromLatin1(c.buttons));
    EXPECT_GT(m_view.calls.indexOf(shown.front()),
              m_view.calls.indexOf(QStringLiteral("SetPromptText 0")))
        << "the buttons come after the prompt is cleared";
  }
}

TEST_F(ModifyToolTest, ValuesShowsInformationAndChangesNothing) {
  CDrawItem* curve = AddCurve({40, 100}, {60, 60}, {120, 60}, {140, 100});
  AddLine({40, 30}, {120, 30}, 3);
  AddLine({120, 30}, {120, 10}, 3);
  const int undoCount = UndoCount();
  Use(kToolValues);
  const DrawingPoint before = ControlPoint(curve, 0);
  Click({90, 72});
  EXPECT_EQ(m_window->GetPicked(0), curve);
  EXPECT_EQ(g_toolState, 2) << "no control points to drag";
  EXPECT_EQ(m_window->GetGripCount(), 0);
  EXPECT_GT(g_valueFieldCount, 0);
  // Pressing where a control point would be and dragging changes nothing.
  Drag({60, 60}, {80, 40});
  EXPECT_EQ(ControlPoint(curve, 0), before);
  m_view.calls.clear();
  Click({80, 31});
  EXPECT_EQ(m_window->GetPickCount(), 2) << "a shape is shown whole";
  EXPECT_GT(g_valueFieldCount, 0);
  EXPECT_TRUE(m_view.Calls(QStringLiteral("SetAction")).isEmpty());
  EXPECT_EQ(UndoCount(), undoCount);
  EXPECT_EQ(m_doc.GetItemCount(), 3);
}

TEST_F(ModifyToolTest, TextKeptForValuesIsFinishedBeforeValuesPicksAnother) {
  const QPoint origin{30, 50};
  CDrawItem* text = AddText(origin, "Hi");
  ASSERT_NE(text, nullptr);
  CDrawItem* line = AddLine({20, 130}, {180, 130});
  Use(kToolModify);
  Click(PixelOfCharacter(text, 1, origin));
  ASSERT_EQ(m_window->GetTextState(), kTextEditing);
  m_window->OnChar('o', 1, 0);
  Use(kToolValues);
  EXPECT_EQ(m_window->GetTextState(), kTextKept);
  Click({100, 128});
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
  EXPECT_EQ(text->GetText(), QStringLiteral("Hoi"));
  ASSERT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetPicked(0), line);
  // Leaving Values later leaves the line in the drawing.
  Use(kToolLine);
  EXPECT_EQ(m_doc.FindItem(line), 1);
  EXPECT_EQ(m_doc.GetItemCount(), 2);
}

TEST_F(ModifyToolTest, TextKeptForValuesGoesOnWithWhatWasTypedBackInModify) {
  const QPoint origin{30, 50};
  CDrawItem* text = AddText(origin, "Hi");
  ASSERT_NE(text, nullptr);
  Use(kToolModify);
  Click(PixelOfCharacter(text, 1, origin));
  m_window->OnChar('o', 1, 0);
  Use(kToolValues);
  Use(kToolModify);
  EXPECT_EQ(m_window->GetTextState(), kTextEditing);
  EXPECT_EQ(g_textEditCaret, 2) << "the caret stays where the typing left it";
  m_window->OnChar('!', 1, 0);
  m_window->OnChar(kEditCharEnter, 1, 0);
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
  EXPECT_EQ(text->GetText(), QStringLiteral("Ho!i"));
}

TEST_F(ModifyToolTest, RightButtonEntersModifyOnTheItemUnderTheCursor) {
  CDrawItem* curve = AddCurve({40, 100}, {60, 60}, {120, 60}, {140, 100});
  AddLine({40, 30}, {160, 30});
  Use(kToolCircle);
  m_view.calls.clear();
  QTest::mouseMove(m_window.get(), {90, 72});
  QTest::mouseClick(m_window.get(), Qt::RightButton, {}, {90, 72});
  EXPECT_EQ(g_currentTool, kToolModify);
  EXPECT_TRUE(m_view.calls.contains(QStringLiteral("DrawToolButton %1 0").arg(kToolCircle)));
  EXPECT_TRUE(m_view.calls.contains(QStringLiteral("DrawToolButton %1 3").arg(kToolModify)));
  ASSERT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetPicked(0), curve);
  EXPECT_EQ(g_toolState, 4);
  // The control point it shows can be dragged at once.
  Drag({60, 60}, {70, 50});
  EXPECT_EQ(ControlPoint(curve, 0), At({70, 50}));
  // The right button again, on the line, moves the pick there.
  QTest::mouseClick(m_window.get(), Qt::RightButton, {}, {100, 31});
  ASSERT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetPicked(0)->GetType(), kItemLine);
  EXPECT_EQ(g_toolState, 3);
  EXPECT_EQ(m_window->GetGripCount(), 0);
  ExpectCleanScreen();
}

}  // namespace
}  // namespace zeph::testing
