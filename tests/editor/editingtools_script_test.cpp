// A small drawing built step by step with the editing tools through the editing view, as a user
// would with the mouse and the prompt buttons, and saved through the document's save path.
// Beside it the test makes the same drawing with plain item calls; after every step both are
// written out and must be the same file, byte for byte.
//
// Each step is one entry of Script(): `drive` works the view, `expect` makes the same change to
// the expected drawing with item calls, and `check` (optional) tests what leaves no trace in the
// file. A new tool joins by adding its entry; the drawing built so far is there to work on.
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <numbers>
#include <vector>

#include "controls/viewcontrols.h"
#include "document/drawingfile.h"
#include "editor/tickelements.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "items/drawitem.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

class EditingToolsScriptTest : public ViewTest {
 protected:
  struct ScriptStep {
    const char* name;
    std::function<void()> drive;
    std::function<void(CZephDoc&)> expect;
    std::function<void()> check;
  };

  void SetUp() override {
    ViewTest::SetUp();
    ResetToolParameters();
    InstallEditorPromptParts();
    g_appActive = 1;
    g_snapMode = kSnapNone;
    SetZoom(8, 20, 250);
    m_view->RedrawDrawing();
    ASSERT_TRUE(m_files.isValid());
    MakeSymbol();
    m_savedSymbolDoc = g_symbolDoc;
    g_symbolDoc = &m_symbol;
  }
  void TearDown() override {
    g_symbolDoc = m_savedSymbolDoc;
    Drawing().EndBreakOffer();
    CZephDoc::FreeSplitPieces();
    SetPromptHandlers(nullptr);
    SetObjectListFactory(nullptr);
    ViewTest::TearDown();
    ResetToolParameters();
  }

  int Scale() const { return Mapping().scaleX; }
  // The drawing point under a pixel of the drawing window.
  DrawingPoint At(QPoint p) const {
    return {Mapping().DeviceToDrawingX(p.x()), Mapping().DeviceToDrawingY(p.y(), 0)};
  }

  // ---- The user's side ----
  void Use(int tool, int subMode = -1) {
    m_view->SelectTool(tool, subMode);
    ASSERT_EQ(g_currentTool, tool);
  }
  void Click(QPoint p) {
    QTest::mouseMove(&Drawing(), p);
    QTest::mouseClick(&Drawing(), Qt::LeftButton, {}, p);
  }
  // A chain of lines with the New line tool, through the points in turn.
  void DrawChain(std::initializer_list<QPoint> points) {
    Use(kToolNewLine);
    for (const QPoint& p : points) Click(p);
  }
  void PressPromptButton(int id) {
    zeph::CViewButton* button = m_view->GetPromptButton(id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  // ---- The item calls' side ----
  // A line as the Line tool makes it with the values bar as it is.
  static void AddLine(CZephDoc& doc, DrawingPoint a, DrawingPoint b) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(a.x, a.y);
    line->SetEnd(b.x, b.y);
    line->SetColour(g_drawingColour);
    line->SetLineStyle(g_lineStyle);
    line->SetObjectNumber(g_currentObject);
    line->SetPenWidth(1);
    ASSERT_EQ(doc.AddItem(line), 1);
  }
  static void AddChain(CZephDoc& doc, const std::vector<DrawingPoint>& points) {
    for (std::size_t i = 1; i < points.size(); ++i) AddLine(doc, points[i - 1], points[i]);
  }

  // The symbol: a plain line and a two-line shape, away from the symbol's origin.
  void MakeSymbol() {
    const int s = Scale();
    DrawItemPtr plain = CreateItem(kItemLine);
    plain->SetStart(5 * s, 0);
    plain->SetEnd(25 * s, 0);
    plain->SetColour(0x00FF0000);
    plain->SetLineStyle(kLineStyleUnbroken);
    plain->SetPenWidth(2);
    plain->SetObjectNumber(3);
    ASSERT_EQ(m_symbol.AddItem(plain), 1);
    for (int i = 0; i < 2; ++i) {
      DrawItemPtr side = CreateItem(kItemLine);
      side->SetStart(0, (5 + 5 * i) * s);
      side->SetEnd(20 * s, (5 + 5 * i) * s);
      side->SetLineStyle(kLineStyleSmallDash);
      side->SetPenWidth(1);
      side->SetGroupNumber(7);
      ASSERT_EQ(m_symbol.AddItem(side), 1);
    }
  }
  // The symbol inserted at p by item calls: fresh groups, the current object.
  void AddSymbolAt(CZephDoc& doc, DrawingPoint p) {
    int fresh = 0;
    for (int i = 0; i < m_symbol.GetItemCount(); ++i) {
      const CDrawItem* stored = m_symbol.GetItem(i);
      DrawItemPtr copy = CreateItem(stored->GetType());
      int x = 0;
      int y = 0;
      stored->GetStart(x, y);
      copy->SetStart(x + p.x, y + p.y);
      stored->GetEnd(x, y);
      copy->SetEnd(x + p.x, y + p.y);
      copy->SetColour(stored->GetColour());
      copy->SetLineStyle(stored->GetLineStyle());
      copy->SetPenWidth(stored->GetPenWidth());
      copy->SetObjectNumber(g_currentObject);
      if (stored->GetGroupNumber() != 0) {
        if (fresh == 0) fresh = doc.NewGroupNumber();
        copy->SetGroupNumber(fresh);
      }
      ASSERT_EQ(doc.AddItem(copy), 1);
    }
  }

  // ---- Files ----
  QByteArray Written(CZephDoc& doc, const QString& name) {
    const QString path = m_files.filePath(name);
    doc.WriteDrawingFile(path);
    EXPECT_EQ(g_fileStatus, kFileOk) << name.toStdString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
  }
  // Where two drawing files part: the first differing line of each, with its number.
  static std::string FirstDifference(const QByteArray& made, const QByteArray& expected) {
    const QList<QByteArray> a = made.split('\n');
    const QList<QByteArray> b = expected.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
      const QByteArray x = i < a.size() ? a[i].trimmed() : QByteArray("(end)");
      const QByteArray y = i < b.size() ? b[i].trimmed() : QByteArray("(end)");
      if (x != y) {
        return "line " + std::to_string(i + 1) + ": made \"" + x.toStdString() + "\", expected \"" +
               y.toStdString() + "\"";
      }
    }
    return "the same";
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
  }

  std::vector<ScriptStep> Script();

  CZephDoc m_symbol;
  CZephDoc* m_savedSymbolDoc = nullptr;
  CZephDoc m_expected;
  QTemporaryDir m_files;
};

std::vector<EditingToolsScriptTest::ScriptStep> EditingToolsScriptTest::Script() {
  const int s = Scale();
  // A corner: a line in from the left meeting one going up.
  const QPoint a(40, 150);
  const QPoint b(140, 150);
  const QPoint c(140, 70);
  // A line crossed by two upright lines, to be broken.
  const QPoint d(200, 200);
  const QPoint e(380, 200);
  const QPoint f1(240, 230);
  const QPoint f1End(240, 170);
  const QPoint f2(320, 230);
  const QPoint f2End(320, 170);
  // A line stopping short of an upright one, to be extended.
  const QPoint g(200, 100);
  const QPoint h(280, 100);
  const QPoint j(340, 130);
  const QPoint jEnd(340, 60);
  const double radius = 20.0 * s;

  return {
      {"Line: two lines meeting at a corner",
       [=, this] {
         DrawChain({a, b, c});
       },
       [=, this](CZephDoc& doc) {
         AddChain(doc, {At(a), At(b), At(c)});
       },
       {}},
      {"Corner: a sized fillet given up with Escape",
       [=, this] {
         Use(kToolCorner, 0);
         Click(b);
         ASSERT_EQ(Drawing().GetClickStep(), 3);
         QTest::mouseMove(&Drawing(), {120, 150});
         QTest::mousePress(&Drawing(), Qt::LeftButton, {}, {120, 150});
         QTest::mouseMove(&Drawing(), {110, 150});
         QTest::keyClick(m_view.get(), Qt::Key_Escape);
         QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, {110, 150});
       },
       [](CZephDoc&) {},
       [=, this] {
         EXPECT_EQ(Drawing().GetClickStep(), 0);
         EXPECT_EQ(m_doc.GetJournal().groupState, 0);
       }},
      {"Corner: a fixed fillet",
       [=, this] {
         g_filletRadiusSet = 1;
         g_filletRadius = radius;
         Use(kToolCorner, 0);
         Click(b);
       },
       [=, this](CZephDoc& doc) {
         // Both lines cut back by the radius; the arc joins the cut ends round the corner,
         // its centre inside it (drawing y grows upwards).
         const DrawingPoint k = At(b);
         const int r = static_cast<int>(radius);
         const DrawingPoint cut1{k.x - r, k.y};
         const DrawingPoint cut2{k.x, k.y + r};
         doc.GetItem(0)->SetEnd(cut1.x, cut1.y);
         doc.GetItem(1)->SetStart(cut2.x, cut2.y);
         DrawItemPtr arc = CreateItem(kItemArc);
         arc->SetStart(cut1.x, cut1.y);
         arc->SetEnd(cut2.x, cut2.y);
         arc->SetAngle(std::numbers::pi / 2.0);
         arc->Recalculate();
         double cx = 0.0;
         double cy = 0.0;
         double rr = 0.0;
         arc->GetCircle(cx, cy, rr);
         if (std::abs(cx - cut1.x) > 1.0 || std::abs(cy - cut2.y) > 1.0) {
           arc->Reverse();
           arc->Recalculate();
         }
         arc->SetColour(g_drawingColour);
         arc->SetObjectNumber(g_currentObject);
         arc->SetPenWidth(1);
         ASSERT_EQ(doc.AddItem(arc), 1);
       },
       [=, this] {
         g_filletRadiusSet = 0;
         EXPECT_EQ(Drawing().GetClickStep(), 0);
       }},
      {"Line: a line crossed by two others",
       [=, this] {
         DrawChain({d, e});
         DrawChain({f1, f1End});
         DrawChain({f2, f2End});
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(d), At(e));
         AddLine(doc, At(f1), At(f1End));
         AddLine(doc, At(f2), At(f2End));
       },
       {}},
      {"Break: the first of three pieces removed",
       [=, this] {
         Use(kToolBreak);
         Click({210, 200});
         ASSERT_EQ(Drawing().GetBreakPieceIndex(), 0);
         PressPromptButton(kIdPromptYes);
         PressPromptButton(kIdPromptNo);
         PressPromptButton(kIdPromptNo);
       },
       [=, this](CZephDoc& doc) {
         // What is left runs from the first crossing to the line's end.
         CDrawItem* line = doc.GetItem(3);
         line->SetStart(At(f1).x, At(d).y);
       },
       [=, this] { EXPECT_EQ(Drawing().GetBreakPieceIndex(), -1); }},
      {"Line and Extend: a line lengthened to the next one ahead",
       [=, this] {
         DrawChain({g, h});
         DrawChain({j, jEnd});
         Use(kToolExtend);
         Click({h.x() - 2, h.y()});
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(g), {At(j).x, At(g).y});
         AddLine(doc, At(j), At(jEnd));
       },
       [=, this] { EXPECT_TRUE(m_presenter.shown().empty()); }},
      {"Insert: the symbol twice",
       [=, this] {
         g_currentObject = 0;
         Use(kToolInsert);
         Click({60, 240});
         Click({100, 40});
       },
       [=, this](CZephDoc& doc) {
         AddSymbolAt(doc, At({60, 240}));
         AddSymbolAt(doc, At({100, 40}));
       },
       {}},
      {"Origin: the read-outs measured from a point",
       [=, this] {
         Use(kToolOrigin);
         Click({180, 120});
       },
       [](CZephDoc&) {},
       [=, this] {
         EXPECT_EQ(g_readoutOrigin.x, At({180, 120}).x);
         EXPECT_EQ(g_readoutOrigin.y, At({180, 120}).y);
       }},
  };
}

TEST_F(EditingToolsScriptTest, TheSavedDrawingIsTheOneMadeByItemCalls) {
  int index = 0;
  for (const ScriptStep& step : Script()) {
    SCOPED_TRACE(step.name);
    step.drive();
    step.expect(m_expected);
    if (step.check) step.check();
    ASSERT_FALSE(HasFailure());
    ++index;
    const QByteArray made = Written(m_doc, QStringLiteral("made%1.zpd").arg(index));
    const QByteArray expected = Written(m_expected, QStringLiteral("expected%1.zpd").arg(index));
    ASSERT_FALSE(made.isEmpty());
    ASSERT_TRUE(made == expected) << "after step " << index << ": " << step.name << ", "
                                  << FirstDifference(made, expected);
  }
  // The whole drawing saved as File > Save does.
  const QString path = m_files.filePath(QStringLiteral("drawing.zpd"));
  m_doc.SetFilePath(path);
  ASSERT_EQ(m_doc.SaveDrawing(0), 1);
  const QByteArray saved = Read(path);
  const QByteArray expected = Written(m_expected, QStringLiteral("expected.zpd"));
  EXPECT_TRUE(saved == expected) << FirstDifference(saved, expected);
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
}  // namespace zeph::testing
