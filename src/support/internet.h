#pragma once
// Background web requests that never block the user. Each task is one asynchronous HTTP GET,
// advanced one small step at a time from the application's idle processing; the HTTP client
// reports the progress of its requests to InternetStatusCallback, which only records it in the
// task, and all real work (opening the address, reading the reply, decoding it, closing) is
// done by CInternetTask::Next_stage. The one task the program runs asks the maker's web server
// for the latest version number of the product.
//
// Decisions for this platform:
// - The client delivers its reports on the user-interface thread from the event loop, so the
//   task fields need no lock and the callback's log record goes straight to the log.
// - The maker's web server is the machine setting "WebServer" (for example
//   "http://updates.example.org"), read once a run; the versions page is that address +
//   "/versions.html" and the report page the same address + "/cgi-bin/report.cgi". Without
//   the setting, the check and the upload end at once as "no connection" and send nothing.
// - A task that cannot start its request (no session, no address, the owner opened nothing)
//   still runs through its remaining stages: the owner decodes an empty reply and the task
//   finishes, so the result is reported and polling stops. The client ends every request
//   with a time-out, so no task waits for ever.
// - No reply is kept beyond kHttpReplyLimit bytes, whatever its Content-Length says; a larger
//   reply counts as none.
// - Polling without a busy loop: CInternet::IsStepReady tells whether a call would advance a
//   task now; while tasks only wait for the client, the application stops polling until the
//   handler given to SetInternetWakeHandler tells it that a report has arrived.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/http.h"

class CInternetTask;

inline constexpr int kInternetTaskLatestVersion = 2;
inline constexpr int kInternetReadPiece = 1024;

// The user agents the requests announce.
inline constexpr const char16_t* kInternetAgent = u"InetURL/1.0";
inline constexpr const char16_t* kInternetBrowserAgent =
    u"Mozilla/5.0 (Windows NT 6.3; WOW64; rv:31.0) Gecko/20100101 Firefox/31.0";

// The main frame, which owns the task list and acts at the two stages where a task's owner
// must: 0 (open the address) and 3 (decode the reply). For a task of type 2 it calls
// CheckLatestVersion(task, g_latestVersion).
class IInternetTaskOwner {
 public:
  virtual ~IInternetTaskOwner() = default;
  virtual void OnInternetTaskDone(CInternetTask* task) = 0;
};

// Stages of a task.
inline constexpr std::int16_t kTaskFinished = -1;
inline constexpr std::int16_t kTaskStarted = 0;
inline constexpr std::int16_t kTaskWaitingForReply = 1;
inline constexpr std::int16_t kTaskReplyComplete = 2;
inline constexpr std::int16_t kTaskDecode = 3;
inline constexpr std::int16_t kTaskCloseRequest = 4;
inline constexpr std::int16_t kTaskWaitingForClose = 5;
inline constexpr std::int16_t kTaskCloseRoot = 6;

class CInternetTask {
 public:
  CInternetTask();
  virtual ~CInternetTask();
  CInternetTask(const CInternetTask&) = delete;
  CInternetTask& operator=(const CInternetTask&) = delete;

  // One step: 2 the task advanced a stage, 1 it waits for the client, 0 it is finished.
  std::int16_t Next_stage();
  // Starts the request; called by the owner at stage 0.
  void OpenUrl(const QString& url);
  // Appends n bytes of the read buffer to the data; false when no memory or the reply grew
  // beyond kHttpReplyLimit.
  bool AppendReply(int n);
  // Records a status report of the client for this task.
  void OnStatus(zeph::HttpHandle handle, int status, std::intptr_t information);

  // Constant texts for the information page.
  QString GetStageText() const;
  QString GetTypeName() const;

  // ---- Fields ----
  IInternetTaskOwner* owner = nullptr;
  zeph::HttpHandle rootHandle = 0;
  zeph::HttpHandle requestHandle = 0;
  std::int32_t type = 0;
  std::int16_t stage = kTaskFinished;
  std::int16_t completed = 0;
  std::uint8_t addTerminator = 1;
  std::uint32_t startTicks = 0;
  std::int32_t context = 0;
  char readBuffer[kInternetReadPiece] = {};
  std::int32_t expectedSize = -1;
  std::unique_ptr<char[]> data;
  std::int32_t dataCapacity = 0;
  std::int32_t dataLength = 0;

 private:
  void CallOwner();
  void ReadReply();
};

class CInternet {
 public:
  explicit CInternet(IInternetTaskOwner* owner);
  virtual ~CInternet();
  CInternet(const CInternet&) = delete;
  CInternet& operator=(const CInternet&) = delete;

  // Adds and starts a task; failures are recorded.
  void AddTask(int type, bool browserAgent);
  // Null when index is negative or not below the count.
  CInternetTask* GetTask(int index) const;
  // One idle step over all tasks: 1 while some task still needs calls, 0 when all are
  // finished (or there are none).
  std::int16_t AdvanceTasks();
  // Passes over all tasks until none advances (the Refresh button of the information page).
  void AdvanceTasksUntilWaiting();
  // True when a call of AdvanceTasks would advance a task now rather than find every task
  // waiting for the client.
  bool IsStepReady() const;
  // Gives a report to the first task whose context equals context; ignored when none does.
  void DispatchStatus(zeph::HttpHandle handle, std::intptr_t context, int status,
                      std::intptr_t information);

  std::int16_t GetTaskCount() const { return m_count; }
  std::int16_t GetCapacity() const { return m_capacity; }
  bool IsEnabled() const { return m_enabled != 0; }

 private:
  IInternetTaskOwner* m_owner;
  std::int16_t m_count = 0;
  std::int16_t m_capacity = 0;
  std::vector<std::unique_ptr<CInternetTask>> m_tasks;
  std::int16_t m_enabled = 1;
};

// The status callback registered for every session: hands the report to g_internet, then
// tells the application (SetInternetWakeHandler) that the tasks may advance.
void InternetStatusCallback(zeph::HttpHandle handle, std::intptr_t context, int status,
                            std::intptr_t information);

// The type-2 handler, called by the owner at stages 0 and 3: opens the versions page, then
// finds the product name in the reply and reads the version number after it. result: the
// number (337 for a page offering "3.37"), or -1 no memory, -2 no reply, -4 the name is
// missing, -5 no digit follows it, -6 a single digit follows it.
void CheckLatestVersion(CInternetTask* task, int& result);

// The number of a Content-Length header: blanks, an optional sign, digits and nothing else
// but blanks. False for any other text, and on overflow.
bool ParseContentLength(const QByteArray& text, int& value);

// ---- The maker's web server ----
// The setting "WebServer" of the machine settings, read at the first call of the run,
// without a trailing '/'; empty when none is set.
const QString& GetWebServerAddress();
// The web server's address followed by path ("/versions.html"); empty without a server.
QString MakeWebServerUrl(const QString& path);

// ---- Globals of the application shell ----
// The one task list, made by the application at start-up with the main frame as owner and
// deleted by the main frame as it closes; null before and after.
extern CInternet* g_internet;
// 0 until the latest-version check has finished, then the version number or a negative code.
extern std::int32_t g_latestVersion;

// The application's handler, called after each status report has been recorded.
void SetInternetWakeHandler(std::function<void()> handler);

// Puts g_latestVersion, the wake handler and the web server's address back as at program
// start (g_internet belongs to its owner). For tests.
void ResetInternetState();
