// The PDF file writer: numbers, the file's structure, and what a dropped job leaves.
#include "platform/pdfwriter.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <string>

namespace zeph {
namespace {

TEST(PdfWriter, NumbersHaveAtMostTwoDecimals) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{0, "0"}, Case{3, "3"}, Case{1.5, "1.5"}, Case{-2.25, "-2.25"},
                        Case{1234.05, "1234.05"}, Case{0.1, "0.1"}, Case{2.999, "3"},
                        Case{0.004, "0"}, Case{-0.004, "0"}, Case{-0.006, "-0.01"},
                        Case{std::numeric_limits<double>::quiet_NaN(), "0"},
                        Case{std::numeric_limits<double>::infinity(), "0"}}) {
    std::string out;
    CPdfWriter::AppendNumber(out, c.value);
    EXPECT_EQ(out, c.text) << c.value;
  }
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every cross-reference entry points at its object, and startxref at the table.
void ExpectConsistentCrossReferences(const QByteArray& pdf) {
  const qsizetype startxref = pdf.lastIndexOf("startxref\n");
  ASSERT_GE(startxref, 0);
  const qsizetype table = pdf.mid(startxref + 10).split('\n').value(0).toLongLong();
  ASSERT_TRUE(pdf.mid(table).startsWith("xref\n0 "));
  const QList<QByteArray> lines = pdf.mid(table).split('\n');
  const int count = lines.value(1).split(' ').value(1).toInt();
  ASSERT_GT(count, 3);
  for (int number = 1; number < count; ++number) {
    const QByteArray entry = lines.value(2 + number);
    ASSERT_EQ(entry.size(), 19) << entry.constData();  // with the line end, 20 bytes
    const qsizetype offset = entry.left(10).toLongLong();
    EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(number) + " 0 obj\n")) << number;
  }
  EXPECT_TRUE(pdf.contains("/Size " + QByteArray::number(count) + " "));
}

TEST(PdfWriter, WritesPagesWithConsistentCrossReferences) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("two pages.pdf"));
  CPdfWriter writer;
  ASSERT_TRUE(writer.Open(path, QStringLiteral("Pl\u00e4ne (1)")));
  writer.BeginPage(595.28, 841.89);
  writer.Content() = "0 0 m 100 100 l S\n";
  // A page large enough to be packed in pieces.
  writer.BeginPage(841.89, 595.28);
  for (int i = 0; i < 200000; ++i) writer.Content() += std::to_string(i) + " 0 m 5 5 l S\n";
  ASSERT_TRUE(writer.Finish());
  EXPECT_FALSE(writer.IsOpen());
  const QByteArray pdf = ReadAll(path);
  ASSERT_TRUE(pdf.startsWith("%PDF-1.4\n"));
  EXPECT_TRUE(pdf.endsWith("%%EOF\n"));
  ExpectConsistentCrossReferences(pdf);
  EXPECT_TRUE(pdf.contains("/Count 2 "));
  EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595.28 841.89]"));
  EXPECT_TRUE(pdf.contains("/MediaBox [0 0 841.89 595.28]"));
  // A title that is not plain ASCII is written as UTF-16.
  EXPECT_TRUE(pdf.contains("/Title <FEFF0050006C00E4006E00650020002800310029>"));

  // The second page's pieces, unpacked and put together, give its content back whole.
  static const QRegularExpression contents(QStringLiteral(R"(/Contents \[ ([0-9 R]+)\])"));
  auto pages = contents.globalMatch(QString::fromLatin1(pdf));
  std::vector<QString> lists;
  while (pages.hasNext()) lists.push_back(pages.next().captured(1));
  ASSERT_EQ(lists.size(), 2u);
  QByteArray joined;
  int pieces = 0;
  for (const QString& reference : lists[1].split(QStringLiteral(" R"), Qt::SkipEmptyParts)) {
    const QString number = reference.trimmed().section(QLatin1Char(' '), 0, 0);
    if (number.isEmpty()) continue;
    const QByteArray object = number.toLatin1() + " 0 obj\n";
    const qsizetype at = pdf.indexOf("\n" + object) + 1;
    ASSERT_GT(at, 0);
    const qsizetype length = pdf.mid(at + object.size() + 11).split(' ').value(0).toLongLong();
    const qsizetype start = pdf.indexOf("stream\n", at) + 7;
    QByteArray packed("\x00\x10\x00\x00", 4);
    packed += pdf.mid(start, length);
    joined += qUncompress(packed);
    ++pieces;
  }
  EXPECT_GE(pieces, 1);
  std::string expected;
  for (int i = 0; i < 200000; ++i) expected += std::to_string(i) + " 0 m 5 5 l S\n";
  EXPECT_EQ(joined.toStdString(), expected);
}

TEST(PdfWriter, AnEmptyJobGivesOneBlankPage) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("empty.pdf"));
  CPdfWriter writer;
  ASSERT_TRUE(writer.Open(path, QString()));
  ASSERT_TRUE(writer.Finish());
  const QByteArray pdf = ReadAll(path);
  ExpectConsistentCrossReferences(pdf);
  EXPECT_TRUE(pdf.contains("/Count 1 "));
  // Its empty content is not a zero-length deflated stream, which readers reject.
  EXPECT_TRUE(pdf.contains("<< /Length 0 >>\nstream\n"));
}

TEST(PdfWriter, ADroppedOrFailedJobLeavesTheEarlierFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.pdf"));
  {
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
  }
  {
    CPdfWriter writer;
    ASSERT_TRUE(writer.Open(path, QString()));
    writer.BeginPage(100, 100);
    writer.Content() = "0 0 m 1 1 l S\n";
    writer.Abandon();
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Finish());
  }
  EXPECT_EQ(ReadAll(path), QByteArray("earlier"));
  {
    CPdfWriter writer;  // dropped by going out of scope
    ASSERT_TRUE(writer.Open(path, QString()));
    writer.BeginPage(100, 100);
  }
  EXPECT_EQ(ReadAll(path), QByteArray("earlier"));
  // A folder that does not exist cannot take the file.
  CPdfWriter writer;
  EXPECT_FALSE(writer.Open(dir.filePath(QStringLiteral("missing/file.pdf")), QString()));
  EXPECT_FALSE(writer.IsOpen());
}

}  // namespace
}  // namespace zeph
