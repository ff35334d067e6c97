// Writes coded streams bit by bit for the tests: fixed-width fields least significant bit
// first, prefix codes most significant bit first, as both the program's stream format and
// deflate (RFC 1951 3.1.1) lay them out. Tests build malformed streams with it one field at
// a time.
#pragma once

#include <cstdint>
#include <vector>

class TestBitWriter {
 public:
  // A fixed-width field (header field, extra bits, stored length), low bit first.
  TestBitWriter& Bits(uint32_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) PutBit((value >> i) & 1);
    return *this;
  }

  // A prefix code of `length` bits, its most significant bit first.
  TestBitWriter& Code(uint32_t code, uint32_t length) {
    for (uint32_t i = length; i > 0; --i) PutBit((code >> (i - 1)) & 1);
    return *this;
  }

  // Fills the current byte with `fill` bits (0 or 1) up to the next byte boundary.
  TestBitWriter& Align(uint32_t fill = 0) {
    while (written % 8 != 0) PutBit(fill);
    return *this;
  }

  // Whole bytes, at a byte boundary.
  TestBitWriter& Bytes(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) Bits(b, 8);
    return *this;
  }

  uint32_t BitCount() const { return written; }

  // The stream so far; the last byte's unused bits are zero.
  std::vector<uint8_t> Finish() const { return data; }

 private:
  void PutBit(uint32_t bit) {
    if (written % 8 == 0) data.push_back(0);
    data.back() |= static_cast<uint8_t>(bit << (written % 8));
    ++written;
  }

  std::vector<uint8_t> data;
  uint32_t written = 0;
};
