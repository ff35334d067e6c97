// The files of a setup: the file table block, the data area of their streams, its volumes
// and the volume files' names.
#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <string>

#include "base/byte_order.h"
#include "builder/setup/archive_writer.h"
#include "codec/decoder.h"
#include "support/fake_image.h"
#include "support/temp_file.h"

using test_support::FakeImage;

namespace {

using Bytes = std::vector<uint8_t>;

// A file of bytes that hardly compress, so that its stream is about as long as the file.
FileInput Input(const std::string& name, size_t size, uint8_t mode = MODE_KEEP) {
  FileInput file;
  file.record.name = name;
  file.record.installMode = mode;
  uint32_t state = static_cast<uint32_t>(size);
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    file.content.push_back(static_cast<uint8_t>(state >> 24));
  }
  return file;
}

// Three files with data around one that lies beside the setup.
std::vector<FileInput> SampleFiles() {
  return {Input("a.exe", 3000), Input("readme.txt", 200), Input("big.dat", 9000, MODE_EXTERNAL),
          Input("c.dll", 5000)};
}

// The program's decoder reads the stream at offset of data into exactly expected's size.
bool StreamDecodesTo(const Bytes& data, uint32_t offset, uint32_t packed, const Bytes& expected) {
  TempFile temp(Bytes(data.begin() + offset, data.begin() + offset + packed));
  FileHandle file = temp.OpenRead();
  Bytes decoded(expected.size());
  bool ok = DecodeToMemory(decoded.data(), static_cast<uint32_t>(decoded.size()), file, packed);
  FileClose(file);
  return ok && decoded == expected;
}

// Offset of BLOCK_END's header in a setup file written on FakeImage().
size_t BlockEndOffset(const Bytes& setup) {
  size_t at = test_support::FAKE_IMAGE_SIZE;
  while (LoadU16LE(&setup.at(at)) != BLOCK_END) at += BLOCK_HEADER_SIZE + LoadU32LE(&setup.at(at + 4));
  return at;
}

TEST(SetupFiles, DataAreaIsTheStreamsInTableOrder) {
  std::vector<FileInput> files = SampleFiles();
  FileArea area = BuildFileArea(files, "C:\\App");
  uint32_t offset = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const FileRecord& record = area.records[i];
    EXPECT_EQ(record.size, files[i].content.size());
    EXPECT_EQ(record.checksum, FileChecksum(files[i].content));
    if (!HasStream(record)) continue;
    EXPECT_TRUE(StreamDecodesTo(area.dataArea, offset, record.packedSize, files[i].content)) << i;
    offset += record.packedSize;
  }
  EXPECT_EQ(offset, area.dataArea.size());
}

TEST(SetupFiles, ExternalFilesHaveNoStream) {
  FileArea area = BuildFileArea(SampleFiles(), "C:\\App");
  EXPECT_EQ(area.records[2].packedSize, 0u);
  EXPECT_EQ(area.records[2].size, 9000u);
  uint32_t packed = std::accumulate(area.records.begin(), area.records.end(), 0u,
                                    [](uint32_t sum, const FileRecord& r) { return sum + r.packedSize; });
  EXPECT_EQ(packed, area.dataArea.size());
  EXPECT_LT(area.dataArea.size(), 9000u);  // the external content is not in it
}

TEST(SetupFiles, TableBlockAndDataAreaEndTheSetupFile) {
  for (bool compress : {false, true}) {
    ArchiveWriter writer(FakeImage());
    Bytes table = FileTableContent(writer.AddFiles(SampleFiles(), "C:\\App", compress));
    Bytes setup = writer.Finish();
    const size_t payload = test_support::FAKE_IMAGE_SIZE + BLOCK_HEADER_SIZE;
    const uint32_t size = LoadU32LE(&setup[payload - 4]);
    EXPECT_EQ(LoadU16LE(&setup[payload - 8]), BLOCK_FILE_TABLE);
    EXPECT_EQ(LoadU16LE(&setup[payload - 6]), compress ? BLOCK_FLAG_COMPRESSED : 0);
    if (compress) {
      EXPECT_EQ(LoadU32LE(&setup[payload]), table.size());
      EXPECT_TRUE(StreamDecodesTo(setup, payload + DECODED_SIZE_FIELD, size - DECODED_SIZE_FIELD, table));
    } else {
      EXPECT_EQ(Bytes(setup.begin() + payload, setup.begin() + payload + size), table);
    }
    size_t end = BlockEndOffset(setup);
    Bytes data(setup.begin() + end + BLOCK_HEADER_SIZE + VOLUME_SIZE_FIELD, setup.end());
    EXPECT_EQ(data, BuildFileArea(SampleFiles(), "C:\\App").dataArea) << compress;
  }
}

TEST(SetupFiles, RefusalNamesTheFile) {
  ArchiveWriter writer(FakeImage());
  std::vector<FileInput> files = SampleFiles();
  files[1].record.name = "\\readme.txt";
  try {
    writer.AddFiles(files, "C:\\App", false);
    FAIL() << "accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).find("file '\\readme.txt'"), 0u) << e.what();
  }
  EXPECT_EQ(writer.Finish(), ArchiveWriter(FakeImage()).Finish());  // nothing was added
}

class Volumes : public testing::TestWithParam<uint32_t> {};

// The streams are about 3000, 200 and 5000 bytes long: sizes that cut inside the first
// stream, at odd places inside the last, and one that holds the whole data area.
INSTANTIATE_TEST_SUITE_P(Sizes, Volumes, testing::Values(1000u, 1777u, 4093u, 1u << 20));

TEST_P(Volumes, VolumeDataPutTogetherGivesTheDataArea) {
  ArchiveWriter writer(FakeImage());
  writer.AddFiles(SampleFiles(), "C:\\App", true);
  Bytes whole = writer.Finish();
  Bytes dataArea(whole.begin() + BlockEndOffset(whole) + BLOCK_HEADER_SIZE + VOLUME_SIZE_FIELD,
                 whole.end());
  std::vector<Bytes> files = writer.FinishVolumes(GetParam());
  size_t end = BlockEndOffset(files[0]);
  uint32_t first = LoadU32LE(&files[0][end + BLOCK_HEADER_SIZE]);
  EXPECT_EQ(LoadU32LE(&files[0][end + 4]), VOLUME_SIZE_FIELD + first);
  Bytes joined(files[0].begin() + end + BLOCK_HEADER_SIZE + VOLUME_SIZE_FIELD, files[0].end());
  uint32_t sizes = first;
  for (size_t n = 1; n < files.size(); ++n) {
    uint32_t size = LoadU32LE(files[n].data());
    ASSERT_EQ(files[n].size(), VOLUME_SIZE_FIELD + size) << n;
    EXPECT_TRUE(size == GetParam() || n + 1 == files.size()) << n;
    sizes += size;
    joined.insert(joined.end(), files[n].begin() + VOLUME_SIZE_FIELD, files[n].end());
  }
  EXPECT_EQ(first, std::min<size_t>(GetParam(), dataArea.size()));
  EXPECT_EQ(sizes, dataArea.size());
  EXPECT_EQ(joined, dataArea);
  EXPECT_EQ(files.size(), (dataArea.size() + GetParam() - 1) / GetParam());
}

TEST(VolumeSplit, ExactMultipleMakesNoEmptyVolumeAndEmptyDataOneVolume) {
  EXPECT_EQ(SplitDataArea(Bytes(12, 7), 4).size(), 3u);
  EXPECT_EQ(SplitDataArea(Bytes(13, 7), 4).back(), Bytes(1, 7));
  ASSERT_EQ(SplitDataArea({}, 4).size(), 1u);
  EXPECT_TRUE(SplitDataArea({}, 4)[0].empty());
  EXPECT_THROW(SplitDataArea(Bytes(3), 0), std::invalid_argument);
}

TEST(VolumeNames, ExtensionReplacedOrSuffixAppended) {
  EXPECT_EQ(VolumeFileName("SETUP.EXE", 1), "SETUP.D01");
  EXPECT_EQ(VolumeFileName("SETUP", 1), "SETUP.D01");
  EXPECT_EQ(VolumeFileName("out/disk.1/SETUP", 2), "out/disk.1/SETUP.D02");
  EXPECT_EQ(VolumeFileName("out/my.setup.exe", 3), "out/my.setup.D03");
  EXPECT_EQ(VolumeFileName("SETUP.EXE", 10), "SETUP.D10");
  EXPECT_EQ(VolumeFileName("SETUP.EXE", 100), "SETUP.D100");
  EXPECT_THROW(VolumeFileName("SETUP.EXE", 0), std::invalid_argument);
}

}  // namespace
