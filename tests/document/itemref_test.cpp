#include "document/itemref.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "support/log.h"

namespace {

class ItemRefTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    CItemRefList::SetGrowFailureForTests(false);
  }
  void TearDown() override {
    CItemRefList::SetGrowFailureForTests(false);
    ResetLogState();
  }

  // Whether the log ring holds the record (code, phase + value).
  static bool Logged(int code, int phase, int value) {
    for (int i = 0; i < g_logPosition; ++i) {
      if (g_logCodes[i] == code && g_logValues[i] == phase + value) return true;
    }
    return false;
  }

  static std::vector<std::pair<int, int>> Entries(const CItemRefList& list) {
    std::vector<std::pair<int, int>> out;
    for (std::uint16_t i = 0; i < list.GetCount(); ++i) {
      out.emplace_back(list.GetAt(i).GetItem(), list.GetAt(i).GetPoint());
    }
    return out;
  }

  static CItemRefList ListOf(const std::vector<std::pair<int, int>>& entries) {
    CItemRefList list;
    for (const auto& [item, point] : entries) {
      list.Add(CItemRef(item, static_cast<std::int16_t>(point)));
    }
    return list;
  }
};

bool IsEmptyRef(const CItemRef& ref) { return ref.GetItem() == -1 && ref.GetPoint() == 32767; }

TEST_F(ItemRefTest, EmptyAndInvalidReferences) {
  EXPECT_TRUE(IsEmptyRef(CItemRef()));
  EXPECT_TRUE(IsEmptyRef(InvalidItemRef()));
  EXPECT_TRUE(IsEmptyRef(CItemRef::Invalid()));

  struct Case {
    std::int32_t item;
    std::int16_t point;
    int invalid;
  };
  for (const Case& c : {Case{-1, 0, 1}, Case{5, 32767, 1}, Case{-1, 32767, 1}, Case{0, 0, 0},
                        Case{-2, 0, 0}, Case{7, -1, 0}, Case{2147483647, 32766, 0}}) {
    EXPECT_EQ(CItemRef(c.item, c.point).IsInvalid(), c.invalid) << c.item << "," << c.point;
  }

  CItemRef ref(4, 2);
  ref.SetPoint(32767);
  EXPECT_EQ(ref.IsInvalid(), 1);
  EXPECT_EQ(ref.GetItem(), 4);
}

TEST_F(ItemRefTest, EqualityAndOrderGoByItemThenHandle) {
  struct Case {
    CItemRef a;
    CItemRef b;
    int equal;
    int after;  // a.IsAfter(b)
  };
  const Case cases[] = {
      {{3, 1}, {3, 1}, 1, 0},         {{3, 2}, {3, 1}, 0, 1}, {{3, 1}, {3, 2}, 0, 0},
      {{4, 0}, {3, 9}, 0, 1},         {{2, 9}, {3, 0}, 0, 0}, {{0, 0}, CItemRef(), 0, 1},
      {CItemRef(), CItemRef(), 1, 0}, {{3, 1}, {1, 3}, 0, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a.Equals(c.b), c.equal) << c.a.GetItem() << "," << c.a.GetPoint();
    EXPECT_EQ(c.a.IsAfter(c.b), c.after) << c.a.GetItem() << "," << c.a.GetPoint();
  }
}

TEST_F(ItemRefTest, CapacityGrowsInItsStepsToTheLimitThenRefusesSilently) {
  CItemRefList list;
  EXPECT_EQ(list.GetCapacity(), 0);
  std::vector<int> capacities;
  for (int i = 0; i < 65535; ++i) {
    const std::uint16_t before = list.GetCapacity();
    list.Add(CItemRef(i, static_cast<std::int16_t>(i % 7)));
    if (list.GetCapacity() != before) capacities.push_back(list.GetCapacity());
  }
  EXPECT_EQ(capacities,
            (std::vector<int>{128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65535}));
  ASSERT_EQ(list.GetCount(), 65535);
  EXPECT_FALSE(Logged(1302, 1, kLogMemory));

  list.Add(CItemRef(70000, 1));
  EXPECT_EQ(list.GetCount(), 65535);
  EXPECT_EQ(list.GetCapacity(), 65535);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_TRUE(Logged(1302, 1, kLogMemory));
  EXPECT_EQ(list.GetAt(65534).GetItem(), 65534);
  EXPECT_EQ(list.GetAt(65534).GetPoint(), 65534 % 7);
  EXPECT_EQ(list.GetAt(0).GetItem(), 0);
}

TEST_F(ItemRefTest, AFailedGrowthLeavesTheListAsItWas) {
  CItemRefList list;
  CItemRefList::SetGrowFailureForTests(true);
  list.Add(CItemRef(1, 1));
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_TRUE(Logged(1302, 2, kLogMemory));

  CItemRefList::SetGrowFailureForTests(false);
  for (int i = 0; i < 128; ++i) list.Add(CItemRef(i, 0));
  CItemRefList::SetGrowFailureForTests(true);
  list.Add(CItemRef(500, 0));
  EXPECT_EQ(list.GetCount(), 128);
  EXPECT_EQ(list.GetCapacity(), 128);
  EXPECT_EQ(list.GetAt(127).GetItem(), 127);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ItemRefTest, AnInvalidReferenceIsRefusedWithAGlitch) {
  CItemRefList list = ListOf({{1, 0}});
  list.Add(CItemRef(-1, 0));
  list.Add(CItemRef(5, 32767));
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(g_glitchCount, 2);
  EXPECT_EQ(g_firstGlitchCode, 1301);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(ItemRefTest, ReadingPastTheEndGivesAFreshEmptyReferenceOfItsOwn) {
  CItemRefList list = ListOf({{0, 0}, {1, 1}, {2, 2}});
  EXPECT_TRUE(IsEmptyRef(list.GetAt(3)));
  EXPECT_TRUE(IsEmptyRef(list.ElementAt(3)));
  EXPECT_TRUE(IsEmptyRef(CItemRefList().GetAt(0)));

  // A write through the spare reference changes neither the list nor the next answers.
  CItemRef& spare = list.ElementAt(100);
  spare = CItemRef(9, 9);
  EXPECT_TRUE(IsEmptyRef(list.GetAt(3)));
  EXPECT_NE(&list.GetAt(3), &list.ElementAt(3));
  EXPECT_TRUE(IsEmptyRef(list.ElementAt(4)));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.Contains(CItemRef(9, 9)), 0);

  // Within the count ElementAt gives the entry itself.
  list.ElementAt(1).SetPoint(5);
  EXPECT_EQ(list.GetAt(1).GetPoint(), 5);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ItemRefTest, ContainsInvalidateAndRemoveAll) {
  CItemRefList list = ListOf({{4, 0}, {4, 1}, {2, 3}});
  EXPECT_EQ(list.Contains(CItemRef(4, 1)), 1);
  EXPECT_EQ(list.Contains(CItemRef(1, 4)), 0);
  EXPECT_EQ(list.Contains(CItemRef(2, 3)), 1);

  list.Invalidate(1);
  list.Invalidate(3);  // past the count: nothing
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(IsEmptyRef(list.GetAt(1)));
  EXPECT_EQ(list.Contains(CItemRef(4, 1)), 0);
  EXPECT_EQ(list.Contains(CItemRef()), 1);  // the emptied entry is still counted

  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 128);
  EXPECT_EQ(list.Contains(CItemRef(4, 0)), 0);
  EXPECT_TRUE(IsEmptyRef(list.GetAt(0)));
  list.Add(CItemRef(8, 8));
  EXPECT_EQ(Entries(list), (std::vector<std::pair<int, int>>{{8, 8}}));
}

TEST_F(ItemRefTest, CompactKeepsTheOrderOfTheValidEntries) {
  CItemRefList list = ListOf({{1, 0}, {9, 9}, {2, 0}, {9, 8}, {3, 4}, {9, 7}});
  list.Invalidate(1);
  list.ElementAt(3).SetPoint(32767);  // invalid without being the empty reference
  list.ElementAt(5) = CItemRef(-1, 2);
  EXPECT_EQ(list.Compact(), 3);
  EXPECT_EQ(Entries(list), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 4}}));
  EXPECT_TRUE(IsEmptyRef(list.GetAt(3)));
  EXPECT_EQ(list.GetCapacity(), 128);

  CItemRefList empty;
  EXPECT_EQ(empty.Compact(), 0);
  CItemRefList allGone = ListOf({{1, 1}, {2, 2}});
  allGone.Invalidate(0);
  allGone.Invalidate(1);
  EXPECT_EQ(allGone.Compact(), 0);
  allGone.Add(CItemRef(5, 5));
  EXPECT_EQ(Entries(allGone), (std::vector<std::pair<int, int>>{{5, 5}}));
}

TEST_F(ItemRefTest, SortOrdersByItemThenHandle) {
  using Entries_ = std::vector<std::pair<int, int>>;
  const std::pair<Entries_, Entries_> cases[] = {
      {{}, {}},
      {{{5, 2}}, {{5, 2}}},
      {{{3, 1}, {1, 2}, {3, 0}, {1, 0}, {2, 7}}, {{1, 0}, {1, 2}, {2, 7}, {3, 0}, {3, 1}}},
      {{{2, 1}, {2, 1}, {0, 5}}, {{0, 5}, {2, 1}, {2, 1}}},
      {{{0, 0}, {0, 1}, {1, 0}}, {{0, 0}, {0, 1}, {1, 0}}},
      {{{100000, -3}, {100000, -4}, {0, 32766}}, {{0, 32766}, {100000, -4}, {100000, -3}}},
  };
  for (const auto& [input, sorted] : cases) {
    CItemRefList list = ListOf(input);
    list.Sort();
    EXPECT_EQ(Entries(list), sorted);
  }

  // A large reversed list sorts quickly and completely.
  CItemRefList big;
  for (int i = 20000; i > 0; --i) big.Add(CItemRef(i / 3, static_cast<std::int16_t>(i % 3)));
  big.Sort();
  for (std::uint16_t i = 1; i < big.GetCount(); ++i) {
    ASSERT_EQ(big.GetAt(i - 1).IsAfter(big.GetAt(i)), 0) << i;
  }
}

}  // namespace
