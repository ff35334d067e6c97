// The program's operator new and delete: the process heap through MemAlloc and MemFree.
// They never throw (the program is built without exceptions): a failed allocation returns
// null, so callers test the result, and the C++ runtime's throwing allocator with its
// exception support stays out of the program.
#include <cstddef>
#include <cstdint>
#include <new>

#include "base/memory.h"

namespace {

void* Allocate(std::size_t size) {
  void* block = nullptr;
  // The heap helpers take 32-bit sizes; a larger request (64-bit build only) fails.
  if (size > UINT32_MAX) return nullptr;
  MemAlloc(static_cast<uint32_t>(size), &block);
  return block;
}

void Release(void* block) { MemFreeBlock(&block); }

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
