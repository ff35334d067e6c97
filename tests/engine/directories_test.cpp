// Creating the directories of a file's path under Wine, in a scratch directory: nested paths,
// a path ending in a backslash, and paths that cannot be created.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "engine/directories.h"
#include "engine_fixture.h"

using namespace engine_test;

namespace {

std::string CurrentDirectory() {
  char path[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

// The names in a directory, "." and ".." left out.
int EntriesIn(const std::string& directory) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

TEST(CreateDirectories, NestedPathCreatesEachDirectoryButNotTheFile) {
  EngineSession session;
  ScratchDirectory dir("nested");
  EXPECT_EQ(CreateDirectories(dir.Sub("Apps\\Demo\\Bin\\demo.exe").c_str()), DIRECTORIES_OK);
  EXPECT_TRUE(IsDirectory(dir.Sub("Apps")));
  EXPECT_TRUE(IsDirectory(dir.Sub("Apps\\Demo")));
  EXPECT_TRUE(IsDirectory(dir.Sub("Apps\\Demo\\Bin")));
  EXPECT_FALSE(Exists(dir.Sub("Apps\\Demo\\Bin\\demo.exe")));
  EXPECT_EQ(EntriesIn(dir.Sub("Apps\\Demo\\Bin")), 0);
}

TEST(CreateDirectories, TrailingBackslashCreatesThePathWhole) {
  EngineSession session;
  ScratchDirectory dir("whole");
  EXPECT_EQ(CreateDirectories(dir.Sub("Apps\\Demo\\").c_str()), DIRECTORIES_OK);
  EXPECT_TRUE(IsDirectory(dir.Sub("Apps\\Demo")));
}

TEST(CreateDirectories, ExistingDirectoriesAreEnteredDownToTheDeepest) {
  EngineSession session;
  ScratchDirectory dir("existing");
  const std::string demo = dir.MakeDirectories("Apps\\Demo");
  EXPECT_EQ(CreateDirectories((demo + "\\demo.exe").c_str()), DIRECTORIES_OK);
  EXPECT_EQ(CurrentDirectory(), demo);
  EXPECT_EQ(EntriesIn(demo), 0);
}

TEST(CreateDirectories, FileInTheWayFails) {
  EngineSession session;
  ScratchDirectory dir("blocked");
  dir.MakeFile("Apps", 10);
  EXPECT_EQ(CreateDirectories(dir.Sub("Apps\\Demo\\demo.exe").c_str()), DIRECTORIES_FAILED);
  EXPECT_FALSE(IsDirectory(dir.Sub("Apps")));
}

// Wine keeps UNC paths under the prefix's dosdevices\unc; nothing may appear there, nor in the
// current directory (a relative "server" or "share").
TEST(CreateDirectories, UncPathOnAMissingServerFailsAndCreatesNothing) {
  EngineSession session;
  ScratchDirectory dir("unc");
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  EXPECT_EQ(CreateDirectories("\\\\server\\share\\new\\file.txt"), DIRECTORIES_FAILED);
  EXPECT_EQ(EntriesIn(dir.Path()), 0);
  EXPECT_FALSE(Exists("\\\\server\\share\\new"));
  if (const char* prefix = std::getenv("WINEPREFIX")) {
    std::string unc = std::string("Z:") + prefix + "/dosdevices/unc/server";
    for (char& c : unc) c = c == '/' ? '\\' : c;
    EXPECT_FALSE(Exists(unc)) << unc;
  }
}

}  // namespace
