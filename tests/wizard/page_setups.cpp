// What the page tests share.
#include "page_setups.h"

#include <cstdio>
#include <stdexcept>

#include "archive/page_texts.h"
#include "builder/setup/archive_writer.h"
#include "support/fixtures/fixtures.h"
#include "support/test_setups.h"

namespace page_tests {

namespace {

constexpr uint32_t INFORMATION_LIST = 1;
constexpr uint32_t INFORMATION_TEXT = 1;
// The machine's classes: Wine's HKEY_CLASSES_ROOT does not show the user's
// Software\Classes (measured: a type registered there was not found).
constexpr char CLASSES_ROOT[] = "Software\\Classes\\";
constexpr char OPEN_COMMAND[] = "\\shell\\open\\command";
constexpr char DOCUMENT_TYPE[] = "LodrunTest.Document";
constexpr DWORD LOG_TIMEOUT_MS = 20000;

}  // namespace

PageTextLists TextsOf(const test_setups::WizardOptions& options) {
  PageTextLists texts = test_setups::TestTexts();
  if (texts[INFORMATION_LIST].size() <= INFORMATION_TEXT) {
    texts[INFORMATION_LIST].resize(INFORMATION_TEXT + 1);
  }
  texts[INFORMATION_LIST][INFORMATION_TEXT] = options.informationText;
  return texts;
}

std::vector<uint8_t> SetupWithTexts(const test_setups::WizardOptions& options,
                                    const PageTextLists& texts) {
  ArchiveWriter writer(test_setups::SetupStub());
  writer.AddDefaultTemplates(false);
  writer.AddU32Block(BLOCK_SETUP_FLAGS, options.setupFlags);
  if (options.startPage != START_PAGE_ALL) writer.AddU16Block(BLOCK_START_PAGE, options.startPage);
  writer.AddStringBlock(BLOCK_APP_NAME, test_setups::TEST_APP_NAME, false);
  if (!options.defaultDir.empty()) writer.AddStringBlock(BLOCK_DEFAULT_DIR, options.defaultDir, false);
  if (!options.files.empty()) writer.AddFiles(options.files, options.defaultDir, false);
  writer.AddPageTexts(texts);
  return writer.Finish();
}

FileInput TestFile(const std::string& name, const std::vector<uint8_t>& content,
                   uint8_t endAction) {
  FileInput input;
  input.record.name = name;
  input.record.installMode = MODE_REMOVE;
  input.record.endAction = endAction;
  input.content = content;
  return input;
}

ScratchDirectory::ScratchDirectory(const std::string& name)
    : path_(test_setups::TestDirectory() + name) {
  test_setups::RemoveTree(path_);
  if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("cannot make " + path_);
}

ScratchDirectory::~ScratchDirectory() { test_setups::RemoveTree(path_); }

std::string RecorderPath() { return FixturePath("fixture_recorder.exe"); }

std::string LogOf(const std::string& program) { return program + ".log"; }

std::vector<std::string> LoggedLines(const std::string& program) {
  std::vector<std::string> lines;
  if (!Exists(LogOf(program))) return lines;
  const std::vector<uint8_t> bytes = test_setups::ReadTestFile(LogOf(program));
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte == '\r') continue;
    if (byte == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += char(byte);
    }
  }
  return lines;
}

bool WaitForLoggedLines(const std::string& program, size_t count) {
  return test_setups::WaitUntil([&] { return LoggedLines(program).size() >= count; },
                                LOG_TIMEOUT_MS);
}

void DeleteLog(const std::string& program) { DeleteFileA(LogOf(program).c_str()); }

RecorderFileType::RecorderFileType(const std::string& extensionOrProtocol) {
  std::string type = extensionOrProtocol;
  if (!type.empty() && type[0] == '.') {
    Set(extensionOrProtocol, DOCUMENT_TYPE);
    type = DOCUMENT_TYPE;
  }
  Set(type, "");
  Set(type + "\\shell", "");
  Set(type + "\\shell\\open", "");
  Set(type + OPEN_COMMAND, Command());
}

RecorderFileType::~RecorderFileType() {
  for (auto key = created_.rbegin(); key != created_.rend(); ++key) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (CLASSES_ROOT + *key).c_str());
  }
}

std::string RecorderFileType::Command() const { return "\"" + RecorderPath() + "\" \"%1\""; }

void RecorderFileType::Set(const std::string& key, const std::string& value) {
  HKEY handle;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (CLASSES_ROOT + key).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &handle, &disposition) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the key " + key);
  }
  if (disposition == REG_CREATED_NEW_KEY) created_.push_back(key);
  if (!value.empty()) {
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
  }
  RegCloseKey(handle);
}

}  // namespace page_tests
