#include "env/text.h"

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

}  // namespace hangarscan
