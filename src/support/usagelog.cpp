#include "support/usagelog.h"

#include <pwd.h>
#include <unistd.h>
#include <QByteArray>
#include <QDir>

#include "support/constants.h"
#include "support/datafolders.h"
#include "support/datetime.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/textfile.h"
#include "support/textutil.h"

namespace {

QString (*g_loginNameSource)() = nullptr;

CUsageLogFile& UsageLogFile() {
  static CUsageLogFile file;
  return file;
}

// The folder of the usage file when the shared data folder cannot be had.
QString FallbackFolder() { return JoinPath(QDir::homePath(), QStringLiteral("Corvelle")); }

QString UsageLogPath(const QString& folder) {
  return JoinPath(folder, QString::fromUtf16(g_usageLogName));
}

QString PlatformLoginName() {
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    return QString::fromLocal8Bit(entry->pw_name);
  }
  return QString();
}

void WriteUsageRow(CTime time, int action) {
  CUsageLogFile* file = OpenUsageLog();
  if (file == nullptr) return;
  WriteTimeAndDate(*file, time, kTimeDateComma | kTimeDateNoLineEnd);
  QString user = GetLoginName();
  QuoteCsvField(user);
  QString row = QStringLiteral(",");
  AppendInt(row, action);
  row += u',';
  AppendInt(row, kVersionNumber);
  row += u',';
  row += user;
  row += u'\n';
  file->WriteString(row);
  file->Close();
}

}  // namespace

// ---- The file ----

CUsageLogFile::CUsageLogFile() = default;

CUsageLogFile::~CUsageLogFile() { Close(); }

bool CUsageLogFile::Open(const QString& path, bool create) {
  Close();
  m_file.setFileName(path);
  const QIODevice::OpenMode mode =
      create ? (QIODevice::WriteOnly | QIODevice::NewOnly)
             : (QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly);
  return m_file.open(mode);
}

// A row is lost silently when the disk refuses it: the usage log never stops the program.
void CUsageLogFile::WriteString(const QString& text) {
  if (!m_file.isOpen()) return;
  QByteArray bytes;
  bytes.reserve(text.size() + 8);
  for (QChar c : text) {
    if (c == u'\n') {
      bytes.append("\r\n");
    } else {
      bytes.append(static_cast<char>(EncodeWindows1252Char(c.unicode())));
    }
  }
  m_file.write(bytes);
}

void CUsageLogFile::Close() {
  if (m_file.isOpen()) m_file.close();
}

CUsageLogFile* OpenUsageLog() {
  LogScope trace(25101);
  QString folder;
  if (GetSharedDataFolder(1) != 0) {
    folder = g_sharedDataFolder;
  } else {
    trace.Step(5);
    SetGlitchValue(g_dataFolderError);
    ReportGlitch(25101, 1);
    folder = FallbackFolder();
    if (FolderExists(folder) == 0) CreateFolderPath(folder);
    if (FolderExists(folder) == 0) return trace.Return<CUsageLogFile*>(nullptr, kLogFailed, 1);
  }

  const QString path = UsageLogPath(folder);
  CUsageLogFile& file = UsageLogFile();
  if (file.Open(path, false)) return trace.Return(&file);
  // Only a missing file is made anew: one that exists but refuses the row keeps its rows.
  if (FileExists(path) == 0 && file.Open(path, true)) {
    file.WriteString(QString::fromUtf16(kUsageLogHeader) + u'\n');
    return trace.Return(&file, kLogOk, 1);
  }
  return trace.Return<CUsageLogFile*>(nullptr, kLogFailed, 2);
}

void LogProgramStart() { WriteUsageRow(g_startTime, 1); }

void LogProgramStop() { WriteUsageRow(CTime::GetCurrentTime(), 0); }

QString GetLoginName() {
  QString name = g_loginNameSource != nullptr ? g_loginNameSource() : PlatformLoginName();
  // The platform's buffer holds 256 characters and a terminator.
  if (name.size() > 256) name.truncate(256);
  return name;
}

void SetLoginNameSource(QString (*source)()) { g_loginNameSource = source; }

// ---- Reading it back ----

CProglog::CProglog() = default;

CProglog::~CProglog() = default;

void CProglog::Read() {
  LogScope trace(25151);
  runs = 0;
  crashes = 0;
  errors = 0;

  const QString folder = GetSharedDataFolder(0) != 0 ? g_sharedDataFolder : FallbackFolder();
  CTextFileReader reader;
  if (reader.Open(UsageLogPath(folder)) == 0) {
    runs = -2;
    trace.Exit(kLogFailed, 1);
    return;
  }
  QString line;
  reader.ReadLine(line);
  if (g_fileStatus != kFileOk) {
    runs = -3;
    trace.Step(1, kLogFailed);
    LogNumber(g_fileStatus);
    reader.Close();
    return;
  }
  if (line != QString::fromUtf16(kUsageLogHeader)) {
    runs = -4;
    trace.Step(1, kLogFailed);
    LogString(line);
    reader.Close();
    return;
  }

  bool startExpected = true;
  CTime openStart;
  QString openUser;
  for (;;) {
    reader.ReadLine(line);
    if (g_fileStatus != kFileOk) break;
    const QString timeText = TakeCsvField(line);
    const QString dateText = TakeCsvField(line);
    const QString actionText = TakeCsvField(line);
    const QString versionText = TakeCsvField(line);
    const QString user = TakeCsvField(line);
    const CTime time = MakeTime(dateText, timeText);
    // The current run's own start row: what follows it is not history yet.
    if (time == g_startTime) break;
    std::int16_t action = -1;
    if (TextToShort(actionText, action) == 0) action = -1;
    int version = -1;
    if (TextToInt(versionText, version) == 0) version = -1;
    if (version != kVersionNumber) continue;

    if (startExpected) {
      if (action == 1) {
        openStart = time;
        openUser = user;
        startExpected = false;
      } else if (action == 0) {
        ++errors;
        lastError = time;
      } else {
        trace.Step(1, kLogMinorFailure);
        LogNumber(action);
      }
      continue;
    }
    if (action == 0) {
      if (time.GetTime() >= openStart.GetTime() && user == openUser) {
        lastRunStart = openStart;
        lastRunStop = time;
        const std::int64_t duration = time.GetTime() - openStart.GetTime();
        if (runs == 0 || duration > longestRunStop.GetTime() - longestRunStart.GetTime()) {
          longestRunStart = openStart;
          longestRunStop = time;
        }
        if (runs == 0) {
          firstRunStart = openStart;
          firstRunStop = time;
        }
        ++runs;
      } else {
        trace.Step(2, kLogMinorFailure);
        LogTime(time);
        LogTime(openStart);
      }
      startExpected = true;
    } else if (action == 1) {
      ++crashes;
      lastCrash = openStart;
      openStart = time;
      openUser = user;
    } else {
      trace.Step(3, kLogMinorFailure);
      LogNumber(action);
    }
  }
  reader.Close();
  trace.Exit();
}

void ResetUsageLogState() {
  UsageLogFile().Close();
  g_loginNameSource = nullptr;
}
