#include "support/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <new>
#include <vector>

#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr char16_t kReplacementChar = 0xFFFD;

bool g_failBuffersForTests = false;
void (*g_recentColourHandler)(std::uint32_t) = nullptr;

// The characters of code page 437 that the OEM encoding knows above 0x7F; 0 marks a byte that
// is not in the table.
// clang-format off
constexpr char16_t kOemHighChars[128] = {
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    // 0x90
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0, 0,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0, 0,
    0x00BF, 0, 0, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    // 0xB0, 0xC0, 0xD0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xE0
    0, 0x00DF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20AC, 0,
    // 0xF0
    0, 0, 0, 0, 0, 0, 0, 0, 0x00B0, 0, 0, 0, 0x00B2, 0, 0, 0,
};

// Windows-1252 bytes 0x80..0x9F; the five bytes it leaves unassigned stand for themselves.
constexpr char16_t kWindows1252Row8[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

std::unique_ptr<std::uint8_t[]> AllocateBuffer() {
  if (g_failBuffersForTests) return nullptr;
  try {
    return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[kTextFileBufferSize]);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void CloseDescriptor(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The decimal digits of a double: value = 0.d1 d2 ... × 10^dec, at most 15 digits, rounded,
// trailing zeros dropped (count 0 for zero).
struct DecimalDigits {
  char digits[16] = {};
  int count = 0;
  int dec = 0;
  bool negative = false;
};

bool ToDecimalDigits(double x, DecimalDigits& out) {
  if (!std::isfinite(x)) return false;
  char text[40];
  std::to_chars_result r =
      std::to_chars(text, text + sizeof(text), x, std::chars_format::scientific, 14);
  if (r.ec != std::errc()) return false;
  // Rounding to 15 digits carries the values nearest the largest double past it
  // ("1.79769313486232e308"), a text that no reader takes back: those keep their digits cut.
  double back = 0;
  if (std::from_chars(text, r.ptr, back).ec == std::errc::result_out_of_range) {
    r = std::to_chars(text, text + sizeof(text), x, std::chars_format::scientific, 16);
    if (r.ec != std::errc()) return false;
  }
  const char* p = text;
  out.negative = (*p == '-');
  if (out.negative) ++p;
  int count = 0;
  for (; p < r.ptr && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9' && count < 15) out.digits[count++] = *p;
  }
  int exponent = 0;
  if (p < r.ptr) {
    ++p;  // 'e'
    bool negativeExponent = false;
    if (p < r.ptr && (*p == '-' || *p == '+')) negativeExponent = (*p++ == '-');
    for (; p < r.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
  }
  while (count > 0 && out.digits[count - 1] == '0') --count;
  out.count = count;
  out.dec = exponent + 1;
  return true;
}

void AppendDecimal(std::u16string& text, int value) {
  char digits[16];
  const std::to_chars_result r = std::to_chars(digits, digits + sizeof(digits), value);
  for (const char* p = digits; p < r.ptr; ++p) text.push_back(static_cast<char16_t>(*p));
}

// FormatDouble into text (max characters at most); the result as FormatDouble's.
int FormatDigits(const DecimalDigits& g, int max, std::u16string& text) {
  text.clear();
  if (g.count == 0) {
    text = u"0";
    return 1;
  }
  if (max < 6) return 0;
  const int neg = g.negative ? 1 : 0;
  auto size = [&text] { return static_cast<int>(text.size()); };
  if (neg != 0) text.push_back(u'-');
  if (g.dec <= 0) {
    const int width = neg + 2 - g.dec;
    if (width >= max) {
      text = u"0";
      return 0;
    }
    text += u"0.";
    text.append(static_cast<std::size_t>(-g.dec), u'0');
    for (int i = 0; i < g.count && size() < max; ++i) text.push_back(char16_t(g.digits[i]));
    return 1;
  }
  if (neg + g.dec > max) {
    text.push_back(char16_t(g.digits[0]));
    if (size() + 1 < max - 4 && g.count > 1) {
      text.push_back(u'.');
      for (int i = 1; i < g.count && size() < max - 4; ++i) text.push_back(char16_t(g.digits[i]));
    }
    text.push_back(u'e');
    AppendDecimal(text, g.dec - 1);
    return 0;
  }
  int i = 0;
  while (size() < neg + g.dec) {
    text.push_back(i < g.count ? char16_t(g.digits[i]) : u'0');
    if (i < g.count) ++i;
  }
  if (i < g.count && size() < max - 1) {
    text.push_back(u'.');
    while (i < g.count && size() < max) text.push_back(char16_t(g.digits[i++]));
  }
  return 1;
}

int OsErrorToReaderStatus(int) {
  // This platform reports no sharing violations: every failure is "not found".
  return kFileNotFound;
}

int OsErrorToFlushStatus(int error) {
  return (error == ENOSPC || error == EDQUOT) ? kFileDiskFull : kFileCannotSave;
}

}  // namespace

int WriterOpenStatus(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return kFileDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
      return kFileWriteProtected;
    case EIO:
      return kFileHardwareFault;
    default:
      return kFileCannotCreate;
  }
}

// ---- Byte and character conversions ----

char16_t DecodeOemByte(std::uint8_t byte) {
  if (byte < 0x80) return byte;
  const char16_t c = kOemHighChars[byte - 0x80];
  return c != 0 ? c : char16_t(byte);
}

char16_t DecodeWindows1252Byte(std::uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kWindows1252Row8[byte - 0x80];
  return byte;
}

std::uint8_t EncodeOemChar(char16_t c) {
  if (c >= 0x01 && c <= 0x7F) return static_cast<std::uint8_t>(c);
  if (c != 0) {
    for (int i = 0; i < 128; ++i) {
      if (kOemHighChars[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    }
  }
  return '?';
}

std::uint8_t EncodeWindows1252Char(char16_t c) {
  if ((c >= 0x01 && c <= 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
  if (c != 0) {
    for (int i = 0; i < 32; ++i) {
      if (kWindows1252Row8[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    }
  }
  return '?';
}

// ---- Number text ----

int FormatDouble(double x, char16_t* out, int max) {
  DecimalDigits g;
  if (out == nullptr || !ToDecimalDigits(x, g)) return 0;
  if (max < 0) return 0;  // not even room for the terminator
  std::u16string text;
  int result = 0;
  try {
    result = FormatDigits(g, max, text);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  // "0" for zero needs one character of room; with none the text is empty.
  if (static_cast<int>(text.size()) > max) {
    text.clear();
    result = 0;
  }
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = 0;
  return result;
}

int FormatDouble(double x, QString& out, int max) {
  DecimalDigits g;
  if (!ToDecimalDigits(x, g) || max < 0) return 0;
  try {
    std::u16string text;
    int result = FormatDigits(g, max, text);
    if (static_cast<int>(text.size()) > max) {
      text.clear();
      result = 0;
    }
    out = QString::fromStdU16String(text);
    return result;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void FormatDoubleFixed(double x, QString& out) {
  out.clear();
  DecimalDigits g;
  if (!ToDecimalDigits(x, g)) return;
  try {
    if (g.count == 0) {
      out = QStringLiteral("0");
      return;
    }
    std::u16string text;
    text.reserve(static_cast<std::size_t>(g.count + std::abs(g.dec) + 4));
    if (g.negative) text.push_back(u'-');
    if (g.dec <= 0) {
      text += u"0.";
      text.append(static_cast<std::size_t>(-g.dec), u'0');
      for (int i = 0; i < g.count; ++i) text.push_back(char16_t(g.digits[i]));
    } else {
      for (int i = 0; i < g.dec; ++i) text.push_back(i < g.count ? char16_t(g.digits[i]) : u'0');
      if (g.count > g.dec) {
        text.push_back(u'.');
        for (int i = g.dec; i < g.count; ++i) text.push_back(char16_t(g.digits[i]));
      }
    }
    out = QString::fromStdU16String(text);
  } catch (const std::bad_alloc&) {
    out.clear();
  }
}

// ---- Reader ----

CTextFileReader::CTextFileReader() : m_buffer(AllocateBuffer()) {}

CTextFileReader::~CTextFileReader() { CloseDescriptor(m_fd); }

int CTextFileReader::Open(const QString& path) {
  g_fileLineNumber = 0;
  LogScope trace(20402);
  if (!m_buffer) {
    g_fileStatus = kFileNoMemory;
    return trace.Return(0, kLogMemory, 1);
  }
  if (m_closed == 0) Close();
  CloseDescriptor(m_fd);
  const QByteArray name = QFile::encodeName(path);
  int fd = -1;
  do {
    fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    g_fileStatus = OsErrorToReaderStatus(errno);
    return trace.Return(0, kLogFailed, 2);
  }
  // Only plain files: a folder cannot be read and a pipe or device might never end.
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    g_fileStatus = kFileNotFound;
    return trace.Return(0, kLogFailed, 3);
  }
  m_fd = fd;
  m_closed = 0;
  m_position = 0;
  m_fill = 0;
  g_fileStatus = kFileOk;
  Refill();
  return trace.Return(1);
}

void CTextFileReader::Close() {
  LogScope trace(20401);
  CloseDescriptor(m_fd);
  m_closed = 1;
  // What is left in the buffer belongs to the closed file: a closed reader delivers nothing.
  m_position = 0;
  m_fill = 0;
  trace.Exit();
}

// Reads the next block once the buffer has been used up: 1 when bytes came, 0 at the end of
// the data (the file is then closed), -1 after a read error (closed, status 2).
int CTextFileReader::Refill() {
  if (m_closed != 0 || m_fd < 0) return 0;
  LogScope trace(20403);
  ssize_t n = 0;
  do {
    n = ::read(m_fd, m_buffer.get(), kTextFileBufferSize);
  } while (n < 0 && errno == EINTR);
  m_position = 0;
  m_fill = 0;
  if (n <= 0) {
    CloseDescriptor(m_fd);
    m_closed = 1;
    if (n < 0) {
      g_fileStatus = kFileHardwareFault;
      return trace.Return(-1, kLogFailed, 1);
    }
    return trace.Return(0, kLogOk, 2);
  }
  m_fill = static_cast<int>(n);
  return trace.Return(1);
}

int CTextFileReader::NextByte(std::uint8_t& byte) {
  if (m_position >= m_fill && Refill() <= 0) return 0;
  byte = m_buffer[m_position++];
  return 1;
}

int CTextFileReader::ReadLine(QString& line) {
  line.clear();
  return ReadLineInto(line);
}

int CTextFileReader::ReadLineInto(QString& line) {
  // Emptied keeping its room, so one string serves line after line.
  if (!line.isEmpty()) line.resize(0);
  if (g_fileStatus != kFileOk) return 0;
  try {
    bool anyByte = false;  // a byte of this line has been taken
    char utf8[4];
    int utf8Length = 0;  // bytes of the sequence in progress (0: none)
    int utf8Needed = 0;
    for (;;) {
      std::uint8_t byte = 0;
      if (NextByte(byte) == 0) {
        if (g_fileStatus != kFileOk) {
          line.clear();
          return 1;
        }
        if (utf8Length > 0) line.append(QChar(kReplacementChar));
        // The last line of a file without a final line end is a line like any other.
        if (!anyByte) {
          g_fileStatus = kFileEndedTooSoon;
          line.clear();
          return 1;
        }
        ++g_fileLineNumber;
        return 1;
      }
      anyByte = true;
      if (utf8Length > 0) {
        if ((byte & 0xC0) == 0x80) {
          utf8[utf8Length++] = static_cast<char>(byte);
          if (utf8Length == utf8Needed) {
            line.append(QString::fromUtf8(utf8, utf8Length));
            utf8Length = 0;
          }
          continue;
        }
        // A sequence cut short: the bytes so far are one bad character, and this byte
        // (perhaps the line end) counts on its own.
        line.append(QChar(kReplacementChar));
        utf8Length = 0;
      }
      if (byte == kCr) {
        ++g_fileLineNumber;
        if (m_position < m_fill || Refill() > 0) {
          if (m_buffer[m_position] == kLf) ++m_position;
        }
        return 1;
      }
      if (byte == kLf) {
        ++g_fileLineNumber;
        return 1;
      }
      if (byte == 0) continue;  // a zero byte has no place in these files: never stored
      switch (m_encoding) {
        case kEncodingOem:
          line.append(QChar(DecodeOemByte(byte)));
          break;
        case kEncodingUtf8:
          if (byte < 0x80) {
            line.append(QChar(byte));
          } else if (byte >= 0xC0) {
            utf8[0] = static_cast<char>(byte);
            utf8Length = 1;
            utf8Needed = byte < 0xE0 ? 2 : (byte < 0xF0 ? 3 : 4);
          }
          // 0x80..0xBF without a lead byte: dropped.
          break;
        default:
          line.append(QChar(DecodeWindows1252Byte(byte)));
          break;
      }
    }
  } catch (const std::bad_alloc&) {
    line.clear();
    g_fileStatus = kFileNoMemory;
    return 1;
  }
}

template <typename T, typename Parse>
int CTextFileReader::ReadValue(T& v, Parse parse) {
  QString& line = m_valueLine;
  ReadLineInto(line);
  if (g_fileStatus != kFileOk) {
    v = 0;
    return 0;
  }
  T value{};
  if (parse(line, value) == 0) {
    g_fileStatus = kFileIllegalValue;
    Close();
    v = 0;
    return 0;
  }
  v = value;
  return 1;
}

int CTextFileReader::ReadBool(int& v) {
  return ReadValue(v, [](const QString& text, int& value) {
    std::int16_t n = 0;
    if (TextToShort(text, n) == 0 || (n != 0 && n != 1)) return 0;
    value = n;
    return 1;
  });
}

int CTextFileReader::ReadByte(std::uint8_t& v) {
  return ReadValue(
      v, [](const QString& text, std::uint8_t& value) { return TextToByte(text, value); });
}

int CTextFileReader::ReadShort(std::int16_t& v) {
  return ReadValue(v, [](const QString& text, std::int16_t& value) {
    std::int16_t n = 0;
    if (TextToShort(text, n) == 0 || n == -32768) return 0;
    value = n;
    return 1;
  });
}

int CTextFileReader::ReadUShort(std::uint16_t& v) {
  return ReadValue(
      v, [](const QString& text, std::uint16_t& value) { return TextToUShort(text, value); });
}

int CTextFileReader::ReadInt(int& v) {
  return ReadValue(v, [](const QString& text, int& value) {
    int n = 0;
    if (TextToInt(text, n) == 0 || n == -2147483647 - 1) return 0;
    value = n;
    return 1;
  });
}

int CTextFileReader::ReadUnsigned(std::uint32_t& v) {
  return ReadValue(
      v, [](const QString& text, std::uint32_t& value) { return TextToUnsigned(text, value); });
}

int CTextFileReader::ReadDouble(double& v) {
  return ReadValue(v, [](const QString& text, double& value) {
    double x = 0;
    if (StringToDouble(text, x) == 0 || !std::isfinite(x)) return 0;
    value = x;
    return 1;
  });
}

int CTextFileReader::ReadColour(std::uint32_t& v) {
  const int result = ReadUnsigned(v);
  // Also after a failure, so that the list sees the same colours as the drawing.
  AddRecentColour(v);
  return result;
}

int CTextFileReader::ReadFont(CFontSpec& font) {
  QString face;
  ReadLine(face);
  font.SetFaceName(face);
  std::int16_t size = 0;
  ReadShort(size);
  font.SetSize(size);
  int flag = 0;
  ReadBool(flag);
  font.SetBold(flag != 0);
  ReadBool(flag);
  font.SetItalic(flag != 0);
  return g_fileStatus == kFileOk ? 1 : 0;
}

int CTextFileReader::ReadFontWidth(CFontSpec& font) {
  std::uint16_t width = 0;
  ReadUShort(width);
  if (g_fileStatus != kFileOk) return 0;
  font.SetWidthPercent(static_cast<std::int16_t>(width));
  return 1;
}

// ---- Writer ----

CTextFileWriter::CTextFileWriter() : m_buffer(AllocateBuffer()) {}

CTextFileWriter::~CTextFileWriter() { Close(); }

int CTextFileWriter::Open(const QString& path, bool made) {
  LogScope trace(20413);
  if (!m_buffer) {
    g_fileStatus = kFileNoMemory;
    return trace.Return(0, kLogFailed, 1);
  }
  if (m_closed == 0 || m_fd >= 0) Close();
  const QByteArray name = QFile::encodeName(path);
  int fd = -1;
  do {
    fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | (made ? 0 : O_CREAT | O_TRUNC), 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    g_fileStatus = WriterOpenStatus(errno);
    return trace.Return(0, kLogFailed, 2);
  }
  m_fd = fd;
  m_closed = 0;
  m_fill = 0;
  g_fileStatus = kFileOk;
  return trace.Return(1);
}

void CTextFileWriter::Close() {
  LogScope trace(20412);
  if (m_closed == 0) {
    Flush();
    m_closed = 1;
  }
  if (m_fd >= 0) {
    // The system may report a failed write only now; the file is then not complete.
    if (::close(m_fd) != 0 && errno != EINTR && g_fileStatus == kFileOk) {
      g_fileStatus = OsErrorToFlushStatus(errno);
    }
    m_fd = -1;
  }
  m_fill = 0;
  trace.Exit();
}

int CTextFileWriter::Flush() {
  LogScope trace(20414);
  if (m_closed != 0) return trace.Return(0, kLogHandled, 1);
  const std::uint8_t* data = m_buffer.get();
  int left = m_fill;
  while (left > 0) {
    const ssize_t n = ::write(m_fd, data, static_cast<std::size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // write() gives 0 only for a device that takes nothing more: as a full disk.
      g_fileStatus = n == 0 ? kFileDiskFull : OsErrorToFlushStatus(errno);
      m_closed = 1;
      m_fill = 0;
      return trace.Return(1, kLogFailed, 2);
    }
    data += n;
    left -= static_cast<int>(n);
  }
  m_fill = 0;
  return trace.Return(1);
}

int CTextFileWriter::PutByte(std::uint8_t byte) {
  if (m_closed != 0) return 0;
  if (m_fill >= kTextFileBufferSize) {
    Flush();
    if (m_closed != 0) return 0;
  }
  m_buffer[m_fill++] = byte;
  return 1;
}

int CTextFileWriter::PutChar(char16_t c) {
  switch (m_encoding) {
    case kEncodingOem:
      return PutByte(EncodeOemChar(c));
    case kEncodingUtf8:
      if (c < 0x80) return PutByte(static_cast<std::uint8_t>(c));
      if (c < 0x800) {
        return PutByte(static_cast<std::uint8_t>(0xC0 | (c >> 6))) &&
               PutByte(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
      }
      if (c >= 0xD800 && c <= 0xDFFF) c = kReplacementChar;  // half of a pair on its own
      return PutByte(static_cast<std::uint8_t>(0xE0 | (c >> 12))) &&
             PutByte(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F))) &&
             PutByte(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    default:
      return PutByte(EncodeWindows1252Char(c));
  }
}

void CTextFileWriter::WriteText(const QString& text) {
  if (g_fileStatus != kFileOk) return;
  const qsizetype length = text.size();
  for (qsizetype i = 0; i < length; ++i) {
    const char16_t c = text.at(i).unicode();
    if (c == 0) return;
    // A character beyond the 16-bit range is written as its one four-byte sequence, so that it
    // reads back as the same pair.
    if (m_encoding == kEncodingUtf8 && QChar::isHighSurrogate(c) && i + 1 < length &&
        QChar::isLowSurrogate(text.at(i + 1).unicode())) {
      const char32_t u = QChar::surrogateToUcs4(c, text.at(i + 1).unicode());
      ++i;
      if (!(PutByte(static_cast<std::uint8_t>(0xF0 | (u >> 18))) &&
            PutByte(static_cast<std::uint8_t>(0x80 | ((u >> 12) & 0x3F))) &&
            PutByte(static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F))) &&
            PutByte(static_cast<std::uint8_t>(0x80 | (u & 0x3F))))) {
        return;
      }
      continue;
    }
    if (PutChar(c) == 0) return;
  }
}

void CTextFileWriter::WriteLine(const QString& text) {
  if (g_fileStatus != kFileOk) return;
  WriteText(text);
  if (PutByte(kCr) != 0) PutByte(kLf);
}

void CTextFileWriter::WriteString(const QString& text) {
  if (g_fileStatus != kFileOk) return;
  qsizetype start = 0;
  for (;;) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0) {
      WriteText(text.mid(start));
      return;
    }
    WriteLine(text.mid(start, end - start));
    if (g_fileStatus != kFileOk || m_closed != 0) return;
    start = end + 1;
  }
}

void CTextFileWriter::WriteBool(int v) {
  WriteLine(v != 0 ? QStringLiteral("1") : QStringLiteral("0"));
}

void CTextFileWriter::WriteByte(int v) { WriteLine(QString::number(v & 0xFF)); }

void CTextFileWriter::WriteShort(int v) {
  WriteLine(QString::number(static_cast<std::int16_t>(static_cast<std::uint16_t>(v))));
}

void CTextFileWriter::WriteUShort(int v) {
  WriteLine(QString::number(static_cast<std::uint16_t>(v)));
}

void CTextFileWriter::WriteInt(int v) { WriteLine(QString::number(v)); }

void CTextFileWriter::WriteUnsigned(std::uint32_t v) { WriteLine(QString::number(v)); }

void CTextFileWriter::WriteColour(std::uint32_t c) { WriteUnsigned(c); }

void CTextFileWriter::WriteDouble(double x) {
  if (g_fileStatus != kFileOk) return;
  QString text;
  // A value without digits would be an empty line that no reader accepts: the save fails.
  const int plain = std::isfinite(x) ? FormatDouble(x, text, 21) : 0;
  if (!std::isfinite(x) || (plain == 0 && text.isEmpty())) {
    g_fileStatus = kFileCannotSave;
    return;
  }
  // A value too small for 21 characters of plain decimals would be written as "0" and read
  // back as another value (a hatch spacing of 0 is refused): it keeps its digits in exponent
  // form, "1.3e-52", within the same 21 characters.
  DecimalDigits g;
  if (plain == 0 && x != 0 && text == u"0" && ToDecimalDigits(x, g) && g.count > 0) {
    std::u16string exponent = u"e";
    AppendDecimal(exponent, g.dec - 1);
    std::u16string small;
    if (g.negative) small.push_back(u'-');
    small.push_back(char16_t(g.digits[0]));
    const std::size_t room = 21 - exponent.size();
    if (g.count > 1 && small.size() + 2 <= room) {
      small.push_back(u'.');
      for (int i = 1; i < g.count && small.size() < room; ++i)
        small.push_back(char16_t(g.digits[i]));
    }
    text = QString::fromStdU16String(small + exponent);
  }
  WriteLine(text);
}

void CTextFileWriter::WriteFont(const CFontSpec& font) {
  WriteLine(font.GetFaceName());
  WriteShort(font.GetSize());
  WriteBool(font.IsBold());
  WriteBool(font.IsItalic());
}

// ---- Program-wide switches ----

void SetTextFileBufferFailureForTests(bool fail) { g_failBuffersForTests = fail; }

void SetRecentColourHandler(void (*handler)(std::uint32_t colour)) {
  g_recentColourHandler = handler;
}

void AddRecentColour(std::uint32_t colour) {
  if (g_recentColourHandler != nullptr) g_recentColourHandler(colour);
}

void ResetTextFileState() {
  g_failBuffersForTests = false;
  g_recentColourHandler = nullptr;
}

// ---- 8-bit text helpers ----

const QString& AnsiToText(QByteArrayView bytes) {
  static QString text;
  text.clear();
  try {
    text.reserve(bytes.size());
    for (const char b : bytes) {
      if (b == 0) break;
      text.append(QChar(DecodeWindows1252Byte(static_cast<std::uint8_t>(b))));
    }
  } catch (const std::bad_alloc&) {
    text.clear();
  }
  return text;
}

std::uint8_t ToUpperAnsi(std::uint8_t byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<std::uint8_t>(byte - 32) : byte;
}

int FindAnsiNoCase(const char* text, const char* pattern) {
  if (pattern == nullptr || *pattern == 0) return 0;
  if (text == nullptr) return -1;
  for (int start = 0; text[start] != 0; ++start) {
    int i = 0;
    while (pattern[i] != 0 && text[start + i] != 0 &&
           ToUpperAnsi(static_cast<std::uint8_t>(text[start + i])) ==
               ToUpperAnsi(static_cast<std::uint8_t>(pattern[i]))) {
      ++i;
    }
    if (pattern[i] == 0) return start;
    if (text[start + i] == 0) return -1;  // the rest of the text is shorter than the pattern
  }
  return -1;
}

int IsAnsiBlank(std::uint8_t byte) {
  return (byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ') ? 1 : 0;
}

int SkipAnsiBlanks(const char*& cursor) {
  int passed = 0;
  while (IsAnsiBlank(static_cast<std::uint8_t>(*cursor)) != 0) {
    ++cursor;
    ++passed;
  }
  return passed;
}

int MatchAnsiPattern(const char*& cursor, const char* pattern) {
  const char* c = cursor;
  for (const char* p = pattern; *p != 0; ++p) {
    if (*p == '\t') {
      SkipAnsiBlanks(c);
    } else if (*p == ' ') {
      if (SkipAnsiBlanks(c) == 0) return 0;
    } else {
      if (*c == 0) return 0;
      if (ToUpperAnsi(static_cast<std::uint8_t>(*c)) !=
          ToUpperAnsi(static_cast<std::uint8_t>(*p))) {
        return 0;
      }
      ++c;
    }
  }
  cursor = c;
  return 1;
}

int ParseAnsiInt(const char*& cursor, int& v) {
  const char* c = cursor;
  bool negative = false;
  if (*c == '-' || *c == '+') negative = (*c++ == '-');
  int value = 0;
  bool overflow = false;
  for (; *c >= '0' && *c <= '9'; ++c) {
    const int digit = *c - '0';
    if (!overflow && (value < 214748364 || (value == 214748364 && digit <= 7))) {
      value = value * 10 + digit;
    } else {
      overflow = true;
    }
  }
  cursor = c;
  if (overflow) return 0;
  v = negative ? -value : value;
  return 1;
}
