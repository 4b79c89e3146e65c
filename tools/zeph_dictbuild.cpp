// Builds the main dictionary "ZDICT.SPE" from a word list of one word a line (UTF-8), and
// verifies a dictionary file against its word list: every word of the list must be known, and
// no word made by changing a word's last letter may be known unless the list has it too.
//
//   zeph_dictbuild build <word list> <ZDICT.SPE>    builds, writes and verifies
//   zeph_dictbuild verify <ZDICT.SPE> <word list>   verifies only
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include "dictwriter.h"
#include "spell/spell.h"
#include "support/log.h"

namespace {

QTextStream& Out() {
  static QTextStream out(stdout);
  return out;
}

QTextStream& Err() {
  static QTextStream err(stderr);
  return err;
}

bool ReadLines(const QString& path, QStringList& lines) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Err() << "cannot open the word list " << path << Qt::endl;
    return false;
  }
  const QString text = QString::fromUtf8(file.readAll());
  lines = text.split(u'\n');
  for (QString& line : lines) {
    if (line.endsWith(u'\r')) line.chop(1);
  }
  return true;
}

// Glitches of the checker go beside the dictionary, never into the user's folders.
void KeepReportsBeside(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  GetLogHooks().roamingDataFolder = [folder] { return folder; };
  GetLogHooks().myDocumentsFolder = [folder] { return folder; };
}

bool IsKnown(CSpell& checker, const QString& text) {
  checker.SetWorkingText(text);
  return checker.NextWord() == 1 && checker.GetWordEnd() == text.size() &&
         checker.IsKnownWord() == 1;
}

int Verify(const QString& dictionaryPath, const QStringList& lines) {
  CSpell checker;
  QFile file(dictionaryPath);
  if (!file.open(QIODevice::ReadOnly)) {
    Err() << "cannot open " << dictionaryPath << Qt::endl;
    return 1;
  }
  const int loaded = checker.ReadMainDictionary(file);
  if (loaded != kDictionaryLoaded) {
    Err() << dictionaryPath << ": loading gives " << loaded << Qt::endl;
    return 1;
  }
  const int glitchesBefore = g_glitchCount;

  CSpell extractor;
  QSet<QString> words;
  QStringList kept;
  for (const QString& line : lines) {
    QString word;
    if (!ExtractDictionaryWord(extractor, line, word)) continue;
    words.insert(word);
    kept.append(line);
  }

  int missing = 0;
  for (const QString& line : kept) {
    if (IsKnown(checker, line)) continue;
    if (++missing <= 20) Err() << "not found: " << line << Qt::endl;
  }

  // A change of the last letter must not make a known word unless the list has that word too.
  int variants = 0;
  int wronglyKnown = 0;
  for (const QString& word : std::as_const(words)) {
    if (word.size() < 2 || word.contains(u'\'') || word.contains(u'-')) continue;
    QString variant = word;
    const char16_t last = variant.back().unicode();
    variant.back() = QChar(last == u'Z' ? u'A' : char16_t(last + 1));
    if (words.contains(variant)) continue;
    ++variants;
    if (!IsKnown(checker, variant)) continue;
    if (++wronglyKnown <= 20) Err() << "wrongly known: " << variant << Qt::endl;
  }

  const int glitches = g_glitchCount - glitchesBefore;
  Out() << dictionaryPath << ": " << kept.size() << " words of " << lines.size()
        << " lines looked up, " << missing << " not found; " << variants << " one-letter changes, "
        << wronglyKnown << " wrongly known; " << glitches << " glitches" << Qt::endl;
  return missing == 0 && wronglyKnown == 0 && glitches == 0 && !kept.isEmpty() ? 0 : 1;
}

int Build(const QString& wordListPath, const QString& outputPath) {
  QStringList lines;
  if (!ReadLines(wordListPath, lines)) return 1;
  CSpell extractor;
  QStringList words;
  int dropped = 0;
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;
    QString word;
    if (ExtractDictionaryWord(extractor, line, word)) {
      words.append(word);
    } else {
      ++dropped;
    }
  }

  DictionaryImage image;
  DictionaryBuildStats stats;
  QString error;
  if (!BuildDictionaryImage(words, image, stats, error)) {
    Err() << "cannot build the dictionary: " << error << Qt::endl;
    return 1;
  }
  const QByteArray bytes = SerialiseDictionary(image);
  if (bytes.isEmpty()) {
    Err() << "cannot lay out the dictionary" << Qt::endl;
    return 1;
  }
  QSaveFile out(outputPath);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
    Err() << "cannot write " << outputPath << Qt::endl;
    return 1;
  }
  Out() << outputPath << ": " << bytes.size() << " bytes; " << words.size() << " words taken, "
        << dropped << " lines left out (possessives and lines that are not one word); "
        << stats.maskWords << " of two or three letters, " << stats.apostropheWords
        << " with an apostrophe or hyphen, " << stats.longWords << " longer in "
        << image.wordData.size() << " bytes of word data (" << stats.plainEntries << " stems, "
        << stats.suffixEntries << " suffix codes, " << stats.directBlocks
        << " blocks by three letters, " << stats.rowBlocks << " by four in " << stats.rows
        << " rows)" << Qt::endl;
  return Verify(outputPath, lines);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 4 && args[1] == QStringLiteral("build")) {
    KeepReportsBeside(args[3]);
    return Build(args[2], args[3]);
  }
  if (args.size() == 4 && args[1] == QStringLiteral("verify")) {
    KeepReportsBeside(args[2]);
    QStringList lines;
    if (!ReadLines(args[3], lines)) return 1;
    return Verify(args[2], lines);
  }
  Err() << "usage: zeph_dictbuild build <word list> <ZDICT.SPE>\n"
           "       zeph_dictbuild verify <ZDICT.SPE> <word list>"
        << Qt::endl;
  return 2;
}
