// Airport records in the layout of a BGL airport section: the 56-byte fixed part followed by
// runway, COM, helipad and other sub-records. Every size can be overridden to build the
// malformed records the decoder must survive. Shared by the tests and the sample scenery
// generator.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tests/support/bgl_writer.h"

namespace hangarscan::fixture {

using ByteList = std::vector<std::uint8_t>;

// The base-38 number of an ident: ' ' is 0, '0'-'9' are 2-11, 'A'-'Z' are 12-37 (any other
// character counts as 1), the first character most significant.
std::uint32_t IdentNumber(std::string_view ident);
// An airport or ILS navaid ident field: the number in bits 31 to 5.
inline std::uint32_t ShiftedIdent(std::string_view ident) {
  return IdentNumber(ident) << 5;
}

// Field values of a position in degrees, as the fixed part stores them.
std::uint32_t LongitudeField(double degrees);
std::uint32_t LatitudeField(double degrees);

struct AirportFixedPart {
  std::uint16_t id = 0x003C;
  std::uint32_t longitude = 402653184;  // 0 degrees
  std::uint32_t latitude = 268435456;   // 0 degrees
  std::int32_t altitude = 0;            // thousandths of a metre
  std::uint32_t ident = ShiftedIdent("KSEA");
  std::optional<std::uint32_t> size;  // overrides 56 + the sub-records' bytes
};

// The fixed part followed by the sub-records, back to back.
ByteList AirportRecord(const AirportFixedPart& fixed, const std::vector<ByteList>& subRecords = {});

struct RunwaySubRecord {
  std::uint16_t surface = 4;
  std::uint8_t primaryNumber = 16;
  std::uint8_t primaryDesignator = 1;
  std::uint8_t secondaryNumber = 34;
  std::uint8_t secondaryDesignator = 2;
  std::uint32_t primaryIls = 0;  // raw base-38 (IdentNumber), 0 for none
  std::uint32_t secondaryIls = 0;
  float length = 3627.6f;
  std::size_t furtherBytes = 16;      // runway data after the length
  std::optional<std::uint32_t> size;  // overrides 36 + furtherBytes
};
ByteList Runway(const RunwaySubRecord& runway = {});

ByteList Com(std::uint16_t type, std::uint32_t hertz, std::string_view name = "");
ByteList Helipad();
// A sub-record of an id the decoder skips, with a body of `bodyBytes` zeros.
ByteList OtherSubRecord(std::uint16_t id, std::size_t bodyBytes,
                        std::optional<std::uint32_t> size = std::nullopt);

// An airport correction: a record with neither runway nor helipad. Only a record with bytes
// after its fixed part is read, so by default it carries one sub-record the decoder skips.
ByteList CorrectionRecord(const AirportFixedPart& fixed,
                          const std::vector<ByteList>& subRecords = {OtherSubRecord(0x0019, 20)});

// One subsection of an airport section holding the records back to back.
Subsection& AddAirports(Section& section, const std::vector<ByteList>& records);

}  // namespace hangarscan::fixture
