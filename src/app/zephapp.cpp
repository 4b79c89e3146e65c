#include "app/zephapp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QWidget>
#include <cstdlib>
#include <ctime>
#include <new>

#include "app/editordialogsimpl.h"  // the program's dialogs for the editor
#include "app/mainframe.h"
#include "app/spellcheck.h"  // spell check: the text items' check
#include "app/stringtable.h"
#include "app/views.h"
#include "controls/colourdialog.h"
#include "controls/filetypes.h"
#include "controls/filezephodialog.h"
#include "controls/frontbutton.h"
#include "controls/textlayout.h"
#include "document/document.h"
#include "editor/editorstate.h"
#include "editor/tickelements.h"
#include "editor/zephview.h"
#include "platform/desktop.h"
#include "platform/helpviewer.h"
#include "platform/http.h"
#include "platform/picturecodec.h"
#include "platform/presenter.h"
#include "platform/printersystem.h"
#include "platform/qt/qtdesktop.h"
#include "platform/qt/qthttpclient.h"
#include "platform/qt/qtpicturecodec.h"
#include "platform/qt/qtpresenter.h"
#include "platform/qt/qtprintersystem.h"
#include "spell/spell.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/controlservices.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/safesave.h"
#include "support/screen.h"
#include "support/settings.h"
#include "support/sharedconfig.h"
#include "support/strings.h"
#include "support/sysinfo.h"
#include "support/textutil.h"
#include "support/uiutil.h"
#include "support/usagelog.h"

namespace {

CZephApp* g_app = nullptr;

constexpr int kLogInit = 1001;
constexpr int kLogShowEditing = 1004;
constexpr int kLogShowFront = 1012;
constexpr int kLogDestroyViews = 1003;
constexpr int kLogOpenDocument = 1099;
constexpr int kLogResetEditing = 1010;
constexpr int kLogPrinterSetup = 1005;
constexpr int kLogReactivated = 1009;
constexpr int kLogReapplyPrint = 1097;

const char* const kChildIdProperty = "zephChildId";

}  // namespace

CZephApp* GetZephApp() { return g_app; }

std::int32_t g_dictionaryStatus = 0;

// ---- The command line ----

CommandLine ParseCommandLine(const QString& text) {
  CommandLine result;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    if (text[i] == u' ') {
      ++i;
      continue;
    }
    if (text[i] == u'/' && i + 1 < n) {
      const QChar letter = QChar(ToUpperChar(text[i + 1].unicode()));
      if (letter == u'G' || letter == u'L') {
        i += 2;
        continue;
      }
      if (letter == u'S') {
        result.keepDocumentsFolder = 1;
        i += 2;
        continue;
      }
    }
    break;
  }
  QString name = text.mid(i).trimmed();
  while (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') name = name.mid(1, name.size() - 2);
  result.drawingName = name;
  return result;
}

QString CommandLineDrawingPath(const QString& name) {
  QString path = name;
  if (FindExtension(path) >= path.size()) path += QStringLiteral(".zpd");
  return path;
}

QString JoinArguments(const QStringList& arguments) {
  QStringList parts;
  for (const QString& a : arguments) {
    // A name with blanks comes back quoted, as a shell would have passed it in one piece.
    parts << ((a.contains(u' ') && !a.startsWith(u'"')) ? u'"' + a + u'"' : a);
  }
  return parts.join(u' ');
}

// ---- The program's services ----

namespace {

// Help pages open in the desktop's browser.
class CDesktopHelpViewer final : public zeph::IHelpViewer {
 public:
  void ShowHelpPage(const QString& helpFolder, const QString& page, int /*command*/) override {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(helpFolder).filePath(page)));
  }
};

// The folder of the program's data files (dictionary, samples, start-screen picture, help):
// beside the program when they are there, the installed data folder, or, for a program run
// from its build tree, the build's resources folder.
QString FindProgramFolder() {
  const QString dir = QCoreApplication::applicationDirPath();
  const QStringList candidates{dir, QDir(dir).filePath(QStringLiteral("resources")),
                               QDir(dir).filePath(QStringLiteral("../../resources")),
                               QDir(dir).filePath(QStringLiteral("../share/zephorin"))};
  for (const QString& c : candidates) {
    if (QFileInfo::exists(QDir(c).filePath(QStringLiteral("ZDICT.SPE")))) {
      return QDir(c).absolutePath();
    }
  }
  return dir;
}

}  // namespace

QString MakePrintFileName(const CZephDoc* doc) {
  // The user's own documents folder, where a pupil finds the file and no one else reads it.
  QString folder;
  if (GetMyDocumentsFolder(folder) == 0 || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  QString name;
  if (doc != nullptr && !doc->GetFilePath().isEmpty()) {
    GetNameFromPath(doc->GetFilePath(), name);
    StripExtension(name);
  }
  if (name.trimmed().isEmpty()) name = QStringLiteral("Untitled");
  return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void PrepareProgram() {
  QApplication::setApplicationName(QStringLiteral("Zephorin"));
  QApplication::setOrganizationName(QStringLiteral("Corvelle Software"));
  g_programFolder = FindProgramFolder();
  CZephApp::InstallPlatformServices();
}

void CZephApp::InstallPlatformServices() {
  static zeph::CQtPresenter presenter;
  static zeph::CQtDesktop desktop;
  // Where no printer is installed, printing writes a PDF file named after the drawing.
  static zeph::CQtPrinterSystem printers([] {
    CZephApp* app = GetZephApp();
    return MakePrintFileName(app != nullptr ? app->GetActiveDocument() : nullptr);
  });
  static zeph::CQtPictureCodec pictures;
  static zeph::QtHttpClient http;
  static zeph::CFrontButtonPalette schemes;
  static CDesktopHelpViewer help;
  zeph::SetHelpViewer(&help);
  zeph::SetPresenter(&presenter);
  zeph::SetDesktop(&desktop);
  zeph::SetPrinterSystem(&printers);
  zeph::SetFileOutputOpener(&OpenSafeFileOutput);
  zeph::SetPictureCodec(&pictures);
  zeph::SetHttpClient(&http);
  SetColourSchemePalette(&schemes);
  InstallSupportHooks();
  InstallPrinterHooks();
  InstallScreenLogHooks();
  zeph::SetUpFrontButtonStyle();
  zeph::InstallRecentColourHook();
  SetUpUiColours();
  SetUpOverlayXorColours();
  // Open and save through Qt's own file dialogs with the "Sample files" button.
  zeph::InstallFileDialogs();
  // The desktop entry of the file types starts this very program.
  zeph::g_programPath = QCoreApplication::applicationFilePath();
}

// ---- The application ----

CZephApp::CZephApp(std::unique_ptr<IAppViews> views, QObject* parent)
    : QObject(parent),
      m_views(views ? std::move(views) : CreateProgramViews()),
      m_host(std::make_unique<CAppDocumentHost>(*this)),
      m_services(std::make_unique<CAppServices>(*this)),
      m_recent(std::make_unique<CRecentFiles>()) {
  g_app = this;
  m_idle.SetPoll([] {
    if (g_internet == nullptr || g_internet->AdvanceTasks() == 0) return 0;
    // A task that advanced (or can) goes on without waiting for a network report: none may
    // come, as for a request that could not start or a reply already read.
    return g_internet->IsStepReady() ? 2 : 1;
  });
}

CZephApp::~CZephApp() {
  // A run that ended without the close order (a test, a failed start) still lets go of what
  // it installed.
  if (m_frame) {
    SetViewFrame(nullptr);
    SetStatusBar(nullptr);
  }
  InstallProgramDialogs(nullptr);
  SetInternetWakeHandler({});
  // The task list reports to the frame: it goes first.
  delete g_internet;
  g_internet = nullptr;
  SetDocumentHost(nullptr);
  zeph::RemoveEditorDialogs();
  SetAppServices(nullptr);
  SetRecentFileList(nullptr);
  SetStringTable(nullptr);
  SetActivePrintDrawing(nullptr);
  m_idle.Clear();
  if (m_frame) {
    m_frame->removeEventFilter(m_frame.get());
    m_frame->hide();
  }
  m_frontView = nullptr;
  m_editingView = nullptr;
  m_frame.reset();
  m_document.reset();
  if (g_app == this) g_app = nullptr;
}

void CZephApp::Step(int step) {
  LogAction(kLogInit, step, kLogProgress);
  m_startupSteps.push_back(step);
}

bool CZephApp::FailStartup() {
  LogAction(1, 0, 0);
  PostClose();
  return true;
}

void CZephApp::PostClose() {
  if (m_frame) QMetaObject::invokeMethod(m_frame.get(), &QWidget::close, Qt::QueuedConnection);
}

bool CZephApp::InitInstance(const QString& commandLine) {
  // 1. File names and the start time.
  g_managerFileName = QStringLiteral("Zeph.cmf");
  g_optionsFileName = QStringLiteral("Zeph.ini");
  g_optionsFileHeader = QStringLiteral("[Zephorin]");
  g_settingsHeader = QStringLiteral("[Zephorin]");
  g_machineSettingsName = QStringLiteral("Zeph.lmf");
  g_userSettingsName = QStringLiteral("Zeph.luf");
  g_startTime = CTime::GetCurrentTime();
  // Every message, prompt and caption shown by number takes its words from the program's table.
  InstallProgramStrings();
  m_activeViewCode = kViewNone;
  m_noDrawingShownYet = 1;

  // 2. The error-report switch and the usage log's start row.
  Step(0);
  ReadGlitchReportOption();
  LogProgramStart();

  // 3. The platform.
  Step(1);
  DetectWindowsVersion();

  // 4. The program folder (data files beside the program) and the help files.
  Step(2);
  SetHelpFileNames(g_programFolder);

  // 5. The manager's folder and files.
  Step(3);
  ResolveManagerFolder();
  ReadPrinterSettings();
  ReadManagerFile();

  // 6. The documents folder.
  if (g_documentsFolder.isEmpty()) {
    LogAction(kLogInit, 1, kLogHandled);
    QString folder = QStringLiteral("My documents");
    if (ExpandFolderName(folder) != 0) {
      g_documentsFolder = folder;
    } else {
      LogAction(kLogInit, 2, kLogHandled);
    }
  } else {
    if (FolderExists(g_documentsFolder) == 0) CreateFolderPath(g_documentsFolder);
    SetCurrentFolder(g_documentsFolder);
  }

  // 7. The samples folder.
  Step(4);
  if (g_samplesFolder.isEmpty() || FolderExists(g_samplesFolder) == 0) {
    LogAction(kLogInit, 3, kLogHandled);
    const QString candidate = JoinPath(g_programFolder, QStringLiteral("Samples"));
    if (FolderExists(candidate) != 0) {
      LogAction(kLogInit, 4, kLogHandled);
      g_samplesFolder = candidate;
    }
  }

  // 8. Logging switches and the recent files.
  Step(5);
  ReadLogOptions();
  Step(6);
  m_recent->Load();
  SetRecentFileList(m_recent.get());

  // 9. The command line.
  Step(7);
  const CommandLine line = ParseCommandLine(commandLine);
  if (line.keepDocumentsFolder != 0) g_startFolderGiven = 1;
  Step(8);

  // 10. The program's services that the document and the views use.
  Step(9);
  SetDocumentHost(m_host.get());
  SetAppServices(m_services.get());

  // 11. The drawing, the main window with its toolbar and status bar, and the start screen.
  Step(10);
  try {
    m_document = std::make_unique<CZephDoc>();
    m_frame = std::make_unique<CMainFrame>(*this);
    if (m_frame->OnCreate() != 0) {
      m_frame.reset();
      ReportGlitch(kLogInit, 5);
      return FailStartup();
    }
    m_frontView = m_views->CreateFrontView(m_frame.get(), m_document.get());
  } catch (const std::bad_alloc&) {
    LogAction(kLogInit, 1, kLogInvalid);
    ReportGlitch(kLogInit, 5);
    return FailStartup();
  }
  if (m_frontView == nullptr) {
    ReportGlitch(kLogInit, 5);
    return FailStartup();
  }
  m_frontView->setProperty(kChildIdProperty, kIdFirstPane);
  m_frame->AddView(m_frontView);
  m_frame->ShowView(m_frontView);
  m_frame->ShowMaximisedAtStart();
  InstallProgramDialogs(m_frame.get());
  SetActivePrintDrawing(m_document.get());
  InstallPrintableAreaComputer();
  // The object list and the prompt buttons' handlers become the editing view's parts.
  InstallEditorPromptParts();
  // A picture that cannot be shown writes its message with the program's word wrapping.
  zeph::InstallTextLayout();

  // 12. The start screen's colours and the editing view.
  Step(11);
  m_views->SetUpFrontColours();
  Step(20);
  Step(21);
  m_editingView = m_views->CreateEditingView(m_frame.get(), m_document.get());
  if (m_editingView == nullptr) {
    ReportGlitch(kLogInit, 6);
    return FailStartup();
  }
  m_editingView->setProperty(kChildIdProperty, kIdSecondPane);
  m_frame->AddView(m_editingView);
  Step(22);
  m_frame->setWindowTitle(QStringLiteral("Zephorin"));

  // 13. Menus: the start screen's until the editing view is first shown.
  Step(23);
  m_frame->BuildMenus(false);

  // 14. (Floating-point faults are checked where they arise.)
  Step(25);

  // 15. Fonts, then the options (their font defaults depend on the fonts), the window's
  // saved position and the highlight colours.
  Step(26);
  m_frame->CheckFonts();
  ResetOptions(1);
  ReadWindowPosition();
  ApplyDormantColour();

  // 16. The default printer.
  Step(27);
  MeasurePrinter();

  // 17. The spell checker and its main dictionary; a missing dictionary is no failure.
  Step(35);
  try {
    g_spellChecker = std::make_unique<CSpell>();
    g_dictionaryStatus = g_spellChecker->LoadMainDictionary(g_programFolder);
  } catch (const std::bad_alloc&) {
    ReportGlitch(kLogInit, 1);
    g_spellChecker.reset();
    g_dictionaryStatus = 803;
  }
  // Spell check: finished texts are checked through the program's checker and its dialogs.
  zeph::InstallTextSpellCheck();
  // End of spell check.

  // 18. Random numbers.
  Step(40);
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  // 19. The user's name, asked for when none is kept.
  Step(41);
  ReadUserName();
  if (g_userName.isEmpty()) {
    Step(42);
    OnOptionsName();
  }

  // 20. The drawing named on the command line.
  bool read = false;
  if (!line.drawingName.isEmpty()) {
    Step(50);
    Step(51);
    const QString path = CommandLineDrawingPath(line.drawingName);
    read = m_document->ReadDrawingFile(path, 0) != 0;
    if (read && g_fileStatus == kFileOk) {
      m_document->SetFilePath(QFileInfo(path).absoluteFilePath());
      m_document->ClearChanged();
    } else if (read) {
      // A read that stopped early keeps what it read, untitled as File > Open leaves it, so
      // that File > Save cannot write the part over the whole file.
      m_document->SetFilePath(QString());
    } else {
      m_document->ResetDrawing();  // an unreadable file leaves a fresh drawing, no message
    }
    Step(52);
  }
  m_commandLineRead = read;

  // 21. The symbol library, the selected symbol and the hatch samples.
  Step(60);
  if (CreateAuxiliaryDocuments() == 0) {
    LogAction(1, 1, kLogMemory);
    ShowOutOfMemory();
    return FailStartup();
  }

  // 22. The first view.
  m_views->EnableFrontPainting();
  if (read) {
    ShowEditingView();
  } else {
    ShowFrontView();
  }

  // 23. The internet tasks, once.
  Step(100);
  if (!m_internetStarted) {
    try {
      if (g_internet == nullptr) g_internet = new CInternet(m_frame.get());
      Step(110);
      g_internet->AddTask(2, false);
    } catch (const std::bad_alloc&) {
      // Without the task list the program runs on: nothing polls.
    }
    m_internetStarted = true;
  }
  SetInternetWakeHandler([this] { m_idle.Wake(); });

  // 24. The first idle action.
  Step(150);
  QueueIdleAction(kIdlePollInternet);
  LogAction(kLogInit, 0, kLogOk);
  LogAction(1, 0, 0);
  return true;
}

// ---- Views ----

int CZephApp::GetChildId(const QWidget* view) const {
  if (view == nullptr) return 0;
  return view->property(kChildIdProperty).toInt();
}

QWidget* CZephApp::ShownView() const { return m_frame ? m_frame->GetActiveView() : nullptr; }

void CZephApp::SwapChildIds(QWidget* a, QWidget* b) {
  if (a == nullptr || b == nullptr || a == b) return;
  const QVariant ida = a->property(kChildIdProperty);
  a->setProperty(kChildIdProperty, b->property(kChildIdProperty));
  b->setProperty(kChildIdProperty, ida);
}

void CZephApp::DeactivateCurrentView() {
  if (m_activeViewCode == kViewEditing) {
    m_views->DeactivateEditing();
  } else if (m_activeViewCode == kViewFront) {
    m_views->DeactivateFront();
  }
}

QWidget* CZephApp::SwitchToView(QWidget* view) {
  QWidget* old = ShownView();
  SwapChildIds(old, view);
  DeactivateCurrentView();
  if (m_frame) m_frame->ShowView(view);
  if (view != nullptr) view->update();
  if (view != nullptr && view == m_frontView) {
    m_activeViewCode = kViewFront;
  } else if (view != nullptr && view == m_editingView) {
    m_activeViewCode = kViewEditing;
    SetFrameMenu(true);
  } else {
    m_activeViewCode = kViewNone;
    ReportGlitch(1013, 1);
  }
  return old;
}

void CZephApp::ShowEditingView() {
  LogScope trace(kLogShowEditing);
  m_noDrawingShownYet = 0;
  ShowToolBar(GetOptionFlag(kOptionToolBar) != 0);
  SwitchToView(m_editingView);
  m_views->PrepareEditingToShow();
  UpdateTitle();
}

void CZephApp::ShowFrontView() {
  LogScope trace(kLogShowFront);
  if (m_activeViewCode != kViewFront) {
    ShowToolBar(false);
    SwitchToView(m_frontView);
  }
  m_views->PrepareFrontToShow();
  UpdateTitle();
}

void CZephApp::DestroyViews() {
  LogScope trace(kLogDestroyViews);
  if (m_frame) m_frame->ShowView(nullptr);
  delete m_frontView;
  m_frontView = nullptr;
  delete m_editingView;
  m_editingView = nullptr;
  m_activeViewCode = kViewNone;
}

void CZephApp::ShowToolBar(bool show) {
  if (m_frame) m_frame->ShowToolBar(show);
}

void CZephApp::SetFrameMenu(bool editingMenu) {
  if (!m_frame) return ReportGlitch(1098, 2);
  // The editing menu stays once it was put on the frame.
  if (editingMenu && !m_editingMenuShown) {
    m_editingMenuShown = true;
    m_frame->BuildMenus(true);
  }
}

// ---- The drawing ----

CZephDoc* CZephApp::GetActiveDocument() const { return m_frame ? m_document.get() : nullptr; }

CZephDoc* CZephApp::OpenDocumentFile(const QString& path) {
  LogScope trace(kLogOpenDocument);
  CZephDoc* doc = GetActiveDocument();
  if (doc == nullptr || doc->QuerySaveModified() == 0) return trace.Return<CZephDoc*>(nullptr, kLogFailed);
  if (doc->OpenFile(path) == 0) {
    // A recent file that can no longer be read leaves the list.
    m_recent->Remove(path);
    if (m_frame) m_frame->RefreshRecentFileMenu();
    return trace.Return<CZephDoc*>(nullptr, kLogFailed);
  }
  UpdateTitle();
  if (m_activeViewCode != kViewEditing) {
    ShowEditingView();
  } else {
    ResetEditingView();
  }
  return trace.Return(doc);
}

void CZephApp::CloseDocument() {
  SetActivePrintDrawing(nullptr);
  m_document.reset();
}

QString MakeDrawingTitle(const QString& path, int fullPath) {
  if (path.isEmpty()) return {};
  QString text = path;
  StripExtension(text);
  if (fullPath != 0) {
    const QString contracted = ContractSamplePath(text);
    return contracted.isEmpty() ? text : contracted;
  }
  QString name;
  GetNameFromPath(text, name);
  return name;
}

void CZephApp::UpdateTitle() {
  CZephDoc* doc = GetActiveDocument();
  if (doc == nullptr) return;
  const QString path = doc->GetFilePath();
  QString title = path.isEmpty() ? doc->GetDrawingName()
                                 : MakeDrawingTitle(path, GetOptionFlag(kOptionFullPathnameTitle));
  m_title = title;
  // The drawing's changed state (Save) goes with its title.
  if (m_frame) m_frame->Commands().RequestUpdate();
  if (m_frame) {
    m_frame->setWindowTitle(title.isEmpty() ? QStringLiteral("Untitled - Zephorin")
                                            : title + QStringLiteral(" - Zephorin"));
  }
}

void CZephApp::ResetEditingView() {
  LogScope trace(kLogResetEditing);
  m_views->ResetEditingForNewDrawing();
  UpdateTitle();
}

void CZephApp::RefreshDrawing() {
  if (m_activeViewCode == kViewEditing) m_views->RedrawEditingDrawing();
  UpdateTitle();
}

void CZephApp::UpdateEditingView() {
  // Undo or redo became available or not: the toolbar and the shortcuts follow.
  if (m_frame) m_frame->Commands().RequestUpdate();
}

void CZephApp::CancelEditing() {
  if (m_activeViewCode == kViewEditing) m_views->CancelEditingOperation();
}

void CZephApp::SuspendEditingFeedback() {
  if (m_activeViewCode == kViewEditing) m_views->SuspendEditingFeedback();
}

void CZephApp::ReleaseEditingCapture() {
  if (m_activeViewCode == kViewEditing) m_views->ReleaseEditingCapture();
}

void CZephApp::NoteReactivation() {
  if (m_activeViewCode == kViewEditing) LogAction(kLogReactivated, 0, kLogProgress);
}

void CZephApp::ApplyPrintOrientation() {
  CZephDoc* doc = GetActiveDocument();
  if (doc == nullptr) return ReportGlitch(1014, 1);
  if (SetPrinterOrientation(doc->GetPrintSettings().GetLandscape()) == 0) ComputePrintableArea();
}

void CZephApp::ReapplyPrintSettings() {
  LogScope trace(kLogReapplyPrint);
  CZephDoc* doc = GetActiveDocument();
  if (doc == nullptr) return ReportGlitch(kLogReapplyPrint, 1);
  doc->GetPrintSettings().LoadFromOptions();
  ApplyPrintOrientation();
}

// ---- Application commands ----

void CZephApp::OnFileNew() {
  if (CZephDoc* doc = GetActiveDocument()) doc->OnFileNew();
}

void CZephApp::OnFileOpen() {
  if (CZephDoc* doc = GetActiveDocument()) doc->OnFileOpen();
}

void CZephApp::OnFilePrinterSetup() {
  LogScope trace(kLogPrinterSetup);
  ShowPrinterSetup(m_frame.get());
  MeasurePrinter();
}

void CZephApp::OnHelpContents() { ShowHelpTopic(133, 1); }
void CZephApp::OnHelpIndex() { ShowHelpTopic(133, 2); }
void CZephApp::OnHelpSupport() { ShowHelpTopic(106, 0); }

void CZephApp::OnHelpAbout() { ShowAboutBox(m_frame.get()); }
void CZephApp::OnHelpCheckForUpdates() { ShowUpdateCheck(m_frame.get()); }
void CZephApp::OnOptionsName() { AskUserName(m_frame.get()); }

void CZephApp::OnEditPictureInsert() {
  CZephDoc* doc = GetActiveDocument();
  if (doc == nullptr) return ShowWarning(101);
  QString path;
  if (ChoosePicture(m_frame.get(), *doc, path)) {
    doc->SetPicture(path);
    m_views->ShowPicture(true);
    m_views->RedrawEditingDrawing();
  }
}

void CZephApp::OnViewPicture() {
  m_views->ShowPicture(!m_views->IsPictureShown());
  m_views->RedrawEditingDrawing();
}

int CZephApp::OnUpdateItemCommands() const {
  const CZephDoc* doc = GetActiveDocument();
  return doc != nullptr && doc->GetItemCount() > 0 ? 1 : 0;
}

int CZephApp::OnUpdateViewPictureEnabled() const {
  const CZephDoc* doc = GetActiveDocument();
  return doc != nullptr && !doc->GetPicturePath().isEmpty() ? 1 : 0;
}

int CZephApp::OnUpdateViewPictureChecked() const {
  return m_activeViewCode == kViewEditing && m_views->IsPictureShown() ? 1 : 0;
}
