// The fast loop's bit reader: the stream position as one count of bits from a base pointer,
// with no bit buffer: every look loads the four bytes that hold the next bit afresh. One
// value of state, where a bit buffer has three, so that the loop keeps it in a register
// even at -Os on i686; taking bits is an addition.
#pragma once

#include <cstdint>
#include <cstring>

#include "codec/decoder.h"
#include "codec/decoder_internal.h"

// A look loads LOOK_BYTES from the byte of the position's bit, which stands 0-7 bits into
// it: it yields at least LOOK_BITS bits, enough for any table index or extra bits.
constexpr uint32_t LOOK_BYTES = sizeof(uint32_t);
constexpr uint32_t LOOK_BITS = 8 * LOOK_BYTES - 7;
static_assert(MAX_TABLE_BITS <= LOOK_BITS && STREAM_MAX_DISTANCE_EXTRA_BITS <= LOOK_BITS,
              "a table index or a field of extra bits is one look");

class PositionBitReader {
 public:
  // Whether the decoder's held bits can be found again in its input buffer: they are the
  // last bits of the bytes before its input position, unless some came with an earlier fill.
  static bool CanTakeOver(const Decoder& owner) {
    return owner.inputNext - owner.inputBuffer >= int32_t((owner.bitCount + 7) / 8);
  }

  // Takes the position from the decoder, where CanTakeOver holds.
  explicit PositionBitReader(const Decoder& owner)
      : base(owner.inputBuffer),
        position(uint32_t(owner.inputNext - owner.inputBuffer) * 8 - owner.bitCount) {}

  PositionBitReader(const PositionBitReader&) = delete;
  PositionBitReader& operator=(const PositionBitReader&) = delete;

  // Hands the position back as the decoder's state: the rest of a partly used byte is held,
  // whole bytes are not, which leaves the stream where a bit buffer would have it.
  void Store(Decoder& owner) const {
    uint8_t* const end = owner.inputNext + owner.inputAvail;
    const uint32_t offset = position % 8;
    uint8_t* const next = base + (position + 7) / 8;
    owner.bitCount = offset == 0 ? 0 : 8 - offset;
    owner.bitBuffer = offset == 0 ? 0 : uint32_t(next[-1]) >> offset;
    owner.inputNext = next;
    owner.inputAvail = static_cast<uint32_t>(end - next);
  }

  // The next LOOK_BITS bits of the stream, the first in bit 0. LOOK_BYTES from the position's
  // byte on must be in the input buffer. (x86 is little-endian, as the stream's byte order.)
  DECODER_INLINE uint32_t Look() const {
    uint32_t word;
    static_assert(sizeof word == LOOK_BYTES, "a look is one word");
    std::memcpy(&word, base + position / 8, sizeof word);
    return word >> (position % 8);
  }

  DECODER_INLINE void Skip(uint32_t n) { position += n; }

  // The position, in bits from the base, up to which the input buffer holds n more bytes.
  uint32_t Limit(const Decoder& owner, uint32_t n) const {
    return uint32_t(owner.inputNext + owner.inputAvail - n - base) * 8;
  }
  DECODER_INLINE bool Before(uint32_t limit) const { return position <= limit; }

 private:
  uint8_t* base;      // the input buffer's start
  uint32_t position;  // bits from base
};
