// Memory helpers over the process heap, for the program.
#include "base/memory.h"

#include <windows.h>

namespace {

bool Allocate(uint32_t n, DWORD flags, void** out) {
  HANDLE heap = GetProcessHeap();
  void* block = HeapAlloc(heap, flags, n);
  if (block == nullptr) {
    // One retry after compacting: freed blocks may coalesce into a large enough one.
    HeapCompact(heap, 0);
    block = HeapAlloc(heap, flags, n);
  }
  *out = block;
  return block != nullptr;
}

}  // namespace

bool MemAlloc(uint32_t n, void** out) { return Allocate(n, 0, out); }
bool MemAllocZero(uint32_t n, void** out) { return Allocate(n, HEAP_ZERO_MEMORY, out); }

void MemFreeBlock(void** p) {
  if (*p != nullptr) {
    HeapFree(GetProcessHeap(), 0, *p);
    *p = nullptr;
  }
}

uint32_t MemSize(const void* block) {
  return static_cast<uint32_t>(HeapSize(GetProcessHeap(), 0, block));
}
