// Expanding a file source of the manifest.
#include "builder/manifest/file_expansion.h"

#include <fnmatch.h>

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& text) { return text.find_first_of("*?[") != std::string::npos; }

// Every regular file below folder, relative to it, sorted.
std::vector<ExpandedFile> FilesBelow(const fs::path& folder) {
  std::vector<ExpandedFile> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) {
      files.push_back({it->path(), fs::relative(it->path(), folder, error).generic_string()});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const ExpandedFile& a, const ExpandedFile& b) { return a.relative < b.relative; });
  return files;
}

}  // namespace

bool ExpandSource(const fs::path& base, const std::string& source, std::vector<ExpandedFile>* files,
                  bool* single, std::string* error) {
  files->clear();
  *single = false;
  std::error_code failure;
  if (source.empty()) {
    *error = "is empty; expected the path of a file, a folder or a pattern";
    return false;
  }
  if (!HasWildcard(source)) {
    const fs::path path = base / source;
    if (fs::is_regular_file(path, failure)) {
      files->push_back({path, path.filename().string()});
      *single = true;
      return true;
    }
    if (fs::is_directory(path, failure)) {
      *files = FilesBelow(path);
      if (files->empty()) *error = "the folder \"" + path.string() + "\" holds no file; expected one with files";
      return !files->empty();
    }
    *error = "\"" + path.string() + "\" does not exist; expected a file, a folder or a pattern, relative to the manifest";
    return false;
  }
  // The leading parts without wildcards name the folder that the pattern's rest is matched in.
  const fs::path pattern = fs::path(source);
  fs::path folder = base;
  fs::path rest;
  bool fixed = true;
  for (const fs::path& part : pattern) {
    if (fixed && !HasWildcard(part.string())) {
      folder /= part;
    } else {
      fixed = false;
      rest /= part;
    }
  }
  for (const ExpandedFile& file : FilesBelow(folder)) {
    if (fnmatch(rest.generic_string().c_str(), file.relative.c_str(), FNM_PATHNAME | FNM_PERIOD) == 0) {
      files->push_back(file);
    }
  }
  if (files->empty()) *error = "the pattern \"" + source + "\" matches no file; expected one that matches at least one";
  return !files->empty();
}
