// Setup files and process helpers for the Windows tests.
#include "support/test_setups.h"

#include <cstdio>
#include <stdexcept>

#include "archive/archive_format.h"
#include "support/dialog_templates.h"

#ifndef LODRUN_SETUP_EXE
#error "LODRUN_SETUP_EXE names the built setup program"
#endif

namespace test_setups {

std::vector<uint8_t> SetupStub() { return ReadTestFile(LODRUN_SETUP_EXE); }

std::vector<uint8_t> EmptySetup() { return ArchiveWriter(SetupStub()).Finish(); }

std::vector<uint8_t> SetupWithPages() {
  ArchiveWriter writer(SetupStub());
  writer.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES,
                        test_templates::TemplateBlock({{TEMPLATE_FRAME_WINDOWED, test_templates::FrameTemplate()},
                                                       {TEMPLATE_TEXT_PAGE, test_templates::PageTemplate()}}),
                        false);
  return writer.Finish();
}

std::string TestDirectory() {
  char temp[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) throw std::runtime_error("no temporary directory");
  std::string directory = std::string(temp) + "lodrun-session-tests\\";
  CreateDirectoryA(directory.c_str(), nullptr);
  return directory;
}

std::string WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TestDirectory() + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + path);
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  if (written != bytes.size()) throw std::runtime_error("cannot write " + path);
  return path;
}

void RemoveTree(const std::string& path) {
  std::string root = path;
  while (root.size() > 3 && root.back() == '\\') root.pop_back();
  SetFileAttributesA(root.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((root + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") RemoveTree(root + "\\" + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (!RemoveDirectoryA(root.c_str())) DeleteFileA(root.c_str());
}

std::vector<uint8_t> ReadTestFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error("cannot open " + path);
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  std::fclose(file);
  return bytes;
}

Process StartProgram(const std::string& path, const std::string& arguments) {
  std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Process process;
  // Wine has been seen to refuse a start now and then on a loaded machine; a second try after
  // a pause tells that apart from a program that cannot start, which fails both.
  for (int attempt = 0; attempt < PROCESS_START_ATTEMPTS; ++attempt) {
    if (attempt != 0) Sleep(PROCESS_START_PAUSE_MS);
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
      CloseHandle(info.hThread);
      process.handle = info.hProcess;
      process.id = info.dwProcessId;
      return process;
    }
    const DWORD error = GetLastError();
    std::fprintf(stderr, "cannot start %s (%s): error %lu\n", path.c_str(),
                 GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "no such file" : "file present",
                 static_cast<unsigned long>(error));
  }
  return process;
}

DWORD FinishProgram(Process& process, DWORD timeoutMs) {
  if (process.handle == nullptr) return EXIT_TIMED_OUT;
  DWORD code = EXIT_TIMED_OUT;
  if (WaitForSingleObject(process.handle, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.handle, &code);
  } else {
    TerminateProcess(process.handle, EXIT_TIMED_OUT);
    WaitForSingleObject(process.handle, PROCESS_TIMEOUT_MS);
  }
  CloseHandle(process.handle);
  process.handle = nullptr;
  return code;
}

DWORD RunProgram(const std::string& path, const std::string& arguments) {
  Process process = StartProgram(path, arguments);
  return FinishProgram(process);
}

namespace {

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  char className[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) &&
      GetClassNameA(window, className, sizeof className) && lstrcmpA(className, "LodrunClass") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForMainWindow(const Process& process, DWORD timeoutMs) {
  WindowSearch search = {process.id, nullptr};
  WaitUntil([&] {
    if (WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0) return true;  // it died
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, timeoutMs);
  return search.found;
}

std::vector<std::string> ReadMultiString(HKEY root, const char* key, const char* value) {
  std::vector<std::string> strings;
  HKEY handle;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return strings;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(handle, value, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    std::vector<char> data(size + 2, '\0');
    if (RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      // Empty strings are kept: a pending deletion is a path followed by an empty target.
      for (size_t at = 0; at < size;) {
        std::string s(data.data() + at);
        at += s.size() + 1;
        if (at > size) break;
        strings.push_back(s);
      }
    }
  }
  RegCloseKey(handle);
  return strings;
}

void CloseSetup(HWND mainWindow) { PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }

HWND WaitForFrameWithPage(HWND mainWindow) {
  HWND frame = nullptr;
  WaitUntil([&] {
    frame = FindWindowExA(mainWindow, nullptr, "#32770", nullptr);
    return frame != nullptr && FindWindowExA(frame, nullptr, "#32770", nullptr) != nullptr;
  });
  return frame;
}

}  // namespace test_setups
