// The name-list section on the fuzzer's bytes, as a BGL file: pass 1 is replaced by the slots of
// a fixed airport file (put back before every input's name-list pass), so that every input has
// airports to match, a correction slot and a runway text near the line limit. Airport and navaid
// sections of the input are passed over.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bgl/bgl_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seeds.h"

namespace hangarscan::fuzz {
namespace {

const FixedAirportSlots& TheFixedSlots() {
  static const FixedAirportSlots fixed(NameListAirports(), 6);
  return fixed;
}

// Runs between the passes, where the ILS substitution would.
void InstallFixedSlots() {
  TheFixedSlots().Install();
}

}  // namespace
}  // namespace hangarscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hangarscan;
  fuzz::TheFixedSlots();
  fuzz::ResetForInput();
  BglSectionHandlers() = {fuzz::PassOver, fuzz::PassOver, fuzz::InstallFixedSlots,
                          ReadNameListSection};
  const std::string path = fuzz::ScratchPath("names.bgl");
  fuzz::WriteInput(path, {data, size});
  DecodeBglFile(path);
  fuzz::CheckTableInvariants();
  return 0;
}
