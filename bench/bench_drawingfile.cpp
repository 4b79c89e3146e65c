// Drawing files at scale: writing and reading a drawing of 100,000 items of every kind, and,
// as the baseline, reading the same file's bytes split into lines. Opening the drawing should
// take at most three times the baseline, measured in interleaved rounds ("ratio").
#include <benchmark/benchmark.h>

#include <QString>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

#include "document/document.h"
#include "document/drawingfile.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/geometry.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/textfile.h"

namespace {

constexpr int kItems = 100000;

std::unique_ptr<CBoundaryLoop> Square(int x, int y, int size) {
  auto loop = std::make_unique<CBoundaryLoop>();
  const int xs[] = {x, x + size, x + size, x};
  const int ys[] = {y, y, y + size, y + size};
  for (int i = 0; i < 4; ++i) {
    auto edge = std::make_unique<CLineEdge>();
    edge->SetStart(xs[i], ys[i]);
    edge->SetEnd(xs[(i + 1) % 4], ys[(i + 1) % 4]);
    loop->Append(std::move(edge));
  }
  return loop;
}

// Item i of a mixed drawing: mostly lines, some of every other kind.
DrawItemPtr Item(int i) {
  const int x = (i % 1000) * 1000;
  const int y = (i / 1000) * 1000;
  static const int kKinds[] = {kItemLine,   kItemLine,   kItemLine,      kItemLine,
                               kItemArc,    kItemCircle, kItemText,      kItemEllipse,
                               kItemBezier, kItemFill,   kItemDimension, kItemEllipseArc};
  const int type = kKinds[i % 12];
  DrawItemPtr item = CreateItem(type);
  switch (type) {
    case kItemLine:
      item->SetStart(x, y);
      item->SetEnd(x + 500, y + 300);
      item->SetLineStyle(kLineStyleUnbroken);
      break;
    case kItemArc:
      item->SetStart(x, y);
      item->SetEnd(x + 400, y);
      item->SetAngle(1.25);
      break;
    case kItemCircle:
      item->SetCentre(x, y);
      item->SetRadius(250);
      break;
    case kItemText: {
      CFontSpec font;
      font.Set(QStringLiteral("Arial"), 10, false, false);
      item->SetPosition(x, y);
      item->SetText(QStringLiteral("Room %1").arg(i));
      item->SetFont(font);
      break;
    }
    case kItemEllipse:
      item->SetCentre(x, y);
      item->SetSemiAxes(300, 150);
      item->SetRotation(0.5);
      break;
    case kItemBezier:
      item->SetStart(x, y);
      item->SetEnd(x + 600, y);
      item->SetControlPoint(0, x + 150.5, y + 200.25);
      item->SetControlPoint(1, x + 450.5, y - 200.25);
      break;
    case kItemFill:
      item->AttachBoundary(Square(x, y, 200));
      break;
    case kItemDimension: {
      CFontSpec font;
      font.Set(QStringLiteral("Arial"), 8, false, false);
      item->SetStart(x, y);
      item->SetEnd(x + 800, y);
      item->SetOffset(200);
      item->SetFont(font);
      break;
    }
    default:
      item->SetStart(x + 300, y);
      item->SetEnd(x, y + 150);
      item->SetCentreExact(x, y);
      item->SetRadii(300.0, 150.0);
      break;
  }
  item->SetColour(33554432 + i % 7);
  item->SetObjectNumber(static_cast<std::int16_t>(1 + i % 500));
  return item;
}

struct Fixture {
  QTemporaryDir folder;
  QString path;
  Fixture() {
    path = folder.filePath(QStringLiteral("large.zpd"));
    CZephDoc doc;
    doc.EnableUndo(0);
    for (int i = 0; i < kItems; ++i) {
      DrawItemPtr item = Item(i);
      doc.AddItem(item);
    }
    doc.WriteDrawingFile(path);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_WriteDrawingFile(benchmark::State& state) {
  CZephDoc doc;
  doc.EnableUndo(0);
  for (int i = 0; i < kItems; ++i) {
    DrawItemPtr item = Item(i);
    doc.AddItem(item);
  }
  const QString path = Shared().folder.filePath(QStringLiteral("written.zpd"));
  for (auto _ : state) {
    doc.WriteDrawingFile(path);
    if (g_fileStatus != kFileOk) state.SkipWithError("the drawing was not written");
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_WriteDrawingFile)->Unit(benchmark::kMillisecond);

void BM_ReadDrawingFile(benchmark::State& state) {
  const QString path = Shared().path;
  for (auto _ : state) {
    CZephDoc doc;
    doc.ReadDrawingFile(path, kReadOpen);
    if (g_fileStatus != kFileOk || doc.GetItemCount() != kItems) {
      state.SkipWithError("the drawing was not read whole");
    }
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ReadDrawingFile)->Unit(benchmark::kMillisecond);

// The baseline: the same bytes read and split into lines of text, nothing else.
void ReadLines(const QString& path) {
  CTextFileReader reader;
  reader.SetUtf8Encoding();
  reader.Open(path);
  QString line;
  std::int64_t lines = 0;
  while (reader.ReadLine(line) != 0 && g_fileStatus == kFileOk) ++lines;
  g_fileStatus = kFileOk;
  benchmark::DoNotOptimize(lines);
}

void BM_ReadLinesBaseline(benchmark::State& state) {
  const QString path = Shared().path;
  for (auto _ : state) ReadLines(path);
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ReadLinesBaseline)->Unit(benchmark::kMillisecond);

// Opening against the baseline, round after round, so that both meet the same machine.
double Now() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_OpenAgainstReadingLines(benchmark::State& state) {
  const QString path = Shared().path;
  double open = 0;
  double lines = 0;
  for (auto _ : state) {
    const double t0 = Now();
    ReadLines(path);
    const double t1 = Now();
    {
      CZephDoc doc;
      doc.ReadDrawingFile(path, kReadOpen);
      if (g_fileStatus != kFileOk || doc.GetItemCount() != kItems) {
        state.SkipWithError("the drawing was not read whole");
      }
    }
    const double t2 = Now();
    lines += t1 - t0;
    open += t2 - t1;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["open_ms"] = open * 1000 / n;
  state.counters["lines_ms"] = lines * 1000 / n;
  state.counters["ratio"] = lines > 0 ? open / lines : 0;
}
BENCHMARK(BM_OpenAgainstReadingLines)->Unit(benchmark::kMillisecond);

}  // namespace
