#include "refresh/refresh_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;

// The table is filled through the airport pass of the one BGL file in the scenery, as the
// decoders fill it: whatever the test puts into g_decode runs there.
std::function<void()> g_decode;

Flow Decode(int) {
  if (g_decode) g_decode();
  return Flow::GoOn;
}
void StoreAirports(int count) {
  for (int i = 0; i < count; ++i) {
    TableSlot& slot = gState.AirportTable[gState.Counters.AirportsStored++];
    FormatText(slot.data(), slot.size(), "%012d;A;B;\n", i);
  }
  gState.Counters.MaxLineLength = 19;
}

const std::string kNoData =
    "Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not written";
const std::string kTooFewBox =
    "ERROR, there was less than 10000 airports found, the file IcaoDbWgdV4.db will not be written";

class RefreshCommandTest : public fixture::CoreTest {
 protected:
  RefreshCommandTest() {
    g_decode = nullptr;
    std::filesystem::create_directories(dir.Join("Bin"));
    std::filesystem::create_directories(dir.Join("P3D/scenery"));
    CopyText(gState.SceneryRoot, dir.Join("P3D/scenery"));
    fixture::BglFile file;
    file.AddSection(kSectionAirport);
    file.WriteTo(dir.Join("P3D/scenery/APX41.BGL"));
  }
  ~RefreshCommandTest() override { g_decode = nullptr; }

  std::string DatabasePath() const { return dir.Join("Bin/IcaoDbWgdV4.db"); }
  bool DatabaseWritten() const { return std::filesystem::exists(DatabasePath()); }
  std::vector<PlatformEvent> Of(Kind kind) const { return platform->Only(kind); }

 private:
  fixture::ScopedOverride<SectionHandlers> handlers_{
      BglSectionHandlers(),
      {Decode, fixture::SkipSection, fixture::SkipSubstitution, fixture::SkipSection}};
};

TEST_F(RefreshCommandTest, AWrittenRunLogsItsDurationAndTheSummaryInItsOrder) {
  platform->clockReadings = {5000, 15025};  // 10,025 ms: 10.025 as a float is just below
  g_decode = [] {
    StoreAirports(10000);
    RefreshCounters& c = gState.Counters;
    c.AirportStructures = 10001;
    c.RunwaysFound = 2;
    c.AirportsWithoutRunway = 3;
    c.HelipadOnlyAirports = 4;
    c.AirportsCorrected = 5;
    c.AltitudesCorrected = 6;
    c.ComsFound = 7;
    c.IlsFound = 8;
    c.MemoryExtensions = 9;
  };

  RunRefresh();

  EXPECT_TRUE(DatabaseWritten());
  EXPECT_EQ(LogTexts(),
            "Refresh database starting...\n"
            "Opening file for writting: " +
                DatabasePath() +
                "\n"
                "Starting to write in 'IcaoDbWgdV4.db' Number of airport found:  10000\n"
                "\r\nCompleted in 10.02 seconds. Database refreshed\n"
                "Nbr of airport structure found: 10001\n"
                "Nbr of airport found: 10000\n"
                "Nbr of runways found: 2\n"
                "Nbr of airport without runway found: 3\n"
                "Nbr of airport with only helipad: 4\n"
                "Nbr of airport corrected: 5\n"
                "Nbr of airport altitude corrected: 6\n"
                "Nbr of com found: 7\n"
                "Nbr of ILS found: 8\n"
                "Max line lenght reached: 19\n"
                "Nbr of memory extension required: 9\n");
  // The "Completed" line follows an empty line in the file.
  EXPECT_NE(LogBytes().find("10000\r\n\r\r\nCompleted in 10.02 seconds. Database refreshed\r\n"),
            std::string::npos);
  const std::vector<PlatformEvent> statuses = {
      {Kind::Status, BoxKind::Ok, "", "Completed: 10000 airports found. Database refreshed ok"}};
  EXPECT_EQ(Of(Kind::Status), statuses);
  EXPECT_TRUE(Of(Kind::Box).empty());
}

struct Threshold {
  int airports;
  bool written;
};

class RefreshThresholdTest : public RefreshCommandTest,
                             public ::testing::WithParamInterface<Threshold> {};

TEST_P(RefreshThresholdTest, BothThresholdsAreStrictLowerBounds) {
  const int airports = GetParam().airports;
  g_decode = [airports] { StoreAirports(airports); };

  RunRefresh();

  EXPECT_EQ(DatabaseWritten(), GetParam().written);
  const std::vector<PlatformEvent> boxes = Of(Kind::Box);
  const std::string log = LogTexts();
  if (airports < 10) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], (PlatformEvent{Kind::Box, BoxKind::Ok, "ERROR", kNoData}));
    EXPECT_EQ(log, "Refresh database starting...\n" + kNoData + "\n");
    // The box comes before its log line.
    EXPECT_EQ(platform->events.back().kind, Kind::Log);
  } else if (airports < 10000) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], (PlatformEvent{Kind::Box, BoxKind::Ok, "ERROR", kTooFewBox}));
    EXPECT_EQ(log, "Refresh database starting...\n" + kTooFewBox +
                       ". Airports found:  " + std::to_string(airports) + "\n");
    // The log line comes before its box.
    EXPECT_EQ(platform->events.back().kind, Kind::Box);
  } else {
    EXPECT_TRUE(boxes.empty());
  }
  // The status text changes only when the file was written.
  EXPECT_EQ(Of(Kind::Status).size(), GetParam().written ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefreshThresholdTest,
                         ::testing::Values(Threshold{0, false}, Threshold{9, false},
                                           Threshold{10, false}, Threshold{9999, false},
                                           Threshold{10000, true}));

struct Missed {
  int count;
  std::string lines;  // what the summary shows between the altitude line and the COM line
};

class MissedCorrectionTest : public RefreshCommandTest,
                             public ::testing::WithParamInterface<Missed> {};

TEST_P(MissedCorrectionTest, TheSummaryExplainsMissedCorrections) {
  const int missed = GetParam().count;
  g_decode = [missed] {
    StoreAirports(10000);
    gState.Counters.CorrectionsMissed = missed;
  };
  RunRefresh();
  const std::string log = LogTexts();
  const std::size_t from = log.find("Nbr of airport altitude corrected: 0\n");
  const std::size_t to = log.find("Nbr of com found:");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  const std::size_t start = from + std::string("Nbr of airport altitude corrected: 0\n").size();
  EXPECT_EQ(log.substr(start, to - start), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissedCorrectionTest,
    ::testing::Values(
        Missed{0, ""},
        Missed{1,
               "Nbr of airport correction that miss the airport to correct : 1\n"
               "(Above is okay, you just have one useless airport correction file in your "
               "installation)\n"},
        Missed{2,
               "Nbr of airport correction that miss the airport to correct : 2\n"
               "(Above is okay, you just have some useless airports correction files in your "
               "installation)\n"}));

TEST_F(RefreshCommandTest, AnErrorDuringTheWalkEndsWithTheErrorsStatusThoughTheFileIsWritten) {
  platform->clockReadings = {0, 1234};
  g_decode = [] {
    StoreAirports(10000);
    ReportError("Error TestLenghtOfResult> 999 -  See Log file", "Error!", "%s%s\n",
                "Error TestLenghtOfResult> 999 - bypassing airport", "x.bgl");
  };

  RunRefresh();

  EXPECT_TRUE(DatabaseWritten());
  EXPECT_NE(LogTexts().find(
                "\r\nCompleted WITH ERROR! Database refreshed, the function took 1.23 seconds.\n"
                "Nbr of airport structure found: 0\n"),
            std::string::npos);
  const std::vector<PlatformEvent> statuses = {
      {Kind::Status, BoxKind::Ok, "",
       "Completed but with ERRORS: 10000 airports found. See log !"}};
  EXPECT_EQ(Of(Kind::Status), statuses);
  EXPECT_EQ(gState.ErrorCount, 1);
}

TEST_F(RefreshCommandTest, TheDurationIsRightAcrossTheWrapOfTheMillisecondClock) {
  platform->clockReadings = {0xFFFFFF00u, 0x10u};  // 272 ms
  g_decode = [] { StoreAirports(10000); };
  RunRefresh();
  EXPECT_NE(LogTexts().find("Completed in 0.27 seconds."), std::string::npos);
}

TEST_F(RefreshCommandTest, AMissingSceneryRootGivesOneErrorAndTheNoDataOutcome) {
  CopyText(gState.SceneryRoot, dir.Join("nowhere/scenery"));
  RunRefresh();
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_EQ(LogTexts(),
            "Refresh database starting...\n"
            "Error INVALID_HANDLE_VALUE in FindFirstFile" +
                dir.Join("nowhere/scenery") + "\n" + kNoData + "\n");
  EXPECT_EQ(Of(Kind::Box).size(), 2u);
  EXPECT_FALSE(DatabaseWritten());
}

TEST_F(RefreshCommandTest, AFailedWriteEndsTheRunWithoutCompletionAndKeepsTheOldFile) {
  g_decode = [] { StoreAirports(10000); };
  RunRefresh();
  const auto first = fixture::ReadFileBytes(DatabasePath());
  platform->events.clear();
  ArmFileFault({1, true, FileOp::Rename});

  RunRefresh();

  EXPECT_EQ(fixture::ReadFileBytes(DatabasePath()), first);
  EXPECT_TRUE(
      LogTexts().ends_with("Error while writting file IcaoDbWgdV4.db - previous database kept\n"));
  EXPECT_TRUE(Of(Kind::Status).empty());
}

TEST_F(RefreshCommandTest, EachRunStartsFromAnEmptyTableAndATooSmallOneKeepsTheOldFile) {
  g_decode = [] { StoreAirports(10000); };
  RunRefresh();
  const auto first = fixture::ReadFileBytes(DatabasePath());
  g_decode = [] {
    EXPECT_EQ(gState.Counters.AirportsStored, 0);
    EXPECT_EQ(gState.AirportTable[0][0], '\0');
    StoreAirports(12);
  };
  RunRefresh();
  EXPECT_EQ(fixture::ReadFileBytes(DatabasePath()), first);
  EXPECT_EQ(gState.Counters.AirportsStored, 12);
}

// A refresh asked for while one runs (from under one of its message boxes) is ignored.
TEST_F(RefreshCommandTest, ARequestDuringARunIsIgnoredWithoutALogLine) {
  int nested = 0;
  g_decode = [&nested] {
    StoreAirports(10000);
    ++nested;
    RunRefresh();
  };

  RunRefresh();

  EXPECT_EQ(nested, 1);
  const std::string log = LogTexts();
  EXPECT_EQ(log.find("Refresh database starting..."), log.rfind("Refresh database starting..."));
  EXPECT_EQ(gState.Counters.AirportsStored, 10000);
  EXPECT_EQ(Of(Kind::Status).size(), 1u);
  // Once the run is over, the next request runs again.
  RunRefresh();
  EXPECT_EQ(nested, 2);
}

}  // namespace
}  // namespace hangarscan
