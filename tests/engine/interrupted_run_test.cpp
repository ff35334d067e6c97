// A run interrupted while it writes a large file: the old target stays as it was, byte for
// byte, because the new content goes to a temporary file that only a rename puts in place;
// the next run removes the temporary file that the stopped one left.
#include <gtest/gtest.h>

#include "install_run.h"
#include "support/test_setups.h"

using namespace engine_test;

namespace {

constexpr uint32_t LARGE_FILE = 96u << 20;  // long enough to be caught while it is written

TEST(InterruptedRun, KilledWhileWritingLeavesTheOldTargetWhole) {
  EngineSession session;
  ScratchDirectory directory("interrupted");
  const std::vector<uint8_t> old = Content(5000, 60);
  directory.MakeDirectories("target");
  FILE* file = std::fopen(directory.Sub("target\\data.bin").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(old.data(), 1, old.size(), file);
  std::fclose(file);
  ArchiveWriter writer(test_support::FakeImage());
  writer.AddFiles({Input("data.bin", Content(LARGE_FILE, 61))}, "C:\\Target", false);
  const std::string setup = directory.Sub("large.exe");
  const std::vector<uint8_t> bytes = writer.Finish();
  file = std::fopen(setup.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  test_setups::Process runner = test_setups::StartProgram(
      LODRUN_INSTALL_RUNNER, "\"" + setup + "\" \"" + directory.Sub("target") + "\"");
  ASSERT_NE(runner.handle, nullptr);
  const std::string temporary = directory.Sub("target\\data.$$A");
  const bool writing = test_setups::WaitUntil([&] {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(temporary.c_str(), GetFileExInfoStandard, &data) &&
           data.nFileSizeLow > (1u << 20);
  }, 30000);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(runner.handle, &code);
  TerminateProcess(runner.handle, 1);
  test_setups::FinishProgram(runner);
  ASSERT_TRUE(writing) << "the run was not caught while writing; it ended with " << code;
  EXPECT_EQ(ReadBytes(directory.Sub("target\\data.bin")), old);

  // The next run writes through data.$$B and removes what the stopped one left.
  test_setups::Process again = test_setups::StartProgram(
      LODRUN_INSTALL_RUNNER, "\"" + setup + "\" \"" + directory.Sub("target") + "\"");
  ASSERT_NE(again.handle, nullptr);
  EXPECT_EQ(test_setups::FinishProgram(again), 0u);
  EXPECT_TRUE(TemporaryFiles(directory.Sub("target")).empty());
  EXPECT_EQ(ReadBytes(directory.Sub("target\\data.bin")).size(), size_t(LARGE_FILE));
}

}  // namespace
