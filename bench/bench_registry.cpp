// Reading one value from a registry store of 12 MB of junk: sections and values of random
// names and texts. The store file was last changed a while ago, as a store usually was.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <ctime>
#include <random>
#include <thread>

#include "support/registry.h"

namespace {

void BM_ReadValueFromAJunkStore(benchmark::State& state) {
  QTemporaryDir home;
  if (!home.isValid()) {
    state.SkipWithError("no folder");
    return;
  }
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
  const QString path = GetRegistryStorePath(RegistryRoot::kCurrentUser);
  QDir().mkpath(QFileInfo(path).absolutePath());
  std::mt19937 random(1);
  const auto word = [&](int length) {
    QByteArray text;
    for (int i = 0; i < length; ++i) text += char('a' + random() % 26);
    return text;
  };
  QByteArray text = "[SOFTWARE\\Corvelle Software]\nName=sz:kept\n";
  while (text.size() < 12 << 20) {
    text += "[SOFTWARE\\" + word(8) + "\\" + word(12) + "]\n";
    for (int i = 0; i < 20; ++i) text += word(10) + "=sz:" + word(int(random() % 60)) + "\n";
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
    state.SkipWithError("no store");
    return;
  }
  file.close();
  const struct timespec when = {std::time(nullptr) - 3600, 0};
  const struct timespec times[2] = {when, when};
  ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
  // The file's change time is now: a store is taken as settled only seconds after it changed.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  const auto read = [] {
    RegistryKey key;
    QString value;
    OpenRegistryPathForRead(RegistryKey::CurrentUser(),
                            {QStringLiteral("SOFTWARE"), QStringLiteral("Corvelle Software")}, key,
                            false);
    ReadRegistryString(key, QStringLiteral("Name"), value, false);
    return value;
  };
  if (state.range(0) != 0) read();  // the first access after the change, outside the timing

  for (auto _ : state) benchmark::DoNotOptimize(read());
}
// Argument 0: every access timed; 1: the accesses after the first.
BENCHMARK(BM_ReadValueFromAJunkStore)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace
