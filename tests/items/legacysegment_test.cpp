#include "items/legacysegment.h"

#include <gtest/gtest.h>

#include "support/log.h"
#include "support/options.h"

namespace {

class LegacySegmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetOptionsState();
  }
  void TearDown() override {
    ResetOptionsState();
    ResetLogState();
  }
  static CLegacySegment Make(int x1, int y1, int x2, int y2, int state, int group) {
    CLegacySegment s;
    s.SetStart(x1, y1);
    s.SetEnd(x2, y2);
    s.SetState(state);
    s.SetGroupNumber(static_cast<std::int16_t>(group));
    return s;
  }
};

TEST_F(LegacySegmentTest, Validity) {
  ASSERT_EQ(GetOptionFlag(kOptionSuspiciousHatchIgnored), 1);  // on by default
  const struct {
    const char* name;
    CLegacySegment segment;
    int valid;
  } cases[] = {
      {"sound", Make(0, 0, 100, 0, 0, 0), 1},
      {"state 4", Make(0, 0, 100, 0, 4, 0), 1},
      {"state 5", Make(0, 0, 100, 0, 5, 0), 0},
      {"ends equal", Make(7, 7, 7, 7, 0, 0), 0},
      {"at the limits", Make(-50000000, -30000000, 50000000, 30000000, 0, 0), 1},
      {"past the x limit", Make(0, 0, 50000001, 0, 0, 0), 0},
      {"past the y limit", Make(0, -30000001, 0, 0, 0, 0), 0},
      {"suspicious group 10000", Make(0, 0, 100, 0, 0, 10000), 0},
      {"suspicious group 19999", Make(0, 0, 100, 0, 0, 19999), 0},
      {"group 20000", Make(0, 0, 100, 0, 0, 20000), 1},
      {"group 9999", Make(0, 0, 100, 0, 0, 9999), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.segment.IsValid(), c.valid) << c.name;

  g_optionFlags[kOptionSuspiciousHatchIgnored] = 0;
  EXPECT_EQ(Make(0, 0, 100, 0, 0, 10000).IsValid(), 1);
  EXPECT_EQ(Make(0, 0, 0, 0, 0, 10000).IsValid(), 0);
}

TEST_F(LegacySegmentTest, PerEndValues) {
  CLegacySegment s = Make(1, 2, 3, 4, 3, 0);
  int x = -1;
  int y = -1;
  s.GetEndPoint(0, x, y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 2);
  s.GetEndPoint(1, x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
  s.GetEndPoint(2, x, y);
  EXPECT_EQ(x, 3);  // untouched
  EXPECT_EQ(y, 4);

  s.SetLink(0, 11);
  s.SetLink(1, 12);
  s.SetLink(2, 13);
  s.SetEndState(0, 1);
  s.SetEndState(1, 3);
  s.SetEndState(-1, 4);
  EXPECT_EQ(s.GetLink(0), 11);
  EXPECT_EQ(s.GetLink(1), 12);
  EXPECT_EQ(s.GetLink(2), 0);
  EXPECT_EQ(s.GetEndState(0), 1);
  EXPECT_EQ(s.GetEndState(1), 3);
  EXPECT_EQ(s.GetEndState(2), 2);
  EXPECT_EQ(s.GetState(), 3);
  s.SetCode(42);
  EXPECT_EQ(s.GetCode(), 42);
}

}  // namespace
