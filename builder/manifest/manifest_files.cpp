// Reading the manifest's [[files]]: each record's fields in words, its source expanded into
// one record per file, the version block from the file's own version resource, and the
// checks over the whole set (one uninstall program, one file to open and one to run, no
// target named twice).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>

#include "builder/manifest/file_expansion.h"
#include "builder/manifest/manifest_reader.h"
#include "builder/setup/file_records.h"
#include "builder/setup/record_check.h"
#include "builder/win32/version_resource.h"

namespace manifest_reading {

namespace {

const std::vector<std::string> FILE_KEYS = {
    "source", "name", "destination", "mode", "shared", "register", "at_end", "check_version",
    "check_language", "uninstaller", "icon_index", "program_group", "desktop"};
const std::vector<std::string> GROUP_KEYS = {"folder", "shortcut", "arguments"};
const std::vector<std::string> DESKTOP_KEYS = {"shortcut", "arguments"};
const std::vector<std::string> UNINSTALLER_KEYS = {"name", "program_group", "desktop", "icon_index"};

// The group shortcut's icon index is a u16 field of the record.
constexpr int64_t MAX_ICON_INDEX = 0xFFFF;

// Whether a part of the name is "..": the file would land outside its destination.
bool LeavesItsFolder(const std::string& name) {
  size_t start = 0;
  for (;;) {
    const size_t end = name.find('\\', start);
    if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

}  // namespace

std::string NormalisedPath(std::string path) {
  path.resize(NormaliseNamePath(&path[0]));
  return path;
}

bool ManifestReader::CheckName(const toml::node& node, const std::string& key, const std::string& text, bool path) {
  const uint32_t length = uint32_t(text.size());
  const NameFault fault = path ? CheckNamePath(text.c_str(), length) : CheckNamePart(text.c_str(), length);
  if (fault == NAME_OK) return true;
  Problem(node, key, "\"" + Shown(text) + "\" " + NameProblem(fault));
  return false;
}

void ManifestReader::CheckShortcutName(const toml::node& node, const std::string& key, const std::string& name) {
  const std::string link = name + SHORTCUT_SUFFIX;
  const NameFault fault = CheckNamePart(link.c_str(), uint32_t(link.size()));
  if (fault != NAME_OK) Problem(node, key, "\"" + Shown(name) + "\" " + NameProblem(fault));
}

void ManifestReader::ReadFiles(const toml::node& files) {
  const toml::array* records = files.as_array();
  if (records == nullptr) {
    Problem(files, "files", "is not an array of tables; expected [[files]] sections");
    return;
  }
  for (size_t i = 0; i < records->size(); ++i) {
    const std::string key = "files[" + std::to_string(i) + "]";
    if (const toml::table* record = Table((*records)[i], key)) ReadFile(*record, key);
  }
}

void ManifestReader::AddUninstaller(const toml::table& top) {
  const toml::node* node = top.at_path("setup.uninstaller").node();
  if (node == nullptr) return;
  std::string name = DEFAULT_UNINSTALLER_NAME;
  FileInput input;
  if (node->is_boolean()) {
    if (!node->value<bool>().value_or(false)) return;
  } else if (node->is_string()) {
    if (!Encoded(*node, "setup.uninstaller", node->value<std::string>().value_or(""), &name)) return;
  } else if (const toml::table* table = node->as_table()) {
    // Its name and its shortcuts, as a file record has them.
    CheckKeys(*table, "setup.uninstaller", UNINSTALLER_KEYS);
    String(*table, "name", "setup.uninstaller", &name);
    ReadShortcuts(*table, "setup.uninstaller", &input.record);
  } else {
    Problem(*node, "setup.uninstaller",
            "is not a boolean, a string or a table; expected true, the program's file name, or a table of "
            "name and shortcuts");
    return;
  }
  // It finds the installation directory as its own folder.
  if (name.find_first_of("\\/") != std::string::npos) {
    Problem(*node, "setup.uninstaller",
            "\"" + Shown(name) + "\" is no plain file name; expected a name without a folder, as the uninstall program lies directly in the installation folder");
    return;
  }
  if (!CheckName(*node, "setup.uninstaller", name, false)) return;
  input.record.name = name;
  input.record.installMode = MODE_REMOVE;
  input.record.flags = FE_UNINSTALLER;
  try {
    CheckFileRecord(input.record, manifest.defaultDir);
  } catch (const std::exception& refusal) {
    Problem(*node, "setup.uninstaller", std::string(refusal.what()) + "; expected a shorter name");
    return;
  }
  // First in the table: it is in place before any other file, as it will be removed last.
  manifest.files.insert(manifest.files.begin(), std::move(input));
  AddFileOrigin(manifest.fileOrigins.begin(), node->source(), "setup.uninstaller");
  manifest.builtUninstaller = true;
}

bool ManifestReader::ReadShortcuts(const toml::table& record, const std::string& key, FileRecord* fields) {
  bool any = false;
  if (const toml::table* group = SubTable(record, "program_group", key, GROUP_KEYS)) {
    const std::string prefix = key + ".program_group";
    String(*group, "folder", prefix, &fields->groupFolder);
    String(*group, "arguments", prefix, &fields->groupArguments);
    if (!String(*group, "shortcut", prefix, &fields->groupShortcut) || fields->groupShortcut.empty()) {
      Problem(*group, prefix + ".shortcut", "is missing; expected the shortcut's name");
    } else {
      CheckShortcutName(*group->get("shortcut"), prefix + ".shortcut", fields->groupShortcut);
    }
    fields->groupFolder = NormalisedPath(fields->groupFolder);
    if (fields->groupFolder.empty()) {
      Problem(*group, prefix + ".folder", "is missing; expected the program group's folder name");
    } else {
      CheckName(group->get("folder") ? *group->get("folder") : *group, prefix + ".folder", fields->groupFolder, true);
    }
    any = true;
  }
  if (const toml::table* desktop = SubTable(record, "desktop", key, DESKTOP_KEYS)) {
    const std::string prefix = key + ".desktop";
    String(*desktop, "arguments", prefix, &fields->desktopArguments);
    if (!String(*desktop, "shortcut", prefix, &fields->desktopShortcut) || fields->desktopShortcut.empty()) {
      Problem(*desktop, prefix + ".shortcut", "is missing; expected the shortcut's name");
    } else {
      CheckShortcutName(*desktop->get("shortcut"), prefix + ".shortcut", fields->desktopShortcut);
    }
    any = true;
  }
  if (const toml::node* icon = record.get("icon_index")) {
    const int64_t index = icon->value<int64_t>().value_or(-1);
    if (!icon->is_integer() || index < 0 || index > MAX_ICON_INDEX) {
      Problem(*icon, key + ".icon_index", "expected a whole number from 0 to 65535");
    } else {
      fields->iconIndex = uint16_t(index);
    }
  }
  return any;
}

bool ManifestReader::LookAtSource(const toml::node& where, const std::string& key, const fs::path& path,
                                  FileInput* input) {
  std::error_code error;
  input->source = path.string();
  input->sourceSize = fs::file_size(path, error);
  if (error || ::access(input->source.c_str(), R_OK) != 0) {
    Problem(where, key, "\"" + input->source + "\" cannot be read (" +
                            (error ? error.message() : std::string(std::strerror(errno))) + "); expected a readable file");
    return false;
  }
  if (input->sourceSize >= MAX_FIELD_VALUE) {
    Problem(where, key, "\"" + input->source + "\" holds " + std::to_string(input->sourceSize) +
                            " bytes; a file of the setup holds fewer than 4 GiB (0xFFFFFFFF bytes), as its size field is a u32");
    return false;
  }
  return true;
}

void ManifestReader::AddVersionBlock(const toml::node& where, const std::string& key,
                                     const std::string& source, FileRecord* record) {
  FileVersionInfo info;
  std::string error;
  // Mapped: only the headers and the resource are read from the disk.
  bool read = false;
  try {
    read = ReadVersionInfo(MappedFile(source).Bytes(), &info, &error);
  } catch (const std::exception& failure) {
    error = failure.what();
  }
  if (!read) {
    Problem(where, key, "\"" + source + "\": " + error +
                            "; check_version and check_language need a file with a version resource");
    record->flags &= uint8_t(~FE_VERSION_BLOCK);
    return;
  }
  record->fileVersionMS = info.fileVersionMS;
  record->fileVersionLS = info.fileVersionLS;
  record->productVersionMS = info.productVersionMS;
  record->productVersionLS = info.productVersionLS;
  record->language = info.language;
}

FileRecord ManifestReader::ReadRecordFields(const toml::table& table, const std::string& key) {
  FileRecord fields;
  fields.installMode = MODE_REMOVE;
  Choice(table, "destination", key, DESTINATION_WORDS, &fields.dirCode);
  Choice(table, "mode", key, MODE_WORDS, &fields.installMode);
  Choice(table, "register", key, REGISTRATION_WORDS, &fields.registration);
  Choice(table, "at_end", key, END_ACTION_WORDS, &fields.endAction);
  bool flag = false;
  if (Boolean(table, "shared", key, &flag) && flag) fields.shared = 1;
  flag = false;
  if (Boolean(table, "check_version", key, &flag) && flag) fields.flags |= FE_VERSION_CHECK;
  flag = false;
  if (Boolean(table, "check_language", key, &flag) && flag) fields.flags |= FE_LANGUAGE_CHECK;
  flag = false;
  if (Boolean(table, "uninstaller", key, &flag) && flag) fields.flags |= FE_UNINSTALLER;
  return fields;
}

bool ManifestReader::ExpandRecordSource(const toml::table& table, const std::string& key, const RecordNaming& naming,
                                        FileRecord* fields, std::vector<ExpandedFile>* expanded, bool* single) {
  if (fields->installMode == MODE_EXTERNAL) {
    // The file lies beside the setup when it runs: nothing to read now, only its name.
    if (!naming.named && !naming.sourced) {
      Problem(table, key + ".name", "is missing; an external file needs the name it has beside the setup");
      return false;
    }
    if (HasVersionBlock(*fields)) {
      Problem(*table.get(fields->flags & FE_VERSION_CHECK ? "check_version" : "check_language"),
              key, "an external file is not installed, so it has no version to check; expected false");
      fields->flags &= uint8_t(~FE_VERSION_BLOCK);
    }
    expanded->push_back({"", naming.named ? std::string() : fs::path(naming.source).filename().string()});
    return true;
  }
  if (!naming.sourced) {
    if (table.get("source") == nullptr) {
      Problem(table, key + ".source", "is missing; expected the path of a file, a folder or a pattern");
    }
    return false;
  }
  std::string error;
  if (!ExpandSource(base, naming.source, expanded, single, &error)) {
    Problem(*table.get("source"), key + ".source", error);
    return false;
  }
  return true;
}

bool ManifestReader::AcceptRecord(const toml::table& table, const std::string& key, const RecordNaming& naming,
                                  const FileRecord& record) {
  if (LeavesItsFolder(record.name)) {
    Problem(*table.get(naming.named ? "name" : "source"), key,
            "\"" + Shown(record.name) + "\" has a \"..\" part; expected a name inside its destination folder");
    return false;
  }
  const toml::node& named = *table.get(naming.named ? "name" : naming.sourced ? "source" : "mode");
  if (!CheckName(named, key, record.name, true)) return false;
  // The uninstall program finds the installation folder as its own.
  if ((record.flags & FE_UNINSTALLER) != 0 &&
      (record.dirCode != DIR_INSTALL || record.name.find('\\') != std::string::npos)) {
    Problem(*table.get("uninstaller"), key + ".uninstaller",
            "\"" + Shown(record.name) + "\" is not directly in the installation folder; expected the uninstall "
            "program there (destination \"install\", a name without a folder), as it removes the files "
            "relative to its own folder");
    return false;
  }
  try {
    CheckFileRecord(record, manifest.defaultDir);
  } catch (const std::exception& refusal) {
    Problem(named, key, std::string(refusal.what()) + "; expected a name that the program's paths can hold");
    return false;
  }
  return true;
}

void ManifestReader::ReadFile(const toml::table& table, const std::string& key) {
  CheckKeys(table, key, FILE_KEYS);
  FileRecord fields = ReadRecordFields(table, key);
  const bool shortcuts = ReadShortcuts(table, key, &fields);
  RecordNaming naming;
  naming.named = String(table, "name", key, &naming.name);
  naming.sourced = SourceString(table, "source", key, &naming.source);
  std::vector<ExpandedFile> expanded;
  bool single = true;
  if (!ExpandRecordSource(table, key, naming, &fields, &expanded, &single)) return;
  if (shortcuts && expanded.size() > 1) {
    Problem(*table.get("source"), key, "the source gives " + std::to_string(expanded.size()) +
                                           " files, which would all make the same shortcuts; expected one file for a record with shortcuts");
  }
  for (const ExpandedFile& file : expanded) {
    FileInput input;
    input.record = fields;
    // A name taken from the file system is UTF-8 as the manifest is.
    std::string relative;
    if (!Encoded(*table.get(naming.sourced ? "source" : "name"), key + (naming.sourced ? ".source" : ".name"),
                 file.relative, &relative)) {
      continue;
    }
    const std::string& name = naming.name;
    input.record.name =
        NormalisedPath(naming.named ? (single || relative.empty() ? name : name + "\\" + relative) : relative);
    if (fields.installMode != MODE_EXTERNAL) {
      if (!LookAtSource(*table.get("source"), key + ".source", file.path, &input)) continue;
      if (HasVersionBlock(fields)) {
        AddVersionBlock(*table.get(fields.flags & FE_VERSION_CHECK ? "check_version" : "check_language"),
                        key, input.source, &input.record);
      }
    }
    if (!AcceptRecord(table, key, naming, input.record)) continue;
    manifest.files.push_back(std::move(input));
    AddFileOrigin(manifest.fileOrigins.end(), table.source(), key);
  }
}

void ManifestReader::CheckFileSet() {
  // The program takes one uninstall program, one file to open and one to start at the end.
  struct Single {
    const char* what;
    bool (*is)(const FileRecord&);
    bool seen;
  };
  Single singles[] = {
      {"a second uninstall program; expected uninstaller = true on one file only",
       [](const FileRecord& r) { return (r.flags & FE_UNINSTALLER) != 0; }, false},
      {"a second file to open at the end; expected at_end = \"open\" on one file only",
       [](const FileRecord& r) { return r.endAction == END_OPEN; }, false},
      {"a second file to run at the end; expected at_end = \"run\" on one file only",
       [](const FileRecord& r) { return r.endAction == END_RUN; }, false},
  };
  std::map<std::string, size_t> targets;
  for (size_t i = 0; i < manifest.files.size(); ++i) {
    const FileRecord& record = manifest.files[i].record;
    for (Single& single : singles) {
      if (!single.is(record)) continue;
      if (single.seen) FileProblem(i, single.what);
      single.seen = true;
    }
    const std::string target = TargetKey(record, codePage);
    const auto [first, added] = targets.emplace(target, i);
    if (!added) {
      FileProblem(i, "\"" + Shown(record.name) + "\" is installed by " + manifest.fileOrigins[first->second].key +
                  " already; expected each target once");
    }
  }
}

}  // namespace manifest_reading
