// The program as a user meets it: start-up until the start screen is painted, a large drawing
// (60,000 lines and 40,000 circles) opened and printed to a PDF file, and the printed page
// shown by a PDF viewer.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "controls/dialogplus.h"
#include "document/document.h"
#include "editor/zephview.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "platform/pdfwriter.h"
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

// ---- The printed page in a PDF viewer ----
// The 100,000-item drawing printed to PDF, rendered by pdftoppm at 50 dots per inch, against
// the same page's geometry written as plain strokes by our own writer (the default line
// width, caps and joins, no end-pixel squares), and variants that each change one thing, to
// show where the viewer spends its time. Every round renders each page once, in turn; the time
// is the viewer's processor time.

// The content of the PDF file's page (its streams inflated and joined) and its size in points.
struct PdfPage {
  std::string content;
  double width = 0;
  double height = 0;
};

std::optional<PdfPage> ReadPdfPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray pdf = file.readAll();
  PdfPage page;
  const qsizetype box = pdf.indexOf("/MediaBox [");
  if (box < 0) return std::nullopt;
  const QList<QByteArray> numbers =
      pdf.mid(box + 11, pdf.indexOf(']', box) - box - 11).simplified().split(' ');
  if (numbers.size() != 4) return std::nullopt;
  page.width = numbers[2].toDouble();
  page.height = numbers[3].toDouble();
  const QByteArray marker = " /Filter /FlateDecode >>\nstream\n";
  for (qsizetype at = pdf.indexOf(marker); at >= 0; at = pdf.indexOf(marker, at + 1)) {
    const qsizetype length = pdf.lastIndexOf("/Length ", at);
    const qsizetype size = pdf.mid(length + 8, at - length - 8).toLongLong();
    // qUncompress wants the size in front, as a hint it grows from.
    QByteArray packed = pdf.mid(at + marker.size(), size);
    const auto hint = static_cast<quint32>(packed.size()) * 16;
    packed.prepend(static_cast<char>(hint & 0xFF));
    packed.prepend(static_cast<char>((hint >> 8) & 0xFF));
    packed.prepend(static_cast<char>((hint >> 16) & 0xFF));
    packed.prepend(static_cast<char>((hint >> 24) & 0xFF));
    const QByteArray content = qUncompress(packed);
    if (content.isEmpty()) return std::nullopt;
    page.content.append(content.constData(), static_cast<std::size_t>(content.size()));
  }
  return page;
}

// The content with its lines changed: keep(line, next) says whether a line stays (next is the
// line after it) and may rewrite it.
template <typename Keep>
std::string Rewritten(const std::string& content, Keep keep) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    const std::size_t stop = end == std::string::npos ? content.size() : end;
    lines.push_back(content.substr(start, stop - start));
    start = stop + 1;
  }
  std::string out;
  out.reserve(content.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    const std::string next = i + 1 < lines.size() ? lines[i + 1] : std::string();
    if (!keep(line, next)) continue;
    out += line;
    out += '\n';
  }
  return out;
}

bool EndsWith(const std::string& text, const char* end) {
  const std::size_t n = std::strlen(end);
  return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

// A pixel set on its own: "x y 1 1 re" and its "f" on the next line.
bool IsPixelSquare(const std::string& line, const std::string& next) {
  return EndsWith(line, " 1 1 re") && next == "f";
}

// A line width, cap or join setting ("2 w", "1 J", "1 j").
bool IsSetting(const std::string& line, char op) {
  return line.size() >= 3 && line.back() == op && line[line.size() - 2] == ' ' &&
         line.find(' ') == line.size() - 2;
}

struct PageVariant {
  const char* name;
  std::string content;
  QString path;
  double seconds = 0;
};

std::vector<PageVariant> VariantsOf(const std::string& printed) {
  bool droppingSquare = false;
  auto withoutSquares = [&](std::string& line, const std::string& next) {
    if (droppingSquare) {  // the square's "f"
      droppingSquare = false;
      return false;
    }
    droppingSquare = IsPixelSquare(line, next);
    return !droppingSquare;
  };
  auto set = [](char op, const char* value) {
    return [op, value](std::string& line, const std::string&) {
      if (IsSetting(line, op)) line = std::string(value) + ' ' + op;
      return true;
    };
  };
  std::vector<PageVariant> variants;
  variants.push_back({"printed", printed, {}});
  const std::string noSquares = Rewritten(printed, withoutSquares);
  variants.push_back({"plain",
                      Rewritten(noSquares,
                                [](std::string& line, const std::string&) {
                                  return !IsSetting(line, 'w') && !IsSetting(line, 'J') &&
                                         !IsSetting(line, 'j');
                                }),
                      {}});
  variants.push_back({"no_squares", noSquares, {}});
  variants.push_back({"butt_caps", Rewritten(printed, set('J', "0")), {}});
  variants.push_back({"width_1", Rewritten(printed, set('w', "1")), {}});
  variants.push_back({"hairlines", Rewritten(printed, set('w', "0")), {}});
  return variants;
}

// The processor time of the finished child processes, in seconds.
double ChildrenSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void PrintedPageInTheViewer(benchmark::State& state) {
  const QString viewer = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (viewer.isEmpty()) {
    state.SkipWithError("pdftoppm is not installed");
    return;
  }
  const QString drawing = LargeDrawing();
  if (drawing.isEmpty()) {
    state.SkipWithError("the drawing was not written");
    return;
  }
  const QString printedPath = Home().filePath(QStringLiteral("viewer.pdf"));
  {
    zeph::CQtPrinterSystem printers(printedPath);
    zeph::SetPrinterSystem(&printers);
    CDirectPrintDriver driver(GetPrintJobDriver());
    SetPrintJobDriver(&driver);
    CZephDoc doc;
    const bool printed = ReadLarge(doc, drawing, state) && PrintLarge(doc, state);
    SetPrintJobDriver(nullptr);
    DeletePrinterDC();
    zeph::SetPrinterSystem(nullptr);
    if (!printed) return;
  }
  const std::optional<PdfPage> page = ReadPdfPage(printedPath);
  if (!page.has_value()) {
    state.SkipWithError("the printed page could not be read");
    return;
  }
  std::vector<PageVariant> variants = VariantsOf(page->content);
  for (PageVariant& v : variants) {
    v.path = Home().filePath(QStringLiteral("viewer-%1.pdf").arg(QString::fromLatin1(v.name)));
    zeph::CPdfWriter writer;
    if (!writer.Open(v.path, QString())) {
      state.SkipWithError("a page could not be written");
      return;
    }
    writer.BeginPage(page->width, page->height);
    writer.Content() = v.content;
    if (!writer.Finish()) {
      state.SkipWithError("a page could not be written");
      return;
    }
  }
  const QString shown = Home().filePath(QStringLiteral("shown"));
  for (auto _ : state) {
    for (PageVariant& v : variants) {
      const std::string command = "'" + viewer.toStdString() + "' -r 50 -png '" +
                                  v.path.toStdString() + "' '" + shown.toStdString() + "'";
      const double before = ChildrenSeconds();
      if (std::system(command.c_str()) != 0) {
        state.SkipWithError("pdftoppm failed");
        return;
      }
      v.seconds += ChildrenSeconds() - before;
    }
  }
  const auto rounds = static_cast<double>(state.iterations());
  for (const PageVariant& v : variants) {
    state.counters[std::string(v.name) + "_ms"] = v.seconds * 1000 / rounds;
  }
  state.counters["ratio"] = variants[1].seconds > 0 ? variants[0].seconds / variants[1].seconds : 0;
}
BENCHMARK(PrintedPageInTheViewer)->Unit(benchmark::kMillisecond)->Iterations(3);

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
