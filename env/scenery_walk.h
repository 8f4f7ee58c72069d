// The scenery walk: every file below a folder whose name contains ".bgl" is handed to
// DecodeBglFile the moment the listing returns it, depth-first, in listing order.
#pragma once

#include <string>
#include <string_view>

#include "bgl/bgl_file.h"

namespace hangarscan {

// Entries whose name begins with a full stop are skipped; folders are walked, never decoded. A
// folder that cannot be listed, or whose path would be longer than a path may be, is reported
// once and skipped.
using BglFileAction = void (*)(std::string_view path);

// The benchmark's I/O floor walks the same tree in the same order with an action of its own.
void WalkScenery(const std::string& folder, BglFileAction onBglFile = DecodeBglFile);

}  // namespace hangarscan
