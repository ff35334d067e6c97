// Reading a built setup back with the program's own loader and decoder: its settings, its
// file records, and every file's stream decoded across the volumes, checked against the
// record's size and checksum.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/setup/app_entry.h"
#include "builder/setup/file_records.h"

struct SetupSummary {
  uint32_t imageSize = 0;   // the stub's bytes; the archive follows
  uint64_t fileSize = 0;    // the setup file's bytes
  uint32_t dataAreaOffset = 0;  // where BLOCK_END's data size field lies in the setup file
  uint32_t setupFlags = 0;
  uint16_t codePage = 0;  // of every text and name below, which hold the program's bytes
  std::string appName, defaultDir, backgroundTitle;
  uint16_t startPage = 0;
  uint32_t installPacing = 0;  // BLOCK_INSTALL_PACING, or the program's default without it
  bool wizardPicture = false, backgroundPicture = false;
  uint32_t dirRegRoot = 0;
  std::string dirRegKey, dirRegValue, dirIniFile, dirIniSection, dirIniKey;
  std::vector<FileRecord> records;
  AppEntry appEntry;          // BLOCK_APP_ENTRY; not present when the setup has none
  std::string appEntryFault;  // what does not hold in it (verify tells it), or empty
  std::vector<std::string> volumes;       // the continuation volumes' file names, present or not
  std::vector<uint64_t> volumeDataSizes;  // data bytes of the setup file and of each volume found
};

// Loads the setup at path with the program's loader. False with the reason when it is not
// a setup or its blocks do not load.
bool ReadSetupSummary(const std::string& path, SetupSummary* summary, std::string* error);

// The summary with its texts and names in UTF-8, as the manifest wrote them (from the
// summary's code page), for the tool's output and the names of the files it extracts.
SetupSummary AsWritten(const SetupSummary& summary);

// One file's stream as decoded: what came out, and whether it matched its record.
struct DecodedFile {
  size_t index = 0;      // in the file table
  uint64_t size = 0;     // bytes the stream gave
  uint32_t checksum = 0;
  bool decoded = false;  // the stream ended correctly
  bool matches = false;  // decoded, with the record's size and checksum
};

// Decodes the stream of every record that has one, in table order, across the volumes.
// write, when given, receives each file's bytes in pieces (index, data, count) as they are
// decoded. Returns one result per decoded record; error tells a data area that cannot be
// opened. Needs the summary of ReadSetupSummary for the same path.
using DecodedBytes = std::function<void(size_t index, const uint8_t* data, uint32_t count)>;
std::vector<DecodedFile> DecodeFiles(const std::string& path, const SetupSummary& summary,
                                     const DecodedBytes& write, std::string* error);

// The faults of the volumes: each one missing, and each whose size field does not fit its
// file; and a total of data that differs from the streams' sizes. Empty when all holds.
std::vector<std::string> VolumeFaults(const std::string& path, const SetupSummary& summary);
