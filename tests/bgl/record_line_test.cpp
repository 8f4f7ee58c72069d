#include "bgl/record_line.h"

#include <gtest/gtest.h>

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

using fixture::ShiftedIdent;
using Kind = PlatformEvent::Kind;

const std::string kPath = "scenery/a.bgl";

std::string Line(int i) {
  return std::string(TextOf(gState.AirportTable[i]));
}

class RecordLineTest : public fixture::CoreTest {
 protected:
  RecordLineTest() {
    CopyText(gState.CurrentBglPath, kPath);
    SetSlot("300000300000", "~118.700,6;",
            "\x80"
            "131;@R4,3627,16L,34R;");
  }

  static void SetSlot(std::string_view key, std::string_view com, std::string_view runway) {
    BglAirportSlot& slot = gAirportSlots[0];
    CopyText(slot.PositionKey, key);
    CopyText(slot.ComText, com);
    CopyText(slot.RunwayText, runway);
  }
  static Flow Insert(std::string_view ident = "KSEA", std::string_view name = "Seattle",
                     std::string_view country = "United States") {
    return InsertRecordLine({0, ident, name, country, ShiftedIdent(ident)});
  }
  std::vector<std::string> StatusTexts() const {
    std::vector<std::string> texts;
    for (const PlatformEvent& event : platform->Only(Kind::Status))
      texts.push_back(event.text);
    return texts;
  }
};

TEST_F(RecordLineTest, JoinsTheSlotAndTheNamesIntoOneLine) {
  EXPECT_EQ(Insert(), Flow::GoOn);
  EXPECT_EQ(Line(0),
            "300000300000KSEA;Seattle;United States;~118.700,6;\x80"
            "131;@R4,3627,16L,34R;\n");
  EXPECT_EQ(gState.AirportKeyList[0], ShiftedIdent("KSEA"));
  EXPECT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(gState.Counters.MaxLineLength, static_cast<int>(Line(0).size()));
  EXPECT_EQ(gState.AirportTable[0][Line(0).size() + 1], '\0') << "the rest of the slot stays zero";
  EXPECT_EQ(gState.ErrorCount, 0);
}

TEST_F(RecordLineTest, IdentNameAndCountryAreCut) {
  Insert("KSEAX", std::string(30, 'n'), std::string(30, 'c'));
  EXPECT_EQ(Line(0).substr(0, 70),
            "300000300000KSEA;" + std::string(25, 'n') + ";" + std::string(25, 'c') + ";~");
  EXPECT_EQ(gState.AirportKeyList[0], ShiftedIdent("KSEAX")) << "the key is the full ident";
}

TEST_F(RecordLineTest, EmptyAreasLeaveNothingBetweenTheSeparators) {
  SetSlot("300000300000", "",
          "\x80"
          "131;@R4,3627,16L,34R;");
  Insert();
  EXPECT_EQ(Line(0),
            "300000300000KSEA;Seattle;United States;\x80"
            "131;@R4,3627,16L,34R;\n");
  SetSlot("300000300000", "~118.700,6;", "");
  Insert();
  EXPECT_EQ(Line(1), "300000300000KSEA;Seattle;United States;~118.700,6;\n")
      << "a helipad-only airport has no altitude item";
}

TEST_F(RecordLineTest, ALineOf999BytesIsStoredOneOf1000IsReported) {
  // Key, ident, name and country with the three separators are 39 bytes, the line feed one more.
  const std::string runway = "\x80" + std::string(999 - 40 - 1, 'r');
  SetSlot("300000300000", "", runway);
  Insert();
  ASSERT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(Line(0).size(), 999u);
  EXPECT_EQ(gState.Counters.MaxLineLength, 999);

  SetSlot("300000300000", "~", runway);
  EXPECT_EQ(Insert(), Flow::GoOn);
  EXPECT_EQ(gState.Counters.AirportsStored, 1);
  EXPECT_EQ(gState.Counters.MaxLineLength, 999);
  EXPECT_EQ(Line(1), "");
  EXPECT_EQ(gState.AirportKeyList[1], 0u);
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error!", "Error TestLenghtOfResult> 999 -  See Log file"},
      {Kind::Log, BoxKind::Ok, "",
       "Error TestLenghtOfResult> 999 - bypassing airport" + kPath + "\n"}};
  std::vector<PlatformEvent> reports = platform->Only(Kind::Box);
  const std::vector<PlatformEvent> logs = platform->Only(Kind::Log);
  reports.insert(reports.end(), logs.begin(), logs.end());
  EXPECT_EQ(reports, expected);
}

TEST_F(RecordLineTest, ProgressIsShownOnceEvery51InsertionsAndCarriesOverIntoTheNextRun) {
  for (int i = 0; i < 110; ++i)
    Insert();
  EXPECT_EQ(StatusTexts(),
            (std::vector<std::string>{"Status: utility running, 1 airports found so far",
                                      "Status: utility running, 52 airports found so far",
                                      "Status: utility running, 103 airports found so far"}));
  EXPECT_EQ(gState.StatusCounter, 110 - 102);

  // The next refresh starts at insertion 111 since the program started: the next text comes at
  // insertion 154, its 44th airport.
  platform->events.clear();
  ResetRun();
  for (int i = 0; i < 44; ++i)
    Insert();
  EXPECT_EQ(StatusTexts(),
            (std::vector<std::string>{"Status: utility running, 44 airports found so far"}));
}

TEST_F(RecordLineTest, ALineThatFindsTheTableFullGoesToTheSpareSlotAndIsReported) {
  gState.Counters.AirportsStored = kTableLines;
  SetSlot("300000300000", std::string(100, 'c'), "");
  EXPECT_EQ(Insert(), Flow::Abandon);
  EXPECT_EQ(gState.Counters.AirportsStored, kTableLines);
  EXPECT_EQ(Line(kTableLines).substr(0, 16), "300000300000KSEA");
  EXPECT_EQ(gState.AirportKeyList[kTableLines], ShiftedIdent("KSEA"));
  EXPECT_EQ(gState.Counters.MaxLineLength, static_cast<int>(Line(kTableLines).size()));
  const std::string text =
      "ERROR. Absolute maximum of database airport reached (>50000)\r\n\r\nThe Database will be "
      "created but not with all your airports.\r\nHow did you manage to have such an enormous "
      "amount ?\r\n Maybe it's time to clean a bit ?";
  EXPECT_EQ(platform->Only(Kind::Box),
            (std::vector<PlatformEvent>{{Kind::Box, BoxKind::Ok, "Error!", text}}));
  EXPECT_EQ(LogTexts(), text + "\n");
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_TRUE(StatusTexts().empty());
}

// The real decoders, a file at a time, with the table one line short of full.
class TableFullTest : public fixture::CoreTest {
 protected:
  TableFullTest() : saved_(BglSectionHandlers()) {
    BglSectionHandlers() = {ReadAirportSection, NoSection, NoSubstitution, ReadNameListSection};
    gState.Counters.AirportsStored = kTableLines - 1;
  }
  ~TableFullTest() override { BglSectionHandlers() = saved_; }

  static Flow NoSection(int) { return Flow::GoOn; }
  static void NoSubstitution() {}

  // A file whose airports are all named in its name list.
  std::string WriteFile(const std::string& name, const std::vector<const char*>& idents) {
    fixture::BglFile file;
    std::vector<fixture::ByteList> airports;
    fixture::NameListContent names;
    names.countries.names = {"Iceland"};
    names.airportNames.names = {"Keflavik"};
    for (const char* ident : idents) {
      fixture::AirportFixedPart fixed;
      fixed.ident = ShiftedIdent(ident);
      airports.push_back(fixture::AirportRecord(fixed, {fixture::Runway()}));
      names.entries.push_back({ShiftedIdent(ident), 0, 0, 0});
    }
    fixture::AddAirports(file.AddSection(kSectionAirport), airports);
    fixture::AddNameList(file.AddSection(kSectionNameList), fixture::NameListRecord(names));
    const std::string path = dir.Join(name);
    file.WriteTo(path);
    return path;
  }

 private:
  SectionHandlers saved_;
};

TEST_F(TableFullTest, OneLineTooManyAbandonsItsFileAndLaterFilesAreSkippedSilently) {
  const std::string full = WriteFile("full.bgl", {"BIKF", "BIAR", "BIEG"});
  const std::string later = WriteFile("later.bgl", {"ENGM"});
  DecodeBglFile(full);
  EXPECT_EQ(gState.Counters.AirportsStored, kTableLines);
  EXPECT_EQ(Line(kTableLines - 1).substr(12, 4), "BIKF");
  EXPECT_EQ(Line(kTableLines).substr(12, 4), "BIAR") << "the spare slot";
  EXPECT_EQ(platform->Only(Kind::Box).size(), 1u);
  EXPECT_TRUE(gState.CurrentBglFile.IsOpen()) << "abandoned: BIEG is never handed on";
  EXPECT_EQ(gState.ErrorCount, 1);

  platform->events.clear();
  DecodeBglFile(later);
  EXPECT_TRUE(platform->events.empty());
  EXPECT_EQ(TextOf(gState.CurrentBglPath), full) << "the later file is not even opened";
}

TEST_F(TableFullTest, TheLastLineOfItsFileFillsTheTableWithoutMessage) {
  const std::string filling = WriteFile("filling.bgl", {"BIKF"});
  const std::string later = WriteFile("later.bgl", {"ENGM"});
  DecodeBglFile(filling);
  DecodeBglFile(later);
  EXPECT_EQ(gState.Counters.AirportsStored, kTableLines);
  EXPECT_EQ(Line(kTableLines), "");
  EXPECT_TRUE(platform->Only(Kind::Box).empty());
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_EQ(TextOf(gState.CurrentBglPath), filling);
  EXPECT_FALSE(gState.CurrentBglFile.IsOpen());
}

}  // namespace
}  // namespace hangarscan
