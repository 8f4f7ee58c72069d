#include "refresh/refresh_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "env/text.h"

#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

class RefreshStateTest : public fixture::CoreTest {};

TEST_F(RefreshStateTest, ResetClearsTheRunButKeepsPathsAndStatusPacing) {
  gState.ErrorCount = 3;
  gState.Counters.AirportsStored = 2;
  gState.Counters.HelipadOnlyAirports = 7;
  gState.StatusCounter = 17;
  CopyText(gState.AirportTable[0], "line\n");
  CopyText(gState.AirportTable[kTableLines], "spare\n");
  gState.AirportKeyList[kTableLines] = 99;
  CopyText(gState.SceneryRoot, "D:\\P3D\\scenery");

  ResetRun();

  EXPECT_EQ(gState.ErrorCount, 0);
  const RefreshCounters zero{};
  EXPECT_EQ(std::memcmp(&gState.Counters, &zero, sizeof zero), 0);
  const auto allZero = [](const TableSlot& slot) {
    return std::all_of(slot.begin(), slot.end(), [](char c) { return c == 0; });
  };
  EXPECT_TRUE(std::all_of(gState.AirportTable.begin(), gState.AirportTable.end(), allZero));
  EXPECT_TRUE(std::all_of(gState.AirportKeyList.begin(), gState.AirportKeyList.end(),
                          [](std::uint32_t key) { return key == 0; }));
  EXPECT_EQ(gState.StatusCounter, 17);
  EXPECT_EQ(TextOf(gState.SceneryRoot), "D:\\P3D\\scenery");
}

}  // namespace
}  // namespace hangarscan
