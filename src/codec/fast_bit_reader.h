// The fast loop's bit reader: the bit buffer, its count and the input pointer in locals, so
// that the loop keeps them in registers even at -O1 on i686. A refill is branch-free (one
// unaligned load, a shift and an or); bits are taken by shifting the buffer, and a look is
// the buffer itself, masked by its user.
#pragma once

#include <cstdint>

#include "codec/decoder.h"
#include "codec/decoder_internal.h"

class FastBitReader {
 public:
  // Whether the decoder's held bits can be found again in its input buffer: they are the
  // last bits of the bytes before its input position, unless some came with an earlier fill.
  // Store gives the whole held bytes back into the buffer, which needs them to be there.
  static bool CanTakeOver(const Decoder& owner) {
    return owner.inputNext - owner.inputBuffer >= int32_t((owner.bitCount + 7) / 8);
  }

  // Takes the decoder's bit buffer and input position, where CanTakeOver holds. The bits
  // above the count are zero or those of the next byte at their place (RefillWhole), so a
  // refill that ors that byte in changes nothing.
  explicit FastBitReader(const Decoder& owner)
      : buffer(owner.bitBuffer), count(owner.bitCount), next(owner.inputNext) {}

  FastBitReader(const FastBitReader&) = delete;
  FastBitReader& operator=(const FastBitReader&) = delete;

  // Hands the state back: the rest of a partly used byte is held, whole bytes go back into
  // the input buffer, which leaves the stream where the careful loop's reader would have it.
  void Store(Decoder& owner) const {
    uint8_t* const end = owner.inputNext + owner.inputAvail;
    const uint32_t partial = count % 8;
    owner.inputNext = next - count / 8;
    owner.inputAvail = static_cast<uint32_t>(end - owner.inputNext);
    owner.bitCount = partial;
    owner.bitBuffer = buffer & LowBitMask(partial);
  }

  // At least WHOLE_REFILL_BITS are held after this, and all BIT_BUFFER_BITS of the buffer
  // are the stream's. FAST_REFILL_BYTES from the input pointer on must be in the buffer.
  DECODER_INLINE void Refill() { RefillWhole(buffer, count, next); }

  // The next bits of the stream, the first in bit 0: BIT_BUFFER_BITS less those taken since
  // the last refill are the stream's.
  DECODER_INLINE uint32_t Look() const { return buffer; }

  // Takes n bits, n no more than are held.
  DECODER_INLINE void Skip(uint32_t n) {
    buffer >>= n;
    count -= n;
  }

  DECODER_INLINE const uint8_t* Next() const { return next; }

 private:
  uint32_t buffer;
  uint32_t count;  // held bits, 0-31
  uint8_t* next;
};
