// The program's picture reader on BMP files written field by field: what it draws and what
// it treats as absent, so that painting never reads past the block or tiles without advancing.
#include <gtest/gtest.h>

#include <cstdlib>
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
  for (uint16_t bits : {1, 4, 8, 16, 24}) {
    SamplePicture sample;
    sample.bits = bits;
    const std::vector<uint8_t> bytes = SampleBmp(sample);
    HeapBlock block(bytes);
    Picture picture = {};
    ASSERT_TRUE(ReadPicture(block.get(), &picture)) << bits << " bits";
    const uint32_t table = bits >= 16 ? 0 : 4u << bits;
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
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.bits = 24, p.compression = 3, p.masks = {0xFF0000, 0xFF00, 0xFF}; })));
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.bits = 16, p.compression = 3, p.masks = {0xF00, 0xF0, 0xF}; })));
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.compression = 1; })));  // run-length
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.infoSize = 108; })));   // a later header
  EXPECT_FALSE(Reads(with([](SamplePicture& p) { p.coloursUsed = 16; })));  // 8 bits, 16 colours
}

// 16 bits: 5-5-5 without bit fields; 5-6-5 (and 5-5-5) with their three masks in front of
// the rows. Each is drawn in the colour its pixels hold.
TEST(Picture, SixteenBitPicturesAreDrawnInTheirColours) {
  struct Case {
    uint32_t compression;
    std::vector<uint32_t> masks;
    uint16_t pixel;
    COLORREF expected;
  };
  const std::vector<Case> cases = {
      {0, {}, 0x7C00, RGB(255, 0, 0)},                            // 5-5-5: full red
      {0, {}, 0x03E0, RGB(0, 255, 0)},                            // 5-5-5: full green
      {3, {0xF800, 0x07E0, 0x001F}, 0x07E0, RGB(0, 255, 0)},      // 5-6-5: full green
      {3, {0xF800, 0x07E0, 0x001F}, 0x001F, RGB(0, 0, 255)},      // 5-6-5: full blue
      {3, {0x7C00, 0x03E0, 0x001F}, 0x7C00, RGB(255, 0, 0)},      // 5-5-5 as bit fields
  };
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(dc, target);
  for (const Case& c : cases) {
    SamplePicture sample;
    sample.bits = 16;
    sample.compression = c.compression;
    sample.masks = c.masks;
    sample.pixel16 = c.pixel;
    HeapBlock block(SampleBmp(sample));
    Picture picture = {};
    ASSERT_TRUE(ReadPicture(block.get(), &picture)) << c.pixel;
    EXPECT_EQ(picture.pixels - block.get(), 54 + 4 * ptrdiff_t(c.masks.size()));
    DrawPicture(dc, picture, 0, 0);
    const COLORREF drawn = GetPixel(dc, 3, 3);
    // A display of fewer bits may round a channel: within 8 of the full value.
    EXPECT_LE(std::abs(GetRValue(drawn) - GetRValue(c.expected)) + std::abs(GetGValue(drawn) - GetGValue(c.expected)) +
                  std::abs(GetBValue(drawn) - GetBValue(c.expected)),
              24)
        << std::hex << c.pixel << " drawn as " << drawn;
  }
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
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
