#pragma once
// The activity log and glitch reports: the program's operations record their entry, progress
// points and way out as (code, value) records in a ring of the last 10000 (inner geometry and
// drawing routines record nothing); an impossible state is reported as a glitch to "Zeph.err".
// Called on the user-interface thread only.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "support/timevalue.h"

// Value groups, the third argument of LogAction.
inline constexpr int kLogProgress = 0;
inline constexpr int kLogOk = 1000;
inline constexpr int kLogHandled = 2000;
inline constexpr int kLogMinorFailure = 5000;
inline constexpr int kLogFailed = 7000;
inline constexpr int kLogMemory = 8000;
inline constexpr int kLogInvalid = 9000;

inline constexpr int kLogRingSize = 10000;
inline constexpr int kLoggedStringCapacity = 1000;
inline constexpr int kCallStackDepth = 19;
inline constexpr int kGlitchValueLimit = 10;
// The glitch reports one run writes to "Zeph.err"; later glitches of the run are only counted
// (g_unwrittenGlitchCount) and recorded in the ring, so that no input can fill the disk.
inline constexpr int kGlitchReportLimit = 300;

void LogAction(int code, int phase, int value);
void LogNumber(int n);
void LogString(const QString& text);
void LogTime(CTime time);
void SetGlitchValue(int v);
void SetGlitchMessage(const QString& text);
void ReportGlitch(int code, int n);

void ReadLogOptions();
int SetLogFileOption(bool on);
int SaveShowGlitchOption();
// Frees the ring and the string table at shut-down; later records are counted, not stored.
void FreeLogResources();

// Records a function's entry when made; its steps and exits stay one line each:
//   LogScope trace(2101);  ...  trace.Step(3);  ...  trace.Exit(kLogFailed, 5);
class LogScope {
 public:
  explicit LogScope(int code) : m_code(code) { LogAction(code, 0, kLogProgress); }
  LogScope(const LogScope&) = delete;
  LogScope& operator=(const LogScope&) = delete;

  int code() const { return m_code; }
  // A progress point (or a handled problem / minor failure with its value group).
  void Step(int phase, int value = kLogProgress) const { LogAction(m_code, phase, value); }
  // The way out: 1000 for success, or a failure group at a failure point.
  void Exit(int value = kLogOk, int phase = 0) const { LogAction(m_code, phase, value); }
  // Exit and hand the result back, so `return trace.Return(1);` stays one line.
  template <typename T>
  T Return(T result, int value = kLogOk, int phase = 0) const {
    LogAction(m_code, phase, value);
    return result;
  }

 private:
  int m_code;
};

// Program-wide state of the log, read by the settings and system-information pages.
extern std::int32_t* g_logCodes;
extern std::int32_t* g_logValues;
extern int g_logCapacity;
extern int g_logPosition;
extern std::int64_t g_logActionCount;
extern int g_loggedStringCount;
extern int g_loggedStringCapacity;
extern std::int16_t g_callDepth;
extern std::int32_t g_callCodes[kCallStackDepth];
extern std::int32_t g_callPhases[kCallStackDepth];
extern std::int32_t g_glitchValues[kGlitchValueLimit];
extern std::int16_t g_glitchValueCount;
extern QString g_glitchMessage;
extern int g_glitchCount;
// Glitches past kGlitchReportLimit, counted but not written.
extern int g_unwrittenGlitchCount;
extern int g_firstGlitchCode;
extern int g_firstGlitchNumber;
extern int g_firstGlitchValueCount;
extern std::int32_t g_firstGlitchValues[kGlitchValueLimit];
extern QString g_firstGlitchValuesText;
extern QString g_firstGlitchMessage;
extern int g_lastGlitchNumber;
extern bool g_logFileOption;
extern bool g_loggingOn;
extern bool g_showGlitch;
extern std::int16_t g_logFolderOverride;
extern QString g_logFolderOverridePath;
extern QString g_logFolder;
extern QString g_logFilePath;
extern bool g_logFileStarted;
extern QString g_glitchFilePath;
extern bool g_glitchFileStarted;

// What the log needs from parts of the program built later. The defaults behave sensibly
// on their own (no settings, the XDG config and documents folders, no upload, nothing known
// of the machine, display or printers); later layers install the real ones at start-up and
// tests install fakes. A hook left empty answers as one that knows nothing (a setting write
// fails).
struct LogHooks {
  std::function<QString(const QString& key)> readMachineSetting;
  std::function<int(const QString& key, const QString& value)> writeMachineSetting;
  std::function<QString()> roamingDataFolder;
  std::function<QString()> myDocumentsFolder;
  std::function<void(std::int64_t totalActions)> sendGlitchReport;
  std::function<QString()> machineDescription;
  std::function<int()> displayColourMode;  // -1 not yet set
  std::function<int()> screenWidth;
  std::function<int()> screenHeight;
  std::function<int()> selectedPrinter;  // -1 when no printer is known
  std::function<QStringList()> knownPrinters;
};
LogHooks& GetLogHooks();

// Puts the log back as at program start (ring, strings, stack, glitch state, switches, files,
// hooks). For tests.
void ResetLogState();
