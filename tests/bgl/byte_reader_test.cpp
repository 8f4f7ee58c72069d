#include "bgl/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace hangarscan {
namespace {

const std::array<std::uint8_t, 7> kBytes = {0x3C, 0x00, 0x78, 0x56, 0x34, 0x12, 0xFF};

TEST(ByteReaderTest, ReadsLittleEndianValuesInOrder) {
  ByteReader reader(kBytes);
  std::uint16_t id = 0;
  std::uint32_t size = 0;
  std::uint8_t last = 0;
  ASSERT_TRUE(reader.ReadU16(id));
  ASSERT_TRUE(reader.ReadU32(size));
  ASSERT_TRUE(reader.ReadU8(last));
  EXPECT_EQ(id, 0x003C);
  EXPECT_EQ(size, 0x12345678u);
  EXPECT_EQ(last, 0xFF);
  EXPECT_EQ(reader.remaining(), 0u);
}

TEST(ByteReaderTest, AReadPastTheEndFailsAndMovesNothing) {
  ByteReader reader(kBytes);
  ASSERT_TRUE(reader.Skip(4));
  std::uint32_t value = 7;
  EXPECT_FALSE(reader.ReadU32(value));
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(reader.position(), 4u);
  EXPECT_FALSE(reader.Skip(std::numeric_limits<std::size_t>::max()));
  std::span<const std::uint8_t> out;
  EXPECT_FALSE(reader.ReadBytes(4, out));
  EXPECT_TRUE(reader.ReadBytes(3, out));
  EXPECT_EQ(out.size(), 3u);
}

TEST(ByteReaderTest, FieldsAtFixedOffsets) {
  EXPECT_EQ(U32At(kBytes, 2), 0x12345678u);
  EXPECT_EQ(I32At(kBytes, 3), static_cast<std::int32_t>(0xFF123456u));
  EXPECT_EQ(U16At(kBytes, 0), 0x003Cu);
  EXPECT_EQ(U32At(kBytes, 4), 0u) << "a field beyond the bytes reads as 0";
  const std::array<std::uint8_t, 4> one = {0x00, 0x00, 0x80, 0x3F};
  EXPECT_EQ(F32At(one, 0), 1.0f);
}

}  // namespace
}  // namespace hangarscan
