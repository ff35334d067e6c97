// Setups whose file records hold what the builder would not write: the builder makes the
// records and streams of the files, a test changes a record, and the table is written as
// changed, for verify and extract to meet.
#pragma once

#include <functional>

#include "builder/setup/archive_writer.h"
#include "support/manifest_folder.h"

namespace manifest_test {

// A file of the setup: its name and content.
struct SetupFile {
  std::string name;
  std::vector<uint8_t> content;
};

// Writes `setup` in folder: the files in order, each record changed by `change` (given the
// record and its index) after the builder filled it.
inline void WriteChangedSetup(const ManifestFolder& folder, const std::string& setup,
                              const std::vector<SetupFile>& files,
                              const std::function<void(FileRecord&, size_t)>& change = {}) {
  std::vector<FileInput> inputs;
  for (const SetupFile& file : files) {
    FileInput input;
    input.record.name = file.name;
    input.content = file.content;
    inputs.push_back(input);
  }
  FileArea area = BuildFileArea(inputs, "C:\\App", 0);
  if (change) {
    for (size_t i = 0; i < area.records.size(); ++i) change(area.records[i], i);
  }
  ArchiveWriter writer(folder.Read("stub.exe"));
  writer.AddStringBlock(BLOCK_DEFAULT_DIR, "C:\\App", false);
  writer.AddLoadedBlock(BLOCK_FILE_TABLE, FileTableContent(area.records), false);
  writer.SetDataArea(area.dataArea);
  folder.Write(setup, writer.Finish());
}

}  // namespace manifest_test
