// Shared helpers of the decoder's tests: a sink that records what it gets, one-call stream
// decoding, the decoder's private state, and writers of blocks and their parts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codec/decoder.h"
#include "support/canonical_code.h"
#include "support/temp_file.h"
#include "support/test_bit_writer.h"

using Bytes = std::vector<uint8_t>;

// A sink that keeps every byte and the count of every Write.
class RecordingSink final : public OutputSink {
 public:
  bool IsReady() override { return true; }
  void Write(const uint8_t* data, uint16_t count) override {
    output.insert(output.end(), data, data + count);
    writes.push_back(count);
  }

  Bytes output;
  std::vector<uint32_t> writes;
};

// The decoder's private state, for the tests that set it up or check it directly.
struct DecoderTestAccess {
  static uint32_t& BitBuffer(Decoder& decoder) { return decoder.bitBuffer; }
  static uint32_t& BitCount(Decoder& decoder) { return decoder.bitCount; }
  static uint32_t InputAvail(const Decoder& decoder) { return decoder.inputAvail; }
};

// The outcome of decoding one stream with DecodeStream.
struct DecodeRun {
  DecodeResult result = DECODE_OK;
  Bytes output;
  std::vector<uint32_t> writes;
  uint32_t taken = 0;  // file position after the source was closed: bytes the decoder used
};

// Decodes `stream` from a file in which `trailer` follows it (a complete stream must not
// take any of it), through a source with the given limit (0: none).
DecodeRun DecodeBytes(const Bytes& stream, const Bytes& trailer = Bytes(64, 0xA5),
                      uint32_t limit = 0);

// A complete code-length code over all 19 symbols: 4 bits for 0-12, 5 bits for 13-18.
const CanonicalCode& PlainCodeLengthCode();

// The block header of a dynamic block and its code-length-code lengths (all 19, for
// PlainCodeLengthCode); the code lengths themselves follow.
void WriteDynamicPreamble(TestBitWriter& writer, bool final, uint32_t literalCount,
                          uint32_t distCount);

// A whole dynamic block header: the preamble, then every length written plainly.
void WriteDynamicHeader(TestBitWriter& writer, bool final,
                        const std::vector<uint32_t>& literalLengths,
                        const std::vector<uint32_t>& distLengths);

// n code lengths, all 0 but the given (symbol, length) pairs.
std::vector<uint32_t> LengthsWith(uint32_t n,
                                  const std::vector<std::pair<uint32_t, uint32_t>>& codes);

// A match: its length symbol and extra bits, then its distance code and extra bits, with
// the given codes (the fixed ones by default).
void WriteMatch(TestBitWriter& writer, uint32_t length, uint32_t distance,
                const CanonicalCode& literals = FixedLiteralCode(),
                const CanonicalCode& distances = FixedDistanceCode());

// Pattern bytes that differ from their neighbours, so misplaced copies show.
Bytes Pattern(uint32_t n, uint32_t seed = 7);

// A stored block holding `data` (at most 65535 bytes), at a byte boundary.
void WriteStored(TestBitWriter& writer, bool final, const Bytes& data);

// A fixed block of literals (no matches), ended by its end-of-block code.
void WriteFixedLiterals(TestBitWriter& writer, bool final, const std::string& text);

// Appends a match to `out` the way LZ77 defines it: byte by byte upwards, with zeros for
// positions before the start of the output.
void ApplyMatch(Bytes& out, uint32_t length, uint32_t distance);

Bytes BytesOf(const std::string& text);

// The format's tables, written out here apart from stream_format.h as the tests' control:
// the code-length-code order, and match lengths (symbols 257-285) and distances (0-29).
extern const uint32_t CONTROL_CODE_LENGTH_ORDER[19];
extern const uint32_t CONTROL_LENGTH_BASE[29];
extern const uint32_t CONTROL_LENGTH_EXTRA[29];
extern const uint32_t CONTROL_DISTANCE_BASE[30];
extern const uint32_t CONTROL_DISTANCE_EXTRA[30];
