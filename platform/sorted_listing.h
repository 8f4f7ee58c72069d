// A directory listing in the order NTFS gives: names compared byte by byte after folding a-z to
// A-Z, ties broken by the raw bytes. A symbolic link counts as what it points to; a dangling link
// counts as a file. Used where the system's own listing order is arbitrary.
#pragma once

#include <string>

#include "platform/platform.h"

namespace hangarscan {

bool ListSortedDirectory(const std::string& folder, const ListingVisitor& visit);

}  // namespace hangarscan
