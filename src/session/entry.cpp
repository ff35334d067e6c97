// The program's entry: start-up, the wizard inside the main window, and the shutdown.
// Exit code 0 for every ordinary end; -1 when the setup archive cannot be loaded (after the
// system's message for a damaged file) or the main window cannot be created. A quiet run
// (/Q) shows nothing and ends with a QuietExit code.
#include <windows.h>
#include <ole2.h>

#include "archive/setup_archive.h"
#include "archive/templates.h"
#include "base/session_paths.h"
#include "engine/default_dir.h"
#include "engine/target_paths.h"
#include "session/after_wizard.h"
#include "session/command_line.h"
#include "session/main_window.h"
#include "session/page_loop.h"
#include "session/quiet_install.h"
#include "session/relaunch.h"
#include "session/session.h"
#include "session/session_win32.h"
#include "session/single_instance.h"
#include "system/program_file.h"
#include "system/self_delete.h"
#include "wizard/frame_dialog.h"
#include "wizard/page_setup.h"
#include "wizard/page_table.h"
#include "wizard/wizard.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_SETUP_FAILED = -1;  // the archive cannot be loaded or the window made
constexpr DWORD DAMAGED_TEXT_SIZE = 512;

bool BeginSession(HINSTANCE instance) {
  ProgramInstance = instance;
  OleInitialize(nullptr);
  CreateDialogBrush();
  if (!AllocateSessionPaths()) return false;
  GetOwnPath(SourcePath);
  return true;
}

void EndSession() {
  OleUninitialize();
  FreeSessionPaths();
  DeleteDialogBrush();
  DeleteDialogFont();
}

// A setup that cannot be loaded is damaged: the system's own words say so (the program has
// no words of its own before its archive is loaded).
void ShowDamagedSetup() {
  char text[DAMAGED_TEXT_SIZE];
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_CORRUPT, 0,
                     text, sizeof text, nullptr) != 0) {
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONSTOP);
  }
}

// Ends the program after a failure of loading or of the main window.
int EndFailedSession() {
  FreeSetupArchive();
  EndSession();
  return EXIT_SETUP_FAILED;
}

// The frame dialog and the page loop inside it. Without a frame no page is shown.
void RunWizard() {
  const bool fullScreen = (Archive.SetupFlags & SETUP_FLAG_FULL_SCREEN) != 0;
  void* frameTemplate =
      GetTemplateCopy(fullScreen ? TEMPLATE_FRAME_FULL_SCREEN : TEMPLATE_FRAME_WINDOWED);
  if (frameTemplate != nullptr && CreateFrameDialog(frameTemplate)) {
    if (!fullScreen) FitMainWindowToFrame(FrameDialog);
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    UpdateWindow(MainWindow);
    RunPageLoop(Archive.startPage, RunTablePage);
    DestroyFrameDialog();
  }
  FreeTemplateCopy(frameTemplate);
}

// The quiet run: no window, no box, and an exit code for every end.
int RunQuietSession() {
  QuietExit result = QUIET_REFUSED;
  if (LoadSetupArchive()) {
    ResolveDefaultDir();
    if (ApplyInstallDirSwitch()) result = RunQuietInstallation();
  }
  FreeSetupArchive();
  EndSession();
  return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  if (!BeginSession(instance)) {
    EndSession();
    return EXIT_SETUP_FAILED;
  }
  ParseCommandLine(commandLine);
  if (ActivateRunningInstance()) {
    EndSession();
    return QuietInstall ? QUIET_REFUSED : EXIT_OK;
  }
  if (DeleteSelfFlag) ScheduleSelfDeletion();
  if (QuietInstall) return RunQuietSession();
  if (!DeleteSelfFlag && RelaunchFromRemovableDisk(showCommand)) {
    EndSession();
    return EXIT_OK;
  }
  if (!RegisterMainWindowClass()) {
    EndSession();
    return EXIT_OK;
  }
  ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (!LoadSetupArchive()) {
    ShowDamagedSetup();
    return EndFailedSession();
  }
  ResolveDefaultDir();
  ApplyInstallDirSwitch();  // a folder that does not fit leaves the default
  if (!CreateMainWindow()) return EndFailedSession();
  RunWizard();
  RunAfterWizardActions();
  FreeSetupArchive();
  EndSession();
  return EXIT_OK;
}
