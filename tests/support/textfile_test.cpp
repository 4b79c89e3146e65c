#include "support/textfile.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <vector>

#include "support/filestatus.h"
#include "support/fontspec.h"

namespace {

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    ResetFileStatus();
    ResetTextFileState();
  }
  void TearDown() override {
    ResetFileStatus();
    ResetTextFileState();
  }

  QString PathOf(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

  QString WriteBytes(const QByteArray& bytes, const char* name = "in.txt") const {
    const QString path = PathOf(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

  // Every line the reader delivers until the status is set.
  static QStringList ReadAllLines(CTextFileReader& reader) {
    QStringList lines;
    QString line;
    for (int guard = 0; guard < 100000; ++guard) {
      reader.ReadLine(line);
      if (g_fileStatus != kFileOk) break;
      lines << line;
    }
    return lines;
  }

  QStringList LinesOf(const QByteArray& bytes, int encoding = kEncodingWindows1252) {
    CTextFileReader reader;
    if (encoding == kEncodingOem) reader.SetOemEncoding();
    if (encoding == kEncodingUtf8) reader.SetUtf8Encoding();
    EXPECT_EQ(reader.Open(WriteBytes(bytes)), 1);
    QStringList lines = ReadAllLines(reader);
    EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
    return lines;
  }

  // The bytes a writer in the encoding produces for the text line.
  QByteArray BytesOfLine(const QString& text, int encoding) {
    const QString path = PathOf("out.txt");
    {
      CTextFileWriter writer;
      if (encoding == kEncodingOem) writer.SetOemEncoding();
      if (encoding == kEncodingUtf8) writer.SetUtf8Encoding();
      EXPECT_EQ(writer.Open(path), 1);
      writer.WriteText(text);
    }
    EXPECT_EQ(g_fileStatus, kFileOk);
    return ReadBytes(path);
  }

  QTemporaryDir m_dir;
};

void SetEncoding(CTextFileReader& r, int encoding) {
  if (encoding == kEncodingOem) r.SetOemEncoding();
  if (encoding == kEncodingUtf8) r.SetUtf8Encoding();
}
void SetEncoding(CTextFileWriter& w, int encoding) {
  if (encoding == kEncodingOem) w.SetOemEncoding();
  if (encoding == kEncodingUtf8) w.SetUtf8Encoding();
}

// ---- Encodings ----

TEST(TextFileEncoding, OemTableHoldsItsCharactersBothWays) {
  const QString high = QString::fromUtf8("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥áíóúñÑ¿½¼¡«»ß€°²");
  ASSERT_EQ(high.size(), 46);
  auto inTable = [](int b) {
    return (b >= 0x80 && b <= 0x9D) || (b >= 0xA0 && b <= 0xA5) || b == 0xA8 ||
           (b >= 0xAB && b <= 0xAF) || b == 0xE1 || b == 0xEE || b == 0xF8 || b == 0xFC;
  };
  int known = 0;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char16_t c = DecodeOemByte(static_cast<std::uint8_t>(b));
    if (inTable(b)) {
      ++known;
      EXPECT_TRUE(high.contains(QChar(c))) << b;
      EXPECT_EQ(EncodeOemChar(c), b) << b;
    } else {
      EXPECT_EQ(c, b) << "bytes outside the table read as Latin-1";
    }
  }
  EXPECT_EQ(known, 46);
  EXPECT_EQ(DecodeOemByte(0xEE), 0x20AC);
  EXPECT_EQ(DecodeOemByte(0xB1), 0x00B1);
  EXPECT_EQ(EncodeOemChar(0x00B1), '?');  // ± is not in the table
  EXPECT_EQ(EncodeOemChar(0x2122), '?');
  EXPECT_EQ(EncodeOemChar(0x7F), 0x7F);
  EXPECT_EQ(EncodeOemChar(u'A'), 'A');
}

TEST(TextFileEncoding, Windows1252KeepsEveryByte) {
  for (int b = 1; b <= 0xFF; ++b) {
    EXPECT_EQ(EncodeWindows1252Char(DecodeWindows1252Byte(static_cast<std::uint8_t>(b))), b) << b;
  }
  EXPECT_EQ(DecodeWindows1252Byte(0x80), 0x20AC);
  EXPECT_EQ(DecodeWindows1252Byte(0x9F), 0x0178);
  EXPECT_EQ(DecodeWindows1252Byte(0x81), 0x0081);
  EXPECT_EQ(DecodeWindows1252Byte(0x9D), 0x009D);
  EXPECT_EQ(EncodeWindows1252Char(0x0080), '?');  // a control that the row does not hold
  EXPECT_EQ(EncodeWindows1252Char(0x0100), '?');
  EXPECT_EQ(EncodeWindows1252Char(0x20AC), 0x80);
}

TEST_F(TextFileTest, WrittenBytesPerEncoding) {
  const QString euro = QString(QChar(0x20AC));
  EXPECT_EQ(BytesOfLine(euro, kEncodingOem), QByteArray("\xEE"));
  EXPECT_EQ(BytesOfLine(euro, kEncodingWindows1252), QByteArray("\x80"));
  EXPECT_EQ(BytesOfLine(euro, kEncodingUtf8), QByteArray("\xE2\x82\xAC"));
  EXPECT_EQ(BytesOfLine(QString(QChar(0xB1)), kEncodingOem), QByteArray("?"));
  EXPECT_EQ(BytesOfLine(QString::fromUtf8("\xF0\x9F\x98\x80"), kEncodingUtf8),
            QByteArray("\xF0\x9F\x98\x80"));
  // Half of a pair alone cannot be written as UTF-8: the replacement character.
  EXPECT_EQ(BytesOfLine(QString(QChar(0xD83D)) + u'x', kEncodingUtf8), QByteArray("\xEF\xBF\xBDx"));
  // Text ends at a zero character.
  EXPECT_EQ(BytesOfLine(QStringLiteral("ab") + QChar(0) + u'c', kEncodingUtf8), QByteArray("ab"));
}

// ---- Round trips ----

struct TextCase {
  const char* utf8;
  const char* oem;   // what encoding 0 reads back
  const char* ansi;  // what encoding 1 reads back
};

const TextCase kTexts[] = {
    {"", "", ""},
    {"plain ASCII 123", "plain ASCII 123", "plain ASCII 123"},
    {"caf\xC3\xA9 \xC3\xA1 \xE2\x82\xAC 5\xC2\xB0", "caf\xC3\xA9 \xC3\xA1 \xE2\x82\xAC 5\xC2\xB0",
     "caf\xC3\xA9 \xC3\xA1 \xE2\x82\xAC 5\xC2\xB0"},
    {"\xC2\xB1 \xC3\x98 \xE2\x84\xA2", "? ? ?", "\xC2\xB1 \xC3\x98 \xE2\x84\xA2"},
    {"line\x7F"
     "break\x7F",
     "line\x7F"
     "break\x7F",
     "line\x7F"
     "break\x7F"},
    {"\xCE\xA9 \xF0\x9F\x98\x80 \xE4\xB8\xAD", "? ?? ?", "? ?? ?"},
};

TEST_F(TextFileTest, EveryTypedValueRoundTripsInEachEncoding) {
  const double doubles[] = {
      0.0,  1.0,     -2.5, 0.001, 1234567.125, 1e20, -123456.789012345, 3.14159265358979,
      1e21, -7.5e-10};
  for (int encoding : {kEncodingOem, kEncodingWindows1252, kEncodingUtf8}) {
    SCOPED_TRACE(encoding);
    const QString path = PathOf("values.txt");
    {
      CTextFileWriter w;
      SetEncoding(w, encoding);
      ASSERT_EQ(w.Open(path), 1);
      w.WriteBool(0);
      w.WriteBool(-5);
      for (int v : {0, 255}) w.WriteByte(v);
      for (int v : {-32767, 0, 32767}) w.WriteShort(v);
      for (int v : {0, 65535}) w.WriteUShort(v);
      for (int v : {-2147483647, 0, 2147483647}) w.WriteInt(v);
      for (std::uint32_t v : {0u, 4294967295u}) w.WriteUnsigned(v);
      w.WriteColour(0x00FF8040u);
      for (double x : doubles) w.WriteDouble(x);
      for (const TextCase& t : kTexts) w.WriteLine(QString::fromUtf8(t.utf8));
      w.Close();
    }
    ASSERT_EQ(g_fileStatus, kFileOk);

    CTextFileReader r;
    SetEncoding(r, encoding);
    ASSERT_EQ(r.Open(path), 1);
    int b = -1;
    EXPECT_EQ(r.ReadBool(b), 1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(r.ReadBool(b), 1);
    EXPECT_EQ(b, 1);
    for (int expected : {0, 255}) {
      std::uint8_t v = 1;
      EXPECT_EQ(r.ReadByte(v), 1);
      EXPECT_EQ(v, expected);
    }
    for (int expected : {-32767, 0, 32767}) {
      std::int16_t v = 1;
      EXPECT_EQ(r.ReadShort(v), 1);
      EXPECT_EQ(v, expected);
    }
    for (int expected : {0, 65535}) {
      std::uint16_t v = 1;
      EXPECT_EQ(r.ReadUShort(v), 1);
      EXPECT_EQ(v, expected);
    }
    for (int expected : {-2147483647, 0, 2147483647}) {
      int v = 1;
      EXPECT_EQ(r.ReadInt(v), 1);
      EXPECT_EQ(v, expected);
    }
    for (std::uint32_t expected : {0u, 4294967295u}) {
      std::uint32_t v = 1;
      EXPECT_EQ(r.ReadUnsigned(v), 1);
      EXPECT_EQ(v, expected);
    }
    std::uint32_t colour = 0;
    EXPECT_EQ(r.ReadColour(colour), 1);
    EXPECT_EQ(colour, 0x00FF8040u);
    for (double expected : doubles) {
      double v = 99;
      EXPECT_EQ(r.ReadDouble(v), 1) << expected;
      EXPECT_EQ(v, expected);
    }
    for (const TextCase& t : kTexts) {
      QString line;
      EXPECT_EQ(r.ReadLine(line), 1);
      const char* expected =
          encoding == kEncodingOem ? t.oem : (encoding == kEncodingUtf8 ? t.utf8 : t.ansi);
      EXPECT_EQ(line, QString::fromUtf8(expected));
    }
    EXPECT_EQ(g_fileStatus, kFileOk);
    QString line;
    r.ReadLine(line);
    EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
    EXPECT_EQ(g_fileLineNumber, 31);
    ResetFileStatus();
  }
}

TEST_F(TextFileTest, TypedWritersTakeTheLowBits) {
  const QString path = PathOf("bits.txt");
  {
    CTextFileWriter w;
    ASSERT_EQ(w.Open(path), 1);
    w.WriteShort(65535);
    w.WriteUShort(-1);
    w.WriteByte(300);
    w.WriteShort(-32768);
    w.WriteBool(7);
  }
  EXPECT_EQ(ReadBytes(path), QByteArray("-1\r\n65535\r\n44\r\n-32768\r\n1\r\n"));
}

TEST_F(TextFileTest, WriteStringEndsLinesWithCrLf) {
  const QString path = PathOf("out.txt");
  {
    CTextFileWriter w;
    ASSERT_EQ(w.Open(path), 1);
    ITextOutput& out = w;
    out.WriteString(QStringLiteral("12:00 1.1.2024\nnext"));
    out.WriteString(QStringLiteral(" part\n"));
  }
  EXPECT_EQ(ReadBytes(path), QByteArray("12:00 1.1.2024\r\nnext part\r\n"));
}

TEST_F(TextFileTest, EncodingMayChangeBetweenLines) {
  CTextFileReader r;
  r.SetOemEncoding();
  ASSERT_EQ(r.Open(WriteBytes("\x82t\xC3\xA9\r\n\xC3\xA9t\xC3\xA9\r\n")), 1);
  QString line;
  r.ReadLine(line);
  EXPECT_EQ(line, QString::fromUtf8("ét") + QChar(0xC3) + QChar(0xA9));
  r.SetUtf8Encoding();
  r.ReadLine(line);
  EXPECT_EQ(line, QString::fromUtf8("été"));
}

// ---- Line ends ----

struct LinesCase {
  const char* name;
  QByteArray bytes;
  QStringList lines;
};

TEST_F(TextFileTest, LineEnds) {
  const QString big(70000, u'x');
  const LinesCase cases[] = {
      {"blank line between CRs", QByteArray("a\r\r\nb\r\n"), {"a", "", "b"}},
      {"bare LF ends a line", QByteArray("a\nb\r\n"), {"a", "b"}},
      {"last line without a line end", QByteArray("one\r\ntwo"), {"one", "two"}},
      {"last line with CR only", QByteArray("one\r"), {"one"}},
      {"LF CR is two line ends", QByteArray("a\n\rb\r\n"), {"a", "", "b"}},
      {"empty file", QByteArray(), {}},
      {"only a line end", QByteArray("\r\n"), {""}},
      {"zero bytes are dropped", QByteArray("a\0b\r\n", 5), {"ab"}},
      {"long line", big.toLatin1() + "\r\nend", {big, "end"}},
      {"line of 1025", QByteArray(1025, 'y') + "\r\n", {QString(1025, u'y')}},
  };
  for (const LinesCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFileStatus();
    EXPECT_EQ(LinesOf(c.bytes), c.lines);
    EXPECT_EQ(g_fileLineNumber, c.lines.size());
  }
}

TEST_F(TextFileTest, LineEndAcrossTheBufferBoundary) {
  // CR as the last byte of the first block: the LF at the start of the next is skipped,
  // anything else stays in the next line.
  for (const char* next : {"\nz\r\n", "z\r\n"}) {
    SCOPED_TRACE(next);
    ResetFileStatus();
    QByteArray bytes(kTextFileBufferSize - 1, 'q');
    bytes += '\r';
    bytes += next;
    EXPECT_EQ(LinesOf(bytes), (QStringList{QString(kTextFileBufferSize - 1, u'q'), "z"}));
  }
}

TEST_F(TextFileTest, Utf8Reading) {
  const QString four = QString::fromUtf8("\xF0\x9F\x98\x80");
  ASSERT_EQ(four.size(), 2);
  const QChar bad(0xFFFD);
  const LinesCase cases[] = {
      {"well formed",
       QByteArray("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n"),
       {QString::fromUtf8("é€") + four}},
      {"stray continuation bytes are dropped",
       QByteArray("a\x80\xBF"
                  "b\r\nc\r\n"),
       {"ab", "c"}},
      {"a cut sequence still ends its line",
       QByteArray("a\xE2\x82\r\nb\r\n"),
       {QStringLiteral("a") + bad, "b"}},
      {"cut at the end of the data", QByteArray("a\xC3"), {QStringLiteral("a") + bad}},
      {"overlong form", QByteArray("\xC0\xAF\r\n"), {}},
  };
  for (const LinesCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFileStatus();
    const QStringList lines = LinesOf(c.bytes, kEncodingUtf8);
    if (c.lines.isEmpty()) {
      // Whatever the decoder gives, it is replacement characters on one line.
      ASSERT_EQ(lines.size(), 1);
      EXPECT_FALSE(lines[0].isEmpty());
      for (QChar ch : lines[0]) EXPECT_EQ(ch, bad);
    } else {
      EXPECT_EQ(lines, c.lines);
    }
  }
}

// ---- Malformed input ----

struct BadValueCase {
  const char* name;
  QByteArray bytes;
  int (*read)(CTextFileReader&);
  int status;
  int lineNumber;
};

int ReadTwoInts(CTextFileReader& r) {
  int v = 5;
  r.ReadInt(v);
  r.ReadInt(v);
  return v;
}
int ReadBoolValue(CTextFileReader& r) {
  int v = 5;
  r.ReadBool(v);
  return v;
}
int ReadShortValue(CTextFileReader& r) {
  std::int16_t v = 5;
  r.ReadShort(v);
  return v;
}
int ReadByteValue(CTextFileReader& r) {
  std::uint8_t v = 5;
  r.ReadByte(v);
  return v;
}
int ReadDoubleValue(CTextFileReader& r) {
  double v = 5;
  r.ReadDouble(v);
  return static_cast<int>(v);
}
int ReadUShortValue(CTextFileReader& r) {
  std::uint16_t v = 5;
  r.ReadUShort(v);
  return v;
}

TEST_F(TextFileTest, MalformedInputGivesItsOwnStatus) {
  const BadValueCase cases[] = {
      {"empty file", QByteArray(), &ReadBoolValue, kFileEndedTooSoon, 0},
      {"truncated file", QByteArray("12\r\n"), &ReadTwoInts, kFileEndedTooSoon, 1},
      {"text in a number line", QByteArray("12\r\nabc\r\n"), &ReadTwoInts, kFileIllegalValue, 2},
      {"empty number line", QByteArray("\r\n"), &ReadBoolValue, kFileIllegalValue, 1},
      {"bool of 2", QByteArray("2\r\n"), &ReadBoolValue, kFileIllegalValue, 1},
      {"short of -32768", QByteArray("-32768\r\n"), &ReadShortValue, kFileIllegalValue, 1},
      {"byte of 256", QByteArray("256\r\n"), &ReadByteValue, kFileIllegalValue, 1},
      {"ushort of -1", QByteArray("-1\r\n"), &ReadUShortValue, kFileIllegalValue, 1},
      {"int beyond its range", QByteArray("1\r\n2147483648\r\n"), &ReadTwoInts, kFileIllegalValue,
       2},
      {"double too large", QByteArray("1e999\r\n"), &ReadDoubleValue, kFileIllegalValue, 1},
      {"double NaN", QByteArray("nan\r\n"), &ReadDoubleValue, kFileIllegalValue, 1},
      {"double infinity", QByteArray("inf\r\n"), &ReadDoubleValue, kFileIllegalValue, 1},
      {"over-long number line", QByteArray(100000, '7') + "\r\n", &ReadShortValue,
       kFileIllegalValue, 1},
  };
  for (const BadValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFileStatus();
    CTextFileReader r;
    ASSERT_EQ(r.Open(WriteBytes(c.bytes)), 1);
    EXPECT_EQ(c.read(r), 0);  // the value is 0 after any failure
    EXPECT_EQ(g_fileStatus, c.status);
    EXPECT_EQ(g_fileLineNumber, c.lineNumber);
    // Every later operation returns at once and keeps the status.
    int v = 9;
    EXPECT_EQ(r.ReadInt(v), 0);
    EXPECT_EQ(v, 0);
    QString line = QStringLiteral("x");
    EXPECT_EQ(r.ReadLine(line), 0);
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(g_fileStatus, c.status);
  }
}

TEST_F(TextFileTest, ReadShortAcceptsItsWholeRange) {
  CTextFileReader r;
  ASSERT_EQ(r.Open(WriteBytes("-32767\r\n 12\r\n")), 1);
  std::int16_t v = 0;
  EXPECT_EQ(r.ReadShort(v), 1);
  EXPECT_EQ(v, -32767);
}

TEST_F(TextFileTest, IllegalValueClosesTheFile) {
  const QString path = WriteBytes("2\r\n1\r\n");
  CTextFileReader r;
  ASSERT_EQ(r.Open(path), 1);
  int v = 0;
  EXPECT_EQ(r.ReadBool(v), 0);
  ASSERT_EQ(g_fileStatus, kFileIllegalValue);
  g_fileStatus = 0;  // a caller clearing the status finds no further line
  QString line;
  r.ReadLine(line);
  EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
  // The same object opens again, and the status and line count start afresh.
  ASSERT_EQ(r.Open(path), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(g_fileLineNumber, 0);
  EXPECT_EQ(r.ReadLine(line), 1);
  EXPECT_EQ(line, QStringLiteral("2"));
}

void RememberColour(std::uint32_t colour);
std::vector<std::uint32_t> g_colours;
void RememberColour(std::uint32_t colour) { g_colours.push_back(colour); }

TEST_F(TextFileTest, ColoursReadAreOfferedToTheRecentColours) {
  g_colours.clear();
  SetRecentColourHandler(&RememberColour);
  CTextFileReader r;
  ASSERT_EQ(r.Open(WriteBytes("255\r\nred\r\n")), 1);
  std::uint32_t c = 7;
  EXPECT_EQ(r.ReadColour(c), 1);
  EXPECT_EQ(r.ReadColour(c), 0);
  EXPECT_EQ(g_colours, (std::vector<std::uint32_t>{255u, 0u}));
}

TEST_F(TextFileTest, FontsRoundTripAndFailLineByLine) {
  const QString path = PathOf("font.txt");
  {
    CTextFileWriter w;
    ASSERT_EQ(w.Open(path), 1);
    CFontSpec font;  // no face name: written as "Arial"
    font.SetSize(12);
    font.SetItalic(true);
    w.WriteFont(font);
    font.Set(QString::fromUtf8("Times New Roman"), -14, true, false);
    w.WriteFont(font);
    w.WriteUShort(85);
  }
  EXPECT_EQ(ReadBytes(path),
            QByteArray("Arial\r\n12\r\n0\r\n1\r\nTimes New Roman\r\n-14\r\n1\r\n0\r\n85\r\n"));
  CTextFileReader r;
  ASSERT_EQ(r.Open(path), 1);
  CFontSpec a;
  CFontSpec b;
  EXPECT_EQ(r.ReadFont(a), 1);
  EXPECT_EQ(r.ReadFont(b), 1);
  EXPECT_EQ(r.ReadFontWidth(b), 1);
  EXPECT_EQ(a.GetFaceName(), QStringLiteral("Arial"));
  EXPECT_EQ(a.GetSize(), 12);
  EXPECT_FALSE(a.IsBold());
  EXPECT_TRUE(a.IsItalic());
  EXPECT_EQ(b.GetFaceName(), QStringLiteral("Times New Roman"));
  EXPECT_EQ(b.GetSize(), -14);
  EXPECT_TRUE(b.IsBold());
  EXPECT_EQ(b.GetWidthPercent(), 85);
  // The data ends: the width stays, and a font read past the end gets empty values.
  EXPECT_EQ(r.ReadFontWidth(b), 0);
  EXPECT_EQ(b.GetWidthPercent(), 85);
  EXPECT_EQ(r.ReadFont(b), 0);
  EXPECT_TRUE(b.GetFaceName().isEmpty());
  EXPECT_EQ(b.GetSize(), 0);
  EXPECT_FALSE(b.IsBold());

  ResetFileStatus();
  ASSERT_EQ(r.Open(WriteBytes("Courier New\r\nbig\r\n1\r\n")), 1);
  EXPECT_EQ(r.ReadFont(a), 0);
  EXPECT_EQ(g_fileStatus, kFileIllegalValue);
  EXPECT_EQ(g_fileLineNumber, 2);
  EXPECT_EQ(a.GetFaceName(), QStringLiteral("Courier New"));
  EXPECT_EQ(a.GetSize(), 0);
}

// ---- Open failures and write failures ----

TEST_F(TextFileTest, ReaderOpenFailures) {
  CTextFileReader r;
  EXPECT_EQ(r.Open(PathOf("missing.txt")), 0);
  EXPECT_EQ(g_fileStatus, kFileNotFound);
  EXPECT_EQ(r.Open(m_dir.path()), 0);  // a folder
  EXPECT_EQ(g_fileStatus, kFileNotFound);
  EXPECT_EQ(r.Open(QString()), 0);
  EXPECT_EQ(g_fileStatus, kFileNotFound);
  QString line = QStringLiteral("x");
  EXPECT_EQ(r.ReadLine(line), 0);
  EXPECT_TRUE(line.isEmpty());
}

TEST_F(TextFileTest, WriterOpenFailures) {
  const QString file = WriteBytes("x", "plain");
  struct {
    QString path;
    int status;
  } const cases[] = {
      {file + "/under.txt", kFileCannotCreate},  // a path under a regular file
      {m_dir.path(), kFileCannotCreate},         // a folder
      {PathOf("no/such/folder.txt"), kFileCannotCreate},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    g_fileStatus = 0;
    CTextFileWriter w;
    EXPECT_EQ(w.Open(c.path), 0);
    EXPECT_EQ(g_fileStatus, c.status);
    g_fileStatus = 0;
    w.WriteLine(QStringLiteral("nothing"));
    w.Close();
    EXPECT_EQ(g_fileStatus, kFileOk);  // a writer that never opened writes nothing, fails nothing
  }
}

TEST_F(TextFileTest, FullDiskFailsTheSave) {
  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  {
    // A short file: the failure shows when the buffer is written at Close.
    CTextFileWriter w;
    ASSERT_EQ(w.Open(QStringLiteral("/dev/full")), 1);
    w.WriteLine(QStringLiteral("abc"));
    EXPECT_EQ(g_fileStatus, kFileOk);
    w.Close();
    EXPECT_EQ(g_fileStatus, kFileDiskFull);
  }
  {
    // A long one: the writing stops at the first full buffer and nothing more happens.
    g_fileStatus = 0;
    CTextFileWriter w;
    ASSERT_EQ(w.Open(QStringLiteral("/dev/full")), 1);
    const QString line(1000, u'z');
    for (int i = 0; i < 100; ++i) w.WriteLine(line);
    EXPECT_EQ(g_fileStatus, kFileDiskFull);
    EXPECT_EQ(w.Flush(), 0);  // counts as closed
    w.Close();
    EXPECT_EQ(g_fileStatus, kFileDiskFull);
  }
}

TEST_F(TextFileTest, ValuesWithoutDigitsFailTheWrite) {
  for (double x :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity()}) {
    ResetFileStatus();
    const QString path = PathOf("nan.txt");
    {
      CTextFileWriter w;
      ASSERT_EQ(w.Open(path), 1);
      w.WriteLine(QStringLiteral("before"));
      w.WriteDouble(x);
      EXPECT_EQ(g_fileStatus, kFileCannotSave);
      w.WriteLine(QStringLiteral("after"));  // skipped while the status is set
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("before\r\n"));
    EXPECT_EQ(g_fileStatus, kFileCannotSave);
  }
}

TEST_F(TextFileTest, StatusSetElsewhereStopsAllWork) {
  const QString path = PathOf("gated.txt");
  CTextFileWriter w;
  ASSERT_EQ(w.Open(path), 1);
  w.WriteLine(QStringLiteral("kept"));
  g_fileStatus = kFileBackupReadOnly;  // another file failed meanwhile
  w.WriteLine(QStringLiteral("dropped"));
  w.WriteInt(5);
  w.WriteDouble(1.5);
  w.Close();  // still writes what was buffered
  EXPECT_EQ(ReadBytes(path), QByteArray("kept\r\n"));
  EXPECT_EQ(g_fileStatus, kFileBackupReadOnly);

  CTextFileReader r;
  ASSERT_EQ(r.Open(path), 1);  // a successful Open clears it
  EXPECT_EQ(g_fileStatus, kFileOk);
}

TEST_F(TextFileTest, NoBufferMeansNoMemory) {
  SetTextFileBufferFailureForTests(true);
  CTextFileReader r;
  CTextFileWriter w;
  SetTextFileBufferFailureForTests(false);
  EXPECT_EQ(r.Open(WriteBytes("1\r\n")), 0);
  EXPECT_EQ(g_fileStatus, kFileNoMemory);
  g_fileStatus = 0;
  EXPECT_EQ(w.Open(PathOf("w.txt")), 0);
  EXPECT_EQ(g_fileStatus, kFileNoMemory);
  g_fileStatus = 0;
  w.WriteLine(QStringLiteral("x"));
  QString line;
  r.ReadLine(line);
  EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
}

TEST_F(TextFileTest, LargeFilesCrossManyBuffers) {
  const QString path = PathOf("big.txt");
  const int count = 30000;
  {
    CTextFileWriter w;
    w.SetUtf8Encoding();
    ASSERT_EQ(w.Open(path), 1);
    for (int i = 0; i < count; ++i) {
      w.WriteInt(i);
      w.WriteLine(QString::fromUtf8("\xE2\x82\xAC\xC3\xA9"));
    }
  }
  ASSERT_EQ(g_fileStatus, kFileOk);
  CTextFileReader r;
  r.SetUtf8Encoding();
  ASSERT_EQ(r.Open(path), 1);
  for (int i = 0; i < count; ++i) {
    int v = -1;
    QString line;
    ASSERT_EQ(r.ReadInt(v), 1);
    ASSERT_EQ(v, i);
    r.ReadLine(line);
    ASSERT_EQ(line, QString::fromUtf8("\xE2\x82\xAC\xC3\xA9"));
  }
  EXPECT_EQ(g_fileLineNumber, 2 * count);
}

// ---- Number text ----

struct FormatCase {
  double x;
  int max;
  const char16_t* text;
  int result;
};

TEST(FormatDoubleTest, Examples) {
  const FormatCase cases[] = {
      {0.0, 21, u"0", 1},
      {-0.0, 21, u"0", 1},
      {1.0, 21, u"1", 1},
      {-2.5, 21, u"-2.5", 1},
      {0.001, 21, u"0.001", 1},
      {1234567.125, 21, u"1234567.125", 1},
      {1e20, 21, u"100000000000000000000", 1},
      {1e21, 21, u"1e21", 0},
      {-1.25e30, 21, u"-1.25e30", 0},
      {1e-25, 21, u"0", 0},
      {123456.789, 8, u"123456.7", 1},
      {1234567.5, 8, u"1234567", 1},  // one place left: no point
      {0.00001234, 21, u"0.00001234", 1},
      {1.0 / 3.0, 21, u"0.333333333333333", 1},
      {2.0 / 3.0, 8, u"0.666666", 1},
      {-1234.5, 6, u"-1234", 1},
      {5.0, 5, u"", 0},
      {1.2345678901234567e-7, 21, u"0.0000001234567890123", 1},
      // Rounded up, the digits of the largest doubles would name no double at all.
      {std::numeric_limits<double>::max(), 21, u"1.79769313486231e308", 0},
      {-1.7976931348623155e308, 21, u"-1.79769313486231e308", 0},
      {1.797693134862314e308, 21, u"1.79769313486231e308", 0},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.x);
    char16_t out[40];
    for (char16_t& ch : out) ch = u'#';
    EXPECT_EQ(FormatDouble(c.x, out, c.max), c.result);
    EXPECT_EQ(QString::fromUtf16(out), QString::fromUtf16(c.text));
    QString s = QStringLiteral("old");
    EXPECT_EQ(FormatDouble(c.x, s, c.max), c.result);
    EXPECT_EQ(s, QString::fromUtf16(c.text));
  }
}

TEST_F(TextFileTest, TheLargestValuesReadBackAsWritten) {
  const double largest = std::numeric_limits<double>::max();
  const QString path = PathOf("large.txt");
  {
    CTextFileWriter w;
    ASSERT_EQ(w.Open(path), 1);
    w.WriteDouble(largest);
    w.WriteDouble(-largest);
  }
  ASSERT_EQ(g_fileStatus, kFileOk);
  CTextFileReader r;
  ASSERT_EQ(r.Open(path), 1);
  double a = 0, b = 0;
  EXPECT_EQ(r.ReadDouble(a), 1);
  EXPECT_EQ(r.ReadDouble(b), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  EXPECT_NEAR(a / largest, 1.0, 1e-14);
  EXPECT_NEAR(b / largest, -1.0, 1e-14);
}

TEST_F(TextFileTest, ValuesTooSmallForPlainDecimalsAreWrittenWithAnExponent) {
  const struct {
    double x;
    const char* line;
  } cases[] = {
      {1.3e-52, "1.3e-52"},
      {-2.5e-300, "-2.5e-300"},
      {1.2345678901234567e-20, "1.23456789012346e-20"},
      {-4.9406564584124654e-324, "-4.9406564584124e-324"},  // cut to 21 characters
      {1e-19, "0.0000000000000000001"},  // still fits as plain decimals
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const QString path = PathOf("small.txt");
    {
      CTextFileWriter w;
      ASSERT_EQ(w.Open(path), 1);
      w.WriteDouble(c.x);
    }
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(ReadBytes(path), QByteArray(c.line) + "\r\n");
    CTextFileReader r;
    ASSERT_EQ(r.Open(path), 1);
    double back = 0;
    EXPECT_EQ(r.ReadDouble(back), 1);
    EXPECT_NE(back, 0.0);
    EXPECT_NEAR(back / c.x, 1.0, 1e-10);
  }
}

TEST(FormatDoubleTest, NonFiniteValuesAreNeverFormatted) {
  for (double x :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    char16_t out[4] = {u'a', 0, 0, 0};
    EXPECT_EQ(FormatDouble(x, out, 3), 0);
    EXPECT_EQ(out[0], u'a');
    QString s = QStringLiteral("old");
    EXPECT_EQ(FormatDouble(x, s, 21), 0);
    EXPECT_EQ(s, QStringLiteral("old"));
    FormatDoubleFixed(x, s);
    EXPECT_TRUE(s.isEmpty());
  }
  // Zero in a buffer without room for it stays inside the buffer.
  char16_t one[1] = {u'a'};
  EXPECT_EQ(FormatDouble(0.0, one, 0), 0);
  EXPECT_EQ(one[0], 0);
}

TEST(FormatDoubleTest, FixedNeverUsesAnExponent) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {0.0, "0"},         {1e21, "1000000000000000000000"},       {-1.5e-7, "-0.00000015"},
      {123.25, "123.25"}, {1e-25, "0.0000000000000000000000001"},
  };
  for (const auto& c : cases) {
    QString s;
    FormatDoubleFixed(c.x, s);
    EXPECT_EQ(s, QString::fromLatin1(c.text));
  }
}

// ---- 8-bit text helpers ----

TEST(AnsiTextTest, ParseAnsiInt) {
  const struct {
    const char* text;
    int result;
    int value;  // when the result is 1
    int consumed;
  } cases[] = {
      {"2147483648", 0, 0, 10},
      {"-2147483647", 1, -2147483647, 11},
      {"+", 1, 0, 1},
      {"", 1, 0, 0},
      {"42abc", 1, 42, 2},
      {"-0", 1, 0, 2},
      {"99999999999x", 0, 0, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const char* cursor = c.text;
    int v = 77;
    EXPECT_EQ(ParseAnsiInt(cursor, v), c.result);
    EXPECT_EQ(v, c.result == 1 ? c.value : 77);
    EXPECT_EQ(cursor - c.text, c.consumed);
  }
}

TEST(AnsiTextTest, MatchPatternAndFind) {
  const struct {
    const char* pattern;
    const char* text;
    int consumed;  // -1: no match
  } cases[] = {
      {"Body\t>", "body >x", 6}, {"Body\t>", "BODY>", 5}, {"a b", "a  b", 4},
      {"a b", "ab", -1},         {"abc", "ab", -1},       {"\t", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    const char* cursor = c.text;
    EXPECT_EQ(MatchAnsiPattern(cursor, c.pattern), c.consumed >= 0 ? 1 : 0);
    EXPECT_EQ(cursor - c.text, c.consumed >= 0 ? c.consumed : 0);
  }
  EXPECT_EQ(FindAnsiNoCase("Content-Length: 5", "LENGTH"), 8);
  EXPECT_EQ(FindAnsiNoCase("abc", ""), 0);
  EXPECT_EQ(FindAnsiNoCase("abc", "abcd"), -1);
  EXPECT_EQ(FindAnsiNoCase("aab", "ab"), 1);
  const char* blanks = " \t\r\nx";
  EXPECT_EQ(SkipAnsiBlanks(blanks), 4);
  EXPECT_EQ(*blanks, 'x');
  EXPECT_EQ(ToUpperAnsi(0xE9), 0xE9);
  EXPECT_EQ(AnsiToText(QByteArrayView("a\x80\xE9")), QString::fromUtf8("a€é"));
}

}  // namespace
