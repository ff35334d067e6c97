// ImageSize lives in the program's initialised data directly behind its marker, where the
// builder finds and patches it. The record is volatile so that the compiler neither folds
// the built-in 0 into the code nor drops the marker.
#include <cstdint>

#include "archive/archive_format.h"
#include "archive/setup_archive.h"

namespace {

constexpr uint32_t kRecordSize = IMAGE_SIZE_MARKER_LENGTH + 4;

}  // namespace

extern "C" {
__attribute__((used)) volatile uint8_t ImageSizeRecord[kRecordSize] = {
    IMAGE_SIZE_MARKER[0], IMAGE_SIZE_MARKER[1], IMAGE_SIZE_MARKER[2],
    IMAGE_SIZE_MARKER[3], IMAGE_SIZE_MARKER[4], IMAGE_SIZE_MARKER[5],
    0, 0, 0, 0};  // little-endian u32, 0 until the builder patches it
}

uint32_t ImageSize() {
  const volatile uint8_t* value = ImageSizeRecord + IMAGE_SIZE_MARKER_LENGTH;
  return uint32_t(value[0]) | uint32_t(value[1]) << 8 | uint32_t(value[2]) << 16 |
         uint32_t(value[3]) << 24;
}

void SetImageSize(uint32_t size) {
  volatile uint8_t* value = ImageSizeRecord + IMAGE_SIZE_MARKER_LENGTH;
  for (uint32_t i = 0; i < 4; ++i) value[i] = static_cast<uint8_t>(size >> (8 * i));
}
