// FileChecksum reads in pieces: the result equals one ChecksumUpdate over the whole rest of
// the file, whether or not its size is a multiple of the piece size.
#include <string>
#include <vector>

#include "archive/checksum.h"
#include "archive/file_checksum.h"
#include "setup_file.h"

namespace {

std::vector<uint8_t> Content(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 2654435761u >> 13);
  return bytes;
}

uint32_t ChecksumOfFile(const std::vector<uint8_t>& bytes, uint32_t from = 0) {
  const std::string path = WriteTempFile("checksum_" + std::to_string(bytes.size()), bytes);
  FileHandle file = FileOpen(path.c_str(), OPEN_READ);
  EXPECT_NE(file, INVALID_FILE);
  FileSeek(file, from);
  const uint32_t checksum = FileChecksum(file);
  FileClose(file);
  return checksum;
}

TEST(FileChecksum, EqualsOneUpdateOverTheWholeFile) {
  for (size_t size : {0, 3, 16384, 16385, 3 * 16384, 50001}) {
    const std::vector<uint8_t> bytes = Content(size);
    EXPECT_EQ(ChecksumOfFile(bytes), ChecksumUpdate(bytes.data(), uint32_t(size), 0)) << size;
  }
}

TEST(FileChecksum, StartsAtTheFilesPosition) {
  const std::vector<uint8_t> bytes = Content(20000);
  EXPECT_EQ(ChecksumOfFile(bytes, 7), ChecksumUpdate(bytes.data() + 7, 20000 - 7, 0));
}

TEST(ChecksumUpdate, WordsAreLittleEndianAndTheRestBytewise) {
  const uint8_t abcd[] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ChecksumUpdate(abcd, 3, 0), 0x000002ABu);
  EXPECT_EQ(ChecksumUpdate(abcd, 4, 0), 0x64636261u);
  EXPECT_EQ(ChecksumUpdate(abcd, 0, 0x12345678u), 0x12345678u);
}

}  // namespace
