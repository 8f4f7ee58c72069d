// The name-list sections of a BGL file (type 0x27): the ICAO idents and the airport, city and
// country names of the file's airports. Each ICAO entry is matched with the airport slot of the
// same ident, and the resolved airport goes into the airport table as one record line.
//
// Every position, offset table, string and ICAO entry is checked against the data that was read:
// one that lies beyond it, or a string without its terminator inside it, fails the check of its
// list or name as a negative one does. So does a name holding a line feed.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "bgl/byte_reader.h"
#include "bgl/ident_codec.h"
#include "bgl/record_line.h"
#include "env/run_log.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::size_t kNameListHeaderBytes = 42;
constexpr std::size_t kNameListDataBytes = 1000000;
constexpr std::int64_t kIcaoEntryBytes = 20;
constexpr std::int64_t kValueOffsetBytes = 4;
constexpr std::size_t kMaxNameLength = 190;

// Header fields: the four counts and the four list offsets.
constexpr std::size_t kCountryCountAt = 8;
constexpr std::size_t kCityCountAt = 12;
constexpr std::size_t kAirportNameCountAt = 14;
constexpr std::size_t kIcaoCountAt = 16;
constexpr std::size_t kCountryListAt = 22;
constexpr std::size_t kCityListAt = 30;
constexpr std::size_t kAirportNameListAt = 34;
constexpr std::size_t kIcaoListAt = 38;

// IcaoListEntry fields.
constexpr std::size_t kEntryCountryIndexAt = 1;
constexpr std::size_t kEntryCityIndexAt = 4;
constexpr std::size_t kEntryAirportNameIndexAt = 6;
constexpr std::size_t kEntryIdentAt = 8;

// The record from its byte 42 on; the name tables point into it. One entry for any 16-bit count.
using NameTable = std::array<std::string_view, 65536>;
std::array<std::uint8_t, kNameListDataBytes> NameListData;
NameTable AirportNameTable;
NameTable CountryNameTable;
NameTable CityNameTable;

struct Report {
  std::string_view box;
  const char* log;
  bool withPath;  // the log text is followed by the path of the current BGL file
};

void MakeReport(const Report& report) {
  if (report.withPath) {
    ReportError(report.box, "Error!", "%s%s\n", report.log, gState.CurrentBglPath.data());
  } else {
    ReportError(report.box, "Error!", "%s\n", report.log);
  }
}

struct NameList {
  std::size_t countAt;
  std::size_t offsetAt;
  NameTable& table;
  Report stringArea;   // its string area starts before the data
  Report offsetTable;  // its offset table starts before the data or reaches beyond it
  Report name;         // one string is not usable
};

const std::array<NameList, 3> kNameLists = {{
    {kAirportNameCountAt,
     kAirportNameListAt,
     AirportNameTable,
     {"Error OffsetAirportList<0 - bypassing airport See Log file",
      "Error OffsetAirportList<0 - bypassing airport", false},
     {"Error OffsetAirportBaseOffsetList<0 -  See Log file",
      "Error OffsetAirportBaseOffsetList<0 - bypassing airport", true},
     {"Error ValueOffset/OffSetName<0 -  See Log file",
      "Error ValueOffset/OffSetName<0 - bypassing airport", true}},
    {kCountryCountAt,
     kCountryListAt,
     CountryNameTable,
     {"Error OffsetCountryList<0 -  See Log file", "Error OffsetCountryList<0 - bypassing airport",
      true},
     {"Error OffsetCountryBaseOffsetList<0 -  See Log file",
      "Error OffsetCountryBaseOffsetList<0 - bypassing airport", true},
     {"Error OffsetCountryList ValueOffset<0 -  See Log file",
      "Error Error OffsetCountryList ValueOffset<0 &&> 190 - bypassing airport", true}},
    {kCityCountAt,
     kCityListAt,
     CityNameTable,
     {"Error OffsetCityList<0 -  See Log file", "Error Error OffsetCityList<0 - bypassing airport",
      true},
     {"Error OffsetCityBaseOffsetList<0 -  See Log file",
      "Error OffsetCityBaseOffsetList<0  - bypassing airport", true},
     {"Error NbrCityName ValueOffset<0 -  See Log file",
      "Error NbrCityName ValueOffset<0 - bypassing airport", true}},
}};

constexpr Report kIcaoListReport = {"Error OffsetICAOList<0 -  See Log file",
                                    "Error OffsetICAOList<0 - bypassing airport", true};
constexpr Report kNoSlotReport = {
    "Error No matching airport record found in bgl file -  See Log file",
    "Error No matching airport record found in bgl file - bypassing airport", true};
constexpr Report kNoNameReport = {"WARNING NO AIRPORT NAME AND NO CITY NAME -  See Log file",
                                  "WARNING NO AIRPORT NAME AND NO CITY NAME - bypassing airport",
                                  true};

// One name-list record: its header and the data read after it.
struct NameListRecord {
  std::array<std::uint8_t, kNameListHeaderBytes> header;
  std::span<const std::uint8_t> data;

  std::uint16_t Count(std::size_t at) const { return U16At(header, at); }
  // A list offset as a position in the data; 64-bit, so no offset from the file can overflow it.
  std::int64_t Position(std::size_t at) const {
    return std::int64_t{I32At(header, at)} - std::int64_t{kNameListHeaderBytes};
  }
  bool Holds(std::int64_t position, std::int64_t bytes) const {
    return position + bytes <= static_cast<std::int64_t>(data.size());
  }
};

// String k of a list, or none when its ValueOffset is negative, it starts outside the data, is
// longer than 190 characters, has no terminator inside the data or holds a line feed (which would
// split the airport's database line in two).
std::optional<std::string_view> NameAt(std::span<const std::uint8_t> data, std::int64_t stringArea,
                                       std::int32_t valueOffset) {
  const std::int64_t position = stringArea + valueOffset;
  if (valueOffset < 0 || position >= static_cast<std::int64_t>(data.size())) return std::nullopt;
  const auto rest = data.subspan(static_cast<std::size_t>(position));
  const auto searched = rest.first(std::min(rest.size(), kMaxNameLength + 1));
  const auto terminator = std::find(searched.begin(), searched.end(), 0);
  if (terminator == searched.end() || std::find(searched.begin(), terminator, '\n') != terminator)
    return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(searched.data()),
                          static_cast<std::size_t>(terminator - searched.begin()));
}

// Fills positions 0 to count - 1 of the list's table; a name that fails its check is reported
// and left empty. False, after the report, when the list itself is unusable.
bool LoadNames(const NameListRecord& record, const NameList& list) {
  const std::int64_t count = record.Count(list.countAt);
  const std::int64_t offsetTable = record.Position(list.offsetAt);
  const std::int64_t stringArea = offsetTable + kValueOffsetBytes * count;
  if (stringArea < 0) {
    MakeReport(list.stringArea);
    return false;
  }
  if (offsetTable < 0 || (count > 0 && !record.Holds(stringArea, 0))) {
    MakeReport(list.offsetTable);
    return false;
  }
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int32_t valueOffset =
        I32At(record.data, static_cast<std::size_t>(offsetTable + kValueOffsetBytes * k));
    const std::optional<std::string_view> name = NameAt(record.data, stringArea, valueOffset);
    list.table[static_cast<std::size_t>(k)] = name.value_or(std::string_view());
    if (!name) MakeReport(list.name);
  }
  return true;
}

// The table's string at `index` when the index is below the list's count; else empty.
std::string_view Pick(const NameTable& table, std::uint32_t index, std::uint32_t count) {
  return index < count ? table[index] : std::string_view();
}

// The first of the file's airport slots with this ident, or -1.
int FindSlot(std::uint32_t identField) {
  for (int i = 0; i < gBgl.iAirpNmbr; ++i) {
    if (AirportIdentField(gAirportSlots[i]) == identField) return i;
  }
  return -1;
}

Flow ResolveEntry(const NameListRecord& record, std::span<const std::uint8_t> entry) {
  const std::uint32_t identField = U32At(entry, kEntryIdentAt);
  const int slot = FindSlot(identField);
  if (slot < 0) {
    MakeReport(kNoSlotReport);
    return Flow::GoOn;
  }
  if (HoldsCorrection(gAirportSlots[slot])) return Flow::GoOn;
  std::array<char, kIdentTextBytes> ident{};
  DecodeICAONAME(ident, identField);
  std::string_view name = Pick(AirportNameTable, U16At(entry, kEntryAirportNameIndexAt),
                               record.Count(kAirportNameCountAt));
  const std::string_view country =
      Pick(CountryNameTable, U8At(entry, kEntryCountryIndexAt), record.Count(kCountryCountAt));
  if (name.empty()) {
    name = Pick(CityNameTable, U16At(entry, kEntryCityIndexAt), record.Count(kCityCountAt));
    if (name.empty()) MakeReport(kNoNameReport);
  }
  if (name.empty() || country.empty()) return Flow::GoOn;
  return InsertRecordLine({slot, TextOf(ident), name, country, identField});
}

Flow ResolveEntries(const NameListRecord& record) {
  const std::int64_t count = record.Count(kIcaoCountAt);
  const std::int64_t first = record.Position(kIcaoListAt);
  if (first < 0 || (count > 0 && !record.Holds(first, kIcaoEntryBytes * count))) {
    MakeReport(kIcaoListReport);
    return Flow::GoOn;
  }
  for (std::int64_t k = 0; k < count; ++k) {
    const auto entry = record.data.subspan(static_cast<std::size_t>(first + kIcaoEntryBytes * k),
                                           static_cast<std::size_t>(kIcaoEntryBytes));
    if (ResolveEntry(record, entry) == Flow::Abandon) return Flow::Abandon;
  }
  return Flow::GoOn;
}

// Reads the subsection's record; none, after the report if there is one, when the file is to be
// abandoned. A data part larger than NameListData cannot be read into it: a failed read.
std::optional<NameListRecord> ReadRecord(const SubSecPtr& subsection) {
  NameListRecord record{};
  if (!SeekBgl(subsection.FileOffset, "Namelist structure")) return std::nullopt;
  if (!CheckedRead("Namelist structure", record.header)) return std::nullopt;
  if (subsection.DataSize < kNameListHeaderBytes ||
      subsection.DataSize - kNameListHeaderBytes > kNameListDataBytes) {
    ReportReadError("Namelist substructure");
    return std::nullopt;
  }
  const std::size_t dataSize = subsection.DataSize - kNameListHeaderBytes;
  if (dataSize == 0) return std::nullopt;  // a record without data ends the file silently
  const std::span<std::uint8_t> data(NameListData.data(), dataSize);
  if (!CheckedRead("Namelist substructure", data)) return std::nullopt;
  record.data = data;
  return record;
}

Flow ReadNameListSubsection(const SubSecPtr& subsection) {
  const std::optional<NameListRecord> record = ReadRecord(subsection);
  if (!record) return Flow::Abandon;
  for (const NameList& list : kNameLists) {
    if (!LoadNames(*record, list)) return Flow::GoOn;
  }
  return ResolveEntries(*record);
}

}  // namespace

Flow ReadNameListSection(int sectionIndex) {
  if (ReadSubSecPtrTable(sectionIndex, "subsection 0x27") == Flow::Abandon) return Flow::Abandon;
  const std::uint32_t subsections = gBgl.Sections[sectionIndex].SubsectionCount;
  for (std::uint32_t j = 0; j < subsections; ++j) {
    if (ReadNameListSubsection(gBgl.SubSecPtrs[j]) == Flow::Abandon) return Flow::Abandon;
  }
  return Flow::GoOn;
}

}  // namespace hangarscan
