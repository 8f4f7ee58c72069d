#include "tests/support/name_list_records.h"

namespace hangarscan::fixture {
namespace {

constexpr std::uint16_t kNameListRecordId = 0x0027;

// The list's offset table and strings, as they follow each other in the record.
std::vector<std::uint8_t> ListBytes(const NameStrings& list) {
  Bytes table;
  Bytes strings;
  std::vector<std::int32_t> valueOffsets;
  for (const std::string& name : list.names) {
    valueOffsets.push_back(static_cast<std::int32_t>(strings.size()));
    strings.CString(name);
  }
  for (const auto& [k, value] : list.valueOffsets) {
    if (k >= valueOffsets.size()) valueOffsets.resize(k + 1, 0);
    valueOffsets[k] = value;
  }
  for (std::int32_t value : valueOffsets)
    table.I32(value);
  return table.Raw(strings.data()).take();
}

std::uint16_t CountOf(const NameStrings& list) {
  return list.count.value_or(static_cast<std::uint16_t>(list.names.size()));
}

}  // namespace

std::vector<std::uint8_t> NameListRecord(const NameListContent& content) {
  Bytes icao;
  for (const IcaoEntry& entry : content.entries) {
    icao.U8(0).U8(entry.countryIndex).U16(0).U16(entry.cityIndex).U16(entry.airportNameIndex);
    icao.U32(entry.ident).Zeros(8);
  }
  const std::vector<std::uint8_t> countries = ListBytes(content.countries);
  const std::vector<std::uint8_t> cities = ListBytes(content.cities);
  const std::vector<std::uint8_t> airportNames = ListBytes(content.airportNames);

  const auto icaoAt = static_cast<std::int32_t>(kNameListHeaderSize);
  const std::int32_t countriesAt = icaoAt + static_cast<std::int32_t>(icao.size());
  const std::int32_t citiesAt = countriesAt + static_cast<std::int32_t>(countries.size());
  const std::int32_t airportNamesAt = citiesAt + static_cast<std::int32_t>(cities.size());
  const auto size = static_cast<std::uint32_t>(airportNamesAt + airportNames.size());

  Bytes record;
  record.U16(kNameListRecordId).U32(size).Zeros(2);
  record.U16(CountOf(content.countries)).Zeros(2);
  record.U16(CountOf(content.cities)).U16(CountOf(content.airportNames));
  record.U16(content.icaoCount.value_or(static_cast<std::uint16_t>(content.entries.size())));
  record.Zeros(4).I32(content.countries.offset.value_or(countriesAt));
  record.Zeros(4).I32(content.cities.offset.value_or(citiesAt));
  record.I32(content.airportNames.offset.value_or(airportNamesAt));
  record.I32(content.icaoOffset.value_or(icaoAt));
  record.Raw(icao.data()).Raw(countries).Raw(cities).Raw(airportNames);
  return record.take();
}

Subsection& AddNameList(Section& section, std::vector<std::uint8_t> record) {
  return section.Add(1, std::move(record));
}

}  // namespace hangarscan::fixture
