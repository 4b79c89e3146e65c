// Word lookup and suggestions on the main dictionary built from the system's word list. The
// dictionary is taken from $ZEPH_DICTIONARY, else from resources/ZDICT.SPE under the current
// folder (the build folder).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "spell/spell.h"

namespace {

CSpell* Checker() {
  static std::unique_ptr<CSpell> checker = [] {
    QString path = qEnvironmentVariable("ZEPH_DICTIONARY");
    if (path.isEmpty()) path = QStringLiteral("resources/ZDICT.SPE");
    auto c = std::make_unique<CSpell>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || c->ReadMainDictionary(file) != kDictionaryLoaded)
      c.reset();
    return c;
  }();
  return checker.get();
}

const QString kText = QStringLiteral(
    "The children drew a house with a garden, two trees and a winding path; the teacher's "
    "drawing showed the school's hall, its windows, doors and the clock above the entrance.");

void BM_CheckText(benchmark::State& state) {
  CSpell* checker = Checker();
  if (checker == nullptr) {
    state.SkipWithError("no dictionary");
    return;
  }
  for (auto _ : state) {
    checker->SetWorkingText(kText);
    int known = 0;
    while (checker->NextWord()) known += checker->IsKnownWord();
    benchmark::DoNotOptimize(known);
  }
}
BENCHMARK(BM_CheckText);

void BM_FindSuggestions(benchmark::State& state) {
  CSpell* checker = Checker();
  if (checker == nullptr) {
    state.SkipWithError("no dictionary");
    return;
  }
  const QStringList typed = {"teh", "recieve", "seperate", "accomodation", "wich", "happyness"};
  for (auto _ : state) {
    for (const QString& word : typed) {
      checker->SetWorkingText(word);
      checker->NextWord();
      checker->FindSuggestions();
      benchmark::DoNotOptimize(checker->GetSuggestionCount());
    }
  }
}
BENCHMARK(BM_FindSuggestions);

// A user's word list of 50 MB that is no word list: random bytes in lines of about 40 (the
// list fills up within its first lines), or lines without a letter (every line is read).
void BM_LoadUserDictionaryJunk(benchmark::State& state) {
  const bool letters = state.range(0) != 0;
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("USERDICT.SCF")));
  if (!dir.isValid() || !file.open(QIODevice::WriteOnly)) {
    state.SkipWithError("no folder");
    return;
  }
  std::mt19937 random(1);
  QByteArray bytes(50 << 20, '\0');
  for (char& c : bytes) {
    c = letters ? char(random() & 0xFF) : char('0' + random() % 10);
    if (random() % 40 == 0) c = '\n';
  }
  file.write(bytes);
  file.close();
  for (auto _ : state) {
    CSpell checker;
    checker.LoadUserDictionary(dir.path());
    benchmark::DoNotOptimize(checker.GetUserList()->GetUsed());
  }
}
BENCHMARK(BM_LoadUserDictionaryJunk)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
