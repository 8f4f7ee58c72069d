#include "refresh/refresh_command.h"

#include <array>
#include <cstdint>
#include <string>

#include "env/run_log.h"
#include "env/scenery_walk.h"
#include "env/text.h"
#include "platform/platform.h"
#include "refresh/database_file.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr int kNoDataThreshold = 10;
constexpr int kWriteThreshold = 10000;

bool g_running = false;

// Marks a run in progress for its whole length, whichever way it ends.
class RunningGuard {
 public:
  RunningGuard() { g_running = true; }
  ~RunningGuard() { g_running = false; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;
};

// False, after the outcome's box and log line, when too few airports were found to write.
bool EnoughAirports() {
  const int stored = gState.Counters.AirportsStored;
  if (stored < kNoDataThreshold) {
    constexpr const char* kNoData =
        "Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not written";
    ThePlatform().ShowMessageBox(BoxKind::Ok, "ERROR", kNoData);
    LogLine("%s\n", kNoData);
    return false;
  }
  if (stored < kWriteThreshold) {
    std::array<char, 256> box;
    FormatText(box.data(), box.size(),
               "ERROR, there was less than %i airports found, the file IcaoDbWgdV4.db will not be "
               "written",
               kWriteThreshold);
    LogLine("%s %i\n",
            "ERROR, there was less than 10000 airports found, the file IcaoDbWgdV4.db will not be "
            "written. Airports found: ",
            stored);
    ThePlatform().ShowMessageBox(BoxKind::Ok, "ERROR", TextOf(box));
    return false;
  }
  return true;
}

void LogSummary() {
  const RefreshCounters& c = gState.Counters;
  LogLine("%s %i\n", "Nbr of airport structure found:", c.AirportStructures);
  LogLine("%s %i\n", "Nbr of airport found:", c.AirportsStored);
  LogLine("%s %i\n", "Nbr of runways found:", c.RunwaysFound);
  LogLine("%s %i\n", "Nbr of airport without runway found:", c.AirportsWithoutRunway);
  LogLine("%s %i\n", "Nbr of airport with only helipad:", c.HelipadOnlyAirports);
  LogLine("%s %i\n", "Nbr of airport corrected:", c.AirportsCorrected);
  LogLine("%s %i\n", "Nbr of airport altitude corrected:", c.AltitudesCorrected);
  if (c.CorrectionsMissed >= 1) {
    LogLine("%s %i\n",
            "Nbr of airport correction that miss the airport to correct :", c.CorrectionsMissed);
  }
  if (c.CorrectionsMissed == 1) {
    LogLine("%s\n",
            "(Above is okay, you just have one useless airport correction file in your "
            "installation)");
  } else if (c.CorrectionsMissed >= 2) {
    LogLine("%s\n",
            "(Above is okay, you just have some useless airports correction files in your "
            "installation)");
  }
  LogLine("%s %i\n", "Nbr of com found:", c.ComsFound);
  LogLine("%s %i\n", "Nbr of ILS found:", c.IlsFound);
  LogLine("%s %i\n", "Max line lenght reached:", c.MaxLineLength);
  LogLine("%s %i\n", "Nbr of memory extension required:", c.MemoryExtensions);
}

// The "Completed" line, the summary and the final status text of a run that wrote the database.
void ReportCompletion(float seconds) {
  std::array<char, 1024> completed;
  std::array<char, 256> status;
  const double shown = seconds;
  if (gState.ErrorCount == 0) {
    FormatText(completed.data(), completed.size(),
               "\r\nCompleted in %.2f seconds. Database refreshed", shown);
    FormatText(status.data(), status.size(), "Completed: %i airports found. Database refreshed ok",
               gState.Counters.AirportsStored);
  } else {
    FormatText(completed.data(), completed.size(),
               "\r\nCompleted WITH ERROR! Database refreshed, the function took %.2f seconds.",
               shown);
    FormatText(status.data(), status.size(),
               "Completed but with ERRORS: %i airports found. See log !",
               gState.Counters.AirportsStored);
  }
  LogLine("%s\n", completed.data());
  LogSummary();
  ThePlatform().SetStatusText(TextOf(status));
}

}  // namespace

void RunRefresh() {
  if (g_running) return;
  const RunningGuard guard;
  Platform& platform = ThePlatform();
  const std::uint32_t start = platform.MillisecondClock();
  LogLine("%s\n", "Refresh database starting...");
  ResetRun();
  WalkScenery(std::string(TextOf(gState.SceneryRoot)));
  if (!EnoughAirports() || !WriteDatabaseFile()) return;
  // Unsigned difference: right across the wrap of a 32-bit millisecond clock.
  const std::uint32_t elapsed = platform.MillisecondClock() - start;
  const auto seconds = static_cast<float>(static_cast<double>(elapsed) / 1000.0);
  ReportCompletion(seconds);
}

}  // namespace hangarscan
