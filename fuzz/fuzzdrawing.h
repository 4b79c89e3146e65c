#pragma once
// What the fuzz targets of drawing files share: a presenter that answers every box, the
// drawing file that holds arbitrary old hatch segment records, and the check that what was
// read is written and reads back whole.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "document/document.h"
#include "document/drawingfile.h"
#include "fuzzcommon.h"
#include "platform/presenter.h"

namespace fuzz {

// Answers every box with its first button and keeps nothing.
class CSilentPresenter final : public zeph::IPresenter {
 public:
  int ShowMessageBox(const QString&, const QString&, unsigned style) override {
    return zeph::FirstButtonOf(style);
  }
};

// A "Zephorin3" drawing that holds only old hatch segments: the first two bytes say how many,
// the rest are the records. Written to path; false when the input is too short or too long or
// the file cannot be written.
inline bool WriteLegacyDrawing(const QString& path, const std::uint8_t* data, std::size_t size,
                               int& count) {
  if (size < 2 || size > 1 << 18) return false;
  count = data[0] | (data[1] << 8);
  QByteArray file = "Zephorin3\r\n" + QByteArray::number(count) +
                    "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n-1\r\n";
  file += Bytes(data + 2, size - 2);
  return WriteInput(path, reinterpret_cast<const std::uint8_t*>(file.constData()),
                    std::size_t(file.size()));
}

// What doc holds is written to path and reads back whole, with no more items.
inline void CheckWrittenAndReadBack(CZephDoc& doc, const QString& path) {
  ResetFileStatus();
  doc.WriteDrawingFile(path);
  Check(g_fileStatus == kFileOk);
  CZephDoc again;
  Check(again.ReadDrawingFile(path, kReadOpen) == 1);
  Check(g_fileStatus == kFileOk);
  Check(again.GetItemCount() <= doc.GetItemCount());
}

}  // namespace fuzz
