// Round trips through the program's decoder: data compressed by libdeflate at every level
// and by zlib at every level and strategy, rewritten into the program's format. zlib's
// inflate is the control for each standard stream, and its block walk checks the block
// types that the rewriter reports.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "base/file_io.h"
#include "builder/encoder/stream_encoder.h"
#include "codec/decoder.h"
#include "support/deflate_bits.h"
#include "support/deflate_peers.h"
#include "support/random_bytes.h"
#include "support/temp_file.h"

namespace {

using test_support::RandomBytes;

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Large inputs at the fast levels; libdeflate's levels 10-12 get a quarter of that.
constexpr size_t LARGE_INPUT = size_t{1} << 19;
constexpr int FIRST_SLOW_LEVEL = 10;
constexpr size_t SLOW_LEVEL_DIVISOR = 4;

// ---- Inputs ----

Bytes ReadFilesUpTo(std::vector<fs::path> paths, size_t limit) {
  std::sort(paths.begin(), paths.end());
  Bytes out;
  for (const fs::path& path : paths) {
    if (out.size() >= limit) break;
    std::error_code error;
    size_t size = std::min<size_t>(fs::file_size(path, error), limit - out.size());
    std::ifstream file(path, std::ios::binary);
    if (error || !file) continue;
    size_t start = out.size();
    out.resize(start + size);
    file.read(reinterpret_cast<char*>(out.data() + start), static_cast<std::streamsize>(size));
    out.resize(start + static_cast<size_t>(file.gcount()));
  }
  return out;
}

std::vector<fs::path> FilesUnder(const fs::path& dir, bool (*wanted)(const fs::path&)) {
  std::vector<fs::path> paths;
  std::error_code error;
  for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error) && wanted(it->path())) paths.push_back(it->path());
  }
  return paths;
}

// Documentation text, topped up with generated words where the system has too little.
Bytes Text(size_t size) {
  static const Bytes docs = ReadFilesUpTo(FilesUnder("/usr/share/doc", [](const fs::path& p) {
    std::string name = p.filename().string();
    return p.extension() == ".txt" || name.rfind("changelog", 0) == 0 || name == "copyright";
  }), 4 * LARGE_INPUT);
  Bytes text(docs.begin(), docs.begin() + static_cast<ptrdiff_t>(std::min(size, docs.size())));
  static const char* const kWords[] = {"setup ", "file ", "the ", "directory ", "install ",
                                       "of ", "window\n", "program ", "a ", "data "};
  for (uint32_t state = 1; text.size() < size;) {
    state = state * 1103515245u + 12345u;
    for (const char* c = kWords[(state >> 16) % 10]; *c != 0 && text.size() < size; ++c) text.push_back(*c);
  }
  return text;
}

// Windows DLLs of Wine, or else the system's own programs; empty when neither is there.
Bytes Binaries(size_t size) {
  for (const char* dir : {"/usr/lib/wine/i386-windows", "/usr/lib/i386-linux-gnu/wine/i386-windows"}) {
    auto dlls = FilesUnder(dir, [](const fs::path& p) { return p.extension() == ".dll"; });
    if (!dlls.empty()) return ReadFilesUpTo(dlls, size);
  }
  return ReadFilesUpTo(FilesUnder("/usr/bin", [](const fs::path&) { return true; }), size);
}

// Runs of one byte value, from 1 byte to beyond the window, with short text in between.
Bytes Runs(size_t size) {
  Bytes out;
  std::mt19937 generator(7);
  for (size_t run = 1; out.size() < size; run = run * 3 % 70001 + 1) {
    out.insert(out.end(), std::min(run, size - out.size()), static_cast<uint8_t>(generator() % 4));
    for (int i = 0; i < 5 && out.size() < size; ++i) out.push_back(static_cast<uint8_t>('a' + i));
  }
  return out;
}

struct Input {
  std::string name;
  Bytes data;
};

// Sizes around the window and the stored-block limit, and large inputs of each kind.
std::vector<Input> Inputs(size_t large) {
  std::vector<Input> inputs = {{"empty", {}}, {"one byte", {'x'}}};
  for (size_t size : {32767, 32768, 32769, 65535, 65536}) {
    inputs.push_back({"text " + std::to_string(size), Text(size)});
  }
  inputs.push_back({"random 65535", RandomBytes(65535, 1)});
  inputs.push_back({"random 65536", RandomBytes(65536, 2)});
  inputs.push_back({"text", Text(2 * large)});
  inputs.push_back({"random", RandomBytes(large / 4, 3)});
  inputs.push_back({"runs", Runs(large)});
  Bytes binaries = Binaries(2 * large);
  if (!binaries.empty()) inputs.push_back({"binaries", binaries});
  return inputs;
}

// ---- The control ----

// zlib's inflate of a standard stream, stopped at every block boundary (Z_BLOCK) to read
// the block header there: the decoded bytes and the block types in the program's numbers.
struct Inflated {
  bool ok = false;
  Bytes data;
  std::vector<uint8_t> types;
  std::vector<size_t> headerBits;  // where each block's header starts
};

Inflated InflateWithBlockWalk(const Bytes& deflate, size_t expectedSize) {
  static constexpr uint8_t kTypeOf[4] = {STREAM_BLOCK_STORED, STREAM_BLOCK_FIXED, STREAM_BLOCK_DYNAMIC, 0};
  Inflated result;
  result.data.resize(expectedSize + 1);  // room for one byte too many
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return result;
  z.next_in = const_cast<uint8_t*>(deflate.data());
  z.avail_in = static_cast<uInt>(deflate.size());
  z.next_out = result.data.data();
  z.avail_out = static_cast<uInt>(result.data.size());
  int ret = Z_OK;
  for (size_t headerBit = 0; ret == Z_OK;) {
    result.types.push_back(kTypeOf[BitsAt(deflate, headerBit + 1, 2)]);
    result.headerBits.push_back(headerBit);
    do ret = inflate(&z, Z_BLOCK);
    while (ret == Z_OK && (z.data_type & 128) == 0);
    if (ret == Z_OK && (z.data_type & 64) != 0) ret = inflate(&z, Z_FINISH);  // after the last block
    // At a boundary the unused bits of the last byte taken start the next header.
    headerBit = 8 * static_cast<size_t>(z.next_in - deflate.data()) - (z.data_type & 7);
  }
  result.ok = ret == Z_STREAM_END && z.avail_in == 0;
  result.data.resize(z.total_out);
  inflateEnd(&z);
  return result;
}

// ---- The program's decoder ----

testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  if (actual.size() != expected.size()) {
    return testing::AssertionFailure() << "size " << actual.size() << ", expected " << expected.size();
  }
  if (actual.empty() || std::memcmp(actual.data(), expected.data(), actual.size()) == 0) {
    return testing::AssertionSuccess();
  }
  auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
  return testing::AssertionFailure() << "first difference at " << (mismatch.first - actual.begin());
}

// Decodes one stream with DecodeToMemory; also checks that the file stands behind it.
testing::AssertionResult DecodesTo(const Bytes& stream, const Bytes& expected) {
  TempFile temp(stream);
  FileHandle file = temp.OpenRead();
  Bytes decoded(std::max<size_t>(expected.size(), 1));
  bool ok = DecodeToMemory(decoded.data(), static_cast<uint32_t>(expected.size()), file, 0);
  uint32_t position = FileTell(file);
  FileClose(file);
  if (!ok) return testing::AssertionFailure() << "DecodeToMemory failed";
  if (position != stream.size()) return testing::AssertionFailure() << "file left at " << position;
  decoded.resize(expected.size());
  return SameBytes(decoded, expected);
}

// One standard stream of data: the control inflates it, the rewriter's block types match
// the control's walk, and the rewritten stream decodes to data. Returns the block types.
std::vector<uint8_t> CheckRoundTrip(const Bytes& deflate, const Bytes& data, Bytes* rewritten = nullptr) {
  Inflated control = InflateWithBlockWalk(deflate, data.size());
  EXPECT_TRUE(control.ok);
  EXPECT_TRUE(SameBytes(control.data, data)) << "zlib's inflate";
  Bytes stream;
  std::vector<uint8_t> types;
  EXPECT_TRUE(RewriteDeflateStream(deflate.data(), deflate.size(), stream, &types));
  EXPECT_EQ(types, control.types);
  EXPECT_TRUE(DecodesTo(stream, data)) << "the program's decoder";
  if (rewritten != nullptr) *rewritten = std::move(stream);
  return types;
}

class LibdeflateRoundTrip : public testing::TestWithParam<int> {};

TEST_P(LibdeflateRoundTrip, EveryInputDecodesToItself) {
  int level = GetParam();
  size_t large = level >= FIRST_SLOW_LEVEL ? LARGE_INPUT / SLOW_LEVEL_DIVISOR : LARGE_INPUT;
  for (const Input& input : Inputs(large)) {
    SCOPED_TRACE(input.name);
    Bytes rewritten;
    CheckRoundTrip(LibdeflateCompress(input.data, level), input.data, &rewritten);
    EXPECT_TRUE(SameBytes(EncodeStream(input.data.data(), input.data.size(), level), rewritten));
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, LibdeflateRoundTrip, testing::Range(0, 13));

struct ZlibSetting {
  int level;
  int strategy;
  const char* name;
};

void PrintTo(const ZlibSetting& setting, std::ostream* out) { *out << setting.name; }

class ZlibRoundTrip : public testing::TestWithParam<ZlibSetting> {};

TEST_P(ZlibRoundTrip, EveryInputDecodesToItself) {
  for (const Input& input : Inputs(LARGE_INPUT)) {
    SCOPED_TRACE(input.name);
    CheckRoundTrip(ZlibCompress(input.data, GetParam().level, GetParam().strategy), input.data);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ZlibRoundTrip,
    testing::Values(ZlibSetting{0, Z_DEFAULT_STRATEGY, "level0"}, ZlibSetting{1, Z_DEFAULT_STRATEGY, "level1"},
                    ZlibSetting{2, Z_DEFAULT_STRATEGY, "level2"}, ZlibSetting{3, Z_DEFAULT_STRATEGY, "level3"},
                    ZlibSetting{4, Z_DEFAULT_STRATEGY, "level4"}, ZlibSetting{5, Z_DEFAULT_STRATEGY, "level5"},
                    ZlibSetting{6, Z_DEFAULT_STRATEGY, "level6"}, ZlibSetting{7, Z_DEFAULT_STRATEGY, "level7"},
                    ZlibSetting{8, Z_DEFAULT_STRATEGY, "level8"}, ZlibSetting{9, Z_DEFAULT_STRATEGY, "level9"},
                    ZlibSetting{6, Z_FIXED, "fixed"}, ZlibSetting{6, Z_HUFFMAN_ONLY, "huffmanOnly"},
                    ZlibSetting{6, Z_RLE, "rle"}, ZlibSetting{6, Z_FILTERED, "filtered"}),
    [](const testing::TestParamInfo<ZlibSetting>& info) { return std::string(info.param.name); });

TEST(RoundTrip, EncodersProduceEveryBlockType) {
  const std::string sentence = "The quick brown fox jumps over the lazy dog. The quick brown fox jumps.";
  std::vector<Input> inputs = {{"sentence", Bytes(sentence.begin(), sentence.end())},
                               {"text", Text(65536)},
                               {"random", RandomBytes(65536, 4)}};
  std::set<uint8_t> libdeflateTypes;
  std::set<uint8_t> zlibTypes;
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    for (int level = 0; level <= 12; ++level) {
      for (uint8_t type : CheckRoundTrip(LibdeflateCompress(input.data, level), input.data)) libdeflateTypes.insert(type);
    }
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
      for (int level : {0, 6}) {
        for (uint8_t type : CheckRoundTrip(ZlibCompress(input.data, level, strategy), input.data)) zlibTypes.insert(type);
      }
    }
  }
  const std::set<uint8_t> all = {STREAM_BLOCK_FIXED, STREAM_BLOCK_DYNAMIC, STREAM_BLOCK_STORED};
  EXPECT_EQ(libdeflateTypes, all) << "libdeflate";
  EXPECT_EQ(zlibTypes, all) << "zlib";
}

TEST(RoundTrip, EncodersGiveDistanceCodesTheDecoderAccepts) {
  // One match distance only (runs of one letter each, a period of 3), or none at all.
  Bytes runs, period;
  for (size_t i = 0; i < 30000; ++i) runs.push_back(static_cast<uint8_t>('a' + i / 300 % 26));
  for (size_t i = 0; i < 30000; ++i) period.push_back(static_cast<uint8_t>('x' + i % 3));
  std::vector<std::pair<Bytes, const Bytes*>> streams;
  for (const Bytes* input : {&runs, &period}) {
    for (int level = 1; level <= 12; ++level) streams.emplace_back(LibdeflateCompress(*input, level), input);
    for (int level = 1; level <= 9; ++level) streams.emplace_back(ZlibCompress(*input, level, Z_DEFAULT_STRATEGY), input);
  }
  const Bytes text = Text(30000);
  streams.emplace_back(ZlibCompress(text, 6, Z_HUFFMAN_ONLY), &text);
  int dynamicBlocks = 0;
  for (const auto& [stream, input] : streams) {
    Inflated walk = InflateWithBlockWalk(stream, input->size());
    ASSERT_TRUE(walk.ok);
    for (size_t i = 0; i < walk.types.size(); ++i) {
      if (walk.types[i] != STREAM_BLOCK_DYNAMIC) continue;
      DynamicCodeLengths lengths = ReadDynamicCodeLengths(stream, walk.headerBits[i]);
      ASSERT_FALSE(lengths.literals.empty());
      EXPECT_TRUE(CompleteOrSingleOneBitCode(lengths.literals));
      EXPECT_TRUE(CompleteOrSingleOneBitCode(lengths.distances));
      ++dynamicBlocks;
    }
    CheckRoundTrip(stream, *input);
  }
  EXPECT_GE(dynamicBlocks, 30);
}

TEST(RoundTrip, StreamsBackToBackLeaveFileBehindEach) {
  std::vector<Input> inputs = {{"empty", {}}, {"abc", {'a', 'b', 'c'}}, {"text", Text(100000)},
                               {"random", RandomBytes(70000, 5)}, {"runs", Runs(50000)}, {"one byte", {'z'}}};
  std::vector<Bytes> streams = {
      EncodeStream(nullptr, 0), EncodeStream(inputs[1].data.data(), 3, 1),
      EncodeStream(inputs[2].data.data(), inputs[2].data.size(), 6),
      EncodeStream(inputs[3].data.data(), inputs[3].data.size(), 0)};
  for (int strategy : {Z_FIXED, Z_HUFFMAN_ONLY}) {
    Bytes stream;
    CheckRoundTrip(ZlibCompress(inputs[streams.size()].data, 6, strategy), inputs[streams.size()].data, &stream);
    streams.push_back(stream);
  }
  Bytes file;
  for (const Bytes& stream : streams) file.insert(file.end(), stream.begin(), stream.end());
  TempFile temp(file);
  FileHandle handle = temp.OpenRead();
  uint32_t end = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    SCOPED_TRACE(inputs[i].name);
    Bytes decoded(inputs[i].data.size() + 1);
    ASSERT_TRUE(DecodeToMemory(decoded.data(), static_cast<uint32_t>(inputs[i].data.size()), handle, 0));
    decoded.pop_back();
    EXPECT_TRUE(SameBytes(decoded, inputs[i].data));
    end += static_cast<uint32_t>(streams[i].size());
    EXPECT_EQ(FileTell(handle), end);
  }
  FileClose(handle);
}

TEST(RoundTrip, PassingOverStreamsWithLimitsLeavesFileBehindEach) {
  Bytes text = Text(300000);
  std::vector<Bytes> streams;
  for (int level : {0, 1, 9, 12}) streams.push_back(EncodeStream(text.data(), text.size() / (level + 1), level));
  Bytes file;
  for (const Bytes& stream : streams) file.insert(file.end(), stream.begin(), stream.end());
  TempFile temp(file);
  FileHandle handle = temp.OpenRead();
  uint32_t end = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    uint32_t limit = i % 2 == 0 ? static_cast<uint32_t>(streams[i].size()) : 0;
    EXPECT_TRUE(DecodeToFile(INVALID_FILE, handle, limit)) << i;
    end += static_cast<uint32_t>(streams[i].size());
    EXPECT_EQ(FileTell(handle), end) << i;
  }
  FileClose(handle);
}

}  // namespace
