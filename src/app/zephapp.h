#pragma once
// The application object: start-up in its fixed order, the switch between the start screen and
// the editing view, the window title, opening a drawing from the recent files, the idle queue
// and the application-wide commands. The Qt application itself is made by main(); CZephApp is
// the program's own object around it, one per run.
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/idle.h"
#include "app/views.h"

class CMainFrame;
class CZephDoc;
class QMenuBar;
class QWidget;

// Child identifiers of the two views: the shown view holds the first.
inline constexpr int kIdFirstPane = 59648;
inline constexpr int kIdSecondPane = 59649;

// Active view codes.
inline constexpr int kViewEditing = 0;
inline constexpr int kViewFront = 1;
inline constexpr int kViewNone = 2;

// What the command line asks for.
struct CommandLine {
  QString drawingName;   // trimmed, outer quote pairs removed; empty for none
  int keepDocumentsFolder = 0;  // "/S" was given
};
// Reads switches "/G", "/L", "/S" (either case, blanks between) and then the drawing's name.
CommandLine ParseCommandLine(const QString& text);
// The name a command-line drawing is read under: ".zpd" added when it has no extension.
QString CommandLineDrawingPath(const QString& name);

// The title of a drawing saved at path: its name without the extension, or with fullPath its
// whole path (in its symbolic form when it has one).
QString MakeDrawingTitle(const QString& path, int fullPath);

// The result of loading the main dictionary: 0 loaded, else the loader's code.
extern std::int32_t g_dictionaryStatus;

// The command line joined back into the one text the program reads.
QString JoinArguments(const QStringList& arguments);

// What the program does between making the Qt application and making its application object:
// its names, the folder of its data files and the platform's services. main() runs it, and so
// do the tests that start the whole program.
void PrepareProgram();
// The PDF file a print job offers where no printer is installed: the drawing's name (or
// "Untitled") with ".pdf", in the user's documents folder, or the home folder without one.
QString MakePrintFileName(const CZephDoc* doc);

class CZephApp : public QObject {
  Q_OBJECT

 public:
  // views: the two views' maker and operations (null: the program's real views).
  explicit CZephApp(std::unique_ptr<IAppViews> views = nullptr, QObject* parent = nullptr);
  ~CZephApp() override;
  CZephApp(const CZephApp&) = delete;
  CZephApp& operator=(const CZephApp&) = delete;

  // Start-up. Always true; a failure posts a close request to the main window (or, before
  // there is one, leaves none, which ends the program).
  bool InitInstance(const QString& commandLine);
  // The program's own services installed before start-up (Qt presenter, printer, desktop ...).
  // Tests leave them out and keep their stand-ins.
  static void InstallPlatformServices();

  CMainFrame* GetMainFrame() const { return m_frame.get(); }
  // False before start-up made the frame or after it closed.
  bool HasMainWindow() const { return m_frame != nullptr; }

  // ---- Views ----
  QWidget* GetFrontView() const { return m_frontView; }
  QWidget* GetEditingView() const { return m_editingView; }
  IAppViews& GetViews() const { return *m_views; }
  int GetActiveViewCode() const { return m_activeViewCode; }
  int NoDrawingShownYet() const { return m_noDrawingShownYet; }
  // The view's child identifier (59648 shown, 59649 hidden; 0 for an unknown window).
  int GetChildId(const QWidget* view) const;
  QWidget* SwitchToView(QWidget* view);
  void DeactivateCurrentView();
  void ShowEditingView();
  void ShowFrontView();
  void DestroyViews();

  // ---- The drawing ----
  CZephDoc* GetActiveDocument() const;
  CZephDoc* OpenDocumentFile(const QString& path);
  // The close order's end: the drawing goes, the frame is left to close.
  void CloseDocument();
  void UpdateTitle();
  void ResetEditingView();
  void RefreshDrawing();
  void UpdateEditingView();
  void CancelEditing();
  void SuspendEditingFeedback();
  void ReleaseEditingCapture();
  void NoteReactivation();
  void ShowToolBar(bool show);
  // The editing menu on the frame (the start screen's menu lacks the picture entries).
  void SetFrameMenu(bool editingMenu);
  bool HasEditingMenu() const { return m_editingMenuShown; }
  void PostClose();
  void ApplyPrintOrientation();
  void ReapplyPrintSettings();

  // ---- Idle work ----
  void QueueIdleAction(int action) { m_idle.QueueIdleAction(action); }
  CIdleQueue& GetIdleQueue() { return m_idle; }

  // ---- Application commands ----
  void OnHelpAbout();
  void OnFilePrinterSetup();
  void OnHelpCheckForUpdates();
  void OnHelpContents();
  void OnHelpIndex();
  void OnHelpSupport();
  void OnEditPictureInsert();
  void OnOptionsName();
  void OnViewPicture();
  void OnFileNew();
  void OnFileOpen();
  int OnUpdateItemCommands() const;
  int OnUpdateViewPictureEnabled() const;
  int OnUpdateViewPictureChecked() const;

  // The recent files, most recent first (at most four).
  CRecentFiles& GetRecentFiles() { return *m_recent; }
  // The drawing's title as the caption shows it before " - Zephorin".
  const QString& GetTitle() const { return m_title; }

  // Start-up steps that passed (for tests): the step numbers logged in order.
  const std::vector<int>& GetStartupSteps() const { return m_startupSteps; }
  // Whether the command-line drawing was read at start-up.
  bool CommandLineDrawingRead() const { return m_commandLineRead; }

 private:
  void Step(int step);
  bool FailStartup();
  void SwapChildIds(QWidget* a, QWidget* b);
  QWidget* ShownView() const;

  std::unique_ptr<IAppViews> m_views;
  std::unique_ptr<CZephDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
  QWidget* m_frontView = nullptr;
  QWidget* m_editingView = nullptr;
  int m_activeViewCode = kViewNone;
  int m_noDrawingShownYet = 1;
  bool m_editingMenuShown = false;
  bool m_internetStarted = false;
  bool m_commandLineRead = false;
  CIdleQueue m_idle;
  std::unique_ptr<CAppDocumentHost> m_host;
  std::unique_ptr<CAppServices> m_services;
  std::unique_ptr<CRecentFiles> m_recent;
  std::vector<int> m_startupSteps;
  QString m_title;
};

// The one application object of the run; null before it is made and after it is gone.
CZephApp* GetZephApp();
