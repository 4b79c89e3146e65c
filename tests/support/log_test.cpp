#include "support/log.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <ctime>
#include <optional>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

#include "platform/presenter.h"
#include "support/appservices.h"
#include "support/constants.h"

// Readable texts in failure messages.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

// One drawing open in the application.
class FakeApp final : public IAppServices {
 public:
  bool HasActiveDocument() const override { return true; }
  QString GetActiveDocumentPath() const override {
    return QStringLiteral("/home/pupil/Drawings/house.zpd");
  }
  int GetActiveDocumentItemCount() const override { return 17; }
};

// Every test runs in its own home, config, data and temporary folders, in UTC, and leaves
// the log as at program start.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_root.isValid());
    m_home = MakeFolder(QStringLiteral("home"));
    m_logs = MakeFolder(QStringLiteral("logs"));
    SetEnv("HOME", m_home);
    SetEnv("XDG_CONFIG_HOME", Path(QStringLiteral("config")));
    SetEnv("XDG_DATA_HOME", Path(QStringLiteral("data")));
    SetEnv("XDG_CACHE_HOME", Path(QStringLiteral("cache")));
    SetEnv("TMPDIR", MakeFolder(QStringLiteral("tmp")));
    SetZone("UTC0");
    m_oldCurrent = QDir::currentPath();
    ResetLogState();
    ResetAppGlobals();
    zeph::SetPresenter(&m_presenter);
    g_logFolder = m_logs;
    g_startTime = CTime::FromLocal(2026, 12, 8, 9, 5, 7);
  }

  void TearDown() override {
    QDir::setCurrent(m_oldCurrent);
    ResetLogState();
    ResetAppGlobals();
    SetAppServices(nullptr);
    zeph::SetPresenter(nullptr);
    g_startTime = CTime();
    for (auto it = m_savedEnv.rbegin(); it != m_savedEnv.rend(); ++it) {
      if (it->second) {
        qputenv(it->first.constData(), *it->second);
      } else {
        qunsetenv(it->first.constData());
      }
    }
    tzset();
  }

  QString Path(const QString& name) const { return m_root.filePath(name); }
  QString MakeFolder(const QString& name) const {
    QDir().mkpath(Path(name));
    return Path(name);
  }
  void SetEnv(const char* name, const QString& value) {
    std::optional<QByteArray> old;
    if (qEnvironmentVariableIsSet(name)) old = qgetenv(name);
    m_savedEnv.emplace_back(name, old);
    qputenv(name, value.toUtf8());
  }
  void SetZone(const QString& zone) {
    SetEnv("TZ", zone);
    tzset();
  }

  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // The file's lines; every line must end in CR LF.
  static QStringList Lines(const QString& path) {
    const QString text = QString::fromUtf8(ReadBytes(path));
    EXPECT_EQ(text.count(u'\n'), text.count(QStringLiteral("\r\n")))
        << "bare line end in " << path.toStdString();
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
  }
  static void Fill(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
  }
  // The lines of the machine block that the first report of a run appends.
  QStringList MachineBlock() {
    ReportGlitch(2101, 1);
    const QStringList lines = Lines(g_glitchFilePath);
    const qsizetype first = lines.indexOf(QRegularExpression(QStringLiteral("^Current machine: ")));
    const qsizetype end = lines.indexOf(QString(), first);
    return first < 0 || end < 0 ? QStringList() : lines.mid(first, end - first);
  }

  QTemporaryDir m_root;
  QString m_home;
  QString m_logs;
  QString m_oldCurrent;
  zeph::ScriptedPresenter m_presenter;
  std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnv;
};

const QRegularExpression kTimeLine(
    QStringLiteral("^\\d{1,2}:\\d\\d\\.\\d\\d   \\d{1,2} [A-Z][a-z]+ \\d{4}$"));
const QString kStartLine = QStringLiteral("9:05.07   8 December 2026");

struct Record {
  int code;
  int phase;
  int value;
};

TEST_F(LogTest, StoredValueFollowsCodeAndPhase) {
  struct Case {
    const char* name;
    Record record;
    int stored;
  };
  const Case cases[] = {
      {"failure step adds its group", {1234, 3, 7000}, 7003},
      {"phase of 1000 or more stands alone", {1234, 1500, 7000}, 1500},
      {"number keeps its phase", {0, 42, 0}, 42},
      {"code below 1000 ignores the value", {999, 3, 7000}, 3},
      {"normal exit", {1234, 0, 1000}, 1000},
      {"negative phase", {1234, -5, 2000}, 1995},
  };
  for (const Case& c : cases) {
    ResetLogState();
    LogAction(c.record.code, c.record.phase, c.record.value);
    ASSERT_EQ(g_logCapacity, kLogRingSize) << c.name;
    EXPECT_EQ(g_logCodes[0], c.record.code) << c.name;
    EXPECT_EQ(g_logValues[0], c.stored) << c.name;
    EXPECT_EQ(g_logPosition, 1) << c.name;
    EXPECT_EQ(g_logActionCount, 1) << c.name;
  }
}

TEST_F(LogTest, ShadowCallStackFollowsValueGroups) {
  struct Case {
    const char* name;
    std::vector<Record> records;
    std::vector<int> depths;                // after each record
    std::vector<std::pair<int, int>> open;  // (code, stored value) from the outermost
  };
  const Case cases[] = {
      {"nested entry and exit",
       {{2101, 0, 0}, {2102, 0, 0}, {2102, 0, 1000}, {2101, 0, 1000}},
       {1, 2, 1, 0},
       {}},
      {"steps and handled problems update the open entry",
       {{2101, 0, 0}, {2101, 3, 0}, {2101, 2, 2000}},
       {1, 1, 1},
       {{2101, 2002}}},
      {"minor failures leave the stack",
       {{2101, 0, 0}, {2101, 4, 5000}, {2102, 1, 5000}},
       {1, 1, 1},
       {{2101, 0}}},
      {"failure, memory and invalid-state exits close",
       {{2101, 0, 0},
        {2101, 3, 7000},
        {2102, 0, 0},
        {2102, 1, 8000},
        {2103, 0, 0},
        {2103, 0, 9000}},
       {1, 0, 1, 0, 1, 0},
       {}},
      {"exits on an empty stack push nothing",
       {{2101, 0, 1000}, {2101, 3, 7000}, {2101, 2, 5000}},
       {0, 0, 0},
       {}},
      {"another function is pushed whatever its value",
       {{2101, 0, 0}, {2102, 2, 7000}},
       {1, 2},
       {{2101, 0}, {2102, 7002}}},
      {"records below 1000 leave the stack",
       {{2101, 0, 0}, {0, 5, 0}, {2, 0, 0}, {3, 2101, 0}, {999, 0, 0}},
       {1, 1, 1, 1, 1},
       {{2101, 0}}},
  };
  for (const Case& c : cases) {
    ResetLogState();
    for (size_t i = 0; i < c.records.size(); ++i) {
      LogAction(c.records[i].code, c.records[i].phase, c.records[i].value);
      EXPECT_EQ(g_callDepth, c.depths[i]) << c.name << ", record " << i;
    }
    ASSERT_EQ(g_callDepth, static_cast<int>(c.open.size())) << c.name;
    for (size_t i = 0; i < c.open.size(); ++i) {
      EXPECT_EQ(g_callCodes[i], c.open[i].first) << c.name;
      EXPECT_EQ(g_callPhases[i], c.open[i].second) << c.name;
    }
  }
}

TEST_F(LogTest, ShadowCallStackStopsAtNineteen) {
  for (int i = 0; i < kCallStackDepth; ++i) LogAction(3000 + i, 0, 0);
  ASSERT_EQ(g_callDepth, kCallStackDepth);
  LogAction(4000, 0, 0);
  EXPECT_EQ(g_callDepth, kCallStackDepth);
  EXPECT_EQ(g_callCodes[kCallStackDepth - 1], 3018);
  LogAction(3018, 5, 0);  // the top still takes its steps
  EXPECT_EQ(g_callPhases[kCallStackDepth - 1], 5);
  LogAction(3018, 0, 1000);
  EXPECT_EQ(g_callDepth, kCallStackDepth - 1);
}

TEST_F(LogTest, RingKeepsTheLastTenThousand) {
  for (int i = 1; i <= kLogRingSize + 1; ++i) LogNumber(i);
  EXPECT_EQ(g_logActionCount, kLogRingSize + 1);
  EXPECT_EQ(g_logPosition, 1);

  ReportGlitch(2101, 1);
  const QStringList lines = Lines(g_glitchFilePath);
  ASSERT_GE(lines.size(), kLogRingSize + 7);
  EXPECT_EQ(lines[0], QStringLiteral(">ZP336"));
  EXPECT_EQ(lines[1], kStartLine);
  EXPECT_EQ(lines[2], QStringLiteral("# 2"));
  EXPECT_EQ(lines[kLogRingSize + 1], QStringLiteral("# 10001"));
  EXPECT_TRUE(kTimeLine.match(lines[kLogRingSize + 2]).hasMatch())
      << lines[kLogRingSize + 2].toStdString();
  EXPECT_EQ(lines[kLogRingSize + 3], QStringLiteral("Total log actions: 10001"));
  EXPECT_EQ(lines[kLogRingSize + 4], QStringLiteral("Missing log actions: 1"));
  EXPECT_EQ(lines[kLogRingSize + 5], QStringLiteral("Glitch number 2101, 1"));
  EXPECT_EQ(lines[kLogRingSize + 6], QString());
  // The report empties the ring.
  EXPECT_EQ(g_logActionCount, 0);
  EXPECT_EQ(g_logPosition, 0);
}

TEST_F(LogTest, FirstGlitchWritesReportAndDescriptions) {
  FakeApp app;
  SetAppServices(&app);
  g_userName = QStringLiteral("Ann Pupil");
  g_programFolder = QStringLiteral("/opt/zephorin/");
  g_documentsFolder = QStringLiteral("/home/pupil/Documents");
  LogHooks& hooks = GetLogHooks();
  hooks.machineDescription = [] { return QStringLiteral("Debian GNU/Linux 12, x86_64"); };
  hooks.displayColourMode = [] { return 2; };
  hooks.screenWidth = [] { return 1280; };
  hooks.screenHeight = [] { return 1024; };
  hooks.knownPrinters = [] {
    return QStringList{QStringLiteral("Inkjet"), QStringLiteral("Laser")};
  };
  hooks.selectedPrinter = [] { return 1; };

  LogAction(2101, 0, 0);
  LogNumber(7);
  LogString(QStringLiteral("Größe ✓"));
  LogAction(1, 0, 0);  // information blocks stay out of glitch reports
  LogAction(2, 9, 0);
  LogAction(5, 3, 0);
  LogAction(3, 2000, 0);
  LogAction(2101, 2, 7000);
  SetGlitchValue(5);
  SetGlitchValue(-3);
  SetGlitchMessage(QStringLiteral("Index 12 of 10"));
  ReportGlitch(2101, 2);

  EXPECT_EQ(g_glitchFilePath, m_logs + QStringLiteral("/Zeph.err"));
  QStringList lines = Lines(g_glitchFilePath);
  ASSERT_GT(lines.size(), 20);
  EXPECT_TRUE(kTimeLine.match(lines[12]).hasMatch()) << lines[12].toStdString();
  EXPECT_TRUE(lines[21].startsWith(QStringLiteral("User name: "))) << lines[21].toStdString();
  lines[12] = QStringLiteral("<now>");
  lines[21] = QStringLiteral("<user>");
  const QStringList expected = {
      QStringLiteral(">ZP336"),
      kStartLine,
      QStringLiteral(": 2101,0"),
      QStringLiteral("# 7"),
      QStringLiteral("# Größe ✓"),
      QStringLiteral("# String 9"),
      QStringLiteral(": 5,3"),
      // A glitch record shows the context pending while the report is written.
      QStringLiteral("# Glitch 2000,0"),
      QStringLiteral("# Index 12 of 10"),
      QStringLiteral("# 5"),
      QStringLiteral("# -3"),
      QStringLiteral(": 2101,7002"),
      QStringLiteral("<now>"),
      QStringLiteral("Total log actions: 8"),
      QStringLiteral("Glitch number 2101, 2"),
      QStringLiteral("Glitch message: Index 12 of 10"),
      QStringLiteral("Glitch value: 5"),
      QStringLiteral("Glitch value: -3"),
      QString(),
      QStringLiteral("Current machine: Debian GNU/Linux 12, x86_64"),
      QStringLiteral("Computer name: ") + QSysInfo::machineHostName(),
      QStringLiteral("<user>"),
      QStringLiteral("Time zone: 0:00.00"),
      QStringLiteral("Number of colours: 16,777,216"),
      QStringLiteral("Screen dimensions: 1280 x 1024"),
      QStringLiteral("Current printer: 2"),
      QStringLiteral("    Inkjet"),
      QStringLiteral("    Laser"),
      QString(),
      QStringLiteral("Version: Zephorin version 3.36 (Release)"),
      QStringLiteral("Build: 1278"),
      QStringLiteral("Program directory: /opt/zephorin"),
      QStringLiteral("Working directory: /home/pupil/Documents"),
      QString(),
      QStringLiteral("Name: Ann Pupil"),
      QString(),
      QStringLiteral("Pathname: /home/pupil/Drawings/house.zpd"),
      QStringLiteral("Number of items: 17"),
  };
  EXPECT_EQ(lines, expected);
  EXPECT_TRUE(ReadBytes(g_glitchFilePath)
                  .contains("# Gr\xc3\xb6\xc3\x9f"
                            "e \xe2\x9c\x93\r\n"));

  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 2101);
  EXPECT_EQ(g_firstGlitchNumber, 2);
  EXPECT_EQ(g_firstGlitchValueCount, 2);
  EXPECT_EQ(g_firstGlitchValues[1], -3);
  EXPECT_EQ(g_firstGlitchValuesText, QStringLiteral("5, -3"));
  EXPECT_EQ(g_firstGlitchMessage, QStringLiteral("Index 12 of 10"));
  // The report consumed the context.
  EXPECT_EQ(g_glitchValueCount, 0);
  EXPECT_TRUE(g_glitchMessage.isEmpty());
}

TEST_F(LogTest, MachineBlockVariants) {
  struct Case {
    const char* name;
    const char* zone;
    int colourMode;
    int width;
    int height;
    int printer;
    QStringList printers;
    QStringList lines;  // after the computer and user names
  };
  const Case cases[] = {
      {"nothing known", "UTC0", -1, 0, 0, -1, {}, {"Time zone: 0:00.00", "Current printer: none"}},
      {"east of Greenwich",
       "XXX-1",
       0,
       640,
       0,
       0,
       {"Pdf"},
       {"Time zone: -1:00.00", "Number of colours: 16", "Screen dimensions: 640 x 0",
        "Current printer: 1", "    Pdf"}},
      {"west with minutes and seconds",
       "XXX+5:30:15",
       1,
       0,
       480,
       -1,
       {},
       {"Time zone: 5:30.15", "Number of colours: 256", "Screen dimensions: 0 x 480",
        "Current printer: none"}},
      {"other colour mode",
       "XXX-5:45",
       3,
       0,
       0,
       -1,
       {},
       {"Time zone: -5:45.00", "Number of colours: unknown.", "Current printer: none"}},
  };
  for (const Case& c : cases) {
    ResetLogState();
    g_logFolder = m_logs;
    SetZone(QString::fromLatin1(c.zone));
    LogHooks& hooks = GetLogHooks();
    hooks.displayColourMode = [&c] { return c.colourMode; };
    hooks.screenWidth = [&c] { return c.width; };
    hooks.screenHeight = [&c] { return c.height; };
    hooks.selectedPrinter = [&c] { return c.printer; };
    hooks.knownPrinters = [&c] { return c.printers; };
    const QStringList block = MachineBlock();
    ASSERT_GE(block.size(), 3) << c.name;
    EXPECT_EQ(block[0], QStringLiteral("Current machine: ")) << c.name;
    EXPECT_EQ(block.mid(3), c.lines) << c.name;
  }
}

TEST_F(LogTest, SecondGlitchAppendsWithoutBlocksOrUpload) {
  std::vector<std::int64_t> uploads;
  GetLogHooks().sendGlitchReport = [&uploads](std::int64_t total) { uploads.push_back(total); };
  for (int i = 0; i < 3; ++i) LogAction(2101, i, 0);
  ReportGlitch(2101, 1);
  const QString path = g_glitchFilePath;
  LogNumber(1);
  SetGlitchValue(8);
  ReportGlitch(2102, 4);

  EXPECT_EQ(uploads, std::vector<std::int64_t>{3});
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(g_firstGlitchCode, 2101);
  EXPECT_EQ(g_glitchFilePath, path);
  EXPECT_EQ(QDir(m_logs).entryList(QDir::Files), QStringList{QStringLiteral("Zeph.err")});

  const QStringList lines = Lines(path);
  EXPECT_EQ(lines.count(QStringLiteral(">ZP336")), 2);
  EXPECT_EQ(lines.filter(QStringLiteral("Current machine:")).size(), 1);
  EXPECT_EQ(lines.filter(QStringLiteral("Version:")).size(), 1);
  EXPECT_EQ(lines.filter(QStringLiteral("Pathname:")).size(), 1);
  ASSERT_GE(lines.size(), 8);
  QStringList tail = lines.mid(lines.size() - 8);
  EXPECT_TRUE(kTimeLine.match(tail[3]).hasMatch()) << tail[3].toStdString();
  tail[3] = QStringLiteral("<now>");
  const QStringList expected = {QStringLiteral(">ZP336"),
                                kStartLine,
                                QStringLiteral("# 1"),
                                QStringLiteral("<now>"),
                                QStringLiteral("Total log actions: 1"),
                                QStringLiteral("Glitch number 2102, 4"),
                                QStringLiteral("Glitch value: 8"),
                                QString()};
  EXPECT_EQ(tail, expected);
}

TEST_F(LogTest, GlitchReportsStopAtTheLimitAndLaterOnesAreOnlyCounted) {
  std::vector<std::int64_t> uploads;
  GetLogHooks().sendGlitchReport = [&uploads](std::int64_t total) { uploads.push_back(total); };
  SetGlitchValue(41);
  ReportGlitch(2101, 7);
  for (int i = 1; i < kGlitchReportLimit; ++i) ReportGlitch(2102, i);
  const QString path = g_glitchFilePath;
  const QByteArray atTheLimit = ReadBytes(path);
  EXPECT_TRUE(atTheLimit.endsWith(
      "Glitch reports end here: later glitches of this run are only counted\r\n"));

  for (int i = 0; i < 5; ++i) {
    SetGlitchValue(99);
    SetGlitchMessage(QStringLiteral("dropped"));
    LogNumber(i);
    ReportGlitch(2103, i);
  }
  EXPECT_EQ(ReadBytes(path), atTheLimit);
  EXPECT_EQ(Lines(path).filter(QStringLiteral("Glitch number")).size(), kGlitchReportLimit);
  EXPECT_EQ(g_glitchCount, kGlitchReportLimit + 5);
  EXPECT_EQ(g_unwrittenGlitchCount, 5);
  // The first glitch and its single upload are as they were.
  EXPECT_EQ(g_firstGlitchCode, 2101);
  EXPECT_EQ(g_firstGlitchNumber, 7);
  EXPECT_EQ(g_firstGlitchValuesText, QStringLiteral("41"));
  EXPECT_EQ(uploads.size(), 1u);
  // Each unwritten glitch leaves its record in the ring and nothing pending.
  int glitchRecords = 0;
  for (int i = 0; i < g_logPosition; ++i) glitchRecords += g_logCodes[i] == 3 ? 1 : 0;
  EXPECT_EQ(glitchRecords, 5);
  EXPECT_EQ(g_glitchValueCount, 0);
  EXPECT_TRUE(g_glitchMessage.isEmpty());

  ResetLogState();
  EXPECT_EQ(g_unwrittenGlitchCount, 0);
}

TEST_F(LogTest, EleventhGlitchValueIsIgnored) {
  for (int v = 1; v <= 11; ++v) SetGlitchValue(v);
  EXPECT_EQ(g_glitchValueCount, kGlitchValueLimit);
  ReportGlitch(2101, 1);
  const QStringList values =
      Lines(g_glitchFilePath).filter(QRegularExpression(QStringLiteral("^Glitch value: ")));
  ASSERT_EQ(values.size(), 10);
  EXPECT_EQ(values.first(), QStringLiteral("Glitch value: 1"));
  EXPECT_EQ(values.last(), QStringLiteral("Glitch value: 10"));
  EXPECT_EQ(g_firstGlitchValuesText, QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9, 10"));
}

TEST_F(LogTest, GlitchDuringReportIsIgnored) {
  int uploads = 0;
  LogHooks& hooks = GetLogHooks();
  hooks.machineDescription = [] {
    ReportGlitch(998, 8);
    return QStringLiteral("M");
  };
  hooks.sendGlitchReport = [&uploads](std::int64_t) {
    ++uploads;
    ReportGlitch(999, 9);
  };
  g_showGlitch = true;
  ReportGlitch(2101, 1);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(uploads, 1);
  EXPECT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(Lines(g_glitchFilePath).filter(QStringLiteral("Glitch number")),
            QStringList{QStringLiteral("Glitch number 2101, 1")});
  // Once the report is done, glitches count again.
  ReportGlitch(2102, 2);
  EXPECT_EQ(g_glitchCount, 2);
}

TEST_F(LogTest, LoggedStringsStopAtTheTableSize) {
  for (int i = 0; i < kLoggedStringCapacity; ++i) LogString(QString::number(i));
  EXPECT_EQ(g_loggedStringCount, kLoggedStringCapacity);
  EXPECT_EQ(g_logActionCount, kLoggedStringCapacity);
  EXPECT_EQ(g_logValues[kLoggedStringCapacity - 1], kLoggedStringCapacity - 1);
  LogString(QStringLiteral("one too many"));
  EXPECT_EQ(g_loggedStringCount, kLoggedStringCapacity);
  EXPECT_EQ(g_logActionCount, kLoggedStringCapacity);
}

TEST_F(LogTest, EachRunStartsANewNumberedFile) {
  struct Case {
    const char* name;
    bool glitch;
    QStringList existing;
    QString chosen;
  };
  const Case cases[] = {
      {"free name", false, {}, "Zeph.log"},
      {"taken name", false, {"Zeph.log"}, "Zeph(2).log"},
      {"first numbers taken", false, {"Zeph.log", "Zeph(2).log"}, "Zeph(3).log"},
      {"gap in the series", false, {"Zeph.log", "Zeph(3).log"}, "Zeph(2).log"},
      {"glitch file", true, {"Zeph.err"}, "Zeph(2).err"},
  };
  int run = 0;
  for (const Case& c : cases) {
    ResetLogState();
    g_logFolder = MakeFolder(QStringLiteral("run") + QString::number(++run));
    for (const QString& name : c.existing) Fill(g_logFolder + u'/' + name, QStringLiteral("old"));
    g_loggingOn = !c.glitch;
    if (c.glitch) {
      ReportGlitch(2101, 1);
    } else {
      LogAction(2101, 0, 0);
    }
    const QString path = c.glitch ? g_glitchFilePath : g_logFilePath;
    EXPECT_EQ(path, g_logFolder + u'/' + c.chosen) << c.name;
    EXPECT_GT(ReadBytes(path).size(), 10) << c.name;
    for (const QString& name : c.existing) {
      EXPECT_EQ(ReadBytes(g_logFolder + u'/' + name), QByteArray("old")) << c.name;
    }
  }
}

TEST_F(LogTest, LogFileGetsHeadThenOneRecordPerLine) {
  // Records made before the options are read reach the file with its head.
  LogNumber(1);
  LogAction(2101, 0, 0);
  EXPECT_FALSE(g_logFileStarted);
  EXPECT_TRUE(QDir(m_logs).isEmpty());
  QStringList asked;
  GetLogHooks().readMachineSetting = [&asked](const QString& key) {
    asked << key;
    return QStringLiteral(" yes ");
  };
  ReadLogOptions();
  EXPECT_EQ(asked, (QStringList{QStringLiteral("LogFile"), QStringLiteral("ShowGlitch")}));
  ASSERT_TRUE(g_loggingOn);

  LogAction(2101, 1, 2000);
  const QString path = g_logFilePath;
  EXPECT_EQ(path, m_logs + QStringLiteral("/Zeph.log"));
  EXPECT_EQ(Lines(path),
            (QStringList{QStringLiteral(">ZP336"), kStartLine, QString(), QStringLiteral("# 1"),
                         QStringLiteral(": 2101,0"), QStringLiteral(": 2101,2001")}));

  g_programFolder = QStringLiteral("/opt/zephorin");
  LogAction(1, 1, 0);
  LogString(QStringLiteral("drawing.zpd"));
  g_showGlitch = false;
  SetGlitchMessage(QStringLiteral("consumed by the report"));
  ReportGlitch(2101, 3);
  EXPECT_EQ(g_lastGlitchNumber, 3);
  LogAction(2101, 0, 1000);

  QStringList lines = Lines(path).mid(6);
  ASSERT_GT(lines.size(), 8);
  EXPECT_EQ(lines.first(), QString());
  EXPECT_EQ(lines[1], QStringLiteral("Version: Zephorin version 3.36 (Release)"));
  EXPECT_EQ(lines[3], QStringLiteral("Program directory: /opt/zephorin"));
  EXPECT_EQ(lines[6], QStringLiteral("Current machine: "));
  const qsizetype afterBlocks = lines.indexOf(QStringLiteral("Current printer: none")) + 2;
  ASSERT_GT(afterBlocks, 2);
  EXPECT_EQ(lines.mid(afterBlocks - 1),
            (QStringList{QString(), QString(), QStringLiteral("# drawing.zpd"),
                         QStringLiteral("# Glitch 2101,3"), QStringLiteral(": 2101,1000")}));
}

TEST_F(LogTest, NoLogFileWithoutOptionOrOverride) {
  LogAction(2101, 0, 0);
  ReportGlitch(2101, 1);
  EXPECT_EQ(g_logFolderOverride, 0);
  EXPECT_FALSE(g_logFileStarted);
  EXPECT_EQ(QDir(m_logs).entryList(QDir::Files), QStringList{QStringLiteral("Zeph.err")});
}

TEST_F(LogTest, OverrideFolderLogsEveryRun) {
  const QString folder = m_home + QStringLiteral("/Zephorin log");
  ASSERT_TRUE(QDir().mkpath(folder));

  LogAction(2101, 0, 0);
  EXPECT_EQ(g_logFolderOverride, 1);
  EXPECT_EQ(g_logFolderOverridePath, folder);
  EXPECT_EQ(g_logFilePath, folder + QStringLiteral("/Zeph.log"));
  ReportGlitch(2101, 1);
  EXPECT_EQ(g_glitchFilePath, folder + QStringLiteral("/Zeph.err"));
  // Without "LogFile" the glitch is not recorded.
  EXPECT_TRUE(Lines(g_logFilePath).filter(QStringLiteral("# Glitch")).isEmpty());
  EXPECT_TRUE(QDir(m_logs).isEmpty());

  // The next run, this time with "LogFile" on.
  ResetLogState();
  g_loggingOn = true;
  LogAction(2101, 0, 0);
  EXPECT_EQ(g_logFilePath, folder + QStringLiteral("/Zeph(2).log"));
  ReportGlitch(2102, 5);
  EXPECT_EQ(Lines(g_logFilePath).filter(QStringLiteral("# Glitch")),
            QStringList{QStringLiteral("# Glitch 2102,5")});
}

TEST_F(LogTest, LogFolderChoice) {
  struct Case {
    const char* name;
    QString logFolder;  // before the first record
    QString roaming;    // hook answer; "default" keeps the built-in hook
    QString documents;
    QString chosen;
  };
  const QString missing = Path(QStringLiteral("missing"));
  const Case cases[] = {
      {"existing folder kept", m_logs, "", "", m_logs},
      {"roaming folder made", "", Path(QStringLiteral("roam/deep")), "",
       Path(QStringLiteral("roam/deep"))},
      {"missing folder replaced", missing, Path(QStringLiteral("roam2")), "",
       Path(QStringLiteral("roam2"))},
      {"documents without roaming", "", "", Path(QStringLiteral("docs")),
       Path(QStringLiteral("docs"))},
      {"temporary folder last", "", "", "", Path(QStringLiteral("tmp"))},
      {"built-in roaming folder", "", "default", "", Path(QStringLiteral("config"))},
  };
  for (const Case& c : cases) {
    ResetLogState();
    g_logFolder = c.logFolder;
    if (c.roaming != QStringLiteral("default")) {
      GetLogHooks().roamingDataFolder = [&c] { return c.roaming; };
      GetLogHooks().myDocumentsFolder = [&c] { return c.documents; };
    }
    g_loggingOn = true;
    LogNumber(1);
    EXPECT_EQ(g_logFolder, c.chosen) << c.name;
    EXPECT_TRUE(QFileInfo::exists(c.chosen + QStringLiteral("/Zeph.log"))) << c.name;
    QFile::remove(c.chosen + QStringLiteral("/Zeph.log"));
  }
}

TEST_F(LogTest, FilesFallBackToTheCurrentFolder) {
  // The log folder cannot be made: it would lie under a plain file.
  Fill(Path(QStringLiteral("plain")), QStringLiteral("x"));
  g_logFolder.clear();
  GetLogHooks().roamingDataFolder = [this] { return Path(QStringLiteral("plain/sub")); };
  const QString current = MakeFolder(QStringLiteral("current"));
  ASSERT_TRUE(QDir::setCurrent(current));

  g_loggingOn = true;
  LogNumber(1);
  EXPECT_EQ(g_logFilePath, current + QStringLiteral("/Zeph.log"));
  LogNumber(2);
  EXPECT_EQ(Lines(g_logFilePath).mid(3),
            (QStringList{QStringLiteral("# 1"), QStringLiteral("# 2")}));

  // A record whose append fails is lost; the file is not made again.
  ASSERT_TRUE(QFile::remove(g_logFilePath));
  LogNumber(3);
  EXPECT_FALSE(QFileInfo::exists(g_logFilePath));
}

TEST_F(LogTest, UnwritableGlitchFileKeepsContextPending) {
  Fill(Path(QStringLiteral("plain")), QStringLiteral("x"));
  g_logFolder.clear();
  std::vector<std::int64_t> uploads;
  GetLogHooks().roamingDataFolder = [this] { return Path(QStringLiteral("plain/sub")); };
  GetLogHooks().sendGlitchReport = [&uploads](std::int64_t total) { uploads.push_back(total); };
  // A current folder that has been removed takes no new files, not even for root.
  const QString gone = MakeFolder(QStringLiteral("gone"));
  ASSERT_TRUE(QDir::setCurrent(gone));
  ASSERT_TRUE(QDir().rmdir(gone));

  LogNumber(1);
  LogNumber(2);
  SetGlitchValue(4);
  SetGlitchMessage(QStringLiteral("kept"));
  g_showGlitch = true;
  ReportGlitch(2101, 1);
  EXPECT_FALSE(g_glitchFileStarted);
  EXPECT_EQ(uploads, std::vector<std::int64_t>{2});
  EXPECT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(g_glitchValueCount, 1);
  EXPECT_EQ(g_glitchMessage, QStringLiteral("kept"));
  EXPECT_EQ(g_logActionCount, 2);

  // The next report that reaches a file carries the context.
  SetGlitchValue(5);
  const QString current = MakeFolder(QStringLiteral("current"));
  ASSERT_TRUE(QDir::setCurrent(current));
  ReportGlitch(2102, 2);
  EXPECT_EQ(g_glitchFilePath, current + QStringLiteral("/Zeph.err"));
  const QStringList lines = Lines(g_glitchFilePath);
  EXPECT_EQ(lines.mid(2, 2), (QStringList{QStringLiteral("# 1"), QStringLiteral("# 2")}));
  EXPECT_TRUE(lines.contains(QStringLiteral("Total log actions: 2")));
  EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Glitch (message|value)"))),
            (QStringList{QStringLiteral("Glitch message: kept"), QStringLiteral("Glitch value: 4"),
                         QStringLiteral("Glitch value: 5")}));
  EXPECT_EQ(uploads.size(), 1u);
}

TEST_F(LogTest, CancelSuppressesLaterGlitchBoxesOnly) {
  int writes = 0;
  GetLogHooks().writeMachineSetting = [&writes](const QString&, const QString&) {
    return ++writes;
  };
  g_showGlitch = true;
  m_presenter.QueueAnswer(zeph::kIdOk);
  ReportGlitch(2101, 1);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(
      m_presenter.shown()[0].text,
      QStringLiteral("Glitch number 2101, 1\n\nOnly choose Cancel if you do NOT wish to show\n"
                     "any more glitches for this run of the program."));
  EXPECT_EQ(m_presenter.shown()[0].style, zeph::kMbOkCancel | zeph::kMbIconExclamation);
  EXPECT_TRUE(g_showGlitch);

  m_presenter.QueueAnswer(zeph::kIdCancel);
  ReportGlitch(2102, 2);
  EXPECT_EQ(m_presenter.shown().size(), 2u);
  EXPECT_FALSE(g_showGlitch);
  ReportGlitch(2103, 3);
  EXPECT_EQ(m_presenter.shown().size(), 2u);
  EXPECT_EQ(g_glitchCount, 3);
  EXPECT_EQ(writes, 0);  // the stored option is left alone
}

TEST_F(LogTest, ReadLogOptionsAcceptsYesInAnyForm) {
  struct Case {
    const char* stored;
    bool yes;
  };
  const Case cases[] = {{"Yes", true}, {" y E s ", true}, {"\tYES", true}, {"No", false},
                        {"", false},   {"Yess", false},   {"Y.es", false}};
  for (const Case& c : cases) {
    ResetLogState();
    GetLogHooks().readMachineSetting = [&c](const QString&) { return QString::fromUtf8(c.stored); };
    ReadLogOptions();
    EXPECT_EQ(g_logFileOption, c.yes) << c.stored;
    EXPECT_EQ(g_loggingOn, c.yes) << c.stored;
    EXPECT_EQ(g_showGlitch, c.yes) << c.stored;
  }
  // A "No" never clears the glitch box switch.
  g_showGlitch = true;
  ReadLogOptions();
  EXPECT_TRUE(g_showGlitch);
}

TEST_F(LogTest, SavingOptions) {
  std::vector<std::pair<QString, QString>> written;
  int result = 0;
  GetLogHooks().writeMachineSetting = [&](const QString& key, const QString& value) {
    written.emplace_back(key, value);
    return result;
  };
  EXPECT_EQ(SetLogFileOption(true), 0);
  EXPECT_FALSE(g_logFileOption);
  result = 1;
  EXPECT_EQ(SetLogFileOption(true), 1);
  EXPECT_TRUE(g_logFileOption);
  EXPECT_FALSE(g_loggingOn);  // takes effect at the next start
  EXPECT_EQ(SetLogFileOption(false), 1);
  EXPECT_FALSE(g_logFileOption);
  g_showGlitch = true;
  EXPECT_EQ(SaveShowGlitchOption(), 1);
  g_showGlitch = false;
  EXPECT_EQ(SaveShowGlitchOption(), 1);
  using Entry = std::pair<QString, QString>;
  EXPECT_EQ(written, (std::vector<Entry>{{"LogFile", "Yes"},
                                         {"LogFile", "Yes"},
                                         {"LogFile", "No"},
                                         {"ShowGlitch", "Yes"},
                                         {"ShowGlitch", "No"}}));
}

TEST_F(LogTest, LogTimeRecordsLocalFields) {
  LogTime(CTime::FromLocal(2026, 12, 8, 9, 5, 7));
  ASSERT_EQ(g_logActionCount, 6);
  const std::vector<int> values(g_logValues, g_logValues + 6);
  EXPECT_EQ(values, (std::vector<int>{2026, 12, 8, 9, 5, 7}));
  EXPECT_EQ(std::vector<int>(g_logCodes, g_logCodes + 6), std::vector<int>(6, 0));
}

TEST_F(LogTest, NothingIsStoredAfterShutDown) {
  g_loggingOn = true;
  LogString(QStringLiteral("before"));
  FreeLogResources();
  EXPECT_EQ(g_logCodes, nullptr);
  EXPECT_EQ(g_logCapacity, 0);
  LogNumber(2);
  LogString(QStringLiteral("after"));
  EXPECT_EQ(g_logCapacity, 0);
  EXPECT_EQ(g_loggedStringCount, 1);
  EXPECT_EQ(g_logActionCount, 2);
  // Records still reach the file; a string's text is gone with its table.
  LogAction(2, 0, 0);
  EXPECT_EQ(Lines(g_logFilePath).mid(3),
            (QStringList{QStringLiteral("# before"), QStringLiteral("# 2"),
                         QStringLiteral("# String 0")}));
}

#ifndef NDEBUG
TEST_F(LogTest, RecordingOffTheUserInterfaceThreadIsCaught) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        std::thread other([] { LogAction(2101, 0, 0); });
        other.join();
      },
      "OnUiThread");
}
#endif

}  // namespace
