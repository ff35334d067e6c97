#include "support/temp_file.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#define LODRUN_PROCESS_ID _getpid
constexpr char PATH_SEPARATOR = '\\';
constexpr const char* TEMP_VARIABLE = "TEMP";
#else
#include <unistd.h>
#define LODRUN_PROCESS_ID getpid
constexpr char PATH_SEPARATOR = '/';
constexpr const char* TEMP_VARIABLE = "TMPDIR";
#endif

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path) {
  std::fprintf(stderr, "temp_file: cannot %s %s\n", what, path.c_str());
  std::abort();
}

std::string SystemTempDirectory() {
  const char* dir = std::getenv(TEMP_VARIABLE);
#ifdef _WIN32
  return dir != nullptr ? dir : ".";
#else
  return dir != nullptr ? dir : "/tmp";
#endif
}

// A name that no other file of this process or of a process running at the same time has.
std::string UniquePath(const std::string& dir) {
  static unsigned serial = 0;
  std::string path = dir.empty() ? SystemTempDirectory() : dir;
  if (path.back() != PATH_SEPARATOR && path.back() != '/') path += PATH_SEPARATOR;
  return path + "lodrun-" + std::to_string(LODRUN_PROCESS_ID()) + "-" + std::to_string(++serial) +
         ".bin";
}

}  // namespace

TempFile::TempFile(const std::vector<uint8_t>& contents, const std::string& dir)
    : path(UniquePath(dir)) {
  FileHandle file = FileCreate(path.c_str());
  if (file == INVALID_FILE) Fail("create", path);
  const bool written =
      contents.empty() || FileWrite(file, contents.data(), uint32_t(contents.size())) == FILE_OK;
  FileClose(file);
  if (!written) Fail("write", path);
}

TempFile::~TempFile() { std::remove(path.c_str()); }

FileHandle TempFile::OpenRead() const {
  FileHandle file = FileOpen(path.c_str(), OPEN_READ);
  if (file == INVALID_FILE) Fail("open", path);
  return file;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  FileHandle file = FileOpen(path.c_str(), OPEN_READ);
  if (file == INVALID_FILE) Fail("open", path);
  std::vector<uint8_t> contents(FileSize(file));
  const bool read =
      contents.empty() || FileRead(file, contents.data(), uint32_t(contents.size())) == FILE_OK;
  FileClose(file);
  if (!read) Fail("read", path);
  return contents;
}
