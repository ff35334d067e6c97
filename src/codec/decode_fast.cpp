// The fast loop of the decoder: literals and matches of a Huffman-coded block while the input
// buffer and the window have room for a whole round, so that no step checks an end. It is
// where decoding spends its time, and is built for speed where the program is built for size.
#include <cstddef>
#include <cstring>

#include "codec/code_tables.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/fast_bit_reader.h"
#include "codec/match_copy.h"
#include "codec/stream_bit_reader.h"

namespace {

// A round refills at its start, after a literal that something else follows, before a
// distance code and, for a code of a sub-table, before its extra bits; each refill leaves at
// least WHOLE_REFILL_BITS held, enough for a length's code and its extra bits, or for a
// distance's code (decoder_internal.h). The fast loop runs while the input buffer holds
// FAST_LOOP_INPUT bytes from the input pointer on: a round's last refill starts at most three
// advances on and reads FAST_REFILL_BYTES from there.
constexpr uint32_t FAST_LOOP_REFILLS = 4;
constexpr uint32_t FAST_LOOP_INPUT =
    (FAST_LOOP_REFILLS - 1) * FAST_REFILL_ADVANCE + FAST_REFILL_BYTES;
// A distance root is never wider than DISTANCE_ROOT_BITS (as for literals below), so that
// a root distance code and its extra bits are taken from one refill.
static_assert(STREAM_FIXED_DISTANCE_CODES < 2u << DISTANCE_ROOT_BITS &&
                  DISTANCE_ROOT_BITS + STREAM_MAX_DISTANCE_EXTRA_BITS <= WHOLE_REFILL_BITS,
              "a root distance code and its extra bits are taken from one refill");
static_assert(STREAM_MAX_DISTANCE_EXTRA_BITS < CODE_OP_LITERAL,
              "a distance entry's op above the extra bits is a link or invalid");

// A literal/length root is never wider than LITERAL_LENGTH_ROOT_BITS: a complete code of
// fewer than 2^(R+1) symbols has a code of at most R bits, and a root is as wide as asked or
// as its shortest code. So two literals of the root are held after one refill.
static_assert(STREAM_FIXED_LITERAL_LENGTH_CODES < 2u << LITERAL_LENGTH_ROOT_BITS,
              "every literal/length code has a code no longer than the asked root width");
static_assert(2 * LITERAL_LENGTH_ROOT_BITS <= WHOLE_REFILL_BITS,
              "two root literals are taken from one refill");

// A round writes at most a literal and the longest match: it starts before this position,
// and so its match ends before the window's end, as FitsWordCopy asks.
constexpr uint32_t FAST_LOOP_ROUND_BYTES = 1 + STREAM_MAX_MATCH_LENGTH;
constexpr uint32_t FAST_LOOP_WINDOW_END = WINDOW_SIZE - FAST_LOOP_ROUND_BYTES;

// A table entry loaded as one word and its fields taken from it by shifts: one load where the
// fields would be three, and no register kept for the entry's address. (x86 is little-endian:
// the first field is the word's low byte.)
class LoadedEntry {
 public:
  DECODER_INLINE explicit LoadedEntry(const CodeEntry* entry) {
    static_assert(sizeof(CodeEntry) == sizeof word && offsetof(CodeEntry, op) == 0 &&
                      offsetof(CodeEntry, bits) == 1 && offsetof(CodeEntry, value) == 2,
                  "an entry is op, bits and value in one word, low byte first");
    std::memcpy(&word, entry, sizeof word);
  }
  DECODER_INLINE uint32_t Op() const { return word & 0xFF; }
  DECODER_INLINE uint32_t Bits() const { return (word >> 8) & 0xFF; }
  DECODER_INLINE uint32_t Value() const { return word >> 16; }

 private:
  uint32_t word;
};

// The entry of a code from its root entry: each link's bits are skipped and the sub-table,
// found from the root, indexed with the next ones. The code's bits are held: it is no longer
// than one refill's.
DECODER_INLINE LoadedEntry FollowLinks(FastBitReader& in, const CodeEntry* root,
                                       LoadedEntry entry) {
  while (entry.Op() > CODE_OP_LITERAL && entry.Op() != CODE_OP_INVALID) {
    in.Skip(entry.Bits());
    entry = LoadedEntry(root + entry.Value() +
                        (in.Look() & LowBitMask(entry.Op() - CODE_OP_LITERAL)));
  }
  return entry;
}

}  // namespace

// Symbols while both the input buffer and the window have room for a whole round: no
// step needs a bounds check. Stops at the end of the block, at an error, or when the room
// runs short; *result is set in the first two cases.
uint32_t Decoder::DecodeSymbolsFast(StreamBitReader& caller, const CodeEntry* literals,
                                    const CodeEntry* distances, uint32_t literalBits,
                                    uint32_t distBits, uint32_t pos, DecodeResult* result) {
  if (caller.BufferedBytes() < FAST_LOOP_INPUT || pos >= FAST_LOOP_WINDOW_END) return pos;
  if (!FastBitReader::CanTakeOver(*this, caller)) return pos;
  FastBitReader in(caller);
  uint8_t* const out = window;
  uint8_t* to = out + pos;
  uint8_t* const toEnd = out + FAST_LOOP_WINDOW_END;
  const uint8_t* const inputEnd = FastBitReader::InputEnd(caller, FAST_LOOP_INPUT);
  const uint32_t literalMask = LowBitMask(literalBits);
  const uint32_t distMask = LowBitMask(distBits);
  DecodeResult status = DECODE_RUNNING;
  do {
    in.Refill();
    LoadedEntry entry(literals + (in.Look() & literalMask));
    if (entry.Op() == CODE_OP_LITERAL) {
      // The usual symbol: a literal of the root table, and often a second one.
      in.Skip(entry.Bits());
      *to++ = static_cast<uint8_t>(entry.Value());
      entry = LoadedEntry(literals + (in.Look() & literalMask));
      if (entry.Op() == CODE_OP_LITERAL) {
        in.Skip(entry.Bits());
        *to++ = static_cast<uint8_t>(entry.Value());
        continue;
      }
      // Something else after the literal: the round goes on with it, refilled.
      in.Refill();
    }
    if (entry.Op() >= CODE_OP_END) {
      // Not a length of the root table: a link, the end of the block, or an invalid code.
      entry = FollowLinks(in, literals, entry);
      if (entry.Op() == CODE_OP_INVALID) {
        status = DECODE_BAD_DATA;
        break;
      }
      if (entry.Op() == CODE_OP_LITERAL) {
        in.Skip(entry.Bits());
        *to++ = static_cast<uint8_t>(entry.Value());
        continue;
      }
      if (entry.Op() == CODE_OP_END) {
        in.Skip(entry.Bits());
        status = DECODE_OK;
        break;
      }
    }
    // A match: its length (the op is its extra bits), taken with its code from this round's
    // refill, then its distance.
    const uint32_t length = entry.Value() + ((in.Look() >> entry.Bits()) & LowBitMask(entry.Op()));
    in.Skip(entry.Bits() + entry.Op());
    if (distances == nullptr) {
      status = DECODE_BAD_DATA;
      break;
    }

    // A distance code of the root and its extra bits are taken from one refill; one of a
    // sub-table takes its extra bits from a second.
    in.Refill();
    entry = LoadedEntry(distances + (in.Look() & distMask));
    uint32_t codeBits = entry.Bits();  // of the code, not yet taken
    if (entry.Op() > STREAM_MAX_DISTANCE_EXTRA_BITS) {
      entry = FollowLinks(in, distances, entry);
      if (entry.Op() == CODE_OP_INVALID) {
        status = DECODE_BAD_DATA;
        break;
      }
      in.Skip(entry.Bits());
      in.Refill();
      codeBits = 0;
    }
    const uint32_t distance = entry.Value() + ((in.Look() >> codeBits) & LowBitMask(entry.Op()));
    in.Skip(codeBits + entry.Op());
    // The usual match is copied here; one that reaches the window's end goes the long way.
    const uint32_t pos = static_cast<uint32_t>(to - out);
    const uint32_t from = (pos - distance) & WINDOW_MASK;
    if (FitsWordCopy(from, length)) {
      CopyMatchByWords(out, pos, from, length);
      to += length;
    } else {
      to = out + CopyMatch(out, pos, from, length, sink);
    }
  } while (in.Next() <= inputEnd && to < toEnd);
  in.Store(caller);
  *result = status;
  return static_cast<uint32_t>(to - out);
}
