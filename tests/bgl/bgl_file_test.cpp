#include "bgl/bgl_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bgl/byte_reader.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::BglFile;
using Kind = PlatformEvent::Kind;

// Section handlers that record the order in which the passes call them.
std::vector<std::string> g_calls;
Flow g_airportAnswer = Flow::GoOn;

Flow RecordAirport(int index) {
  g_calls.push_back("airport " + std::to_string(index));
  return g_airportAnswer;
}
Flow RecordIls(int index) {
  g_calls.push_back("ils " + std::to_string(index));
  return Flow::GoOn;
}
void RecordSubstitution() {
  g_calls.push_back("substitution");
}
Flow RecordNameList(int index) {
  g_calls.push_back("names " + std::to_string(index));
  return Flow::GoOn;
}

class BglFileTest : public fixture::CoreTest {
 protected:
  BglFileTest() {
    g_calls.clear();
    g_airportAnswer = Flow::GoOn;
  }

  std::string Write(const std::string& name, const BglFile& file) {
    const std::string path = dir.Join(name);
    file.WriteTo(path);
    return path;
  }

  std::vector<PlatformEvent> Boxes() const { return platform->Only(Kind::Box); }

 private:
  fixture::ScopedOverride<SectionHandlers> handlers_{
      BglSectionHandlers(), {RecordAirport, RecordIls, RecordSubstitution, RecordNameList}};
};

BglFile SectionsOfTypes(const std::vector<std::uint32_t>& types) {
  BglFile file;
  for (std::uint32_t type : types)
    file.AddSection(type);
  return file;
}

TEST_F(BglFileTest, AirportsAndNavaidsComeBeforeNameListsWhateverTheTableOrder) {
  const std::string path = Write("a.bgl", SectionsOfTypes({39, 3, 19, 7, 3, 39}));
  DecodeBglFile(path);
  const std::vector<std::string> expected = {"airport 1",    "ils 2",   "airport 4",
                                             "substitution", "names 0", "names 5"};
  EXPECT_EQ(g_calls, expected);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(gState.CurrentBglFile.IsOpen());
  EXPECT_EQ(TextOf(gState.CurrentBglPath), path);
}

TEST_F(BglFileTest, NoSectionsStillRunsTheSubstitutionAndClosesTheFile) {
  DecodeBglFile(Write("empty.bgl", BglFile()));
  EXPECT_EQ(g_calls, std::vector<std::string>{"substitution"});
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(gState.CurrentBglFile.IsOpen());
}

TEST_F(BglFileTest, NineHundredNinetySectionsAreAccepted) {
  BglFile file = SectionsOfTypes(std::vector<std::uint32_t>(990, 7));
  file.sections().back().type = 3;
  DecodeBglFile(Write("many.bgl", file));
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"airport 989", "substitution"}));
}

TEST_F(BglFileTest, MoreThanNineHundredNinetySectionsAbandonTheFile) {
  BglFile file = SectionsOfTypes({3});
  file.numSection = 991;
  DecodeBglFile(Write("toomany.bgl", file));
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error !", "ERROR NumSection>990 See log file"},
      {Kind::Log, BoxKind::Ok, "", "Error, NumSection>990 - bypassing this BGL\n"},
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_TRUE(gState.CurrentBglFile.IsOpen()) << "an abandoned file stays open";
}

TEST_F(BglFileTest, ShortReadsOfTheTablesAreReportedWithTheirLabels) {
  struct Case {
    std::size_t length;
    const char* label;
  };
  const Case cases[] = {{0, "BGLHEADER"}, {55, "BGLHEADER"}, {56 + 19, "SECTIONPOINTER"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    platform->events.clear();
    gState.ErrorCount = 0;
    BglFile file = SectionsOfTypes({3});
    file.truncateTo = c.length;
    const std::string path = Write("short.bgl", file);
    DecodeBglFile(path);
    EXPECT_EQ(gState.ErrorCount, 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error !");
    EXPECT_EQ(Boxes()[0].text, "\r\n Error reading '" + std::string(c.label) +
                                   "' !!!\r\n  Bypassing this BGL: " + path +
                                   "\r\n\r\nSee log file for details");
    EXPECT_TRUE(gState.CurrentBglFile.IsOpen());
  }
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(BglFileTest, TheNextFileClosesTheStreamAnAbandonedFileLeftOpen) {
  BglFile broken;
  broken.truncateTo = 10;
  DecodeBglFile(Write("broken.bgl", broken));
  ASSERT_TRUE(gState.CurrentBglFile.IsOpen());
  const std::string good = Write("good.bgl", SectionsOfTypes({3}));
  DecodeBglFile(good);
  EXPECT_FALSE(gState.CurrentBglFile.IsOpen());
  EXPECT_EQ(TextOf(gState.CurrentBglPath), good);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"airport 0", "substitution"}));
}

TEST_F(BglFileTest, AFileThatCannotBeOpenedIsReportedAndSkipped) {
  const std::string path = dir.Join("missing.bgl");
  DecodeBglFile(path);
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error !", "Error unable to open BGL - See log file"},
      {Kind::Log, BoxKind::Ok, "", "Error, unable to open BGL:" + path + "\n"},
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(BglFileTest, AFullTableStopsEveryFurtherFileSilently) {
  const std::string path = Write("a.bgl", SectionsOfTypes({3}));
  gState.Counters.AirportsStored = kTableLines;
  DecodeBglFile(path);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(platform->events.empty());
  EXPECT_EQ(TextOf(gState.CurrentBglPath), "") << "nothing is opened";

  gState.Counters.AirportsStored = kTableLines - 1;
  DecodeBglFile(path);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"airport 0", "substitution"}));
}

TEST_F(BglFileTest, AnAbandoningHandlerEndsTheFileBeforeTheOtherPasses) {
  g_airportAnswer = Flow::Abandon;
  DecodeBglFile(Write("a.bgl", SectionsOfTypes({3, 3, 39})));
  EXPECT_EQ(g_calls, std::vector<std::string>{"airport 0"});
  EXPECT_TRUE(gState.CurrentBglFile.IsOpen());
}

TEST_F(BglFileTest, SectionsOfOtherTypesAreNotReadEvenWhenTheyPointOutsideTheFile) {
  BglFile file = SectionsOfTypes({5, 3});
  file.sections()[0].tableOffset = 0xFFFFFFF0u;
  file.sections()[0].subsectionCount = 0xFFFFFFFFu;
  DecodeBglFile(Write("a.bgl", file));
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"airport 1", "substitution"}));
}

// The subsection table is read inside a handler; these call it from the recording one.
class SubSecPtrTableTest : public BglFileTest {
 protected:
  Flow ReadFirstSection(const BglFile& file) {
    const std::string path = Write("s.bgl", file);
    EXPECT_TRUE(gState.CurrentBglFile.Open(path));
    CopyText(gState.CurrentBglPath, path);
    std::array<std::uint8_t, 76> head{};
    gState.CurrentBglFile.Read(head.data(), head.size());
    gBgl.Sections[0] = {U32At(head, 56), U32At(head, 64), U32At(head, 68)};
    return ReadSubSecPtrTable(0, "&SubSecPtr[A]");
  }
};

TEST_F(SubSecPtrTableTest, ReadsEveryEntryOfTheSection) {
  BglFile file;
  auto& section = file.AddSection(3);
  section.Add(2, std::vector<std::uint8_t>(10, 1));
  section.Add(5, std::vector<std::uint8_t>(7, 2));
  ASSERT_EQ(ReadFirstSection(file), Flow::GoOn);
  const std::uint32_t dataStart = 56 + 20 + 2 * 16;
  EXPECT_EQ(gBgl.SubSecPtrs[0].RecordCount, 2u);
  EXPECT_EQ(gBgl.SubSecPtrs[0].FileOffset, dataStart);
  EXPECT_EQ(gBgl.SubSecPtrs[0].DataSize, 10u);
  EXPECT_EQ(gBgl.SubSecPtrs[1].RecordCount, 5u);
  EXPECT_EQ(gBgl.SubSecPtrs[1].FileOffset, dataStart + 10);
  EXPECT_EQ(gBgl.SubSecPtrs[1].DataSize, 7u);
}

TEST_F(SubSecPtrTableTest, AnEntryCutShortIsAReadErrorUnderTheCallersLabel) {
  BglFile file;
  file.AddSection(3).Add(1, {});
  file.sections()[0].subsectionCount = 2;
  EXPECT_EQ(ReadFirstSection(file), Flow::Abandon);
  EXPECT_EQ(gState.ErrorCount, 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].text.find("Error reading '&SubSecPtr[A]'"), std::string::npos);
}

TEST_F(SubSecPtrTableTest, MoreSubsectionsThanTheTableHoldsAbandonTheFile) {
  BglFile file;
  file.AddSection(3).subsectionCount = kSubSecPtrEntries + 1;
  EXPECT_EQ(ReadFirstSection(file), Flow::Abandon);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error !", "ERROR NumSubSection>1000 See log file"},
      {Kind::Log, BoxKind::Ok, "", "Error, NumSubSection>1000 - bypassing this BGL\n"},
  };
  EXPECT_EQ(platform->events, expected);
}

}  // namespace
}  // namespace hangarscan
