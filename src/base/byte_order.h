// Little-endian fields: every number in the setup file, its archive and the uninstall data is
// stored low byte first. Fields are read and written byte by byte, so they may stand at any
// offset (records are packed without alignment).
#pragma once

#include <cstdint>

// A field's load is one instruction where the target allows unaligned words (x86): never a
// call, whatever the program's inlining limits.
#define BYTE_ORDER_INLINE inline __attribute__((always_inline))

BYTE_ORDER_INLINE uint16_t LoadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

BYTE_ORDER_INLINE uint32_t LoadU32LE(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreU16LE(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreU32LE(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
