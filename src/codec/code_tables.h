// Lookup tables of canonical prefix codes: a root table indexed by the next bits of the
// stream (first bit read = least significant index bit) and sub-tables for longer codes, all
// in one space of entries with the root at its start.
#pragma once

#include <cstdint>

#include "codec/decoder_internal.h"

// One entry of a lookup table.
struct CodeEntry {
  uint8_t op;      // extra bits (0-13), CODE_OP_END, CODE_OP_LITERAL, a link (17-32) or CODE_OP_INVALID
  uint8_t bits;    // bits to drop: the code's bits in this table, or for a link the table's width
  uint16_t value;  // literal, simple symbol, match length or distance base; a link's sub-table
                   // as its offset in entries from the root
};
static_assert(sizeof(CodeEntry) == 4, "an entry is one 32-bit load");

// A link's offset is 16 bits: a space is used up to this many entries.
constexpr uint32_t MAX_TABLE_SPACE_ENTRIES = 1u << 16;

// The most entries that the tables of a complete code can take: at most `symbols` codes, none
// longer than `longest` bits, the root asked `rootBits` wide and, where `rootCanEnd`, cut at any
// width by the end-of-block code. Every table holds at least one item (a code ending in it or a
// link) more than its width, so the sub-tables' widths add up to at most symbols - root - 1,
// each at most rootBits and longest - root; the entries are most when as many as can be are
// widest. Requires symbols < 2^rootBits, so that no sub-table outgrows rootBits (a sub-table
// whose shortest code is rootBits deep would hold 2^rootBits codes).
constexpr uint32_t MostTableEntries(uint32_t symbols, uint32_t rootBits, uint32_t longest,
                                    bool rootCanEnd) {
  const uint32_t widestRoot = rootBits < longest ? rootBits : longest;
  uint32_t most = 0;
  for (uint32_t root = rootCanEnd ? 1 : widestRoot; root <= widestRoot; ++root) {
    const uint32_t widestSub = rootBits < longest - root ? rootBits : longest - root;
    const uint32_t subWidths = symbols - root - 1;
    uint32_t entries = uint32_t(1) << root;
    if (widestSub != 0) {
      entries += subWidths / widestSub * (uint32_t(1) << widestSub);
      if (subWidths % widestSub != 0) entries += uint32_t(1) << (subWidths % widestSub);
    }
    if (entries > most) most = entries;
  }
  return most;
}

// The spaces of a stream's codes: the literal/length code (the fixed one's 288 symbols, whose
// root may end at the end-of-block code), the distance code (the fixed one's 32) and the
// code-length code, whose codes are never longer than its root.
constexpr uint32_t LITERAL_LENGTH_TABLE_ENTRIES = MostTableEntries(
    STREAM_FIXED_LITERAL_LENGTH_CODES, LITERAL_LENGTH_ROOT_BITS, STREAM_MAX_CODE_LENGTH, true);
constexpr uint32_t DISTANCE_TABLE_ENTRIES = MostTableEntries(
    STREAM_FIXED_DISTANCE_CODES, DISTANCE_ROOT_BITS, STREAM_MAX_CODE_LENGTH, false);
constexpr uint32_t CODE_LENGTH_TABLE_ENTRIES =
    MostTableEntries(STREAM_CODE_LENGTH_CODES, CODE_LENGTH_ROOT_BITS,
                     STREAM_MAX_CODE_LENGTH_CODE_LENGTH, false);
static_assert(STREAM_FIXED_LITERAL_LENGTH_CODES < 1u << LITERAL_LENGTH_ROOT_BITS &&
                  STREAM_FIXED_DISTANCE_CODES < 1u << DISTANCE_ROOT_BITS &&
                  STREAM_MAX_CODE_LENGTH_CODE_LENGTH <= CODE_LENGTH_ROOT_BITS,
              "the bounds hold: fewer symbols than root entries, or no sub-tables");
static_assert(CODE_LENGTH_TABLE_ENTRIES == 1u << CODE_LENGTH_ROOT_BITS,
              "a code-length code is its root alone");
static_assert(LITERAL_LENGTH_TABLE_ENTRIES <= MAX_TABLE_SPACE_ENTRIES &&
                  DISTANCE_TABLE_ENTRIES <= MAX_TABLE_SPACE_ENTRIES,
              "every sub-table's offset fits a link");

// The tables of a stream's codes, taken once per stream. A block's code-length code is done
// with before its literal/length and distance codes are built.
struct StreamTables {
  CodeEntry literals[LITERAL_LENGTH_TABLE_ENTRIES];
  CodeEntry distances[DISTANCE_TABLE_ENTRIES];
  CodeEntry codeLengths[CODE_LENGTH_TABLE_ENTRIES];
};

// What the symbols of one code stand for. Symbols below simpleCount stand for themselves
// (256 is the end of block); symbol s from simpleCount on takes its value from bases and its
// op from extras at s - simpleCount, up to valueCount of them; the symbols after those are
// invalid.
struct CodeAlphabet {
  uint32_t simpleCount;
  uint32_t valueCount;
  const uint16_t* bases;
  const uint8_t* extras;
};

// Builds the tables of the code given by n code lengths (0 = no code, else 1-16) into the
// space of `capacity` entries; *table is the root (the space's start), or null without tables.
// *width comes in as the requested root width and goes out as the built one.
//
// Result: DECODE_OK for a complete code, or for one single 1-bit code; DECODE_BAD_DATA for an
// incomplete code (its free codes are CODE_OP_INVALID entries; no tables where they do not fit
// the space); DECODE_BAD_FORMAT for an over-subscribed code (no tables); DECODE_NO_MEMORY when
// a complete code's tables do not fit the space. All lengths 0: no table, width 0, DECODE_OK.
DecodeResult BuildCodeTables(const uint32_t* lengths, uint32_t n, const CodeAlphabet& alphabet,
                             CodeEntry* space, uint32_t capacity, const CodeEntry** table,
                             uint32_t* width);

// The codes of a stream, each with its alphabet, root width and space of a StreamTables;
// results as BuildCodeTables, *width is the built root width. A literal/length code of n
// lengths (up to the fixed code's 288), a distance code of n lengths (up to the fixed code's
// 32), the code-length code of a dynamic block (STREAM_CODE_LENGTH_CODES lengths). No complete
// code of a stream outgrows its space.
DecodeResult BuildLiteralLengthTables(const uint32_t* lengths, uint32_t n, StreamTables& tables,
                                      const CodeEntry** table, uint32_t* width);
DecodeResult BuildDistanceTables(const uint32_t* lengths, uint32_t n, StreamTables& tables,
                                 const CodeEntry** table, uint32_t* width);
DecodeResult BuildCodeLengthTables(const uint32_t* lengths, StreamTables& tables,
                                   const CodeEntry** table, uint32_t* width);
