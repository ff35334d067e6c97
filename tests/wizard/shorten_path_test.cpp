// The current file's line: leading folders that fit, "...", and the whole file name.
#include <gtest/gtest.h>

#include <string>

#include "base/path_buffer.h"
#include "wizard/shorten_path.h"

namespace {

std::string Shortened(const std::string& path, uint32_t limit = 30) {
  char buffer[PATH_BUFFER_SIZE];
  CopyPath(buffer, path.c_str());
  ShortenPath(buffer, limit);
  return buffer;
}

TEST(ShortenPath, LeadingFoldersThatFitStayBeforeTheEllipsis) {
  EXPECT_EQ(Shortened("D:\\Apps\\Tools\\Editor\\Plugins\\Extra\\readme.txt"),
            "D:\\Apps\\Tools\\...\\readme.txt");
  EXPECT_EQ(Shortened("\\\\server\\share\\folder\\sub\\file.dat"),
            "\\\\server\\share\\...\\file.dat");
}

TEST(ShortenPath, LongFileNameIsNeverCut) {
  EXPECT_EQ(Shortened("D:\\abc\\longfilename_that_is_long.txt"),
            "D:\\...\\longfilename_that_is_long.txt");
}

TEST(ShortenPath, ShortPathsAndPathsWithoutRoomToCutStay) {
  EXPECT_EQ(Shortened("D:\\Apps\\readme.txt"), "D:\\Apps\\readme.txt");
  const std::string noBackslash(40, 'n');
  EXPECT_EQ(Shortened(noBackslash), noBackslash);
  const std::string closeBackslashes = "D:\\ab\\" + std::string(40, 'f');
  EXPECT_EQ(Shortened(closeBackslashes), closeBackslashes);  // "ab" is too short to replace
}

TEST(ShortenPath, LongestPathEndsWithinItsBuffer) {
  const std::string path = "C:\\" + std::string(120, 'a') + "\\" + std::string(125, 'b') + "\\x.txt";
  ASSERT_LT(path.size(), PATH_BUFFER_SIZE);
  EXPECT_EQ(Shortened(path), "C:\\...\\x.txt");
}

}  // namespace
