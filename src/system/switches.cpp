// Command-line switches: a run of them, each introduced by '-' or '/', and their path
// arguments, as both programs read them.
#include "system/switches.h"

#include "base/path_buffer.h"
#include "base/text_format.h"

namespace {

bool IsSwitchStart(char c) { return c == '-' || c == '/'; }

const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

}  // namespace
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

const char* CommandTail(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p > ' ') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

void WalkSwitches(const char* text, TakeSwitch take) {
  if (text == nullptr) return;
  const char* p = SkipSpaces(text);
  while (IsSwitchStart(*p)) {
    char letter = UpperAscii(p[1]);
    if (letter == '\0') break;
    p = take(letter, p + 2);
    while (*p != '\0' && *p != ' ' && !IsSwitchStart(*p)) ++p;
    p = SkipSpaces(p);
  }
}
