// Old hatches, stored as sets of parallel segments by the drawing files "Zephorin2" and
// "Zephorin3", rebuilt as hatched fills when such a file is read: the fixtures under
// data/drawings/legacy are small old drawings, read through the ordinary reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "document/legacyconvert.h"
#include "drawingfile_fixture.h"
#include "items/hatch.h"
#include "support/log.h"
#include "support/options.h"

namespace {

class LegacyConvertTest : public DrawingFileTest {
 protected:
  void SetUp() override {
    DrawingFileTest::SetUp();
    ResetLogState();
  }

  // Reads an old fixture into doc; the reader converts its hatches.
  static void Open(CZephDoc& doc, const char* name) {
    const std::string path = std::string("legacy/") + name;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(path.c_str()), kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
  }

  static std::vector<const CDrawItem*> ItemsOfType(const CZephDoc& doc, int type) {
    std::vector<const CDrawItem*> items;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      if (doc.GetItem(i)->GetType() == type) items.push_back(doc.GetItem(i));
    }
    return items;
  }

  static int CountOfObject(const CZephDoc& doc, int number) {
    int n = 0;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      if (doc.GetItem(i)->GetObjectNumber() == number) ++n;
    }
    return n;
  }

  // Families as "angle spacing stagger dashes...".
  static std::string DumpPattern(const CDrawItem* fill) {
    std::string s;
    const CHatchPattern* pattern = fill->GetHatchPattern();
    if (pattern == nullptr) return "nopattern";
    for (int i = 0; i < pattern->GetLineCount(); ++i) {
      const CHatchLine* line = pattern->GetLine(i);
      if (i > 0) s += " | ";
      s += Number(line->GetAngle()) + " " + Number(line->GetSpacing()) + " " +
           Number(line->GetStagger());
      for (int d = 0; d < line->GetDashCount(); ++d) s += " " + Number(line->GetDash(d));
    }
    return s;
  }

  static std::string DumpFill(const CDrawItem* fill) {
    std::string s = "o" + std::to_string(fill->GetObjectNumber()) + " style" +
                    std::to_string(fill->GetFillStyle()) + DumpLoop(fill->GetBoundary());
    for (int h = 0; h < fill->GetHoleCount(); ++h) s += " hole" + DumpLoop(fill->GetHole(h));
    return s;
  }
};

CLegacySegment Record(int x1, int y1, int x2, int y2, int object, int kind, int spacing) {
  CLegacySegment r;
  r.SetStart(x1, y1);
  r.SetEnd(x2, y2);
  r.SetGroupNumber(static_cast<std::int16_t>(object));
  r.SetState(kind);
  r.SetCode(spacing);
  return r;
}

// Each end of every record done, whatever became of its hatch.
void ExpectEveryEndDone(const CZephDoc& doc) {
  auto& records = const_cast<CZephDoc&>(doc).GetLegacySegments();
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].GetEndState(0), 2) << i;
    EXPECT_EQ(records[i].GetEndState(1), 2) << i;
  }
}

TEST_F(LegacyConvertTest, RectangleOfHorizontalLinesBecomesOneFill) {
  CZephDoc doc;
  Open(doc, "rectangle.zpd");
  // The four sides and, in front of them, the fill.
  ASSERT_EQ(doc.GetItemCount(), 5);
  const CDrawItem* fill = doc.GetItem(0);
  ASSERT_EQ(fill->GetType(), kItemFill);
  EXPECT_EQ(DumpFill(fill),
            "o2 style1 loop4 [0 0,60000-0,0] [0 0,0-100000,0] [0 100000,0-100000,60000] "
            "[0 100000,60000-0,60000]");
  EXPECT_EQ(fill->GetColour(), OldPaletteColour(1));
  EXPECT_EQ(DumpPattern(fill), "0 5000 0");
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 4);
  EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
  ExpectEveryEndDone(doc);
  EXPECT_EQ(doc.IsChanged(), 0);
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_TRUE(presenter.shown().empty());
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, EveryKindOfHatchLine) {
  CZephDoc doc;
  Open(doc, "kinds.zpd");
  const std::vector<const CDrawItem*> fills = ItemsOfType(doc, kItemFill);
  // One rectangle per hatch, left to right; families as angle, spacing, stagger, dashes.
  struct Case {
    const char* what;
    int object;
    const char* pattern;
  };
  const Case cases[] = {
      {"plain lines", 20, "0 3000 0"},
      {"dotted lines", 21, "0 3000 0 0 -3000"},
      {"a staggered line makes dotted lines staggered", 22, "0 3000 1500 0 -3000"},
      {"staggered dots", 23, "0 3000 1500 0 -3000"},
      // Dashed lines take the spacing of their offsets (the file's is 0); alone, a family's
      // dashes are as long as its own spacing.
      {"dashed, spacing from the offsets", 24, "0 3000 3000 3000 -3000"},
      // Offsets 3000 apart but for one step of 2900.
      {"spacing from the smallest offset step", 25, "0 2900 2900 2900 -2900"},
  };
  ASSERT_EQ(fills.size(), std::size(cases));
  for (std::size_t i = 0; i < fills.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(fills[i]->GetObjectNumber(), cases[i].object);
    EXPECT_EQ(DumpPattern(fills[i]), cases[i].pattern);
    EXPECT_EQ(fills[i]->GetBoundary()->GetCount(), 4);
  }
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 24);
  ExpectEveryEndDone(doc);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, FamiliesByDirectionAndSpacingUpToTwenty) {
  {
    // Horizontal and vertical lines of one hatch.
    CZephDoc doc;
    Open(doc, "crossing.zpd");
    const std::vector<const CDrawItem*> fills = ItemsOfType(doc, kItemFill);
    ASSERT_EQ(fills.size(), 1U);
    EXPECT_EQ(DumpPattern(fills[0]), "0 5000 0 | " + Number(std::numbers::pi / 2) + " 5000 0");
    EXPECT_EQ(fills[0]->GetBoundary()->GetCount(), 4);
    ExpectEveryEndDone(doc);
  }
  {
    // 21 lines, each with a spacing of its own: the first 20 make families.
    CZephDoc doc;
    Open(doc, "families.zpd");
    const std::vector<const CDrawItem*> fills = ItemsOfType(doc, kItemFill);
    ASSERT_EQ(fills.size(), 1U);
    const CHatchPattern* pattern = fills[0]->GetHatchPattern();
    ASSERT_EQ(pattern->GetLineCount(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(pattern->GetLine(i)->GetSpacing(), 2500 + i);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, PiecesOfAHatchLineJoinAcrossAGapOfAtMost400) {
  struct Case {
    const char* file;
    int leftPieceEnd;  // x where the piece from the left side ends after the pass
    int fills;
  };
  for (const Case c : {Case{"gap400.zpd", 100000, 1}, Case{"gap401.zpd", 50000, 2}}) {
    SCOPED_TRACE(c.file);
    CZephDoc doc;
    Open(doc, c.file);
    const std::vector<CLegacySegment>& records = doc.GetLegacySegments();
    ASSERT_EQ(records.size(), 22U);
    for (std::size_t i = 0; i < records.size(); i += 2) {
      int x = 0, y = 0;
      records[i].GetEndPoint(1, x, y);
      EXPECT_EQ(x, c.leftPieceEnd);
    }
    EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemFill).size()), c.fills);
    // Split, the middle ends touch nothing: temporary lines close both halves, and go.
    EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 4);
    EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
    ExpectEveryEndDone(doc);
  }
}

TEST_F(LegacyConvertTest, HatchThatCannotBeClosedBecomesLinesAndIsReported) {
  const QString one = QStringLiteral(
      "Sorry - Zephorin has not been able to convert\na hatch in this file into a fill hatch.\n\n"
      "This means that the hatch has now\nbecome a set of independent parallel lines.");
  const QString two = QStringLiteral(
      "Sorry - Zephorin has not been able to convert\n2 hatches in this file into fill "
      "hatches.\n\nThis means that the hatches have now\nbecome sets of independent parallel "
      "lines.");
  struct Case {
    const char* file;
    int warn;
    int lines;  // the file's own and the hatches'
    QString message;
  };
  const Case cases[] = {
      {"loose.zpd", 0, 2, QString()},
      {"loose.zpd", 1, 2, one},
      {"loose2.zpd", 1, 3, two},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.warn ? " warned" : " quiet"));
    presenter.Clear();
    SetOptionFlag(kOptionWarnHatchConversionFailure, c.warn);
    CZephDoc doc;
    Open(doc, c.file);
    EXPECT_TRUE(ItemsOfType(doc, kItemFill).empty());
    ASSERT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), c.lines);
    // The hatch line itself, as a plain line of its object.
    const CDrawItem* line = doc.GetItem(1);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    line->GetStart(x1, y1);
    line->GetEnd(x2, y2);
    EXPECT_EQ(std::vector<int>({x1, y1, x2, y2}), std::vector<int>({0, 5000, 30000, 5000}));
    EXPECT_EQ(line->GetObjectNumber(), 2);
    EXPECT_EQ(line->GetColour(), OldPaletteColour(1));
    EXPECT_EQ(line->GetLineStyle(), kLineStyleUnbroken);
    EXPECT_EQ(line->GetPenWidth(), 1);
    if (c.message.isEmpty()) {
      EXPECT_TRUE(presenter.shown().empty());
    } else {
      ASSERT_EQ(presenter.shown().size(), 1U);
      EXPECT_EQ(presenter.shown()[0].text, c.message);
    }
    ExpectEveryEndDone(doc);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, TracingThatRunsPastItsRoundsGivesUpCleanly) {
  // The rectangle's outline takes two rounds (up the left side and across, down the right
  // side and back); allowed one, the hatch becomes lines and is reported.
  SetOptionFlag(kOptionWarnHatchConversionFailure, 1);
  SetHatchRoundLimitForTest(1);
  CZephDoc doc;
  Open(doc, "rectangle.zpd");
  SetHatchRoundLimitForTest(0);
  EXPECT_TRUE(ItemsOfType(doc, kItemFill).empty());
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 4 + 11);
  EXPECT_EQ(CountOfObject(doc, 2), 11);
  EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
  ASSERT_EQ(presenter.shown().size(), 1U);
  EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("Sorry - Zephorin")));
  ExpectEveryEndDone(doc);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, TemporaryLinesGoAndTheDrawingsOwnItemsOfTheirNumberStay) {
  // No right side: the ends there are joined by a temporary line, which snaps to the end of
  // the top side, an item of the drawing that carries the temporary lines' number.
  CZephDoc doc;
  Open(doc, "openside.zpd");
  const std::vector<const CDrawItem*> fills = ItemsOfType(doc, kItemFill);
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_EQ(DumpFill(fills[0]),
            "o2 style1 loop4 [0 0,58000-0,0] [0 0,0-100000,0] [0 100000,0-100000,58000] "
            "[0 100000,58000-0,58000]");
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 3);
  ASSERT_EQ(CountOfObject(doc, kObjectNumberConversion), 1);
  const CDrawItem* top = doc.GetItem(2);
  EXPECT_EQ(top->GetObjectNumber(), kObjectNumberConversion);
  int x = 0, y = 0;
  top->GetStart(x, y);
  EXPECT_EQ(y, 58000);
  EXPECT_EQ(doc.GetObjectName(kObjectNumberConversion, 0), QStringLiteral("Frame"));
  ExpectEveryEndDone(doc);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, HatchAroundAnIslandGetsAHole) {
  CZephDoc doc;
  Open(doc, "island.zpd");
  const std::vector<const CDrawItem*> fills = ItemsOfType(doc, kItemFill);
  ASSERT_EQ(fills.size(), 1U);
  EXPECT_EQ(DumpFill(fills[0]),
            "o2 style1 loop4 [0 0,100000-0,0] [0 0,0-100000,0] [0 100000,0-100000,100000] "
            "[0 100000,100000-0,100000] hole loop4 [0 40000,59000-60000,59000] "
            "[0 60000,59000-60000,41000] [0 60000,41000-40000,41000] [0 40000,41000-40000,59000]");
  EXPECT_EQ(fills[0]->GetBoundary()->GetSense(), 0);
  EXPECT_EQ(fills[0]->GetHole(0)->GetSense(), 1);
  EXPECT_EQ(DumpPattern(fills[0]), "0 5000 0");
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemLine).size()), 8);
  EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
  ExpectEveryEndDone(doc);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, InsertedOldDrawingIsConvertedWithinItsUndoStep) {
  CZephDoc doc;
  DrawItemPtr own = MakeLine(-50000, -50000, -40000, -40000);
  ASSERT_EQ(doc.AddItem(own), 1);
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("legacy/island.zpd"), kReadInsert), 1);
  EXPECT_EQ(static_cast<int>(ItemsOfType(doc, kItemFill).size()), 1);
  EXPECT_EQ(doc.GetItemCount(), 10);
  EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
  // One step takes the whole insert back, fill included.
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(doc.CanUndo(), 1);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(doc.GetItemCount(), 10);
  EXPECT_EQ(doc.GetItem(0)->GetType(), kItemFill);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(LegacyConvertTest, EveryInsertedOldDrawingIsUndoneAndRedoneAsOneStep) {
  // Temporary lines come and go inside the insert's step; the journal's records name list
  // positions, so their coming and going must be in the step too.
  for (const char* file : {"crossing.zpd", "families.zpd", "gap400.zpd", "gap401.zpd",
                           "island.zpd", "kinds.zpd", "loose.zpd", "loose2.zpd", "openside.zpd",
                           "plan.zpd", "rectangle.zpd"}) {
    SCOPED_TRACE(file);
    presenter.Clear();
    CZephDoc doc;
    DrawItemPtr own = MakeLine(-50000, -50000, -40000, -40000);
    ASSERT_EQ(doc.AddItem(own), 1);
    const int glitches = g_glitchCount;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath((std::string("legacy/") + file).c_str()), kReadInsert), 1);
    const int inserted = doc.GetItemCount();
    presenter.Clear();
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(doc.GetItemCount(), 1);
    EXPECT_TRUE(presenter.shown().empty());  // no "the undo system has been corrupted"
    doc.Redo(nullptr, nullptr);
    EXPECT_EQ(doc.GetItemCount(), inserted);
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(g_glitchCount, glitches);
  }
}

// Random old drawings: rectangles and arcs, hatched at random angles and spacings with some
// ends cut short or moved, lines left out and stray segments added. Whatever the pass makes
// of them, it ends: every record is done, every hatch became a fill or lines, and no
// temporary line is left.
TEST_F(LegacyConvertTest, RandomOldHatchesAreNeverLost) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    auto uniform = [&random](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    CZephDoc doc;
    std::vector<CLegacySegment>& records = doc.GetLegacySegments();
    const int hatches = uniform(1, 5);
    for (int object = 1; object <= hatches; ++object) {
      const int x0 = uniform(-200000, 200000);
      const int y0 = uniform(-200000, 200000);
      const int x1 = x0 + uniform(5000, 80000);
      const int y1 = y0 + uniform(5000, 80000);
      DrawItemPtr sides[] = {MakeLine(x0, y0, x1, y0), MakeLine(x1, y0, x1, y1),
                             MakeLine(x1, y1, x0, y1), MakeLine(x0, y1, x0, y0)};
      for (DrawItemPtr& side : sides) {
        if (uniform(0, 9) > 0) doc.AddItem(side);
      }
      if (uniform(0, 3) == 0) {
        DrawItemPtr arc = CreateItem(kItemArc);
        arc->SetStart(x0, y0);
        arc->SetEnd(x1, y1);
        arc->SetAngle(uniform(1, 5) * 0.5);
        arc->Recalculate();
        doc.AddItem(arc);
      }
      // Parallel lines across the rectangle, clipped to it.
      const double h = uniform(0, 3141) / 1000.0;
      const int spacing = uniform(1500, 8000);
      const int kind = uniform(0, 4);
      const double nx = -std::sin(h);
      const double ny = std::cos(h);
      const double cx = (x0 + x1) / 2.0;
      const double cy = (y0 + y1) / 2.0;
      for (int k = -40; k <= 40; ++k) {
        const double px = cx + nx * k * spacing;
        const double py = cy + ny * k * spacing;
        double t0 = -1e9, t1 = 1e9;
        const double d[2] = {std::cos(h), std::sin(h)};
        const double p[2] = {px, py};
        const double lo[2] = {static_cast<double>(x0), static_cast<double>(y0)};
        const double hi[2] = {static_cast<double>(x1), static_cast<double>(y1)};
        bool inside = true;
        for (int axis = 0; axis < 2 && inside; ++axis) {
          if (std::fabs(d[axis]) < 1e-12) {
            inside = p[axis] > lo[axis] && p[axis] < hi[axis];
            continue;
          }
          double a = (lo[axis] - p[axis]) / d[axis];
          double b = (hi[axis] - p[axis]) / d[axis];
          if (a > b) std::swap(a, b);
          t0 = std::max(t0, a);
          t1 = std::min(t1, b);
        }
        if (!inside || t1 - t0 < 10) continue;
        if (uniform(0, 19) == 0) continue;
        int sx = static_cast<int>(std::lround(px + d[0] * t0));
        int sy = static_cast<int>(std::lround(py + d[1] * t0));
        int ex = static_cast<int>(std::lround(px + d[0] * t1));
        int ey = static_cast<int>(std::lround(py + d[1] * t1));
        if (uniform(0, 9) == 0) ex = sx + (ex - sx) / 2;
        if (uniform(0, 9) == 0) sy += uniform(-900, 900);
        CLegacySegment r = Record(sx, sy, ex, ey, object, kind, spacing);
        r.SetColour(object);
        if (r.IsValid() != 0) records.push_back(r);
      }
      for (int stray = uniform(0, 3); stray > 0; --stray) {
        const int sx = uniform(x0, x1);
        const int sy = uniform(y0, y1);
        CLegacySegment r =
            Record(sx, sy, sx + uniform(-9000, 9000), sy + uniform(1, 9000), object, kind, spacing);
        records.push_back(r);
      }
    }
    const std::vector<CLegacySegment> before = records;
    const int itemsBefore = doc.GetItemCount();
    presenter.Clear();
    // As inside an insert: the whole conversion is one step.
    doc.SetUndoGroup(1);
    doc.ConvertLegacySegments();
    doc.SetUndoGroup(0);
    const int itemsAfter = doc.GetItemCount();
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(doc.GetItemCount(), itemsBefore);
    doc.Redo(nullptr, nullptr);
    EXPECT_EQ(doc.GetItemCount(), itemsAfter);
    for (const zeph::ScriptedPresenter::Shown& shown : presenter.shown()) {
      EXPECT_FALSE(shown.text.contains(QStringLiteral("corrupted"))) << shown.text.toStdString();
    }
    EXPECT_EQ(CountOfObject(doc, kObjectNumberConversion), 0);
    ExpectEveryEndDone(doc);
    for (int object = 1; object <= hatches; ++object) {
      bool any = false;
      for (const CLegacySegment& r : before) any = any || r.GetGroupNumber() == object;
      if (!any) continue;
      int made = 0;
      for (int i = 0; i < doc.GetItemCount(); ++i) {
        const CDrawItem* item = doc.GetItem(i);
        if (item->GetObjectNumber() == object) ++made;
      }
      EXPECT_GT(made, 0) << "object " << object;
    }
    EXPECT_EQ(g_glitchCount, 0);
  }
}

// ---- The steps on a plain record array ----

std::string DumpRecords(const std::vector<CLegacySegment>& records) {
  std::string s;
  for (const CLegacySegment& r : records) {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    r.GetEndPoint(0, x1, y1);
    r.GetEndPoint(1, x2, y2);
    s += std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
         std::to_string(y2) + " s" + std::to_string(r.GetEndState(0)) +
         std::to_string(r.GetEndState(1)) + " k" + std::to_string(r.GetState()) + " p" +
         std::to_string(r.GetCode()) + "\n";
  }
  return s;
}

TEST(LegacySegments, IndexedMergeJoinsExactlyThePairsOfThePlainPasses) {
  // Random old hatches: lines of a few directions in pieces with gaps around the limit,
  // shuffled, some reversed, of three objects and two spacings, here and there a duplicate.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(-3000000, 3000000);
    std::uniform_int_distribution<int> gap(-200, 700);
    std::uniform_int_distribution<int> pieceLength(50, 4000);
    std::uniform_int_distribution<int> small(0, 2);
    const double directions[] = {0.0, 0.05, 0.7854, 1.5708, 3.1, 3.14159};
    std::vector<CLegacySegment> records;
    const int lines = 20 + static_cast<int>(seed) * 5;
    for (int l = 0; l < lines; ++l) {
      const double a = directions[random() % std::size(directions)];
      const int object = 1 + small(random);
      const int spacing = small(random) == 0 ? 2500 : 5000;
      double x = coordinate(random) / 10;
      double y = coordinate(random) / 10;
      const int pieces = 1 + static_cast<int>(random() % 6);
      for (int p = 0; p < pieces; ++p) {
        const int length = pieceLength(random);
        const int x1 = static_cast<int>(x);
        const int y1 = static_cast<int>(y);
        const int x2 = static_cast<int>(x + std::cos(a) * length);
        const int y2 = static_cast<int>(y + std::sin(a) * length);
        if (random() % 5 == 0) {
          records.push_back(Record(x2, y2, x1, y1, object, 0, spacing));
        } else {
          records.push_back(Record(x1, y1, x2, y2, object, 0, spacing));
        }
        if (random() % 10 == 0) records.push_back(records.back());
        const int step = length + gap(random);
        x += std::cos(a) * step;
        y += std::sin(a) * step;
      }
    }
    std::shuffle(records.begin(), records.end(), random);
    PrepareLegacySegments(records);
    std::vector<CLegacySegment> plain = records;
    const int indexed = MergeLegacyPieces(records);
    const int pairs = MergeLegacyPiecesByPairs(plain);
    EXPECT_GT(pairs, 0);
    EXPECT_EQ(indexed, pairs);
    EXPECT_EQ(DumpRecords(records), DumpRecords(plain));
  }
}

TEST(LegacySegments, MergeTakesTheEndAsItWasWhenTheTurnBegan) {
  // In the first pass the first piece takes only its neighbour (the third starts too far from
  // where the first ended when its turn began), and the third takes the fourth; in the next
  // pass the first takes the third, with the fourth's end.
  std::vector<CLegacySegment> records = {
      Record(0, 0, 1000, 0, 1, 0, 500), Record(1200, 0, 2000, 0, 1, 0, 500),
      Record(2300, 0, 3000, 0, 1, 0, 500), Record(3400, 0, 4000, 0, 1, 0, 500),
      // Another object, another spacing, another direction, a start too far: none joins.
      Record(4000, 0, 5000, 0, 2, 0, 500), Record(4000, 0, 5000, 0, 1, 0, 600),
      Record(4000, 0, 5000, 500, 1, 0, 500), Record(4401, 0, 5000, 0, 1, 0, 500)};
  PrepareLegacySegments(records);
  EXPECT_EQ(MergeLegacyPieces(records), 3);
  EXPECT_EQ(DumpRecords(records),
            "0,0-4000,0 s00 k0 p500\n1200,0-2000,0 s22 k0 p500\n2300,0-4000,0 s22 k0 p500\n"
            "3400,0-4000,0 s22 k0 p500\n4000,0-5000,0 s00 k0 p500\n4000,0-5000,0 s00 k0 p600\n"
            "4000,0-5000,500 s00 k0 p500\n4401,0-5000,0 s00 k0 p500\n");
}

TEST(LegacySegments, SpacingOfDashedHatchesFromTheirOffsets) {
  struct Case {
    const char* what;
    std::vector<int> ys;  // horizontal lines of one object, kind 3 or 4
    int spacing;
  };
  const Case cases[] = {
      {"even", {1000, 4000, 7000}, 3000},
      {"smallest step", {1000, 4000, 6500, 9500}, 2500},
      {"listed out of order", {9500, 1000, 6500, 4000}, 2500},
      {"repeated offsets do not count", {1000, 1000, 4000}, 3000},
      {"a single line", {1000}, 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<CLegacySegment> records;
    for (std::size_t i = 0; i < c.ys.size(); ++i) {
      records.push_back(Record(0, c.ys[i], 10000, c.ys[i], 7, i % 2 == 0 ? 3 : 4, 123));
    }
    // Another object's group is worked out on its own.
    records.push_back(Record(0, 0, 10000, 0, 8, 4, 0));
    records.push_back(Record(0, 700, 10000, 700, 8, 4, 0));
    // A plain hatch keeps its kind and spacing.
    records.push_back(Record(0, 0, 10000, 0, 7, 1, 55));
    ASSERT_TRUE(PrepareLegacySegments(records));
    SetLegacyGroupSpacing(records);
    for (std::size_t i = 0; i < c.ys.size(); ++i) {
      EXPECT_EQ(records[i].GetCode(), c.spacing);
      EXPECT_EQ(records[i].GetState(), 3);
    }
    const std::size_t n = c.ys.size();
    EXPECT_EQ(records[n].GetCode(), 700);
    EXPECT_EQ(records[n + 1].GetCode(), 700);
    EXPECT_EQ(records[n + 2].GetCode(), 55);
    EXPECT_EQ(records[n + 2].GetState(), 1);
  }
}

}  // namespace
