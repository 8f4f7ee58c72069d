// The navaid sections and the ILS substitution on the fuzzer's bytes, as a BGL file: the
// input's navaid sections are read; the slots of a fixed airport file, whose runways wait for
// ILS idents the seeds have, are put back before the substitution; then, when the file was
// decoded to its end, every slot becomes a record line, so that what the substitution leaves is
// also measured against the line limit. Airport and name-list sections of the input are passed
// over.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "bgl/ident_codec.h"
#include "bgl/record_line.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seeds.h"
#include "refresh/refresh_state.h"

namespace hangarscan::fuzz {
namespace {

const FixedAirportSlots& TheFixedSlots() {
  static const FixedAirportSlots fixed(IlsAirports(), 4);
  return fixed;
}

void InstallSlotsAndSubstitute() {
  TheFixedSlots().Install();
  SubstituteIlsData();
}

// In place of the name list: each slot's line, under its own ident and fixed names.
Flow InsertEverySlot() {
  for (int s = 0; s < gBgl.iAirpNmbr; ++s) {
    const std::uint32_t identField = AirportIdentField(gAirportSlots[s]);
    std::array<char, kIdentTextBytes> ident{};
    DecodeICAONAME(ident, identField);
    if (InsertRecordLine({s, ident.data(), "Airport", "Country", identField}) == Flow::Abandon)
      return Flow::Abandon;
  }
  return Flow::GoOn;
}

}  // namespace
}  // namespace hangarscan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hangarscan;
  fuzz::TheFixedSlots();
  fuzz::ResetForInput();
  BglSectionHandlers() = {fuzz::PassOver, ReadIlsSection, fuzz::InstallSlotsAndSubstitute,
                          fuzz::PassOver};
  const std::string path = fuzz::ScratchPath("navaids.bgl");
  fuzz::WriteInput(path, {data, size});
  DecodeBglFile(path);
  // A file decoded to its end is closed; an abandoned one gives no line.
  if (!gState.CurrentBglFile.IsOpen()) fuzz::InsertEverySlot();
  fuzz::CheckTableInvariants();
  return 0;
}
