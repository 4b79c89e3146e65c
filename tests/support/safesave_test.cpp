// What a safe save needs of the file system: temporaries of our own, locked while their
// writer lives and removed once it is gone; symbolic links followed to the file they name;
// names whose bytes are not text; syncing.
#include "support/safesave.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "folder_fixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class SafeSaveTest : public FolderTest {
 protected:
  // Whether another writer could take the file's lock now.
  static bool Lockable(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
  }
};

TEST_F(SafeSaveTest, ATemporaryHasAShortNameOfOurOwnAndIsLockedWhileItLives) {
  QString path;
  {
    COwnTemporary temporary;
    ASSERT_TRUE(temporary.Create(m_folder.path()));
    path = temporary.Path();
    const QString name = path.mid(m_folder.path().size() + 1);
    EXPECT_TRUE(name.startsWith(QString::fromUtf16(kOwnTemporaryPrefix))) << name.toStdString();
    EXPECT_LE(name.size(), 24);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(Lockable(path));
    // A sweep leaves a live writer's file alone.
    EXPECT_EQ(RemoveStaleTemporaries(m_folder.path()), 0);
    EXPECT_TRUE(QFile::exists(path));
  }
  // Its writer has let go: the file stays until a sweep takes it.
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_TRUE(Lockable(path));
  EXPECT_EQ(RemoveStaleTemporaries(m_folder.path()), 1);
  EXPECT_TRUE(Entries().isEmpty());

  COwnTemporary removed;
  ASSERT_TRUE(removed.Create(m_folder.path()));
  removed.Remove();
  EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(SafeSaveTest, ALinkedTemporaryLocksTheFileItNamesAndRemovesOnlyItsName) {
  Put(Path(Q("plan.zpd")), "drawing");
  COwnTemporary link;
  ASSERT_TRUE(link.Link(Path(Q("plan.zpd")), m_folder.path()));
  EXPECT_EQ(Bytes(link.Path()), QByteArray("drawing"));
  EXPECT_FALSE(Lockable(link.Path()));
  EXPECT_EQ(RemoveStaleTemporaries(m_folder.path()), 0);
  // Another file now has the drawing's name: the temporary still names the old one.
  ASSERT_TRUE(QFile::remove(Path(Q("plan.zpd"))));
  Put(Path(Q("plan.zpd")), "new drawing");
  EXPECT_EQ(Bytes(link.Path()), QByteArray("drawing"));
  link.Remove();
  EXPECT_EQ(Entries(), QStringList{Q("plan.zpd")});
  EXPECT_EQ(Bytes(Path(Q("plan.zpd"))), QByteArray("new drawing"));
}

TEST_F(SafeSaveTest, ASweepRemovesOnlyTheTemporariesOfWritersThatAreGone) {
  const QString prefix = QString::fromUtf16(kOwnTemporaryPrefix);
  for (int i = 0; i < 1000; ++i) Put(Path(prefix + Q("1.") + QString::number(i)), "partial");
  COwnTemporary live;
  ASSERT_TRUE(live.Create(m_folder.path()));
  // What is not a temporary of ours stays: other names, a folder, a link, a plain file.
  Put(Path(Q("plan.zpd")), "drawing");
  Put(Path(Q("plan.zpd.~3")), "an older program's");
  ASSERT_TRUE(QDir().mkdir(Path(prefix + Q("2.folder"))));
  ASSERT_TRUE(QFile::link(Path(Q("plan.zpd")), Path(prefix + Q("3.link"))));

  EXPECT_EQ(RemoveStaleTemporaries(m_folder.path()), 1000);
  QStringList expected{live.Path().mid(m_folder.path().size() + 1), prefix + Q("2.folder"),
                       prefix + Q("3.link"), Q("plan.zpd"), Q("plan.zpd.~3")};
  expected.sort();
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(Bytes(Path(Q("plan.zpd"))), QByteArray("drawing"));
  EXPECT_EQ(RemoveStaleTemporaries(Path(Q("missing"))), 0);
}

TEST_F(SafeSaveTest, LinksAreFollowedToTheFileTheyName) {
  ASSERT_TRUE(QDir().mkpath(Path(Q("real/deeper"))));
  Put(Path(Q("real/plan.zpd")), "drawing");
  ASSERT_TRUE(QFile::link(Path(Q("real/plan.zpd")), Path(Q("absolute.zpd"))));
  ASSERT_EQ(::symlink("real/plan.zpd", QFile::encodeName(Path(Q("relative.zpd"))).constData()), 0);
  ASSERT_EQ(::symlink("../plan.zpd", QFile::encodeName(Path(Q("real/deeper/up.zpd"))).constData()),
            0);
  ASSERT_EQ(::symlink("real/deeper/up.zpd", QFile::encodeName(Path(Q("chain.zpd"))).constData()),
            0);
  ASSERT_EQ(::symlink("real/new.zpd", QFile::encodeName(Path(Q("dangling.zpd"))).constData()), 0);
  ASSERT_EQ(::symlink("loop.zpd", QFile::encodeName(Path(Q("loop.zpd"))).constData()), 0);

  struct Case {
    const char* path;
    QString target;
  };
  const Case cases[] = {
      {"real/plan.zpd", Path(Q("real/plan.zpd"))},
      {"absolute.zpd", Path(Q("real/plan.zpd"))},
      {"relative.zpd", Path(Q("real/plan.zpd"))},
      {"chain.zpd", Path(Q("real/deeper/../plan.zpd"))},
      {"dangling.zpd", Path(Q("real/new.zpd"))},
      {"missing.zpd", Path(Q("missing.zpd"))},
      {"loop.zpd", Path(Q("loop.zpd"))},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveFileLinks(Path(Q(c.path))), c.target) << c.path;
  }
}

TEST_F(SafeSaveTest, NamesWhoseBytesAreNotTextAreFound) {
  const QByteArray folder = QFile::encodeName(m_folder.path());
  // "pl\xffan.zpd" and a folder "d\xfe" holding "a.zpd", made by their bytes (and removed so
  // too: no path the program can spell reaches them).
  ASSERT_EQ(::close(::creat((folder + "/pl\xff"
                                      "an.zpd")
                                .constData(),
                            0644)),
            0);
  ASSERT_EQ(::mkdir((folder + "/d\xfe").constData(), 0755), 0);
  ASSERT_EQ(::close(::creat((folder + "/d\xfe/a.zpd").constData(), 0644)), 0);
  struct RemoveByBytes {
    QByteArray folder;
    ~RemoveByBytes() {
      ::unlink((folder + "/pl\xff"
                         "an.zpd")
                   .constData());
      ::unlink((folder + "/d\xfe/a.zpd").constData());
      ::rmdir((folder + "/d\xfe").constData());
    }
  } removeByBytes{folder};
  // A name that really holds U+FFFD.
  Put(Path(QString::fromUtf16(u"real\uFFFD.zpd")), "drawing");

  const QString unreadable = QFile::decodeName(folder +
                                               "/pl\xff"
                                               "an.zpd");
  ASSERT_TRUE(unreadable.contains(QChar(0xFFFD)));
  EXPECT_FALSE(QFile::exists(unreadable));
  EXPECT_TRUE(HasNameThatIsNotText(unreadable));
  EXPECT_TRUE(HasNameThatIsNotText(QFile::decodeName(folder + "/d\xfe/a.zpd")));
  EXPECT_TRUE(HasNameThatIsNotText(QFile::decodeName(folder + "/d\xfe/new.zpd")));
  EXPECT_FALSE(HasNameThatIsNotText(Path(QString::fromUtf16(u"real\uFFFD.zpd"))));
  EXPECT_FALSE(HasNameThatIsNotText(Path(QString::fromUtf16(u"new\uFFFD.zpd"))));
  EXPECT_FALSE(HasNameThatIsNotText(Path(Q("plain.zpd"))));
}

TEST_F(SafeSaveTest, FilesAndFoldersAreSynced) {
  Put(Path(Q("plan.zpd")), "drawing");
  EXPECT_TRUE(SyncToDisk(Path(Q("plan.zpd")), false));
  EXPECT_TRUE(SyncToDisk(m_folder.path(), true));
  EXPECT_FALSE(SyncToDisk(Path(Q("missing.zpd")), false));
  EXPECT_FALSE(SyncToDisk(Path(Q("plan.zpd")), true));
}

}  // namespace
