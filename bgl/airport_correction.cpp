#include "bgl/airport_correction.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "bgl/bgl_file.h"
#include "bgl/runway_fragment.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::size_t kCorrectionTextBytes = 50;
constexpr std::size_t kIdentInLine = 4;
constexpr std::size_t kMaxLineLength = kSlotBytes - 1;  // line feed included
// At most eight characters may stand between the marker and its semicolon.
constexpr std::size_t kMaxSemicolonDistance = 9;

using CorrectionText = std::array<char, kCorrectionTextBytes>;

// A kept correction slot gives the name-list pass nothing to build a line from, and no stale
// text or ILS flag of an earlier airport.
Flow KeepCorrectionSlot(BglAirportSlot& slot) {
  WriteCorrectionMark(slot);
  slot.RunwayText[0] = '\0';
  slot.ComText[0] = '\0';
  slot.IlsPending = 0;
  if (++gBgl.iAirpNmbr <= kMaxAirportSlotsInUse) return Flow::GoOn;
  ReportError("ERROR ! iAirpNmbrElevation > 800 - bypassing BGL see Log File !", "Error!", "%s\n",
              "ERROR ! iAirpNmbr > 800 - bypassing BGL");
  return Flow::Abandon;
}

CorrectionOutcome Kept(BglAirportSlot& slot, CorrectionOutcome outcome) {
  return KeepCorrectionSlot(slot) == Flow::GoOn ? outcome : CorrectionOutcome::Abandon;
}

// The altitude field: from the line's first marker byte to the next ";".
struct AltitudeField {
  std::size_t marker;
  std::size_t semicolon;
};

std::optional<AltitudeField> FindAltitudeField(std::string_view line) {
  const std::size_t marker = line.find(kAltitudeMarker);
  if (marker == std::string_view::npos) return std::nullopt;
  const std::size_t semicolon = line.find(';', marker);
  if (semicolon == std::string_view::npos || semicolon - marker > kMaxSemicolonDistance)
    return std::nullopt;
  return AltitudeField{marker, semicolon};
}

// The old value as strtol reads the characters after the marker; at most eight of them, so
// any value fits.
long OldAltitudeValue(std::string_view line, const AltitudeField& field) {
  std::array<char, kMaxSemicolonDistance + 1> digits{};
  const std::string_view text = line.substr(field.marker + 1, field.semicolon - field.marker - 1);
  std::memcpy(digits.data(), text.data(), text.size());
  return std::strtol(digits.data(), nullptr, 10);
}

// Puts the new field in place of the old one, the rest of the line kept behind it. False, with
// the line unchanged, when the line would not fit its slot.
bool ReplaceAltitudeField(TableSlot& line, const AltitudeField& field, std::string_view newField) {
  const std::size_t length = TextOf(line).size();
  const std::size_t tailAt = field.semicolon + 1;
  const std::size_t tailLength = length - tailAt;
  const std::size_t newLength = field.marker + newField.size() + tailLength;
  if (newLength > kMaxLineLength) return false;
  std::memmove(line.data() + field.marker + newField.size(), line.data() + tailAt, tailLength);
  std::memcpy(line.data() + field.marker, newField.data(), newField.size());
  line[newLength] = '\0';
  // The header's maximum must cover every line of the file, a corrected one too.
  gState.Counters.MaxLineLength =
      std::max(gState.Counters.MaxLineLength, static_cast<std::int32_t>(newLength));
  return true;
}

// Applies the new altitude to the line; false when the line has no usable altitude field.
bool CorrectAltitude(TableSlot& line, std::int32_t newValue) {
  const std::optional<AltitudeField> field = FindAltitudeField(TextOf(line));
  if (!field) return false;
  const long oldValue = OldAltitudeValue(TextOf(line), *field);
  CorrectionText newField;
  const int newFieldLength =
      FormatText(newField.data(), newField.size(), "%c%i;", kAltitudeMarker, newValue);
  if (!ReplaceAltitudeField(line, *field,
                            {newField.data(), static_cast<std::size_t>(newFieldLength)}))
    return false;
  ++gState.Counters.AirportsCorrected;
  if (oldValue != newValue) ++gState.Counters.AltitudesCorrected;
  return true;
}

}  // namespace

CorrectionOutcome ApplyAirportCorrection(BglAirportSlot& slot, std::string_view identText) {
  CorrectionText keyAndIdent;
  const int keyAndIdentLength =
      FormatText(keyAndIdent.data(), keyAndIdent.size(), "%s%.*s", slot.PositionKey.data(),
                 static_cast<int>(std::min(identText.size(), kIdentInLine)), identText.data());
  const std::uint32_t ident = AirportIdentField(slot);
  const std::int32_t newValue = AltitudeValue(AirportAltitudeField(slot));
  const int stored = std::clamp(gState.Counters.AirportsStored, 0, kTableLines);
  bool found = false;
  for (int i = 0; i < stored; ++i) {
    if (gState.AirportKeyList[i] != ident) continue;
    found = true;
    TableSlot& line = gState.AirportTable[i];
    // Keys print from 32-bit fields, 15 characters at most, and a stored line holds its own key,
    // ident and six more characters: the copy stays before the line feed.
    std::memcpy(line.data(), keyAndIdent.data(), static_cast<std::size_t>(keyAndIdentLength));
    if (CorrectAltitude(line, newValue)) return Kept(slot, CorrectionOutcome::Corrected);
  }
  if (found) return CorrectionOutcome::Dropped;
  ++gState.Counters.CorrectionsMissed;
  return Kept(slot, CorrectionOutcome::Missed);
}

}  // namespace hangarscan
