// The word lists: adding, clearing and reading words, the user's list file, and the lists of
// the drawings with their registration.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <random>

#include "spell_fixture.h"
#include "support/filestatus.h"
#include "support/textfile.h"

using namespace spelltest;

namespace {

QStringList WordsOf(CDocDict& list) {
  QStringList words;
  list.RewindWords();
  for (QString w = list.GetNextWord(); !w.isEmpty(); w = list.GetNextWord()) words << w;
  return words;
}

// Distinct words of 36 letters.
QString LongWord(int n) {
  QString w(kMaxWordLength, u'Q');
  for (int k = 0; k < 4; ++k, n /= 26) w[k] = QChar(u'A' + n % 26);
  return w;
}

TEST(WordLists, AddedTextsBecomeWords) {
  struct Case {
    QString text;
    int length;
    const char* stored;  // empty: nothing stored
  };
  const Case cases[] = {
      {QStringLiteral("ca n't"), -1, "CAN'T"},
      {QStringLiteral("-ok"), -1, "OK"},
      {QStringLiteral("3D"), -1, "D"},
      {QString::fromUtf16(u"\u00e9clair"), -1, "ECLAIR"},
      {QStringLiteral("rock-'n'-roll"), -1, "ROCK-'N'-ROLL"},
      {QStringLiteral("Hello world"), 5, "HELLO"},
      {QStringLiteral("Hello world"), 0, "HELLOWORLD"},
      {QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"), -1, "AB"},
      {QString(40, u'y'), -1, "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY"},
      {QStringLiteral("' - 42"), -1, ""},
      {QString(), -1, ""},
  };
  for (const Case& c : cases) {
    CDocDict list(nullptr);
    EXPECT_EQ(list.AddWord(c.text, c.length), 1) << c.stored;
    const QStringList expected =
        *c.stored ? QStringList{QString::fromLatin1(c.stored)} : QStringList();
    EXPECT_EQ(WordsOf(list), expected) << c.stored;
    EXPECT_EQ(list.IsModified(), *c.stored ? 1 : 0) << c.stored;
  }
}

TEST(WordLists, AWordIsKeptOnceAndFoundExactly) {
  CDocDict list(nullptr);
  EXPECT_EQ(list.GetWordCount(), 0);
  EXPECT_EQ(list.GetNextWord(), QString());
  EXPECT_EQ(list.ContainsWord(QStringLiteral("CAT")), 0);
  ASSERT_EQ(list.AddWord(QStringLiteral("cat")), 1);
  ASSERT_EQ(list.AddWord(QStringLiteral("cattle")), 1);
  list.ClearModified();
  ASSERT_EQ(list.AddWord(QStringLiteral("Cat")), 1);
  EXPECT_EQ(list.IsModified(), 0);
  EXPECT_EQ(list.GetWordCount(), 2);
  EXPECT_EQ(list.ContainsWord(QStringLiteral("CAT")), 1);
  EXPECT_EQ(list.ContainsWord(QStringLiteral("CATTLE")), 1);
  EXPECT_EQ(list.ContainsWord(QStringLiteral("CATT")), 0);
  EXPECT_EQ(list.ContainsWord(QStringLiteral("cat")), 0);
  EXPECT_EQ(list.ContainsWord(u"CATS", 3), 1);
  EXPECT_EQ(list.ContainsWord(u"CATTLE", -1), 1);
  EXPECT_EQ(WordsOf(list), (QStringList{"CAT", "CATTLE"}));
  EXPECT_EQ(list.GetUsed(), 1 + 4 + 7);
}

TEST(WordLists, ClearingEmptiesTheListAndMarksItChanged) {
  CDocDict list(nullptr);
  list.AddWord(QStringLiteral("one"));
  list.AddWord(QStringLiteral("two"));
  list.ClearModified();
  const int capacity = list.GetCapacity();
  list.Clear();
  EXPECT_EQ(list.IsModified(), 1);
  EXPECT_EQ(list.GetWordCount(), 0);
  EXPECT_EQ(list.GetCapacity(), capacity);
  EXPECT_EQ(list.ContainsWord(QStringLiteral("ONE")), 0);
  list.AddWord(QStringLiteral("three"));
  EXPECT_EQ(WordsOf(list), QStringList{"THREE"});

  // Removing a word the way the dictionary dialog does: clear, then add back the others.
  list.AddWord(QStringLiteral("four"));
  list.AddWord(QStringLiteral("five"));
  QStringList kept = WordsOf(list);
  kept.removeAll(QStringLiteral("FOUR"));
  list.Clear();
  for (const QString& w : kept) list.AddWord(w);
  EXPECT_EQ(WordsOf(list), (QStringList{"THREE", "FIVE"}));
}

TEST(WordLists, AFullListRefusesMoreWordsAndStaysIntact) {
  CDocDict list(nullptr);
  int added = 0;
  int result = 1;
  while ((result = list.AddWord(LongWord(added))) == 1) {
    ++added;
    ASSERT_LE(list.GetUsed(), kDocDictUsedLimit);
    ASSERT_GT(list.GetUsed(), 0);
    ASSERT_LT(added, 2000);
  }
  EXPECT_EQ(result, 0);
  // The characters in use never pass what their 16-bit count holds.
  EXPECT_GT(list.GetUsed(), kDocDictUsedLimit - kMaxWordLength - 1);
  EXPECT_EQ(list.GetWordCount(), added);
  EXPECT_EQ(list.ContainsWord(LongWord(added)), 0);
  EXPECT_EQ(list.ContainsWord(LongWord(0)), 1);
  EXPECT_EQ(list.ContainsWord(LongWord(added - 1)), 1);
  EXPECT_EQ(WordsOf(list).size(), added);
  // A word already there is still accepted; a short new one may still fit.
  EXPECT_EQ(list.AddWord(LongWord(3)), 1);
}

// ---- The checker's lists ----

TEST(WordLists, TheUserListIsReadFromTheProgramFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CSpell checker;
  g_fileStatus = kFileOk;
  checker.LoadUserDictionary(dir.path());  // no file: an empty list and no failure
  EXPECT_EQ(checker.GetUserList()->GetWordCount(), 0);
  EXPECT_EQ(g_fileStatus, kFileOk);

  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(dir.filePath("USERDICT.SCF")), 1);
  for (const QString& line :
       {QStringLiteral("Zephorin"), QStringLiteral(""), QStringLiteral("caf\u00e9"),
        QStringLiteral("zephorin"), QStringLiteral("o'clock"), QStringLiteral("last")})
    writer.WriteLine(line);
  writer.WriteText(QStringLiteral("unended"));
  writer.Close();
  ASSERT_EQ(g_fileStatus, kFileOk);

  checker.LoadUserDictionary(dir.path());
  EXPECT_EQ(WordsOf(*checker.GetUserList()),
            (QStringList{"ZEPHORIN", "CAFE", "O'CLOCK", "LAST", "UNENDED"}));
  EXPECT_EQ(checker.GetUserList()->IsModified(), 0);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_TRUE(Knows(checker, "Zephorin"));
  EXPECT_TRUE(Knows(checker, "o'clock"));
  EXPECT_TRUE(Knows(checker, "caf\u00e9"));
}

// What reading the whole list file line by line gives; full: whether the list then has no
// room left for a word.
QStringList FullRead(const QString& path, bool* full = nullptr) {
  CDocDict list(nullptr);
  CTextFileReader reader;
  if (reader.Open(path) == 0) return {};
  QString line;
  while (reader.ReadLine(line) && g_fileStatus == kFileOk) list.AddWord(line, -1);
  reader.Close();
  g_fileStatus = kFileOk;
  if (full != nullptr) *full = !list.HasRoomForAWord();
  return WordsOf(list);
}

// Random bytes with a line end after every lineLength bytes on average; no other CR or LF.
QByteArray Junk(qsizetype size, int lineLength, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray bytes(size, '\0');
  for (qsizetype i = 0; i < size; ++i) {
    char c = char(random() & 0xFF);
    if (c == '\r' || c == '\n') c = 'x';
    if (random() % unsigned(lineLength) == 0) c = '\n';
    bytes[i] = c;
  }
  return bytes;
}

TEST(WordLists, AUserListThatFillsUpIsWhatReadingItToTheEndGives) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // Words that leave room for exactly one more letter, then words that no longer fit and one
  // that still does.
  QStringList filled;
  int used = 1;
  for (int n = 0; used + kMaxWordLength + 1 <= kDocDictUsedLimit - 2; ++n) {
    filled << LongWord(n);
    used += kMaxWordLength + 1;
  }
  const int rest = kDocDictUsedLimit - 2 - used - 1;
  if (rest > 0) filled << QString(rest, u'Z');
  QByteArray exact = filled.join(u'\n').toLatin1();
  exact += "\nAB\nQ\nB\n";

  // Junk that fills the list within its first lines, followed by 50 MB more.
  const QByteArray junk = Junk(128 << 10, 40, 1);
  struct Case {
    const char* name;
    QByteArray bytes;
    QByteArray fullyRead;  // what reading to the end reads: once full, nothing more counts
  };
  const Case cases[] = {
      {"exactly full", exact, exact},
      {"50 MB of junk", junk + Junk(1 << 20, 40, 2).repeated(50), junk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto put = [&](const QString& name, const QByteArray& bytes) {
      QFile file(dir.filePath(name));
      return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
             file.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(put("USERDICT.SCF", c.bytes));
    ASSERT_TRUE(put("reference.txt", c.fullyRead));
    CSpell checker;
    g_fileStatus = kFileOk;
    checker.LoadUserDictionary(dir.path());
    EXPECT_EQ(g_fileStatus, kFileOk);
    EXPECT_FALSE(checker.GetUserList()->HasRoomForAWord());
    bool full = false;
    EXPECT_EQ(WordsOf(*checker.GetUserList()), FullRead(dir.filePath("reference.txt"), &full));
    EXPECT_TRUE(full);
  }
}

TEST(WordLists, ADrawingListSavedAndReadBackAsAUserList) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CSpell checker;
  std::unique_ptr<CDocDict> drawing = checker.CreateDocDict();
  ASSERT_TRUE(drawing);
  for (const char* w : {"spline", "Zephorin", "isn't"}) drawing->AddWord(QString::fromLatin1(w));

  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(dir.filePath("USERDICT.SCF")), 1);
  drawing->RewindWords();
  for (QString w = drawing->GetNextWord(); !w.isEmpty(); w = drawing->GetNextWord())
    writer.WriteLine(w);
  writer.Close();

  CSpell other;
  other.LoadUserDictionary(dir.path());
  EXPECT_EQ(WordsOf(*other.GetUserList()), WordsOf(*drawing));
}

TEST(WordLists, DrawingListsAreKeptApartFromTheUserList) {
  CSpell checker;
  std::unique_ptr<CDocDict> drawing = checker.CreateDocDict();
  ASSERT_TRUE(drawing);
  EXPECT_EQ(drawing->GetOwner(), &checker);
  checker.SetCurrentDocDict(drawing.get());
  checker.GetUserList()->AddWord(QStringLiteral("teacher"));

  ASSERT_TRUE(TakeWord(checker, "gizmo"));
  EXPECT_EQ(checker.IsKnownWord(), 0);
  EXPECT_EQ(checker.AddCurrentWord(2), 1);
  EXPECT_EQ(drawing->IsModified(), 1);
  EXPECT_EQ(WordsOf(*drawing), QStringList{"GIZMO"});
  EXPECT_EQ(checker.GetUserList()->ContainsWord(QStringLiteral("GIZMO")), 0);
  EXPECT_TRUE(Knows(checker, "Gizmo"));
  EXPECT_TRUE(Knows(checker, "teacher"));

  ASSERT_TRUE(TakeWord(checker, "widget"));
  EXPECT_EQ(checker.AddCurrentWord(1), 1);
  EXPECT_EQ(checker.GetSecondList()->ContainsWord(QStringLiteral("WIDGET")), 1);
  ASSERT_TRUE(TakeWord(checker, "sprocket"));
  EXPECT_EQ(checker.AddCurrentWord(3), 1);
  EXPECT_EQ(checker.GetUserList()->ContainsWord(QStringLiteral("SPROCKET")), 1);
  EXPECT_EQ(checker.AddCurrentWord(4), 1);

  // Reading another drawing gives it a fresh list: the old drawing's words go with it.
  drawing.reset();
  EXPECT_EQ(checker.GetCurrentDocDict(), nullptr);
  EXPECT_EQ(checker.GetRegisteredCount(), 0);
  EXPECT_FALSE(Knows(checker, "gizmo"));
  EXPECT_TRUE(Knows(checker, "teacher"));
  EXPECT_TRUE(Knows(checker, "widget"));
  ASSERT_TRUE(TakeWord(checker, "gizmo"));
  EXPECT_EQ(checker.AddCurrentWord(2), 1);  // no current list: nothing changes
  EXPECT_FALSE(Knows(checker, "gizmo"));
}

TEST(WordLists, AtMostTenDrawingListsAreConsulted) {
  CSpell checker;
  std::vector<std::unique_ptr<CDocDict>> lists;
  for (int i = 0; i < 11; ++i) {
    lists.push_back(checker.CreateDocDict());
    ASSERT_TRUE(lists.back());
    lists.back()->AddWord(QStringLiteral("word") + QChar(u'a' + i));
  }
  EXPECT_EQ(checker.GetRegisteredCount(), 10);
  EXPECT_EQ(lists[10]->GetOwner(), nullptr);
  for (int i = 0; i < 10; ++i)
    EXPECT_TRUE(Knows(checker, QStringLiteral("word") + QChar(u'a' + i))) << i;
  EXPECT_FALSE(Knows(checker, "wordk"));

  // Unregistering moves the later lists up; the eleventh stays unseen.
  checker.SetCurrentDocDict(lists[5].get());
  lists[3].reset();
  EXPECT_EQ(checker.GetRegisteredCount(), 9);
  EXPECT_EQ(checker.GetCurrentDocDict(), lists[5].get());
  EXPECT_FALSE(Knows(checker, "wordd"));
  EXPECT_TRUE(Knows(checker, "wordj"));
  EXPECT_FALSE(Knows(checker, "wordk"));
  lists[10].reset();
  EXPECT_EQ(checker.GetRegisteredCount(), 9);
}

TEST(WordLists, AListMayOutliveItsChecker) {
  std::unique_ptr<CDocDict> list;
  {
    CSpell checker;
    list = checker.CreateDocDict();
    ASSERT_TRUE(list);
    list->AddWord(QStringLiteral("kept"));
  }
  EXPECT_EQ(list->GetOwner(), nullptr);
  EXPECT_EQ(list->ContainsWord(QStringLiteral("KEPT")), 1);
  list.reset();
}

TEST(WordLists, TheProgramWideCheckerStartsUnloaded) {
  ResetSpellState();
  EXPECT_EQ(g_spellChecker, nullptr);
  EXPECT_EQ(g_mainDictionaryStatus, kDictionaryNotLoadedYet);
  g_spellChecker = std::make_unique<CSpell>();
  g_mainDictionaryStatus = g_spellChecker->LoadMainDictionary(QStringLiteral("/nonexistent"));
  EXPECT_EQ(g_mainDictionaryStatus, kDictionaryNotFound);
  ResetSpellState();
  EXPECT_EQ(g_spellChecker, nullptr);
  EXPECT_EQ(g_mainDictionaryStatus, kDictionaryNotLoadedYet);
}

}  // namespace
