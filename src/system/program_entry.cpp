// The entry point of both programs, in place of the C runtime's start-up: the programs have
// no static constructors, no thread-local data and nothing to run at exit, so the start-up
// would only bring its own code and imports. It gives WinMain what the runtime would (the
// command line behind the program's name and the show state the program was started with)
// and ends the process with WinMain's result.
#include <windows.h>

#include "system/switches.h"

// The stack may be aligned to 4 bytes only when the system calls the entry point.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void ProgramEntry() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  char* arguments = const_cast<char*>(CommandTail(GetCommandLineA()));
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, showCommand)));
}
