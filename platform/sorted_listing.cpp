#include "platform/sorted_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace hangarscan {
namespace {

struct Entry {
  std::string folded;  // a-z as A-Z: folded once, not in every comparison of the sort
  std::string name;
  bool isDirectory;
};

std::string FoldUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Strings compare their bytes as unsigned char, as the listing order wants.
bool ListedBefore(const Entry& a, const Entry& b) {
  if (a.folded != b.folded) return a.folded < b.folded;
  return a.name < b.name;
}

}  // namespace

bool ListSortedDirectory(const std::string& folder, const ListingVisitor& visit) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return false;
  std::vector<Entry> entries;
  for (const std::filesystem::directory_entry& entry : it) {
    std::error_code ignored;
    std::string name = entry.path().filename().string();
    entries.push_back({FoldUpper(name), std::move(name), entry.is_directory(ignored)});
  }
  std::sort(entries.begin(), entries.end(), ListedBefore);
  for (const Entry& entry : entries)
    visit(entry.name, entry.isDirectory);
  return true;
}

}  // namespace hangarscan
