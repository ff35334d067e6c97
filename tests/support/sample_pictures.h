// Test support: BMP files built by hand, field by field at the offsets of the format (not
// from archive/picture_format.h, so that a wrong constant there shows).
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_order.h"

namespace test_support {

struct SamplePicture {
  int32_t width = 13;  // odd, so that rows need padding at every depth
  int32_t height = 7;
  uint16_t bits = 8;
  uint32_t coloursUsed = 0;
  uint32_t compression = 0;
  uint16_t planes = 1;
  uint32_t infoSize = 40;
  std::vector<uint32_t> masks;  // written where the colour table stands (16-bit bit fields)
  uint16_t pixel16 = 0;         // every pixel of a 16-bit picture; others are filled with 0x5A
};

// A complete file: 14-byte file header, 40-byte info header, the colour table and the rows.
inline std::vector<uint8_t> SampleBmp(const SamplePicture& p = {}) {
  uint32_t colours = p.coloursUsed != 0 ? p.coloursUsed : p.bits <= 8 ? 1u << p.bits : 0;
  uint32_t stride = (static_cast<uint32_t>(p.width > 0 ? p.width : 0) * p.bits + 31) / 32 * 4;
  uint32_t rows = static_cast<uint32_t>(p.height > 0 ? p.height : 0);
  uint32_t pixelsAt = 54 + colours * 4 + static_cast<uint32_t>(p.masks.size()) * 4;
  std::vector<uint8_t> f(pixelsAt + stride * rows, 0x5A);
  for (size_t i = 0; i < p.masks.size(); ++i) StoreU32LE(&f[54 + 4 * i], p.masks[i]);
  if (p.bits == 16) {
    for (uint32_t y = 0; y < rows; ++y) {
      for (uint32_t x = 0; x < static_cast<uint32_t>(p.width); ++x) StoreU16LE(&f[pixelsAt + y * stride + 2 * x], p.pixel16);
    }
  }
  f[0] = 'B';
  f[1] = 'M';
  StoreU32LE(&f[2], static_cast<uint32_t>(f.size()));
  StoreU32LE(&f[6], 0);
  StoreU32LE(&f[10], pixelsAt);
  StoreU32LE(&f[14], p.infoSize);
  StoreU32LE(&f[18], static_cast<uint32_t>(p.width));
  StoreU32LE(&f[22], static_cast<uint32_t>(p.height));
  StoreU16LE(&f[26], p.planes);
  StoreU16LE(&f[28], p.bits);
  StoreU32LE(&f[30], p.compression);
  StoreU32LE(&f[34], stride * rows);
  StoreU32LE(&f[38], 2835);  // 72 dpi
  StoreU32LE(&f[42], 2835);
  StoreU32LE(&f[46], p.coloursUsed);
  StoreU32LE(&f[50], 0);
  return f;
}

}  // namespace test_support
