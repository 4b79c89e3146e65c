// Builds the symbol library that comes with the program: a few school symbols (circuit parts,
// laboratory and map symbols, geometry figures), each one named object of lines, arcs and
// circles, laid out on a grid and saved by the program's own drawing-file writer, so that the
// file is exactly what a user gets by drawing the symbols and saving them as a library.
//
//   zeph_symbolbuild <library.ZSY>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <numbers>
#include <vector>

#include "document/document.h"
#include "document/drawingfile.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/options.h"

namespace {

// Drawing units are micrometres; the symbols are designed in millimetres.
constexpr double kUnitsPerMm = 1000.0;
// Each symbol sits in a square cell of the library's grid, centred on the cell's middle.
constexpr double kCellMm = 45.0;
constexpr int kColumns = 3;

QTextStream& Err() {
  static QTextStream err(stderr);
  return err;
}

int Units(double mm) { return static_cast<int>(std::lround(mm * kUnitsPerMm)); }

// One symbol being drawn: its items take its object number and are placed about its centre.
class CSymbol {
 public:
  CSymbol(CZephDoc& doc, int object, double cx, double cy)
      : m_doc(doc), m_object(object), m_cx(cx), m_cy(cy) {}

  void Line(double x1, double y1, double x2, double y2) {
    DrawItemPtr item = CreateItem(kItemLine);
    item->SetStart(X(x1), Y(y1));
    item->SetEnd(X(x2), Y(y2));
    item->SetLineStyle(kLineStyleUnbroken);
    Add(item);
  }
  // A run of joined lines through the points (x, y pairs).
  void Lines(std::initializer_list<double> points) {
    const std::vector<double> p(points);
    for (std::size_t i = 2; i + 1 < p.size(); i += 2) Line(p[i - 2], p[i - 1], p[i], p[i + 1]);
  }
  void Circle(double x, double y, double radius) {
    DrawItemPtr item = CreateItem(kItemCircle);
    item->SetCentre(X(x), Y(y));
    item->SetRadius(Units(radius));
    Add(item);
  }
  // An arc about (x, y) counter-clockwise from the angle `from` to the angle `to` (degrees).
  void Arc(double x, double y, double radius, double from, double to) {
    const double a = from * std::numbers::pi / 180.0;
    const double b = to * std::numbers::pi / 180.0;
    DrawItemPtr item = CreateItem(kItemArc);
    item->SetStart(X(x + radius * std::cos(a)), Y(y + radius * std::sin(a)));
    item->SetEnd(X(x + radius * std::cos(b)), Y(y + radius * std::sin(b)));
    item->SetAngle(b - a);
    item->Recalculate();
    Add(item);
  }
  bool Ok() const { return m_ok; }

 private:
  int X(double mm) const { return Units(m_cx + mm); }
  int Y(double mm) const { return Units(m_cy + mm); }
  void Add(DrawItemPtr& item) {
    item->SetColour(0);
    item->SetObjectNumber(static_cast<std::int16_t>(m_object));
    if (m_doc.AddItem(item) != 1) m_ok = false;
  }

  CZephDoc& m_doc;
  int m_object;
  double m_cx;
  double m_cy;
  bool m_ok = true;
};

using Drawer = void (*)(CSymbol& s);

struct SymbolDefinition {
  const char* name;  // the object's name, at most 16 characters
  Drawer draw;
};

// Every symbol is drawn about (0, 0) within about 16 mm of it, in millimetres.
const SymbolDefinition kSymbols[] = {
    {"Cell",
     [](CSymbol& s) {
       s.Line(-16, 0, -2, 0);
       s.Line(2, 0, 16, 0);
       s.Line(-2, -8, -2, 8);
       s.Line(2, -4, 2, 4);
     }},
    {"Lamp",
     [](CSymbol& s) {
       s.Line(-16, 0, -7, 0);
       s.Line(7, 0, 16, 0);
       s.Circle(0, 0, 7);
       s.Line(-4.95, -4.95, 4.95, 4.95);
       s.Line(-4.95, 4.95, 4.95, -4.95);
     }},
    {"Resistor",
     [](CSymbol& s) {
       s.Line(-16, 0, -8, 0);
       s.Line(8, 0, 16, 0);
       s.Lines({-8, -3, 8, -3, 8, 3, -8, 3, -8, -3});
     }},
    {"Switch",
     [](CSymbol& s) {
       s.Line(-16, 0, -7, 0);
       s.Circle(-6, 0, 1);
       s.Line(-5.3, 0.7, 6, 7);
       s.Circle(6, 0, 1);
       s.Line(7, 0, 16, 0);
     }},
    {"Beaker",
     [](CSymbol& s) {
       s.Lines({-10, 13, -8, 11, -8, -11, 8, -11, 8, 11, 10, 13});
       s.Line(-8, -4, -4, -4);
       s.Line(-8, 3, -4, 3);
     }},
    {"North arrow",
     [](CSymbol& s) {
       s.Line(0, -14, 0, 10);
       s.Lines({-5, 2, 0, 10, 5, 2});
       s.Lines({-3, 12, -3, 18, 3, 12, 3, 18});
     }},
    {"Tree",
     [](CSymbol& s) {
       s.Circle(0, 4, 8);
       s.Line(0, -4, 0, -12);
       s.Line(-3, -12, 3, -12);
     }},
    {"Protractor",
     [](CSymbol& s) {
       s.Line(-14, 0, 14, 0);
       s.Arc(0, 0, 14, 0, 180);
       for (int degrees = 30; degrees < 180; degrees += 30) {
         const double a = degrees * std::numbers::pi / 180.0;
         s.Line(11 * std::cos(a), 11 * std::sin(a), 14 * std::cos(a), 14 * std::sin(a));
       }
       s.Line(0, 0, 0, 2);
     }},
    {"Right triangle",
     [](CSymbol& s) {
       s.Lines({-10, -8, 10, -8, -10, 8, -10, -8});
       s.Lines({-10, -5, -7, -5, -7, -8});
     }},
};

int Build(const QString& outputPath) {
  ApplyOptionDefaults();
  CZephDoc doc;
  int object = 1;
  int index = 0;
  for (const SymbolDefinition& symbol : kSymbols) {
    const int column = index % kColumns;
    const int row = index / kColumns;
    CSymbol s(doc, object, column * kCellMm, -row * kCellMm);
    symbol.draw(s);
    if (!s.Ok() || doc.SetObjectName(object, QString::fromLatin1(symbol.name)) != 1) {
      Err() << "cannot draw the symbol " << symbol.name << Qt::endl;
      return 1;
    }
    ++object;
    ++index;
  }
  // Written beside nothing, so that no backup of an earlier library is made; then put in place.
  QTemporaryDir folder;
  if (!folder.isValid()) {
    Err() << "cannot make a temporary folder" << Qt::endl;
    return 1;
  }
  const QString written = folder.filePath(QStringLiteral("library.zsy"));
  doc.WriteDrawingFile(written);
  if (g_fileStatus != kFileOk) {
    Err() << "cannot write the library (file status " << g_fileStatus << ")" << Qt::endl;
    return 1;
  }
  QDir().mkpath(QFileInfo(outputPath).absolutePath());
  QFile::remove(outputPath);
  if (!QFile::copy(written, outputPath)) {
    Err() << "cannot write " << outputPath << Qt::endl;
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    Err() << "usage: zeph_symbolbuild <library.ZSY>" << Qt::endl;
    return 2;
  }
  // Reports of the writer go to a folder of their own, never into the user's folders.
  QTemporaryDir reports;
  const QString reportFolder = reports.path();
  GetLogHooks().roamingDataFolder = [reportFolder] { return reportFolder; };
  GetLogHooks().myDocumentsFolder = [reportFolder] { return reportFolder; };
  return Build(args[1]);
}
