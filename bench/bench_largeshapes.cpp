// Drawing speed at the sizes people draw, against QPainter on the same 1920x1080 image
// ("ratio" = ours / Qt's, the two in turn in every round), with a checksum of our picture:
// - 100,000 random lines 666 pixels long, by pen width;
// - 10,000 circles, arcs, upright ellipses and turned ellipses each, of 10 to 200 pixels
//   radius, pens of 1 to 3 pixels in turn: all of them (pen:0) and each pen's third.
// Centres lie anywhere in the image, so part of the shapes is clipped at its sides.
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <vector>

#include "drawingshapes.h"

namespace {

using namespace bench;

constexpr int kLineCount = 100000;
constexpr double kLineLength = 666;
constexpr int kCurveCount = 10000;

struct Drawing {
  std::vector<Shape> shapes;
  std::vector<DrawItemPtr> items;
  std::vector<std::size_t> all;
};

void Add(Drawing& d, const Shape& s) {
  d.all.push_back(d.shapes.size());
  d.shapes.push_back(s);
  d.items.push_back(MakeItem(s));
}

// The same lines for every pen: centres anywhere in the image, every direction.
const Drawing& Lines(int pen) {
  static std::map<int, Drawing> drawings;
  Drawing& d = drawings[pen];
  if (!d.shapes.empty()) return d;
  std::mt19937 random(666);
  std::uniform_real_distribution<double> x(0, kWidth);
  std::uniform_real_distribution<double> y(0, kHeight);
  std::uniform_real_distribution<double> turn(0, 2 * kPi);
  for (int i = 0; i < kLineCount; ++i) {
    const double cx = x(random);
    const double cy = y(random);
    const double angle = turn(random);
    const double dx = kLineLength / 2 * std::cos(angle);
    const double dy = kLineLength / 2 * std::sin(angle);
    Shape s;
    s.kind = Kind::kLine;
    s.pen = pen;
    s.x1 = static_cast<int>(std::lround((cx - dx) * kUnitsPerPixel));
    s.y1 = static_cast<int>(std::lround((cy - dy) * kUnitsPerPixel));
    s.x2 = static_cast<int>(std::lround((cx + dx) * kUnitsPerPixel));
    s.y2 = static_cast<int>(std::lround((cy + dy) * kUnitsPerPixel));
    Add(d, s);
  }
  return d;
}

const Drawing& Curves(Kind kind) {
  static std::map<Kind, Drawing> drawings;
  Drawing& d = drawings[kind];
  if (!d.shapes.empty()) return d;
  std::mt19937 random(200 + static_cast<int>(kind));
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int i = 0; i < kCurveCount; ++i) {
    Shape s;
    s.kind = kind;
    s.pen = 1 + i % 3;
    s.cx = s.x1 = uniform(0, kWidth) * kUnitsPerPixel;
    s.cy = s.y1 = uniform(0, kHeight) * kUnitsPerPixel;
    s.r = uniform(10, 200) * kUnitsPerPixel;
    s.a = s.r;
    s.b = uniform(10, 200) * kUnitsPerPixel;
    if (kind == Kind::kArc) {
      s.start = uniform(0, 359) * kPi / 180;
      s.sweep = uniform(30, 300) * kPi / 180;
    }
    if (kind == Kind::kTurnedEllipse) s.rotation = uniform(5, 85) * kPi / 180;
    Add(d, s);
  }
  return d;
}

void BM_LongLines(benchmark::State& state) {
  const Drawing& d = Lines(static_cast<int>(state.range(0)));
  CompareWithQt(state, d.shapes, d.items, d.all);
}

// range(0): the pen width drawn, 0 for every pen.
void DrawCurves(benchmark::State& state, Kind kind) {
  const Drawing& d = Curves(kind);
  const int pen = static_cast<int>(state.range(0));
  std::vector<std::size_t> chosen;
  for (std::size_t i : d.all) {
    if (pen == 0 || d.shapes[i].pen == pen) chosen.push_back(i);
  }
  CompareWithQt(state, d.shapes, d.items, chosen);
}

void BM_LargeCircles(benchmark::State& state) { DrawCurves(state, Kind::kCircle); }
void BM_LargeArcs(benchmark::State& state) { DrawCurves(state, Kind::kArc); }
void BM_LargeEllipses(benchmark::State& state) { DrawCurves(state, Kind::kEllipse); }
void BM_LargeTurnedEllipses(benchmark::State& state) { DrawCurves(state, Kind::kTurnedEllipse); }

}  // namespace

BENCHMARK(BM_LongLines)->ArgName("pen")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeCircles)->ArgName("pen")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeArcs)->ArgName("pen")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeEllipses)->ArgName("pen")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeTurnedEllipses)->ArgName("pen")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
