// lodrun extract: every stream of a setup decoded through the program's own reader into
// files below a folder, each moved to its name only once its size and checksum hold.
#include <CLI/CLI.hpp>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "builder/io/code_page.h"
#include "builder/setup/file_input.h"
#include "builder/setup/record_check.h"
#include "builder/setup/setup_reader.h"
#include "builder/tool/commands.h"

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

namespace {

// The scratch folder's name in the extraction folder (mkdtemp's pattern), and how often a new
// one is tried when a record's name happens to take it.
constexpr char SCRATCH_PATTERN[] = ".lodrun-extract-XXXXXX";
constexpr int SCRATCH_ATTEMPTS = 8;

// The folder below the extraction folder for each destination but the installation folder.
const char* const DESTINATION_FOLDERS[] = {"", "@windows", "@system", "@fonts"};

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

// Where each record with a stream goes below folder, by index; a name that would leave the
// folder is told and counted in *faults.
std::map<size_t, fs::path> ExtractTargets(const SetupSummary& shown, const fs::path& folder, int* faults) {
  std::map<size_t, fs::path> targets;
  for (size_t i = 0; i < shown.records.size(); ++i) {
    const FileRecord& record = shown.records[i];
    if (!HasStream(record)) continue;
    const fs::path target = ExtractedPath(folder, record);
    if (target.empty()) {
      Complain(record.name + ": a name that would leave the folder; not extracted");
      ++*faults;
      continue;
    }
    targets[i] = target;
  }
  return targets;
}

// Whether two targets meet, told: names the code page tells apart may still read alike as
// UTF-8 (bytes it leaves undefined), and two records of one target, compared as the
// program's Windows compares them (the setup's bytes in its code page), would leave one file
// under both names.
bool TargetsMeet(const SetupSummary& summary, const SetupSummary& shown, const std::map<size_t, fs::path>& targets) {
  std::set<fs::path> paths;
  std::vector<size_t> indexes;
  for (const auto& [index, target] : targets) {
    if (!paths.insert(target).second) {
      Complain(RecordLabel(shown.records, index) + " has the name of another record as UTF-8; nothing extracted");
      return true;
    }
    indexes.push_back(index);
  }
  const std::vector<std::string> clashes = TargetClashes(summary.records, indexes, CodePageText(summary.codePage));
  for (const std::string& clash : clashes) Complain(clash + "; nothing extracted");
  return !clashes.empty();
}

// The decoded files' temporaries in the scratch folder, named by record index. The streams
// come in table order, so one is open at a time; each remembers whether all its bytes were
// written and closed.
class ScratchFiles {
 public:
  explicit ScratchFiles(fs::path folder) : folder_(std::move(folder)) {}
  ~ScratchFiles() { Close(); }
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  std::string PathOf(size_t index) const { return (folder_ / std::to_string(index)).string(); }

  // Appends to file index's temporary, made at its first bytes (closing the one before).
  void Write(size_t index, const uint8_t* data, uint32_t count) {
    if (written_.count(index) == 0) Open(index);
    if (file_ != nullptr && std::fwrite(data, 1, count, file_.get()) != count) written_[index] = false;
  }

  // Closes the open temporary; its file counts as written only when that succeeds.
  void Close() {
    if (file_ != nullptr) written_[current_] = std::fclose(file_.release()) == 0 && written_[current_];
  }

  // Whether file index's temporary holds all its bytes, closed; an empty file, which gave no
  // bytes, gets an empty temporary here.
  bool Complete(size_t index) {
    if (written_.count(index) == 0) {
      Open(index);
      Close();
    }
    return written_[index];
  }

 private:
  struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
  };

  void Open(size_t index) {
    Close();
    current_ = index;
    file_.reset(std::fopen(PathOf(index).c_str(), "wb"));
    written_[index] = file_ != nullptr;
  }

  fs::path folder_;
  std::map<size_t, bool> written_;
  size_t current_ = 0;
  std::unique_ptr<FILE, FileCloser> file_;
};

// Moves each decoded file that matches its record from its temporary to its target, printing
// the target; tells each that does not, or cannot be moved. The faults told.
int MoveIntoPlace(const std::vector<DecodedFile>& decoded, const SetupSummary& shown,
                  const std::map<size_t, fs::path>& targets, ScratchFiles& scratch) {
  int faults = 0;
  for (const DecodedFile& file : decoded) {
    const auto target = targets.find(file.index);
    if (target == targets.end()) continue;
    if (file.matches && scratch.Complete(file.index)) {
      std::error_code error;
      fs::create_directories(target->second.parent_path(), error);
      if (std::rename(scratch.PathOf(file.index).c_str(), target->second.string().c_str()) == 0) {
        std::printf("%s\n", target->second.string().c_str());
        continue;
      }
    }
    const FileRecord& record = shown.records[file.index];
    Complain(file.matches ? record.name + ": cannot write " + target->second.string() : DecodeFault(record, file));
    ++faults;
  }
  return faults;
}

int Extract(SetupArguments parsed) {
  if (!CheckSetupArguments(&parsed, "extract", true)) return EXIT_USAGE;
  const std::string& setup = parsed.setup;
  const std::string& folder = parsed.folder;
  SetupSummary summary;
  if (!ReadSetupOrComplain(setup, &summary)) return EXIT_FAULT;
  // The files take their names as written, in UTF-8.
  const SetupSummary shown = AsWritten(summary);
  int faults = 0;
  const std::map<size_t, fs::path> targets = ExtractTargets(shown, folder, &faults);
  if (TargetsMeet(summary, shown, targets)) return EXIT_FAULT;
  std::error_code error;
  const bool madeFolder = fs::create_directories(folder, error);
  // Each file is decoded into the scratch folder and moved to its name once its checksum holds.
  const fs::path scratchFolder = MakeScratchFolder(folder, summary.records);
  if (scratchFolder.empty()) {
    Complain("cannot make a folder for the temporary files in " + folder);
    return EXIT_FAULT;
  }
  ScratchFiles scratch(scratchFolder);
  auto write = [&](size_t index, const uint8_t* data, uint32_t count) {
    if (targets.count(index) != 0) scratch.Write(index, data, count);
  };
  std::string decodeError;
  const std::vector<DecodedFile> decoded = DecodeFiles(setup, summary, write, &decodeError);
  scratch.Close();
  if (decodeError.empty()) faults += MoveIntoPlace(decoded, shown, targets, scratch);
  fs::remove_all(scratchFolder, error);  // with the temporaries of the files that failed
  if (!decodeError.empty()) {
    if (madeFolder) fs::remove(folder, error);  // nothing was extracted into it
    Complain(setup + ": " + decodeError);
    return EXIT_FAULT;
  }
  return faults == 0 ? EXIT_OK : EXIT_FAULT;
}
}  // namespace

Command AddExtractCommand(CLI::App& lodrun) {
  auto parsed = std::make_shared<SetupArguments>();
  CLI::App* extract = AddSubcommand(lodrun, "extract", "decode every file of a setup into a folder");
  extract->add_option("setup", parsed->positionals, "the setup file");
  extract->add_option("-C,--directory", parsed->folder, "where to put the files");
  return {extract, EXTRACT_HELP, [parsed] { return Extract(*parsed); }};
}
