// Shared helpers of the decoder's tests: streams in temporary files, a sink that records
// what it gets, canonical prefix codes for writing blocks, and one-call stream decoding.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "codec/bit_writer.h"
#include "codec/decoder.h"

using Bytes = std::vector<uint8_t>;

// A temporary file holding the given bytes; removed when the object goes.
class TempFile {
 public:
  explicit TempFile(const Bytes& contents);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Opens the file for reading, at its first byte.
  FileHandle OpenRead() const;
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// The contents of a file, read through the file helpers.
Bytes ReadWholeFile(const std::string& path);

// A sink that keeps every byte and the count of every Write.
class RecordingSink : public OutputSink {
 public:
  bool IsReady() override { return true; }
  void Write(const uint8_t* data, uint16_t count) override {
    output.insert(output.end(), data, data + count);
    writes.push_back(count);
  }

  Bytes output;
  std::vector<uint32_t> writes;
};

// The outcome of decoding one stream with DecodeStream.
struct DecodeRun {
  uint32_t result = 0;
  Bytes output;
  std::vector<uint32_t> writes;
  uint32_t taken = 0;  // file position after the source was closed: bytes the decoder used
};

// Decodes `stream` from a file in which `trailer` follows it (a complete stream must not
// take any of it), through a source with the given limit (0: none).
DecodeRun DecodeBytes(const Bytes& stream, const Bytes& trailer = Bytes(64, 0xA5),
                      uint32_t limit = 0);

// A canonical prefix code given by its code lengths (0 = no code).
class PrefixCode {
 public:
  explicit PrefixCode(const std::vector<uint32_t>& lengths);
  void Write(BitWriter& writer, uint32_t symbol) const;
  uint32_t CodeOf(uint32_t symbol) const { return codes[symbol]; }
  uint32_t LengthOf(uint32_t symbol) const { return lengths[symbol]; }

 private:
  std::vector<uint32_t> lengths;
  std::vector<uint32_t> codes;
};

// The fixed codes. The distance code includes the two invalid 5-bit codes 30 and 31.
const PrefixCode& FixedLiteralCode();
const PrefixCode& FixedDistanceCode();

// A complete code-length code over all 19 symbols: 4 bits for 0-12, 5 bits for 13-18.
const PrefixCode& PlainCodeLengthCode();

// The block header of a dynamic block and its code-length-code lengths (all 19, for
// PlainCodeLengthCode); the code lengths themselves follow.
void WriteDynamicPreamble(BitWriter& writer, bool final, uint32_t literalCount,
                          uint32_t distCount);

// A whole dynamic block header: the preamble, then every length written plainly.
void WriteDynamicHeader(BitWriter& writer, bool final, const std::vector<uint32_t>& literalLengths,
                        const std::vector<uint32_t>& distLengths);

// n code lengths, all 0 but the given (symbol, length) pairs.
std::vector<uint32_t> LengthsWith(uint32_t n,
                                  const std::vector<std::pair<uint32_t, uint32_t>>& codes);

// A match: its length symbol and extra bits, then its distance code and extra bits, with
// the given codes (the fixed ones by default).
void WriteMatch(BitWriter& writer, uint32_t length, uint32_t distance,
                const PrefixCode& literals = FixedLiteralCode(),
                const PrefixCode& distances = FixedDistanceCode());

// A fixed block of literals (no matches), ended by its end-of-block code.
void WriteFixedLiterals(BitWriter& writer, bool final, const std::string& text);

// Appends a match to `out` the way LZ77 defines it: byte by byte upwards, with zeros for
// positions before the start of the output.
void ApplyMatch(Bytes& out, uint32_t length, uint32_t distance);

Bytes BytesOf(const std::string& text);
