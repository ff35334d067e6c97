// The space of a code's tables: every complete code of a stream fits the space the decoder
// takes for it, every table holds more items than its width (which that bound rests on), free
// codes take no sub-tables, and codes beyond a space.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "codec/code_tables.h"
#include "codec/codec_test_util.h"

namespace {

using Lengths = std::vector<uint32_t>;

// What the tables of one build take: entries in all, and whether every table holds more
// items (codes that end in it, and links) than it is wide.
struct Census {
  uint32_t entries = 0;
  bool itemsExceedWidths = true;
};

void Count(const CodeEntry* root, const CodeEntry* table, uint32_t width, Census* census) {
  census->entries += 1u << width;
  uint32_t items = 0;
  for (uint32_t index = 0; index < (1u << width); ++index) {
    const CodeEntry& entry = table[index];
    // An item of `bits` own bits fills every 2^bits-th entry: it is counted at its first.
    if (index < (1u << entry.bits)) ++items;
    if (entry.op > CODE_OP_LITERAL && entry.op != CODE_OP_INVALID) {
      Count(root, root + entry.value, entry.op - CODE_OP_LITERAL, census);
    }
  }
  if (items <= width) census->itemsExceedWidths = false;
}

Census CountTables(const CodeEntry* root, uint32_t width) {
  Census census;
  Count(root, root, width, &census);
  return census;
}

// Builds a literal/length code into a stream's tables, as the decoder does.
DecodeResult BuildLiterals(const Lengths& lengths, StreamTables& tables, const CodeEntry** root,
                           uint32_t* width) {
  return BuildLiteralLengthTables(lengths.data(), uint32_t(lengths.size()), tables, root, width);
}

// A random complete code over `symbols` lengths, none above 15: leaves split at random, the
// newest one half of the time, so that long chains and wide sub-tables come up; the leaves go
// to random symbols, the end of block among them at a random depth.
Lengths RandomCompleteCode(std::mt19937& random, uint32_t symbols) {
  std::vector<uint32_t> depths = {0};
  const uint32_t leaves = std::uniform_int_distribution<uint32_t>(2, symbols)(random);
  while (depths.size() < leaves) {
    uint32_t pick = std::uniform_int_distribution<uint32_t>(0, uint32_t(depths.size()) - 1)(random);
    if (random() % 2 == 0) pick = uint32_t(depths.size()) - 1;
    if (depths[pick] == STREAM_MAX_CODE_LENGTH) continue;
    depths.push_back(++depths[pick]);
  }
  std::vector<uint32_t> order(symbols);
  for (uint32_t symbol = 0; symbol < symbols; ++symbol) order[symbol] = symbol;
  std::shuffle(order.begin(), order.end(), random);
  Lengths lengths(symbols, 0);
  for (uint32_t i = 0; i < leaves; ++i) lengths[order[i]] = depths[i];
  return lengths;
}

TEST(CodeTableSpace, EveryCompleteStreamCodeFitsItsSpace) {
  const auto tables = std::make_unique<StreamTables>();
  std::mt19937 random(20261209);
  for (uint32_t round = 0; round < 3000; ++round) {
    const Lengths literals = RandomCompleteCode(random, STREAM_FIXED_LITERAL_LENGTH_CODES);
    const CodeEntry* root = nullptr;
    uint32_t width = 0;
    ASSERT_EQ(BuildLiterals(literals, *tables, &root, &width), DECODE_OK) << "round " << round;
    const Census census = CountTables(root, width);
    EXPECT_LE(census.entries, LITERAL_LENGTH_TABLE_ENTRIES) << "round " << round;
    EXPECT_TRUE(census.itemsExceedWidths) << "round " << round;

    const Lengths distances = RandomCompleteCode(random, STREAM_FIXED_DISTANCE_CODES);
    ASSERT_EQ(BuildDistanceTables(distances.data(), uint32_t(distances.size()), *tables, &root,
                                  &width),
              DECODE_OK) << "round " << round;
    EXPECT_LE(CountTables(root, width).entries, DISTANCE_TABLE_ENTRIES) << "round " << round;
    EXPECT_TRUE(CountTables(root, width).itemsExceedWidths) << "round " << round;
  }
}

TEST(CodeTableSpace, OneBitEndOfBlockGivesTheWidestSubTable) {
  // End of block 1 bit, then one literal of each length 2-14 and two of 15: the root is cut to
  // 1 bit, and the chain under it asks for a sub-table as wide as a root.
  std::vector<std::pair<uint32_t, uint32_t>> codes = {{256, 1}, {'y', 15}, {'z', 15}};
  for (uint32_t len = 2; len <= 14; ++len) codes.push_back({'a' + len, len});
  const Lengths lengths = LengthsWith(STREAM_FIXED_LITERAL_LENGTH_CODES, codes);
  const auto tables = std::make_unique<StreamTables>();
  const CodeEntry* root = nullptr;
  uint32_t width = 0;
  ASSERT_EQ(BuildLiterals(lengths, *tables, &root, &width), DECODE_OK);
  EXPECT_EQ(width, 1u);
  EXPECT_EQ(root[0].op, CODE_OP_END);
  EXPECT_EQ(root[1].op, CODE_OP_LITERAL + LITERAL_LENGTH_ROOT_BITS);
  const Census census = CountTables(root, width);
  EXPECT_TRUE(census.itemsExceedWidths);
  EXPECT_LE(census.entries, LITERAL_LENGTH_TABLE_ENTRIES);
}

TEST(CodeTableSpace, FreeCodesTakeNoSubTables) {
  // A 1-bit code and one 12-bit code: of the root's 512 entries that start with bit 1, one
  // links to the 12-bit code's 2-bit sub-table; the other 511 are free and invalid.
  const Lengths lengths = LengthsWith(STREAM_FIXED_LITERAL_LENGTH_CODES, {{'a', 1}, {'b', 12}});
  const auto tables = std::make_unique<StreamTables>();
  const CodeEntry* root = nullptr;
  uint32_t width = 0;
  ASSERT_EQ(BuildLiterals(lengths, *tables, &root, &width), DECODE_BAD_DATA);
  ASSERT_EQ(width, LITERAL_LENGTH_ROOT_BITS);
  EXPECT_EQ(CountTables(root, width).entries, (1u << LITERAL_LENGTH_ROOT_BITS) + 4);
  uint32_t invalid = 0;
  for (uint32_t index = 1; index < (1u << width); index += 2) {
    invalid += root[index].op == CODE_OP_INVALID;
  }
  EXPECT_EQ(invalid, 511u);
  EXPECT_EQ(root[1].op, CODE_OP_LITERAL + 2);  // code 1000000000 leads to 'b'
  EXPECT_EQ(root[root[1].value].value, 'b');
  EXPECT_EQ(root[root[1].value + 1].op, CODE_OP_INVALID);
}

TEST(CodeTableSpace, IncompleteCodeBeyondItsSpaceIsBadDataWithoutTables) {
  // A single 15-bit code raises the root to 15 bits: more than a literal/length space holds.
  const Lengths lengths = LengthsWith(STREAM_FIXED_LITERAL_LENGTH_CODES, {{'a', 15}});
  const auto tables = std::make_unique<StreamTables>();
  const CodeEntry* root = tables->literals;
  uint32_t width = 0;
  EXPECT_EQ(BuildLiterals(lengths, *tables, &root, &width), DECODE_BAD_DATA);
  EXPECT_EQ(root, nullptr);

  std::vector<CodeEntry> space(MAX_TABLE_SPACE_ENTRIES);
  const CodeAlphabet literalsOnly = {STREAM_FIXED_LITERAL_LENGTH_CODES, 0, nullptr, nullptr};
  width = LITERAL_LENGTH_ROOT_BITS;
  EXPECT_EQ(BuildCodeTables(lengths.data(), uint32_t(lengths.size()), literalsOnly, space.data(),
                            uint32_t(space.size()), &root, &width),
            DECODE_BAD_DATA);
  ASSERT_EQ(root, space.data());
  EXPECT_EQ(width, 15u);
  EXPECT_EQ(root[0].value, 'a');
  EXPECT_EQ(root[1].op, CODE_OP_INVALID);
}

TEST(CodeTableSpace, CompleteCodeBeyondItsSpaceIsOutOfMemory) {
  // The fixed literal/length code's 7-bit root fits 128 entries, its sub-tables do not.
  std::vector<CodeEntry> space(128);
  const CodeAlphabet literalsOnly = {STREAM_FIXED_LITERAL_LENGTH_CODES, 0, nullptr, nullptr};
  const CodeEntry* root = space.data();
  uint32_t width = LITERAL_LENGTH_ROOT_BITS;
  EXPECT_EQ(BuildCodeTables(FixedLiteralCode().Lengths().data(), STREAM_FIXED_LITERAL_LENGTH_CODES,
                            literalsOnly, space.data(), uint32_t(space.size()), &root, &width),
            DECODE_NO_MEMORY);
  EXPECT_EQ(root, nullptr);
}

}  // namespace
