// The airport sections of a BGL file (type 3): every airport record is checked, its ident
// decoded, its position key computed and its sub-records walked into runway and COM texts; an
// airport with a runway or a helipad is stored in the next airport slot, one with neither is
// handed to the corrections. ReadAirportSection (bgl_file.h) is the section handler.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "bgl/airport_slots.h"

namespace hangarscan {

inline constexpr std::uint16_t kHelipadSubRecordId = 0x0026;
// Remainders up to this size go into the static record buffer; larger ones take a heap buffer.
inline constexpr std::size_t kRecordBufferLimit = 50000;

// Thousandths of a degree, each coordinate shifted by 300 degrees, longitude first: 12 digits
// for any valid position.
void WritePositionKey(std::array<char, kPositionKeyBytes>& key, std::uint32_t longitudeField,
                      std::uint32_t latitudeField);

// Gives the heap buffer of an oversized record (null when none is available). Tests replace it
// to watch the requests or to make them fail.
using RecordBufferAllocator = std::unique_ptr<std::uint8_t[]> (*)(std::size_t bytes);
RecordBufferAllocator& AirportRecordAllocator();

}  // namespace hangarscan
