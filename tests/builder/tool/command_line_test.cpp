// The build command's options in every form that packagers write: values after a space, an
// equals sign or joined to a short option; the manifest before or after the options;
// repeated defines; help and version; and wrong usage as one line with exit code 2.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>

#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class CommandLine : public testing::Test {
 protected:
  CommandLine() {
    folder.Write("files/app.exe", Content(30000, 1));
    folder.Write("setup.toml", "[setup]\napp_name = \"Forms ${VERSION}\"\n[[files]]\nsource = \"files/app.exe\"\n");
  }
  ToolRun Build(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "build");
    arguments.insert(arguments.end(), {"--stub", folder.Path("stub.exe")});
    return RunTool(arguments);
  }
  nlohmann::json List(const std::string& setup) {
    const ToolRun list = RunTool({"list", folder.Path(setup), "--json"});
    EXPECT_EQ(list.code, 0) << list.output;
    return list.code == 0 ? nlohmann::json::parse(list.output) : nlohmann::json();
  }
  ManifestFolder folder;
};

TEST_F(CommandLine, OutputTakesEachOfItsFourForms) {
  const std::string manifest = folder.Path("setup.toml");
  const std::vector<std::vector<std::string>> forms = {{"-o", folder.Path("a.exe")},
                                                       {"-o" + folder.Path("b.exe")},
                                                       {"--output", folder.Path("c.exe")},
                                                       {"--output=" + folder.Path("d.exe")}};
  for (const std::vector<std::string>& form : forms) {
    std::vector<std::string> arguments = {manifest, "-D", "VERSION=1"};
    arguments.insert(arguments.end(), form.begin(), form.end());
    const ToolRun build = Build(arguments);
    EXPECT_EQ(build.code, 0) << form[0] << "\n" << build.output;
  }
  for (const char* name : {"a.exe", "b.exe", "c.exe", "d.exe"}) EXPECT_TRUE(folder.Exists(name)) << name;
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

TEST_F(CommandLine, LevelTakesItsValueAfterASpaceOrAnEquals) {
  const std::string manifest = folder.Path("setup.toml");
  ASSERT_EQ(Build({manifest, "-DVERSION=1", "--level=0", "-o", folder.Path("equals.exe")}).code, 0);
  ASSERT_EQ(Build({manifest, "-DVERSION=1", "--level", "0", "-o", folder.Path("space.exe")}).code, 0);
  for (const char* setup : {"equals.exe", "space.exe"}) {
    const nlohmann::json file = List(setup)["files"][0];
    EXPECT_GT(file["packed_size"], file["size"]) << setup << ": stored, as level 0 writes it";
  }
  EXPECT_EQ(folder.Read("equals.exe"), folder.Read("space.exe"));
}

TEST_F(CommandLine, ManifestMayComeAfterTheOptions) {
  const ToolRun build = Build({"-D", "VERSION=1.2", folder.Path("setup.toml"), "-o", folder.Path("app-1.2.exe")});
  ASSERT_EQ(build.code, 0) << build.output;
  EXPECT_EQ(List("app-1.2.exe")["application"], "Forms 1.2");
}

TEST_F(CommandLine, DefinesRepeatAndTheLastOfANameWins) {
  folder.Write("setup.toml", "[setup]\napp_name = \"${NAME} ${VERSION}\"\n[[files]]\nsource = \"files/app.exe\"\n");
  const ToolRun build = Build({folder.Path("setup.toml"), "-D", "NAME=Forms", "--define", "VERSION=2",
                               "--define=VERSION=3", "-o", folder.Path("out.exe")});
  ASSERT_EQ(build.code, 0) << build.output;
  EXPECT_EQ(List("out.exe")["application"], "Forms 3");
}

TEST_F(CommandLine, DefineWithoutEqualsOrWithABadNameIsWrongUsage) {
  for (const char* define : {"VERSION", "1X=2", "A-B=2", "=2"}) {
    const ToolRun build = Build({folder.Path("setup.toml"), "-D", define, "-o", folder.Path("out.exe")});
    EXPECT_EQ(build.code, 2) << define << "\n" << build.output;
    EXPECT_NE(build.output.find(std::string("lodrun: -D ") + define + ": "), std::string::npos) << build.output;
  }
  EXPECT_FALSE(folder.Exists("out.exe"));
}

TEST_F(CommandLine, ParseErrorsAreOneLineWithExitCodeTwo) {
  const std::vector<std::vector<std::string>> wrong = {
      {"build", folder.Path("setup.toml"), "--frobnicate"}, {"build", folder.Path("setup.toml"), "--level"},
      {"list", "--json", "--jobs", "3", folder.Path("setup.exe")}, {"--frobnicate"}};
  for (const std::vector<std::string>& arguments : wrong) {
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.code, 2) << arguments.back() << "\n" << run.output;
    EXPECT_EQ(run.output.rfind("lodrun: ", 0), 0u) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
    const std::string help = arguments.size() > 1 ? "(see lodrun " + arguments[0] + " --help)\n" : "(see lodrun --help)\n";
    EXPECT_EQ(run.output.substr(run.output.size() - std::min(run.output.size(), help.size())), help) << run.output;
  }
}

TEST_F(CommandLine, UnknownCommandNamesTheToolsCommands) {
  const ToolRun run = RunTool({"frobnicate", folder.Path("setup.toml")});
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(run.output, "lodrun: unknown command \"frobnicate\"; expected build, list, extract or verify "
                        "(see lodrun --help)\n");
}

TEST_F(CommandLine, VersionAndHelpOfTheToolAndOfEachCommand) {
  for (const char* version : {"--version", "-V"}) {
    const ToolRun run = RunTool({version});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(std::regex_match(run.output, std::regex("lodrun [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << run.output;
  }
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.output.rfind("Usage: lodrun COMMAND", 0), 0u) << help.output;
  for (const char* command : {"build", "list", "extract", "verify"}) {
    for (const char* flag : {"--help", "-h"}) {
      const ToolRun run = RunTool({command, flag});
      EXPECT_EQ(run.code, 0) << command << " " << flag;
      EXPECT_EQ(run.output.rfind(std::string("Usage: lodrun ") + command, 0), 0u) << run.output;
    }
  }
}

}  // namespace
