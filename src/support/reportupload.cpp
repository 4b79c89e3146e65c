#include "support/reportupload.h"

#include <QByteArray>
#include <QSysInfo>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>

#include "platform/http.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/sysinfo.h"
#include "support/textfile.h"
#include "support/textutil.h"
#include "support/uiutil.h"
#include "support/usagelog.h"

std::uint8_t* g_httpBuffer = nullptr;
int g_httpLength = 0;
int g_httpCapacity = 0;
int g_httpTimeoutMs = 5000;

namespace {

std::unique_ptr<std::uint8_t[]> g_httpBufferOwner;

// Opened only when the caller asks to tell "no internet" from "server unreachable".
constexpr const char16_t* kProbeUrl = u"http://www.example.com/";

// The characters that scramble to '.' and one base-62 digit, by index.
constexpr char16_t kPunctuation[] = u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\u00A3";
constexpr int kPunctuationCount = 33;
static_assert(sizeof(kPunctuation) / sizeof(kPunctuation[0]) == kPunctuationCount + 1);

std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void LogElapsed(const LogScope& trace, int step, std::uint32_t start) {
  trace.Step(step);
  LogNumber(static_cast<int>(TickCount() - start));
}

QString Letter(int k) { return QString(QChar(static_cast<char16_t>(u'A' + k))); }

QString PrivilegeLetter() {
  switch (GetUserPrivilegeLevel()) {
    case kPrivilegeStandardUser:
      return QStringLiteral("S");
    case kPrivilegeAdministrator:
      return QStringLiteral("A");
    case kPrivilegeElevated:
      return QStringLiteral("E");
    default:
      return QStringLiteral("U");
  }
}

// The platform's name queries fill buffers of 257 characters.
QString Truncated(QString text) {
  if (text.size() > 256) text.truncate(256);
  return text;
}

QString TimeDigits(CTime t) {
  QString out;
  FormatTimeDigits(t, out);
  return out;
}

// One stage: 0 when the server accepted it, else the record's step for the failure.
int SendStage(const QString& url, int failedStep, int refusedStep, const LogScope& trace) {
  const int result = HttpGetToBuffer(url, true, false, false);
  if (result != kHttpResultOk) {
    trace.Step(failedStep, kLogFailed);
    LogNumber(result);
    return failedStep;
  }
  if (!IsReportAccepted()) {
    trace.Step(refusedStep, kLogFailed);
    return refusedStep;
  }
  return 0;
}

void RunUpload(const LogScope& trace, int total) {
  QString head = MakeWebServerUrl(QStringLiteral("/cgi-bin/report.cgi"));
  head += QStringLiteral("?.1");
  head += Letter(g_productKind);
  QString version;
  FormatVersionCode(version);
  head += version;
  head += TimeDigits(CTime::GetCurrentTime());

  trace.Step(50);
  QString url = head;
  url += Letter(DetectInstallerKind());
  if (g_systemCode.size() == 4) {
    url += g_systemCode;
  } else {
    LogAction(21615, 1, kLogHandled);
    url += QStringLiteral("9zz0");
  }
  url += PrivilegeLetter();
  url += FormatQueryNumber(g_firstGlitchCode);
  url += FormatQueryNumber(g_firstGlitchNumber);
  const int valueCount = std::clamp(g_firstGlitchValueCount, 0, kGlitchValueLimit);
  url += Letter(valueCount);
  for (int i = 0; i < valueCount; ++i) url += FormatQueryNumber(g_firstGlitchValues[i]);
  url += ScrambleQueryText(g_firstGlitchMessage, 220);
  if (SendStage(url, 3, 4, trace) != 0) return;
  trace.Step(100);

  trace.Step(110);
  url = head;
  url += u'Z';
  const int depth = std::clamp<int>(g_callDepth, 0, kCallStackDepth);
  url += Letter(depth);
  for (int i = 0; i < depth; ++i) {
    url += FormatQueryNumber(g_callCodes[i]);
    url += FormatQueryNumber(g_callPhases[i]);
  }
  url += ScrambleQueryText(Truncated(QSysInfo::machineHostName()), 60);
  url += u'_';
  url += ScrambleQueryText(GetLoginName(), 60);
  if (SendStage(url, 5, 6, trace) != 0) return;
  trace.Step(200);

  trace.Step(210);
  CProglog usage;
  usage.Read();
  const bool hasRuns = usage.runs >= 0;
  url = head;
  url += u'Y';
  url += TimeDigits(g_startTime);
  url += FormatQueryNumber(total);
  url += FormatQueryNumber(usage.runs);
  url += FormatQueryNumber(hasRuns ? usage.crashes : 0);
  url += FormatQueryNumber(hasRuns ? usage.errors : 0);
  if (usage.runs > 0) {
    url += TimeDigits(usage.GetLastRunStart());
    url += TimeDigits(usage.GetLastRunStop());
  }
  if (hasRuns && usage.crashes > 0) url += TimeDigits(usage.GetLastCrashTime());
  if (hasRuns && usage.errors > 0) url += TimeDigits(usage.GetLastErrorRowTime());
  if (SendStage(url, 7, 8, trace) != 0) return;
  trace.Exit();
}

}  // namespace

// ---- The receive buffer ----

bool GrowHttpBuffer(int needed) {
  if (g_httpCapacity >= needed) return true;
  if (needed > zeph::kHttpReplyLimit + 1) return false;
  int capacity = g_httpCapacity == 0 ? 10000 : 2 * g_httpCapacity;
  if (capacity < needed) capacity = needed / 10000 * 10000 + 10000;
  std::unique_ptr<std::uint8_t[]> grown;
  try {
    grown = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (g_httpLength > 0) {
    std::memcpy(grown.get(), g_httpBuffer, static_cast<std::size_t>(g_httpLength));
  }
  g_httpBufferOwner = std::move(grown);
  g_httpBuffer = g_httpBufferOwner.get();
  g_httpCapacity = capacity;
  return true;
}

bool AppendHttpByte(std::uint8_t byte) {
  if (!GrowHttpBuffer(g_httpLength + 1)) return false;
  g_httpBuffer[g_httpLength++] = byte;
  return true;
}

bool AppendHttpBytes(const std::uint8_t* bytes, int count) {
  if (count <= 0 || count > zeph::kHttpReplyLimit + 1 - g_httpLength) return false;
  if (!GrowHttpBuffer(g_httpLength + count)) return false;
  std::memcpy(g_httpBuffer + g_httpLength, bytes, static_cast<std::size_t>(count));
  g_httpLength += count;
  return true;
}

void ResetHttpBuffer() { g_httpLength = 0; }

void FreeHttpBuffer() {
  g_httpBufferOwner.reset();
  g_httpBuffer = nullptr;
  g_httpLength = 0;
  g_httpCapacity = 0;
}

int HttpGetToBuffer(const QString& url, bool addTerminator, bool probe, bool browserAgent) {
  LogScope trace(21720);
  const std::uint32_t start = TickCount();
  ResetHttpBuffer();
  zeph::IHttpClient& client = zeph::GetHttpClient();
  const QString agent = QString::fromUtf16(browserAgent ? kInternetBrowserAgent : kInternetAgent);
  const zeph::HttpTimeouts timeouts{g_httpTimeoutMs, g_httpTimeoutMs, g_httpTimeoutMs};
  LogElapsed(trace, 10, start);

  // An address that is no http address (no server set) is never sent.
  zeph::HttpResponse response;
  if (zeph::IsHttpUrl(url) != 0) response = client.Get(url, agent, timeouts, zeph::kHttpReplyLimit);
  if (!response.opened) {
    if (!probe) return trace.Return(kHttpResultNoConnection, kLogFailed, 2);
    const zeph::HttpResponse site =
        client.Get(QString::fromUtf16(kProbeUrl), agent, timeouts, zeph::kHttpReplyLimit);
    return trace.Return(site.opened ? kHttpResultServerUnreachable : kHttpResultNoConnection,
                        kLogFailed, 3);
  }
  LogElapsed(trace, 15, start);

  if (response.tooLarge) return trace.Return(kHttpResultTooLarge, kLogFailed, 5);
  int announced = 0;
  if (response.hasContentLength && ParseContentLength(response.contentLength, announced)) {
    if (announced <= 0) return trace.Return(kHttpResultEmpty, kLogOk, 1);
    // The announced size sizes the buffer only within the limit.
    if (announced > zeph::kHttpReplyLimit) return trace.Return(kHttpResultTooLarge, kLogFailed, 5);
    if (!GrowHttpBuffer(announced + 1)) return trace.Return(kHttpResultNoMemory, kLogMemory, 1);
  }

  LogElapsed(trace, 30, start);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(response.body.constData());
  const int size =
      static_cast<int>(std::min<qsizetype>(response.body.size(), zeph::kHttpReplyLimit + 1));
  if (size > zeph::kHttpReplyLimit) return trace.Return(kHttpResultTooLarge, kLogFailed, 5);
  for (int offset = 0; offset < size; offset += kInternetReadPiece) {
    const int piece = std::min(kInternetReadPiece, size - offset);
    if (!AppendHttpBytes(bytes + offset, piece)) {
      return trace.Return(kHttpResultNoMemory, kLogMemory, 2);
    }
  }
  LogElapsed(trace, 50, start);
  if (addTerminator && !AppendHttpByte(0)) return trace.Return(kHttpResultNoMemory, kLogMemory, 3);
  return trace.Return(kHttpResultOk);
}

bool IsReportAccepted() {
  if (g_httpBuffer == nullptr || g_httpLength <= 0) return false;
  // The reply ends at its first zero byte; the copy has one after its end in any case.
  const QByteArray reply(reinterpret_cast<const char*>(g_httpBuffer), g_httpLength);
  const char* cursor = nullptr;
  for (const char* p = reply.constData(); *p != 0; ++p) {
    const char* after = p + 1;
    if (*p == '<' && MatchAnsiPattern(after, "Body>") != 0) {
      cursor = after;
      break;
    }
  }
  if (cursor == nullptr) return false;
  for (;;) {
    SkipAnsiBlanks(cursor);
    if (*cursor != '<') break;
    ++cursor;
    const char* closing = cursor;
    if (MatchAnsiPattern(closing, "/Body>") != 0) return false;
    while (*cursor != 0 && *cursor != '>') ++cursor;
    if (*cursor == 0) return false;
    ++cursor;
  }
  return MatchAnsiPattern(cursor, "ReportOK") != 0;
}

// ---- Packing ----

QString FormatQueryNumber(int v) {
  QString text;
  IntToString(v, text);
  const qsizetype last = text.size() - 1;
  const char16_t digit = text.at(last).unicode();
  text[last] = QChar(static_cast<char16_t>(digit - u'0' + u'A'));
  return text;
}

char16_t Base62Digit(int v) {
  if (v >= 0 && v <= 25) return static_cast<char16_t>(u'A' + v);
  if (v >= 26 && v <= 35) return static_cast<char16_t>(u'0' + v - 26);
  if (v >= 36 && v <= 61) return static_cast<char16_t>(u'a' + v - 36);
  return u'A';
}

QString ScrambleQueryText(const QString& text, int maxLength) {
  QString out;
  char16_t code[4];
  for (QChar ch : text) {
    const char16_t c = ch.unicode();
    int length = 1;
    if (c >= u'0' && c <= u'9') {
      code[0] = static_cast<char16_t>(u'0' + u'9' - c);
    } else if (c >= u'a' && c <= u'z') {
      code[0] = static_cast<char16_t>(u'a' + u'z' - c);
    } else if (c >= u'A' && c <= u'Z') {
      code[0] = static_cast<char16_t>(u'A' + u'Z' - c);
    } else if (c == u' ') {
      code[0] = u'-';
    } else if (const char16_t* at =
                   std::char_traits<char16_t>::find(kPunctuation, kPunctuationCount, c);
               at != nullptr) {
      code[0] = u'.';
      code[1] = Base62Digit(static_cast<int>(at - kPunctuation));
      length = 2;
    } else {
      code[0] = u'.';
      code[1] = static_cast<char16_t>(u'a' + c / 3844);
      code[2] = Base62Digit((c / 62) % 62);
      code[3] = Base62Digit(c % 62);
      length = 4;
    }
    if (maxLength > 0 && out.size() + length > maxLength) break;
    out.append(reinterpret_cast<const QChar*>(code), length);
  }
  return out;
}

void FormatTimeDigits(CTime t, QString& out) {
  LocalTimeFields f;
  t.GetLocalFields(f);
  char16_t digits[5];
  out.clear();
  FormatZeroPadded(f.year, digits, 4);
  out += QString::fromUtf16(digits);
  for (int n : {f.month, f.day, f.hour, f.minute, f.second}) {
    FormatZeroPadded(n, digits, 2);
    out += QString::fromUtf16(digits);
  }
}

void FormatVersionCode(QString& out) {
  char16_t digits[5];
  FormatZeroPadded(kVersionNumber, digits, 4);
  out = QString::fromUtf16(digits);
}

std::int16_t DetectInstallerKind() {
  LogScope trace(30005);
  return trace.Return<std::int16_t>(0);
}

bool IsCurrentVersionValue(const QString& text) {
  QString digits = text;
  digits.remove(u'.');
  int value = 0;
  return TextToInt(digits, value) != 0 && value == kVersionNumber;
}

// ---- The upload ----

void SendGlitchReport(int totalLogActions) {
  LogScope trace(30010);
  if (g_glitchReportOff != 0) {
    trace.Exit(kLogOk, 3);
    return;
  }
  // The glitch may have come in the middle of a save or a load, whose outcome the file status
  // still has to report.
  const std::int32_t fileStatus = g_fileStatus;
  const std::int32_t fileLine = g_fileLineNumber;
  ShowWaitCursor();
  RunUpload(trace, totalLogActions);
  HideWaitCursor();
  g_fileStatus = fileStatus;
  g_fileLineNumber = fileLine;
}

void InstallUploadLogHook() {
  GetLogHooks().sendGlitchReport = [](std::int64_t total) {
    SendGlitchReport(ClampInt64ToInt(total));
  };
}

void ResetReportUploadState() {
  FreeHttpBuffer();
  g_httpTimeoutMs = 5000;
}
