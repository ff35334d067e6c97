// Little-endian fields at any offset, low byte first.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/byte_order.h"

namespace {

TEST(ByteOrder, LoadsLowByteFirstAtUnalignedOffsets) {
  const uint8_t bytes[] = {0xAA, 0x01, 0x02, 0x03, 0x84};
  EXPECT_EQ(LoadU16LE(bytes + 1), 0x0201u);
  EXPECT_EQ(LoadU32LE(bytes + 1), 0x84030201u);  // the top bit set stays unsigned
}

TEST(ByteOrder, StoresWhatItLoads) {
  uint8_t bytes[7] = {};
  StoreU32LE(bytes + 1, 0xFEDCBA98u);
  StoreU16LE(bytes + 5, 0x1234);
  const uint8_t expected[7] = {0x00, 0x98, 0xBA, 0xDC, 0xFE, 0x34, 0x12};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
  EXPECT_EQ(LoadU32LE(bytes + 1), 0xFEDCBA98u);
}

}  // namespace
