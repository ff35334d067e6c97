// Test support: builds setup files around a small fake program image and loads them the
// way the program does (ImageSize patched in the image, SourcePath naming the file).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/setup_archive.h"
#include "base/session_paths.h"
#include "builder/setup/archive_writer.h"
#include "support/fake_image.h"

using test_support::FakeImage;

inline std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = testing::TempDir() + "lodrun_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f != nullptr) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

// Loads setup files as the program would, and frees everything after each test.
class SetupFileTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AllocateSessionPaths());
    FreeSetupArchive();
  }
  void TearDown() override {
    FreeSetupArchive();
    FreeSessionPaths();
  }

  bool Load(const std::vector<uint8_t>& file, uint32_t imageSize = 512) {
    std::string path = WriteTempFile(testing::UnitTest::GetInstance()->current_test_info()->name(), file);
    SetImageSize(imageSize);
    CopyPath(SourcePath, path.c_str());
    return LoadSetupArchive();
  }

  // The status that ended the walk over the file's blocks behind imageSize.
  LoadStatus LoadStatusOf(const std::vector<uint8_t>& file, uint32_t imageSize = 512) {
    std::string path = WriteTempFile(testing::UnitTest::GetInstance()->current_test_info()->name(), file);
    FileHandle opened = FileOpen(path.c_str(), OPEN_READ);
    if (opened == INVALID_FILE || FileSeek(opened, imageSize) != imageSize) return LOAD_SHORT_READ;
    const LoadStatus status = LoadArchiveBlocks(opened);
    FileClose(opened);
    return status;
  }
};
