// Reads arbitrary bytes as the hatch pattern record of a fill (the family count, the number,
// then each family's typed lines), and as one bare family record. Every family kept must be
// drawable; what was read is saved and must read back whole, and save again unchanged.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <type_traits>

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

// Saves the record and reads it back: the reading must be whole. The first save may cut the
// digits of a value read from outside (21 characters at most), so it is the record read back
// from that save that must then save to the same bytes again.
template <typename Record>
void RoundTrip(const Record& record) {
  const QString first = fuzz::Home() + QStringLiteral("/tmp/first.txt");
  const QString second = fuzz::Home() + QStringLiteral("/tmp/second.txt");
  WriteRecord(record, first);
  Record once;
  {
    CTextFileReader reader;
    fuzz::Check(reader.Open(first) == 1);
    fuzz::Check(once.Read(reader) == 1);
    fuzz::Check(g_fileStatus == kFileOk);
  }
  const QByteArray saved = WriteRecord(once, second);
  Record twice;
  {
    CTextFileReader reader;
    fuzz::Check(reader.Open(second) == 1);
    fuzz::Check(twice.Read(reader) == 1);
    fuzz::Check(g_fileStatus == kFileOk);
  }
  fuzz::Check(WriteRecord(twice, first) == saved);
  if constexpr (std::is_same_v<Record, CHatchPattern>) {
    fuzz::Check(once.GetLineCount() == record.GetLineCount());
    fuzz::Check(once.GetNumber() == record.GetNumber());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  const QString input = fuzz::Home() + QStringLiteral("/tmp/hatch.txt");
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
  RoundTrip(pattern);
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
  RoundTrip(line);
  ResetFileStatus();
  return 0;
}
