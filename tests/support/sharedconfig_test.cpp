#include "support/sharedconfig.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/file_bytes.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/textfile.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// Home, configuration, data and documents folders, the registry store and the manager's
// folder all lie in a temporary folder of the test.
class SharedConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
      m_oldEnvironment.push_back(qgetenv(name));
      const QString folder = m_dir.filePath(QString::fromLatin1(name));
      QDir().mkpath(folder);
      qputenv(name, QFile::encodeName(folder));
    }
    ResetLogState();
    ResetFileStatus();
    ResetAppGlobals();
    ResetDataFolders();
    ResetSettingsState();
    ResetSharedConfigState();
    g_managerFileName = Q("Zeph.cmf");
    g_sharedSettingsFolder = m_dir.filePath(Q("manager"));
    QDir().mkpath(g_sharedSettingsFolder);
  }
  void TearDown() override {
    // Every operation closes its own entry in the log's call stack, whichever way it ends.
    if (m_checkCallStack) {
      EXPECT_EQ(g_callDepth, 0);
    }
    ResetSharedConfigState();
    ResetSettingsState();
    ResetDataFolders();
    ResetAppGlobals();
    ResetFileStatus();
    ResetLogState();
    int i = 0;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
      qputenv(name, m_oldEnvironment[static_cast<std::size_t>(i++)]);
    }
  }

  QString ManagerFile() const { return g_sharedSettingsFolder + Q("/Zeph.cmf"); }
  QString Path(const char* relative) const { return m_dir.filePath(Q(relative)); }

  QTemporaryDir m_dir;
  std::vector<QByteArray> m_oldEnvironment;
  // The registry records a missing value as a minor failure, which leaves its entry (and so
  // its caller's) open in the log's call stack.
  bool m_checkCallStack = true;
};

// ---- Manager file ----

TEST_F(SharedConfigTest, ManagerFileKeys) {
  g_documentsFolder = Q("/before");
  WriteFile(ManagerFile(),
            "S=x\r\n"
            "Samples = /srv/zeph/Samples \r\n"
            "Start= \\\\server\\pupils \r\n"
            " save name = My Documents \r\n"
            "KeepOptions=No\r\n"
            "Unknown=1\r\n"
            "no equals sign\r\n");
  ReadManagerFile();
  EXPECT_EQ(g_managerSamples, Q("/srv/zeph/Samples"));
  EXPECT_EQ(g_samplesFolder, Q("/srv/zeph/Samples"));
  EXPECT_EQ(g_managerStartFolder, Q("\\\\server\\pupils"));
  EXPECT_EQ(g_documentsFolder, Q("//server/pupils"));
  EXPECT_EQ(g_saveNameMode, kSaveNameMyDocuments);
  EXPECT_EQ(g_keepOptions, 0);
  EXPECT_EQ(g_fileStatus, kFileOk);
}

TEST_F(SharedConfigTest, ManagerFileValues) {
  // Each line is read with "My Documents" and "KeepOptions=No" in force before it.
  struct Case {
    const char* line;
    int saveNameMode;
    int keepOptions;
  };
  const Case cases[] = {
      {"SaveName=Registry", kSaveNameRegistry, 0},
      {"SaveName=user corv dir", kSaveNameUserCorvDir, 0},
      {"SAVENAME=no", kSaveNameNo, 0},
      {"SaveName=Disk", kSaveNameMyDocuments, 0},
      {"SaveName=", kSaveNameMyDocuments, 0},
      {"KeepOptions=Y e s", kSaveNameMyDocuments, 1},
      {"KeepOptions=maybe", kSaveNameMyDocuments, 0},
      {"S=Yes", kSaveNameMyDocuments, 0},
  };
  for (const Case& c : cases) {
    g_saveNameMode = kSaveNameMyDocuments;
    g_keepOptions = 0;
    WriteFile(ManagerFile(), QByteArray(c.line) + "\r\n");
    ReadManagerFile();
    EXPECT_EQ(g_saveNameMode, c.saveNameMode) << c.line;
    EXPECT_EQ(g_keepOptions, c.keepOptions) << c.line;
  }
}

TEST_F(SharedConfigTest, MissingFilesChangeNothing) {
  g_saveNameMode = kSaveNameUserCorvDir;
  g_keepOptions = 0;
  ReadManagerFile();
  ReadPrinterSettings();
  ReadUserName();
  EXPECT_EQ(g_saveNameMode, kSaveNameUserCorvDir);
  EXPECT_EQ(g_keepOptions, 0);
  EXPECT_EQ(g_userName, QString());
  EXPECT_EQ(g_userNameKept, 0);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(SharedConfigTest, AStartFolderGivenOnTheCommandLineStays) {
  g_startFolderGiven = 1;
  g_documentsFolder = Q("/mine");
  WriteFile(ManagerFile(), "Start=/pupils\r\n");
  ReadManagerFile();
  EXPECT_EQ(g_managerStartFolder, Q("/pupils"));
  EXPECT_EQ(g_documentsFolder, Q("/mine"));
}

TEST_F(SharedConfigTest, ASymbolicStartFolderIsExpanded) {
  WriteFile(ManagerFile(), "Start=Documents\\Class 3\r\n");
  ReadManagerFile();
  QString documents;
  ASSERT_EQ(GetMyDocumentsFolder(documents), 1);
  EXPECT_EQ(g_managerStartFolder, Q("Documents\\Class 3"));
  EXPECT_EQ(g_documentsFolder, documents + Q("/Class 3"));
}

TEST_F(SharedConfigTest, WritingTheManagerFile) {
  struct Case {
    const char* samples;
    const char* start;
    int mode;
    int keep;
    const char* content;
  };
  const Case cases[] = {
      {"/srv/Samples", "Documents/Class", kSaveNameMyDocuments, 0,
       "Samples=/srv/Samples\r\nStart=Documents/Class\r\nSaveName=My Documents\r\n"
       "KeepOptions=No\r\n"},
      {"", "", kSaveNameRegistry, 1, "SaveName=Registry\r\n"},
      {"", "", kSaveNameUserCorvDir, 1, "SaveName=UserCorvDir\r\n"},
      {"", "", 7, 1, "SaveName=No\r\n"},
  };
  for (const Case& c : cases) {
    g_managerSamples = Q(c.samples);
    g_managerStartFolder = Q(c.start);
    g_saveNameMode = static_cast<std::int16_t>(c.mode);
    g_keepOptions = static_cast<std::int16_t>(c.keep);
    ASSERT_EQ(WriteManagerFile(), 1) << c.content;
    EXPECT_EQ(ReadFile(ManagerFile()), QByteArray(c.content));
  }
  // Read back: "My Documents" gives mode 2, and no "KeepOptions" line leaves the default.
  g_saveNameMode = kSaveNameMyDocuments;
  g_keepOptions = 1;
  ASSERT_EQ(WriteManagerFile(), 1);
  ResetSharedConfigState();
  ReadManagerFile();
  EXPECT_EQ(g_saveNameMode, kSaveNameMyDocuments);
  EXPECT_EQ(g_keepOptions, 1);
  EXPECT_EQ(QDir(g_sharedSettingsFolder).entryList(QDir::Files), QStringList{Q("Zeph.cmf")});
}

TEST_F(SharedConfigTest, AManagerFileThatCannotBeWrittenIsAFailure) {
  WriteFile(ManagerFile(), "SaveName=No\r\n");
  // A path that cannot hold the stored text in the file's encoding.
  g_managerSamples = QString::fromUtf8("/srv/\xe5\x9b\xbe");
  EXPECT_EQ(WriteManagerFile(), 0);
  EXPECT_EQ(g_fileStatus, kFileCannotSave);
  EXPECT_EQ(ReadFile(ManagerFile()), QByteArray("SaveName=No\r\n"));

  // A read-only manager file stays.
  g_managerSamples = Q("/srv/Samples");
  ASSERT_TRUE(QFile::setPermissions(ManagerFile(), QFile::ReadOwner | QFile::ReadGroup));
  EXPECT_EQ(WriteManagerFile(), 0);
  EXPECT_EQ(g_fileStatus, kFileReadOnly);
  EXPECT_EQ(ReadFile(ManagerFile()), QByteArray("SaveName=No\r\n"));

  // A manager folder that is a file cannot take the file.
  g_sharedSettingsFolder = Path("plain");
  WriteFile(g_sharedSettingsFolder, "x");
  EXPECT_EQ(WriteManagerFile(), 0);
  EXPECT_NE(g_fileStatus, kFileOk);

  // Without a manager folder nothing is written anywhere.
  g_sharedSettingsFolder.clear();
  EXPECT_EQ(WriteManagerFile(), 0);
  EXPECT_EQ(g_fileStatus, kFileCannotCreate);
}

TEST_F(SharedConfigTest, EnsureManagerFileCopiesItFromTheProgramFolder) {
  g_programFolder = Path("program");
  WriteFile(g_programFolder + Q("/Zeph.cmf"), "SaveName=No\r\n");
  EXPECT_EQ(EnsureManagerFile(), 0);
  EXPECT_EQ(ReadFile(ManagerFile()), QByteArray("SaveName=No\r\n"));

  // Once there it is left alone.
  WriteFile(g_programFolder + Q("/Zeph.cmf"), "SaveName=Registry\r\n");
  EXPECT_EQ(EnsureManagerFile(), 0);
  EXPECT_EQ(ReadFile(ManagerFile()), QByteArray("SaveName=No\r\n"));
}

TEST_F(SharedConfigTest, EnsureManagerFilePrefersTheSharedDataFolder) {
  g_programFolder = Path("program");
  WriteFile(g_programFolder + Q("/Zeph.cmf"), "SaveName=No\r\n");
  ASSERT_EQ(GetSharedDataFolder(1), 1);
  WriteFile(g_sharedDataFolder + Q("/Zeph.cmf"), "KeepOptions=No\r\n");
  EXPECT_EQ(EnsureManagerFile(), 0);
  EXPECT_EQ(ReadFile(ManagerFile()), QByteArray("KeepOptions=No\r\n"));

  // With no source anywhere nothing is made.
  g_sharedSettingsFolder = Path("empty");
  QDir().mkpath(g_sharedSettingsFolder);
  QFile::remove(g_programFolder + Q("/Zeph.cmf"));
  QFile::remove(g_sharedDataFolder + Q("/Zeph.cmf"));
  EXPECT_EQ(EnsureManagerFile(), 0);
  EXPECT_FALSE(QFile::exists(ManagerFile()));
}

TEST_F(SharedConfigTest, SamplesAreCopiedIntoTheManagerFolder) {
  g_programFolder = Path("program");
  WriteFile(g_programFolder + Q("/Samples/house.zpd"), "drawing");
  WriteFile(ManagerFile(), "SaveName=No\r\nSamples=/old\r\n");
  g_managerSamples = Q("/old");
  CopySamplesToManagerFolder();
  const QString target = g_sharedSettingsFolder + Q("/Samples");
  EXPECT_EQ(ReadFile(target + Q("/house.zpd")), QByteArray("drawing"));
  EXPECT_EQ(g_samplesFolder, target);
  EXPECT_EQ(g_managerSamples, target);
  EXPECT_EQ(ReadFile(ManagerFile()),
            QByteArray("SaveName=No\r\nSamples=") + QFile::encodeName(target) + "\r\n");
  // A later rewrite of the manager file keeps the new folder.
  ASSERT_EQ(WriteManagerFile(), 1);
  ResetSharedConfigState();
  ReadManagerFile();
  EXPECT_EQ(g_managerSamples, target);
}

// ---- Maker-wide printer file ----

TEST_F(SharedConfigTest, MakerSettingsPath) {
  struct Case {
    const char* manager;
    const char* path;
  };
  const Case cases[] = {
      {"/srv/Public/Corvelle Software/Zephorin3", "/srv/Public/Corvelle Software/Corvelle.cmf"},
      {"/a/corvelle software/b/Corvelle Software/c",
       "/a/corvelle software/b/Corvelle Software/"
       "Corvelle.cmf"},
      {"/x/CORVELLE SOFTWARE/y", "/x/CORVELLE SOFTWARE/Corvelle.cmf"},
      {"//server/setup", "//server/setup/Corvelle.cmf"},
      {"/srv/Corvelle Software", "/srv/Corvelle Software/Corvelle.cmf"},
      {"/srv/Corvelle Softwarex/y", "/srv/Corvelle Softwarex/y/Corvelle.cmf"},
  };
  for (const Case& c : cases) {
    g_sharedSettingsFolder = Q(c.manager);
    QString path;
    GetMakerSettingsPath(path);
    EXPECT_EQ(path, Q(c.path)) << c.manager;
  }
}

TEST_F(SharedConfigTest, PrinterLines) {
  struct Case {
    const char* line;
    int ok;
    const char* name;
    int line_;
    int arc;
    int dot;
    int colour;
  };
  const Case cases[] = {
      {"Printer=2, 2 ,4,1,  HP LaserJet 4 ", 1, "HP LaserJet 4", 2, 2, 4, 1},
      {" printer =3,1,5,0,Canon, Office", 1, "Canon, Office", 3, 1, 5, 0},
      {"Printer=1,1,1,7,Epson", 1, "Epson", 1, 1, 1, 1},
      {"Printer=2,x,4,1,HP", 0, "", 0, 0, 0, 0},
      {"Printer=2,,4,1,HP", 0, "", 0, 0, 0, 0},
      {"Printer=2,2,4,HP", 0, "", 0, 0, 0, 0},
      {"Printer=2,2,4,1,  ", 0, "", 0, 0, 0, 0},
      {"Plotter=2,2,4,1,HP", 0, "", 0, 0, 0, 0},
      {"Printer", 0, "", 0, 0, 0, 0},
      {"=2,2,4,1,HP", 0, "", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    PrinterSettingsRow row;
    ASSERT_EQ(ParsePrinterLine(Q(c.line), row), c.ok) << c.line;
    if (c.ok == 0) continue;
    EXPECT_EQ(row.name, Q(c.name)) << c.line;
    EXPECT_EQ(row.lineThickness, c.line_) << c.line;
    EXPECT_EQ(row.arcThickness, c.arc) << c.line;
    EXPECT_EQ(row.hatchDotSize, c.dot) << c.line;
    EXPECT_EQ(row.isColour, c.colour) << c.line;
  }
}

TEST_F(SharedConfigTest, PrinterFileFeedsTheTableAndIsWrittenFromIt) {
  std::vector<PrinterSettingsRow> table;
  GetPrinterTableHooks().registerSavedPrinter = [&table](const PrinterSettingsRow& row) {
    table.push_back(row);
  };
  GetPrinterTableHooks().savedPrinters = [&table] { return table; };

  g_sharedSettingsFolder = Path("Public/Corvelle Software/Zephorin3");
  QDir().mkpath(g_sharedSettingsFolder);
  const QString file = Path("Public/Corvelle Software/Corvelle.cmf");
  WriteFile(file,
            "[Other]\r\nPrinter=2,2,4,1,HP\r\nPrinter=2,x,4,1,Bad\r\nPrinter=1,1,3,0,Canon\r\n");
  ReadPrinterSettings();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].name, Q("HP"));
  EXPECT_EQ(table[1].name, Q("Canon"));
  EXPECT_EQ(g_fileStatus, kFileOk);

  table[1].isColour = 1;
  ASSERT_EQ(WritePrinterSettings(), 1);
  EXPECT_EQ(ReadFile(file), QByteArray("Printer=2,2,4,1,HP\r\nPrinter=1,1,3,1,Canon\r\n"));

  // Without a printer table the file is not touched.
  GetPrinterTableHooks() = PrinterTableHooks();
  EXPECT_EQ(WritePrinterSettings(), 0);
  EXPECT_EQ(ReadFile(file), QByteArray("Printer=2,2,4,1,HP\r\nPrinter=1,1,3,1,Canon\r\n"));

  // A printer file that cannot be written completely is a failure, and the old one stays.
  GetPrinterTableHooks().savedPrinters = [] {
    PrinterSettingsRow row;
    row.name = QString::fromUtf8("\xe6\x89\x93\xe5\x8d\xb0");
    return std::vector<PrinterSettingsRow>{row};
  };
  EXPECT_EQ(WritePrinterSettings(), 0);
  EXPECT_NE(g_fileStatus, kFileOk);
  EXPECT_EQ(ReadFile(file), QByteArray("Printer=2,2,4,1,HP\r\nPrinter=1,1,3,1,Canon\r\n"));
}

// ---- The user's name ----

TEST_F(SharedConfigTest, NameInTheRegistry) {
  m_checkCallStack = false;
  g_saveNameMode = kSaveNameRegistry;
  ReadUserName();
  EXPECT_EQ(g_userName, QString());
  EXPECT_EQ(g_userNameKept, 0);

  g_userName = Q("Ann Smith");
  g_userNameKept = 1;
  SaveUserName();
  EXPECT_EQ(g_userNameKept, 1);
  g_userName.clear();
  ReadUserName();
  EXPECT_EQ(g_userName, Q("Ann Smith"));
  EXPECT_EQ(g_userNameKept, 1);

  // Not to be kept: the stored name goes.
  g_userNameKept = 0;
  SaveUserName();
  ReadUserName();
  EXPECT_EQ(g_userName, QString());
  EXPECT_EQ(g_userNameKept, 0);
}

TEST_F(SharedConfigTest, RegistryNamesAreCutAndAlwaysAskMeansNone) {
  g_saveNameMode = kSaveNameRegistry;
  RegistryKey key;
  ASSERT_EQ(OpenRegistryPath(RegistryKey::CurrentUser(), {Q("SOFTWARE"), Q("Corvelle Software")},
                             key, true, false),
            2);
  ASSERT_EQ(WriteRegistryString(key, Q("Name"), Q("always ask")), 1);
  ReadUserName();
  EXPECT_EQ(g_userName, QString());
  EXPECT_EQ(g_userNameKept, 0);

  ASSERT_EQ(WriteRegistryString(key, Q("Name"), Q("A name far longer than thirty-six characters")),
            1);
  ReadUserName();
  EXPECT_EQ(g_userName, Q("A name far longer than thirty-six ch"));
  EXPECT_EQ(g_userName.size(), kUserNameLimit);
  EXPECT_EQ(g_userNameKept, 1);
}

TEST_F(SharedConfigTest, NameInANameFile) {
  struct Case {
    int mode;
    const char* file;
  };
  const Case cases[] = {
      {kSaveNameUserCorvDir, "XDG_CONFIG_HOME/Corvelle Software/Name.ini"},
      {kSaveNameMyDocuments, "HOME/Documents/Name.ini"},
  };
  QDir().mkpath(Path("HOME/Documents"));
  for (const Case& c : cases) {
    g_saveNameMode = static_cast<std::int16_t>(c.mode);
    g_userName = Q("Always ask");
    g_userNameKept = 1;
    SaveUserName();
    EXPECT_EQ(g_userNameKept, 1) << c.file;
    EXPECT_EQ(ReadFile(Path(c.file)), QByteArray("Always ask\r\n")) << c.file;
    // Only the registry value means "ask every time"; in a file it is a name.
    g_userName.clear();
    ReadUserName();
    EXPECT_EQ(g_userName, Q("Always ask")) << c.file;
    EXPECT_EQ(g_userNameKept, 1) << c.file;

    WriteFile(Path(c.file), "Bartholomew Fitzgerald-Montgomery the Third\r\nsecond line\r\n");
    ReadUserName();
    EXPECT_EQ(g_userName, Q("Bartholomew Fitzgerald-Montgomery th")) << c.file;

    g_userNameKept = 0;
    SaveUserName();
    EXPECT_FALSE(QFile::exists(Path(c.file))) << c.file;
    ReadUserName();
    EXPECT_EQ(g_userName, QString()) << c.file;
    EXPECT_EQ(g_userNameKept, 0) << c.file;
  }
}

TEST_F(SharedConfigTest, ANameThatCannotBeStoredIsNotKept) {
  g_saveNameMode = kSaveNameUserCorvDir;
  g_userName = Q("Ann");
  g_userNameKept = 1;
  SaveUserName();
  const QString file = Path("XDG_CONFIG_HOME/Corvelle Software/Name.ini");
  ASSERT_EQ(ReadFile(file), QByteArray("Ann\r\n"));

  // The file's encoding cannot hold this name: it is not kept, and the old one must not come
  // back in its place.
  g_userName = QString::fromUtf8("\xd0\x90\xd0\xbd\xd1\x8f");
  g_userNameKept = 1;
  SaveUserName();
  EXPECT_EQ(g_userNameKept, 0);
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_EQ(QDir(Path("XDG_CONFIG_HOME/Corvelle Software")).entryList(QDir::Files), QStringList());
}

TEST_F(SharedConfigTest, NoNameModeNeitherReadsNorStores) {
  g_saveNameMode = kSaveNameUserCorvDir;
  g_userName = Q("Ann");
  g_userNameKept = 1;
  SaveUserName();
  g_saveNameMode = kSaveNameNo;
  ReadUserName();
  EXPECT_EQ(g_userName, QString());
  EXPECT_EQ(g_userNameKept, 0);
  g_userName = Q("Bob");
  g_userNameKept = 1;
  SaveUserName();
  // The name stored earlier stays where it is.
  EXPECT_EQ(ReadFile(Path("XDG_CONFIG_HOME/Corvelle Software/Name.ini")), QByteArray("Ann\r\n"));
}

}  // namespace
