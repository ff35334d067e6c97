// Building the lookup tables of a canonical prefix code.
//
// Codes are placed in canonical order (by length, then symbol). A table of width j serves
// the codes that share the prefix leading to it; a code of length L that ends in a table
// starting at bit w stands for every index whose low L - w bits are its own. Codes reach a
// table in one run, shortest first, before any link out of it: each table is filled by
// doubling, every code's entry written once at the width of its length and the filled part
// copied above itself to widen it. The tables are taken one after another from one space,
// the root first; a link holds its sub-table's offset from the root.
#include "codec/code_tables.h"

#include <cstddef>
#include <cstring>

namespace {

// At most one level per code bit.
constexpr uint32_t MAX_TABLE_LEVELS = MAX_CODE_LENGTH;

// One table on the path of the code being placed.
struct TableLevel {
  CodeEntry* table;
  uint32_t start;   // code bits decoded before this table is entered
  uint32_t width;   // its index bits
  uint32_t prefix;  // the low `start` code bits that lead to it
  uint32_t filled;  // index bits of the part filled so far: its entries are final up to there
};

uint32_t LowBits(uint32_t n) { return (1u << n) - 1; }

// Entries are made and copied as the words they are (op, bits, value from the low byte up):
// the fields stored one by one and then loaded as a word by the doubling would stall it.
static_assert(offsetof(CodeEntry, op) == 0 && offsetof(CodeEntry, bits) == 1 &&
                  offsetof(CodeEntry, value) == 2 && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "an entry is op, bits and value in one little-endian word");
uint32_t EntryWord(uint32_t op, uint32_t bits, uint32_t value) {
  return op | bits << 8 | value << 16;
}
uint32_t LoadEntry(const CodeEntry* entry) {
  uint32_t word;
  std::memcpy(&word, entry, sizeof word);
  return word;
}
void StoreEntry(CodeEntry* entry, uint32_t word) { std::memcpy(entry, &word, sizeof word); }

// Parts of a table at least this many entries long are doubled by one block move.
constexpr uint32_t WIDEN_BY_MOVE_ENTRIES = 32;

// The state of one build: the counts, and the space the tables are taken from.
struct CodeBuild {
  uint32_t lengthCount[MAX_CODE_LENGTH + 1];  // codes of each length, free codes included
  uint32_t codesLeft[MAX_CODE_LENGTH + 1];    // codes of each length not placed yet
  uint32_t minLen;
  uint32_t maxLen;
  uint32_t rootBits;                          // requested root width, adjusted to the code
  uint32_t eob;                               // length of the end-of-block code, or 16
  uint32_t realCodes;                         // symbols with a code
  uint32_t freeCodes;                         // codes of length maxLen that no symbol has
  uint32_t rootWidth;                         // the built root's width
  CodeEntry* space;                           // the root, then the sub-tables
  uint32_t capacity;                          // entries of the space
  uint32_t used;                              // entries taken by the tables made so far
};

// Counts the codes of each length. False when a length is beyond MAX_CODE_LENGTH.
bool CountLengths(CodeBuild& build, const uint32_t* lengths, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    if (lengths[i] > MAX_CODE_LENGTH) return false;
    ++build.lengthCount[lengths[i]];
  }
  build.eob = n > STREAM_END_OF_BLOCK ? lengths[STREAM_END_OF_BLOCK] : MAX_CODE_LENGTH;
  return true;
}

// The shortest and the longest code, and the root width: the requested one, but at least
// the shortest code and at most the longest. The code has at least one length.
void ChooseRootWidth(CodeBuild& build, uint32_t requested) {
  build.minLen = 1;
  while (build.lengthCount[build.minLen] == 0) ++build.minLen;
  build.maxLen = MAX_CODE_LENGTH;
  while (build.lengthCount[build.maxLen] == 0) --build.maxLen;
  build.rootBits = requested < build.minLen ? build.minLen : requested;
  if (build.rootBits > build.maxLen) build.rootBits = build.maxLen;
}

// Checks the code space: the codes of each length take their share of what the shorter ones
// left. False for an over-subscribed code; else freeCodes holds the codes of the longest
// length that are left over.
bool CheckCodeSpace(CodeBuild& build) {
  int32_t freeCodes = int32_t(1) << build.minLen;
  for (uint32_t len = build.minLen; len < build.maxLen; ++len) {
    freeCodes -= int32_t(build.lengthCount[len]);
    if (freeCodes < 0) return false;
    freeCodes *= 2;
  }
  freeCodes -= int32_t(build.lengthCount[build.maxLen]);
  if (freeCodes < 0) return false;
  build.freeCodes = uint32_t(freeCodes);
  return true;
}

// Sorts the symbols that have a code canonically (by length, then symbol) into sorted. From
// here on the counts include the free codes as codes of the longest length after them, so
// that an incomplete code's tables are as wide as those of the complete code it is a part of.
void SortSymbols(CodeBuild& build, const uint32_t* lengths, uint32_t n, uint16_t* sorted) {
  uint32_t offset[MAX_CODE_LENGTH + 2] = {};
  for (uint32_t len = 1; len <= MAX_CODE_LENGTH; ++len) {
    offset[len + 1] = offset[len] + build.lengthCount[len];
  }
  build.realCodes = offset[MAX_CODE_LENGTH + 1];
  for (uint32_t symbol = 0; symbol < n; ++symbol) {
    if (lengths[symbol] != 0) sorted[offset[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
  }
  build.lengthCount[build.maxLen] += build.freeCodes;
  for (uint32_t len = 0; len <= MAX_CODE_LENGTH; ++len) {
    build.codesLeft[len] = build.lengthCount[len];
  }
}

// Takes a table of 2^width entries from the space, or null where the space is too small. Its
// filled part is its first entry, invalid: an entry that no code reaches stays so.
CodeEntry* TakeTable(CodeBuild& build, uint32_t width) {
  const uint32_t entries = uint32_t(1) << width;
  if (entries > build.capacity - build.used) return nullptr;
  CodeEntry* table = build.space + build.used;
  build.used += entries;
  StoreEntry(table, EntryWord(CODE_OP_INVALID, width, 0));
  return table;
}

// Widens the filled part of a level's table to `bits` index bits by doubling: an entry of the
// filled part stands for every index with its low bits, so the part is copied above itself.
// Short parts are copied word by word: a block move takes tens of cycles to start.
void WidenTable(TableLevel& level, uint32_t bits) {
  CodeEntry* const table = level.table;
  for (; level.filled < bits; ++level.filled) {
    const uint32_t half = uint32_t(1) << level.filled;
    if (half >= WIDEN_BY_MOVE_ENTRIES) {
      std::memcpy(table + half, table, half * sizeof(CodeEntry));
      continue;
    }
    for (uint32_t i = 0; i < half; ++i) StoreEntry(table + half + i, LoadEntry(table + i));
  }
}

// The width of a new table that starts at bit w, for a code of length L: wide enough for the
// codes of length L and, while they leave entries free, for longer codes, up to rootBits;
// cut so that the table holding the end-of-block code ends where that code ends.
uint32_t NewTableWidth(const CodeBuild& build, uint32_t length, uint32_t w) {
  uint32_t z = build.maxLen - w < build.rootBits ? build.maxLen - w : build.rootBits;
  uint32_t j = length - w;
  uint32_t codes = build.codesLeft[length];
  if ((uint32_t(1) << j) > codes) {
    uint32_t patterns = (uint32_t(1) << j) - codes;  // entries the codes of length L leave
    for (;;) {
      ++j;
      if (j >= z) break;
      patterns *= 2;
      if (patterns <= build.lengthCount[w + j]) break;
      patterns -= build.lengthCount[w + j];
    }
  }
  if (w + j > build.eob && w < build.eob) j = build.eob - w;
  return j < MAX_TABLE_BITS ? j : MAX_TABLE_BITS;
}

// The entry of one code: a simple symbol, a symbol with a base and extra bits, or invalid.
uint32_t MakeEntry(const CodeAlphabet& alphabet, uint32_t symbol, uint32_t bits) {
  if (symbol < alphabet.simpleCount) {
    return EntryWord(symbol < STREAM_END_OF_BLOCK ? CODE_OP_LITERAL : CODE_OP_END, bits, symbol);
  }
  if (symbol - alphabet.simpleCount < alphabet.valueCount) {
    return EntryWord(alphabet.extras[symbol - alphabet.simpleCount], bits,
                     alphabet.bases[symbol - alphabet.simpleCount]);
  }
  return EntryWord(CODE_OP_INVALID, bits, 0);  // beyond the alphabet's values: 286 and 287, 30 and 31
}

// The next canonical code of the same length in reading order: code bits are kept with the
// first bit read in bit 0, so adding 1 carries from bit L - 1 downwards.
uint32_t NextCode(uint32_t code, uint32_t length) {
  uint32_t bit = uint32_t(1) << (length - 1);
  while (code & bit) {
    code ^= bit;
    bit >>= 1;
  }
  return code | bit;
}

// Makes the path of tables reach the code's last bit: back to the level whose prefix the
// code shares (the root, levels[0], shares every prefix), finishing each table left, then a
// new table per level until one reaches it, each linked from the table above. Takes the top
// table's level (-1 before the root is made) and returns the new one, or -1 when the space
// runs out.
int32_t ExtendPath(CodeBuild& build, TableLevel* levels, int32_t depth, uint32_t code,
                   uint32_t length) {
  while (depth > 0 && (code & LowBits(levels[depth].start)) != levels[depth].prefix) {
    WidenTable(levels[depth], levels[depth].width);
    --depth;
  }
  while (depth < 0 || length > levels[depth].start + levels[depth].width) {
    const uint32_t w = depth < 0 ? 0 : levels[depth].start + levels[depth].width;
    const uint32_t j = NewTableWidth(build, length, w);
    CodeEntry* newTable = TakeTable(build, j);
    if (newTable == nullptr) return -1;
    if (depth >= 0) {
      // The link sits in the table above, at the code's bits from that table's start to w:
      // it ends there as a code of that table's whole width would.
      TableLevel& above = levels[depth];
      WidenTable(above, above.width);
      StoreEntry(above.table + ((code >> above.start) & LowBits(above.width)),
                 EntryWord(CODE_OP_LITERAL + j, above.width, uint32_t(newTable - build.space)));
    }
    ++depth;
    levels[depth] = TableLevel{newTable, w, j, code & LowBits(w), 0};
  }
  return depth;
}

// Places the sorted real codes into the root and sub-tables: a code ends in the top table of
// its path, whose filled part is widened to the code's own bits before its entry is written
// at them. The free codes are left as the tables' invalid entries. Then every table still on
// the path is widened to its whole width. False when the space runs out.
bool PlaceCodes(CodeBuild& build, const uint32_t* lengths, const uint16_t* sorted,
                const CodeAlphabet& alphabet) {
  TableLevel levels[MAX_TABLE_LEVELS];
  int32_t depth = -1;  // no table yet
  uint32_t code = 0;   // the current code's bits, first bit read in bit 0
  for (uint32_t k = 0; k < build.realCodes; ++k) {
    const uint32_t symbol = sorted[k];
    const uint32_t length = lengths[symbol];
    depth = ExtendPath(build, levels, depth, code, length);
    if (depth < 0) return false;

    TableLevel& level = levels[depth];
    const uint32_t ownBits = length - level.start;
    WidenTable(level, ownBits);
    StoreEntry(level.table + (code >> level.start), MakeEntry(alphabet, symbol, ownBits));
    --build.codesLeft[length];
    code = NextCode(code, length);
  }
  for (; depth >= 0; --depth) WidenTable(levels[depth], levels[depth].width);
  build.rootWidth = levels[0].width;
  return true;
}

// What the symbols of each code of a stream stand for.
constexpr CodeAlphabet LITERAL_LENGTH_ALPHABET = {
    STREAM_FIRST_LENGTH_SYMBOL, STREAM_LENGTH_SYMBOLS, STREAM_LENGTH_BASE, STREAM_LENGTH_EXTRA};
constexpr CodeAlphabet DISTANCE_ALPHABET = {0, STREAM_MAX_DISTANCE_CODES, STREAM_DISTANCE_BASE,
                                            STREAM_DISTANCE_EXTRA};
constexpr CodeAlphabet CODE_LENGTH_ALPHABET = {STREAM_CODE_LENGTH_CODES, 0, nullptr, nullptr};

}  // namespace

DecodeResult BuildCodeTables(const uint32_t* lengths, uint32_t n, const CodeAlphabet& alphabet,
                             CodeEntry* space, uint32_t capacity, const CodeEntry** table,
                             uint32_t* width) {
  *table = nullptr;
  if (n > MAX_CODE_SYMBOLS) return DECODE_BAD_FORMAT;
  CodeBuild build{};
  if (!CountLengths(build, lengths, n)) return DECODE_BAD_FORMAT;
  if (build.lengthCount[0] == n) {
    *width = 0;
    return DECODE_OK;
  }
  ChooseRootWidth(build, *width);
  if (!CheckCodeSpace(build)) return DECODE_BAD_FORMAT;
  // Incomplete, unless the code is one single 1-bit code.
  const bool complete = build.freeCodes == 0 || build.maxLen == 1;
  uint16_t sorted[MAX_CODE_SYMBOLS];
  SortSymbols(build, lengths, n, sorted);
  build.space = space;
  build.capacity = capacity < MAX_TABLE_SPACE_ENTRIES ? capacity : MAX_TABLE_SPACE_ENTRIES;
  if (!PlaceCodes(build, lengths, sorted, alphabet)) {
    return complete ? DECODE_NO_MEMORY : DECODE_BAD_DATA;
  }
  *table = space;
  *width = build.rootWidth;
  return complete ? DECODE_OK : DECODE_BAD_DATA;
}

DecodeResult BuildLiteralLengthTables(const uint32_t* lengths, uint32_t n, StreamTables& tables,
                                      const CodeEntry** table, uint32_t* width) {
  *width = LITERAL_LENGTH_ROOT_BITS;
  return BuildCodeTables(lengths, n, LITERAL_LENGTH_ALPHABET, tables.literals,
                         LITERAL_LENGTH_TABLE_ENTRIES, table, width);
}

DecodeResult BuildDistanceTables(const uint32_t* lengths, uint32_t n, StreamTables& tables,
                                 const CodeEntry** table, uint32_t* width) {
  *width = DISTANCE_ROOT_BITS;
  return BuildCodeTables(lengths, n, DISTANCE_ALPHABET, tables.distances, DISTANCE_TABLE_ENTRIES,
                         table, width);
}

DecodeResult BuildCodeLengthTables(const uint32_t* lengths, StreamTables& tables,
                                   const CodeEntry** table, uint32_t* width) {
  *width = CODE_LENGTH_ROOT_BITS;
  return BuildCodeTables(lengths, STREAM_CODE_LENGTH_CODES, CODE_LENGTH_ALPHABET,
                         tables.codeLengths, CODE_LENGTH_TABLE_ENTRIES, table, width);
}
