// Match copies against the byte-by-byte meaning of a match (ApplyMatch): short distances,
// whose copies run by words past the match's end, each followed by a match that reads the
// bytes just past that end a whole window back; at every place relative to the window's end,
// where the window is handed to the sink and wraps.
#include <gtest/gtest.h>

#include <algorithm>

#include "codec/codec_test_util.h"

namespace {

struct Match {
  uint32_t length;
  uint32_t distance;
};

constexpr uint32_t WINDOW = 32768;
constexpr uint32_t STORED_MAX = 65535;
constexpr uint32_t LONGEST_WORD = 8;  // the decoder's match word, 4 or 8 bytes

// `history` as stored blocks, then one final fixed block of the matches; *expected gets what
// the stream stands for, by the byte-by-byte meaning of each match.
Bytes HistoryThenMatches(const Bytes& history, const std::vector<Match>& matches, Bytes* expected) {
  TestBitWriter writer;
  for (size_t at = 0; at < history.size(); at += STORED_MAX) {
    const size_t n = std::min<size_t>(STORED_MAX, history.size() - at);
    WriteStored(writer, false, Bytes(history.begin() + at, history.begin() + at + n));
  }
  writer.Bits(5, 3).Bits(1, 1);  // final fixed block
  *expected = history;
  for (const Match& match : matches) {
    WriteMatch(writer, match.length, match.distance);
    ApplyMatch(*expected, match.length, match.distance);
  }
  FixedLiteralCode().Write(writer, 256);  // end of block
  return writer.Finish();
}

// Decodes the stream and compares it with the expected bytes.
void ExpectDecodesAsBytewise(const Bytes& history, const std::vector<Match>& matches) {
  Bytes expected;
  const DecodeRun run = DecodeBytes(HistoryThenMatches(history, matches, &expected));
  ASSERT_EQ(run.result, DECODE_OK);
  ASSERT_EQ(run.output.size(), expected.size());
  const auto wrong = std::mismatch(run.output.begin(), run.output.end(), expected.begin());
  EXPECT_TRUE(wrong.first == run.output.end())
      << "first wrong byte at " << (wrong.first - run.output.begin()) << " of "
      << history.size() << " bytes of history and " << matches.size() << " matches";
}

// A match of each short distance and the given lengths, each followed by a match that reads
// the bytes just past its end a whole window back: history that a word copy overruns.
std::vector<Match> ShortMatchesThenReadsBehindThem(uint32_t firstLength, uint32_t lastLength) {
  std::vector<Match> matches;
  for (uint32_t distance = 1; distance <= LONGEST_WORD; ++distance) {
    for (uint32_t length = firstLength; length <= lastLength; ++length) {
      matches.push_back({length, distance});
      matches.push_back({2 * LONGEST_WORD, WINDOW});
    }
  }
  return matches;
}

TEST(DecoderMatchCopy, MatchCopyNeverClobbersTheHistoryAfterTheMatch) {
  // A full window: every byte ahead of the write position is the previous window's.
  ExpectDecodesAsBytewise(Pattern(WINDOW), ShortMatchesThenReadsBehindThem(3, 20));
  // The first window: the bytes ahead are the zeros before the stream's start.
  ExpectDecodesAsBytewise(Pattern(40), ShortMatchesThenReadsBehindThem(3, 20));
}

TEST(DecoderMatchCopy, MatchesNearTheWindowEndKeepTheHistoryBeyondThem) {
  // Each stream puts the write position `gap` bytes before the window's end and its matches
  // step across it, where the window goes to the sink.
  for (uint32_t gap = 1; gap <= 3 * LONGEST_WORD; ++gap) {
    std::vector<Match> matches;
    for (uint32_t distance = 1; distance <= LONGEST_WORD; ++distance) {
      matches.push_back({3 + distance, distance});
      matches.push_back({LONGEST_WORD + 1, WINDOW});
    }
    ExpectDecodesAsBytewise(Pattern(2 * WINDOW - gap, gap), matches);
  }
}

TEST(DecoderMatchCopy, SourceJustAheadOfTheDestinationIsReadBeforeItIsOverwritten) {
  // Distances just below the window: the source is the previous window's bytes a few places
  // ahead of the destination, in the middle of the window and close to its end.
  for (uint32_t start : {50u, WINDOW - 300u, WINDOW - 270u, WINDOW - 262u}) {
    std::vector<Match> matches;
    for (uint32_t ahead = 1; ahead <= LONGEST_WORD; ++ahead) {
      matches.push_back({258, WINDOW - ahead});
      matches.push_back({3, WINDOW});
    }
    ExpectDecodesAsBytewise(Pattern(WINDOW + start, start), matches);
  }
}

TEST(DecoderMatchCopy, LongMatchesOfEveryShortDistanceRepeatTheirSource) {
  // Lengths that end at every offset within a word, through the stream's first bytes.
  ExpectDecodesAsBytewise(Pattern(8), ShortMatchesThenReadsBehindThem(250, 258));
  ExpectDecodesAsBytewise(Pattern(WINDOW + 8), ShortMatchesThenReadsBehindThem(250, 258));
}

}  // namespace
