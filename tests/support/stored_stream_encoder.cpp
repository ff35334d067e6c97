// A stream encoder for the Windows tests, which are built without libdeflate: stored blocks
// only. Each block is the 4-bit header (type 7, bit 3 the final flag) padded to the byte
// boundary, the u16 length, then the bytes; the length has no complement in this format.
// Stored blocks end on a byte boundary, so the pieces of a stream simply follow each other.
#include <stdexcept>

#include "builder/encoder/stream_encoder.h"

namespace {

constexpr size_t MAX_STORED_BLOCK = 0xFFFF;  // the u16 length field

}  // namespace

// A piece's compressed form is the piece itself; AddCompressed writes its stored blocks.
struct PieceDeflater::State {};

PieceDeflater::PieceDeflater(int level) : state_(new State) {
  if (level < 0 || level > 12) throw std::invalid_argument("compression level out of range");
}

PieceDeflater::~PieceDeflater() = default;

void PieceDeflater::Compress(const uint8_t* data, size_t size, std::vector<uint8_t>& compressed) {
  compressed.assign(data, data + size);
}

struct StreamEncoder::State {
  PieceDeflater compressor;
  std::vector<uint8_t> piece;
  bool ended = false;
  explicit State(int level) : compressor(level) {}
};

StreamEncoder::StreamEncoder(int level) : state_(new State(level)) {}

StreamEncoder::~StreamEncoder() = default;

void StreamEncoder::Add(const uint8_t* data, size_t size, bool last, std::vector<uint8_t>& out) {
  state_->compressor.Compress(data, size, state_->piece);
  AddCompressed(state_->piece, last, out);
}

void StreamEncoder::AddCompressed(const std::vector<uint8_t>& compressed, bool last, std::vector<uint8_t>& out) {
  if (state_->ended) throw std::logic_error("the stream has ended");
  const uint8_t* data = compressed.data();
  const size_t size = compressed.size();
  size_t done = 0;
  do {  // an empty piece still gives one block, the final one of an empty last piece
    const size_t length = size - done < MAX_STORED_BLOCK ? size - done : MAX_STORED_BLOCK;
    const bool final = last && done + length == size;
    out.push_back(static_cast<uint8_t>(STREAM_BLOCK_STORED | (final ? STREAM_BLOCK_FINAL : 0)));
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.insert(out.end(), data + done, data + done + length);
    done += length;
  } while (done < size);
  state_->ended = last;
}

std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, int level) {
  std::vector<uint8_t> stream;
  StreamEncoder(level).Add(data, size, true, stream);
  return stream;
}
