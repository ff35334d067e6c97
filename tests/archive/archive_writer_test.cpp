// The setup file writer: ImageSize patching and the file's layout.
#include <stdexcept>

#include "setup_file.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& v, size_t at) {
  return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

TEST(ArchiveWriter, PatchesImageSizeBehindTheMarker) {
  ArchiveWriter writer(FakeImage(700));
  std::vector<uint8_t> file = writer.Finish();
  EXPECT_EQ(U32At(file, 100 + IMAGE_SIZE_MARKER_LENGTH), 700u);
}

TEST(ArchiveWriter, RefusesStubWithoutOrWithTwoMarkers) {
  EXPECT_THROW(ArchiveWriter(std::vector<uint8_t>(300, 0)), std::runtime_error);
  std::vector<uint8_t> twice = FakeImage();
  for (size_t i = 0; i < IMAGE_SIZE_MARKER_LENGTH; ++i) twice[300 + i] = IMAGE_SIZE_MARKER[i];
  EXPECT_THROW(ArchiveWriter(std::move(twice)), std::runtime_error);
  std::vector<uint8_t> atEnd = FakeImage();
  // The one section's raw data ends one byte behind the marker: room for one byte of the value.
  StoreU32LE(test_support::FakeImageSection(atEnd) + test_support::FAKE_SECTION_RAW_SIZE,
             uint32_t(test_support::FAKE_IMAGE_MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH + 1));
  EXPECT_THROW(ArchiveWriter(std::move(atEnd)), std::runtime_error);
}

TEST(ArchiveWriter, LaysOutBlocksEndBlockAndDataArea) {
  ArchiveWriter writer(FakeImage());
  writer.AddU16Block(BLOCK_START_PAGE, 4);
  writer.SetDataArea({9, 8, 7});
  std::vector<uint8_t> file = writer.Finish();
  ASSERT_EQ(file.size(), 512u + 10 + 8 + 4 + 3);
  EXPECT_EQ(file[512], 0x44);  // tag 0x1244, little-endian
  EXPECT_EQ(file[513], 0x12);
  EXPECT_EQ(U32At(file, 516), 2u);
  EXPECT_EQ(file[522], 0x7F);
  EXPECT_EQ(U32At(file, 526), 7u);  // END's size: the data size field and the data
  EXPECT_EQ(U32At(file, 530), 3u);
  EXPECT_EQ(file.back(), 7);
}

}  // namespace
