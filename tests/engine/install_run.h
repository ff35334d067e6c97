// Installation runs in-process for the engine's Windows tests: a setup file made from files
// and records, loaded as the program loads its own, installed into a scratch directory with
// the display recorded and its questions answered from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "archive/data_area.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/data_area_writer.h"
#include "engine/file_table.h"
#include "engine/finish_installation.h"
#include "engine/install_file.h"
#include "engine/install_state.h"
#include "engine/open_data_area.h"
#include "engine_fixture.h"
#include "support/fake_image.h"

namespace engine_test {

// The file's bytes, or empty when it cannot be read.
inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  return bytes;
}

inline std::vector<uint8_t> Content(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 31 + seed + (i >> 8));
  return bytes;
}

inline FileInput Input(const std::string& name, std::vector<uint8_t> content) {
  FileInput input;
  input.record.name = name;
  input.record.installMode = MODE_REMOVE;
  input.content = std::move(content);
  return input;
}

// Temporary files left in a directory (names with ".$$" in their extension).
inline std::vector<std::string> TemporaryFiles(const std::string& directory) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA((directory + "\\*.$$?").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do found.push_back(data.cFileName);
  while (FindNextFileA(search, &data));
  FindClose(search);
  return found;
}

class InstallRun {
 public:
  explicit InstallRun(const ScratchDirectory& directory) : directory_(directory) {
    current_ = this;
    Display = {ShowFile, ShowProgress, AskMessage, Finished};
  }
  ~InstallRun() {
    CloseDataArea();
    Display = {};
    current_ = nullptr;
    DeleteFileA(setupPath_.c_str());
  }
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // Writes the setup of these files into the scratch directory and loads it; the files go
  // to the directory "target" in it, which becomes InstallDir.
  void Load(const std::vector<FileInput>& files, const std::string& appName = "",
            uint16_t startPage = START_PAGE_ALL) {
    ArchiveWriter writer(test_support::FakeImage());
    if (!appName.empty()) writer.AddStringBlock(BLOCK_APP_NAME, appName, false);
    if (startPage != START_PAGE_ALL) writer.AddU16Block(BLOCK_START_PAGE, startPage);
    records = writer.AddFiles(files, "C:\\Target", false);
    setup = writer.Finish();
    if (corruptFile_ >= 0) {
      setup[setup.size() - dataSize() + StreamOffset(size_t(corruptFile_)) + corruptOffset_] ^= 0x5A;
    }
    setupPath_ = directory_.Sub("setup.exe");
    FILE* file = std::fopen(setupPath_.c_str(), "wb");
    if (file == nullptr) Stop("cannot write", setupPath_);
    std::fwrite(setup.data(), 1, setup.size(), file);
    std::fclose(file);
    SetImageSize(test_support::FAKE_IMAGE_SIZE);
    CopyPath(SourcePath, setupPath_.c_str());
    if (!LoadSetupArchive()) Stop("cannot load", setupPath_);
    CopyPath(InstallDir, (directory_.Sub("target") + "\\").c_str());
  }
  // Corrupts byte offset of file n's stream when the setup is written.
  void CorruptStream(int n, uint32_t offset) {
    corruptFile_ = n;
    corruptOffset_ = offset;
  }
  // The data area's offset of file n's stream.
  uint32_t StreamOffset(size_t n) const {
    uint32_t offset = 0;
    for (size_t i = 0; i < n; ++i) offset += records[i].packedSize;
    return offset;
  }

  // Opens the data area and runs every step, then the end of the run; InstallError.
  uint32_t RunAll() {
    if (!OpenDataArea(nullptr)) return InstallError;
    while (InstallNextFile()) {
    }
    FinishInstallation();
    return InstallError;
  }
  FileEntry* Entry(size_t n) const { return EntryAt(uint32_t(n)); }
  std::string Target(const std::string& name) const { return directory_.Sub("target\\" + name); }

  std::vector<FileRecord> records;
  std::vector<uint8_t> setup;
  std::vector<uint32_t> progress;
  std::vector<std::string> shownFiles;
  std::vector<uint32_t> asked;  // message numbers, in order
  std::deque<int> answers;      // given to the questions in order; then IDNO (or IDABORT)
  int finished = 0;  // how often the run told the wizard it had finished
  // Called before each question is answered (a test frees a locked file there).
  void (*beforeAnswer)(InstallRun& run) = nullptr;

 private:
  uint32_t dataSize() const { return StreamOffset(records.size()); }
  static void ShowFile(const char* path) { current_->shownFiles.push_back(path); }
  static void ShowProgress(uint32_t percent) { current_->progress.push_back(percent); }
  static int AskMessage(uint32_t n, uint32_t style) {
    current_->asked.push_back(n);
    if (current_->beforeAnswer != nullptr) current_->beforeAnswer(*current_);
    if (current_->answers.empty()) return (style & MB_TYPEMASK) == MB_ABORTRETRYIGNORE ? IDABORT : IDNO;
    const int answer = current_->answers.front();
    current_->answers.pop_front();
    return answer;
  }
  static void Finished() { ++current_->finished; }

  static inline InstallRun* current_ = nullptr;
  const ScratchDirectory& directory_;
  std::string setupPath_;
  int corruptFile_ = -1;
  uint32_t corruptOffset_ = 0;
};

}  // namespace engine_test
