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

TEST(PathBuffer, BackslashIsAppendedOnceAndStrippedOnlyBehindARoot) {
  char path[PATH_BUFFER_SIZE] = "D:\\Demo";
  EXPECT_TRUE(AppendBackslash(path));
  EXPECT_TRUE(AppendBackslash(path));
  EXPECT_STREQ(path, "D:\\Demo\\");
  StripBackslash(path);
  EXPECT_STREQ(path, "D:\\Demo");
  char root[PATH_BUFFER_SIZE] = "D:\\";
  StripBackslash(root);
  EXPECT_STREQ(root, "D:\\");
  char empty[PATH_BUFFER_SIZE] = "";
  EXPECT_TRUE(AppendBackslash(empty));
  EXPECT_STREQ(empty, "");
}

TEST(PathBuffer, AppendThatWouldNotFitLeavesThePathAlone) {
  char path[PATH_BUFFER_SIZE + 4];
  std::memset(path, 'x', sizeof path);
  const std::string full(PATH_BUFFER_SIZE - 1, 'p');
  ASSERT_TRUE(CopyPath(path, full.c_str()));
  EXPECT_FALSE(AppendBackslash(path));
  EXPECT_FALSE(AppendPath(path, "a"));
  EXPECT_EQ(std::string(path), full);
  EXPECT_EQ(path[PATH_BUFFER_SIZE], 'x');
  char almost[PATH_BUFFER_SIZE];
  ASSERT_TRUE(CopyPath(almost, std::string(PATH_BUFFER_SIZE - 2, 'q').c_str()));
  EXPECT_TRUE(AppendPath(almost, "r"));  // the last character that fits
  EXPECT_EQ(std::strlen(almost), PATH_BUFFER_SIZE - 1);
}

TEST(PathBuffer, ExtensionOfTheLastComponentIsReplacedOrTheSuffixAppended) {
  char path[PATH_BUFFER_SIZE] = "E:\\SETUP.EXE";
  EXPECT_TRUE(ReplaceExtension(path, ".D01"));
  EXPECT_STREQ(path, "E:\\SETUP.D01");
  char bare[PATH_BUFFER_SIZE] = "E:\\disk.one\\SETUP";  // the dot is in a directory
  EXPECT_TRUE(ReplaceExtension(bare, ".D01"));
  EXPECT_STREQ(bare, "E:\\disk.one\\SETUP.D01");
  char twoDots[PATH_BUFFER_SIZE] = "setup.tar.exe";
  EXPECT_TRUE(ReplaceExtension(twoDots, ".D10"));
  EXPECT_STREQ(twoDots, "setup.tar.D10");
}

TEST(PathBuffer, ExtensionThatWouldNotFitIsRefused) {
  char path[PATH_BUFFER_SIZE];
  const std::string name(PATH_BUFFER_SIZE - 4, 's');  // 256 characters, no extension
  ASSERT_TRUE(CopyPath(path, name.c_str()));
  EXPECT_FALSE(ReplaceExtension(path, ".D01"));
  EXPECT_EQ(std::string(path), name);
  ASSERT_TRUE(CopyPath(path, (name.substr(1) + ".EXE").c_str()));  // 259 characters
  EXPECT_TRUE(ReplaceExtension(path, ".D01"));
  EXPECT_EQ(std::strlen(path), PATH_BUFFER_SIZE - 1);
}

TEST(PathBuffer, RootOfADriveOrAUncPathIsWhereTheNamesBegin) {
  EXPECT_EQ(PathRootLength("C:\\Apps\\Demo"), 3u);
  EXPECT_EQ(PathRootLength("C:\\"), 3u);
  EXPECT_EQ(PathRootLength("\\\\server\\share"), 2u);
  EXPECT_EQ(PathRootLength("C:Apps"), 0u);  // relative to the drive's current directory
  EXPECT_EQ(PathRootLength("Apps\\Demo"), 0u);
  EXPECT_EQ(PathRootLength("\\Apps"), 0u);
  EXPECT_EQ(PathRootLength(""), 0u);
}

TEST(PathBuffer, FileNameIsThePartBehindTheLastBackslash) {
  EXPECT_STREQ(PathFileName("C:\\Windows\\System\\ctl3d.dll"), "ctl3d.dll");
  EXPECT_STREQ(PathFileName("ctl3d.dll"), "ctl3d.dll");
  EXPECT_STREQ(PathFileName("C:\\Apps\\"), "");
}

}  // namespace
