// Reads arbitrary bytes as the hatch pattern record of a fill (the family count, the number,
// then each family's typed lines), and as one bare family record. Every family kept must be
// drawable; what was read is written, read back and written again to the same bytes.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "items/hatch.h"
#include "support/textfile.h"

namespace {

template <typename Record>
QByteArray WriteRecord(const Record& record, const QString& path) {
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(path) == 1);
    record.Write(writer);
  }
  fuzz::Check(g_fileStatus == kFileOk);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void CheckPattern(const CHatchPattern& pattern) {
  fuzz::Check(pattern.GetLineCount() >= 0 && pattern.GetLineCount() <= kHatchLineLimit);
  for (int i = 0; i < pattern.GetLineCount(); ++i) fuzz::Check(pattern.GetLine(i)->IsValid() == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  const QString input = fuzz::Home() + QStringLiteral("/tmp/hatch.txt");
  const QString first = fuzz::Home() + QStringLiteral("/tmp/first.txt");
  const QString second = fuzz::Home() + QStringLiteral("/tmp/second.txt");
  if (!fuzz::WriteInput(input, data, size)) return 0;

  CHatchPattern pattern;
  {
    CTextFileReader reader;
    if (reader.Open(input) == 0) return 0;
    pattern.Read(reader);
    fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  }
  CheckPattern(pattern);
  ResetFileStatus();
  const QByteArray written = WriteRecord(pattern, first);
  {
    CHatchPattern again;
    CTextFileReader reader;
    fuzz::Check(reader.Open(first) == 1);
    fuzz::Check(again.Read(reader) == 1);
    fuzz::Check(g_fileStatus == kFileOk);
    fuzz::Check(again.GetLineCount() == pattern.GetLineCount());
    fuzz::Check(again.GetNumber() == pattern.GetNumber());
    fuzz::Check(WriteRecord(again, second) == written);
  }
  ResetFileStatus();

  // The same bytes as one family.
  CHatchLine line;
  {
    CTextFileReader reader;
    if (reader.Open(input) == 0) return 0;
    const int ok = line.Read(reader);
    fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
    fuzz::Check(ok == 0 || g_fileStatus == kFileOk);
    if (ok == 0) {
      ResetFileStatus();
      return 0;
    }
    fuzz::Check(line.IsValid() == 1);
  }
  const QByteArray family = WriteRecord(line, first);
  {
    CHatchLine again;
    CTextFileReader reader;
    fuzz::Check(reader.Open(first) == 1);
    fuzz::Check(again.Read(reader) == 1);
    fuzz::Check(WriteRecord(again, second) == family);
  }
  ResetFileStatus();
  return 0;
}
