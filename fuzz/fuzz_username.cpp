// The user's name file "Name.ini", kept in the roaming maker folder or the documents folder:
// the bytes are read as it, the name must be cut to its limit and hold no line end, and a
// name read is saved and read back unchanged.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/settings.h"
#include "support/sharedconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const std::int16_t mode = (data[0] & 1) != 0 ? kSaveNameUserCorvDir : kSaveNameMyDocuments;
  ++data;
  --size;
  ResetDataFolders();
  ResetSharedConfigState();
  g_userName.clear();
  g_saveNameMode = mode;
  QString folder;
  if (mode == kSaveNameUserCorvDir) {
    if (GetRoamingDataFolder() == 0) return 0;
    folder = g_roamingMakerFolder;
  } else if (GetMyDocumentsFolder(folder) == 0) {
    return 0;
  }
  if (!fuzz::WriteInput(folder + QStringLiteral("/Name.ini"), data, size)) return 0;

  ReadUserName();
  fuzz::Check(g_fileStatus == kFileOk);
  fuzz::Check(g_userNameKept == 0 || g_userNameKept == 1);
  fuzz::Check(g_userName.size() <= kUserNameLimit);
  fuzz::Check(!g_userName.contains(u'\r') && !g_userName.contains(u'\n'));
  if (g_userNameKept == 1) {
    const QString name = g_userName;
    SaveUserName();
    if (g_userNameKept == 1) {
      g_userName.clear();
      ReadUserName();
      fuzz::Check(g_userName == name);
    }
  }
  ResetFileStatus();
  ResetSharedConfigState();
  return 0;
}
