// The texts of a setup (application name, background title, the registry and INI lookup of
// the default directory) loaded as C strings that end inside their blocks, whatever the
// blocks hold: the wizard, the engine and the builder's reader read them to their NUL.
#include <cstring>
#include <utility>

#include "base/memory.h"
#include "setup_file.h"

namespace {

using LoadedTexts = SetupFileTest;

// Each text block's tag and the field it loads into.
std::vector<std::pair<uint16_t, char**>> TextFields() {
  return {{BLOCK_APP_NAME, &Archive.appName},         {BLOCK_BACKGROUND_TITLE, &Archive.backgroundTitle},
          {BLOCK_DIR_REG_KEY, &Archive.dirRegKey},     {BLOCK_DIR_REG_VALUE, &Archive.dirRegValue},
          {BLOCK_DIR_INI_FILE, &Archive.dirIniFile},   {BLOCK_DIR_INI_SECTION, &Archive.dirIniSection},
          {BLOCK_DIR_INI_KEY, &Archive.dirIniKey}};
}

TEST_F(LoadedTexts, TextWithoutTerminatorEndsInsideItsBlock) {
  for (bool compress : {false, true}) {
    ArchiveWriter writer(FakeImage());
    for (const auto& [tag, field] : TextFields()) writer.AddLoadedBlock(tag, {'N', 'a', 'm', 'e'}, compress);
    ASSERT_TRUE(Load(writer.Finish()));
    for (const auto& [tag, field] : TextFields()) {
      ASSERT_NE(*field, nullptr) << std::hex << tag;
      EXPECT_NE(std::memchr(*field, '\0', MemSize(*field)), nullptr) << std::hex << tag;
      EXPECT_STREQ(*field, "Nam") << std::hex << tag;  // the last byte became the terminator
    }
    FreeSetupArchive();
  }
}

TEST_F(LoadedTexts, TerminatedTextLoadsWhole) {
  ArchiveWriter writer(FakeImage());
  writer.AddStringBlock(BLOCK_APP_NAME, "Lodrun Demo", false);
  writer.AddLoadedBlock(BLOCK_BACKGROUND_TITLE, {'T', 0, 'x'}, false);  // bytes behind the NUL stay unread
  ASSERT_TRUE(Load(writer.Finish()));
  EXPECT_STREQ(Archive.appName, "Lodrun Demo");
  EXPECT_STREQ(Archive.backgroundTitle, "T");
}

TEST_F(LoadedTexts, BlockThatDecodesToNothingIsNoText) {
  ArchiveWriter writer(FakeImage());
  for (const auto& [tag, field] : TextFields()) writer.AddLoadedBlock(tag, {}, true);
  ASSERT_TRUE(Load(writer.Finish()));
  for (const auto& [tag, field] : TextFields()) EXPECT_EQ(*field, nullptr) << std::hex << tag;
}

}  // namespace
