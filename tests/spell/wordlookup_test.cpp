// Finding the words of a text and deciding whether each is known.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spell_fixture.h"

using namespace spelltest;

namespace {

struct FoundWord {
  const char* word;
  int start;
  int end;
};

struct ExtractionCase {
  const char* name;
  const char16_t* text;
  std::vector<FoundWord> words;
};

const ExtractionCase kExtractionCases[] = {
    {"closing 's stays outside", u"Tom's hat", {{"TOM", 0, 3}, {"S", 4, 5}, {"HAT", 6, 9}}},
    {"apostrophe inside", u"don't", {{"DON'T", 0, 5}}},
    {"apostrophe s inside a word", u"bo'sun", {{"BO'SUN", 0, 6}}},
    {"apostrophe s before a hyphen", u"cat's-eye", {{"CAT", 0, 3}, {"S-EYE", 4, 9}}},
    {"closing apostrophe", u"goin' home", {{"GOIN", 0, 4}, {"HOME", 6, 10}}},
    {"leading and closing quotes", u"'quoted' words", {{"QUOTED", 1, 7}, {"WORDS", 9, 14}}},
    {"closing hyphen", u"Ca- x", {{"CA-", 0, 3}, {"X", 4, 5}}},
    {"hyphens inside", u"ice-cream, jam", {{"ICE-CREAM", 0, 9}, {"JAM", 11, 14}}},
    {"accents removed", u"\u00c9clair na\u00efve", {{"ECLAIR", 0, 6}, {"NAIVE", 7, 12}}},
    {"digits end a word", u"3D model2go", {{"D", 1, 2}, {"MODEL", 3, 8}, {"GO", 9, 11}}},
    {"stored line break", u"one\u007ftwo", {{"ONE", 0, 3}, {"TWO", 4, 7}}},
    {"only signs", u" -- ' 42 ", {}},
    {"empty", u"", {}},
};

void PrintTo(const ExtractionCase& c, std::ostream* os) { *os << c.name; }

class ExtractionTest : public testing::TestWithParam<ExtractionCase> {};

TEST_P(ExtractionTest, FindsTheWordsInOrder) {
  const ExtractionCase& c = GetParam();
  CSpell checker;
  checker.SetWorkingText(QString::fromUtf16(c.text));
  for (const FoundWord& w : c.words) {
    ASSERT_EQ(checker.NextWord(), 1) << w.word;
    EXPECT_EQ(checker.GetWord(), QString::fromLatin1(w.word));
    EXPECT_EQ(checker.GetWordStart(), w.start) << w.word;
    EXPECT_EQ(checker.GetWordEnd(), w.end) << w.word;
  }
  EXPECT_EQ(checker.NextWord(), 0);
  EXPECT_EQ(checker.GetWordStart(), checker.GetWordEnd());
}

INSTANTIATE_TEST_SUITE_P(Texts, ExtractionTest, testing::ValuesIn(kExtractionCases),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(WordLookup, WordLetters) {
  struct Case {
    char16_t in;
    int letter;
    char16_t out;
  };
  const Case cases[] = {{u'a', 1, u'A'}, {u'Z', 1, u'Z'},   {0xE9, 1, u'E'}, {0xC4, 1, u'A'},
                        {0xDF, 1, u'S'}, {u'\'', 0, u'\''}, {u'-', 0, u'-'}, {u'3', 0, u'3'},
                        {0xE6, 0, 0xE6}, {0x3B1, 0, 0x3B1}};
  for (const Case& c : cases) {
    char16_t ch = c.in;
    EXPECT_EQ(IsWordLetter(ch), c.letter) << int(c.in);
    EXPECT_EQ(ch, c.out) << int(c.in);
  }
}

TEST(WordLookup, CaseFlagsFollowPlainLettersAndFillTheRest) {
  CSpell checker;
  checker.SetWorkingText(QString::fromUtf16(u"\u00c9clair HeLLo-World o'Neil"));
  ASSERT_EQ(checker.NextWord(), 1);
  // An accented capital changes no case: the word starts lower.
  for (int i = 0; i < kMaxWordLength; ++i) EXPECT_EQ(checker.GetCaseFlag(i), 1) << i;
  ASSERT_EQ(checker.NextWord(), 1);
  EXPECT_EQ(checker.GetHyphenMode(), kHyphenWhole);
  EXPECT_EQ(checker.HasApostropheOrHyphen(), 1);
  const int expected[] = {0, 1, 0, 0, 1, 1, 0, 1, 1, 1, 1};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(checker.GetCaseFlag(i), expected[i]) << i;
  EXPECT_EQ(checker.GetCaseFlag(20), 1);
  ASSERT_EQ(checker.NextWord(), 1);
  EXPECT_EQ(checker.GetWord(), QStringLiteral("O'NEIL"));
  EXPECT_EQ(checker.HasApostropheOrHyphen(), 1);
  EXPECT_EQ(checker.GetHyphenMode(), kHyphenNone);
  EXPECT_EQ(checker.GetCaseFlag(1), 1);  // the apostrophe keeps the case before it
  EXPECT_EQ(checker.GetCaseFlag(2), 0);
}

TEST(WordLookup, LongWordsKeepTheirFirst36Letters) {
  CSpell checker;
  const QString forty = QString(40, u'x');
  checker.SetWorkingText(forty + QStringLiteral(" YES"));
  ASSERT_EQ(checker.NextWord(), 1);
  EXPECT_EQ(checker.GetWordLength(), 36);
  EXPECT_EQ(checker.GetWord(), QString(36, u'X'));
  EXPECT_EQ(checker.GetWordEnd(), 40);
  ASSERT_EQ(checker.NextWord(), 1);
  EXPECT_EQ(checker.GetWord(), QStringLiteral("YES"));
  EXPECT_EQ(checker.GetCaseFlag(0), 0);
}

TEST(WordLookup, TheSearchStartsAgainAfterANewWorkingText) {
  CSpell checker;
  checker.SetWorkingText(QStringLiteral("one two"));
  ASSERT_EQ(checker.NextWord(), 1);
  ASSERT_EQ(checker.NextWord(), 1);
  checker.SetWorkingText(QStringLiteral("three"));
  EXPECT_EQ(checker.GetCorrectedText(), QStringLiteral("three"));
  ASSERT_EQ(checker.NextWord(), 1);
  EXPECT_EQ(checker.GetWord(), QStringLiteral("THREE"));
}

// ---- Known words ----

class KnownWordTest : public testing::Test {
 protected:
  void SetUp() override {
    m_checker = MakeChecker({"AN", "ICE", "CREAM", "JAM", "TOM", "HAT", "DON'T", "SELF", "HE",
                             "STAR", "STARS", "ROCK-SOLID", "WELL"});
    ASSERT_TRUE(m_checker);
  }
  std::unique_ptr<CSpell> m_checker;
};

TEST_F(KnownWordTest, PlainWordsFromTheDictionaryAndTheLists) {
  CSpell& c = *m_checker;
  for (const char* text : {"a", "x", "An", "ice", "CREAM", "Tom's", "don't", "stars", "stars'"})
    EXPECT_TRUE(Knows(c, QString::fromLatin1(text))) << text;
  for (const char* text : {"ices", "dont", "do'nt", "creams", "zebra"})
    EXPECT_FALSE(Knows(c, QString::fromLatin1(text))) << text;
  c.GetUserList()->AddWord(QStringLiteral("zebra"));
  c.GetSecondList()->AddWord(QStringLiteral("dont"));
  EXPECT_TRUE(Knows(c, "zebra"));
  EXPECT_EQ(c.IsInWordLists(), 1);
  EXPECT_TRUE(Knows(c, "dont"));
  EXPECT_EQ(c.IsInWordLists(), 2);
}

TEST_F(KnownWordTest, HyphenatedWordsAsAWholeOrPartByPart) {
  CSpell& c = *m_checker;
  struct Case {
    const char* text;
    bool known;
    const char* word;  // the current word afterwards
    int hyphenMode;
    int partOffset;
  };
  const Case cases[] = {
      {"ice-cream", true, "ICE-CREAM", kHyphenWhole, 0},
      {"jam-ice-cream", true, "JAM-ICE-CREAM", kHyphenWhole, 0},
      {"rock-solid", true, "ROCK-SOLID", kHyphenWhole, 0},  // from the apostrophe block
      {"ice-cremm", false, "CREMM", kHyphenPart, 4},        // the unknown part is asked
      {"icx-cream", false, "ICX", kHyphenPart, 0},
      {"icx-crexm", false, "ICX-CREXM", kHyphenWhole, 0},   // nothing known: the whole
      {"a-crexm", false, "A-CREXM", kHyphenWhole, 0},       // a single letter is not enough
      {"ice-crexm-jxm", false, "CREXM", kHyphenPart, 4},    // the first unknown part
      {"ice--crexm", true, "ICE--CREXM", kHyphenWhole, 0},  // parts after "-" are not looked at
      {"ice-x", true, "ICE-X", kHyphenWhole, 0},
      {"self-", true, "SELF-", kHyphenWhole, 0},
      {"he-he-hx", false, "HX", kHyphenPart, 6},
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(TakeWord(c, QString::fromLatin1(k.text))) << k.text;
    EXPECT_EQ(c.IsKnownWord(), k.known ? 1 : 0) << k.text;
    EXPECT_EQ(c.GetWord(), QString::fromLatin1(k.word)) << k.text;
    EXPECT_EQ(c.GetHyphenMode(), k.hyphenMode) << k.text;
    EXPECT_EQ(c.GetPartOffset(), k.partOffset) << k.text;
  }
  // The joined word counts, from the dictionary or a list.
  c.GetUserList()->AddWord(QStringLiteral("icecremm"));
  EXPECT_TRUE(Knows(c, "ice-cremm"));
  EXPECT_TRUE(Knows(c, "we-ll"));
}

TEST_F(KnownWordTest, AnAskedPartTakesItsOwnCase) {
  CSpell& c = *m_checker;
  ASSERT_TRUE(TakeWord(c, "ice-Cremm"));
  EXPECT_EQ(c.IsKnownWord(), 0);
  ASSERT_EQ(c.GetWord(), QStringLiteral("CREMM"));
  EXPECT_EQ(c.GetCaseFlag(0), 0);
  for (int i = 1; i < kMaxWordLength; ++i) EXPECT_EQ(c.GetCaseFlag(i), 1) << i;
}

}  // namespace
