// Path operations on PATH_BUFFER_SIZE buffers: each keeps the buffer terminated and refuses,
// rather than cuts, what would not fit, unless its contract says it cuts.
#include "base/path_buffer.h"

#include <cstring>

#include "base/text_format.h"

bool CopyPath(char* buffer, const char* text) {
  const size_t length = std::strlen(text);
  const size_t kept = length < PATH_BUFFER_SIZE ? length : PATH_BUFFER_SIZE - 1;
  std::memmove(buffer, text, kept);  // the text may lie inside the buffer
  buffer[kept] = '\0';
  return kept == length;
}

bool AppendPath(char* path, const char* text) { return AppendText(path, PATH_BUFFER_SIZE, text); }

bool AppendBackslash(char* path) {
  const size_t used = std::strlen(path);
  if (used == 0 || path[used - 1] == '\\') return true;
  return AppendPath(path, "\\");
}

void StripBackslash(char* path) {
  const size_t used = std::strlen(path);
  if (used > 3 && path[used - 1] == '\\') path[used - 1] = '\0';
}

uint32_t PathRootLength(const char* path) {
  if (path[0] == '\\' && path[1] == '\\') return 2;
  if (path[0] != '\0' && path[1] == ':' && path[2] == '\\') return 3;
  return 0;
}

const char* PathFileName(const char* path) {
  const char* backslash = std::strrchr(path, '\\');
#ifndef _WIN32
  // The builder's native tools read setups by POSIX paths, whose parts '/' separates.
  const char* slash = std::strrchr(path, '/');
  if (slash != nullptr && (backslash == nullptr || slash > backslash)) backslash = slash;
#endif
  return backslash != nullptr ? backslash + 1 : path;
}

bool ReplaceExtension(char* path, const char* suffix) {
  const char* dot = std::strrchr(PathFileName(path), '.');
  const size_t kept = dot != nullptr ? size_t(dot - path) : std::strlen(path);
  if (kept + std::strlen(suffix) >= PATH_BUFFER_SIZE) return false;
  std::strcpy(path + kept, suffix);
  return true;
}
