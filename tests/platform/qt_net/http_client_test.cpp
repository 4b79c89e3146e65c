// The Qt HTTP client against a server of the test's own on 127.0.0.1, with the proxy off: the
// latest-version check driven as the application's idle processing drives it, and the
// blocking requests of the error-report upload.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

#include "loopback_server.h"
#include "platform/qt/qthttpclient.h"
#include "support/internet.h"
#include "support/net_sandbox.h"
#include "support/reportupload.h"
#include "support/usagelog.h"

namespace {

class VersionOwner final : public IInternetTaskOwner {
 public:
  void OnInternetTaskDone(CInternetTask* task) override {
    if (task->type == kInternetTaskLatestVersion) CheckLatestVersion(task, g_latestVersion);
  }
};

// A port where nothing listens: connections to it are refused.
quint16 ClosedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost, 0);
  const quint16 port = server.serverPort();
  server.close();
  return port;
}

class QtHttpClientTest : public NetSandbox {
 protected:
  void SetUp() override {
    NetSandbox::SetUp();
    zeph::SetHttpClient(&m_client);
    SetInternetWakeHandler([this] { ++m_wakes; });
  }
  void TearDown() override {
    g_internet = nullptr;
    zeph::SetHttpClient(nullptr);
    NetSandbox::TearDown();
  }

  // The version check as the application runs it: a step whenever one is ready, otherwise
  // waiting for the event loop to deliver the client's reports. The final stage text.
  QString RunVersionCheck() {
    VersionOwner owner;
    CInternet list(&owner);
    g_internet = &list;
    list.AddTask(kInternetTaskLatestVersion, false);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
      if (list.IsStepReady()) {
        if (list.AdvanceTasks() == 0) break;
      } else {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
      }
    }
    const QString text = list.GetTask(0)->GetStageText();
    EXPECT_EQ(list.AdvanceTasks(), 0) << "the check ended";
    g_internet = nullptr;
    return text;
  }

  zeph::QtHttpClient m_client{false};
  LoopbackServer m_server;
  int m_wakes = 0;
};

TEST_F(QtHttpClientTest, TheVersionPageGivesTheLatestVersion) {
  struct Case {
    const char* name;
    QByteArray page;
    int version;
  };
  const Case cases[] = {
      {"a newer version", "<html><p>Zephorin 3.37 is here</p></html>", 337},
      {"the same version", "<html><p>ZEPHORIN 3.36</p></html>", 336},
      {"no version", "<html><p>Welcome</p></html>", -4},
  };
  SetWebServer(m_server.address());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_latestVersion = 0;
    m_server.SetHandler([&](const LoopbackServer::Request&) {
      LoopbackServer::Answer answer;
      answer.body = c.page;
      return answer;
    });
    EXPECT_EQ(RunVersionCheck(), QStringLiteral("Task completed."));
    EXPECT_EQ(g_latestVersion, c.version);
  }
  const QList<LoopbackServer::Request> requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 3);
  EXPECT_EQ(requests[0].target, "/versions.html");
  EXPECT_EQ(requests[0].userAgent, "InetURL/1.0");
  EXPECT_GE(m_wakes, 9) << "every report wakes the application";
}

TEST_F(QtHttpClientTest, AVersionCheckThatGetsNoReplyEndsAsNoConnection) {
  struct Case {
    const char* name;
    bool refused;
    LoopbackServer::Answer answer;
  };
  LoopbackServer::Answer silent;
  silent.silent = true;
  LoopbackServer::Answer huge;
  huge.contentLength = false;
  huge.body = "Zephorin 3.37 " + QByteArray(zeph::kHttpReplyLimit, 'x');
  const Case cases[] = {
      {"a refused connection", true, {}},
      {"a server that never answers", false, silent},
      {"a reply beyond the limit", false, huge},
  };
  m_client.SetTimeouts({100, 100, 100});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetInternetState();
    SetInternetWakeHandler([this] { ++m_wakes; });
    SetWebServer(c.refused ? QStringLiteral("http://127.0.0.1:") + QString::number(ClosedPort())
                           : m_server.address());
    m_server.SetHandler([&](const LoopbackServer::Request&) { return c.answer; });
    EXPECT_EQ(RunVersionCheck(), QStringLiteral("No internet connection."));
    EXPECT_EQ(g_latestVersion, -2);
  }
}

class QtBlockingGetTest : public QtHttpClientTest {
 protected:
  void SetUp() override {
    QtHttpClientTest::SetUp();
    SetWebServer(m_server.address());
    g_firstGlitchCode = 21817;
    g_firstGlitchNumber = 1;
    g_firstGlitchMessage = QStringLiteral("test");
  }
};

TEST_F(QtBlockingGetTest, TheUploadSendsThreeStagesEachAccepted) {
  m_server.SetHandler([](const LoopbackServer::Request&) {
    LoopbackServer::Answer answer;
    answer.body = "<html><body>\r\n<p>ReportOK</p></body></html>";
    return answer;
  });
  // Nothing of the caller's event loop runs while the requests wait.
  bool eventRan = false;
  QTimer::singleShot(0, [&] { eventRan = true; });
  SendGlitchReport(10);
  EXPECT_FALSE(eventRan);
  QCoreApplication::processEvents();
  EXPECT_TRUE(eventRan);

  const QList<LoopbackServer::Request> requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 3);
  const QByteArray head = "/cgi-bin/report.cgi?.1D0336";
  for (const LoopbackServer::Request& request : requests) {
    EXPECT_TRUE(request.target.startsWith(head)) << request.target.toStdString();
    EXPECT_EQ(request.userAgent, "InetURL/1.0");
  }
  EXPECT_EQ(requests[0].target.at(head.size() + 14), 'A');  // no installer found
  EXPECT_EQ(requests[1].target.at(head.size() + 14), 'Z');
  EXPECT_EQ(requests[2].target.at(head.size() + 14), 'Y');
}

TEST_F(QtBlockingGetTest, ARefusedStageEndsTheUpload) {
  m_server.SetHandler([](const LoopbackServer::Request&) {
    LoopbackServer::Answer answer;
    answer.status = "404 Not Found";
    answer.body = "<html><body>Not here</body></html>";
    return answer;
  });
  SendGlitchReport(10);
  EXPECT_EQ(m_server.Requests().size(), 1);
}

TEST_F(QtBlockingGetTest, RepliesThatCannotBeUsed) {
  const QString url = m_server.address() + QStringLiteral("/page");
  struct Case {
    const char* name;
    LoopbackServer::Answer answer;
    int result;
  };
  LoopbackServer::Answer announcedEmpty;
  LoopbackServer::Answer tooLong;
  tooLong.contentLength = false;
  tooLong.body = QByteArray(zeph::kHttpReplyLimit + 1, 'x');
  LoopbackServer::Answer atTheLimit;
  atTheLimit.body = QByteArray(zeph::kHttpReplyLimit, 'y');
  LoopbackServer::Answer silent;
  silent.silent = true;
  const Case cases[] = {
      {"announced as empty", announcedEmpty, kHttpResultEmpty},
      {"beyond the limit", tooLong, kHttpResultTooLarge},
      {"a server that never answers", silent, kHttpResultNoConnection},
      {"exactly the limit", atTheLimit, kHttpResultOk},
  };
  g_httpTimeoutMs = 300;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_server.SetHandler([&](const LoopbackServer::Request&) { return c.answer; });
    EXPECT_EQ(HttpGetToBuffer(url, true, false, false), c.result);
  }
  EXPECT_EQ(g_httpLength, zeph::kHttpReplyLimit + 1) << "the last reply kept";
  const QString refused = QStringLiteral("http://127.0.0.1:") + QString::number(ClosedPort());
  EXPECT_EQ(HttpGetToBuffer(refused + QStringLiteral("/page"), true, false, false),
            kHttpResultNoConnection);
}

}  // namespace
