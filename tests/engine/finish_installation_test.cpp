// The end of a run: the uninstall data appended to the installed uninstall program, the
// program-group shortcuts, and the application's Uninstall entry; nothing of it after a
// failed run.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "base/byte_order.h"
#include "engine/file_table.h"
#include "install_run.h"
#include "support/fixtures/fixtures.h"

using namespace engine_test;

namespace {

constexpr char APP_NAME[] = "Lodrun Finish Test";
constexpr char GROUP_FOLDER[] = "Lodrun Finish Test Group";
const std::string UNINSTALL_KEY = std::string(UNINSTALL_KEY_PREFIX) + APP_NAME;

// An uninstall program as the builder ships it: some bytes, then the 8-byte end header.
std::vector<uint8_t> UninstallProgram() {
  std::vector<uint8_t> program = Content(1000, 70);
  PutU16(program, BLOCK_END);
  PutU16(program, 0);
  PutU32(program, 0);
  return program;
}

std::string RegistryText(const std::string& key, const char* value) {
  char text[MAX_PATH] = "";
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "";
  DWORD length = sizeof text;
  if (RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &length) !=
      ERROR_SUCCESS) {
    text[0] = '\0';
  }
  RegCloseKey(opened);
  return text;
}

class Finish : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    group_ = std::string(programs) + "\\" + GROUP_FOLDER;
    RemoveTree(group_);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
  }
  void TearDown() override {
    RemoveTree(group_);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    CoUninitialize();
  }
  std::vector<FileInput> Files(bool withUninstaller) {
    FileInput program = Input("program.txt", Content(300, 71));
    program.record.groupFolder = GROUP_FOLDER;
    program.record.groupShortcut = "Program";
    std::vector<FileInput> files = {program, Input("Help\\guide.txt", Content(50, 72))};
    if (withUninstaller) {
      FileInput uninstaller = Input("uninst.exe", UninstallProgram());
      uninstaller.record.flags = FE_UNINSTALLER;
      files.push_back(uninstaller);
    }
    return files;
  }
  EngineSession session_;
  ScratchDirectory directory_{"finish"};
  std::string group_;
};

TEST_F(Finish, UninstallDataIsAppendedAndTheApplicationRegistered) {
  InstallRun run(directory_);
  run.Load(Files(true), APP_NAME);
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  const std::vector<uint8_t> program = ReadBytes(run.Target("uninst.exe"));
  const size_t start = UninstallProgram().size();  // S: the data begin where the end header was
  ASSERT_GT(program.size(), start + 8);
  EXPECT_EQ(LoadU16LE(&program[start - 8]), UNINSTALL_FILES);
  EXPECT_EQ(LoadU32LE(&program[start]), 2u);  // program.txt and guide.txt; not uninst.exe
  const std::vector<uint8_t> end(program.end() - 8, program.end());
  EXPECT_EQ(end, (std::vector<uint8_t>{0x7F, 0x7F, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "DisplayName"), APP_NAME);
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "UninstallString"), run.Target("uninst.exe"));
  EXPECT_TRUE(Exists(group_ + "\\Program.lnk"));
}

TEST_F(Finish, WithoutUninstallProgramShortcutsAreMadeButNothingIsRegistered) {
  InstallRun run(directory_);
  run.Load(Files(false), APP_NAME);
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_TRUE(Exists(group_ + "\\Program.lnk"));
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "DisplayName"), "");
}

TEST_F(Finish, EmptyApplicationNameWritesDataWithoutTheKey) {
  InstallRun run(directory_);
  run.Load(Files(true), "");
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  const std::vector<uint8_t> program = ReadBytes(run.Target("uninst.exe"));
  EXPECT_GT(program.size(), UninstallProgram().size());
  const std::string text(program.begin(), program.end());
  EXPECT_EQ(text.find("CurrentVersion\\Uninstall"), std::string::npos);  // no key block
}

TEST_F(Finish, FailedRunWritesNoDataNoShortcutAndNoEntry) {
  InstallRun run(directory_);
  std::vector<FileInput> files = Files(true);
  std::swap(files[0], files[2]);  // the uninstall program first, so that it is placed
  run.CorruptStream(2, 10);       // then program.txt fails
  run.Load(files, APP_NAME);
  EXPECT_EQ(run.RunAll(), INSTALL_ERROR_CHECKSUM);
  EXPECT_EQ(ReadBytes(run.Target("uninst.exe")), UninstallProgram());  // left as placed
  EXPECT_FALSE(Exists(group_));
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "DisplayName"), "");
  EXPECT_EQ(run.finished, 1);
}

// Replaced over a read-only one, the new program is read-only too: it takes its data all
// the same, and keeps its attribute.
TEST_F(Finish, ReadOnlyUninstallProgramStillReceivesItsData) {
  InstallRun run(directory_);
  directory_.MakeDirectories("target");
  const std::string program = run.Target("uninst.exe");
  FILE* old = std::fopen(program.c_str(), "wb");
  ASSERT_NE(old, nullptr);
  std::fclose(old);
  SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY);
  run.Load(Files(true), APP_NAME);
  ASSERT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_GT(ReadBytes(program).size(), UninstallProgram().size());
  EXPECT_NE(GetFileAttributesA(program.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "UninstallString"), program);
  SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Held by another program when the data are due: the run fails on it, and the application
// is not listed with a program that knows nothing of it.
TEST_F(Finish, UninstallProgramThatCannotTakeItsDataIsNeverRegistered) {
  InstallRun run(directory_);
  run.Load(Files(true), APP_NAME);
  ASSERT_TRUE(OpenDataArea(nullptr));
  while (InstallNextFile()) {
  }
  ASSERT_EQ(InstallError, INSTALL_OK);
  {
    FileLocker locker(run.Target("uninst.exe"));
    ASSERT_TRUE(locker.Locked());
    FinishInstallation();
  }
  EXPECT_EQ(InstallError, INSTALL_ERROR_NOT_PLACED);
  EXPECT_EQ(std::string(ErrorPath), run.Target("uninst.exe"));
  EXPECT_NE(InstallErrorReason, 0u);
  EXPECT_EQ(ReadBytes(run.Target("uninst.exe")), UninstallProgram());
  EXPECT_EQ(RegistryText(UNINSTALL_KEY, "DisplayName"), "");
  EXPECT_FALSE(Exists(group_));
}

}  // namespace
