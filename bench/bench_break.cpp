// Break of a line crossed by 1,000 others: cutting it at every crossing (the crossers lie in
// the drawing in no particular order, so the cut points must be sorted), and keeping every
// other piece as one undo step.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "document/document.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/intersect.h"

namespace {

constexpr int kCrossings = 1000;

DrawItemPtr Line(int x1, int y1, int x2, int y2) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(kLineStyleUnbroken);
  return line;
}

// The broken line runs along the x axis; each crosser slants across it at its own place.
std::unique_ptr<CZephDoc> CrossedLine(CDrawItem*& broken) {
  auto doc = std::make_unique<CZephDoc>();
  doc->EnableUndo(0);
  DrawItemPtr line = Line(0, 0, (kCrossings + 1) * 1000, 0);
  broken = line.get();
  doc->AddItem(line);
  for (int i = 0; i < kCrossings; ++i) {
    const int slot = (i * 617) % kCrossings;  // 617 and 1000 share no factor: every slot once
    const int x = (slot + 1) * 1000;
    DrawItemPtr crosser = Line(x - 300, -20000, x + 300, 20000);
    doc->AddItem(crosser);
  }
  doc->EnableUndo(1);
  return doc;
}

void BM_SplitCrossedLine(benchmark::State& state) {
  CDrawItem* broken = nullptr;
  auto doc = CrossedLine(broken);
  for (auto _ : state) {
    benchmark::DoNotOptimize(doc->SplitItemAtCrossings(broken));
  }
  CZephDoc::FreeSplitPieces();
  state.counters["points"] = g_splitCount;
}
BENCHMARK(BM_SplitCrossedLine)->Unit(benchmark::kMillisecond);

void BM_BreakCrossedLine(benchmark::State& state) {
  CDrawItem* broken = nullptr;
  auto doc = CrossedLine(broken);
  for (auto _ : state) {
    const int points = doc->SplitItemAtCrossings(broken);
    for (int i = 0; i + 1 < points; ++i) g_splitKeep[static_cast<std::size_t>(i)] = i % 2 == 0;
    benchmark::DoNotOptimize(doc->KeepItemSections(broken));
    state.PauseTiming();
    doc->Undo(nullptr, nullptr, 1);
    doc->FreeJournalRecords(0);
    state.ResumeTiming();
  }
  state.counters["items"] = doc->GetItemCount();
}
BENCHMARK(BM_BreakCrossedLine)->Unit(benchmark::kMillisecond);

}  // namespace
