// Fuzzes the decoder with arbitrary bytes as a stream, read from an in-memory file. Beyond
// crashes, overruns and endless loops it checks that the entry points agree: a stream that
// decodes into a file decodes into a memory block of exactly that size with the same bytes
// and leaves the input at the same place; a fixed 64 KiB block takes only a stream of
// exactly 64 KiB; passing over the stream, with or without its length as the limit, ends
// the same way.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "codec/decoder.h"

namespace {

constexpr uint32_t FIXED_BLOCK_SIZE = 65536;
// Outputs up to this size are compared with a memory decode; larger ones are only passed.
constexpr uint32_t MAX_COMPARED_OUTPUT = 1u << 20;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz_decoder: %s\n", what);
  std::abort();
}

FileHandle MemoryFile(const char* name) {
  int fd = memfd_create(name, MFD_CLOEXEC);
  Require(fd >= 0, "memfd_create failed");
  return fd;
}

// Replaces the file's contents with the bytes and stands at its start.
void Refill(FileHandle file, const uint8_t* data, size_t size) {
  Require(ftruncate(static_cast<int>(file), 0) == 0, "ftruncate failed");
  Require(pwrite(static_cast<int>(file), data, size, 0) == static_cast<ssize_t>(size), "pwrite failed");
  FileSeek(file, 0);
}

std::unique_ptr<uint8_t[]> ReadAll(FileHandle file, uint32_t size) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size + 1]);
  Require(pread(static_cast<int>(file), bytes.get(), size, 0) == static_cast<ssize_t>(size), "pread failed");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FileHandle input = MemoryFile("fuzz-input");
  static const FileHandle output = MemoryFile("fuzz-output");
  if (size > 0xFFFFFFu) return 0;

  // Into a file: the reference for the other entry points.
  Refill(input, data, size);
  Refill(output, nullptr, 0);
  bool decoded = DecodeToFile(output, input, 0);
  uint32_t end = FileTell(input);
  Require(end <= size, "the input stands beyond its end");
  uint32_t produced = FileSize(output);

  // Into a memory block of exactly the produced size.
  if (produced <= MAX_COMPARED_OUTPUT) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[produced == 0 ? 1 : produced]);
    FileSeek(input, 0);
    bool inMemory = DecodeToMemory(block.get(), produced, input, 0);
    Require(inMemory == decoded, "memory and file decodes disagree");
    if (decoded) {
      Require(FileTell(input) == end, "memory decode ends elsewhere");
      Require(std::memcmp(block.get(), ReadAll(output, produced).get(), produced) == 0,
              "memory and file decodes differ");
    }
  }

  // Into a fixed 64 KiB block.
  std::unique_ptr<uint8_t[]> fixed(new uint8_t[FIXED_BLOCK_SIZE]);
  FileSeek(input, 0);
  bool fits = DecodeToMemory(fixed.get(), FIXED_BLOCK_SIZE, input, 0);
  Require(fits == (decoded && produced == FIXED_BLOCK_SIZE), "fixed block taken wrongly");

  // Passed over, unbounded and bounded by the stream's length.
  FileSeek(input, 0);
  Require(DecodeToFile(INVALID_FILE, input, 0) == decoded, "passing over disagrees");
  if (decoded) {
    Require(FileTell(input) == end, "passing over ends elsewhere");
    FileSeek(input, 0);
    Require(DecodeToFile(INVALID_FILE, input, end), "the stream fails within its own length");
    Require(FileTell(input) == end, "bounded passing over ends elsewhere");
  }
  return 0;
}
