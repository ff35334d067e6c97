// Temporary files for the tests and the benchmarks: a file that holds given bytes for the
// life of its object, and the contents of a file, both through the program's file helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_io.h"

// A file holding the given bytes, named uniquely in dir (the system's temporary directory
// when dir is empty); removed when the object goes. A file that cannot be written or opened
// stops the program with a message: nothing that needs it could run.
class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& contents, const std::string& dir = "");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Opens the file for reading, at its first byte.
  FileHandle OpenRead() const;
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// The contents of a file; stops the program with a message when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
