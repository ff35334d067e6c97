// Streams the decoder refuses: invalid headers and codes, and streams cut short. Where the
// result alone could come from a later failure, `taken` shows where decoding stopped.
#include <gtest/gtest.h>

#include "codec/codec_test_util.h"

namespace {

void LengthSymbol(TestBitWriter& writer, uint32_t symbol) { PlainCodeLengthCode().Write(writer, symbol); }

// Bits that a decoder which went on reading would find: set bits, then bytes of 0xA5.
void Filler(TestBitWriter& writer) { writer.Bits(0xFFFFFFFF, 32).Bits(0xFFFFFFFF, 32); }

std::vector<uint32_t> AbcdLiteralLengths() {
  return LengthsWith(259, {{'a', 3}, {'b', 3}, {'c', 3}, {'d', 3}, {256, 2}, {257, 3}, {258, 3}});
}

TEST(Decoder, RejectsBlockTypesZeroToFour) {
  for (uint32_t type = 0; type <= 4; ++type) {
    for (uint32_t final = 0; final <= 1; ++final) {
      TestBitWriter writer;
      writer.Bits(type, 3);   // block type
      writer.Bits(final, 1);  // final flag
      Filler(writer);
      DecodeRun run = DecodeBytes(writer.Finish());
      EXPECT_EQ(run.result, DECODE_BAD_FORMAT) << "type " << type << " final " << final;
      EXPECT_EQ(run.taken, 1u) << "type " << type;
      EXPECT_TRUE(run.writes.empty());
    }
  }
}

TEST(Decoder, RejectsTooManyLiteralOrDistanceLengths) {
  const uint32_t fields[][2] = {{30, 0}, {31, 0}, {0, 30}, {0, 31}, {29, 29}};
  for (const auto& field : fields) {
    TestBitWriter writer;
    writer.Bits(6, 3).Bits(1, 1);  // final dynamic block
    writer.Bits(field[0], 5);      // HLIT
    writer.Bits(field[1], 5);      // HDIST
    writer.Bits(15, 4);            // HCLEN
    Filler(writer);
    DecodeRun run = DecodeBytes(writer.Finish());
    EXPECT_EQ(run.result, DECODE_BAD_DATA) << field[0] << "/" << field[1];
    // The three fields end in the third byte; 286 and 30 lengths are allowed and read on.
    const bool allowed = field[0] == 29 && field[1] == 29;
    EXPECT_EQ(run.taken > 3u, allowed) << field[0] << "/" << field[1];
  }
}

TEST(Decoder, RejectsOverSubscribedCodes) {
  TestBitWriter lengthCode;
  lengthCode.Bits(6, 3).Bits(1, 1);               // final dynamic block
  lengthCode.Bits(0, 5).Bits(0, 5).Bits(2, 4);    // HLIT, HDIST, HCLEN: 6 lengths listed
  lengthCode.Bits(0, 3).Bits(0, 3).Bits(0, 3);    // symbols 18, 17, 16: none
  lengthCode.Bits(1, 3).Bits(1, 3).Bits(1, 3);    // symbols 0, 1, 2: three 1-bit codes
  Filler(lengthCode);
  EXPECT_EQ(DecodeBytes(lengthCode.Finish()).result, DECODE_BAD_FORMAT);

  TestBitWriter literal;
  WriteDynamicHeader(literal, true, LengthsWith(257, {{'a', 1}, {'b', 1}, {256, 1}}), {1});
  Filler(literal);
  EXPECT_EQ(DecodeBytes(literal.Finish()).result, DECODE_BAD_FORMAT);
}

TEST(Decoder, RejectsOverSubscribedDistanceCodeOfBlockWithoutLiterals) {
  // No literal/length code, and three 1-bit distance codes: the distance code's fault is
  // the one reported.
  TestBitWriter writer;
  writer.Bits(6, 3).Bits(1, 1);             // final dynamic block
  writer.Bits(0, 5);                        // HLIT: 257 literal/length lengths
  writer.Bits(2, 5);                        // HDIST: 3 distance lengths
  writer.Bits(1, 4);                        // HCLEN: 5 lengths listed
  writer.Bits(1, 3);                        // symbol 18: 1 bit, code 1
  writer.Bits(0, 3).Bits(0, 3).Bits(0, 3);  // symbols 17, 16, 0: none
  writer.Bits(1, 3);                        // symbol 1: 1 bit, code 0
  writer.Code(1, 1).Bits(127, 7);           // 18: 138 zeros
  writer.Code(1, 1).Bits(108, 7);           // 18: 119 zeros, the last literal/length lengths
  writer.Code(0, 1).Code(0, 1).Code(0, 1);  // 1, 1, 1: the three distance lengths
  const Bytes stream = writer.Finish();
  EXPECT_EQ(stream, Bytes({0x0E, 0x44, 0x04, 0x40, 0xFE, 0xB3, 0x01}));
  EXPECT_EQ(DecodeBytes(stream).result, DECODE_BAD_FORMAT);
}

TEST(Decoder, RejectsIncompleteCodes) {
  TestBitWriter lengthCode;
  lengthCode.Bits(6, 3).Bits(1, 1);             // final dynamic block
  lengthCode.Bits(0, 5).Bits(0, 5).Bits(1, 4);  // HLIT, HDIST, HCLEN: 5 lengths listed
  lengthCode.Bits(0, 3).Bits(0, 3).Bits(0, 3);  // symbols 18, 17, 16: none
  lengthCode.Bits(2, 3).Bits(2, 3);             // symbols 0 and 1: half the code space
  Filler(lengthCode);
  DecodeRun run = DecodeBytes(lengthCode.Finish());
  EXPECT_EQ(run.result, DECODE_BAD_DATA);
  EXPECT_EQ(run.taken, 5u);  // stopped after the code-length-code lengths

  TestBitWriter literal;
  WriteDynamicHeader(literal, true, LengthsWith(257, {{'a', 1}, {256, 2}}), {1});
  Filler(literal);
  EXPECT_EQ(DecodeBytes(literal.Finish()).result, DECODE_BAD_DATA);

  TestBitWriter distance;
  WriteDynamicHeader(distance, true, AbcdLiteralLengths(), {2, 2});
  Filler(distance);
  EXPECT_EQ(DecodeBytes(distance.Finish()).result, DECODE_BAD_DATA);
}

TEST(Decoder, RejectsRepeatPastTheLastLength) {
  // 259 literal/length and 1 distance lengths; after 259 of them one is left.
  const uint32_t repeats[][2] = {{16, 2}, {17, 3}, {18, 7}};
  for (const auto& repeat : repeats) {
    TestBitWriter writer;
    WriteDynamicPreamble(writer, true, 259, 1);
    for (uint32_t len : AbcdLiteralLengths()) LengthSymbol(writer, len);
    LengthSymbol(writer, repeat[0]);  // the smallest repeat: 3 or 11 lengths
    writer.Bits(0, repeat[1]);        // its extra bits
    Filler(writer);
    EXPECT_EQ(DecodeBytes(writer.Finish()).result, DECODE_BAD_DATA) << "symbol " << repeat[0];
  }
}

TEST(Decoder, RejectsInvalidFixedSymbols) {
  for (uint32_t symbol : {286u, 287u}) {
    TestBitWriter writer;
    writer.Bits(5, 3).Bits(1, 1);               // final fixed block
    FixedLiteralCode().Write(writer, symbol);   // invalid literal/length symbol
    Filler(writer);
    EXPECT_EQ(DecodeBytes(writer.Finish()).result, DECODE_BAD_DATA) << symbol;
  }
  for (uint32_t code : {30u, 31u}) {
    TestBitWriter writer;
    writer.Bits(5, 3).Bits(1, 1);           // final fixed block
    FixedLiteralCode().Write(writer, 'a');  // a literal
    FixedLiteralCode().Write(writer, 257);  // length 3
    FixedDistanceCode().Write(writer, code);  // invalid distance code
    Filler(writer);
    EXPECT_EQ(DecodeBytes(writer.Finish()).result, DECODE_BAD_DATA) << code;
  }
}

TEST(Decoder, RejectsCodesWithoutAnyLength) {
  TestBitWriter lengthCode;
  lengthCode.Bits(6, 3).Bits(1, 1);             // final dynamic block
  lengthCode.Bits(0, 5).Bits(0, 5).Bits(0, 4);  // HLIT, HDIST, HCLEN: 4 lengths listed
  lengthCode.Bits(0, 12);                       // symbols 18, 17, 16, 0: all 0
  Filler(lengthCode);
  DecodeRun run = DecodeBytes(lengthCode.Finish());
  EXPECT_EQ(run.result, DECODE_BAD_DATA);
  EXPECT_EQ(run.taken, 4u);

  TestBitWriter literal;
  WriteDynamicPreamble(literal, true, 259, 1);
  LengthSymbol(literal, 18);   // zeros ...
  literal.Bits(127, 7);        // ... 138 times
  LengthSymbol(literal, 18);   // zeros ...
  literal.Bits(110, 7);        // ... 121 times: no literal/length code at all
  LengthSymbol(literal, 1);    // distance 1
  Filler(literal);
  EXPECT_EQ(DecodeBytes(literal.Finish()).result, DECODE_BAD_DATA);
}

TEST(Decoder, RejectsLengthInBlockWithoutDistanceCode) {
  const CanonicalCode literals(AbcdLiteralLengths());
  TestBitWriter writer;
  WriteDynamicHeader(writer, true, AbcdLiteralLengths(), {0});  // no distance code
  literals.Write(writer, 'a');
  literals.Write(writer, 257);  // length 3, with nothing to look its distance up in
  literals.Write(writer, 256);  // end of block
  Filler(writer);
  EXPECT_EQ(DecodeBytes(writer.Finish()).result, DECODE_BAD_DATA);
}

TEST(Decoder, RejectsUnusedHalfOfSingleBitLengthCode) {
  TestBitWriter writer;
  writer.Bits(6, 3).Bits(1, 1);             // final dynamic block
  writer.Bits(0, 5).Bits(0, 5).Bits(0, 4);  // HLIT, HDIST, HCLEN: 4 lengths listed
  writer.Bits(1, 3).Bits(0, 9);             // symbol 18: the only code, 1 bit; 17, 16, 0: none
  writer.Code(0, 1);                        // symbol 18 ...
  writer.Bits(127, 7);                      // ... 138 zeros
  writer.Code(1, 1);                        // the code that no symbol has
  Filler(writer);
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_BAD_DATA);
  EXPECT_EQ(run.taken, 5u);  // 39 bits: it stopped at the unused code
}

// Every proper prefix of a complete stream ends with DECODE_BAD_DATA, whether the file ends
// there or a limit does (with the rest of the stream behind it).
void ExpectEveryCutRejected(const Bytes& stream) {
  ASSERT_EQ(DecodeBytes(stream, {}).result, DECODE_OK);
  for (uint32_t cut = 0; cut < stream.size(); ++cut) {
    const Bytes prefix(stream.begin(), stream.begin() + cut);
    EXPECT_EQ(DecodeBytes(prefix, {}).result, DECODE_BAD_DATA) << "file ends at " << cut;
    if (cut == 0) continue;  // a limit of 0 is no limit
    const Bytes rest(stream.begin() + cut, stream.end());
    EXPECT_EQ(DecodeBytes(prefix, rest, cut).result, DECODE_BAD_DATA) << "limit " << cut;
  }
}

TEST(Decoder, RejectsStreamsCutShortInEveryBlockType) {
  TestBitWriter stored;
  stored.Bits(7, 3).Bits(1, 1).Align();  // final stored block
  stored.Bits(5, 16);                    // LEN
  stored.Bytes(BytesOf("12345"));
  ExpectEveryCutRejected(stored.Finish());

  TestBitWriter fixed;
  WriteFixedLiterals(fixed, false, "ab");
  fixed.Bits(5, 3).Bits(1, 1);  // final fixed block
  WriteMatch(fixed, 30, 2);
  FixedLiteralCode().Write(fixed, 256);  // end of block
  ExpectEveryCutRejected(fixed.Finish());

  const std::vector<uint32_t> literalLengths = AbcdLiteralLengths();
  const CanonicalCode literals(literalLengths);
  TestBitWriter dynamic;
  WriteDynamicHeader(dynamic, true, literalLengths, {1});
  for (uint32_t c : {'a', 'b', 'c', 'd'}) literals.Write(dynamic, c);
  WriteMatch(dynamic, 4, 1, literals, CanonicalCode({1}));
  literals.Write(dynamic, 256);  // end of block
  ExpectEveryCutRejected(dynamic.Finish());
}

TEST(Decoder, CutStreamsWhoseZeroBitsFormCodesStillEnd) {
  // With the all-zero code standing for a literal or for a match, zero bits read past the
  // end would decode without end; the stream is cut right after its code lengths.
  const std::vector<std::vector<uint32_t>> codes = {
      LengthsWith(258, {{'a', 1}, {256, 2}, {257, 2}}),
      LengthsWith(258, {{257, 1}, {256, 2}, {'a', 2}})};
  for (const auto& literalLengths : codes) {
    TestBitWriter writer;
    WriteDynamicHeader(writer, true, literalLengths, {1});
    DecodeRun run = DecodeBytes(writer.Finish(), {});
    EXPECT_EQ(run.result, DECODE_BAD_DATA);
    EXPECT_TRUE(run.writes.empty());
  }
}

}  // namespace
