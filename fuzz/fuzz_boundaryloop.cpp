// Reads arbitrary bytes as a boundary loop record of a fill, then writes what was read and
// reads that back: the second reading must be complete and write the same bytes. A loop that
// was read whole is also measured and scanned with arrays of exactly the promised size, as
// the fill does when it paints.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzzcommon.h"
#include "items/boundaryloop.h"
#include "support/textfile.h"

namespace {

QByteArray WriteLoop(const CBoundaryLoop& loop, const QString& path) {
  {
    CTextFileWriter writer;
    fuzz::Check(writer.Open(path) == 1);
    loop.Write(writer);
  }
  fuzz::Check(g_fileStatus == kFileOk);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void Scan(const CBoundaryLoop& loop) {
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  loop.GetBoundingBox(minX, minY, maxX, maxY);
  const int room = loop.GetMaxCrossings();
  fuzz::Check(room >= 0);
  if (room < 2 || room > 100000) return;
  // Exactly the promised room, so that a crossing written past it is seen.
  std::vector<int> xs(static_cast<std::size_t>(room));
  std::vector<int> ys(static_cast<std::size_t>(room));
  for (int y : {minY, (minY / 2) + (maxY / 2), maxY}) {
    const int n = loop.GetScanCrossings(y, xs.data(), 1);
    fuzz::Check(n >= 0 && n <= room);
  }
  xs[0] = minX;
  ys[0] = minY;
  xs[1] = maxX;
  ys[1] = maxY;
  const int n = loop.IntersectSegment(xs.data(), ys.data());
  fuzz::Check(n >= 0 && n <= room);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  const QString input = fuzz::Home() + QStringLiteral("/tmp/loop.txt");
  const QString first = fuzz::Home() + QStringLiteral("/tmp/first.txt");
  const QString second = fuzz::Home() + QStringLiteral("/tmp/second.txt");
  if (!fuzz::WriteInput(input, data, size)) return 0;

  CBoundaryLoop loop;
  {
    CTextFileReader reader;
    if (reader.Open(input) == 0) return 0;
    const int whole = loop.Read(reader);
    fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
    fuzz::Check(whole == 0 || g_fileStatus == kFileOk);
    fuzz::Check(whole == 1 || g_fileStatus != kFileOk);
    if (whole == 1) Scan(loop);
  }
  ResetFileStatus();

  // What was read (whole or in part) survives writing and reading again unchanged.
  const QByteArray written = WriteLoop(loop, first);
  CBoundaryLoop again;
  {
    CTextFileReader reader;
    fuzz::Check(reader.Open(first) == 1);
    fuzz::Check(again.Read(reader) == 1);
    fuzz::Check(g_fileStatus == kFileOk);
  }
  fuzz::Check(again.GetCount() == loop.GetCount());
  fuzz::Check(WriteLoop(again, second) == written);
  ResetFileStatus();
  return 0;
}
