// End to end: the built console program, copied into an install tree, driven through its standard
// input as a user or a script would.
#include <gtest/gtest.h>

#ifdef HANGARSCAN_EXE

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"
#include "tools/sample_scenery.h"

namespace hangarscan {
namespace {

namespace fs = std::filesystem;

const std::string kWindow =
    "WingsteadP3Dv4 - Extract Airport from BGL and refresh airport database\n"
    "This utility will refresh the WingsteadP3D Airport database\n"
    "This can be usefull if you added some new scenery in Prepar3D.\n"
    "Status: not running. Click on the button above.\n"
    "[r] Refresh the Wingstead Airports database   [l] Open log   [a] About Quillmere...   "
    "[x] Exit program\n";
const std::string kReady = "Status: not running, no file refreshed. Click on the button above.\n";
const std::string kMissingV4Box =
    ".------ Missing WingsteadP3Dv4\n"
    "| Unable to find WingsteadP3D v4\n"
    "| Do you want to run this utility for v3 or v2.5 ?\n"
    "|  (for testing purpose only, the created database will not be usefull for v3 or v2.5)\n"
    "'------ [Yes] [No] (question)\n";
const std::string kOldDatabase = "an older database\r\n";

std::string ReadText(const std::string& path) {
  const auto bytes = fixture::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

void WriteText(const std::string& path, const std::string& text) {
  fixture::WriteFile(path, {text.begin(), text.end()});
}

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() : root_(fs::canonical(dir_.path()).string()) {
    fs::create_directories(root_ + "/Utilities");
    fs::create_directories(root_ + "/Bin");
    fs::copy_file(HANGARSCAN_EXE, root_ + "/Utilities/Hangarscanv4");
    fs::permissions(root_ + "/Utilities/Hangarscanv4", fs::perms::owner_all);
    WriteText(root_ + "/Bin/IcaoDbWgdV4.db", kOldDatabase);
  }

  void ConfigV4(const std::string& content) const {
    WriteText(root_ + "/Bin/Prepar3DPathv4.cfg", content);
  }
  std::string SceneryRoot() const { return root_ + "/P3D/scenery"; }

  // Runs the program with `input` on its standard input; keeps its output and exit code. Its
  // PATH holds only a stand-in for the desktop's opener, which notes what it was asked to open.
  void Run(const std::string& input) {
    WriteText(root_ + "/input.txt", input);
    fs::create_directories(root_ + "/opener");
    WriteText(root_ + "/opener/xdg-open",
              "#!/bin/sh\nprintf '%s' \"$1\" > '" + root_ + "/opened.txt'\n");
    fs::permissions(root_ + "/opener/xdg-open", fs::perms::owner_all);
    const std::string command = "PATH='" + root_ + "/opener' '" + root_ +
                                "/Utilities/Hangarscanv4' < '" + root_ + "/input.txt' > '" + root_ +
                                "/output.txt' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_NE(status, -1);
    exitCode_ = WEXITSTATUS(status);
    output_ = ReadText(root_ + "/output.txt");
  }

  // The log after its five header lines, which carry the build and start dates.
  std::string LogBody() const {
    const std::string log = ReadText(root_ + "/log.txt");
    const std::regex header(
        "\r\n-{74}\r\nUtility Hangarscan for WingsteadP3Dv4 ver. [A-Z][a-z]{2} \\d{2} \\d{4} \r\n"
        "Log started \\d{2}\\.\\d{2}\\.\\d{4} - \\d{2}:\\d{2} \r\n-{74}\r\n");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(log, match, header, std::regex_constants::match_continuous))
        << log;
    return log.substr(match.length());
  }
  std::string Database() const { return ReadText(root_ + "/Bin/IcaoDbWgdV4.db"); }
  // What the opener was asked to open; it runs detached, so it may finish after the program.
  std::string Opened() const {
    std::string opened;
    for (int wait = 0; wait < 100 && opened.empty(); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      opened = ReadText(root_ + "/opened.txt");
    }
    return opened;
  }

  fixture::TempDir dir_;
  std::string root_;
  std::string output_;
  int exitCode_ = -1;
};

TEST_F(ConsoleTest, AMissingSceneryRootGivesOneListingErrorAndTheNoDataOutcome) {
  ConfigV4("[Prepar3D]\r\nP3DROOTDIR=" + root_ + "/P3D\r\n");

  Run("refresh\nexit\n");

  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(output_, kWindow + kReady +
                         ".------ Error!\n"
                         "| Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file\n"
                         "'------ [OK]\n"
                         ".------ ERROR\n"
                         "| Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not "
                         "written\n"
                         "'------ [OK]\n");
  EXPECT_EQ(LogBody(), "Prepar3D scenery path found: " + SceneryRoot() +
                           "\r\n"
                           "Init completed, ready to use OK.\r\n"
                           "Refresh database starting...\r\n"
                           "Error INVALID_HANDLE_VALUE in FindFirstFile" +
                           SceneryRoot() +
                           "\r\n"
                           "Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not "
                           "written\r\n");
  EXPECT_EQ(Database(), kOldDatabase);
}

TEST_F(ConsoleTest, AnEmptySceneryEndsWithoutErrorsInTheNoDataOutcome) {
  ConfigV4("P3DROOTDIR=" + root_ + "/P3D\r\n");
  fs::create_directories(SceneryRoot() + "/World/scenery");
  fixture::BglFile().WriteTo(SceneryRoot() + "/World/scenery/APX41.BGL");

  Run("r\nl\na\nwhat\nx\n");

  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(output_, kWindow + kReady +
                         ".------ ERROR\n"
                         "| Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not "
                         "written\n"
                         "'------ [OK]\n"
                         ".------ About Quillmere\n"
                         "| Quillmere Version 1.0\n"
                         "'------ [OK]\n"
                         "Commands: refresh (r), log (l), about (a), exit (x or q)\n");
  EXPECT_EQ(LogBody(), "Prepar3D scenery path found: " + SceneryRoot() +
                           "\r\n"
                           "Init completed, ready to use OK.\r\n"
                           "Refresh database starting...\r\n"
                           "Error no data extracted from BGL. database file 'IcaoDbWgdV4.db' not "
                           "written\r\n"
                           "Open log button clicked\r\n");
  EXPECT_EQ(Database(), kOldDatabase);
  EXPECT_EQ(Opened(), root_ + "/log.txt");
}

TEST_F(ConsoleTest, TheEndOfInputIsExit) {
  ConfigV4("P3DROOTDIR=" + root_ + "/P3D\r\n");
  Run("");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(output_, kWindow + kReady);
}

TEST_F(ConsoleTest, AMissingV4ConfigurationAnsweredYesRunsOnTheOlderOne) {
  WriteText(root_ + "/Bin/Prepar3DPath.cfg", "P3DROOTDIR=" + root_ + "/P3D\r\n");

  Run("y\nexit\n");

  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(output_, kWindow + kMissingV4Box + kReady);
  EXPECT_EQ(LogBody(),
            "Unable to find WingsteadP3D v4 - continuing for test purprose\r\n"
            "Prepar3D scenery path found: " +
                SceneryRoot() + "\r\nInit completed, ready to use OK.\r\n");
}

TEST_F(ConsoleTest, AMissingV4ConfigurationAnsweredNoEndsTheProgram) {
  WriteText(root_ + "/Bin/Prepar3DPath.cfg", "P3DROOTDIR=" + root_ + "/P3D\r\n");

  Run("n\nrefresh\n");

  EXPECT_EQ(exitCode_, 1);
  EXPECT_EQ(output_, kWindow + kMissingV4Box);
  EXPECT_EQ(LogBody(), "Unable to find WingsteadP3D v4 - aborting\r\n");
  EXPECT_EQ(Database(), kOldDatabase);
}

TEST_F(ConsoleTest, AConfigurationWithoutTheKeyEndsTheProgram) {
  ConfigV4("[Prepar3D]\r\np3drootdir=" + root_ + "/P3D\r\n");

  Run("refresh\n");

  EXPECT_EQ(exitCode_, 1);
  EXPECT_EQ(output_, kWindow +
                         ".------ Error !!!\n"
                         "| unable to find correct path from config file 'Bin\\Prepar3DPath.cfg' - "
                         "abort utility\n"
                         "'------ [OK] (information)\n");
  EXPECT_EQ(LogBody(), "Unable to find P3DROOTDIR - aborting\r\n");
}

TEST_F(ConsoleTest, ARefreshOverAGeneratedSceneryWritesEveryAirportItExpects) {
  sample::SampleOptions options;
  options.airports = 11000;
  options.otherBglFiles = 6;
  options.otherBglBytes = 16 * 1024;
  options.otherFiles = 6;
  const sample::SampleScenery scenery = sample::MakeSampleInstallation(root_ + "/sample", options);
  const std::size_t lines = scenery.recordLines.size();
  ASSERT_GE(lines, 10000u);
  ConfigV4("[Prepar3D]\r\nP3DROOTDIR=" + fs::path(scenery.sceneryRoot).parent_path().string() +
           "\r\n");

  Run("refresh\nexit\n");

  std::string database =
      "// WARNING !!!! DO NOT EDIT THIS FILE MANUALLY  !!! RUN THE UTILITY LOCATED IN "
      "'WingsteadP3D/Utilities/Hangarscanv4.exe'\r\n//" +
      std::string(144, '-') + "\r\nNBRLINE=" + std::to_string(lines) +
      ";MAXLINELENGHT=" + std::to_string(scenery.maxLineLength) + ";\r\n";
  for (const std::string& line : scenery.recordLines)
    database += line.substr(0, line.size() - 1) + "\r\n";
  EXPECT_TRUE(Database() == database) << "the database differs from the lines the sample expects";

  std::string output = kWindow + kReady;
  for (std::size_t stored = 1; stored <= lines; stored += 51)
    output += "Status: utility running, " + std::to_string(stored) + " airports found so far\n";
  output += "Completed: " + std::to_string(lines) + " airports found. Database refreshed ok\n";
  EXPECT_EQ(output_, output);
  EXPECT_EQ(exitCode_, 0);

  const std::string summary = std::regex_replace(
      LogBody(), std::regex("Completed in \\d+\\.\\d\\d seconds"), "Completed in T seconds");
  // The "Completed" text begins with its own CR LF, which the log writes as CR CR LF.
  const auto line = [](const std::string& label, int value) {
    return label + " " + std::to_string(value) + "\r\n";
  };
  EXPECT_EQ(summary,
            "Prepar3D scenery path found: " + scenery.sceneryRoot +
                "\r\nInit completed, ready to use OK.\r\nRefresh database starting...\r\n"
                "Opening file for writting: " +
                root_ + "/Bin/IcaoDbWgdV4.db\r\n" +
                line("Starting to write in 'IcaoDbWgdV4.db' Number of airport found: ",
                     static_cast<int>(lines)) +
                "\r\r\nCompleted in T seconds. Database refreshed\r\n" +
                line("Nbr of airport structure found:", scenery.airportStructures) +
                line("Nbr of airport found:", static_cast<int>(lines)) +
                line("Nbr of runways found:", scenery.runwaysFound) +
                line("Nbr of airport without runway found:", scenery.airportsWithoutRunway) +
                line("Nbr of airport with only helipad:", scenery.helipadOnlyAirports) +
                line("Nbr of airport corrected:", 0) +
                line("Nbr of airport altitude corrected:", 0) +
                line("Nbr of com found:", scenery.comsFound) + line("Nbr of ILS found:", 0) +
                line("Max line lenght reached:", scenery.maxLineLength) +
                line("Nbr of memory extension required:", 0));
}

}  // namespace
}  // namespace hangarscan

#else

TEST(ConsoleTest, RunsOnlyWhereTheConsoleProgramIsBuilt) {
  GTEST_SKIP() << "the console program is built on POSIX only";
}

#endif
