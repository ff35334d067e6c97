// The builder's compressor: libdeflate's raw deflate output rewritten bit for bit into the
// program's stream format (4-bit block headers with types 5/6/7, code-length-code lengths
// in the order 18, 17, 16, 0, 1, ..., 15, stored blocks without the length's complement).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/stream_format.h"

constexpr int DEFAULT_COMPRESSION_LEVEL = 12;

// Compresses data into one complete stream. Levels 0 (stored only) to 12, as libdeflate.
// Throws std::invalid_argument for another level and std::runtime_error if the compressor
// fails or produces a stream that the program's decoder would refuse.
std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size,
                                  int level = DEFAULT_COMPRESSION_LEVEL);

// Rewrites one raw deflate stream (RFC 1951, from any encoder) into the program's format.
// Returns false, leaving out unspecified, when the input is not a valid deflate stream, when
// bytes follow its final block, or when the program's decoder would refuse it (a code that
// is incomplete other than a single 1-bit code, a match in a block without distance codes,
// more than 30 distance codes). When blockTypes is given it receives the type of every
// block written (STREAM_BLOCK_*, without the final flag), in stream order.
bool RewriteDeflateStream(const uint8_t* deflate, size_t size, std::vector<uint8_t>& out,
                          std::vector<uint8_t>* blockTypes = nullptr);
