// A file that the builder compressed in several pieces installs byte for byte: the program
// decodes the pieces' blocks as the one stream they are, across every piece boundary.
#include <gtest/gtest.h>

#include "builder/encoder/stream_encoder.h"
#include "install_run.h"

using namespace engine_test;

namespace {

TEST(ChunkedStreamInstall, FileOfSeveralPiecesIsInstalledByteForByte) {
  EngineSession session;
  ScratchDirectory directory{"chunked"};
  InstallRun run{directory};
  const size_t size = 2 * STREAM_CHUNK_SIZE + 1;
  run.Load({Input("pieces.dat", Content(size, 9)), Input("after.txt", Content(100, 3))});
  ASSERT_EQ(run.records[0].size, size);
  EXPECT_EQ(run.RunAll(), INSTALL_OK);
  EXPECT_EQ(ReadBytes(run.Target("pieces.dat")), Content(size, 9));
  EXPECT_EQ(ReadBytes(run.Target("after.txt")), Content(100, 3));
}

}  // namespace
