// Texts of the setup formatted with a path: only a format whose one conversion is "%s" is
// filled; anything else is shown as it stands, so that no format reads arguments it was not
// given; every result stays within its buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "wizard/messages.h"

namespace {

std::string Formatted(const std::string& format, const char* text = "C:\\Apps") {
  char buffer[MESSAGE_BUFFER_SIZE + 8];
  std::memset(buffer, '#', sizeof buffer);
  FormatWithText(buffer, format.c_str(), text);
  EXPECT_EQ(buffer[MESSAGE_BUFFER_SIZE], '#');  // nothing behind the buffer
  return buffer;
}

TEST(FormatWithText, OnePathConversionIsFilledAndPercentSignsStay) {
  EXPECT_EQ(Formatted("Install into %s (100%%)."), "Install into C:\\Apps (100%).");
  EXPECT_EQ(Formatted("No conversion"), "No conversion");
  EXPECT_EQ(Formatted("Nothing to fill, done 100%%."), "Nothing to fill, done 100%.");  // as wsprintf prints it
}

TEST(FormatWithText, OtherConversionsAreShownAsTheyStand) {
  EXPECT_EQ(Formatted("%d files into %s"), "%d files into %s");
  EXPECT_EQ(Formatted("%s and %s"), "%s and %s");
  EXPECT_EQ(Formatted("100% sure"), "100% sure");
}

TEST(FormatWithText, LongResultsAreCutToTheBuffer) {
  const std::string longText(2000, 'x');
  EXPECT_EQ(Formatted(longText).size(), MESSAGE_BUFFER_SIZE - 1);
  EXPECT_EQ(Formatted("%s", longText.c_str()).size(), MESSAGE_BUFFER_SIZE - 1);
}

}  // namespace
