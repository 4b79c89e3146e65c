// Reads arbitrary bytes as the legacy segment records of a "Zephorin3" drawing (the header says
// how many, from the first bytes): every record kept must be one the conversion can take, the
// rest are counted as ignored, and reading stops at the first damaged line.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "document/document.h"
#include "document/drawingfile.h"
#include "fuzzdrawing.h"
#include "items/geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::CSilentPresenter presenter;
  zeph::SetPresenter(&presenter);
  const QString path = fuzz::Home() + QStringLiteral("/tmp/legacy.zpd");
  int count = 0;
  if (!fuzz::WriteLegacyDrawing(path, data, size, count)) return 0;
  static int s_seen = 0;
  SetLegacyConversionHook([](CZephDoc& doc) { s_seen = int(doc.GetLegacySegments().size()); });
  s_seen = -1;
  ResetFileStatus();
  CZephDoc doc;
  fuzz::Check(doc.ReadDrawingFile(path, kReadOpen) == 1);
  fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  const auto& segments = doc.GetLegacySegments();
  fuzz::Check(int(segments.size()) <= count);
  for (const CLegacySegment& segment : segments) {
    fuzz::Check(segment.IsValid() != 0);
    fuzz::Check(segment.GetState() >= 0 && segment.GetState() <= 4);
    int x = 0, y = 0;
    segment.GetEndPoint(1, x, y);
    fuzz::Check(IsValidX(x) != 0 && IsValidY(y) != 0);
    fuzz::Check(segment.GetColour() >= 33554432);
  }
  // The conversion runs only after a whole read, and then sees every record kept.
  if (g_fileStatus == kFileOk && !segments.empty()) fuzz::Check(s_seen == int(segments.size()));
  if (g_fileStatus != kFileOk) fuzz::Check(s_seen == -1);
  fuzz::Check(doc.GetItemCount() == 0);
  ResetFileStatus();
  return 0;
}
