// Setups for the wizard's tests.
#include "support/wizard_setups.h"

#include "archive/page_texts.h"
#include "base/byte_order.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/default_texts.h"
#include "builder/win32/default_templates.h"
#include "builder/win32/dialog_template.h"
#include "support/test_setups.h"

namespace test_setups {

namespace {

constexpr uint32_t BMP_FILE_HEADER = 14;
constexpr uint32_t BMP_INFO_HEADER = 40;
constexpr uint32_t INFORMATION_LIST = 1;
constexpr uint32_t INFORMATION_TEXT = 1;

}  // namespace

const std::vector<std::vector<std::string>>& TestTexts() {
  static const std::vector<std::vector<std::string>> texts = DefaultPageTexts(TEST_APP_NAME);
  return texts;
}

std::string WindowedCaption(int page) {
  const std::string& title = TestTexts()[MESSAGE_LIST][TITLE_MESSAGE];
  const std::string& pageTitle = TestTexts()[page][0];
  return pageTitle.empty() ? title : title + " - " + pageTitle;
}

namespace {

ArchiveWriter WizardWriter(const WizardOptions& options) {
  ArchiveWriter writer(SetupStub());
  if (options.absentTemplate < 0) {
    writer.AddDefaultTemplates(false);
  } else {
    std::vector<std::vector<uint8_t>> templates;
    for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) {
      templates.push_back(int(n) == options.absentTemplate ? std::vector<uint8_t>() : DefaultTemplate(n));
    }
    writer.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, BuildTemplateBlock(templates), false);
  }
  writer.AddU32Block(BLOCK_SETUP_FLAGS, options.setupFlags);
  if (options.startPage != START_PAGE_ALL) writer.AddU16Block(BLOCK_START_PAGE, options.startPage);
  if (options.installPacing) writer.AddU32Block(BLOCK_INSTALL_PACING, *options.installPacing);
  if (!options.appEntry.empty()) writer.AddLoadedBlock(BLOCK_APP_ENTRY, options.appEntry, true);
  writer.AddStringBlock(BLOCK_APP_NAME, options.appName, false);
  if (!options.backgroundTitle.empty()) {
    writer.AddStringBlock(BLOCK_BACKGROUND_TITLE, options.backgroundTitle, false);
  }
  if (!options.wizardImage.empty()) {
    writer.AddLoadedBlock(BLOCK_WIZARD_IMAGE, options.wizardImage, false);
  }
  if (!options.backgroundImage.empty()) {
    writer.AddLoadedBlock(BLOCK_BACKGROUND_IMAGE, options.backgroundImage, false);
  }
  if (!options.defaultDir.empty()) {
    writer.AddStringBlock(BLOCK_DEFAULT_DIR, options.defaultDir, false);
  }
  if (!options.files.empty()) writer.AddFiles(options.files, options.defaultDir, false);
  std::vector<std::vector<std::string>> texts = TestTexts();
  if (texts[INFORMATION_LIST].size() <= INFORMATION_TEXT) {
    texts[INFORMATION_LIST].resize(INFORMATION_TEXT + 1);
  }
  texts[INFORMATION_LIST][INFORMATION_TEXT] = options.informationText;
  writer.AddPageTexts(texts);
  return writer;
}

}  // namespace

std::vector<uint8_t> WizardSetup(const WizardOptions& options) { return WizardWriter(options).Finish(); }

std::vector<std::vector<uint8_t>> WizardSetupVolumes(const WizardOptions& options, uint32_t volumeDataSize) {
  return WizardWriter(options).FinishVolumes(volumeDataSize);
}

std::vector<uint8_t> Bitmap24(int width, int height, const PixelColour& colour) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  const uint32_t pixels = BMP_FILE_HEADER + BMP_INFO_HEADER;
  std::vector<uint8_t> file(pixels + stride * uint32_t(height), 0);
  file[0] = 'B';
  file[1] = 'M';
  StoreU32LE(&file[2], uint32_t(file.size()));
  StoreU32LE(&file[10], pixels);
  StoreU32LE(&file[14], BMP_INFO_HEADER);
  StoreU32LE(&file[18], uint32_t(width));
  StoreU32LE(&file[22], uint32_t(height));
  StoreU16LE(&file[26], 1);   // planes
  StoreU16LE(&file[28], 24);  // bits per pixel
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &file[pixels + stride * uint32_t(height - 1 - y)];  // bottom row first
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = colour(x, y);
      row[3 * x] = uint8_t(rgb);            // blue
      row[3 * x + 1] = uint8_t(rgb >> 8);   // green
      row[3 * x + 2] = uint8_t(rgb >> 16);  // red
    }
  }
  return file;
}

std::vector<uint8_t> AppEntryBlock(uint16_t iconRecord, int16_t iconIndex, const std::string& version,
                                   const std::string& publisher, const std::string& url) {
  std::vector<uint8_t> block = {uint8_t(iconRecord), uint8_t(iconRecord >> 8), uint8_t(uint16_t(iconIndex)),
                                uint8_t(uint16_t(iconIndex) >> 8)};
  for (const std::string* text : {&version, &publisher, &url}) {
    block.insert(block.end(), text->begin(), text->end());
    block.push_back(0);
  }
  return block;
}

}  // namespace test_setups
