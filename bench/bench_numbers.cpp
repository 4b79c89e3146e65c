// Throughput of the number rules that geometry, drawing and file reading call in
// their inner loops: the double-to-integer conversions, NearlyEqual and AngleOf, and the
// text-to-number and text-rounding operations of the file readers and displays.
#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "support/numbers.h"

namespace {

std::vector<double> MakeDoubles(std::size_t count) {
  std::vector<double> values(count);
  double x = -123456.789;
  for (auto& v : values) {
    v = x;
    x = x * 0.37 + 8191.5;  // spreads values of both signs and with fractions
    if (x > 1e6) x -= 2e6;
  }
  return values;
}

void BM_RoundToInt(benchmark::State& state) {
  const auto values = MakeDoubles(1024);
  for (auto _ : state) {
    int sum = 0;
    for (double v : values) sum += RoundToInt(v);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_RoundToInt);

void BM_TruncateToShort(benchmark::State& state) {
  const auto values = MakeDoubles(1024);
  for (auto _ : state) {
    int sum = 0;
    for (double v : values) sum += TruncateToShort(v);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_TruncateToShort);

void BM_NearlyEqual(benchmark::State& state) {
  const auto values = MakeDoubles(1025);
  for (auto _ : state) {
    int sum = 0;
    for (std::size_t i = 0; i + 1 < values.size(); ++i)
      sum += NearlyEqual(values[i], values[i + 1]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_NearlyEqual);

void BM_AngleOf(benchmark::State& state) {
  const auto values = MakeDoubles(1025);
  for (auto _ : state) {
    double sum = 0;
    for (std::size_t i = 0; i + 1 < values.size(); ++i) sum += AngleOf(values[i], values[i + 1]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_AngleOf);

const QStringList& SampleTexts() {
  static const QStringList texts = {
      QStringLiteral("0"),
      QStringLiteral("12.5"),
      QStringLiteral("-1234567.125"),
      QStringLiteral("1,234,567.5"),
      QStringLiteral("0.00001234"),
      QStringLiteral("  42  "),
      QStringLiteral("3.141592653589793"),
      QStringLiteral("2.5E-3"),
      QStringLiteral("100000000"),
      QStringLiteral("-0.5"),
  };
  return texts;
}

void BM_TextToDouble(benchmark::State& state) {
  const QStringList& texts = SampleTexts();
  for (auto _ : state) {
    double sum = 0;
    for (const QString& text : texts) {
      double v = 0;
      TextToDouble(text, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_TextToDouble);

void BM_TextToInt(benchmark::State& state) {
  const QStringList texts = {QStringLiteral("0"),          QStringLiteral("-17"),
                             QStringLiteral("1,234"),      QStringLiteral("123456789"),
                             QStringLiteral("2147483647"), QStringLiteral("  42 ")};
  for (auto _ : state) {
    int sum = 0;
    for (const QString& text : texts) {
      int v = 0;
      TextToInt(text, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_TextToInt);

void BM_RoundNumberText(benchmark::State& state) {
  const QStringList& texts = SampleTexts();
  for (auto _ : state) {
    for (const QString& text : texts) {
      QString copy = text;
      RoundNumberText(copy, 2, kRoundNearest);
      benchmark::DoNotOptimize(copy);
    }
  }
  state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_RoundNumberText);

void BM_RoundToSignificantDigits(benchmark::State& state) {
  const auto values = MakeDoubles(64);
  for (auto _ : state) {
    double sum = 0;
    for (double v : values) {
      RoundToSignificantDigits(v, 3);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_RoundToSignificantDigits);

}  // namespace
