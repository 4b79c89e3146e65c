// Saving that survives: a program killed at any point of a save, temporary files that ended
// writers left behind, names of every length, symbolic links, names that are not text, and
// backups that cannot be made for want of room or of permission.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <functional>

#include "drawingfile_fixture.h"
#include "platform/filedialogs.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/safesave.h"

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

const QString kTemporaryPrefix = QString::fromUtf16(kOwnTemporaryPrefix);

class DrawingSaveTest : public DrawingFileTest {
 protected:
  void SetUp() override {
    DrawingFileTest::SetUp();
    zeph::SetFileDialogs(&dialogs);
    SetOptionFlag(kOptionUseBackupFolder, 0);
    SetOptionFlag(kOptionCreateBackupSeries, 0);
  }
  void TearDown() override {
    zeph::SetFileDialogs(nullptr);
    DrawingFileTest::TearDown();
  }

  // A drawing of a few items of every kind.
  static void Fill(CZephDoc& doc, unsigned seed = 3) {
    CRandomDrawing random(seed);
    random.Fill(doc, 20);
  }

  // The temporaries of ours in a folder.
  QStringList Temporaries(const QString& folder) const {
    QStringList found;
    for (const QString& name : FolderEntries(folder))
      if (name.startsWith(kTemporaryPrefix)) found << name;
    return found;
  }

  // Whether the file holds a drawing the reader takes whole.
  static bool IsWholeDrawing(const QString& path) {
    CZephDoc doc;
    const bool whole = doc.ReadDrawingFile(path, kReadOpen) == 1 && g_fileStatus == kFileOk;
    ResetFileStatus();
    return whole;
  }

  zeph::CScriptedFileDialogs dialogs;
};

// ---- A program killed at any point of a save ----

struct KillCase {
  int useFolder;
  int series;
  bool oldBackup;
};

class SaveKillTest : public DrawingSaveTest, public ::testing::WithParamInterface<KillCase> {
 protected:
  // The saving program, started once for path: each save it makes is a process of its own.
  void StartSaver(const QString& path, const KillCase& c) {
    // A kill loses nothing the system already holds: the syncs are for power cuts only.
    SetSyncToDisk(false);
    saver.start(QStringLiteral(ZEPH_SAVE_KILL_PROGRAM),
                {path, QString::number(c.useFolder), QString::number(c.series)});
    ASSERT_TRUE(saver.waitForStarted(60000));
  }
  void TearDown() override {
    saver.closeWriteChannel();
    saver.waitForFinished(60000);
    SetSyncToDisk(true);
    DrawingSaveTest::TearDown();
  }
  // A save killed at point (0: never); the exit code, -1 when it was killed, -2 when the
  // program did not answer. points: the points the save passed.
  int Save(int point, int* points = nullptr) {
    saver.write(QByteArray::number(point) + '\n');
    QByteArray answer;
    while (!answer.contains("end ")) {
      if (!saver.canReadLine() && !saver.waitForReadyRead(120000)) return -2;
      while (saver.canReadLine()) answer += saver.readLine();
    }
    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("points (\\d+)")).match(QString::fromLatin1(answer));
    if (points != nullptr) *points = count.hasMatch() ? count.captured(1).toInt() : 0;
    if (answer.contains("end killed")) return -1;
    const QRegularExpressionMatch code =
        QRegularExpression(QStringLiteral("end exit (\\d+)")).match(QString::fromLatin1(answer));
    return code.hasMatch() ? code.captured(1).toInt() : -2;
  }

  QProcess saver;
};

TEST_P(SaveKillTest, AProgramKilledAtAnyPointLeavesAWholeDrawingAndAWholeBackup) {
  const KillCase c = GetParam();
  SetOptionFlag(kOptionUseBackupFolder, c.useFolder);
  SetOptionFlag(kOptionCreateBackupSeries, c.series);
  const QString backupName = c.useFolder ? "Backup/Backup of plan.zpd" : "Backup of plan.zpk";
  const QString seriesName = c.useFolder ? "Backup/Backup of plan(2).zpd" : "Backup of plan(2).zpk";
  const QByteArray oldDrawing = FileBytes(FixturePath("zephorin7.zpd"));
  const QByteArray oldBackup = FileBytes(FixturePath("zephorin6.zpd"));
  const auto prepare = [&] {
    QDir(Folder()).removeRecursively();
    QDir().mkpath(Folder());
    Put("plan.zpd", oldDrawing);
    if (c.oldBackup) {
      QDir().mkpath(PathOf("Backup"));
      Put(backupName, oldBackup);
    }
  };
  // A backup name and the series' next name may each hold nothing or a whole drawing
  // that was there: never a part of one.
  const auto holds = [&](const QString& name, std::initializer_list<QByteArray> allowed) {
    const QString path = PathOf(name);
    if (!QFileInfo::exists(path)) return allowed.size() == 0 || allowed.begin()->isEmpty();
    const QByteArray bytes = FileBytes(path);
    for (const QByteArray& one : allowed)
      if (!one.isEmpty() && bytes == one) return IsWholeDrawing(path);
    return false;
  };
  const QRegularExpression ours(
      QStringLiteral("^(plan\\.zpd|Backup|Backup of plan(\\(\\d+\\))?\\.(zpk|zpd))$"));
  const auto expectNoStrays = [&](const std::string& when) {
    for (const QString& folder : {Folder(), PathOf("Backup")}) {
      for (const QString& name : FolderEntries(folder))
        EXPECT_TRUE(ours.match(name).hasMatch()) << when << ": " << name.toStdString();
    }
  };

  // A save that runs to the end tells the new drawing and how many points there are.
  prepare();
  StartSaver(PathOf("plan.zpd"), c);
  int points = 0;
  ASSERT_EQ(Save(0, &points), 0);
  const QByteArray newDrawing = FileBytes(PathOf("plan.zpd"));
  ASSERT_NE(newDrawing, oldDrawing);
  ASSERT_GT(points, 10);
  expectNoStrays("after a whole save");

  for (int k = 1; k <= points; ++k) {
    SCOPED_TRACE(k);
    prepare();
    ASSERT_EQ(Save(k), -1);
    EXPECT_TRUE(holds("plan.zpd", {oldDrawing, newDrawing}));
    if (c.series != 0) {
      EXPECT_TRUE(holds(backupName, {oldBackup}));
      EXPECT_TRUE(holds(seriesName, {QByteArray(), oldDrawing}));
    } else if (c.oldBackup) {
      EXPECT_TRUE(holds(backupName, {oldBackup, oldDrawing}));
    } else {
      EXPECT_TRUE(holds(backupName, {QByteArray(), oldDrawing}));
    }
    // The next save, by this program, succeeds and leaves nothing behind.
    CZephDoc doc;
    Fill(doc);
    doc.WriteDrawingFile(PathOf("plan.zpd"));
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_TRUE(IsWholeDrawing(PathOf("plan.zpd")));
    EXPECT_TRUE(IsWholeDrawing(PathOf(c.series != 0 ? seriesName : backupName)));
    expectNoStrays("after the next save");
  }
}

INSTANTIATE_TEST_SUITE_P(BackupWays, SaveKillTest,
                         ::testing::Values(KillCase{0, 0, true}, KillCase{1, 0, true},
                                           KillCase{1, 0, false}, KillCase{0, 1, true}),
                         [](const ::testing::TestParamInfo<KillCase>& info) {
                           const KillCase& c = info.param;
                           return std::string(c.useFolder ? "Folder" : "Beside") +
                                  (c.series ? "Series" : "") +
                                  (c.oldBackup ? "WithOldBackup" : "WithoutBackup");
                         });

// ---- Temporaries that writers left ----

TEST_F(DrawingSaveTest, SavesAndOpensRemoveTheTemporariesOfWritersThatAreGone) {
  CZephDoc doc;
  Fill(doc);
  for (int useFolder : {0, 1}) {
    SCOPED_TRACE(useFolder);
    SetOptionFlag(kOptionUseBackupFolder, useFolder);
    QDir(Folder()).removeRecursively();
    QDir().mkpath(PathOf("Backup"));
    const QString path = Put("plan.zpd", FileBytes(FixturePath("zephorin7.zpd")));
    // A thousand partial files of killed writers, some beside the backups too, and one of a
    // writer still at work.
    for (int i = 0; i < 1000; ++i) Put(kTemporaryPrefix + "1." + QString::number(i), "partial");
    for (int i = 0; i < 10; ++i) Put("Backup/" + kTemporaryPrefix + "1." + QString::number(i), "x");
    COwnTemporary live;
    ASSERT_TRUE(live.Create(Folder()));

    doc.WriteDrawingFile(path);
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(Temporaries(Folder()), QStringList{QFileInfo(live.Path()).fileName()});
    EXPECT_EQ(Temporaries(PathOf("Backup")).size(), useFolder ? 0 : 10);
    EXPECT_TRUE(IsWholeDrawing(path));
    live.Remove();
  }
  // Opening a drawing clears its folder too.
  for (int i = 0; i < 5; ++i) Put(kTemporaryPrefix + "1." + QString::number(i), "partial");
  CZephDoc opened;
  ASSERT_EQ(opened.ReadDrawingFile(PathOf("plan.zpd"), kReadOpen), 1);
  EXPECT_TRUE(Temporaries(Folder()).isEmpty());
}

// ---- Names of every length ----

// A drawing name of the given length in bytes: "plan", "é" and '-' repeated, then ".zpd".
QString NameOfBytes(int bytes) {
  const QString stem = QString::fromUtf16(u"plan\u00e9-");
  QString name;
  while ((name + stem).toUtf8().size() + 4 <= bytes) name += stem;
  while (name.toUtf8().size() + 4 < bytes) name += u'x';
  return name + QStringLiteral(".zpd");
}

TEST_F(DrawingSaveTest, NamesUpToTheLongestAFolderHoldsOpenAndSaveWithTheirBackups) {
  const QByteArray original = FileBytes(FixturePath("zephorin7.zpd"));
  for (int useFolder : {0, 1}) {
    for (int series : {0, 1}) {
      for (int bytes : {200, 245, 246, 250, 253, 255}) {
        SCOPED_TRACE(testing::Message() << "folder " << useFolder << ", series " << series << ", "
                                        << bytes << " bytes");
        SetOptionFlag(kOptionUseBackupFolder, useFolder);
        SetOptionFlag(kOptionCreateBackupSeries, series);
        QDir(Folder()).removeRecursively();
        QDir().mkpath(Folder());
        const QString name = NameOfBytes(bytes);
        ASSERT_EQ(name.toUtf8().size(), bytes);
        const QString path = Put(name, original);

        CZephDoc doc;
        ASSERT_EQ(doc.ReadDrawingFile(path, kReadOpen), 1);
        ASSERT_EQ(g_fileStatus, kFileOk);
        doc.WriteDrawingFile(path);
        ASSERT_EQ(g_fileStatus, kFileOk);
        const QByteArray first = FileBytes(path);
        Fill(doc);
        doc.WriteDrawingFile(path);
        ASSERT_EQ(g_fileStatus, kFileOk);
        EXPECT_TRUE(IsWholeDrawing(path));

        const QString backupFolder = useFolder ? PathOf("Backup") : Folder();
        const QString backup = BackupNameOf(name, useFolder ? "zpd" : "zpk");
        // A name whose backup name fits keeps the name it always had.
        if (bytes <= 245) {
          EXPECT_EQ(backup, "Backup of " + name.chopped(4) + (useFolder ? ".zpd" : ".zpk"));
        }
        QStringList backups = FolderEntries(backupFolder);
        backups.removeAll(QStringLiteral("Backup"));
        backups.removeAll(name);
        if (series == 0) {
          EXPECT_EQ(backups, QStringList{backup});
          EXPECT_EQ(FileBytes(JoinPath(backupFolder, backup)), first);
        } else {
          // Both backups, each under its own name of the series.
          ASSERT_EQ(backups.size(), 2);
          EXPECT_EQ(FileBytes(JoinPath(backupFolder, backup)), original);
          backups.removeAll(backup);
          EXPECT_EQ(FileBytes(JoinPath(backupFolder, backups.value(0))), first);
        }
        EXPECT_TRUE(Temporaries(Folder()).isEmpty());
      }
    }
  }
}

// ---- Symbolic links ----

TEST_F(DrawingSaveTest, ADrawingOpenedThroughALinkIsSavedIntoTheFileTheLinkNames) {
  for (int useFolder : {0, 1}) {
    SCOPED_TRACE(useFolder);
    SetOptionFlag(kOptionUseBackupFolder, useFolder);
    QDir(Folder()).removeRecursively();
    QDir().mkpath(PathOf("real"));
    Put("real/plan.zpd", FileBytes(FixturePath("zephorin7.zpd")));
    const QString link = PathOf("link.zpd");
    ASSERT_EQ(::symlink("real/plan.zpd", Native(link).constData()), 0);

    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(link, kReadOpen), 1);
    EXPECT_EQ(doc.GetFilePath(), link);
    QByteArray previous;
    for (unsigned seed : {4u, 5u}) {
      previous = FileBytes(PathOf("real/plan.zpd"));
      Fill(doc, seed);
      ASSERT_EQ(doc.SaveDrawing(0), 1);
      EXPECT_EQ(doc.GetFilePath(), link);
    }
    struct stat info;
    ASSERT_EQ(::lstat(Native(link).constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    char target[64] = {};
    ASSERT_GT(::readlink(Native(link).constData(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "real/plan.zpd");
    CZephDoc again;
    ASSERT_EQ(again.ReadDrawingFile(link, kReadOpen), 1);
    EXPECT_EQ(again.GetItemCount(), doc.GetItemCount());
    // The backup is beside the file, never beside the link.
    const QString backup = useFolder ? "real/Backup/Backup of plan.zpd" : "real/Backup of plan.zpk";
    EXPECT_EQ(FileBytes(PathOf(backup)), previous);
    EXPECT_EQ(FolderEntries(Folder()), (QStringList{"link.zpd", "real"}));
  }
}

// ---- Names that are not text ----

TEST_F(DrawingSaveTest, ANameThatIsNotTextIsRefusedAndOneWithTheReplacementCharacterIsNot) {
  const QByteArray original = FileBytes(FixturePath("zephorin7.zpd"));
  const QByteArray raw = Native(Folder()) +
                         "/pl\xff"
                         "an.zpd";
  {
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, original.constData(), std::size_t(original.size())), original.size());
    ::close(fd);
  }
  // Removed by its bytes: no path the program can spell reaches it.
  struct RemoveByBytes {
    QByteArray path;
    ~RemoveByBytes() { ::unlink(path.constData()); }
  } removeByBytes{raw};
  const QString path = QFile::decodeName(raw);
  const QStringList before = FolderEntries(Folder());

  CZephDoc doc;
  EXPECT_EQ(doc.ReadDrawingFile(path, kReadOpen), 0);
  EXPECT_EQ(g_fileStatus, kFileNameNotText);
  const QString message = DrawingFileErrorMessage(path);
  EXPECT_TRUE(message.startsWith(path + "\n")) << message.toStdString();
  EXPECT_TRUE(message.contains("cannot be read")) << message.toStdString();
  EXPECT_FALSE(message.contains("not found")) << message.toStdString();

  // Saving to it writes nothing anywhere; File > Save shows the message, then asks for a name.
  Fill(doc);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileNameNotText);
  doc.SetFilePath(path);
  doc.MarkChanged();
  EXPECT_EQ(doc.SaveDrawing(0), 0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(presenter.shown()[0].text, message);
  EXPECT_EQ(FolderEntries(Folder()), before);
  EXPECT_EQ(FileBytes(path), QByteArray());
  EXPECT_EQ(doc.IsChanged(), 1);

  // A name that really holds U+FFFD is a name like any other.
  QDir().mkpath(PathOf("valid"));
  const QString valid = PathOf(QString::fromUtf16(u"valid/pl\uFFFDan.zpd"));
  doc.WriteDrawingFile(valid);
  ASSERT_EQ(g_fileStatus, kFileOk);
  doc.WriteDrawingFile(valid);
  ASSERT_EQ(g_fileStatus, kFileOk);
  CZephDoc back;
  EXPECT_EQ(back.ReadDrawingFile(valid, kReadOpen), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(back.GetItemCount(), doc.GetItemCount());
  EXPECT_EQ(FolderEntries(PathOf("valid")),
            (QStringList{QString::fromUtf16(u"Backup of pl\uFFFDan.zpk"),
                         QString::fromUtf16(u"pl\uFFFDan.zpd")}));
}

// ---- Backups that cannot be made ----

// Makes a folder that no file can be made in, even by root (whom permissions do not stop):
// false when this system allows neither. Undone by Release.
class CUnwritableFolder {
 public:
  explicit CUnwritableFolder(const QString& path) : m_path(Native(path)) {
    if (::geteuid() != 0) {
      m_made = ::chmod(m_path.constData(), 0555) == 0;
      return;
    }
    const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      m_immutable = m_made = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0) ::close(fd);
  }
  ~CUnwritableFolder() { Release(); }
  bool IsMade() const { return m_made; }
  void Release() {
    if (!m_made) return;
    m_made = false;
    if (!m_immutable) {
      ::chmod(m_path.constData(), 0755);
      return;
    }
    const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0) ::close(fd);
  }

 private:
  QByteArray m_path;
  bool m_made = false;
  bool m_immutable = false;
};

TEST_F(DrawingSaveTest, ABackupFolderThatCannotBeWrittenIsNoReadOnlyBackup) {
  SetOptionFlag(kOptionUseBackupFolder, 1);
  const QString path = Put("plan.zpd", "the drawing as it was");
  QDir().mkpath(PathOf("Backup"));
  CUnwritableFolder locked(PathOf("Backup"));
  if (!locked.IsMade()) GTEST_SKIP() << "no folder can be made unwritable here";
  CZephDoc doc;
  Fill(doc);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileCannotMoveToBackup);
  locked.Release();
  EXPECT_EQ(FileBytes(path), QByteArray("the drawing as it was"));
  EXPECT_EQ(FolderEntries(Folder()), (QStringList{"Backup", "plan.zpd"}));
  EXPECT_TRUE(FolderEntries(PathOf("Backup")).isEmpty());
}

// A file system of its own, too small for everything a save needs; false when this system
// does not let the test make one. Unmounted when it goes.
class CSmallDisk {
 public:
  CSmallDisk(const QString& path, int kilobytes) : m_path(Native(path)) {
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, options.constData()) == 0;
  }
  ~CSmallDisk() {
    if (m_mounted) ::umount2(m_path.constData(), MNT_DETACH);
  }
  bool IsMounted() const { return m_mounted; }

 private:
  QByteArray m_path;
  bool m_mounted = false;
};

TEST_F(DrawingSaveTest, ABackupCopyThatDoesNotFitSaysTheDiskIsFull) {
  SetOptionFlag(kOptionUseBackupFolder, 1);
  QDir().mkpath(PathOf("disk"));
  // Room for the old drawing (40 KB) and the new one, not for the copy of the old one.
  CSmallDisk disk(PathOf("disk"), 56);
  if (!disk.IsMounted()) GTEST_SKIP() << "no file system can be mounted here";
  const QByteArray old(40 * 1024, 'x');
  const QString path = Put("disk/plan.zpd", old);
  CZephDoc doc;
  Fill(doc);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileDiskFull);
  EXPECT_EQ(FileBytes(path), old);
  EXPECT_EQ(FolderEntries(PathOf("disk")), QStringList{"plan.zpd"});
  // Beside the drawing the backup is a second name, which takes no room.
  SetOptionFlag(kOptionUseBackupFolder, 0);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(FileBytes(PathOf("disk/Backup of plan.zpk")), old);
}

}  // namespace
