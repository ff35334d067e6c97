// Files compressed on several threads: the data area and the records of one thread, for
// many files of unlike sizes, a file of several pieces, sources read from disk and a file
// beside the setup; the first failing source in table order is the one reported, however
// the threads run.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "builder/setup/data_area_writer.h"
#include "builder/setup/piece_compression.h"
#include "support/random_bytes.h"
#include "support/temp_file.h"

namespace {

using test_support::RandomBytes;
using Bytes = std::vector<uint8_t>;

// Lines that differ with seed, so that the files compress apart and take unlike times.
Bytes Text(size_t size, uint32_t seed) {
  Bytes out;
  for (uint32_t line = 0; out.size() < size; ++line) {
    const std::string text = "entry " + std::to_string((line * 7919 + seed) % 977) + " of file " +
                             std::to_string(seed) + "\n";
    out.insert(out.end(), text.begin(), text.end());
  }
  out.resize(size);
  return out;
}

// Forty files: text and random bytes from empty to middling, every third read from a source
// file, one lying beside the setup, and one of a little more than two pieces.
class ParallelBuild : public testing::Test {
 protected:
  ParallelBuild() {
    for (uint32_t i = 0; i < 40; ++i) {
      const size_t size = i == 17 ? 2 * STREAM_CHUNK_SIZE + 4321 : (i * 37'813) % 300'000;
      Add("file" + std::to_string(i), i % 4 == 1 ? RandomBytes(size, i) : Text(size, i), i % 3 == 0);
    }
    files[5].record.installMode = MODE_EXTERNAL;
  }
  void Add(const std::string& name, Bytes content, bool fromSource) {
    FileInput file;
    file.record.name = name;
    if (fromSource) {
      sources.push_back(std::make_unique<TempFile>(content));
      file.source = sources.back()->Path();
      file.sourceSize = content.size();
    } else {
      file.content = std::move(content);
    }
    files.push_back(std::move(file));
  }
  // The message of the build's error on jobs threads, or "" when it builds.
  std::string BuildError(unsigned jobs) {
    try {
      BuildFileArea(files, "C:\\App", 1, {}, jobs);
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "";
  }
  std::vector<std::unique_ptr<TempFile>> sources;
  std::vector<FileInput> files;
};

TEST_F(ParallelBuild, ThreadsGiveTheBytesOfOneThread) {
  ASSERT_GT(PieceCount(files[17]), 2u);
  for (int level : {0, 6, DEFAULT_COMPRESSION_LEVEL}) {
    const FileArea one = BuildFileArea(files, "C:\\App", level, {}, 1);
    for (unsigned jobs : {2u, 3u, 8u}) {
      SCOPED_TRACE(std::to_string(level) + " on " + std::to_string(jobs) + " threads");
      const FileArea many = BuildFileArea(files, "C:\\App", level, {}, jobs);
      EXPECT_EQ(many.dataArea, one.dataArea);
      ASSERT_EQ(many.records.size(), one.records.size());
      for (size_t i = 0; i < one.records.size(); ++i) {
        EXPECT_EQ(many.records[i].checksum, one.records[i].checksum) << i;
        EXPECT_EQ(many.records[i].packedSize, one.records[i].packedSize) << i;
      }
    }
  }
}

TEST_F(ParallelBuild, ProgressIsToldInTableOrder) {
  std::vector<std::string> told;
  BuildFileArea(files, "C:\\App", 1, [&](size_t done, const FileRecord& record) {
    EXPECT_EQ(done, told.size() + 1);
    told.push_back(record.name);
  }, 4);
  ASSERT_EQ(told.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(told[i], files[i].record.name);
}

TEST_F(ParallelBuild, FirstMissingSourceInTableOrderIsReported) {
  files[6].source += ".missing";
  files[39].source += ".gone";
  for (int run = 0; run < 5; ++run) {
    const std::string error = BuildError(4);
    EXPECT_EQ(error, BuildError(1));
    EXPECT_EQ(error.find("cannot read " + files[6].source), 0u) << error;
  }
}

TEST_F(ParallelBuild, SourceChangedInALaterPieceIsReportedBeforeLaterFiles) {
  // The large file from a source claiming a byte more than it holds: its last piece fails.
  const Bytes large = Text(2 * STREAM_CHUNK_SIZE + 4321, 17);
  sources.push_back(std::make_unique<TempFile>(large));
  files[17].content.clear();
  files[17].source = sources.back()->Path();
  files[17].sourceSize = large.size() + 1;
  files[30].source += ".missing";
  for (unsigned jobs : {1u, 3u, 8u}) {
    EXPECT_NE(BuildError(jobs).find(files[17].source + " has become shorter"), std::string::npos)
        << BuildError(jobs);
  }
}

TEST_F(ParallelBuild, RefusedRecordBeforeAFailingSourceIsReportedFirst) {
  files[3].record.name = "\\rooted.txt";
  files[21].source += ".missing";
  EXPECT_EQ(BuildError(4).find("file '\\rooted.txt'"), 0u) << BuildError(4);
}

TEST(PieceCompression, NoPieceFollowsTheLast) {
  std::vector<FileInput> files(2);
  files[1].content = Text(STREAM_CHUNK_SIZE + 1, 1);
  PieceCompression pieces(files, 1, 2);
  EXPECT_TRUE(pieces.Next().last);
  EXPECT_FALSE(pieces.Next().last);
  EXPECT_TRUE(pieces.Next().last);
  EXPECT_THROW(pieces.Next(), std::logic_error);
}

}  // namespace
