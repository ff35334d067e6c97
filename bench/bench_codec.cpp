// Codec benchmark over one corpus file. Every figure is the best of several repetitions,
// in MB/s of decoded data (1 MB = 10^6 bytes), and every decode is checked against the
// corpus. The decoders read the same compressed content (libdeflate -12's stream, and that
// stream rewritten for the program) with the same I/O shape where they have one:
//   lodrun      DecodeToMemory over a file on tmpfs (4 KiB reads, 32 KiB window writes)
//   zlib        inflate fed by 4 KiB reads from a file on tmpfs, 32 KiB output chunks
//   libdeflate  one call, memory to memory
// Usage: bench_codec <corpus file> [--decode-reps N] [--encode-reps N] [--profile-decoder N]
// --profile-decoder runs only the program's decoder N times (for callgrind or perf).
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "builder/stream_encoder.h"
#include "codec/decoder.h"
#include "support/deflate_peers.h"
#include "support/temp_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t ZLIB_INPUT_CHUNK = INPUT_BUFFER_SIZE;   // as the program's source reads
constexpr size_t ZLIB_OUTPUT_CHUNK = WINDOW_SIZE;        // as the program's window writes
constexpr int ENCODE_LEVEL = 12;
constexpr int ZLIB_LEVEL = 9;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_codec: %s\n", what.c_str());
  std::exit(1);
}

Bytes ReadFile(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) Fail(std::string("cannot open ") + path);
  Bytes bytes;
  uint8_t chunk[1 << 16];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(file);
  return bytes;
}

// A file on tmpfs holding bytes, open for reading, removed again when the benchmark ends.
class ScratchFile {
 public:
  explicit ScratchFile(const Bytes& bytes)
      : file_(bytes, access("/dev/shm", W_OK) == 0 ? "/dev/shm" : ""), handle_(file_.OpenRead()) {}
  ~ScratchFile() { FileClose(handle_); }
  FileHandle Rewound() const {
    FileSeek(handle_, 0);
    return handle_;
  }

 private:
  TempFile file_;
  FileHandle handle_;
};

// Best wall time of reps runs of work, in seconds.
double BestTime(int reps, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < reps; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

double MbPerSecond(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

void CheckDecoded(const char* who, const Bytes& decoded, const Bytes& original) {
  if (decoded != original) Fail(std::string(who) + " decoded the corpus wrongly");
}

// ---- Decoders ----

void DecodeWithLodrun(const ScratchFile& stream, Bytes& out) {
  if (!DecodeToMemory(out.data(), static_cast<uint32_t>(out.size()), stream.Rewound(), 0)) {
    Fail("the program's decoder refused the stream");
  }
}

void InflateWithZlib(const ScratchFile& stream, Bytes& out) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) Fail("inflateInit2");
  FileHandle file = stream.Rewound();
  uint8_t input[ZLIB_INPUT_CHUNK];
  size_t produced = 0;
  int ret = Z_OK;
  while (ret == Z_OK) {
    if (z.avail_in == 0) {
      uint32_t n = FileReadSome(file, input, sizeof input);
      if (n == 0) Fail("zlib's input ended early");
      z.next_in = input;
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(std::min(ZLIB_OUTPUT_CHUNK, out.size() - produced));
    ret = inflate(&z, Z_NO_FLUSH);
    produced = z.total_out;
  }
  if (ret != Z_STREAM_END) Fail("zlib's inflate failed");
  inflateEnd(&z);
}

void DecompressWithLibdeflate(libdeflate_decompressor* decompressor, const Bytes& stream, Bytes& out) {
  if (libdeflate_deflate_decompress(decompressor, stream.data(), stream.size(), out.data(), out.size(),
                                    nullptr) != LIBDEFLATE_SUCCESS) {
    Fail("libdeflate's decompressor failed");
  }
}

int ArgValue(int argc, char** argv, const char* name, int fallback) {
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) Fail("usage: bench_codec <corpus file> [--decode-reps N] [--encode-reps N] [--profile-decoder N]");
  const Bytes corpus = ReadFile(argv[1]);
  const int decodeReps = ArgValue(argc, argv, "--decode-reps", 5);
  const int encodeReps = ArgValue(argc, argv, "--encode-reps", 2);
  const int profileRuns = ArgValue(argc, argv, "--profile-decoder", 0);
  Bytes decoded(corpus.size());
  std::memset(decoded.data(), 0, decoded.size());  // fault the pages in before timing

  if (profileRuns > 0) {
    ScratchFile stream(EncodeStream(corpus.data(), corpus.size(), ENCODE_LEVEL));
    for (int i = 0; i < profileRuns; ++i) DecodeWithLodrun(stream, decoded);
    CheckDecoded("lodrun", decoded, corpus);
    std::printf("profile corpus_bytes=%zu runs=%d\n", corpus.size(), profileRuns);
    return 0;
  }
  std::printf("corpus bytes=%zu file=%s decode_reps=%d encode_reps=%d\n", corpus.size(), argv[1], decodeReps,
              encodeReps);

  // Encoding: the program's encoder (libdeflate -12 and the rewrite) against its peers.
  Bytes ours, standard, zlib;
  double oursTime = BestTime(encodeReps, [&] { ours = EncodeStream(corpus.data(), corpus.size(), ENCODE_LEVEL); });
  double libdeflateTime = BestTime(encodeReps, [&] { standard = LibdeflateCompress(corpus, ENCODE_LEVEL); });
  double zlibTime = BestTime(encodeReps, [&] { zlib = ZlibCompress(corpus, ZLIB_LEVEL); });
  Bytes rewritten;
  double rewriteTime = BestTime(decodeReps, [&] {
    if (!RewriteDeflateStream(standard.data(), standard.size(), rewritten)) Fail("rewrite failed");
  });
  if (rewritten != ours) Fail("the encoder's stream is not libdeflate's stream rewritten");
  std::printf("encode size_ratio lodrun12=%.4f zlib9=%.4f libdeflate12=%.4f lodrun12_vs_libdeflate12=%+.5f%%\n",
              double(ours.size()) / corpus.size(), double(zlib.size()) / corpus.size(),
              double(standard.size()) / corpus.size(), 100.0 * (double(ours.size()) / standard.size() - 1));
  std::printf("encode_mb_s lodrun12=%.2f zlib9=%.2f libdeflate12=%.2f rewrite_only=%.1f\n",
              MbPerSecond(corpus.size(), oursTime), MbPerSecond(corpus.size(), zlibTime),
              MbPerSecond(corpus.size(), libdeflateTime), MbPerSecond(corpus.size(), rewriteTime));

  // Decoding the same content three ways, each checked once.
  ScratchFile oursFile(ours);
  ScratchFile standardFile(standard);
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  DecodeWithLodrun(oursFile, decoded);
  CheckDecoded("lodrun", decoded, corpus);
  std::fill(decoded.begin(), decoded.end(), 0);
  InflateWithZlib(standardFile, decoded);
  CheckDecoded("zlib", decoded, corpus);
  std::fill(decoded.begin(), decoded.end(), 0);
  DecompressWithLibdeflate(decompressor, standard, decoded);
  CheckDecoded("libdeflate", decoded, corpus);

  double lodrun = MbPerSecond(corpus.size(), BestTime(decodeReps, [&] { DecodeWithLodrun(oursFile, decoded); }));
  double zlibRate = MbPerSecond(corpus.size(), BestTime(decodeReps, [&] { InflateWithZlib(standardFile, decoded); }));
  double libdeflate = MbPerSecond(
      corpus.size(), BestTime(decodeReps, [&] { DecompressWithLibdeflate(decompressor, standard, decoded); }));
  libdeflate_free_decompressor(decompressor);
  std::printf("decode_mb_s lodrun=%.1f zlib=%.1f libdeflate=%.1f ratio_vs_zlib=%.3f ratio_vs_libdeflate=%.3f\n",
              lodrun, zlibRate, libdeflate, lodrun / zlibRate, lodrun / libdeflate);
  return 0;
}
