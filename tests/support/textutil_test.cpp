#include "support/textutil.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "support/log.h"

namespace {

QString U(const char16_t* text) { return QString::fromUtf16(text); }

// ---- Character classes and case ----

struct CharCase {
  const char* name;
  char16_t c;
  bool lower;
  bool upper;
  char16_t toUpper;
  char16_t toLower;
};

const CharCase kCharCases[] = {
    {"digit", u'5', false, false, u'5', u'5'},
    {"a", u'a', true, false, u'A', u'a'},
    {"z", u'z', true, false, u'Z', u'z'},
    {"A", u'A', false, true, u'A', u'a'},
    {"Z", u'Z', false, true, u'Z', u'z'},
    {"at sign", u'@', false, false, u'@', u'@'},
    {"left bracket", u'[', false, false, u'[', u'['},
    {"backquote", u'`', false, false, u'`', u'`'},
    {"brace", u'{', false, false, u'{', u'{'},
    {"A grave 192", 192, false, true, 192, 224},
    {"Y acute 221", 221, false, true, 221, 253},
    {"thorn 222 has no partner", 222, false, false, 222, 222},
    {"sharp s 223", 223, false, false, 223, 223},
    {"a grave 224", 224, true, false, 192, 224},
    {"y acute 253", 253, true, false, 221, 253},
    {"small thorn 254", 254, false, false, 254, 254},
    {"y diaeresis 255", 255, false, false, 255, 255},
    {"times 215 is no letter", 215, false, false, 215, 215},
    {"divide 247 is no letter", 247, false, false, 247, 247},
    {"inverted question 191", 191, false, false, 191, 191},
    {"Z caron", 0x17D, false, false, 0x17D, 0x17D},
    {"z caron", 0x17E, false, false, 0x17E, 0x17E},
    {"Greek alpha", 0x3B1, false, false, 0x3B1, 0x3B1},
    {"DEL 127", 127, false, false, 127, 127},
};

class CharCaseTest : public testing::TestWithParam<CharCase> {};

TEST_P(CharCaseTest, ClassAndMapping) {
  const CharCase& k = GetParam();
  EXPECT_EQ(IsLowerChar(k.c), k.lower);
  EXPECT_EQ(IsUpperChar(k.c), k.upper);
  EXPECT_EQ(IsLetterChar(k.c), k.lower || k.upper);
  EXPECT_EQ(ToUpperChar(k.c), k.toUpper);
  EXPECT_EQ(ToLowerChar(k.c), k.toLower);
  EXPECT_EQ(ToUpperChar(QChar(k.c)), QChar(k.toUpper));
  EXPECT_EQ(ToLowerChar(QChar(k.c)), QChar(k.toLower));
}

INSTANTIATE_TEST_SUITE_P(Latin1, CharCaseTest, testing::ValuesIn(kCharCases),
                         [](const testing::TestParamInfo<CharCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(TextUtilChars, WholeRangeFollowsTheFixedOffsetRule) {
  for (int code = 0; code < 0x10000; ++code) {
    const char16_t c = static_cast<char16_t>(code);
    const bool lower = (c >= u'a' && c <= u'z') || (code >= 224 && code <= 253 && code != 247);
    const bool upper = (c >= u'A' && c <= u'Z') || (code >= 192 && code <= 221 && code != 215);
    ASSERT_EQ(IsLowerChar(c), lower) << code;
    ASSERT_EQ(IsUpperChar(c), upper) << code;
    ASSERT_EQ(ToUpperChar(c), lower ? char16_t(code - 32) : c) << code;
    ASSERT_EQ(ToLowerChar(c), upper ? char16_t(code + 32) : c) << code;
    // A case change and back is the identity for every letter.
    if (lower) {
      ASSERT_EQ(ToLowerChar(ToUpperChar(c)), c) << code;
    }
    if (upper) {
      ASSERT_EQ(ToUpperChar(ToLowerChar(c)), c) << code;
    }
  }
}

TEST(TextUtilChars, PartEdgeCasesAndDigits) {
  EXPECT_EQ(ToUpperChar(char16_t(255)), 255);
  EXPECT_EQ(ToLowerChar(char16_t(222)), 222);
  EXPECT_FALSE(IsLetterChar(char16_t(223)));
  for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(IsDigitChar(c));
  EXPECT_FALSE(IsDigitChar(u'/'));
  EXPECT_FALSE(IsDigitChar(u':'));
  EXPECT_FALSE(IsDigitChar(char16_t(0x661)));  // Arabic-Indic one is not a program digit
  EXPECT_TRUE(IsBlankChar(u' '));
  EXPECT_FALSE(IsBlankChar(u'\t'));
}

TEST(TextUtilChars, TextCaseHelpers) {
  EXPECT_EQ(ToUpperText(U(u"abc ÿéß")), U(u"ABC ÿÉß"));
  EXPECT_EQ(ToLowerText(U(u"ABC ÞÉ")), U(u"abc Þé"));
}

// × and ÷ are no case pair, whatever case operation runs.
TEST(TextUtilChars, TimesAndDivideSurviveEveryCaseOperation) {
  for (const QString& original : {U(u"3×4"), U(u"3÷4"), U(u"a×b"), U(u"A÷B"), U(u"×"), U(u"÷")}) {
    SCOPED_TRACE(original.toStdString());
    const bool hasTimes = original.contains(QChar(215));
    const bool hasDivide = original.contains(QChar(247));
    auto check = [&](const QString& result) {
      EXPECT_EQ(result.contains(QChar(215)), hasTimes);
      EXPECT_EQ(result.contains(QChar(247)), hasDivide);
      EXPECT_EQ(result.size(), original.size());
    };
    check(ToUpperText(original));
    check(ToLowerText(original));
    QString cycled = original;
    for (int press = 0; press < 6; ++press) {
      CycleCase(cycled, int(cycled.size()));
      check(cycled);
    }
    QString accent = original;
    for (int i = 0; i < accent.size(); ++i) {
      char16_t c = accent.at(i).unicode();
      if (c == 215 || c == 247) {
        EXPECT_EQ(CycleAccent(&c), 0);
        EXPECT_EQ(RemoveAccent(&c), 0);
        EXPECT_EQ(ToggleAcute(&c), 0);
      }
    }
  }
  QString digits = U(u"3×4");
  EXPECT_EQ(CycleCase(digits, 3), 0);
  EXPECT_EQ(digits, U(u"3×4"));
  digits = U(u"3÷4");
  EXPECT_EQ(CycleCase(digits, 3), 0);
  EXPECT_EQ(digits, U(u"3÷4"));
  EXPECT_EQ(ToUpperChar(char16_t(247)), 247);
  EXPECT_EQ(ToLowerChar(char16_t(215)), 215);
}

// ---- Accents ----

TEST(TextUtilAccents, CycleAccentCycles) {
  struct Cycle {
    char16_t start;
    std::vector<char16_t> steps;
  };
  const Cycle cycles[] = {
      {u'a', {225, 224, 228, 226, u'a'}},  // á à ä â a
      {u'e', {233, 232, 235, 234, u'e'}},  // é è ë ê e
      {u'i', {237, 236, 239, 238, u'i'}},
      {u'o', {243, 242, 246, 244, u'o'}},
      {u'u', {250, 249, 252, 251, u'u'}},
      {u'S', {223, u's', 223, u's'}},  // ß s ß s
      {u's', {223, u's'}},
      {u'?', {191, u'?'}},
      {u'!', {161, u'!'}},
      {u'A', {196, u'A'}},
      {u'C', {199, u'C'}},
      {u'c', {231, u'c'}},
      {u'E', {201, u'E'}},
      {u'N', {209, u'N'}},
      {u'n', {241, u'n'}},
      {u'O', {214, u'O'}},
      {u'U', {220, u'U'}},
      {u'Z', {0x17D, u'Z'}},
  };
  for (const Cycle& cycle : cycles) {
    char16_t c = cycle.start;
    for (size_t i = 0; i < cycle.steps.size(); ++i) {
      EXPECT_EQ(CycleAccent(&c), 1) << int(cycle.start) << " step " << i;
      EXPECT_EQ(c, cycle.steps[i]) << int(cycle.start) << " step " << i;
    }
  }
  for (char16_t c : {u'x', u'I', u'y', u'1', u' ', char16_t(255)}) {
    char16_t copy = c;
    EXPECT_EQ(CycleAccent(&copy), 0) << int(c);
    EXPECT_EQ(copy, c);
  }
}

TEST(TextUtilAccents, Toggles) {
  struct Toggle {
    int (*fn)(char16_t*);
    char16_t from;
    char16_t to;
    int result;
  };
  const Toggle toggles[] = {
      {ToggleGrave, 225, 224, 1},                                       // á -> à
      {ToggleGrave, 224, u'a', 1},                                      // à -> a
      {ToggleGrave, u'a', 224, 1},                                      // a -> à
      {ToggleAcute, u'e', 233, 1},                                      // e -> é
      {ToggleAcute, 233, u'e', 1},                                      // é -> e
      {ToggleAcute, 235, 233, 1},                                       // ë -> é
      {ToggleHatAccent, u'o', 244, 1},                                  // o -> ô
      {ToggleHatAccent, 244, u'o', 1}, {ToggleHatAccent, 249, 251, 1},  // ù -> û
      {ToggleDiaeresis, u'i', 239, 1},                                  // i -> ï
      {ToggleDiaeresis, 239, u'i', 1}, {ToggleDiaeresis, 238, 239, 1},  // î -> ï
      {ToggleAcute, u'E', u'E', 0},  // capitals are not in the accent table
      {ToggleGrave, u'x', u'x', 0},    {ToggleDiaeresis, 255, 255, 0},
  };
  for (const Toggle& t : toggles) {
    char16_t c = t.from;
    EXPECT_EQ(t.fn(&c), t.result) << int(t.from);
    EXPECT_EQ(c, t.to) << int(t.from);
  }
}

TEST(TextUtilAccents, RemoveAccent) {
  struct Removal {
    char16_t from;
    char16_t to;
    int result;
  };
  const Removal removals[] = {
      {0x17D, u'Z', 1}, {231, u'c', 1}, {161, u'!', 1}, {191, u'?', 1},  {223, u's', 1},
      {196, u'A', 1},   {201, u'E', 1}, {241, u'n', 1}, {225, u'a', 1},  {234, u'e', 1},
      {236, u'i', 1},   {246, u'o', 1}, {252, u'u', 1}, {u'a', u'a', 0}, {u'S', u'S', 0},
      {u'x', u'x', 0},  {255, 255, 0},
  };
  for (const Removal& r : removals) {
    char16_t c = r.from;
    EXPECT_EQ(RemoveAccent(&c), r.result) << int(r.from);
    EXPECT_EQ(c, r.to) << int(r.from);
  }
}

// ---- Case cycling ----

TEST(TextUtilCase, CycleCaseSequence) {
  QString text = QStringLiteral("hello world");
  const char* expected[] = {"Hello world", "Hello World", "HELLO WORLD", "hello world",
                            "Hello world"};
  for (const char* step : expected) {
    EXPECT_EQ(CycleCase(text, int(text.size())), 1);
    EXPECT_EQ(text, QString::fromLatin1(step));
  }
}

TEST(TextUtilCase, CycleCaseTable) {
  struct Case {
    const char16_t* before;
    int count;
    const char16_t* after;
    int result;
  };
  const Case cases[] = {
      {u"  x", 3, u"  X", 1},
      {u"123", 3, u"123", 0},
      {u"", 0, u"", 0},
      {u"A", 1, u"a", 1},                       // 2: lone capital at the end
      {u"Ab", 1, u"ab", 1},                     // the count ends after the capital
      {u"hELLO", 5, u"Hello", 1},               // 1
      {u"Hello wORLD", 11, u"Hello World", 1},  // 3: the rest of each word lower
      {u"HELLO world", 11, u"Hello World", 1},  // 3: the current word's rest lower too
      {u"Ab-cd", 5, u"Ab-Cd", 1},               // 3
      {u"AbC", 3, u"ABC", 1},                   // 4
      {u"ABC DEF", 7, u"abc def", 1},           // 5
      {u"1ABC", 4, u"1abc", 1},                 // 5 from the first letter
      {u"hello world", 5, u"Hello world", 1},   // only within the count
      {u"Hello World", 5, u"HELLO World", 1},
      {u"école", 5, u"École", 1},
      {u"ÉCOLE", 5, u"école", 1},
      {u"Über alles", 10, u"Über Alles", 1},
      {u"xyz", 99, u"Xyz", 1},  // the count is cut to the text
      {u"ßa", 2, u"ßA", 1},     // ß is no letter: 'a' is the first letter
  };
  for (const Case& c : cases) {
    QString text = U(c.before);
    EXPECT_EQ(CycleCase(text, c.count), c.result) << text.toStdString();
    EXPECT_EQ(text, U(c.after)) << U(c.before).toStdString();
  }
}

TEST(TextUtilCase, CycleCaseOnBuffer) {
  char16_t buffer[] = u"abc def";
  EXPECT_EQ(CycleCase(buffer, 7), 1);
  EXPECT_EQ(QString::fromUtf16(buffer), QStringLiteral("Abc def"));
  EXPECT_EQ(CycleCase(buffer, 0), 0);
  EXPECT_EQ(CycleCase(static_cast<char16_t*>(nullptr), 3), 0);
}

// ---- Search and comparison ----

TEST(TextUtilSearch, Characters) {
  const QString text = QStringLiteral("a,b;c,d");
  EXPECT_EQ(FindChar(text, u','), 1);
  EXPECT_EQ(FindChar(text, u'x'), -1);
  EXPECT_EQ(FindChar(text, 0), 7);
  EXPECT_EQ(FindChar(QString(), 0), 0);
  EXPECT_EQ(FindEitherChar(text, u';', u'd'), 3);
  EXPECT_EQ(FindEitherChar(text, u'x', u'y'), -1);
  EXPECT_EQ(FindLastChar(text, u','), 5);
  EXPECT_EQ(FindLastChar(text, u'x'), -1);
  EXPECT_EQ(CountChar(text, u','), 2);
  EXPECT_EQ(CountChar(text, u'x'), 0);
}

TEST(TextUtilSearch, StartsWithNoCase) {
  EXPECT_EQ(StartsWithNoCase(QStringLiteral("Hello"), QStringLiteral("hEL")), 1);
  EXPECT_EQ(StartsWithNoCase(QStringLiteral("Hello"), QString()), 1);
  EXPECT_EQ(StartsWithNoCase(QStringLiteral("He"), QStringLiteral("Hel")), 0);
  EXPECT_EQ(StartsWithNoCase(QStringLiteral("Hello"), QStringLiteral("Hex")), 0);
  EXPECT_EQ(StartsWithNoCase(U(u"École"), U(u"é")), 1);
}

struct Comparison {
  const char16_t* a;
  const char16_t* b;
  int n;
  int expected;
};

TEST(TextUtilCompare, CompareNoCase) {
  const Comparison cases[] = {
      {u"abc", u"ABC", 0, 0}, {u"abc", u"abd", 0, -1}, {u"abd", u"ABC", 0, 1},
      {u"ab", u"abc", 0, -1}, {u"abc", u"ab", 0, 1},   {u"", u"", 0, 0},
      {u"é", u"É", 0, 0},     {u"ÿ", u"Ÿ", 0, -1},     {u"a", u"[", 0, -1},  // 'A' < '['
      {u"×", u"÷", 0, -1},
  };
  for (const Comparison& c : cases)
    EXPECT_EQ(CompareNoCase(U(c.a), U(c.b)), c.expected)
        << U(c.a).toStdString() << " / " << U(c.b).toStdString();
}

TEST(TextUtilCompare, CompareNoCaseN) {
  const Comparison cases[] = {
      {u"abc", u"ABCd", 3, 0}, {u"abc", u"abc", 5, -1}, {u"abcd", u"abcx", 3, 1},
      {u"abc", u"abd", 3, -1}, {u"abd", u"abc", 3, 1},  {u"abc", u"ab", 3, 1},
      {u"", u"abc", 0, 0},     {u"a", u"abc", 0, 1},    {u"ab", u"ab", 2, 0},
      {u"ab", u"", 2, 1},
  };
  for (const Comparison& c : cases)
    EXPECT_EQ(CompareNoCaseN(U(c.a), U(c.b), c.n), c.expected)
        << U(c.a).toStdString() << " / " << U(c.b).toStdString() << " / " << c.n;
}

TEST(TextUtilCompare, CompareNoCaseTrimmed) {
  const Comparison cases[] = {
      {u"abc", u"ABC   ", 0, 0}, {u"abc   ", u"ABC", 0, 0}, {u"abc", u"abcd", 0, 1},
      {u"abcd", u"abc", 0, -1},  {u"abc", u"abc  d", 0, 1}, {u"abc", u"abd", 0, -1},
      {u"", u"  ", 0, 0},        {u"", u"", 0, 0},          {u"ABC", u"abc", 0, 0},
  };
  for (const Comparison& c : cases)
    EXPECT_EQ(CompareNoCaseTrimmed(U(c.a), U(c.b)), c.expected)
        << U(c.a).toStdString() << " / " << U(c.b).toStdString();
}

TEST(TextUtilCompare, CompareNatural) {
  const Comparison cases[] = {
      {u"Item 9", u"Item 10", 0, -1},
      {u"item 10", u"Item 10.0", 0, 0},
      {u"Item 9b", u"Item 10b", 0, 1},
      {u"Item 10", u"Item 9", 0, 1},
      {u"Item 2.5", u"Item 2.25", 0, 1},
      {u"abc", u"ABD", 0, -1},
      {u"abc", u"ab", 0, 1},
      {u"", u"", 0, 0},
      {u"A1", u"b1", 0, -1},
      {u"x 1,000", u"x 999", 0, 1},
  };
  for (const Comparison& c : cases)
    EXPECT_EQ(CompareNatural(U(c.a), U(c.b)), c.expected)
        << U(c.a).toStdString() << " / " << U(c.b).toStdString();
}

TEST(TextUtilSearch, FindWord) {
  struct Case {
    const char16_t* text;
    const char16_t* word;
    bool whole;
    int start;
    int noCase;
    int exact;
  };
  const Case cases[] = {
      {u"the cat sat", u"CAT", false, 0, 4, -1},
      {u"the cat sat", u"cat", false, 0, 4, 4},
      {u"the cat sat", u"at", false, 0, 5, 5},
      {u"the cat sat", u"at", false, 6, 9, 9},
      {u"the cat sat", u"at", true, 0, -1, -1},
      {u"the cat sat", u"sat", true, 0, 8, 8},
      {u"the cat sat", u"the", true, 0, 0, 0},
      {u"cats cat", u"cat", true, 0, 5, 5},
      {u"abc", u"", false, 0, 0, 0},
      {u"abc", u"b", false, 4, -1, -1},  // text shorter than start
      {u"abc", u"abcd", false, 0, -1, -1},
      {u"ÉCOLE école", u"école", true, 0, 0, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindWordNoCase(U(c.text), U(c.word), c.whole, c.start), c.noCase)
        << U(c.text).toStdString() << " / " << U(c.word).toStdString();
    EXPECT_EQ(FindWord(U(c.text), U(c.word), c.whole, c.start), c.exact)
        << U(c.text).toStdString() << " / " << U(c.word).toStdString();
  }
}

TEST(TextUtilSearch, FindLastWordNoCase) {
  const QString text = QStringLiteral("cat Cat scat cat");
  EXPECT_EQ(FindLastWordNoCase(text, QStringLiteral("CAT"), false, -1), 13);
  EXPECT_EQ(FindLastWordNoCase(text, QStringLiteral("cat"), false, 12), 9);
  EXPECT_EQ(FindLastWordNoCase(text, QStringLiteral("cat"), true, 12), 4);
  EXPECT_EQ(FindLastWordNoCase(text, QStringLiteral("cat"), false, 99), 13);  // ignored
  EXPECT_EQ(FindLastWordNoCase(text, QStringLiteral("dog"), false, -1), -1);
  EXPECT_EQ(FindLastWordNoCase(QStringLiteral("ab"), QStringLiteral("abc"), false, -1), -1);
  EXPECT_EQ(FindLastWordNoCase(text, QString(), false, -1), 0);
}

TEST(TextUtilSearch, IsWebAddress) {
  EXPECT_EQ(IsWebAddress(QStringLiteral("http://example.org")), 1);
  EXPECT_EQ(IsWebAddress(QStringLiteral("  HTTPS://example.org")), 1);
  EXPECT_EQ(IsWebAddress(QStringLiteral("HtTp://")), 1);
  EXPECT_EQ(IsWebAddress(QStringLiteral("ftp://example.org")), 0);
  EXPECT_EQ(IsWebAddress(QStringLiteral("http:/x")), 0);
  EXPECT_EQ(IsWebAddress(QStringLiteral("www.example.org")), 0);
  EXPECT_EQ(IsWebAddress(QString()), 0);
}

// ---- Copy, trim and edit ----

TEST(TextUtilEdit, CopyLeft) {
  QString out = QStringLiteral("old");
  EXPECT_EQ(CopyLeft(out, QStringLiteral("abcdef"), 3), 1);
  EXPECT_EQ(out, QStringLiteral("abc"));
  EXPECT_EQ(CopyLeft(out, QStringLiteral("ab"), 5), 1);
  EXPECT_EQ(out, QStringLiteral("ab"));
  EXPECT_EQ(CopyLeft(out, QStringLiteral("ab"), 0), 1);
  EXPECT_EQ(out, QString());
}

TEST(TextUtilEdit, CopyLeftReportsAllocationFailure) {
  // The glitch report writes a glitch file: keep it inside a temporary folder.
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ResetLogState();
  struct HookRestore {
    LogHooks saved = GetLogHooks();
    ~HookRestore() {
      GetLogHooks() = saved;
      ResetLogState();
    }
  } restore;
  LogHooks& hooks = GetLogHooks();
  hooks.roamingDataFolder = [&] { return folder.path(); };
  hooks.myDocumentsFolder = [&] { return folder.path(); };
  hooks.sendGlitchReport = [](std::int64_t) {};
  g_logFolderOverride = 0;

  QString out = QStringLiteral("old");
  g_copyLeftFailuresForTest = 1;
  EXPECT_EQ(CopyLeft(out, QStringLiteral("abcdef"), 3), 0);
  EXPECT_TRUE(out.isEmpty());
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 20248);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  EXPECT_EQ(g_copyLeftFailuresForTest, 0);
  EXPECT_EQ(CopyLeft(out, QStringLiteral("abcdef"), 3), 1);
  EXPECT_EQ(out, QStringLiteral("abc"));
}

TEST(TextUtilEdit, CopyTextN) {
  std::array<char16_t, 5> out;
  out.fill(u'#');
  EXPECT_EQ(CopyTextN(out.data(), 5, QStringLiteral("abcdefgh"), 10), 4);
  EXPECT_EQ(QString::fromUtf16(out.data()), QStringLiteral("abcd"));
  EXPECT_EQ(CopyTextN(out.data(), 5, QStringLiteral("abcdefgh"), 2), 2);
  EXPECT_EQ(QString::fromUtf16(out.data()), QStringLiteral("ab"));
  EXPECT_EQ(CopyTextN(out.data(), 5, QStringLiteral("x"), 3), 1);
  EXPECT_EQ(QString::fromUtf16(out.data()), QStringLiteral("x"));
  out.fill(u'#');
  EXPECT_EQ(CopyTextN(out.data(), 0, QStringLiteral("abc"), 3), 0);
  EXPECT_EQ(out[0], u'#');  // nothing written
  EXPECT_EQ(CopyTextN(out.data(), 1, QStringLiteral("abc"), 3), 0);
  EXPECT_EQ(out[0], 0);
}

TEST(TextUtilEdit, AppendChars) {
  QString s = QStringLiteral("ab");
  AppendChars(s, QStringLiteral("cdef"), 2);
  EXPECT_EQ(s, QStringLiteral("abcd"));
  AppendChars(s, QStringLiteral("xy"), 10);
  EXPECT_EQ(s, QStringLiteral("abcdxy"));
  AppendChars(s, QStringLiteral("z"), 0);
  EXPECT_EQ(s, QStringLiteral("abcdxy"));
}

TEST(TextUtilEdit, SkipBlanks) {
  const char16_t* text = u"   x y";
  const char16_t* cursor = text;
  SkipBlanks(cursor);
  EXPECT_EQ(cursor, text + 3);
  SkipBlanks(cursor);
  EXPECT_EQ(cursor, text + 3);
  EXPECT_EQ(SkipBlanks(QStringLiteral("a  b"), 1), 3);
  EXPECT_EQ(SkipBlanks(QStringLiteral("   "), 0), 3);
}

TEST(TextUtilEdit, Trim) {
  struct Case {
    const char* before;
    const char* after;
    int trimText;
    int trailingCut;
  };
  const Case cases[] = {
      {"  ab c  ", "ab c", 1, 6},  {"ab", "ab", 0, -1}, {"ab  ", "ab", 1, 2},
      {"  ab", "ab", 1, -1},       {"    ", "", 1, 0},  {"", "", 0, -1},
      {"\tab\t", "\tab\t", 0, -1},
  };
  for (const Case& c : cases) {
    QString text = QString::fromLatin1(c.before);
    EXPECT_EQ(TrimText(text), c.trimText) << c.before;
    EXPECT_EQ(text, QString::fromLatin1(c.after)) << c.before;
    text = QString::fromLatin1(c.before);
    EXPECT_EQ(TrimTrailingBlanks(text), c.trailingCut) << c.before;
  }
  QString s = QStringLiteral(" pack 2 ");
  s += QChar(0);
  s += QStringLiteral("rest");
  TrimString(s);
  EXPECT_EQ(s, QStringLiteral("pack 2"));
}

TEST(TextUtilEdit, ShiftText) {
  struct Case {
    const char* before;
    int pos;
    int shift;
    const char* after;
  };
  const Case cases[] = {
      {"abcdef", 2, 0, "abcdef"},   {"abcdef", 7, 2, "abcdef"},    {"abcdef", 2, 2, "abcdcdef"},
      {"abcdef", 6, 2, "abcdef  "}, {"abcdef", 5, 3, "abcdef  f"}, {"abcdef", 4, -2, "abef"},
      {"abcdef", 1, -2, "abcdef"},  {"abcdef", 6, -6, ""},         {"abc", 0, 1, "aabc"},
  };
  for (const Case& c : cases) {
    QString text = QString::fromLatin1(c.before);
    ShiftText(text, c.pos, c.shift);
    EXPECT_EQ(text, QString::fromLatin1(c.after)) << c.before << " " << c.pos << " " << c.shift;
  }
}

TEST(TextUtilEdit, RemoveMnemonicAndQuote) {
  QString out;
  RemoveMnemonic(QStringLiteral("&File && more"), out);
  EXPECT_EQ(out, QStringLiteral("File && more"));
  RemoveMnemonic(QStringLiteral("Plain"), out);
  EXPECT_EQ(out, QStringLiteral("Plain"));
  QString s = QStringLiteral("say \"hi\"");
  QuoteCsvField(s);
  EXPECT_EQ(s, QStringLiteral("\"say \"\"hi\"\"\""));
  s.clear();
  QuoteCsvField(s);
  EXPECT_EQ(s, QStringLiteral("\"\""));
}

TEST(TextUtilEdit, LineBreakEncoding) {
  const QString del(QChar(char16_t(127)));
  struct Case {
    QString plain;
    QString encoded;
  };
  const Case encodeCases[] = {
      {QStringLiteral("one\r\ntwo"), QStringLiteral("one") + del + QStringLiteral("two")},
      {QStringLiteral("one\ntwo"), QStringLiteral("onetwo")},
      {QStringLiteral("one\rtwo"), QStringLiteral("one") + del + QStringLiteral("two")},
      {QStringLiteral("a\r\n\r\nb\r\n"),
       QStringLiteral("a") + del + del + QStringLiteral("b") + del},
      {QStringLiteral("plain"), QStringLiteral("plain")},
      {QString(), QString()},
  };
  for (const Case& c : encodeCases) EXPECT_EQ(EncodeLineBreaks(c.plain), c.encoded);
  EXPECT_EQ(DecodeLineBreaks(QStringLiteral("one") + del + QStringLiteral("two")),
            QStringLiteral("one\r\ntwo"));
  EXPECT_EQ(DecodeLineBreaks(del + del), QStringLiteral("\r\n\r\n"));
  EXPECT_EQ(DecodeLineBreaks(QStringLiteral("x")), QStringLiteral("x"));
  const QString text = QStringLiteral("first\r\nsecond\r\nthird");
  EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(text)), text);
}

// ---- Fields ----

TEST(TextUtilFields, GetCommaItem) {
  const QString text = QStringLiteral("a, b ,c");
  const char* expected[] = {"a", "b", "c", ""};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetCommaItem(text, i), QString::fromLatin1(expected[i]));
  EXPECT_EQ(GetCommaItem(text, -1), QString());
  EXPECT_EQ(GetCommaItem(QStringLiteral(",,x"), 1), QString());
  EXPECT_EQ(GetCommaItem(QStringLiteral(",,x"), 2), QStringLiteral("x"));
  EXPECT_EQ(GetCommaItem(QString(), 0), QString());
}

TEST(TextUtilFields, TakeField) {
  struct Case {
    const char* before;
    char16_t separator;
    const char* field;
    const char* rest;
  };
  const Case cases[] = {
      {" a , b,c", u',', "a", " b,c"}, {",b", u',', "", "b"}, {"  whole  ", u',', "whole", ""},
      {"x;y", u';', "x", "y"},         {"", u',', "", ""},    {"a,", u',', "a", ""},
  };
  for (const Case& c : cases) {
    QString s = QString::fromLatin1(c.before);
    EXPECT_EQ(TakeField(s, c.separator), QString::fromLatin1(c.field)) << c.before;
    EXPECT_EQ(s, QString::fromLatin1(c.rest)) << c.before;
  }
}

TEST(TextUtilFields, TakeCsvField) {
  struct Case {
    const char* before;
    const char* field;
    const char* rest;
  };
  const Case cases[] = {
      {"\"say \"\"hi\"\" \",next", "say \"hi\"", ",next"},
      {"  \" padded \" tail", "padded", " tail"},
      {"\"no end \"\"quote ", "no end \"quote", ""},  // the rest, untrimmed
      {" a , b", "a", " b"},
      {"plain", "plain", ""},
      {"\"\"", "", ""},
  };
  for (const Case& c : cases) {
    QString s = QString::fromLatin1(c.before);
    EXPECT_EQ(TakeCsvField(s), QString::fromLatin1(c.field)) << c.before;
    EXPECT_EQ(s, QString::fromLatin1(c.rest)) << c.before;
  }
  // Quoting and taking back give the field again.
  QString quoted = QStringLiteral("He said \"no\", twice");
  QuoteCsvField(quoted);
  quoted += QStringLiteral(",x");
  EXPECT_EQ(TakeCsvField(quoted), QStringLiteral("He said \"no\", twice"));
  EXPECT_EQ(quoted, QStringLiteral(",x"));
}

TEST(TextUtilFields, SplitTrailingNumber) {
  struct Case {
    const char* before;
    int number;
    const char* after;
  };
  const Case cases[] = {
      {"Box 12", 12, "Box"},   {"a 1", 1, "a"},
      {"Box  7", 7, "Box "},   {"Box 9999", 9999, "Box"},
      {"Box 0012", 12, "Box"}, {"Box12", -1, "Box12"},
      {"12", -1, "12"},        {"Box 12345", -1, "Box 12345"},
      {"Box ", -1, "Box "},    {" 12", -1, " 12"},
      {"a b", -1, "a b"},      {"", -1, ""},
      {"x\t3", -1, "x\t3"},
  };
  for (const Case& c : cases) {
    QString s = QString::fromLatin1(c.before);
    EXPECT_EQ(SplitTrailingNumber(s), c.number) << c.before;
    EXPECT_EQ(s, QString::fromLatin1(c.after)) << c.before;
  }
}

// ---- Product and tool names ----

TEST(TextUtilProducts, OnlyThisProgramsKindIsKnown) {
  EXPECT_EQ(GetProductName(3), QStringLiteral("Zephorin"));
  EXPECT_EQ(GetProductVersionDigit(3), 3);
  EXPECT_EQ(GetProductName(3) + QString::number(GetProductVersionDigit(3)),
            QStringLiteral("Zephorin3"));
  for (int kind : {-1, 0, 1, 2, 4, 99}) {
    EXPECT_TRUE(GetProductName(kind).isEmpty()) << kind;
    EXPECT_EQ(GetProductVersionDigit(kind), 0) << kind;
  }
  for (int number = -1; number <= 11; ++number) EXPECT_TRUE(GetToolName(number).isEmpty());
  EXPECT_EQ(g_productKind, 3);
  g_productKind = 5;
  ResetProductKind();
  EXPECT_EQ(g_productKind, 3);
}

}  // namespace
