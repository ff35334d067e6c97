// The subcommands of the lodrun tool. Each adds its subcommand and options to the command
// line's parser and returns what runs it once the line is parsed; a run returns the
// process's exit code: 0 when all went well, 1 for a fault found in a setup or a failed
// write, 2 for wrong usage or a manifest with problems.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAULT = 1;
constexpr int EXIT_USAGE = 2;

using Arguments = std::vector<std::string>;

// A subcommand as the parser knows it: its parser, its help text and what runs it.
struct Command {
  CLI::App* parser = nullptr;
  const char* help = nullptr;
  std::function<int()> run;
};

Command AddBuildCommand(CLI::App& lodrun, const std::string& programPath);
Command AddListCommand(CLI::App& lodrun);
Command AddExtractCommand(CLI::App& lodrun);
Command AddVerifyCommand(CLI::App& lodrun);

// Each command's help text, shown by "lodrun COMMAND --help".
extern const char BUILD_HELP[];
extern const char LIST_HELP[];
extern const char EXTRACT_HELP[];
extern const char VERIFY_HELP[];

// "lodrun: " + message on standard error.
void Complain(const std::string& message);

// The subcommand's parser, its own help flag ("-h, --help", shown from the command's help
// text) taking the place of the parser's.
CLI::App* AddSubcommand(CLI::App& lodrun, const char* name, const char* description);

// The one positional argument a command takes (a noun such as "manifest") into *out, which
// stays empty when none was given; false after complaining when more than one was.
bool OnePositional(const Arguments& given, const std::string& noun, std::string* out);

struct SetupSummary;
// Reads the setup that list, extract and verify work on; false after telling why not.
bool ReadSetupOrComplain(const std::string& setup, SetupSummary* summary);

// What extract and verify take from the command line: the setup, and extract's folder.
struct SetupArguments {
  Arguments positionals;
  std::string setup, folder;
};

// The setup (and, wantsFolder, the folder) taken from what the parser got; false after
// complaining.
bool CheckSetupArguments(SetupArguments* parsed, const char* command, bool wantsFolder);

struct DecodedFile;
struct FileRecord;
// Why a decoded file does not match its record, in a sentence that names it.
std::string DecodeFault(const FileRecord& record, const DecodedFile& file);
