// Making a setup from a manifest: the stub, the blocks of the manifest's settings, texts,
// pictures and files, the data area in one file or in volumes; and writing the files so
// that no part of one is ever left under its name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/manifest/manifest.h"
#include "builder/setup/data_area_writer.h"

struct BuildOptions {
  int level = DEFAULT_COMPRESSION_LEVEL;
  unsigned jobs = ALL_CORES;  // the threads that compress the files
  uint32_t volumeSize = 0;  // data bytes per volume; 0 keeps the whole data area in the setup file
  FileProgress progress;    // told after each file is compressed
  std::vector<uint8_t> uninstallImage;  // the uninstall program, when the manifest adds it
};

struct BuiltSetup {
  std::vector<uint8_t> head;              // the setup file before its data (SetupHead)
  std::vector<uint32_t> volumeDataSizes;  // data bytes of the setup file, then of volume 1, 2, ...
  std::vector<FileRecord> records;        // as written, sizes and checksums filled
  uint64_t contentBytes = 0;              // the files' bytes before compression
  uint64_t packedBytes = 0;               // their streams' bytes
};

// The setup's head and records; the data area, the files' streams, goes to data. Throws
// std::runtime_error naming what cannot be written (a file the program could not hold, a
// source that changed since the manifest was read, a stub or uninstall program without its
// image size record).
BuiltSetup BuildSetup(const Manifest& manifest, std::vector<uint8_t> stub, const BuildOptions& options,
                      ByteSink& data);

// The names of the setup's files: output, then VolumeFileName(output, n) for volume n.
std::vector<std::string> SetupFileNames(const std::string& output, size_t count);

// Writes the built setup, its data area taken from the spool, as output and its volumes
// (WriteFilesInPlace). Returns the bytes written.
uint64_t WriteSetup(const std::string& output, const BuiltSetup& built, const DataSpool& spool);

// What WriteFilesInPlace writes into names[index]; throws std::runtime_error when it cannot.
using FileContent = std::function<void(size_t index, ByteSink& out)>;
// Told before each rename with the number of renames done, and once more after the last
// before the stale volumes are removed; a test stops the process there.
using RenameStep = std::function<void(size_t renamesDone)>;

// Writes each file under a temporary name beside its target and flushes it and its folder
// to the disk; then renames them into place, the volumes first and the setup file
// (names[0]) last, so that an interrupted build leaves the old setup file, whose volumes
// verify tells apart when they are not all its own, or the whole new set. Volumes of an
// earlier build beyond the new ones are removed only after that. Throws
// std::runtime_error, with every temporary file removed and no target touched, when a
// write fails.
void WriteFilesInPlace(const std::vector<std::string>& names, const FileContent& content,
                       const RenameStep& beforeRename = {});
