// The file records' checks: each field against what the builder writes and the program
// reads, and the targets compared as Windows compares names.
#include "builder/setup/record_check.h"

#include <map>
#include <stdexcept>

#include "archive/names.h"
#include "base/text_format.h"
#include "builder/setup/name_problem.h"
#include "builder/setup/record_words.h"

namespace {

constexpr uint32_t LANGUAGE_ID_MAX = 0xFFFF;  // the version block's language is a 16-bit id
constexpr uint8_t KNOWN_FLAGS = FE_UNINSTALLER | FE_VERSION_CHECK | FE_LANGUAGE_CHECK;
constexpr uint8_t SHARED_MAX = 1;
// The target key's destination of an external file: beside the setup, not one of the folders.
constexpr char BESIDE_THE_SETUP[] = "beside";

// One part of a name as Windows compares it; empty for a part that names no folder of its own.
std::string FoldedPart(std::string part, const CodePageText& codePage) {
  if (part == ".") return "";
  if (part != "..") {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  }
  return codePage.UpperName(part);
}

std::string NameFaultText(const std::string& text, NameFault fault) {
  return "\"" + text + "\" " + NameProblem(fault);
}

void CheckSetting(std::vector<std::string>& faults, const std::string& label, const char* what,
                  const WordTable& words, uint32_t value) {
  if (HasValue(words, value)) return;
  faults.push_back(label + ": its " + what + " is " + std::to_string(value) + ", none of " + Quoted(WordsOf(words)));
}

void CheckShortcut(std::vector<std::string>& faults, const std::string& label, const char* what,
                   const std::string& shortcut) {
  if (shortcut.empty()) return;
  const std::string link = shortcut + SHORTCUT_SUFFIX;  // the file the program saves
  const NameFault fault = CheckNamePart(link.c_str(), uint32_t(link.size()));
  if (fault != NAME_OK) faults.push_back(label + ": its " + what + " " + NameFaultText(shortcut, fault));
}

}  // namespace

std::string TargetKey(const FileRecord& record, const CodePageText& codePage) {
  std::string key = record.installMode == MODE_EXTERNAL ? BESIDE_THE_SETUP
                                                        : std::to_string(record.dirCode <= DIR_FONTS ? uint32_t(record.dirCode) : uint32_t(DIR_INSTALL));
  std::string part;
  for (size_t i = 0; i <= record.name.size(); ++i) {
    const char c = i < record.name.size() ? record.name[i] : '\\';
    if (c != '\\' && c != '/') {
      part += c;
      continue;
    }
    const std::string folded = FoldedPart(part, codePage);
    if (!folded.empty()) key += "\\" + folded;
    part.clear();
  }
  return key;
}

std::string RecordLabel(const std::vector<FileRecord>& records, size_t index) {
  return "\"" + records[index].name + "\" (file record " + std::to_string(index + 1) + ")";
}

std::vector<std::string> RecordFaults(const std::vector<FileRecord>& records, size_t index,
                                      const std::string& defaultDir) {
  const FileRecord& record = records[index];
  const std::string label = RecordLabel(records, index);
  std::vector<std::string> faults;
  const NameFault nameFault = CheckNamePath(record.name.c_str(), uint32_t(record.name.size()));
  if (nameFault != NAME_OK) {
    faults.push_back(label + ": its name " + NameFaultText(record.name, nameFault));
  } else {
    // What the program refuses when it installs: a target or shortcut path its buffers cannot hold.
    try {
      CheckFileRecord(record, defaultDir);
    } catch (const std::runtime_error& refusal) {
      faults.push_back(label + ": " + refusal.what());
    }
  }
  CheckSetting(faults, label, "destination", DESTINATION_WORDS, record.dirCode);
  CheckSetting(faults, label, "mode", MODE_WORDS, record.installMode);
  CheckSetting(faults, label, "registration", REGISTRATION_WORDS, record.registration);
  CheckSetting(faults, label, "action at the end", END_ACTION_WORDS, record.endAction);
  if (record.shared > SHARED_MAX) {
    faults.push_back(label + ": its shared field is " + std::to_string(record.shared) + ", expected 0 or 1");
  }
  if ((record.flags & ~KNOWN_FLAGS) != 0) {
    faults.push_back(label + ": its flags " + std::to_string(record.flags) + " hold bits the program does not know");
  }
  if (HasVersionBlock(record) && record.installMode == MODE_EXTERNAL) {
    faults.push_back(label + ": an external file is not installed, yet its record asks for a version check");
  }
  if (HasVersionBlock(record) && record.language > LANGUAGE_ID_MAX) {
    faults.push_back(label + ": its language " + std::to_string(record.language) + " is no 16-bit language id");
  }
  CheckShortcut(faults, label, "group shortcut", record.groupShortcut);
  CheckShortcut(faults, label, "desktop shortcut", record.desktopShortcut);
  if (!record.groupFolder.empty()) {
    const NameFault fault = CheckNamePath(record.groupFolder.c_str(), uint32_t(record.groupFolder.size()));
    if (fault != NAME_OK) faults.push_back(label + ": its program group " + NameFaultText(record.groupFolder, fault));
  }
  return faults;
}

std::vector<std::string> TargetClashes(const std::vector<FileRecord>& records, const std::vector<size_t>& indexes,
                                       const CodePageText& codePage) {
  std::vector<std::string> faults;
  std::map<std::string, size_t> files, folders;
  for (size_t index : indexes) {
    const std::string key = TargetKey(records[index], codePage);
    const auto [first, added] = files.emplace(key, index);
    if (!added) {
      faults.push_back(RecordLabel(records, first->second) + " and " + RecordLabel(records, index) +
                       " go to one target");
    }
    // Each folder that the target lies in, below its destination.
    size_t end = key.find('\\');
    while (end != std::string::npos && (end = key.find('\\', end + 1)) != std::string::npos) {
      folders.emplace(key.substr(0, end), index);
    }
  }
  for (const auto& [key, index] : files) {
    const auto folder = folders.find(key);
    if (folder == folders.end()) continue;
    faults.push_back(RecordLabel(records, index) + " is a file where " + RecordLabel(records, folder->second) +
                     " needs a folder of that name");
  }
  return faults;
}

std::vector<std::string> FileTableFaults(const std::vector<FileRecord>& records, const std::string& defaultDir,
                                         const CodePageText& codePage) {
  std::vector<std::string> faults;
  std::vector<size_t> all;
  for (size_t i = 0; i < records.size(); ++i) {
    for (std::string& fault : RecordFaults(records, i, defaultDir)) faults.push_back(std::move(fault));
    all.push_back(i);
  }
  for (std::string& fault : TargetClashes(records, all, codePage)) faults.push_back(std::move(fault));
  return faults;
}
