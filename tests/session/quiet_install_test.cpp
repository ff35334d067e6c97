// The quiet installation (/Q, /D=) as an administrator runs it: no window and no question,
// every end told by the exit code; and the entry of the list of installed programs that a
// setup with its block writes, gone again after the uninstall.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session/quiet_install.h"
#include "support/fixtures/fixtures.h"
#include "uninstall/installations.h"

using namespace uninstall_test;

namespace {

constexpr char APP[] = "Lodrun Quiet";
constexpr DWORD COPY_DONE_MS = 30000;

class QuietInstall : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  void Clean() {
    RemoveTree(folder_);
    RemoveTree(other_);
    DeleteMachineKey(Key(APP));
  }
  WizardOptions Options(std::vector<FileInput> files = {}) {
    WizardOptions options;
    options.appName = APP;
    options.defaultDir = folder_;
    options.files = {Uninstaller(APP), File("bin\\tool.exe", Pattern(5000, 3)), File("readme.txt", Pattern(300, 4))};
    options.files.insert(options.files.end(), files.begin(), files.end());
    return options;
  }
  DWORD RunQuiet(const WizardOptions& options, const std::string& arguments = "/Q") {
    return RunProgram(WriteTestFile("quiet setup.exe", WizardSetup(options)), arguments);
  }
  const std::string folder_ = TestDirectory() + "quiet";
  const std::string other_ = TestDirectory() + "Some Folder";
};

TEST_F(QuietInstall, InstallsIntoTheDefaultFolderAndExitsZero) {
  EXPECT_EQ(RunQuiet(Options()), DWORD(QUIET_INSTALLED));
  EXPECT_EQ(ReadTestFile(folder_ + "\\bin\\tool.exe"), Pattern(5000, 3));
  EXPECT_TRUE(Exists(folder_ + "\\readme.txt"));
  EXPECT_EQ(MachineString(Key(APP), "UninstallString"), folder_ + "\\uninst.exe");
}

TEST_F(QuietInstall, FolderOfTheDSwitchMayHoldSpacesAndIsCreated) {
  for (const std::string& arguments : {"/Q /D=" + other_, "-q /d=" + other_ + "  ", "/Q /D=\"" + other_ + "\""}) {
    EXPECT_EQ(RunQuiet(Options(), arguments), DWORD(QUIET_INSTALLED)) << arguments;
    EXPECT_TRUE(Exists(other_ + "\\bin\\tool.exe")) << arguments;
    EXPECT_FALSE(Exists(folder_)) << arguments;
    EXPECT_EQ(MachineString(Key(APP), "UninstallString"), other_ + "\\uninst.exe") << arguments;
    RemoveTree(other_);
  }
}

TEST_F(QuietInstall, NewerExistingFileIsKept) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(FixturePath("fixture_v2_0.dll").c_str(), (folder_ + "\\lib.dll").c_str(), FALSE));
  const std::vector<uint8_t> newer = ReadTestFile(folder_ + "\\lib.dll");
  FileInput older = File("lib.dll", Pattern(3000, 5));
  older.record.flags = FE_VERSION_CHECK;
  older.record.productVersionMS = older.record.fileVersionMS = 0x00010005;
  older.record.language = 0x0409;
  EXPECT_EQ(RunQuiet(Options({older})), DWORD(QUIET_INSTALLED));
  EXPECT_EQ(ReadTestFile(folder_ + "\\lib.dll"), newer);
  EXPECT_TRUE(Exists(folder_ + "\\readme.txt"));
}

TEST_F(QuietInstall, FileInUseFailsTheRunAndNothingIsRegistered) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  WriteTestFile("quiet\\readme.txt", Pattern(10, 9));
  FileLocker locker(folder_ + "\\readme.txt");
  ASSERT_TRUE(locker.Locked());
  EXPECT_EQ(RunQuiet(Options()), DWORD(QUIET_FAILED));
  EXPECT_FALSE(MachineKeyExists(Key(APP)));
}

TEST_F(QuietInstall, MissingVolumeFailsTheRun) {
  const std::vector<std::vector<uint8_t>> volumes = WizardSetupVolumes(Options(), 2000);
  ASSERT_GE(volumes.size(), 3u);
  const std::string setup = WriteTestFile("quiet volumes.exe", volumes[0]);
  WriteTestFile("quiet volumes.D01", volumes[1]);  // the volumes from 2 on are missing
  EXPECT_EQ(RunProgram(setup, "/Q"), DWORD(QUIET_FAILED));
  EXPECT_FALSE(MachineKeyExists(Key(APP)));
  EXPECT_FALSE(Exists(folder_ + "\\readme.txt"));
  DeleteFileA((TestDirectory() + "quiet volumes.D01").c_str());
}

// Damaged blocks are refused before anything is done, without a box nobody would answer;
// damaged data fails the run that it stops.
TEST_F(QuietInstall, DamagedSetupIsRefusedAndDamagedDataFailsTheRun) {
  const std::vector<uint8_t> setup = WizardSetup(Options());
  std::vector<uint8_t> damaged(setup.begin(), setup.begin() + std::ptrdiff_t(SetupStub().size() + 20));
  EXPECT_EQ(RunProgram(WriteTestFile("quiet damaged.exe", damaged), "/Q"), DWORD(QUIET_REFUSED));
  EXPECT_FALSE(Exists(folder_));
  damaged.assign(setup.begin(), setup.end() - 100);  // the last file's data cut short
  EXPECT_EQ(RunProgram(WriteTestFile("quiet damaged.exe", damaged), "/Q"), DWORD(QUIET_FAILED));
  EXPECT_FALSE(Exists(folder_ + "\\readme.txt"));
  EXPECT_FALSE(MachineKeyExists(Key(APP)));
}

TEST_F(QuietInstall, SecondInstanceBesideARunningWizardIsRefused) {
  RunningSetup wizard;
  ASSERT_TRUE(StartSetup(WriteTestFile("quiet wizard.exe", WizardSetup(Options())), &wizard));
  EXPECT_EQ(RunQuiet(Options()), DWORD(QUIET_REFUSED));
  EXPECT_FALSE(Exists(folder_ + "\\readme.txt"));
  CloseWizard(wizard);
}

// Without its block a setup lists what it always did: the name and the uninstall program.
TEST_F(QuietInstall, SetupWithoutTheEntryBlockListsOnlyNameAndUninstallString) {
  ASSERT_EQ(RunQuiet(Options()), DWORD(QUIET_INSTALLED));
  std::vector<std::string> names = MachineValueNames(Key(APP));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DisplayName", "UninstallString"}));
}

TEST_F(QuietInstall, EntryBlockFillsTheListOfInstalledProgramsUntilTheUninstall) {
  WizardOptions options = Options();
  options.appEntry = AppEntryBlock(1, 2, "1.2.3", "Lodrun Makers", "https://lodrun.test/app");
  ASSERT_EQ(RunQuiet(options), DWORD(QUIET_INSTALLED));
  const std::string key = Key(APP);
  EXPECT_EQ(MachineString(key, "DisplayVersion"), "1.2.3");
  EXPECT_EQ(MachineString(key, "Publisher"), "Lodrun Makers");
  EXPECT_EQ(MachineString(key, "URLInfoAbout"), "https://lodrun.test/app");
  EXPECT_EQ(MachineString(key, "DisplayIcon"), folder_ + "\\bin\\tool.exe,2");
  EXPECT_EQ(MachineString(key, "InstallLocation"), folder_);
  // Each record's bytes (the uninstall program's as the setup carries it) in whole KB.
  DWORD kb = 0;
  for (const FileInput& file : options.files) kb += DWORD((file.content.size() + 1023) / 1024);
  EXPECT_EQ(MachineNumber(key, "EstimatedSize", 0), kb);
  EXPECT_EQ(MachineNumber(key, "NoModify", 0), 1u);
  EXPECT_EQ(MachineNumber(key, "NoRepair", 0), 1u);
  const std::string program = MachineString(key, "UninstallString");
  ASSERT_EQ(RunProgram(program, "/S"), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !Exists(program); }, COPY_DONE_MS));
  EXPECT_FALSE(MachineKeyExists(key));
}

TEST_F(QuietInstall, EntryTextsThatDoNotEndInsideTheBlockAreRefused) {
  WizardOptions options = Options();
  options.appEntry = AppEntryBlock(APP_ENTRY_NO_ICON, 0, "1.0", "Makers", "");
  options.appEntry.pop_back();  // the web address has no terminator
  EXPECT_EQ(RunQuiet(options), DWORD(QUIET_REFUSED));
  EXPECT_FALSE(MachineKeyExists(Key(APP)));
}

}  // namespace
