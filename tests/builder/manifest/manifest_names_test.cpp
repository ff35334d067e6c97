// The names a manifest gives: what Windows cannot store in a file or key name is refused at
// its line, what it can is normalised, and the uninstall program lies directly in the
// installation folder.
#include <gtest/gtest.h>

#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class ManifestNames : public ManifestReading {
 protected:
  // A record of tool.exe with these lines added.
  static std::string Tool(const std::string& lines) {
    return "[[files]]\nsource = \"bin/tool.exe\"\n" + lines + "\n";
  }
  void SetUp() override { folder.Write("bin/tool.exe", std::vector<uint8_t>(40, 7)); }
};

TEST_F(ManifestNames, SeparatorsAndDotPartsAreNormalised) {
  const Manifest m = Good(Tool("name = \"./docs//tool.exe\"\nprogram_group = { folder = \"Demo/Gold\", shortcut = \"Tool\" }"));
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name, "docs\\tool.exe");
  EXPECT_EQ(m.files[0].record.groupFolder, "Demo\\Gold");
}

TEST_F(ManifestNames, OrdinaryNamesUsersWritePass) {
  const Manifest m = Good("[setup]\napp_name = \"Demo: Gold Edition?\"\n" +
                          Tool("name = \"O'Brien's tool.exe\"\ndesktop = { shortcut = \"Tool (32-bit), v2.0\" }"));
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.appName, "Demo: Gold Edition?");
}

TEST_F(ManifestNames, FileNamesWindowsCannotStoreAreRefusedAtTheirLine) {
  const std::vector<std::pair<std::string, std::string>> names = {
      {"a*?<>|.txt", "holds one of"}, {"y.txt.", "ends a name with a dot"}, {"docs\\\\CON", "names a device"},
      {"nul.txt", "names a device"},  {"tab\\there", "holds a control character"},
      {"x\\\\y:z", "holds one of"}};
  for (const auto& name : names) {
    const std::string problems = Bad(Tool("name = \"" + name.first + "\""));
    EXPECT_NE(problems.find("setup.toml:3:8: files[0]:"), std::string::npos) << problems;
    EXPECT_NE(problems.find(name.second), std::string::npos) << problems;
  }
}

TEST_F(ManifestNames, ShortcutAndGroupNamesAreNamesToo) {
  EXPECT_NE(Bad(Tool("desktop = { shortcut = \"Tool?\" }")).find("files[0].desktop.shortcut: \"Tool?\" holds one of"),
            std::string::npos);
  EXPECT_NE(Bad(Tool("program_group = { folder = \"Demo\", shortcut = \"a:b\" }")).find("files[0].program_group.shortcut"),
            std::string::npos);
  EXPECT_NE(Bad(Tool("program_group = { folder = \"Demo\", shortcut = \"CON\" }")).find("names a device"),
            std::string::npos);
  EXPECT_NE(Bad(Tool("program_group = { folder = \"Demo.\\\\Gold\", shortcut = \"Tool\" }"))
                .find("files[0].program_group.folder: \"Demo.\\Gold\" ends a name with a dot"),
            std::string::npos);
}

TEST_F(ManifestNames, AppNameIsAKeyName) {
  EXPECT_NE(Bad("[setup]\napp_name = \"Demo\\\\Gold\"\n").find("setup.app_name: holds a backslash"), std::string::npos);
  EXPECT_NE(Bad("[setup]\napp_name = \"Demo\\nGold\"\n").find("setup.app_name: holds a control character"),
            std::string::npos);
  EXPECT_NE(Bad("[setup]\napp_name = \"" + std::string(256, 'a') + "\"\n").find("expected at most 255"),
            std::string::npos);
  EXPECT_EQ(Good("[setup]\napp_name = \"" + std::string(255, 'a') + "\"\n").appName.size(), 255u);
}

TEST_F(ManifestNames, UninstallProgramLiesDirectlyInTheInstallationFolder) {
  EXPECT_NE(Bad(Tool("uninstaller = true\ndestination = \"windows\""))
                .find("files[0].uninstaller: \"tool.exe\" is not directly in the installation folder"),
            std::string::npos);
  EXPECT_NE(Bad(Tool("uninstaller = true\nname = \"bin\\\\tool.exe\"")).find("is not directly in the installation folder"),
            std::string::npos);
  EXPECT_NE(Bad("[setup]\nuninstaller = \"un?.exe\"\n").find("setup.uninstaller: \"un?.exe\" holds one of"),
            std::string::npos);
  const Manifest m = Good(Tool("uninstaller = true"));
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.flags, FE_UNINSTALLER);
}

}  // namespace
