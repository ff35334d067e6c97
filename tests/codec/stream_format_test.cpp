// The format header's tables against the tests' own copies. The decoder and the encoder
// share one definition, so a slip in it shows here, at its place, rather than as a wrong
// byte somewhere in a round trip.
#include <gtest/gtest.h>

#include "codec/codec_test_util.h"
#include "codec/stream_format.h"

namespace {

TEST(StreamFormat, FixedCodeLengthsMatchTheControl) {
  ASSERT_EQ(FixedLiteralCode().Lengths().size(), STREAM_FIXED_LITERAL_LENGTH_CODES);
  for (uint32_t symbol = 0; symbol < STREAM_FIXED_LITERAL_LENGTH_CODES; ++symbol) {
    EXPECT_EQ(StreamFixedLiteralLength(symbol), FixedLiteralCode().LengthOf(symbol)) << symbol;
  }
  EXPECT_EQ(FixedDistanceCode().Lengths(),
            std::vector<uint32_t>(STREAM_FIXED_DISTANCE_CODES, STREAM_FIXED_DISTANCE_LENGTH));
}

TEST(StreamFormat, CodeLengthOrderMatchesTheControl) {
  for (uint32_t i = 0; i < STREAM_CODE_LENGTH_CODES; ++i) {
    EXPECT_EQ(STREAM_CODE_LENGTH_ORDER[i], CONTROL_CODE_LENGTH_ORDER[i]) << i;
  }
}

TEST(StreamFormat, MatchTablesMatchTheControl) {
  for (uint32_t i = 0; i < STREAM_LENGTH_SYMBOLS; ++i) {
    EXPECT_EQ(STREAM_LENGTH_BASE[i], CONTROL_LENGTH_BASE[i]) << "length symbol " << 257 + i;
    EXPECT_EQ(STREAM_LENGTH_EXTRA[i], CONTROL_LENGTH_EXTRA[i]) << "length symbol " << 257 + i;
  }
  for (uint32_t i = 0; i < STREAM_MAX_DISTANCE_CODES; ++i) {
    EXPECT_EQ(STREAM_DISTANCE_BASE[i], CONTROL_DISTANCE_BASE[i]) << "distance symbol " << i;
    EXPECT_EQ(STREAM_DISTANCE_EXTRA[i], CONTROL_DISTANCE_EXTRA[i]) << "distance symbol " << i;
  }
}

}  // namespace
