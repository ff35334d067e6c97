// The picture check accepts the BMP files the program shows and names what it refuses.
#include <gtest/gtest.h>

#include "archive/picture_format.h"
#include "builder/win32/picture_check.h"
#include "builder/win32/picture_convert.h"
#include "support/sample_pictures.h"
#include "support/sample_png.h"

using test_support::SampleBmp;
using test_support::SamplePicture;
using test_support::SamplePng;

namespace {

SamplePicture WithBits(uint16_t bits) {
  SamplePicture p;
  p.bits = bits;
  return p;
}

TEST(ValidatePicture, AcceptsEveryShownDepth) {
  for (uint16_t bits : {1, 4, 8, 16, 24}) {
    SCOPED_TRACE(bits);
    EXPECT_EQ(ValidatePicture(SampleBmp(WithBits(bits))), "");
  }
}

TEST(ValidatePicture, AcceptsShortColourTableBelowEightBits) {
  SamplePicture p = WithBits(4);
  p.coloursUsed = 3;  // a table of 12 bytes, the rows right behind it
  EXPECT_EQ(ValidatePicture(SampleBmp(p)), "");
  p.bits = 1;
  p.coloursUsed = 2;
  EXPECT_EQ(ValidatePicture(SampleBmp(p)), "");
}

TEST(ValidatePicture, RefusesDepthsNotShown) {
  for (uint16_t bits : {2, 32}) {
    SCOPED_TRACE(bits);
    EXPECT_NE(ValidatePicture(SampleBmp(WithBits(bits))).find("bits per pixel"), std::string::npos);
  }
}

TEST(ValidatePicture, SixteenBitsTakeOnlyTheBitFieldsEveryWindowsDraws) {
  SamplePicture p = WithBits(16);
  p.compression = 3;
  p.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
  EXPECT_EQ(ValidatePicture(SampleBmp(p)), "");
  p.masks = {0x7C00, 0x03E0, 0x001F};  // 5-5-5
  EXPECT_EQ(ValidatePicture(SampleBmp(p)), "");
  p.masks = {0x001F, 0x07E0, 0xF800};  // 5-6-5 with red and blue swapped
  EXPECT_NE(ValidatePicture(SampleBmp(p)).find("bit fields"), std::string::npos);
  p.masks = {};  // no room for the masks in front of the rows
  EXPECT_NE(ValidatePicture(SampleBmp(p)), "");
}

TEST(ValidatePicture, RefusesCompressedPictures) {
  for (uint32_t method : {1u, 2u, 3u}) {  // RLE8, RLE4, bit fields
    SamplePicture p;
    p.compression = method;
    EXPECT_NE(ValidatePicture(SampleBmp(p)).find("compressed"), std::string::npos);
  }
}

TEST(ValidatePicture, RefusesZeroAndNegativeSizes) {
  for (auto size : {std::pair<int32_t, int32_t>{0, 7}, {13, 0}, {-13, 7}, {13, -7}}) {
    SamplePicture p;
    p.width = size.first;
    p.height = size.second;  // a negative height is a top-down picture
    EXPECT_NE(ValidatePicture(SampleBmp(p)).find("positive"), std::string::npos)
        << size.first << " x " << size.second;
  }
}

TEST(ValidatePicture, RefusesEightBitsWithoutFullPalette) {
  SamplePicture p;
  p.coloursUsed = 16;
  EXPECT_NE(ValidatePicture(SampleBmp(p)).find("256 colours"), std::string::npos);
  p.coloursUsed = 256;
  EXPECT_EQ(ValidatePicture(SampleBmp(p)), "");
}

TEST(ValidatePicture, RefusesRowsPastTheEnd) {
  for (uint16_t bits : {1, 8, 24}) {
    std::vector<uint8_t> bmp = SampleBmp(WithBits(bits));
    bmp.pop_back();
    EXPECT_NE(ValidatePicture(bmp).find("pixel rows"), std::string::npos) << bits;
  }
  std::vector<uint8_t> bmp = SampleBmp(WithBits(4));
  StoreU32LE(&bmp[46], 300);  // a colour table larger than the file
  EXPECT_NE(ValidatePicture(bmp).find("pixel rows"), std::string::npos);
}

TEST(ValidatePicture, RefusesOtherHeadersAndSignatures) {
  for (uint32_t size : {12u, 108u, 124u}) {  // core, V4 and V5 headers
    SamplePicture p;
    p.infoSize = size;
    EXPECT_NE(ValidatePicture(SampleBmp(p)).find("header"), std::string::npos) << size;
  }
  std::vector<uint8_t> bmp = SampleBmp();
  bmp[1] = 'A';
  EXPECT_NE(ValidatePicture(bmp).find("BM"), std::string::npos);
  bmp = SampleBmp();
  bmp.resize(53);  // one byte short of the two headers
  EXPECT_NE(ValidatePicture(bmp).find("too short"), std::string::npos);
  EXPECT_NE(ValidatePicture({}), "");
}

TEST(ValidatePicture, RefusesPlanesOtherThanOne) {
  SamplePicture p;
  p.planes = 2;
  EXPECT_NE(ValidatePicture(SampleBmp(p)).find("planes"), std::string::npos);
}

TEST(PictureRowStride, PadsRowsToFourBytes) {
  EXPECT_EQ(PictureRowStride(1, 1), 4u);
  EXPECT_EQ(PictureRowStride(32, 1), 4u);
  EXPECT_EQ(PictureRowStride(33, 1), 8u);
  EXPECT_EQ(PictureRowStride(9, 4), 8u);
  EXPECT_EQ(PictureRowStride(5, 8), 8u);
  EXPECT_EQ(PictureRowStride(3, 24), 12u);
  EXPECT_EQ(PictureRowStride(0x7FFFFFFF, 24), 6442450944u);  // no 32-bit overflow
}

std::vector<uint8_t> Converted(const std::vector<uint8_t>& png) {
  std::vector<uint8_t> bmp;
  std::string error;
  EXPECT_TRUE(ConvertPngToBmp(png, &bmp, &error)) << error;
  EXPECT_EQ(ValidatePicture(bmp), "");
  return bmp;
}

// The pixel bytes of row y counted from the top, in a BMP stored bottom-up.
const uint8_t* BmpRow(const std::vector<uint8_t>& bmp, uint32_t y) {
  const uint32_t stride = static_cast<uint32_t>(
      PictureRowStride(LoadU32LE(&bmp[PICTURE_WIDTH_OFFSET]), LoadU16LE(&bmp[PICTURE_BITS_OFFSET])));
  return bmp.data() + bmp.size() - size_t{stride} * (y + 1);
}

TEST(ConvertPngToBmp, TrueColourBecomesBottomUpBgrRowsWithPadding) {
  // Two rows of three pixels: red, green, blue over white, black, grey.
  const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
  const std::vector<uint8_t> bmp = Converted(SamplePng(3, 2, PNG_FORMAT_RGB, rgb));
  EXPECT_EQ(LoadU16LE(&bmp[PICTURE_BITS_OFFSET]), 24);
  EXPECT_EQ(bmp.size(), PICTURE_HEADERS_SIZE + 2 * 12u);  // 9 bytes a row, padded to 12
  EXPECT_EQ(std::vector<uint8_t>(BmpRow(bmp, 0), BmpRow(bmp, 0) + 9),
            (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(BmpRow(bmp, 1), BmpRow(bmp, 1) + 9),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128}));
  EXPECT_EQ(LoadU32LE(&bmp[2]), bmp.size());  // the file header's size field
}

TEST(ConvertPngToBmp, PalettePictureKeepsItsIndicesInAFullTable) {
  const std::vector<uint8_t> colourMap = {10, 20, 30, 200, 100, 50, 0, 0, 0};
  const std::vector<uint8_t> indices = {2, 1, 0, 1, 0, 2, 0, 1, 2, 2, 2, 2, 1};  // 13 x 1
  const std::vector<uint8_t> bmp = Converted(SamplePng(13, 1, PNG_FORMAT_RGB_COLORMAP, indices, colourMap));
  EXPECT_EQ(LoadU16LE(&bmp[PICTURE_BITS_OFFSET]), 8);
  EXPECT_EQ(LoadU32LE(&bmp[PICTURE_COLOURS_USED_OFFSET]), 0u);  // all 256 entries stored
  const uint8_t* table = &bmp[PICTURE_HEADERS_SIZE];
  for (uint32_t x = 0; x < indices.size(); ++x) {
    const uint8_t* entry = table + BmpRow(bmp, 0)[x] * PICTURE_COLOUR_ENTRY_SIZE;
    const uint8_t* expected = &colourMap[indices[x] * 3];
    EXPECT_EQ(entry[0] * 65536 + entry[1] * 256 + entry[2], expected[2] * 65536 + expected[1] * 256 + expected[0])
        << "pixel " << x;  // BGR in the table, RGB in the map
  }
}

TEST(ConvertPngToBmp, TransparencyLiesOverTheButtonFace) {
  const std::vector<uint8_t> rgba = {0, 0, 0, 0, 255, 0, 0, 255};  // clear, then opaque red
  const std::vector<uint8_t> bmp = Converted(SamplePng(2, 1, PNG_FORMAT_RGBA, rgba));
  EXPECT_EQ(std::vector<uint8_t>(BmpRow(bmp, 0), BmpRow(bmp, 0) + 6),
            (std::vector<uint8_t>{192, 192, 192, 0, 0, 255}));
}

TEST(ConvertPngToBmp, RefusesDamagedFilesWithTheReason) {
  std::vector<uint8_t> png = SamplePng(2, 2, PNG_FORMAT_GRAY, {1, 2, 3, 4});
  EXPECT_TRUE(IsPng(png));
  EXPECT_FALSE(IsPng(test_support::SampleBmp()));
  png.resize(png.size() / 2);  // the pixel data cut off
  std::vector<uint8_t> bmp;
  std::string error;
  EXPECT_FALSE(ConvertPngToBmp(png, &bmp, &error));
  EXPECT_NE(error.find("PNG"), std::string::npos) << error;
  png.resize(20);  // inside the header chunk
  EXPECT_FALSE(ConvertPngToBmp(png, &bmp, &error));
}

}  // namespace
