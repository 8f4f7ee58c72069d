#include "bgl/ils_substitution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "bgl/ils_section.h"
#include "env/text.h"
#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/navaid_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;
using Strings = std::vector<std::string>;

const std::string kPrimarySea = "$ILSREPLACESTOUT1:ISEA$";
const std::string kSecondarySea = "$ILSREPLACESTOUT2:ISEA$";

class IlsSubstitutionTest : public fixture::CoreTest {
 protected:
  IlsSubstitutionTest() { CopyText(gState.CurrentBglPath, "scenery/world/APX47110.bgl"); }

  // The file's slots: each runway text, with IlsPending set where it holds a placeholder.
  static void Slots(const Strings& runwayTexts) {
    gBgl.iAirpNmbr = static_cast<std::int32_t>(runwayTexts.size());
    for (std::size_t s = 0; s < runwayTexts.size(); ++s) {
      CopyText(gAirportSlots[s].RunwayText, runwayTexts[s]);
      gAirportSlots[s].IlsPending = runwayTexts[s].find("$ILSREPL") != std::string::npos;
    }
  }
  static void Fragments(const Strings& fragments) {
    gBgl.IlsFragmentCount = static_cast<std::int32_t>(fragments.size());
    for (std::size_t f = 0; f < fragments.size(); ++f)
      CopyText(gIlsFragmentTable[f], fragments[f]);
  }
  static std::string RunwayText(int s) { return std::string(TextOf(gAirportSlots[s].RunwayText)); }
  static std::string Fragment(int f) { return std::string(TextOf(gIlsFragmentTable[f])); }

  std::vector<PlatformEvent> MismatchReport(int replacements, int placeholders) const {
    return {
        {Kind::Box, BoxKind::Ok, "Error!",
         "Error Some ILS data not replaced, database may be corrupted - See log file"},
        {Kind::Log, BoxKind::Ok, "",
         "Error Some ILS data not replaced, database may be corrupted see data:  data1: " +
             std::to_string(replacements) + " data2: " + std::to_string(placeholders) + "\n"},
        {Kind::Log, BoxKind::Ok, "", "Error was found in this BGL : scenery/world/APX47110.bgl\n"},
    };
  }
};

TEST_F(IlsSubstitutionTest, TheFragmentOfTheSameIdentTakesThePlaceOfThePlaceholder) {
  Slots(
      {"\x80"
       "132;@R4,3627,16L,34R" +
       kPrimarySea + ";"});
  Fragments({"$*ISEA,110300,89$"});
  gBgl.IlsPlaceholderCount = 1;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0),
            "\x80"
            "132;@R4,3627,16L,34R$1ISEA,110300,89$;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 0);
  EXPECT_EQ(Fragment(0), "") << "a fragment serves one slot";
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(IlsSubstitutionTest, PlaceholdersWithoutIlsRecordsStayAndAreReported) {
  Slots({"@R1,2,3,4" + kPrimarySea + ";", "@R1,2,3,4$ILSREPLACESTOUT2:IBFI$;"});
  Fragments({});
  gBgl.IlsPlaceholderCount = 2;
  SubstituteIlsData();
  EXPECT_EQ(platform->events, MismatchReport(0, 2));
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_EQ(RunwayText(0), "@R1,2,3,4" + kPrimarySea + ";");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 1);
  EXPECT_EQ(gAirportSlots[1].IlsPending, 1);
}

TEST_F(IlsSubstitutionTest, WithoutPlaceholdersNothingIsExamined) {
  // Even a slot whose flag and placeholder were left by an earlier file.
  Slots({"@R1,2,3,4" + kPrimarySea + ";"});
  Fragments({"$*ISEA,110300,89$"});
  gBgl.IlsPlaceholderCount = 0;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R1,2,3,4" + kPrimarySea + ";");
  EXPECT_EQ(Fragment(0), "$*ISEA,110300,89$");
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(IlsSubstitutionTest, OneFragmentServesBothEndsOfARunwayEachWithItsDigit) {
  Slots({"@R4,3627,16L,34R" + kPrimarySea + kSecondarySea + ";"});
  Fragments({"$*ISEA,110300,89$"});
  gBgl.IlsPlaceholderCount = 2;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R4,3627,16L,34R$1ISEA,110300,89$$2ISEA,110300,89$;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 0);
  EXPECT_TRUE(platform->events.empty()) << "two replacements for two placeholders";
}

TEST_F(IlsSubstitutionTest, ThePlaceholderTwiceInOneSlotIsReplacedTwiceButCountedOnce) {
  Slots({"@R4,1,16L,34R" + kPrimarySea + ";@R4,2,16R,34L" + kPrimarySea + ";"});
  Fragments({"$*ISEA,110300,89$"});
  gBgl.IlsPlaceholderCount = 2;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R4,1,16L,34R$1ISEA,110300,89$;@R4,2,16R,34L$1ISEA,110300,89$;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 0);
  EXPECT_EQ(platform->events, MismatchReport(1, 2)) << "although no placeholder is left";
}

TEST_F(IlsSubstitutionTest, FragmentsServeTheLowestPendingSlotInTableOrder) {
  Slots({"@R1" + kPrimarySea + ";", "@R2" + kPrimarySea + ";", "@R3" + kPrimarySea + ";"});
  gAirportSlots[0].IlsPending = 0;  // passed over although it holds the placeholder
  Fragments({"$*ISEA,110300,10$", "$*ISEA,110300,20$"});
  gBgl.IlsPlaceholderCount = 2;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R1" + kPrimarySea + ";");
  EXPECT_EQ(RunwayText(1), "@R2$1ISEA,110300,10$;");
  EXPECT_EQ(RunwayText(2), "@R3$1ISEA,110300,20$;");
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(IlsSubstitutionTest, IdentsMatchWholeAndAnUnservedPlaceholderKeepsItsSlotPending) {
  Slots({"@R1$ILSREPLACESTOUT1:IAB$;@R2$ILSREPLACESTOUT2:IABC$;"});
  Fragments({"$*IABC,108100,10$", "$*IAB,108200,20$", "$*IAB,108300,30$"});
  gBgl.IlsPlaceholderCount = 3;  // a third placeholder no fragment serves
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R1$1IAB,108200,20$;@R2$2IABC,108100,10$;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 0);
  EXPECT_EQ(Fragment(2), "$*IAB,108300,30$") << "no placeholder left for it";
  EXPECT_EQ(platform->events, MismatchReport(2, 3));
}

TEST_F(IlsSubstitutionTest, LaterFragmentsStayUnusedOnceEveryPlaceholderIsServed) {
  Slots({"@R1" + kPrimarySea + ";", "@R2$ILSREPLACESTOUT1:IBFI$;", "@R3" + kSecondarySea + ";"});
  gAirportSlots[2].IlsPending = 1;
  Fragments({"$*ISEA,110300,89$", "$*IPDX,111100,100$", "$*IBFI,109900,135$", "$*ISEA,110300,90$"});
  gBgl.IlsPlaceholderCount = 2;  // the third slot's placeholder is stale
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R1$1ISEA,110300,89$;");
  EXPECT_EQ(RunwayText(1), "@R2$1IBFI,109900,135$;");
  EXPECT_EQ(RunwayText(2), "@R3" + kSecondarySea + ";") << "nothing examined after the count";
  EXPECT_EQ(gAirportSlots[2].IlsPending, 1);
  EXPECT_EQ(Fragment(1), "$*IPDX,111100,100$");
  EXPECT_EQ(Fragment(3), "$*ISEA,110300,90$");
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(IlsSubstitutionTest, AnEmptyIdentServesNoPlaceholder) {
  // A runway reference with a blank digit decodes to an empty ident, as does an ILS of ident 0.
  Slots({"@R1$ILSREPLACESTOUT1:$;"});
  Fragments({"$*,110300,89$"});
  gBgl.IlsPlaceholderCount = 1;
  SubstituteIlsData();
  EXPECT_EQ(RunwayText(0), "@R1$ILSREPLACESTOUT1:$;");
  EXPECT_EQ(Fragment(0), "$*,110300,89$");
  EXPECT_EQ(platform->events, MismatchReport(0, 1));
}

TEST_F(IlsSubstitutionTest, AReplacementThatWouldOutgrowTheRunwayTextIsNotMade) {
  // A heading outside any turn makes the fragment four characters longer than its placeholder.
  const std::string fragment = "$*ISEA,4294967,-2147483288$";
  for (std::size_t length : {2047u, 2048u}) {
    SCOPED_TRACE(length);
    platform->events.clear();
    const std::string head(length - 4 - kPrimarySea.size() - 1, '@');
    Slots({head + kPrimarySea + ";", "@R2" + kPrimarySea + ";"});
    Fragments({fragment});
    gBgl.IlsPlaceholderCount = 2;
    SubstituteIlsData();
    if (length == 2047) {
      EXPECT_EQ(RunwayText(0), head + "$1ISEA,4294967,-2147483288$;");
      EXPECT_EQ(RunwayText(1), "@R2" + kPrimarySea + ";");
    } else {
      EXPECT_EQ(RunwayText(0), head + kPrimarySea + ";") << "as if it held no placeholder";
      EXPECT_EQ(gAirportSlots[0].IlsPending, 1);
      EXPECT_EQ(RunwayText(1), "@R2$1ISEA,4294967,-2147483288$;") << "the next slot takes it";
    }
    EXPECT_EQ(platform->events, MismatchReport(1, 2));
  }
}

TEST(ReplaceAllNoCaseTest, ReplacesEveryOccurrenceFoundCaseBlindWithoutSearchingTheInsertedText) {
  struct Case {
    const char *text, *pattern, *replacement, *result;
  };
  const Case cases[] = {
      {"aXbxc", "x", "--", "a--b--c"},
      {"aXbxc", "x", "xx", "axxbxxc"},
      {"aXbxc", "", "--", "aXbxc"},
      {"aXbxc", "y", "--", "aXbxc"},
      {"", "x", "--", ""},
      {"$ilsREPL$ILSREPL", "$ILSrepl", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto result = ReplaceAllNoCase(c.text, c.pattern, c.replacement);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, c.result);
    EXPECT_EQ(result->data(), gState.MessageScratch.data());
    EXPECT_EQ(gState.MessageScratch[result->size()], '\0');
  }
}

TEST(ReplaceAllNoCaseTest, GivesNoResultThatWouldNotFitTheScratch) {
  const std::string text(kMessageScratchBytes / 2, 'x');
  EXPECT_EQ(ReplaceAllNoCase(text, "x", "xy"), std::nullopt);
  const std::string fits(kMessageScratchBytes / 2 - 1, 'x');
  EXPECT_EQ(ReplaceAllNoCase(fits, "x", "xy")->size(), kMessageScratchBytes - 2u);
}

// A whole file: the navaid section before the airport section, the substitution between the
// passes.
TEST_F(IlsSubstitutionTest, ADecodedFileCarriesTheIlsDataOfItsOwnNavaids) {
  fixture::BglFile file;
  fixture::AddNavaids(file.AddSection(kSectionNavaid),
                      {fixture::Ils("ISEA", 110300000, 356.0f, 93.4f),
                       fixture::Ils("IBFI", 109900000, 0.0f, 135.0f)});
  fixture::RunwaySubRecord runway;
  runway.primaryIls = fixture::IdentNumber("ISEA");
  runway.secondaryIls = fixture::IdentNumber("IBFI");
  fixture::AirportFixedPart airport;
  airport.altitude = 132000;
  fixture::AddAirports(file.AddSection(kSectionAirport),
                       {fixture::AirportRecord(airport, {fixture::Runway(runway)})});
  const std::string path = dir.Join("APX47110.bgl");
  file.WriteTo(path);
  DecodeBglFile(path);
  EXPECT_EQ(RunwayText(0),
            "\x80"
            "1320;@R4,3627,16L,34R$1ISEA,110300,89$$2IBFI,109900,135$;");
  EXPECT_EQ(gAirportSlots[0].IlsPending, 0);
  EXPECT_EQ(gState.Counters.IlsFound, 2);
  EXPECT_EQ(gState.ErrorCount, 0);
}

}  // namespace
}  // namespace hangarscan
