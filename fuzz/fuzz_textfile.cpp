// Reads arbitrary bytes as a text file with every typed reader in each encoding; none may
// crash, hang or read out of bounds. Lines read in Windows-1252 or UTF-8 must also come back
// unchanged after being written and read again.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/filestatus.h"
#include "support/textfile.h"

namespace {

void SetEncoding(CTextFileReader& r, int encoding) {
  if (encoding == kEncodingOem) r.SetOemEncoding();
  if (encoding == kEncodingUtf8) r.SetUtf8Encoding();
}

void SetEncoding(CTextFileWriter& w, int encoding) {
  if (encoding == kEncodingOem) w.SetOemEncoding();
  if (encoding == kEncodingUtf8) w.SetUtf8Encoding();
}

// One read of the kind; every kind consumes a line or sets the status.
void ReadOne(CTextFileReader& r, int kind) {
  QString line;
  int flag = 0;
  std::uint8_t byte = 0;
  std::int16_t s = 0;
  std::uint16_t us = 0;
  int i = 0;
  std::uint32_t u = 0;
  double d = 0;
  switch (kind) {
    case 0:
      r.ReadLine(line);
      break;
    case 1:
      r.ReadBool(flag);
      break;
    case 2:
      r.ReadByte(byte);
      break;
    case 3:
      r.ReadShort(s);
      break;
    case 4:
      r.ReadUShort(us);
      break;
    case 5:
      r.ReadInt(i);
      break;
    case 6:
      r.ReadUnsigned(u);
      break;
    case 7:
      r.ReadDouble(d);
      break;
    default:
      r.ReadColour(u);
      break;
  }
}

QStringList ReadLines(const QString& path, int encoding, std::size_t limit) {
  QStringList lines;
  CTextFileReader r;
  SetEncoding(r, encoding);
  g_fileStatus = 0;
  if (r.Open(path) == 0) return lines;
  for (std::size_t n = 0; n <= limit && g_fileStatus == 0; ++n) {
    QString line;
    r.ReadLine(line);
    if (g_fileStatus == 0) lines << line;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString path = dir.filePath(QStringLiteral("input.txt"));
  const QString copy = dir.filePath(QStringLiteral("copy.txt"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  for (int encoding = kEncodingOem; encoding <= kEncodingUtf8; ++encoding) {
    for (int kind = 0; kind <= 8; ++kind) {
      CTextFileReader r;
      SetEncoding(r, encoding);
      g_fileStatus = 0;
      if (r.Open(path) == 0) continue;
      // Each read takes at least one byte or sets the status.
      for (std::size_t n = 0; n <= size + 1 && g_fileStatus == 0; ++n) ReadOne(r, kind);
      if (g_fileStatus == 0) __builtin_trap();
    }
    if (encoding == kEncodingOem) continue;  // bytes outside its table do not survive writing
    const QStringList lines = ReadLines(path, encoding, size + 1);
    {
      CTextFileWriter w;
      SetEncoding(w, encoding);
      g_fileStatus = 0;
      if (w.Open(copy) == 0) continue;
      for (const QString& line : lines) w.WriteLine(line);
    }
    if (g_fileStatus != 0) continue;
    if (ReadLines(copy, encoding, size + 1) != lines) __builtin_trap();
  }
  ResetFileStatus();
  return 0;
}
