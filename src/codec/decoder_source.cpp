// The decoder's input source, its output sinks, and the two entry points through which the
// rest of the program decodes a stream.
#include <cstring>

#include "base/memory.h"
#include "codec/decoder.h"
#include "codec/decoder_internal.h"

MemorySink::MemorySink(uint8_t* destination, uint32_t capacity)
    : cursor(destination), room(capacity), overflowed(false) {}

bool MemorySink::IsReady() { return cursor != nullptr; }

void MemorySink::Write(const uint8_t* data, uint16_t count) {
  // Never past the block: what does not fit is dropped and the sink marked.
  uint32_t n = count;
  if (n > room) {
    overflowed = true;
    n = room;
  }
  if (n != 0) std::memcpy(cursor, data, n);
  cursor += n;
  room -= n;
}

FileSink::FileSink(FileHandle output) : file(output) {}

bool FileSink::IsReady() { return true; }

void FileSink::Write(const uint8_t* data, uint16_t count) {
  if (file == INVALID_FILE || failure.status != FILE_OK) return;
  failure.status = FileWrite(file, data, count);
  if (failure.status != FILE_OK) failure.systemError = FileSystemError();
}

void ReadInputChunk(DecoderInput& input) {
  uint32_t chunk = INPUT_BUFFER_SIZE;
  if (input.inputLimit != 0 && input.inputLimit < chunk) chunk = input.inputLimit;
  input.inputNext = input.inputBuffer;
  input.inputAvail = FileReadSome(input.inputFile, input.inputBuffer, chunk);
  if (input.inputLimit != 0) input.inputLimit -= chunk;
}

Decoder::Decoder()
    : DecoderInput{nullptr, nullptr, 0, INVALID_FILE, 0},
      refill(nullptr),
      inputReturned(0),
      sink(nullptr),
      tables(nullptr),
      fixedCodesBuilt(false),
      fixedLiteralBits(0),
      fixedDistBits(0),
      windowPos(0),
      bitBuffer(0),
      bitCount(0),
      window(nullptr) {}

Decoder::~Decoder() { CloseSource(); }

void Decoder::ResetSource() {
  inputBuffer = nullptr;
  inputNext = nullptr;
  inputAvail = 0;
  inputFile = INVALID_FILE;
  inputLimit = 0;
  refill = nullptr;
  inputReturned = 0;
}

bool Decoder::OpenSource(FileHandle file, uint32_t limit, InputRefill inputRefill) {
  if (file == INVALID_FILE) return false;
  if (!MemAllocZero(INPUT_BUFFER_SIZE, &inputBuffer)) return false;
  refill = inputRefill;
  inputAvail = 0;
  inputNext = inputBuffer;
  inputLimit = limit;
  inputReturned = 0;
  inputFile = file;
  return true;
}

void Decoder::CloseSource() {
  MemFree(inputBuffer);
  // Bytes read from the file but not used go back, so the file stands behind the stream.
  const uint32_t unused = inputAvail + inputReturned;
  if (inputFile != INVALID_FILE && unused != 0) FileSkip(inputFile, -int32_t(unused));
  ResetSource();
}

bool Decoder::NextInputByte(uint8_t* out) {
  if (inputAvail == 0) {
    if (refill == nullptr) return false;
    // A bounded source ends with its limit, and its refill is dropped then: a refill would
    // take a spent limit for none, and read bytes of whatever follows the stream.
    const bool bounded = inputLimit != 0;
    refill(*this);
    if (bounded && inputLimit == 0) refill = nullptr;
    if (inputAvail == 0) return false;
  }
  --inputAvail;
  *out = *inputNext++;
  return true;
}

void Decoder::ReturnHeldBytes() {
  // Lookups ask for a whole table width of bits and may have taken bytes past the stream's
  // last byte; those are the whole bytes still held.
  const uint32_t held = bitCount / 8;
  if (held == 0 || inputBuffer == nullptr) return;
  // The newest of them are in the buffer before inputNext; any older ones came with an
  // earlier refill and are returned through the file position alone.
  const uint32_t inBuffer = static_cast<uint32_t>(inputNext - inputBuffer);
  const uint32_t here = held < inBuffer ? held : inBuffer;
  inputNext -= here;
  inputAvail += here;
  inputReturned += held - here;
  bitCount -= held * 8;
  bitBuffer &= LowBitMask(bitCount);
}

namespace {

// The steps that both entry points share once the source is open: check the sink, decode
// one stream into it, close the source.
bool DecodeInto(Decoder& decoder, OutputSink& sink) {
  // A sink that cannot take bytes: nothing is read, and the source is closed when the
  // Decoder goes.
  if (!sink.IsReady()) return false;
  const DecodeResult result = decoder.DecodeStream(sink);
  decoder.CloseSource();
  return result == DECODE_OK;
}

}  // namespace

bool DecodeToMemory(uint8_t* destination, uint32_t size, FileHandle input, uint32_t limit,
                    InputRefill refill) {
  Decoder decoder;
  if (!decoder.OpenSource(input, limit, refill)) return false;
  MemorySink sink(destination, size);
  const bool decoded = DecodeInto(decoder, sink);
  // The stream must fill the block exactly: no byte short, none over.
  return decoded && sink.FilledExactly();
}

bool DecodeToFile(FileHandle output, FileHandle input, uint32_t limit, InputRefill refill,
                  WriteFailure* failure) {
  Decoder decoder;
  if (!decoder.OpenSource(input, limit, refill)) return false;
  FileSink sink(output);
  const bool decoded = DecodeInto(decoder, sink);
  if (failure != nullptr) *failure = sink.Failure();
  return decoded;
}
