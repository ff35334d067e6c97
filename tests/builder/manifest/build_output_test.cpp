// What a build refuses before it compresses anything, with exit code 2 and no file written:
// an output that is one of its inputs (by any name, link or volume name), an output folder
// it cannot write in, a source too large for a file's size field and a stored data area
// too large for the data area's; a manifest's problems are found without reading sources.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

// A file of size bytes that takes no room on the disk.
void WriteSparse(const std::string& path, uint64_t size) {
  std::ofstream(path, std::ios::binary).close();
  std::filesystem::resize_file(path, size);
}

class BuildOutput : public testing::Test {
 protected:
  BuildOutput() {
    folder.Write("files/app.exe", Content(70000, 1));
    folder.Write("files/readme.txt", std::string(5000, 'r'));
    folder.Write("setup.toml", "[setup]\napp_name = \"Out\"\n[[files]]\nsource = \"files/app.exe\"\n"
                               "[[files]]\nsource = \"files/readme.txt\"\n");
  }
  ToolRun Build(const std::string& output, std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"build", folder.Path("setup.toml"), "-o", output,
                                          "--stub", folder.Path("stub.exe")};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunTool(arguments);
  }
  // The build was refused as it should be, and left the named input as it was.
  void ExpectRefusedKeeping(const ToolRun& build, const std::string& input, const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(build.code, 2) << build.output;
    EXPECT_NE(build.output.find("is a file that the build reads"), std::string::npos) << build.output;
    EXPECT_EQ(folder.Read(input), bytes);
  }
  ManifestFolder folder;
};

TEST_F(BuildOutput, RefusesToWriteOverASourceTheManifestOrTheStub) {
  for (const char* input : {"files/app.exe", "setup.toml", "stub.exe"}) {
    SCOPED_TRACE(input);
    const std::vector<uint8_t> before = folder.Read(input);
    ExpectRefusedKeeping(Build(folder.Path(input)), input, before);
  }
}

TEST_F(BuildOutput, RefusesAnOutputThatLinksToASource) {
  const std::vector<uint8_t> before = folder.Read("files/readme.txt");
  std::filesystem::create_symlink(folder.Path("files/readme.txt"), folder.Path("soft.exe"));
  std::filesystem::create_hard_link(folder.Path("files/readme.txt"), folder.Path("hard.exe"));
  ExpectRefusedKeeping(Build(folder.Path("soft.exe")), "files/readme.txt", before);
  ExpectRefusedKeeping(Build(folder.Path("hard.exe")), "files/readme.txt", before);
}

TEST_F(BuildOutput, RefusesAVolumeNameThatIsASource) {
  // setup.D03 would be written by a build of three volumes, or removed as a stale one.
  folder.Write("setup.toml", "[[files]]\nsource = \"setup.D03\"\n");
  folder.Write("setup.D03", "a source of the setup");
  const std::vector<uint8_t> before = folder.Read("setup.D03");
  ExpectRefusedKeeping(Build(folder.Path("setup.exe")), "setup.D03", before);
  ExpectRefusedKeeping(Build(folder.Path("setup.exe"), {"--volume-size", "1K"}), "setup.D03", before);
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

TEST_F(BuildOutput, MissingOrUnwritableOutputFolderIsToldBeforeCompressing) {
  ToolRun build = Build(folder.Path("missing/setup.exe"));
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("the output's folder " + folder.Path("missing") + " cannot be used"), std::string::npos)
      << build.output;
  build = Build(folder.Path("files/app.exe/setup.exe"));
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("is not a folder"), std::string::npos) << build.output;
  build = Build(folder.Path("files"));
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("is a folder; expected a file's name"), std::string::npos) << build.output;
}

TEST_F(BuildOutput, SourceOfFourGibibytesIsAProblemAtItsLine) {
  WriteSparse(folder.Path("files/huge.bin"), 0xFFFFFFFFull);
  folder.Write("setup.toml", "[[files]]\nsource = \"files/readme.txt\"\n[[files]]\nsource = \"files/huge.bin\"\n");
  const ToolRun build = Build(folder.Path("setup.exe"));
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("setup.toml:4:10: files[1].source: \"" + folder.Path("files/huge.bin") +
                              "\" holds 4294967295 bytes"),
            std::string::npos)
      << build.output;
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

TEST_F(BuildOutput, StoredDataAreaTooLargeIsAProblemAtTheFileThatOverflowsIt) {
  WriteSparse(folder.Path("files/half1.bin"), 0x80000000ull);
  WriteSparse(folder.Path("files/half2.bin"), 0x80000000ull);
  folder.Write("setup.toml", "[[files]]\nsource = \"files/half1.bin\"\n[[files]]\nsource = \"files/half2.bin\"\n");
  const ToolRun build = Build(folder.Path("setup.exe"), {"--level", "0"});
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("setup.toml:3:1: files[1]: stored (level 0), the streams up to this file take"),
            std::string::npos)
      << build.output;
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

TEST_F(BuildOutput, ManifestProblemIsToldWithoutReadingALargeSource) {
  // 3 GiB that, read, would take the build many seconds and as much memory.
  WriteSparse(folder.Path("files/large.bin"), 3ull << 30);
  folder.Write("setup.toml", "[[files]]\nsource = \"files/large.bin\"\n[[files]]\nsource = \"files/readme.txt\"\nmod = \"keep\"\n");
  const auto start = std::chrono::steady_clock::now();
  const ToolRun build = Build(folder.Path("setup.exe"));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find("files[1].mod: unknown key"), std::string::npos) << build.output;
  EXPECT_LT(seconds, 5.0);
}

}  // namespace
