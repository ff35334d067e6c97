// File helpers used by every subsystem. Two implementations stand behind this interface:
// Win32 handles in the program, POSIX descriptors in the native build (so that archive
// reading and decoding are tested natively, with sanitizers).
#pragma once

#include <cstdint>

// An operating-system file handle; INVALID_FILE means failure.
using FileHandle = intptr_t;
constexpr FileHandle INVALID_FILE = -1;

enum FileOpenMode : uint32_t {
  OPEN_READ = 0,        // read access, others may read
  OPEN_WRITE = 1,       // write access, no sharing
  OPEN_READ_WRITE = 2,  // read and write access, others may read
};

// Status values of FileRead and FileWrite.
enum FileStatus : uint32_t {
  FILE_OK = 0,
  FILE_SHORT_READ = 1,
  FILE_WRITE_FAILED = 2,
  FILE_SHORT_WRITE = 3,
};

// Positions are 32-bit: a setup and its volumes stay below 4 GiB. Seeks return the new
// position, or FILE_BAD_POSITION when the system refused the move.
constexpr uint32_t FILE_BAD_POSITION = 0xFFFFFFFFu;

FileHandle FileOpen(const char* path, FileOpenMode mode);
FileHandle FileCreate(const char* path);
// Creates a file that does not exist yet: INVALID_FILE when path is taken (FileNameTaken) or
// cannot be created.
FileHandle FileCreateNew(const char* path);
bool FileNameTaken();
FileStatus FileRead(FileHandle file, void* buffer, uint32_t count);
uint32_t FileReadSome(FileHandle file, void* buffer, uint32_t count);
FileStatus FileWrite(FileHandle file, const void* buffer, uint32_t count);
uint32_t FileTell(FileHandle file);
uint32_t FileSeek(FileHandle file, uint32_t position);
uint32_t FileSkip(FileHandle file, int32_t delta);
uint32_t FileSize(FileHandle file);
void FileClose(FileHandle file);
// The system's code of the last file call that failed (GetLastError, errno), read right
// after the failure: it is what the user is told of, such as a disk that is full.
uint32_t FileSystemError();
