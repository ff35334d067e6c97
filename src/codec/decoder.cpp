// The stream decoder: the block loop and the three block types.
#include <cstring>

#include "base/memory.h"
#include "codec/code_tables.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"
#include "codec/match_copy.h"
#include "codec/stream_bit_reader.h"

DecodeResult Decoder::DecodeStream(OutputSink& output) {
  sink = &output;
  fixedCodesBuilt = false;
  fixedLiteralBits = 0;
  fixedDistBits = 0;
  windowPos = 0;
  bitBuffer = 0;
  bitCount = 0;

  if (!MemAllocZero(WINDOW_SIZE + WINDOW_SLACK, &window)) return DECODE_NO_MEMORY;
  // Every entry that a lookup reaches is written by the build of its code.
  if (!MemAlloc(sizeof(StreamTables), &tables)) {
    MemFree(window);
    return DECODE_NO_MEMORY;
  }

  DecodeResult result = DECODE_OK;
  bool final = false;
  while (result == DECODE_OK && !final) {
    StreamBitReader in(*this);
    uint32_t header = 0;
    const bool complete = in.Take(STREAM_BLOCK_HEADER_BITS, &header);
    in.Store();
    if (!complete) {
      result = DECODE_BAD_DATA;
      break;
    }
    final = (header & STREAM_BLOCK_FINAL) != 0;
    switch (header & STREAM_BLOCK_TYPE_MASK) {
      case STREAM_BLOCK_FIXED:
        result = DecodeFixedBlock();
        break;
      case STREAM_BLOCK_DYNAMIC:
        result = DecodeDynamicBlock();
        break;
      case STREAM_BLOCK_STORED:
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
  MemFree(tables);
  MemFree(window);
  sink = nullptr;
  return result;
}

DecodeResult Decoder::DecodeStoredBlock() {
  StreamBitReader in(*this);
  in.AlignToByte();
  uint32_t remaining = 0;
  if (!in.Take(STREAM_STORED_LENGTH_BITS, &remaining)) {
    in.Store();
    return DECODE_BAD_DATA;
  }
  // The held bits were whole bytes and the length took at least all but one of them.
  uint32_t pos = windowPos;
  DecodeResult result = DECODE_OK;
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

DecodeResult Decoder::DecodeFixedBlock() {
  // The fixed tables are built at a fixed block unless the tables still hold them. Both
  // fixed codes are complete: their codes for the symbols beyond the alphabets are invalid.
  if (!fixedCodesBuilt) {
    uint32_t lengths[STREAM_FIXED_LITERAL_LENGTH_CODES];
    for (uint32_t symbol = 0; symbol < STREAM_FIXED_LITERAL_LENGTH_CODES; ++symbol) {
      lengths[symbol] = StreamFixedLiteralLength(symbol);
    }
    const CodeEntry* literals = nullptr;
    const CodeEntry* distances = nullptr;
    DecodeResult result = BuildLiteralLengthTables(lengths, STREAM_FIXED_LITERAL_LENGTH_CODES,
                                                   *tables, &literals, &fixedLiteralBits);
    if (result == DECODE_OK) {
      for (uint32_t i = 0; i < STREAM_FIXED_DISTANCE_CODES; ++i) {
        lengths[i] = STREAM_FIXED_DISTANCE_LENGTH;
      }
      result = BuildDistanceTables(lengths, STREAM_FIXED_DISTANCE_CODES, *tables, &distances,
                                   &fixedDistBits);
    }
    if (result != DECODE_OK) return result;
    fixedCodesBuilt = true;
  }
  const DecodeResult result =
      DecodeSymbols(tables->literals, tables->distances, fixedLiteralBits, fixedDistBits);
  return result == DECODE_OK ? DECODE_OK : DECODE_BAD_DATA;
}

DecodeResult Decoder::DecodeDynamicBlock() {
  uint32_t literalCount = 0;
  uint32_t distCount = 0;
  uint32_t codeLengthLengths[STREAM_CODE_LENGTH_CODES] = {};
  {
    StreamBitReader in(*this);
    uint32_t hlit = 0;
    uint32_t hdist = 0;
    uint32_t hclen = 0;
    bool complete = in.Take(STREAM_HLIT_BITS, &hlit) && in.Take(STREAM_HDIST_BITS, &hdist) &&
                    in.Take(STREAM_HCLEN_BITS, &hclen);
    literalCount = STREAM_MIN_LITERAL_LENGTH_CODES + hlit;
    distCount = STREAM_MIN_DISTANCE_CODES + hdist;
    const bool countsValid =
        literalCount <= STREAM_MAX_LITERAL_LENGTH_CODES && distCount <= STREAM_MAX_DISTANCE_CODES;
    // Positions hclen + 4 to 18 of the order keep length 0.
    const uint32_t listed = STREAM_MIN_CODE_LENGTH_CODES + hclen;
    for (uint32_t i = 0; complete && countsValid && i < listed; ++i) {
      complete = in.Take(STREAM_CODE_LENGTH_CODE_BITS,
                         &codeLengthLengths[STREAM_CODE_LENGTH_ORDER[i]]);
    }
    in.Store();
    if (!complete || !countsValid) return DECODE_BAD_DATA;
  }

  uint32_t lengths[STREAM_MAX_LITERAL_LENGTH_CODES + STREAM_MAX_DISTANCE_CODES];
  DecodeResult result = ReadCodeLengths(codeLengthLengths, lengths, literalCount + distCount);
  if (result != DECODE_OK) return result;

  // The block's codes take the tables' place of the fixed ones. An empty distance code is
  // allowed: the block may hold literals only.
  const CodeEntry* literals = nullptr;
  const CodeEntry* distances = nullptr;
  uint32_t literalBits = 0;
  uint32_t distBits = 0;
  fixedCodesBuilt = false;
  result = BuildLiteralLengthTables(lengths, literalCount, *tables, &literals, &literalBits);
  if (result == DECODE_OK) {
    result = BuildDistanceTables(lengths + literalCount, distCount, *tables, &distances,
                                 &distBits);
  }
  // Without a literal/length code there is nothing to look symbols up in.
  if (result == DECODE_OK && literals == nullptr) result = DECODE_BAD_DATA;
  if (result == DECODE_OK) {
    result = DecodeSymbols(literals, distances, literalBits, distBits) == DECODE_OK
                 ? DECODE_OK
                 : DECODE_BAD_DATA;
  }
  return result;
}

// Reads the block's code lengths (literal/length and distance lengths as one sequence) with
// the code-length code described by codeLengthLengths.
DecodeResult Decoder::ReadCodeLengths(const uint32_t* codeLengthLengths, uint32_t* lengths,
                                      uint32_t count) {
  const CodeEntry* table = nullptr;
  uint32_t width = 0;
  DecodeResult result = BuildCodeLengthTables(codeLengthLengths, *tables, &table, &width);
  if (result != DECODE_OK) return result;
  if (table == nullptr) return DECODE_BAD_DATA;  // all code-length-code lengths are 0

  StreamBitReader in(*this);
  uint32_t stored = 0;
  uint32_t previous = 0;
  while (stored < count) {
    // No code-length code is longer than the root is wide: every entry is a symbol or a
    // free code (the unused half of a single 1-bit code).
    in.Need(width);
    const CodeEntry& entry = table[in.Peek(width)];
    if (entry.op != CODE_OP_LITERAL || !in.Drop(entry.bits)) {
      result = DECODE_BAD_DATA;
      break;
    }
    const uint32_t symbol = entry.value;
    if (symbol < STREAM_REPEAT_PREVIOUS) {
      lengths[stored++] = symbol;
      previous = symbol;
      continue;
    }
    // A repeat: of the previous length (which stays the previous one), or of zero.
    const uint32_t kind = symbol - STREAM_REPEAT_PREVIOUS;
    uint32_t repeat = 0;
    const bool complete = in.Take(STREAM_REPEAT_EXTRA_BITS[kind], &repeat);
    repeat += STREAM_REPEAT_MIN[kind];
    if (symbol != STREAM_REPEAT_PREVIOUS) previous = 0;
    if (!complete || repeat > count - stored) {
      result = DECODE_BAD_DATA;
      break;
    }
    while (repeat-- != 0) lengths[stored++] = previous;
  }
  in.Store();
  return result;
}
