#include "items/intersect.h"

#include <gtest/gtest.h>

#include "support/log.h"

namespace {

class IntersectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetIntersectionState();
  }
  void TearDown() override {
    ResetIntersectionState();
    ResetLogState();
  }

  // Puts points (i, 10 i) into the result arrays.
  static void WriteResults(int count, int first = 1) {
    ASSERT_EQ(EnsureIntersectionCapacity(count), 1);
    for (int i = 0; i < count; ++i) {
      g_intersectX[i] = first + i;
      g_intersectY[i] = 10 * (first + i);
      g_intersectFlags[i] = 1;
    }
  }
};

TEST_F(IntersectTest, ResultArraysGrowAndLoseTheirContents) {
  EXPECT_EQ(g_intersectCapacity, 0);
  EXPECT_EQ(EnsureIntersectionCapacity(1), 1);
  EXPECT_EQ(g_intersectCapacity, 10);
  g_intersectX[0] = 7;
  EXPECT_EQ(EnsureIntersectionCapacity(10), 1);  // enough: nothing changes
  EXPECT_EQ(g_intersectX[0], 7);
  EXPECT_EQ(EnsureIntersectionCapacity(11), 1);
  EXPECT_EQ(g_intersectCapacity, 20);
  EXPECT_EQ(g_intersectX[0], 0);  // the old results are gone
  EXPECT_EQ(static_cast<int>(g_intersectFlags.size()), 20);

  FreeIntersectionArrays();
  EXPECT_EQ(EnsureIntersectionCapacity(1), 1);
  EXPECT_EQ(EnsureIntersectionCapacity(25), 1);  // twice 10 is not enough
  EXPECT_EQ(g_intersectCapacity, 25);
  EXPECT_EQ(static_cast<int>(g_intersectX.size()), 25);
  EXPECT_EQ(static_cast<int>(g_intersectY.size()), 25);

  FreeIntersectionArrays();
  EXPECT_EQ(g_intersectCapacity, 0);
  EXPECT_TRUE(g_intersectX.empty());
}

TEST_F(IntersectTest, SplitListKeepsEntriesWhenGrowing) {
  EXPECT_EQ(ReserveSplitList(3), 1);
  EXPECT_EQ(g_splitCapacity, 1000);
  for (int i = 0; i < 999; ++i) {
    g_splitX[i] = i;
    g_splitY[i] = -i;
    g_splitParam[i] = i / 1000.0;
    g_splitKeep[i] = static_cast<std::uint8_t>(i & 1);
  }
  g_splitCount = 999;
  EXPECT_EQ(ReserveSplitList(1), 1);  // 1000 fits
  EXPECT_EQ(g_splitCapacity, 1000);
  EXPECT_EQ(ReserveSplitList(3), 1);
  EXPECT_EQ(g_splitCapacity, 2000);
  EXPECT_EQ(g_splitCount, 999);
  for (int i = 0; i < 999; ++i) {
    ASSERT_EQ(g_splitX[i], i);
    ASSERT_EQ(g_splitY[i], -i);
    ASSERT_EQ(g_splitParam[i], i / 1000.0);
    ASSERT_EQ(g_splitKeep[i], i & 1);
  }
  EXPECT_EQ(static_cast<int>(g_splitPieces.size()), 2000);
  EXPECT_EQ(ReserveSplitList(5000), 1);
  EXPECT_EQ(g_splitCapacity, 5999);

  EXPECT_EQ(ReserveSplitList(2147483647), 0);  // beyond any int: the list stays
  EXPECT_EQ(g_splitCapacity, 5999);
  EXPECT_EQ(g_splitX[998], 998);

  FreeSplitList();
  EXPECT_EQ(g_splitCapacity, 0);
  EXPECT_EQ(g_splitCount, 0);
  EXPECT_TRUE(g_splitPieces.empty());
}

TEST_F(IntersectTest, CacheEntryStoresAndCopiesOut) {
  CIntersectionCache fresh;
  EXPECT_EQ(fresh.GetCount(), -1);
  EXPECT_EQ(fresh.Matches(1, 2), 0);
  EXPECT_EQ(fresh.Involves(0), 0);

  WriteResults(3);
  CIntersectionCache entry;
  EXPECT_EQ(entry.Store(3, 11, 22), 1);
  EXPECT_EQ(entry.Matches(11, 22), 1);
  EXPECT_EQ(entry.Matches(22, 11), 1);
  EXPECT_EQ(entry.Matches(11, 33), 0);
  EXPECT_EQ(entry.Involves(22), 1);
  EXPECT_EQ(entry.Involves(33), 0);

  WriteResults(5, 100);  // later results overwrite the arrays
  g_intersectFlags[0] = 0;
  EXPECT_EQ(entry.CopyOut(), 3);
  EXPECT_EQ(g_intersectX[0], 1);
  EXPECT_EQ(g_intersectY[2], 30);
  EXPECT_EQ(g_intersectX[3], 103);    // beyond the count: untouched
  EXPECT_EQ(g_intersectFlags[0], 0);  // flags are not cached
  EXPECT_EQ(g_intersectFlags[1], 1);

  CIntersectionCache none;
  EXPECT_EQ(none.Store(-4, 1, 2), 1);  // a negative count is 0
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_EQ(none.CopyOut(), 0);

  // More points than the arrays hold cannot be copied from them.
  CIntersectionCache tooMany;
  EXPECT_EQ(tooMany.Store(g_intersectCapacity + 1, 1, 2), 0);
  EXPECT_EQ(tooMany.GetCount(), -1);
}

TEST_F(IntersectTest, CopyOutGrowsTheResultArrays) {
  WriteResults(12);
  CIntersectionCache entry;
  ASSERT_EQ(entry.Store(12, 1, 2), 1);
  FreeIntersectionArrays();
  EXPECT_EQ(entry.CopyOut(), 12);
  EXPECT_GE(g_intersectCapacity, 12);
  EXPECT_EQ(g_intersectX[11], 12);
}

TEST_F(IntersectTest, CacheListAnswersOnlyCurrentPairs) {
  CIntersectionCacheList cache;
  EXPECT_EQ(cache.Find(1, 2), -1);

  WriteResults(2, 1);
  cache.Add(2, 1, 2);
  WriteResults(1, 50);
  cache.Add(1, 2, 3);
  WriteResults(1, 70);
  cache.Add(1, 2, 1);  // a second entry of the first pair: the first one answers
  cache.Add(0, 4, 5);
  EXPECT_EQ(cache.GetEntryCount(), 4);

  EXPECT_EQ(cache.Find(2, 1), 2);
  EXPECT_EQ(g_intersectX[0], 1);
  EXPECT_EQ(g_intersectY[1], 20);
  EXPECT_EQ(cache.Find(3, 2), 1);
  EXPECT_EQ(g_intersectX[0], 50);
  EXPECT_EQ(cache.Find(5, 4), 0);
  EXPECT_EQ(cache.Find(1, 3), -1);

  // Item 2 changes its geometry (or is destroyed): none of its pairs answer any more.
  cache.Drop(2);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.Find(1, 2), -1);
  EXPECT_EQ(cache.Find(2, 3), -1);
  EXPECT_EQ(cache.Find(4, 5), 0);

  // An item that belongs to no document has no serial and is never cached.
  cache.Add(0, 0, 5);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.Find(0, 5), -1);

  cache.Clear();
  EXPECT_EQ(cache.Find(4, 5), -1);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(IntersectTest, CacheListGrowsByDoubling) {
  CIntersectionCacheList cache;
  WriteResults(1);
  cache.Add(1, 1, 2);
  EXPECT_EQ(cache.GetCapacity(), 1024);
  for (int i = 1; i < 1025; ++i) cache.Add(1, 1000 + i, 2);
  EXPECT_EQ(cache.GetEntryCount(), 1025);
  EXPECT_EQ(cache.GetCapacity(), 2048);
  EXPECT_EQ(cache.Find(2, 2024), 1);
  EXPECT_EQ(cache.Find(1, 2), 1);
}

}  // namespace
