#include "app/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSessionManager>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QWindowStateChangeEvent>

#include "app/editordialogsimpl.h"  // the symbol library's load
#include "app/views.h"
#include "app/zephapp.h"
#include "document/document.h"
#include "document/drawingfile.h"
#include "editor/editorstate.h"
#include "editor/zephview.h"
#include "items/intersect.h"
#include "platform/desktop.h"
#include "items/usedsegments.h"
#include "platform/qt/imagecontext.h"
#include "spell/spell.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/sharedconfig.h"
#include "support/strings.h"
#include "support/sysinfo.h"
#include "support/uiutil.h"
#include "support/usagelog.h"

std::int32_t g_windowPositionChanged = 0;
std::int32_t g_timesNewRomanInstalled = 0;
std::int32_t g_verdanaInstalled = 0;

namespace {

constexpr int kLogCreate = 1108;
constexpr int kLogCheckFonts = 1101;
constexpr int kLogSysCommand = 1152;
constexpr int kLogMove = 1113;
constexpr int kLogSize = 1151;
constexpr int kLogClose = 1107;
constexpr int kLogEndSession = 1120;
constexpr int kLogActivate = 1106;
constexpr int kLogInitialValues = 1115;
constexpr int kLogStandard = 1119;
constexpr int kLogKeepOptions = 1116;
constexpr int kLogChooseLibrary = 1103;
constexpr int kLogSymbolSelect = 1124;
constexpr int kLogChooseSymbol = 1130;
constexpr int kLogTaskDone = 1104;

struct HelpTopicRow {
  int first;
  int last;
  int topic;
};

// F1 on a menu entry: the command's topic in the program's help-topic table.
constexpr HelpTopicRow kMenuHelpTopics[] = {
    {57634, 57634, 0},  {33038, 33038, 1},  {32776, 32776, 2},  {32788, 32788, 3},
    {57644, 57644, 4},  {57643, 57643, 5},  {32803, 32803, 6},  {32771, 32771, 7},
    {57665, 57665, 8},  {57600, 57600, 9},  {57601, 57601, 10}, {57605, 57605, 11},
    {32784, 32784, 12}, {57607, 57607, 13}, {57606, 57606, 14}, {57603, 57603, 16},
    {57604, 57604, 17}, {57664, 57664, 18}, {32793, 32793, 19}, {32782, 32782, 20},
    {57666, 57666, 21}, {32773, 32773, 22}, {32781, 32781, 23}, {32789, 32792, 24},
    {32785, 32785, 25}, {32783, 32783, 26}, {33095, 33095, 27}, {32778, 32778, 28},
    {32777, 32777, 29}, {32780, 32780, 30}, {32799, 32799, 31}, {32795, 32795, 32},
    {32801, 32801, 33}, {32797, 32797, 34}, {32796, 32796, 35}, {32800, 32800, 36},
    {32787, 32787, 37}, {32810, 32810, 38}, {32775, 32775, 39}, {32779, 32779, 40},
    {32816, 32816, 41}, {59393, 59393, 42}, {32815, 32815, 43}, {32811, 32811, 44},
    {32812, 32812, 45},
};

// Help > Text size: the entries in menu order and the help file each selects.
constexpr int kTextSizeFile[4] = {1, 0, 2, 3};  // small, medium, large, extra large

bool IsFamilyAvailable(const QString& family, const QString& substitute) {
  if (QFontDatabase::hasFamily(family)) return true;
  // The metric-compatible face the system puts in its place counts as the font itself.
  const QFontInfo info{QFont(family)};
  return info.family().compare(family, Qt::CaseInsensitive) == 0 ||
         info.family().compare(substitute, Qt::CaseInsensitive) == 0;
}

bool IsCheckableCommand(int id) {
  return id == cmd::kViewToolBar || id == cmd::kViewStatusBar || id == cmd::kViewPicture ||
         id == cmd::kViewHidden || id == cmd::kPickColour ||
         (id >= cmd::kHelpTextMedium && id <= cmd::kHelpTextMedium + 3);
}

}  // namespace

std::uint32_t MakePaletteRgb(std::uint32_t colour) { return (colour & 0xFFFFFFu) | 0x02000000u; }

int HelpTopicOfCommand(int id) {
  for (const HelpTopicRow& row : kMenuHelpTopics) {
    if (id >= row.first && id <= row.last) return row.topic;
  }
  return -1;
}

CMainFrame::CMainFrame(CZephApp& app) : m_app(app) {
  setObjectName(QStringLiteral("MainFrame"));
  m_stack = new QStackedWidget(this);
  setCentralWidget(m_stack);
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  if (&GetViewFrame() == this) SetViewFrame(nullptr);
  SetStatusBar(nullptr);
}

int CMainFrame::OnCreate() {
  LogScope trace(kLogCreate);
  {
    QImage probe(1, 1, QImage::Format_RGB32);
    zeph::CImageContext dc(probe);
    SetUpDisplay(dc);
  }
  m_toolBar = new QToolBar(tr("Toolbar"), this);
  m_toolBar->setObjectName(QStringLiteral("ToolBar"));
  m_toolBar->setMovable(false);
  addToolBar(Qt::TopToolBarArea, m_toolBar);
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  statusBar()->showMessage(LoadProgramString(0xE001).isEmpty() ? tr("Ready") : LoadProgramString(0xE001));
  AddCommands();
  m_commands.FillToolBar(*m_toolBar,
                         std::initializer_list<int>{cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave, 0,
                                                    cmd::kFilePrint, cmd::kFilePreview, 0, cmd::kEditUndo,
                                                    cmd::kEditRedo, cmd::kEditCopy, cmd::kPickColour, 0,
                                                    cmd::kViewZoomIn, cmd::kViewZoomOut, cmd::kViewFit, 0,
                                                    cmd::kHelpCurrentTool});
  m_commands.AddShortcutsTo(*this);
  // Menu, toolbar and shortcuts agree at every moment, not only when a menu opens.
  m_commands.KeepActionsCurrent();
  // The toolbar starts hidden; the views show it as they need.
  m_toolBar->hide();
  SetViewFrame(this);
  SetStatusBar(this);
  qApp->installEventFilter(this);
  // Ending the desktop session asks the save question as closing does.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (!OnQueryEndSession()) manager.cancel();
  });
  return trace.Return(0);
}

void CMainFrame::AddView(QWidget* view) {
  if (view != nullptr) m_stack->addWidget(view);
}

void CMainFrame::ShowView(QWidget* view) {
  m_activeView = view;
  if (view != nullptr) {
    m_stack->setCurrentWidget(view);
    view->show();
    view->setFocus();
  }
}

// ---- Commands ----

void CMainFrame::AddViewCommand(int id, const QString& text, const QKeySequence& key, const QString& icon,
                                const QString& statusTip) {
  zeph::CommandEntry e;
  e.id = id;
  e.text = text;
  e.shortcut = key;
  e.iconName = icon;
  e.statusTip = statusTip;
  e.checkable = IsCheckableCommand(id);
  e.run = [this, id] {
    if (m_app.GetActiveViewCode() == kViewEditing) m_app.GetViews().RunEditingCommand(id);
  };
  e.update = [this, id](zeph::CCmdUI& ui) {
    int check = -1;
    const int enabled =
        m_app.GetActiveViewCode() == kViewEditing ? m_app.GetViews().UpdateEditingCommand(id, check) : 0;
    ui.Enable(enabled > 0);
    if (check >= 0) ui.SetCheck(check);
  };
  m_commands.Add(std::move(e));
}

void CMainFrame::AddCommands() {
  using zeph::CCmdUI;
  using zeph::CommandEntry;
  auto add = [this](int id, const QString& text, std::function<void()> run,
                    std::function<void(CCmdUI&)> update = {}, const QKeySequence& key = {},
                    const QString& icon = {}) {
    CommandEntry e;
    e.id = id;
    e.text = text;
    e.run = std::move(run);
    e.update = std::move(update);
    e.shortcut = key;
    e.iconName = icon;
    e.checkable = IsCheckableCommand(id);
    m_commands.Add(std::move(e));
  };
  auto doc = [this] { return m_app.GetActiveDocument(); };
  auto items = [this](CCmdUI& ui) { ui.Enable(m_app.OnUpdateItemCommands() != 0); };
  auto later = [](int id) { return [id](CCmdUI& ui) { ui.Enable(IsDialogAvailable(id)); }; };
  auto printView = [this]() -> CZephView* { return m_app.GetViews().AsPrintView(m_activeView); };

  // File
  add(cmd::kFileNew, tr("&New\tCtrl+N"), [this] { m_app.OnFileNew(); }, {}, QKeySequence::New,
      QStringLiteral("tb_new"));
  add(cmd::kFileOpen, tr("&Open...\tCtrl+O"), [this] { m_app.OnFileOpen(); }, {}, QKeySequence::Open,
      QStringLiteral("tb_open"));
  add(cmd::kFileAdd, tr("&Add..."), [doc] { if (doc()) doc()->OnFileAdd(); },
      [this](CCmdUI& ui) { ui.Enable(m_app.GetActiveViewCode() == kViewEditing); });
  add(cmd::kFileSave, tr("&Save\tCtrl+S"), [doc] { if (doc()) doc()->OnFileSave(); },
      [doc](CCmdUI& ui) { ui.Enable(doc() != nullptr && doc()->OnUpdateFileSave() != 0); }, QKeySequence::Save,
      QStringLiteral("tb_save"));
  add(cmd::kFileSaveAs, tr("Save &as..."), [doc] { if (doc()) doc()->OnFileSaveAs(); });
  add(cmd::kFilePrint, tr("&Print...\tCtrl+P"),
      [printView] { if (CZephView* v = printView()) v->OnFilePrint(kIdFilePrint); }, items, QKeySequence::Print,
      QStringLiteral("tb_print"));
  add(cmd::kFilePreview, tr("Print pre&view"),
      [this, printView] {
        if (CZephView* v = printView()) v->OnFilePrintPreview(kIdEditorPrintPreview);
      },
      items, {}, QStringLiteral("tb_preview"));
  add(cmd::kFilePageSetup, tr("Page set&up..."), [this] { ShowOptionSheet(this, cmd::kFilePageSetup); },
      later(cmd::kFilePageSetup));
  add(cmd::kFilePrinterSetup, tr("P&rinter setup..."), [this] { m_app.OnFilePrinterSetup(); });
  add(cmd::kFileExit, tr("E&xit"), [this] { close(); });
  for (int i = 0; i < kRecentFileCount; ++i) {
    add(cmd::kFileMru1 + i, QString(), [this, i] {
      const QStringList& paths = m_app.GetRecentFiles().Paths();
      if (i < paths.size()) m_app.OpenDocumentFile(paths[i]);
    });
  }

  // Edit
  AddViewCommand(cmd::kEditUndo, tr("&Undo\tCtrl+Z"), QKeySequence::Undo, QStringLiteral("tb_undo"));
  AddViewCommand(cmd::kEditRedo, tr("&Redo\tCtrl+Y"), QKeySequence(Qt::CTRL | Qt::Key_Y), QStringLiteral("tb_redo"));
  AddViewCommand(cmd::kEditCopy, tr("&Copy\tCtrl+C"), QKeySequence::Copy, QStringLiteral("tb_copy"));
  // No menu carries it: the toolbar button's tip names it, the status bar says what it does.
  AddViewCommand(cmd::kPickColour, tr("Pick colour"), {}, QStringLiteral("tb_pickcolour"),
                 tr("Pick the colour of an existing item."));
  add(cmd::kEditWipe, tr("&Wipe"), [doc] { if (doc()) doc()->OnEditWipe(); }, items);
  AddViewCommand(cmd::kEditPrintingScale, tr("P&rinting scale..."));
  AddViewCommand(cmd::kEditRealWorldScale, tr("&Real world scale..."));
  add(cmd::kEditDictionary, tr("&Dictionary..."), [doc] { if (doc()) doc()->OnEditDictionary(); },
      [doc](CCmdUI& ui) { ui.Enable(doc() != nullptr && doc()->OnUpdateEditDictionary() != 0); });
  add(cmd::kEditPictureInsert, tr("&Insert..."), [this] { m_app.OnEditPictureInsert(); },
      later(cmd::kEditPictureInsert));
  add(cmd::kEditPictureScale, tr("&Scale..."), [] {}, [](CCmdUI& ui) { ui.Enable(false); });

  // View
  add(cmd::kViewToolBar, tr("&Toolbar"), [this] { OnViewToolBar(); },
      [](CCmdUI& ui) { ui.SetCheck(GetOptionFlag(kOptionToolBar) != 0 ? 1 : 0); });
  add(cmd::kViewStatusBar, tr("&Status Bar"), [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
      [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible() ? 1 : 0); });
  AddViewCommand(cmd::kViewFit, tr("&Fit\tF8"), {}, QStringLiteral("tb_fit"));
  AddViewCommand(cmd::kViewRedraw, tr("Re&draw\tF3"));
  AddViewCommand(cmd::kViewZoomIn, tr("&Zoom in\tF9"), QKeySequence(Qt::Key_F9), QStringLiteral("tb_zoomin"));
  AddViewCommand(cmd::kViewZoomOut, tr("Zoom &out\tF10"), QKeySequence(Qt::Key_F10), QStringLiteral("tb_zoomout"));
  AddViewCommand(cmd::kViewGrid, tr("&Grid settings..."));
  AddViewCommand(cmd::kViewHidden, tr("&Hidden objects"));
  AddViewCommand(cmd::kViewObjectList, tr("Object &list..."));
  add(cmd::kViewPicture, tr("&Picture"), [this] { m_app.OnViewPicture(); }, [this](CCmdUI& ui) {
    ui.Enable(m_app.OnUpdateViewPictureEnabled() != 0);
    ui.SetCheck(m_app.OnUpdateViewPictureChecked());
  });

  // Options
  add(cmd::kOptionsPreferences, tr("&Preferences..."), [this] { ShowOptionSheet(this, cmd::kOptionsPreferences); },
      later(cmd::kOptionsPreferences));
  add(cmd::kOptionsInitial, tr("&Initial values"), [this] { OnOptionsInitialValues(); });
  add(cmd::kOptionsStandard, tr("&Standard"), [this] { OnOptionsStandard(); });
  add(cmd::kOptionsKeep, tr("&Keep options"), [this] { OnOptionsKeep(); },
      [](CCmdUI& ui) { ui.Enable(g_keepOptions == 1); });
  add(cmd::kOptionsName, tr("&Name..."), [this] { m_app.OnOptionsName(); }, later(cmd::kOptionsName));
  add(cmd::kOptionsManager, tr("&Manager..."), [this] { ShowOptionSheet(this, cmd::kOptionsManager); },
      later(cmd::kOptionsManager));

  // Symbol
  auto symbolHeld = [](CCmdUI& ui) {
    ui.Enable(g_symbolDoc != nullptr && g_symbolDoc->GetItemCount() > 0 && IsDialogAvailable(cmd::kSymbolRotate));
  };
  add(cmd::kSymbolLibrary, tr("&Library..."), [this] { ChooseSymbolLibrary(); }, later(cmd::kSymbolLibrary));
  add(cmd::kSymbolSelect, tr("&Select..."), [this] { OnSymbolSelect(); }, later(cmd::kSymbolSelect));
  add(cmd::kSymbolRotate, tr("&Rotate..."), [this] { OnSymbolTransform(cmd::kSymbolRotate); }, symbolHeld);
  add(cmd::kSymbolReflect, tr("&Reflect..."), [this] { OnSymbolTransform(cmd::kSymbolReflect); }, symbolHeld);
  add(cmd::kSymbolEnlarge, tr("&Enlarge..."), [this] { OnSymbolTransform(cmd::kSymbolEnlarge); }, symbolHeld);
  add(cmd::kSymbolStretch, tr("S&tretch..."), [this] { OnSymbolTransform(cmd::kSymbolStretch); }, symbolHeld);

  // Help
  add(cmd::kHelpContents, tr("&Contents"), [this] { m_app.OnHelpContents(); });
  add(cmd::kHelpIndex, tr("&Index"), [this] { m_app.OnHelpIndex(); });
  AddViewCommand(cmd::kHelpCurrentTool, tr("Current &tool"), {}, QStringLiteral("tb_help"));
  add(cmd::kHelpSupport, tr("&Support"), [this] { m_app.OnHelpSupport(); });
  const QString sizes[4] = {tr("S&mall"), tr("&Medium"), tr("&Large"), tr("&Extra large")};
  for (int i = 0; i < 4; ++i) {
    add(cmd::kHelpTextMedium + i, sizes[i], [this, i] { OnHelpTextSize(i); }, [i](CCmdUI& ui) {
      const int file = kTextSizeFile[i];
      ui.Enable(g_helpFileFound[static_cast<std::size_t>(file)] >= 0);
      ui.SetCheck(GetOptionShort(kOptionHelpTextSize) == file ? 1 : 0);
    });
  }
  add(cmd::kHelpCheckUpdates, tr("Check for updates..."), [this] { m_app.OnHelpCheckForUpdates(); },
      later(cmd::kHelpCheckUpdates));
  add(cmd::kHelpAbout, tr("&About Zephorin..."), [this] { m_app.OnHelpAbout(); }, later(cmd::kHelpAbout));
}

QMenu* CMainFrame::MakeMenu(const QString& title, std::initializer_list<int> ids) {
  QMenu* menu = menuBar()->addMenu(title);
  std::vector<int> list(ids);
  m_commands.FillMenu(*menu, list);
  menu->installEventFilter(this);
  return menu;
}

void CMainFrame::BuildMenus(bool editingMenu) {
  m_editingMenu = editingMenu;
  menuBar()->clear();
  m_recentActions.clear();
  m_fileMenu = MakeMenu(tr("&File"), {cmd::kFileNew, cmd::kFileOpen, cmd::kFileAdd, cmd::kFileSave,
                                      cmd::kFileSaveAs, 0, cmd::kFilePrint, cmd::kFilePreview,
                                      cmd::kFilePageSetup, cmd::kFilePrinterSetup});
  m_recentSeparator = m_fileMenu->addSeparator();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* a = m_commands.Action(cmd::kFileMru1 + i);
    m_fileMenu->addAction(a);
    m_recentActions << a;
  }
  m_fileMenu->addSeparator();
  m_fileMenu->addAction(m_commands.Action(cmd::kFileExit));
  connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::RefreshRecentFileMenu);
  RefreshRecentFileMenu();

  QMenu* edit = MakeMenu(tr("&Edit"), {cmd::kEditUndo, cmd::kEditRedo, 0, cmd::kEditCopy, cmd::kEditWipe, 0,
                                       cmd::kEditPrintingScale, cmd::kEditRealWorldScale, cmd::kEditDictionary});
  if (editingMenu) {
    QMenu* picture = edit->addMenu(tr("&Picture"));
    m_commands.FillMenu(*picture, std::vector<int>{cmd::kEditPictureInsert, cmd::kEditPictureScale});
    picture->installEventFilter(this);
  }
  QMenu* view = MakeMenu(tr("&View"), {cmd::kViewToolBar, cmd::kViewStatusBar, 0, cmd::kViewFit, cmd::kViewRedraw,
                                       cmd::kViewZoomIn, cmd::kViewZoomOut, 0, cmd::kViewGrid, cmd::kViewHidden,
                                       cmd::kViewObjectList});
  if (editingMenu) m_commands.FillMenu(*view, std::vector<int>{0, cmd::kViewPicture});
  MakeMenu(tr("&Options"), {cmd::kOptionsPreferences, cmd::kOptionsInitial, cmd::kOptionsStandard,
                            cmd::kOptionsKeep, 0, cmd::kOptionsName, cmd::kOptionsManager});
  MakeMenu(tr("&Symbol"), {cmd::kSymbolLibrary, cmd::kSymbolSelect, 0, cmd::kSymbolRotate, cmd::kSymbolReflect,
                           cmd::kSymbolEnlarge, cmd::kSymbolStretch});
  QMenu* help = MakeMenu(tr("&Help"), {cmd::kHelpContents, cmd::kHelpIndex, cmd::kHelpCurrentTool, cmd::kHelpSupport});
  QMenu* sizes = help->addMenu(tr("Text si&ze"));
  m_commands.FillMenu(*sizes, std::vector<int>{cmd::kHelpTextMedium, cmd::kHelpTextMedium + 1,
                                               cmd::kHelpTextMedium + 2, cmd::kHelpTextMedium + 3});
  sizes->installEventFilter(this);
  m_commands.FillMenu(*help, std::vector<int>{0, cmd::kHelpCheckUpdates, cmd::kHelpAbout});
  m_commands.UpdateActions();
}

void CMainFrame::RefreshRecentFileMenu() {
  const QStringList& paths = m_app.GetRecentFiles().Paths();
  for (int i = 0; i < m_recentActions.size(); ++i) {
    QAction* a = m_recentActions[i];
    const bool shown = i < paths.size();
    a->setVisible(shown);
    if (shown) {
      QString text = paths[i];
      text.replace(u'&', QStringLiteral("&&"));
      a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
    }
  }
  if (m_recentSeparator != nullptr) m_recentSeparator->setVisible(!paths.isEmpty());
}

bool CMainFrame::RunCommand(int id) { return m_commands.Run(id); }

bool CMainFrame::IsCommandEnabled(int id) {
  QAction* a = m_commands.Action(id);
  m_commands.UpdateActions();
  return a != nullptr && a->isEnabled();
}

int CMainFrame::GetCommandCheck(int id) {
  QAction* a = m_commands.Action(id);
  m_commands.UpdateActions();
  return a != nullptr && a->isCheckable() ? (a->isChecked() ? 1 : 0) : -1;
}

// ---- Toolbar and status bar ----

void CMainFrame::ShowToolBar(bool show) {
  if (m_toolBar != nullptr && m_toolBar->isVisibleTo(this) != show) m_toolBar->setVisible(show);
}

bool CMainFrame::IsToolBarShown() const { return m_toolBar != nullptr && m_toolBar->isVisibleTo(this); }

void CMainFrame::SetStatusText(const QString& text, bool repaint) {
  m_statusText = text;
  statusBar()->showMessage(text);
  if (repaint) statusBar()->repaint();
}

QString CMainFrame::GetStatusText() const { return statusBar()->currentMessage(); }

// ---- Fonts ----

void CMainFrame::CheckFonts() {
  LogScope trace(kLogCheckFonts);
  g_timesNewRomanInstalled = IsFamilyAvailable(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")) ? 1 : 0;
  g_verdanaInstalled = IsFamilyAvailable(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")) ? 1 : 0;
}

// ---- Window position ----

QRect CMainFrame::GetNormalRect() const {
  const QRect normal = normalGeometry();
  return normal.isValid() ? normal : geometry();
}

QRect CMainFrame::GetAvailableArea() const {
  const QScreen* screen = this->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, g_screenWidth, g_screenHeight);
}

QRect CMainFrame::DefaultRestoreRect(const QRect& available) {
  const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
  QRect r(QPoint(0, 0), size);
  r.moveCenter(available.center());
  return r;
}

void CMainFrame::ShowMaximisedAtStart() {
  m_inOwnGeometry = true;
  setGeometry(GetAvailableArea());
  m_inOwnGeometry = false;
  showMaximized();
}

bool CMainFrame::UpdateWindowPosition() {
  const QRect r = GetNormalRect();
  // Widths are inclusive: right - left + 1.
  const WindowPosition now{r.left(), r.top(), r.right() - r.left() + 1, r.bottom() - r.top() + 1};
  const bool changed = !(now == g_windowPosition);
  g_windowPosition = now;
  g_windowPositionValid = 1;
  return changed;
}

void CMainFrame::OnSysCommand(int command) {
  LogScope trace(kLogSysCommand);
  LogNumber(command);
  if (command == kScMinimise) {
    m_windowState = kWindowMinimised;
  } else if (command == kScMaximise) {
    m_windowState = kWindowMaximised;
  } else if (command == kScRestore) {
    m_windowState = kWindowNormal;
    if (m_restoredOnce == 0) {
      if (g_windowPositionValid != 0) {
        const WindowPosition& p = g_windowPosition;
        m_inOwnGeometry = true;
        setGeometry(QRect(QPoint(p.x, p.y), QPoint(p.x + p.width - 1, p.y + p.height - 1)));
        m_inOwnGeometry = false;
      } else {
        // The window opened over the whole available area; restored, it leaves room around.
        m_inOwnGeometry = true;
        setGeometry(DefaultRestoreRect(GetAvailableArea()));
        m_inOwnGeometry = false;
        UpdateWindowPosition();
      }
      m_restoredOnce = 1;
    }
  }
}

void CMainFrame::OnMove(int x, int y) {
  LogScope trace(kLogMove);
  LogNumber(x);
  LogNumber(y);
  if (m_windowState == kWindowNormal && m_restoredOnce == 1 && UpdateWindowPosition()) g_windowPositionChanged = 1;
}

void CMainFrame::OnSize(int width, int height) {
  LogScope trace(kLogSize);
  LogNumber(width);
  LogNumber(height);
  if (m_windowState == kWindowNormal && m_restoredOnce == 1 && UpdateWindowPosition()) g_windowPositionChanged = 1;
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized) {
      OnSysCommand(kScMinimise);
    } else if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
      OnSysCommand(kScMaximise);
    } else {
      OnSysCommand(kScRestore);
    }
  } else if (event->type() == QEvent::ActivationChange) {
    OnActivate(isActiveWindow());
  }
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (!m_inOwnGeometry) OnMove(x(), y());
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!m_inOwnGeometry) OnSize(width(), height());
}

// ---- Closing ----

bool CMainFrame::OnClose() {
  LogScope trace(kLogClose);
  if (IsPreviewShown()) {
    EndPreview();
    trace.Exit(kLogOk, 1);
    return false;
  }
  trace.Step(3);
  if (g_windowPositionChanged != 0) WriteWindowPosition();
  trace.Step(5);
  if (CZephDoc* doc = m_app.GetActiveDocument(); doc != nullptr && doc->QuerySaveModified() == 0) {
    trace.Exit(kLogOk, 2);
    return false;
  }
  trace.Step(10);
  m_closing = 1;
  CZephDoc::FreeSplitPieces();
  FreeSplitList();
  FreeIntersectionArrays();
  FreePathNodes();
  delete g_internet;
  g_internet = nullptr;
  trace.Step(12);
  DeleteAuxiliaryDocuments();
  trace.Step(15);
  m_app.DestroyViews();
  trace.Step(20);
  m_app.CloseDocument();
  trace.Step(25);
  g_spellChecker.reset();
  trace.Exit(kLogOk, 0);
  FreeSupportResources();
  LogProgramStop();
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_closing != 0 || OnClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool CMainFrame::OnQueryEndSession() {
  LogScope trace(kLogEndSession);
  CZephDoc* doc = m_app.GetActiveDocument();
  if (doc == nullptr || doc->QuerySaveModified() != 0) return trace.Return(true);
  return trace.Return(false, kLogOk, 2);
}

// ---- Activation ----

void CMainFrame::OnActivate(bool active) {
  LogScope trace(kLogActivate);
  if (!active) {
    g_appActive = 0;
    if (g_mouseCaptured != 0) {
      m_app.ReleaseEditingCapture();
      g_mouseCaptured = 0;
    }
    if (m_closing == 0) m_app.SuspendEditingFeedback();
  } else {
    g_appActive = 1;
    g_justActivated = 1;
    if (++m_activations > 1) m_app.NoteReactivation();
  }
}

bool CMainFrame::event(QEvent* event) { return QMainWindow::event(event); }

// What the program sees of every key before it is handled: the system key (Alt) lets a held
// mouse capture go, and the Shift and Ctrl state is followed.
void CMainFrame::PreTranslateKey(const QKeyEvent& key, bool down) {
  if (key.key() == Qt::Key_Alt || (down && (key.modifiers() & Qt::AltModifier))) {
    if (down) {
      if (g_mouseCaptured != 0) {
        m_app.ReleaseEditingCapture();
        g_mouseCaptured = 0;
      }
      g_systemKeyDown = 1;
    } else {
      g_systemKeyDown = 0;
    }
  }
  int vk = 0;
  if (key.key() == Qt::Key_Shift) vk = zeph::kVkShift;
  if (key.key() == Qt::Key_Control) vk = zeph::kVkControl;
  if (vk != 0) TrackModifierKeys(zeph::KeyMessage{down ? zeph::kMsgKeyDown : zeph::kMsgKeyUp, vk});
}

// ---- Help ----

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    PreTranslateKey(*static_cast<QKeyEvent*>(event), event->type() == QEvent::KeyPress);
  }
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
      if (QAction* a = menu->activeAction()) {
        for (const HelpTopicRow& row : kMenuHelpTopics) {
          for (int id = row.first; id <= row.last; ++id) {
            if (m_commands.Action(id) == a) return OnHelpInfo(id);
          }
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::OnHelpInfo(int commandId) {
  const int topic = HelpTopicOfCommand(commandId);
  if (topic < 0) return false;
  ShowHelpTopic(topic, 0);
  return true;
}

// ---- Frame commands ----

void CMainFrame::OnHelpTextSize(int index) {
  const int file = kTextSizeFile[index];
  if (SelectHelpFile(file)) SetOptionShort(kOptionHelpTextSize, static_cast<std::int16_t>(file));
}

void CMainFrame::OnOptionsInitialValues() {
  LogScope trace(kLogInitialValues);
  ResetOptions(1);
  ShowToolBar(true);
  m_app.UpdateEditingView();
  // The program's own text says "initial"; the table's "inital" was a misspelling.
  SetStatusText(tr("The options have been set to their initial values."), false);
}

void CMainFrame::OnOptionsStandard() {
  LogScope trace(kLogStandard);
  ResetOptions(0);
  ShowToolBar(true);
  m_app.UpdateEditingView();
  SetStatusText(tr("The options have been set to their standard values."), false);
}

void CMainFrame::OnOptionsKeep() {
  LogScope trace(kLogKeepOptions);
  WriteOptionsFile(0);
}

void CMainFrame::OnViewToolBar() {
  const int on = GetOptionFlag(kOptionToolBar) != 0 ? 0 : 1;
  SetOptionFlag(kOptionToolBar, on);
  if (m_app.GetActiveViewCode() == kViewEditing) ShowToolBar(on != 0);
}

bool CMainFrame::ChooseSymbolLibrary() {
  LogScope trace(kLogChooseLibrary);
  QString path;
  if (!ChooseLibraryFile(this, path)) return false;
  if (g_symbolLibraryDoc == nullptr) return false;
  if (zeph::LoadSymbolLibrary(path)) SetStatusText(tr("The symbol library has been loaded."), false);
  return true;
}

bool CMainFrame::ChooseSymbol() {
  LogScope trace(kLogChooseSymbol);
  return ChooseSymbolFromLibrary(this);
}

void CMainFrame::OnSymbolSelect() {
  LogScope trace(kLogSymbolSelect);
  auto empty = [] { return g_symbolLibraryDoc == nullptr || g_symbolLibraryDoc->GetItemCount() == 0; };
  if (empty()) ChooseSymbolLibrary();
  if (empty()) return trace.Exit(kLogInvalid, 1);
  ChooseSymbol();
}

void CMainFrame::OnSymbolTransform(int id) { TransformSymbol(this, id); }

void CMainFrame::OnInternetTaskDone(CInternetTask* task) {
  LogScope trace(kLogTaskDone);
  if (task == nullptr) return;
  if (task->type == 2) {
    CheckLatestVersion(task, g_latestVersion);
  } else {
    trace.Step(1, kLogFailed);
    LogNumber(task->type);
  }
}
