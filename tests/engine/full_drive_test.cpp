// A target drive that fills up while a file is written (drive S:, a small file system that
// scripts/test-windows mounts where the machine allows): the run stops with the error of a
// file that cannot be written and the system's reason, never the one of damaged setup files;
// the old target stays and no temporary file is left.
#include <gtest/gtest.h>

#include "engine/file_table.h"
#include "install_run.h"

using namespace engine_test;

namespace {

constexpr char SMALL_DRIVE[] = "S:\\";
constexpr uint32_t LARGER_THAN_THE_DRIVE = 2u << 20;

TEST(FullDrive, WriteThatRunsOutOfRoomIsToldAsAFullDiskAndLeavesTheOldTarget) {
  if (GetFileAttributesA(SMALL_DRIVE) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no small drive S: (scripts/test-windows mounts one where it may)";
  }
  EngineSession session;
  ScratchDirectory directory("full-drive");
  const std::string target = std::string(SMALL_DRIVE) + "lodrun-full\\data.bin";
  RemoveTree(std::string(SMALL_DRIVE) + "lodrun-full");
  CreateDirectoryA((std::string(SMALL_DRIVE) + "lodrun-full").c_str(), nullptr);
  const std::vector<uint8_t> old = Content(1000, 80);
  FILE* file = std::fopen(target.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(old.data(), 1, old.size(), file);
  std::fclose(file);
  InstallRun run(directory);
  run.Load({Input("data.bin", Content(LARGER_THAN_THE_DRIVE, 81))});
  CopyPath(InstallDir, (std::string(SMALL_DRIVE) + "lodrun-full\\").c_str());
  EXPECT_EQ(run.RunAll(), INSTALL_ERROR_CREATE);
  EXPECT_EQ(std::string(ErrorPath), std::string(SMALL_DRIVE) + "lodrun-full\\data.$$A");
  EXPECT_EQ(InstallErrorReason, uint32_t(ERROR_DISK_FULL));
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_TRUE(TemporaryFiles(std::string(SMALL_DRIVE) + "lodrun-full").empty());
  RemoveTree(std::string(SMALL_DRIVE) + "lodrun-full");
}

}  // namespace
