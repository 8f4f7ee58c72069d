#include "platform/sorted_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace hangarscan {
namespace {

struct Entry {
  std::string name;
  bool isDirectory;
};

unsigned char FoldUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool ListedBefore(const Entry& a, const Entry& b) {
  const auto folded = [](unsigned char x, unsigned char y) { return FoldUpper(x) < FoldUpper(y); };
  const auto* a0 = reinterpret_cast<const unsigned char*>(a.name.data());
  const auto* b0 = reinterpret_cast<const unsigned char*>(b.name.data());
  if (std::lexicographical_compare(a0, a0 + a.name.size(), b0, b0 + b.name.size(), folded))
    return true;
  if (std::lexicographical_compare(b0, b0 + b.name.size(), a0, a0 + a.name.size(), folded))
    return false;
  return std::lexicographical_compare(a0, a0 + a.name.size(), b0, b0 + b.name.size());
}

}  // namespace

bool ListSortedDirectory(const std::string& folder, const ListingVisitor& visit) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return false;
  std::vector<Entry> entries;
  for (const std::filesystem::directory_entry& entry : it) {
    std::error_code ignored;
    entries.push_back({entry.path().filename().string(), entry.is_directory(ignored)});
  }
  std::sort(entries.begin(), entries.end(), ListedBefore);
  for (const Entry& entry : entries)
    visit(entry.name, entry.isDirectory);
  return true;
}

}  // namespace hangarscan
