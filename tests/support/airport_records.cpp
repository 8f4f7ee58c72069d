#include "tests/support/airport_records.h"

#include <cmath>

namespace hangarscan::fixture {
namespace {

constexpr std::uint16_t kRunwayId = 0x0004;
constexpr std::uint16_t kComId = 0x0012;
constexpr std::uint16_t kHelipadId = 0x0026;
constexpr std::size_t kFixedPartBytes = 56;
constexpr std::size_t kRunwayFieldsBytes = 36;

std::uint32_t DigitValue(char c) {
  if (c == ' ') return 0;
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0') + 2;
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint32_t>(c - 'A') + 12;
  return 1;
}

}  // namespace

std::uint32_t IdentNumber(std::string_view ident) {
  std::uint32_t number = 0;
  for (char c : ident)
    number = number * 38 + DigitValue(c);
  return number;
}

std::uint32_t LongitudeField(double degrees) {
  return static_cast<std::uint32_t>(std::llround((degrees + 180.0) * 33554432.0 / 15.0));
}

std::uint32_t LatitudeField(double degrees) {
  return static_cast<std::uint32_t>(std::llround((90.0 - degrees) * 134217728.0 / 45.0));
}

ByteList AirportRecord(const AirportFixedPart& fixed, const std::vector<ByteList>& subRecords) {
  Bytes body;
  for (const ByteList& subRecord : subRecords)
    body.Raw(subRecord);
  const auto size = static_cast<std::uint32_t>(kFixedPartBytes + body.size());
  Bytes record;
  record.U16(fixed.id).U32(fixed.size.value_or(size)).Zeros(6);
  record.U32(fixed.longitude).U32(fixed.latitude).I32(fixed.altitude).Zeros(16);
  record.U32(fixed.ident).Zeros(12).Raw(body.data());
  return record.take();
}

ByteList Runway(const RunwaySubRecord& runway) {
  Bytes body;
  body.U16(runway.surface).U8(runway.primaryNumber).U8(runway.primaryDesignator);
  body.U8(runway.secondaryNumber).U8(runway.secondaryDesignator);
  body.U32(runway.primaryIls).U32(runway.secondaryIls).Zeros(12).F32(runway.length);
  body.Zeros(runway.furtherBytes);
  const auto size = static_cast<std::uint32_t>(kRunwayFieldsBytes + runway.furtherBytes);
  return Record(kRunwayId, body.data(), runway.size.value_or(size));
}

ByteList Com(std::uint16_t type, std::uint32_t hertz, std::string_view name) {
  Bytes body;
  body.U16(type).U32(hertz);
  if (!name.empty()) body.CString(name);
  return Record(kComId, body.data());
}

ByteList Helipad() {
  return Record(kHelipadId, Bytes().Zeros(30).data());
}

ByteList OtherSubRecord(std::uint16_t id, std::size_t bodyBytes,
                        std::optional<std::uint32_t> size) {
  return Record(id, ByteList(bodyBytes, 0), size);
}

ByteList CorrectionRecord(const AirportFixedPart& fixed, const std::vector<ByteList>& subRecords) {
  return AirportRecord(fixed, subRecords);
}

Subsection& AddAirports(Section& section, const std::vector<ByteList>& records) {
  Bytes data;
  for (const ByteList& record : records)
    data.Raw(record);
  return section.Add(static_cast<std::uint32_t>(records.size()), data.take());
}

}  // namespace hangarscan::fixture
