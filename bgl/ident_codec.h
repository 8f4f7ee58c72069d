// The three base-38 ident decoders. Digit values: 0 a blank, 2 to 11 the digits 0 to 9, 12 to 37
// the letters A to Z. Each BGL field is always read with the same one of them, quirks included:
// the database and its readers expect these exact texts.
#pragma once

#include <cstdint>
#include <span>

namespace hangarscan {

// Longest decoded ident (7 characters) and its terminator. Each decoder writes a zero-terminated
// text cut to fit its `text`, which should hold this many bytes.
inline constexpr std::size_t kIdentTextBytes = 8;

// Airport and name-list idents: the number in bits 31 to 5, digits taken most significant first,
// digits 0 and 1 as blanks. False, writing nothing, for a field of 0.
bool DecodeICAONAME(std::span<char> text, std::uint32_t field);

// Runway ILS references: the number in all 32 bits, digits taken least significant first; a 0
// digit anywhere gives the empty text, the digit 1 gives "6". False, writing nothing, for 0.
bool DecodeIdentRaw(std::span<char> text, std::uint32_t field);

// ILS navaid idents: as DecodeIdentRaw, with the number in bits 31 to 5.
bool DecodeIdentShifted(std::span<char> text, std::uint32_t field);

}  // namespace hangarscan
