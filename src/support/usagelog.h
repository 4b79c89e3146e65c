#pragma once
// The usage log: a small comma-separated file "ZP3use.csv" in the shared data folder that gets
// one row at every start and one at every normal exit of the program, so that the program can
// tell how often it was used, how long the runs were and how many runs ended without an exit
// row (crashes). CProglog reads it back into a few counts and times for the option sheets and
// the error-report upload.
//
// The file: the header line "Time,Date,Action,Version,User", then rows such as
//   9:05.07,8 December 2026,1,336,"jo"
// (action 1 a start, 0 a stop; the login name quoted, inner quotes doubled), CR LF line ends,
// one byte per character in Windows-1252 ('?' for a character it cannot hold), as it is read.
//
// Decisions for this platform:
// - When the shared data folder cannot be had, the file goes into the folder "Corvelle" in the
//   home folder. Folders have no hidden or system attributes here.
// - An existing file is only ever appended to: when it cannot be opened for appending, the row
//   is lost rather than the file replaced by a new one.
#include <QFile>
#include <QString>
#include <cstdint>

#include "support/textoutput.h"
#include "support/timevalue.h"

inline constexpr const char16_t* g_usageLogName = u"ZP3use.csv";
inline constexpr const char16_t* kUsageLogHeader = u"Time,Date,Action,Version,User";

// The usage file while a row is written: bytes in Windows-1252, "\n" written as CR LF. One
// object serves the whole program; it is closed after each row.
class CUsageLogFile final : public ITextOutput {
 public:
  CUsageLogFile();
  ~CUsageLogFile() override;
  CUsageLogFile(const CUsageLogFile&) = delete;
  CUsageLogFile& operator=(const CUsageLogFile&) = delete;

  // Opens path for appending; with create, only a file that does not exist yet is made.
  bool Open(const QString& path, bool create);
  bool IsOpen() const { return m_file.isOpen(); }
  void WriteString(const QString& text) override;
  void Close();

 private:
  QFile m_file;
};

// The usage file open for appending (made with its header line when missing), or null.
CUsageLogFile* OpenUsageLog();
// The start row, at the program's start time g_startTime. Called by the application at start.
void LogProgramStart();
// The stop row, at the current time. Called by the main frame as the last step of closing.
void LogProgramStop();

// The login name of the user running the program (at most 256 characters); empty when it
// cannot be had.
QString GetLoginName();
// Replaces the platform's login name, for tests; null puts the platform's back.
void SetLoginNameSource(QString (*source)());

class CProglog {
 public:
  CProglog();
  virtual ~CProglog();

  // Fills the fields from the usage file.
  void Read();

  CTime GetLastRunStart() const { return lastRunStart; }
  CTime GetLastRunStop() const { return lastRunStop; }
  CTime GetLastCrashTime() const { return lastCrash; }
  CTime GetLastErrorRowTime() const { return lastError; }

  // Complete runs (a start row and its stop row), or the status: -1 not read yet, -2 the file
  // cannot be opened, -3 its first line cannot be read, -4 the first line is not the header.
  std::int32_t runs = -1;
  // Start rows followed by another start row instead of a stop row.
  std::int32_t crashes = 0;
  // Stop rows that follow no start row.
  std::int32_t errors = 0;

  CTime firstRunStart;
  CTime firstRunStop;
  CTime lastRunStart;
  CTime lastRunStop;
  CTime longestRunStart;  // the earliest of equally long runs
  CTime longestRunStop;
  CTime lastCrash;  // the start of the most recent run without a stop row
  CTime lastError;  // the most recent stop row without a start row
};

// Closes the usage file and puts the login name back to the platform's. For tests.
void ResetUsageLogState();
