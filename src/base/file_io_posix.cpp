// File helpers over POSIX descriptors, for the native build and its tests.
// Positions are 64-bit where the system's default off_t is not (a 32-bit build): the file
// positions of 2 GB to 4 GB that the program's 32-bit positions reach need it.
#define _FILE_OFFSET_BITS 64
#include "base/file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Fd(FileHandle file) { return static_cast<int>(file); }

static_assert(sizeof(off_t) == 8, "positions up to FILE_BAD_POSITION - 1 fit off_t");

uint32_t SeekTo(FileHandle file, off_t offset, int whence) {
  off_t pos = lseek(Fd(file), offset, whence);
  if (pos < 0 || pos >= off_t(FILE_BAD_POSITION)) return FILE_BAD_POSITION;
  return static_cast<uint32_t>(pos);
}

}  // namespace

FileHandle FileOpen(const char* path, FileOpenMode mode) {
  int flags = mode == OPEN_READ ? O_RDONLY : mode == OPEN_WRITE ? O_WRONLY : O_RDWR;
  int fd = open(path, flags | O_CLOEXEC);
  return fd < 0 ? INVALID_FILE : fd;
}

FileHandle FileCreate(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd < 0 ? INVALID_FILE : fd;
}

FileHandle FileCreateNew(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd < 0 ? INVALID_FILE : fd;
}

bool FileNameTaken() { return errno == EEXIST; }

uint32_t FileReadSome(FileHandle file, void* buffer, uint32_t count) {
  // Like ReadFile on a disk file: keep reading until count bytes or the end of the file.
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = read(Fd(file), static_cast<char*>(buffer) + done, count - done);
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

FileStatus FileRead(FileHandle file, void* buffer, uint32_t count) {
  return FileReadSome(file, buffer, count) == count ? FILE_OK : FILE_SHORT_READ;
}

FileStatus FileWrite(FileHandle file, const void* buffer, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = write(Fd(file), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) return done == 0 ? FILE_WRITE_FAILED : FILE_SHORT_WRITE;
    if (n == 0) return FILE_SHORT_WRITE;
    done += static_cast<uint32_t>(n);
  }
  return FILE_OK;
}

uint32_t FileTell(FileHandle file) { return SeekTo(file, 0, SEEK_CUR); }
uint32_t FileSeek(FileHandle file, uint32_t position) { return SeekTo(file, position, SEEK_SET); }
uint32_t FileSkip(FileHandle file, int32_t delta) { return SeekTo(file, delta, SEEK_CUR); }

uint32_t FileSize(FileHandle file) {
  struct stat st;
  if (fstat(Fd(file), &st) != 0 || st.st_size >= off_t(FILE_BAD_POSITION)) return FILE_BAD_POSITION;
  return static_cast<uint32_t>(st.st_size);
}

void FileClose(FileHandle file) {
  if (file != INVALID_FILE) close(Fd(file));
}

uint32_t FileSystemError() { return static_cast<uint32_t>(errno); }
