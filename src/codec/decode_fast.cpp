// The fast loop of the decoder: literals and matches of a Huffman-coded block while the input
// buffer and the window have room for a whole round, so that no step checks an end. It is
// where decoding spends its time, and is built for speed where the program is built for size.
#include "codec/code_tables.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/match_copy.h"
#include "codec/position_bit_reader.h"
#include "codec/stream_bit_reader.h"

namespace {

// The fast loop runs while the input buffer holds FAST_LOOP_INPUT bytes from the position's
// byte on and the window has room for the longest match without filling up. A round's last
// look, for a distance's extra bits, starts at most 7 bits into the byte plus a literal/length
// code, its extra bits and a distance code on, and reads LOOK_BYTES from there.
constexpr uint32_t FAST_LOOP_INPUT = 12;
constexpr uint32_t FAST_LOOP_LAST_LOOK_BITS =
    7 + MAX_CODE_LENGTH + STREAM_MAX_LENGTH_EXTRA_BITS + MAX_CODE_LENGTH;
static_assert(FAST_LOOP_LAST_LOOK_BITS / 8 + LOOK_BYTES <= FAST_LOOP_INPUT,
              "every look of a round reads inside the input buffer");
constexpr uint32_t FAST_LOOP_WINDOW_END = WINDOW_SIZE - STREAM_MAX_MATCH_LENGTH;

// The entry of a code from its root entry: each link's bits are skipped and the sub-table,
// found from the root, indexed with the next ones.
DECODER_INLINE const CodeEntry* FollowLinks(PositionBitReader& in, const CodeEntry* root,
                                            const CodeEntry* entry) {
  while (entry->op > CODE_OP_LITERAL && entry->op != CODE_OP_INVALID) {
    in.Skip(entry->bits);
    entry = root + entry->value + (in.Look() & LowBitMask(entry->op - CODE_OP_LITERAL));
  }
  return entry;
}

}  // namespace

// Symbols while both the input buffer and the window have room for a whole symbol: no
// step needs a bounds check. Stops at the end of the block, at an error, or when the room
// runs short; *result is set in the first two cases.
uint32_t Decoder::DecodeSymbolsFast(StreamBitReader& caller, const CodeEntry* literals,
                                    const CodeEntry* distances, uint32_t literalBits,
                                    uint32_t distBits, uint32_t pos, DecodeResult* result) {
  if (caller.BufferedBytes() < FAST_LOOP_INPUT || pos >= FAST_LOOP_WINDOW_END) return pos;
  caller.Store();
  if (!PositionBitReader::CanTakeOver(*this)) return pos;
  PositionBitReader in(*this);
  uint8_t* const out = window;
  uint8_t* to = out + pos;
  uint8_t* const toEnd = out + FAST_LOOP_WINDOW_END;
  const uint32_t inputEnd = in.Limit(*this, FAST_LOOP_INPUT);
  const uint32_t literalMask = LowBitMask(literalBits);
  const uint32_t distMask = LowBitMask(distBits);
  DecodeResult status = DECODE_RUNNING;
  do {
    const CodeEntry* entry = literals + (in.Look() & literalMask);
    if (entry->op == CODE_OP_LITERAL) {
      // The usual symbol: a literal of the root table.
      in.Skip(entry->bits);
      *to++ = static_cast<uint8_t>(entry->value);
      continue;
    }
    if (entry->op >= CODE_OP_END) {
      // Not a length of the root table: a link, the end of the block, or an invalid code.
      entry = FollowLinks(in, literals, entry);
      if (entry->op == CODE_OP_INVALID) {
        status = DECODE_BAD_DATA;
        break;
      }
      if (entry->op == CODE_OP_LITERAL) {
        in.Skip(entry->bits);
        *to++ = static_cast<uint8_t>(entry->value);
        continue;
      }
      if (entry->op == CODE_OP_END) {
        in.Skip(entry->bits);
        status = DECODE_OK;
        break;
      }
    }
    // A match: its length (the op is its extra bits), then its distance.
    in.Skip(entry->bits);
    const uint32_t length = entry->value + (in.Look() & LowBitMask(entry->op));
    in.Skip(entry->op);
    if (distances == nullptr) {
      status = DECODE_BAD_DATA;
      break;
    }

    entry = FollowLinks(in, distances, distances + (in.Look() & distMask));
    if (entry->op == CODE_OP_INVALID) {
      status = DECODE_BAD_DATA;
      break;
    }
    in.Skip(entry->bits);
    const uint32_t distance = entry->value + (in.Look() & LowBitMask(entry->op));
    in.Skip(entry->op);
    // The usual match is copied here; one that reaches the window's end goes the long way.
    const uint32_t pos = static_cast<uint32_t>(to - out);
    const uint32_t from = (pos - distance) & WINDOW_MASK;
    if (FitsWordCopy(pos, from, length)) {
      CopyMatchByWords(out, pos, from, length);
      to += length;
    } else {
      to = out + CopyMatch(out, pos, from, length, sink);
    }
  } while (in.Before(inputEnd) && to < toEnd);
  in.Store(*this);
  caller.Reload();
  *result = status;
  return static_cast<uint32_t>(to - out);
}
