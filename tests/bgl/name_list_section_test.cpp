#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/name_list_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::AirportFixedPart;
using fixture::AirportRecord;
using fixture::BglFile;
using fixture::ByteList;
using fixture::Com;
using fixture::Helipad;
using fixture::IcaoEntry;
using fixture::NameListContent;
using fixture::NameListRecord;
using fixture::Runway;
using fixture::ShiftedIdent;
using Kind = PlatformEvent::Kind;

AirportFixedPart Airport(const char* ident, double longitude = 0.0, double latitude = 0.0) {
  AirportFixedPart fixed;
  fixed.ident = ShiftedIdent(ident);
  fixed.longitude = fixture::LongitudeField(longitude);
  fixed.latitude = fixture::LatitudeField(latitude);
  return fixed;
}

ByteList AirportWithRunway(const char* ident, double longitude = 0.0) {
  return AirportRecord(Airport(ident, longitude), {Runway()});
}

IcaoEntry Entry(const char* ident, std::uint8_t country = 0, std::uint16_t city = 0,
                std::uint16_t name = 0) {
  return {ShiftedIdent(ident), country, city, name};
}

// One country, one city, one airport name, and an entry for each ident pointing at them.
NameListContent Names(const std::vector<const char*>& idents) {
  NameListContent content;
  content.countries.names = {"Iceland"};
  content.cities.names = {"Reykjavik"};
  content.airportNames.names = {"Keflavik"};
  for (const char* ident : idents)
    content.entries.push_back(Entry(ident));
  return content;
}

PlatformEvent Box(const std::string& text) {
  return {Kind::Box, BoxKind::Ok, "Error!", text};
}
PlatformEvent Log(const std::string& text) {
  return {Kind::Log, BoxKind::Ok, "", text};
}

// The airport decoder and the name-list pass are real; navaids and their substitution are not.
class NameListSectionTest : public fixture::CoreTest {
 protected:
  void Decode(const BglFile& file) { path_ = DecodeFile(file, "names.bgl"); }
  // A file of one airport section holding the airports, then one name-list section holding one
  // subsection per record.
  void DecodeWith(const std::vector<ByteList>& airports, const std::vector<ByteList>& nameLists) {
    BglFile file;
    if (!airports.empty()) fixture::AddAirports(file.AddSection(kSectionAirport), airports);
    fixture::Section& names = file.AddSection(kSectionNameList);
    for (const ByteList& record : nameLists)
      fixture::AddNameList(names, record);
    Decode(file);
  }
  void DecodeWith(const std::vector<ByteList>& airports, const NameListContent& content) {
    DecodeWith(airports, std::vector<ByteList>{NameListRecord(content)});
  }

  static std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int i = 0; i < gState.Counters.AirportsStored; ++i)
      lines.emplace_back(TextOf(gState.AirportTable[i]));
    return lines;
  }
  // The part of each line between the ident and the COM area: "name;country".
  static std::vector<std::string> NamesAndCountries() {
    std::vector<std::string> result;
    for (const std::string& line : Lines()) {
      const std::size_t first = line.find(';');
      const std::size_t third = line.find(';', line.find(';', first + 1) + 1);
      result.push_back(line.substr(first + 1, third - first - 1));
    }
    return result;
  }
  std::vector<PlatformEvent> Events() const {
    std::vector<PlatformEvent> events;
    for (const PlatformEvent& event : platform->events) {
      if (event.kind == Kind::Box || event.kind == Kind::Log) events.push_back(event);
    }
    return events;
  }
  // The report of one failed check: its box, then its log line with the path.
  std::vector<PlatformEvent> Report(const std::string& box, const std::string& log) const {
    return {Box(box), Log(log + path_ + "\n")};
  }
  bool Abandoned() const { return gState.CurrentBglFile.IsOpen(); }

  std::string path_;

 private:
  fixture::ScopedOverride<SectionHandlers> handlers_{
      BglSectionHandlers(),
      {ReadAirportSection, fixture::SkipSection, fixture::SkipSubstitution, ReadNameListSection}};
};

TEST_F(NameListSectionTest, EntriesBecomeLinesInNameListOrder) {
  NameListContent content;
  content.countries.names = {"United States", "France"};
  content.cities.names = {"Paris"};
  content.airportNames.names = {"Charles de Gaulle", "Seattle Tacoma Intl"};
  content.entries = {Entry("LFPG", 1, 0, 0), Entry("KSEA", 0, 0, 1)};
  fixture::RunwaySubRecord runway;
  runway.primaryIls = fixture::IdentNumber("ISEA");
  AirportFixedPart seattle = Airport("KSEA", -122.309, 47.449);
  seattle.altitude = 131000;
  DecodeWith({AirportRecord(seattle, {Com(6, 118700000), Runway(runway)}),
              AirportRecord(Airport("LFPG", 2.55, 49.0097), {Com(1, 121500000), Helipad()})},
             content);

  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_FALSE(Abandoned());
  const std::vector<std::string> expected = {
      "302549349009LFPG;Charles de Gaulle;France;~121.500,1;\n",
      "177690347448KSEA;Seattle Tacoma Intl;United States;~118.700,6;\x80"
      "1310;@R4,3627,16L,34R$ILSREPLACESTOUT1:ISEA$;\n"};
  EXPECT_EQ(Lines(), expected) << "a helipad-only airport's line ends after its COM area";
  EXPECT_EQ(gState.AirportKeyList[0], ShiftedIdent("LFPG"));
  EXPECT_EQ(gState.AirportKeyList[1], ShiftedIdent("KSEA"));
  EXPECT_EQ(gState.Counters.MaxLineLength, static_cast<int>(expected[1].size()));
}

TEST_F(NameListSectionTest, TheCityNameStandsInForAMissingAirportNameWithoutMessage) {
  NameListContent content;
  content.countries.names = {"Iceland"};
  content.cities.names = {"Reykjavik", "Akureyri"};
  content.airportNames.names = {""};
  content.entries = {Entry("BIKF", 0, 0, 0), Entry("BIAR", 0, 1, 1)};
  DecodeWith({AirportWithRunway("BIKF"), AirportWithRunway("BIAR")}, content);
  EXPECT_EQ(NamesAndCountries(),
            (std::vector<std::string>{"Reykjavik;Iceland", "Akureyri;Iceland"}))
      << "an empty name, then a name index at the count";
  EXPECT_TRUE(Events().empty());
}

TEST_F(NameListSectionTest, NeitherNameNorCityIsOneWarningAndNoLine) {
  NameListContent content;
  content.countries.names = {"Iceland"};
  content.cities.names = {""};
  content.airportNames.names = {""};
  content.entries = {Entry("BIKF", 0, 0, 0), Entry("BIKF", 0, 1, 0)};
  DecodeWith({AirportWithRunway("BIKF")}, content);
  const auto warning = Report("WARNING NO AIRPORT NAME AND NO CITY NAME -  See Log file",
                              "WARNING NO AIRPORT NAME AND NO CITY NAME - bypassing airport");
  std::vector<PlatformEvent> expected = warning;
  expected.insert(expected.end(), warning.begin(), warning.end());
  EXPECT_EQ(Events(), expected) << "an empty city name, then a city index at the count";
  EXPECT_EQ(gState.ErrorCount, 2);
  EXPECT_EQ(gState.Counters.AirportsStored, 0);
  EXPECT_FALSE(Abandoned());
}

TEST_F(NameListSectionTest, NoCountryIsNoLineAndNoMessage) {
  NameListContent content;
  content.countries.names = {""};
  content.airportNames.names = {"Keflavik"};
  content.entries = {Entry("BIKF", 0), Entry("BIKF", 1)};
  DecodeWith({AirportWithRunway("BIKF")}, content);
  EXPECT_EQ(gState.Counters.AirportsStored, 0);
  EXPECT_TRUE(Events().empty()) << "an empty country name, then a country index at the count";
}

TEST_F(NameListSectionTest, TwoEntriesOfOneIdentAreBothInserted) {
  DecodeWith({AirportWithRunway("BIKF", 10.0), AirportWithRunway("BIAR", 20.0)},
             Names({"BIKF", "BIKF"}));
  ASSERT_EQ(gState.Counters.AirportsStored, 2);
  EXPECT_EQ(Lines()[0], Lines()[1]);
  EXPECT_EQ(Lines()[0].substr(0, 16), "309999300000BIKF");
}

TEST_F(NameListSectionTest, OfTwoSlotsWithOneIdentOnlyTheFirstIsMatched) {
  DecodeWith({AirportWithRunway("BIKF", 10.0), AirportWithRunway("BIKF", 20.0)},
             Names({"BIKF", "BIKF"}));
  ASSERT_EQ(gState.Counters.AirportsStored, 2);
  EXPECT_EQ(Lines()[0].substr(0, 12), "309999300000");
  EXPECT_EQ(Lines()[1].substr(0, 12), "309999300000");
}

TEST_F(NameListSectionTest, EveryEntryWithoutASlotIsReported) {
  DecodeWith({}, Names({"BIKF", "BIAR"}));
  const auto report = Report("Error No matching airport record found in bgl file -  See Log file",
                             "Error No matching airport record found in bgl file - bypassing "
                             "airport");
  std::vector<PlatformEvent> expected = report;
  expected.insert(expected.end(), report.begin(), report.end());
  EXPECT_EQ(Events(), expected);
  EXPECT_EQ(gState.ErrorCount, 2);
  EXPECT_FALSE(Abandoned());
}

TEST_F(NameListSectionTest, AnEntryOfACorrectionSlotIsSkippedWithoutMessage) {
  // An airport with neither runway nor helipad is a correction; its slot carries the mark.
  DecodeWith({AirportRecord(Airport("BIKF"), {Com(6, 118700000)}), AirportWithRunway("BIAR")},
             Names({"BIKF", "BIAR"}));
  ASSERT_TRUE(HoldsCorrection(gAirportSlots[0]));
  EXPECT_TRUE(Events().empty());
  ASSERT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(Lines()[0].substr(12, 4), "BIAR");
}

// Two airports, BIKF and ENGM, each with its own airport name, city and country.
NameListContent TwoAirportNames() {
  NameListContent content;
  content.countries.names = {"Iceland", "Norway"};
  content.cities.names = {"Reykjavik", "Oslo"};
  content.airportNames.names = {"Keflavik", "Gardermoen"};
  content.entries = {Entry("BIKF", 0, 0, 0), Entry("ENGM", 1, 1, 1)};
  return content;
}

struct LongNameCase {
  fixture::NameStrings NameListContent::*list;
  std::string box;
  std::string log;
  std::vector<std::string> namesAndCountries;
};

class LongNameTest : public NameListSectionTest,
                     public ::testing::WithParamInterface<LongNameCase> {};

TEST_P(LongNameTest, ANameOf190CharactersIsTakenOneOf191IsReported) {
  const LongNameCase& c = GetParam();
  NameListContent content = TwoAirportNames();
  (content.*c.list).names = {std::string(190, 'a'), std::string(191, 'b')};
  DecodeWith({AirportWithRunway("BIKF"), AirportWithRunway("ENGM")}, content);
  EXPECT_EQ(Events(), Report(c.box, c.log));
  EXPECT_EQ(NamesAndCountries(), c.namesAndCountries)
      << "the failed name is empty for its entry: a city stands in for it, no country is no line";
  EXPECT_FALSE(Abandoned());
}

// A line feed would split the airport's line of the database in two: the name fails its check.
TEST_P(LongNameTest, ANameHoldingALineFeedIsReportedLikeOneTooLong) {
  const LongNameCase& c = GetParam();
  NameListContent content = TwoAirportNames();
  (content.*c.list).names = {std::string(190, 'a'), "Line\nFeed"};
  DecodeWith({AirportWithRunway("BIKF"), AirportWithRunway("ENGM")}, content);
  EXPECT_EQ(Events(), Report(c.box, c.log));
  EXPECT_EQ(NamesAndCountries(), c.namesAndCountries);
  for (const std::string& line : Lines())
    EXPECT_EQ(line.find('\n'), line.size() - 1);
}

const std::string k25 = std::string(25, 'a');

INSTANTIATE_TEST_SUITE_P(
    EachList, LongNameTest,
    ::testing::Values(LongNameCase{&NameListContent::airportNames,
                                   "Error ValueOffset/OffSetName<0 -  See Log file",
                                   "Error ValueOffset/OffSetName<0 - bypassing airport",
                                   {k25 + ";Iceland", "Oslo;Norway"}},
                      LongNameCase{
                          &NameListContent::countries,
                          "Error OffsetCountryList ValueOffset<0 -  See Log file",
                          "Error Error OffsetCountryList ValueOffset<0 &&> 190 - bypassing airport",
                          {"Keflavik;" + k25}},
                      LongNameCase{&NameListContent::cities,
                                   "Error NbrCityName ValueOffset<0 -  See Log file",
                                   "Error NbrCityName ValueOffset<0 - bypassing airport",
                                   {"Keflavik;Iceland", "Gardermoen;Norway"}}));

// A name that cannot be read from the data fails like one that is too long, and only that name.
TEST_F(NameListSectionTest, NamesOutsideTheDataAreReportedOneByOne) {
  for (const std::int32_t valueOffset : {-1, 1000, 0x7FFFFFFF}) {
    SCOPED_TRACE(valueOffset);
    platform->events.clear();
    ResetRun();
    NameListContent content = TwoAirportNames();
    content.airportNames.valueOffsets = {{0, valueOffset}};
    DecodeWith({AirportWithRunway("BIKF"), AirportWithRunway("ENGM")}, content);
    EXPECT_EQ(Events(), Report("Error ValueOffset/OffSetName<0 -  See Log file",
                               "Error ValueOffset/OffSetName<0 - bypassing airport"));
    EXPECT_EQ(NamesAndCountries(),
              (std::vector<std::string>{"Reykjavik;Iceland", "Gardermoen;Norway"}));
  }
}

TEST_F(NameListSectionTest, ANameWithoutItsTerminatorInsideTheDataIsReported) {
  // The airport names come last: the data read ends one byte short of the last terminator.
  ByteList record = NameListRecord(TwoAirportNames());
  BglFile file;
  fixture::AddAirports(file.AddSection(kSectionAirport),
                       {AirportWithRunway("BIKF"), AirportWithRunway("ENGM")});
  fixture::AddNameList(file.AddSection(kSectionNameList), record).dataSize =
      static_cast<std::uint32_t>(record.size() - 1);
  Decode(file);
  EXPECT_EQ(Events(), Report("Error ValueOffset/OffSetName<0 -  See Log file",
                             "Error ValueOffset/OffSetName<0 - bypassing airport"));
  EXPECT_EQ(NamesAndCountries(), (std::vector<std::string>{"Keflavik;Iceland", "Oslo;Norway"}));
}

struct ListCheckCase {
  const char* what;
  void (*spoil)(NameListContent&);
  std::string box;
  std::string log;
  bool withPath;
};

void PrintTo(const ListCheckCase& c, std::ostream* out) {
  *out << c.what;
}

class ListCheckTest : public NameListSectionTest,
                      public ::testing::WithParamInterface<ListCheckCase> {};

// A failed list check drops the rest of its subsection; the next subsection is read.
TEST_P(ListCheckTest, AFailedListCheckIsOneReportAndEndsItsSubsection) {
  const ListCheckCase& c = GetParam();
  NameListContent spoiled = Names({"BIKF"});
  c.spoil(spoiled);
  DecodeWith({AirportWithRunway("BIKF"), AirportWithRunway("BIAR")},
             {NameListRecord(spoiled), NameListRecord(Names({"BIAR"}))});
  const std::string logLine = c.log + (c.withPath ? path_ : "") + "\n";
  EXPECT_EQ(Events(), (std::vector<PlatformEvent>{Box(c.box), Log(logLine)}));
  EXPECT_EQ(gState.ErrorCount, 1);
  ASSERT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(Lines()[0].substr(12, 4), "BIAR");
  EXPECT_FALSE(Abandoned());
}

// An empty list still has its offsets checked; positions that lie beyond the data fail the
// offset-table check of their list (or the ICAO list check), however large.
INSTANTIATE_TEST_SUITE_P(
    EachCheck, ListCheckTest,
    ::testing::Values(
        ListCheckCase{"empty airport list below 42",
                      [](NameListContent& c) {
                        c.airportNames.names.clear();
                        c.airportNames.offset = 10;
                      },
                      "Error OffsetAirportList<0 - bypassing airport See Log file",
                      "Error OffsetAirportList<0 - bypassing airport", false},
        ListCheckCase{"airport offset table below 42",
                      [](NameListContent& c) {
                        c.airportNames.count = 5;
                        c.airportNames.offset = 30;
                      },
                      "Error OffsetAirportBaseOffsetList<0 -  See Log file",
                      "Error OffsetAirportBaseOffsetList<0 - bypassing airport", true},
        ListCheckCase{"airport offset table beyond the data",
                      [](NameListContent& c) { c.airportNames.count = 1000; },
                      "Error OffsetAirportBaseOffsetList<0 -  See Log file",
                      "Error OffsetAirportBaseOffsetList<0 - bypassing airport", true},
        ListCheckCase{"empty country list below 42",
                      [](NameListContent& c) {
                        c.countries.names.clear();
                        c.countries.offset = 10;
                      },
                      "Error OffsetCountryList<0 -  See Log file",
                      "Error OffsetCountryList<0 - bypassing airport", true},
        ListCheckCase{"country offset table below 42",
                      [](NameListContent& c) {
                        c.countries.count = 5;
                        c.countries.offset = 30;
                      },
                      "Error OffsetCountryBaseOffsetList<0 -  See Log file",
                      "Error OffsetCountryBaseOffsetList<0 - bypassing airport", true},
        ListCheckCase{"country offset table at the largest offset",
                      [](NameListContent& c) { c.countries.offset = 0x7FFFFFFF; },
                      "Error OffsetCountryBaseOffsetList<0 -  See Log file",
                      "Error OffsetCountryBaseOffsetList<0 - bypassing airport", true},
        ListCheckCase{"empty city list below 42",
                      [](NameListContent& c) {
                        c.cities.names.clear();
                        c.cities.offset = 10;
                      },
                      "Error OffsetCityList<0 -  See Log file",
                      "Error Error OffsetCityList<0 - bypassing airport", true},
        ListCheckCase{"city offset table below 42",
                      [](NameListContent& c) {
                        c.cities.count = 5;
                        c.cities.offset = 30;
                      },
                      "Error OffsetCityBaseOffsetList<0 -  See Log file",
                      "Error OffsetCityBaseOffsetList<0  - bypassing airport", true},
        ListCheckCase{"ICAO list below 42, after three good lists",
                      [](NameListContent& c) { c.icaoOffset = 41; },
                      "Error OffsetICAOList<0 -  See Log file",
                      "Error OffsetICAOList<0 - bypassing airport", true},
        ListCheckCase{"ICAO list beyond the data", [](NameListContent& c) { c.icaoCount = 1000; },
                      "Error OffsetICAOList<0 -  See Log file",
                      "Error OffsetICAOList<0 - bypassing airport", true}));

TEST_F(NameListSectionTest, AnEmptyListBeyondTheDataReadsNothingAndIsNotReported) {
  NameListContent content = Names({"BIKF"});
  content.cities.names.clear();
  content.cities.offset = 0x7FFFFFFF;
  DecodeWith({AirportWithRunway("BIKF")}, content);
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(NamesAndCountries(), std::vector<std::string>{"Keflavik;Iceland"});
}

TEST_F(NameListSectionTest, ASubsectionOfOnly42BytesAbandonsTheFileSilently) {
  ByteList headerOnly = NameListRecord({});
  ASSERT_EQ(headerOnly.size(), 42u);
  BglFile file;
  fixture::AddAirports(file.AddSection(kSectionAirport), {AirportWithRunway("BIKF")});
  fixture::Section& first = file.AddSection(kSectionNameList);
  fixture::AddNameList(first, headerOnly);
  fixture::AddNameList(first, NameListRecord(Names({"BIKF"})));
  fixture::AddNameList(file.AddSection(kSectionNameList), NameListRecord(Names({"BIKF"})));
  Decode(file);
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_EQ(gState.Counters.AirportsStored, 0) << "no later subsection or section is read";
  EXPECT_TRUE(Abandoned());
}

struct ReadFaultCase {
  const char* what;
  void (*spoil)(BglFile&);
  std::string label;
};

void PrintTo(const ReadFaultCase& c, std::ostream* out) {
  *out << c.what;
}

class ReadFaultTest : public NameListSectionTest,
                      public ::testing::WithParamInterface<ReadFaultCase> {};

TEST_P(ReadFaultTest, AFailedReadAbandonsTheFileUnderItsLabel) {
  BglFile file;
  fixture::AddAirports(file.AddSection(kSectionAirport), {AirportWithRunway("BIKF")});
  fixture::AddNameList(file.AddSection(kSectionNameList), NameListRecord(Names({"BIKF"})));
  fixture::AddNameList(file.AddSection(kSectionNameList), NameListRecord(Names({"BIKF"})));
  GetParam().spoil(file);
  Decode(file);
  const std::string text = "\r\n Error reading '" + GetParam().label +
                           "' !!!\r\n  Bypassing this BGL: " + path_ + "\r\n";
  EXPECT_EQ(Events(), (std::vector<PlatformEvent>{Log(text + "\n"),
                                                  {Kind::Box, BoxKind::Ok, "Error !",
                                                   text + "\r\nSee log file for details"}}));
  EXPECT_EQ(gState.Counters.AirportsStored, 0);
  EXPECT_TRUE(Abandoned());
}

fixture::Subsection& FirstNameList(BglFile& file) {
  return file.sections()[1].subsections[0];
}

// Sizes from the file never make a read go beyond NameListData: a data part that does not fit
// it, or that the file does not hold, is a failed read of the data part.
INSTANTIATE_TEST_SUITE_P(
    EachRead, ReadFaultTest,
    ::testing::Values(
        ReadFaultCase{"subsection table beyond the file",
                      [](BglFile& f) { f.sections()[1].tableOffset = 1u << 30; },
                      "subsection 0x27"},
        ReadFaultCase{"header beyond the file",
                      [](BglFile& f) { FirstNameList(f).fileOffset = 1u << 30; },
                      "Namelist structure"},
        ReadFaultCase{"size below 42", [](BglFile& f) { FirstNameList(f).dataSize = 41; },
                      "Namelist substructure"},
        ReadFaultCase{"size of 0", [](BglFile& f) { FirstNameList(f).dataSize = 0; },
                      "Namelist substructure"},
        ReadFaultCase{"data part of 1,000,001 bytes",
                      [](BglFile& f) { FirstNameList(f).dataSize = 42 + 1000001; },
                      "Namelist substructure"},
        ReadFaultCase{"largest size", [](BglFile& f) { FirstNameList(f).dataSize = 0xFFFFFFFF; },
                      "Namelist substructure"},
        ReadFaultCase{"data part beyond the end of the file",
                      [](BglFile& f) {
                        f.sections()[2].subsections[0].dataSize = 1000;  // the last in the file
                        f.sections()[1].subsections.clear();
                      },
                      "Namelist substructure"}));

TEST_F(NameListSectionTest, ADataPartOfAMillionBytesIsRead) {
  ByteList record = NameListRecord(Names({"BIKF"}));
  record.resize(42 + 1000000, 0xEE);
  DecodeWith({AirportWithRunway("BIKF")}, std::vector<ByteList>{record});
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(gState.Counters.AirportsStored, 1);
}

}  // namespace
}  // namespace hangarscan
