// The data area: each file's stream in table order, and its split into volumes. The setup
// file holds the first volume behind BLOCK_END; each further volume is a file of its own
// beside it (VolumeFileName), holding its u32 data size and then its data.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/encoder/stream_encoder.h"
#include "builder/io/file_bytes.h"
#include "builder/setup/file_input.h"
#include "builder/setup/file_records.h"

// The fewest bytes that a stored stream (level 0) of a content of size bytes takes: each
// stored block holds at most STREAM_MAX_STORED_LENGTH bytes behind its header and length.
uint64_t StoredStreamSize(uint64_t size);

// The file table and the data area that belong together.
struct FileArea {
  std::vector<FileRecord> records;  // the records as given, size, checksum and packedSize filled
  std::vector<uint8_t> dataArea;    // the streams of the records with data, in table order
};

// Fills each record and compresses each content at level into one stream, written to data
// piece by piece (STREAM_CHUNK_SIZE); the streams stand back to back without gaps. The pieces
// are compressed on jobs threads at once (PieceCompression), which gives the bytes of one
// thread. Returns the records as filled. Throws std::runtime_error naming the file for a
// record that CheckFileRecord refuses (defaultDir as there), for a content, stream or data
// area of 0xFFFFFFFF bytes or more and for a source that cannot be read or has changed its
// size: the first of them in table order. progress, when given, is told after each file with
// the record as filled.
using FileProgress = std::function<void(size_t filesDone, const FileRecord& record)>;
std::vector<FileRecord> WriteFileArea(const std::vector<FileInput>& files, const std::string& defaultDir,
                                      int level, ByteSink& data, const FileProgress& progress = {},
                                      unsigned jobs = ALL_CORES);

// WriteFileArea into memory.
FileArea BuildFileArea(const std::vector<FileInput>& files, const std::string& defaultDir,
                       int level = DEFAULT_COMPRESSION_LEVEL, const FileProgress& progress = {},
                       unsigned jobs = ALL_CORES);

// The data bytes of each volume when a data area of dataSize bytes is cut into volumes of
// volumeDataSize bytes, the last one holding the rest; at least one. Throws
// std::invalid_argument when volumeDataSize is 0.
std::vector<uint32_t> VolumeDataSizes(uint64_t dataSize, uint32_t volumeDataSize);

// Cuts the data area into volumes of volumeDataSize data bytes each (the size fields not
// counted), the last one holding the rest; cuts fall at any byte, also inside a stream.
// Always at least one volume, the first being the setup file's. Throws
// std::invalid_argument when volumeDataSize is 0.
std::vector<std::vector<uint8_t>> SplitDataArea(const std::vector<uint8_t>& data,
                                                uint32_t volumeDataSize);

// A continuation volume's file: its u32 data size, then its data.
std::vector<uint8_t> VolumeFile(const std::vector<uint8_t>& data);

// The name of continuation volume n (1 for the first file beside the setup): setupPath with
// its extension replaced by VOLUME_SUFFIX_FORMAT, or the suffix appended when its last part
// has no dot ("SETUP.EXE" and "SETUP" give "SETUP.D01"). Throws std::invalid_argument for
// n = 0, which is the setup file itself.
std::string VolumeFileName(const std::string& setupPath, uint32_t n);
