// Fuzzes the decoder with arbitrary bytes as a stream, read from an in-memory file. Beyond
// crashes, overruns and endless loops it checks that the entry points agree: a stream that
// decodes into a file decodes into a memory block of exactly that size with the same bytes
// and leaves the input at the same place; a fixed 64 KiB block takes only a stream of
// exactly 64 KiB; passing over the stream, with or without its length as the limit, ends
// the same way.
//
// The output of one input is bounded: a first pass reads the input in small pieces and stops
// feeding it once the output has passed MAX_OUTPUT; the checks then run on the part it fed.
// A few bytes can expand to megabytes, and such inputs would otherwise take most of a run.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "codec/decoder.h"

namespace {

constexpr uint32_t FIXED_BLOCK_SIZE = 65536;

// The output bound: the fixed block and a window beyond it, so that streams on both sides of
// the block's size and window wraps are decoded whole.
constexpr uint32_t MAX_OUTPUT = FIXED_BLOCK_SIZE + WINDOW_SIZE;
// The first pass feeds PROBE_CHUNK bytes at a time and sees the output a window at a time:
// after its last look at the output (at most MAX_OUTPUT written, less than a window pending)
// the decoder has one more piece and the bytes still in its 32-bit bit buffer to decode.
constexpr uint32_t PROBE_CHUNK = 16;
constexpr uint32_t BIT_BUFFER_BYTES = 4;
// The most that one input byte yields: four 2-bit matches of 258 bytes (a 1-bit length code
// and a 1-bit distance code).
constexpr uint32_t MAX_EXPANSION = 4 * 258;
constexpr uint32_t MAX_BOUNDED_OUTPUT =
    MAX_OUTPUT + WINDOW_SIZE + (PROBE_CHUNK + BIT_BUFFER_BYTES) * MAX_EXPANSION;
// Outputs up to this size are compared with a memory decode; larger ones are only passed.
constexpr uint32_t MAX_COMPARED_OUTPUT = 1u << 20;
static_assert(MAX_OUTPUT > FIXED_BLOCK_SIZE && MAX_BOUNDED_OUTPUT <= MAX_COMPARED_OUTPUT,
              "the fixed block is within the bound, and every bounded output is compared");

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

// The first pass: how many of the input's bytes the decoder takes before its output passes
// MAX_OUTPUT. The refill is a plain function, so the pass's state is the file's own. It
// feeds the input from memory, without a system call per piece.
struct ProbeState {
  const uint8_t* data = nullptr;
  size_t size = 0;
  uint64_t produced = 0;  // bytes handed to the sink
  uint32_t fed = 0;       // input bytes handed to the decoder
  bool cut = false;       // the output passed the bound and the feeding stopped
};
ProbeState probe;

class CountingSink final : public OutputSink {
 public:
  bool IsReady() override { return true; }
  void Write(const uint8_t*, uint16_t count) override { probe.produced += count; }
};

void ProbeRefill(DecoderInput& input) {
  input.inputNext = input.inputBuffer;
  input.inputAvail = 0;
  if (probe.produced > MAX_OUTPUT) {
    probe.cut = true;
    return;
  }
  const size_t left = probe.size - probe.fed;
  input.inputAvail = left < PROBE_CHUNK ? uint32_t(left) : PROBE_CHUNK;
  if (input.inputAvail != 0) std::memcpy(input.inputBuffer, probe.data + probe.fed, input.inputAvail);
  probe.fed += input.inputAvail;
}

// The input's bytes that the checks run on: all of them, or those fed before the cut. The
// file stands at its end, so that closing the source steps back over unused bytes inside it.
size_t BoundedSize(FileHandle input, const uint8_t* data, size_t size) {
  probe = ProbeState{};
  probe.data = data;
  probe.size = size;
  FileSeek(input, static_cast<uint32_t>(size));
  Decoder decoder;
  Require(decoder.OpenSource(input, 0, ProbeRefill), "the probe's source did not open");
  CountingSink sink;
  decoder.DecodeStream(sink);
  decoder.CloseSource();
  return probe.cut ? probe.fed : size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FileHandle input = MemoryFile("fuzz-input");
  static const FileHandle output = MemoryFile("fuzz-output");
  if (size > 0xFFFFFFu) return 0;

  size = BoundedSize(input, data, size);

  // Into a file: the reference for the other entry points.
  Refill(input, data, size);
  Refill(output, nullptr, 0);
  bool decoded = DecodeToFile(output, input, 0);
  uint32_t end = FileTell(input);
  Require(end <= size, "the input stands beyond its end");
  uint32_t produced = FileSize(output);
  Require(produced <= MAX_BOUNDED_OUTPUT, "the output passed its bound");

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
