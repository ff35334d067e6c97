// Writes a setup file: the stub with its ImageSize patched, the header blocks in the order
// they were added, BLOCK_END with the data size, and the data area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "builder/encoder/stream_encoder.h"
#include "builder/io/file_bytes.h"
#include "builder/io/put_fields.h"
#include "builder/setup/data_area_writer.h"
#include "builder/win32/default_templates.h"

// Finds the one ImageSize record in a built stub (the marker followed by the u32) and stores
// size there. Throws std::runtime_error when the stub is no PE file, or when the marker is
// missing from its image (its headers and sections) or occurs there more than once.
void PatchImageSize(std::vector<uint8_t>& stub, uint32_t size);

// Offset of the u32 behind the marker, searched in the image alone: in a setup file the
// archive behind the image never counts. Throws like PatchImageSize.
size_t FindImageSize(ByteView stub);

class ArchiveWriter {
 public:
  // The stub becomes the program image; ImageSize is patched to its length.
  explicit ArchiveWriter(std::vector<uint8_t> stub);

  // A block exactly as given: any tag, flags and payload (tests build odd archives this way).
  void AddRawBlock(uint16_t tag, uint16_t flags, const std::vector<uint8_t>& payload);
  void AddU16Block(uint16_t tag, uint16_t value);
  void AddU32Block(uint16_t tag, uint32_t value);

  // A loaded block: stored as is, or compressed (u32 decoded size, then one stream).
  void AddLoadedBlock(uint16_t tag, const std::vector<uint8_t>& content, bool compress,
                      int level = DEFAULT_COMPRESSION_LEVEL);
  // A NUL-terminated string as a loaded block.
  void AddStringBlock(uint16_t tag, const std::string& text, bool compress,
                      int level = DEFAULT_COMPRESSION_LEVEL);

  // BLOCK_PAGE_TEXTS: each list a u16 string count and its NUL-terminated strings, written
  // as u32 decoded size and one stream per list.
  void AddPageTexts(const std::vector<std::vector<std::string>>& lists,
                    int level = DEFAULT_COMPRESSION_LEVEL);

  // BLOCK_DIALOG_TEMPLATES holding the default templates, the closing page with or without
  // its web button.
  void AddDefaultTemplates(bool compress, int level = DEFAULT_COMPRESSION_LEVEL, WebButton web = WebButton::WITH);

  // A picture block (BLOCK_WIZARD_IMAGE or BLOCK_BACKGROUND_IMAGE) holding the whole BMP
  // file. Throws std::invalid_argument for another tag, std::runtime_error naming what
  // ValidatePicture refuses.
  void AddPicture(uint16_t tag, const std::vector<uint8_t>& bmp, bool compress,
                  int level = DEFAULT_COMPRESSION_LEVEL);

  // The data area that follows BLOCK_END in the setup file.
  void SetDataArea(std::vector<uint8_t> data);

  // The setup's files: BLOCK_FILE_TABLE, stored or compressed, and the data area made of
  // their streams (BuildFileArea, which throws for what the program could not hold; see
  // there for defaultDir). Replaces a data area set before. Returns the records as written.
  std::vector<FileRecord> AddFiles(const std::vector<FileInput>& files,
                                   const std::string& defaultDir, bool compress,
                                   int level = DEFAULT_COMPRESSION_LEVEL,
                                   const FileProgress& progress = {});

  // BLOCK_FILE_TABLE of records whose streams are written elsewhere (WriteFileArea); the
  // data area is then written behind SetupHead.
  void AddFileTable(const std::vector<FileRecord>& records, bool compress,
                    int level = DEFAULT_COMPRESSION_LEVEL);

  // The setup file up to its data: stub, blocks, BLOCK_END and the data size field, for a
  // setup file that holds firstVolumeSize bytes of the data area.
  std::vector<uint8_t> SetupHead(uint32_t firstVolumeSize) const;

  // The whole setup file, holding the whole data area.
  std::vector<uint8_t> Finish() const;

  // The setup file and its continuation volumes, each holding volumeDataSize bytes of the
  // data area at most (SplitDataArea): element 0 is the setup file, element n the file
  // named VolumeFileName(setupPath, n). A data area that fits gives Finish() alone.
  std::vector<std::vector<uint8_t>> FinishVolumes(uint32_t volumeDataSize) const;

 private:
  // SetupHead and the first volume's data.
  std::vector<uint8_t> SetupFile(const std::vector<uint8_t>& firstVolume) const;

  std::vector<uint8_t> image_;
  std::vector<uint8_t> blocks_;
  std::vector<uint8_t> data_;
};

// One page-text list in its decoded form: u16 count, then the strings.
std::vector<uint8_t> PageTextList(const std::vector<std::string>& strings);
