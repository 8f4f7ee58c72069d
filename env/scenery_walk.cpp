#include "env/scenery_walk.h"

#include <algorithm>
#include <array>

#include "bgl/bgl_file.h"
#include "env/find_no_case.h"
#include "env/run_log.h"
#include "platform/file_io.h"
#include "platform/platform.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

// The folders being walked, outermost first. Each level adds a separator and a name to a path of
// at most 259 characters, so no walk goes deeper than this.
std::array<FolderId, kMaxPathLength / 2 + 1> g_walking;
std::size_t g_depth = 0;

// A folder met again inside itself, through a link or junction, would be walked again and again
// until its path outgrew the limit; with two such links, 2^n times.
bool IsBeingWalked(const std::string& folder, FolderId& id) {
  if (!IdentifyFolder(folder, id)) return false;
  return std::find(g_walking.begin(), g_walking.begin() + g_depth, id) !=
         g_walking.begin() + g_depth;
}

// Keeps the folder's identity on the walk's stack while it is listed.
class Walking {
 public:
  explicit Walking(const FolderId& id) { g_walking[g_depth++] = id; }
  ~Walking() { --g_depth; }
  Walking(const Walking&) = delete;
  Walking& operator=(const Walking&) = delete;
};

}  // namespace

void WalkScenery(const std::string& folder, BglFileAction onBglFile) {
  // One child path per level, reused for every entry of this folder.
  std::string child = folder + kPathSeparator;
  const std::size_t base = child.size();
  const auto visit = [&child, base, onBglFile](std::string_view name, bool isDirectory) {
    // A leading full stop skips "." and ".."; an empty name would walk this folder again.
    if (name.empty() || name.front() == '.') return;
    child.resize(base);
    child.append(name);
    if (isDirectory) {
      WalkScenery(child, onBglFile);
    } else if (FindNoCase(name, ".bgl") != std::string_view::npos) {
      // A path too long to open is refused there with the report of a BGL that cannot be opened.
      onBglFile(child);
    }
  };
  // A folder path longer than a path may be cannot be listed on Windows; refuse it the same way
  // on every build, and a folder that loops back into the walk too.
  FolderId id;
  if (folder.size() <= kMaxPathLength && g_depth < g_walking.size() && !IsBeingWalked(folder, id)) {
    const Walking walking(id);
    if (ThePlatform().ListDirectory(folder, visit)) return;
  }
  ReportError("Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file", "Error!", "%s%s\n",
              "Error INVALID_HANDLE_VALUE in FindFirstFile", folder.c_str());
}

}  // namespace hangarscan
