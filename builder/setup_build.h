// Making a setup from a manifest: the stub, the blocks of the manifest's settings, texts,
// pictures and files, the data area in one file or in volumes; and writing the files so
// that no part of one is ever left under its name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/data_area_writer.h"
#include "builder/manifest.h"

struct BuildOptions {
  int level = DEFAULT_COMPRESSION_LEVEL;
  uint32_t volumeSize = 0;  // data bytes per volume; 0 keeps the whole data area in the setup file
  FileProgress progress;    // told after each file is compressed
  std::vector<uint8_t> uninstallImage;  // the uninstall program, when the manifest adds it
};

struct BuiltSetup {
  std::vector<std::vector<uint8_t>> files;  // the setup file, then volume 1, 2, ...
  std::vector<FileRecord> records;          // as written, sizes and checksums filled
  uint64_t contentBytes = 0;                // the files' bytes before compression
  uint64_t packedBytes = 0;                 // their streams' bytes
};

// The setup's bytes. Throws std::runtime_error naming what cannot be written (a file the
// program could not hold, a stub or uninstall program without its image size record).
BuiltSetup BuildSetup(const Manifest& manifest, std::vector<uint8_t> stub, const BuildOptions& options);

// The names of the setup's files: output, then VolumeFileName(output, n) for volume n.
std::vector<std::string> SetupFileNames(const std::string& output, size_t count);

// Writes each file under a temporary name beside its target, then renames them all into
// place once every one is written. Throws std::runtime_error, with every temporary file
// removed and no target touched, when a write fails. Volumes of an earlier build of the same
// setup beyond the new ones are removed after the renames, so that none is taken for a part
// of this one.
void WriteFilesInPlace(const std::vector<std::string>& names,
                       const std::vector<std::vector<uint8_t>>& contents);
