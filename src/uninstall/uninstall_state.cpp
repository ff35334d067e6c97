// The uninstall program's state, and its command line: /S for a run without windows, and
// /DEL with the path of the program that the temporary copy removes.
#include "base/session_paths.h"
#include "system/switches.h"
#include "uninstall/uninstall.h"

bool SilentRemoval = false;
bool RemovingOriginal = false;
uint32_t OriginalProcessId = 0;
RemovalList Removal;

namespace {

bool IsLetter(char c, char upper) { return c == upper || c == upper - 'A' + 'a'; }

const char* TakeUninstallSwitch(char letter, const char* rest) {
  if (letter == 'S') {
    SilentRemoval = true;
  } else if (letter == 'P') {
    for (OriginalProcessId = 0; *rest >= '0' && *rest <= '9'; ++rest) {
      OriginalProcessId = OriginalProcessId * 10 + uint32_t(*rest - '0');
    }
  } else if (letter == 'D' && IsLetter(rest[0], 'E') && IsLetter(rest[1], 'L') &&
             (rest[2] == ' ' || rest[2] == '"')) {
    RemovingOriginal = true;
    return ReadPathArgument(rest + 2, SourcePath);
  }
  return rest;
}

}  // namespace

void ParseUninstallCommandLine(const char* text) { WalkSwitches(text, TakeUninstallSwitch); }
