// The scenery walk: every file below a folder whose name contains ".bgl" is handed to
// DecodeBglFile the moment the listing returns it, depth-first, in listing order.
#pragma once

#include <string>

namespace hangarscan {

// Entries whose name begins with a full stop are skipped; folders are walked, never decoded. A
// folder that cannot be listed, or whose path would be longer than a path may be, is reported
// once and skipped.
void WalkScenery(const std::string& folder);

}  // namespace hangarscan
