// Break: cutting an item at its crossings, keeping the chosen pieces as stretches of the item,
// and one undo putting everything back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "items/intersect.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/screen.h"

namespace {

DrawItemPtr MakeArc(int sx, int sy, int ex, int ey, double angle) {
  return ::MakeArc(sx, sy, ex, ey, angle, 3);
}

DrawItemPtr MakeEllipse(int cx, int cy, int a, int b) {
  DrawItemPtr ellipse = CreateItem(kItemEllipse);
  ellipse->SetCentre(cx, cy);
  ellipse->SetSemiAxes(a, b);
  ellipse->SetColour(5);
  return ellipse;
}

DrawItemPtr MakeEllipseArc(double a, double b, int sx, int sy, int ex, int ey) {
  DrawItemPtr arc = CreateItem(kItemEllipseArc);
  arc->SetCentreExact(0.0, 0.0);
  arc->SetRadii(a, b);
  arc->SetRotation(0.0);
  arc->SetStart(sx, sy);
  arc->SetEnd(ex, ey);
  arc->SetColour(6);
  return arc;
}

DrawItemPtr MakeCurve() {
  DrawItemPtr curve = CreateItem(kItemBezier);
  curve->SetStart(0, 0);
  curve->SetEnd(3000, 0);
  curve->SetControlPoint(0, 1000.0, 1500.0);
  curve->SetControlPoint(1, 2000.0, -1500.0);
  curve->SetColour(7);
  return curve;
}

DrawItemPtr Styled(DrawItemPtr item, int object, int group, int penWidth) {
  item->SetObjectNumber(static_cast<std::int16_t>(object));
  item->SetGroupNumber(group);
  item->SetPenWidth(penWidth);
  return item;
}

// Everything an item shows of itself, for comparing a drawing before and after.
struct ItemState {
  int type = 0;
  int colour = 0;
  int group = 0;
  int object = 0;
  int penWidth = 0;
  int state = 0;
  std::vector<int> handles;
  std::vector<double> shape;
  bool operator==(const ItemState&) const = default;
};

void PrintTo(const ItemState& s, std::ostream* os) {
  *os << "type " << s.type << " colour " << s.colour << " group " << s.group << " object "
      << s.object << " pen " << s.penWidth << " state " << s.state << " handles";
  for (int v : s.handles) *os << ' ' << v;
  *os << " shape";
  os->precision(17);
  for (double v : s.shape) *os << ' ' << v;
}

ItemState StateOf(const CDrawItem* item) {
  ItemState s;
  s.type = item->GetType();
  s.colour = item->GetColour();
  s.group = item->GetGroupNumber();
  s.object = item->GetObjectNumber();
  s.penWidth = item->GetPenWidth();
  s.state = item->GetState();
  for (int h = 0; h < item->GetHandleCount(); ++h) {
    s.handles.push_back(item->GetHandleX(h));
    s.handles.push_back(item->GetHandleY(h));
  }
  double x = 0.0;
  double y = 0.0;
  double r = 0.0;
  switch (s.type) {
    case kItemLine:
      s.shape.push_back(item->GetLineStyle());
      break;
    case kItemArc:
      item->GetCircle(x, y, r);
      s.shape = {x, y, r, item->GetAngle()};
      break;
    case kItemCircle:
      s.shape.push_back(item->GetRadius());
      break;
    case kItemEllipse: {
      int a = 0;
      int b = 0;
      item->GetSemiAxes(a, b);
      s.shape = {static_cast<double>(a), static_cast<double>(b), item->GetRotation()};
      break;
    }
    case kItemEllipseArc: {
      double b = 0.0;
      item->GetCentreExact(x, y);
      item->GetRadii(r, b);
      s.shape = {x, y, r, b, item->GetRotation()};
      break;
    }
    case kItemBezier:
      for (int i = 0; i < 2; ++i) {
        item->GetControlPoint(i, x, y);
        s.shape.insert(s.shape.end(), {x, y});
      }
      break;
    default:
      break;
  }
  return s;
}

// The undo steps the journal holds.
int StepsOf(const CZephDoc& doc) {
  const CUndoJournal& journal = doc.GetJournal();
  int steps = 0;
  for (int i = 0; i < journal.undoCount; ++i) {
    if (!journal.records[static_cast<std::size_t>(i)].SameStep()) ++steps;
  }
  return steps;
}

std::vector<ItemState> StatesOf(const CZephDoc& doc) {
  std::vector<ItemState> states;
  for (int i = 0; i < doc.GetItemCount(); ++i) states.push_back(StateOf(doc.GetItem(i)));
  return states;
}

// A host that remembers the drawing calls.
class CDrawingHost final : public IDocumentHost {
 public:
  struct Call {
    const CDrawItem* item;
    int colourMode;
  };
  void DrawItem(const CDrawItem* item, int colourMode) override {
    calls.push_back({item, colourMode});
  }
  std::vector<Call> calls;
};

class BreakTest : public DocumentTest {
 protected:
  void TearDown() override {
    CZephDoc::FreeSplitPieces();
    CZephDoc::SetSplitListLimitForTest(-1);
    DocumentTest::TearDown();
  }

  // A drawing of the item to break and the items around it.
  struct Scene {
    std::unique_ptr<CZephDoc> doc = std::make_unique<CZephDoc>();
    CDrawItem* item = nullptr;
  };

  static Scene MakeScene(DrawItemPtr item, std::vector<DrawItemPtr> others) {
    Scene scene;
    scene.item = Add(*scene.doc, std::move(item));
    for (DrawItemPtr& other : others) Add(*scene.doc, std::move(other));
    return scene;
  }

  static std::vector<DrawItemPtr> Verticals(std::initializer_list<int> xs) {
    std::vector<DrawItemPtr> lines;
    for (int x : xs) lines.push_back(MakeLine(x, -5000, x, 5000, 9));
    return lines;
  }

  static void SetKeep(const std::string& pattern) {
    ASSERT_EQ(static_cast<int>(pattern.size()), g_splitCount - 1) << pattern;
    for (std::size_t i = 0; i < pattern.size(); ++i) g_splitKeep[i] = pattern[i] == '1' ? 1 : 0;
  }
};

template <typename... T>
std::vector<DrawItemPtr> List(T&&... items) {
  std::vector<DrawItemPtr> list;
  (list.push_back(std::forward<T>(items)), ...);
  return list;
}

// The parameter along the item and the point of every split point, as the tests read them.
struct SplitPoint {
  int x;
  int y;
  double parameter;
};

std::vector<SplitPoint> SplitPoints() {
  std::vector<SplitPoint> points;
  for (int i = 0; i < g_splitCount; ++i) {
    points.push_back({g_splitX[static_cast<std::size_t>(i)], g_splitY[static_cast<std::size_t>(i)],
                      g_splitParam[static_cast<std::size_t>(i)]});
  }
  return points;
}

TEST_F(BreakTest, KeptPiecesBecomeStretchesOfTheItemAndOneUndoRestoresIt) {
  struct Stretch {
    int from;  // split point indexes
    int to;
  };
  struct Case {
    std::string name;
    std::function<Scene()> scene;
    int points;
    std::string keep;
    int stretchType;
    std::vector<Stretch> stretches;  // in list order; the item itself first when it stays
  };
  const auto line = [] {
    return MakeScene(Styled(MakeLine(0, 0, 3000, 0, 4), 12, 3, 2), Verticals({2000, 1000}));
  };
  const auto arc = [] {  // the upper half of a circle of radius 1000, cut at 60 and 120 degrees
    return MakeScene(Styled(MakeArc(1000, 0, -1000, 0, kPi), 12, 3, 2), Verticals({-500, 500}));
  };
  const auto circle = [] {  // cut at 60, 120, 240 and 300 degrees
    return MakeScene(Styled(MakeCircle(0, 0, 1000, 8), 12, 3, 2), Verticals({500, -500}));
  };
  const auto circleOnce = [] {  // cut at 90 and 270 degrees by one line
    return MakeScene(Styled(MakeCircle(0, 0, 1000, 8), 12, 3, 2), Verticals({0}));
  };
  const auto ellipse = [] {
    return MakeScene(Styled(MakeEllipse(0, 0, 2000, 1000), 12, 3, 2), Verticals({1000, -1000}));
  };
  const auto ellipseArc = [] {  // the upper half of the ellipse
    return MakeScene(Styled(MakeEllipseArc(2000.0, 1000.0, 2000, 0, -2000, 0), 12, 3, 2),
                     Verticals({1000, -1000}));
  };
  const auto curve = [] {
    return MakeScene(Styled(MakeCurve(), 12, 3, 2), Verticals({1000, 2000}));
  };
  const std::vector<Case> cases = {
      {"line, all kept", line, 4, "111", kItemLine, {{0, 3}}},
      {"line, first kept", line, 4, "100", kItemLine, {{0, 1}}},
      {"line, last kept", line, 4, "001", kItemLine, {{2, 3}}},
      {"line, middle kept", line, 4, "010", kItemLine, {{1, 2}}},
      {"line, middle erased", line, 4, "101", kItemLine, {{0, 1}, {2, 3}}},
      {"line, first two kept", line, 4, "110", kItemLine, {{0, 2}}},
      {"line, last two kept", line, 4, "011", kItemLine, {{1, 3}}},
      {"line, none kept", line, 4, "000", kItemLine, {}},
      {"arc, all kept", arc, 4, "111", kItemArc, {{0, 3}}},
      {"arc, middle erased", arc, 4, "101", kItemArc, {{0, 1}, {2, 3}}},
      {"arc, middle kept", arc, 4, "010", kItemArc, {{1, 2}}},
      {"arc, last two kept", arc, 4, "011", kItemArc, {{1, 3}}},
      {"arc, none kept", arc, 4, "000", kItemArc, {}},
      {"circle, all kept", circle, 5, "1111", kItemCircle, {{0, 4}}},
      {"circle, top kept", circle, 5, "1000", kItemArc, {{0, 1}}},
      {"circle, first and last kept", circle, 5, "1001", kItemArc, {{3, 1}}},
      {"circle, first three kept", circle, 5, "1110", kItemArc, {{0, 3}}},
      {"circle, last two kept", circle, 5, "0011", kItemArc, {{2, 4}}},
      {"circle, first, second and last kept", circle, 5, "1101", kItemArc, {{3, 2}}},
      {"circle, alternate", circle, 5, "1010", kItemArc, {{0, 1}, {2, 3}}},
      {"circle, alternate from the second", circle, 5, "0101", kItemArc, {{1, 2}, {3, 4}}},
      {"circle, none kept", circle, 5, "0000", kItemArc, {}},
      {"circle cut by one line, left kept", circleOnce, 3, "10", kItemArc, {{0, 1}}},
      {"circle cut by one line, right kept", circleOnce, 3, "01", kItemArc, {{1, 2}}},
      {"ellipse, all kept", ellipse, 5, "1111", kItemEllipse, {{0, 4}}},
      {"ellipse, first and last kept", ellipse, 5, "1001", kItemEllipseArc, {{3, 1}}},
      {"ellipse, alternate", ellipse, 5, "0101", kItemEllipseArc, {{1, 2}, {3, 4}}},
      {"ellipse, none kept", ellipse, 5, "0000", kItemEllipseArc, {}},
      {"elliptic arc, middle erased", ellipseArc, 4, "101", kItemEllipseArc, {{0, 1}, {2, 3}}},
      {"elliptic arc, middle kept", ellipseArc, 4, "010", kItemEllipseArc, {{1, 2}}},
      {"elliptic arc, all kept", ellipseArc, 4, "111", kItemEllipseArc, {{0, 3}}},
      {"curve, middle erased", curve, 4, "101", kItemBezier, {{0, 1}, {2, 3}}},
      {"curve, middle kept", curve, 4, "010", kItemBezier, {{1, 2}}},
      {"curve, first two kept", curve, 4, "110", kItemBezier, {{0, 2}}},
      {"curve, all kept", curve, 4, "111", kItemBezier, {{0, 3}}},
      {"curve, none kept", curve, 4, "000", kItemBezier, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene = c.scene();
    CZephDoc& doc = *scene.doc;
    const ItemState original = StateOf(scene.item);
    const std::vector<ItemState> before = StatesOf(doc);
    const int steps = StepsOf(doc);
    ASSERT_EQ(doc.SplitItemAtCrossings(scene.item), c.points);
    ASSERT_EQ(g_splitCount, c.points);
    // Splitting changes nothing in the drawing.
    EXPECT_EQ(StatesOf(doc), before);
    EXPECT_EQ(StepsOf(doc), steps);
    const std::vector<SplitPoint> points = SplitPoints();
    for (int i = 0; i + 1 < c.points; ++i) {
      ASSERT_LT(points[static_cast<std::size_t>(i)].parameter,
                points[static_cast<std::size_t>(i) + 1].parameter + (i + 2 == c.points ? 1 : 0));
    }
    SetKeep(c.keep);

    ASSERT_EQ(doc.KeepItemSections(scene.item), 1);
    EXPECT_EQ(g_splitPieces[0], nullptr);
    // The stretches: every item that is not a crossing line, in list order.
    std::vector<const CDrawItem*> stretches;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      if (doc.GetItem(i)->GetColour() != 9) stretches.push_back(doc.GetItem(i));
    }
    ASSERT_EQ(stretches.size(), c.stretches.size());
    if (c.keep.find('0') == std::string::npos) {
      // Nothing erased: the item is as it was, and nothing was recorded.
      EXPECT_EQ(StatesOf(doc), before);
      EXPECT_EQ(StepsOf(doc), steps);
      continue;
    }
    for (std::size_t k = 0; k < stretches.size(); ++k) {
      const CDrawItem* s = stretches[k];
      const SplitPoint& from = points[static_cast<std::size_t>(c.stretches[k].from)];
      const SplitPoint& to = points[static_cast<std::size_t>(c.stretches[k].to)];
      EXPECT_EQ(s->GetType(), c.stretchType) << k;
      EXPECT_EQ(s->IsValid(), 1) << k;
      EXPECT_EQ(s->GetHandleX(0), from.x) << k;
      EXPECT_EQ(s->GetHandleY(0), from.y) << k;
      EXPECT_EQ(s->GetHandleX(1), to.x) << k;
      EXPECT_EQ(s->GetHandleY(1), to.y) << k;
      EXPECT_EQ(s->GetColour(), original.colour) << k;
      EXPECT_EQ(s->GetObjectNumber(), original.object) << k;
      EXPECT_EQ(s->GetGroupNumber(), original.group) << k;
      EXPECT_EQ(s->GetPenWidth(), original.penWidth) << k;
      // The stretch follows the item: its middle lies on the broken item.
      if (c.stretchType == kItemArc) {
        double cx = 0.0;
        double cy = 0.0;
        double r = 0.0;
        s->GetCircle(cx, cy, r);
        EXPECT_NEAR(cx, 0.0, 1.0) << k;
        EXPECT_NEAR(cy, 0.0, 1.0) << k;
        EXPECT_NEAR(r, 1000.0, 1.0) << k;
      } else if (c.stretchType == kItemEllipseArc) {
        double cx = 1.0;
        double cy = 1.0;
        double a = 0.0;
        double b = 0.0;
        s->GetCentreExact(cx, cy);
        s->GetRadii(a, b);
        EXPECT_EQ(cx, 0.0) << k;
        EXPECT_EQ(cy, 0.0) << k;
        EXPECT_EQ(a, 2000.0) << k;
        EXPECT_EQ(b, 1000.0) << k;
        EXPECT_EQ(s->GetRotation(), 0.0) << k;
      } else if (c.stretchType == kItemBezier) {
        // The original curve passes through the fitted stretch's middle.
        const DrawItemPtr reference = MakeCurve();
        const double x = s->GetXAt(0.5);
        const double y = s->GetYAt(0.5);
        double nearest = 1e300;
        for (int i = 0; i <= 3000 && nearest >= 30.0; ++i) {
          const double u = i / 3000.0;
          nearest =
              std::min(nearest, std::hypot(reference->GetXAt(u) - x, reference->GetYAt(u) - y));
        }
        EXPECT_LT(nearest, 30.0) << k;  // within 1 % of the curve's length
      }
    }
    // A line, an arc or an elliptic arc stays itself for its first stretch.
    const int type = original.type;
    if (!c.stretches.empty() &&
        (type == kItemLine || type == kItemArc || type == kItemEllipseArc)) {
      EXPECT_EQ(stretches[0], scene.item);
    }
    // One step, and one undo puts the drawing back exactly.
    EXPECT_EQ(StepsOf(doc), steps + 1);
    const std::vector<ItemState> after = StatesOf(doc);
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(StatesOf(doc), before);
    // Redo brings the stretches back (an arc's centre is then worked out afresh from its ends).
    doc.Redo(nullptr, nullptr);
    const std::vector<ItemState> redone = StatesOf(doc);
    ASSERT_EQ(redone.size(), after.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(redone[i].type, after[i].type) << i;
      EXPECT_EQ(redone[i].handles, after[i].handles) << i;
    }
  }
}

TEST_F(BreakTest, ALineErasedInTheMiddleEndsExactlyWhereItDid) {
  // Crossed at a slant, the split points are rounded, but the last stretch ends at the
  // line's own end.
  Scene scene = MakeScene(MakeLine(0, 0, 3001, 1000), Verticals({1000, 2000}));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 4);
  SetKeep("101");
  ASSERT_EQ(scene.doc->KeepItemSections(scene.item), 1);
  const CDrawItem* copy = scene.doc->GetItem(scene.doc->GetItemCount() - 1);
  EXPECT_EQ(copy->GetHandleX(1), 3001);
  EXPECT_EQ(copy->GetHandleY(1), 1000);
  EXPECT_EQ(copy->GetHandleX(0), 2000);
  int x = 0;
  int y = 0;
  scene.item->GetEnd(x, y);
  EXPECT_EQ(x, 1000);
}

TEST_F(BreakTest, WhatCutsAnItemAndWhereTheSplitPointsLie) {
  struct Case {
    std::string name;
    std::function<Scene()> scene;
    int points;
  };
  const auto hiddenLine = [] {
    DrawItemPtr hidden = MakeLine(1000, -100, 1000, 100);
    hidden->SetHidden();
    return hidden;
  };
  const auto text = [] {
    DrawItemPtr t = CreateItem(kItemText);
    t->SetPosition(500, -10);
    EXPECT_EQ(t->SetText(QStringLiteral("across the line")), 1);
    return t;
  };
  const std::vector<Case> cases = {
      {"a line crossed by nothing", [] { return MakeScene(MakeLine(0, 0, 3000, 0), {}); }, 0},
      {"a circle crossed by nothing",
       [] { return MakeScene(MakeCircle(0, 0, 1000), List(MakeLine(2000, 0, 3000, 0))); }, 0},
      {"a line crossed once", [] { return MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1500})); },
       3},
      {"two crossings at one point",
       [] {
         return MakeScene(MakeLine(0, 0, 3000, 0),
                          List(MakeLine(1500, -100, 1500, 100), MakeLine(1400, -100, 1600, 100)));
       },
       3},
      {"a crossing at the start",
       [] {
         return MakeScene(MakeLine(0, 0, 3000, 0), Verticals({0, 1500}));
       },
       3},
      {"a crossing at the end",
       [] {
         return MakeScene(MakeLine(0, 0, 3000, 0), Verticals({3000, 1500}));
       },
       3},
      {"hidden items, texts, fills and the item itself do not cut",
       [&] {
         return MakeScene(MakeLine(0, 0, 3000, 0),
                          List(hiddenLine(), text(), MakeFill(500, -500, 1000)));
       },
       0},
      {"a circle crossed by a hidden line",
       [&] {
         DrawItemPtr hidden = MakeLine(0, -2000, 0, 2000);
         hidden->SetHidden();
         return MakeScene(MakeCircle(0, 0, 1000), List(std::move(hidden)));
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene = c.scene();
    EXPECT_EQ(scene.doc->SplitItemAtCrossings(scene.item), c.points);
    if (c.points == 0) continue;
    const std::vector<SplitPoint> points = SplitPoints();
    // An open item runs from its start at 0 to its end at 1.
    EXPECT_EQ(points.front().parameter, 0.0);
    EXPECT_EQ(points.front().x, 0);
    EXPECT_EQ(points.back().parameter, 1.0);
    EXPECT_EQ(points.back().x, 3000);
    EXPECT_EQ(points[1].x, 1500);
    for (int i = 0; i + 1 < g_splitCount; ++i) {
      EXPECT_NE(g_splitPieces[static_cast<std::size_t>(i)], nullptr);
      EXPECT_EQ(g_splitKeep[static_cast<std::size_t>(i)], 1);
    }
  }
  // Not a curve item: nothing to cut.
  Scene scene = MakeScene(text(), Verticals({600}));
  EXPECT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 0);
  EXPECT_EQ(g_splitCount, 0);
}

TEST_F(BreakTest, AClosedItemsLastSplitPointIsItsFirst) {
  Scene scene = MakeScene(MakeCircle(0, 0, 1000), Verticals({500, -500}));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 5);
  const std::vector<SplitPoint> points = SplitPoints();
  EXPECT_EQ(points[0].x, 500);
  EXPECT_EQ(points[0].y, 866);
  EXPECT_EQ(points[1].x, -500);
  EXPECT_EQ(points[2].y, -866);
  EXPECT_EQ(points[4].x, points[0].x);
  EXPECT_EQ(points[4].y, points[0].y);
  EXPECT_EQ(points[4].parameter, points[0].parameter);
  // The pieces are arcs, the last across the circle's start.
  for (int i = 0; i < 4; ++i) {
    const CDrawItem* piece = g_splitPieces[static_cast<std::size_t>(i)];
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->GetType(), kItemArc);
    EXPECT_EQ(piece->GetDocument(), nullptr);
    EXPECT_NEAR(piece->GetAngle(), i % 2 == 0 ? kPi / 3 : 2 * kPi / 3, 1e-3) << i;
  }
}

TEST_F(BreakTest, TheEditorErasesThePiecesAndDrawsTheStretches) {
  CDrawingHost drawing;
  SetDocumentHost(&drawing);
  Scene scene = MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1000, 2000}));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 4);
  std::vector<const CDrawItem*> pieces(g_splitPieces.begin(), g_splitPieces.begin() + 3);
  SetKeep("101");
  ASSERT_EQ(scene.doc->KeepItemSections(scene.item), 1);
  ASSERT_EQ(drawing.calls.size(), 5u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(drawing.calls[i].item, pieces[i]);
    EXPECT_EQ(drawing.calls[i].colourMode, static_cast<int>(g_backgroundColour));
  }
  EXPECT_EQ(drawing.calls[3].item, scene.item);
  EXPECT_EQ(drawing.calls[3].colourMode, kDrawOwnColour);
  EXPECT_EQ(drawing.calls[4].item, scene.doc->GetItem(scene.doc->GetItemCount() - 1));
  EXPECT_EQ(drawing.calls[4].colourMode, kDrawOwnColour);
}

// With every piece kept the item stays as it was; the pieces were wiped off the screen, so the
// item is drawn again in its own colour after them.
TEST_F(BreakTest, AnItemKeptWholeIsDrawnAgainAfterItsPiecesAreWiped) {
  struct Case {
    const char* name;
    std::function<Scene()> scene;
    std::string keep;
  };
  const Case cases[] = {
      {"line",
       [] {
         return MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1000, 2000}));
       },
       "111"},
      {"circle", [] { return MakeScene(MakeCircle(0, 0, 1000, 8), Verticals({0})); }, "11"},
      {"curve",
       [] {
         return MakeScene(MakeCurve(), Verticals({1000, 2000}));
       },
       "111"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDrawingHost drawing;
    SetDocumentHost(&drawing);
    Scene scene = c.scene();
    const int count = scene.doc->GetItemCount();
    ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), static_cast<int>(c.keep.size()) + 1);
    SetKeep(c.keep);
    ASSERT_EQ(scene.doc->KeepItemSections(scene.item), 1);
    EXPECT_EQ(scene.doc->GetItemCount(), count);
    ASSERT_EQ(drawing.calls.size(), c.keep.size() + 1);
    for (std::size_t i = 0; i < c.keep.size(); ++i) {
      EXPECT_EQ(drawing.calls[i].colourMode, static_cast<int>(g_backgroundColour));
    }
    EXPECT_EQ(drawing.calls.back().item, scene.item);
    EXPECT_EQ(drawing.calls.back().colourMode, kDrawOwnColour);
    SetDocumentHost(nullptr);
  }
}

TEST_F(BreakTest, ASplitListThatCannotGrowGivesNoPieces) {
  for (int limit : {0, 1, 2, 3}) {
    SCOPED_TRACE(limit);
    Scene scene = MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1000, 2000}));
    presenter.Clear();
    CZephDoc::SetSplitListLimitForTest(limit);
    EXPECT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 0);
    EXPECT_EQ(g_splitCount, 0);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("There is not enough memory")));
    CZephDoc::SetSplitListLimitForTest(-1);
    // Keeping after the failed split changes nothing.
    const std::vector<ItemState> before = StatesOf(*scene.doc);
    EXPECT_EQ(scene.doc->KeepItemSections(scene.item), 1);
    EXPECT_EQ(StatesOf(*scene.doc), before);
  }
}

TEST_F(BreakTest, AnAbandonedSplitsPiecesAreFreed) {
  // Leak checking finds pieces that are dropped without being freed.
  Scene scene = MakeScene(MakeCircle(0, 0, 1000), Verticals({500, -500}));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 5);
  // A crossing line, cut twice by the circle: three pieces in place of four.
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.doc->GetItem(1)), 4);
  EXPECT_EQ(g_splitPieces[3], nullptr);
  CZephDoc::FreeSplitPieces();
  EXPECT_EQ(g_splitPieces[0], nullptr);
  EXPECT_EQ(g_splitPieces[1], nullptr);
  // A split of nothing frees the last split's pieces too.
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 5);
  Scene lone = MakeScene(MakeLine(0, 0, 10, 10), {});
  EXPECT_EQ(lone.doc->SplitItemAtCrossings(lone.item), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g_splitPieces[static_cast<std::size_t>(i)], nullptr);
}

TEST_F(BreakTest, KeepingRefusesAnItemThatCannotBeBroken) {
  Scene scene = MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1000}));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 3);
  ResetLogState();
  DrawItemPtr text = CreateItem(kItemText);
  EXPECT_EQ(scene.doc->KeepItemSections(text.get()), 0);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 1240);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  // An item of another drawing.
  Scene other = MakeScene(MakeLine(0, 0, 3000, 0), {});
  EXPECT_EQ(scene.doc->KeepItemSections(other.item), 0);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(other.item->GetHandleX(1), 3000);
}

TEST_F(BreakTest, AStretchTooSmallToBeAnArcIsLeftOutWithoutARecord) {
  // A circle of radius 10 m cut by two lines 60 units apart: the pieces across 0 and 180
  // degrees are far too short to be arcs.
  Scene scene = MakeScene(
      MakeCircle(0, 0, 10000000),
      List(MakeLine(-20000000, 30, 20000000, 30, 9), MakeLine(-20000000, -30, 20000000, -30, 9)));
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 5);
  const std::vector<ItemState> before = StatesOf(*scene.doc);
  scene.doc->FreeJournalRecords(0);
  SetKeep("0100");  // only the short piece on the left
  ASSERT_EQ(scene.doc->KeepItemSections(scene.item), 1);
  EXPECT_EQ(scene.doc->GetItemCount(), 2);
  // The step holds the circle's removal and nothing else.
  ASSERT_EQ(scene.doc->GetJournal().undoCount, 1);
  EXPECT_EQ(scene.doc->GetJournal().records[0].Kind(), UndoKind::kItemRemoved);
  scene.doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(StatesOf(*scene.doc), before);
  // Kept with a proper piece, the short one becomes part of a valid arc.
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.doc->GetItem(0)), 5);
  SetKeep("1100");
  ASSERT_EQ(scene.doc->KeepItemSections(scene.doc->GetItem(0)), 1);
  ASSERT_EQ(scene.doc->GetItemCount(), 3);
  EXPECT_EQ(scene.doc->GetItem(2)->GetType(), kItemArc);
  EXPECT_EQ(scene.doc->GetItem(2)->IsValid(), 1);
}

TEST_F(BreakTest, AJournalThatRefusesLeavesTheDrawingAsItWas) {
  Scene scene = MakeScene(MakeLine(0, 0, 3000, 0), Verticals({1000, 2000}));
  const std::vector<ItemState> before = StatesOf(*scene.doc);
  ASSERT_EQ(scene.doc->SplitItemAtCrossings(scene.item), 4);
  SetKeep("101");
  // A journal that cannot take one more record, and cannot grow; the user declines to go on.
  g_journalAllocationLimit = 0;
  auto& journal = const_cast<CUndoJournal&>(scene.doc->GetJournal());
  journal.capacity = journal.top + 5;
  presenter.QueueAnswer(zeph::kIdNo);
  EXPECT_EQ(scene.doc->KeepItemSections(scene.item), 0);
  EXPECT_EQ(StatesOf(*scene.doc), before);
}

}  // namespace
