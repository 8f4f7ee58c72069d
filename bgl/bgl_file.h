// One BGL scenery file: its header, section table and subsection tables, the two passes that hand
// sections to their decoders, and the checked reads every decoder uses. A fault costs either one
// airport (the decoder goes on) or the whole file ("bypassing this BGL": decoding returns at once
// and the file stays open until the next file starts).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace hangarscan {

inline constexpr std::uint32_t kMaxSections = 990;
inline constexpr int kSectionTableEntries = 1000;
inline constexpr int kSubSecPtrEntries = 1000;
inline constexpr std::size_t kBglHeaderBytes = 56;
inline constexpr std::size_t kSectionPointerBytes = 20;
inline constexpr std::size_t kSubSecPtrBytes = 16;

inline constexpr std::uint32_t kSectionAirport = 3;
inline constexpr std::uint32_t kSectionNavaid = 19;
inline constexpr std::uint32_t kSectionNameList = 39;

struct SectionPointer {
  std::uint32_t Type;
  std::uint32_t SubsectionCount;
  std::uint32_t SubsectionTableOffset;  // file offset of the section's SubSecPtr entries
};

struct SubSecPtr {
  std::uint32_t RecordCount;
  std::uint32_t FileOffset;  // of the subsection's first record
  std::uint32_t DataSize;    // bytes of the subsection's data
};

// What a section handler tells the file decoder.
enum class Flow { GoOn, Abandon };

// Per-file state: static, not cleared between files; only entries written for the current file
// are ever read.
struct BglFileState {
  std::uint32_t NumSection;
  std::array<SectionPointer, kSectionTableEntries> Sections;
  std::array<SubSecPtr, kSubSecPtrEntries> SubSecPtrs;  // of the section being decoded
  std::int32_t iAirpNmbr;                               // airport slots in use
  std::int32_t IlsFragmentCount;                        // ILS fragments rendered from this file
  std::int32_t IlsPlaceholderCount;  // ILS placeholders written into runway texts
};

extern BglFileState gBgl;

// The decoders DecodeBglFile hands sections to. Tests may replace them to watch the passes.
struct SectionHandlers {
  Flow (*Airport)(int sectionIndex);
  Flow (*Ils)(int sectionIndex);
  void (*SubstituteIls)();
  Flow (*NameList)(int sectionIndex);
};
SectionHandlers& BglSectionHandlers();

// The real decoders.
Flow ReadAirportSection(int sectionIndex);
Flow ReadIlsSection(int sectionIndex);
void SubstituteIlsData();
Flow ReadNameListSection(int sectionIndex);

void DecodeBglFile(std::string_view path);

// Reads buffer.size() bytes at the current position of the current BGL file. False, after the
// read-error report naming `label`, when fewer arrived; the caller then abandons the file.
bool CheckedRead(std::string_view label, std::span<std::uint8_t> buffer);

// Moves the current BGL file to an absolute offset; a failed seek is reported like a short read
// of `label`.
bool SeekBgl(std::uint64_t offset, std::string_view label);

// Reads the SubSecPtr entries of section table entry `sectionIndex` into gBgl.SubSecPtrs.
Flow ReadSubSecPtrTable(int sectionIndex, std::string_view label);

}  // namespace hangarscan
