// The program's own file and its temporary copies: the copy holds only the program image,
// and the command line it is started with says which file it works for.
#include "system/program_file.h"

#include <windows.h>

#include <cstring>

#include "archive/setup_archive.h"
#include "base/file_io.h"
#include "base/memory.h"
#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "base/text_format.h"

namespace {

constexpr char TEMP_COPY_FORMAT[] = "_inst%d.exe";
constexpr uint32_t DRIVE_ROOT_LENGTH = 3;  // "A:\"
// wsprintfA needs room for the name with the largest n: "_inst998.exe" and a terminator.
constexpr uint32_t TEMP_COPY_NAME_SIZE = sizeof("_inst998.exe");

// Creates the first free "_inst<n>.exe" in the temporary directory, its path in ScratchPath.
FileHandle CreateTemporaryCopy() {
  char directory[PATH_BUFFER_SIZE];
  DWORD length = GetTempPathA(PATH_BUFFER_SIZE, directory);
  if (length == 0 || length >= PATH_BUFFER_SIZE) return INVALID_FILE;
  if (directory[length - 1] != '\\' && !AppendPath(directory, "\\")) {
    return INVALID_FILE;
  }
  for (int n = 0; n < TEMP_COPY_ATTEMPTS; ++n) {
    char name[TEMP_COPY_NAME_SIZE];
    wsprintfA(name, TEMP_COPY_FORMAT, n);
    ScratchPath[0] = '\0';
    if (!AppendPath(ScratchPath, directory) ||
        !AppendPath(ScratchPath, name)) {
      return INVALID_FILE;
    }
    FileHandle existing = FileOpen(ScratchPath, OPEN_READ);
    if (existing != INVALID_FILE) {
      FileClose(existing);  // taken by an earlier setup
      continue;
    }
    FileHandle copy = FileCreate(ScratchPath);
    if (copy != INVALID_FILE) return copy;
  }
  return INVALID_FILE;
}

// Copies the first ImageSize bytes of SourcePath (the program image) into copy.
bool CopyProgramImage(FileHandle copy) {
  FileHandle source = FileOpen(SourcePath, OPEN_READ);
  if (source == INVALID_FILE) return false;
  uint8_t* image = nullptr;
  bool copied = ImageSize() != 0 && MemAlloc(ImageSize(), &image) &&
                FileRead(source, image, ImageSize()) == FILE_OK &&
                FileWrite(copy, image, ImageSize()) == FILE_OK;
  MemFree(image);
  FileClose(source);
  return copied;
}

// Starts the command line. Not WinExec: that waits until the new process reads its first
// message, and the uninstall program's copy never does while it waits for this one to end.
bool StartProcess(char* commandLine, int showCommand) {
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace

bool GetOwnPath(char* buffer) {
  // A path that fills the whole buffer may have been cut (and left unterminated on NT).
  DWORD length = GetModuleFileNameA(nullptr, buffer, PATH_BUFFER_SIZE);
  if (length == 0 || length >= PATH_BUFFER_SIZE) {
    buffer[0] = '\0';
    return false;
  }
  buffer[length] = '\0';
  return true;
}

bool BuildCopyCommandLine(char* out, uint32_t room, const char* copyPath, const char* before,
                          const char* sourcePath, const char* after) {
  // The child skips its own path up to the first space unless the path is quoted.
  const bool quote = std::strchr(copyPath, ' ') != nullptr;
  out[0] = '\0';
  bool fits = (!quote || AppendText(out, room, "\"")) && AppendText(out, room, copyPath) &&
              (!quote || AppendText(out, room, "\"")) && AppendText(out, room, before) &&
              AppendText(out, room, sourcePath) && AppendText(out, room, after);
  if (!fits) out[0] = '\0';
  return fits;
}

bool StartTemporaryCopy(int showCommand, const char* before, const char* after) {
  FileHandle copy = CreateTemporaryCopy();
  if (copy == INVALID_FILE) return false;
  bool copied = CopyProgramImage(copy);
  FileClose(copy);
  char commandLine[RELAUNCH_COMMAND_SIZE];
  if (copied && BuildCopyCommandLine(commandLine, sizeof commandLine, ScratchPath, before, SourcePath, after) &&
      StartProcess(commandLine, showCommand)) {
    return true;
  }
  DeleteFileA(ScratchPath);
  return false;
}
