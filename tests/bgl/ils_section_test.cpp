#include "bgl/ils_section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/navaid_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::BglFile;
using fixture::ByteList;
using fixture::Ils;
using fixture::Localizer;
using fixture::NavaidFixedPart;
using fixture::NavaidRecord;
using fixture::OtherSubRecord;
using Kind = PlatformEvent::Kind;

Flow NoSection(int) {
  return Flow::GoOn;
}
void NoSubstitution() {}

std::vector<std::size_t> g_allocations;
bool g_failAllocations = false;

std::unique_ptr<std::uint8_t[]> WatchedAllocator(std::size_t bytes) {
  g_allocations.push_back(bytes);
  if (g_failAllocations) return nullptr;
  return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[bytes]);
}

NavaidFixedPart IlsFixedPart(std::uint32_t size) {
  NavaidFixedPart fixed;
  fixed.size = size;
  return fixed;
}

// Only the ILS reader is real, so these tests see its work alone.
class IlsSectionTest : public fixture::CoreTest {
 protected:
  IlsSectionTest() : savedHandlers_(BglSectionHandlers()), savedAllocator_(IlsRecordAllocator()) {
    BglSectionHandlers() = {NoSection, ReadIlsSection, NoSubstitution, NoSection};
    IlsRecordAllocator() = WatchedAllocator;
    g_allocations.clear();
    g_failAllocations = false;
  }
  ~IlsSectionTest() override {
    BglSectionHandlers() = savedHandlers_;
    IlsRecordAllocator() = savedAllocator_;
  }

  void Decode(const BglFile& file) {
    path_ = dir.Join("navaids.bgl");
    file.WriteTo(path_);
    DecodeBglFile(path_);
  }
  // A file with one navaid section holding one subsection of these records.
  void DecodeNavaids(const std::vector<ByteList>& records) {
    BglFile file;
    fixture::AddNavaids(file.AddSection(kSectionNavaid), records);
    Decode(file);
  }

  // The fragments of the current file.
  static std::vector<std::string> Fragments() {
    std::vector<std::string> fragments;
    for (int i = 0; i < gBgl.IlsFragmentCount; ++i)
      fragments.emplace_back(TextOf(gIlsFragmentTable[i]));
    return fragments;
  }
  bool Abandoned() const { return gState.CurrentBglFile.IsOpen(); }
  std::vector<PlatformEvent> Boxes() const { return platform->Only(Kind::Box); }
  std::string ReadErrorBox(const std::string& label) const {
    return "\r\n Error reading '" + label + "' !!!\r\n  Bypassing this BGL: " + path_ +
           "\r\n\r\nSee log file for details";
  }

  std::string path_;

 private:
  SectionHandlers savedHandlers_;
  IlsBufferAllocator savedAllocator_;
};

using Strings = std::vector<std::string>;

TEST_F(IlsSectionTest, RendersEveryIlsWithALocalizerAsAFragment) {
  DecodeNavaids({
      Ils("ISEA", 110300000, 356.0f, 93.4f),
      Ils("IBFI", 109900999, 0.0f, 135.2f),
      Ils("I9", 4294967295u, 10.0f, 355.0f),
  });
  EXPECT_EQ(Fragments(), (Strings{"$*ISEA,110300,89$", "$*IBFI,109900,135$", "$*I9,4294967,5$"}));
  EXPECT_EQ(gState.Counters.IlsFound, 3);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(Abandoned());
}

TEST(IlsHeadingTest, AddsVariationAndHeadingInSinglePrecisionThenRoundsDownWithinOneTurn) {
  struct Case {
    float variation, heading;
    std::int32_t degrees;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {356.0f, 93.4f, 89},
      {10.0f, 355.0f, 5},
      {0.0f, 0.0f, 0},
      {3.0f, 1.0f, 4},
      {359.9f, 359.9f, 360},  // 360.3: 360 stays
      {0.0f, 1079.0f, 359},   // only one turn is taken off
      {0.0f, 5000.0f, 4280},  // so a sum beyond two turns stays beyond
      // A sum that is not a number or outside the 32-bit range counts as -2147483648.
      {nan, 90.0f, -2147483288},
      {0.0f, infinity, -2147483288},
      {0.0f, -3.0e9f, -2147483288},
      {0.0f, 3.0e9f, -2147483288},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.variation << " " << c.heading);
    EXPECT_EQ(IlsHeading(c.variation, c.heading), c.degrees);
  }
}

TEST_F(IlsSectionTest, AnIlsWithoutAnIdentGivesAFragmentWithAnEmptyIdent) {
  NavaidFixedPart fixed;
  fixed.ident = 0;
  DecodeNavaids({NavaidRecord(fixed, {Localizer(89.0f)})});
  EXPECT_EQ(Fragments(), Strings{"$*,110300,89$"});
}

TEST_F(IlsSectionTest, RecordsWithoutALocalizerOrOfAnotherTypeGiveNothingButAreStepped) {
  NavaidFixedPart vor;
  vor.type = fixture::kVorType;
  DecodeNavaids({
      NavaidRecord(vor, {Localizer(10.0f), OtherSubRecord(0x0016, 300)}),
      NavaidRecord({}, {fixture::GlideSlope()}),
      Ils("IBFI", 109900000, 0.0f, 135.0f),
  });
  EXPECT_EQ(Fragments(), Strings{"$*IBFI,109900,135$"});
  EXPECT_EQ(gState.Counters.IlsFound, 1);
}

TEST_F(IlsSectionTest, ASubRecordAreaBelowSixBytesIsNotRead) {
  // Each record's area is missing from the file: only a read of it shows.
  for (std::uint32_t size : {40u, 45u, 39u, 0u, 0x80000028u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    DecodeNavaids({NavaidRecord(IlsFixedPart(size))});
    EXPECT_EQ(gState.ErrorCount, 0);
    EXPECT_FALSE(Abandoned());
    EXPECT_EQ(gBgl.IlsFragmentCount, 0);
  }
  DecodeNavaids({NavaidRecord(IlsFixedPart(46))});
  EXPECT_EQ(Boxes(), (std::vector<PlatformEvent>{{Kind::Box, BoxKind::Ok, "Error !",
                                                  ReadErrorBox("ILS addditionnal record")}}));
  EXPECT_TRUE(Abandoned());
}

TEST_F(IlsSectionTest, ARecordWithSeveralLocalizersCountsOnceWithTheLastHeading) {
  DecodeNavaids({NavaidRecord({}, {Localizer(10.0f), fixture::GlideSlope(), Localizer(20.0f)})});
  EXPECT_EQ(Fragments(), Strings{"$*ISEA,110300,20$"});
  EXPECT_EQ(gState.Counters.IlsFound, 1);
}

TEST_F(IlsSectionTest, FragmentsOfAllNavaidSectionsFollowInSectionTableOrder) {
  BglFile file;
  fixture::Section& first = file.AddSection(kSectionNavaid);
  fixture::AddNavaids(first, {Ils("IAAA", 108100000, 0.0f, 10.0f)});
  fixture::AddNavaids(first,
                      {Ils("IBBB", 108200000, 0.0f, 20.0f), Ils("ICCC", 108300000, 0.0f, 30.0f)});
  file.AddSection(kSectionAirport);
  fixture::AddNavaids(file.AddSection(kSectionNavaid), {Ils("IDDD", 108400000, 0.0f, 40.0f)});
  Decode(file);
  EXPECT_EQ(Fragments(), (Strings{"$*IAAA,108100,10$", "$*IBBB,108200,20$", "$*ICCC,108300,30$",
                                  "$*IDDD,108400,40$"}));

  DecodeNavaids({Ils("IEEE", 108500000, 0.0f, 50.0f)});
  EXPECT_EQ(Fragments(), Strings{"$*IEEE,108500,50$"}) << "each file starts from entry 0";
  EXPECT_EQ(gState.Counters.IlsFound, 5) << "the run's count goes on";
}

TEST_F(IlsSectionTest, AMalformedSubRecordEndsTheWalkAndWhatStoodBeforeItCounts) {
  struct Case {
    const char* what;
    std::vector<ByteList> subRecords;
    const char* fragment;  // none when null
  };
  const Case cases[] = {
      {"size 0 after a localizer",
       {Localizer(89.0f), OtherSubRecord(0x0015, 4, 0), Localizer(10.0f)},
       "$*ISEA,110300,89$"},
      {"size 0 before a localizer", {OtherSubRecord(0x0015, 4, 0), Localizer(89.0f)}, nullptr},
      {"size below 6", {OtherSubRecord(0x0015, 4, 5), Localizer(89.0f)}, nullptr},
      {"past the end", {Localizer(89.0f, 25)}, nullptr},
      {"largest size", {OtherSubRecord(0x0015, 4, 0xFFFFFFFFu), Localizer(89.0f)}, nullptr},
      {"localizer too short for its heading", {Localizer(89.0f, 11)}, nullptr},
      {"header cut by the end",
       {Localizer(89.0f), ByteList{0x14, 0x00, 0x20}},
       "$*ISEA,110300,89$"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DecodeNavaids({NavaidRecord({}, c.subRecords), Ils("IBFI", 109900000, 0.0f, 135.0f)});
    Strings expected;
    if (c.fragment != nullptr) expected.emplace_back(c.fragment);
    expected.emplace_back("$*IBFI,109900,135$");
    EXPECT_EQ(Fragments(), expected);
    EXPECT_EQ(gState.ErrorCount, 0);
  }
}

TEST_F(IlsSectionTest, AnAreaAboveTheStaticBufferTakesAHeapBufferOfItsSize) {
  const ByteList big = OtherSubRecord(0x0019, kIlsRecordBufferLimit);
  DecodeNavaids({NavaidRecord({}, {big, Localizer(89.0f)}), Ils("IBFI", 109900000, 0.0f, 1.0f)});
  EXPECT_EQ(g_allocations, std::vector<std::size_t>{big.size() + 24});
  EXPECT_EQ(Fragments(), (Strings{"$*ISEA,110300,89$", "$*IBFI,109900,1$"}));
  EXPECT_EQ(gState.Counters.MemoryExtensions, 0) << "that counter is the airports' own";

  g_allocations.clear();
  DecodeNavaids(
      {NavaidRecord({}, {OtherSubRecord(0x0019, kIlsRecordBufferLimit - 30), Localizer(89.0f)})});
  EXPECT_TRUE(g_allocations.empty()) << "exactly the static buffer's size";
  EXPECT_EQ(Fragments(), Strings{"$*ISEA,110300,89$"});
}

TEST_F(IlsSectionTest, AnAreaTheFileCannotHoldIsAShortReadWithoutAnAllocation) {
  for (std::uint32_t size : {40u + 100000u, 0x7FFFFFFFu}) {
    SCOPED_TRACE(size);
    platform->events.clear();
    DecodeNavaids({NavaidRecord(IlsFixedPart(size), {OtherSubRecord(0x0019, 5000)})});
    EXPECT_TRUE(g_allocations.empty());
    EXPECT_EQ(Boxes(), (std::vector<PlatformEvent>{{Kind::Box, BoxKind::Ok, "Error !",
                                                    ReadErrorBox("ILS addditionnal record")}}));
    EXPECT_TRUE(Abandoned());
  }
}

TEST_F(IlsSectionTest, AFailedAllocationAbandonsTheFile) {
  g_failAllocations = true;
  DecodeNavaids({NavaidRecord({}, {OtherSubRecord(0x0019, 5000), Localizer(89.0f)})});
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error!",
       "ERROR ! unable to allocate BufferOfRestingRecord !!! - bypassing BGL See Log file"},
      {Kind::Log, BoxKind::Ok, "",
       "ERROR ! unable to allocate BufferOfRestingRecord !!! - bypassing BGL 5035\n"},
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_EQ(g_allocations, std::vector<std::size_t>{5030});
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.IlsFragmentCount, 0);
}

TEST_F(IlsSectionTest, ShortReadsAbandonTheFileUnderTheirLabels) {
  const std::size_t dataAt = 56 + 20 + 16;
  struct Case {
    std::size_t length;
    const char* label;
  };
  const Case cases[] = {{56 + 20 + 15, "ILS subsection"},
                        {dataAt + 39, "ILS structure"},
                        {dataAt + 40, "ILS addditionnal record"},
                        {dataAt + 40 + 30 + 23, "ILS addditionnal record"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    platform->events.clear();
    gState.ErrorCount = 0;
    BglFile file;
    fixture::AddNavaids(file.AddSection(kSectionNavaid), {Ils("ISEA", 110300000, 0.0f, 89.0f)});
    file.truncateTo = c.length;
    Decode(file);
    EXPECT_EQ(gState.ErrorCount, 1);
    EXPECT_EQ(
        Boxes(),
        (std::vector<PlatformEvent>{{Kind::Box, BoxKind::Ok, "Error !", ReadErrorBox(c.label)}}));
    EXPECT_TRUE(Abandoned());
    EXPECT_EQ(gBgl.IlsFragmentCount, 0);
  }
}

TEST_F(IlsSectionTest, ILSRecordsBeyondTheTablesEntriesAreNotRendered) {
  std::vector<ByteList> records(kIlsFragmentEntries, Ils("ISEA", 110300000, 0.0f, 89.0f));
  records.push_back(Ils("IBFI", 109900000, 0.0f, 135.0f));
  BglFile file;
  fixture::AddNavaids(file.AddSection(kSectionNavaid), records);
  fixture::AddNavaids(file.AddSection(kSectionNavaid), {Ils("IPDX", 109900000, 0.0f, 135.0f)});
  Decode(file);
  EXPECT_EQ(gBgl.IlsFragmentCount, kIlsFragmentEntries);
  EXPECT_EQ(gState.Counters.IlsFound, kIlsFragmentEntries);
  EXPECT_EQ(Fragments().back(), "$*ISEA,110300,89$");
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(Abandoned());
}

TEST_F(IlsSectionTest, ARecordOfSizeZeroEndsItsSubsection) {
  BglFile file;
  fixture::Section& section = file.AddSection(kSectionNavaid);
  fixture::AddNavaids(section, {NavaidRecord(IlsFixedPart(0))}).recordCount = 0xFFFFFFFFu;
  fixture::AddNavaids(section, {Ils("IBFI", 109900000, 0.0f, 135.0f)});
  Decode(file);
  EXPECT_EQ(Fragments(), Strings{"$*IBFI,109900,135$"});
  EXPECT_EQ(gState.ErrorCount, 0);
}

}  // namespace
}  // namespace hangarscan
