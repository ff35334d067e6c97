// Bytes that do not compress: a seeded generator's output, the same for the same seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace test_support {

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<uint8_t> out(size);
  for (uint8_t& byte : out) byte = static_cast<uint8_t>(generator());
  return out;
}

}  // namespace test_support
