// The coded stream format, shared by the decoder and the builder's encoder. Its codes, symbol
// alphabets and match tables are those of deflate (RFC 1951); it differs in the block header
// (4 bits: a type of its own numbering, then the final flag), in the order that lists the
// code-length-code lengths, and in stored blocks, whose length has no complement.
#pragma once

#include <cstdint>

// ---- Block header: 3 bits of type, then the final-block flag ----

constexpr uint32_t STREAM_BLOCK_HEADER_BITS = 4;
constexpr uint32_t STREAM_BLOCK_TYPE_MASK = 7;
constexpr uint32_t STREAM_BLOCK_FINAL = 8;
constexpr uint32_t STREAM_BLOCK_FIXED = 5;
constexpr uint32_t STREAM_BLOCK_DYNAMIC = 6;
constexpr uint32_t STREAM_BLOCK_STORED = 7;
static_assert(STREAM_BLOCK_FINAL == 1u << (STREAM_BLOCK_HEADER_BITS - 1) &&
                  STREAM_BLOCK_TYPE_MASK == STREAM_BLOCK_FINAL - 1,
              "the type takes the header's low bits, the flag its top bit");
static_assert(STREAM_BLOCK_FIXED <= STREAM_BLOCK_TYPE_MASK &&
                  STREAM_BLOCK_DYNAMIC <= STREAM_BLOCK_TYPE_MASK &&
                  STREAM_BLOCK_STORED <= STREAM_BLOCK_TYPE_MASK,
              "every block type fits the type field");

// Stored blocks: at the next byte boundary a 16-bit length, then that many bytes.
constexpr uint32_t STREAM_STORED_LENGTH_BITS = 16;
constexpr uint32_t STREAM_MAX_STORED_LENGTH = (1u << STREAM_STORED_LENGTH_BITS) - 1;

// ---- Alphabets ----

// Literal/length symbols: 0-255 literals, 256 ends the block, 257-285 are match lengths.
constexpr uint32_t STREAM_LITERAL_COUNT = 256;
constexpr uint32_t STREAM_END_OF_BLOCK = 256;
constexpr uint32_t STREAM_FIRST_LENGTH_SYMBOL = 257;
constexpr uint32_t STREAM_LENGTH_SYMBOLS = 29;
constexpr uint32_t STREAM_MAX_LITERAL_LENGTH_CODES =
    STREAM_FIRST_LENGTH_SYMBOL + STREAM_LENGTH_SYMBOLS;
static_assert(STREAM_END_OF_BLOCK == STREAM_LITERAL_COUNT && STREAM_MAX_LITERAL_LENGTH_CODES == 286,
              "the end of block follows the literals, the lengths follow it");

// Distance symbols 0-29.
constexpr uint32_t STREAM_MAX_DISTANCE_CODES = 30;

// Code-length symbols: 0-15 are a code length, 16-18 repeat one (see below).
constexpr uint32_t STREAM_CODE_LENGTH_CODES = 19;
constexpr uint32_t STREAM_MAX_CODE_LENGTH = 15;  // the longest literal/length or distance code

// ---- Dynamic block header ----

// HLIT + 257 literal/length lengths, HDIST + 1 distance lengths, HCLEN + 4 code-length-code
// lengths of 3 bits each. The fields reach beyond the alphabets: the decoder refuses more
// than 286 and 30 lengths.
constexpr uint32_t STREAM_HLIT_BITS = 5;
constexpr uint32_t STREAM_HDIST_BITS = 5;
constexpr uint32_t STREAM_HCLEN_BITS = 4;
constexpr uint32_t STREAM_CODE_LENGTH_CODE_BITS = 3;
constexpr uint32_t STREAM_MIN_LITERAL_LENGTH_CODES = 257;
constexpr uint32_t STREAM_MIN_DISTANCE_CODES = 1;
constexpr uint32_t STREAM_MIN_CODE_LENGTH_CODES = 4;
constexpr uint32_t STREAM_MAX_CODE_LENGTH_CODE_LENGTH = (1u << STREAM_CODE_LENGTH_CODE_BITS) - 1;
static_assert(STREAM_MAX_LITERAL_LENGTH_CODES - STREAM_MIN_LITERAL_LENGTH_CODES <
                  1u << STREAM_HLIT_BITS,
              "HLIT can give every literal/length count");
static_assert(STREAM_MAX_DISTANCE_CODES - STREAM_MIN_DISTANCE_CODES < 1u << STREAM_HDIST_BITS,
              "HDIST can give every distance count");
static_assert(STREAM_CODE_LENGTH_CODES - STREAM_MIN_CODE_LENGTH_CODES ==
                  (1u << STREAM_HCLEN_BITS) - 1,
              "HCLEN reaches exactly all code-length codes");

// The order in which a dynamic block lists its code-length-code lengths.
static constexpr uint8_t STREAM_CODE_LENGTH_ORDER[STREAM_CODE_LENGTH_CODES] = {
    18, 17, 16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Code-length repeats: 16 repeats the previous length 3-6 times, 17 a zero 3-10 times, 18 a
// zero 11-138 times; the count is the smallest one plus the symbol's extra bits.
constexpr uint32_t STREAM_REPEAT_PREVIOUS = 16;
constexpr uint32_t STREAM_REPEAT_ZERO_SHORT = 17;
constexpr uint32_t STREAM_REPEAT_ZERO_LONG = 18;
constexpr uint32_t STREAM_REPEAT_SYMBOLS = 3;
static_assert(STREAM_REPEAT_PREVIOUS == STREAM_MAX_CODE_LENGTH + 1 &&
                  STREAM_REPEAT_ZERO_LONG + 1 == STREAM_CODE_LENGTH_CODES &&
                  STREAM_REPEAT_ZERO_LONG - STREAM_REPEAT_PREVIOUS + 1 == STREAM_REPEAT_SYMBOLS,
              "the repeats are the code-length symbols after the lengths");

// Code-length repeats 16, 17, 18: extra bits and the smallest count.
static constexpr uint8_t STREAM_REPEAT_EXTRA_BITS[STREAM_REPEAT_SYMBOLS] = {2, 3, 7};
static constexpr uint8_t STREAM_REPEAT_MIN[STREAM_REPEAT_SYMBOLS] = {3, 3, 11};

// ---- Matches ----

// Match lengths of symbols 257-285: base and extra bits.
static constexpr uint16_t STREAM_LENGTH_BASE[STREAM_LENGTH_SYMBOLS] = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
static constexpr uint8_t STREAM_LENGTH_EXTRA[STREAM_LENGTH_SYMBOLS] = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// The longest match: symbol 285, and symbol 284 with all its extra bits set.
constexpr uint32_t STREAM_MAX_MATCH_LENGTH = 258;
constexpr uint32_t STREAM_MAX_LENGTH_EXTRA_BITS = 5;
static_assert(STREAM_LENGTH_BASE[STREAM_LENGTH_SYMBOLS - 1] == STREAM_MAX_MATCH_LENGTH &&
                  STREAM_LENGTH_BASE[STREAM_LENGTH_SYMBOLS - 2] +
                          (1u << STREAM_LENGTH_EXTRA[STREAM_LENGTH_SYMBOLS - 2]) - 1 ==
                      STREAM_MAX_MATCH_LENGTH,
              "symbols 284 and 285 both reach the longest match");
static_assert(STREAM_LENGTH_EXTRA[STREAM_LENGTH_SYMBOLS - 2] == STREAM_MAX_LENGTH_EXTRA_BITS,
              "symbol 284 has the most extra bits");

// Match distances of symbols 0-29: base and extra bits.
static constexpr uint16_t STREAM_DISTANCE_BASE[STREAM_MAX_DISTANCE_CODES] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
static constexpr uint8_t STREAM_DISTANCE_EXTRA[STREAM_MAX_DISTANCE_CODES] = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The farthest distance: symbol 29 with all its extra bits set.
constexpr uint32_t STREAM_MAX_DISTANCE = 32768;
constexpr uint32_t STREAM_MAX_DISTANCE_EXTRA_BITS = 13;
static_assert(STREAM_DISTANCE_BASE[STREAM_MAX_DISTANCE_CODES - 1] +
                      (1u << STREAM_DISTANCE_EXTRA[STREAM_MAX_DISTANCE_CODES - 1]) - 1 ==
                  STREAM_MAX_DISTANCE,
              "symbol 29 reaches the farthest distance");
static_assert(STREAM_DISTANCE_EXTRA[STREAM_MAX_DISTANCE_CODES - 1] ==
                  STREAM_MAX_DISTANCE_EXTRA_BITS,
              "symbol 29 has the most extra bits");

// ---- The fixed codes ----

// Fixed literal/length code lengths by symbol range: 0-143 8 bits, 144-255 9 bits, 256-279
// 7 bits, 280-287 8 bits. Its codes for 286 and 287 are invalid.
constexpr uint32_t STREAM_FIXED_LITERAL_LENGTH_CODES = 288;
constexpr uint32_t STREAM_FIXED_9_BIT_FIRST = 144;
constexpr uint32_t STREAM_FIXED_7_BIT_FIRST = 256;
constexpr uint32_t STREAM_FIXED_8_BIT_AGAIN_FIRST = 280;
constexpr uint32_t STREAM_FIXED_LITERAL_MAX_LENGTH = 9;

constexpr uint32_t StreamFixedLiteralLength(uint32_t symbol) {
  return symbol < STREAM_FIXED_9_BIT_FIRST         ? 8
         : symbol < STREAM_FIXED_7_BIT_FIRST       ? 9
         : symbol < STREAM_FIXED_8_BIT_AGAIN_FIRST ? 7
                                                   : 8;
}

// Fixed distance code: all 32 five-bit codes. Its codes for 30 and 31 are invalid.
constexpr uint32_t STREAM_FIXED_DISTANCE_CODES = 32;
constexpr uint32_t STREAM_FIXED_DISTANCE_LENGTH = 5;

// The code space that the fixed literal/length code takes, in units of its longest code.
constexpr uint32_t StreamFixedLiteralCodeSpace() {
  uint32_t space = 0;
  for (uint32_t symbol = 0; symbol < STREAM_FIXED_LITERAL_LENGTH_CODES; ++symbol) {
    space += 1u << (STREAM_FIXED_LITERAL_MAX_LENGTH - StreamFixedLiteralLength(symbol));
  }
  return space;
}
static_assert(StreamFixedLiteralCodeSpace() == 1u << STREAM_FIXED_LITERAL_MAX_LENGTH,
              "the fixed literal/length code is complete");
static_assert(STREAM_FIXED_DISTANCE_CODES == 1u << STREAM_FIXED_DISTANCE_LENGTH,
              "the fixed distance code is complete");
static_assert(STREAM_FIXED_LITERAL_LENGTH_CODES > STREAM_MAX_LITERAL_LENGTH_CODES &&
                  STREAM_FIXED_DISTANCE_CODES > STREAM_MAX_DISTANCE_CODES,
              "the fixed codes' extra symbols are invalid");
