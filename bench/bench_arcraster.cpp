// The arc rasterisers trace only what can reach the clip box, so a circle seen at a high zoom
// (far larger than the window) costs about as much as one that fits in it.
#include <benchmark/benchmark.h>

#include <QImage>

#include "items/arcraster.h"
#include "platform/qt/imagecontext.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void DrawCircle(benchmark::State& state, int radius) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  zeph::CImageContext dc(image);
  CArcPlotter plotter;
  plotter.SetPenWidth(static_cast<int>(state.range(0)));
  // The centre sits below the window so that only the top of the circle shows.
  const int cx = kWidth / 2;
  const int cy = kHeight / 2 + radius - 100;
  for (auto _ : state) {
    plotter.Draw(dc, cx, cy, radius, radius, cx + radius, cy, cx + radius, cy, 0);
    benchmark::ClobberMemory();
  }
}

void BM_CircleInWindow(benchmark::State& state) { DrawCircle(state, 300); }
void BM_HugeCircleVisiblePart(benchmark::State& state) { DrawCircle(state, 990000); }

void BM_RotatedEllipse(benchmark::State& state) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  zeph::CImageContext dc(image);
  CEllipsePlotter plotter;
  plotter.SetPenWidth(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    plotter.Draw(dc, kWidth / 2, kHeight / 2, 300, 200, -100, 150, 0);
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_CircleInWindow)->Arg(1)->Arg(5);
BENCHMARK(BM_HugeCircleVisiblePart)->Arg(1)->Arg(5);
BENCHMARK(BM_RotatedEllipse)->Arg(1)->Arg(5);
