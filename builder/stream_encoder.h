// The builder's compressor: libdeflate's raw deflate output rewritten bit for bit into the
// program's stream format (4-bit block headers with types 5/6/7, code-length-code lengths
// in the order 18, 17, 16, 0, 1, ..., 15, stored blocks without the length's complement).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int DEFAULT_COMPRESSION_LEVEL = 12;

// Compresses data into one complete stream. Levels 0 (stored only) to 12, as libdeflate.
std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size,
                                  int level = DEFAULT_COMPRESSION_LEVEL);

// Rewrites one raw deflate stream (RFC 1951, from any encoder) into the program's format.
// Returns false, leaving out unspecified, when the input is not a valid deflate stream.
bool RewriteDeflateStream(const uint8_t* deflate, size_t size, std::vector<uint8_t>& out);
