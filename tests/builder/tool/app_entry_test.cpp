// The [setup] keys of the installed programs' entry: written as BLOCK_APP_ENTRY and read
// back by the setup reader, the icon as the record number of its file in the table as
// written; refused at their lines when they cannot be written; no block without them; shown
// by list and checked by verify.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "builder/setup/app_entry.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/setup_code_page.h"
#include "builder/setup/setup_reader.h"
#include "builder/win32/default_templates.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

constexpr char FILES[] = "[[files]]\nsource = \"files/readme.txt\"\n[[files]]\nsource = \"files/app.exe\"\n";

class AppEntryKeys : public testing::Test {
 protected:
  AppEntryKeys() {
    folder.Write("files/readme.txt", std::string("read me"));
    folder.Write("files/app.exe", Content(3000, 1));
  }
  // Builds the manifest of these [setup] lines and the two files.
  ToolRun Build(const std::string& setup) {
    folder.Write("setup.toml", "[setup]\napp_name = \"Entry\"\n" + setup + FILES);
    return RunTool({"build", folder.Path("setup.toml"), "--stub", folder.Path("stub.exe"), "--uninstaller",
                    folder.Path("stub.exe"), "--level", "0"});
  }
  SetupSummary Summary() {
    SetupSummary summary;
    std::string error;
    EXPECT_TRUE(ReadSetupSummary(folder.Path("setup.exe"), &summary, &error)) << error;
    return summary;
  }
  ManifestFolder folder;
};

TEST_F(AppEntryKeys, BlockIsReadBackWithTheIconsRecordInTheTableAsWritten) {
  // The uninstall program comes first in the table: app.exe is record 2 (index 2).
  const ToolRun build = Build("uninstaller = true\napp_version = \"1.2.3\"\npublisher = \"Example Ltd\"\n"
                              "url = \"https://example.org/app\"\ndisplay_icon = \"APP.EXE,-3\"\n");
  ASSERT_EQ(build.code, 0) << build.output;
  const SetupSummary summary = Summary();
  EXPECT_TRUE(summary.appEntryFault.empty()) << summary.appEntryFault;
  ASSERT_TRUE(summary.appEntry.present);
  ASSERT_EQ(summary.records.size(), 3u);
  EXPECT_EQ(summary.appEntry.iconRecord, 2u);
  EXPECT_EQ(summary.records[summary.appEntry.iconRecord].name, "app.exe");
  EXPECT_EQ(summary.appEntry.iconIndex, -3);
  EXPECT_EQ(summary.appEntry.texts[APP_ENTRY_VERSION], "1.2.3");
  EXPECT_EQ(summary.appEntry.texts[APP_ENTRY_PUBLISHER], "Example Ltd");
  EXPECT_EQ(summary.appEntry.texts[APP_ENTRY_URL], "https://example.org/app");
}

TEST_F(AppEntryKeys, TextsAreWrittenInTheSetupsCodePage) {
  ASSERT_EQ(Build("code_page = 1252\npublisher = \"Caf\xC3\xA9\"\n").code, 0);
  std::vector<uint8_t> payload;
  uint16_t flags = 0;
  ASSERT_TRUE(ReadSetupBlock(folder.Path("setup.exe"), Summary().imageSize, BLOCK_APP_ENTRY, &payload, &flags));
  const std::vector<uint8_t> expected = {0xFF, 0xFF, 0, 0, 0, 'C', 'a', 'f', 0xE9, 0, 0};
  EXPECT_EQ(payload, expected);
}

TEST_F(AppEntryKeys, ManifestWithoutTheKeysWritesNoBlock) {
  ASSERT_EQ(Build("").code, 0);
  const SetupSummary summary = Summary();
  std::vector<uint8_t> payload;
  uint16_t flags = 0;
  EXPECT_FALSE(ReadSetupBlock(folder.Path("setup.exe"), summary.imageSize, BLOCK_APP_ENTRY, &payload, &flags));
  EXPECT_FALSE(summary.appEntry.present);
}

TEST_F(AppEntryKeys, ClosingPageHasTheWebButtonOnlyWithAWebAddress) {
  std::vector<uint8_t> templates;
  uint16_t flags = 0;
  ASSERT_EQ(Build("publisher = \"P\"\n").code, 0);
  ASSERT_TRUE(ReadSetupBlock(folder.Path("setup.exe"), Summary().imageSize, BLOCK_DIALOG_TEMPLATES, &templates, &flags));
  EXPECT_EQ(templates, DefaultTemplateBlock(WebButton::WITHOUT));
  ASSERT_EQ(Build("url = \"https://e.org\"\n").code, 0);
  ASSERT_TRUE(ReadSetupBlock(folder.Path("setup.exe"), Summary().imageSize, BLOCK_DIALOG_TEMPLATES, &templates, &flags));
  EXPECT_EQ(templates, DefaultTemplateBlock(WebButton::WITH));
}

TEST_F(AppEntryKeys, IconThatNamesNoFileOfTheSetupIsAProblemAtItsLine) {
  const ToolRun build = Build("publisher = \"P\"\ndisplay_icon = \"files/app.exe\"\n");
  EXPECT_EQ(build.code, 2);
  EXPECT_NE(build.output.find("setup.toml:4:16: setup.display_icon: \"files/app.exe\" is none of the setup's files"),
            std::string::npos)
      << build.output;
  EXPECT_FALSE(folder.Exists("setup.exe"));
}

TEST_F(AppEntryKeys, TooLongTextOrOneTheCodePageCannotHoldIsAProblem) {
  const ToolRun tooLong = Build("url = \"" + std::string(MAX_APP_ENTRY_TEXT + 1, 'u') + "\"\n");
  EXPECT_EQ(tooLong.code, 2);
  EXPECT_NE(tooLong.output.find("setup.toml:3:7: setup.url: is 260 characters long; the program holds at most 259"),
            std::string::npos)
      << tooLong.output;
  EXPECT_EQ(Build("url = \"" + std::string(MAX_APP_ENTRY_TEXT, 'u') + "\"\n").code, 0);
  const ToolRun greek = Build("code_page = 1252\napp_version = \"\xCE\xB1\"\n");
  EXPECT_EQ(greek.code, 2);
  EXPECT_NE(greek.output.find("setup.app_version: '\xCE\xB1' at column 16 cannot be written in code page 1252"),
            std::string::npos)
      << greek.output;
}

TEST_F(AppEntryKeys, ListShowsTheFourValuesAsTextAndJson) {
  ASSERT_EQ(Build("app_version = \"2.0\"\npublisher = \"P\"\nurl = \"https://e.org\"\ndisplay_icon = \"app.exe,1\"\n").code, 0);
  const ToolRun text = RunTool({"list", folder.Path("setup.exe")});
  for (const char* line : {"app version:       2.0\n", "publisher:         P\n", "url:               https://e.org\n",
                           "display icon:      app.exe,1\n"}) {
    EXPECT_NE(text.output.find(line), std::string::npos) << line << text.output;
  }
  const nlohmann::json json = nlohmann::json::parse(RunTool({"list", folder.Path("setup.exe"), "--json"}).output);
  EXPECT_EQ(json["app_version"], "2.0");
  EXPECT_EQ(json["publisher"], "P");
  EXPECT_EQ(json["url"], "https://e.org");
  EXPECT_EQ(json["display_icon"], "app.exe,1");
}

TEST(AppEntryBlock, ReadingRefusesAnUnendedTextAndAnIconBeyondTheTable) {
  AppEntry entry, read;
  entry.iconRecord = 1;
  entry.texts[APP_ENTRY_URL] = "https://e.org";
  std::vector<uint8_t> payload = AppEntryBlock(entry);
  std::string fault;
  EXPECT_TRUE(ReadAppEntry(payload, 2, &read, &fault)) << fault;
  EXPECT_EQ(read.texts[APP_ENTRY_URL], "https://e.org");
  EXPECT_FALSE(ReadAppEntry(payload, 1, &read, &fault));
  EXPECT_EQ(fault, "the installed programs' entry takes its icon from file record 2 of 1");
  payload.pop_back();
  EXPECT_FALSE(ReadAppEntry(payload, 2, &read, &fault));
  EXPECT_EQ(fault, "the installed programs' entry's web address is not ended inside its block");
  EXPECT_FALSE(ReadAppEntry({0xFF, 0xFF, 0}, 2, &read, &fault));
}

// The program refuses such a setup when it loads it, and verify with it.
TEST(AppEntryBlock, VerifyRefusesABlockWhoseTextIsNotEnded) {
  ManifestFolder folder;
  ArchiveWriter writer(test_support::FakeImage());
  writer.AddRawBlock(BLOCK_APP_ENTRY, 0, {0xFF, 0xFF, 0, 0, '1', 0, 'P', 0, 'h', 't'});
  folder.Write("setup.exe", writer.Finish());
  const ToolRun verify = RunTool({"verify", folder.Path("setup.exe")});
  EXPECT_EQ(verify.code, 1) << verify.output;
  EXPECT_NE(verify.output.find("the archive does not load: a value is out of range"), std::string::npos)
      << verify.output;
}

TEST(DisplayIcon, IndexFollowsTheLastCommaWhenItIsANumber) {
  std::string target;
  int16_t index = 0;
  ASSERT_TRUE(SplitDisplayIcon("bin\\app.exe,12", &target, &index));
  EXPECT_EQ(target, "bin\\app.exe");
  EXPECT_EQ(index, 12);
  ASSERT_TRUE(SplitDisplayIcon("a,b.exe", &target, &index));
  EXPECT_EQ(target, "a,b.exe");
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(SplitDisplayIcon("app.exe,40000", &target, &index));
}

}  // namespace
