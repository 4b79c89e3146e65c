// Word lookup and suggestions on the main dictionary built from the system's word list. The
// dictionary is taken from $ZEPH_DICTIONARY, else from resources/ZDICT.SPE under the current
// folder (the build folder).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

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

}  // namespace
