// Scenery trees built to strain the walk: 100,000 files, folders nested to the path limit, links
// that loop, and entries named like BGL files that are folders, empty or cannot be read. The walk
// ends in every case, reports as the smaller cases do, and its time grows with the tree (measured
// and shown, not asserted).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "env/scenery_walk.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hangarscan {
namespace {

namespace fs = std::filesystem;
using Kind = PlatformEvent::Kind;

int g_decoded = 0;

Flow CountDecoded(int) {
  ++g_decoded;
  return Flow::GoOn;
}
Flow GoOn(int) {
  return Flow::GoOn;
}
void Nothing() {}

const std::string kWalkFailure = "Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file";
const std::string kOpenFailure = "Error unable to open BGL - See log file";

class StressTreeTest : public fixture::CoreTest {
 protected:
  StressTreeTest() : saved_(BglSectionHandlers()), root_(dir.Join("scenery")) {
    BglSectionHandlers() = {CountDecoded, GoOn, Nothing, GoOn};
    g_decoded = 0;
    fs::create_directories(root_);
    fixture::BglFile file;
    file.AddSection(kSectionAirport);
    bgl_ = file.Build();
  }
  ~StressTreeTest() override { BglSectionHandlers() = saved_; }

  std::string Path(const std::string& relative) const { return root_ + kPathSeparator + relative; }
  void Bgl(const std::string& path) const { fixture::WriteFile(path, bgl_); }

  // Walks the folder; the milliseconds it took.
  double Walk(const std::string& folder) {
    const auto start = std::chrono::steady_clock::now();
    WalkScenery(folder);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const PlatformEvent& box : platform->Only(Kind::Box))
      texts.push_back(box.text);
    return texts;
  }

  const std::string& root() const { return root_; }

 private:
  SectionHandlers saved_;
  std::string root_;
  std::vector<std::uint8_t> bgl_;
};

// 4 quarters of 25 folders of 1,000 files: 900 BGL files and 100 others in each folder.
TEST_F(StressTreeTest, AHundredThousandFilesAreWalkedOnceEachInTimeThatGrowsWithTheTree) {
  constexpr int kQuarters = 4, kFolders = 25, kFiles = 1000;
  for (int q = 0; q < kQuarters; ++q) {
    // The files of a quarter are links to one file (file systems limit the links of a file),
    // which makes the tree quick to build and to remove.
    const std::string original = dir.Join("original" + std::to_string(q) + ".bgl");
    Bgl(original);
    for (int f = 0; f < kFolders; ++f) {
      const std::string folder = Path("q" + std::to_string(q) + "/f" + std::to_string(f));
      fs::create_directories(folder);
      for (int i = 0; i < kFiles; ++i) {
        const std::string name = std::to_string(i) + (i % 10 == 0 ? ".txt" : ".bgl");
        fs::create_hard_link(original, folder + kPathSeparator + name);
      }
    }
  }

  const double quarter = Walk(Path("q0"));
  EXPECT_EQ(g_decoded, kFolders * kFiles * 9 / 10);
  g_decoded = 0;
  const double whole = Walk(root());
  EXPECT_EQ(g_decoded, kQuarters * kFolders * kFiles * 9 / 10);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_TRUE(platform->Only(Kind::Box).empty());

  std::printf("walk of 25,000 files: %.0f ms; of 100,000 files: %.0f ms (%.2f times)\n", quarter,
              whole, whole / quarter);
  RecordProperty("walk_25000_ms", static_cast<int>(quarter));
  RecordProperty("walk_100000_ms", static_cast<int>(whole));
}

// Folders of one-letter names nested until the path limit: every file whose path fits is
// decoded, the first folder and file past it are reported, and the walk goes on.
TEST_F(StressTreeTest, NestingReachesThePathLimitAndStopsThereWithOneReportPerEntryPastIt) {
  std::string folder = root();
  // The deepest folder whose file "<folder>/x.bgl" still fits.
  while (folder.size() + 2 + 6 <= kMaxPathLength)
    folder += std::string(1, kPathSeparator) + "d";
  const std::string fits =
      folder + kPathSeparator + std::string(kMaxPathLength - folder.size() - 5, 'n') + ".bgl";
  const std::string tooLong = fits.substr(0, fits.size() - 4) + "n.bgl";
  const std::string deeper =
      folder + kPathSeparator + std::string(kMaxPathLength - folder.size(), 'e');
  fs::create_directories(deeper);
  ASSERT_EQ(fits.size(), kMaxPathLength);
  ASSERT_EQ(tooLong.size(), kMaxPathLength + 1);
  ASSERT_EQ(deeper.size(), kMaxPathLength + 1);
  Bgl(fits);
  Bgl(tooLong);

  WalkScenery(root());

  EXPECT_EQ(g_decoded, 1);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kWalkFailure, kOpenFailure}));
  EXPECT_EQ(gState.ErrorCount, 2);
  EXPECT_EQ(LogTexts(), "Error INVALID_HANDLE_VALUE in FindFirstFile" + deeper + "\n" +
                            "Error, unable to open BGL:" + tooLong + "\n");
}

// Entries named like BGL files that are not readable BGL files: a folder is walked; an empty file
// is a file too short for its header; a file that cannot be opened is reported as such.
TEST_F(StressTreeTest, NamesOfBglFilesOnFoldersEmptyAndUnreadableFilesAreEachHandled) {
  fs::create_directories(Path("folder.bgl"));
  Bgl(Path("folder.bgl/inside.bgl"));
  fixture::WriteFile(Path("empty.bgl"), {});
#ifndef _WIN32
  fs::create_symlink(Path("nowhere"), Path("dangling.bgl"));
  // A named pipe with no writer must not hold the walk: it reads as an empty file.
  ASSERT_EQ(mkfifo(Path("pipe.bgl").c_str(), 0600), 0);
#endif

  WalkScenery(root());

  EXPECT_EQ(g_decoded, 1);
  const std::string emptyReport =
      "\r\n Error reading 'BGLHEADER' !!!\r\n  Bypassing this BGL: " + Path("empty.bgl") + "\r\n\n";
#ifdef _WIN32
  EXPECT_EQ(LogTexts(), emptyReport);
#else
  const std::string pipeReport =
      "\r\n Error reading 'BGLHEADER' !!!\r\n  Bypassing this BGL: " + Path("pipe.bgl") + "\r\n\n";
  EXPECT_EQ(LogTexts(),
            "Error, unable to open BGL:" + Path("dangling.bgl") + "\n" + emptyReport + pipeReport);
#endif
}

#ifndef _WIN32
// Links back to the root, two of them so that following them would walk the root 2^n times:
// a folder met again below itself is reported once as a folder that cannot be listed.
TEST_F(StressTreeTest, LinksThatLoopAreReportedOnceEachAndTheWalkEnds) {
  fs::create_directories(Path("sub"));
  Bgl(Path("sub/a.bgl"));
  fs::create_directory_symlink(root(), Path("sub/back"));
  fs::create_directory_symlink(Path("sub"), Path("sub/self"));
  // A link to a folder outside the loop is walked as the folder.
  fs::create_directories(dir.Join("elsewhere"));
  Bgl(dir.Join("elsewhere/b.bgl"));
  fs::create_directory_symlink(dir.Join("elsewhere"), Path("other"));

  WalkScenery(root());

  EXPECT_EQ(g_decoded, 2);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kWalkFailure, kWalkFailure}));
  EXPECT_EQ(LogTexts(), "Error INVALID_HANDLE_VALUE in FindFirstFile" + Path("sub/back") + "\n" +
                            "Error INVALID_HANDLE_VALUE in FindFirstFile" + Path("sub/self") +
                            "\n");
}
#endif

}  // namespace
}  // namespace hangarscan
