// The setup's command line: /S <path>, /DEL, /Q and /D=<folder>.
#include "session/command_line.h"

#include <cstring>

#include "base/session_paths.h"
#include "base/text_format.h"
#include "session/session.h"
#include "system/switches.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* TakeSetupSwitch(char letter, const char* rest) {
  if (letter == 'D') {
    if (rest[0] == '=') {
      // The folder is the rest of the line, spaces and all.
      InstallDirSwitch = rest + 1;
      return rest + std::strlen(rest);
    }
    if (UpperAscii(rest[0]) == 'E' && UpperAscii(rest[1]) == 'L') DeleteSelfFlag = true;
  } else if (letter == 'S') {
    return ReadPathArgument(rest, SourcePath);
  } else if (letter == 'Q') {
    QuietInstall = true;
  }
  return rest;
}

}  // namespace

void ParseCommandLine(const char* text) { WalkSwitches(text, TakeSetupSwitch); }

bool ApplyInstallDirSwitch() {
  if (InstallDirSwitch == nullptr) return true;
  const char* start = InstallDirSwitch;
  const char* end = start + std::strlen(start);
  while (end > start && IsBlank(end[-1])) --end;
  if (*start == '"') {
    ++start;
    const char* quote = static_cast<const char*>(std::memchr(start, '"', size_t(end - start)));
    if (quote != nullptr) end = quote;
  }
  // Room for the trailing backslash that the installation adds, as on the directory page.
  const size_t length = size_t(end - start);
  if (length == 0 || length > PATH_BUFFER_SIZE - 2) return false;
  std::memcpy(InstallDir, start, length);
  InstallDir[length] = '\0';
  return true;
}
