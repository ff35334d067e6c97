// The manifest's reader, shared by the files that read its parts: the tables' known keys,
// the words of its choices, and the checks that turn a value into a field or a problem.
#pragma once

#include <toml++/toml.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "archive/names.h"
#include "builder/io/code_page.h"
#include "builder/io/file_bytes.h"
#include "builder/manifest/file_expansion.h"
#include "builder/manifest/manifest.h"
#include "builder/setup/name_problem.h"
#include "builder/setup/record_words.h"

namespace manifest_reading {

namespace fs = std::filesystem;

// The byte offset in source where the 1-based line and column (counted in characters) are,
// or npos when the source has no such place.
size_t SourceOffset(const std::string& source, uint32_t line, uint32_t column);
// The 1-based line and column (in characters) of byte offset in source.
std::pair<uint32_t, uint32_t> SourcePlace(const std::string& source, size_t offset);

// The text in lower case: Windows names are the same in any case.
std::string Lowered(std::string text);

// A relative path in the form the program stores: slashes as backslashes, no doubled
// separators and no "." parts.
std::string NormalisedPath(std::string path);

class ManifestReader {
 public:
  // source is the manifest's text, where a character that its code page cannot hold is found.
  ManifestReader(Manifest& manifest, std::vector<ManifestProblem>& problems, const std::string& source)
      : manifest(manifest), problems(problems), base(fs::path(manifest.path).parent_path()), source(source) {}

  // Reads the whole manifest: [setup], [texts] and [[files]].
  void Read(const toml::table& top);

 private:
  void Problem(const toml::source_region& where, const std::string& key, const std::string& message) {
    problems.push_back({uint32_t(where.begin.line), uint32_t(where.begin.column), key, message});
  }
  void Problem(const toml::node& node, const std::string& key, const std::string& message) {
    Problem(node.source(), key, message);
  }
  // A problem where files[i] was named.
  void FileProblem(size_t i, const std::string& message) {
    problems.push_back(manifest.fileOrigins[i]);
    problems.back().message = message;
  }
  void AddFileOrigin(std::vector<ManifestProblem>::iterator at, const toml::source_region& where, const std::string& key) {
    manifest.fileOrigins.insert(at, {uint32_t(where.begin.line), uint32_t(where.begin.column), key, ""});
  }
  static std::string Join(const std::string& prefix, std::string_view key) {
    return prefix.empty() ? std::string(key) : prefix + "." + std::string(key);
  }

  void CheckKeys(const toml::table& table, const std::string& prefix,
                 const std::vector<std::string>& known) {
    for (auto&& [key, node] : table) {
      const std::string name(key.str());
      if (std::find(known.begin(), known.end(), name) != known.end()) continue;
      const std::string nearest = NearestWord(name, known);
      Problem(key.source(), Join(prefix, name),
              "unknown key; " + (nearest.empty() ? "expected one of " + Quoted(known)
                                                 : "did you mean \"" + nearest + "\"?"));
    }
  }
  const toml::table* Table(const toml::node& node, const std::string& key) {
    const toml::table* table = node.as_table();
    if (table == nullptr) Problem(node, key, "is not a table; expected a table of keys");
    return table;
  }
  const toml::table* SubTable(const toml::table& table, const char* name, const std::string& prefix,
                              const std::vector<std::string>& known) {
    const toml::node* node = table.get(name);
    if (node == nullptr) return nullptr;
    const toml::table* sub = Table(*node, Join(prefix, name));
    if (sub != nullptr) CheckKeys(*sub, Join(prefix, name), known);
    return sub;
  }

  // The value of table.name into *out, as the manifest has it (UTF-8: the builder's own
  // paths); false (with a problem when it is there but of another type) when it is absent
  // or wrong.
  bool SourceString(const toml::table& table, const char* name, const std::string& prefix, std::string* out) {
    const toml::node* node = table.get(name);
    if (node == nullptr) return false;
    if (!node->is_string()) {
      Problem(*node, Join(prefix, name), "is not a string; expected text in quotes");
      return false;
    }
    *out = node->value<std::string>().value_or("");
    if (out->find('\0') != std::string::npos) {
      Problem(*node, Join(prefix, name), "holds a NUL character; expected text without one");
      return false;
    }
    return true;
  }
  // A text of the setup: the value of table.name in the setup's code page, as SourceString
  // otherwise.
  bool String(const toml::table& table, const char* name, const std::string& prefix, std::string* out) {
    std::string utf8;
    return SourceString(table, name, prefix, &utf8) && Encoded(*table.get(name), Join(prefix, name), utf8, out);
  }
  // utf8 in the setup's code page into *out; false with a problem at the character that the
  // code page cannot hold, found in the manifest from node on.
  bool Encoded(const toml::node& node, const std::string& key, const std::string& utf8, std::string* out);
  // A text of the setup as UTF-8 again, for messages.
  std::string Shown(const std::string& text) const { return codePage.Decode(text); }
  bool Boolean(const toml::table& table, const char* name, const std::string& prefix, bool* out) {
    const toml::node* node = table.get(name);
    if (node == nullptr) return false;
    if (!node->is_boolean()) {
      Problem(*node, Join(prefix, name), "is not a boolean; expected true or false");
      return false;
    }
    *out = node->value<bool>().value_or(false);
    return true;
  }
  template <typename T>
  bool Choice(const toml::table& table, const char* name, const std::string& prefix,
              const WordTable& choices, T* out) {
    std::string word;
    if (!SourceString(table, name, prefix, &word)) return false;
    uint32_t value = 0;
    if (ValueOf(choices, word, &value)) {
      *out = T(value);
      return true;
    }
    const std::string nearest = NearestWord(word, WordsOf(choices));
    Problem(*table.get(name), Join(prefix, name),
            "\"" + word + "\" is not known; expected " + Quoted(WordsOf(choices)) +
                (nearest.empty() ? "" : " (did you mean \"" + nearest + "\"?)"));
    return false;
  }
  // A path of the manifest's folder, which must name an existing file.
  bool SourceFile(const toml::table& table, const char* name, const std::string& prefix,
                  std::vector<uint8_t>* content) {
    std::string relative;
    if (!SourceString(table, name, prefix, &relative)) return false;
    const fs::path path = base / relative;
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
      Problem(*table.get(name), Join(prefix, name), "\"" + path.string() + "\" is not a file; expected the path of one, relative to the manifest");
      return false;
    }
    *content = ReadFileBytes(path);
    manifest.otherInputs.push_back(path.string());
    return true;
  }
  void NotTooLong(const toml::table& table, const char* name, const std::string& prefix,
                  const std::string& text) {
    if (text.size() >= PATH_BUFFER_SIZE) {
      Problem(*table.get(name), Join(prefix, name),
              "is " + std::to_string(text.size()) + " characters long; the program holds at most " +
                  std::to_string(MAX_PATH_LENGTH));
    }
  }

  void ReadCodePage(const toml::table& top);
  void ReadSetup(const toml::table& setup);
  void CheckAppName(const toml::node& node);
  void CheckDirectoryMacro(const toml::node& node);
  void ReadPicture(const toml::table& setup, const char* name, std::vector<uint8_t>* picture);
  void ReadStartPage(const toml::table& setup);
  // setup.name, a whole number of milliseconds from least to most, into *out.
  void ReadMilliseconds(const toml::table& setup, const char* name, uint16_t least, uint16_t most,
                        uint16_t* out);
  void ReadLookups(const toml::table& setup);
  // The installed programs' entry's texts; display_icon waits for the files (ResolveDisplayIcon).
  void ReadAppEntry(const toml::table& setup);
  void ResolveDisplayIcon();
  void ReadTexts(const toml::table& texts);
  void ReadFiles(const toml::node& files);
  void ReadFile(const toml::table& record, const std::string& key);
  // How a [[files]] record names its files: its name and source, where given.
  struct RecordNaming {
    bool named = false, sourced = false;
    std::string name, source;
  };
  // The record's settings in words: destination, mode, registration, end action and flags.
  FileRecord ReadRecordFields(const toml::table& record, const std::string& key);
  // The files the record stands for into *expanded: its source's, or an external file's
  // one name (whose version checks are refused and cleared); false after a problem.
  bool ExpandRecordSource(const toml::table& record, const std::string& key, const RecordNaming& naming,
                          FileRecord* fields, std::vector<ExpandedFile>* expanded, bool* single);
  // Whether one file's record can be installed: a name inside its folder that Windows
  // stores, an uninstall program directly in the installation folder, paths the program
  // holds; false after a problem.
  bool AcceptRecord(const toml::table& record, const std::string& key, const RecordNaming& naming,
                    const FileRecord& fileRecord);
  bool ReadShortcuts(const toml::table& record, const std::string& key, FileRecord* fields);
  // A problem at node when text is not a name Windows can store (a path of names when
  // path is true); true when it is one.
  bool CheckName(const toml::node& node, const std::string& key, const std::string& text, bool path);
  // A shortcut's name: its link file's name (name and SHORTCUT_SUFFIX) must be a name.
  void CheckShortcutName(const toml::node& node, const std::string& key, const std::string& name);
  void AddVersionBlock(const toml::node& where, const std::string& key, const std::string& source,
                       FileRecord* record);
  // The source's size into input (looked at, not read); false after a problem at where when
  // it cannot be read or is too large for the setup.
  bool LookAtSource(const toml::node& where, const std::string& key, const fs::path& path, FileInput* input);
  void AddUninstaller(const toml::table& top);
  void CheckFileSet();

  Manifest& manifest;  // what is read into
  std::vector<ManifestProblem>& problems;
  fs::path base;
  const std::string& source;
  CodePageText codePage;
  const toml::node* displayIcon = nullptr;  // [setup] display_icon, resolved once the files are read
};

}  // namespace manifest_reading
