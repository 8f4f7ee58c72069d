#include "refresh/refresh_state.h"

#include <cstring>

namespace hangarscan {

RefreshState gState;

void ResetRun() {
  gState.ErrorCount = 0;
  gState.Counters = {};
  std::memset(gState.AirportTable.data(), 0, sizeof gState.AirportTable);
  gState.AirportKeyList.fill(0);
}

}  // namespace hangarscan
