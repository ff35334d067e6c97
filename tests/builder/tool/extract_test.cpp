// lodrun extract writes every file under its own name only: its temporaries cannot take a
// record's name, and a setup with two records of one target (as Windows compares names) is
// refused whole, leaving nothing behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/file_setups.h"

using namespace manifest_test;

namespace {

class Extract : public testing::Test {
 protected:
  ToolRun Run() { return RunTool({"extract", folder.Path("setup.exe"), "-C", folder.Path("out")}); }
  ManifestFolder folder;
};

TEST_F(Extract, TemporaryNamesNeverTakeARecordsName) {
  const std::vector<uint8_t> part = Content(3000, 1), whole = Content(4000, 2);
  WriteChangedSetup(folder, "setup.exe", {{"a.part", part}, {"a", whole}, {"b", Content(10, 3)}, {"b.part", {}}});
  const ToolRun extract = Run();
  ASSERT_EQ(extract.code, 0) << extract.output;
  EXPECT_EQ(folder.Read("out/a.part"), part);
  EXPECT_EQ(folder.Read("out/a"), whole);
  EXPECT_EQ(folder.Read("out/b"), Content(10, 3));
  EXPECT_TRUE(folder.Exists("out/b.part"));
}

TEST_F(Extract, LeavesNoTemporaryBehind) {
  WriteChangedSetup(folder, "setup.exe", {{"app.exe", Content(3000, 1)}, {"Help\\guide.txt", Content(50, 2)}});
  ASSERT_EQ(Run().code, 0);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.Path("out"))) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Help", "app.exe"}));
}

TEST_F(Extract, RefusesTwoRecordsOfOneTarget) {
  for (const char* second : {"README.TXT", "readme.txt.", "Readme.txt  ", "readme.txt"}) {
    WriteChangedSetup(folder, "setup.exe", {{"Readme.txt", Content(300, 1)}, {second, Content(400, 2)}});
    const ToolRun extract = Run();
    EXPECT_EQ(extract.code, 1) << second;
    EXPECT_NE(extract.output.find("\"Readme.txt\" (file record 1) and \"" + std::string(second) +
                                  "\" (file record 2) go to one target; nothing extracted"),
              std::string::npos) << extract.output;
    EXPECT_FALSE(folder.Exists("out")) << second;
  }
}

TEST_F(Extract, RefusesAFileWhereAnotherRecordNeedsItsFolder) {
  WriteChangedSetup(folder, "setup.exe", {{"Help", Content(300, 1)}, {"help\\guide.txt", Content(400, 2)}});
  const ToolRun extract = Run();
  EXPECT_EQ(extract.code, 1);
  EXPECT_NE(extract.output.find("\"Help\" (file record 1) is a file where \"help\\guide.txt\" (file record 2) "
                                "needs a folder of that name"),
            std::string::npos) << extract.output;
  EXPECT_FALSE(folder.Exists("out"));
}

TEST_F(Extract, SameNameInAnotherDestinationIsNoClash) {
  WriteChangedSetup(folder, "setup.exe", {{"lib.dll", Content(300, 1)}, {"lib.dll", Content(400, 2)}},
                    [](FileRecord& record, size_t index) { record.dirCode = index == 0 ? DIR_INSTALL : DIR_SYSTEM; });
  ASSERT_EQ(Run().code, 0);
  EXPECT_EQ(folder.Read("out/lib.dll"), Content(300, 1));
  EXPECT_EQ(folder.Read("out/@system/lib.dll"), Content(400, 2));
}

}  // namespace

namespace {

TEST(ExtractCodePage, TargetsAreComparedInTheSetupsCodePageAndAsUtf8) {
  ManifestFolder folder;
  const auto run = [&] { return RunTool({"extract", folder.Path("setup.exe"), "-C", folder.Path("out")}); };
  // 'é' (0xE9) and 'É' (0xC9) are one letter to Windows in code page 1252.
  WriteChangedSetup(folder, "setup.exe", {{"\xE9t\xE9.txt", Content(30, 1)}, {"\xC9T\xC9.TXT", Content(40, 2)}});
  const ToolRun windows = run();
  EXPECT_EQ(windows.code, 1);
  EXPECT_NE(windows.output.find("go to one target; nothing extracted"), std::string::npos) << windows.output;
  // 0x81 and 0x8D are no characters of 1252: both read as U+FFFD, one name on this side.
  WriteChangedSetup(folder, "setup.exe", {{"a\x81.txt", Content(30, 1)}, {"a\x8D.txt", Content(40, 2)}});
  const ToolRun utf8 = run();
  EXPECT_EQ(utf8.code, 1);
  EXPECT_NE(utf8.output.find("has the name of another record as UTF-8; nothing extracted"), std::string::npos)
      << utf8.output;
  EXPECT_FALSE(folder.Exists("out"));
}

}  // namespace
