// lodrun extract and lodrun verify: every stream of a setup decoded through the program's
// own reader, into files or only checked.
#include <CLI/CLI.hpp>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "builder/commands.h"
#include "builder/data_area_writer.h"
#include "builder/record_check.h"
#include "builder/setup_reader.h"

namespace fs = std::filesystem;

const char EXTRACT_HELP[] =
    "Usage: lodrun extract SETUP.exe -C FOLDER\n"
    "Decodes every file of the setup into FOLDER (made when missing), keeping its subfolders,\n"
    "and checks each against its size and checksum. Files for the Windows, System and Fonts\n"
    "folders go into FOLDER/@windows, @system and @fonts. A file that does not check out is\n"
    "not left behind; a setup with two records of one target (as Windows compares names) is\n"
    "refused whole.\n"
    "\n"
    "  -C, --directory FOLDER   where to put the files\n";

const char VERIFY_HELP[] =
    "Usage: lodrun verify SETUP.exe\n"
    "Checks that every block of the setup loads, that every file record holds what the setup\n"
    "program can install (its name, destination, mode, shortcuts and version check, no two\n"
    "records of one target), that its volumes are present and their sizes add up, and that\n"
    "every file's stream decodes to its size and checksum. Exit code 0 only when all of it\n"
    "holds; otherwise one message per fault and exit code 1.\n";

namespace {

// The scratch folder's name in the extraction folder (mkdtemp's pattern), and how often a new
// one is tried when a record's name happens to take it.
constexpr char SCRATCH_PATTERN[] = ".lodrun-extract-XXXXXX";
constexpr int SCRATCH_ATTEMPTS = 8;

// The folder below the extraction folder for each destination but the installation folder.
const char* const DESTINATION_FOLDERS[] = {"", "@windows", "@system", "@fonts"};

struct SetupArguments {
  Arguments positionals;
  std::string setup, folder;
};

// The setup (and for extract the folder) taken from what the parser got; false after
// complaining.
bool CheckSetupArguments(SetupArguments* parsed, const char* command, bool wantsFolder) {
  if (!OnePositional(parsed->positionals, "setup", &parsed->setup)) return false;
  if (parsed->setup.empty() || (wantsFolder && parsed->folder.empty())) {
    Complain(std::string(command) + " needs " + (wantsFolder ? "a setup file and -C FOLDER" : "a setup file") +
             " (see lodrun " + command + " --help)");
    return false;
  }
  return true;
}

// The record's path below folder; empty when the name would leave it ("..", a root).
fs::path ExtractedPath(const fs::path& folder, const FileRecord& record) {
  fs::path path = folder / DESTINATION_FOLDERS[record.dirCode <= DIR_FONTS ? record.dirCode : 0];
  std::string part;
  const std::string name = record.name + "\\";
  for (char c : name) {
    if (c != '\\' && c != '/') {
      part += c;
      continue;
    }
    if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos) return {};
    path /= part;
    part.clear();
  }
  return path;
}

std::string Describe(const FileRecord& record, const DecodedFile& file) {
  if (!file.decoded) return record.name + ": its stream does not decode (damaged, or a volume is missing)";
  if (file.size != record.size) {
    return record.name + ": decoded to " + std::to_string(file.size) + " bytes, its record says " +
           std::to_string(record.size);
  }
  return record.name + ": its checksum is " + std::to_string(file.checksum) + ", its record says " +
         std::to_string(record.checksum);
}

// A folder of its own inside `folder` for the temporaries, named like no record's first
// part: no temporary can take a target's name. Empty when it cannot be made.
fs::path MakeScratchFolder(const fs::path& folder, const std::vector<FileRecord>& records) {
  for (int attempt = 0; attempt < SCRATCH_ATTEMPTS; ++attempt) {
    std::string pattern = (folder / SCRATCH_PATTERN).string();
    if (mkdtemp(&pattern[0]) == nullptr) return {};
    FileRecord scratch;
    scratch.name = fs::path(pattern).filename().string();
    const std::string key = TargetKey(scratch);
    bool taken = false;
    for (const FileRecord& record : records) {
      const std::string target = TargetKey(record);
      taken = taken || target == key || target.rfind(key + "\\", 0) == 0;
    }
    if (!taken) return pattern;
    fs::remove(pattern);
  }
  return {};
}

int Extract(SetupArguments parsed) {
  if (!CheckSetupArguments(&parsed, "extract", true)) return EXIT_USAGE;
  const std::string& setup = parsed.setup;
  const std::string& folder = parsed.folder;
  SetupSummary summary;
  if (!ReadSetupOrComplain(setup, &summary)) return EXIT_FAULT;
  // The files take their names as written, in UTF-8.
  const SetupSummary shown = AsWritten(summary);
  std::map<size_t, fs::path> targets;
  std::vector<size_t> extracted;
  int faults = 0;
  for (size_t i = 0; i < shown.records.size(); ++i) {
    const FileRecord& record = shown.records[i];
    if (!HasStream(record)) continue;
    const fs::path target = ExtractedPath(folder, record);
    if (target.empty()) {
      Complain(record.name + ": a name that would leave the folder; not extracted");
      ++faults;
      continue;
    }
    targets[i] = target;
    extracted.push_back(i);
  }
  // Names the code page tells apart may still read alike as UTF-8 (bytes it leaves undefined).
  std::set<fs::path> paths;
  for (const auto& [index, target] : targets) {
    if (!paths.insert(target).second) {
      Complain(RecordLabel(shown.records, index) + " has the name of another record as UTF-8; nothing extracted");
      return EXIT_FAULT;
    }
  }
  // Two records of one target would leave one file under both names: nothing is extracted.
  // Compared as the program's Windows compares them: the setup's bytes in its code page.
  const std::vector<std::string> clashes = TargetClashes(summary.records, extracted, CodePageText(summary.codePage));
  for (const std::string& clash : clashes) Complain(clash + "; nothing extracted");
  if (!clashes.empty()) return EXIT_FAULT;
  std::error_code error;
  const bool madeFolder = fs::create_directories(folder, error);
  // Each file is decoded into the scratch folder and moved to its name once its checksum holds.
  const fs::path scratch = MakeScratchFolder(folder, summary.records);
  if (scratch.empty()) {
    Complain("cannot make a folder for the temporary files in " + folder);
    return EXIT_FAULT;
  }
  auto temporaryOf = [&](size_t index) { return (scratch / std::to_string(index)).string(); };
  // The streams come in table order: one file is open at a time.
  std::map<size_t, bool> written;
  size_t current = 0;
  FILE* file = nullptr;
  auto finish = [&] {
    if (file != nullptr) written[current] = std::fclose(file) == 0 && written[current];
    file = nullptr;
  };
  auto start = [&](size_t index) {
    finish();
    current = index;
    file = std::fopen(temporaryOf(index).c_str(), "wb");
    written[index] = file != nullptr;
  };
  auto write = [&](size_t index, const uint8_t* data, uint32_t count) {
    if (targets.count(index) == 0) return;
    if (written.count(index) == 0) start(index);
    if (file != nullptr && std::fwrite(data, 1, count, file) != count) written[index] = false;
  };
  std::string decodeError;
  const std::vector<DecodedFile> decoded = DecodeFiles(setup, summary, write, &decodeError);
  finish();
  if (!decodeError.empty()) {
    fs::remove_all(scratch, error);
    if (madeFolder) fs::remove(folder, error);  // nothing was extracted into it
    Complain(setup + ": " + decodeError);
    return EXIT_FAULT;
  }
  for (const DecodedFile& decodedFile : decoded) {
    const size_t index = decodedFile.index;
    if (targets.count(index) == 0) continue;
    if (written.count(index) == 0 && decodedFile.matches) {  // an empty file gives no bytes
      start(index);
      finish();
    }
    if (decodedFile.matches && written[index]) {
      fs::create_directories(targets[index].parent_path(), error);
      if (std::rename(temporaryOf(index).c_str(), targets[index].string().c_str()) == 0) {
        std::printf("%s\n", targets[index].string().c_str());
        continue;
      }
    }
    Complain(decodedFile.matches ? shown.records[index].name + ": cannot write " + targets[index].string()
                                 : Describe(shown.records[index], decodedFile));
    ++faults;
  }
  fs::remove_all(scratch, error);  // with the temporaries of the files that failed
  return faults == 0 ? EXIT_OK : EXIT_FAULT;
}

int Verify(SetupArguments parsed) {
  if (!CheckSetupArguments(&parsed, "verify", false)) return EXIT_USAGE;
  const std::string& setup = parsed.setup;
  SetupSummary summary;
  if (!ReadSetupOrComplain(setup, &summary)) return EXIT_FAULT;
  const CodePageText codePage(summary.codePage);
  const SetupSummary shown = AsWritten(summary);
  // The faults quote the records' bytes: shown in UTF-8, as the manifest wrote them.
  std::vector<std::string> faults;
  for (const std::string& fault : FileTableFaults(summary.records, summary.defaultDir, codePage)) {
    faults.push_back(codePage.Decode(fault));
  }
  if (!summary.appEntryFault.empty()) faults.push_back(summary.appEntryFault);
  for (std::string& fault : VolumeFaults(setup, summary)) faults.push_back(std::move(fault));
  std::string error;
  const std::vector<DecodedFile> decoded = DecodeFiles(setup, summary, {}, &error);
  if (!error.empty()) faults.push_back(setup + ": " + error);
  size_t good = 0;
  for (const DecodedFile& file : decoded) {
    if (file.matches) {
      ++good;
    } else {
      faults.push_back(Describe(shown.records[file.index], file));
    }
  }
  for (const std::string& fault : faults) Complain(fault);
  std::printf("%s: %zu of %zu files intact, %zu volume file%s, %s\n", setup.c_str(), good, decoded.size(),
              summary.volumes.size(), summary.volumes.size() == 1 ? "" : "s",
              faults.empty() ? "all checks passed"
                            : (std::to_string(faults.size()) + (faults.size() == 1 ? " fault" : " faults")).c_str());
  return faults.empty() ? EXIT_OK : EXIT_FAULT;
}

}  // namespace

Command AddExtractCommand(CLI::App& lodrun) {
  auto parsed = std::make_shared<SetupArguments>();
  CLI::App* extract = AddSubcommand(lodrun, "extract", "decode every file of a setup into a folder");
  extract->add_option("setup", parsed->positionals, "the setup file");
  extract->add_option("-C,--directory", parsed->folder, "where to put the files");
  return {extract, EXTRACT_HELP, [parsed] { return Extract(*parsed); }};
}

Command AddVerifyCommand(CLI::App& lodrun) {
  auto parsed = std::make_shared<SetupArguments>();
  CLI::App* verify = AddSubcommand(lodrun, "verify", "check every block and file of a setup");
  verify->add_option("setup", parsed->positionals, "the setup file");
  return {verify, VERIFY_HELP, [parsed] { return Verify(*parsed); }};
}
