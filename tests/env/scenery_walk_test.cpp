#include "env/scenery_walk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;
using Strings = std::vector<std::string>;

// Every file that reaches the airport pass, as its path below the scenery root with '/'.
Strings g_decoded;
std::string g_root;

Flow RecordDecoded(int) {
  std::string path(TextOf(gState.CurrentBglPath));
  path.erase(0, g_root.size() + 1);
  for (char& c : path) {
    if (c == kPathSeparator) c = '/';
  }
  g_decoded.push_back(path);
  return Flow::GoOn;
}
class SceneryWalkTest : public fixture::CoreTest {
 protected:
  SceneryWalkTest() {
    g_decoded.clear();
    g_root = dir.Join("scenery");
    std::filesystem::create_directories(g_root);
  }

  // A BGL file with one airport section, so that its decoding is seen; or a folder.
  void Bgl(const std::string& relative) const {
    const std::string path = g_root + kPathSeparator + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    fixture::BglFile file;
    file.AddSection(kSectionAirport);
    file.WriteTo(path);
  }
  void Folder(const std::string& relative) const {
    std::filesystem::create_directories(g_root + kPathSeparator + relative);
  }
  void Text(const std::string& relative) const {
    fixture::WriteFile(g_root + kPathSeparator + relative, {'h', 'i'});
  }

 private:
  fixture::ScopedOverride<SectionHandlers> handlers_{
      BglSectionHandlers(),
      {RecordDecoded, fixture::SkipSection, fixture::SkipSubstitution, fixture::SkipSection}};
};

TEST_F(SceneryWalkTest, DecodesEveryNameHoldingTheBglExtensionDepthFirstInSortedOrder) {
  Bgl("World/scenery/APX41.BGL");
  Bgl("Addon/MyAirport.bgl");
  Bgl("a.Bgl");
  Bgl("old.bgl.bak");
  Text("readme.txt");
  // Compared after folding to upper case: '_' sorts after the letters, so after "Zeta".
  Bgl("_under.bgl");
  Bgl("Zeta/z.bgl");
  Bgl("mid/m.bgl");
  Bgl("Mid.bgl/inside.bgl");  // a folder named like a BGL file is walked, not decoded
  Folder("Empty");

  WalkScenery(g_root);

  const Strings expected = {
      "a.Bgl",       "Addon/MyAirport.bgl",     "mid/m.bgl",  "Mid.bgl/inside.bgl",
      "old.bgl.bak", "World/scenery/APX41.BGL", "Zeta/z.bgl", "_under.bgl"};
  EXPECT_EQ(g_decoded, expected);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_TRUE(platform->Only(Kind::Box).empty());
}

TEST_F(SceneryWalkTest, NamesBeginningWithAFullStopAreSkippedWithAllTheyHold) {
  Bgl(".hidden/h.bgl");
  Bgl(".hidden/deeper/d.bgl");
  Bgl(".bgl");
  Bgl(".x.bgl");
  Bgl("kept.bgl");

  WalkScenery(g_root);

  EXPECT_EQ(g_decoded, Strings{"kept.bgl"});
  EXPECT_EQ(gState.ErrorCount, 0);
}

TEST_F(SceneryWalkTest, AnEmptyFolderGivesNeitherErrorNorDecoding) {
  WalkScenery(g_root);
  EXPECT_TRUE(g_decoded.empty());
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(SceneryWalkTest, AFolderThatCannotBeListedIsReportedOnceWithItsPath) {
  Text("plain.bgl");  // a file where a folder is expected cannot be listed either
  for (const std::string& missing :
       {dir.Join("no/such/scenery"), g_root + kPathSeparator + "plain.bgl"}) {
    platform->events.clear();
    gState.ErrorCount = 0;
    WalkScenery(missing);
    EXPECT_EQ(gState.ErrorCount, 1);
    const std::vector<PlatformEvent> expected = {
        {Kind::Box, BoxKind::Ok, "Error!",
         "Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file"},
        {Kind::Log, BoxKind::Ok, "",
         "Error INVALID_HANDLE_VALUE in FindFirstFile" + missing + "\n"},
    };
    EXPECT_EQ(platform->events, expected);
  }
  EXPECT_TRUE(g_decoded.empty());
}

// A child path of 259 characters is used; one of 260 is refused as a path the system cannot open:
// a folder with the listing report, a BGL file with the report of a BGL that cannot be opened.
// Either way the walk goes on with the next entry.
TEST_F(SceneryWalkTest, ChildPathsLongerThan259CharactersAreReportedAndTheWalkGoesOn) {
  const std::size_t rootLength = g_root.size() + 1;
  const std::string deep(kMaxPathLength - 20 - rootLength, 'd');
  const std::string folder = g_root + kPathSeparator + deep;
  ASSERT_EQ(folder.size(), kMaxPathLength - 20);
  // Below `folder`, a name of 19 characters gives 259, one of 20 gives 260.
  const std::string fits = std::string(15, 'f') + ".bgl";
  const std::string tooLongFile = std::string(16, 'g') + ".bgl";
  const std::string tooLongFolder(20, 'h');
  Bgl(deep + "/" + fits);
  Bgl(deep + "/" + tooLongFile);
  Bgl(deep + "/" + tooLongFolder + "/x.bgl");
  Bgl(deep + "/zz.bgl");
  ASSERT_EQ((folder + kPathSeparator + fits).size(), kMaxPathLength);

  WalkScenery(g_root);

  EXPECT_EQ(g_decoded, (Strings{deep + "/" + fits, deep + "/zz.bgl"}));
  EXPECT_EQ(gState.ErrorCount, 2);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error !", "Error unable to open BGL - See log file"},
      {Kind::Log, BoxKind::Ok, "",
       "Error, unable to open BGL:" + folder + kPathSeparator + tooLongFile + "\n"},
      {Kind::Box, BoxKind::Ok, "Error!",
       "Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file"},
      {Kind::Log, BoxKind::Ok, "",
       "Error INVALID_HANDLE_VALUE in FindFirstFile" + folder + kPathSeparator + tooLongFolder +
           "\n"},
  };
  EXPECT_EQ(platform->events, expected);
}

}  // namespace
}  // namespace hangarscan
