// What lodrun build tells as it compresses: on a terminal one line rewritten in place (the
// current file, bytes done of all, the time left); off one, only the result line; quiet,
// nothing but problems (which are printed elsewhere); verbose, also a line per file.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

enum class Verbosity { QUIET, NORMAL, VERBOSE };

// The progress line's text: "N/M files, X of Y MB, T left: NAME", at most width characters
// (the name is cut from its front).
std::string ProgressText(size_t doneFiles, size_t totalFiles, uint64_t doneBytes, uint64_t totalBytes,
                         double seconds, const std::string& name, size_t width);

// "0:07", "1:02:03": seconds rounded up; "-:--" when not known (negative).
std::string TimeText(double seconds);

class BuildProgress {
 public:
  BuildProgress(FILE* out, bool terminal, Verbosity verbosity, size_t totalFiles, uint64_t totalBytes);
  // After each file: done files so far, the file's name (UTF-8), its size and packed size.
  void FileDone(size_t done, const std::string& name, uint64_t size, uint64_t packed);
  // Clears the progress line and writes the result line (not when quiet).
  void Finish(const std::string& result);
  // Wall time since the build started.
  double Seconds() const;

 private:
  void ClearLine();

  using Clock = std::chrono::steady_clock;
  FILE* out;
  bool terminal;
  Verbosity verbosity;
  size_t totalFiles;
  uint64_t totalBytes;
  uint64_t doneBytes = 0;
  size_t shownLength = 0;  // of the progress line on the terminal now
  Clock::time_point start;
};
