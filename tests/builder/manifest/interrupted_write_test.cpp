// A build killed while it renames its files into place: before the setup file is renamed
// the old setup file stands, and verify tells the volumes that are not its own; once it is
// renamed the whole new set works, stale volumes of the old one beside it or not.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "builder/manifest/setup_build.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/setup_reader.h"
#include "support/fake_image.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A stored setup of three files of size bytes each, cut into volumes of volumeSize bytes.
std::vector<Bytes> SetupSet(size_t size, uint8_t seed, uint32_t volumeSize) {
  std::vector<FileInput> files(3);
  for (size_t i = 0; i < files.size(); ++i) {
    files[i].record.name = "file" + std::to_string(i) + ".dat";
    for (size_t b = 0; b < size; ++b) files[i].content.push_back(uint8_t(seed + b * (i + 1) % 251));
  }
  ArchiveWriter writer(test_support::FakeImage());
  writer.AddFiles(files, "C:\\App", false, 0);
  return writer.FinishVolumes(volumeSize);
}

class InterruptedWrite : public testing::Test {
 protected:
  InterruptedWrite() {
    char pattern[] = "/tmp/lodrun-interrupted-XXXXXX";
    root = mkdtemp(pattern);
    setup = (root / "setup.exe").string();
  }
  ~InterruptedWrite() override { fs::remove_all(root); }

  void Write(const std::vector<Bytes>& set, const RenameStep& step = {}) {
    WriteFilesInPlace(SetupFileNames(setup, set.size()), [&](size_t i, ByteSink& out) { out.Write(set[i]); }, step);
  }
  // Writes set in a child process that is killed when renamesDone reaches killAt.
  void WriteKilledAt(const std::vector<Bytes>& set, size_t killAt) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Write(set, [&](size_t renamesDone) {
        if (renamesDone == killAt) raise(SIGKILL);
      });
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  }
  Bytes Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  // What verify finds: the volumes' faults, and whether every file decodes to its record.
  std::vector<std::string> Faults(bool* allIntact) const {
    SetupSummary summary;
    std::string error;
    EXPECT_TRUE(ReadSetupSummary(setup, &summary, &error)) << error;
    *allIntact = true;
    for (const DecodedFile& file : DecodeFiles(setup, summary, {}, &error)) *allIntact &= file.matches;
    return VolumeFaults(setup, summary);
  }

  fs::path root;
  std::string setup;
};

TEST_F(InterruptedWrite, KilledBeforeAnyRenameLeavesTheOldSetWhole) {
  const std::vector<Bytes> old = SetupSet(2000, 1, 3000), fresh = SetupSet(2000, 2, 2500);
  Write(old);
  WriteKilledAt(fresh, 0);
  EXPECT_EQ(Read(setup), old[0]);
  bool intact = false;
  EXPECT_TRUE(Faults(&intact).empty());
  EXPECT_TRUE(intact);
}

TEST_F(InterruptedWrite, KilledOnceTheSetupFileIsRenamedLeavesTheNewSetWorking) {
  const std::vector<Bytes> old = SetupSet(2000, 1, 1000), fresh = SetupSet(2000, 2, 2500);
  ASSERT_GT(old.size(), fresh.size());
  Write(old);
  WriteKilledAt(fresh, fresh.size());  // after the last rename, before the stale volumes go
  EXPECT_EQ(Read(setup), fresh[0]);
  EXPECT_TRUE(fs::exists(SetupFileNames(setup, old.size()).back()));
  bool intact = false;
  EXPECT_TRUE(Faults(&intact).empty());
  EXPECT_TRUE(intact);
}

TEST_F(InterruptedWrite, VolumesRenamedBeforeTheSetupFileAreToldAsAnotherBuilds) {
  const std::vector<Bytes> old = SetupSet(2000, 1, 3000), fresh = SetupSet(2000, 2, 2500);
  Write(old);
  WriteKilledAt(fresh, fresh.size() - 1);  // every volume renamed, the setup file not
  EXPECT_EQ(Read(setup), old[0]);
  bool intact = true;
  const std::vector<std::string> faults = Faults(&intact);
  ASSERT_FALSE(faults.empty());
  EXPECT_NE(faults[0].find("setup.D01: its size field says 2500 data bytes where this setup's volumes hold 3000"),
            std::string::npos)
      << faults[0];
  EXPECT_NE(faults[0].find("belongs to another build"), std::string::npos) << faults[0];
  EXPECT_FALSE(intact);
}

TEST_F(InterruptedWrite, SetupFileIsRenamedLast) {
  const std::vector<Bytes> fresh = SetupSet(2000, 2, 2500);
  std::vector<bool> setupThere;
  Write(fresh, [&](size_t) { setupThere.push_back(fs::exists(setup)); });
  std::vector<bool> expected(fresh.size(), false);  // told before each rename, then once after
  expected.push_back(true);
  EXPECT_EQ(setupThere, expected);
}

}  // namespace
