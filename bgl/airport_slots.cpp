#include "bgl/airport_slots.h"

namespace hangarscan {

std::array<BglAirportSlot, kAirportSlots> gAirportSlots;

void WriteCorrectionMark(BglAirportSlot& slot) {
  for (std::size_t i = 0; i < 4; ++i)
    slot.FixedRecord[kFixedLatitudeAt + i] = static_cast<std::uint8_t>(kCorrectionMark >> (8 * i));
}

void ClearSlotTexts(BglAirportSlot& slot) {
  slot.PositionKey.fill('\0');
  slot.RunwayText.fill('\0');
  slot.ComText.fill('\0');
  slot.IlsPending = 0;
}

}  // namespace hangarscan
