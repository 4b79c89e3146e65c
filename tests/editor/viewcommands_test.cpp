// The editing view's commands through scripted dialogs, their update handlers, the keys seen
// before the accelerators and on their release, and the focus.
#include "editor/editordialogs.h"
#include "editor/tooltable.h"
#include "items/drawitem.h"
#include "support/help.h"
#include "support/uiutil.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

// Dialogs that record what they were opened with and answer as scripted.
class CScriptedDialogs final : public IEditorDialogs {
 public:
  int answer = 1;
  GridDialogSettings gridIn;
  GridDialogSettings gridOut;
  PrintingScaleSettings scaleIn;
  PrintingScaleSettings scaleOut;
  QString realWorldIn;
  QString realWorldOut;
  int opened = 0;

  int ChooseGridSettings(GridDialogSettings& settings) override {
    ++opened;
    gridIn = settings;
    if (answer == 1) settings = gridOut;
    return answer;
  }
  int ChoosePrintingScale(PrintingScaleSettings& settings) override {
    ++opened;
    scaleIn = settings;
    if (answer == 1) settings = scaleOut;
    return answer;
  }
  int ChooseRealWorldScale(QString& text) override {
    ++opened;
    realWorldIn = text;
    if (answer == 1) text = realWorldOut;
    return answer;
  }
};

class ViewCommandsTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    SetEditorDialogs(&m_dialogs);
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    g_realWorldScale = 1.0;
    ViewTest::TearDown();
  }
  void AddLine(int x1, int y1, int x2, int y2) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(x1, y1);
    line->SetEnd(x2, y2);
    line->SetColour(0xFF);
    ASSERT_EQ(m_doc.AddItem(line), 1);
  }

  CScriptedDialogs m_dialogs;
};

TEST_F(ViewCommandsTest, AcceleratorKeysLetTheMouseGoFirst) {
  struct Case {
    int key;
    unsigned modifiers;
    bool releases;
  };
  const unsigned ctrl = Qt::ControlModifier;
  const Case cases[] = {
      {Qt::Key_Z, ctrl, true},  {Qt::Key_Y, ctrl, true},  {Qt::Key_C, ctrl, true},
      {Qt::Key_N, ctrl, true},  {Qt::Key_O, ctrl, true},  {Qt::Key_P, ctrl, true},
      {Qt::Key_F1, 0, true},    {Qt::Key_F9, 0, true},    {Qt::Key_F10, 0, true},
      {Qt::Key_Z, 0, false},    {Qt::Key_A, ctrl, false}, {Qt::Key_F3, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    g_mouseCaptured = 1;
    Drawing().DrawCrossHairs(50, 50);
    m_view->PreTranslateKey(c.key, c.modifiers);
    EXPECT_EQ(g_mouseCaptured, c.releases ? 0 : 1);
    EXPECT_EQ(Drawing().AreCrossHairsShown(), c.releases ? 0 : 1);
    Drawing().HideCrossHairs();
  }
  g_mouseCaptured = 0;
}

TEST_F(ViewCommandsTest, GridSettingsKeepHuntSnappingUnlessGridSnappingIsTicked) {
  struct Case {
    int snapBefore;
    int ticked;
    int snapAfter;
  };
  const Case cases[] = {
      {kSnapHunt, 0, kSnapHunt}, {kSnapHunt, 1, kSnapGrid}, {kSnapGrid, 0, kSnapNone},
      {kSnapNone, 0, kSnapNone}, {kSnapGrid, 1, kSnapGrid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.snapBefore * 10 + c.ticked);
    g_snapMode = c.snapBefore;
    m_dialogs.gridOut = GridDialogSettings{c.ticked, 0, 1, 3, 1, 1, 4};
    m_view->RunCommand(CEditingView::kCmdViewGridSettings);
    EXPECT_EQ(m_dialogs.gridIn.snap, c.snapBefore == kSnapGrid ? 1 : 0);
    EXPECT_EQ(g_snapMode, c.snapAfter);
  }
  EXPECT_EQ(GetOptionShort(kOptionGridShow), 1);
  EXPECT_EQ(GetOptionShort(kOptionGridColour), 3);
  EXPECT_EQ(GetOptionShort(kOptionGridType), 1);
  EXPECT_EQ(GetOptionShort(kOptionGridLayout), 1);
  EXPECT_EQ(GetOptionShort(kOptionGridDistance), 4);

  // The dialog opens with the options as stored; never shown, then cancelled: nothing changes.
  m_dialogs.gridOut = GridDialogSettings{0, 1, 0, 0, 0, 0, 0};
  m_view->RunCommand(CEditingView::kCmdViewGridSettings);
  EXPECT_EQ(m_dialogs.gridIn.alwaysShown, 1);
  EXPECT_EQ(m_dialogs.gridIn.gridSize, 4);
  EXPECT_EQ(GetOptionShort(kOptionGridShow), 2);
  m_dialogs.answer = 0;
  g_snapMode = kSnapGrid;
  m_view->RunCommand(CEditingView::kCmdViewGridSettings);
  EXPECT_EQ(GetOptionShort(kOptionGridShow), 2);
  EXPECT_EQ(g_snapMode, kSnapGrid);
}

TEST_F(ViewCommandsTest, PrintingScaleWithoutADrawingIsAGlitch) {
  m_view->SetDocument(nullptr);
  m_view->RunCommand(CEditingView::kCmdEditPrintingScale);
  EXPECT_EQ(m_dialogs.opened, 0);
  m_view->SetDocument(&m_doc);
  ExpectGlitch(2812, 1);
}

TEST_F(ViewCommandsTest, RealWorldScaleIsReadFromTheDialogsText) {
  g_realWorldScale = 1.0;
  m_dialogs.realWorldOut = QStringLiteral("2.5");
  m_view->RunCommand(CEditingView::kCmdEditRealWorldScale);
  EXPECT_EQ(m_dialogs.realWorldIn.toDouble(), 1.0);
  EXPECT_DOUBLE_EQ(g_realWorldScale, 2.5);
  EXPECT_DOUBLE_EQ(m_doc.GetRealWorldScale(), 2.5);
  m_dialogs.answer = 0;
  m_view->RunCommand(CEditingView::kCmdEditRealWorldScale);
  EXPECT_DOUBLE_EQ(g_realWorldScale, 2.5);
}

TEST_F(ViewCommandsTest, HelpOnTheCurrentToolNamesItsTopic) {
  // Hunt and Grid never become the current tool; a number outside the tools gives the welcome.
  EXPECT_EQ(GetToolHelpTopic(kToolHunt), GetToolHelpTopic(99));
  EXPECT_NE(GetToolHelpTopic(kToolLine), GetToolHelpTopic(99));
  // Without help installed the command says so instead of showing a page.
  ResetHelpState();
  g_currentTool = kToolLine;
  m_view->RunCommand(CEditingView::kCmdHelp);
  EXPECT_EQ(m_presenter.shown().size(), 1u);
}

}  // namespace
}  // namespace zeph::testing
