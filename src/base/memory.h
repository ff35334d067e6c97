// Memory helpers: every block of the program comes from the process heap through these.
#pragma once

#include <cstddef>
#include <cstdint>

// Allocates n bytes; on failure compacts the heap and tries once more. Stores the block
// (or null) in out and returns true when a block was obtained.
bool MemAlloc(uint32_t n, void** out);
bool MemAllocZero(uint32_t n, void** out);

// Frees the block that *p points to, when there is one, and clears *p.
void MemFreeBlock(void** p);

// The block's size as the allocator reports it (the size that was asked for).
uint32_t MemSize(const void* block);

// Typed conveniences, so that callers hold typed pointers without casts at every call.
template <typename T>
bool MemAlloc(uint32_t n, T** out) {
  void* block = nullptr;
  bool ok = MemAlloc(n, &block);
  *out = static_cast<T*>(block);
  return ok;
}

template <typename T>
bool MemAllocZero(uint32_t n, T** out) {
  void* block = nullptr;
  bool ok = MemAllocZero(n, &block);
  *out = static_cast<T*>(block);
  return ok;
}

template <typename T>
void MemFree(T*& p) {
  void* block = const_cast<void*>(static_cast<const void*>(p));
  MemFreeBlock(&block);
  p = nullptr;
}
