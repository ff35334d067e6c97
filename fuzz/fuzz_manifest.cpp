// Fuzzes the manifest reader: the input is a manifest's text, written into a scratch folder
// that holds a few small files for its [[files]] sources, pictures and texts to name (a
// versioned program and DLL, two texts, a folder). Every input is either refused with at least
// one problem, each on a line the text has, or read without one; and a manifest read without
// one builds, stored (level 0) in memory, a setup that "lodrun verify" passes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/io/file_bytes.h"
#include "builder/manifest/build_checks.h"
#include "builder/manifest/manifest.h"
#include "builder/manifest/setup_build.h"
#include "builder/tool/commands.h"
#include "support/fake_image.h"
#include "support/minimal_pe.h"
#include "tool_command.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch;  // the folder of this process, removed at exit

void RemoveScratch() {
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
}

void WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) {
  fs::create_directories((scratch / relative).parent_path());
  std::ofstream out(scratch / relative, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) {
    std::perror("fuzz_manifest: set-up failed");
    std::abort();
  }
}

std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

// The scratch folder with the sources the seeds name; returns the manifest's path.
std::string MakeScratch() {
  const char* dir = std::getenv("TMPDIR");
  scratch = fs::path(dir != nullptr ? dir : "/tmp") / ("lodrun-fuzz-manifest-" + std::to_string(getpid()));
  RemoveScratch();
  WriteFile("bin/app.exe", minimal_pe::MinimalPe(false));
  WriteFile("bin/shared.dll", minimal_pe::MinimalPe(true));
  WriteFile("readme.txt", Text("Read me.\r\n"));
  WriteFile("information.txt", Text("What this setup installs.\r\n"));
  WriteFile("Help/guide.txt", Text("The guide.\r\n"));
  WriteFile("Help/More/index.txt", Text("More help.\r\n"));
  std::atexit(RemoveScratch);
  return (scratch / "setup.toml").string();
}

// The lines of text as the TOML parser counts them: one more than its line feeds.
uint32_t LineCount(const uint8_t* data, size_t size) {
  uint32_t lines = 1;
  for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  return lines;
}

void Fail(const char* what, const ManifestProblem* problem = nullptr) {
  std::fprintf(stderr, "fuzz_manifest: %s\n", what);
  if (problem != nullptr) {
    std::fprintf(stderr, "  %s\n", FormatProblem("setup.toml", *problem).c_str());
  }
  std::abort();
}

// Builds the manifest stored, as "lodrun build --level=0" would, into one setup file in the
// scratch folder, and fails unless "lodrun verify" passes it.
void CheckBuildVerifies(const Manifest& manifest) {
  static const std::vector<uint8_t> image = test_support::FakeProgramImage();
  std::vector<ManifestProblem> problems = StoredDataAreaProblems(manifest, 0);
  if (!problems.empty()) return;  // refused at a line, as the reader's problems are
  BuildOptions options;
  options.level = 0;
  options.jobs = 1;
  if (manifest.builtUninstaller) options.uninstallImage = image;
  std::vector<uint8_t> setup;
  try {
    std::vector<uint8_t> data;
    VectorSink sink(data);
    const BuiltSetup built = BuildSetup(manifest, image, options, sink);
    setup = built.head;
    setup.insert(setup.end(), data.begin(), data.end());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "  the build: %s\n", error.what());
    Fail("a manifest read without a problem does not build");
  }
  const std::string path = (scratch / "setup.exe").string();
  WriteFile("setup.exe", setup);
  static ToolCommand verify(AddVerifyCommand);
  if (verify.Run({path}) != EXIT_OK) Fail("verify refuses the setup that the manifest builds");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = MakeScratch();
  static const Defines defines = {{"VERSION", "1.2"}, {"DIR", "bin"}};
  WriteFile("setup.toml", std::vector<uint8_t>(data, data + size));

  Manifest manifest;
  std::vector<ManifestProblem> problems;
  const bool read = ReadManifest(path, &manifest, &problems, defines);
  if (read != problems.empty()) Fail(read ? "read with problems" : "refused without a problem");
  const uint32_t lines = LineCount(data, size);
  for (const ManifestProblem& problem : problems) {
    if (problem.line < 1 || problem.line > lines) Fail("a problem on a line the text does not have", &problem);
    if (problem.message.empty()) Fail("a problem without a message", &problem);
  }
  if (!read) return 0;
  if (manifest.files.size() != manifest.fileOrigins.size()) Fail("a file without its origin");
  CheckBuildVerifies(manifest);
  return 0;
}
