// Path buffers stay terminated whatever is copied into them, and a copy may overlap.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/session_paths.h"

namespace {

TEST(PathBuffer, CopyOfOverlongTextIsCutToTheBufferAndTerminated) {
  char buffer[PATH_BUFFER_SIZE + 8];
  std::memset(buffer, 'x', sizeof buffer);
  const std::string text(PATH_BUFFER_SIZE, 'a');  // one character too many
  EXPECT_FALSE(CopyPath(buffer, text.c_str()));
  EXPECT_EQ(std::string(buffer), std::string(PATH_BUFFER_SIZE - 1, 'a'));
  EXPECT_EQ(buffer[PATH_BUFFER_SIZE], 'x');  // nothing written behind the buffer
}

TEST(PathBuffer, CopyOfTextThatFitsIsWhole) {
  char buffer[PATH_BUFFER_SIZE];
  const std::string text(PATH_BUFFER_SIZE - 1, 'b');
  EXPECT_TRUE(CopyPath(buffer, text.c_str()));
  EXPECT_EQ(std::string(buffer), text);
}

TEST(PathBuffer, SessionBuffersAreZeroFilledAndFreed) {
  ASSERT_TRUE(AllocateSessionPaths());
  for (const char* path : {SourcePath, VolumePath, InstallDir, TargetPath, ScratchPath,
                           ErrorPath, UninstallPath}) {
    ASSERT_NE(path, nullptr);
    for (uint32_t i = 0; i < PATH_BUFFER_SIZE; ++i) ASSERT_EQ(path[i], '\0');
  }
  FreeSessionPaths();
  EXPECT_EQ(SourcePath, nullptr);
  EXPECT_EQ(UninstallPath, nullptr);
}

}  // namespace
