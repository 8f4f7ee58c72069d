// The I/O floor of a refresh: walks the scenery in the refresh's order and, for every BGL file,
// reads exactly what the decoder must read (the header, the section table, and the subsection
// tables and data of the airport, navaid and name-list sections) through the same file layer,
// decoding nothing. A refresh cannot be faster than this.
//
// Usage: io_floor <scenery folder>
#include <cstdint>
#include <cstdio>
#include <vector>

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
std::vector<std::uint8_t> g_buffer;

bool ReadAt(BinaryInFile& file, std::uint64_t offset, std::size_t count) {
  if (g_buffer.size() < count) g_buffer.resize(count);
  if (!file.Seek(offset) || file.Read(g_buffer.data(), count) != count) return false;
  g_totals.bytes += count;
  for (std::size_t i = 0; i < count; i += 4096)
    g_totals.checksum += g_buffer[i];
  return true;
}

bool IsDecoded(std::uint32_t type) {
  return type == kSectionAirport || type == kSectionNavaid || type == kSectionNameList;
}

void ReadSection(BinaryInFile& file, std::uint32_t count, std::uint32_t tableOffset) {
  if (!ReadAt(file, tableOffset, count * kSubSecPtrBytes)) return;
  const std::vector<std::uint8_t> table(g_buffer.begin(),
                                        g_buffer.begin() + count * kSubSecPtrBytes);
  for (std::uint32_t j = 0; j < count; ++j) {
    const std::span<const std::uint8_t> entry(table.data() + j * kSubSecPtrBytes, kSubSecPtrBytes);
    ReadAt(file, U32At(entry, 8), U32At(entry, 12));
  }
}

void ReadBglFile(std::string_view path) {
  BinaryInFile file;
  if (!file.Open(std::string(path))) return;
  ++g_totals.files;
  if (!ReadAt(file, 0, kBglHeaderBytes)) return;
  const std::uint32_t sections = U32At(g_buffer, 20);
  if (sections > kMaxSections || !ReadAt(file, kBglHeaderBytes, sections * kSectionPointerBytes))
    return;
  const std::vector<std::uint8_t> pointers(g_buffer.begin(),
                                           g_buffer.begin() + sections * kSectionPointerBytes);
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
