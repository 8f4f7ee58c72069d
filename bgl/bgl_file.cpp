#include "bgl/bgl_file.h"

#include <string>

#include "bgl/byte_reader.h"
#include "env/run_log.h"
#include "refresh/refresh_state.h"

namespace hangarscan {

BglFileState gBgl;

SectionHandlers& BglSectionHandlers() {
  static SectionHandlers handlers{ReadAirportSection, ReadIlsSection, SubstituteIlsData,
                                  ReadNameListSection};
  return handlers;
}

bool CheckedRead(std::string_view label, std::span<std::uint8_t> buffer) {
  if (gState.CurrentBglFile.Read(buffer.data(), buffer.size()) == buffer.size()) return true;
  ReportReadError(label);
  return false;
}

bool SeekBgl(std::uint64_t offset, std::string_view label) {
  if (gState.CurrentBglFile.Seek(offset)) return true;
  ReportReadError(label);
  return false;
}

Flow ReadSubSecPtrTable(int sectionIndex, std::string_view label) {
  const SectionPointer& section = gBgl.Sections[sectionIndex];
  if (section.SubsectionCount > kSubSecPtrEntries) {
    ReportError("ERROR NumSubSection>1000 See log file", "Error !", "%s\n",
                "Error, NumSubSection>1000 - bypassing this BGL");
    return Flow::Abandon;
  }
  if (!SeekBgl(section.SubsectionTableOffset, label)) return Flow::Abandon;
  for (std::uint32_t i = 0; i < section.SubsectionCount; ++i) {
    std::array<std::uint8_t, kSubSecPtrBytes> raw{};
    if (!CheckedRead(label, raw)) return Flow::Abandon;
    gBgl.SubSecPtrs[i] = {U32At(raw, 4), U32At(raw, 8), U32At(raw, 12)};
  }
  return Flow::GoOn;
}

namespace {

// Opens the file as the current BGL file, first closing one an abandoned file left open.
bool OpenBgl(std::string_view path) {
  gState.CurrentBglFile.Close();
  // A path that does not fit the path buffer cannot be opened as asked; report it as unopenable.
  if (path.size() < gState.CurrentBglPath.size()) {
    CopyText(gState.CurrentBglPath, path);
    if (gState.CurrentBglFile.Open(std::string(path))) return true;
  }
  ReportError("Error unable to open BGL - See log file", "Error !", "%s%.*s\n",
              "Error, unable to open BGL:", static_cast<int>(path.size()), path.data());
  return false;
}

Flow ReadSectionTable() {
  std::array<std::uint8_t, kBglHeaderBytes> header{};
  if (!CheckedRead("BGLHEADER", header)) return Flow::Abandon;
  gBgl.NumSection = U32At(header, 20);
  if (gBgl.NumSection > kMaxSections) {
    ReportError("ERROR NumSection>990 See log file", "Error !", "%s\n",
                "Error, NumSection>990 - bypassing this BGL");
    return Flow::Abandon;
  }
  for (std::uint32_t i = 0; i < gBgl.NumSection; ++i) {
    std::array<std::uint8_t, kSectionPointerBytes> raw{};
    if (!CheckedRead("SECTIONPOINTER", raw)) return Flow::Abandon;
    gBgl.Sections[i] = {U32At(raw, 0), U32At(raw, 8), U32At(raw, 12)};
  }
  return Flow::GoOn;
}

// Pass 1 takes airports and navaids, in section-table order; pass 2 takes the name lists.
Flow RunPass(bool namePass) {
  const SectionHandlers& handlers = BglSectionHandlers();
  for (std::uint32_t i = 0; i < gBgl.NumSection; ++i) {
    const std::uint32_t type = gBgl.Sections[i].Type;
    const int index = static_cast<int>(i);
    Flow flow = Flow::GoOn;
    if (namePass && type == kSectionNameList) flow = handlers.NameList(index);
    if (!namePass && type == kSectionAirport) flow = handlers.Airport(index);
    if (!namePass && type == kSectionNavaid) flow = handlers.Ils(index);
    if (flow == Flow::Abandon) return flow;
  }
  return Flow::GoOn;
}

}  // namespace

void DecodeBglFile(std::string_view path) {
  if (gState.Counters.AirportsStored >= kTableLines) return;
  if (!OpenBgl(path)) return;
  gBgl.iAirpNmbr = 0;
  gBgl.IlsFragmentCount = 0;
  gBgl.IlsPlaceholderCount = 0;
  if (ReadSectionTable() == Flow::Abandon) return;
  if (RunPass(false) == Flow::Abandon) return;
  BglSectionHandlers().SubstituteIls();
  if (RunPass(true) == Flow::Abandon) return;
  gState.CurrentBglFile.Close();
}

}  // namespace hangarscan
