// The setup reader on setups that the builder would not write: texts without their
// terminator are read within their blocks, as the program reads them.
#include <gtest/gtest.h>

#include "builder/setup/archive_writer.h"
#include "builder/setup/setup_reader.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

TEST(SetupReader, TextsWithoutTerminatorAreReadWithinTheirBlocks) {
  ManifestFolder folder;
  ArchiveWriter writer(test_support::FakeImage());
  for (uint16_t tag : {BLOCK_APP_NAME, BLOCK_BACKGROUND_TITLE, BLOCK_DIR_REG_KEY, BLOCK_DIR_REG_VALUE,
                       BLOCK_DIR_INI_FILE, BLOCK_DIR_INI_SECTION, BLOCK_DIR_INI_KEY}) {
    writer.AddLoadedBlock(tag, {'T', 'e', 'x', 't'}, false);
  }
  folder.Write("setup.exe", writer.Finish());
  SetupSummary summary;
  std::string error;
  ASSERT_TRUE(ReadSetupSummary(folder.Path("setup.exe"), &summary, &error)) << error;
  for (const std::string* text : {&summary.appName, &summary.backgroundTitle, &summary.dirRegKey,
                                  &summary.dirRegValue, &summary.dirIniFile, &summary.dirIniSection,
                                  &summary.dirIniKey}) {
    EXPECT_EQ(*text, "Tex");  // what the program shows: its loader ends the text in the block
  }
}

TEST(SetupReader, ListShowsAnUnterminatedApplicationName) {
  ManifestFolder folder;
  ArchiveWriter writer(test_support::FakeImage());
  writer.AddLoadedBlock(BLOCK_APP_NAME, {'D', 'e', 'm', 'o', '!'}, false);
  folder.Write("setup.exe", writer.Finish());
  for (const char* command : {"list", "verify"}) {
    const ToolRun run = RunTool({command, folder.Path("setup.exe")});
    EXPECT_EQ(run.code, 0) << command << "\n" << run.output;
  }
  EXPECT_NE(RunTool({"list", folder.Path("setup.exe")}).output.find("application:       Demo\n"), std::string::npos);
}

// The program's loader sets the installation folder only from the default-folder block: a
// setup without one must not show the folder of the setup read before it.
TEST(SetupReader, SetupWithoutDefaultFolderShowsNoneAfterOneWithIt) {
  ManifestFolder folder;
  ArchiveWriter withFolder(test_support::FakeImage());
  withFolder.AddStringBlock(BLOCK_DEFAULT_DIR, "C:\\Program Files\\Example", false);
  folder.Write("with.exe", withFolder.Finish());
  folder.Write("without.exe", ArchiveWriter(test_support::FakeImage()).Finish());
  SetupSummary summary;
  std::string error;
  ASSERT_TRUE(ReadSetupSummary(folder.Path("with.exe"), &summary, &error)) << error;
  EXPECT_EQ(summary.defaultDir, "C:\\Program Files\\Example");
  ASSERT_TRUE(ReadSetupSummary(folder.Path("without.exe"), &summary, &error)) << error;
  EXPECT_EQ(summary.defaultDir, "");
}

}  // namespace
