// Memory helpers over malloc, for the native build. Each block carries its requested size
// in a header in front of it, so that MemSize reports what was asked for, as the Windows
// heap does, rather than what malloc rounded up to.
#include "base/memory.h"

#include <cstdlib>
#include <cstring>

namespace {

// The header keeps the block aligned for any type.
constexpr size_t kHeader = alignof(std::max_align_t);
static_assert(kHeader >= sizeof(uint32_t), "the header holds the size");

bool Allocate(uint32_t n, bool zero, void** out) {
  void* raw = zero ? std::calloc(1, kHeader + n) : std::malloc(kHeader + n);
  if (raw == nullptr) {
    *out = nullptr;
    return false;
  }
  std::memcpy(raw, &n, sizeof n);
  *out = static_cast<char*>(raw) + kHeader;
  return true;
}

}  // namespace

bool MemAlloc(uint32_t n, void** out) { return Allocate(n, false, out); }
bool MemAllocZero(uint32_t n, void** out) { return Allocate(n, true, out); }

void MemFreeBlock(void** p) {
  if (*p != nullptr) {
    std::free(static_cast<char*>(*p) - kHeader);
    *p = nullptr;
  }
}

uint32_t MemSize(const void* block) {
  uint32_t n;
  std::memcpy(&n, static_cast<const char*>(block) - kHeader, sizeof n);
  return n;
}
