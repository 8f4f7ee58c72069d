#include "bgl/airport_section.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <memory>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "bgl/ident_codec.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::AirportFixedPart;
using fixture::AirportRecord;
using fixture::BglFile;
using fixture::ByteList;
using fixture::Com;
using fixture::Helipad;
using fixture::OtherSubRecord;
using fixture::Runway;
using fixture::ShiftedIdent;
using Kind = PlatformEvent::Kind;

std::vector<std::size_t> g_allocations;
bool g_failAllocations = false;

std::unique_ptr<std::uint8_t[]> WatchedAllocator(std::size_t bytes) {
  g_allocations.push_back(bytes);
  if (g_failAllocations) return nullptr;
  return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[bytes]);
}

AirportFixedPart Airport(const char* ident, std::int32_t altitude = 0) {
  AirportFixedPart fixed;
  fixed.ident = ShiftedIdent(ident);
  fixed.altitude = altitude;
  return fixed;
}

ByteList AirportWithRunway(const char* ident) {
  return AirportRecord(Airport(ident), {Runway()});
}

// Only the airport decoder is real, so these tests see its work alone.
class AirportSectionTest : public fixture::CoreTest {
 protected:
  AirportSectionTest() {
    g_allocations.clear();
    g_failAllocations = false;
  }

  void Decode(const BglFile& file) { path_ = DecodeFile(file, "airports.bgl"); }
  // A file with one airport section holding one subsection of these records.
  void DecodeAirports(const std::vector<ByteList>& records) {
    BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), records);
    Decode(file);
  }

  static std::string Ident(int slot) {
    std::array<char, 8> text{};
    DecodeICAONAME(text, AirportIdentField(gAirportSlots[slot]));
    return text.data();
  }
  static std::string RunwayText(int slot) {
    return std::string(TextOf(gAirportSlots[slot].RunwayText));
  }
  static std::string ComText(int slot) { return std::string(TextOf(gAirportSlots[slot].ComText)); }
  static std::string PositionKey(int slot) {
    return std::string(TextOf(gAirportSlots[slot].PositionKey));
  }
  bool Abandoned() const { return gState.CurrentBglFile.IsOpen(); }
  std::vector<PlatformEvent> Boxes() const { return platform->Only(Kind::Box); }

  std::string path_;

 private:
  fixture::ScopedOverride<SectionHandlers> handlers_{
      BglSectionHandlers(),
      {ReadAirportSection, fixture::SkipSection, fixture::SkipSubstitution, fixture::SkipSection}};
  fixture::ScopedOverride<RecordBufferAllocator> allocator_{AirportRecordAllocator(),
                                                            WatchedAllocator};
};

PlatformEvent Box(const char* caption, const std::string& text) {
  return {Kind::Box, BoxKind::Ok, caption, text};
}
PlatformEvent Log(const std::string& text) {
  return {Kind::Log, BoxKind::Ok, "", text};
}

TEST_F(AirportSectionTest, StoresAirportsWithTheirTextsAndCounters) {
  fixture::RunwaySubRecord withIls;
  withIls.primaryIls = fixture::IdentNumber("ISEA");
  DecodeAirports({
      AirportRecord(Airport("KSEA", 123456), {Com(6, 118700000), OtherSubRecord(0x0019, 20),
                                              Runway(withIls), Com(1, 131725000)}),
      AirportRecord(Airport("LFPG"), {Helipad()}),
      AirportRecord(Airport("EGLL"), {Helipad(), Com(3, 0), Helipad()}),
  });
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(Abandoned());
  ASSERT_EQ(gBgl.iAirpNmbr, 3);

  EXPECT_EQ(Ident(0), "KSEA");
  EXPECT_EQ(PositionKey(0), "300000300000");
  EXPECT_EQ(RunwayText(0),
            "\x80"
            "1234;@R4,3627,16L,34R$ILSREPLACESTOUT1:ISEA$;");
  EXPECT_EQ(ComText(0), "~118.700,6;~131.725,1;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 1);

  EXPECT_EQ(Ident(1), "LFPG");
  EXPECT_EQ(RunwayText(1), "") << "no runway, no altitude field";
  EXPECT_EQ(ComText(1), "");
  EXPECT_EQ(gAirportSlots[1].IlsPending, 0);

  EXPECT_EQ(Ident(2), "EGLL");
  EXPECT_EQ(ComText(2), "~0.000,3;");

  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.AirportStructures, 3);
  EXPECT_EQ(counters.AirportsWithoutRunway, 2);
  EXPECT_EQ(counters.HelipadOnlyAirports, 1) << "only the airport with exactly one helipad";
  EXPECT_EQ(counters.RunwaysFound, 1);
  EXPECT_EQ(counters.ComsFound, 3);
  EXPECT_EQ(counters.MemoryExtensions, 0);
  EXPECT_EQ(gBgl.IlsPlaceholderCount, 1);
}

TEST_F(AirportSectionTest, EverySubsectionOfEveryAirportSectionIsDecodedInOrder) {
  BglFile file;
  fixture::AddAirports(file.AddSection(kSectionAirport), {AirportWithRunway("AAAA")});
  file.AddSection(7);
  fixture::Section& second = file.AddSection(kSectionAirport);
  fixture::AddAirports(second, {AirportWithRunway("BBBB"), AirportWithRunway("CCCC")});
  fixture::AddAirports(second, {}).fileOffset = 0xFFFFFFF0u;  // no records: never read
  fixture::AddAirports(second, {AirportWithRunway("DDDD")});
  Decode(file);
  EXPECT_EQ(gState.ErrorCount, 0);
  ASSERT_EQ(gBgl.iAirpNmbr, 4);
  EXPECT_EQ(Ident(0), "AAAA");
  EXPECT_EQ(Ident(1), "BBBB");
  EXPECT_EQ(Ident(2), "CCCC");
  EXPECT_EQ(Ident(3), "DDDD");
}

TEST(PositionKeyTest, IsTheShiftedPositionInThousandthsOfADegreeTruncated) {
  struct Case {
    std::uint32_t longitude, latitude;
    const char* key;
  };
  const Case cases[] = {
      {402653184, 268435456, "300000300000"},
      {0, 0, "120000390000"},
      {129051262, 126761189, "177690347499"},         // latitude 347,499.9995: truncated
      {4294967295u, 4294967295u, "2039999-1049999"},  // out of range: printed as it comes
  };
  for (const Case& c : cases) {
    std::array<char, kPositionKeyBytes> key;
    WritePositionKey(key, c.longitude, c.latitude);
    EXPECT_EQ(std::string(key.data()), c.key);
  }
}

// The key is built without printf; it must be what "%06i%06i" prints for any field, negative
// latitudes of fields past the range included.
TEST(PositionKeyTest, IsWhatPrintfPrintsForAnyFields) {
  std::uint64_t state = 7;
  for (int i = 0; i < 100000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const auto longitude = static_cast<std::uint32_t>(state >> 32);
    const auto latitude = static_cast<std::uint32_t>(state);
    std::array<char, kPositionKeyBytes> key;
    WritePositionKey(key, longitude, latitude);
    std::array<char, kPositionKeyBytes> expected;
    std::snprintf(expected.data(), expected.size(), "%06i%06i",
                  static_cast<int>(((longitude * (15.0 / 33554432.0)) - 180.0 + 300.0) * 1000.0),
                  static_cast<int>(((90.0 - latitude * (45.0 / 134217728.0)) + 300.0) * 1000.0));
    ASSERT_STREQ(key.data(), expected.data()) << longitude << " " << latitude;
  }
}

TEST_F(AirportSectionTest, ARecordOfFiftySixBytesOrLessIsBypassedAndTheNextReadRightAfterIt) {
  for (std::uint32_t size : {56u, 10u, 0u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    platform->events.clear();
    gState.ErrorCount = 0;
    AirportFixedPart bare = Airport("KBAD");
    bare.size = size;
    DecodeAirports({AirportRecord(bare), AirportWithRunway("KSEA")});
    const std::vector<PlatformEvent> expected = {
        Box("Error !", "Error uiTotalSizeToRead < 0 - bypassing airport, see log file"),
        Log("Error Error uiTotalSizeToRead < 0 - bypassing airport\n"),
    };
    EXPECT_EQ(platform->events, expected);
    EXPECT_EQ(gState.ErrorCount, 1);
    ASSERT_EQ(gBgl.iAirpNmbr, 1);
    EXPECT_EQ(Ident(0), "KSEA");
    EXPECT_FALSE(Abandoned());
  }
}

TEST_F(AirportSectionTest, AnIdentOfZeroIsBypassedAndTheNextRecordStillFound) {
  AirportFixedPart noIdent = Airport("");
  AirportFixedPart bareNoIdent = Airport("");
  bareNoIdent.size = 20;  // no remainder to skip: the next record follows the 56 bytes
  DecodeAirports({AirportRecord(noIdent, {Runway(), Com(6, 118700000)}), AirportRecord(bareNoIdent),
                  AirportWithRunway("KSEA")});
  const PlatformEvent box =
      Box("Error !", "Error DecodeICAONAME return FALSE - bypassing airport, see log file");
  const PlatformEvent log =
      Log("Error DecodeICAONAME return FALSE - bypassing airport 0x00000000\n");
  EXPECT_EQ(platform->events, (std::vector<PlatformEvent>{box, log, box, log}));
  EXPECT_EQ(gState.ErrorCount, 2);
  ASSERT_EQ(gBgl.iAirpNmbr, 1);
  EXPECT_EQ(Ident(0), "KSEA");
  EXPECT_EQ(gState.Counters.RunwaysFound, 1) << "a bypassed record's sub-records are not read";
  EXPECT_EQ(gState.Counters.ComsFound, 0);
}

TEST_F(AirportSectionTest, ARecordThatIsNotAnAirportAbandonsTheFile) {
  AirportFixedPart other = Airport("KBAD");
  other.id = 0x003D;
  DecodeAirports(
      {AirportWithRunway("KSEA"), AirportRecord(other, {Runway()}), AirportWithRunway("KPDX")});
  const std::vector<PlatformEvent> expected = {
      Box("Error !", "ERROR ! not a fixed airport record !!! bypassing this BGL See log file"),
      Log("ERROR ! not a fixed airport record !!! - bypassing this BGL\n"),
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.iAirpNmbr, 1);
  EXPECT_EQ(gState.Counters.RunwaysFound, 1);
}

TEST_F(AirportSectionTest, ShortReadsAbandonTheFileUnderTheirLabels) {
  const std::size_t dataAt = 56 + 20 + 16;
  struct Case {
    std::size_t length;
    const char* label;
  };
  const Case cases[] = {{dataAt, "airport section"},
                        {dataAt + 55, "airport section"},
                        {dataAt + 56, "Runway section"},
                        {dataAt + 56 + 51, "Runway section"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    platform->events.clear();
    gState.ErrorCount = 0;
    BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), {AirportWithRunway("KSEA")});
    file.truncateTo = c.length;
    Decode(file);
    EXPECT_EQ(gState.ErrorCount, 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "\r\n Error reading '" + std::string(c.label) +
                                   "' !!!\r\n  Bypassing this BGL: " + path_ +
                                   "\r\n\r\nSee log file for details");
    EXPECT_TRUE(Abandoned());
    EXPECT_EQ(gBgl.iAirpNmbr, 0);
  }
}

// A record whose remainder (everything after the fixed part) has `remainder` bytes: a skipped
// sub-record filling it, then a runway.
ByteList AirportWithRemainder(std::size_t remainder) {
  const ByteList runway = Runway();
  return AirportRecord(Airport("KBIG"),
                       {OtherSubRecord(0x0019, remainder - runway.size() - 6), runway});
}

TEST_F(AirportSectionTest, RemaindersAboveFiftyThousandBytesTakeAHeapBuffer) {
  DecodeAirports({AirportWithRemainder(50000), AirportWithRunway("KSEA")});
  EXPECT_TRUE(g_allocations.empty());
  EXPECT_EQ(gState.Counters.MemoryExtensions, 0);

  DecodeAirports({AirportWithRemainder(50001), AirportWithRunway("KSEA")});
  EXPECT_EQ(g_allocations, std::vector<std::size_t>{50001});
  EXPECT_EQ(gState.Counters.MemoryExtensions, 1);

  EXPECT_EQ(gState.ErrorCount, 0);
  ASSERT_EQ(gBgl.iAirpNmbr, 2);
  EXPECT_EQ(Ident(0), "KBIG");
  EXPECT_EQ(RunwayText(0),
            "\x80"
            "0;@R4,3627,16L,34R;");
  EXPECT_EQ(Ident(1), "KSEA");
}

TEST_F(AirportSectionTest, ARemainderTheFileCannotHoldIsAShortReadWithoutAnAllocation) {
  for (std::uint32_t claimed : {60001u, 0x7FFFFFFFu}) {
    SCOPED_TRACE(claimed);
    platform->events.clear();
    AirportFixedPart big = Airport("KBIG");
    big.size = 56 + claimed;
    DecodeAirports({AirportRecord(big, {OtherSubRecord(0x0019, 60000 - 6)})});
    EXPECT_TRUE(g_allocations.empty());
    EXPECT_EQ(gState.Counters.MemoryExtensions, 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("Error reading 'Runway section'"), std::string::npos);
    EXPECT_TRUE(Abandoned());
  }
}

TEST_F(AirportSectionTest, AFailedAllocationAbandonsTheFile) {
  g_failAllocations = true;
  DecodeAirports({AirportWithRemainder(60000), AirportWithRunway("KSEA")});
  const std::vector<PlatformEvent> expected = {
      Box("Error !",
          "Error cNEWBufferRecordAirport allocation failed - bypassing BGL see log file"),
      Log("Error cNEWBufferRecordAirport allocation failed - bypassing BGL\n"),
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_EQ(gState.Counters.MemoryExtensions, 0);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.iAirpNmbr, 0);
}

TEST_F(AirportSectionTest, AnAirportWithNeitherRunwayNorHelipadGoesToTheCorrections) {
  BglAirportSlot& stale = gAirportSlots[1];
  CopyText(stale.RunwayText,
           "\x80"
           "12;@R1,2,3,4$ILSREPLACESTOUT1:IOLD$;");
  CopyText(stale.ComText, "~120.000,1;");
  stale.IlsPending = 1;
  DecodeAirports({AirportWithRunway("KSEA"), AirportRecord(Airport("KPDX"), {Com(6, 118700000)}),
                  AirportWithRunway("KBFI")});
  EXPECT_EQ(gState.ErrorCount, 0);
  ASSERT_EQ(gBgl.iAirpNmbr, 3) << "the correction keeps its slot";
  EXPECT_EQ(Ident(1), "KPDX");
  EXPECT_TRUE(HoldsCorrection(gAirportSlots[1]));
  EXPECT_EQ(PositionKey(1), "300000300000");
  EXPECT_EQ(RunwayText(1), "") << "no stale text takes part in the ILS substitution";
  EXPECT_EQ(ComText(1), "");
  EXPECT_EQ(gAirportSlots[1].IlsPending, 0);
  EXPECT_EQ(Ident(2), "KBFI");
  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.CorrectionsMissed, 1);
  EXPECT_EQ(counters.ComsFound, 1) << "its COM is rendered, counted, then discarded";
  EXPECT_EQ(counters.AirportStructures, 2);
  EXPECT_EQ(counters.AirportsWithoutRunway, 0);
}

TEST_F(AirportSectionTest, MalformedSubRecordsBypassTheAirportWithoutReadingOutside) {
  struct Case {
    const char* what;
    std::vector<ByteList> subRecords;
    const char* detail;
  };
  const Case cases[] = {
      {"size 0", {OtherSubRecord(0x0019, 4, 0)}, "id 0x0019 size 0 at offset 0 of 10"},
      {"size below 6", {OtherSubRecord(0x0019, 4, 3)}, "id 0x0019 size 3 at offset 0 of 10"},
      {"past the end",
       {Runway(), OtherSubRecord(0x0019, 4, 100)},
       "id 0x0019 size 100 at offset 52 of 62"},
      {"largest size",
       {OtherSubRecord(0x0019, 4, 0xFFFFFFFFu)},
       "id 0x0019 size 4294967295 at offset 0 of 10"},
      {"runway too short", {OtherSubRecord(0x0004, 29)}, "id 0x0004 size 35 at offset 0 of 35"},
      {"COM too short", {OtherSubRecord(0x0012, 5)}, "id 0x0012 size 11 at offset 0 of 11"},
      {"header cut by the end",
       {Runway(), ByteList{0x26, 0x00, 0x06}},
       "id 0x0026 size 0 at offset 52 of 55"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform->events.clear();
    ResetRun();
    DecodeAirports({AirportRecord(Airport("KBAD"), c.subRecords), AirportWithRunway("KSEA")});
    const std::vector<PlatformEvent> expected = {
        Box("Error !", "Error bad sub-record - bypassing airport, see log file"),
        Log("Error bad sub-record - bypassing airport KBAD: " + std::string(c.detail) + "\n"),
    };
    EXPECT_EQ(platform->events, expected);
    EXPECT_EQ(gState.ErrorCount, 1);
    EXPECT_FALSE(Abandoned());
    ASSERT_EQ(gBgl.iAirpNmbr, 1);
    EXPECT_EQ(Ident(0), "KSEA");
    EXPECT_EQ(gState.Counters.RunwaysFound, 1) << "nothing of the bypassed airport is counted";
  }
}

TEST_F(AirportSectionTest, TooLongACOMTextAbandonsTheFile) {
  std::vector<ByteList> coms(154, Com(15, 4294967295u));
  DecodeAirports({AirportRecord(Airport("KSEA"), coms), AirportWithRunway("KPDX")});
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.iAirpNmbr, 0);
  EXPECT_EQ(gState.Counters.RunwaysFound, 0) << "no further record is read";
}

// 800 airports with runways, then `last`.
std::vector<ByteList> EightHundredAirportsAnd(ByteList last) {
  std::vector<ByteList> records(800, AirportWithRunway("KSEA"));
  records.push_back(std::move(last));
  return records;
}

TEST_F(AirportSectionTest, EightHundredSlotsFitAndTheEightHundredAndFirstAbandonsTheFile) {
  std::vector<ByteList> records = EightHundredAirportsAnd({});
  records.pop_back();
  DecodeAirports(records);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_EQ(gBgl.iAirpNmbr, 800);

  DecodeAirports(EightHundredAirportsAnd(AirportWithRunway("KPDX")));
  const std::vector<PlatformEvent> expected = {
      Box("Error!", "ERROR ! iAirpNmbr > 800 - bypassing BGL see Log File !"),
      Log("ERROR ! iAirpNmbr > 800 - bypassing BGL\n"),
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.iAirpNmbr, 801);
  EXPECT_EQ(Ident(800), "KPDX") << "the airport is written into slot 800 first";
}

TEST_F(AirportSectionTest, ACorrectionTakingTheEightHundredAndFirstSlotAbandonsTheFile) {
  DecodeAirports(EightHundredAirportsAnd(AirportRecord(Airport("KPDX"), {Com(6, 118700000)})));
  const std::vector<PlatformEvent> expected = {
      Box("Error!", "ERROR ! iAirpNmbrElevation > 800 - bypassing BGL see Log File !"),
      Log("ERROR ! iAirpNmbr > 800 - bypassing BGL\n"),
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_TRUE(Abandoned());
  EXPECT_EQ(gBgl.iAirpNmbr, 801);
}

}  // namespace
}  // namespace hangarscan
