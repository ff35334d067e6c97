// Dynamic blocks: code-length sequences with repeats, and the codes the block may describe.
#include <gtest/gtest.h>

#include "codec/codec_test_util.h"

namespace {

// One symbol of the code-length sequence, with the plain code-length code.
void LengthSymbol(TestBitWriter& writer, uint32_t symbol) { PlainCodeLengthCode().Write(writer, symbol); }

// A literal/length code for "abcd": a-d 3 bits, end of block 2 bits, lengths 3 and 4 3 bits.
std::vector<uint32_t> AbcdLiteralLengths(uint32_t n) {
  return LengthsWith(n, {{'a', 3}, {'b', 3}, {'c', 3}, {'d', 3}, {256, 2}, {257, 3}, {258, 3}});
}

// The body of a block with the "abcd" code: the four letters, a match, the end of block.
void WriteAbcdBody(TestBitWriter& writer, const CanonicalCode& literals, const CanonicalCode& distances,
                   uint32_t distance) {
  for (uint32_t c : {'a', 'b', 'c', 'd'}) literals.Write(writer, c);
  WriteMatch(writer, 3, distance, literals, distances);
  literals.Write(writer, 256);  // end of block
}

TEST(Decoder, DecodesDynamicBlockWithPlainLengths) {
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(259);
  const std::vector<uint32_t> distLengths = {1, 1};  // distances 1 and 2
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, distLengths);
  WriteAbcdBody(writer, CanonicalCode(literalLengths), CanonicalCode(distLengths), 2);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("abcdcdc"));
  EXPECT_EQ(run.taken, (writer.BitCount() + 7) / 8);
}

TEST(Decoder, RepeatAtTheStartOfTheLengthsRepeatsZero) {
  // Symbols 0-96 have no code: the sequence opens with symbol 16, "repeat the previous".
  TestBitWriter writer;
  WriteDynamicPreamble(writer, true, 259, 1);
  LengthSymbol(writer, 16);  // repeat previous (0) ...
  writer.Bits(3, 2);         // ... 6 times: symbols 0-5
  LengthSymbol(writer, 18);  // zeros ...
  writer.Bits(80, 7);        // ... 91 times: symbols 6-96
  LengthSymbol(writer, 1);   // 'a': 1 bit
  LengthSymbol(writer, 18);  // zeros ...
  writer.Bits(127, 7);       // ... 138 times: symbols 98-235
  LengthSymbol(writer, 18);  // zeros ...
  writer.Bits(9, 7);         // ... 20 times: symbols 236-255
  LengthSymbol(writer, 2);   // end of block: 2 bits
  LengthSymbol(writer, 3);   // length 3: 3 bits
  LengthSymbol(writer, 3);   // length 4: 3 bits
  LengthSymbol(writer, 1);   // distance 1: a single 1-bit code
  const CanonicalCode literals(LengthsWith(259, {{'a', 1}, {256, 2}, {257, 3}, {258, 3}}));
  const CanonicalCode distances(std::vector<uint32_t>{1});
  literals.Write(writer, 'a');
  WriteMatch(writer, 4, 1, literals, distances);
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("aaaaa"));
}

TEST(Decoder, RepeatsMaySpanLiteralAndDistanceLengths) {
  // 262 literal/length and 4 distance lengths: one run of six zeros covers symbols 259-261
  // and distances 0-2.
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(262);
  TestBitWriter writer;
  WriteDynamicPreamble(writer, true, 262, 4);
  for (uint32_t i = 0; i < 259; ++i) LengthSymbol(writer, literalLengths[i]);
  LengthSymbol(writer, 17);  // zeros ...
  writer.Bits(3, 3);         // ... 6 times, across the border
  LengthSymbol(writer, 1);   // distance 4: a single 1-bit code
  const CanonicalCode distances(std::vector<uint32_t>{0, 0, 0, 1});
  WriteAbcdBody(writer, CanonicalCode(literalLengths), distances, 4);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("abcdabc"));
}

TEST(Decoder, RepeatOfPreviousLengthSpansTheBorder) {
  // Symbol 16 copies the last literal/length length (3) into the first two distance lengths.
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(259);
  TestBitWriter writer;
  WriteDynamicPreamble(writer, true, 259, 4);
  for (uint32_t i = 0; i < 258; ++i) LengthSymbol(writer, literalLengths[i]);
  LengthSymbol(writer, 16);  // repeat previous (3, from symbol 257) ...
  writer.Bits(0, 2);         // ... 3 times: symbol 258, distances 1 and 2
  LengthSymbol(writer, 2);   // distance 3
  LengthSymbol(writer, 1);   // distance 4
  const CanonicalCode distances(std::vector<uint32_t>{3, 3, 2, 1});
  WriteAbcdBody(writer, CanonicalCode(literalLengths), distances, 3);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("abcdbcd"));
}

TEST(Decoder, AcceptsSingleOneBitDistanceCode) {
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(259);
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, {0, 0, 1});  // only distance 3
  WriteAbcdBody(writer, CanonicalCode(literalLengths), CanonicalCode({0, 0, 1}), 3);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("abcdbcd"));
}

TEST(Decoder, AcceptsLiteralsOnlyBlockWithoutDistanceCode) {
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(259);
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, {0});  // no distance code at all
  const CanonicalCode literals(literalLengths);
  for (uint32_t c : {'d', 'a', 'b'}) literals.Write(writer, c);
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("dab"));
}

TEST(Decoder, DecodesLongCodesThroughSubTables) {
  // Lengths 1 to 15 and two of 15: every literal/length code length the format allows.
  std::vector<std::pair<uint32_t, uint32_t>> codes;
  for (uint32_t len = 1; len <= 13; ++len) codes.push_back({'a' + len, len});
  codes.push_back({256, 14});
  codes.push_back({257, 15});
  codes.push_back({258, 15});
  const std::vector<uint32_t> literalLengths = LengthsWith(259, codes);
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, {1});
  const CanonicalCode literals(literalLengths);
  Bytes expected;
  for (uint32_t len = 13; len >= 1; --len) {
    literals.Write(writer, 'a' + len);
    expected.push_back(uint8_t('a' + len));
  }
  WriteMatch(writer, 3, 1, literals, CanonicalCode({1}));
  ApplyMatch(expected, 3, 1);
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.taken, (writer.BitCount() + 7) / 8);
}

TEST(Decoder, DecodesCodeWhoseRootEndsAtAOneBitEndOfBlock) {
  // The root is cut to the 1-bit end of block; the other codes lie under a sub-table as wide
  // as a root and the sub-tables below it.
  std::vector<std::pair<uint32_t, uint32_t>> codes = {{256, 1}, {'y', 15}, {'z', 15}};
  for (uint32_t len = 2; len <= 14; ++len) codes.push_back({'a' + len, len});
  const std::vector<uint32_t> literalLengths = LengthsWith(257, codes);
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, {0});
  const CanonicalCode literals(literalLengths);
  Bytes expected;
  for (const auto& code : codes) {
    if (code.first == 256) continue;
    literals.Write(writer, code.first);
    expected.push_back(uint8_t(code.first));
  }
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.taken, (writer.BitCount() + 7) / 8);
}

TEST(Decoder, DistanceCodesOfEveryLengthTakeTheirExtraBitsInLongBlocks) {
  // Distance symbol 29 - k has a code of k + 1 bits, 15 and 14 have 15 bits: codes that end
  // in the root with up to 13 extra bits, and codes of sub-tables. Matches of every distance
  // symbol with a code, each behind a literal, enough that the fast loop decodes most of them.
  std::vector<uint32_t> distLengths(30, 0);
  for (uint32_t k = 0; k < 14; ++k) distLengths[29 - k] = k + 1;
  distLengths[15] = distLengths[14] = 15;
  std::vector<uint32_t> literalLengths(286, 9);  // literals 9 bits, 256-283 6, 284-285 5
  for (uint32_t symbol = 256; symbol < 286; ++symbol) literalLengths[symbol] = symbol < 284 ? 6 : 5;
  const CanonicalCode literals(literalLengths);
  const CanonicalCode distances(distLengths);
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, literalLengths, distLengths);
  Bytes expected;
  for (uint32_t i = 0; i < 3000; ++i) {
    const uint8_t literal = uint8_t(i * 37);
    literals.Write(writer, literal);
    expected.push_back(literal);
    const uint32_t symbol = 14 + i % 16;  // those with a code
    const uint32_t distance = CONTROL_DISTANCE_BASE[symbol] +
                              (i * 7919) % (1u << CONTROL_DISTANCE_EXTRA[symbol]);
    WriteMatch(writer, 3 + i % 40, distance, literals, distances);
    ApplyMatch(expected, 3 + i % 40, distance);
  }
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_TRUE(run.output == expected) << run.output.size() << " bytes of " << expected.size();
  EXPECT_EQ(run.taken, (writer.BitCount() + 7) / 8);
}

TEST(Decoder, FixedBlockAfterDynamicBlockDecodesWithTheFixedCodes) {
  // The dynamic block's codes take the place of the fixed ones; the fixed block after it
  // must find the fixed codes again.
  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths(259);
  TestBitWriter writer;
  WriteFixedLiterals(writer, false, "xy");
  WriteDynamicHeader(writer, false, literalLengths, {1, 1});
  WriteAbcdBody(writer, CanonicalCode(literalLengths), CanonicalCode({1, 1}), 2);
  WriteFixedLiterals(writer, true, "end");
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("xyabcdcdcend"));
}

}  // namespace
