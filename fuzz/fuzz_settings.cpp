// The machine and user settings files: the bytes become one of them, every key is read, the
// start-up options are taken from it, and then one key is rewritten. A rewrite that succeeds
// must read back as written and end the file with its line.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/datafolders.h"
#include "support/settings.h"

namespace {

const char* const kKeys[] = {"LogFile", "ShowGlitch", "GlitchReport", "CmfIni", "WindowPosition",
                             "Log File", "glitchreport", ""};
const char* const kValues[] = {"Yes", "No", " no ", "12,40,800,600", "", "a=b"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const bool machine = (data[0] & 1) != 0;
  const QString key = QString::fromLatin1(kKeys[(data[0] >> 1) % std::size(kKeys)]);
  const QString value = QString::fromLatin1(kValues[(data[0] >> 4) % std::size(kValues)]);
  ++data;
  --size;
  ResetSettingsState();
  ResetDataFolders();
  if (GetSharedDataFolder(1) == 0 || GetLocalDataFolder() == 0) return 0;
  const QString path = machine ? g_sharedDataFolder + QStringLiteral("/Zeph.lmf")
                               : g_localDataFolder + QStringLiteral("/Zeph.luf");
  QFile::remove(g_sharedDataFolder + QStringLiteral("/Zeph.lmf"));
  QFile::remove(g_localDataFolder + QStringLiteral("/Zeph.luf"));
  if (!fuzz::WriteInput(path, data, size)) return 0;

  for (const char* name : kKeys) {
    QString read = QStringLiteral("unchanged");
    const QString k = QString::fromLatin1(name);
    const int found = machine ? ReadMachineSetting(k, read) : ReadUserSetting(k, read);
    fuzz::Check(found == 1 || read == QStringLiteral("unchanged"));
  }
  ReadGlitchReportOption();
  fuzz::Check(g_glitchReportOff == 0 || g_glitchReportOff == 1);
  ResolveManagerFolder();
  fuzz::Check(!g_sharedSettingsFolder.isEmpty());
  ResetFileStatus();

  const int written = WriteSettingsKey(path, QStringLiteral("[Zephorin]"), key, value);
  if (written == 1 && !key.isEmpty()) {
    QString read;
    const int found = machine ? ReadMachineSetting(key, read) : ReadUserSetting(key, read);
    fuzz::Check(found == 1 && read == value);
    QFile file(path);
    fuzz::Check(file.open(QIODevice::ReadOnly));
    fuzz::Check(file.readAll().endsWith((key + u'=' + value).toLatin1() + "\r\n"));
  }
  ResetFileStatus();
  return 0;
}
