// Setup files for the Windows tests, built from the real setup program and run as separate
// processes; with helpers to wait for their windows and to read back what they did.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "builder/setup/archive_writer.h"

namespace test_setups {

// Every wait is bounded: the programs run under Wine, possibly emulated, so allow plenty.
constexpr DWORD PROCESS_TIMEOUT_MS = 90000;
constexpr int PROCESS_START_ATTEMPTS = 3;
constexpr DWORD PROCESS_START_PAUSE_MS = 500;
constexpr DWORD WINDOW_TIMEOUT_MS = 60000;
constexpr DWORD POLL_INTERVAL_MS = 50;
constexpr DWORD EXIT_TIMED_OUT = 0xDEADDEADu;

// The built setup program (ImageSize 0: it carries no archive).
std::vector<uint8_t> SetupStub();

// A setup with no blocks but BLOCK_END; and one with the windowed frame (template 0) and
// a page template 5, so that it stays on its first page until cancelled.
std::vector<uint8_t> EmptySetup();
std::vector<uint8_t> SetupWithPages();

// A directory of its own under the system's temporary directory, with a trailing backslash.
std::string TestDirectory();
std::string WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadTestFile(const std::string& path);
// Removes a file, or a directory with everything in it, read-only files included; a
// trailing backslash is allowed.
void RemoveTree(const std::string& path);

struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};

// Starts "<path>" <arguments>; handle is null when it could not be started.
Process StartProgram(const std::string& path, const std::string& arguments = "");
// Waits for the process to end and returns its exit code, or EXIT_TIMED_OUT after
// terminating it; closes the handle.
DWORD FinishProgram(Process& process, DWORD timeoutMs = PROCESS_TIMEOUT_MS);
DWORD RunProgram(const std::string& path, const std::string& arguments = "");

// The visible top-level window of the setup class that belongs to the process, or null
// when none appeared in time (or the process ended).
HWND WaitForMainWindow(const Process& process, DWORD timeoutMs = WINDOW_TIMEOUT_MS);
// The main window's frame dialog once its first page is open, or null. The main window
// shows before the page loop starts, and a cancel sent before the page exists would be lost.
HWND WaitForFrameWithPage(HWND mainWindow);
// Ends the open page of a running setup as cancelled, without a question, through the main
// window's close command; without a closing page template the setup then ends.
void CloseSetup(HWND mainWindow);
// Polls until condition() holds; false on timeout.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = WINDOW_TIMEOUT_MS) {
  for (DWORD waited = 0; waited < timeoutMs; waited += POLL_INTERVAL_MS) {
    if (condition()) return true;
    Sleep(POLL_INTERVAL_MS);
  }
  return condition();
}

// The strings of a REG_MULTI_SZ value, or none when the value is absent.
std::vector<std::string> ReadMultiString(HKEY root, const char* key, const char* value);

}  // namespace test_setups
