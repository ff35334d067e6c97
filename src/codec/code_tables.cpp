// Building the lookup tables of a canonical prefix code.
//
// Codes are placed in canonical order (by length, then symbol). A table of width j serves
// the codes that share the prefix leading to it; a code of length L that ends in a table
// starting at bit w fills every 2^(L - w)-th entry from its own bits on. Each table carries
// one chaining entry in front of it that links to the table allocated after it, so the root
// reaches every table of the code.
#include "codec/code_tables.h"

#include "base/memory.h"
#include "codec/codec_format.h"

namespace {

// At most one level per code bit.
constexpr uint32_t MAX_TABLE_LEVELS = MAX_CODE_LENGTH;

// The largest alphabet that a code is built for: the fixed literal/length code.
constexpr uint32_t MAX_CODE_SYMBOLS = FIXED_LITERAL_LENGTH_CODES;

// One table on the path of the code being placed.
struct TableLevel {
  CodeEntry* table;
  uint32_t start;   // code bits decoded before this table is entered
  uint32_t width;   // its index bits
  uint32_t prefix;  // the low `start` code bits that lead to it
};

uint32_t LowBits(uint32_t n) { return (1u << n) - 1; }

// The state of one build: the counts and the chain of tables made so far.
struct CodeBuild {
  uint32_t lengthCount[MAX_CODE_LENGTH + 1];  // codes of each length, free codes included
  uint32_t codesLeft[MAX_CODE_LENGTH + 1];    // codes of each length not placed yet
  uint32_t rootBits;                          // requested root width, adjusted to the code
  uint32_t maxLen;
  uint32_t eob;                               // length of the end-of-block code, or 16
  CodeEntry* root;
  CodeEntry* lastTable;
};

// Allocates a zero-filled table of 2^width entries behind its chaining entry, and chains it
// after the last table of the build.
CodeEntry* AllocateTable(CodeBuild& build, uint32_t width) {
  CodeEntry* block = nullptr;
  if (!MemAllocZero(((uint32_t(1) << width) + 1) * sizeof(CodeEntry), &block)) return nullptr;
  CodeEntry* table = block + 1;
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
CodeEntry MakeEntry(uint32_t symbol, bool invalid, uint32_t bits, uint32_t simpleCount,
                    const uint16_t* bases, const uint16_t* extras) {
  CodeEntry entry{};
  entry.bits = static_cast<uint8_t>(bits);
  if (invalid) {
    entry.op = CODE_OP_INVALID;
    entry.value = 0;
  } else if (symbol < simpleCount) {
    entry.op = symbol < END_OF_BLOCK ? CODE_OP_LITERAL : CODE_OP_END;
    entry.value = static_cast<uint16_t>(symbol);
  } else {
    entry.op = static_cast<uint8_t>(extras[symbol - simpleCount]);
    entry.value = bases[symbol - simpleCount];
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

}  // namespace

uint32_t BuildCodeTables(const uint32_t* lengths, uint32_t n, uint32_t simpleCount,
                         const uint16_t* bases, const uint16_t* extras, CodeEntry** table,
                         int32_t* width) {
  *table = nullptr;
  if (n > MAX_CODE_SYMBOLS) return DECODE_BAD_FORMAT;
  CodeBuild build{};
  build.eob = n > END_OF_BLOCK ? lengths[END_OF_BLOCK] : MAX_CODE_LENGTH;

  for (uint32_t i = 0; i < n; ++i) {
    if (lengths[i] > MAX_CODE_LENGTH) return DECODE_BAD_FORMAT;
    ++build.lengthCount[lengths[i]];
  }
  if (build.lengthCount[0] == n) {
    *width = 0;
    return DECODE_OK;
  }

  uint32_t minLen = 1;
  while (build.lengthCount[minLen] == 0) ++minLen;
  build.maxLen = MAX_CODE_LENGTH;
  while (build.lengthCount[build.maxLen] == 0) --build.maxLen;
  build.rootBits = *width < int32_t(minLen) ? minLen : uint32_t(*width);
  if (build.rootBits > build.maxLen) build.rootBits = build.maxLen;

  // Code space: the codes of each length take their share of what the shorter ones left.
  int32_t freeCodes = int32_t(1) << minLen;
  for (uint32_t len = minLen; len < build.maxLen; ++len) {
    freeCodes -= int32_t(build.lengthCount[len]);
    if (freeCodes < 0) return DECODE_BAD_FORMAT;
    freeCodes *= 2;
  }
  freeCodes -= int32_t(build.lengthCount[build.maxLen]);
  if (freeCodes < 0) return DECODE_BAD_FORMAT;

  // Symbols in canonical order; the free codes follow as invalid codes of the longest length.
  uint16_t sorted[MAX_CODE_SYMBOLS];
  uint32_t offset[MAX_CODE_LENGTH + 2] = {};
  for (uint32_t len = 1; len <= MAX_CODE_LENGTH; ++len) {
    offset[len + 1] = offset[len] + build.lengthCount[len];
  }
  const uint32_t realCodes = offset[MAX_CODE_LENGTH + 1];
  for (uint32_t symbol = 0; symbol < n; ++symbol) {
    if (lengths[symbol] != 0) sorted[offset[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
  }
  build.lengthCount[build.maxLen] += uint32_t(freeCodes);
  for (uint32_t len = 0; len <= MAX_CODE_LENGTH; ++len) build.codesLeft[len] = build.lengthCount[len];

  TableLevel levels[MAX_TABLE_LEVELS];
  int32_t depth = -1;  // no table open yet
  uint32_t code = 0;   // the current code's bits, first bit read in bit 0
  const uint32_t totalCodes = realCodes + uint32_t(freeCodes);
  for (uint32_t k = 0; k < totalCodes; ++k) {
    const bool invalid = k >= realCodes;
    const uint32_t symbol = invalid ? 0 : sorted[k];
    const uint32_t length = invalid ? build.maxLen : lengths[symbol];

    // Back to the table level whose prefix this code shares (the root shares every prefix).
    while (depth > 0 && (code & LowBits(levels[depth].start)) != levels[depth].prefix) --depth;

    // Open tables until one reaches the code's last bit.
    while (depth < 0 || length > levels[depth].start + levels[depth].width) {
      const uint32_t w = depth < 0 ? 0 : levels[depth].start + levels[depth].width;
      const uint32_t j = NewTableWidth(build, length, w);
      CodeEntry* newTable = AllocateTable(build, j);
      if (newTable == nullptr) {
        FreeCodeTables(&build.root);
        return DECODE_NO_MEMORY;
      }
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

    // The code ends in the top table: fill every entry whose low bits are its remaining bits.
    const TableLevel& level = levels[depth];
    const uint32_t ownBits = length - level.start;
    const CodeEntry entry = MakeEntry(symbol, invalid, ownBits, simpleCount, bases, extras);
    for (uint32_t index = code >> level.start; index < (uint32_t(1) << level.width);
         index += uint32_t(1) << ownBits) {
      level.table[index] = entry;
    }
    --build.codesLeft[length];
    code = NextCode(code, length);
  }

  *table = build.root;
  *width = int32_t(levels[0].width);
  // Incomplete, unless the code is one single 1-bit code.
  return freeCodes > 0 && build.maxLen != 1 ? DECODE_BAD_DATA : DECODE_OK;
}

void FreeCodeTables(CodeEntry** table) {
  CodeEntry* current = *table;
  while (current != nullptr) {
    CodeEntry* block = current - 1;
    current = block->next;
    MemFree(block);
  }
  *table = nullptr;
}
