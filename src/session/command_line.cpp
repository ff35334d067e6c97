// The setup's command line: /S <path> and /DEL.
#include "session/command_line.h"

#include "base/session_paths.h"
#include "base/text_format.h"
#include "session/session.h"
#include "system/switches.h"

namespace {

const char* TakeSetupSwitch(char letter, const char* rest) {
  if (letter == 'D') {
    if (UpperAscii(rest[0]) == 'E' && UpperAscii(rest[1]) == 'L') DeleteSelfFlag = true;
  } else if (letter == 'S') {
    return ReadPathArgument(rest, SourcePath);
  }
  return rest;
}

}  // namespace

void ParseCommandLine(const char* text) { WalkSwitches(text, TakeSetupSwitch); }
