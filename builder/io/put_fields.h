// Little-endian fields appended to a buffer: the builder writes every field of the setup
// file explicitly, one call per field.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_order.h"

inline void PutU16(std::vector<uint8_t>& out, uint16_t value) {
  out.resize(out.size() + 2);
  StoreU16LE(out.data() + out.size() - 2, value);
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  out.resize(out.size() + 4);
  StoreU32LE(out.data() + out.size() - 4, value);
}
