// The decoders of the benchmark, their timing and the line that reports them.
#include "decode_measure.h"

#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/decoder.h"
#include "support/temp_file.h"

namespace {

constexpr size_t ZLIB_INPUT_CHUNK = INPUT_BUFFER_SIZE;  // as the program's source reads
constexpr size_t ZLIB_OUTPUT_CHUNK = WINDOW_SIZE;       // as the program's window writes

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

void CheckDecoded(const char* who, const Bytes& decoded, const Bytes& original) {
  if (decoded != original) BenchFail(std::string(who) + " decoded the corpus wrongly");
}

void DecodeWithLodrun(const ScratchFile& stream, Bytes& out) {
  if (!DecodeToMemory(out.data(), static_cast<uint32_t>(out.size()), stream.Rewound(), 0)) {
    BenchFail("the program's decoder refused the stream");
  }
}

void InflateWithZlib(const ScratchFile& stream, Bytes& out) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) BenchFail("inflateInit2");
  FileHandle file = stream.Rewound();
  uint8_t input[ZLIB_INPUT_CHUNK];
  size_t produced = 0;
  int ret = Z_OK;
  while (ret == Z_OK) {
    if (z.avail_in == 0) {
      uint32_t n = FileReadSome(file, input, sizeof input);
      if (n == 0) BenchFail("zlib's input ended early");
      z.next_in = input;
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(std::min(ZLIB_OUTPUT_CHUNK, out.size() - produced));
    ret = inflate(&z, Z_NO_FLUSH);
    produced = z.total_out;
  }
  if (ret != Z_STREAM_END) BenchFail("zlib's inflate failed");
  inflateEnd(&z);
}

void DecompressWithLibdeflate(libdeflate_decompressor* decompressor, const Bytes& stream, Bytes& out) {
  if (libdeflate_deflate_decompress(decompressor, stream.data(), stream.size(), out.data(), out.size(),
                                    nullptr) != LIBDEFLATE_SUCCESS) {
    BenchFail("libdeflate's decompressor failed");
  }
}

// The calling thread's CPU time in seconds: what the decoder itself spent, which other work on
// a shared machine changes less than the wall clock.
double ThreadCpuSeconds() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) BenchFail("clock_gettime");
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One decoder of the comparison and the times of its repetitions.
struct TimedDecoder {
  std::function<void()> work;
  std::vector<double> wall;
  std::vector<double> cpu;
};

// reps rounds of every decoder; each round starts one decoder later than the one before, so
// that no decoder always runs first (cold caches, a frequency step) or after the same one.
void TimeRotated(int reps, std::vector<TimedDecoder>& decoders) {
  const size_t n = decoders.size();
  for (int rep = 0; rep < reps; ++rep) {
    for (size_t k = 0; k < n; ++k) {
      TimedDecoder& decoder = decoders[(size_t(rep) + k) % n];
      const auto wallStart = std::chrono::steady_clock::now();
      const double cpuStart = ThreadCpuSeconds();
      decoder.work();
      decoder.cpu.push_back(ThreadCpuSeconds() - cpuStart);
      decoder.wall.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
    }
  }
}

// An output block of the corpus's size with its pages faulted in before any timing.
Bytes OutputBlock(const Bytes& corpus) {
  Bytes decoded(corpus.size());
  std::memset(decoded.data(), 0, decoded.size());
  return decoded;
}

}  // namespace

void BenchFail(const std::string& what) {
  std::fprintf(stderr, "bench: %s\n", what.c_str());
  std::exit(1);
}

Bytes BenchReadFile(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) BenchFail(std::string("cannot open ") + path);
  Bytes bytes;
  uint8_t chunk[1 << 16];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(file);
  return bytes;
}

double BenchBestTime(int reps, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < reps; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

double BenchMbPerSecond(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

int BenchArg(int argc, char** argv, int first, const char* name, int fallback) {
  for (int i = first; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
  }
  return fallback;
}

void ProfileDecoder(const Bytes& corpus, const Bytes& ours, int runs) {
  Bytes decoded = OutputBlock(corpus);
  ScratchFile stream(ours);
  for (int i = 0; i < runs; ++i) DecodeWithLodrun(stream, decoded);
  CheckDecoded("lodrun", decoded, corpus);
  std::printf("profile corpus_bytes=%zu runs=%d\n", corpus.size(), runs);
}

void MeasureDecoders(const char* build, const Bytes& corpus, const Bytes& ours,
                     const Bytes& standard, int reps) {
  Bytes decoded = OutputBlock(corpus);
  ScratchFile oursFile(ours);
  ScratchFile standardFile(standard);
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  if (decompressor == nullptr) BenchFail("libdeflate_alloc_decompressor");

  // Each decoder once, checked.
  DecodeWithLodrun(oursFile, decoded);
  CheckDecoded("lodrun", decoded, corpus);
  std::fill(decoded.begin(), decoded.end(), 0);
  InflateWithZlib(standardFile, decoded);
  CheckDecoded("zlib", decoded, corpus);
  std::fill(decoded.begin(), decoded.end(), 0);
  DecompressWithLibdeflate(decompressor, standard, decoded);
  CheckDecoded("libdeflate", decoded, corpus);

  enum { LODRUN, ZLIB, LIBDEFLATE };
  std::vector<TimedDecoder> decoders(3);
  decoders[LODRUN].work = [&] { DecodeWithLodrun(oursFile, decoded); };
  decoders[ZLIB].work = [&] { InflateWithZlib(standardFile, decoded); };
  decoders[LIBDEFLATE].work = [&] { DecompressWithLibdeflate(decompressor, standard, decoded); };
  TimeRotated(reps, decoders);
  libdeflate_free_decompressor(decompressor);
  // One line per clock, each from the medians of its repetitions.
  for (const bool cpu : {true, false}) {
    double rate[3];
    for (int i = 0; i < 3; ++i) {
      rate[i] = BenchMbPerSecond(corpus.size(), Median(cpu ? decoders[i].cpu : decoders[i].wall));
    }
    std::printf("decode_mb_s build=%s clock=%s median_of=%d lodrun=%.1f zlib=%.1f "
                "libdeflate=%.1f ratio_vs_zlib=%.3f ratio_vs_libdeflate=%.3f (zlib %s, "
                "libdeflate %s)\n",
                build, cpu ? "thread-cpu" : "wall", reps, rate[LODRUN], rate[ZLIB],
                rate[LIBDEFLATE], rate[LODRUN] / rate[ZLIB], rate[LODRUN] / rate[LIBDEFLATE],
                zlibVersion(), LIBDEFLATE_VERSION_STRING);
  }
}
