// Test support: PNG files written by libpng's own simplified writer, from top-down pixels.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <vector>

namespace test_support {

// A PNG of width x height pixels in libpng's `format`, with an optional colour map of RGB
// entries for the COLORMAP formats.
inline std::vector<uint8_t> SamplePng(uint32_t width, uint32_t height, uint32_t format,
                                      const std::vector<uint8_t>& pixels,
                                      const std::vector<uint8_t>& colourMap = {}) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colourMap.size() / 3);
  const void* map = colourMap.empty() ? nullptr : colourMap.data();
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map));
  std::vector<uint8_t> png(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, map));
  png.resize(size);
  return png;
}

}  // namespace test_support
