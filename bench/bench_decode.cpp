// The decoder benchmark without an encoder, for the i686 build of the program's decoder
// (bench/i686): it reads the corpus and the two streams that bench_codec --write-streams
// wrote, and measures the decoders as bench_codec does (decode_measure.h).
// Usage: bench_decode <corpus file> <stream dir> [--decode-reps N] [--profile-decoder N]
#include "decode_measure.h"

#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    BenchFail("usage: bench_decode <corpus file> <stream dir> [--decode-reps N] "
              "[--profile-decoder N]");
  }
  const Bytes corpus = BenchReadFile(argv[1]);
  const std::string streamDir = argv[2];
  const Bytes ours = BenchReadFile((streamDir + "/lodrun.bin").c_str());
  const int profileRuns = BenchArg(argc, argv, 3, "--profile-decoder", 0);
  if (profileRuns > 0) {
    ProfileDecoder(corpus, ours, profileRuns);
    return 0;
  }
  const Bytes standard = BenchReadFile((streamDir + "/deflate.bin").c_str());
  MeasureDecoders(LODRUN_BENCH_BUILD, corpus, ours, standard,
                  BenchArg(argc, argv, 3, "--decode-reps", 9));
  return 0;
}
