// Test support: writes standard deflate streams field by field, so that tests can build
// blocks with chosen codes, and reads bit fields back out of a stream.
#pragma once

#include <cstdint>
#include <vector>

#include "codec/stream_format.h"
#include "support/canonical_code.h"
#include "support/test_bit_writer.h"

// The tests' bit writer, with codes named by symbol.
class DeflateWriter : public TestBitWriter {
 public:
  // The canonical code of symbol within the code given by lengths. A symbol without a code
  // writes nothing, as a match does in a block whose distance code is empty.
  void Symbol(const std::vector<uint8_t>& lengths, unsigned symbol) {
    if (lengths.at(symbol) != 0) CodeOfLengths(lengths).Write(*this, symbol);
  }
};

// Deflate's order of the code-length-code lengths (RFC 1951 3.2.7), apart from the encoder's.
inline constexpr unsigned CONTROL_DEFLATE_CODE_LENGTH_ORDER[19] = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A code-length code that can write every code-length symbol: 0-12 with 4 bits, 13-18 with
// 5 bits (13/16 + 6/32 = 1, complete).
inline std::vector<uint8_t> UniversalCodeLengthCode() {
  std::vector<uint8_t> lengths(19, 5);
  for (unsigned s = 0; s <= 12; ++s) lengths[s] = 4;
  return lengths;
}

// Writes a dynamic block header (BFINAL, BTYPE 2, HLIT, HDIST, HCLEN, the code-length-code
// lengths in deflate order) and then every code length as its own symbol.
inline void WriteDeflateDynamicHeader(DeflateWriter& w, bool final,
                                      const std::vector<uint8_t>& literals,
                                      const std::vector<uint8_t>& distances,
                                      const std::vector<uint8_t>& codeLengthCode) {
  w.Bits(final ? 1 : 0, 1);
  w.Bits(2, 2);
  w.Bits(static_cast<uint32_t>(literals.size() - 257), 5);
  w.Bits(static_cast<uint32_t>(distances.size() - 1), 5);
  unsigned count = 19;
  while (count > 4 && codeLengthCode[CONTROL_DEFLATE_CODE_LENGTH_ORDER[count - 1]] == 0) --count;
  w.Bits(count - 4, 4);
  for (unsigned i = 0; i < count; ++i) {
    w.Bits(codeLengthCode[CONTROL_DEFLATE_CODE_LENGTH_ORDER[i]], 3);
  }
  for (uint8_t length : literals) w.Symbol(codeLengthCode, length);
  for (uint8_t length : distances) w.Symbol(codeLengthCode, length);
}

// Reads fields back, least significant bit first, from a bit position.
inline uint32_t BitsAt(const std::vector<uint8_t>& bytes, size_t bitPosition, unsigned n) {
  uint32_t value = 0;
  for (unsigned i = 0; i < n; ++i, ++bitPosition) {
    uint32_t bit = bitPosition / 8 < bytes.size() ? (bytes[bitPosition / 8] >> (bitPosition % 8)) & 1 : 0;
    value |= bit << i;
  }
  return value;
}

// The literal/length and distance code lengths of the deflate dynamic block whose header
// (BFINAL) starts at bitPosition; empty lists when they cannot be read.
struct DynamicCodeLengths {
  std::vector<uint8_t> literals;
  std::vector<uint8_t> distances;
};

inline DynamicCodeLengths ReadDynamicCodeLengths(const std::vector<uint8_t>& deflate, size_t bitPosition) {
  size_t bit = bitPosition + 3;
  unsigned literalCount = 257 + BitsAt(deflate, bit, 5);
  unsigned distanceCount = 1 + BitsAt(deflate, bit + 5, 5);
  unsigned codeLengthCount = 4 + BitsAt(deflate, bit + 10, 4);
  bit += 14;
  std::vector<uint8_t> codeLengthCode(19, 0);
  for (unsigned i = 0; i < codeLengthCount; ++i, bit += 3) {
    codeLengthCode[CONTROL_DEFLATE_CODE_LENGTH_ORDER[i]] =
        static_cast<uint8_t>(BitsAt(deflate, bit, 3));
  }
  const CanonicalCode code = CodeOfLengths(codeLengthCode);
  std::vector<uint8_t> all;
  while (all.size() < literalCount + distanceCount) {
    int symbol = code.Read(deflate, bit);
    if (symbol < 0 || (symbol == 16 && all.empty())) return {};
    if (symbol < 16) {
      all.push_back(static_cast<uint8_t>(symbol));
      continue;
    }
    // Deflate's repeats are the stream format's.
    const unsigned kind = static_cast<unsigned>(symbol) - STREAM_REPEAT_PREVIOUS;
    unsigned repeat =
        STREAM_REPEAT_MIN[kind] + BitsAt(deflate, bit, STREAM_REPEAT_EXTRA_BITS[kind]);
    bit += STREAM_REPEAT_EXTRA_BITS[kind];
    all.insert(all.end(), repeat, symbol == 16 ? all.back() : 0);
  }
  if (all.size() != literalCount + distanceCount) return {};
  return {std::vector<uint8_t>(all.begin(), all.begin() + literalCount),
          std::vector<uint8_t>(all.begin() + literalCount, all.end())};
}

// Whether a code is complete (Kraft sum exactly 1) or one single 1-bit code.
inline bool CompleteOrSingleOneBitCode(const std::vector<uint8_t>& lengths) {
  uint32_t sum = 0;  // in units of 2^-15
  unsigned used = 0;
  for (uint8_t length : lengths) {
    if (length != 0) sum += 1u << (15 - length), ++used;
  }
  return sum == (1u << 15) || (used == 1 && sum == (1u << 14));
}
