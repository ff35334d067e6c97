// A stream encoder for the Windows tests, which are built without libdeflate: stored blocks
// only. Each block is the 4-bit header (type 7, bit 3 the final flag) padded to the byte
// boundary, the u16 length, then the bytes; the length has no complement in this format.
#include <stdexcept>

#include "builder/stream_encoder.h"

namespace {

constexpr size_t MAX_STORED_BLOCK = 0xFFFF;  // the u16 length field

}  // namespace

std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, int level) {
  if (level < 0 || level > 12) throw std::invalid_argument("compression level out of range");
  std::vector<uint8_t> stream;
  size_t done = 0;
  do {  // an empty input still needs one (final, empty) block
    const size_t length = size - done < MAX_STORED_BLOCK ? size - done : MAX_STORED_BLOCK;
    const bool final = done + length == size;
    stream.push_back(static_cast<uint8_t>(STREAM_BLOCK_STORED | (final ? STREAM_BLOCK_FINAL : 0)));
    stream.push_back(static_cast<uint8_t>(length));
    stream.push_back(static_cast<uint8_t>(length >> 8));
    stream.insert(stream.end(), data + done, data + done + length);
    done += length;
  } while (done < size);
  return stream;
}
