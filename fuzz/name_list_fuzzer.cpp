// The name-list section on the fuzzer's bytes, as a BGL file: pass 1 is replaced by the slots of
// a fixed airport file (decoded once, put back before every input's name-list pass), so that
// every input has airports to match, a correction slot and a runway text near the line limit.
// Airport and navaid sections of the input are passed over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seeds.h"

namespace hangarscan::fuzz {
namespace {

struct FixedSlots {
  std::vector<BglAirportSlot> slots;
};

Flow PassOver(int) {
  return Flow::GoOn;
}

// What the fixed airport file leaves in the slots.
FixedSlots DecodeFixedAirports() {
  const std::string path = ScratchPath("airports.bgl");
  WriteInput(path, NameListAirports());
  const SectionHandlers real = BglSectionHandlers();
  BglSectionHandlers() = {real.Airport, PassOver, [] {}, PassOver};
  ResetForInput();
  DecodeBglFile(path);
  BglSectionHandlers() = real;
  FixedSlots fixed;
  fixed.slots.assign(gAirportSlots.begin(), gAirportSlots.begin() + gBgl.iAirpNmbr);
  if (fixed.slots.size() != 6) Fail("the fixed airport file did not fill its six slots");
  return fixed;
}

const FixedSlots& TheFixedSlots() {
  static const FixedSlots fixed = DecodeFixedAirports();
  return fixed;
}

// Runs between the passes, where the ILS substitution would.
void InstallFixedSlots() {
  const std::vector<BglAirportSlot>& slots = TheFixedSlots().slots;
  std::copy(slots.begin(), slots.end(), gAirportSlots.begin());
  gBgl.iAirpNmbr = static_cast<std::int32_t>(slots.size());
}

}  // namespace
}  // namespace hangarscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hangarscan;
  fuzz::TheSilentPlatform();
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
