// Zero-terminated texts in fixed buffers, the shape every stored text of the program has.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__MINGW32__)
#define HS_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define HS_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define HS_PRINTF_FORMAT(fmt, args)
#endif

namespace hangarscan {

// snprintf that never overruns: returns the length written, at most size - 1.
int FormatText(char* buffer, std::size_t size, const char* format, ...) HS_PRINTF_FORMAT(3, 4);

// A number as "%i" prints it, or as "%0*i" with a width: zeros after the sign up to the width.
// For the texts built per record, where a format would cost more than the rest of the record.
class NumberText {
 public:
  explicit NumberText(std::int64_t value, int width = 0);
  std::string_view view() const { return {text_.data(), length_}; }

 private:
  std::array<char, 48> text_;
  std::size_t length_ = 0;
};

// The text of a zero-terminated buffer (all of it when no terminator is inside).
template <std::size_t N>
std::string_view TextOf(const std::array<char, N>& buffer) {
  return {buffer.data(), strnlen(buffer.data(), N)};
}

// Copies text into a buffer, cut to fit with its terminator.
template <std::size_t N>
void CopyText(std::array<char, N>& buffer, std::string_view text) {
  const std::size_t length = text.size() < N ? text.size() : N - 1;
  std::memcpy(buffer.data(), text.data(), length);
  buffer[length] = '\0';
}

// Copies text whole into a buffer; when it does not fit with its terminator the buffer is left
// empty and the answer is false.
template <std::size_t N>
bool CopyWhole(std::array<char, N>& buffer, std::string_view text) {
  if (text.size() >= N) {
    buffer[0] = '\0';
    return false;
  }
  CopyText(buffer, text);
  return true;
}

}  // namespace hangarscan
