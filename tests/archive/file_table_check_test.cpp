// Tables whose records do not lie inside their block are refused at load, so that no walk
// over them reads outside it; and BLOCK_END ends the walk whatever size it gives.
#include <string>
#include <vector>

#include "archive/file_table_check.h"
#include "base/byte_order.h"
#include "builder/encoder/stream_encoder.h"
#include "builder/setup/file_records.h"
#include "setup_file.h"

namespace {

std::vector<uint8_t> TwoRecords() {
  FileRecord first;
  first.name = "first.txt";
  FileRecord second;
  second.name = "second.txt";
  second.flags = FE_VERSION_CHECK;
  return FileTableContent({first, second});
}

// The table as the loader keeps it: a block of exactly its bytes (the sanitizers see reads
// behind it).
bool Fits(const std::vector<uint8_t>& table) {
  std::vector<uint8_t> block(table);
  return FileTableFits(block.data(), uint32_t(block.size()));
}

TEST(FileTableCheck, WellFormedTablesFit) {
  EXPECT_TRUE(Fits(TwoRecords()));
  EXPECT_TRUE(Fits({0, 0, 0, 0}));
}

TEST(FileTableCheck, CountLargerThanTheRecordsIsRefused) {
  std::vector<uint8_t> table = TwoRecords();
  StoreU32LE(table.data(), 3);
  EXPECT_FALSE(Fits(table));
  EXPECT_FALSE(Fits({1, 0, 0}));  // no room for the count itself
}

TEST(FileTableCheck, RecordRunningPastTheBlockIsRefused) {
  std::vector<uint8_t> table = TwoRecords();
  table.pop_back();  // the last record's last terminator is cut off
  EXPECT_FALSE(Fits(table));
  std::vector<uint8_t> longer = TwoRecords();
  StoreU32LE(longer.data() + FILE_TABLE_COUNT_FIELD, uint32_t(longer.size()));  // first record
  EXPECT_FALSE(Fits(longer));
}

TEST(FileTableCheck, StringWithoutTerminatorInsideItsRecordIsRefused) {
  std::vector<uint8_t> table = TwoRecords();
  const uint32_t first = LoadU32LE(table.data() + FILE_TABLE_COUNT_FIELD);
  // The first record claims to end one byte early: its last string runs into the next.
  StoreU32LE(table.data() + FILE_TABLE_COUNT_FIELD, first - 1);
  EXPECT_FALSE(Fits(table));
}

TEST(FileTableCheck, RecordTooShortForItsVersionBlockIsRefused) {
  FileRecord record;
  record.name = "v.dll";
  std::vector<uint8_t> table = FileTableContent({record});
  table[FILE_TABLE_COUNT_FIELD + FILE_ENTRY_FLAGS] = FE_LANGUAGE_CHECK;  // no block follows
  EXPECT_FALSE(Fits(table));
}

using FileTableLoad = SetupFileTest;

TEST_F(FileTableLoad, DamagedTableEndsTheLoad) {
  std::vector<uint8_t> table = TwoRecords();
  StoreU32LE(table.data(), 0x7FFFFFFF);
  ArchiveWriter writer(FakeImage());
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, table, true);
  EXPECT_FALSE(Load(writer.Finish()));
  EXPECT_EQ(Archive.fileCount, 0u);
}

TEST_F(FileTableLoad, EndBlockSizeBeyondTheFileStillEndsTheWalk) {
  // A 16-byte program, BLOCK_END with size 5 and data size 0: four bytes behind its header.
  std::vector<uint8_t> file(16, 0xCC);
  PutU16(file, BLOCK_END);
  PutU16(file, 0);
  PutU32(file, 5);
  PutU32(file, 0);
  ASSERT_TRUE(Load(file, 16));
  EXPECT_EQ(Archive.DataAreaOffset, 16u + BLOCK_HEADER_SIZE);
  EXPECT_EQ(Archive.VolumeSize, 0u);
}

TEST_F(FileTableLoad, EndBlockCountingEveryVolumesDataLoads) {
  std::vector<uint8_t> data(70000, 0x11);
  ArchiveWriter writer(FakeImage());
  writer.SetDataArea(std::vector<uint8_t>(data.begin(), data.begin() + 1000));
  std::vector<uint8_t> file = writer.Finish();
  // BLOCK_END's size field, counting the data of both volumes.
  StoreU32LE(file.data() + file.size() - 1000 - VOLUME_SIZE_FIELD - 4, 4 + 70000);
  ASSERT_TRUE(Load(file));
  EXPECT_EQ(Archive.VolumeSize, 1000u);
  EXPECT_EQ(Archive.DataAreaOffset, file.size() - 1000 - VOLUME_SIZE_FIELD);
}

}  // namespace
