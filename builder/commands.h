// The subcommands of the lodrun tool. Each takes its own arguments (the command's name
// removed) and returns the process's exit code: 0 when all went well, 1 for a fault found
// in a setup or a failed write, 2 for wrong usage or a manifest with problems.
#pragma once

#include <string>
#include <vector>

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAULT = 1;
constexpr int EXIT_USAGE = 2;

using Arguments = std::vector<std::string>;

int BuildCommand(const Arguments& arguments, const std::string& programPath);
int ListCommand(const Arguments& arguments);
int ExtractCommand(const Arguments& arguments);
int VerifyCommand(const Arguments& arguments);

// Each command's help text, shown by "lodrun COMMAND --help".
extern const char BUILD_HELP[];
extern const char LIST_HELP[];
extern const char EXTRACT_HELP[];
extern const char VERIFY_HELP[];

// "lodrun: " + message on standard error.
void Complain(const std::string& message);

struct SetupSummary;
// Reads the setup that list, extract and verify work on; false after telling why not.
bool ReadSetupOrComplain(const std::string& setup, SetupSummary* summary);

// Whether arguments ask for the command's help.
bool AsksForHelp(const Arguments& arguments);
