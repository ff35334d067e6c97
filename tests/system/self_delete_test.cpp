// The Windows 95/98 self-deletion through WININIT.INI, on an INI file of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "system/self_delete.h"
#include "support/test_setups.h"

using namespace test_setups;

namespace {

uint32_t Find(const std::string& text, const char* path) {
  return FindWininitEntry(reinterpret_cast<const uint8_t*>(text.data()),
                          static_cast<uint32_t>(text.size()), path);
}

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadTestFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(WininitEntry, FindsWholeLinesOnly) {
  EXPECT_EQ(Find("xyz=C:\\A.EXE", "C:\\A.EXE"), 0u);
  EXPECT_EQ(Find("[Rename]\r\nxyz=C:\\A.EXE\r\n", "C:\\A.EXE"), 10u);
  EXPECT_EQ(Find("[Rename]\r\nabcxyz=C:\\A.EXE\r\n", "C:\\A.EXE"), NO_WININIT_ENTRY);
  EXPECT_EQ(Find("[Rename]\r\nxyz=C:\\A.EXEX\r\n", "C:\\A.EXE"), NO_WININIT_ENTRY);
  EXPECT_EQ(Find("xyz=C:\\A.EX", "C:\\A.EXE"), NO_WININIT_ENTRY);  // would read past the end
  EXPECT_EQ(Find("", "C:\\A.EXE"), NO_WININIT_ENTRY);
  EXPECT_EQ(Find("xyz=C:\\B.EXE\nxyz=C:\\A.EXE\n", "C:\\A.EXE"), 13u);
}

TEST(WininitEntry, RegistersDeletionBesideOtherEntries) {
  const std::string ini = WriteTestFile("wininit_test.ini", {});
  DeleteFileA(ini.c_str());
  WritePrivateProfileStringA("Rename", "NUL", "C:\\OTHER.EXE", ini.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  ASSERT_TRUE(RegisterWininitDeletion(ini.c_str(), "C:\\TEMP\\_INST1.EXE"));
  const std::string text = ReadText(ini);
  EXPECT_NE(text.find("NUL=C:\\OTHER.EXE"), std::string::npos) << text;
  EXPECT_NE(text.find("NUL=C:\\TEMP\\_INST1.EXE"), std::string::npos) << text;
  EXPECT_EQ(text.find("xyz="), std::string::npos) << text;
  EXPECT_LT(text.find("[Rename]"), text.find("NUL=C:\\TEMP"));
  DeleteFileA(ini.c_str());
}

TEST(WininitEntry, RewriteFailsWithoutFileOrEntry) {
  const std::string ini = WriteTestFile("wininit_plain.ini", {'[', 'R', ']', '\r', '\n'});
  EXPECT_FALSE(RewriteWininitEntry(ini.c_str(), "C:\\A.EXE"));
  EXPECT_EQ(ReadText(ini), "[R]\r\n");
  DeleteFileA(ini.c_str());
  EXPECT_FALSE(RewriteWininitEntry(ini.c_str(), "C:\\A.EXE"));
}

}  // namespace
