#include "items/boundaryloop.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "items/drawitem.h"
#include "items/flood_fixtures.h"
#include "items/lineitem.h"
#include "items/transform.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/textfile.h"

using namespace flood_test;

namespace {

using Xs = std::vector<int>;

class BoundaryLoopTest : public ::testing::Test {
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

  QString Path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }

  // The loop's record as the drawing file holds it.
  QByteArray Record(const CBoundaryLoop& loop) const {
    CTextFileWriter writer;
    EXPECT_EQ(writer.Open(Path("loop.txt")), 1);
    loop.Write(writer);
    writer.Close();
    QFile file(Path("loop.txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

  // Reads a loop record from the bytes; the answer of Read.
  int ReadLoop(const QByteArray& bytes, CBoundaryLoop& loop) const {
    QFile file(Path("in.txt"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    CTextFileReader reader;
    EXPECT_EQ(reader.Open(Path("in.txt")), 1);
    const int result = loop.Read(reader);
    reader.Close();
    return result;
  }

  // The crossings of a segment, each as (x, y).
  static std::vector<std::pair<int, int>> SegmentHits(const CBoundaryLoop& loop, int x1, int y1,
                                                      int x2, int y2) {
    std::vector<int> xs(static_cast<std::size_t>(loop.GetMaxCrossings()) + 2);
    std::vector<int> ys(xs.size());
    xs[0] = x1;
    ys[0] = y1;
    xs[1] = x2;
    ys[1] = y2;
    const int n = loop.IntersectSegment(xs.data(), ys.data());
    std::vector<std::pair<int, int>> hits;
    for (int i = 0; i < n; ++i) hits.emplace_back(xs[i], ys[i]);
    return hits;
  }

  QTemporaryDir m_folder;
};

// ---- The shapes ----

std::unique_ptr<CBoundaryLoop> Square() { return Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}); }
std::unique_ptr<CBoundaryLoop> Diamond() { return Polygon({{5, 0}, {10, 5}, {5, 10}, {0, 5}}); }
// The upper half of the circle of radius 10 about the origin, counter-clockwise.
std::unique_ptr<CBoundaryLoop> HalfDisc() {
  return LoopOf(Edges(Arc({10, 0}, {-10, 0}, 0, 0, 10, 1), Line({-10, 0}, {10, 0})));
}
// Where the discs of radius 10 about (0, 0) and (12, 0) overlap: x from 2 to 10.
std::unique_ptr<CBoundaryLoop> Lens() {
  return LoopOf(Edges(Arc({6, -8}, {6, 8}, 0, 0, 10, 1), Arc({6, 8}, {6, -8}, 12, 0, 10, 1)));
}
std::unique_ptr<CBoundaryLoop> Circle() {
  return LoopOf(Edges(Arc({10, 0}, {10, 0}, 0, 0, 10, 1)));
}
// A U whose inside steps down twice: arms 10 wide up to 30, steps at 20, floor at 10.
std::unique_ptr<CBoundaryLoop> SteppedU() {
  return Polygon({{0, 0},
                  {40, 0},
                  {40, 30},
                  {30, 30},
                  {30, 20},
                  {25, 20},
                  {25, 10},
                  {15, 10},
                  {15, 20},
                  {10, 20},
                  {10, 30},
                  {0, 30}});
}
// A square of 30 and, separately, the square hole in its middle (clockwise, as traced).
std::unique_ptr<CBoundaryLoop> Outer() { return Polygon({{0, 0}, {30, 0}, {30, 30}, {0, 30}}); }
std::unique_ptr<CBoundaryLoop> Hole() { return Polygon({{10, 10}, {10, 20}, {20, 20}, {20, 10}}); }

struct ScanCase {
  int y;
  Xs strict;
  Xs inclusive;
};
struct Shape {
  const char* name;
  std::function<std::unique_ptr<CBoundaryLoop>()> make;
  std::vector<ScanCase> scans;
  int sense;
};

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"square",
       Square,
       {{5, {0, 10}, {0, 10}}, {0, {}, {0, 10}}, {10, {}, {0, 10}}, {-1, {}, {}}, {11, {}, {}}},
       0},
      {"diamond",
       Diamond,
       {{10, {5, 5}, {5, 5}},
        {5, {0, 10}, {0, 10}},
        {0, {5, 5}, {5, 5}},
        {2, {3, 7}, {3, 7}},
        {8, {3, 7}, {3, 7}}},
       0},
      {"half disc",
       HalfDisc,
       {{5, {-9, 9}, {-9, 9}}, {0, {}, {-10, 10}}, {10, {0, 0}, {0, 0}}, {-1, {}, {}}},
       0},
      {"lens",
       Lens,
       {{0, {2, 10}, {2, 10}},
        {4, {3, 9}, {3, 9}},
        {-4, {3, 9}, {3, 9}},
        {8, {6, 6}, {6, 6}},
        {-8, {6, 6}, {6, 6}},
        {9, {}, {}}},
       0},
      {"circle",
       Circle,
       {{10, {0, 0}, {0, 0}},
        {-10, {0, 0}, {0, 0}},
        {0, {-10, 10}, {-10, 10}},
        {6, {-8, 8}, {-8, 8}},
        {11, {}, {}}},
       0},
      {"curved dome",
       [] {
         return LoopOf(Edges(Bezier({0, 0}, {100, 0}, {0, 0}, 0, 100, 100, 100, {100, 0}),
                             Line({100, 0}, {0, 0})));
       },
       {{75, {50, 50}, {50, 50}}, {27, {3, 97}, {3, 97}}, {0, {}, {0, 100}}, {76, {}, {}}},
       1},  // over the top left to right
      {"circle from its top",
       [] {
         return LoopOf(Edges(Arc({0, 10}, {0, 10}, 0, 0, 10, 0)));
       },
       {{10, {0, 0}, {0, 0}}, {-10, {0, 0}, {0, 0}}, {0, {-10, 10}, {-10, 10}}},
       1},
      {"U with steps",
       SteppedU,
       {{30, {}, {0, 10, 30, 40}},
        {25, {0, 10, 30, 40}, {0, 10, 30, 40}},
        {20, {0, 10, 30, 40}, {0, 15, 25, 40}},
        {15, {0, 15, 25, 40}, {0, 15, 25, 40}},
        {10, {0, 15, 25, 40}, {0, 40}},
        {5, {0, 40}, {0, 40}},
        {0, {}, {0, 40}}},
       0},
      {"hole", Hole, {{15, {10, 20}, {10, 20}}, {10, {}, {10, 20}}}, 1},
  };
  return shapes;
}

TEST_F(BoundaryLoopTest, ScanLinesGiveTheSpansInside) {
  for (const Shape& shape : Shapes()) {
    const auto loop = shape.make();
    ASSERT_EQ(loop->IsValid(), 1) << shape.name;
    for (const ScanCase& scan : shape.scans) {
      EXPECT_EQ(Spans(*loop, scan.y, 0), scan.strict) << shape.name << " strict y " << scan.y;
      EXPECT_EQ(Spans(*loop, scan.y, 1), scan.inclusive) << shape.name << " inclusive y " << scan.y;
    }
    // Reversed, the boundary covers the same region.
    loop->Reverse();
    for (const ScanCase& scan : shape.scans) {
      EXPECT_EQ(Spans(*loop, scan.y, 0), scan.strict) << shape.name << " reversed y " << scan.y;
      EXPECT_EQ(Spans(*loop, scan.y, 1), scan.inclusive) << shape.name << " reversed y " << scan.y;
    }
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BoundaryLoopTest, AVertexRoundedPastTheBottomOfAnEllipseIsPassedOnce) {
  // Down the left side of a circle about (-0.4, 0) to (0, -100), just past its true bottom,
  // and on down a line: the boundary passes through the vertex.
  const auto loop = LoopOf(Edges(Ellipse({-71, 71}, {0, -100}, -0.4, 0, 100, 100, 0, 1),
                                 Line({0, -100}, {-50, -120}), Line({-50, -120}, {-150, -120}),
                                 Line({-150, -120}, {-150, 71}), Line({-150, 71}, {-71, 71})));
  EXPECT_EQ(Spans(*loop, -100, 0), (Xs{-150, 0}));
  EXPECT_EQ(Spans(*loop, -100, 1), (Xs{-150, 0}));
  EXPECT_EQ(loop->GetSense(), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

// Loops traced as the fill search makes them: every vertex is a rounded point of the curves
// that meet there, so a curve's own end lies a fraction of a unit off it.
std::vector<std::unique_ptr<CBoundaryLoop>> RoundedVertexLoops() {
  std::vector<std::unique_ptr<CBoundaryLoop>> loops;
  // A large flat ellipse leaving a vertex a unit above a scan line.
  loops.push_back(LoopOf(Edges(
      Ellipse({6602, 6747}, {0, 0}, 6150.0763203443839, -35780.521216365196, 43599.868065586728,
              22318.06379293845, 1.6950762188400823, 1),
      Ellipse({-8745, 1479}, {0, 0}, -8080.1594512950751, 1250.9060969009938, 716.9162205868281,
              689.19560688921047, 0.44647309887368225, 1),
      Arc({-8213, 565}, {0, 0}, -5436.3494200380956, 4576.5202319939444, 4878.7378506022978, 1),
      Line({-5767, -291}, {0, 0}),
      Arc({-5068, -4820}, {0, 0}, -23616.712013903893, 25564.340252637543, 35598.63550703584, 1))));
  // A flat ellipse ending a fraction past its top, on its rounded highest level.
  loops.push_back(LoopOf(
      Edges(Ellipse({3451, 1098}, {0, 0}, -7276.6162566146086, -12537.989304743041,
                    21052.898559532656, 14536.172963360023, 0.1886470796300094, 1),
            Bezier({-4459, 2276}, {0, 0}, {-5569, 5463}, -3906.0044146340633, 155.19785485457442,
                   -2687.4744981190547, -1585.695612597013, {-242, -4574}),
            Bezier({-1312, -3237}, {0, 0}, {-1888, -3226}, 1787.4192606171757, -3453.0098281398555,
                   2177.882312345389, -692.60479516364933, {4068, 2078}))));
  // A curve that rises a fraction over its start's level and falls back.
  loops.push_back(LoopOf(Edges(
      Line({8418, 4937}, {0, 0}),
      Bezier({-1155, -6085}, {0, 0}, {-222, -7069}, -3063.1142818893127, -3807.5132796983821,
             -6615.2544682507232, -2682.9474900669929, {-6293, 3012}),
      Arc({-6254, 1186}, {0, 0}, -4858.5408061942353, 3781.4349015789348, 2946.7929499561201, 0),
      Arc({-7384, 2263}, {0, 0}, -2105.2087684356238, 8452.1572171936314, 8134.5746001607831, 1),
      Bezier({5612, 5880}, {0, 0}, {2886, 5460}, 6852.6125596991196, 6474.0585109746171,
             7546.8301683043001, 5442.2588747916561, {8987, 4569}))));
  // A curve that dips and rises just past a vertex, its top a fraction under a scan line.
  loops.push_back(LoopOf(Edges(
      Bezier({3045, 8564}, {0, 0}, {2552, 9915}, 5075.0736809512309, 3482.503354921259,
             4648.1035421782062, -1710.5112580873774, {3388, -9155}),
      Bezier({3748, -6925}, {0, 0}, {4045, -6935}, 2982.3180127583178, -6874.9513753412775,
             2180.8702970170802, -7121.6932686315977, {1151, -6476}),
      Arc({1466, -6650}, {0, 0}, -8148.9233636788113, -14288.29014011005, 12279.667241172257, 1),
      Bezier({-5016, -2415}, {0, 0}, {-4996, -4787}, -5350.7690456440923, 1992.7112375453696,
             -3368.54161786845, 5210.9372615811344, {3011, 9925}),
      Arc({147, 7642}, {0, 0}, 3314.7571999380207, 2700.6590396742045, 5869.5430966943786, 0))));
  return loops;
}

TEST_F(BoundaryLoopTest, VerticesRoundedOffTheirCurvesGiveSpansOnEveryRow) {
  const auto loops = RoundedVertexLoops();
  for (std::size_t i = 0; i < loops.size(); ++i) {
    const CBoundaryLoop& loop = *loops[i];
    int lo = 0, hi = 0;
    loop.GetYRange(lo, hi);
    for (int y = lo - 1; y <= hi + 1; ++y) {
      const Xs strict = Spans(loop, y, 0);
      const Xs inclusive = Spans(loop, y, 1);
      ASSERT_EQ(strict.size() % 2, 0u) << "loop " << i << " y " << y;
      ASSERT_EQ(inclusive.size() % 2, 0u) << "loop " << i << " y " << y;
    }
    EXPECT_EQ(g_glitchCount, 0) << "loop " << i;
  }
}

// Random loops as the fill search could trace them: vertices rounded from points around the
// origin joined by lines, circular and tilted elliptic arcs bulging either way, and pieces of
// cubic curves that pass the vertices a rounding off; each with a dense polygon of its edges
// as the reference.
struct RandomLoop {
  std::unique_ptr<CBoundaryLoop> loop;
  std::vector<std::pair<double, double>> outline;
  std::vector<Pt> vertices;
};

class LoopMaker {
 public:
  explicit LoopMaker(unsigned seed) : m_rng(seed) {}

  double Uniform(double a, double b) { return a + (b - a) * (m_rng() / 4294967296.0); }

  RandomLoop Make() {
    RandomLoop result;
    std::vector<double> angles;
    const int n = 3 + static_cast<int>(m_rng() % 5);
    for (int i = 0; i < n; ++i) angles.push_back(Uniform(0.0, g_twoPi));
    std::sort(angles.begin(), angles.end());
    for (const double a : angles) {
      const double r = Uniform(3000.0, 10000.0);
      const Pt p{static_cast<int>(std::lround(r * std::cos(a))),
                 static_cast<int>(std::lround(r * std::sin(a)))};
      if (result.vertices.empty() || result.vertices.back().x != p.x ||
          result.vertices.back().y != p.y) {
        result.vertices.push_back(p);
      }
    }
    std::vector<std::unique_ptr<CFloodEdge>> edges;
    const std::size_t count = result.vertices.size();
    for (std::size_t i = 0; i < count; ++i) {
      const Pt a = result.vertices[i];
      const Pt b = result.vertices[(i + 1) % count];
      edges.push_back(MakeEdge(a, b, m_rng() % 4, result.outline));
    }
    result.loop = LoopOf(std::move(edges));
    return result;
  }

 private:
  std::unique_ptr<CFloodEdge> MakeEdge(Pt a, Pt b, unsigned kind,
                                       std::vector<std::pair<double, double>>& outline) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    const double nx = dy / length, ny = -dx / length;  // outwards in a counter-clockwise loop
    if (kind == 1 || kind == 2) {
      // Through a and b; bulging outwards (counter-clockwise about the centre) or a little in.
      const double rotation = kind == 1 ? 0.0 : Uniform(0.0, kPi);
      const double rx = length * Uniform(0.6, 3.0);
      const double ry = kind == 1 ? rx : rx * Uniform(0.4, 1.0);
      const int direction = m_rng() % 3 != 0 ? 1 : 0;
      const double c = std::cos(rotation), s = std::sin(rotation);
      // In the frame where the ellipse is the unit circle.
      auto unit = [&](double x, double y) {
        return std::pair<double, double>{(x * c + y * s) / rx, (-x * s + y * c) / ry};
      };
      const auto [ux, uy] = unit(a.x, a.y);
      const auto [vx, vy] = unit(b.x, b.y);
      const double chord = std::hypot(vx - ux, vy - uy);
      if (chord < 2.0) {
        const double h = std::sqrt(1.0 - chord * chord / 4.0) * (direction == 1 ? 1.0 : -1.0);
        const double ucx = (ux + vx) / 2.0 - (vy - uy) / chord * h;
        const double ucy = (uy + vy) / 2.0 + (vx - ux) / chord * h;
        const double cx = ucx * rx * c - ucy * ry * s, cy = ucx * rx * s + ucy * ry * c;
        auto parameter = [&](double x, double y) {
          return std::atan2((-(x - cx) * s + (y - cy) * c) / ry,
                            ((x - cx) * c + (y - cy) * s) / rx);
        };
        const double t0 = parameter(a.x, a.y);
        double sweep = parameter(b.x, b.y) - t0;
        if (direction == 1 && sweep <= 0.0) sweep += g_twoPi;
        if (direction == 0 && sweep >= 0.0) sweep -= g_twoPi;
        for (int k = 0; k < 200; ++k) {
          const double t = t0 + sweep * k / 200.0;
          const double ex = rx * std::cos(t), ey = ry * std::sin(t);
          outline.emplace_back(cx + ex * c - ey * s, cy + ex * s + ey * c);
        }
        if (kind == 1) return Arc(a, a, cx, cy, rx, direction);
        return Ellipse(a, a, cx, cy, rx, ry, rotation, direction);
      }
    } else if (kind == 3) {
      // A curve through a at ta and b at tb whose ends are rounded to whole units.
      const double ta = Uniform(0.05, 0.3), tb = Uniform(0.7, 0.95);
      const double s1 = Uniform(-0.1, 0.4) * length, s2 = Uniform(-0.1, 0.4) * length;
      const double p1x = a.x + dx / 3 + nx * s1, p1y = a.y + dy / 3 + ny * s1;
      const double p2x = a.x + 2 * dx / 3 + nx * s2, p2y = a.y + 2 * dy / 3 + ny * s2;
      auto basis = [](double t, int k) {
        const double u = 1 - t;
        return k == 0 ? u * u * u : k == 1 ? 3 * t * u * u : k == 2 ? 3 * t * t * u : t * t * t;
      };
      const double det = basis(ta, 0) * basis(tb, 3) - basis(ta, 3) * basis(tb, 0);
      const double rax = a.x - basis(ta, 1) * p1x - basis(ta, 2) * p2x;
      const double ray = a.y - basis(ta, 1) * p1y - basis(ta, 2) * p2y;
      const double rbx = b.x - basis(tb, 1) * p1x - basis(tb, 2) * p2x;
      const double rby = b.y - basis(tb, 1) * p1y - basis(tb, 2) * p2y;
      const Pt p0{static_cast<int>(std::lround((rax * basis(tb, 3) - rbx * basis(ta, 3)) / det)),
                  static_cast<int>(std::lround((ray * basis(tb, 3) - rby * basis(ta, 3)) / det))};
      const Pt p3{static_cast<int>(std::lround((rbx * basis(ta, 0) - rax * basis(tb, 0)) / det)),
                  static_cast<int>(std::lround((rby * basis(ta, 0) - ray * basis(tb, 0)) / det))};
      auto curve = Bezier(a, b, p0, p1x, p1y, p2x, p2y, p3);
      curve->EnsureParameterRange();
      const double t0 = curve->GetStartParameter(), t1 = curve->GetEndParameter();
      EXPECT_GE(t0, 0.0);
      EXPECT_GE(t1, 0.0);
      for (int k = 0; k < 200; ++k) {
        const double t = t0 + (t1 - t0) * k / 200.0;
        outline.emplace_back(curve->EvaluateX(t), curve->EvaluateY(t));
      }
      return curve;
    }
    outline.emplace_back(a.x, a.y);
    return Line(a, a);
  }

  std::mt19937 m_rng;
};

// Inside the polygon (even-odd), and the distance to its outline.
bool InsideOutline(const std::vector<std::pair<double, double>>& p, double x, double y,
                   double& distance) {
  bool inside = false;
  distance = 1e300;
  for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    const auto [xi, yi] = p[i];
    const auto [xj, yj] = p[j];
    const double dx = xj - xi, dy = yj - yi, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((x - xi) * dx + (y - yi) * dy) / l2, 0.0, 1.0) : 0.0;
    distance = std::min(distance, std::hypot(xi + t * dx - x, yi + t * dy - y));
    if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi)) inside = !inside;
  }
  return inside;
}

TEST_F(BoundaryLoopTest, RandomTracedLoopsAgreeWithTheirOutlines) {
  LoopMaker maker(20240611);
  int loops = 0;
  for (int shape = 0; shape < 60; ++shape) {
    RandomLoop random = maker.Make();
    if (random.loop->IsValid() == 0) continue;
    ++loops;
    double area = 0.0;
    const auto& p = random.outline;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      area += p[j].first * p[i].second - p[i].first * p[j].second;
    }
    const bool reversed = shape % 3 == 0;
    if (reversed) random.loop->Reverse();
    const CBoundaryLoop& loop = *random.loop;
    EXPECT_EQ(loop.GetSense(), (area > 0.0) != reversed ? 0 : 1) << shape;
    // Every row through a vertex and beside it, in both modes.
    for (const Pt& v : random.vertices) {
      for (int y = v.y - 1; y <= v.y + 1; ++y) {
        EXPECT_EQ(Spans(loop, y, 0).size() % 2, 0u) << shape << " y " << y;
        EXPECT_EQ(Spans(loop, y, 1).size() % 2, 0u) << shape << " y " << y;
      }
    }
    // Points clear of the outline are inside exactly when the outline holds them.
    for (int y = -12000; y <= 12000; y += 1500) {
      for (int x = -12000; x <= 12000; x += 1300) {
        double distance = 0.0;
        const bool inside = InsideOutline(p, x, y, distance);
        if (distance < 3.0) continue;
        EXPECT_EQ(loop.ContainsPoint(x, y, 0), inside ? 1 : 0) << shape << " " << x << "," << y;
      }
    }
    // Segment crossings come in pairs around the stretches inside.
    for (int k = 0; k < 8; ++k) {
      const double a = maker.Uniform(0.0, kPi), offset = maker.Uniform(-9000.0, 9000.0);
      const int x1 = static_cast<int>(std::lround(-20000 * std::cos(a) - offset * std::sin(a)));
      const int y1 = static_cast<int>(std::lround(-20000 * std::sin(a) + offset * std::cos(a)));
      const auto hits =
          SegmentHits(loop, x1, y1, -x1 - static_cast<int>(std::lround(2 * offset * std::sin(a))),
                      -y1 + static_cast<int>(std::lround(2 * offset * std::cos(a))));
      for (std::size_t h = 0; h + 1 < hits.size(); ++h) {
        const double mx = (hits[h].first + hits[h + 1].first) / 2.0;
        const double my = (hits[h].second + hits[h + 1].second) / 2.0;
        double distance = 0.0;
        const bool inside = InsideOutline(p, mx, my, distance);
        if (distance < 3.0) continue;
        EXPECT_EQ(inside, h % 2 == 0) << shape << " segment " << k << " hit " << h;
      }
    }
  }
  EXPECT_GT(loops, 50);
  EXPECT_EQ(g_glitchCount, 0);
}

// The scan index answers as the loop does, everywhere: on every row through a vertex and
// beside it, at the vertices themselves, beyond the loop, for the fixed shapes and for random
// traced ones.
TEST_F(BoundaryLoopTest, TheScanIndexAnswersAsTheLoop) {
  const auto expectSame = [](const CBoundaryLoop& loop, const char* name) {
    const CLoopScanIndex index(loop);
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    index.GetBox(minX, minY, maxX, maxY);
    std::vector<int> ys;
    std::vector<int> xs;
    for (int i = 0; i < loop.GetCount(); ++i) {
      int x = 0, y = 0;
      loop.GetVertex(i, x, y);
      for (int d = -1; d <= 1; ++d) {
        ys.push_back(y + d);
        xs.push_back(x + d);
      }
    }
    for (int k = 0; k <= 24; ++k) {
      ys.push_back(minY - 5 +
                   static_cast<int>((static_cast<std::int64_t>(maxY) - minY + 10) * k / 24));
      xs.push_back(minX - 5 +
                   static_cast<int>((static_cast<std::int64_t>(maxX) - minX + 10) * k / 24));
    }
    for (const int y : ys) {
      for (const int x : xs) {
        for (int inclusive = 0; inclusive <= 1; ++inclusive) {
          const int expected = loop.ContainsPoint(x, y, inclusive);
          ASSERT_EQ(index.ContainsPoint(x, y, inclusive), expected)
              << name << " at " << x << ", " << y << " inclusive " << inclusive;
          if (expected != 0) {
            ASSERT_TRUE(index.MayContain(x, y)) << name;
          }
        }
      }
    }
  };
  for (const Shape& shape : Shapes()) expectSame(*shape.make(), shape.name);
  LoopMaker maker(42);
  for (int shape = 0; shape < 30; ++shape) {
    RandomLoop random = maker.Make();
    if (random.loop->IsValid() == 0) continue;
    expectSame(*random.loop, "random");
  }
  EXPECT_EQ(CLoopScanIndex(CBoundaryLoop()).ContainsPoint(0, 0, 1), 0);
}

TEST_F(BoundaryLoopTest, SenseOfEveryShapeAndItsReverse) {
  for (const Shape& shape : Shapes()) {
    const auto loop = shape.make();
    EXPECT_EQ(loop->GetSense(), shape.sense) << shape.name;
    loop->Reverse();
    EXPECT_EQ(loop->GetSense(), 1 - shape.sense) << shape.name;
  }
  // Triangles whose extreme vertices coincide, either way round.
  EXPECT_EQ(Polygon({{0, 0}, {10, 0}, {0, 10}})->GetSense(), 0);
  EXPECT_EQ(Polygon({{0, 0}, {0, 10}, {10, 0}})->GetSense(), 1);
  EXPECT_EQ(Polygon({{0, 5}, {10, 0}, {10, 10}})->GetSense(), 0);
  EXPECT_EQ(Polygon({{10, 10}, {10, 0}, {0, 5}})->GetSense(), 1);
  // Every vertex on one level: the arc above or below decides.
  const auto dome = LoopOf(
      Edges(Line({-10, 0}, {0, 0}), Line({0, 0}, {10, 0}), Arc({10, 0}, {-10, 0}, 0, 0, 10, 1)));
  const auto bowl = LoopOf(
      Edges(Line({10, 0}, {0, 0}), Line({0, 0}, {-10, 0}), Arc({-10, 0}, {10, 0}, 0, 0, 10, 1)));
  for (CBoundaryLoop* loop : {dome.get(), bowl.get()}) {
    EXPECT_EQ(loop->GetSense(), 0);
    loop->Reverse();
    EXPECT_EQ(loop->GetSense(), 1);
  }
  // Curves that bulge past their ends: the vertices alone (the leftmost is also the highest,
  // the rightmost the lowest) and the chords between them suggest the other way round.
  auto bulging = LoopOf(Edges(
      Bezier({-6838, -1304}, {4196, -6802}, {-6838, -1304}, -1502, 190, 1033, -3937, {4196, -6802}),
      Bezier({4196, -6802}, {-3112, -1921}, {4196, -6802}, 1019, -6285, -1074, -4144,
             {-3112, -1921}),
      Arc({-3112, -1921}, {-6838, -1304}, -4823.8, -699.4, 2103.0, 0)));
  EXPECT_EQ(bulging->GetSense(), 1);
  bulging->Reverse();
  EXPECT_EQ(bulging->GetSense(), 0);
  // Two edges between two vertices on one level: the one reaching furthest out decides.
  const Pt a{-10, 0}, b{10, 0};
  auto crescent = [&](int direction0, int direction1) {
    // Round the circle of radius 10 over the top, and back under a flatter arc (the circle
    // of radius 26 about (0, -24), which reaches y = 2).
    return LoopOf(Edges(Arc(a, b, 0, 0, 10, direction0), Arc(b, a, 0, -24, 26, direction1)));
  };
  EXPECT_EQ(crescent(0, 1)->GetSense(), 1);  // over the top left to right: clockwise
  auto reversed = crescent(0, 1);
  reversed->Reverse();
  EXPECT_EQ(reversed->GetSense(), 0);
  // The edge over the top second in the loop.
  const auto second = LoopOf(Edges(Line(b, a), Arc(a, b, 0, 0, 10, 0)));
  EXPECT_EQ(second->GetSense(), 1);
  const auto secondBelow = LoopOf(Edges(Line(a, b), Arc(b, a, 0, 0, 10, 0)));
  EXPECT_EQ(secondBelow->GetSense(), 1);
  EXPECT_EQ(g_glitchCount, 0);
  // Nothing to decide by.
  CBoundaryLoop empty;
  EXPECT_EQ(empty.GetSense(), 0);
  EXPECT_EQ(g_firstGlitchCode, 3111);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(BoundaryLoopTest, PointsInsideTheShapes) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CBoundaryLoop>()> make;
    int x, y;
    int strict, inclusive;
  } cases[] = {
      {"square middle", Square, 5, 5, 1, 1},
      {"square side", Square, 0, 5, 0, 1},
      {"square corner", Square, 10, 10, 0, 1},
      {"square outside", Square, 11, 5, 0, 0},
      {"diamond top vertex", Diamond, 5, 10, 0, 1},
      {"diamond beside the top", Diamond, 4, 10, 0, 0},
      {"half disc", HalfDisc, 0, 5, 1, 1},
      {"half disc base", HalfDisc, 3, 0, 0, 1},
      {"below the half disc", HalfDisc, 0, -1, 0, 0},
      {"lens", Lens, 6, 0, 1, 1},
      {"beside the lens", Lens, 1, 0, 0, 0},
      {"lens tip", Lens, 6, 8, 0, 1},
      {"circle touching point", Circle, 0, 10, 0, 1},
      {"beside the touching point", Circle, 1, 10, 0, 0},
      {"U arm", SteppedU, 5, 25, 1, 1},
      {"between the U's arms", SteppedU, 20, 25, 0, 0},
      {"U step", SteppedU, 12, 20, 0, 1},
      {"U floor", SteppedU, 20, 10, 0, 1},
      {"under the U floor", SteppedU, 20, 9, 1, 1},
  };
  for (const Case& c : cases) {
    const auto loop = c.make();
    EXPECT_EQ(loop->ContainsPoint(c.x, c.y, 0), c.strict) << c.name;
    EXPECT_EQ(loop->ContainsPoint(c.x, c.y, 1), c.inclusive) << c.name;
  }
  EXPECT_EQ(CBoundaryLoop().ContainsPoint(0, 0, 1), 0);
}

TEST_F(BoundaryLoopTest, SquareWithASquareHole) {
  const auto outer = Outer();
  const auto hole = Hole();
  // A point of the fill lies inside the outer boundary and not in the hole (whose boundary
  // belongs to the hole).
  auto inFill = [&](int x, int y) {
    return outer->ContainsPoint(x, y, 0) == 1 && hole->ContainsPoint(x, y, 1) == 0;
  };
  EXPECT_TRUE(inFill(5, 5));
  EXPECT_TRUE(inFill(25, 15));
  EXPECT_TRUE(inFill(15, 25));
  EXPECT_FALSE(inFill(15, 15));
  EXPECT_FALSE(inFill(10, 15));
  EXPECT_FALSE(inFill(20, 20));
  EXPECT_FALSE(inFill(0, 15));
  EXPECT_FALSE(inFill(35, 15));
  EXPECT_EQ(Spans(*outer, 15, 0), (Xs{0, 30}));
  EXPECT_EQ(Spans(*hole, 15, 1), (Xs{10, 20}));
  EXPECT_EQ(outer->GetSense(), 0);
  EXPECT_EQ(hole->GetSense(), 1);
}

TEST_F(BoundaryLoopTest, Validity) {
  EXPECT_EQ(CBoundaryLoop().IsValid(), 0);
  EXPECT_EQ(Circle()->IsValid(), 1);
  EXPECT_EQ(LoopOf(Edges(Ellipse({20, 0}, {20, 0}, 0, 0, 20, 10, 0, 1)))->IsValid(), 1);
  CBoundaryLoop quarter;  // one open arc: its end is not its start
  quarter.Append(Arc({10, 0}, {0, 10}, 0, 0, 10, 1));
  EXPECT_EQ(quarter.IsValid(), 0);
  EXPECT_EQ(LoopOf(Edges(Bezier({0, 0}, {0, 0}, {0, 0}, 100, 100, -100, 100, {0, 0})))->IsValid(),
            0);
  const auto twoLines = LoopOf(Edges(Line({0, 0}, {10, 0}), Line({10, 0}, {0, 0})));
  EXPECT_EQ(twoLines->IsValid(), 0);
  EXPECT_EQ(Spans(*twoLines, 0, 1), Xs{});
  EXPECT_EQ(SegmentHits(*twoLines, -5, 0, 15, 0).size(), 0u);
  EXPECT_EQ(HalfDisc()->IsValid(), 1);
  EXPECT_EQ(Polygon({{0, 0}, {10, 0}, {0, 10}})->IsValid(), 1);
}

TEST_F(BoundaryLoopTest, ExtremeVertices) {
  const auto u = SteppedU();
  // The ends of the level pieces where the boundary turns back (the bottom, the tops of the
  // arms, the floor between them) are extremes; the ends of the steps are passed through.
  const int expected[] = {1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1};
  for (int i = 0; i < u->GetCount(); ++i) EXPECT_EQ(u->IsExtremeVertex(i), expected[i]) << i;
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(u->IsExtremeVertex(12), 0);
  EXPECT_EQ(g_firstGlitchCode, 3114);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(BoundaryLoopTest, SegmentCrossings) {
  using Hs = std::vector<std::pair<int, int>>;
  const auto square = Square();
  EXPECT_EQ(SegmentHits(*square, -5, 5, 15, 5), (Hs{{0, 5}, {10, 5}}));
  EXPECT_EQ(SegmentHits(*square, 15, 5, -5, 5), (Hs{{0, 5}, {10, 5}}));
  EXPECT_EQ(SegmentHits(*square, 5, 15, 5, -5), (Hs{{5, 0}, {5, 10}}));
  EXPECT_EQ(SegmentHits(*square, -5, 5, 5, 5), (Hs{}));  // odd: refused
  // Along an edge: the boundary, not the inside.
  EXPECT_EQ(SegmentHits(*square, -5, 0, 15, 0), (Hs{}));
  const auto diamond = Diamond();
  // Through both side vertices: each counts once.
  EXPECT_EQ(SegmentHits(*diamond, -5, 5, 15, 5), (Hs{{0, 5}, {10, 5}}));
  EXPECT_EQ(SegmentHits(*diamond, 15, 5, -5, 5), (Hs{{0, 5}, {10, 5}}));
  // Touching the top vertex from outside: no crossing.
  EXPECT_EQ(SegmentHits(*diamond, 0, 10, 10, 10), (Hs{}));
  const auto circle = Circle();
  EXPECT_EQ(SegmentHits(*circle, -20, 10, 20, 10), (Hs{}));  // a tangent
  EXPECT_EQ(SegmentHits(*circle, -20, 0, 20, 0), (Hs{{-10, 0}, {10, 0}}));
  const auto lens = Lens();
  EXPECT_EQ(SegmentHits(*lens, 6, -20, 6, 20), (Hs{{6, -8}, {6, 8}}));
  EXPECT_EQ(SegmentHits(*lens, 0, 0, 20, 0), (Hs{{2, 0}, {10, 0}}));
  const auto u = SteppedU();
  EXPECT_EQ(SegmentHits(*u, -5, 25, 45, 25), (Hs{{0, 25}, {10, 25}, {30, 25}, {40, 25}}));
}

TEST_F(BoundaryLoopTest, BoxesAndRanges) {
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  EXPECT_EQ(HalfDisc()->GetBoundingBox(minX, minY, maxX, maxY), 1);
  EXPECT_EQ((std::vector<int>{minX, minY, maxX, maxY}), (std::vector<int>{-10, 0, 10, 10}));
  EXPECT_EQ(Lens()->GetBoundingBox(minX, minY, maxX, maxY), 1);
  EXPECT_EQ((std::vector<int>{minX, minY, maxX, maxY}), (std::vector<int>{2, -8, 10, 8}));
  // A whole circle left of and below the origin: the box reaches outward on every side.
  const auto circle = LoopOf(Edges(Arc({-90, -50}, {-90, -50}, -100, -50, 10.5, 1)));
  EXPECT_EQ(circle->GetBoundingBox(minX, minY, maxX, maxY), 1);
  EXPECT_EQ((std::vector<int>{minX, minY, maxX, maxY}), (std::vector<int>{-111, -61, -89, -39}));
  const auto ellipse = LoopOf(Edges(Ellipse({0, 20}, {0, 20}, 0.5, 0, 20, 10, g_halfPi, 1)));
  EXPECT_EQ(ellipse->GetBoundingBox(minX, minY, maxX, maxY), 1);
  EXPECT_EQ((std::vector<int>{minX, minY, maxX, maxY}), (std::vector<int>{-10, -20, 11, 20}));
  int lo = 0, hi = 0;
  HalfDisc()->GetYRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 10);
  SteppedU()->GetYRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 30);
  EXPECT_EQ(g_glitchCount, 0);
  CBoundaryLoop empty;
  EXPECT_EQ(empty.GetBoundingBox(minX, minY, maxX, maxY), 0);
  EXPECT_EQ(g_firstGlitchCode, 3108);
  empty.GetYRange(lo, hi);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(lo, 0);
}

TEST_F(BoundaryLoopTest, TracingAddsTakesBackAndCloses) {
  CBoundaryLoop loop;
  EXPECT_EQ(loop.RemoveLast(), kLoopEmptyCode);
  EXPECT_EQ(g_firstGlitchCode, 3115);
  ResetLogState();
  g_logFolder = m_folder.path();

  // A lead-in from (-10, 5), then the square from (0, 0).
  CLineItem line;
  const int codes[] = {100, 101, 102, 103, 104};
  const Pt starts[] = {{-10, 5}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(loop.AddEdge(starts[i].x, starts[i].y, &line, 0, codes[i]), 1);
  }
  EXPECT_EQ(loop.GetFirstCode(), 100);
  EXPECT_EQ(loop.RemoveLast(), 103);
  ASSERT_EQ(loop.AddEdge(0, 10, &line, 0, 104), 1);
  int x = 5, y = 5;
  EXPECT_EQ(loop.CloseAtPoint(x, y), 0);  // no edge starts there: the loop stays
  EXPECT_EQ(loop.GetCount(), 5);
  x = 0;
  y = 0;
  EXPECT_EQ(loop.CloseAtPoint(x, y), 1);
  EXPECT_EQ(loop.GetCount(), 4);
  EXPECT_EQ(loop.GetFirstCode(), 101);
  loop.JoinEnds();
  EXPECT_EQ(loop.GetSense(), 0);
  EXPECT_EQ(Spans(loop, 5, 0), (Xs{0, 10}));
  EXPECT_EQ(loop.GetEdge(3)->GetEndX(), 0);
  EXPECT_EQ(loop.GetEdge(3)->GetEndY(), 0);

  // One edge left: taking it back empties the loop.
  CBoundaryLoop single;
  single.AddEdge(0, 0, &line, 0, 107);
  EXPECT_EQ(single.RemoveLast(), kLoopEmptyCode);
  EXPECT_EQ(single.GetCount(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(BoundaryLoopTest, ClosingDropsAFirstEdgeTheLastCovers) {
  // Round a circle of radius 100 from (100, 0) and back in along it from (71, 71).
  auto loop = LoopOf(Edges(Arc({100, 0}, {0, 0}, 0, 0, 100, 1), Line({0, 100}, {0, 0}),
                           Line({0, -100}, {0, 0}), Arc({71, 71}, {0, 0}, 0, 0, 100, 1)));
  int x = 100, y = 0;
  EXPECT_EQ(loop->CloseAtPoint(x, y), 1);
  EXPECT_EQ(loop->GetCount(), 3);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 100);
  EXPECT_EQ(loop->GetEdge(0)->GetKind(), kEdgeLine);
}

// An item of a curved kind that answers the getters the loop asks.
class FakeItem final : public CDrawItem {
 public:
  explicit FakeItem(int type) : CDrawItem(type) {}
  void GetCircle(double& cx, double& cy, double& radius) const override {
    cx = 1.5;
    cy = 2.5;
    radius = 10.25;
  }
  void GetCentre(int& x, int& y) const override {
    x = 3;
    y = 4;
  }
  void GetCentreExact(double& x, double& y) const override {
    x = 3.5;
    y = 4.5;
  }
  int GetRadius() const override { return 12; }
  void GetSemiAxes(int& a, int& b) const override {
    a = 30;
    b = 20;
  }
  void GetRadii(double& a, double& b) const override {
    a = 30.5;
    b = 20.5;
  }
  double GetRotation() const override { return 0.25; }
  void GetStart(int& x, int& y) const override {
    x = 0;
    y = 0;
  }
  void GetEnd(int& x, int& y) const override {
    x = 300;
    y = 0;
  }
  void GetControlPoint(int i, double& x, double& y) const override {
    x = i == 0 ? 100.0 : 200.0;
    y = i == 0 ? 300.0 : -300.0;
  }
};

TEST_F(BoundaryLoopTest, EdgesMadeFromItems) {
  struct Case {
    int type;
    int travel;
    const char* record;  // the new edge's record, its end still unset
    int glitchNumber;    // of a travel code that is not 4 or 5
  } cases[] = {
      {kItemArc, kDirectionClockwise, "1\r\n7\r\n8\r\n0\r\n0\r\n1.5\r\n2.5\r\n10.25\r\n0\r\n", 1},
      {kItemCircle, kDirectionCounterClockwise, "1\r\n7\r\n8\r\n0\r\n0\r\n3\r\n4\r\n12\r\n1\r\n",
       2},
      {kItemEllipse, kDirectionClockwise,
       "2\r\n7\r\n8\r\n0\r\n0\r\n3\r\n4\r\n30\r\n20\r\n0.25\r\n0\r\n", 3},
      {kItemEllipseArc, kDirectionCounterClockwise,
       "2\r\n7\r\n8\r\n0\r\n0\r\n3.5\r\n4.5\r\n30.5\r\n20.5\r\n0.25\r\n1\r\n", 3},
      {kItemBezier, kDirectionAlongCurve,
       "3\r\n7\r\n8\r\n0\r\n0\r\n0\r\n0\r\n300\r\n0\r\n100\r\n300\r\n200\r\n-300\r\n", 0},
  };
  for (const Case& c : cases) {
    FakeItem item(c.type);
    CBoundaryLoop loop;
    ASSERT_EQ(loop.AddEdge(7, 8, &item, c.travel, 120), 1);
    EXPECT_EQ(loop.GetEdge(0)->GetCode(), 120);
    EXPECT_EQ(Record(loop).toStdString(), "1\r\n" + std::string(c.record)) << c.type;
    if (c.glitchNumber != 0) {
      ResetLogState();
      g_logFolder = m_folder.path();
      ASSERT_EQ(loop.AddEdge(7, 8, &item, kDirectionUp, 121), 1);
      EXPECT_EQ(g_firstGlitchCode, 3101) << c.type;
      EXPECT_EQ(g_firstGlitchNumber, c.glitchNumber) << c.type;
      EXPECT_EQ(g_firstGlitchValues[0], kDirectionUp);
      EXPECT_EQ(loop.GetEdge(1)->GetSense(), 0);  // counter-clockwise
    }
  }
  FakeItem text(kItemText);
  CBoundaryLoop loop;
  EXPECT_EQ(loop.AddEdge(0, 0, &text, kDirectionClockwise, 100), 0);
  EXPECT_EQ(loop.GetCount(), 0);
}

TEST_F(BoundaryLoopTest, GrowthKeepsOneSlotFree) {
  CBoundaryLoop loop;
  EXPECT_EQ(loop.GetCapacity(), 0);
  EXPECT_EQ(loop.Reserve(0), 1);
  EXPECT_EQ(loop.GetCapacity(), 50);
  for (int i = 0; i < 49; ++i) ASSERT_EQ(loop.Append(Line({i, 0}, {i, 0})), 1);
  EXPECT_EQ(loop.GetCapacity(), 50);
  ASSERT_EQ(loop.Append(Line({49, 0}, {49, 0})), 1);
  EXPECT_EQ(loop.GetCapacity(), 100);
  EXPECT_EQ(loop.Reserve(200), 1);
  EXPECT_EQ(loop.GetCapacity(), 260);  // 50 + 200 + 10 beats doubling
  EXPECT_EQ(loop.GetEdge(49)->GetStartX(), 49);
  loop.RemoveAll();
  EXPECT_EQ(loop.GetCount(), 0);
  EXPECT_EQ(loop.GetCapacity(), 260);
  EXPECT_EQ(loop.Append(nullptr), 0);
}

TEST_F(BoundaryLoopTest, VerticesCopiesMovesAndTransforms) {
  auto loop = HalfDisc();
  int x = 0, y = 0;
  EXPECT_EQ(loop->GetVertex(1, x, y), 1);
  EXPECT_EQ(x, -10);
  EXPECT_EQ(loop->GetVertex(2, x, y), 0);
  loop->SetVertex(0, 10, 1);
  EXPECT_EQ(loop->GetEdge(1)->GetEndY(), 1);
  loop->SetVertex(0, 10, 0);
  loop->SetVertex(5, 0, 0);
  EXPECT_EQ(g_firstGlitchCode, 3116);
  ResetLogState();
  g_logFolder = m_folder.path();

  const auto copy = loop->Clone();
  ASSERT_TRUE(copy);
  EXPECT_EQ(Record(*copy), Record(*loop));
  copy->MoveBy(100, 50);
  EXPECT_EQ(Spans(*copy, 55, 0), (Xs{91, 109}));
  EXPECT_EQ(Spans(*loop, 5, 0), (Xs{-9, 9}));  // the original is its own

  // A stretch turns the arc into an elliptic edge twice as wide.
  CTransform stretch;
  stretch.SetStretch(1, 2.0, 0);
  loop->Transform(stretch);
  EXPECT_EQ(loop->GetEdge(0)->GetKind(), kEdgeEllipse);
  EXPECT_EQ(Spans(*loop, 0, 1), (Xs{-20, 20}));
  EXPECT_EQ(Spans(*loop, 6, 0), (Xs{-16, 16}));
  EXPECT_EQ(loop->GetSense(), 0);
  CTransform mirror;
  mirror.SetReflection(0, 0);
  loop->Transform(mirror);
  EXPECT_EQ(Spans(*loop, -6, 0), (Xs{-16, 16}));
  EXPECT_EQ(loop->GetSense(), 1);
  EXPECT_EQ(g_glitchCount, 0);
}

// ---- Drawing-file records ----

std::unique_ptr<CBoundaryLoop> EveryKind() {
  return LoopOf(Edges(Line({0, 0}, {0, 0}), Arc({300, 0}, {0, 0}, 300, 100, 100, 1),
                      Ellipse({300, 200}, {0, 0}, 150, 200, 150, 75, 0.0, 1),
                      Bezier({0, 200}, {0, 0}, {0, 200}, -100, 150, -100, 50, {0, 0})));
}

TEST_F(BoundaryLoopTest, RecordsReadBackTheSameEdges) {
  const auto loop = EveryKind();
  const QByteArray bytes = Record(*loop);
  EXPECT_TRUE(bytes.startsWith("4\r\n0\r\n0\r\n0\r\n300\r\n0\r\n1\r\n300\r\n0\r\n"));
  CBoundaryLoop back;
  EXPECT_EQ(ReadLoop(bytes, back), 1);
  EXPECT_EQ(g_fileStatus, 0);
  EXPECT_EQ(back.GetCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.GetEdge(i)->GetKind(), i);
  EXPECT_EQ(Record(back), bytes);
  for (int y = -10; y <= 260; y += 10) {
    EXPECT_EQ(Spans(back, y, 0), Spans(*loop, y, 0)) << y;
  }
  // An empty loop is written and read as a count of 0.
  CBoundaryLoop empty;
  EXPECT_EQ(Record(empty), QByteArray("0\r\n"));
  CBoundaryLoop none;
  EXPECT_EQ(ReadLoop("0\r\n", none), 1);
  EXPECT_EQ(none.GetCount(), 0);
}

TEST_F(BoundaryLoopTest, DamagedRecordsAreRefused) {
  const QByteArray good = Record(*EveryKind());
  const int lineRecord = QByteArray("0\r\n0\r\n0\r\n300\r\n0\r\n").size();
  struct Case {
    const char* name;
    QByteArray bytes;
    int status;
    int edgesKept;
  } cases[] = {
      {"no count", "", kFileEndedTooSoon, 0},
      {"count not a number", "four\r\n", kFileIllegalValue, 0},
      {"negative count", "-1\r\n", kFileIllegalValue, 0},
      {"kind 7", "1\r\n7\r\n0\r\n0\r\n0\r\n0\r\n", kFileIllegalValue, 0},
      {"kind -1", "1\r\n-1\r\n", kFileIllegalValue, 0},
      {"kind not a number", "1\r\nline\r\n", kFileIllegalValue, 0},
      {"more edges counted than stored", "5" + good.mid(1), kFileEndedTooSoon, 4},
      {"cut inside the second edge", good.left(3 + lineRecord + 10), kFileEndedTooSoon, 1},
      {"a bad direction", "1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n2\r\n", kFileIllegalValue,
       0},
  };
  for (const Case& c : cases) {
    ResetFileStatus();
    CBoundaryLoop loop;
    EXPECT_EQ(ReadLoop(c.bytes, loop), 0) << c.name;
    EXPECT_EQ(g_fileStatus, c.status) << c.name;
    EXPECT_EQ(loop.GetCount(), c.edgesKept) << c.name;
  }
}

}  // namespace
