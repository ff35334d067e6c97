// A stand-in for the setup program's image: bytes that hold the ImageSize record (its marker
// and a u32) at a known offset, as the built program does, so that the archive writer can
// patch it and the loader find the archive behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/archive_format.h"
#include "base/byte_order.h"

namespace test_support {

constexpr size_t FAKE_IMAGE_SIZE = 512;
constexpr size_t FAKE_IMAGE_MARKER_OFFSET = 100;

// `size` bytes of 0xCC with the marker at markerOffset and ImageSize 0 behind it (the value
// that a program without an archive holds).
inline std::vector<uint8_t> FakeImage(size_t size = FAKE_IMAGE_SIZE,
                                      size_t markerOffset = FAKE_IMAGE_MARKER_OFFSET) {
  std::vector<uint8_t> image(size, 0xCC);
  for (size_t i = 0; i < IMAGE_SIZE_MARKER_LENGTH; ++i) image[markerOffset + i] = IMAGE_SIZE_MARKER[i];
  StoreU32LE(image.data() + markerOffset + IMAGE_SIZE_MARKER_LENGTH, 0);
  return image;
}

}  // namespace test_support
