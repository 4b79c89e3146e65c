#pragma once
// Dictionaries built in memory for the spell checker's tests.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

#include "dictwriter.h"
#include "spell/spell.h"
#include "support/log.h"

namespace spelltest {

inline int LoadBytes(CSpell& checker, const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  return checker.ReadMainDictionary(buffer);
}

inline QByteArray BuildBytes(const QStringList& words) {
  DictionaryImage image;
  DictionaryBuildStats stats;
  QString error;
  if (!BuildDictionaryImage(words, image, stats, error)) return QByteArray();
  return SerialiseDictionary(image);
}

// A checker whose main dictionary holds exactly these words (upper case).
inline std::unique_ptr<CSpell> MakeChecker(const QStringList& words) {
  auto checker = std::make_unique<CSpell>();
  const QByteArray bytes = BuildBytes(words);
  if (bytes.isEmpty() || LoadBytes(*checker, bytes) != kDictionaryLoaded) return nullptr;
  return checker;
}

inline std::unique_ptr<CSpell> MakeChecker(const DictionaryImage& image) {
  auto checker = std::make_unique<CSpell>();
  if (LoadBytes(*checker, SerialiseDictionary(image)) != kDictionaryLoaded) return nullptr;
  return checker;
}

// Whether the checker knows the first word of the text, as a spell check would ask.
inline bool Knows(CSpell& checker, const QString& text) {
  checker.SetWorkingText(text);
  return checker.NextWord() == 1 && checker.IsKnownWord() == 1;
}

// Makes the first word of the text the checker's current word.
inline bool TakeWord(CSpell& checker, const QString& text) {
  checker.SetWorkingText(text);
  return checker.NextWord() == 1;
}

inline QString FullDictionaryPath() { return QStringLiteral(ZEPH_TEST_DICTIONARY); }

}  // namespace spelltest
