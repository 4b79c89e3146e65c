// The web server's replies: the bytes as the versions page (read in pieces as the client
// delivers them, with or without the terminator), as a Content-Length header and as the reply
// of the report page. Every answer must be one the callers know.
#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzzcommon.h"
#include "platform/http.h"
#include "support/internet.h"
#include "support/reportupload.h"

namespace {

void VersionsPage(const std::uint8_t* data, std::size_t size, bool terminator) {
  CInternetTask task;
  task.addTerminator = terminator ? 1 : 0;
  std::size_t at = 0;
  while (at < size) {
    const int piece = int(std::min<std::size_t>(kInternetReadPiece, size - at));
    std::memcpy(task.readBuffer, data + at, std::size_t(piece));
    if (!task.AppendReply(piece)) {
      fuzz::Check(task.dataLength + piece > zeph::kHttpReplyLimit);
      break;
    }
    at += std::size_t(piece);
  }
  fuzz::Check(task.dataLength >= 0 && task.dataLength <= zeph::kHttpReplyLimit);
  // The terminator takes the byte kept free for it, as when the reply completes.
  if (task.addTerminator != 0 && task.dataLength > 0) task.data[task.dataLength++] = 0;
  task.stage = kTaskDecode;
  int result = 12345;
  CheckLatestVersion(&task, result);
  fuzz::Check(result == -1 || result == -2 || result == -4 || result == -5 || result == -6 ||
              (result >= 0 && result != 12345));
}

void ContentLength(const std::uint8_t* data, std::size_t size) {
  const QByteArray text = fuzz::Bytes(data, size);
  int value = -7;
  if (!ParseContentLength(text, value)) return;
  // Blanks, a sign, digits, blanks: the same number read by hand.
  const auto blank = [](std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t i = 0;
  while (i < size && blank(data[i])) ++i;
  bool negative = false;
  if (i < size && (data[i] == '+' || data[i] == '-')) negative = data[i++] == '-';
  long long n = 0;
  bool digits = false;
  while (i < size && data[i] >= '0' && data[i] <= '9') {
    n = n * 10 + (data[i++] - '0');
    digits = true;
    fuzz::Check(n <= 2147483648LL);
  }
  fuzz::Check(digits);
  while (i < size && blank(data[i])) ++i;
  fuzz::Check(i == size || data[i] == 0);
  fuzz::Check((negative ? -n : n) == value);
}

void ReportReply(const std::uint8_t* data, std::size_t size, bool terminator) {
  ResetHttpBuffer();
  if (size > 0 && !AppendHttpBytes(data, int(std::min<std::size_t>(size, 1 << 20)))) return;
  if (terminator) AppendHttpByte(0);
  fuzz::Check(g_httpLength >= 0 && g_httpLength <= g_httpCapacity);
  IsReportAccepted();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool terminator = (data[0] & 1) != 0;
  VersionsPage(data + 1, size - 1, terminator);
  ContentLength(data + 1, size - 1);
  ReportReply(data + 1, size - 1, terminator);
  return 0;
}
