#include "tests/support/navaid_records.h"

namespace hangarscan::fixture {
namespace {

constexpr std::uint16_t kLocalizerId = 0x0014;
constexpr std::uint16_t kGlideSlopeId = 0x0015;
constexpr std::size_t kFixedPartBytes = 40;

}  // namespace

ByteList NavaidRecord(const NavaidFixedPart& fixed, const std::vector<ByteList>& subRecords) {
  Bytes body;
  for (const ByteList& subRecord : subRecords)
    body.Raw(subRecord);
  const auto size = static_cast<std::uint32_t>(kFixedPartBytes + body.size());
  Bytes record;
  record.U16(fixed.id).U32(fixed.size.value_or(size)).U8(fixed.type).Zeros(13);
  record.U32(fixed.hertz).F32(50000.0f).F32(fixed.magneticVariation).U32(fixed.ident).Zeros(4);
  record.Raw(body.data());
  return record.take();
}

ByteList Localizer(float heading, std::optional<std::uint32_t> size) {
  Bytes body;
  body.U8(16).U8(1).F32(heading).F32(5.0f).Zeros(8);
  return Record(kLocalizerId, body.data(), size);
}

ByteList GlideSlope() {
  return Record(kGlideSlopeId, Bytes().Zeros(26).data());
}

ByteList Ils(std::string_view ident, std::uint32_t hertz, float magneticVariation, float heading) {
  NavaidFixedPart fixed;
  fixed.ident = ShiftedIdent(ident);
  fixed.hertz = hertz;
  fixed.magneticVariation = magneticVariation;
  return NavaidRecord(fixed, {GlideSlope(), Localizer(heading)});
}

Subsection& AddNavaids(Section& section, const std::vector<ByteList>& records) {
  Bytes data;
  for (const ByteList& record : records)
    data.Raw(record);
  return section.Add(static_cast<std::uint32_t>(records.size()), data.take());
}

}  // namespace hangarscan::fixture
