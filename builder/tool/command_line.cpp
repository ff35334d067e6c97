// What the commands share: complaints, subcommands with their own help flag, the one
// positional argument, and the setup that list, extract and verify read.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "builder/setup/setup_reader.h"
#include "builder/tool/commands.h"

void Complain(const std::string& message) { std::fprintf(stderr, "lodrun: %s\n", message.c_str()); }

CLI::App* AddSubcommand(CLI::App& lodrun, const char* name, const char* description) {
  CLI::App* command = lodrun.add_subcommand(name, description);
  command->set_help_flag();
  command->add_flag("-h,--help", "show this command's help");
  return command;
}

bool OnePositional(const Arguments& given, const std::string& noun, std::string* out) {
  if (given.size() > 1) {
    Complain("one " + noun + " only; \"" + given[1] + "\" is one too many");
    return false;
  }
  if (!given.empty()) *out = given[0];
  return true;
}

bool ReadSetupOrComplain(const std::string& setup, SetupSummary* summary) {
  std::string error;
  if (ReadSetupSummary(setup, summary, &error)) return true;
  Complain(setup + ": " + error);
  return false;
}

bool CheckSetupArguments(SetupArguments* parsed, const char* command, bool wantsFolder) {
  if (!OnePositional(parsed->positionals, "setup", &parsed->setup)) return false;
  if (parsed->setup.empty() || (wantsFolder && parsed->folder.empty())) {
    Complain(std::string(command) + " needs " + (wantsFolder ? "a setup file and -C FOLDER" : "a setup file") +
             " (see lodrun " + command + " --help)");
    return false;
  }
  return true;
}

std::string DecodeFault(const FileRecord& record, const DecodedFile& file) {
  if (!file.decoded) return record.name + ": its stream does not decode (damaged, or a volume is missing)";
  if (file.size != record.size) {
    return record.name + ": decoded to " + std::to_string(file.size) + " bytes, its record says " +
           std::to_string(record.size);
  }
  return record.name + ": its checksum is " + std::to_string(file.checksum) + ", its record says " +
         std::to_string(record.checksum);
}
