// The registry store: the bytes become the current user's store file. Every key is walked and
// every value read with both readers; then a value is written under a key that may already be
// there, must read back as written, and the keys read before must still be found.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/registry.h"

namespace {

int g_visited = 0;

void Walk(const RegistryKey& key, int depth) {
  if (depth > 8 || ++g_visited > 200) return;
  for (int i = 0; i < 64; ++i) {
    QString name;
    QString text;
    if (EnumRegistryValue(key, i, name, text) == 0) break;
    fuzz::Check(name.size() <= 512 && text.size() <= 2047);
    QString read;
    if (ReadRegistryString(key, name, read, true) == 1) fuzz::Check(read.size() <= 2047);
    std::uint32_t dword = 0;
    ReadRegistryDword(key, name, &dword);
  }
  for (int i = 0; i < 64; ++i) {
    QString name;
    if (EnumRegistryKey(key, i, name, nullptr) == 0) break;
    fuzz::Check(name.size() <= 2048);
    RegistryKey child;
    if (OpenRegistryPathForRead(key, {name}, child, false) == 1) Walk(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const QString value = QStringLiteral("Jo \\ = %HOME% \r\n") + QString::number(data[0]);
  const QString path = GetRegistryStorePath(RegistryRoot::kCurrentUser);
  if (!fuzz::WriteInput(path, data + 1, size - 1)) return 0;

  g_visited = 0;
  Walk(RegistryKey::CurrentUser(), 0);

  RegistryKey key;
  const QStringList names{QStringLiteral("SOFTWARE"), QStringLiteral("Corvelle Software")};
  if (OpenRegistryPath(RegistryKey::CurrentUser(), names, key, true, false) == 2 &&
      WriteRegistryString(key, QStringLiteral("Name"), value) == 1) {
    QString read;
    fuzz::Check(ReadRegistryString(key, QStringLiteral("Name"), read, false) == 1);
    fuzz::Check(read == value);
    RegistryKey again;
    fuzz::Check(OpenRegistryPathForRead(RegistryKey::CurrentUser(), names, again, false) == 1);
  }
  return 0;
}
