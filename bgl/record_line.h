// The record line: one airport's line of the airport table and of the database file, joined from
// its name-list entry and the texts of its airport slot, and its insertion into the table.
#pragma once

#include <cstdint>
#include <string_view>

#include "bgl/bgl_file.h"

namespace hangarscan {

// Longest line the table takes, line feed included; a slot holds it with its terminator.
inline constexpr int kMaxRecordLineLength = 999;
// Longest ident, name and country put into a line; longer texts are cut.
inline constexpr std::size_t kLineIdentLength = 4;
inline constexpr std::size_t kLineNameLength = 25;
inline constexpr std::size_t kLineCountryLength = 25;
// One progress text every this many stored airports.
inline constexpr int kStatusPace = 51;

// What the name-list pass hands over for one ICAO entry. The texts are not empty and the slot
// does not hold a correction.
struct ResolvedAirport {
  int SlotIndex;  // the matched airport slot of the current file
  std::string_view Ident;
  std::string_view Name;
  std::string_view Country;
  std::uint32_t EncodedIdent;  // as the name-list entry holds it
};

// Appends the airport's line to the airport table. GoOn when the line was stored or refused with
// its own report; Abandon when the table was already full: the current file is to be abandoned.
Flow InsertRecordLine(const ResolvedAirport& airport);

}  // namespace hangarscan
