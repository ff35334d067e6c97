// Canonical prefix codes (RFC 1951 3.2.2) for tests that write or read coded bits by hand,
// and the two fixed codes, written out here independently of the format header as the
// tests' control.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/test_bit_writer.h"

// The code given by its code lengths (0 = no code): by length, then by symbol.
class CanonicalCode {
 public:
  explicit CanonicalCode(const std::vector<uint32_t>& lengths);

  // Writes the symbol's code; a symbol without one fails the test.
  void Write(TestBitWriter& writer, uint32_t symbol) const;
  // Reads one code from bytes at bitPosition (advancing it past the bits read): its symbol,
  // or -1 when no code of up to 15 bits matches.
  int Read(const std::vector<uint8_t>& bytes, size_t& bitPosition) const;

  uint32_t CodeOf(uint32_t symbol) const { return codes[symbol]; }
  uint32_t LengthOf(uint32_t symbol) const { return lengths[symbol]; }
  const std::vector<uint32_t>& Lengths() const { return lengths; }

 private:
  std::vector<uint32_t> lengths;
  std::vector<uint32_t> codes;
};

// The same code from byte-sized lengths, as deflate tests hold them.
CanonicalCode CodeOfLengths(const std::vector<uint8_t>& lengths);

// The fixed codes. The literal/length code includes the invalid symbols 286 and 287, the
// distance code the invalid 5-bit codes 30 and 31.
const CanonicalCode& FixedLiteralCode();
const CanonicalCode& FixedDistanceCode();
