#include "support/usagelog.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "net_sandbox.h"
#include "support/datetime.h"
#include "support/textoutput.h"
#include "support/textutil.h"

namespace {

CTime At(int day, int hour, int minute) { return CTime::FromLocal(2024, 3, day, hour, minute, 7); }

// One row as the program writes it.
QByteArray Row(CTime time, int action, const QString& user = QStringLiteral("jo"),
               int version = 336) {
  StringTextOutput out;
  WriteTimeAndDate(out, time, kTimeDateComma | kTimeDateNoLineEnd);
  QString quoted = user;
  QuoteCsvField(quoted);
  return (out.text() + u',' + QString::number(action) + u',' + QString::number(version) + u',' +
          quoted + QStringLiteral("\r\n"))
      .toLatin1();
}

const QByteArray kHeader = "Time,Date,Action,Version,User\r\n";

class UsageLogTest : public NetSandbox {};

TEST_F(UsageLogTest, RowsAreAppendedAfterOneHeaderAndReadBack) {
  SetLoginNameSource([] { return QStringLiteral("Zo\u00EB \"Z\" Smith"); });
  g_startTime = CTime::FromLocal(2024, 3, 1, 9, 5, 7);
  LogProgramStart();
  LogProgramStop();

  const QByteArray bytes = ReadBytes(UsageLogPath());
  const QList<QByteArray> lines = bytes.split('\n');
  ASSERT_EQ(lines.size(), 4) << bytes.toStdString();  // three lines and the empty rest
  EXPECT_EQ(lines[0], "Time,Date,Action,Version,User\r");
  // One byte per character in Windows-1252, quotes doubled.
  EXPECT_EQ(lines[1], "9:05.07,1 March 2024,1,336,\"Zo\xEB \"\"Z\"\" Smith\"\r");
  EXPECT_TRUE(lines[2].endsWith(",0,336,\"Zo\xEB \"\"Z\"\" Smith\"\r")) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].isEmpty());

  // The quoted field reads back as the name.
  QString row = QString::fromLatin1(lines[1].chopped(1));
  for (int i = 0; i < 4; ++i) TakeCsvField(row);
  EXPECT_EQ(TakeCsvField(row), QStringLiteral("Zo\u00EB \"Z\" Smith"));

  // A later run sees that run complete: same user, stop after start.
  g_startTime = CTime(CTime::GetCurrentTime().GetTime() + 3600);
  CProglog usage;
  EXPECT_EQ(usage.runs, -1);
  usage.Read();
  EXPECT_EQ(usage.runs, 1);
  EXPECT_EQ(usage.crashes, 0);
  EXPECT_EQ(usage.errors, 0);
  EXPECT_EQ(usage.GetLastRunStart(), CTime::FromLocal(2024, 3, 1, 9, 5, 7));
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(UsageLogTest, TheCurrentRunsOwnStartRowEndsTheHistory) {
  SetLoginNameSource([] { return QStringLiteral("jo"); });
  // A new installation: the first start makes the file with its header and one row.
  g_startTime = At(5, 10, 0);
  LogProgramStart();
  EXPECT_EQ(ReadBytes(UsageLogPath()), kHeader + Row(At(5, 10, 0), 1));
  CProglog usage;
  usage.Read();
  EXPECT_EQ(usage.runs, 0);
  EXPECT_EQ(usage.crashes, 0);

  // Rows after the current start row are not history yet.
  WriteBytes(UsageLogPath(), kHeader + Row(At(1, 9, 0), 1) + Row(At(1, 10, 0), 0) +
                                 Row(At(5, 10, 0), 1) + Row(At(4, 1, 0), 0));
  usage.Read();
  EXPECT_EQ(usage.runs, 1);
  EXPECT_EQ(usage.errors, 0);
}

TEST_F(UsageLogTest, StatisticsOfRowSequences) {
  g_startTime = At(28, 0, 0);
  struct Case {
    const char* name;
    std::vector<QByteArray> rows;
    int runs, crashes, errors;
    CTime lastStart, lastStop, lastCrash, lastError, firstStart, longestStart;
  };
  const CTime none;
  const std::vector<Case> cases = {
      {"start stop start start stop",
       {Row(At(1, 9, 0), 1), Row(At(1, 10, 0), 0), Row(At(2, 9, 0), 1), Row(At(3, 9, 0), 1),
        Row(At(3, 9, 30), 0)},
       2,
       1,
       0,
       At(3, 9, 0),
       At(3, 9, 30),
       At(2, 9, 0),
       none,
       At(1, 9, 0),
       At(1, 9, 0)},
      {"a stop row first",
       {Row(At(1, 9, 0), 0)},
       0,
       0,
       1,
       none,
       none,
       none,
       At(1, 9, 0),
       none,
       none},
      {"another user's stop drops the pair",
       {Row(At(1, 9, 0), 1), Row(At(1, 10, 0), 0, QStringLiteral("al"))},
       0,
       0,
       0,
       none,
       none,
       none,
       none,
       none,
       none},
      {"a stop before its start drops the pair",
       {Row(At(2, 9, 0), 1), Row(At(1, 9, 0), 0)},
       0,
       0,
       0,
       none,
       none,
       none,
       none,
       none,
       none},
      {"other versions are ignored between a start and its stop",
       {Row(At(1, 9, 0), 1), Row(At(1, 9, 10), 0, QStringLiteral("jo"), 335),
        Row(At(1, 9, 20), 1, QStringLiteral("jo"), 337), Row(At(1, 10, 0), 0)},
       1,
       0,
       0,
       At(1, 9, 0),
       At(1, 10, 0),
       none,
       none,
       At(1, 9, 0),
       At(1, 9, 0)},
      {"an unknown action is skipped",
       {Row(At(1, 9, 0), 7), Row(At(1, 9, 5), 1), Row(At(1, 9, 6), 3), Row(At(1, 9, 50), 0)},
       1,
       0,
       0,
       At(1, 9, 5),
       At(1, 9, 50),
       none,
       none,
       At(1, 9, 5),
       At(1, 9, 5)},
      {"the longest run is the earliest of equally long ones",
       {Row(At(1, 9, 0), 1), Row(At(1, 9, 10), 0), Row(At(2, 9, 0), 1), Row(At(2, 9, 30), 0),
        Row(At(3, 9, 0), 1), Row(At(3, 9, 30), 0), Row(At(4, 9, 0), 1), Row(At(4, 9, 20), 0)},
       4,
       0,
       0,
       At(4, 9, 0),
       At(4, 9, 20),
       none,
       none,
       At(1, 9, 0),
       At(2, 9, 0)},
      {"a start left open is no crash",
       {Row(At(1, 9, 0), 1)},
       0,
       0,
       0,
       none,
       none,
       none,
       none,
       none,
       none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray file = kHeader;
    for (const QByteArray& row : c.rows) file += row;
    WriteBytes(UsageLogPath(), file);
    CProglog usage;
    usage.Read();
    EXPECT_EQ(usage.runs, c.runs);
    EXPECT_EQ(usage.crashes, c.crashes);
    EXPECT_EQ(usage.errors, c.errors);
    EXPECT_EQ(usage.GetLastRunStart(), c.lastStart);
    EXPECT_EQ(usage.GetLastRunStop(), c.lastStop);
    EXPECT_EQ(usage.GetLastCrashTime(), c.lastCrash);
    EXPECT_EQ(usage.GetLastErrorRowTime(), c.lastError);
    EXPECT_EQ(usage.firstRunStart, c.firstStart);
    EXPECT_EQ(usage.longestRunStart, c.longestStart);
    EXPECT_EQ(g_callDepth, 0);
  }
}

TEST_F(UsageLogTest, AFileThatCannotBeUsedGivesAStatus) {
  CProglog usage;
  usage.Read();
  EXPECT_EQ(usage.runs, -2) << "no file";
  EXPECT_EQ(ReadBytes(UsageLogPath()), "<missing>") << "reading makes no file";

  WriteBytes(UsageLogPath(), "");
  usage.Read();
  EXPECT_EQ(usage.runs, -3) << "an empty file";

  WriteBytes(UsageLogPath(), "Time,Date\r\n" + Row(At(1, 9, 0), 0));
  usage.Read();
  EXPECT_EQ(usage.runs, -4) << "not the header";
  EXPECT_EQ(usage.errors, 0);
  EXPECT_EQ(g_callDepth, 0);
}

}  // namespace
