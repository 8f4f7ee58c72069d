#include "bgl/airport_correction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bgl/airport_section.h"
#include "bgl/bgl_file.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/name_list_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::ShiftedIdent;
using Kind = PlatformEvent::Kind;

// Lines as the table holds them: key, ident, name, country, COM area, runway area, line feed.
const std::string kSeattle =
    "177691347450KSEA;Seattle Tacoma Intl;United States;~119.900,6;\x80"
    "132;@R4,3627,16L,34R;\n";
const std::string kHeliport = "177691347450KSEA;Seattle Heliport;United States;~119.900,6;\n";

const char* const kNewKey = "177690347499";

class AirportCorrectionTest : public fixture::CoreTest {
 protected:
  static void StoreLine(const std::string& line, const char* ident = "KSEA") {
    const int i = gState.Counters.AirportsStored++;
    CopyText(gState.AirportTable[i], line);
    gState.AirportKeyList[i] = ShiftedIdent(ident);
  }
  static std::string Line(int i) { return std::string(TextOf(gState.AirportTable[i])); }

  // Slot iAirpNmbr as the airport decoder hands it over: a fixed part and a position key, its
  // texts left by an earlier airport.
  static BglAirportSlot& CorrectionSlot(std::int32_t altitude) {
    BglAirportSlot& slot = gAirportSlots[gBgl.iAirpNmbr];
    fixture::AirportFixedPart fixed;
    fixed.ident = ShiftedIdent("KSEA");
    fixed.altitude = altitude;
    const fixture::ByteList record = fixture::CorrectionRecord(fixed);
    std::copy_n(record.begin(), slot.FixedRecord.size(), slot.FixedRecord.begin());
    CopyText(slot.PositionKey, kNewKey);
    CopyText(slot.RunwayText,
             "\x80"
             "1;@R1,2,3,4$ILSREPLACESTOUT1:IOLD$;");
    CopyText(slot.ComText, "~120.000,1;");
    slot.IlsPending = 1;
    return slot;
  }

  static CorrectionOutcome Correct(std::int32_t altitude) {
    return ApplyAirportCorrection(CorrectionSlot(altitude), "KSEA");
  }

  static void ExpectKeptSlot(int index) {
    const BglAirportSlot& slot = gAirportSlots[index];
    EXPECT_TRUE(HoldsCorrection(slot));
    EXPECT_EQ(TextOf(slot.RunwayText), "") << "no stale text takes part in the ILS substitution";
    EXPECT_EQ(TextOf(slot.ComText), "");
    EXPECT_EQ(slot.IlsPending, 0);
  }
};

TEST_F(AirportCorrectionTest, RewritesKeyAndAltitudeInPlaceAndKeepsTheRest) {
  StoreLine(kSeattle);
  EXPECT_EQ(Correct(133000), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0),
            "177690347499KSEA;Seattle Tacoma Intl;United States;~119.900,6;\x80"
            "1330;@R4,3627,16L,34R;\n");
  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.AirportsCorrected, 1);
  EXPECT_EQ(counters.AltitudesCorrected, 1);
  EXPECT_EQ(counters.CorrectionsMissed, 0);
  EXPECT_EQ(gBgl.iAirpNmbr, 1) << "the slot stays in use";
  ExpectKeptSlot(0);
  EXPECT_EQ(gState.AirportKeyList[0], ShiftedIdent("KSEA"));
  EXPECT_EQ(gState.ErrorCount, 0);
}

TEST_F(AirportCorrectionTest, TheNewAltitudeIsTheAltitudeInHundredsOfMillimetresTruncated) {
  struct Case {
    std::int32_t altitude;
    const char* field;
  };
  const Case cases[] = {{1234567, "12345"}, {99, "0"}, {-99, "0"}, {-430560, "-4305"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.altitude);
    ResetRun();
    gBgl.iAirpNmbr = 0;
    StoreLine(kSeattle);
    EXPECT_EQ(Correct(c.altitude), CorrectionOutcome::Corrected);
    EXPECT_NE(Line(0).find(std::string("\x80") + c.field + ";@R4"), std::string::npos) << Line(0);
  }
}

TEST_F(AirportCorrectionTest, TheSameAltitudeCorrectsTheLineButNotTheAltitude) {
  StoreLine(kSeattle);
  EXPECT_EQ(Correct(13250), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0), kNewKey + kSeattle.substr(12));
  EXPECT_EQ(gState.Counters.AirportsCorrected, 1);
  EXPECT_EQ(gState.Counters.AltitudesCorrected, 0);
}

TEST_F(AirportCorrectionTest, TheOldValueIsReadAsStrtolReadsIt) {
  struct Case {
    const char* oldField;  // between the marker and ";"
    std::int32_t newValue;
    bool altitudeCorrected;
  };
  const Case cases[] = {
      {"12", 12, false}, {" 12", 12, false}, {"+012", 12, false}, {"12a", 12, false},
      {"-12", 12, true}, {"", 12, true},     {"", 0, false},      {"x5", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.oldField);
    ResetRun();
    gBgl.iAirpNmbr = 0;
    StoreLine(std::string("177691347450KSEA;A;B;\x80") + c.oldField + ";@R1,2,3,4;\n");
    EXPECT_EQ(Correct(c.newValue * 100), CorrectionOutcome::Corrected);
    EXPECT_EQ(Line(0), "177690347499KSEA;A;B;\x80" + std::to_string(c.newValue) + ";@R1,2,3,4;\n");
    EXPECT_EQ(gState.Counters.AltitudesCorrected, c.altitudeCorrected ? 1 : 0);
  }
}

TEST_F(AirportCorrectionTest, AnAirportNotYetStoredIsMissedAndTheSlotKept) {
  StoreLine(kSeattle, "KPDX");
  EXPECT_EQ(Correct(133000), CorrectionOutcome::Missed);
  EXPECT_EQ(Line(0), kSeattle) << "a line of another airport is not touched";
  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.CorrectionsMissed, 1);
  EXPECT_EQ(counters.AirportsCorrected, 0);
  EXPECT_EQ(counters.AltitudesCorrected, 0);
  EXPECT_EQ(gBgl.iAirpNmbr, 1);
  ExpectKeptSlot(0);
  EXPECT_EQ(gState.ErrorCount, 0) << "a useless correction is no error";
}

TEST_F(AirportCorrectionTest, ALineWithoutAUsableAltitudeFieldGetsTheKeyAndTheCorrectionIsDropped) {
  const std::string lines[] = {
      kHeliport,  // no marker: a helipad-only airport
      "177691347450KSEA;A;B;\x80"
      "132\n",  // no ";" after the marker
      "177691347450KSEA;A;B;\x80"
      "-12345678;@R;\n",  // nine characters before the ";"
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    ResetRun();
    gBgl.iAirpNmbr = 0;
    StoreLine(line);
    BglAirportSlot& slot = CorrectionSlot(133000);
    EXPECT_EQ(ApplyAirportCorrection(slot, "KSEA"), CorrectionOutcome::Dropped);
    EXPECT_EQ(Line(0), kNewKey + line.substr(12));
    EXPECT_EQ(gState.Counters.AirportsCorrected, 0);
    EXPECT_EQ(gState.Counters.CorrectionsMissed, 0);
    EXPECT_EQ(gBgl.iAirpNmbr, 0) << "the next record reuses the slot";
    EXPECT_FALSE(HoldsCorrection(slot));
  }
}

TEST_F(AirportCorrectionTest, EightCharactersBetweenMarkerAndSemicolonAreStillAField) {
  StoreLine(
      "177691347450KSEA;A;B;\x80"
      "-1234567;@R1,2,3,4;\n");
  EXPECT_EQ(Correct(500), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0),
            "177690347499KSEA;A;B;\x80"
            "5;@R1,2,3,4;\n");
}

TEST_F(AirportCorrectionTest, TheFirstMarkerIsTakenWhereverItStands) {
  StoreLine(
      "177691347450KSEA;Caf\x80 X;B;\x80"
      "5;@R1,2,3,4;\n");
  EXPECT_EQ(Correct(1200), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0),
            "177690347499KSEA;Caf\x80"
            "12;B;\x80"
            "5;@R1,2,3,4;\n");
  EXPECT_EQ(gState.Counters.AltitudesCorrected, 1) << "the name's blank and X read as 0";
}

TEST_F(AirportCorrectionTest, ALineGrowsOrShrinksWithItsFieldAndTheMaximumFollowsGrowth) {
  const std::string shortField =
      "177691347450KSEA;A;B;\x80"
      "5;@R1,2,3,4;\n";
  const std::string longField =
      "177691347450KSEA;A;B;\x80"
      "12345;@R1,2,3,4;\n";
  StoreLine(shortField);
  gState.Counters.MaxLineLength = static_cast<std::int32_t>(shortField.size());
  EXPECT_EQ(Correct(1234500), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0), kNewKey + longField.substr(12));
  EXPECT_EQ(gState.Counters.MaxLineLength, static_cast<std::int32_t>(longField.size()))
      << "the database header must cover the grown line";

  EXPECT_EQ(Correct(500), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0), kNewKey + shortField.substr(12));
  EXPECT_EQ(gState.Counters.MaxLineLength, static_cast<std::int32_t>(longField.size()));
  EXPECT_EQ(gState.Counters.AirportsCorrected, 2);
  EXPECT_EQ(gState.Counters.AltitudesCorrected, 2);
  EXPECT_EQ(gBgl.iAirpNmbr, 2) << "each correction keeps a slot";
}

TEST_F(AirportCorrectionTest, TheFirstQualifyingLineInTableOrderIsCorrected) {
  StoreLine(kHeliport);
  StoreLine(kSeattle, "KPDX");
  StoreLine(kSeattle);
  StoreLine(kSeattle);
  EXPECT_EQ(Correct(133000), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0), kNewKey + kHeliport.substr(12)) << "passed over, with the new key";
  EXPECT_EQ(Line(1), kSeattle);
  EXPECT_EQ(Line(2),
            "177690347499KSEA;Seattle Tacoma Intl;United States;~119.900,6;\x80"
            "1330;@R4,3627,16L,34R;\n");
  EXPECT_EQ(Line(3), kSeattle) << "lines after the corrected one are not touched";
  EXPECT_EQ(gState.Counters.AirportsCorrected, 1);
}

// A line of `length` characters with this altitude value, filled up by its COM area.
std::string LineOfLength(std::size_t length, const std::string& altitude = "5") {
  const std::string head = "177691347450KSEA;A;B;";
  const std::string tail = "\x80" + altitude + ";@R1,2,3,4;\n";
  return head + std::string(length - head.size() - tail.size(), '~') + tail;
}

TEST_F(AirportCorrectionTest, ACorrectionThatWouldPassNineHundredNinetyNineSkipsTheLine) {
  StoreLine(LineOfLength(995));
  StoreLine(LineOfLength(996));
  EXPECT_EQ(Correct(1234500), CorrectionOutcome::Corrected);  // four more characters
  EXPECT_EQ(Line(0), kNewKey + LineOfLength(999, "12345").substr(12)) << "999 characters fit";
  EXPECT_EQ(Line(1), LineOfLength(996)) << "not reached";
  EXPECT_EQ(gState.Counters.MaxLineLength, 999);

  ResetRun();
  gBgl.iAirpNmbr = 0;
  StoreLine(LineOfLength(996));
  StoreLine(kSeattle);
  EXPECT_EQ(Correct(1234500), CorrectionOutcome::Corrected);
  EXPECT_EQ(Line(0), kNewKey + LineOfLength(996).substr(12))
      << "1,000 characters: the key only, as for a line without a field";
  EXPECT_EQ(Line(1).substr(0, 12), kNewKey);
  EXPECT_NE(Line(1).find("\x80"
                         "12345;"),
            std::string::npos);

  ResetRun();
  gBgl.iAirpNmbr = 0;
  StoreLine(LineOfLength(999));
  EXPECT_EQ(Correct(1234500), CorrectionOutcome::Dropped);
  EXPECT_EQ(Line(0).size(), 999u);
  EXPECT_EQ(gState.Counters.MaxLineLength, 0);
}

// The airport decoder hands every record without runway and helipad to the corrections.
class CorrectionFileTest : public AirportCorrectionTest {
 protected:
  CorrectionFileTest() : savedHandlers_(BglSectionHandlers()) {
    BglSectionHandlers() = {ReadAirportSection, NoSection, NoSubstitution, NoSection};
  }
  ~CorrectionFileTest() override { BglSectionHandlers() = savedHandlers_; }

  void DecodeAirports(const std::vector<fixture::ByteList>& records) {
    fixture::BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), records);
    const std::string path = dir.Join("corrections.bgl");
    file.WriteTo(path);
    DecodeBglFile(path);
  }

  static fixture::AirportFixedPart Airport(const char* ident, std::int32_t altitude) {
    fixture::AirportFixedPart fixed;
    fixed.ident = ShiftedIdent(ident);
    fixed.altitude = altitude;
    fixed.longitude = 129051262;
    fixed.latitude = 126761189;  // the key 177690347499
    return fixed;
  }

 private:
  static Flow NoSection(int) { return Flow::GoOn; }
  static void NoSubstitution() {}
  SectionHandlers savedHandlers_;
};

TEST_F(CorrectionFileTest, ACorrectionFileBeforeItsAirportMissesAndOneAfterCorrects) {
  const fixture::ByteList correction =
      fixture::CorrectionRecord(Airport("KSEA", 133000), {fixture::Com(6, 119900000)});
  DecodeAirports({correction});
  EXPECT_EQ(gState.Counters.CorrectionsMissed, 1);
  EXPECT_EQ(gState.Counters.ComsFound, 1) << "its COM is rendered, counted, then discarded";

  StoreLine(kSeattle);  // the airport's own file, later in the walk
  DecodeAirports({correction});
  EXPECT_EQ(Line(0),
            "177690347499KSEA;Seattle Tacoma Intl;United States;~119.900,6;\x80"
            "1330;@R4,3627,16L,34R;\n");
  const RefreshCounters& counters = gState.Counters;
  EXPECT_EQ(counters.AirportsCorrected, 1);
  EXPECT_EQ(counters.AltitudesCorrected, 1);
  EXPECT_EQ(counters.CorrectionsMissed, 1);
  EXPECT_EQ(counters.ComsFound, 2);
  EXPECT_EQ(counters.AirportStructures, 0) << "a correction is no airport structure";
  EXPECT_EQ(counters.AirportsWithoutRunway, 0);
  EXPECT_EQ(gBgl.iAirpNmbr, 1);
  EXPECT_TRUE(HoldsCorrection(gAirportSlots[0]));
  EXPECT_FALSE(gState.CurrentBglFile.IsOpen());
}

TEST_F(CorrectionFileTest, ADroppedCorrectionLeavesItsSlotToTheNextRecord) {
  StoreLine(kHeliport);
  DecodeAirports({fixture::CorrectionRecord(Airport("KSEA", 133000)),
                  fixture::AirportRecord(Airport("KPDX", 0), {fixture::Runway()})});
  EXPECT_EQ(Line(0), kNewKey + kHeliport.substr(12));
  ASSERT_EQ(gBgl.iAirpNmbr, 1);
  EXPECT_EQ(AirportIdentField(gAirportSlots[0]), ShiftedIdent("KPDX"));
  EXPECT_FALSE(HoldsCorrection(gAirportSlots[0]));
  EXPECT_EQ(gState.Counters.AirportsCorrected, 0);
  EXPECT_EQ(gState.Counters.CorrectionsMissed, 0);
}

// Whole files, every decoder real: the airport's own file, then correction files that list the
// airport in their name lists, as correction scenery does.
class CorrectionWalkTest : public fixture::CoreTest {
 protected:
  // A file of these airport records whose name list names every ident in `named`.
  void DecodeFile(const std::string& name, const std::vector<fixture::ByteList>& records,
                  const std::vector<const char*>& named) {
    fixture::BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), records);
    fixture::NameListContent names;
    names.countries.names = {"United States"};
    names.cities.names = {"Seattle"};
    names.airportNames.names = {"Seattle Tacoma Intl"};
    for (const char* ident : named)
      names.entries.push_back({ShiftedIdent(ident), 0, 0, 0});
    fixture::AddNameList(file.AddSection(kSectionNameList), fixture::NameListRecord(names));
    path_ = dir.Join(name);
    file.WriteTo(path_);
    DecodeBglFile(path_);
  }
  static fixture::AirportFixedPart Airport(const char* ident, std::int32_t altitude) {
    fixture::AirportFixedPart fixed;
    fixed.ident = ShiftedIdent(ident);
    fixed.altitude = altitude;
    return fixed;
  }
  static std::string Line(int i) { return std::string(TextOf(gState.AirportTable[i])); }

  std::string path_;
};

TEST_F(CorrectionWalkTest, ACorrectionFileNamingItsAirportAddsNoLineAndNoError) {
  DecodeFile("airport.bgl", {fixture::AirportRecord(Airport("KSEA", 132000), {fixture::Runway()})},
             {"KSEA"});
  ASSERT_EQ(gState.Counters.AirportsStored, 1);

  DecodeFile("correction.bgl", {fixture::CorrectionRecord(Airport("KSEA", 133000))}, {"KSEA"});
  EXPECT_EQ(gState.Counters.AirportsStored, 1) << "the marked slot gives no line";
  EXPECT_EQ(Line(0),
            "300000300000KSEA;Seattle Tacoma Intl;United States;\x80"
            "1330;@R4,3627,16L,34R;\n");
  EXPECT_EQ(gState.Counters.AirportsCorrected, 1);
  EXPECT_EQ(gState.Counters.AltitudesCorrected, 1);
  EXPECT_EQ(gState.ErrorCount, 0) << "the name list skips the marked slot without a report";
}

TEST_F(CorrectionWalkTest, ADroppedCorrectionLeavesItsNameListEntryWithoutASlot) {
  DecodeFile("heliport.bgl", {fixture::AirportRecord(Airport("KSEA", 0), {fixture::Helipad()})},
             {"KSEA"});
  ASSERT_EQ(gState.Counters.AirportsStored, 1);
  platform->events.clear();

  fixture::AirportFixedPart moved = Airport("KSEA", 133000);
  moved.longitude = 129051262;
  moved.latitude = 126761189;  // the key 177690347499
  DecodeFile("correction.bgl", {fixture::CorrectionRecord(moved)}, {"KSEA"});
  EXPECT_EQ(Line(0), "177690347499KSEA;Seattle Tacoma Intl;United States;\n")
      << "the key is replaced though the correction is dropped";
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error!",
       "Error No matching airport record found in bgl file -  See Log file"},
      {Kind::Log, BoxKind::Ok, "",
       "Error No matching airport record found in bgl file - bypassing airport" + path_ + "\n"},
  };
  EXPECT_EQ(platform->events, expected);
  EXPECT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(gState.Counters.AirportsCorrected, 0);
  EXPECT_EQ(gState.Counters.CorrectionsMissed, 0);
}

}  // namespace
}  // namespace hangarscan
