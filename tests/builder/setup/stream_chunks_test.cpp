// Files compressed in pieces: every piece's blocks follow the one before bit for bit and the
// program's decoder reads the whole file as one stream, at sizes around the piece size, for
// text and for data that does not compress; a file of one piece keeps the bytes of its whole
// deflate stream rewritten; a source read from its file gives its content's size and checksum.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "builder/setup/data_area_writer.h"
#include "builder/setup/file_records.h"
#include "codec/decoder.h"
#include "support/deflate_peers.h"
#include "support/random_bytes.h"
#include "support/temp_file.h"

namespace {

using test_support::RandomBytes;

using Bytes = std::vector<uint8_t>;

// Lines that repeat with small changes, so that every piece finds matches of its own.
Bytes Text(size_t size) {
  Bytes out;
  for (uint32_t line = 0; out.size() < size; ++line) {
    const std::string text = "line " + std::to_string(line * 7919 % 1000) + " of a file in pieces\n";
    out.insert(out.end(), text.begin(), text.end());
  }
  out.resize(size);
  return out;
}

FileInput InMemory(Bytes content) {
  FileInput file;
  file.record.name = "piece.dat";
  file.content = std::move(content);
  return file;
}

// The one file's stream decodes, by the program's decoder, to exactly content.
testing::AssertionResult StreamDecodesTo(const Bytes& stream, const Bytes& content) {
  TempFile temp(stream);
  FileHandle file = temp.OpenRead();
  Bytes decoded(content.size() + 1);
  const bool ok = DecodeToMemory(decoded.data(), uint32_t(content.size()), file, uint32_t(stream.size()));
  FileClose(file);
  decoded.pop_back();
  if (!ok) return testing::AssertionFailure() << "the decoder refused the stream";
  if (decoded != content) return testing::AssertionFailure() << "decoded bytes differ";
  return testing::AssertionSuccess();
}

const size_t SIZES_AROUND_PIECES[] = {STREAM_CHUNK_SIZE - 1, STREAM_CHUNK_SIZE, STREAM_CHUNK_SIZE + 1,
                                      2 * STREAM_CHUNK_SIZE + 1, 3 * STREAM_CHUNK_SIZE - 1};

class StreamChunks : public testing::TestWithParam<int> {};

TEST_P(StreamChunks, PiecesOfTextDecodeAsOneStream) {
  for (size_t size : SIZES_AROUND_PIECES) {
    SCOPED_TRACE(size);
    const FileArea area = BuildFileArea({InMemory(Text(size))}, "C:\\App", GetParam());
    EXPECT_TRUE(StreamDecodesTo(area.dataArea, Text(size)));
    EXPECT_EQ(area.records[0].checksum, FileChecksum(Text(size)));
  }
}

TEST_P(StreamChunks, PiecesThatDoNotCompressDecodeAsOneStream) {
  for (size_t size : SIZES_AROUND_PIECES) {
    SCOPED_TRACE(size);
    const Bytes content = RandomBytes(size, uint32_t(size));
    const FileArea area = BuildFileArea({InMemory(content)}, "C:\\App", GetParam());
    EXPECT_TRUE(StreamDecodesTo(area.dataArea, content));
    EXPECT_EQ(area.records[0].packedSize, area.dataArea.size());
  }
}

// Stored, fastest, and the default level.
INSTANTIATE_TEST_SUITE_P(Levels, StreamChunks, testing::Values(0, 1, DEFAULT_COMPRESSION_LEVEL));

TEST(ChunkedFile, FileOfOnePieceKeepsTheBytesOfItsWholeDeflateRewritten) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{70000}, STREAM_CHUNK_SIZE}) {
    const Bytes content = Text(size);
    const Bytes deflate = LibdeflateCompress(content, DEFAULT_COMPRESSION_LEVEL);
    Bytes whole;
    ASSERT_TRUE(RewriteDeflateStream(deflate.data(), deflate.size(), whole));
    EXPECT_EQ(BuildFileArea({InMemory(content)}, "C:\\App").dataArea, whole) << size;
  }
}

TEST(ChunkedFile, StoredStreamSizeIsTheLeastAStoredStreamTakes) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, STREAM_CHUNK_SIZE}) {
    EXPECT_EQ(StoredStreamSize(size), BuildFileArea({InMemory(Text(size))}, "C:\\App", 0).dataArea.size()) << size;
  }
  // Later pieces start blocks of their own, which only adds to it.
  const size_t pieces = 2 * STREAM_CHUNK_SIZE + 1;
  EXPECT_LT(StoredStreamSize(pieces), BuildFileArea({InMemory(Text(pieces))}, "C:\\App", 0).dataArea.size());
}

TEST(ChunkedFile, PieceAfterTheLastIsRefused) {
  StreamEncoder encoder(1);
  Bytes stream;
  encoder.Add(nullptr, 0, true, stream);
  EXPECT_THROW(encoder.Add(nullptr, 0, true, stream), std::logic_error);
}

TEST(ChunkedFile, SourceFileGivesTheStreamOfItsContent) {
  const Bytes content = Text(2 * STREAM_CHUNK_SIZE + 3);
  TempFile source(content);
  FileInput file;
  file.record.name = "read.dat";
  file.source = source.Path();
  file.sourceSize = content.size();
  const FileArea area = BuildFileArea({file}, "C:\\App", 1);
  EXPECT_EQ(area.records[0].size, content.size());
  EXPECT_EQ(area.records[0].checksum, FileChecksum(content));
  EXPECT_TRUE(StreamDecodesTo(area.dataArea, content));
}

TEST(ChunkedFile, SourceThatChangedSinceTheManifestIsRefused) {
  TempFile source(Text(5000));
  FileInput file;
  file.record.name = "changed.dat";
  file.source = source.Path();
  for (uint64_t claimed : {4999u, 5001u}) {
    file.sourceSize = claimed;
    EXPECT_THROW(BuildFileArea({file}, "C:\\App", 1), std::runtime_error) << claimed;
  }
}

}  // namespace
