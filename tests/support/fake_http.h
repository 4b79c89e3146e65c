#pragma once
// An HTTP client that sends nothing: it records what the program asks of it and answers from
// what the test gives it. Asynchronous reports are delivered by the test itself, through
// InternetStatusCallback, when it chooses.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "platform/http.h"

class FakeHttpClient final : public zeph::IHttpClient {
 public:
  struct OpenedUrl {
    zeph::HttpHandle session = 0;
    QString url;
    std::intptr_t context = 0;
  };
  struct Reply {
    bool hasContentLength = false;
    QByteArray contentLength;
    QByteArray body;
    bool failed = false;
    qsizetype readPosition = 0;
  };

  // ---- Asynchronous ----
  zeph::HttpHandle OpenSession(const QString& userAgent, zeph::HttpStatusCallback) override {
    agents << userAgent;
    if (!sessionsOpen) return 0;
    const zeph::HttpHandle handle = nextHandle++;
    sessions.push_back(handle);
    return handle;
  }
  void CloseSession(zeph::HttpHandle session) override { closedSessions.push_back(session); }
  int OpenUrl(zeph::HttpHandle session, const QString& url, std::intptr_t context) override {
    opened.push_back({session, url, context});
    return urlsOpen ? 1 : 0;
  }
  int QueryContentLength(zeph::HttpHandle request, QByteArray& text) override {
    const auto it = replies.find(request);
    if (it == replies.end() || !it->second.hasContentLength) return 0;
    text = it->second.contentLength;
    return 1;
  }
  int ReadData(zeph::HttpHandle request, char* buffer, int size, int& count) override {
    count = 0;
    const auto it = replies.find(request);
    if (it == replies.end() || it->second.failed) return 0;
    Reply& reply = it->second;
    count = static_cast<int>(std::min<qsizetype>(size, reply.body.size() - reply.readPosition));
    std::memcpy(buffer, reply.body.constData() + reply.readPosition, static_cast<size_t>(count));
    reply.readPosition += count;
    return 1;
  }
  void CloseRequest(zeph::HttpHandle request) override { closedRequests.push_back(request); }

  // ---- Blocking ----
  zeph::HttpResponse Get(const QString& url, const QString& userAgent,
                         const zeph::HttpTimeouts& timeouts, int limit) override {
    gets << url;
    getAgents << userAgent;
    lastTimeouts = timeouts;
    lastLimit = limit;
    if (responses.empty()) return {};
    zeph::HttpResponse response = responses.front();
    responses.pop_front();
    return response;
  }

  // A reply the server accepts.
  static zeph::HttpResponse Accepted() {
    zeph::HttpResponse response;
    response.opened = true;
    response.body = "<html><Body>ReportOK</Body></html>";
    return response;
  }
  static zeph::HttpResponse Answer(const QByteArray& body) {
    zeph::HttpResponse response;
    response.opened = true;
    response.body = body;
    return response;
  }

  bool sessionsOpen = true;
  bool urlsOpen = true;
  zeph::HttpHandle nextHandle = 1;
  QStringList agents;
  std::vector<zeph::HttpHandle> sessions;
  std::vector<zeph::HttpHandle> closedSessions;
  std::vector<OpenedUrl> opened;
  std::vector<zeph::HttpHandle> closedRequests;
  std::map<zeph::HttpHandle, Reply> replies;

  QStringList gets;
  QStringList getAgents;
  zeph::HttpTimeouts lastTimeouts;
  int lastLimit = 0;
  std::deque<zeph::HttpResponse> responses;
};

// Installs the fake for the life of the object.
class ScopedHttpClient {
 public:
  explicit ScopedHttpClient(zeph::IHttpClient* client) { zeph::SetHttpClient(client); }
  ~ScopedHttpClient() { zeph::SetHttpClient(nullptr); }
  ScopedHttpClient(const ScopedHttpClient&) = delete;
  ScopedHttpClient& operator=(const ScopedHttpClient&) = delete;
};
