// The document's menu commands: File > New, Open, Add, Save and Save as, Edit > Wipe and
// Edit > Dictionary, with the save question every one of them asks before a changed drawing
// is discarded.
#include "document/dochost.h"
#include "document/document.h"
#include "document/drawingfile.h"
#include "platform/filedialogs.h"
#include "platform/presenter.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/datafolders.h"
#include "support/filestatus.h"
#include "support/files.h"
#include "support/log.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogQuerySaveModified = 1203;
constexpr int kLogChooseAndOpenFile = 1220;
constexpr int kLogOnEditDictionary = 1250;
constexpr int kLogOnEditWipe = 1251;
constexpr int kLogOnFileAdd = 1252;
constexpr int kLogOnFileNew = 1253;
constexpr int kLogOnFileOpen = 1254;
constexpr int kLogOnFileSave = 1255;
constexpr int kLogOnFileSaveAs = 1256;
constexpr int kLogOpenFile = 1258;

constexpr int kIdsSaveQuestion = 96;
constexpr int kIdsDrawingLoaded = 257;

const QString kDrawingFilter = QStringLiteral(
    " Zephorin files (*.zpd) |*.zpd| Backup files (*.zpk) |*.zpk| Symbol library files (*.zsy) "
    "|*.zsy| All files (*.*) |*.*||");

// The open dialog of File > Open and File > Add: the program's own dialog first, and when the
// user leaves it through its samples button, a second one in the samples folder. The
// process's current folder is the same afterwards as before. Empty when cancelled.
QString ChooseDrawingToRead(const QString& title, const QString& samplesTitle, int logCode) {
  QString current;
  GetCurrentFolderOfDrive(0, current);
  zeph::FileDialogRequest request;
  request.open = true;
  request.defaultExtension = QStringLiteral("zpd");
  request.flags = zeph::kOfnFileMustExist | zeph::kOfnHideReadOnly;
  request.filter = kDrawingFilter;
  request.title = title;
  request.initialFolder = current;
  request.samplesButton = !g_samplesFolder.isEmpty();
  zeph::FileDialogResult result = zeph::GetFileDialogs().ShowFileDialog(request);
  if (result.answer == zeph::kIdOk) return result.path;
  if (!result.samplesChosen || g_samplesFolder.isEmpty()) return QString();
  request.title = samplesTitle;
  request.initialFolder = g_samplesFolder;
  request.samplesButton = false;
  result = zeph::GetFileDialogs().ShowFileDialog(request);
  if (!current.isEmpty() && SetCurrentFolder(current) == 0) ReportGlitch(logCode, 1);
  return result.answer == zeph::kIdOk ? result.path : QString();
}

}  // namespace

int CZephDoc::IsChangedOrWordsAdded() const {
  if (m_changed != 0) return 1;
  return g_spellChecker && m_docDict && m_docDict->IsModified() != 0 ? 1 : 0;
}

int CZephDoc::OnUpdateFileSave() const { return IsChangedOrWordsAdded(); }

int CZephDoc::OnUpdateEditDictionary() const { return g_spellChecker && m_docDict ? 1 : 0; }

int CZephDoc::PromptSaveChanges() {
  const int answer = AskYesNoCancel(kIdsSaveQuestion);
  if (answer == zeph::kIdCancel) return 0;
  if (answer == zeph::kIdYes) return SaveDrawing(0);
  return 1;
}

int CZephDoc::QuerySaveModified() {
  LogScope trace(kLogQuerySaveModified);
  if (IsChangedOrWordsAdded() != 0 && PromptSaveChanges() == 0) return trace.Return(0, kLogHandled, 1);
  GetDocumentHost().CancelEditing();
  return trace.Return(1);
}

void CZephDoc::OnFileNew() {
  LogScope trace(kLogOnFileNew);
  if (QuerySaveModified() == 0) return trace.Exit(kLogHandled, 1);
  WipeDrawing(0);
  ResetDrawing();
  GetDocumentHost().ShowEditingView();
  trace.Exit();
}

void CZephDoc::OnEditWipe() {
  LogScope trace(kLogOnEditWipe);
  if (QuerySaveModified() == 0) return trace.Exit(kLogHandled, 1);
  WipeDrawing(0);
  GetDocumentHost().RefreshDrawing();
  trace.Exit();
}

void CZephDoc::OnFileOpen() {
  LogScope trace(kLogOnFileOpen);
  if (ChooseAndOpenFile() == 0) return trace.Exit(kLogHandled, 1);
  IDocumentHost& host = GetDocumentHost();
  if (host.GetActiveViewCode() != 0) {
    host.ShowEditingView();
  } else {
    host.ResetEditingView();
  }
  trace.Exit();
}

int CZephDoc::ChooseAndOpenFile() {
  LogScope trace(kLogChooseAndOpenFile);
  if (QuerySaveModified() == 0) return trace.Return(0, kLogHandled, 1);
  GetDocumentHost().UpdateTitle();
  const QString path = ChooseDrawingToRead(QStringLiteral("Loading a drawing file"),
                                           QStringLiteral("Loading a sample drawing file"),
                                           kLogChooseAndOpenFile);
  if (path.isEmpty()) return trace.Return(0, kLogHandled, 2);
  // A drawing only partly read was still opened (the reader keeps what it read).
  if (OpenFile(path) == 0) return trace.Return(0, kLogFailed, 3);
  GetDocumentHost().UpdateTitle();
  return trace.Return(1);
}

int CZephDoc::OpenFile(const QString& path) {
  LogScope trace(kLogOpenFile);
  const int result = ReadDrawingFile(path, 0);
  if (g_fileStatus != 0) {
    // A read that stopped early has replaced the drawing with what it read: the editing view
    // shows that before the message, not the drawing that has gone.
    IDocumentHost& host = GetDocumentHost();
    if (result != 0 && host.GetActiveViewCode() == 0) host.ResetEditingView();
    ShowDrawingFileError(path);
    return trace.Return(result, kLogFailed, 1);
  }
  // Judged by the reader's result too: a drawing that was not read is never announced as
  // loaded nor offered among the recent files.
  if (result == 0) return trace.Return(0, kLogFailed, 2);
  AddToRecentFiles(path);
  ShowStatusText(LoadProgramString(kIdsDrawingLoaded), 1);
  return trace.Return(result);
}

void CZephDoc::OnFileAdd() {
  LogScope trace(kLogOnFileAdd);
  const QString path = ChooseDrawingToRead(QStringLiteral("Adding a drawing file"),
                                           QStringLiteral("Adding a sample drawing file"),
                                           kLogOnFileAdd);
  if (path.isEmpty()) return trace.Exit(kLogHandled, 1);
  const int result = ReadDrawingFile(path, 1);
  // What was added is shown before any message about the rest.
  if (result != 0) GetDocumentHost().RefreshDrawing();
  if (g_fileStatus != 0) ShowDrawingFileError(path);
  trace.Exit();
}

void CZephDoc::OnFileSave() {
  LogScope trace(kLogOnFileSave);
  GetDocumentHost().CancelEditing();
  SaveDrawing(0);
  trace.Exit();
}

void CZephDoc::OnFileSaveAs() {
  LogScope trace(kLogOnFileSaveAs);
  GetDocumentHost().CancelEditing();
  SaveDrawing(1);
  trace.Exit();
}

void CZephDoc::OnEditDictionary() {
  LogScope trace(kLogOnEditDictionary);
  if (!m_docDict || GetDocumentHost().ShowDictionaryDialog(m_docDict.get()) == 0) {
    ShowOutOfMemory();
    return trace.Exit(kLogMemory, 1);
  }
  trace.Exit();
}
