// File helpers over Win32 file handles, for the program.
#include "base/file_io.h"

#include <windows.h>

namespace {

HANDLE H(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle Wrap(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? INVALID_FILE : reinterpret_cast<FileHandle>(h);
}

uint32_t Move(FileHandle file, LONG distance, DWORD method) {
  DWORD pos = SetFilePointer(H(file), distance, nullptr, method);
  return pos == INVALID_SET_FILE_POINTER ? FILE_BAD_POSITION : pos;
}

}  // namespace

FileHandle FileOpen(const char* path, FileOpenMode mode) {
  static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD kShare[] = {FILE_SHARE_READ, 0, FILE_SHARE_READ};
  if (mode > OPEN_READ_WRITE) return INVALID_FILE;
  return Wrap(CreateFileA(path, kAccess[mode], kShare[mode], nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle FileCreate(const char* path) {
  return Wrap(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
}

FileHandle FileCreateNew(const char* path) {
  return Wrap(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
}

bool FileNameTaken() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

FileStatus FileRead(FileHandle file, void* buffer, uint32_t count) {
  DWORD got = 0;
  if (!ReadFile(H(file), buffer, count, &got, nullptr) || got != count) return FILE_SHORT_READ;
  return FILE_OK;
}

uint32_t FileReadSome(FileHandle file, void* buffer, uint32_t count) {
  DWORD got = 0;
  if (!ReadFile(H(file), buffer, count, &got, nullptr)) return 0;
  return got;
}

FileStatus FileWrite(FileHandle file, const void* buffer, uint32_t count) {
  DWORD put = 0;
  if (!WriteFile(H(file), buffer, count, &put, nullptr)) return FILE_WRITE_FAILED;
  if (put == count) return FILE_OK;
  SetLastError(ERROR_DISK_FULL);  // what a disk file's short write means
  return FILE_SHORT_WRITE;
}

uint32_t FileTell(FileHandle file) { return Move(file, 0, FILE_CURRENT); }
uint32_t FileSeek(FileHandle file, uint32_t position) {
  return Move(file, static_cast<LONG>(position), FILE_BEGIN);
}
uint32_t FileSkip(FileHandle file, int32_t delta) { return Move(file, delta, FILE_CURRENT); }

uint32_t FileSize(FileHandle file) {
  DWORD size = GetFileSize(H(file), nullptr);
  return size == INVALID_FILE_SIZE ? FILE_BAD_POSITION : size;
}

void FileClose(FileHandle file) {
  if (file != INVALID_FILE) CloseHandle(H(file));
}

uint32_t FileSystemError() { return GetLastError(); }
