#include "bgl/ident_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace hangarscan {
namespace {

using Decoder = bool (*)(std::span<char>, std::uint32_t);

struct Case {
  const char* decoder;
  Decoder decode;
  std::uint32_t field;
  std::string expected;
};

TEST(IdentCodecTest, DecodesEachFieldTheWayItsFilesWereWritten) {
  const Case cases[] = {
      {"ICAONAME", DecodeICAONAME, 40035968, "KSEA"},
      {"ICAONAME", DecodeICAONAME, 40035999, "KSEA"},  // bits 4 to 0 ignored
      {"ICAONAME", DecodeICAONAME, 1, " "},            // number 0: one blank
      {"ICAONAME", DecodeICAONAME, 31, " "},
      {"ICAONAME", DecodeICAONAME, 554880, "A A"},  // a blank digit inside
      {"ICAONAME", DecodeICAONAME, 4294967295u, " OC JF"},
      {"ICAONAME", DecodeICAONAME, 38u << 5, "["},
      {"ICAONAME", DecodeICAONAME, (38u * 38u) << 5, "[ "},  // an exact power of 38
      {"ICAONAME", DecodeICAONAME, (12u * 38u) << 5, "A "},  // a blank digit at the end
      {"Raw", DecodeIdentRaw, 1251124, "KSEA"},
      {"Raw", DecodeIdentRaw, 4294967295u, "6E5SG13"},
      {"Raw", DecodeIdentRaw, 1, "6"},
      {"Raw", DecodeIdentRaw, 17340, ""},  // a 0 digit empties the result
      {"Raw", DecodeIdentRaw, 38, "["},
      {"Raw", DecodeIdentRaw, 39, "66"},
      {"Shifted", DecodeIdentShifted, 40035968, "KSEA"},
      {"Shifted", DecodeIdentShifted, 31, ""},
      {"Shifted", DecodeIdentShifted, 4294967295u, ""},
      {"Shifted", DecodeIdentShifted, 38u << 5, "["},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.decoder) + " " + std::to_string(c.field));
    std::array<char, kIdentTextBytes> text;
    text.fill('x');
    EXPECT_TRUE(c.decode(text, c.field));
    EXPECT_EQ(std::string(text.data()), c.expected);
  }
}

TEST(IdentCodecTest, FieldZeroFailsOnEveryDecoderAndWritesNothing) {
  for (Decoder decode : {DecodeICAONAME, DecodeIdentRaw, DecodeIdentShifted}) {
    std::array<char, kIdentTextBytes> text;
    text.fill('x');
    EXPECT_FALSE(decode(text, 0));
    EXPECT_EQ(std::string(text.data(), text.size()), "xxxxxxxx");
  }
}

TEST(IdentCodecTest, ABufferTooSmallGetsTheTextCutWithItsTerminator) {
  std::array<char, 4> text;
  text.fill('x');
  EXPECT_TRUE(DecodeIdentRaw(text, 4294967295u));
  EXPECT_EQ(std::string(text.data()), "6E5");
}

}  // namespace
}  // namespace hangarscan
