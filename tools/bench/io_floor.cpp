// The I/O floor of a refresh: walks the scenery in the refresh's order and, for every BGL file,
// reads exactly what the decoder must read (the header, the section table, and the subsection
// tables and data of the airport, navaid and name-list sections) through the same file layer,
// decoding nothing. A refresh cannot be faster than this.
//
// Usage: io_floor <scenery folder>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "bgl/bgl_file.h"
#include "bgl/byte_reader.h"
#include "env/scenery_walk.h"
#include "platform/file_io.h"
#include "platform/posix/posix_platform.h"

namespace hangarscan {
namespace {

struct Totals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::uint32_t checksum = 0;  // keeps the reads from being optimised away
};
Totals g_totals;

// Reads pass through this fixed buffer in pieces, so no size from a file decides an allocation.
std::array<std::uint8_t, 64 * 1024> g_buffer;

// Where the file stands: a read that follows the last one needs no seek, as in the decoder.
struct FloorFile {
  BinaryInFile file;
  std::uint64_t position = 0;

  // Reads `count` bytes at `offset`; the last piece stays at the start of g_buffer.
  bool ReadAt(std::uint64_t offset, std::uint64_t count) {
    if (offset != position && !file.Seek(offset)) return false;
    position = offset;
    while (count > 0) {
      const std::size_t piece =
          static_cast<std::size_t>(std::min<std::uint64_t>(count, g_buffer.size()));
      if (file.Read(g_buffer.data(), piece) != piece) return false;
      position += piece;
      count -= piece;
      g_totals.bytes += piece;
      g_totals.checksum += g_buffer[0] + g_buffer[piece - 1];
    }
    return true;
  }
};

bool IsDecoded(std::uint32_t type) {
  return type == kSectionAirport || type == kSectionNavaid || type == kSectionNameList;
}

void ReadSection(FloorFile& file, std::uint32_t count, std::uint32_t tableOffset) {
  if (count > static_cast<std::uint32_t>(kSubSecPtrEntries) ||
      !file.ReadAt(tableOffset, count * kSubSecPtrBytes))
    return;
  std::array<std::uint8_t, kSubSecPtrEntries * kSubSecPtrBytes> table;
  std::copy_n(g_buffer.begin(), count * kSubSecPtrBytes, table.begin());
  for (std::uint32_t j = 0; j < count; ++j) {
    const std::span<const std::uint8_t> entry(table.data() + j * kSubSecPtrBytes, kSubSecPtrBytes);
    if (!file.ReadAt(U32At(entry, 8), U32At(entry, 12))) return;
  }
}

void ReadBglFile(std::string_view path) {
  FloorFile file;
  if (!file.file.Open(std::string(path))) return;
  ++g_totals.files;
  if (!file.ReadAt(0, kBglHeaderBytes)) return;
  const std::uint32_t sections = U32At(std::span(g_buffer).first(kBglHeaderBytes), 20);
  if (sections > kMaxSections || !file.ReadAt(kBglHeaderBytes, sections * kSectionPointerBytes))
    return;
  std::array<std::uint8_t, kMaxSections * kSectionPointerBytes> pointers;
  std::copy_n(g_buffer.begin(), sections * kSectionPointerBytes, pointers.begin());
  for (std::uint32_t i = 0; i < sections; ++i) {
    const std::span<const std::uint8_t> pointer(pointers.data() + i * kSectionPointerBytes,
                                                kSectionPointerBytes);
    if (IsDecoded(U32At(pointer, 0))) ReadSection(file, U32At(pointer, 8), U32At(pointer, 12));
  }
}

}  // namespace
}  // namespace hangarscan

int main(int argc, char** argv) {
  using namespace hangarscan;
  if (argc != 2) {
    std::fprintf(stderr, "usage: io_floor <scenery folder>\n");
    return 2;
  }
  PosixPlatform platform(stdin, stderr);
  SetPlatform(&platform);
  WalkScenery(argv[1], ReadBglFile);
  std::printf("files %llu bytes %llu checksum %u\n",
              static_cast<unsigned long long>(g_totals.files),
              static_cast<unsigned long long>(g_totals.bytes), g_totals.checksum);
  return 0;
}
