// The builder's compressor: libdeflate's raw deflate output rewritten bit for bit into the
// program's stream format (4-bit block headers with types 5/6/7, code-length-code lengths
// in the order 18, 17, 16, 0, 1, ..., 15, stored blocks without the length's complement).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/stream_format.h"

// libdeflate's levels: 0 writes stored blocks only, 12 the smallest streams. The default was
// measured (README.md, "How a build uses the cores"): nearly the size of 12 in 2/3 its time.
constexpr int MIN_COMPRESSION_LEVEL = 0;
constexpr int MAX_COMPRESSION_LEVEL = 12;
constexpr int DEFAULT_COMPRESSION_LEVEL = 10;

// Compresses data into one complete stream. Levels 0 (stored only) to 12, as libdeflate.
// Throws std::invalid_argument for another level and std::runtime_error if the compressor
// fails or produces a stream that the program's decoder would refuse.
std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size,
                                  int level = DEFAULT_COMPRESSION_LEVEL);

// The pieces that a file is compressed in: libdeflate compresses whole buffers only, so each
// piece is compressed on its own and its blocks are rewritten as the next blocks of the
// file's one stream. Matches never reach back into an earlier piece; a file of one piece
// gives exactly EncodeStream's bytes.
constexpr size_t STREAM_CHUNK_SIZE = size_t{1} << 20;

// The part of a piece's encoding that needs nothing of the pieces before it, so that threads
// do it for several pieces at once, each with a compressor of its own: libdeflate's raw
// deflate stream of the piece. Throws as EncodeStream.
class PieceDeflater {
 public:
  explicit PieceDeflater(int level = DEFAULT_COMPRESSION_LEVEL);
  ~PieceDeflater();
  PieceDeflater(const PieceDeflater&) = delete;
  PieceDeflater& operator=(const PieceDeflater&) = delete;

  // Replaces compressed with the piece's compressed form, which StreamEncoder::AddCompressed
  // takes.
  void Compress(const uint8_t* data, size_t size, std::vector<uint8_t>& compressed);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// One stream made of pieces given one after the other (at most STREAM_CHUNK_SIZE bytes
// each keeps memory bounded; any size works). Throws as EncodeStream.
class StreamEncoder {
 public:
  explicit StreamEncoder(int level = DEFAULT_COMPRESSION_LEVEL);
  ~StreamEncoder();
  StreamEncoder(const StreamEncoder&) = delete;
  StreamEncoder& operator=(const StreamEncoder&) = delete;

  // Compresses the next piece and appends the stream's whole bytes so far to out; the last
  // piece's final block ends the stream and fills its last byte. Throws std::logic_error
  // for a piece after the last.
  void Add(const uint8_t* data, size_t size, bool last, std::vector<uint8_t>& out);
  // Add of a piece that a PieceDeflater of the encoder's level has compressed, on any
  // thread: the same bytes, since Add is these two steps.
  void AddCompressed(const std::vector<uint8_t>& compressed, bool last, std::vector<uint8_t>& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Rewrites one raw deflate stream (RFC 1951, from any encoder) into the program's format.
// Returns false, leaving out unspecified, when the input is not a valid deflate stream, when
// bytes follow its final block, or when the program's decoder would refuse it (a code that
// is incomplete other than a single 1-bit code, a match in a block without distance codes,
// more than 30 distance codes). When blockTypes is given it receives the type of every
// block written (STREAM_BLOCK_*, without the final flag), in stream order.
bool RewriteDeflateStream(const uint8_t* deflate, size_t size, std::vector<uint8_t>& out,
                          std::vector<uint8_t>* blockTypes = nullptr);
