// The fast loop's bit reader: the careful loop's bit buffer, its count and the input pointer
// taken into locals, so that the loop keeps them in registers even at -O1 on i686. A refill
// is branch-free (one unaligned load, a shift and an or); bits are taken by shifting the
// buffer, and a look is the buffer itself, masked by its user.
#pragma once

#include <cstdint>

#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/stream_bit_reader.h"

class FastBitReader {
 public:
  // Whether the careful loop's held bits can be found again in the decoder's input buffer:
  // they are the last bits of the bytes before its input position, unless some came with an
  // earlier fill. Store gives the whole held bytes back into the buffer, which needs them to
  // be there.
  static bool CanTakeOver(const Decoder& owner, const StreamBitReader& caller) {
    return caller.next - owner.inputBuffer >= int32_t((caller.count + 7) / 8);
  }

  // Takes the careful loop's bit buffer and input position, where CanTakeOver holds. The
  // bits above the count are zero or those of the next byte at their place (RefillWhole), so
  // a refill that ors that byte in changes nothing.
  explicit FastBitReader(const StreamBitReader& caller)
      : buffer(caller.buffer), count(caller.count), next(caller.next) {}

  FastBitReader(const FastBitReader&) = delete;
  FastBitReader& operator=(const FastBitReader&) = delete;

  // Hands the state back: the rest of a partly used byte is held, whole bytes go back into
  // the input buffer, which leaves the stream where the careful loop's reader would have it.
  void Store(StreamBitReader& caller) const {
    const uint32_t partial = count % 8;
    caller.next = next - count / 8;
    caller.count = partial;
    caller.buffer = buffer & LowBitMask(partial);
  }

  // The end of the input buffer less n bytes: where the input pointer may go while a round
  // reads n bytes from it.
  static const uint8_t* InputEnd(const StreamBitReader& caller, uint32_t n) {
    return caller.end - n;
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
