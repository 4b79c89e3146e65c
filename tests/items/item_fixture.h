#pragma once
// The base of the item tests' fixtures: the check that what a test just did reported one
// glitch. Each fixture resets the globals its items touch itself.
#include <gtest/gtest.h>

#include <string>

#include "support/log.h"

class ItemFixture : public ::testing::Test {
 protected:
  // Exactly one glitch since the log state was reset, with this code and number.
  static void ExpectGlitch(int code, int n, const std::string& name = "") {
    EXPECT_EQ(g_glitchCount, 1) << name;
    EXPECT_EQ(g_firstGlitchCode, code) << name;
    EXPECT_EQ(g_firstGlitchNumber, n) << name;
  }
};
