// The main dictionary: loading "ZDICT.SPE" and the three lookups into it.
#include <QFile>
#include <algorithm>
#include <new>

#include "spell/spell.h"
#include "support/files.h"
#include "support/log.h"

namespace {

bool g_failAllocationsForTests = false;

// Trace codes.
constexpr int kCodeLoad = 3903;
constexpr int kCodeRead = 3904;
constexpr int kCodeMaskTable = 3905;
constexpr int kCodeMainDictionary = 3906;
constexpr int kCodeApostropheBlock = 3907;
constexpr int kCodeFindPrefixBlock = 3908;
constexpr int kCodeNextEntry = 3909;

int LetterIndex(char16_t c) { return (c >= u'A' && c <= u'Z') ? c - u'A' : -1; }

int Le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

bool ReadExactly(QIODevice& file, void* out, qint64 size) {
  if (size == 0) return true;
  return file.read(static_cast<char*>(out), size) == size;
}

// Whether the letters are exactly the suffix.
bool EqualsSuffix(const char16_t* letters, int length, const char* suffix) {
  int i = 0;
  for (; i < length; ++i) {
    if (suffix[i] == 0 || letters[i] != char16_t(suffix[i])) return false;
  }
  return suffix[i] == 0;
}

template <typename T>
void Allocate(std::vector<T>& table, std::size_t count) {
  if (g_failAllocationsForTests) throw std::bad_alloc();
  table.assign(count, T{});
}

}  // namespace

void SetSpellAllocationFailureForTests(bool fail) { g_failAllocationsForTests = fail; }

void CSpell::ClearMainTables() {
  m_loaded = false;
  m_header.fill(0);
  m_rowCount = 0;
  m_entryCount = 0;
  m_apostropheSize = 0;
  m_prefixTable.clear();
  m_tableA.clear();
  m_blockPositions.clear();
  m_maskTable.clear();
  m_apostropheBlock.clear();
  m_wordData.clear();
  m_wordDataSize = 0;
  AbandonBlock();
}

int CSpell::LoadMainDictionary(const QString& programFolder) {
  LogScope trace(kCodeLoad);
  QString path = programFolder;
  AddBackslash(path);
  path += QString::fromUtf16(kMainDictionaryFileName);
  std::unique_ptr<QFile> file;
  try {
    file = std::make_unique<QFile>(path);
  } catch (const std::bad_alloc&) {
    return trace.Return(kDictionaryNoFileObject, kLogMemory, 1);
  }
  if (!file->open(QIODevice::ReadOnly)) {
    ClearMainTables();
    return trace.Return(kDictionaryNotFound, kLogFailed, 2);
  }
  const int result = ReadMainDictionary(*file);
  file->close();
  if (result != kDictionaryLoaded) return trace.Return(result, kLogFailed, 3);
  LoadUserDictionary(programFolder);
  return trace.Return(kDictionaryLoaded);
}

int CSpell::ReadMainDictionary(QIODevice& file) {
  LogScope trace(kCodeRead);
  ClearMainTables();
  // Everything is read into these and taken over only when the whole file is sound, so a
  // damaged file never leaves half a dictionary behind.
  std::array<std::uint8_t, kDictHeaderSize> header{};
  std::vector<std::uint16_t> prefixTable;
  std::vector<std::int32_t> tableA;
  std::vector<std::int32_t> positions;
  std::vector<std::uint32_t> maskTable;
  std::vector<std::uint8_t> apostropheBlock;
  std::vector<std::uint8_t> wordData;
  std::vector<std::uint8_t> raw;

  std::uint8_t sizes[6] = {};
  if (!ReadExactly(file, header.data(), kDictHeaderSize) || !ReadExactly(file, sizes, 6))
    return trace.Return(kDictionaryCorrupt, kLogFailed, 1);
  const int sizeA = Le16(sizes);
  const int sizeB = Le16(sizes + 2);
  const int sizeC = Le16(sizes + 4);  // unsigned: a block of 32768 bytes or more is valid
  // Sizes that are not whole rows and entries would shift every table after them.
  if (sizeA % kTableARowBytes != 0 || sizeB % kTableBEntryBytes != 0)
    return trace.Return(kDictionaryCorrupt, kLogFailed, 2);
  const int rowCount = sizeA / kTableARowBytes;
  const int entryCount = sizeB / kTableBEntryBytes;
  const int dataStart = kFixedTablesSize + sizeA + sizeB + sizeC;

  try {
    Allocate(prefixTable, kPrefixCount);
    Allocate(tableA, std::size_t(rowCount) * 26);
    Allocate(positions, std::size_t(entryCount));
    Allocate(maskTable, kMaskCount);
    Allocate(apostropheBlock, std::size_t(sizeC) + 1);
    Allocate(wordData, kWordDataCapacity);
    Allocate(raw, std::size_t(std::max({2 * kPrefixCount, 4 * kMaskCount, sizeA, sizeB})));
  } catch (const std::bad_alloc&) {
    return trace.Return(kDictionaryNoMemory, kLogMemory, 3);
  }

  if (!ReadExactly(file, raw.data(), 2 * kPrefixCount))
    return trace.Return(kDictionaryCorrupt, kLogFailed, 4);
  for (int i = 0; i < kPrefixCount; ++i) {
    int v = Le16(&raw[2 * i]);
    // A row number in the file counts rows of 28 bytes; in memory rows hold 26 entries.
    if (v > kPrefixRowBase) v = kPrefixRowBase + 26 * ((v - kPrefixRowFirst) / kTableARowBytes);
    prefixTable[i] = std::uint16_t(v);
  }

  if (!ReadExactly(file, raw.data(), sizeA)) return trace.Return(kDictionaryCorrupt, kLogFailed, 5);
  for (int r = 0; r < rowCount; ++r) {
    const std::uint8_t* row = &raw[std::size_t(r) * kTableARowBytes];
    const int base = Le16(row);
    for (int k = 0; k < 26; ++k) {
      const int e = row[2 + k];
      tableA[std::size_t(r) * 26 + k] = e == 0 ? 0 : base + e - 1;
    }
  }

  if (!ReadExactly(file, raw.data(), sizeB)) return trace.Return(kDictionaryCorrupt, kLogFailed, 6);
  for (int i = 0; i < entryCount; ++i) {
    const std::uint8_t* p = &raw[std::size_t(i) * kTableBEntryBytes];
    positions[i] = (p[0] | (p[1] << 8) | (p[2] << 16)) - dataStart;
  }

  if (!ReadExactly(file, raw.data(), 4 * kMaskCount))
    return trace.Return(kDictionaryCorrupt, kLogFailed, 7);
  for (int i = 0; i < kMaskCount; ++i) {
    const std::uint8_t* p = &raw[std::size_t(i) * 4];
    maskTable[i] = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                   (std::uint32_t(p[3]) << 24);
  }
  if (!ReadExactly(file, apostropheBlock.data(), sizeC))
    return trace.Return(kDictionaryCorrupt, kLogFailed, 8);
  apostropheBlock[sizeC] = kApostropheBlockEnd;

  int dataSize = 0;
  while (dataSize < kWordDataCapacity) {
    const qint64 got =
        file.read(reinterpret_cast<char*>(wordData.data()) + dataSize, kWordDataReadSize);
    if (got > 0) dataSize += int(got);
    if (got < kWordDataReadSize) break;
  }

  // Every block must lie inside the data that was read, one after another, so that no lookup
  // can read outside it.
  int previous = 0;
  for (int i = 0; i < entryCount; ++i) {
    if (positions[i] < previous || positions[i] > dataSize) {
      SetGlitchValue(i);
      SetGlitchValue(positions[i]);
      return trace.Return(kDictionaryCorrupt, kLogFailed, 9);
    }
    previous = positions[i];
  }

  m_header = header;
  m_rowCount = rowCount;
  m_entryCount = entryCount;
  m_apostropheSize = sizeC;
  m_prefixTable = std::move(prefixTable);
  m_tableA = std::move(tableA);
  m_blockPositions = std::move(positions);
  m_maskTable = std::move(maskTable);
  m_apostropheBlock = std::move(apostropheBlock);
  m_wordData = std::move(wordData);
  m_wordDataSize = dataSize;
  m_loaded = true;
  return trace.Return(kDictionaryLoaded);
}

int CSpell::IsInMaskTable(const char16_t* letters, int length) const {
  if (!m_loaded || letters == nullptr) return 0;
  if (length != 2 && length != 3) {
    ReportGlitch(kCodeMaskTable, 1);
    return 0;
  }
  const int c1 = LetterIndex(letters[0]);
  const int c2 = LetterIndex(letters[1]);
  if (c1 < 0 || c2 < 0) return 0;
  const std::uint32_t mask = m_maskTable[c1 * 26 + c2];
  if (length == 2) return (mask & kTwoLetterWordBit) != 0 ? 1 : 0;
  const int c3 = LetterIndex(letters[2]);
  if (c3 < 0) return 0;
  return (mask & (std::uint32_t(1) << c3)) != 0 ? 1 : 0;
}

void CSpell::AbandonBlock() {
  m_bytesLeft = 0;
  m_stemLength = 0;
  m_relation = 0;
  m_entryKind = kEntryPlain;
  m_suffixIndex = 0;
}

int CSpell::FindPrefixBlock(const char16_t* letters) {
  AbandonBlock();
  if (!m_loaded || letters == nullptr) return 0;
  const int c1 = LetterIndex(letters[0]);
  if (c1 < 0) return 0;
  const int c2 = LetterIndex(letters[1]);
  if (c2 < 0) return 0;
  const int c3 = LetterIndex(letters[2]);
  if (c3 < 0) return 0;
  const int v = m_prefixTable[c1 * 676 + c2 * 26 + c3];
  if (v == 0) return 0;
  // The last entry of table B only marks where the data ends; it starts no block.
  const int blockCount = m_entryCount - 1;
  int entry = 0;
  if (v < kPrefixRowBase) {
    entry = v - 1;
    if (entry >= blockCount) {
      SetGlitchValue(v);
      ReportGlitch(kCodeFindPrefixBlock, 1);
      return 0;
    }
  } else {
    const int rowStart = v - kPrefixRowBase;
    if (rowStart / 26 >= m_rowCount) {
      SetGlitchValue(v);
      ReportGlitch(kCodeFindPrefixBlock, 2);
      return 0;
    }
    const int c4 = LetterIndex(letters[3]);
    if (c4 < 0) return 0;
    const int f = m_tableA[rowStart + c4];
    if (f == 0) return 0;
    if (f >= blockCount) {
      SetGlitchValue(f);
      ReportGlitch(kCodeFindPrefixBlock, 3);
      return 0;
    }
    entry = f;
  }
  m_position = m_blockPositions[entry];
  m_bytesLeft = m_blockPositions[entry + 1] - m_position;
  return 1;
}

int CSpell::NextEntry() {
  if (m_bytesLeft <= 0) return 0;
  const std::uint8_t first = m_wordData[m_position];
  if ((first >= kReplacingFirst && first <= 127) || first >= kAppendedFirst) {
    // A suffix needs the stem of a plain entry before it in this block.
    if (m_stemLength == 0) {
      ReportGlitch(kCodeNextEntry, 1);
      AbandonBlock();
      return 0;
    }
    ++m_position;
    --m_bytesLeft;
    if (first >= kAppendedFirst) {
      m_entryKind = kEntryAppended;
      m_suffixIndex = first - kAppendedFirst;
    } else {
      m_entryKind = kEntryReplacing;
      m_suffixIndex = first - kReplacingFirst;
    }
    return 1;
  }
  int length = 0;
  for (;;) {
    if (m_bytesLeft <= 0) {  // the block ends inside the entry
      ReportGlitch(kCodeNextEntry, 2);
      AbandonBlock();
      return 0;
    }
    const std::uint8_t b = m_wordData[m_position++];
    --m_bytesLeft;
    const bool letter = b >= kLetterFirst && b < kLetterFirst + 26;
    const bool last = b >= kLastLetterFirst && b < kLastLetterFirst + 26;
    if (!letter && !last) {
      // A suffix after letters, or a byte that means nothing.
      SetGlitchValue(b);
      ReportGlitch(kCodeNextEntry, b >= kReplacingFirst ? 3 : 4);
      AbandonBlock();
      return 0;
    }
    if (length >= kStemCapacity) {
      ReportGlitch(kCodeNextEntry, 5);
      AbandonBlock();
      return 0;
    }
    if (letter) {
      m_stem[length++] = char16_t(u'A' + b - kLetterFirst);
      continue;
    }
    m_stem[length++] = char16_t(u'A' + b - kLastLetterFirst);
    m_stemLength = length;
    m_entryKind = kEntryPlain;
    m_suffixIndex = 0;
    return 1;
  }
}

int CSpell::IsInMainDictionary(const char16_t* letters, int length) {
  if (letters == nullptr || length < 4) {
    SetGlitchValue(length);
    ReportGlitch(kCodeMainDictionary, 1);
    return 0;
  }
  if (!FindPrefixBlock(letters)) return 0;
  const char16_t* word = letters + 3;
  const int n = length - 3;
  while (NextEntry()) {
    if (m_entryKind == kEntryPlain) {
      m_relation = 0;
      for (int i = 0;; ++i) {
        if (i == n) return i == m_stemLength ? 1 : 0;  // later stems sort after the word
        if (i == m_stemLength) {
          m_relation = 1;
          break;
        }
        if (m_stem[i] > word[i]) return 0;
        if (m_stem[i] < word[i]) {
          if (i == m_stemLength - 1) m_relation = 2;
          break;
        }
      }
      continue;
    }
    if (m_entryKind == kEntryAppended) {
      if (m_relation == 1 &&
          EqualsSuffix(word + m_stemLength, n - m_stemLength, kAppendedSuffixes[m_suffixIndex]))
        return 1;
    } else if (m_relation == 2) {
      const int kept = m_stemLength - 1;
      if (EqualsSuffix(word + kept, n - kept, kReplacingSuffixes[m_suffixIndex])) return 1;
    }
  }
  return 0;
}

int CSpell::NextApostropheWord(int& pos, std::array<char16_t, kMaxWordLength>& word,
                               int& length) const {
  length = 0;
  if (!m_loaded || pos < 0 || pos >= m_apostropheSize) return 0;
  const std::uint8_t first = m_apostropheBlock[pos];
  if (first == kApostropheBlockEnd) return 0;
  if (first >= 128) {
    SetGlitchValue(pos);
    ReportGlitch(kCodeApostropheBlock, 1);
    return 0;
  }
  word[length++] = first;
  int at = pos + 1;
  for (;;) {
    // The end byte that loading appends is not part of any entry.
    if (at >= m_apostropheSize) {
      SetGlitchValue(pos);
      ReportGlitch(kCodeApostropheBlock, 2);
      return 0;
    }
    const std::uint8_t b = m_apostropheBlock[at++];
    if (length < kMaxWordLength) word[length] = char16_t(b & 0x7F);
    ++length;
    if (b & 0x80) break;
  }
  pos = at;
  return 1;
}

int CSpell::IsInApostropheBlock(const char16_t* letters, int length) const {
  if (letters == nullptr || length < 1 || length > kMaxWordLength) return 0;
  std::array<char16_t, kMaxWordLength> entry{};
  int entryLength = 0;
  int pos = 0;
  while (NextApostropheWord(pos, entry, entryLength)) {
    if (entryLength != length) continue;
    bool same = true;
    for (int i = 0; i < length && same; ++i) same = entry[i] == letters[i];
    if (same) return 1;
  }
  return 0;
}

int CSpell::IsInApostropheBlock() { return IsInApostropheBlock(m_word.data(), m_wordLength); }
