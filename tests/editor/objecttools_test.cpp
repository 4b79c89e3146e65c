// The Object, Delete and Colour tools driven with the mouse on a shown editing view: the first
// click dims the others, a second click makes an item dormant again, Shift bands take items
// out, Identify holds one object, Hide marks whole objects, Object > Delete ticks what it
// chooses, Delete flashes on the manual clock, Colour gathers the chosen colours, and OK
// through the prompt button transfers or deletes as one undo step.
#include <QApplication>

#include "controls/viewcontrols.h"
#include "editor/editordialogs.h"
#include "editor/tickelements.h"
#include "editor/viewparts.h"
#include "editor_fixture.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

// The object dialog answered with a fixed object, counted.
class ObjectDialogs final : public IEditorDialogs {
 public:
  int asked = 0;
  std::int16_t answer = 7;
  int ChooseObject(CZephDoc*, std::int16_t& number) override {
    ++asked;
    number = answer;
    return 1;
  }
};

class ObjectToolsTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    InstallEditorPromptParts();
    SetEditorDialogs(&m_dialogs);
    g_appActive = 1;
    SetZoom(8, 20, 300);
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    SetObjectListFactory(nullptr);
    SetPromptHandlers(nullptr);
    ViewTest::TearDown();
  }

  // A line along device row `row`, from column 20 to column 120.
  CDrawItem* AddRowLine(int row, int object = 0, int group = 0, ColourRef colour = kRed) {
    const CViewMapping& m = Mapping();
    const int y = m.DeviceToDrawingY(row, 0);
    DrawItemPtr line = MakeLine(m.DeviceToDrawingX(20), y, m.DeviceToDrawingX(120), y, colour);
    line->SetObjectNumber(static_cast<std::int16_t>(object));
    line->SetGroupNumber(group);
    CDrawItem* added = line.get();
    EXPECT_EQ(m_doc.AddItem(line), 1);
    return added;
  }
  // Takes up the tool as the palette does; the items must be there already for the list.
  void Use(int tool, int subMode = -1) {
    m_view->SelectTool(tool, subMode);
    ASSERT_EQ(g_currentTool, tool);
    Drawing().Invalidate();
    Drawing().UpdateWindow();
  }
  void Click(QPoint point) {
    QTest::mouseMove(&Drawing(), point);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, point);
  }
  void Band(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseMove(&Drawing(), from);
    QTest::mousePress(&Drawing(), Qt::LeftButton, modifiers, from);
    QTest::mouseMove(&Drawing(), to);
    QTest::mouseRelease(&Drawing(), Qt::LeftButton, modifiers, to);
  }
  // A point on the line of device row `row`.
  static QPoint OnRow(int row) { return {70, row + 1}; }

  std::vector<int> Dormant() const {
    std::vector<int> bits;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) bits.push_back(m_doc.GetItem(i)->IsSelected());
    return bits;
  }
  ColourRef Pixel(int x, int y) const {
    const QRgb rgb = Drawing().BackBuffer().pixel(x, y);
    return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }
  static ColourRef DormantColour() { return g_highlightColour & kColourMask; }
  static ColourRef Background() { return g_backgroundColour & kColourMask; }
  // The object's tick in the object list.
  int Tick(int object) const { return m_doc.GetObjectTick(m_doc.FindObjectIndex(object)); }
  CViewButton* OkButton() const { return m_view->GetPromptButton(kIdPromptOK); }
  bool OkEnabled() const { return OkButton() != nullptr && OkButton()->isEnabled(); }
  void PressOk() {
    ASSERT_TRUE(OkEnabled());
    QTest::mouseClick(OkButton(), Qt::LeftButton);
  }
  void UndoOnce() {
    QImage scratch(8, 8, QImage::Format_RGB32);
    CImageContext dc(scratch);
    m_doc.Undo(&dc, &Mapping(), 1);
  }

  ObjectDialogs m_dialogs;
};

TEST_F(ObjectToolsTest, FirstClickDimsTheOthersAndASecondMakesTheItemDormant) {
  struct Case {
    int tool;
    int subMode;
  };
  const Case cases[] = {{kToolDelete, -1}, {kToolColour, -1}, {kToolObject, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    m_doc.ClearDrawing();
    AddRowLine(40, 0, 5);
    AddRowLine(60, 0, 5);  // a shape of two lines
    AddRowLine(90, 0, 0, kBlue);
    Use(c.tool, c.subMode);
    EXPECT_FALSE(OkEnabled());
    Click(OnRow(40));
    EXPECT_EQ(Drawing().IsSelectionShown(), 1);
    EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(Drawing().GetChosenCount(), 2);
    EXPECT_EQ(Pixel(70, 40), kRed);
    EXPECT_EQ(Pixel(70, 60), kRed) << "the rest of the shape keeps its colour";
    EXPECT_EQ(Pixel(70, 90), DormantColour());
    if (c.tool != kToolColour) {
      EXPECT_TRUE(OkEnabled());
    }
    Click(OnRow(60));
    EXPECT_EQ(Dormant(), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Drawing().GetChosenCount(), 0);
    EXPECT_EQ(Drawing().IsSelectionShown(), 1) << "the empty choice stays shown";
    EXPECT_EQ(Pixel(70, 40), DormantColour());
    if (c.tool == kToolDelete) {
      EXPECT_FALSE(OkEnabled());
    }
  }
}

TEST_F(ObjectToolsTest, ShiftBandTakesItemsOutAndNeverStartsAChoice) {
  AddRowLine(40);
  AddRowLine(60);
  AddRowLine(200);
  Use(kToolDelete);
  Band({10, 30}, {150, 70}, Qt::ShiftModifier);
  EXPECT_EQ(Drawing().IsSelectionShown(), 0);
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Drawing().GetChosenCount(), 0);
  EXPECT_FALSE(OkEnabled());
  Band({10, 30}, {150, 70});
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Drawing().GetChosenCount(), 2);
  Band({10, 50}, {150, 70}, Qt::ShiftModifier);
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(Drawing().GetChosenCount(), 1);
  EXPECT_EQ(Pixel(70, 60), DormantColour());
  EXPECT_TRUE(OkEnabled());
}

TEST_F(ObjectToolsTest, IdentifyHoldsOneObjectAndMakesItTheCurrentOne) {
  AddRowLine(40, 3);
  AddRowLine(60, 4);
  AddRowLine(80, 3);
  Use(kToolObject, 0);
  Click(OnRow(40));
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(g_currentObject, 3);
  EXPECT_EQ(g_objectChosen, 1);
  EXPECT_EQ(Tick(3), 1);
  EXPECT_EQ(Tick(4), 0);
  EXPECT_EQ(Pixel(70, 60), DormantColour());
  Click(OnRow(60));
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(g_currentObject, 4);
  EXPECT_EQ(Tick(3), 0);
  EXPECT_EQ(Tick(4), 1);
  EXPECT_EQ(Pixel(70, 40), DormantColour());
  EXPECT_EQ(Pixel(70, 60), kRed);
  EXPECT_EQ(Drawing().GetChosenCount(), 1);
  // Another item of the object shown changes nothing; Name behaves alike.
  Click(OnRow(60));
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(g_currentObject, 4);
  Use(kToolObject, 1);
  Click(OnRow(80));
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(g_currentObject, 3);
}

TEST_F(ObjectToolsTest, HideTogglesAWholeObjectAndItsTick) {
  AddRowLine(40, 3);
  AddRowLine(60, 4);
  AddRowLine(80, 3);
  Use(kToolObject, 3);
  Click(OnRow(80));
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(Tick(3), 1);
  EXPECT_EQ(Drawing().IsSelectionShown(), 0) << "hiding shows no choice";
  EXPECT_EQ(Pixel(70, 40), DormantColour());
  EXPECT_EQ(Pixel(70, 60), kRed);
  Click(OnRow(40));
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Tick(3), 0);
  EXPECT_EQ(Pixel(70, 80), kRed);
  // Marked again and the tool left: the object is hidden.
  Click(OnRow(40));
  Use(kToolDelete);
  EXPECT_EQ(m_doc.GetItem(0)->IsHidden(), 1);
  EXPECT_EQ(m_doc.GetItem(1)->IsHidden(), 0);
  EXPECT_EQ(m_doc.GetItem(2)->IsHidden(), 1);
  Drawing().Invalidate();
  Drawing().UpdateWindow();
  EXPECT_EQ(Pixel(70, 40), Background());
}

TEST_F(ObjectToolsTest, ObjectDeleteTicksWhatItChoosesAndOkRemovesIt) {
  AddRowLine(40, 3);
  AddRowLine(60, 4);
  AddRowLine(80, 3);
  Use(kToolObject, 4);
  Click(OnRow(40));
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(Tick(3), 1);
  EXPECT_TRUE(OkEnabled());
  Click(OnRow(80));
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(Tick(3), 0);
  EXPECT_FALSE(OkEnabled());
  Click(OnRow(60));
  PressOk();
  ASSERT_EQ(m_doc.GetItemCount(), 2);
  EXPECT_EQ(m_doc.GetItem(0)->GetObjectNumber(), 3);
  EXPECT_EQ(m_doc.GetItem(1)->GetObjectNumber(), 3);
  EXPECT_EQ(Drawing().IsSelectionShown(), 0);
  UndoOnce();
  EXPECT_EQ(m_doc.GetItemCount(), 3);
}

TEST_F(ObjectToolsTest, DeleteFlashesTheChoiceOnTheClockWhileTheOptionAsks) {
  for (const int flash : {1, 0}) {
    SCOPED_TRACE(flash);
    m_doc.ClearDrawing();
    SetOptionFlag(kOptionFlashDelete, flash);
    AddRowLine(40, 3);
    AddRowLine(60, 4);
    Use(kToolDelete);
    Click(OnRow(40));
    EXPECT_TRUE(OkEnabled());
    EXPECT_EQ(Drawing().GetTimerId(kTimerFlashChosen) != 0, flash != 0);
    m_clock.Advance(200);
    EXPECT_EQ(Pixel(70, 40), flash != 0 ? Background() : kRed) << "off the screen for a tick";
    m_clock.Advance(200);
    EXPECT_EQ(Pixel(70, 40), kRed);
    EXPECT_EQ(Pixel(70, 60), DormantColour());
    // Nothing chosen: the flashing stops with the item in its dormant colour.
    Click(OnRow(40));
    EXPECT_EQ(Drawing().GetTimerId(kTimerFlashChosen), 0);
    EXPECT_FALSE(OkEnabled());
    m_clock.Advance(1000);
    EXPECT_EQ(Pixel(70, 40), DormantColour());
  }
  // An object ticked in the list flashes as a clicked item does.
  SetOptionFlag(kOptionFlashDelete, 1);
  CTickElements* list = m_view->findChild<CTickElements*>();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(list->isVisible());
  const QPoint row = list->RowPoint(m_doc.FindObjectIndex(4));
  list->OnMouseMove(0, row);
  list->OnLButtonUp(0, row);
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 0}));
  EXPECT_NE(Drawing().GetTimerId(kTimerFlashChosen), 0);
  EXPECT_TRUE(OkEnabled());
}

TEST_F(ObjectToolsTest, ColourGathersAtMostTenChosenColours) {
  std::vector<ColourRef> colours;
  for (int i = 0; i < 12; ++i) {
    colours.push_back(MakeColour(20 * i, 0, 255 - 20 * i));
    AddRowLine(20 + 15 * i, 0, 0, colours.back());
  }
  Use(kToolColour);
  // A band over empty paper chooses nothing: no colours are offered, none is applied.
  Band({150, 10}, {200, 30});
  EXPECT_EQ(Drawing().IsSelectionShown(), 0);
  EXPECT_EQ(g_recolourCount, 0);
  Drawing().RecolourChosen(static_cast<int>(kBlack));
  EXPECT_EQ(m_doc.GetItem(0)->GetColour(), static_cast<int>(colours[0]));

  Click(OnRow(35));
  ASSERT_EQ(g_recolourCount, 1);
  EXPECT_EQ(g_recolourColours[0], static_cast<int>(colours[1]));
  Band({10, 10}, {150, 200});
  ASSERT_EQ(g_recolourCount, 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g_recolourColours[i], static_cast<int>(colours[i])) << i;
}

TEST_F(ObjectToolsTest, TransferOkGivesTheChosenItemsTheObjectAsOneStep) {
  AddRowLine(40, 3);
  AddRowLine(60, 3);
  AddRowLine(80, 4);
  Use(kToolObject, 2);
  Click(OnRow(40));
  Click(OnRow(80));
  PressOk();
  EXPECT_EQ(m_dialogs.asked, 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetObjectNumber(), 7);
  EXPECT_EQ(m_doc.GetItem(1)->GetObjectNumber(), 3);
  EXPECT_EQ(m_doc.GetItem(2)->GetObjectNumber(), 7);
  EXPECT_EQ(Drawing().IsSelectionShown(), 0);
  EXPECT_EQ(g_objectChosen, 0);
  EXPECT_FALSE(OkEnabled());
  UndoOnce();
  EXPECT_EQ(m_doc.GetItem(0)->GetObjectNumber(), 3);
  EXPECT_EQ(m_doc.GetItem(2)->GetObjectNumber(), 4);
}

TEST_F(ObjectToolsTest, DeleteOkRemovesWhatTheClicksChoseAndOneUndoRestoresIt) {
  CDrawItem* first = AddRowLine(40);
  CDrawItem* kept = AddRowLine(60);
  CDrawItem* last = AddRowLine(80);
  Use(kToolDelete);
  // While the button is down the prompt says what the release does; the release clears it.
  QTest::mouseMove(&Drawing(), OnRow(40));
  QTest::mousePress(&Drawing(), Qt::LeftButton, {}, OnRow(40));
  EXPECT_EQ(m_view->GetPromptTextId(), 147);
  QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, OnRow(40));
  EXPECT_EQ(m_view->GetPromptTextId(), 0);
  Click(OnRow(80));
  PressOk();
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0), kept);
  EXPECT_EQ(Drawing().GetTimerId(kTimerFlashChosen), 0);
  EXPECT_EQ(Pixel(70, 40), Background());
  EXPECT_EQ(Pixel(70, 60), kRed);
  UndoOnce();
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  EXPECT_EQ(m_doc.GetItem(0), first);
  EXPECT_EQ(m_doc.GetItem(2), last);
}

}  // namespace
}  // namespace zeph::testing
