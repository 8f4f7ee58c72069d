#include "tests/support/bgl_writer.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace hangarscan::fixture {

Bytes& Bytes::U8(std::uint8_t value) {
  data_.push_back(value);
  return *this;
}

Bytes& Bytes::U16(std::uint16_t value) {
  return U8(static_cast<std::uint8_t>(value)).U8(static_cast<std::uint8_t>(value >> 8));
}

Bytes& Bytes::U32(std::uint32_t value) {
  return U16(static_cast<std::uint16_t>(value)).U16(static_cast<std::uint16_t>(value >> 16));
}

Bytes& Bytes::I32(std::int32_t value) {
  return U32(static_cast<std::uint32_t>(value));
}

Bytes& Bytes::F32(float value) {
  std::uint32_t raw;
  std::memcpy(&raw, &value, sizeof raw);
  return U32(raw);
}

Bytes& Bytes::Zeros(std::size_t count) {
  data_.insert(data_.end(), count, 0);
  return *this;
}

Bytes& Bytes::Raw(const std::vector<std::uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes& Bytes::CString(std::string_view text) {
  data_.insert(data_.end(), text.begin(), text.end());
  return U8(0);
}

void Bytes::PatchU32(std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    data_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> Record(std::uint16_t id, const std::vector<std::uint8_t>& body,
                                 std::optional<std::uint32_t> sizeOverride) {
  const auto size = static_cast<std::uint32_t>(body.size() + 6);
  return Bytes().U16(id).U32(sizeOverride.value_or(size)).Raw(body).take();
}

Subsection& Section::Add(std::uint32_t recordCount, std::vector<std::uint8_t> data) {
  subsections.push_back({recordCount, std::move(data), std::nullopt, std::nullopt});
  return subsections.back();
}

Section& BglFile::AddSection(std::uint32_t type) {
  sections_.push_back({});
  sections_.back().type = type;
  return sections_.back();
}

std::vector<std::uint8_t> BglFile::Build() const {
  constexpr std::uint32_t kHeader = 56, kPointer = 20, kSubPointer = 16;
  // Work out where every table and every subsection's data go.
  std::uint32_t at = kHeader + kPointer * static_cast<std::uint32_t>(sections_.size());
  std::vector<std::uint32_t> tableAt;
  for (const Section& section : sections_) {
    tableAt.push_back(at);
    at += kSubPointer * static_cast<std::uint32_t>(section.subsections.size());
  }
  std::vector<std::vector<std::uint32_t>> dataAt;
  for (const Section& section : sections_) {
    dataAt.emplace_back();
    for (const Subsection& sub : section.subsections) {
      dataAt.back().push_back(at);
      at += static_cast<std::uint32_t>(sub.data.size());
    }
  }

  Bytes file;
  file.U32(0x19920201).Zeros(16);  // header data, not interpreted
  file.U32(numSection.value_or(static_cast<std::uint32_t>(sections_.size()))).Zeros(32);
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    const Section& section = sections_[s];
    std::uint32_t total = 0;
    for (const Subsection& sub : section.subsections)
      total += sub.data.size();
    file.U32(section.type).U32(0);
    file.U32(
        section.subsectionCount.value_or(static_cast<std::uint32_t>(section.subsections.size())));
    file.U32(section.tableOffset.value_or(tableAt[s])).U32(total);
  }
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    for (std::size_t j = 0; j < sections_[s].subsections.size(); ++j) {
      const Subsection& sub = sections_[s].subsections[j];
      file.U32(static_cast<std::uint32_t>(j)).U32(sub.recordCount);
      file.U32(sub.fileOffset.value_or(dataAt[s][j]));
      file.U32(sub.dataSize.value_or(static_cast<std::uint32_t>(sub.data.size())));
    }
  }
  for (const Section& section : sections_) {
    for (const Subsection& sub : section.subsections)
      file.Raw(sub.data);
  }
  std::vector<std::uint8_t> bytes = file.take();
  if (truncateTo && *truncateTo < bytes.size()) bytes.resize(*truncateTo);
  return bytes;
}

void BglFile::WriteTo(const std::string& path) const {
  WriteFile(path, Build());
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace hangarscan::fixture
