// An airport record with neither runway nor helipad corrects the line that the airport table
// already holds for the same airport: its position key and altitude replace the stored ones.
#pragma once

#include <string_view>

#include "bgl/airport_slots.h"

namespace hangarscan {

enum class CorrectionOutcome {
  Corrected,  // a stored line was rewritten; the slot is marked and stays in use
  Missed,     // no stored line has the airport's key; the slot is marked and stays in use
  Dropped,    // lines have the key but none a usable altitude field; the slot is reused
  Abandon,    // marking the slot passed the slot limit; the file is abandoned, after the report
};

// `slot` is slot gBgl.iAirpNmbr with its FixedRecord and PositionKey filled; `identText` is the
// airport's ident from DecodeICAONAME.
CorrectionOutcome ApplyAirportCorrection(BglAirportSlot& slot, std::string_view identText);

}  // namespace hangarscan
