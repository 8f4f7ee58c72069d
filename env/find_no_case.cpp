#include "env/find_no_case.h"

namespace hangarscan {
namespace {

constexpr char FoldLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view text, std::size_t start, std::string_view pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (FoldLower(text[start + i]) != FoldLower(pattern[i])) return false;
  }
  return true;
}

}  // namespace

std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return std::string_view::npos;
  for (std::size_t start = 0; start + pattern.size() <= text.size(); ++start) {
    if (MatchesAt(text, start, pattern)) return start;
  }
  return std::string_view::npos;
}

}  // namespace hangarscan
