#include "tools/sample_scenery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "env/scenery_walk.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

namespace fs = std::filesystem;
using sample::MakeSampleInstallation;
using sample::SampleOptions;
using sample::SampleScenery;

SampleOptions Small(std::uint64_t seed) {
  SampleOptions options;
  options.seed = seed;
  options.airports = 1500;
  options.airportsPerFile = 200;
  options.otherBglFiles = 4;
  options.otherBglBytes = 4096;
  options.otherFiles = 4;
  return options;
}

// Every file below the folder, by its path relative to the folder.
std::map<std::string, std::vector<std::uint8_t>> Files(const std::string& folder) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).generic_string()] =
          fixture::ReadFileBytes(entry.path().string());
  }
  return files;
}

class SampleSceneryTest : public fixture::CoreTest {};

TEST_F(SampleSceneryTest, MakesAnInstallationToRunTheProgramOn) {
  const SampleScenery scenery = MakeSampleInstallation(dir.Join("sample"), Small(1));
  EXPECT_TRUE(fs::is_directory(scenery.addonRoot + "/Utilities"));
  const auto config = fixture::ReadFileBytes(scenery.addonRoot + "/Bin/Prepar3DPathv4.cfg");
  const fs::path p3d = fs::path(scenery.sceneryRoot).parent_path();
  EXPECT_EQ(std::string(config.begin(), config.end()),
            "[Prepar3D]\r\nP3DROOTDIR=" + p3d.string() + "\r\n");
  EXPECT_EQ(fs::path(scenery.sceneryRoot).filename(), "scenery");
  EXPECT_EQ(scenery.airportFiles, 8);
  EXPECT_EQ(scenery.airportStructures, 1500);
  EXPECT_GT(scenery.recordLines.size(), 1400u);
  EXPECT_GT(scenery.helipadOnlyAirports, 0);
}

TEST_F(SampleSceneryTest, TheSameSeedMakesTheSameScenery) {
  const SampleScenery first = MakeSampleInstallation(dir.Join("first"), Small(7));
  const SampleScenery second = MakeSampleInstallation(dir.Join("second"), Small(7));
  const SampleScenery other = MakeSampleInstallation(dir.Join("other"), Small(8));
  EXPECT_EQ(Files(first.sceneryRoot), Files(second.sceneryRoot));
  EXPECT_EQ(first.recordLines, second.recordLines);
  EXPECT_NE(Files(first.sceneryRoot), Files(other.sceneryRoot));
}

TEST_F(SampleSceneryTest, TheWalkFindsExactlyTheLinesTheSampleExpects) {
  const SampleScenery scenery = MakeSampleInstallation(dir.Join("sample"), Small(3));
  WalkScenery(scenery.sceneryRoot);
  EXPECT_EQ(gState.ErrorCount, 0);
  std::vector<std::string> lines;
  for (int i = 0; i < gState.Counters.AirportsStored; ++i)
    lines.emplace_back(TextOf(gState.AirportTable[i]));
  EXPECT_EQ(lines, scenery.recordLines);
  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.MaxLineLength, scenery.maxLineLength);
  EXPECT_EQ(counters.AirportStructures, scenery.airportStructures);
  EXPECT_EQ(counters.AirportsWithoutRunway, scenery.airportsWithoutRunway);
  EXPECT_EQ(counters.HelipadOnlyAirports, scenery.helipadOnlyAirports);
  EXPECT_EQ(counters.RunwaysFound, scenery.runwaysFound);
  EXPECT_EQ(counters.ComsFound, scenery.comsFound);
}

TEST_F(SampleSceneryTest, RefusesAFolderThatIsNotEmptyAndBadCounts) {
  fixture::WriteFile(dir.Join("file.txt"), {1});
  EXPECT_THROW(MakeSampleInstallation(dir.path(), Small(1)), std::runtime_error);
  SampleOptions tooMany = Small(1);
  tooMany.airportsPerFile = 791;
  EXPECT_THROW(MakeSampleInstallation(dir.Join("new"), tooMany), std::runtime_error);
}

}  // namespace
}  // namespace hangarscan
