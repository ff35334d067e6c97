// The uninstall program run as a user and an administrator run it: setups with every kind of
// record are installed (their progress page alone), then the program that the Uninstall
// entry names removes what they made and nothing else, tells what it could not remove, and
// refuses damaged data without touching anything.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "builder/setup/default_texts.h"
#include "builder/setup/uninstall_program.h"
#include "engine/finish_installation.h"
#include "engine/registrations.h"
#include "installations.h"
#include "resources/dialog_ids.h"
#include "support/fixtures/fixtures.h"
#include "support/system_state.h"
#include "support/uninstall_archive.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace uninstall_test;

namespace {

constexpr char GROUP_FOLDER[] = "Lodrun Uninstall Test";
constexpr char SHARED_NAME[] = "lodrun_uninstall_shared.dll";
constexpr char FONT_NAME[] = "LodrunUninstallSans.ttf";
constexpr DWORD COPY_DONE_MS = 30000;  // the temporary copy removes the program after it ends
constexpr DWORD EXIT_DONE_AT_RESTART = 3010;
constexpr char OTHER_APP[] = "Lodrun Other Application";

// One installation of a setup with every kind of record into its own folder.
struct Installation {
  std::string appName;
  std::string folder;  // no trailing backslash
  std::string Group() const { return ShellFolder(CSIDL_PROGRAMS) + "\\" + GROUP_FOLDER + "\\" + appName; }
  std::string GroupLink() const { return Group() + "\\Tool.lnk"; }
  std::string DesktopLink() const { return ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + appName + ".lnk"; }
  std::string Program() const { return folder + "\\uninst.exe"; }
};

// A screenshot of the message box that the program shows next.
void Shot(const Process& process, const char* name) {
  const HWND box = WaitForMessageBox(process);
  if (box != nullptr) Capture::OfWindow(box).Save(name);
}

// Whether the system holds a deletion at the next start for a path that contains part.
bool PendingDeletion(const std::string& part) {
  for (const std::string& entry : ReadMultiString(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                                  "PendingFileRenameOperations")) {
    if (entry.find(part) != std::string::npos) return true;
  }
  return false;
}

std::string SharedFile() { return SystemFolder() + "\\" + SHARED_NAME; }
std::string FontFile() { return FontsFolder() + "\\" + FONT_NAME; }

class UninstallRun : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    HKEY key = nullptr;  // every Windows has it; a new Wine prefix may not
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, &key) == ERROR_SUCCESS) RegCloseKey(key);
    for (const Installation& installation : {first_, second_}) Clean(installation);
  }
  void TearDown() override {
    for (const Installation& installation : {first_, second_}) Clean(installation);
    CoUninitialize();
  }
  void Clean(const Installation& installation) {
    RemoveTree(installation.folder);
    RemoveTree(ShellFolder(CSIDL_PROGRAMS) + "\\" + GROUP_FOLDER);
    DeleteFileA(installation.DesktopLink().c_str());
    DeleteFileA(SharedFile().c_str());
    RemoveFontResourceA(FontFile().c_str());
    DeleteFileA(FontFile().c_str());
    RemoveComServerMark();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, SharedFile().c_str());
      RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, Key(installation.appName).c_str());
  }

  std::vector<FileInput> Files(const Installation& installation) {
    FileInput uninstaller = Uninstaller(installation.appName);
    FileInput tool = File("bin\\tool.exe", Pattern(3000, 7));
    tool.record.groupFolder = std::string(GROUP_FOLDER) + "\\" + installation.appName;
    tool.record.groupShortcut = "Tool";
    tool.record.desktopShortcut = installation.appName;
    FileInput server = File("bin\\server.dll", ReadTestFile(FixturePath("fixture_com_server.dll")));
    server.record.registration = REGISTER_COM_SERVER;
    FileInput shared = File(SHARED_NAME, ReadTestFile(FixturePath("fixture_v2_0.dll")), DIR_SYSTEM);
    shared.record.shared = 1;
    std::vector<FileInput> files = {uninstaller, tool, server, shared,
                                    File(FONT_NAME, ReadTestFile(FontFixturePath()), DIR_FONTS)};
    for (int n = 0; n < 6; ++n) {
      files.push_back(File("data\\set " + std::to_string(n % 2) + "\\deep\\part" + std::to_string(n) + ".bin",
                           Pattern(200 + n, uint8_t(n + 1))));
    }
    return files;
  }
  // Installs through the setup's progress page alone, which stays with a full bar until
  // cancelled.
  void Install(const Installation& installation) {
    WizardOptions options;
    options.appName = installation.appName;
    options.defaultDir = installation.folder;
    options.startPage = PROGRESS_PAGE;
    options.files = Files(installation);
    ASSERT_TRUE(CreateDirectoryA(installation.folder.c_str(), nullptr));
    RunningSetup setup;
    ASSERT_TRUE(StartSetup(WriteTestFile(installation.appName + " setup.exe", WizardSetup(options)), &setup));
    const HWND page = CurrentPageOf(setup.frame);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(page, ID_PROGRESS_PERCENT) == "100%"; }));
    // The run is finished once the Uninstall entry is written, after the last file.
    EXPECT_TRUE(WaitUntil([&] { return !MachineString(Key(installation.appName), "UninstallString").empty(); }));
    Click(setup.frame, ID_CANCEL);
    ASSERT_EQ(FinishProgram(setup.process), 0u);
    ASSERT_TRUE(Exists(installation.folder + "\\data\\set 1\\deep\\part5.bin"));
    ASSERT_EQ(MachineString(Key(installation.appName), "UninstallString"), installation.Program());
  }
  // The program the Uninstall entry names, started with arguments.
  Process StartUninstall(const Installation& installation, const std::string& arguments = "") {
    return StartProgram(MachineString(Key(installation.appName), "UninstallString"), arguments);
  }
  // Waits for the temporary copy to take the program away.
  bool ProgramGone(const Installation& installation) {
    return WaitUntil([&] { return !Exists(installation.Program()); }, COPY_DONE_MS);
  }
  // Everything the setup made outside its folder is gone, and its folder's subfolders.
  void ExpectRemoved(const Installation& installation, bool sharedGone) {
    EXPECT_FALSE(Exists(installation.folder + "\\bin"));
    EXPECT_FALSE(Exists(installation.folder + "\\data"));
    EXPECT_FALSE(Exists(installation.GroupLink()));
    EXPECT_FALSE(Exists(installation.Group()));
    EXPECT_FALSE(Exists(installation.DesktopLink()));
    EXPECT_FALSE(MachineKeyExists(Key(installation.appName)));
    EXPECT_FALSE(ComServerMarked());
    EXPECT_FALSE(Exists(FontFile()));
    EXPECT_EQ(Exists(SharedFile()), !sharedGone);
  }

  Installation first_{"Lodrun Uninstall A", TestDirectory() + "uninstall-a"};
  Installation second_{"Lodrun Uninstall B", TestDirectory() + "uninstall-b"};
};

TEST_F(UninstallRun, RemovesWhatTheSetupMadeAndKeepsWhatTheUserAdded) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  EXPECT_TRUE(ComServerMarked());
  EXPECT_EQ(LinkTarget(first_.GroupLink()), first_.folder + "\\bin\\tool.exe");
  const std::string userFile = first_.folder + "\\notes of the user.txt";
  WriteTestFile("uninstall-a\\notes of the user.txt", Pattern(10, 1));
  ASSERT_TRUE(Exists(userFile));

  Process uninstall = StartUninstall(first_);
  Shot(uninstall, "uninstall-confirm");
  EXPECT_EQ(AnswerMessageBox(uninstall, IDYES), DefaultUninstallTexts(first_.appName)[UNINSTALL_CONFIRM]);
  // Its count reaches 0: asked, and answered as the default would not.
  Shot(uninstall, "uninstall-shared-question");
  EXPECT_NE(AnswerMessageBox(uninstall, IDYES).find(SharedFile()), std::string::npos);
  Shot(uninstall, "uninstall-done");
  EXPECT_EQ(AnswerMessageBox(uninstall, IDOK), DefaultUninstallTexts(first_.appName)[UNINSTALL_DONE]);
  EXPECT_EQ(FinishProgram(uninstall), 0u);
  ASSERT_TRUE(ProgramGone(first_));
  ExpectRemoved(first_, true);
  EXPECT_EQ(SharedCount(SharedFile()), 0u);
  EXPECT_TRUE(Exists(userFile));  // and so its folder stays
}

TEST_F(UninstallRun, SharedFileOfTwoSetupsGoesWithTheSecond) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  ASSERT_NO_FATAL_FAILURE(Install(second_));
  ASSERT_EQ(SharedCount(SharedFile()), 2u);
  EXPECT_EQ(RunProgram(first_.Program(), "/S"), 0u);
  ASSERT_TRUE(ProgramGone(first_));
  EXPECT_FALSE(Exists(first_.folder));  // emptied, then removed by the copy
  EXPECT_TRUE(Exists(SharedFile()));
  EXPECT_EQ(SharedCount(SharedFile()), 1u);
  EXPECT_TRUE(Exists(second_.folder + "\\bin\\tool.exe"));
  EXPECT_TRUE(Exists(second_.GroupLink()));
  EXPECT_TRUE(MachineKeyExists(Key(second_.appName)));

  EXPECT_EQ(RunProgram(second_.Program(), "/S"), 0u);
  ASSERT_TRUE(ProgramGone(second_));
  ExpectRemoved(second_, true);
  EXPECT_EQ(SharedCount(SharedFile()), 0u);
  EXPECT_FALSE(Exists(second_.folder));
  EXPECT_FALSE(Exists(ShellFolder(CSIDL_PROGRAMS) + "\\" + GROUP_FOLDER));  // the group's parent too
}

TEST_F(UninstallRun, KeepIsTheAnswerThatLeavesTheSharedFile) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  Process uninstall = StartUninstall(first_);
  AnswerMessageBox(uninstall, IDYES);
  AnswerMessageBox(uninstall, IDNO);  // keep the shared file
  AnswerMessageBox(uninstall, IDOK);
  EXPECT_EQ(FinishProgram(uninstall), 0u);
  ASSERT_TRUE(ProgramGone(first_));
  EXPECT_TRUE(Exists(SharedFile()));
  EXPECT_EQ(SharedCount(SharedFile()), 0u);  // its count is gone all the same
}

TEST_F(UninstallRun, SilentRunShowsNoWindowAndSaysItsOutcomeByExitCode) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  Process uninstall = StartUninstall(first_, "/S");
  EXPECT_EQ(WaitForMessageBox(uninstall, 3000), nullptr);
  EXPECT_EQ(FinishProgram(uninstall), 0u);
  ASSERT_TRUE(ProgramGone(first_));
  EXPECT_TRUE(PendingDeletion("\\Temp\\_inst"));  // the temporary copy, at the next start
  ExpectRemoved(first_, true);
  EXPECT_FALSE(Exists(first_.folder));
}

TEST_F(UninstallRun, DeclinedConfirmationRemovesNothing) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  Process uninstall = StartUninstall(first_);
  AnswerMessageBox(uninstall, IDNO);
  EXPECT_EQ(FinishProgram(uninstall), 3u);
  EXPECT_TRUE(Exists(first_.Program()));
  EXPECT_TRUE(Exists(first_.GroupLink()));
  EXPECT_TRUE(MachineKeyExists(Key(first_.appName)));
}

TEST_F(UninstallRun, FileInUseIsLeftToTheNextStartAndReported) {
  ASSERT_NO_FATAL_FAILURE(Install(first_));
  const std::string held = first_.folder + "\\data\\set 0\\deep\\part2.bin";
  {
    FileLocker locker(held);
    ASSERT_TRUE(locker.Locked());
    Process uninstall = StartUninstall(first_);
    AnswerMessageBox(uninstall, IDYES);
    AnswerMessageBox(uninstall, IDYES);
    const std::string result = AnswerMessageBox(uninstall, IDOK);
    EXPECT_NE(result.find("when Windows starts again"), std::string::npos) << result;
    EXPECT_NE(result.find(held), std::string::npos) << result;
    EXPECT_EQ(FinishProgram(uninstall), EXIT_DONE_AT_RESTART);
    EXPECT_TRUE(PendingDeletion("\\??\\" + held));
  }
  EXPECT_TRUE(Exists(held));
  EXPECT_FALSE(Exists(first_.folder + "\\data\\set 0\\deep\\part0.bin"));
  EXPECT_FALSE(Exists(first_.folder + "\\bin"));
  EXPECT_FALSE(MachineKeyExists(Key(first_.appName)));
}

// Damaged data in an uninstall program in a folder of its own, beside the files it names.
class DamagedUninstall : public testing::Test {
 protected:
  DamagedUninstall() : folder_(TestDirectory() + "uninstall-damaged") {}
  void SetUp() override {
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    WriteTestFile("uninstall-damaged\\a.txt", Pattern(5, 1));
    WriteTestFile("uninstall-damaged\\b.txt", Pattern(5, 2));
  }
  void TearDown() override { RemoveTree(folder_); }
  // The program with data in place of its closing header, as a setup appends them.
  std::string Program(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> program =
        BuildUninstallProgram(ReadTestFile(LODRUN_UNINST_EXE), DefaultUninstallTexts("Damaged"));
    program.resize(program.size() - BLOCK_HEADER_SIZE);
    program.insert(program.end(), data.begin(), data.end());
    return WriteTestFile("uninstall-damaged\\uninst.exe", program);
  }
  bool NothingRemoved() {
    return Exists(folder_ + "\\a.txt") && Exists(folder_ + "\\b.txt") && Exists(folder_ + "\\uninst.exe");
  }
  std::string folder_;
};

TEST_F(DamagedUninstall, EachDamageIsToldAndNothingIsRemoved) {
  const std::vector<std::pair<const char*, test_support::UninstallArchive>> damages = {
      {"a count past the end", test_support::UninstallArchive()
                                   .Block(UNINSTALL_FILES).U32(5).Counted(".").Counted("a.txt").U8(0).End()},
      {"a string past the end", test_support::UninstallArchive()
                                    .Files({{".", "a.txt", 0}}).Block(UNINSTALL_FILES).U32(1).Counted(".").U16(900)},
      {"no end header", test_support::UninstallArchive().Files({{".", "a.txt", 0}, {".", "b.txt", 0}})},
      // Hand-edited: more than a setup writes.
      {"a font outside the Fonts folder",
       test_support::UninstallArchive().Files({{".", "a.txt", 0}, {folder_, "b.txt", UNINSTALL_FONT}}).End()},
      {"a group shortcut outside the Programs folder",
       test_support::UninstallArchive().Files({{".", "a.txt", 0}}).Shortcuts({{folder_, "b.lnk"}}).End()},
      {"another application's Uninstall key",
       test_support::UninstallArchive().Files({{".", "a.txt", 0}}).AppKey(OTHER_APP).End()},
  };
  HKEY other = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, Key(OTHER_APP).c_str(), &other), ERROR_SUCCESS);
  const char otherProgram[] = "C:\\Other\\uninst.exe";
  RegSetValueExA(other, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(otherProgram), sizeof otherProgram);
  RegCloseKey(other);
  const std::string damaged = DefaultUninstallTexts("Damaged")[UNINSTALL_DAMAGED];
  for (const auto& damage : damages) {
    Process uninstall = StartProgram(Program(damage.second.bytes));
    EXPECT_EQ(AnswerMessageBox(uninstall, IDOK), damaged) << damage.first;
    EXPECT_EQ(FinishProgram(uninstall), 2u) << damage.first;
    EXPECT_EQ(RunProgram(folder_ + "\\uninst.exe", "/S"), 2u) << damage.first;
    EXPECT_TRUE(NothingRemoved()) << damage.first;
  }
  EXPECT_TRUE(MachineKeyExists(Key(OTHER_APP)));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, Key(OTHER_APP).c_str());
}

}  // namespace
