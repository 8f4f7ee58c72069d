// The airport slots of the BGL file being decoded, and the working storage of the airport record
// being read. The airport decoder fills one slot per airport; the ILS substitution, the
// corrections and the name-list pass read them. Static, and not cleared between files: only slots
// below gBgl.iAirpNmbr belong to the current file.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bgl/byte_reader.h"

namespace hangarscan {

inline constexpr int kAirportSlots = 802;
inline constexpr int kMaxAirportSlotsInUse = 800;  // a file needing more is abandoned

// The fixed part of an airport record, as it lies in the file.
inline constexpr std::size_t kFixedRecordBytes = 56;
inline constexpr std::uint16_t kAirportRecordId = 0x003C;
inline constexpr std::size_t kFixedRecordIdAt = 0;
inline constexpr std::size_t kFixedRecordSizeAt = 2;
inline constexpr std::size_t kFixedLongitudeAt = 12;
inline constexpr std::size_t kFixedLatitudeAt = 16;
inline constexpr std::size_t kFixedAltitudeAt = 20;  // thousandths of a metre
inline constexpr std::size_t kFixedIdentAt = 40;     // shifted base-38, DecodeICAONAME

// Written over the latitude of a slot that holds a correction; the name-list pass skips it.
inline constexpr std::uint32_t kCorrectionMark = 9999999;
// First byte of the altitude field that heads every runway text.
inline constexpr char kAltitudeMarker = '\x80';

inline constexpr std::size_t kPositionKeyBytes = 50;
// Both texts hold 2,000 characters and the terminator, so no text that passes the 2,000
// character checks is ever cut.
inline constexpr std::size_t kRunwayTextBytes = 2048;
inline constexpr std::size_t kComTextBytes = 2048;

struct BglAirportSlot {
  std::array<std::uint8_t, kFixedRecordBytes> FixedRecord;
  std::array<char, kPositionKeyBytes> PositionKey;  // "%06i%06i": longitude, latitude
  std::array<char, kRunwayTextBytes> RunwayText;    // altitude field, then runway fragments
  std::array<char, kComTextBytes> ComText;
  std::int32_t IlsPending;  // 1 while RunwayText holds ILS placeholders
};

extern std::array<BglAirportSlot, kAirportSlots> gAirportSlots;

inline std::uint32_t AirportIdentField(const BglAirportSlot& slot) {
  return U32At(slot.FixedRecord, kFixedIdentAt);
}
inline std::int32_t AirportAltitudeField(const BglAirportSlot& slot) {
  return I32At(slot.FixedRecord, kFixedAltitudeAt);
}
inline bool HoldsCorrection(const BglAirportSlot& slot) {
  return U32At(slot.FixedRecord, kFixedLatitudeAt) == kCorrectionMark;
}
void WriteCorrectionMark(BglAirportSlot& slot);
// Empties PositionKey, RunwayText, ComText and IlsPending.
void ClearSlotTexts(BglAirportSlot& slot);

// A zero-terminated text that fragments are appended to. It keeps its length, so clearing it
// and appending cost only the bytes touched.
template <std::size_t N>
class FragmentText {
 public:
  void Clear() {
    length_ = 0;
    text_[0] = '\0';
  }
  // Cut to the capacity; the callers' limits keep well below it.
  void Append(std::string_view piece) {
    const std::size_t count = std::min(piece.size(), N - 1 - length_);
    std::copy_n(piece.data(), count, text_.begin() + length_);
    length_ += count;
    text_[length_] = '\0';
  }
  bool empty() const { return length_ == 0; }
  std::size_t size() const { return length_; }
  std::string_view view() const { return {text_.data(), length_}; }
  const char* c_str() const { return text_.data(); }
  // The text and its terminator, cut to fit.
  template <std::size_t M>
  void CopyTo(std::array<char, M>& target) const {
    const std::size_t count = std::min(length_, M - 1);
    std::copy_n(text_.begin(), count, target.begin());
    target[count] = '\0';
  }

 private:
  std::array<char, N> text_{};
  std::size_t length_ = 0;
};

// Room for any text that reaches the 2,000 character checks, the longest fragment included.
inline constexpr std::size_t kFragmentTextBytes = 2512;
inline constexpr std::size_t kMaxFragmentTextLength = 2000;
inline constexpr std::size_t kIdentWorkBytes = 50;

// The airport record being decoded; reset for every record.
struct AirportWork {
  FragmentText<kFragmentTextBytes> cRunwayData;
  FragmentText<kFragmentTextBytes> cComData;
  std::array<char, kIdentWorkBytes> IdentText{};  // from DecodeICAONAME
  double Altitude = 0.0;                          // the altitude field, thousandths of a metre
  std::int32_t RunwayCount = 0;
  std::int32_t HelipadCount = 0;
  std::int32_t IlsFlag = 0;  // 1 once a runway wrote an ILS placeholder

  void Reset() {
    cRunwayData.Clear();
    cComData.Clear();
    IdentText[0] = '\0';
    Altitude = 0.0;
    RunwayCount = 0;
    HelipadCount = 0;
    IlsFlag = 0;
  }
};

}  // namespace hangarscan
