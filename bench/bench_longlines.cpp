// A drawing of 100,000 random long lines and circles (bench/drawings.h), as the drawing window
// meets it:
// - a view showing 1/100 of it (the middle tenth of the window each way) against a full
//   repaint, both through the document's index, in interleaved rounds ("ratio" = part / full,
//   at most 0.03); the pixels of both are checked against drawing every item ("same_pixels");
// - picking the nearest item ("us_per_pick", at most 100), each pick checked against measuring
//   every item ("same");
// - the drawing's memory per item once the index is built, at 100,000 and 1,000,000 items
//   ("bytes_per_item").
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QImage>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "document/document.h"
#include "drawings.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"

namespace {

namespace bd = benchdrawings;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kItems = 100000;
// The zoom at which the drawing's 280 mm fill the window's height.
constexpr int kUnitsPerPixel = (bd::kRandomHeight + kHeight - 1) / kHeight;

double Now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

CViewMapping FitMapping() {
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = kUnitsPerPixel;
  mapping.originX = 0;
  mapping.originY = kHeight * kUnitsPerPixel;
  mapping.windowWidth = kWidth;
  mapping.windowHeight = kHeight;
  mapping.anchorY = kHeight;
  return mapping;
}

CZephDoc& TheDocument() {
  static CZephDoc* doc = [] {
    auto* d = new CZephDoc(DocumentRole::kAuxiliary);
    d->EnableUndo(0);
    bd::RandomLinesAndCircles(*d, kItems);
    return d;
  }();
  return *doc;
}

// As the drawing window paints: the items the index answers for the clip box, in list order.
void PaintIndexed(const CZephDoc& doc, zeph::CDrawContext& dc, const CViewMapping& mapping) {
  doc.DrawItemsInView(dc, mapping, [&](const CDrawItem& item) {
    if (item.IsInvisible() == 0) item.Draw(&dc, &mapping, kDrawOwnColour, 0);
  });
}

// Every item, as painting did before there was an index.
void PaintAll(const CZephDoc& doc, zeph::CDrawContext& dc, const CViewMapping& mapping) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    if (item->IsInvisible() == 0) item->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
}

const zeph::DcRect kMiddle{kWidth * 9 / 20, kHeight * 9 / 20, kWidth * 11 / 20, kHeight * 11 / 20};

template <typename Paint>
QImage Painted(const CZephDoc& doc, Paint paint, bool part) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  zeph::CImageContext dc(image);
  if (part) dc.SetClipRect(kMiddle);
  paint(doc, dc, FitMapping());
  return image;
}

void BM_ViewOfOneHundredth(benchmark::State& state) {
  const CZephDoc& doc = TheDocument();
  const CViewMapping mapping = FitMapping();
  // Drawing through the index changes no pixel, of the whole window or of the view.
  const bool samePixels = Painted(doc, PaintIndexed, false) == Painted(doc, PaintAll, false) &&
                          Painted(doc, PaintIndexed, true) == Painted(doc, PaintAll, true);
  int drawn = 0;
  {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    zeph::CImageContext dc(image);
    dc.SetClipRect(kMiddle);
    doc.DrawItemsInView(dc, mapping, [&](const CDrawItem&) { ++drawn; });
  }
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  zeph::CImageContext dc(image);
  double full = 0;
  double part = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    const double t0 = Now();
    PaintIndexed(doc, dc, mapping);
    const double t1 = Now();
    dc.SetClipRect(kMiddle);
    PaintIndexed(doc, dc, mapping);
    dc.ResetClip();
    const double t2 = Now();
    full += t1 - t0;
    part += t2 - t1;
    benchmark::ClobberMemory();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["full_ms"] = full * 1000 / n;
  state.counters["part_ms"] = part * 1000 / n;
  state.counters["ratio"] = full > 0 ? part / full : 0;
  state.counters["drawn"] = static_cast<double>(drawn) / doc.GetItemCount();
  state.counters["same_pixels"] = samePixels ? 1 : 0;
  if (!samePixels) state.SkipWithError("drawing through the index changed pixels");
}
BENCHMARK(BM_ViewOfOneHundredth)->Unit(benchmark::kMillisecond);

void BM_PickNearest(benchmark::State& state) {
  const CZephDoc& doc = TheDocument();
  const CViewMapping mapping = FitMapping();
  std::mt19937 random(7);
  std::vector<DrawingPoint> cursors;
  for (int i = 0; i < 256; ++i) {
    cursors.push_back({std::uniform_int_distribution<int>(0, bd::kRandomWidth)(random),
                       std::uniform_int_distribution<int>(0, bd::kRandomHeight)(random)});
  }
  bool same = true;
  for (const DrawingPoint& cursor : cursors) {
    g_cursorPoint = cursor;
    same = same && doc.FindNearestItem(&mapping, 0, nullptr, 0.0) ==
                       doc.FindNearestItemByWalk(&mapping, 0, nullptr, 0.0);
  }
  std::size_t next = 0;
  for (auto _ : state) {
    g_cursorPoint = cursors[next++ % cursors.size()];
    benchmark::DoNotOptimize(doc.FindNearestItem(&mapping, 0, nullptr, 0.0));
  }
  state.counters["us_per_pick"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1e-6,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["same"] = same ? 1 : 0;
  if (!same) state.SkipWithError("a pick differs from measuring every item");
}
BENCHMARK(BM_PickNearest)->Unit(benchmark::kMicrosecond);

// The heap the drawing takes once its index has answered a pick and a view, per item.
void BM_MemoryPerItem(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  double perItem = 0;
  for (auto _ : state) {
    malloc_trim(0);
    const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    {
      CZephDoc doc(DocumentRole::kAuxiliary);
      doc.EnableUndo(0);
      bd::RandomLinesAndCircles(doc, count);
      const CViewMapping mapping = FitMapping();
      g_cursorPoint = {bd::kRandomWidth / 2, bd::kRandomHeight / 2};
      benchmark::DoNotOptimize(doc.FindNearestItem(&mapping, 0, nullptr, 0.0));
      QImage image(16, 16, QImage::Format_RGB32);
      zeph::CImageContext dc(image);
      doc.DrawItemsInView(dc, mapping, [](const CDrawItem&) {});
      const std::size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
      perItem = static_cast<double>(after - before) / count;
    }
  }
  state.counters["bytes_per_item"] = perItem;
}
BENCHMARK(BM_MemoryPerItem)
    ->ArgName("items")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
