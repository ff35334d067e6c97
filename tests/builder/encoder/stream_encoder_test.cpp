// The rewriter from standard deflate into the program's stream format, on small streams
// whose rewritten bits are checked by hand, and the encoder's block structure.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "builder/encoder/stream_encoder.h"
#include "support/deflate_bits.h"
#include "support/deflate_peers.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A literal/length code for small blocks: 'a' with 1 bit, end of block and length 3 with 2.
Bytes SmallLiteralCode() {
  Bytes lengths(258, 0);
  lengths['a'] = 1;
  lengths[256] = 2;
  lengths[257] = 2;
  return lengths;
}

// One final dynamic block: 'a', then a length-3 match at distance symbol distSymbol (no
// extra bits written) when distSymbol >= 0, then end of block.
Bytes SmallDynamicBlock(const Bytes& literals, const Bytes& distances, int distSymbol,
                        const Bytes& codeLengthCode = UniversalCodeLengthCode()) {
  DeflateWriter w;
  WriteDeflateDynamicHeader(w, true, literals, distances, codeLengthCode);
  w.Symbol(literals, 'a');
  if (distSymbol >= 0) {
    w.Symbol(literals, 257);
    w.Symbol(distances, static_cast<unsigned>(distSymbol));
  }
  w.Symbol(literals, 256);
  return w.Finish();
}

bool Rewrites(const Bytes& deflate, Bytes* out = nullptr) {
  Bytes scratch;
  return RewriteDeflateStream(deflate.data(), deflate.size(), out ? *out : scratch);
}

Bytes SampleText() {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i * 37 % 101) + " of the sample text\n";
  return Bytes(text.begin(), text.end());
}

TEST(StreamRewriter, StoredBlockLosesLengthComplement) {
  Bytes out;
  ASSERT_TRUE(Rewrites({0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'}, &out));
  EXPECT_EQ(out, Bytes({0x0F, 0x03, 0x00, 'a', 'b', 'c'}));
}

TEST(StreamRewriter, FixedBlockMovesBehindFourBitHeader) {
  Bytes out;
  ASSERT_TRUE(Rewrites({0x4B, 0x4C, 0x4A, 0x06, 0x00}, &out));  // "abc", fixed codes
  EXPECT_EQ(out, Bytes({0x9D, 0x98, 0x94, 0x0C, 0x00}));
}

TEST(StreamRewriter, StoredBlockAfterFixedBlockStartsAtByteBoundary) {
  DeflateWriter w;
  w.Bits(0, 1);  // not final, fixed
  w.Bits(1, 2);
  FixedLiteralCode().Write(w, 'a');
  FixedLiteralCode().Write(w, 256);
  w.Bits(1, 1);  // final, stored
  w.Bits(0, 2);
  w.Align();
  w.Bits(2, 16);
  w.Bits(0xFFFD, 16);
  w.Bits('x', 8);
  w.Bits('y', 8);
  Bytes out;
  std::vector<uint8_t> types;
  Bytes deflate = w.Finish();
  ASSERT_TRUE(RewriteDeflateStream(deflate.data(), deflate.size(), out, &types));
  // 0101, 'a' = 10010001, seven 0s, 1111, one fill bit; then LEN and the bytes.
  EXPECT_EQ(out, Bytes({0x95, 0x08, 0x78, 0x02, 0x00, 'x', 'y'}));
  EXPECT_EQ(types, std::vector<uint8_t>({STREAM_BLOCK_FIXED, STREAM_BLOCK_STORED}));
}

TEST(StreamRewriter, DynamicHeaderListsCodeLengthLengthsInNewOrder) {
  // Code-length code: 0, 7, 8 and 18 with 2 bits. Literals 0-253 get 8 bits, 256 gets 7.
  Bytes codeLengthCode(19, 0);
  codeLengthCode[0] = codeLengthCode[7] = codeLengthCode[8] = codeLengthCode[18] = 2;
  Bytes literals(257, 8);
  literals[254] = literals[255] = 0;
  literals[256] = 7;
  DeflateWriter w;
  WriteDeflateDynamicHeader(w, true, literals, {0}, codeLengthCode);
  for (char c : std::string("abc")) w.Symbol(literals, static_cast<unsigned>(c));
  w.Symbol(literals, 256);
  size_t deflateBits = w.BitCount();
  Bytes deflate = w.Finish();
  ASSERT_EQ(BitsAt(deflate, 13, 4), 2u);  // deflate's HCLEN: 16 17 18 0 8 7

  Bytes out;
  ASSERT_TRUE(Rewrites(deflate, &out));
  EXPECT_EQ(BitsAt(out, 0, 4), 0xEu);      // dynamic, final
  EXPECT_EQ(BitsAt(out, 4, 10), 0u);       // HLIT and HDIST unchanged
  EXPECT_EQ(BitsAt(out, 14, 4), 8u);       // 12 lengths: 18 17 16 0 1 ... 8
  const unsigned expected[12] = {2, 0, 0, 2, 0, 0, 0, 0, 0, 0, 2, 2};
  for (unsigned i = 0; i < 12; ++i) EXPECT_EQ(BitsAt(out, 18 + 3 * i, 3), expected[i]) << i;
  // The coded lengths and symbols follow unchanged, 19 bits later than in deflate.
  size_t tail = deflateBits - 35;
  ASSERT_EQ(out.size(), (54 + tail + 7) / 8);
  for (size_t i = 0; i < tail; ++i) ASSERT_EQ(BitsAt(out, 54 + i, 1), BitsAt(deflate, 35 + i, 1)) << i;
}

TEST(StreamRewriter, DynamicHeaderDropsTrailingZerosOfNewOrder) {
  // Lengths 0 and 1 alone: deflate lists 18 lengths (1 comes last), the new order 5.
  Bytes codeLengthCode(19, 0);
  codeLengthCode[0] = codeLengthCode[1] = 1;
  Bytes literals(257, 0);
  literals['a'] = literals[256] = 1;
  DeflateWriter w;
  WriteDeflateDynamicHeader(w, true, literals, {0}, codeLengthCode);
  w.Symbol(literals, 'a');
  w.Symbol(literals, 256);
  Bytes deflate = w.Finish();
  ASSERT_EQ(BitsAt(deflate, 13, 4), 14u);
  Bytes out;
  ASSERT_TRUE(Rewrites(deflate, &out));
  EXPECT_EQ(BitsAt(out, 14, 4), 1u);
  const unsigned expected[5] = {0, 0, 0, 1, 1};
  for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(BitsAt(out, 18 + 3 * i, 3), expected[i]) << i;
}

TEST(StreamRewriter, AcceptsSingleOneBitDistanceCode) {
  Bytes out;
  ASSERT_TRUE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1}, 0), &out));
  EXPECT_EQ(BitsAt(out, 0, 4), 0xEu);
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {2}, 0)));  // one 2-bit code
}

TEST(StreamRewriter, EmptyDistanceCodeServesLiteralsOnly) {
  EXPECT_TRUE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {0}, -1)));
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {0}, 0)));
  EXPECT_TRUE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1, 1}, 0)));
}

TEST(StreamRewriter, RefusesIncompleteCodes) {
  Bytes literals = SmallLiteralCode();
  literals[257] = 0;  // 'a' and end of block leave a quarter of the codes free
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(literals, {1, 1}, -1)));
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {2, 2, 2}, 0)));
  Bytes codeLengthCode = UniversalCodeLengthCode();
  codeLengthCode[18] = 0;  // 31/32 of the code space
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1, 1}, 0, codeLengthCode)));
}

TEST(StreamRewriter, RefusesOversubscribedCodes) {
  Bytes literals = SmallLiteralCode();
  literals[256] = literals[257] = 1;  // three 1-bit codes
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(literals, {1, 1}, -1)));
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1, 1, 1}, 0)));
}

TEST(StreamRewriter, RefusesMoreThanThirtyDistanceCodes) {
  Bytes thirty(30, 5);  // 28 codes of 5 bits and 2 of 4 bits: complete
  thirty[0] = thirty[1] = 4;
  EXPECT_TRUE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), thirty, 0)));
  Bytes thirtyOne(31, 5);  // 30 of 5 bits and 1 of 4 bits: complete, valid deflate
  thirtyOne[0] = 4;
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), thirtyOne, 0)));
  Bytes literals = SmallLiteralCode();
  literals.resize(287, 0);  // HLIT 30
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(literals, {1, 1}, -1)));
}

TEST(StreamRewriter, RefusesBadCodeLengthRepeats) {
  const Bytes code = UniversalCodeLengthCode();
  auto block = [&code](unsigned firstSymbol, uint32_t extra, unsigned extraBits, int times) {
    DeflateWriter w;
    w.Bits(1, 1);
    w.Bits(2, 2);
    w.Bits(0, 10);  // 257 literal/length and 1 distance lengths
    w.Bits(15, 4);
    for (unsigned i = 0; i < 19; ++i) w.Bits(code[CONTROL_DEFLATE_CODE_LENGTH_ORDER[i]], 3);
    for (int i = 0; i < times; ++i) {
      w.Symbol(code, firstSymbol);
      w.Bits(extra, extraBits);
    }
    return w.Finish();
  };
  EXPECT_FALSE(Rewrites(block(16, 0, 2, 1)));    // repeat with no previous length
  EXPECT_FALSE(Rewrites(block(18, 127, 7, 2)));  // 276 zeros for 258 lengths
}

TEST(StreamRewriter, RefusesDistanceBeforeFirstByte) {
  EXPECT_TRUE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1, 1}, 0)));   // distance 1
  EXPECT_FALSE(Rewrites(SmallDynamicBlock(SmallLiteralCode(), {1, 1}, 1)));  // distance 2
}

TEST(StreamRewriter, RefusesUnusableFixedSymbols) {
  auto fixed = [](unsigned literal, unsigned distance) {
    DeflateWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    for (int i = 0; i < 4; ++i) FixedLiteralCode().Write(w, 'a');
    FixedLiteralCode().Write(w, literal);
    if (literal > 256) FixedDistanceCode().Write(w, distance);
    FixedLiteralCode().Write(w, 256);
    return w.Finish();
  };
  EXPECT_TRUE(Rewrites(fixed(257, 0)));
  EXPECT_TRUE(Rewrites(fixed(257, 3)));
  EXPECT_FALSE(Rewrites(fixed(286, 0)));
  EXPECT_FALSE(Rewrites(fixed(287, 0)));
  EXPECT_FALSE(Rewrites(fixed(257, 30)));
  EXPECT_FALSE(Rewrites(fixed(257, 31)));
}

TEST(StreamRewriter, RefusesReservedTypeAndBadStoredLength) {
  EXPECT_FALSE(Rewrites({0x07, 0x00, 0x00}));
  EXPECT_FALSE(Rewrites({0x01, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'}));  // NLEN not ~LEN
  EXPECT_FALSE(Rewrites({0x01, 0x04, 0x00, 0xFB, 0xFF, 'a', 'b', 'c'}));  // LEN beyond the end
}

TEST(StreamRewriter, RefusesTruncatedOrTrailingInput) {
  Bytes deflate = LibdeflateCompress(SampleText(), 6);
  ASSERT_TRUE(Rewrites(deflate));
  EXPECT_FALSE(Rewrites(Bytes(deflate.begin(), deflate.end() - 1)));
  EXPECT_FALSE(Rewrites(Bytes(deflate.begin(), deflate.begin() + deflate.size() / 2)));
  EXPECT_FALSE(Rewrites({}));
  deflate.push_back(0);
  EXPECT_FALSE(Rewrites(deflate));
}

TEST(StreamEncoder, EmptyInputIsOneEmptyFinalStoredBlock) {
  EXPECT_EQ(EncodeStream(nullptr, 0, 0), Bytes({0x0F, 0x00, 0x00}));
  EXPECT_EQ(EncodeStream(nullptr, 0), Bytes({0x0F, 0x00, 0x00}));
}

TEST(StreamEncoder, LevelZeroWritesStoredBlocksHoldingTheInput) {
  Bytes data(200000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
  Bytes stream = EncodeStream(data.data(), data.size(), 0);
  Bytes copied;
  size_t bit = 0;
  int blocks = 0;
  for (bool final = false; !final; ++blocks) {
    ASSERT_EQ(BitsAt(stream, bit, 3), STREAM_BLOCK_STORED);
    final = BitsAt(stream, bit + 3, 1) != 0;
    bit = (bit + 4 + 7) / 8 * 8;
    size_t length = BitsAt(stream, bit, 16);
    ASSERT_LE(bit / 8 + 2 + length, stream.size());
    copied.insert(copied.end(), stream.begin() + bit / 8 + 2, stream.begin() + bit / 8 + 2 + length);
    bit += 8 * (2 + length);
  }
  EXPECT_EQ(bit / 8, stream.size());
  EXPECT_GE(blocks, 4);
  EXPECT_EQ(copied, data);
}

TEST(StreamEncoder, EqualsRewrittenLibdeflateOutput) {
  const Bytes text = SampleText();
  for (int level : {1, 6, 12}) {
    Bytes deflate = LibdeflateCompress(text, level);
    Bytes rewritten;
    ASSERT_TRUE(Rewrites(deflate, &rewritten));
    EXPECT_EQ(EncodeStream(text.data(), text.size(), level), rewritten);
  }
}

TEST(StreamEncoder, RefusesLevelsOutsideZeroToTwelve) {
  uint8_t byte = 'x';
  EXPECT_THROW(EncodeStream(&byte, 1, -1), std::invalid_argument);
  EXPECT_THROW(EncodeStream(&byte, 1, 13), std::invalid_argument);
  EXPECT_NO_THROW(EncodeStream(&byte, 1, 0));
}

}  // namespace
