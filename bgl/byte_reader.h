// Reads little-endian values from bytes already in memory. Every read checks `n > remaining()`
// first, so no offset arithmetic can overflow or leave the span; a failed read moves nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace hangarscan {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t remaining() const { return data_.size() - position_; }
  std::size_t position() const { return position_; }

  bool Skip(std::size_t n) {
    if (n > remaining()) return false;
    position_ += n;
    return true;
  }
  bool ReadU8(std::uint8_t& value) { return ReadLittleEndian(value); }
  bool ReadU16(std::uint16_t& value) { return ReadLittleEndian(value); }
  bool ReadU32(std::uint32_t& value) { return ReadLittleEndian(value); }
  bool ReadI32(std::int32_t& value) {
    std::uint32_t raw;
    if (!ReadLittleEndian(raw)) return false;
    value = static_cast<std::int32_t>(raw);
    return true;
  }
  bool ReadF32(float& value) {
    std::uint32_t raw;
    if (!ReadLittleEndian(raw)) return false;
    std::memcpy(&value, &raw, sizeof value);
    return true;
  }
  // The next n bytes as a span, without copying.
  bool ReadBytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (n > remaining()) return false;
    out = data_.subspan(position_, n);
    position_ += n;
    return true;
  }

 private:
  template <typename T>
  bool ReadLittleEndian(T& value) {
    if (sizeof(T) > remaining()) return false;
    T result = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      result = static_cast<T>(result | (static_cast<T>(data_[position_ + i]) << (8 * i)));
    }
    value = result;
    position_ += sizeof(T);
    return true;
  }

  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

// Fields of a fixed-size structure whose size is known to cover them: the reader is positioned
// at the offset and the value read; a field outside the span reads as 0.
inline std::uint32_t U32At(std::span<const std::uint8_t> data, std::size_t offset) {
  ByteReader reader(data);
  std::uint32_t value = 0;
  if (reader.Skip(offset)) reader.ReadU32(value);
  return value;
}
inline std::uint16_t U16At(std::span<const std::uint8_t> data, std::size_t offset) {
  ByteReader reader(data);
  std::uint16_t value = 0;
  if (reader.Skip(offset)) reader.ReadU16(value);
  return value;
}
inline std::uint8_t U8At(std::span<const std::uint8_t> data, std::size_t offset) {
  ByteReader reader(data);
  std::uint8_t value = 0;
  if (reader.Skip(offset)) reader.ReadU8(value);
  return value;
}
inline std::int32_t I32At(std::span<const std::uint8_t> data, std::size_t offset) {
  return static_cast<std::int32_t>(U32At(data, offset));
}
inline float F32At(std::span<const std::uint8_t> data, std::size_t offset) {
  const std::uint32_t raw = U32At(data, offset);
  float value;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

}  // namespace hangarscan
