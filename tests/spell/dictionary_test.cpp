// The main dictionary: its layout as the builder writes it, the lookups, and damaged files.
#include <gtest/gtest.h>

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <string>

#include "spell_fixture.h"
#include "support/filestatus.h"
#include "support/textfile.h"

using namespace spelltest;

namespace {

const QStringList kDozenWords = {"A",        "AN",     "CAT",     "DOG",    "THE",
                                 "CATS",     "CATTLE", "DOGS",    "HOUSE",  "HOUSES",
                                 "HOUSING",  "MAKE",   "MAKER",   "MAKING", "CREATE",
                                 "CREATION", "HAPPY",  "HAPPILY", "DON'T",  "O'CLOCK"};

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                    const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One block under the prefix CAT holding these bytes, reached through prefix entry 1.
DictionaryImage ImageWithCatBlock(const std::vector<std::uint8_t>& block) {
  DictionaryImage image;
  image.prefixTable[PrefixIndex('C', 'A', 'T')] = 2;
  image.blockOffsets = {0, 0, std::int32_t(block.size())};
  image.wordData = block;
  return image;
}

// Every text that differs from a word by one letter changed, dropped or added.
QStringList OneLetterChanges(const QString& word) {
  QStringList out;
  for (int i = 0; i < word.size(); ++i) {
    if (word[i] < u'A' || word[i] > u'Z') continue;
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
      if (c == word[i]) continue;
      QString changed = word;
      changed[i] = QChar(c);
      out << changed;
    }
    out << QString(word).remove(i, 1);
  }
  for (char16_t c = u'A'; c <= u'Z'; ++c) out << word + QChar(c);
  return out;
}

class DictionaryTest : public testing::Test {
 protected:
  void SetUp() override { g_fileStatus = kFileOk; }
  void TearDown() override { SetSpellAllocationFailureForTests(false); }
};

TEST_F(DictionaryTest, EveryWordOfASmallListIsFoundAndNoOneLetterChange) {
  auto checker = MakeChecker(kDozenWords);
  ASSERT_TRUE(checker);
  const QSet<QString> words(kDozenWords.begin(), kDozenWords.end());
  for (const QString& word : kDozenWords) {
    EXPECT_TRUE(Knows(*checker, word)) << word.toStdString();
    EXPECT_TRUE(Knows(*checker, word.toLower())) << word.toStdString();
    for (const QString& changed : OneLetterChanges(word)) {
      if (changed.size() <= 1 || words.contains(changed)) continue;
      EXPECT_FALSE(Knows(*checker, changed)) << changed.toStdString();
    }
  }
}

TEST_F(DictionaryTest, BuilderCodesDerivedWordsAsSuffixesOfTheirStems) {
  auto checker = MakeChecker(kDozenWords);
  ASSERT_TRUE(checker);
  struct Entry {
    int kind;
    const char* text;  // the stem, or the suffix
  };
  struct Case {
    const char16_t* prefix;
    std::vector<Entry> entries;
  };
  const Case cases[] = {
      {u"HOUS", {{kEntryPlain, "SE"}, {kEntryAppended, "S"}, {kEntryReplacing, "ING"}}},
      {u"MAKE", {{kEntryPlain, "E"}, {kEntryAppended, "R"}, {kEntryReplacing, "ING"}}},
      {u"CREA", {{kEntryPlain, "ATE"}, {kEntryReplacing, "ION"}}},
      {u"HAPP", {{kEntryPlain, "PILY"}, {kEntryPlain, "PY"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.prefix).toStdString());
    ASSERT_EQ(checker->FindPrefixBlock(c.prefix), 1);
    for (const Entry& e : c.entries) {
      ASSERT_EQ(checker->NextEntry(), 1);
      ASSERT_EQ(checker->GetEntryKind(), e.kind);
      if (e.kind == kEntryPlain) {
        EXPECT_EQ(QString::fromUtf16(checker->GetStem(), checker->GetStemLength()),
                  QString::fromLatin1(e.text));
      } else if (e.kind == kEntryAppended) {
        EXPECT_STREQ(kAppendedSuffixes[checker->GetSuffixIndex()], e.text);
      } else {
        EXPECT_STREQ(kReplacingSuffixes[checker->GetSuffixIndex()], e.text);
      }
    }
    EXPECT_EQ(checker->NextEntry(), 0);
  }
}

TEST_F(DictionaryTest, SuffixCodesKeepTheirPlaces) {
  // A suffix's index is its code in every dictionary file, odd spellings included.
  EXPECT_STREQ(kAppendedSuffixes[0], "ABILITY");
  EXPECT_STREQ(kAppendedSuffixes[50], "ING");
  EXPECT_STREQ(kAppendedSuffixes[116], "S");
  EXPECT_STREQ(kAppendedSuffixes[126], "Y");
  EXPECT_STREQ(kReplacingSuffixes[0], "C");
  EXPECT_STREQ(kReplacingSuffixes[9], "ING");
  EXPECT_STREQ(kReplacingSuffixes[57], "USNOUS");
  EXPECT_STREQ(kReplacingSuffixes[62], "ZING");
}

TEST_F(DictionaryTest, LargePrefixGroupsAreSplitByTheirFourthLetter) {
  QStringList words;
  for (char16_t x = u'A'; x <= u'L'; ++x) {
    for (char16_t y = u'A'; y <= u'Z'; ++y) {
      words << QStringLiteral("CON") + QChar(x) + QChar(y);
      if (y == u'B') words << QStringLiteral("CON") + QChar(x) + QChar(y) + QStringLiteral("ING");
    }
  }
  DictionaryImage image;
  DictionaryBuildStats stats;
  QString error;
  ASSERT_TRUE(BuildDictionaryImage(words, image, stats, error)) << error.toStdString();
  EXPECT_EQ(stats.rows, 1);
  EXPECT_EQ(stats.rowBlocks, 12);
  EXPECT_GE(image.prefixTable[PrefixIndex('C', 'O', 'N')], kPrefixRowFirst);
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  for (const QString& w : words) EXPECT_TRUE(Knows(*checker, w)) << w.toStdString();
  for (const char* w : {"CONMA", "CONZZ", "CONABS", "CONABINGS", "CONA", "CONX"})
    EXPECT_FALSE(Knows(*checker, QString::fromLatin1(w))) << w;
}

TEST_F(DictionaryTest, StemsLongerThanTheWordAreNotFound) {
  auto checker = MakeChecker(ImageWithCatBlock(EncodeStem("T") + EncodeStem("TLE")));
  ASSERT_TRUE(checker);
  EXPECT_TRUE(Knows(*checker, "CATT"));
  EXPECT_TRUE(Knows(*checker, "CATTLE"));
  EXPECT_FALSE(Knows(*checker, "CATTL"));
  EXPECT_FALSE(Knows(*checker, "CATTLES"));
  EXPECT_FALSE(Knows(*checker, "CATS"));
}

TEST_F(DictionaryTest, PrefixEntryOneNamesTheFirstBlock) {
  // A prefix value of 1 reaches table-B entry 0, which the builder leaves empty.
  DictionaryImage image;
  image.prefixTable[PrefixIndex('C', 'A', 'T')] = 1;
  image.wordData = EncodeStem("T") + EncodeStem("TLE");
  image.blockOffsets = {0, std::int32_t(image.wordData.size())};
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  EXPECT_TRUE(Knows(*checker, "CATT"));
  EXPECT_TRUE(Knows(*checker, "CATTLE"));
  EXPECT_FALSE(Knows(*checker, "CATTL"));
}

TEST_F(DictionaryTest, AppendedAndReplacingSuffixesFollowTheirStem) {
  DictionaryImage image;
  image.prefixTable[PrefixIndex('X', 'Y', 'Z')] = 2;
  image.wordData = EncodeStem("ABC") + std::vector<std::uint8_t>{130, 66} + EncodeStem("ABY") +
                   std::vector<std::uint8_t>{71};
  image.blockOffsets = {0, 0, std::int32_t(image.wordData.size())};
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  EXPECT_STREQ(kAppendedSuffixes[1], "ABLE");
  EXPECT_STREQ(kReplacingSuffixes[1], "ES");
  EXPECT_STREQ(kReplacingSuffixes[6], "IES");
  for (const char* w : {"XYZABC", "XYZABCABLE", "XYZABES", "XYZABY"})
    EXPECT_TRUE(Knows(*checker, QString::fromLatin1(w))) << w;
  // IES sorts before the stem's Y, so the walk stops at ABY before it could match.
  for (const char* w : {"XYZABIES", "XYZABCES", "XYZABABLE", "XYZABCE", "XYZAB"})
    EXPECT_FALSE(Knows(*checker, QString::fromLatin1(w))) << w;
}

TEST_F(DictionaryTest, ShortWordsComeFromTheMaskTable) {
  DictionaryImage image;
  image.masks[0 * 26 + 1] = (1u << 2) | (1u << 25);  // ABC, ABZ; no AB
  image.masks[1 * 26 + 4] = kTwoLetterWordBit;       // BE
  image.blockOffsets = {0, 0};
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  EXPECT_FALSE(Knows(*checker, "ab"));
  EXPECT_TRUE(Knows(*checker, "abc"));
  EXPECT_TRUE(Knows(*checker, "ABZ"));
  EXPECT_FALSE(Knows(*checker, "ABD"));
  EXPECT_TRUE(Knows(*checker, "be"));
  EXPECT_FALSE(Knows(*checker, "bee"));
  image.masks[0 * 26 + 1] |= kTwoLetterWordBit;
  checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  EXPECT_TRUE(Knows(*checker, "ab"));
  const char16_t apostrophe[] = u"A'";
  EXPECT_EQ(checker->IsInMaskTable(apostrophe, 2), 0);
}

TEST_F(DictionaryTest, ApostropheBlockOfMoreThan32767BytesIsRead) {
  // The size of block C is an unsigned 16-bit value.
  QStringList words;
  for (int i = 0; i < 3000; ++i) {
    QString w = QStringLiteral("A'");
    for (int k = 0, n = i; k < 10; ++k, n /= 26) w += QChar(u'A' + n % 26);
    words << w;
  }
  DictionaryImage image;
  DictionaryBuildStats stats;
  QString error;
  ASSERT_TRUE(BuildDictionaryImage(words, image, stats, error));
  ASSERT_GT(image.apostropheBlock.size(), 32768u);
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  for (int i : {0, 1500, 2999}) EXPECT_TRUE(Knows(*checker, words[i]));
  EXPECT_FALSE(Knows(*checker, "A'ZZZZZZZZZZ"));
}

// ---- Loading ----

TEST_F(DictionaryTest, LoadingFromTheProgramFolderAlsoReadsTheUserList) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CSpell missing;
  EXPECT_EQ(missing.LoadMainDictionary(dir.path()), kDictionaryNotFound);

  QFile file(dir.filePath("ZDICT.SPE"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(BuildBytes(kDozenWords));
  file.close();
  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(dir.filePath("USERDICT.SCF")), 1);
  writer.WriteLine("Zephorin");
  writer.Close();

  for (const QString& folder : {dir.path(), dir.path() + "/"}) {
    CSpell checker;
    EXPECT_EQ(checker.LoadMainDictionary(folder), kDictionaryLoaded);
    EXPECT_TRUE(checker.HasMainDictionary());
    EXPECT_TRUE(Knows(checker, "cattle"));
    EXPECT_TRUE(Knows(checker, "zephorin"));
    EXPECT_FALSE(Knows(checker, "zephorine"));
  }

  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(QByteArray(11, 0));
  file.close();
  CSpell shortFile;
  EXPECT_EQ(shortFile.LoadMainDictionary(dir.path()), kDictionaryCorrupt);
  EXPECT_FALSE(shortFile.HasMainDictionary());
  EXPECT_FALSE(Knows(shortFile, "zephorin"));  // no user list without the main dictionary
}

TEST_F(DictionaryTest, NoMemoryGives803AndNoDictionary) {
  const QByteArray bytes = BuildBytes(kDozenWords);
  CSpell checker;
  SetSpellAllocationFailureForTests(true);
  EXPECT_EQ(LoadBytes(checker, bytes), kDictionaryNoMemory);
  EXPECT_FALSE(Knows(checker, "cattle"));
  SetSpellAllocationFailureForTests(false);
  EXPECT_EQ(LoadBytes(checker, bytes), kDictionaryLoaded);
  EXPECT_TRUE(Knows(checker, "cattle"));
}

TEST_F(DictionaryTest, EveryTruncatedFileIsCorrupt) {
  const QByteArray bytes = BuildBytes(kDozenWords);
  ASSERT_FALSE(bytes.isEmpty());
  const int lastByte = int(bytes.size()) - 1;  // inside the word data
  for (int cut : {0, 4, 5, 10, 11, 12, 100, kTableAOffset - 1, kTableAOffset, kTableAOffset + 5,
                  kFixedTablesSize, lastByte}) {
    CSpell checker;
    EXPECT_EQ(LoadBytes(checker, bytes.left(cut)), kDictionaryCorrupt) << cut;
    EXPECT_FALSE(checker.HasMainDictionary());
  }
  // A failed load takes the earlier dictionary away rather than leaving half of one.
  CSpell checker;
  ASSERT_EQ(LoadBytes(checker, bytes), kDictionaryLoaded);
  EXPECT_EQ(LoadBytes(checker, bytes.left(kTableAOffset)), kDictionaryCorrupt);
  EXPECT_FALSE(Knows(checker, "cattle"));
  EXPECT_FALSE(Knows(checker, "an"));
}

TEST_F(DictionaryTest, TablesOfPartRowsOrEntriesAreCorrupt) {
  QByteArray bytes = BuildBytes(kDozenWords);
  for (int field : {kDictSizesOffset, kDictSizesOffset + 2}) {
    QByteArray damaged = bytes;
    damaged[field] = char(damaged[field] + 1);
    CSpell checker;
    EXPECT_EQ(LoadBytes(checker, damaged), kDictionaryCorrupt) << field;
  }
}

TEST_F(DictionaryTest, BlockPositionsOutsideTheWordDataAreCorrupt) {
  DictionaryImage good;
  DictionaryBuildStats stats;
  QString error;
  ASSERT_TRUE(BuildDictionaryImage(kDozenWords, good, stats, error));
  ASSERT_GE(good.blockOffsets.size(), 4u);
  const std::int32_t end = good.blockOffsets.back();
  struct Case {
    const char* name;
    int entry;
    std::int32_t offset;
  };
  const Case cases[] = {
      {"past the end of the data", 2, end + 1},
      {"end marker past the data", int(good.blockOffsets.size()) - 1, end + 100},
      {"before the word data", 1, -1},
      {"inside block C", 0, -3},
      {"blocks out of order", 2, good.blockOffsets[3] + 1},
  };
  for (const Case& c : cases) {
    DictionaryImage image = good;
    image.blockOffsets[c.entry] = c.offset;
    CSpell checker;
    EXPECT_EQ(LoadBytes(checker, SerialiseDictionary(image)), kDictionaryCorrupt) << c.name;
  }
  // The word data may be followed by more than the checker reads; blocks must lie within it.
  DictionaryImage longData = good;
  longData.wordData.resize(kWordDataCapacity + 10, 33);
  longData.blockOffsets.back() = kWordDataCapacity + 1;
  CSpell checker;
  EXPECT_EQ(LoadBytes(checker, SerialiseDictionary(longData)), kDictionaryCorrupt);
}

// ---- Damaged indexes and blocks: a glitch and "not found", never a read outside ----

TEST_F(DictionaryTest, IndexesPointingOutsideTheTablesAreRefused) {
  DictionaryImage good = ImageWithCatBlock(EncodeStem("TLE"));
  DictionaryImage::Row row;
  row.base = 1;
  row.entries[0] = 2;  // CAT + A: entry 2, the end marker
  row.entries[1] = 255;
  good.tableA.push_back(row);
  struct Case {
    const char* name;
    char c1, c2, c3;
    std::uint16_t value;
    const char* word;
  };
  const Case cases[] = {
      {"prefix naming the end marker", 'C', 'A', 'T', 3, "CATTLE"},
      {"prefix beyond table B", 'C', 'A', 'T', 16383, "CATTLE"},
      {"row beyond table A", 'D', 'O', 'G', std::uint16_t(PrefixValueOfRow(1)), "DOGS"},
      {"last row value", 'D', 'O', 'G', 65535, "DOGS"},
      {"row entry naming the end marker", 'H', 'A', 'T', std::uint16_t(PrefixValueOfRow(0)),
       "HATA"},
      {"row entry beyond table B", 'H', 'A', 'T', std::uint16_t(PrefixValueOfRow(0)), "HATB"},
  };
  for (const Case& c : cases) {
    DictionaryImage image = good;
    image.prefixTable[PrefixIndex(c.c1, c.c2, c.c3)] = c.value;
    auto checker = MakeChecker(image);
    ASSERT_TRUE(checker) << c.name;
    const int glitches = g_glitchCount;
    EXPECT_FALSE(Knows(*checker, QString::fromLatin1(c.word))) << c.name;
    EXPECT_EQ(g_glitchCount, glitches + 1) << c.name;
    checker->FindSuggestions();  // walks the same indexes
  }
}

TEST_F(DictionaryTest, DamagedEntriesAbandonTheBlock) {
  std::vector<std::uint8_t> longStem(37, 1);
  longStem.push_back(33);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> block;
  };
  const Case cases[] = {
      {"byte 0", {1, 0, 33}},
      {"byte 30", {30}},
      {"byte 60", {1, 60}},
      {"byte 128", {128}},
      {"suffix after letters", {1, 130}},
      {"replacing suffix after letters", {1, 66}},
      {"suffix with no stem before it", {130, 1, 34}},
      {"block ending inside an entry", {1, 2}},
      {"stem longer than 36 letters", longStem},
  };
  for (const Case& c : cases) {
    auto checker = MakeChecker(ImageWithCatBlock(c.block));
    ASSERT_TRUE(checker) << c.name;
    const int glitches = g_glitchCount;
    EXPECT_FALSE(Knows(*checker, "CATAB")) << c.name;
    EXPECT_EQ(g_glitchCount, glitches + 1) << c.name;
    TakeWord(*checker, "CATAB");
    checker->FindSuggestions();
  }
}

TEST_F(DictionaryTest, DamagedApostropheEntriesAreRefused) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> block;
  };
  const Case cases[] = {
      {"unterminated", {'D', 'O', 'N', '\'', 'T'}},
      {"unterminated after a good entry", {'I', '\'', 'D' | 0x80, 'D', 'O', 'N', '\'', 'T'}},
      {"first byte with bit 7", {'D' | 0x80, 'O', 'N', '\'', 'T' | 0x80}},
      {"first byte alone", {'D'}},
  };
  for (const Case& c : cases) {
    DictionaryImage image;
    image.blockOffsets = {0, 0};
    image.apostropheBlock = c.block;
    auto checker = MakeChecker(image);
    ASSERT_TRUE(checker) << c.name;
    const int glitches = g_glitchCount;
    EXPECT_FALSE(Knows(*checker, "don't")) << c.name;
    EXPECT_EQ(g_glitchCount, glitches + 1) << c.name;
  }
  // Sound entries, and the end byte inside the block.
  DictionaryImage image;
  image.blockOffsets = {0, 0};
  image.apostropheBlock = {'I', '\'', 'D' | 0x80, 255, 'D', 'O', 'N', '\'', 'T' | 0x80};
  auto checker = MakeChecker(image);
  ASSERT_TRUE(checker);
  EXPECT_TRUE(Knows(*checker, "I'd"));
  EXPECT_FALSE(Knows(*checker, "don't"));
  EXPECT_FALSE(Knows(*checker, "I'dd"));
}

TEST_F(DictionaryTest, ShortLookupsAreAGlitch) {
  auto checker = MakeChecker(kDozenWords);
  ASSERT_TRUE(checker);
  const int glitches = g_glitchCount;
  EXPECT_EQ(checker->IsInMainDictionary(u"CAT", 3), 0);
  EXPECT_EQ(g_glitchCount, glitches + 1);
}

}  // namespace
