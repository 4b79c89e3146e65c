// Loads arbitrary bytes as a main dictionary and looks words up in it; nothing may crash, hang
// or read outside the tables. The first byte gives the length (up to 63) of a text of words
// that follows it and is looked up besides a fixed text; the rest is the dictionary. A whole
// file is taken as it is. Shorter inputs are spread over
// the file's layout so that the search reaches the blocks quickly: the three sizes, prefix
// values for a few prefixes, then tables A and B, block C and the word data, with the rest of
// the prefix table and the mask table zero.
#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "spell/spell.h"
#include "fuzzcommon.h"

namespace {

constexpr int kPrefixes[] = {
    ('C' - 'A') * 676 + ('A' - 'A') * 26 + ('T' - 'A'),
    ('H' - 'A') * 676 + ('O' - 'A') * 26 + ('U' - 'A'),
    ('C' - 'A') * 676 + ('R' - 'A') * 26 + ('E' - 'A'),
    ('D' - 'A') * 676 + ('O' - 'A') * 26 + ('N' - 'A'),
};

QByteArray SpreadOverTheLayout(const std::uint8_t* data, std::size_t size) {
  QByteArray file(kDictHeaderSize, '\0');
  std::size_t at = 0;
  auto take = [&](std::size_t n) {
    const std::size_t count = at < size ? std::min(n, size - at) : 0;
    file.append(reinterpret_cast<const char*>(data + at), qsizetype(count));
    at += count;
  };
  take(6);  // sizes of tables A and B and of block C
  QByteArray prefixes(2 * kPrefixCount, '\0');
  for (int prefix : kPrefixes) {
    if (at + 2 > size) break;
    prefixes[2 * prefix] = char(data[at]);
    prefixes[2 * prefix + 1] = char(data[at + 1]);
    at += 2;
  }
  file.append(prefixes);
  const std::uint8_t* sizes = data;
  const std::size_t a = size >= 2 ? sizes[0] | (sizes[1] << 8) : 0;
  const std::size_t b = size >= 4 ? sizes[2] | (sizes[3] << 8) : 0;
  take(a);
  take(b);
  file.append(QByteArray(4 * kMaskCount, '\0'));
  take(size > at ? size - at : 0);  // block C and the word data
  return file;
}

void LookUp(CSpell& checker, const QString& text, bool suggest) {
  checker.SetWorkingText(text);
  while (checker.NextWord()) {
    if (!checker.IsKnownWord() && suggest) checker.FindSuggestions();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t length = std::min<std::size_t>(data[0] % 64, size - 1);
  const QString words = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), qsizetype(length));
  data += 1 + length;
  size -= 1 + length;

  QByteArray bytes;
  if (size >= std::size_t(kFixedTablesSize)) {
    bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
  } else {
    bytes = SpreadOverTheLayout(data, size);
  }
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  CSpell checker;
  if (checker.ReadMainDictionary(buffer) != kDictionaryLoaded) return 0;
  LookUp(checker, QStringLiteral("cat cattle cats houses house don't ab abc ice-cream donkey"), false);
  LookUp(checker, QStringLiteral("cattl Houss dont"), true);
  LookUp(checker, words, true);
  return 0;
}
