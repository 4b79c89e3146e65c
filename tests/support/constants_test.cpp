#include "support/constants.h"

#include <gtest/gtest.h>

#include <QString>
#include <cmath>

TEST(ProgramConstants, MathematicalConstants) {
  EXPECT_NEAR(g_radiansPerDegree * g_degreesPerRadian, 1.0, 1e-15);
  EXPECT_EQ(g_halfPi, kPi / 2);
  EXPECT_EQ(g_twoPi, 2 * kPi);
  EXPECT_EQ(g_sqrt3, std::sqrt(3.0));
  EXPECT_EQ(g_degreesPerRadian, 57.29577951308232);
}

TEST(ProgramConstants, StartTimeIsZeroUntilSet) { EXPECT_TRUE(g_startTime.IsZero()); }

TEST(ProgramConstants, VocabularyBlock) {
  EXPECT_EQ(QString::fromUtf16(g_programConstants.toolNames[0]), QStringLiteral("New line"));
  EXPECT_EQ(QString::fromUtf16(g_programConstants.toolNames[27]), QStringLiteral("Origin"));
  EXPECT_EQ(g_programConstants.monthLengths[1], 28);
  EXPECT_EQ(g_programConstants.zoomSteps[12], 10);
  EXPECT_EQ(g_programConstants.limitY, 30000000);
}
