// The floating object list over the editing view: its rows and "All objects" row, ticking and
// unticking objects with the partial dot, scrolling a tall list and moving it by its corner
// triangles.
#include <QScrollBar>
#include <QStyle>

#include "editor/tickelements.h"
#include "editor_fixture.h"
#include "support/uiutil.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

class TickElementsTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    InstallEditorPromptParts();
    g_currentTool = kToolRotate;
  }
  void TearDown() override {
    SetObjectListFactory(nullptr);
    SetPromptHandlers(nullptr);
    ViewTest::TearDown();
  }

  // A line of the object on row `row` of the drawing.
  void AddObjectLine(int object, int row) {
    DrawItemPtr line = MakeLine(100, 100 + row * 200, 2000, 100 + row * 200);
    line->SetObjectNumber(static_cast<std::int16_t>(object));
    ASSERT_EQ(m_doc.AddItem(line), 1);
  }
  CTickElements* ShowList() {
    m_view->ShowObjectList(1);
    return m_view->findChild<CTickElements*>();
  }
  // Hovers and clicks a row (-1: "All objects") or a corner.
  static void ClickRow(CTickElements& list, int row) {
    const QPoint point = list.RowPoint(row);
    list.OnMouseMove(0, point);
    list.OnLButtonUp(0, point);
  }
  int RowTick(int row) const { return m_doc.GetObjectTick(row); }
  // Whether every visible item of the object is chosen (1), none (0) or some (2).
  int ChosenState(int object) const {
    int chosen = 0;
    int dormant = 0;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      const CDrawItem* item = m_doc.GetItem(i);
      if (item->GetObjectNumber() != object) continue;
      (item->IsSelected() == 0 ? chosen : dormant) += 1;
    }
    return dormant == 0 ? 1 : chosen == 0 ? 0 : 2;
  }
};

// Undo and redo may take objects away or bring them back: while a choosing tool shows the
// list it is filled again from the drawing.
TEST_F(TickElementsTest, UndoAndRedoFillTheShownListAgain) {
  AddObjectLine(3, 0);
  AddObjectLine(4, 1);
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetRowCount(), 2);
  m_view->OnEditUndo();
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(list->GetRowCount(), 1);
  m_view->OnEditRedo();
  EXPECT_EQ(list->GetRowCount(), 2);
  // A list the user closed stays closed.
  m_view->ShowObjectList(0);
  m_view->OnEditUndo();
  EXPECT_EQ(m_view->IsObjectListShown(), 0);
  EXPECT_FALSE(list->isVisible());
}

TEST_F(TickElementsTest, AllObjectsRowNeedsTwoObjectsOutsideIdentify) {
  AddObjectLine(3, 0);
  AddObjectLine(0, 1);  // items of no object are not listed
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetRowCount(), 1);
  EXPECT_EQ(list->IsAllObjectsShown(), 0);
  const int oneRowHeight = list->height();
  AddObjectLine(4, 2);
  EXPECT_EQ(m_view->RefreshObjectList(), 1);
  EXPECT_EQ(list->GetRowCount(), 2);
  EXPECT_EQ(list->IsAllObjectsShown(), 1);
  // One more row and the "All objects" row with its gaps.
  EXPECT_EQ(list->height(), oneRowHeight + 2 * list->GetRowHeight() + 12);
  g_toolState = 9;  // Identify and Name take one object at a time
  m_view->RefreshObjectList();
  EXPECT_EQ(list->IsAllObjectsShown(), 0);
  // The list sits in the top-right corner of the drawing area, within the scroll bars.
  const int bar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  EXPECT_EQ(list->geometry().right(), m_view->GetPaletteLeft() - bar - 1);
  EXPECT_EQ(list->geometry().top(), 0);
  EXPECT_GE(list->width(), 100);
}

TEST_F(TickElementsTest, TickingChoosesObjectsAndTheAllTickFollows) {
  for (int object : {3, 4, 5}) AddObjectLine(object, object);
  AddObjectLine(5, 1);
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetRowCount(), 3);
  ClickRow(*list, 0);
  EXPECT_EQ(RowTick(0), 1);
  EXPECT_EQ(ChosenState(3), 1);
  EXPECT_EQ(ChosenState(4), 0);
  EXPECT_EQ(list->GetAllTick(), 2);
  ClickRow(*list, 1);
  ClickRow(*list, 2);
  // Ticking the only unticked object makes the full tick.
  EXPECT_EQ(list->GetAllTick(), 1);
  EXPECT_EQ(ChosenState(5), 1);
  EXPECT_EQ(Drawing().GetChosenCount(), 4);
  // Unticking one of all makes the dot.
  ClickRow(*list, 1);
  EXPECT_EQ(RowTick(1), 0);
  EXPECT_EQ(ChosenState(4), 0);
  EXPECT_EQ(list->GetAllTick(), 2);
  // "All objects" from partly ticks everything; again unticks everything.
  ClickRow(*list, -1);
  EXPECT_EQ(list->GetAllTick(), 1);
  for (int object : {3, 4, 5}) EXPECT_EQ(ChosenState(object), 1) << object;
  ClickRow(*list, -1);
  EXPECT_EQ(list->GetAllTick(), 0);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(RowTick(row), 0) << row;
  for (int object : {3, 4, 5}) EXPECT_EQ(ChosenState(object), 0) << object;
  EXPECT_EQ(Drawing().GetChosenCount(), 0);
}

TEST_F(TickElementsTest, AnObjectPartlyChosenElsewhereShowsTheDot) {
  AddObjectLine(3, 0);
  AddObjectLine(3, 1);
  AddObjectLine(4, 2);
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  Drawing().SetSelectionShown(1);
  Drawing().SetAllSelected(1);
  ASSERT_EQ(Drawing().ToggleChosen(m_doc.GetItem(0), 1, 0), 1);
  m_view->UpdateObjectListRow(3);
  m_view->UpdateObjectListRow(4);
  EXPECT_EQ(m_view->UpdateObjectListTicksResult(), 2);
  EXPECT_EQ(RowTick(0), 2);
  EXPECT_EQ(RowTick(1), 0);
  EXPECT_EQ(list->GetAllTick(), 2);
  // Clicking the dotted row ticks it: the rest of the object is chosen too.
  ClickRow(*list, 0);
  EXPECT_EQ(RowTick(0), 1);
  EXPECT_EQ(ChosenState(3), 1);
}

TEST_F(TickElementsTest, IdentifyTicksOneObjectAtATime) {
  for (int object : {3, 4}) AddObjectLine(object, object);
  g_currentTool = kToolObject;
  g_toolState = 9;
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  ClickRow(*list, 0);
  ClickRow(*list, 1);
  EXPECT_EQ(RowTick(0), 0);
  EXPECT_EQ(RowTick(1), 1);
  EXPECT_EQ(ChosenState(3), 0);
  EXPECT_EQ(ChosenState(4), 1);
  // Clicking the ticked row again keeps it.
  ClickRow(*list, 1);
  EXPECT_EQ(RowTick(1), 1);
}

TEST_F(TickElementsTest, ATallListScrollsWithinHalfTheDrawingArea) {
  for (int object = 1; object <= 40; ++object) AddObjectLine(object, object);
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->height(), m_view->GetDrawingAreaHeight() / 2);
  ASSERT_GT(list->GetScrollMax(), 0);
  EXPECT_EQ(list->GetScrollMax(), 40 - list->GetVisibleRows());
  ASSERT_NE(list->GetScrollBar(), nullptr);
  EXPECT_TRUE(list->GetScrollBar()->isVisible());
  const int bar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  EXPECT_GE(list->width(), 100 + bar);
  list->OnVScroll(kSbLineDown, 0);
  list->OnVScroll(kSbLineDown, 0);
  EXPECT_EQ(list->GetFirstRow(), 2);
  EXPECT_EQ(list->GetScrollBar()->value(), 2);
  // The top shown row is now the third object.
  ClickRow(*list, 2);
  EXPECT_EQ(RowTick(2), 1);
  EXPECT_EQ(ChosenState(3), 1);
  list->OnVScroll(kSbBottom, 0);
  EXPECT_EQ(list->GetFirstRow(), list->GetScrollMax());
  list->OnVScroll(kSbPageDown, 0);
  EXPECT_EQ(list->GetFirstRow(), list->GetScrollMax());
}

TEST_F(TickElementsTest, ACornerTriangleMovesTheList) {
  for (int object : {3, 4}) AddObjectLine(object, object);
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetCorner(), CTickElements::kTopRight);
  const int bar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  struct Case {
    int corner;
    bool left;
    bool top;
  };
  for (const Case& c : {Case{CTickElements::kBottomLeft, true, false},
                        Case{CTickElements::kBottomRight, false, false},
                        Case{CTickElements::kTopLeft, true, true}}) {
    const QPoint point = list->CornerPoint(c.corner);
    list->OnMouseMove(0, point);
    EXPECT_EQ(list->GetHoveredCorner(), c.corner);
    list->OnLButtonUp(0, point);
    EXPECT_EQ(list->GetCorner(), c.corner);
    EXPECT_TRUE(list->isVisible());
    const QRect place = list->geometry();
    if (c.left) {
      EXPECT_EQ(place.left(), 0) << c.corner;
    } else {
      EXPECT_EQ(place.right(), m_view->GetPaletteLeft() - bar - 1) << c.corner;
    }
    if (c.top) {
      EXPECT_EQ(place.top(), 0) << c.corner;
    } else {
      EXPECT_EQ(place.bottom(), m_view->GetDrawingAreaHeight() - bar - 1) << c.corner;
    }
  }
  // The current corner has no triangle to click.
  list->OnMouseMove(0, list->CornerPoint(CTickElements::kTopLeft));
  EXPECT_EQ(list->GetHoveredCorner(), -1);
}

TEST_F(TickElementsTest, ScreenshotOverADrawing) {
  // A small scene of named objects, given in pixels of the drawing window at the zoom used.
  SetZoom(6, 20, m_view->GetDrawingAreaHeight() - 40);
  const auto at = [this](int x, int y) {
    return DrawingPoint{Mapping().DeviceToDrawingX(x), Mapping().DeviceToDrawingY(y, 0)};
  };
  const auto line = [&](int object, int x1, int y1, int x2, int y2, ColourRef colour) {
    const DrawingPoint a = at(x1, y1);
    const DrawingPoint b = at(x2, y2);
    DrawItemPtr item = MakeLine(a.x, a.y, b.x, b.y, colour);
    item->SetObjectNumber(static_cast<std::int16_t>(object));
    ASSERT_EQ(m_doc.AddItem(item), 1);
  };
  const auto chain = [&](int object, std::initializer_list<QPoint> points, ColourRef colour) {
    const QPoint* previous = nullptr;
    for (const QPoint& p : points) {
      if (previous != nullptr) line(object, previous->x(), previous->y(), p.x(), p.y(), colour);
      previous = &p;
    }
  };
  constexpr ColourRef kGreen = 0x00008000;
  constexpr ColourRef kBrown = 0x00204080;
  // 1 the house, 2 its roof, 3 a tree, 4 the fence, 5 the path, 6 a sun.
  chain(1, {{60, 300}, {60, 200}, {200, 200}, {200, 300}, {60, 300}}, kBlack);
  chain(1, {{110, 300}, {110, 250}, {140, 250}, {140, 300}}, kBrown);
  chain(2, {{45, 200}, {130, 130}, {215, 200}, {45, 200}}, kRed);
  chain(3, {{300, 300}, {300, 240}}, kBrown);
  chain(3, {{300, 240}, {260, 240}, {300, 160}, {340, 240}, {300, 240}}, kGreen);
  for (int x = 360; x <= 520; x += 20) line(4, x, 300, x, 260, kBrown);
  line(4, 355, 275, 525, 275, kBrown);
  chain(5, {{125, 300}, {150, 330}, {250, 330}}, 0x00808080);
  chain(6, {{330, 80}, {360, 50}, {390, 80}, {360, 110}, {330, 80}}, 0x0000C0FF);
  m_doc.SetObjectName(1, QStringLiteral("House"));
  m_doc.SetObjectName(2, QStringLiteral("Roof"));
  m_doc.SetObjectName(3, QStringLiteral("Tree"));
  m_doc.SetObjectName(4, QStringLiteral("A very long name for the garden fence"));
  m_doc.SetObjectName(5, QStringLiteral("Path"));
  SetOptionFlag(kOptionObjectListTriangles, 1);
  m_view->RedrawDrawing();
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  EXPECT_LE(list->width(), 300);
  ClickRow(*list, 0);
  ClickRow(*list, 2);
  // One line of the house chosen: its row shows the partial dot.
  Drawing().ToggleChosen(m_doc.GetItem(0), 1, 0);
  m_view->UpdateObjectListRow(m_doc.GetItem(0)->GetObjectNumber());
  m_view->UpdateObjectListTicks();
  // The mouse over the bottom-left triangle, which shows it in the highlight colour; the
  // other two stay in their own.
  list->OnMouseMove(0, list->CornerPoint(CTickElements::kBottomLeft));
  EXPECT_EQ(list->GetHoveredCorner(), CTickElements::kBottomLeft);
  QApplication::processEvents();
  const QImage shot = m_view->grab().toImage();
  EXPECT_TRUE(shot.save(RenderPath(QStringLiteral("object_list.png"))));
  const auto rgb = [](ColourRef c) {
    const QRgb value = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                            static_cast<int>((c >> 16) & 0xFF));
    return value & 0xFFFFFFu;
  };
  const QPoint origin = list->geometry().topLeft();
  // The list is painted over the drawing in its own background.
  const QPoint inside = origin + QPoint(list->width() / 2, 2);
  EXPECT_EQ(shot.pixel(inside) & 0xFFFFFFu, rgb(g_colourTable[20]));
  // The triangles: the hovered one in the highlight colour, the others in theirs, none in the
  // list's own corner (top right).
  EXPECT_EQ(shot.pixel(origin + list->CornerPoint(CTickElements::kBottomLeft)) & 0xFFFFFFu,
            rgb(g_colourTable[9]));
  for (const int corner : {CTickElements::kTopLeft, CTickElements::kBottomRight}) {
    // Inside the triangle, near the corner's right angle.
    const QPoint box = list->CornerPoint(corner);
    const QPoint nearCorner = box + QPoint(corner == CTickElements::kTopLeft ? -2 : 2,
                                           corner == CTickElements::kTopLeft ? -2 : 2);
    EXPECT_EQ(shot.pixel(origin + nearCorner) & 0xFFFFFFu, rgb(g_colourTable[23])) << corner;
  }
  EXPECT_EQ(shot.pixel(origin + list->CornerPoint(CTickElements::kTopRight)) & 0xFFFFFFu,
            rgb(g_colourTable[20]));
  // The drawing shows under the list's left: the house's wall in black.
  const QPoint wall = Drawing().mapTo(m_view.get(), QPoint(60, 250));
  EXPECT_EQ(shot.pixel(wall) & 0xFFFFFFu, rgb(kBlack));
}

}  // namespace
}  // namespace zeph::testing
