// What follows the last wizard page: the screen saver and the run-at-end program that the
// installation asked for, and the end of the main window.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"

// "rundll32 desk.cpl,InstallScreenSaver <path>" and its terminator.
constexpr char SCREEN_SAVER_COMMAND_FORMAT[] = "rundll32 desk.cpl,InstallScreenSaver %s";
constexpr uint32_t SCREEN_SAVER_COMMAND_SIZE =
    sizeof(SCREEN_SAVER_COMMAND_FORMAT) - 2 + PATH_BUFFER_SIZE;  // "%s" replaced by a path
// A program path, quoted when it holds a space, and its terminator.
constexpr uint32_t PROGRAM_COMMAND_SIZE = PATH_BUFFER_SIZE + 2;

// In order: installs the screen saver, destroys the main window and dispatches its last
// messages, then starts the run-at-end program when the user agreed. Nothing is waited for.
void RunAfterWizardActions();

// Destroys MainWindow and dispatches messages until the quit message that its destruction
// posts. Does nothing when the window is already gone.
void CloseMainWindow();

// The command line that installs the screen saver at path (unquoted, as the screen-saver
// installer takes the rest of the line); false (out emptied) when it does not fit.
bool BuildScreenSaverCommand(char* out, uint32_t room, const char* path);

// The command line that starts the program at path without arguments, quoted when the path
// holds a space; false (out emptied) when it does not fit.
bool BuildProgramCommand(char* out, uint32_t room, const char* path);
