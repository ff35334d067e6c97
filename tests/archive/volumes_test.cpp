// The data area across volume files: a stream continues behind the next volume's size
// field, a missing volume brings the prompt for its disk, a failed read reopens the volume
// behind what was consumed. The prompt is a stand-in that records what it was asked.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "archive/data_area.h"
#include "base/byte_order.h"
#include "builder/encoder/stream_encoder.h"
#include "setup_file.h"

namespace {

// What the stand-in prompt was asked, and what it does on each call.
std::vector<uint32_t> askedDisks;
std::function<bool()> onPrompt;

bool RecordingPrompt(uint32_t disk) {
  askedDisks.push_back(disk);
  return onPrompt ? onPrompt() : false;
}

std::vector<uint8_t> VolumeFile(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> file(VOLUME_SIZE_FIELD);
  StoreU32LE(file.data(), static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

class Volumes : public SetupFileTest {
 protected:
  void SetUp() override {
    SetupFileTest::SetUp();
    askedDisks.clear();
    onPrompt = nullptr;
    content_.resize(60000);
    for (size_t i = 0; i < content_.size(); ++i) content_[i] = uint8_t(i * i >> 7 ^ i);
    stream_ = EncodeStream(content_.data(), content_.size());
  }
  void TearDown() override {
    CloseDataArea();
    for (const std::string& path : written_) std::remove(path.c_str());
    SetupFileTest::TearDown();
  }
  // The setup program holding the stream's bytes up to the first cut; each further volume
  // up to the next cut; volumes listed in `missing` are not written.
  void WriteSetup(std::vector<size_t> cuts, std::vector<uint32_t> missing = {}) {
    cuts.push_back(stream_.size());
    ArchiveWriter writer(FakeImage());
    writer.SetDataArea({stream_.begin(), stream_.begin() + cuts[0]});
    setupPath_ = Write("setup.exe", writer.Finish());
    for (uint32_t n = 1; n < cuts.size(); ++n) {
      volumes_.push_back(VolumeFile({stream_.begin() + cuts[n - 1], stream_.begin() + cuts[n]}));
      bool absent = false;
      for (uint32_t m : missing) absent = absent || m == n;
      if (!absent) WriteVolume(n);
    }
  }
  void WriteVolume(uint32_t n) {
    char name[PATH_BUFFER_SIZE];
    CopyPath(name, setupPath_.c_str());
    ASSERT_TRUE(VolumeFileName(name, n));
    written_.push_back(name);
    FILE* file = std::fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(volumes_[n - 1].data(), 1, volumes_[n - 1].size(), file);
    std::fclose(file);
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = WriteTempFile(
        std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + name,
        bytes);
    written_.push_back(path);
    return path;
  }
  bool OpenSetup() {
    SetImageSize(test_support::FAKE_IMAGE_SIZE);
    CopyPath(SourcePath, setupPath_.c_str());
    return LoadSetupArchive() && OpenFirstVolume(RecordingPrompt);
  }
  // Decodes the one stream of the data area; true when it gave the content back.
  bool DecodesContent() {
    std::vector<uint8_t> out(content_.size());
    return DecodeToMemory(out.data(), uint32_t(out.size()), Archive.volumeFile,
                          uint32_t(stream_.size()), RefillInput) && out == content_;
  }
  std::vector<uint8_t> content_, stream_;
  std::vector<std::vector<uint8_t>> volumes_;
  std::string setupPath_;
  std::vector<std::string> written_;
};

TEST_F(Volumes, DataWhollyInTheProgramFileOpensNoVolume) {
  WriteSetup({});
  ASSERT_TRUE(OpenSetup());
  EXPECT_TRUE(DecodesContent());
  EXPECT_EQ(Archive.VolumeNumber, 0u);
  EXPECT_EQ(Archive.DataRemaining, 0u);
  EXPECT_TRUE(askedDisks.empty());
}

TEST_F(Volumes, StreamCrossesIntoTheFirstVolumeFile) {
  WriteSetup({1001});  // inside the first 4 KiB chunk, so a refill is split
  ASSERT_TRUE(OpenSetup());
  EXPECT_TRUE(DecodesContent());
  EXPECT_EQ(Archive.VolumeNumber, 1u);
  EXPECT_EQ(Archive.DataRemaining, 0u);
  EXPECT_TRUE(askedDisks.empty());
}

TEST_F(Volumes, StreamCrossesSeveralVolumes) {
  WriteSetup({3000, 3001, 9000, 13000});  // a volume of one byte among them
  ASSERT_TRUE(OpenSetup());
  EXPECT_TRUE(DecodesContent());
  EXPECT_EQ(Archive.VolumeNumber, 4u);
}

TEST_F(Volumes, MissingSecondVolumeAsksForDiskThreeAndCancelEndsTheStream) {
  WriteSetup({2000, 5000}, {2});
  ASSERT_TRUE(OpenSetup());
  EXPECT_FALSE(DecodesContent());
  ASSERT_FALSE(askedDisks.empty());
  EXPECT_EQ(askedDisks[0], 3u);
  EXPECT_EQ(askedDisks.size(), 1u);  // no prompt again once the user gave up
}

TEST_F(Volumes, VolumeInsertedAfterPromptsContinuesWithTheRightBytes) {
  WriteSetup({2000, 5000}, {2});
  onPrompt = [&] {
    if (askedDisks.size() == 2) WriteVolume(2);  // "inserted" at the second prompt
    return true;
  };
  ASSERT_TRUE(OpenSetup());
  EXPECT_TRUE(DecodesContent());
  EXPECT_EQ(askedDisks, (std::vector<uint32_t>{3, 3}));
}

TEST_F(Volumes, FailedReadReopensTheVolumeBehindTheConsumedBytes) {
  WriteSetup({9000});
  ASSERT_TRUE(OpenSetup());
  uint8_t buffer[INPUT_BUFFER_SIZE];
  DecoderInput input = {buffer, buffer, 0, Archive.volumeFile, uint32_t(stream_.size())};
  std::vector<uint8_t> read;
  RefillInput(input);
  read.insert(read.end(), buffer, buffer + input.inputAvail);
  // The disk is taken out: the next read gets nothing from the handle in use.
  const std::string empty = Write("empty", {});
  FileHandle dry = FileOpen(empty.c_str(), OPEN_READ);
  input.inputFile = dry;
  while (input.inputLimit != 0) {
    RefillInput(input);
    if (input.inputAvail == 0) break;
    read.insert(read.end(), buffer, buffer + input.inputAvail);
  }
  FileClose(dry);
  EXPECT_EQ(read, stream_);  // resumed behind the first chunk, then into the volume file
  EXPECT_EQ(Archive.VolumeNumber, 1u);
}

TEST_F(Volumes, ReopenedVolumeShorterThanTheConsumedBytesEndsTheStream) {
  WriteSetup({9000});
  ASSERT_TRUE(OpenSetup());
  Archive.DataRemaining = 100;  // as if most of the volume had been read
  Archive.VolumeSize = 0xFFFF0000u;
  EXPECT_EQ(OpenNextVolume(), INVALID_FILE);
  EXPECT_EQ(Archive.DataRemaining, 0u);
}

TEST(VolumeFileName, SuffixTakesTheExtensionsPlaceWithTwoDigitsAtLeast) {
  char path[PATH_BUFFER_SIZE] = "A:\\SETUP.EXE";
  ASSERT_TRUE(VolumeFileName(path, 1));
  EXPECT_STREQ(path, "A:\\SETUP.D01");
  ASSERT_TRUE(VolumeFileName(path, 10));
  EXPECT_STREQ(path, "A:\\SETUP.D10");
  ASSERT_TRUE(VolumeFileName(path, 123));
  EXPECT_STREQ(path, "A:\\SETUP.D123");
  char bare[PATH_BUFFER_SIZE] = "A:\\SETUP";
  ASSERT_TRUE(VolumeFileName(bare, 1));
  EXPECT_STREQ(bare, "A:\\SETUP.D01");
}

}  // namespace
