// The navaid sections of a BGL file (type 19): every ILS record with a localizer is rendered as
// an ILS fragment, "$*<ident>,<kHz>,<heading>$", into the file's fragment table, where the ILS
// substitution finds it. ReadIlsSection (bgl_file.h) is the section handler.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace hangarscan {

inline constexpr int kIlsFragmentEntries = 802;
inline constexpr std::size_t kIlsFragmentBytes = 150;
using IlsFragment = std::array<char, kIlsFragmentBytes>;

// Entries below gBgl.IlsFragmentCount belong to the current file; the others hold stale text.
// Not cleared between files.
extern std::array<IlsFragment, kIlsFragmentEntries> gIlsFragmentTable;

inline constexpr std::size_t kNavaidFixedBytes = 40;
inline constexpr std::uint8_t kIlsNavaidType = 4;
inline constexpr std::uint16_t kLocalizerSubRecordId = 0x0014;
// The heading at offset 8 is the last field read from a localizer.
inline constexpr std::size_t kLocalizerFieldsBytes = 12;
// Sub-record areas up to this size go into a static buffer; larger ones take a heap buffer.
inline constexpr std::size_t kIlsRecordBufferLimit = 4096;

// Whole degrees from 0 to 360 for any sane input: magnetic variation - 360 + heading + 0.5 in
// single precision, rounded down, then one turn added below 0 or taken off above 360. A sum
// that is not a number or lies outside the 32-bit range counts as -2147483648 before the turns.
std::int32_t IlsHeading(float magneticVariation, float localizerHeading);

// Gives the heap buffer of a large sub-record area (null when none is available). Tests replace
// it to watch the requests or to make them fail.
using IlsBufferAllocator = std::unique_ptr<std::uint8_t[]> (*)(std::size_t bytes);
IlsBufferAllocator& IlsRecordAllocator();

}  // namespace hangarscan
