#include "support/internet.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <new>
#include <utility>

#include "support/log.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/textfile.h"
#include "support/textutil.h"

CInternet* g_internet = nullptr;
std::int32_t g_latestVersion = 0;

namespace {

std::function<void()> g_wakeHandler;
QString g_webServerAddress;
bool g_webServerRead = false;

// Milliseconds of a monotonic clock, wrapping like a 32-bit tick count.
std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// The status codes the client may send that mean nothing to a task.
bool IsIgnoredStatus(int status) {
  static constexpr int kIgnored[] = {10, 11, 20,  21,  30,  31,  40,  41,  50,
                                     51, 80, 110, 120, 200, 320, 321, 325, 327};
  return std::find(std::begin(kIgnored), std::end(kIgnored), status) != std::end(kIgnored);
}

}  // namespace

// ---- CInternetTask ----

CInternetTask::CInternetTask() = default;

// Closing the session drops whatever reports of it are still on their way, so none reaches
// the task after it is gone.
CInternetTask::~CInternetTask() {
  zeph::IHttpClient& client = zeph::GetHttpClient();
  if (requestHandle != 0) client.CloseRequest(requestHandle);
  if (rootHandle != 0) client.CloseSession(rootHandle);
}

void CInternetTask::CallOwner() {
  if (owner == nullptr) {
    ReportGlitch(21820, 1);
    return;
  }
  owner->OnInternetTaskDone(this);
}

std::int16_t CInternetTask::Next_stage() {
  switch (stage) {
    case kTaskStarted:
      CallOwner();
      // An owner that opened nothing leaves the task as one whose request failed, so that it
      // still decodes its (empty) reply and finishes.
      if (stage == kTaskStarted) {
        stage = kTaskReplyComplete;
        completed = 0;
      }
      return 2;
    case kTaskWaitingForReply:
      return 1;
    case kTaskReplyComplete:
      ReadReply();
      stage = kTaskDecode;
      return 2;
    case kTaskDecode:
      CallOwner();
      stage = kTaskCloseRequest;
      return 2;
    case kTaskCloseRequest:
      // Without a request no closing report will come.
      if (requestHandle == 0) {
        stage = kTaskCloseRoot;
        return 2;
      }
      stage = kTaskWaitingForClose;
      zeph::GetHttpClient().CloseRequest(requestHandle);
      return 2;
    case kTaskWaitingForClose:
      return 1;
    case kTaskCloseRoot:
      if (requestHandle != 0) return 1;
      if (rootHandle != 0) zeph::GetHttpClient().CloseSession(rootHandle);
      rootHandle = 0;
      stage = kTaskFinished;
      return 0;
    default:
      return 0;
  }
}

void CInternetTask::OpenUrl(const QString& url) {
  LogScope trace(21830);
  LogNumber(type);
  if (stage < 0) {
    trace.Exit(kLogFailed, 1);
    return;
  }
  LogNumber(static_cast<int>(TickCount() - startTicks));
  // The handle comes with the client's "handle created" report.
  requestHandle = 0;
  if (rootHandle == 0 || zeph::IsHttpUrl(url) == 0 ||
      zeph::GetHttpClient().OpenUrl(rootHandle, url, context) == 0) {
    // Nothing will be reported: go on at once as a request that got no reply.
    stage = kTaskReplyComplete;
    completed = 0;
    trace.Exit(kLogFailed, 2);
    return;
  }
  stage = kTaskWaitingForReply;
  trace.Exit(kLogOk, 1);
}

void CInternetTask::ReadReply() {
  LogScope trace(21815);
  zeph::IHttpClient& client = zeph::GetHttpClient();
  expectedSize = -1;
  QByteArray header;
  if (requestHandle != 0 && client.QueryContentLength(requestHandle, header) != 0) {
    int size = 0;
    if (ParseContentLength(header, size)) {
      expectedSize = size;
      trace.Step(15);
      LogNumber(size);
    } else {
      trace.Step(1, kLogHandled);
    }
  } else {
    trace.Step(2, kLogHandled);
  }

  dataLength = 0;
  if (requestHandle != 0) {
    for (;;) {
      int count = 0;
      if (client.ReadData(requestHandle, readBuffer, kInternetReadPiece, count) == 0 ||
          count <= 0) {
        break;
      }
      // A reply beyond the limit is no reply at all.
      if (count > zeph::kHttpReplyLimit - dataLength) {
        dataLength = 0;
        trace.Step(3, kLogHandled);
        break;
      }
      if (!AppendReply(count)) break;
    }
  }
  // AppendReply always leaves room for the terminator.
  if (addTerminator != 0 && dataLength > 0) data[dataLength++] = 0;
  trace.Exit();
}

bool CInternetTask::AppendReply(int n) {
  LogScope trace(21840);
  if (n == 0) return trace.Return(true, kLogFailed, 1);
  if (n < 0 || n > kInternetReadPiece || n > zeph::kHttpReplyLimit - dataLength) {
    return trace.Return(false, kLogFailed, 2);
  }
  const int needed = dataLength + n + 1;
  if (dataCapacity < needed || data == nullptr) {
    // The announced size sizes the buffer only within the limit. Without one the buffer
    // doubles, so that a long reply is not copied again for every piece.
    int capacity = std::max(needed, std::min(2 * dataCapacity, zeph::kHttpReplyLimit + 1));
    if (expectedSize >= 0 && expectedSize < zeph::kHttpReplyLimit) {
      capacity = std::max(capacity, expectedSize + 1);
    }
    std::unique_ptr<char[]> grown;
    try {
      grown = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
      return trace.Return(false, kLogMemory, 1);
    }
    if (dataLength > 0) std::memcpy(grown.get(), data.get(), static_cast<std::size_t>(dataLength));
    data = std::move(grown);
    dataCapacity = capacity;
  }
  std::memcpy(data.get() + dataLength, readBuffer, static_cast<std::size_t>(n));
  dataLength += n;
  return trace.Return(true);
}

void CInternetTask::OnStatus(zeph::HttpHandle handle, int status, std::intptr_t information) {
  switch (status) {
    case zeph::kHttpStatusHandleCreated:
      requestHandle = handle;
      return;
    case zeph::kHttpStatusHandleClosing:
      if (handle != 0 && handle == requestHandle) {
        requestHandle = 0;
        stage = kTaskCloseRoot;
      }
      return;
    case zeph::kHttpStatusRequestComplete:
      if (stage == kTaskWaitingForReply) {
        stage = kTaskReplyComplete;
        // A request that failed never completed: the page says "No internet connection.".
        completed = information == zeph::kHttpErrorNone ? 1 : 0;
      }
      return;
    default:
      break;
  }
  if (IsIgnoredStatus(status)) return;
  LogScope trace(21810);
  trace.Step(1, kLogHandled);
  LogNumber(status);
  trace.Exit();
}

QString CInternetTask::GetStageText() const {
  if (stage < 0) {
    return completed != 0 ? QStringLiteral("Task completed.")
                          : QStringLiteral("No internet connection.");
  }
  switch (stage) {
    case kTaskStarted:
      return QStringLiteral("Started.");
    case kTaskWaitingForReply:
      return QStringLiteral("Waiting for response from Read_internet_file.");
    case kTaskReplyComplete:
      return QStringLiteral("About to get size of returned data.");
    case kTaskDecode:
      return QStringLiteral("About to decode the returned data.");
    case kTaskCloseRequest:
      return QStringLiteral("About to close the file handle.");
    case kTaskWaitingForClose:
      return QStringLiteral("Waiting for the file handle to close.");
    case kTaskCloseRoot:
      return QStringLiteral("About to close the task.");
    default:
      return QStringLiteral("Started. Waiting.");
  }
}

QString CInternetTask::GetTypeName() const {
  return type == kInternetTaskLatestVersion ? QStringLiteral("Get latest version number")
                                            : QStringLiteral("Unknown");
}

// ---- CInternet ----

CInternet::CInternet(IInternetTaskOwner* owner) : m_owner(owner) {}

CInternet::~CInternet() = default;

void CInternet::AddTask(int type, bool browserAgent) {
  LogScope trace(21835);
  if (m_enabled == 0) {
    trace.Exit(kLogInvalid, 1);
    return;
  }
  if (m_owner == nullptr) {
    trace.Exit(kLogInvalid, 2);
    return;
  }
  std::unique_ptr<CInternetTask> task;
  try {
    if (m_count >= m_capacity) {
      LogNumber(m_capacity);
      const int capacity = m_capacity == 0 ? 10 : 2 * m_capacity;
      // The count is a 16-bit number.
      if (capacity > 32767) throw std::bad_alloc();
      // The tasks themselves stay where they are: only the list of them moves.
      m_tasks.reserve(static_cast<std::size_t>(capacity));
      m_capacity = static_cast<std::int16_t>(capacity);
    }
    task = std::make_unique<CInternetTask>();
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 1);
    return;
  }

  const QString agent = QString::fromUtf16(browserAgent ? kInternetBrowserAgent : kInternetAgent);
  task->rootHandle = zeph::GetHttpClient().OpenSession(agent, InternetStatusCallback);
  if (task->rootHandle == 0) {
    m_enabled = 0;
    trace.Step(3, kLogInvalid);
  }
  task->type = type;
  task->context = type;
  task->startTicks = TickCount();
  task->stage = kTaskStarted;
  task->completed = 0;
  task->owner = m_owner;
  m_tasks.push_back(std::move(task));
  ++m_count;
  trace.Exit();
}

CInternetTask* CInternet::GetTask(int index) const {
  if (index < 0 || index >= m_count) return nullptr;
  return m_tasks[static_cast<std::size_t>(index)].get();
}

std::int16_t CInternet::AdvanceTasks() {
  LogScope trace(21817);
  LogNumber(m_count);
  bool waiting = false;
  int index = 0;
  try {
    for (; index < m_count; ++index) {
      CInternetTask* task = m_tasks[static_cast<std::size_t>(index)].get();
      const std::int16_t result = task->Next_stage();
      if (result == 2) return trace.Return<std::int16_t>(1, kLogOk, 1);
      if (result == 1) {
        waiting = true;
        trace.Step(10);
        LogNumber(task->type);
        LogNumber(result);
      }
    }
  } catch (const std::exception& e) {
    SetGlitchMessage(QString::fromLocal8Bit(e.what()));
    SetGlitchValue(GetExceptionKind(e));
    SetGlitchValue(m_count);
    SetGlitchValue(index);
    ReportGlitch(21817, 1);
  }
  return trace.Return<std::int16_t>(waiting ? 1 : 0);
}

void CInternet::AdvanceTasksUntilWaiting() {
  LogScope trace(21822);
  LogNumber(m_count);
  int index = 0;
  try {
    // Ends: without reports (which only the event loop delivers) every task reaches a
    // waiting or finished stage after a few steps.
    bool advanced = true;
    while (advanced) {
      advanced = false;
      for (index = 0; index < m_count; ++index) {
        if (m_tasks[static_cast<std::size_t>(index)]->Next_stage() == 2) advanced = true;
      }
    }
  } catch (const std::exception& e) {
    SetGlitchMessage(QString::fromLocal8Bit(e.what()));
    SetGlitchValue(GetExceptionKind(e));
    SetGlitchValue(m_count);
    SetGlitchValue(index);
    ReportGlitch(21822, 1);
  }
  trace.Exit();
}

bool CInternet::IsStepReady() const {
  for (int index = 0; index < m_count; ++index) {
    const CInternetTask& task = *m_tasks[static_cast<std::size_t>(index)];
    switch (task.stage) {
      case kTaskStarted:
      case kTaskReplyComplete:
      case kTaskDecode:
      case kTaskCloseRequest:
        return true;
      case kTaskCloseRoot:
        if (task.requestHandle == 0) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

void CInternet::DispatchStatus(zeph::HttpHandle handle, std::intptr_t context, int status,
                               std::intptr_t information) {
  for (int index = 0; index < m_count; ++index) {
    CInternetTask& task = *m_tasks[static_cast<std::size_t>(index)];
    if (task.context == context) {
      task.OnStatus(handle, status, information);
      return;
    }
  }
}

void InternetStatusCallback(zeph::HttpHandle handle, std::intptr_t context, int status,
                            std::intptr_t information) {
  if (g_internet == nullptr) return;
  g_internet->DispatchStatus(handle, context, status, information);
  // A copy, so a handler that replaces itself does not pull itself away while it runs.
  const std::function<void()> wake = g_wakeHandler;
  if (wake) wake();
}

// ---- The latest-version check ----

void CheckLatestVersion(CInternetTask* task, int& result) {
  LogScope trace(21715);
  LogNumber(task->stage);
  if (task->stage == kTaskStarted) {
    task->OpenUrl(MakeWebServerUrl(QStringLiteral("/versions.html")));
    trace.Exit();
    return;
  }
  if (task->stage != kTaskDecode) {
    trace.Exit();
    return;
  }

  QByteArray name;
  try {
    const QString productName = GetProductName(kZephorinProductKind);
    for (QChar c : productName) name.append(static_cast<char>(EncodeWindows1252Char(c.unicode())));
  } catch (const std::bad_alloc&) {
    result = -1;
    trace.Exit(kLogFailed, 1);
    return;
  }
  if (task->data == nullptr || task->dataLength <= 0) {
    result = -2;
    trace.Exit(kLogInvalid, 1);
    return;
  }
  // The search stops at a zero byte: the terminator, or one inside the reply.
  const QByteArray reply(task->data.get(), task->dataLength);
  const char* text = reply.constData();
  const int at = FindAnsiNoCase(text, name.constData());
  if (at < 0) {
    result = -4;
    trace.Exit(kLogFailed, 2);
    return;
  }
  const char* cursor = text + at + name.size();
  while (*cursor != 0 && (*cursor < '0' || *cursor > '9')) ++cursor;
  if (*cursor == 0) {
    result = -5;
    trace.Exit(kLogFailed, 3);
    return;
  }
  // At most four digits; the one point of a version such as "3.37" is stepped over, so that
  // the page's "3.37" reads as 337.
  int number = 0;
  int digits = 0;
  bool pointPassed = false;
  while (digits < 4) {
    if (*cursor >= '0' && *cursor <= '9') {
      number = number * 10 + (*cursor - '0');
      ++digits;
      ++cursor;
    } else if (*cursor == '.' && !pointPassed && cursor[1] >= '0' && cursor[1] <= '9') {
      pointPassed = true;
      ++cursor;
    } else {
      break;
    }
  }
  if (digits == 1) {
    result = -6;
    trace.Exit(kLogFailed, 4);
    return;
  }
  result = number;
  trace.Step(75);
  LogNumber(number);
  trace.Exit();
}

bool ParseContentLength(const QByteArray& text, int& value) {
  const char* cursor = text.constData();
  SkipAnsiBlanks(cursor);
  const char* digits = (*cursor == '+' || *cursor == '-') ? cursor + 1 : cursor;
  if (*digits < '0' || *digits > '9') return false;
  int v = 0;
  if (ParseAnsiInt(cursor, v) == 0) return false;
  SkipAnsiBlanks(cursor);
  if (*cursor != 0) return false;
  value = v;
  return true;
}

// ---- The maker's web server ----

const QString& GetWebServerAddress() {
  if (!g_webServerRead) {
    g_webServerRead = true;
    QString value;
    if (ReadMachineSetting(QStringLiteral("WebServer"), value) != 0) {
      TrimText(value);
      while (value.endsWith(u'/')) value.chop(1);
      g_webServerAddress = value;
    }
  }
  return g_webServerAddress;
}

QString MakeWebServerUrl(const QString& path) {
  const QString& server = GetWebServerAddress();
  return server.isEmpty() ? QString() : server + path;
}

void SetInternetWakeHandler(std::function<void()> handler) { g_wakeHandler = std::move(handler); }

void ResetInternetState() {
  g_latestVersion = 0;
  g_wakeHandler = nullptr;
  g_webServerAddress.clear();
  g_webServerRead = false;
}
