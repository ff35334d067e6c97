// Opening documents: the shell first, and where it cannot, the file type's open command
// from the registry, started with the document appended.
#include "engine/open_at_end.h"

#include <shellapi.h>

#include <cstring>

#include "base/file_io.h"
#include "base/session_paths.h"
#include "base/text_format.h"
#include "engine/install_state.h"
#include "engine/target_paths.h"

namespace {

constexpr char OPEN_COMMAND_KEY[] = "\\shell\\open\\command";
constexpr char QUOTED_PLACEHOLDER[] = "\"%1\"";
constexpr char PLACEHOLDER[] = "%1";
constexpr char NO_EXTENSION[] = ".";

// The shell reports success with a value above 32.
constexpr uintptr_t SHELL_ERROR_LIMIT = 32;

// The extension and the open command key built on it share the command buffer: the key
// name, at most REGISTRY_VALUE_SIZE - 1 characters, and the key's suffix fit.
static_assert(REGISTRY_VALUE_SIZE + sizeof OPEN_COMMAND_KEY <= OPEN_COMMAND_SIZE,
              "the open command's key fits the command buffer");

}  // namespace

// subkey may lie in buffer: it is read before the buffer is written.
LONG ReadDefaultValue(HKEY root, const char* subkey, char* buffer) {
  HKEY key;
  const LONG opened = RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key);
  if (opened != ERROR_SUCCESS) {
    buffer[0] = '\0';
    return opened;
  }
  // A value without room for its terminator reads as empty (never cut: it may be a program's
  // path), and one stored without its terminator gets one.
  DWORD size = REGISTRY_VALUE_SIZE;
  if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    size = 0;
  }
  if (size == REGISTRY_VALUE_SIZE && buffer[size - 1] != '\0') size = 0;
  if (size < REGISTRY_VALUE_SIZE) buffer[size] = '\0';
  RegCloseKey(key);
  return ERROR_SUCCESS;
}

bool BuildOpenCommand(char* command, const char* document) {
  char* cut = std::strstr(command, QUOTED_PLACEHOLDER);
  if (cut == nullptr) cut = std::strstr(command, PLACEHOLDER);
  if (cut != nullptr) *cut = '\0';  // further arguments behind the placeholder are dropped
  if (!AppendText(command, OPEN_COMMAND_SIZE, " ") || !AppendText(command, OPEN_COMMAND_SIZE, document)) {
    command[0] = '\0';
    return false;
  }
  return true;
}

int OpenDocument(const char* document, const char* extension) {
  const uintptr_t shell = reinterpret_cast<uintptr_t>(
      ShellExecuteA(nullptr, "open", document, nullptr, nullptr, SW_SHOW));
  if (shell > SHELL_ERROR_LIMIT) return int(shell);
  char command[OPEN_COMMAND_SIZE];
  LONG error = ReadDefaultValue(HKEY_CLASSES_ROOT, extension, command);
  if (error != ERROR_SUCCESS) return int(error);
  AppendText(command, OPEN_COMMAND_SIZE, OPEN_COMMAND_KEY);  // fits: see OPEN_COMMAND_SIZE
  error = ReadDefaultValue(HKEY_CLASSES_ROOT, command, command);
  if (error != ERROR_SUCCESS) return int(error);
  if (!BuildOpenCommand(command, document)) return OPEN_COMMAND_TOO_LONG;
  return int(WinExec(command, SW_SHOW));
}

void OpenAtEnd() {
  if (OpenAtEndEntry == nullptr) return;
  ResolveTargetPath(OpenAtEndEntry);
  // A path too long to resolve is empty, and opens nothing either.
  FileHandle file = FileOpen(TargetPath, OPEN_READ);
  if (file == INVALID_FILE) return;
  FileClose(file);
  const char* dot = std::strrchr(TargetPath, '.');
  OpenDocument(TargetPath, dot != nullptr ? dot : NO_EXTENSION);
}
