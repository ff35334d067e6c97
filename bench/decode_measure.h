// The decoding half of the codec benchmark, shared by the native benchmark (bench_codec) and
// the i686 one (bench_decode): the program's decoder, zlib's inflate and libdeflate decode
// the same content, each checked against the corpus, and one line gives their rates and
// ratios for the build that runs it. The I/O shapes are:
//   lodrun      DecodeToMemory over a file on tmpfs (4 KiB reads, 32 KiB window writes)
//   zlib        inflate fed by 4 KiB reads from a file on tmpfs, 32 KiB output chunks
//   libdeflate  one call, memory to memory
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

[[noreturn]] void BenchFail(const std::string& what);

Bytes BenchReadFile(const char* path);

// Best wall time of reps runs of work, in seconds; and a rate in MB/s (1 MB = 10^6 bytes).
double BenchBestTime(int reps, const std::function<void()>& work);
double BenchMbPerSecond(size_t bytes, double seconds);

// The value after `name` among the arguments from argv[first] on, or fallback.
int BenchArg(int argc, char** argv, int first, const char* name, int fallback);

// Decodes `ours` (the program's stream) runs times with the program's decoder only, checking
// the result once: for callgrind or perf.
void ProfileDecoder(const Bytes& corpus, const Bytes& ours, int runs);

// Decodes `ours` with the program's decoder and `standard` (the same content as a deflate
// stream) with zlib and libdeflate, reps rounds in an order rotated every round, and prints
// for the thread's CPU time and for the wall clock the line
//   decode_mb_s build=<build> clock=<clock> median_of=<reps> lodrun=.. zlib=.. libdeflate=..
//   ratio_vs_zlib=.. ratio_vs_libdeflate=..
// from the medians of the rounds, followed by the peers' versions.
void MeasureDecoders(const char* build, const Bytes& corpus, const Bytes& ours,
                     const Bytes& standard, int reps);
