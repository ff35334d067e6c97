// Match copies by machine words, for the decoding loops: a word is read and written at a time,
// and the last words may run past the match's end. The window is a ring, so the bytes past the
// end are history of the previous window that a later match may read (or the zeros before the
// stream's start): the words there are saved before the copy and put back after it.
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
// byte-by-byte copy. Returns the new write position. It copies by block moves, kept short
// for the stub: it takes the few matches that the fast loop leaves, those of the careful
// loop and those that reach the window's end. (decode_symbols.cpp)
uint32_t CopyMatch(uint8_t* window, uint32_t pos, uint32_t from, uint32_t length,
                   OutputSink* sink);

// A match is copied MATCH_FIRST_WORDS words at a time, the first of them without a test,
// which covers the usual short match. The last of them run past the match's end by less than
// MATCH_OVERRUN_WORDS words: the history there is saved before and put back after.
constexpr uint32_t MATCH_FIRST_WORDS = 2;
constexpr uint32_t MATCH_FIRST_BYTES = MATCH_FIRST_WORDS * MATCH_WORD_BYTES;
constexpr uint32_t MATCH_OVERRUN_WORDS = MATCH_FIRST_WORDS;
static_assert(MATCH_FIRST_BYTES - STREAM_LENGTH_BASE[0] < MATCH_OVERRUN_WORDS * MATCH_WORD_BYTES,
              "the first words of the shortest match overrun less than the saved words");

// The window is allocated with WINDOW_SLACK bytes past its end, which no match reads as
// history: a word copy of a match that ends before the window's end touches at most the
// saved words behind it there (and its source, no nearer the end, no more).
constexpr uint32_t WINDOW_SLACK = MATCH_OVERRUN_WORDS * MATCH_WORD_BYTES;

// Whether a match whose destination ends before the window's end can be copied by words:
// its source (a window offset) ends there too, so that every word touched lies in the
// window or its slack.
DECODER_INLINE bool FitsWordCopy(uint32_t from, uint32_t length) {
  return from + length < WINDOW_SIZE;
}

// Copies a match of `length` bytes from window offset `from` to `pos`, where the match ends
// before the window's end and FitsWordCopy holds. The outcome is that of an upward
// byte-by-byte copy: a source at least a word behind is copied word by word; one 1-7 bytes
// behind repeats itself, each word store adding `distance` bytes that are final; a source
// ahead of the destination (the previous window) is read before it is overwritten, as by
// memmove; distance 0 (a whole window back) copies each byte onto itself.
DECODER_INLINE void CopyMatchByWords(uint8_t* window, uint32_t pos, uint32_t from,
                                     uint32_t length) {
  uint8_t* to = window + pos;
  uint8_t* const end = to + length;
  // The history that the words overrun.
  static_assert(MATCH_OVERRUN_WORDS == 2, "two words are saved");
  const MatchWord behind0 = LoadMatchWord(end);
  const MatchWord behind1 = LoadMatchWord(end + MATCH_WORD_BYTES);
  const uint32_t distance = pos - from;  // wraps to a large value when the source is ahead
  // The source as an offset from the destination, the same as both move on: the loops move
  // one pointer, which stays in a register even at -Os on i686.
  const ptrdiff_t source = ptrdiff_t(from) - ptrdiff_t(pos);
  static_assert(MATCH_FIRST_WORDS == 2, "two words are copied first");
  if (distance >= MATCH_WORD_BYTES || distance == 0) {
    // Each second word's source is at least a word behind it, or ahead: the first word's
    // store does not reach it before it is read.
    do {
      StoreMatchWord(to, LoadMatchWord(to + source));
      StoreMatchWord(to + MATCH_WORD_BYTES, LoadMatchWord(to + MATCH_WORD_BYTES + source));
      to += MATCH_FIRST_BYTES;
    } while (to < end);
  } else if (distance == 1) {
    const MatchWord run = MatchWord(to[source]) * BYTE_REPEATER;
    do {
      StoreMatchWord(to, run);
      StoreMatchWord(to + MATCH_WORD_BYTES, run);
      to += MATCH_FIRST_BYTES;
    } while (to < end);
  } else {
    // The word read at the source - its first `distance` bytes final - is stored `distance`
    // on.
    do {
      StoreMatchWord(to, LoadMatchWord(to + source));
      to += distance;
    } while (to < end);
  }
  StoreMatchWord(end, behind0);
  StoreMatchWord(end + MATCH_WORD_BYTES, behind1);
}
