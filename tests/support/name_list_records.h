// Name-list records in the layout of a BGL name-list section (type 0x27): the 42-byte header,
// then the ICAO list, the country, city and airport-name lists, each an offset table followed by
// its strings. Every count, offset and ValueOffset can be overridden to build the malformed
// records the decoder must survive. Shared by the tests and the sample scenery generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/bgl_writer.h"

namespace hangarscan::fixture {

inline constexpr std::size_t kNameListHeaderSize = 42;

struct IcaoEntry {
  std::uint32_t ident = 0;  // the encoded field, as ShiftedIdent gives it
  std::uint8_t countryIndex = 0;
  std::uint16_t cityIndex = 0;
  std::uint16_t airportNameIndex = 0;
};

struct NameStrings {
  std::vector<std::string> names;      // each stored with its terminating zero
  std::optional<std::uint16_t> count;  // overrides names.size() in the header
  std::optional<std::int32_t> offset;  // overrides the record offset of the list
  std::vector<std::pair<std::size_t, std::int32_t>> valueOffsets;  // overrides ValueOffset k
};

struct NameListContent {
  std::vector<IcaoEntry> entries;
  NameStrings countries;
  NameStrings cities;
  NameStrings airportNames;
  std::optional<std::uint16_t> icaoCount;  // overrides entries.size() in the header
  std::optional<std::int32_t> icaoOffset;  // overrides the record offset of the ICAO list
};

std::vector<std::uint8_t> NameListRecord(const NameListContent& content);

// One subsection of a name-list section holding the record.
Subsection& AddNameList(Section& section, std::vector<std::uint8_t> record);

}  // namespace hangarscan::fixture
