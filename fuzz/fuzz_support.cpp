#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "bgl/ils_section.h"
#include "platform/file_io.h"
#include "refresh/refresh_state.h"

namespace hangarscan::fuzz {
namespace {

void RemoveScratchFolder() {
  gState.CurrentBglFile.Close();
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

std::string MakeScratchFolder() {
  namespace fs = std::filesystem;
  std::random_device random;
  const std::string name =
      "hangarscan-fuzz-" + std::to_string(random()) + "-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const fs::path folder = fs::temp_directory_path() / name;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) Fail("cannot make the scratch folder");
  return folder.string();
}

// Zero-fills entries [0, used] of a table: the entries the last input can have written.
template <typename Table>
void ClearUsed(Table& table, std::int64_t used) {
  const auto end = static_cast<std::size_t>(std::clamp<std::int64_t>(used + 1, 0, table.size()));
  std::memset(static_cast<void*>(table.data()), 0, end * sizeof table[0]);
}

}  // namespace

SilentPlatform& TheSilentPlatform() {
  static SilentPlatform platform;
  static const bool installed = (SetPlatform(&platform), true);
  (void)installed;
  return platform;
}

const std::string& ScratchFolder() {
  static const std::string folder = MakeScratchFolder();
  static const bool cleaned = (std::atexit(RemoveScratchFolder), true);
  (void)cleaned;
  return folder;
}

std::string ScratchPath(std::string_view name) {
  return ScratchFolder() + kPathSeparator + std::string(name);
}

void WriteInput(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write an input file");
  // Written in one piece: a stream buffer would only be one more allocation per input.
  std::setvbuf(file, nullptr, _IONBF, 0);
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) Fail("cannot write an input file");
}

int SplitSequence(std::span<const std::uint8_t> input,
                  std::span<std::span<const std::uint8_t>, kMaxSequence> pieces) {
  const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
  std::size_t start = 0;
  int count = 0;
  while (count + 1 < static_cast<int>(kMaxSequence)) {
    const std::size_t at = text.find(kFileSeparator, start);
    if (at == std::string_view::npos) break;
    pieces[count++] = input.subspan(start, at - start);
    start = at + kFileSeparator.size();
  }
  pieces[count++] = input.subspan(start);
  return count;
}

void ResetForInput() {
  // Written files cannot be opened: the log is not what is fuzzed, and every report would
  // otherwise cost a system call.
  ArmFileFault({1, true, FileOp::Open, true});
  gState.CurrentBglFile.Close();
  gState.InstallRoot = {};
  gState.LogPath = {};
  gState.CurrentBglPath = {};
  ClearUsed(gState.AirportTable, gState.Counters.AirportsStored);
  ClearUsed(gState.AirportKeyList, gState.Counters.AirportsStored);
  gState.Counters = {};
  gState.ErrorCount = 0;
  gState.StatusCounter = 0;
  ClearUsed(gAirportSlots, gBgl.iAirpNmbr);
  ClearUsed(gIlsFragmentTable, gBgl.IlsFragmentCount);
  gBgl = {};
}

FixedAirportSlots::FixedAirportSlots(const std::vector<std::uint8_t>& airportFile,
                                     std::size_t expectedSlots) {
  TheSilentPlatform();
  const std::string path = ScratchPath("fixed-airports.bgl");
  WriteInput(path, airportFile);
  SectionHandlers& handlers = BglSectionHandlers();
  const SectionHandlers real = handlers;
  handlers = {real.Airport, PassOver, [] {}, PassOver};
  ResetForInput();
  DecodeBglFile(path);
  handlers = real;
  if (gState.ErrorCount != 0 || static_cast<std::size_t>(gBgl.iAirpNmbr) != expectedSlots)
    Fail("the fixed airport file did not fill its slots");
  slots_.assign(gAirportSlots.begin(), gAirportSlots.begin() + gBgl.iAirpNmbr);
  placeholders_ = gBgl.IlsPlaceholderCount;
}

void FixedAirportSlots::Install() const {
  std::copy(slots_.begin(), slots_.end(), gAirportSlots.begin());
  gBgl.iAirpNmbr = static_cast<std::int32_t>(slots_.size());
  gBgl.IlsPlaceholderCount = placeholders_;
}

Flow PassOver(int) {
  return Flow::GoOn;
}

void CheckTableInvariants() {
  const RefreshCounters& counters = gState.Counters;
  if (counters.AirportsStored < 0 || counters.AirportsStored > kTableLines)
    Fail("AirportsStored out of range");
  if (gBgl.iAirpNmbr < 0 || gBgl.iAirpNmbr > kMaxAirportSlotsInUse + 1)
    Fail("iAirpNmbr out of range");
  if (gState.ErrorCount < 0) Fail("ErrorCount below zero");
  for (int i = 0; i < counters.AirportsStored; ++i) {
    const TableSlot& line = gState.AirportTable[i];
    const std::size_t length = strnlen(line.data(), line.size());
    if (length == 0 || length >= line.size()) Fail("a stored line is empty or has no terminator");
    // The database's line count (NBRLINE) relies on one line feed a line.
    if (std::memchr(line.data(), '\n', length) != &line[length - 1])
      Fail("a stored line does not end with its only line feed");
    if (static_cast<std::int64_t>(length) > counters.MaxLineLength)
      Fail("a stored line is longer than MaxLineLength");
  }
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

}  // namespace hangarscan::fuzz
