// The case-blind substring search shared by the scenery walk (".bgl" in a file name) and the ILS
// substitution.
#pragma once

#include <cstddef>
#include <string_view>

namespace hangarscan {

// Position of the first occurrence of pattern in text, letters A to Z compared as a to z and
// every other byte as it is; npos when there is none. An empty pattern never matches.
std::size_t FindNoCase(std::string_view text, std::string_view pattern);

}  // namespace hangarscan
