// The fill search in a 10,000-item drawing: a plan of 20 by 20 rooms, each drawn with its own
// four walls (so every inner wall is there twice) and furnished with tables, beds, chairs,
// rugs, shelves and doors. One click on a room's floor finds the room with its closed
// furniture as holes; it should take under 20 ms on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "document/document.h"
#include "items/drawitem.h"
#include "items/geometry.h"

namespace {

constexpr int kRooms = 20;
constexpr int kRoom = 1400000;  // 1.4 m

void AddLine(CZephDoc& doc, int x1, int y1, int x2, int y2) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x1, y1);
  line->SetEnd(x2, y2);
  line->SetLineStyle(kLineStyleUnbroken);
  doc.AddItem(line);
}

void AddRect(CZephDoc& doc, int x0, int y0, int x1, int y1) {
  AddLine(doc, x0, y0, x1, y0);
  AddLine(doc, x1, y0, x1, y1);
  AddLine(doc, x1, y1, x0, y1);
  AddLine(doc, x0, y1, x0, y0);
}

void AddCircle(CZephDoc& doc, int cx, int cy, int r) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(cx, cy);
  circle->SetRadius(r);
  doc.AddItem(circle);
}

void AddArc(CZephDoc& doc, int sx, int sy, int ex, int ey, double angle) {
  DrawItemPtr arc = CreateItem(kItemArc);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  arc->SetAngle(angle);
  arc->Recalculate();
  doc.AddItem(arc);
}

// 25 items: 4 walls and 21 pieces of furniture.
void AddRoom(CZephDoc& doc, int x, int y) {
  const int u = kRoom / 28;  // 5 cm
  AddRect(doc, x, y, x + kRoom, y + kRoom);
  AddRect(doc, x + 4 * u, y + 4 * u, x + 12 * u, y + 10 * u);    // table
  for (int k = 0; k < 4; ++k) {                                   // chairs
    AddCircle(doc, x + (5 + 2 * k) * u, y + 2 * u, u / 2 + u / 4);
  }
  AddRect(doc, x + 16 * u, y + 3 * u, x + 26 * u, y + 15 * u);   // bed
  AddCircle(doc, x + 8 * u, y + 20 * u, 3 * u);                  // rug
  AddLine(doc, x + 27 * u, y + 18 * u, x + 27 * u, y + 26 * u);  // shelf against the wall
  AddLine(doc, x + 20 * u, y + 20 * u, x + 24 * u, y + 20 * u);  // lamp flex
  AddArc(doc, x + 6 * u, y + kRoom, x, y + kRoom - 6 * u, M_PI / 2);  // door swing
  AddLine(doc, x, y + kRoom - 6 * u, x + 2 * u, y + kRoom - 6 * u);   // door leaf
  AddRect(doc, x + 14 * u, y + 20 * u, x + 18 * u, y + 24 * u);  // cupboard
}

std::unique_ptr<CZephDoc> Plan() {
  auto doc = std::make_unique<CZephDoc>();
  doc->EnableUndo(0);
  for (int row = 0; row < kRooms; ++row) {
    for (int column = 0; column < kRooms; ++column) {
      AddRoom(*doc, column * kRoom - kRooms * kRoom / 2, row * kRoom - kRooms * kRoom / 2);
    }
  }
  return doc;
}

void BM_FillSearchInAPlan(benchmark::State& state) {
  auto doc = Plan();
  // The floor of a room near the middle, clear of its furniture.
  const int x = 0 + kRoom / 2 + 3;
  const int y = 0 + kRoom * 17 / 28 + 5;
  int holes = -1;
  for (auto _ : state) {
    DrawItemPtr fill = doc->FillAreaAtPoint(x, y);
    holes = fill ? fill->GetHoleCount() : -1;
    benchmark::DoNotOptimize(fill.get());
  }
  state.counters["items"] = doc->GetItemCount();
  state.counters["holes"] = holes;
}
BENCHMARK(BM_FillSearchInAPlan)->Unit(benchmark::kMillisecond);

}  // namespace
