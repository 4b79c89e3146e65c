#include "support/settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "folder_sandbox.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/filestatus.h"
#include "support/log.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const QString kHeader = QStringLiteral("[Zephorin]");

class Settings : public FolderSandbox {
 protected:
  void SetUp() override {
    FolderSandbox::SetUp();
    m_folder = MakeFolder(QStringLiteral("settings"));
    m_file = m_folder + Q("/Zeph.lmf");
    g_settingsHeader = kHeader;
    g_machineSettingsName = Q("Zeph.lmf");
    g_userSettingsName = Q("Zeph.luf");
    g_managerFileName = Q("Zeph.cmf");
  }
  QString SharedFile() const { return m_common + Q("/Corvelle Software/Zephorin3/Zeph.lmf"); }
  QString UserFile() const { return m_data + Q("/Corvelle Software/Zephorin3/Zeph.luf"); }

  QString m_folder;
  QString m_file;
};

// ---- Reading ----

TEST_F(Settings, ReadSettingsKey) {
  struct Case {
    const char* name;
    QByteArray content;
    const char* header;
    const char* key;
    int found;
    const char* value;
    int status;
  };
  const Case cases[] = {
      {"blanks leave the key, header without case", "[ZEPHORIN]\r\n Log File =Yes\r\n",
       "[Zephorin]", "LogFile", 1, "Yes", kFileOk},
      {"the value keeps its blanks", "[Zephorin]\r\nGlitchReport= No \r\n", "[Zephorin]",
       "glitchreport", 1, " No ", kFileOk},
      {"the first of two lines", "[Zephorin]\r\nA=1\r\na=2\r\n", "[Zephorin]", "A", 1, "1",
       kFileOk},
      {"lines without a key are passed over", "[Zephorin]\r\nnote\r\n=x\r\nK=a=b\r\n", "[Zephorin]",
       "K", 1, "a=b", kFileOk},
      {"a last line without its end", "[Zephorin]\r\nOther=1\r\nCmfIni=/srv/zeph", "[Zephorin]",
       "CmfIni", 1, "/srv/zeph", kFileOk},
      {"bare line feeds", "[Zephorin]\nA=1\nB=2\n", "[Zephorin]", "B", 1, "2", kFileOk},
      {"encoding 0", "[Zephorin]\r\nName=\x82l\x8Ave\r\n", "[Zephorin]", "Name", 1,
       "\xC3\xA9l\xC3\xA8ve", kFileOk},
      {"no header wanted: the first line counts", "A=1\r\n", "", "A", 1, "1", kFileOk},
      {"the key is missing", "[Zephorin]\r\nA=1\r\n", "[Zephorin]", "B", 0, "old",
       kFileEndedTooSoon},
      {"another header", "[Other]\r\nA=1\r\n", "[Zephorin]", "A", 0, "old", kFileOk},
      {"a header with blanks is another header", " [Zephorin]\r\nA=1\r\n", "[Zephorin]", "A", 0,
       "old", kFileOk},
      {"an empty file", "", "[Zephorin]", "A", 0, "old", kFileEndedTooSoon},
  };
  for (const Case& c : cases) {
    WriteBytes(m_file, c.content);
    QString value = Q("old");
    EXPECT_EQ(ReadSettingsKey(m_file, Q(c.header), Q(c.key), value), c.found) << c.name;
    EXPECT_EQ(value, Q(c.value)) << c.name;
    EXPECT_EQ(g_fileStatus, c.status) << c.name;
  }

  QString value = Q("old");
  EXPECT_EQ(ReadSettingsKey(m_folder + Q("/none.lmf"), kHeader, Q("A"), value), 0);
  EXPECT_EQ(value, Q("old"));
  EXPECT_EQ(g_fileStatus, kFileNotFound);
}

// ---- Rewriting ----

TEST_F(Settings, RewritingKeepsEveryOtherLineByteForByte) {
  // Lines of every kind, bytes of every range, and a last line without its end.
  const QByteArray others =
      "Other=1\r\n"
      "  a line without equals  \r\n"
      "=starts with equals\r\n"
      "Path=\xC3\xA9l\xC3\xA8ve \x82\x8A\x01\x7F\x81\x9D\xFF\r\n"
      "CmfInix=kept\r\n";
  WriteBytes(m_file,
             "[zephorin]\r\n"
             "CmfIni=A\r\n" +
                 others +
                 " cmf ini =B\r\n"
                 "Last=no line end");
  ASSERT_EQ(WriteSettingsKey(m_file, kHeader, Q("CmfIni"), Q("/srv/new place")), 1);
  EXPECT_EQ(ReadBytes(m_file), "[Zephorin]\r\n" + others +
                                   "Last=no line end\r\n"
                                   "CmfIni=/srv/new place\r\n");
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(Entries(m_folder), QStringList{Q("Zeph.lmf")});

  // Change one key again: only its line moves to the end.
  ASSERT_EQ(WriteSettingsKey(m_file, kHeader, Q("Other"), Q("2")), 1);
  EXPECT_EQ(ReadBytes(m_file), "[Zephorin]\r\n" + others.mid(9) +
                                   "Last=no line end\r\n"
                                   "CmfIni=/srv/new place\r\n"
                                   "Other=2\r\n");
  QString value;
  EXPECT_EQ(ReadSettingsKey(m_file, kHeader, Q("CmfIni"), value), 1);
  EXPECT_EQ(value, Q("/srv/new place"));
}

TEST_F(Settings, NewEmptyAndHeaderlessFiles) {
  struct Case {
    const char* name;
    bool exists;
    QByteArray content;
    const char* header;
    QByteArray expected;
  };
  const Case cases[] = {
      {"a new file", false, "", "[Zephorin]", "[Zephorin]\r\nLogFile=Yes\r\n"},
      {"an empty file", true, "", "[Zephorin]", "[Zephorin]\r\nLogFile=Yes\r\n"},
      {"only the header", true, "[Zephorin]\r\n", "[Zephorin]", "[Zephorin]\r\nLogFile=Yes\r\n"},
      {"no header: the first line stays", true, "First=1\r\nLogFile=No\r\n", "",
       "First=1\r\nLogFile=Yes\r\n"},
      {"no header and a new file", false, "", "", "LogFile=Yes\r\n"},
  };
  for (const Case& c : cases) {
    QFile::remove(m_file);
    if (c.exists) WriteBytes(m_file, c.content);
    EXPECT_EQ(WriteSettingsKey(m_file, Q(c.header), Q("LogFile"), Q("Yes")), 1) << c.name;
    EXPECT_EQ(ReadBytes(m_file), c.expected) << c.name;
    EXPECT_EQ(Entries(m_folder), QStringList{Q("Zeph.lmf")}) << c.name;
  }
}

TEST_F(Settings, TheTemporaryNameSkipsTakenNamesAndTheModeIsKept) {
  WriteBytes(m_file, "[Zephorin]\r\nA=1\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(m_file).constData(), 0664), 0);
  WriteBytes(m_folder + Q("/Zeph.1"), "someone else's");
  QDir().mkpath(m_folder + Q("/Zeph.2"));
  ASSERT_EQ(WriteSettingsKey(m_file, kHeader, Q("A"), Q("2")), 1);
  EXPECT_EQ(ReadBytes(m_file), QByteArray("[Zephorin]\r\nA=2\r\n"));
  EXPECT_EQ(ReadBytes(m_folder + Q("/Zeph.1")), QByteArray("someone else's"));
  EXPECT_EQ(Entries(m_folder), (QStringList{Q("Zeph.1"), Q("Zeph.2"), Q("Zeph.lmf")}));
  // The rewritten file keeps the old one's permissions.
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(m_file).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0664u);
}

TEST_F(Settings, AFailedRewriteLeavesTheFileAsItWas) {
  const QByteArray old = "[Zephorin]\r\nLogFile=No\r\n";
  struct Case {
    const char* name;
    const char* key;
    QString value;
  };
  const Case cases[] = {
      {"a line break in the value", "LogFile", Q("Yes\r\nShowGlitch=Yes")},
      {"a character encoding 0 does not have", "LogFile", Q("\xC5\x82")},
      {"an equals sign in the key", "Log=File", Q("Yes")},
      {"an empty key", " ", Q("Yes")},
  };
  for (const Case& c : cases) {
    WriteBytes(m_file, old);
    EXPECT_EQ(WriteSettingsKey(m_file, kHeader, Q(c.key), c.value), 0) << c.name;
    EXPECT_EQ(ReadBytes(m_file), old) << c.name;
  }

  // A file that begins otherwise is not this program's settings file.
  const QByteArray foreign = "[Other]\r\nLogFile=No\r\n";
  WriteBytes(m_file, foreign);
  EXPECT_EQ(WriteSettingsKey(m_file, kHeader, Q("LogFile"), Q("Yes")), 0);
  EXPECT_EQ(ReadBytes(m_file), foreign);

  // A read-only file is not replaced.
  WriteBytes(m_file, old);
  ASSERT_EQ(::chmod(QFile::encodeName(m_file).constData(), 0444), 0);
  EXPECT_EQ(WriteSettingsKey(m_file, kHeader, Q("LogFile"), Q("Yes")), 0);
  EXPECT_EQ(ReadBytes(m_file), old);
  ASSERT_EQ(::chmod(QFile::encodeName(m_file).constData(), 0644), 0);

  // Something that is there but cannot be read as a file is never replaced.
  ASSERT_TRUE(QFile::remove(m_file));
  QDir().mkpath(m_file + Q("/inside"));
  EXPECT_EQ(WriteSettingsKey(m_file, kHeader, Q("LogFile"), Q("Yes")), 0);
  EXPECT_TRUE(QFileInfo(m_file + Q("/inside")).isDir());

  // A folder that cannot hold files: nothing is made.
  WriteBytes(m_folder + Q("/plain"), "x");
  EXPECT_EQ(WriteSettingsKey(m_folder + Q("/plain/Zeph.lmf"), kHeader, Q("A"), Q("1")), 0);
  EXPECT_EQ(Entries(m_folder), (QStringList{Q("Zeph.lmf"), Q("plain")}));
}

// ---- The two files ----

TEST_F(Settings, MachineAndUserSettings) {
  QString value = Q("default");
  EXPECT_EQ(ReadMachineSetting(Q("LogFile"), value), 0);
  EXPECT_EQ(value, Q("default"));
  EXPECT_FALSE(QFileInfo::exists(m_common + Q("/Corvelle Software")));

  EXPECT_EQ(WriteMachineSetting(Q("LogFile"), Q("Yes")), 1);
  EXPECT_EQ(ReadBytes(SharedFile()), QByteArray("[Zephorin]\r\nLogFile=Yes\r\n"));
  EXPECT_EQ(ReadMachineSetting(Q("logfile"), value), 1);
  EXPECT_EQ(value, Q("Yes"));

  value = Q("default");
  EXPECT_EQ(ReadUserSetting(Q("WindowPosition"), value), 0);
  EXPECT_EQ(value, Q("default"));
  WriteUserSetting(Q("WindowPosition"), Q("10,20,810,620"));
  EXPECT_EQ(ReadBytes(UserFile()), QByteArray("[Zephorin]\r\nWindowPosition=10,20,810,620\r\n"));
  EXPECT_EQ(ReadUserSetting(Q("WindowPosition"), value), 1);
  EXPECT_EQ(value, Q("10,20,810,620"));
}

TEST_F(Settings, GlitchReportOption) {
  const char* const cases[][2] = {{"No", "1"}, {"no", "1"}, {" No", "0"}, {"Yes", "0"}};
  for (const auto& c : cases) {
    g_glitchReportOff = 0;
    ASSERT_EQ(WriteMachineSetting(Q("GlitchReport"), Q(c[0])), 1);
    ReadGlitchReportOption();
    EXPECT_EQ(g_glitchReportOff, c[1][0] - '0') << c[0];
  }
}

TEST_F(Settings, ManagerFolder) {
  const QString shared = m_common + Q("/Corvelle Software/Zephorin3");
  ResolveManagerFolder();
  EXPECT_EQ(g_sharedSettingsFolder, shared);

  // "CmfIni" names a folder that exists (a trailing separator is dropped).
  const QString network = MakeFolder(QStringLiteral("net/zeph"));
  ASSERT_EQ(WriteMachineSetting(Q("CmfIni"), network + u'/'), 1);
  ResolveManagerFolder();
  EXPECT_EQ(g_sharedSettingsFolder, network);

  // A folder that has gone gives the shared data folder again.
  ASSERT_EQ(WriteMachineSetting(Q("CmfIni"), Path(QStringLiteral("gone"))), 1);
  ResolveManagerFolder();
  EXPECT_EQ(g_sharedSettingsFolder, shared);

  // A folder without a manager file is not taken unless the file is to be copied there.
  const QString other = MakeFolder(QStringLiteral("net/other"));
  ChangeManagerFolder(other, 1);
  QString stored;
  ASSERT_EQ(ReadMachineSetting(Q("CmfIni"), stored), 1);
  EXPECT_EQ(stored, Path(QStringLiteral("gone")));
  EXPECT_EQ(g_sharedSettingsFolder, shared);

  // One that holds the manager file is.
  WriteBytes(other + Q("/Zeph.cmf"), "Samples=Sample files\r\n");
  ChangeManagerFolder(other + u'/', 1);
  ASSERT_EQ(ReadMachineSetting(Q("CmfIni"), stored), 1);
  EXPECT_EQ(stored, other);
  EXPECT_EQ(g_sharedSettingsFolder, other);

  // With bit 1 the folder is taken and the manager file copied there.
  WriteBytes(shared + Q("/Zeph.cmf"), "Start=Documents\r\n");
  ChangeManagerFolder(network, 3);
  ASSERT_EQ(ReadMachineSetting(Q("CmfIni"), stored), 1);
  EXPECT_EQ(stored, network);
  EXPECT_EQ(g_sharedSettingsFolder, network);
  EXPECT_EQ(ReadBytes(network + Q("/Zeph.cmf")), QByteArray("Start=Documents\r\n"));
}

// ---- The log's settings and folders ----

TEST_F(Settings, TheLogReadsAndWritesItsSwitchesInTheMachineSettings) {
  InstallSupportHooks();
  QDir().mkpath(m_common + Q("/Corvelle Software/Zephorin3"));
  WriteBytes(SharedFile(), "[Zephorin]\r\nLogFile=Yes\r\nShowGlitch=no\r\n");
  ReadLogOptions();
  EXPECT_TRUE(g_logFileOption);
  EXPECT_TRUE(g_loggingOn);
  EXPECT_FALSE(g_showGlitch);

  EXPECT_EQ(SetLogFileOption(false), 1);
  EXPECT_FALSE(g_logFileOption);
  g_showGlitch = true;
  EXPECT_EQ(SaveShowGlitchOption(), 1);
  EXPECT_EQ(ReadBytes(SharedFile()), QByteArray("[Zephorin]\r\nLogFile=No\r\nShowGlitch=Yes\r\n"));
  g_showGlitch = false;

  // The log's folder is the roaming data folder.
  g_logFolder.clear();
  g_loggingOn = false;
  ReportGlitch(12345, 1);
  EXPECT_EQ(g_logFolder, m_config + Q("/Corvelle Software/Zephorin3"));
  EXPECT_TRUE(QFileInfo::exists(g_logFolder + Q("/Zeph.err")));
}

}  // namespace
