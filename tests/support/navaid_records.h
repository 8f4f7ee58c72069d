// Navaid records in the layout of a BGL navaid section (type 19): the 40-byte fixed part
// followed by sub-records, among them the localizer an ILS is rendered from. Every size can be
// overridden to build the malformed records the decoder must survive. Shared by the tests and
// the sample scenery generator.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"

namespace hangarscan::fixture {

inline constexpr std::uint8_t kIlsType = 4;
inline constexpr std::uint8_t kVorType = 3;

struct NavaidFixedPart {
  std::uint16_t id = 0x0013;
  std::uint8_t type = kIlsType;
  std::uint32_t hertz = 110300000;
  float magneticVariation = 0.0f;  // degrees
  std::uint32_t ident = ShiftedIdent("ISEA");
  std::optional<std::uint32_t> size;  // overrides 40 + the sub-records' bytes
};

// The fixed part followed by the sub-records, back to back.
ByteList NavaidRecord(const NavaidFixedPart& fixed, const std::vector<ByteList>& subRecords = {});

// A localizer sub-record (0x0014) of 24 bytes: the heading at offset 8, then its width and
// further data.
ByteList Localizer(float heading, std::optional<std::uint32_t> size = std::nullopt);
// A glide slope sub-record (0x0015), which the decoder skips.
ByteList GlideSlope();

// An ILS with one localizer.
ByteList Ils(std::string_view ident, std::uint32_t hertz, float magneticVariation, float heading);

// One subsection of a navaid section holding the records back to back.
Subsection& AddNavaids(Section& section, const std::vector<ByteList>& records);

}  // namespace hangarscan::fixture
