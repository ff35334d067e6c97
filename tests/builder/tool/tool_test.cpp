// The lodrun tool as a user runs it: build from a manifest, then verify, list and extract
// what was built; identical bytes from identical inputs; a manifest with problems leaves
// nothing; verify names a damaged stream, a cut volume and a missing one.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>

#include "archive/checksum.h"
#include "builder/setup/archive_writer.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class Tool : public testing::Test {
 protected:
  Tool() {
    folder.Write("files/app.exe", Content(70000, 1));
    folder.Write("files/Help/guide.txt", std::string(5000, 'g'));
    folder.Write("files/Help/deep/empty.txt", "");
    folder.Write("files/system.dll", Content(3000, 2));
    folder.Write("setup.toml", R"(
[setup]
app_name = "Tool Test"
default_dir = "C:\\Tool Test"
[[files]]
source = "files/app.exe"
at_end = "run"
program_group = { folder = "Tool Test", shortcut = "Tool" }
[[files]]
source = "files/Help"
name = "Help"
mode = "keep"
[[files]]
source = "files/system.dll"
destination = "system"
shared = true
)");
  }
  ToolRun Build(const std::string& output, std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"build", folder.Path("setup.toml"), "-o", folder.Path(output),
                                          "--stub", folder.Path("stub.exe")};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunTool(arguments);
  }
  // Extracts the setup and compares every file with its source.
  void ExpectExtractedAsBuilt(const std::string& setup) {
    const ToolRun extract = RunTool({"extract", folder.Path(setup), "-C", folder.Path("out")});
    ASSERT_EQ(extract.code, 0) << extract.output;
    EXPECT_EQ(folder.Read("out/app.exe"), folder.Read("files/app.exe"));
    EXPECT_EQ(folder.Read("out/Help/guide.txt"), folder.Read("files/Help/guide.txt"));
    EXPECT_TRUE(folder.Exists("out/Help/deep/empty.txt"));
    EXPECT_EQ(folder.Read("out/@system/system.dll"), folder.Read("files/system.dll"));
  }
  ManifestFolder folder;
};

TEST_F(Tool, BuildVerifyExtractGivesEveryFileByteForByte) {
  const ToolRun build = Build("setup.exe");
  ASSERT_EQ(build.code, 0) << build.output;
  EXPECT_NE(build.output.find("wrote " + folder.Path("setup.exe")), std::string::npos) << build.output;
  const ToolRun verify = RunTool({"verify", folder.Path("setup.exe")});
  EXPECT_EQ(verify.code, 0) << verify.output;
  EXPECT_NE(verify.output.find("4 of 4 files intact"), std::string::npos) << verify.output;
  ExpectExtractedAsBuilt("setup.exe");
}

TEST_F(Tool, StreamSpreadOverThreeVolumesRoundTrips) {
  // Stored, the program's 70,000 bytes (the first stream) outgrow the setup file's 30,000 data
  // bytes and the first volume's: the stream ends in the second volume.
  const ToolRun build = Build("split.exe", {"--level", "0", "--volume-size", "30000"});
  ASSERT_EQ(build.code, 0) << build.output;
  ASSERT_TRUE(folder.Exists("split.D02"));
  EXPECT_FALSE(folder.Exists("split.D03"));
  EXPECT_EQ(folder.Read("split.D01").size(), 4u + 30000u);
  const ToolRun verify = RunTool({"verify", folder.Path("split.exe")});
  EXPECT_EQ(verify.code, 0) << verify.output;
  EXPECT_NE(verify.output.find("2 volume files"), std::string::npos) << verify.output;
  ExpectExtractedAsBuilt("split.exe");
}

TEST_F(Tool, RebuildWithFewerVolumesRemovesTheOldOnesBeyond) {
  ASSERT_EQ(Build("split.exe", {"--level", "0", "--volume-size", "30000"}).code, 0);
  ASSERT_TRUE(folder.Exists("split.D02"));
  folder.Write("split.D04", "not of this set: after a gap");
  ASSERT_EQ(Build("split.exe", {"--level", "0", "--volume-size", "60000"}).code, 0);
  EXPECT_TRUE(folder.Exists("split.D01"));
  EXPECT_FALSE(folder.Exists("split.D02"));
  EXPECT_TRUE(folder.Exists("split.D04"));
  EXPECT_EQ(RunTool({"verify", folder.Path("split.exe")}).code, 0);
}

TEST_F(Tool, SameInputsGiveIdenticalBytes) {
  ASSERT_EQ(Build("first.exe", {"--volume-size", "2K"}).code, 0);
  ASSERT_EQ(Build("second.exe", {"--volume-size", "2K"}).code, 0);
  EXPECT_EQ(folder.Read("first.exe"), folder.Read("second.exe"));
  EXPECT_EQ(folder.Read("first.D01"), folder.Read("second.D01"));
  EXPECT_FALSE(folder.Read("first.D01").empty());
}

TEST_F(Tool, AnyNumberOfJobsGivesTheBytesOfOne) {
  ASSERT_EQ(Build("one.exe", {"--jobs", "1"}).code, 0);
  for (const char* jobs : {"2", "5"}) {
    const ToolRun build = Build("many.exe", {"--jobs", jobs});
    ASSERT_EQ(build.code, 0) << build.output;
    EXPECT_EQ(folder.Read("many.exe"), folder.Read("one.exe")) << jobs;
  }
}

TEST_F(Tool, ManifestWithProblemsExitsWithTwoAndLeavesEarlierOutputAlone) {
  folder.Write("setup.exe", "an earlier setup");
  folder.Write("setup.toml", "[setup]\nap_name = \"X\"\n[[files]]\nsource = \"missing\"\nmode = \"gone\"\n");
  const ToolRun build = Build("setup.exe");
  EXPECT_EQ(build.code, 2);
  EXPECT_NE(build.output.find("setup.toml:2:1: setup.ap_name: unknown key"), std::string::npos) << build.output;
  EXPECT_NE(build.output.find("3 problems"), std::string::npos) << build.output;
  EXPECT_EQ(folder.Read("setup.exe"), std::vector<uint8_t>({'a', 'n', ' ', 'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ',
                                                            's', 'e', 't', 'u', 'p'}));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"files", "setup.exe", "setup.toml", "stub.exe"}));
}

TEST_F(Tool, ListShowsWhatBuildWasGiven) {
  ASSERT_EQ(Build("setup.exe").code, 0);
  const ToolRun json = RunTool({"list", folder.Path("setup.exe"), "--json"});
  ASSERT_EQ(json.code, 0) << json.output;
  const nlohmann::json list = nlohmann::json::parse(json.output);
  EXPECT_EQ(list["application"], "Tool Test");
  EXPECT_EQ(list["default_dir"], "C:\\Tool Test");
  std::map<std::string, nlohmann::json> files;
  for (const nlohmann::json& file : list["files"]) files[file["name"]] = file;
  ASSERT_EQ(files.size(), 4u) << json.output;
  EXPECT_EQ(files["app.exe"]["destination"], "install");
  EXPECT_EQ(files["app.exe"]["mode"], "remove");
  EXPECT_EQ(files["app.exe"]["size"], 70000);
  EXPECT_EQ(files["app.exe"]["at_end"], "run");
  EXPECT_EQ(files["app.exe"]["program_group"]["folder"], "Tool Test");
  EXPECT_EQ(files["app.exe"]["program_group"]["shortcut"], "Tool");
  EXPECT_EQ(files["Help\\deep\\empty.txt"]["destination"], "install");
  EXPECT_EQ(files["Help\\deep\\empty.txt"]["mode"], "keep");
  EXPECT_EQ(files["Help\\deep\\empty.txt"]["size"], 0);
  EXPECT_EQ(files["system.dll"]["destination"], "system");
  EXPECT_EQ(files["system.dll"]["shared"], true);
  EXPECT_EQ(list["format"], 1);
  const std::vector<uint8_t> app = folder.Read("files/app.exe");
  EXPECT_EQ(files["app.exe"]["checksum"], ChecksumUpdate(app.data(), uint32_t(app.size()), CHECKSUM_START));
  EXPECT_EQ(files["app.exe"]["checksum_kind"], "FileChecksum");
  const ToolRun text = RunTool({"list", folder.Path("setup.exe")});
  EXPECT_NE(text.output.find("Help\\guide.txt"), std::string::npos) << text.output;
}

TEST_F(Tool, VerifyNamesAFlippedByteACutVolumeAndAMissingOne) {
  ASSERT_EQ(Build("setup.exe", {"--level", "0", "--volume-size", "30000"}).code, 0);
  std::vector<uint8_t> first = folder.Read("setup.exe");
  first[first.size() - 100] ^= 0x01;  // inside the program's stored stream
  folder.Write("flipped.exe", first);
  folder.Write("flipped.D01", folder.Read("setup.D01"));
  folder.Write("flipped.D02", folder.Read("setup.D02"));
  ToolRun verify = RunTool({"verify", folder.Path("flipped.exe")});
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.output.find("app.exe: its checksum is"), std::string::npos) << verify.output;
  EXPECT_NE(verify.output.find("3 of 4 files intact"), std::string::npos) << verify.output;

  std::vector<uint8_t> last = folder.Read("setup.D02");
  ASSERT_GT(last.size(), 7u);
  folder.Write("setup.D02", std::vector<uint8_t>(last.begin(), last.end() - 7));
  verify = RunTool({"verify", folder.Path("setup.exe")});
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.output.find("setup.D02: the volume holds"), std::string::npos) << verify.output;

  std::filesystem::remove(folder.Path("setup.D01"));
  verify = RunTool({"verify", folder.Path("setup.exe")});
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.output.find("setup.D01: volume 1 is missing"), std::string::npos) << verify.output;
}

TEST_F(Tool, ExtractKeepsNoFileThatFailsItsCheckAndNoNameLeavesTheFolder) {
  // A setup made by other means may name a file outside its folder; the manifest refuses to.
  ArchiveWriter writer(folder.Read("stub.exe"));
  FileInput outside, program;
  outside.record.name = "..\\outside.dll";
  outside.content = Content(3000, 2);
  program.record.name = "app.exe";
  program.content = Content(70000, 1);
  writer.AddFiles({outside, program}, "", false, 0);
  std::vector<uint8_t> bytes = writer.Finish();
  bytes[bytes.size() - 100] ^= 0x01;  // inside the program's stored stream
  folder.Write("setup.exe", bytes);
  const ToolRun extract = RunTool({"extract", folder.Path("setup.exe"), "-C", folder.Path("out")});
  EXPECT_EQ(extract.code, 1);
  EXPECT_NE(extract.output.find("..\\outside.dll: a name that would leave the folder"), std::string::npos) << extract.output;
  EXPECT_NE(extract.output.find("app.exe: its checksum is"), std::string::npos) << extract.output;
  EXPECT_FALSE(folder.Exists("outside.dll"));
  EXPECT_FALSE(folder.Exists("out/app.exe"));
  EXPECT_FALSE(folder.Exists("out/app.exe.part"));
}

TEST_F(Tool, HelpVersionAndWrongUsage) {
  EXPECT_EQ(RunTool({"--version"}).output.rfind("lodrun ", 0), 0u);
  const ToolRun help = RunTool({"build", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.output.find("Usage: lodrun build MANIFEST.toml"), std::string::npos);
  EXPECT_EQ(RunTool({"frobnicate"}).code, 2);
  EXPECT_EQ(RunTool({"build"}).code, 2);
  EXPECT_EQ(RunTool({"build", folder.Path("setup.toml"), "--level", "13"}).code, 2);
  for (const char* jobs : {"0", "-2", "1025", "2x", "99999999999999999999"}) {
    const ToolRun build = RunTool({"build", folder.Path("setup.toml"), "--jobs", jobs});
    EXPECT_EQ(build.code, 2) << jobs;
    EXPECT_NE(build.output.find("--jobs " + std::string(jobs) + ": expected a whole number from 1 to 1024"),
              std::string::npos) << build.output;
  }
  for (const char* size : {"99999999999999999999999", "4G", "0", "-1", "12X"}) {
    const ToolRun volumes = RunTool({"build", folder.Path("setup.toml"), "--volume-size", size});
    EXPECT_EQ(volumes.code, 2) << size;
    EXPECT_NE(volumes.output.find("expected a size"), std::string::npos) << volumes.output;
  }
  const ToolRun notSetup = RunTool({"verify", folder.Path("setup.toml")});
  EXPECT_EQ(notSetup.code, 1);
  EXPECT_NE(notSetup.output.find("not a setup"), std::string::npos) << notSetup.output;
}

}  // namespace
