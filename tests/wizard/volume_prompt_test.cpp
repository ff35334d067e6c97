// A setup spread over volume files, read in-process with the wizard's disk prompt answered
// by the test: a missing volume is asked for by its disk number until it is inserted, or
// the installation is given up and the page ends as cancelled.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "archive/data_area.h"
#include "archive/setup_archive.h"
#include "base/session_paths.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/data_area_writer.h"
#include "engine/open_data_area.h"
#include "support/fake_image.h"
#include "support/test_setups.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"
#include "wizard/disk_prompt.h"
#include "wizard/page_state.h"

using namespace test_setups;

namespace {

constexpr uint32_t VOLUME_DATA = 7000;

struct Decoding {
  std::vector<uint8_t> out;
  uint32_t packedSize = 0;
  bool decoded = false;
};

DWORD WINAPI DecodeDataArea(void* argument) {
  Decoding* decoding = static_cast<Decoding*>(argument);
  decoding->decoded = DecodeToMemory(decoding->out.data(), uint32_t(decoding->out.size()),
                                     Archive.volumeFile, decoding->packedSize, RefillInput);
  return 0;
}

class VolumePrompt : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AllocateSessionPaths());
    content_.resize(30000);
    for (size_t i = 0; i < content_.size(); ++i) content_[i] = uint8_t(i * 7 + (i >> 9));
    const std::vector<uint8_t> stream = EncodeStream(content_.data(), content_.size());
    ArchiveWriter writer(test_support::FakeImage());
    writer.AddPageTexts(TestTexts());
    writer.SetDataArea(stream);
    files_ = writer.FinishVolumes(VOLUME_DATA);
    ASSERT_GE(files_.size(), 4u);
    setupPath_ = WriteTestFile("volumes.exe", files_[0]);
    decoding_.out.resize(content_.size());
    decoding_.packedSize = uint32_t(stream.size());
  }
  void TearDown() override {
    CloseDataArea();
    FreeSetupArchive();
    FreeSessionPaths();
    for (size_t n = 0; n < files_.size(); ++n) DeleteFileA(Volume(uint32_t(n)).c_str());
  }
  std::string Volume(uint32_t n) { return n == 0 ? setupPath_ : VolumeFileName(setupPath_, n); }
  void Insert(uint32_t n) { WriteTestFile(Volume(n).substr(TestDirectory().size()), files_[n]); }
  // Loads the setup and starts decoding its data area on a thread of its own.
  void StartDecoding() {
    SetImageSize(test_support::FAKE_IMAGE_SIZE);
    CopyPath(SourcePath, setupPath_.c_str());
    ASSERT_TRUE(LoadSetupArchive());
    ASSERT_TRUE(OpenDataArea(AskForNextDisk));
    thread_ = CreateThread(nullptr, 0, DecodeDataArea, &decoding_, 0, nullptr);
    ASSERT_NE(thread_, nullptr);
  }
  std::string Answer(int button) { return AnswerMessageBox(self_, button); }
  bool Finished() {
    const bool ended = WaitForSingleObject(thread_, 20000) == WAIT_OBJECT_0;
    CloseHandle(thread_);
    return ended;
  }
  std::vector<uint8_t> content_;
  std::vector<std::vector<uint8_t>> files_;
  std::string setupPath_;
  Decoding decoding_;
  HANDLE thread_ = nullptr;
  Process self_{nullptr, GetCurrentProcessId()};
};

TEST_F(VolumePrompt, EveryVolumePresentIsReadWithoutAPrompt) {
  for (uint32_t n = 1; n < files_.size(); ++n) Insert(n);
  StartDecoding();
  ASSERT_TRUE(Finished());
  EXPECT_TRUE(decoding_.decoded);
  EXPECT_EQ(decoding_.out, content_);
}

TEST_F(VolumePrompt, MissingVolumeIsAskedForUntilItIsInserted) {
  for (uint32_t n = 1; n < files_.size(); ++n) {
    if (n != 2) Insert(n);
  }
  StartDecoding();
  EXPECT_EQ(Answer(IDOK), "Please insert disk 3 of Lodrun Test Setup and click OK.");
  Answer(IDCANCEL);  // then "No": go on
  Answer(IDNO);
  Insert(2);
  EXPECT_EQ(Answer(IDOK), "Please insert disk 3 of Lodrun Test Setup and click OK.");
  ASSERT_TRUE(Finished());
  EXPECT_TRUE(decoding_.decoded);
  EXPECT_EQ(decoding_.out, content_);
}

TEST_F(VolumePrompt, GivingUpEndsTheStreamAndThePage) {
  Insert(1);
  PageResult = 0;
  StartDecoding();
  Answer(IDCANCEL);
  Answer(IDYES);
  Answer(IDOK);  // the notice
  ASSERT_TRUE(Finished());
  EXPECT_FALSE(decoding_.decoded);
  EXPECT_EQ(PageResult, 2);
  EXPECT_TRUE(WaitForNoMessageBox(self_, 1000));  // no prompt after giving up
}

}  // namespace
