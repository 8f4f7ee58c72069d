#include "env/run_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "refresh/refresh_state.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::CoreTest;
using Kind = PlatformEvent::Kind;

const std::string kDashes(74, '-');

class RunLogTest : public CoreTest {};

TEST_F(RunLogTest, CreateLogWritesTheHeaderWithCrLfAndThePaddedBuildDay) {
  gState.LogPath = {};
  CreateLog("May  4 2018");
  EXPECT_EQ(TextOf(gState.LogPath), dir.path() + kPathSeparator + "log.txt");
  EXPECT_EQ(LogBytes(), "\r\n" + kDashes +
                            "\r\nUtility Hangarscan for WingsteadP3Dv4 ver. May 04 2018 \r\n"
                            "Log started 04.05.2018 - 09:07 \r\n" +
                            kDashes + "\r\n");
}

TEST_F(RunLogTest, BuildDayOfTwoDigitsIsKept) {
  CreateLog("Jun 14 2019");
  EXPECT_NE(LogBytes().find("ver. Jun 14 2019 \r\n"), std::string::npos);
}

TEST_F(RunLogTest, CreateLogReplacesTheLogOfTheLastStart) {
  CreateLog("May  4 2018");
  LogLine("%s\n", "from the first start");
  CreateLog("May  4 2018");
  EXPECT_EQ(LogBytes().find("first start"), std::string::npos);
}

TEST_F(RunLogTest, LogLineAppendsAndWritesEachLineFeedAsCrLf) {
  LogLine("%s %i\n", "Nbr of com found:", 12);
  LogLine("%s\n", "\r\nCompleted");
  EXPECT_EQ(LogBytes(), "Nbr of com found: 12\r\n\r\r\nCompleted\r\n");
}

TEST_F(RunLogTest, LogThatCannotBeOpenedLosesTheLineSilently) {
  CopyText(gState.LogPath, dir.Join("missing/log.txt"));
  LogLine("%s\n", "lost");
  ReportError("box", "Error!", "%s\n", "also lost");
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_TRUE(platform->Only(Kind::Log).empty());
  ASSERT_EQ(platform->Only(Kind::Box).size(), 1u);
}

TEST_F(RunLogTest, ReportErrorShowsTheBoxThenCountsThenLogs) {
  ReportError("Error unable to open BGL - See log file", "Error !", "%s%s\n",
              "Error, unable to open BGL:", "C:\\x.bgl");
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error !", "Error unable to open BGL - See log file"},
      {Kind::Log, BoxKind::Ok, "", "Error, unable to open BGL:C:\\x.bgl\n"},
  };
  EXPECT_EQ(platform->events, expected);
}

TEST_F(RunLogTest, ReportReadErrorCountsLogsThenShowsTheBox) {
  CopyText(gState.CurrentBglPath, "C:\\scenery\\APX41.BGL");
  ReportReadError("BGLHEADER");
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::string text =
      "\r\n Error reading 'BGLHEADER' !!!\r\n  Bypassing this BGL: C:\\scenery\\APX41.BGL\r\n";
  const std::vector<PlatformEvent> expected = {
      {Kind::Log, BoxKind::Ok, "", text + "\n"},
      {Kind::Box, BoxKind::Ok, "Error !", text + "\r\nSee log file for details"},
  };
  EXPECT_EQ(platform->events, expected);
  // In the log: an empty line, the error line, the path line and an empty line.
  EXPECT_EQ(LogBytes(),
            "\r\r\n Error reading 'BGLHEADER' !!!\r\r\n  Bypassing this BGL: "
            "C:\\scenery\\APX41.BGL\r\r\n\r\n");
}

// A log path that would not fit is not cut to a shorter name: the log is simply not made.
TEST_F(RunLogTest, LogPathLongerThan259CharactersMakesNoLog) {
  const std::string folder = dir.Join(std::string(kMaxPathLength - 8 - dir.path().size(), 'l'));
  std::filesystem::create_directories(folder);
  CopyText(gState.InstallRoot, folder + kPathSeparator);
  ASSERT_EQ(TextOf(gState.InstallRoot).size() + 7, kMaxPathLength + 1);  // with "log.txt"
  CreateLog("May  4 2018");
  LogLine("%s\n", "lost");
  EXPECT_EQ(TextOf(gState.LogPath), "");
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(RunLogTest, OpenLogLogsTheClickBeforeTheViewerOpens) {
  OpenLog();
  const std::vector<PlatformEvent> expected = {
      {Kind::Log, BoxKind::Ok, "", "Open log button clicked\n"},
      {Kind::ShellOpen, BoxKind::Ok, "", dir.path() + kPathSeparator + "log.txt"},
  };
  EXPECT_EQ(platform->events, expected);
}

}  // namespace
}  // namespace hangarscan
