#pragma once
// What every fuzz target shares: a home of its own under the build folder (HOME, the XDG
// folders and TMPDIR, so the registry store, the settings and any glitch report stay there),
// the input written to a file for the readers that take a path, and the checks that abort
// the run when a promise is broken.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "support/appservices.h"
#include "support/filestatus.h"
#include "support/log.h"

#ifndef ZEPH_FUZZ_HOME
#error "ZEPH_FUZZ_HOME names the target's own home folder (set by fuzz/CMakeLists.txt)"
#endif

namespace fuzz {

// A broken promise stops the run with a crash libFuzzer records.
inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// One of the defined file status codes.
inline bool IsFileStatus(int status) {
  return status >= kFileOk && status <= kFileCannotMoveToBackup;
}

inline QString Home() { return QStringLiteral(ZEPH_FUZZ_HOME); }

// Writes the bytes to path (its folder made first); false when that fails.
inline bool WriteInput(const QString& path, const std::uint8_t* data, std::size_t size) {
  QDir().mkpath(path.left(path.lastIndexOf(u'/')));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Points every folder the program reads or writes into the target's own home, before Qt or
// the program asks for any of them.
inline void Isolate() {
  const QString home = Home();
  const auto set = [&](const char* name, const QString& relative) {
    const QString path = relative.isEmpty() ? home : home + u'/' + relative;
    QDir().mkpath(path);
    qputenv(name, QFile::encodeName(path));
  };
  set("HOME", QString());
  set("XDG_CONFIG_HOME", QStringLiteral(".config"));
  set("XDG_DATA_HOME", QStringLiteral(".local/share"));
  set("XDG_CACHE_HOME", QStringLiteral(".cache"));
  set("XDG_STATE_HOME", QStringLiteral(".local/state"));
  set("XDG_DATA_DIRS", QStringLiteral("share"));
  set("XDG_CONFIG_DIRS", QStringLiteral("etc"));
  set("XDG_DOCUMENTS_DIR", QStringLiteral("Documents"));
  set("TMPDIR", QStringLiteral("tmp"));
  set("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
  QFile::setPermissions(home + QStringLiteral("/runtime"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("TZ", "UTC");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The names the application gives its files at start-up.
  g_programFolder = home + QStringLiteral("/program");
  g_managerFileName = QStringLiteral("Zeph.cmf");
  g_optionsFileName = QStringLiteral("Zeph.ini");
  g_optionsFileHeader = QStringLiteral("[Zephorin]");
  g_settingsHeader = QStringLiteral("[Zephorin]");
  g_machineSettingsName = QStringLiteral("Zeph.lmf");
  g_userSettingsName = QStringLiteral("Zeph.luf");
  // Glitch reports go to the target's home, never the user's.
  g_logFolder = home + QStringLiteral("/logs");
  QDir().mkpath(g_logFolder);
}

}  // namespace fuzz

// libFuzzer calls this once before the first input; the replay driver does too.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Isolate();
  return 0;
}
