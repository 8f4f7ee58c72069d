#include "bgl/ils_section.h"

#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <span>

#include "bgl/bgl_file.h"
#include "bgl/byte_reader.h"
#include "bgl/ident_codec.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {

std::array<IlsFragment, kIlsFragmentEntries> gIlsFragmentTable;

namespace {

constexpr std::size_t kNavaidSizeAt = 2;
constexpr std::size_t kNavaidTypeAt = 6;
constexpr std::size_t kFrequencyAt = 20;  // hertz
constexpr std::size_t kMagneticVariationAt = 28;
constexpr std::size_t kNavaidIdentAt = 32;  // shifted base-38
constexpr std::size_t kLocalizerHeadingAt = 8;
constexpr std::size_t kSubRecordHeaderBytes = 6;
constexpr std::int32_t kMinSubRecordArea = 6;

using NavaidFixedPart = std::array<std::uint8_t, kNavaidFixedBytes>;

// Every read of a sub-record area is bounded by its data, so the buffer needs no slack after it
// and is never cleared.
std::array<std::uint8_t, kIlsRecordBufferLimit> g_areaBuffer;

std::unique_ptr<std::uint8_t[]> AllocateAreaBuffer(std::size_t bytes) {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]);
}

// The heading of the area's last localizer, none without one. The walk ends at the first
// sub-record that does not lie whole inside the area (size 0 or below 6, past the end, a header
// cut by the end) or a localizer too short for its heading; what stood before it counts.
std::optional<float> LastLocalizerHeading(std::span<const std::uint8_t> area) {
  std::optional<float> heading;
  std::size_t offset = 0;
  while (offset < area.size()) {
    const std::size_t left = area.size() - offset;
    const std::uint16_t id = U16At(area, offset);
    const std::uint32_t size = U32At(area, offset + 2);
    const bool localizer = id == kLocalizerSubRecordId;
    const std::size_t needed = localizer ? kLocalizerFieldsBytes : kSubRecordHeaderBytes;
    if (left < kSubRecordHeaderBytes || size < needed || size > left) break;
    if (localizer) heading = F32At(area, offset + kLocalizerHeadingAt);
    offset += size;
  }
  return heading;
}

void RenderFragment(IlsFragment& entry, const NavaidFixedPart& fixed, float localizerHeading) {
  std::array<char, kIdentTextBytes> ident{};
  DecodeIdentShifted(ident, U32At(fixed, kNavaidIdentAt));
  const std::uint32_t kilohertz = U32At(fixed, kFrequencyAt) / 1000;
  FormatText(entry.data(), entry.size(), "$*%s,%i,%i$", ident.data(), static_cast<int>(kilohertz),
             IlsHeading(F32At(fixed, kMagneticVariationAt), localizerHeading));
}

// A size from the file never decides an allocation alone: an area the file cannot supply is
// the short read it would come to, reported before anything is allocated. Null, after the
// report, when the file is to be abandoned.
std::unique_ptr<std::uint8_t[]> HeapAreaBuffer(std::size_t count) {
  if (gState.CurrentBglFile.BytesLeft() < count) {
    ReportReadError("ILS addditionnal record");
    return nullptr;
  }
  std::unique_ptr<std::uint8_t[]> buffer = IlsRecordAllocator()(count);
  if (buffer == nullptr) {
    // The count the message has always named: the area and five bytes of slack.
    ReportError("ERROR ! unable to allocate BufferOfRestingRecord !!! - bypassing BGL See Log file",
                "Error!", "%s %lld\n",
                "ERROR ! unable to allocate BufferOfRestingRecord !!! - bypassing BGL",
                static_cast<long long>(count) + 5);
  }
  return buffer;
}

// Where the file stands within a subsection: a record that follows the bytes last read needs no
// seek, which would drop the stream's buffer.
class SubsectionCursor {
 public:
  bool SeekTo(std::uint64_t offset) {
    if (position_ == offset) return true;
    position_ = offset;
    return SeekBgl(offset, "ILS structure");
  }
  // After a failed read the file is abandoned, so the position no longer matters.
  bool Read(std::string_view label, std::span<std::uint8_t> buffer) {
    *position_ += buffer.size();
    return CheckedRead(label, buffer);
  }

 private:
  std::optional<std::uint64_t> position_;
};

// Reads the sub-record area that follows the fixed part and finds its localizer. Abandon, after
// the report, when the area cannot be read.
Flow ReadLocalizer(SubsectionCursor& cursor, std::size_t count, std::optional<float>& heading) {
  std::unique_ptr<std::uint8_t[]> heapBuffer;
  std::uint8_t* buffer = g_areaBuffer.data();
  if (count > kIlsRecordBufferLimit) {
    heapBuffer = HeapAreaBuffer(count);
    if (heapBuffer == nullptr) return Flow::Abandon;
    buffer = heapBuffer.get();
  }
  const std::span<std::uint8_t> area(buffer, count);
  if (!cursor.Read("ILS addditionnal record", area)) return Flow::Abandon;
  heading = LastLocalizerHeading(area);
  return Flow::GoOn;
}

// Decodes the navaid record at `recordAt`; `size` receives its size, which places the next one.
Flow ReadNavaidRecord(SubsectionCursor& cursor, std::uint64_t recordAt, std::uint32_t& size) {
  if (!cursor.SeekTo(recordAt)) return Flow::Abandon;
  NavaidFixedPart fixed{};
  if (!cursor.Read("ILS structure", fixed)) return Flow::Abandon;
  size = U32At(fixed, kNavaidSizeAt);
  if (U8At(fixed, kNavaidTypeAt) != kIlsNavaidType) return Flow::GoOn;
  const auto rest = static_cast<std::int32_t>(size - static_cast<std::uint32_t>(kNavaidFixedBytes));
  if (rest < kMinSubRecordArea) return Flow::GoOn;
  // A full table takes no more fragments; such an ILS is not even read.
  if (gBgl.IlsFragmentCount >= kIlsFragmentEntries) return Flow::GoOn;

  std::optional<float> heading;
  if (ReadLocalizer(cursor, static_cast<std::size_t>(rest), heading) == Flow::Abandon)
    return Flow::Abandon;
  if (!heading) return Flow::GoOn;
  // Several localizers would each render into the same entry: the last one stands.
  RenderFragment(gIlsFragmentTable[gBgl.IlsFragmentCount], fixed, *heading);
  ++gBgl.IlsFragmentCount;
  ++gState.Counters.IlsFound;
  return Flow::GoOn;
}

Flow ReadIlsSubsection(const SubSecPtr& subsection) {
  SubsectionCursor cursor;
  std::uint64_t runningOffset = 0;
  for (std::uint32_t k = 0; k < subsection.RecordCount; ++k) {
    std::uint32_t size = 0;
    if (ReadNavaidRecord(cursor, subsection.FileOffset + runningOffset, size) == Flow::Abandon)
      return Flow::Abandon;
    // Every further record would be this one again, to the same effect: nothing.
    if (size == 0) break;
    runningOffset += size;
  }
  return Flow::GoOn;
}

}  // namespace

std::int32_t IlsHeading(float magneticVariation, float localizerHeading) {
  float sum = magneticVariation - 360.0f;
  sum += localizerHeading;
  sum += 0.5f;
  const double down = std::floor(static_cast<double>(sum));
  // A plain conversion outside the range is undefined; such a sum gets the value the x86
  // conversion gives it.
  std::int32_t heading = down >= -2147483648.0 && down < 2147483648.0
                             ? static_cast<std::int32_t>(down)
                             : std::numeric_limits<std::int32_t>::min();
  if (heading < 0) heading += 360;
  if (heading > 360) heading -= 360;
  return heading;
}

IlsBufferAllocator& IlsRecordAllocator() {
  static IlsBufferAllocator allocator = AllocateAreaBuffer;
  return allocator;
}

Flow ReadIlsSection(int sectionIndex) {
  if (ReadSubSecPtrTable(sectionIndex, "ILS subsection") == Flow::Abandon) return Flow::Abandon;
  const std::uint32_t subsections = gBgl.Sections[sectionIndex].SubsectionCount;
  for (std::uint32_t j = 0; j < subsections; ++j) {
    if (ReadIlsSubsection(gBgl.SubSecPtrs[j]) == Flow::Abandon) return Flow::Abandon;
  }
  return Flow::GoOn;
}

}  // namespace hangarscan
