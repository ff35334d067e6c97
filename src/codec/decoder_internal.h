// The decoder's own constants: the limits of its code tables and their entry operations, the
// root widths it builds, its bit buffer, and its window. The stream format's constants are in
// stream_format.h.
#pragma once

#include <cstdint>
#include <cstring>

#include "codec/decoder.h"
#include "codec/stream_format.h"

// The fast loop's helpers are inlined at every optimization level: at -Os, where the program
// is built, the compiler would otherwise call them once per symbol.
#if defined(__GNUC__)
#define DECODER_INLINE inline __attribute__((always_inline))
#else
#define DECODER_INLINE inline
#endif

// Internal to the symbol loops: no result yet, decoding goes on.
constexpr DecodeResult DECODE_RUNNING = static_cast<DecodeResult>(0xFFFFFFFFu);

// ---- Code tables ----

// The longest code that BuildCodeTables accepts, and the widest table it makes: a table is at
// most one bit wider than the longest code it serves, and masks and links reach 16.
constexpr uint32_t MAX_CODE_LENGTH = 16;
constexpr uint32_t MAX_TABLE_BITS = 16;
static_assert(STREAM_MAX_CODE_LENGTH <= MAX_CODE_LENGTH, "every code of a stream can be built");

// The largest alphabet that a code is built for: the fixed literal/length code.
constexpr uint32_t MAX_CODE_SYMBOLS = STREAM_FIXED_LITERAL_LENGTH_CODES;

// Root widths that the decoder asks for (BuildCodeTables may adjust them to the code): wide
// enough that most literal/length and distance codes end in the root, where the fast loop
// takes them with one lookup (9 and 6 bits decoded about 5% slower on i686), and narrow
// enough that building a root stays a small part of a block. The fixed codes get the same:
// their roots come out 7 bits (cut at the 7-bit end-of-block code) and 5 bits (the longest
// distance code) wide.
constexpr uint32_t LITERAL_LENGTH_ROOT_BITS = 10;
constexpr uint32_t DISTANCE_ROOT_BITS = 8;
// No code-length code is longer than its root is wide: every root entry is a symbol or free.
constexpr uint32_t CODE_LENGTH_ROOT_BITS = STREAM_MAX_CODE_LENGTH_CODE_LENGTH;

// Entry operations of a lookup table: 0-13 extra bits of a length or distance, then:
constexpr uint8_t CODE_OP_END = 15;       // end of block
constexpr uint8_t CODE_OP_LITERAL = 16;   // literal byte or simple symbol
constexpr uint8_t CODE_OP_INVALID = 100;  // no symbol has this code
// 17-32: a link to a sub-table indexed with (op - CODE_OP_LITERAL) further bits.
static_assert(STREAM_MAX_DISTANCE_EXTRA_BITS < CODE_OP_END, "extra bits stay below the end marker");
static_assert(CODE_OP_LITERAL + MAX_TABLE_BITS < CODE_OP_INVALID,
              "links stay below the invalid marker");

// ---- The bit buffer ----

// At most 16 bits are needed at once. A byte-wise refill adds a byte only while fewer are
// held (at most 16 - 1 + 8 = 23 bits); a whole refill takes the whole bytes that fit into 31
// bits, so it ends with 24-31 bits held and takes at most 3 bytes (it reads 4).
constexpr uint32_t MAX_NEED_BITS = 16;
constexpr uint32_t BIT_BUFFER_BITS = 32;
constexpr uint32_t FAST_REFILL_BYTES = BIT_BUFFER_BITS / 8;
constexpr uint32_t FAST_REFILL_ADVANCE = (BIT_BUFFER_BITS - 1) / 8;  // bytes taken, at most
constexpr uint32_t WHOLE_REFILL_BITS = BIT_BUFFER_BITS - 8;  // held after a whole refill, at least
static_assert(FAST_REFILL_ADVANCE < FAST_REFILL_BYTES, "a whole refill reads past what it takes");
static_assert((FAST_REFILL_ADVANCE & (FAST_REFILL_ADVANCE + 1)) == 0 &&
                  (BIT_BUFFER_BITS - 1) / 8 == FAST_REFILL_ADVANCE,
              "the bytes a whole refill takes are the held bytes' count flipped");
static_assert(MAX_NEED_BITS - 1 + 8 <= BIT_BUFFER_BITS, "a byte-wise refill fits the buffer");
// A whole refill from count (0-31) held bits takes (31 - count) / 8 bytes and so ends with
// count | WHOLE_REFILL_BITS held: the count's byte part becomes the top one, its bit part stays.
constexpr bool WholeRefillCountIsAnOr() {
  for (uint32_t count = 0; count < BIT_BUFFER_BITS; ++count) {
    if (count + (BIT_BUFFER_BITS - 1 - count) / 8 * 8 != (count | WHOLE_REFILL_BITS)) return false;
  }
  return true;
}
static_assert(WholeRefillCountIsAnOr(), "a whole refill's new count is the old one or 24");
static_assert(MAX_TABLE_BITS <= MAX_NEED_BITS && STREAM_STORED_LENGTH_BITS <= MAX_NEED_BITS,
              "every table index and field is one need");

// What one whole refill must cover: a literal/length code with its extra bits; a distance
// code; a distance's extra bits (a second refill when the code left too few).
static_assert(MAX_CODE_LENGTH + STREAM_MAX_LENGTH_EXTRA_BITS <= WHOLE_REFILL_BITS,
              "a literal/length code and its extra bits fit one whole refill");
static_assert(MAX_CODE_LENGTH <= WHOLE_REFILL_BITS &&
                  STREAM_MAX_DISTANCE_EXTRA_BITS <= WHOLE_REFILL_BITS,
              "a distance code fits one whole refill, its extra bits another");

// Fills a bit buffer of count (0-31) held bits up to 24-31 without a branch: the next four
// bytes are loaded at once and the whole bytes that fitted are taken, (31 - count) / 8 of
// them, which leaves count | 24 bits held. All 32 bits of the buffer are the stream's then:
// those above the count are of the next byte, at its place, so that a later refill that adds
// it changes nothing. FAST_REFILL_BYTES from next on must be readable. (x86 is little-endian,
// as the stream's byte order.)
DECODER_INLINE void RefillWhole(uint32_t& buffer, uint32_t& count, uint8_t*& next) {
  uint32_t word;
  static_assert(sizeof word == FAST_REFILL_BYTES, "a whole refill loads one buffer's worth");
  std::memcpy(&word, next, sizeof word);
  buffer |= word << count;
  next += (count / 8) ^ FAST_REFILL_ADVANCE;  // (31 - count) / 8, count / 8 being 0-3
  count |= WHOLE_REFILL_BITS;
}

// A mask of the low n bits, n < BIT_BUFFER_BITS. Computed rather than looked up: in the
// decoding loops a table would hold a register for its address.
constexpr uint32_t LowBitMask(uint32_t n) { return (uint32_t(1) << n) - 1; }

// ---- The window ----

constexpr uint32_t WINDOW_MASK = WINDOW_SIZE - 1;
static_assert((WINDOW_SIZE & WINDOW_MASK) == 0, "the window size is a power of two");
static_assert(WINDOW_SIZE == STREAM_MAX_DISTANCE, "the farthest distance is the whole window");
static_assert(WINDOW_SIZE <= 0xFFFF, "a whole window fits the sink's 16-bit count");
