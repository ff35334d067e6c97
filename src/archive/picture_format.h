// The pictures of a setup (BLOCK_WIZARD_IMAGE, BLOCK_BACKGROUND_IMAGE): a whole BMP file,
// read by the program and checked by the builder against the same layout. All fields are
// little-endian; the program shows only the pictures described here.
#pragma once

#include <cstdint>

#include "base/byte_order.h"

// File header: "BM", then fields the program does not read.
constexpr uint8_t PICTURE_SIGNATURE[2] = {'B', 'M'};
constexpr uint32_t PICTURE_FILE_HEADER_SIZE = 14;

// The info header that follows it, in its 40-byte form only (its first field is its size).
constexpr uint32_t PICTURE_INFO_HEADER_SIZE = 40;
constexpr uint32_t PICTURE_INFO_SIZE_OFFSET = PICTURE_FILE_HEADER_SIZE;
constexpr uint32_t PICTURE_WIDTH_OFFSET = 18;        // i32, positive
constexpr uint32_t PICTURE_HEIGHT_OFFSET = 22;       // i32, positive: rows stored bottom-up
constexpr uint32_t PICTURE_PLANES_OFFSET = 26;       // u16
constexpr uint32_t PICTURE_BITS_OFFSET = 28;         // u16 bits per pixel
constexpr uint32_t PICTURE_COMPRESSION_OFFSET = 30;  // u32
constexpr uint32_t PICTURE_COLOURS_USED_OFFSET = 46; // u32, 0 for the full table of the depth
constexpr uint32_t PICTURE_HEADERS_SIZE = PICTURE_FILE_HEADER_SIZE + PICTURE_INFO_HEADER_SIZE;
static_assert(PICTURE_COLOURS_USED_OFFSET + 8 == PICTURE_HEADERS_SIZE,
              "colours used and colours important end the info header");

constexpr uint16_t PICTURE_PLANES = 1;
constexpr uint32_t PICTURE_UNCOMPRESSED = 0;
constexpr uint32_t PICTURE_COLOUR_ENTRY_SIZE = 4;  // blue, green, red, reserved
// An 8-bit picture is drawn through a palette of all 256 entries.
constexpr uint32_t PICTURE_PALETTE_BITS = 8;
constexpr uint32_t PICTURE_PALETTE_COLOURS = 1u << PICTURE_PALETTE_BITS;
constexpr uint32_t PICTURE_HIGH_COLOUR_BITS = 16;
constexpr uint32_t PICTURE_TRUE_COLOUR_BITS = 24;

// A 16-bit picture is 5-5-5 uncompressed; with this compression its three colour masks (u32
// red, green, blue) stand where the colour table would, and the program draws the masks of
// 5-5-5 and 5-6-5, the two that every Windows draws.
constexpr uint32_t PICTURE_BIT_FIELDS = 3;
constexpr uint32_t PICTURE_MASKS_SIZE = 12;
constexpr uint32_t PICTURE_MASKS_555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t PICTURE_MASKS_565[3] = {0xF800, 0x07E0, 0x001F};

// Colour depths the program draws: 1, 4 and 8 bits through a colour table, 16 and 24 without.
inline bool PictureBitsSupported(uint32_t bits) {
  return bits == 1 || bits == 4 || bits == PICTURE_PALETTE_BITS || bits == PICTURE_HIGH_COLOUR_BITS ||
         bits == PICTURE_TRUE_COLOUR_BITS;
}

// Bytes of the colour table that stands right behind the headers; the pixel rows follow it.
inline uint64_t PictureColourTableSize(uint32_t bits, uint32_t coloursUsed) {
  if (coloursUsed != 0) return uint64_t(coloursUsed) * PICTURE_COLOUR_ENTRY_SIZE;
  if (bits == PICTURE_HIGH_COLOUR_BITS || bits == PICTURE_TRUE_COLOUR_BITS) return 0;
  return (uint64_t(1) << bits) * PICTURE_COLOUR_ENTRY_SIZE;
}

// Whether the three masks at masks (little-endian u32 each) are ones the program draws.
inline bool PictureMasksSupported(const uint8_t* masks) {
  const auto same = [masks](const uint32_t* expected) {
    return LoadU32LE(masks) == expected[0] && LoadU32LE(masks + 4) == expected[1] && LoadU32LE(masks + 8) == expected[2];
  };
  return same(PICTURE_MASKS_555) || same(PICTURE_MASKS_565);
}

// What stands between the headers and the pixel rows: the colour table, or the masks of a
// 16-bit picture with bit fields; false when the program does not draw the compression.
inline bool PictureTableSize(uint32_t bits, uint32_t compression, uint32_t coloursUsed, uint64_t* size) {
  if (compression == PICTURE_UNCOMPRESSED) {
    *size = PictureColourTableSize(bits, coloursUsed);
    return true;
  }
  *size = PICTURE_MASKS_SIZE;
  return compression == PICTURE_BIT_FIELDS && bits == PICTURE_HIGH_COLOUR_BITS && coloursUsed == 0;
}

// Each pixel row is padded to a multiple of 4 bytes.
inline uint64_t PictureRowStride(uint32_t width, uint32_t bits) {
  return (uint64_t(width) * bits + 31) / 32 * 4;
}
