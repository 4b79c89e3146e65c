#pragma once
// The HTTP client over QNetworkAccessManager.
// - Asynchronous requests run on the thread that made the client (the user-interface thread),
//   driven by its event loop; their reports are queued to that loop, never delivered from
//   inside a call.
// - A blocking request runs on a worker thread with its own manager and event loop while the
//   calling thread only waits: no nested event loop runs on the calling thread, so no user
//   input, timer or report of the program is handled while a glitch is being reported.
// Every request ends within its time-outs (5 s each to connect, send and receive): one that
// gets nothing for the longest of them, or has not ended after all three together, fails; a
// reply beyond the limit is cut off and counts as failed.
#include <QObject>
#include <map>
#include <memory>

#include "platform/http.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace zeph {

class QtHttpClient final : public QObject, public IHttpClient {
 public:
  // useSystemProxy: requests go through the system's proxy settings; without it they go
  // direct (tests that talk to a server on 127.0.0.1).
  explicit QtHttpClient(bool useSystemProxy = true);
  ~QtHttpClient() override;

  // The time-outs of the asynchronous requests started from now on (the blocking ones bring
  // their own).
  void SetTimeouts(const HttpTimeouts& timeouts) { m_timeouts = timeouts; }

  HttpHandle OpenSession(const QString& userAgent, HttpStatusCallback callback) override;
  void CloseSession(HttpHandle session) override;
  int OpenUrl(HttpHandle session, const QString& url, std::intptr_t context) override;
  int QueryContentLength(HttpHandle request, QByteArray& text) override;
  int ReadData(HttpHandle request, char* buffer, int size, int& count) override;
  void CloseRequest(HttpHandle request) override;
  HttpResponse Get(const QString& url, const QString& userAgent, const HttpTimeouts& timeouts,
                   int limit) override;

 private:
  struct Session;
  struct Request;

  void Post(HttpHandle session, HttpHandle handle, std::intptr_t context, int status,
            std::intptr_t information);
  void TakeData(HttpHandle handle);
  void Finish(HttpHandle handle);
  void DropRequest(Request& request);

  bool m_useSystemProxy;
  HttpTimeouts m_timeouts;
  HttpHandle m_nextHandle = 1;
  std::map<HttpHandle, std::unique_ptr<Session>> m_sessions;
  std::map<HttpHandle, std::unique_ptr<Request>> m_requests;
};

}  // namespace zeph
