// Match copies by machine words, for the decoding loops: a word is read and written at a time,
// and the last word may run past the match's end. The window is a ring, so the bytes past the
// end are history of the previous window that a later match may read (or the zeros before the
// stream's start): the word there is saved before the copy and put back after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/decoder_internal.h"

// A machine word: 4 bytes on i686, 8 on x86_64; unaligned access is cheap on both.
using MatchWord = uintptr_t;
constexpr uint32_t MATCH_WORD_BYTES = sizeof(MatchWord);
static_assert(MATCH_WORD_BYTES <= STREAM_MAX_DISTANCE && MATCH_WORD_BYTES <= 8,
              "a word is shorter than the farthest distance; 1-7 are the short distances");

// Every byte of a word set to one byte's value.
constexpr MatchWord BYTE_REPEATER = ~MatchWord(0) / 0xFF;

DECODER_INLINE MatchWord LoadMatchWord(const uint8_t* p) {
  MatchWord word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

DECODER_INLINE void StoreMatchWord(uint8_t* p, MatchWord word) {
  std::memcpy(p, &word, sizeof word);
}

// Copies a match of `length` bytes that starts at `from` (taken modulo the window) to
// `pos`, handing each full window to the sink. The outcome is always that of an upward
// byte-by-byte copy. Returns the new write position. (decode_symbols.cpp)
uint32_t CopyMatch(uint8_t* window, uint32_t pos, uint32_t from, uint32_t length,
                   OutputSink* sink);

// Whether a match can be copied by words: its destination and its source (both window
// offsets) each end a whole word before the window's end, so that no word runs past it.
DECODER_INLINE bool FitsWordCopy(uint32_t pos, uint32_t from, uint32_t length) {
  const uint32_t last = pos > from ? pos : from;
  return last + length + MATCH_WORD_BYTES <= WINDOW_SIZE;
}

// Copies a match of `length` bytes from window offset `from` to `pos`, where FitsWordCopy
// holds. The outcome is that of an upward byte-by-byte copy: a source at least a word behind
// is copied word by word; one 1-7 bytes behind repeats itself, each word store adding
// `distance` bytes that are final; a source ahead of the destination (the previous window)
// is read before it is overwritten, as by memmove; distance 0 (a whole window back) copies
// each byte onto itself.
DECODER_INLINE void CopyMatchByWords(uint8_t* window, uint32_t pos, uint32_t from,
                                     uint32_t length) {
  uint8_t* to = window + pos;
  uint8_t* const end = to + length;
  const MatchWord behind = LoadMatchWord(end);  // history the last word overruns
  const uint32_t distance = pos - from;         // wraps to a large value when the source is ahead
  // The source as an offset from the destination, the same as both move on: the loops move
  // one pointer, which stays in a register even at -Os on i686.
  const ptrdiff_t source = ptrdiff_t(from) - ptrdiff_t(pos);
  if (distance >= MATCH_WORD_BYTES || distance == 0) {
    do {
      StoreMatchWord(to, LoadMatchWord(to + source));
      to += MATCH_WORD_BYTES;
    } while (to < end);
  } else if (distance == 1) {
    const MatchWord run = MatchWord(to[source]) * BYTE_REPEATER;
    do {
      StoreMatchWord(to, run);
      to += MATCH_WORD_BYTES;
    } while (to < end);
  } else {
    // The word read at the source - its first `distance` bytes final - is stored `distance`
    // on.
    do {
      StoreMatchWord(to, LoadMatchWord(to + source));
      to += distance;
    } while (to < end);
  }
  StoreMatchWord(end, behind);
}
