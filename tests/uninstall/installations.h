// What the uninstall program's tests stand on: files and the uninstall program as setups
// carry them, and an installation through the setup's progress page alone, which installs
// at once and stays with a full bar until cancelled.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "builder/setup/default_texts.h"
#include "builder/setup/uninstall_program.h"
#include "engine/finish_installation.h"
#include "resources/dialog_ids.h"
#include "support/system_state.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

namespace uninstall_test {

using namespace test_setups;

constexpr uint16_t PROGRESS_PAGE = 4;

inline std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * seed + (i >> 5) + 3);
  return bytes;
}

inline FileInput File(const std::string& name, std::vector<uint8_t> content, uint8_t dirCode = DIR_INSTALL) {
  FileInput input;
  input.record.name = name;
  input.record.installMode = MODE_REMOVE;
  input.record.dirCode = dirCode;
  input.content = std::move(content);
  return input;
}

inline std::string Key(const std::string& appName) { return std::string(UNINSTALL_KEY_PREFIX) + appName; }

// lodrun's uninstall program with the default texts of appName, as the setup's first file.
inline FileInput Uninstaller(const std::string& appName, const std::string& name = "uninst.exe") {
  FileInput uninstaller =
      File(name, BuildUninstallProgram(ReadTestFile(LODRUN_UNINST_EXE), DefaultUninstallTexts(appName)));
  uninstaller.record.flags = FE_UNINSTALLER;
  return uninstaller;
}

// Starts the setup of options on its progress page alone, into folder (created here).
inline bool StartInstallation(WizardOptions options, const std::string& folder, RunningSetup* setup) {
  options.defaultDir = folder;
  options.startPage = PROGRESS_PAGE;
  CreateDirectoryA(folder.c_str(), nullptr);
  // Named apart from the application: its name may hold what file names cannot.
  const std::string name = "setup " + std::to_string(std::hash<std::string>()(options.appName) % 1000000) + ".exe";
  return StartSetup(WriteTestFile(name, WizardSetup(options)), setup);
}

// Waits until the run has written the application's Uninstall entry, then ends the setup.
// A run that failed says why in a box: its text goes into why.
inline bool FinishInstallation(RunningSetup& setup, const std::string& appName, std::string* why = nullptr) {
  const bool listed = WaitUntil([&] {
    return !MachineString(Key(appName), "UninstallString").empty() || WaitForMessageBox(setup.process, 0) != nullptr;
  }) && !MachineString(Key(appName), "UninstallString").empty();
  if (!listed && why != nullptr) *why = AnswerMessageBox(setup.process, IDOK);
  Click(setup.frame, ID_CANCEL);
  return FinishProgram(setup.process) == 0 && listed;
}

}  // namespace uninstall_test
