#include "common/golden.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>

#include "document/document.h"
#include "document/undo.h"
#include "support/filestatus.h"

#ifndef ZEPH_GOLDEN_DIR
#error "ZEPH_GOLDEN_DIR names the folder of the golden files"
#endif

namespace zeph::testing {
namespace {

bool WritingGoldens() { return qEnvironmentVariableIntValue("ZEPH_WRITE_GOLDEN") == 1; }

// Where two files part: the first differing line of each, with its number.
std::string FirstDifference(const QByteArray& made, const QByteArray& golden) {
  const QList<QByteArray> a = made.split('\n');
  const QList<QByteArray> b = golden.split('\n');
  for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
    const QByteArray x = i < a.size() ? a[i] : QByteArray("(end)");
    const QByteArray y = i < b.size() ? b[i] : QByteArray("(end)");
    if (x != y) {
      return "line " + std::to_string(i + 1) + ": made \"" + x.toStdString() + "\", golden \"" +
             y.toStdString() + "\"";
    }
  }
  return "the same lines";
}

}  // namespace

::testing::AssertionResult MatchesGolden(const QString& folder, const QString& name,
                                         const QByteArray& made) {
  const QString path = QDir(QStringLiteral(ZEPH_GOLDEN_DIR)).filePath(folder + u'/' + name);
  if (WritingGoldens()) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(made) != made.size()) {
      return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
    }
    return ::testing::AssertionSuccess();
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return ::testing::AssertionFailure()
           << "no golden file " << path.toStdString() << " (ZEPH_WRITE_GOLDEN=1 writes it)";
  }
  const QByteArray golden = file.readAll();
  if (golden == made) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << folder.toStdString() << "/" << name.toStdString() << " differs from its golden file, "
         << FirstDifference(made, golden);
}

QByteArray DrawingBytes(CZephDoc& doc) {
  QTemporaryDir dir;
  if (!dir.isValid()) return {};
  const QString path = dir.filePath(QStringLiteral("drawing.zpd"));
  const int changed = doc.IsChanged();
  const int status = g_fileStatus;
  doc.WriteDrawingFile(path);
  const bool written = g_fileStatus == kFileOk;
  g_fileStatus = status;
  if (changed != 0) doc.MarkChanged();
  if (!written) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void CheckUndoHistory(const QString& folder, CZephDoc& doc, const std::function<void()>& undo,
                      const std::function<void()>& redo) {
  // Every gesture, finished or cancelled, leaves its undo step closed.
  EXPECT_EQ(doc.GetJournal().groupState, 0) << "an undo step is still open";
  const QByteArray drawn = DrawingBytes(doc);
  ASSERT_FALSE(drawn.isEmpty());
  EXPECT_TRUE(MatchesGolden(folder, QStringLiteral("drawing.zpd"), drawn));
  const auto journalLine = [&doc] {
    const CUndoJournal& j = doc.GetJournal();
    return QStringLiteral("steps %1 bytes %2 records %3\n")
        .arg(j.undoCount)
        .arg(j.top)
        .arg(j.records.size())
        .toUtf8();
  };
  QByteArray journal = journalLine();
  int steps = 0;
  // The history is bounded by what the journal can hold; a loop past that is a fault.
  while (doc.CanUndo() != 0 && steps < 10000) {
    const int before = doc.GetJournal().undoCount;
    undo();
    ASSERT_LT(doc.GetJournal().undoCount, before) << "Undo took nothing away";
    ++steps;
    EXPECT_TRUE(MatchesGolden(folder, QStringLiteral("undo%1.zpd").arg(steps), DrawingBytes(doc)));
    journal += journalLine();
  }
  EXPECT_TRUE(MatchesGolden(folder, QStringLiteral("journal.txt"), journal));
  for (int i = 0; i < steps && doc.CanRedo() != 0; ++i) redo();
  EXPECT_EQ(doc.CanRedo(), 0);
  EXPECT_TRUE(DrawingBytes(doc) == drawn) << "every step redone gives another drawing";
}

}  // namespace zeph::testing
