#include "support/datafolders.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "folder_sandbox.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/sysinfo.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

void SetMode(const QString& path, mode_t mode) {
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

using DataFolders = FolderSandbox;

// ---- Data folders ----

TEST_F(DataFolders, EachDataFolderIsMadeUnderItsOwnTemporaryFolder) {
  const QString product = QStringLiteral("/Corvelle Software/Zephorin3");

  // Reading never makes the shared folder: it is simply not there yet.
  EXPECT_EQ(GetSharedDataFolder(0), 0);
  EXPECT_EQ(g_dataFolderError, kDataFolderNotMade);
  EXPECT_TRUE(g_sharedDataFolder.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(m_common + QStringLiteral("/Corvelle Software")));

  EXPECT_EQ(GetSharedDataFolder(1), 1);
  EXPECT_EQ(g_dataFolderError, kDataFolderOk);
  EXPECT_EQ(g_sharedDataFolder, m_common + product);
  EXPECT_EQ(g_sharedMakerFolder, m_common + QStringLiteral("/Corvelle Software"));
  EXPECT_TRUE(QFileInfo(g_sharedDataFolder).isDir());

  EXPECT_EQ(GetLocalDataFolder(), 1);
  EXPECT_EQ(g_localDataFolder, m_data + product);
  EXPECT_TRUE(QFileInfo(g_localDataFolder).isDir());

  EXPECT_EQ(GetRoamingDataFolder(), 1);
  EXPECT_EQ(g_roamingMakerFolder, m_config + QStringLiteral("/Corvelle Software"));
  EXPECT_EQ(g_roamingDataFolder, m_config + product);
  EXPECT_TRUE(QFileInfo(g_roamingDataFolder).isDir());
  EXPECT_EQ(g_glitchCount, 0);

  // Once built, a folder is only checked: one that has gone fails once, empties its text and
  // is made again by the next call.
  ASSERT_TRUE(QDir(g_localDataFolder).removeRecursively());
  EXPECT_EQ(GetLocalDataFolder(), 0);
  EXPECT_TRUE(g_localDataFolder.isEmpty());
  EXPECT_EQ(GetLocalDataFolder(), 1);
  EXPECT_TRUE(QFileInfo(m_data + product).isDir());
}

TEST_F(DataFolders, AFolderThatCannotBeMadeFails) {
  // The special folders lie under a regular file, where no folder can be made.
  WriteBytes(Path(QStringLiteral("plain")), "x");
  SetEnv("XDG_DATA_DIRS", Path(QStringLiteral("plain/share")));
  SetEnv("XDG_DATA_HOME", Path(QStringLiteral("plain/data")));
  SetEnv("XDG_CONFIG_HOME", Path(QStringLiteral("plain/config")));

  EXPECT_EQ(GetSharedDataFolder(1), 0);
  EXPECT_EQ(g_dataFolderError, kDataFolderNotMade);
  EXPECT_TRUE(g_sharedDataFolder.isEmpty());
  EXPECT_EQ(GetLocalDataFolder(), 0);
  EXPECT_TRUE(g_localDataFolder.isEmpty());

  EXPECT_EQ(GetRoamingDataFolder(), 0);
  EXPECT_TRUE(g_roamingMakerFolder.isEmpty());
  EXPECT_TRUE(g_roamingDataFolder.isEmpty());
  EXPECT_EQ(g_firstGlitchCode, 20444);
  EXPECT_EQ(g_firstGlitchNumber, 3);
  EXPECT_EQ(g_firstGlitchMessage, Path(QStringLiteral("plain/config/Corvelle Software")));
}

TEST_F(DataFolders, SpecialFolders) {
  QString folder;
  EXPECT_EQ(GetCommonDocumentsFolder(folder), 1);
  EXPECT_EQ(folder, m_common);
  EXPECT_EQ(GetMyDocumentsFolder(folder), 1);
  EXPECT_EQ(folder, m_documents);
  EXPECT_EQ(GetAppDataFolder(folder), 1);
  EXPECT_EQ(folder, m_config);
  EXPECT_EQ(GetLocalAppDataFolder(folder), 1);
  EXPECT_EQ(folder, m_data);

  // Without XDG_DATA_DIRS the freedesktop default stands.
  UnsetEnv("XDG_DATA_DIRS");
  EXPECT_EQ(GetCommonDocumentsFolder(folder), 1);
  EXPECT_EQ(folder, QStringLiteral("/usr/local/share"));

  // A user folder set to the home folder itself means the user has none.
  SetUserDirs("XDG_MUSIC_DIR=\"$HOME/\"\nXDG_PICTURES_DIR=\"$HOME/Photos\"\n");
  EXPECT_EQ(GetMyMusicFolder(folder), 0);
  EXPECT_TRUE(folder.isEmpty());
  EXPECT_EQ(g_dataFolderError, kSpecialFolderUnknown);
  EXPECT_EQ(GetMyPicturesFolder(folder), 1);
  EXPECT_EQ(folder, m_home + QStringLiteral("/Photos"));
  EXPECT_EQ(g_dataFolderError, kDataFolderOk);
}

// ---- Symbolic paths ----

TEST_F(DataFolders, ExpandFolderName) {
  struct Case {
    const char* stored;
    int result;
    QString expanded;  // empty: unchanged
  };
  const Case cases[] = {
      {"  my documents\\Plans\\a.zpd", 1, m_documents + Q("/Plans/a.zpd")},
      {"Documents", 1, m_documents},
      {"DOCUMENTS/Plans/a.zpd ", 1, m_documents + Q("/Plans/a.zpd")},
      {"Documents  \\a.zpd", 1, m_documents + Q("/a.zpd")},
      {"My Pictures\\Trips", 1, m_pictures + Q("/Trips")},
      {"music\\song.wav", 1, m_music + Q("/song.wav")},
      {"CAD Files\\Walls\\w.zpd", 1, m_documents + Q("/CAD Files/Walls/w.zpd")},
      {"My Drawing Files", 1, m_documents + Q("/Drawing Files")},
      {"Documents2\\a.zpd", 0, {}},
      {"Musical\\x", 0, {}},
      {"C:\\a.zpd", 0, {}},
      {"/home/pupil/a.zpd", 0, {}},
      {"", 0, {}},
  };
  for (const Case& c : cases) {
    QString path = Q(c.stored);
    EXPECT_EQ(ExpandFolderName(path), c.result) << c.stored;
    EXPECT_EQ(path, c.expanded.isEmpty() ? Q(c.stored) : c.expanded) << c.stored;
  }

  // Before Vista the product folders carry "My ".
  g_isVistaOrLater = 0;
  QString path = Q("CAD Files\\a.zpd");
  EXPECT_EQ(ExpandFolderName(path), 1);
  EXPECT_EQ(path, m_documents + Q("/My CAD Files/a.zpd"));

  // A special folder the system does not have leaves the path as it is.
  SetUserDirs("XDG_MUSIC_DIR=\"$HOME/\"\n");
  path = Q("Music\\song.wav");
  EXPECT_EQ(ExpandFolderName(path), 0);
  EXPECT_EQ(path, Q("Music\\song.wav"));
}

TEST_F(DataFolders, ContractedPathsExpandToTheSameFolder) {
  struct Case {
    QString real;
    const char* symbolic;  // "" for none
  };
  const Case cases[] = {
      {m_music + Q("/song.wav"), "Music/song.wav"},
      {m_pictures, "Pictures"},
      {m_documents + Q("/CAD Files/a.zpd"), "CAD Files/a.zpd"},
      {m_documents + Q("/Drawing Files/Old/b.zpd"), "Drawing Files/Old/b.zpd"},
      {m_documents + Q("/Plans/a.zpd"), "Documents/Plans/a.zpd"},
      // Only the folder the name expands to again takes the name.
      {m_documents + Q("/My CAD Files/a.zpd"), "Documents/My CAD Files/a.zpd"},
      {m_documents + Q("/CAD Files2/a.zpd"), "Documents/CAD Files2/a.zpd"},
      // Beside the folders, not in them; and paths differ by case on this system.
      {m_home + Q("/Documents2/a.zpd"), ""},
      {m_home + Q("/Musical/x"), ""},
      {m_home + Q("/documents/a.zpd"), ""},
      {Q("/srv/school/a.zpd"), ""},
  };
  for (const Case& c : cases) {
    const QString symbolic = ContractFolderName(c.real);
    EXPECT_EQ(symbolic, Q(c.symbolic)) << c.real.toStdString();
    if (symbolic.isEmpty()) continue;
    QString expanded = symbolic;
    EXPECT_EQ(ExpandFolderName(expanded), 1) << c.symbolic;
    EXPECT_EQ(expanded, c.real);
  }

  g_isVistaOrLater = 0;
  EXPECT_EQ(ContractFolderName(m_music + Q("/song.wav")), Q("My Music/song.wav"));
  EXPECT_EQ(ContractFolderName(m_documents + Q("/My CAD Files/a.zpd")), Q("My CAD Files/a.zpd"));
  QString expanded = Q("My CAD Files/a.zpd");
  EXPECT_EQ(ExpandFolderName(expanded), 1);
  EXPECT_EQ(expanded, m_documents + Q("/My CAD Files/a.zpd"));
}

TEST_F(DataFolders, ClassifyFolderName) {
  struct Case {
    const char* stored;
    int vista;
    int code;
    const char* rest;
  };
  const Case cases[] = {
      {"My Pictures\\Trips", 1, 3, "Trips"},
      {"  Music", 1, 2, ""},
      {"Documents \\Plans\\2024", 1, 1, "Plans/2024"},
      {"CAD Files\\Walls", 1, 1, "CAD Files/Walls"},
      {"Drawing Files", 1, 1, "Drawing Files"},
      {"CAD Files\\Walls", 0, 1, "My CAD Files/Walls"},
      {"Musical\\x", 1, 0, ""},
      {"CAD Filesx", 1, 0, ""},
      {"/home/pupil", 1, 0, ""},
  };
  for (const Case& c : cases) {
    g_isVistaOrLater = c.vista;
    QString rest = QStringLiteral("old");
    EXPECT_EQ(ClassifyFolderName(Q(c.stored), rest), c.code) << c.stored;
    EXPECT_EQ(rest, Q(c.rest)) << c.stored;
  }
}

TEST_F(DataFolders, SamplePaths) {
  const QString samples = m_root.path() + Q("/school/Samples");
  // Without a samples folder "Sample files" is no symbolic name.
  QString path = Q("Sample files\\house.zpd");
  ExpandSamplePath(path);
  EXPECT_EQ(path, Q("Sample files\\house.zpd"));
  EXPECT_TRUE(ContractSamplePath(samples + Q("/house.zpd")).isEmpty());

  g_samplesFolder = samples + u'/';
  struct Case {
    const char* stored;
    QString expanded;
  };
  const Case cases[] = {
      {"Sample files house.zpd", samples + Q("/house.zpd")},
      {"  sample FILES\\Roofs\\r.zpd", samples + Q("/Roofs/r.zpd")},
      {"Sample files", samples},
      {"Documents\\a.zpd", m_documents + Q("/a.zpd")},
      {"C:\\a.zpd", Q("C:\\a.zpd")},
  };
  for (const Case& c : cases) {
    path = Q(c.stored);
    ExpandSamplePath(path);
    EXPECT_EQ(path, c.expanded) << c.stored;
  }

  EXPECT_EQ(ContractSamplePath(samples + Q("/Roofs/r.zpd")), Q("Sample files/Roofs/r.zpd"));
  EXPECT_EQ(ContractSamplePath(samples), Q("Sample files"));
  EXPECT_TRUE(ContractSamplePath(m_root.path() + Q("/school/Samples2/a.zpd")).isEmpty());
  EXPECT_EQ(ContractSamplePath(m_documents + Q("/a.zpd")), Q("Documents/a.zpd"));
  path = ContractSamplePath(samples + Q("/Roofs/r.zpd"));
  ExpandSamplePath(path);
  EXPECT_EQ(path, samples + Q("/Roofs/r.zpd"));
}

// ---- Numbered names ----

TEST(NumberedNames, NextNumberedName) {
  const char* const cases[][2] = {
      {"plan.zpd", "plan(2).zpd"},
      {"plan(2).zpd", "plan(3).zpd"},
      {"plan(9).zpd", "plan(10).zpd"},
      {"plan().zpd", "plan(2).zpd"},
      {"plan (x).zpd", "plan (x)(2).zpd"},
      {"plan(007)", "plan(8)"},
      {"/a(3).d/plan", "/a(3).d/plan(2)"},
      {"/a/.zpd", "/a/(2).zpd"},
      {"", "(2)"},
      {"plan(99999999999999999999).zpd", "plan(99999999999999999999)(2).zpd"},
  };
  for (const auto& c : cases) EXPECT_EQ(NextNumberedName(Q(c[0])), Q(c[1])) << c[0];
}

TEST_F(DataFolders, UniqueNamesSkipExistingFiles) {
  const QString folder = MakeFolder(QStringLiteral("work"));
  for (const char* name : {"Zeph.log", "Zeph(2).log", "Zeph(3).log"})
    WriteBytes(folder + u'/' + Q(name), "old");
  QDir().mkpath(folder + Q("/Zeph(4).log"));  // a folder is no file

  QString path = folder + Q("/Zeph.log");
  MakeUniqueName(path);
  EXPECT_EQ(path, folder + Q("/Zeph(4).log"));
  path = folder + Q("/free.log");
  MakeUniqueName(path);
  EXPECT_EQ(path, folder + Q("/free.log"));

  QString name = Q("Zeph(2).log");
  MakeUniqueNameInFolder(folder, name);
  EXPECT_EQ(name, Q("Zeph(4).log"));
}

// ---- Backups ----

class Backups : public FolderSandbox {
 protected:
  void SetUp() override {
    FolderSandbox::SetUp();
    m_work = MakeFolder(QStringLiteral("work"));
    m_plan = m_work + Q("/plan.zpd");
  }
  QString m_work;
  QString m_plan;
};

TEST_F(Backups, NothingToBackUp) {
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 1), 1);
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_TRUE(Entries(m_work).isEmpty());
}

TEST_F(Backups, CopyIntoTheBackupFolder) {
  WriteBytes(m_plan, "drawing 1");
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 0), 1);
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup/Backup of plan.zpd")), QByteArray("drawing 1"));

  // Without numbers the old backup is replaced; with them the next free name is used.
  WriteBytes(m_plan, "drawing 2");
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 0), 1);
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup/Backup of plan.zpd")), QByteArray("drawing 2"));
  WriteBytes(m_plan, "drawing 3");
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 1), 1);
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup/Backup of plan.zpd")), QByteArray("drawing 2"));
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup/Backup of plan(2).zpd")), QByteArray("drawing 3"));
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing 3"));
  EXPECT_EQ(g_fileStatus, kFileOk);
}

TEST_F(Backups, ACopyThatCannotBeMadeLeavesTheOriginal) {
  WriteBytes(m_plan, "drawing");
  // "Backup" is a file, so the backup folder cannot be made.
  WriteBytes(m_work + Q("/Backup"), "in the way");
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileCannotMoveToBackup);
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing"));
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup")), QByteArray("in the way"));

  // A read-only old backup is not replaced.
  ASSERT_TRUE(QFile::remove(m_work + Q("/Backup")));
  MakeFolder(QStringLiteral("work/Backup"));
  const QString old = m_work + Q("/Backup/Backup of plan.zpd");
  WriteBytes(old, "old backup");
  SetMode(old, 0444);
  g_fileStatus = kFileOk;
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileBackupReadOnly);
  EXPECT_EQ(ReadBytes(old), QByteArray("old backup"));
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing"));
}

TEST_F(Backups, RenameReplacesThePreviousBackupOrNumbersIt) {
  const QString backup = m_work + Q("/Backup of plan.zpk");
  WriteBytes(m_plan, "drawing 1");
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 1);
  EXPECT_FALSE(QFileInfo::exists(m_plan));
  EXPECT_EQ(ReadBytes(backup), QByteArray("drawing 1"));

  WriteBytes(m_plan, "drawing 2");
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 1);
  EXPECT_EQ(ReadBytes(backup), QByteArray("drawing 2"));
  EXPECT_EQ(Entries(m_work), QStringList{Q("Backup of plan.zpk")});

  WriteBytes(m_plan, "drawing 3");
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 1), 1);
  EXPECT_EQ(ReadBytes(backup), QByteArray("drawing 2"));
  EXPECT_EQ(ReadBytes(m_work + Q("/Backup of plan(2).zpk")), QByteArray("drawing 3"));
  EXPECT_EQ(g_fileStatus, kFileOk);
}

TEST_F(Backups, ARefusedRenameFailsAndKeepsEveryFile) {
  const QString backup = m_work + Q("/Backup of plan.zpk");
  WriteBytes(m_plan, "drawing");

  // A read-only previous backup: status 7, nothing changes.
  WriteBytes(backup, "old backup");
  SetMode(backup, 0444);
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileBackupReadOnly);
  EXPECT_EQ(ReadBytes(backup), QByteArray("old backup"));
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing"));

  // A read-only drawing: status 6.
  SetMode(backup, 0644);
  SetMode(m_plan, 0444);
  g_fileStatus = kFileOk;
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileReadOnly);
  EXPECT_EQ(ReadBytes(backup), QByteArray("old backup"));
  SetMode(m_plan, 0644);

  // The system refuses the rename (a folder holds the backup's name): a failure, status 15,
  // never a success that would let the drawing be written over.
  ASSERT_TRUE(QFile::remove(backup));
  MakeFolder(QStringLiteral("work/Backup of plan.zpk/inside"));
  g_fileStatus = kFileOk;
  EXPECT_EQ(RenameToBackup(m_plan, Q("zpk"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileCannotMoveToBackup);
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing"));
  EXPECT_TRUE(QFileInfo(backup + Q("/inside")).isDir());
}

TEST_F(Backups, ACopyOntoAFullDiskSaysTheDiskIsFull) {
  if (!QFileInfo::exists(Q("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  WriteBytes(m_plan, "drawing");
  MakeFolder(QStringLiteral("work/Backup"));
  // The old backup's name leads to a device on which every write finds the disk full.
  ASSERT_TRUE(QFile::link(Q("/dev/full"), m_work + Q("/Backup/Backup of plan.zpd")));
  EXPECT_EQ(MakeBackupCopy(m_plan, Q("zpd"), 0), 0);
  EXPECT_EQ(g_fileStatus, kFileDiskFull);
  EXPECT_EQ(ReadBytes(m_plan), QByteArray("drawing"));
}

TEST(BackupNames, EachCopyFailureHasTheStatusThatNamesItsCause) {
  struct Case {
    int copy;
    int status;
  };
  const Case cases[] = {
      {kCopyTargetReadOnly, kFileBackupReadOnly},
      {kCopyAccessDenied, kFileCannotMoveToBackup},
      {kCopyDiskFull, kFileDiskFull},
      {kCopyCannotCreate, kFileCannotMoveToBackup},
      {kCopyWriteFailed, kFileCannotMoveToBackup},
      {kCopyHardwareFault, kFileCannotMoveToBackup},
      {kCopyReadFailed, kFileCannotMoveToBackup},
      {kCopyCannotOpenSource, kFileCannotMoveToBackup},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupCopyStatus(c.copy), c.status) << c.copy;
}

// A name of the given length in bytes of UTF-8: the stem repeated while it fits, 'x' up to the
// length, and ".zpd".
QString NameOfBytes(int bytes, const QString& stem) {
  QString name;
  while ((name + stem).toUtf8().size() + 4 <= bytes) name += stem;
  while (name.toUtf8().size() + 4 < bytes) name += u'x';
  return name + Q(".zpd");
}

TEST(BackupNames, NamesTooLongForTheFolderAreShortenedAndStayApart) {
  // Names whose backup name fits keep it.
  for (int bytes : {200, 245}) {
    const QString name = NameOfBytes(bytes, Q("plan"));
    QString expected = Q("Backup of ") + name;
    expected.chop(3);
    EXPECT_EQ(BackupNameOf(name, Q("zpk")), expected + Q("zpk")) << bytes;
  }
  for (const QString& stem : {Q("plan"), Q("\u00e9t\u00e9 "), Q("\U0001F3E0 ")}) {
    for (int bytes : {246, 250, 253, 255}) {
      SCOPED_TRACE(bytes);
      const QString name = NameOfBytes(bytes, stem);
      ASSERT_EQ(name.toUtf8().size(), bytes);
      const QString backup = BackupNameOf(name, Q("zpk"));
      EXPECT_TRUE(backup.startsWith(Q("Backup of ") + name.left(50)));
      EXPECT_TRUE(backup.endsWith(Q(".zpk")));
      // Room for the whole series, and no character cut in two.
      EXPECT_LE(backup.toUtf8().size() + 7, kMaxFileNameBytes);
      EXPECT_EQ(QString::fromUtf8(backup.toUtf8()), backup);
      EXPECT_FALSE(backup.contains(QChar(0xFFFD)));
      // The same name always gets the same backup name; another long name another one.
      EXPECT_EQ(BackupNameOf(name, Q("zpk")), backup);
      QString other = name;
      other[other.size() - 5] = u'Q';
      EXPECT_NE(BackupNameOf(other, Q("zpk")), backup);
      // The numbers of the series stay at the end and keep the shortened start.
      const QString second =
          FitFileName(NextNumberedName(Q("Backup of ") + name.chopped(4) + Q(".zpk")));
      EXPECT_EQ(second, backup.chopped(4) + Q("(2).zpk"));
    }
  }
}

TEST_F(Backups, TheSeriesOfALongNameFindsItsFreeNumbers) {
  const QString name = NameOfBytes(250, Q("plan"));
  const QString path = m_work + u'/' + name;
  for (int i = 1; i <= 3; ++i) {
    WriteBytes(path, QByteArray("drawing ") + QByteArray::number(i));
    EXPECT_EQ(MakeBackupCopy(path, Q("zpd"), 1), 1) << i;
    EXPECT_EQ(RenameToBackup(path, Q("zpk"), 1), 1) << i;
  }
  const QStringList copies = Entries(m_work + Q("/Backup"));
  const QStringList renamed = Entries(m_work);
  EXPECT_EQ(copies.size(), 3);
  EXPECT_EQ(renamed.size(), 4);  // the backup folder and three backups
  const QString first = BackupNameOf(name, Q("zpk"));
  EXPECT_EQ(ReadBytes(m_work + u'/' + first), QByteArray("drawing 1"));
  EXPECT_EQ(ReadBytes(m_work + u'/' + first.chopped(4) + Q("(3).zpk")), QByteArray("drawing 3"));
}

// ---- The help copy ----

TEST_F(DataFolders, HelpIsCopiedToTheLocalDataFolder) {
  const QString program = MakeFolder(QStringLiteral("net/zephorin"));
  MakeFolder(QStringLiteral("net/zephorin/Zeph_l/html/images"));
  WriteBytes(program + Q("/Zeph_l/html/tool_line.htm"), "<p>line</p>");
  WriteBytes(program + Q("/Zeph_l/html/images/line.png"), "png");
  SetHelpFileNames(program);
  g_currentHelpFile = 2;

  CopyHelpFileToLocal();
  const QString local = m_data + Q("/Corvelle Software/Zephorin3");
  EXPECT_EQ(g_helpFileNames[2], local + Q("/Zeph_l.chm"));
  EXPECT_EQ(g_helpFileCopied[2], 1);
  EXPECT_EQ(ReadBytes(local + Q("/Zeph_l/html/tool_line.htm")), QByteArray("<p>line</p>"));
  EXPECT_EQ(ReadBytes(local + Q("/Zeph_l/html/images/line.png")), QByteArray("png"));
  EXPECT_TRUE(HelpFileExists(g_helpFileNames[2]));

  // Help that is not there cannot be copied: the name stays.
  g_currentHelpFile = 3;
  CopyHelpFileToLocal();
  EXPECT_EQ(g_helpFileNames[3], program + Q("/Zeph_x.chm"));
  EXPECT_EQ(g_helpFileCopied[3], 0);
  ResetHelpState();
}

TEST(JoinPath, OneSeparatorBetween) {
  EXPECT_EQ(JoinPath(Q("/a"), Q("b")), Q("/a/b"));
  EXPECT_EQ(JoinPath(Q("/a/"), Q("b")), Q("/a/b"));
  EXPECT_EQ(JoinPath(Q("/"), Q("b")), Q("/b"));
  EXPECT_EQ(JoinPath(QString(), Q("b")), Q("b"));
  EXPECT_EQ(GetProductFolderName(), Q("Zephorin3"));
}

}  // namespace
