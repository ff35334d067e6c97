// The picture check accepts the BMP files the program shows and names what it refuses.
#include <gtest/gtest.h>

#include "archive/picture_format.h"
#include "builder/picture_check.h"
#include "support/sample_pictures.h"

using test_support::SampleBmp;
using test_support::SamplePicture;

namespace {

SamplePicture WithBits(uint16_t bits) {
  SamplePicture p;
  p.bits = bits;
  return p;
}

TEST(ValidatePicture, AcceptsEveryShownDepth) {
  for (uint16_t bits : {1, 4, 8, 24}) {
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
  for (uint16_t bits : {2, 16, 32}) {
    SCOPED_TRACE(bits);
    EXPECT_NE(ValidatePicture(SampleBmp(WithBits(bits))).find("bits per pixel"), std::string::npos);
  }
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

}  // namespace
