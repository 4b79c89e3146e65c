#include "items/viewmapping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "platform/recordingcontext.h"
#include "support/numbers.h"

namespace {

TEST(ViewMappingTest, StartsEmpty) {
  const CViewMapping m;
  int x = 9, y = 9;
  m.GetOrigin(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(m.scaleX, 1);
  EXPECT_EQ(m.scaleY, 1);
  EXPECT_EQ(m.printScaleX, 1.0);
  EXPECT_EQ(m.GetZoomLevel(), 1);
  EXPECT_EQ(m.anchorX, 0);
  EXPECT_EQ(m.anchorY, 0);
}

TEST(ViewMappingTest, EveryZoomLevelMapsOneScaleStepToOnePixel) {
  const int scales[kZoomLevelCount] = {100000, 50000, 20000, 10000, 5000, 2000, 1000,
                                       500,    200,   100,   50,    20,   10};
  for (int level = 1; level <= kZoomLevelCount; ++level) {
    const int s = ZoomScaleOfLevel(level);
    ASSERT_EQ(s, scales[level - 1]);
    CViewMapping m;
    m.SetZoomLevel(level);
    m.scaleX = m.scaleY = s;
    m.originX = -123456;
    m.originY = 654321;
    EXPECT_EQ(m.DrawingToDeviceX(m.originX), 0) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.originY), 0) << level;
    EXPECT_EQ(m.DrawingToDeviceX(m.originX + 7 * s), 7) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.originY - s), 1) << level;  // drawing y runs upwards
    EXPECT_EQ(m.DrawingToDeviceXReal(m.originX + 2.5 * s), 3) << level;
    EXPECT_EQ(m.DrawingToDeviceYReal(m.originY + 2.5 * s), -3) << level;
    // Device to drawing is exact and the way back lands on the same pixel.
    EXPECT_EQ(m.DeviceToDrawingX(7), m.originX + 7 * s) << level;
    EXPECT_EQ(m.DeviceToDrawingY(7, 0), m.originY - 7 * s) << level;
    EXPECT_EQ(m.DrawingToDeviceX(m.DeviceToDrawingX(-31)), -31) << level;
    EXPECT_EQ(m.DrawingToDeviceY(m.DeviceToDrawingY(45, 0)), 45) << level;
    EXPECT_EQ(m.GetScaleX(), s) << level;
    EXPECT_EQ(m.GetZoomLevel(), level);
  }
  EXPECT_EQ(ZoomScaleOfLevel(0), 0);
  EXPECT_EQ(ZoomScaleOfLevel(14), 0);
}

TEST(ViewMappingTest, RoundsHalfAwayFromZero) {
  CViewMapping m;
  m.scaleX = m.scaleY = 20;
  EXPECT_EQ(m.DrawingToDeviceX(10), 1);
  EXPECT_EQ(m.DrawingToDeviceX(-10), -1);
  EXPECT_EQ(m.DrawingToDeviceX(9), 0);
  EXPECT_EQ(m.DrawingToDeviceY(10), -1);
  EXPECT_EQ(m.DrawingToDeviceY(-10), 1);
}

TEST(ViewMappingTest, PrinterUsesThePrintScales) {
  CViewMapping m;
  m.scaleX = m.scaleY = 1000;
  m.printScaleX = 84.6;
  m.printScaleY = 40.0;
  m.originX = 1000;
  m.originY = 50000;
  zeph::CRecordingContext printer;
  printer.SetPrinting(true);
  EXPECT_EQ(m.DrawingToDeviceX(1000 + 846, &printer), 10);
  EXPECT_EQ(m.DrawingToDeviceX(1000 + 846), 1);  // the screen scale without a printer
  EXPECT_EQ(m.DrawingToDeviceY(50000 - 400, &printer), 10);
  EXPECT_EQ(m.DrawingToDeviceYReal(50000 - 20.0, &printer), 1);  // half a pixel, away
  EXPECT_EQ(m.GetScaleX(&printer), 84.6);
  EXPECT_EQ(m.GetScaleY(&printer), 40.0);
  EXPECT_EQ(m.GetScaleY(), 1000.0);
  EXPECT_EQ(m.DeviceToDrawingY(10, 1), 50000 - 400);
  EXPECT_EQ(m.DeviceToDrawingY(10, 0), 50000 - 10000);
}

TEST(ViewMappingTest, ExtremeValuesClampInsteadOfWrapping) {
  CViewMapping m;
  m.scaleX = m.scaleY = 100000;
  m.originX = 50000000;
  m.originY = -30000000;
  EXPECT_EQ(m.DeviceToDrawingX(2000000000), kIntRangeMax);
  EXPECT_EQ(m.DeviceToDrawingY(2000000000, 0), -kIntRangeMax);
  m.scaleX = 0;  // no scale set: no division by zero reaches the caller
  EXPECT_EQ(m.DrawingToDeviceX(m.originX + 5), kIntRangeMax);
  EXPECT_EQ(m.DrawingToDeviceX(m.originX), 0);
}

TEST(ViewMappingTest, ZoomLevelOutsideTheTableIsIgnored) {
  CViewMapping m;
  m.SetZoomLevel(7);
  for (const int bad : {0, 14, -1, 65536}) {
    m.SetZoomLevel(bad);
    EXPECT_EQ(m.GetZoomLevel(), 7) << bad;
  }
  m.SetZoomLevel(65536 + 13);  // taken as a 16-bit value
  EXPECT_EQ(m.GetZoomLevel(), 13);
}

TEST(ViewMappingTest, ResizeAndAlignment) {
  CViewMapping m;
  m.scaleX = m.scaleY = 1000;
  m.originY = 500000;
  m.SetClientSize(0, 400);
  m.AdjustForHeight(500);  // 100 pixels taller: the bottom edge keeps its drawing point
  EXPECT_EQ(m.originY, 600000);
  m.SetClientSize(0, 500);
  m.SetWindowExtent(640, 500);
  EXPECT_EQ(m.windowWidth, 640);
  EXPECT_EQ(m.windowHeight, 500);

  // The bottom-left drawing point moves onto a multiple of 10 pixels (10,000 units), toward
  // the anchor's multiple: origin - anchor x scale is truncated.
  m.originX = 12345;
  m.originY = 600000 + 6789;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, 10000);
  EXPECT_EQ(m.originY, 600000);
  m.originX = -12345;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, -10000);

  m.scaleX = 0;  // nothing to align to
  m.originX = 777;
  m.AlignOrigin();
  EXPECT_EQ(m.originX, 777);
}

// The screen conversions divide by multiplying with a reciprocal; these hold them to the
// division in doubles over the whole range the mapping can ask for (|n| up to 2^32 - 1, every
// positive scale), with the cases where a rounding slip would show: quotients exactly
// half-way and one unit either side of every half and every whole, at both ends of the range.
std::int64_t ReferenceQuotient(std::int64_t n, std::int64_t s) {
  return RoundToInt(static_cast<double>(n) / static_cast<double>(s));
}

std::vector<std::int64_t> TestDivisors() {
  std::vector<std::int64_t> divisors;
  for (std::int64_t s = 1; s <= 300; ++s) divisors.push_back(s);
  for (int level = 1; level <= kZoomLevelCount; ++level)
    divisors.push_back(ZoomScaleOfLevel(level));
  for (int bit = 9; bit <= 31; ++bit) {
    const std::int64_t p = std::int64_t{1} << bit;
    divisors.push_back(p - 1);
    if (bit < 31) divisors.push_back(p);
    if (bit < 31) divisors.push_back(p + 1);
  }
  for (const std::int64_t s : {999, 1001, 99999, 100001, 3333333, 123456789, 2147483646})
    divisors.push_back(s);
  return divisors;
}

TEST(RoundedQuotientTest, MatchesTheDivisionAtEveryHalfAndWhole) {
  constexpr std::int64_t kMaxN = (std::int64_t{1} << 32) - 1;
  std::int64_t checked = 0;
  for (const std::int64_t s : TestDivisors()) {
    const double half = 1.0 / (2.0 * static_cast<double>(s));
    // Quotients k and k + 1/2 (2n = (2k + 1) s), k spread from 0 to the end of the range.
    std::vector<std::int64_t> ks;
    for (std::int64_t k = 0; k <= 40; ++k) ks.push_back(k);
    for (std::int64_t k = 41; k <= kMaxN / s; k = k * 3 / 2) ks.push_back(k);
    ks.push_back(kMaxN / s);
    for (const std::int64_t k : ks) {
      for (const std::int64_t centre : {k * s, k * s + s / 2, k * s + (s + 1) / 2}) {
        for (std::int64_t j = -2; j <= 2; ++j) {
          const std::int64_t n = centre + j;
          if (n > kMaxN) continue;
          for (const std::int64_t signedN : {n, -n}) {
            ASSERT_EQ(RoundedQuotient(signedN, s, half), ReferenceQuotient(signedN, s))
                << signedN << " / " << s;
            ++checked;
          }
        }
      }
    }
    // Every n near zero, where small divisors have their halves close together.
    if (s <= 64) {
      for (std::int64_t n = -4096; n <= 4096; ++n) {
        ASSERT_EQ(RoundedQuotient(n, s, half), ReferenceQuotient(n, s)) << n << " / " << s;
      }
    }
  }
  EXPECT_GT(checked, 100000);
}

TEST(RoundedQuotientTest, MatchesTheDivisionForRandomPairsAndClampsAsRoundToInt) {
  std::mt19937_64 random(20261211);
  std::uniform_int_distribution<std::int64_t> numerator(-((std::int64_t{1} << 32) - 1),
                                                        (std::int64_t{1} << 32) - 1);
  std::uniform_int_distribution<int> bits(0, 31);
  for (int i = 0; i < 400000; ++i) {
    const std::int64_t n = numerator(random);
    // Scales of every size, not mostly huge ones.
    const int b = bits(random);
    const std::int64_t s = std::max<std::int64_t>(
        1, std::min<std::int64_t>(kIntRangeMax, static_cast<std::int64_t>(random() >> (63 - b))));
    ASSERT_EQ(RoundedQuotient(n, s, 1.0 / (2.0 * static_cast<double>(s))), ReferenceQuotient(n, s))
        << n << " / " << s;
  }
  // Quotients past the int range clamp to +-2147483647, never -2147483648.
  for (const std::int64_t n :
       {std::int64_t{4294967295}, std::int64_t{-4294967295}, std::int64_t{2147483647},
        std::int64_t{-2147483647}, std::int64_t{-2147483648}, std::int64_t{2147483648}}) {
    for (const std::int64_t s : {1, 2}) {
      const double half = 1.0 / (2.0 * static_cast<double>(s));
      EXPECT_EQ(RoundedQuotient(n, s, half), ReferenceQuotient(n, s)) << n << " / " << s;
    }
  }
  EXPECT_EQ(RoundedQuotient(-4294967295, 1, 0.5), -kIntRangeMax);
  EXPECT_EQ(RoundedQuotient(-4294967295, 2, 0.25), -kIntRangeMax);
}

TEST(ViewMappingTest, ScreenConversionsFollowTheScaleAndMatchTheDivision) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  CViewMapping m;
  // The scale and origin change between calls, and a copy carries on from its own values:
  // the reciprocal kept for one scale is never used for another.
  struct Step {
    std::int32_t scale;
    std::int32_t origin;
  };
  const Step steps[] = {{20, 0},        {30, 0}, {30, -123457}, {1, kMax}, {1, kMin},
                        {100000, kMin}, {7, 5},  {-20, 0},      {0, 0},    {2147483647, kMax},
                        {20, 0}};
  const int xs[] = {kMin, kMin + 1, -1000001, -15, -10, -9, 0, 9, 10, 15, 1000001, kMax - 1, kMax};
  for (const Step& st : steps) {
    m.scaleX = m.scaleY = st.scale;
    m.originX = st.origin;
    m.originY = st.origin;
    const CViewMapping copy = m;
    for (const int x : xs) {
      const double s = static_cast<double>(st.scale);
      const int wantX = RoundToInt((static_cast<double>(x) - st.origin) / s);
      const int wantY = RoundToInt((static_cast<double>(st.origin) - x) / s);
      EXPECT_EQ(m.DrawingToDeviceX(x), wantX) << x << " at " << st.scale << ", " << st.origin;
      EXPECT_EQ(m.DrawingToDeviceY(x), wantY) << x << " at " << st.scale << ", " << st.origin;
      EXPECT_EQ(copy.DrawingToDeviceX(x), wantX);
    }
  }
}

TEST(ViewMappingTest, GlobalsReset) {
  g_cursorPoint = {5, 6};
  g_realWorldScale = 50.0;
  g_unitFactor = 100.0;
  ResetViewGlobals();
  EXPECT_EQ(g_cursorPoint, (DrawingPoint{0, 0}));
  EXPECT_EQ(g_realWorldScale, 1.0);
  EXPECT_EQ(g_unitFactor, 1.0);
}

}  // namespace
