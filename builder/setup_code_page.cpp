#include "builder/setup_code_page.h"

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/code_page.h"

uint16_t SetupCodePage(const std::vector<uint8_t>& setup, uint32_t imageSize) {
  // Every block, BLOCK_END's too, starts with its tag, its flags and its payload's size.
  for (uint64_t at = imageSize; at + BLOCK_HEADER_SIZE <= setup.size();) {
    const uint16_t tag = LoadU16LE(&setup[at]);
    const uint32_t size = LoadU32LE(&setup[at + 4]);
    if (tag == BLOCK_END) break;
    const uint64_t payload = at + BLOCK_HEADER_SIZE;
    if (tag == BLOCK_CODE_PAGE && size == 2 && payload + 2 <= setup.size()) {
      const uint16_t codePage = LoadU16LE(&setup[payload]);
      return IsSetupCodePage(codePage) ? codePage : DEFAULT_CODE_PAGE;
    }
    at = payload + size;
  }
  return DEFAULT_CODE_PAGE;
}
