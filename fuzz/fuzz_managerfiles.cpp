// The manager's files: the bytes become the manager file "Zeph.cmf" and the maker-wide
// printer file, both read as at start-up. The manager's choices must be ones the program
// knows; every printer line taken must format back to a line that parses to the same row.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzzcommon.h"
#include "support/datafolders.h"
#include "support/settings.h"
#include "support/sharedconfig.h"
#include "support/textfile.h"

namespace {

bool SameRow(const PrinterSettingsRow& a, const PrinterSettingsRow& b) {
  return a.name == b.name && a.lineThickness == b.lineThickness &&
         a.arcThickness == b.arcThickness && a.hatchDotSize == b.hatchDotSize &&
         a.isColour == b.isColour;
}

void CheckRow(const PrinterSettingsRow& row) {
  PrinterSettingsRow again;
  fuzz::Check(ParsePrinterLine(FormatPrinterLine(row), again) == 1);
  fuzz::Check(SameRow(row, again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  ResetDataFolders();
  ResetSettingsState();
  ResetSharedConfigState();
  if (GetSharedDataFolder(1) == 0) return 0;
  g_sharedSettingsFolder = g_sharedDataFolder;
  QString printerFile;
  GetMakerSettingsPath(printerFile);
  if (!fuzz::WriteInput(g_sharedSettingsFolder + QStringLiteral("/Zeph.cmf"), data, size)) return 0;
  if (!fuzz::WriteInput(printerFile, data, size)) return 0;

  ReadManagerFile();
  fuzz::Check(g_fileStatus == kFileOk);
  fuzz::Check(g_saveNameMode >= kSaveNameNo && g_saveNameMode <= kSaveNameMyDocuments);
  fuzz::Check(g_keepOptions == 0 || g_keepOptions == 1);

  int rows = 0;
  GetPrinterTableHooks().registerSavedPrinter = [&rows](const PrinterSettingsRow& row) {
    ++rows;
    CheckRow(row);
  };
  ReadPrinterSettings();
  fuzz::Check(g_fileStatus == kFileOk);

  // Line by line as well, the way the file is split.
  int parsed = 0;
  {
    CTextFileReader reader;
    reader.SetOemEncoding();
    if (reader.Open(printerFile) == 1) {
      QString line;
      while (reader.ReadLine(line) == 1 && g_fileStatus == kFileOk) {
        PrinterSettingsRow row;
        if (ParsePrinterLine(line, row) == 1) {
          ++parsed;
          CheckRow(row);
        }
      }
    }
  }
  fuzz::Check(parsed == rows);
  ResetFileStatus();
  ResetSharedConfigState();
  return 0;
}
