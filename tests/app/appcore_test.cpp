// The application core: the command line, start-up, the idle queue, the window title, the
// view switch and its menus, the recent files, the window position and the close order.
#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>

#include "app/idle.h"
#include "app_fixture.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "editor/editorstate.h"
#include "platform/desktop.h"
#include "support/files.h"
#include "support/help.h"
#include "support/internet.h"
#include "support/settings.h"

namespace zeph::testing {
namespace {

// ---- The command line ----

TEST(CommandLineTest, SwitchesQuotesAndNames) {
  struct Case {
    const char* text;
    const char* name;
    int keep;
  };
  const Case cases[] = {
      {"", "", 0},
      {"   ", "", 0},
      {"/g /L /s \"C:/plans/house\"", "C:/plans/house", 1},
      {"/S plan.zpd", "plan.zpd", 1},
      {"/G/l plan", "plan", 0},                        // switches need no blank between them
      {"\"\"two pairs\"\"", "two pairs", 0},            // both outer pairs go
      {"\"", "\"", 0},                                  // one quote is no pair
      {"/x/plan", "/x/plan", 0},                        // an unknown switch starts the name
      {"/Q house", "/Q house", 0},
      {"  spaced name.zpd  ", "spaced name.zpd", 0},
      {"\"a\"b\"", "a\"b", 0},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(QString::fromUtf8(c.text));
    EXPECT_EQ(line.drawingName, QString::fromUtf8(c.name)) << c.text;
    EXPECT_EQ(line.keepDocumentsFolder, c.keep) << c.text;
  }
}

TEST(CommandLineTest, ExtensionAddedOnlyWhenThereIsNone) {
  EXPECT_EQ(CommandLineDrawingPath(QStringLiteral("/home/a/plan")), QStringLiteral("/home/a/plan.zpd"));
  EXPECT_EQ(CommandLineDrawingPath(QStringLiteral("/home/a/plan.zpd")), QStringLiteral("/home/a/plan.zpd"));
  EXPECT_EQ(CommandLineDrawingPath(QStringLiteral("/home/a/plan.txt")), QStringLiteral("/home/a/plan.txt"));
  EXPECT_EQ(CommandLineDrawingPath(QStringLiteral("/home/a.b/plan")), QStringLiteral("/home/a.b/plan.zpd"));
}

TEST(CommandLineTest, ArgumentsJoinedKeepNamesWithBlanksWhole) {
  const QString text = JoinArguments({QStringLiteral("/S"), QStringLiteral("/tmp/my plan.zpd")});
  const CommandLine line = ParseCommandLine(text);
  EXPECT_EQ(line.keepDocumentsFolder, 1);
  EXPECT_EQ(line.drawingName, QStringLiteral("/tmp/my plan.zpd"));
}

// ---- The idle queue ----

TEST(IdleQueueTest, ElevenActionsFillItAndTheTwelfthIsDropped) {
  ResetLogState();
  CIdleQueue queue;
  int polls = 0;
  queue.SetPoll([&polls] {
    ++polls;
    return 0;
  });
  queue.QueueIdleAction(kIdlePollInternet);
  for (int i = 0; i < kIdleQueueCapacity; ++i) queue.QueueIdleAction(100 + i);
  queue.QueueIdleAction(999);  // dropped: the queue is full
  EXPECT_EQ(queue.GetPendingAction(), kIdlePollInternet);
  ASSERT_EQ(queue.GetQueueCount(), kIdleQueueCapacity);
  EXPECT_EQ(queue.GetQueuedAction(kIdleQueueCapacity - 1), 109);
  EXPECT_TRUE(queue.IsTimerArmed());

  // One action per idle period, in order; unknown ones are dropped.
  queue.OnIdle(0);
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(queue.GetPendingAction(), 100);
  EXPECT_EQ(queue.GetQueueCount(), kIdleQueueCapacity - 1);
  for (int i = 0; i < kIdleQueueCapacity; ++i) queue.OnIdle(0);
  EXPECT_EQ(queue.GetPendingAction(), 0);
  EXPECT_EQ(queue.GetQueueCount(), 0);
  EXPECT_EQ(polls, 1);
  ResetLogState();
}

TEST(IdleQueueTest, PollRequeuedWhileTasksRunWaitsForTheNetwork) {
  CIdleQueue queue;
  int running = 2;  // the poll answers "still working" twice
  int polls = 0;
  queue.SetPoll([&] {
    ++polls;
    return running-- > 0 ? 1 : 0;
  });
  queue.QueueIdleAction(kIdlePollInternet);
  QTest::qWait(20);
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(queue.GetPendingAction(), kIdlePollInternet);
  // Re-queued, but no timer runs it until a network report arrives.
  EXPECT_FALSE(queue.IsTimerArmed());
  QTest::qWait(20);
  EXPECT_EQ(polls, 1);

  queue.Wake();
  QTest::qWait(20);
  EXPECT_EQ(polls, 2);
  queue.Wake();
  QTest::qWait(20);
  EXPECT_EQ(polls, 3);  // the tasks have finished: not queued again
  EXPECT_EQ(queue.GetPendingAction(), 0);
  queue.Wake();
  QTest::qWait(20);
  EXPECT_EQ(polls, 3);
}

TEST(IdleQueueTest, PollWhoseTaskCanGoOnRunsAgainWithoutANetworkReport) {
  // A check whose request could not start, or whose reply has been read, gets no further
  // report: its remaining steps run one per idle period until it has finished.
  CIdleQueue queue;
  int steps = 3;
  int polls = 0;
  queue.SetPoll([&] {
    ++polls;
    return steps-- > 0 ? 2 : 0;
  });
  queue.QueueIdleAction(kIdlePollInternet);
  EXPECT_TRUE(QTest::qWaitFor([&] { return polls == 4; }, 1000)) << polls << " polls";
  EXPECT_FALSE(queue.IsPollWaiting());
  EXPECT_EQ(queue.GetPendingAction(), 0);
  EXPECT_FALSE(queue.IsTimerArmed());
}

TEST(IdleQueueTest, RequeuedPollGoesBehindQueuedActionsAndIsDroppedWhenFull) {
  ResetLogState();
  CIdleQueue queue;
  queue.SetPoll([] { return 1; });
  queue.QueueIdleAction(kIdlePollInternet);
  queue.QueueIdleAction(7);
  queue.OnIdle(0);
  EXPECT_EQ(queue.GetPendingAction(), 7);
  ASSERT_EQ(queue.GetQueueCount(), 1);
  EXPECT_EQ(queue.GetQueuedAction(0), kIdlePollInternet);

  queue.Clear();
  queue.QueueIdleAction(kIdlePollInternet);
  for (int i = 0; i < kIdleQueueCapacity; ++i) queue.QueueIdleAction(50 + i);
  queue.OnIdle(0);  // the head moves up, then the poll fits into the freed slot
  EXPECT_EQ(queue.GetQueuedAction(kIdleQueueCapacity - 1), kIdlePollInternet);
  queue.Clear();
  queue.QueueIdleAction(kIdlePollInternet);
  for (int i = 0; i < kIdleQueueCapacity; ++i) queue.QueueIdleAction(50 + i);
  queue.QueueIdleAction(kIdlePollInternet);  // an eleventh: dropped
  EXPECT_EQ(queue.GetQueueCount(), kIdleQueueCapacity);
  ResetLogState();
}

// ---- Start-up ----

TEST_F(AppTest, StartsOnTheStartScreenWithoutDictionaryOrDrawing) {
  CZephApp& app = Start();
  ASSERT_TRUE(app.HasMainWindow());
  EXPECT_EQ(app.GetActiveViewCode(), kViewFront);
  EXPECT_EQ(app.GetChildId(app.GetFrontView()), kIdFirstPane);
  EXPECT_EQ(app.GetChildId(app.GetEditingView()), kIdSecondPane);
  EXPECT_EQ(app.NoDrawingShownYet(), 1);
  // The program folder holds no dictionary: the checker exists without it and start-up went on.
  ASSERT_NE(g_spellChecker, nullptr);
  EXPECT_FALSE(g_spellChecker->HasMainDictionary());
  EXPECT_NE(g_dictionaryStatus, 0);
  EXPECT_NE(g_symbolLibraryDoc, nullptr);
  EXPECT_NE(g_symbolDoc, nullptr);
  EXPECT_NE(g_hatchSamplesDoc, nullptr);
  EXPECT_EQ(g_symbolDoc->IsUndoEnabled(), 0);
  EXPECT_FALSE(Frame().IsToolBarShown());
  EXPECT_FALSE(Frame().HasEditingMenu());
  EXPECT_EQ(app.GetIdleQueue().GetPendingAction(), kIdlePollInternet);
  EXPECT_TRUE(CalledInOrder({"create front", "front colours", "create editing", "front painting", "prepare front"}));
  // The steps in their order (no name is kept: it is asked for), the last queueing the poll.
  const std::vector<int> steps = app.GetStartupSteps();
  const std::vector<int> want{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 21, 22, 23, 25, 26, 27, 35, 40, 41, 42, 60, 100};
  for (std::size_t i = 0; i < want.size(); ++i) ASSERT_EQ(steps[i], want[i]) << i;
  EXPECT_EQ(steps.back(), 150);
  EXPECT_TRUE(m_presenter.shown().empty());
  // No name is kept: the name dialog was shown once.
  EXPECT_EQ(m_dialogsRun.size(), 1u);
}

// A drawing of one line, written as the program writes it.
void WriteOneLineDrawing(const QString& path) {
  CZephDoc doc;
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(0, 0);
  line->SetEnd(10000, 5000);
  line->SetColour(0);
  line->SetLineStyle(kLineStyleUnbroken);
  ASSERT_NE(doc.AddItem(line), 0);
  doc.WriteDrawingFile(path);
  ASSERT_EQ(g_fileStatus, 0);
}

TEST_F(AppTest, UnreadableDrawingOnTheCommandLineShowsTheStartScreenSilently) {
  CZephApp& app = Start(QStringLiteral("/S \"") + FilePath(QStringLiteral("missing")) + u'"');
  EXPECT_EQ(g_startFolderGiven, 1);
  EXPECT_FALSE(app.CommandLineDrawingRead());
  EXPECT_EQ(app.GetActiveViewCode(), kViewFront);
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_TRUE(app.GetActiveDocument()->GetFilePath().isEmpty());
}

TEST_F(AppTest, DrawingOnTheCommandLineOpensTheEditingView) {
  WriteOneLineDrawing(FilePath(QStringLiteral("plan.zpd")));
  if (HasFatalFailure()) return;
  CZephApp& app = Start(QStringLiteral("/g ") + FilePath(QStringLiteral("plan")));
  EXPECT_TRUE(app.CommandLineDrawingRead());
  EXPECT_EQ(app.GetActiveViewCode(), kViewEditing);
  EXPECT_EQ(app.GetChildId(app.GetEditingView()), kIdFirstPane);
  EXPECT_EQ(app.GetActiveDocument()->GetItemCount(), 1);
  SetOptionFlag(kOptionFullPathnameTitle, 0);
  app.UpdateTitle();
  EXPECT_EQ(app.GetTitle(), QStringLiteral("plan"));
  EXPECT_EQ(Frame().windowTitle(), QStringLiteral("plan - Zephorin"));
  EXPECT_TRUE(Frame().HasEditingMenu());
}

TEST_F(AppTest, ADrawingOnTheCommandLineThatStopsPartWayStaysUntitled) {
  WriteOneLineDrawing(FilePath(QStringLiteral("broken.zpd")));
  if (HasFatalFailure()) return;
  // Cut the file inside its line section: the header promises a line the file lacks.
  QFile file(FilePath(QStringLiteral("broken.zpd")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray whole = file.readAll();
  file.close();
  const QByteArray part = whole.left(whole.size() * 3 / 5);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(part);
  file.close();

  CZephApp& app = Start(FilePath(QStringLiteral("broken.zpd")));
  EXPECT_NE(g_fileStatus, 0);
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_TRUE(app.GetActiveDocument()->GetFilePath().isEmpty());
  app.UpdateTitle();
  EXPECT_NE(app.GetTitle(), QStringLiteral("broken"));
  // The file itself is left as it was.
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), part);
}

// ---- Views and menus ----

TEST_F(AppTest, SwitchingViewsSwapsIdentifiersAndKeepsTheEditingMenu) {
  CZephApp& app = Start();
  m_calls.clear();
  SetOptionFlag(kOptionToolBar, 1);
  app.ShowEditingView();
  EXPECT_EQ(app.GetActiveViewCode(), kViewEditing);
  EXPECT_EQ(app.NoDrawingShownYet(), 0);
  EXPECT_EQ(app.GetChildId(app.GetEditingView()), kIdFirstPane);
  EXPECT_EQ(app.GetChildId(app.GetFrontView()), kIdSecondPane);
  EXPECT_EQ(Frame().GetActiveView(), app.GetEditingView());
  EXPECT_TRUE(Frame().IsToolBarShown());
  EXPECT_TRUE(Frame().HasEditingMenu());
  EXPECT_TRUE(CalledInOrder({"deactivate front", "prepare editing"}));

  // Shown again: the switch still runs (deactivated, prepared again), identifiers stay.
  m_calls.clear();
  app.ShowEditingView();
  EXPECT_TRUE(CalledInOrder({"deactivate editing", "prepare editing"}));
  EXPECT_EQ(app.GetChildId(app.GetEditingView()), kIdFirstPane);

  m_calls.clear();
  app.ShowFrontView();
  EXPECT_EQ(app.GetActiveViewCode(), kViewFront);
  EXPECT_FALSE(Frame().IsToolBarShown());
  EXPECT_EQ(app.GetChildId(app.GetFrontView()), kIdFirstPane);
  EXPECT_TRUE(Frame().HasEditingMenu());  // the frame keeps the editing menu
  EXPECT_TRUE(CalledInOrder({"deactivate editing", "prepare front"}));

  // The start screen again: no switch and the toolbar left alone, but laid out again.
  Frame().ShowToolBar(true);
  m_calls.clear();
  app.ShowFrontView();
  EXPECT_TRUE(Frame().IsToolBarShown());
  EXPECT_EQ(m_calls, std::vector<std::string>{"prepare front"});
}

TEST_F(AppTest, EditingViewForwardingActsOnlyWhileItIsShown) {
  CZephApp& app = Start();
  m_calls.clear();
  app.CancelEditing();
  app.RefreshDrawing();
  EXPECT_TRUE(m_calls.empty());
  app.ShowEditingView();
  m_calls.clear();
  app.CancelEditing();
  app.RefreshDrawing();
  EXPECT_EQ(m_calls, (std::vector<std::string>{"cancel editing", "redraw editing"}));
}

TEST_F(AppTest, TitleFollowsThePathAndTheFullPathOption) {
  CZephApp& app = Start();
  CZephDoc& doc = *app.GetActiveDocument();
  struct Case {
    QString path;
    int fullPath;
    QString title;
  };
  const QString folder = m_folder.path();
  const Case cases[] = {
      {QString(), 0, QString()},
      {folder + QStringLiteral("/house.zpd"), 0, QStringLiteral("house")},
      {folder + QStringLiteral("/house.v2.zpd"), 0, QStringLiteral("house.v2")},
      {folder + QStringLiteral("/house.zpd"), 1, folder + QStringLiteral("/house")},
      {folder + QStringLiteral("/noext"), 0, QStringLiteral("noext")},
  };
  for (const Case& c : cases) {
    doc.SetFilePath(c.path);
    SetOptionFlag(kOptionFullPathnameTitle, c.fullPath);
    app.UpdateTitle();
    EXPECT_EQ(app.GetTitle(), c.title) << c.path.toStdString() << " " << c.fullPath;
  }
  doc.SetFilePath(QString());
  app.UpdateTitle();
  EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Zephorin"));
}

// ---- Recent files ----

TEST_F(AppTest, RecentFilesKeepFourMostRecentFirstAcrossRuns) {
  CZephApp& app = Start();
  CRecentFiles& recent = app.GetRecentFiles();
  for (const char* name : {"a", "b", "c", "d", "e", "c"}) recent.Add(FilePath(QString::fromLatin1(name)));
  const QStringList want{FilePath(QStringLiteral("c")), FilePath(QStringLiteral("e")), FilePath(QStringLiteral("d")),
                         FilePath(QStringLiteral("b"))};
  EXPECT_EQ(recent.Paths(), want);
  CRecentFiles again;
  again.Load();
  EXPECT_EQ(again.Paths(), want);
}

TEST_F(AppTest, OpeningARecentFileThatIsGoneLeavesTheListAndTheView) {
  CZephApp& app = Start();
  const QString gone = FilePath(QStringLiteral("gone.zpd"));
  app.GetRecentFiles().Add(gone);
  m_presenter.QueueAnswer(kIdOk);
  EXPECT_EQ(app.OpenDocumentFile(gone), nullptr);
  EXPECT_FALSE(app.GetRecentFiles().Paths().contains(gone));
  EXPECT_EQ(app.GetActiveViewCode(), kViewFront);
  EXPECT_EQ(m_presenter.shown().size(), 1u);  // the file error names the file
}

// ---- Frame commands ----

TEST_F(AppTest, HelpTopicsOfMenuCommands) {
  EXPECT_EQ(HelpTopicOfCommand(57634), 0);
  EXPECT_EQ(HelpTopicOfCommand(57603), 16);
  EXPECT_EQ(HelpTopicOfCommand(32789), 24);
  EXPECT_EQ(HelpTopicOfCommand(32792), 24);
  EXPECT_EQ(HelpTopicOfCommand(32812), 45);
  EXPECT_EQ(HelpTopicOfCommand(32820), -1);  // Edit > Picture > Insert has none
  EXPECT_EQ(HelpTopicOfCommand(32814), -1);
  EXPECT_EQ(MakePaletteRgb(0xFF123456u), 0x02123456u);
}

TEST_F(AppTest, StandardOptionsShowTheToolbarEvenOnTheStartScreen) {
  CZephApp& app = Start();
  ASSERT_EQ(app.GetActiveViewCode(), kViewFront);
  ASSERT_FALSE(Frame().IsToolBarShown());
  Frame().OnOptionsStandard();
  EXPECT_TRUE(Frame().IsToolBarShown());
  EXPECT_EQ(Frame().GetStatusText(), QStringLiteral("The options have been set to their standard values."));
  Frame().OnOptionsInitialValues();
  EXPECT_EQ(Frame().GetStatusText(), QStringLiteral("The options have been set to their initial values."));
}

TEST_F(AppTest, ToolbarOptionFollowsOnlyInTheEditingView) {
  CZephApp& app = Start();
  SetOptionFlag(kOptionToolBar, 0);
  Frame().OnViewToolBar();
  EXPECT_EQ(GetOptionFlag(kOptionToolBar), 1);
  EXPECT_FALSE(Frame().IsToolBarShown());  // the start screen keeps it hidden
  app.ShowEditingView();
  EXPECT_TRUE(Frame().IsToolBarShown());
  Frame().OnViewToolBar();
  EXPECT_FALSE(Frame().IsToolBarShown());
  EXPECT_EQ(Frame().GetCommandCheck(cmd::kViewToolBar), 0);
}

TEST_F(AppTest, CommandsWithoutAHandlerOrItemsArePresentAndDisabled) {
  Start();
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kEditPictureScale));
  EXPECT_TRUE(Frame().IsCommandEnabled(cmd::kFileNew));
  EXPECT_TRUE(Frame().IsCommandEnabled(cmd::kOptionsStandard));
  // Item commands want a drawing with items.
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kFilePrint));
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kEditWipe));
}

TEST_F(AppTest, PickColourIsAToolbarButtonTheEditingViewEnablesAndTicks) {
  CZephApp& app = Start();
  auto& views = static_cast<CRecordingViews&>(app.GetViews());
  QAction* pick = Frame().Commands().Action(cmd::kPickColour);
  ASSERT_NE(pick, nullptr);
  EXPECT_TRUE(Frame().GetToolBar()->actions().contains(pick));
  EXPECT_EQ(pick->toolTip(), QStringLiteral("Pick colour"));
  EXPECT_EQ(pick->statusTip(), QStringLiteral("Pick the colour of an existing item."));
  EXPECT_FALSE(pick->icon().isNull());
  // Only the editing view enables it, as its update handler says.
  views.editingEnabled = 1;
  views.editingCheck = 1;
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kPickColour));
  app.ShowEditingView();
  EXPECT_TRUE(Frame().IsCommandEnabled(cmd::kPickColour));
  EXPECT_EQ(Frame().GetCommandCheck(cmd::kPickColour), 1);
  m_calls.clear();
  pick->trigger();
  EXPECT_EQ(m_calls, std::vector<std::string>{"run 33081"});
  views.editingEnabled = 0;
  views.editingCheck = 0;
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kPickColour));
  EXPECT_EQ(Frame().GetCommandCheck(cmd::kPickColour), 0);
}

TEST_F(AppTest, SymbolSelectWithAnEmptyLibraryStopsWhenTheLibraryIsNotChosen) {
  Start();
  m_dialogsRun.clear();
  Frame().OnSymbolSelect();
  ASSERT_EQ(m_dialogsRun.size(), 1u);  // the library dialog only, cancelled
  EXPECT_EQ(g_symbolLibraryDoc->GetItemCount(), 0);
}

TEST_F(AppTest, HelpTextSizeWithAMissingFileIsRefusedAndDisabled) {
  Start();
  SetOptionShort(kOptionHelpTextSize, 0);
  Frame().OnHelpTextSize(2);  // large: no help files in the test's program folder
  EXPECT_EQ(GetOptionShort(kOptionHelpTextSize), 0);
  EXPECT_FALSE(Frame().IsCommandEnabled(cmd::kHelpTextMedium + 2));
}

TEST_F(AppTest, SystemKeyLetsTheEditingCaptureGoAndModifiersAreFollowed) {
  CZephApp& app = Start();
  app.ShowEditingView();
  g_mouseCaptured = 1;
  QTest::keyPress(&Frame(), Qt::Key_Alt);
  EXPECT_EQ(g_mouseCaptured, 0);
  EXPECT_EQ(g_systemKeyDown, 1);
  QTest::keyRelease(&Frame(), Qt::Key_Alt);
  EXPECT_EQ(g_systemKeyDown, 0);
  QTest::keyPress(&Frame(), Qt::Key_Shift);
  EXPECT_NE(g_keyState & kKeyStateShift, 0);
  QTest::keyRelease(&Frame(), Qt::Key_Shift);
  EXPECT_EQ(g_keyState & kKeyStateShift, 0);
}

// ---- Window position ----

TEST_F(AppTest, WindowPositionIsTakenOnlyAfterTheFirstRestore) {
  Start();
  CMainFrame& frame = Frame();
  g_windowPosition = {10, 20, 640, 480};
  g_windowPositionValid = 1;
  // Maximised, or before the first restore: moves change nothing.
  frame.OnMove(5, 5);
  frame.OnSize(300, 200);
  EXPECT_EQ(g_windowPositionChanged, 0);
  EXPECT_EQ(g_windowPosition, (WindowPosition{10, 20, 640, 480}));

  frame.showNormal();
  frame.OnSysCommand(kScRestore);  // the first restore applies the saved rectangle
  EXPECT_EQ(frame.GetWindowState(), kWindowNormal);
  EXPECT_EQ(frame.IsRestoredOnce(), 1);
  EXPECT_EQ(frame.geometry(), QRect(10, 20, 640, 480));
  EXPECT_EQ(g_windowPositionChanged, 0);

  frame.setGeometry(30, 40, 500, 400);
  frame.OnSize(500, 400);
  EXPECT_EQ(g_windowPositionChanged, 1);
  EXPECT_EQ(g_windowPosition, (WindowPosition{30, 40, 500, 400}));

  frame.OnSysCommand(kScMaximise);
  g_windowPositionChanged = 0;
  frame.OnMove(0, 0);
  EXPECT_EQ(g_windowPositionChanged, 0);
}

// ---- Closing ----

TEST_F(AppTest, CancelledSaveQuestionKeepsTheProgramRunning) {
  CZephApp& app = Start();
  app.GetActiveDocument()->MarkChanged();
  m_presenter.QueueAnswer(kIdCancel);
  EXPECT_FALSE(Frame().OnClose());
  EXPECT_EQ(Frame().IsClosing(), 0);
  EXPECT_NE(g_symbolDoc, nullptr);
  EXPECT_NE(app.GetActiveDocument(), nullptr);
  EXPECT_EQ(app.GetActiveViewCode(), kViewFront);
}

TEST_F(AppTest, CloseOrderFreesInItsOrder) {
  CZephApp& app = Start();
  ResetLogState();
  ASSERT_TRUE(Frame().OnClose());
  EXPECT_EQ(Frame().IsClosing(), 1);
  EXPECT_EQ(g_symbolLibraryDoc, nullptr);
  EXPECT_EQ(g_symbolDoc, nullptr);
  EXPECT_EQ(g_hatchSamplesDoc, nullptr);
  EXPECT_EQ(g_internet, nullptr);
  EXPECT_EQ(app.GetActiveViewCode(), kViewNone);
  EXPECT_EQ(app.GetFrontView(), nullptr);
  EXPECT_EQ(app.GetActiveDocument(), nullptr);
  EXPECT_EQ(g_spellChecker, nullptr);
}

TEST_F(AppTest, WindowPositionIsWrittenAtCloseOnlyWhenItChanged) {
  Start();
  g_windowPositionChanged = 0;
  ASSERT_TRUE(Frame().OnClose());
  QString value;
  EXPECT_EQ(ReadUserSetting(QStringLiteral("WindowPosition"), value), 0);
}

}  // namespace
}  // namespace zeph::testing
