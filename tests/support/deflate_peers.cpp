#include "support/deflate_peers.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

// zlib's window bits for a raw deflate stream of the largest window.
constexpr int ZLIB_RAW_DEFLATE = -15;
constexpr int ZLIB_MEMORY_LEVEL = 8;
static_assert(Z_DEFAULT_STRATEGY == 0, "the declared default strategy is zlib's");

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "deflate_peers: %s failed\n", what);
  std::abort();
}

}  // namespace

std::vector<uint8_t> LibdeflateCompress(const uint8_t* data, size_t size, int level) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
  if (compressor == nullptr) Fail("libdeflate_alloc_compressor");
  static const uint8_t kNothing = 0;
  std::vector<uint8_t> out(libdeflate_deflate_compress_bound(compressor, size));
  out.resize(libdeflate_deflate_compress(compressor, size == 0 ? &kNothing : data, size,
                                         out.data(), out.size()));
  libdeflate_free_compressor(compressor);
  if (out.empty()) Fail("libdeflate_deflate_compress");
  return out;
}

std::vector<uint8_t> LibdeflateCompress(const std::vector<uint8_t>& data, int level) {
  return LibdeflateCompress(data.data(), data.size(), level);
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level, int strategy) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, ZLIB_RAW_DEFLATE, ZLIB_MEMORY_LEVEL, strategy) != Z_OK) {
    Fail("deflateInit2");
  }
  std::vector<uint8_t> out(deflateBound(&z, data.size()));
  z.next_in = const_cast<uint8_t*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) Fail("zlib's deflate");
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}
