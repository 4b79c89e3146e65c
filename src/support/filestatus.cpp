#include "support/filestatus.h"

#include "platform/presenter.h"
#include "support/constants.h"
#include "support/log.h"

std::int32_t g_fileStatus = 0;
std::int32_t g_fileLineNumber = 0;

namespace {

struct FileErrorText {
  int id;
  const char16_t* text;
};

constexpr FileErrorText kFileErrorTexts[] = {
    {kIdsHardwareFault, u"%1\nThere is a hardware fault with the disk"},
    {kIdsDiskFull, u"%1\nThe disk is full - file not saved."},
    {kIdsWriteProtected, u"%1\nThe disk is write protected - file not saved."},
    {kIdsFileNotFound, u"%1\nThis file was not found."},
    {kIdsNoMemory, u"%1\nThere is not enough memory for this file."},
    {kIdsFileReadOnly, u"%1\nThe file is read only - it cannot be replaced."},
    {kIdsBackupReadOnly,
     u"%1\nThis file has a backup file which\nis read only - it cannot be replaced."},
    {kIdsFileInUse, u"%1\n\nThe file is being used by another program."},
    {kIdsUnexpectedFileError, u"%1\n\nUnexpected file error %2."},
    {kIdsCannotCreate, u"%1\n\nError - unable to create the file."},
    {kIdsCannotSave, u"%1\n\nError - unable to save the file."},
    {kIdsIllegalValue,
     u"%1\n\nThis file cannot be opened since\nit contains an illegal value in line %2."},
    {kIdsEndedTooSoon, u"%1\nThe file has ended too soon."},
    {kIdsNotDrawing, u"%1\nThis is not a proper Zephorin drawing file."},
    {kIdsIncompatible,
     u"%1\n\nThe format of the above Zephorin drawing file\nis not compatible with this version of "
     u"the program."},
    {kIdsCannotMoveToBackup,
     u"%1\nError when trying to move this file\ninto the backup folder - it cannot be copied."},
};

// Message ids by status value 1..15.
constexpr int kMessageOfStatus[] = {
    0,
    kIdsEndedTooSoon,
    kIdsHardwareFault,
    kIdsFileNotFound,
    kIdsDiskFull,
    kIdsFileInUse,
    kIdsFileReadOnly,
    kIdsBackupReadOnly,
    kIdsWriteProtected,
    kIdsCannotCreate,
    kIdsCannotSave,
    kIdsNoMemory,
    kIdsIllegalValue,
    kIdsNotDrawing,
    kIdsIncompatible,
    kIdsCannotMoveToBackup,
};

QString (*g_stringTable)(int id) = nullptr;

// Keeps the last text when no status bar is installed, so that tests can see it.
class KeptStatusText final : public IStatusBar {
 public:
  void SetStatusText(const QString& text, bool) override { m_text = text; }
  QString m_text;
};

KeptStatusText& StandInStatusBar() {
  static KeptStatusText bar;
  return bar;
}

IStatusBar* g_statusBar = nullptr;

IStatusBar& CurrentStatusBar() {
  return g_statusBar != nullptr ? *g_statusBar : StandInStatusBar();
}

}  // namespace

int FileErrorMessageId(int status) {
  if (status == kFileOk) return 0;
  if (status > 0 && status <= kFileCannotMoveToBackup) return kMessageOfStatus[status];
  return kIdsUnexpectedFileError;
}

QString LoadFileErrorText(int id) {
  for (const FileErrorText& entry : kFileErrorTexts) {
    if (entry.id == id) return QString::fromUtf16(entry.text);
  }
  return QString();
}

void SetStringTable(QString (*load)(int id)) { g_stringTable = load; }

QString LoadStringText(int id) {
  if (g_stringTable != nullptr) {
    const QString text = g_stringTable(id);
    if (!text.isEmpty()) return text;
  }
  return LoadFileErrorText(id);
}

QString FileErrorMessage(const QString& path) {
  const int status = g_fileStatus;
  const int id = FileErrorMessageId(status);
  if (id == 0) return QString();
  const QString text = LoadFileErrorText(id);
  // One pass over the placeholders, so that a "%2" inside the path stays as it is.
  if (id == kIdsIllegalValue) return text.arg(path, QString::number(g_fileLineNumber));
  if (id == kIdsUnexpectedFileError) return text.arg(path, QString::number(status));
  return text.arg(path);
}

void ShowFileError(const QString& path) {
  if (g_fileStatus == kFileOk) return;
  LogScope trace(2203);
  LogNumber(g_fileStatus);
  zeph::GetPresenter().ShowMessageBox(FileErrorMessage(path), QString::fromUtf16(kProductName),
                                      zeph::kMbOk | zeph::kMbIconExclamation);
  trace.Exit();
}

void ShowStatusMessage(int id, int updateNow) {
  const QString text = LoadStringText(id);
  if (text.isEmpty()) return;
  ShowStatusText(text, updateNow);
}

void ShowStatusText(const QString& text, int updateNow) {
  CurrentStatusBar().SetStatusText(text, updateNow != 0);
}

void SetStatusBar(IStatusBar* bar) { g_statusBar = bar; }

QString LastStatusText() { return StandInStatusBar().m_text; }

void ResetFileStatus() {
  g_fileStatus = 0;
  g_fileLineNumber = 0;
  g_stringTable = nullptr;
  g_statusBar = nullptr;
  StandInStatusBar().m_text.clear();
}
