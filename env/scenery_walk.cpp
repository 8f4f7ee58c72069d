#include "env/scenery_walk.h"

#include "bgl/bgl_file.h"
#include "env/find_no_case.h"
#include "env/run_log.h"
#include "platform/platform.h"
#include "refresh/refresh_state.h"

namespace hangarscan {

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
  // on every build.
  if (folder.size() > kMaxPathLength || !ThePlatform().ListDirectory(folder, visit)) {
    ReportError("Error INVALID_HANDLE_VALUE in FindFirstFile -  See Log file", "Error!", "%s%s\n",
                "Error INVALID_HANDLE_VALUE in FindFirstFile", folder.c_str());
  }
}

}  // namespace hangarscan
