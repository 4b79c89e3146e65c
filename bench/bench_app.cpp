// The program as a user meets it: start-up until the start screen is painted, and a large
// drawing opened and printed to a PDF file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <random>

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
#include "support/printer.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_app";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

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
  App();
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

void OpenAndPrintLargeDrawingToPdf(benchmark::State& state) {
  App();
  QTemporaryDir& home = Home();
  const QString drawing = home.filePath(QStringLiteral("large.zpd"));
  const QString pdf = home.filePath(QStringLiteral("large.pdf"));
  {
    CZephDoc doc;
    doc.EnableUndo(0);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 400000);
    std::uniform_int_distribution<int> y(0, 280000);
    for (int i = 0; i < 100000; ++i) {
      DrawItemPtr line = CreateItem(kItemLine);
      line->SetStart(x(random), y(random));
      line->SetEnd(x(random), y(random));
      line->SetColour(0);
      line->SetLineStyle(kLineStyleUnbroken);
      doc.AddItem(line);
    }
    doc.WriteDrawingFile(drawing);
  }
  zeph::CQtPrinterSystem printers(pdf);
  zeph::SetPrinterSystem(&printers);
  CDirectPrintDriver driver(GetPrintJobDriver());
  SetPrintJobDriver(&driver);
  for (auto _ : state) {
    CZephDoc doc;
    if (doc.ReadDrawingFile(drawing, 0) == 0 || doc.GetItemCount() != 100000) {
      state.SkipWithError("the drawing was not read");
      break;
    }
    SetActivePrintDrawing(&doc);
    CPrintOnlyView view(&doc);
    if (!view.RunPrintJob(false)) {
      state.SkipWithError("the drawing was not printed");
      break;
    }
    SetActivePrintDrawing(nullptr);
  }
  SetPrintJobDriver(nullptr);
  DeletePrinterDC();
  zeph::SetPrinterSystem(nullptr);
}
BENCHMARK(OpenAndPrintLargeDrawingToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
