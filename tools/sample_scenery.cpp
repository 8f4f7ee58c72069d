#include "tools/sample_scenery.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "tests/support/airport_records.h"
#include "tests/support/bgl_writer.h"
#include "tests/support/name_list_records.h"

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

Part RunwayPart(Random& random) {
  fixture::RunwaySubRecord runway;
  runway.surface = random.Pick(kSurfaces);
  runway.primaryNumber = static_cast<std::uint8_t>(random.Between(1, 36));
  runway.secondaryNumber = static_cast<std::uint8_t>((runway.primaryNumber + 17) % 36 + 1);
  const int pair = random.Below(10);  // none, L and R, or C at both ends
  runway.primaryDesignator = static_cast<std::uint8_t>(pair < 7 ? 0 : pair < 9 ? 1 : 3);
  runway.secondaryDesignator = static_cast<std::uint8_t>(pair < 7 ? 0 : pair < 9 ? 2 : 3);
  const int length = random.Between(400, 4200);
  runway.length = static_cast<float>(length);
  std::array<char, 64> text;
  std::snprintf(text.data(), text.size(), "@R%u,%i,%u%s,%u%s;", unsigned{runway.surface}, length,
                unsigned{runway.primaryNumber}, kDesignators[runway.primaryDesignator].c_str(),
                unsigned{runway.secondaryNumber}, kDesignators[runway.secondaryDesignator].c_str());
  return {fixture::Runway(runway), "", text.data()};
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

AirportParts MakeParts(Random& random, std::size_t extraBytes) {
  const int roll = random.Below(100);
  const int runways = roll < 10 ? 0 : roll < 65 ? 1 : roll < 90 ? 2 : roll < 97 ? 3 : 4;
  const int helipads = runways == 0 ? (random.Percent(80) ? 1 : 2) : (random.Percent(10) ? 1 : 0);
  std::vector<Part> parts;
  for (int i = 0; i < runways; ++i)
    parts.push_back(RunwayPart(random));
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
  ByteList record;
  std::string line;  // the record line it gives; empty when it gives none
};

class Generator {
 public:
  Generator(const SampleOptions& options, SampleScenery& result)
      : options_(options), result_(result), random_(options.seed) {}

  void Run(const fs::path& folder);

 private:
  SampleAirport MakeAirport(const Region& region, std::string ident);
  std::vector<std::string> WriteAirportFile(const fs::path& path, const Region& region, int count);
  void WriteOtherBglFile(const fs::path& path, int index);
  void WriteOtherFile(const fs::path& path);
  void Write(const fs::path& path, const ByteList& bytes);
  void CopyFile(const fs::path& file, const fs::path& folder);

  const SampleOptions& options_;
  SampleScenery& result_;
  Random random_;
};

SampleAirport Generator::MakeAirport(const Region& region, std::string ident) {
  SampleAirport airport;
  airport.ident = std::move(ident);
  airport.city = PlaceName(random_);
  airport.country = random_.Pick(region.countries);
  const AirportParts parts = MakeParts(random_, options_.extraBytesPerAirport);
  airport.name = parts.runways == 0 ? airport.city + " Heliport"
                                    : airport.city + " " + random_.Pick(kAirportKinds);
  if (random_.Percent(3)) {
    airport.name.clear();
    airport.nameOutside = random_.Percent(50);
  }
  airport.hasEntry = !random_.Percent(2);
  airport.countryOutside = random_.Percent(1);

  fixture::AirportFixedPart fixed;
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

// Navaids that are not ILS records (VOR and NDB types): the ILS reader passes over them.
// ILS records, and runway ends that name them, are the next thing to join the sample.
void AddNavaids(fixture::Section& section, Random& random, const Region& region) {
  fixture::Bytes records;
  const int count = random.Between(1, 6);
  for (int i = 0; i < count; ++i) {
    const std::uint8_t type = random.Pick(kNavaidTypes);
    records.U16(0x0013).U32(40).U8(type).Zeros(13);
    records.U32(108000000 + 50000 * static_cast<std::uint32_t>(random.Below(200))).Zeros(4);
    records.F32(static_cast<float>(random.Between(0, 359)));
    records.U32(fixture::ShiftedIdent(Ident(random, region).substr(0, 3))).Zeros(4);
  }
  section.Add(static_cast<std::uint32_t>(count), records.take());
}

// Airports in one to three airport sections of one or two subsections, their names in one
// name-list section of one or two subsections, a navaid section, and sometimes a section of a
// type the decoder skips, all listed in a shuffled order. Returns the file's record lines.
std::vector<std::string> Generator::WriteAirportFile(const fs::path& path, const Region& region,
                                                     int count) {
  std::vector<SampleAirport> airports;
  std::set<std::string> idents;
  while (static_cast<int>(airports.size()) < count) {
    std::string ident = Ident(random_, region);
    if (idents.insert(ident).second) airports.push_back(MakeAirport(region, std::move(ident)));
  }
  fixture::BglFile file;
  for (const auto& inSection : Split(airports, random_.Between(1, 3))) {
    fixture::Section& section = file.AddSection(kSectionAirport);
    for (const auto& inSubsection : Split(inSection, random_.Between(1, 2))) {
      std::vector<ByteList> records;
      for (const SampleAirport& airport : inSubsection)
        records.push_back(airport.record);
      fixture::AddAirports(section, records);
    }
  }
  std::vector<const SampleAirport*> named;
  for (const SampleAirport& airport : airports) {
    if (airport.hasEntry) named.push_back(&airport);
  }
  random_.Shuffle(named);
  std::vector<std::string> lines;
  if (!named.empty()) {
    fixture::Section& section = file.AddSection(kSectionNameList);
    for (const auto& inSubsection : Split(named, random_.Between(1, 2))) {
      fixture::AddNameList(section, NameList(inSubsection));
      for (const SampleAirport* airport : inSubsection) {
        if (!airport->line.empty()) lines.push_back(airport->line);
      }
    }
  }
  AddNavaids(file.AddSection(kSectionNavaid), random_, region);
  if (random_.Percent(30)) file.AddSection(kSectionTerrain).Add(1, ByteList(512, 0x5A));
  random_.Shuffle(file.sections());
  Write(path, file.Build());
  return lines;
}

void Generator::WriteOtherBglFile(const fs::path& path, int index) {
  fixture::BglFile file;
  if (index % 2 == 0) {
    file.AddSection(kSectionTerrain).Add(1, ByteList(options_.otherBglBytes, 0));
  } else {
    AddNavaids(file.AddSection(kSectionNavaid), random_, kRegions[0]);
  }
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

struct FileLines {
  std::string region;
  std::string name;
  std::vector<std::string> lines;
};

void Generator::Run(const fs::path& folder) {
  const fs::path addon = folder / "WingsteadP3D";
  const fs::path p3d = folder / "Prepar3D v4";
  const fs::path scenery = p3d / "scenery";
  fs::create_directories(addon / "Utilities");
  const std::string config = "[Prepar3D]\r\nP3DROOTDIR=" + p3d.string() + "\r\n";
  Write(addon / "Bin" / "Prepar3DPathv4.cfg", ByteList(config.begin(), config.end()));
  result_.addonRoot = addon.string();
  result_.sceneryRoot = scenery.string();

  std::vector<FileLines> files;
  const int fileCount =
      (options_.airports + options_.airportsPerFile - 1) / options_.airportsPerFile;
  for (int i = 0; i < fileCount; ++i) {
    const Region& region = kRegions[static_cast<std::size_t>(i) % kRegions.size()];
    const int count = options_.airports * (i + 1) / fileCount - options_.airports * i / fileCount;
    std::array<char, 32> name;
    std::snprintf(name.data(), name.size(), i % 3 == 2 ? "APX%05d.BGL" : "APX%05d.bgl", 41000 + i);
    files.push_back(
        {region.folder, name.data(),
         WriteAirportFile(scenery / region.folder / "scenery" / name.data(), region, count)});
    // The walk skips folders whose names begin with a full stop: a copy there adds nothing.
    if (i == 0) CopyFile(scenery / region.folder / "scenery" / name.data(), scenery / ".backup");
  }
  for (int i = 0; i < options_.otherBglFiles; ++i) {
    std::array<char, 32> name;
    std::snprintf(name.data(), name.size(), i % 2 == 0 ? "CVX%05d.bgl" : "NVX%05d.bgl", 7000 + i);
    const std::string& region =
        i % 4 == 3 ? std::string("World")
                   : kRegions[static_cast<std::size_t>(i) % kRegions.size()].folder;
    WriteOtherBglFile(scenery / region / "scenery" / name.data(), i);
  }
  for (int i = 0; i < options_.otherFiles; ++i) {
    const std::string& region = kRegions[static_cast<std::size_t>(i) % kRegions.size()].folder;
    WriteOtherFile(i % 3 == 0
                       ? scenery / region / "scenery" / ("readme" + std::to_string(i) + ".txt")
                       : scenery / region / "texture" / ("tex" + std::to_string(i) + ".bmp"));
  }

  std::sort(files.begin(), files.end(), [](const FileLines& a, const FileLines& b) {
    return a.region != b.region ? ListedBefore(a.region, b.region) : ListedBefore(a.name, b.name);
  });
  for (const FileLines& file : files) {
    for (const std::string& line : file.lines) {
      result_.recordLines.push_back(line);
      result_.maxLineLength = std::max(result_.maxLineLength, static_cast<int>(line.size()));
    }
  }
  result_.airportFiles = fileCount;
  result_.otherBglFiles = options_.otherBglFiles;
  result_.otherFiles = options_.otherFiles;
}

void CheckOptions(const fs::path& folder, const SampleOptions& options) {
  if (options.airports < 1) throw std::runtime_error("the airport count must be at least 1");
  if (options.airportsPerFile < 1 || options.airportsPerFile > kMaxAirportsPerFile) {
    throw std::runtime_error("airports per file must be from 1 to " +
                             std::to_string(kMaxAirportsPerFile));
  }
  if (options.otherBglFiles < 0 || options.otherFiles < 0)
    throw std::runtime_error("file counts cannot be negative");
  if (fs::exists(folder) && !fs::is_empty(folder))
    throw std::runtime_error("the folder is not empty: " + folder.string());
}

}  // namespace

SampleScenery MakeSampleInstallation(const std::string& folder, const SampleOptions& options) {
  const fs::path root = fs::absolute(folder);
  CheckOptions(root, options);
  SampleScenery result;
  Generator(options, result).Run(root);
  return result;
}

}  // namespace hangarscan::sample
