// One runway sub-record (id 0x0004) of an airport record rendered as its runway fragment,
// "@R<surface>,<length>,<primary end>,<secondary end><placeholders>;", appended to the airport's
// cRunwayData. The airport's first runway writes the altitude field before its fragment.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"

namespace hangarscan {

inline constexpr std::uint16_t kRunwaySubRecordId = 0x0004;
// The fields read reach up to the end of the length at offset 32.
inline constexpr std::size_t kRunwayFieldsBytes = 36;

inline constexpr std::array<const char*, 45> RunwayNumberNames = {
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14",
    "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29",
    "30", "31", "32", "33", "34", "35", "36", "n",  "ne", "e",  "se", "s",  "sw", "w",  "nw"};

inline constexpr std::array<const char*, 15> RunwayDesignatorNames = {
    "", "L", "R", "C", "W", "A", "B", "", "", "", "", "", "", "", ""};

// The runway length truncated toward zero; outside the 32-bit range, or not a number,
// -2147483648.
std::int32_t RunwayLengthValue(float length);

// The altitude value of the altitude field: altitude / 100.0, truncated toward zero.
std::int32_t AltitudeValue(double altitude);

// `subRecord` holds at least kRunwayFieldsBytes. Raises RunwaysFound, the airport's runway count
// and, per placeholder, IlsPlaceholderCount. Abandon, after its report, when cRunwayData grows
// past 2,000 characters.
Flow AppendRunwayFragment(std::span<const std::uint8_t> subRecord, AirportWork& airport);

}  // namespace hangarscan
