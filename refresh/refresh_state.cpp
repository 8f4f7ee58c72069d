#include "refresh/refresh_state.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace hangarscan {

RefreshState gState;

void ResetRun() {
  ThePlatform().AdviseDenseUse(gState.AirportTable.data(), sizeof gState.AirportTable);
  const auto used =
      static_cast<std::size_t>(std::clamp(gState.Counters.AirportsStored, 0, kTableLines));
  std::memset(gState.AirportTable.data(), 0, used * sizeof(TableSlot));
  gState.AirportTable[kTableLines].fill('\0');
  std::fill_n(gState.AirportKeyList.begin(), used, 0u);
  gState.AirportKeyList[kTableLines] = 0;
  gState.KeyIndex.Clear();
  gState.ErrorCount = 0;
  gState.Counters = {};
}

}  // namespace hangarscan
