// The build's progress and result lines.
#include "builder/tool/build_progress.h"

#include <cmath>

#include "builder/io/code_page.h"

namespace {

// The progress line stays within a terminal's narrowest common width.
constexpr size_t PROGRESS_WIDTH = 79;
constexpr char PREFIX[] = "lodrun: ";
constexpr double MEGABYTE = 1e6;

std::string Megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", double(bytes) / MEGABYTE);
  return text;
}

// The last characters of name (UTF-8) that fit in width, "..." in front when cut.
std::string TailOf(const std::string& name, size_t width) {
  if (Utf8Length(name) <= width) return name;
  if (width <= 3) return std::string(width, '.');
  size_t start = name.size();
  for (size_t kept = 0; kept < width - 3 && start > 0;) {
    --start;
    if ((uint8_t(name[start]) & 0xC0) != 0x80) ++kept;  // a character's lead byte
  }
  return "..." + name.substr(start);
}

}  // namespace

std::string TimeText(double seconds) {
  if (seconds < 0 || !std::isfinite(seconds)) return "-:--";
  const uint64_t whole = uint64_t(std::ceil(seconds));
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(whole / 3600),
                  static_cast<unsigned long long>(whole / 60 % 60), static_cast<unsigned long long>(whole % 60));
  } else {
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(whole / 60),
                  static_cast<unsigned long long>(whole % 60));
  }
  return text;
}

std::string ProgressText(size_t doneFiles, size_t totalFiles, uint64_t doneBytes, uint64_t totalBytes,
                         double seconds, const std::string& name, size_t width) {
  // The bytes still to do at the pace of those done.
  const double left = doneBytes == 0 ? -1 : seconds * double(totalBytes - std::min(doneBytes, totalBytes)) / double(doneBytes);
  const std::string counts = std::to_string(doneFiles) + "/" + std::to_string(totalFiles) + " files, " +
                             Megabytes(doneBytes) + " of " + Megabytes(totalBytes) + " MB, " + TimeText(left) +
                             " left: ";
  const size_t used = Utf8Length(counts);
  return counts + TailOf(name, width > used ? width - used : 0);
}

BuildProgress::BuildProgress(FILE* out, bool terminal, Verbosity verbosity, size_t totalFiles, uint64_t totalBytes)
    : out(out), terminal(terminal), verbosity(verbosity), totalFiles(totalFiles), totalBytes(totalBytes),
      start(Clock::now()) {}

double BuildProgress::Seconds() const { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BuildProgress::ClearLine() {
  if (shownLength == 0) return;
  std::fprintf(out, "\r%*s\r", int(shownLength), "");
  shownLength = 0;
}

void BuildProgress::FileDone(size_t done, const std::string& name, uint64_t size, uint64_t packed) {
  doneBytes += size;
  if (verbosity == Verbosity::QUIET) return;
  if (verbosity == Verbosity::VERBOSE) {
    ClearLine();
    std::fprintf(out, "%s%s: %llu bytes packed into %llu (%.1f%%)\n", PREFIX, name.c_str(),
                 static_cast<unsigned long long>(size), static_cast<unsigned long long>(packed),
                 size > 0 ? 100.0 * double(packed) / double(size) : 100.0);
  }
  if (!terminal) return;
  const std::string line = PREFIX + ProgressText(done, totalFiles, doneBytes, totalBytes, Seconds(), name,
                                                 PROGRESS_WIDTH - (sizeof PREFIX - 1));
  const size_t length = Utf8Length(line);
  // Spaces over what the last line had beyond this one.
  std::fprintf(out, "\r%s%*s", line.c_str(), int(shownLength > length ? shownLength - length : 0), "");
  shownLength = std::max(length, shownLength);
  std::fflush(out);
}

void BuildProgress::Finish(const std::string& result) {
  ClearLine();
  if (verbosity != Verbosity::QUIET) std::fprintf(out, "%s%s\n", PREFIX, result.c_str());
}
