// The run-wide state: fixed paths, the airport table that one refresh builds, its key list, the
// counters of the run summary and the shared buffers. One instance with static storage, zero at
// program start and never freed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/file_io.h"
#include "refresh/airport_key_index.h"

namespace hangarscan {

inline constexpr int kPathCapacity = 260;  // 259 characters and the terminator
// A composed path longer than this is one the program cannot open or list, like the Windows API.
inline constexpr std::size_t kMaxPathLength = kPathCapacity - 1;
inline constexpr int kTableLines = 50000;  // counted lines; one spare slot follows them
inline constexpr int kTableSlots = kTableLines + 1;
static_assert(kTableSlots == AirportKeyIndex::kLines);
inline constexpr int kSlotBytes = 1000;  // a line of at most 999 characters and its terminator
inline constexpr int kMessageScratchBytes = 40000;

using PathText = std::array<char, kPathCapacity>;
using TableSlot = std::array<char, kSlotBytes>;

// Stored together, in this order, and cleared together.
struct RefreshCounters {
  std::int32_t AirportsStored;
  std::int32_t AirportStructures;
  std::int32_t AirportsWithoutRunway;
  std::int32_t RunwaysFound;
  std::int32_t ComsFound;
  std::int32_t IlsFound;
  std::int32_t MemoryExtensions;
  std::int32_t MaxLineLength;
  std::int32_t AirportsCorrected;
  std::int32_t AltitudesCorrected;
  std::int32_t CorrectionsMissed;
  std::int32_t HelipadOnlyAirports;
};

struct RefreshState {
  // Set once at start-up.
  PathText InstallRoot;  // ends with the path separator
  PathText LogPath;
  PathText SceneryRoot;

  std::array<TableSlot, kTableSlots> AirportTable;
  std::array<std::uint32_t, kTableSlots> AirportKeyList;  // encoded ICAO ident of each line
  AirportKeyIndex KeyIndex;                               // the corrections' way into the list
  RefreshCounters Counters;
  std::int32_t ErrorCount;
  std::int32_t StatusCounter;  // paces progress texts; carries over from one refresh to the next

  BinaryInFile CurrentBglFile;  // left open by an abandoned file until the next file starts
  PathText CurrentBglPath;
  std::array<char, kMessageScratchBytes> MessageScratch;
};

extern RefreshState gState;

// Clears the run part at the start of a refresh: ErrorCount, the counters, the table and its keys.
// Only the slots the last run stored and the spare slot can hold anything, so only they are
// cleared: a first refresh touches no page of the table.
void ResetRun();

}  // namespace hangarscan
