// The careful loop of the decoder: the symbols of a block that the fast loop leaves, each
// step checked against the ends of the input and of the window; and matches copied anywhere
// in the window.
#include <cstring>

#include "codec/code_tables.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/match_copy.h"
#include "codec/stream_bit_reader.h"

namespace {

// Finds the entry of the next code: the root lookup, then one lookup per sub-table level,
// each sub-table found from the root. Null for a free (invalid) code, and when the code's
// bits run past the end of the input.
inline const CodeEntry* NextEntry(StreamBitReader& in, const CodeEntry* root, uint32_t width) {
  in.Need(width);
  const CodeEntry* entry = root + in.Peek(width);
  while (entry->op > CODE_OP_LITERAL) {
    if (entry->op == CODE_OP_INVALID || !in.Drop(entry->bits)) return nullptr;
    const uint32_t subBits = entry->op - CODE_OP_LITERAL;
    in.Need(subBits);
    entry = root + entry->value + in.Peek(subBits);
  }
  return in.Drop(entry->bits) ? entry : nullptr;
}

}  // namespace

uint32_t CopyMatch(uint8_t* window, uint32_t pos, uint32_t from, uint32_t length,
                   OutputSink* sink) {
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
