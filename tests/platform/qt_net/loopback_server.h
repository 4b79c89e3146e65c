#pragma once
// A tiny HTTP server on 127.0.0.1 for the tests, on a thread of its own so that it answers
// while the test's own thread waits in a blocking request. Each request is answered by the
// test's handler: a reply with a status and a body, or silence (the connection stays open
// and nothing is ever sent).
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <functional>
#include <memory>

class LoopbackServer {
 public:
  struct Answer {
    QByteArray status = "200 OK";
    QByteArray body;
    bool contentLength = true;
    bool silent = false;
  };
  struct Request {
    QByteArray target;  // "/versions.html"
    QByteArray userAgent;
  };
  using Handler = std::function<Answer(const Request&)>;

  LoopbackServer() {
    m_thread.start();
    m_server = new QTcpServer;
    m_server->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_server,
        [this] {
          m_server->listen(QHostAddress::LocalHost, 0);
          m_port = m_server->serverPort();
          QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] { Accept(); });
        },
        Qt::BlockingQueuedConnection);
  }
  // The server and its connections go with the thread.
  ~LoopbackServer() {
    m_server->deleteLater();
    m_thread.quit();
    m_thread.wait();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  quint16 port() const { return m_port; }
  QString address() const { return QStringLiteral("http://127.0.0.1:") + QString::number(port()); }

  void SetHandler(Handler handler) {
    QMutexLocker lock(&m_mutex);
    m_handler = std::move(handler);
  }
  QList<Request> Requests() {
    QMutexLocker lock(&m_mutex);
    return m_requests;
  }

 private:
  // On the server's thread.
  void Accept() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
      socket->setParent(m_server);  // silent connections stay open until the server goes
      auto received = std::make_shared<QByteArray>();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
        *received += socket->readAll();
        const qsizetype end = received->indexOf("\r\n\r\n");
        if (end < 0 || received->isEmpty()) return;
        Request request;
        const QList<QByteArray> lines = received->left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.target = first.value(1);
        for (const QByteArray& line : lines) {
          if (line.toLower().startsWith("user-agent:")) request.userAgent = line.mid(11).trimmed();
        }
        received->clear();
        Answer answer;
        {
          QMutexLocker lock(&m_mutex);
          m_requests.append(request);
          if (m_handler) answer = m_handler(request);
        }
        if (answer.silent) return;
        QByteArray reply = "HTTP/1.1 " + answer.status + "\r\nContent-Type: text/html\r\n";
        if (answer.contentLength) {
          reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        }
        reply += "Connection: close\r\n\r\n" + answer.body;
        socket->write(reply);
        socket->disconnectFromHost();
      });
    }
  }

  QThread m_thread;
  QTcpServer* m_server = nullptr;
  quint16 m_port = 0;
  QMutex m_mutex;
  Handler m_handler;
  QList<Request> m_requests;
};
