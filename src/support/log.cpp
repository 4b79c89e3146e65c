// Interim: the full activity log replaces this file.
#include "support/log.h"

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

void LogAction(int, int, int) { ++g_logActionCount; }
void LogNumber(int n) { LogAction(0, n, 0); }
void LogString(const QString&) {}
void LogTime(CTime) {}
void SetGlitchValue(int v) {
  if (g_glitchValueCount < kGlitchValueLimit) g_glitchValues[g_glitchValueCount++] = v;
}
void SetGlitchMessage(const QString& text) { g_glitchMessage = text; }
void ReportGlitch(int code, int n) {
  if (++g_glitchCount == 1) {
    g_firstGlitchCode = code;
    g_firstGlitchNumber = n;
  }
  g_lastGlitchNumber = n;
  g_glitchValueCount = 0;
  g_glitchMessage.clear();
}
void ReadLogOptions() {}
int SetLogFileOption(bool) { return 0; }
int SaveShowGlitchOption() { return 0; }
void FreeLogResources() {}
LogHooks& GetLogHooks() {
  static LogHooks hooks;
  return hooks;
}
void ResetLogState() {
  g_logActionCount = 0;
  g_glitchCount = 0;
  g_firstGlitchCode = -1;
  g_firstGlitchNumber = -1;
  g_glitchValueCount = 0;
  g_glitchMessage.clear();
}
