// The data area's refill: a bounded stream counts the bytes it took off the data that the
// volume still holds; header blocks (unbounded) are not part of the data area.
#include <cstdint>
#include <vector>

#include "archive/data_area.h"
#include "builder/encoder/stream_encoder.h"
#include "setup_file.h"

namespace {

class DataAreaRefill : public SetupFileTest {
 protected:
  // A file holding one stream of `size` bytes followed by `tail` other bytes; the stream's
  // packed size goes into *packed.
  FileHandle OpenStreamFile(uint32_t size, uint32_t tail, uint32_t* packed) {
    std::vector<uint8_t> data(size);
    for (uint32_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 31 / 7);
    std::vector<uint8_t> file = EncodeStream(data.data(), data.size());
    *packed = static_cast<uint32_t>(file.size());
    file.insert(file.end(), tail, 0xEE);
    const std::string path = WriteTempFile(
        testing::UnitTest::GetInstance()->current_test_info()->name(), file);
    return FileOpen(path.c_str(), OPEN_READ);
  }
};

TEST_F(DataAreaRefill, CountsTheStreamOffTheVolumesData) {
  uint32_t packed = 0;
  FileHandle file = OpenStreamFile(100000, 300, &packed);
  ASSERT_NE(file, INVALID_FILE);
  Archive.DataRemaining = packed + 300;
  EXPECT_TRUE(DecodeToFile(INVALID_FILE, file, packed, RefillInput));
  EXPECT_EQ(Archive.DataRemaining, 300u);
  EXPECT_EQ(FileTell(file), packed);
  FileClose(file);
}

TEST_F(DataAreaRefill, NeverCountsBelowZero) {
  uint32_t packed = 0;
  FileHandle file = OpenStreamFile(20000, 0, &packed);
  ASSERT_NE(file, INVALID_FILE);
  Archive.DataRemaining = 10;
  EXPECT_TRUE(DecodeToFile(INVALID_FILE, file, packed, RefillInput));
  EXPECT_EQ(Archive.DataRemaining, 0u);
  FileClose(file);
}

TEST_F(DataAreaRefill, UnboundedStreamLeavesTheCountAlone) {
  uint32_t packed = 0;
  FileHandle file = OpenStreamFile(20000, 50, &packed);
  ASSERT_NE(file, INVALID_FILE);
  Archive.DataRemaining = 5000;
  EXPECT_TRUE(DecodeToFile(INVALID_FILE, file, 0, RefillInput));
  EXPECT_EQ(Archive.DataRemaining, 5000u);
  FileClose(file);
}

}  // namespace
