// A manifest's file source expanded into files: one file, every file below a folder, or
// every file that a pattern with '*', '?' or '[...]' matches, in a stable order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ExpandedFile {
  std::filesystem::path path;
  std::string relative;  // below the folder or the pattern's fixed part, '/' between parts
};

// Expands source (relative to base, '/' between its parts). A file gives itself (relative:
// its name, single set); a folder every regular file below it; a pattern every regular file
// whose path below the pattern's leading folders without wildcards matches it part by part
// ('*' never crosses a '/'). Folders and patterns give their files sorted by relative path
// byte by byte, so that the order is the same on every machine. False with a reason when
// the source names nothing or matches no file.
bool ExpandSource(const std::filesystem::path& base, const std::string& source,
                  std::vector<ExpandedFile>* files, bool* single, std::string* error);
