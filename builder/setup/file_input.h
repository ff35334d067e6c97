// One file of the setup as the data area is made of it: its record and where its content
// comes from. The data area's writer and the pieces' compression both take these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/setup/file_records.h"

// One file of the setup: its record and its content, held in memory or read from source
// piece by piece. The builder fills the record's size, checksum and packedSize. A
// MODE_EXTERNAL file lies beside the setup: its content (the file that will lie there)
// gives size and checksum, and it has no stream.
struct FileInput {
  FileRecord record;
  std::vector<uint8_t> content;  // the bytes, when source is empty
  std::string source;            // else the file that holds them
  uint64_t sourceSize = 0;       // its size when the manifest was read; it must still have it
};

// True when the record's stream is in the data area (every mode but MODE_EXTERNAL).
inline bool HasStream(const FileRecord& record) { return record.installMode != MODE_EXTERNAL; }

// The threads a build compresses on when told ALL_CORES: one per core.
constexpr unsigned ALL_CORES = 0;
