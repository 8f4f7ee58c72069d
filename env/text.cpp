#include "env/text.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace hangarscan {

int FormatText(char* buffer, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(buffer, size, format, args);
  va_end(args);
  if (wanted < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<std::size_t>(wanted) < size ? wanted : static_cast<int>(size) - 1;
}

NumberText::NumberText(std::int64_t value, int width) {
  // The magnitude as unsigned, so the lowest value has one too.
  const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                            : static_cast<std::uint64_t>(value);
  std::array<char, 24> digits;
  const std::size_t count = static_cast<std::size_t>(
      std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr - digits.data());
  if (value < 0) text_[length_++] = '-';
  const std::size_t padded = static_cast<std::size_t>(std::clamp(width, 0, 24));
  while (length_ + count < padded)
    text_[length_++] = '0';
  std::copy_n(digits.data(), count, text_.data() + length_);
  length_ += count;
}

}  // namespace hangarscan
