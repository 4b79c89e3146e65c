#include "platform/qt/qthttpclient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstring>

namespace zeph {
namespace {

// The system's proxy for each request, as the desktop configures it.
class SystemProxyFactory final : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    return systemProxyForQuery(query);
  }
};

void SetUpProxy(QNetworkAccessManager& manager, bool useSystemProxy) {
  if (useSystemProxy) {
    manager.setProxyFactory(new SystemProxyFactory);  // the manager owns it
  } else {
    manager.setProxy(QNetworkProxy::NoProxy);
  }
}

// The longest wait for the next piece of the exchange, and the most the whole may take.
int LongestTimeout(const HttpTimeouts& timeouts) {
  return std::max({1, timeouts.connectMs, timeouts.sendMs, timeouts.receiveMs});
}
int TotalTimeout(const HttpTimeouts& timeouts) {
  return std::max(1, timeouts.connectMs + timeouts.sendMs + timeouts.receiveMs);
}

// Straight from the server every time: nothing cached, nothing kept.
QNetworkRequest MakeRequest(const QString& url, const QString& userAgent, int idleTimeoutMs) {
  QNetworkRequest request{QUrl(url)};
  request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
  request.setRawHeader("Pragma", "no-cache");
  // The body as sent, so that its Content-Length describes what is read.
  request.setRawHeader("Accept-Encoding", "identity");
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setTransferTimeout(std::max(1, idleTimeoutMs));
  return request;
}

// Whether the server answered with a status line.
bool HasAnswered(QNetworkReply& reply) {
  return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
}

// A reply that failed below HTTP (no connection, time-out, cancelled, proxy) delivers nothing;
// an HTTP error page is a reply like any other.
bool FailedBelowHttp(QNetworkReply& reply) {
  const int error = reply.error();
  return !HasAnswered(reply) || (error > 0 && error < 200);
}

// Runs on the worker thread of a blocking request.
HttpResponse RunBlockingGet(const QString& url, const QString& userAgent,
                            const HttpTimeouts& timeouts, int limit, bool useSystemProxy) {
  HttpResponse response;
  QEventLoop loop;
  QNetworkAccessManager manager;
  SetUpProxy(manager, useSystemProxy);
  std::unique_ptr<QNetworkReply> reply(
      manager.get(MakeRequest(url, userAgent, LongestTimeout(timeouts))));

  auto take = [&] {
    if (response.tooLarge || !reply->isOpen()) return;
    const QByteArray piece = reply->readAll();
    if (piece.size() > limit - response.body.size()) {
      response.tooLarge = true;
      response.body.clear();
      reply->abort();
      return;
    }
    response.body += piece;
  };
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, take);
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  // A server that trickles its reply still ends within the three time-outs together.
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
  deadline.start(TotalTimeout(timeouts));
  if (!reply->isFinished()) loop.exec();
  take();

  response.opened = HasAnswered(*reply);
  if (response.opened && reply->hasRawHeader("Content-Length")) {
    response.hasContentLength = true;
    response.contentLength = reply->rawHeader("Content-Length");
  }
  if (!response.opened) response.body.clear();
  return response;
}

}  // namespace

struct QtHttpClient::Session {
  QString userAgent;
  HttpStatusCallback callback = nullptr;
  std::unique_ptr<QNetworkAccessManager> manager;
};

struct QtHttpClient::Request {
  HttpHandle session = 0;
  std::intptr_t context = 0;
  QPointer<QNetworkReply> reply;
  QByteArray data;
  qsizetype readPosition = 0;
  bool finished = false;
  bool failed = false;
  bool tooLarge = false;
};

QtHttpClient::QtHttpClient(bool useSystemProxy) : m_useSystemProxy(useSystemProxy) {}

QtHttpClient::~QtHttpClient() {
  while (!m_sessions.empty()) CloseSession(m_sessions.begin()->first);
}

void QtHttpClient::Post(HttpHandle session, HttpHandle handle, std::intptr_t context, int status,
                        std::intptr_t information) {
  // Looked up again on delivery: a report of a session closed meanwhile goes nowhere.
  QMetaObject::invokeMethod(
      this,
      [this, session, handle, context, status, information] {
        const auto it = m_sessions.find(session);
        if (it == m_sessions.end() || it->second->callback == nullptr) return;
        it->second->callback(handle, context, status, information);
      },
      Qt::QueuedConnection);
}

HttpHandle QtHttpClient::OpenSession(const QString& userAgent, HttpStatusCallback callback) {
  auto session = std::make_unique<Session>();
  session->userAgent = userAgent;
  session->callback = callback;
  session->manager = std::make_unique<QNetworkAccessManager>();
  SetUpProxy(*session->manager, m_useSystemProxy);
  const HttpHandle handle = m_nextHandle++;
  m_sessions.emplace(handle, std::move(session));
  return handle;
}

void QtHttpClient::DropRequest(Request& request) {
  if (request.reply == nullptr) return;
  QNetworkReply* reply = request.reply;
  request.reply = nullptr;
  reply->disconnect(this);
  reply->abort();
  reply->deleteLater();
}

void QtHttpClient::CloseSession(HttpHandle session) {
  const auto found = m_sessions.find(session);
  if (found == m_sessions.end()) return;
  for (auto it = m_requests.begin(); it != m_requests.end();) {
    if (it->second->session == session) {
      DropRequest(*it->second);
      it = m_requests.erase(it);
    } else {
      ++it;
    }
  }
  // Its replies are gone or going; the manager follows once the event loop is back.
  found->second->manager.release()->deleteLater();
  m_sessions.erase(found);
}

int QtHttpClient::OpenUrl(HttpHandle session, const QString& url, std::intptr_t context) {
  const auto found = m_sessions.find(session);
  if (found == m_sessions.end() || IsHttpUrl(url) == 0) return 0;
  Session& owner = *found->second;
  QNetworkReply* reply =
      owner.manager->get(MakeRequest(url, owner.userAgent, LongestTimeout(m_timeouts)));
  if (reply == nullptr) return 0;
  // A server that trickles its reply still ends within the three time-outs together; the
  // timer goes with the reply.
  QTimer::singleShot(TotalTimeout(m_timeouts), reply, [reply] {
    if (reply->isRunning()) reply->abort();
  });
  const HttpHandle handle = m_nextHandle++;
  auto request = std::make_unique<Request>();
  request->session = session;
  request->context = context;
  request->reply = reply;
  m_requests.emplace(handle, std::move(request));
  connect(reply, &QNetworkReply::readyRead, this, [this, handle] { TakeData(handle); });
  connect(reply, &QNetworkReply::finished, this, [this, handle] { Finish(handle); });
  Post(session, handle, context, kHttpStatusHandleCreated, 0);
  return 1;
}

void QtHttpClient::TakeData(HttpHandle handle) {
  const auto found = m_requests.find(handle);
  if (found == m_requests.end()) return;
  Request& request = *found->second;
  if (request.reply == nullptr || request.tooLarge || !request.reply->isOpen()) return;
  const QByteArray piece = request.reply->readAll();
  if (piece.size() > kHttpReplyLimit - request.data.size()) {
    request.tooLarge = true;
    request.data.clear();
    request.reply->abort();  // finishes the request
    return;
  }
  request.data += piece;
}

void QtHttpClient::Finish(HttpHandle handle) {
  const auto found = m_requests.find(handle);
  if (found == m_requests.end()) return;
  Request& request = *found->second;
  if (request.finished || request.reply == nullptr) return;
  TakeData(handle);
  request.finished = true;
  request.failed = request.tooLarge || FailedBelowHttp(*request.reply);
  std::intptr_t error = kHttpErrorNone;
  if (request.tooLarge) {
    error = kHttpErrorTooLarge;
  } else if (request.failed) {
    error = kHttpErrorNoConnection;
  }
  if (request.failed) request.data.clear();
  Post(request.session, handle, request.context, kHttpStatusRequestComplete, error);
}

int QtHttpClient::QueryContentLength(HttpHandle handle, QByteArray& text) {
  const auto found = m_requests.find(handle);
  if (found == m_requests.end()) return 0;
  Request& request = *found->second;
  if (request.reply == nullptr || request.failed ||
      !request.reply->hasRawHeader("Content-Length")) {
    return 0;
  }
  text = request.reply->rawHeader("Content-Length");
  return 1;
}

int QtHttpClient::ReadData(HttpHandle handle, char* buffer, int size, int& count) {
  count = 0;
  const auto found = m_requests.find(handle);
  if (found == m_requests.end()) return 0;
  Request& request = *found->second;
  if (request.failed) return 0;
  const qsizetype available = request.data.size() - request.readPosition;
  count = static_cast<int>(std::min<qsizetype>(std::max(size, 0), available));
  if (count > 0) {
    std::memcpy(buffer, request.data.constData() + request.readPosition,
                static_cast<std::size_t>(count));
    request.readPosition += count;
  }
  return 1;
}

void QtHttpClient::CloseRequest(HttpHandle handle) {
  const auto found = m_requests.find(handle);
  if (found == m_requests.end()) return;
  const HttpHandle session = found->second->session;
  const std::intptr_t context = found->second->context;
  DropRequest(*found->second);
  m_requests.erase(found);
  Post(session, handle, context, kHttpStatusHandleClosing, 0);
}

HttpResponse QtHttpClient::Get(const QString& url, const QString& userAgent,
                               const HttpTimeouts& timeouts, int limit) {
  HttpResponse response;
  // The worker's event loop needs the application object.
  if (IsHttpUrl(url) == 0 || QCoreApplication::instance() == nullptr) return response;
  const bool useSystemProxy = m_useSystemProxy;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    response = RunBlockingGet(url, userAgent, timeouts, std::max(limit, 0), useSystemProxy);
  }));
  worker->start();
  worker->wait();
  return response;
}

}  // namespace zeph
