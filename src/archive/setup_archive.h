// The setup archive as loaded into memory, and its loader.
#pragma once

#include <cstdint>

#include "archive/archive_format.h"
#include "base/file_io.h"

// The image size, patched into the built program by the builder behind IMAGE_SIZE_MARKER;
// the setup file's first header block starts at this offset. 0 means that no archive is
// present.
uint32_t ImageSize();
void SetImageSize(uint32_t size);

// Status values of block loading.
enum LoadStatus : uint32_t {
  LOAD_OK = 0,
  LOAD_SHORT_READ = 1,       // a read came back short, or a stream did not decode
  LOAD_NO_MEMORY = 5,        // no memory for a loaded block
  LOAD_BAD_VALUE = 6,        // a raw value outside its range (a start page above 6), or a
                             // file table whose records do not lie inside its block
  LOAD_NO_TEXT_MEMORY = 12,  // no memory for a page-text list
};

struct PageTexts;  // u16 count, then the strings

struct SetupArchive {
  uint32_t SetupFlags{};
  uint8_t* wizardImage{};
  uint8_t* backgroundImage{};
  char* appName{};
  char* backgroundTitle{};
  PageTexts* pageTexts[PAGE_TEXT_LISTS]{};
  uint32_t dirRegRoot{};
  char* dirRegKey{};
  char* dirRegValue{};
  char* dirIniFile{};
  char* dirIniSection{};
  char* dirIniKey{};
  uint8_t* templates{};
  uint32_t templatesSize{};
  uint8_t* fileTable{};
  uint32_t fileCount{};
  uint8_t* firstEntry{};
  uint16_t startPage = START_PAGE_ALL;
  uint8_t* spare{};
  uint32_t installPacing = DEFAULT_INSTALL_PACING;  // BLOCK_INSTALL_PACING's u32
  uint8_t* appEntry{};        // BLOCK_APP_ENTRY, its texts checked (archive/app_entry.h)
  uint32_t DataAreaOffset{};  // file offset of BLOCK_END's data size field
  // The data area's reader (archive/data_area.h).
  FileHandle volumeFile = INVALID_FILE;  // the volume being read, once the data area is open
  uint32_t VolumeNumber{};    // 0 for the program file, n for the volume with suffix n
  uint32_t VolumeSize{};      // data size of the volume being read
  uint32_t DataRemaining{};   // bytes of that volume's data not yet read
  bool DataAreaOpen{};        // set once the data area opened; the progress page waits for it
};

extern SetupArchive Archive;

// Reads the archive from the file named by SourcePath (after ImageSize), fills Archive,
// and sets VolumePath to SourcePath. True when the program carries an archive (ImageSize is
// not 0) and the walk ended at BLOCK_END without an error. Blocks loaded before a failure
// stay loaded until FreeSetupArchive.
bool LoadSetupArchive();

// The same read, whatever ImageSize is, for a reader that wants to know what ended it (the
// builder's reader of built setups): the walk's status, LOAD_SHORT_READ when the file does
// not open or ends before ImageSize.
LoadStatus ReadSetupArchive();

// The walk itself, over a file that stands at the first block header: the status that
// ended it, LOAD_OK when it ended at BLOCK_END.
LoadStatus LoadArchiveBlocks(FileHandle file);

// Reads one block's payload into a fresh memory block. file stands at the payload's first
// byte; a compressed payload is a u32 decoded size and a stream that must decode to exactly
// that many bytes.
LoadStatus LoadBlockPayload(FileHandle file, uint16_t flags, uint32_t size, uint8_t** out);

// Frees every block of Archive and resets it to its empty state.
void FreeSetupArchive();
