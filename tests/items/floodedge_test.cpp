#include "items/floodedge.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "items/flood_fixtures.h"
#include "items/itemdocument.h"
#include "items/transform.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/textfile.h"

using namespace flood_test;

namespace {

class FloodEdgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    g_logFolder = m_folder.path();
    ResetFileStatus();
    ResetFloodEdgeState();
  }
  void TearDown() override {
    ResetFloodEdgeState();
    ResetFileStatus();
    ResetLogState();
  }

  static std::vector<int> Scan(const CFloodEdge& edge, int y) {
    EdgeScanHits xs{};
    const int n = edge.IntersectScanLine(y, xs);
    return std::vector<int>(xs.begin(), xs.begin() + n);
  }

  static std::vector<std::pair<int, int>> Hits(const CFloodEdge& edge, int x1, int y1, int x2,
                                               int y2) {
    const int n = edge.IntersectSegment(x1, y1, x2, y2);
    std::vector<std::pair<int, int>> hits;
    for (int i = 0; i < n; ++i) {
      int x = 0, y = 0;
      edge.GetEdgeHit(i, x, y);
      hits.emplace_back(x, y);
    }
    return hits;
  }

  QString Path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }

  // The edge's kind line and record as the drawing file holds them.
  QByteArray Record(const CFloodEdge& edge, const char* name) const {
    CTextFileWriter writer;
    EXPECT_EQ(writer.Open(Path(name)), 1);
    WriteEdgeKind(writer, edge.GetKind());
    edge.Write(writer);
    writer.Close();
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

  // Reads a kind line and a record from the bytes into a new edge.
  std::unique_ptr<CFloodEdge> ReadBack(const QByteArray& bytes, int& result) const {
    QFile file(Path("in.txt"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    CTextFileReader reader;
    EXPECT_EQ(reader.Open(Path("in.txt")), 1);
    int kind = -1;
    EXPECT_EQ(ReadEdgeKind(reader, kind), 1);
    auto edge = CreateFloodEdge(kind);
    result = edge ? edge->Read(reader) : 0;
    reader.Close();
    return edge;
  }

  QTemporaryDir m_folder;
};

using Xs = std::vector<int>;
using Hs = std::vector<std::pair<int, int>>;

// ---- Straight edges ----

TEST_F(FloodEdgeTest, LineScanLinesCountTheirEnds) {
  const auto diagonal = Line({0, 0}, {10, 10});
  EXPECT_EQ(Scan(*diagonal, 0), Xs{0});
  EXPECT_EQ(Scan(*diagonal, 10), Xs{10});
  EXPECT_EQ(Scan(*diagonal, 3), Xs{3});
  EXPECT_EQ(Scan(*diagonal, 11), Xs{});
  EXPECT_EQ(Scan(*diagonal, -1), Xs{});
  const auto steep = Line({0, 0}, {3, 10});
  EXPECT_EQ(Scan(*steep, 5), Xs{2});  // 1.5 rounds away from zero
  const auto flat = Line({2, 5}, {9, 5});
  EXPECT_EQ(Scan(*flat, 5), Xs{2});
  EXPECT_EQ(Scan(*flat, 4), Xs{});
  EXPECT_EQ(Scan(*flat, 6), Xs{});
  // Far-off coordinates: the differences do not overflow.
  const auto far = Line({-2000000000, -2000000000}, {2000000000, 2000000000});
  EXPECT_EQ(Scan(*far, 1000), Xs{1000});
}

TEST_F(FloodEdgeTest, LineEndDirections) {
  struct Case {
    Pt a, b;
    int atStart, atEnd;
  } cases[] = {{{0, 0}, {10, 0}, kEndIsLevel, kEndIsLevel},
               {{0, 0}, {10, 10}, kEndGoesUp, kEndGoesDown},
               {{0, 10}, {5, 0}, kEndGoesDown, kEndGoesUp}};
  for (const Case& c : cases) {
    const auto edge = Line(c.a, c.b);
    EXPECT_EQ(edge->GetEndDirection(0), c.atStart);
    EXPECT_EQ(edge->GetEndDirection(1), c.atEnd);
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(FloodEdgeTest, LineSegmentCrossings) {
  struct Case {
    const char* name;
    Pt a, b;             // the edge
    int x1, y1, x2, y2;  // the segment
    Hs hits;
  } cases[] = {
      {"crossing", {0, 0}, {10, 10}, 0, 10, 10, 0, {{5, 5}}},
      {"segment given backwards", {0, 0}, {10, 10}, 10, 0, 0, 10, {{5, 5}}},
      {"meeting beyond the edge", {0, 0}, {10, 10}, 20, 0, 30, 40, {}},
      {"meeting beyond the segment", {0, 0}, {10, 10}, 0, 10, 4, 6, {}},
      {"touching the edge's end", {0, 0}, {10, 0}, 10, -5, 10, 5, {{10, 0}}},
      {"parallel apart", {0, 0}, {10, 0}, 0, 1, 10, 1, {}},
      {"overlapping inside", {0, 0}, {10, 0}, -5, 0, 15, 0, {{0, 0}, {10, 0}}},
      {"overlapping, edge reversed", {10, 0}, {0, 0}, -5, 0, 15, 0, {{10, 0}, {0, 0}}},
      {"overlapping one end", {0, 0}, {10, 0}, 5, 0, 15, 0, {{5, 0}, {10, 0}}},
      {"covering the segment", {0, 0}, {10, 0}, 3, 0, 6, 0, {{3, 0}, {6, 0}}},
      {"collinear apart", {0, 0}, {10, 0}, 20, 0, 30, 0, {}},
      {"a segment without length", {0, 0}, {10, 0}, 5, 0, 5, 0, {}},
  };
  for (const Case& c : cases) {
    const auto edge = Line(c.a, c.b);
    EXPECT_EQ(Hits(*edge, c.x1, c.y1, c.x2, c.y2), c.hits) << c.name;
  }
}

TEST_F(FloodEdgeTest, LinePointsOnTheEdge) {
  const auto edge = Line({0, 0}, {10, 20});
  EXPECT_EQ(edge->LocatePoint(0, 0), 2);
  EXPECT_EQ(edge->LocatePoint(10, 20), 2);
  EXPECT_EQ(edge->LocatePoint(5, 10), 1);
  EXPECT_EQ(edge->LocatePoint(5, 11), 0);
  EXPECT_EQ(edge->LocatePoint(20, 40), 0);  // on the line, beyond the end
  const auto vertical = Line({3, 0}, {3, 9});
  EXPECT_EQ(vertical->LocatePoint(3, 4), 1);
  EXPECT_EQ(vertical->LocatePoint(4, 4), 0);
}

// ---- The base: what a kind does not support ----

TEST_F(FloodEdgeTest, UnsupportedOperationsReportTheirGlitch) {
  const auto line = Line({0, 0}, {10, 0});
  double a = 7.0, b = 7.0, c = 7.0;
  int x = 7, y = 7;
  struct Case {
    const char* name;
    int glitch;
    std::function<void()> call;
  } cases[] = {
      {"GetArc", 10501, [&] { EXPECT_EQ(line->GetArc(a, b, c), 1); }},
      {"SetFromArc", 10505, [&] { line->SetFromArc(line.get()); }},
      {"GetEllipseCentre", 10506, [&] { EXPECT_EQ(line->GetEllipseCentre(a, b), 1); }},
      {"GetEllipseShape", 10508, [&] { line->GetEllipseShape(a, b, c); }},
      {"GetCurveStart", 10510, [&] { line->GetCurveStart(x, y); }},
      {"GetCurveEnd", 10509, [&] { line->GetCurveEnd(x, y); }},
      {"GetControlPoint", 10507, [&] { line->GetControlPoint(0, a, b); }},
      {"GetSense", 10516, [&] { EXPECT_EQ(line->GetSense(), 0); }},
      {"SetControlPoint", 10521, [&] { line->SetControlPoint(0, 1.0, 1.0); }},
      {"curve GetSense", 10516, [&] { EXPECT_EQ(CBezierEdge().GetSense(), 0); }},
  };
  for (const Case& k : cases) {
    ResetLogState();
    g_logFolder = m_folder.path();
    k.call();
    EXPECT_EQ(g_glitchCount, 1) << k.name;
    EXPECT_EQ(g_firstGlitchCode, k.glitch) << k.name;
    EXPECT_EQ(g_firstGlitchNumber, 1) << k.name;
  }
  EXPECT_EQ(a, 7.0);  // outputs untouched
  EXPECT_EQ(x, 7);
  // A straight edge has no extremes and is never closed, without a glitch.
  ResetLogState();
  EXPECT_EQ(line->GetXExtent(x, y), 0);
  EXPECT_EQ(line->GetYExtent(x, y), 0);
  EXPECT_EQ(line->IsClosed(), 0);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(line->GetEdgeHit(kEdgeHitCapacity, x, y), 0);
}

TEST_F(FloodEdgeTest, BadEndOfEveryKindIsAGlitch) {
  std::vector<std::pair<std::unique_ptr<CFloodEdge>, int>> cases;
  cases.emplace_back(Line({0, 0}, {1, 1}), 3140);
  cases.emplace_back(Arc({10, 0}, {0, 10}, 0, 0, 10, 1), 3130);
  cases.emplace_back(Ellipse({10, 0}, {0, 10}, 0, 0, 10, 10, 0, 1), 3138);
  cases.emplace_back(Bezier({0, 0}, {30, 0}, {0, 0}, 10, 10, 20, 10, {30, 0}), 3133);
  for (auto& [edge, glitch] : cases) {
    ResetLogState();
    g_logFolder = m_folder.path();
    EXPECT_EQ(edge->GetEndDirection(2), 0);
    EXPECT_EQ(g_firstGlitchCode, glitch);
    EXPECT_EQ(g_firstGlitchNumber, 1);
    EXPECT_EQ(g_firstGlitchValueCount, 1);
    EXPECT_EQ(g_firstGlitchValues[0], 2);
  }
}

// ---- Circular edges ----

TEST_F(FloodEdgeTest, CircleAndArcScanLines) {
  const auto circle = Arc({10, 0}, {10, 0}, 0, 0, 10, 1);
  EXPECT_EQ(Scan(*circle, 10), Xs{0});  // touching: one crossing
  EXPECT_EQ(Scan(*circle, 0), (Xs{-10, 10}));
  EXPECT_EQ(Scan(*circle, 6), (Xs{-8, 8}));
  EXPECT_EQ(Scan(*circle, 11), Xs{});
  // The upper half, counter-clockwise from the right.
  const auto upper = Arc({10, 0}, {-10, 0}, 0, 0, 10, 1);
  EXPECT_EQ(Scan(*upper, 6), (Xs{-8, 8}));
  EXPECT_EQ(Scan(*upper, -6), Xs{});
  EXPECT_EQ(Scan(*upper, 0), (Xs{-10, 10}));
  // The same half traced clockwise covers the same curve.
  const auto upperCw = Arc({-10, 0}, {10, 0}, 0, 0, 10, 0);
  EXPECT_EQ(Scan(*upperCw, 6), (Xs{-8, 8}));
  EXPECT_EQ(Scan(*upperCw, -6), Xs{});
  // An end on the scan line within 2 units of the computed x is that end exactly.
  const auto quarter = Arc({100, 0}, {71, 72}, 0, 0, 100, 1);  // the circle is at 69.4
  EXPECT_EQ(Scan(*quarter, 72), Xs{71});
  EXPECT_EQ(Scan(*quarter, 50), Xs{87});
}

TEST_F(FloodEdgeTest, ArcEndDirections) {
  // Counter-clockwise from the left half of the circle goes down; from the right half up.
  const auto left = Arc({-6, 8}, {-6, -8}, 0, 0, 10, 1);
  EXPECT_EQ(left->GetEndDirection(0), kEndGoesDown);
  EXPECT_EQ(left->GetEndDirection(1), kEndGoesUp);
  const auto right = Arc({6, -8}, {6, 8}, 0, 0, 10, 1);
  EXPECT_EQ(right->GetEndDirection(0), kEndGoesUp);
  EXPECT_EQ(right->GetEndDirection(1), kEndGoesDown);
  const auto fromTop = Arc({0, 10}, {-10, 0}, 0, 0, 10, 0);
  EXPECT_EQ(fromTop->GetEndDirection(0), kEndGoesDown);  // the top: down either way
  // Reversed, the bottom end is left upwards and the top end entered from below.
  left->Reverse();
  EXPECT_EQ(left->GetEndDirection(0), kEndGoesUp);
  EXPECT_EQ(left->GetEndDirection(1), kEndGoesDown);
}

// The extent rules of circular and elliptic edges, on a circle of radius 10 about (0, 0).
struct ExtentCase {
  const char* name;
  Pt a, b;
  int direction;
  int yFlags;
  int xFlags;
};
const ExtentCase kExtentCases[] = {
    {"quarter from the top to the left, counter-clockwise", {0, 10}, {-10, 0}, 1, 0, 0},
    {"three quarters from the top to the left, clockwise", {0, 10}, {-10, 0}, 0, 1, 2},
    {"upper half, counter-clockwise", {10, 0}, {-10, 0}, 1, 2, 0},
    {"lower half, clockwise", {10, 0}, {-10, 0}, 0, 1, 0},
    {"left to right through the bottom", {-6, 8}, {6, 8}, 1, 1, 3},
    {"left to right through the top", {-6, -8}, {6, -8}, 0, 2, 3},
    {"down the left side", {-6, 8}, {-6, -8}, 1, 0, 1},
    {"up the left side, the long way", {-6, -8}, {-6, 8}, 1, 3, 2},
    {"whole, starting at the top", {0, 10}, {0, 10}, 1, 1, 3},
    {"whole, starting at the right", {10, 0}, {10, 0}, 0, 3, 1},
    {"whole, starting elsewhere", {6, 8}, {6, 8}, 1, 3, 3},
};

TEST_F(FloodEdgeTest, ArcAndEllipseExtentsTellTheExtremesPassed) {
  for (const ExtentCase& c : kExtentCases) {
    const auto arc = Arc(c.a, c.b, 0, 0, 10, c.direction);
    const auto ellipse = Ellipse(c.a, c.b, 0, 0, 10, 10, 0, c.direction);
    for (const CFloodEdge* edge : {static_cast<const CFloodEdge*>(arc.get()),
                                   static_cast<const CFloodEdge*>(ellipse.get())}) {
      int lo = 0, hi = 0;
      EXPECT_EQ(edge->GetYExtent(lo, hi), c.yFlags) << c.name << " kind " << edge->GetKind();
      EXPECT_EQ(lo, -10);
      EXPECT_EQ(hi, 10);
      EXPECT_EQ(edge->GetXExtent(lo, hi), c.xFlags) << c.name << " kind " << edge->GetKind();
      EXPECT_EQ(lo, -10);
      EXPECT_EQ(hi, 10);
    }
  }
}

TEST_F(FloodEdgeTest, ArcPointsOnTheEdge) {
  const auto arc = Arc({10, 0}, {0, 10}, 0, 0, 10, 1);
  EXPECT_EQ(arc->LocatePoint(10, 0), 2);
  EXPECT_EQ(arc->LocatePoint(0, 10), 2);
  EXPECT_EQ(arc->LocatePoint(7, 7), 1);    // 9.9 from the centre
  EXPECT_EQ(arc->LocatePoint(-7, -7), 0);  // on the circle, outside the sweep
  EXPECT_EQ(arc->LocatePoint(5, 5), 0);
  const auto circle = Arc({10, 0}, {10, 0}, 0, 0, 10, 1);
  EXPECT_EQ(circle->LocatePoint(-7, -7), 1);
}

TEST_F(FloodEdgeTest, ArcSegmentCrossings) {
  const auto circle = Arc({10, 0}, {10, 0}, 0, 0, 10, 1);
  EXPECT_EQ(Hits(*circle, -20, 0, 20, 0), (Hs{{-10, 0}, {10, 0}}));
  EXPECT_EQ(Hits(*circle, 0, -20, 0, 20), (Hs{{0, -10}, {0, 10}}));
  EXPECT_EQ(Hits(*circle, -20, 10, 20, 10), (Hs{{0, 10}, {0, 10}}));  // a tangent, twice
  EXPECT_EQ(Hits(*circle, -20, 0, 0, 0), (Hs{{-10, 0}}));
  EXPECT_EQ(Hits(*circle, -20, 11, 20, 11), Hs{});
  // A steep segment (x grows by 1 over its length): no loss of precision far from the origin.
  const auto far = Arc({40000100, 30000000}, {40000100, 30000000}, 40000000, 30000000, 100, 1);
  EXPECT_EQ(Hits(*far, 40000000, 29000000, 40000001, 31000000),
            (Hs{{40000000, 29999900}, {40000001, 30000100}}));
  const auto upper = Arc({10, 0}, {-10, 0}, 0, 0, 10, 1);
  EXPECT_EQ(Hits(*upper, 0, -20, 0, 20), (Hs{{0, 10}}));
}

TEST_F(FloodEdgeTest, ArcReverseAndTransform) {
  const auto arc = Arc({10, 0}, {0, 10}, 0, 0, 10, 1);
  arc->Reverse();
  EXPECT_EQ(arc->GetStartX(), 0);
  EXPECT_EQ(arc->GetSense(), 1);
  EXPECT_EQ(Scan(*arc, 6), Xs{8});  // the same quarter
  arc->Reverse();
  EXPECT_EQ(arc->GetStartX(), 10);
  EXPECT_EQ(arc->GetSense(), 0);

  double cx = 0, cy = 0, r = 0;
  CTransform enlarge;
  enlarge.SetEnlargement(2.0, 0, 0);
  arc->Transform(enlarge);
  EXPECT_EQ(arc->GetArc(cx, cy, r), 1);
  EXPECT_DOUBLE_EQ(r, 20.0);
  EXPECT_EQ(arc->GetEndX(), 0);
  EXPECT_EQ(arc->GetEndY(), 20);
  CTransform turn;
  turn.SetEnlargement(-2.0, 0, 0);
  arc->Transform(turn);
  EXPECT_EQ(arc->GetArc(cx, cy, r), 1);
  EXPECT_DOUBLE_EQ(r, 40.0);
  EXPECT_EQ(arc->GetStartX(), -40);
  CTransform mirror;
  mirror.SetReflection(1, 5);
  arc->Transform(mirror);
  EXPECT_EQ(arc->GetArc(cx, cy, r), 0);
  EXPECT_DOUBLE_EQ(cx, 10.0);
  EXPECT_EQ(arc->GetStartX(), 50);
  arc->MoveBy(1, 2);
  EXPECT_EQ(arc->GetArc(cx, cy, r), 0);
  EXPECT_DOUBLE_EQ(cx, 11.0);
  EXPECT_DOUBLE_EQ(cy, 2.0);
}

// ---- Elliptic edges ----

TEST_F(FloodEdgeTest, EllipseScanLines) {
  const auto whole = Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(Scan(*whole, 10), Xs{0});  // touching: one crossing
  EXPECT_EQ(Scan(*whole, 0), (Xs{-20, 20}));
  EXPECT_EQ(Scan(*whole, 6), (Xs{-16, 16}));
  EXPECT_EQ(Scan(*whole, 11), Xs{});
  // An end on the scan line within 2 units of the computed x (8.7) is that end.
  const auto arc = Ellipse({20, 0}, {10, 9}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(Scan(*arc, 9), Xs{10});
  EXPECT_EQ(Scan(*arc, 5), Xs{17});
  EXPECT_EQ(Scan(*arc, -5), Xs{});
  // A line just under the top of a circle met at its end at the top: both roots lie within
  // reach of the end, which is one crossing.
  const auto toTop = Ellipse({100, 0}, {0, 100}, 0, 0, 100.01, 100.01, 0, 1);
  EXPECT_EQ(Scan(*toTop, 100), Xs{0});
  // Turned a quarter: tall instead of wide.
  const auto tall = Ellipse({0, 20}, {0, 20}, 0, 0, 20, 10, g_halfPi, 1);
  EXPECT_EQ(Scan(*tall, 0), (Xs{-10, 10}));
  EXPECT_EQ(Scan(*tall, 21), Xs{});
}

TEST_F(FloodEdgeTest, EllipseEndDirections) {
  const double rotation = 0.3;
  const double c = std::cos(rotation), s = std::sin(rotation);
  // The ends of the minor axis: (-ry sin, ry cos) is on the upper left.
  const Pt upperLeft{static_cast<int>(std::lround(-10 * s)), static_cast<int>(std::lround(10 * c))};
  const Pt lowerRight{-upperLeft.x, -upperLeft.y};
  const auto ccw = Ellipse(upperLeft, lowerRight, 0, 0, 20, 10, rotation, 1);
  EXPECT_EQ(ccw->GetEndDirection(0), kEndGoesDown);
  EXPECT_EQ(ccw->GetEndDirection(1), kEndGoesDown);
  const auto cw = Ellipse(upperLeft, lowerRight, 0, 0, 20, 10, rotation, 0);
  EXPECT_EQ(cw->GetEndDirection(0), kEndGoesUp);
  EXPECT_EQ(cw->GetEndDirection(1), kEndGoesUp);
}

TEST_F(FloodEdgeTest, EllipseEndOnItsRoundedLowestLevelIsTheBottom) {
  // Down the left side of a circle about (-0.4, 0) to (0, -100), just past the true bottom.
  const auto edge = Ellipse({-71, 71}, {0, -100}, -0.4, 0, 100, 100, 0, 1);
  EXPECT_EQ(edge->GetEndDirection(1), kEndGoesUp);
  int lo = 0, hi = 0;
  EXPECT_EQ(edge->GetYExtent(lo, hi), 0);  // the bottom is its end, not passed
  EXPECT_EQ(lo, -100);
  const auto up = Ellipse({0, -100}, {71, 71}, -0.4, 0, 100, 100, 0, 1);
  EXPECT_EQ(up->GetEndDirection(0), kEndGoesUp);
  const auto fromTop = Ellipse({1, 100}, {-71, 71}, -0.4, 0, 100, 100, 0, 1);
  EXPECT_EQ(fromTop->GetEndDirection(0), kEndGoesDown);
}

TEST_F(FloodEdgeTest, EllipseExtentsAreCachedAndMoveWithTheEdge) {
  const auto tall = Ellipse({10, 0}, {10, 0}, 0, 0, 20, 10, g_halfPi, 1);
  int lo = 0, hi = 0;
  EXPECT_EQ(tall->GetXExtent(lo, hi), kExtentPassesMin);  // it starts at the rightmost point
  EXPECT_EQ(lo, -10);
  EXPECT_EQ(hi, 10);
  EXPECT_EQ(tall->GetYExtent(lo, hi), kExtentPassesMin | kExtentPassesMax);
  EXPECT_EQ(lo, -20);
  EXPECT_EQ(hi, 20);
  tall->MoveBy(100, -50);
  EXPECT_EQ(tall->GetYExtent(lo, hi), 3);
  EXPECT_EQ(lo, -70);
  EXPECT_EQ(hi, -30);
  EXPECT_EQ(tall->GetXExtent(lo, hi), 1);
  EXPECT_EQ(lo, 90);
  EXPECT_EQ(hi, 110);
  // A rotated ellipse reaches sqrt(rx^2 c^2 + ry^2 s^2) to either side.
  const auto tilted = Ellipse({0, 0}, {0, 0}, 0, 0, 200, 100, kPi / 4, 1);
  tilted->GetXExtent(lo, hi);
  EXPECT_EQ(hi, 158);
  EXPECT_EQ(lo, -158);
}

TEST_F(FloodEdgeTest, EllipsePointsOnTheEdge) {
  const auto whole = Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(whole->LocatePoint(20, 0), 2);
  EXPECT_EQ(whole->LocatePoint(0, 10), 1);  // the end of the minor axis
  EXPECT_EQ(whole->LocatePoint(0, 12), 0);
  EXPECT_EQ(whole->LocatePoint(-20, 0), 1);
  const auto upper = Ellipse({20, 0}, {-20, 0}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(upper->LocatePoint(0, 10), 1);
  EXPECT_EQ(upper->LocatePoint(0, -10), 0);
}

TEST_F(FloodEdgeTest, EllipseSegmentCrossings) {
  const auto whole = Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(Hits(*whole, -30, 0, 30, 0), (Hs{{-20, 0}, {20, 0}}));
  EXPECT_EQ(Hits(*whole, 0, 30, 0, -30), (Hs{{0, 10}, {0, -10}}));
  EXPECT_EQ(Hits(*whole, -30, 0, 0, 0), (Hs{{-20, 0}}));
  EXPECT_EQ(Hits(*whole, -30, 11, 30, 11), Hs{});
  const auto upper = Ellipse({20, 0}, {-20, 0}, 0, 0, 20, 10, 0, 1);
  EXPECT_EQ(Hits(*upper, 0, -30, 0, 30), (Hs{{0, 10}}));
  // A segment ending at the arc's end finds the end.
  EXPECT_EQ(Hits(*upper, 20, -5, 20, 5), (Hs{{20, 0}, {20, 0}}));
}

TEST_F(FloodEdgeTest, EllipseTransforms) {
  const auto round = Ellipse({10, 0}, {10, 0}, 0, 0, 10, 10, 0.5, 1);
  CTransform turn;
  turn.SetRotation(30.0, 0, 0);
  round->Transform(turn);
  double rx = 0, ry = 0, rotation = 0;
  round->GetEllipseShape(rx, ry, rotation);
  EXPECT_DOUBLE_EQ(rotation, 0.5);  // a circle has no axis to turn
  EXPECT_EQ(round->GetStartX(), 9);
  EXPECT_EQ(round->GetStartY(), 5);

  const auto wide = Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0.0, 1);
  turn.SetRotation(120.0, 0, 0);
  wide->Transform(turn);
  wide->GetEllipseShape(rx, ry, rotation);
  EXPECT_NEAR(rotation, 2.0 * kPi / 3.0 - kPi * 0.0, 1e-12);
  turn.SetRotation(90.0, 0, 0);
  wide->Transform(turn);
  wide->GetEllipseShape(rx, ry, rotation);
  EXPECT_NEAR(rotation, 2.0 * kPi / 3.0 + kPi / 2.0 - kPi, 1e-12);  // kept within [0, pi)

  CTransform mirror;
  mirror.SetReflection(0, 0);
  double cx = 0, cy = 0;
  EXPECT_EQ(wide->GetEllipseCentre(cx, cy), 1);
  wide->Transform(mirror);
  EXPECT_EQ(wide->GetEllipseCentre(cx, cy), 0);  // a mirror always turns the direction
  EXPECT_EQ(round->GetEllipseCentre(cx, cy), 1);
  round->Transform(mirror);
  EXPECT_EQ(round->GetEllipseCentre(cx, cy), 0);

  // Enlarging by a negative factor turns the ellipse half round; its radii stay lengths.
  CTransform enlarge;
  enlarge.SetEnlargement(-2.0, 0, 0);
  const auto e = Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0.0, 1);
  e->Transform(enlarge);
  e->GetEllipseShape(rx, ry, rotation);
  EXPECT_EQ(rx, 40.0);
  EXPECT_EQ(ry, 20.0);
  EXPECT_EQ(Scan(*e, 0), (Xs{-40, 40}));

  // A stretch along x makes a circle twice as wide; the cached extents are recomputed.
  const auto circle = Ellipse({10, 0}, {10, 0}, 0, 0, 10, 10, 0.0, 1);
  int lo = 0, hi = 0;
  circle->GetXExtent(lo, hi);
  CTransform stretch;
  stretch.SetStretch(1, 2.0, 0);
  circle->Transform(stretch);
  circle->GetEllipseShape(rx, ry, rotation);
  EXPECT_EQ(rx, 20.0);
  EXPECT_EQ(ry, 10.0);
  circle->GetXExtent(lo, hi);
  EXPECT_EQ(hi, 20);
  EXPECT_EQ(circle->GetStartX(), 20);
  stretch.SetStretch(0, -1.0, 0);
  circle->Transform(stretch);
  EXPECT_EQ(circle->GetEllipseCentre(cx, cy), 0);
}

TEST_F(FloodEdgeTest, EllipseMadeFromAnArc) {
  const auto arc = Arc({10, 0}, {0, 10}, 5, 0, 10, 0);
  CEllipseEdge ellipse;
  ellipse.SetFromArc(arc.get());
  double cx = 0, cy = 0, rx = 0, ry = 0, rotation = 1;
  EXPECT_EQ(ellipse.GetEllipseCentre(cx, cy), 0);
  ellipse.GetEllipseShape(rx, ry, rotation);
  EXPECT_EQ(cx, 5.0);
  EXPECT_EQ(rx, 10.0);
  EXPECT_EQ(ry, 10.0);
  EXPECT_EQ(rotation, 0.0);
  EXPECT_EQ(ellipse.GetEndY(), 10);
}

// ---- Curve edges ----

// y = -100 (1-t)^3 + 1200 t (1-t)^2 - 1200 t^2 (1-t) + 100 t^3 and x = 300 t: it crosses y = 0
// three times.
std::unique_ptr<CBezierEdge> Wave() {
  return Bezier({0, -100}, {300, 100}, {0, -100}, 100, 400, 200, -400, {300, 100});
}

TEST_F(FloodEdgeTest, CurveScanLines) {
  const auto wave = Wave();
  const Xs three = Scan(*wave, 0);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[1], 150);
  EXPECT_LT(three[0], 30);
  EXPECT_GT(three[2], 270);
  EXPECT_EQ(Scan(*wave, -100), Xs{0});  // the start
  EXPECT_EQ(Scan(*wave, 100), Xs{300});
  EXPECT_EQ(Scan(*wave, 200), Xs{});
  // A piece of it: the middle third of the parameter range.
  const auto piece = Bezier({100, 63}, {200, -63}, {0, -100}, 100, 400, 200, -400, {300, 100});
  EXPECT_EQ(Scan(*piece, 0), Xs{150});
  EXPECT_EQ(Scan(*piece, 63), Xs{100});
  EXPECT_EQ(Scan(*piece, 70), Xs{});
  // Ends and roots together never give more than three.
  const auto s = Bezier({0, 0}, {300, 0}, {0, 0}, 100, 300, 200, -300, {300, 0});
  EXPECT_EQ(Scan(*s, 0), (Xs{0, 150, 300}));
}

TEST_F(FloodEdgeTest, CurveParametersOfPoints) {
  // y = 300 t (1 - t), x = 300 t^2 - 200 t^3.
  const auto arch = Bezier({0, 0}, {100, 0}, {0, 0}, 0, 100, 100, 100, {100, 0});
  EXPECT_EQ(arch->ParameterOfPoint(0, 0), 0.0);
  EXPECT_EQ(arch->ParameterOfPoint(100, 0), 1.0);
  EXPECT_NEAR(arch->ParameterOfPoint(50, 75), 0.5, 1e-6);
  EXPECT_NEAR(arch->ParameterOfPoint(2.8, 27), 0.1, 1e-9);
  EXPECT_EQ(arch->ParameterOfPoint(50, 200), -1.0);
  // A junction rounded past the top of the curve (75.75) still lies on it.
  const auto higher = Bezier({0, 0}, {100, 0}, {0, 0}, 0, 101, 100, 101, {100, 0});
  EXPECT_NEAR(higher->ParameterOfPoint(50, 76), 0.5, 1e-9);
  EXPECT_EQ(higher->ParameterOfPoint(50, 78), -1.0);
}

TEST_F(FloodEdgeTest, CurveParametersAreFoundWhenFirstNeeded) {
  const auto half = Bezier({0, 0}, {50, 75}, {0, 0}, 0, 100, 100, 100, {100, 0});
  EXPECT_EQ(half->GetStartParameter(), -1.0);
  EXPECT_EQ(half->GetEndDirection(0), kEndGoesUp);
  EXPECT_EQ(half->GetStartParameter(), 0.0);
  EXPECT_NEAR(half->GetEndParameter(), 0.5, 1e-6);
  // The end is the top: moving back into the edge goes down.
  EXPECT_EQ(half->GetEndDirection(1), kEndGoesDown);
  // Reversed, the parameters turn round with the curve.
  half->Reverse();
  EXPECT_NEAR(half->GetStartParameter(), 0.5, 1e-6);
  EXPECT_EQ(half->GetEndParameter(), 1.0);
  EXPECT_NEAR(half->EvaluateX(half->GetStartParameter()), 50.0, 1e-6);
  EXPECT_EQ(half->GetEndDirection(0), kEndGoesDown);
  EXPECT_EQ(half->GetEndDirection(1), kEndGoesUp);
  // A transform forgets them.
  CTransform shift;
  shift.SetEnlargement(1.0, 0, 0);
  half->Transform(shift);
  EXPECT_EQ(half->GetStartParameter(), -1.0);
  EXPECT_EQ(half->GetEndParameter(), -1.0);
}

TEST_F(FloodEdgeTest, CurveExtentsKeepTheirTolerances) {
  // x turns at t = 0 and t = 1, y at t = 0.5 (the top, 75).
  const auto rising = Bezier({0, 0}, {50, 75}, {0, 0}, 0, 100, 100, 100, {100, 0});
  int lo = -7, hi = -7;
  // The turning point in x at the start is reported (outward tolerance)...
  EXPECT_EQ(rising->GetXExtent(lo, hi), kExtentPassesMin);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, -7);
  // ...the one in y at the end is not (inward tolerance).
  EXPECT_EQ(rising->GetYExtent(lo, hi), 0);
  const auto whole = Bezier({0, 0}, {100, 0}, {0, 0}, 0, 100, 100, 100, {100, 0});
  EXPECT_EQ(whole->GetYExtent(lo, hi), kExtentPassesMax);
  EXPECT_EQ(hi, 75);
  EXPECT_EQ(whole->GetXExtent(lo, hi), kExtentPassesMin | kExtentPassesMax);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 100);
  // The line through the top touches the curve there: in and out at once.
  EXPECT_EQ(Scan(*whole, 75), (Xs{50, 50}));
  EXPECT_EQ(Scan(*whole, 76), Xs{});
}

TEST_F(FloodEdgeTest, CurveStartOnAFlatPieceIsItsOwnCrossing) {
  // y = 9 t (1 - t), x = 3000 t: so flat that the junction (600, 1), rounded from
  // (600, 1.44), lies where the curve reaches y = 1 at x = 382.
  const auto flat = Bezier({600, 1}, {3000, 0}, {0, 0}, 1000, 3, 2000, 3, {3000, 0});
  EXPECT_EQ(Scan(*flat, 1), (Xs{600, 2618}));
  EXPECT_EQ(flat->LocatePoint(2618, 1), 1);
  EXPECT_EQ(flat->LocatePoint(3000, 0), 2);
  EXPECT_EQ(flat->LocatePoint(1500, 0), 0);
}

TEST_F(FloodEdgeTest, CurveSegmentCrossings) {
  const auto wave = Wave();
  Hs hits = Hits(*wave, 0, 0, 300, 0);
  std::sort(hits.begin(), hits.end());
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].second, 0);
  EXPECT_EQ(hits[1], (std::pair<int, int>{150, 0}));
  // Only where the segment reaches.
  EXPECT_EQ(Hits(*wave, 100, 0, 200, 0), (Hs{{150, 0}}));
  EXPECT_EQ(Hits(*wave, 150, -200, 150, 200), (Hs{{150, 0}}));
  const auto piece = Bezier({100, 63}, {200, -63}, {0, -100}, 100, 400, 200, -400, {300, 100});
  EXPECT_EQ(Hits(*piece, 0, 0, 300, 0), (Hs{{150, 0}}));
}

TEST_F(FloodEdgeTest, CurveControlPointsAndMoves) {
  const auto wave = Wave();
  double x = 0, y = 0;
  wave->GetControlPoint(1, x, y);
  EXPECT_EQ(x, 200.0);
  EXPECT_EQ(y, -400.0);
  ResetLogState();
  g_logFolder = m_folder.path();
  wave->GetControlPoint(2, x, y);
  EXPECT_EQ(g_firstGlitchCode, 3135);
  wave->SetControlPoint(-1, 1.0, 1.0);
  EXPECT_EQ(g_glitchCount, 2);
  wave->MoveBy(10, 20);
  int cx = 0, cy = 0;
  wave->GetCurveEnd(cx, cy);
  EXPECT_EQ(cx, 310);
  EXPECT_EQ(cy, 120);
  wave->GetControlPoint(0, x, y);
  EXPECT_EQ(x, 110.0);
  EXPECT_EQ(y, 420.0);
  EXPECT_EQ(Scan(*wave, 20)[1], 160);
}

TEST_F(FloodEdgeTest, CopiesTakeGeometryButNotTheUsedCode) {
  std::vector<std::unique_ptr<CFloodEdge>> sources;
  sources.push_back(Line({1, 2}, {3, 4}));
  sources.push_back(Arc({10, 0}, {0, 10}, 0, 0, 10, 0));
  sources.push_back(Ellipse({20, 0}, {0, 10}, 0, 0, 20, 10, 0.25, 1));
  sources.push_back(Wave());
  for (const auto& source : sources) {
    source->SetCode(105);
    auto copy = CreateFloodEdge(source->GetKind());
    ASSERT_TRUE(copy);
    copy->CopyFrom(source.get());
    EXPECT_EQ(copy->GetCode(), 0);
    EXPECT_EQ(Record(*copy, "copy.txt"), Record(*source, "source.txt"));
  }
  EXPECT_EQ(CreateFloodEdge(4), nullptr);
  EXPECT_EQ(CreateFloodEdge(-1), nullptr);
}

// ---- Drawing-file records ----

TEST_F(FloodEdgeTest, RecordsOfEveryKindReadBackTheSame) {
  std::vector<std::unique_ptr<CFloodEdge>> edges;
  edges.push_back(Line({-1, 2}, {2000000000, -4}));
  edges.push_back(Arc({10, 0}, {0, 10}, 0.5, -0.25, 10.125, 0));
  edges.push_back(Ellipse({20, 0}, {0, 10}, 1.5, 2.5, 20, 10, 0.125, 1));
  edges.push_back(Wave());
  const char* expected[] = {
      "0\r\n-1\r\n2\r\n2000000000\r\n-4\r\n",
      "1\r\n10\r\n0\r\n0\r\n10\r\n0.5\r\n-0.25\r\n10.125\r\n0\r\n",
      "2\r\n20\r\n0\r\n0\r\n10\r\n1.5\r\n2.5\r\n20\r\n10\r\n0.125\r\n1\r\n",
      "3\r\n0\r\n-100\r\n300\r\n100\r\n0\r\n-100\r\n300\r\n100\r\n100\r\n400\r\n200\r\n-400\r\n",
  };
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const QByteArray bytes = Record(*edges[i], "edge.txt");
    EXPECT_EQ(bytes.toStdString(), std::string(expected[i]));
    int result = 0;
    const auto back = ReadBack(bytes, result);
    ASSERT_TRUE(back);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_fileStatus, 0);
    EXPECT_EQ(Record(*back, "back.txt"), bytes);
  }
}

TEST_F(FloodEdgeTest, DamagedRecordsStopAtTheBadLine) {
  struct Case {
    const char* name;
    const char* bytes;
    int status;
    int startX;  // what the edge holds afterwards
  } cases[] = {
      {"not a number", "0\r\n5\r\n6\r\nseven\r\n8\r\n", kFileIllegalValue, 5},
      {"cut short", "1\r\n10\r\n0\r\n0\r\n10\r\n0.5\r\n", kFileEndedTooSoon, 10},
      {"a direction of 3", "1\r\n10\r\n0\r\n0\r\n10\r\n0\r\n0\r\n10\r\n3\r\n", kFileIllegalValue,
       10},
      {"a negative radius", "2\r\n1\r\n0\r\n1\r\n0\r\n0\r\n0\r\n-1\r\n1\r\n0\r\n1\r\n",
       kFileIllegalValue, 1},
      {"not finite", "3\r\n4\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1e999\r\n", kFileIllegalValue,
       4},
  };
  for (const Case& c : cases) {
    ResetFileStatus();
    int result = 1;
    const auto edge = ReadBack(QByteArray(c.bytes), result);
    ASSERT_TRUE(edge) << c.name;
    EXPECT_EQ(result, 0) << c.name;
    EXPECT_EQ(g_fileStatus, c.status) << c.name;
    EXPECT_EQ(edge->GetStartX(), c.startX) << c.name;
  }
}

}  // namespace
