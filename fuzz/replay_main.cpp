// Runs a fuzz target's entry point without libFuzzer, so every build replays the target: first on
// each of its seeds (built in code), then on every file named on the command line or found in a
// folder named there (a corpus, or a finding to reproduce). A failing input ends the program
// through its sanitizer report or abort; its name is printed before it runs.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/seeds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int g_replayed = 0;

void Replay(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  std::fprintf(stderr, "replaying %s (%zu bytes)\n", name.c_str(), bytes.size());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  ++g_replayed;
}

void ReplayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  Replay(path.string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
  for (const hangarscan::fuzz::Seed& seed : hangarscan::fuzz::SeedsFor(HANGARSCAN_FUZZ_TARGET))
    Replay(seed.name, seed.bytes);
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (!std::filesystem::is_directory(path)) {
      ReplayFile(path);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      if (entry.is_regular_file()) ReplayFile(entry.path());
    }
  }
  std::printf("%s: %d inputs replayed\n", HANGARSCAN_FUZZ_TARGET, g_replayed);
  return g_replayed > 0 ? 0 : 1;
}
