// Setups for the wizard's tests: the real stub with the builder's default templates and
// texts, and pictures made to order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "builder/setup/data_area_writer.h"

namespace test_setups {

constexpr char TEST_APP_NAME[] = "Lodrun Test";

struct WizardOptions {
  uint32_t setupFlags = SETUP_FLAG_CHANGE_DIR;
  uint16_t startPage = START_PAGE_ALL;
  std::vector<uint8_t> wizardImage;      // BMP file bytes, or empty for none
  std::vector<uint8_t> backgroundImage;  // BMP file bytes, or empty for none
  std::string backgroundTitle;           // empty for none
  std::string informationText = "Read this first.";
  std::string defaultDir;         // BLOCK_DEFAULT_DIR, or empty for none
  std::string appName = TEST_APP_NAME;  // BLOCK_APP_NAME: the Uninstall key's name
  std::vector<FileInput> files;   // the file table and the data area (stored streams)
  int absentTemplate = -1;        // a template number left out of the defaults, or none
  std::optional<uint32_t> installPacing;  // BLOCK_INSTALL_PACING's value, or no such block
  std::vector<uint8_t> appEntry;  // BLOCK_APP_ENTRY's payload, or empty for no such block
};

// BLOCK_APP_ENTRY's payload: the icon's record and index, then the version, the publisher
// and the web address, each with its terminator.
std::vector<uint8_t> AppEntryBlock(uint16_t iconRecord, int16_t iconIndex, const std::string& version,
                                   const std::string& publisher, const std::string& url);

// A setup file over the built stub, with every template and text list of the defaults.
std::vector<uint8_t> WizardSetup(const WizardOptions& options);
// The same setup with its data area spread over volumes of volumeDataSize bytes: element 0
// is the setup file, element n the volume file with suffix n.
std::vector<std::vector<uint8_t>> WizardSetupVolumes(const WizardOptions& options, uint32_t volumeDataSize);

// The default text lists of TEST_APP_NAME, as the setup carries them.
const std::vector<std::vector<std::string>>& TestTexts();

// The main window's caption in windowed mode while page k shows.
std::string WindowedCaption(int page);

// A BMP file of width x height pixels, 24 bits, bottom-up, each pixel colour(x, y) with
// (0, 0) the top-left corner.
using PixelColour = std::function<uint32_t(int x, int y)>;  // 0x00RRGGBB
std::vector<uint8_t> Bitmap24(int width, int height, const PixelColour& colour);

}  // namespace test_setups
