#include "tools/sample_scenery.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/name_list_records.h"
#include "tests/support/navaid_records.h"

namespace hangarscan::sample {
namespace {

namespace fs = std::filesystem;
using fixture::ByteList;

constexpr int kMaxAirportsPerFile = 790;
constexpr std::uint32_t kSectionAirport = 3;
constexpr std::uint32_t kSectionNavaid = 19;
constexpr std::uint32_t kSectionNameList = 39;
constexpr std::uint32_t kSectionTerrain = 101;  // one of the many types the decoder passes over
constexpr std::size_t kSubRecordHeader = 6;
// Below the decoder's 802 fragments a file, whatever the airports' runways ask for.
constexpr int kMaxIlsPerFile = 700;

// splitmix64: the same numbers from every compiler and library, unlike the standard
// distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to n - 1.
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  double Degrees(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 11) / 9007199254740992.0;
  }
  bool Percent(int percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }
  template <typename T>
  void Shuffle(std::vector<T>& items) {
    for (std::size_t i = items.size(); i > 1; --i)
      std::swap(items[i - 1], items[static_cast<std::size_t>(Below(static_cast<int>(i)))]);
  }

 private:
  std::uint64_t state_;
};

struct Region {
  std::string folder;
  double west, east, south, north;
  std::vector<std::string> countries;
  std::string identLetters;  // first letters of its idents
};

const std::vector<Region> kRegions = {
    {"Afri",
     -17,
     50,
     -34,
     35,
     {"South Africa", "Kenya", "Democratic Republic of the Congo"},
     "FHD"},
    {"Asia", 60, 145, 5, 55, {"China", "India", "Japan", "Thailand"}, "ZVR"},
    {"Eure", 15, 40, 40, 70, {"Poland", "Finland", "Greece", "Ukraine"}, "EUL"},
    {"Euro", 0, 15, 40, 60, {"Germany", "France", "Switzerland", "Italy"}, "EL"},
    {"Eurw", -10, 5, 36, 60, {"United Kingdom", "Spain", "Portugal", "Ireland"}, "EL"},
    {"Namc", -105, -85, 25, 50, {"United States", "Mexico"}, "KM"},
    {"Name", -85, -60, 25, 50, {"United States", "Canada"}, "KC"},
    {"Namw", -125, -105, 30, 60, {"United States", "Canada"}, "KC"},
    {"Ocen", 110, 179, -47, -10, {"Australia", "New Zealand"}, "YN"},
    {"Samr",
     -80,
     -35,
     -55,
     10,
     {"Brazil", "Argentina", "Chile", "Saint Vincent and the Grenadines"},
     "S"},
};

const std::vector<std::string> kSyllables = {"ka",  "ro", "mi", "san", "ta", "vel", "dor", "an",
                                             "bri", "lo", "ne", "tra", "gu", "ser", "ho",  "lin"};
const std::vector<std::string> kAirportKinds = {
    "Intl",     "International Airport", "Regional", "Municipal Airport", "Airfield",
    "Air Base", "County Airport",        "Field",    "Airstrip",          "Airpark"};
const std::vector<std::string> kComNames = {"", "TOWER", "GROUND", "ATIS", "APPROACH", "UNICOM"};
const std::vector<std::uint16_t> kSurfaces = {0, 1, 2, 4, 5, 8, 12};
const std::vector<std::string> kDesignators = {"", "L", "R", "C"};
const std::vector<std::uint8_t> kNavaidTypes = {1, 2, 3, 5};  // VORs and NDBs, no ILS (4)
const std::vector<std::uint16_t> kSkippedSubRecordIds = {0x0019, 0x001A, 0x003D, 0x0066};
const std::vector<std::uint32_t> kTerrainTypes = {kSectionTerrain, 0x65, 0x67, 0x68, 0x2B};

// Names compared as the listing orders them: a-z folded to A-Z, ties broken by the raw bytes.
bool ListedBefore(const std::string& a, const std::string& b) {
  const auto fold = [](std::string text) {
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
  };
  const std::string foldedA = fold(a), foldedB = fold(b);
  return foldedA != foldedB ? foldedA < foldedB : a < b;
}

std::string Capitalised(std::string word) {
  word[0] = static_cast<char>(word[0] - 'a' + 'A');
  return word;
}

std::string PlaceName(Random& random) {
  std::string name;
  for (int i = random.Between(2, 4); i > 0; --i)
    name += random.Pick(kSyllables);
  return Capitalised(name);
}

std::string Ident(Random& random, const Region& region) {
  const int length = random.Percent(5) ? 3 : random.Percent(1) ? 5 : 4;
  std::string ident(1, region.identLetters[static_cast<std::size_t>(
                           random.Below(static_cast<int>(region.identLetters.size())))]);
  while (static_cast<int>(ident.size()) < length) {
    ident += random.Percent(85) ? static_cast<char>('A' + random.Below(26))
                                : static_cast<char>('0' + random.Below(10));
  }
  return ident;
}

// The position key the database shows for the fields: thousandths of a degree, each coordinate
// shifted by 300 degrees, longitude first.
std::string PositionKey(std::uint32_t longitudeField, std::uint32_t latitudeField) {
  const double longitude =
      ((static_cast<double>(longitudeField) * (15.0 / 33554432.0)) - 180.0 + 300.0) * 1000.0;
  const double latitude =
      ((90.0 - static_cast<double>(latitudeField) * (45.0 / 134217728.0)) + 300.0) * 1000.0;
  std::array<char, 32> key;
  std::snprintf(key.data(), key.size(), "%06i%06i", static_cast<int>(longitude),
                static_cast<int>(latitude));
  return key.data();
}

// The sub-records of one airport and the COM and runway texts they render to, in record order.
struct AirportParts {
  std::vector<ByteList> subRecords;
  std::string comText;
  std::string runwayFragments;
  int runways = 0;
  int helipads = 0;
};

struct Part {
  ByteList bytes;
  std::string com;
  std::string runway;
};

// The ILS navaids of one airport file: each has an ident of its own, so each serves exactly the
// runway end that names it.
struct FileIls {
  std::set<std::string> idents;
  std::vector<ByteList> records;
};

// The heading the decoder renders: magnetic variation and localizer heading summed with the
// whole-degree steps it takes, negative sums kept as they come out.
int RenderedIlsHeading(int variation, int heading) {
  int sum = variation + heading - 360;
  if (sum < 0) sum += 360;
  if (sum > 360) sum -= 360;
  return sum;
}

// A new ILS for a runway end marked `digit`; returns its raw ident field and adds the text that
// stands in the runway fragment after the substitution.
std::uint32_t AddIls(Random& random, FileIls& ils, char digit, std::string& text) {
  std::string ident;
  do {
    ident = "I";
    for (int i = random.Between(2, 3); i > 0; --i)
      ident += static_cast<char>('A' + random.Below(26));
  } while (!ils.idents.insert(ident).second);
  const std::uint32_t kilohertz = 108100 + 50 * static_cast<std::uint32_t>(random.Below(78));
  const int variation = random.Between(-15, 15);
  const int heading = random.Between(0, 359);
  ils.records.push_back(fixture::Ils(ident, kilohertz * 1000, static_cast<float>(variation),
                                     static_cast<float>(heading)));
  text += "$" + std::string(1, digit) + ident + "," + std::to_string(kilohertz) + "," +
          std::to_string(RenderedIlsHeading(variation, heading)) + "$";
  return fixture::IdentNumber(ident);
}

Part RunwayPart(Random& random, FileIls& ils, int ilsPercent) {
  fixture::RunwaySubRecord runway;
  runway.surface = random.Pick(kSurfaces);
  runway.primaryNumber = static_cast<std::uint8_t>(random.Between(1, 36));
  runway.secondaryNumber = static_cast<std::uint8_t>((runway.primaryNumber + 17) % 36 + 1);
  const int pair = random.Below(10);  // none, L and R, or C at both ends
  runway.primaryDesignator = static_cast<std::uint8_t>(pair < 7 ? 0 : pair < 9 ? 1 : 3);
  runway.secondaryDesignator = static_cast<std::uint8_t>(pair < 7 ? 0 : pair < 9 ? 2 : 3);
  const int length = random.Between(400, 4200);
  runway.length = static_cast<float>(length);
  std::string ilsText;
  for (const char digit : {'1', '2'}) {
    if (!random.Percent(ilsPercent) || static_cast<int>(ils.records.size()) >= kMaxIlsPerFile)
      continue;
    (digit == '1' ? runway.primaryIls : runway.secondaryIls) = AddIls(random, ils, digit, ilsText);
  }
  std::array<char, 64> text;
  std::snprintf(text.data(), text.size(), "@R%u,%i,%u%s,%u%s", unsigned{runway.surface}, length,
                unsigned{runway.primaryNumber}, kDesignators[runway.primaryDesignator].c_str(),
                unsigned{runway.secondaryNumber}, kDesignators[runway.secondaryDesignator].c_str());
  return {fixture::Runway(runway), "", text.data() + ilsText + ";"};
}

// Frequencies on the 25 kHz raster: exact as floats, so they print as their kilohertz.
Part ComPart(Random& random) {
  const auto type = static_cast<std::uint16_t>(random.Between(1, 15));
  const std::uint32_t kilohertz = 118000 + 25 * static_cast<std::uint32_t>(random.Below(760));
  std::array<char, 32> text;
  std::snprintf(text.data(), text.size(), "~%u.%03u,%u;", kilohertz / 1000, kilohertz % 1000,
                unsigned{type});
  return {fixture::Com(type, kilohertz * 1000, random.Pick(kComNames)), text.data(), ""};
}

AirportParts MakeParts(Random& random, std::size_t extraBytes, FileIls& ils, int ilsPercent) {
  const int roll = random.Below(100);
  const int runways = roll < 10 ? 0 : roll < 65 ? 1 : roll < 90 ? 2 : roll < 97 ? 3 : 4;
  const int helipads = runways == 0 ? (random.Percent(80) ? 1 : 2) : (random.Percent(10) ? 1 : 0);
  std::vector<Part> parts;
  for (int i = 0; i < runways; ++i)
    parts.push_back(RunwayPart(random, ils, ilsPercent));
  for (int i = random.Between(0, 5); i > 0; --i)
    parts.push_back(ComPart(random));
  for (int i = 0; i < helipads; ++i)
    parts.push_back({fixture::Helipad(), "", ""});
  for (std::size_t left = extraBytes; left >= kSubRecordHeader;) {
    const std::size_t body =
        std::min(left, std::size_t{120} + random.Below(200)) - kSubRecordHeader;
    parts.push_back({fixture::OtherSubRecord(random.Pick(kSkippedSubRecordIds), body), "", ""});
    left -= body + kSubRecordHeader;
  }
  random.Shuffle(parts);
  AirportParts result{{}, {}, {}, runways, helipads};
  for (Part& part : parts) {
    result.subRecords.push_back(std::move(part.bytes));
    result.comText += part.com;
    result.runwayFragments += part.runway;
  }
  return result;
}

struct SampleAirport {
  std::string ident;
  std::string name;  // empty: the city stands in for it
  std::string city;
  std::string country;
  bool hasEntry = true;         // named in the file's name list
  bool nameOutside = false;     // its empty name comes from an index past the list
  bool countryOutside = false;  // its country index is past the list: no line
  fixture::AirportFixedPart fixed;
  int runways = 0;
  ByteList record;
  std::string line;  // the record line it gives; empty when it gives none
};

// A correction as the table sees it: the airport it seeks, the key it writes over the found
// line and the altitude field it puts in.
struct Correction {
  std::string ident;
  std::string key;
  std::int32_t altitude;  // the altitude field's value: hundredths of the record's field
};

// One file's effect on the table, replayed in walk order: its corrections come in the airport
// pass, its lines in the name-list pass after it.
struct WalkedFile {
  std::string region;
  std::string name;
  std::vector<Correction> corrections;
  std::vector<std::string> lines;
  std::vector<std::string> idents;  // of each line
};

// The airport table as a refresh builds it, and the counters it keeps on the way.
class TableModel {
 public:
  explicit TableModel(SampleScenery& result) : result_(result) {}

  void Replay(const WalkedFile& file) {
    for (const Correction& correction : file.corrections)
      Apply(correction);
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      result_.recordLines.push_back(file.lines[i]);
      idents_.push_back(file.idents[i]);
      Longest(file.lines[i].size());
    }
  }

 private:
  // Every line of the ident, in table order, takes the correction's key and ident until one has
  // an altitude field to correct.
  void Apply(const Correction& correction) {
    bool found = false;
    for (std::size_t i = 0; i < idents_.size(); ++i) {
      if (idents_[i] != correction.ident) continue;
      found = true;
      std::string& line = result_.recordLines[i];
      const std::string prefix = correction.key + correction.ident.substr(0, 4);
      line.replace(0, prefix.size(), prefix);
      if (CorrectAltitude(line, correction.altitude)) return;
    }
    if (!found) ++result_.correctionsMissed;
  }

  bool CorrectAltitude(std::string& line, std::int32_t altitude) {
    const std::size_t marker = line.find('\x80');
    if (marker == std::string::npos) return false;
    const std::size_t semicolon = line.find(';', marker);
    if (semicolon == std::string::npos || semicolon - marker > 9) return false;
    const long old =
        std::strtol(line.substr(marker + 1, semicolon - marker - 1).c_str(), nullptr, 10);
    line.replace(marker, semicolon - marker + 1, "\x80" + std::to_string(altitude) + ";");
    Longest(line.size());
    ++result_.airportsCorrected;
    if (old != altitude) ++result_.altitudesCorrected;
    return true;
  }

  void Longest(std::size_t length) {
    result_.maxLineLength = std::max(result_.maxLineLength, static_cast<int>(length));
  }

  SampleScenery& result_;
  std::vector<std::string> idents_;
};

class Generator {
 public:
  Generator(const SampleOptions& options, SampleScenery& result)
      : options_(options), result_(result), random_(options.seed) {}

  void Run(const fs::path& folder);

 private:
  SampleAirport MakeAirport(const Region& region, std::string ident, FileIls& ils);
  WalkedFile WriteAirportFile(const fs::path& path, const Region& region, int count);
  WalkedFile WriteCorrectionFile(const fs::path& path, const Region& region,
                                 const std::vector<SampleAirport>& targets);
  SampleAirport MakeCorrection(const Region& region, const std::vector<SampleAirport>& targets,
                               std::set<std::string>& inFile, Correction& correction);
  std::string NewIdent(const Region& region);
  void WriteOtherBglFile(const fs::path& path, int index);
  void WriteOtherFile(const fs::path& path);
  void Write(const fs::path& path, const ByteList& bytes);
  void CopyFile(const fs::path& file, const fs::path& folder);

  const SampleOptions& options_;
  SampleScenery& result_;
  Random random_;
  std::set<std::string> allIdents_;
  // Per region: the airports with a line and a runway, which corrections may seek.
  std::vector<std::vector<SampleAirport>> targets_ =
      std::vector<std::vector<SampleAirport>>(kRegions.size());
};

// An ident no airport of the sample has yet.
std::string Generator::NewIdent(const Region& region) {
  std::string ident;
  do {
    ident = Ident(random_, region);
  } while (!allIdents_.insert(ident).second);
  return ident;
}

SampleAirport Generator::MakeAirport(const Region& region, std::string ident, FileIls& ils) {
  SampleAirport airport;
  airport.ident = std::move(ident);
  airport.city = PlaceName(random_);
  airport.country = random_.Pick(region.countries);
  const AirportParts parts =
      MakeParts(random_, options_.extraBytesPerAirport, ils, options_.ilsPercent);
  airport.runways = parts.runways;
  airport.name = parts.runways == 0 ? airport.city + " Heliport"
                                    : airport.city + " " + random_.Pick(kAirportKinds);
  if (random_.Percent(3)) {
    airport.name.clear();
    airport.nameOutside = random_.Percent(50);
  }
  airport.hasEntry = !random_.Percent(2);
  airport.countryOutside = random_.Percent(1);

  fixture::AirportFixedPart& fixed = airport.fixed;
  fixed.ident = fixture::ShiftedIdent(airport.ident);
  fixed.longitude = fixture::LongitudeField(random_.Degrees(region.west, region.east));
  fixed.latitude = fixture::LatitudeField(random_.Degrees(region.south, region.north));
  fixed.altitude = random_.Between(-40000, 3500000);
  airport.record = fixture::AirportRecord(fixed, parts.subRecords);

  ++result_.airportStructures;
  result_.runwaysFound += parts.runways;
  result_.comsFound +=
      static_cast<int>(std::count(parts.comText.begin(), parts.comText.end(), '~'));
  if (parts.runways == 0) ++result_.airportsWithoutRunway;
  if (parts.runways == 0 && parts.helipads == 1) ++result_.helipadOnlyAirports;
  if (!airport.hasEntry || airport.countryOutside) return airport;

  std::string runwayText;
  if (parts.runways > 0) {
    runwayText = "\x80" + std::to_string(fixed.altitude / 100) + ";" + parts.runwayFragments;
  }
  const std::string& shownName = airport.name.empty() ? airport.city : airport.name;
  airport.line = PositionKey(fixed.longitude, fixed.latitude) + airport.ident.substr(0, 4) + ";" +
                 shownName.substr(0, 25) + ";" + airport.country.substr(0, 25) + ";" +
                 parts.comText + runwayText + "\n";
  return airport;
}

// Position of `value` in `list`, added at the end when missing.
std::uint16_t IndexIn(std::vector<std::string>& list, const std::string& value) {
  const auto found = std::find(list.begin(), list.end(), value);
  if (found == list.end()) list.push_back(value);
  return static_cast<std::uint16_t>(std::find(list.begin(), list.end(), value) - list.begin());
}

ByteList NameList(const std::vector<const SampleAirport*>& airports) {
  fixture::NameListContent content;
  for (const SampleAirport* airport : airports) {
    fixture::IcaoEntry entry;
    entry.ident = fixture::ShiftedIdent(airport->ident);
    entry.countryIndex =
        airport->countryOutside
            ? std::uint8_t{255}
            : static_cast<std::uint8_t>(IndexIn(content.countries.names, airport->country));
    entry.cityIndex = IndexIn(content.cities.names, airport->city);
    entry.airportNameIndex = airport->nameOutside
                                 ? std::uint16_t{65535}
                                 : IndexIn(content.airportNames.names, airport->name);
    content.entries.push_back(entry);
  }
  return fixture::NameListRecord(content);
}

// Contiguous, non-empty pieces (fewer when there are fewer items).
template <typename T>
std::vector<std::vector<T>> Split(const std::vector<T>& items, int pieces) {
  std::vector<std::vector<T>> result;
  const std::size_t count = std::min(items.size(), static_cast<std::size_t>(pieces));
  for (std::size_t i = 0, begin = 0; i < count; ++i) {
    const std::size_t end = items.size() * (i + 1) / count;
    result.emplace_back(items.begin() + static_cast<std::ptrdiff_t>(begin),
                        items.begin() + static_cast<std::ptrdiff_t>(end));
    begin = end;
  }
  return result;
}

// VORs and NDBs the ILS reader passes over, shuffled in with the file's ILS records.
void AddNavaids(fixture::Section& section, Random& random, const Region& region,
                std::vector<ByteList> records) {
  for (int i = random.Between(1, 6); i > 0; --i) {
    const std::uint8_t type = random.Pick(kNavaidTypes);
    fixture::Bytes navaid;
    navaid.U16(0x0013).U32(40).U8(type).Zeros(13);
    navaid.U32(108000000 + 50000 * static_cast<std::uint32_t>(random.Below(200))).Zeros(4);
    navaid.F32(static_cast<float>(random.Between(0, 359)));
    navaid.U32(fixture::ShiftedIdent(Ident(random, region).substr(0, 3))).Zeros(4);
    records.push_back(navaid.take());
  }
  random.Shuffle(records);
  for (const auto& inSubsection : Split(records, random.Between(1, 2)))
    fixture::AddNavaids(section, inSubsection);
}

// Airports in one to three airport sections, and their names in one name-list section, of one
// or two subsections each. `named` receives the airports of the name list in its order.
void AddAirportsAndNames(fixture::BglFile& file, Random& random,
                         const std::vector<SampleAirport>& airports,
                         std::vector<const SampleAirport*>& named) {
  for (const auto& inSection : Split(airports, random.Between(1, 3))) {
    fixture::Section& section = file.AddSection(kSectionAirport);
    for (const auto& inSubsection : Split(inSection, random.Between(1, 2))) {
      std::vector<ByteList> records;
      for (const SampleAirport& airport : inSubsection)
        records.push_back(airport.record);
      fixture::AddAirports(section, records);
    }
  }
  for (const SampleAirport& airport : airports) {
    if (airport.hasEntry) named.push_back(&airport);
  }
  random.Shuffle(named);
  if (named.empty()) return;
  fixture::Section& section = file.AddSection(kSectionNameList);
  for (const auto& inSubsection : Split(named, random.Between(1, 2)))
    fixture::AddNameList(section, NameList(inSubsection));
}

// The airports, their name lists, a navaid section with the ILS of their runways, and sometimes
// a section of a type the decoder skips, all listed in a shuffled order.
WalkedFile Generator::WriteAirportFile(const fs::path& path, const Region& region, int count) {
  std::vector<SampleAirport> airports;
  FileIls ils;
  while (static_cast<int>(airports.size()) < count)
    airports.push_back(MakeAirport(region, NewIdent(region), ils));
  result_.ilsFound += static_cast<int>(ils.records.size());
  fixture::BglFile file;
  std::vector<const SampleAirport*> named;
  AddAirportsAndNames(file, random_, airports, named);
  WalkedFile walked;
  for (const SampleAirport* airport : named) {
    if (airport->line.empty()) continue;
    walked.lines.push_back(airport->line);
    walked.idents.push_back(airport->ident);
  }
  AddNavaids(file.AddSection(kSectionNavaid), random_, region, std::move(ils.records));
  if (random_.Percent(30)) file.AddSection(kSectionTerrain).Add(1, ByteList(512, 0x5A));
  random_.Shuffle(file.sections());
  Write(path, file.Build());
  std::vector<SampleAirport>& targets = targets_[static_cast<std::size_t>(&region - &kRegions[0])];
  for (SampleAirport& airport : airports) {
    if (!airport.line.empty() && airport.runways > 0) targets.push_back(std::move(airport));
  }
  return walked;
}

// A correction of one of the targets, its position moved a little and its altitude often
// changed, or of an airport no file has.
SampleAirport Generator::MakeCorrection(const Region& region,
                                        const std::vector<SampleAirport>& targets,
                                        std::set<std::string>& inFile, Correction& correction) {
  SampleAirport airport;
  airport.city = PlaceName(random_);
  airport.country = random_.Pick(region.countries);
  airport.name = airport.city + " " + random_.Pick(kAirportKinds);
  fixture::AirportFixedPart& fixed = airport.fixed;
  const bool misses = targets.empty() || random_.Percent(options_.missedCorrectionPercent);
  if (misses) {
    airport.ident = NewIdent(region);
    fixed.longitude = fixture::LongitudeField(random_.Degrees(region.west, region.east));
    fixed.latitude = fixture::LatitudeField(random_.Degrees(region.south, region.north));
    fixed.altitude = random_.Between(-40000, 3500000);
  } else {
    const SampleAirport& target = random_.Pick(targets);
    airport.ident = target.ident;
    fixed.longitude = target.fixed.longitude + static_cast<std::uint32_t>(random_.Below(4000));
    fixed.latitude = target.fixed.latitude + static_cast<std::uint32_t>(random_.Below(4000));
    fixed.altitude = random_.Percent(30) ? target.fixed.altitude
                                         : target.fixed.altitude + random_.Between(-90000, 90000);
  }
  if (!inFile.insert(airport.ident).second) return {};
  fixed.ident = fixture::ShiftedIdent(airport.ident);
  airport.record = fixture::CorrectionRecord(fixed);
  correction = {airport.ident, PositionKey(fixed.longitude, fixed.latitude), fixed.altitude / 100};
  return airport;
}

// Corrections of the region's airports, named in the file's name list as such files name them.
WalkedFile Generator::WriteCorrectionFile(const fs::path& path, const Region& region,
                                          const std::vector<SampleAirport>& targets) {
  std::vector<SampleAirport> corrections;
  std::set<std::string> inFile;
  WalkedFile walked;
  for (int i = 0; i < options_.correctionsPerFile; ++i) {
    Correction correction;
    SampleAirport airport = MakeCorrection(region, targets, inFile, correction);
    if (airport.ident.empty()) continue;  // the same airport twice in one file
    corrections.push_back(std::move(airport));
    walked.corrections.push_back(correction);
  }
  fixture::BglFile file;
  std::vector<const SampleAirport*> named;
  AddAirportsAndNames(file, random_, corrections, named);
  random_.Shuffle(file.sections());
  Write(path, file.Build());
  return walked;
}

// Terrain-like data the decoder passes over in one to three sections; every other file has a
// navaid section too, whose ILS no runway names.
void Generator::WriteOtherBglFile(const fs::path& path, int index) {
  std::size_t bytes = options_.otherBglBytes;
  if (options_.otherBglMaxBytes > bytes) {
    // Mostly small, a few large: the seventh power of an even spread.
    const double spread = static_cast<double>(random_.Below(1024)) / 1024.0;
    double weight = 1.0;
    for (int i = 0; i < 7; ++i)
      weight *= spread;
    bytes +=
        static_cast<std::size_t>(weight * static_cast<double>(options_.otherBglMaxBytes - bytes));
  }
  fixture::BglFile file;
  const int sections = random_.Between(1, 3);
  for (int i = 0; i < sections; ++i) {
    fixture::Section& section = file.AddSection(random_.Pick(kTerrainTypes));
    const std::size_t share = bytes / static_cast<std::size_t>(sections);
    for (const std::size_t part : {share / 4, share - share / 4})
      section.Add(1, ByteList(part, static_cast<std::uint8_t>(0x40 + i)));
  }
  if (index % 2 == 1) {
    FileIls unnamed;
    std::string text;
    for (int i = random_.Below(3); i > 0; --i)
      AddIls(random_, unnamed, '1', text);
    result_.ilsFound += static_cast<int>(unnamed.records.size());
    AddNavaids(file.AddSection(kSectionNavaid), random_, kRegions[0], std::move(unnamed.records));
  }
  random_.Shuffle(file.sections());
  Write(path, file.Build());
}

void Generator::WriteOtherFile(const fs::path& path) {
  ByteList bytes(static_cast<std::size_t>(random_.Between(64, 4096)));
  for (std::uint8_t& byte : bytes)
    byte = static_cast<std::uint8_t>(random_.Next());
  Write(path, bytes);
}

void Generator::CopyFile(const fs::path& file, const fs::path& folder) {
  Write(folder / file.filename(), fixture::ReadFileBytes(file.string()));
}

void Generator::Write(const fs::path& path, const ByteList& bytes) {
  fs::create_directories(path.parent_path());
  fixture::WriteFile(path.string(), bytes);
  result_.bytesWritten += bytes.size();
}

std::string FileName(const char* format, int number) {
  std::array<char, 32> name;
  std::snprintf(name.data(), name.size(), format, number);
  return name.data();
}

void Generator::Run(const fs::path& folder) {
  const fs::path addon = folder / "WingsteadP3D";
  const fs::path p3d = folder / "Prepar3D v4";
  const fs::path scenery = p3d / "scenery";
  fs::create_directories(addon / "Utilities");
  const std::string config = "[Prepar3D]\r\nP3DROOTDIR=" + p3d.string() + "\r\n";
  Write(addon / "Bin" / "Prepar3DPathv4.cfg", ByteList(config.begin(), config.end()));
  result_.addonRoot = addon.string();
  result_.sceneryRoot = scenery.string();

  std::vector<WalkedFile> files;
  const int fileCount =
      (options_.airports + options_.airportsPerFile - 1) / options_.airportsPerFile;
  for (int i = 0; i < fileCount; ++i) {
    const Region& region = kRegions[static_cast<std::size_t>(i) % kRegions.size()];
    const int count = options_.airports * (i + 1) / fileCount - options_.airports * i / fileCount;
    const std::string name = FileName(i % 3 == 2 ? "APX%05d.BGL" : "APX%05d.bgl", 41000 + i);
    const fs::path path = scenery / region.folder / "scenery" / name;
    files.push_back(WriteAirportFile(path, region, count));
    files.back().region = region.folder;
    files.back().name = name;
    // The walk skips folders whose names begin with a full stop: a copy there adds nothing.
    if (i == 0) CopyFile(path, scenery / ".backup");
  }
  // Named to come after every airport file of their region folder.
  for (int i = 0; i < options_.correctionFiles; ++i) {
    const std::size_t r = static_cast<std::size_t>(i) % kRegions.size();
    const std::string name = FileName("ZCX%05d.bgl", 100 + i);
    files.push_back(WriteCorrectionFile(scenery / kRegions[r].folder / "scenery" / name,
                                        kRegions[r], targets_[r]));
    files.back().region = kRegions[r].folder;
    files.back().name = name;
  }
  for (int i = 0; i < options_.otherBglFiles; ++i) {
    const std::string name = FileName(i % 2 == 0 ? "CVX%05d.bgl" : "NVX%05d.bgl", 7000 + i);
    const std::string& region =
        i % 4 == 3 ? std::string("World")
                   : kRegions[static_cast<std::size_t>(i) % kRegions.size()].folder;
    WriteOtherBglFile(scenery / region / "scenery" / name, i);
  }
  for (int i = 0; i < options_.otherFiles; ++i) {
    const std::string& region = kRegions[static_cast<std::size_t>(i) % kRegions.size()].folder;
    WriteOtherFile(i % 3 == 0
                       ? scenery / region / "scenery" / ("readme" + std::to_string(i) + ".txt")
                       : scenery / region / "texture" / ("tex" + std::to_string(i) + ".bmp"));
  }

  std::sort(files.begin(), files.end(), [](const WalkedFile& a, const WalkedFile& b) {
    return a.region != b.region ? ListedBefore(a.region, b.region) : ListedBefore(a.name, b.name);
  });
  TableModel table(result_);
  for (const WalkedFile& file : files)
    table.Replay(file);
  result_.airportFiles = fileCount;
  result_.correctionFiles = options_.correctionFiles;
  result_.otherBglFiles = options_.otherBglFiles;
  result_.otherFiles = options_.otherFiles;
}

void CheckOptions(const fs::path& folder, const SampleOptions& options) {
  if (options.airports < 1) throw std::runtime_error("the airport count must be at least 1");
  if (options.airportsPerFile < 1 || options.airportsPerFile > kMaxAirportsPerFile) {
    throw std::runtime_error("airports per file must be from 1 to " +
                             std::to_string(kMaxAirportsPerFile));
  }
  if (options.otherBglFiles < 0 || options.otherFiles < 0 || options.correctionFiles < 0 ||
      options.correctionsPerFile < 0)
    throw std::runtime_error("file counts cannot be negative");
  if (options.ilsPercent < 0 || options.ilsPercent > 100 || options.missedCorrectionPercent < 0 ||
      options.missedCorrectionPercent > 100)
    throw std::runtime_error("percentages must be from 0 to 100");
  if (fs::exists(folder) && !fs::is_empty(folder))
    throw std::runtime_error("the folder is not empty: " + folder.string());
}

}  // namespace

SampleOptions Prepar3DScale() {
  SampleOptions options;
  options.airports = 25000;
  options.airportsPerFile = 40;
  options.otherBglFiles = 3000;
  options.otherBglBytes = 16 * 1024;
  options.otherBglMaxBytes = 3 * 1024 * 1024;
  options.otherFiles = 20000;
  options.correctionFiles = 40;
  options.correctionsPerFile = 25;
  return options;
}

SampleScenery MakeSampleInstallation(const std::string& folder, const SampleOptions& options) {
  const fs::path root = fs::absolute(folder);
  CheckOptions(root, options);
  SampleScenery result;
  Generator(options, result).Run(root);
  return result;
}

}  // namespace hangarscan::sample
