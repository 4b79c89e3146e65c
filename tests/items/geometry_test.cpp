#include "items/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/options.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcOp;
using zeph::DcPoint;

class GeometryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetOptionsState();
    ResetGeometryGlobals();
    ResetViewGlobals();
  }
};

TEST_F(GeometryTest, LimitsAndSmallTests) {
  EXPECT_EQ(IsValidX(50000000), 1);
  EXPECT_EQ(IsValidX(-50000000), 1);
  EXPECT_EQ(IsValidX(50000001), 0);
  EXPECT_EQ(IsValidY(30000000), 1);
  EXPECT_EQ(IsValidY(-30000001), 0);
  EXPECT_EQ(IsValidXReal(-50000000.0), 1);
  EXPECT_EQ(IsValidYReal(30000000.5), 0);
  EXPECT_EQ(IsValidXReal(std::nan("")), 0);
  EXPECT_EQ(IsValidYReal(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(IsValidXReal(-std::numeric_limits<double>::infinity()), 0);
  for (int d = -1; d <= 8; ++d) EXPECT_EQ(IsLinearDirection(d), d >= 0 && d <= 3 ? 1 : 0) << d;
  EXPECT_EQ(IsNearlyZero(9.9e-6), 1);
  EXPECT_EQ(IsNearlyZero(-1e-5), 0);
  EXPECT_EQ(IsNearlyZero(std::nan("")), 0);
  EXPECT_DOUBLE_EQ(VectorLength(3, 4), 5.0);
  EXPECT_DOUBLE_EQ(VectorLength(2147483647, 2147483647), 2147483647.0 * std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(Hypot(-6, 8), 10.0);
}

TEST_F(GeometryTest, NormaliseAngle) {
  struct Case {
    double angle;
    int mode;
    double want;
  };
  const Case cases[] = {
      {-kPi / 2, 0, 3 * kPi / 2}, {5 * kPi, 0, kPi},  {5 * kPi, 1, 0.0},
      {g_twoPi, 0, 0.0},          {0.0, 0, 0.0},      {-1e-20, 0, 0.0},  // lands on 2 pi, then 0
      {3 * kPi / 2, 1, kPi / 2},  {-7 * kPi, 0, kPi},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(NormaliseAngle(c.angle, c.mode), c.want, 1e-12) << c.angle << " " << c.mode;
  }
  EXPECT_EQ(NormaliseAngle(std::nan(""), 0), 0.0);
  EXPECT_EQ(NormaliseAngle(std::numeric_limits<double>::infinity(), 1), 0.0);
}

TEST_F(GeometryTest, Distances) {
  struct Case {
    const char* name;
    int px, py, x1, y1, x2, y2;
    double segment, line;
  };
  const Case cases[] = {
      {"above the middle", 5, 5, 0, 0, 10, 0, 5, 5},
      {"beyond the end", 15, 0, 0, 0, 10, 0, 5, 0},
      {"before the start", -3, 4, 0, 0, 10, 0, 5, 4},
      {"zero length", 3, 4, 7, 8, 7, 8, std::hypot(4, 4), std::hypot(4, 4)},
      {"slanted", 0, 10, 0, 0, 10, 10, std::sqrt(50.0), std::sqrt(50.0)},
      // Differences of far coordinates would overflow 32 bits.
      {"far apart", 2000000000, 0, -2000000000, 0, -2000000000, 1, 4e9, 4e9 - 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(DistanceToSegment(c.px, c.py, c.x1, c.y1, c.x2, c.y2), c.segment, 1e-6) << c.name;
    EXPECT_NEAR(DistanceToLine(c.px, c.py, c.x1, c.y1, c.x2, c.y2), c.line, 1e-6) << c.name;
  }
}

TEST_F(GeometryTest, CursorDistanceSaturates) {
  g_cursorPoint = {0, 0};
  EXPECT_EQ(GetCursorDistance(-2000000000, -2000000000), 2147483647);
  g_cursorPoint = {10, -10};
  EXPECT_EQ(GetCursorDistance(13, -6), 7);
  g_cursorPoint = {2147483647, 0};
  EXPECT_EQ(GetCursorDistance(-2147483647, 0), 2147483647);
}

TEST_F(GeometryTest, BoundsAndArcRange) {
  g_itemBounds = {0, 0, 0, 0};
  ExtendItemBounds(-5, 7);
  ExtendItemBounds(3, -2);
  EXPECT_EQ(g_itemBounds.minX, -5);
  EXPECT_EQ(g_itemBounds.minY, -2);
  EXPECT_EQ(g_itemBounds.maxX, 3);
  EXPECT_EQ(g_itemBounds.maxY, 7);

  g_arcStartAngle = 1.5 * kPi;  // an arc through angle 0
  g_arcEndAngle = 2.5 * kPi;
  EXPECT_EQ(IsAngleInArcRange(0.1), 1);
  EXPECT_EQ(IsAngleInArcRange(1.6 * kPi), 1);
  EXPECT_EQ(IsAngleInArcRange(kPi), 0);
  g_arcStartAngle = 1.0;
  g_arcEndAngle = 2.0;
  EXPECT_EQ(IsAngleInArcRange(1.0), 1);
  EXPECT_EQ(IsAngleInArcRange(2.0), 1);
  EXPECT_EQ(IsAngleInArcRange(2.0001), 0);
}

struct SnapCase {
  const char* name;
  int distance;
  DrawingPoint cursor, want;
};

void CheckSnaps(const std::vector<SnapCase>& cases) {
  for (const SnapCase& c : cases) {
    g_optionShorts[kOptionGridDistance] = static_cast<std::int16_t>(c.distance);
    g_cursorPoint = c.cursor;
    g_snapPoint = {123, 456};
    SnapCursorToGrid();
    EXPECT_EQ(g_snapPoint.x, c.want.x) << c.name;
    EXPECT_EQ(g_snapPoint.y, c.want.y) << c.name;
  }
}

TEST_F(GeometryTest, SnapsToSquareGrid) {
  SetOptionShort(kOptionGridLayout, 0);
  CheckSnaps({
      {"below half", 3, {14999, 4999}, {10000, 0}},
      {"halves towards zero", 3, {15000, -5000}, {10000, 0}},
      {"negative halves", 3, {-15000, 5000}, {-10000, 0}},
      {"just past a half", 3, {15001, -5001}, {20000, -10000}},
      {"a half in y only", 3, {14999, -5000}, {10000, 0}},
      {"1 mm grid", 0, {1499, -1501}, {1000, -2000}},
      {"100 mm grid, a half in y", 6, {-149999, 50000}, {-100000, 0}},
      {"on a grid point", 4, {40000, -20000}, {40000, -20000}},
      {"far corner", 6, {50000000, -30000000}, {50000000, -30000000}},
  });
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(GeometryTest, SnapsToIsometricGrid) {
  SetOptionShort(kOptionGridLayout, 1);
  // 10 mm: columns 17320.5 apart, staggered columns at 8660 with rows at 5000 + 10000 j.
  CheckSnaps({
      {"staggered point nearer", 3, {8000, 5000}, {8660, 5000}},
      {"main point nearer", 3, {17000, 1000}, {17321, 0}},
      {"origin", 3, {1000, -1000}, {0, 0}},
      {"staggered left below", 3, {-8000, -4000}, {-8660, -5000}},
      {"on the origin", 3, {0, 0}, {0, 0}},
      {"second row", 3, {34000, 19000}, {34641, 20000}},
      // The row is an exact division of y, a half towards zero; the column stays rounded.
      {"half a row up", 3, {0, 5000}, {0, 0}},
      {"half a row down", 3, {0, -5000}, {0, 0}},
  });
}

TEST_F(GeometryTest, GridDistanceOutsideTheTableUsesDefault) {
  SetOptionShort(kOptionGridLayout, 0);
  for (const int bad : {-1, 7, 32767}) {
    CheckSnaps({{"bad distance", bad, {14999, 5001}, {10000, 10000}}});
    EXPECT_EQ(GetGridSpacing(), 10000) << bad;
  }
  g_optionShorts[kOptionGridDistance] = 5;
  EXPECT_EQ(GetGridSpacing(), 50000);
}

// The dashes drawn: each MoveTo with the LineTo that follows it.
struct Dash {
  int x1, y1, x2, y2;
  friend bool operator==(const Dash&, const Dash&) = default;
};

std::ostream& operator<<(std::ostream& out, const Dash& d) {
  return out << "(" << d.x1 << "," << d.y1 << ")-(" << d.x2 << "," << d.y2 << ")";
}

std::vector<Dash> DashesOf(const CRecordingContext& dc) {
  std::vector<Dash> dashes;
  DcPoint from;
  for (const auto& call : dc.calls()) {
    if (call.op == DcOp::kMoveTo) {
      from = call.points[0];
    } else if (call.op == DcOp::kLineTo) {
      EXPECT_EQ(call.points[0], from);
      dashes.push_back({from.x, from.y, call.points[1].x, call.points[1].y});
    }
  }
  return dashes;
}

// Horizontal dashes of one length, one period apart, from x = 0.
std::vector<Dash> Regular(int count, int period, int length) {
  std::vector<Dash> dashes;
  for (int i = 0; i < count; ++i) dashes.push_back({i * period, 0, i * period + length, 0});
  return dashes;
}

std::vector<Dash> Plus(std::vector<Dash> dashes, std::initializer_list<Dash> more) {
  dashes.insert(dashes.end(), more);
  return dashes;
}

TEST_F(GeometryTest, StyledLinesDrawTheirDashes) {
  struct Case {
    const char* name;
    int dpi;
    int x1, y1, x2, y2;
    std::uint8_t style;
    std::vector<Dash> want;
  };
  std::vector<Dash> dotDash;
  for (int i = 0; i < 6; ++i) {
    dotDash.push_back({16 * i, 0, 16 * i + 8, 0});
    dotDash.push_back({16 * i + 11, 0, 16 * i + 13, 0});  // 0.7 and 0.8 of 16, rounded
  }
  dotDash.push_back({96, 0, 100, 0});  // the partial period has no dot
  const std::vector<Case> cases = {
      // 100 pixels at 96 dpi: 6.25 periods of 16 pixels.
      {"small dash", 96, 0, 0, 100, 0, 2, Plus(Regular(6, 16, 8), {{96, 0, 100, 0}})},
      {"large dash", 96, 0, 0, 100, 0, 4, Plus(Regular(6, 16, 12), {{96, 0, 100, 0}})},
      {"dot/dash", 96, 0, 0, 100, 0, 3, dotDash},
      // 12.5 periods of 8, dashes of 0.8 rounded to 1.
      {"dots", 96, 0, 0, 100, 0, 5, Plus(Regular(12, 8, 1), {{96, 0, 97, 0}})},
      // 25 periods of 4: the partial period starts on the end point.
      {"close dots", 96, 0, 0, 100, 0, 6, Plus(Regular(25, 4, 1), {{100, 0, 100, 0}})},
      {"right to left",
       96,
       100,
       0,
       0,
       0,
       2,
       {{100, 0, 92, 0},
        {84, 0, 76, 0},
        {68, 0, 60, 0},
        {52, 0, 44, 0},
        {36, 0, 28, 0},
        {20, 0, 12, 0},
        {4, 0, 0, 0}}},
      {"one pixel", 96, 0, 0, 1, 0, 2, {{0, 0, 1, 0}}},
      // 600 dpi printer: periods of 100 pixels.
      {"printer", 600, 0, 0, 200, 0, 2, {{0, 0, 50, 0}, {100, 0, 150, 0}, {200, 0, 200, 0}}},
      {"vertical down", 96, 5, 0, 5, 40, 4, {{5, 0, 5, 12}, {5, 16, 5, 28}, {5, 32, 5, 40}}},
      // Length 100 diagonally: period (9.6, 12.8), dash (4.8, 6.4) rounded to (5, 6).
      {"diagonal",
       96,
       0,
       0,
       60,
       80,
       2,
       {{0, 0, 5, 6},
        {10, 13, 15, 19},
        {19, 26, 24, 32},
        {29, 38, 34, 44},
        {38, 51, 43, 57},
        {48, 64, 53, 70},
        {58, 77, 60, 80}}},
      {"unbroken", 96, 0, 0, 100, 0, 1, {{0, 0, 100, 0}}},
      {"unknown style 7", 96, 0, 0, 100, 0, 7, {{0, 0, 100, 0}}},
      {"style 0", 96, 0, 0, 100, 0, 0, {{0, 0, 100, 0}}},
      {"same point", 96, 3, 3, 3, 3, 2, {}},
      {"same point unbroken", 96, 3, 3, 3, 3, 1, {}},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    zeph::DeviceCaps caps;
    caps.dpiX = caps.dpiY = c.dpi;
    dc.SetDeviceCaps(caps);
    DrawStyledLine(dc, c.x1, c.y1, c.x2, c.y2, c.style);
    EXPECT_EQ(DashesOf(dc), c.want) << c.name;
  }
}

TEST_F(GeometryTest, StyledLineOnDeviceWithoutResolution) {
  CRecordingContext dc;
  zeph::DeviceCaps caps;
  caps.dpiX = caps.dpiY = 0;
  dc.SetDeviceCaps(caps);
  DrawStyledLine(dc, 0, 0, 100, 0, 2);
  EXPECT_EQ(DashesOf(dc), Plus(Regular(6, 16, 8), {{96, 0, 100, 0}}));
}

TEST_F(GeometryTest, StyledLineFarOffDeviceStaysInRange) {
  CRecordingContext dc;
  DrawStyledLine(dc, -2147483647, 0, -2147480000, 0, 5);
  const auto dashes = DashesOf(dc);
  ASSERT_EQ(dashes.size(), 456u);  // 455.875 periods of 8 pixels
  for (const Dash& d : dashes) {
    EXPECT_GE(std::min(d.x1, d.x2), -2147483647);
    EXPECT_LE(std::max(d.x1, d.x2), -2147480000);
  }
}

}  // namespace
