#pragma once
// The program-wide file status: file operations record what went wrong here and return 0;
// the caller that owns the user-visible operation shows the one message for it. While the
// status is non-zero every reading and writing operation of the text files does nothing.
#include <QString>
#include <cstdint>

// Values of g_fileStatus.
inline constexpr int kFileOk = 0;
inline constexpr int kFileEndedTooSoon = 1;
inline constexpr int kFileHardwareFault = 2;
inline constexpr int kFileNotFound = 3;
inline constexpr int kFileDiskFull = 4;
inline constexpr int kFileInUse = 5;
inline constexpr int kFileReadOnly = 6;
inline constexpr int kFileBackupReadOnly = 7;
inline constexpr int kFileWriteProtected = 8;
inline constexpr int kFileCannotCreate = 9;
inline constexpr int kFileCannotSave = 10;
inline constexpr int kFileNoMemory = 11;
inline constexpr int kFileIllegalValue = 12;
inline constexpr int kFileNotDrawing = 13;
inline constexpr int kFileIncompatible = 14;
inline constexpr int kFileCannotMoveToBackup = 15;

// 0 means no failure; see the values above. Cleared only by a successful Open of a text-file
// reader or writer, or by a caller that wants a clean start.
extern std::int32_t g_fileStatus;
// CR-ended lines the current text-file reader has delivered since its Open; names the
// offending line in the "illegal value" message.
extern std::int32_t g_fileLineNumber;

// String-table ids of the file-error messages.
inline constexpr int kIdsHardwareFault = 400;
inline constexpr int kIdsDiskFull = 401;
inline constexpr int kIdsWriteProtected = 402;
inline constexpr int kIdsFileNotFound = 403;
inline constexpr int kIdsNoMemory = 404;
inline constexpr int kIdsFileReadOnly = 407;
inline constexpr int kIdsBackupReadOnly = 408;
inline constexpr int kIdsFileInUse = 411;
inline constexpr int kIdsUnexpectedFileError = 412;
inline constexpr int kIdsCannotCreate = 419;
inline constexpr int kIdsCannotSave = 420;
inline constexpr int kIdsIllegalValue = 421;
inline constexpr int kIdsEndedTooSoon = 424;
inline constexpr int kIdsNotDrawing = 425;
inline constexpr int kIdsIncompatible = 426;
inline constexpr int kIdsCannotMoveToBackup = 428;

// The message id for a status value (412 for a value without a message of its own, 0 for 0).
int FileErrorMessageId(int status);
// The text of a file-error message id as it stands, placeholders unfilled; empty when unknown.
QString LoadFileErrorText(int id);
// The message for the current status with its placeholders filled; empty when the status is 0.
QString FileErrorMessage(const QString& path);

// The application's string table, registered at start-up; until then only the file-error
// texts above are known.
void SetStringTable(QString (*load)(int id));
// The text of a string-table id; empty when the table has none.
QString LoadStringText(int id);

// Shows the message of the current status for the path (exclamation icon, OK). Nothing when
// the status is 0; the status is not cleared.
void ShowFileError(const QString& path);

// Status-bar text: pane 0 of the main window. Installed by the application; until then, and
// in tests, the text is kept by a stand-in.
void ShowStatusMessage(int id, int updateNow);
void ShowStatusText(const QString& text, int updateNow);

class IStatusBar {
 public:
  virtual ~IStatusBar() = default;
  virtual void SetStatusText(const QString& text, bool updateNow) = 0;
};
// Registers the status bar (not owned); null restores the stand-in.
void SetStatusBar(IStatusBar* bar);
// What the stand-in was last given (for tests).
QString LastStatusText();

// Puts the file status, the line number, the string table and the status bar back as at program
// start.
void ResetFileStatus();
