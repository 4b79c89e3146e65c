// Two halves, chosen by the first byte. Font records: the rest is a file read as a font (face,
// size, bold, italic) and its width; whatever was read is written and must read back equal.
// Typed values: the rest is a list of (kind, eight bytes) records; every value is written with
// the writer of its kind and read back with the reader of its kind, and must come back as the
// writer promised (a value outside the reader's range is an illegal value, nothing else).
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzzcommon.h"
#include "support/fontspec.h"
#include "support/textfile.h"

namespace {

void FontRecords(const std::uint8_t* data, std::size_t size) {
  const QString input = fuzz::Home() + QStringLiteral("/tmp/font.txt");
  const QString copy = fuzz::Home() + QStringLiteral("/tmp/copy.txt");
  if (!fuzz::WriteInput(input, data, size)) return;
  CFontSpec font;
  int whole = 0;
  {
    CTextFileReader reader;
    if (reader.Open(input) == 0) return;
    whole = reader.ReadFont(font);
    fuzz::Check(whole == (g_fileStatus == kFileOk ? 1 : 0));
    const std::int16_t width = font.GetWidthPercent();
    if (reader.ReadFontWidth(font) == 0) fuzz::Check(font.GetWidthPercent() == width);
    fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  }
  fuzz::Check(font.IsBold() == 0 || font.IsBold() == 1);
  fuzz::Check(font.IsItalic() == 0 || font.IsItalic() == 1);
  ResetFileStatus();
  if (whole == 0) return;
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(copy) == 1);
    writer.WriteFont(font);
    writer.WriteUShort(static_cast<std::uint16_t>(font.GetWidthPercent()));
  }
  fuzz::Check(g_fileStatus == kFileOk);
  CFontSpec again;
  {
    CTextFileReader reader;
    fuzz::Check(reader.Open(copy) == 1);
    fuzz::Check(reader.ReadFont(again) == 1);
    fuzz::Check(reader.ReadFontWidth(again) == 1);
  }
  fuzz::Check(again.GetFaceName() == font.GetFaceName());
  fuzz::Check(again.GetSize() == font.GetSize());
  fuzz::Check(again.GetWidthPercent() == font.GetWidthPercent());
  fuzz::Check(again.IsBold() == font.IsBold() && again.IsItalic() == font.IsItalic());
  ResetFileStatus();
}

struct Value {
  int kind;
  std::uint64_t bits;
};

void WriteValue(CTextFileWriter& w, const Value& v) {
  const auto i = static_cast<int>(static_cast<std::uint32_t>(v.bits));
  switch (v.kind) {
    case 0: return w.WriteBool(i);
    case 1: return w.WriteByte(i);
    case 2: return w.WriteShort(i);
    case 3: return w.WriteUShort(i);
    case 4: return w.WriteInt(i);
    case 5: return w.WriteUnsigned(static_cast<std::uint32_t>(i));
    case 6: return w.WriteColour(static_cast<std::uint32_t>(i));
    default: {
      double d = 0;
      std::memcpy(&d, &v.bits, sizeof d);
      return w.WriteDouble(std::isfinite(d) ? d : 0.0);
    }
  }
}

// Reads the value back and checks it against what was written.
void ReadBack(CTextFileReader& r, const Value& v) {
  const auto i = static_cast<int>(static_cast<std::uint32_t>(v.bits));
  switch (v.kind) {
    case 0: {
      int b = 7;
      fuzz::Check(r.ReadBool(b) == 1 && b == (i != 0 ? 1 : 0));
      return;
    }
    case 1: {
      std::uint8_t b = 0;
      fuzz::Check(r.ReadByte(b) == 1 && b == static_cast<std::uint8_t>(i));
      return;
    }
    case 2: {
      std::int16_t s = 0;
      const auto expected = static_cast<std::int16_t>(static_cast<std::uint16_t>(i));
      if (expected == -32768) {
        fuzz::Check(r.ReadShort(s) == 0 && g_fileStatus == kFileIllegalValue);
      } else {
        fuzz::Check(r.ReadShort(s) == 1 && s == expected);
      }
      return;
    }
    case 3: {
      std::uint16_t u = 0;
      fuzz::Check(r.ReadUShort(u) == 1 && u == static_cast<std::uint16_t>(i));
      return;
    }
    case 4: {
      int n = 0;
      if (i == -2147483647 - 1) {
        fuzz::Check(r.ReadInt(n) == 0 && g_fileStatus == kFileIllegalValue);
      } else {
        fuzz::Check(r.ReadInt(n) == 1 && n == i);
      }
      return;
    }
    case 5:
    case 6: {
      std::uint32_t u = 0;
      const int ok = v.kind == 5 ? r.ReadUnsigned(u) : r.ReadColour(u);
      fuzz::Check(ok == 1 && u == static_cast<std::uint32_t>(i));
      return;
    }
    default: {
      double d = 0;
      std::memcpy(&d, &v.bits, sizeof d);
      if (!std::isfinite(d)) d = 0.0;
      double read = 1.0;
      fuzz::Check(r.ReadDouble(read) == 1);
      // Fifteen significant digits, cut rather than rounded, in at most 21 characters: a
      // small value keeps only the digits down to its 18th decimal place.
      fuzz::Check(std::isfinite(read));
      fuzz::Check(std::fabs(read - d) <= std::fabs(d) * 2e-14 + 2e-18);
      return;
    }
  }
}

void TypedValues(const std::uint8_t* data, std::size_t size) {
  std::vector<Value> values;
  for (std::size_t at = 0; at + 9 <= size && values.size() < 512; at += 9) {
    Value v{data[at] % 8, 0};
    std::memcpy(&v.bits, data + at + 1, 8);
    values.push_back(v);
  }
  const QString path = fuzz::Home() + QStringLiteral("/tmp/values.txt");
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(path) == 1);
    for (const Value& v : values) WriteValue(writer, v);
  }
  fuzz::Check(g_fileStatus == kFileOk);
  CTextFileReader reader;
  fuzz::Check(reader.Open(path) == 1);
  for (const Value& v : values) {
    ReadBack(reader, v);
    if (g_fileStatus != kFileOk) break;  // an illegal value closes the file
  }
  ResetFileStatus();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 16384) return 0;
  if (data[0] & 1) {
    TypedValues(data + 1, size - 1);
  } else {
    FontRecords(data + 1, size - 1);
  }
  return 0;
}
