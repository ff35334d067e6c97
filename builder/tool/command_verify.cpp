// lodrun verify: every block of a setup loaded, every record checked and every stream
// decoded through the program's own reader, its faults told one by one.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "builder/io/code_page.h"
#include "builder/setup/record_check.h"
#include "builder/setup/setup_reader.h"
#include "builder/tool/commands.h"

const char VERIFY_HELP[] =
    "Usage: lodrun verify SETUP.exe\n"
    "Checks that every block of the setup loads, that every file record holds what the setup\n"
    "program can install (its name, destination, mode, shortcuts and version check, no two\n"
    "records of one target), that its volumes are present and their sizes add up, and that\n"
    "every file's stream decodes to its size and checksum. Exit code 0 only when all of it\n"
    "holds; otherwise one message per fault and exit code 1.\n";

namespace {

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
      faults.push_back(DecodeFault(shown.records[file.index], file));
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

Command AddVerifyCommand(CLI::App& lodrun) {
  auto parsed = std::make_shared<SetupArguments>();
  CLI::App* verify = AddSubcommand(lodrun, "verify", "check every block and file of a setup");
  verify->add_option("setup", parsed->positionals, "the setup file");
  return {verify, VERIFY_HELP, [parsed] { return Verify(*parsed); }};
}
