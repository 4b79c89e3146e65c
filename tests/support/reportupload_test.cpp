#include "support/reportupload.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QSysInfo>
#include <climits>
#include <cstring>

#include "fake_http.h"
#include "net_sandbox.h"
#include "support/datetime.h"
#include "support/registry.h"
#include "support/sysinfo.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace {

void SetReply(const QByteArray& reply) {
  ResetHttpBuffer();
  if (!reply.isEmpty()) {
    ASSERT_TRUE(AppendHttpBytes(reinterpret_cast<const std::uint8_t*>(reply.constData()),
                                static_cast<int>(reply.size())));
  }
  ASSERT_TRUE(AppendHttpByte(0));
}

class ReportUploadTest : public NetSandbox {
 protected:
  FakeHttpClient m_client;
  ScopedHttpClient m_installed{&m_client};
};

TEST(QueryPacking, Numbers) {
  struct Case {
    int value;
    const char* text;
  };
  const Case cases[] = {{0, "A"},
                        {7, "H"},
                        {9, "J"},
                        {10, "1A"},
                        {12, "1C"},
                        {1000, "100A"},
                        {-1, "-B"},
                        {-5, "-F"},
                        {INT_MAX, "214748364H"},
                        {INT_MIN, "-214748364I"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatQueryNumber(c.value), QString::fromLatin1(c.text)) << c.value;
  }
}

TEST(QueryPacking, Base62Digits) {
  const struct {
    int v;
    char16_t digit;
  } cases[] = {{0, u'A'},  {25, u'Z'}, {26, u'0'}, {35, u'9'},
               {36, u'a'}, {61, u'z'}, {62, u'A'}, {-1, u'A'}};
  for (const auto& c : cases) EXPECT_EQ(Base62Digit(c.v), c.digit) << c.v;
}

TEST(QueryPacking, ScrambledText) {
  struct Case {
    QString text;
    int maxLength;
    const char* scrambled;
  };
  const Case cases[] = {
      {QStringLiteral("abc"), 0, "zyx"},
      {QStringLiteral("Zap 09"), 0, "Azk-90"},
      {QStringLiteral("-._!~"), 0, ".M.N.0.A.5"},
      {QStringLiteral("\u00A3\u00E9\t"), 0, ".6.aDl.aAJ"},
      {QStringLiteral("\uFFFF"), 0, ".rDB"},
      // The output stops before a character whose whole encoding does not fit.
      {QStringLiteral("ab-c"), 3, "zy"},
      {QStringLiteral("ab-c"), 4, "zy.M"},
      {QStringLiteral("ab-c"), -1, "zy.Mx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrambleQueryText(c.text, c.maxLength), QString::fromLatin1(c.scrambled))
        << c.text.toStdString();
  }
  const QString longText(300, u'q');
  EXPECT_EQ(ScrambleQueryText(longText, 220), QString(220, u'j'));
  // Nothing needs escaping in a query.
  QString all;
  for (char16_t c = 1; c < 400; ++c) all += QChar(c);
  for (QChar c : ScrambleQueryText(all, 0)) {
    EXPECT_TRUE(c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_') << int(c.unicode());
  }
}

TEST(QueryPacking, VersionAndTimeDigits) {
  QString text;
  FormatVersionCode(text);
  EXPECT_EQ(text, QStringLiteral("0336"));
  FormatTimeDigits(CTime::FromLocal(2026, 12, 8, 9, 5, 7), text);
  EXPECT_EQ(text, QStringLiteral("20261208090507"));
  EXPECT_EQ(DetectInstallerKind(), 0);
  for (const char* yes : {"3.36", "336", "33.6"}) EXPECT_TRUE(IsCurrentVersionValue(yes)) << yes;
  for (const char* no : {"3.37", "", "3.36a"}) EXPECT_FALSE(IsCurrentVersionValue(no)) << no;
}

TEST(ReportReply, AcceptedOnlyWhenTheBodyBeginsWithReportOk) {
  struct Case {
    const char* reply;
    bool accepted;
  };
  const Case cases[] = {
      {"<html><body><p>\r\n<br> reportok</p></body></html>", true},
      {"<BODY>ReportOK", true},
      {"<html>< Body>ReportOK</Body>", false},
      {"<html><body></body>ReportOK</html>", false},
      {"ReportOK", false},
      {"<body>Report OK</body>", false},
      {"<body><p", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SetReply(c.reply);
    EXPECT_EQ(IsReportAccepted(), c.accepted) << c.reply;
  }
  // The reply ends at its first zero byte.
  SetReply(QByteArray("<body>\0ReportOK", 15));
  EXPECT_FALSE(IsReportAccepted());
  FreeHttpBuffer();
  EXPECT_FALSE(IsReportAccepted());
}

TEST(ReportReply, TheBufferGrowsInStepsAndStopsAtTheLimit) {
  FreeHttpBuffer();
  EXPECT_TRUE(GrowHttpBuffer(5));
  EXPECT_EQ(g_httpCapacity, 10000);
  EXPECT_TRUE(GrowHttpBuffer(15000));
  EXPECT_EQ(g_httpCapacity, 20000);
  EXPECT_TRUE(GrowHttpBuffer(95000));
  EXPECT_EQ(g_httpCapacity, 100000);
  EXPECT_FALSE(GrowHttpBuffer(zeph::kHttpReplyLimit + 2));
  EXPECT_EQ(g_httpCapacity, 100000);
  const std::uint8_t bytes[] = {1, 2, 3};
  EXPECT_FALSE(AppendHttpBytes(bytes, 0));
  EXPECT_TRUE(AppendHttpBytes(bytes, 3));
  EXPECT_TRUE(GrowHttpBuffer(250000));
  EXPECT_EQ(g_httpLength, 3);
  EXPECT_EQ(g_httpBuffer[2], 3);
  FreeHttpBuffer();
  EXPECT_EQ(g_httpCapacity, 0);
  EXPECT_EQ(g_httpBuffer, nullptr);
}

TEST_F(ReportUploadTest, BlockingGetResults) {
  auto withLength = [](const QByteArray& length, const QByteArray& body) {
    zeph::HttpResponse response = FakeHttpClient::Answer(body);
    response.hasContentLength = true;
    response.contentLength = length;
    return response;
  };
  zeph::HttpResponse tooLarge = FakeHttpClient::Answer({});
  tooLarge.tooLarge = true;
  struct Case {
    const char* name;
    zeph::HttpResponse response;
    int result;
    int length;
  };
  const Case cases[] = {
      {"a reply", withLength("5", "hello"), kHttpResultOk, 6},
      {"no Content-Length", FakeHttpClient::Answer("hi"), kHttpResultOk, 3},
      {"announced as empty", withLength("0", ""), kHttpResultEmpty, 0},
      {"announced beyond the limit", withLength("999999999", "hi"), kHttpResultTooLarge, 0},
      {"cut off by the client", tooLarge, kHttpResultTooLarge, 0},
      {"longer than the limit", FakeHttpClient::Answer(QByteArray(zeph::kHttpReplyLimit + 1, 'x')),
       kHttpResultTooLarge, 0},
      {"no answer", zeph::HttpResponse{}, kHttpResultNoConnection, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreeHttpBuffer();
    m_client.responses = {c.response};
    EXPECT_EQ(HttpGetToBuffer(QStringLiteral("http://127.0.0.1:1/x"), true, false, false),
              c.result);
    EXPECT_EQ(g_httpLength, c.length);
    EXPECT_LE(g_httpCapacity, 2 * (zeph::kHttpReplyLimit + 1));
    EXPECT_EQ(g_callDepth, 0);
  }
  EXPECT_EQ(m_client.lastTimeouts.connectMs, 5000);
  EXPECT_EQ(m_client.lastTimeouts.receiveMs, 5000);
  EXPECT_EQ(m_client.lastLimit, zeph::kHttpReplyLimit);
  EXPECT_EQ(m_client.getAgents.value(0), QStringLiteral("InetURL/1.0"));

  // The probe tells a missing server from a missing internet.
  m_client.gets.clear();
  m_client.responses = {zeph::HttpResponse{}, FakeHttpClient::Answer("site")};
  EXPECT_EQ(HttpGetToBuffer(QStringLiteral("http://127.0.0.1:1/x"), true, true, false),
            kHttpResultServerUnreachable);
  m_client.responses.clear();
  EXPECT_EQ(HttpGetToBuffer(QStringLiteral("http://127.0.0.1:1/x"), true, true, false),
            kHttpResultNoConnection);
  EXPECT_EQ(m_client.gets.size(), 4);

  // An address without a server is never sent.
  m_client.gets.clear();
  EXPECT_EQ(HttpGetToBuffer(QStringLiteral("?.1D0336"), true, false, false),
            kHttpResultNoConnection);
  EXPECT_TRUE(m_client.gets.isEmpty());
}

class GlitchUploadTest : public ReportUploadTest {
 protected:
  void SetUp() override {
    ReportUploadTest::SetUp();
    SetWebServer(QStringLiteral("http://127.0.0.1:8080"));
    SetLoginNameSource([] { return QStringLiteral("jo"); });
    m_oldSystemCode = g_systemCode;
    g_systemCode = QStringLiteral("0gb0");
    g_startTime = CTime::FromLocal(2026, 3, 2, 8, 0, 0);
    // A glitch as the log records it, with two values and a message.
    g_firstGlitchCode = 21817;
    g_firstGlitchNumber = 1;
    g_firstGlitchValueCount = 2;
    g_firstGlitchValues[0] = 3;
    g_firstGlitchValues[1] = -12;
    g_firstGlitchMessage = QStringLiteral("bad alloc");
  }
  void TearDown() override {
    g_systemCode = m_oldSystemCode;
    ReportUploadTest::TearDown();
  }

  static QString Head() {
    return QStringLiteral("http://127.0.0.1:8080/cgi-bin/report.cgi?.1D0336");
  }
  // The head's own time digits are the time of sending: checked apart.
  static QString AfterHead(const QString& url) { return url.mid(Head().size() + 14); }

  QString m_oldSystemCode;
};

TEST_F(GlitchUploadTest, ThreeStagesEachAcceptedBeforeTheNext) {
  QString privilege = QStringLiteral("U");
  switch (GetUserPrivilegeLevel()) {
    case kPrivilegeStandardUser:
      privilege = QStringLiteral("S");
      break;
    case kPrivilegeAdministrator:
      privilege = QStringLiteral("A");
      break;
    case kPrivilegeElevated:
      privilege = QStringLiteral("E");
      break;
  }
  m_client.responses = {FakeHttpClient::Accepted(), FakeHttpClient::Accepted(),
                        FakeHttpClient::Accepted()};
  g_fileStatus = kFileIllegalValue;
  g_fileLineNumber = 12;
  SendGlitchReport(1234);

  ASSERT_EQ(m_client.gets.size(), 3);
  for (const QString& url : m_client.gets) {
    EXPECT_TRUE(url.startsWith(Head())) << url.toStdString();
    EXPECT_TRUE(url.mid(Head().size(), 14).toLongLong() > 20000000000000) << url.toStdString();
  }
  EXPECT_EQ(AfterHead(m_client.gets[0]),
            QStringLiteral("A0gb0") + privilege + QStringLiteral("2181HBCD-1Cyzw-zoolx"));
  // The call stack holds the upload itself, after its second stage began.
  EXPECT_EQ(AfterHead(m_client.gets[1]), QStringLiteral("ZB3001A11A") +
                                             ScrambleQueryText(QSysInfo::machineHostName(), 60) +
                                             QStringLiteral("_ql"));
  // No usage file: the runs are its status -2.
  EXPECT_EQ(AfterHead(m_client.gets[2]), QStringLiteral("Y20260302080000123E-CAA"));
  // The save or load that was under way still reports its own failure.
  EXPECT_EQ(g_fileStatus, kFileIllegalValue);
  EXPECT_EQ(g_fileLineNumber, 12);
  EXPECT_FALSE(g_savedCursor.has_value()) << "the wait cursor is gone";
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(GlitchUploadTest, TheThirdStageCarriesTheUsageStatistics) {
  const QByteArray rows =
      "Time,Date,Action,Version,User\r\n"
      "9:00.00,1 March 2026,0,336,\"jo\"\r\n"
      "9:00.00,1 March 2026,1,336,\"jo\"\r\n"
      "10:00.00,1 March 2026,0,336,\"jo\"\r\n"
      "11:00.00,1 March 2026,1,336,\"jo\"\r\n"
      "12:00.00,1 March 2026,1,336,\"jo\"\r\n"
      "8:00.00,2 March 2026,1,336,\"jo\"\r\n";
  WriteBytes(UsageLogPath(), rows);
  m_client.responses = {FakeHttpClient::Accepted(), FakeHttpClient::Accepted(),
                        FakeHttpClient::Accepted()};
  SendGlitchReport(7);
  ASSERT_EQ(m_client.gets.size(), 3);
  EXPECT_EQ(AfterHead(m_client.gets[2]),
            QStringLiteral("Y20260302080000HBBB") + QStringLiteral("20260301090000") +
                QStringLiteral("20260301100000") + QStringLiteral("20260301110000") +
                QStringLiteral("20260301090000"));
}

TEST_F(GlitchUploadTest, ARefusedOrFailedStageEndsTheUpload) {
  struct Case {
    const char* name;
    std::deque<zeph::HttpResponse> responses;
    int sent;
    int failedStep;
  };
  const Case cases[] = {
      {"stage 1 refused", {FakeHttpClient::Answer("<body>Sorry</body>")}, 1, 4},
      {"stage 1 unanswered", {}, 1, 3},
      {"stage 2 refused", {FakeHttpClient::Accepted(), FakeHttpClient::Answer("nope")}, 2, 6},
      {"stage 3 refused",
       {FakeHttpClient::Accepted(), FakeHttpClient::Accepted(), FakeHttpClient::Answer("x")},
       3,
       8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_client.gets.clear();
    m_client.responses = c.responses;
    ResetLogState();
    SendGlitchReport(1);
    EXPECT_EQ(m_client.gets.size(), c.sent);
    bool found = false;
    for (int i = 0; i < g_logCapacity; ++i) {
      found = found || (g_logCodes[i] == 30010 && g_logValues[i] == c.failedStep + kLogFailed);
    }
    EXPECT_TRUE(found) << "record (30010, " << c.failedStep << ", 7000)";
    EXPECT_FALSE(g_savedCursor.has_value());
    EXPECT_EQ(g_callDepth, 0);
  }
}

TEST_F(GlitchUploadTest, NothingIsSentWhenSwitchedOffOrWithoutAServer) {
  g_glitchReportOff = 1;
  SendGlitchReport(1);
  EXPECT_TRUE(m_client.gets.isEmpty());

  g_glitchReportOff = 0;
  ResetInternetState();
  ASSERT_EQ(WriteMachineSetting(QStringLiteral("WebServer"), QString()), 1);
  SendGlitchReport(1);
  EXPECT_TRUE(m_client.gets.isEmpty());
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(GlitchUploadTest, TheFirstGlitchOfARunStartsTheUpload) {
  InstallUploadLogHook();
  m_client.responses = {FakeHttpClient::Accepted(), FakeHttpClient::Accepted(),
                        FakeHttpClient::Accepted()};
  SetGlitchValue(5);
  ReportGlitch(20101, 3);
  ReportGlitch(20102, 4);
  ASSERT_EQ(m_client.gets.size(), 3);
  EXPECT_TRUE(
      AfterHead(m_client.gets[0]).contains(QStringLiteral("2010B") + u'D' + QStringLiteral("BF")))
      << m_client.gets[0].toStdString();
}

}  // namespace
