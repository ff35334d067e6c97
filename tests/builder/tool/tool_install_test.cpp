// The tool as installed: cmake --install puts it in bin/ and the programs it puts in front of
// a setup in share/lodrun/, where it finds them from its own folder, run from anywhere.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

TEST(ToolInstall, InstalledToolBuildsWithoutStubFromAnotherFolder) {
  const fs::path programs = LODRUN_PROGRAMS_DIR;
  if (!fs::exists(programs / "lodrun-stub.exe") || !fs::exists(programs / "lodrun-uninst.exe")) {
    GTEST_SKIP() << "the Windows build's programs are not in " << programs << " (make windows)";
  }
  ManifestFolder folder;
  const std::string prefix = folder.Path("prefix");
  const std::string install = "cmake --install '" + std::string(LODRUN_BUILD_DIR) + "' --prefix '" + prefix +
                              "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << install;
  ASSERT_TRUE(folder.Exists("prefix/bin/lodrun"));
  EXPECT_EQ(folder.Read("prefix/share/lodrun/lodrun-stub.exe"), ManifestFolder::ReadPath(programs / "lodrun-stub.exe"));
  folder.Write("app/a.txt", std::string("installed tool"));
  folder.Write("app/setup.toml", "[setup]\napp_name = \"Installed\"\nuninstaller = true\n[[files]]\nsource = \"a.txt\"\n");
  // From a folder that holds neither the tool nor its programs, with no --stub.
  const std::string build = "cd '" + folder.Path("app") + "' && '" + prefix + "/bin/lodrun' build setup.toml -o out.exe 2>&1";
  ASSERT_EQ(std::system(build.c_str()), 0) << build;
  const std::vector<uint8_t> setup = folder.Read("app/out.exe");
  const std::vector<uint8_t> stub = folder.Read("prefix/share/lodrun/lodrun-stub.exe");
  ASSERT_GT(setup.size(), stub.size());
  EXPECT_TRUE(std::equal(stub.begin(), stub.begin() + 64, setup.begin()));  // the stub's headers lead
  const std::string verify = "'" + prefix + "/bin/lodrun' verify '" + folder.Path("app/out.exe") + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(verify.c_str()), 0);
}

TEST(ToolInstall, ManPageIsInstalledInShareMan) {
#ifndef LODRUN_MAN_PAGE
  GTEST_SKIP() << "help2man was not found when the build was configured: no man page";
#else
  ManifestFolder folder;
  const std::string prefix = folder.Path("prefix");
  const std::string install = "cmake --install '" + std::string(LODRUN_BUILD_DIR) + "' --component man --prefix '" +
                              prefix + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << install;
  const std::vector<uint8_t> bytes = folder.Read("prefix/share/man/man1/lodrun.1");
  const std::string page(bytes.begin(), bytes.end());
  EXPECT_NE(page.find(".TH LODRUN \"1\""), std::string::npos) << page;
  // From the tool's own --help (its exit codes) and each command's (build's defines).
  for (const char* expected : {"Exit codes", ".SS \"lodrun build\"", "NAME=VALUE", ".SS \"lodrun verify\""}) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
  }
#endif
}

}  // namespace
