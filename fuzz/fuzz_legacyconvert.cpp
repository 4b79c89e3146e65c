// Reads arbitrary bytes as the legacy segment records of a "Zephorin3" drawing (the first two
// bytes say how many, as for fuzz_legacysegments) and lets the reader run the conversion of
// old hatches into hatched fills as the program does: no record may crash or hang it, report
// an impossible state, or leave an item the drawing cannot hold; the converted drawing is
// written and reads back whole.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "document/document.h"
#include "document/drawingfile.h"
#include "fuzzcommon.h"
#include "items/drawitem.h"
#include "platform/presenter.h"

namespace {

class CSilentPresenter final : public zeph::IPresenter {
 public:
  int ShowMessageBox(const QString&, const QString&, unsigned style) override {
    return zeph::FirstButtonOf(style);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSilentPresenter presenter;
  zeph::SetPresenter(&presenter);
  if (size < 2 || size > 1 << 18) return 0;
  const int count = data[0] | (data[1] << 8);
  QByteArray file = "Zephorin3\r\n" + QByteArray::number(count) +
                    "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n-1\r\n";
  file += fuzz::Bytes(data + 2, size - 2);
  const QString path = fuzz::Home() + QStringLiteral("/tmp/legacy.zpd");
  if (!fuzz::WriteInput(path, reinterpret_cast<const std::uint8_t*>(file.constData()),
                        std::size_t(file.size()))) {
    return 0;
  }
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
  const QString output = fuzz::Home() + QStringLiteral("/tmp/converted.zpd");
  doc.WriteDrawingFile(output);
  fuzz::Check(g_fileStatus == kFileOk);
  CZephDoc again;
  fuzz::Check(again.ReadDrawingFile(output, kReadOpen) == 1);
  fuzz::Check(g_fileStatus == kFileOk);
  fuzz::Check(again.GetItemCount() <= doc.GetItemCount());
  ResetFileStatus();
  return 0;
}
