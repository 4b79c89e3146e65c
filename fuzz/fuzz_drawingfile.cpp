// Reads arbitrary bytes as a drawing file in each of the three modes (open, insert into a
// drawing, symbol library) and writes what was read back out: no input may crash or hang the
// reader, every read must end in its known state, and whatever was read must be written as a
// file that reads back whole.
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "document/document.h"
#include "document/drawingfile.h"
#include "fuzzdrawing.h"
#include "spell/spell.h"
#include "support/options.h"

namespace {

// Measures nothing: old texts keep their width, as without an editing view.
class CNoMeasurer final : public IOldTextMeasurer {
 public:
  int MeasureTextWidth(const CFontSpec&, const QString& text) override {
    return static_cast<int>(text.size()) * 7;
  }
};

void CheckEndState(const CZephDoc& doc, int mode) {
  fuzz::Check(fuzz::IsFileStatus(g_fileStatus));
  fuzz::Check(doc.GetJournal().groupState == 0);
  if (mode != kReadInsert) fuzz::Check(doc.IsChanged() == 0);
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    fuzz::Check(item != nullptr && item->IsValid() != 0);
    fuzz::Check(item->GetObjectNumber() >= 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::CSilentPresenter presenter;
  static CNoMeasurer measurer;
  static bool started = false;
  if (!started) {
    started = true;
    zeph::SetPresenter(&presenter);
    SetOldTextMeasurer(&measurer);
    g_spellChecker = std::make_unique<CSpell>();
    // The checker goes before the log at exit, as when the program shuts down.
    std::atexit([] { g_spellChecker.reset(); });
    SetOptionFlag(kOptionUseBackupFolder, 0);
  }
  if (size > 1 << 20) return 0;
  const QString input = fuzz::Home() + QStringLiteral("/tmp/input.zpd");
  const QString output = fuzz::Home() + QStringLiteral("/tmp/output.zpd");
  if (!fuzz::WriteInput(input, data, size)) return 0;

  for (int mode : {kReadOpen, kReadInsert, kReadSymbolLibrary}) {
    ResetFileStatus();
    CZephDoc doc(mode == kReadSymbolLibrary ? DocumentRole::kAuxiliary : DocumentRole::kDrawing);
    if (mode == kReadInsert) {
      // A drawing to insert into, with an object and a group of its own.
      DrawItemPtr line = CreateItem(kItemLine);
      line->SetStart(0, 0);
      line->SetEnd(1000, 0);
      line->SetLineStyle(1);
      line->SetObjectNumber(1);
      line->SetGroupNumber(1);
      doc.EnableUndo(0);
      doc.AddItem(line);
      doc.EnableUndo(1);
    }
    const int before = doc.GetItemCount();
    const int glitches = g_glitchCount;
    const int result = doc.ReadDrawingFile(input, mode);
    // Nothing a file holds is an impossible state of the program.
    fuzz::Check(g_glitchCount == glitches);
    fuzz::Check(result == 0 || result == 1);
    if (result == 0) fuzz::Check(doc.GetItemCount() == before);
    CheckEndState(doc, mode);
    if (mode == kReadInsert) {
      // The insert is one step: undoing it gives the drawing back.
      while (doc.CanUndo() != 0 && doc.GetItemCount() > before) doc.Undo(nullptr, nullptr, 1);
      fuzz::Check(doc.GetItemCount() == before);
      continue;
    }

    // What was read is written, and reads back whole.
    fuzz::CheckWrittenAndReadBack(doc, output);
  }
  ResetFileStatus();
  return 0;
}
