#include "bgl/airport_section.h"

#include <algorithm>
#include <new>
#include <optional>
#include <span>

#include "bgl/airport_correction.h"
#include "bgl/bgl_file.h"
#include "bgl/byte_reader.h"
#include "bgl/com_fragment.h"
#include "bgl/ident_codec.h"
#include "bgl/runway_fragment.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::size_t kSubRecordHeaderBytes = 6;

// Every read of a remainder is bounded by its data, so the buffers need no slack after it and
// are never cleared: each record's read overwrites exactly the bytes its walk looks at.
std::array<std::uint8_t, kRecordBufferLimit> g_recordBuffer;
AirportWork g_airport;

std::unique_ptr<std::uint8_t[]> AllocateRecordBuffer(std::size_t bytes) {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]);
}

enum class Remainder { Walked, Bypassed, Abandon };

struct SubRecordFault {
  std::uint16_t id;
  std::uint32_t size;
  std::size_t offset;
};

// A sub-record must cover the fields its handler reads.
std::size_t FieldsBytes(std::uint16_t id) {
  switch (id) {
    case kRunwaySubRecordId:
      return kRunwayFieldsBytes;
    case kComSubRecordId:
      return kComFieldsBytes;
    default:
      return kSubRecordHeaderBytes;
  }
}

// The first sub-record that does not lie whole inside the data or is too short for its fields.
// Checked before anything is rendered, so a bypassed airport leaves no count behind.
std::optional<SubRecordFault> FindBadSubRecord(std::span<const std::uint8_t> data) {
  std::size_t offset = 0;
  while (offset < data.size()) {
    const std::uint16_t id = U16At(data, offset);
    const std::uint32_t size = U32At(data, offset + 2);
    const std::size_t left = data.size() - offset;
    if (left < kSubRecordHeaderBytes || size < FieldsBytes(id) || size > left)
      return SubRecordFault{id, size, offset};
    offset += size;
  }
  return std::nullopt;
}

void ReportBadSubRecord(const SubRecordFault& fault, std::size_t dataSize) {
  ReportError("Error bad sub-record - bypassing airport, see log file", "Error !",
              "%s %s: id 0x%04x size %u at offset %zu of %zu\n",
              "Error bad sub-record - bypassing airport", g_airport.IdentText.data(),
              static_cast<unsigned>(fault.id), static_cast<unsigned>(fault.size), fault.offset,
              dataSize);
}

// The data has passed FindBadSubRecord.
Flow WalkSubRecords(std::span<const std::uint8_t> data) {
  for (std::size_t offset = 0; offset < data.size();) {
    const std::span<const std::uint8_t> subRecord = data.subspan(offset, U32At(data, offset + 2));
    Flow flow = Flow::GoOn;
    switch (U16At(subRecord, 0)) {
      case kRunwaySubRecordId:
        flow = AppendRunwayFragment(subRecord, g_airport);
        break;
      case kComSubRecordId:
        flow = AppendComFragment(subRecord, g_airport.cComData);
        break;
      case kHelipadSubRecordId:
        ++g_airport.HelipadCount;
        break;
      default:
        break;
    }
    if (flow == Flow::Abandon) return flow;
    offset += subRecord.size();
  }
  return Flow::GoOn;
}

// A size from the file never decides an allocation alone: a remainder the file cannot supply
// is the short read it would come to, reported before anything is allocated. Null, after the
// report, when the file is to be abandoned.
std::unique_ptr<std::uint8_t[]> HeapRemainderBuffer(std::size_t count) {
  if (gState.CurrentBglFile.BytesLeft() < count) {
    ReportReadError("Runway section");
    return nullptr;
  }
  std::unique_ptr<std::uint8_t[]> buffer = AirportRecordAllocator()(count);
  if (buffer == nullptr) {
    ReportError("Error cNEWBufferRecordAirport allocation failed - bypassing BGL see log file",
                "Error !", "%s\n",
                "Error cNEWBufferRecordAirport allocation failed - bypassing BGL");
    return nullptr;
  }
  ++gState.Counters.MemoryExtensions;
  return buffer;
}

// The heap buffer of an oversized remainder lives until its walk ends.
Remainder ReadAndWalkRemainder(std::size_t count) {
  std::unique_ptr<std::uint8_t[]> heapBuffer;
  std::uint8_t* buffer = g_recordBuffer.data();
  if (count > kRecordBufferLimit) {
    heapBuffer = HeapRemainderBuffer(count);
    if (heapBuffer == nullptr) return Remainder::Abandon;
    buffer = heapBuffer.get();
  }
  const std::span<std::uint8_t> data(buffer, count);
  if (!CheckedRead("Runway section", data)) return Remainder::Abandon;
  if (const auto fault = FindBadSubRecord(data)) {
    ReportBadSubRecord(*fault, data.size());
    return Remainder::Bypassed;
  }
  return WalkSubRecords(data) == Flow::GoOn ? Remainder::Walked : Remainder::Abandon;
}

Flow StoreAirport(BglAirportSlot& slot) {
  RefreshCounters& counters = gState.Counters;
  if (g_airport.RunwayCount == 0 && g_airport.HelipadCount == 1) ++counters.HelipadOnlyAirports;
  ++counters.AirportStructures;
  if (g_airport.RunwayCount == 0) ++counters.AirportsWithoutRunway;
  g_airport.cComData.CopyTo(slot.ComText);
  g_airport.cRunwayData.CopyTo(slot.RunwayText);
  slot.IlsPending = g_airport.IlsFlag == 1 ? 1 : 0;
  if (++gBgl.iAirpNmbr <= kMaxAirportSlotsInUse) return Flow::GoOn;
  ReportError("ERROR ! iAirpNmbr > 800 - bypassing BGL see Log File !", "Error!", "%s\n",
              "ERROR ! iAirpNmbr > 800 - bypassing BGL");
  return Flow::Abandon;
}

Flow StoreOrCorrect(BglAirportSlot& slot) {
  if (g_airport.RunwayCount > 0 || g_airport.HelipadCount > 0) return StoreAirport(slot);
  const CorrectionOutcome outcome = ApplyAirportCorrection(slot, TextOf(g_airport.IdentText));
  return outcome == CorrectionOutcome::Abandon ? Flow::Abandon : Flow::GoOn;
}

// Decodes the record at `recordAt`, the file being positioned there, and moves `recordAt` to
// the next record of the subsection.
Flow DecodeAirportRecord(std::uint64_t& recordAt) {
  BglAirportSlot& slot = gAirportSlots[gBgl.iAirpNmbr];
  if (!CheckedRead("airport section", slot.FixedRecord)) return Flow::Abandon;
  if (U16At(slot.FixedRecord, kFixedRecordIdAt) != kAirportRecordId) {
    ReportError("ERROR ! not a fixed airport record !!! bypassing this BGL See log file", "Error !",
                "%s\n", "ERROR ! not a fixed airport record !!! - bypassing this BGL");
    return Flow::Abandon;
  }
  g_airport.Reset();
  const std::uint32_t size = U32At(slot.FixedRecord, kFixedRecordSizeAt);
  const auto uiTotalSizeToRead = static_cast<std::int32_t>(size - kFixedRecordBytes);

  const std::uint32_t identField = AirportIdentField(slot);
  if (!DecodeICAONAME(g_airport.IdentText, identField)) {
    ReportError("Error DecodeICAONAME return FALSE - bypassing airport, see log file", "Error !",
                "%s 0x%08x\n", "Error DecodeICAONAME return FALSE - bypassing airport",
                static_cast<unsigned>(identField));
    if (uiTotalSizeToRead <= 0) {
      recordAt += kFixedRecordBytes;
      return Flow::GoOn;
    }
    recordAt += size;
    return SeekBgl(recordAt, "airport section") ? Flow::GoOn : Flow::Abandon;
  }
  if (uiTotalSizeToRead <= 0) {
    ReportError("Error uiTotalSizeToRead < 0 - bypassing airport, see log file", "Error !", "%s\n",
                "Error Error uiTotalSizeToRead < 0 - bypassing airport");
    recordAt += kFixedRecordBytes;
    return Flow::GoOn;
  }

  WritePositionKey(slot.PositionKey, U32At(slot.FixedRecord, kFixedLongitudeAt),
                   U32At(slot.FixedRecord, kFixedLatitudeAt));
  g_airport.Altitude = AirportAltitudeField(slot);
  recordAt += size;
  switch (ReadAndWalkRemainder(static_cast<std::size_t>(uiTotalSizeToRead))) {
    case Remainder::Walked:
      return StoreOrCorrect(slot);
    case Remainder::Bypassed:
      return Flow::GoOn;
    case Remainder::Abandon:
      break;
  }
  return Flow::Abandon;
}

Flow ReadSubsection(const SubSecPtr& subsection) {
  if (subsection.RecordCount == 0) return Flow::GoOn;
  if (!SeekBgl(subsection.FileOffset, "airport section")) return Flow::Abandon;
  std::uint64_t recordAt = subsection.FileOffset;
  for (std::uint32_t k = 0; k < subsection.RecordCount; ++k) {
    if (DecodeAirportRecord(recordAt) == Flow::Abandon) return Flow::Abandon;
  }
  return Flow::GoOn;
}

}  // namespace

void WritePositionKey(std::array<char, kPositionKeyBytes>& key, std::uint32_t longitudeField,
                      std::uint32_t latitudeField) {
  // 15/2^25 and 45/2^27 are exact in double; the steps run in this order, in double precision.
  constexpr double kLongitudeUnit = 15.0 / 33554432.0;
  constexpr double kLatitudeUnit = 45.0 / 134217728.0;
  const double longitude =
      ((static_cast<double>(longitudeField) * kLongitudeUnit) - 180.0 + 300.0) * 1000.0;
  const double latitude =
      ((90.0 - static_cast<double>(latitudeField) * kLatitudeUnit) + 300.0) * 1000.0;
  // Any 32-bit field gives a value well inside the int range, so the truncation is defined.
  const NumberText longitudeText(static_cast<int>(longitude), 6);
  const NumberText latitudeText(static_cast<int>(latitude), 6);
  // "%06i%06i"; at most 24 characters for any field, well inside the key.
  const std::string_view lon = longitudeText.view();
  const std::string_view lat = latitudeText.view();
  *std::copy(lat.begin(), lat.end(), std::copy(lon.begin(), lon.end(), key.begin())) = '\0';
}

RecordBufferAllocator& AirportRecordAllocator() {
  static RecordBufferAllocator allocator = AllocateRecordBuffer;
  return allocator;
}

Flow ReadAirportSection(int sectionIndex) {
  ClearSlotTexts(gAirportSlots[gBgl.iAirpNmbr]);
  if (ReadSubSecPtrTable(sectionIndex, "&SubSecPtr[A]") == Flow::Abandon) return Flow::Abandon;
  const std::uint32_t subsections = gBgl.Sections[sectionIndex].SubsectionCount;
  for (std::uint32_t j = 0; j < subsections; ++j) {
    if (ReadSubsection(gBgl.SubSecPtrs[j]) == Flow::Abandon) return Flow::Abandon;
  }
  return Flow::GoOn;
}

}  // namespace hangarscan
