// Command-line parsing: a run of switches, each introduced by '-' or '/'.
#include "session/command_line.h"

#include "base/session_paths.h"
#include "session/session.h"

namespace {

bool IsSwitchStart(char c) { return c == '-' || c == '/'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

// Copies a path argument, quoted or not, into a PATH_BUFFER_SIZE buffer. Characters beyond
// the buffer's room are passed over, so the buffer always stays terminated. Returns the
// position behind the argument.
const char* ReadPathArgument(const char* p, char* buffer) {
  p = SkipSpaces(p);
  bool quoted = *p == '"';
  if (quoted) ++p;
  uint32_t length = 0;
  while (*p != '\0' && (quoted ? *p != '"' : *p != ' ')) {
    if (length < PATH_BUFFER_SIZE - 1) buffer[length++] = *p;
    ++p;
  }
  buffer[length] = '\0';
  if (quoted && *p == '"') ++p;
  return p;
}

}  // namespace

void ParseCommandLine(const char* text) {
  if (text == nullptr) return;
  const char* p = SkipSpaces(text);
  while (IsSwitchStart(*p)) {
    char letter = Upper(p[1]);
    if (letter == '\0') break;
    p += 2;
    if (letter == 'D') {
      if (Upper(p[0]) == 'E' && Upper(p[1]) == 'L') DeleteSelfFlag = true;
    } else if (letter == 'S') {
      p = ReadPathArgument(p, SourcePath);
    }
    while (*p != '\0' && *p != ' ' && !IsSwitchStart(*p)) ++p;
    p = SkipSpaces(p);
  }
}
