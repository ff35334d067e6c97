// lodrun: makes setup programs from a manifest, and lists, extracts and verifies them.
#include <cstdio>
#include <cstring>

#include "builder/commands.h"
#include "builder/setup_reader.h"

namespace {

constexpr char USAGE[] =
    "Usage: lodrun COMMAND [ARGUMENTS]\n"
    "Makes Windows setup programs from a TOML manifest, and reads them back.\n"
    "\n"
    "Commands:\n"
    "  build MANIFEST.toml   make the setup file (and its volumes) that the manifest describes\n"
    "  list SETUP.exe        show a setup's settings and files\n"
    "  extract SETUP.exe     decode every file of a setup into a folder, checking each\n"
    "  verify SETUP.exe      check that every block loads and every file decodes intact\n"
    "\n"
    "Options:\n"
    "  -h, --help            show this help (\"lodrun COMMAND --help\" for a command's)\n"
    "  --version             show the version\n"
    "\n"
    "Exit codes: 0 success, 1 a fault in a setup or a failed write, 2 wrong usage or a\n"
    "manifest with problems. The manifest's format: docs/manifest.md.\n";

}  // namespace

bool AsksForHelp(const Arguments& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "-h" || argument == "--help") return true;
  }
  return false;
}

void Complain(const std::string& message) { std::fprintf(stderr, "lodrun: %s\n", message.c_str()); }

bool ReadSetupOrComplain(const std::string& setup, SetupSummary* summary) {
  std::string error;
  if (ReadSetupSummary(setup, summary, &error)) return true;
  Complain(setup + ": " + error);
  return false;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
  }
  const std::string command = argv[1];
  const Arguments arguments(argv + 2, argv + argc);
  if (command == "-h" || command == "--help" || command == "help") {
    std::fputs(USAGE, stdout);
    return EXIT_OK;
  }
  if (command == "--version" || command == "-V") {
    std::printf("lodrun %s\n", LODRUN_VERSION);
    return EXIT_OK;
  }
  struct Command {
    const char* name;
    const char* help;
  };
  const Command commands[] = {
      {"build", BUILD_HELP}, {"list", LIST_HELP}, {"extract", EXTRACT_HELP}, {"verify", VERIFY_HELP}};
  for (const Command& known : commands) {
    if (command != known.name) continue;
    if (AsksForHelp(arguments)) {
      std::fputs(known.help, stdout);
      return EXIT_OK;
    }
    if (command == "build") return BuildCommand(arguments, argv[0]);
    if (command == "list") return ListCommand(arguments);
    if (command == "extract") return ExtractCommand(arguments);
    return VerifyCommand(arguments);
  }
  Complain("unknown command \"" + command + "\"; expected build, list, extract or verify (see lodrun --help)");
  return EXIT_USAGE;
}
