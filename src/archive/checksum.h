// FileChecksum, the sum that a file record carries over its file's content: the builder
// computes it over each file, the program over what it wrote before it renames the file
// into place. Portable and header-only, so that both compute it from one definition.
#pragma once

#include <cstdint>

#include "base/byte_order.h"

// The state that a file's checksum starts from.
constexpr uint32_t CHECKSUM_START = 0;
// The sum adds the content as little-endian words of this many bytes.
constexpr uint32_t CHECKSUM_WORD_SIZE = 4;

inline uint32_t ChecksumRotate(uint32_t state) { return state << 1 | state >> 31; }

// Adds length bytes to state: each complete word of four bytes as one little-endian u32,
// then each byte that remains on its own, every step after rotating the state left by one
// bit (all mod 2^32). A file read in pieces gives its whole-file checksum only when every
// piece but the last is a multiple of CHECKSUM_WORD_SIZE bytes long.
inline uint32_t ChecksumUpdate(const uint8_t* bytes, uint32_t length, uint32_t state) {
  const uint32_t words = length / CHECKSUM_WORD_SIZE;
  for (uint32_t i = 0; i < words; ++i) {
    state = ChecksumRotate(state) + LoadU32LE(bytes + i * CHECKSUM_WORD_SIZE);
  }
  for (uint32_t i = words * CHECKSUM_WORD_SIZE; i < length; ++i) {
    state = ChecksumRotate(state) + bytes[i];
  }
  return state;
}
