// Command-line parsing: a run of switches, each introduced by '-' or '/'.
#include "session/command_line.h"

#include "base/session_paths.h"
#include "base/text_format.h"
#include "session/session.h"

namespace {

bool IsSwitchStart(char c) { return c == '-' || c == '/'; }


const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

const char* TakeSetupSwitch(char letter, const char* rest) {
  if (letter == 'D') {
    if (UpperAscii(rest[0]) == 'E' && UpperAscii(rest[1]) == 'L') DeleteSelfFlag = true;
  } else if (letter == 'S') {
    return ReadPathArgument(rest, SourcePath);
  }
  return rest;
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

void ParseCommandLine(const char* text) { WalkSwitches(text, TakeSetupSwitch); }
