#include "env/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace hangarscan {
namespace {

// NumberText stands in for "%lli" and "%0*lli" where a record's text is built.
TEST(NumberTextTest, PrintsAsPrintfDoes) {
  struct Case {
    std::int64_t value;
    int width;
  };
  const Case cases[] = {
      {0, 0},
      {7, 0},
      {-7, 0},
      {123456, 6},
      {12, 6},
      {-12, 6},
      {-123456, 6},
      {1234567, 6},
      {0, 3},
      {5, 3},
      {999, 3},
      {-1, 1},
      {std::numeric_limits<std::int64_t>::min(), 0},
      {std::numeric_limits<std::int64_t>::max(), 24},
  };
  for (const Case& c : cases) {
    std::array<char, 64> expected;
    std::snprintf(expected.data(), expected.size(), "%0*lli", c.width,
                  static_cast<long long>(c.value));
    EXPECT_EQ(NumberText(c.value, c.width).view(), expected.data()) << c.value << " " << c.width;
  }
}

}  // namespace
}  // namespace hangarscan
