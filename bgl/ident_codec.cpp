#include "bgl/ident_codec.h"

#include <algorithm>
#include <array>

namespace hangarscan {
namespace {

constexpr std::uint32_t kBase = 38;

using IdentDigits = std::array<char, kIdentTextBytes>;

// A digit of 38 can come out of both families (an exact power of 38); it prints as '['.
char TopDownCharacter(std::uint32_t digit) {
  if (digit < 2) return ' ';
  return static_cast<char>(digit < 12 ? digit + 46 : digit + 53);
}

char BottomUpCharacter(std::uint32_t digit) {
  return static_cast<char>(digit >= 2 && digit < 12 ? digit + 46 : digit + 53);
}

void WriteIdent(std::span<char> text, const char* ident, std::size_t length) {
  if (text.empty()) return;
  length = std::min(length, text.size() - 1);
  std::copy_n(ident, length, text.begin());
  text[length] = '\0';
}

bool DecodeBottomUp(std::span<char> text, std::uint32_t number) {
  std::array<std::uint32_t, kIdentTextBytes> digits{};
  std::size_t count = 0;
  // Stops at 38, not below: a last number of exactly 38 stays one digit.
  while (number > kBase) {
    const std::uint32_t digit = number % kBase;
    digits[count++] = digit;
    number = (number - digit) / kBase;
  }
  digits[count++] = number;
  IdentDigits ident{};
  std::size_t length = 0;
  if (std::find(digits.begin(), digits.begin() + count, 0u) == digits.begin() + count) {
    while (count > 0)
      ident[length++] = BottomUpCharacter(digits[--count]);
  }
  WriteIdent(text, ident.data(), length);
  return true;
}

}  // namespace

bool DecodeICAONAME(std::span<char> text, std::uint32_t field) {
  if (field == 0) return false;
  std::uint32_t number = field >> 5;
  std::uint32_t divisor = kBase;
  while (divisor < number)
    divisor *= kBase;
  divisor /= kBase;
  IdentDigits ident{};
  std::size_t length = 0;
  for (; divisor != 0; divisor /= kBase) {
    ident[length++] = TopDownCharacter(number / divisor);
    number %= divisor;
  }
  WriteIdent(text, ident.data(), length);
  return true;
}

bool DecodeIdentRaw(std::span<char> text, std::uint32_t field) {
  if (field == 0) return false;
  return DecodeBottomUp(text, field);
}

bool DecodeIdentShifted(std::span<char> text, std::uint32_t field) {
  if (field == 0) return false;
  return DecodeBottomUp(text, field >> 5);
}

}  // namespace hangarscan
