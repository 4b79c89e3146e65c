// Reads arbitrary bytes as the legacy segment records of a "Zephorin3" drawing (the first two
// bytes say how many, as for fuzz_legacysegments) and lets the reader run the conversion of
// old hatches into hatched fills as the program does: no record may crash or hang it, report
// an impossible state, or leave an item the drawing cannot hold; the converted drawing is
// written and reads back whole.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "document/document.h"
#include "document/drawingfile.h"
#include "fuzzdrawing.h"
#include "items/drawitem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::CSilentPresenter presenter;
  zeph::SetPresenter(&presenter);
  const QString path = fuzz::Home() + QStringLiteral("/tmp/legacy.zpd");
  int count = 0;
  if (!fuzz::WriteLegacyDrawing(path, data, size, count)) return 0;
  ResetFileStatus();
  CZephDoc doc;
  const int glitches = g_glitchCount;
  fuzz::Check(doc.ReadDrawingFile(path, kReadOpen) == 1);
  fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  fuzz::Check(g_glitchCount == glitches);
  // Every hatch became a fill or stayed as lines; the temporary lines are gone.
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    fuzz::Check(item != nullptr && item->IsValid() != 0);
    fuzz::Check(item->GetType() == kItemFill || item->GetType() == kItemLine);
    fuzz::Check(item->GetObjectNumber() >= 1);
  }
  if (g_fileStatus != kFileOk) {
    ResetFileStatus();
    return 0;
  }
  fuzz::CheckWrittenAndReadBack(doc, fuzz::Home() + QStringLiteral("/tmp/converted.zpd"));
  ResetFileStatus();
  return 0;
}
