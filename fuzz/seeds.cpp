#include "fuzz/seeds.h"

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bgl/bgl_file.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/name_list_records.h"
#include "tests/support/navaid_records.h"

namespace hangarscan::fuzz {
namespace {

using fixture::AirportFixedPart;
using fixture::AirportRecord;
using fixture::BglFile;
using fixture::ByteList;
using fixture::Bytes;
using fixture::Com;
using fixture::Helipad;
using fixture::IcaoEntry;
using fixture::IdentNumber;
using fixture::Ils;
using fixture::Localizer;
using fixture::NameListContent;
using fixture::NavaidFixedPart;
using fixture::NavaidRecord;
using fixture::OtherSubRecord;
using fixture::Runway;
using fixture::RunwaySubRecord;
using fixture::ShiftedIdent;

ByteList Text(std::string_view text) {
  return {text.begin(), text.end()};
}

AirportFixedPart Fixed(std::string_view ident, double longitude, double latitude,
                       std::int32_t altitude = 0) {
  AirportFixedPart fixed;
  fixed.ident = ShiftedIdent(ident);
  fixed.longitude = fixture::LongitudeField(longitude);
  fixed.latitude = fixture::LatitudeField(latitude);
  fixed.altitude = altitude;
  return fixed;
}

// Seattle with two runways (ILS at both ends of one), three COM frequencies, a helipad and a
// sub-record the decoder skips.
ByteList Seattle() {
  RunwaySubRecord withIls;
  withIls.primaryIls = IdentNumber("ISEA");
  withIls.secondaryIls = IdentNumber("ISTR");
  RunwaySubRecord plain;
  plain.primaryNumber = 16;
  plain.primaryDesignator = 2;
  plain.secondaryNumber = 34;
  plain.secondaryDesignator = 1;
  return AirportRecord(
      Fixed("KSEA", -122.309, 47.449, 131000),
      {Runway(withIls), Runway(plain), Com(4, 119900000, "TOWER"), Com(5, 121700000),
       Com(1, 118000000, "ATIS"), Helipad(), OtherSubRecord(0x0019, 10)});
}

ByteList Heathrow() {
  RunwaySubRecord runway;
  runway.primaryNumber = 9;
  runway.primaryDesignator = 1;
  runway.secondaryNumber = 27;
  runway.secondaryDesignator = 2;
  return AirportRecord(Fixed("EGLL", -0.461, 51.477, 25000), {Runway(runway)});
}

ByteList Heliport() {
  return AirportRecord(Fixed("H1", 2.5, 48.8), {Helipad()});
}

// A record with neither runway nor helipad: a correction of the airport with that ident.
ByteList Correction(std::string_view ident, double longitude, double latitude,
                    std::int32_t altitude) {
  return AirportRecord(Fixed(ident, longitude, latitude, altitude), {Com(4, 120000000, "TWR")});
}

ByteList AirportFile(const std::vector<ByteList>& records) {
  BglFile file;
  fixture::AddAirports(file.AddSection(kSectionAirport), records);
  return file.Build();
}

// Names for the idents, in one name-list record: entry k has airport name, city and country k.
NameListContent NamesFor(const std::vector<std::string>& idents) {
  NameListContent content;
  for (std::size_t k = 0; k < idents.size(); ++k) {
    const auto index = static_cast<std::uint16_t>(k);
    content.entries.push_back(
        {ShiftedIdent(idents[k]), static_cast<std::uint8_t>(k), index, index});
    content.airportNames.names.push_back(idents[k] + " International Airport");
    content.cities.names.push_back("City of " + idents[k]);
    content.countries.names.push_back("Country of " + idents[k]);
  }
  return content;
}

ByteList NameListFile(const std::vector<NameListContent>& records) {
  BglFile file;
  fixture::Section& section = file.AddSection(kSectionNameList);
  for (const NameListContent& record : records)
    fixture::AddNameList(section, fixture::NameListRecord(record));
  return file.Build();
}

// The MANY airport's runways: its runway text just below the 2,000 characters a file is
// abandoned above.
constexpr int kManyRunways = 31;

// The ILS idents of the MANY airport's runway ends.
std::string ManyIdent(char end, int runway) {
  return std::string("IM") + end +
         static_cast<char>(runway < 26 ? 'A' + runway : '0' + (runway - 26));
}

ByteList NavaidFile(const std::vector<std::vector<ByteList>>& subsections) {
  BglFile file;
  fixture::Section& section = file.AddSection(kSectionNavaid);
  for (const std::vector<ByteList>& records : subsections)
    fixture::AddNavaids(section, records);
  return file.Build();
}

ByteList IlsWith(std::uint32_t size, const std::vector<ByteList>& subRecords) {
  NavaidFixedPart fixed;
  fixed.size = size;
  return NavaidRecord(fixed, subRecords);
}

// The pieces as one input that the whole-file target decodes as successive files.
ByteList Sequence(const std::vector<ByteList>& files) {
  Bytes input;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) input.Raw(Text(kFileSeparator));
    input.Raw(files[i]);
  }
  return input.take();
}

ByteList WithSize(ByteList record, std::uint32_t size) {
  Bytes patched;
  patched.Raw(record);
  patched.PatchU32(2, size);
  return patched.take();
}

std::vector<Seed> AirportFileSeeds() {
  std::vector<Seed> seeds;
  const auto add = [&seeds](std::string name, ByteList bytes) {
    seeds.push_back({std::move(name), std::move(bytes)});
  };
  add("empty", {});
  add("header-only", BglFile().Build());
  {
    ByteList header = BglFile().Build();
    header.resize(30);
    add("header-short", header);
  }
  {
    BglFile file;
    file.numSection = 991;
    add("numsection-991", file.Build());
  }
  {
    BglFile file;
    file.AddSection(kSectionAirport);
    file.numSection = 3;
    add("section-pointers-short", file.Build());
  }
  add("airports", AirportFile({Seattle(), Heathrow(), Heliport()}));
  {
    BglFile file;
    fixture::Section& section = file.AddSection(kSectionAirport);
    fixture::AddAirports(section, {Seattle()});
    fixture::AddAirports(section, {Heathrow(), Heliport()});
    fixture::AddAirports(file.AddSection(kSectionAirport), {Heliport()});
    add("airports-two-sections", file.Build());
  }
  add("bad-subrecords",
      AirportFile({AirportRecord(Fixed("AAA1", 1, 1), {OtherSubRecord(0x0019, 4, 0)}),
                   AirportRecord(Fixed("AAA2", 1, 1), {OtherSubRecord(0x0019, 4, 3)}),
                   AirportRecord(Fixed("AAA3", 1, 1), {OtherSubRecord(0x0019, 4, 4000)}),
                   AirportRecord(Fixed("AAA4", 1, 1), {Runway({.furtherBytes = 0, .size = 20})}),
                   AirportRecord(Fixed("AAA5", 1, 1), {OtherSubRecord(0x0012, 2)}), Heathrow()}));
  {
    AirportFixedPart wrongId = Fixed("XXXX", 0, 0);
    wrongId.id = 0x003D;
    add("not-an-airport-record", AirportFile({Heathrow(), AirportRecord(wrongId, {Helipad()})}));
  }
  {
    AirportFixedPart zero = Fixed("", 0, 0);
    zero.ident = 0;
    add("ident-zero", AirportFile({AirportRecord(zero, {Helipad()}), Heathrow()}));
  }
  add("record-of-56-bytes", AirportFile({AirportRecord(Fixed("EMPT", 0, 0)), Heathrow()}));
  add("remainder-beyond-the-file", AirportFile({WithSize(Heathrow(), 100000)}));
  add("remainder-negative", AirportFile({WithSize(Heathrow(), 0x80000038), Heathrow()}));
  add("heap-remainder",
      AirportFile({AirportRecord(Fixed("BIGA", 0, 0), {OtherSubRecord(0x0019, 50000), Helipad()}),
                   Heathrow()}));
  {
    BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), {Heathrow()});
    file.AddSection(5).tableOffset = 0xFFFFFFF0;
    file.AddSection(99).subsectionCount = 0xFFFFFFFF;
    add("unknown-sections-pointing-outside", file.Build());
  }
  {
    BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), {Heathrow()}).fileOffset = 0x80000000;
    file.AddSection(kSectionAirport).tableOffset = 0xFFFFFFF0;
    add("offsets-beyond-2gb", file.Build());
  }
  {
    BglFile file;
    fixture::AddAirports(file.AddSection(kSectionAirport), {Heathrow()}).recordCount = 5;
    file.AddSection(kSectionAirport).subsectionCount = 1001;
    add("counts-larger-than-the-data", file.Build());
  }
  {
    std::vector<ByteList> many;
    for (int i = 0; i < 801; ++i)
      many.push_back(AirportRecord(Fixed("A" + std::to_string(i), i / 10.0, 0), {Helipad()}));
    add("801-airports", AirportFile(many));
  }
  {
    std::vector<ByteList> runways(60, Runway());
    std::vector<ByteList> coms(40, Com(4, 118000000, std::string(60, 'C')));
    add("runway-and-com-texts-too-long",
        Sequence({AirportFile({AirportRecord(Fixed("RWYS", 0, 0), runways)}),
                  AirportFile({AirportRecord(Fixed("COMS", 0, 0), coms)})}));
  }
  {
    BglFile file;
    fixture::Section& names = file.AddSection(kSectionNameList);
    fixture::AddNameList(names, fixture::NameListRecord(NamesFor({"KSEA", "EGLL", "H1", "ZZZZ"})));
    fixture::AddAirports(file.AddSection(kSectionAirport), {Seattle(), Heathrow(), Heliport()});
    fixture::AddNavaids(file.AddSection(kSectionNavaid), {Ils("ISEA", 110300000, 356.0f, 93.4f),
                                                          Ils("ISTR", 111700000, 10.0f, 355.0f)});
    const ByteList withNames = file.Build();
    add("airports-navaids-and-names", withNames);
    BglFile correction;
    fixture::AddAirports(correction.AddSection(kSectionAirport),
                         {Correction("KSEA", -122.309, 47.449, 140000)});
    fixture::AddNameList(correction.AddSection(kSectionNameList),
                         fixture::NameListRecord(NamesFor({"KSEA"})));
    add("correction-after-the-airport",
        Sequence({withNames, correction.Build(), AirportFile({Correction("ZZZZ", 10, 10, 0)})}));
  }
  return seeds;
}

std::vector<Seed> ConfigurationSeeds() {
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"key-crlf", "P3DROOTDIR=D:\\P3D v4\r\n"},
      {"key-last-line-without-line-end", "[Prepar3D]\r\nP3DROOTDIR=D:\\P3D v4"},
      {"key-after-other-text", "; settings\n  P3DROOTDIR=C:\\Prepar3D\\\n"},
      {"key-in-lower-case", "p3drootdir=C:\\P3D\n"},
      {"key-without-value", "P3DROOTDIR=\n"},
      {"two-keys", "P3DROOTDIR=first\nP3DROOTDIR=second\n"},
      {"empty", ""},
      {"key-across-a-line-piece", std::string(1015, 'x') + "P3DROOTDIR=C:\\P3D\n"},
      {"key-after-a-long-line", std::string(3000, 'y') + "\nP3DROOTDIR=C:\\P3D\n"},
      {"lone-carriage-returns", "P3DROOTDIR=a\rb\r"},
      {"root-too-long", "P3DROOTDIR=" + std::string(300, 'r') + "\n"},
      {"older-file", "#P3DROOTDIR=E:\\P3D v3\n"},
      {"nul-in-line", std::string("P3DROOTDIR=C:\\\0hidden\n", 22)},
  };
  std::vector<Seed> seeds;
  for (const auto& [name, text] : texts)
    seeds.push_back({name, Text(text)});
  return seeds;
}

std::vector<Seed> NameListSeeds() {
  std::vector<Seed> seeds;
  const auto add = [&seeds](std::string name, const std::vector<NameListContent>& records) {
    seeds.push_back({std::move(name), NameListFile(records)});
  };
  const std::vector<std::string> all = {"KSEA", "EGLL", "H1", "LONG", "KCOR", "ZZZZ"};
  add("every-slot", {NamesFor(all)});
  {
    // With names cut to 25 characters the line is 1,031 characters long; with one-letter names,
    // 993.
    NameListContent content = NamesFor({"LONG"});
    content.airportNames.names[0] = "L";
    content.countries.names[0] = "C";
    add("line-too-long-then-short-enough", {NamesFor({"LONG"}), content});
  }
  {
    NameListContent content = NamesFor({"KSEA", "EGLL", "H1"});
    content.airportNames.names[0] = "";
    content.entries[1].airportNameIndex = 7;
    content.cities.names[2] = "";
    content.airportNames.names[2] = "";
    content.countries.names[1] = "";
    add("city-name-and-country-missing", {content});
  }
  {
    NameListContent content = NamesFor({"KSEA", "EGLL"});
    content.airportNames.names[0] = std::string(191, 'x');
    content.airportNames.valueOffsets = {{1, -5}};
    content.countries.valueOffsets = {{0, 1 << 30}};
    content.cities.valueOffsets = {{1, -1}};
    add("names-failing-their-checks", {content, NamesFor({"H1"})});
  }
  for (const auto& [name, field] : std::vector<std::pair<std::string, int>>{
           {"airport-list", 0}, {"country-list", 1}, {"city-list", 2}, {"icao-list", 3}}) {
    for (const std::int32_t offset : {-100, 10, 0x7FFFFFF0}) {
      NameListContent content = NamesFor({"KSEA", "EGLL"});
      std::optional<std::int32_t>& target = field == 0   ? content.airportNames.offset
                                            : field == 1 ? content.countries.offset
                                            : field == 2 ? content.cities.offset
                                                         : content.icaoOffset;
      target = offset;
      add(name + "-offset-" + std::to_string(offset), {content, NamesFor({"H1"})});
    }
  }
  {
    // Finding: a line feed inside a name split the airport's database line in two.
    NameListContent content = NamesFor({"KSEA", "EGLL", "H1"});
    content.countries.names[1] = "Country of EGLL\nCountry of H1";
    content.airportNames.names[2] = "Heli\nport";
    add("regression-line-feed-in-a-name", {content});
  }
  {
    NameListContent content = NamesFor({"KSEA"});
    content.icaoCount = 0xFFFF;
    content.airportNames.count = 0xFFFF;
    add("counts-beyond-the-data", {content});
  }
  {
    BglFile file;
    fixture::Section& section = file.AddSection(kSectionNameList);
    fixture::AddNameList(section, fixture::NameListRecord(NamesFor({"KSEA"}))).dataSize = 42;
    fixture::AddNameList(section, fixture::NameListRecord(NamesFor({"EGLL"})));
    seeds.push_back({"subsection-of-42-bytes", file.Build()});
  }
  for (const std::uint32_t size : {0u, 41u, 1000043u, 0xFFFFFFFFu}) {
    BglFile file;
    fixture::AddNameList(file.AddSection(kSectionNameList),
                         fixture::NameListRecord(NamesFor({"KSEA"})))
        .dataSize = size;
    seeds.push_back({"subsection-size-" + std::to_string(size), file.Build()});
  }
  {
    BglFile file;
    fixture::AddNameList(file.AddSection(kSectionNameList),
                         fixture::NameListRecord(NamesFor({"KSEA", "EGLL"})));
    file.truncateTo = file.Build().size() - 3;
    seeds.push_back({"name-without-terminator", file.Build()});
    file.truncateTo = 56 + 20 + 16 + 20;
    seeds.push_back({"header-cut", file.Build()});
  }
  {
    BglFile file;
    file.AddSection(kSectionNameList).subsectionCount = 1001;
    seeds.push_back({"subsections-1001", file.Build()});
  }
  return seeds;
}

std::vector<Seed> IlsSeeds() {
  std::vector<Seed> seeds;
  const auto add = [&seeds](std::string name, ByteList bytes) {
    seeds.push_back({std::move(name), std::move(bytes)});
  };
  std::vector<ByteList> every = {Ils("ISEA", 110300000, 356.0f, 93.4f),
                                 Ils("ISTR", 111700000, 10.0f, 355.0f),
                                 Ils("IBFI", 109900000, 0.0f, 135.0f)};
  for (int runway = 0; runway < kManyRunways; ++runway) {
    every.push_back(Ils(ManyIdent('A', runway), 108000000 + 50000 * runway, 3.0f, 1.0f));
    every.push_back(Ils(ManyIdent('B', runway), 112000000 + 50000 * runway, 359.9f, 359.9f));
  }
  NavaidFixedPart vor;
  vor.type = fixture::kVorType;
  every.push_back(NavaidRecord(vor, {Localizer(10.0f)}));
  add("ils-for-every-runway", NavaidFile({every}));
  add("ils-in-two-subsections", NavaidFile({{every[0], every[1]}, {every[2]}}));
  add("no-ils", NavaidFile({}));
  {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<ByteList> extreme = {Ils("ISEA", 0xFFFFFFFF, nan, 1.0f),
                                     Ils("ISTR", 110000000, 0.0f, inf),
                                     Ils("IBFI", 110000000, 1e10f, 0.0f)};
    // Each fragment is 4 characters longer than its placeholder: the runway text outgrows its
    // 2,047 characters half way.
    for (int runway = 0; runway < kManyRunways; ++runway) {
      extreme.push_back(Ils(ManyIdent('A', runway), 0xFFFFFFFF, -3e9f, 0.0f));
      extreme.push_back(Ils(ManyIdent('B', runway), 0xFFFFFFFF, -3e9f, 0.0f));
    }
    add("headings-beyond-the-integers", NavaidFile({extreme}));
  }
  {
    NavaidFixedPart zero;
    zero.ident = 0;
    add("ident-zero-and-blank-digit",
        NavaidFile({{NavaidRecord(zero, {Localizer(1.0f)}), Ils("I AB", 110000000, 0, 0)}}));
  }
  add("record-sizes", NavaidFile({{IlsWith(45, {}), Ils("ISEA", 110300000, 0, 1)},
                                  {IlsWith(46, {fixture::GlideSlope()}), IlsWith(0x80000028, {}),
                                   Ils("ISTR", 110300000, 0, 1)},
                                  {IlsWith(0, {}), Ils("IBFI", 110300000, 0, 1)}}));
  add("sub-records-that-end-the-walk",
      NavaidFile({{NavaidRecord({}, {Localizer(5.0f), OtherSubRecord(0x0015, 4, 0)}),
                   NavaidRecord({}, {Localizer(5.0f, 8)}),
                   NavaidRecord({}, {Localizer(5.0f), Localizer(6.0f, 400)}),
                   NavaidRecord({}, {fixture::GlideSlope()}),
                   NavaidRecord({}, {Localizer(1.0f), Localizer(2.0f)})}}));
  add("area-beyond-the-file", NavaidFile({{IlsWith(100000, {Localizer(1.0f)})}}));
  add("heap-area", NavaidFile({{NavaidRecord({}, {OtherSubRecord(0x0015, 5000), Localizer(7.0f)}),
                                Ils("ISTR", 110300000, 0, 1)}}));
  {
    std::vector<ByteList> many;
    for (int i = 0; i < 803; ++i)
      many.push_back(Ils(i == 802 ? "ISEA" : "IX" + std::to_string(i % 10), 110000000, 0, 0));
    add("more-than-802-ils", NavaidFile({many}));
  }
  {
    BglFile file;
    fixture::AddNavaids(file.AddSection(kSectionNavaid), {every[0]}).recordCount = 9;
    file.AddSection(kSectionNavaid).subsectionCount = 1001;
    add("counts-larger-than-the-data", file.Build());
  }
  {
    BglFile file;
    fixture::AddNavaids(file.AddSection(kSectionNavaid), {every[0]});
    fixture::AddNavaids(file.AddSection(kSectionNavaid), {every[1]}).fileOffset = 0xFFFFFF00;
    add("subsection-beyond-the-file", file.Build());
  }
  return seeds;
}

struct TargetSeeds {
  std::string_view target;
  std::vector<Seed> (*build)();
};

constexpr TargetSeeds kTargets[] = {
    {"bgl_file", AirportFileSeeds},
    {"config_scan", ConfigurationSeeds},
    {"name_list", NameListSeeds},
    {"ils_section", IlsSeeds},
};

}  // namespace

std::vector<std::uint8_t> NameListAirports() {
  std::vector<ByteList> runways;
  for (int i = 0; i < 58; ++i) {
    RunwaySubRecord runway;
    runway.primaryNumber = static_cast<std::uint8_t>(i % 36 + 1);
    runways.push_back(Runway(runway));
  }
  return AirportFile(
      {Seattle(), Heathrow(), Heliport(), AirportRecord(Fixed("KSEA", 10, 10), {Helipad()}),
       AirportRecord(Fixed("LONG", 20, 20), runways), Correction("KCOR", 30, 30, 0)});
}

std::vector<std::uint8_t> IlsAirports() {
  RunwaySubRecord kbfi;
  kbfi.primaryIls = IdentNumber("IBFI");
  kbfi.secondaryIls = IdentNumber("ISEA");
  RunwaySubRecord blank;
  blank.primaryIls = IdentNumber("I AB");
  std::vector<ByteList> runways;
  for (int runway = 0; runway < kManyRunways; ++runway) {
    RunwaySubRecord many;
    many.primaryNumber = static_cast<std::uint8_t>(runway + 1);
    many.primaryIls = IdentNumber(ManyIdent('A', runway));
    many.secondaryIls = IdentNumber(ManyIdent('B', runway));
    runways.push_back(Runway(many));
  }
  return AirportFile({Seattle(), AirportRecord(Fixed("KBFI", -122.3, 47.5), {Runway(kbfi)}),
                      AirportRecord(Fixed("BLNK", 1, 1), {Runway(blank)}),
                      AirportRecord(Fixed("MANY", 2, 2), runways)});
}

std::vector<std::string_view> SeedTargets() {
  std::vector<std::string_view> names;
  for (const TargetSeeds& entry : kTargets)
    names.push_back(entry.target);
  return names;
}

std::vector<Seed> SeedsFor(std::string_view target) {
  for (const TargetSeeds& entry : kTargets) {
    if (entry.target == target) return entry.build();
  }
  return {};
}

}  // namespace hangarscan::fuzz
