#include "refresh/airport_key_index.h"

#include <gtest/gtest.h>

#include <vector>

namespace hangarscan {
namespace {

using Keys = std::array<std::uint32_t, AirportKeyIndex::kLines>;

// Static: the index and the keys are too large for the stack.
AirportKeyIndex g_index;
Keys g_keys;

std::vector<int> LinesOf(std::uint32_t key) {
  std::vector<int> lines;
  for (int i = g_index.First(key); i >= 0; i = g_index.Next(i))
    lines.push_back(i);
  return lines;
}

class AirportKeyIndexTest : public ::testing::Test {
 protected:
  AirportKeyIndexTest() {
    g_index.Clear();
    g_keys = {};
  }
};

TEST_F(AirportKeyIndexTest, GivesEveryLineOfAKeyInTableOrder) {
  const std::vector<std::uint32_t> keys = {7, 9, 7, 7, 11, 9};
  std::copy(keys.begin(), keys.end(), g_keys.begin());
  g_index.CatchUp(g_keys, static_cast<int>(keys.size()));
  EXPECT_EQ(LinesOf(7), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(LinesOf(9), (std::vector<int>{1, 5}));
  EXPECT_EQ(LinesOf(11), (std::vector<int>{4}));
  EXPECT_EQ(LinesOf(8), std::vector<int>{});
}

TEST_F(AirportKeyIndexTest, TakesInLinesStoredAfterItWasLastAsked) {
  g_keys[0] = 5;
  g_index.CatchUp(g_keys, 1);
  g_keys[1] = 5;
  g_keys[2] = 6;
  EXPECT_EQ(LinesOf(5), (std::vector<int>{0}));
  g_index.CatchUp(g_keys, 3);
  EXPECT_EQ(LinesOf(5), (std::vector<int>{0, 1}));
  EXPECT_EQ(LinesOf(6), (std::vector<int>{2}));
}

// Keys that share their home bucket, zero among them, in a full table; then a new run forgets
// them all without clearing anything.
TEST_F(AirportKeyIndexTest, KeepsCollidingKeysApartInAFullTableAndForgetsThemInTheNextRun) {
  for (int i = 0; i < AirportKeyIndex::kLines; ++i)
    g_keys[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i % 1000) << 17;
  g_index.CatchUp(g_keys, AirportKeyIndex::kLines);
  for (const std::uint32_t k : {0u, 1u, 999u}) {
    const std::vector<int> lines = LinesOf(k << 17);
    ASSERT_EQ(lines.size(), (AirportKeyIndex::kLines - 1 - k) / 1000 + 1);
    for (std::size_t j = 0; j < lines.size(); ++j)
      EXPECT_EQ(lines[j], static_cast<int>(k + 1000 * j));
  }
  g_index.Clear();
  EXPECT_EQ(LinesOf(0), std::vector<int>{});
  EXPECT_EQ(LinesOf(999u << 17), std::vector<int>{});
}

}  // namespace
}  // namespace hangarscan
