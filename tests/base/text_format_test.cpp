// Texts composed in fixed buffers from the setup's formats: the one conversion filled, every
// other format shown as it stands, and nothing written past the buffer.
#include <gtest/gtest.h>

#include <string>

#include "base/text_format.h"

namespace {

TEST(TextFormat, NumberFillsTheOneNumberFormatAndIsCutToItsBuffer) {
  char text[100];
  FormatNumber(text, sizeof text, "%d MB", 4096);
  EXPECT_STREQ(text, "4096 MB");
  FormatNumber(text, sizeof text, "100%% of %d", 7);
  EXPECT_STREQ(text, "100% of 7");
  FormatNumber(text, sizeof text, "%s and %d", 7);  // not a number format: as it stands
  EXPECT_STREQ(text, "%s and %d");
  FormatNumber(text, sizeof text, "%d or %d", 7);
  EXPECT_STREQ(text, "%d or %d");
  struct {
    char text[8];
    char guard[4];
  } cut = {{}, {'G', 'G', 'G', 'G'}};
  FormatNumber(cut.text, sizeof cut.text, "%d megabytes", 12345);
  EXPECT_STREQ(cut.text, "12345 m");
  EXPECT_EQ(std::string(cut.guard, 4), "GGGG");
  const std::string longFormat(300, 'x');
  FormatNumber(text, sizeof text, longFormat.c_str(), 1);
  EXPECT_EQ(std::string(text), std::string(99, 'x'));
}

TEST(TextFormat, AppendCutsAtTheBuffersEnd) {
  char text[8] = "abc";
  AppendCutText(text, sizeof text, "defghij");
  EXPECT_STREQ(text, "abcdefg");
  AppendCutText(text, sizeof text, "more");
  EXPECT_STREQ(text, "abcdefg");
}

TEST(TextFormat, AppendTextRefusesWhatWouldNotFitAndKeepsTheBuffer) {
  char text[8] = "abc";
  EXPECT_TRUE(AppendText(text, sizeof text, "defg"));  // seven characters and the terminator
  EXPECT_STREQ(text, "abcdefg");
  EXPECT_FALSE(AppendText(text, sizeof text, "h"));
  EXPECT_STREQ(text, "abcdefg");
  EXPECT_TRUE(AppendText(text, sizeof text, ""));
}

TEST(TextFormat, TextFillsTheOneTextFormatOnly) {
  char text[100];
  FormatText(text, sizeof text, "%s cannot be opened, 100%% sure.", "C:\\a.txt");
  EXPECT_STREQ(text, "C:\\a.txt cannot be opened, 100% sure.");
  FormatText(text, sizeof text, "No file here: 100%%.", "C:\\a.txt");  // no %s: still one "%"
  EXPECT_STREQ(text, "No file here: 100%.");
  FormatText(text, sizeof text, "%s or %s", "x");
  EXPECT_STREQ(text, "%s or %s");
  FormatText(text, sizeof text, "%s is %d bytes", "x");  // wsprintf would read a missing number
  EXPECT_STREQ(text, "%s is %d bytes");
}

TEST(TextFormat, TextLongerThanItsBufferIsCutAndNothingWrittenBehind) {
  struct {
    char text[10];
    char guard[4];
  } cut = {{}, {'G', 'G', 'G', 'G'}};
  FormatText(cut.text, sizeof cut.text, "Remove %s?", "C:\\Program Files\\Demo");
  EXPECT_STREQ(cut.text, "Remove C:");
  EXPECT_EQ(std::string(cut.guard, 4), "GGGG");
}

}  // namespace
