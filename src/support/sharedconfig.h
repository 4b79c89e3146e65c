#pragma once
// Shared configuration: what the manager of a school network sets up for everybody, kept in
// the manager's shared-settings folder (g_sharedSettingsFolder), which several machines may
// share:
// - the manager file "Zeph.cmf" (g_managerFileName), lines 'key=value' without a header:
//   "Samples" (folder of the sample drawings), "Start" (folder pupils start in, symbolic
//   names allowed), "SaveName" (where the user's name is kept) and "KeepOptions" ("Yes"/"No");
// - the maker-wide file "Corvelle.cmf" with one 'Printer=line,arc,hatch dot,colour,name'
//   line per known printer;
// - the user's name, kept where "SaveName" says: the registry value "Name" under the maker's
//   key, or the first line of a "Name.ini" in the user's roaming maker folder or documents.
// All these files are text files in encoding 0.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class CTextFileWriter;

// Values of g_saveNameMode.
inline constexpr int kSaveNameRegistry = 0;
inline constexpr int kSaveNameUserCorvDir = 1;  // the user's roaming maker folder
inline constexpr int kSaveNameMyDocuments = 2;
inline constexpr int kSaveNameNo = -1;  // the name is not kept

// A name read from storage is cut to this length.
inline constexpr int kUserNameLimit = 36;

// The manager file as last read: "Samples" and "Start" as stored (empty until read).
extern QString g_managerSamples;
extern QString g_managerStartFolder;
extern std::int16_t g_saveNameMode;  // initially 0 (registry)
extern std::int16_t g_keepOptions;   // 1: users may keep options of their own (initially 1)
// 1 when the user's name is kept between runs (found in storage, or the user asked for it).
extern std::int32_t g_userNameKept;

// ---- Manager file ----
// Reads the manager file of the manager's folder; a missing file leaves everything as it was.
void ReadManagerFile();
// Rewrites the manager file from the variables above. 1 on success; 0 when it could not be
// created or written completely (g_fileStatus tells why; the old file is then unchanged).
int WriteManagerFile();
// Copies the manager file into the manager's folder when it is missing there, from the shared
// data folder or else the program folder. 0 when nothing was needed or there was nothing to
// copy; otherwise the result of CopyFileKeepTime (0 when copied).
int EnsureManagerFile();
// Copies the sample drawings into the manager folder's "Samples" and makes that the samples
// folder (key "Samples" of the manager file and g_samplesFolder).
void CopySamplesToManagerFolder();

// ---- Maker-wide printer file ----
// One printer's line of the maker-wide file.
struct PrinterSettingsRow {
  QString name;
  int lineThickness = 1;
  int arcThickness = 1;
  int hatchDotSize = 1;
  int isColour = 0;
};
// The known-printer table that the printer lines feed, installed by printer set-up.
struct PrinterTableHooks {
  // Finds or adds the printer, gives it the row's values and marks it saved.
  std::function<void(const PrinterSettingsRow& row)> registerSavedPrinter;
  // The rows marked saved, in table order.
  std::function<std::vector<PrinterSettingsRow>()> savedPrinters;
};
PrinterTableHooks& GetPrinterTableHooks();

// The maker-wide file: in the maker's folder when the manager folder lies inside a folder
// "Corvelle Software", else in the manager folder.
void GetMakerSettingsPath(QString& path);
// 1 and the row for a 'Printer=...' line with four whole numbers and a name; 0 otherwise.
int ParsePrinterLine(const QString& line, PrinterSettingsRow& row);
// The 'Printer=...' line of a row.
QString FormatPrinterLine(const PrinterSettingsRow& row);
// Hands every good printer line of the maker-wide file to the known-printer table.
void ReadPrinterSettings();
// Rewrites the maker-wide file with one line per saved printer. 1 on success; 0 when it
// could not be written completely, or no printer table is installed (the file is then left).
int WritePrinterSettings();

// ---- The user's name ----
// Fills g_userName and g_userNameKept from the storage that g_saveNameMode names.
void ReadUserName();
// Stores g_userName there when g_userNameKept, otherwise removes the stored name; a failure
// makes the name count as not kept.
void SaveUserName();

// ---- Writing a whole text file safely ----
// Writes a text file in encoding 0 through a temporary file in the same folder, which then
// replaces the old file, so that a failure at any point leaves the old file as it was.
// write() puts the lines. 1 on success; 0 with g_fileStatus set (6 when the old file is
// read-only: it is not replaced).
int WriteTextFileReplacing(const QString& path, const std::function<void(CTextFileWriter&)>& write);
// Writes one line of such a file. A character that encoding 0 cannot hold would come back as
// '?', so such a line fails the whole file instead (status 10).
void WriteEncodableLine(CTextFileWriter& writer, const QString& line);

// Puts the variables above and the printer-table hooks back as at program start. For tests.
void ResetSharedConfigState();
