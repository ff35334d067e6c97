// The setup program's ImageSize record is found in the program's image alone: a setup whose
// archive holds another copy of it (the uninstall program, stored at level 0) is still read
// by list, verify and extract.
#include <gtest/gtest.h>

#include "builder/setup/archive_writer.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

TEST(ImageSize, RecordBehindTheImageIsNotCounted) {
  std::vector<uint8_t> setup = test_support::FakeImage();
  const std::vector<uint8_t> stored = test_support::FakeImage(300, 40);
  setup.insert(setup.end(), stored.begin(), stored.end());
  EXPECT_EQ(FindImageSize(setup), test_support::FAKE_IMAGE_MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH);
}

TEST(ImageSize, FileThatIsNoProgramIsRefused) {
  std::vector<uint8_t> image = test_support::FakeImage();
  image[0] = 'X';
  EXPECT_THROW(FindImageSize(image), std::runtime_error);
}

class ImageSizeTool : public testing::Test {
 protected:
  ImageSizeTool() {
    folder.Write("files/app.exe", Content(9000, 3));
    folder.Write("setup.toml", "[setup]\napp_name = \"Image Size\"\ndefault_dir = \"C:\\\\Image Size\"\n"
                               "uninstaller = true\n[[files]]\nsource = \"files/app.exe\"\n");
  }
  // Builds setup.exe with the stand-in stub as the program and as the uninstall program.
  void Build(std::vector<std::string> more) {
    std::vector<std::string> arguments = {"build", folder.Path("setup.toml"), "-o", folder.Path("setup.exe"),
                                          "--stub", folder.Path("stub.exe"), "--uninstaller",
                                          folder.Path("stub.exe")};
    arguments.insert(arguments.end(), more.begin(), more.end());
    const ToolRun build = RunTool(arguments);
    ASSERT_EQ(build.code, 0) << build.output;
  }
  void ExpectEveryCommandReadsIt() {
    const ToolRun list = RunTool({"list", folder.Path("setup.exe")});
    EXPECT_EQ(list.code, 0) << list.output;
    EXPECT_NE(list.output.find("uninstaller"), std::string::npos) << list.output;
    const ToolRun verify = RunTool({"verify", folder.Path("setup.exe")});
    EXPECT_EQ(verify.code, 0) << verify.output;
    EXPECT_NE(verify.output.find("2 of 2 files intact"), std::string::npos) << verify.output;
    const ToolRun extract = RunTool({"extract", folder.Path("setup.exe"), "-C", folder.Path("out")});
    EXPECT_EQ(extract.code, 0) << extract.output;
    EXPECT_EQ(folder.Read("out/app.exe"), folder.Read("files/app.exe"));
  }
  ManifestFolder folder;
};

TEST_F(ImageSizeTool, StoredUninstallProgramLeavesEveryCommandWorking) {
  Build({"--level", "0"});
  ExpectEveryCommandReadsIt();
  EXPECT_TRUE(folder.Exists("out/uninst.exe"));
}

TEST_F(ImageSizeTool, CompressedSetupWithUninstallProgramWorksAsBefore) {
  Build({});
  ExpectEveryCommandReadsIt();
}

}  // namespace
