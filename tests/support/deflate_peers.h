// The deflate peers of the tests, the fuzzers' seeds and the benchmarks: raw deflate streams
// (RFC 1951, no zlib wrapper) compressed by libdeflate and by zlib. A peer that fails stops
// the program with a message: the inputs are always ones that it takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// libdeflate at a level of 0-12.
std::vector<uint8_t> LibdeflateCompress(const uint8_t* data, size_t size, int level);
std::vector<uint8_t> LibdeflateCompress(const std::vector<uint8_t>& data, int level);

// zlib at a level of 0-9 with a strategy (Z_DEFAULT_STRATEGY = 0, Z_FIXED, Z_HUFFMAN_ONLY, ...).
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level, int strategy = 0);
