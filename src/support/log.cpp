#include "support/log.h"

#include "support/datafolders.h"
#include "support/files.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <cassert>
#include <iterator>
#include <memory>
#include <new>
#include <thread>
#include <utility>

#include "platform/presenter.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/datetime.h"
#include "support/textoutput.h"

std::int32_t* g_logCodes = nullptr;
std::int32_t* g_logValues = nullptr;
int g_logCapacity = 0;
int g_logPosition = 0;
std::int64_t g_logActionCount = 0;
int g_loggedStringCount = 0;
int g_loggedStringCapacity = 0;
std::int16_t g_callDepth = 0;
std::int32_t g_callCodes[kCallStackDepth] = {};
std::int32_t g_callPhases[kCallStackDepth] = {};
std::int32_t g_glitchValues[kGlitchValueLimit] = {};
std::int16_t g_glitchValueCount = 0;
QString g_glitchMessage;
int g_glitchCount = 0;
int g_unwrittenGlitchCount = 0;
int g_firstGlitchCode = -1;
int g_firstGlitchNumber = -1;
int g_firstGlitchValueCount = 0;
std::int32_t g_firstGlitchValues[kGlitchValueLimit] = {};
QString g_firstGlitchValuesText;
QString g_firstGlitchMessage;
int g_lastGlitchNumber = 0;
bool g_logFileOption = false;
bool g_loggingOn = false;
bool g_showGlitch = false;
std::int16_t g_logFolderOverride = -1;
QString g_logFolderOverridePath;
QString g_logFolder;
QString g_logFilePath;
bool g_logFileStarted = false;
QString g_glitchFilePath;
bool g_glitchFileStarted = false;

namespace {

// Owners of the ring and of the logged-string table; g_logCodes and g_logValues point into them.
std::unique_ptr<std::int32_t[]> g_logCodesOwner;
std::unique_ptr<std::int32_t[]> g_logValuesOwner;
std::unique_ptr<QString[]> g_loggedStrings;
// Set by FreeLogResources: records made during shut-down are counted but never stored again.
bool g_logResourcesFreed = false;
bool g_logBusy = false;
bool g_glitchBusy = false;

// Recorded while statics are initialised, which happens on the user-interface thread. A call
// made before that (from another file's static initialiser) sees no id and is let through.
const std::thread::id g_uiThreadId = std::this_thread::get_id();

[[maybe_unused]] bool OnUiThread() {
  return g_uiThreadId == std::thread::id() || std::this_thread::get_id() == g_uiThreadId;
}

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// The log makes its own folder without the traced folder operation, so a report being written
// never records into the ring it is dumping.
void CreateLogFolder(const QString& path) { QDir().mkpath(path); }

// One of the two log files, opened for one record or one report and closed again. Text is
// written as UTF-8 with CR LF line ends.
class LogTextFile final : public ITextOutput {
 public:
  // Creates (or truncates) the file.
  bool Create(const QString& path) {
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  }
  // Opens an existing file for appending; never creates one.
  bool Append(const QString& path) {
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly);
  }
  void Close() { m_file.close(); }
  void WriteString(const QString& text) override {
    QString lines = text;
    lines.replace(u'\n', QStringLiteral("\r\n"));
    m_file.write(lines.toUtf8());
  }

 private:
  QFile m_file;
};

// Creates a new numbered file of that name in the folder, or else in the current folder.
// Gives the path used, or an empty text when neither could be created.
QString CreateNewLogFile(LogTextFile& file, const QString& fileName) {
  QString path = g_logFolder;
  AddBackslash(path);
  path += fileName;
  MakeUniqueName(path);
  if (!file.Create(path)) {
    path = fileName;
    MakeUniqueName(path);
    if (!file.Create(path)) return {};
  }
  return QFileInfo(path).absoluteFilePath();
}

// ---- Hooks ----

LogHooks DefaultLogHooks() {
  LogHooks hooks;
  hooks.readMachineSetting = [](const QString&) { return QString(); };
  hooks.writeMachineSetting = [](const QString&, const QString&) { return 0; };
  hooks.roamingDataFolder = [] {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  };
  hooks.myDocumentsFolder = [] {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  };
  hooks.sendGlitchReport = [](std::int64_t) {};
  hooks.machineDescription = [] { return QString(); };
  hooks.displayColourMode = [] { return -1; };
  hooks.screenWidth = [] { return 0; };
  hooks.screenHeight = [] { return 0; };
  hooks.selectedPrinter = [] { return -1; };
  hooks.knownPrinters = [] { return QStringList(); };
  return hooks;
}

// Calls a hook, or answers the neutral value when a test or a later layer cleared it.
template <typename Result, typename Function, typename... Args>
Result CallHook(const Function& hook, Result neutral, Args&&... args) {
  // A copy, so a hook that installs other hooks does not pull itself away while it runs.
  const Function call = hook;
  return call ? call(std::forward<Args>(args)...) : neutral;
}

QString ReadMachineSetting(const QString& key) {
  return CallHook(GetLogHooks().readMachineSetting, QString(), key);
}

int WriteMachineSetting(const QString& key, const QString& value) {
  return CallHook(GetLogHooks().writeMachineSetting, 0, key, value);
}

// "Yes" in any case, blanks anywhere.
bool IsYes(const QString& value) {
  QString compact = value;
  compact.remove(u' ');
  compact.remove(u'\t');
  return compact.compare(QStringLiteral("Yes"), Qt::CaseInsensitive) == 0;
}

// ---- Ring and call stack ----

// False when the first array cannot be made: the record ends there.
bool StoreInRing(int code, int value) {
  if (g_logCapacity == 0) {
    if (g_logResourcesFreed) return true;
    try {
      g_logCodesOwner = std::make_unique<std::int32_t[]>(kLogRingSize);
    } catch (const std::bad_alloc&) {
      return false;
    }
    try {
      g_logValuesOwner = std::make_unique<std::int32_t[]>(kLogRingSize);
    } catch (const std::bad_alloc&) {
      g_logCodesOwner.reset();
      return true;
    }
    g_logCodes = g_logCodesOwner.get();
    g_logValues = g_logValuesOwner.get();
    g_logCapacity = kLogRingSize;
  }
  g_logCodes[g_logPosition] = code;
  g_logValues[g_logPosition] = value;
  if (++g_logPosition >= g_logCapacity) g_logPosition = 0;
  return true;
}

void UpdateCallStack(int code, int b) {
  if (code < 1000 || (b >= 5000 && b <= 5999)) return;
  const bool keepsOpen = b < 1000 || (b >= 2000 && b <= 4999);
  if (g_callDepth == 0) {
    if (!keepsOpen) return;
  } else if (g_callCodes[g_callDepth - 1] == code) {
    if (keepsOpen) {
      g_callPhases[g_callDepth - 1] = b;
    } else {
      --g_callDepth;
    }
    return;
  } else if (g_callDepth >= kCallStackDepth) {
    return;
  }
  g_callCodes[g_callDepth] = code;
  g_callPhases[g_callDepth] = b;
  ++g_callDepth;
}

// ---- Writing ----

QString TwoDigits(long n) { return QString::number(n).rightJustified(2, u'0'); }

void WriteTimeLine(ITextOutput& file, CTime time) { WriteTimeAndDate(file, time, 0); }

void CheckLogFolderOverride() {
  g_logFolderOverridePath = QDir::homePath() + u'/' + Text(kProductName) + QStringLiteral(" log");
  g_logFolderOverride = FolderExists(g_logFolderOverridePath) ? 1 : 0;
}

void ChooseLogFolder() {
  if (g_logFolderOverride == 1 && FolderExists(g_logFolderOverridePath)) {
    g_logFolder = g_logFolderOverridePath;
    return;
  }
  if (!g_logFolder.isEmpty() && FolderExists(g_logFolder)) return;
  const LogHooks& hooks = GetLogHooks();
  QString folder = CallHook(hooks.roamingDataFolder, QString());
  if (folder.isEmpty()) folder = CallHook(hooks.myDocumentsFolder, QString());
  if (folder.isEmpty()) folder = QDir::tempPath();
  g_logFolder = folder;
  if (!FolderExists(g_logFolder)) CreateLogFolder(g_logFolder);
}

void WriteSystemInformation(ITextOutput& file) {
  const LogHooks& hooks = GetLogHooks();
  file.WriteString(QStringLiteral("Current machine: ") +
                   CallHook(hooks.machineDescription, QString()) + u'\n');

  QString login;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    login = QString::fromLocal8Bit(entry->pw_name);
  }
  if (login.isEmpty()) login = qEnvironmentVariable("USER");
  file.WriteString(QStringLiteral("Computer name: ") + QSysInfo::machineHostName() + u'\n');
  file.WriteString(QStringLiteral("User name: ") + login + u'\n');

  long zone = GetTimeZoneDifference();
  QString zoneText;
  if (zone < 0) {
    zoneText = QStringLiteral("-");
    zone = -zone;
  }
  zoneText += QString::number(zone / 3600) + u':' + TwoDigits(zone % 3600 / 60) + u'.' +
              TwoDigits(zone % 60);
  file.WriteString(QStringLiteral("Time zone: ") + zoneText + u'\n');

  const int colourMode = CallHook(hooks.displayColourMode, -1);
  if (colourMode != -1) {
    const QString colours = colourMode == 0   ? QStringLiteral("16")
                            : colourMode == 1 ? QStringLiteral("256")
                            : colourMode == 2 ? QStringLiteral("16,777,216")
                                              : QStringLiteral("unknown.");
    file.WriteString(QStringLiteral("Number of colours: ") + colours + u'\n');
  }
  const int width = CallHook(hooks.screenWidth, 0);
  const int height = CallHook(hooks.screenHeight, 0);
  if (width != 0 || height != 0) {
    file.WriteString(QStringLiteral("Screen dimensions: ") + QString::number(width) +
                     QStringLiteral(" x ") + QString::number(height) + u'\n');
  }
  const int printer = CallHook(hooks.selectedPrinter, -1);
  file.WriteString(QStringLiteral("Current printer: ") +
                   (printer < 0 ? QStringLiteral("none") : QString::number(printer + 1)) + u'\n');
  for (const QString& name : CallHook(hooks.knownPrinters, QStringList())) {
    file.WriteString(QStringLiteral("    ") + name + u'\n');
  }
  file.WriteString(QStringLiteral("\n"));
}

void WriteGlitchProgramInfo(ITextOutput& file) {
  QString programFolder = g_programFolder;
  if (programFolder.size() > 1 && programFolder.endsWith(u'/')) programFolder.chop(1);
  file.WriteString(QStringLiteral("Version: ") + Text(kVersionText) +
                   QStringLiteral(" (Release)\n"));
  file.WriteString(QStringLiteral("Build: ") + QString::number(kBuildNumber) + u'\n');
  file.WriteString(QStringLiteral("Program directory: ") + programFolder + u'\n');
  file.WriteString(QStringLiteral("Working directory: ") + g_documentsFolder + u'\n');
  file.WriteString(QStringLiteral("\n"));
}

void WriteGlitchDocumentInfo(ITextOutput& file) {
  const IAppServices& app = GetAppServices();
  const bool hasDocument = app.HasActiveDocument();
  file.WriteString(QStringLiteral("Name: ") + g_userName + QStringLiteral("\n\n"));
  file.WriteString(QStringLiteral("Pathname: ") +
                   (hasDocument ? app.GetActiveDocumentPath() : QString()) + u'\n');
  file.WriteString(QStringLiteral("Number of items: ") +
                   (hasDocument ? QString::number(app.GetActiveDocumentItemCount()) : QString()) +
                   u'\n');
}

void WriteLogRecord(ITextOutput& file, int code, int value) {
  switch (code) {
    case 0:
      file.WriteString(QStringLiteral("# ") + QString::number(value) + u'\n');
      break;
    case 1:
      file.WriteString(QStringLiteral("\n"));
      WriteGlitchProgramInfo(file);
      WriteSystemInformation(file);
      file.WriteString(QStringLiteral("\n"));
      break;
    case 2:
      // The table is gone after shut-down even though the count stays.
      if (value >= 0 && value < g_loggedStringCount && value < g_loggedStringCapacity) {
        file.WriteString(QStringLiteral("# ") + g_loggedStrings[value] + u'\n');
      } else {
        file.WriteString(QStringLiteral("# String ") + QString::number(value) + u'\n');
      }
      break;
    case 3:
      file.WriteString(QStringLiteral("# Glitch ") + QString::number(value) + u',' +
                       QString::number(g_lastGlitchNumber) + u'\n');
      if (!g_glitchMessage.isEmpty())
        file.WriteString(QStringLiteral("# ") + g_glitchMessage + u'\n');
      for (int i = 0; i < g_glitchValueCount; ++i) {
        file.WriteString(QStringLiteral("# ") + QString::number(g_glitchValues[i]) + u'\n');
      }
      break;
    default:
      file.WriteString(QStringLiteral(": ") + QString::number(code) + u',' +
                       QString::number(value) + u'\n');
      break;
  }
}

void DumpLogRing(ITextOutput& file, bool withInformation) {
  if (g_logCapacity == 0) return;
  const bool wrapped = g_logActionCount >= g_logCapacity;
  const int count = wrapped ? g_logCapacity : static_cast<int>(g_logActionCount);
  const int first = wrapped ? g_logPosition : 0;
  for (int k = 0; k < count; ++k) {
    const int slot = (first + k) % g_logCapacity;
    if (g_logCodes[slot] == 1 && !withInformation) continue;
    WriteLogRecord(file, g_logCodes[slot], g_logValues[slot]);
  }
}

void WriteRecordToLogFile(int code, int b) {
  LogTextFile file;
  if (g_logFileStarted) {
    if (file.Append(g_logFilePath)) WriteLogRecord(file, code, b);
    return;
  }
  ChooseLogFolder();
  const QString path = CreateNewLogFile(file, Text(kLogFileName));
  if (path.isEmpty()) return;
  g_logFilePath = path;
  g_logFileStarted = true;
  file.WriteString(u'>' + Text(kVersionTag) + u'\n');
  WriteTimeLine(file, g_startTime);
  file.WriteString(QStringLiteral("\n"));
  // The ring already holds this record, so the head ends with it.
  DumpLogRing(file, true);
}

// Writes one report; false when the glitch file could not be created or opened.
bool WriteGlitchReport(int code, int n, std::int64_t& total) {
  LogTextFile file;
  bool createdNow = false;
  if (!g_glitchFileStarted) {
    ChooseLogFolder();
    const QString path = CreateNewLogFile(file, Text(kGlitchFileName));
    if (path.isEmpty()) return false;
    g_glitchFilePath = path;
    g_glitchFileStarted = true;
    createdNow = true;
  } else if (!file.Append(g_glitchFilePath)) {
    return false;
  }

  file.WriteString(u'>' + Text(kVersionTag) + u'\n');
  WriteTimeLine(file, g_startTime);
  DumpLogRing(file, false);
  WriteTimeLine(file, CTime::GetCurrentTime());
  file.WriteString(QStringLiteral("Total log actions: ") + QString::number(g_logActionCount) +
                   u'\n');
  if (g_logActionCount > g_logCapacity) {
    file.WriteString(QStringLiteral("Missing log actions: ") +
                     QString::number(g_logActionCount - g_logCapacity) + u'\n');
  }
  file.WriteString(QStringLiteral("Glitch number ") + QString::number(code) + QStringLiteral(", ") +
                   QString::number(n) + u'\n');
  if (!g_glitchMessage.isEmpty())
    file.WriteString(QStringLiteral("Glitch message: ") + g_glitchMessage + u'\n');
  for (int i = 0; i < g_glitchValueCount; ++i) {
    file.WriteString(QStringLiteral("Glitch value: ") + QString::number(g_glitchValues[i]) + u'\n');
  }
  file.WriteString(QStringLiteral("\n"));

  g_glitchMessage.clear();
  g_glitchValueCount = 0;
  total = g_logActionCount;
  g_logPosition = 0;
  g_logActionCount = 0;
  file.Close();

  if (createdNow) {
    LogTextFile blocks;
    if (blocks.Append(g_glitchFilePath)) {
      WriteSystemInformation(blocks);
      WriteGlitchProgramInfo(blocks);
      WriteGlitchDocumentInfo(blocks);
    }
  }
  return true;
}

}  // namespace

void LogAction(int code, int phase, int value) {
  assert(OnUiThread());
  if (g_logBusy) return;
  g_logBusy = true;
  ++g_logActionCount;
  // Wraps rather than overflows for a value far outside the groups.
  const int b = code >= 1000 && phase < 1000
                    ? static_cast<std::int32_t>(static_cast<std::int64_t>(phase) + value)
                    : phase;
  UpdateCallStack(code, b);
  if (StoreInRing(code, b)) {
    if (g_logFolderOverride == -1) CheckLogFolderOverride();
    if (g_loggingOn || g_logFolderOverride == 1) WriteRecordToLogFile(code, b);
  }
  g_logBusy = false;
}

void LogNumber(int n) { LogAction(0, n, 0); }

void LogString(const QString& text) {
  if (g_loggedStringCapacity == 0) {
    if (g_logResourcesFreed) return;
    try {
      g_loggedStrings = std::make_unique<QString[]>(kLoggedStringCapacity);
    } catch (const std::bad_alloc&) {
      return;
    }
    g_loggedStringCapacity = kLoggedStringCapacity;
  }
  if (g_loggedStringCount >= g_loggedStringCapacity) return;
  const int index = g_loggedStringCount;
  g_loggedStrings[index] = text;
  ++g_loggedStringCount;
  LogAction(2, index, 0);
}

void LogTime(CTime time) {
  LocalTimeFields fields;
  if (!time.GetLocalFields(fields)) return;
  for (int n : {fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second}) {
    LogNumber(n);
  }
}

void SetGlitchValue(int v) {
  if (g_glitchValueCount < kGlitchValueLimit) g_glitchValues[g_glitchValueCount++] = v;
}

void SetGlitchMessage(const QString& text) { g_glitchMessage = text; }

void ReportGlitch(int code, int n) {
  assert(OnUiThread());
  if (g_glitchBusy) return;
  g_glitchBusy = true;

  if (++g_glitchCount == 1) {
    g_firstGlitchCode = code;
    g_firstGlitchNumber = n;
    g_firstGlitchValueCount = g_glitchValueCount;
    QStringList values;
    for (int i = 0; i < g_glitchValueCount; ++i) {
      g_firstGlitchValues[i] = g_glitchValues[i];
      values << QString::number(g_glitchValues[i]);
    }
    g_firstGlitchValuesText = values.join(QStringLiteral(", "));
    g_firstGlitchMessage = g_glitchMessage;
  }
  if (g_logFolderOverride == -1) CheckLogFolderOverride();

  // Without a file the context stays pending and the ring keeps its records.
  std::int64_t total = g_logActionCount;
  if (g_glitchCount <= kGlitchReportLimit) {
    WriteGlitchReport(code, n, total);
    if (g_glitchCount == kGlitchReportLimit && g_glitchFileStarted) {
      LogTextFile file;
      if (file.Append(g_glitchFilePath)) {
        file.WriteString(QStringLiteral("Glitch reports end here: later glitches of this run are "
                                        "only counted\n"));
      }
    }
  } else {
    // Counted, with the glitch's record in the ring; its pending context is dropped so that
    // it does not pass to whatever is reported next.
    ++g_unwrittenGlitchCount;
    g_glitchMessage.clear();
    g_glitchValueCount = 0;
    if (!g_loggingOn) LogAction(3, code, 0);
  }

  if (g_glitchCount == 1) {
    const auto send = GetLogHooks().sendGlitchReport;
    if (send) send(total);
  }

  if (g_showGlitch) {
    const QString text = QStringLiteral("Glitch number ") + QString::number(code) +
                         QStringLiteral(", ") + QString::number(n) +
                         QStringLiteral(
                             "\n\nOnly choose Cancel if you do NOT wish to show\n"
                             "any more glitches for this run of the program.");
    const int answer = zeph::GetPresenter().ShowMessageBox(
        text, Text(kProductName), zeph::kMbOkCancel | zeph::kMbIconExclamation);
    if (answer == zeph::kIdCancel) g_showGlitch = false;
  }

  if (g_loggingOn) {
    g_lastGlitchNumber = n;
    LogAction(3, code, 0);
  }
  g_glitchBusy = false;
}

void ReadLogOptions() {
  g_logFileOption = IsYes(ReadMachineSetting(QStringLiteral("LogFile")));
  g_loggingOn = g_logFileOption;
  if (IsYes(ReadMachineSetting(QStringLiteral("ShowGlitch")))) g_showGlitch = true;
}

int SetLogFileOption(bool on) {
  const int result = WriteMachineSetting(QStringLiteral("LogFile"),
                                         on ? QStringLiteral("Yes") : QStringLiteral("No"));
  if (result != 0) g_logFileOption = on;
  return result;
}

int SaveShowGlitchOption() {
  return WriteMachineSetting(QStringLiteral("ShowGlitch"),
                             g_showGlitch ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void FreeLogResources() {
  g_logCodesOwner.reset();
  g_logValuesOwner.reset();
  g_loggedStrings.reset();
  g_logCodes = nullptr;
  g_logValues = nullptr;
  g_logCapacity = 0;
  g_logPosition = 0;
  g_loggedStringCapacity = 0;
  g_logResourcesFreed = true;
}

LogHooks& GetLogHooks() {
  static LogHooks hooks = DefaultLogHooks();
  return hooks;
}

void ResetLogState() {
  FreeLogResources();
  g_logResourcesFreed = false;
  g_logActionCount = 0;
  g_loggedStringCount = 0;
  g_callDepth = 0;
  std::fill(std::begin(g_callCodes), std::end(g_callCodes), 0);
  std::fill(std::begin(g_callPhases), std::end(g_callPhases), 0);
  std::fill(std::begin(g_glitchValues), std::end(g_glitchValues), 0);
  g_glitchValueCount = 0;
  g_glitchMessage.clear();
  g_glitchCount = 0;
  g_unwrittenGlitchCount = 0;
  g_firstGlitchCode = -1;
  g_firstGlitchNumber = -1;
  g_firstGlitchValueCount = 0;
  std::fill(std::begin(g_firstGlitchValues), std::end(g_firstGlitchValues), 0);
  g_firstGlitchValuesText.clear();
  g_firstGlitchMessage.clear();
  g_lastGlitchNumber = 0;
  g_logFileOption = false;
  g_loggingOn = false;
  g_showGlitch = false;
  g_logFolderOverride = -1;
  g_logFolderOverridePath.clear();
  g_logFolder.clear();
  g_logFilePath.clear();
  g_logFileStarted = false;
  g_glitchFilePath.clear();
  g_glitchFileStarted = false;
  g_logBusy = false;
  g_glitchBusy = false;
  GetLogHooks() = DefaultLogHooks();
}
