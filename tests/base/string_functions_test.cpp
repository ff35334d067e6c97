// The programs' own C string and memory functions (src/base/string_functions.cpp), linked
// into this test in place of the C runtime's. The file is built with -fno-builtin, so that
// every call below reaches them rather than the compiler's constant folding.
#include <cstring>

#include <gtest/gtest.h>

TEST(StringFunctions, LengthsAndCopiesGoThroughTheSystem) {
  char buffer[16] = "xxxxxxxxxxxxxxx";
  EXPECT_EQ(std::strlen(""), 0u);
  EXPECT_EQ(std::strlen("C:\\Bench"), 8u);
  EXPECT_EQ(std::strcpy(buffer, "abc"), buffer);
  EXPECT_EQ(std::memcmp(buffer, "abc\0xxxx", 8), 0);  // the terminator copied, nothing more
}

TEST(StringFunctions, ComparisonsOrderBytesAsUnsigned) {
  EXPECT_EQ(std::strncmp("abc", "abd", 2), 0);
  EXPECT_LT(std::strncmp("abc", "abd", 3), 0);
  EXPECT_GT(std::strncmp("\xE9t\xE9", "et", 2), 0);  // 0xE9 sorts above 'e'
  EXPECT_LT(std::strncmp("ab", "abc", 5), 0);         // the shorter text ends first
  EXPECT_EQ(std::strncmp("ab\0x", "ab\0y", 4), 0);   // nothing is compared past a terminator
  EXPECT_EQ(std::strncmp("a", "b", 0), 0);
  EXPECT_GT(std::memcmp("\x80", "\x7F", 1), 0);
  EXPECT_EQ(std::memcmp("a\0b", "a\0b", 3), 0);      // blocks go on past zeros
  EXPECT_LT(std::memcmp("a\0b", "a\0c", 3), 0);
}

TEST(StringFunctions, SearchesFindFirstLastAndTheTerminator) {
  const char path[] = "C:\\Apps\\Tool\\a.txt";
  EXPECT_EQ(std::strchr(path, '\\'), path + 2);
  EXPECT_EQ(std::strrchr(path, '\\'), path + 12);
  EXPECT_EQ(std::strchr(path, '\0'), path + sizeof path - 1);
  EXPECT_EQ(std::strrchr(path, '\0'), path + sizeof path - 1);
  EXPECT_EQ(std::strchr(path, '#'), nullptr);
  EXPECT_EQ(std::strrchr(path, '#'), nullptr);
  const char accented[] = "t\xE9";
  EXPECT_EQ(std::strchr(accented, 0xE9), accented + 1);  // an int above 127 finds its byte
  EXPECT_EQ(std::strstr("open \"%1\" now", "\"%1\""), std::strchr("open \"%1\" now", '"'));
  EXPECT_EQ(std::strstr("%%1", "%1"), std::strchr("%%1", '%') + 1);  // a false start first
  EXPECT_EQ(std::strstr("abc", ""), std::strchr("abc", 'a'));
  EXPECT_EQ(std::strstr("ab", "abc"), nullptr);
  const char block[] = {'a', '\0', 'b', 'b'};
  EXPECT_EQ(std::memchr(block, 'b', sizeof block), block + 2);
  EXPECT_EQ(std::memchr(block, 'b', 2), nullptr);
  EXPECT_EQ(std::memchr(block, 0x100 + 'a', 1), block);  // the value is taken as a byte
}

TEST(StringFunctions, MovesOverlappingBlocksBothWays) {
  char up[] = "0123456789";
  EXPECT_EQ(std::memmove(up, up + 2, 6), up);
  EXPECT_STREQ(up, "2345676789");
  char down[] = "0123456789";
  EXPECT_EQ(std::memmove(down + 2, down, 6), down + 2);
  EXPECT_STREQ(down, "0101234589");
  char copy[8];
  EXPECT_EQ(std::memset(copy, 'z', 7), copy);
  copy[7] = '\0';
  EXPECT_STREQ(copy, "zzzzzzz");
  EXPECT_EQ(std::memcpy(copy, "ab", 2), copy);
  EXPECT_STREQ(copy, "abzzzzz");
  EXPECT_EQ(std::memmove(copy, copy, 0), copy);
}
