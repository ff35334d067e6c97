// Well-formed streams: what the sink receives, in which pieces, and how many bytes of the
// input each stream takes.
#include <gtest/gtest.h>

#include "codec/codec_test_util.h"

namespace {

using Counts = std::vector<uint32_t>;

TEST(Decoder, DecodesTheStoredAndFixedAbcVectors) {
  DecodeRun stored = DecodeBytes({0x0F, 0x03, 0x00, 0x61, 0x62, 0x63});
  EXPECT_EQ(stored.result, DECODE_OK);
  EXPECT_EQ(stored.output, BytesOf("abc"));
  EXPECT_EQ(stored.writes, Counts({3}));
  EXPECT_EQ(stored.taken, 6u);

  DecodeRun fixed = DecodeBytes({0x9D, 0x98, 0x94, 0x0C, 0x00});
  EXPECT_EQ(fixed.result, DECODE_OK);
  EXPECT_EQ(fixed.output, BytesOf("abc"));
  EXPECT_EQ(fixed.writes, Counts({3}));
  EXPECT_EQ(fixed.taken, 5u);
}

TEST(Decoder, EmptyStoredBlockWritesOnceWithZeroBytes) {
  DecodeRun run = DecodeBytes({0x0F, 0x00, 0x00});
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_TRUE(run.output.empty());
  EXPECT_EQ(run.writes, Counts({0}));
  EXPECT_EQ(run.taken, 3u);
}

TEST(Decoder, HandsOutputOverInWholeWindowsAndOneRest) {
  const Bytes window = Pattern(32768);
  TestBitWriter exact;
  WriteStored(exact, true, window);
  DecodeRun full = DecodeBytes(exact.Finish());
  EXPECT_EQ(full.result, DECODE_OK);
  EXPECT_EQ(full.writes, Counts({32768, 0}));
  EXPECT_EQ(full.output, window);

  const Bytes longest = Pattern(65535, 3);
  TestBitWriter stored;
  WriteStored(stored, true, longest);
  DecodeRun run = DecodeBytes(stored.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.writes, Counts({32768, 32767}));
  EXPECT_EQ(run.output, longest);
  EXPECT_EQ(run.taken, 3u + 65535u);
}

TEST(Decoder, CopiesMatchAtWholeWindowDistance) {
  Bytes expected = Pattern(32768);
  TestBitWriter writer;
  WriteStored(writer, false, expected);
  writer.Bits(5, 3).Bits(1, 1);            // final fixed block
  WriteMatch(writer, 10, 32768);           // the window's first 10 bytes again
  FixedLiteralCode().Write(writer, 256);   // end of block
  ApplyMatch(expected, 10, 32768);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.writes, Counts({32768, 10}));
}

TEST(Decoder, MatchBeforeTheFirstByteCopiesZeros) {
  TestBitWriter writer;
  writer.Bits(5, 3).Bits(1, 1);           // final fixed block
  FixedLiteralCode().Write(writer, 'x');  // one literal
  WriteMatch(writer, 5, 3);               // reaches two bytes before the start
  FixedLiteralCode().Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, Bytes({'x', 0, 0, 'x', 0, 0}));
}

TEST(Decoder, Symbol284WithAllExtraBitsAndSymbol285BothGive258) {
  TestBitWriter writer;
  writer.Bits(5, 3).Bits(1, 1);           // final fixed block
  FixedLiteralCode().Write(writer, 'a');  // literal
  FixedLiteralCode().Write(writer, 284);  // length symbol 284
  writer.Bits(31, 5);                     // its 5 extra bits, all set
  FixedDistanceCode().Write(writer, 0);   // distance 1
  FixedLiteralCode().Write(writer, 285);  // length symbol 285, no extra bits
  FixedDistanceCode().Write(writer, 0);   // distance 1
  FixedLiteralCode().Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, Bytes(1 + 258 + 258, 'a'));
}

TEST(Decoder, OverlappingMatchesRepeatTheirSource) {
  TestBitWriter writer;
  writer.Bits(5, 3).Bits(1, 1);  // final fixed block
  for (char c : std::string("abc")) FixedLiteralCode().Write(writer, uint8_t(c));
  WriteMatch(writer, 10, 3);     // distance below the length: "abcabcabca"
  WriteMatch(writer, 7, 1);      // a run of the last byte
  WriteMatch(writer, 20, 9);
  FixedLiteralCode().Write(writer, 256);  // end of block
  Bytes expected = BytesOf("abc");
  ApplyMatch(expected, 10, 3);
  ApplyMatch(expected, 7, 1);
  ApplyMatch(expected, 20, 9);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
}

TEST(Decoder, MatchesAcrossTheWindowEnd) {
  // The first match's destination and the second's source cross the window's end.
  Bytes expected = Pattern(32766);
  TestBitWriter writer;
  WriteStored(writer, false, expected);
  writer.Bits(5, 3).Bits(1, 1);  // final fixed block
  WriteMatch(writer, 6, 4);      // writes 32766-32771: the window is handed over inside it
  WriteMatch(writer, 30, 7);     // source from 32765 on, across the end
  WriteMatch(writer, 40, 32768);
  FixedLiteralCode().Write(writer, 256);  // end of block
  ApplyMatch(expected, 6, 4);
  ApplyMatch(expected, 30, 7);
  ApplyMatch(expected, 40, 32768);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.writes, Counts({32768, 32766 + 76 - 32768}));
}

TEST(Decoder, DecodesFifteenBitDistanceCodesWithThirteenExtraBits) {
  // A 15-bit distance code leaves 9-16 bits of a whole refill, fewer than the 13 extra bits
  // at half the bit positions; each round of the loop moves the next match by 7 bits. The
  // stored block lets every distance reach real bytes.
  Bytes expected = Pattern(32768);
  TestBitWriter writer;
  WriteStored(writer, false, expected);
  const std::vector<uint32_t> literalLengths = LengthsWith(258, {{'a', 1}, {256, 2}, {257, 2}});
  std::vector<uint32_t> distLengths(30, 0);
  for (uint32_t symbol = 0; symbol < 14; ++symbol) distLengths[symbol] = symbol + 1;
  distLengths[28] = distLengths[29] = 15;  // distance symbol 29: 24577 + 13 extra bits
  WriteDynamicHeader(writer, true, literalLengths, distLengths);
  const CanonicalCode literals(literalLengths);
  const CanonicalCode distances(distLengths);
  for (uint32_t i = 0; i < 200; ++i) {
    literals.Write(writer, 'a');
    expected.push_back('a');
    const uint32_t distance = 24577 + (i * 997) % 8192;
    WriteMatch(writer, 3, distance, literals, distances);
    ApplyMatch(expected, 3, distance);
  }
  literals.Write(writer, 256);  // end of block
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, expected);
}

TEST(Decoder, StoredBlockAfterHuffmanBlockStartsAtByteBoundary) {
  TestBitWriter writer;
  WriteFixedLiterals(writer, false, "x");  // 4 + 8 + 7 bits
  writer.Bits(7, 3).Bits(1, 1);            // final stored block
  writer.Align(1);                         // skipped bits, all set
  writer.Bits(2, 16);                      // LEN
  writer.Bytes(BytesOf("yz"));
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("xyz"));
  EXPECT_EQ(run.taken, writer.BitCount() / 8);
}

TEST(Decoder, DecodesSeveralFixedBlocksOfOneStream) {
  TestBitWriter writer;
  WriteFixedLiterals(writer, false, "first ");
  WriteFixedLiterals(writer, false, "");
  writer.Bits(5, 3).Bits(0, 1);           // a fixed block with a match into earlier blocks
  WriteMatch(writer, 6, 6);
  FixedLiteralCode().Write(writer, 256);  // end of block
  WriteFixedLiterals(writer, true, "last");
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("first first last"));
  EXPECT_EQ(run.taken, (writer.BitCount() + 7) / 8);
}

TEST(Decoder, DecodesTheFourteenByteDynamicVector) {
  DecodeRun run = DecodeBytes(
      {0x1E, 0x8C, 0x09, 0xC0, 0x44, 0x6E, 0x5A, 0xE3, 0xDF, 0x04, 0x84, 0xFB, 0x6E, 0x16});
  EXPECT_EQ(run.result, DECODE_OK);
  EXPECT_EQ(run.output, BytesOf("aaaa"));
  EXPECT_EQ(run.taken, 14u);
}

}  // namespace
