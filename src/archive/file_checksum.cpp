// FileChecksum: the checksum of an open file from its current position, read in pieces.
#include "archive/file_checksum.h"

#include "archive/checksum.h"
#include "base/memory.h"

namespace {

// Every piece but the last is a whole number of words, so the pieces sum as one run.
constexpr uint32_t CHECKSUM_PIECE_SIZE = 16384;
static_assert(CHECKSUM_PIECE_SIZE % CHECKSUM_WORD_SIZE == 0, "pieces of whole words");

}  // namespace

uint32_t FileChecksum(FileHandle file) {
  const uint32_t size = FileSize(file);
  const uint32_t position = FileTell(file);
  if (size == FILE_BAD_POSITION || position == FILE_BAD_POSITION || position > size) return 0;
  uint8_t* piece = nullptr;
  if (!MemAlloc(CHECKSUM_PIECE_SIZE, &piece)) return 0;
  uint32_t state = CHECKSUM_START;
  for (uint32_t left = size - position; left > 0;) {
    const uint32_t n = left < CHECKSUM_PIECE_SIZE ? left : CHECKSUM_PIECE_SIZE;
    // A read that comes back short sums what it got and ends: the file was cut meanwhile.
    const uint32_t got = FileReadSome(file, piece, n);
    state = ChecksumUpdate(piece, got, state);
    if (got != n) break;
    left -= n;
  }
  MemFree(piece);
  return state;
}
