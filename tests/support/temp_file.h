// Temporary files for the tests and the benchmarks: a file that holds given bytes for the
// life of its object, and the contents of a file, both through the program's file helpers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
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

// A file that a test makes under a name it does not choose freely (a program's own output,
// a name the program under test must find): removed when the guard goes, whatever the
// test's checks found.
class RemovedFile {
 public:
  explicit RemovedFile(std::string path) : path(std::move(path)) {}
  ~RemovedFile() { std::remove(path.c_str()); }
  RemovedFile(const RemovedFile&) = delete;
  RemovedFile& operator=(const RemovedFile&) = delete;
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// The contents of a file; stops the program with a message when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
