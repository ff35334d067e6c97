// Codec benchmark over one corpus file. The encoders' figures are the best of several
// repetitions, the decoders' the medians of rotated rounds (decode_measure.h),
// in MB/s of data (1 MB = 10^6 bytes), and every result is checked against the corpus. The
// encoders: the builder's (libdeflate -12 rewritten for the program) against libdeflate -12
// and zlib -9. The decoders (decode_measure.h) read that same content.
// Usage: bench_codec <corpus file> [--decode-reps N] [--encode-reps N] [--profile-decoder N]
//                    [--write-streams DIR]
// --profile-decoder runs only the program's decoder N times (for callgrind or perf);
// --write-streams writes the two streams as DIR/lodrun.bin and DIR/deflate.bin, for the i686
// decoder benchmark (bench_decode), which has no encoder.
#include <cstdio>
#include <cstring>
#include <string>

#include "builder/encoder/stream_encoder.h"
#include "decode_measure.h"
#include "support/deflate_peers.h"

namespace {

constexpr int ENCODE_LEVEL = 12;
constexpr int ZLIB_LEVEL = 9;

const char* ArgText(int argc, char** argv, const char* name) {
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
  }
  return nullptr;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    BenchFail("cannot write " + path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    BenchFail("usage: bench_codec <corpus file> [--decode-reps N] [--encode-reps N] "
              "[--profile-decoder N] [--write-streams DIR]");
  }
  const Bytes corpus = BenchReadFile(argv[1]);
  const int decodeReps = BenchArg(argc, argv, 2, "--decode-reps", 9);
  const int encodeReps = BenchArg(argc, argv, 2, "--encode-reps", 2);
  const int profileRuns = BenchArg(argc, argv, 2, "--profile-decoder", 0);
  const char* streamDir = ArgText(argc, argv, "--write-streams");

  if (profileRuns > 0) {
    ProfileDecoder(corpus, EncodeStream(corpus.data(), corpus.size(), ENCODE_LEVEL), profileRuns);
    return 0;
  }
  std::printf("corpus bytes=%zu file=%s decode_reps=%d encode_reps=%d\n", corpus.size(), argv[1], decodeReps,
              encodeReps);

  // Encoding: the program's encoder (libdeflate -12 and the rewrite) against its peers.
  Bytes ours, standard, zlib;
  double oursTime = BenchBestTime(encodeReps, [&] { ours = EncodeStream(corpus.data(), corpus.size(), ENCODE_LEVEL); });
  double libdeflateTime = BenchBestTime(encodeReps, [&] { standard = LibdeflateCompress(corpus, ENCODE_LEVEL); });
  double zlibTime = BenchBestTime(encodeReps, [&] { zlib = ZlibCompress(corpus, ZLIB_LEVEL); });
  Bytes rewritten;
  double rewriteTime = BenchBestTime(decodeReps, [&] {
    if (!RewriteDeflateStream(standard.data(), standard.size(), rewritten)) BenchFail("rewrite failed");
  });
  if (rewritten != ours) BenchFail("the encoder's stream is not libdeflate's stream rewritten");
  std::printf("encode size_ratio lodrun12=%.4f zlib9=%.4f libdeflate12=%.4f lodrun12_vs_libdeflate12=%+.5f%%\n",
              double(ours.size()) / corpus.size(), double(zlib.size()) / corpus.size(),
              double(standard.size()) / corpus.size(), 100.0 * (double(ours.size()) / standard.size() - 1));
  std::printf("encode_mb_s lodrun12=%.2f zlib9=%.2f libdeflate12=%.2f rewrite_only=%.1f\n",
              BenchMbPerSecond(corpus.size(), oursTime), BenchMbPerSecond(corpus.size(), zlibTime),
              BenchMbPerSecond(corpus.size(), libdeflateTime), BenchMbPerSecond(corpus.size(), rewriteTime));
  if (streamDir != nullptr) {
    WriteFile(std::string(streamDir) + "/lodrun.bin", ours);
    WriteFile(std::string(streamDir) + "/deflate.bin", standard);
  }

  MeasureDecoders(LODRUN_BENCH_BUILD, corpus, ours, standard, decodeReps);
  return 0;
}
