// The progress page's pacing as the builder writes it: BLOCK_INSTALL_PACING in every setup,
// with the measured slice and gap or those of [setup] install_slice_ms and install_gap_ms,
// each key refused at its line outside its range, and lodrun list showing both.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "builder/setup/archive_writer.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class InstallPacing : public ManifestReading {
 protected:
  // The setup built from a manifest of one file with these [setup] lines.
  std::string Built(const std::string& setupLines) {
    folder.Write("files/a.txt", "a");
    folder.Write("setup.toml", "[setup]\n" + setupLines + "[[files]]\nsource = \"files/a.txt\"\n");
    const ToolRun build = RunTool({"build", folder.Path("setup.toml"), "-o", folder.Path("setup.exe"), "--stub",
                                   folder.Path("stub.exe")});
    EXPECT_EQ(build.code, 0) << build.output;
    const std::vector<uint8_t> bytes = folder.Read("setup.exe");
    return std::string(bytes.begin(), bytes.end());
  }
  // The block's header and payload as the program reads them.
  static std::string Block(uint16_t sliceMs, uint16_t gapMs) {
    std::vector<uint8_t> bytes;
    PutU16(bytes, BLOCK_INSTALL_PACING);
    PutU16(bytes, 0);
    PutU32(bytes, 4);
    PutU16(bytes, sliceMs);
    PutU16(bytes, gapMs);
    return std::string(bytes.begin(), bytes.end());
  }
};

TEST_F(InstallPacing, BuildWritesTheMeasuredSliceAndGapWithoutTheKeys) {
  const std::string setup = Built("");
  EXPECT_NE(setup.find(Block(INSTALL_SLICE_MS, INSTALL_GAP_MS)), std::string::npos);
  EXPECT_GT(INSTALL_SLICE_MS, 0);  // several files per tick, unlike a setup without the block
}

TEST_F(InstallPacing, ManifestKeysSetTheBlocksBytes) {
  const std::string setup = Built("install_slice_ms = 300\ninstall_gap_ms = 258\n");
  EXPECT_NE(setup.find(Block(300, 258)), std::string::npos);
  EXPECT_EQ(setup.find(Block(INSTALL_SLICE_MS, INSTALL_GAP_MS)), std::string::npos);
}

TEST_F(InstallPacing, SliceOfZeroIsOneFilePerTick) {
  const Manifest m = Good("[setup]\ninstall_slice_ms = 0\ninstall_gap_ms = 1\n");
  EXPECT_EQ(m.installSliceMs, 0);
  EXPECT_EQ(m.installGapMs, 1);
}

TEST_F(InstallPacing, ValuesOutsideTheirRangeAreProblemsAtTheirLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"[setup]\ninstall_slice_ms = 1001\n", "setup.toml:2:20: setup.install_slice_ms: 1001 is out of range; expected a whole number of milliseconds from 0 to 1000"},
      {"[setup]\ninstall_slice_ms = -1\n", "setup.toml:2:20: setup.install_slice_ms: -1 is out of range"},
      {"[setup]\ninstall_gap_ms = 1001\n", "setup.toml:2:18: setup.install_gap_ms: 1001 is out of range; expected a whole number of milliseconds from 0 to 1000"},
      {"[setup]\n\ninstall_gap_ms = \"fast\"\n", "setup.toml:3:18: setup.install_gap_ms: is not a number"},
      {"[setup]\ninstall_gap_ms = 2.5\n", "setup.toml:2:18: setup.install_gap_ms: is not a number"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_NE(Bad(text).find(expected), std::string::npos) << text << "\n" << Bad(text);
  }
}

TEST_F(InstallPacing, GapOfZeroIsSlicesBackToBack) {
  Built("install_slice_ms = 40\ninstall_gap_ms = 0\n");
  const ToolRun text = RunTool({"list", folder.Path("setup.exe")});
  EXPECT_NE(text.output.find("install pacing:    40 ms slices, back to back"), std::string::npos) << text.output;
}

TEST_F(InstallPacing, ListShowsTheSliceAndTheGap) {
  Built("install_slice_ms = 70\ninstall_gap_ms = 3\n");
  const ToolRun text = RunTool({"list", folder.Path("setup.exe")});
  EXPECT_NE(text.output.find("install pacing:    70 ms slices, 3 ms apart"), std::string::npos) << text.output;
  const ToolRun json = RunTool({"list", folder.Path("setup.exe"), "--json"});
  const nlohmann::json list = nlohmann::json::parse(json.output);
  EXPECT_EQ(list["install_slice_ms"], 70) << json.output;
  EXPECT_EQ(list["install_gap_ms"], 3) << json.output;
}

}  // namespace
