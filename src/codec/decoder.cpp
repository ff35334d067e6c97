// The stream decoder: the block loop and the three block types.
#include <cstring>

#include "base/memory.h"
#include "codec/bit_reader.h"
#include "codec/code_tables.h"
#include "codec/codec_format.h"
#include "codec/decoder.h"

namespace {

// Fixed literal/length code lengths, by symbol range.
constexpr uint32_t FIXED_8_BIT_LITERALS_END = 144;  // 0-143: 8 bits
constexpr uint32_t FIXED_9_BIT_LITERALS_END = 256;  // 144-255: 9 bits
constexpr uint32_t FIXED_7_BIT_SYMBOLS_END = 280;   // 256-279: 7 bits, 280-287: 8 bits
constexpr uint32_t FIXED_DISTANCE_LENGTH = 5;

// Code-length repeats: extra bits and the smallest count of symbols 16, 17 and 18.
constexpr uint32_t REPEAT_PREVIOUS_BITS = 2;
constexpr uint32_t REPEAT_PREVIOUS_MIN = 3;
constexpr uint32_t REPEAT_ZERO_SHORT_BITS = 3;
constexpr uint32_t REPEAT_ZERO_SHORT_MIN = 3;
constexpr uint32_t REPEAT_ZERO_LONG_BITS = 7;
constexpr uint32_t REPEAT_ZERO_LONG_MIN = 11;

void FixedLiteralLengths(uint32_t* lengths) {
  for (uint32_t symbol = 0; symbol < FIXED_LITERAL_LENGTH_CODES; ++symbol) {
    lengths[symbol] = symbol < FIXED_8_BIT_LITERALS_END   ? 8
                      : symbol < FIXED_9_BIT_LITERALS_END ? 9
                      : symbol < FIXED_7_BIT_SYMBOLS_END  ? 7
                                                          : 8;
  }
}

}  // namespace

uint32_t Decoder::DecodeStream() {
  fixedLiteralTable = nullptr;
  fixedDistTable = nullptr;
  fixedLiteralBits = 0;
  fixedDistBits = 0;
  windowPos = 0;
  bitBuffer = 0;
  bitCount = 0;

  static_assert(sizeof codeLengthOrder == sizeof CODE_LENGTH_ORDER, "order table");
  static_assert(sizeof lengthBase == sizeof LENGTH_BASE, "length bases");
  static_assert(sizeof lengthExtra == sizeof LENGTH_EXTRA, "length extra bits");
  static_assert(sizeof distBase == sizeof DIST_BASE, "distance bases");
  static_assert(sizeof distExtra == sizeof DIST_EXTRA, "distance extra bits");
  std::memcpy(codeLengthOrder, CODE_LENGTH_ORDER, sizeof codeLengthOrder);
  std::memcpy(lengthBase, LENGTH_BASE, sizeof lengthBase);
  std::memcpy(lengthExtra, LENGTH_EXTRA, sizeof lengthExtra);
  std::memcpy(distExtra, DIST_EXTRA, sizeof distExtra);
  std::memcpy(distBase, DIST_BASE, sizeof distBase);

  if (!MemAllocZero(WINDOW_SIZE, &window)) return DECODE_NO_MEMORY;

  uint32_t result = DECODE_OK;
  bool final = false;
  while (result == DECODE_OK && !final) {
    BitReader in(*this);
    uint32_t header = 0;
    const bool complete = in.Take(BLOCK_HEADER_BITS, &header);
    in.Store();
    if (!complete) {
      result = DECODE_BAD_DATA;
      break;
    }
    final = (header & BLOCK_FINAL_FLAG) != 0;
    switch (header & BLOCK_TYPE_MASK) {
      case CODEC_BLOCK_FIXED:
        result = DecodeFixedBlock();
        break;
      case CODEC_BLOCK_DYNAMIC:
        result = DecodeDynamicBlock();
        break;
      case CODEC_BLOCK_STORED:
        result = DecodeStoredBlock();
        break;
      default:
        result = DECODE_BAD_FORMAT;
        break;
    }
  }

  if (result == DECODE_OK) sink->Write(window, static_cast<uint16_t>(windowPos));
  // Also after an error, so that the source stands behind the last byte that was used: the
  // place where the stream went wrong.
  ReturnHeldBytes();
  FreeFixedTables();
  MemFree(window);
  return result;
}

void Decoder::FreeFixedTables() {
  FreeCodeTables(&fixedLiteralTable);
  FreeCodeTables(&fixedDistTable);
}

uint32_t Decoder::DecodeStoredBlock() {
  BitReader in(*this);
  in.AlignToByte();
  uint32_t remaining = 0;
  if (!in.Take(STORED_LENGTH_BITS, &remaining)) {
    in.Store();
    return DECODE_BAD_DATA;
  }
  // The held bits were whole bytes and the length took at least all but one of them.
  uint32_t pos = windowPos;
  uint32_t result = DECODE_OK;
  while (remaining != 0) {
    uint32_t piece = 1;
    if (in.HeldBits() == 0 && in.BufferedBytes() != 0) {
      // Nothing held: the stream's next bytes are those of the input buffer, in order.
      piece = in.BufferedBytes();
      if (piece > remaining) piece = remaining;
      if (piece > WINDOW_SIZE - pos) piece = WINDOW_SIZE - pos;
      std::memcpy(window + pos, in.BufferedData(), piece);
      in.TakeBuffered(piece);
    } else {
      uint32_t byte = 0;
      if (!in.Take(8, &byte)) {
        result = DECODE_BAD_DATA;
        break;
      }
      window[pos] = static_cast<uint8_t>(byte);
    }
    pos += piece;
    remaining -= piece;
    if (pos == WINDOW_SIZE) {
      sink->Write(window, static_cast<uint16_t>(WINDOW_SIZE));
      pos = 0;
    }
  }
  windowPos = pos;
  in.Store();
  return result;
}

uint32_t Decoder::DecodeFixedBlock() {
  // The fixed tables are built at the stream's first fixed block and kept to its end.
  if (fixedLiteralTable == nullptr) {
    uint32_t lengths[FIXED_LITERAL_LENGTH_CODES];
    FixedLiteralLengths(lengths);
    fixedLiteralBits = FIXED_LITERAL_ROOT_BITS;
    uint32_t result = BuildCodeTables(lengths, FIXED_LITERAL_LENGTH_CODES, FIRST_LENGTH_SYMBOL,
                                      lengthBase, lengthExtra, &fixedLiteralTable,
                                      &fixedLiteralBits);
    if (result != DECODE_OK) {
      FreeCodeTables(&fixedLiteralTable);
      return result;
    }
    // 30 of the 32 five-bit codes: incomplete on purpose, the other two are invalid codes.
    for (uint32_t i = 0; i < MAX_DISTANCE_CODES; ++i) lengths[i] = FIXED_DISTANCE_LENGTH;
    fixedDistBits = FIXED_DISTANCE_ROOT_BITS;
    result = BuildCodeTables(lengths, MAX_DISTANCE_CODES, 0, distBase, distExtra, &fixedDistTable,
                             &fixedDistBits);
    if (result > DECODE_BAD_DATA) {
      FreeFixedTables();
      return result;
    }
  }
  uint32_t result =
      DecodeSymbols(fixedLiteralTable, fixedDistTable, fixedLiteralBits, fixedDistBits);
  return result == DECODE_OK ? DECODE_OK : DECODE_BAD_DATA;
}

uint32_t Decoder::DecodeDynamicBlock() {
  uint32_t literalCount = 0;
  uint32_t distCount = 0;
  uint32_t codeLengthLengths[CODE_LENGTH_CODES] = {};
  {
    BitReader in(*this);
    uint32_t hlit = 0;
    uint32_t hdist = 0;
    uint32_t hclen = 0;
    bool complete = in.Take(HLIT_BITS, &hlit) && in.Take(HDIST_BITS, &hdist) &&
                    in.Take(HCLEN_BITS, &hclen);
    literalCount = FIRST_LENGTH_SYMBOL + hlit;
    distCount = 1 + hdist;
    const bool countsValid =
        literalCount <= MAX_LITERAL_LENGTH_CODES && distCount <= MAX_DISTANCE_CODES;
    // Positions hclen + 4 to 18 of the order keep length 0.
    const uint32_t listed = MIN_CODE_LENGTH_CODES + hclen;
    for (uint32_t i = 0; complete && countsValid && i < listed; ++i) {
      complete = in.Take(CODE_LENGTH_BITS, &codeLengthLengths[codeLengthOrder[i]]);
    }
    in.Store();
    if (!complete || !countsValid) return DECODE_BAD_DATA;
  }

  uint32_t lengths[MAX_LITERAL_LENGTH_CODES + MAX_DISTANCE_CODES];
  uint32_t result = ReadCodeLengths(codeLengthLengths, lengths, literalCount + distCount);
  if (result != DECODE_OK) return result;

  // The block's tables are freed on every way out of it.
  CodeEntry* literals = nullptr;
  CodeEntry* distances = nullptr;
  int32_t literalBits = DYNAMIC_LITERAL_ROOT_BITS;
  int32_t distBits = DYNAMIC_DISTANCE_ROOT_BITS;
  result = BuildCodeTables(lengths, literalCount, FIRST_LENGTH_SYMBOL, lengthBase, lengthExtra,
                           &literals, &literalBits);
  // Without a literal/length code there is nothing to look symbols up in.
  if (result == DECODE_OK && literals == nullptr) result = DECODE_BAD_DATA;
  if (result == DECODE_OK) {
    // An empty distance code is allowed: the block may hold literals only.
    result = BuildCodeTables(lengths + literalCount, distCount, 0, distBase, distExtra,
                             &distances, &distBits);
  }
  if (result == DECODE_OK) {
    result = DecodeSymbols(literals, distances, literalBits, distBits) == DECODE_OK
                 ? DECODE_OK
                 : DECODE_BAD_DATA;
  }
  FreeCodeTables(&literals);
  FreeCodeTables(&distances);
  return result;
}

// Reads the block's code lengths (literal/length and distance lengths as one sequence) with
// the code-length code described by codeLengthLengths.
uint32_t Decoder::ReadCodeLengths(const uint32_t* codeLengthLengths, uint32_t* lengths,
                                  uint32_t count) {
  CodeEntry* table = nullptr;
  int32_t width = CODE_LENGTH_ROOT_BITS;
  uint32_t result = BuildCodeTables(codeLengthLengths, CODE_LENGTH_CODES, CODE_LENGTH_CODES,
                                    nullptr, nullptr, &table, &width);
  if (result != DECODE_OK) {
    FreeCodeTables(&table);
    return result;
  }
  if (table == nullptr) return DECODE_BAD_DATA;  // all code-length-code lengths are 0

  BitReader in(*this);
  uint32_t stored = 0;
  uint32_t previous = 0;
  while (stored < count) {
    // No code-length code is longer than the root is wide: every entry is a symbol or a
    // free code (the unused half of a single 1-bit code).
    in.Need(uint32_t(width));
    const CodeEntry& entry = table[in.Peek(uint32_t(width))];
    if (entry.op != CODE_OP_LITERAL || !in.Drop(entry.bits)) {
      result = DECODE_BAD_DATA;
      break;
    }
    const uint32_t symbol = entry.value;
    if (symbol < REPEAT_PREVIOUS) {
      lengths[stored++] = symbol;
      previous = symbol;
      continue;
    }
    uint32_t repeat = 0;
    uint32_t value = 0;
    bool complete;
    if (symbol == REPEAT_PREVIOUS) {
      complete = in.Take(REPEAT_PREVIOUS_BITS, &repeat);
      repeat += REPEAT_PREVIOUS_MIN;
      value = previous;
    } else if (symbol == REPEAT_ZERO_SHORT) {
      complete = in.Take(REPEAT_ZERO_SHORT_BITS, &repeat);
      repeat += REPEAT_ZERO_SHORT_MIN;
      previous = 0;
    } else {
      complete = in.Take(REPEAT_ZERO_LONG_BITS, &repeat);
      repeat += REPEAT_ZERO_LONG_MIN;
      previous = 0;
    }
    if (!complete || repeat > count - stored) {
      result = DECODE_BAD_DATA;
      break;
    }
    while (repeat-- != 0) lengths[stored++] = value;
  }
  in.Store();
  FreeCodeTables(&table);
  return result;
}
