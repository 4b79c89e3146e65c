#include "support/filescanner.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class FileScannerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_root = m_dir.path();
  }
  QString Path(const QString& relative) const { return m_root + u'/' + relative; }
  void MakeFile(const QString& relative) const {
    const QString path = Path(relative);
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  }
  void MakeFolder(const QString& relative) const { QDir().mkpath(Path(relative)); }
  void Link(const QString& target, const QString& relative) const {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                        QFile::encodeName(Path(relative)).constData()),
              0);
  }

  // Every full path the scanner gives, relative to the test folder, in order.
  QStringList Scan(const QString& folder, const QString& pattern, bool recurse) const {
    CFileScanner scanner(folder, pattern, recurse);
    QStringList found;
    while (CScanEntry* entry = scanner.NextFile()) {
      const QString full = entry->GetFullPath();
      EXPECT_EQ(entry->GetName(), full.mid(full.lastIndexOf(u'/') + 1));
      EXPECT_TRUE(full.startsWith(m_root + u'/')) << full.toStdString();
      found << full.mid(m_root.size() + 1);
      if (found.size() > 10000) break;  // a scan that never ends
    }
    EXPECT_EQ(scanner.NextFile(), nullptr);  // the end stays the end
    return found;
  }

  QTemporaryDir m_dir;
  QString m_root;
};

QStringList Sorted(QStringList list) {
  list.sort();
  return list;
}

// Checks depth-first pre-order: each folder's own files come first and the files of its
// whole subtree come together.
void ExpectPreOrder(const QStringList& found) {
  QHash<QString, QList<int>> subtree;  // folder -> indices of files in its subtree
  QHash<QString, int> own;
  for (int i = 0; i < found.size(); ++i) {
    const QString folder = found[i].left(std::max<qsizetype>(0, found[i].lastIndexOf(u'/')));
    ++own[folder];
    QString f = folder;
    for (;;) {
      subtree[f].append(i);
      if (f.isEmpty()) break;
      f = f.left(std::max<qsizetype>(0, f.lastIndexOf(u'/')));
    }
  }
  for (auto it = subtree.cbegin(); it != subtree.cend(); ++it) {
    const QList<int>& indices = it.value();
    EXPECT_EQ(indices.back() - indices.front() + 1, indices.size())
        << "subtree of '" << it.key().toStdString() << "' is split";
    for (int k = 0; k < own.value(it.key()); ++k) {
      const QString& path = found[indices.front() + k];
      EXPECT_EQ(path.left(std::max<qsizetype>(0, path.lastIndexOf(u'/'))), it.key())
          << "'" << it.key().toStdString() << "' does not give its own files first";
    }
  }
}

TEST_F(FileScannerTest, WithoutRecursionOnlyTheTopFolder) {
  MakeFile(Q("a.zsy"));
  MakeFile(Q("B.ZSY"));
  MakeFile(Q("c.zpd"));
  MakeFile(Q("sub/d.zsy"));
  MakeFolder(Q("e.zsy"));  // a folder is never taken for a file
  EXPECT_EQ(Sorted(Scan(m_root, Q("*.ZSY"), false)), (QStringList{Q("B.ZSY"), Q("a.zsy")}));
  // One trailing separator is dropped: the full paths have a single '/' before the name.
  EXPECT_EQ(Sorted(Scan(m_root + u'/', Q("*.ZSY"), false)), (QStringList{Q("B.ZSY"), Q("a.zsy")}));
}

TEST_F(FileScannerTest, RecursionFindsEveryLevelInPreOrder) {
  const QStringList files = {
      Q("top.zsy"),       Q("a/a1.zsy"), Q("a/a2.zsy"),   Q("a/x/ax.zsy"),       Q("a/y/z/ayz.zsy"),
      Q("b/q/r/s/t.zsy"), Q("c/c.zsy"),  Q("c/d/cd.zsy"), Q("c/d/e/f/cdef.zsy"),
  };
  for (const QString& f : files) MakeFile(f);
  MakeFile(Q("a/skip.txt"));
  MakeFile(Q("folder.zsy/inside.zsy"));  // a folder with the pattern's name is still entered
  MakeFolder(Q("empty/deeper/still"));
  MakeFile(Q("c/d/plain"));  // a file named like a folder is never entered

  const QStringList found = Scan(m_root, Q("*.zsy"), true);
  EXPECT_EQ(Sorted(found), Sorted(files + QStringList{Q("folder.zsy/inside.zsy")}));
  ExpectPreOrder(found);
}

TEST_F(FileScannerTest, MatchesOnlyDeepDown) {
  MakeFolder(Q("one/empty"));
  MakeFile(Q("one/two/lib.zsy"));
  MakeFile(Q("other/two/three/lib.zsy"));
  EXPECT_EQ(Sorted(Scan(m_root, Q("*.ZSY"), true)),
            (QStringList{Q("one/two/lib.zsy"), Q("other/two/three/lib.zsy")}));
}

TEST_F(FileScannerTest, NothingToFind) {
  MakeFolder(Q("a/b"));
  EXPECT_TRUE(Scan(m_root, Q("*.zsy"), true).isEmpty());
  EXPECT_TRUE(Scan(Path(Q("missing")), Q("*.zsy"), true).isEmpty());
  EXPECT_TRUE(Scan(Path(Q("missing")), Q("*.zsy"), false).isEmpty());
}

TEST_F(FileScannerTest, LinksToFoldersAreNotFollowed) {
  MakeFile(Q("lib.zsy"));
  MakeFile(Q("a/b/deep.zsy"));
  Link(m_root, Q("a/b/up"));  // a loop back to the top
  Link(Path(Q("a")), Q("a/b/again"));
  Link(Path(Q("lib.zsy")), Q("a/linked.zsy"));  // a link to a file is a file
  const QStringList found = Scan(m_root, Q("*.zsy"), true);
  EXPECT_EQ(Sorted(found), (QStringList{Q("a/b/deep.zsy"), Q("a/linked.zsy"), Q("lib.zsy")}));
}

TEST_F(FileScannerTest, DepthIsBounded) {
  // A file at every level, from the top folder (level 0) down to level 70.
  QString relative;
  for (int level = 0; level <= 70; ++level) {
    MakeFile(relative + Q("f.zsy"));
    relative += Q("d/");
  }
  const QStringList found = Scan(m_root, Q("*.zsy"), true);
  ASSERT_EQ(found.size(), kScanDepthLimit + 1);
  EXPECT_EQ(found.back().count(u'/'), kScanDepthLimit);
  ExpectPreOrder(found);
}

TEST_F(FileScannerTest, EntryRestartAndEnd) {
  MakeFile(Q("one.zsy"));
  CScanFileEntry entry(m_root + u'/', Q("*.zsy"));
  EXPECT_EQ(entry.GetFolder(), m_root);
  EXPECT_EQ(entry.Next(), 1);
  EXPECT_EQ(entry.GetName(), Q("one.zsy"));
  EXPECT_EQ(entry.GetFullPath(), Path(Q("one.zsy")));
  EXPECT_EQ(entry.Next(), 0);
  MakeFile(Q("two.zsy"));
  EXPECT_EQ(entry.Next(), 0);  // finished stays finished
  entry.Restart();
  int count = 0;
  while (entry.Next() != 0) ++count;
  EXPECT_EQ(count, 2);

  MakeFolder(Q("sub"));
  CScanDirEntry folders(entry);
  EXPECT_EQ(folders.GetKind(), 1);
  EXPECT_EQ(folders.Next(), 1);
  EXPECT_EQ(folders.GetName(), Q("sub"));
  EXPECT_EQ(folders.Next(), 0);
}

}  // namespace
