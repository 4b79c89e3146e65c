#include "support/internet.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <cstring>
#include <memory>
#include <vector>

#include "fake_http.h"
#include "net_sandbox.h"

namespace {

// The main frame's part: opens and decodes the version check, as the shell does.
class FakeMainFrame final : public IInternetTaskOwner {
 public:
  void OnInternetTaskDone(CInternetTask* task) override {
    stagesSeen.push_back(task->stage);
    if (task->type == kInternetTaskLatestVersion) CheckLatestVersion(task, g_latestVersion);
  }
  std::vector<int> stagesSeen;
};

// An owner that never opens anything.
class IdleOwner final : public IInternetTaskOwner {
 public:
  void OnInternetTaskDone(CInternetTask*) override { ++calls; }
  int calls = 0;
};

class InternetTest : public NetSandbox {
 protected:
  void SetUp() override {
    NetSandbox::SetUp();
    SetInternetWakeHandler([this] { ++m_wakes; });
  }
  void TearDown() override {
    g_internet = nullptr;
    NetSandbox::TearDown();
  }

  // The application's idle polling: at most limit calls, until AdvanceTasks answers 0 or
  // every task only waits for the client.
  int Poll(CInternet& list, int limit = 50) {
    int calls = 0;
    while (calls < limit) {
      ++calls;
      if (list.AdvanceTasks() == 0 || !list.IsStepReady()) break;
    }
    return calls;
  }

  static void Report(zeph::HttpHandle handle, std::intptr_t context, int status,
                     std::intptr_t information = 0) {
    InternetStatusCallback(handle, context, status, information);
  }

  FakeHttpClient m_client;
  ScopedHttpClient m_installed{&m_client};
  FakeMainFrame m_frame;
  int m_wakes = 0;
};

TEST_F(InternetTest, TheVersionCheckRunsThroughEveryStage) {
  SetWebServer(QStringLiteral("http://127.0.0.1:8080/"));
  CInternet list(&m_frame);
  g_internet = &list;
  list.AddTask(kInternetTaskLatestVersion, false);
  ASSERT_EQ(list.GetTaskCount(), 1);
  CInternetTask* task = list.GetTask(0);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(m_client.agents, QStringList{QStringLiteral("InetURL/1.0")});
  EXPECT_EQ(task->stage, kTaskStarted);
  EXPECT_EQ(task->GetStageText(), QStringLiteral("Started."));
  EXPECT_EQ(task->GetTypeName(), QStringLiteral("Get latest version number"));

  // Stage 0: the owner opens the page, then the task waits without needing polls.
  EXPECT_EQ(list.AdvanceTasks(), 1);
  ASSERT_EQ(m_client.opened.size(), 1u);
  EXPECT_EQ(m_client.opened[0].url, QStringLiteral("http://127.0.0.1:8080/versions.html"));
  EXPECT_EQ(m_client.opened[0].context, kInternetTaskLatestVersion);
  EXPECT_EQ(task->stage, kTaskWaitingForReply);
  EXPECT_EQ(task->GetStageText(), QStringLiteral("Waiting for response from Read_internet_file."));
  EXPECT_EQ(list.AdvanceTasks(), 1);
  EXPECT_FALSE(list.IsStepReady());

  // The client's reports wake the application.
  m_client.replies[7] = {true, "31", "<p>Zephorin 3.37 is out</p>", false, 0};
  Report(7, kInternetTaskLatestVersion, zeph::kHttpStatusHandleCreated);
  Report(7, kInternetTaskLatestVersion, zeph::kHttpStatusRequestComplete);
  EXPECT_EQ(m_wakes, 2);
  EXPECT_EQ(task->requestHandle, 7u);
  EXPECT_EQ(task->stage, kTaskReplyComplete);
  EXPECT_TRUE(list.IsStepReady());

  EXPECT_EQ(Poll(list), 3);  // read, decode, close the request
  EXPECT_EQ(task->expectedSize, 31);
  EXPECT_EQ(task->dataLength, 28);  // the reply and its terminator
  EXPECT_EQ(g_latestVersion, 337);
  EXPECT_EQ(m_frame.stagesSeen, (std::vector<int>{kTaskStarted, kTaskDecode}));
  EXPECT_EQ(task->stage, kTaskWaitingForClose);
  EXPECT_EQ(task->GetStageText(), QStringLiteral("Waiting for the file handle to close."));
  EXPECT_EQ(m_client.closedRequests, std::vector<zeph::HttpHandle>{7});

  Report(7, kInternetTaskLatestVersion, zeph::kHttpStatusHandleClosing);
  EXPECT_EQ(task->stage, kTaskCloseRoot);
  EXPECT_EQ(list.AdvanceTasks(), 0);
  EXPECT_EQ(task->stage, kTaskFinished);
  EXPECT_EQ(task->GetStageText(), QStringLiteral("Task completed."));
  EXPECT_EQ(m_client.closedSessions, m_client.sessions);
  EXPECT_EQ(task->rootHandle, 0u);
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(InternetTest, ATaskThatCannotStartStillReportsAndFinishes) {
  struct Case {
    const char* name;
    const char* server;
    bool sessionsOpen;
    bool urlsOpen;
  };
  const Case cases[] = {
      {"no web server set", "", true, true},
      {"no session", "http://127.0.0.1:1", false, true},
      {"the request cannot start", "http://127.0.0.1:1", true, false},
      {"an address that is not http", "ftp://127.0.0.1", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetInternetState();
    SetInternetWakeHandler([this] { ++m_wakes; });
    if (*c.server != 0) SetWebServer(QString::fromLatin1(c.server));
    m_client.sessionsOpen = c.sessionsOpen;
    m_client.urlsOpen = c.urlsOpen;
    m_client.opened.clear();
    m_frame.stagesSeen.clear();

    CInternet list(&m_frame);
    g_internet = &list;
    list.AddTask(kInternetTaskLatestVersion, false);
    ASSERT_EQ(list.GetTaskCount(), 1);
    EXPECT_EQ(list.IsEnabled(), c.sessionsOpen);
    EXPECT_LE(Poll(list), 6);
    const CInternetTask* task = list.GetTask(0);
    EXPECT_EQ(task->stage, kTaskFinished);
    EXPECT_EQ(task->GetStageText(), QStringLiteral("No internet connection."));
    EXPECT_EQ(g_latestVersion, -2);
    EXPECT_EQ(m_frame.stagesSeen, (std::vector<int>{kTaskStarted, kTaskDecode}));
    EXPECT_EQ(list.AdvanceTasks(), 0);
    if (!c.urlsOpen) {
      EXPECT_EQ(m_client.opened.size(), 1u);
    } else {
      EXPECT_TRUE(m_client.opened.empty()) << "nothing may be sent";
    }
    EXPECT_EQ(g_callDepth, 0);
    g_internet = nullptr;
  }
}

TEST_F(InternetTest, AFailedRequestStillDecodesAndCloses) {
  SetWebServer(QStringLiteral("http://127.0.0.1:8080"));
  CInternet list(&m_frame);
  g_internet = &list;
  list.AddTask(kInternetTaskLatestVersion, true);
  EXPECT_EQ(
      m_client.agents.value(0),
      QStringLiteral("Mozilla/5.0 (Windows NT 6.3; WOW64; rv:31.0) Gecko/20100101 Firefox/31.0"));
  list.AdvanceTasks();
  m_client.replies[3] = {false, {}, {}, true, 0};
  Report(3, kInternetTaskLatestVersion, zeph::kHttpStatusHandleCreated);
  Report(3, kInternetTaskLatestVersion, zeph::kHttpStatusRequestComplete,
         zeph::kHttpErrorNoConnection);
  Poll(list);
  Report(3, kInternetTaskLatestVersion, zeph::kHttpStatusHandleClosing);
  EXPECT_EQ(list.AdvanceTasks(), 0);
  const CInternetTask* task = list.GetTask(0);
  EXPECT_EQ(g_latestVersion, -2);
  EXPECT_EQ(task->completed, 0);
  EXPECT_EQ(task->GetStageText(), QStringLiteral("No internet connection."));
}

TEST_F(InternetTest, TheReplyIsReadWithinTheLimitWhateverItsLengthSays) {
  struct Case {
    const char* name;
    QByteArray contentLength;
    qsizetype bodySize;
    int expectedSize;
    int dataLength;
  };
  const Case cases[] = {
      {"a huge announced length sizes nothing", "2000000000", 100, 2000000000, 101},
      {"a length that is no number", "12abc", 100, -1, 101},
      {"a negative length", "-5", 100, -5, 101},
      {"a reply beyond the limit is no reply", "", zeph::kHttpReplyLimit + 1, -1, 0},
      {"a reply of exactly the limit is kept", "", zeph::kHttpReplyLimit, -1,
       zeph::kHttpReplyLimit + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CInternet list(&m_frame);
    g_internet = &list;
    list.AddTask(kInternetTaskLatestVersion, false);
    CInternetTask* task = list.GetTask(0);
    task->stage = kTaskWaitingForReply;
    m_client.replies[9] = {!c.contentLength.isEmpty(), c.contentLength, QByteArray(c.bodySize, 'x'),
                           false, 0};
    Report(9, kInternetTaskLatestVersion, zeph::kHttpStatusHandleCreated);
    Report(9, kInternetTaskLatestVersion, zeph::kHttpStatusRequestComplete);
    EXPECT_EQ(task->Next_stage(), 2);
    EXPECT_EQ(task->expectedSize, c.expectedSize);
    EXPECT_EQ(task->dataLength, c.dataLength);
    EXPECT_LE(task->dataCapacity, zeph::kHttpReplyLimit + 1);
    EXPECT_EQ(g_callDepth, 0);
    g_internet = nullptr;
  }
}

TEST_F(InternetTest, TheVersionIsReadAfterTheProductName) {
  struct Case {
    const char* reply;
    int result;
  };
  const Case cases[] = {
      {"<b>Zephorin 3.37</b>", 337},       {"Latest: Zephorin 3.36.", 336},
      {"Zephorin version 4 coming", -6},   {"Nothing to see", -4},
      {"Zephorin has no number", -5},      {"zephorin 12345", 1234},
      {"ZEPHORIN\r\n  v3.40 (2026)", 340},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    CInternetTask task;
    task.stage = kTaskDecode;
    const qsizetype length = std::strlen(c.reply);
    task.data = std::make_unique<char[]>(static_cast<size_t>(length + 1));
    std::memcpy(task.data.get(), c.reply, static_cast<size_t>(length + 1));
    task.dataLength = static_cast<int>(length + 1);
    int result = 0;
    CheckLatestVersion(&task, result);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(g_callDepth, 0);
  }
  CInternetTask empty;
  empty.stage = kTaskDecode;
  int result = 0;
  CheckLatestVersion(&empty, result);
  EXPECT_EQ(result, -2);
}

TEST_F(InternetTest, AnEleventhTaskGrowsTheListAndKeepsTheOthers) {
  IdleOwner owner;
  CInternet list(&owner);
  g_internet = &list;
  for (int i = 0; i < 10; ++i) list.AddTask(100 + i, false);
  EXPECT_EQ(list.GetCapacity(), 10);
  std::vector<CInternetTask*> before;
  for (int i = 0; i < 10; ++i) {
    CInternetTask* task = list.GetTask(i);
    task->data = std::make_unique<char[]>(4);
    std::memcpy(task->data.get(), "abc", 4);
    task->dataLength = 4;
    before.push_back(task);
  }
  list.AddTask(110, false);
  EXPECT_EQ(list.GetTaskCount(), 11);
  EXPECT_EQ(list.GetCapacity(), 20);
  for (int i = 0; i < 10; ++i) {
    const CInternetTask* task = list.GetTask(i);
    EXPECT_EQ(task, before[static_cast<size_t>(i)]);
    EXPECT_EQ(task->type, 100 + i);
    EXPECT_EQ(task->context, 100 + i);
    EXPECT_EQ(task->rootHandle, static_cast<zeph::HttpHandle>(i + 1));
    EXPECT_STREQ(task->data.get(), "abc");
    EXPECT_EQ(task->GetTypeName(), QStringLiteral("Unknown"));
  }
  EXPECT_EQ(list.GetTask(11), nullptr);
  EXPECT_EQ(list.GetTask(-1), nullptr);

  // An owner that opens nothing does not keep the polling alive.
  list.AdvanceTasksUntilWaiting();
  EXPECT_EQ(list.AdvanceTasks(), 0);
  EXPECT_EQ(owner.calls, 22);  // stages 0 and 3 of every task
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(InternetTest, ReportsForNoTaskChangeNothing) {
  CInternet list(&m_frame);
  list.AddTask(kInternetTaskLatestVersion, false);
  CInternetTask* task = list.GetTask(0);
  task->stage = kTaskWaitingForReply;

  // No list registered: ignored.
  Report(5, kInternetTaskLatestVersion, zeph::kHttpStatusRequestComplete);
  EXPECT_EQ(task->stage, kTaskWaitingForReply);

  g_internet = &list;
  Report(5, 77, zeph::kHttpStatusHandleCreated);
  Report(5, 77, zeph::kHttpStatusRequestComplete);
  EXPECT_EQ(task->requestHandle, 0u);
  EXPECT_EQ(task->stage, kTaskWaitingForReply);

  // A closing report for a handle that is not the task's request, and codes of no meaning.
  Report(5, kInternetTaskLatestVersion, zeph::kHttpStatusHandleCreated);
  Report(6, kInternetTaskLatestVersion, zeph::kHttpStatusHandleClosing);
  EXPECT_EQ(task->stage, kTaskWaitingForReply);
  Report(5, kInternetTaskLatestVersion, 40);
  Report(5, kInternetTaskLatestVersion, 999);
  EXPECT_EQ(task->stage, kTaskWaitingForReply);
  EXPECT_EQ(task->completed, 0);
  EXPECT_EQ(g_callDepth, 0);
}

TEST_F(InternetTest, StageTexts) {
  struct Case {
    std::int16_t stage;
    std::int16_t completed;
    const char* text;
  };
  const Case cases[] = {
      {-1, 1, "Task completed."},
      {-1, 0, "No internet connection."},
      {2, 0, "About to get size of returned data."},
      {3, 0, "About to decode the returned data."},
      {4, 0, "About to close the file handle."},
      {6, 0, "About to close the task."},
      {9, 0, "Started. Waiting."},
  };
  for (const Case& c : cases) {
    CInternetTask task;
    task.stage = c.stage;
    task.completed = c.completed;
    EXPECT_EQ(task.GetStageText(), QString::fromLatin1(c.text)) << c.stage;
  }
}

TEST_F(InternetTest, TheWebServerIsReadOncePerRun) {
  SetWebServer(QStringLiteral("  http://127.0.0.1:9000//  "));
  EXPECT_EQ(GetWebServerAddress(), QStringLiteral("http://127.0.0.1:9000"));
  SetWebServer(QStringLiteral("http://127.0.0.1:9001"));
  EXPECT_EQ(MakeWebServerUrl(QStringLiteral("/versions.html")),
            QStringLiteral("http://127.0.0.1:9000/versions.html"));
  ResetInternetState();
  EXPECT_EQ(GetWebServerAddress(), QStringLiteral("http://127.0.0.1:9001"));
}

}  // namespace
