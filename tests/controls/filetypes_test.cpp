// The three file types registered under a data folder of the test's own: what the check finds
// when nothing or something damaged is registered, the repair that puts it right, the page's
// table and repair button, and a folder that cannot be written.
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "controls/filetypes.h"
#include "controls/table.h"
#include "controls_fixture.h"

namespace zeph::testing {
namespace {

class FileTypesTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ResetFileTypesState();
    ASSERT_TRUE(m_data.isValid());
    g_fileTypeDataFolder = m_data.path();
    g_programPath = QStringLiteral("/opt/zeph/bin/zephorin");
  }
  void TearDown() override {
    m_page.reset();
    ResetFileTypesState();
    ControlsTest::TearDown();
  }

  CCheckFileTypesPage& Page() {
    m_page = std::make_unique<CCheckFileTypesPage>();
    m_page->resize(420, 300);
    m_page->InitialiseOnce();
    return *m_page;
  }
  // The table as "type|status" lines.
  QStringList Rows() const {
    QStringList rows;
    const CTableWnd* table = m_page->GetTable();
    for (int r = 0; r < table->GetRowCount(); ++r) {
      rows << table->GetCellText(r, 0) + QLatin1Char('|') + table->GetCellText(r, 1);
    }
    return rows;
  }
  bool RepairEnabled() const { return m_page->GetDlgItem(kIdcRepairFileTypes)->isEnabled(); }
  static void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }
  static void RepairAll() {
    for (CFileTypeInfo& type : g_fileTypes) ASSERT_EQ(RepairFileType(type, g_programPath), 1);
  }

  QTemporaryDir m_data;
  std::unique_ptr<CCheckFileTypesPage> m_page;
};

TEST_F(FileTypesTest, NothingRegisteredListsEveryProblemAndOffersTheRepair) {
  Page();
  EXPECT_EQ(Rows(), (QStringList{
                        QStringLiteral("Zephorin file|File extension .zpd does not exist."),
                        QStringLiteral("|Missing file type."),
                        QStringLiteral("Zephorin backup file|File extension .zpk does not exist."),
                        QStringLiteral("|Missing file type."),
                        QStringLiteral("Zephorin symbol file|File extension .zsy does not exist."),
                        QStringLiteral("|Missing file type."),
                    }));
  EXPECT_TRUE(RepairEnabled());
  EXPECT_EQ(g_fileTypes[0].GetFileTypeMessage(1), QStringLiteral("Missing file type."));
  EXPECT_TRUE(g_fileTypes[0].GetFileTypeMessage(2).isEmpty());
  EXPECT_TRUE(g_fileTypes[0].GetFileTypeMessage(-1).isEmpty());
}

TEST_F(FileTypesTest, AfterTheRepairEveryTypeIsOkAndTheRepairIsOffered) {
  Page();
  auto* repair = qobject_cast<QPushButton*>(m_page->GetDlgItem(kIdcRepairFileTypes));
  ASSERT_NE(repair, nullptr);
  repair->click();
  EXPECT_EQ(Rows(), (QStringList{QStringLiteral("Zephorin file|OK"),
                                 QStringLiteral("Zephorin backup file|OK"),
                                 QStringLiteral("Zephorin symbol file|OK")}));
  EXPECT_FALSE(RepairEnabled());
  EXPECT_TRUE(m_presenter.shown().empty());
  // The desktop opens the three types with the program.
  QFile desktop(GetFileTypeDesktopPath());
  ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
  const QString entry = QString::fromUtf8(desktop.readAll());
  EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/opt/zeph/bin/zephorin\" %f\n")));
  EXPECT_TRUE(entry.contains(
      QStringLiteral("MimeType=application/x-zephorin-drawing;application/x-zephorin-backup;"
                     "application/x-zephorin-symbols;")));
  EXPECT_FALSE(MakeFileTypeIcon(g_fileTypes[2]).isEmpty());
  // Where the desktop's own tools are installed, they name our type for a drawing.
  if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
    QFile globs(m_data.path() + QStringLiteral("/mime/globs2"));
    ASSERT_TRUE(globs.open(QIODevice::ReadOnly));
    EXPECT_TRUE(globs.readAll().contains("application/x-zephorin-drawing:*.zpd"));
  }
  const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (!query.isEmpty()) {
    const QString drawing = m_data.path() + QStringLiteral("/lesson.zpd");
    Write(drawing, "drawing");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_data.path());
    process.setProcessEnvironment(environment);
    process.start(query, {QStringLiteral("query"), QStringLiteral("filetype"), drawing});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
              QStringLiteral("application/x-zephorin-drawing"));
  }
}

TEST_F(FileTypesTest, TheProgramPathIsQuotedAsTheDesktopEntryFormatAsks) {
  // The path is one quoted argument, whose '"', '`', '$' and '\' take a backslash and whose
  // '%' is doubled; the string value's own escaping then doubles every backslash again.
  struct Case {
    const char* name;
    QString path;
    QString exec;
  };
  const Case cases[] = {
      {"a plain path", QStringLiteral("/opt/zeph/zephorin"),
       QStringLiteral(R"(Exec="/opt/zeph/zephorin" %f)")},
      {"a blank", QStringLiteral("/opt/my zeph/zephorin"),
       QStringLiteral(R"(Exec="/opt/my zeph/zephorin" %f)")},
      {"a percent sign", QStringLiteral("/opt/100%/zephorin"),
       QStringLiteral(R"(Exec="/opt/100%%/zephorin" %f)")},
      {"a backslash", QStringLiteral(R"(/opt/a\b/zephorin)"),
       QStringLiteral(R"(Exec="/opt/a\\\\b/zephorin" %f)")},
      {"a double quote", QStringLiteral(R"(/opt/a"b/zephorin)"),
       QStringLiteral(R"(Exec="/opt/a\\"b/zephorin" %f)")},
      {"a dollar and a backquote", QStringLiteral("/opt/$a`b/zephorin"),
       QStringLiteral(R"(Exec="/opt/\\$a\\`b/zephorin" %f)")},
      {"a line break", QStringLiteral("/opt/a\nb/zephorin"),
       QStringLiteral(R"(Exec="/opt/a\nb/zephorin" %f)")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QStringList lines = MakeDesktopEntry(c.path).split(u'\n');
    EXPECT_TRUE(lines.contains(c.exec)) << lines.join(u'|').toStdString();
  }
  // The check finds the entry it wrote right, whatever the path holds.
  g_programPath = QStringLiteral("/opt/100% \"sure\" $HOME `x` a\\b/zephorin");
  RepairAll();
  for (CFileTypeInfo& type : g_fileTypes) EXPECT_EQ(CheckFileType(type, g_programPath), 0);
}

TEST_F(FileTypesTest, ADamagedEntryIsFoundAndRepaired) {
  struct Case {
    const char* name;
    int type;
    std::function<void()> damage;
    QStringList problems;
  };
  const auto package = [](int type) { return GetMimePackagePath(g_fileTypes[type]); };
  const Case cases[] = {
      {"icon replaced",
       0,
       [] { Write(GetFileTypeIconPath(g_fileTypes[0]), "<svg/>"); },
       {QStringLiteral("Unexpected icon for this file type.")}},
      {"package gone",
       2,
       [&] { QFile::remove(package(2)); },
       {QStringLiteral("File extension .zsy does not exist."),
        QStringLiteral("Missing file type.")}},
      {"package unreadable",
       1,
       [&] { Write(package(1), "<mime-info><mime-type"); },
       {QStringLiteral("File extension .zpk cannot be read."),
        QStringLiteral("Missing file type.")}},
      {"extension taken over",
       0,
       [&] {
         Write(package(0),
               "<mime-info><mime-type type=\"text/x-other\"><glob pattern=\"*.zpd\"/>"
               "</mime-type></mime-info>");
       },
       {QStringLiteral("File extension .zpd is being used by a different program."),
        QStringLiteral("Missing file type.")}},
      {"program moved",
       1,
       [] {
         Write(GetFileTypeDesktopPath(),
               MakeDesktopEntry(QStringLiteral("/usr/games/other")).toUtf8());
       },
       {QStringLiteral("Unexpected program link for this file type.")}},
      {"link gone",
       2,
       [] { QFile::remove(GetFileTypeDesktopPath()); },
       {QStringLiteral("Missing program link for this file type.")}},
  };
  for (const Case& c : cases) {
    RepairAll();
    c.damage();
    CFileTypeInfo& type = g_fileTypes[static_cast<std::size_t>(c.type)];
    ASSERT_EQ(CheckFileType(type, g_programPath), c.problems.size()) << c.name;
    for (int i = 0; i < type.GetProblemCount(); ++i) {
      EXPECT_EQ(type.GetFileTypeMessage(i), c.problems[i]) << c.name;
    }
    Page();
    EXPECT_TRUE(RepairEnabled()) << c.name;
    m_page->OnRepair();
    EXPECT_FALSE(RepairEnabled()) << c.name;
    EXPECT_EQ(CheckFileType(type, g_programPath), 0) << c.name;
  }
}

TEST_F(FileTypesTest, AReadOnlyPageNeverOffersTheRepair) {
  m_page = std::make_unique<CCheckFileTypesPage>();
  m_page->SetReadOnly(1);
  m_page->InitialiseOnce();
  EXPECT_EQ(Rows().size(), 6);
  EXPECT_FALSE(RepairEnabled());
}

TEST_F(FileTypesTest, AFolderThatCannotBeWrittenGivesMessage80Once) {
  // A data folder below a plain file can never be made, even by root.
  const QString file = m_data.path() + QStringLiteral("/plain");
  Write(file, "x");
  g_fileTypeDataFolder = file + QStringLiteral("/data");
  Page();
  m_page->OnRepair();
  ASSERT_EQ(m_presenter.shown().size(), 1u) << "the other types are not tried";
  EXPECT_EQ(m_presenter.shown()[0].text,
            QStringLiteral("Sorry - you cannot change these settings\n"
                           "unless you are logged on as an Administrator."));
  EXPECT_TRUE(RepairEnabled());
  EXPECT_EQ(RepairFileType(g_fileTypes[0], g_programPath), 0);
}

TEST_F(FileTypesTest, WithoutTheProgramsPathNothingIsListedOrWritten) {
  g_programPath.clear();
  Page();
  EXPECT_EQ(Rows().size(), 0);
  m_page->OnRepair();
  EXPECT_FALSE(QFile::exists(GetFileTypeDesktopPath()));
  ExpectGlitch(23303, 1);
}

}  // namespace
}  // namespace zeph::testing
