#include "platform/http.h"

#include <QUrl>

namespace zeph {
namespace {

// A machine without a network: nothing opens, nothing is sent.
class NoConnectionClient final : public IHttpClient {
 public:
  HttpHandle OpenSession(const QString&, HttpStatusCallback) override { return 0; }
  void CloseSession(HttpHandle) override {}
  int OpenUrl(HttpHandle, const QString&, std::intptr_t) override { return 0; }
  int QueryContentLength(HttpHandle, QByteArray&) override { return 0; }
  int ReadData(HttpHandle, char*, int, int& count) override {
    count = 0;
    return 0;
  }
  void CloseRequest(HttpHandle) override {}
  HttpResponse Get(const QString&, const QString&, const HttpTimeouts&, int) override { return {}; }
};

IHttpClient* g_httpClient = nullptr;

}  // namespace

IHttpClient& GetHttpClient() {
  static NoConnectionClient standIn;
  return g_httpClient != nullptr ? *g_httpClient : standIn;
}

void SetHttpClient(IHttpClient* client) { g_httpClient = client; }

int IsHttpUrl(const QString& url) {
  const QUrl parsed(url, QUrl::StrictMode);
  if (!parsed.isValid() || parsed.host().isEmpty()) return 0;
  const QString scheme = parsed.scheme();
  return (scheme == u"http" || scheme == u"https") ? 1 : 0;
}

}  // namespace zeph
