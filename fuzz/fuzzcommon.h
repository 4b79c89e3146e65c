#pragma once
// What every fuzz target shares: a home of its own for each process under the build folder
// (HOME, the XDG folders and TMPDIR, so the registry store, the settings and any glitch report
// stay there, and parallel runs of one target, -jobs or -fork, never meet), removed when the
// process ends; the input written to a file for the readers that take a path; and the checks
// that abort the run when a promise is broken.
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/appservices.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/safesave.h"

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

// The target's folder of homes, one per running process: under $ZEPH_FUZZ_HOMES when that is
// set (fuzz/run.sh puts them in memory, /dev/shm, when it has room: a disk would write out,
// and discard, the files every input makes and removes), else under the build folder.
inline QString HomesFolder() {
  const QString build = QStringLiteral(ZEPH_FUZZ_HOME);
  const QString homes = qEnvironmentVariable("ZEPH_FUZZ_HOMES");
  if (homes.isEmpty()) return build;
  return homes + build.mid(build.lastIndexOf(u'/'));
}

inline QString Home() {
  static const QString home = HomesFolder() + u'/' + QString::number(::getpid());
  return home;
}

// The bytes below folder (files only, links not followed).
inline qint64 FolderBytes(const QString& folder) {
  qint64 total = 0;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    total += it.fileInfo().size();
  }
  return total;
}

// At exit: a home grown past the limit fuzz/run.sh sets (ZEPH_FUZZ_HOME_LIMIT_MB, 256 by
// default) fails the process, as an input that writes without bound must; then the home goes.
inline void RemoveHome() {
  const QString home = Home();
  const qint64 limit = qEnvironmentVariableIsSet("ZEPH_FUZZ_HOME_LIMIT_MB")
                           ? qEnvironmentVariableIntValue("ZEPH_FUZZ_HOME_LIMIT_MB")
                           : 256;
  const qint64 grown = FolderBytes(home) >> 20;
  QDir(home).removeRecursively();
  if (grown > limit) {
    std::fprintf(stderr, "fuzz: the home folder grew to %lld MB\n", static_cast<long long>(grown));
    std::_Exit(1);
  }
}

// Writes the bytes to path (its folder made first); false when that fails.
inline bool WriteInput(const QString& path, const std::uint8_t* data, std::size_t size) {
  const QByteArray native = QFile::encodeName(path);
  int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  }
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t written = ::write(fd, data + done, size - done);
    if (written <= 0) break;
    done += std::size_t(written);
  }
  ::close(fd);
  return done == size;
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
  std::atexit(RemoveHome);
  // Saves run for every input and no file needs to last: no waiting for the disk.
  SetSyncToDisk(false);
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
