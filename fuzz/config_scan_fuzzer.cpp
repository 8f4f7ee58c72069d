// Installation discovery with the fuzzer's bytes as the add-on's configuration file: the
// executable lies in <scratch>/Utilities, the file in <scratch>/Bin. The first byte chooses
// between the current file and the older one (reached by answering Yes to the missing-file box).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "env/installation.h"
#include "env/text.h"
#include "fuzz/fuzz_support.h"
#include "refresh/refresh_state.h"

namespace hangarscan::fuzz {
namespace {

struct Installation {
  std::string current;  // Bin/Prepar3DPathv4.cfg
  std::string older;    // Bin/Prepar3DPath.cfg
};

const Installation& TheInstallation() {
  static const Installation installation = [] {
    const std::string root = ScratchPath("install");
    std::filesystem::create_directories(root + kPathSeparator + "Utilities");
    std::filesystem::create_directories(root + kPathSeparator + "Bin");
    TheSilentPlatform().executablePath =
        root + kPathSeparator + "Utilities" + kPathSeparator + "Hangarscanv4";
    const std::string bin = root + kPathSeparator + "Bin" + kPathSeparator;
    return Installation{bin + "Prepar3DPathv4.cfg", bin + "Prepar3DPath.cfg"};
  }();
  return installation;
}

// A found root is the rest of one line, without its line end, and the whole scenery path keeps to
// the path limit. (A carriage return may still end it: one not followed by a line feed, as before
// a NUL that ends the line's text, is no line end.)
void CheckSceneryRoot() {
  const std::string_view scenery = TextOf(gState.SceneryRoot);
  const std::string suffix = std::string(1, kPathSeparator) + "scenery";
  if (!scenery.ends_with(suffix)) Fail("SceneryRoot does not end with the scenery folder");
  if (scenery.size() > kMaxPathLength) Fail("SceneryRoot longer than a path may be");
  const std::string_view root = scenery.substr(0, scenery.size() - suffix.size());
  if (root.find('\n') != std::string_view::npos) Fail("SceneryRoot holds a line feed");
}

}  // namespace
}  // namespace hangarscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hangarscan;
  const fuzz::Installation& installation = fuzz::TheInstallation();
  fuzz::ResetForInput();
  gState.SceneryRoot = {};
  const bool older = size > 0 && (data[0] & 1) != 0;
  std::error_code ignored;
  std::filesystem::remove(older ? installation.current : installation.older, ignored);
  fuzz::WriteInput(older ? installation.older : installation.current, {data, size});
  fuzz::TheSilentPlatform().yesNoAnswer = BoxAnswer::Yes;

  if (DiscoverInstallation() == Discovery::Ready) fuzz::CheckSceneryRoot();
  return 0;
}
