#include "builder/setup/setup_code_page.h"

#include <fstream>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/io/code_page.h"

bool ReadSetupBlock(const std::string& path, uint32_t imageSize, uint16_t tag, std::vector<uint8_t>* payload,
                    uint16_t* flags) {
  std::ifstream setup(path, std::ios::binary);
  // Every block, BLOCK_END's too, starts with its tag, its flags and its payload's size.
  uint8_t header[BLOCK_HEADER_SIZE];
  for (uint64_t at = imageSize;; at += BLOCK_HEADER_SIZE + LoadU32LE(header + 4)) {
    setup.seekg(std::streamoff(at));
    if (!setup.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    const uint16_t found = LoadU16LE(header);
    if (found == BLOCK_END) return false;
    if (found != tag) continue;
    payload->resize(LoadU32LE(header + 4));
    *flags = LoadU16LE(header + 2);
    return bool(setup.read(reinterpret_cast<char*>(payload->data()), std::streamsize(payload->size())));
  }
}

uint16_t SetupCodePage(const std::string& path, uint32_t imageSize) {
  std::vector<uint8_t> value;
  uint16_t flags = 0;
  if (!ReadSetupBlock(path, imageSize, BLOCK_CODE_PAGE, &value, &flags) || value.size() != sizeof(uint16_t)) {
    return DEFAULT_CODE_PAGE;
  }
  const uint16_t codePage = LoadU16LE(value.data());
  return IsSetupCodePage(codePage) ? codePage : DEFAULT_CODE_PAGE;
}
