// What the manifest and tool tests stand on: a scratch folder holding a manifest and the
// files it names (removed with everything in it by the destructor), a stand-in stub, and a
// run of the lodrun tool with its exit code and what it printed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "builder/manifest/manifest.h"
#include "support/fake_image.h"

namespace manifest_test {

namespace fs = std::filesystem;

class ManifestFolder {
 public:
  ManifestFolder() {
    char pattern[] = "/tmp/lodrun-manifest-XXXXXX";
    root = mkdtemp(pattern);
    Write("stub.exe", test_support::FakeImage());
  }
  ~ManifestFolder() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  ManifestFolder(const ManifestFolder&) = delete;
  ManifestFolder& operator=(const ManifestFolder&) = delete;

  std::string Path(const std::string& relative) const { return (root / relative).string(); }
  void Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
    fs::create_directories((root / relative).parent_path());
    std::ofstream out(root / relative, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  void Write(const std::string& relative, const std::string& text) const {
    Write(relative, std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::vector<uint8_t> Read(const std::string& relative) const { return ReadPath(root / relative); }
  static std::vector<uint8_t> ReadPath(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& relative) const { return fs::exists(root / relative); }
  // The names in the folder (not below it), sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Reads the manifest text, written as setup.toml; the problems formatted one per line.
  bool Read(const std::string& text, Manifest* manifest, std::string* problems) const {
    Write("setup.toml", text);
    std::vector<ManifestProblem> found;
    const bool read = ReadManifest(Path("setup.toml"), manifest, &found);
    problems->clear();
    for (const ManifestProblem& problem : found) *problems += FormatProblem("setup.toml", problem) + "\n";
    return read;
  }

  fs::path root;
};

// Bytes that compress a little and differ per seed.
inline std::vector<uint8_t> Content(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = uint8_t(i % 7 == 0 ? state >> 24 : seed + i % 13);
  }
  return bytes;
}

struct ToolRun {
  int code = -1;
  std::string output;  // standard output and standard error together
};

// Runs the built tool with these arguments (each quoted for the shell).
inline ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::string command = LODRUN_TOOL;
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  command += " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, got);
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The manifest tests' fixture: a manifest read in a folder of its own, expected to be good
// (no problem) or bad (its problems, one per line).
class ManifestReading : public testing::Test {
 protected:
  Manifest Good(const std::string& text) {
    Manifest manifest;
    std::string problems;
    EXPECT_TRUE(folder.Read(text, &manifest, &problems)) << problems;
    return manifest;
  }
  std::string Bad(const std::string& text) {
    Manifest manifest;
    std::string problems;
    EXPECT_FALSE(folder.Read(text, &manifest, &problems)) << text;
    return problems;
  }
  ManifestFolder folder;
};

}  // namespace manifest_test
