// Started from a removable disk, the setup copies its program image into the temporary
// directory under the first free "_inst<n>.exe" and runs the copy with
// `/S "<setup path>" /DEL`. Drive A: is made a floppy drive for the test through Wine's
// mount manager, over a directory of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "resources/dialog_ids.h"
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

TEST(RemovableRelaunch, CopiesImageToNextFreeNameAndStartsIt) {
  const std::string disk = TestDirectory() + "floppy";
  CreateDirectoryA(disk.c_str(), nullptr);
  FloppyDrive drive(UnixPath(disk));
  ASSERT_TRUE(drive.defined()) << "Wine's mount manager did not define drive A: (error "
                               << drive.error() << ")";
  ASSERT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));

  const std::vector<uint8_t> setup = SetupWithPages();
  const size_t imageSize = SetupStub().size();
  const std::string setupPath = WriteTestFile("floppy\\setup.exe", setup);
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string taken = std::string(temp) + "_inst0.exe";
  const std::string copy = std::string(temp) + "_inst1.exe";
  DeleteFileA(copy.c_str());
  WriteTestFile("taken.bin", {'t', 'a', 'k', 'e', 'n'});
  ASSERT_TRUE(CopyFileA((TestDirectory() + "taken.bin").c_str(), taken.c_str(), FALSE));

  Process parent = StartProgram("A:\\setup.exe");
  ASSERT_NE(parent.handle, nullptr);
  const DWORD parentId = parent.id;
  EXPECT_EQ(FinishProgram(parent), 0u);  // the parent ends as soon as the copy runs

  SetupWindow search = {parentId, nullptr};
  EXPECT_TRUE(WaitUntil([&] {
    EnumWindows(FindOtherSetup, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  })) << "the copy did not show its wizard: it did not read the archive from A:";
  if (search.found != nullptr) {
    DWORD childId = 0;
    GetWindowThreadProcessId(search.found, &childId);
    Process child;
    child.id = childId;
    child.handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE |
                                   PROCESS_TERMINATE, FALSE, childId);
    ASSERT_NE(child.handle, nullptr);
    EXPECT_EQ(CommandLineOf(child.handle), copy + " /S \"A:\\setup.exe\" /DEL");
    HWND frame = WaitForFrameWithPage(search.found);
    EXPECT_NE(frame, nullptr);
    CloseSetup(search.found);
    EXPECT_EQ(FinishProgram(child), 0u);
  }

  const std::vector<uint8_t> copied = ReadTestFile(copy);
  ASSERT_EQ(copied.size(), imageSize);
  EXPECT_TRUE(std::equal(copied.begin(), copied.end(), setup.begin()));
  EXPECT_EQ(ReadTestFile(taken).size(), 5u);  // the taken name was left alone
  bool pending = false;
  for (const std::string& entry : ReadMultiString(
           HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
           "PendingFileRenameOperations")) {
    if (lstrcmpiA(entry.c_str(), ("\\??\\" + copy).c_str()) == 0) pending = true;
  }
  EXPECT_TRUE(pending) << "the copy did not mark itself for deletion";
  DeleteFileA(taken.c_str());
  DeleteFileA(copy.c_str());
  DeleteFileA(setupPath.c_str());
}

}  // namespace
