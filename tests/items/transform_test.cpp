#include "items/transform.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/log.h"
#include "support/numbers.h"

namespace {

class SlopeTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogState(); }
  void TearDown() override { ResetLogState(); }
};

TEST_F(SlopeTest, SetKeepsRunNonNegative) {
  struct Case {
    const char* name;
    double dy, dx;
    double wantDy, wantDx;
    int state;
  };
  const Case cases[] = {
      {"negative run flips both", 2, -4, -2, 4, kSlopeValid},
      {"zero vector has no direction", 0, 0, 0, 0, kSlopeZero},
      {"vertical down keeps its sign", -3, 0, -3, 0, kSlopeValid},
      {"vertical up", 5, 0, 5, 0, kSlopeValid},
      {"both negative", -1, -2, 1, 2, kSlopeValid},
      {"not a number is no direction", std::nan(""), 1, 0, 0, kSlopeZero},
  };
  for (const Case& c : cases) {
    const CSlope slope(c.dy, c.dx);
    double dy = 99, dx = 99;
    slope.Get(dy, dx);
    EXPECT_EQ(dy, c.wantDy) << c.name;
    EXPECT_EQ(dx, c.wantDx) << c.name;
    EXPECT_EQ(slope.GetState(), c.state) << c.name;
  }
  EXPECT_EQ(CSlope().GetState(), kSlopeUnset);
}

TEST_F(SlopeTest, ComparisonsOrderByAngle) {
  const CSlope up(1, 0), down(-1, 0), steep(1000, 1), shallow(1, 1000), half(1, 2);
  EXPECT_EQ(up > steep, 1);
  EXPECT_EQ(steep < up, 1);
  EXPECT_EQ(down < shallow, 1);
  EXPECT_EQ(down < CSlope(-1000, 1), 1);
  EXPECT_EQ(up == down, 1);  // both cross products are 0
  EXPECT_EQ(half == CSlope(2, 4), 1);
  EXPECT_EQ(half == CSlope(-1, -2), 1);
  EXPECT_EQ(half >= CSlope(2, 4), 1);
  EXPECT_EQ(half > CSlope(2, 4), 0);
  EXPECT_EQ(shallow >= half, 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(SlopeTest, TestsTellVerticalDirectionsApart) {
  const CSlope up(1, 0), down(-1, 0), flat(0, 3), rising(1, 1);
  EXPECT_EQ(up.IsVerticalUp(), 1);
  EXPECT_EQ(down.IsVerticalUp(), 0);
  EXPECT_EQ(down.IsVertical(), 1);
  EXPECT_EQ(down.IsNegative(), 1);
  EXPECT_EQ(up.IsPositive(), 1);
  EXPECT_EQ(flat.IsHorizontal(), 1);
  EXPECT_EQ(flat.IsPositive(), 0);
  EXPECT_EQ(flat.IsNegative(), 0);
  EXPECT_EQ(rising.IsVertical(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(SlopeTest, InvalidOperandsReportTheirSide) {
  struct Case {
    const char* name;
    int (*op)(const CSlope&, const CSlope&);
    int glitch;
  };
  const Case cases[] = {
      {"==", [](const CSlope& a, const CSlope& b) { return int(a == b); }, 3506},
      {">", [](const CSlope& a, const CSlope& b) { return int(a > b); }, 3507},
      {">=", [](const CSlope& a, const CSlope& b) { return int(a >= b); }, 3508},
      {"<", [](const CSlope& a, const CSlope& b) { return int(a < b); }, 3509},
  };
  const CSlope valid(1, 1), unset, zero(0, 0);
  for (const Case& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.op(valid, unset), 0) << c.name;
    EXPECT_EQ(g_firstGlitchCode, c.glitch) << c.name;
    EXPECT_EQ(g_firstGlitchNumber, 2) << c.name;
    EXPECT_EQ(g_firstGlitchValues[0], 0) << c.name;  // the right operand's state

    ResetLogState();
    EXPECT_EQ(c.op(zero, valid), 0) << c.name;
    EXPECT_EQ(g_firstGlitchCode, c.glitch) << c.name;
    EXPECT_EQ(g_firstGlitchNumber, 1) << c.name;
    EXPECT_EQ(g_firstGlitchValues[0], -1) << c.name;
  }
}

TEST_F(SlopeTest, TestsOnInvalidSlopeReportGlitch) {
  struct Case {
    const char* name;
    int (*test)(const CSlope&);
    int glitch;
  };
  const Case cases[] = {
      {"IsHorizontal", [](const CSlope& s) { return int(s.IsHorizontal()); }, 3501},
      {"IsNegative", [](const CSlope& s) { return int(s.IsNegative()); }, 3502},
      {"IsPositive", [](const CSlope& s) { return int(s.IsPositive()); }, 3503},
      {"IsVertical", [](const CSlope& s) { return int(s.IsVertical()); }, 3504},
      {"IsVerticalUp", [](const CSlope& s) { return int(s.IsVerticalUp()); }, 3505},
  };
  for (const Case& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.test(CSlope(0, 0)), 0) << c.name;
    EXPECT_EQ(g_glitchCount, 1) << c.name;
    EXPECT_EQ(g_firstGlitchCode, c.glitch) << c.name;
    EXPECT_EQ(g_firstGlitchNumber, 1) << c.name;
  }
}

struct Point {
  int x, y;
};

Point Apply(const CTransform& t, Point p) {
  return {t.TransformX(p.x, p.y), t.TransformY(p.x, p.y)};
}

TEST(TransformTest, SetUpsMoveKnownPoints) {
  struct Case {
    const char* name;
    CTransform t;
    Point in, want;
  };
  auto rotation = [](double deg, int cx, int cy) {
    CTransform t;
    t.SetRotation(deg, cx, cy);
    return t;
  };
  auto reflection = [](int flag, int pos) {
    CTransform t;
    t.SetReflection(flag, pos);
    return t;
  };
  auto stretch = [](int flag, double f, int pos) {
    CTransform t;
    t.SetStretch(flag, f, pos);
    return t;
  };
  auto enlargement = [](double f, int cx, int cy) {
    CTransform t;
    t.SetEnlargement(f, cx, cy);
    return t;
  };
  const Case cases[] = {
      {"rotate 90", rotation(90, 0, 0), {1000, 0}, {0, 1000}},
      {"rotate 45 rounds half away", rotation(45, 0, 0), {1000, 0}, {707, 707}},
      {"rotate 180 about a centre", rotation(180, 100, 100), {150, 100}, {50, 100}},
      {"rotate -90", rotation(-90, 0, 0), {0, 1000}, {1000, 0}},
      {"mirror in x = 500", reflection(1, 500), {700, 30}, {300, 30}},
      {"mirror in y = 500", reflection(0, 500), {700, 30}, {700, 970}},
      {"stretch y from 100", stretch(0, 2, 100), {5, 150}, {5, 200}},
      {"stretch x from 10", stretch(1, 3, 10), {20, 7}, {40, 7}},
      {"negative stretch", stretch(1, -1, 0), {20, 7}, {-20, 7}},
      {"enlarge 2.5 about (10, 10)",
       enlargement(2.5, 10, 10),
       {11, 9},
       {13, 7}},  // 2.5 and -2.5 away from zero
  };
  for (const Case& c : cases) {
    const Point got = Apply(c.t, c.in);
    EXPECT_EQ(got.x, c.want.x) << c.name;
    EXPECT_EQ(got.y, c.want.y) << c.name;
  }
}

TEST(TransformTest, InversesBringPointsBack) {
  const Point points[] = {
      {0, 0}, {1, -1}, {12345, -6789}, {-50000000, 30000000}, {49999999, -29999999}, {333, 777}};
  const int cx = 1234, cy = -4321;
  for (const double degrees : {1.0, 30.0, 45.0, 90.0, 123.456, 270.0}) {
    CTransform forward, back;
    forward.SetRotation(degrees, cx, cy);
    back.SetRotation(-degrees, cx, cy);
    for (const Point p : points) {
      const Point q = Apply(back, Apply(forward, p));
      // Each rounding moves a point by at most half a unit per axis; turning that back
      // stays within one unit.
      EXPECT_LE(std::abs(q.x - p.x), 1) << degrees;
      EXPECT_LE(std::abs(q.y - p.y), 1) << degrees;
    }
  }
  for (const int flag : {0, 1}) {
    CTransform mirror;
    mirror.SetReflection(flag, -777);
    for (const Point p : points) {
      const Point q = Apply(mirror, Apply(mirror, p));
      EXPECT_EQ(q.x, p.x);
      EXPECT_EQ(q.y, p.y);
    }
  }
  for (const double factor : {2.0, 3.0, 4.0, -2.0}) {
    CTransform grow, shrink, stretch, unstretch;
    grow.SetEnlargement(factor, cx, cy);
    shrink.SetEnlargement(1.0 / factor, cx, cy);
    stretch.SetStretch(1, factor, cx);
    unstretch.SetStretch(1, 1.0 / factor, cx);
    for (const Point p : points) {
      // Whole factors land on whole numbers, so the way back is exact.
      Point q = Apply(shrink, Apply(grow, p));
      EXPECT_EQ(q.x, p.x) << factor;
      EXPECT_EQ(q.y, p.y) << factor;
      q = Apply(unstretch, Apply(stretch, p));
      EXPECT_EQ(q.x, p.x) << factor;
      EXPECT_EQ(q.y, p.y) << factor;
    }
  }
}

TEST(TransformTest, ExactFormsAreNotRounded) {
  CTransform t;
  t.SetRotation(45, 0, 0);
  EXPECT_NEAR(t.TransformXExact(1000, 0), 707.10678, 1e-4);
  EXPECT_NEAR(t.TransformYExact(1000, 0), 707.10678, 1e-4);
  EXPECT_EQ(t.GetKind(), kTransformRotation);
  EXPECT_NEAR(t.GetParameter(), 0.78539816, 1e-8);
}

TEST(TransformTest, FarPointsClampInsteadOfWrapping) {
  CTransform mirror;
  mirror.SetReflection(1, 2000000000);
  // 2 * 2e9 + 2e9 is far beyond the int range.
  EXPECT_EQ(mirror.TransformX(-2000000000, 0), kIntRangeMax);
  CTransform grow;
  grow.SetEnlargement(10, -2000000000, 0);
  EXPECT_EQ(grow.TransformX(2000000000, 0), kIntRangeMax);
  EXPECT_EQ(grow.TransformY(0, -2000000000), -kIntRangeMax);
}

}  // namespace
