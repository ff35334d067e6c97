// Fuzzes the tool's readers of built setups against the program's own loader: the input is
// everything behind a small fake program image, as for fuzz_archive. The builder's
// ReadSetupSummary must load exactly what the program's LoadSetupArchive loads; "lodrun
// verify" may refuse more than the program (it decodes every stream) but never pass a setup
// the program cannot load; "lodrun extract" writes inside its folder only, and when it
// succeeds one file per record with a stream: no two records under one name.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/setup_archive.h"
#include "base/session_paths.h"
#include "builder/setup/data_area_writer.h"
#include "builder/setup/setup_reader.h"
#include "builder/tool/commands.h"
#include "support/fake_image.h"
#include "tool_command.h"

// As fuzz_archive: blocks above this size fail to allocate, as when memory runs out.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=64:allocator_may_return_null=1";
}

namespace {

namespace fs = std::filesystem;

fs::path scratch;  // this process's folder: the setup file and the extraction folder

void RemoveScratch() {
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_setup_reader: %s\n", what);
  std::abort();
}

void MakeScratch() {
  const char* dir = std::getenv("TMPDIR");
  scratch = fs::path(dir != nullptr ? dir : "/tmp") / ("lodrun-fuzz-setup-" + std::to_string(getpid()));
  RemoveScratch();
  fs::create_directories(scratch);
  std::atexit(RemoveScratch);
}

ToolCommand& Verify() {
  static ToolCommand verify(AddVerifyCommand);
  return verify;
}

ToolCommand& Extract() {
  static ToolCommand extract(AddExtractCommand);
  return extract;
}

// The program's loader on the setup file, its image size as the builder patched it.
bool ProgramLoads(const std::string& setup) {
  SetImageSize(uint32_t(test_support::FAKE_PROGRAM_SIZE));
  CopyPath(SourcePath, setup.c_str());
  const bool loaded = LoadSetupArchive();
  FreeSetupArchive();
  return loaded;
}

// Extracts into scratch/out; checks that nothing else appeared in scratch, and on success
// that every record with a stream has a file of its own.
void CheckExtract(const std::string& setup, const SetupSummary& summary) {
  const fs::path out = scratch / "out";
  const int code = Extract().Run({setup, "-C", out.string()});
  for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
    if (entry.path() != out && entry.path() != fs::path(setup)) Fail("extract wrote outside its folder");
  }
  size_t files = 0, streams = 0;
  if (fs::exists(out)) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(out)) {
      files += entry.is_regular_file();
    }
  }
  for (const FileRecord& record : summary.records) streams += HasStream(record);
  if (code == EXIT_OK && files != streams) Fail("extract succeeded without one file per record");
  std::error_code ignored;
  fs::remove_all(out, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> image = test_support::FakeProgramImage();
  if (scratch.empty()) MakeScratch();
  const std::string setup = (scratch / "setup.exe").string();
  {
    std::ofstream file(setup, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!file) Fail("cannot write the setup file");
  }
  // The builder's reader first: it allocates the path buffers that the program's loader uses.
  SetupSummary summary;
  std::string error;
  const bool builderLoads = ReadSetupSummary(setup, &summary, &error);
  const bool programLoads = ProgramLoads(setup);
  if (Verify().Run({setup}) == EXIT_OK && !programLoads) {
    Fail("verify passes a setup the program cannot load");
  }
  if (builderLoads != programLoads) {
    std::fprintf(stderr, "  the builder: %s\n", error.empty() ? "loads" : error.c_str());
    Fail(programLoads ? "the builder refuses a setup the program loads"
                      : "the builder loads a setup the program refuses");
  }
  if (programLoads) CheckExtract(setup, summary);
  return 0;
}
