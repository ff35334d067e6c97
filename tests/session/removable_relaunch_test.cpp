// Started from a removable disk, the setup copies its program image into the temporary
// directory under the first free "_inst<n>.exe" and runs the copy with
// `/S "<setup path>" /DEL`. Drive A: is made a floppy drive for the test through Wine's
// mount manager, over a directory of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/dialog_ids.h"
#include "support/temp_file.h"
#include "support/test_setups.h"

using namespace test_setups;

namespace {

// Wine's mount manager interface, as its drive configuration tool uses it.
constexpr DWORD MOUNT_MANAGER_TIMEOUT_MS = 20000;
constexpr wchar_t MOUNT_MANAGER[] = L"\\\\.\\MountPointManager";
constexpr DWORD DEFINE_UNIX_DRIVE =
    CTL_CODE(0x0000006D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};

// Drive A: over unixDirectory as a removable drive while the guard lives.
class FloppyDrive {
 public:
  // The mount manager runs in a Wine service that may still be starting: retried a while.
  explicit FloppyDrive(const std::string& unixDirectory) {
    defined_ = WaitUntil([&] { return Define(unixDirectory.c_str()); }, MOUNT_MANAGER_TIMEOUT_MS);
    if (!defined_) error_ = GetLastError();
  }
  ~FloppyDrive() {
    if (defined_) Define(nullptr);
  }
  bool defined() const { return defined_; }
  DWORD error() const { return error_; }

 private:
  static bool Define(const char* unixDirectory) {
    HANDLE manager = CreateFileW(MOUNT_MANAGER, GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    std::vector<char> buffer(sizeof(UnixDrive) + (unixDirectory ? strlen(unixDirectory) + 1 : 0));
    UnixDrive* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = unixDirectory ? DRIVE_REMOVABLE : DRIVE_NO_ROOT_DIR;
    drive->letter = L'a';
    if (unixDirectory) {
      strcpy(buffer.data() + sizeof(UnixDrive), unixDirectory);
      drive->mountPointOffset = sizeof(UnixDrive);
    }
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(manager, DEFINE_UNIX_DRIVE, buffer.data(), drive->size, nullptr, 0,
                              &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
  }

  bool defined_ = false;
  DWORD error_ = 0;
};

std::string UnixPath(const std::string& dosPath) {
  using ToUnix = char* (CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  if (toUnix == nullptr) return "";
  std::wstring wide(dosPath.begin(), dosPath.end());
  char* unixPath = toUnix(wide.c_str());
  if (unixPath == nullptr) return "";
  std::string result(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// The command line of another process, read from its process parameters.
std::string CommandLineOf(HANDLE process) {
  using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess"));
  PROCESS_BASIC_INFORMATION basic = {};
  if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return "";
  }
  PEB peb = {};
  RTL_USER_PROCESS_PARAMETERS parameters = {};
  if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
      !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr)) {
    return "";
  }
  std::wstring text(parameters.CommandLine.Length / sizeof(WCHAR), L'\0');
  if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0],
                         parameters.CommandLine.Length, nullptr)) {
    return "";
  }
  return std::string(text.begin(), text.end());  // the test's paths are ASCII
}

struct SetupWindow {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindOtherSetup(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<SetupWindow*>(context);
  char className[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId && GetClassNameA(window, className, sizeof className) &&
      lstrcmpA(className, "LodrunClass") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// What one start from drive A: left behind; each case below checks one part of it.
struct RelaunchTraces {
  bool driveDefined = false;
  DWORD driveError = 0;
  UINT driveType = DRIVE_UNKNOWN;
  DWORD parentExit = ~0u;
  bool wizardShown = false;
  std::string copyCommandLine;
  DWORD copyExit = ~0u;
  std::vector<uint8_t> copied;
  size_t takenSize = 0;
  bool markedForDeletion = false;
};

std::string TempName(const char* name) {
  char temp[MAX_PATH];
  return GetTempPathA(MAX_PATH, temp) > 0 ? std::string(temp) + name : std::string(name);
}

// Starts A:\setup.exe with "_inst0.exe" taken, waits for the copy's wizard and closes it.
void WatchTheCopy(DWORD parentId, RelaunchTraces* traces) {
  SetupWindow search = {parentId, nullptr};
  traces->wizardShown = WaitUntil([&] {
    EnumWindows(FindOtherSetup, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (!traces->wizardShown) return;
  DWORD childId = 0;
  GetWindowThreadProcessId(search.found, &childId);
  Process child;
  child.id = childId;
  child.handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE | PROCESS_TERMINATE,
                             FALSE, childId);
  if (child.handle == nullptr) return;
  traces->copyCommandLine = CommandLineOf(child.handle);
  traces->wizardShown = WaitForFrameWithPage(search.found) != nullptr;
  CloseSetup(search.found);
  traces->copyExit = FinishProgram(child);
}

class RemovableRelaunch : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    traces = new RelaunchTraces;
    const std::string disk = TestDirectory() + "floppy";
    CreateDirectoryA(disk.c_str(), nullptr);
    setupFile = new RemovedFile(WriteTestFile("floppy\\setup.exe", SetupWithPages()));
    takenFile = new RemovedFile(TempName("_inst0.exe"));
    copyFile = new RemovedFile(TempName("_inst1.exe"));
    DeleteFileA(copyFile->Path().c_str());  // the name the copy must take
    CopyFileA(WriteTestFile("taken.bin", {'t', 'a', 'k', 'e', 'n'}).c_str(), takenFile->Path().c_str(), FALSE);
    FloppyDrive drive(UnixPath(disk));
    traces->driveDefined = drive.defined();
    traces->driveError = drive.error();
    if (!drive.defined()) return;
    traces->driveType = GetDriveTypeA("A:\\");
    Process parent = StartProgram("A:\\setup.exe");
    if (parent.handle == nullptr) return;
    const DWORD parentId = parent.id;
    traces->parentExit = FinishProgram(parent);
    WatchTheCopy(parentId, traces);
    traces->copied = ReadTestFile(copyFile->Path());
    traces->takenSize = ReadTestFile(takenFile->Path()).size();
    for (const std::string& entry : ReadMultiString(
             HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
             "PendingFileRenameOperations")) {
      if (lstrcmpiA(entry.c_str(), ("\\??\\" + copyFile->Path()).c_str()) == 0) traces->markedForDeletion = true;
    }
  }
  static void TearDownTestSuite() {
    delete copyFile;
    delete takenFile;
    delete setupFile;
    delete traces;
  }
  void SetUp() override {
    ASSERT_TRUE(traces->driveDefined) << "Wine's mount manager did not define drive A: (error "
                                      << traces->driveError << ")";
    ASSERT_EQ(traces->driveType, static_cast<UINT>(DRIVE_REMOVABLE));
  }

  static RelaunchTraces* traces;
  static RemovedFile* setupFile;
  static RemovedFile* takenFile;
  static RemovedFile* copyFile;
};
RelaunchTraces* RemovableRelaunch::traces = nullptr;
RemovedFile* RemovableRelaunch::setupFile = nullptr;
RemovedFile* RemovableRelaunch::takenFile = nullptr;
RemovedFile* RemovableRelaunch::copyFile = nullptr;

TEST_F(RemovableRelaunch, CopiesTheProgramImageUnderTheFirstFreeName) {
  const std::vector<uint8_t> setup = SetupWithPages();
  ASSERT_EQ(traces->copied.size(), SetupStub().size());
  EXPECT_TRUE(std::equal(traces->copied.begin(), traces->copied.end(), setup.begin()));
  EXPECT_EQ(traces->takenSize, 5u);  // the taken name was left alone
}

TEST_F(RemovableRelaunch, TheParentEndsAndTheCopyGetsTheSourceAndDeleteSwitches) {
  EXPECT_EQ(traces->parentExit, 0u);  // the parent ends as soon as the copy runs
  EXPECT_EQ(traces->copyCommandLine, copyFile->Path() + " /S \"A:\\setup.exe\" /DEL");
}

TEST_F(RemovableRelaunch, TheCopyReadsTheArchiveFromTheDisk) {
  EXPECT_TRUE(traces->wizardShown) << "the copy did not show its wizard: it did not read the archive from A:";
  EXPECT_EQ(traces->copyExit, 0u);
}

TEST_F(RemovableRelaunch, TheCopyMarksItselfForDeletion) {
  EXPECT_TRUE(traces->markedForDeletion) << "the copy did not mark itself for deletion";
}

}  // namespace
