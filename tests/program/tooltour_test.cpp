// Every tool of the palette, chosen by a click on its row and used with the mouse on the
// drawing as a person uses it, each checked in the drawing (or, for the tools that change no
// item, by what they show). Pictures: the values bar while a line is dragged, and the program
// after the tour.
#include <QDir>
#include <QTest>
#include <cmath>

#include "editor/toolparams.h"
#include "items/geometry.h"
#include "items/measure.h"
#include "items/valuefields.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

class ToolTourTest : public ProgramTest {
 protected:
  static bool Moved(DrawingPoint a, DrawingPoint b, int dx, int dy, int tolerance = 2) {
    return std::abs(b.x - a.x - dx) <= tolerance && std::abs(b.y - a.y - dy) <= tolerance;
  }
};

TEST_F(ToolTourTest, EveryToolOfThePaletteDoesItsWork) {
  StartProgram();
  CreateDrawing();
  // The tour places its points itself: nothing snaps until Hunt and Grid have their turn.
  ASSERT_EQ(g_snapMode, kSnapNone);

  {
    SCOPED_TRACE("New line and Line: two lines meeting at a corner; the values bar mid-drag");
    PickTool(kToolNewLine);
    Click({60, 80});
    EXPECT_EQ(g_currentTool, kToolLine) << "New line hands over to Line";
    Click({260, 80});
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(StartOf(Item(0)), At({60, 80}));
    EXPECT_EQ(EndOf(Item(0)), At({260, 80}));
    MoveTo(&Window(), {200, 160});
    PressAt(&Window(), {200, 160});
    MoveTo(&Window(), {230, 180});
    MoveTo(&Window(), {260, 200});
    Settle(30);
    SaveShot(Frame(), QStringLiteral("values_bar_line_drag.png"));
    ReleaseAt(&Window(), {260, 200});
    Settle();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(StartOf(Item(1)), At({260, 80}));
    EXPECT_EQ(EndOf(Item(1)), At({260, 200}));
  }
  {
    SCOPED_TRACE("Arc through three points");
    PickTool(kToolArc);
    Click({340, 120});
    Click({440, 120});
    Click({390, 80});
    ASSERT_EQ(ItemsOfKind(kItemArc).size(), 1U);
    double cx = 0;
    double cy = 0;
    double r = 0;
    ItemsOfKind(kItemArc)[0]->GetCircle(cx, cy, r);
    for (const QPoint p : {QPoint(340, 120), QPoint(440, 120), QPoint(390, 80)}) {
      EXPECT_NEAR(std::hypot(At(p).x - cx, At(p).y - cy), r, r / 50 + 2);
    }
  }
  {
    SCOPED_TRACE("Circle from its centre");
    PickTool(kToolCircle);
    Click({540, 120});
    Click({580, 120});
    ASSERT_EQ(ItemsOfKind(kItemCircle).size(), 1U);
    int x = 0;
    int y = 0;
    ItemsOfKind(kItemCircle)[0]->GetCentre(x, y);
    EXPECT_EQ((DrawingPoint{x, y}), At({540, 120}));
    EXPECT_EQ(ItemsOfKind(kItemCircle)[0]->GetRadius(), At({580, 120}).x - At({540, 120}).x);
  }
  {
    SCOPED_TRACE("Ellipse");
    PickTool(kToolEllipse);
    Click({700, 120});
    Click({650, 80});
    ASSERT_EQ(ItemsOfKind(kItemEllipse).size(), 1U);
    int a = 0;
    int b = 0;
    ItemsOfKind(kItemEllipse)[0]->GetSemiAxes(a, b);
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
  }
  {
    SCOPED_TRACE("Curve with its two control points");
    PickTool(kToolCurve);
    Click({760, 160});
    Click({900, 160});
    Drag({780, 110}, {790, 100});
    Drag({880, 110}, {870, 100});
    ASSERT_EQ(ItemsOfKind(kItemBezier).size(), 1U);
    const CDrawItem* curve = ItemsOfKind(kItemBezier)[0];
    EXPECT_EQ(StartOf(curve), At({760, 160}));
    EXPECT_EQ(EndOf(curve), At({900, 160}));
    double cx = 0;
    double cy = 0;
    curve->GetControlPoint(0, cx, cy);
    EXPECT_NEAR(cx, At({790, 100}).x, 1.0);
    EXPECT_NEAR(cy, At({790, 100}).y, 1.0);
  }
  {
    SCOPED_TRACE("Shape: a rectangle, a square and a hexagon");
    const int lines = static_cast<int>(ItemsOfKind(kItemLine).size());
    PickTool(kToolShape, 1);
    Click({60, 300});
    Click({200, 400});
    EXPECT_EQ(static_cast<int>(ItemsOfKind(kItemLine).size()), lines + 4);
    EXPECT_NE(Last()->GetGroupNumber(), 0) << "a shape is one group";
    PickTool(kToolShape, 0);
    Click({260, 400});
    Click({340, 400});
    EXPECT_EQ(static_cast<int>(ItemsOfKind(kItemLine).size()), lines + 8);
    m_person.Expect(QStringLiteral("the polygon's sides"), [](QWidget& window) {
      CPerson::TypeInto(window, 0, QStringLiteral("6"));
      CPerson::Press(window, QStringLiteral("OK"));
    });
    PickTool(kToolShape, 2);
    Drag({440, 350}, {480, 350});
    EXPECT_EQ(m_person.Waiting(), 0) << "the sides were not asked for";
    Click({440, 350});
    Click({480, 350});
    EXPECT_EQ(static_cast<int>(ItemsOfKind(kItemLine).size()), lines + 14);
  }
  {
    SCOPED_TRACE("Fill inside the rectangle");
    PickTool(kToolFill);
    Click({130, 350});
    ASSERT_EQ(ItemsOfKind(kItemFill).size(), 1U);
    EXPECT_EQ(Item(0)->GetType(), kItemFill) << "fills lead the list";
  }
  {
    SCOPED_TRACE("Text typed on the keyboard");
    PickTool(kToolText);
    Click({560, 340});
    TypeOnFocus(QStringLiteral("Hello"));
    KeyOnFocus(Qt::Key_Return);
    Settle();
    EXPECT_EQ(ItemsOfKind(kItemText).size(), 1U);
    if (!ItemsOfKind(kItemText).empty()) {
      EXPECT_EQ(ItemsOfKind(kItemText)[0]->GetText(), QStringLiteral("Hello"));
    }
  }
  {
    SCOPED_TRACE("Dimension of the first line");
    PickTool(kToolDimension);
    Click({160, 82});
    Click({160, 40});
    ASSERT_EQ(ItemsOfKind(kItemDimension).size(), 1U);
    const CDrawItem* dimension = ItemsOfKind(kItemDimension)[0];
    EXPECT_EQ(std::abs(EndOf(dimension).x - StartOf(dimension).x),
              At({260, 80}).x - At({60, 80}).x);
  }
  {
    SCOPED_TRACE("Corner: a fillet where the first two lines meet");
    PickTool(kToolCorner, 0);
    const int arcs = static_cast<int>(ItemsOfKind(kItemArc).size());
    Click({258, 82});
    Drag({248, 80}, {236, 80});
    EXPECT_EQ(static_cast<int>(ItemsOfKind(kItemArc).size()), arcs + 1);
    EXPECT_LT(EndOf(Item(ItemsOfKind(kItemFill).size())).x, At({260, 80}).x)
        << "the first line cut back";
  }
  {
    SCOPED_TRACE("Hunt: a line started on the first line's start");
    PickTool(kToolHunt);
    EXPECT_EQ(g_snapMode, kSnapHunt);
    CDrawItem* line = DrawLine({64, 84}, {40, 200});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(StartOf(line), At({60, 80})) << "hunted onto the end nearby";
    PickTool(kToolHunt);
    EXPECT_EQ(g_snapMode, kSnapNone);
  }
  {
    SCOPED_TRACE("Grid: a line whose ends snap to the grid");
    PickTool(kToolGrid);
    EXPECT_EQ(g_snapMode, kSnapGrid);
    CDrawItem* line = DrawLine({613, 517}, {713, 517});
    ASSERT_NE(line, nullptr);
    const int spacing = GetGridSpacing();
    ASSERT_GT(spacing, 0);
    EXPECT_EQ(StartOf(line).x % spacing, 0);
    EXPECT_EQ(StartOf(line).y % spacing, 0);
    EXPECT_EQ(EndOf(line).x % spacing, 0);
    PickTool(kToolGrid);
    EXPECT_EQ(g_snapMode, kSnapNone);
  }
  CDrawItem* moving = DrawLine({800, 460}, {900, 460});
  ASSERT_NE(moving, nullptr);
  {
    SCOPED_TRACE("Move: a line dragged by its middle");
    const DrawingPoint before = StartOf(moving);
    PickTool(kToolMove, 0);
    Drag({850, 460}, {850, 490});
    EXPECT_TRUE(Moved(before, StartOf(moving), 0, At({850, 490}).y - At({850, 460}).y))
        << "moved to " << StartOf(moving).y;
  }
  {
    SCOPED_TRACE("Copy: the moved line copied downwards by its end's grip");
    PickTool(kToolCopy);
    Click({850, 490});
    PressPromptButton(kIdPromptOK);
    Drag({900, 490}, {900, 540});
    EXPECT_NE(FindLine(At({800, 540}), At({900, 540})), nullptr) << "no copy";
    EXPECT_NE(FindLine(At({800, 490}), At({900, 490})), nullptr) << "no original";
  }
  // The transforms: each on a line of its own, found afterwards by its new ends.
  const auto transform = [this](int tool, QPoint from, QPoint to, QPoint second,
                                const char* value) {
    DrawLine(from, to);
    PickTool(tool);
    Click((from + to) / 2);
    if (value != nullptr) {
      m_person.Expect(QStringLiteral("the value"), [value](QWidget& window) {
        CPerson::TypeInto(window, 0, QString::fromLatin1(value));
        CPerson::Press(window, QStringLiteral("OK"));
      });
    }
    PressPromptButton(kIdPromptOK);
    EXPECT_EQ(m_person.Waiting(), 0) << "no value was asked for";
    Click(second);
  };
  const auto px = [this](int pixels) { return At({pixels, 0}).x - At({0, 0}).x; };
  {
    SCOPED_TRACE("Rotate: a quarter turn about its start, the angle asked for");
    transform(kToolRotate, {1000, 300}, {1060, 300}, {1000, 300}, "90");
    const DrawingPoint start = At({1000, 300});
    EXPECT_NE(FindLine(start, {start.x, start.y + px(60)}), nullptr);
  }
  {
    SCOPED_TRACE("Reflect: in an upright mirror");
    transform(kToolReflect, {1000, 420}, {1060, 440}, {1100, 430}, nullptr);
    EXPECT_NE(FindLine(At({1200, 420}), At({1140, 440})), nullptr);
  }
  {
    SCOPED_TRACE("Enlarge: twice as long from its start, the factor asked for");
    transform(kToolEnlarge, {1000, 520}, {1040, 520}, {1000, 520}, "2");
    EXPECT_NE(FindLine(At({1000, 520}), At({1080, 520})), nullptr);
  }
  {
    SCOPED_TRACE("Stretch: twice as tall from a level line, the factor asked for");
    transform(kToolStretch, {1000, 600}, {1040, 620}, {1000, 600}, "2");
    EXPECT_NE(FindLine(At({1000, 600}), At({1040, 640})), nullptr);
  }
  {
    SCOPED_TRACE("Object: the enlarged line's object named");
    CDrawItem* enlarged = FindLine(At({1000, 520}), At({1080, 520}));
    ASSERT_NE(enlarged, nullptr);
    PickTool(kToolObject, 1);
    Click({1060, 520});
    EXPECT_NE(g_objectChosen, 0);
    ClickField(80);
    TypeValue(QStringLiteral("Ruler"));
    EXPECT_EQ(Doc().GetObjectName(enlarged->GetObjectNumber(), 0), QStringLiteral("Ruler"));
  }
  {
    SCOPED_TRACE("Delete: the copied line");
    PickTool(kToolDelete);
    const int before = Count();
    Click({850, 540});
    PressPromptButton(kIdPromptOK);
    EXPECT_EQ(Count(), before - 1);
    EXPECT_EQ(FindLine(At({800, 540}), At({900, 540})), nullptr);
  }
  {
    SCOPED_TRACE("Modify: the circle's radius typed on the values bar");
    PickTool(kToolModify);
    Click({580, 120});
    ASSERT_EQ(Window().GetPickCount(), 1);
    ASSERT_EQ(Window().GetPicked(0)->GetType(), kItemCircle);
    ClickField(28);
    TypeValue(QStringLiteral("25"));
    double radius = 0;
    ASSERT_EQ(ParseLength(u"25", radius, 0), 1);
    EXPECT_NEAR(ItemsOfKind(kItemCircle)[0]->GetRadius(), radius, 1.0);
  }
  {
    SCOPED_TRACE("Values: the moved line's ends shown");
    PickTool(kToolValues);
    Click({850, 490});
    ASSERT_EQ(Window().GetPickCount(), 1);
    EXPECT_EQ(g_valueStartX, StartOf(moving).x);
    EXPECT_EQ(g_valueEndY, EndOf(moving).y);
  }
  {
    SCOPED_TRACE("Colour: the stretched line recoloured");
    PickTool(kToolColour);
    Click({1040, 610});
    EXPECT_EQ(g_recolourCount, 1);
    m_person.Expect(QStringLiteral("the colour"),
                    [](QWidget& window) { ChooseColour(window, QStringLiteral("#0000ff")); });
    ClickField(82);
    const CDrawItem* stretched = FindLine(At({1000, 600}), At({1040, 640}));
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(stretched->GetColour() & 0xFFFFFF, 0xFF0000) << std::hex << stretched->GetColour();
  }
  {
    SCOPED_TRACE("Extend: a short line lengthened to the upright one ahead");
    CDrawItem* upright = DrawLine({200, 450}, {200, 540});
    CDrawItem* shortLine = DrawLine({60, 500}, {140, 500});
    ASSERT_NE(upright, nullptr);
    ASSERT_NE(shortLine, nullptr);
    PickTool(kToolExtend);
    Click({138, 500});
    EXPECT_EQ(EndOf(shortLine).x, At({200, 500}).x);
  }
  {
    SCOPED_TRACE("Break: a line crossed twice, its first piece removed");
    CDrawItem* crossed = DrawLine({300, 620}, {500, 620});
    DrawLine({350, 580}, {350, 660});
    DrawLine({450, 580}, {450, 660});
    ASSERT_NE(crossed, nullptr);
    const int before = Count();
    PickTool(kToolBreak);
    Click({320, 620});
    ASSERT_NE(Window().IsBreakOffered(), 0);
    PressPromptButton(kIdPromptYes);
    PressPromptButton(kIdPromptNo);
    PressPromptButton(kIdPromptNo);
    EXPECT_EQ(Window().IsBreakOffered(), 0);
    EXPECT_EQ(Count(), before);
    EXPECT_EQ(std::min(StartOf(crossed).x, EndOf(crossed).x), At({350, 620}).x);
  }
  {
    SCOPED_TRACE("Insert: a symbol of a library chosen with Other");
    const QString library = QDir(QStringLiteral(ZEPH_SOURCE_DIR "/../resources/samples"))
                                .filePath(QStringLiteral("House.zpd"));
    m_person.Expect(QStringLiteral("the library"),
                    [](QWidget& window) { CPerson::Press(window, QStringLiteral("Other ...")); });
    m_person.Expect(QStringLiteral("the library's file"),
                    [library](QWidget& window) { ChooseFile(window, library); });
    m_person.Expect(QStringLiteral("the symbol"), [](QWidget& window) {
      QWidget* preview = nullptr;
      for (QWidget* child : window.findChildren<QWidget*>()) {
        if (QString::fromLatin1(child->metaObject()->className()) == QLatin1String("CShowDrawing"))
          preview = child;
      }
      ASSERT_NE(preview, nullptr);
      ClickAt(preview, preview->rect().center());
      CPerson::Press(window, QStringLiteral("OK"));
    });
    const int before = Count();
    PickTool(kToolInsert);
    Click({700, 620});
    EXPECT_GT(Count(), before);
  }
  {
    SCOPED_TRACE("Origin: the read-outs measured from a point");
    PickTool(kToolOrigin);
    Click({600, 460});
    EXPECT_EQ(g_readoutOrigin.x, At({600, 460}).x);
    EXPECT_EQ(g_readoutOrigin.y, At({600, 460}).y);
  }
  Settle(50);
  SaveShot(Frame(), QStringLiteral("after_tool_tour.png"));
}

}  // namespace
}  // namespace zeph::testing
