#pragma once
// Text files that the program reads and writes for itself: a reader that delivers a file line
// by line and a writer of text and lines, each through a 64 KB buffer. Lines end in CR LF
// (a bare LF also ends a line when reading). Each object has one of three byte encodings;
// the typed operations read or write one value per line as decimal text.
//
// Neither class throws. Every failure goes to the program-wide g_fileStatus, and while that
// is set every reading and writing operation does nothing, on every file, so a caller can run
// a long sequence of operations and test the status once at the end.
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>

#include "support/filestatus.h"
#include "support/textoutput.h"

class CFontSpec;

// Byte encodings of the text files.
inline constexpr int kEncodingOem = 0;          // ASCII plus 46 characters of code page 437
inline constexpr int kEncodingWindows1252 = 1;  // the default
inline constexpr int kEncodingUtf8 = 2;

inline constexpr int kTextFileBufferSize = 65536;

// ---- Byte and character conversions of the two 8-bit encodings ----
char16_t DecodeOemByte(std::uint8_t byte);
char16_t DecodeWindows1252Byte(std::uint8_t byte);
// Characters that the encoding cannot hold give '?'.
std::uint8_t EncodeOemChar(char16_t c);
std::uint8_t EncodeWindows1252Char(char16_t c);

// ---- Number text for doubles ----
// Writes x as decimal text of at most max characters plus a terminating zero (out holds
// max + 1 characters), from its 15 most significant digits. 1 when the text is plain decimal
// (digits beyond max characters are cut off, not rounded); 0 when the value needs an exponent
// form or "0" to fit, or max is below 6. A value that is not finite cannot be converted: the
// result is 0 and out is left unchanged.
int FormatDouble(double x, char16_t* out, int max);
int FormatDouble(double x, QString& out, int max);
// The same digits in plain decimal form of whatever length; empty for a value not finite.
void FormatDoubleFixed(double x, QString& out);

// The file status of a file that could not be made for writing, by the system's error number:
// 4 disk full, 8 write protected, 2 hardware fault, 9 any other.
int WriterOpenStatus(int error);

class CTextFileReader {
 public:
  CTextFileReader();
  ~CTextFileReader();
  CTextFileReader(const CTextFileReader&) = delete;
  CTextFileReader& operator=(const CTextFileReader&) = delete;

  void SetOemEncoding() { m_encoding = kEncodingOem; }
  void SetUtf8Encoding() { m_encoding = kEncodingUtf8; }

  // 1 when the file is open for reading; status 0 then. Sets g_fileLineNumber to 0 first.
  // Failures: 11 without a buffer, 3 when the file cannot be opened (5 is kept for a file
  // another program holds locked, which this platform does not report).
  int Open(const QString& path);
  void Close();

  // Empties line and returns 0 while the status is set; otherwise reads the next line and
  // returns 1. The caller tests g_fileStatus: 1 means the data had ended (no line).
  int ReadLine(QString& line);

  // One value per line. A text that is not a number of the type: status 12, the file is
  // closed. On any failure the value is 0 and the result 0.
  int ReadBool(int& v);  // only 0 or 1
  int ReadByte(std::uint8_t& v);
  int ReadShort(std::int16_t& v);  // -32767..32767
  int ReadUShort(std::uint16_t& v);
  int ReadInt(int& v);  // -2147483647..2147483647
  int ReadUnsigned(std::uint32_t& v);
  int ReadDouble(double& v);  // finite values only
  // As ReadUnsigned; the colour is also offered to the colour dialog's recent colours.
  int ReadColour(std::uint32_t& v);
  // Four lines: face name, size, bold, italic, each applied whatever the others gave.
  // 1 when the status is 0 afterwards.
  int ReadFont(CFontSpec& font);
  // The width percent; the font is unchanged when the read fails.
  int ReadFontWidth(CFontSpec& font);

 private:
  int Refill();
  int NextByte(std::uint8_t& byte);
  // ReadLine into a string that keeps its room from the last line.
  int ReadLineInto(QString& line);
  template <typename T, typename Parse>
  int ReadValue(T& v, Parse parse);

  int m_fd = -1;
  int m_closed = 1;
  std::unique_ptr<std::uint8_t[]> m_buffer;
  int m_position = 0;
  int m_fill = 0;
  int m_encoding = kEncodingWindows1252;
  QString m_valueLine;  // the line of the value being read
};

class CTextFileWriter final : public ITextOutput {
 public:
  CTextFileWriter();
  ~CTextFileWriter() override;
  CTextFileWriter(const CTextFileWriter&) = delete;
  CTextFileWriter& operator=(const CTextFileWriter&) = delete;

  void SetOemEncoding() { m_encoding = kEncodingOem; }
  void SetUtf8Encoding() { m_encoding = kEncodingUtf8; }

  // Creates the file (an existing one is truncated). 1 when open, status 0 then. Failures:
  // 11 without a buffer, 4 disk full, 8 write protected or access denied, 2 hardware fault,
  // 9 any other cause. made: the file is an empty one just made for this writer, which is
  // opened as it is (truncating it would make some file systems write it out at its close,
  // taking it for a file being replaced).
  int Open(const QString& path, bool made = false);
  // Writes what is buffered and closes the file (also while the status is set).
  void Close();
  // Writes the buffered bytes; 0 when the writer is closed. A failure sets status 4 (disk
  // full) or 10 and the writer counts as closed from then on.
  int Flush();

  // The text's characters up to a zero character, encoded.
  void WriteText(const QString& text);
  // The text, then CR LF.
  void WriteLine(const QString& text);
  // ITextOutput: "\n" in the text is written as CR LF.
  void WriteString(const QString& text) override;

  void WriteBool(int v);    // "1" for non-zero, else "0"
  void WriteByte(int v);    // the low 8 bits
  void WriteShort(int v);   // the low 16 bits, signed
  void WriteUShort(int v);  // the low 16 bits, unsigned
  void WriteInt(int v);
  void WriteUnsigned(std::uint32_t v);
  void WriteColour(std::uint32_t c);
  // FormatDouble(x, 21). A value that is not finite is not written: status 10.
  void WriteDouble(double x);
  // Four lines: face name ("Arial" when none), size, bold, italic.
  void WriteFont(const CFontSpec& font);

 private:
  int PutByte(std::uint8_t byte);
  int PutChar(char16_t c);

  int m_fd = -1;
  int m_closed = 1;
  std::unique_ptr<std::uint8_t[]> m_buffer;
  int m_fill = 0;
  int m_encoding = kEncodingWindows1252;
};

// Makes the constructors of both classes behave as if their buffer could not be allocated,
// so that the "no memory" path can be tested.
void SetTextFileBufferFailureForTests(bool fail);

// The colour dialog keeps the program-wide list of recent custom colours; it registers how a
// colour is added at start-up. Without one, a colour read from a file goes nowhere.
void SetRecentColourHandler(void (*handler)(std::uint32_t colour));
void AddRecentColour(std::uint32_t colour);

// ---- Helpers for 8-bit text (Windows-1252 bytes, as received from the internet) ----
// The bytes decoded with DecodeWindows1252Byte into a program-wide text that the next call
// overwrites.
const QString& AnsiToText(QByteArrayView bytes);
std::uint8_t ToUpperAnsi(std::uint8_t byte);  // 'a'..'z' to 'A'..'Z'
// Index of the first occurrence of pattern in text, ASCII letters compared without case;
// -1 when none, 0 for an empty pattern. Both texts end at a zero byte.
int FindAnsiNoCase(const char* text, const char* pattern);
int IsAnsiBlank(std::uint8_t byte);  // tab, LF, CR, space
// Advances the cursor (a zero-terminated text) over blanks; the number passed.
int SkipAnsiBlanks(const char*& cursor);
// A tab in the pattern stands for any number of blanks, a space for at least one; other
// characters must match (ASCII letters without case). 1 and the cursor past the match, or 0
// and the cursor unchanged.
int MatchAnsiPattern(const char*& cursor, const char* pattern);
// Optional sign and the digits that follow; 0 on overflow (nothing stored), else 1.
int ParseAnsiInt(const char*& cursor, int& v);
// A debugging hook that does nothing on this platform.
inline void DebugTrace(const QString&) {}

// Puts the recent-colour handler and the buffer-failure switch back as at program start.
void ResetTextFileState();
