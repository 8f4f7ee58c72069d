#include "bgl/runway_fragment.h"

#include <algorithm>
#include <limits>

#include "bgl/byte_reader.h"
#include "bgl/ident_codec.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::size_t kPlaceholderBytes = 50;

using Placeholder = std::array<char, kPlaceholderBytes>;

// The placeholder the ILS substitution later replaces with the ILS data; empty without an ILS.
Placeholder IlsPlaceholder(const char* format, std::uint32_t ilsField, AirportWork& airport) {
  Placeholder placeholder{};
  if (ilsField == 0) return placeholder;
  std::array<char, kIdentTextBytes> ident{};
  DecodeIdentRaw(ident, ilsField);
  FormatText(placeholder.data(), placeholder.size(), format, ident.data());
  airport.IlsFlag = 1;
  ++gBgl.IlsPlaceholderCount;
  return placeholder;
}

// Numbers above 44 name the last entry, "nw"; designators above 14 the last, empty one.
const char* NumberName(std::uint8_t number) {
  return RunwayNumberNames[std::min<std::size_t>(number, RunwayNumberNames.size() - 1)];
}

const char* DesignatorName(std::uint8_t designator) {
  return RunwayDesignatorNames[std::min<std::size_t>(designator, RunwayDesignatorNames.size() - 1)];
}

void AppendAltitudeField(AirportWork& airport) {
  airport.cRunwayData.Append({&kAltitudeMarker, 1});
  airport.cRunwayData.Append(NumberText(AltitudeValue(airport.Altitude)).view());
  airport.cRunwayData.Append(";");
}

Flow ReportRunwayTextTooLong(const AirportWork& airport) {
  const char* text = airport.cRunwayData.c_str();
  ReportError("ERROR ! cRunwayData)>2000 ! - bypassing BGL see Log file", "Error!", "%s%s\n",
              "ERROR cRunwayData)>2000 - bypassing BGL dump starting:", text);
  LogLine("%s%s\n", "cRunwayData: ", text);
  LogLine("%s\n", "Dump end");
  return Flow::Abandon;
}

}  // namespace

std::int32_t RunwayLengthValue(float length) {
  // A plain conversion of a value outside the range is undefined; the range is checked first.
  if (!(length >= -2147483648.0f && length < 2147483648.0f))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(length);
}

std::int32_t AltitudeValue(double altitude) {
  return static_cast<std::int32_t>(altitude / 100.0);
}

Flow AppendRunwayFragment(std::span<const std::uint8_t> subRecord, AirportWork& airport) {
  ++gState.Counters.RunwaysFound;
  ++airport.RunwayCount;
  const Placeholder primaryIls =
      IlsPlaceholder("$ILSREPLACESTOUT1:%s$", U32At(subRecord, 12), airport);
  const Placeholder secondaryIls =
      IlsPlaceholder("$ILSREPLACESTOUT2:%s$", U32At(subRecord, 16), airport);

  if (airport.cRunwayData.empty()) AppendAltitudeField(airport);

  // "@R%u,%i,%s%s,%s%s%s%s;" appended piece by piece: the same text without a format's cost.
  FragmentText<kFragmentTextBytes>& text = airport.cRunwayData;
  text.Append("@R");
  text.Append(NumberText(U16At(subRecord, 6)).view());
  text.Append(",");
  text.Append(NumberText(RunwayLengthValue(F32At(subRecord, 32))).view());
  text.Append(",");
  text.Append(NumberName(U8At(subRecord, 8)));
  text.Append(DesignatorName(U8At(subRecord, 9)));
  text.Append(",");
  text.Append(NumberName(U8At(subRecord, 10)));
  text.Append(DesignatorName(U8At(subRecord, 11)));
  text.Append(primaryIls.data());
  text.Append(secondaryIls.data());
  text.Append(";");

  if (airport.cRunwayData.size() > kMaxFragmentTextLength) return ReportRunwayTextTooLong(airport);
  return Flow::GoOn;
}

}  // namespace hangarscan
