#pragma once
// HTTP GET requests, the program's only network traffic, behind one replaceable client:
// - asynchronous requests for the background tasks: a session (the "root handle") opens
//   requests, and the client reports their progress to the session's status callback;
// - a blocking request with time-outs for the error-report upload.
// Until the user interface installs the real client, and in tests of the program logic, a
// stand-in without a connection answers: no session opens and no request reaches a server.
//
// Handles are plain numbers, never pointers, so a late report about a closed request can do
// no harm: the receiver looks the number up and finds nothing.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace zeph {

using HttpHandle = std::uint64_t;  // 0: none

// The status codes of the asynchronous reports (the values the task logic dispatches on).
inline constexpr int kHttpStatusHandleCreated = 60;     // handle = the new request
inline constexpr int kHttpStatusHandleClosing = 70;     // handle = the request being closed
inline constexpr int kHttpStatusRequestComplete = 100;  // information: 0 or an error below

// Errors of a completed asynchronous request (the information of kHttpStatusRequestComplete).
inline constexpr std::intptr_t kHttpErrorNone = 0;
inline constexpr std::intptr_t kHttpErrorNoConnection = 1;  // no reply from the server
inline constexpr std::intptr_t kHttpErrorTooLarge = 2;      // the reply passed kHttpReplyLimit

// No reply is kept beyond this many bytes; a larger one is a failure.
inline constexpr int kHttpReplyLimit = 1024 * 1024;

// Reports are delivered on the user-interface thread from its event loop, never from inside a
// call to the client, so the receiver may call the client again.
using HttpStatusCallback = void (*)(HttpHandle handle, std::intptr_t context, int status,
                                    std::intptr_t information);

struct HttpTimeouts {
  int connectMs = 5000;
  int sendMs = 5000;
  int receiveMs = 5000;
};

// The outcome of a blocking request.
struct HttpResponse {
  // The server answered with a status line and headers (any HTTP status: the body of an error
  // page is delivered like any other).
  bool opened = false;
  // The reply grew beyond the limit: body holds nothing.
  bool tooLarge = false;
  // The Content-Length header as the server sent it, when it sent one.
  bool hasContentLength = false;
  QByteArray contentLength;
  // What was received before the reply ended, failed or timed out.
  QByteArray body;
};

class IHttpClient {
 public:
  virtual ~IHttpClient() = default;

  // ---- Asynchronous requests ----
  // A session with the given user agent whose requests report to callback; 0 on failure.
  virtual HttpHandle OpenSession(const QString& userAgent, HttpStatusCallback callback) = 0;
  // Ends the session's requests; no report of the session arrives afterwards.
  virtual void CloseSession(HttpHandle session) = 0;
  // Starts a GET of url (http or https). 1 when started: the request's handle follows in a
  // kHttpStatusHandleCreated report and kHttpStatusRequestComplete follows once the whole
  // reply has arrived or the request failed; context goes with every report. 0 when the
  // request cannot be started (no session, an address that is not http or https).
  virtual int OpenUrl(HttpHandle session, const QString& url, std::intptr_t context) = 0;
  // The Content-Length header of a completed request: 1 and its text, or 0 when there is none.
  virtual int QueryContentLength(HttpHandle request, QByteArray& text) = 0;
  // Up to size bytes of the reply into buffer, continuing where the last read stopped:
  // 1 and the count (0 at the end), or 0 when nothing can be read (a failed request).
  virtual int ReadData(HttpHandle request, char* buffer, int size, int& count) = 0;
  // Ends the request; a kHttpStatusHandleClosing report for it follows.
  virtual void CloseRequest(HttpHandle request) = 0;

  // ---- Blocking request ----
  // A GET of url that returns when the reply has arrived, failed, grew beyond limit bytes or
  // timed out. It handles no user input, timer or report while it waits.
  virtual HttpResponse Get(const QString& url, const QString& userAgent,
                           const HttpTimeouts& timeouts, int limit) = 0;
};

// The client in use; the stand-in without a connection until one is installed.
IHttpClient& GetHttpClient();
// Installs a client (not owned); null restores the stand-in.
void SetHttpClient(IHttpClient* client);

// 1 when url is an absolute http or https address with a host.
int IsHttpUrl(const QString& url);

}  // namespace zeph
