// BuildCodeTables on its own: results, root widths, sub-tables and the end-of-block cut.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "codec/code_tables.h"
#include "codec/codec_test_util.h"

namespace {

using Lengths = std::vector<uint32_t>;

const uint16_t kBases[31] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                             1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021,
                             1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030};
const uint8_t kExtras[31] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 1,
                              2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 1, 2};

// The tables of one code, in a space of its own as large as a link reaches.
struct Tables {
  Tables(const Lengths& lengths, uint32_t simpleCount, uint32_t requested, uint32_t valueCount = 31,
         const uint16_t* bases = kBases, const uint8_t* extras = kExtras)
      : space(MAX_TABLE_SPACE_ENTRIES), width(requested) {
    const CodeAlphabet alphabet = {simpleCount, valueCount, bases, extras};
    result = BuildCodeTables(lengths.data(), uint32_t(lengths.size()), alphabet, space.data(),
                             uint32_t(space.size()), &root, &width);
  }

  // The root entry that a code's first bits select.
  const CodeEntry& Root(uint32_t code, uint32_t length) const {
    uint32_t index = 0;
    for (uint32_t i = 0; i < width; ++i) index |= ((code >> (length - 1 - i)) & 1) << i;
    return root[index];
  }

  // Follows a code's bits (in reading order) through the tables; *used gets the bits dropped.
  const CodeEntry& Find(uint32_t code, uint32_t length, uint32_t* used) const {
    uint32_t bits = 0;  // the code's bits, first bit read in bit 0
    for (uint32_t i = 0; i < length; ++i) bits |= ((code >> (length - 1 - i)) & 1) << i;
    const CodeEntry* entry = &root[bits & ((1u << width) - 1)];
    *used = 0;
    while (entry->op > CODE_OP_LITERAL && entry->op != CODE_OP_INVALID) {
      *used += entry->bits;
      const uint32_t sub = entry->op - CODE_OP_LITERAL;
      entry = &root[entry->value + ((bits >> *used) & ((1u << sub) - 1))];
    }
    *used += entry->bits;
    return *entry;
  }

  std::vector<CodeEntry> space;
  const CodeEntry* root = nullptr;
  uint32_t width;
  DecodeResult result;
};

// Every symbol's canonical code leads to its own entry and drops exactly its length.
void ExpectEveryCodeFound(const Lengths& lengths, uint32_t simpleCount, uint32_t requested) {
  Tables tables(lengths, simpleCount, requested);
  ASSERT_NE(tables.root, nullptr);
  const CanonicalCode code(lengths);
  for (uint32_t symbol = 0; symbol < lengths.size(); ++symbol) {
    if (lengths[symbol] == 0) continue;
    uint32_t used = 0;
    const CodeEntry& entry = tables.Find(code.CodeOf(symbol), lengths[symbol], &used);
    EXPECT_EQ(used, lengths[symbol]) << "symbol " << symbol;
    if (symbol < simpleCount) {
      EXPECT_EQ(entry.op, symbol < 256 ? CODE_OP_LITERAL : CODE_OP_END) << "symbol " << symbol;
      EXPECT_EQ(entry.value, symbol);
    } else {
      EXPECT_EQ(entry.op, kExtras[symbol - simpleCount]) << "symbol " << symbol;
      EXPECT_EQ(entry.value, kBases[symbol - simpleCount]);
    }
  }
}

TEST(CodeTables, ReportsWhetherTheCodeIsComplete) {
  EXPECT_EQ(Tables({1, 2, 3, 3}, 4, 7).result, DECODE_OK);
  EXPECT_EQ(Tables({1, 2, 3}, 3, 7).result, DECODE_BAD_DATA);   // one 3-bit code left over
  EXPECT_EQ(Tables({0, 1, 0}, 3, 7).result, DECODE_OK);         // one single 1-bit code
  EXPECT_EQ(Tables({2, 0, 0}, 3, 7).result, DECODE_BAD_DATA);   // one single 2-bit code
  Tables over({1, 1, 2}, 3, 7);
  EXPECT_EQ(over.result, DECODE_BAD_FORMAT);
  EXPECT_EQ(over.root, nullptr);
  Tables empty({0, 0, 0, 0}, 4, 7);
  EXPECT_EQ(empty.result, DECODE_OK);
  EXPECT_EQ(empty.root, nullptr);
  EXPECT_EQ(empty.width, 0u);
}

TEST(CodeTables, FreeCodesOfAnIncompleteCodeAreInvalid) {
  Tables single({0, 1}, 2, 7);
  ASSERT_NE(single.root, nullptr);
  ASSERT_EQ(single.width, 1u);
  EXPECT_EQ(single.root[0].op, CODE_OP_LITERAL);  // code 0: symbol 1
  EXPECT_EQ(single.root[0].value, 1);
  EXPECT_EQ(single.root[1].op, CODE_OP_INVALID);  // code 1: nobody's
  EXPECT_EQ(single.root[1].bits, 1);

  // The fixed distance code: 30 of the 32 five-bit codes; 11110 and 11111 are free.
  Tables fixed(Lengths(30, 5), 0, 5);
  EXPECT_EQ(fixed.result, DECODE_BAD_DATA);
  EXPECT_EQ(fixed.width, 5u);
  uint32_t used = 0;
  EXPECT_EQ(fixed.Find(30, 5, &used).op, CODE_OP_INVALID);
  EXPECT_EQ(fixed.Find(31, 5, &used).op, CODE_OP_INVALID);
  EXPECT_EQ(fixed.Find(29, 5, &used).value, kBases[29]);
}

TEST(CodeTables, FindsEveryCodeThroughRootAndSubTables) {
  ExpectEveryCodeFound(FixedLiteralCode().Lengths(), 257, 7);
  ExpectEveryCodeFound(Lengths(30, 5), 0, 5);
  // One code of each length 1-14 and two of 15, with and without end of block.
  Lengths deep(260, 0);
  for (uint32_t len = 1; len <= 14; ++len) deep[len * 7] = len;
  deep[200] = 15;
  deep[259] = 15;
  ExpectEveryCodeFound(deep, 257, 9);
  deep[256] = 14;
  deep[14 * 7] = 0;
  ExpectEveryCodeFound(deep, 257, 9);
  ExpectEveryCodeFound(deep, 257, 4);
}

TEST(CodeTables, AdjustsTheRootWidthToTheCode) {
  EXPECT_EQ(Tables({1, 2, 3, 3}, 4, 9).width, 3u);    // lowered to the longest code
  EXPECT_EQ(Tables(Lengths(16, 4), 16, 2).width, 4u);  // raised to the shortest code
  // Three 2-bit codes leave a quarter of a 2-bit table: the root grows one bit.
  EXPECT_EQ(Tables({2, 2, 2, 3, 3}, 5, 2).width, 3u);
}

TEST(CodeTables, SubTablesAreAsWideAsTheirCodesNeed) {
  // Fixed literal/length code, 7-bit root: a 1-bit sub-table for each 7-bit prefix of 8-bit
  // codes, a 2-bit one for each prefix of 9-bit codes.
  Tables fixed(FixedLiteralCode().Lengths(), 257, 7);
  const CodeEntry& eightBits = fixed.Root(0x30, 8);  // literal 0: 00110000
  EXPECT_EQ(eightBits.op, CODE_OP_LITERAL + 1);
  EXPECT_EQ(eightBits.bits, 7);
  const CodeEntry& nineBits = fixed.Root(0x190, 9);  // literal 144: 110010000
  EXPECT_EQ(nineBits.op, CODE_OP_LITERAL + 2);
  EXPECT_EQ(nineBits.bits, 7);
  EXPECT_EQ(fixed.root[nineBits.value].value, 144);
  EXPECT_EQ(fixed.root[nineBits.value].bits, 2);
}

TEST(CodeTables, CutsTheRootWhereTheEndOfBlockCodeEnds) {
  // Symbol 0: 1 bit, 256: 2 bits, 1 and 2: 3 bits. Without an end-of-block symbol the root
  // would be 3 bits wide; the cut ends it after the 2-bit end-of-block code.
  Lengths lengths = LengthsWith(257, {{0, 1}, {256, 2}, {1, 3}, {2, 3}});
  Tables cut(lengths, 257, 9);
  EXPECT_EQ(cut.result, DECODE_OK);
  EXPECT_EQ(cut.width, 2u);
  uint32_t used = 0;
  const CodeEntry& end = cut.Find(2, 2, &used);  // code 10
  EXPECT_EQ(end.op, CODE_OP_END);
  EXPECT_EQ(used, 2u);
  ExpectEveryCodeFound(lengths, 257, 9);

  Lengths noEnd = LengthsWith(256, {{0, 1}, {255, 2}, {1, 3}, {2, 3}});
  EXPECT_EQ(Tables(noEnd, 256, 9).width, 3u);
}

TEST(CodeTables, FixedLiteralRootEndsWithTheEndOfBlockCode) {
  Tables fixed(FixedLiteralCode().Lengths(), 257, 7, STREAM_LENGTH_SYMBOLS, STREAM_LENGTH_BASE,
               STREAM_LENGTH_EXTRA);
  EXPECT_EQ(fixed.result, DECODE_OK);
  EXPECT_EQ(fixed.width, 7u);  // 8 without the cut
  EXPECT_EQ(fixed.root[0].op, CODE_OP_END);  // 0000000
  EXPECT_EQ(fixed.root[0].bits, 7);
  uint32_t used = 0;
  EXPECT_EQ(fixed.Find(0xC6, 8, &used).op, CODE_OP_INVALID) << "symbol 286";
  EXPECT_EQ(fixed.Find(0xC7, 8, &used).op, CODE_OP_INVALID) << "symbol 287";
}

// Whether two builds are the same tables: every entry alike, and every sub-table in turn.
// a and b are tables of the builds whose roots are rootA and rootB.
testing::AssertionResult SameTables(const CodeEntry* rootA, const CodeEntry* a,
                                    const CodeEntry* rootB, const CodeEntry* b, uint32_t width) {
  for (uint32_t index = 0; index < (1u << width); ++index) {
    if (a[index].op != b[index].op || a[index].bits != b[index].bits) {
      return testing::AssertionFailure() << "entry " << index << " of a " << width << "-bit table";
    }
    const bool link = a[index].op > CODE_OP_LITERAL && a[index].op != CODE_OP_INVALID;
    if (!link && a[index].value != b[index].value) {
      return testing::AssertionFailure() << "value of entry " << index;
    }
    if (link) {
      const uint32_t subBits = a[index].op - CODE_OP_LITERAL;
      testing::AssertionResult sub = SameTables(rootA, rootA + a[index].value, rootB,
                                                rootB + b[index].value, subBits);
      if (!sub) return sub;
    }
  }
  return testing::AssertionSuccess();
}

// A stream's table space, as the decoder takes it.
std::unique_ptr<StreamTables> NewStreamTables() { return std::make_unique<StreamTables>(); }

TEST(CodeTables, FixedCodesGetTheTablesOfTheirNarrowerRoots) {
  // The literal/length builder asks for a 10-bit root; the fixed code's comes out as the one
  // asked for with 7 bits, cut at the 7-bit end-of-block code.
  const Tables narrow(FixedLiteralCode().Lengths(), 257, 7, STREAM_LENGTH_SYMBOLS,
                      STREAM_LENGTH_BASE, STREAM_LENGTH_EXTRA);
  const auto tables = NewStreamTables();
  const CodeEntry* literals = nullptr;
  uint32_t literalBits = 0;
  EXPECT_EQ(BuildLiteralLengthTables(FixedLiteralCode().Lengths().data(), 288, *tables, &literals,
                                     &literalBits),
            DECODE_OK);
  EXPECT_EQ(literalBits, 7u);
  EXPECT_TRUE(SameTables(literals, literals, narrow.root, narrow.root, 7));

  // All 32 fixed distance codes: complete, with 30 and 31 as invalid as free codes would be.
  const Tables thirty(Lengths(30, 5), 0, 5, 30, STREAM_DISTANCE_BASE, STREAM_DISTANCE_EXTRA);
  const CodeEntry* distances = nullptr;
  uint32_t distBits = 0;
  EXPECT_EQ(BuildDistanceTables(FixedDistanceCode().Lengths().data(), 32, *tables, &distances,
                                &distBits),
            DECODE_OK);
  EXPECT_EQ(distBits, 5u);
  EXPECT_TRUE(SameTables(distances, distances, thirty.root, thirty.root, 5));
}

TEST(CodeTables, CodeLengthRootHoldsTheLongestCodeLengthCode) {
  // One code of each length 1-6 and two of 7: complete, and no entry is a link.
  const Lengths lengths =
      LengthsWith(19, {{18, 1}, {0, 2}, {1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 7}});
  const auto tables = NewStreamTables();
  const CodeEntry* table = nullptr;
  uint32_t width = 0;
  ASSERT_EQ(BuildCodeLengthTables(lengths.data(), *tables, &table, &width), DECODE_OK);
  EXPECT_EQ(width, 7u);
  for (uint32_t index = 0; index < 128; ++index) {
    EXPECT_EQ(table[index].op, CODE_OP_LITERAL) << index;
  }
  EXPECT_EQ(table[0].value, 18);  // code 0
  EXPECT_EQ(table[127].value, 6);  // code 1111111
}

// A code that splits into a tree of 1-bit sub-tables: a 1-bit code, then 256 nine-bit codes
// under a root of 1 bit.
Lengths OneBitThenNineBitCodes() {
  Lengths lengths(257, 9);
  lengths[0] = 1;
  return lengths;
}

TEST(CodeTables, FindsEveryCodeThroughManyLevelsOfSubTables) {
  ExpectEveryCodeFound(OneBitThenNineBitCodes(), 257, 1);
  ExpectEveryCodeFound(OneBitThenNineBitCodes(), 257, 4);
  ExpectEveryCodeFound(FixedLiteralCode().Lengths(), 257, 2);
}

}  // namespace
