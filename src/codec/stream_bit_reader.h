// The decoder's bit reader: the bit buffer and the input position held in locals, so that
// the decoding loops keep them in registers; Store writes them back into the Decoder. The
// input is a pointer to the next byte and one to the buffer's end, so that taking bytes moves
// one pointer and no counter. (The fast loop has a reader of its own: fast_bit_reader.h.)
#pragma once

#include <cstdint>
#include <cstring>

#include "codec/decoder.h"
#include "codec/decoder_internal.h"

class StreamBitReader {
 public:
  explicit StreamBitReader(Decoder& owner)
      : decoder(owner),
        buffer(owner.bitBuffer),
        count(owner.bitCount),
        next(owner.inputNext),
        end(owner.inputNext + owner.inputAvail) {}

  StreamBitReader(const StreamBitReader&) = delete;
  StreamBitReader& operator=(const StreamBitReader&) = delete;

  // Hands the state back to the Decoder; every reader is stored before another one is made.
  DECODER_INLINE void Store() {
    decoder.bitBuffer = buffer;
    decoder.bitCount = count;
    decoder.inputNext = next;
    decoder.inputAvail = BufferedBytes();
  }

  // NEED(n): takes bytes while fewer than n bits are held. When the input runs out the
  // buffer keeps what it has; the bits above count are zero then, since a whole refill
  // leaves only bits of bytes that are still to be taken. The test is inline and the
  // filling a call: most Needs find their bits held.
  DECODER_INLINE void Need(uint32_t n) {
    if (count < n) Fill(n);
  }

  // NEED(n) where fewer than n bits are held.
  void Fill(uint32_t n) {
    if (BufferedBytes() >= FAST_REFILL_BYTES) {
      RefillWhole();
      return;
    }
    while (count < n) {
      uint8_t byte;
      if (next != end) {
        byte = *next++;
      } else if (!TakeFromSource(&byte)) {
        return;
      }
      buffer |= uint32_t(byte) << count;
      count += 8;
    }
  }

  // Fills the buffer up to 24-31 bits without a branch (RefillWhole). The input buffer must
  // hold at least FAST_REFILL_BYTES bytes.
  DECODER_INLINE void RefillWhole() { ::RefillWhole(buffer, count, next); }

  // The low n bits of the buffer, n <= MAX_NEED_BITS.
  DECODER_INLINE uint32_t Peek(uint32_t n) const { return buffer & LowBitMask(n); }

  // DROP(n). False when fewer than n bits are held: the stream was cut short, and the bits
  // it would use were never supplied.
  bool Drop(uint32_t n) {
    if (n > count) return false;
    buffer >>= n;
    count -= n;
    return true;
  }

  // NEED(n), the low n bits into *value, DROP(n).
  bool Take(uint32_t n, uint32_t* value) {
    Need(n);
    *value = Peek(n);
    return Drop(n);
  }

  // Skips to the next byte boundary of the stream: the held bits are whole bytes after it.
  void AlignToByte() {
    uint32_t partial = count % 8;
    buffer >>= partial;
    count -= partial;
  }

  DECODER_INLINE uint32_t HeldBits() const { return count; }

  // Bulk access for stored blocks: the bytes of the input buffer not yet taken. Only valid
  // while no bits are held, so that taking them directly keeps the stream's byte order.
  DECODER_INLINE uint32_t BufferedBytes() const { return static_cast<uint32_t>(end - next); }
  const uint8_t* BufferedData() const { return next; }
  void TakeBuffered(uint32_t n) {
    next += n;
    buffer = 0;  // a whole refill may have left the bits of the bytes now passed over
  }

 private:
  friend class FastBitReader;  // takes the state over for the fast loop and hands it back

  // The input buffer is empty: NextInputByte refills it (or reports the end of the input).
  bool TakeFromSource(uint8_t* byte) {
    decoder.inputNext = next;
    decoder.inputAvail = 0;
    bool taken = decoder.NextInputByte(byte);
    next = decoder.inputNext;
    end = next + decoder.inputAvail;
    return taken;
  }

  Decoder& decoder;
  uint32_t buffer;
  uint32_t count;
  uint8_t* next;
  uint8_t* end;  // the input buffer's end: next + the bytes not yet taken
};
