// Drawing speed of the editor window, measured as ratios within one run:
// - a 100,000-item drawing (lines, arcs, circles, upright and turned ellipses; pens of 1 to 3
//   pixels) drawn through the items' Draw into a 1920x1080 back buffer at the zoom that fits
//   it, against the same shapes drawn by QPainter on the same image ("ratio" = ours / Qt's);
// - a repaint of a view showing 1% of the drawing against a full repaint, walking the whole
//   list and through the document's spatial index ("ratio" = part / full);
// - picking the nearest of the 100,000 items ("us_per_pick").
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "document/document.h"
#include "drawingshapes.h"
#include "platform/qt/imagecontext.h"

namespace {

using namespace bench;

constexpr int kItemCount = 100000;
constexpr int kKindCount = 5;

struct Drawing {
  std::vector<Shape> shapes;
  std::vector<DrawItemPtr> items;  // parallel to shapes; owned here for the kind benchmarks
};

// Shapes of 4 to 40 pixels spread over the whole buffer, the kinds in turn.
const Drawing& TheDrawing() {
  static const Drawing drawing = [] {
    Drawing d;
    std::mt19937 random(20261211);
    auto uniform = [&](int lo, int hi) {
      return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int i = 0; i < kItemCount; ++i) {
      Shape s;
      s.kind = static_cast<Kind>(i % kKindCount);
      s.pen = 1 + (i / kKindCount) % 3;
      const int x = uniform(30, kWidth - 30) * kUnitsPerPixel;
      const int y = uniform(30, kHeight - 30) * kUnitsPerPixel;
      switch (s.kind) {
        case Kind::kLine: {
          const double angle = uniform(0, 359) * kPi / 180;
          const int length = uniform(4, 40) * kUnitsPerPixel;
          s.x1 = x;
          s.y1 = y;
          s.x2 = x + static_cast<int>(length * std::cos(angle));
          s.y2 = y + static_cast<int>(length * std::sin(angle));
          break;
        }
        case Kind::kArc:
          s.cx = x;
          s.cy = y;
          s.r = uniform(3, 20) * kUnitsPerPixel;
          s.start = uniform(0, 359) * kPi / 180;
          s.sweep = uniform(30, 300) * kPi / 180;
          break;
        case Kind::kCircle:
          s.cx = x;
          s.cy = y;
          s.r = uniform(3, 20) * kUnitsPerPixel;
          break;
        case Kind::kEllipse:
        case Kind::kTurnedEllipse:
          s.cx = x;
          s.cy = y;
          s.a = uniform(4, 20) * kUnitsPerPixel;
          s.b = uniform(2, 12) * kUnitsPerPixel;
          s.rotation = s.kind == Kind::kEllipse ? 0.0 : uniform(5, 85) * kPi / 180;
          break;
      }
      d.items.push_back(MakeItem(s));
      d.shapes.push_back(s);
    }
    return d;
  }();
  return drawing;
}

// ---- Items against QPainter, per kind and pen ----

void DrawKind(benchmark::State& state, Kind kind) {
  const int pen = static_cast<int>(state.range(0));  // 0: every pen
  const Drawing& d = TheDrawing();
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < d.shapes.size(); ++i) {
    if (d.shapes[i].kind == kind && (pen == 0 || d.shapes[i].pen == pen)) chosen.push_back(i);
  }
  CompareWithQt(state, d.shapes, d.items, chosen);
}

void BM_Lines(benchmark::State& state) { DrawKind(state, Kind::kLine); }
void BM_Arcs(benchmark::State& state) { DrawKind(state, Kind::kArc); }
void BM_Circles(benchmark::State& state) { DrawKind(state, Kind::kCircle); }
void BM_Ellipses(benchmark::State& state) { DrawKind(state, Kind::kEllipse); }
void BM_TurnedEllipses(benchmark::State& state) { DrawKind(state, Kind::kTurnedEllipse); }

// ---- The whole drawing in a document: full repaint, 1% view, picking ----

struct DocumentFixture {
  CZephDoc doc{DocumentRole::kAuxiliary};
  DocumentFixture() {
    for (const Shape& s : TheDrawing().shapes) {
      DrawItemPtr item = MakeItem(s);
      doc.AddItem(item);
    }
  }
};

DocumentFixture& TheDocument() {
  static DocumentFixture fixture;
  return fixture;
}

// As the drawing window paints: every visible item in list order.
void PaintWalk(const CZephDoc& doc, zeph::CDrawContext& dc, const CViewMapping& mapping) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    if (item == nullptr || item->IsInvisible() != 0) continue;
    item->Draw(&dc, &mapping, kDrawOwnColour, 0);
  }
}

void PaintIndexed(const CZephDoc& doc, zeph::CDrawContext& dc, const CViewMapping& mapping) {
  doc.DrawItemsInView(dc, mapping,
                      [&](const CDrawItem& item) { item.Draw(&dc, &mapping, kDrawOwnColour, 0); });
}

// A full repaint at the fitting zoom against two views of 1% of the drawing: a hundredth of
// the buffer at the same zoom ("ratio"), and the whole buffer zoomed in ten times
// ("ratio_zoomed", where each item also covers ten times the pixels).
template <typename Paint>
void Repaint(benchmark::State& state, Paint paint) {
  const CZephDoc& doc = TheDocument().doc;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  zeph::CImageContext dc(image);
  const CViewMapping full = FittingMapping();
  const zeph::DcRect middle{kWidth * 9 / 20, kHeight * 9 / 20, kWidth * 11 / 20, kHeight * 11 / 20};
  const int zoomedScale = kUnitsPerPixel / 10;
  const CViewMapping zoomed =
      FitMapping(zoomedScale, kWidth * kUnitsPerPixel / 2 - kWidth * zoomedScale / 2,
                 kHeight * kUnitsPerPixel / 2 + kHeight * zoomedScale / 2);
  image.fill(Qt::white);
  paint(doc, dc, full);
  std::string checksums = ChecksumText("checksum", image);
  image.fill(Qt::white);
  paint(doc, dc, zoomed);
  state.SetLabel(checksums + " " + ChecksumText("zoomed", image));
  double fullTime = 0;
  double partTime = 0;
  double zoomedTime = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    const auto t0 = Now();
    paint(doc, dc, full);
    const auto t1 = Now();
    dc.SetClipRect(middle);
    paint(doc, dc, full);
    dc.ResetClip();
    const auto t2 = Now();
    paint(doc, dc, zoomed);
    const auto t3 = Now();
    fullTime += t1 - t0;
    partTime += t2 - t1;
    zoomedTime += t3 - t2;
    benchmark::ClobberMemory();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["full_ms"] = fullTime * 1000 / n;
  state.counters["part_ms"] = partTime * 1000 / n;
  state.counters["zoomed_ms"] = zoomedTime * 1000 / n;
  state.counters["ratio"] = fullTime > 0 ? partTime / fullTime : 0;
  state.counters["ratio_zoomed"] = fullTime > 0 ? zoomedTime / fullTime : 0;
}

void BM_RepaintWalkingTheList(benchmark::State& state) { Repaint(state, PaintWalk); }
void BM_RepaintThroughTheIndex(benchmark::State& state) { Repaint(state, PaintIndexed); }

template <typename Pick>
void PickNearest(benchmark::State& state, Pick pick) {
  const CZephDoc& doc = TheDocument().doc;
  const CViewMapping mapping = FittingMapping();
  std::mt19937 random(7);
  std::vector<DrawingPoint> cursors;
  for (int i = 0; i < 256; ++i) {
    cursors.push_back({std::uniform_int_distribution<int>(0, kWidth * kUnitsPerPixel)(random),
                       std::uniform_int_distribution<int>(0, kHeight * kUnitsPerPixel)(random)});
  }
  std::size_t next = 0;
  const CDrawItem* found = nullptr;
  for (auto _ : state) {
    g_cursorPoint = cursors[next++ % cursors.size()];
    found = pick(doc, mapping);
    benchmark::DoNotOptimize(found);
  }
  state.counters["us_per_pick"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1e-6,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PickNearestWalk(benchmark::State& state) {
  PickNearest(state, [](const CZephDoc& doc, const CViewMapping& mapping) {
    return doc.FindNearestItemByWalk(&mapping, 0, nullptr, 0.0);
  });
}
void BM_PickNearest(benchmark::State& state) {
  PickNearest(state, [](const CZephDoc& doc, const CViewMapping& mapping) {
    return doc.FindNearestItem(&mapping, 0, nullptr, 0.0);
  });
}

}  // namespace

BENCHMARK(BM_Lines)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Arcs)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circles)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ellipses)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurnedEllipses)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWalkingTheList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintThroughTheIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickNearestWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickNearest)->Unit(benchmark::kMicrosecond);
