// The program's picture reader on BMP files written field by field: what it draws and what
// it treats as absent, so that painting never reads past the block or tiles without advancing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/memory.h"
#include "support/sample_pictures.h"
#include "wizard/picture.h"

using test_support::SampleBmp;
using test_support::SamplePicture;

namespace {

// The file's bytes in a heap block of exactly their size, as the archive loader makes them.
class HeapBlock {
 public:
  explicit HeapBlock(const std::vector<uint8_t>& bytes) {
    if (MemAlloc(static_cast<uint32_t>(bytes.size()), &block_)) {
      std::memcpy(block_, bytes.data(), bytes.size());
    }
  }
  ~HeapBlock() { MemFree(block_); }
  const uint8_t* get() const { return block_; }

 private:
  uint8_t* block_ = nullptr;
};

bool Reads(const std::vector<uint8_t>& bytes, Picture* picture = nullptr) {
  Picture ignored = {};
  HeapBlock block(bytes);
  return ReadPicture(block.get(), picture != nullptr ? picture : &ignored);
}

TEST(Picture, FindsRowsBehindTheColourTableAtEveryDepth) {
  for (uint16_t bits : {1, 4, 8, 24}) {
    SamplePicture sample;
    sample.bits = bits;
    const std::vector<uint8_t> bytes = SampleBmp(sample);
    HeapBlock block(bytes);
    Picture picture = {};
    ASSERT_TRUE(ReadPicture(block.get(), &picture)) << bits << " bits";
    const uint32_t table = bits == 24 ? 0 : 4u << bits;
    EXPECT_EQ(picture.pixels - block.get(), 54 + table) << bits << " bits";
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(picture.info) - block.get(), 14);
    EXPECT_EQ(picture.width, 13);
    EXPECT_EQ(picture.height, 7);
  }
}

TEST(Picture, ColoursUsedSizesTheTableOfAFourBitPicture) {
  SamplePicture sample;
  sample.bits = 4;
  sample.coloursUsed = 3;
  const std::vector<uint8_t> bytes = SampleBmp(sample);
  HeapBlock block(bytes);
  Picture picture = {};
  ASSERT_TRUE(ReadPicture(block.get(), &picture));
  EXPECT_EQ(picture.pixels - block.get(), 54 + 3 * 4);
}

TEST(Picture, LayoutsThatAreNotDrawnReadAsAbsent) {
  const auto with = [](void (*change)(SamplePicture&)) {
    SamplePicture sample;
    change(sample);
    return SampleBmp(sample);
  };
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.width = 0; })));   // would tile in place
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.height = -7; })));  // top-down rows
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.bits = 32; })));
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.bits = 16; })));
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.compression = 1; })));  // run-length
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.infoSize = 108; })));   // a later header
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.coloursUsed = 16; })));  // 8 bits, 16 colours
}

TEST(Picture, BlockCutAnywhereBeforeTheLastRowReadsAsAbsent) {
  std::vector<uint8_t> bytes = SampleBmp();
  Picture picture = {};
  EXPECT_TRUE(Reads(bytes, &picture));
  // Cuts in the headers, in the colour table and in the last pixel row.
  for (size_t size : {size_t(0), size_t(30), size_t(53), size_t(54 + 500), bytes.size() - 1}) {
    EXPECT_FALSE(Reads(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size))) << size;
  }
  EXPECT_FALSE(ReadPicture(nullptr, &picture));
}

}  // namespace
