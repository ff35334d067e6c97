#include "codec/codec_test_util.h"

#include <gtest/gtest.h>

const uint32_t CONTROL_CODE_LENGTH_ORDER[19] = {18, 17, 16, 0,  1,  2,  3,  4,  5, 6,
                                                7,  8,  9,  10, 11, 12, 13, 14, 15};
const uint32_t CONTROL_LENGTH_BASE[29] = {3,  4,  5,  6,  7,  8,  9,   10,  11,  13,
                                          15, 17, 19, 23, 27, 31, 35,  43,  51,  59,
                                          67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint32_t CONTROL_LENGTH_EXTRA[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint32_t CONTROL_DISTANCE_BASE[30] = {1,    2,    3,    4,    5,    7,    9,    13,
                                            17,   25,   33,   49,   65,   97,   129,  193,
                                            257,  385,  513,  769,  1025, 1537, 2049, 3073,
                                            4097, 6145, 8193, 12289, 16385, 24577};
const uint32_t CONTROL_DISTANCE_EXTRA[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

DecodeRun DecodeBytes(const Bytes& stream, const Bytes& trailer, uint32_t limit) {
  Bytes contents = stream;
  contents.insert(contents.end(), trailer.begin(), trailer.end());
  TempFile temp(contents);
  FileHandle file = temp.OpenRead();
  RecordingSink sink;
  DecodeRun run;
  {
    Decoder decoder;
    EXPECT_TRUE(decoder.OpenSource(file, limit));
    run.result = decoder.DecodeStream(sink);
    decoder.CloseSource();
  }
  run.taken = FileTell(file);
  FileClose(file);
  run.output = sink.output;
  run.writes = sink.writes;
  return run;
}

const CanonicalCode& PlainCodeLengthCode() {
  static const CanonicalCode code([] {
    std::vector<uint32_t> lengths(19, 4);
    for (uint32_t s = 13; s < 19; ++s) lengths[s] = 5;
    return lengths;
  }());
  return code;
}

void WriteDynamicPreamble(TestBitWriter& writer, bool final, uint32_t literalCount,
                          uint32_t distCount) {
  writer.Bits(6, 3);                   // block type: dynamic
  writer.Bits(final ? 1 : 0, 1);       // final flag
  writer.Bits(literalCount - 257, 5);  // HLIT
  writer.Bits(distCount - 1, 5);       // HDIST
  writer.Bits(19 - 4, 4);              // HCLEN: all 19 code-length-code lengths
  for (uint32_t symbol : CONTROL_CODE_LENGTH_ORDER) {
    writer.Bits(PlainCodeLengthCode().LengthOf(symbol), 3);
  }
}

void WriteDynamicHeader(TestBitWriter& writer, bool final,
                        const std::vector<uint32_t>& literalLengths,
                        const std::vector<uint32_t>& distLengths) {
  WriteDynamicPreamble(writer, final, uint32_t(literalLengths.size()), uint32_t(distLengths.size()));
  for (uint32_t len : literalLengths) PlainCodeLengthCode().Write(writer, len);
  for (uint32_t len : distLengths) PlainCodeLengthCode().Write(writer, len);
}

std::vector<uint32_t> LengthsWith(uint32_t n,
                                  const std::vector<std::pair<uint32_t, uint32_t>>& codes) {
  std::vector<uint32_t> lengths(n, 0);
  for (const auto& code : codes) lengths[code.first] = code.second;
  return lengths;
}

void WriteMatch(TestBitWriter& writer, uint32_t length, uint32_t distance,
                const CanonicalCode& literals, const CanonicalCode& distances) {
  uint32_t lengthIndex = 28;
  while (CONTROL_LENGTH_BASE[lengthIndex] > length) --lengthIndex;
  uint32_t distIndex = 29;
  while (CONTROL_DISTANCE_BASE[distIndex] > distance) --distIndex;
  literals.Write(writer, 257 + lengthIndex);
  writer.Bits(length - CONTROL_LENGTH_BASE[lengthIndex], CONTROL_LENGTH_EXTRA[lengthIndex]);
  distances.Write(writer, distIndex);
  writer.Bits(distance - CONTROL_DISTANCE_BASE[distIndex], CONTROL_DISTANCE_EXTRA[distIndex]);
}

Bytes Pattern(uint32_t n, uint32_t seed) {
  Bytes bytes(n);
  for (uint32_t i = 0; i < n; ++i) bytes[i] = uint8_t((i * 131 + seed + (i >> 8)) & 0xFF);
  return bytes;
}

void WriteStored(TestBitWriter& writer, bool final, const Bytes& data) {
  writer.Bits(7, 3);              // block type: stored
  writer.Bits(final ? 1 : 0, 1);  // final flag
  writer.Align();                 // skipped to the byte boundary
  writer.Bits(uint32_t(data.size()), 16);  // LEN
  writer.Bytes(data);
}

void WriteFixedLiterals(TestBitWriter& writer, bool final, const std::string& text) {
  writer.Bits(5, 3);              // block type: fixed
  writer.Bits(final ? 1 : 0, 1);  // final flag
  for (unsigned char c : text) FixedLiteralCode().Write(writer, c);
  FixedLiteralCode().Write(writer, 256);  // end of block
}

void ApplyMatch(Bytes& out, uint32_t length, uint32_t distance) {
  for (uint32_t i = 0; i < length; ++i) {
    out.push_back(out.size() >= distance ? out[out.size() - distance] : 0);
  }
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }
