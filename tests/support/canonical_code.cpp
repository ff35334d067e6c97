#include "support/canonical_code.h"

#include <gtest/gtest.h>

namespace {

// The longest code that can be built (what the program's table builder accepts), and the
// longest that a read tries (the longest that a stream can describe).
constexpr uint32_t LONGEST_CODE = 16;
constexpr uint32_t LONGEST_READ = 15;

// Bit i of a byte string, least significant bit of each byte first; 0 past the end.
uint32_t BitAt(const std::vector<uint8_t>& bytes, size_t i) {
  return i / 8 < bytes.size() ? (bytes[i / 8] >> (i % 8)) & 1 : 0;
}

}  // namespace

CanonicalCode::CanonicalCode(const std::vector<uint32_t>& codeLengths)
    : lengths(codeLengths), codes(codeLengths.size(), 0) {
  uint32_t count[LONGEST_CODE + 1] = {};
  for (uint32_t len : lengths) ++count[len];
  count[0] = 0;
  uint32_t next[LONGEST_CODE + 1] = {};
  uint32_t code = 0;
  for (uint32_t len = 1; len <= LONGEST_CODE; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    if (lengths[symbol] != 0) codes[symbol] = next[lengths[symbol]]++;
  }
}

void CanonicalCode::Write(TestBitWriter& writer, uint32_t symbol) const {
  ASSERT_LT(symbol, lengths.size());
  ASSERT_NE(lengths[symbol], 0u) << "symbol " << symbol << " has no code";
  writer.Code(codes[symbol], lengths[symbol]);
}

int CanonicalCode::Read(const std::vector<uint8_t>& bytes, size_t& bitPosition) const {
  uint32_t code = 0;
  for (uint32_t length = 1; length <= LONGEST_READ; ++length) {
    code = code << 1 | BitAt(bytes, bitPosition++);  // the code's most significant bit first
    for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
      if (lengths[symbol] == length && codes[symbol] == code) return static_cast<int>(symbol);
    }
  }
  return -1;
}

CanonicalCode CodeOfLengths(const std::vector<uint8_t>& lengths) {
  return CanonicalCode(std::vector<uint32_t>(lengths.begin(), lengths.end()));
}

// The tests' one copy of the fixed code lengths, kept apart from stream_format.h on purpose:
// a control that the decoder's and the encoder's shared definition is checked against.
const CanonicalCode& FixedLiteralCode() {
  static const CanonicalCode code([] {
    std::vector<uint32_t> lengths(288);
    for (uint32_t s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    return lengths;
  }());
  return code;
}

const CanonicalCode& FixedDistanceCode() {
  static const CanonicalCode code(std::vector<uint32_t>(32, 5));
  return code;
}
