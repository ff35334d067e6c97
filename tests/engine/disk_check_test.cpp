// The disk check under Wine, against real files in a scratch InstallDir on drive C:, whose
// free space Wine reports from the host (tens of GB). Record sizes up to 0xFFFFFFFF are
// chosen from that free space, so that a set just exceeds it or stays well inside it; the
// existing targets that such sets need are sparse files, which take no room on the host.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/check_targets.h"
#include "engine/file_table.h"
#include "engine/install_state.h"
#include "engine/space_requirement.h"
#include "engine_fixture.h"

using namespace engine_test;

namespace {

// The largest record size, and the room it takes on any drive: 4 GiB of whole clusters.
constexpr uint32_t LARGEST_SIZE = 0xFFFFFFFFu;
constexpr uint64_t LARGEST_ROOM = uint64_t(1) << 32;
constexpr uint32_t HALF_SIZE = 0x80000000u;

std::string Numbered(const char* stem, uint32_t i) { return stem + std::to_string(i) + ".bin"; }

std::vector<FileRecord> Records(const char* stem, uint32_t count, uint32_t size) {
  std::vector<FileRecord> records;
  for (uint32_t i = 0; i < count; ++i) {
    records.push_back(Record(Numbered(stem, i), DIR_INSTALL, size));
  }
  return records;
}

// The existing targets of Records(stem, count, ...) in dir, each of size bytes.
void MakeTargets(const ScratchDirectory& dir, const char* stem, uint32_t count, uint32_t size) {
  for (uint32_t i = 0; i < count; ++i) dir.MakeFile(Numbered(stem, i), size);
}

// How many files of room bytes each the drive of path cannot hold.
uint32_t MoreThanFit(const std::string& path, uint64_t room) {
  return uint32_t(FreeBytes(path) / room + 1);
}

// The session with InstallDir at a fresh scratch directory on a drive with room for the
// largest file and more.
struct CheckSession {
  explicit CheckSession(const char* name) : dir(name) {
    CopyPath(InstallDir, dir.Path().c_str());
    ProtectedFilesFound = false;
  }
  EngineSession session;
  ScratchDirectory dir;
};

TEST(CheckTargets, NewFilesNeedTheirSpace) {
  CheckSession check("new");
  ASSERT_GT(FreeBytes(check.dir.Path()), 3 * LARGEST_ROOM);
  LoadFileTable({Record("small.txt", DIR_INSTALL, 70000)});
  EXPECT_EQ(CheckTargets(), CHECK_OK);
  LoadFileTable(Records("new", MoreThanFit(check.dir.Path(), LARGEST_ROOM), LARGEST_SIZE));
  EXPECT_EQ(CheckTargets(), CHECK_NO_SPACE);
}

// Half-size targets: each file needs half its room, which the drive holds for as many files
// as would not fit whole.
TEST(CheckTargets, ReplacedFilesNeedOnlyTheirGrowth) {
  CheckSession check("growth");
  const uint32_t count = MoreThanFit(check.dir.Path(), LARGEST_ROOM);
  if (count * (LARGEST_ROOM / 2) + 2 * LARGEST_ROOM >= FreeBytes(check.dir.Path())) {
    GTEST_SKIP() << "the drive's free space is too small to tell growth from whole files";
  }
  MakeTargets(check.dir, "big", count, HALF_SIZE);
  LoadFileTable(Records("big", count, LARGEST_SIZE));
  EXPECT_EQ(CheckTargets(), CHECK_OK);
}

TEST(CheckTargets, GrowthOfReplacedFilesIsCounted) {
  CheckSession check("grow");
  const uint32_t count = MoreThanFit(check.dir.Path(), LARGEST_ROOM / 2);
  MakeTargets(check.dir, "big", count, HALF_SIZE);
  LoadFileTable(Records("big", count, LARGEST_SIZE));
  EXPECT_EQ(CheckTargets(), CHECK_NO_SPACE);
}

// New files that leave 2 GiB free: the temporary copy of the largest (4 GiB) does not fit.
TEST(CheckTargets, LargestFileIsNeededOnceMore) {
  CheckSession check("largest");
  ASSERT_GT(FreeBytes(check.dir.Path()), 2 * LARGEST_ROOM);
  const uint64_t total = FreeBytes(check.dir.Path()) - LARGEST_ROOM / 2;
  std::vector<FileRecord> records = Records("whole", uint32_t(total / LARGEST_ROOM), LARGEST_SIZE);
  records.push_back(Record("rest.bin", DIR_INSTALL, uint32_t(total % LARGEST_ROOM)));
  LoadFileTable(records);
  EXPECT_EQ(CheckTargets(), CHECK_NO_SPACE);
}

TEST(CheckTargets, ExternalFilesNeedNoSpace) {
  CheckSession check("external");
  CopyPath(SourcePath, check.dir.Sub("setup.exe").c_str());
  std::vector<FileRecord> records = Records("beside", MoreThanFit(check.dir.Path(), LARGEST_ROOM),
                                            LARGEST_SIZE);
  for (FileRecord& record : records) record.installMode = MODE_EXTERNAL;
  LoadFileTable(records);
  EXPECT_EQ(CheckTargets(), CHECK_OK);
}

// Wine fails GetDiskFreeSpace for a drive letter that is not mapped and for a UNC path.
TEST(CheckTargets, UnknownFreeSpacePasses) {
  EngineSession session;
  DWORD sectors = 0, bytes = 0, free = 0, total = 0;
  ASSERT_FALSE(GetDiskFreeSpaceA("Q:\\", &sectors, &bytes, &free, &total));
  LoadFileTable(Records("any", MoreThanFit("C:\\", LARGEST_ROOM), LARGEST_SIZE));
  for (const char* installDir : {"Q:\\nowhere", "\\\\server\\share\\apps"}) {
    CopyPath(InstallDir, installDir);
    EXPECT_EQ(FreeSpaceKB(installDir), FREE_SPACE_UNKNOWN) << installDir;
    EXPECT_EQ(ClusterSizeKB(installDir), DEFAULT_CLUSTER_KB) << installDir;
    EXPECT_EQ(CheckTargets(), CHECK_OK) << installDir;
  }
}

TEST(CheckTargets, FreeSpaceAndClusterAreThoseOfThePathsDrive) {
  CheckSession check("drive");
  const std::string deep = check.dir.MakeDirectories("Apps\\Demo");
  DWORD sectors = 0, bytes = 0, free = 0, total = 0;
  ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &free, &total));
  EXPECT_EQ(ClusterSizeKB(deep.c_str()), (sectors * bytes + KB - 1) / KB);
  const double freeKB = double(FreeBytes(deep)) / KB;
  EXPECT_NEAR(double(FreeSpaceKB(deep.c_str())), freeKB, 256.0 * KB);  // others write meanwhile
}

TEST(CheckTargets, ReadOnlyTargetIsFoundAndKeepsItsAttribute) {
  CheckSession check("readonly");
  const std::string target = check.dir.MakeFile("locked.txt", 100, FILE_ATTRIBUTE_READONLY);
  LoadFileTable({Record("free.txt", DIR_INSTALL, 10), Record("locked.txt", DIR_INSTALL, 200)});
  EXPECT_EQ(CheckTargets(), CHECK_OK);
  EXPECT_TRUE(ProtectedFilesFound);
  EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(CheckTargets, RunWithoutReadOnlyTargetsClearsTheFinding) {
  CheckSession check("writable");
  const std::string target = check.dir.MakeFile("open.txt", 100);
  LoadFileTable({Record("open.txt", DIR_INSTALL, 200)});
  ProtectedFilesFound = true;
  EXPECT_EQ(CheckTargets(), CHECK_OK);
  EXPECT_FALSE(ProtectedFilesFound);
  EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(CheckTargets, FontThatExistsAlreadyIsKeptAtUninstall) {
  CheckSession check("fonts");
  PlacedFile existing(WindowsDirectory() + "\\Fonts", "lodrun-existing.ttf");
  check.dir.MakeFile("lodrun-existing.ttf", 16);
  std::vector<FileRecord> records = {Record("lodrun-existing.ttf", DIR_FONTS),
                                     Record("lodrun-new.ttf", DIR_FONTS),
                                     Record("lodrun-existing.ttf", DIR_INSTALL)};
  for (FileRecord& record : records) record.installMode = MODE_REMOVE;
  LoadFileTable(records);
  ASSERT_EQ(CheckTargets(), CHECK_OK);
  FileEntry* font = FirstEntry();
  EXPECT_EQ(+font->installMode, +MODE_KEEP);
  EXPECT_EQ(+NextEntry(font)->installMode, +MODE_REMOVE);
  EXPECT_EQ(+NextEntry(NextEntry(font))->installMode, +MODE_REMOVE);
}

}  // namespace
