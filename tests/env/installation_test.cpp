#include "env/installation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;
using Events = std::vector<PlatformEvent>;

constexpr char kSep = kPathSeparator;
const std::string kReadyStatus =
    "Status: not running, no file refreshed. Click on the button above.";
const PlatformEvent kMissingV4Box{
    Kind::Box, BoxKind::YesNoQuestion, "Missing WingsteadP3Dv4",
    "Unable to find WingsteadP3D v4\r\nDo you want to run this utility for v3 or v2.5 ?\r\n (for "
    "testing purpose only, the created database will not be usefull for v3 or v2.5)"};
const PlatformEvent kNoRootBox{
    Kind::Box, BoxKind::OkInformation, "Error !!!",
    "unable to find correct path from config file 'Bin\\Prepar3DPath.cfg' - abort utility"};
const PlatformEvent kClose{Kind::Close, BoxKind::Ok, "", ""};

PlatformEvent LogOf(const std::string& text) {
  return {Kind::Log, BoxKind::Ok, "", text};
}

// Discovery as the program runs it: the executable in <root>/Utilities, the log not yet made.
class InstallationTest : public fixture::CoreTest {
 protected:
  InstallationTest() {
    root_ = dir.Join("Addon");
    std::filesystem::create_directories(dir.Join("Addon/Bin"));
    platform->executablePath = root_ + kSep + "Utilities" + kSep + "Hangarscanv4";
    gState.InstallRoot = {};
    gState.LogPath = {};
  }

  void Config(const std::string& name, const std::string& content) const {
    fixture::WriteFile(root_ + kSep + "Bin" + kSep + name, {content.begin(), content.end()});
  }

  // The events after the log's header.
  Events AfterHeader() const {
    Events events = platform->events;
    if (!events.empty() && events.front().kind == Kind::Log) events.erase(events.begin());
    return events;
  }

  std::string root_;
};

TEST_F(InstallationTest, FindsTheInstallRootAboveTheExecutablesFolderAndTheSceneryRoot) {
  Config("Prepar3DPathv4.cfg", "[Main]\r\nP3DROOTDIR=D:\\P3D v4\r\nOther=1\r\n");

  EXPECT_EQ(DiscoverInstallation(), Discovery::Ready);

  EXPECT_EQ(TextOf(gState.InstallRoot), root_ + kSep);
  EXPECT_EQ(TextOf(gState.LogPath), root_ + kSep + "log.txt");
  EXPECT_EQ(TextOf(gState.SceneryRoot), std::string("D:\\P3D v4") + kSep + "scenery");
  const std::string header = "\n" + std::string(74, '-') + "\nUtility Hangarscan for";
  ASSERT_FALSE(platform->events.empty());
  EXPECT_EQ(platform->events.front().text.substr(0, header.size()), header);
  const Events expected = {
      LogOf("Prepar3D scenery path found: " + std::string(TextOf(gState.SceneryRoot)) + "\n"),
      LogOf("Init completed, ready to use OK.\n"),
      {Kind::Status, BoxKind::Ok, "", kReadyStatus},
  };
  EXPECT_EQ(AfterHeader(), expected);
  EXPECT_EQ(gState.ErrorCount, 0);
  // The log is on disk, with CR LF line ends.
  EXPECT_NE(LogBytes().find("Init completed, ready to use OK.\r\n"), std::string::npos);
}

struct ConfigCase {
  const char* what;
  std::string content;
  std::string root;  // the Prepar3D root found; empty when none is
  bool found = true;
};

class ConfigScanTest : public InstallationTest, public ::testing::WithParamInterface<ConfigCase> {};

TEST_P(ConfigScanTest, TakesTheTextAfterTheKeyOnItsFirstLine) {
  const ConfigCase& c = GetParam();
  Config("Prepar3DPathv4.cfg", c.content);
  const Discovery result = DiscoverInstallation();
  if (c.found) {
    EXPECT_EQ(result, Discovery::Ready) << c.what;
    EXPECT_EQ(TextOf(gState.SceneryRoot), c.root + kSep + "scenery") << c.what;
  } else {
    EXPECT_EQ(result, Discovery::Abort) << c.what;
    const Events expected = {kNoRootBox, LogOf("Unable to find P3DROOTDIR - aborting\n"), kClose};
    EXPECT_EQ(AfterHeader(), expected) << c.what;
  }
  EXPECT_EQ(gState.ErrorCount, 0);
}

const std::string kLongLine(1022, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigScanTest,
    ::testing::Values(
        ConfigCase{"CR LF line", "P3DROOTDIR=D:\\P3D v4\r\n", "D:\\P3D v4"},
        ConfigCase{"LF line", "P3DROOTDIR=D:\\P3D v4\n", "D:\\P3D v4"},
        ConfigCase{"last line without a line end", "x\r\nP3DROOTDIR=D:\\P3D v4", "D:\\P3D v4"},
        ConfigCase{"trailing backslash kept", "P3DROOTDIR=D:\\P3D v4\\\r\n", "D:\\P3D v4\\"},
        ConfigCase{"key mid-line", "  ;P3DROOTDIR=E:\\Sim\r\n", "E:\\Sim"},
        ConfigCase{"blanks kept", "P3DROOTDIR= E:\\Sim \r\n", " E:\\Sim "},
        ConfigCase{"nothing after the key", "P3DROOTDIR=\r\n", ""},
        ConfigCase{"first of two keys", "P3DROOTDIR=first\r\nP3DROOTDIR=second\r\n", "first"},
        // Text mode folds only CR LF: a CR before it stays in the line, then goes with its end.
        ConfigCase{"CR CR LF", "P3DROOTDIR=D:\\P3D\r\r\n", "D:\\P3D"},
        // A line longer than 1,022 characters is read in pieces, each a line of its own.
        ConfigCase{"key in the second piece", kLongLine + "P3DROOTDIR=F:\\P\r\n", "F:\\P"},
        ConfigCase{"root cut at the end of its piece",
                   std::string(1000, 'a') + "P3DROOTDIR=abcdefghijklmnop\r\n", "abcdefghijk"},
        ConfigCase{"lower-case key", "p3drootdir=D:\\P3D\r\n", "", false},
        ConfigCase{"key split by a piece end", std::string(1020, 'a') + "P3DROOTDIR=D:\\P3D\r\n",
                   "", false},
        ConfigCase{"empty file", "", "", false},
        ConfigCase{"no key", "[Main]\r\nPath=D:\\P3D\r\n", "", false}));

TEST_F(InstallationTest, MissingV4ConfigurationAnsweredNoAborts) {
  platform->yesNoAnswers = {BoxAnswer::No};
  Config("Prepar3DPath.cfg", "P3DROOTDIR=D:\\P3D\r\n");

  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);

  const Events expected = {kMissingV4Box, LogOf("Unable to find WingsteadP3D v4 - aborting\n"),
                           kClose};
  EXPECT_EQ(AfterHeader(), expected);
  EXPECT_EQ(gState.ErrorCount, 0);
}

TEST_F(InstallationTest, MissingV4ConfigurationAnsweredYesReadsTheOlderOne) {
  platform->yesNoAnswers = {BoxAnswer::Yes};
  Config("Prepar3DPath.cfg", "P3DROOTDIR=D:\\P3D\r\n");

  EXPECT_EQ(DiscoverInstallation(), Discovery::Ready);

  EXPECT_EQ(TextOf(gState.SceneryRoot), std::string("D:\\P3D") + kSep + "scenery");
  const Events expected = {
      kMissingV4Box,
      LogOf("Unable to find WingsteadP3D v4 - continuing for test purprose\n"),
      LogOf("Prepar3D scenery path found: " + std::string(TextOf(gState.SceneryRoot)) + "\n"),
      LogOf("Init completed, ready to use OK.\n"),
      {Kind::Status, BoxKind::Ok, "", kReadyStatus},
  };
  EXPECT_EQ(AfterHeader(), expected);
}

TEST_F(InstallationTest, AnsweredYesWithoutTheOlderConfigurationAborts) {
  platform->yesNoAnswers = {BoxAnswer::Yes};

  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);

  const Events expected = {
      kMissingV4Box,
      LogOf("Unable to find WingsteadP3D v4 - continuing for test purprose\n"),
      {Kind::Box, BoxKind::OkQuestion, "Error, unable to find config file",
       "Missing config file 'Prepar3DPath.cfg' aborting"},
      LogOf("Unable to find WingsteadP3D config - aborting\n"),
      kClose,
  };
  EXPECT_EQ(AfterHeader(), expected);
  EXPECT_EQ(gState.ErrorCount, 0);
}

TEST_F(InstallationTest, TheOlderConfigurationWithoutTheKeyNamesItInTheBox) {
  platform->yesNoAnswers = {BoxAnswer::Yes};
  Config("Prepar3DPath.cfg", "nothing\r\n");
  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);
  const Events expected = {
      kMissingV4Box, LogOf("Unable to find WingsteadP3D v4 - continuing for test purprose\n"),
      kNoRootBox,    LogOf("Unable to find P3DROOTDIR - aborting\n"),
      kClose,
  };
  EXPECT_EQ(AfterHeader(), expected);
}

// Without an install root nothing can be opened below it: no log is made anywhere and the
// configuration is missing, so discovery ends as for a missing configuration.
TEST_F(InstallationTest, AnExecutablePathWithoutTwoSeparatorsLeavesNoInstallRoot) {
  for (const std::string& executable : {std::string("Hangarscanv4"), kSep + std::string("Hs"),
                                        std::string(), std::string("C:") + kSep + "Hs"}) {
    platform->events.clear();
    platform->yesNoAnswers = {BoxAnswer::No};
    platform->executablePath = executable;
    EXPECT_EQ(DiscoverInstallation(), Discovery::Abort) << executable;
    EXPECT_EQ(TextOf(gState.InstallRoot), "") << executable;
    EXPECT_EQ(TextOf(gState.LogPath), "") << executable;
    const Events expected = {kMissingV4Box, kClose};
    EXPECT_EQ(platform->events, expected) << executable;
  }
}

// The longest path made from the install root is "Bin\Prepar3DPathv4.cfg" (or the database's
// temporary file), 22 characters after it: a root that leaves no room for it cannot be used.
TEST_F(InstallationTest, AnInstallRootTooLongForItsFilesEndsAsAMissingConfiguration) {
  const std::string longRoot = dir.Join(std::string(kMaxPathLength - 23 - dir.path().size(), 'p'));
  ASSERT_EQ((longRoot + kSep + "Bin" + kSep + "Prepar3DPathv4.cfg").size(), kMaxPathLength + 1);
  std::filesystem::create_directories(longRoot + kSep + "Bin");
  // Present, but its path is one character too long to be opened.
  const std::string key = "P3DROOTDIR=D:\\P3D\r\n";
  fixture::WriteFile(longRoot + kSep + "Bin" + kSep + "Prepar3DPathv4.cfg",
                     {key.begin(), key.end()});
  platform->executablePath = longRoot + kSep + "Utilities" + kSep + "Hangarscanv4";
  platform->yesNoAnswers = {BoxAnswer::No};

  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);

  EXPECT_EQ(TextOf(gState.InstallRoot), longRoot + kSep);
  const Events expected = {kMissingV4Box, LogOf("Unable to find WingsteadP3D v4 - aborting\n"),
                           kClose};
  EXPECT_EQ(AfterHeader(), expected);
}

TEST_F(InstallationTest, AnInstallRootThatCannotBeStoredMakesNoLog) {
  const std::string longRoot = dir.Join(std::string(kMaxPathLength, 'p'));
  platform->executablePath = longRoot + kSep + "Utilities" + kSep + "Hangarscanv4";
  platform->yesNoAnswers = {BoxAnswer::No};

  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);

  EXPECT_EQ(TextOf(gState.InstallRoot), "");
  EXPECT_EQ(TextOf(gState.LogPath), "");
  const Events expected = {kMissingV4Box, kClose};
  EXPECT_EQ(platform->events, expected);
}

TEST_F(InstallationTest, ASceneryRootLongerThan259CharactersAborts) {
  const std::string fits(kMaxPathLength - 8, 'r');  // with the separator and "scenery": 259
  Config("Prepar3DPathv4.cfg", "P3DROOTDIR=" + fits + "\r\n");
  EXPECT_EQ(DiscoverInstallation(), Discovery::Ready);
  EXPECT_EQ(TextOf(gState.SceneryRoot).size(), kMaxPathLength);

  platform->events.clear();
  Config("Prepar3DPathv4.cfg", "P3DROOTDIR=" + fits + "r\r\n");
  EXPECT_EQ(DiscoverInstallation(), Discovery::Abort);
  const Events expected = {kNoRootBox, LogOf("P3DROOTDIR path too long - aborting\n"), kClose};
  EXPECT_EQ(AfterHeader(), expected);
}

}  // namespace
}  // namespace hangarscan
