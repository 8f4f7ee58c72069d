#include "bgl/com_fragment.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "refresh/refresh_state.h"
#include "tests/support/airport_records.h"
#include "tests/support/test_env.h"

namespace hangarscan {
namespace {

using Kind = PlatformEvent::Kind;

class ComFragmentTest : public fixture::CoreTest {
 protected:
  ComFragmentTest() { cComData.Clear(); }

  Flow Append(std::uint16_t type, std::uint32_t hertz) {
    const std::vector<std::uint8_t> bytes = fixture::Com(type, hertz);
    return AppendComFragment(bytes, cComData);
  }
  std::string Text() const { return std::string(cComData.view()); }

  // 153 fragments "~4294.967,15;" (13 characters) and one "~118.700,<type>;": 2,000 characters
  // for a type of one digit.
  Flow AppendComsEndingWithType(std::uint16_t type) {
    for (int i = 0; i < 153; ++i) {
      if (Append(15, 4294967295u) != Flow::GoOn) return Flow::Abandon;
    }
    return Append(type, 118700000);
  }

  FragmentText<kFragmentTextBytes> cComData;
};

TEST_F(ComFragmentTest, RendersTheFrequencyInMegahertzAndTheType) {
  struct Case {
    std::uint16_t type;
    std::uint32_t hertz;
    const char* fragment;
  };
  const Case cases[] = {{6, 118700000, "~118.700,6;"},
                        {1, 131725000, "~131.725,1;"},
                        {3, 0, "~0.000,3;"},
                        {15, 4294967295u, "~4294.967,15;"},
                        {2, 118000500, "~118.000,2;"}};  // single precision: not 118.001
  std::string all;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fragment);
    ASSERT_EQ(Append(c.type, c.hertz), Flow::GoOn);
    all += c.fragment;
    EXPECT_EQ(Text(), all);
  }
  EXPECT_EQ(gState.Counters.ComsFound, 5);
}

TEST_F(ComFragmentTest, TypesOutsideOneToFifteenAreIgnored) {
  for (std::uint16_t type : {0, 16, 65535}) {
    EXPECT_EQ(Append(type, 118700000), Flow::GoOn);
  }
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(gState.Counters.ComsFound, 0);
}

TEST_F(ComFragmentTest, TheSameFrequencyTwiceGivesTwoFragments) {
  Append(6, 118700000);
  Append(6, 118700000);
  EXPECT_EQ(Text(), "~118.700,6;~118.700,6;");
}

TEST_F(ComFragmentTest, ExactlyTwoThousandCharactersPass) {
  EXPECT_EQ(AppendComsEndingWithType(6), Flow::GoOn);
  EXPECT_EQ(cComData.size(), 2000u);
  EXPECT_EQ(gState.Counters.ComsFound, 154);
  EXPECT_TRUE(platform->events.empty());
}

TEST_F(ComFragmentTest, TwoThousandAndOneCharactersAbandonTheFileWithADump) {
  EXPECT_EQ(AppendComsEndingWithType(10), Flow::Abandon);
  const std::string text = Text();
  ASSERT_EQ(text.size(), 2001u);
  EXPECT_EQ(gState.Counters.ComsFound, 153) << "the fragment that overflows is not counted";
  EXPECT_EQ(gState.ErrorCount, 1);
  const std::vector<PlatformEvent> expected = {
      {Kind::Box, BoxKind::Ok, "Error!", "ERROR ! cComData>2000 - bypassing BGL see Log file!"},
      {Kind::Log, BoxKind::Ok, "", "ERROR ! cComData>2000 - bypassing BGL, dump starting:\n"},
      {Kind::Log, BoxKind::Ok, "", "cComData:" + text + "\n"},
      {Kind::Log, BoxKind::Ok, "", "Dump end\n"},
  };
  EXPECT_EQ(platform->events, expected);
}

// The frequency text is built without printf; it must be what "%.3f" prints, ties included
// (62,500 Hz is 0.0625 MHz exactly, which rounds to the even 0.062).
TEST(MegahertzTextTest, IsWhatPrintfPrintsForEveryKindOfFrequency) {
  std::vector<std::uint32_t> hertz = {0, 1, 499, 500, 501, 62500, 187500, 118000500, 4294967295u};
  for (std::uint32_t h = 0; h < 4294967295u - 25000; h += 25000)
    hertz.push_back(h);
  std::uint64_t state = 1;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    hertz.push_back(static_cast<std::uint32_t>(state >> 32) >> (i % 24));
  }
  for (const std::uint32_t h : hertz) {
    std::array<char, 64> expected;
    std::snprintf(expected.data(), expected.size(), "%.3f", ComMegahertz(h));
    ASSERT_EQ(MegahertzText(h).view(), expected.data()) << h;
  }
}

}  // namespace
}  // namespace hangarscan
