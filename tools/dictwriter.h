#pragma once
// Writing the main dictionary "ZDICT.SPE" from a list of words, in exactly the layout that the
// checker reads. Used by the dictionary builder and by the tests, which also assemble damaged
// files from raw tables.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "spell/dictformat.h"

class CSpell;

// The tables of a dictionary file as they stand in it. Block offsets count from the start of
// the word data; serialising turns them into file offsets.
struct DictionaryImage {
  std::array<std::uint8_t, kDictHeaderSize> header = {'Z', 'D', 'I', 'C', 'T'};
  std::vector<std::uint16_t> prefixTable = std::vector<std::uint16_t>(kPrefixCount, 0);
  struct Row {
    std::uint16_t base = 0;
    std::array<std::uint8_t, 26> entries{};
  };
  std::vector<Row> tableA;
  std::vector<std::int32_t> blockOffsets;  // the last one marks the end of the data
  std::vector<std::uint32_t> masks = std::vector<std::uint32_t>(kMaskCount, 0);
  std::vector<std::uint8_t> apostropheBlock;
  std::vector<std::uint8_t> wordData;
};

// The file bytes; empty when a table is too large for its field.
QByteArray SerialiseDictionary(const DictionaryImage& image);

// The prefix-table value of table-A row r.
inline constexpr int PrefixValueOfRow(int r) { return kPrefixRowFirst + kTableARowBytes * r; }
inline constexpr int PrefixIndex(char c1, char c2, char c3) {
  return (c1 - 'A') * 676 + (c2 - 'A') * 26 + (c3 - 'A');
}

// Plain entry bytes of a stem ('A'..'Z').
std::vector<std::uint8_t> EncodeStem(const char* stem);

struct DictionaryBuildStats {
  int maskWords = 0;        // two and three letters
  int apostropheWords = 0;  // with an apostrophe or hyphen
  int longWords = 0;        // four letters or more
  int plainEntries = 0;
  int suffixEntries = 0;
  int directBlocks = 0;
  int rows = 0;
  int rowBlocks = 0;
};

// Builds the tables from words as the checker extracts them (upper case 'A'..'Z', apostrophe
// and hyphen, 1 to 36 characters). False with the reason when a word cannot be stored or a
// table outgrows its field.
bool BuildDictionaryImage(const QStringList& words, DictionaryImage& image,
                          DictionaryBuildStats& stats, QString& error);

// The one word that the checker finds in a line of a word list; false when the line is not
// exactly one word (several words, signs outside it) or is a possessive "'s" form, which the
// checker never looks up.
bool ExtractDictionaryWord(CSpell& extractor, const QString& line, QString& word);
