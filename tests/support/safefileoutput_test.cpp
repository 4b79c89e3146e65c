// Finished files written the safe way (a printed PDF): the name is replaced only when the file
// is complete, a link at the name is replaced and never followed, a file there is never written
// into and keeps its permissions, and a dropped file leaves everything as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "folder_fixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/safesave.h"

namespace {

class SafeFileOutputTest : public FolderTest {
 protected:
  // Writes bytes to path through the safe path and commits.
  static bool WriteWhole(const QString& path, const QByteArray& bytes) {
    std::unique_ptr<zeph::CFileOutput> out = OpenSafeFileOutput(path);
    if (out == nullptr) return false;
    return out->Write(bytes.constData(), static_cast<std::size_t>(bytes.size())) && out->Commit();
  }
};

TEST_F(SafeFileOutputTest, TheNameAppearsOnlyWhenTheFileIsComplete) {
  const QString pdf = Path("Bridge.pdf");
  std::unique_ptr<zeph::CFileOutput> out = OpenSafeFileOutput(pdf);
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(out->Write("%PDF-", 5));
  EXPECT_FALSE(QFileInfo::exists(pdf));
  ASSERT_TRUE(out->Write("1.4\n", 4));
  ASSERT_TRUE(out->Commit());
  out.reset();
  EXPECT_EQ(Bytes(pdf), QByteArray("%PDF-1.4\n"));
  EXPECT_EQ(Entries(), QStringList{QStringLiteral("Bridge.pdf")});  // no temporary left
}

TEST_F(SafeFileOutputTest, ADroppedFileLeavesTheOldOneAndNoTemporary) {
  const QString pdf = Path("Bridge.pdf");
  Put(pdf, "old");
  {
    std::unique_ptr<zeph::CFileOutput> out = OpenSafeFileOutput(pdf);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(out->Write("new", 3));
    out->Discard();
  }
  {
    // Dropped by going away unfinished, as a job that fails.
    std::unique_ptr<zeph::CFileOutput> out = OpenSafeFileOutput(pdf);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(out->Write("new", 3));
  }
  EXPECT_EQ(Bytes(pdf), QByteArray("old"));
  EXPECT_EQ(Entries(), QStringList{QStringLiteral("Bridge.pdf")});
}

TEST_F(SafeFileOutputTest, ALinkAtTheNameIsReplacedAndItsTargetLeftAlone) {
  // Another's file, and a link planted at the name the print job writes.
  const QString victim = Path("victim.txt");
  Put(victim, "keep");
  const QString pdf = Path("Bridge.pdf");
  ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(pdf).constData()),
            0);
  ASSERT_TRUE(WriteWhole(pdf, "%PDF-new"));
  EXPECT_EQ(Bytes(victim), QByteArray("keep"));
  EXPECT_FALSE(QFileInfo(pdf).isSymLink());
  EXPECT_EQ(Bytes(pdf), QByteArray("%PDF-new"));

  // A link to a name that does not exist yet does not make that file either.
  const QString planted = Path("planted.txt");
  const QString other = Path("Other.pdf");
  ASSERT_EQ(::symlink(QFile::encodeName(planted).constData(), QFile::encodeName(other).constData()),
            0);
  ASSERT_TRUE(WriteWhole(other, "%PDF-other"));
  EXPECT_FALSE(QFileInfo::exists(planted));
  EXPECT_EQ(Bytes(other), QByteArray("%PDF-other"));
}

TEST_F(SafeFileOutputTest, AnExistingFileIsReplacedWholeAndKeepsItsPermissions) {
  const QString pdf = Path("Bridge.pdf");
  Put(pdf, "old contents");
  ASSERT_EQ(::chmod(QFile::encodeName(pdf).constData(), 0600), 0);
  // Another name of the same file: writing into the file would change it too.
  const QString second = Path("second name.pdf");
  ASSERT_EQ(::link(QFile::encodeName(pdf).constData(), QFile::encodeName(second).constData()), 0);
  ASSERT_TRUE(WriteWhole(pdf, "%PDF-new"));
  EXPECT_EQ(Bytes(pdf), QByteArray("%PDF-new"));
  EXPECT_EQ(Bytes(second), QByteArray("old contents"));
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(pdf).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(SafeFileOutputTest, ANameThatCannotTakeAFileIsRefused) {
  // A folder at the name, a missing folder, and no name at all.
  ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("Bridge.pdf")));
  EXPECT_FALSE(WriteWhole(Path("Bridge.pdf"), "%PDF"));
  EXPECT_TRUE(QFileInfo(Path("Bridge.pdf")).isDir());
  EXPECT_EQ(OpenSafeFileOutput(Path("missing/Bridge.pdf")), nullptr);
  EXPECT_EQ(OpenSafeFileOutput(QString()), nullptr);
  EXPECT_EQ(Entries(), QStringList{QStringLiteral("Bridge.pdf")});
}

}  // namespace
