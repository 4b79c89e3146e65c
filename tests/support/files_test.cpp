#include "support/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include "support/log.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

void WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(content), content.size());
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

void SetMode(const QString& path, mode_t mode) {
  ASSERT_EQ(::chmod(Native(path).constData(), mode), 0);
}

mode_t ModeOf(const QString& path) {
  struct stat st;
  if (::stat(Native(path).constData(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

struct timespec ModifiedTimeOf(const QString& path) {
  struct stat st {};
  ::stat(Native(path).constData(), &st);
  return st.st_mtim;
}

void SetTimes(const QString& path, time_t seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds - 100, 0}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Native(path).constData(), times, 0), 0);
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ASSERT_TRUE(m_dir.isValid());
    m_root = m_dir.path();
  }
  // Every operation closes its own entry in the log's call stack, whichever way it ends.
  void TearDown() override { EXPECT_EQ(g_callDepth, 0); }
  QString Path(const QString& relative) const { return m_root + u'/' + relative; }
  void MakeFolder(const QString& relative) const { QDir().mkpath(Path(relative)); }

  QTemporaryDir m_dir;
  QString m_root;
};

// ---- Path text ----

TEST(PathText, AddAndRemoveTrailingSeparator) {
  struct Case {
    const char* in;
    const char* added;
    const char* removed;
  };
  const Case cases[] = {
      {"", "", ""},   {"/a", "/a/", "/a"}, {"/a/", "/a/", "/a"}, {"/a//", "/a//", "/a/"},
      {"/", "/", ""},
  };
  for (const Case& c : cases) {
    QString added = QString::fromUtf8(c.in);
    AddBackslash(added);
    EXPECT_EQ(added, QString::fromUtf8(c.added)) << c.in;
    QString removed = QString::fromUtf8(c.in);
    RemoveBackslash(removed);
    EXPECT_EQ(removed, QString::fromUtf8(c.removed)) << c.in;
  }
}

TEST(PathText, Extensions) {
  // (path, index of its extension's '.', or -1 for none)
  struct Case {
    const char* path;
    int dot;
  };
  const Case cases[] = {
      {"/d.x/plan", -1},  // the '.' belongs to the folder name
      {"C:name", -1},     {"plan.zpd", 4}, {"/w/a.b.c", 6},
      {"/w/.profile", 3}, {"plan.", 4},    {"", -1},
  };
  for (const Case& c : cases) {
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(FindExtension(path), c.dot < 0 ? path.size() : c.dot) << c.path;
  }

  EXPECT_EQ(HasExtension(Q("plan.ZPD"), Q("zpd")), 1);
  EXPECT_EQ(HasExtension(Q("plan.zpd"), Q("ZPK")), 0);
  EXPECT_EQ(HasExtension(Q("/d.zpd/plan"), Q("zpd")), 0);
  EXPECT_EQ(HasExtension(Q("plan"), QString()), 0);

  QString stripped = Q("/d.x/plan.zpd");
  StripExtension(stripped);
  EXPECT_EQ(stripped, Q("/d.x/plan"));
  StripExtension(stripped);
  EXPECT_EQ(stripped, Q("/d.x/plan"));
}

TEST(PathText, SetExtension) {
  struct Case {
    const char* path;
    const char* extension;
    int keepWhole;
    const char* result;
  };
  const Case cases[] = {
      {"/d.x/plan", "zpd", 0, "/d.x/plan.zpd"},
      {"a.old", ".backup", 0, "a.bac"},
      {"a.old", ".backup", 1, "a.backup"},
      {"a.old", "zp", 0, "a.zp"},
      {"a.zpd", "zpk", 0, "a.zpk"},
      {"a", "", 0, "a."},
  };
  for (const Case& c : cases) {
    QString path = QString::fromUtf8(c.path);
    SetExtension(path, QString::fromUtf8(c.extension), c.keepWhole);
    EXPECT_EQ(path, QString::fromUtf8(c.result)) << c.path << " " << c.extension;
  }
}

TEST(PathText, NameAndFolder) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
  };
  const Case cases[] = {
      {"/Work/a.zpd", "a.zpd", "/Work"},
      {"/a.zpd", "a.zpd", ""},  // the root's files have an empty folder
      {"a.zpd", "a.zpd", ""},
      {"/w/x/", "", "/w/x"},
      {"ab/c", "c", "ab"},
  };
  for (const Case& c : cases) {
    QString name = Q("old");
    QString folder = Q("old");
    GetNameFromPath(QString::fromUtf8(c.path), name);
    GetFolderOfPath(QString::fromUtf8(c.path), folder);
    EXPECT_EQ(name, QString::fromUtf8(c.name)) << c.path;
    EXPECT_EQ(folder, QString::fromUtf8(c.folder)) << c.path;
  }
}

TEST(PathText, FullPaths) {
  EXPECT_EQ(IsFullPath(Q("/")), 0);
  EXPECT_EQ(IsFullPath(Q("/a")), 1);
  EXPECT_EQ(IsFullPath(Q("//s")), 1);
  EXPECT_EQ(IsFullPath(Q("a/b")), 0);
  EXPECT_EQ(IsFullPath(QString()), 0);
}

TEST(PathText, Wildcards) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"lib.zsy", "*.ZSY", true},
      {"LIB.ZSY", "*.zsy", true},
      {"lib.zsyx", "*.zsy", false},
      {"README", "*.*", true},
      {"a.b", "*.*", true},
      {"plan", "plan.*", true},
      {"plan.zpd", "p?an.zpd", true},
      {"pan.zpd", "p?an.zpd", false},
      {"abc", "a*c*", true},
      {"", "*", true},
      {"x", "", false},
      {"aXbXc", "a*b*c", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)), c.matches)
        << c.name << " ~ " << c.pattern;
  }
}

// ---- Existence and attributes ----

TEST_F(FilesTest, ExistenceAndReadOnly) {
  WriteFile(Path("f.zpd"), "x");
  MakeFolder("sub");
  WriteFile(Path("ro.zpd"), "x");
  SetMode(Path("ro.zpd"), 0444);
  ASSERT_EQ(::symlink(Native(Path("sub")).constData(), Native(Path("link")).constData()), 0);

  EXPECT_EQ(FileExists(Path("f.zpd")), 1);
  EXPECT_EQ(FileExists(Path("sub")), 0);
  EXPECT_EQ(FileExists(Path("none")), 0);
  EXPECT_EQ(FileExists(QString()), 0);
  EXPECT_EQ(FolderExists(Path("sub")), 1);
  EXPECT_EQ(FolderExists(Path("link")), 1);
  EXPECT_EQ(FolderExists(Q("/")), 1);
  EXPECT_EQ(FolderExists(Path("f.zpd")), 0);
  EXPECT_EQ(FolderExists(Path("none")), 0);
  // Read-only means the owner may not write, whoever runs the program.
  EXPECT_EQ(IsReadOnlyFile(Path("ro.zpd")), 1);
  EXPECT_EQ(IsReadOnlyFile(Path("f.zpd")), 0);
  EXPECT_EQ(IsReadOnlyFile(Path("none")), 0);
  EXPECT_EQ(GetFileAttributesOf(Path("none")), -1);
  EXPECT_EQ(GetFileAttributesOf(Path("sub")) & kAttrDirectory, kAttrDirectory);
}

TEST_F(FilesTest, CurrentFolder) {
  const QString saved = QDir::currentPath();
  ASSERT_EQ(SetCurrentFolder(m_root), 1);
  QString folder;
  GetCurrentFolderOfDrive(0, folder);
  EXPECT_EQ(QFileInfo(folder).canonicalFilePath(), QFileInfo(m_root).canonicalFilePath());
  EXPECT_EQ(SetCurrentFolder(Path("none")), 0);
  EXPECT_EQ(SetCurrentFolder(QString()), 0);
  GetCurrentFolderOfDrive(0, folder);
  EXPECT_EQ(QFileInfo(folder).canonicalFilePath(), QFileInfo(m_root).canonicalFilePath());
  ASSERT_EQ(SetCurrentFolder(saved), 1);
}

// ---- Network paths ----

TEST(NetworkPaths, ServerShareFormsAndLocalFolders) {
  EXPECT_EQ(IsNetworkPath(Q("//server/share/a.zpd")), 1);
  EXPECT_EQ(IsNetworkPath(Q("//s")), 1);
  EXPECT_EQ(IsNetworkPath(Q("//")), 0);
  EXPECT_EQ(IsNetworkPath(QString()), 0);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // The test folders are never on a network file system.
  EXPECT_EQ(IsNetworkPath(dir.path()), IsNetworkFileSystemType(QString()));
  EXPECT_EQ(IsNetworkPath(dir.path() + Q("/not/yet/made.zpd")), 0);
}

TEST(NetworkPaths, MountTable) {
  const QString table = QStringLiteral(
      "sysfs /sys sysfs rw 0 0\n"
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "//srv/pupils /mnt/net cifs rw 0 0\n"
      "srv:/export /mnt/net/nfs nfs4 rw 0 0\n"
      "//srv/my\\040share /mnt/my\\040share smb3 rw 0 0\n"
      "tmpfs /mnt/over tmpfs rw 0 0\n"
      "host:/h /mnt/over fuse.sshfs rw 0 0\n");
  struct Case {
    const char* path;
    const char* type;
  };
  const Case cases[] = {
      {"/home/a.zpd", "ext4"},       {"/mnt/net", "cifs"},
      {"/mnt/net/a/b.zpd", "cifs"},  {"/mnt/network/a.zpd", "ext4"},
      {"/mnt/net/nfs/x", "nfs4"},    {"/mnt/my share/a.zpd", "smb3"},
      {"/mnt/over/a", "fuse.sshfs"},  // the later mount on one point hides the earlier
      {"/sys/x", "sysfs"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindMountType(QString::fromUtf8(c.path), table), QString::fromUtf8(c.type)) << c.path;
  }
  EXPECT_EQ(FindMountType(Q("/a"), QString()), QString());

  for (const char* type : {"cifs", "smb3", "nfs", "nfs4", "fuse.sshfs"}) {
    EXPECT_EQ(IsNetworkFileSystemType(QString::fromUtf8(type)), 1) << type;
  }
  for (const char* type : {"ext4", "tmpfs", "fuse", "", "NFS"}) {
    EXPECT_EQ(IsNetworkFileSystemType(QString::fromUtf8(type)), 0) << type;
  }
}

// ---- CopyFileKeepTime ----

TEST_F(FilesTest, CopyKeepsContentTimesAndReadOnlyState) {
  MakeFolder("to");
  QByteArray content(200000, 'z');  // several buffers
  content[0] = 'a';
  content[199999] = 'b';
  WriteFile(Path("plan.zpd"), content);
  SetTimes(Path("plan.zpd"), 1000000000, 123456789);
  SetMode(Path("plan.zpd"), 0444);

  EXPECT_EQ(CopyFileKeepTime(Path("plan.zpd"), Path("to")), kCopyDone);
  const QString copy = Path("to/plan.zpd");
  EXPECT_EQ(ReadFile(copy), content);
  EXPECT_EQ(IsReadOnlyFile(copy), 1);
  EXPECT_EQ(ModeOf(copy), mode_t(0444));
  EXPECT_EQ(ModifiedTimeOf(copy).tv_sec, 1000000000);
  EXPECT_EQ(ModifiedTimeOf(copy).tv_nsec, 123456789);

  // A name without an extension takes the source's; a name with one keeps it.
  EXPECT_EQ(CopyFileKeepTime(Path("plan.zpd"), Path("to/"), Q("backup")), kCopyDone);
  EXPECT_EQ(ReadFile(Path("to/backup.zpd")), content);
  EXPECT_EQ(CopyFileKeepTime(Path("plan.zpd"), Path("to"), Q("plan.zpk")), kCopyDone);
  EXPECT_EQ(ReadFile(Path("to/plan.zpk")), content);
}

TEST_F(FilesTest, CopyReplacesAWritableTargetAndCopiesAnEmptyFile) {
  MakeFolder("to");
  WriteFile(Path("empty.zpd"), QByteArray());
  WriteFile(Path("to/empty.zpd"), "old content that must go");
  EXPECT_EQ(CopyFileKeepTime(Path("empty.zpd"), Path("to")), kCopyDone);
  EXPECT_EQ(ReadFile(Path("to/empty.zpd")), QByteArray());
}

TEST_F(FilesTest, CopyOntoItselfDoesNothing) {
  MakeFolder("w");
  WriteFile(Path("w/a.zpd"), "keep me");
  ASSERT_EQ(::symlink(Native(Path("w")).constData(), Native(Path("alias")).constData()), 0);

  EXPECT_EQ(CopyFileKeepTime(Path("w/a.zpd"), Path("w")), kCopySamePath);
  // Other spellings of the same file must not truncate it either.
  EXPECT_EQ(CopyFileKeepTime(Path("w/a.zpd"), Path("w/../w")), kCopySamePath);
  EXPECT_EQ(CopyFileKeepTime(Path("w/a.zpd"), Path("alias")), kCopySamePath);
  EXPECT_EQ(CopyFileKeepTime(Path("w/a.zpd"), Path("w//")), kCopySamePath);
  EXPECT_EQ(ReadFile(Path("w/a.zpd")), QByteArray("keep me"));
}

TEST_F(FilesTest, CopyNeverReplacesAReadOnlyTarget) {
  MakeFolder("backup");
  WriteFile(Path("a.zpd"), "new");
  WriteFile(Path("backup/a.zpd"), "old backup");
  SetMode(Path("backup/a.zpd"), 0444);
  EXPECT_EQ(CopyFileKeepTime(Path("a.zpd"), Path("backup")), kCopyTargetReadOnly);
  EXPECT_EQ(ReadFile(Path("backup/a.zpd")), QByteArray("old backup"));
  EXPECT_EQ(ModeOf(Path("backup/a.zpd")), mode_t(0444));
}

TEST_F(FilesTest, CopyFailures) {
  WriteFile(Path("a.zpd"), "data");
  WriteFile(Path("plain"), "a file, not a folder");
  MakeFolder("folder.zpd");
  MakeFolder("to");
  ASSERT_EQ(::mkfifo(Native(Path("pipe.zpd")).constData(), 0644), 0);

  struct Case {
    const char* what;
    QString source;
    QString folder;
    int code;
  };
  const Case cases[] = {
      {"missing source", Path("none.zpd"), Path("to"), kCopyCannotOpenSource},
      {"folder as source", Path("folder.zpd"), Path("to"), kCopyCannotOpenSource},
      {"pipe as source", Path("pipe.zpd"), Path("to"), kCopyCannotOpenSource},
      {"missing target folder", Path("a.zpd"), Path("none"), kCopyCannotCreate},
      {"target folder is a file", Path("a.zpd"), Path("plain"), kCopyCannotCreate},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CopyFileKeepTime(c.source, c.folder), c.code) << c.what;
  }
  EXPECT_EQ(QDir(Path("to")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
  EXPECT_EQ(FileExists(Path("pipe.zpd")), 1);
}

TEST_F(FilesTest, CopyOntoAFullDiskFailsAndLeavesTheDeviceAlone) {
  if (!QFileInfo::exists(Q("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  WriteFile(Path("full"), "some data that cannot be written");
  EXPECT_EQ(CopyFileKeepTime(Path("full"), Q("/dev")), kCopyDiskFull);
  struct stat st;
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(FilesTest, ReadErrorIsAFailureAndRemovesThePartialCopy) {
  // Reading a process's memory file from offset 0 fails with an input/output error: the
  // source opens as a plain file and then fails to read.
  if (!QFileInfo::exists(Q("/proc/self/mem"))) GTEST_SKIP() << "no /proc";
  MakeFolder("to");
  EXPECT_EQ(CopyFileKeepTime(Q("/proc/self/mem"), Path("to"), Q("mem.zpd")), kCopyReadFailed);
  EXPECT_EQ(FileExists(Path("to/mem.zpd")), 0);

  // A read-only old copy was never touched.
  WriteFile(Path("to/kept"), "kept");
  SetMode(Path("to/kept"), 0444);
  EXPECT_EQ(CopyFileKeepTime(Q("/proc/self/mem"), Path("to"), Q("kept")), kCopyTargetReadOnly);
  EXPECT_EQ(ReadFile(Path("to/kept")), QByteArray("kept"));
}

// ---- CreateFolderPath ----

TEST_F(FilesTest, CreateFolderPathMakesEveryMissingFolder) {
  CreateFolderPath(Path("a/b/c"));
  EXPECT_EQ(FolderExists(Path("a/b/c")), 1);
  CreateFolderPath(Path("x//y/"));
  EXPECT_EQ(FolderExists(Path("x/y")), 1);
  CreateFolderPath(Path("a/b/c"));  // all there already
  EXPECT_EQ(FolderExists(Path("a/b/c")), 1);
  CreateFolderPath(QString());
}

TEST_F(FilesTest, CreateFolderPathLeavesExistingFoldersAlone) {
  MakeFolder("shared");
  SetMode(Path("shared"), 0555);
  MakeFolder("group");
  SetMode(Path("group"), 0750);
  CreateFolderPath(Path("shared/mine/deeper"));
  CreateFolderPath(Path("group/mine"));
  EXPECT_EQ(ModeOf(Path("shared")), mode_t(0555));
  EXPECT_EQ(ModeOf(Path("group")), mode_t(0750));
  EXPECT_EQ(FolderExists(Path("group/mine")), 1);
  SetMode(Path("shared"), 0755);  // so that the temporary folder can be removed
}

TEST_F(FilesTest, CreateFolderPathUnderAFileFailsQuietly) {
  WriteFile(Path("plain"), "x");
  CreateFolderPath(Path("plain/sub"));
  EXPECT_EQ(FolderExists(Path("plain/sub")), 0);
  EXPECT_EQ(ReadFile(Path("plain")), QByteArray("x"));
}

// ---- DeleteFileClearingAttributes ----

TEST_F(FilesTest, DeleteHonoursReadOnlyUnlessForced) {
  WriteFile(Path("plain.zpd"), "x");
  WriteFile(Path("ro.zpd"), "x");
  SetMode(Path("ro.zpd"), 0444);

  DeleteFileClearingAttributes(Path("plain.zpd"), 0);
  EXPECT_EQ(FileExists(Path("plain.zpd")), 0);
  DeleteFileClearingAttributes(Path("ro.zpd"), 0);
  EXPECT_EQ(FileExists(Path("ro.zpd")), 1);
  DeleteFileClearingAttributes(Path("ro.zpd"), 1);
  EXPECT_EQ(FileExists(Path("ro.zpd")), 0);
  DeleteFileClearingAttributes(Path("none.zpd"), 1);  // nothing to do
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(FilesTest, DeleteRefusesFoldersAndSpecialFiles) {
  MakeFolder("sub");
  DeleteFileClearingAttributes(Path("sub"), 1);
  EXPECT_EQ(FolderExists(Path("sub")), 1);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 20436);
  EXPECT_EQ(g_firstGlitchNumber, 1);

  ASSERT_EQ(::mkfifo(Native(Path("pipe")).constData(), 0644), 0);
  DeleteFileClearingAttributes(Path("pipe"), 1);
  EXPECT_TRUE(QFileInfo(Path("pipe")).exists());
}

// ---- CopyAllFiles ----

TEST_F(FilesTest, CopyAllFilesCopiesFilesOnly) {
  MakeFolder("from/sub");
  MakeFolder("to");
  WriteFile(Path("from/a.zpd"), "a");
  WriteFile(Path("from/b.zsy"), "b");
  WriteFile(Path("from/.hidden"), "h");
  WriteFile(Path("from/sub/c.zpd"), "c");
  WriteFile(Path("to/a.zpd"), "old");

  EXPECT_EQ(CopyAllFiles(Path("from"), Path("to/"), 0), 3);
  EXPECT_EQ(ReadFile(Path("to/a.zpd")), QByteArray("a"));
  EXPECT_EQ(ReadFile(Path("to/b.zsy")), QByteArray("b"));
  EXPECT_EQ(ReadFile(Path("to/.hidden")), QByteArray("h"));
  EXPECT_FALSE(QFileInfo::exists(Path("to/sub")));
  EXPECT_EQ(FileExists(Path("from/a.zpd")), 1);
}

TEST_F(FilesTest, CopyAllFilesMovesAndSkipsReadOnlyTargets) {
  MakeFolder("from");
  MakeFolder("to");
  WriteFile(Path("from/a.zpd"), "a");
  WriteFile(Path("from/b.zpd"), "b");
  WriteFile(Path("to/b.zpd"), "protected");
  SetMode(Path("to/b.zpd"), 0444);

  EXPECT_EQ(CopyAllFiles(Path("from"), Path("to"), 1), 1);
  EXPECT_EQ(FileExists(Path("from/a.zpd")), 0);  // moved
  EXPECT_EQ(ReadFile(Path("to/a.zpd")), QByteArray("a"));
  EXPECT_EQ(FileExists(Path("from/b.zpd")), 1);  // not copied, so kept
  EXPECT_EQ(ReadFile(Path("to/b.zpd")), QByteArray("protected"));
}

TEST_F(FilesTest, CopyAllFilesNothingToDo) {
  MakeFolder("empty");
  MakeFolder("to");
  MakeFolder("only/sub");
  WriteFile(Path("to/x.zpd"), "x");
  EXPECT_EQ(CopyAllFiles(Path("empty"), Path("to"), 0), 0);
  EXPECT_EQ(CopyAllFiles(Path("only"), Path("to"), 0), 0);
  EXPECT_EQ(CopyAllFiles(Path("none"), Path("to"), 0), 0);
  EXPECT_EQ(CopyAllFiles(Path("to"), Path("none"), 0), 0);
  // The same folder, however spelt, is refused with its files intact.
  EXPECT_EQ(CopyAllFiles(Path("to"), Path("to/"), 1), 0);
  EXPECT_EQ(CopyAllFiles(Path("to"), Path("empty/../to"), 1), 0);
  EXPECT_EQ(ReadFile(Path("to/x.zpd")), QByteArray("x"));
}

// ---- CDirectoryScan ----

TEST_F(FilesTest, DirectoryScanListsFilesOrFolders) {
  MakeFolder("sub.zpd");
  MakeFolder("other");
  WriteFile(Path("a.zpd"), "a");
  WriteFile(Path("B.ZPD"), "b");
  WriteFile(Path("c.txt"), "c");

  auto list = [&](const QString& pattern, int mode) {
    CDirectoryScan scan;
    scan.Start(pattern, mode);
    QSet<QString> names;
    QString name;
    while (scan.Next(name)) names.insert(name);
    EXPECT_EQ(scan.GetState(), -1);
    EXPECT_FALSE(scan.Next(name));  // finished stays finished
    return names;
  };
  EXPECT_EQ(list(Path("*.zpd"), 0), (QSet<QString>{Q("a.zpd"), Q("B.ZPD")}));
  EXPECT_EQ(list(Path("*"), 0), (QSet<QString>{Q("a.zpd"), Q("B.ZPD"), Q("c.txt")}));
  EXPECT_EQ(list(Path("*.*"), 1), (QSet<QString>{Q("sub.zpd"), Q("other")}));
  EXPECT_EQ(list(Path("*.zpd"), 1), (QSet<QString>{Q("sub.zpd")}));
  EXPECT_EQ(list(Path("*.none"), 0), QSet<QString>());
  EXPECT_EQ(list(Path("missing/*"), 0), QSet<QString>());
}

TEST(DirectoryScan, NotStartedGivesNothing) {
  CDirectoryScan scan;
  QString name = Q("unchanged");
  EXPECT_EQ(scan.GetState(), -2);
  EXPECT_FALSE(scan.Next(name));
  EXPECT_EQ(name, Q("unchanged"));
}

}  // namespace
