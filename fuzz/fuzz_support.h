// What every fuzz target stands on: a platform that shows nothing, a scratch folder of its own,
// and the run-wide and per-file state put back before each input to what a fresh program has, so
// that an input behaves the same alone as after any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "platform/platform.h"

namespace hangarscan::fuzz {

// Answers every Yes/No box with `yesNoAnswer`; lists nothing, opens nothing.
class SilentPlatform : public Platform {
 public:
  BoxAnswer ShowMessageBox(BoxKind kind, std::string_view, std::string_view) override {
    return kind == BoxKind::YesNoQuestion ? yesNoAnswer : BoxAnswer::Ok;
  }
  void SetStatusText(std::string_view) override {}
  void RequestClose() override {}
  std::string ExecutablePath() override { return executablePath; }
  LocalDateTime LocalTime() override { return {2018, 5, 4, 9, 7}; }
  std::uint32_t MillisecondClock() override { return 0; }
  bool ListDirectory(const std::string&, const ListingVisitor&) override { return false; }
  void ShellOpen(const std::string&) override {}

  BoxAnswer yesNoAnswer = BoxAnswer::No;
  std::string executablePath;
};

// Installed on first use and kept for the life of the process.
SilentPlatform& TheSilentPlatform();

// A folder of this process's own, made on first use and removed when the process ends normally.
const std::string& ScratchFolder();
// ScratchFolder() + separator + name.
std::string ScratchPath(std::string_view name);

// Writes the bytes as the whole file; a file that cannot be written ends the process, since
// nothing the target does afterwards would mean anything.
void WriteInput(const std::string& path, std::span<const std::uint8_t> bytes);

// The input as successive files: pieces between separators, at most kMaxSequence of them (the
// last piece keeps any further separator).
inline constexpr std::string_view kFileSeparator = "#NEXTBGL#";
inline constexpr std::size_t kMaxSequence = 4;
int SplitSequence(std::span<const std::uint8_t> input,
                  std::span<std::span<const std::uint8_t>, kMaxSequence> pieces);

// Puts back what a fresh program has: no BGL file open, the counters, the table lines, airport
// slots and ILS fragments the last input used, the per-file counts. No log: written files
// cannot be opened (the log is not what is fuzzed, and writing it would only slow every input).
void ResetForInput();

// Ends the process with a message when the airport table breaks what its readers rely on: every
// stored line holds one line feed, at its end, is at most 999 characters long and no longer than
// MaxLineLength; the counts stay in their ranges.
void CheckTableInvariants();

// The airport slots a fixed airport file leaves, decoded once by the real airport decoder, put
// back in place of a pass 1: the slots, their count and the ILS placeholders written into them.
class FixedAirportSlots {
 public:
  FixedAirportSlots(const std::vector<std::uint8_t>& airportFile, std::size_t expectedSlots);
  void Install() const;

 private:
  std::vector<BglAirportSlot> slots_;
  std::int32_t placeholders_ = 0;
};

// A section handler that passes its section over.
Flow PassOver(int sectionIndex);

// Ends the process with the message: an invariant broke.
[[noreturn]] void Fail(const char* what);

}  // namespace hangarscan::fuzz
