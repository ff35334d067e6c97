// list and extract give a setup's texts and names as its manifest wrote them (UTF-8), from
// the code page the setup notes; a setup without the note is read as code page 1252.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "builder/setup/archive_writer.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class ToolCodePage : public testing::Test {
 protected:
  ToolRun Build(const std::string& manifest) {
    folder.Write("setup.toml", manifest);
    return RunTool({"build", folder.Path("setup.toml"), "-o", folder.Path("setup.exe"), "--stub", folder.Path("stub.exe")});
  }
  ManifestFolder folder;
};

TEST_F(ToolCodePage, ListAndExtractGiveTheNamesAsWritten) {
  folder.Write("files/\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt", std::string("file"));  // "файл.txt"
  const ToolRun build = Build("[setup]\ncode_page = 1251\napp_name = \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\"\n"
                              "[[files]]\nsource = \"files\"\n");
  ASSERT_EQ(build.code, 0) << build.output;
  const ToolRun list = RunTool({"list", folder.Path("setup.exe")});
  EXPECT_NE(list.output.find("application:       \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"), std::string::npos)
      << list.output;
  EXPECT_NE(list.output.find("code page:         1251"), std::string::npos) << list.output;
  EXPECT_NE(list.output.find("\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt "), std::string::npos) << list.output;
  const ToolRun json = RunTool({"list", folder.Path("setup.exe"), "--json"});
  EXPECT_EQ(nlohmann::json::parse(json.output)["code_page"], 1251) << json.output;
  const ToolRun extract = RunTool({"extract", folder.Path("setup.exe"), "-C", folder.Path("out")});
  ASSERT_EQ(extract.code, 0) << extract.output;
  EXPECT_EQ(folder.Read("out/\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt"), std::vector<uint8_t>({'f', 'i', 'l', 'e'}));
}

TEST_F(ToolCodePage, SetupWithoutTheNoteIsCodePage1252) {
  ArchiveWriter writer(test_support::FakeImage());
  writer.AddStringBlock(BLOCK_APP_NAME, "Caf\xE9", false);
  folder.Write("other.exe", writer.Finish());
  const ToolRun list = RunTool({"list", folder.Path("other.exe")});
  ASSERT_EQ(list.code, 0) << list.output;
  EXPECT_NE(list.output.find("application:       Caf\xC3\xA9\n"), std::string::npos) << list.output;
  EXPECT_NE(list.output.find("code page:         1252"), std::string::npos) << list.output;
}

}  // namespace
