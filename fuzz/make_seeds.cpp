// Writes every target's seeds as files for libFuzzer: <folder>/<target>/<seed name>.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/seeds.h"
#include "tests/support/bgl_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  for (const std::string_view target : hangarscan::fuzz::SeedTargets()) {
    const fs::path folder = fs::path(argv[1]) / std::string(target);
    fs::create_directories(folder);
    for (const hangarscan::fuzz::Seed& seed : hangarscan::fuzz::SeedsFor(target))
      hangarscan::fixture::WriteFile((folder / seed.name).string(), seed.bytes);
  }
  return 0;
}
