// The after-wizard actions, run once the frame dialog is gone.
#include "session/after_wizard.h"

#include <windows.h>

#include <cstring>

#include "base/session_paths.h"
#include "engine/install_state.h"
#include "engine/target_paths.h"
#include "wizard/wizard.h"

namespace {

// The entry's target path in TargetPath; false when it has none (too long to hold).
bool ResolveTarget(const FileEntry* entry) { return ResolveTargetPath(entry) != TARGET_TOO_LONG; }

void StartCommand(const char* commandLine) { WinExec(commandLine, SW_SHOWNORMAL); }

}  // namespace

bool BuildScreenSaverCommand(char* out, uint32_t room, const char* path) {
  const size_t needed = sizeof(SCREEN_SAVER_COMMAND_FORMAT) - 2 + std::strlen(path);
  if (needed > room) {
    out[0] = '\0';
    return false;
  }
  wsprintfA(out, SCREEN_SAVER_COMMAND_FORMAT, path);
  return true;
}

bool BuildProgramCommand(char* out, uint32_t room, const char* path) {
  const size_t length = std::strlen(path);
  const bool quote = std::strchr(path, ' ') != nullptr;
  if (length + (quote ? 2 : 0) >= room) {
    out[0] = '\0';
    return false;
  }
  char* cursor = out;
  if (quote) *cursor++ = '"';
  std::memcpy(cursor, path, length);
  cursor += length;
  if (quote) *cursor++ = '"';
  *cursor = '\0';
  return true;
}

void CloseMainWindow() {
  if (MainWindow == nullptr || !IsWindow(MainWindow)) {
    MainWindow = nullptr;
    return;
  }
  DestroyWindow(MainWindow);
  MainWindow = nullptr;
  // The main window posts the quit message when it is destroyed.
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunAfterWizardActions() {
  if (ScreenSaverEntry != nullptr && ResolveTarget(ScreenSaverEntry)) {
    char command[SCREEN_SAVER_COMMAND_SIZE];
    if (BuildScreenSaverCommand(command, sizeof command, TargetPath)) StartCommand(command);
  }
  CloseMainWindow();
  if (RunAtEndChecked && RunAtEndEntry != nullptr && ResolveTarget(RunAtEndEntry)) {
    char command[PROGRAM_COMMAND_SIZE];
    if (BuildProgramCommand(command, sizeof command, TargetPath)) StartCommand(command);
  }
}
