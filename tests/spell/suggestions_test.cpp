// Suggestions for unknown words: the score, the misspelling table, the candidates and the
// order and spelling of the list.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "spell_fixture.h"

using namespace spelltest;

namespace {

QStringList SuggestionsOf(CSpell& checker) {
  QStringList out;
  for (int i = 0; i < checker.GetSuggestionCount(); ++i) out << checker.GetSuggestion(i);
  return out;
}

QStringList Suggest(CSpell& checker, const QString& text) {
  if (!TakeWord(checker, text)) return {};
  checker.IsKnownWord();  // a hyphenated word may narrow to its unknown part
  checker.FindSuggestions();
  return SuggestionsOf(checker);
}

int Score(const char* word, const char* candidate) {
  const QString w = QString::fromLatin1(word);
  const QString c = QString::fromLatin1(candidate);
  return ScoreSpelling(reinterpret_cast<const char16_t*>(w.utf16()), int(w.size()),
                       reinterpret_cast<const char16_t*>(c.utf16()), int(c.size()));
}

TEST(Suggestions, Scores) {
  struct Case {
    const char* word;
    const char* candidate;
    int score;
  };
  const Case cases[] = {
      {"CAT", "CAT", 0},      {"TEH", "THE", 1},    {"RECIEVE", "RECEIVE", 1},
      {"CATT", "CAT", 0},     {"CAT", "CATT", 1},   {"HELO", "HELLO", 1},
      {"HELLLO", "HELLO", 1}, {"HOUS", "HOUSE", 1}, {"CATE", "CAT", 1},
      {"HOUS", "HOUSES", 8},  {"CATXY", "CAT", 8},  {"HAPPYNESS", "HAPPINESS", 1},
      {"ZIP", "SIP", 1},      {"KAT", "CAT", 2},    {"SITY", "CITY", 2},
      {"FAN", "VAN", 2},      {"BAT", "CAT", 4},    {"CAXT", "CAT", 4},
      {"CT", "CAT", 4},       {"WICH", "WHICH", 4}, {"DONT", "DON'T", 4},
      {"FONE", "PHONE", 8},
  };
  for (const Case& c : cases) EXPECT_EQ(Score(c.word, c.candidate), c.score) << c.word;
}

class SuggestionTest : public testing::Test {
 protected:
  void SetUp() override {
    m_checker = MakeChecker({"THE", "CAT", "CATTLE", "NIGHT", "RIGHT", "WRITE", "CAUGHT", "HOUSE",
                             "HOUSES", "DON'T", "ICE", "CREAM", "AT", "AN"});
    ASSERT_TRUE(m_checker);
  }
  std::unique_ptr<CSpell> m_checker;
};

TEST_F(SuggestionTest, CloseDictionaryWordsInTheTypedCase) {
  CSpell& c = *m_checker;
  QStringList s = Suggest(c, "teh");
  ASSERT_FALSE(s.isEmpty());
  EXPECT_EQ(s[0], QStringLiteral("the"));
  EXPECT_EQ(c.GetSuggestionScore(0), 1);
  EXPECT_EQ(Suggest(c, "Teh").value(0), QStringLiteral("The"));
  EXPECT_EQ(Suggest(c, "TEH").value(0), QStringLiteral("THE"));
  EXPECT_TRUE(Suggest(c, "hous").contains(QStringLiteral("house")));
  EXPECT_TRUE(Suggest(c, "catle").contains(QStringLiteral("cattle")));
  EXPECT_TRUE(Suggest(c, "dont").contains(QStringLiteral("don't")));
  EXPECT_EQ(Suggest(c, "Ice-Cremm"), QStringList{"Cream"});
  EXPECT_EQ(Suggest(c, "zzzzzz"), QStringList());
  for (int i = 1; i < c.GetSuggestionCount(); ++i)
    EXPECT_LE(c.GetSuggestionScore(i - 1), c.GetSuggestionScore(i));
}

TEST_F(SuggestionTest, TheMisspellingTableComesFirst) {
  CSpell& c = *m_checker;
  QStringList s = Suggest(c, "nite");
  ASSERT_FALSE(s.isEmpty());
  EXPECT_EQ(s[0], QStringLiteral("night"));
  EXPECT_EQ(c.GetSuggestionScore(0), 0);

  s = Suggest(c, "Rit");
  ASSERT_GE(s.size(), 2);
  EXPECT_EQ(s[0], QStringLiteral("Right"));
  EXPECT_EQ(s[1], QStringLiteral("Write"));
  EXPECT_EQ(c.GetSuggestionScore(1), 0);

  s = Suggest(c, "CORT");
  EXPECT_EQ(s.count(QStringLiteral("CAUGHT")), 1);
  EXPECT_EQ(Suggest(c, "alot").value(0), QStringLiteral("a lot"));
  EXPECT_EQ(Suggest(c, "Hast").value(0), QStringLiteral("Hasn't"));
  EXPECT_EQ(Suggest(c, "wud").mid(0, 2), (QStringList{"would", "wood"}));
  EXPECT_EQ(Suggest(c, "yu").value(0), QStringLiteral("you"));
}

TEST_F(SuggestionTest, WordsOfTheListsAreOffered) {
  CSpell& c = *m_checker;
  std::unique_ptr<CDocDict> drawing = c.CreateDocDict();
  drawing->AddWord(QStringLiteral("gizmo"));
  c.GetUserList()->AddWord(QStringLiteral("zephorin"));
  c.GetSecondList()->AddWord(QStringLiteral("gizmi"));  // the second list is never offered
  EXPECT_EQ(Suggest(c, "gizmu"), QStringList{"gizmo"});
  EXPECT_EQ(Suggest(c, "Zeforin"), QStringList{"Zephorin"});
}

TEST_F(SuggestionTest, APluralReplacesItsSingularWhenTheTypedWordEndsInS) {
  CSpell& c = *m_checker;
  std::unique_ptr<CDocDict> drawing = c.CreateDocDict();
  c.GetUserList()->AddWord(QStringLiteral("dog"));
  drawing->AddWord(QStringLiteral("dogs"));
  QStringList s = Suggest(c, "doggs");
  EXPECT_EQ(s, QStringList{"dogs"});
  EXPECT_EQ(c.GetSuggestionScore(0), Score("DOGGS", "DOGS"));

  // Not ending in S: the plural is not offered beside the singular.
  s = Suggest(c, "dogg");
  EXPECT_EQ(s, QStringList{"dog"});
  // A listed plural keeps the singular out.
  CSpell other;
  std::unique_ptr<CDocDict> list = other.CreateDocDict();
  other.GetUserList()->AddWord(QStringLiteral("dogs"));
  list->AddWord(QStringLiteral("dog"));
  EXPECT_EQ(Suggest(other, "dogg"), QStringList{"dogs"});
}

TEST_F(SuggestionTest, TheListHoldsFiftyAndDropsTheWorst) {
  // Every word differs from the typed one by two letters (score 8), except the last (4).
  CSpell checker;
  const QString typed = QStringLiteral("BDHLPRTW");
  const QString fill = QStringLiteral("ACEFGIJKMNOQSUVXYZ");
  CDocDict* user = checker.GetUserList();
  QStringList eights;
  for (int a = 0; a < fill.size() && eights.size() < 51; ++a) {
    for (int b = 0; b < fill.size() && eights.size() < 51; ++b) {
      QString w = typed;
      w[0] = fill[a];
      w[7] = fill[b];
      eights << w;
    }
  }
  for (int i = 0; i < 50; ++i) user->AddWord(eights[i]);
  ASSERT_EQ(Score(typed.toLatin1().constData(), eights[0].toLatin1().constData()), 8);
  EXPECT_EQ(Suggest(checker, typed).size(), 50);

  user->AddWord(eights[50]);  // no better than the last: dropped
  QStringList s = Suggest(checker, typed);
  EXPECT_EQ(s.size(), 50);
  EXPECT_FALSE(s.contains(eights[50]));

  QString four = typed;
  four[3] = u'X';
  user->AddWord(four);  // better: taken, and the last one goes
  s = Suggest(checker, typed);
  ASSERT_EQ(s.size(), 50);
  EXPECT_EQ(s[0], four);
  EXPECT_EQ(checker.GetSuggestionScore(0), 4);
  EXPECT_EQ(s.mid(1), eights.mid(0, 49));
}

// ---- The dictionary built from the system's word list ----

class FullDictionaryTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!QFile::exists(FullDictionaryPath())) GTEST_SKIP() << "no dictionary built";
    QFile file(FullDictionaryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_EQ(m_checker.ReadMainDictionary(file), kDictionaryLoaded);
  }
  CSpell m_checker;
};

TEST_F(FullDictionaryTest, CommonWordsAreKnown) {
  for (const char* w : {"the", "colour", "school", "Children's", "isn't", "o'clock", "drawing",
                        "Wednesday", "London", "ice-cream", "well-known", "a", "I", "naïve",
                        "accommodation", "necessary", "behaviour"})
    EXPECT_TRUE(Knows(m_checker, QString::fromUtf8(w))) << w;
  for (const char* w : {"teh", "recieve", "seperate", "wierd", "Zephorin", "xyzzy", "colourr"})
    EXPECT_FALSE(Knows(m_checker, QString::fromUtf8(w))) << w;
}

TEST_F(FullDictionaryTest, CommonMisspellingsGetTheirCorrection) {
  struct Case {
    const char* typed;
    const char* expected;
    int within;  // the correction is among the first this many
  };
  const Case cases[] = {
      {"teh", "the", 1},
      {"nite", "night", 1},
      {"skule", "school", 1},
      {"enuf", "enough", 1},
      {"becos", "because", 1},
      {"Rit", "Write", 2},
      {"recieve", "receive", 3},
      {"beleive", "believe", 3},
      {"freind", "friend", 3},
      {"wierd", "weird", 3},
      {"seperate", "separate", 3},
      {"occured", "occurred", 3},
      {"tomorow", "tomorrow", 3},
      {"untill", "until", 3},
      {"definately", "definitely", 5},
      {"goverment", "government", 3},
      {"neccessary", "necessary", 3},
      {"accomodate", "accommodate", 3},
      {"begining", "beginning", 3},
      {"happyness", "happiness", 3},
      {"wich", "which", 10},
      {"dont", "don't", 10},
      {"Lundon", "London", 5},
      {"colur", "colour", 5},
  };
  for (const Case& c : cases) {
    const QStringList s = Suggest(m_checker, QString::fromLatin1(c.typed));
    const int at = int(s.indexOf(QString::fromLatin1(c.expected)));
    EXPECT_TRUE(at >= 0 && at < c.within)
        << c.typed << " -> " << s.mid(0, 10).join(' ').toStdString();
  }
}

}  // namespace
