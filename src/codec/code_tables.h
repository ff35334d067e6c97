// Lookup tables of canonical prefix codes: a root table indexed by the next bits of the
// stream (first bit read = least significant index bit) and sub-tables for longer codes.
#pragma once

#include <cstdint>

#include "codec/decoder_internal.h"

// One entry of a lookup table.
struct CodeEntry {
  uint8_t op;    // extra bits (0-13), CODE_OP_END, CODE_OP_LITERAL, a link (17-32) or CODE_OP_INVALID
  uint8_t bits;  // bits to drop: the code's bits in this table, or for a link the table's width
  union {
    uint16_t value;         // literal, simple symbol, or match length or distance base
    CodeEntry* next;        // a link's sub-table, or in a chaining entry the next table
  };
};

// Every table has a chaining entry in front of it (table[-1]) whose next is the table made
// after it, or null for the last: the root reaches every table of its code. Tables are taken
// from blocks of memory one after another; the op of a chaining entry is CHAIN_BLOCK_START
// where its table starts a block, else 0.
constexpr uint8_t CHAIN_BLOCK_START = 1;

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

// Builds the tables of the code given by n code lengths (0 = no code, else 1-16). *width
// comes in as the requested root width and goes out as the built one.
//
// Result: DECODE_OK for a complete code, or for one single 1-bit code; DECODE_BAD_DATA for an
// incomplete code (its free codes are built as CODE_OP_INVALID entries); DECODE_BAD_FORMAT for
// an over-subscribed code (no tables); DECODE_NO_MEMORY. All lengths 0: no table, width 0,
// DECODE_OK.
DecodeResult BuildCodeTables(const uint32_t* lengths, uint32_t n, const CodeAlphabet& alphabet,
                             CodeEntry** table, uint32_t* width);

// The codes of a stream, each with its alphabet and root width; results as BuildCodeTables,
// *width is the built root width. A literal/length code of n lengths (up to the fixed
// code's 288), a distance code of n lengths (up to the fixed code's 32), the code-length code
// of a dynamic block (STREAM_CODE_LENGTH_CODES lengths).
DecodeResult BuildLiteralLengthTables(const uint32_t* lengths, uint32_t n, CodeEntry** table,
                                      uint32_t* width);
DecodeResult BuildDistanceTables(const uint32_t* lengths, uint32_t n, CodeEntry** table,
                                 uint32_t* width);
DecodeResult BuildCodeLengthTables(const uint32_t* lengths, CodeEntry** table, uint32_t* width);

// Frees every table of one code; a null table is ignored. Clears the pointer.
void FreeCodeTables(CodeEntry** table);
