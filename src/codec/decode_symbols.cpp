// The inner loop of the decoder: literals and matches of one Huffman-coded block.
#include <cstring>

#include "codec/code_tables.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/match_copy.h"
#include "codec/position_bit_reader.h"
#include "codec/stream_bit_reader.h"

namespace {

// Finds the entry of the next code: the root lookup, then one lookup per sub-table level.
// Null for a free (invalid) code, and when the code's bits run past the end of the input.
inline const CodeEntry* NextEntry(StreamBitReader& in, const CodeEntry* table, uint32_t width) {
  in.Need(width);
  const CodeEntry* entry = table + in.Peek(width);
  while (entry->op > CODE_OP_LITERAL) {
    if (entry->op == CODE_OP_INVALID || !in.Drop(entry->bits)) return nullptr;
    const uint32_t subBits = entry->op - CODE_OP_LITERAL;
    in.Need(subBits);
    entry = entry->next + in.Peek(subBits);
  }
  return in.Drop(entry->bits) ? entry : nullptr;
}

// Copies a match of `length` bytes that starts at `from` (taken modulo the window) to
// `pos`, handing each full window to the sink. The outcome is always that of an upward
// byte-by-byte copy. Returns the new write position.
uint32_t CopyMatch(uint8_t* window, uint32_t pos, uint32_t from, uint32_t length,
                   OutputSink* sink) {
  from &= WINDOW_MASK;
  if (FitsWordCopy(pos, from, length)) {
    // The usual case: neither the source nor the destination reaches the window's end.
    CopyMatchByWords(window, pos, from, length);
    return pos + length;
  }
  while (length != 0) {
    from &= WINDOW_MASK;
    // A piece ends where the source or the destination reaches the window's end.
    uint32_t piece = WINDOW_SIZE - (from > pos ? from : pos);
    if (piece > length) piece = length;
    length -= piece;
    // The distance modulo the window; it wraps to a large value when the source lies ahead.
    // At 0 (a whole window back) each byte is copied onto itself.
    const uint32_t distance = pos - from;
    if (distance >= piece || distance == 0) {
      // Disjoint, the same bytes, or the source lies ahead, where an upward copy reads each
      // byte before overwriting it: a block move gives the same bytes.
      std::memmove(window + pos, window + from, piece);
    } else if (distance == 1) {
      std::memset(window + pos, window[from], piece);
    } else {
      // Overlapping: each step copies `distance` bytes, reading what earlier steps wrote.
      for (uint32_t done = 0; done < piece; done += distance) {
        const uint32_t step = piece - done < distance ? piece - done : distance;
        std::memcpy(window + pos + done, window + from + done, step);
      }
    }
    pos += piece;
    from += piece;
    if (pos == WINDOW_SIZE) {
      sink->Write(window, static_cast<uint16_t>(WINDOW_SIZE));
      pos = 0;
    }
  }
  return pos;
}

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

// The entry of a code from its root entry: each link's bits are skipped and the sub-table
// indexed with the next ones.
DECODER_INLINE const CodeEntry* FollowLinks(PositionBitReader& in, const CodeEntry* entry) {
  while (entry->op > CODE_OP_LITERAL && entry->op != CODE_OP_INVALID) {
    in.Skip(entry->bits);
    entry = entry->next + (in.Look() & LowBitMask(entry->op - CODE_OP_LITERAL));
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
      entry = FollowLinks(in, entry);
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

    entry = FollowLinks(in, distances + (in.Look() & distMask));
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

// Decodes symbols until the end-of-block code. The bit buffer, the input position and the
// window position live in locals for the block and are stored back at its end.
DecodeResult Decoder::DecodeSymbols(const CodeEntry* literals, const CodeEntry* distances,
                                    uint32_t literalBits, uint32_t distBits) {
  StreamBitReader in(*this);
  uint8_t* const out = window;
  uint32_t pos = windowPos;
  DecodeResult result = DECODE_BAD_DATA;
  for (;;) {
    // The fast loop takes the symbols while there is room; this loop the rest, one at a time.
    DecodeResult fastResult = DECODE_RUNNING;
    pos = DecodeSymbolsFast(in, literals, distances, literalBits, distBits, pos, &fastResult);
    if (fastResult != DECODE_RUNNING) {
      result = fastResult;
      break;
    }
    const CodeEntry* entry = NextEntry(in, literals, literalBits);
    if (entry == nullptr) break;
    if (entry->op == CODE_OP_LITERAL) {
      out[pos++] = static_cast<uint8_t>(entry->value);
      if (pos == WINDOW_SIZE) {
        sink->Write(out, static_cast<uint16_t>(WINDOW_SIZE));
        pos = 0;
      }
      continue;
    }
    if (entry->op == CODE_OP_END) {
      result = DECODE_OK;
      break;
    }

    // A match: its length, then its distance; the op of each entry is its extra bits.
    uint32_t extra = 0;
    if (!in.Take(entry->op, &extra)) break;
    const uint32_t length = entry->value + extra;
    if (distances == nullptr) break;  // a length in a block without a distance code
    entry = NextEntry(in, distances, distBits);
    if (entry == nullptr || !in.Take(entry->op, &extra)) break;
    const uint32_t from = pos - entry->value - extra;  // 32-bit unsigned, reduced in CopyMatch
    pos = CopyMatch(out, pos, from, length, sink);
  }
  windowPos = pos;
  in.Store();
  return result;
}
