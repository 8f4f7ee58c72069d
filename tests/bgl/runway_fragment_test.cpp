#include "bgl/runway_fragment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bgl/bgl_file.h"
#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using fixture::RunwaySubRecord;
using Kind = PlatformEvent::Kind;

class RunwayFragmentTest : public fixture::CoreTest {
 protected:
  RunwayFragmentTest() { airport.Reset(); }

  Flow Append(const RunwaySubRecord& runway) {
    const std::vector<std::uint8_t> bytes = fixture::Runway(runway);
    return AppendRunwayFragment(bytes, airport);
  }
  std::string Text() const { return std::string(airport.cRunwayData.view()); }

  // A runway whose fragment "@R65535,<length>,1,1;" has `characters` characters (14 to 23).
  static RunwaySubRecord RunwayOfLength(int characters) {
    RunwaySubRecord runway;
    runway.surface = 65535;
    runway.primaryNumber = runway.secondaryNumber = 1;
    runway.primaryDesignator = runway.secondaryDesignator = 0;
    runway.length = static_cast<float>(std::pow(10.0, characters - 14));
    return runway;
  }

  // The altitude field "\x80" "0;" (3), 86 fragments of 23 and one of `last`: 2,000 characters
  // for a last of 19.
  Flow AppendRunwaysEndingWith(int last) {
    for (int i = 0; i < 86; ++i) {
      if (Append(RunwayOfLength(23)) != Flow::GoOn) return Flow::Abandon;
    }
    return Append(RunwayOfLength(last));
  }

  AirportWork airport;
};

TEST_F(RunwayFragmentTest, TheFirstRunwayWritesTheAltitudeFieldBeforeItsFragment) {
  airport.Altitude = 123456;
  ASSERT_EQ(Append({}), Flow::GoOn);
  EXPECT_EQ(Text(),
            "\x80"
            "1234;@R4,3627,16L,34R;");
  RunwaySubRecord second;
  second.surface = 1;
  second.primaryNumber = 9;
  second.secondaryNumber = 27;
  second.primaryDesignator = second.secondaryDesignator = 0;
  second.length = 1200.0f;
  ASSERT_EQ(Append(second), Flow::GoOn);
  EXPECT_EQ(Text(),
            "\x80"
            "1234;@R4,3627,16L,34R;@R1,1200,9,27;");
  EXPECT_EQ(airport.RunwayCount, 2);
  EXPECT_EQ(gState.Counters.RunwaysFound, 2);
  EXPECT_EQ(airport.IlsFlag, 0);
  EXPECT_EQ(gBgl.IlsPlaceholderCount, 0);
}

TEST_F(RunwayFragmentTest, IlsReferencesBecomePlaceholdersBeforeTheClosingSemicolon) {
  RunwaySubRecord primary;
  primary.primaryIls = fixture::IdentNumber("ISEA");
  ASSERT_EQ(Append(primary), Flow::GoOn);
  EXPECT_EQ(Text(),
            "\x80"
            "0;@R4,3627,16L,34R$ILSREPLACESTOUT1:ISEA$;");
  EXPECT_EQ(airport.IlsFlag, 1);
  EXPECT_EQ(gBgl.IlsPlaceholderCount, 1);

  RunwaySubRecord both;
  both.primaryIls = fixture::IdentNumber("IAB");
  both.secondaryIls = fixture::IdentNumber("IXY1");
  ASSERT_EQ(Append(both), Flow::GoOn);
  EXPECT_EQ(Text(),
            "\x80"
            "0;@R4,3627,16L,34R$ILSREPLACESTOUT1:ISEA$;"
            "@R4,3627,16L,34R$ILSREPLACESTOUT1:IAB$$ILSREPLACESTOUT2:IXY1$;");
  EXPECT_EQ(gBgl.IlsPlaceholderCount, 3);
}

TEST_F(RunwayFragmentTest, EndNamesComeFromTheTablesWithOutOfRangeBytesOnTheirLastEntry) {
  struct Case {
    std::uint8_t number, designator;
    const char* name;
  };
  const Case cases[] = {{0, 0, "0"},    {36, 3, "36C"}, {37, 4, "nW"},  {38, 5, "neA"},
                        {39, 6, "eB"},  {40, 7, "se"},  {41, 14, "s"},  {42, 15, "sw"},
                        {43, 255, "w"}, {44, 1, "nwL"}, {45, 2, "nwR"}, {255, 0, "nw"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    airport.Reset();
    RunwaySubRecord runway;
    runway.primaryNumber = runway.secondaryNumber = c.number;
    runway.primaryDesignator = runway.secondaryDesignator = c.designator;
    ASSERT_EQ(Append(runway), Flow::GoOn);
    EXPECT_EQ(Text(),
              "\x80"
              "0;@R4,3627," +
                  std::string(c.name) + "," + c.name + ";");
  }
}

TEST(RunwayLengthValueTest, TruncatesTowardZeroAndGivesTheLowestIntOutsideTheRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  struct Case {
    float length;
    std::int32_t value;
  };
  const Case cases[] = {{3627.9f, 3627},
                        {-0.5f, 0},
                        {-3627.9f, -3627},
                        {2147483520.0f, 2147483520},  // the largest float below 2^31
                        {2147483648.0f, INT32_MIN},
                        {-2147483648.0f, INT32_MIN},  // in range: exactly the lowest int
                        {-2147483904.0f, INT32_MIN},
                        {nan, INT32_MIN},
                        {infinity, INT32_MIN},
                        {-infinity, INT32_MIN}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    EXPECT_EQ(RunwayLengthValue(c.length), c.value);
  }
}

TEST(AltitudeValueTest, DividesByOneHundredAndTruncatesTowardZero) {
  EXPECT_EQ(AltitudeValue(-5099), -50);
  EXPECT_EQ(AltitudeValue(123456), 1234);
  EXPECT_EQ(AltitudeValue(99), 0);
  EXPECT_EQ(AltitudeValue(-99), 0);
  EXPECT_EQ(AltitudeValue(INT32_MIN), -21474836);
}

TEST_F(RunwayFragmentTest, ExactlyTwoThousandCharactersPass) {
  EXPECT_EQ(AppendRunwaysEndingWith(19), Flow::GoOn);
  EXPECT_EQ(airport.cRunwayData.size(), 2000u);
  EXPECT_EQ(gState.ErrorCount, 0);
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(RunwayFragmentTest, TwoThousandAndOneCharactersAbandonTheFileWithADump) {
  EXPECT_EQ(AppendRunwaysEndingWith(20), Flow::Abandon);
  const std::string text = Text();
  ASSERT_EQ(text.size(), 2001u);
  EXPECT_EQ(gState.ErrorCount, 1);
  EXPECT_EQ(gState.Counters.RunwaysFound, 87) << "the runway is counted before the check";
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error!",
       "ERROR ! cRunwayData)>2000 ! - bypassing BGL see Log file"},
      {Kind::Log, BoxKind::Ok, "",
       "ERROR cRunwayData)>2000 - bypassing BGL dump starting:" + text + "\n"},
      {Kind::Log, BoxKind::Ok, "", "cRunwayData: " + text + "\n"},
      {Kind::Log, BoxKind::Ok, "", "Dump end\n"},
  };
  EXPECT_EQ(platform->events, expected);
}

}  // namespace
}  // namespace hangarscan
