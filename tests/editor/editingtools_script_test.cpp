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

#include "common/golden.h"
#include "controls/edits.h"
#include "controls/viewcontrols.h"
#include "document/drawingfile.h"
#include "editor/editingview.h"
#include "editor/tickelements.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "items/drawitem.h"
#include "items/transform.h"
#include "items/valuefields.h"
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
  // Press at from, drag to to, release there.
  void Drag(QPoint from, QPoint to) {
    QTest::mouseMove(&Drawing(), from);
    QTest::mousePress(&Drawing(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&Drawing(), to);
    QTest::mouseRelease(&Drawing(), Qt::LeftButton, {}, to);
  }
  // A value typed into the values bar's edit box for a field and applied, as Enter does.
  void TypeValue(int field, const QString& text) {
    m_view->SetOpenEditor(kValueEditorEdit, field);
    m_view->GetValueEdit()->SetWindowText(text);
    m_view->GetValueEdit()->show();
    ASSERT_EQ(m_view->ApplyValueEdit(), 1) << field;
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
  // The line of doc with these ends, in either order, allowing for a transform's rounding.
  static CDrawItem* FindLine(CZephDoc& doc, DrawingPoint a, DrawingPoint b) {
    const auto near = [](DrawingPoint p, DrawingPoint q) {
      return std::abs(p.x - q.x) <= 2 && std::abs(p.y - q.y) <= 2;
    };
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      CDrawItem* item = doc.GetItem(i);
      if (item->GetType() != kItemLine) continue;
      DrawingPoint s;
      DrawingPoint e;
      item->GetStart(s.x, s.y);
      item->GetEnd(e.x, e.y);
      if ((near(s, a) && near(e, b)) || (near(s, b) && near(e, a))) return item;
    }
    ADD_FAILURE() << "no line from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
    return nullptr;
  }
  static CDrawItem* Last(CZephDoc& doc) { return doc.GetItem(doc.GetItemCount() - 1); }
  // Copies of item added after the others, each the transform of the one before, as a
  // transform keeping its originals makes them.
  static void AddTransformedCopies(CZephDoc& doc, const CDrawItem* item, const CTransform& t,
                                   int count) {
    const CDrawItem* from = item;
    for (int i = 0; i < count; ++i) {
      DrawItemPtr copy = CreateItem(from->GetType());
      copy->CopyFrom(from);
      copy->Transform(t);
      CDrawItem* added = copy.get();
      ASSERT_EQ(doc.AddItem(copy), 1);
      from = added;
    }
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

  static inline const QString kGoldenFolder = QStringLiteral("editingtools");

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
  // A line to move, then to move one end of.
  const QPoint m1(420, 60);
  const QPoint m2(500, 60);
  // An upright line to copy in a row to the right.
  const QPoint c1(540, 20);
  const QPoint c2(540, 50);
  // A line turned about its start, one reflected, one enlarged and one stretched.
  const QPoint r1(420, 140);
  const QPoint r2(460, 140);
  const QPoint f3(480, 160);
  const QPoint f4(520, 200);
  const QPoint mirror(530, 180);
  const QPoint e1(420, 220);
  const QPoint e2(440, 220);
  const QPoint s1(480, 240);
  const QPoint s2(500, 260);
  // The middle of the fillet's arc, round the corner from its centre.
  const QPoint arcMiddle(134, 144);
  constexpr std::int32_t kNewColour = 0x020000FF;

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
      {"Line and Move: an item dragged by its middle",
       [=, this] {
         DrawChain({m1, m2});
         Use(kToolMove, 0);
         Drag({460, 60}, {460, 80});
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(m1), At(m2));
         const DrawingPoint from = At({460, 60});
         const DrawingPoint to = At({460, 80});
         Last(doc)->MoveBy(to.x - from.x, to.y - from.y);
       },
       [=, this] { EXPECT_EQ(Drawing().GetClickStep(), 0); }},
      {"Move points: a line's end chosen, then dragged",
       [=, this] {
         Use(kToolMove, 3);
         Click({500, 80});
         PressPromptButton(kIdPromptOK);
         ASSERT_EQ(g_moveDragging, 1);
         Drag({500, 80}, {520, 100});
       },
       [=, this](CZephDoc& doc) {
         CDrawItem* line = FindLine(doc, At({420, 80}), At({500, 80}));
         ASSERT_NE(line, nullptr);
         line->SetEnd(At({520, 100}).x, At({520, 100}).y);
       },
       {}},
      {"Line and Copy: a row of three copies",
       [=, this] {
         DrawChain({c1, c2});
         Use(kToolCopy);
         Click({540, 35});
         PressPromptButton(kIdPromptOK);
         ASSERT_EQ(g_copyPlacing, 1);
         g_actionCount = 3;
         Drag(c2, {c2.x() + 12, c2.y()});
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(c1), At(c2));
         const CDrawItem* source = Last(doc);
         const int step = At({c2.x() + 12, c2.y()}).x - At(c2).x;
         for (int k = 1; k <= 3; ++k) {
           DrawItemPtr copy = CreateItem(kItemLine);
           copy->CopyFrom(source);
           copy->MoveBy(k * step, 0);
           ASSERT_EQ(doc.AddItem(copy), 1);
         }
       },
       {}},
      {"Line and Rotate: three quarter turns keeping the original",
       [=, this] {
         DrawChain({r1, r2});
         Use(kToolRotate);
         g_rotateAngle = std::numbers::pi / 2.0;
         g_rotateAngleSet = 1;
         g_keepOriginals = 1;
         g_actionCount = 3;
         Click({440, 140});
         PressPromptButton(kIdPromptOK);
         Click(r1);
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(r1), At(r2));
         CTransform t;
         t.SetRotation(90.0, At(r1).x, At(r1).y);
         AddTransformedCopies(doc, Last(doc), t, 3);
       },
       [=, this] {
         g_keepOriginals = 0;
         EXPECT_EQ(Drawing().GetClickStep(), 0);
       }},
      {"Line and Reflect: in an upright mirror",
       [=, this] {
         DrawChain({f3, f4});
         Use(kToolReflect);
         g_reflectDirection = 0;
         g_actionCount = 1;
         Click({500, 180});
         PressPromptButton(kIdPromptOK);
         Click(mirror);
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(f3), At(f4));
         CTransform t;
         t.SetReflection(1, At(mirror).x);
         Last(doc)->Transform(t);
       },
       {}},
      {"Line and Enlarge: twice as long from its start",
       [=, this] {
         DrawChain({e1, e2});
         Use(kToolEnlarge);
         g_enlargeFactor = 2.0;
         g_enlargeFactorSet = 1;
         g_actionCount = 1;
         Click({430, 220});
         PressPromptButton(kIdPromptOK);
         Click(e1);
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(e1), At(e2));
         CTransform t;
         t.SetEnlargement(2.0, At(e1).x, At(e1).y);
         Last(doc)->Transform(t);
       },
       {}},
      {"Line and Stretch: twice as wide from an upright line",
       [=, this] {
         DrawChain({s1, s2});
         Use(kToolStretch);
         g_stretchFactor = 2.0;
         g_stretchFactorSet = 1;
         g_stretchDirection = 1;
         g_actionCount = 1;
         Click({490, 250});
         PressPromptButton(kIdPromptOK);
         Click(s1);
       },
       [=, this](CZephDoc& doc) {
         AddLine(doc, At(s1), At(s2));
         CTransform t;
         t.SetStretch(1, 2.0, At(s1).x);
         Last(doc)->Transform(t);
       },
       {}},
      {"Object: the enlarged line transferred to another object",
       [=, this] {
         Use(kToolObject, 2);
         Click({440, 220});
         g_objectChosen = 1;
         g_currentObject = 4;
         PressPromptButton(kIdPromptOK);
       },
       [=, this](CZephDoc& doc) {
         CDrawItem* line = FindLine(doc, At(e1), At({460, 220}));
         ASSERT_NE(line, nullptr);
         line->SetObjectNumber(4);
       },
       [=, this] {
         EXPECT_EQ(g_objectChosen, 0);
         g_currentObject = 0;
       }},
      {"Delete: the half-turned copy",
       [=, this] {
         Use(kToolDelete);
         Click({400, 140});
         PressPromptButton(kIdPromptOK);
       },
       [=, this](CZephDoc& doc) {
         CDrawItem* line = FindLine(doc, At(r1), At({380, 140}));
         ASSERT_NE(line, nullptr);
         ASSERT_EQ(doc.RemoveItem(line), 1);
       },
       {}},
      {"Colour: the stretched line recoloured",
       [=, this] {
         Use(kToolColour);
         Click({500, 250});
         ASSERT_EQ(g_recolourCount, 1);
         // What the values bar's colour field does with the colour picked.
         Drawing().RecolourChosen(static_cast<int>(kNewColour));
       },
       [=, this](CZephDoc& doc) {
         CDrawItem* line = FindLine(doc, At(s1), At({520, 260}));
         ASSERT_NE(line, nullptr);
         line->SetColour(static_cast<int>(kNewColour));
       },
       {}},
      {"Modify: the fillet's angle typed into the values bar",
       [=, this] {
         Use(kToolModify);
         Click(arcMiddle);
         ASSERT_EQ(Drawing().GetPickCount(), 1);
         ASSERT_EQ(Drawing().GetPicked(0)->GetType(), kItemArc);
         TypeValue(27, QStringLiteral("60"));
       },
       [=, this](CZephDoc& doc) {
         CDrawItem* arc = doc.GetItem(2);
         ASSERT_EQ(arc->GetType(), kItemArc);
         arc->SetAngle(NormaliseAngle(60.0 * std::numbers::pi / 180.0, 0));
         arc->Recalculate();
       },
       {}},
      {"Values: a line's values shown, nothing changed",
       [=, this] {
         Use(kToolValues);
         Click({470, 90});
       },
       [](CZephDoc&) {},
       [=, this] {
         ASSERT_EQ(Drawing().GetPickCount(), 1);
         EXPECT_EQ(g_valueStartX, At({420, 80}).x);
         EXPECT_EQ(g_valueEndY, At({520, 100}).y);
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
    EXPECT_EQ(m_doc.GetJournal().groupState, 0)
        << "every gesture, finished or cancelled, leaves its undo step closed";
    ASSERT_FALSE(HasFailure());
    ++index;
    const QByteArray made = Written(m_doc, QStringLiteral("made%1.zpd").arg(index));
    const QByteArray expected = Written(m_expected, QStringLiteral("expected%1.zpd").arg(index));
    ASSERT_FALSE(made.isEmpty());
    ASSERT_TRUE(made == expected) << "after step " << index << ": " << step.name << ", "
                                  << FirstDifference(made, expected);
    EXPECT_TRUE(MatchesGolden(kGoldenFolder, QStringLiteral("step%1.zpd").arg(index), made))
        << step.name;
  }
  // The whole drawing saved as File > Save does.
  const QString path = m_files.filePath(QStringLiteral("drawing.zpd"));
  m_doc.SetFilePath(path);
  ASSERT_EQ(m_doc.SaveDrawing(0), 1);
  const QByteArray saved = Read(path);
  const QByteArray expected = Written(m_expected, QStringLiteral("expected.zpd"));
  EXPECT_TRUE(saved == expected) << FirstDifference(saved, expected);
  EXPECT_EQ(g_glitchCount, 0);

  // Every step taken back with Edit > Undo, then done again with Edit > Redo.
  CheckUndoHistory(
      kGoldenFolder, m_doc, [this] { m_view->OnEditUndo(); }, [this] { m_view->OnEditRedo(); });
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
}  // namespace zeph::testing
