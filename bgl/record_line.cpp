#include "bgl/record_line.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bgl/airport_slots.h"
#include "env/run_log.h"
#include "env/text.h"
#include "platform/platform.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

// The fields of "%s%s;%s;%s;%s%s\n", in order; the separators are written between them.
struct LineFields {
  std::array<std::string_view, 6> text;

  std::size_t Length() const {
    std::size_t length = 4;  // three ';' and the line feed
    for (std::string_view field : text)
      length += field.size();
    return length;
  }

  // `slot` has room for Length() characters and the terminator.
  void WriteTo(TableSlot& slot) const {
    char* out = slot.data();
    auto put = [&out](std::string_view piece) {
      std::memcpy(out, piece.data(), piece.size());
      out += piece.size();
    };
    put(text[0]);
    put(text[1]);
    put(";");
    put(text[2]);
    put(";");
    put(text[3]);
    put(";");
    put(text[4]);
    put(text[5]);
    put("\n");
    *out = '\0';
  }
};

LineFields FieldsOf(const ResolvedAirport& airport) {
  const BglAirportSlot& slot = gAirportSlots[airport.SlotIndex];
  return {{TextOf(slot.PositionKey), airport.Ident.substr(0, kLineIdentLength),
           airport.Name.substr(0, kLineNameLength), airport.Country.substr(0, kLineCountryLength),
           TextOf(slot.ComText), TextOf(slot.RunwayText)}};
}

void ReportTableFull(int stored) {
  std::array<char, 512> text;
  FormatText(
      text.data(), text.size(),
      "ERROR. Absolute maximum of database airport reached (>%i)\r\n\r\nThe Database will be "
      "created but not with all your airports.\r\nHow did you manage to have such an "
      "enormous amount ?\r\n Maybe it's time to clean a bit ?",
      stored);
  ReportError(TextOf(text), "Error!", "%s\n", text.data());
}

// One progress text in every kStatusPace insertions since the program started.
void PaceStatus(int stored) {
  if (gState.StatusCounter == 0) {
    std::array<char, 100> text;
    FormatText(text.data(), text.size(), "Status: utility running, %i airports found so far",
               stored);
    ThePlatform().SetStatusText(TextOf(text));
  }
  if (++gState.StatusCounter >= kStatusPace) gState.StatusCounter = 0;
}

}  // namespace

Flow InsertRecordLine(const ResolvedAirport& airport) {
  const LineFields fields = FieldsOf(airport);
  const auto TestLenghtOfResult = static_cast<int>(fields.Length());
  if (TestLenghtOfResult > kMaxRecordLineLength) {
    ReportError("Error TestLenghtOfResult> 999 -  See Log file", "Error!", "%s%s\n",
                "Error TestLenghtOfResult> 999 - bypassing airport", gState.CurrentBglPath.data());
    return Flow::GoOn;
  }
  RefreshCounters& counters = gState.Counters;
  // The spare slot after the last counted one takes the line that finds the table full.
  const int i = counters.AirportsStored;
  fields.WriteTo(gState.AirportTable[i]);
  gState.AirportKeyList[i] = airport.EncodedIdent;
  counters.MaxLineLength = std::max(counters.MaxLineLength, TestLenghtOfResult);
  if (i >= kTableLines) {
    ReportTableFull(i);
    return Flow::Abandon;
  }
  counters.AirportsStored = i + 1;
  PaceStatus(counters.AirportsStored);
  return Flow::GoOn;
}

}  // namespace hangarscan
