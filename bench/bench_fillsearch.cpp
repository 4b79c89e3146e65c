// The fill search where users wait for it. One click each, in:
// - random long lines and circles (bench/drawings.h) of 10,000 and 30,000 items: at most 0.1 s
//   for the smaller, and the larger at most 4 times the smaller in the same run ("ratio");
// - room plans cut open at the drawing's edge (44 x 44 and 63 x 63 rooms of 1.4 m, the walls
//   past the coordinate limit refused) and one room holding 1,000 islands: at most 1 s each;
// - furnished plans of 10,000 and 99,225 items: the larger at most 12 times the smaller in
//   the same run ("ratio").
// Before timing, every drawing's fill is checked against the plain search, in which every pass
// walks the whole item list ("same" 1); ZEPH_BENCH_NO_CHECK=1 leaves the check out.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "document/document.h"
#include "document/fillsearch.h"
#include "drawings.h"
#include "items/drawitem.h"

namespace {

namespace bd = benchdrawings;

enum class Kind { kRandom, kCutOpenPlan, kFurnishedPlan, kIslands };

struct Drawing {
  std::unique_ptr<CZephDoc> doc;
  DrawingPoint click{};
  std::string fill;  // the indexed search's fill as text
  int same = -1;     // 1 the plain search finds the same fill, 0 it does not, -1 not checked
};

// The thread's processor time in seconds: other programs on the machine do not count.
double Now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::string FillAt(CZephDoc& doc, DrawingPoint p) {
  DrawItemPtr fill = doc.FillAreaAtPoint(p.x, p.y);
  return bd::FillText(fill.get());
}

// Each drawing is made once per run and checked once against the plain search.
Drawing& Get(Kind kind, int size) {
  static std::map<std::pair<int, int>, Drawing> drawings;
  Drawing& d = drawings[{static_cast<int>(kind), size}];
  if (d.doc) return d;
  d.doc = std::make_unique<CZephDoc>(DocumentRole::kAuxiliary);
  CZephDoc& doc = *d.doc;
  switch (kind) {
    case Kind::kRandom:
      bd::RandomLinesAndCircles(doc, size);
      d.click = bd::RandomDrawingClick();
      break;
    case Kind::kCutOpenPlan:
      d.click = bd::FurnishedPlan(doc, size, 1400000);
      break;
    case Kind::kFurnishedPlan:
      d.click = bd::FurnishedPlan(doc, size, bd::RoomThatFits(size));
      break;
    case Kind::kIslands:
      d.click = bd::IslandRoom(doc, size);
      break;
  }
  d.fill = FillAt(doc, d.click);
  const char* skip = std::getenv("ZEPH_BENCH_NO_CHECK");
  if (skip == nullptr || std::string(skip) != "1") {
    SetPlainFillSearchForTest(true);
    const std::string plain = FillAt(doc, d.click);
    SetPlainFillSearchForTest(false);
    d.same = plain == d.fill ? 1 : 0;
  }
  return d;
}

void Report(benchmark::State& state, const Drawing& d) {
  if (d.same == 0) state.SkipWithError("the fill differs from the plain search's");
  state.counters["items"] = d.doc->GetItemCount();
  const auto holes = static_cast<double>(std::count(d.fill.begin(), d.fill.end(), '\n')) - 1;
  state.counters["holes"] = d.fill == "none" ? -1 : holes;
  state.counters["same"] = d.same;
}

// One click, timed by the benchmark itself.
void Click(benchmark::State& state, Kind kind) {
  Drawing& d = Get(kind, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    DrawItemPtr fill = d.doc->FillAreaAtPoint(d.click.x, d.click.y);
    benchmark::DoNotOptimize(fill.get());
  }
  Report(state, d);
}

// Two drawings clicked in turn, round after round: the larger's time against the smaller's.
void Ratio(benchmark::State& state, Kind kind, int small, int large) {
  Drawing& a = Get(kind, small);
  Drawing& b = Get(kind, large);
  double timeA = 0;
  double timeB = 0;
  for (auto _ : state) {
    const double t0 = Now();
    DrawItemPtr fillA = a.doc->FillAreaAtPoint(a.click.x, a.click.y);
    const double t1 = Now();
    DrawItemPtr fillB = b.doc->FillAreaAtPoint(b.click.x, b.click.y);
    const double t2 = Now();
    timeA += t1 - t0;
    timeB += t2 - t1;
    benchmark::DoNotOptimize(fillA.get());
    benchmark::DoNotOptimize(fillB.get());
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["small_ms"] = timeA * 1000 / n;
  state.counters["large_ms"] = timeB * 1000 / n;
  state.counters["ratio"] = timeA > 0 ? timeB / timeA : 0;
  state.counters["same"] = a.same == 1 && b.same == 1 ? 1 : (a.same == 0 || b.same == 0 ? 0 : -1);
  if (a.same == 0 || b.same == 0) state.SkipWithError("a fill differs from the plain search's");
}

void BM_FillRandomLongLines(benchmark::State& state) { Click(state, Kind::kRandom); }
void BM_FillCutOpenPlan(benchmark::State& state) { Click(state, Kind::kCutOpenPlan); }
void BM_FillIslands(benchmark::State& state) { Click(state, Kind::kIslands); }
void BM_FillFurnishedPlan(benchmark::State& state) { Click(state, Kind::kFurnishedPlan); }
void BM_FillRandomRatio(benchmark::State& state) { Ratio(state, Kind::kRandom, 10000, 30000); }
void BM_FillPlanRatio(benchmark::State& state) { Ratio(state, Kind::kFurnishedPlan, 20, 63); }

}  // namespace

BENCHMARK(BM_FillRandomLongLines)
    ->ArgName("items")
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRandomRatio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillCutOpenPlan)->ArgName("rooms")->Arg(44)->Arg(63)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillIslands)->ArgName("islands")->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillFurnishedPlan)->ArgName("rooms")->Arg(20)->Arg(63)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillPlanRatio)->Unit(benchmark::kMillisecond);
