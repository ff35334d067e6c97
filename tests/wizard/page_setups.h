// What the page tests share: setups with texts of their own, a test directory to install
// into, file types whose open command is the recorder fixture, and what the recorder was
// started with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/system_state.h"
#include "support/wizard_setups.h"

namespace page_tests {

using PageTextLists = std::vector<std::vector<std::string>>;

// The setup of WizardSetup(options) with these text lists instead of the test texts
// (options.informationText is not used: the lists hold the information text).
std::vector<uint8_t> SetupWithTexts(const test_setups::WizardOptions& options,
                                    const PageTextLists& texts);

// The test texts with options.informationText as the information text, as WizardSetup has
// them.
PageTextLists TextsOf(const test_setups::WizardOptions& options);

// A file of the setup: installed into InstallDir, kept when it exists already.
FileInput TestFile(const std::string& name, const std::vector<uint8_t>& content,
                   uint8_t endAction = END_NONE);

// A fresh empty directory under the test directory (with no trailing backslash), removed
// again with everything in it by the destructor.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The recorder fixture: where it is, and the lines of its log (empty when it never ran).
std::string RecorderPath();
std::string LogOf(const std::string& program);
std::vector<std::string> LoggedLines(const std::string& program);
// Waits until the program's log holds at least count lines; false on timeout.
bool WaitForLoggedLines(const std::string& program, size_t count);
void DeleteLog(const std::string& program);

// A file type of the machine for one extension (or a protocol such as "https"), whose open
// command starts the recorder with the document in quotes; the keys it made are removed by
// the destructor.
class RecorderFileType {
 public:
  // extension with its dot (".lodrundoc"), or a protocol name without one.
  explicit RecorderFileType(const std::string& extensionOrProtocol);
  ~RecorderFileType();
  RecorderFileType(const RecorderFileType&) = delete;
  RecorderFileType& operator=(const RecorderFileType&) = delete;
  // The open command as registered.
  std::string Command() const;

 private:
  void Set(const std::string& key, const std::string& value);
  std::vector<std::string> created_;  // under the classes root, innermost last
};

// The extension of the test documents.
constexpr char DOCUMENT_EXTENSION[] = ".lodrundoc";

using test_setups::Exists;

}  // namespace page_tests
