#include "builder/setup_code_page.h"

#include <fstream>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/code_page.h"

uint16_t SetupCodePage(const std::string& path, uint32_t imageSize) {
  std::ifstream setup(path, std::ios::binary);
  // Every block, BLOCK_END's too, starts with its tag, its flags and its payload's size.
  uint8_t header[BLOCK_HEADER_SIZE];
  for (uint64_t at = imageSize;; at += BLOCK_HEADER_SIZE + LoadU32LE(header + 4)) {
    setup.seekg(std::streamoff(at));
    if (!setup.read(reinterpret_cast<char*>(header), sizeof header)) break;
    const uint16_t tag = LoadU16LE(header);
    if (tag == BLOCK_END) break;
    uint8_t value[2];
    if (tag == BLOCK_CODE_PAGE && LoadU32LE(header + 4) == sizeof value &&
        setup.read(reinterpret_cast<char*>(value), sizeof value)) {
      const uint16_t codePage = LoadU16LE(value);
      return IsSetupCodePage(codePage) ? codePage : DEFAULT_CODE_PAGE;
    }
  }
  return DEFAULT_CODE_PAGE;
}
