// Reading the data area across volumes: the refill that follows the data from one volume
// into the next, and the opening of volumes with the prompt for the next disk.
#include "archive/data_area.h"

#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/session_paths.h"

namespace {

DiskPrompt AskForDisk = nullptr;

// A volume that opens but whose size field cannot be read is tried this many times at once
// before it counts as missing, and the prompt comes.
constexpr int SIZE_FIELD_TRIES = 3;
// ".D" and up to ten digits of a u32 volume number.
constexpr uint32_t VOLUME_SUFFIX_SIZE = 16;
constexpr uint32_t U32_DECIMAL_DIGITS = 10;
static_assert(2 + U32_DECIMAL_DIGITS + 1 <= VOLUME_SUFFIX_SIZE, "\".D\", digits, terminator");

// DataRemaining counts down with each read of the data and never below 0.
void CountOff(uint32_t bytes) {
  Archive.DataRemaining -= bytes < Archive.DataRemaining ? bytes : Archive.DataRemaining;
}

// The offset of the current volume's size field: behind BLOCK_END's header in the
// program file, at the start of a volume file.
uint32_t SizeFieldOffset() { return Archive.VolumeNumber == 0 ? Archive.DataAreaOffset : 0; }

// Reads the size field of the opened volume; the file then stands at its first data byte.
bool ReadVolumeSize(FileHandle file) {
  const uint32_t at = SizeFieldOffset();
  uint8_t field[VOLUME_SIZE_FIELD];
  if (FileSeek(file, at) != at || FileRead(file, field, sizeof field) != FILE_OK) return false;
  Archive.VolumeSize = LoadU32LE(field);
  Archive.DataRemaining = Archive.VolumeSize;
  return true;
}

// Moves the opened volume behind the skip bytes of data already consumed. A volume that
// does not hold them (a shorter file in the drive) cannot continue the data.
bool SkipConsumed(FileHandle file, uint32_t skip) {
  const uint32_t start = SizeFieldOffset() + VOLUME_SIZE_FIELD;
  const uint32_t size = FileSize(file);
  if (skip > Archive.VolumeSize || size == FILE_BAD_POSITION || size < start ||
      size - start < skip || FileSeek(file, start + skip) != start + skip) {
    Archive.VolumeSize = 0;
    Archive.DataRemaining = 0;
    return false;
  }
  Archive.DataRemaining = Archive.VolumeSize - skip;  // the skipped bytes were counted before
  return true;
}

// Opens VolumePath and reads its size field, retrying a field that cannot be read a few
// times; the invalid handle when it does not open or its field stays unreadable.
FileHandle OpenVolumeFile() {
  for (int attempt = 0; attempt < SIZE_FIELD_TRIES; ++attempt) {
    FileHandle file = FileOpen(VolumePath, OPEN_READ);
    if (file == INVALID_FILE) return INVALID_FILE;
    Archive.VolumeSize = 0;
    Archive.DataRemaining = 0;
    if (ReadVolumeSize(file)) return file;
    FileClose(file);
  }
  return INVALID_FILE;
}

}  // namespace

bool VolumeFileName(char* path, uint32_t number) {
  // VOLUME_SUFFIX_FORMAT by hand: ".D", then the number in at least two decimal digits.
  char digits[VOLUME_SUFFIX_SIZE];
  uint32_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0 || count < 2);
  char suffix[VOLUME_SUFFIX_SIZE] = {'.', 'D'};
  for (uint32_t i = 0; i < count; ++i) suffix[2 + i] = digits[count - 1 - i];
  suffix[2 + count] = '\0';
  return ReplaceExtension(path, suffix);
}

bool OpenFirstVolume(DiskPrompt prompt) {
  AskForDisk = prompt;
  CloseDataArea();
  Archive.VolumeNumber = 0;
  CopyPath(VolumePath, SourcePath);
  FileHandle file = FileOpen(VolumePath, OPEN_READ);
  if (file == INVALID_FILE) return false;
  const uint32_t firstData = Archive.DataAreaOffset + VOLUME_SIZE_FIELD;
  if (FileSeek(file, firstData) != firstData) {
    FileClose(file);
    return false;
  }
  Archive.volumeFile = file;
  Archive.DataAreaOpen = true;
  return true;
}

void CloseDataArea() {
  if (Archive.volumeFile != INVALID_FILE) FileClose(Archive.volumeFile);
  Archive.volumeFile = INVALID_FILE;
}

FileHandle OpenNextVolume() {
  CloseDataArea();
  uint32_t skip = 0;
  if (Archive.DataRemaining != 0) {
    skip = Archive.VolumeSize - Archive.DataRemaining;  // the same volume, reopened
  } else if (!VolumeFileName(VolumePath, ++Archive.VolumeNumber)) {
    return INVALID_FILE;
  }
  for (;;) {
    FileHandle file = OpenVolumeFile();
    if (file != INVALID_FILE) {
      if (skip != 0 && !SkipConsumed(file, skip)) {
        FileClose(file);
        return INVALID_FILE;
      }
      Archive.volumeFile = file;
      return file;
    }
    if (AskForDisk == nullptr || !AskForDisk(Archive.VolumeNumber + 1)) return INVALID_FILE;
  }
}

void RefillInput(DecoderInput& input) {
  if (input.inputLimit == 0) {  // a header block, not part of the data area
    ReadInputChunk(input);
    return;
  }
  const uint32_t chunk = input.inputLimit < INPUT_BUFFER_SIZE ? input.inputLimit
                                                              : INPUT_BUFFER_SIZE;
  if (input.inputFile == INVALID_FILE) {  // the reader gave up: the stream ends here
    input.inputLimit -= chunk;
    input.inputNext = input.inputBuffer;
    input.inputAvail = 0;
    return;
  }
  ReadInputChunk(input);
  CountOff(input.inputAvail);
  if (input.inputAvail == chunk) return;
  // The volume ran out (or its read failed): the rest of the chunk comes from the next
  // volumes. The whole chunk must arrive, as the source's limit was lowered by all of it:
  // a volume shorter than the rest of the chunk is followed by the one after it.
  while (input.inputAvail < chunk) {
    const uint32_t volume = Archive.VolumeNumber;
    input.inputFile = OpenNextVolume();
    if (input.inputFile == INVALID_FILE) {
      input.inputAvail = 0;  // what was read is dropped: the stream cannot be completed
      return;
    }
    const uint32_t more = FileReadSome(input.inputFile, input.inputBuffer + input.inputAvail,
                                       chunk - input.inputAvail);
    input.inputAvail += more;
    CountOff(more);
    // A reopened volume that gives nothing more cannot complete the stream.
    if (more == 0 && Archive.VolumeNumber == volume) return;
  }
}
