#include "dictwriter.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_set>

#include "spell/spell.h"

namespace {

// A block of three-letter prefix words larger than this is split by the fourth letter, so no
// lookup walks far.
constexpr std::size_t kSplitBlockBytes = 384;

void PutLe16(QByteArray& out, int v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}

// The entries of one block: its stems in order, each followed by the words that a suffix
// code makes of it. A word made by a suffix must sort after its stem, which holds for every
// appended suffix and for a replacing suffix whose first letter sorts after the stem's last.
std::vector<std::uint8_t> EncodeBlock(const std::vector<std::string>& stems,
                                      DictionaryBuildStats& stats) {
  std::vector<std::uint8_t> out;
  std::unordered_set<std::string> remaining(stems.begin(), stems.end());
  for (const std::string& stem : stems) {
    if (remaining.erase(stem) == 0) continue;
    const std::vector<std::uint8_t> plain = EncodeStem(stem.c_str());
    out.insert(out.end(), plain.begin(), plain.end());
    ++stats.plainEntries;
    for (int i = 0; i < kAppendedSuffixCount; ++i) {
      if (remaining.erase(stem + kAppendedSuffixes[i]) == 0) continue;
      out.push_back(std::uint8_t(kAppendedFirst + i));
      ++stats.suffixEntries;
    }
    for (int i = 0; i < kReplacingSuffixCount; ++i) {
      const char* suffix = kReplacingSuffixes[i];
      if (suffix[0] <= stem.back()) continue;
      if (remaining.erase(stem.substr(0, stem.size() - 1) + suffix) == 0) continue;
      out.push_back(std::uint8_t(kReplacingFirst + i));
      ++stats.suffixEntries;
    }
  }
  return out;
}

bool IsPlainLetters(const QString& word) {
  for (QChar c : word) {
    if (c < u'A' || c > u'Z') return false;
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeStem(const char* stem) {
  std::vector<std::uint8_t> out;
  for (const char* p = stem; *p != 0; ++p) {
    const bool last = p[1] == 0;
    out.push_back(std::uint8_t((last ? kLastLetterFirst : kLetterFirst) + (*p - 'A')));
  }
  return out;
}

QByteArray SerialiseDictionary(const DictionaryImage& image) {
  const std::size_t sizeA = image.tableA.size() * kTableARowBytes;
  const std::size_t sizeB = image.blockOffsets.size() * kTableBEntryBytes;
  const std::size_t sizeC = image.apostropheBlock.size();
  if (sizeA > 0xFFFF || sizeB > 0xFFFF || sizeC > 0xFFFF) return QByteArray();
  if (image.prefixTable.size() != std::size_t(kPrefixCount) ||
      image.masks.size() != std::size_t(kMaskCount))
    return QByteArray();
  const std::int64_t dataStart = kFixedTablesSize + std::int64_t(sizeA + sizeB + sizeC);

  QByteArray out;
  out.append(reinterpret_cast<const char*>(image.header.data()), kDictHeaderSize);
  PutLe16(out, int(sizeA));
  PutLe16(out, int(sizeB));
  PutLe16(out, int(sizeC));
  for (std::uint16_t v : image.prefixTable) PutLe16(out, v);
  for (const DictionaryImage::Row& row : image.tableA) {
    PutLe16(out, row.base);
    out.append(reinterpret_cast<const char*>(row.entries.data()), 26);
  }
  for (std::int32_t offset : image.blockOffsets) {
    const std::int64_t at = dataStart + offset;
    if (at < 0 || at > 0xFFFFFF) return QByteArray();
    out.append(char(at & 0xFF));
    out.append(char((at >> 8) & 0xFF));
    out.append(char((at >> 16) & 0xFF));
  }
  for (std::uint32_t m : image.masks) {
    PutLe16(out, int(m & 0xFFFF));
    PutLe16(out, int(m >> 16));
  }
  out.append(reinterpret_cast<const char*>(image.apostropheBlock.data()), qsizetype(sizeC));
  out.append(reinterpret_cast<const char*>(image.wordData.data()),
             qsizetype(image.wordData.size()));
  return out;
}

bool BuildDictionaryImage(const QStringList& words, DictionaryImage& image,
                          DictionaryBuildStats& stats, QString& error) {
  image = DictionaryImage();
  stats = DictionaryBuildStats();
  std::set<std::string> apostropheWords;
  std::map<int, std::vector<std::string>> groups;  // stems by three-letter prefix
  std::set<std::string> seen;

  for (const QString& word : words) {
    if (word.isEmpty() || word.size() > kMaxWordLength) {
      error = QStringLiteral("word of unusable length: ") + word;
      return false;
    }
    const std::string w = word.toStdString();
    if (!seen.insert(w).second) continue;
    if (w.size() == 1) continue;  // a single letter is always known
    if (w.find_first_of("'-") != std::string::npos) {
      for (char c : w) {
        if (c != '\'' && c != '-' && (c < 'A' || c > 'Z')) {
          error = QStringLiteral("unusable character in ") + word;
          return false;
        }
      }
      apostropheWords.insert(w);
      continue;
    }
    if (!IsPlainLetters(word)) {
      error = QStringLiteral("unusable character in ") + word;
      return false;
    }
    if (w.size() <= 3) {
      std::uint32_t& mask = image.masks[(w[0] - 'A') * 26 + (w[1] - 'A')];
      mask |= w.size() == 2 ? kTwoLetterWordBit : std::uint32_t(1) << (w[2] - 'A');
      ++stats.maskWords;
      continue;
    }
    groups[PrefixIndex(w[0], w[1], w[2])].push_back(w.substr(3));
    ++stats.longWords;
  }

  for (const std::string& w : apostropheWords) {
    image.apostropheBlock.push_back(std::uint8_t(w[0]));
    for (std::size_t i = 1; i < w.size(); ++i) {
      const bool last = i + 1 == w.size();
      image.apostropheBlock.push_back(std::uint8_t(w[i] | (last ? 0x80 : 0)));
    }
    ++stats.apostropheWords;
  }

  // Each prefix gets one block, or, when that is large, a row of table A with one block per
  // fourth letter. Entry 0 stays empty: a row entry of 0 would mean "no word".
  std::vector<std::pair<int, std::vector<std::uint8_t>>> directPrefixes;
  struct SplitPrefix {
    int prefix;
    std::array<std::vector<std::uint8_t>, 26> blocks;
    std::array<bool, 26> used{};
  };
  std::vector<SplitPrefix> split;
  for (auto& [prefix, stems] : groups) {
    std::sort(stems.begin(), stems.end());
    DictionaryBuildStats trial;
    std::vector<std::uint8_t> whole = EncodeBlock(stems, trial);
    if (whole.size() <= kSplitBlockBytes) {
      stats.plainEntries += trial.plainEntries;
      stats.suffixEntries += trial.suffixEntries;
      directPrefixes.emplace_back(prefix, std::move(whole));
      continue;
    }
    SplitPrefix s;
    s.prefix = prefix;
    for (int letter = 0; letter < 26; ++letter) {
      std::vector<std::string> part;
      for (const std::string& stem : stems) {
        if (stem[0] == 'A' + letter) part.push_back(stem);
      }
      if (part.empty()) continue;
      s.blocks[letter] = EncodeBlock(part, stats);
      s.used[letter] = true;
    }
    split.push_back(std::move(s));
  }

  const int directLimit = kPrefixRowBase - 2;  // entries 1..16382 are reached directly
  if (int(directPrefixes.size()) > directLimit) {
    error = QStringLiteral("too many blocks for the prefix table");
    return false;
  }
  const int rowLimit = (0xFFFF - kPrefixRowFirst) / kTableARowBytes + 1;
  if (int(split.size()) > rowLimit) {
    error = QStringLiteral("too many rows for the prefix table");
    return false;
  }

  image.blockOffsets.push_back(0);  // entry 0: empty
  int entry = 1;
  for (auto& [prefix, bytes] : directPrefixes) {
    image.blockOffsets.push_back(std::int32_t(image.wordData.size()));
    image.wordData.insert(image.wordData.end(), bytes.begin(), bytes.end());
    image.prefixTable[prefix] = std::uint16_t(entry + 1);
    ++entry;
    ++stats.directBlocks;
  }
  for (SplitPrefix& s : split) {
    DictionaryImage::Row row;
    if (entry > 0xFFFF) {
      error = QStringLiteral("too many blocks for table A");
      return false;
    }
    row.base = std::uint16_t(entry);
    int e = 0;
    for (int letter = 0; letter < 26; ++letter) {
      if (!s.used[letter]) continue;
      ++e;
      row.entries[letter] = std::uint8_t(e);
      image.blockOffsets.push_back(std::int32_t(image.wordData.size()));
      image.wordData.insert(image.wordData.end(), s.blocks[letter].begin(), s.blocks[letter].end());
      ++entry;
      ++stats.rowBlocks;
    }
    image.prefixTable[s.prefix] = std::uint16_t(PrefixValueOfRow(int(image.tableA.size())));
    image.tableA.push_back(row);
    ++stats.rows;
  }
  image.blockOffsets.push_back(std::int32_t(image.wordData.size()));  // the end marker

  if (image.wordData.size() > std::size_t(kWordDataCapacity)) {
    error = QStringLiteral("word data of %1 bytes is more than the %2 the checker reads")
                .arg(image.wordData.size())
                .arg(kWordDataCapacity);
    return false;
  }
  if (image.blockOffsets.size() * kTableBEntryBytes > 0xFFFF ||
      image.tableA.size() * kTableARowBytes > 0xFFFF || image.apostropheBlock.size() > 0xFFFF) {
    error = QStringLiteral("a table is too large for its size field");
    return false;
  }
  return true;
}

bool ExtractDictionaryWord(CSpell& extractor, const QString& line, QString& word) {
  word.clear();
  if (line.endsWith(QStringLiteral("'s"), Qt::CaseInsensitive)) return false;
  extractor.SetWorkingText(line);
  if (!extractor.NextWord()) return false;
  if (extractor.GetWordStart() != 0 || extractor.GetWordEnd() != line.size()) return false;
  if (extractor.GetWordLength() != extractor.GetWordEnd()) return false;  // longer than 36
  word = extractor.GetWord();
  return true;
}
