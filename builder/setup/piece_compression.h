// The files' pieces read, summed and compressed on several threads at once, and handed out in
// table order: the data area's order and bytes are those of a build on one thread, and only
// a bounded number of pieces waits compressed at any time.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "builder/encoder/stream_encoder.h"
#include "builder/io/file_bytes.h"
#include "builder/setup/file_input.h"

// What a build uses for jobs = ALL_CORES: std::thread::hardware_concurrency, 1 when unknown.
unsigned AllCores();

// The pieces that a file's content is read and compressed in: one per STREAM_CHUNK_SIZE
// bytes begun, one for an empty file.
uint64_t PieceCount(const FileInput& file);

// One piece of a file, read and compressed.
struct CompressedPiece {
  size_t file = 0;          // its file's index among the inputs
  size_t size = 0;          // the content bytes it holds
  bool last = false;        // the file's last piece
  uint32_t checksum = 0;    // the file's checksum over its content up to the end of this piece
  std::vector<uint8_t> compressed;  // for StreamEncoder::AddCompressed; empty without a stream
};

// Reads the files' pieces in table order, one at a time (a source is read once, front to
// back), and compresses them on jobs threads, the caller's among them. Next hands them out in
// table order; a thread runs at most a few pieces ahead of the one taken.
class PieceCompression {
 public:
  // jobs: the threads to compress on, ALL_CORES for AllCores(). Throws std::invalid_argument
  // for a level outside 0 to 12.
  PieceCompression(const std::vector<FileInput>& files, int level, unsigned jobs);
  // Stops reading ahead and waits for the threads; nothing of theirs outlives it.
  ~PieceCompression();
  PieceCompression(const PieceCompression&) = delete;
  PieceCompression& operator=(const PieceCompression&) = delete;

  // The next piece in table order, compressing on the caller's thread while it waits. Throws
  // what reading or compressing that piece threw (std::runtime_error naming the source that
  // cannot be read, or has changed its size) and std::logic_error after the last piece.
  CompressedPiece Next();

 private:
  // A piece between being claimed and being taken.
  struct Slot {
    bool done = false;
    CompressedPiece piece;
    std::exception_ptr error;
  };
  // What a thread has claimed: the piece's number, and its bytes to compress.
  struct Claim {
    uint64_t number = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool compress = false;
  };

  // Nothing more will be claimed: stopped, failed, or every piece claimed.
  bool Finished() const;
  bool CanClaim() const;
  // Claims the next piece and reads it (into buffer for a source), mutex_ held; false, its
  // slot holding the error, when it cannot be read.
  bool ClaimNext(Claim& claim, std::vector<uint8_t>& buffer);
  // Claims, reads and compresses one piece; lock holds mutex_ on entry and on return.
  void Produce(std::unique_lock<std::mutex>& lock, PieceDeflater& compressor, std::vector<uint8_t>& buffer);
  void Work(PieceDeflater& compressor);
  void Stop();
  Slot& SlotOf(uint64_t number) { return slots_[number % slots_.size()]; }

  const std::vector<FileInput>& files_;
  uint64_t pieceTotal_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;  // a piece was claimed, finished or taken, or stop_ was set
  std::vector<Slot> slots_;          // the pieces from taken_ to claimed_, by number
  uint64_t claimed_ = 0;             // pieces claimed so far, in table order
  uint64_t taken_ = 0;               // pieces handed out by Next
  bool failed_ = false;              // a piece failed: nothing after it is claimed
  bool stop_ = false;
  // The reading position: the file and its bytes read, its checksum so far, its source.
  size_t readFile_ = 0;
  uint64_t readOffset_ = 0;
  uint32_t readChecksum_ = 0;
  std::unique_ptr<FilePieceReader> reader_;
  // One compressor per thread, the caller's first; the caller's buffer for its sources.
  std::vector<std::unique_ptr<PieceDeflater>> compressors_;
  std::vector<uint8_t> callerBuffer_;
  std::vector<std::thread> threads_;
};
