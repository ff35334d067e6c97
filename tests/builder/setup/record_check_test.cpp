// The file records' targets compared as Windows compares names, which verify and extract
// refuse two records of.
#include <gtest/gtest.h>

#include "builder/setup/record_check.h"
#include "support/named_record.h"

namespace {

TEST(RecordCheck, TargetsCompareAsWindowsComparesNames) {
  const std::string key = TargetKey(Named("Help\\Guide.txt"));
  for (const char* same : {"help\\guide.TXT", "HELP/GUIDE.TXT", "Help\\.\\Guide.txt", "Help.\\Guide.txt. ",
                           "Help\\\\Guide.txt"}) {
    EXPECT_EQ(TargetKey(Named(same)), key) << same;
  }
  for (const char* other : {"Help\\Guide.tx", "Help\\..\\Guide.txt", "Guide.txt", "Help\\Guide.txt\\x"}) {
    EXPECT_NE(TargetKey(Named(other)), key) << other;
  }
}

TEST(RecordCheck, DestinationsAreTargetsApart) {
  EXPECT_NE(TargetKey(Named("a.dll", DIR_SYSTEM)), TargetKey(Named("a.dll")));
  // The program installs an unknown destination as the installation folder.
  EXPECT_EQ(TargetKey(Named("a.dll", 9)), TargetKey(Named("a.dll")));
  FileRecord external = Named("a.dll");
  external.installMode = MODE_EXTERNAL;
  EXPECT_NE(TargetKey(external), TargetKey(Named("a.dll")));
}

TEST(RecordCheck, ClashesNameBothRecords) {
  const std::vector<FileRecord> records = {Named("a"), Named("b"), Named("A."), Named("b\\c")};
  const std::vector<std::string> clashes = TargetClashes(records, {0, 1, 2, 3});
  ASSERT_EQ(clashes.size(), 2u);
  EXPECT_EQ(clashes[0], "\"a\" (file record 1) and \"A.\" (file record 3) go to one target");
  EXPECT_EQ(clashes[1], "\"b\" (file record 2) is a file where \"b\\c\" (file record 4) needs a folder of that name");
  EXPECT_TRUE(TargetClashes(records, {0, 1}).empty());
}

}  // namespace
