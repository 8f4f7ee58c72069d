// The whole BGL file decoder on the fuzzer's bytes, through a file as the scenery walk hands it
// over. An input holding the separator is decoded as a sequence of files in one run, so that what
// one file leaves for the next (stored lines that a later correction rewrites) is fuzzed on
// purpose rather than by accident.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "bgl/bgl_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hangarscan;
  fuzz::TheSilentPlatform();
  fuzz::ResetForInput();
  std::array<std::span<const std::uint8_t>, fuzz::kMaxSequence> pieces;
  const int count = fuzz::SplitSequence({data, size}, pieces);
  for (int i = 0; i < count; ++i) {
    // One path per file of the sequence: the file before may still be open.
    const std::string path = fuzz::ScratchPath("scenery" + std::to_string(i) + ".bgl");
    fuzz::WriteInput(path, pieces[i]);
    DecodeBglFile(path);
  }
  fuzz::CheckTableInvariants();
  return 0;
}
