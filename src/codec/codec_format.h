// The coded stream format: block types, symbol alphabets, the match tables, and the limits
// that the decoder's buffers are sized by.
#pragma once

#include <cstdint>

#include "codec/decoder.h"

// Internal to the symbol loops: no result yet, decoding goes on.
constexpr uint32_t DECODE_RUNNING = 0xFFFFFFFFu;

// Block header: 3 bits of type, then the final-block flag.
constexpr uint32_t BLOCK_HEADER_BITS = 4;
constexpr uint32_t BLOCK_TYPE_MASK = 7;
constexpr uint32_t BLOCK_FINAL_FLAG = 8;
constexpr uint32_t CODEC_BLOCK_FIXED = 5;
constexpr uint32_t CODEC_BLOCK_DYNAMIC = 6;
constexpr uint32_t CODEC_BLOCK_STORED = 7;

// Alphabets. Literal/length symbols 0-255 are literals, 256 ends the block, 257-285 are
// match lengths; the fixed code also assigns codes to 286 and 287, which are invalid.
constexpr uint32_t LITERAL_COUNT = 256;
constexpr uint32_t END_OF_BLOCK = 256;
constexpr uint32_t FIRST_LENGTH_SYMBOL = 257;
constexpr uint32_t MAX_LITERAL_LENGTH_CODES = 286;   // HLIT + 257 may not exceed this
constexpr uint32_t FIXED_LITERAL_LENGTH_CODES = 288;
constexpr uint32_t MAX_DISTANCE_CODES = 30;           // HDIST + 1 may not exceed this
constexpr uint32_t CODE_LENGTH_CODES = 19;
constexpr uint32_t LENGTH_SYMBOLS = FIXED_LITERAL_LENGTH_CODES - FIRST_LENGTH_SYMBOL;
static_assert(LENGTH_SYMBOLS == 31, "lengthBase and lengthExtra cover symbols 257-287");

// Dynamic block header fields and their widths.
constexpr uint32_t HLIT_BITS = 5;
constexpr uint32_t HDIST_BITS = 5;
constexpr uint32_t HCLEN_BITS = 4;
constexpr uint32_t CODE_LENGTH_BITS = 3;
constexpr uint32_t MIN_CODE_LENGTH_CODES = 4;

// Code-length symbols above 15 repeat: 16 the previous length 3-6 times, 17 a zero 3-10
// times, 18 a zero 11-138 times.
constexpr uint32_t REPEAT_PREVIOUS = 16;
constexpr uint32_t REPEAT_ZERO_SHORT = 17;
constexpr uint32_t REPEAT_ZERO_LONG = 18;

// The longest code, and the widest table that BuildCodeTables may make: a table is at most
// one bit wider than the longest code it serves, and BIT_MASK and CodeEntry links reach 16.
constexpr uint32_t MAX_CODE_LENGTH = 16;
constexpr uint32_t MAX_TABLE_BITS = 16;

// Stored blocks: a 16-bit length, then that many bytes.
constexpr uint32_t STORED_LENGTH_BITS = 16;

// Root table widths that the decoder asks for (BuildCodeTables may adjust them).
constexpr int32_t DYNAMIC_LITERAL_ROOT_BITS = 9;
constexpr int32_t DYNAMIC_DISTANCE_ROOT_BITS = 6;
constexpr int32_t CODE_LENGTH_ROOT_BITS = 7;
constexpr int32_t FIXED_LITERAL_ROOT_BITS = 7;
constexpr int32_t FIXED_DISTANCE_ROOT_BITS = 5;

// Entry operations of a lookup table: 0-13 extra bits of a length or distance, then:
constexpr uint8_t CODE_OP_END = 15;       // end of block
constexpr uint8_t CODE_OP_LITERAL = 16;   // literal byte or simple symbol
constexpr uint8_t CODE_OP_INVALID = 100;  // no symbol has this code
// 17-32: a link to a sub-table indexed with (op - CODE_OP_LITERAL) further bits.
static_assert(CODE_OP_LITERAL + MAX_TABLE_BITS < CODE_OP_INVALID, "links stay below the invalid marker");

// The bit buffer: at most 16 bits are needed at once. A byte-wise refill adds a byte only
// while fewer are held (at most 16 - 1 + 8 = 23 bits); a whole refill takes the whole bytes
// that fit into 31 bits, so it ends with 24-31 bits held and takes at most 3 bytes (it reads
// 4).
constexpr uint32_t MAX_NEED_BITS = 16;
constexpr uint32_t BIT_BUFFER_BITS = 32;
constexpr uint32_t FAST_REFILL_BYTES = BIT_BUFFER_BITS / 8;
constexpr uint32_t WHOLE_REFILL_BITS = BIT_BUFFER_BITS - 8;  // held after a whole refill, at least
static_assert(MAX_NEED_BITS - 1 + 8 <= BIT_BUFFER_BITS, "a byte-wise refill fits the buffer");

// The longest match, and the bits that one literal/length symbol or one distance takes
// with its extra bits: what a whole refill must cover.
constexpr uint32_t MAX_MATCH_LENGTH = 258;
constexpr uint32_t MAX_LENGTH_EXTRA_BITS = 5;
constexpr uint32_t MAX_DISTANCE_EXTRA_BITS = 13;
static_assert(MAX_CODE_LENGTH + MAX_LENGTH_EXTRA_BITS <= WHOLE_REFILL_BITS,
              "a literal/length code and its extra bits fit one whole refill");
static_assert(MAX_CODE_LENGTH <= WHOLE_REFILL_BITS && MAX_DISTANCE_EXTRA_BITS <= WHOLE_REFILL_BITS,
              "a distance code fits one whole refill, its extra bits another");

// The window and its wrap-around mask.
constexpr uint32_t WINDOW_MASK = WINDOW_SIZE - 1;
static_assert((WINDOW_SIZE & WINDOW_MASK) == 0, "the window size is a power of two");
static_assert(WINDOW_SIZE <= 0xFFFF, "a whole window fits the sink's 16-bit count");

// Order in which a dynamic block lists its code-length-code lengths.
static constexpr uint32_t CODE_LENGTH_ORDER[CODE_LENGTH_CODES] = {
    18, 17, 16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Match lengths of symbols 257-285 (base and extra bits); 286 and 287 are invalid.
static constexpr uint16_t LENGTH_BASE[LENGTH_SYMBOLS] = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23,  27, 31,
    35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,   0};
static constexpr uint16_t LENGTH_EXTRA[LENGTH_SYMBOLS] = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
    3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, CODE_OP_INVALID, CODE_OP_INVALID};

// Match distances of symbols 0-29 (base and extra bits).
static constexpr uint16_t DIST_BASE[MAX_DISTANCE_CODES] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
static constexpr uint16_t DIST_EXTRA[MAX_DISTANCE_CODES] = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
static_assert(DIST_BASE[MAX_DISTANCE_CODES - 1] + (1u << DIST_EXTRA[MAX_DISTANCE_CODES - 1]) - 1 ==
                  WINDOW_SIZE,
              "the farthest distance is the whole window");

// BIT_MASK[n] keeps the low n bits.
static constexpr uint16_t BIT_MASK[MAX_NEED_BITS + 1] = {
    0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
    0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
static_assert(MAX_TABLE_BITS <= MAX_NEED_BITS, "every table index has a mask");
