// The program as a user meets it: start-up until the start screen is painted, and a large
// drawing (60,000 lines and 40,000 circles) opened and printed to a PDF file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <random>
#include <string>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "controls/dialogplus.h"
#include "document/document.h"
#include "editor/zephview.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "platform/printersystem.h"
#include "platform/qt/qtprintersystem.h"
#include "spell/spell.h"
#include "support/appservices.h"
#include "support/filestatus.h"
#include "support/printer.h"

namespace {

QTemporaryDir& Home() {
  static QTemporaryDir dir;
  static bool set = [] {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
      const QString folder = dir.filePath(QString::fromLatin1(name));
      QDir().mkpath(folder);
      qputenv(name, folder.toUtf8());
    }
    return true;
  }();
  (void)set;
  return dir;
}

void StartupToPaintedStartScreen(benchmark::State& state) {
  Home();
  // No name is kept in the benchmark's home: the name dialog start-up shows is cancelled.
  zeph::CScriptedDialogRunner dialogs([](QDialog& dialog) { dialog.reject(); });
  zeph::SetDialogRunner(&dialogs);
  for (auto _ : state) {
    auto app = std::make_unique<CZephApp>();
    app->InitInstance(QString());
    QWidget* front = app->GetFrontView();
    if (front == nullptr) {
      state.SkipWithError("no start screen");
      break;
    }
    front->repaint();
    QApplication::processEvents();
    state.PauseTiming();
    app.reset();
    DeleteAuxiliaryDocuments();
    g_spellChecker.reset();
    state.ResumeTiming();
  }
  zeph::SetDialogRunner(nullptr);
}
BENCHMARK(StartupToPaintedStartScreen)->Unit(benchmark::kMillisecond);

// Prints without asking: the print dialog's choices as they stand.
class CDirectPrintDriver final : public IPrintJobDriver {
 public:
  explicit CDirectPrintDriver(IPrintJobDriver& inner) : m_inner(inner) {}
  bool DoPreparePrinting(CPrintInfo& info) override {
    info.direct = true;
    return m_inner.DoPreparePrinting(info);
  }
  zeph::CDrawContext* BeginJob(const CPrintInfo& info) override { return m_inner.BeginJob(info); }
  bool StartPage(int page) override { return m_inner.StartPage(page); }
  void EndPage() override { m_inner.EndPage(); }
  void EndJob(bool aborted) override { m_inner.EndJob(aborted); }

 private:
  IPrintJobDriver& m_inner;
};

class CPrintOnlyView final : public CZephView {
 public:
  explicit CPrintOnlyView(CZephDoc* document) : m_document(document) {}
  CZephDoc* GetDocument() const override { return m_document; }
  void OnDraw(zeph::CDrawContext& /*dc*/) override {}

 private:
  CZephDoc* m_document;
};

// The 100,000-item drawing, written once per run: its path, empty when it could not be written.
QString LargeDrawing() {
  static const QString path = [] {
    const QString drawing = Home().filePath(QStringLiteral("large.zpd"));
    CZephDoc doc;
    doc.EnableUndo(0);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 400000);
    std::uniform_int_distribution<int> y(0, 280000);
    // The file counts each kind's items in 16 bits, so the drawing mixes lines and circles.
    std::uniform_int_distribution<int> radius(500, 20000);
    for (int i = 0; i < 100000; ++i) {
      DrawItemPtr item;
      if (i % 5 < 3) {
        item = CreateItem(kItemLine);
        item->SetStart(x(random), y(random));
        item->SetEnd(x(random), y(random));
      } else {
        item = CreateItem(kItemCircle);
        item->SetCentre(x(random), y(random));
        item->SetRadius(radius(random));
      }
      item->SetColour(0);
      item->SetLineStyle(kLineStyleUnbroken);
      doc.AddItem(item);
    }
    doc.WriteDrawingFile(drawing);
    return g_fileStatus == 0 ? drawing : QString();
  }();
  return path;
}

bool ReadLarge(CZephDoc& doc, const QString& path, benchmark::State& state) {
  if (doc.ReadDrawingFile(path, 0) != 0 && doc.GetItemCount() == 100000) return true;
  const std::string why = "the drawing was not read: status " + std::to_string(g_fileStatus) +
                          ", items " + std::to_string(doc.GetItemCount());
  state.SkipWithError(why.c_str());
  return false;
}

bool PrintLarge(CZephDoc& doc, benchmark::State& state) {
  SetActivePrintDrawing(&doc);
  CPrintOnlyView view(&doc);
  const bool printed = view.RunPrintJob(false);
  SetActivePrintDrawing(nullptr);
  if (!printed) state.SkipWithError("the drawing was not printed");
  return printed;
}

// Phase 0: open and print, as the user does; 1 opening alone; 2 printing alone.
void LargeDrawingToPdf(benchmark::State& state) {
  const QString drawing = LargeDrawing();
  if (drawing.isEmpty()) {
    state.SkipWithError("the drawing was not written");
    return;
  }
  const auto phase = state.range(0);
  zeph::CQtPrinterSystem printers(Home().filePath(QStringLiteral("large.pdf")));
  zeph::SetPrinterSystem(&printers);
  CDirectPrintDriver driver(GetPrintJobDriver());
  SetPrintJobDriver(&driver);
  CZephDoc opened;
  if (phase == 2 && !ReadLarge(opened, drawing, state)) {
    SetPrintJobDriver(nullptr);
    zeph::SetPrinterSystem(nullptr);
    return;
  }
  for (auto _ : state) {
    if (phase == 2) {
      if (!PrintLarge(opened, state)) break;
      continue;
    }
    CZephDoc doc;
    if (!ReadLarge(doc, drawing, state)) break;
    if (phase == 0 && !PrintLarge(doc, state)) break;
  }
  SetPrintJobDriver(nullptr);
  DeletePrinterDC();
  zeph::SetPrinterSystem(nullptr);
}
BENCHMARK(LargeDrawingToPdf)
    ->ArgName("phase")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The application lives in main, so that it is gone before the program's and Qt's own static
// objects are destroyed: an application destroyed after them crashes on the way out.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  {
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // Whatever the runs left open goes while the application is still there.
    DeleteAuxiliaryDocuments();
    g_spellChecker.reset();
  }
  benchmark::Shutdown();
  return 0;
}
