// The checks before a build: the output's folder and names against the inputs, and the
// stored data area's size.
#include "builder/manifest/build_checks.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "builder/setup/data_area_writer.h"

namespace {

namespace fs = std::filesystem;

// A file as the system knows it, whatever names lead to it.
using FileIdentity = std::pair<dev_t, ino_t>;

bool IdentityOf(const std::string& path, FileIdentity* identity) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  *identity = {status.st_dev, status.st_ino};
  return true;
}

// Whether name (a name in the output's folder) is one that VolumeFileName gives for the
// output's name and some volume number.
bool IsVolumeName(const std::string& outputName, const std::string& name) {
  const std::string first = VolumeFileName(outputName, 1);
  const std::string prefix = first.substr(0, first.find_last_not_of("0123456789") + 1);
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string digits = name.substr(prefix.size());
  if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 10) return false;
  const unsigned long long n = std::strtoull(digits.c_str(), nullptr, 10);
  return n >= 1 && n <= INT_MAX && VolumeFileName(outputName, uint32_t(n)) == name;
}

// The output's folder: there, a folder, and one the build may make files in.
std::string FolderProblem(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) {
    return "the output's folder " + folder + " cannot be used: " + std::strerror(errno);
  }
  if (!S_ISDIR(status.st_mode)) return "the output's folder " + folder + " is not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return "the output's folder " + folder + " is not writable: " + std::strerror(errno);
  }
  return "";
}

}  // namespace

std::vector<std::string> OutputProblems(const std::string& output, const std::vector<std::string>& inputs) {
  const fs::path outputPath(output);
  const std::string folder = outputPath.has_parent_path() ? outputPath.parent_path().string() : ".";
  const std::string folderProblem = FolderProblem(folder);
  if (!folderProblem.empty()) return {folderProblem};
  std::vector<std::string> problems;
  std::error_code error;
  if (fs::is_directory(output, error)) problems.push_back("the output " + output + " is a folder; expected a file's name");
  std::set<FileIdentity> read;
  for (const std::string& input : inputs) {
    FileIdentity identity;
    if (IdentityOf(input, &identity)) read.insert(identity);
  }
  // The names the build writes, or removes as an earlier build's volumes, that are inputs.
  auto refuse = [&](const std::string& path) {
    FileIdentity identity;
    if (IdentityOf(path, &identity) && read.count(identity) != 0) {
      problems.push_back(path + " is a file that the build reads; expected an output that is none of its inputs");
    }
  };
  refuse(output);
  const std::string outputName = outputPath.filename().string();
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return problems;
  while (const dirent* entry = ::readdir(entries)) {
    if (IsVolumeName(outputName, entry->d_name)) refuse((fs::path(folder) / entry->d_name).string());
  }
  ::closedir(entries);
  return problems;
}

std::vector<std::string> BuildInputs(const Manifest& manifest, const std::vector<std::string>& programs) {
  std::vector<std::string> inputs = {manifest.path};
  inputs.insert(inputs.end(), manifest.otherInputs.begin(), manifest.otherInputs.end());
  for (const FileInput& file : manifest.files) {
    if (!file.source.empty()) inputs.push_back(file.source);
  }
  inputs.insert(inputs.end(), programs.begin(), programs.end());
  return inputs;
}

std::vector<ManifestProblem> StoredDataAreaProblems(const Manifest& manifest, int level) {
  if (level != 0) return {};
  uint64_t area = 0;
  for (size_t i = 0; i < manifest.files.size(); ++i) {
    const FileInput& file = manifest.files[i];
    if (!HasStream(file.record)) continue;
    area += StoredStreamSize(file.source.empty() ? file.content.size() : file.sourceSize);
    if (area < MAX_FIELD_VALUE) continue;
    ManifestProblem problem = manifest.fileOrigins.at(i);
    problem.message = "stored (level 0), the streams up to this file take " + std::to_string(area) +
                      " bytes, more than the data area's u32 size field holds; expected a level above 0 or fewer files";
    return {problem};
  }
  return {};
}
