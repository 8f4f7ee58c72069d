// One COM sub-record (id 0x0012) of an airport record rendered as "~<MHz>,<type>;" and appended
// to the airport's cComData.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"

namespace hangarscan {

inline constexpr std::uint16_t kComSubRecordId = 0x0012;
// Type at offset 6, frequency in hertz at offset 8.
inline constexpr std::size_t kComFieldsBytes = 12;

// The frequency in megahertz as the database has it: divided in single precision, so
// 118,000,500 Hz prints as 118.000.
double ComMegahertz(std::uint32_t hertz);

// ComMegahertz(hertz) as "%.3f" prints it, rounded half to even on its exact binary value.
struct MegahertzText {
  explicit MegahertzText(std::uint32_t hertz);
  std::string_view view() const { return {text.data(), length}; }
  std::array<char, 16> text;
  std::size_t length = 0;
};

// `subRecord` holds at least kComFieldsBytes. Types 1 to 15 append a fragment and raise
// ComsFound; other types are ignored. Abandon, after its report, when cComData grows past 2,000
// characters.
Flow AppendComFragment(std::span<const std::uint8_t> subRecord,
                       FragmentText<kFragmentTextBytes>& cComData);

}  // namespace hangarscan
