#pragma once
// What the drawing-file tests share: a folder of their own, the fixture files, a text
// measurer with fixed metrics, a spell checker on demand, a full description of a drawing
// (every value a file holds), and random drawings of every item kind.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "doc_fixture.h"
#include "document/drawingfile.h"
#include "items/boundaryloop.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/hatch.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/textfile.h"

// One pixel per character: the width of old texts follows from their length alone.
class CFixedMeasurer final : public IOldTextMeasurer {
 public:
  int MeasureTextWidth(const CFontSpec& font, const QString& text) override {
    ++calls;
    lastWidthPercent = font.GetWidthPercent();
    return static_cast<int>(text.size()) * pixelsPerCharacter;
  }
  int pixelsPerCharacter = 1;
  int calls = 0;
  int lastWidthPercent = 0;
};

inline QString FixturePath(const char* name) {
  return QStringLiteral(ZEPH_TEST_DATA_DIR "/drawings/") + QString::fromLatin1(name);
}

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

inline bool PutFileBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(bytes) == bytes.size();
}

inline QByteArray Lines(std::initializer_list<const char*> lines) {
  QByteArray bytes;
  for (const char* line : lines) bytes += QByteArray(line) + "\r\n";
  return bytes;
}

inline std::string Number(double v) { return QString::number(v, 'g', 17).toStdString(); }

inline std::string DumpFont(const CFontSpec* font) {
  if (font == nullptr) return "nofont";
  return font->GetFaceName().toStdString() + "/" + std::to_string(font->GetSize()) + "/" +
         std::to_string(font->GetWidthPercent()) + "/" + std::to_string(font->IsBold()) +
         std::to_string(font->IsItalic());
}

inline std::string DumpLoop(const CBoundaryLoop* loop) {
  if (loop == nullptr) return " noloop";
  std::string s = " loop" + std::to_string(loop->GetCount());
  for (int i = 0; i < loop->GetCount(); ++i) {
    const CFloodEdge* e = loop->GetEdge(i);
    s += " [" + std::to_string(e->GetKind()) + " " + std::to_string(e->GetStartX()) + "," +
         std::to_string(e->GetStartY()) + "-" + std::to_string(e->GetEndX()) + "," +
         std::to_string(e->GetEndY());
    double a = 0, b = 0, c = 0;
    switch (e->GetKind()) {
      case 1: {
        const int d = e->GetArc(a, b, c);
        s += " " + Number(a) + " " + Number(b) + " " + Number(c) + " " + std::to_string(d);
        break;
      }
      case 2: {
        const int d = e->GetEllipseCentre(a, b);
        s += " " + Number(a) + " " + Number(b) + " " + std::to_string(d);
        e->GetEllipseShape(a, b, c);
        s += " " + Number(a) + " " + Number(b) + " " + Number(c);
        break;
      }
      case 3: {
        int x = 0, y = 0;
        e->GetCurveStart(x, y);
        s += " " + std::to_string(x) + "," + std::to_string(y);
        e->GetCurveEnd(x, y);
        s += " " + std::to_string(x) + "," + std::to_string(y);
        for (std::int16_t k = 0; k < 2; ++k) {
          e->GetControlPoint(k, a, b);
          s += " " + Number(a) + "," + Number(b);
        }
        break;
      }
      default:
        break;
    }
    s += "]";
  }
  return s;
}

// Every value of an item that a drawing file holds.
inline std::string DumpItem(const CDrawItem* item) {
  std::string s;
  {
    const int type = item->GetType();
    s += std::to_string(type) + " c" + std::to_string(item->GetColour()) + " g" +
         std::to_string(item->GetGroupNumber()) + " o" + std::to_string(item->GetObjectNumber());
    int x = 0, y = 0, a = 0, b = 0;
    double dx = 0, dy = 0;
    switch (type) {
      case kItemLine:
      case kItemArc:
      case kItemBezier:
      case kItemEllipseArc:
      case kItemDimension:
        item->GetStart(x, y);
        item->GetEnd(a, b);
        s += " " + std::to_string(x) + "," + std::to_string(y) + "-" + std::to_string(a) + "," +
             std::to_string(b);
        break;
      default:
        break;
    }
    switch (type) {
      case kItemLine:
        s += " st" + std::to_string(item->GetLineStyle()) + " w" +
             std::to_string(item->GetPenWidth());
        break;
      case kItemArc:
        s += " a" + Number(item->GetAngle()) + " w" + std::to_string(item->GetPenWidth());
        break;
      case kItemCircle:
        item->GetCentre(x, y);
        s += " " + std::to_string(x) + "," + std::to_string(y) + " r" +
             std::to_string(item->GetRadius()) + " w" + std::to_string(item->GetPenWidth());
        break;
      case kItemEllipse:
        item->GetCentre(x, y);
        item->GetSemiAxes(a, b);
        s += " " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(a) + "," +
             std::to_string(b) + " " + Number(item->GetRotation()) + " w" +
             std::to_string(item->GetPenWidth());
        break;
      case kItemEllipseArc:
        item->GetCentreExact(dx, dy);
        s += " " + Number(dx) + "," + Number(dy);
        item->GetRadii(dx, dy);
        s += " " + Number(dx) + "," + Number(dy) + " " + Number(item->GetRotation()) + " w" +
             std::to_string(item->GetPenWidth());
        break;
      case kItemBezier:
        for (int k = 0; k < 2; ++k) {
          item->GetControlPoint(k, dx, dy);
          s += " " + Number(dx) + "," + Number(dy);
        }
        s += " w" + std::to_string(item->GetPenWidth());
        break;
      case kItemText:
        item->GetPosition(x, y);
        s += " " + std::to_string(x) + "," + std::to_string(y) + " '" +
             item->GetText().toStdString() + "' " + DumpFont(item->GetFont()) + " " +
             Number(item->GetTextAngle()) + " " + Number(item->GetTextParameter()) + " t" +
             std::to_string(item->GetTextTag());
        break;
      case kItemDimension:
        s += " " + std::to_string(item->GetOffset()) + " " + std::to_string(item->GetArrowSize()) +
             " " + std::to_string(item->GetExtensionGap()) + " " +
             std::to_string(item->GetExtension()) + " " + DumpFont(item->GetFont()) + " " +
             std::to_string(item->GetDimensionType()) + std::to_string(item->GetLineEnds()) +
             std::to_string(item->GetTextAngleMode()) + std::to_string(item->GetTextPosition()) +
             std::to_string(item->GetUnits()) + std::to_string(item->GetDecimals());
        break;
      case kItemFill: {
        s += " f" + std::to_string(item->GetFillStyle());
        if (const CHatchPattern* p = item->GetHatchPattern()) {
          s += " h" + std::to_string(p->GetNumber());
          for (int k = 0; k < p->GetLineCount(); ++k) {
            const CHatchLine* l = p->GetLine(k);
            s += " (" + Number(l->GetSpacing()) + " " + Number(l->GetAngle()) + " " +
                 Number(l->GetOriginX()) + " " + Number(l->GetOriginY()) + " " +
                 Number(l->GetStagger());
            for (int d = 0; d < l->GetDashCount(); ++d) s += " " + Number(l->GetDash(d));
            s += ")";
          }
        }
        s += DumpLoop(item->GetBoundary());
        for (int k = 0; k < item->GetHoleCount(); ++k) s += DumpLoop(item->GetHole(k));
        break;
      }
      default:
        break;
    }
    s += "\n";
  }
  return s;
}

inline std::string DumpNames(const CZephDoc& doc) {
  std::string s;
  for (int i = 0; i < doc.GetNameCount(); ++i) {
    s += "name " + std::to_string(doc.GetNameNumberAt(i)) + " " + doc.GetNameAt(i).toStdString() +
         "\n";
  }
  return s;
}

// Every item in list order, then the names.
inline std::string DumpDrawing(const CZephDoc& doc) {
  std::string s;
  for (int i = 0; i < doc.GetItemCount(); ++i) s += DumpItem(doc.GetItem(i));
  return s + DumpNames(doc);
}

// The same in the order a file holds the items: kind by kind, each kind in list order.
inline std::string DumpInFileOrder(const CZephDoc& doc) {
  std::string s;
  for (int type : {kItemBezier, kItemFill, kItemLine, kItemArc, kItemCircle, kItemText,
                   kItemEllipse, kItemEllipseArc, kItemDimension}) {
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      if (doc.GetItem(i)->GetType() == type) s += DumpItem(doc.GetItem(i));
    }
  }
  return s + DumpNames(doc);
}

inline int CountOfType(const CZephDoc& doc, int type) {
  int n = 0;
  for (int i = 0; i < doc.GetItemCount(); ++i) n += doc.GetItem(i)->GetType() == type ? 1 : 0;
  return n;
}

inline const CDrawItem* FirstOfType(const CZephDoc& doc, int type, int skip = 0) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    if (doc.GetItem(i)->GetType() == type && skip-- == 0) return doc.GetItem(i);
  }
  return nullptr;
}

// Valid items of every kind with random values.
class CRandomDrawing {
 public:
  explicit CRandomDrawing(unsigned seed) : m_random(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
  int Coordinate(int limit) { return Pick(2 * limit + 1) - limit; }
  // A value the file holds exactly: twelve significant digits survive its fifteen.
  double Real(double limit) {
    double v = std::uniform_real_distribution<double>(-limit, limit)(m_random);
    RoundToSignificantDigits(v, 12);
    return v;
  }
  static double Exact(double v) {
    RoundToSignificantDigits(v, 12);
    return v;
  }
  int Colour() { return 33554432 + Pick(1 << 24); }

  QString Text() {
    static const char16_t kChars[] = u"abcXYZ 09.,;-'\u00e9\u00df\u20ac\u4e2d";
    QString text;
    const int n = 1 + Pick(20);
    for (int i = 0; i < n; ++i) text += QChar(kChars[Pick(static_cast<int>(std::size(kChars)) - 1)]);
    return text;
  }

  CFontSpec Font() {
    static const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New"};
    CFontSpec font;
    font.Set(QString::fromLatin1(kFaces[Pick(3)]), static_cast<std::int16_t>(4 + Pick(60)),
             Pick(2) == 1, Pick(2) == 1);
    font.SetWidthPercent(static_cast<std::int16_t>(10 + Pick(300)));
    return font;
  }

  void Base(CDrawItem& item) {
    item.SetColour(Colour());
    item.SetObjectNumber(static_cast<std::int16_t>(1 + Pick(Pick(2) == 0 ? 5 : 30000)));
    item.SetGroupNumber(Pick(3) == 0 ? 0 : 1 + Pick(100000));
    item.SetPenWidth(1 + Pick(9));
  }

  std::unique_ptr<CBoundaryLoop> Loop(int x, int y, int size) {
    auto loop = std::make_unique<CBoundaryLoop>();
    const int n = 3 + Pick(4);
    for (int i = 0; i < n; ++i) {
      const double t0 = 2 * kPi * i / n;
      const double t1 = 2 * kPi * (i + 1) / n;
      const int x0 = x + static_cast<int>(size * std::cos(t0));
      const int y0 = y + static_cast<int>(size * std::sin(t0));
      const int x1 = x + static_cast<int>(size * std::cos(t1));
      const int y1 = y + static_cast<int>(size * std::sin(t1));
      std::unique_ptr<CFloodEdge> edge;
      switch (Pick(4)) {
        case 1: {
          auto arc = std::make_unique<CArcEdge>();
          arc->SetArcCentre(x + 0.5, y - 0.25);
          arc->SetRadius(size * 1.0);
          arc->SetDirection(static_cast<std::int16_t>(Pick(2)));
          edge = std::move(arc);
          break;
        }
        case 2: {
          auto ellipse = std::make_unique<CEllipseEdge>();
          ellipse->SetEllipseCentre(Exact(x + Real(10)), Exact(y + Real(10)));
          ellipse->SetRadii(size * 1.0, size * 0.5);
          ellipse->SetRotation(Real(3));
          ellipse->SetDirection(static_cast<std::int16_t>(Pick(2)));
          edge = std::move(ellipse);
          break;
        }
        case 3: {
          auto curve = std::make_unique<CBezierEdge>();
          curve->SetCurveStart(x0, y0);
          curve->SetCurveEnd(x1, y1);
          curve->SetControlPoint(0, Exact(x0 + Real(1000)), Exact(y0 + Real(1000)));
          curve->SetControlPoint(1, Exact(x1 + Real(1000)), Exact(y1 + Real(1000)));
          edge = std::move(curve);
          break;
        }
        default:
          edge = std::make_unique<CLineEdge>();
          break;
      }
      edge->SetStart(x0, y0);
      edge->SetEnd(x1, y1);
      loop->Append(std::move(edge));
    }
    return loop;
  }

  DrawItemPtr Item(int type) {
    DrawItemPtr item = CreateItem(type);
    const int x = Coordinate(20000000);
    const int y = Coordinate(10000000);
    switch (type) {
      case kItemLine:
        item->SetStart(x, y);
        item->SetEnd(x + 1 + Pick(100000), y + Coordinate(100000));
        item->SetLineStyle(static_cast<std::uint8_t>(1 + Pick(6)));
        break;
      case kItemArc:
        item->SetStart(x, y);
        item->SetEnd(x + 1000 + Pick(100000), y + Coordinate(100000));
        item->SetAngle(Exact(0.1 + Pick(6000) / 1000.0));
        break;
      case kItemCircle:
        item->SetCentre(x, y);
        item->SetRadius(1 + Pick(1000000));
        break;
      case kItemEllipse:
        item->SetCentre(x, y);
        item->SetSemiAxes(1 + Pick(100000), 1 + Pick(100000));
        item->SetRotation(Real(3.1));
        break;
      case kItemEllipseArc:
        item->SetStart(x, y);
        item->SetEnd(x + 1000 + Pick(10000), y + Coordinate(10000));
        item->SetCentreExact(Exact(x + Real(5000)), Exact(y + Real(5000)));
        item->SetRadii(Exact(1000 + Real(900)), Exact(2000 + Real(900)));
        item->SetRotation(Real(3.1));
        break;
      case kItemBezier:
        item->SetStart(x, y);
        item->SetEnd(x + 1 + Pick(100000), y + Coordinate(100000));
        item->SetControlPoint(0, Exact(x + Real(50000)), Exact(y + Real(50000)));
        item->SetControlPoint(1, Exact(x + Real(50000)), Exact(y + Real(50000)));
        break;
      case kItemText:
        item->SetPosition(x, y);
        item->SetText(Text());
        item->SetFont(Font());
        item->SetTextAngle(Real(3.1));
        item->SetTextParameter(Pick(2) == 0 ? 0.0 : Real(100));
        item->SetTextTag(Pick(2) == 0 ? -1 : Pick(1 << 24));
        break;
      case kItemDimension:
        item->SetStart(x, y);
        item->SetEnd(x + 1 + Pick(100000), y + Coordinate(100000));
        item->SetOffset(Coordinate(10000));
        item->SetArrowSize(Pick(5000));
        item->SetExtensionGap(Pick(5000));
        item->SetExtension(Pick(5000));
        item->SetFont(Font());
        item->SetDimensionType(static_cast<std::uint8_t>(Pick(3)));
        item->SetLineEnds(static_cast<std::uint8_t>(Pick(5)));
        item->SetTextAngleMode(static_cast<std::uint8_t>(Pick(2)));
        item->SetTextPosition(static_cast<std::uint8_t>(Pick(3)));
        item->SetUnits(static_cast<std::uint8_t>(Pick(6)));
        item->SetDecimals(static_cast<std::uint8_t>(Pick(6)));
        break;
      case kItemFill: {
        const int size = 1000 + Pick(100000);
        item->AttachBoundary(Loop(x, y, size));
        const int holes = Pick(3);
        for (int h = 0; h < holes; ++h) item->AddHole(Loop(x, y, size / (h + 2)));
        item->SetFillStyle(Pick(3));
        if (Pick(3) != 0) {
          auto pattern = std::make_unique<CHatchPattern>();
          const int families = 1 + Pick(3);
          for (int f = 0; f < families; ++f) {
            auto line = std::make_unique<CHatchLine>();
            line->SetAngle(std::fabs(Real(6.2)));
            line->SetSpacing(100 + Pick(10000));
            line->SetOrigin(Real(10000), Real(10000));
            line->SetStagger(Real(1000));
            if (Pick(2) == 0) line->SetDashes(1 + Pick(5000), -Pick(5000));
            pattern->AddLine(std::move(line));
          }
          item->AttachHatchPattern(std::move(pattern));
        }
        break;
      }
      default:
        break;
    }
    if (type != kItemText) Base(*item);
    if (type == kItemText) {
      item->SetColour(Colour());
      item->SetObjectNumber(static_cast<std::int16_t>(1 + Pick(30000)));
      item->SetGroupNumber(Pick(1000));
    }
    return item;
  }

  // count valid items of random kinds (or of every kind in turn when mixed is false).
  void Fill(CZephDoc& doc, int count) {
    doc.EnableUndo(0);
    for (int added = 0, guard = 0; added < count && guard < 100 * count; ++guard) {
      DrawItemPtr item = Item(Pick(kItemTypeCount));
      if (doc.AddItem(item) == 1) ++added;
    }
    static const char* const kNames[] = {"Wall", "Roof 2", "door", "Garden shed", "Gate"};
    for (int i = 0; i < 3; ++i) {
      doc.SetObjectName(1 + Pick(30000), QString::fromLatin1(kNames[Pick(5)]));
    }
    doc.EnableUndo(1);
  }

 private:
  std::mt19937 m_random;
};

// A folder of its own, a fixed measurer, the options at their defaults, nothing from a
// previous test.
class DrawingFileTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ASSERT_TRUE(m_folder.isValid());
    ResetFileStatus();
    ApplyOptionDefaults();
    SetOldTextMeasurer(&measurer);
    SetSaveFaultForTest(0);
  }
  void TearDown() override {
    SetOldTextMeasurer(nullptr);
    SetLegacyConversionHook(nullptr);
    SetSaveFaultForTest(0);
    SetRecentColourHandler(nullptr);
    g_spellChecker.reset();
    ResetFileStatus();
    ClearOptionChangedFlags();
    ApplyOptionDefaults();
    DocumentTest::TearDown();
  }

  QString PathOf(const QString& name) const { return m_folder.filePath(name); }
  QString Folder() const { return m_folder.path(); }

  // A file of the folder holding the bytes.
  QString Put(const QString& name, const QByteArray& bytes) {
    const QString path = PathOf(name);
    EXPECT_TRUE(PutFileBytes(path, bytes));
    return path;
  }

  QStringList FolderEntries(const QString& folder) const {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
  }

  static void StartSpellChecker() { g_spellChecker = std::make_unique<CSpell>(); }

  CFixedMeasurer measurer;
  QTemporaryDir m_folder;
};
