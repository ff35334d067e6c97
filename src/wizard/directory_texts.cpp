// The directory page's sizes in whole megabytes.
#include "wizard/directory_texts.h"

namespace {

constexpr uint32_t KB_PER_MB = 1024;

}  // namespace

uint32_t MegabytesFromKB(uint64_t kb) {
  const uint64_t megabytes = kb / KB_PER_MB + (kb % KB_PER_MB != 0 ? 1 : 0);
  return megabytes < 0xFFFFFFFFu ? static_cast<uint32_t>(megabytes) : 0xFFFFFFFFu;
}
