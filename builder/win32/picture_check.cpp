// The picture check: the fields of archive/picture_format.h in the order of the file.
#include "builder/win32/picture_check.h"

#include "archive/picture_format.h"
#include "base/byte_order.h"

namespace {

int32_t LoadI32LE(const uint8_t* p) { return static_cast<int32_t>(LoadU32LE(p)); }

}  // namespace

std::string ValidatePicture(const std::vector<uint8_t>& bmp) {
  if (bmp.size() < PICTURE_HEADERS_SIZE) return "the file is too short for a BMP picture";
  const uint8_t* p = bmp.data();
  if (p[0] != PICTURE_SIGNATURE[0] || p[1] != PICTURE_SIGNATURE[1]) {
    return "not a BMP file (it does not start with \"BM\")";
  }
  const uint32_t infoSize = LoadU32LE(p + PICTURE_INFO_SIZE_OFFSET);
  if (infoSize != PICTURE_INFO_HEADER_SIZE) {
    return "info header of " + std::to_string(infoSize) + " bytes; only the 40-byte header is shown";
  }
  const int32_t width = LoadI32LE(p + PICTURE_WIDTH_OFFSET);
  const int32_t height = LoadI32LE(p + PICTURE_HEIGHT_OFFSET);
  if (width <= 0 || height <= 0) {
    return "size " + std::to_string(width) + " x " + std::to_string(height) +
           "; width and height must be positive (rows stored bottom-up)";
  }
  const uint16_t planes = LoadU16LE(p + PICTURE_PLANES_OFFSET);
  if (planes != PICTURE_PLANES) return std::to_string(planes) + " colour planes; only 1 is shown";
  const uint16_t bits = LoadU16LE(p + PICTURE_BITS_OFFSET);
  if (!PictureBitsSupported(bits)) {
    return std::to_string(bits) + " bits per pixel; only 1, 4, 8, 16 and 24 are shown";
  }
  const uint32_t compression = LoadU32LE(p + PICTURE_COMPRESSION_OFFSET);
  const uint32_t coloursUsed = LoadU32LE(p + PICTURE_COLOURS_USED_OFFSET);
  uint64_t table = 0;
  if (!PictureTableSize(bits, compression, coloursUsed, &table)) {
    return "compressed (method " + std::to_string(compression) +
           "); only uncompressed pictures are shown, and 16-bit ones with 5-5-5 or 5-6-5 bit fields";
  }
  if (compression == PICTURE_BIT_FIELDS &&
      (bmp.size() < PICTURE_HEADERS_SIZE + PICTURE_MASKS_SIZE || !PictureMasksSupported(p + PICTURE_HEADERS_SIZE))) {
    return "16-bit bit fields other than 5-5-5 and 5-6-5; only those two are shown";
  }
  if (bits == PICTURE_PALETTE_BITS && coloursUsed != 0 && coloursUsed != PICTURE_PALETTE_COLOURS) {
    return "an 8-bit picture needs 256 colours; this one has " + std::to_string(coloursUsed);
  }
  // No overflow: a stride below 0.75 * 2^33 times a height below 2^31, plus a table below
  // 2^34, stays below 2^64.
  const uint64_t pixels = table + PictureRowStride(static_cast<uint32_t>(width), bits) * uint64_t(height);
  if (pixels > bmp.size() - PICTURE_HEADERS_SIZE) {
    return "the colour table and pixel rows need " + std::to_string(PICTURE_HEADERS_SIZE + pixels) +
           " bytes; the file has " + std::to_string(bmp.size());
  }
  return "";
}
