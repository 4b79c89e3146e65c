// The usage log "ZP3use.csv": the bytes become the file and are read into the counts and times
// of the usage statistics. The counts must be a status or a count, never negative otherwise,
// and a start row written afterwards must be appended without losing what was there.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/datafolders.h"
#include "support/usagelog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  ResetDataFolders();
  if (GetSharedDataFolder(1) == 0) return 0;
  const QString path = g_sharedDataFolder + QStringLiteral("/ZP3use.csv");
  if (!fuzz::WriteInput(path, data, size)) return 0;

  CProglog log;
  log.Read();
  fuzz::Check(log.runs >= -4);
  fuzz::Check(log.crashes >= 0 && log.errors >= 0);
  if (log.runs >= 0) {
    fuzz::Check(log.runs + log.crashes + log.errors <= std::int32_t(size));
  }
  fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  ResetFileStatus();

  LogProgramStart();
  QFile file(path);
  fuzz::Check(file.open(QIODevice::ReadOnly));
  fuzz::Check(file.readAll().startsWith(fuzz::Bytes(data, size)));
  ResetUsageLogState();
  ResetFileStatus();
  return 0;
}
