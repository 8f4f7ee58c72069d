#include "env/find_no_case.h"

#include <gtest/gtest.h>

#include <string_view>

namespace hangarscan {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

struct FindCase {
  std::string_view text;
  std::string_view pattern;
  std::size_t expected;
};

class FindNoCaseTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNoCaseTest, FindsTheFirstOccurrence) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindNoCase(c.text, c.pattern), c.expected) << c.text << " / " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindNoCaseTest,
    ::testing::Values(FindCase{"AIRPORT.BGL", ".bgl", 7}, FindCase{"a.Bgl", ".bgl", 1},
                      FindCase{"x.bgl.bak", ".bgl", 1}, FindCase{"readme.txt", ".bgl", kNone},
                      // The first of several, whatever the case of each.
                      FindCase{"a.BGL.bgl", ".bgl", 1},
                      // A partial match that fails does not hide a match starting inside it.
                      FindCase{"..bgl", ".bgl", 1}, FindCase{"aaab", "aab", 1},
                      // The pattern must fit whole; at the very end it still matches.
                      FindCase{".bg", ".bgl", kNone}, FindCase{"x.bgl", ".BGL", 1},
                      // Only A to Z fold: other bytes, accented ones too, compare as they are.
                      FindCase{"[", "{", kNone}, FindCase{"@", "`", kNone},
                      FindCase{"\xC9", "\xE9", kNone}, FindCase{"a\xC9z", "\xC9Z", 1},
                      // An empty pattern never matches; an empty text yields none.
                      FindCase{"abc", "", kNone}, FindCase{"", "", kNone},
                      FindCase{"", "a", kNone}));

}  // namespace
}  // namespace hangarscan
