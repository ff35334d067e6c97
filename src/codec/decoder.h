// The stream decoder: one coded stream (deflate with a 4-bit block header, its own block
// type numbers, a reordered code-length-code list and stored blocks without the length's
// complement) read from a file through a 4 KiB source and written to an output sink.
#pragma once

#include <cstdint>

#include "base/file_io.h"

// Results of the decoder's operations.
enum DecodeResult : uint32_t {
  DECODE_OK = 0,
  DECODE_BAD_DATA = 1,    // cut short, an incomplete code, or a symbol or count out of range
  DECODE_BAD_FORMAT = 2,  // a block type the format lacks, or an over-subscribed code
  DECODE_NO_MEMORY = 3,
};

constexpr uint32_t WINDOW_SIZE = 32768;        // LZ77 window; also the largest sink write
constexpr uint32_t INPUT_BUFFER_SIZE = 4096;   // input is read from the file in such pieces

// Where decoded bytes go. The decoder hands over at most WINDOW_SIZE bytes per Write.
class OutputSink {
 public:
  virtual bool IsReady() = 0;
  virtual void Write(const uint8_t* data, uint16_t count) = 0;

 protected:
  // Sinks are plain objects of their users, never deleted through this class.
  ~OutputSink() = default;
};

// Writes into a caller's memory block of a known capacity; bytes beyond it are not
// written and mark the sink as overflowed.
class MemorySink final : public OutputSink {
 public:
  MemorySink(uint8_t* destination, uint32_t capacity);
  bool IsReady() override;
  void Write(const uint8_t* data, uint16_t count) override;

  // Every byte of the block was written, and none was dropped.
  bool FilledExactly() const { return !overflowed && room == 0; }

 private:
  uint8_t* cursor;
  uint32_t room;    // bytes left in the block from cursor on
  bool overflowed;  // a Write brought more than room
};

// Writes into an open file, or drops the bytes when the file is the invalid handle.
// The first write of a FileSink that failed: its status and the system's reason.
struct WriteFailure {
  FileStatus status = FILE_OK;
  uint32_t systemError = 0;
};

class FileSink final : public OutputSink {
 public:
  explicit FileSink(FileHandle output);
  bool IsReady() override;
  // After a write has failed nothing more is written: the file is short, and the
  // failure's reason stays the first one.
  void Write(const uint8_t* data, uint16_t count) override;
  const WriteFailure& Failure() const { return failure; }

 private:
  FileHandle file;
  WriteFailure failure;
};

struct CodeEntry;
struct StreamTables;
class StreamBitReader;

// The decoder's input source: a buffer of INPUT_BUFFER_SIZE bytes over a borrowed file.
// A bounded source (inputLimit non-zero when opened) ends when its limit is spent.
struct DecoderInput {
  uint8_t* inputBuffer;
  uint8_t* inputNext;
  uint32_t inputAvail;
  FileHandle inputFile;
  uint32_t inputLimit;  // bytes of a bounded source not yet asked for; 0 = unbounded
};

// Refills the input buffer from its start once the decoder has used all of it: at most
// INPUT_BUFFER_SIZE bytes, and no more than inputLimit of a bounded source, which it lowers by
// the amount asked for. inputAvail = 0 afterwards means the input is exhausted. The reader of
// a setup's data area brings its own, which follows the data across volume files.
using InputRefill = void (*)(DecoderInput& input);

// The plain refill: one read from inputFile.
void ReadInputChunk(DecoderInput& input);

// Decodes streams from its source. The source's state is the DecoderInput part, which the
// refill sees; the rest is the decoder's own.
class Decoder : private DecoderInput {
 public:
  Decoder();
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Source over a borrowed file handle; limit 0 means unbounded.
  bool OpenSource(FileHandle file, uint32_t limit, InputRefill refill = ReadInputChunk);
  // Frees the buffer and moves the file back over input taken from it but not used,
  // so that the file stands directly behind the stream's last byte.
  void CloseSource();
  bool NextInputByte(uint8_t* out);

  // Decodes one whole stream from the source into output.
  DecodeResult DecodeStream(OutputSink& output);

  // Gives the whole bytes still held in the bit buffer back to the source, so that the
  // source stands directly behind the last byte that holds a used bit.
  void ReturnHeldBytes();

 private:
  friend class StreamBitReader;     // takes the bit buffer and input position into locals
  friend class FastBitReader;       // the fast loop's: checks a take-over against the buffer
  friend struct DecoderTestAccess;  // the tests that set up or check this state directly

  void ResetSource();
  DecodeResult DecodeStoredBlock();
  DecodeResult DecodeFixedBlock();
  DecodeResult DecodeDynamicBlock();
  DecodeResult ReadCodeLengths(const uint32_t* codeLengthLengths, uint32_t* lengths,
                               uint32_t count);
  DecodeResult DecodeSymbols(const CodeEntry* literals, const CodeEntry* distances,
                             uint32_t literalBits, uint32_t distBits);
  uint32_t DecodeSymbolsFast(StreamBitReader& caller, const CodeEntry* literals,
                             const CodeEntry* distances, uint32_t literalBits, uint32_t distBits,
                             uint32_t pos, DecodeResult* result);

  // Refills the input buffer; null when there is no source, or when a bounded one has
  // spent its limit (the bound itself is inputLimit being non-zero when opened).
  InputRefill refill;
  uint32_t inputReturned;  // bytes given back that are no longer in inputBuffer

  // Decoding state of the current stream.
  OutputSink* sink;
  StreamTables* tables;          // the codes' tables, taken once per stream
  bool fixedCodesBuilt;          // the tables hold the fixed codes (a dynamic block replaces them)
  uint32_t fixedLiteralBits;
  uint32_t fixedDistBits;
  uint32_t windowPos;
  uint32_t bitBuffer;
  uint32_t bitCount;
  uint8_t* window;
};

// Decodes the stream at the file's position into a block of `size` bytes. True when the
// stream ended correctly and filled the block exactly: a stream that yields fewer or more
// bytes than the block holds is refused (nothing is written past the block).
bool DecodeToMemory(uint8_t* destination, uint32_t size, FileHandle input, uint32_t limit,
                    InputRefill refill = ReadInputChunk);

// Decodes the stream at the file's position into output, or passes over it when output is
// the invalid handle. True when the stream ended correctly. With failure, the first write
// that failed is told there (a failure of the output is not one of the stream).
bool DecodeToFile(FileHandle output, FileHandle input, uint32_t limit,
                  InputRefill refill = ReadInputChunk, WriteFailure* failure = nullptr);
