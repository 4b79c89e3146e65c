// The drawing document at scale: adding 100,000 items, and moving 10,000 of them as one step
// with its undo and redo. The undo of such a move should stay under 5 ms on one core.
#include <benchmark/benchmark.h>

#include <memory>

#include "document/document.h"
#include "items/drawitem.h"
#include "items/geometry.h"

namespace {

DrawItemPtr Line(int i) {
  DrawItemPtr line = CreateItem(kItemLine);
  const int x = (i % 1000) * 1000;
  const int y = (i / 1000) * 1000;
  line->SetStart(x, y);
  line->SetEnd(x + 500, y + 300);
  line->SetLineStyle(kLineStyleUnbroken);
  return line;
}

std::unique_ptr<CZephDoc> Drawing(int items) {
  auto doc = std::make_unique<CZephDoc>();
  doc->EnableUndo(0);
  for (int i = 0; i < items; ++i) {
    DrawItemPtr line = Line(i);
    doc->AddItem(line);
  }
  doc->EnableUndo(1);
  return doc;
}

void MoveChosen(CZephDoc& doc, int chosen, int dx) {
  doc.SetUndoGroup(1);
  for (int i = 0; i < chosen; ++i) doc.GetItem(i * 10)->MoveBy(dx, 0);
  doc.SetUndoGroup(0);
}

void BM_AddItems(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    CZephDoc doc;
    for (int i = 0; i < count; ++i) {
      DrawItemPtr line = Line(i);
      doc.AddItem(line);
    }
    benchmark::DoNotOptimize(doc.GetItemCount());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AddItems)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MoveChosenAsOneStep(benchmark::State& state) {
  auto doc = Drawing(100000);
  for (auto _ : state) {
    MoveChosen(*doc, 10000, 100);
    state.PauseTiming();
    doc->FreeJournalRecords(0);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MoveChosenAsOneStep)->Unit(benchmark::kMillisecond);

void BM_UndoMoveOfTenThousand(benchmark::State& state) {
  auto doc = Drawing(100000);
  MoveChosen(*doc, 10000, 100);
  for (auto _ : state) {
    doc->Undo(nullptr, nullptr, 1);
    state.PauseTiming();
    doc->Redo(nullptr, nullptr);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoMoveOfTenThousand)->Unit(benchmark::kMillisecond);

void BM_RedoMoveOfTenThousand(benchmark::State& state) {
  auto doc = Drawing(100000);
  MoveChosen(*doc, 10000, 100);
  for (auto _ : state) {
    state.PauseTiming();
    doc->Undo(nullptr, nullptr, 1);
    state.ResumeTiming();
    doc->Redo(nullptr, nullptr);
  }
}
BENCHMARK(BM_RedoMoveOfTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
