#include "tests/support/test_env.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include "bgl/bgl_file.h"
#include "env/text.h"
#include "platform/file_io.h"
#include "refresh/refresh_state.h"
#include "tests/support/bgl_writer.h"

namespace hangarscan {

void PrintTo(const PlatformEvent& event, std::ostream* out) {
  static constexpr const char* kKinds[] = {"Box", "Status", "Close", "ShellOpen", "Log"};
  *out << kKinds[static_cast<int>(event.kind)];
  if (event.kind == PlatformEvent::Kind::Box) {
    *out << " " << static_cast<int>(event.box) << " \"" << event.caption << "\"";
  }
  *out << " \"" << event.text << "\"";
}

}  // namespace hangarscan

namespace hangarscan::fixture {
namespace {

std::atomic<int> g_dirCount{0};

}  // namespace

TempDir::TempDir() {
  namespace fs = std::filesystem;
  const fs::path base = fs::temp_directory_path() / "hangarscan-tests";
  fs::create_directories(base);
  const std::string name =
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
      std::to_string(g_dirCount++);
  const fs::path folder = base / name;
  fs::create_directories(folder);
  path_ = folder.string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Join(const std::string& relative) const {
  std::string result = path_ + kPathSeparator + relative;
  for (char& c : result) {
    if (c == '/') c = kPathSeparator;
  }
  return result;
}

CoreTest::CoreTest() {
  ArmFileFault({});
  gState.CurrentBglFile.Close();
  ResetRun();
  gState.StatusCounter = 0;
  gState.CurrentBglPath = {};
  gState.SceneryRoot = {};
  gBgl.iAirpNmbr = 0;
  gBgl.IlsFragmentCount = 0;
  gBgl.IlsPlaceholderCount = 0;
  CopyText(gState.InstallRoot, dir.path() + kPathSeparator);
  FormatText(gState.LogPath.data(), gState.LogPath.size(), "%slog.txt", gState.InstallRoot.data());
}

CoreTest::~CoreTest() {
  ArmFileFault({});
  gState.CurrentBglFile.Close();
}

std::string CoreTest::DecodeFile(const BglFile& file, const std::string& name) {
  const std::string path = dir.Join(name);
  file.WriteTo(path);
  DecodeBglFile(path);
  return path;
}

std::string CoreTest::LogBytes() const {
  const auto bytes = ReadFileBytes(std::string(TextOf(gState.LogPath)));
  return {bytes.begin(), bytes.end()};
}

std::string CoreTest::LogTexts() const {
  std::string all;
  for (const PlatformEvent& event : platform->Only(PlatformEvent::Kind::Log))
    all += event.text;
  return all;
}

}  // namespace hangarscan::fixture
