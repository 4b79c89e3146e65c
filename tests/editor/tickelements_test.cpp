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
  for (int object = 1; object <= 6; ++object) AddObjectLine(object, object);
  m_doc.SetObjectName(2, QStringLiteral("House"));
  m_doc.SetObjectName(5, QStringLiteral("A very long name for the garden fence"));
  SetOptionFlag(kOptionObjectListTriangles, 1);
  SetZoom(6, 20, m_view->GetDrawingAreaHeight() - 40);
  m_view->RedrawDrawing();
  CTickElements* list = ShowList();
  ASSERT_NE(list, nullptr);
  EXPECT_LE(list->width(), 300);
  ClickRow(*list, 0);
  ClickRow(*list, 2);
  Drawing().ToggleChosen(m_doc.GetItem(3), 1, 0);
  m_view->UpdateObjectListRow(m_doc.GetItem(3)->GetObjectNumber());
  m_view->UpdateObjectListTicks();
  list->OnMouseMove(0, list->RowPoint(1));
  QApplication::processEvents();
  const QImage shot = m_view->grab().toImage();
  EXPECT_TRUE(shot.save(RenderPath(QStringLiteral("object_list.png"))));
  // The list is painted over the drawing in its own background.
  const QPoint inside = list->geometry().topLeft() + QPoint(list->width() / 2, 2);
  const ColourRef back = g_colourTable[20];
  EXPECT_EQ(shot.pixel(inside) & 0xFFFFFFu,
            qRgb(static_cast<int>(back & 0xFF), static_cast<int>((back >> 8) & 0xFF),
                 static_cast<int>((back >> 16) & 0xFF)) & 0xFFFFFFu);
}

}  // namespace
}  // namespace zeph::testing
