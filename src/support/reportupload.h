#pragma once
// The upload of the first glitch of a run to the maker's report page: three plain HTTP GET
// requests to "/cgi-bin/report.cgi" on the maker's web server (the machine setting
// "WebServer", see internet.h), whose query strings carry the facts, each accepted by the
// server ("ReportOK" as the first text of the reply's body) before the next is sent.
// Everything sent is packed into letters, digits, '.', '-' and '_' by the program's own number
// text and text scrambling, so the query needs no escaping. The requests block the program
// under the wait cursor, each within 5-second time-outs, and handle no user input meanwhile.
//
// Decisions for this platform:
// - The texts that were static buffers (FormatQueryNumber, ScrambleQueryText) are returned by
//   value.
// - No reply is kept beyond kHttpReplyLimit bytes: neither a larger Content-Length nor a
//   longer reply grows the buffer; HttpGetToBuffer answers kHttpResultTooLarge.
// - The usage log that the third stage reads leaves g_fileStatus as it was, so a glitch during
//   a save or a load does not change what that operation reports.
// - The product is never installed by a Windows installer here: DetectInstallerKind answers 0.
#include <QString>
#include <cstdint>

#include "support/timevalue.h"

// Results of HttpGetToBuffer.
inline constexpr int kHttpResultOk = 0;
inline constexpr int kHttpResultNoMemory = 1;
inline constexpr int kHttpResultNoConnection = 2;
inline constexpr int kHttpResultServerUnreachable = 3;  // the internet answers, the server not
inline constexpr int kHttpResultEmpty = 4;              // the reply is announced as empty
inline constexpr int kHttpResultTooLarge = 5;           // the reply is larger than the limit

// ---- The receive buffer, kept between calls and freed at shut-down ----
// After a complete reply with a terminator it holds the reply followed by one zero byte, which
// g_httpLength includes.
extern std::uint8_t* g_httpBuffer;
extern int g_httpLength;
extern int g_httpCapacity;  // 0 when freed

// Makes room for needed bytes: 10000 at first, then twice the old capacity, or the next
// multiple of 10000 above needed when that is still too small. False when the allocation
// fails or needed is beyond the limit and its terminator (the old buffer stays).
bool GrowHttpBuffer(int needed);
bool AppendHttpByte(std::uint8_t byte);
// False also for count <= 0.
bool AppendHttpBytes(const std::uint8_t* bytes, int count);
void ResetHttpBuffer();
// Called by the main frame when it closes.
void FreeHttpBuffer();

// A blocking GET of url into the buffer, with 5-second time-outs and the program's own user
// agent (or a browser's with browserAgent). With probe, a failure to open url is told apart
// from a machine without internet by opening a well-known public site. Returns one of
// kHttpResult...
int HttpGetToBuffer(const QString& url, bool addTerminator, bool probe, bool browserAgent);

// Whether the reply in the buffer says "ReportOK" as the first text of its body.
bool IsReportAccepted();

// ---- Packing ----
// The decimal text of v with its last digit d replaced by the letter 'A' + d: 0 "A", 12 "1C",
// -5 "-F".
QString FormatQueryNumber(int v);
// Letters and digits mirrored, a blank as '-', punctuation as '.' and one letter or digit,
// anything else as '.' and three characters; with maxLength > 0 the output stops before the
// first character whose encoding would make it longer than maxLength.
QString ScrambleQueryText(const QString& text, int maxLength);
// 'A'..'Z' for 0..25, '0'..'9' for 26..35, 'a'..'z' for 36..61, 'A' for any other value.
char16_t Base62Digit(int v);
// YYYYMMDDhhmmss in local time.
void FormatTimeDigits(CTime t, QString& out);
// The version number in four digits: "0336".
void FormatVersionCode(QString& out);
// How the product was installed (1 RMCC, 2 Windows Installer, 4 another installer): 0 here.
std::int16_t DetectInstallerKind();
// 1 when the text without its points reads as the whole number 336 ("3.36", "336").
bool IsCurrentVersionValue(const QString& text);

// ---- The upload ----
// Sends the first glitch of the run, the call stack, the machine and the usage statistics.
// totalLogActions: the log actions of the run before the glitch report emptied the ring. The
// outcome goes to the activity log only.
void SendGlitchReport(int totalLogActions);
// Makes the activity log call SendGlitchReport for the first glitch of a run. The application
// calls it at start-up.
void InstallUploadLogHook();

// The time-out of each stage of a request, 5000 ms; tests shorten it.
extern int g_httpTimeoutMs;
// Frees the buffer and puts the time-out back. For tests.
void ResetReportUploadState();
