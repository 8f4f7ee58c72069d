#include "env/installation.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "env/run_log.h"
#include "env/text.h"
#include "platform/file_io.h"
#include "platform/platform.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::string_view kRootKey = "P3DROOTDIR=";

// The folder above the executable's folder, without a trailing separator; none when the path does
// not hold two separators.
std::optional<std::string> InstallRootOf(std::string_view executable) {
  const std::size_t fileCut = executable.rfind(kPathSeparator);
  if (fileCut == std::string_view::npos || fileCut == 0) return std::nullopt;
  const std::size_t folderCut = executable.rfind(kPathSeparator, fileCut - 1);
  if (folderCut == std::string_view::npos) return std::nullopt;
  return std::string(executable.substr(0, folderCut));
}

// Opens "<root>/Bin/<name>"; a root that is unknown or makes the path too long opens nothing.
bool OpenConfig(BinaryInFile& file, const std::optional<std::string>& root, std::string_view name) {
  if (!root) return false;
  const std::string path = *root + kPathSeparator + "Bin" + kPathSeparator + std::string(name);
  return path.size() <= kMaxPathLength && file.Open(path);
}

// The text after the key on the first line that holds it, without its line end. Lines are read
// as text mode reads them, in pieces of at most 1,022 characters.
std::optional<std::string> FindRootDir(BinaryInFile& file) {
  std::array<char, 1024> line{};
  while (file.ReadTextLine(line.data(), 1023)) {
    const std::string_view text = TextOf(line);
    const std::size_t key = text.find(kRootKey);
    if (key == std::string_view::npos) continue;
    std::string_view root = text.substr(key + kRootKey.size());
    if (root.ends_with('\n')) root.remove_suffix(1);
    if (root.ends_with('\r')) root.remove_suffix(1);
    return std::string(root);
  }
  return std::nullopt;
}

void LogAndClose(const char* logText) {
  LogLine("%s\n", logText);
  ThePlatform().RequestClose();
}

// The configuration holds no usable root: the box, then the log line and the close request.
Discovery AbortWithoutRoot(const char* logText) {
  ThePlatform().ShowMessageBox(
      BoxKind::OkInformation, "Error !!!",
      "unable to find correct path from config file 'Bin\\Prepar3DPath.cfg' - abort utility");
  LogAndClose(logText);
  return Discovery::Abort;
}

// Opens the v4 configuration, or with the user's consent the older one. False after the log line
// and the close request of the abort.
bool OpenConfiguration(BinaryInFile& file, const std::optional<std::string>& root) {
  if (OpenConfig(file, root, "Prepar3DPathv4.cfg")) return true;
  const BoxAnswer answer = ThePlatform().ShowMessageBox(
      BoxKind::YesNoQuestion, "Missing WingsteadP3Dv4",
      "Unable to find WingsteadP3D v4\r\nDo you want to run this utility for v3 or v2.5 ?\r\n "
      "(for testing purpose only, the created database will not be usefull for v3 or v2.5)");
  if (answer != BoxAnswer::Yes) {
    LogAndClose("Unable to find WingsteadP3D v4 - aborting");
    return false;
  }
  LogLine("%s\n", "Unable to find WingsteadP3D v4 - continuing for test purprose");
  if (OpenConfig(file, root, "Prepar3DPath.cfg")) return true;
  ThePlatform().ShowMessageBox(BoxKind::OkQuestion, "Error, unable to find config file",
                               "Missing config file 'Prepar3DPath.cfg' aborting");
  LogAndClose("Unable to find WingsteadP3D config - aborting");
  return false;
}

}  // namespace

Discovery DiscoverInstallation() {
  const std::optional<std::string> root = InstallRootOf(ThePlatform().ExecutablePath());
  // Without an install root there is no log: LogPath stays empty and its lines are lost.
  if (root && CopyWhole(gState.InstallRoot, *root + kPathSeparator)) {
    CreateLog();
  } else {
    gState.InstallRoot = {};
    gState.LogPath = {};
  }

  BinaryInFile config;
  if (!OpenConfiguration(config, root)) return Discovery::Abort;
  const std::optional<std::string> rootDir = FindRootDir(config);
  config.Close();
  if (!rootDir) return AbortWithoutRoot("Unable to find P3DROOTDIR - aborting");
  // A scenery root too long to list is a root the walk could not use.
  if (!CopyWhole(gState.SceneryRoot, *rootDir + kPathSeparator + "scenery")) {
    return AbortWithoutRoot("P3DROOTDIR path too long - aborting");
  }
  LogLine("%s%s\n", "Prepar3D scenery path found: ", gState.SceneryRoot.data());
  LogLine("%s\n", "Init completed, ready to use OK.");
  ThePlatform().SetStatusText("Status: not running, no file refreshed. Click on the button above.");
  return Discovery::Ready;
}

}  // namespace hangarscan
