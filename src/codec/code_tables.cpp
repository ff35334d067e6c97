// Building the lookup tables of a canonical prefix code.
//
// Codes are placed in canonical order (by length, then symbol). A table of width j serves
// the codes that share the prefix leading to it; a code of length L that ends in a table
// starting at bit w fills every 2^(L - w)-th entry from its own bits on. Each table carries
// one chaining entry in front of it that links to the table made after it, so the root
// reaches every table of the code. Tables are taken one after another from blocks of
// memory: the root's block has room for the usual sub-tables too, so that most codes take
// one allocation; the chaining entry of a table that starts a block is marked.
#include "codec/code_tables.h"

#include "base/memory.h"

namespace {

// At most one level per code bit.
constexpr uint32_t MAX_TABLE_LEVELS = MAX_CODE_LENGTH;

// Room for sub-tables in a block, as a part of the root's entries: the sub-tables of more
// than 99% of the literal/length codes of the benchmark's corpus take less than 256 entries,
// a quarter of their 10-bit root (measured with a 9-bit root, whose sub-tables are larger).
// A code whose root is as wide as its longest code has no sub-tables and gets no room.
constexpr uint32_t SUB_TABLE_ROOM_SHIFT = 2;

// One table on the path of the code being placed.
struct TableLevel {
  CodeEntry* table;
  uint32_t start;   // code bits decoded before this table is entered
  uint32_t width;   // its index bits
  uint32_t prefix;  // the low `start` code bits that lead to it
};

uint32_t LowBits(uint32_t n) { return (1u << n) - 1; }

// The state of one build: the counts, and the chain of tables made so far.
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
  CodeEntry* root;
  CodeEntry* lastTable;
  CodeEntry* blockNext;                       // the current block's first free entry
  uint32_t blockLeft;                         // and its free entries
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

// Sorts the symbols that have a code canonically (by length, then symbol) into sorted. The
// free codes follow them as invalid codes of the longest length; from here on the counts
// include them.
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

// Takes a zero-filled table of 2^width entries behind its chaining entry from the current
// block, or from a new one where the rest is too small, and chains it after the last table of
// the build. A new block also has room for the sub-tables that usually follow.
CodeEntry* AllocateTable(CodeBuild& build, uint32_t width) {
  const uint32_t entries = (uint32_t(1) << width) + 1;
  if (entries > build.blockLeft) {
    const uint32_t room =
        build.rootBits < build.maxLen ? (uint32_t(1) << build.rootBits) >> SUB_TABLE_ROOM_SHIFT : 0;
    CodeEntry* block = nullptr;
    if (!MemAllocZero((entries + room) * sizeof(CodeEntry), &block)) return nullptr;
    block->op = CHAIN_BLOCK_START;
    build.blockNext = block;
    build.blockLeft = entries + room;
  }
  CodeEntry* table = build.blockNext + 1;
  build.blockNext += entries;
  build.blockLeft -= entries;
  if (build.lastTable == nullptr) {
    build.root = table;
  } else {
    build.lastTable[-1].next = table;
  }
  build.lastTable = table;
  return table;
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

// The entry of one code: invalid, a simple symbol, or a symbol with a base and extra bits.
CodeEntry MakeEntry(const CodeAlphabet& alphabet, uint32_t symbol, bool invalid, uint32_t bits) {
  CodeEntry entry{};
  entry.bits = static_cast<uint8_t>(bits);
  if (invalid) {
    entry.op = CODE_OP_INVALID;
    entry.value = 0;
  } else if (symbol < alphabet.simpleCount) {
    entry.op = symbol < STREAM_END_OF_BLOCK ? CODE_OP_LITERAL : CODE_OP_END;
    entry.value = static_cast<uint16_t>(symbol);
  } else if (symbol - alphabet.simpleCount < alphabet.valueCount) {
    entry.op = alphabet.extras[symbol - alphabet.simpleCount];
    entry.value = alphabet.bases[symbol - alphabet.simpleCount];
  } else {
    entry.op = CODE_OP_INVALID;  // beyond the alphabet's values: 286 and 287, 30 and 31
    entry.value = 0;
  }
  return entry;
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
// code shares (the root, levels[0], shares every prefix), then a new table per level until
// one reaches it, each linked from the table above. Takes the top table's level (-1 before
// the root is made) and returns the new one, or -1 when memory runs out.
int32_t ExtendPath(CodeBuild& build, TableLevel* levels, int32_t depth, uint32_t code,
                   uint32_t length) {
  while (depth > 0 && (code & LowBits(levels[depth].start)) != levels[depth].prefix) --depth;
  while (depth < 0 || length > levels[depth].start + levels[depth].width) {
    const uint32_t w = depth < 0 ? 0 : levels[depth].start + levels[depth].width;
    const uint32_t j = NewTableWidth(build, length, w);
    CodeEntry* newTable = AllocateTable(build, j);
    if (newTable == nullptr) return -1;
    if (depth >= 0) {
      // The link sits in the table above, at the code's bits from that table's start to w.
      const TableLevel& above = levels[depth];
      CodeEntry& link = above.table[(code >> above.start) & LowBits(above.width)];
      link.op = static_cast<uint8_t>(CODE_OP_LITERAL + j);
      link.bits = static_cast<uint8_t>(above.width);
      link.next = newTable;
    }
    ++depth;
    levels[depth] = TableLevel{newTable, w, j, code & LowBits(w)};
  }
  return depth;
}

// Places every code, the sorted real ones and then the free ones, into the root and
// sub-tables: a code ends in the top table of its path and fills every entry there whose low
// bits are its remaining bits. False when memory runs out.
bool PlaceCodes(CodeBuild& build, const uint32_t* lengths, const uint16_t* sorted,
                const CodeAlphabet& alphabet) {
  TableLevel levels[MAX_TABLE_LEVELS];
  int32_t depth = -1;  // no table yet
  uint32_t code = 0;   // the current code's bits, first bit read in bit 0
  const uint32_t totalCodes = build.realCodes + build.freeCodes;
  for (uint32_t k = 0; k < totalCodes; ++k) {
    const bool invalid = k >= build.realCodes;
    const uint32_t symbol = invalid ? 0 : sorted[k];
    const uint32_t length = invalid ? build.maxLen : lengths[symbol];
    depth = ExtendPath(build, levels, depth, code, length);
    if (depth < 0) return false;

    const TableLevel& level = levels[depth];
    const uint32_t ownBits = length - level.start;
    const CodeEntry entry = MakeEntry(alphabet, symbol, invalid, ownBits);
    for (uint32_t index = code >> level.start; index < (uint32_t(1) << level.width);
         index += uint32_t(1) << ownBits) {
      level.table[index] = entry;
    }
    --build.codesLeft[length];
    code = NextCode(code, length);
  }
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
                             CodeEntry** table, uint32_t* width) {
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
  uint16_t sorted[MAX_CODE_SYMBOLS];
  SortSymbols(build, lengths, n, sorted);
  if (!PlaceCodes(build, lengths, sorted, alphabet)) {
    FreeCodeTables(&build.root);
    return DECODE_NO_MEMORY;
  }
  *table = build.root;
  *width = build.rootWidth;
  // Incomplete, unless the code is one single 1-bit code.
  return build.freeCodes > 0 && build.maxLen != 1 ? DECODE_BAD_DATA : DECODE_OK;
}

DecodeResult BuildLiteralLengthTables(const uint32_t* lengths, uint32_t n, CodeEntry** table,
                                      uint32_t* width) {
  *width = LITERAL_LENGTH_ROOT_BITS;
  return BuildCodeTables(lengths, n, LITERAL_LENGTH_ALPHABET, table, width);
}

DecodeResult BuildDistanceTables(const uint32_t* lengths, uint32_t n, CodeEntry** table,
                                 uint32_t* width) {
  *width = DISTANCE_ROOT_BITS;
  return BuildCodeTables(lengths, n, DISTANCE_ALPHABET, table, width);
}

DecodeResult BuildCodeLengthTables(const uint32_t* lengths, CodeEntry** table, uint32_t* width) {
  *width = CODE_LENGTH_ROOT_BITS;
  return BuildCodeTables(lengths, STREAM_CODE_LENGTH_CODES, CODE_LENGTH_ALPHABET, table, width);
}

void FreeCodeTables(CodeEntry** table) {
  // Each block goes once: from a table that starts one, past the tables inside it, to the next
  // table that starts one. The root starts the first.
  CodeEntry* current = *table;
  while (current != nullptr) {
    CodeEntry* block = current - 1;
    current = block->next;
    while (current != nullptr && current[-1].op != CHAIN_BLOCK_START) current = current[-1].next;
    MemFree(block);
  }
  *table = nullptr;
}
