#pragma once
// The program's one main window: the menu bar made from the command table, a toolbar (hidden
// at first; the views show it as they need), the status bar, the two views one at a time, and
// the print preview in the views' place. It keeps the window's normal position across runs,
// runs the close order of the whole program, answers F1 on a highlighted menu entry, and
// handles the Options, Symbol, Help > Text size and View > Toolbar commands.
#include <QMainWindow>
#include <QRect>
#include <cstdint>

#include "controls/commands.h"
#include "editor/viewframe.h"
#include "support/filestatus.h"
#include "support/internet.h"

class CZephApp;
class CZephView;
class QMenu;
class QPrintPreviewWidget;
class CPreviewScale;
class QStackedWidget;
class QStatusBar;
class QToolBar;
class QLabel;
class QKeyEvent;

// Command identifiers the frame and the application handle (the views' own are theirs).
namespace cmd {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePageSetup = 57605;
inline constexpr int kFilePrinterSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePreview = 32784;
inline constexpr int kFileAdd = 32771;
inline constexpr int kFileExit = 57665;
inline constexpr int kFileMru1 = 57616;  // the four recent files
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kEditPrintingScale = 32776;
inline constexpr int kEditRealWorldScale = 32788;
inline constexpr int kEditWipe = 32803;
inline constexpr int kEditDictionary = 33038;
inline constexpr int kEditPictureInsert = 32820;
inline constexpr int kEditPictureScale = 32821;
inline constexpr int kViewToolBar = 32815;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kViewFit = 32787;
inline constexpr int kViewRedraw = 32816;
inline constexpr int kViewZoomIn = 32811;
inline constexpr int kViewZoomOut = 32812;
inline constexpr int kViewGrid = 32810;
inline constexpr int kViewHidden = 32775;
inline constexpr int kViewObjectList = 32779;
inline constexpr int kViewPicture = 32814;
inline constexpr int kPickColour = 33081;  // a toolbar button only
inline constexpr int kOptionsPreferences = 32777;
inline constexpr int kOptionsName = 32778;
inline constexpr int kOptionsStandard = 32780;
inline constexpr int kOptionsKeep = 32783;
inline constexpr int kOptionsInitial = 32785;
inline constexpr int kOptionsManager = 33095;
inline constexpr int kSymbolLibrary = 32795;
inline constexpr int kSymbolSelect = 32796;
inline constexpr int kSymbolRotate = 32797;
inline constexpr int kSymbolEnlarge = 32799;
inline constexpr int kSymbolStretch = 32800;
inline constexpr int kSymbolReflect = 32801;
inline constexpr int kHelpContents = 32782;
inline constexpr int kHelpIndex = 57666;
inline constexpr int kHelpCurrentTool = 32773;
inline constexpr int kHelpSupport = 32781;
inline constexpr int kHelpTextMedium = 32789;  // 32789..32792: small, medium, large, extra large
inline constexpr int kHelpCheckUpdates = 32793;
inline constexpr int kHelpAbout = 57664;
}  // namespace cmd

// Window states.
inline constexpr int kWindowMinimised = 0;
inline constexpr int kWindowNormal = 1;
inline constexpr int kWindowMaximised = 2;

// System commands, as the window-state changes arrive.
inline constexpr int kScMinimise = 61472;
inline constexpr int kScMaximise = 61488;
inline constexpr int kScRestore = 61728;

// Set when the window's normal rectangle changed during this run.
extern std::int32_t g_windowPositionChanged;
extern std::int32_t g_timesNewRomanInstalled;
extern std::int32_t g_verdanaInstalled;

// The colour with the palette-relative flag in its top byte.
std::uint32_t MakePaletteRgb(std::uint32_t colour);

// The help topic of a command for F1 on a menu entry; -1 when it has none.
int HelpTopicOfCommand(int id);

class CMainFrame : public QMainWindow,
                   public IViewFrame,
                   public IStatusBar,
                   public IInternetTaskOwner {
  Q_OBJECT

 public:
  explicit CMainFrame(CZephApp& app);
  ~CMainFrame() override;

  // Builds the toolbar, the status bar and the menus: 0, or -1 when the frame cannot be built.
  int OnCreate();
  // Adds a view to the frame (hidden until the application shows it).
  void AddView(QWidget* view);
  void ShowView(QWidget* view);
  QWidget* GetActiveView() const { return m_activeView; }

  // ---- Menus and commands ----
  zeph::CCommandTable& Commands() { return m_commands; }
  // The start screen's menu, or the editing menu (with the picture entries).
  void BuildMenus(bool editingMenu);
  bool HasEditingMenu() const { return m_editingMenu; }
  // Runs a command as the menu would (when enabled); false when it did not run.
  bool RunCommand(int id);
  bool IsCommandEnabled(int id);
  int GetCommandCheck(int id);
  void RefreshRecentFileMenu();

  // ---- Toolbar and status bar ----
  void ShowToolBar(bool show);
  bool IsToolBarShown() const;
  QToolBar* GetToolBar() const { return m_toolBar; }
  void SetStatusText(const QString& text, bool repaint) override;
  QString GetStatusText() const;

  // ---- Fonts ----
  void CheckFonts();

  // ---- Window position ----
  bool UpdateWindowPosition();
  void OnSysCommand(int command);
  void OnMove(int x, int y);
  void OnSize(int width, int height);
  int GetWindowState() const { return m_windowState; }
  int IsRestoredOnce() const { return m_restoredOnce; }
  // The rectangle the saved position is taken from (the window's normal rectangle).
  QRect GetNormalRect() const;
  // The screen's available area (without panels), where the window opens.
  QRect GetAvailableArea() const;
  // The restore rectangle when no position is saved: 80% of the available area, centred.
  static QRect DefaultRestoreRect(const QRect& available);
  // Opens the window maximised. It asks for the whole available area, so that it fills the
  // screen where no window manager maximises it, and not Qt's small default size.
  void ShowMaximisedAtStart();

  // ---- Closing ----
  // The close order; true when the window may close (the program ends).
  bool OnClose();
  bool OnQueryEndSession();
  int IsClosing() const { return m_closing; }

  // ---- Activation ----
  void OnActivate(bool active);

  // ---- Help ----
  // F1 on the highlighted menu entry id: true when a topic was shown.
  bool OnHelpInfo(int commandId);

  // ---- Frame commands ----
  void OnHelpTextSize(int index);
  void OnOptionsInitialValues();
  void OnOptionsStandard();
  void OnOptionsKeep();
  void OnViewToolBar();
  void OnSymbolSelect();
  void OnSymbolTransform(int id);

  // ---- What the views ask of the frame ----
  bool OnFilePrintPreview(CZephView& view) override;
  bool ChooseSymbolLibrary() override;
  bool ChooseSymbol() override;
  bool CanPrintPreview() const override { return true; }

  // ---- Print preview ----
  void OnSetPreviewMode(bool preview);
  bool IsPreviewShown() const { return m_preview != nullptr; }
  QPrintPreviewWidget* GetPreviewWidget() const { return m_preview; }
  void EndPreview();
  // Steps the preview's page (+1 next, -1 previous).
  void StepPreviewPage(int step);
  // The resolution at which the preview draws and shows its pages, one page pixel to one
  // screen pixel; 0 without a preview. Setting it leaves the fit to the window.
  int GetPreviewDpi() const;
  void SetPreviewDpi(int dpi);

  void OnInternetTaskDone(CInternetTask* task) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddCommands();
  void AddViewCommand(int id, const QString& text, const QKeySequence& key = {},
                      const QString& icon = {}, const QString& statusTip = {});
  QMenu* MakeMenu(const QString& title, std::initializer_list<int> ids);
  void UpdatePreviewBar();
  void PreTranslateKey(const QKeyEvent& key, bool down);

  CZephApp& m_app;
  zeph::CCommandTable m_commands;
  QStackedWidget* m_stack = nullptr;
  QWidget* m_activeView = nullptr;
  QToolBar* m_toolBar = nullptr;
  QMenu* m_fileMenu = nullptr;
  QList<QAction*> m_recentActions;
  QAction* m_recentSeparator = nullptr;
  bool m_editingMenu = false;
  QString m_statusText;

  // Print preview: the widget, its bar, and the view whose drawing it shows.
  QPrintPreviewWidget* m_preview = nullptr;
  QWidget* m_previewPage = nullptr;
  QLabel* m_previewPageLabel = nullptr;
  CZephView* m_previewView = nullptr;
  CPreviewScale* m_previewScale = nullptr;
  bool m_toolBarBeforePreview = false;

  std::int32_t m_windowState = kWindowMaximised;
  std::int16_t m_restoredOnce = 0;
  std::int32_t m_closing = 0;
  std::int32_t m_activations = 0;
  bool m_inOwnGeometry = false;
};
