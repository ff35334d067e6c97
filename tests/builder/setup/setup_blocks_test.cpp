// The writer's template, text and picture blocks, loaded back by the program's loader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/default_texts.h"
#include "builder/win32/default_templates.h"
#include "builder/win32/dialog_template.h"
#include "support/fake_image.h"
#include "support/sample_pictures.h"

using test_support::FakeImage;
using test_support::SampleBmp;

namespace {

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = testing::TempDir() + "lodrun_blocks_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) throw std::runtime_error("cannot create " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

class SetupBlocksTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AllocateSessionPaths()); }
  void TearDown() override {
    FreeSetupArchive();
    FreeSessionPaths();
  }
  bool Load(const ArchiveWriter& writer) {
    std::string path = WriteTemp(testing::UnitTest::GetInstance()->current_test_info()->name(),
                                 writer.Finish());
    SetImageSize(test_support::FAKE_IMAGE_SIZE);
    CopyPath(SourcePath, path.c_str());
    return LoadSetupArchive();
  }
};

TEST_F(SetupBlocksTest, DefaultTemplatesLoadAsWritten) {
  for (bool compress : {false, true}) {
    ArchiveWriter writer(FakeImage());
    writer.AddDefaultTemplates(compress);
    ASSERT_TRUE(Load(writer)) << compress;
    std::vector<uint8_t> block = DefaultTemplateBlock();
    ASSERT_EQ(Archive.templatesSize, block.size());
    EXPECT_EQ(std::memcmp(Archive.templates, block.data(), block.size()), 0);
    FreeSetupArchive();
  }
}

TEST_F(SetupBlocksTest, OwnTemplatesLeaveOthersAbsent) {
  std::vector<std::vector<uint8_t>> templates(TEMPLATE_COUNT);
  templates[TEMPLATE_TEXT_PAGE] = DefaultTemplate(TEMPLATE_TEXT_PAGE);
  ArchiveWriter writer(FakeImage());
  writer.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, BuildTemplateBlock(templates), true);
  ASSERT_TRUE(Load(writer));
  EXPECT_EQ(LoadU32LE(Archive.templates + 4 * TEMPLATE_TEXT_PAGE), TEMPLATE_TABLE_SIZE);
  EXPECT_EQ(LoadU32LE(Archive.templates), TEMPLATE_ABSENT);
  EXPECT_EQ(Archive.templatesSize, TEMPLATE_TABLE_SIZE + templates[TEMPLATE_TEXT_PAGE].size());
}

TEST_F(SetupBlocksTest, DefaultPageTextsReadBackByNumber) {
  ArchiveWriter writer(FakeImage());
  writer.AddPageTexts(DefaultPageTexts("Demo"));
  ASSERT_TRUE(Load(writer));
  EXPECT_STREQ(PageText(MESSAGE_LIST, TITLE_MESSAGE), "Demo Setup");
  EXPECT_STREQ(PageText(BUTTON_TEXTS, BUTTON_TEXT_INSTALL), "&Install");
  EXPECT_STREQ(PageText(DIRECTORY_TEXTS, DIRECTORY_MEGABYTES_FORMAT), "%d MB");
  EXPECT_STREQ(PageText(MESSAGE_LIST, MESSAGE_INSERT_DISK),
               DefaultPageTexts("Demo")[MESSAGE_LIST][MESSAGE_INSERT_DISK].c_str());
}

TEST_F(SetupBlocksTest, PicturesCarryTheWholeFile) {
  std::vector<uint8_t> wizard = SampleBmp();
  test_support::SamplePicture colour;
  colour.bits = 24;
  std::vector<uint8_t> background = SampleBmp(colour);
  ArchiveWriter writer(FakeImage());
  writer.AddPicture(BLOCK_WIZARD_IMAGE, wizard, true);
  writer.AddPicture(BLOCK_BACKGROUND_IMAGE, background, false);
  ASSERT_TRUE(Load(writer));
  ASSERT_NE(Archive.wizardImage, nullptr);
  ASSERT_NE(Archive.backgroundImage, nullptr);
  EXPECT_EQ(std::memcmp(Archive.wizardImage, wizard.data(), wizard.size()), 0);
  EXPECT_EQ(std::memcmp(Archive.backgroundImage, background.data(), background.size()), 0);
}

TEST(ArchiveWriterPictures, RefusesPicturesNotShownAndOtherTags) {
  ArchiveWriter writer(FakeImage());
  test_support::SamplePicture deep;
  deep.bits = 32;
  EXPECT_THROW(writer.AddPicture(BLOCK_WIZARD_IMAGE, SampleBmp(deep), false), std::runtime_error);
  EXPECT_THROW(writer.AddPicture(BLOCK_APP_NAME, SampleBmp(), false), std::invalid_argument);
  EXPECT_EQ(writer.Finish(), ArchiveWriter(FakeImage()).Finish());  // nothing was added
}

}  // namespace
