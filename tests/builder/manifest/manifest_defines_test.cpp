// ${NAME} in a manifest's string values, from the command line's -D NAME=VALUE: in [setup]
// texts and in the files' sources and names, $${ for a literal ${, and a name without a
// define, or a use that is no name, reported at its place in the manifest.
#include <gtest/gtest.h>

#include "builder/manifest/manifest_defines.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class ManifestDefines : public testing::Test {
 protected:
  // The manifest read with defines; its problems formatted one per line.
  bool Read(const std::string& text, const Defines& defines, Manifest* manifest, std::string* problems) {
    folder.Write("setup.toml", text);
    std::vector<ManifestProblem> found;
    const bool read = ReadManifest(folder.Path("setup.toml"), manifest, &found, defines);
    for (const ManifestProblem& problem : found) *problems += FormatProblem("setup.toml", problem) + "\n";
    return read;
  }
  ManifestFolder folder;
};

TEST_F(ManifestDefines, StandForTheirValuesInSetupTextsAndFileEntries) {
  folder.Write("dist/1.2/app.exe", std::string("app"));
  Manifest manifest;
  std::string problems;
  ASSERT_TRUE(Read("[setup]\napp_name = \"${NAME} ${VERSION}\"\n[[files]]\nsource = \"dist/${VERSION}/app.exe\"\n"
                   "name = \"${NAME}-${VERSION}.exe\"\n",
                   {{"NAME", "Demo"}, {"VERSION", "1.2"}}, &manifest, &problems))
      << problems;
  EXPECT_EQ(manifest.appName, "Demo 1.2");
  ASSERT_EQ(manifest.files.size(), 1u);
  EXPECT_EQ(manifest.files[0].record.name, "Demo-1.2.exe");
  EXPECT_EQ(manifest.files[0].source, folder.Path("dist/1.2/app.exe"));
}

TEST_F(ManifestDefines, UndefinedNameIsAProblemAtItsLineAndColumn) {
  Manifest manifest;
  std::string problems;
  EXPECT_FALSE(Read("[setup]\napp_name = \"App ${VERSION}\"\n", {{"NAME", "x"}}, &manifest, &problems));
  EXPECT_EQ(problems, "setup.toml:2:17: setup.app_name: ${VERSION} is not defined; expected -D VERSION=VALUE on the "
                      "command line\n");
}

TEST_F(ManifestDefines, UseInAnInlineTableOfAFileIsFoundAtItsColumn) {
  folder.Write("a.txt", std::string("a"));
  Manifest manifest;
  std::string problems;
  EXPECT_FALSE(Read("[[files]]\nsource = \"a.txt\"\nprogram_group = { folder = \"G\", shortcut = \"A ${V}\" }\n", {},
                    &manifest, &problems));
  EXPECT_EQ(problems.rfind("setup.toml:3:47: files[0].program_group.shortcut: ${V} is not defined", 0), 0u) << problems;
}

TEST_F(ManifestDefines, UndefinedNameInASourceIsTheOnlyProblemOfThatValue) {
  Manifest manifest;
  std::string problems;
  EXPECT_FALSE(Read("[[files]]\nsource = \"dist/${V}/a.exe\"\n", {}, &manifest, &problems));
  EXPECT_EQ(problems, "setup.toml:2:16: files[0].source: ${V} is not defined; expected -D V=VALUE on the command line\n");
}

TEST_F(ManifestDefines, DoubledDollarWritesALiteralReference) {
  Manifest manifest;
  std::string problems;
  ASSERT_TRUE(Read("[setup]\napp_name = \"$${VERSION} costs $5\"\n", {}, &manifest, &problems)) << problems;
  EXPECT_EQ(manifest.appName, "${VERSION} costs $5");
}

TEST_F(ManifestDefines, UseThatIsNoNameIsAProblem) {
  for (const char* use : {"${1X}", "${A-B}", "${OPEN", "${}"}) {
    Manifest manifest;
    std::string problems;
    EXPECT_FALSE(Read("[setup]\napp_name = \"" + std::string(use) + "\"\n", {{"OPEN", "x"}}, &manifest, &problems));
    EXPECT_NE(problems.find("setup.toml:2:13: setup.app_name: \"" + std::string(use)), std::string::npos) << problems;
  }
}

TEST(Define, NameAndValueAreSplitAtTheFirstEquals) {
  Defines defines;
  std::string error;
  ASSERT_TRUE(ParseDefine("OPTIONS=a=b", &defines, &error));
  ASSERT_TRUE(ParseDefine("EMPTY=", &defines, &error));
  EXPECT_EQ(defines, (Defines{{"OPTIONS", "a=b"}, {"EMPTY", ""}}));
  EXPECT_FALSE(ParseDefine("NOVALUE", &defines, &error));
  EXPECT_FALSE(ParseDefine("9LIVES=1", &defines, &error));
  EXPECT_TRUE(IsDefineName("_x9"));
  EXPECT_FALSE(IsDefineName("x.y"));
}

TEST(Define, ToolRefusesAnUndefinedNameWithExitCodeTwoAndWritesNothing) {
  ManifestFolder folder;
  folder.Write("a.txt", std::string("a"));
  folder.Write("setup.toml", "[setup]\napp_name = \"A ${VERSION}\"\n[[files]]\nsource = \"a.txt\"\n");
  const ToolRun build = RunTool({"build", folder.Path("setup.toml"), "--stub", folder.Path("stub.exe")});
  EXPECT_EQ(build.code, 2) << build.output;
  EXPECT_NE(build.output.find(folder.Path("setup.toml") + ":2:15: setup.app_name: ${VERSION} is not defined"),
            std::string::npos)
      << build.output;
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

}  // namespace
