// Builds BGL files in memory, in the layout the decoder reads: the 56-byte header, the section
// pointers, each section's subsection pointers, then the subsections' records. Every size and
// offset it works out can be overridden to build the malformed files the decoder must survive.
// Shared by the tests and the sample scenery generator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hangarscan::fixture {

// Little-endian byte builder.
class Bytes {
 public:
  Bytes& U8(std::uint8_t value);
  Bytes& U16(std::uint16_t value);
  Bytes& U32(std::uint32_t value);
  Bytes& I32(std::int32_t value);
  Bytes& F32(float value);
  Bytes& Zeros(std::size_t count);
  Bytes& Raw(const std::vector<std::uint8_t>& bytes);
  // The characters and a terminating zero.
  Bytes& CString(std::string_view text);
  void PatchU32(std::size_t offset, std::uint32_t value);

  std::size_t size() const { return data_.size(); }
  const std::vector<std::uint8_t>& data() const { return data_; }
  std::vector<std::uint8_t>&& take() { return std::move(data_); }

 private:
  std::vector<std::uint8_t> data_;
};

// A record or sub-record: the 16-bit id, the 32-bit size of the whole (these 6 bytes included,
// unless overridden), then the body.
std::vector<std::uint8_t> Record(std::uint16_t id, const std::vector<std::uint8_t>& body,
                                 std::optional<std::uint32_t> sizeOverride = std::nullopt);

struct Subsection {
  std::uint32_t recordCount = 0;
  std::vector<std::uint8_t> data;           // the records, back to back
  std::optional<std::uint32_t> fileOffset;  // overrides where the pointer says the data is
  std::optional<std::uint32_t> dataSize;    // overrides the size the pointer gives
};

struct Section {
  std::uint32_t type = 0;
  std::vector<Subsection> subsections;
  std::optional<std::uint32_t> subsectionCount;  // overrides the count in the section pointer
  std::optional<std::uint32_t> tableOffset;      // overrides the offset of the subsection table

  Subsection& Add(std::uint32_t recordCount, std::vector<std::uint8_t> data);
};

class BglFile {
 public:
  Section& AddSection(std::uint32_t type);
  std::vector<Section>& sections() { return sections_; }

  std::optional<std::uint32_t> numSection;  // overrides the header's section count
  std::optional<std::size_t> truncateTo;    // cuts the built file to this many bytes

  std::vector<std::uint8_t> Build() const;
  void WriteTo(const std::string& path) const;

 private:
  std::vector<Section> sections_;
};

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace hangarscan::fixture
