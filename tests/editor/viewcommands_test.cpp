// The editing view's commands through scripted dialogs, their update handlers, the keys seen
// before the accelerators and on their release, and the focus.
#include <QAction>
#include <QKeyEvent>
#include <functional>
#include <vector>

#include "editor/editordialogs.h"
#include "editor/tooltable.h"
#include "items/drawitem.h"
#include "print_fixture.h"
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
    // A printer to measure, and the drawing whose margins give its printable area, as the
    // program has them once a drawing is open.
    ResetPrinterState();
    SetPrinterSystem(&m_printers);
    InstallPrintableAreaComputer();
    SetActivePrintDrawing(&m_doc);
    SetEditorDialogs(&m_dialogs);
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    SetPrinterSystem(nullptr);
    ResetPrinterState();
    ResetPrintLayoutState();
    g_realWorldScale = 1.0;
    ViewTest::TearDown();
  }
  // Clicks with the mouse moved there first, as a user's do.
  void ClickDrawing(QPoint point) {
    QTest::mouseMove(&Drawing(), point);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, point);
  }
  // The view as the focus of its shown window: its keys are watched from then on.
  void FocusView() {
    m_view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_view.get()));
    m_view->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(m_view->hasFocus());
  }
  void AddLine(int x1, int y1, int x2, int y2) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(x1, y1);
    line->SetEnd(x2, y2);
    line->SetColour(0xFF);
    line->SetLineStyle(kLineStyleUnbroken);
    ASSERT_EQ(m_doc.AddItem(line), 1);
  }

  CScriptedDialogs m_dialogs;
  FakePrinterSystem m_printers;
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

TEST_F(ViewCommandsTest, CtrlZWhileTheDrawingHoldsTheMouseLetsItGoBeforeTheUndo) {
  g_appActive = 1;
  m_doc.EnableUndo(1);
  ASSERT_EQ(Drawing().SetTool(kToolNewLine, -1), 1);
  ClickDrawing({60, 120});
  ClickDrawing({200, 120});
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  ASSERT_EQ(g_mouseCaptured, 1) << "the drawing window holds the mouse while it is inside";

  // Ctrl+Z as the main window's Undo holds it.
  int capturedAtUndo = -1;
  QAction undo(m_view.get());
  undo.setShortcut(QKeySequence::Undo);
  undo.setShortcutContext(Qt::ApplicationShortcut);
  m_view->addAction(&undo);
  QObject::connect(&undo, &QAction::triggered, [&] {
    capturedAtUndo = g_mouseCaptured;
    m_view->RunCommand(CEditingView::kCmdEditUndo);
  });
  FocusView();
  QTest::keyPress(m_view.get(), Qt::Key_Control);
  QTest::keyClick(m_view.get(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyRelease(m_view.get(), Qt::Key_Control);

  EXPECT_EQ(capturedAtUndo, 0);
  EXPECT_EQ(g_mouseCaptured, 0);
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_doc.CanRedo(), 1);
}

TEST_F(ViewCommandsTest, F8FitsTheDrawingWhenTheKeyIsLetGo) {
  AddLine(0, 0, 400000, 200000);
  SetZoom(3, 20, 200);
  FocusView();
  QTest::keyPress(m_view.get(), Qt::Key_F8);
  EXPECT_EQ(Mapping().GetZoomLevel(), 3) << "nothing happens while the key is down";
  // A repeated release of a held key is no release.
  QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F8, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(m_view.get(), &repeated);
  EXPECT_EQ(Mapping().GetZoomLevel(), 3);
  QTest::keyRelease(m_view.get(), Qt::Key_F8);
  EXPECT_NE(Mapping().GetZoomLevel(), 3);
  // The whole line is in the window.
  const int right = Mapping().DrawingToDeviceX(400000);
  const int top = Mapping().DrawingToDeviceY(200000);
  EXPECT_GE(Mapping().DrawingToDeviceX(0), 0);
  EXPECT_LT(right, Drawing().width());
  EXPECT_GE(top, 0);
  EXPECT_LT(Mapping().DrawingToDeviceY(0), Drawing().height());
}

TEST_F(ViewCommandsTest, UpdateHandlersEnableAndTickTheirCommands) {
  struct Row {
    const char* what;
    int command;
    std::function<void()> set;
    int enabled;
    int check;  // -1: the handler says nothing of it
  };
  const std::vector<Row> rows = {
      {"nothing to undo", CEditingView::kCmdEditUndo, [] {}, 0, -1},
      {"nothing to redo", CEditingView::kCmdEditRedo, [] {}, 0, -1},
      {"fit of an empty drawing", kIdViewFit, [] {}, 0, -1},
      {"pick colour in an empty drawing", CEditingView::kCmdPickColour, [] {}, 0, 0},
      {"a line drawn", CEditingView::kCmdEditUndo,
       [this] {
         m_doc.EnableUndo(1);
         AddLine(0, 0, 10000, 0);
       },
       1, -1},
      {"fit with a line", kIdViewFit, [] {}, 1, -1},
      {"pick colour with a line", CEditingView::kCmdPickColour, [] {}, 1, 0},
      {"picking a colour", CEditingView::kCmdPickColour,
       [this] { m_view->RunCommand(CEditingView::kCmdPickColour); }, 1, 1},
      {"picking ended", CEditingView::kCmdPickColour,
       [this] { m_view->RunCommand(CEditingView::kCmdPickColour); }, 1, 0},
      {"the line undone", CEditingView::kCmdEditRedo,
       [this] { m_view->RunCommand(CEditingView::kCmdEditUndo); }, 1, -1},
      {"no hidden objects", CEditingView::kCmdViewHiddenObjects, [] {}, 0, 0},
      {"hidden objects", CEditingView::kCmdViewHiddenObjects,
       [this] {
         AddLine(0, 0, 0, 10000);
         m_doc.GetItem(m_doc.GetItemCount() - 1)->SetHidden();
         g_hiddenObjectsExist = 1;
       },
       1, 0},
      {"hidden objects shown", CEditingView::kCmdViewHiddenObjects,
       [this] { m_view->RunCommand(CEditingView::kCmdViewHiddenObjects); }, 1, 1},
      {"tool state 8", CEditingView::kCmdViewHiddenObjects, [] { g_toolState = 8; }, 0, 1},
      {"zoom in at the last level", kIdViewZoomIn,
       [this] { SetZoom(kZoomLevelCount, 0, 200); }, 0, -1},
      {"zoom out there", kIdViewZoomOut, [] {}, 1, -1},
      {"zoom out at the first level", kIdViewZoomOut,
       [this] { SetZoom(1, 0, 200); }, 0, -1},
      {"zoom in there", kIdViewZoomIn, [] {}, 1, -1},
      {"copy", CEditingView::kCmdEditCopy, [] {}, 1, -1},
      {"grid settings", CEditingView::kCmdViewGridSettings, [] {}, 1, -1},
      {"help", CEditingView::kCmdHelpCurrentTool, [] {}, 1, -1},
      {"not the view's", 57600, [] {}, -1, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.set();
    int check = -1;
    EXPECT_EQ(m_view->UpdateCommand(row.command, check), row.enabled);
    EXPECT_EQ(check, row.check);
  }
  g_toolState = 0;
}

TEST_F(ViewCommandsTest, PrintingScaleOfADrawingOpensOnItsScaleAndStoresTheAnswer) {
  g_realWorldScale = 2.0;
  AddLine(0, 0, 4000000, 2000000);
  m_doc.GetPrintSettings().SetLandscape(1);
  // The automatic scale as the drawing computes it for this window and the turned printer.
  SetPrinterOrientation(1);
  MeasurePrinter();
  ASSERT_NE(m_doc.ComputeExtents(&Mapping(), 0), 0);
  const double automatic = m_doc.GetAutomaticPrintScale();
  ASSERT_NE(automatic, 1.0);

  struct Row {
    const char* what;
    double scaleBefore;
    PrintingScaleSettings answer;
    int automaticShown;
    double scaleShown;
    double scaleAfter;
  };
  const Row rows[] = {
      {"automatic, kept automatic", -1.0, {1, 30.0, 0.0}, 1, automatic * 2.0, -1.0},
      {"automatic, a scale typed", -1.0, {0, 30.0, 0.0}, 1, automatic * 2.0, 15.0},
      {"a scale, made automatic", 15.0, {1, 30.0, 0.0}, 0, 30.0, -1.0},
      {"a scale, another typed", 15.0, {0, 50.0, 0.0}, 0, 30.0, 25.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    m_doc.SetPrintingScale(row.scaleBefore);
    m_dialogs.scaleOut = row.answer;
    m_view->RunCommand(CEditingView::kCmdEditPrintingScale);
    EXPECT_EQ(m_dialogs.scaleIn.automatic, row.automaticShown);
    EXPECT_DOUBLE_EQ(m_dialogs.scaleIn.scale, row.scaleShown);
    EXPECT_DOUBLE_EQ(m_dialogs.scaleIn.automaticScale, automatic * 2.0);
    EXPECT_DOUBLE_EQ(m_doc.GetPrintingScale(), row.scaleAfter);
  }
  // The printer follows the drawing's orientation.
  m_printers.orientation = PageOrientation::kPortrait;
  m_view->RunCommand(CEditingView::kCmdEditPrintingScale);
  EXPECT_EQ(m_printers.orientation, PageOrientation::kLandscape);
  EXPECT_EQ(g_printerDCExists, 1);
  // Cancelled: the scale stays.
  m_dialogs.answer = 0;
  m_view->RunCommand(CEditingView::kCmdEditPrintingScale);
  EXPECT_DOUBLE_EQ(m_doc.GetPrintingScale(), 25.0);
}

}  // namespace
}  // namespace zeph::testing
