#include "codec/codec_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The order in which a dynamic block lists the code-length-code lengths.
const uint32_t kCodeLengthOrder[19] = {18, 17, 16, 0, 1, 2, 3, 4, 5, 6,
                                       7,  8,  9,  10, 11, 12, 13, 14, 15};

// Match lengths and distances of the format, independent of the decoder's own tables.
const uint32_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint32_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint32_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint32_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

std::string UniqueTempPath() {
  static int serial = 0;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "_" + test->name() : "codec";
  return testing::TempDir() + "lodrun_" + name + "_" + std::to_string(++serial) + ".bin";
}

}  // namespace

TempFile::TempFile(const Bytes& contents) : path(UniqueTempPath()) {
  FileHandle file = FileCreate(path.c_str());
  EXPECT_NE(file, INVALID_FILE) << path;
  if (!contents.empty()) {
    EXPECT_EQ(FileWrite(file, contents.data(), uint32_t(contents.size())), FILE_OK);
  }
  FileClose(file);
}

TempFile::~TempFile() { std::remove(path.c_str()); }

FileHandle TempFile::OpenRead() const {
  FileHandle file = FileOpen(path.c_str(), OPEN_READ);
  EXPECT_NE(file, INVALID_FILE) << path;
  return file;
}

Bytes ReadWholeFile(const std::string& path) {
  FileHandle file = FileOpen(path.c_str(), OPEN_READ);
  EXPECT_NE(file, INVALID_FILE) << path;
  Bytes contents(FileSize(file));
  if (!contents.empty()) {
    EXPECT_EQ(FileRead(file, contents.data(), uint32_t(contents.size())), FILE_OK);
  }
  FileClose(file);
  return contents;
}

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
    decoder.sink = &sink;
    run.result = decoder.DecodeStream();
    decoder.CloseSource();
  }
  run.taken = FileTell(file);
  FileClose(file);
  run.output = sink.output;
  run.writes = sink.writes;
  return run;
}

PrefixCode::PrefixCode(const std::vector<uint32_t>& codeLengths)
    : lengths(codeLengths), codes(codeLengths.size(), 0) {
  // Canonical codes: by length, then by symbol.
  uint32_t count[17] = {};
  for (uint32_t len : lengths) ++count[len];
  count[0] = 0;
  uint32_t next[17] = {};
  uint32_t code = 0;
  for (uint32_t len = 1; len <= 16; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    if (lengths[symbol] != 0) codes[symbol] = next[lengths[symbol]]++;
  }
}

void PrefixCode::Write(BitWriter& writer, uint32_t symbol) const {
  ASSERT_LT(symbol, lengths.size());
  ASSERT_NE(lengths[symbol], 0u) << "symbol " << symbol << " has no code";
  writer.Code(codes[symbol], lengths[symbol]);
}

const PrefixCode& FixedLiteralCode() {
  static const PrefixCode code([] {
    std::vector<uint32_t> lengths(288);
    for (uint32_t s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    return lengths;
  }());
  return code;
}

const PrefixCode& FixedDistanceCode() {
  static const PrefixCode code(std::vector<uint32_t>(32, 5));
  return code;
}

const PrefixCode& PlainCodeLengthCode() {
  static const PrefixCode code([] {
    std::vector<uint32_t> lengths(19, 4);
    for (uint32_t s = 13; s < 19; ++s) lengths[s] = 5;
    return lengths;
  }());
  return code;
}

void WriteDynamicPreamble(BitWriter& writer, bool final, uint32_t literalCount,
                          uint32_t distCount) {
  writer.Bits(6, 3);                   // block type: dynamic
  writer.Bits(final ? 1 : 0, 1);       // final flag
  writer.Bits(literalCount - 257, 5);  // HLIT
  writer.Bits(distCount - 1, 5);       // HDIST
  writer.Bits(19 - 4, 4);              // HCLEN: all 19 code-length-code lengths
  for (uint32_t symbol : kCodeLengthOrder) {
    writer.Bits(PlainCodeLengthCode().LengthOf(symbol), 3);
  }
}

void WriteDynamicHeader(BitWriter& writer, bool final, const std::vector<uint32_t>& literalLengths,
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

void WriteMatch(BitWriter& writer, uint32_t length, uint32_t distance, const PrefixCode& literals,
                const PrefixCode& distances) {
  uint32_t lengthIndex = 28;
  while (kLengthBase[lengthIndex] > length) --lengthIndex;
  uint32_t distIndex = 29;
  while (kDistBase[distIndex] > distance) --distIndex;
  literals.Write(writer, 257 + lengthIndex);
  writer.Bits(length - kLengthBase[lengthIndex], kLengthExtra[lengthIndex]);
  distances.Write(writer, distIndex);
  writer.Bits(distance - kDistBase[distIndex], kDistExtra[distIndex]);
}

void WriteFixedLiterals(BitWriter& writer, bool final, const std::string& text) {
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
