// Pieces claimed in table order under one lock (read and summed there, so that a source is
// read front to back once), compressed outside it, taken in table order. The lock's
// invariant: every piece from taken_ to claimed_ has its slot, and claimed_ never runs more
// than the slots' count ahead of taken_.
#include "builder/setup/piece_compression.h"

#include <algorithm>
#include <stdexcept>

#include "archive/checksum.h"

namespace {

// Slots per thread: enough that the threads go on while the piece to be taken next is still
// being compressed, few enough that the waiting pieces stay a few MiB per thread.
constexpr size_t PIECES_AHEAD_PER_THREAD = 3;
static_assert(STREAM_CHUNK_SIZE % CHECKSUM_WORD_SIZE == 0,
              "pieces of whole checksum words sum to the whole file's checksum");

uint64_t ContentSize(const FileInput& file) {
  return file.source.empty() ? file.content.size() : file.sourceSize;
}

}  // namespace

unsigned AllCores() { return std::max(1u, std::thread::hardware_concurrency()); }

uint64_t PieceCount(const FileInput& file) {
  return std::max<uint64_t>(1, (ContentSize(file) + STREAM_CHUNK_SIZE - 1) / STREAM_CHUNK_SIZE);
}

PieceCompression::PieceCompression(const std::vector<FileInput>& files, int level, unsigned jobs) : files_(files) {
  for (const FileInput& file : files) pieceTotal_ += PieceCount(file);
  const uint64_t threads =
      std::max<uint64_t>(1, std::min<uint64_t>(jobs == ALL_CORES ? AllCores() : jobs, pieceTotal_));
  slots_.resize(PIECES_AHEAD_PER_THREAD * threads);
  // Every compressor is made here, where a failure reaches the caller.
  for (uint64_t i = 0; i < threads; ++i) compressors_.push_back(std::make_unique<PieceDeflater>(level));
  try {
    for (uint64_t i = 1; i < threads; ++i) {
      threads_.emplace_back([this, compressor = compressors_[i].get()] { Work(*compressor); });
    }
  } catch (...) {
    Stop();
    throw;
  }
}

PieceCompression::~PieceCompression() { Stop(); }

void PieceCompression::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

bool PieceCompression::Finished() const { return stop_ || failed_ || claimed_ == pieceTotal_; }

bool PieceCompression::CanClaim() const { return !Finished() && claimed_ < taken_ + slots_.size(); }

bool PieceCompression::ClaimNext(Claim& claim, std::vector<uint8_t>& buffer) {
  claim.number = claimed_++;
  Slot& slot = SlotOf(claim.number);
  slot = Slot{};
  const FileInput& file = files_[readFile_];
  CompressedPiece& piece = slot.piece;
  piece.file = readFile_;
  if (readOffset_ == 0) readChecksum_ = CHECKSUM_START;
  try {
    if (file.source.empty()) {
      piece.size = size_t(std::min<uint64_t>(STREAM_CHUNK_SIZE, file.content.size() - readOffset_));
      piece.last = readOffset_ + piece.size == file.content.size();
      claim.data = file.content.data() + readOffset_;
    } else {
      if (readOffset_ == 0) reader_ = std::make_unique<FilePieceReader>(file.source, file.sourceSize);
      piece.last = reader_->Next(STREAM_CHUNK_SIZE, buffer);
      piece.size = buffer.size();
      claim.data = buffer.data();
    }
  } catch (...) {
    slot.error = std::current_exception();
    slot.done = true;
    failed_ = true;
    reader_.reset();
    return false;
  }
  // Every piece but a file's last is a whole number of the checksum's words.
  readChecksum_ = ChecksumUpdate(claim.data, uint32_t(piece.size), readChecksum_);
  piece.checksum = readChecksum_;
  claim.size = piece.size;
  claim.compress = HasStream(file.record);
  readOffset_ += piece.size;
  if (piece.last) {
    ++readFile_;
    readOffset_ = 0;
    reader_.reset();
  }
  return true;
}

void PieceCompression::Produce(std::unique_lock<std::mutex>& lock, PieceDeflater& compressor,
                               std::vector<uint8_t>& buffer) {
  Claim claim;
  if (ClaimNext(claim, buffer)) {
    lock.unlock();
    std::vector<uint8_t> compressed;
    std::exception_ptr error;
    try {
      if (claim.compress) compressor.Compress(claim.data, claim.size, compressed);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    Slot& slot = SlotOf(claim.number);
    slot.piece.compressed = std::move(compressed);
    slot.error = error;
    slot.done = true;
    if (error) failed_ = true;
  }
  changed_.notify_all();
}

void PieceCompression::Work(PieceDeflater& compressor) {
  std::vector<uint8_t> buffer;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return Finished() || CanClaim(); });
    if (Finished()) return;
    Produce(lock, compressor, buffer);
  }
}

CompressedPiece PieceCompression::Next() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (taken_ == pieceTotal_) throw std::logic_error("every piece has been taken");
  // Claimed pieces before taken_'s finish whatever happens, so this ends.
  while (taken_ == claimed_ || !SlotOf(taken_).done) {
    if (CanClaim()) {
      Produce(lock, *compressors_.front(), callerBuffer_);
    } else if (taken_ == claimed_) {
      throw std::logic_error("no piece follows one that failed");
    } else {
      changed_.wait(lock);
    }
  }
  Slot& slot = SlotOf(taken_++);
  const std::exception_ptr error = slot.error;
  CompressedPiece piece = std::move(slot.piece);
  slot = Slot{};
  lock.unlock();
  changed_.notify_all();
  if (error) std::rethrow_exception(error);
  return piece;
}
